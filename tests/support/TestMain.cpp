// Entry of every test program: GoogleTest plus a watchdog that ends a stuck test with a
// clear message (an open modal loop would otherwise hang until CTest kills the process).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string g_currentTest;
HANDLE g_testStarted = nullptr;
HANDLE g_allDone = nullptr;

class WatchdogListener : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& info) override {
    g_currentTest = std::string(info.test_suite_name()) + "." + info.name();
    SetEvent(g_testStarted);
  }
};

DWORD WINAPI Watchdog(void*) {
  const char* env = std::getenv("KRL_TEST_TIMEOUT");
  const DWORD seconds = env ? static_cast<DWORD>(std::atoi(env)) : 120;
  // Leave CTest a few seconds so our message, not its kill, ends the test.
  const DWORD limit = (seconds > 10 ? seconds - 5 : seconds) * 1000;
  const HANDLE events[2] = {g_allDone, g_testStarted};
  DWORD wait = INFINITE;
  for (;;) {
    const DWORD r = WaitForMultipleObjects(2, events, FALSE, wait);
    if (r == WAIT_OBJECT_0) return 0;
    if (r == WAIT_OBJECT_0 + 1) {
      wait = limit;
      continue;
    }
    std::fprintf(stderr, "\n*** %s did not finish within %lu s (a modal loop left open?)\n",
                 g_currentTest.c_str(), static_cast<unsigned long>(limit / 1000));
    std::fflush(stderr);
    ExitProcess(3);
  }
}

} // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  g_testStarted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_allDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  const int result = RUN_ALL_TESTS();
  // The watchdog ends before the process does: Wine can crash when a thread is torn down
  // while the process exits.
  SetEvent(g_allDone);
  WaitForSingleObject(watchdog, INFINITE);
  CloseHandle(watchdog);
  return result;
}
