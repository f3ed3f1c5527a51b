#pragma once
// A window and a port for the loader's operations without either: the view records what the
// operator would see, the port answers frames from a script and records what was sent.
#include "app/LoaderPorts.h"

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

class FakeView : public ILoaderView {
public:
  void ProcessMessages() override {
    ++pumps;
    if (OnPump) OnPump();
  }
  bool InputWaiting() const override { return keysWaiting; }
  void BringToFront() override { Log("front"); }
  int64_t GaugeMax() const override { return gaugeMax; }
  void SetGaugeMax(int64_t v) override {
    gaugeMax = v;
    gaugeProgress = std::min(gaugeProgress, v);
  }
  int64_t GaugeProgress() const override { return gaugeProgress; }
  void SetGaugeProgress(int64_t v) override {
    gaugeProgress = std::clamp<int64_t>(v, 0, gaugeMax);
    gaugeHigh = std::max(gaugeHigh, gaugeProgress);
  }
  void SetPageBarMax(int v) override { pageBarMax = v; }
  int PageBarPosition() const override { return pageBarPosition; }
  void SetPageBarPosition(int v) override { pageBarPosition = std::clamp(v, 0, std::max(pageBarMax, 0)); }
  void SetStatus(const std::string& c) override {
    status = c;
    Log("status:" + c);
  }
  void SetCalibration(const std::string& c) override { calibration = c; }
  std::string AboutText() const override { return about; }
  void SetAboutText(const std::string& t) override { about = t; }
  void LogFrame(const std::string& line) override {
    aboutLinesPending += 2;
    lastAboutLine = line;
  }
  void FlushFrameLog() override {
    aboutLinesAdded += aboutLinesPending;
    aboutLinesPending = 0;
  }
  std::vector<std::string> TerminalLines() const override { return terminal; }
  void SetTerminalLines(const std::vector<std::string>& lines) override { terminal = lines; }
  void SetControlEnabled(TLoaderControl c, bool e) override { enabled[c] = e; }
  void FocusControl(TLoaderControl c) override { focused = c; }
  std::string PortName() const override { return portName; }
  int BaudRateIndex() const override { return baudIndex; }
  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    Log("message:" + text);
    if (OnMessage) OnMessage();  // a box pumps the queue while it is up
  }
  void MessageBeep(unsigned type) override { Log("beep:" + std::to_string(type)); }
  void Beep(unsigned f, unsigned d) override { Log("tone:" + std::to_string(f) + "/" + std::to_string(d)); }
  void Sleep(unsigned ms) override { slept += ms; }
  std::string LongTimeText() const override { return "12:34:56"; }

  void Log(const std::string& e) { events.push_back(e); }
  bool Enabled(TLoaderControl c) const {
    auto it = enabled.find(c);
    return it != enabled.end() && it->second;
  }

  int64_t gaugeMax = 100, gaugeProgress = 0, gaugeHigh = 0;
  int pageBarMax = 100, pageBarPosition = 0;
  std::string status, calibration, about, lastAboutLine;
  int aboutLinesAdded = 0, aboutLinesPending = 0;  // in the memo, and logged but not yet flushed
  std::vector<std::string> terminal;
  std::map<TLoaderControl, bool> enabled;
  TLoaderControl focused = TLoaderControl::Port;
  std::string portName = "COM7";
  int baudIndex = 12;
  std::vector<std::string> messages, events;
  uint64_t slept = 0;
  int pumps = 0;
  bool keysWaiting = false;
  std::function<void()> OnPump, OnMessage;
};

// Answers by the kind of the last frame written: a reply function per command ("02", "03", ...),
// called with the frame and how many times a frame of that kind has been sent so far (1-based).
class FakePort : public ISerialLink {
public:
  using Reply = std::function<std::string(const std::string& frame, int sent)>;

  void Close() override { open = false; }
  void Configure(const std::string& port, int baud) override {
    portName = port;
    baudIndex = baud;
  }
  bool Open() override { return open = true; }
  void WriteStr(const std::string& text) override {
    if (!open) throw std::runtime_error("write on closed port");
    written.push_back(text);
    pending.clear();
    const std::string kind = text.size() >= 3 && text != "zzzzz" ? text.substr(1, 2) : "wake";
    const int n = ++sentByKind[kind];
    auto it = replies.find(kind);
    if (it != replies.end()) pending = it->second(text, n);
  }
  std::string ReadStr(int count) override {
    std::string out = pending.substr(0, static_cast<size_t>(count));
    pending.clear();
    return out;
  }
  int Sent(const std::string& kind) const {
    auto it = sentByKind.find(kind);
    return it == sentByKind.end() ? 0 : it->second;
  }

  bool open = false;
  std::string portName, pending;
  int baudIndex = -1;
  std::vector<std::string> written;
  std::map<std::string, int> sentByKind;
  std::map<std::string, Reply> replies;
};

// A device that answers everything at once with the given geometry and description.
inline void AnswerAsDevice(FakePort& port, const std::string& identify, const std::string& description) {
  port.replies["02"] = [identify](const std::string&, int) { return identify; };
  port.replies["03"] = [description](const std::string&, int) { return description; };
  port.replies["04"] = [](const std::string&, int) { return std::string("z84;"); };
  port.replies["05"] = [](const std::string&, int) { return std::string("z85;"); };
  port.replies["06"] = [](const std::string&, int) { return std::string("z86;"); };
  port.replies["01"] = [](const std::string&, int) { return std::string("z81;"); };
}
