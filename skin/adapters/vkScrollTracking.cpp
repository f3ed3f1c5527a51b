// The scroll adapter's handlers of the non-client layout, hit test, mouse and timers.
#include <algorithm>
#include <memory>

#include "framework/Platform.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollBarPaint.h"
#include "skin/adapters/vkScrollBars.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"

namespace {

// Signed coordinates of a packed point.
int XOf(LPARAM L) { return static_cast<short>(LOWORD(L)); }
int YOf(LPARAM L) { return static_cast<short>(HIWORD(L)); }

TvkScrollTracking& T = ScrollTracking;

TvkScrollBar* BarOfKind(TvkScrollWnd* A, int Kind) { return Kind == SB_HORZ ? A->HorzBar : A->VertBar; }

TRect BarRect(TvkScrollWnd* A, HWND Wnd, int Kind) {
  TRect R;
  if (Kind == SB_HORZ)
    GetHorzScrollBarRect(A, Wnd, R);
  else
    GetVertScrollBarRect(A, Wnd, R);
  return R;
}

bool ShiftHeld() { return Platform().GetAsyncKeyState(VK_SHIFT) < 0; }

// Part of a bar under a screen point (-1 off the bar).
int HitTestBar(TvkScrollBar* Bar, const TRect& R, POINT P) {
  const bool Horz = Bar->Kind == SB_HORZ;
  const int Across = Horz ? P.y : P.x;
  if (Across < (Horz ? R.Top : R.Left) || Across >= (Horz ? R.Bottom : R.Right)) return spNone;
  return HitTestAlong(Bar->ScrollInfo, Horz ? P.x : P.y, Horz ? R.Left : R.Top, Horz ? R.Width() : R.Height(),
                      ScrollBarDimension(Bar, false), Bar->MinThumb, ShiftHeld());
}

void Send(TvkScrollWnd* A, HWND Wnd, int Code, int Pos) {
  A->ScrollBusy = true;
  try {
    SendScrollMessage(Wnd, T.ScrollMsg, Code, Pos);
  } catch (...) {
    A->ScrollBusy = false;
    throw;
  }
  A->ScrollBusy = false;
}

void KillTimers(HWND Wnd) {
  if (T.RepeatTimer != 0) KillTimer(Wnd, T.RepeatTimer);
  T.RepeatTimer = 0;
}

// The bar dragged to coordinate C along it: repainted at once with the thumb pressed, SB_THUMBTRACK when the
// position changed.
void DragStep(TvkScrollWnd* A, HWND Wnd, TvkScrollBar* Bar, int C) {
  const bool Horz = Bar->Kind == SB_HORZ;
  const int Arrow = ScrollBarDimension(Bar, false);
  const int TrackStart = (Horz ? T.DragBarRect.Left : T.DragBarRect.Top) + Arrow;
  const int TrackEnd = (Horz ? T.DragBarRect.Right : T.DragBarRect.Bottom) - Arrow;
  const int Start = std::clamp(C - T.DragOffset, TrackStart, std::max(TrackStart, TrackEnd - T.DragThumbSize));
  RECT W{};
  GetWindowRect(Wnd, &W);
  const TRect R(T.DragBarRect.Left - W.left, T.DragBarRect.Top - W.top, T.DragBarRect.Right - W.left,
                T.DragBarRect.Bottom - W.top);
  TvkBarLook Look;
  Look.ThumbState = 2;
  Look.ThumbStart = Start - (Horz ? T.DragBarRect.Left : T.DragBarRect.Top);
  HDC DC = GetWindowDC(Wnd);
  RenderScrollBar(A, Bar, Wnd, DC, R, Look);
  ReleaseDC(Wnd, DC);
  const SCROLLINFO& SI = Bar->ScrollInfo;
  const int P = ThumbOffsetToPosition(SI, Start - TrackStart, TrackEnd - TrackStart, T.DragThumbSize);
  if (SI.nMin + P != T.TrackPos) {
    Bar->ScrollInfo.nTrackPos = SI.nMin + P;
    Send(A, Wnd, SB_THUMBTRACK, SI.nMin + P);
    T.TrackPos = SI.nMin + P;
  }
}

void RecordThumb(TvkScrollBar* Bar, const TRect& R) {
  const bool Horz = Bar->Kind == SB_HORZ;
  const TvkThumb Th = ComputeThumb(Bar->ScrollInfo, Horz ? R.Left : R.Top, Horz ? R.Width() : R.Height(),
                                   ScrollBarDimension(Bar, false), Bar->MinThumb);
  T.DragBarRect = R;
  T.DragThumbSize = Th.Length;
  T.DragThumbPos = Th.Start;
}

void ResetTracking() {
  T.PressedPart = spNone;
  T.HotPart = spNone;
  T.TrackedBarKind = -1;
  T.RepeatTimer = 0;
  T.ScrollMsg = 0;
}

// Steps 2 to 4 of a release: timers off, end messages, the bar painted normal, the state idle.
void EndPress(TvkScrollWnd* A, HWND Wnd) {
  TvkScrollBar* Bar = T.TrackedBarKind >= 0 ? BarOfKind(A, T.TrackedBarKind) : nullptr;
  if (T.PressedPart >= spFirstArrow && T.PressedPart <= spTrackAfter) {
    KillTimers(Wnd);
    if (A->ThumbTracking) {
      A->ThumbTracking = false;
      Send(A, Wnd, SB_THUMBPOSITION, T.TrackPos);
    }
    Send(A, Wnd, SB_ENDSCROLL, 0);
    T.HotPart = spNone;
    if (Bar != nullptr) PaintOneScrollBar(A, Bar, Wnd, spNone);
  } else if (T.PressedPart == spThumb) {
    if (A->DropDownDragMode() && Bar != nullptr) {
      // A drop-down list reads where the cursor ended against the thumb.
      POINT P{};
      Platform().GetCursorPos(&P);
      const bool Horz = Bar->Kind == SB_HORZ;
      const int C = Horz ? P.x : P.y;
      const int Arrow = ScrollBarDimension(Bar, false);
      const int TS = (Horz ? T.DragBarRect.Left : T.DragBarRect.Top) + Arrow;
      const int TE = (Horz ? T.DragBarRect.Right : T.DragBarRect.Bottom) - Arrow;
      if (C < T.DragThumbPos && C >= TS - Arrow)
        T.TrackPos = 0;
      else if (C > TE)
        T.TrackPos = 4;
      else
        T.TrackPos = T.DragThumbPos + T.DragThumbSize / 2 < (TS + TE) / 2 ? 1 : 3;
    }
    if (A->ThumbTracking) {
      A->ThumbTracking = false;
      Send(A, Wnd, SB_THUMBPOSITION, T.TrackPos);
    }
    Send(A, Wnd, SB_ENDSCROLL, T.TrackPos);
    if (Bar != nullptr) PaintOneScrollBar(A, Bar, Wnd, spNone);
  } else if (T.PressedPart == spJump && Bar != nullptr) {
    // The jump drew its thumb pressed; the release sends nothing and shows the thumb normal again.
    PaintOneScrollBar(A, Bar, Wnd, spNone);
  }
  A->ThumbTracking = false;
  ResetTracking();
}

}  // namespace

