// Bounds and layout: client rectangles and origins, anchors, alignment of children and scaling.
#include "framework/Controls.h"

#include <algorithm>

#include "framework/SysUtils.h"

// ===================================================================================================
// TControl

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FConstraints->Apply(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool resized = AWidth != FWidth || AHeight != FHeight;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  UpdateAnchorRules();
  if (resized) Resize();
  RequestAlign();
}

void TControl::UpdateAnchorRules() {
  // Bounds placed by the parent's alignment keep the rules they had.
  if (!FParent || FParent->FAlignLevel > 0) return;
  RECT pc = FParent->ClientRect();
  FAnchorRight = pc.right - (FLeft + FWidth);
  FAnchorBottom = pc.bottom - (FTop + FHeight);
}

void TControl::SetAnchors(TAnchors Value) {
  FAnchors = Value;
  UpdateAnchorRules();
}
void TControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  SetBounds(MulDiv(FLeft, M, D), MulDiv(FTop, M, D), MulDiv(FWidth, M, D), MulDiv(FHeight, M, D));
  if (!FParentFont) {
    FFont->SetHeight(MulDiv(FFont->Height(), M, D));
    FParentFont = false;
  }
}

RECT TControl::ClientRect() { return RECT{0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int W, int H) {
  RECT r = ClientRect();
  SetBounds(FLeft, FTop, FWidth - (r.right - r.left) + W, FHeight - (r.bottom - r.top) + H);
}

POINT TControl::ClientOrigin() {
  if (!FParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  POINT p = FParent->ClientOrigin();
  return POINT{p.x + FLeft, p.y + FTop};
}

POINT TControl::ClientToScreen(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}
void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (FParent && FAlign != alNone) FParent->Realign();
}

// ===================================================================================================
// TWinControl

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  HWND parent = GetAncestor(FHandle, GA_PARENT);
  if ((GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) && parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  bool resized = w != FWidth || h != FHeight;
  FLeft = r.left;
  FTop = r.top;
  FWidth = w;
  FHeight = h;
  UpdateAnchorRules();
  if (resized && !FControlState.Contains(csCreating)) {
    Realign();
    Resize();
  }
}

RECT TWinControl::ClientRect() {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return r;
  }
  return TControl::ClientRect();
}

POINT TWinControl::ClientOrigin() {
  POINT p{0, 0};
  if (FHandle) {
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  if (FParent) {
    POINT o = FParent->ClientOrigin();
    return POINT{o.x + FLeft, o.y + FTop};
  }
  return POINT{FLeft, FTop};
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FConstraints->Apply(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle) {
    // WM_WINDOWPOSCHANGED brings the new bounds back (UpdateBounds).
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  bool resized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  if (resized && !ComponentState().Contains(csLoading)) {
    Realign();
    Resize();
  }
  RequestAlign();
}

void TWinControl::SetClientSize(int W, int H) {
  RECT r = ClientRect();
  SetBounds(FLeft, FTop, FWidth - r.right + W, FHeight - r.bottom + H);
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  bool any = false;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone || c->Anchors().Contains(akRight) || c->Anchors().Contains(akBottom)) any = true;
  }
  if (!any) return;
  RECT r = ClientRect();
  ++FAlignLevel;
  try {
    AlignControls(nullptr, r);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  --FAlignLevel;
}

void TWinControl::AlignControls(TControl*, RECT& Rect) {
  auto place = [&](TAlign a) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c->Align() != a || !c->Visible()) continue;
      int w = c->Width(), h = c->Height();
      switch (a) {
        case alTop:
          c->SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, h);
          Rect.top += h;
          break;
        case alBottom:
          c->SetBounds(Rect.left, Rect.bottom - h, Rect.right - Rect.left, h);
          Rect.bottom -= h;
          break;
        case alLeft:
          c->SetBounds(Rect.left, Rect.top, w, Rect.bottom - Rect.top);
          Rect.left += w;
          break;
        case alRight:
          c->SetBounds(Rect.right - w, Rect.top, w, Rect.bottom - Rect.top);
          Rect.right -= w;
          break;
        case alClient:
          c->SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
          break;
        default:
          break;
      }
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
  // Anchored controls keep their distance from the right and bottom edges.
  RECT pc = ClientRect();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone) continue;
    int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    if (c->Anchors().Contains(akRight) && c->FAnchorRight >= 0) {
      if (c->Anchors().Contains(akLeft))
        w = pc.right - c->FAnchorRight - l;
      else
        l = pc.right - c->FAnchorRight - w;
    }
    if (c->Anchors().Contains(akBottom) && c->FAnchorBottom >= 0) {
      if (c->Anchors().Contains(akTop))
        h = pc.bottom - c->FAnchorBottom - t;
      else
        t = pc.bottom - c->FAnchorBottom - h;
    }
    c->SetBounds(l, t, w, h);
  }
}

void TWinControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  try {
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
    TControl::ChangeScale(M, D);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  EnableAlign();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  DefaultHandler(Message);
  UpdateBounds();
}
