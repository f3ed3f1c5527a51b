// The loader's forms and port against a simulated device on a COM port of its own.
#include "tests/app/DeviceFixtures.h"
#include "tests/app/HexLines.h"
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
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"
#include "tests/support/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

using testing_support::DeviceFrame;
using testing_support::SimulatedDevice;
using namespace device_fixtures;
using LoaderDevice = LoaderTest;

namespace {

bool PortOpen() { return MainForm->BComPort1->Connected(); }

const char* const kStopText = "Зупинено користувачем!";
const char* const kSuccessText = "Мікропрограма успішно завантажена в ";

// Where a write is: the identification's first wake-up, or the third block of a page (counted from 1).
bool AtFirstWakeUp() {
  return MainForm->ProgressbarReadWrite->MaxValue() == 100 && MainForm->ProgressbarReadWrite->Progress() == 10;
}
bool AtThirdBlockOfPage(int page, int pageCount) {
  return MainForm->ProgressbarReadWrite->MaxValue() == pageCount &&
         MainForm->ProgressbarReadWrite->Progress() == page - 1 && MainForm->ProgressbarWrite->Position() == 2;
}

// How many of the five controls a write disables are enabled.
int StopControlsEnabled() {
  int enabled = 0;
  for (TControl* c : std::initializer_list<TControl*>{MainForm->ButtonConect, MainForm->ButtonOpenHex,
                                                      MainForm->ButtonWrite, MainForm->cbPort, MainForm->cbBaudRate})
    enabled += c->Enabled();
  return enabled;
}

// The operator's click on the write button, with the real pointer.
void ClickWriteButton() {
  POINT middle{MainForm->ButtonWrite->Left() + MainForm->ButtonWrite->Width() / 2,
               MainForm->ButtonWrite->Top() + MainForm->ButtonWrite->Height() / 2};
  ClientToScreen(MainForm->ButtonWrite->Parent()->Handle(), &middle);
  ASSERT_TRUE(testing_support::MovePointer(middle)) << testing_support::PointerScene(middle);
  testing_support::ClickPointer();
}

}  // namespace

TEST_F(LoaderDevice, WritesTheStoredFirmwareByteForByte) {
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

// A device that refuses 400 frames of a kind from a given one on (the write fails at them) and answers again
// after them: the operator's Ctrl+Del and a click on the write button, both real input, write the whole stored
// firmware without a restart, whichever page failed. Once a file is opened or the device identified after the
// failure, the key (nothing runs) shows nothing and leaves the status, which Ctrl+R after it shows the key handled;
// the operator then opens the firmware's file.
TEST(LoaderDeviceRealPointerAndKeys, AfterAFailedWriteCtrlDelAndTheWriteButtonWriteTheWholeFirmware) {
  LoaderApp app;
  app.PressKey('E', true, true);  // the service view: identify and open
  struct Case {
    const char* name;
    DeviceFrame kind;
    int first;  // the first refused frame of the kind
    const char* failure;
    TControl* then;  // clicked after the failure
  } cases[] = {
      {"data frames of the second page", DeviceFrame::Data, 16 + 1, "Помилка запису - 000C80", nullptr},
      {"the first page's erase", DeviceFrame::Erase, 1, "Помилка очистки - 000000", nullptr},
      {"the erase, then a file opened", DeviceFrame::Erase, 1, "Помилка очистки - 000000", MainForm->ButtonOpenHex},
      {"the erase, then the device identified", DeviceFrame::Erase, 1, "Помилка очистки - 000000",
       MainForm->ButtonConect},
  };
  testing_support::PointerParking parking;
  // 9 pages of 16 blocks of 200 bytes cover the firmware's program region (27,200 bytes).
  SimulatedDevice device(Geometry(16, 200, 9));
  DevicePacedWaits waits(device);
  ChoosePort(device.PortName());
  const std::vector<uint8_t> firmware = ImageBytes(app.Session().FirmwareImage, 9 * 16 * 200);
  DialogAnswer answer(WriteHexFile("stored.hex", SplitLines(MainForm->TextTerminal->Lines()->Text())));
  for (const Case& c : cases) {
    device.SetGeometry(16, 200, 9);
    device.ResetCounts();
    device.RefuseFrames(c.kind, c.first, 400);
    app.texts.clear();
    ASSERT_TRUE(MainForm->ButtonWrite->Enabled()) << c.name;
    ClickWriteButton();
    ASSERT_TRUE(testing_support::PumpUntil([&] { return app.SawMessageContaining(c.failure); }, 60000)) << c.name;
    ASSERT_FALSE(MainForm->ButtonWrite->Enabled()) << c.name;
    if (c.then) app.Click(c.then);

    const std::string status = MainForm->LabelNameOfHex->Caption();
    app.texts.clear();
    SetForegroundWindow(MainForm->Handle());
    ASSERT_TRUE(testing_support::PumpUntil([] { return GetForegroundWindow() == MainForm->Handle(); }, 5000));
    testing_support::PressKeys({VK_CONTROL, VK_DELETE});
    if (c.then) testing_support::PressKeys({VK_CONTROL, 'R'});
    const char* const shown = c.then ? "Порти оновлено!" : kStopText;
    EXPECT_TRUE(testing_support::PumpUntil([&] { return app.SawMessageContaining(shown); }, 10000)) << c.name;
    EXPECT_EQ(app.Messages().size(), 1u) << c.name;
    EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), c.then ? status : "Зупинено користувачем") << c.name;
    if (c.then && !MainForm->ButtonWrite->Enabled()) app.Click(MainForm->ButtonOpenHex);
    EXPECT_EQ(StopControlsEnabled(), 5) << c.name;

    ChoosePort(device.PortName());  // Ctrl+R chose the first port
    ClickWriteButton();
    EXPECT_TRUE(testing_support::PumpUntil([&] { return app.SawMessageContaining(kSuccessText); }, 60000))
        << c.name;
    EXPECT_TRUE(device.Memory() == firmware) << c.name;
    EXPECT_FALSE(PortOpen()) << c.name;
    // After a success the write button waits for a parse: the stored firmware's, as at the start.
    ASSERT_TRUE(app.Session().ParseFirmwareLines(TParseOrigin::Startup)) << c.name;
    device.RefuseFrames(c.kind, 0, 0);
  }
}