LRESULT ScrollWndCalcSize(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto* R = reinterpret_cast<RECT*>(LParam);
  const RECT R0 = *R;
  const LONG Style = GetWindowLongA(Wnd, GWL_STYLE);
  LRESULT Result;
  if (Style & (WS_HSCROLL | WS_VSCROLL)) {
    A->CalcSizeBusy = true;
    SetWindowLongA(Wnd, GWL_STYLE, Style & ~(WS_HSCROLL | WS_VSCROLL));
    try {
      Result = A->ForwardToOldWndProc(Wnd, WM_NCCALCSIZE, WParam, LParam);
    } catch (...) {
      SetWindowLongA(Wnd, GWL_STYLE, Style);
      A->CalcSizeBusy = false;
      throw;
    }
    SetWindowLongA(Wnd, GWL_STYLE, Style);
    A->CalcSizeBusy = false;
  } else {
    Result = A->ForwardToOldWndProc(Wnd, WM_NCCALCSIZE, WParam, LParam);
  }
  // Sections here carry no negative frame width that would widen the client area again, so the window's
  // own frame stands.
  A->FrameLeft = R->left - R0.left;
  A->FrameRight = R0.right - R->right;
  A->FrameTop = R->top - R0.top;
  A->FrameBottom = R0.bottom - R->bottom;
  TvkScrollBar* H = A->HorzBar;
  TvkScrollBar* V = A->VertBar;
  if (H != nullptr) {
    H->Style = (Style & WS_HSCROLL) ? 8 : 0;
    const int Thick = ScrollBarDimension(H, true);
    H->Shown = H->Style == 8 && Thick <= R->bottom - R->top;
    if (H->Shown) R->bottom -= Thick;
  }
  if (V != nullptr) {
    V->Style = (Style & WS_VSCROLL) ? 8 : 0;
    const int Thick = ScrollBarDimension(V, true);
    V->Shown = V->Style == 8 && Thick <= R->right - R->left;
    if (V->Shown) {
      if (A->LeftScrollBar)
        R->left += Thick;
      else
        R->right -= Thick;
    }
  }
  return Result;
}

