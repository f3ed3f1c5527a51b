// Title-button fades stepped by hand: the constant alphas handed to the layered window, the cursor leaving the
// button, presses, the counts a fade is started with, and the provider taking the animated path.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FormTestSupport.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkSBAnimation.h"
#include "tests/support/LayeredRecorder.h"

using namespace form_test;
using testing_support::LayeredRecorder;

namespace {

struct TFade : TSkinnedForm {
  LayeredRecorder Rec;
  POINT Cursor{-1000, -1000};
  TFade() {
    ShowPainted();  // a fade runs over a form on the screen only
    RepaintFrame(P);
    FollowCursor(Cursor);
  }
  ~TFade() {
    if (P != nullptr) FreeTitleButtonAnimation(P->ButtonClose.Animation);
  }
  TvkSBAnimation* Close() { return P->ButtonClose.Animation; }
  HWND Window() { return Close() != nullptr && Close()->GlowWindow != nullptr ? Close()->GlowWindow->Handle() : nullptr; }
  // The cursor over the close button's centre (or off it).
  void CursorOnClose(bool On) {
    const POINT Mid = Centre(P->ButtonClose.Rect);
    Cursor = On ? ScreenAt(Mid.x, Mid.y) : ScreenAt(-50, -50);
  }
  // Ticks while the timer runs, at most N.
  void Steps(int N) {
    for (int i = 0; i < N && Close() != nullptr && Close()->Enabled(); ++i) Close()->DoStep(nullptr);
  }
};

}  // namespace

TEST(TitleFade, FadeInEndsAtFullAlphaOnceAndLeavingSendsMouseLeave) {
  TFade T;
  T.CursorOnClose(true);
  StartTitleButtonAnimation(T.P->ButtonClose, nullptr, T.P, 1, false);
  ASSERT_NE(T.Close(), nullptr);
  const HWND W = T.Window();
  ASSERT_NE(W, nullptr);
  EXPECT_TRUE(T.Close()->Enabled());
  T.Steps(30);  // the cursor stays on the button: the fade holds its final frame
  const std::vector<int> Want{25, 50, 75, 100, 125, 150, 175, 200, 225, 255};
  EXPECT_EQ(T.Rec.Alphas(W), Want);
  EXPECT_EQ(T.Close()->StepCount, -1);
  EXPECT_TRUE(T.Close()->Enabled());

  // the window lies on the button, and shows its hot look opaque (SOLID: hot close block 0x802010,
  // premultiplied at the hand-over as c * 255 shr 8)
  const auto Calls = T.Rec.For(W);
  const RECT WR = WindowRectOf(T.F->Handle());
  const TRect& B = T.P->ButtonClose.Rect;
  EXPECT_EQ(TPoint(Calls.back().pos), TPoint(WR.left + B.Left, WR.top + B.Top));
  EXPECT_EQ(Calls.back().size.cx, B.Right - B.Left);
  EXPECT_EQ(Calls.back().Pixel(B.Width() / 2, B.Height() / 2), 0xFF7F1F0Fu);

  // the cursor leaves: the owner is told, resets the button and the fade runs back out, then frees its window
  T.P->SetHotElement(HTCLOSE, false);
  T.CursorOnClose(false);
  T.Steps(1);
  EXPECT_EQ(T.P->ButtonClose.State, 0);
  ASSERT_NE(T.Close(), nullptr);
  EXPECT_FALSE(T.Close()->FadingIn);
  T.Steps(30);
  EXPECT_EQ(T.Close()->State, -1);
  EXPECT_EQ(T.Close()->GlowWindow, nullptr);
  EXPECT_EQ(T.Close()->Image, nullptr);
  EXPECT_FALSE(T.Close()->Enabled());
  const auto After = T.Rec.Alphas(W);
  ASSERT_GT(After.size(), Want.size());
  // the fade-out runs down from where the fade-in stood, one step at a time
  EXPECT_EQ(std::vector<int>(After.begin() + static_cast<long>(Want.size()), After.end()),
            (std::vector<int>{225, 200, 175, 150, 125, 100, 75, 50, 25}));
}

