// Painting: invalidating controls, painting a window with its graphic children (double-buffered when asked),
// printing it into a DC, its border ring and background, and the canvases of graphic and custom controls.
#include "framework/Controls.h"

#include <algorithm>

#include "framework/GraphicsGdi.h"

// ===================================================================================================
// TControl

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  RECT r = BoundsRect();
  InvalidateRect(FParent->Handle(), &r, !IsOpaque);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  Invalidate();
  FParent->Update();
}

// ===================================================================================================
// TWinControl

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::PaintWindow(HDC DC) {
  if (FrameworkPainted()) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintHandler(HDC DC) {
  int saved = 0;
  int clip = SIMPLEREGION;
  for (TControl* c : FControls)
    if (c->Visible() && c->ControlStyle().Contains(csOpaque)) {
      if (!saved) saved = SaveDC(DC);
      clip = ExcludeClipRect(DC, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
      if (clip == NULLREGION) break;
    }
  if (clip != NULLREGION) {
    FControlState += csCustomPaint;
    try {
      PaintWindow(DC);
    } catch (...) {
      FControlState -= csCustomPaint;
      if (saved) RestoreDC(DC, saved);
      throw;
    }
    FControlState -= csCustomPaint;
  }
  if (saved) RestoreDC(DC, saved);
  PaintControls(DC, nullptr);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto it = FControls.begin();
  if (First) it = std::find(FControls.begin(), FControls.end(), First);
  std::vector<TControl*> list(it, FControls.end());  // a paint may change the list
  for (TControl* c : list) {
    if (!c->Visible()) continue;
    RECT r = c->BoundsRect();
    if (!RectVisible(DC, &r)) continue;
    bool copy = FControlState.Contains(csPaintCopy);
    if (copy) c->FControlState += csPaintCopy;
    int s = SaveDC(DC);
    POINT org;
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - c->Left(), org.y - c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } catch (...) {
      RestoreDC(DC, s);
      c->FControlState -= csPaintCopy;
      throw;
    }
    RestoreDC(DC, s);
    if (copy) c->FControlState -= csPaintCopy;
  }
}

void TWinControl::WMPaint(TMessage& Message) {
  if (!FrameworkPainted() && FControls.empty()) {
    DefaultHandler(Message);
    return;
  }
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (dc) {
    PaintHandler(dc);
  } else {
    PAINTSTRUCT ps;
    dc = BeginPaint(FHandle, &ps);
    HDC memDC = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ oldBmp = nullptr;
    try {
      if (FDoubleBuffered) {
        RECT r;
        GetClientRect(FHandle, &r);
        memDC = GdiNewMemoryDC(dc);
        bmp = GdiNewCompatibleBitmap(dc, std::max<int>(r.right, 1), std::max<int>(r.bottom, 1));
        oldBmp = SelectObject(memDC, bmp);
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
        PaintHandler(memDC);
        BitBlt(dc, 0, 0, r.right, r.bottom, memDC, 0, 0, SRCCOPY);
      } else {
        PaintHandler(dc);
      }
    } catch (...) {
      if (memDC) {
        SelectObject(memDC, oldBmp);
        GdiFreeObject(bmp);
        GdiFreeMemoryDC(memDC);
      }
      EndPaint(FHandle, &ps);
      throw;
    }
    if (memDC) {
      SelectObject(memDC, oldBmp);
      GdiFreeObject(bmp);
      GdiFreeMemoryDC(memDC);
    }
    EndPaint(FHandle, &ps);
  }
  Message.Result = 0;
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  FControlState += csPaintCopy;
  int saved = SaveDC(DC);
  try {
    POINT org;
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - X, org.y - Y, nullptr);
    IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle) {
      LONG style = GetWindowLongA(FHandle, GWL_STYLE), ex = GetWindowLongA(FHandle, GWL_EXSTYLE);
      UINT edge = (ex & WS_EX_CLIENTEDGE) ? EDGE_SUNKEN : 0;
      UINT flags = BF_RECT | BF_ADJUST | ((style & WS_BORDER) ? BF_MONO : 0);
      if (edge || (style & WS_BORDER)) DrawEdge(DC, &r, edge ? edge : BDR_OUTER, flags);
    }
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - r.left, org.y - r.top, nullptr);
    IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TWinControl* c : FWinControls)
      if (c->Visible()) c->PaintTo(DC, c->Left(), c->Top());
  } catch (...) {
    RestoreDC(DC, saved);
    FControlState -= csPaintCopy;
    throw;
  }
  RestoreDC(DC, saved);
  FControlState -= csPaintCopy;
}

