// Painting controls somewhere else than their own window: a control and what is inside it into a 32-bit bitmap
// (snapshots of animations), and the graphic children of a windowed control over its background without
// flicker.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

bool Designing(const TComponent* C) { return C->ComponentState().Contains(csDesigning); }

// The snapshot window of skin changes covers forms while they change; it never belongs in a snapshot.
bool IsOutputWindow(const TControl* C) {
  for (const TClassInfo* I = C->ClassInfo(); I != nullptr; I = I->parent)
    if (std::string(I->name) == "TOutputWindow") return true;
  return false;
}

// Copies R (the asker's coordinates) of the background bitmap to the same place of DC.
void CopyFromBackground(HDC DC, const TvkParentBgQuery& Q, const RECT& R) {
  if (R.right <= R.left || R.bottom <= R.top) return;
  BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, Q.Bmp->Canvas()->Handle(), R.left + Q.OffsetX,
         R.top + Q.OffsetY, SRCCOPY);
}

void FillColor(HDC DC, const RECT& R, TColor Color) {
  HBRUSH B = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, &R, B);
  DeleteObject(B);
}

// A child's background in the memory image, from what its parent answered.
void PaintChildBackground(HDC DC, TControl* Child, const TvkParentBgQuery& Q) {
  const RECT B = Child->BoundsRect();
  if (Child->ControlStyle().Contains(csOpaque)) {
    FillColor(DC, B, GetControlColor(Child));
    return;
  }
  if (Q.Bmp == nullptr) {
    FillColor(DC, B, static_cast<TColor>(Q.Color));
    return;
  }
  if (Q.Kind == bgkBitmap) {
    CopyFromBackground(DC, Q, B);
    return;
  }
  // a plain colour inside the parent's border, whose strips come from the parent's image
  FillColor(DC, B, static_cast<TColor>(Q.Color));
  auto Strip = [&](RECT S) {
    RECT Part;
    if (IntersectRect(&Part, &S, &B)) CopyFromBackground(DC, Q, Part);
  };
  constexpr int kFar = 1 << 20;
  Strip(RECT{-kFar, -kFar, kFar, Q.FillRect.Top});
  Strip(RECT{-kFar, -kFar, Q.FillRect.Left, kFar});
  if (Q.OffsetY >= 0) Strip(RECT{-kFar, Q.Bmp->Height() - Q.FillRect.Bottom - Q.OffsetY, kFar, kFar});
  if (Q.OffsetX >= 0) Strip(RECT{Q.Bmp->Width() - Q.FillRect.Right - Q.OffsetX, -kFar, kFar, kFar});
}

bool g_paintingGraphicChildren = false;

}  // namespace

bool IsGraphicChildVisible(TControl* Child, HDC DC) {
  if (As<TGraphicControl>(Child) == nullptr) return false;
  if (!Child->Visible() && !Designing(Child)) return false;
  if (Child->Width() < 1 || Child->Height() <= 0) return false;
  if (Child->ControlStyle().Contains(csNoDesignVisible) || Child->ComponentState().Contains(csDestroying)) return false;
  const RECT B = Child->BoundsRect();
  return RectVisible(DC, &B) != FALSE;
}

bool PaintingGraphicChildren() { return g_paintingGraphicChildren; }

