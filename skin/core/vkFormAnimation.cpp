#include "skin/core/vkFormAnimation.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkntTypes.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

TvkHideTimer* g_HideTimer = nullptr;

// Window-position flags of the animations.
constexpr UINT kFrameFlags = SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
constexpr UINT kShowInPlace = 0x65B;   // no size, move, redraw or activation; shown; no owner order or changing
constexpr UINT kBelowFlags = 0x61B;    // no size, move, redraw or activation; no owner order or changing
constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;

bool AppTerminating() { return Application != nullptr && Application->Terminated(); }

TBitmap* CopyOf(TBitmap* Src) {
  TBitmap* Copy = NewBitmap32(Src->Width(), Src->Height());
  CopyBitmapFull(Copy, Src);
  return Copy;
}

// The snapshot on the animation window with the blend's constant alpha (no position: the window's own).
void PutOnWindow(HWND Wnd, HDC Screen, TBitmap* Bmp, BYTE Alpha) {
  SIZE Size{Bmp->Width(), Bmp->Height()};
  POINT Src{0, 0};
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
  Platform().UpdateLayeredWindow(Wnd, Screen, nullptr, &Size, Bmp->Canvas()->Handle(), &Src, 0x1FFFFFFF, &Blend,
                                 ULW_ALPHA);
}

// Places the animation window and shows it without activation, then puts it at its place in the z-order.
void ShowAnimationWindow(TvkGlowForm* AnimForm, HWND InsertAfter, int Left, int Top, int W, int H) {
  const HWND Anim = AnimForm->Handle();
  AnimForm->SetBounds(Left, Top, W, H);
  SetWindowPos(Anim, nullptr, 0, 0, 0, 0, kShowInPlace);
  ShowWindow(Anim, SW_SHOWNOACTIVATE);
  SetWindowPos(Anim, InsertAfter, Left, Top, W, H, kFrameFlags);
}

void AddExStyle(HWND Wnd, LONG Bits) { SetWindowLongA(Wnd, GWL_EXSTYLE, GetWindowLongA(Wnd, GWL_EXSTYLE) | Bits); }

TsCommonData* ProviderData(TsSkinProvider* P) {
  return P != nullptr && FormServices.ProviderSkinData ? FormServices.ProviderSkinData(P) : nullptr;
}
TCustomForm* ProviderForm(TsSkinProvider* P) {
  return P != nullptr && FormServices.ProviderForm ? FormServices.ProviderForm(P) : nullptr;
}
TvkBorderForm* ProviderBorderForm(TsSkinProvider* P) {
  return P != nullptr && FormServices.ProviderBorderForm ? FormServices.ProviderBorderForm(P) : nullptr;
}
RECT ShadowMargins(TsSkinProvider* P) {
  RECT M{};
  if (FormServices.GetExtBorderMargins) FormServices.GetExtBorderMargins(P, M);
  return M;
}
// The border form's layered window, made when it has none yet.
TvkGlowForm* BorderWindow(TvkBorderForm* BF) {
  if (!FormServices.BorderLayeredWindow) return nullptr;
  TvkGlowForm* W = FormServices.BorderLayeredWindow(BF);
  if (W == nullptr && FormServices.CreateBorderWindow) {
    FormServices.CreateBorderWindow(BF);
    W = FormServices.BorderLayeredWindow(BF);
  }
  return W;
}
void SetBorderUpdating(TvkBorderForm* BF, bool On) {
  if (BF != nullptr && FormServices.SetBorderUpdating) FormServices.SetBorderUpdating(BF, On);
}

// The form's opacity after an animation: its own blend value, else fully opaque and unlayered.
void RestoreFormOpacity(TCustomForm* Form) {
  HWND Wnd = Form->Handle();
  if (Form->AlphaBlend()) {
    SetLayeredAlpha(Wnd, true, static_cast<BYTE>(Form->AlphaBlendValue()));
  } else {
    if (IsDwmCompositionActive()) SetLayeredAlpha(Wnd, true, 255);
    SetLayeredAlpha(Wnd, false, 255);
  }
}

int ShowCommandOf(TWindowState State) {
  switch (State) {
    case wsMinimized: return SW_SHOWMINNOACTIVE;
    case wsMaximized: return SW_SHOWMAXIMIZED;
    default: return SW_SHOWNORMAL;
  }
}

