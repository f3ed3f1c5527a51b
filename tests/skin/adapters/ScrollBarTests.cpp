// Skinned non-client scroll bars: the thumb model, and the bars of real EDIT and LISTBOX windows laid out,
// hit-tested, pressed, repeated, dragged and painted.
#include <functional>
#include <memory>

#include "AdapterTestSupport.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"

using namespace adapter_test;

namespace {

SCROLLINFO Info(int Min, int Max, int Page, int Pos) {
  SCROLLINFO SI{};
  SI.cbSize = sizeof SI;
  SI.fMask = SIF_ALL;
  SI.nMin = Min;
  SI.nMax = Max;
  SI.nPage = static_cast<UINT>(Page);
  SI.nPos = Pos;
  return SI;
}

TEST(ThumbModel, LengthAndPlace) {
  struct Case {
    SCROLLINFO SI;
    int Len, Arrow, Start, Length;
  };
  const Case Cases[] = {
      {Info(0, 99, 0, 0), 200, 0, 0, 19},      // no page, no arrows: 19 pixels
      {Info(0, 99, 0, 0), 200, 17, 17, 17},    // no page: the larger of arrow and minimum
      {Info(0, 99, 10, 0), 200, 17, 17, 17},   // 10 of 100 over 166 pixels
      {Info(0, 99, 10, 90), 200, 17, 166, 17},  // the last page ends at the second arrow
      {Info(0, 99, 1, 0), 200, 17, 17, 16},    // never below the minimum
      {Info(0, 99, 50, 25), 117, 17, 17 + 21, 42},
      {Info(5, 5, 1, 5), 100, 17, 17, 66},     // one position: the thumb fills the track, no division by zero
  };
  for (const Case& C : Cases) {
    const TvkThumb T = ComputeThumb(C.SI, 0, C.Len, C.Arrow, 16);
    EXPECT_EQ(C.Start, T.Start) << C.SI.nPos << "/" << C.SI.nPage;
    EXPECT_EQ(C.Length, T.Length) << C.SI.nPos << "/" << C.SI.nPage;
  }
}

TEST(ThumbModel, ADraggedThumbRepaintedAtItsPositionStaysPut) {
  for (const SCROLLINFO& SI : {Info(0, 999, 100, 0), Info(0, 399, 0, 0), Info(-50, 950, 1, 0)}) {
    const TvkThumb T0 = ComputeThumb(SI, 0, 300, 17, 16);
    const int Track = 300 - 34;
    for (int Offset = 0; Offset <= Track - T0.Length; ++Offset) {
      SCROLLINFO At = SI;
      At.nPos = SI.nMin + ThumbOffsetToPosition(SI, Offset, Track, T0.Length);
      ASSERT_EQ(17 + Offset, ComputeThumb(At, 0, 300, 17, 16).Start) << "page " << SI.nPage;
    }
  }
}

TEST(ThumbModel, HitParts) {
  const SCROLLINFO SI = Info(0, 99, 10, 50);  // thumb at 17 + 83 = 100 .. 117 on a 200 bar
  struct Case {
    int P;
    bool Shift;
    int Part;
  };
  const Case Cases[] = {{0, false, spFirstArrow},    {16, false, spFirstArrow}, {17, false, spTrackBefore},
                        {99, false, spTrackBefore},  {100, false, spThumb},     {116, false, spThumb},
                        {117, false, spTrackAfter},  {182, false, spTrackAfter}, {183, false, spSecondArrow},
                        {50, true, spJump},          {150, true, spJump},       {105, true, spThumb},
                        {200, false, spNone},        {-1, false, spNone}};
  for (const Case& C : Cases) EXPECT_EQ(C.Part, HitTestAlong(SI, C.P, 0, 200, 17, 16, C.Shift)) << C.P;
  // Too short for its arrows: two half arrows and nothing else.
  EXPECT_EQ(spFirstArrow, HitTestAlong(SI, 9, 0, 20, 17, 16, false));
  EXPECT_EQ(spSecondArrow, HitTestAlong(SI, 10, 0, 20, 17, 16, false));
  // Everything visible: no thumb to hit.
  EXPECT_EQ(spNone, HitTestAlong(Info(0, 9, 10, 0), 50, 0, 200, 17, 16, false));
}

// ---- bars of real windows ----

// Records what reaches the window below the adapter.
struct TScrollRecord {
  UINT Msg;
  int Code;
  int Pos;
};
std::vector<TScrollRecord> g_scrolls;
WNDPROC g_listProc = nullptr;
// Where the thumb was read when the release reached the window (window coordinates), and what showed there.
POINT g_thumbAt{-1, -1};
uint32_t g_thumbAtRelease = 0;
LRESULT CALLBACK BelowAdapter(HWND W, UINT Msg, WPARAM Wp, LPARAM Lp) {
  if (Msg == WM_VSCROLL || Msg == WM_HSCROLL) g_scrolls.push_back({Msg, LOWORD(Wp), HIWORD(Wp)});
  if (Msg == kProbe || Msg == WM_TIMER) g_scrolls.push_back({Msg, static_cast<int>(Wp), 0});
  if (Msg == WM_LBUTTONUP && g_thumbAt.x >= 0) {
    // The adapter has handled the release by now: what the bar shows at this moment is its look after it.
    g_thumbAtRelease = WindowDCOf(W)->Rgb(g_thumbAt.x, g_thumbAt.y);
  }
  return CallWindowProcA(g_listProc, W, Msg, Wp, Lp);
}

class ScrollBars : public OwnAdapterTest<TvkScrollWnd> {
protected:
  void SetUp() override {
    OwnAdapterTest::SetUp();
    g_scrolls.clear();
    g_thumbAt = POINT{-1, -1};
    ScrollTracking = TvkScrollTracking{};
  }
  // A list box of 100 items with a vertical bar; recorded below its scroll adapter, and adapted when Adapted says.
  HWND NewList(int W = 120, int H = 100, DWORD ExStyle = 0, bool Adapted = true) {
    HWND L = NewWindow("LISTBOX", Host(300, 240), WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT, 10, 10, W,
                       H, "", ExStyle);
    for (int i = 0; i < 100; ++i) SendMessageA(L, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
    if (!Adapted) return L;
    g_listProc = reinterpret_cast<WNDPROC>(SetWindowLongA(L, GWL_WNDPROC, reinterpret_cast<LONG>(&BelowAdapter)));
    A = CreateAdapter<TvkScrollWnd>(L, nullptr, M.get(), SkinParams("EDIT"), true);
    GetVertScrollBarRect(A, L, Bar);
    return L;
  }
  POINT Along(const TRect& R, int Offset) { return POINT{R.Left + R.Width() / 2, R.Top + Offset}; }
  LRESULT Down(HWND W, POINT P) { return SendMessageA(W, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(P.x, P.y)); }
  void CursorAt(POINT P) {
    FakeCursorAt(P);
    Platform().GetMessagePos = [P] { return static_cast<DWORD>(MAKELONG(P.x, P.y)); };
  }
  // The cursor on the down arrow of the list's bar; where it is.
  POINT CursorOnDownArrow() {
    CursorAt(Along(Bar, Bar.Height() - 3));
    return Along(Bar, Bar.Height() - 3);
  }
  int Top(HWND L) { return static_cast<int>(SendMessageA(L, LB_GETTOPINDEX, 0, 0)); }
  int Count(int Code) {
    int N = 0;
    for (const TScrollRecord& R : g_scrolls) N += R.Msg == WM_VSCROLL && R.Code == Code;
    return N;
  }
  TRect Bar;  // the vertical bar of the last adapted list, on the screen
};
class ScrollBarsRealScreen : public ScrollBars {};

// Until the window has laid out its frame for an adapter made without a repaint, the first non-client paint makes it
// do so: the bar then has its room and the client is narrower by it.
TEST_F(ScrollBars, NonClientLayoutAtTheFirstPaintGivesTheBarsRoom) {
  HWND L = NewList(120, 100, 0, false);
  A = CreateAdapter<TvkScrollWnd>(L, nullptr, M.get(), SkinParams("EDIT"), false);
  ASSERT_FALSE(A->CalcSizeDone) << "laid out before its first paint";
  SendMessageA(L, WM_NCPAINT, 1, 0);
  const int Thick = GetSystemMetrics(SM_CXVSCROLL);
  ASSERT_TRUE(A->CalcSizeDone);
  EXPECT_TRUE(A->VertBar->Shown);
  EXPECT_FALSE(A->HorzBar->Shown);
  EXPECT_EQ(8, A->VertBar->Style);
  EXPECT_EQ(0, A->HorzBar->Style);
  RECT C{};
  GetClientRect(L, &C);
  EXPECT_EQ(120 - A->FrameLeft - A->FrameRight - Thick, C.right);
  EXPECT_EQ(16, A->VertBar->MinThumb);
  EXPECT_EQ(A, GetWindowScrollAdapter(L));
  EXPECT_EQ(A->VertBar, GetScrollBarOfWindow(L, SB_VERT));
  EXPECT_EQ(nullptr, GetScrollBarOfWindow(L, SB_CTL));
  EXPECT_EQ(1, SetScrollMinThumb(L, SB_CTL, 30));
  EXPECT_EQ(16, A->VertBar->MinThumb);
  EXPECT_EQ(1, SetScrollMinThumb(L, SB_BOTH, 20));
  EXPECT_EQ(20, A->VertBar->MinThumb);
  EXPECT_EQ(20, A->HorzBar->MinThumb);
  EXPECT_EQ(100, SendMessageA(L, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SCALE), 0));
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(Tops[0]));
  EXPECT_EQ(0, SetScrollMinThumb(Tops[0], SB_BOTH, 20));
}

