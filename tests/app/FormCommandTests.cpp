// Keyboard commands, the open-file button and start-up without a port list, on the real forms.
#include "tests/app/DeviceFixtures.h"
#include "tests/app/HexLines.h"
#include "tests/app/LoaderApp.h"
#include "tests/support/RedirectedMachineKey.h"

#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "serial/BCPort.h"
#include "skin/core/sSkinManager.h"
#include "skin/controls/pngextra.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using testing_support::RedirectedMachineKey;
using testing_support::SimulatedDevice;
using namespace device_fixtures;
using LoaderCommands = LoaderTest;

TEST_F(LoaderCommands, OpenedFileReplacesTheImage) {
  std::vector<std::string> lines = {"; firmware for the test", HexRecord(4, 0, {0x00, 0x00}),
                                    HexRecord(0, 0x0010, {0xAB, 0xCD}), ""};
  for (std::string& line : lines)
    for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  DialogAnswer answer(WriteHexFile("good.hex", lines));
  MainForm->ButtonWrite->SetEnabled(false);
  app.Click(MainForm->ButtonOpenHex);
  EXPECT_EQ(answer.filter, "Файли: I8HEX, I16HEX, I32HEX");  // the first part of the filter pair
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(),
            "Мікропрограма : " + std::to_string(GetCurrentProcessId()) + "-good.hex - відкрита. Запишіть в прилад");
  EXPECT_EQ(app.Messages(), std::vector<std::string>{"Мікропрограма відкрита,\r\n   запишіть її в прилад"});
  EXPECT_TRUE(MainForm->ButtonWrite->Enabled());
  EXPECT_EQ(app.Session().FirmwareImage.substr(0x20 - 2, 8), "FFABCDFF");
  EXPECT_EQ(app.Session().FirmwareImage.substr(0, 4), "FFFF");  // the stored firmware is gone
}

TEST_F(LoaderCommands, CancelledDialogChangesNothing) {
  DialogAnswer answer("");
  app.Click(MainForm->ButtonOpenHex);
  EXPECT_EQ(answer.asked, 1);
  EXPECT_TRUE(app.Messages().empty());
  EXPECT_EQ(MainForm->TextTerminal->Lines()->Count(), 1807);
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Мікропрограма готова до запису");
}

TEST_F(LoaderCommands, F1ShowsTheAboutWindowAndF1ClosesIt) {
  int shown = 0;
  for (bool modifiers : {false, true}) {
    // A closer per showing: the About window is hidden, not destroyed, between showings.
    testing_support::ModalCloser about("TFormHelp", IDCANCEL);
    about.OnFound = [&](const testing_support::FoundWindow&) {
      ++shown;
      WORD key = VK_F1;
      FormHelp->OnKeyDown(FormHelp, key, TShiftState{});
    };
    app.PressKey(VK_F1, modifiers, modifiers);
  }
  EXPECT_EQ(shown, 2);
  EXPECT_FALSE(FormHelp->Visible());
  EXPECT_EQ(FormHelp->Caption(), "Про програму");
  EXPECT_EQ(FormHelp->sWebLabel1->Caption(), "www.example.com");
  EXPECT_FALSE(FormHelp->Image_Emblem->Picture()->Graphic() == nullptr);
}

TEST_F(LoaderCommands, AboutButtonsBeepAndTheOkButtonCloses) {
  testing_support::ModalCloser about("TFormHelp", IDCANCEL);
  about.OnFound = [&](const testing_support::FoundWindow&) { FormHelp->Button1->Click(); };
  app.sounds.clear();
  app.Click(MainForm->PNGButton6);
  EXPECT_EQ(about.Closed().size(), 1u);
  const std::string asterisk = "beep:" + std::to_string(MB_ICONASTERISK);
  EXPECT_EQ(app.sounds, (std::vector<std::string>{asterisk, asterisk}));  // the button's, then the OK button's
}

TEST_F(LoaderCommands, ServiceViewAndIdleKeys) {
  const int normal = MainForm->Height();
  app.PressKey('E', true);
  EXPECT_EQ(MainForm->Height(), normal);
  app.PressKey('E', true, true);
  EXPECT_EQ(MainForm->Height(), 340);
  app.PressKey('E', true, true);
  EXPECT_EQ(MainForm->Height(), 340);
  app.PressKey(VK_DELETE, true);  // nothing runs: the gauge is at 0
  EXPECT_TRUE(app.Messages().empty());
  EXPECT_EQ(app.Session().StopRequested, 0);
}

TEST_F(LoaderCommands, CtrlRWithNoPortsStillReports) {
  RedirectedMachineKey machine;
  RegCloseKey(machine.CreateSerialComm());
  app.PressKey('R', true);
  EXPECT_EQ(MainForm->cbPort->Items()->Count(), 0);
  EXPECT_EQ(MainForm->cbPort->ItemIndex(), -1);
  EXPECT_EQ(app.Messages(), std::vector<std::string>{"Порти оновлено!"});
}

