#include "tests/app/LoaderApp.h"

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "skin/controls/pngextra.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"

#include <gtest/gtest.h>

using LoaderStartup = LoaderTest;

TEST_F(LoaderStartup, StoredFirmwareIsParsedAndWritingEnabled) {
  for (const std::string& m : app.Messages()) ADD_FAILURE() << "unexpected message: " << m;
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Мікропрограма готова до запису");
  EXPECT_EQ(MainForm->Caption(), "MVT Bootloader (від 23.11.17)");
  EXPECT_EQ(Application->Title(), "MVT Bootloader (від 23.11.17)");
  // the application window (taskbar button, minimised look) carries the program's icon
  EXPECT_NE(SendMessageA(Application->Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_TRUE(MainForm->ButtonWrite->Enabled());
  EXPECT_EQ(MainForm->ProgressbarReadWrite->Progress(), 0);
  EXPECT_EQ(MainForm->cbBaudRate->Text(), "115200");
  EXPECT_EQ(MainForm->MemoAbout->Text(), "");
  const std::string& image = app.Session().FirmwareImage;
  ASSERT_EQ(image.size(), 40000000u);
  EXPECT_EQ(image.substr(2 * 0x100, 12), "313731313233");  // the version text the firmware carries
  EXPECT_EQ(image.substr(0, 4), "6217");
  EXPECT_NE(image.substr(2 * 0x300000, 32), std::string(32, 'F'));
  EXPECT_NE(image.substr(2 * 0xF00000, 32), std::string(32, 'F'));
  EXPECT_EQ(MainForm->TextTerminal->Lines()->Count(), 1807);
  EXPECT_EQ(MainForm->TextTerminal->Lines()->Strings(1806), ":00000001FF");
  EXPECT_EQ(app.sounds, std::vector<std::string>{"beep:" + std::to_string(MB_ICONASTERISK)});
  // The stored images: the two button PNGs and the About window's emblem.
  EXPECT_EQ(MainForm->ButtonWrite->ImageNormal()->Width(), 64);
  EXPECT_EQ(MainForm->PNGButton6->ImageNormal()->Height(), 32);
  EXPECT_EQ(FormHelp->Image_Emblem->Picture()->Graphic()->Width(), 121);
  EXPECT_EQ(FormHelp->Image_Emblem->Picture()->Graphic()->Height(), 89);
  EXPECT_EQ(FormHelp->Caption(), "Про програму");
  EXPECT_EQ(FormHelp->Button1->Caption(), "ОК");
}

TEST_F(LoaderStartup, DisabledWriteButtonShowsItsImageFaded) {
  TPNGButton* button = MainForm->ButtonWrite;
  button->SetEnabled(false);
  TPNGObject* normal = button->ImageNormal();
  TPNGObject* faded = button->DisabledImage();
  ASSERT_EQ(faded->Width(), normal->Width());
  ASSERT_EQ(faded->PixelFormat(), pf32bit);
  int opaque = 0;
  for (int y = 0; y < normal->Height(); ++y) {
    auto* a = static_cast<uint8_t*>(normal->ScanLine(y));
    auto* b = static_cast<uint8_t*>(faded->ScanLine(y));
    for (int x = 0; x < normal->Width(); ++x) {
      EXPECT_EQ(b[4 * x + 3], a[4 * x + 3] / 3);
      EXPECT_EQ(b[4 * x], a[4 * x]);
      opaque += a[4 * x + 3] == 255;
    }
  }
  EXPECT_GT(opaque, 0);
}
