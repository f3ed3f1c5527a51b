#include "framework/ExtCtrls.h"

#include <cmath>
#include <map>

#include "framework/Forms.h"
#include "framework/UtilWindow.h"

// ===================================================================================================
// Frame3D / TCustomPanel

void Frame3D(HDC DC, RECT& Rect, TColor TopColor, TColor BottomColor, int Width) {
  HBRUSH top = GdiNewSolidBrush(ColorToRGB(TopColor));
  HBRUSH bottom = GdiNewSolidBrush(ColorToRGB(BottomColor));
  for (int i = 0; i < Width; ++i) {
    RECT r = Rect;
    --r.right;
    --r.bottom;
    RECT t{r.left, r.top, r.right, r.top + 1};
    RECT l{r.left, r.top, r.left + 1, r.bottom};
    RECT b{r.left, r.bottom, r.right + 1, r.bottom + 1};
    RECT rr{r.right, r.top, r.right + 1, r.bottom};
    FillRect(DC, &t, top);
    FillRect(DC, &l, top);
    FillRect(DC, &b, bottom);
    FillRect(DC, &rr, bottom);
    InflateRect(&Rect, -1, -1);
  }
  GdiFreeObject(top);
  GdiFreeObject(bottom);
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks};
  FWidth = 185;
  FHeight = 41;
  FColor = clBtnFace;
  FParentColor = true;
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  FBevelOuter = Value;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut Value) {
  FBevelInner = Value;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelWidth(int Value) {
  FBevelWidth = Value;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}
void TCustomPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

RECT TCustomPanel::InnerRect() {
  RECT r = ClientRect();
  int inset = 0;
  if (FBevelOuter != bvNone) inset += FBevelWidth;
  if (FBevelInner != bvNone) inset += FBevelWidth;
  InflateRect(&r, -inset, -inset);
  return r;
}

void TCustomPanel::AlignControls(TControl* AControl, RECT& Rect) {
  Rect = InnerRect();
  inherited::AlignControls(AControl, Rect);
}

void TCustomPanel::Paint() {
  HDC dc = FCanvas->Handle();
  RECT r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    if (cut == bvSpace) top = bottom = FColor;
    Frame3D(dc, r, top, bottom, FBevelWidth);
  };
  bevel(FBevelOuter);
  bevel(FBevelInner);
  FCanvas->Brush()->SetStyle(bsSolid);
  FCanvas->Brush()->SetColor(FColor);
  FCanvas->FillRect(r);
  std::string text = Caption();
  if (text.empty()) return;
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  int mode = SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FEnabled ? FFont->Color() : clGrayText));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | align[FAlignment]);
  SetBkMode(dc, mode);
  SelectObject(dc, old);
}

void TCustomPanel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_TEXTCHANGED) {
    Invalidate();
    return;
  }
  inherited::Dispatch(Message);
}

// ===================================================================================================
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  FWidth = 105;
  FHeight = 105;
  FPicture = new TPicture();
  FPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
}

TImage::~TImage() { FPicture->Free(); }

void TImage::SetStretch(bool Value) {
  FStretch = Value;
  Invalidate();
}
void TImage::SetCenter(bool Value) {
  FCenter = Value;
  Invalidate();
}
void TImage::SetProportional(bool Value) {
  FProportional = Value;
  Invalidate();
}
void TImage::SetTransparent(bool Value) {
  FTransparent = Value;
  if (FPicture->Graphic()) FPicture->Graphic()->SetTransparent(Value);
  Invalidate();
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (FPicture->Width() <= 0 || FPicture->Height() <= 0) return false;
  NewWidth = FPicture->Width();
  NewHeight = FPicture->Height();
  return true;
}

