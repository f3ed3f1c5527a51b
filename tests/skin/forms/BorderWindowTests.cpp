// The extended border window: what it shows and where (the whole form while the form fades or flies), its region
// and the form's own coming back, its own hit test, the edge double-click stretch, and clicks on the shadow.
#include <gtest/gtest.h>

#include <vector>

#include "BorderTestSupport.h"
#include "FormTestSupport.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormAnimations.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/vkPixelOps.h"
#include "framework/ExtCtrls.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/WindowProbe.h"

using namespace form_test;


TEST(BorderWindow, ShowsTheFrameAndShadowPremultipliedAroundTheForm) {
  TBorder T;
  ASSERT_NE(T.B(), nullptr);
  ASSERT_GT(T.Mg.Left, 6);  // SOLID's shadow reaches beyond the sizing band
  const RECT FW = WindowRectOf(T.F->Handle());
  const auto Calls = T.Rec.For(T.L());
  ASSERT_FALSE(Calls.empty());
  const auto& Last = Calls.back();
  EXPECT_EQ(TPoint(Last.pos), TPoint(FW.left - T.B()->GetLeftIndent(), FW.top - T.B()->GetTopIndent()));
  EXPECT_EQ(Last.size.cx, T.P->FrameCache()->Width());
  EXPECT_EQ(Last.size.cx, 300 + T.Mg.Left + T.Mg.Right);
  EXPECT_EQ(Last.alpha, 255);
  // the shadow comes from the skin's border image, handed over premultiplied; the frame is opaque
  TBitmap* Ext = T.M->ExtBorderBitmap(true);
  const uint32_t Cache = GetPixel32(T.P->FrameCache(), 1, Last.size.cy / 2);
  EXPECT_EQ(Cache & 0xFFFFFF, GetPixel32(Ext, 1, Ext->Height() / 2) & 0xFFFFFF);
  EXPECT_EQ(Last.Pixel(1, Last.size.cy / 2), Premultiplied(Cache));
  EXPECT_EQ(Last.Pixel(T.Mg.Left + 1, Last.size.cy / 2) >> 24, 255u);

  // the form's own opacity goes to the border window
  T.F->SetAlphaBlend(true);
  T.F->SetAlphaBlendValue(150);
  T.Update();
  EXPECT_EQ(T.Rec.For(T.L()).back().alpha, 150);
}

TEST(BorderWindow, RegionKeepsTheFrameAndLetsTheClientShowThrough) {
  TBorder T;
  HRGN R = T.B()->BuildRegion();
  ASSERT_NE(R, nullptr);
  EXPECT_TRUE(PtInRegion(R, 1, 1));
  EXPECT_TRUE(PtInRegion(R, T.W() / 2, T.Mg.Top + 5));                    // caption
  EXPECT_FALSE(PtInRegion(R, T.P->GetClientOffsetLeft() + 50, T.H() / 2));  // client hole
  DeleteObject(R);
}

TEST(BorderWindow, HitTestOfButtonsBandsCaptionAndShadow) {
  TBorder T;
  const TRect& C = T.P->ButtonClose.Rect;
  const int Wd = std::max(T.M->SkinData().BorderWidth, 6);
  const int W = T.W(), H = T.H();
  const TRect& Mg = T.Mg;
  struct Row {
    int X, Y, Code;
  };
  for (const Row& R : {Row{Centre(C).x, Centre(C).y, HTCLOSE},
                       Row{(T.P->ButtonMax.Rect.Left + T.P->ButtonMax.Rect.Right) / 2, C.Top + 2, HTMAXBUTTON},
                       Row{(T.P->ButtonMin.Rect.Left + T.P->ButtonMin.Rect.Right) / 2, C.Top + 2, HTMINBUTTON},
                       Row{W / 2, Mg.Top + 6, HTCAPTION},
                       Row{W / 2, Mg.Top - Wd, HTTOP},
                       Row{W / 2, Mg.Top - Wd - 1, HTCAPTION},  // above the band: still the caption strip
                       Row{W / 2, H - Mg.Bottom + Wd, HTBOTTOM},
                       Row{Mg.Left - Wd, H / 2, HTLEFT},
                       Row{Mg.Left - Wd - 1, H / 2, HTTRANSPARENT},
                       Row{W - Mg.Right + 1, H / 2, HTRIGHT},
                       Row{Mg.Left - 1, Mg.Top - 1, HTTOPLEFT},
                       Row{W - Mg.Right + 1, H - Mg.Bottom + 1, HTBOTTOMRIGHT}}) {
    EXPECT_EQ(T.Hit(R.X, R.Y), R.Code) << R.X << "," << R.Y;
  }
  // the shadow beyond max(BORDERWIDTH, 6) takes no mouse: transparent to the system
  EXPECT_EQ(T.Send(WM_NCHITTEST, 1, H / 2, 0), HTTRANSPARENT);
  EXPECT_EQ(T.Send(WM_NCHITTEST, Mg.Left - Wd, H / 2, 0), HTOBJECT);
}

