// The skinned button: its face from the section for the state, the default look, the glyph for the state, the
// disabled look, pressed content, corners the mouse falls through, fades and the release after a press.
#include <gtest/gtest.h>

#include <functional>

#include "ControlsTestSupport.h"
#include "framework/ActnList.h"
#include "framework/Menus.h"
#include "framework/Themes.h"
#include "skin/controls/sButton.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/MessagePump.h"

using namespace controls_test;

namespace {

TsButton* NewButton(TForm* Form, int W, int H, const std::string& Section = "") {
  TsButton* B = PlaceOn<TsButton>(Form, W, H, 10, 10);
  if (!Section.empty()) B->SkinData()->SetSkinSection(Section);
  B->HandleNeeded();
  return B;
}

// Records where it was asked to open and how the button looked meanwhile.
class TRecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  TsButton* Button = nullptr;
  POINT At{-1, -1};
  int StateWhileOpen = -1;
  void Popup(int X, int Y) override {
    At = POINT{X, Y};
    StateWhileOpen = Button->CurrentState();
  }
};

// Every test's skinned manager and the form its buttons stand on.
class Button : public testing::Test {
protected:
  Owned<TsSkinManager> M = SkinnedManager();
  Owned<TForm> Form = NewForm(clBtnFace);
};

}  // namespace

TEST_F(Button, FaceFromTheSectionAndTheDefaultLookByStateCount) {
  struct Case {
    const char* Section;
    bool Default;
    uint32_t Ring;  // the border mask's frame for the state shown
  } Cases[] = {{"BUTTON", false, 0x000000}, {"BUTTON", true, 0x000040}, {"BUTTON4", true, 0x0000C0}};
  for (const Case& C : Cases) {
    TsButton* B = NewButton(Form.get(), 100, 30, C.Section);
    B->SetDefault(C.Default);
    ASSERT_TRUE(B->SkinData()->IsSkinned());
    const auto Px = Printed(B);
    EXPECT_EQ(Px[0], C.Ring) << C.Section << " " << C.Default;
    EXPECT_EQ(Px, Pixels(B->SkinData()->CacheBmp)) << "WM_PRINT shows the cache";
    B->Free();
  }
}

TEST_F(Button, GlyphForTheStateFallsBackToImageIndex) {
  Owned<TImageList> Images(new TImageList(nullptr));
  TBitmap* Strip = NewBitmap32(80, 16);
  Images->Add(Strip, nullptr);
  Strip->Free();
  ASSERT_EQ(Images->Count(), 5);
  TsButton* B = NewButton(Form.get(), 100, 30);
  B->SetImages(Images.get());
  B->SetImageIndex(2);
  B->SetImageIndexOf(1, 7);  // HotImageIndex past the list
  B->SkinData()->Hot = true;
  EXPECT_EQ(B->CurrentState(), 1);
  EXPECT_EQ(B->ImageIndexForState(), 2);
  B->SetImageIndexOf(1, 4);
  EXPECT_EQ(B->ImageIndexForState(), 4);
  B->SetImages(nullptr);
}

TEST_F(Button, DisabledAndActionWithoutHandlerShareTheDisabledLook) {
  TsButton* B = NewButton(Form.get(), 100, 30);
  B->SetCaption("Go");
  const auto Enabled = Printed(B);
  Owned<TAction> Action(new TAction(nullptr));
  B->SetAction(Action.get());
  const auto NoHandler = Printed(B);
  B->SetAction(nullptr);
  B->SetEnabled(false);
  const auto Disabled = Printed(B);
  EXPECT_NE(Enabled, Disabled);
  EXPECT_EQ(NoHandler, Disabled);
}

TEST_F(Button, RightToLeftReadingOrdersTheCaptionFromTheRight) {
  // A leading neutral character goes to the right end of a right-to-left line.
  MiddleEastLocale Locale;
  TsButton* Plain = NewButton(Form.get(), 100, 30);
  TsButton* Bidi = NewButton(Form.get(), 100, 30);
  TsButton* Moved = NewButton(Form.get(), 100, 30);
  for (TsButton* B : {Plain, Bidi}) B->SetCaption("-ab");
  Moved->SetCaption("ab-");
  Bidi->SetBiDiMode(bdRightToLeftReadingOnly);
  ASSERT_TRUE(Bidi->UseRightToLeftReading());
  EXPECT_NE(Printed(Plain), Printed(Bidi));
  EXPECT_EQ(Printed(Moved), Printed(Bidi));
}

TEST_F(Button, PressedContentShiftsUnlessTheSkinSaysNot) {
  TsButton* B = NewButton(Form.get(), 100, 30);
  B->SetCaption("Go");
  const TRect Up = B->CaptionRect();
  B->SetDown(true);
  EXPECT_EQ(B->CaptionRect().Left, Up.Left + 1);
  M->ButtonsOptions()->SetShiftContentOnClick(false);
  EXPECT_EQ(B->CaptionRect(), Up);
  M->SetActive(false);  // without a skin the content always moves
  EXPECT_EQ(B->CaptionRect().Left, Up.Left + 1);
}

