// Title-bar items under the mouse on a skinned caption: which items the hit test answers, which become hot,
// their hints after the hint pause, right-button presses, their fades freed with the title animations, a scale
// change, a title bar that goes while the provider keeps it, items under the border window, a drop-down's item
// after its menu closes, and a user title button freed by its own press.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FormTestSupport.h"
#include "framework/Menus.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkTitleBar.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "tests/support/LayeredRecorder.h"

using namespace form_test;

namespace {

// A form with a title bar under its provider; Paint lays the caption out.
struct TItemsOnCaption : TTitleBarForm {
  // The screen point at the middle of an item.
  POINT Centre(TvkTitleBarItem* It) {
    const RECT W = WindowRectOf(F->Handle());
    return POINT{W.left + (It->Rect.Left + It->Rect.Right) / 2, W.top + (It->Rect.Top + It->Rect.Bottom) / 2};
  }
  int Hit(TvkTitleBarItem* It) {
    const POINT C = Centre(It);
    return static_cast<int>(F->Perform(WM_NCHITTEST, 0, MAKELPARAM(C.x, C.y)));
  }
};

}  // namespace

TEST(TitleBarInput, HitTestAnswersEnabledItemsThatTakeAPress) {
  TItemsOnCaption T;
  struct Case {
    TvkBtnStyle Style;
    bool Enabled, Down, Element;
  } const Cases[] = {{bsButton, true, false, true},  {bsButton, false, false, false}, {bsInfo, true, false, false},
                     {bsSpacing, true, false, false}, {bsTab, true, true, false},     {bsTab, true, false, true},
                     {bsMenu, true, false, true}};
  std::vector<TvkTitleBarItem*> Items;
  for (const Case& C : Cases) {
    TvkTitleBarItem* It = T.Add(C.Style);
    It->SetEnabled(C.Enabled);
    if (C.Down) It->SetDown(true);
    Items.push_back(It);
  }
  T.Paint();
  for (size_t i = 0; i < Items.size(); ++i) {
    ASSERT_GT(Items[i]->Rect.Width(), 0) << i;
    EXPECT_EQ(T.Hit(Items[i]), Cases[i].Element ? htTitleBarItem + static_cast<int>(i) : HTCAPTION) << i;
  }
}

TEST(TitleBarInput, HotButtonsFadeButDisabledItemsSpacersAndTextsNeverBecomeHot) {
  TItemsOnCaption T;
  TvkTitleBarItem* Off = T.Add(bsButton);
  TvkTitleBarItem* Text = T.Add(bsInfo);
  TvkTitleBarItem* Button = T.Add(bsButton);
  int Events = 0, Enters = 0, Leaves = 0;
  for (TvkTitleBarItem* It : {Off, Text}) {
    It->SetHint("Port");
    It->SetShowHintFlag(true);
    It->OnMouseEnter = [&](TObject*) { ++Events; };
    It->OnMouseLeave = [&](TObject*) { ++Events; };
  }
  Button->OnMouseEnter = [&](TObject*) { ++Enters; };
  Button->OnMouseLeave = [&](TObject*) { ++Leaves; };
  Off->SetEnabled(false);
  Application->SetHintPause(0);
  T.Paint();
  T.P->SetHotElement(htTitleBarItem + 2, true);
  EXPECT_EQ(Button->HotState, 1);
  ASSERT_NE(Button->Animation, nullptr);
  EXPECT_TRUE(Button->Animation->FadingIn);
  // the text made hot next: the button fades out
  for (int Code : {htTitleBarItem + 1, htTitleBarItem, 0}) T.P->SetHotElement(Code, true);
  EXPECT_EQ(Button->HotState, 0);
  EXPECT_FALSE(Button->Animation->FadingIn);
  EXPECT_EQ(Enters, 1);
  EXPECT_EQ(Leaves, 1);
  EXPECT_EQ(Events, 0);
  for (TvkTitleBarItem* It : {Off, Text}) {
    EXPECT_EQ(It->HotState, 0);
    EXPECT_EQ(It->Animation, nullptr);
    EXPECT_EQ(It->HintWindow, nullptr);
  }
}

