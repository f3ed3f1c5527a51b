// The button family on real BUTTON windows printed into 32-bit DIBs: push-button states and the default frame,
// captions and focus frames, the disabled blend, check-box and radio glyphs, owner drawing, group boxes, and what
// see-through adapters show of a mirrored parent.
#include "AdapterTestSupport.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"

using namespace adapter_test;

namespace {

class Buttons : public HostedAdapterTest<> {
protected:
  HWND Button(DWORD Style, const char* Text, int W = 80, int H = 26) {
    return NewWindow("BUTTON", Parent, WS_VISIBLE | Style, 10, 10, W, H, Text);
  }
  // A push button or a check box with its adapter, of the size the hot tests use.
  std::pair<HWND, TvkMainWnd*> PushOrCheck(bool Check) {
    HWND W = Button(Check ? BS_AUTOCHECKBOX : BS_PUSHBUTTON, "", 80, 26);
    return {W, Check ? static_cast<TvkMainWnd*>(Adapt<TvkCheckBoxWnd>(W)) : Adapt<TvkBtnWnd>(W)};
  }
};
class ButtonsRealScreen : public Buttons {};

TEST_F(Buttons, PushButtonStatesAndTheDefaultFrame) {
  struct Case {
    const char* Name;
    DWORD Style;
    void (*Prepare)(HWND);
    uint32_t Ring, Face;
  };
  const Case Cases[] = {
      {"normal", BS_PUSHBUTTON, [](HWND) {}, 0x000000, 0xFF00FE},
      {"focused", BS_PUSHBUTTON, [](HWND W) { SetFocus(W); }, 0x000040, 0x800080},
      {"pressed", BS_PUSHBUTTON, [](HWND W) { SendMessageA(W, BM_SETSTATE, TRUE, 0); }, 0x000080, 0x400040},
      // A dialog's default button: frame 3 only for sections of 4 or more states, here frame 1.
      {"default", BS_DEFPUSHBUTTON, [](HWND) {}, 0x000040, 0x800080},
      {"disabled", BS_PUSHBUTTON, [](HWND W) { EnableWindow(W, FALSE); }, DisabledBlend(0, 0x808080),
       DisabledBlend(0xFF00FE, 0x808080)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SetActiveWindow(Parent);
    HWND W = Button(C.Style, "");
    auto* A = Adapt<TvkBtnWnd>(W);
    EXPECT_EQ("BUTTON", A->SkinData->SkinSection());
    C.Prepare(W);
    auto D = PrintedWindow(W);
    ExpectPixels(*D, {{0, 0, C.Ring}, {79, 25, C.Ring}, {40, 13, C.Face}});
    SetFocus(nullptr);
  }
}

TEST_F(Buttons, CaptionFocusFrameAndPressedShift) {
  HWND W = Button(BS_PUSHBUTTON, "Write", 100, 30);
  auto* A = Adapt<TvkBtnWnd>(W);
  auto D = PrintedWindow(W);
  const TRect Cap = A->GetCaptionRect();
  EXPECT_GT(CountRgb(*D, 0x000000, Cap), 10);  // state-0 font colour
  // Focused: the hot font colour and a dotted frame around the caption in the state-1 font colour.
  SetActiveWindow(Parent);
  SetFocus(W);
  D = PrintedWindow(W);
  TRect F = A->GetCaptionRect();
  InflateRect(F.AsRECT(), 2, 1);
  F.Top = std::max(F.Top, 3);
  EXPECT_GE(CountRgb(*D, 0xFFFFFF, TRect(F.Left, F.Top, F.Right, F.Top + 1)), F.Width() / 2 - 1);
  M->ButtonsOptions()->SetShowFocusRect(false);
  D = PrintedWindow(W);
  EXPECT_EQ(0, CountRgb(*D, 0xFFFFFF, TRect(F.Left, F.Top, F.Right, F.Top + 1)));
  SetFocus(nullptr);
  // Pressed: the caption moves one pixel right and down unless the manager says otherwise.
  const TRect Up = A->GetCaptionRect();
  SendMessageA(W, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(TRect(Up.Left + 1, Up.Top + 1, Up.Right + 1, Up.Bottom + 1), A->GetCaptionRect());
  M->ButtonsOptions()->SetShiftContentOnClick(false);
  EXPECT_EQ(Up, A->GetCaptionRect());
}

// Glyph blocks of the SOLID skin: red 0x40 * (state + 1), green 0x60, blue the glyph's code.
uint32_t Glyph(int Code, int State) { return static_cast<uint32_t>(0x40 * (State + 1)) << 16 | 0x6000 | Code; }

TEST_F(Buttons, CheckBoxAndRadioGlyphs) {
  struct Case {
    const char* Name;
    DWORD Style;
    WPARAM Check;
    int Code;
    bool Right;
  };
  const Case Cases[] = {
      {"unchecked", BS_AUTOCHECKBOX, BST_UNCHECKED, 1, false},
      {"checked", BS_AUTOCHECKBOX, BST_CHECKED, 2, false},
      {"grayed", BS_AUTO3STATE, BST_INDETERMINATE, 3, false},
      {"left text", BS_AUTOCHECKBOX | BS_LEFTTEXT, BST_CHECKED, 2, true},
      {"radio", BS_AUTORADIOBUTTON, BST_UNCHECKED, 4, false},
      {"radio checked", BS_RADIOBUTTON, BST_CHECKED, 5, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HWND W = Button(C.Style, "Check", 90, 21);
    auto* A = Adapt<TvkCheckBoxWnd>(W);
    EXPECT_EQ("CHECKBOX", A->SkinData->SkinSection());
    EXPECT_EQ(ctCheckBoxAdapter, A->SkinData->CtrlType);
    SendMessageA(W, BM_SETCHECK, C.Check, 0);
    auto D = PrintedWindow(W);
    const int X = C.Right ? 90 - 7 : 6, Y = 10;
    EXPECT_EQ(Glyph(C.Code, 0), Rgb(D->Px(X, Y)));
    // The caption on the other side, in the section's font colour.
    const TRect TextSide = C.Right ? TRect(0, 0, 90 - 13, 21) : TRect(13, 0, 90, 21);
    EXPECT_GT(CountRgb(*D, 0x000080, TextSide), 5);
  }
  // Pushed and focused glyph states.
  HWND W = Button(BS_AUTOCHECKBOX, "Check", 90, 21);
  Adapt<TvkCheckBoxWnd>(W);
  SendMessageA(W, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(Glyph(1, 2), Rgb(PrintedWindow(W)->Px(6, 10)));
  SendMessageA(W, BM_SETSTATE, FALSE, 0);
  SetActiveWindow(Parent);
  SetFocus(W);
  EXPECT_EQ(Glyph(1, 1), Rgb(PrintedWindow(W)->Px(6, 10)));
  SetFocus(nullptr);
  // Disabled: blended with the background like buttons.
  EnableWindow(W, FALSE);
  EXPECT_EQ(DisabledBlend(Glyph(1, 0), 0x808080), Rgb(PrintedWindow(W)->Px(6, 10)));
}

TEST_F(Buttons, AnOwnerDrawnCheckBoxKeepsItsOwnDrawing) {
  HWND Owner = Keep(NewRecordingWindow(nullptr, WS_VISIBLE, 40, 40, 200, 100));
  HWND W = NewWindow("BUTTON", Owner, WS_VISIBLE | BS_OWNERDRAW, 5, 5, 60, 20);
  auto* A = Adapt<TvkCheckBoxWnd>(W);
  EXPECT_TRUE(A->OwnerDrawn);
  Recorded().clear();
  RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(CountRecorded(Owner, WM_DRAWITEM), 1);
}

TEST_F(Buttons, GroupBoxFrameBelowItsCaption) {
  HWND W = Button(BS_GROUPBOX, "Port", 120, 80);
  auto* A = Adapt<TvkGroupBoxWnd>(W);
  EXPECT_EQ("GROUPBOX", A->SkinData->SkinSection());
  auto D = PrintedWindow(W);
  const TRect Cap = A->GetCaptionRect();
  const int Half = Cap.Height() / 2;
  // the ring, inside it, and the parent's background above the frame and behind the caption
  ExpectPixels(*D, {{0, Half, 0x603000}, {119, 79, 0x603000}, {60, 50, 0xE0C0A0}, {2, Half - 1, 0x808080},
                    {Cap.Left + 1, Half, 0x808080}});
  EXPECT_GT(CountRgb(*D, 0x603000, TRect(Cap.Left + 2, 0, Cap.Right - 1, Half)), 3);
  EXPECT_EQ(Cap.Height(), SendMessageA(W, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_CAPTION_HEIGHT), 0));
}

TEST_F(Buttons, TheManagersHotCheckMakesAPlainButtonHotAndNormalAgain) {
  HWND W = Button(BS_PUSHBUTTON, "", 80, 26);
  auto* A = Adapt<TvkBtnWnd>(W);
  const TRect R = WindowRectOf(W);
  FakeCursorAt(POINT{R.Left + 5, R.Top + 5});
  M->AnimEffects()->Buttons()->SetEvents({});  // no fades: each state shows at once
  M->ChangeHotWindow(W);  // sends the entering command
  EXPECT_TRUE(A->SkinData->Hot);
  EXPECT_EQ(0x800080u, Rgb(PrintedWindow(W)->Px(40, 13)));
  M->ChangeHotWindow(nullptr);  // and the leaving one
  EXPECT_FALSE(A->SkinData->Hot);
  EXPECT_EQ(0xFF00FEu, Rgb(PrintedWindow(W)->Px(40, 13)));
}

// With the manager's button fades on (the default), entering and leaving cross-fade like the skinned buttons; a
// paint while the fade runs shows its current frame, not the end state.
TEST_F(Buttons, AnAdaptedButtonFadesBetweenItsStates) {
  for (bool Check : {false, true}) {
    SCOPED_TRACE(Check ? "check box" : "push button");
    const auto [W, A] = PushOrCheck(Check);
    TsCommonData* D = A->SkinData;
    const TRect R = WindowRectOf(W);
    FakeCursorAt(POINT{R.Left + 40, R.Top + 13});
    const POINT At = Check ? POINT{6, 13} : POINT{40, 13};  // the glyph shows the check box's hot look
    const uint32_t Normal = Rgb(PrintedWindow(W)->Px(At.x, At.y));
    for (bool Enter : {true, false}) {
      SCOPED_TRACE(Enter ? "enter" : "leave");
      M->ChangeHotWindow(Enter ? W : nullptr);
      EXPECT_EQ(D->Hot, Enter);
      ASSERT_TRUE(D->AnimationRunning());
      const uint32_t Frame = Rgb(PrintedWindow(W)->Px(At.x, At.y));
      EXPECT_EQ(Frame, Rgb(GetPixel32(D->AnimTimer->WorkBmp, At.x, At.y)));
      for (int i = 0; i < 40 && D->AnimationRunning(); ++i) D->AnimTimer->Tick();
      EXPECT_FALSE(D->AnimationRunning());
      const uint32_t End = Rgb(PrintedWindow(W)->Px(At.x, At.y));
      EXPECT_NE(Frame, End) << "the first frame is on its way";
      EXPECT_EQ(End == Normal, !Enter);
    }
  }
}

// The entering notice makes a push button or a check box hot only while the cursor lies over it: a notice that
// comes after the cursor has gone leaves it normal.
TEST_F(Buttons, AnEnteringNoticeAfterTheCursorLeftMakesNothingHot) {
  M->AnimEffects()->Buttons()->SetEvents({});
  for (bool Check : {false, true}) {
    SCOPED_TRACE(Check ? "check box" : "push button");
    const auto [W, A] = PushOrCheck(Check);
    const TRect R = WindowRectOf(W);
    for (bool Inside : {false, true}) {
      FakeCursorAt(Inside ? POINT{R.Left + 5, R.Top + 5} : POINT{R.Right + 20, R.Bottom + 20});
      M->ChangeHotWindow(W);  // sends the entering notice
      EXPECT_EQ(Inside, A->SkinData->Hot) << (Inside ? "inside" : "outside");
      M->ChangeHotWindow(nullptr);
    }
  }
}

// A group box knows its caption's height from its first moment, before anything painted it.
TEST_F(Buttons, AGroupBoxMeasuresItsCaptionBeforeItsFirstPaint) {
  HWND W = Button(BS_GROUPBOX, "Port", 120, 80);
  auto* A = Adapt<TvkGroupBoxWnd>(W);
  delete A->SkinData->CacheBmp;  // as it is before the first paint
  A->SkinData->CacheBmp = nullptr;
  const int Early = A->GetCaptionRect().Height();
  PrintedWindow(W);
  EXPECT_EQ(A->GetCaptionRect().Height(), Early);
  EXPECT_GT(Early, 6) << "the caption's text was not measured";
}

// A check box's focus, its Space key and a new text change what the system draws at once: the skinned look is
// drawn again over it, so the screen shows exactly the box's own print.
TEST_F(ButtonsRealScreen, ACheckBoxShowsItsSkinnedLookAfterFocusAndTheSpaceKey) {
  HWND W = Button(BS_AUTOCHECKBOX, "Port", 100, 26);
  Adapt<TvkCheckBoxWnd>(W);
  auto SameAsPrint = [&](const char* What) {
    const auto Shown = ScreenOf(W);  // its paints go through before the print
    EXPECT_EQ(0, CountDiffering(*Shown, *PrintedWindow(W))) << What;
  };
  SameAsPrint("shown");
  SetFocus(W);
  ASSERT_EQ(W, GetFocus());
  SameAsPrint("focused");
  SendMessageA(W, WM_KEYDOWN, VK_SPACE, 0);
  SameAsPrint("space down");
  SendMessageA(W, WM_KEYUP, VK_SPACE, 0);
  SameAsPrint("space up");
  SetFocus(Parent);
  SameAsPrint("focus gone");
  SetWindowTextA(W, "Other port");
  SameAsPrint("new text");
}

// A parent answering the background query from a picture of its client area as the screen shows it, every
// column in a colour of its own (the colour value is the column).
LRESULT CALLBACK ColumnsParentProc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  static TBitmap* Picture = [] {
    TBitmap* B = NewBitmap32(300, 60);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 300; ++x) static_cast<uint32_t*>(B->ScanLine(y))[x] = 0xFF000000u | x;
    return B;
  }();
  if (Msg != SM_VKCMD || SkinCommandCode(WP) != VKCMD_QUERY_PARENT_BG) return DefWindowProcA(W, Msg, WP, LP);
  auto* Q = reinterpret_cast<TvkParentBgQuery*>(LP);
  Q->Kind = bgkBitmap;
  Q->Bmp = Picture;
  return 1;
}

// A see-through button (or static) shows the part of its parent's picture that lies behind it on the screen, also
// when the parent is mirrored (its client coordinates run from the right); its own DC is mirrored then as well, and
// the picture must not come out of it flipped.
TEST_F(Buttons, ASeeThroughButtonShowsTheParentFromItsPlaceOnTheScreenOnAMirroredParentToo) {
  for (const bool Static : {false, true})
    for (const DWORD ExStyle : {DWORD{0}, DWORD{WS_EX_LAYOUTRTL}}) {
      SCOPED_TRACE(std::string(Static ? "static" : "button") + (ExStyle != 0 ? ", mirrored" : ""));
      HWND P = Keep(NewWindow(WindowClass("KrlColumnsParent", ColumnsParentProc), nullptr, WS_VISIBLE, 50, 50, 300,
                              60, "", ExStyle));
      HWND W = NewWindow(Static ? "STATIC" : "BUTTON", P, WS_VISIBLE, 10, 20, 80, 26);
      if (Static)
        Adapt<TvkStaticWnd>(W, "TRANSPARENT");
      else
        Adapt<TvkBtnWnd>(W, "TRANSPARENT");
      const int Left = WindowRectOf(W).Left - WindowRectOf(P).Left;
      ASSERT_EQ(ExStyle != 0 ? 300 - 10 - 80 : 10, Left);
      testing_support::Dib32 D(80, 26, 0, true);
      ApplyDCLayout(D.DC(), ExStyle != 0 ? LAYOUT_RTL : 0);
      PrintWindowTo(W, D);
      for (int X : {0, 40, 79}) EXPECT_EQ(static_cast<uint32_t>(Left + X), D.Rgb(X, 13)) << X;
    }
}

}  // namespace