TEST(LoaderStartWithoutPorts, ParsesNothingAndWritesNothingUntilAFileIsOpened) {
  RedirectedMachineKey machine;
  Platform().ExceptionSink = nullptr;  // the registry error is shown by the framework
  LoaderApp app;
  EXPECT_EQ(app.Messages(),
            std::vector<std::string>{"Помилка звернення до системного реєстру\nНеобхідно повторно відкрити програму!"});
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Визначте прилад");
  EXPECT_TRUE(app.Session().FirmwareImage.empty());
  EXPECT_FALSE(MainForm->ButtonWrite->Enabled());
  EXPECT_EQ(MainForm->cbBaudRate->Text(), "115200");

  // The adapter is plugged in and listed: still no image to write, so the write button takes no click.
  SimulatedDevice device(Geometry(16, 64, 1));
  DevicePacedWaits waits(device);
  app.PressKey('R', true);
  ASSERT_EQ(MainForm->cbPort->Text(), device.PortName());
  app.QueueClick(MainForm->ButtonWrite);
  app.Dispatch();
  EXPECT_EQ(device.Counts().identify, 0);
  EXPECT_EQ(device.Counts().erase, 0);

  // A file parsed: its image is written.
  DialogAnswer answer(WriteHexFile("first.hex", {HexRecord(0, 0x10, {0x5A})}));
  app.Click(MainForm->ButtonOpenHex);
  ASSERT_TRUE(MainForm->ButtonWrite->Enabled());
  app.texts.clear();
  app.QueueClick(MainForm->ButtonWrite);
  app.Dispatch();
  EXPECT_TRUE(app.SawMessageContaining("Мікропрограма успішно завантажена в "));
  EXPECT_TRUE(device.Memory() == ImageBytes(app.Session().FirmwareImage, 16 * 64));
  EXPECT_EQ(device.Memory()[0x10], 0x5A);
  EXPECT_EQ(MainForm->BComPort1->BaudRate(), br115200);  // the rate the combo shows, not the stored one
}

TEST_F(LoaderCommands, KeysReachTheFormWhileThePortComboHasTheFocus) {
  app.PressKeyInFocus(MainForm->cbPort, 'E', true, true, [] { return MainForm->Height() == 340; });
  EXPECT_EQ(MainForm->Height(), 340);
  app.PressKeyInFocus(MainForm->cbPort, 'R', true, false, [&] { return !app.Messages().empty(); });
  EXPECT_EQ(app.Messages(), std::vector<std::string>{"Порти оновлено!"});
}

TEST_F(LoaderCommands, ShellLinksAndBaudRate) {
  struct Launch {
    std::string verb, file;
    int show;
  };
  std::vector<Launch> launches;
  Platform().ShellExecuteA = [&](HWND, const char* op, const char* file, const char*, const char*, int show) {
    launches.push_back({op ? op : "", file ? file : "", show});
    return reinterpret_cast<HINSTANCE>(33);
  };
  app.Click(MainForm->Label1);
  app.sounds.clear();
  app.Click(MainForm->sButton2);
  FormHelp->sWebLabel1Click(FormHelp->sWebLabel1);
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[0].verb, "open");
  EXPECT_EQ(launches[0].file, "devmgmt.msc");
  EXPECT_EQ(launches[0].show, SW_SHOWNORMAL);
  for (int i : {1, 2}) {
    EXPECT_EQ(launches[i].verb, "");  // the shell's default action
    EXPECT_EQ(launches[i].file, MakerWebPage);
    EXPECT_EQ(launches[i].show, SW_SHOW);
  }
  // The About window's link shows the page its buttons open.
  EXPECT_NE(std::string(MakerWebPage).find(FormHelp->sWebLabel1->Caption()), std::string::npos);
  const std::string asterisk = "beep:" + std::to_string(MB_ICONASTERISK);
  EXPECT_EQ(app.sounds, (std::vector<std::string>{asterisk, asterisk}));

  ASSERT_NE(MainForm->BComPort1->BaudRate(), br1200);
  MainForm->cbBaudRate->SetItemIndex(3);
  MainForm->cbBaudRateChange(MainForm->cbBaudRate);
  EXPECT_EQ(MainForm->BComPort1->BaudRate(), br1200);
  MainForm->cbBaudRate->SetItemIndex(-1);  // no choice: the port keeps its rate
  MainForm->cbBaudRateChange(MainForm->cbBaudRate);
  EXPECT_EQ(MainForm->BComPort1->BaudRate(), br1200);
}

TEST_F(LoaderCommands, SkinNameComboSetsTheManagersSkin) {
  ASSERT_NE(MainForm->sSkinManager1, nullptr);
  EXPECT_EQ(MainForm->sComboBoxSkinName->Items()->Count(), 0);  // never filled
  MainForm->sSkinManager1->SetSkinName("");
  MainForm->sComboBoxSkinName->SetText("TIDE (internal)");
  MainForm->sComboBoxSkinNameChange(MainForm->sComboBoxSkinName);
  EXPECT_EQ(MainForm->sSkinManager1->SkinName(), "TIDE (internal)");
  EXPECT_TRUE(app.Messages().empty());
}
