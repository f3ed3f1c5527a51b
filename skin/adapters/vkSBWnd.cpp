#include "skin/adapters/vkSBWnd.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollBarPaint.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"

IMPLEMENT_CLASS(TvkSBWnd)

namespace {

constexpr int kMinThumb = 16;
constexpr UINT kRedrawParts = RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME;

int PageExcess(int Page) { return std::max(Page - 1, 0); }

}  // namespace

TvkSBGeometry SBControlGeometry(int Length, int ArrowSize, int Min, int Max, int Page, int ShownPos) {
  TvkSBGeometry G;
  G.Length = Length;
  G.Arrow = std::min(ArrowSize, Length / 2);
  const int Track = Length - 2 * G.Arrow;
  const int Span = Max - PageExcess(Page) + Page - Min;
  G.ThumbLength = kMinThumb;
  if (Page != 0 && Span > 0)
    G.ThumbLength = std::max(kMinThumb, static_cast<int>(std::lround(static_cast<double>(Page) / Span * Track)));
  const int Range = Max - Min - PageExcess(Page);
  const int Centre = Range == 0 ? Length / 2
                                : G.Arrow + G.ThumbLength / 2 +
                                      static_cast<int>(std::lround(static_cast<double>(Track - G.ThumbLength) *
                                                                   (ShownPos - Min) / Range));
  G.ThumbStart = Centre - G.ThumbLength / 2;
  return G;
}

int SBControlPositionAt(const TvkSBGeometry& G, int Coord, int Min, int Max, int Page) {
  const int Track = G.Length - 2 * G.Arrow;
  if (Track <= G.ThumbLength) return Min;
  return Min + static_cast<int>(std::lround(static_cast<double>(Coord - G.Arrow - G.ThumbLength / 2) *
                                            (Max - Min - PageExcess(Page)) / (Track - G.ThumbLength)));
}

// ---- state ----

bool TvkSBWnd::Vertical() const { return (GetWindowLongA(CtrlHandle, GWL_STYLE) & SBS_VERT) != 0; }

bool TvkSBWnd::IsSquare() const {
  RECT R{};
  GetWindowRect(CtrlHandle, &R);
  return R.right - R.left == R.bottom - R.top;
}

bool TvkSBWnd::ControlVisible() const {
  return ScrollBar != nullptr ? ScrollBar->Visible() : IsWindowVisible(CtrlHandle) != FALSE;
}

int TvkSBWnd::ControlPosition() const {
  if (ScrollBar != nullptr) return GetObjOrdPropValue(ScrollBar, "Position");
  return GetScrollPos(CtrlHandle, SB_CTL);
}

void TvkSBWnd::SetControlPosition(int Value) {
  // The control refuses a position outside its range: a drag past the end stops at it.
  const int Limited = std::clamp(Value, SBMin, std::max(SBMin, SBMax - PageExcess(SBPage)));
  if (ScrollBar != nullptr)
    SetObjPropValue(ScrollBar, "Position", Limited);
  else
    SetScrollPos(CtrlHandle, SB_CTL, Limited, TRUE);
}

