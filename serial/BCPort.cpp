#include "serial/BCPort.h"

#include "framework/TypInfo.h"
#include "framework/UtilWindow.h"

#include <exception>
#include <vector>

namespace {

// Texts are the unit's own, shown to the operator as they are.
const char* const ComMessages[ComMessageCount] = {
    "Спроба відкрити неіснуючий СОМ-порт",  // 0
    "Порт зайнятий іншою програмою",  // 1
    "Помилка запису в порт.\nНеобхідно повторно відкрити програму!",  // 2
    "Помилка читання з порта\nНеобхідно повторно відкрити програму!",  // 3
    "Недопустимий параметр Async\nНеобхідно повторно відкрити програму!",  // 4
    "Помилка функції PurgeComm\nНеобхідно повторно відкрити програму!",  // 5
    "Не вдалося отримати статус асинхронної операції\nНеобхідно повторно відкрити програму!",  // 6
    "Помилка функції SetCommState\nНеобхідно повторно відкрити програму!",  // 7
    "Помилка функції SetCommTimeouts\nНеобхідно повторно відкрити програму!",  // 8
    "Помилка функції SetupComm\nНеобхідно повторно відкрити програму!",  // 9
    "Помилка функції ClearCommError\nНеобхідно повторно відкрити програму!",  // 10
    "Помилка функції GetCommModemStatus\nНеобхідно повторно відкрити програму!",  // 11
    "Помилка функції EscapeCommFunction\nНеобхідно повторно відкрити програму!",  // 12
    "Неможна змінювати властивості, доки порт відкритий",  // 13
    "Помилка звернення до системного реєстру\nНеобхідно повторно відкрити програму!",  // 14
};

const int BaudRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                         19200, 38400, 56000, 57600, 115200, 128000, 256000};

const DWORD EventMasks[] = {EV_RXCHAR, EV_TXEMPTY, EV_RING, EV_CTS, EV_DSR, EV_RLSD, EV_ERR, EV_RX80FULL};

// Delivery order of a wake-up's events.
const TComEvent DeliveryOrder[] = {evError, evRxChar, evTxEmpty, evRing, evCTS, evDSR, evRLSD, evRx80Full};

// While WaitCommEvent cannot even start (a port without modem lines), the thread retries this often
// instead of spinning on the still signalled event.
const DWORD FailedWaitRetryMs = 250;

DWORD EventsToMask(TComEvents events) {
  DWORD mask = 0;
  for (int e = evRxChar; e <= evRx80Full; ++e)
    if (events.Contains(static_cast<TComEvent>(e))) mask |= EventMasks[e];
  return mask;
}

TComEvents MaskToEvents(DWORD mask) {
  TComEvents events;
  for (int e = evRxChar; e <= evRx80Full; ++e)
    if (mask & EventMasks[e]) events.Include(static_cast<TComEvent>(e));
  return events;
}

// Owns the event of an async record for the record's lifetime.
class AsyncRecord {
public:
  explicit AsyncRecord(uint8_t kind) {
    ZeroMemory(&record.Overlapped, sizeof record.Overlapped);
    record.Kind = kind;
    record.Size = 0;
    record.Overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (!record.Overlapped.hEvent) RaiseComError(kind == caWrite ? 2 : 3);
  }
  ~AsyncRecord() { CloseHandle(record.Overlapped.hEvent); }
  AsyncRecord(const AsyncRecord&) = delete;
  AsyncRecord& operator=(const AsyncRecord&) = delete;
  TComAsync record;
};

// The system's answers to a name it cannot open as a device: no such port, or no valid name for one.
bool NamesNoPort(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
         error == ERROR_BAD_PATHNAME;
}

}  // namespace

// ---- messages and tables ----
const char* ComErrorMessage(int code) {
  return code >= 0 && code < ComMessageCount ? ComMessages[code] : "";
}

EComPort::EComPort(int code) : Exception(ComErrorMessage(code)), code_(code) {}

void RaiseComError(int code) { throw EComPort(code); }

