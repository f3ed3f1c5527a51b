#include "app/FrameProtocol.h"
#include "app/HexRecords.h"
#include "app/LoaderSession.h"

#include "framework/Platform.h"
#include "framework/System.h"
#include "tests/app/HexLines.h"
#include "tests/app/LoaderFakes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>

namespace {

// Identify reply of a device with the given geometry and loader version.
std::string IdentifyReply(int blocksPerPage, int blockSize, int pageCount, const std::string& version = "02") {
  char text[64];
  std::snprintf(text, sizeof text, "z82%s0000%02X%02X%04X", version.c_str(), blocksPerPage, blockSize, pageCount);
  const std::string body = text;
  return body + HexPairSumChecksum(body.substr(1)) + ";";
}

std::string DescriptionReply(const std::string& text) { return "z83" + text + "00;"; }

struct Session {
  FakeView view;
  FakePort port;
  TBootloaderSession session{port, view};
  DWORD clock = 1000;  // the platform clock's milliseconds

  explicit Session(int blocksPerPage = 2, int blockSize = 4, int pageCount = 3, const std::string& description = "171122") {
    AnswerAsDevice(port, IdentifyReply(blocksPerPage, blockSize, pageCount), DescriptionReply(description));
    // A small recognisable image instead of a full parse.
    for (int i = 0; i < 256; ++i) session.FirmwareImage += IntToHexText(static_cast<uint32_t>(i), 2);
    // A second passes at every look at the clock: every pump the loader may skip is due.
    Platform().GetTickCount = [this] { return clock += 1000; };
  }
  ~Session() { ResetPlatform(); }
  std::vector<std::string> WrittenOfKind(const std::string& kind) const {
    std::vector<std::string> out;
    for (const std::string& f : port.written)
      if (f.size() > 3 && f != "zzzzz" && f.substr(1, 2) == kind) out.push_back(f);
    return out;
  }
  bool Saw(const std::string& event) const {
    return std::find(view.events.begin(), view.events.end(), event) != view.events.end();
  }
};

const std::string kSuccessMessage =
    "                                         Мікропрограма успішно завантажена в 12:34:56\r\nПісля запису необхідно "
    "провести процедуру встановлення початкових установок (при наявності)\r\n                  Після запису "
    "необхідно провести встановлення конфігурації (при наявності)";
const std::string kWarning =
    "                                               Увага!\r\nПри неповному запису можлива некоректна робота приладу!";
const std::string kStopMessage =
    "                   Зупинено користувачем!\r\n         Мікропрограма записана частково!\r\nНеобхідно повторно "
    "вибрати файл прошивки,\r\n    і провести запис, інакще в подальшому\r\n             прилад буде не працездатний!";
// A window served less often than this looks stuck to the operator.
constexpr DWORD kServedWithinMs = 50;
// The longest time between two neighbouring clock readings.
DWORD LongestGap(const std::vector<DWORD>& at) {
  DWORD longest = 0;
  for (size_t i = 1; i < at.size(); ++i) longest = std::max(longest, at[i] - at[i - 1]);
  return longest;
}
// The beep of a start refused while another operation runs.
const std::string kRefusalBeep = "beep:" + std::to_string(0xFFFFFFFFu);
const TLoaderControl kStopControls[] = {TLoaderControl::ButtonConect, TLoaderControl::ButtonOpenHex,
                                        TLoaderControl::ButtonWrite, TLoaderControl::Port, TLoaderControl::BaudRate};

}  // namespace

// ---- identification ----

TEST(LoaderIdentify, WakesIdentifiesAndReadsTheDescription) {
  Session s;
  ASSERT_TRUE(s.session.IdentifyDevice(TIdentifyVariant::IdentifyButton));
  EXPECT_EQ(s.port.portName, "COM7");
  EXPECT_EQ(s.port.baudIndex, 12);
  ASSERT_GE(s.port.written.size(), 7u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.port.written[i], "zzzzz");
  EXPECT_EQ(s.port.written[5], "z0202;");
  EXPECT_EQ(s.port.written[6], "z0303;");
  EXPECT_EQ(s.session.BlocksPerPage, 2);
  EXPECT_EQ(s.session.BlockSize, 4);
  EXPECT_EQ(s.session.PageCount, 3);
  EXPECT_EQ(s.session.LoaderVersion, "02");
  EXPECT_EQ(s.view.about, "171122");
  EXPECT_EQ(s.view.calibration, "Автокалібровка: 0.0.0");
  EXPECT_EQ(s.view.gaugeProgress, 0);
  EXPECT_EQ(s.view.slept, 5u * 50 + 100 + 1000);
  EXPECT_TRUE(s.port.open);
  EXPECT_EQ(s.view.events.front(), "beep:" + std::to_string(MB_ICONQUESTION));
}

TEST(LoaderIdentify, AnswersOnTheThirdTry) {
  Session s;
  const std::string reply = IdentifyReply(2, 4, 3);
  s.port.replies["02"] = [reply](const std::string&, int n) { return n < 3 ? std::string() : reply; };
  ASSERT_TRUE(s.session.IdentifyDevice(TIdentifyVariant::Write));
  EXPECT_EQ(s.port.Sent("02"), 3);
  EXPECT_EQ(s.view.slept, 5u * 50 + 3 * 100 + 1000);
}

