// Shared pieces of the adapter tests: the application and the adapters' unit running, the SOLID test skin on
// the default manager, a window class that records every message it gets, and a recorder of SetWindowTheme.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/adapters/vkMainWnd.h"
#include "skin/core/sSkinManager.h"
#include "tests/support/Dib32.h"
#include "tests/support/Owned.h"

class TsSkinProvider;

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
// A window class of this program registered once by its name; the name.
const char* WindowClass(const char* Name, WNDPROC Proc, HBRUSH Background = nullptr);
// "KrlRecordingWnd", registered once.
const char* RecordingClass();
WNDPROC RecordingProc();
HWND NewRecordingWindow(HWND Parent, DWORD Style, int X, int Y, int W, int H, const char* Text = "");
// A window of a class: a child of Parent, or a popup without one (shown when Style says so).
HWND NewWindow(const char* Class, HWND Parent, DWORD Style, int X, int Y, int W, int H, const char* Text = "",
               DWORD ExStyle = 0);
// A shown top-level window to put children on, of a flat colour class (white brush).
HWND NewHost(int W, int H);
// The window's rectangle on the screen.
TRect WindowRectOf(HWND Wnd);
// The font metrics of the window's font (Fallback, or the DC's own, when it has none).
TEXTMETRICA FontMetricsOf(HWND Wnd, HGDIOBJ Fallback = nullptr);
// GetCursorPos answers P (screen coordinates) until the platform is reset.
void FakeCursorAt(POINT P);
// Message boxes the application shows for exceptions go into Texts instead of the test's failures.
void CollectBoxTexts(std::vector<std::string>& Texts);
// A timer procedure that ends the open menu (a menu's own loop dispatches it).
void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR, DWORD);
// The system's version reads as Major until the platform is reset.
void FakeWindowsVersion(DWORD Major);

// A form at the bounds, tagged before it shows (NoSkinTag: the thread hook leaves it alone), shown unless told not.
TForm* NewForm(int X, int Y, int W, int H, int Tag = 0, bool Show = true);
// A framework control on Parent at the bounds, owned by the form Parent lies on.
template <class T>
T* Place(TWinControl* Parent, int X, int Y, int W, int H) {
  TComponent* Owner = GetParentForm(Parent);
  auto* C = new T(Owner != nullptr ? Owner : Parent);
  C->SetParent(Parent);
  C->SetBounds(X, Y, W, H);
  return C;
}
// Skin parameters naming a section and a control.
TvkSkinParams SkinParams(const std::string& Section = "", TControl* Control = nullptr);
// The form skinner among the component's own components (nullptr: none).
TsSkinProvider* SkinnerOf(TComponent* Owner);
// The skinner's third-party class lists: only the given kinds name classes, each its one.
void ListOnly(TsSkinProvider* P, std::initializer_list<std::pair<int, const char*>> Lists);
// A flat-coloured bitmap and an icon of one colour (0xRRGGBB), for image controls.
HBITMAP FlatBitmap(int W, int H, uint32_t Rgb_);
HICON FlatIcon(int Size, uint32_t Rgb_);

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
// The window's own DC area copied (its window rectangle from the window DC), into Dib or a new DIB of its size.
// Reading the screen, these fail a test whose suite's name lacks "RealScreen": that name makes it run alone.
void CopyWindowDC(HWND Wnd, testing_support::Dib32& Dib);
std::unique_ptr<testing_support::Dib32> WindowDCOf(HWND Wnd);

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
// A framework colour as a DIB pixel holds it (blue in the low byte).
uint32_t PixelOf(TColor Colour);
// C kept at 100 of 255 over Bg, channel by channel: the disabled look.
uint32_t DisabledBlend(uint32_t C, uint32_t Bg);

// Probes of a DIB, over the part of R that lies in it (all of it by default).
constexpr TRect kWholeDib(0, 0, INT_MAX, INT_MAX);
// The pixels whose colour part Match holds for, or that are Colour.
int CountWhere(const testing_support::Dib32& D, const std::function<bool(uint32_t)>& Match, const TRect& R = kWholeDib);
int CountRgb(const testing_support::Dib32& D, uint32_t Colour, const TRect& R = kWholeDib);
// The bounds (inclusive) of the pixels whose colour part Match holds for; Right and Bottom are -1 when none does.
struct TInk {
  int Left, Top, Right, Bottom;
};
TInk InkBounds(const testing_support::Dib32& D, const std::function<bool(uint32_t)>& Match, const TRect& R = kWholeDib);
// A pixel of a DIB and the colour part it must have.
struct TProbe {
  int X, Y;
  uint32_t Colour;
};
void ExpectPixels(const testing_support::Dib32& D, std::initializer_list<TProbe> Probes);
// The pixels whose colour parts differ between two DIBs of one size.
int CountDiffering(const testing_support::Dib32& A, const testing_support::Dib32& B);

class AdapterTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Frees every window the test made (children first by DestroyWindow of the tops).
  std::vector<HWND> Tops;
  // A top-level window the test made, kept for TearDown.
  HWND Keep(HWND W) {
    Tops.push_back(W);
    return W;
  }
  HWND Host(int W = 300, int H = 200) { return Keep(NewHost(W, H)); }
};

// Stand-ins of controls publish properties straight over fields: a setter writing the field, and OVER_FIELD naming a
// property whose field F<Name> is read and written through.
template <class C, class V>
auto Writes(V C::*Field) {
  return [Field](C* O, V Value) { O->*Field = Value; };
}
#define OVER_FIELD(C, Name) #Name, &C::F##Name, adapter_test::Writes(&C::F##Name)

// A framework control whose window has both scroll styles, as the grids and trees the adapters take have.
class TScrollingControl : public TWinControl {
  DECLARE_CLASS(TScrollingControl, TWinControl)
public:
  explicit TScrollingControl(TComponent* AOwner) : TWinControl(AOwner) {}

protected:
  void CreateParams(TCreateParams& Params) override;
};

// The fixture Base with a manager of the program's skins (SOLID by default), made after Base's set-up and freed
// before its tear-down: the skin goes before the test's windows, as when the test holds the manager itself.
template <class Base, ManagerPtr (*MakeManager)() = SolidManager>
class WithManager : public Base {
protected:
  void SetUp() override {
    Base::SetUp();
    M = MakeManager();
  }
  void TearDown() override {
    M.reset();
    Base::TearDown();
  }
  ManagerPtr M;
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

// A skinned adapter test whose one adapter A is its own: a test may free it early (and forget it).
template <class T>
class OwnAdapterTest : public SkinnedAdapterTest {
protected:
  void TearDown() override {
    if (A != nullptr) A->Free();
    A = nullptr;
    SkinnedAdapterTest::TearDown();
  }
  T* A = nullptr;
};

// A skinned adapter test whose windows go on one host of the size.
template <int HostW = 300, int HostH = 200>
class HostedAdapterTest : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    Parent = Host(HostW, HostH);
  }
  HWND Parent = nullptr;
};

}  // namespace adapter_test
