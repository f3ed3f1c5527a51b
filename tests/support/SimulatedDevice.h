#pragma once
// A simulated device on a COM port of its own, for tests that talk to a device's serial bootloader.
//
// How it is wired (chosen because each test needs its own device, configuration and faults, and
// tests run in parallel): the simulator is a native Linux program (tools/devsim/devsim.py) that
// holds the master side of a pseudo-terminal. The test process starts it with CreateProcessA on
// its Z:\ path (Wine runs native executables that way; the returned process handle is not usable
// for waiting, so nothing here waits on it) and passes the port of a loopback TCP listener
// (127.0.0.1) on which the simulator connects back. Over that connection the simulator announces
// "READY COM<N> /dev/pts/<K>" after linking $WINEPREFIX/dosdevices/com<N> to its pty, and then
// answers line commands (settings, faults, counters, memory). This object adds the value
// "\Device\KrlSim<N>" = "COM<N>" under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM so the port is listed,
// and removes it again; the simulator removes its link when told to quit or when the
// connection closes (the test process ended), so no device outlives its test.
//
// Pseudo-terminals have no modem lines; test programs built with krl_use_simulated_device() run
// with a preloaded shim (tools/ptyshim) that gives them DTR/RTS and asserted CTS/DSR/DCD.
// Options::modemLines = false keeps one device's pty without lines.
//
//   testing_support::SimulatedDevice device({.pageCount = 8, .description = "171122"});
//   port->SetPort(device.PortName());
//   device.AnswerOnTry(DeviceFrame::Erase, 2);        // every erase answered on its 2nd try
//   ... write ...
//   EXPECT_EQ(device.Counts().erase, 16);
//   EXPECT_EQ(device.Memory(), expectedImage);

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

class HostProgram;

enum class DeviceFrame { Reset, Identify, Description, Erase, Data, Commit };

// Frames the device received, and its answers. A frame is counted when it is complete and its
// checksum is right; `bad` counts frames with a wrong checksum, form or command (never answered);
// `wakeChars` counts stray "z" characters (the wake-up "zzzzz" five times gives 25).
struct DeviceCounts {
  int reset = 0, identify = 0, description = 0, erase = 0, data = 0, commit = 0;
  int bad = 0, wakeChars = 0;
  std::map<std::string, int> all;  // every counter by the simulator's name ("replies.erase", "dropped.data"...)
  int Replies(DeviceFrame kind) const;
  int Dropped(DeviceFrame kind) const;
};

class SimulatedDevice {
public:
  struct Options {
    int blocksPerPage = 16;
    int blockSize = 64;
    int pageCount = 4;
    std::string loaderVersion = "02";
    std::optional<std::string> description = std::string("171122");  // nullopt: no answer to "z0303;"
    int baud = 0;          // pace input and output at this rate (0: as fast as the pty goes)
    bool modemLines = true;
    bool busy = false;     // the port exists but cannot be opened (access denied), as when another program holds it
    int firstCom = 20;     // the first COM number tried; the first free one from here is taken
    unsigned seed = 1;     // of the reply-drop random numbers
  };

  SimulatedDevice();
  explicit SimulatedDevice(const Options& options);
  ~SimulatedDevice();
  SimulatedDevice(const SimulatedDevice&) = delete;
  SimulatedDevice& operator=(const SimulatedDevice&) = delete;

  const std::string& PortName() const { return port_; }   // "COM20"
  // Whether the test runs with the modem-line shim (and this device did not opt out).
  bool HasModemLines() const;

  // ---- behaviour (any time; effective for the next frame) ----
  void SetProcessingTime(DeviceFrame kind, int milliseconds);
  // A frame of this kind is answered only from its k-th identical try in a row on.
  void AnswerOnTry(DeviceFrame kind, int k);
  void DropReplies(DeviceFrame kind, double rate);
  // Replies of this kind carry `code` instead of the right reply code ("-" restores it).
  void WrongReplyCode(DeviceFrame kind, const std::string& code);
  void SetLoaderVersion(const std::string& version);
  void SetDescription(const std::optional<std::string>& text);
  void SetSilent(bool silent);
  // Silent from the n-th frame of the kind on (that frame included).
  void SilentAfter(DeviceFrame kind, int n);
  // Closes the device's end of the pty on receiving the n-th frame of the kind.
  void CloseAfter(DeviceFrame kind, int n);
  // The frames first to first + count - 1 of the kind (counted as Counts() does) are refused: answered "z7F..;" and
  // not carried out. The device then carries the kind out again.
  void RefuseFrames(DeviceFrame kind, int first, int count);
  void SetGeometry(int blocksPerPage, int blockSize, int pageCount);  // also erases the memory

  // ---- what happened ----
  // Returns once the device has handled every frame the port wrote before the call; with no processing
  // time and no baud rate set, its replies are then on the line. Every command below waits the same way.
  void Sync();
  DeviceCounts Counts();
  void ResetCounts();
  // The flash, PageCount x BlocksPerPage x BlockSize bytes (erased bytes are 0xFF).
  std::vector<uint8_t> Memory();
  // The last n frames received, as sent ("z0202;").
  std::vector<std::string> History(int n);

  // One raw control command; returns the answer after "OK", throws on "ERR".
  std::string Command(const std::string& line);

private:
  void Start(const Options& options);
  void Set(const std::string& key, const std::string& value);
  std::string ReadLine(unsigned timeoutMs);

  std::unique_ptr<HostProgram> host_;  // the simulator and its control connection
  std::string port_, pty_, registryValue_;
  bool modemLines_ = true;
};

// The simulator's name of a frame kind ("erase").
const char* DeviceFrameName(DeviceFrame kind);

}  // namespace testing_support
