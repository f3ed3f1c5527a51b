// The loader's forms and port against a simulated device on a COM port of its own.
#include "tests/app/LoaderApp.h"

#include "app/FrameProtocol.h"

#include "framework/ComCtrls.h"
#include "framework/StdCtrls.h"
#include "serial/BCPort.h"
#include "skin/controls/pngextra.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/vkProgressBar.h"
#include "tests/support/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

using testing_support::DeviceFrame;
using testing_support::SimulatedDevice;

namespace {

SimulatedDevice::Options Geometry(int blocksPerPage, int blockSize, int pageCount, const char* description = "171122") {
  SimulatedDevice::Options o;
  o.blocksPerPage = blocksPerPage;
  o.blockSize = blockSize;
  o.pageCount = pageCount;
  o.description = std::string(description);
  return o;
}

// Points the port combo at the device, as Ctrl+R and a pick would.
void ChoosePort(const std::string& port) {
  TStrings* items = MainForm->cbPort->Items();
  int index = items->IndexOf(port);
  if (index < 0) index = items->Add(port);
  MainForm->cbPort->SetItemIndex(index);
}

std::vector<uint8_t> ImageBytes(const std::string& image, size_t count) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(std::stoi(image.substr(2 * i, 2), nullptr, 16));
  return bytes;
}

bool PortOpen() { return MainForm->BComPort1->Connected(); }

// The loader's waits end once the device has handled every frame sent before them (and its reply,
// if any, is on the line), instead of after their milliseconds, which are added up here. Whether a
// try is answered is then the device's doing, never the machine's load: counts of tries are exact.
// A caption cover of this thread is up (the skinned frame pauses under it while its caption changes).
BOOL CALLBACK FindShownCover(HWND w, LPARAM found) {
  char name[32] = {};
  GetClassNameA(w, name, sizeof name);
  if (std::string(name) == "TvkCaptForm" && IsWindowVisible(w)) *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}