TEST_F(ScrollBars, NarrowWindowsAndLeftBars) {
  HWND L = NewList(GetSystemMetrics(SM_CXVSCROLL) - 2, 100);
  EXPECT_FALSE(A->VertBar->Shown);
  A->Free();
  A = nullptr;
  L = NewList(120, 100, WS_EX_LEFTSCROLLBAR);
  ASSERT_TRUE(A->LeftScrollBar);
  POINT Origin{0, 0};
  ClientToScreen(L, &Origin);
  RECT W{};
  GetWindowRect(L, &W);
  EXPECT_EQ(A->FrameLeft + GetSystemMetrics(SM_CXVSCROLL), Origin.x - W.left);
  const TRect R = Bar;
  EXPECT_EQ(W.left + A->FrameLeft, R.Left);
  EXPECT_EQ(HTVSCROLL, SendMessageA(L, WM_NCHITTEST, 0, MAKELPARAM(R.Left + 2, R.Top + 30)));
}

TEST_F(ScrollBars, ArrowRepeatsAfter300ThenEvery55WhileTheCursorStays) {
  HWND L = NewList();
  const TRect R = Bar;
  const POINT OnArrow = CursorOnDownArrow();
  EXPECT_EQ(HTVSCROLL, SendMessageA(L, WM_NCHITTEST, 0, MAKELPARAM(OnArrow.x, OnArrow.y)));
  Down(L, OnArrow);
  EXPECT_EQ(1, Top(L));  // the line code at once
  EXPECT_EQ(L, GetCapture());
  EXPECT_EQ(kScrollFirstRepeat, ScrollTracking.RepeatTimer);
  SendMessageA(L, WM_TIMER, kScrollFirstRepeat, 0);
  EXPECT_EQ(kScrollRepeat, ScrollTracking.RepeatTimer);
  EXPECT_EQ(1, Top(L));
  SendMessageA(L, WM_TIMER, kScrollRepeat, 0);
  SendMessageA(L, WM_TIMER, kScrollRepeat, 0);
  EXPECT_EQ(3, Top(L));
  // Off the arrow the repeat pauses; the timer keeps running.
  CursorAt(Along(R, R.Height() / 2 + 30));
  SendMessageA(L, WM_TIMER, kScrollRepeat, 0);
  EXPECT_EQ(3, Top(L));
  EXPECT_EQ(kScrollRepeat, ScrollTracking.RepeatTimer);
  CursorAt(OnArrow);
  SendMessageA(L, WM_TIMER, kScrollRepeat, 0);
  EXPECT_EQ(4, Top(L));
  SendMessageA(L, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(0u, ScrollTracking.RepeatTimer);
  EXPECT_EQ(spNone, ScrollTracking.PressedPart);
  EXPECT_EQ(1, Count(SB_ENDSCROLL));
  EXPECT_EQ(4, Count(SB_LINEDOWN));
}

TEST_F(ScrollBars, LosingTheCaptureStopsTheRepeat) {
  HWND L = NewList();
  Down(L, CursorOnDownArrow());
  ASSERT_NE(0u, ScrollTracking.RepeatTimer);
  SetCapture(Tops[0]);  // someone else takes the mouse
  EXPECT_EQ(0u, ScrollTracking.RepeatTimer);
  EXPECT_EQ(spNone, ScrollTracking.PressedPart);
  EXPECT_EQ(1, Count(SB_ENDSCROLL));
  ReleaseCapture();
  SendMessageA(L, WM_TIMER, kScrollRepeat, 0);
  EXPECT_EQ(1, Top(L));
}

TEST_F(ScrollBars, DraggingSendsTrackOnlyOnChangeThenPositionAndEnd) {
  HWND L = NewList();
  const TRect R = Bar;
  const int Arrow = GetSystemMetrics(SM_CXVSCROLL);
  const TvkThumb T = ComputeThumb(A->VertBar->ScrollInfo, R.Top, R.Height(), Arrow, 16);
  POINT P = Along(R, T.Start - R.Top + 2);
  CursorAt(P);
  Down(L, P);
  ASSERT_TRUE(A->ThumbTracking);
  EXPECT_TRUE(g_scrolls.empty());
  P.y += 10;
  CursorAt(P);
  SendMessageA(L, WM_MOUSEMOVE, 0, 0);
  ASSERT_EQ(1, Count(SB_THUMBTRACK));
  const int First = g_scrolls.back().Pos;
  EXPECT_GT(First, 0);
  SendMessageA(L, WM_MOUSEMOVE, 0, 0);  // no change, nothing sent
  EXPECT_EQ(1, Count(SB_THUMBTRACK));
  P.y += 10;
  CursorAt(P);
  SendMessageA(L, WM_MOUSEMOVE, 0, 0);
  ASSERT_EQ(2, Count(SB_THUMBTRACK));
  const int Last = g_scrolls.back().Pos;
  EXPECT_GT(Last, First);
  SendMessageA(L, WM_LBUTTONUP, 0, 0);
  ASSERT_GE(g_scrolls.size(), 4u);
  EXPECT_EQ(SB_THUMBPOSITION, g_scrolls[g_scrolls.size() - 2].Code);
  EXPECT_EQ(Last, g_scrolls[g_scrolls.size() - 2].Pos);
  EXPECT_EQ(SB_ENDSCROLL, g_scrolls.back().Code);
  EXPECT_FALSE(A->ThumbTracking);
  EXPECT_EQ(Last, Top(L));
}

// Colours of the SOLID scroll elements: the red byte names the element, the green byte the state.
uint32_t Element(uint32_t Red, int State) { return Red << 16 | static_cast<uint32_t>(State * 0x40) << 8 | 1; }
constexpr uint32_t kThumbV = 0xAA;

TEST_F(ScrollBarsRealScreen, ShiftClickJumpsOnceRepeatsNothingAndShowsTheThumbNormalOnRelease) {
  HWND L = NewList();
  const TRect R = Bar;
  Platform().GetAsyncKeyState = [](int Key) -> SHORT { return Key == VK_SHIFT ? static_cast<SHORT>(0x8000) : 0; };
  const POINT P = Along(R, R.Height() / 2);
  const TRect W = WindowRectOf(L);
  g_thumbAt = POINT{P.x - W.Left, P.y - W.Top};  // the jump centres the thumb here
  CursorAt(P);
  Down(L, P);
  EXPECT_EQ(1, Count(SB_THUMBTRACK));
  EXPECT_EQ(0u, ScrollTracking.RepeatTimer);
  const size_t Sent = g_scrolls.size();
  SendMessageA(L, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Sent, g_scrolls.size());
  EXPECT_GT(Top(L), 0);
  EXPECT_EQ(Element(kThumbV, 0), g_thumbAtRelease) << "the thumb stays pressed after the release";
}

TEST_F(ScrollBars, RightClicksOnABarStopThere) {
  HWND L = NewList();
  const TRect R = Bar;
  SendMessageA(L, WM_NCRBUTTONDOWN, HTVSCROLL, MAKELPARAM(R.Left + 2, R.Top + 30));
  SendMessageA(L, kProbe, 1, 0);
  SendMessageA(L, WM_NCRBUTTONUP, HTVSCROLL, 0);
  ASSERT_EQ(1u, g_scrolls.size());  // only the probe passed
  // A wheel re-reads the scroll position the list changed behind the bars' back.
  SendMessageA(L, LB_SETTOPINDEX, 40, 0);
  SendMessageA(L, WM_MOUSEWHEEL, 0, 0);
  EXPECT_EQ(Top(L), A->VertBar->ScrollInfo.nPos);
}

// The system's word on a disabled bar.
BOOL WINAPI UnavailableBar(HWND, LONG, PSCROLLBARINFO Info) {
  Info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
  return TRUE;
}

TEST_F(ScrollBars, BarsPaintTheirElementsInTheirStates) {
  HWND L = NewList(120, 150);
  const TRect W = WindowRectOf(L);
  TRect R = Bar;
  OffsetRect(R.AsRECT(), -W.Left, -W.Top);
  const int Arrow = GetSystemMetrics(SM_CXVSCROLL);
  const TvkThumb T = ComputeThumb(A->VertBar->ScrollInfo, R.Top, R.Height(), Arrow, 16);
  const int X = R.Left + R.Width() / 2;
  auto Paint = [&] {
    testing_support::Dib32 Dib(W.Width(), W.Height(), 0, true);
    PaintScrollBars(A, L, -1, Dib.DC());
    struct Px { uint32_t Up, Down, Thumb, After; } P{Rgb(Dib.Px(X, R.Top + 2)), Rgb(Dib.Px(X, R.Bottom - 2)),
                                                     Rgb(Dib.Px(X, T.Start + 2)), Rgb(Dib.Px(X, R.Bottom - Arrow - 2))};
    return P;
  };
  auto P = Paint();
  EXPECT_EQ(Element(0x77, 0), P.Up);
  EXPECT_EQ(Element(0x88, 0), P.Down);
  EXPECT_EQ(Element(0xAA, 0), P.Thumb);
  EXPECT_EQ(Element(0x44, 0), P.After);
  // Hovered up arrow, pressed down arrow.
  ScrollTracking.HoverWnd = L;
  ScrollTracking.HoverBarKind = SB_VERT;
  ScrollTracking.HoverPart = spFirstArrow;
  ScrollTracking.TrackedBarKind = SB_VERT;
  ScrollTracking.HotPart = spSecondArrow;
  P = Paint();
  EXPECT_EQ(Element(0x77, 1), P.Up);
  EXPECT_EQ(Element(0x88, 2), P.Down);
  ScrollTracking = TvkScrollTracking{};
  // A bar the system reports unavailable (disabled) is blended with what lies behind it.
  GetScrollBarInfoEntry().Replace(&UnavailableBar);
  P = Paint();
  GetScrollBarInfoEntry().Reset();
  EXPECT_NE(Element(0x77, 0), P.Up);
  EXPECT_NE(Element(0x88, 0), P.Down);
  EXPECT_NE(Element(0xAA, 0), P.Thumb);  // and has no thumb
}

TEST_F(ScrollBarsRealScreen, WindowOwnFramePaintingLeavesTheSkinnedBars) {
  HWND L = NewList(120, 150);
  RedrawWindow(L, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  SendMessageA(L, WM_NCPAINT, 1, 0);
  const TRect W = WindowRectOf(L);
  const TRect R = Bar;
  EXPECT_EQ(Element(0x77, 0), WindowDCOf(L)->Rgb(R.Left - W.Left + R.Width() / 2, R.Top - W.Top + 2));
}

TEST_F(ScrollBars, DetachGivesTheListItsOwnFrameBack) {
  HWND L = NewList();
  TvkScrollWnd* Same = A;
  A = nullptr;
  DetachScrollWndAdapter(L, true, true, Same);
  EXPECT_EQ(nullptr, Same);
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(L));
  EXPECT_EQ(reinterpret_cast<LONG>(&BelowAdapter), GetWindowLongA(L, GWL_WNDPROC));
  SendMessageA(L, kProbe, 5, 0);
  EXPECT_EQ(1u, g_scrolls.size());
}

TEST_F(ScrollBars, HoverStateGoesWithItsWindowAndALaterSubclasserStays) {
  HWND L = NewList();
  const TRect R = Bar;
  SendMessageA(L, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(R.Left + 2, R.Top + 30));
  EXPECT_EQ(L, ScrollTracking.HoverWnd);
  EXPECT_EQ(kScrollHoverTimer, ScrollTracking.HoverTimer);
  // Someone subclasses the list after the adapter: detaching leaves him in place.
  static WNDPROC Below = nullptr;
  Below = reinterpret_cast<WNDPROC>(SetWindowLongA(L, GWL_WNDPROC, reinterpret_cast<LONG>(+[](HWND H, UINT Msg, WPARAM Wp, LPARAM Lp) -> LRESULT {
    return CallWindowProcA(Below, H, Msg, Wp, Lp);
  })));
  TvkScrollWnd* Same = A;
  DetachScrollWndAdapter(L, false, false, Same);
  EXPECT_FALSE(A->Detached);
  EXPECT_NE(reinterpret_cast<LONG>(&BelowAdapter), GetWindowLongA(L, GWL_WNDPROC));
  DestroyWindow(L);
  EXPECT_EQ(nullptr, ScrollTracking.HoverWnd);  // nothing left pointing at the dead window
  EXPECT_EQ(0u, ScrollTracking.HoverTimer);
}

TEST_F(ScrollBars, ForeignTimersPassOnceAndBarsFollowTheStyleWithoutScrollBarInfo) {
  HWND L = NewList();
  g_scrolls.clear();
  SendMessageA(L, WM_TIMER, 77, 0);
  ASSERT_EQ(1u, g_scrolls.size());
  EXPECT_EQ(77, g_scrolls[0].Code);
  // Without the system's scroll-bar information the style bits tell whether a bar is shown.
  GetScrollBarInfoEntry().Replace(nullptr);
  EXPECT_TRUE(IsScrollBarShown(L, SB_VERT));
  EXPECT_FALSE(IsScrollBarShown(L, SB_HORZ));
  GetScrollBarInfoEntry().Reset();
}

// A top-level window's corner between its bars is a grip, also when the window has an owner; so is the corner of a
// child filling it (GetParent answers the window's owner, which is no parent of it).
TEST_F(ScrollBars, AnOwnedTopLevelWindowAndAChildFillingItHaveTheirGripCorners) {
  HWND Owner = Host(200, 100);
  HWND W = CreateWindowExA(0, RecordingClass(), "", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL, 60, 60,
                           200, 150, Owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  Tops.insert(Tops.begin(), W);  // freed before its owner
  ASSERT_EQ(Owner, GetParent(W)) << "the owner is what GetParent answers";
  for (int Bar : {SB_HORZ, SB_VERT}) {
    SCROLLINFO SI{sizeof SI, SIF_ALL, 0, 100, 10, 0, 0};
    SetScrollInfo(W, Bar, &SI, FALSE);
  }
  A = CreateAdapter<TvkScrollWnd>(W, nullptr, M.get(), SkinParams("EDIT"), true);
  ASSERT_TRUE(A->HorzBar->Shown && A->VertBar->Shown);
  TRect H, V;
  GetHorzScrollBarRect(A, W, H);
  GetVertScrollBarRect(A, W, V);
  const TRect Corner(V.Left, H.Top, V.Right, H.Bottom);
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessageA(W, WM_NCHITTEST, 0, MAKELPARAM(Corner.Left + 2, Corner.Top + 2)));
  const TRect WR = WindowRectOf(W);
  testing_support::Dib32 Dib(WR.Width(), WR.Height(), 0, true);
  PaintScrollBars(A, W, -1, Dib.DC());
  const uint32_t kGrip = 0x406006;  // the SOLID grip image's face
  EXPECT_EQ(kGrip, Rgb(Dib.Px(Corner.Right - WR.Left - 2, Corner.Bottom - WR.Top - 2))) << "no grip in the corner";
  RECT C{};
  GetClientRect(W, &C);
  HWND Child = NewWindow(RecordingClass(), W, WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, C.right, C.bottom);
  A->Free();
  A = CreateAdapter<TvkScrollWnd>(Child, nullptr, M.get(), SkinParams("EDIT"), true);
  GetHorzScrollBarRect(A, Child, H);
  GetVertScrollBarRect(A, Child, V);
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessageA(Child, WM_NCHITTEST, 0, MAKELPARAM(V.Left + 2, H.Top + 2))) << "the child";
}

