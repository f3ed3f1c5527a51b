// Stand-alone scroll bar controls: part geometry, the range taken from SBM_SETSCROLLINFO, the part states under
// Wine's own tracking loop, and the parts painted from the scroll-bar elements.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkSBWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "tests/skin/core/engine_support.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"

using namespace adapter_test;

namespace {

TEST(SBControlGeometry, ThumbFromPageAndPositionAndBack) {
  struct Case {
    int Len, Arrow, Min, Max, Page, Pos;
    int ExpArrow, ExpStart, ExpThumb;
  } Cases[] = {
      {200, 17, 0, 100, 0, 0, 17, 17, 16},     // no page: the smallest thumb, at the first arrow
      {200, 17, 0, 100, 0, 100, 17, 167, 16},  // at the maximum it touches the second arrow
      {200, 17, 0, 99, 50, 50, 17, 100, 83},   // half a page: half the track
      {200, 17, 0, 99, 100, 0, 17, 17, 166},   // one page covers the track: no range left, centred
      {20, 17, 0, 10, 0, 5, 10, 2, 16},        // arrows take half the control at most
      {200, 17, 5, 5, 0, 5, 17, 92, 16},       // an empty range centres the thumb
  };
  for (const Case& C : Cases) {
    const TvkSBGeometry G = SBControlGeometry(C.Len, C.Arrow, C.Min, C.Max, C.Page, C.Pos);
    EXPECT_EQ(C.ExpArrow, G.Arrow) << C.Len << "/" << C.Page << "/" << C.Pos;
    EXPECT_EQ(C.ExpThumb, G.ThumbLength) << C.Len << "/" << C.Page << "/" << C.Pos;
    if (C.Page != 100) {
      EXPECT_EQ(C.ExpStart, G.ThumbStart) << C.Len << "/" << C.Page << "/" << C.Pos;
    }
    // The position at the thumb's centre is the position it shows.
    if (C.Len - 2 * G.Arrow > G.ThumbLength) {
      EXPECT_EQ(C.Pos, SBControlPositionAt(G, G.ThumbStart + G.ThumbLength / 2, C.Min, C.Max, C.Page));
    }
  }
}

class SBControls : public HostedAdapterTest<> {
protected:
  TvkSBWnd* Bar(DWORD Style, int W, int H, HWND* Out) {
    *Out = NewWindow("SCROLLBAR", Parent, WS_VISIBLE | Style, 10, 10, W, H);
    SetScrollRange(*Out, SB_CTL, 0, 100, FALSE);
    return Adapt<TvkSBWnd>(*Out);
  }
  void CursorAt(HWND W, int X, int Y) {
    POINT P{X, Y};
    ClientToScreen(W, &P);
    FakeCursorAt(P);
  }
};

TEST_F(SBControls, RangeFromScrollInfoIsKeptSound) {
  HWND W;
  auto* A = Bar(SBS_HORZ, 200, 17, &W);
  EXPECT_EQ("TRANSPARENT", A->SkinData->SkinSection());
  EXPECT_EQ(100, A->SBMax);
  SCROLLINFO SI{sizeof SI, SIF_RANGE | SIF_PAGE | SIF_POS, 10, 5, 3, 7, 0};  // max below min
  SendMessageA(W, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&SI));
  EXPECT_EQ(0, A->SBMin);
  EXPECT_EQ(0, A->SBMax);
  EXPECT_EQ(1, A->SBPage);  // the page is cut to the range
  EXPECT_EQ(0, A->SBPos);
  SI = SCROLLINFO{sizeof SI, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 50, 80, 40, 0};
  SendMessageA(W, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&SI));
  EXPECT_EQ(51, A->SBPage);
  EXPECT_EQ(0, A->SBPos);  // a page over the whole range leaves no place to move to
  EXPECT_EQ(A->SBPos, A->ShownPos);
  // A square control (a size box) passes the message on untaken.
  HWND Sq;
  auto* B = Bar(SBS_HORZ, 17, 17, &Sq);
  const int Max = B->SBMax;
  SendMessageA(Sq, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&SI));
  EXPECT_EQ(Max, B->SBMax);
}

