// The windows the skinner lays over its form (the veil of a disabled form, the caption cover while the caption
// changes) and the maximised size it gives the system under a work area of its own.
#include <gtest/gtest.h>

#include <vector>

#include "FormTestSupport.h"
#include "tests/support/MessagePump.h"
#include "skin/core/vkFormServices.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/WindowProbe.h"

using namespace form_test;
using testing_support::LayeredRecorder;

namespace {

struct TShownForm : TSkinnedForm {
  explicit TShownForm(TFormBorderStyle Style = bsSizeable) : TSkinnedForm(Style) { ShowPainted(); }
  ~TShownForm() { ResetPlatform(); }
};

}  // namespace

TEST(DisabledVeil, ShowsTheBlendColourAtTheBlendValueWhileTheFormIsDisabled) {
  TShownForm S;
  LayeredRecorder Rec;
  S.P->SetDisabledBlendColor(clRed);
  S.P->SetDisabledBlendValue(0);
  EXPECT_EQ(S.P->Veil(), nullptr);  // the form is enabled
  S.F->SetEnabled(false);
  ASSERT_NE(S.P->Veil(), nullptr);
  const HWND V = S.P->Veil()->Handle();
  EXPECT_TRUE(IsWindowVisible(V));
  EXPECT_NE(GetWindowLongA(V, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_NE(GetActiveWindow(), V);
  const RECT FR = WindowRectOf(S.F->Handle());
  EXPECT_EQ(TRect(WindowRectOf(V)), TRect(FR));
  // the constant alpha is 255 - DisabledBlendValue over pixels of the colour that are themselves opaque
  struct Row {
    uint8_t Value;
    int Alpha;
  };
  for (const Row& Row : {Row{200, 55}, Row{0, 255}, Row{255, 0}}) {
    Rec.calls.clear();
    S.P->SetDisabledBlendValue(Row.Value);
    const std::vector<testing_support::LayeredCall> Calls = Rec.For(V);
    ASSERT_FALSE(Calls.empty()) << int(Row.Value);
    const testing_support::LayeredCall& C = Calls.back();
    EXPECT_EQ(C.alpha, Row.Alpha);
    EXPECT_EQ(TSize(C.size.cx, C.size.cy), TSize(300, 200));
    EXPECT_EQ(C.pos.x, FR.left);
    EXPECT_EQ(C.Pixel(0, 0), 0xFFFF0000u) << int(Row.Value);
    EXPECT_EQ(C.Pixel(150, 100), 0xFFFF0000u) << int(Row.Value);
  }
  // made invisible while disabled, the veil still goes when the form is enabled again
  S.F->SetEnabled(true);
  EXPECT_EQ(S.P->Veil(), nullptr);
  EXPECT_FALSE(IsWindow(V));
  EXPECT_EQ(S.P->FormStateFlags() & fsfVeiled, 0u);
  // the default blend value leaves a disabled form without a veil
  S.F->SetEnabled(false);
  EXPECT_EQ(S.P->Veil(), nullptr);
  S.F->SetEnabled(true);
}

TEST(DisabledVeil, GoesWithItsProvider) {
  TShownForm S;
  S.P->SetDisabledBlendValue(100);
  S.F->SetEnabled(false);
  ASSERT_NE(S.P->Veil(), nullptr);
  const HWND V = S.P->Veil()->Handle();
  S.P->Free();
  EXPECT_FALSE(IsWindow(V));
  S.F->SetEnabled(true);
}

TEST(CaptionCover, CoversTheFrameButNotTheClientWhileTheCaptionChanges) {
  TShownForm S;
  // a small window of its own over the caption's right part; other test programs' windows, which come and go on
  // the shared screen, are left out of what lies above the form
  Platform().WindowAbove = testing_support::OwnWindowAbove;
  const RECT FR = WindowRectOf(S.F->Handle());
  Owned<TForm> Above(NewForm(20, 10, bsNone));
  Above->SetBounds(FR.left + 200, FR.top, 20, 10);
  Above->Show();
  SetWindowPos(Above->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // (the windows' order settled first: under load the X server's restacking may reach them a little later)
  ASSERT_TRUE(testing_support::PumpUntil(
      [&] {
        HWND W = testing_support::OwnWindowAbove(S.F->Handle());
        while (W != nullptr && W != Above->Handle()) W = testing_support::OwnWindowAbove(W);
        return W != nullptr;
      },
      2000));
  struct TSeen {
    DWORD Ms;
    bool Visible;
    RECT Bounds;
    bool Caption, Client, UnderAbove;
  };
  std::vector<TSeen> Seen;
  Platform().Sleep = [&](DWORD Ms) {
    TCustomForm* C = S.P->CaptionCover();
    TSeen X{Ms, C != nullptr && IsWindowVisible(C->Handle()), {}, false, false, false};
    if (C != nullptr) {
      X.Bounds = WindowRectOf(C->Handle());
      X.Caption = InWindowRegion(C->Handle(), 150, 5);
      X.Client = InWindowRegion(C->Handle(), 150, 100);
      X.UnderAbove = InWindowRegion(C->Handle(), 205, 5);
    }
    Seen.push_back(X);
  };
  S.F->SetCaption("A new caption");
  ASSERT_EQ(Seen.size(), 1u);
  EXPECT_EQ(Seen[0].Ms, 40u);
  EXPECT_TRUE(Seen[0].Visible);
  EXPECT_TRUE(EqualRect(&Seen[0].Bounds, &FR));
  EXPECT_TRUE(Seen[0].Caption);
  EXPECT_FALSE(Seen[0].Client);
  EXPECT_FALSE(Seen[0].UnderAbove);
  EXPECT_EQ(S.P->CaptionCover(), nullptr);  // gone once the caption is painted

  // an activation change is covered only where the desktop does not compose
  Seen.clear();
  S.F->Perform(WM_NCACTIVATE, FALSE, 0);
  EXPECT_EQ(Seen.size(), IsDwmCompositionActive() ? 0u : 1u);
  EXPECT_EQ(S.P->CaptionCover(), nullptr);

  // no cover while an animation owns the frame, nor for a minimised form
  Seen.clear();
  TsSkinProviderAccess::State(S.P) |= fsfMoveFade;
  S.F->SetCaption("Moving");
  TsSkinProviderAccess::State(S.P) &= ~fsfMoveFade;
  ShowWindow(S.F->Handle(), SW_MINIMIZE);
  S.F->SetCaption("Minimised");
  EXPECT_TRUE(Seen.empty());
  ShowWindow(S.F->Handle(), SW_RESTORE);
}

TEST(MaximisedSize, FollowsTheWorkAreaButNotItsOrigin) {
  RECT Old{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &Old, 0));
  RECT Work{100, 50, GetSystemMetrics(SM_CXSCREEN) - 60, GetSystemMetrics(SM_CYSCREEN) - 40};
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &Work, 0));
  struct TRestore {
    RECT R;
    ~TRestore() { SystemParametersInfoA(SPI_SETWORKAREA, 0, &R, 0); }
  } Restore{Old};
  for (TFormBorderStyle Style : {bsSizeable, bsDialog, bsNone}) {
    TShownForm S(Style);
    MINMAXINFO Info{};
    Info.ptMaxSize = POINT{-7, -7};
    Info.ptMaxPosition = POINT{-7, -7};
    S.F->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    if (Style == bsNone) {
      // a form without a border is left to the system
      EXPECT_EQ(Info.ptMaxSize.x, -7);
      continue;
    }
    const int F = GetSystemMetrics(Style == bsSizeable ? SM_CXFRAME : SM_CXFIXEDFRAME);
    EXPECT_EQ(TPoint(Info.ptMaxSize), TPoint(Work.right - Work.left + 2 * F, Work.bottom - Work.top + 2 * F)) << Style;
    // the system adds the work area's origin itself
    EXPECT_EQ(TPoint(Info.ptMaxPosition), TPoint(-F, -F)) << Style;
  }
}