bool WindowsVersion60() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  return Platform().GetVersionExA(&Info) && Info.dwMajorVersion == 6 && Info.dwMinorVersion == 0;
}

// The frames of a show: Steps + 1 of them, the opacity rising by AlphaStep up to MaxAlpha, each 12 ms after the
// previous one's start.
void PlayShowFrames(HWND Wnd, HDC Screen, TBitmap* Snapshot, TBitmap* Frame, int Steps, double AlphaStep,
                    uint8_t MaxAlpha, TvkAnimType Mode) {
  TvkAnimGeometry G = ShowGeometry(Mode, Snapshot->Width(), Snapshot->Height(), Steps);
  double Alpha = 0;
  for (int I = 0; I <= Steps; ++I) {
    Alpha = std::min<double>(MaxAlpha, Alpha + AlphaStep);
    DrawShowFrame(Mode, G, Frame, Snapshot);
    const DWORD Tick = Platform().GetTickCount();
    PutOnWindow(Wnd, Screen, Frame, static_cast<BYTE>(RoundHalfEven(Alpha)));
    WaitTicks(Tick, 12);
  }
}

TBitmap* NewBlackFrame(int W, int H) {
  TBitmap* Frame = NewBitmap32(W, H);
  FillRect32(Frame, TRect{0, 0, W, H}, 0, 0);
  SetStretchBltMode(Frame->Canvas()->Handle(), COLORONCOLOR);
  return Frame;
}

}  // namespace

int RoundHalfEven(double X) { return static_cast<int>(std::nearbyint(X)); }

TAnimationScope::TAnimationScope() { InAnimationProcess = true; }
TAnimationScope::~TAnimationScope() {
  if (std::uncaught_exceptions() > 0) InAnimationProcess = false;
}

// ===================================================================== frames

TvkAnimGeometry ShowGeometry(TvkAnimType Mode, int W, int H, int Steps) {
  TvkAnimGeometry G;
  switch (Mode) {
    case atAero:
      G.Left = W / 32.0;
      G.Top = H / 32.0;
      G.Right = W - W / 32.0;
      G.Bottom = H - H / 32.0;
      G.DX = Steps > 0 ? (W / 32.0) / Steps : 0;
      G.DY = Steps > 0 ? (H / 32.0) / Steps : 0;
      break;
    case atDropDown:
      G.DX = W / 2.0;
      G.DY = H / 2.0;
      break;
    default:
      G.Right = W;
      G.Bottom = H;
      break;
  }
  return G;
}

void DrawShowFrame(TvkAnimType Mode, TvkAnimGeometry& G, TBitmap* Frame, TBitmap* Snapshot) {
  const int W = Snapshot->Width(), H = Snapshot->Height();
  HDC Dst = Frame->Canvas()->Handle(), Src = Snapshot->Canvas()->Handle();
  if (Mode == atFading) {
    // The picture is copied once; only the opacity changes afterwards.
    if (G.Left == 0) {
      BitBlt(Dst, 0, 0, W, H, Src, 0, 0, SRCCOPY);
      G.Left = 1;
    }
    return;
  }
  if (G.Left < 0 || G.Top < 0)
    BitBlt(Dst, 0, 0, W, H, Src, 0, 0, SRCCOPY);
  else
    StretchBlt(Dst, RoundHalfEven(G.Left), RoundHalfEven(G.Top), RoundHalfEven(G.Right - G.Left),
               RoundHalfEven(G.Bottom - G.Top), Src, 0, 0, W, H, SRCCOPY);
  if (Mode == atAero) {
    G.Left -= G.DX;
    G.Top -= G.DY;
    G.Right += G.DX;
    G.Bottom += G.DY;
  } else {
    G.Left = G.Top = 0;
    G.Right = W - G.DX;
    G.Bottom = H - G.DY;
    G.DX /= 2;
    G.DY /= 2;
  }
}

// ===================================================================== form show

