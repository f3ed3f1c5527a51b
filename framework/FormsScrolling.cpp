// Scrolling containers: the window's own scroll bars over a content range, the scroll box, and frames
// read from their own stored descriptions.
#include <algorithm>

#include "framework/FormReader.h"
#include "framework/Forms.h"

// ===================================================================================================
// TControlScrollBar

int TControlScrollBar::ClientExtent() const {
  RECT r = FControl->ClientRect();
  return FKind == sbHorizontal ? r.right - r.left : r.bottom - r.top;
}

int TControlScrollBar::MaxPosition() const { return std::max(0, FRange - ClientExtent()); }

bool TControlScrollBar::IsScrollBarVisible() const {
  if (FControl->HandleAllocated())
    return (GetWindowLongA(FControl->Handle(), GWL_STYLE) & (FKind == sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
  return FVisible && FRange > ClientExtent();
}

void TControlScrollBar::SetRange(int Value) {
  Value = std::max(0, Value);
  if (FRange == Value) return;
  FRange = Value;
  FControl->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value) {
  if (FControl->ComponentState().Contains(csLoading)) {
    // The range may come later in the description: checked when loading ends.
    FPosition = Value;
    return;
  }
  Value = std::clamp(Value, 0, MaxPosition());
  if (Value == FPosition) return;
  const int delta = FPosition - Value;
  FPosition = Value;
  FControl->ScrollBy(FKind == sbHorizontal ? delta : 0, FKind == sbVertical ? delta : 0);
  Apply();
}

void TControlScrollBar::Apply() {
  if (!FControl->HandleAllocated()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  // The system hides a bar whose page covers its range.
  si.nMax = FVisible && FRange > 0 ? FRange - 1 : 0;
  si.nPage = FVisible ? static_cast<UINT>(ClientExtent()) : 0;
  si.nPos = FVisible ? FPosition : 0;
  SetScrollInfo(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, &si, TRUE);
}

void TControlScrollBar::ScrollMessage(TMessage& Message) {
  const int bar = FKind == sbHorizontal ? SB_HORZ : SB_VERT;
  int pos = FPosition;
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: pos -= FIncrement; break;
    case SB_LINEDOWN: pos += FIncrement; break;
    case SB_PAGEUP: pos -= ClientExtent(); break;
    case SB_PAGEDOWN: pos += ClientExtent(); break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = MaxPosition(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      if (LOWORD(Message.WParam) == SB_THUMBTRACK && !FTracking) break;
      // The message carries 16 bits; larger ranges read the 32-bit track position.
      pos = HIWORD(Message.WParam);
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      if (FRange > 0xFFFF && GetScrollInfo(FControl->Handle(), bar, &si)) pos = si.nTrackPos;
      break;
    }
    default: break;
  }
  SetPosition(pos);
  Message.Result = 0;
}

PUBLISHED(TControlScrollBar) {
  p.Int("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange);
  p.Int("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition);
  p.Bool("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible);
  p.Bool("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking);
  p.Int("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement);
}

// ===================================================================================================
// TScrollingWinControl

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle += csAcceptsControls;
  FHorzScrollBar = new TControlScrollBar(this, sbHorizontal);
  FVertScrollBar = new TControlScrollBar(this, sbVertical);
}

TScrollingWinControl::~TScrollingWinControl() {
  FHorzScrollBar->Free();
  FVertScrollBar->Free();
}

void TScrollingWinControl::CreateWnd() {
  inherited::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::Loaded() {
  inherited::Loaded();
  UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
  if (FUpdatingBars || ComponentState().Contains(csLoading)) return;
  ++FUpdatingBars;
  try {
    // A bar coming or going changes the other's client extent: twice settles both.
    for (int pass = 0; pass < 2; ++pass)
      for (TControlScrollBar* bar : {FHorzScrollBar, FVertScrollBar}) {
        bar->Apply();
        bar->SetPosition(bar->FPosition);
      }
  } catch (...) {
    --FUpdatingBars;
    throw;
  }
  --FUpdatingBars;
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY) {
  if (!DeltaX && !DeltaY) return;
  DisableAlign();
  try {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
    }
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TScrollingWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      // A child scroll bar's message names its window; the window's own bars send none.
      if (Message.LParam) break;
      return (Message.Msg == WM_HSCROLL ? FHorzScrollBar : FVertScrollBar)->ScrollMessage(Message);
    case WM_SIZE:
      inherited::Dispatch(Message);
      UpdateScrollBars();
      return;
    default:
      break;
  }
  inherited::Dispatch(Message);
}

PUBLISHED(TScrollingWinControl) {
  p.Object("HorzScrollBar", &TScrollingWinControl::HorzScrollBar);
  p.Object("VertScrollBar", &TScrollingWinControl::VertScrollBar);
}

// ===================================================================================================
// TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 185;
  FHeight = 41;
}

void TScrollBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

PUBLISHED(TScrollBox) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle, {"bsNone", "bsSingle"});
}

// ===================================================================================================
// TCustomFrame / TFrame

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 320;
  FHeight = 240;
}

void TCustomFrame::AfterConstruction() {
  inherited::AfterConstruction();
  ReadStoredDescription();
}

bool TCustomFrame::ReadStoredDescription() {
  const TClassInfo* cls = ClassInfo();
  if (cls == TFrame::StaticClassInfo() || cls == TCustomFrame::StaticClassInfo()) return false;
  if (!ReadComponentRes(ClassName(), this)) throw EResNotFound("Resource " + ClassName() + " not found");
  return true;
}

PUBLISHED(TCustomFrame) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
}
IMPLEMENT_CLASS(TFrame)
