#include "app/LoaderSession.h"

#include "app/FrameProtocol.h"
#include "app/HexRecords.h"
#include "framework/Milestones.h"
#include "framework/Platform.h"

#include <windows.h>

#include <algorithm>

const char* const CarriedFirmwareVersion = "171123";

namespace {

const char* const kReadyText = "Мікропрограма готова до запису";
const char* const kNoAnswerIdentify =
    "Не визначино, для усунення причин:\r\n- прилад повинен бути включеним;\r\n- ввести пароль;\r\n- перевірити "
    "вибір немеру СОМ;\r\n- перевірити швидкість (більшість 115200).";
const char* const kNoAnswerWrite =
    "Не визначино, для усунення причин:\r\n- прилад повинен бути включеним;\r\n- розвернути роз`єм "
    "програмування;\r\n- ввести пароль;\r\n- перевірити вибір немеру СОМ.";
const char* const kStopText =
    "                   Зупинено користувачем!\r\n         Мікропрограма записана частково!\r\nНеобхідно повторно "
    "вибрати файл прошивки,\r\n    і провести запис, інакще в подальшому\r\n             прилад буде не працездатний!";

// A pump at most this often during the passes over lines and the prefill.
constexpr DWORD kPumpPeriodMs = 4;
// A pump at most this often during a write. Each pump also lets the serial port's event thread wait again, which
// under Wine polls the line and slows the reads.
constexpr DWORD kWritePumpPeriodMs = 30;
// Erased runs appended between two looks at the clock during the prefill.
constexpr size_t kPrefillChunkRuns = 1000;
// The simple beep of a start refused while another operation runs.
constexpr unsigned kRefusalBeep = 0xFFFFFFFF;

// Holds a flag of the session for the life of an operation, however it ends.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& flag_;
};

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int64_t GaugeMaxForLines(size_t count) {
  // The gauge refuses a maximum below its minimum 0, which an empty line list would ask for.
  return count == 0 ? 0 : static_cast<int64_t>(count) - 1;
}

std::string UpperCaseAnsi(std::string text) {
  if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

} // namespace

bool TBootloaderSession::PumpWhenDue(uint32_t periodMs) {
  const DWORD now = Platform().GetTickCount();
  if (now - lastPump_ < periodMs) return false;
  lastPump_ = now;
  view_.ProcessMessages();
  return true;
}

bool TBootloaderSession::PumpOnTheWire(TWirePump pump) {
  switch (pump) {
    case TWirePump::WhenDue: return PumpWhenDue(kWritePumpPeriodMs);
    case TWirePump::Now: Pump(); return true;
    case TWirePump::OnRetry: break;
  }
  return false;
}

void TBootloaderSession::Pump() {
  lastPump_ = Platform().GetTickCount();
  view_.ProcessMessages();
}

bool TBootloaderSession::RefuseWhileBusy() {
  if (!busy_) return false;
  view_.MessageBeep(kRefusalBeep);
  return true;
}

bool TBootloaderSession::ReportParseError(const char* text, size_t lineIndex, const std::string& line) {
  view_.MessageBeep(MB_ICONHAND);
  view_.ShowMessage(text + std::to_string(lineIndex + 1) + "!" + " (" + line + ")");
  view_.SetGaugeProgress(0);
  return false;
}