TEST_F(LoaderDevice, IdentifyButtonRetriesUntilTheThirdTry) {
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

TEST_F(LoaderDevice, VersionCheckRefusals) {
  struct Case {
    const char* description;
    const char* message;
  } cases[] = {
      {"171123", "Дана версія вже записана в прилад!"},
      {"171124", "В прилад вже записана новіша версія!"},
      {nullptr, "Невідомо що то є!"},
  };
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

TEST_F(LoaderDevice, UnknownLoaderVersionAndSilenceAreRefused) {
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

TEST_F(LoaderDevice, EraseAnsweredOnTheSecondTryFailsAtFourHundred) {
  SimulatedDevice device(Geometry(1, 2, 401));
  // The delays grow to 400 ms; they are counted here, not slept, so the test stays short.
  DevicePacedWaits waits(device);
  device.AnswerOnTry(DeviceFrame::Erase, 2);
  ChoosePort(device.PortName());
  app.Click(MainForm->ButtonWrite);

  // Every page's erase fails once; the 400th failure ends the write after that page's erase.
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

TEST_F(LoaderDevice, AFailedWriteNamesTheFileItsImageCameFrom) {
  Platform().ExceptionSink = nullptr;  // the missing file is shown by the framework
  SimulatedDevice device(Geometry(1, 2, 1));
  DevicePacedWaits waits(device);
  device.WrongReplyCode(DeviceFrame::Erase, "z99");
  ChoosePort(device.PortName());
  DialogAnswer answer(WriteHexFile("named.hex", {HexRecord(0, 0, {0x42})}));
  app.Click(MainForm->ButtonOpenHex);
  answer.path = "C:\\nowhere\\gone.hex";
  app.Click(MainForm->ButtonOpenHex);
  ASSERT_TRUE(app.SawMessageContaining("gone.hex"));  // the read failed and was reported
  app.Click(MainForm->ButtonWrite);                   // the first file's image, refused at every erase
  EXPECT_TRUE(app.SawMessageContaining("Помилка очистки - 000000"));
  EXPECT_EQ(MainForm->LabelNameOfHex->Caption(),
            "Мікропрограма : " + std::to_string(GetCurrentProcessId()) + "-named.hex - помилка");
}

// The device's end of the line goes away once it has the third data frame: reading its reply fails,
// the port component's exception leaves the write, and the framework shows its message. The controls
// stay as the write set them (the write button disabled), the status still tells of the write, and
// the port stays open.
TEST_F(LoaderDevice, APortFailureInTheMiddleOfTheWriteEndsItWithThePortsMessage) {
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
  EXPECT_TRUE(MainForm->ButtonOpenHex->Enabled());
  EXPECT_EQ(StopControlsEnabled(), 1);  // the open button alone
  // The stop key gives them back (the write itself has already left).
  app.QueueKey(VK_DELETE, true);
  app.Dispatch();
  EXPECT_EQ(StopControlsEnabled(), 5);
  EXPECT_TRUE(app.SawMessageContaining(kStopText));
}

TEST_F(LoaderDevice, CtrlRListsANewPortAndCtrlLResetsTheDevice) {
  SimulatedDevice device(Geometry(16, 64, 4));
  MainForm->cbPort->Items()->Clear();  // (a device of a parallel test may have had the same number)
  app.PressKey('R', true);
  EXPECT_GE(MainForm->cbPort->Items()->IndexOf(device.PortName()), 0);
  EXPECT_EQ(MainForm->cbPort->ItemIndex(), 0);
  EXPECT_EQ(app.Messages(), std::vector<std::string>{"Порти оновлено!"});
  ChoosePort(device.PortName());
  app.PressKey('L', true);
  EXPECT_EQ(device.Counts().reset, 2);
  EXPECT_TRUE(app.SawMessageContaining("Скинуто прилад!!!"));
  EXPECT_FALSE(PortOpen());
}

TEST_F(LoaderDevice, PortOpenFailuresAreReportedByTheFramework) {
  Platform().ExceptionSink = nullptr;  // as the name says
  // A port that does not exist, and no port at all (an empty list): the same message, not the advice to
  // restart the program.
  for (const char* name : {"COM199", ""}) {
    app.texts.clear();
    if (*name) {
      ChoosePort(name);
    } else {
      MainForm->cbPort->Items()->Clear();
    }
    ASSERT_EQ(MainForm->cbPort->Text(), name);
    app.Click(MainForm->ButtonWrite);
    ASSERT_EQ(app.Messages().size(), 1u) << name;
    EXPECT_EQ(app.Messages()[0].rfind("Спроба відкрити неіснуючий СОМ-порт", 0), 0u) << name;
  }

  SimulatedDevice::Options busy = Geometry(16, 64, 4);
  busy.busy = true;
  SimulatedDevice device(busy);
  ChoosePort(device.PortName());
  app.Click(MainForm->ButtonConect);
  EXPECT_TRUE(app.SawMessageContaining("Порт зайнятий іншою програмою"));
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(device.Counts().identify, 0);
}

TEST_F(LoaderDevice, CtrlDelStopsTheWriteBeforeItsNextPage) {
  // The key goes through the queue at a moment of the write and is handled at its next pump; each wait of the
  // loader counts as a second, so that every pump falls due. The page in progress runs to its end, and a stop
  // during the identification ends the write before anything is erased.
  struct Case {
    const char* name;
    int pageCount;
    std::function<bool()> now;
    int pagesWritten;
  } cases[] = {
      {"queued during the wake-up", 64, AtFirstWakeUp, 0},
      {"during page 1 of 64", 64, [] { return AtThirdBlockOfPage(1, 64); }, 1},
      {"during page 3 of 64", 64, [] { return AtThirdBlockOfPage(3, 64); }, 3},
      {"during the only page", 1, [] { return AtThirdBlockOfPage(1, 1); }, 1},
  };
  SimulatedDevice device(Geometry(4, 16, 64));
  DevicePacedWaits waits(device);
  waits.EveryWaitTakesASecond();
  ChoosePort(device.PortName());
  const std::string image = app.Session().FirmwareImage;
  for (const Case& c : cases) {
    device.SetGeometry(4, 16, c.pageCount);
    device.ResetCounts();
    app.texts.clear();
    bool queued = false, controlsBackEarly = false;
    waits.OnWait = [&] {
      if (!queued) {
        queued = c.now();
        if (queued) app.QueueKey(VK_DELETE, true);
      } else if (app.Session().StopRequested != 0) {
        // While the page in progress is finished the controls stay off.
        controlsBackEarly |= MainForm->ProgressbarReadWrite->MaxValue() == c.pageCount && StopControlsEnabled() > 0;
      }
    };
    app.QueueClick(MainForm->ButtonWrite);
    app.Dispatch();
    waits.OnWait = nullptr;

    ASSERT_TRUE(queued) << c.name;
    EXPECT_TRUE(app.SawMessageContaining(kStopText)) << c.name;
    EXPECT_FALSE(app.SawMessageContaining(kSuccessText)) << c.name;
    EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), "Зупинено користувачем") << c.name;
    const testing_support::DeviceCounts counts = device.Counts();
    EXPECT_EQ(counts.identify, 1) << c.name;
    EXPECT_EQ(counts.erase, c.pagesWritten) << c.name;
    EXPECT_EQ(counts.data, c.pagesWritten * 4) << c.name;
    EXPECT_EQ(counts.commit, c.pagesWritten * 4) << c.name;
    EXPECT_EQ(counts.reset, 0) << c.name;
    // The pages sent hold the image; the rest of the flash was never touched.
    const std::vector<uint8_t> flash = device.Memory();
    const size_t written = static_cast<size_t>(c.pagesWritten) * 4 * 16;
    const std::vector<uint8_t> sent = ImageBytes(image, written);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), flash.begin())) << c.name;
    EXPECT_TRUE(std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(written), flash.end(),
                            [](uint8_t b) { return b == 0xFF; }))
        << c.name;
    EXPECT_TRUE(PortOpen()) << c.name;
    EXPECT_FALSE(controlsBackEarly) << c.name;
    EXPECT_EQ(StopControlsEnabled(), 5) << c.name;
  }
}

