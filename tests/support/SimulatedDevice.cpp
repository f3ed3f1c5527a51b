// Sockets first: winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/support/SimulatedDevice.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace testing_support {

namespace {

const char SerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("simulated device: " + what); }

std::string Env(const char* name) {
  char value[4096];
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// A Unix path as Wine's Z: drive shows it.
std::string ZPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string Quote(const std::string& arg) { return "\"" + arg + "\""; }

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

void StartSockets() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) Fail("WSAStartup failed");
}

}  // namespace

const char* DeviceFrameName(DeviceFrame kind) {
  switch (kind) {
  case DeviceFrame::Reset: return "reset";
  case DeviceFrame::Identify: return "identify";
  case DeviceFrame::Description: return "description";
  case DeviceFrame::Erase: return "erase";
  case DeviceFrame::Data: return "data";
  case DeviceFrame::Commit: return "commit";
  }
  return "";
}

int DeviceCounts::Replies(DeviceFrame kind) const {
  auto it = all.find(std::string("replies.") + DeviceFrameName(kind));
  return it == all.end() ? 0 : it->second;
}

int DeviceCounts::Dropped(DeviceFrame kind) const {
  auto it = all.find(std::string("dropped.") + DeviceFrameName(kind));
  return it == all.end() ? 0 : it->second;
}

SimulatedDevice::SimulatedDevice() { Start(Options()); }
SimulatedDevice::SimulatedDevice(const Options& options) { Start(options); }

void SimulatedDevice::Start(const Options& options) {
  StartSockets();
  std::string script = Env("KRL_DEVSIM");
  if (script.empty())
    Fail("KRL_DEVSIM is not set: the test program must run through wine-run-devices "
         "(krl_use_simulated_device() in its CMakeLists.txt)");

  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) Fail("no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(listener);
    Fail("cannot listen on the loopback");
  }

  const std::string python = Env("KRL_DEVSIM_PYTHON");
  std::ostringstream command;
  // Wine maps the executable's path; arguments reach the native program as they are.
  if (python.empty())
    command << Quote(ZPath(script));
  else
    command << Quote(ZPath(python)) << " " << Quote(script);
  command << " --control 127.0.0.1:" << ntohs(address.sin_port)
          << " --com " << options.firstCom << " --blocks-per-page " << options.blocksPerPage
          << " --block-size " << options.blockSize << " --page-count " << options.pageCount
          << " --loader-version " << options.loaderVersion << " --baud " << options.baud << " --seed "
          << options.seed;
  if (!options.description) command << " --no-description";
  if (!options.modemLines) command << " --no-modem-lines";
  if (options.busy) command << " --busy";
  std::string line = command.str();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    closesocket(listener);
    Fail("cannot start " + script + " (error " + std::to_string(GetLastError()) + ")");
  }
  // For a native program Wine fills in no handles: the process and thread fields hold whatever its stack
  // held (seen: a null process and a stack address as the thread). Closing them could close a live
  // handle of this process (the cached HKEY_LOCAL_MACHINE, so that the next registration failed with
  // error 6), so they are left alone; the control connection tells whether the simulator lives.

  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(listener, &readable);
  timeval wait{20, 0};
  if (select(0, &readable, nullptr, nullptr, &wait) != 1) {
    closesocket(listener);
    Fail("the simulator did not connect within 20 s (" + script + ")");
  }
  socket_ = accept(listener, nullptr, nullptr);
  closesocket(listener);
  if (socket_ == INVALID_SOCKET) Fail("accept failed");
  BOOL noDelay = TRUE;
  setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);

  std::istringstream ready(ReadLine(20000));
  std::string word;
  ready >> word >> port_ >> pty_;
  if (word != "READY" || port_.rfind("COM", 0) != 0) Fail("unexpected greeting: " + word + " " + port_);
  modemLines_ = options.modemLines;

  HKEY key = nullptr;
  const LONG created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, SerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                                      KEY_SET_VALUE, nullptr, &key, nullptr);
  if (created != ERROR_SUCCESS)
    Fail("cannot open HKLM\\" + std::string(SerialCommKey) + " (error " + std::to_string(created) + ")");
  registryValue_ = "\\Device\\KrlSim" + port_.substr(3);
  const LONG set = RegSetValueExA(key, registryValue_.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(port_.c_str()), static_cast<DWORD>(port_.size() + 1));
  RegCloseKey(key);
  if (set != ERROR_SUCCESS) Fail("cannot list " + port_ + " in the registry");
}

SimulatedDevice::~SimulatedDevice() {
  if (!registryValue_.empty()) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SerialCommKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, registryValue_.c_str());
      RegCloseKey(key);
    }
  }
  if (socket_ != INVALID_SOCKET) {
    // The simulator removes its COM link before it says goodbye, so the port is gone when this returns.
    const char quit[] = "quit\n";
    send(socket_, quit, sizeof quit - 1, 0);
    try {
      ReadLine(5000);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
    }
    closesocket(socket_);
  }
}

