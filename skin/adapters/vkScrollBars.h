// Skinned non-client scroll bars: the system keeps the scroll state; the scroll adapter lays the bars out in
// WM_NCCALCSIZE, paints them into the window DC, hit-tests them, tracks the mouse with capture and timers and
// tells the window what happened with ordinary WM_HSCROLL / WM_VSCROLL messages.
//
// One thumb model serves painting, hit test and drag: the thumb moves over (track - thumb) pixels for
// range - max(1, nPage) positions, so a thumb dragged to a place and repainted at the position it sent stays
// where it was.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Classes.h"
#include "framework/Graphics.h"

class TvkScrollWnd;

// Part codes of a bar (hit-test answers, also the scroll codes they send).
constexpr int spNone = -1;
constexpr int spFirstArrow = 0;   // SB_LINEUP
constexpr int spSecondArrow = 1;  // SB_LINEDOWN
constexpr int spTrackBefore = 2;  // SB_PAGEUP
constexpr int spTrackAfter = 3;   // SB_PAGEDOWN
constexpr int spJump = 4;         // Shift on the track: SB_THUMBPOSITION
constexpr int spThumb = 5;        // SB_THUMBTRACK

// Timer ids on the adapted window.
constexpr UINT_PTR kScrollHoverTimer = 65522;   // 20 ms
constexpr UINT_PTR kScrollFirstRepeat = 65533;  // 300 ms
constexpr UINT_PTR kScrollRepeat = 65534;       // 55 ms

// One skinned bar of a scroll adapter.
class TvkScrollBar : public TObject {
  DECLARE_CLASS(TvkScrollBar, TObject)
public:
  WORD Style = 0;      // 8 while the window style has this bar
  WORD Kind = 0;       // SB_HORZ 0, SB_VERT 1
  int ArrowSize = -1;  // own arrow length; -1 none
  WORD MinThumb = 0;
  TvkScrollWnd* Owner = nullptr;
  bool Shown = false;  // given room in the last WM_NCCALCSIZE
  SCROLLINFO ScrollInfo{};
};

// ---- the thumb model (no windows) ----
struct TvkThumb {
  int Start = 0;   // along the bar, in the bar rectangle's coordinates
  int Length = 0;
};
// The thumb of bar [BarStart, BarStart + BarLength) with arrows of length Arrow.
TvkThumb ComputeThumb(const SCROLLINFO& SI, int BarStart, int BarLength, int Arrow, int MinThumb);
// Part code at coordinate P along the bar (P inside the bar across it is the caller's test).
int HitTestAlong(const SCROLLINFO& SI, int P, int BarStart, int BarLength, int Arrow, int MinThumb, bool Shift);
// The scroll position (counted from nMin) of a thumb starting Offset pixels into a track of TrackLength.
int ThumbOffsetToPosition(const SCROLLINFO& SI, int Offset, int TrackLength, int ThumbLength);
// The painter's test whether a thumb is drawn at all on a track of TrackLength.
bool ThumbDrawable(const SCROLLINFO& SI, int TrackLength, int MinThumb);

// ---- geometry of a window's bars ----
// Thickness (True) or arrow length of a bar; 0 for nil.
int ScrollBarDimension(TvkScrollBar* Bar, bool Thickness);
// Screen rectangles of the bars of an adapted window.
void GetHorzScrollBarRect(TvkScrollWnd* Adapter, HWND Wnd, TRect& R);
void GetVertScrollBarRect(TvkScrollWnd* Adapter, HWND Wnd, TRect& R);
// The system shows the bar (GetScrollBarInfo; without it the style bit). Bar: SB_HORZ, SB_VERT or SB_CTL.
bool IsScrollBarShown(HWND Wnd, int Bar);

// ---- painting ----
// Both bars and the corner; ThumbPos -1 = computed; DC 0 = the window DC. Answers 0.
LRESULT PaintScrollBars(TvkScrollWnd* Adapter, HWND Wnd, int ThumbPos, HDC DC);

// ---- message handlers of the scroll adapter ----
LRESULT ScrollWndCalcSize(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollWndHitTest(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollWndNCMouseMove(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollWndNCButtonDown(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
// A press on the grip corner between a child window's bars sizes its top-level parent (see SizeParentFromGrip);
// False when the press is elsewhere or the window is top-level.
bool ScrollWndGripPress(TvkScrollWnd* Adapter, HWND Wnd, LPARAM LParam);
LRESULT ScrollWndMouseMove(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollWndButtonUp(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollWndTimer(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollWndStyleChanged(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollWndSetCursor(TvkScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
// Capture lost while a bar of Adapter is held: timers stopped, a drag ended, the state back to idle.
void ScrollWndCaptureLost(TvkScrollWnd* Adapter, HWND Wnd);
// The window goes: its hover and tracking state is forgotten and its timers stopped.
void ScrollWndForget(HWND Wnd);

// Msg (WM_HSCROLL or WM_VSCROLL) with Code and Pos, between VKCMD_SUSPEND_REDRAW and VKCMD_RESUME_REDRAW.
void SendScrollMessage(HWND Wnd, UINT Msg, int Code, int Pos);

// ---- the process-wide tracking state (one capture at a time) ----
struct TvkScrollTracking {
  int TrackedBarKind = -1;
  int PressedPart = -1;
  int HotPart = -1;
  UINT ScrollMsg = 0;
  int TrackPos = -1;
  UINT_PTR RepeatTimer = 0;
  int HoverBarKind = -1;
  int HoverPart = -1;
  int LastHoverPart = -1;
  HWND HoverWnd = nullptr;
  UINT_PTR HoverTimer = 0;
  TRect HoverBarRect;
  TRect DragBarRect;
  int DragThumbSize = 0;
  int DragThumbPos = 0;
  int DragOffset = 0;
};
extern TvkScrollTracking ScrollTracking;
