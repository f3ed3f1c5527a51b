#include "skin/core/vkSkinChange.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

// The output window (or, on the layered path, the temporary glow form) and the old picture.
TControl* g_Output = nullptr;
TBitmap* g_OldPicture = nullptr;

constexpr UINT kShowAbove = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW;  // 0x5B
constexpr UINT kLayeredFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS;  // 0x11B
constexpr UINT kHideFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_HIDEWINDOW;  // 0x9C
constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;

HWND WindowOf(TControl* C) {
  auto* Win = As<TWinControl>(C);
  return Win != nullptr && Win->HandleAllocated() ? Win->Handle() : nullptr;
}

// Nothing changes on screen for a hidden control or one whose top window is minimised.
bool CanAnimate(TControl* Control) {
  HWND Wnd = WindowOf(Control);
  return Wnd != nullptr && IsWindowVisible(Wnd) && !IsIconic(GetTopParentWindow(Wnd));
}

void FreeOutput() {
  if (g_Output != nullptr) g_Output->Free();
  g_Output = nullptr;
}

// A premultiplied picture on a layered window (no position: the window's own).
void PutOnWindow(HWND Wnd, TBitmap* Bmp, BYTE Alpha, const POINT* Pos) {
  TScopedDC Screen;
  SIZE Size{Bmp->Width(), Bmp->Height()};
  POINT Src{0, 0};
  POINT At = Pos != nullptr ? *Pos : POINT{};
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
  Platform().UpdateLayeredWindow(Wnd, Screen.DC, Pos != nullptr ? &At : nullptr, &Size, Bmp->Canvas()->Handle(), &Src,
                                 0x1FFFFFFF, &Blend, ULW_ALPHA);
}

void AddExStyle(HWND Wnd, LONG Bits) { SetWindowLongA(Wnd, GWL_EXSTYLE, GetWindowLongA(Wnd, GWL_EXSTYLE) | Bits); }

TsSkinProvider* SkinnerOf(TCustomForm* Form) {
  return Form != nullptr ? reinterpret_cast<TsSkinProvider*>(SendSkinCommand(Form->Handle(), VKCMD_QUERY_FORM_SKINNER, 0))
                         : nullptr;
}