TEST(LoaderIdentify, WrongCodeEndsAtOnceAndClosesThePort) {
  for (TIdentifyVariant variant : {TIdentifyVariant::IdentifyButton, TIdentifyVariant::Write}) {
    Session s;
    s.port.replies["02"] = [](const std::string&, int) { return std::string("z83020000;"); };
    s.view.terminal = {":00000001FF"};
    s.view.about = "old";
    EXPECT_FALSE(s.session.IdentifyDevice(variant));
    EXPECT_EQ(s.port.Sent("02"), 1);
    EXPECT_FALSE(s.port.open);
    EXPECT_TRUE(s.view.terminal.empty());
    EXPECT_EQ(s.view.about, "");
    EXPECT_EQ(s.view.status, "Мікропрограма готова до запису");
    ASSERT_EQ(s.view.messages.size(), 1u);
    EXPECT_EQ(s.view.messages[0], variant == TIdentifyVariant::IdentifyButton
                                      ? "Не визначино, для усунення причин:\r\n- прилад повинен бути включеним;\r\n- "
                                        "ввести пароль;\r\n- перевірити вибір немеру СОМ;\r\n- перевірити швидкість "
                                        "(більшість 115200)."
                                      : "Не визначино, для усунення причин:\r\n- прилад повинен бути включеним;\r\n- "
                                        "розвернути роз`єм програмування;\r\n- ввести пароль;\r\n- перевірити вибір "
                                        "немеру СОМ.");
    EXPECT_TRUE(s.Saw("beep:" + std::to_string(MB_ICONHAND)));
    // The image is left alone: a later write still sends it.
    EXPECT_EQ(s.session.FirmwareImage.substr(0, 4), "0001");
  }
}

TEST(LoaderIdentify, FiveTriesWithoutAWholeReply) {
  // Silence fails and closes the port. An unterminated reply stands after the fifth try: its code is "82", so it is
  // taken as an identification with an unknown loader version, and the port stays open.
  for (const std::string reply : {"", "z82"}) {
    Session s;
    s.port.replies["02"] = [reply](const std::string&, int) { return reply; };
    EXPECT_FALSE(s.session.IdentifyDevice(TIdentifyVariant::Write)) << reply;
    EXPECT_EQ(s.port.Sent("02"), 5) << reply;
    EXPECT_EQ(s.port.open, !reply.empty()) << reply;
    if (!reply.empty()) {
      EXPECT_EQ(s.view.messages.back(), " - невідома версія завантажувача мікроконтролера");
    }
  }
}

TEST(LoaderIdentify, UnknownLoaderVersionLeavesThePortOpen) {
  Session s;
  s.port.replies["02"] = [](const std::string&, int) { return IdentifyReply(2, 4, 3, "03"); };
  s.view.enabled[TLoaderControl::ButtonOpenHex] = true;
  EXPECT_FALSE(s.session.IdentifyDevice(TIdentifyVariant::IdentifyButton));
  EXPECT_TRUE(s.view.Enabled(TLoaderControl::ButtonOpenHex));
  EXPECT_FALSE(s.session.IdentifyDevice(TIdentifyVariant::Write));
  EXPECT_FALSE(s.view.Enabled(TLoaderControl::ButtonOpenHex));
  EXPECT_TRUE(s.port.open);
  EXPECT_EQ(s.view.messages.back(), "03 - невідома версія завантажувача мікроконтролера");
  EXPECT_EQ(s.port.Sent("03"), 0);
}

TEST(LoaderIdentify, IdentifyButtonInvitesToOpenAFile) {
  Session s(2, 4, 3, "");
  s.port.replies["03"] = [](const std::string&, int) { return std::string(); };
  s.session.IdentifyButton();
  EXPECT_EQ(s.view.about, "Невідомий прилад (без текстового опису)");
  ASSERT_EQ(s.view.messages.size(), 2u);
  EXPECT_EQ(s.view.messages[0], "Визначино:\r\nНевідомий прилад (без текстового опису)");
  EXPECT_EQ(s.view.messages[1],
            "              Робота приладу призупинена!\r\nВідкрийте мікропрограму з розширенням - HEX");
  EXPECT_EQ(s.view.status, "Відкрийте мікропрограму з розширенням - HEX");
  EXPECT_TRUE(s.view.Enabled(TLoaderControl::ButtonOpenHex));
  EXPECT_EQ(s.view.focused, TLoaderControl::ButtonOpenHex);
  EXPECT_TRUE(s.port.open);
}

// ---- version check ----