int BaudRateValue(TBaudRate rate) { return BaudRates[rate]; }

DWORD ComEventMask(TComEvent event) { return EventMasks[event]; }

TComErrors ComErrorsFromSystem(DWORD errors, TParity parity) {
  TComErrors set;
  if (errors & CE_FRAME) set.Include(ceFrame);
  if ((errors & CE_RXPARITY) && parity != paNone) set.Include(ceRxParity);
  if (errors & CE_OVERRUN) set.Include(ceOverrun);
  if (errors & CE_RXOVER) set.Include(ceRxOver);
  if (errors & CE_TXFULL) set.Include(ceTxFull);
  if (errors & CE_BREAK) set.Include(ceBreak);
  if (errors & CE_IOE) set.Include(ceIO);
  if (errors & CE_MODE) set.Include(ceMode);
  return set;
}

// ---- TComTimeouts ----
PUBLISHED(TComTimeouts) {
  p.Int("ReadInterval", &TComTimeouts::ReadInterval, &TComTimeouts::SetReadInterval);
  p.Int("ReadTotalMultiplier", &TComTimeouts::ReadTotalMultiplier, &TComTimeouts::SetReadTotalMultiplier);
  p.Int("ReadTotalConstant", &TComTimeouts::ReadTotalConstant, &TComTimeouts::SetReadTotalConstant);
  p.Int("WriteTotalMultiplier", &TComTimeouts::WriteTotalMultiplier, &TComTimeouts::SetWriteTotalMultiplier);
  p.Int("WriteTotalConstant", &TComTimeouts::WriteTotalConstant, &TComTimeouts::SetWriteTotalConstant);
}

void TComTimeouts::Store(int& field, int v) {
  if (field == v) return;
  field = v;
  if (port_) port_->ApplyTimeouts();
}

TPersistent* TComTimeouts::GetOwner() { return port_; }

COMMTIMEOUTS TComTimeouts::ToSystem() const {
  auto value = [](int v) { return v < 0 ? MAXDWORD : static_cast<DWORD>(v); };
  COMMTIMEOUTS t;
  t.ReadIntervalTimeout = value(readInterval_);
  t.ReadTotalTimeoutMultiplier = value(readTotalMultiplier_);
  t.ReadTotalTimeoutConstant = value(readTotalConstant_);
  t.WriteTotalTimeoutMultiplier = value(writeTotalMultiplier_);
  t.WriteTotalTimeoutConstant = value(writeTotalConstant_);
  return t;
}

void TComTimeouts::AssignTo(TPersistent* dest) {
  if (auto* other = As<TComTimeouts>(dest)) {
    other->readInterval_ = readInterval_;
    other->readTotalMultiplier_ = readTotalMultiplier_;
    other->readTotalConstant_ = readTotalConstant_;
    other->writeTotalMultiplier_ = writeTotalMultiplier_;
    other->writeTotalConstant_ = writeTotalConstant_;
    return;
  }
  inherited::AssignTo(dest);
}

// ---- TComThread ----
IMPLEMENT_CLASS(TComThread)

TComThread::TComThread(TBComPort* port) : TThread(false), port_(port) {
  stopEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stopEvent_) RaiseLastOSError();
  SetPriority(port->ThreadPriority());
  SetCommMask(port->Handle(), EventsToMask(port->WatchedEvents()));
}

TComThread::~TComThread() {
  if (stopEvent_) CloseHandle(stopEvent_);
}

void TComThread::BeforeDestruction() {
  SetEvent(stopEvent_);
  Sleep(0);
  inherited::BeforeDestruction();  // waits for Execute, serving Synchronize calls and sent messages
}