// A skinned form on a system with layered windows: the new snapshot fades in over the form.
// True when it ends with the form in its new shape and redrawn whole.
bool AnimateLayeredForm(TCustomForm* Form, TsSkinProvider* P, int Time, uint8_t MaxAlpha, TvkAnimType Mode) {
  // The form's own picture is taken below; a screen capture made for it is not needed.
  FreeOutput();
  FreeAndNil(g_OldPicture);
  TsCommonData* Data = FormServices.ProviderSkinData ? FormServices.ProviderSkinData(P) : nullptr;
  TvkBorderForm* BF = FormServices.ProviderBorderForm ? FormServices.ProviderBorderForm(P) : nullptr;
  HWND FormWnd = Form->Handle();
  TFreeHolder<TBitmap> OldPicture;
  if (BF != nullptr) {
    if (FormServices.TakeProviderChangePicture) OldPicture.reset(FormServices.TakeProviderChangePicture(P));
    if (OldPicture == nullptr && Data != nullptr && Data->CacheBmp != nullptr && !Data->CacheBmp->Empty()) {
      OldPicture.reset(NewBitmap32(Data->CacheBmp->Width(), Data->CacheBmp->Height()));
      CopyBitmapFull(OldPicture.get(), Data->CacheBmp);
    }
    // it goes to a layered window at every frame: premultiplied once
    if (OldPicture != nullptr) PremultiplyBitmap(OldPicture.get());
  }
  if (FormServices.PaintFormFrame) FormServices.PaintFormFrame(P);
  if (Data == nullptr || Data->CacheBmp == nullptr || Data->CacheBmp->Empty()) {
    InAnimationProcess = false;
    return false;
  }
  TFreeHolder<TBitmap> Snapshot(NewBitmap32(Data->CacheBmp->Width(), Data->CacheBmp->Height()));
  PaintControlToBitmap(Snapshot.get(), Form, 0, 0, P, true);
  const int W = Snapshot->Width(), H = Snapshot->Height();
  if (BF == nullptr) SetRectAlpha32(Snapshot.get(), TRect{0, 0, W, H}, 255, NoColor32);
  PremultiplyBitmap(Snapshot.get());
  const int Steps = Time / 12;
  RECT FormRect{};
  GetWindowRect(FormWnd, &FormRect);

  TFreeHolder<TvkGlowForm> Previous;  // the border window that keeps the old look
  TvkGlowForm* Anim = nullptr;
  TvkBorderForm* Unbordered = nullptr;  // a border form left without a window by a failed creation
  POINT Place{FormRect.left, FormRect.top};
  if (BF != nullptr && FormServices.ReleaseBorderLayeredWindow && FormServices.CreateBorderWindow &&
      FormServices.BorderLayeredWindow) {
    // The current border window keeps the old look; a new one shows the new.
    Previous.reset(FormServices.ReleaseBorderLayeredWindow(BF));
    FormServices.CreateBorderWindow(BF);
    Anim = FormServices.BorderLayeredWindow(BF);
  }
  if (Anim == nullptr && BF != nullptr) {
    // No new border window could be made: the change fades in on a window of its own, and the border form
    // makes its window again when it is next brought up to date.
    Unbordered = BF;
    BF = nullptr;
  }
  if (BF != nullptr) {
    RECT Margins{};
    if (FormServices.GetExtBorderMargins) FormServices.GetExtBorderMargins(P, Margins);
    const int FrameW = GetWindowFrameWidth(FormWnd, BF, true);
    int DY = Margins.top;
    if (!(FormServices.ProviderCaptionShorter && FormServices.ProviderCaptionShorter(P))) {
      DY += GetSkinCaptionHeight(BF) - GetStdCaptionHeight(Form) - FrameW;
      if (Form->WindowState() == wsMaximized && FormServices.GetSkinTitleHeightByState)
        DY += FormServices.GetSkinTitleHeightByState(P, false) - FormServices.GetSkinTitleHeightByState(P, true);
    }
    Place = POINT{FormRect.left - (GetSkinFrameWidth(BF) - FrameW + Margins.left), FormRect.top - DY};
    Anim->SetBounds(Place.x, Place.y, W, H);
    SetWindowPos(Anim->Handle(), WindowJustAbove(FormWnd), Place.x, Place.y, W, H, SWP_NOACTIVATE | SWP_NOREDRAW);
    KeepJustAbove(Anim->Handle(), FormWnd);
  } else {
    BF = nullptr;
    Anim = Create<TvkGlowForm>(Application);
    g_Output = Anim;
    Anim->SetBounds(FormRect.left, FormRect.top, W, H);
    if (IsTopmostWindow(FormWnd)) Anim->SetFormStyle(fsStayOnTop);
    SetWindowPos(Anim->Handle(), WindowJustAbove(FormWnd), 0, 0, 0, 0, kLayeredFlags);
    KeepJustAbove(Anim->Handle(), FormWnd);
  }
  HWND AnimWnd = Anim->Handle();
  AddExStyle(AnimWnd, WS_EX_LAYERED | WS_EX_NOACTIVATE);
  PutOnWindow(AnimWnd, Snapshot.get(), Steps > 0 ? 0 : MaxAlpha, &Place);
  if (BF == nullptr) {
    if (FormServices.CollectBorderMaskRects) FormServices.CollectBorderMaskRects(P);
    if (FormServices.CreateFormRegionAt) SetWindowRgn(AnimWnd, FormServices.CreateFormRegionAt(P, 0, 0), FALSE);
  }
  ShowWindow(AnimWnd, SW_SHOWNOACTIVATE);

  TFreeHolder<TBitmap> Frame(NewBitmap32(W, H));
  FillRect32(Frame.get(), TRect{0, 0, W, H}, 0, 0);
  SetStretchBltMode(Frame->Canvas()->Handle(), COLORONCOLOR);
  if (Steps > 0) {
    const double AlphaStep = static_cast<double>(MaxAlpha) / Steps;
    TvkAnimGeometry G = ShowGeometry(Mode == atAero ? atAero : atFading, W, H, Steps);
    double Alpha = 0;
    for (int I = 0; I <= Steps; ++I) {
      const DWORD Tick = Platform().GetTickCount();
      Alpha = std::min<double>(MaxAlpha, Alpha + AlphaStep);
      const BYTE Used = static_cast<BYTE>(RoundHalfEven(Alpha));
      DrawShowFrame(Mode == atAero ? atAero : atFading, G, Frame.get(), Snapshot.get());
      PutOnWindow(AnimWnd, Frame.get(), Used, nullptr);
      if (Previous != nullptr && OldPicture != nullptr && Previous->HandleAllocated()) {
        RECT PrevRect{};
        GetWindowRect(Previous->Handle(), &PrevRect);
        UpdateLayeredFromBitmap(Previous->Handle(), OldPicture.get(), OldPictureAlpha(MaxAlpha, Used),
                                POINT{PrevRect.left, PrevRect.top});
      }
      WaitTicks(Tick, 12);
    }
  }
  InAnimationProcess = false;
  if (Form->AlphaBlend()) Form->SetAlphaBlendValue(MaxAlpha);
  // The form takes its new shape before it is drawn: a shape set while its frame paints makes it paint again.
  if (FormServices.ApplyWindowRegion) FormServices.ApplyWindowRegion(P, false, true);
  SendMessageA(FormWnd, WM_SETREDRAW, 1, 0);
  RedrawWindow(FormWnd, nullptr, nullptr, kRedrawAll);
  if (BF != nullptr) {
    if (FormServices.BuildBorderRegion) SetWindowRgn(AnimWnd, FormServices.BuildBorderRegion(BF), FALSE);
    SetWindowPos(AnimWnd, nullptr, Place.x, Place.y, 0, 0, kLayeredFlags | SWP_NOZORDER);
    if (FormServices.UpdateBorderWindow) FormServices.UpdateBorderWindow(BF, true, 255);
  } else {
    FreeOutput();
    if (Unbordered != nullptr && FormServices.UpdateBorderWindow) FormServices.UpdateBorderWindow(Unbordered, true, 255);
  }
  return true;
}

}  // namespace