TEST(TitleBarInput, ItemHintWaitsForTheHintPauseWithTheCursorOnTheItem) {
  struct Case {
    int Pause;
    bool ShowHint, CursorOn, Shown;
  } const Cases[] = {{50, true, true, true}, {50, true, false, false}, {0, true, false, true}, {50, false, true, false}};
  for (const Case& C : Cases) {
    TItemsOnCaption T;
    TvkTitleBarItem* It = T.Add(bsButton);
    It->SetHint("Port");
    It->SetShowHintFlag(C.ShowHint);
    T.Paint();
    Application->SetHintPause(C.Pause);
    T.Cursor = C.CursorOn ? T.Centre(It) : POINT{-1000, -1000};
    T.P->SetHotElement(htTitleBarItem, true);
    if (C.Pause > 0) {
      EXPECT_EQ(It->HintWindow, nullptr) << C.Pause << C.ShowHint << C.CursorOn;
      T.P->ItemHintTimer(nullptr);
    }
    EXPECT_EQ(It->HintWindow != nullptr, C.Shown) << C.Pause << C.ShowHint << C.CursorOn;
    // leaving takes the hint away, and a pending one with it
    T.P->SetHotElement(0, true);
    EXPECT_EQ(It->HintWindow, nullptr);
  }
}

TEST(TitleBarInput, RightButtonReachesTheItemsMouseEventsOnly) {
  TItemsOnCaption T;
  TvkTitleBarItem* It = T.Add(bsButton);
  T.Paint();
  std::vector<std::string> Seen;
  It->OnMouseDown = [&](TObject* S, TMouseButton B, TShiftState, int, int) {
    Seen.push_back(S == It && B == mbRight ? "down right" : "down other");
  };
  It->OnMouseUp = [&](TObject* S, TMouseButton B, TShiftState, int, int) {
    Seen.push_back(S == It && B == mbRight ? "up right" : "up other");
  };
  It->OnClick = [&](TObject*) { Seen.push_back("click"); };
  const POINT C = T.Centre(It);
  T.F->Perform(WM_NCRBUTTONDOWN, htTitleBarItem, MAKELPARAM(C.x, C.y));
  T.F->Perform(WM_NCRBUTTONUP, htTitleBarItem, MAKELPARAM(C.x, C.y));
  EXPECT_EQ(Seen, (std::vector<std::string>{"down right", "up right"}));
}

TEST(TitleBarInput, ItemFadesGoWithTheTitleAnimationsAndASkinChange) {
  TItemsOnCaption T;
  testing_support::LayeredRecorder Rec;
  TvkTitleBarItem* It = T.Add(bsButton);
  T.Paint();
  auto Fading = [&] {
    It->HotState = 1;
    It->Animate(4, true, T.F->Handle());
    return It->Animation != nullptr;
  };
  ASSERT_TRUE(Fading());
  EXPECT_EQ(It->Animation->Interval(), 12u);
  T.P->FreeTitleAnimations();
  EXPECT_EQ(It->Animation, nullptr);
  ASSERT_TRUE(Fading());
  T.F->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_APPLIED), reinterpret_cast<LPARAM>(T.M.get()));
  EXPECT_EQ(It->Animation, nullptr);
}

TEST(TitleBarInput, ScaleCommandRescalesTheBar) {
  TItemsOnCaption T;
  TvkTitleBarItem* It = T.Add(bsButton);
  T.F->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_SET_SCALE), 150);
  EXPECT_EQ(TSize(It->Width(), It->Height()), TSize(36, 27));
  EXPECT_EQ(T.Bar->ScalePercent, 150);
}

TEST(TitleBarInput, ABarOfAnotherFormOrADropDownMenuIsForgottenWhenItGoes) {
  TItemsOnCaption T;
  Owned<TForm> Other(NewForm());
  auto* Menu = Create<TPopupMenu>(Other.get());
  TvkTitleBarItem* It = T.Add(bsMenu);
  It->SetDropdownMenu(Menu);
  Menu->Free();
  EXPECT_EQ(It->DropdownMenu(), nullptr);
  auto* Far = Create<TsTitleBar>(Other.get());
  T.P->SetTitleBar(Far);
  Far->Free();
  EXPECT_EQ(T.P->TitleBar(), nullptr);
}

