#pragma once
// Serial port component: one Windows COM port opened for overlapped I/O, its line settings, buffers and
// time-outs, string writes and reads, modem lines, the port list of the machine, and an event thread
// that hands port events to the program in one of three ways.

#include "framework/Classes.h"
#include "framework/Messages.h"
#include "framework/System.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

enum TBaudRate {
  br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000, br57600,
  br115200, br128000, br256000
};
enum TByteSize { bs5, bs6, bs7, bs8 };
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopBits { sb1, sb1_5, sb2 };
enum TSyncMethod { smThreadSync, smWindowSync, smNone };

enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
using TComErrors = TSet<TComError>;

// Port events the event thread waits for, in the order of their set.
enum TComEvent { evRxChar, evTxEmpty, evRing, evCTS, evDSR, evRLSD, evError, evRx80Full };
using TComEvents = TSet<TComEvent>;

// Modem input lines as read from the modem status.
enum TComSignal { csCTS, csDSR, csRing, csRLSD };
using TComSignals = TSet<TComSignal>;

using TComSignalEvent = TDelegate<void(TObject* Sender, bool State)>;
using TComErrorEvent = TDelegate<void(TObject* Sender, TComErrors Errors)>;
using TRxCharEvent = TDelegate<void(TObject* Sender, int Count)>;

// Bits per second of each TBaudRate.
int BaudRateValue(TBaudRate rate);
// The line errors of a ClearCommError result; a parity error counts only when parity is checked.
TComErrors ComErrorsFromSystem(DWORD errors, TParity parity);
// The Windows event-mask bit of a port event.
DWORD ComEventMask(TComEvent event);

// The component's failures; Code() is the number of the message.
class EComPort : public Exception {
public:
  explicit EComPort(int code);
  int Code() const { return code_; }
  const char* ClassName() const override { return "EComPort"; }

private:
  int code_;
};

constexpr int ComMessageCount = 15;
// The fixed message texts, by number.
const char* ComErrorMessage(int code);
[[noreturn]] void RaiseComError(int code);

class TBComPort;

// The five time-outs of a port, in milliseconds; a negative value means MAXDWORD.
class TComTimeouts : public TPersistent {
  DECLARE_CLASS(TComTimeouts, TPersistent)
public:
  explicit TComTimeouts(TBComPort* port = nullptr) : port_(port) {}

  int ReadInterval() const { return readInterval_; }
  void SetReadInterval(int v) { Store(readInterval_, v); }
  int ReadTotalMultiplier() const { return readTotalMultiplier_; }
  void SetReadTotalMultiplier(int v) { Store(readTotalMultiplier_, v); }
  int ReadTotalConstant() const { return readTotalConstant_; }
  void SetReadTotalConstant(int v) { Store(readTotalConstant_, v); }
  int WriteTotalMultiplier() const { return writeTotalMultiplier_; }
  void SetWriteTotalMultiplier(int v) { Store(writeTotalMultiplier_, v); }
  int WriteTotalConstant() const { return writeTotalConstant_; }
  void SetWriteTotalConstant(int v) { Store(writeTotalConstant_, v); }

  TPersistent* GetOwner() override;
  // The values as the system takes them.
  COMMTIMEOUTS ToSystem() const;

protected:
  void AssignTo(TPersistent* dest) override;

private:
  void Store(int& field, int v);
  TBComPort* port_;
  int readInterval_ = -1;
  int readTotalMultiplier_ = 0;
  int readTotalConstant_ = 0;
  int writeTotalMultiplier_ = 100;
  int writeTotalConstant_ = 1000;
};

// The record of one overlapped operation; the event is manual-reset and starts signalled.
struct TComAsync {
  OVERLAPPED Overlapped;
  uint8_t Kind;  // 0 write, 1 read
  std::string Data;  // a copy of the bytes being written
  int Size;
};
enum : uint8_t { caWrite = 0, caRead = 1 };

// Waits for the port's events while the port is open and delivers them by the port's SyncMethod.
class TComThread : public TThread {
  DECLARE_CLASS(TComThread, TThread)
public:
  explicit TComThread(TBComPort* port);
  ~TComThread() override;
  void BeforeDestruction() override;  // sets the stop event, then the framework waits for Execute

  TComEvents Events() const { return events_; }
  // The error of the last WaitCommEvent that could not even start (0: none), and how often that happened.
  DWORD LastWaitError() const { return lastWaitError_; }
  int FailedWaits() const { return failedWaits_; }

protected:
  void Execute() override;

private:
  // Waits for the port's events and delivers them until the stop event is set.
  void WaitForEvents(HANDLE port);
  void Deliver();
  TBComPort* port_;
  TComEvents events_;
  HANDLE stopEvent_ = nullptr;
  volatile DWORD lastWaitError_ = 0;
  volatile int failedWaits_ = 0;
};