bool CaptionCoverShown() {
  bool shown = false;
  EnumThreadWindows(GetCurrentThreadId(), FindShownCover, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

struct DevicePacedWaits {
  explicit DevicePacedWaits(SimulatedDevice& device) : previous_(Platform().Sleep) {
    Platform().Sleep = [this, &device](DWORD ms) {
      // the skinned frame's pause under its caption cover (while a box takes the focus) is not the device's
      if (CaptionCoverShown()) return;
      slept += ms;
      device.Sync();
    };
  }
  // Before the device goes: the forms may still wait while they close.
  ~DevicePacedWaits() { Platform().Sleep = previous_; }
  DevicePacedWaits(const DevicePacedWaits&) = delete;
  DevicePacedWaits& operator=(const DevicePacedWaits&) = delete;
  uint64_t slept = 0;

private:
  std::function<void(DWORD)> previous_;
};

// What an identification that succeeds at the first try waits: five wake-ups, the identify frame and
// the description.
constexpr uint64_t IdentifyWaits = 5 * 50 + 100 + 1000;

}  // namespace

TEST(LoaderDevice, WritesTheStoredFirmwareByteForByte) {
  LoaderApp app;
  // 28 pages of 16 blocks of 64 bytes cover the firmware's program region (27,200 bytes).
  SimulatedDevice device(Geometry(16, 64, 28));
  ChoosePort(device.PortName());
  app.Click(MainForm->ButtonWrite);

  // The loader's own waits and reads run in real time here: a reply slower than the read (a loaded
  // machine) costs a try, which the loader absorbs by waiting longer for that kind of frame.
  const testing_support::DeviceCounts counts = device.Counts();
  const TBootloaderSession& session = app.Session();
  const int failures = session.FailureCount;
  EXPECT_GE(counts.identify, 1);
  EXPECT_LE(counts.identify, 5);
  EXPECT_EQ(counts.description, 1);
  // One frame per page, block and commit, and one more for every failed try.
  EXPECT_EQ(counts.erase + counts.data + counts.commit, 28 + 2 * 28 * 16 + failures);
  EXPECT_GE(counts.erase, 28);
  EXPECT_GE(counts.data, 28 * 16);
  EXPECT_GE(counts.commit, 28 * 16);
  EXPECT_EQ(failures, session.EraseDelay + session.WriteDelay + session.CommitDelay);
  EXPECT_EQ(MainForm->Label3->Caption(), "Автокалібровка: " + std::to_string(session.EraseDelay) + "." +
                                             std::to_string(session.WriteDelay) + "." +
                                             std::to_string(session.CommitDelay));
  EXPECT_EQ(counts.reset, 2);
  EXPECT_EQ(counts.wakeChars, 25);
  const std::vector<uint8_t> flash = device.Memory();
  ASSERT_EQ(flash.size(), 28u * 16 * 64);
  EXPECT_TRUE(flash == ImageBytes(app.Session().FirmwareImage, flash.size()));

  EXPECT_EQ(MainForm->LabelNameOfHex->Caption().rfind("Мікропрограма : успішно завантажена в ", 0), 0u);
  EXPECT_TRUE(app.SawMessageContaining("Мікропрограма успішно завантажена в "));
  EXPECT_TRUE(app.SawMessageContaining("Після запису необхідно провести встановлення конфігурації (при наявності)"));
  // The memo holds the description, then an empty line and the frame for every try.
  TStrings* log = MainForm->MemoAbout->Lines();
  ASSERT_EQ(log->Count(), 1 + 2 * (28 + 2 * 28 * 16 + failures));
  EXPECT_EQ(log->Strings(0), "171122");
  EXPECT_EQ(log->Strings(1), "");
  EXPECT_EQ(log->Strings(2), "Очистив" + EraseFrame(0));
  EXPECT_EQ(log->Strings(log->Count() - 2), "");
  EXPECT_EQ(log->Strings(log->Count() - 1), "Прошивz0606;");
  EXPECT_FALSE(PortOpen());
  EXPECT_FALSE(MainForm->ButtonWrite->Enabled());
  EXPECT_TRUE(MainForm->ButtonConect->Enabled());
  EXPECT_EQ(MainForm->ProgressbarReadWrite->Progress(), 0);
}

TEST(LoaderDevice, IdentifyButtonRetriesUntilTheThirdTry) {
  LoaderApp app;
  SimulatedDevice device(Geometry(16, 64, 4));
  DevicePacedWaits waits(device);
  device.SetDescription(std::string("MVT-7 rev 2"));
  device.AnswerOnTry(DeviceFrame::Identify, 3);
  ChoosePort(device.PortName());
  app.Click(MainForm->ButtonConect);
  EXPECT_EQ(device.Counts().identify, 3);
  EXPECT_TRUE(app.SawMessageContaining("Визначино:"));
  EXPECT_EQ(MainForm->MemoAbout->Text(), "MVT-7 rev 2");
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Відкрийте мікропрограму з розширенням - HEX");
  EXPECT_TRUE(PortOpen());  // the device stays in its bootloader
  EXPECT_EQ(app.Session().PageCount, 4);
}

TEST(LoaderDevice, VersionCheckRefusals) {
  struct Case {
    const char* description;
    const char* message;
  } cases[] = {
      {"171123", "Дана версія вже записана в прилад!"},
      {"171124", "В прилад вже записана новіша версія!"},
      {nullptr, "Невідомо що то є!"},
  };
  LoaderApp app;
  SimulatedDevice device(Geometry(16, 64, 4));
  DevicePacedWaits waits(device);
  ChoosePort(device.PortName());
  for (const Case& c : cases) {
    device.SetDescription(c.description ? std::optional<std::string>(c.description) : std::nullopt);
    device.ResetCounts();
    app.Click(MainForm->ButtonWrite);
    EXPECT_TRUE(app.SawMessageContaining(c.message)) << c.message;
    const testing_support::DeviceCounts counts = device.Counts();
    EXPECT_EQ(counts.reset, 2) << c.message;
    EXPECT_EQ(counts.erase, 0) << c.message;
    EXPECT_FALSE(PortOpen()) << c.message;
    if (!c.description) {
      EXPECT_EQ(MainForm->MemoAbout->Text(), "Невідомий прилад/версія");
    }
  }
}

TEST(LoaderDevice, UnknownLoaderVersionAndSilenceAreRefused) {
  LoaderApp app;
  SimulatedDevice device(Geometry(16, 64, 4));
  DevicePacedWaits waits(device);
  ChoosePort(device.PortName());
  device.SetLoaderVersion("03");
  app.Click(MainForm->ButtonWrite);
  EXPECT_TRUE(app.SawMessageContaining("03 - невідома версія завантажувача мікроконтролера"));
  EXPECT_TRUE(PortOpen());
  EXPECT_FALSE(MainForm->ButtonOpenHex->Enabled());
  EXPECT_EQ(device.Counts().description, 0);

  device.SetLoaderVersion("02");
  device.SetSilent(true);
  device.ResetCounts();
  app.Click(MainForm->ButtonWrite);
  EXPECT_EQ(device.Counts().identify, 5);
  EXPECT_TRUE(app.SawMessageContaining("- розвернути роз`єм програмування;"));
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(MainForm->TextTerminal->Lines()->Count(), 0);
  // The image is untouched: a later write still sends it.
  EXPECT_EQ(app.Session().FirmwareImage.substr(2 * 0x100, 12), "313731313233");
}

TEST(LoaderDevice, EraseAnsweredOnTheSecondTryFailsAtFourHundred) {
  LoaderApp app;
  SimulatedDevice device(Geometry(1, 2, 401));
  // The delays grow to 400 ms; they are counted here, not slept, so the test stays short.
  DevicePacedWaits waits(device);
  device.AnswerOnTry(DeviceFrame::Erase, 2);
  ChoosePort(device.PortName());
  app.Click(MainForm->ButtonWrite);

  TBootloaderSession& session = app.Session();
  // Every page's erase fails once; the 400th failure ends the write after that page's erase.
  EXPECT_EQ(session.FailureCount, 400);
  EXPECT_EQ(session.EraseDelay, 400);
  EXPECT_EQ(session.WriteDelay, 0);
  EXPECT_EQ(session.CommitDelay, 0);
  EXPECT_EQ(MainForm->Label3->Caption(), "Автокалібровка: 400.0.0");
  const testing_support::DeviceCounts counts = device.Counts();
  EXPECT_EQ(counts.erase, 800);
  EXPECT_EQ(counts.data, 399);
  EXPECT_EQ(counts.commit, 399);
  EXPECT_TRUE(app.SawMessageContaining("Помилка очистки - 00031E"));
  EXPECT_TRUE(app.SawMessageContaining("При неповному запису можлива некоректна робота приладу!"));
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Мікропрограма :  - помилка");
  EXPECT_EQ(counts.reset, 0);
  EXPECT_TRUE(PortOpen());
  EXPECT_FALSE(MainForm->ButtonWrite->Enabled());
  EXPECT_TRUE(MainForm->cbPort->Enabled());
  const std::vector<std::string> tail(app.sounds.end() - 4, app.sounds.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"beep:" + std::to_string(MB_ICONASTERISK), "tone:1200/200", "tone:800/200",
                                            "tone:500/200"}));
  // Each erase try of page p waits the failures before it: p, then p + 1 (sum 400 * 400).
  EXPECT_EQ(waits.slept, IdentifyWaits + 400u * 400u);
}