TEST(LoaderVersionCheck, RefusalsResetTheDeviceAndClosePort) {
  struct Case {
    std::string reply;
    std::string message;
  } cases[] = {
      {DescriptionReply("171123"), "Дана версія вже записана в прилад!"},
      {DescriptionReply("171124"), "В прилад вже записана новіша версія!"},
      {DescriptionReply("171\n12"), "Невідомо що то є!"},
      {DescriptionReply("1711234"), "Невідомо що то є!"},
      {"", "Невідомо що то є!"},
  };
  for (const Case& c : cases) {
    Session s;
    s.port.replies["03"] = [c](const std::string&, int) { return c.reply; };
    EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Refused) << c.message;
    EXPECT_EQ(s.view.messages.back(), c.message);
    EXPECT_EQ(s.port.Sent("01"), 2);
    EXPECT_EQ(s.port.Sent("04"), 0);
    EXPECT_FALSE(s.port.open);
    EXPECT_TRUE(s.Saw("beep:" + std::to_string(MB_ICONEXCLAMATION)));
    if (c.reply.empty()) {
      EXPECT_EQ(s.view.about, "Невідомий прилад/версія");
    }
  }
}

TEST(LoaderVersionCheck, NonNumericDescriptionIsAConversionErrorWithPortOpen) {
  Session s(1, 4, 1, "17A123");
  EXPECT_THROW(s.session.WriteButton(), EConvertError);
  EXPECT_TRUE(s.port.open);
  EXPECT_EQ(s.port.Sent("01"), 0);
  EXPECT_EQ(s.port.Sent("04"), 0);
}

// ---- write sequence ----

TEST(LoaderWrite, AlwaysAnsweringDeviceGetsEveryFrameOnce) {
  Session s(2, 4, 3);
  std::vector<int64_t> pageProgress;
  bool openDuringWrite = false;
  s.view.OnPump = [&] {
    if (s.view.gaugeMax != 3) return;
    openDuringWrite |= s.view.Enabled(TLoaderControl::ButtonOpenHex);
    if (pageProgress.empty() || pageProgress.back() != s.view.gaugeProgress) pageProgress.push_back(s.view.gaugeProgress);
  };
  ASSERT_EQ(s.session.WriteButton(), TWriteOutcome::Succeeded);
  const auto erases = s.WrittenOfKind("04");
  const auto data = s.WrittenOfKind("05");
  ASSERT_EQ(erases.size(), 3u);
  ASSERT_EQ(data.size(), 6u);
  EXPECT_EQ(s.port.Sent("06"), 6);
  EXPECT_EQ(erases[0], "z0400000004;");
  EXPECT_EQ(erases[1], EraseFrame(8));
  EXPECT_EQ(erases[2], EraseFrame(16));
  // Blocks count from 1 within each page; the second page starts at byte BlocksPerPage * BlockSize.
  EXPECT_EQ(data[0], DataFrame(1, "00010203"));
  EXPECT_EQ(data[1], DataFrame(2, "04050607"));
  EXPECT_EQ(data[2], DataFrame(1, "08090A0B"));
  EXPECT_EQ(s.view.calibration, "Автокалібровка: 0.0.0");
  EXPECT_EQ(s.session.FailureCount, 0);
  EXPECT_EQ(s.view.status, "Мікропрограма : успішно завантажена в 12:34:56");
  ASSERT_GE(s.view.messages.size(), 1u);
  EXPECT_EQ(s.view.messages.back(), kSuccessMessage);
  EXPECT_EQ(s.port.written.back(), "z0101;");
  EXPECT_EQ(s.port.Sent("01"), 2);
  EXPECT_FALSE(s.port.open);
  EXPECT_FALSE(s.view.Enabled(TLoaderControl::ButtonWrite));
  EXPECT_TRUE(s.view.Enabled(TLoaderControl::ButtonConect));
  EXPECT_TRUE(s.view.Enabled(TLoaderControl::ButtonOpenHex));
  EXPECT_EQ(s.view.focused, TLoaderControl::ButtonConect);
  EXPECT_EQ(s.view.gaugeProgress, 0);
  EXPECT_EQ(pageProgress, (std::vector<int64_t>{0, 1, 2, 3}));  // the gauge counts pages
  EXPECT_FALSE(openDuringWrite);  // the open button comes back when the write has left
  // Two memo lines per try: an empty one and the frame with its verb.
  EXPECT_EQ(s.view.aboutLinesAdded, 2 * (3 + 6 + 6));
  EXPECT_EQ(s.view.lastAboutLine, "Прошив" + std::string("z0606;"));
}

TEST(LoaderWrite, NoPagesGoesStraightToResetAndSuccess) {
  Session s(2, 4, 0);
  ASSERT_EQ(s.session.WriteButton(), TWriteOutcome::Succeeded);
  EXPECT_EQ(s.port.Sent("04"), 0);
  EXPECT_EQ(s.port.Sent("01"), 2);
  EXPECT_EQ(s.view.messages.back(), kSuccessMessage);
}