int TvkSBWnd::TrackPosition() const {
  SCROLLINFO SI{sizeof SI, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(CtrlHandle, SB_CTL, &SI);
  return std::clamp(SI.nTrackPos, SBMin, std::max(SBMin, SBMax - PageExcess(SBPage)));
}

void TvkSBWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
  if (auto* W = As<TWinControl>(SkinData->OwnerControl)) {
    ScrollBar = W;
    W->SetTabStop(false);
  }
  if (ScrollBar != nullptr) {
    SBMin = GetObjOrdPropValue(ScrollBar, "Min");
    SBMax = GetObjOrdPropValue(ScrollBar, "Max");
    SBPage = GetObjOrdPropValue(ScrollBar, "PageSize");
    SBPos = GetObjOrdPropValue(ScrollBar, "Position");
  } else {
    SCROLLINFO SI{sizeof SI, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(CtrlHandle, SB_CTL, &SI);
    SBMin = SI.nMin;
    SBMax = SI.nMax;
    SBPage = static_cast<int>(SI.nPage);
    SBPos = SI.nPos;
  }
  ShownPos = SBPos;
  RedrawFixed = false;
  DragOffset = 0;
  PressedPart = 0;
  TvkMainWnd::FinishCreation();
}

void TvkSBWnd::CalcParts() {
  RECT C{};
  GetClientRect(CtrlHandle, &C);
  const bool V = Vertical();
  const int Len = V ? C.bottom : C.right, Across = V ? C.right : C.bottom;
  const TvkSBGeometry G = SBControlGeometry(Len, SkinScrollBarWidth(SkinData->SkinManager()), SBMin, SBMax, SBPage,
                                            ShownPos);
  auto Piece = [&](int From, int To) { return V ? TRect(0, From, Across, To) : TRect(From, 0, To, Across); };
  FirstArrowRect = Piece(0, G.Arrow);
  SecondArrowRect = Piece(Len - G.Arrow, Len);
  ThumbRect = Piece(G.ThumbStart, G.ThumbStart + G.ThumbLength);
  TrackBeforeRect = Piece(G.Arrow, G.ThumbStart);
  TrackAfterRect = Piece(G.ThumbStart + G.ThumbLength, Len - G.Arrow);
}

int TvkSBWnd::PositionAt(TPoint P) {
  if (!IsWindowEnabled(CtrlHandle)) return 0;
  RECT C{};
  GetClientRect(CtrlHandle, &C);
  const bool V = Vertical();
  const TvkSBGeometry G = SBControlGeometry(V ? C.bottom : C.right, SkinScrollBarWidth(SkinData->SkinManager()), SBMin,
                                            SBMax, SBPage, ShownPos);
  return SBControlPositionAt(G, V ? P.Y : P.X, SBMin, SBMax, SBPage);
}

void TvkSBWnd::SetPartState(int Part, int State) {
  int* States[] = {&FirstArrowState, &SecondArrowState, &TrackBeforeState, &TrackAfterState, nullptr, &ThumbState};
  if (Part < 0 || Part > spThumb || States[Part] == nullptr || *States[Part] == State) return;
  *States[Part] = State;
  if (State < 1) return;
  if (Part == spTrackBefore || Part == spTrackAfter) {
    FirstArrowState = SecondArrowState = ThumbState = 0;
    (Part == spTrackBefore ? TrackAfterState : TrackBeforeState) = 1;
  } else {
    // An arrow or the thumb: the bar as a whole looks hot.
    if (Part != spFirstArrow) FirstArrowState = 0;
    if (Part != spSecondArrow) SecondArrowState = 0;
    if (Part != spThumb) ThumbState = 0;
    TrackBeforeState = TrackAfterState = 1;
  }
}

void TvkSBWnd::RepaintParts() {
  if (ScrollBar != nullptr)
    ScrollBar->Invalidate();
  else
    InvalidateRect(CtrlHandle, nullptr, FALSE);
}

void TvkSBWnd::MouseDown(TPoint P) {
  if (!IsWindowEnabled(CtrlHandle)) return;
  CalcParts();
  DragOffset = 0;
  const POINT Pt{P.X, P.Y};
  if (PtInRect(FirstArrowRect.AsRECT(), Pt)) {
    if (FirstArrowState != 2) {
      PressedPart = spFirstArrow;
      SetPartState(spFirstArrow, 2);
    }
  } else if (PtInRect(SecondArrowRect.AsRECT(), Pt)) {
    PressedPart = spSecondArrow;
    SetPartState(spSecondArrow, 2);
  } else if (PtInRect(ThumbRect.AsRECT(), Pt)) {
    PressedPart = spThumb;
    if (ThumbState != 2) {
      DragOffset = PositionAt(P) - ControlPosition();
      SetPartState(spThumb, 2);
    }
  } else if (PtInRect(TrackBeforeRect.AsRECT(), Pt)) {
    PressedPart = spTrackBefore;
    SetPartState(spTrackBefore, 2);
    TrackAfterState = SkinData->CurrentState();
  } else {
    PressedPart = spTrackAfter;
    SetPartState(spTrackAfter, 2);
    TrackBeforeState = SkinData->CurrentState();
  }
  RepaintParts();
}

void TvkSBWnd::MouseUp(TPoint P) {
  if (!IsWindowEnabled(CtrlHandle)) return;
  CalcParts();
  const POINT Pt{P.X, P.Y};
  const bool OnThumb = PtInRect(ThumbRect.AsRECT(), Pt) != FALSE;
  if (OnThumb || ThumbState == 2) {
    PressedPart = spReleasing;
    // The drag is over: the thumb shows where the control now is.
    ShownPos = SBPos;
    TrackBeforeState = TrackAfterState = SkinData->CurrentState();
    if (ThumbState == 2) ThumbState = OnThumb ? 1 : 0;
    // Let go over an arrow: that arrow is the hot part now.
    if (PtInRect(FirstArrowRect.AsRECT(), Pt)) FirstArrowState = 1;
    if (PtInRect(SecondArrowRect.AsRECT(), Pt)) SecondArrowState = 1;
  } else if (FirstArrowState == 2 && PtInRect(FirstArrowRect.AsRECT(), Pt)) {
    FirstArrowState = 1;
  } else if (SecondArrowState == 2 && PtInRect(SecondArrowRect.AsRECT(), Pt)) {
    SecondArrowState = 1;
  } else {
    if (TrackBeforeState == 2) TrackBeforeState = SkinData->CurrentState();
    if (TrackAfterState == 2) TrackAfterState = SkinData->CurrentState();
  }
  RepaintParts();
  PressedPart = spReleased;
}

void TvkSBWnd::HoverAndDrag(TPoint ScreenPoint) {
  if (!IsWindowEnabled(CtrlHandle)) return;
  POINT Pt{ScreenPoint.X, ScreenPoint.Y};
  ScreenToClient(CtrlHandle, &Pt);
  CalcParts();
  if (ThumbState == 2) {
    const int Pos = PositionAt(TPoint(Pt.x, Pt.y)) - DragOffset;
    if (Pos != ControlPosition()) SetControlPosition(Pos);
    return;
  }
  if (PtInRect(ThumbRect.AsRECT(), Pt)) return;
  if (PtInRect(FirstArrowRect.AsRECT(), Pt)) {
    if (FirstArrowState != 2) SetPartState(spFirstArrow, 1);
  } else if (PtInRect(SecondArrowRect.AsRECT(), Pt)) {
    if (SecondArrowState != 2) SetPartState(spSecondArrow, 1);
  } else {
    ThumbState = FirstArrowState = SecondArrowState = 0;
  }
  RepaintParts();
}

void TvkSBWnd::TakeScrollInfo(const SCROLLINFO& SI) {
  int Min = SBMin, Max = SBMax, Page = SBPage, Pos = SBPos;
  if (SI.fMask & SIF_PAGE) Page = static_cast<int>(SI.nPage);
  if (SI.fMask & SIF_POS) Pos = SI.nPos;
  if (SI.fMask & SIF_RANGE) {
    Min = SI.nMax < SI.nMin ? 0 : SI.nMin;
    Max = SI.nMax < SI.nMin ? 0 : SI.nMax;
  }
  // The bar's own messages sent while writing back carry its older values: the outer message's are kept.
  if ((SI.fMask & SIF_POS) && ScrollBar != nullptr && !FWritingBack) WriteBackRange(Min, Max, Page);
  SBMin = Min;
  SBMax = Max;
  SBPage = std::clamp(Page, 0, SBMax - SBMin + 1);
  SBPos = std::clamp(Pos, SBMin, std::max(SBMin, SBMax - PageExcess(SBPage)));
  // While the thumb is dragged it follows the drag, wherever the control's own position is.
  ShownPos = PressedPart == spThumb ? TrackPosition() : SBPos;
}

void TvkSBWnd::WriteBackRange(int NewMin, int NewMax, int NewPage) {
  // Every write sends the control's own SBM_SETSCROLLINFO through here again: those are not written back. The
  // range is widened first and narrowed last, so that Min never passes Max and the position stays inside.
  FWritingBack = true;
  try {
    const int Min = GetObjOrdPropValue(ScrollBar, "Min"), Max = GetObjOrdPropValue(ScrollBar, "Max");
    const int Pos = GetObjOrdPropValue(ScrollBar, "Position");
    if (NewMin < Min) SetObjPropValue(ScrollBar, "Min", NewMin);
    if (NewMax > Max) SetObjPropValue(ScrollBar, "Max", NewMax);
    if (Pos < NewMin || Pos > NewMax) SetObjPropValue(ScrollBar, "Position", std::clamp(Pos, NewMin, NewMax));
    if (NewMin > Min) SetObjPropValue(ScrollBar, "Min", NewMin);
    if (NewMax < Max) SetObjPropValue(ScrollBar, "Max", NewMax);
    if (NewPage < GetObjOrdPropValue(ScrollBar, "Max"))
      SetObjPropValue(ScrollBar, "PageSize", std::clamp(NewPage, 0, NewMax - NewMin + 1));
  } catch (...) {
    FWritingBack = false;
    throw;
  }
  FWritingBack = false;
}

// ---- messages ----

void TvkSBWnd::CommonTail(TMessage& Message) {
  if (ProcessCommonSkinMessage(Message, SkinData)) return;
  TvkMainWnd::WndProc(Message);
}

void TvkSBWnd::SilentUpdate(TMessage& Message) {
  if (!ControlVisible()) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const int Locks = RedrawLocks;
  PerformMessage(WM_SETREDRAW, 0, 0);
  TvkMainWnd::WndProc(Message);
  UnlockRedraw();
  InvalidateRect(CtrlHandle, nullptr, FALSE);
  RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawParts);
  RelockRedraw(Locks);
}