namespace {

// Presses Ctrl+Del from a thread timer once the gauge shows `pages` written pages of a write of
// `pageCount` pages (the identification before it uses the gauge too).
struct StopKeyAt {
  StopKeyAt(int pages, int pageCount) : pages_(pages), pageCount_(pageCount) {
    Self() = this;
    timer_ = SetTimer(nullptr, 0, 5, Tick);
  }
  ~StopKeyAt() {
    KillTimer(nullptr, timer_);
    Self() = nullptr;
  }
  static StopKeyAt*& Self() {
    static StopKeyAt* self = nullptr;
    return self;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    StopKeyAt* self = Self();
    if (!self || self->pressed || MainForm->ProgressbarReadWrite->MaxValue() != self->pageCount_ ||
        MainForm->ProgressbarReadWrite->Progress() < self->pages_)
      return;
    self->pressed = true;
    self->pressedAtPage = MainForm->ProgressbarReadWrite->Progress();
    WORD key = VK_DELETE;
    try {
      MainForm->OnKeyDown(MainForm, key, TShiftState{ssCtrl});
    } catch (...) {
      Application->HandleException(MainForm);
    }
  }
  int pages_, pageCount_;
  UINT_PTR timer_ = 0;
  bool pressed = false;
  int64_t pressedAtPage = 0;
};

}  // namespace

TEST(LoaderDevice, AFailedWriteNamesTheFileLastChosenThoughItDidNotLoad) {
  LoaderApp app;
  Platform().ExceptionSink = nullptr;  // the missing file is shown by the framework
  SimulatedDevice device(Geometry(1, 2, 1));
  DevicePacedWaits waits(device);
  device.WrongReplyCode(DeviceFrame::Erase, "z99");
  ChoosePort(device.PortName());
  Platform().GetOpenFileNameA = [](OPENFILENAMEA* ofn) -> BOOL {
    std::strncpy(ofn->lpstrFile, "C:\\nowhere\\gone.hex", ofn->nMaxFile - 1);
    return TRUE;
  };
  app.Click(MainForm->ButtonOpenHex);
  ASSERT_TRUE(app.SawMessageContaining("gone.hex"));  // the read failed and was reported
  app.Click(MainForm->ButtonWrite);                   // the stored image, refused at every erase
  EXPECT_TRUE(app.SawMessageContaining("Помилка очистки - 000000"));
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Мікропрограма : gone.hex - помилка");
}