void TWinControl::WMPrint(TMessage& Message) {
  if (!FrameworkPainted()) {
    DefaultHandler(Message);
    return;
  }
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  LPARAM flags = Message.LParam;
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) return;
  int saved = SaveDC(dc);
  try {
    if (Message.Msg == WM_PRINT) {
      if (flags & PRF_NONCLIENT)
        CallWindowProcA(FDefWndProc, FHandle, WM_PRINT, Message.WParam, PRF_NONCLIENT);
      // The client area starts where the frame ends.
      RECT wr;
      GetWindowRect(FHandle, &wr);
      POINT client{0, 0};
      ::ClientToScreen(FHandle, &client);
      POINT org;
      GetWindowOrgEx(dc, &org);
      SetWindowOrgEx(dc, org.x - (client.x - wr.left), org.y - (client.y - wr.top), nullptr);
      RECT cr;
      GetClientRect(FHandle, &cr);
      IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
    }
    if (flags & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
    if (flags & PRF_CLIENT) Perform(WM_PAINT, Message.WParam, 0);
    if (Message.Msg == WM_PRINT && (flags & PRF_CHILDREN))
      for (TWinControl* c : FWinControls)
        if (c->HandleAllocated() && IsWindowVisible(c->FHandle)) {
          int s = SaveDC(dc);
          POINT org;
          GetWindowOrgEx(dc, &org);
          SetWindowOrgEx(dc, org.x - c->Left(), org.y - c->Top(), nullptr);
          SendMessageA(c->FHandle, WM_PRINT, Message.WParam, flags & ~PRF_CHECKVISIBLE);
          RestoreDC(dc, s);
        }
  } catch (...) {
    RestoreDC(dc, saved);
    throw;
  }
  RestoreDC(dc, saved);
  Message.Result = 0;
}

void TWinControl::SetBorderWidth(int Value) {
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Realign();
}

void TWinControl::WMNCCalcSize(TMessage& Message) {
  DefaultHandler(Message);
  if (FBorderWidth > 0) {
    RECT* r = reinterpret_cast<RECT*>(Message.LParam);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
  }
}

void TWinControl::WMNCPaint(TMessage& Message) {
  DefaultHandler(Message);
  if (FBorderWidth <= 0) return;
  // The ring between the frame and the client area.
  HDC dc = GdiGetWindowDC(FHandle);
  RECT wr, cr;
  GetWindowRect(FHandle, &wr);
  GetClientRect(FHandle, &cr);
  POINT client{0, 0};
  ::ClientToScreen(FHandle, &client);
  OffsetRect(&cr, client.x - wr.left, client.y - wr.top);
  RECT ring = cr;
  InflateRect(&ring, FBorderWidth, FBorderWidth);
  ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  HBRUSH b = GdiNewSolidBrush(ColorToRGB(FColor));
  FillRect(dc, &ring, b);
  GdiFreeObject(b);
  GdiReleaseDC(FHandle, dc);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!FrameworkPainted() || !dc) {
    DefaultHandler(Message);
    return;
  }
  RECT r = ClientRect();  // also without a window (PaintTo of a control whose window is not made yet)
  HBRUSH b = GdiNewSolidBrush(ColorToRGB(FColor));
  ::FillRect(dc, &r, b);
  GdiFreeObject(b);
  Message.Result = 1;
}

// ===================================================================================================
// TControlCanvas, TGraphicControl, TCustomControl

namespace {
std::vector<TControlCanvas*>& g_canvasesWithDC = *new std::vector<TControlCanvas*>;
}

TControlCanvas::TControlCanvas(TControl* Control) : FControl(Control) {}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  SetHandle(nullptr);
  if (FOwnDC) {
    GdiReleaseDC(FOwnWindow, FOwnDC);
    FOwnDC = nullptr;
    FOwnWindow = nullptr;
    g_canvasesWithDC.erase(std::remove(g_canvasesWithDC.begin(), g_canvasesWithDC.end(), this), g_canvasesWithDC.end());
  }
}

void TControlCanvas::PaintOn(HDC DC, const std::function<void()>& Paint) {
  Lock();
  FreeHandle();
  SetHandle(DC);
  try {
    Paint();
  } catch (...) {
    SetHandle(nullptr);
    Unlock();
    throw;
  }
  SetHandle(nullptr);
  Unlock();
}

void TControlCanvas::FreeDeviceContexts(HWND Window) {
  std::vector<TControlCanvas*> list = g_canvasesWithDC;
  for (TControlCanvas* c : list)
    if (!Window || c->FOwnWindow == Window) c->FreeHandle();
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  TWinControl* win = As<TWinControl>(FControl);
  TWinControl* host = win ? win : FControl->Parent();
  if (!host) return;
  HWND h = host->Handle();
  HDC dc = GdiGetDCEx(h, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) return;
  if (!win) {
    SetWindowOrgEx(dc, -FControl->Left(), -FControl->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  FOwnDC = dc;
  FOwnWindow = h;
  g_canvasesWithDC.push_back(this);
  SetHandle(dc);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) { FCanvas = new TControlCanvas(this); }

TGraphicControl::~TGraphicControl() { FCanvas->Free(); }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT && Message.WParam) {
    FCanvas->PaintOn(reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
    return;
  }
  inherited::Dispatch(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) { FCanvas = new TControlCanvas(this); }

TCustomControl::~TCustomControl() { FCanvas->Free(); }

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->PaintOn(DC, [this] { Paint(); });
}