void TComThread::Execute() {
  const HANDLE port = port_->Handle();
  if (port_->WatchedEvents().Empty())
    WaitForSingleObject(stopEvent_, INFINITE);
  else
    WaitForEvents(port);
  PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void TComThread::WaitForEvents(HANDLE port) {
  HANDLE waitEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (!waitEvent) RaiseLastOSError();
  OVERLAPPED overlapped;
  DWORD mask = 0;
  bool pending = false;
  const HANDLE handles[2] = {stopEvent_, waitEvent};
  for (;;) {
    ZeroMemory(&overlapped, sizeof overlapped);
    overlapped.hEvent = waitEvent;
    mask = 0;
    if (!WaitCommEvent(port, &mask, &overlapped)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        // The wait could not start (under Wine a pseudo-terminal without modem lines gives error 50 at
        // once). Waiting on the still signalled event would spin; keep the error and try again later,
        // until the port is closed.
        lastWaitError_ = error;
        failedWaits_ = failedWaits_ + 1;
        if (WaitForSingleObject(stopEvent_, FailedWaitRetryMs) != WAIT_TIMEOUT) break;
        continue;
      }
    }
    pending = true;
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
    pending = false;
    DWORD unused = 0;
    if (GetOverlappedResult(port, &overlapped, &unused, FALSE)) {
      events_ = MaskToEvents(mask);
      try {
        Deliver();
      } catch (...) {
        // A handler's failure must neither end the thread nor vanish.
        HandleCurrentException();
      }
    }
  }
  SetCommMask(port, 0);
  if (pending) {
    // The record and `mask` live on this stack: the wait must be over before they go, however long a
    // loaded machine takes to end it (a bounded wait would let the system write into a freed stack).
    // The new mask ends the wait and CancelIo makes sure of it, so this returns.
    CancelIo(port);
    DWORD unused = 0;
    GetOverlappedResult(port, &overlapped, &unused, TRUE);
  }
  CloseHandle(waitEvent);
}

void TComThread::Deliver() {
  const TComEvents events = events_;
  switch (port_->SyncMethod()) {
  case smThreadSync:
    Synchronize([this, events] {
      for (TComEvent e : DeliveryOrder)
        if (events.Contains(e)) port_->HandleEvent(e);
    });
    break;
  case smWindowSync:
    for (TComEvent e : DeliveryOrder)
      if (events.Contains(e)) SendMessageA(port_->SyncWindow(), CM_COMPORTEVENT, EventMasks[e], 0);
    break;
  case smNone:
    for (TComEvent e : DeliveryOrder)
      if (events.Contains(e)) port_->HandleEvent(e);
    break;
  }
}

// ---- TBComPort ----
PUBLISHED(TBComPort) {
  p.Enum("BaudRate", &TBComPort::BaudRate, &TBComPort::SetBaudRate,
         {"br110", "br300", "br600", "br1200", "br2400", "br4800", "br9600", "br14400", "br19200", "br38400",
          "br56000", "br57600", "br115200", "br128000", "br256000"});
  p.Enum("ByteSize", &TBComPort::ByteSize, &TBComPort::SetByteSize, {"bs5", "bs6", "bs7", "bs8"});
  p.Int("InBufSize", &TBComPort::InBufSize, &TBComPort::SetInBufSize);
  p.Int("OutBufSize", &TBComPort::OutBufSize, &TBComPort::SetOutBufSize);
  p.Enum("Parity", &TBComPort::Parity, &TBComPort::SetParity, {"paNone", "paOdd", "paEven", "paMark", "paSpace"});
  p.Str("Port", &TBComPort::Port, &TBComPort::SetPort);
  p.Enum("StopBits", &TBComPort::StopBits, &TBComPort::SetStopBits, {"sb1", "sb1_5", "sb2"});
  p.Enum("SyncMethod", &TBComPort::SyncMethod, &TBComPort::SetSyncMethod,
         {"smThreadSync", "smWindowSync", "smNone"});
  p.Object("Timeouts", &TBComPort::Timeouts, &TBComPort::SetTimeouts);
  p.Event("OnCTSChange", &TBComPort::OnCTSChange);
  p.Event("OnDSRChange", &TBComPort::OnDSRChange);
  p.Event("OnError", &TBComPort::OnError);
  p.Event("OnRing", &TBComPort::OnRing);
  p.Event("OnRLSDChange", &TBComPort::OnRLSDChange);
  p.Event("OnRx80Full", &TBComPort::OnRx80Full);
  p.Event("OnRxChar", &TBComPort::OnRxChar);
  p.Event("OnTxEmpty", &TBComPort::OnTxEmpty);
}