TEST_F(Button, TransparentCornerPixelsLetTheMouseThrough) {
  TsButton* B = NewButton(Form.get(), 40, 20, "LRGNBUTTON");
  RECT W{};
  GetWindowRect(B->Handle(), &W);
  auto Hit = [&](int X, int Y) {
    return B->Perform(WM_NCHITTEST, 0, MAKELPARAM(W.left + X, W.top + Y));
  };
  EXPECT_EQ(Hit(0, 0), HTTRANSPARENT);
  EXPECT_EQ(Hit(39, 19), HTTRANSPARENT);
  EXPECT_NE(Hit(2, 2), HTTRANSPARENT);
  EXPECT_NE(Hit(20, 10), HTTRANSPARENT);
}

TEST_F(Button, FadesStepThroughTheTimer) {
  TsButton* B = NewButton(Form.get(), 100, 30);
  Platform().Sleep = [](DWORD) {};
  B->SetAnimatEvents({aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp});
  Form->ShowNoActivate();  // fades run on a window that shows, from a face
  B->Perform(WM_PRINT, 0, 0);
  // the steps a fade was given, once ticked to its end (0: none runs)
  auto Steps = [&] {
    TvkThreadedTimer* T = B->SkinData()->AnimTimer;
    if (T == nullptr || !T->Enabled()) return 0;
    const int N = T->StepCount;
    for (int i = 0; i < 100 && T->Enabled(); ++i) T->Tick();
    return T->Enabled() ? -1 : N;
  };
  B->SkinData()->CacheDirty = false;
  B->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Steps(), 6);
  B->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Steps(), 12);
  // A press fades fast; so does its release to hot, while the pointer is still over the button.
  for (const bool Over : {true, false}) {
    B->SkinData()->Hot = Over;
    B->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Steps(), 3) << Over;
    B->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    if (Over) {
      EXPECT_EQ(B->SkinData()->AnimTimer->Mode, fmEnter);
    }
    EXPECT_EQ(Steps(), Over ? 3 : 0) << Over;
  }
  Form->Hide();
  ResetPlatform();
}

TEST_F(Button, ReleaseDuringAPressShowsItAtOnceAndWaits) {
  TsButton* B = NewButton(Form.get(), 100, 30);
  std::vector<DWORD> Sleeps;
  Platform().Sleep = [&](DWORD Ms) { Sleeps.push_back(Ms); };
  int Ups = 0;
  B->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Ups; };
  B->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Ups, 0) << "a release without a press here is not the button's";
  EXPECT_TRUE(Sleeps.empty());
  B->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(B->PressedIn());
  B->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(B->PressedIn());
  EXPECT_EQ(Sleeps, std::vector<DWORD>{30});
  EXPECT_EQ(Ups, 1);
  ResetPlatform();
}

TEST_F(Button, SplitPartOpensItsMenuBelowTheButton) {
  TsButton* B = NewButton(Form.get(), 100, 30);
  Owned<TRecordingMenu> Menu(new TRecordingMenu(nullptr));
  Menu->Button = B;
  B->SetStyle(bsSplitButton);
  B->SetDropDownMenu(Menu.get());
  int Downs = 0;
  B->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
  B->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 5));  // the left part stays a button
  EXPECT_EQ(Menu->StateWhileOpen, -1);
  EXPECT_EQ(Downs, 1);
  B->Perform(WM_LBUTTONUP, 0, MAKELPARAM(50, 5));
  B->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(95, 5));
  const POINT Below = B->ClientToScreen(POINT{0, 30});
  EXPECT_EQ(Menu->At.x, Below.x);
  EXPECT_EQ(Menu->At.y, Below.y);
  EXPECT_EQ(Menu->StateWhileOpen, 2);
  EXPECT_EQ(Menu->PopupComponent(), B);
  EXPECT_FALSE(B->DropDownShowing());
  EXPECT_EQ(Downs, 1);
  Menu.reset();
  EXPECT_EQ(B->DropDownMenu(), nullptr);
}