// ===================================================================== the output window

IMPLEMENT_CLASS(TOutputWindow)

TOutputWindow::TOutputWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetCaption("vkOutputWindow");
  SetVisible(false);
  SetColor(static_cast<TColor>(0xFF00FF));
  SetTag(NoSkinTag);
}

void TOutputWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (Parent() != nullptr || ParentWindow() != nullptr) return;
  Params.Style = WS_POPUP;
  auto* OwnerWin = dynamic_cast<TWinControl*>(Owner());
  if (OwnerWin != nullptr && OwnerWin->HandleAllocated() && IsTopmostWindow(OwnerWin->Handle()))
    Params.ExStyle |= WS_EX_TOPMOST;
  Params.WndParent = Application != nullptr ? Application->Handle() : nullptr;
}

void TOutputWindow::WndProc(TMessage& Message) {
  // It shows only what is blitted onto it.
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return;
  }
  if (Message.Msg == WM_NCPAINT) {
    Message.Result = 0;
    return;
  }
  inherited::WndProc(Message);
}

TControl* SkinChangeOutputWindow() { return g_Output; }
TBitmap* SkinChangeOldPicture() { return g_OldPicture; }

std::vector<int> SkinChangeWeights(int Steps) {
  std::vector<int> Weights;
  if (Steps <= 0) return Weights;
  const double Delta = 255.0 / Steps;
  for (double A = 255; A > 2; A = std::max(0.0, A - Delta)) Weights.push_back(RoundHalfEven(A));
  return Weights;
}

uint8_t OldPictureAlpha(uint8_t MaxAlpha, uint8_t Alpha) {
  return static_cast<uint8_t>(std::clamp(3 * (static_cast<int>(MaxAlpha) - Alpha), 0, 255));
}

void FitOldPicture(TBitmap*& Old, TBitmap* New) {
  const int W = New->Width(), H = New->Height();
  if (Old->Width() == W && Old->Height() == H) return;
  TBitmap* Fit = NewBitmap32(W, H);
  CopyBitmapFull(Fit, New);
  BitBlt(Fit->Canvas()->Handle(), 0, 0, std::min(W, Old->Width()), std::min(H, Old->Height()), Old->Canvas()->Handle(),
         0, 0, SRCCOPY);
  FreeAndNil(Old);
  Old = Fit;
}

void CaptureControlForChange(TControl* Control) {
  if (!CanAnimate(Control)) return;
  HWND Wnd = WindowOf(Control);
  RECT R{};
  GetWindowRect(Wnd, &R);
  if (g_OldPicture == nullptr) {
    g_OldPicture = NewBitmap32(Control->Width(), Control->Height());
    Platform().CopyFromScreen(g_OldPicture->Canvas()->Handle(), 0, 0, Control->Width(), Control->Height(), R.left,
                              R.top);
  }
  if (g_Output == nullptr) g_Output = new TOutputWindow(Application);
  auto* Out = static_cast<TOutputWindow*>(g_Output);
  if (Control->Parent() != nullptr) {
    Out->SetParent(Control->Parent());
    Out->BringToFront();
    Out->SetBounds(Control->Left(), Control->Top(), Control->Width(), Control->Height());
    ShowWindow(Out->Handle(), SW_SHOWNA);
  } else {
    Out->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    // The window above may close between the two calls (another program's): then ask again.
    const HWND OutWnd = Out->Handle();
    for (int Try = 0; Try < 3; ++Try)
      if (SetWindowPos(OutWnd, WindowJustAbove(Wnd), 0, 0, 0, 0, kShowAbove)) break;
    KeepJustAbove(OutWnd, Wnd);
  }
}