bool SimulatedDevice::HasModemLines() const {
  return modemLines_ && Env("LD_PRELOAD").find("libkrlptyshim") != std::string::npos;
}

std::string SimulatedDevice::ReadLine(unsigned timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return line;
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) Fail("no answer within " + std::to_string(timeoutMs) + " ms");
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    const DWORD left = timeoutMs - elapsed;
    timeval wait{static_cast<long>(left / 1000), static_cast<long>(left % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) != 1) continue;
    char chunk[65536];
    const int n = recv(socket_, chunk, sizeof chunk, 0);
    if (n <= 0) Fail("the simulator closed the connection");
    buffer_.append(chunk, static_cast<size_t>(n));
  }
}

std::string SimulatedDevice::Command(const std::string& line) {
  const std::string text = line + "\n";
  if (send(socket_, text.data(), static_cast<int>(text.size()), 0) != static_cast<int>(text.size()))
    Fail("cannot send \"" + line + "\"");
  const std::string answer = ReadLine(20000);
  if (answer.rfind("OK", 0) != 0) Fail("\"" + line + "\": " + answer);
  return answer.size() > 3 ? answer.substr(3) : std::string();
}

void SimulatedDevice::Set(const std::string& key, const std::string& value) { Command("set " + key + " " + value); }

void SimulatedDevice::SetProcessingTime(DeviceFrame kind, int ms) {
  Set(std::string("delay.") + DeviceFrameName(kind), std::to_string(ms));
}
void SimulatedDevice::SetProcessingTime(int ms) { Set("delay", std::to_string(ms)); }
void SimulatedDevice::AnswerOnTry(DeviceFrame kind, int k) {
  Set(std::string("answer-on-try.") + DeviceFrameName(kind), std::to_string(k));
}
void SimulatedDevice::DropReplies(DeviceFrame kind, double rate) {
  Set(std::string("drop-rate.") + DeviceFrameName(kind), std::to_string(rate));
}
void SimulatedDevice::WrongReplyCode(DeviceFrame kind, const std::string& code) {
  Set(std::string("wrong-code.") + DeviceFrameName(kind), code);
}
void SimulatedDevice::SetLoaderVersion(const std::string& version) { Set("loader-version", version); }
void SimulatedDevice::SetDescription(const std::optional<std::string>& text) {
  if (text)
    Set("description-hex", Hex(*text));
  else
    Set("description-none", "-");
}
void SimulatedDevice::SetSilent(bool silent) { Set("silent", silent ? "1" : "0"); }
void SimulatedDevice::SilentAfter(DeviceFrame kind, int n) {
  Set(std::string("silent-after.") + DeviceFrameName(kind), std::to_string(n));
}
void SimulatedDevice::CloseAfter(DeviceFrame kind, int n) {
  Set(std::string("close-after.") + DeviceFrameName(kind), std::to_string(n));
}
void SimulatedDevice::ClosePty() { Command("close"); }
void SimulatedDevice::SetGeometry(int blocksPerPage, int blockSize, int pageCount) {
  Set("blocks-per-page", std::to_string(blocksPerPage));
  Set("block-size", std::to_string(blockSize));
  Set("page-count", std::to_string(pageCount));
}

DeviceCounts SimulatedDevice::Counts() {
  DeviceCounts counts;
  std::istringstream words(Command("counts"));
  std::string word;
  while (words >> word) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos) continue;
    counts.all[word.substr(0, eq)] = std::atoi(word.c_str() + eq + 1);
  }
  auto get = [&counts](const char* name) {
    auto it = counts.all.find(name);
    return it == counts.all.end() ? 0 : it->second;
  };
  counts.reset = get("reset");
  counts.identify = get("identify");
  counts.description = get("description");
  counts.erase = get("erase");
  counts.data = get("data");
  counts.commit = get("commit");
  counts.bad = get("bad");
  counts.wakeChars = get("wake");
  counts.refused = get("refused");
  return counts;
}

void SimulatedDevice::ResetCounts() { Command("reset-counts"); }

void SimulatedDevice::Sync() { Command("sync"); }

std::vector<uint8_t> SimulatedDevice::Memory() {
  const std::string hex = Command("memory");
  std::vector<uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(nibble(hex[i]) * 16 + nibble(hex[i + 1])));
  return bytes;
}

std::vector<std::string> SimulatedDevice::History(int n) {
  std::istringstream words(Command("history " + std::to_string(n)));
  std::vector<std::string> frames;
  std::string frame;
  while (words >> frame) frames.push_back(frame);
  return frames;
}

}  // namespace testing_support
