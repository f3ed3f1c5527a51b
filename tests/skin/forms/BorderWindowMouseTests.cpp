// The border window's mouse as the form sees it: presses and releases handed on with the border window's own
// codes, a maximised form's caption drag, client clicks on and off the shadow, the popups a press closes, the
// hot graphic control let go, double clicks on title-bar items and the grip between two scroll bars.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "BorderTestSupport.h"
#include "framework/ExtCtrls.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/forms/vkTitleBar.h"

using namespace form_test;

TEST(BorderWindowMouse, PressAndReleaseReachTheFormWithTheBorderWindowsCodes) {
  TBorder T;
  T.KeepCommands = true;
  struct Row {
    const char* What;
    POINT Own;
    WPARAM Command;
  };
  for (const Row& R : {Row{"close", Centre(T.P->ButtonClose.Rect), SC_CLOSE},
                       Row{"minimise", Centre(T.P->ButtonMin.Rect), SC_MINIMIZE},
                       Row{"caption", {T.W() / 2, T.Mg.Top + 6}, SC_MOVE},
                       Row{"left edge", {T.Mg.Left - 2, T.H() / 2}, SC_SIZE}}) {
    T.Commands.clear();
    PutCursor(T.At(R.Own.x, R.Own.y));
    T.Send(WM_NCLBUTTONDOWN, R.Own.x, R.Own.y);
    T.Send(WM_NCLBUTTONUP, R.Own.x, R.Own.y);
    EXPECT_EQ(T.Commands, std::vector<WPARAM>{R.Command}) << R.What;
  }
}

TEST(BorderWindowMouse, MaximisedCaptionDragRestoresUnderTheCursorFromSixPixelsAndMovesOn) {
  TBorder T;
  T.KeepCommands = true;
  struct Row {
    int Down;     // the press below the caption's top
    int DX, DY;   // where the cursor goes from the press
    bool Above;   // onto a monitor above the primary one (y -40): the form follows there
  };
  for (const Row& R : {Row{3, 6, 0, false}, Row{12, 40, 30, false}, Row{4, -20, 0, true}}) {
    T.F->SetWindowState(wsMaximized);
    ASSERT_TRUE(IsZoomed(T.F->Handle()));
    const RECT Max = WindowRectOf(T.F->Handle());
    const RECT LR = T.LR();
    const POINT Press{LR.left + T.W() / 3, LR.top + T.Mg.Top + R.Down};
    ASSERT_EQ(T.B()->HitTest(Press), HTCAPTION);
    SendMessageA(T.L(), WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(Press.x, Press.y));
    EXPECT_TRUE(T.B()->CaptionPressed);
    SendMessageA(T.L(), WM_NCMOUSEMOVE, HTOBJECT, MAKELPARAM(Press.x + 5, Press.y));
    ASSERT_TRUE(IsZoomed(T.F->Handle())) << "less than six pixels";
    const POINT To{Press.x + R.DX, R.Above ? -40 : Press.y + R.DY};
    PutCursor(To);
    T.Commands.clear();
    SendMessageA(T.L(), WM_NCMOUSEMOVE, HTOBJECT, MAKELPARAM(To.x, To.y));
    EXPECT_EQ(T.F->WindowState(), wsNormal);
    // the held button goes on moving the restored form, in the system's move loop
    EXPECT_EQ(T.Commands, std::vector<WPARAM>{SC_MOVE}) << R.Down;
    EXPECT_FALSE(T.B()->CaptionPressed);
    // the cursor lies on the restored caption as far below its top and as far along the window as it took it
    const RECT Now = T.LR();
    EXPECT_EQ(T.B()->HitTest(To), HTCAPTION) << R.Down;
    EXPECT_EQ(To.y - (Now.top + T.Mg.Top), R.Down) << R.Down;
    const RECT FW = WindowRectOf(T.F->Handle());
    const double Along = static_cast<double>(Press.x - Max.left) / (Max.right - Max.left);
    EXPECT_NEAR(To.x - FW.left, Along * (FW.right - FW.left), 1.0) << R.Down;
    ResetPlatform();
  }
}

