// The event thread's retries on a port whose wait cannot start (a pseudo-terminal without modem
// lines, where WaitCommEvent fails at once): counts the failed tries over some seconds and prints
// them per second. The thread pauses 250 ms between tries, so the goal is about 4 a second; a
// spinning loop gives thousands.
#include "serial/BCPort.h"

#include "tests/support/SimulatedDevice.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

using testing_support::SimulatedDevice;

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 3;
  try {
    SimulatedDevice::Options options;
    options.modemLines = false;
    SimulatedDevice device(options);
    TBComPort* port = new TBComPort(nullptr);
    port->SetPort(device.PortName());
    port->Open();
    TComThread* thread = port->EventThread();
    const DWORD deadline = GetTickCount() + 10000;
    while (thread->FailedWaits() < 1 && GetTickCount() < deadline) Sleep(10);
    if (thread->FailedWaits() < 1) {
      std::printf("the wait never failed: this bench needs a port without modem lines\n");
      return 1;
    }
    const int before = thread->FailedWaits();
    const DWORD start = GetTickCount();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const int tries = thread->FailedWaits() - before;
    const DWORD elapsed = GetTickCount() - start;
    std::printf("failed waits: %d in %lu ms, %.1f a second (goal: about 4)\n", tries,
                static_cast<unsigned long>(elapsed), tries * 1000.0 / static_cast<double>(elapsed));
    try {
      port->Close();
    } catch (const EComPort& e) {
      std::printf("closing raised port error %d, as expected when the lines cannot be lowered\n", e.Code());
    }
    port->Free();
  } catch (const std::exception& e) {
    std::printf("failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