void AnimateFormShow(TsSkinProvider* Provider, int Time, uint8_t MaxAlpha, TvkAnimType Mode) {
  TsCommonData* Data = ProviderData(Provider);
  TCustomForm* Form = ProviderForm(Provider);
  if (Data == nullptr || Form == nullptr || IsIconic(Form->Handle())) return;
  TAnimationScope Scope;
  HWND FormWnd = Form->Handle();
  TvkBorderForm* BF = ProviderBorderForm(Provider);
  TvkGlowForm* AnimForm = nullptr;
  TFreeHolder<TvkGlowForm> OwnAnimForm;  // the temporary window without a border form
  if (BF != nullptr) {
    AnimForm = BorderWindow(BF);
    if (AnimForm != nullptr) SetWindowRgn(AnimForm->Handle(), nullptr, FALSE);
    if (FormServices.PaintOwnerFrame) FormServices.PaintOwnerFrame(BF);
  }
  if (AnimForm == nullptr) {
    BF = nullptr;
    if (FormServices.PaintFormFrame) FormServices.PaintFormFrame(Provider);
    AnimForm = Create<TvkGlowForm>(Application);
    OwnAnimForm.reset(AnimForm);
  }
  TBitmap* Cache = Data->CacheBmp;
  if (Cache == nullptr || Cache->Empty()) {
    InAnimationProcess = false;
    return;
  }
  TFreeHolder<TBitmap> Snapshot(NewBitmap32(Cache->Width(), Cache->Height()));
  PaintControlToBitmap(Snapshot.get(), Form, 0, 0, Provider, false);
  const int W = Snapshot->Width(), H = Snapshot->Height();
  if (BF == nullptr) SetRectAlpha32(Snapshot.get(), TRect{0, 0, W, H}, 255, NoColor32);
  const int Steps = Time / 12;
  BYTE Alpha = Steps > 0 ? 0 : MaxAlpha;

  int DX = 0, DY = 0;
  RECT FormRect{};
  GetWindowRect(FormWnd, &FormRect);
  if (BF != nullptr) {
    const RECT Margins = ShadowMargins(Provider);
    const int FrameW = GetWindowFrameWidth(FormWnd, BF, true);
    const int Caption = FormServices.GetCaptionBarHeight ? FormServices.GetCaptionBarHeight(Provider, true) : 0;
    if (Form->WindowState() == wsMaximized && Caption < SysCaptionHeight + 4) {
      DY = FrameW + Margins.top + GetExtraCaptionHeight(BF);
      if (FormServices.SetProviderCaptionShorter) FormServices.SetProviderCaptionShorter(Provider, true);
    } else {
      DY = FormServices.GetTopIndent ? FormServices.GetTopIndent(BF) : 0;
    }
    DX = GetSkinFrameWidth(BF) - FrameW + Margins.left;
  } else {
    if (FormServices.CollectBorderMaskRects) FormServices.CollectBorderMaskRects(Provider);
    if (FormServices.ProviderTransparentRects)
      ClearRects32(FormServices.ProviderTransparentRects(Provider), Snapshot.get());
  }
  // Layered windows take premultiplied pixels; the frames are copied from this picture.
  PremultiplyBitmap(Snapshot.get());

  HWND Anim = AnimForm->Handle();
  AddExStyle(Anim, WS_EX_NOACTIVATE);
  HWND InsertAfter = FormWnd;
  if (IsTopmostWindow(FormWnd)) {
    AnimForm->SetFormStyle(fsStayOnTop);
    AnimForm->SetBounds(AnimForm->Left(), AnimForm->Top(), 0, 0);
    Anim = AnimForm->Handle();
    AddExStyle(Anim, WS_EX_LAYERED);
    InsertAfter = HWND_TOPMOST;
  } else if (Form->FormState().Contains(fsModal)) {
    AnimForm->SetFormStyle(fsStayOnTop);
    Anim = AnimForm->Handle();
  }

  {
    TScopedDC Screen;
    AddExStyle(Anim, WS_EX_LAYERED);
    PutOnWindow(Anim, Screen.DC, Snapshot.get(), Alpha);
    const int Left = FormRect.left - DX, Top = FormRect.top - DY;
    ShowAnimationWindow(AnimForm, InsertAfter, Left, Top, W, H);

    TFreeHolder<TBitmap> Frame(NewBlackFrame(W, H));
    if (Steps > 0)
      PlayShowFrames(Anim, Screen.DC, Snapshot.get(), Frame.get(), Steps, static_cast<double>(MaxAlpha) / Steps,
                     MaxAlpha, Mode);
    SetWindowPos(Anim, nullptr, Left, Top, W, H, kFrameFlags | SWP_NOZORDER);
    PutOnWindow(Anim, Screen.DC, Snapshot.get(), MaxAlpha);
  }

  // The form comes up beneath the animation window, transparent until its opacity is restored.
  if (FormServices.SetProviderShowPending) FormServices.SetProviderShowPending(Provider, false);
  SetLayeredAlpha(FormWnd, true, 0);
  ShowWindow(FormWnd, ShowCommandOf(Form->WindowState()));
  SetWindowPos(FormWnd, Anim, 0, 0, 0, 0, kBelowFlags);
  RestoreFormOpacity(Form);
  InAnimationProcess = false;

  SetBorderUpdating(BF, true);
  if (WindowsVersion60()) SetWindowLongA(FormWnd, GWL_STYLE, GetWindowLongA(FormWnd, GWL_STYLE) | WS_VISIBLE);
  if (BF != nullptr && FormServices.ApplyWindowRegion) FormServices.ApplyWindowRegion(Provider, false, true);
  RedrawWindow(FormWnd, nullptr, nullptr, kRedrawAll);
  SetBorderUpdating(BF, false);
  Snapshot.reset();
  if (IsDwmCompositionActive()) Platform().Sleep(24);
  SetWindowPos(Anim, FormWnd, 0, 0, 0, 0, kBelowFlags);

  if (BF == nullptr) {
    OwnAnimForm.reset();
  } else {
    if (FormServices.BuildBorderRegion) SetWindowRgn(Anim, FormServices.BuildBorderRegion(BF), FALSE);
    TsSkinManager* M = Data->SkinManager();
    if (M != nullptr && (M->SkinData().AeroBlur || (M->RegistryScaleIndex() > 0 && WindowsVersionLevel >= 8)) &&
        FormServices.UpdateBorderWindow)
      FormServices.UpdateBorderWindow(BF, true, 255);
    RestoreFormOpacity(Form);
  }
  if (FormServices.FireAfterAnimation) FormServices.FireAfterAnimation(Provider, aeShowing);
}