void RegisterBCPortClasses() {
  if (!GetClass("TBComPort")) RegisterClasses({TBComPort::StaticClassInfo()});
}

TBComPort::TBComPort(TComponent* AOwner) : TComponent(AOwner) { timeouts_ = new TComTimeouts(this); }

TBComPort::~TBComPort() {
  CloseNoThrow();
  FreeAndNil(timeouts_);
}

void TBComPort::CloseNoThrow() {
  try {
    Close();
  } catch (...) {
    // The port is released all the same; the failure goes where unowned failures go.
    HandleCurrentException();
  }
}

bool TBComPort::Open() {
  if (connected_) return true;
  // No name (an empty port list) names no port: said so, rather than as the buffer-size failure of a port
  // that never opened, which would send the operator to restart a program with nothing wrong.
  if (port_.empty()) RaiseComError(0);
  handle_ = CreateFileA(("\\\\.\\" + port_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (NamesNoPort(error)) RaiseComError(0);
    if (error == ERROR_ACCESS_DENIED) RaiseComError(1);
    // Any other failure shows at the first setting (SetupComm on no handle).
  }
  connected_ = true;
  try {
    ApplyBuffers();
    ApplyLineSettings();
    ApplyTimeouts();
  } catch (...) {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    connected_ = false;
    throw;
  }
  try {
    if (syncMethod_ == smWindowSync) CreateSyncWindow();
    thread_ = Create<TComThread>(this);
  } catch (...) {
    DestroySyncWindow();
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    connected_ = false;
    throw;
  }
  return connected_;
}

bool TBComPort::Close() {
  if (!connected_) return true;
  // Every step runs; the first failure is raised once the port is released, so that a port whose lines
  // cannot be lowered is still closed (and its owner can still be freed).
  std::exception_ptr failure;
  auto step = [&failure](auto&& action) {
    try {
      action();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  };
  step([this] { SetDTR(false); });
  step([this] { SetRTS(false); });
  step([this] { Purge(); });
  FreeAndNil(thread_);
  if (syncMethod_ == smWindowSync) DestroySyncWindow();
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  connected_ = false;
  if (failure) std::rethrow_exception(failure);
  return true;
}

void TBComPort::SetBaudRate(TBaudRate v) {
  if (v == baudRate_) return;
  baudRate_ = v;
  ApplyLineSettings();
}

void TBComPort::SetByteSize(TByteSize v) {
  if (v == byteSize_) return;
  byteSize_ = v;
  ApplyLineSettings();
}

void TBComPort::SetParity(TParity v) {
  if (v == parity_) return;
  parity_ = v;
  ApplyLineSettings();
}

void TBComPort::SetStopBits(TStopBits v) {
  if (v == stopBits_) return;
  stopBits_ = v;
  ApplyLineSettings();
}

void TBComPort::SetInBufSize(int v) {
  if (v == inBufSize_) return;
  inBufSize_ = v % 2 ? v - 1 : v;
  ApplyBuffers();
}

void TBComPort::SetOutBufSize(int v) {
  if (v == outBufSize_) return;
  outBufSize_ = v % 2 ? v - 1 : v;
  ApplyBuffers();
}

void TBComPort::SetPort(const std::string& v) {
  if (connected_) RaiseComError(13);
  port_ = v;
}

void TBComPort::SetSyncMethod(TSyncMethod v) {
  if (v == syncMethod_) return;
  if (connected_) RaiseComError(13);
  syncMethod_ = v;
}

void TBComPort::SetWatchedEvents(TComEvents v) {
  if (v == watchedEvents_) return;
  if (connected_) RaiseComError(13);
  watchedEvents_ = v;
}

void TBComPort::SetTimeouts(TComTimeouts* v) {
  timeouts_->Assign(v);
  ApplyTimeouts();
}

void TBComPort::ApplyTimeouts() {
  if (!connected_) return;
  COMMTIMEOUTS t = timeouts_->ToSystem();
  if (!SetCommTimeouts(handle_, &t)) RaiseComError(8);
}

void TBComPort::ApplyBuffers() {
  if (!connected_) return;
  if (!SetupComm(handle_, static_cast<DWORD>(inBufSize_), static_cast<DWORD>(outBufSize_))) RaiseComError(9);
}

void TBComPort::ApplyLineSettings() {
  if (!connected_) return;
  DCB dcb;
  ZeroMemory(&dcb, sizeof dcb);
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = static_cast<DWORD>(BaudRateValue(baudRate_));
  dcb.fBinary = 1;
  dcb.fParity = parity_ != paNone ? 1 : 0;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.ByteSize = static_cast<BYTE>(byteSize_ + 5);
  dcb.Parity = static_cast<BYTE>(parity_);
  dcb.StopBits = static_cast<BYTE>(stopBits_);
  dcb.XonChar = 17;
  dcb.XoffChar = 19;
  if (!SetCommState(handle_, &dcb)) RaiseComError(7);
}

// ---- I/O ----
void TBComPort::WriteAsync(const std::string& data, TComAsync* async) {
  if (!async) RaiseComError(4);
  async->Kind = caWrite;
  async->Data = data;
  async->Size = static_cast<int>(data.size());
  DWORD written = 0;
  if (!WriteFile(handle_, async->Data.data(), static_cast<DWORD>(async->Size), &written, &async->Overlapped) &&
      GetLastError() != ERROR_IO_PENDING)
    RaiseComError(2);
}

void TBComPort::ReadAsync(char* buffer, int count, TComAsync* async) {
  if (!async) RaiseComError(4);
  async->Kind = caRead;
  DWORD read = 0;
  if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &read, &async->Overlapped)) {
    const DWORD error = GetLastError();
    // A read that ends by its time-out at once is no failure: it has read what it has (see WaitAsync). The
    // system may leave the event unset then, so set it for the wait.
    if (error == ERROR_TIMEOUT)
      SetEvent(async->Overlapped.hEvent);
    else if (error != ERROR_IO_PENDING)
      RaiseComError(3);
  }
}

