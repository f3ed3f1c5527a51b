// What the skinned frame answers under the mouse, and what presses and releases of its title buttons send.
#include <gtest/gtest.h>

#include <tuple>

#include <memory>
#include <vector>

#include "FormTestSupport.h"
#include "skin/forms/sSkinProviderSysMenu.h"

using namespace form_test;

namespace {

// Ends the system's move loop: the release it waits for.
HWND g_Dragged = nullptr;
void CALLBACK ReleaseTimer(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  PostMessageA(g_Dragged, WM_LBUTTONUP, 0, 0);
}

struct THit {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F;
  TsSkinProvider* P;
  explicit THit(TFormBorderStyle Style = bsSizeable, TBorderIcons Icons = {biSystemMenu, biMinimize, biMaximize})
      : F(NewForm(300, 200, Style)) {
    F->SetBorderIcons(Icons);
    F->HandleNeeded();  // new border icons made a new window
    P = Create<TsSkinProvider>(F.get());
    Relayout();
  }
  void Relayout() { RepaintFrame(P); }
  // The hit code of a window point.
  int At(int X, int Y) {
    const RECT R = WindowRectOf(F->Handle());
    return static_cast<int>(F->Perform(WM_NCHITTEST, 0, MAKELPARAM(R.left + X, R.top + Y)));
  }
  int AtCentre(const TRect& B) { return At(Centre(B).x, Centre(B).y); }
  // The provider's own answer, before the form's procedure is asked about the client area.
  int Own(int X, int Y) {
    const RECT R = WindowRectOf(F->Handle());
    TMessage Msg{WM_NCHITTEST, 0, MAKELPARAM(R.left + X, R.top + Y), 0};
    return P->HitTestAt(Msg);
  }
};

}  // namespace

TEST(HitTest, TitleButtonsBordersAndCaption) {
  THit H;
  EXPECT_EQ(H.AtCentre(H.P->ButtonClose.Rect), HTCLOSE);
  EXPECT_EQ(H.AtCentre(H.P->ButtonMax.Rect), HTMAXBUTTON);
  EXPECT_EQ(H.AtCentre(H.P->ButtonMin.Rect), HTMINBUTTON);
  const int Frame = GetSystemMetrics(SM_CXFRAME);
  for (const auto& [X, Y, Code] : {std::tuple{1, 100, HTLEFT}, {299, 100, HTRIGHT}, {150, 0, HTTOP}, {150, 199, HTBOTTOM},
                                   {0, 0, HTTOPLEFT}, {299, 199, HTBOTTOMRIGHT}, {150, Frame + 3, HTCAPTION}, {150, 120, HTCLIENT}})
    EXPECT_EQ(H.At(X, Y), Code) << X << "," << Y;
}

TEST(HitTest, MixesOfButtons) {
  struct Row {
    TBorderIcons Icons;
    std::vector<int> Codes;  // close, max, min, help rectangles in that order (0: not shown)
  };
  for (const Row& R : {Row{{biSystemMenu}, {HTCLOSE, 0, 0, 0}},
                       Row{{biSystemMenu, biHelp}, {HTCLOSE, 0, 0, HTHELP}},
                       Row{{biSystemMenu, biMaximize}, {HTCLOSE, HTMAXBUTTON, 0, 0}},
                       Row{{biSystemMenu, biMinimize, biMaximize, biHelp}, {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}},
                       Row{{}, {0, 0, 0, 0}}}) {
    THit H(bsSizeable, R.Icons);
    const TsCaptionButton* Buttons[4] = {&H.P->ButtonClose, &H.P->ButtonMax, &H.P->ButtonMin, &H.P->ButtonHelp};
    for (int i = 0; i < 4; ++i) {
      const TRect& B = Buttons[i]->Rect;
      if (R.Codes[i] == 0) {
        EXPECT_EQ(B.Right, B.Left) << R.Icons.Raw() << " button " << i;
        continue;
      }
      EXPECT_EQ(H.AtCentre(B), R.Codes[i]) << R.Icons.Raw() << " button " << i;
    }
  }
}

TEST(HitTest, UserButtonsComeAfterTheSystemOnes) {
  THit H;
  auto* B0 = static_cast<TsTitleButton*>(H.P->TitleButtons()->Add());
  auto* B1 = static_cast<TsTitleButton*>(H.P->TitleButtons()->Add());
  B1->SetEnabled(false);
  H.Relayout();
  EXPECT_EQ(H.AtCentre(B0->Data.Rect), htUserButton);
  EXPECT_EQ(H.AtCentre(B1->Data.Rect), HTCAPTION);  // disabled: the caption answers
  EXPECT_LT(B0->Data.Rect.Right, H.P->ButtonMin.Rect.Left);
  ASSERT_EQ(H.P->TitleElements().size(), 5u);
  EXPECT_EQ(H.P->TitleElements()[3].Kind, tekUserButton);
}

TEST(HitTest, MaximisedAndIconicForms) {
  THit H;
  H.F->Show();
  ShowWindow(H.F->Handle(), SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(H.F->Handle()));
  H.Relayout();
  EXPECT_EQ(H.P->ButtonMax.MaskKind, tmNorm);
  EXPECT_EQ(H.Own(1, 100), HTCLIENT);  // no sizing border on a maximised form
  ShowWindow(H.F->Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(H.F->Handle()));
  H.Relayout();
  EXPECT_EQ(H.P->ButtonMin.MaskKind, tmNorm);  // restore glyph on a minimised secondary form
  EXPECT_EQ(H.AtCentre(H.P->ButtonMin.Rect), HTMINBUTTON);  // even though minimising is not enabled now
}