void TvkSBWnd::UnlockRedraw() {
  for (int N = RedrawLocks; N > 0; --N) PerformMessage(WM_SETREDRAW, 1, 0);
}

void TvkSBWnd::RelockRedraw(int Locks) {
  for (int N = Locks; N > 0 && RedrawLocks < Locks; --N) PerformMessage(WM_SETREDRAW, 0, 0);
  if (RedrawFixed && Locks > 0) PerformMessage(WM_SETREDRAW, 0, 0);
}

void TvkSBWnd::WndProc(TMessage& Message) {
  const bool Alive = SkinData != nullptr && (SkinData->OwnerControl == nullptr ||
                                             !SkinData->OwnerControl->ComponentState().Contains(csDestroying));
  if (Message.Msg == SM_VKCMD && Alive) {
    TsSkinManager* M = SkinData->SkinManager();
    const bool Ours = M != nullptr && Message.LParam == reinterpret_cast<LPARAM>(M);
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
      case VKCMD_SKIN_DROPPED:
        if (Ours) ProcessSkinCommand(Message, SkinData);
        return;
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (Ours) {
          ProcessSkinCommand(Message, SkinData);
          SkinData->CacheDirty = true;
        }
        return;
      case VKCMD_PARENT_UPDATE_DONE:
        if (SkinData->Updating && !SkinData->RecheckUpdating(true)) {
          RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
          if (auto* W = As<TWinControl>(SkinData->OwnerControl)) RepaintChildrenAfterUpdate(W);
        }
        return;
      case VKCMD_QUERY_SKINNED:
        Message.Result = 1;
        return;
      case VKCMD_REPAINT:
        RepaintParts();
        break;
      case VKCMD_QUERY_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return;
      default:
        break;
    }
  }
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const TPoint At(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
  switch (Message.Msg) {
    case WM_PAINT:
      PaintControl(Message);
      return;
    case WM_NCPAINT:
      return;
    case WM_PRINT:
      if (TsSkinManager* D = TsSkinManager::DefaultManager(); D != nullptr && D->Active()) {
        SendMessageA(CtrlHandle, WM_PAINT, Message.WParam, Message.LParam);
        PerformMessage(WM_NCPAINT, Message.WParam, Message.LParam);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      MouseDown(At);
      if (ControlVisible()) {
        UnlockRedraw();
        SetWindowLongA(CtrlHandle, GWL_STYLE, GetWindowLongA(CtrlHandle, GWL_STYLE) | WS_VISIBLE);
        TvkMainWnd::WndProc(Message);
        InvalidateRect(CtrlHandle, nullptr, FALSE);
        RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawParts);
      } else {
        TvkMainWnd::WndProc(Message);
      }
      return;
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
      if (ControlVisible()) {
        SwitchWindowRedraw(CtrlHandle, false);
        TvkMainWnd::WndProc(Message);
        SwitchWindowRedraw(CtrlHandle, true);
        POINT P{};
        Platform().GetCursorPos(&P);
        ScreenToClient(CtrlHandle, &P);
        MouseDown(TPoint(P.x, P.y));
        MouseUp(TPoint(P.x, P.y));
      } else {
        TvkMainWnd::WndProc(Message);
      }
      return;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
      MouseUp(At);
      break;
    case WM_CAPTURECHANGED: {
      POINT P{};
      Platform().GetCursorPos(&P);
      ScreenToClient(CtrlHandle, &P);
      MouseUp(TPoint(P.x, P.y));
      break;
    }
    case WM_NCHITTEST:
      HoverAndDrag(At);
      break;
    case WM_SETREDRAW:
      if (!RedrawFixed) RedrawLocks += Message.WParam == 0 ? 1 : -1;
      break;
    case SBM_SETSCROLLINFO:
      if (IsSquare()) break;
      if (Message.LParam != 0) TakeScrollInfo(*reinterpret_cast<const SCROLLINFO*>(Message.LParam));
      SilentUpdate(Message);
      return;
    case CM_CHANGED:
      SilentUpdate(Message);
      return;
    case CM_MOUSEENTER:
      TrackBeforeState = TrackAfterState = 1;
      RepaintParts();
      return;
    case CM_MOUSELEAVE:
      FirstArrowState = SecondArrowState = 0;
      if (ThumbState != 2) ThumbState = TrackBeforeState = TrackAfterState = 0;
      RepaintParts();
      return;
    case CM_ENABLEDCHANGED:
      TvkMainWnd::WndProc(Message);
      SkinData->RepaintOwner(false);
      return;
    case CN_CTLCOLORSCROLLBAR: {
      // The system's own drawing of the bar must leave nothing.
      RECT R{};
      GetWindowRect(CtrlHandle, &R);
      ExcludeClipRect(reinterpret_cast<HDC>(Message.WParam), 0, 0, R.right - R.left, R.bottom - R.top);
      return;
    }
    default:
      break;
  }
  CommonTail(Message);
}