class TBComPort : public TComponent {
  DECLARE_CLASS(TBComPort, TComponent)
public:
  explicit TBComPort(TComponent* AOwner);
  ~TBComPort() override;

  // Opens the port when closed; returns Connected.
  bool Open();
  // Closes the port when open; returns True. Everything is released even when lowering a line or the
  // purge fails; that failure is raised afterwards.
  bool Close();
  bool Connected() const { return connected_; }
  HANDLE Handle() const { return handle_; }

  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRate v);
  TByteSize ByteSize() const { return byteSize_; }
  void SetByteSize(TByteSize v);
  TParity Parity() const { return parity_; }
  void SetParity(TParity v);
  TStopBits StopBits() const { return stopBits_; }
  void SetStopBits(TStopBits v);
  int InBufSize() const { return inBufSize_; }
  void SetInBufSize(int v);
  int OutBufSize() const { return outBufSize_; }
  void SetOutBufSize(int v);
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& v);
  TSyncMethod SyncMethod() const { return syncMethod_; }
  void SetSyncMethod(TSyncMethod v);
  TComTimeouts* Timeouts() const { return timeouts_; }
  void SetTimeouts(TComTimeouts* v);
  TThreadPriority ThreadPriority() const { return threadPriority_; }
  TComEvents WatchedEvents() const { return watchedEvents_; }
  // The events the event thread waits for. With none it waits only to be stopped: a wait on the port would cost
  // the program for nothing (under Wine a pending wait polls the line every millisecond). Like `SyncMethod`, a
  // different value raises message 13 while the port is open.
  void SetWatchedEvents(TComEvents v);
  TComThread* EventThread() const { return thread_; }
  HWND SyncWindow() const { return syncWindow_; }

  // Writes the whole string; returns the number of bytes written.
  int WriteStr(const std::string& Str);
  // Reads up to Count bytes into Str (which ends up holding what was read); returns that number.
  int ReadStr(std::string& Str, int Count);
  // Bytes waiting in the driver's input queue.
  int InputCount();
  TComSignals ModemSignals();
  void SetDTR(bool State);
  void SetRTS(bool State);
  // Aborts pending transmit and receive operations.
  void Purge();

  // The steps of WriteStr and ReadStr; a null record raises message 4.
  void WriteAsync(const std::string& data, TComAsync* async);
  void ReadAsync(char* buffer, int count, TComAsync* async);
  // Waits for the operation and returns its byte count.
  int WaitAsync(TComAsync* async);

  // Fills `Ports` with the serial ports of the machine, sorted as text without regard to case.
  static void EnumComPorts(TStrings* Ports);

  // Applies the settings to the open port (nothing while closed).
  void ApplyTimeouts();
  void ApplyBuffers();
  void ApplyLineSettings();

  // Calls the handler of one event (delivery of the event thread and of the sync window).
  void HandleEvent(TComEvent event);

  TComSignalEvent OnCTSChange;
  TComSignalEvent OnDSRChange;
  TComErrorEvent OnError;
  TNotifyEvent OnRing;
  TComSignalEvent OnRLSDChange;
  TNotifyEvent OnRx80Full;
  TRxCharEvent OnRxChar;
  TNotifyEvent OnTxEmpty;

private:
  void SyncWndProc(TMessage& message);
  void CreateSyncWindow();
  void DestroySyncWindow();
  void CloseNoThrow();

  TBaudRate baudRate_ = br9600;
  TByteSize byteSize_ = bs8;
  bool connected_ = false;
  TThreadPriority threadPriority_ = tpNormal;
  TComEvents watchedEvents_{evRxChar, evTxEmpty, evRing, evCTS, evDSR, evRLSD, evError, evRx80Full};
  TComThread* thread_ = nullptr;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  int inBufSize_ = 2048;
  int outBufSize_ = 2048;
  TParity parity_ = paNone;
  std::string port_ = "COM2";
  TStopBits stopBits_ = sb1;
  TSyncMethod syncMethod_ = smThreadSync;
  TComTimeouts* timeouts_ = nullptr;
  HWND syncWindow_ = nullptr;
};

// The message the event thread sends to the sync window, with the event's mask bit in wParam.
constexpr UINT CM_COMPORTEVENT = WM_USER + 1;

// Registers the component's class for stored form descriptions (idempotent).
void RegisterBCPortClasses();