// ===================================================================== dialog show

void AnimateDialogShow(TvkDialogWnd* DialogWnd, int Time, uint8_t MaxAlpha, TvkAnimType Mode) {
  if (DialogWnd == nullptr || !FormServices.DialogWindow || !FormServices.DialogSkinData) return;
  HWND DlgWnd = FormServices.DialogWindow(DialogWnd);
  TsCommonData* Data = FormServices.DialogSkinData(DialogWnd);
  if (Data == nullptr || DlgWnd == nullptr || IsIconic(DlgWnd)) return;
  TAnimationScope Scope;
  TvkBorderForm* BF = FormServices.DialogBorderForm ? FormServices.DialogBorderForm(DialogWnd) : nullptr;
  TvkGlowForm* AnimForm = BF != nullptr ? BorderWindow(BF) : nullptr;
  TFreeHolder<TvkGlowForm> OwnAnimForm;  // the temporary window without a border form
  if (AnimForm == nullptr) {
    BF = nullptr;
    AnimForm = Create<TvkGlowForm>(Application);
    OwnAnimForm.reset(AnimForm);
  }
  if (FormServices.PaintDialogFrame) FormServices.PaintDialogFrame(DialogWnd);
  TBitmap* Cache = Data->CacheBmp;
  if (Cache == nullptr || Cache->Empty()) {
    InAnimationProcess = false;
    return;
  }
  TFreeHolder<TBitmap> Snapshot(CopyOf(Cache));
  PaintDialogClientToBitmap(DialogWnd, Snapshot.get(), false);
  PremultiplyBitmap(Snapshot.get());
  const int W = Snapshot->Width(), H = Snapshot->Height();
  const int Steps = Time / 12;

  int DX = 0, DY = 0;
  if (BF != nullptr) {
    RECT Margins{};
    if (FormServices.DialogShadowMargins) FormServices.DialogShadowMargins(DialogWnd, Margins);
    const int FrameW = GetWindowFrameWidth(DlgWnd, BF, true);
    const int OwnCaption = FormServices.DialogCaptionHeight ? FormServices.DialogCaptionHeight(DialogWnd, false) : 0;
    DY = Margins.top + GetSkinCaptionHeight(BF) - OwnCaption - FrameW;
    DX = GetSkinFrameWidth(BF) - FrameW + Margins.left;
  }
  RECT DlgRect{};
  GetWindowRect(DlgWnd, &DlgRect);
  HWND Anim = AnimForm->Handle();
  AddExStyle(Anim, WS_EX_LAYERED | WS_EX_NOACTIVATE);
  HWND InsertAfter = DlgWnd;
  if (IsTopmostWindow(DlgWnd)) {
    AnimForm->SetFormStyle(fsStayOnTop);
    Anim = AnimForm->Handle();
    AddExStyle(Anim, WS_EX_LAYERED | WS_EX_NOACTIVATE);
    InsertAfter = HWND_TOPMOST;
  }
  {
    TScopedDC Screen;
    PutOnWindow(Anim, Screen.DC, Snapshot.get(), Steps > 0 ? 0 : MaxAlpha);
    const int Left = DlgRect.left - DX, Top = DlgRect.top - DY;
    ShowAnimationWindow(AnimForm, InsertAfter, Left, Top, W, H);
    TFreeHolder<TBitmap> Frame(NewBlackFrame(W, H));
    // Dialogs zoom only in the aero mode; everything else fades.
    if (Steps > 0)
      PlayShowFrames(Anim, Screen.DC, Snapshot.get(), Frame.get(), Steps, static_cast<double>(MaxAlpha) / (Steps + 1),
                     MaxAlpha, Mode == atAero ? atAero : atFading);
    SetWindowRgn(Anim, nullptr, FALSE);
    SetWindowPos(Anim, nullptr, 0, 0, 0, 0, kFrameFlags | SWP_NOSIZE | SWP_NOMOVE);
    PutOnWindow(Anim, Screen.DC, Snapshot.get(), MaxAlpha);
  }

  if (FormServices.DialogSetShapeRegion) FormServices.DialogSetShapeRegion(DialogWnd);
  SetWindowPos(DlgWnd, Anim, 0, 0, 0, 0, kBelowFlags);
  SetWindowLongA(DlgWnd, GWL_STYLE, GetWindowLongA(DlgWnd, GWL_STYLE) | WS_VISIBLE);
  if (FormServices.DialogWindowProc) FormServices.DialogWindowProc(DialogWnd, WM_SETREDRAW, 1, 0);
  InAnimationProcess = false;
  SetBorderUpdating(BF, true);
  RedrawWindow(DlgWnd, nullptr, nullptr, kRedrawAll);
  SetBorderUpdating(BF, false);
  if (BF != nullptr && FormServices.DialogSetShapeRegion) FormServices.DialogSetShapeRegion(DialogWnd);
  if (IsDwmCompositionActive()) Platform().Sleep(48);
  if (BF != nullptr && FormServices.UpdateBorderWindow) FormServices.UpdateBorderWindow(BF, true, 255);
  SetWindowPos(Anim, DlgWnd, 0, 0, 0, 0, kBelowFlags);
  if (BF == nullptr)
    OwnAnimForm.reset();
  else if (FormServices.BuildBorderRegion)
    SetWindowRgn(Anim, FormServices.BuildBorderRegion(BF), FALSE);
}