LRESULT ScrollWndHitTest(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  TsCommonData* SD = A->SkinData;
  if (TsSkinManager* M = SD != nullptr ? SD->SkinManager() : nullptr;
      M != nullptr && M->HotWindow() != Wnd && !SD->Hot &&
      (SD->OwnerControl == nullptr || CursorOverControl(SD->OwnerControl)))
    M->ChangeHotWindow(Wnd);
  const POINT P{XOf(LParam), YOf(LParam)};
  TRect H, V;
  GetHorzScrollBarRect(A, Wnd, H);
  GetVertScrollBarRect(A, Wnd, V);
  const auto Inside = [&](const TRect& R) { return P.x >= R.Left && P.x < R.Right && P.y >= R.Top && P.y < R.Bottom; };
  if (A->HorzBar != nullptr && A->HorzBar->Shown && Inside(H)) return IsScrollBarShown(Wnd, SB_HORZ) ? HTHSCROLL : HTNOWHERE;
  if (A->VertBar != nullptr && A->VertBar->Shown && Inside(V)) return IsScrollBarShown(Wnd, SB_VERT) ? HTVSCROLL : HTNOWHERE;
  if (A->HorzBar != nullptr && A->VertBar != nullptr && A->HorzBar->Shown && A->VertBar->Shown) {
    const TRect Corner(V.Left, H.Top, V.Right, H.Bottom);
    if (Inside(Corner) && IsGripCorner(A, Wnd, Corner)) return HTBOTTOMRIGHT;
  }
  return A->ForwardToOldWndProc(Wnd, WM_NCHITTEST, WParam, LParam);
}

bool ScrollWndGripPress(TvkScrollWnd* A, HWND Wnd, LPARAM LParam) {
  if (A->HorzBar == nullptr || A->VertBar == nullptr || !A->HorzBar->Shown || !A->VertBar->Shown) return false;
  TRect H, V;
  GetHorzScrollBarRect(A, Wnd, H);
  GetVertScrollBarRect(A, Wnd, V);
  const TRect Corner(V.Left, H.Top, V.Right, H.Bottom);
  const POINT P{XOf(LParam), YOf(LParam)};
  if (P.x < Corner.Left || P.x >= Corner.Right || P.y < Corner.Top || P.y >= Corner.Bottom) return false;
  return IsGripCorner(A, Wnd, Corner) && SizeParentFromGrip(Wnd, LParam, A->LeftScrollBar);
}

LRESULT ScrollWndNCMouseMove(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  T.HoverWnd = Wnd;
  if ((WParam == HTHSCROLL || WParam == HTVSCROLL)) {
    const int Kind = WParam == HTHSCROLL ? SB_HORZ : SB_VERT;
    if (Kind != T.HoverBarKind) {
      T.LastHoverPart = spNone;
      T.HoverPart = spNone;
      T.HoverBarRect = BarRect(A, Wnd, Kind);
      T.HoverBarKind = Kind;
      T.HoverTimer = SetTimer(Wnd, kScrollHoverTimer, 20, nullptr);
      PaintScrollBars(A, Wnd, -1, nullptr);
    }
  }
  return A->ForwardToOldWndProc(Wnd, WM_NCMOUSEMOVE, WParam, LParam);
}