void PaintGraphicChildren(HDC DC, TWinControl* Control, bool CheckVisible, POINT Offset) {
  if (g_paintingGraphicChildren) return;
  g_paintingGraphicChildren = true;
  struct TGuard {
    ~TGuard() { g_paintingGraphicChildren = false; }
  } Guard;
  if (CheckVisible && !Control->Visible() && !Designing(Control)) return;
  if (Control->ControlCount() == 0) return;
  RECT Clip{};
  if (GetClipBox(DC, &Clip) == NULLREGION || Clip.right <= Clip.left || Clip.bottom <= Clip.top) {
    if (Control->HandleAllocated()) SendSkinCommand(Control->Handle(), VKCMD_SET_CLIPPED_OUT, 0);
    return;
  }
  // the children's coordinates are the control's client coordinates
  TvkParentBgQuery Q{};
  QueryParentBackground(Q, Control, false);
  auto* Form = As<TCustomForm>(Control);
  const bool MdiForm = Form != nullptr && Form->FormStyle() == fsMDIForm;

  HDC Mem = nullptr;
  HBITMAP MemBmp = nullptr, OldBmp = nullptr;
  try {
    for (int i = 0; i < Control->ControlCount(); ++i) {
      TControl* Child = Control->Controls(i);
      if (!IsGraphicChildVisible(Child, DC)) continue;
      if (MdiForm && Child->Align() != alNone) Child->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_REPAINT), 0);
      if (Mem == nullptr) {
        HDC Screen = GetDC(nullptr);
        Mem = CreateCompatibleDC(Screen);
        MemBmp = CreateCompatibleBitmap(Screen, std::max(1, Control->Width()), std::max(1, Control->Height()));
        ReleaseDC(nullptr, Screen);
        OldBmp = static_cast<HBITMAP>(SelectObject(Mem, MemBmp));
        // all backgrounds first, so that no child paints over a neighbour's background
        for (int j = 0; j < Control->ControlCount(); ++j)
          if (TControl* C = Control->Controls(j); IsGraphicChildVisible(C, DC)) PaintChildBackground(Mem, C, Q);
      }
      const int Saved = SaveDC(Mem);
      const RECT B = Child->BoundsRect();
      if (!RectVisible(DC, &B)) SendControlCommand(Child, VKCMD_SET_CLIPPED_OUT, 0);
      SetViewportOrgEx(Mem, Child->Left(), Child->Top(), nullptr);
      IntersectClipRect(Mem, 0, 0, Child->Width(), Child->Height());
      const bool Copy = Control->ControlState().Contains(csPaintCopy);
      if (Copy) Child->SetControlState(Child->ControlState() + csPaintCopy);
      try {
        Child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Mem), 0);
      } catch (...) {
        if (Copy) Child->SetControlState(Child->ControlState() - csPaintCopy);
        RestoreDC(Mem, Saved);
        throw;
      }
      if (Copy) Child->SetControlState(Child->ControlState() - csPaintCopy);
      RestoreDC(Mem, Saved);
    }
    if (Mem != nullptr)
      for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* Child = Control->Controls(i);
        if (!IsGraphicChildVisible(Child, DC)) continue;
        // a child that left the key colour at its corner painted nothing of its own: the DC keeps what it shows
        if (GetPixel(Mem, Child->Left(), Child->Top()) == 0xFF00FF) continue;
        BitBlt(DC, Child->Left() + Offset.x, Child->Top() + Offset.y, Child->Width(), Child->Height(), Mem,
               Child->Left(), Child->Top(), SRCCOPY);
      }
  } catch (...) {
    if (Mem != nullptr) {
      SelectObject(Mem, OldBmp);
      DeleteObject(MemBmp);
      DeleteDC(Mem);
    }
    throw;
  }
  if (Mem != nullptr) {
    SelectObject(Mem, OldBmp);
    DeleteObject(MemBmp);
    DeleteDC(Mem);
  }
}

