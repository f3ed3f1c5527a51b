// Keyboard commands, the open-file button and start-up without a port list, on the real forms.
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

namespace {

using testing_support::RedirectedMachineKey;

std::string TempFile(const std::string& name, const std::vector<std::string>& lines) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + std::to_string(GetCurrentProcessId()) + "-" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  for (const std::string& line : lines) std::fprintf(f, "%s\r\n", line.c_str());
  std::fclose(f);
  return path;
}

// Answers the open-file dialog with `path` (or a cancel when empty) and keeps the filter it was given.
struct DialogAnswer {
  explicit DialogAnswer(std::string path) : path_(std::move(path)) {
    Platform().GetOpenFileNameA = [this](OPENFILENAMEA* ofn) -> BOOL {
      ++asked;
      filter = ofn->lpstrFilter ? ofn->lpstrFilter : "";
      if (path_.empty()) return FALSE;
      std::strncpy(ofn->lpstrFile, path_.c_str(), ofn->nMaxFile - 1);
      return TRUE;
    };
  }
  std::string path_, filter;
  int asked = 0;
};

}  // namespace

TEST(LoaderCommands, OpenedFileReplacesTheImage) {
  LoaderApp app;
  std::vector<std::string> lines = {"; firmware for the test", HexRecord(4, 0, {0x00, 0x00}),
                                    HexRecord(0, 0x0010, {0xAB, 0xCD}), ""};
  for (std::string& line : lines)
    for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  DialogAnswer answer(TempFile("good.hex", lines));
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

TEST(LoaderCommands, CancelledDialogChangesNothing) {
  LoaderApp app;
  DialogAnswer answer("");
  app.Click(MainForm->ButtonOpenHex);
  EXPECT_EQ(answer.asked, 1);
  EXPECT_TRUE(app.Messages().empty());
  EXPECT_EQ(MainForm->TextTerminal->Lines()->Count(), 1807);
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Мікропрограма готова до запису");
}

TEST(LoaderCommands, BadHexFilesAreRefusedLineByLine) {
  struct Case {
    std::string name, bad, message;
    bool imageKept;
  } cases[] = {
      {"parity.hex", ":1000000", "Порушення парності у строці мікропрограми: 2! (:1000000)", true},
      {"checksum.hex", ":0100000012EE", "Помилка контрольної суми у строці мікропрограми: 2! (:0100000012EE)", true},
      {"start.hex", HexRecord(5, 0, {0, 0, 0x01, 0x00}),
       "Знайдено: Start Linear Address Records (MDK-ARM only): 2! (" + HexRecord(5, 0, {0, 0, 0x01, 0x00}) + ")", false},
      {"nothex.hex", ":020000040G00FA", "'$0G00' is not a valid integer value.", false},
  };
  LoaderApp app;
  Platform().ExceptionSink = nullptr;  // the conversion error is shown by the framework
  for (const Case& c : cases) {
    DialogAnswer answer(TempFile(c.name, {HexRecord(0, 0, {0x42}), c.bad, ":00000001FF"}));
    MainForm->ButtonWrite->SetEnabled(false);
    app.texts.clear();
    app.Click(MainForm->ButtonOpenHex);
    EXPECT_EQ(app.Messages(), std::vector<std::string>{c.message}) << c.name;
    EXPECT_FALSE(MainForm->ButtonWrite->Enabled()) << c.name;
    // A refusal in the checking pass leaves the image as it was; later ones have prefilled and
    // placed the lines before the bad one.
    EXPECT_EQ(app.Session().FirmwareImage.substr(0, 2), c.imageKept ? "62" : "42") << c.name;
  }
}

TEST(LoaderCommands, F1ShowsTheAboutWindowAndF1ClosesIt) {
  LoaderApp app;
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

TEST(LoaderCommands, AboutButtonsBeepAndTheOkButtonCloses) {
  LoaderApp app;
  testing_support::ModalCloser about("TFormHelp", IDCANCEL);
  about.OnFound = [&](const testing_support::FoundWindow&) { FormHelp->Button1->Click(); };
  app.sounds.clear();
  app.Click(MainForm->PNGButton6);
  EXPECT_EQ(about.Closed().size(), 1u);
  const std::string asterisk = "beep:" + std::to_string(MB_ICONASTERISK);
  EXPECT_EQ(app.sounds, (std::vector<std::string>{asterisk, asterisk}));  // the button's, then the OK button's
}

TEST(LoaderCommands, ServiceViewAndIdleKeys) {
  LoaderApp app;
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

TEST(LoaderCommands, CtrlRWithNoPortsStillReports) {
  LoaderApp app;
  RedirectedMachineKey machine;
  RegCloseKey(machine.CreateSerialComm());
  app.PressKey('R', true);
  EXPECT_EQ(MainForm->cbPort->Items()->Count(), 0);
  EXPECT_EQ(MainForm->cbPort->ItemIndex(), -1);
  EXPECT_EQ(app.Messages(), std::vector<std::string>{"Порти оновлено!"});
}

TEST(LoaderCommands, StartWithoutAPortListShowsTheErrorAndParsesNothing) {
  RedirectedMachineKey machine;
  Platform().ExceptionSink = nullptr;  // the registry error is shown by the framework
  LoaderApp app;
  EXPECT_EQ(app.Messages(),
            std::vector<std::string>{"Помилка звернення до системного реєстру\nНеобхідно повторно відкрити програму!"});
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Визначте прилад");
  EXPECT_TRUE(app.Session().FirmwareImage.empty());
}

TEST(LoaderCommands, KeysReachTheFormWhileThePortComboHasTheFocus) {
  LoaderApp app;
  app.PressKeyInFocus(MainForm->cbPort, 'E', true, true, [] { return MainForm->Height() == 340; });
  EXPECT_EQ(MainForm->Height(), 340);
  app.PressKeyInFocus(MainForm->cbPort, 'R', true, false, [&] { return !app.Messages().empty(); });
  EXPECT_EQ(app.Messages(), std::vector<std::string>{"Порти оновлено!"});
}

TEST(LoaderCommands, ShellLinksAndBaudRate) {
  LoaderApp app;
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
  EXPECT_EQ(std::string(MakerWebPage).find("example.com") != std::string::npos, true);
  const std::string asterisk = "beep:" + std::to_string(MB_ICONASTERISK);
  EXPECT_EQ(app.sounds, (std::vector<std::string>{asterisk, asterisk}));

  MainForm->cbBaudRate->SetItemIndex(6);
  MainForm->cbBaudRateChange(MainForm->cbBaudRate);
  EXPECT_EQ(MainForm->BComPort1->BaudRate(), br9600);
  MainForm->cbBaudRate->SetItemIndex(-1);  // no choice: the port keeps its rate
  MainForm->cbBaudRateChange(MainForm->cbBaudRate);
  EXPECT_EQ(MainForm->BComPort1->BaudRate(), br9600);
}

TEST(LoaderCommands, SkinNameComboSetsTheManagersSkin) {
  LoaderApp app;
  ASSERT_NE(MainForm->sSkinManager1, nullptr);
  EXPECT_EQ(MainForm->sComboBoxSkinName->Items()->Count(), 0);  // never filled
  MainForm->sSkinManager1->SetSkinName("");
  MainForm->sComboBoxSkinName->SetText("TIDE (internal)");
  MainForm->sComboBoxSkinNameChange(MainForm->sComboBoxSkinName);
  EXPECT_EQ(MainForm->sSkinManager1->SkinName(), "TIDE (internal)");
  EXPECT_TRUE(app.Messages().empty());
}