TEST_F(SBControls, PartStatesUnderTheSystemsTrackingLoop) {
  HWND W;
  auto* A = Bar(SBS_HORZ, 200, 17, &W);
  A->CalcParts();
  const TRect Thumb = A->ThumbRect;
  // Wine's bar runs its own loop on a press: the release reaches the adapter as WM_CAPTURECHANGED, never as
  // WM_LBUTTONUP, and no WM_NCHITTEST comes during the drag.
  const int Arrow = A->SecondArrowRect.Left + 2;
  CursorAt(W, Arrow, 8);
  PostMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(Arrow, 8));
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Thumb.Left + 2, 8));  // returns once the loop ended
  EXPECT_EQ(TvkSBWnd::spReleased, A->PressedPart);
  EXPECT_EQ(0, A->ThumbState);
  EXPECT_EQ(1, A->SecondArrowState);  // let go over the arrow: it is hot
  // Hover: an arrow hot, the whole bar hot with it; elsewhere back to normal.
  POINT P{A->FirstArrowRect.Left + 2, 8};
  ClientToScreen(W, &P);
  A->PerformMessage(WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
  EXPECT_EQ(1, A->FirstArrowState);
  EXPECT_EQ(0, A->SecondArrowState);
  EXPECT_EQ(1, A->TrackBeforeState);
  EXPECT_EQ(1, A->TrackAfterState);
  A->PerformMessage(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(0, A->FirstArrowState + A->TrackBeforeState + A->TrackAfterState + A->ThumbState);
  // A disabled bar ignores presses.
  EnableWindow(W, FALSE);
  A->MouseDown(TPoint(A->FirstArrowRect.Left + 2, 8));
  EXPECT_EQ(0, A->FirstArrowState);
  EXPECT_EQ(0, A->PositionAt(TPoint(100, 8)));
}

TEST_F(SBControls, PartsPaintedWithTheHotBarAndTheSquareBox) {
  HWND W;
  auto* A = Bar(SBS_HORZ, 200, 17, &W);
  SetScrollPos(W, SB_CTL, 50, FALSE);
  SCROLLINFO SI{sizeof SI, SIF_POS, 0, 0, 0, 50, 0};
  SendMessageA(W, SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&SI));
  A->CalcParts();
  auto D = PrintedWindow(W, 0x00123456);
  const int Before = A->TrackBeforeRect.Left + 2, After = A->TrackAfterRect.Right - 2, Thumb = A->ThumbRect.Left + 1;
  // the arrows, the track before and after the thumb, the thumb
  ExpectPixels(*D,
               {{1, 1, 0x550001}, {198, 1, 0x660001}, {Before, 1, 0x110001}, {After, 1, 0x220001}, {Thumb, 1, 0x990001}});
  A->PerformMessage(CM_MOUSEENTER, 0, 0);
  D = PrintedWindow(W, 0x00123456);
  ExpectPixels(*D, {{Before, 1, 0x114001}, {After, 1, 0x224001}, {Thumb, 1, 0x990001}});
  HWND Sq;
  Bar(SBS_HORZ, 17, 17, &Sq);
  D = PrintedWindow(Sq, 0x00123456);
  EXPECT_EQ(0, D->CountNot(D->Px(0, 0)));  // one colour all over
  EXPECT_EQ(0x110001u, Rgb(D->Px(8, 8)));
}