TEST(BorderWindow, EdgeDoubleClickStretchesToTheWorkAreaAndBack) {
  TBorder T;
  RECT Work{};
  GetFormWorkArea(T.F.get(), Work);
  const int Top = T.F->Top(), Height = T.F->Height(), Left = T.F->Left(), Width = T.F->Width();
  T.Send(WM_NCLBUTTONDBLCLK, T.W() / 2, T.Mg.Top - 2);
  EXPECT_NE(T.P->FormStateFlags() & fsfRestoreHeight, 0u);
  EXPECT_LE(T.F->Top(), Work.top + 30);
  EXPECT_GE(T.F->Top() + T.F->Height(), Work.bottom - 30);
  EXPECT_EQ(T.F->Width(), Width);
  T.Send(WM_NCLBUTTONDBLCLK, T.W() / 2, T.H() - T.Mg.Bottom + 2);
  EXPECT_EQ(T.P->FormStateFlags() & fsfRestoreHeight, 0u);
  EXPECT_EQ(T.F->Top(), Top);
  EXPECT_EQ(T.F->Height(), Height);
  // the left and right edges do the same for the width
  T.Send(WM_NCLBUTTONDBLCLK, T.Mg.Left - 2, T.H() / 2);
  EXPECT_NE(T.P->FormStateFlags() & fsfRestoreWidth, 0u);
  EXPECT_GT(T.F->Width(), Width);
  T.Send(WM_NCLBUTTONDBLCLK, T.W() - T.Mg.Right + 2, T.H() / 2);
  EXPECT_EQ(T.F->Left(), Left);
  EXPECT_EQ(T.F->Width(), Width);
  // while stretched, a shrink that does not activate is left as asked, the stretch still to be undone
  T.Send(WM_NCLBUTTONDBLCLK, T.W() / 2, T.Mg.Top - 2);
  const TRect Asked(Left + 10, T.F->Top(), Left + Width - 30, T.F->Top() + T.F->Height() - 40);
  SetWindowPos(T.F->Handle(), nullptr, Asked.Left, Asked.Top, Asked.Width(), Asked.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(TRect(WindowRectOf(T.F->Handle())), Asked);
  EXPECT_NE(T.P->FormStateFlags() & fsfRestoreHeight, 0u);
}

TEST(BorderWindow, ThePointerOverItsTitleElementsMakesEachHot) {
  TBorder T;
  T.P->TitleButtons()->Add();
  T.P->TitleButtons()->Add();
  T.Update();
  struct Row {
    POINT At;
    int Hot;  // -1: no element
  };
  for (const Row& R : {Row{Centre(T.P->ButtonClose.Rect), HTCLOSE}, Row{Centre(T.P->ButtonMin.Rect), HTMINBUTTON},
                       Row{Centre(T.P->TitleButtons()->Items(0)->Data.Rect), htUserButton},
                       Row{Centre(T.P->TitleButtons()->Items(1)->Data.Rect), htUserButton + 1},
                       Row{POINT{T.W() / 2, T.Mg.Top + 6}, -1}}) {
    T.Send(WM_NCMOUSEMOVE, R.At.x, R.At.y);
    EXPECT_EQ(T.P->HotElement(), R.Hot) << R.At.x << "," << R.At.y;
  }
}

TEST(BorderWindow, PressesGoToTheOwnerWithMinusOneUnlessTheCaptionWasPressed) {
  TBorder T;
  std::vector<WPARAM> Codes;
  TWndMethod Saved = T.F->WindowProc;
  T.F->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_NCLBUTTONDOWN) Codes.push_back(M.WParam);
    Saved(M);
  };
  T.Send(WM_NCLBUTTONDOWN, Centre(T.P->ButtonClose.Rect));
  T.B()->CaptionPressed = true;
  T.Send(WM_NCLBUTTONDOWN, Centre(T.P->ButtonClose.Rect));
  T.F->WindowProc = Saved;
  ASSERT_EQ(Codes.size(), 2u);
  EXPECT_EQ(Codes[0], static_cast<WPARAM>(-1));
  EXPECT_EQ(Codes[1], static_cast<WPARAM>(HTCLOSE));
}