void PaintDialogClientToBitmap(TvkDialogWnd* DialogWnd, TBitmap* Bmp, bool FromScreen) {
  if (DialogWnd == nullptr || Bmp == nullptr || !FormServices.DialogWindow) return;
  HWND Wnd = FormServices.DialogWindow(DialogWnd);
  const int OX = FormServices.DialogClientOffsetX ? FormServices.DialogClientOffsetX(DialogWnd) : 0;
  const int OY = FormServices.DialogClientOffsetY ? FormServices.DialogClientOffsetY(DialogWnd) : 0;
  RECT Client{};
  GetClientRect(Wnd, &Client);
  const int CW = Client.right, CH = Client.bottom;
  const TRect ClientPart{std::min(OX, Bmp->Width()), std::min(OY, Bmp->Height()), std::min(OX + CW, Bmp->Width()),
                         std::min(OY + CH, Bmp->Height())};
  HDC DC = Bmp->Canvas()->Handle();
  if (FromScreen) {
    RECT InWindow{};
    GetClientRectInWindow(Wnd, InWindow);
    HDC WinDC = GetWindowDC(Wnd);
    BitBlt(DC, OX, OY, CW, CH, WinDC, InWindow.left, InWindow.top, SRCCOPY);
    ReleaseDC(Wnd, WinDC);
    SetRectAlpha32(Bmp, ClientPart, 255, NoColor32);
    return;
  }
  Bmp->Canvas()->Lock();
  const int Saved = SaveDC(DC);
  SetWindowOrgEx(DC, -OX, -OY, nullptr);
  IntersectClipRect(DC, 0, 0, CW, CH);
  if (FormServices.PrintChildWindows) FormServices.PrintChildWindows(Wnd, DC);
  RestoreDC(DC, Saved);
  Bmp->Canvas()->Unlock();
  const bool Bordered = FormServices.DialogBorderForm && FormServices.DialogBorderForm(DialogWnd) != nullptr;
  SetRectAlpha32(Bmp, Bordered ? ClientPart : TRect{0, 0, Bmp->Width(), Bmp->Height()}, 255, NoColor32);
}