TEST(LoaderWrite, EraseOnSecondTryAdaptsItsDelayAndFailsAtFourHundred) {
  Session s(1, 2, 401);
  s.port.replies["04"] = [](const std::string&, int n) { return n % 2 == 0 ? std::string("z84;") : std::string(); };
  s.view.terminal = {HexRecord(0, 0, {0x42})};
  ASSERT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::OpenedFile, "C:\\fw\\device.hex"));
  ASSERT_EQ(s.session.WriteButton(), TWriteOutcome::EraseFailed);
  // Page 400 (offset 399 * 2) was erased on its second try, then the count passed 399.
  EXPECT_EQ(s.session.EraseDelay, 400);
  EXPECT_EQ(s.session.FailureCount, 400);
  EXPECT_EQ(s.port.Sent("04"), 800);
  EXPECT_EQ(s.port.Sent("05"), 399);
  EXPECT_EQ(s.view.calibration, "Автокалібровка: 400.0.0");
  ASSERT_GE(s.view.messages.size(), 2u);
  EXPECT_EQ(s.view.messages[s.view.messages.size() - 2], "                              \r\nПомилка очистки - 00031E");
  EXPECT_EQ(s.view.messages.back(), kWarning);
  EXPECT_EQ(s.view.status, "Мікропрограма : device.hex - помилка");
  // No reset; the port stays open; the write button stays off.
  EXPECT_EQ(s.port.Sent("01"), 0);
  EXPECT_TRUE(s.port.open);
  EXPECT_FALSE(s.view.Enabled(TLoaderControl::ButtonWrite));
  EXPECT_TRUE(s.view.Enabled(TLoaderControl::Port));
  const std::vector<std::string> tail(s.view.events.end() - 8, s.view.events.end() - 3);
  EXPECT_EQ(tail[0], "front");
  EXPECT_EQ(tail[1], "beep:" + std::to_string(MB_ICONASTERISK));
  EXPECT_EQ(tail[2], "tone:1200/200");
  EXPECT_EQ(tail[3], "tone:800/200");
  EXPECT_EQ(tail[4], "tone:500/200");
}

TEST(LoaderWrite, FrameInProgressGetsItsFullTriesBeforeTheLimitIsTested) {
  Session s(1, 2, 2);
  // The first commit fails 399 times and succeeds on its last try; the next data frame fails
  // once, succeeds, and only then is the count (400) tested.
  s.port.replies["06"] = [](const std::string&, int n) { return n == 400 || n > 400 ? std::string("z86;") : std::string(); };
  s.port.replies["05"] = [](const std::string&, int n) { return n == 2 ? std::string() : std::string("z85;"); };
  EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::DataFailed);
  EXPECT_EQ(s.session.CommitDelay, 399);
  EXPECT_EQ(s.session.WriteDelay, 1);
  EXPECT_EQ(s.session.FailureCount, 400);
  EXPECT_EQ(s.view.messages[s.view.messages.size() - 2], "                              \r\nПомилка запису - 000002");
}

TEST(LoaderWrite, CommitFailureReportsItsBlock) {
  Session s(2, 4, 1);
  s.port.replies["06"] = [](const std::string&, int n) { return n == 1 ? std::string("z86;") : std::string("z96;"); };
  EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::CommitFailed);
  EXPECT_EQ(s.port.Sent("06"), 401);
  EXPECT_EQ(s.view.messages[s.view.messages.size() - 2], "                              \r\nПомилка прошивки - 000004");
  EXPECT_EQ(s.view.PageBarPosition(), 2);
}

TEST(LoaderWrite, StopKeyEndsTheWriteAtItsNextTest) {
  // The key at a pump of the write, and what the device has been sent when the write leaves: the page in progress
  // runs to its end, and a stop while the device is identified ends the write before anything is erased.
  struct Case {
    const char* name;
    int pages;
    std::function<bool(const Session&)> pressNow;
    int erases, blocks;
  } cases[] = {
      {"during the identification", 3, [](const Session& s) { return s.view.gaugeMax == 100; }, 0, 0},
      {"during the first page", 3, [](const Session& s) { return s.port.Sent("05") == 1; }, 1, 2},
      {"during the only page", 1, [](const Session& s) { return s.port.Sent("05") == 1; }, 1, 2},
      {"while the second page's frames succeed", 5, [](const Session& s) { return s.port.Sent("05") == 3; }, 2, 4},
  };
  for (const Case& c : cases) {
    Session s(2, 4, c.pages);
    bool pressed = false, controlsBackEarly = false;
    s.view.OnPump = [&] {
      if (!pressed) {
        if (c.pressNow(s)) pressed = s.session.RequestStop();
        return;
      }
      for (TLoaderControl control : kStopControls) controlsBackEarly |= s.view.Enabled(control);
    };
    EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Stopped) << c.name;
    EXPECT_EQ(s.port.Sent("02"), 1) << c.name;
    EXPECT_EQ(s.port.Sent("04"), c.erases) << c.name;
    EXPECT_EQ(s.port.Sent("05"), c.blocks) << c.name;
    EXPECT_EQ(s.port.Sent("06"), c.blocks) << c.name;
    EXPECT_EQ(s.port.Sent("01"), 0) << c.name;
    EXPECT_TRUE(s.port.open) << c.name;
    EXPECT_EQ(s.view.status, "Зупинено користувачем") << c.name;
    EXPECT_EQ(s.view.messages, std::vector<std::string>{kStopMessage}) << c.name;
    // Back once nothing more is sent, not while the page in progress is still written.
    EXPECT_FALSE(controlsBackEarly) << c.name;
    for (TLoaderControl control : kStopControls) EXPECT_TRUE(s.view.Enabled(control)) << c.name;
  }
}