TEST(TitleBarInput, AUserButtonFreedByItsOwnPressEndsThePressAndLeavesTheHitTestWorking) {
  TItemsOnCaption T;
  auto* First = new controls_test::Kept<TsTitleButton>(T.P->TitleButtons());
  T.P->TitleButtons()->Add();
  T.Paint();
  const TRect Last = T.P->TitleButtons()->Items(1)->Data.Rect;
  ASSERT_GT(Last.Width(), 0);
  First->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { First->Free(); };
  T.F->Perform(WM_NCLBUTTONDOWN, htUserButton, 0);
  EXPECT_TRUE(controls_test::KeptMemoryUntouched());
  EXPECT_FALSE(T.P->ElementPressed());
  const RECT W = WindowRectOf(T.F->Handle());
  const int X = W.left + (Last.Left + Last.Right) / 2, Y = W.top + (Last.Top + Last.Bottom) / 2;
  EXPECT_NE(T.F->Perform(WM_NCHITTEST, 0, MAKELPARAM(X, Y)), htUserButton + 1);
}

TEST(TitleBarInput, TheBorderWindowHitsItemsAndATextItemTakesAClick) {
  TItemsOnCaption T;
  T.M->SetExtendedBorders(true);
  TvkTitleBarItem* Text = T.Add(bsInfo);
  TvkTitleBarItem* Tab = T.Add(bsTab);
  Tab->SetDown(true);
  int Clicks = 0;
  Text->OnClick = [&](TObject*) { ++Clicks; };
  T.F->Show();
  PumpPending();  // what showing queued
  TvkBorderForm* B = T.P->BorderForm();
  ASSERT_NE(B, nullptr);
  T.Paint();
  const RECT L = WindowRectOf(FormServices.BorderLayeredWindow(B)->Handle());
  auto Hit = [&](TvkTitleBarItem* It) {
    return B->HitTest(POINT{L.left + (It->Rect.Left + It->Rect.Right) / 2, L.top + (It->Rect.Top + It->Rect.Bottom) / 2});
  };
  EXPECT_EQ(Hit(Text), htTitleBarItem);
  EXPECT_NE(Hit(Tab), htTitleBarItem + 1);  // a tab held down takes no press
  T.F->Perform(WM_NCLBUTTONDOWN, htTitleBarItem, 0);
  T.F->Perform(WM_NCLBUTTONUP, htTitleBarItem, 0);
  EXPECT_EQ(Clicks, 1);
}

TEST(TitleBarInput, APressShowsThePressedLookAndOnlyAReleaseOnTheItemClicks) {
  // where the release comes: on the item, elsewhere on the caption, or nowhere (let go off the form)
  enum TRelease { rlOnItem, rlElsewhere, rlLost };
  for (TRelease Release : {rlOnItem, rlElsewhere, rlLost}) {
    TItemsOnCaption T;
    TvkTitleBarItem* It = T.Add(bsButton);
    T.F->Show();
    T.Paint();
    int Downs = 0, Clicks = 0;
    It->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
    It->OnClick = [&](TObject*) { ++Clicks; };
    T.P->SetHotElement(htTitleBarItem, true);
    T.F->Perform(WM_NCLBUTTONDOWN, htTitleBarItem, 0);
    EXPECT_EQ(It->GetState(), 2) << Release;
    EXPECT_TRUE(T.P->ElementPressed()) << Release;
    ASSERT_NE(It->Animation, nullptr) << Release;
    EXPECT_EQ(It->Animation->State, 2) << Release;
    if (Release == rlOnItem) T.F->Perform(WM_NCLBUTTONUP, htTitleBarItem, 0);
    if (Release == rlElsewhere) T.F->Perform(WM_NCLBUTTONUP, HTCAPTION, 0);
    EXPECT_EQ(Clicks, Release == rlOnItem ? 1 : 0) << Release;
    if (Release != rlLost) {
      EXPECT_FALSE(It->Busy) << Release;
      EXPECT_EQ(It->GetState(), Release == rlOnItem ? 1 : 0) << Release;
    }
    // the next press is the item's again
    T.F->Perform(WM_NCLBUTTONDOWN, htTitleBarItem, 0);
    EXPECT_EQ(Downs, 2) << Release;
  }
}

TEST(TitleBarInput, APressedTabTakesNoPressedFlagAndBecomesDown) {
  TItemsOnCaption T;
  TvkTitleBarItem* Tab = T.Add(bsTab);
  T.F->Show();
  T.Paint();
  T.P->SetHotElement(htTitleBarItem, true);
  ASSERT_NE(Tab->Animation, nullptr);
  T.F->Perform(WM_NCLBUTTONDOWN, htTitleBarItem, 0);
  EXPECT_TRUE(Tab->Down());
  EXPECT_FALSE(T.P->ElementPressed());
  EXPECT_EQ(T.P->HotElement(), -1);
  EXPECT_EQ(Tab->Animation, nullptr);
}