// A skin whose arrow glyphs are 25 pixels wide: the arrows grow toward the track by the 8 pixels the glyphs exceed
// the standard 17, so the glyph lies on the arrow's face, never on the track.
TEST_F(AdapterTest, ArrowsGrowTowardTheTrackForLargeGlyphs) {
  engine_test::TempFolder Dir;
  ManagerPtr M = TextSkinManager(Dir.Sub("BIGARROWS"),
                                 "[SCROLLBAR1H]\nSTATES=2\nCOLOR=$332211\nHOTCOLOR=$332211\n"
                                 "[SCROLLBAR2H]\nSTATES=2\nCOLOR=$332211\nHOTCOLOR=$332211\n"
                                 "[SCROLLBTNLEFT]\nSTATES=1\nCOLOR=$0000AA\nGLYPHMASK=@0010@0010@0035@0020@1@0\n"
                                 "[SCROLLBTNRIGHT]\nSTATES=1\nCOLOR=$0000AA\nGLYPHMASK=@0010@0010@0035@0020@1@0\n"
                                 "[SCROLLSLIDERH]\nSTATES=1\nCOLOR=$AA0000\n",
                                 [](int x, int y) {
                                   return x >= 10 && x < 35 && y >= 10 && y < 20 ? 0x445566u : 0x808080u;
                                 });
  HWND W = NewWindow("SCROLLBAR", Host(), WS_VISIBLE | SBS_HORZ, 10, 10, 240, 17);
  SetScrollRange(W, SB_CTL, 0, 100, FALSE);
  SetScrollPos(W, SB_CTL, 50, FALSE);
  auto* A = CreateAdapter<TvkSBWnd>(W, nullptr, M.get(), TvkSkinParams(), false);
  A->CalcParts();
  ASSERT_EQ(17, A->FirstArrowRect.Width());
  auto D = PrintedWindow(W);
  // Each glyph whole on its grown arrow, the track right after it.
  struct Case {
    const char* Name;
    int From, To, Track;  // the grown arrow's columns and a track column beside it
  } Cases[] = {{"left", 0, 25, 25}, {"right", 215, 240, 214}};
  for (const Case& C : Cases) {
    int Glyph = 0;
    for (int x = C.From; x < C.To; ++x) Glyph += Rgb(D->Px(x, 8)) == 0x445566;
    EXPECT_EQ(25, Glyph) << C.Name;
    EXPECT_EQ(0x112233u, Rgb(D->Px(C.Track, 8))) << C.Name;
  }
  A->Free();
}

// Every redraw lock is undone by one message each, also while RedrawFixed keeps the count from moving (the loops
// then ended never).
TEST_F(SBControls, RedrawLocksAreUndoneOnceAndFixedLocksEndTheLoops) {
  ShowForm();
  auto* SB = Place<TScrollBar>(Form, 10, 10, 200, 17);
  auto* A = Adapt<TvkSBWnd>(SB->Handle(), "", SB);
  const HWND W = SB->Handle();
  A->CalcParts();
  const int Arrow = A->SecondArrowRect.Left + 2;
  auto Press = [&] {
    PostMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(Arrow, 8));
    SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Arrow, 8));
  };
  SendMessageA(W, WM_SETREDRAW, FALSE, 0);
  SendMessageA(W, WM_SETREDRAW, FALSE, 0);
  EXPECT_EQ(2, A->RedrawLocks);
  Press();
  EXPECT_EQ(0, A->RedrawLocks);
  SendMessageA(W, WM_SETREDRAW, FALSE, 0);
  A->RedrawFixed = true;
  SCROLLINFO SI{sizeof SI, SIF_POS, 0, 0, 0, 30, 0};
  SendMessageA(W, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&SI));
  EXPECT_EQ(30, A->SBPos);
  Press();
  EXPECT_EQ(1, A->RedrawLocks);
}

// The first column of a bar on the screen showing the SOLID slider (red byte 0x99); -1 for none.
int ThumbOnScreen(HWND Bar) {
  const TRect R = WindowRectOf(Bar);
  for (int x = R.Left; x < R.Right; ++x)
    if ((testing_support::ScreenPixel(POINT{x, R.Top + 8}) >> 16) == 0x99) return x - R.Left;
  return -1;
}

// The steps of a drag inside the bar's own loop, run by a timer that loop dispatches: the pointer moves on, the
// screen is read until the thumb shows the move (or a few seconds passed), then the button is let go.
struct TDragScript {
  static inline int Step = 0, During = -1, Goal = 0;
  static inline bool Done = false;
  static inline POINT To{};
  static inline HWND Bar = nullptr;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (Done) return;
    if (Step++ == 0) {
      testing_support::QueuePointerMove(To);
      return;
    }
    During = ThumbOnScreen(Bar);
    if (During < Goal && Step < 60) return;
    testing_support::QueuePointerButton(false);
    Done = true;
  }
};