bool TBootloaderSession::ParseFirmwareLines(TParseOrigin origin, const std::string& path) {
  if (RefuseWhileBusy()) return false;
  TFlagScope running(busy_);
  Milestone("firmware parse");
  std::vector<std::string> lines = view_.TerminalLines();
  for (std::string& line : lines) line = UpperCaseAnsi(std::move(line));
  view_.SetTerminalLines(lines);

  // The image is built aside and taken only once the parse has succeeded: a file refused part way leaves the
  // last good firmware to be written, not the records before its bad line over an erased image.
  std::string image;
  bool built = false;
  try {
    built = BuildImage(lines, image);
  } catch (...) {
    view_.SetGaugeProgress(0);  // a conversion error too leaves no part-filled gauge behind
    throw;
  }
  if (!built) return false;
  FirmwareImage.swap(image);
  if (origin == TParseOrigin::OpenedFile) openedFileName_ = FileNameOf(path);

  view_.BringToFront();
  view_.SetGaugeProgress(0);
  EnableControl(TLoaderControl::ButtonWrite);
  view_.MessageBeep(MB_ICONASTERISK);
  Milestone("firmware parsed");
  if (origin == TParseOrigin::Startup) {
    view_.SetStatus(kReadyText);
  } else {
    view_.SetStatus("Мікропрограма : " + openedFileName_ + " - відкрита" + ". Запишіть в прилад");
    view_.ShowMessage("Мікропрограма відкрита,\r\n   запишіть її в прилад");
  }
  return true;
}

bool TBootloaderSession::BuildImage(const std::vector<std::string>& lines, std::string& image) {
  view_.SetGaugeMax(GaugeMaxForLines(lines.size()));
  view_.SetGaugeProgress(0);
  for (size_t i = 0; i < lines.size(); ++i) {
    PumpWhenDue(kPumpPeriodMs);
    switch (CheckHexLine(lines[i])) {
      case THexLineCheck::ParityError:
        return ReportParseError("Порушення парності у строці мікропрограми: ", i, lines[i]);
      case THexLineCheck::ChecksumError:
        return ReportParseError("Помилка контрольної суми у строці мікропрограми: ", i, lines[i]);
      case THexLineCheck::NotRecord:
      case THexLineCheck::Valid:
        break;
    }
    view_.SetGaugeProgress(view_.GaugeProgress() + 1);
  }

  // The erased image in one allocation, appended run by run in chunks so the gauge fills as the
  // runs are counted and the window stays live.
  view_.SetGaugeMax(60000);
  view_.SetGaugeProgress(0);
  image.clear();
  image.reserve(FirmwareImageChars);
  const std::string chunk(ErasedRunChars * kPrefillChunkRuns, 'F');
  for (size_t runs = 0; runs < ErasedRunCount; runs += kPrefillChunkRuns) {
    PumpWhenDue(kPumpPeriodMs);
    image.append(chunk);
    view_.SetGaugeProgress(view_.GaugeProgress() + static_cast<int64_t>(kPrefillChunkRuns));
  }

  view_.SetGaugeMax(GaugeMaxForLines(lines.size()));
  view_.SetGaugeProgress(0);
  THexPlacer placer(image);
  for (size_t i = 0; i < lines.size(); ++i) {
    PumpWhenDue(kPumpPeriodMs);
    const THexRecordKind kind = placer.Place(lines[i]);
    if (kind == THexRecordKind::NotRecord) continue;
    if (kind == THexRecordKind::EndOfFile) break;
    if (kind == THexRecordKind::StartLinearAddress)
      return ReportParseError("Знайдено: Start Linear Address Records (MDK-ARM only): ", i, lines[i]);
    view_.SetGaugeProgress(view_.GaugeProgress() + 1);
  }
  return true;
}

void TBootloaderSession::ReopenPort() {
  port_.Close();
  port_.Configure(view_.PortName(), view_.BaudRateIndex());
  port_.Open();
}