void TImage::AdjustSize() {
  int w, h;
  if (FAutoSize && CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TImage::PictureChanged(TObject*) {
  if (FPicture->Graphic() && FTransparent != FPicture->Graphic()->Transparent()) FPicture->Graphic()->SetTransparent(FTransparent);
  if (FAutoSize) AdjustSize();
  Invalidate();
}

RECT TImage::DestRect() {
  int w = FPicture->Width(), h = FPicture->Height();
  int cw = FWidth, ch = FHeight;
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(std::trunc(cw / aspect));
        if (h > ch) {
          h = ch;
          w = static_cast<int>(std::trunc(ch * aspect));
        }
      } else {
        h = ch;
        w = static_cast<int>(std::trunc(ch * aspect));
        if (w > cw) {
          w = cw;
          h = static_cast<int>(std::trunc(cw / aspect));
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  int x = 0, y = 0;
  if (FCenter) {
    x = (cw - w) / 2;
    y = (ch - h) / 2;
  }
  return RECT{x, y, x + w, y + h};
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  FCanvas->StretchDraw(DestRect(), g);
}

// ===================================================================================================
// TTimer

namespace {
// The timers whose first tick comes from a thread timer, by that timer's id (ids are the thread's own).
std::map<UINT_PTR, TTimer*>& FirstTickTimers() {
  static thread_local std::map<UINT_PTR, TTimer*> timers;
  return timers;
}
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
  StopTimer();
  DeallocateHWnd(FWindowHandle);
}

HWND TTimer::WindowHandle() {
  if (!FWindowHandle) FWindowHandle = AllocateHWnd(TWndMethod::Bind<&TTimer::WndProc>(this));
  return FWindowHandle;
}

void TTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
  if (FInterval == Value) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::StopTimer() {
  if (FWindowTimer) KillTimer(FWindowHandle, 1);
  FWindowTimer = false;
  if (FFirstTick) {
    KillTimer(nullptr, FFirstTick);
    FirstTickTimers().erase(FFirstTick);
    FFirstTick = 0;
  }
}

void TTimer::StartOnWindow() {
  if (!SetTimer(WindowHandle(), 1, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
  FWindowTimer = true;
}

void TTimer::UpdateTimer() {
  StopTimer();
  if (!FEnabled || FInterval == 0) return;
  if (FWindowHandle || OnTimer) {
    StartOnWindow();
    return;
  }
  FFirstTick = SetTimer(nullptr, 0, FInterval, &TTimer::FirstTick);
  if (!FFirstTick) throw EOutOfResources("Not enough timers available");
  FirstTickTimers()[FFirstTick] = this;
}

void CALLBACK TTimer::FirstTick(HWND, UINT, UINT_PTR Id, DWORD) {
  const auto it = FirstTickTimers().find(Id);
  // Stopped while its tick was on its way; or the framework exiting, when utility windows tick no more.
  if (it == FirstTickTimers().end() || FrameworkExiting()) return;
  TTimer* Self = it->second;
  try {
    // From here on it ticks as every running timer does; the tick may stop, restart or free it.
    Self->StopTimer();
    Self->StartOnWindow();
    Self->Timer();
  } catch (...) {
    HandleCallbackException(Self);
  }
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (...) {
      Application->HandleException(this);
    }
    return;
  }
  Message.Result = DefWindowProcA(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ===================================================================================================

static const std::vector<std::string> kBevelNames = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
static const std::vector<std::string> kPanelBorderNames = {"bsNone", "bsSingle"};
static const std::vector<std::string> kPanelAlignNames = {"taLeftJustify", "taRightJustify", "taCenter"};

PUBLISHED(TCustomPanel) {
  for (const char* name : {"Caption", "Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, kBevelNames);
  p.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, kBevelNames);
  p.Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth);
  p.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, kPanelBorderNames);
  p.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, kPanelAlignNames);
  p.Bool("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite);
  p.Enum("DragKind", &TControl::DragKind, &TControl::SetDragKind, {"dkDrag", "dkDock"});
}
IMPLEMENT_CLASS(TPanel)

PUBLISHED(TImage) {
  p.Publish("PopupMenu");
  p.Object("Picture", &TImage::Picture, &TImage::SetPicture);
  p.Bool("Stretch", &TImage::Stretch, &TImage::SetStretch);
  p.Bool("Center", &TImage::Center, &TImage::SetCenter);
  p.Bool("Proportional", &TImage::Proportional, &TImage::SetProportional);
  p.Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent);
}

PUBLISHED(TTimer) {
  p.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
  p.Int("Interval", &TTimer::Interval, &TTimer::SetInterval);
  p.Event("OnTimer", &TTimer::OnTimer);
}