TEST(TitleButtons, PressAndReleaseSendTheSystemCommand) {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F(NewForm());
  // the form's own method records the system commands instead of carrying them out
  auto Commands = std::make_shared<std::vector<WPARAM>>();
  TWndMethod Own = F->WindowProc;
  F->WindowProc = [Commands, Own](TMessage& Msg) {
    if (Msg.Msg == WM_SYSCOMMAND) {
      Commands->push_back(Msg.WParam & 0xFFF0);
      return;
    }
    Own(Msg);
  };
  auto* P = Create<TsSkinProvider>(F.get());
  F->Show();
  RepaintFrame(P);
  // the pointer through the seam: the display's own pointer is shared with tests running beside this one
  struct RestoreCursor {
    std::function<BOOL(POINT*)> Saved = Platform().GetCursorPos;
    ~RestoreCursor() { Platform().GetCursorPos = Saved; }
  } Restore;
  POINT Cursor{};
  FollowCursor(Cursor);
  auto Click = [&](int Code) {
    const TsCaptionButton* B = P->ButtonByCode(Code);
    const RECT R = WindowRectOf(F->Handle());
    Cursor = POINT{R.left + (B->Rect.Left + B->Rect.Right) / 2, R.top + (B->Rect.Top + B->Rect.Bottom) / 2};
    F->Perform(WM_NCLBUTTONDOWN, Code, 0);
    const bool Pressed = P->ElementPressed();
    F->Perform(WM_NCLBUTTONUP, Code, 0);
    return Pressed;
  };
  EXPECT_TRUE(Click(HTMINBUTTON));
  EXPECT_TRUE(Click(HTMAXBUTTON));
  EXPECT_TRUE(Click(HTCLOSE));
  EXPECT_FALSE(P->ElementPressed());
  const std::vector<WPARAM> Expected = {SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
  EXPECT_EQ(*Commands, Expected);
  // a disabled button is never pressed and sends nothing
  F->SetBorderIcons({biSystemMenu, biMinimize});
  RepaintFrame(P);
  Commands->clear();
  F->Perform(WM_NCLBUTTONDOWN, HTMAXBUTTON, 0);
  EXPECT_FALSE(P->ElementPressed());
  F->Perform(WM_NCLBUTTONUP, HTMAXBUTTON, 0);
  EXPECT_TRUE(Commands->empty());
  // a minimised form that is not the main form comes back through its minimise button
  ShowWindow(F->Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(F->Handle()));
  RepaintFrame(P);
  EXPECT_TRUE(Click(HTMINBUTTON));
  EXPECT_EQ(*Commands, std::vector<WPARAM>{SC_RESTORE});
}

TEST(TitleButtons, RightClickShowsTheMenuOnlyAfterACaptionPress) {
  THit H;
  auto Loops = std::make_shared<int>(0);
  H.F->Show();
  H.Relayout();
  ASSERT_NE(H.P->SystemMenu(), nullptr);
  H.P->SystemMenu()->OnPopup = [Loops](TObject*) { ++*Loops; };
  const RECT R = WindowRectOf(H.F->Handle());
  const LPARAM Caption = MAKELPARAM(R.left + 150, R.top + GetSystemMetrics(SM_CXFRAME) + 3);
  // the menu's modal loop is ended from a timer of this thread
  const UINT_PTR Timer = SetTimer(nullptr, 0, 50, EndMenuTimer);
  H.F->Perform(WM_NCRBUTTONUP, HTCAPTION, Caption);
  EXPECT_EQ(*Loops, 0);
  H.F->Perform(WM_NCRBUTTONDOWN, HTCAPTION, Caption);
  H.F->Perform(WM_NCRBUTTONUP, HTCAPTION, Caption);
  EXPECT_EQ(*Loops, 1);
  KillTimer(nullptr, Timer);
}

TEST(TitleButtons, ACaptionPressMovesTheFormThroughTheSystemLoopUntilTheRelease) {
  TSkinnedForm Skinned;
  auto& [M, F, P] = Skinned;
  F->Show();
  SetActiveWindow(F->Handle());
  RepaintFrame(P);
  // what reaches the form on top of the provider: the move command and the loop's start and end
  // (and the hot element as the move starts: the shared pointer may make another one hot later)
  auto Seen = std::make_shared<std::vector<UINT>>();
  auto HotAtMove = std::make_shared<int>(0);
  const TWndMethod Provider = F->WindowProc;
  F->WindowProc = [Seen, HotAtMove, Provider, P](TMessage& Msg) {
    if (Msg.Msg == WM_ENTERSIZEMOVE || Msg.Msg == WM_EXITSIZEMOVE) Seen->push_back(Msg.Msg);
    if (Msg.Msg == WM_SYSCOMMAND) {
      Seen->push_back(static_cast<UINT>(Msg.WParam));
      *HotAtMove = P->HotElement();
    }
    Provider(Msg);
  };
  P->SetHotElement(HTCLOSE, false);
  const RECT R = WindowRectOf(F->Handle());
  g_Dragged = F->Handle();
  const UINT_PTR Timer = SetTimer(nullptr, 0, 50, ReleaseTimer);
  F->Perform(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(R.left + 150, R.top + GetSystemMetrics(SM_CXFRAME) + 3));
  KillTimer(nullptr, Timer);
  const std::vector<UINT> Expected = {SC_MOVE | HTCAPTION, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE};
  EXPECT_EQ(*Seen, Expected);
  EXPECT_EQ(*HotAtMove, -1);  // the hot close button was let go
  EXPECT_FALSE(P->ElementPressed());
  F->WindowProc = Provider;
}
