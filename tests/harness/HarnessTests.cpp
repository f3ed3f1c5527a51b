// The test environment itself: a real window under Wine, exact GDI into a DIB section,
// the ANSI code page, and the harness's message-box closer.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include "tests/support/HostProgram.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowProbe.h"

using namespace testing_support;

TEST(Environment, AnsiCodePageIsCyrillic) {
  EXPECT_EQ(GetACP(), 1251u);
  // The literal below is compiled to CP1251 bytes: 'Ї' is 0xAF there.
  const char* text = "Ї";
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xAF);
  char upper[] = "мікро";
  CharUpperBuffA(upper, 5);
  EXPECT_STREQ(upper, "МІКРО");
}

static int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

TEST(Environment, PrefixHasTheStableFonts) {
  HDC dc = GetDC(nullptr);
  for (const char* face : {"Tahoma", "Marlett", "Webdings"}) {
    bool found = false;
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, face);
    EnumFontFamiliesExA(dc, &lf, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    EXPECT_TRUE(found) << face;
  }
  ReleaseDC(nullptr, dc);
}

TEST(Environment, WindowPaintsIntoDibSectionExactly) {
  HWND w = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  ShowWindow(w, SW_SHOW);
  PumpPending();

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 16;
  bi.bmiHeader.biHeight = -16;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(w);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(w, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{2, 3, 6, 7};  // half-open: columns 2..5, rows 3..6
  HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
  FillRect(dc, &r, brush);
  GdiFlush();
  auto px = [&](int x, int y) { return static_cast<const DWORD*>(bits)[y * 16 + x] & 0xFFFFFF; };
  EXPECT_EQ(px(2, 3), 0x123456u);
  EXPECT_EQ(px(5, 6), 0x123456u);
  EXPECT_EQ(px(6, 6), 0u);
  EXPECT_EQ(px(5, 7), 0u);
  SelectObject(dc, old);
  DeleteObject(brush);
  DeleteObject(bmp);
  DeleteDC(dc);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(FindThreadWindows("", "probe").size(), 1u);
  DestroyWindow(w);
}

TEST(Harness, ModalCloserReadsAndClosesSystemMessageBox) {
  ModalCloser closer("#32770", IDOK);
  std::string seen;
  closer.OnFound = [&](const FoundWindow& f) { seen = f.title + "|" + f.text; };
  const int answer = MessageBoxA(nullptr, "Порт зайнятий", "Заголовок", MB_OK);
  EXPECT_EQ(answer, IDOK);
  ASSERT_EQ(closer.Closed().size(), 1u);
  EXPECT_NE(seen.find("Заголовок|"), std::string::npos);
  EXPECT_NE(seen.find("Порт зайнятий"), std::string::npos);
}

static int g_ticks = 0;
static void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST(Harness, PumpUntilStopsAtConditionOrTimeout) {
  g_ticks = 0;
  const UINT_PTR t = SetTimer(nullptr, 0, 10, CountTick);
  EXPECT_TRUE(PumpUntil([] { return g_ticks >= 2; }, 2000));
  KillTimer(nullptr, t);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(PumpUntil([] { return false; }, 50));
  EXPECT_GE(GetTickCount() - start, 50u);
}

// This program again, running only the current test with KRL_HARNESS_ROLE set to role and the given handles
// (inheritable) as its output; answers its exit code, or 0xDEAD when it did not end within 30 s.
static DWORD RunSelf(const char* role, HANDLE output, bool wait) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string line = std::string("\"") + exe + "\" --gtest_filter=" + test->test_suite_name() + "." + test->name();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = output;
  PROCESS_INFORMATION child{};
  SetEnvironmentVariableA("KRL_HARNESS_ROLE", role);
  SetEnvironmentVariableA("KRL_TEST_EXIT_SECONDS", "1");
  const BOOL made = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableA("KRL_HARNESS_ROLE", nullptr);
  SetEnvironmentVariableA("KRL_TEST_EXIT_SECONDS", nullptr);
  if (!made) return 0xBAD;
  DWORD code = 0;
  if (wait && WaitForSingleObject(child.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 0xDEAD);
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return code;
}

// A test program must end once its tests are over: one that does not is ended by its watchdog, naming what is
// alive in it; a process it leaves holding its output is named by the runner (a CTest entry of this folder runs
// this test so through wine-run). With KRL_HARNESS_ROLE set, the test plays the program at fault instead.
TEST(Harness, AProgramThatDoesNotEndOrLeavesAProcessBehindFails) {
  const std::string role = testing_support::Env("KRL_HARNESS_ROLE");
  if (role == "hang") {
    CreateWindowExA(0, "STATIC", "left open", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::atexit([] { Sleep(INFINITE); });
    return;
  }
  if (role == "linger" || role == "sleep") {
    HANDLE output = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_ERROR_HANDLE), GetCurrentProcess(), &output, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    if (role == "linger") {
      RunSelf("sleep", output, false);
      return;
    }
    // The one left behind holds the output until the runner has named it and stopped reading (a write then
    // fails), however long the runner's moment after the program's end lasts on a loaded machine; a minute at most.
    DWORD written = 0;
    for (int i = 0; i < 600 && WriteFile(output, ".", 1, &written, nullptr); ++i) Sleep(100);
    return;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  ASSERT_TRUE(CreatePipe(&read, &write, &inherit, 1 << 16));
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  const DWORD code = RunSelf("hang", write, true);
  CloseHandle(write);
  std::string out;
  char buffer[4096];
  for (DWORD got = 0; ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0;) out.append(buffer, got);
  CloseHandle(read);
  EXPECT_EQ(code, 4u) << out;
  EXPECT_NE(out.find("[  PASSED  ] 1 test."), std::string::npos) << out;
  EXPECT_NE(out.find("did not end within 1 s"), std::string::npos) << out;
  EXPECT_NE(out.find("window Static \"left open\""), std::string::npos) << out;
}