namespace {

// A drop-down menu that notes where it was asked to open instead of opening, and runs Choose as the chosen item's
// handler runs before Popup returns.
struct TNotedPopup : TPopupMenu {
  explicit TNotedPopup(TComponent* AOwner) : TPopupMenu(AOwner) {}
  void Popup(int X, int Y) override { At = POINT{X, Y}, Choose(); }
  POINT At{-1, -1};
  std::function<void()> Choose = [] {};
};

}  // namespace

TEST(TitleBarInput, ADropDownOpensBelowItsItemOnTheBorderWindowBeforeAnyHoverAndLeavesItHotAMoment) {
  TItemsOnCaption T;
  T.M->SetExtendedBorders(true);
  TvkTitleBarItem* It = T.Add(bsMenu);
  auto* Menu = new TNotedPopup(T.F.get());
  Menu->Items()->Add(NewItem("Port", 0, false, true, TNotifyEvent(), 0, "Port"));
  It->SetDropdownMenu(Menu);
  T.F->Show();
  PumpPending();
  ASSERT_NE(T.P->BorderForm(), nullptr);
  T.Paint();
  ASSERT_EQ(It->AnimOwnerWnd, nullptr);  // never hot
  const RECT L = WindowRectOf(FormServices.BorderLayeredWindow(T.P->BorderForm())->Handle());
  T.Cursor = POINT{L.left + It->Rect.Left, L.top + It->Rect.Top};  // on the item when the menu closes
  std::vector<int> Drawn;
  It->OnDrawItem = [&](TvkTitleItemDrawData& D) { Drawn.push_back(D.Item->GetState()); };
  It->MouseDown(mbLeft, TShiftState{}, 0, 0);
  EXPECT_EQ(TPoint(Menu->At), TPoint(L.left + It->Rect.Left, L.top + It->Rect.Bottom));
  EXPECT_EQ(Drawn, std::vector<int>({2, 1, 0}));
}

TEST(TitleBarInput, AHandlerThatFreesItsItemEndsTheItemsWork) {
  enum TWay { wyChosenMenuItem, wyTabClick, wyClick, wyMouseDown, wyMouseUp, wyMouseEnter };
  for (TWay Way : {wyChosenMenuItem, wyTabClick, wyClick, wyMouseDown, wyMouseUp, wyMouseEnter}) {
    TItemsOnCaption T;
    auto* It = new controls_test::Kept<TvkTitleBarItem>(T.Bar->Items());
    It->SetStyle(Way == wyTabClick ? bsTab : Way == wyChosenMenuItem ? bsMenu : bsButton);
    T.F->Show();
    T.Paint();
    auto FreeIt = [&, Way](TWay At) {
      if (At == Way) It->Free();
    };
    auto* Menu = new TNotedPopup(T.F.get());
    Menu->Items()->Add(NewItem("Port", 0, false, true, TNotifyEvent(), 0, "Port"));
    Menu->Choose = [&] { FreeIt(wyChosenMenuItem); };
    if (Way == wyChosenMenuItem) It->SetDropdownMenu(Menu);
    It->OnClick = [&](TObject*) { FreeIt(Way == wyTabClick ? wyTabClick : wyClick); };
    It->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { FreeIt(wyMouseDown); };
    It->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { FreeIt(wyMouseUp); };
    It->OnMouseEnter = [&](TObject*) { FreeIt(wyMouseEnter); };
    T.P->SetHotElement(htTitleBarItem, true);
    for (UINT Msg : {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP})
      if (T.Bar->Items()->Count() > 0) T.F->Perform(Msg, htTitleBarItem, 0);
    EXPECT_EQ(T.Bar->Items()->Count(), 0) << Way;
    EXPECT_TRUE(controls_test::KeptMemoryUntouched()) << Way;
  }
}

TEST(TitleBarInput, AUserTitleButtonsHintLiesBelowRightOfTheCursorOnce) {
  TItemsOnCaption T;
  auto* B = static_cast<TsTitleButton*>(T.P->TitleButtons()->Add());
  B->SetHint("Port");
  T.Cursor = POINT{300, 300};
  B->ShowHint();
  ASSERT_NE(B->HintWindow(), nullptr);
  const RECT R = WindowRectOf(B->HintWindow()->Handle());
  EXPECT_EQ(R.left, 308);
  EXPECT_EQ(R.top, 316);
  B->HideHint();
}