TEST_F(LoaderDevice, NothingStartsInsideARunningWrite) {
  // Clicks and keys queued while file A is written, handled at the write's pumps: while the device is identified
  // the open, write and identify buttons are still enabled and refuse with a beep; while a page is written they
  // are disabled and take no click, and Ctrl+L and Ctrl+R refuse with a beep. The device gets file A, once, and
  // nothing else is asked for, listed or sent.
  app.PressKey('E', true, true);  // the service view: identify and open
  const auto click = [](TControl* c) { return [c](LoaderApp& a) { a.QueueClick(c); }; };
  const auto key = [](WORD k) { return [k](LoaderApp& a) { a.QueueKey(k, true); }; };
  struct Case {
    const char* name;
    std::function<bool()> now;
    std::vector<std::function<void(LoaderApp&)>> inputs;
    int refusals;
  } cases[] = {
      {"while the device is identified", AtFirstWakeUp,
       {click(MainForm->ButtonOpenHex), click(MainForm->ButtonWrite), click(MainForm->ButtonConect)}, 3},
      {"while a page is written", [] { return AtThirdBlockOfPage(2, 2); },
       {click(MainForm->ButtonOpenHex), click(MainForm->ButtonWrite), click(MainForm->ButtonConect), key('L'),
        key('R')},
       2},
  };
  SimulatedDevice device(Geometry(4, 16, 2));
  DevicePacedWaits waits(device);
  waits.EveryWaitTakesASecond();
  ChoosePort(device.PortName());
  const std::string fileA = WriteHexFile("a.hex", {HexRecord(0, 0, {0xA1, 0xA2}), HexRecord(0, 0x7F, {0xA3})});
  const std::string fileB = WriteHexFile("b.hex", {HexRecord(0, 0, {0xB1}), HexRecord(0, 0x40, {0xB2})});
  const std::string beep = "beep:" + std::to_string(0xFFFFFFFFu);
  for (const Case& c : cases) {
    DialogAnswer answer(fileA);
    app.Click(MainForm->ButtonOpenHex);
    const std::vector<uint8_t> image = ImageBytes(app.Session().FirmwareImage, 2 * 4 * 16);
    answer.path = fileB;
    const int ports = MainForm->cbPort->Items()->Count(), port = MainForm->cbPort->ItemIndex();
    device.ResetCounts();
    device.SetGeometry(4, 16, 2);
    app.texts.clear();
    app.sounds.clear();
    bool queued = false;
    waits.OnWait = [&] {
      if (queued || !c.now()) return;
      queued = true;
      for (const auto& input : c.inputs) input(app);
    };
    app.QueueClick(MainForm->ButtonWrite);
    app.Dispatch();
    waits.OnWait = nullptr;

    ASSERT_TRUE(queued) << c.name;
    EXPECT_EQ(answer.asked, 1) << c.name;  // file A's
    EXPECT_TRUE(device.Memory() == image) << c.name;
    const testing_support::DeviceCounts counts = device.Counts();
    EXPECT_EQ(counts.identify, 1) << c.name;
    EXPECT_EQ(counts.erase, 2) << c.name;
    EXPECT_EQ(counts.data, 2 * 4) << c.name;
    EXPECT_EQ(counts.reset, 2) << c.name;  // the write's own
    ASSERT_EQ(app.Messages().size(), 1u) << c.name;
    EXPECT_NE(app.Messages()[0].find(kSuccessText), std::string::npos) << c.name;
    EXPECT_EQ(std::count(app.sounds.begin(), app.sounds.end(), beep), c.refusals) << c.name;
    EXPECT_EQ(MainForm->cbPort->Items()->Count(), ports) << c.name;
    EXPECT_EQ(MainForm->cbPort->ItemIndex(), port) << c.name;
    EXPECT_TRUE(MainForm->ButtonOpenHex->Enabled()) << c.name;  // back once the write has left
  }
}