namespace {

// Where a windowed control's client area starts in its picture: at the form skinner's client offsets for a
// form painted whole, else where the system puts it in the window (0 for a control without a frame).
POINT ClientOriginInPicture(TWinControl* Win, TsSkinProvider* Provider) {
  if (Provider != nullptr && FormServices.GetClientOffsetLeft && FormServices.GetClientOffsetTop)
    return POINT{FormServices.GetClientOffsetLeft(Provider), FormServices.GetClientOffsetTop(Provider)};
  return ClientOriginInWindow(Win->Handle());
}

// The MDI children of Form, each where it lies in the MDI client window, in the origin of Form's client area.
void PaintMDIChildrenToBitmap(TCustomForm* Form, TBitmap* Bmp) {
  const HWND Client = Form->ClientHandle();
  if (Client == nullptr) return;
  POINT At{0, 0};
  MapWindowPoints(Client, Form->Handle(), &At, 1);
  HDC DC = Bmp->Canvas()->Handle();
  // the bottom of the z-order first, so that the active child ends on top
  for (int i = Form->MDIChildCount() - 1; i >= 0; --i) {
    TCustomForm* Child = Form->MDIChildren(i);
    if (Child == nullptr || !Child->HandleAllocated() || !IsWindowVisible(Child->Handle())) continue;
    RECT R{};
    GetWindowRect(Child->Handle(), &R);
    POINT P{R.left, R.top};
    ScreenToClient(Client, &P);
    const int Saved = SaveDC(DC);
    POINT Org{};
    GetWindowOrgEx(DC, &Org);
    SetWindowOrgEx(DC, Org.x - At.x - P.x, Org.y - At.y - P.y, nullptr);
    try {
      PaintControlToBitmap(Bmp, Child, P.x, P.y, nullptr, false);
    } catch (...) {
      RestoreDC(DC, Saved);
      throw;
    }
    RestoreDC(DC, Saved);
  }
}

}  // namespace

void PaintControlToBitmap(TBitmap* Bmp, TControl* Control, int X, int Y, TsSkinProvider* Provider, bool WithSiblings) {
  if (Provider == nullptr && Control->Parent() != nullptr && !Control->Visible() && !Designing(Control)) {
    // an invisible control shows only what lies behind it
    TvkParentBgQuery Q{};
    QueryParentBackground(Q, Control->Parent(), false);
    HDC DC = Bmp->Canvas()->Handle();
    if (Q.Kind == bgkBitmap && Q.Bmp != nullptr)
      BitBlt(DC, X, Y, Control->Width(), Control->Height(), Q.Bmp->Canvas()->Handle(), Control->Left() + Q.OffsetX,
             Control->Top() + Q.OffsetY, SRCCOPY);
    else
      FillColor(DC, RECT{X, Y, X + Control->Width(), Y + Control->Height()}, static_cast<TColor>(Q.Color));
    if (WithSiblings) PaintSiblingsAbove(Control, Bmp);
    return;
  }
  TCanvas* Canvas = Bmp->Canvas();
  Canvas->Lock();
  HDC DC = Canvas->Handle();
  const int Saved = SaveDC(DC);
  try {
    TvkBorderForm* Border =
        Provider != nullptr && FormServices.ProviderBorderForm ? FormServices.ProviderBorderForm(Provider) : nullptr;
    if (Border == nullptr) IntersectClipRect(DC, 0, 0, Control->Width(), Control->Height());
    if (auto* Win = As<TWinControl>(Control)) {
      const HWND Wnd = Win->Handle();
      LRESULT Last = SendSkinCommand(Wnd, VKCMD_SET_PRINT_DC, reinterpret_cast<LPARAM>(DC));
      if (Last != 1 && !WindowHasSkin(Wnd)) {
        Win->PaintTo(DC, 0, 0);
      } else {
        Last = SendSkinMessage(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(DC), 0);
        SendSkinCommand(Wnd, VKCMD_SET_PRINT_DC, 0);
      }
      // child windows lie in the control's client area, which a form's picture holds at its client offsets
      const POINT C = ClientOriginInPicture(Win, Provider);
      POINT Org{};
      GetWindowOrgEx(DC, &Org);
      SetWindowOrgEx(DC, Org.x - C.x, Org.y - C.y, nullptr);
      // -2: the control painted its child windows itself
      if (Last != -2) PaintChildWindowsToBitmap(Win, Bmp);
      // an MDI parent's children come last, over its client window
      if (auto* F = As<TCustomForm>(Win); F != nullptr && F->FormStyle() == fsMDIForm) PaintMDIChildrenToBitmap(F, Bmp);
      SetWindowOrgEx(DC, Org.x, Org.y, nullptr);
      if (Provider != nullptr) {
        if (Border != nullptr) {
          RECT R{};
          GetClientRect(Wnd, &R);
          const int DX = FormServices.GetClientOffsetLeft ? FormServices.GetClientOffsetLeft(Provider) : 0;
          const int DY = FormServices.GetClientOffsetTop ? FormServices.GetClientOffsetTop(Provider) : 0;
          OffsetRect(&R, DX, DY);
          R.bottom = std::min<LONG>(R.bottom, Bmp->Height() - 1);
          SetRectAlpha32(Bmp, TRect(R.left, R.top, R.right, R.bottom), 255, NoColor32);
        }
        SendSkinCommand(Wnd, VKCMD_PAINTED_TO_BITMAP, reinterpret_cast<LPARAM>(Bmp));
      }
    } else {
      SendControlCommand(Control, VKCMD_SET_PRINT_DC, reinterpret_cast<LPARAM>(DC));
      Control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(DC), 0);
      SendControlCommand(Control, VKCMD_SET_PRINT_DC, 0);
    }
  } catch (...) {
    RestoreDC(DC, Saved);
    Canvas->Unlock();
    throw;
  }
  RestoreDC(DC, Saved);
  Canvas->Unlock();
  if (WithSiblings) PaintSiblingsAbove(Control, Bmp);
}