TEST(LoaderWrite, StopKeyTakesEffectAtTheNextFailedTry) {
  Session s(2, 4, 5);
  s.port.replies["05"] = [](const std::string&, int n) { return n <= 2 ? std::string("z85;") : std::string(); };
  // Pressed while the second page's first block is tried again: that try still reads, fails, and stops.
  s.view.OnPump = [&] {
    if (s.port.Sent("05") == 4 && s.session.StopRequested == 0) s.session.RequestStop();
  };
  EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Stopped);
  EXPECT_EQ(s.port.Sent("05"), 4);
  EXPECT_EQ(s.session.FailureCount, 2);
  EXPECT_EQ(s.view.calibration, "Автокалібровка: 0.2.0");
}

TEST(LoaderWrite, StopKeyDoesNothingWhereNoWriteCanStop) {
  // Pressed at every pump and every message box: idle, in a parse, in the identify button's exchange, and at the
  // end of a write (its refusal or its success message), where nothing would be stopped.
  struct Case {
    const char* name;
    std::function<void(Session&)> run;
    bool atPumps;
  } cases[] = {
      {"idle", [](Session&) {}, true},
      {"parse",
       [](Session& s) {
         s.view.terminal = {HexRecord(0, 0, {1}), HexRecord(0, 1, {2})};
         s.session.ParseFirmwareLines(TParseOrigin::Startup);
       },
       true},
      {"identify button", [](Session& s) { s.session.IdentifyButton(); }, true},
      {"version refusal",
       [](Session& s) {
         s.port.replies["03"] = [](const std::string&, int) { return DescriptionReply("171123"); };
         s.session.WriteButton();
       },
       false},
      {"success message", [](Session& s) { s.session.WriteButton(); }, false},
  };
  for (const Case& c : cases) {
    Session s;
    bool taken = s.session.RequestStop();
    if (c.atPumps) s.view.OnPump = [&] { taken |= s.session.RequestStop(); };
    s.view.OnMessage = [&] { taken |= s.session.RequestStop(); };
    c.run(s);
    EXPECT_FALSE(taken) << c.name;
    EXPECT_EQ(s.session.StopRequested, 0) << c.name;
    EXPECT_EQ(std::count(s.view.messages.begin(), s.view.messages.end(), kStopMessage), 0) << c.name;
  }
}

TEST(LoaderWrite, StopKeyAfterAFailedWriteGivesEveryControlBackOnceWhileOneIsStillOff) {
  // Whatever ended the write and on whichever page; after a port failure also when the next write is refused at the
  // identification, or a parse has given back the write button alone. The key is inert while the failure is
  // reported and acts once after it; after the device's failure and a parse or the identify button, not at all.
  const auto never = [](const std::string&, int) { return std::string("z7F7F;"); };
  const auto portGone = [](const std::string&, int) -> std::string { throw std::runtime_error("gone"); };
  const auto parse = [](Session& s) { EXPECT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::Startup)); };
  const auto refusedWrite = [](Session& s) {
    s.port.replies["02"] = [](const std::string&, int) { return std::string(); };
    EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Refused);
  };
  struct Case {
    const char* name, *kind;
    FakePort::Reply reply;
    std::function<void(Session&)> then;
    bool acts;
  } cases[] = {
      {"erase, first page", "04", never, nullptr, true},
      {"data, second page", "05", [](const std::string&, int n) { return n <= 2 ? "z85;" : "z7F7F;"; }, nullptr, true},
      {"commit, first page", "06", never, nullptr, true},
      {"the port, then a write refused", "05", portGone, refusedWrite, true},
      {"the port, then a parse", "05", portGone, parse, true},
      {"erase, then a parse", "04", never, parse, false},
      {"erase, then the identify button", "04", never, [](Session& s) { s.session.IdentifyButton(); }, false},
  };
  for (const Case& c : cases) {
    Session s(2, 4, 3);
    s.port.replies[c.kind] = c.reply;
    bool takenEarly = false;
    s.view.OnMessage = [&] { takenEarly |= s.session.RequestStop(); };
    try {
      s.session.WriteButton();
    } catch (const std::runtime_error&) {
    }
    s.view.OnMessage = nullptr;
    EXPECT_FALSE(s.view.Enabled(TLoaderControl::ButtonWrite)) << c.name;
    if (c.then) c.then(s);
    EXPECT_FALSE(takenEarly) << c.name;
    s.view.messages.clear();
    const std::string status = s.view.status;
    EXPECT_EQ(s.session.RequestStop(), c.acts) << c.name;
    for (TLoaderControl control : kStopControls) EXPECT_TRUE(s.view.Enabled(control) || !c.acts) << c.name;
    EXPECT_EQ(s.view.status, c.acts ? "Зупинено користувачем" : status) << c.name;
    EXPECT_EQ(s.view.messages, std::vector<std::string>(c.acts ? 1 : 0, kStopMessage)) << c.name;
    EXPECT_FALSE(s.session.RequestStop()) << c.name;

    // Failed again, then written whole: the key has nothing left to give back.
    AnswerAsDevice(s.port, IdentifyReply(2, 4, 3), DescriptionReply("171122"));
    s.port.replies["06"] = never;
    EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::CommitFailed) << c.name;
    AnswerAsDevice(s.port, IdentifyReply(2, 4, 3), DescriptionReply("171122"));
    EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Succeeded) << c.name;
    EXPECT_FALSE(s.session.RequestStop()) << c.name;
  }
}

