// The button family on real BUTTON windows printed into 32-bit DIBs: push-button states and the default frame,
// captions and focus frames, the disabled blend, check-box and radio glyphs, owner drawing, group boxes.
#include "AdapterTestSupport.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/vkPixelOps.h"

using namespace adapter_test;

namespace {

class Buttons : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    Parent = Host(300, 200);
  }
  HWND Button(DWORD Style, const char* Text, int W = 80, int H = 26) {
    return CreateWindowExA(0, "BUTTON", Text, WS_CHILD | WS_VISIBLE | Style, 10, 10, W, H, Parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  int CountColour(const testing_support::Dib32& D, uint32_t C, const TRect& R) {
    int N = 0;
    for (int y = std::max(0, R.Top); y < std::min(D.Height(), R.Bottom); ++y)
      for (int x = std::max(0, R.Left); x < std::min(D.Width(), R.Right); ++x) N += Rgb(D.Px(x, y)) == C;
    return N;
  }
  HWND Parent = nullptr;
};

// The disabled look over a flat background: the control keeps 100 of 255 per channel.
uint32_t Disabled(uint32_t C, uint32_t Bg) {
  uint32_t R = 0;
  for (int Shift = 0; Shift < 24; Shift += 8)
    R |= ((((C >> Shift) & 0xFF) * 100 + ((Bg >> Shift) & 0xFF) * 155) >> 8) << Shift;
  return R;
}

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
      {"disabled", BS_PUSHBUTTON, [](HWND W) { EnableWindow(W, FALSE); }, Disabled(0, 0x808080),
       Disabled(0xFF00FE, 0x808080)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SetActiveWindow(Parent);
    HWND W = Button(C.Style, "");
    auto* A = Adapt<TvkBtnWnd>(W);
    EXPECT_EQ("BUTTON", A->SkinData->SkinSection());
    C.Prepare(W);
    auto D = PrintedWindow(W);
    EXPECT_EQ(C.Ring, Rgb(D->Px(0, 0)));
    EXPECT_EQ(C.Ring, Rgb(D->Px(79, 25)));
    EXPECT_EQ(C.Face, Rgb(D->Px(40, 13)));
    SetFocus(nullptr);
  }
}

TEST_F(Buttons, CaptionFocusFrameAndPressedShift) {
  HWND W = Button(BS_PUSHBUTTON, "Write", 100, 30);
  auto* A = Adapt<TvkBtnWnd>(W);
  auto D = PrintedWindow(W);
  const TRect Cap = A->GetCaptionRect();
  EXPECT_GT(CountColour(*D, 0x000000, TRect(Cap.Left, Cap.Top, Cap.Right, Cap.Bottom)), 10);  // state-0 font colour
  // Focused: the hot font colour and a dotted frame around the caption in the state-1 font colour.
  SetActiveWindow(Parent);
  SetFocus(W);
  D = PrintedWindow(W);
  TRect F = A->GetCaptionRect();
  InflateRect(F.AsRECT(), 2, 1);
  F.Top = std::max(F.Top, 3);
  EXPECT_GE(CountColour(*D, 0xFFFFFF, TRect(F.Left, F.Top, F.Right, F.Top + 1)), F.Width() / 2 - 1);
  M->ButtonsOptions()->SetShowFocusRect(false);
  D = PrintedWindow(W);
  EXPECT_EQ(0, CountColour(*D, 0xFFFFFF, TRect(F.Left, F.Top, F.Right, F.Top + 1)));
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
    EXPECT_GT(CountColour(*D, 0x000080, TextSide), 5);
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
  EXPECT_EQ(Disabled(Glyph(1, 0), 0x808080), Rgb(PrintedWindow(W)->Px(6, 10)));
}

TEST_F(Buttons, AnOwnerDrawnCheckBoxKeepsItsOwnDrawing) {
  HWND Owner = NewRecordingWindow(nullptr, WS_VISIBLE, 40, 40, 200, 100);
  Tops.push_back(Owner);
  HWND W = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 5, 5, 60, 20, Owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
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
  EXPECT_EQ(0x603000u, Rgb(D->Px(0, Half)));       // the ring
  EXPECT_EQ(0x603000u, Rgb(D->Px(119, 79)));
  EXPECT_EQ(0xE0C0A0u, Rgb(D->Px(60, 50)));        // inside
  EXPECT_EQ(0x808080u, Rgb(D->Px(2, Half - 1)));   // the parent's background above the frame
  EXPECT_EQ(0x808080u, Rgb(D->Px(Cap.Left + 1, Half)));  // and behind the caption
  EXPECT_GT(CountColour(*D, 0x603000, TRect(Cap.Left + 2, 0, Cap.Right - 1, Half)), 3);
  EXPECT_EQ(Cap.Height(), SendMessageA(W, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_CAPTION_HEIGHT), 0));
}

TEST_F(Buttons, TheManagersHotCheckMakesAPlainButtonHotAndNormalAgain) {
  HWND W = Button(BS_PUSHBUTTON, "", 80, 26);
  auto* A = Adapt<TvkBtnWnd>(W);
  RECT R{};
  GetWindowRect(W, &R);
  Platform().GetCursorPos = [R](POINT* P) {
    *P = POINT{R.left + 5, R.top + 5};
    return TRUE;
  };
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
    HWND W = Check ? Button(BS_AUTOCHECKBOX, "", 80, 26) : Button(BS_PUSHBUTTON, "", 80, 26);
    TvkMainWnd* A = Check ? static_cast<TvkMainWnd*>(Adapt<TvkCheckBoxWnd>(W)) : Adapt<TvkBtnWnd>(W);
    TsCommonData* D = A->SkinData;
    RECT R{};
    GetWindowRect(W, &R);
    Platform().GetCursorPos = [R](POINT* P) {
      *P = POINT{R.left + 40, R.top + 13};
      return TRUE;
    };
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
    HWND W = Check ? Button(BS_AUTOCHECKBOX, "", 80, 26) : Button(BS_PUSHBUTTON, "", 80, 26);
    TvkMainWnd* A = Check ? static_cast<TvkMainWnd*>(Adapt<TvkCheckBoxWnd>(W)) : Adapt<TvkBtnWnd>(W);
    RECT R{};
    GetWindowRect(W, &R);
    for (bool Inside : {false, true}) {
      Platform().GetCursorPos = [R, Inside](POINT* P) {
        *P = Inside ? POINT{R.left + 5, R.top + 5} : POINT{R.right + 20, R.bottom + 20};
        return TRUE;
      };
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

// A check box's focus and its Space key change what the system draws at once: the skinned look is drawn again
// over it, so the screen shows exactly the box's own print.
TEST_F(Buttons, ACheckBoxShowsItsSkinnedLookAfterFocusAndTheSpaceKey) {
  HWND W = Button(BS_AUTOCHECKBOX, "Port", 100, 26);
  Adapt<TvkCheckBoxWnd>(W);
  auto SameAsPrint = [&](const char* What) {
    auto Shown = ScreenOf(W);
    auto Printed = PrintedWindow(W);
    int Differ = 0;
    for (int y = 0; y < Shown->Height(); ++y)
      for (int x = 0; x < Shown->Width(); ++x) Differ += Rgb(Shown->Px(x, y)) != Rgb(Printed->Px(x, y));
    EXPECT_EQ(0, Differ) << What;
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
}

}  // namespace
