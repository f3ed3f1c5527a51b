// Entry of every test program: GoogleTest plus a watchdog that ends a stuck test with a
// clear message (an open modal loop would otherwise hang until CTest kills the process).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Text read without a message: the thread that owns the window is the one that is stuck.
std::string StoredText(HWND window) {
  wchar_t text[512] = {};
  InternalGetWindowText(window, text, 512);
  char out[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

BOOL CALLBACK PrintBoxLine(HWND child, LPARAM) {
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  const std::string text = StoredText(child);
  if (!text.empty() && _stricmp(cls, "Static") == 0) std::fprintf(stderr, "    %s\n", text.c_str());
  return TRUE;
}

// A message box left open by this process (an exception shown from inside a window procedure) is the
// usual reason a test never returns: say what it reads.
BOOL CALLBACK PrintOwnMessageBox(HWND window, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (pid != GetCurrentProcessId() || std::string(cls) != "#32770") return TRUE;
  std::fprintf(stderr, "*** open dialog \"%s\":\n", StoredText(window).c_str());
  EnumChildWindows(window, PrintBoxLine, 0);
  return TRUE;
}

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
    EnumWindows(PrintOwnMessageBox, 0);
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
