// The static text control and its non-client bevels.
#include "framework/GraphicsGdi.h"
#include "framework/StdCtrls.h"

TCustomStaticText::TCustomStaticText(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 65;
  FHeight = 17;
}

void TCustomStaticText::CreateParams(TCreateParams& Params) {
  static const DWORD align[] = {SS_LEFT, SS_RIGHT, SS_CENTER};
  inherited::CreateParams(Params);
  CreateSubClass(Params, "STATIC");
  Params.Style |= SS_NOTIFY | align[FAlignment];
  if (FBorderStyle == sbsSingle) Params.Style |= WS_BORDER;
  if (FBorderStyle == sbsSunken) Params.Style |= SS_SUNKEN;
  if (!FShowAccelChar) Params.Style |= SS_NOPREFIX;
}

void TCustomStaticText::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TCustomStaticText::SetBorderStyle(TStaticBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomStaticText::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  RecreateWnd();
}

void TCustomStaticText::SetBevelKind(TBevelKind Value) {
  if (FBevelKind == Value) return;
  FBevelKind = Value;
  BevelChanged();
}

void TCustomStaticText::SetBevelInner(TBevelCut Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  BevelChanged();
}

void TCustomStaticText::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  BevelChanged();
}

int TCustomStaticText::BevelExtent() const {
  if (FBevelKind == bkNone) return 0;
  // A flat bevel is one line; the others take a line for each cut that is not bvNone.
  if (FBevelKind == bkFlat) return 1;
  return (FBevelInner != bvNone) + (FBevelOuter != bvNone);
}

void TCustomStaticText::BevelChanged() {
  if (HandleAllocated())
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomStaticText::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      inherited::Dispatch(Message);
      const int e = BevelExtent();
      if (e) InflateRect(reinterpret_cast<RECT*>(Message.LParam), -e, -e);
      return;
    }
    case WM_NCPAINT: {
      inherited::Dispatch(Message);
      if (!BevelExtent()) return;
      static const UINT cuts[] = {0, BDR_SUNKENOUTER, BDR_RAISEDOUTER, 0};
      static const UINT innerCuts[] = {0, BDR_SUNKENINNER, BDR_RAISEDINNER, 0};
      RECT r;
      GetWindowRect(FHandle, &r);
      OffsetRect(&r, -r.left, -r.top);
      if (FBorderStyle == sbsSingle) InflateRect(&r, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
      HDC dc = GdiGetWindowDC(FHandle);
      if (FBevelKind == bkFlat) {
        HBRUSH b = GdiNewSolidBrush(ColorToRGB(clBtnShadow));
        FrameRect(dc, &r, b);
        GdiFreeObject(b);
      } else if (UINT edge = cuts[FBevelOuter] | innerCuts[FBevelInner]) {
        DrawEdge(dc, &r, edge, BF_RECT | (FBevelKind == bkSoft ? BF_SOFT : 0));
      }
      GdiReleaseDC(FHandle, dc);
      return;
    }
    case CM_TEXTCHANGED:
      Invalidate();
      return inherited::Dispatch(Message);
    default:
      inherited::Dispatch(Message);
  }
}

static const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
static const std::vector<std::string> kBorderNames = {"sbsNone", "sbsSingle", "sbsSunken"};
static const std::vector<std::string> kBevelKindNames = {"bkNone", "bkTile", "bkSoft", "bkFlat"};
static const std::vector<std::string> kBevelCutNames = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};

PUBLISHED(TCustomStaticText) {
  for (const char* name : {"Caption", "Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("Alignment", &TCustomStaticText::Alignment, &TCustomStaticText::SetAlignment, kAlignmentNames);
  p.Enum("BorderStyle", &TCustomStaticText::BorderStyle, &TCustomStaticText::SetBorderStyle, kBorderNames);
  p.Enum("BevelKind", &TCustomStaticText::BevelKind, &TCustomStaticText::SetBevelKind, kBevelKindNames);
  p.Enum("BevelInner", &TCustomStaticText::BevelInner, &TCustomStaticText::SetBevelInner, kBevelCutNames);
  p.Enum("BevelOuter", &TCustomStaticText::BevelOuter, &TCustomStaticText::SetBevelOuter, kBevelCutNames);
  p.Bool("ShowAccelChar", &TCustomStaticText::ShowAccelChar, &TCustomStaticText::SetShowAccelChar);
}
IMPLEMENT_CLASS(TStaticText)
