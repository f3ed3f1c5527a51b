// Helpers the port tests share: a port freed at the end of the test, the code of the port error an
// action raises, and the loader's time-outs.
#pragma once

#include "serial/BCPort.h"
#include "tests/support/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace port_fixtures {

// How long a test waits for what the port, its thread or the device will do: far beyond what any load delays
// it by, so that only a thing that never happens fails (and the test program's watchdog names a test that hangs).
constexpr DWORD kPatienceMs = 60000;

// Polls `done` without pumping until it holds; false when it still does not after kPatienceMs.
inline bool WaitUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= kPatienceMs) return false;
    Sleep(5);
  }
  return true;
}

// Reads until a reply has ended (";") or `count` characters came (the loader sleeps and reads the same way).
inline std::string ReadReply(TBComPort* port, int count) {
  std::string all, chunk;
  WaitUntil([&] {
    port->ReadStr(chunk, count - static_cast<int>(all.size()));
    all += chunk;
    return static_cast<int>(all.size()) >= count || (!all.empty() && all.back() == ';');
  });
  return all;
}

// The ports the port list names, in its order.
inline std::vector<std::string> ListedPorts() {
  TStringList* list = new TStringList();
  TBComPort::EnumComPorts(list);
  std::vector<std::string> names;
  for (int i = 0; i < list->Count(); ++i) names.push_back(list->Strings(i));
  list->Free();
  return names;
}

// Frees the component at the end of a test.
struct PortHolder {
  TBComPort* port = new TBComPort(nullptr);
  ~PortHolder() { port->Free(); }
  TBComPort* operator->() const { return port; }
};

// The code of the port error `action` raises, checking that its message is the code's; -1 when none.
template <class F> int ComErrorCode(F&& action) {
  try {
    action();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Message(), ComErrorMessage(e.Code()));
    return e.Code();
  }
  return -1;
}

// The loader's settings: all five time-outs 1 ms.
inline void UseLoaderTimeouts(TBComPort* port) {
  TComTimeouts* t = port->Timeouts();
  t->SetReadInterval(1);
  t->SetReadTotalMultiplier(1);
  t->SetReadTotalConstant(1);
  t->SetWriteTotalMultiplier(1);
  t->SetWriteTotalConstant(1);
}

// A simulated device and a port named after it with the loader's time-outs, not yet open.
struct PortOnDevice {
  testing_support::SimulatedDevice device;
  PortHolder port;
  explicit PortOnDevice(const testing_support::SimulatedDevice::Options& options = {}) : device(options) {
    port->SetPort(device.PortName());
    UseLoaderTimeouts(port.port);
  }
};

// A device whose pty has no modem lines: every wait of the port's thread fails on it.
struct PortWithoutModemLines : PortOnDevice {
  PortWithoutModemLines() : PortOnDevice({.modemLines = false}) {}
};

}  // namespace port_fixtures