TEST(BorderWindowMouse, ClientClicksCutAHoleOnlyOnTheShadow) {
  TBorder T;
  struct Row {
    int X;
    bool Hole;
  };
  // client points of the border window (its own coordinates), not screen points
  for (const Row& R : {Row{T.Mg.Left + 2, false}, Row{1, true}}) {
    T.B()->RegionChanged = false;
    T.B()->UpdateBorderWindow(true, 255);
    SendMessageA(T.L(), WM_LBUTTONDOWN, 0, MAKELPARAM(R.X, T.H() / 2));
    EXPECT_EQ(T.B()->RegionChanged, R.Hole) << R.X;
    EXPECT_EQ(InWindowRegion(T.L(), R.X, T.H() / 2), !R.Hole) << R.X;
    EXPECT_TRUE(InWindowRegion(T.L(), R.X + 1, T.H() / 2)) << R.X;  // a hole of one pixel: the next click reaches below
  }
}

TEST(BorderWindowMouse, PressOnTheFrameClosesThePopupsAndLetsGoOfTheHotControl) {
  TBorder T;
  static std::vector<TObject*> Closed;
  Closed.clear();
  ProviderParts.ClosePopups = [](TObject* Sender) { Closed.push_back(Sender); };
  T.KeepCommands = true;
  T.Send(WM_NCLBUTTONDOWN, 1, T.H() / 2);  // the shadow: nothing
  EXPECT_TRUE(Closed.empty());
  T.Send(WM_NCLBUTTONDOWN, T.W() / 2, T.Mg.Top + 6);
  T.Send(WM_NCLBUTTONUP, T.W() / 2, T.Mg.Top + 6);
  ProviderParts.ClosePopups = nullptr;
  ASSERT_FALSE(Closed.empty());
  for (TObject* S : Closed) EXPECT_EQ(S, T.P);
  // the pointer moving over the frame or the shadow leaves no graphic control of the form hot
  for (UINT Msg : {WM_NCMOUSEMOVE, WM_MOUSEMOVE}) {
    T.M->ChangeHotGraphicControl(T.F.get());
    if (Msg == WM_NCMOUSEMOVE) T.Send(Msg, T.W() / 2, T.Mg.Top + 6);
    else SendMessageA(T.L(), Msg, 0, MAKELPARAM(1, T.H() / 2));
    EXPECT_EQ(T.M->HotGraphicControl(), nullptr) << Msg;
  }
}

TEST(BorderWindowMouse, DoubleClickOnATitleBarItemRunsItsClick) {
  TBorder T;
  TsTitleBar* Bar = Create<TsTitleBar>(T.F.get());
  TvkTitleBarItem* It = AddTitleItem(Bar, bsButton);
  int Clicks = 0;
  It->OnClick = [&](TObject*) { ++Clicks; };
  T.P->SetTitleBar(Bar);
  T.Update();
  const POINT Mid = Centre(It->Rect);
  ASSERT_GT(It->Rect.Right, It->Rect.Left);
  ASSERT_EQ(T.Hit(Mid.x, Mid.y), htTitleBarItem);
  T.Send(WM_NCLBUTTONDBLCLK, Mid);
  EXPECT_EQ(Clicks, 1);
  It->SetEnabled(false);
  T.Send(WM_NCLBUTTONDBLCLK, Mid);
  EXPECT_EQ(Clicks, 1) << "a disabled item";
}

TEST(BorderWindowMouse, TheSquareBetweenTwoShownScrollBarsIsAGrip) {
  TBorder T;
  ASSERT_TRUE(T.M->MaskIndexInRange(T.M->ConstData().GripImage));
  // the bars' adapter keeps them right of and below the client: the square beyond its corner
  const TRect C = T.B()->OwnerClientRect();
  const POINT Corner = T.At(C.Right + 2, C.Bottom + 2);
  TObject Adapter;
  TsSkinProviderAccess::ScrollAdapter(T.P) = &Adapter;
  for (bool Shown : {false, true}) {
    static bool g_Shown;
    g_Shown = Shown;
    ProviderParts.ScrollBarShown = [](TObject*, bool Vertical) {
      return g_Shown ? GetSystemMetrics(Vertical ? SM_CXVSCROLL : SM_CYHSCROLL) : 0;
    };
    EXPECT_EQ(T.B()->HitTest(Corner), Shown ? HTBOTTOMRIGHT : HTTRANSPARENT) << Shown;
  }
  ProviderParts.ScrollBarShown = nullptr;
  TsSkinProviderAccess::ScrollAdapter(T.P) = nullptr;
}