// ===================================================================== hides

IMPLEMENT_CLASS(TvkHideTimer)

TvkHideTimer::TvkHideTimer(TComponent* AOwner) : TvkThreadedTimer(AOwner) {
  DestWnd = nullptr;
  EventFired = false;
}

TvkHideTimer::~TvkHideTimer() {
  SetEnabled(false);
  FireEndEvent();
  FreeAndNil(Source);
  FreeAndNil(Frame);
  if (Window != nullptr) Window->Free();
  Window = nullptr;
  if (g_HideTimer == this) g_HideTimer = nullptr;
}

void TvkHideTimer::FireEndEvent() {
  if (EventFired) return;
  EventFired = true;
  if (DestWnd == nullptr || !IsWindow(DestWnd)) return;
  auto* Skinner = reinterpret_cast<TsSkinProvider*>(SendSkinCommand(DestWnd, VKCMD_QUERY_FORM_SKINNER, 0));
  if (Skinner != nullptr && FormServices.FireAfterAnimation) FormServices.FireAfterAnimation(Skinner, aeHiding);
}

void TvkHideTimer::HideStep() {
  if (Window == nullptr) return;
  if (HideStepNo > HideStepCount) {
    FireEndEvent();
    SetInterval(65535);
    SetOnTimer(nullptr);
    Window->Free();
    Window = nullptr;
    FreeAndNil(Source);
    FreeAndNil(Frame);
    SetEnabled(false);
    return;
  }
  Alpha = std::max(0.0, Alpha - AlphaStep);
  Blend.SourceConstantAlpha = static_cast<BYTE>(RoundHalfEven(Alpha));
  HDC Dst = Frame->Canvas()->Handle(), Src = Source->Canvas()->Handle();
  if (HideMode == atAero) {
    if (Geometry.Left >= 0 && Geometry.Top >= 0) {
      FillRect32(Frame, TRect{0, 0, Size.cx, Size.cy}, 0, 0);
      SetStretchBltMode(Dst, COLORONCOLOR);
      StretchBlt(Dst, RoundHalfEven(Geometry.Left), RoundHalfEven(Geometry.Top),
                 RoundHalfEven(Geometry.Right - Geometry.Left), RoundHalfEven(Geometry.Bottom - Geometry.Top), Src, 0, 0,
                 Size.cx, Size.cy, SRCCOPY);
    } else {
      BitBlt(Dst, 0, 0, Size.cx, Size.cy, Src, 0, 0, SRCCOPY);
    }
  } else if (Geometry.Left == 0) {
    BitBlt(Dst, 0, 0, Size.cx, Size.cy, Src, 0, 0, SRCCOPY);
    Geometry.Left = 1;
  }
  {
    TScopedDC Screen;
    ScreenDC = Screen.DC;
    if (Window->HandleAllocated())
      Platform().UpdateLayeredWindow(Window->Handle(), ScreenDC, nullptr, &Size, Dst, &SrcPoint, 0x1FFFFFFF, &Blend,
                                     ULW_ALPHA);
    ScreenDC = nullptr;
  }
  if (HideMode == atAero) {
    Geometry.Left -= Geometry.DX;
    Geometry.Top -= Geometry.DY;
    Geometry.Right += Geometry.DX;
    Geometry.Bottom += Geometry.DY;
  }
  ++HideStepNo;
}