LRESULT ScrollWndNCButtonDown(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  T.HoverWnd = Wnd;
  if (WParam != HTHSCROLL && WParam != HTVSCROLL) {
    T.PressedPart = spNone;
    return A->ForwardToOldWndProc(Wnd, WM_NCLBUTTONDOWN, WParam, LParam);
  }
  const int Kind = WParam == HTHSCROLL ? SB_HORZ : SB_VERT;
  T.ScrollMsg = Kind == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
  T.TrackedBarKind = Kind;
  TvkScrollBar* Bar = BarOfKind(A, Kind);
  const TRect R = BarRect(A, Wnd, Kind);
  const POINT P{XOf(LParam), YOf(LParam)};
  const int Along = Kind == SB_HORZ ? P.x : P.y;
  T.PressedPart = HitTestBar(Bar, R, P);
  LRESULT Result = 0;
  switch (T.PressedPart) {
    case spFirstArrow:
    case spSecondArrow:
    case spTrackBefore:
    case spTrackAfter:
      if (IsScrollBarShown(Wnd, Kind)) {
        T.HotPart = T.PressedPart;
        PaintOneScrollBar(A, Bar, Wnd, T.HotPart);
        Send(A, Wnd, T.PressedPart, 0);
        T.HotPart = T.PressedPart;
        T.RepeatTimer = SetTimer(Wnd, kScrollFirstRepeat, 300, nullptr);
      }
      break;
    case spJump:
      RecordThumb(Bar, R);
      T.DragOffset = T.DragThumbSize / 2;
      T.TrackPos = Bar->ScrollInfo.nPos;
      DragStep(A, Wnd, Bar, Along);
      break;
    case spThumb:
      if (IsScrollBarShown(Wnd, Kind)) {
        RecordThumb(Bar, R);
        A->ThumbTracking = true;
        Bar->ScrollInfo.nTrackPos = Bar->ScrollInfo.nPos;
        T.DragOffset = Along - T.DragThumbPos;
        T.TrackPos = Bar->ScrollInfo.nPos;
      }
      break;
    default:
      Result = A->ForwardToOldWndProc(Wnd, WM_NCLBUTTONDOWN, WParam, LParam);
      break;
  }
  if (T.PressedPart != spNone) SetCapture(Wnd);
  return Result;
}

LRESULT ScrollWndMouseMove(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  if (A->ThumbTracking && T.TrackedBarKind >= 0) {
    const DWORD MP = Platform().GetMessagePos();
    const POINT P{XOf(MP), YOf(MP)};
    TvkScrollBar* Bar = BarOfKind(A, T.TrackedBarKind);
    DragStep(A, Wnd, Bar, Bar->Kind == SB_HORZ ? P.x : P.y);
    return 0;
  }
  if (T.PressedPart == spNone) return A->ForwardToOldWndProc(Wnd, WM_MOUSEMOVE, WParam, LParam);
  if (T.PressedPart == spJump || T.TrackedBarKind < 0) return 0;
  POINT P{XOf(LParam), YOf(LParam)};
  ClientToScreen(Wnd, &P);
  TvkScrollBar* Bar = BarOfKind(A, T.TrackedBarKind);
  const int Part = HitTestBar(Bar, BarRect(A, Wnd, T.TrackedBarKind), P);
  T.HotPart = Part == T.PressedPart ? T.PressedPart : spNone;
  PaintOneScrollBar(A, Bar, Wnd, T.HotPart);
  return 0;
}

LRESULT ScrollWndButtonUp(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  if (T.PressedPart == spNone) return A->ForwardToOldWndProc(Wnd, WM_LBUTTONUP, WParam, LParam);
  const bool KeepCapture = A->IsDropDownList() && A->SkinData->OwnerControl == nullptr && A->DropDownListOpen();
  if (!KeepCapture && GetCapture() == Wnd) ReleaseCapture();
  EndPress(A, Wnd);
  TControl* Owner = A->SkinData != nullptr ? A->SkinData->OwnerControl : nullptr;
  const bool ImageEn = Owner != nullptr && (Owner->ClassName() == "TImageEnView" || Owner->ClassName() == "TImageEnVect");
  const bool ClosedList = A->IsDropDownList() && Owner == nullptr && !A->DropDownListOpen();
  if (WParam == static_cast<WPARAM>(-1) || ImageEn || ClosedList) return 0;
  return A->ForwardToOldWndProc(Wnd, WM_LBUTTONUP, WParam, LParam);
}

