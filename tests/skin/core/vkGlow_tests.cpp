// Glow effects on the SOLID skin's glowing button: window size and place, ids in the table, hiding at once and
// faded from the glow's opacity, the fade-in, and clearing them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SkinTestOwners.h"
#include "framework/Units.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkLibraryUnits.h"
#include "skin/core/vkThdTimer.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/ToolkitStartup.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"
#include "tests/support/WindowProbe.h"

using namespace skin_owners;
using testing_support::LayeredRecorder;

namespace {

struct Glow : testing::Test {
  void SetUp() override {
    ResetPlatform();
    ToolkitStartup();
    form = NewTestForm(400, 200);
    form->SetLeft(200);
    form->SetTop(160);
    // Topmost: windows of tests running beside this one cannot cover the controls and clip their glows.
    form->SetFormStyle(fsStayOnTop);
    form->ShowNoActivate();
  }
  void TearDown() override {
    ClearAllGlowEffects(true);
    form->Free();
    ToolkitShutdown();
    ResetPlatform();
  }
  TTestSkinOwner* Glowing(int L, int T, const char* Section = "GLOWBUTTON") {
    auto* O = Place(form, L, T, 100, 20, Create<TTestSkinOwner>(form));
    O->SkinData->SetSkinSection(Section);
    O->SkinData->FinishLoading(false);
    O->HandleNeeded();
    O->SkinData->Hot = true;
    return O;
  }
  ManagerPtr m = SolidManager();
  TForm* form = nullptr;
};

HWND GlowWindow(int Id) {
  TvkGlowEffect* E = GlowEffectOf(Id);
  return E != nullptr && E->GlowForm != nullptr ? E->GlowForm->Handle() : nullptr;
}

}  // namespace

