// Shared pieces of the adapter tests: the application and the adapters' unit running, the SOLID test skin on
// the default manager, a window class that records every message it gets, and a recorder of SetWindowTheme.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/adapters/vkMainWnd.h"
#include "skin/core/sSkinManager.h"
#include "tests/support/Dib32.h"
#include "tests/support/Owned.h"

namespace adapter_test {

using ManagerPtr = testing_support::Owned<TsSkinManager>;

// Messages the recording class got, in order.
struct TRecorded {
  HWND Wnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};
std::vector<TRecorded>& Recorded();
int CountRecorded(HWND Wnd, UINT Msg);
// The recording class answers this message with 100 (its own procedure's mark).
constexpr UINT kProbe = WM_APP + 11;
// Its answer to the background-colour command (0 = none).
extern LRESULT RecordingBgColorAnswer;
// "KrlRecordingWnd", registered once with RegisterClassA.
const char* RecordingClass();
WNDPROC RecordingProc();
HWND NewRecordingWindow(HWND Parent, DWORD Style, int X, int Y, int W, int H, const char* Text = "");
// A shown top-level window to put children on, of a flat colour class (white brush).
HWND NewHost(int W, int H);

// The default manager with the SOLID skin applied.
ManagerPtr SolidManager();
// A manager of its own over a skin written into Folder: a minimal GLOBALINFO, then Sections (skin text), and a
// 64 x 64 master bitmap of Pixel (0x00RRGGBB; grey when none), whose top-left 2 x 2 corner holds key pixels. It is
// the default manager when it is the first.
ManagerPtr TextSkinManager(const std::string& Folder, const std::string& Sections,
                           const std::function<uint32_t(int, int)>& Pixel = nullptr);
// A manager with the program's TIDE skin, as the build packs it (the default one when it is the first).
ManagerPtr TideManager();

// SetWindowTheme calls as (window, first name) while a test holds the recorder.
struct TThemeCall {
  HWND Wnd;
  std::wstring Name;
};
class ThemeRecorder {
public:
  ThemeRecorder();
  ~ThemeRecorder();
  std::vector<TThemeCall> Calls;
  int CountFor(HWND Wnd) const;
};

// The window printed (WM_PRINT, client and non-client) into a 32-bit DIB of its window size.
void PrintWindowTo(HWND Wnd, testing_support::Dib32& Dib);
// The window printed so into a new DIB of its window size, filled with Fill first.
std::unique_ptr<testing_support::Dib32> PrintedWindow(HWND Wnd, uint32_t Fill = 0);
// The window's own DC area copied (its window rectangle from the window DC).
void CopyWindowDC(HWND Wnd, testing_support::Dib32& Dib);

// Windows of this thread, top-level ones and all their descendants: what a leak of windows would raise.
int ThreadWindowCount();

// The paints the window and its children owe, done now.
void SettlePaints(HWND Wnd);
// The window as it shows on screen (its window DC), once its top-level window's queued paints went through.
std::unique_ptr<testing_support::Dib32> ScreenOf(HWND Wnd);
// Change runs on a shown window; once its paints went through, the window's pixels on screen must have changed and
// must be what a print of it shows now (What names the case).
void ExpectScreenFollows(HWND Wnd, const std::function<void()>& Change, const std::string& What);

// Pixel colour (0xRRGGBB as a skin text writes it) of a pixel read from a DIB.
inline uint32_t Rgb(uint32_t Pixel) { return Pixel & 0xFFFFFF; }

class AdapterTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Frees every window the test made (children first by DestroyWindow of the tops).
  std::vector<HWND> Tops;
  HWND Host(int W = 300, int H = 200) {
    HWND H_ = NewHost(W, H);
    Tops.push_back(H_);
    return H_;
  }
};

// An adapter test over the SOLID skin: the adapters it keeps are freed first, then its form, then the windows,
// the manager last.
class SkinnedAdapterTest : public AdapterTest {
protected:
  void SetUp() override {
    AdapterTest::SetUp();
    M = SolidManager();
  }
  void TearDown() override {
    for (TvkMainWnd* A : Adapters) A->Free();
    Adapters.clear();
    if (Form != nullptr) Form->Free();
    Form = nullptr;
    AdapterTest::TearDown();
    M.reset();
  }
  // An adapter of the manager over the window, kept for TearDown.
  template <class T>
  T* Adapt(HWND W, const char* Section = "", TControl* Control = nullptr, bool Repaint = false) {
    TvkSkinParams P;
    P.SkinSection = Section;
    P.Control = Control;
    T* A = CreateAdapter<T>(W, nullptr, M.get(), P, Repaint);
    Adapters.push_back(A);
    return A;
  }
  // The test's form at (40, 40), 300 by 200, shown; the tag goes on before it shows (NoSkinTag: left unskinned).
  TForm* ShowForm(int Tag = 0) {
    Form = TForm::CreateNew(Application);
    Form->SetBounds(40, 40, 300, 200);
    Form->SetTag(Tag);
    Form->Show();
    return Form;
  }
  ManagerPtr M;
  TForm* Form = nullptr;
  std::vector<TvkMainWnd*> Adapters;
};

}  // namespace adapter_test