void PaintChildWindowsToBitmap(TWinControl* Control, TBitmap* Bmp) {
  HDC DC = Bmp->Canvas()->Handle();
  for (int i = 0; i < Control->ControlCount(); ++i) {
    auto* Child = As<TWinControl>(Control->Controls(i));
    if (Child == nullptr || (!Child->Visible() && !Designing(Child)) || !Child->HandleAllocated()) continue;
    const int Saved = SaveDC(DC);
    try {
      if (!(As<TCustomForm>(Child) != nullptr && Child->Parent() == nullptr)) {
        POINT Org;
        GetWindowOrgEx(DC, &Org);
        SetWindowOrgEx(DC, Org.x - Child->Left(), Org.y - Child->Top(), nullptr);
      }
      PaintControlToBitmap(Bmp, Child, Child->Left(), Child->Top(), nullptr, false);
    } catch (...) {
      RestoreDC(DC, Saved);
      throw;
    }
    RestoreDC(DC, Saved);
  }
}

void PaintSiblingsAbove(TControl* Control, TBitmap* Bmp) {
  TWinControl* Parent = Control->Parent();
  if (Parent == nullptr) return;
  int Index = -1;
  for (int i = 0; i < Parent->ControlCount(); ++i)
    if (Parent->Controls(i) == Control) Index = i;
  if (Index < 0) return;
  const RECT Own = Control->BoundsRect();
  const RECT Wide{Own.left, Own.top, Own.right + 1, Own.bottom + 1};
  HDC DC = Bmp->Canvas()->Handle();
  for (int i = Index + 1; i < Parent->ControlCount(); ++i) {
    TControl* S = Parent->Controls(i);
    if (IsOutputWindow(S) || !S->Visible()) continue;
    const RECT B = S->BoundsRect();
    const POINT TopLeft{B.left, B.top}, BottomRight{B.right, B.bottom};
    if (!PtInRect(&Wide, TopLeft) && !PtInRect(&Wide, BottomRight)) continue;
    POINT Org;
    GetWindowOrgEx(DC, &Org);
    const int DX = S->Left() - Control->Left(), DY = S->Top() - Control->Top();
    SetWindowOrgEx(DC, Org.x - DX, Org.y - DY, nullptr);
    try {
      PaintControlToBitmap(Bmp, S, 0, 0, nullptr, false);
    } catch (...) {
      SetWindowOrgEx(DC, Org.x, Org.y, nullptr);
      throw;
    }
    SetWindowOrgEx(DC, Org.x, Org.y, nullptr);
  }
}

void ClearRects32(const std::vector<TRect>& Rects, TBitmap* Bmp) {
  for (const TRect& R : Rects) FillRect32(Bmp, R, 0, 0);
}