bool TBootloaderSession::IdentifyDevice(TIdentifyVariant variant) {
  if (variant == TIdentifyVariant::IdentifyButton) view_.MessageBeep(MB_ICONQUESTION);
  ReopenPort();
  view_.SetPageBarPosition(0);
  view_.SetCalibration("Автокалібровка: 0.0.0");
  view_.SetGaugeMax(100);
  view_.SetGaugeProgress(0);

  for (int i = 0; i < 5; ++i) {
    port_.WriteStr(WakeUpText);
    view_.SetGaugeProgress(view_.GaugeProgress() + 10);
    view_.Sleep(50);
  }
  view_.ProcessMessages();
  for (int attempt = 0; attempt < 5; ++attempt) {
    port_.WriteStr(IdentifyFrame);
    view_.SetGaugeProgress(view_.GaugeProgress() + 10);
    view_.Sleep(100);
    ReplyText = port_.ReadStr(40);
    if (!ReplyText.empty() && ReplyText.back() == ';') break;
  }
  ReplyCode = TextSlice(ReplyText, 2, 2);
  view_.BringToFront();

  if (ReplyCode != "82") {
    writeMayStop_ = false;  // the write ends here: a stop key from now on has nothing to stop
    view_.MessageBeep(MB_ICONHAND);
    view_.SetStatus(kReadyText);
    view_.SetGaugeProgress(0);
    view_.SetTerminalLines({});
    view_.SetAboutText("");
    port_.Close();
    view_.ShowMessage(variant == TIdentifyVariant::IdentifyButton ? kNoAnswerIdentify : kNoAnswerWrite);
    view_.SetGaugeProgress(0);
    return false;
  }

  const TIdentifyReply reply = ParseIdentifyReply(ReplyText);
  LoaderVersion = reply.LoaderVersion;
  SpareField1 = reply.SpareField1;
  SpareField2 = reply.SpareField2;
  BlocksPerPage = reply.BlocksPerPage;
  BlockSize = reply.BlockSize;
  PageCount = reply.PageCount;

  if (LoaderVersion != "02") {
    writeMayStop_ = false;
    view_.MessageBeep(MB_ICONASTERISK);
    view_.SetStatus(kReadyText);
    view_.SetGaugeProgress(0);
    if (variant == TIdentifyVariant::Write) view_.SetControlEnabled(TLoaderControl::ButtonOpenHex, false);
    view_.SetTerminalLines({});
    view_.SetAboutText("");
    view_.ShowMessage(LoaderVersion + " - невідома версія завантажувача мікроконтролера");
    view_.SetGaugeProgress(0);
    return false;
  }

  view_.SetAboutText("");
  ReplyCode.clear();
  port_.WriteStr(DescribeFrame);
  view_.SetGaugeProgress(view_.GaugeProgress() + 20);
  view_.Sleep(1000);
  ReplyText = port_.ReadStr(1000);
  ReplyCode = TextSlice(ReplyText, 2, 2);
  ReplyText = DescriptionBody(ReplyText);
  view_.SetGaugeProgress(0);
  if (!ReplyText.empty())
    view_.SetAboutText(DescriptionMemoText(ReplyText));
  else
    view_.SetAboutText(variant == TIdentifyVariant::IdentifyButton ? "Невідомий прилад (без текстового опису)"
                                                                   : "Невідомий прилад/версія");
  return true;
}

void TBootloaderSession::IdentifyButton() {
  if (RefuseWhileBusy()) return;
  TFlagScope running(busy_);
  // However it ends, it leads the operator on to a file, whose parse gives the write button back: after it the stop
  // key has nothing to stop or give back.
  HoldForStopKey({});
  if (!IdentifyDevice(TIdentifyVariant::IdentifyButton)) return;
  EnableControl(TLoaderControl::ButtonOpenHex);
  view_.MessageBeep(MB_ICONASTERISK);
  view_.ShowMessage("Визначино:\r\n" + view_.AboutText());
  view_.ShowMessage("              Робота приладу призупинена!\r\nВідкрийте мікропрограму з розширенням - HEX");
  view_.SetStatus("Відкрийте мікропрограму з розширенням - HEX");
  view_.FocusControl(TLoaderControl::ButtonOpenHex);
}