LRESULT ScrollWndTimer(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  bool Forwarded = false;
  LRESULT Result = 0;
  if (T.RepeatTimer == 0 && T.HoverTimer == 0) {
    Result = A->ForwardToOldWndProc(Wnd, WM_TIMER, WParam, LParam);
    Forwarded = true;
  }
  switch (WParam) {
    case kScrollHoverTimer: {
      if (A->ThumbTracking) break;
      POINT P{};
      Platform().GetCursorPos(&P);
      const TRect& R = T.HoverBarRect;
      if (P.x >= R.Left && P.x < R.Right && P.y >= R.Top && P.y < R.Bottom && T.HoverBarKind >= 0) {
        TvkScrollBar* Bar = BarOfKind(A, T.HoverBarKind);
        T.HoverPart = HitTestBar(Bar, R, P);
        if (T.HoverPart != T.LastHoverPart)
          PaintOneScrollBar(A, Bar, Wnd, T.TrackedBarKind == T.HoverBarKind ? T.HotPart : spNone);
        T.LastHoverPart = T.HoverPart;
      } else {
        KillTimer(Wnd, T.HoverTimer != 0 ? T.HoverTimer : kScrollHoverTimer);
        T.HoverTimer = 0;
        T.HoverBarKind = -1;
        T.LastHoverPart = spNone;
        T.HoverPart = spNone;
        PaintScrollBars(A, Wnd, -1, nullptr);
      }
      break;
    }
    case kScrollFirstRepeat:
      KillTimers(Wnd);
      T.RepeatTimer = SetTimer(Wnd, kScrollRepeat, 55, nullptr);
      return 0;
    case kScrollRepeat: {
      POINT P{};
      Platform().GetCursorPos(&P);
      ScreenToClient(Wnd, &P);
      ScrollWndMouseMove(A, Wnd, 0, MAKELPARAM(static_cast<SHORT>(P.x), static_cast<SHORT>(P.y)));
      if (T.HotPart != spNone) Send(A, Wnd, T.HotPart, 0);
      return 0;
    }
    default:
      if (!Forwarded) Result = A->ForwardToOldWndProc(Wnd, WM_TIMER, WParam, LParam);
      break;
  }
  return Result;
}

LRESULT ScrollWndStyleChanged(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  if (static_cast<int>(WParam) == GWL_EXSTYLE)
    A->LeftScrollBar = (reinterpret_cast<STYLESTRUCT*>(LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
  return A->ForwardToOldWndProc(Wnd, WM_STYLECHANGED, WParam, LParam);
}

LRESULT ScrollWndSetCursor(TvkScrollWnd* A, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  return A->ForwardToOldWndProc(Wnd, WM_SETCURSOR, WParam, LParam);
}

void ScrollWndCaptureLost(TvkScrollWnd* A, HWND Wnd) {
  if (T.PressedPart == spNone || T.HoverWnd != Wnd) return;
  EndPress(A, Wnd);
}

void ScrollWndForget(HWND Wnd) {
  if (T.HoverWnd != Wnd || Wnd == nullptr) return;
  if (T.RepeatTimer != 0) KillTimer(Wnd, T.RepeatTimer);
  if (T.HoverTimer != 0) KillTimer(Wnd, T.HoverTimer);
  T = TvkScrollTracking{};
}

void SendScrollMessage(HWND Wnd, UINT Msg, int Code, int Pos) {
  const LPARAM L = MAKELONG(Code, Msg);
  const WPARAM W = MAKEWPARAM(Code, std::clamp(Pos, 0, 65535));
  if (SendSkinCommand(Wnd, VKCMD_SUSPEND_REDRAW, L) == 1) {
    SendSkinMessage(Wnd, Msg, W, Pos);
  } else {
    const int Bar = Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
    SCROLLINFO SI{};
    SI.cbSize = sizeof SI;
    SI.fMask = SIF_ALL;
    GetScrollInfo(Wnd, Bar, &SI);
    if (Code == SB_THUMBTRACK) {
      SI.fMask = SIF_POS;
      SI.nPos = Pos;
      SetScrollInfo(Wnd, Bar, &SI, FALSE);
    }
    SendSkinMessage(Wnd, Msg, W, 0);
  }
  SendSkinCommand(Wnd, VKCMD_RESUME_REDRAW, L);
}
