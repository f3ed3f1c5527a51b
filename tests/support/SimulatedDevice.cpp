#include "tests/support/SimulatedDevice.h"

#include "tests/support/HostProgram.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace testing_support {

namespace {

const char SerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("simulated device: " + what); }

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
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
  std::string script = Env("KRL_DEVSIM");
  if (script.empty())
    Fail("KRL_DEVSIM is not set: the test program must run through wine-run-devices "
         "(krl_use_simulated_device() in its CMakeLists.txt)");
  std::ostringstream args;
  args << "--com " << options.firstCom << " --blocks-per-page " << options.blocksPerPage
       << " --block-size " << options.blockSize << " --page-count " << options.pageCount
       << " --loader-version " << options.loaderVersion << " --baud " << options.baud << " --seed " << options.seed;
  if (!options.description) args << " --no-description";
  if (!options.modemLines) args << " --no-modem-lines";
  if (options.busy) args << " --busy";
  const std::string python = Env("KRL_DEVSIM_PYTHON");
  host_ = python.empty() ? std::make_unique<HostProgram>("simulated device", script, "", args.str())
                         : std::make_unique<HostProgram>("simulated device", python, script, args.str());

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
  if (host_) {
    // The simulator removes its COM link before it says goodbye, so the port is gone when this returns.
    try {
      host_->Send("quit");
      ReadLine(5000);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
    }
  }
}

bool SimulatedDevice::HasModemLines() const {
  return modemLines_ && Env("LD_PRELOAD").find("libkrlptyshim") != std::string::npos;
}

std::string SimulatedDevice::ReadLine(unsigned timeoutMs) { return host_->ReadLine(timeoutMs); }

std::string SimulatedDevice::Command(const std::string& line) {
  host_->Send(line);
  const std::string answer = ReadLine(20000);
  if (answer.rfind("OK", 0) != 0) Fail("\"" + line + "\": " + answer);
  return answer.size() > 3 ? answer.substr(3) : std::string();
}

void SimulatedDevice::Set(const std::string& key, const std::string& value) { Command("set " + key + " " + value); }

void SimulatedDevice::SetProcessingTime(DeviceFrame kind, int ms) {
  Set(std::string("delay.") + DeviceFrameName(kind), std::to_string(ms));
}
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
void SimulatedDevice::RefuseFrames(DeviceFrame kind, int first, int count) {
  Set(std::string("refuse.") + DeviceFrameName(kind), std::to_string(first) + ":" + std::to_string(count));
}
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