TEST_F(LoaderDevice, AFileRefusedOnItsLastLineLeavesTheLastGoodFirmware) {
  // After a good file: files refused on their last line (in the checking pass, in the placement pass after the
  // prefill, by a conversion error) and one that cannot be read. Image, status, write button and gauge stay as
  // they were, and the device then gets the good file.
  struct Case {
    std::string name, bad, message;
  } cases[] = {
      {"parity.hex", ":1000000", "Порушення парності у строці мікропрограми: 3! (:1000000)"},
      {"checksum.hex", ":0100000012EE", "Помилка контрольної суми у строці мікропрограми: 3! (:0100000012EE)"},
      {"start.hex", HexRecord(5, 0, {0, 0, 0x01, 0x00}),
       "Знайдено: Start Linear Address Records (MDK-ARM only): 3! (" + HexRecord(5, 0, {0, 0, 0x01, 0x00}) + ")"},
      {"nothex.hex", ":020000040G00FA", "'$0G00' is not a valid integer value."},
      {"", "", "gone.hex"},  // no such file: the framework's message names it
  };
  Platform().ExceptionSink = nullptr;  // the conversion error and the missing file are shown by the framework
  app.PressKey('E', true, true);       // the service view and its open button
  SimulatedDevice device(Geometry(16, 64, 1));
  DevicePacedWaits waits(device);
  ChoosePort(device.PortName());
  DialogAnswer answer(WriteHexFile("good.hex", {HexRecord(0, 0, {0x42, 0x43}), HexRecord(0, 0x3F0, {0x44})}));
  app.QueueClick(MainForm->ButtonOpenHex);
  app.Dispatch();
  const std::string image = app.Session().FirmwareImage;
  const std::string status = MainForm->LabelNameOfHex->Caption();
  ASSERT_EQ(image.substr(0, 6), "4243FF");
  for (const Case& c : cases) {
    answer.path = c.name.empty() ? std::string("C:\\nowhere\\gone.hex")
                                 : WriteHexFile(c.name, {HexRecord(0, 0, {0x12}), HexRecord(0, 1, {0x34}), c.bad});
    app.texts.clear();
    app.QueueClick(MainForm->ButtonOpenHex);
    app.Dispatch();
    ASSERT_EQ(app.Messages().size(), 1u) << c.name;
    EXPECT_NE(app.Messages()[0].find(c.message), std::string::npos) << app.Messages()[0];
    EXPECT_TRUE(app.Session().FirmwareImage == image) << c.name;
    EXPECT_EQ(MainForm->LabelNameOfHex->Caption(), status) << c.name;
    EXPECT_TRUE(MainForm->ButtonWrite->Enabled()) << c.name;
    EXPECT_EQ(MainForm->ProgressbarReadWrite->Progress(), 0) << c.name;
  }
  app.texts.clear();
  app.QueueClick(MainForm->ButtonWrite);
  app.Dispatch();
  EXPECT_TRUE(app.SawMessageContaining(kSuccessText));
  EXPECT_TRUE(device.Memory() == ImageBytes(image, 16 * 64));
}