TEST(BorderWindow, NoUpdateWhileTheFormsLeftLagsBehindItsWindowOrItsUpdatesAreLocked) {
  TBorder T;
  size_t During = 0, After = 0;
  TWndMethod Saved = T.F->WindowProc;
  T.F->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_WINDOWPOSCHANGED && T.B() != nullptr) {
      // the window moved, the form's Left not yet
      const size_t Before = T.Rec.For(T.L()).size();
      T.Update();
      During = T.Rec.For(T.L()).size() - Before;
    }
    Saved(M);
  };
  T.F->SetBounds(T.F->Left(), T.F->Top() + 1, T.F->Width(), T.F->Height());  // same left: updates
  EXPECT_EQ(During, 1u);
  T.F->SetBounds(T.F->Left() + 30, T.F->Top(), T.F->Width(), T.F->Height());
  EXPECT_EQ(During, 0u);
  T.F->WindowProc = Saved;
  const size_t Before = T.Rec.For(T.L()).size();
  T.Update();
  After = T.Rec.For(T.L()).size() - Before;
  EXPECT_EQ(After, 1u);
  // a lock holds even when the updating mark was cleared meanwhile (an activation clears it)
  T.P->SkinData()->LockUpdates();
  T.P->SkinData()->Updating = false;
  T.Update();
  EXPECT_EQ(T.Rec.For(T.L()).size() - Before, 1u);
  T.P->SkinData()->UnlockUpdates(false);
}

TEST(BorderWindow, MaximisedPictureEndsAtTheWorkArea) {
  TBorder T;
  T.F->SetWindowState(wsMaximized);
  ASSERT_TRUE(IsZoomed(T.F->Handle()));
  ASSERT_NE(T.B(), nullptr);
  T.Update();
  RECT Work{};
  GetFormWorkArea(T.F.get(), Work);
  const RECT LR = T.LR();
  EXPECT_EQ(LR.bottom, Work.bottom);
  EXPECT_LT(T.H(), T.P->FrameCache()->Height()) << "the picture is cut, the cache is not";
  const testing_support::LayeredCall Last = T.Rec.For(T.L()).back();  // a copy: For() returns a temporary
  EXPECT_EQ(Last.size.cy, T.H());
  HRGN R = T.B()->BuildRegion();
  ASSERT_NE(R, nullptr);
  RECT Box{};
  GetRgnBox(R, &Box);
  DeleteObject(R);
  EXPECT_LE(Box.bottom, T.H()) << "nothing of the client below the cut comes back into the region";
}