TEST(TitleFade, PressRebuildsAtOnceAndCountsBelowOneStillFade) {
  TFade T;
  T.CursorOnClose(true);
  StartTitleButtonAnimation(T.P->ButtonClose, nullptr, T.P, 1, false);
  TBitmap* HotImage = T.Close()->Image;
  const HWND HotWindow = T.Window();
  ASSERT_NE(HotImage, nullptr);
  const size_t HotFrames = T.Rec.For(HotWindow).size();
  // pressing: one step, the pressed look shown opaque at once, no timer, in the same window (none is destroyed
  // and shown anew under the pressed pointer)
  T.Close()->SetEnabled(false);
  T.P->ButtonClose.State = 2;
  StartTitleButtonAnimation(T.P->ButtonClose, nullptr, T.P, 2, true);
  EXPECT_FALSE(T.Close()->Enabled());
  EXPECT_EQ(T.Window(), HotWindow);
  const auto Pressed = T.Rec.For(HotWindow);
  ASSERT_EQ(Pressed.size(), HotFrames + 1);
  EXPECT_EQ(Pressed.back().alpha, 255);
  EXPECT_EQ(Pressed.back().Pixel(2, 2), 0xFFBF1F0Fu);  // SOLID: pressed close block 0xC02010

  // a count of 0 or -1 left on the fade: a fade-out still reaches its end
  for (int Count : {0, -1}) {
    T.Close()->StepCount = Count;
    T.Close()->State = 1;
    T.Close()->Step = 10;
    T.Close()->SetEnabled(true);
    T.Close()->StartState(0, false);
    T.Steps(40);
    EXPECT_EQ(T.Close()->State, -1) << Count;
  }
}

TEST(TitleFade, AFadeOutRunsDownFromWhereThePressOrAnEarlyLeaveLeftIt) {
  struct Case {
    const char* Name;
    int State, Ticks;
    std::vector<int> Out;
  };
  // pressed: opaque at once; hot, left after its third frame (alpha 75)
  for (const Case& C : {Case{"pressed", 2, 0, {225, 200, 175, 150, 125, 100, 75, 50, 25}},
                        Case{"left early", 1, 2, {50, 25}}}) {
    TFade T;
    T.CursorOnClose(true);
    T.P->ButtonClose.State = C.State;
    StartTitleButtonAnimation(T.P->ButtonClose, nullptr, T.P, C.State, C.State == 2);
    T.Steps(C.Ticks);
    const HWND W = T.Window();
    const size_t Shown = T.Rec.Alphas(W).size();
    T.P->ButtonClose.State = 0;
    StartTitleButtonAnimation(T.P->ButtonClose, nullptr, T.P, 0, false);
    T.Steps(30);
    const auto All = T.Rec.Alphas(W);
    EXPECT_EQ(std::vector<int>(All.begin() + static_cast<long>(Shown), All.end()), C.Out) << C.Name;
    EXPECT_EQ(T.Close()->State, -1) << C.Name;
  }
}

namespace {
LONG g_FadeWindowExStyle = 0;
// The extended styles a fade window is created with.
LRESULT CALLBACK RecordFadeWindow(int Code, WPARAM W, LPARAM L) {
  char Class[64] = {};
  if (Code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(W), Class, sizeof Class) &&
      std::string(Class) == "TvkGlowForm")
    g_FadeWindowExStyle = static_cast<LONG>(reinterpret_cast<CBT_CREATEWNDA*>(L)->lpcs->dwExStyle);
  return CallNextHookEx(nullptr, Code, W, L);
}
}  // namespace