int TBComPort::WaitAsync(TComAsync* async) {
  if (!async) RaiseComError(4);
  const int failure = async->Kind == caWrite ? 2 : 3;
  if (WaitForSingleObject(async->Overlapped.hEvent, INFINITE) != WAIT_OBJECT_0) RaiseComError(failure);
  DWORD transferred = 0;
  if (!GetOverlappedResult(handle_, &async->Overlapped, &transferred, FALSE)) {
    // Wine completes an operation ended by its time-out with ERROR_TIMEOUT where Windows reports success
    // with what was transferred until then (nothing, for a read that timed out empty).
    if (GetLastError() == ERROR_TIMEOUT) return static_cast<int>(transferred);
    RaiseComError(failure);
  }
  return static_cast<int>(transferred);
}

int TBComPort::WriteStr(const std::string& Str) {
  AsyncRecord async(caWrite);
  if (Str.empty()) return 0;
  WriteAsync(Str, &async.record);
  return WaitAsync(&async.record);
}

int TBComPort::ReadStr(std::string& Str, int Count) {
  if (Count < 1) {
    Str.clear();
    return 0;
  }
  AsyncRecord async(caRead);
  Str.assign(static_cast<size_t>(Count), '\0');
  int read = 0;
  try {
    ReadAsync(Str.data(), Count, &async.record);
    read = WaitAsync(&async.record);
  } catch (...) {
    Str.clear();
    throw;
  }
  Str.resize(static_cast<size_t>(read < 0 ? 0 : read));
  return read;
}

int TBComPort::InputCount() {
  DWORD errors = 0;
  COMSTAT stat;
  ZeroMemory(&stat, sizeof stat);
  if (!ClearCommError(handle_, &errors, &stat)) RaiseComError(10);
  return static_cast<int>(stat.cbInQue);
}

