// The adapter base on plain windows: the commands it answers, what reaches the window's own procedure, giving
// the window back on destruction and on detach, class brushes, visual styles and the window-procedure stubs.
#include <algorithm>
#include <memory>
#include <random>

#include "AdapterTestSupport.h"
#include "framework/GraphicsGdi.h"
#include "framework/ObjectInstance.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkPixelOps.h"

using namespace adapter_test;

namespace {

int g_dataFreed = 0;
struct TCountingData : TsCommonData {
  TCountingData() : TsCommonData(nullptr, true) {}
  ~TCountingData() override { ++g_dataFreed; }
};

// Makes counting skin data of its own, and can be told to throw on the probe message.
class TTestAdapter : public TvkMainWnd {
  DECLARE_CLASS(TTestAdapter, TvkMainWnd)
public:
  void MakeSkinData() override {
    SkinData = new TCountingData;
    TvkMainWnd::MakeSkinData();
  }
  void WndProc(TMessage& M) override {
    if (M.Msg == kProbe && ThrowOnProbe) {
      M.Result = 7;
      throw Exception("Adapter failed");
    }
    TvkMainWnd::WndProc(M);
  }
  bool ThrowOnProbe = false;
};
IMPLEMENT_CLASS(TTestAdapter)

LRESULT Command(HWND W, WORD Cmd, LPARAM L = 0) { return SendMessageA(W, SM_VKCMD, SkinCommandWParam(Cmd), L); }

WNDPROC ProcOf(HWND W) { return reinterpret_cast<WNDPROC>(GetWindowLongA(W, GWL_WNDPROC)); }

class MainWnd : public WithManager<AdapterTest> {};

TEST_F(MainWnd, AnswersItsCommandsAndPassesTheRestOn) {
  HWND W = NewRecordingWindow(Host(), WS_VISIBLE, 10, 10, 50, 30);
  TvkMainWnd* A = CreateAdapter<TvkMainWnd>(W, nullptr, M.get(), SkinParams("PANEL"), false);
  EXPECT_EQ(100, SendMessageA(W, kProbe, 0, 0));
  EXPECT_EQ(1, Command(W, VKCMD_QUERY_SKINNED));
  EXPECT_EQ(reinterpret_cast<LRESULT>(A), Command(W, VKCMD_QUERY_WINDOW_ADAPTER));
  EXPECT_EQ(reinterpret_cast<LRESULT>(A->SkinData), Command(W, VKCMD_QUERY_SKIN_DATA));
  EXPECT_EQ(SkinDataOfHandle(W), A->SkinData);

  Recorded().clear();
  SendMessageA(W, WM_UPDATEUISTATE, 0, 0);
  EXPECT_EQ(0, CountRecorded(W, WM_UPDATEUISTATE));

  EXPECT_EQ(1, Command(W, VKCMD_SET_SECTION, reinterpret_cast<LPARAM>("button")));
  EXPECT_EQ("BUTTON", A->SkinData->SkinSection());
  EXPECT_EQ(0, Command(W, VKCMD_SET_SECTION, 0));

  // Another manager's skin change is only passed on.
  A->SkinData->CacheDirty = false;
  Recorded().clear();
  Command(W, VKCMD_SKIN_APPLIED, 0x1234);
  EXPECT_FALSE(A->SkinData->CacheDirty);
  EXPECT_EQ(1, CountRecorded(W, SM_VKCMD));

  // The background colour: the window's own answer first, else its section's normal colour in the skin.
  ASSERT_TRUE(M->SectionIndexInRange(A->SkinData->SkinIndex));
  EXPECT_EQ(static_cast<LRESULT>(M->gd()[A->SkinData->SkinIndex].Props[0].Color), Command(W, VKCMD_QUERY_BG_COLOR));
  RecordingBgColorAnswer = 0x123456;
  EXPECT_EQ(0x123456, Command(W, VKCMD_QUERY_BG_COLOR));

  // WM_PRINT becomes the window's own WM_PAINT into the given DC.
  testing_support::Dib32 Dib(50, 30);
  Recorded().clear();
  SendMessageA(W, WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
  ASSERT_EQ(1, CountRecorded(W, WM_PAINT));
  // (a part another program's window laid bare is erased inside it, and that erase is recorded after it)
  const auto Paint =
      std::find_if(Recorded().begin(), Recorded().end(), [](const TRecorded& R) { return R.Msg == WM_PAINT; });
  EXPECT_EQ(reinterpret_cast<WPARAM>(Dib.DC()), Paint->WParam);

  // Without an active skin every command reaches the window.
  M->SetActive(false);
  Recorded().clear();
  EXPECT_EQ(0, Command(W, VKCMD_QUERY_SKINNED));
  EXPECT_EQ(1, CountRecorded(W, SM_VKCMD));
  A->Free();
  EXPECT_EQ(RecordingProc(), ProcOf(W));
}

TEST_F(MainWnd, WindowDestructionGivesTheProcedureBackAndAnswersOne) {
  HWND W = NewRecordingWindow(Host(), WS_VISIBLE, 0, 0, 40, 20);
  TvkMainWnd* A = CreateAdapter<TvkMainWnd>(W, nullptr, M.get(), SkinParams("PANEL"), false);
  ASSERT_NE(RecordingProc(), ProcOf(W));
  EXPECT_EQ(1, A->PerformMessage(WM_NCDESTROY, 0, 0));
  EXPECT_EQ(RecordingProc(), ProcOf(W));
  EXPECT_TRUE(A->Detached);
  // A detached adapter with Free is only freed.
  TvkMainWnd* Same = A;
  DetachWindowAdapter(W, true, false, Same);
  EXPECT_EQ(nullptr, Same);
  EXPECT_EQ(RecordingProc(), ProcOf(W));

  // Real destruction: the window's own WM_NCDESTROY runs once, the adapter is detached but not freed.
  HWND W2 = NewRecordingWindow(Host(), WS_VISIBLE, 0, 0, 40, 20);
  TvkMainWnd* B = CreateAdapter<TvkMainWnd>(W2, nullptr, M.get(), SkinParams("PANEL"), false);
  Recorded().clear();
  DestroyWindow(W2);
  EXPECT_EQ(1, CountRecorded(W2, WM_NCDESTROY));
  EXPECT_TRUE(B->Detached);
  B->Free();
  EXPECT_EQ(0, ObjectInstanceForwarderCount());
}

TEST_F(MainWnd, GivenSkinDataStaysOwnSkinDataGoes) {
  HWND W = NewRecordingWindow(Host(), WS_VISIBLE, 0, 0, 40, 20);
  g_dataFreed = 0;
  auto* Given = new TCountingData;
  TvkMainWnd* A = CreateAdapter<TTestAdapter>(W, Given, M.get(), SkinParams("PANEL"), false);
  A->Free();
  EXPECT_EQ(0, g_dataFreed);
  delete Given;
  g_dataFreed = 0;
  A = CreateAdapter<TTestAdapter>(W, nullptr, M.get(), SkinParams("PANEL"), false);
  EXPECT_TRUE(A->OwnSkinData);
  A->Free();
  EXPECT_EQ(1, g_dataFreed);
}

TEST_F(MainWnd, ClassBrushIsTheClassOwnAgainAfterRestore) {
  HWND Host_ = Host();
  HWND W1 = NewRecordingWindow(Host_, WS_VISIBLE, 0, 0, 40, 20);
  HWND W2 = NewRecordingWindow(Host_, WS_VISIBLE, 0, 30, 40, 20);
  const LONG Own = GetClassLongA(W1, GCL_HBRBACKGROUND);
  ASSERT_EQ(COLOR_WINDOW + 1, Own);
  TvkMainWnd* A = CreateAdapter<TvkMainWnd>(W1, nullptr, M.get(), SkinParams("PANEL"), false);
  TvkMainWnd* B = CreateAdapter<TvkMainWnd>(W2, nullptr, M.get(), SkinParams("PANEL"), false);
  A->ApplySkinParams();
  B->ApplySkinParams();
  const auto Skin = static_cast<LONG>(reinterpret_cast<LONG_PTR>(M->PaletteBrush(0)));
  EXPECT_EQ(Skin, GetClassLongA(W2, GCL_HBRBACKGROUND));  // the brush belongs to the class
  A->RestoreControlParams();
  EXPECT_EQ(Own, GetClassLongA(W2, GCL_HBRBACKGROUND));
  B->RestoreControlParams();
  EXPECT_EQ(Own, GetClassLongA(W1, GCL_HBRBACKGROUND));
  A->Free();
  B->Free();
}

TEST_F(MainWnd, VisualStyleOffUnlessTheWindowKeepsIt) {
  HWND Host_ = Host();
  struct Case {
    const char* Name;
    const char* Section;
    bool Adopting;
    bool FormData;
    bool ThemeOff;
  };
  const Case Cases[] = {
      {"plain control", "PANEL", false, false, true},
      {"dialog section", "DIALOG", false, false, false},
      {"dialog child while adopting", "PANEL", true, false, false},
      {"form's own skin data", "PANEL", false, true, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    ThemeRecorder Themes;
    HWND W = NewRecordingWindow(Host_, WS_VISIBLE, 0, 0, 40, 20);
    TsCommonData* Data = nullptr;
    if (C.FormData) {
      Data = new TsCommonData(nullptr, true);
      Data->CtrlType = ctForm;
    }
    AdoptingDialogChildren = C.Adopting;
    TvkMainWnd* A = CreateAdapter<TvkMainWnd>(W, Data, M.get(), SkinParams(C.Section), false);
    AdoptingDialogChildren = false;
    ASSERT_EQ(C.ThemeOff ? 1u : 0u, Themes.Calls.size());
    if (C.ThemeOff) {
      EXPECT_EQ(L" ", Themes.Calls[0].Name);
    }
    Themes.Calls.clear();
    A->Free();
    // The style comes back on when the adapter goes.
    ASSERT_EQ(1u, Themes.Calls.size());
    EXPECT_EQ(L"<nil>", Themes.Calls[0].Name);
    delete Data;
  }
}

TEST_F(MainWnd, ALaterSubclasserKeepsHisProcedureAndTheStubForwardsForHim) {
  HWND W = NewRecordingWindow(Host(), WS_VISIBLE, 0, 0, 40, 20);
  const int Forwarders = ObjectInstanceForwarderCount();
  TvkMainWnd* A = CreateAdapter<TvkMainWnd>(W, nullptr, M.get(), SkinParams("PANEL"), false);
  static WNDPROC Below = nullptr;
  Below = reinterpret_cast<WNDPROC>(SetWindowLongA(W, GWL_WNDPROC, reinterpret_cast<LONG>(+[](HWND H, UINT Msg, WPARAM Wp, LPARAM Lp) -> LRESULT {
    const LRESULT R = CallWindowProcA(Below, H, Msg, Wp, Lp);
    return Msg == kProbe ? R + 1 : R;
  })));
  ASSERT_EQ(A->ObjectInstance, Below);
  TvkMainWnd* Same = A;
  DetachWindowAdapter(W, false, false, Same);
  EXPECT_FALSE(A->Detached);  // someone sits above the adapter
  EXPECT_NE(RecordingProc(), ProcOf(W));
  DetachWindowAdapter(W, true, false, Same);
  EXPECT_EQ(Forwarders + 1, ObjectInstanceForwarderCount());
  EXPECT_EQ(101, SendMessageA(W, kProbe, 0, 0));  // the freed adapter is never called
  DestroyWindow(W);
  EXPECT_EQ(Forwarders, ObjectInstanceForwarderCount());
}

TEST_F(MainWnd, TwoHundredWindowsDetachedInAnyOrderReachTheirOwnAdapters) {
  HWND Host_ = Host(400, 400);
  const int Stubs = ObjectInstanceCount(), Pages = ObjectInstancePageCount();
  std::vector<std::pair<HWND, TvkMainWnd*>> All;
  for (int i = 0; i < 200; ++i) {
    HWND W = NewRecordingWindow(Host_, 0, i, i, 10, 10);
    All.emplace_back(W, CreateAdapter<TvkMainWnd>(W, nullptr, M.get(), SkinParams("PANEL"), false));
  }
  std::mt19937 Rng(13);
  std::shuffle(All.begin(), All.end(), Rng);
  for (size_t i = 0; i < All.size(); ++i) {
    for (size_t j = i; j < All.size(); j += 17)
      ASSERT_EQ(reinterpret_cast<LRESULT>(All[j].second), Command(All[j].first, VKCMD_QUERY_WINDOW_ADAPTER));
    TvkMainWnd* A = All[i].second;
    if (i % 2)
      DetachWindowAdapter(All[i].first, true, false, A);
    else
      A->Free();
    EXPECT_EQ(RecordingProc(), ProcOf(All[i].first));
  }
  EXPECT_EQ(Stubs, ObjectInstanceCount());
  EXPECT_EQ(Pages, ObjectInstancePageCount());
}

TEST_F(MainWnd, UnicodeWindowsAndWideSubclassers) {
  static bool Registered = false;
  if (!Registered) {
    WNDCLASSW C{};
    C.lpfnWndProc = DefWindowProcW;
    C.hInstance = GetModuleHandleA(nullptr);
    C.lpszClassName = L"KrlWideWnd";
    RegisterClassW(&C);
    Registered = true;
  }
  HWND W = CreateWindowExW(0, L"KrlWideWnd", L"\x0416ide", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, Host(), nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(IsWindowUnicode(W));
  const LONG Before = GetWindowLongA(W, GWL_WNDPROC);
  TvkMainWnd* A = CreateAdapter<TvkMainWnd>(W, nullptr, M.get(), SkinParams("PANEL"), false);
  EXPECT_EQ(std::wstring(L"\x0416ide"), A->Caption);
  EXPECT_EQ(reinterpret_cast<LONG>(A->ObjectInstance), GetWindowLongA(W, GWL_WNDPROC));
  EXPECT_EQ(1, Command(W, VKCMD_QUERY_SKINNED));
  SetWindowTextW(W, L"\x0416");
  EXPECT_EQ(std::wstring(L"\x0416"), A->Caption);
  A->Free();
  EXPECT_EQ(Before, GetWindowLongA(W, GWL_WNDPROC));

  // A wide subclasser above the adapter: the A-side read is no longer the stub, so the stub forwards.
  A = CreateAdapter<TvkMainWnd>(W, nullptr, M.get(), SkinParams("PANEL"), false);
  static WNDPROC Below = nullptr;
  Below = reinterpret_cast<WNDPROC>(SetWindowLongW(W, GWL_WNDPROC, reinterpret_cast<LONG>(+[](HWND H, UINT Msg, WPARAM Wp, LPARAM Lp) -> LRESULT {
    return CallWindowProcW(Below, H, Msg, Wp, Lp);
  })));
  const int Forwarders = ObjectInstanceForwarderCount();
  A->Free();
  EXPECT_EQ(Forwarders + 1, ObjectInstanceForwarderCount());
  EXPECT_EQ(0, Command(W, VKCMD_QUERY_SKINNED));
  DestroyWindow(W);
  EXPECT_EQ(Forwarders, ObjectInstanceForwarderCount());
}

TEST_F(MainWnd, AThrowingAdapterStopsAtTheStub) {
  std::vector<std::string> Boxes;  // the failure is shown in a box
  CollectBoxTexts(Boxes);
  HWND W = NewRecordingWindow(Host(), WS_VISIBLE, 0, 0, 40, 20);
  auto* A = CreateAdapter<TTestAdapter>(W, nullptr, M.get(), SkinParams("PANEL"), false);
  A->ThrowOnProbe = true;
  EXPECT_EQ(7, SendMessageA(W, kProbe, 0, 0));
  ASSERT_EQ(1u, Boxes.size());
  EXPECT_NE(std::string::npos, Boxes[0].find("Adapter failed"));
  A->ThrowOnProbe = false;
  EXPECT_EQ(100, SendMessageA(W, kProbe, 0, 0));
  A->Free();
}

}  // namespace

namespace {

TEST_F(MainWnd, AFrameworkControlGetsItsWindowProcBackEvenWhenItsWalkerFreesEverything) {
  TForm* Form = NewForm(40, 40, 200, 100);
  auto* B = Place<TButton>(Form, 5, 5, 80, 24);
  const TWndMethod Own = B->WindowProc;
  for (bool ReleasingAll : {false, true}) {
    TvkMainWnd* A = CreateAdapter<TvkMainWnd>(B->Handle(), nullptr, M.get(), SkinParams("BUTTON", B), false);
    EXPECT_FALSE(B->WindowProc == Own);
    CtrlAdapterReleasingAll = ReleasingAll;
    A->Free();
    CtrlAdapterReleasingAll = false;
    EXPECT_TRUE(B->WindowProc == Own) << ReleasingAll;
    B->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("still alive"));
  }
  Form->Free();
}

}  // namespace

namespace {

// Each kind of system font is the one the system's non-client metrics name: 0 the message font, then caption, small
// caption, menu and status fonts.
TEST(SystemFonts, EachKindIsTheSystemsFontOfItsKind) {
  NONCLIENTMETRICSA N{};
  N.cbSize = sizeof N;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, N.cbSize, &N, 0));
  const LOGFONTA* Kinds[] = {&N.lfMessageFont, &N.lfCaptionFont, &N.lfSmCaptionFont, &N.lfMenuFont, &N.lfStatusFont};
  for (int Kind = 0; Kind < 5; ++Kind) {
    SCOPED_TRACE(Kind);
    HFONT F = CreateSystemFont(Kind);
    ASSERT_NE(nullptr, F);
    LOGFONTA Got{};
    GetObjectA(F, sizeof Got, &Got);
    GdiFreeObject(F);
    EXPECT_STREQ(Kinds[Kind]->lfFaceName, Got.lfFaceName);
    EXPECT_EQ(Kinds[Kind]->lfHeight, Got.lfHeight);
    EXPECT_EQ(Kinds[Kind]->lfWeight, Got.lfWeight);
  }
}

// The corners of a cache where the section's border mask holds the key colour show the parent's background; the
// rest of the cache stays, and a dialog's child keeps its corners.
TEST_F(MainWnd, TheMasksKeyedCornersOfTheCacheShowTheParent) {
  HWND Parent = Host();
  for (const bool Dialog : {false, true}) {
    SCOPED_TRACE(Dialog ? "dialog child" : "control");
    HWND W = NewRecordingWindow(Parent, WS_VISIBLE, 10, 10, 40, 20);
    auto* A = CreateAdapter<TTestAdapter>(W, nullptr, M.get(), SkinParams("KEYCORNER"), false);
    A->DlgMode = Dialog;
    GetWindowGeometry(W, A->ParentWnd, A->WndRect, A->ParentRect, A->WndSize, A->WndPos);
    TBitmap* Cache = A->SkinData->CacheBmp;
    ASSERT_NE(nullptr, Cache);
    Cache->SetPixelFormat(pf32bit);
    Cache->SetSize(40, 20);
    FillRect32(Cache, TRect(0, 0, 40, 20), 0x000000, 255);
    auto Px = [&](int X, int Y) { return static_cast<uint32_t*>(Cache->ScanLine(Y))[X]; };
    RestoreCacheCorners(A->SkinData, 0, A);
    // the parent is no skinned window: its background is the skin's base colour
    const uint32_t Parent_ = PixelOf(M->SkinBaseColor());
    for (const POINT C : {POINT{0, 0}, POINT{39, 0}, POINT{39, 19}, POINT{0, 19}})
      EXPECT_EQ(Dialog ? 0u : Parent_, Px(C.x, C.y) & 0xFFFFFF) << C.x << "," << C.y;
    for (const POINT C : {POINT{1, 1}, POINT{38, 18}, POINT{20, 10}}) EXPECT_EQ(0u, Px(C.x, C.y) & 0xFFFFFF);
    A->Free();
  }
}

// A control shows a hot state only with a section that has a border mask and more than one look; asked for the
// hover, the edit kinds and a manager without mouse hover say no.
TEST_F(MainWnd, HotStatesNeedABorderedSectionOfSeveralLooksAndForHoverNoEditKind) {
  HWND Parent = Host();
  struct Case {
    const char* Section;
    int Type;
    bool NoHover, Hover, Answer;
  } Cases[] = {
      {"EDIT", 0, false, false, true},  {"EDIT", 0, false, true, true},  {"EDIT", 5, false, false, true},
      {"EDIT", 5, false, true, false},  {"EDIT", 0, true, true, false},  {"EDIT", 0, true, false, true},
      {"DIALOG", 0, false, false, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.Section) + " type " + std::to_string(C.Type) + (C.NoHover ? " no hover" : "") +
                 (C.Hover ? " asked for the hover" : ""));
    HWND W = NewRecordingWindow(Parent, WS_VISIBLE, 10, 10, 40, 20);
    auto* A = CreateAdapter<TTestAdapter>(W, nullptr, M.get(), SkinParams(C.Section), false);
    A->SkinData->CtrlType = C.Type;
    M->Options()->SetFlag(1, C.NoHover);  // NoMouseHover
    EXPECT_EQ(C.Answer, CanShowHotState(A->SkinData, C.Hover));
    A->Free();
    DestroyWindow(W);
  }
  EXPECT_FALSE(CanShowHotState(nullptr, false));
}

}  // namespace