bool AnimateSkinChange(TControl* Control, int Time, uint8_t MaxAlpha, TvkAnimType Mode) {
  HWND ControlWnd = WindowOf(Control);
  // However the change ends (an early stop, a paint that throws), nothing of it is left behind and the control
  // draws again (a second WM_SETREDRAW 1 after a finished change changes nothing; a hidden control gets none,
  // since it would make its window visible).
  struct TChangeEnd {
    TControl* Control;
    HWND Wnd;
    ~TChangeEnd() {
      FreeOutput();
      FreeAndNil(g_OldPicture);
      if (IsWindow(Wnd) && Control->Visible()) SendMessageA(Wnd, WM_SETREDRAW, 1, 0);
    }
  } End{Control, ControlWnd};
  // A control hidden (or its window minimised) since its capture shows no change, and the output window laid
  // over it goes with the guard.
  if (!CanAnimate(Control)) return false;
  TAnimationScope Scope;
  auto* Form = As<TCustomForm>(Control);
  TsSkinProvider* Skinner = SkinnerOf(Form);
  if (HasLayeredWindowApi() && Form != nullptr && Skinner != nullptr)
    return AnimateLayeredForm(Form, Skinner, Time, MaxAlpha, Mode);
  if (g_Output == nullptr) CaptureControlForChange(Control);
  auto* Out = dynamic_cast<TOutputWindow*>(g_Output);
  if (Out == nullptr || g_OldPicture == nullptr) {
    InAnimationProcess = false;
    return false;
  }
  const int W = Control->Width(), H = Control->Height();
  PlaceControlAbove(Out, Control);
  TFreeHolder<TBitmap> NewPicture(NewBitmap32(W, H));
  {
    HDC DC = NewPicture->Canvas()->Handle();
    const int Saved = SaveDC(DC);
    PaintControlToBitmap(NewPicture.get(), Control, 0, 0, nullptr, true);
    RestoreDC(DC, Saved);
  }
  FitOldPicture(g_OldPicture, NewPicture.get());
  TFreeHolder<TBitmap> Frame(NewBitmap32(W, H));
  if (Form != nullptr && Skinner != nullptr && FormServices.CreateFormRegionAt)
    SetWindowRgn(Out->Handle(), FormServices.CreateFormRegionAt(Skinner, 0, 0), FALSE);

  HWND OutWnd = Out->Handle();
  TScopedDC WinDC(OutWnd, true);
  for (int Weight : SkinChangeWeights(Time / 24)) {
    const DWORD Tick = Platform().GetTickCount();
    MixBitmapsByWeight(Frame.get(), g_OldPicture, NewPicture.get(), nullptr, Weight);
    BitBlt(WinDC.DC, 0, 0, W, H, Frame->Canvas()->Handle(), 0, 0, SRCCOPY);
    WaitTicks(Tick, 24);
  }
  BitBlt(WinDC.DC, 0, 0, W, H, NewPicture->Canvas()->Handle(), 0, 0, SRCCOPY);
  InAnimationProcess = false;

  bool Redrawn = false;
  if (Control->Visible()) {
    SetRectAlpha32(NewPicture.get(), TRect{0, 0, W, H}, 255, NoColor32);
    SendMessageA(ControlWnd, WM_SETREDRAW, 1, 0);
    // Only a top-level output window can be layered: a child one stays until the control has redrawn.
    const bool TopLevel = Out->Parent() == nullptr;
    if (TopLevel) {
      RECT R{};
      GetWindowRect(OutWnd, &R);
      UpdateLayeredFromBitmap(OutWnd, NewPicture.get(), 254, POINT{R.left, R.top});
    }
    Redrawn = WindowsVersionLevel >= 6 || !TopLevel;
    if (Redrawn) RedrawWindow(ControlWnd, nullptr, nullptr, kRedrawAll);
    const bool LayeredForm = Form != nullptr && (GetWindowLongA(ControlWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    if (!LayeredForm) SetWindowPos(OutWnd, nullptr, 0, 0, 0, 0, kHideFlags);
  }
  return Redrawn && Skinner == nullptr;  // a skinned form's shape is left to its caller here
}
