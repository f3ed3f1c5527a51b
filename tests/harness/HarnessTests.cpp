// The test environment itself: a real window under Wine, exact GDI into a DIB section,
// the ANSI code page, and the harness's message-box closer.
#include <gtest/gtest.h>
#include <windows.h>
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
  EXPECT_EQ(FindProcessWindows("", "probe").size(), 1u);
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