// ---- painting ----

void TvkSBWnd::PaintControl(TMessage& Message) {
  PAINTSTRUCT PS{};
  BeginPaint(CtrlHandle, &PS);
  const bool Ready = (ScrollBar == nullptr || IsControlReadyToPaint(ScrollBar)) && !SkinData->IsUpdating();
  TsSkinManager* M = SkinData->SkinManager();
  if (!Ready || M == nullptr) {
    EndPaint(CtrlHandle, &PS);
    return;
  }
  HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(CtrlHandle);
  const int Saved = SaveDC(DC);
  RECT C{};
  GetClientRect(CtrlHandle, &C);
  if (IsSquare()) {
    const int Bar = M->FindSectionIndex("SCROLLBAR1H");
    const uint32_t Colour = Bar >= 0 ? M->gd()[Bar].Props[0].Color : static_cast<uint32_t>(ColorToRGB(M->SkinBaseColor()));
    PaintSolidRect(DC, TRect(C), Colour);
  } else {
    const bool Enabled = IsWindowEnabled(CtrlHandle) != FALSE;
    std::unique_ptr<TBitmap> Own;
    TBitmap* Bmp = nullptr;
    if (Enabled) {
      Bmp = PrepareAdapterCache(this);
    } else {
      Own.reset(NewBitmap32(C.right, C.bottom));
      Bmp = Own.get();
    }
    Bmp->SetSize(C.right, C.bottom);
    TvkBgCacheRef Bg;
    AdapterParentBackground(this, Bg);
    FillFromBackground(Bmp->Canvas()->Handle(), TRect(C), Bg);
    TvkBgCacheRef Self;
    InitBgInfo(Bmp, 0, 0, Self);
    CalcParts();
    const bool V = Vertical();
    const int Current = Enabled ? SkinData->CurrentState() : 0;
    PaintScrollBarElement(M, V ? seScrollBar1V : seScrollBar1H, Self, Bmp, TrackBeforeRect,
                          Enabled ? std::max(TrackBeforeState, Current) : 0);
    PaintScrollBarElement(M, V ? seScrollBar2V : seScrollBar2H, Self, Bmp, TrackAfterRect,
                          Enabled ? std::max(TrackAfterState, Current) : 0);
    PaintScrollBarElement(M, V ? seScrollBtnTop : seScrollBtnLeft, Self, Bmp, FirstArrowRect, FirstArrowState);
    PaintScrollBarElement(M, V ? seScrollBtnBottom : seScrollBtnRight, Self, Bmp, SecondArrowRect, SecondArrowState);
    const int Track = V ? SecondArrowRect.Top - FirstArrowRect.Bottom : SecondArrowRect.Left - FirstArrowRect.Right;
    const int Thumb = V ? ThumbRect.Height() : ThumbRect.Width();
    if (Enabled && Track >= Thumb)
      PaintScrollBarElement(M, V ? seScrollSliderV : seScrollSliderH, Self, Bmp, ThumbRect, ThumbState);
    if (!Enabled) PaintAdapterDisabled(Bmp, Bg);
    BitBlt(DC, 0, 0, C.right, C.bottom, Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  RestoreDC(DC, Saved);
  if (Message.WParam == 0) ReleaseDC(CtrlHandle, DC);
  EndPaint(CtrlHandle, &PS);
}