TEST_F(Glow, AGlowAroundAControlTakesTheMaskBordersLessItsMargin) {
  LayeredRecorder Rec;
  TTestSkinOwner* B = Glowing(10, 20);
  ShowControlGlow(B->SkinData, false, nullptr, -1, false, 255);
  ASSERT_GE(B->SkinData->GlowId, 0);
  HWND Wnd = GlowWindow(B->SkinData->GlowId);
  RECT Control{}, R{};
  GetWindowRect(B->Handle(), &Control);
  GetWindowRect(Wnd, &R);
  // Margin 3 around 100 x 20 with 10-pixel borders: 114 x 34 at 7 pixels up and left.
  EXPECT_EQ(R.right - R.left, 114);
  EXPECT_EQ(R.bottom - R.top, 34);
  EXPECT_EQ(R.left, Control.left - 7);
  EXPECT_EQ(R.top, Control.top - 7);
  const auto Calls = Rec.For(Wnd);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].size.cx, 114);
  EXPECT_EQ(Calls[0].alpha, 255);
  EXPECT_TRUE(Calls[0].hasPos);
  EXPECT_EQ(Calls[0].pos.x, Control.left - 7);
  int Lit = 0;  // the mask's halo, with per-pixel alpha
  for (uint32_t P : Calls[0].pixels) Lit += (P >> 24) != 0;
  EXPECT_GT(Lit, 0);
  EXPECT_LT(Lit, 114 * 34);
  const LONG Ex = GetWindowLongA(Wnd, GWL_EXSTYLE);
  EXPECT_EQ(Ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE), WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE);
  EXPECT_EQ(SendMessageA(Wnd, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

TEST_F(Glow, AnEditsFirstGlowComesWithTheMouseEnteringIt) {
  AnimationGlue = TvkAnimationGlue();  // as in a process that has shown no glow yet
  RegisterSkinLibraryUnits();
  InitializeUnits();
  TTestSkinOwner* Edit = Glowing(10, 20);
  Edit->SkinData->CtrlType = ctEditAdapter;
  Edit->SkinData->Hot = false;
  Edit->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_GE(Edit->SkinData->GlowId, 0);
}

TEST_F(Glow, IdsAreNeverReusedAndMissingMasksGiveNone) {
  TTestSkinOwner* A = Glowing(10, 10);
  TTestSkinOwner* B = Glowing(10, 60);
  TTestSkinOwner* C = Glowing(10, 110);
  ShowControlGlow(A->SkinData, false, nullptr, -1, false, 255);
  ShowControlGlow(B->SkinData, false, nullptr, -1, false, 255);
  const int First = A->SkinData->GlowId, Second = B->SkinData->GlowId;
  HWND FirstWnd = GlowWindow(First);
  HideGlowEffect(A->SkinData->GlowId, false);
  EXPECT_EQ(A->SkinData->GlowId, -1);
  EXPECT_EQ(GlowEffectOf(First), nullptr);  // an empty slot
  EXPECT_FALSE(IsWindowVisible(FirstWnd));
  EXPECT_EQ(B->SkinData->GlowId, Second);
  ShowControlGlow(C->SkinData, false, nullptr, -1, false, 255);
  EXPECT_EQ(Second, First + 1);
  EXPECT_EQ(C->SkinData->GlowId, Second + 1);
  // Ids outside the table change nothing.
  int None = -1, Beyond = 99;
  HideGlowEffect(None, false);
  HideGlowEffect(Beyond, true);
  EXPECT_EQ(Beyond, 99);
  // A section without a "GLOW0" mask gives no glow.
  TTestSkinOwner* Plain = Glowing(150, 10, "BUTTON");
  RECT R{0, 0, 100, 20};
  EXPECT_EQ(ShowGlowEffect(R, "BUTTON", "GLOW", Plain->SkinData, nullptr, 255, 0), -1);
  ShowControlGlow(Plain->SkinData, false, nullptr, -1, false, 255);
  EXPECT_EQ(Plain->SkinData->GlowId, -1);
  // Clearing empties the table and every owner forgets its id.
  ClearAllGlowEffects(true);
  EXPECT_TRUE(GlowEffects.empty());
  EXPECT_EQ(B->SkinData->GlowId, -1);
  EXPECT_EQ(C->SkinData->GlowId, -1);
  // Ids of the cleared table are not handed out again: one kept elsewhere (a title button's) hides no later glow.
  int Kept = First;
  ShowControlGlow(A->SkinData, false, nullptr, -1, false, 255);
  EXPECT_GT(A->SkinData->GlowId, Second + 1);
  HideGlowEffect(Kept, false);
  ASSERT_NE(GlowEffectOf(A->SkinData->GlowId), nullptr);
  EXPECT_TRUE(IsWindowVisible(GlowWindow(A->SkinData->GlowId)));
}

TEST_F(Glow, AFadedHideStartsAtTheGlowsOpacity) {
  LayeredRecorder Rec;
  TTestSkinOwner* B = Glowing(10, 20);
  ShowControlGlow(B->SkinData, false, nullptr, -1, false, 204);
  const int Id = B->SkinData->GlowId;
  HWND Wnd = GlowWindow(Id);
  Rec.calls.clear();
  HideGlowEffect(B->SkinData->GlowId, true);
  EXPECT_EQ(B->SkinData->GlowId, Id);  // kept until the fade ends
  TvkThreadedTimer* T = B->SkinData->AnimTimer;
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(T->Mode, fmLeave);
  for (int i = 0; i < 20 && T->Enabled(); ++i) T->Tick();
  const std::vector<int> Alphas = Rec.Alphas(Wnd);
  ASSERT_FALSE(Alphas.empty());
  EXPECT_EQ(Alphas.front(), 187);  // 204 less a twelfth, not a jump from nothing
  for (size_t i = 1; i < Alphas.size(); ++i) EXPECT_LT(Alphas[i], Alphas[i - 1]);
  EXPECT_EQ(Alphas.size(), 12u);   // twelve steps of 17 down to nothing, not gone from a part of it
  EXPECT_EQ(Alphas.back(), 0);
  EXPECT_EQ(B->SkinData->GlowId, -1);
}

TEST_F(Glow, AnAnimatedGlowFadesInOnItsOwnTimer) {
  LayeredRecorder Rec;
  TTestSkinOwner* B = Glowing(10, 20);
  BuildFlatCache(B->SkinData, B);
  B->SkinData->CacheDirty = false;
  ShowControlGlow(B->SkinData, false, nullptr, -1, true, 0);
  ASSERT_GE(B->SkinData->GlowId, 0);
  TvkThreadedTimer* T = B->SkinData->AnimTimer;
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(T->GlowOnly, 1);
  for (int i = 0; i < 20 && T->Enabled(); ++i) T->Tick();
  EXPECT_EQ(Rec.Alphas(GlowWindow(B->SkinData->GlowId)), (std::vector<int>{0, 42, 85, 128, 170, 212, 255}));
}

TEST_F(Glow, TheHaloTakesTheOwnersColourShift) {
  LayeredRecorder Rec;
  TTestSkinOwner* Plain = Glowing(10, 20);
  TTestSkinOwner* Toned = Glowing(10, 80);
  Toned->SkinData->SetColorTone(clRed);
  ShowControlGlow(Plain->SkinData, false, nullptr, -1, false, 255);
  ShowControlGlow(Toned->SkinData, false, nullptr, -1, false, 255);
  const auto A = Rec.For(GlowWindow(Plain->SkinData->GlowId)), B = Rec.For(GlowWindow(Toned->SkinData->GlowId));
  ASSERT_EQ(A.size(), 1u);
  ASSERT_EQ(B.size(), 1u);
  ASSERT_EQ(A[0].pixels.size(), B[0].pixels.size());
  int Lit = 0;
  for (size_t i = 0; i < A[0].pixels.size(); ++i) {
    const uint32_t P = A[0].pixels[i];
    if ((P & 0xFFFFFF) == 0xFF00FF) continue;
    Lit += (P >> 24) != 0 && (P & 0xFFFFFF) != 0;
    // A red tone: the brightest channel times 255, shr 8, in red alone; the alpha kept.
    const uint32_t Max = std::max({P & 0xFF, P >> 8 & 0xFF, P >> 16 & 0xFF});
    ASSERT_EQ(B[0].pixels[i], (P & 0xFF000000u) | (Max * 255 >> 8) << 16) << "pixel " << i;
  }
  EXPECT_GT(Lit, 0) << "the halo has colour to shift";
}

TEST_F(Glow, TheMaskComesFromTheSectionNamed) {
  // A plain button's data asks for the glow of another section, by name and through its index.
  TTestSkinOwner* Plain = Glowing(10, 20, "BUTTON");
  RECT R{0, 0, 100, 20};
  const int Id = ShowGlowEffect(R, "GLOWBUTTON", "GLOW", Plain->SkinData, nullptr, 255, 0);
  ASSERT_GE(Id, 0);
  EXPECT_EQ(GlowEffectOf(Id)->MaskIndex, m->FindMaskOfSection(m->FindSectionIndex("GLOWBUTTON"), "GLOWBUTTON", "GLOW0"));
  ShowControlGlow(Plain->SkinData, false, nullptr, m->FindSectionIndex("GLOWBUTTON"), false, 255);
  EXPECT_GE(Plain->SkinData->GlowId, 0);
}

HWND g_Moved = nullptr;      // a window moved once the glow is being placed
HWND g_MovedTo = nullptr;    // to the bottom, or on top of all as topmost
LRESULT CALLBACK MoveOnGlowStyle(int Code, WPARAM W, LPARAM L) {
  const CWPSTRUCT& M = *reinterpret_cast<const CWPSTRUCT*>(L);
  char Class[32] = "";
  if (Code == HC_ACTION && M.message == WM_STYLECHANGED && g_Moved != nullptr &&
      GetClassNameA(M.hwnd, Class, sizeof Class) > 0 && std::string(Class) == "TvkGlowForm") {
    SetWindowPos(g_Moved, g_MovedTo, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    g_Moved = nullptr;
  }
  return CallNextHookEx(nullptr, Code, W, L);
}

// Also when the window read above it goes to the bottom (as a minimise sends it), or turns topmost (as another
// program's may), while the glow is being placed: put after it the glow would turn topmost too.
TEST_F(Glow, AGlowOfAWindowNotOnTopLiesJustAboveIt) {
  TTestSkinOwner* B = Glowing(10, 20);
  for (HWND MovedTo : {HWND(nullptr), HWND_BOTTOM, HWND_TOPMOST}) {
    auto Popup = [] {
      return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 300, 300, 50, 50, nullptr, nullptr, nullptr,
                             nullptr);
    };
    HWND Wnd = Popup(), Above = MovedTo != nullptr ? Popup() : nullptr;
    if (Above != nullptr) SetWindowPos(Wnd, Above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    g_Moved = Above, g_MovedTo = MovedTo;
    HHOOK Hook = SetWindowsHookExA(WH_CALLWNDPROC, MoveOnGlowStyle, nullptr, GetCurrentThreadId());
    RECT R{300, 300, 400, 320};
    HWND Glow = GlowWindow(ShowGlowEffect(R, "GLOWBUTTON", "GLOW", B->SkinData, Wnd, 255, 0));
    UnhookWindowsHookEx(Hook);
    ASSERT_NE(Glow, nullptr);
    EXPECT_EQ(g_Moved, nullptr) << "the window above was not moved";
    EXPECT_EQ(GetWindowLongA(Glow, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << MovedTo;
    // other programs' windows may come between, but the glow stays above its window
    EXPECT_TRUE(testing_support::LiesAbove(Glow, Wnd)) << MovedTo;
    ClearAllGlowEffects(true);
    DestroyWindow(Wnd);
    if (Above != nullptr) DestroyWindow(Above);
  }
}

TEST_F(Glow, NothingOfTheControlShowingMeansNoGlow) {
  // Placed beyond its form's client area: no pixel of it is visible.
  TTestSkinOwner* B = Glowing(1000, 20);
  ShowControlGlow(B->SkinData, false, nullptr, -1, false, 255);
  EXPECT_EQ(B->SkinData->GlowId, -1);
  EXPECT_TRUE(GlowEffects.empty());
}

TEST_F(Glow, AFadeOfTheStateIsNoGlowFadeForAHide) {
  TTestSkinOwner* B = Glowing(10, 20);
  BuildFlatCache(B->SkinData, B);
  B->SkinData->CacheDirty = false;
  ShowControlGlow(B->SkinData, false, nullptr, -1, true, 0);
  TvkThreadedTimer* T = B->SkinData->AnimTimer;
  ASSERT_NE(T, nullptr);
  // The glow fading in: the button's own fade toward hot takes the timer over (the glow's fade paints nothing of
  // it). An animated hide of the glow then hides it at once instead of turning the cross-fade into a glow fade.
  AnimateStateChange(B->SkinData, fmEnter, CrossFadeStep, false, false, true);
  ASSERT_EQ(T->StepProc, &CrossFadeStep);
  EXPECT_EQ(T->GlowOnly, 0);
  HideGlowEffect(B->SkinData->GlowId, true);
  EXPECT_EQ(B->SkinData->GlowId, -1);
  EXPECT_EQ(T->StepProc, &CrossFadeStep);
}

// The pointer onto a glowing control: a margin taking back more than half of it gives no glow and leaves nothing
// behind (an exception would reach the application's handler), a small one a glow.
struct GlowRealPointer : Glow {};
TEST_F(GlowRealPointer, AMarginBeyondHalfTheControlGivesNoGlow) {
  testing_support::PointerParking Parking;
  vkGlowInitialize();
  for (const int Margin : {255, 3}) {
    m->EditModel().gd[m->FindSectionIndex("GLOWBUTTON")].GlowMargin = Margin;
    TTestSkinOwner* B = Glowing(Margin, 20);  // each row somewhere of its own
    B->SkinData->Hot = false;
    ASSERT_TRUE(testing_support::MovePointer(B->ClientToScreen(POINT{50, 10})));
    ASSERT_TRUE(testing_support::PumpUntil([&] {
      Application->ProcessMessages();
      return B->SkinData->Hot;
    }, 2000));
    const bool Glows = Margin == 3;
    EXPECT_EQ(B->SkinData->GlowId >= 0, Glows) << Margin;
    EXPECT_EQ(GlowEffects.size(), Glows ? 1u : 0u) << Margin;
    EXPECT_EQ(FindWindowA("TvkGlowForm", nullptr) != nullptr, Glows) << Margin;
  }
}