TEST(BorderWindow, DraggedDuringAMoveFadeItSnapsTheFormToTheWorkArea) {
  TBorder T;
  T.P->SetScreenSnap(true);
  ASSERT_EQ(T.P->SnapBuffer(), 10);
  RECT Work{};
  GetFormWorkArea(T.F.get(), Work);
  const int Indent = T.B()->GetLeftIndent();
  T.P->SetFormStateFlags(T.P->FormStateFlags() | fsfMoveFade);
  struct Row {
    int Gap, Want;
  };
  for (const Row& R : {Row{7, 0}, Row{11, 11}}) {
    SetWindowPos(T.L(), nullptr, Work.left + R.Gap - Indent, Work.top + 100, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(T.LR().left, Work.left + R.Want - Indent) << R.Gap;
    // the provider remembers where the border window went (the move fade puts it back there)
    EXPECT_EQ(TvkProviderEffects::BorderPos(T.P), TPoint(T.LR().left, T.LR().top)) << R.Gap;
  }
  T.P->SetFormStateFlags(T.P->FormStateFlags() & ~fsfMoveFade);
  SetWindowPos(T.L(), nullptr, Work.left + 7 - Indent, Work.top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(T.LR().left, T.F->Left() - Indent) << "outside a move fade it goes back around the form, unsnapped";
}

TEST(BorderWindow, StayOnTopFormKeepsItsBorderRightUnderItAfterAMove) {
  TBorder T;
  T.F->SetFormStyle(fsStayOnTop);
  T.Update();
  ASSERT_NE(T.B(), nullptr);
  const HWND O = T.F->Handle();
  // this program's nearest window above or below the form: another test program's may come in between at any time
  const auto Beside = [&] {
    return testing_support::OwnWindowAbove(T.L()) == O || testing_support::OwnWindowAbove(O) == T.L();
  };
  // sent to the bottom, the border window comes back beside its form at once
  SetWindowPos(T.L(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  EXPECT_TRUE(Beside()) << testing_support::OwnWindowAbove(O) << " " << T.L();
  // after a move too (the X server's restacking under load may reach the windows a little later)
  T.F->SetBounds(T.F->Left() + 20, T.F->Top() + 10, T.F->Width(), T.F->Height());
  EXPECT_TRUE(testing_support::PumpUntil(Beside, 2000)) << testing_support::OwnWindowAbove(O) << " " << T.L();
}

TEST(BorderWindow, HideAnimationTakesTheBorderWindowAndANewOneComesAfter) {
  TBorder T;
  ASSERT_NE(FormServices.ReleaseBorderLayeredWindow, nullptr);
  TvkGlowForm* Old = T.B()->BorderWindow;
  const HWND OldWnd = T.L();
  TvkGlowForm* Taken = FormServices.ReleaseBorderLayeredWindow(T.B());
  ASSERT_EQ(Taken, Old);
  EXPECT_EQ(T.B()->BorderWindow, nullptr);
  EXPECT_FALSE(T.B()->Updating);
  // the window is the caller's now: its owner and procedure are its own again
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(OldWnd, GWL_HWNDPARENT)), T.B()->SavedParent);
  T.Update();
  ASSERT_NE(T.B()->BorderWindow, nullptr);
  EXPECT_NE(T.B()->BorderWindow, Taken);
  EXPECT_FALSE(T.Rec.For(T.L()).empty());
  Taken->Free();
}

TEST(BorderWindow, MoveFadeHandsTheCachePremultipliedAndLeavesItStraight) {
  TBorder T;
  T.M->AnimEffects()->BlendOnMoving()->SetActive(true);
  T.M->AnimEffects()->BlendOnMoving()->SetBlendValue(100);
  T.M->AnimEffects()->BlendOnMoving()->SetTime(36);
  const uint32_t Straight = 0x80C08040;
  int Steps = 0;
  FormEffectSeams().EnterMoveLoop = [&](TCustomForm*) {
    auto* Timer = dynamic_cast<TvkMoveTimer*>(TvkProviderEffects::AnimTimer(T.P));
    ASSERT_NE(Timer, nullptr);
    ASSERT_EQ(Timer->BorderForm, T.B());
    SetPixel32(T.P->FrameCache(), 1, 1, Straight);
    T.Rec.calls.clear();
    Timer->DoStep();
    ++Steps;
    const auto Calls = T.Rec.For(T.L());
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].alpha, 255);
    EXPECT_EQ(Calls[0].Pixel(1, 1), Premultiplied(Straight));
    EXPECT_EQ(Calls[0].Pixel(1, 1), 0x80604020u);
    EXPECT_EQ(GetPixel32(T.P->FrameCache(), 1, 1), Straight);
  };
  StartMoveFade(T.P, true);
  EXPECT_EQ(Steps, 1);
}

TEST(BorderWindow, GoesWithTheFormsOwnRegionBackAndOnlyWhereTheManagerHasExtendedBorders) {
  TBorder T;
  const HWND W = T.F->Handle();
  T.P->SetAllowExtBorders(false);
  ASSERT_EQ(T.B(), nullptr);
  // the form is cut by its own skin region again, not left without one
  ASSERT_TRUE(HasWindowRegion(W));
  EXPECT_EQ(WindowRegionBox(W).bottom, T.F->Height());
  // allowing extended borders again gives a border window only where the manager has them
  for (bool Managed : {false, true}) {
    T.P->SetAllowExtBorders(false);
    T.M->SetExtendedBorders(Managed);
    T.P->SetAllowExtBorders(true);
    EXPECT_EQ(T.B() != nullptr, Managed) << Managed;
  }
}