TvkHideTimer* HideTimer() { return g_HideTimer; }

void HideAnimation(TvkGlowForm* Window, TBitmap* Bmp, int Time, HWND DestWnd, TvkAnimType Mode, uint8_t Alpha) {
  if (g_HideTimer == nullptr) g_HideTimer = new TvkHideTimer(Application);
  TvkHideTimer* T = g_HideTimer;
  if (T->Window != nullptr) {
    // A new hide cuts the running one short; its form still hears that its hide ended.
    T->FireEndEvent();
    T->Window->Free();
    T->Window = nullptr;
  }
  const int Steps = Time / 12;
  if (Steps == 0) {
    if (Window != nullptr) Window->Free();
    if (Bmp != nullptr) Bmp->Free();
    // a hide cut short above leaves nothing ticking
    T->SetEnabled(false);
    if (T->Source != Bmp) FreeAndNil(T->Source);
    FreeAndNil(T->Frame);
    return;
  }
  T->DestWnd = DestWnd;
  T->EventFired = false;
  T->HideStepNo = 0;
  if (T->Source != Bmp) FreeAndNil(T->Source);
  T->Source = Bmp;
  T->StartAlpha = Alpha;
  T->Window = Window;
  T->HideMode = Mode;
  T->SetInterval(12);
  T->HideStepCount = Steps;
  T->Size = SIZE{Bmp->Width(), Bmp->Height()};
  T->SrcPoint = POINT{0, 0};
  T->Blend = BLENDFUNCTION{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
  // Layered windows take premultiplied pixels; every frame is copied from this picture.
  PremultiplyBitmap(Bmp);

  {
    TScopedDC Screen;
    HWND Wnd = Window->Handle();
    AddExStyle(Wnd, WS_EX_LAYERED | WS_EX_NOACTIVATE);
    PutOnWindow(Wnd, Screen.DC, Bmp, Alpha);
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, 0x70F);
    ShowWindow(Wnd, SW_SHOWNOACTIVATE);
    RECT R{};
    GetWindowRect(Wnd, &R);
    SetWindowPos(Wnd, IsTopmostWindow(Wnd) ? HWND_TOPMOST : HWND_TOP, R.left, R.top, T->Size.cx, T->Size.cy, 0x318);
    FreeAndNil(T->Frame);
    T->Frame = NewBitmap32(T->Size.cx, T->Size.cy);
  }

  T->Alpha = T->StartAlpha;
  T->AlphaStep = static_cast<double>(T->StartAlpha) / T->HideStepCount;
  T->Geometry = TvkAnimGeometry();
  if (Mode == atAero) {
    T->Geometry.DX = -static_cast<double>(T->Size.cx) / (T->HideStepCount * 32);
    T->Geometry.DY = -static_cast<double>(T->Size.cy) / (T->HideStepCount * 32);
    T->Geometry.Right = T->Size.cx;
    T->Geometry.Bottom = T->Size.cy;
  }
  if (AppTerminating()) {
    // No timer will tick any more: the frames run here; the window stays until the next hide.
    while (T->HideStepNo <= T->HideStepCount) {
      const DWORD Tick = Platform().GetTickCount();
      T->HideStep();
      WaitTicks(Tick, 12);
    }
    return;
  }
  T->SetOnTimer([T](TObject*) { T->HideStep(); });
  T->HideStepNo = 0;
  T->HideStep();
  T->SetEnabled(true);
}