TEST(LoaderWrite, TheWindowIsServedWhileDataFramesAreOnTheWireAndSeesEveryPageCounted) {
  // Three pages; each data frame takes `frameMs` of the platform clock on the wire (erase and commit frames are
  // short). However the pumps are tuned, the window waits at most kServedWithinMs and sees each step of the gauge (a
  // stopped clock included); it is served while a data frame is on the wire, but before the first page and after the
  // last. With no blocks in a page, at each page start instead.
  const std::pair<int, DWORD> cases[] = {{8, 0}, {8, 10}, {8, 30}, {0, 0}};
  for (const auto& [blocks, frameMs] : cases) {
    Session s(blocks, 4, 3);
    DWORD now = 1000;
    Platform().GetTickCount = [&] { return now; };
    s.port.replies["05"] = [&now, ms = frameMs](const std::string&, int) { return now += ms, std::string("z85;"); };
    std::vector<DWORD> at;  // the clock at each of the write's pumps
    std::set<int64_t> steps;
    int onTheWire = 0;
    s.view.OnPump = [&] {
      if (s.view.gaugeMax != 3) return;  // not the identification's
      at.push_back(now);
      steps.insert(s.view.gaugeProgress);
      onTheWire += !s.port.pending.empty() && s.port.written.back().compare(0, 3, "z05") == 0;  // sent, not read
    };
    EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Succeeded);
    EXPECT_LE(LongestGap(at), kServedWithinMs) << frameMs << " ms a frame";
    EXPECT_EQ(steps, (std::set<int64_t>{0, 1, 2, 3})) << blocks << " blocks, " << frameMs << " ms a frame";
    EXPECT_EQ(onTheWire, blocks == 0 ? 0 : static_cast<int>(at.size()) - 2) << frameMs << " ms a frame";
  }
}

TEST(LoaderWrite, InputWaitingAtAPageStartIsPumpedBeforeItsStopTest) {
  // A stopped clock: no pump falls due. The key comes with the first page's last reply, after the page's pumps.
  Session s(2, 4, 3);
  Platform().GetTickCount = [] { return DWORD{1000}; };
  s.port.replies["06"] = [&s](const std::string&, int n) {
    s.view.keysWaiting = n == 2;
    return std::string("z86;");
  };
  s.view.OnPump = [&s] {
    if (s.view.keysWaiting) s.session.RequestStop();
    s.view.keysWaiting = false;
  };
  EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Stopped);
  EXPECT_EQ(s.port.Sent("04"), 1);
  EXPECT_EQ(s.port.Sent("05"), 2);
}

TEST(LoaderWrite, TheMemoHoldsEveryTriesLogHoweverTheWriteEnds) {
  // With a stopped clock no pump falls due between frames: only the end of the write puts the log in.
  struct Case {
    const char* name;
    std::function<void(Session&)> arrange;
    TWriteOutcome outcome;
  } cases[] = {
      {"success", [](Session&) {}, TWriteOutcome::Succeeded},
      {"commit failure",
       [](Session& s) { s.port.replies["06"] = [](const std::string&, int) { return std::string(); }; },
       TWriteOutcome::CommitFailed},
      {"stop key",
       [](Session& s) {
         s.view.OnPump = [&s] {
           if (s.port.Sent("04") == 1) s.session.RequestStop();
         };
       },
       TWriteOutcome::Stopped},
      {"port failure",
       [](Session& s) {
         s.port.replies["05"] = [&s](const std::string&, int n) {
           if (n == 3) s.port.open = false;  // the next frame's write fails
           return std::string("z85;");
         };
       },
       TWriteOutcome::Refused},  // none: it raises
  };
  for (const Case& c : cases) {
    Session s(2, 4, 3);
    Platform().GetTickCount = [] { return DWORD{1000}; };
    c.arrange(s);
    if (c.outcome == TWriteOutcome::Refused) {
      EXPECT_THROW(s.session.WriteButton(), std::runtime_error) << c.name;
    } else {
      EXPECT_EQ(s.session.WriteButton(), c.outcome) << c.name;
    }
    const int tries = s.port.Sent("04") + s.port.Sent("05") + s.port.Sent("06");
    EXPECT_EQ(s.view.aboutLinesPending, 0) << c.name;
    EXPECT_EQ(s.view.aboutLinesAdded, 2 * tries) << c.name;
  }
}

TEST(LoaderWrite, BlocksBeyondTheImageCarryWhatIsThere) {
  Session s(1, 200, 2);  // the test image holds 256 bytes
  ASSERT_EQ(s.session.WriteButton(), TWriteOutcome::Succeeded);
  const auto data = s.WrittenOfKind("05");
  ASSERT_EQ(data.size(), 2u);
  EXPECT_EQ(data[1].size(), 3 + 2 + 2 * 56 + 2 + 1u);
}