TEST(BorderWindow, MaximisedWithATallSkinCaptionItHangsTheCaptionAboveTheWindow) {
  // the skin's maximised caption taller than the system's by more than 4 pixels, or not
  for (bool Tall : {true, false}) {
    TBorder T;
    T.M->EditModel().SkinData.MaxHeight = GetSystemMetrics(SM_CYCAPTION) + (Tall ? 10 : 2);
    T.F->SetWindowState(wsMaximized);
    ASSERT_NE(T.B(), nullptr);
    EXPECT_EQ(TvkProviderEffects::CaptionZoom(T.P), Tall);
    T.Update();
    // the picture's client part lies on the form's client
    EXPECT_EQ(T.LR().top + T.P->GetClientOffsetTop(), T.F->ClientToScreen(POINT{0, 0}).y) << Tall;
  }
}

TEST(BorderWindow, WhileTheFormFadesOrFliesItShowsTheWholeForm) {
  TBorder T;
  // a windowed control in a colour of its own: the frame cache never holds it, a picture of the whole form does
  TPanel* Lime = Create<TPanel>(T.F.get());
  Lime->SetParent(T.F.get());
  Lime->SetBounds(20, 20, 40, 30);
  Lime->SetBevelOuter(bvNone);
  Lime->SetColor(clLime);
  const int X = T.P->GetClientOffsetLeft() + 30, Y = T.P->GetClientOffsetTop() + 30;
  for (uint32_t Flag : {fsfMoveFade, fsfMinimizing}) {
    T.P->SetFormStateFlags(T.P->FormStateFlags() | Flag);
    T.Update();
    ASSERT_FALSE(T.Rec.For(T.L()).empty());
    EXPECT_EQ(T.Rec.For(T.L()).back().Pixel(X, Y), Premultiplied(0xFF00FF00u)) << Flag;
    T.P->SetFormStateFlags(T.P->FormStateFlags() & ~Flag);
  }
}