// A framework bar on a form dragged with the real pointer: its thumb follows the drag on screen and stays where it
// was let go.
class SBControlsRealPointer : public SBControls {};

TEST_F(SBControlsRealPointer, TheThumbFollowsADragOnScreenAndStaysWhereItWasLetGo) {
  testing_support::PointerParking Parking;
  Form = NewForm(600, 500, 300, 100, 0, false);
  Form->SetFormStyle(fsStayOnTop);
  Form->Show();
  auto* SB = Place<TScrollBar>(Form, 10, 10, 240, 17);
  SB->SetParams(0, 0, 100);
  auto* A = Adapt<TvkSBWnd>(SB->Handle(), "", SB);
  const HWND W = SB->Handle();
  testing_support::PumpPending();
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  A->CalcParts();
  const int Start = ThumbOnScreen(W);
  ASSERT_EQ(A->ThumbRect.Left, Start);
  POINT Grip{A->ThumbRect.Left + 8, 8};
  ClientToScreen(W, &Grip);
  ASSERT_TRUE(testing_support::MovePointer(Grip));
  TDragScript::Step = 0;
  TDragScript::During = -1;
  TDragScript::Goal = Start + 60;
  TDragScript::Done = false;
  TDragScript::To = POINT{Grip.x + 80, Grip.y};
  TDragScript::Bar = W;
  const UINT_PTR T = SetTimer(nullptr, 0, 100, &TDragScript::Tick);
  testing_support::QueuePointerButton(true);
  EXPECT_TRUE(testing_support::PumpUntil([] { return TDragScript::Done && GetAsyncKeyState(VK_LBUTTON) >= 0; }, 10000));
  KillTimer(nullptr, T);
  // The focus away from the bar: the system's dotted focus frame on its thumb goes.
  SetFocus(nullptr);
  testing_support::PumpPending();
  RedrawWindow(W, nullptr, nullptr, RDW_UPDATENOW);
  EXPECT_GT(SB->Position(), 20);
  EXPECT_GE(TDragScript::During, Start + 60) << "the thumb stood still during the drag";
  const int After = ThumbOnScreen(W);
  EXPECT_GE(After, Start + 60) << "the thumb went back after the drag";
  A->CalcParts();
  EXPECT_EQ(A->ThumbRect.Left, After);
}

// Counts the range messages that reach the adapter.
class TCountingSBWnd : public TvkSBWnd {
  DECLARE_CLASS(TCountingSBWnd, TvkSBWnd)
public:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == SBM_SETSCROLLINFO) ++RangeMessages;
    TvkSBWnd::WndProc(Message);
  }
  int RangeMessages = 0;
};
IMPLEMENT_CLASS(TCountingSBWnd)

TEST_F(SBControls, RangeWrittenBackToTheFrameworkBarOnceWithoutRecursion) {
  TForm* Form = NewForm(40, 40, 300, 100);
  auto* SB = Place<TScrollBar>(Form, 10, 10, 200, 17);
  SB->SetParams(10, 0, 100);
  auto* A = CreateAdapter<TCountingSBWnd>(SB->Handle(), nullptr, M.get(), SkinParams("", SB), false);
  EXPECT_EQ(100, A->SBMax);
  // A range wholly above the bar's: Min may never pass Max on the way, nor the position leave the range.
  SCROLLINFO SI{sizeof SI, SIF_ALL, 200, 300, 20, 250, 0};
  SendMessageA(SB->Handle(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&SI));
  EXPECT_EQ(200, SB->Min());
  EXPECT_EQ(300, SB->Max());
  EXPECT_EQ(20, SB->PageSize());
  EXPECT_EQ(250, A->SBPos);
  // The outer message and one per property the bar sent back; none of those wrote back again.
  EXPECT_LE(A->RangeMessages, 6);
  A->Free();
  Form->Free();
}

}  // namespace