bool TBootloaderSession::CheckVersion() {
  const std::string description = view_.AboutText();
  const char* refusal = nullptr;
  if (description.size() != 6)
    refusal = "Невідомо що то є!";
  else if (description == CarriedFirmwareVersion)
    refusal = "Дана версія вже записана в прилад!";
  else if (DecimalFieldValue(description) > DecimalFieldValue(CarriedFirmwareVersion))
    refusal = "В прилад вже записана новіша версія!";
  if (!refusal) return true;
  writeMayStop_ = false;
  ResetDevice();
  view_.MessageBeep(MB_ICONEXCLAMATION);
  port_.Close();
  view_.ShowMessage(refusal);
  return false;
}

TWriteOutcome TBootloaderSession::WriteButton() {
  if (RefuseWhileBusy()) return TWriteOutcome::Refused;
  // Only an image that a parse has completed is ever written (a start without a port list parses nothing).
  if (FirmwareImage.empty()) {
    view_.MessageBeep(kRefusalBeep);
    return TWriteOutcome::Refused;
  }
  TFlagScope running(busy_);
  // The stop key counts from the click on, so a stop pressed while the device is identified is not lost.
  StopRequested = 0;
  TFlagScope stoppable(writeMayStop_);
  if (!IdentifyDevice(TIdentifyVariant::Write)) return TWriteOutcome::Refused;
  if (StopRequested != 0) return FinishStopped();  // nothing has been erased
  if (!CheckVersion()) return TWriteOutcome::Refused;
  return WriteFirmware();
}

void TBootloaderSession::ShowCalibration() {
  view_.SetCalibration("Автокалібровка: " + std::to_string(EraseDelay) + "." + std::to_string(WriteDelay) + "." +
                       std::to_string(CommitDelay));
}

TBootloaderSession::TTryResult TBootloaderSession::TryFrame(const std::string& frame, const char* logPrefix,
                                                            int32_t& delay, const char* replyStart, TWirePump pump) {
  for (int attempt = 0; attempt < FrameTryLimit; ++attempt) {
    port_.WriteStr(frame);
    view_.LogFrame(logPrefix + frame);
    // The window is served while the frame is on the wire, and the memo takes the lines gathered so far.
    if (PumpOnTheWire(attempt == 0 ? pump : TWirePump::WhenDue)) view_.FlushFrameLog();
    view_.Sleep(static_cast<unsigned>(delay));
    FrameReply.clear();
    FrameReply = port_.ReadStr(20);
    if (FrameReplyAccepted(FrameReply, replyStart)) return TTryResult::Accepted;
    ++FailureCount;
    ++delay;
    ShowCalibration();
    if (StopRequested != 0) return TTryResult::Stopped;
  }
  return TTryResult::Exhausted;
}

TWriteOutcome TBootloaderSession::WriteFirmware() {
  // However the write ends, the memo holds the log of every try.
  try {
    const TWriteOutcome outcome = WritePages();
    view_.FlushFrameLog();
    return outcome;
  } catch (...) {
    view_.FlushFrameLog();
    // The port's failure leaves the other controls as they were, for the stop key to give back; the open button
    // is back at every end.
    EnableControl(TLoaderControl::ButtonOpenHex);
    HoldForStopKey({TLoaderControl::Port, TLoaderControl::BaudRate, TLoaderControl::ButtonConect,
                    TLoaderControl::ButtonWrite});
    throw;
  }
}