TEST(BorderWindow, ItsWindowGoesWithAHideOrMinimiseWithoutEffectAndComesBackWithTheForm) {
  TBorder T;
  T.M->AnimEffects()->FormHide()->SetActive(false);
  T.M->AnimEffects()->Minimizing()->SetActive(false);
  T.F->Hide();
  testing_support::PumpPending();
  ASSERT_NE(T.B(), nullptr);
  EXPECT_TRUE(T.B()->BorderWindow == nullptr || !IsWindowVisible(T.L()));  // no frame or shadow left behind
  T.F->Show();
  testing_support::PumpPending();
  ASSERT_NE(T.B()->BorderWindow, nullptr);
  EXPECT_TRUE(IsWindowVisible(T.L()));
  // the activation the system hands to the border window (another program's window going hands it to the next
  // window in the z-order) goes on to the form, so the border window's end later activates nothing
  SetActiveWindow(T.L());
  EXPECT_EQ(GetActiveWindow(), T.F->Handle());
  EXPECT_EQ(GetFocus(), T.F->Handle());
  // a minimise lets the window go at once
  SendMessageA(T.F->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(IsIconic(T.F->Handle()));
  EXPECT_EQ(T.B()->BorderWindow, nullptr);
}

TEST(BorderWindow, InBorderModeOneTheCaptionIsPaintedOverTheExtendedBorder) {
  TBorder T;
  T.M->EditModel().SkinData.BorderMode = 1;
  auto Cache = [&] {
    RepaintFrame(T.P);
    TBitmap* C = T.P->FrameCache();
    std::vector<uint32_t> Px;
    for (int Y = 0; Y < C->Height(); ++Y)
      for (int X = 0; X < C->Width(); ++X) Px.push_back(GetPixel32(C, X, Y));
    return Px;
  };
  T.F->SetCaption("");
  const auto Bare = Cache();
  T.F->SetCaption("WWWWWWWWWWWW");
  EXPECT_NE(Cache(), Bare);  // the caption's text shows
}

TEST(BorderWindow, AFormAboutToShrinkHasItsFrameCutToTheNewSizeFirst) {
  struct Row {
    const char* Name;
    int W, H;
    UINT Flags;
    bool Cut;
  };
  for (const Row& R : {Row{"shrink", 200, 120, SWP_NOACTIVATE | SWP_NOZORDER, true},
                       Row{"grow", 400, 300, SWP_NOACTIVATE | SWP_NOZORDER, false},
                       Row{"activating", 200, 120, SWP_NOZORDER, false},
                       Row{"size only", 200, 120, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE, false}}) {
    TBorder T;
    RECT Box{};
    // the border window's region once the provider has seen the change to come (the z-order step cannot be
    // seen here: the system keeps the owned border window above the form)
    T.F->WindowProc = [&, Own = T.F->WindowProc](TMessage& Msg) {
      const auto* WP = reinterpret_cast<const WINDOWPOS*>(Msg.LParam);
      const bool Coming = Msg.Msg == WM_WINDOWPOSCHANGING && WP->cx == R.W && WP->cy == R.H;
      Own(Msg);
      if (Coming) Box = WindowRegionBox(T.L());
    };
    const int LW = T.W(), LH = T.H();
    SetWindowPos(T.F->Handle(), nullptr, 210, 160, R.W, R.H, R.Flags);
    EXPECT_EQ(Box.right, R.Cut ? LW - (300 - R.W) : LW) << R.Name;
    EXPECT_EQ(Box.bottom, R.Cut ? LH - (200 - R.H) : LH) << R.Name;
  }
}

TEST(BorderWindow, MovedOrSizedByOthersItGoesBackAroundTheForm) {
  TBorder T;
  const RECT Home = T.LR();
  struct Row {
    const char* Name;
    int X, Y, W, H;
    UINT Flags;
  };
  // after a minimise flight: its timer, ended, stays with the provider
  TvkProviderEffects::AnimTimer(T.P) = new TvkMinTimer(T.P, T.P);
  for (const Row& R : {Row{"sized", 0, 0, 100, 80, SWP_NOMOVE}, Row{"moved and sized", 10, 10, 500, 400, 0}}) {
    SetWindowPos(T.L(), nullptr, R.X, R.Y, R.W, R.H, R.Flags | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(TRect(T.LR()), TRect(Home)) << R.Name;
  }
}

TEST(BorderWindow, AfterACancelledCloseOrAHideSnapshotTakenBackThePointerOverTheFrameMovesNothing) {
  TBorder T;
  T.F->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
  const HWND W = T.F->Handle();
  for (bool Closed : {true, false}) {
    if (Closed) {
      SendMessageA(W, WM_CLOSE, 0, 0);
    } else {
      // the snapshot of a minimise to the parking place, and the restore that takes it back
      SetWindowPos(W, nullptr, -32000, -32000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageA(W, WM_SYSCOMMAND, SC_RESTORE, 0);
      T.F->SetBounds(200, 150, 300, 200);
    }
    ASSERT_TRUE(IsWindowVisible(W)) << Closed;
    const RECT Before = WindowRectOf(W);
    T.Send(WM_NCMOUSEMOVE, T.Mg.Left + 20, T.Mg.Top + 5);
    EXPECT_FALSE(T.B()->Moving) << Closed;
    EXPECT_EQ(TRect(WindowRectOf(W)), TRect(Before)) << Closed;
  }
  // taken back from the parking place by a move alone
  SetWindowPos(W, nullptr, -32000, -32000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  T.F->SetBounds(200, 150, 300, 200);
  EXPECT_FALSE(T.B()->Moving);
}

TEST(BorderWindow, TheMainFormsHidePictureGoesWithItsWindowAndTheFrameComesBackWithARestoreByState) {
  TBorder T;
  Application->FormCreated(T.F.get());
  // Windows (not Wine) tells the owned border window of its owner's minimise first: it keeps the form's last picture
  SendMessageA(T.L(), WM_SHOWWINDOW, 0, SW_PARENTCLOSING);
  T.F->SetWindowState(wsMinimized);
  T.F->SetWindowState(wsNormal);
  EXPECT_TRUE(T.B()->BorderWindow != nullptr && IsWindowVisible(T.L()));
}
