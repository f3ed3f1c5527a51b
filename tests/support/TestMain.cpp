// Entry of every test program: GoogleTest plus a watchdog that ends a stuck test with a
// clear message (an open modal loop would otherwise hang until CTest kills the process), and a
// process that does not end once its tests are over with what is still alive in it.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string g_currentTest;
HANDLE g_testStarted = nullptr;
HANDLE g_allDone = nullptr;
HANDLE g_exited = nullptr;
HANDLE g_watchdog = nullptr;
// main has returned, with this result: the process's exit code.
bool g_mainReturned = false;
int g_result = 0;

// Made before every other static object, so destroyed after all of them: the watchdog watches the whole exit
// and still ends before the process does. Then the process ends at once, without the libraries' detach and Wine's
// own exit: Wine can crash tearing a process down while a thread of it is still ending, and one always may be then
// (the watchdog, past its handle's signal, or GoogleTest's watcher of this thread, made by a SCOPED_TRACE or a
// failure and killed by the exit).
struct WatchdogEnd {
  ~WatchdogEnd() {
    if (g_watchdog == nullptr) return;
    SetEvent(g_exited);
    WaitForSingleObject(g_watchdog, INFINITE);
    if (!g_mainReturned) return;
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(g_result));
  }
} g_watchdogEnd __attribute__((init_priority(101)));

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

DWORD Seconds(const char* name, DWORD otherwise) {
  const char* env = std::getenv(name);
  return env ? static_cast<DWORD>(std::atoi(env)) : otherwise;
}

// Where code of this process lies: its module and the offset in it.
std::string CodeAt(ULONG_PTR address) {
  HMODULE module = nullptr;
  char path[MAX_PATH] = "?";
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(address), &module))
    GetModuleFileNameA(module, path, MAX_PATH);
  const char* name = std::strrchr(path, '\\') ? std::strrchr(path, '\\') + 1 : path;
  char out[MAX_PATH + 32];
  std::snprintf(out, sizeof out, "%s+0x%lx", name,
                static_cast<unsigned long>(address - reinterpret_cast<ULONG_PTR>(module)));
  return out;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  std::fprintf(stderr, "      window %s \"%s\"%s\n", cls, StoredText(window).c_str(),
               IsWindowVisible(window) ? " (shown)" : "");
  return TRUE;
}

// The threads of this process (where each began) and the windows each owns: what keeps a process that should
// have ended (a thread its exit waits for, or its window or timer a static object's destructor pumps for).
void PrintWhatIsAlive() {
  using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<QueryThread>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == GetCurrentThreadId()) continue;
    ULONG_PTR start = 0;
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    if (thread && query) query(thread, 9 /* its start address */, &start, sizeof start, nullptr);
    if (thread) CloseHandle(thread);
    std::fprintf(stderr, "    thread %lu, begun at %s\n", entry.th32ThreadID, CodeAt(start).c_str());
    EnumThreadWindows(entry.th32ThreadID, PrintWindow, 0);
  }
  CloseHandle(snapshot);
}

DWORD WINAPI Watchdog(void*) {
  const DWORD seconds = Seconds("KRL_TEST_TIMEOUT", 120);
  // Leave CTest a few seconds so our message, not its kill, ends the test.
  const DWORD limit = (seconds > 10 ? seconds - 5 : seconds) * 1000;
  const HANDLE events[2] = {g_allDone, g_testStarted};
  DWORD wait = INFINITE;
  for (;;) {
    const DWORD r = WaitForMultipleObjects(2, events, FALSE, wait);
    if (r == WAIT_OBJECT_0) {
      // The tests are over: the exit passes the last static object before this wait ends, unless something holds it.
      const DWORD exitLimit = Seconds("KRL_TEST_EXIT_SECONDS", 5);
      if (WaitForSingleObject(g_exited, exitLimit * 1000) == WAIT_OBJECT_0) return 0;
      std::fflush(stdout);
      std::fprintf(stderr, "\n*** the tests have finished, but the process did not end within %lu s; alive in it:\n",
                   static_cast<unsigned long>(exitLimit));
      PrintWhatIsAlive();
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 4);
    }
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
  g_exited = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  g_watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  const int result = RUN_ALL_TESTS();
  // From here the watchdog watches the exit (static objects' destructors run yet).
  g_result = result;
  g_mainReturned = true;
  SetEvent(g_allDone);
  return result;
}