TEST(LoaderDevice, CtrlDelStopsTheWriteAtTheNextPage) {
  LoaderApp app;
  SimulatedDevice device(Geometry(16, 64, 40));
  DevicePacedWaits waits(device);
  ChoosePort(device.PortName());
  StopKeyAt stop(2, 40);
  app.Click(MainForm->ButtonWrite);
  ASSERT_TRUE(stop.pressed);
  EXPECT_TRUE(app.SawMessageContaining("Зупинено користувачем!"));
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Зупинено користувачем");
  const testing_support::DeviceCounts counts = device.Counts();
  EXPECT_LT(counts.erase, 40);
  // The page in progress when the key came runs to its end, then nothing more is sent.
  EXPECT_EQ(counts.data, counts.erase * 16);
  EXPECT_EQ(counts.commit, counts.erase * 16);
  EXPECT_GE(counts.erase, stop.pressedAtPage);
  EXPECT_LE(counts.erase, stop.pressedAtPage + 1);
  EXPECT_EQ(app.Session().FailureCount, 0);
  // The pages sent hold the image; the rest of the flash was never touched.
  const std::vector<uint8_t> flash = device.Memory();
  const size_t written = static_cast<size_t>(counts.erase) * 16 * 64;
  ASSERT_LE(written, app.Session().FirmwareImage.size() / 2);
  const std::vector<uint8_t> image = ImageBytes(app.Session().FirmwareImage, written);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
  EXPECT_TRUE(std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(written), flash.end(),
                          [](uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(counts.reset, 0);
  EXPECT_TRUE(PortOpen());
  EXPECT_TRUE(MainForm->ButtonWrite->Enabled());
  EXPECT_TRUE(MainForm->ButtonConect->Enabled());
  EXPECT_TRUE(MainForm->ButtonOpenHex->Enabled());
  EXPECT_TRUE(MainForm->cbPort->Enabled());
  EXPECT_TRUE(MainForm->cbBaudRate->Enabled());
}

// The device's end of the line goes away once it has the third data frame: reading its reply fails,
// the port component's exception leaves the write, and the framework shows its message. The controls
// stay as the write set them (the write button disabled), the status still tells of the write, and
// the port stays open.
TEST(LoaderDevice, APortFailureInTheMiddleOfTheWriteEndsItWithThePortsMessage) {
  LoaderApp app;
  Platform().ExceptionSink = nullptr;  // the port's failure is shown by the framework
  SimulatedDevice device(Geometry(16, 64, 4));
  DevicePacedWaits waits(device);  // the device has closed its end before the loader reads
  device.CloseAfter(DeviceFrame::Data, 3);
  ChoosePort(device.PortName());
  app.Click(MainForm->ButtonWrite);

  EXPECT_EQ(app.Messages(), std::vector<std::string>{ComErrorMessage(3)});
  const testing_support::DeviceCounts counts = device.Counts();
  EXPECT_EQ(counts.erase, 1);
  EXPECT_EQ(counts.data, 3);
  EXPECT_EQ(counts.commit, 2);
  EXPECT_EQ(counts.reset, 0);
  EXPECT_EQ(app.Session().FailureCount, 0);
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Йде запис! Заборонено переривати!");
  EXPECT_TRUE(PortOpen());
  EXPECT_FALSE(MainForm->ButtonWrite->Enabled());
  EXPECT_FALSE(MainForm->ButtonConect->Enabled());
  EXPECT_FALSE(MainForm->cbPort->Enabled());
  EXPECT_FALSE(MainForm->cbBaudRate->Enabled());
  EXPECT_TRUE(MainForm->ButtonOpenHex->Enabled());
}

TEST(LoaderDevice, CtrlLResetsTheDevice) {
  LoaderApp app;
  SimulatedDevice device(Geometry(16, 64, 4));
  ChoosePort(device.PortName());
  app.PressKey('L', true);
  EXPECT_EQ(device.Counts().reset, 2);
  EXPECT_TRUE(app.SawMessageContaining("Скинуто прилад!!!"));
  EXPECT_FALSE(PortOpen());
}

TEST(LoaderDevice, CtrlRListsANewPort) {
  LoaderApp app;
  SimulatedDevice device(Geometry(16, 64, 4));
  MainForm->cbPort->Items()->Clear();  // (a device of a parallel test may have had the same number)
  app.PressKey('R', true);
  EXPECT_GE(MainForm->cbPort->Items()->IndexOf(device.PortName()), 0);
  EXPECT_EQ(MainForm->cbPort->ItemIndex(), 0);
  EXPECT_EQ(app.Messages(), std::vector<std::string>{"Порти оновлено!"});
}

TEST(LoaderDevice, PortOpenFailuresAreReportedByTheFramework) {
  LoaderApp app;
  Platform().ExceptionSink = nullptr;  // as the name says
  ChoosePort("COM199");
  app.Click(MainForm->ButtonWrite);
  EXPECT_TRUE(app.SawMessageContaining("Спроба відкрити неіснуючий СОМ-порт"));

  SimulatedDevice::Options busy = Geometry(16, 64, 4);
  busy.busy = true;
  SimulatedDevice device(busy);
  ChoosePort(device.PortName());
  app.Click(MainForm->ButtonConect);
  EXPECT_TRUE(app.SawMessageContaining("Порт зайнятий іншою програмою"));
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(device.Counts().identify, 0);
}