// Presses of the real pointer on the bars: the button goes down and up at once, both queued before the window
// sees either, so that nothing else (the hover poll's timer) runs between them.
class ScrollBarsRealPointer : public ScrollBars {
protected:
  void SetUp() override {
    ScrollBars::SetUp();
    Parking = std::make_unique<testing_support::PointerParking>();
  }
  void TearDown() override {
    Parking.reset();
    ScrollBars::TearDown();
  }
  // The pointer brought to P over the test's topmost host, then its button pressed and released there; True once
  // Seen answers True.
  bool PressAndReleaseAt(POINT P, const std::function<bool()>& Seen) {
    SetWindowPos(Tops[0], HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!testing_support::MovePointer(P)) return false;
    testing_support::PumpPending();
    testing_support::QueuePointerButton(true);
    testing_support::QueuePointerButton(false);
    return testing_support::PumpUntil(Seen, 2000);
  }
  std::unique_ptr<testing_support::PointerParking> Parking;
};

// Shift held, a real click on the track jumps the thumb there; at the release it shows normal again.
TEST_F(ScrollBarsRealPointer, AShiftClickJumpShowsTheThumbNormalAtTheRelease) {
  HWND L = NewList();
  const TRect R = Bar;
  Platform().GetAsyncKeyState = [](int Key) -> SHORT {
    return Key == VK_SHIFT ? static_cast<SHORT>(0x8000) : GetAsyncKeyState(Key);
  };
  const POINT P = Along(R, R.Height() / 2);
  const TRect W = WindowRectOf(L);
  g_thumbAt = POINT{P.x - W.Left, P.y - W.Top};
  g_thumbAtRelease = 0;
  ASSERT_TRUE(PressAndReleaseAt(P, [] { return g_thumbAtRelease != 0; }))
      << "the release never reached the list; " << testing_support::PointerScene(P);
  EXPECT_EQ(1, Count(SB_THUMBTRACK)) << "one jump";
  EXPECT_EQ(0, Count(SB_ENDSCROLL)) << "nothing sent at the release";
  EXPECT_TRUE(g_thumbAtRelease == Element(kThumbV, 0) || g_thumbAtRelease == Element(kThumbV, 1))
      << std::hex << g_thumbAtRelease << ": the thumb is not shown normal at the release";
}