TEST(LoaderWrite, OnlyAnImageAParseCompletedIsWritten) {
  Session s;
  s.session.FirmwareImage.clear();  // as after a start that could not read the port list
  s.view.terminal = {":0100000012EE"};
  EXPECT_FALSE(s.session.ParseFirmwareLines(TParseOrigin::Startup));
  EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Refused);
  EXPECT_TRUE(s.port.written.empty());
  EXPECT_TRUE(s.Saw(kRefusalBeep));
  s.view.terminal = {HexRecord(0, 0, {0x42})};
  ASSERT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::Startup));
  EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::Succeeded);
}

TEST(LoaderSession, NothingStartsInsideARunningOperation) {
  // Each operation started at the first pump or box of each: refused with a beep, it sends nothing and leaves
  // the image alone.
  const std::pair<const char*, std::function<void(Session&)>> operations[] = {
      {"parse", [](Session& s) { s.session.ParseFirmwareLines(TParseOrigin::OpenedFile, "new.hex"); }},
      {"identify button", [](Session& s) { s.session.IdentifyButton(); }},
      {"write", [](Session& s) { s.session.WriteButton(); }},
      {"keyboard reset", [](Session& s) { s.session.ResetFromKeyboard(); }},
  };
  for (const auto& [outerName, outer] : operations)
    for (const auto& [innerName, inner] : operations) {
      Session s;
      s.view.terminal = {HexRecord(0, 0, {0x42})};
      bool tried = false;
      size_t sentBefore = 0, sentAfter = 0;
      bool imageKept = false;
      auto tryInner = [&, &inner = inner] {
        if (tried) return;
        tried = true;
        sentBefore = s.port.written.size();
        const std::string image = s.session.FirmwareImage;
        inner(s);
        sentAfter = s.port.written.size();
        imageKept = s.session.FirmwareImage == image;
      };
      s.view.OnPump = tryInner;
      s.view.OnMessage = tryInner;
      outer(s);
      const std::string where = std::string(innerName) + " inside " + outerName;
      ASSERT_TRUE(tried) << where;
      EXPECT_EQ(sentAfter, sentBefore) << where;
      EXPECT_TRUE(imageKept) << where;
      EXPECT_TRUE(s.Saw(kRefusalBeep)) << where;
      EXPECT_FALSE(s.session.Busy()) << where;
    }
}

TEST(LoaderReset, KeyboardResetSendsTwoResetsAndClosesThePort) {
  Session s;
  s.session.ResetFromKeyboard();
  EXPECT_EQ(s.port.written, (std::vector<std::string>{"z0101;", "z0101;"}));
  EXPECT_FALSE(s.port.open);
  EXPECT_EQ(s.view.messages, std::vector<std::string>{"Скинуто прилад!!!"});
  EXPECT_EQ(s.view.slept, 100u);
}

// ---- parsing the firmware lines ----

namespace {

std::vector<std::string> SmallFirmware() {
  return {HexRecord(4, 0, {0x00, 0x00}), HexRecord(0, 0x0000, {0x01, 0x02}), "",
          HexRecord(4, 0, {0x00, 0x30}), HexRecord(0, 0x0010, {0xA0}),     HexRecord(3, 0, {0, 0, 0, 0}),
          ":00000001FF",                 HexRecord(0, 0x0020, {0xEE})};
}

}  // namespace

TEST(LoaderParse, StoredStyleFirmwareParsesAndEnablesWriting) {
  Session s;
  s.view.terminal = SmallFirmware();
  ASSERT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::Startup));
  const std::string& image = s.session.FirmwareImage;
  ASSERT_EQ(image.size(), 40000000u);
  EXPECT_EQ(image.substr(0, 6), "0102FF");
  EXPECT_EQ(image.substr(2 * 0x300010, 4), "A0FF");
  // Records after the end record are checked but not placed.
  EXPECT_EQ(image.substr(2 * 0x300020, 2), "FF");
  EXPECT_EQ(image.find_first_not_of('F', 2 * 0x300011), std::string::npos);
  EXPECT_EQ(s.view.status, "Мікропрограма готова до запису");
  EXPECT_TRUE(s.view.Enabled(TLoaderControl::ButtonWrite));
  EXPECT_TRUE(s.view.messages.empty());
  EXPECT_EQ(s.view.gaugeProgress, 0);
  EXPECT_EQ(s.view.gaugeHigh, 60000);  // the prefill fills the gauge
  EXPECT_EQ(s.view.events.back(), "status:Мікропрограма готова до запису");
}

TEST(LoaderParse, LowerCaseParsesTheSameAndTheMemoBecomesUpperCase) {
  Session a, b;
  a.view.terminal = SmallFirmware();
  b.view.terminal = SmallFirmware();
  for (std::string& line : b.view.terminal)
    for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  b.view.terminal.push_back("; коментар");
  ASSERT_TRUE(a.session.ParseFirmwareLines(TParseOrigin::Startup));
  ASSERT_TRUE(b.session.ParseFirmwareLines(TParseOrigin::Startup));
  EXPECT_TRUE(a.session.FirmwareImage == b.session.FirmwareImage);
  EXPECT_EQ(b.view.terminal[1], SmallFirmware()[1]);
  EXPECT_EQ(b.view.terminal.back(), "; КОМЕНТАР");
}

