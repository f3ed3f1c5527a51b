// Helpers the port tests share: a port freed at the end of the test, the code of the port error an
// action raises, and the loader's time-outs.
#pragma once

#include "serial/BCPort.h"

#include <gtest/gtest.h>

namespace port_fixtures {

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

}  // namespace port_fixtures