TEST_F(Button, WithoutASkinTheClassicFaceWithTheDefaultFrame) {
  M->SetActive(false);
  ThemeServices()->ForceThemesEnabled(0);
  TsButton* B = NewButton(Form.get(), 100, 30);
  ASSERT_FALSE(B->SkinData()->IsSkinned());
  B->SetButtonStyle(true);
  Dib32 Dib(100, 30, 0x123456, true);
  SendMessageA(B->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
  EXPECT_EQ(Dib.Rgb(0, 15), Px(clWindowFrame));  // the default look's one-pixel frame
  EXPECT_EQ(Dib.Rgb(50, 4), Px(clBtnFace));
  ResetPlatform();
}

TEST_F(Button, AHandlerThatFreesTheButtonEndsItsWork) {
  // Runs the item's handler as the system's menu does, before Popup returns.
  struct TChoosingMenu : TPopupMenu {
    using TPopupMenu::TPopupMenu;
    std::function<void()> Choose;
    void Popup(int, int) override { Choose(); }
  };
  Owned<TChoosingMenu> Menu(new TChoosingMenu(nullptr));
  for (const std::string How : {"mouse", "space", "split"}) {
    auto* B = PlaceOn<Kept<TsButton>>(Form.get(), 100, 30, 10, 10);
    const HWND Wnd = B->Handle();
    int Clicks = 0;
    auto FreeIt = [&] {
      ++Clicks;
      B->Free();
    };
    B->OnClick = [&](TObject*) { FreeIt(); };
    if (How == "split") {
      B->SetStyle(bsSplitButton);
      B->SetDropDownMenu(Menu.get());
      Menu->Choose = FreeIt;
      SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(95, 5));
    } else if (How == "space") {
      SendMessageA(Wnd, WM_KEYDOWN, VK_SPACE, 0);
      SendMessageA(Wnd, WM_KEYUP, VK_SPACE, 0xC0000001);
    } else {
      SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(Clicks, 1) << How;
    EXPECT_FALSE(IsWindow(Wnd)) << How;
    EXPECT_TRUE(KeptMemoryUntouched()) << How;
  }
}

TEST_F(Button, PaintingValidatesTheWindowAndPrintingLeavesItsRepaintPending) {
  Form->ShowNoActivate();
  TsButton* B = NewButton(Form.get(), 100, 30);
  auto* Loose = Create<TsButton>(nullptr);  // on a window of its own kind: no parent control
  Owned<TsButton> LooseOwned(Loose);
  Loose->SetBounds(10, 50, 100, 30);
  Loose->SetParentWindow(Form->Handle());
  Loose->SetVisible(true);
  for (TsButton* Btn : {B, Loose}) {
    UpdateWindow(Form->Handle());
    InvalidateRect(Btn->Handle(), nullptr, FALSE);
    Dib32 Dib(100, 30, 0x123456, true);
    Btn->Perform(WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
    EXPECT_TRUE(GetUpdateRect(Btn->Handle(), nullptr, FALSE)) << (Btn == B);
    // (another test program's window passing over the button may invalidate it once more)
    EXPECT_TRUE(testing_support::PumpUntilValidated(Btn->Handle(), 2000)) << (Btn == B);
  }
  Form->Hide();
}

TEST_F(Button, WMEnableNeverReachesTheSystemButtonWhileSkinned) {
  struct TSpyButton : TsButton {
    using TsButton::TsButton;
    int EnablesSeen = 0;
    void DefaultHandler(TMessage& M) override {
      EnablesSeen += M.Msg == WM_ENABLE;
      TsButton::DefaultHandler(M);
    }
  };
  for (const bool Skinned : {true, false}) {
    M->SetActive(Skinned);
    auto* B = PlaceOn<TSpyButton>(Form.get(), 100, 30, 10, 10);
    EnableWindow(B->Handle(), FALSE);
    EXPECT_EQ(B->EnablesSeen, Skinned ? 0 : 1) << Skinned;
    B->Free();
  }
}

TEST_F(Button, ACommandLinkDrawsItsHintBelowTheCaption) {
  TsButton* Bare = NewButton(Form.get(), 200, 60);
  TsButton* Hinted = NewButton(Form.get(), 200, 60);
  for (TsButton* B : {Bare, Hinted}) {
    B->SetStyle(bsCommandLink);
    B->SetCaption("Write");
  }
  Hinted->SetCommandLinkHint("into the device");
  const TRect Caption = Hinted->CaptionRect();
  const std::vector<uint32_t> A = Printed(Bare), B = Printed(Hinted);
  int Above = 0, Below = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      if (A[y * 200 + x] != B[y * 200 + x]) ++(y < Caption.Bottom ? Above : Below);
  EXPECT_EQ(Above, 0);
  EXPECT_GT(Below, 10);
}

// Focus in and out of a skinned button, disabled on the way or not: OnEnter once, OnExit once while it stays enabled
// (a disable moves the form's focus on without an exit, for any control), and the system button hears it lost the focus.
TEST_F(Button, FocusInAndOutFiresOnEnterAndOnExit) {
  TButton* Other = PlaceOn<TButton>(Form.get(), 60, 30, 200, 10);
  Form->Show();
  SetActiveWindow(Form->Handle());
  for (const bool Disable : {false, true}) {
    TsButton* B = NewButton(Form.get(), 100, 30);
    int Entered = 0, Exited = 0;
    B->OnEnter = [&](TObject*) { ++Entered; };
    B->OnExit = [&](TObject*) { ++Exited; };
    B->SetFocus();
    B->SetEnabled(!Disable);
    Other->SetFocus();
    EXPECT_EQ(Entered, 1) << Disable;
    if (!Disable) { EXPECT_EQ(Exited, 1); }
    EXPECT_EQ(SendMessageA(B->Handle(), BM_GETSTATE, 0, 0) & BST_FOCUS, 0) << Disable;
    B->Free();
  }
  Form->Hide();
}
