// The scroll bar control.
#include <algorithm>

#include "framework/StdCtrls.h"

namespace {
constexpr const char* kRangeError = "Scroll bar property out of range";
// Re-sends caused by setters inside SBM_SETSCROLLINFO: more than this means two parties keep changing the
// range in turn.
constexpr int kMaxResends = 16;
}  // namespace

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 121;
  FHeight = GetSystemMetrics(SM_CYHSCROLL);
  FTabStop = true;
  FControlStyle = {csFramed, csDoubleClicks};
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "SCROLLBAR");
  Params.Style |= FKind == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
  inherited::CreateWnd();
  UpdateScrollInfo();
}

void TScrollBar::Loaded() {
  inherited::Loaded();
  // Values read in any order are checked once they are all there.
  if (FMax < FMin || FPosition < FMin || FPosition > FMax || FPageSize > FMax - FMin + 1)
    throw EInvalidOperation(kRangeError);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
  RecreateWnd();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  const bool loading = ComponentState().Contains(csLoading);
  if (!loading && (AMax < AMin || APosition < AMin || APosition > AMax)) throw EInvalidOperation(kRangeError);
  if (APosition == FPosition && AMin == FMin && AMax == FMax) return;
  const bool moved = APosition != FPosition;
  FMin = AMin;
  FMax = AMax;
  FPosition = APosition;
  UpdateScrollInfo();
  if (moved && !loading) Change();
}

void TScrollBar::SetPageSize(int Value) {
  if (FPageSize == Value) return;
  if (!ComponentState().Contains(csLoading) && (Value < 0 || Value > FMax - FMin + 1))
    throw EInvalidOperation(kRangeError);
  FPageSize = Value;
  UpdateScrollInfo();
}

void TScrollBar::UpdateScrollInfo() {
  if (!HandleAllocated()) return;
  if (FSending > 0) {
    FResend = true;
    return;
  }
  ++FSending;
  try {
    int sends = 0;
    do {
      if (++sends > kMaxResends) throw EInvalidOperation("Scroll bar range keeps changing while it is set");
      FResend = false;
      SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, FMin, FMax, static_cast<UINT>(FPageSize), FPosition, 0};
      SendMessageA(FHandle, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
    } while (FResend && HandleAllocated());
  } catch (...) {
    --FSending;
    throw;
  }
  --FSending;
}

void TScrollBar::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::CNScroll(TMessage& Message) {
  const int code = LOWORD(Message.WParam);
  const int last = FMax - std::max(FPageSize - 1, 0);
  int pos = FPosition;
  switch (code) {
    case SB_LINEUP: pos -= FSmallChange; break;
    case SB_LINEDOWN: pos += FSmallChange; break;
    case SB_PAGEUP: pos -= FLargeChange; break;
    case SB_PAGEDOWN: pos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The 32-bit track position; the message carries only 16 bits.
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(FHandle, SB_CTL, &si);
      pos = si.nTrackPos;
      break;
    }
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = last; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, std::max(FMin, last));
  if (code <= SB_ENDSCROLL) Scroll(static_cast<TScrollCode>(code), pos);
  SetPosition(std::clamp(pos, FMin, FMax));
}

void TScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      return CNScroll(Message);
    case CN_CTLCOLORSCROLLBAR:
      // The system's scroll-bar colours, not the control's Color.
      Message.Result = CallWindowProcA(FDefWndProc, FHandle, WM_CTLCOLORSCROLLBAR, Message.WParam, Message.LParam);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

static const std::vector<std::string> kKindNames = {"sbHorizontal", "sbVertical"};

PUBLISHED(TScrollBar) {
  p.Publish("PopupMenu");
  p.Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind, kKindNames);
  p.Int("Min", &TScrollBar::Min, &TScrollBar::SetMin);
  p.Int("Max", &TScrollBar::Max, &TScrollBar::SetMax);
  p.Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition);
  p.Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize);
  p.Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange);
  p.Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange);
  p.Event("OnChange", &TScrollBar::OnChange);
  p.Event("OnScroll", &TScrollBar::OnScroll);
}