// A real press on a horizontal bar too short for its thumb hits no part of it: the system's own scroll loop, which
// would draw its bar over the skinned one, never starts.
TEST_F(ScrollBarsRealPointer, APressOnNoPartOfAShortHorizontalBarStartsNoSystemLoop) {
  HWND Parent = Host(300, 200);
  const int Arrow = GetSystemMetrics(SM_CXHSCROLL);
  HWND W = NewRecordingWindow(Parent, WS_VISIBLE | WS_HSCROLL, 10, 10, 2 * Arrow + 10, 60);
  SCROLLINFO SI{sizeof SI, SIF_ALL, 0, 100, 10, 0, 0};
  SetScrollInfo(W, SB_HORZ, &SI, FALSE);
  A = CreateAdapter<TvkScrollWnd>(W, nullptr, M.get(), SkinParams("EDIT"), true);
  ASSERT_TRUE(A->HorzBar->Shown);
  TRect H;
  GetHorzScrollBarRect(A, W, H);
  const POINT P{(H.Left + H.Right) / 2, (H.Top + H.Bottom) / 2};
  Recorded().clear();
  const auto Released = [&] { return CountRecorded(W, WM_LBUTTONUP) + CountRecorded(W, WM_NCLBUTTONUP) > 0; };
  ASSERT_TRUE(PressAndReleaseAt(P, Released))
      << "the release never reached the window; " << testing_support::PointerScene(P);
  ASSERT_GT(CountRecorded(W, WM_NCLBUTTONDOWN), 0) << "the press went to the window's own procedure";
  int SystemLoop = 0;
  for (const TRecorded& R : Recorded())
    SystemLoop += R.Wnd == W && ((R.Msg == WM_SYSCOMMAND && (R.WParam & 0xFFF0) == SC_HSCROLL) || R.Msg == WM_HSCROLL);
  EXPECT_EQ(0, SystemLoop) << "the system's scroll loop ran";
}

}  // namespace
