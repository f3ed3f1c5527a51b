#pragma once
// What the loader's exchanges need of the serial port and of the main window. The program binds
// them to the port component and the form's controls; tests bind them to fakes.
#include <cstdint>
#include <string>
#include <vector>

// The serial port as the exchanges use it: every exchange closes it, takes the chosen port and
// baud rate, and opens it again; frames are written and replies read as strings.
class ISerialLink {
public:
  virtual ~ISerialLink() = default;
  virtual void Close() = 0;
  // Port name as the system names it and the index of the baud rate in the rate list.
  virtual void Configure(const std::string& port, int baudRateIndex) = 0;
  // Opens the port when closed; returns whether it is open.
  virtual bool Open() = 0;
  virtual void WriteStr(const std::string& text) = 0;
  // Up to `count` characters, ending early on the port's time-outs; possibly none.
  virtual std::string ReadStr(int count) = 0;
};

// The controls an exchange switches on and off or gives the focus.
enum class TLoaderControl { ButtonConect, ButtonOpenHex, ButtonWrite, Port, BaudRate };

// The main window as the loader's operations drive it.
class ILoaderView {
public:
  virtual ~ILoaderView() = default;

  // Message queue and window.
  virtual void ProcessMessages() = 0;
  // Keys, or messages posted by other programs, wait in the queue (the stop key may be among them).
  virtual bool InputWaiting() const = 0;
  virtual void BringToFront() = 0;

  // The gauge (clamps its progress to its maximum).
  virtual int64_t GaugeMax() const = 0;
  virtual void SetGaugeMax(int64_t value) = 0;
  virtual int64_t GaugeProgress() const = 0;
  virtual void SetGaugeProgress(int64_t value) = 0;

  // The progress bar of the page being written.
  virtual void SetPageBarMax(int value) = 0;
  virtual int PageBarPosition() const = 0;
  virtual void SetPageBarPosition(int value) = 0;

  // Status line, delay line (service view), device memo, firmware lines.
  virtual void SetStatus(const std::string& caption) = 0;
  virtual void SetCalibration(const std::string& caption) = 0;
  virtual std::string AboutText() const = 0;
  virtual void SetAboutText(const std::string& text) = 0;
  // Adds an empty line, then `line` (the frame log of a try). The memo may take logged lines in batches:
  // an insertion into a window's edit control costs about a millisecond, several per block.
  virtual void LogFrame(const std::string& line) = 0;
  // Every line logged so far is in the memo.
  virtual void FlushFrameLog() = 0;
  virtual std::vector<std::string> TerminalLines() const = 0;
  virtual void SetTerminalLines(const std::vector<std::string>& lines) = 0;

  virtual void SetControlEnabled(TLoaderControl control, bool enabled) = 0;
  virtual void FocusControl(TLoaderControl control) = 0;

  // The two combo boxes.
  virtual std::string PortName() const = 0;
  virtual int BaudRateIndex() const = 0;

  // Operator feedback and time.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void MessageBeep(unsigned type) = 0;
  virtual void Beep(unsigned frequency, unsigned durationMs) = 0;
  virtual void Sleep(unsigned ms) = 0;
  // The current time in the system's long time format.
  virtual std::string LongTimeText() const = 0;
};