TWriteOutcome TBootloaderSession::WritePages() {
  view_.MessageBeep(MB_ICONASTERISK);
  // The open button too stays off until the write has left: a parse inside it would change what is sent.
  view_.SetControlEnabled(TLoaderControl::ButtonOpenHex, false);
  view_.SetControlEnabled(TLoaderControl::Port, false);
  view_.SetControlEnabled(TLoaderControl::BaudRate, false);
  view_.SetControlEnabled(TLoaderControl::ButtonConect, false);
  view_.SetControlEnabled(TLoaderControl::ButtonWrite, false);
  // The controls are this write's now: a way back left by an earlier failure is taken over by this write's end.
  HoldForStopKey({});

  view_.SetGaugeMax(std::max<int32_t>(PageCount, 0));
  view_.SetGaugeProgress(0);
  Offset = 0;
  FailureCount = 0;
  EraseDelay = 0;
  WriteDelay = 0;
  CommitDelay = 0;
  view_.SetStatus("Йде запис! Заборонено переривати!");
  // StopRequested was cleared at the click: a stop taken during the identification has already ended the write.

  // The stop is tested at every page start and once more after the last page, so that a stop pressed during any
  // page, the first and the only one included, ends the write before its success. Before each test the queue is
  // pumped: between pages only when input waits in it, for the window is served while the data frames are on the
  // wire (from the next page's first one on, which shows the page counted).
  for (int32_t page = 0;; ++page) {
    if (page == 0 || page >= PageCount || BlocksPerPage <= 0 || view_.InputWaiting()) Pump();
    if (StopRequested != 0) return FinishStopped();
    if (page >= PageCount) break;

    FrameText = EraseFrame(static_cast<uint64_t>(Offset));
    if (TryFrame(FrameText, "Очистив", EraseDelay, "z84", TWirePump::OnRetry) == TTryResult::Stopped)
      return FinishStopped();
    if (FailureCount > WriteFailureLimit) return FinishFailure(TWriteOutcome::EraseFailed);

    view_.SetPageBarMax(BlocksPerPage);
    view_.SetPageBarPosition(0);
    for (int32_t block = 1; block <= BlocksPerPage; ++block) {
      // Blocks beyond the image carry what the image holds there: nothing.
      const uint64_t first = 2 * static_cast<uint64_t>(Offset);
      const std::string digits = first < FirmwareImage.size()
                                     ? FirmwareImage.substr(static_cast<size_t>(first), 2 * static_cast<size_t>(std::max(BlockSize, 0)))
                                     : std::string();
      FrameText = DataFrame(block, digits);
      const TWirePump pump = block == 1 ? TWirePump::Now : TWirePump::WhenDue;
      if (TryFrame(FrameText, "Записав", WriteDelay, "z85", pump) == TTryResult::Stopped) return FinishStopped();
      view_.SetPageBarPosition(view_.PageBarPosition() + 1);
      if (FailureCount > WriteFailureLimit) return FinishFailure(TWriteOutcome::DataFailed);

      FrameText = CommitFrame;
      if (TryFrame(FrameText, "Прошив", CommitDelay, "z86", TWirePump::OnRetry) == TTryResult::Stopped)
        return FinishStopped();
      if (FailureCount > WriteFailureLimit) return FinishFailure(TWriteOutcome::CommitFailed);
      Offset += BlockSize;
    }
    view_.SetGaugeProgress(view_.GaugeProgress() + 1);
  }
  return FinishSuccess();
}

TWriteOutcome TBootloaderSession::FinishSuccess() {
  writeMayStop_ = false;
  view_.FlushFrameLog();
  view_.BringToFront();
  ResetDevice();
  view_.MessageBeep(MB_ICONEXCLAMATION);
  for (TLoaderControl c : {TLoaderControl::ButtonOpenHex, TLoaderControl::ButtonConect, TLoaderControl::Port,
                           TLoaderControl::BaudRate})
    EnableControl(c);
  const std::string time = view_.LongTimeText();
  view_.SetStatus("Мікропрограма : успішно завантажена в " + time);
  port_.Close();
  view_.ShowMessage(std::string("                                         Мікропрограма успішно завантажена в ") + time +
                    "\r\n" +
                    "Після запису необхідно провести процедуру встановлення початкових установок (при наявності)" +
                    "\r\n" +
                    "                  Після запису необхідно провести встановлення конфігурації (при наявності)");
  view_.SetGaugeProgress(0);
  view_.SetPageBarPosition(0);
  view_.FocusControl(TLoaderControl::ButtonConect);
  view_.SetControlEnabled(TLoaderControl::ButtonWrite, false);
  return TWriteOutcome::Succeeded;
}