TEST(TitleFade, TheFadeWindowLetsTheMouseThroughFromItsCreation) {
  TFade T;
  T.CursorOnClose(true);
  g_FadeWindowExStyle = 0;
  const HHOOK Hook = SetWindowsHookExA(WH_CBT, RecordFadeWindow, nullptr, GetCurrentThreadId());
  StartTitleButtonAnimation(T.P->ButtonClose, nullptr, T.P, 1, false);
  UnhookWindowsHookEx(Hook);
  ASSERT_NE(T.Window(), nullptr);
  EXPECT_EQ(g_FadeWindowExStyle & kFadeWindowExStyle, kFadeWindowExStyle);
  EXPECT_EQ(SendMessageA(T.Window(), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

TEST(TitleFade, ProviderTakesTheAnimatedPathOnlyWithButtonEffects) {
  TFade T;
  T.CursorOnClose(true);
  T.P->SetHotElement(HTCLOSE, true);
  ASSERT_NE(T.Close(), nullptr);
  EXPECT_EQ(T.Close()->State, 1);
  T.P->SetHotElement(-1, true);
  EXPECT_EQ(T.Close()->State, 0);
  EXPECT_FALSE(T.Close()->FadingIn);
  FreeTitleButtonAnimation(T.P->ButtonClose.Animation);

  T.M->AnimEffects()->Buttons()->SetEvents(TvkBtnEffectEvents());
  T.P->SetHotElement(HTCLOSE, true);
  EXPECT_EQ(T.Close(), nullptr);
  EXPECT_EQ(T.P->ButtonClose.State, 1);
}

TEST(TitleFade, LeavingAButtonTheFrameShowsHotWithoutAFadeRepaintsIt) {
  TFade T;
  T.F->Show();
  T.F->Perform(WM_NCACTIVATE, FALSE, 0);  // inactive, as under a modal form: the normal glyph is drawn faded
  RepaintFrame(T.P);
  const TRect& B = T.P->ButtonClose.Rect;
  auto OnScreen = [&] {
    HDC DC = GetWindowDC(T.F->Handle());
    const COLORREF C = GetPixel(DC, B.Left + 4, (B.Top + B.Bottom) / 2);
    ReleaseDC(T.F->Handle(), DC);
    return C;
  };
  const COLORREF Normal = OnScreen();
  // the hot look painted on the frame itself and into its cache, as a whole-frame repaint does while the button
  // is hot (the form going inactive under a modal form)
  const TvkBtnEffectEvents Events = T.M->AnimEffects()->Buttons()->Events();
  T.M->AnimEffects()->Buttons()->SetEvents(TvkBtnEffectEvents());
  T.CursorOnClose(true);
  T.P->SetHotElement(HTCLOSE, true);
  RepaintFrame(T.P);
  RedrawWindow(T.F->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  auto InCache = [&] {
    return GetPixel(T.P->SkinData()->CacheBmp->Canvas()->Handle(), B.Left + 4, (B.Top + B.Bottom) / 2);
  };
  ASSERT_NE(InCache(), Normal);
  ASSERT_NE(OnScreen(), Normal);
  T.M->AnimEffects()->Buttons()->SetEvents(Events);
  T.CursorOnClose(false);
  T.P->SetHotElement(-1, true);
  EXPECT_EQ(OnScreen(), Normal);
  EXPECT_EQ(InCache(), Normal);  // a later repaint from the cache keeps it normal
}

TEST(TitleFade, DirectRepaintGlowsAroundTheHotButtonUntilItRests) {
  TFade T;
  T.M->AnimEffects()->Buttons()->SetEvents(TvkBtnEffectEvents());
  const int Glow = T.M->FindMaskByNames("GLOWBUTTON", "GLOW0");
  ASSERT_GE(Glow, 0);
  for (auto& List : T.M->EditModel().ConstData.TitleGlows) List = {Glow};
  T.F->Show();
  RepaintFrame(T.P);
  T.P->SetHotElement(HTCLOSE, true);
  ASSERT_EQ(T.Close(), nullptr);
  EXPECT_GE(T.P->ButtonClose.GlowId, 0);
  EXPECT_NE(GlowEffectOf(T.P->ButtonClose.GlowId), nullptr);
  T.P->SetHotElement(-1, true);
  EXPECT_EQ(T.P->ButtonClose.GlowId, -1);
  // the skinner freed while its button glows takes the glow along: its skin data owned it
  T.P->SetHotElement(HTCLOSE, true);
  const int Id = T.P->ButtonClose.GlowId;
  ASSERT_NE(GlowEffectOf(Id), nullptr);
  std::exchange(T.P, nullptr)->Free();
  EXPECT_EQ(GlowEffectOf(Id), nullptr);
}