TComSignals TBComPort::ModemSignals() {
  DWORD status = 0;
  if (!GetCommModemStatus(handle_, &status)) RaiseComError(11);
  TComSignals signals;
  if (status & MS_CTS_ON) signals.Include(csCTS);
  if (status & MS_DSR_ON) signals.Include(csDSR);
  if (status & MS_RING_ON) signals.Include(csRing);
  if (status & MS_RLSD_ON) signals.Include(csRLSD);
  return signals;
}

void TBComPort::SetDTR(bool State) {
  if (!EscapeCommFunction(handle_, State ? SETDTR : CLRDTR)) RaiseComError(12);
}

void TBComPort::SetRTS(bool State) {
  if (!EscapeCommFunction(handle_, State ? SETRTS : CLRRTS)) RaiseComError(12);
}

void TBComPort::Purge() {
  if (!PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT)) RaiseComError(5);
}

// ---- events ----
void TBComPort::HandleEvent(TComEvent event) {
  switch (event) {
  case evError:
    if (OnError) {
      DWORD errors = 0;
      if (!ClearCommError(handle_, &errors, nullptr)) RaiseComError(10);
      const TComErrors set = ComErrorsFromSystem(errors, parity_);
      if (!set.Empty()) OnError(this, set);
    }
    break;
  case evRxChar:
    if (OnRxChar) {
      const int count = InputCount();
      if (count >= 1) OnRxChar(this, count);
    }
    break;
  case evTxEmpty:
    if (OnTxEmpty) OnTxEmpty(this);
    break;
  case evRing:
    if (OnRing) OnRing(this);
    break;
  case evCTS:
    if (OnCTSChange) OnCTSChange(this, ModemSignals().Contains(csCTS));
    break;
  case evDSR:
    if (OnDSRChange) OnDSRChange(this, ModemSignals().Contains(csDSR));
    break;
  case evRLSD:
    if (OnRLSDChange) OnRLSDChange(this, ModemSignals().Contains(csRLSD));
    break;
  case evRx80Full:
    if (OnRx80Full) OnRx80Full(this);
    break;
  }
}

// ---- enumeration ----
void TBComPort::EnumComPorts(TStrings* Ports) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
    RaiseComError(14);
  TStringList* list = new TStringList();
  try {
    for (DWORD index = 0;; ++index) {
      char name[256];
      BYTE data[256];
      DWORD nameLength = sizeof name;
      DWORD dataLength = sizeof data;
      const LONG result = RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, data, &dataLength);
      if (result == ERROR_NO_MORE_ITEMS) break;
      if (result != ERROR_SUCCESS) RaiseComError(14);
      std::string port(reinterpret_cast<const char*>(data), dataLength);
      while (!port.empty() && port.back() == '\0') port.pop_back();
      list->Add(port);
    }
    list->Sort();
    Ports->Assign(list);
  } catch (...) {
    RegCloseKey(key);
    list->Free();
    throw;
  }
  RegCloseKey(key);
  list->Free();
}

// ---- sync window ----
void TBComPort::SyncWndProc(TMessage& message) {
  if (message.Msg != CM_COMPORTEVENT) {
    message.Result = DefWindowProcA(syncWindow_, message.Msg, message.WParam, message.LParam);
    return;
  }
  // Let the event thread go on at once; the handler runs here, on the window's thread.
  if (InSendMessage()) ReplyMessage(0);
  message.Result = 0;
  if (!connected_) return;
  for (int e = evRxChar; e <= evRx80Full; ++e)
    if (EventMasks[e] == message.WParam) HandleEvent(static_cast<TComEvent>(e));
}

void TBComPort::CreateSyncWindow() {
  syncWindow_ = AllocateHWnd(TWndMethod::Bind<&TBComPort::SyncWndProc>(this));
  if (!syncWindow_) RaiseLastOSError();
}

void TBComPort::DestroySyncWindow() {
  DeallocateHWnd(syncWindow_);
  syncWindow_ = nullptr;
}
