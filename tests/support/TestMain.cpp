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
  for (;;) {
    if (WaitForSingleObject(g_testStarted, INFINITE) != WAIT_OBJECT_0) return 0;
    if (WaitForSingleObject(g_testStarted, limit) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "\n*** %s did not finish within %lu s (a modal loop left open?)\n",
                   g_currentTest.c_str(), static_cast<unsigned long>(limit / 1000));
      std::fflush(stderr);
      ExitProcess(3);
    }
  }
}

} // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  g_testStarted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  return RUN_ALL_TESTS();
}