void AnimateFormHide(TsSkinProvider* Provider) {
  ClearAllGlowEffects(true);
  TsCommonData* Data = ProviderData(Provider);
  TCustomForm* Form = ProviderForm(Provider);
  if (Data == nullptr || Form == nullptr || Form->FormStyle() == fsMDIChild || Data->CacheBmp == nullptr ||
      Data->CacheBmp->Empty())
    return;
  TsSkinManager* M = Data->SkinManager();
  const uint8_t Alpha = Form->AlphaBlend() ? static_cast<uint8_t>(Form->AlphaBlendValue()) : 255;
  TAnimationScope Scope;
  const uint32_t Flags = FormServices.ProviderStateFlags ? FormServices.ProviderStateFlags(Provider) : 0;
  if ((Flags & 0x200) == 0 && FormServices.PaintFormFrame) FormServices.PaintFormFrame(Provider);
  HWND FormWnd = Form->Handle();
  TvkBorderForm* BF = ProviderBorderForm(Provider);
  TvkGlowForm* AnimForm = nullptr;
  TBitmap* Snapshot = nullptr;
  if (BF != nullptr && BorderWindow(BF) != nullptr && FormServices.ReleaseBorderLayeredWindow) {
    AnimForm = FormServices.ReleaseBorderLayeredWindow(BF);
    Snapshot = CopyOf(Data->CacheBmp);
    if (IsDwmCompositionActive())
      SetLayeredAlpha(FormWnd, true, 1);
    else
      SetWindowPos(FormWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
  } else {
    BF = nullptr;
    if (FormServices.TakeProviderSnapshotForm) AnimForm = FormServices.TakeProviderSnapshotForm(Provider);
    if (AnimForm == nullptr) AnimForm = CreateSnapshotForm(FormWnd);
    SetLayeredAlpha(FormWnd, true, 1);
    Snapshot = CopyOf(Data->CacheBmp);
    if (FormServices.ProviderTransparentRects) ClearRects32(FormServices.ProviderTransparentRects(Provider), Snapshot);
  }
  if (AnimForm != nullptr) {
    const TvkAnimEffect* Hide = M != nullptr ? M->AnimEffects()->FormHide() : nullptr;
    HideAnimation(AnimForm, Snapshot, Hide != nullptr ? Hide->Time() : 0, FormWnd, Hide ? Hide->Mode() : atFading,
                  Alpha);
  } else {
    Snapshot->Free();
  }
  // Back to the form's own opacity; a window that stays unlayered is hidden first so it does not flash.
  SetLayeredAlpha(FormWnd, Alpha < 255, Alpha, true);
  if (BF != nullptr && AppTerminating() && FormServices.FreeProviderBorderForm)
    FormServices.FreeProviderBorderForm(Provider);
  if (FormServices.TakeProviderSnapshotForm)
    if (TvkGlowForm* Left = FormServices.TakeProviderSnapshotForm(Provider)) Left->Free();
  InAnimationProcess = false;
}

void AnimateDialogHide(TvkDialogWnd* DialogWnd) {
  if (DialogWnd == nullptr || !FormServices.DialogWindow || !FormServices.DialogSkinData) return;
  HWND DlgWnd = FormServices.DialogWindow(DialogWnd);
  TsCommonData* Data = FormServices.DialogSkinData(DialogWnd);
  if (Data == nullptr || Data->CacheBmp == nullptr || Data->CacheBmp->Empty()) return;
  TAnimationScope Scope;
  ClearAllGlowEffects(false);
  TvkBorderForm* BF = FormServices.DialogBorderForm ? FormServices.DialogBorderForm(DialogWnd) : nullptr;
  TvkGlowForm* AnimForm = nullptr;
  if (BF != nullptr && BorderWindow(BF) != nullptr && FormServices.ReleaseBorderLayeredWindow)
    AnimForm = FormServices.ReleaseBorderLayeredWindow(BF);
  if (AnimForm == nullptr && FormServices.TakeDialogSnapshotForm)
    AnimForm = FormServices.TakeDialogSnapshotForm(DialogWnd);
  if (AnimForm == nullptr) AnimForm = CreateSnapshotForm(DlgWnd);
  TBitmap* Snapshot = CopyOf(Data->CacheBmp);
  TsSkinManager* M = Data->SkinManager();
  const TvkAnimEffect* Hide = M != nullptr ? M->AnimEffects()->DialogHide() : nullptr;
  if (AnimForm != nullptr)
    HideAnimation(AnimForm, Snapshot, Hide != nullptr ? Hide->Time() : 0, nullptr, Hide ? Hide->Mode() : atFading,
                  255);
  else
    Snapshot->Free();
  if (BF != nullptr && FormServices.FreeDialogBorderForm) FormServices.FreeDialogBorderForm(DialogWnd);
  InAnimationProcess = false;
}

void FormAnimationFinalize() {
  if (g_HideTimer != nullptr) g_HideTimer->Free();
  g_HideTimer = nullptr;
}