TEST(LoaderParse, AnOpenedFileWithoutEndRecordSucceedsWithItsNameAndSoDoesAnEmptyOne) {
  Session s;
  s.view.terminal = {HexRecord(0, 0, {0x42})};
  ASSERT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::OpenedFile, "Z:\\tmp\\new.hex"));
  EXPECT_EQ(s.view.status, "Мікропрограма : new.hex - відкрита. Запишіть в прилад");
  EXPECT_EQ(s.view.messages, std::vector<std::string>{"Мікропрограма відкрита,\r\n   запишіть її в прилад"});
  EXPECT_EQ(s.session.FirmwareImage.substr(0, 4), "42FF");
  s.view.terminal.clear();
  EXPECT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::OpenedFile));
  EXPECT_EQ(s.view.gaugeMax, 0);
}

TEST(LoaderParse, AFailedParseLeavesTheLastGoodImageAndItsName) {
  // After a good file, files refused on their last line: in the checking pass, in the placement pass after the
  // prefill, and by a conversion error while placing. The comment line moves the gauge in the checking pass.
  struct Case {
    std::string bad, message;  // no message: the conversion error is raised
    int64_t gaugeHigh;
  } cases[] = {
      {":0000000FF", "Порушення парності у строці мікропрограми: 3! (:0000000FF)", 2},
      {":00000001FE", "Помилка контрольної суми у строці мікропрограми: 3! (:00000001FE)", 2},
      {HexRecord(5, 0, {0, 0, 1, 0}),
       "Знайдено: Start Linear Address Records (MDK-ARM only): 3! (" + HexRecord(5, 0, {0, 0, 1, 0}) + ")", 60000},
      {":020000040G00FA", "", 60000},
  };
  Session s;
  s.view.terminal = {HexRecord(0, 0, {0x42})};
  ASSERT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::OpenedFile, "C:\\fw\\good.hex"));
  const std::string good = s.session.FirmwareImage, status = s.view.status;
  for (const Case& c : cases) {
    s.view.messages.clear();
    s.view.gaugeHigh = 0;
    s.view.terminal = {HexRecord(0, 0, {0x12}), "comment", c.bad};
    if (c.message.empty()) {
      EXPECT_THROW(s.session.ParseFirmwareLines(TParseOrigin::OpenedFile, "C:\\fw\\bad.hex"), EConvertError);
    } else {
      EXPECT_FALSE(s.session.ParseFirmwareLines(TParseOrigin::OpenedFile, "C:\\fw\\bad.hex")) << c.bad;
      EXPECT_EQ(s.view.messages, std::vector<std::string>{c.message});
      EXPECT_TRUE(s.Saw("beep:" + std::to_string(MB_ICONHAND))) << c.bad;
    }
    EXPECT_TRUE(s.session.FirmwareImage == good) << c.bad;
    EXPECT_EQ(s.view.status, status) << c.bad;
    EXPECT_TRUE(s.view.Enabled(TLoaderControl::ButtonWrite)) << c.bad;
    EXPECT_EQ(s.view.gaugeProgress, 0) << c.bad;
    EXPECT_EQ(s.view.gaugeHigh, c.gaugeHigh) << c.bad;
  }
  // A write failing afterwards names the file its image came from.
  s.port.replies["04"] = [](const std::string&, int) { return std::string(); };
  EXPECT_EQ(s.session.WriteButton(), TWriteOutcome::EraseFailed);
  EXPECT_EQ(s.view.status, "Мікропрограма : good.hex - помилка");
}

TEST(LoaderParse, ServesTheWindowByTheClockNotAtEveryLine) {
  // 1,000,000 runs and 10,000 line visits: one pump each would freeze the window for seconds. The passes look at the
  // clock at each line and chunk of runs; here it moves on by `step` ms a look. A stopped clock pumps once; a moving
  // one keeps the window waiting at most kServedWithinMs, from the parse's start to its end.
  for (DWORD step : {0, 1}) {
    DWORD now = 1000;
    int looks = 0;
    std::vector<DWORD> at{now};  // the clock at the start, each pump and the end
    Session s;
    Platform().GetTickCount = [&] {
      ++looks;
      return now += step;
    };
    s.view.OnPump = [&] { at.push_back(now); };
    s.view.terminal = std::vector<std::string>(5000, HexRecord(0, 0, {1}));
    const bool parsed = s.session.ParseFirmwareLines(TParseOrigin::Startup);
    at.push_back(now);
    ResetPlatform();
    ASSERT_TRUE(parsed);
    EXPECT_GE(looks, 10000) << "step " << step;
    EXPECT_LE(LongestGap(at), kServedWithinMs) << "step " << step;
    EXPECT_TRUE(step > 0 || s.view.pumps == 1) << s.view.pumps << " pumps";  // a stopped clock: the first look only
  }
}

TEST(LoaderSession, StringsAreReleasedWhenTheProgramEnds) {
  Session s;
  s.view.terminal = {HexRecord(0, 0, {1})};
  ASSERT_TRUE(s.session.ParseFirmwareLines(TParseOrigin::Startup));
  s.session.ReplyText = "z8302;";
  s.session.ReleaseStrings();
  EXPECT_TRUE(s.session.FirmwareImage.empty());
  EXPECT_LT(s.session.FirmwareImage.capacity(), 64u);
  EXPECT_TRUE(s.session.ReplyText.empty());
}