TWriteOutcome TBootloaderSession::FinishFailure(TWriteOutcome outcome) {
  writeMayStop_ = false;
  view_.FlushFrameLog();
  view_.BringToFront();
  view_.MessageBeep(MB_ICONASTERISK);
  view_.Beep(1200, 200);
  view_.Beep(800, 200);
  view_.Beep(500, 200);
  for (TLoaderControl c : {TLoaderControl::ButtonOpenHex, TLoaderControl::Port, TLoaderControl::BaudRate,
                           TLoaderControl::ButtonConect})
    EnableControl(c);
  // The write button stays off, and the stop key is the way back to it in the normal view, where no file can be
  // opened: whatever page failed, the first included.
  HoldForStopKey({TLoaderControl::ButtonWrite});
  view_.SetStatus("Мікропрограма : " + openedFileName_ + " - помилка");
  const char* text = outcome == TWriteOutcome::EraseFailed  ? "                              \r\nПомилка очистки - "
                     : outcome == TWriteOutcome::DataFailed ? "                              \r\nПомилка запису - "
                                                            : "                              \r\nПомилка прошивки - ";
  view_.ShowMessage(text + IntToHexText(static_cast<uint64_t>(Offset), 6));
  view_.ShowMessage("                                               Увага!\r\nПри неповному запису можлива некоректна "
                    "робота приладу!");
  return outcome;
}

TWriteOutcome TBootloaderSession::FinishStopped() {
  // The stop key reported the stop when it was pressed; the controls come back now that nothing more is sent.
  GiveBackControls();
  return TWriteOutcome::Stopped;
}

void TBootloaderSession::GiveBackControls() {
  for (TLoaderControl c : {TLoaderControl::ButtonConect, TLoaderControl::ButtonOpenHex, TLoaderControl::ButtonWrite,
                           TLoaderControl::Port, TLoaderControl::BaudRate})
    EnableControl(c);
}

void TBootloaderSession::EnableControl(TLoaderControl control) {
  view_.SetControlEnabled(control, true);
  heldControls_ &= ~(1u << static_cast<unsigned>(control));
}

void TBootloaderSession::HoldForStopKey(std::initializer_list<TLoaderControl> controls) {
  heldControls_ = 0;
  for (TLoaderControl c : controls) heldControls_ |= 1u << static_cast<unsigned>(c);
}

void TBootloaderSession::ResetDevice() {
  port_.WriteStr(ResetFrame);
  view_.Sleep(100);
  FrameReply = port_.ReadStr(20);
  port_.WriteStr(ResetFrame);
  FrameReply = port_.ReadStr(20);
}

bool TBootloaderSession::RequestStop() {
  // A write that can still stop leaves at its next test and gives the controls back itself. After a write that
  // failed (the device's failure or the port's), the key is the way back to the controls it left disabled, once
  // nothing else runs and while one of them is still off. Anywhere else (idle, a parse, the identify button's
  // exchange, a write at its end) it does nothing.
  if (writeMayStop_) {
    writeMayStop_ = false;
  } else if (heldControls_ != 0 && !busy_) {
    GiveBackControls();
  } else {
    return false;
  }
  StopRequested = -1;
  view_.SetStatus("Зупинено користувачем");
  view_.ShowMessage(kStopText);
  return true;
}

void TBootloaderSession::ResetFromKeyboard() {
  if (RefuseWhileBusy()) return;
  TFlagScope running(busy_);
  port_.Close();
  port_.Configure(view_.PortName(), view_.BaudRateIndex());
  if (!port_.Open()) return;
  ResetDevice();
  view_.MessageBeep(MB_ICONEXCLAMATION);
  port_.Close();
  view_.ShowMessage("Скинуто прилад!!!");
}

void TBootloaderSession::ReleaseStrings() {
  for (std::string* text : {&FirmwareImage, &ReplyText, &FrameReply, &FrameText, &ReplyCode, &LoaderVersion,
                            &SpareField1, &SpareField2}) {
    text->clear();
    text->shrink_to_fit();
  }
}
