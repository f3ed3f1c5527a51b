#include "skin/forms/vkFormAnimations.h"

#include <algorithm>
#include <cmath>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkGlue.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

HWND FormHandleOf(TsSkinProvider* P) {
  TCustomForm* F = P != nullptr ? P->Form() : nullptr;
  return F != nullptr && F->HandleAllocated() ? F->Handle() : nullptr;
}

TsSkinManager* ManagerOf(TsSkinProvider* P) { return P->SkinData() != nullptr ? P->SkinData()->SkinManager() : nullptr; }

TvkGlowForm* BorderWindowOf(TvkBorderForm* BF) {
  return BF != nullptr && FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(BF) : nullptr;
}

void UpdateBorder(TvkBorderForm* BF, bool Repaint, uint8_t Alpha) {
  if (BF != nullptr && FormServices.UpdateBorderWindow) FormServices.UpdateBorderWindow(BF, Repaint, Alpha);
}

void SetBorderUpdating(TvkBorderForm* BF, bool On) {
  if (BF != nullptr && FormServices.SetBorderUpdating) FormServices.SetBorderUpdating(BF, On);
}

// Where a run of the minimise timer shows, its picture; else the frame cache.
TBitmap* PreviewSource(TsSkinProvider* P, bool& FromCache) {
  FromCache = false;
  if (auto* T = dynamic_cast<TvkMinTimer*>(TvkProviderEffects::AnimTimer(P)); T != nullptr && T->FormImage != nullptr &&
                                                                             !T->FormImage->Empty())
    return T->FormImage;
  FromCache = true;
  return P->SkinData() != nullptr ? P->SkinData()->CacheBmp : nullptr;
}

// The toolkit's resampler: colour and alpha alike (the system's halftone stretch may drop the alpha).
TBitmap* Resampled(TBitmap* Src, SIZE Size) { return NewStretchedBitmap32(Src, Size.cx, Size.cy); }

void SetState(TsSkinProvider* P, uint32_t Bits, bool On) {
  P->SetFormStateFlags(On ? P->FormStateFlags() | Bits : P->FormStateFlags() & ~Bits);
}

bool Composition() { return IsDwmCompositionActive(); }

HWND RealTaskbar() { return FindWindowA("Shell_TrayWnd", nullptr); }
void RealMoveLoop(TCustomForm* Form) { Form->Perform(WM_SYSCOMMAND, 0xF012, 0); }
void RealWindowMoveLoop(HWND Wnd) { SendMessageA(Wnd, WM_SYSCOMMAND, 0xF012, 0); }

}  // namespace

TvkFormEffectSeams& FormEffectSeams() {
  static TvkFormEffectSeams Seams = [] {
    AddResetHook([] {
      FormEffectSeams().FindTaskbarWindow = RealTaskbar;
      FormEffectSeams().EnterMoveLoop = RealMoveLoop;
      FormEffectSeams().EnterWindowMoveLoop = RealWindowMoveLoop;
    });
    return TvkFormEffectSeams{RealTaskbar, RealMoveLoop, RealWindowMoveLoop};
  }();
  return Seams;
}

TLateBound<HRESULT WINAPI(HWND, HBITMAP, DWORD)>& DwmSetIconicThumbnailEntry() {
  static TLateBound<HRESULT WINAPI(HWND, HBITMAP, DWORD)> E("DWMAPI.DLL", "DwmSetIconicThumbnail");
  return E;
}
TLateBound<HRESULT WINAPI(HWND, HBITMAP, POINT*, DWORD)>& DwmSetIconicLivePreviewBitmapEntry() {
  static TLateBound<HRESULT WINAPI(HWND, HBITMAP, POINT*, DWORD)> E("DWMAPI.DLL", "DwmSetIconicLivePreviewBitmap");
  return E;
}
TLateBound<HRESULT WINAPI(HWND)>& DwmInvalidateIconicBitmapsEntry() {
  static TLateBound<HRESULT WINAPI(HWND)> E("DWMAPI.DLL", "DwmInvalidateIconicBitmaps");
  return E;
}

int SystemMajorVersion() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof Info;
  return Platform().GetVersionExA(&Info) ? static_cast<int>(Info.dwMajorVersion) : 0;
}

// ===================================================================== pictures

TBitmap* MakeAnimationBitmap(TsSkinProvider* Provider, bool FreeCache) {
  TsCommonData* D = Provider->SkinData();
  TCustomForm* F = Provider->Form();
  if (D == nullptr || D->CacheBmp == nullptr || D->CacheBmp->Empty() || F == nullptr) return nullptr;
  TBitmap* B = NewBitmap32(D->CacheBmp->Width(), D->CacheBmp->Height());
  PaintControlToBitmap(B, F, 0, 0, Provider, false);
  if (Provider->BorderForm() == nullptr) SetRectAlpha32(B, TRect(0, 0, B->Width(), B->Height()), 255, NoColor32);
  if (FreeCache) {
    delete D->CacheBmp;
    D->CacheBmp = nullptr;
    D->CacheDirty = true;
  }
  return B;
}

SIZE FitThumbnail(int W, int H, int MaxW, int MaxH) {
  if (W <= 0 || H <= 0 || MaxW <= 0 || MaxH <= 0) return SIZE{0, 0};
  // the side that limits takes its maximum, the other keeps the proportion (rounded)
  if (static_cast<double>(MaxW) / W <= static_cast<double>(MaxH) / H)
    return SIZE{MaxW, static_cast<LONG>(std::lround(static_cast<double>(H) * MaxW / W))};
  return SIZE{static_cast<LONG>(std::lround(static_cast<double>(W) * MaxH / H)), MaxH};
}

bool SetIconicThumbnailFromForm(HWND Wnd, TsSkinProvider* Provider, int MaxWidth, int MaxHeight) {
  auto* Set = DwmSetIconicThumbnailEntry().Get();
  if (SystemMajorVersion() < 6 || MaxWidth == 0 || MaxHeight == 0 || Set == nullptr) return false;
  bool FromCache = false;
  TBitmap* Src = PreviewSource(Provider, FromCache);
  if (Src == nullptr || Src->Empty()) return false;
  const SIZE Size = FitThumbnail(Src->Width(), Src->Height(), MaxWidth, MaxHeight);
  if (Size.cx == 0 || Size.cy == 0) return false;
  SetState(Provider, fsfTaskbarSnapshot, true);
  bool Done = false;
  TBitmap* Thumb = Resampled(Src, Size);
  if (SUCCEEDED(Set(Wnd, Thumb->Handle(), 0))) {
    Done = true;
    if (FromCache) {
      // the whole form, children included, is the better picture
      if (TBitmap* Whole = MakeAnimationBitmap(Provider, false)) {
        TBitmap* Better = Resampled(Whole, Size);
        Set(Wnd, Better->Handle(), 0);
        delete Better;
        delete Whole;
      }
      UpdateBorder(Provider->BorderForm(), false, 255);
    }
  }
  delete Thumb;
  SetState(Provider, fsfTaskbarSnapshot, false);
  return Done;
}

bool SetLivePreviewFromForm(HWND Wnd, TsSkinProvider* Provider) {
  auto* Set = DwmSetIconicLivePreviewBitmapEntry().Get();
  if (SystemMajorVersion() < 6 || Set == nullptr) return false;
  bool FromCache = false;
  TBitmap* Src = PreviewSource(Provider, FromCache);
  if (Src == nullptr || Src->Empty()) return false;
  SetState(Provider, fsfTaskbarSnapshot, true);
  bool Done = false;
  if (FromCache) {
    if (TBitmap* Whole = MakeAnimationBitmap(Provider, false)) {
      POINT Origin{0, 0};
      Done = SUCCEEDED(Set(Wnd, Whole->Handle(), &Origin, 1));
      delete Whole;
    }
    UpdateBorder(Provider->BorderForm(), false, 255);
  } else {
    Done = SUCCEEDED(Set(Wnd, Src->Handle(), nullptr, 0));
  }
  SetState(Provider, fsfTaskbarSnapshot, false);
  return Done;
}

void CallDwmInvalidateIconicBitmaps(HWND Wnd) {
  if (SystemMajorVersion() < 6) return;
  if (auto* Call = DwmInvalidateIconicBitmapsEntry().Get()) Call(Wnd);
}

TLateBound<HRESULT WINAPI(HWND, const TvkBlurBehind*)>& DwmEnableBlurBehindWindowEntry() {
  static TLateBound<HRESULT WINAPI(HWND, const TvkBlurBehind*)> E("DWMAPI.DLL", "DwmEnableBlurBehindWindow");
  return E;
}

void EnableBlurBehind(HWND Wnd, bool Enable, HRGN Region) {
  auto* Call = DwmEnableBlurBehindWindowEntry().Get();
  if (Call != nullptr && Composition()) {
    const TvkBlurBehind B{Region != nullptr ? 3u : 1u, Enable ? -1 : 0, Region, FALSE};
    Call(Wnd, &B);
  }
  // the caller handed the region over on every path
  if (Region != nullptr) DeleteObject(Region);
}

void AnswerTaskbarPreview(TsSkinProvider* Provider, TMessage& Message) {
  const HWND W = FormHandleOf(Provider);
  if (W == nullptr) return;
  if (Message.Msg == WM_DWMSENDICONICTHUMBNAIL)
    SetIconicThumbnailFromForm(W, Provider, HIWORD(Message.LParam), LOWORD(Message.LParam));
  else
    SetLivePreviewFromForm(W, Provider);
}

TvkGlowForm* MakeSnapshotForm(HWND Wnd) {
  RECT R{};
  if (Wnd == nullptr || !GetWindowRect(Wnd, &R) || R.right <= R.left || R.bottom <= R.top) return nullptr;
  auto* Snap = Create<TvkGlowForm>(nullptr);
  Snap->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
  TBitmap* B = NewBitmap32(R.right - R.left, R.bottom - R.top);
  HDC DC = GetWindowDC(Wnd);
  BitBlt(B->Canvas()->Handle(), 0, 0, B->Width(), B->Height(), DC, 0, 0, SRCCOPY);
  ReleaseDC(Wnd, DC);
  SetRectAlpha32(B, TRect(0, 0, B->Width(), B->Height()), 255, NoColor32);
  auto* Data = reinterpret_cast<TsCommonData*>(SendSkinCommand(Wnd, VKCMD_QUERY_SKIN_DATA, 0));
  if (Data != nullptr) {
    if (TsSkinManager* M = Data->SkinManager()) {
      ClearBorderMaskCorners(Data->SkinIndex, B, M);
      if ((GetWindowLongA(Wnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
        if (const int Title = M->FindSectionIndex("FORMTITLE"); Title >= 0) ClearBorderMaskCorners(Title, B, M);
    }
  }
  PremultiplyBitmap(B);
  Snap->HandleNeeded();
  UpdateLayeredFromBitmap(Snap->Handle(), B, 255, POINT{R.left, R.top});
  SetWindowPos(Snap->Handle(), HWND_TOPMOST, R.left, R.top, 0, 0, 0x659);
  delete B;
  return Snap;
}

// ===================================================================== minimise and restore

bool AnimateMinimizing(TsSkinProvider* Provider) {
  if (SystemMajorVersion() >= 6 && !Composition()) return false;
  TsSkinManager* M = ManagerOf(Provider);
  if (M == nullptr || !M->AnimEffects()->Minimizing()->Active() || !M->Effects()->AllowAnimation()) return false;
  const HWND W = FormHandleOf(Provider);
  if (W == nullptr) return false;
  Provider->FreeTitleAnimations();
  if ((Provider->FormStateFlags() & fsfMinimizing) != 0) return true;
  SetState(Provider, fsfMinimizing, true);
  TvkThreadedTimer*& Slot = TvkProviderEffects::AnimTimer(Provider);
  auto* T = dynamic_cast<TvkMinTimer*>(Slot);
  if (Slot != nullptr && T == nullptr) {
    Slot->Free();
    Slot = nullptr;
  }
  if (T == nullptr) {
    T = new TvkMinTimer(Provider, Provider);
    Slot = T;
  } else if ((Provider->FormStateFlags() & fsfRestoring) == 0) {
    T->Init();
  }
  TvkBorderForm* BF = Provider->BorderForm();
  if (T->StepCount > 0) {
    if (BF == nullptr) {
      delete T->FormImage;
      T->FormImage = MakeAnimationBitmap(Provider, false);
      if (T->FormImage == nullptr) T->FormImage = new TBitmap();
    } else {
      UpdateBorder(BF, false, 255);
      if (Provider->SkinData()->CacheBmp != nullptr) CopyBitmapFull(T->FormImage, Provider->SkinData()->CacheBmp);
      SetBorderUpdating(BF, true);
      if (TvkGlowForm* L = BorderWindowOf(BF); L != nullptr && L->HandleAllocated()) {
        // the flying picture is the whole form: no blur of the frame's shadow behind it
        EnableBlurBehind(L->Handle(), false, nullptr);
        SetWindowPos(L->Handle(), HWND_TOPMOST, 0, 0, 0, 0, 0x61B);
        SetWindowRgn(L->Handle(), nullptr, FALSE);
      }
    }
  }
  if (TCustomForm* Veil = Provider->Veil(); Veil != nullptr && Veil->HandleAllocated() && IsWindowVisible(Veil->Handle()))
    ShowWindow(Veil->Handle(), SW_HIDE);
  SetLayeredAlpha(W, true, 0);
  if (!Composition()) Platform().Sleep(48);
  T->DoStep();
  if (T->StepCount > 1 && (Provider->FormStateFlags() & fsfMinimizing) != 0) T->SetEnabled(true);
  CallDwmInvalidateIconicBitmaps(W);
  return true;
}

bool AnimateRestoring(TsSkinProvider* Provider) {
  auto* T = dynamic_cast<TvkMinTimer*>(TvkProviderEffects::AnimTimer(Provider));
  TsSkinManager* M = ManagerOf(Provider);
  const HWND W = FormHandleOf(Provider);
  if (T == nullptr || M == nullptr || W == nullptr || !M->AnimEffects()->Minimizing()->Active() ||
      !M->Effects()->AllowAnimation() || (Provider->FormStateFlags() & fsfRestoring) != 0)
    return true;
  // no picture of a minimise flight to bring back (the last restore took it): the form would stay transparent
  if (Provider->BorderForm() == nullptr && T->AnimWindow == nullptr) return true;
  SetState(Provider, fsfMinimizing, false);
  SetState(Provider, fsfRestoring, true);
  if (TvkBorderForm* BF = Provider->BorderForm()) {
    SetBorderUpdating(BF, true);
    TvkGlowForm* L = BorderWindowOf(BF);
    if (L == nullptr && FormServices.CreateBorderWindow) {
      FormServices.CreateBorderWindow(BF);
      L = BorderWindowOf(BF);
    }
    if (L != nullptr) {
      L->HandleNeeded();
      UpdateLayeredFromBitmap(L->Handle(), T->FormImage, 0, POINT{T->TargetRect.Left, T->TargetRect.Top});
      T->AnimWindow = L;
      T->OwnsWindow = false;
      T->BorderForm = BF;
      SetWindowPos(L->Handle(), HWND_TOPMOST, 0, 0, 0, 0, 0x61B);
    }
    SetLayeredAlpha(W, true, 0);
    T->SetEnabled(true);
    TvkProviderEffects::CaptionActive(Provider) = true;
    Provider->SkinData()->CacheDirty = true;
    Provider->PaintFormFrame();
  } else if (SystemMajorVersion() >= 6 && !Composition()) {
    T->DoStep();
    return true;
  } else {
    SetLayeredAlpha(W, true, 0);
    T->SetEnabled(true);
  }
  return true;
}

// ===================================================================== the move fade

void StartMoveFade(TsSkinProvider* Provider, bool RecordGlued) {
  if ((Provider->FormStateFlags() & fsfMoveFade) != 0) return;
  RecordGluedForms(Provider, RecordGlued);
  TsSkinManager* M = ManagerOf(Provider);
  TCustomForm* F = Provider->Form();
  const HWND W = FormHandleOf(Provider);
  if (M == nullptr || F == nullptr || W == nullptr || !M->AnimEffects()->BlendOnMoving()->Active()) return;
  SetState(Provider, fsfMoveFade, true);
  SendSkinCommand(W, VKCMD_51, 0);
  TvkThreadedTimer*& Slot = TvkProviderEffects::AnimTimer(Provider);
  if (Slot != nullptr) Slot->Free();
  auto* T = new TvkMoveTimer(Provider, Provider);
  Slot = T;
  T->Alpha = F->AlphaBlend() ? F->AlphaBlendValue() : 255.0;
  T->BorderForm = Provider->BorderForm();
  T->FormWnd = W;
  T->TargetAlpha = Provider->AllowBlendOnMoving() ? M->AnimEffects()->BlendOnMoving()->BlendValue() : 255;
  T->AlphaStep = TvkMoveTimer::StepFor(T->TargetAlpha, M->AnimEffects()->BlendOnMoving()->Time());
  T->SetInterval(12);
  TvkGlowForm* Snapshot = nullptr;
  TvkProviderEffects::BorderPos(Provider) = TvkProviderEffects::kNoBorderPos;
  if (TvkBorderForm* BF = T->BorderForm) {
    SendSkinCommand(W, VKCMD_52, 0);
    UpdateBorder(BF, false, 255);
    if (F->AlphaBlend()) SetLayeredAlpha(W, true, 0);
    SetBorderUpdating(BF, true);
    if (TvkGlowForm* L = BorderWindowOf(BF); L != nullptr && L->HandleAllocated())
      SetWindowPos(W, L->Handle(), 0, 0, 0, 0, 0x61B);
    UpdateLayeredFromBitmap(W, nullptr, 0, POINT{F->Left(), F->Top()});
  } else if (!F->AlphaBlend()) {
    Snapshot = MakeSnapshotForm(W);
    if (!IsZoomed(W)) Provider->ApplyWindowRegion(false, true);
    SetLayeredAlpha(W, true, 255);
    RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    UpdateWindow(W);
    // the snapshot only covered the change to a layered window: left on top it would stay behind at the old
    // place while the form moves
    if (Snapshot != nullptr) Snapshot->Free();
    Snapshot = nullptr;
  }
  T->SetEnabled(true);
  FormEffectSeams().EnterMoveLoop(F);
  // the border window goes back where the move left it
  const TPoint Pos = TvkProviderEffects::BorderPos(Provider);
  if (TvkBorderForm* BF = T->BorderForm; BF != nullptr && SystemMajorVersion() >= 6 && Pos.X != TvkProviderEffects::kNoBorderPos.X)
    if (TvkGlowForm* L = BorderWindowOf(BF); L != nullptr && L->HandleAllocated())
      SetWindowPos(L->Handle(), nullptr, Pos.X, Pos.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EndMoveFade(Provider, Snapshot);
}

void EndMoveFade(TsSkinProvider* Provider, TvkGlowForm* Snapshot) {
  TCustomForm* F = Provider->Form();
  const HWND W = FormHandleOf(Provider);
  TvkThreadedTimer*& Slot = TvkProviderEffects::AnimTimer(Provider);
  auto* T = dynamic_cast<TvkMoveTimer*>(Slot);
  if (F == nullptr || W == nullptr) return;
  if (TvkBorderForm* BF = Provider->BorderForm()) {
    UpdateBorder(BF, false, 255);
    SetState(Provider, fsfMoveFade, false);
    SendSkinCommand(W, VKCMD_4E, 255);
    if (F->AlphaBlend()) SetLayeredAlpha(W, true, static_cast<BYTE>(F->AlphaBlendValue()));
    else SetLayeredAlpha(W, false, 255);
    Provider->SkinData()->CacheDirty = true;
    RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (Application == nullptr || Application->MainForm() != F) Platform().Sleep(20);
    // the composed frame leaves the menu line (the form's own part of the frame) to the form
    if (Composition() && F->Menu() != nullptr) Provider->PerformFormMessage(WM_NCPAINT, 0, 0);
    SetBorderUpdating(BF, false);
    UpdateBorder(BF, true, 255);
    POINT C{};
    Platform().GetCursorPos(&C);
    RECT Work{};
    GetWorkAreaAtPoint(C, Work);
    if (C.y == Work.top && Work.right > Work.left && F->BorderStyle() == bsSizeable &&
        F->BorderIcons().Contains(biMaximize))
      F->SetWindowState(wsMaximized);
  } else {
    if (!F->AlphaBlend()) {
      if (!IsZoomed(W)) Provider->ApplyWindowRegion(false, true);
      SetLayeredAlpha(W, false, 255);
      UpdateWindow(W);
      if (T != nullptr) T->SetEnabled(false);
      RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      // a snapshot made now would only flash over the form before it is freed
      if (Snapshot != nullptr) Snapshot->Free();
    } else {
      SetLayeredAlpha(W, true, static_cast<BYTE>(F->AlphaBlendValue()));
      SendSkinCommand(W, VKCMD_4D, 0);
    }
    SetState(Provider, fsfMoveFade, false);
    SendSkinCommand(W, VKCMD_4E, 255);
    SendSkinCommand(W, VKCMD_4D, 0);
  }
  for (const TvkGlueEntry& E : GlueTable())
    if (E.Master == F && E.Form->Visible() && E.Form->HandleAllocated())
      SendSkinCommand(E.Form->Handle(), VKCMD_SET_FRAME_OPACITY, 255);
  if (T != nullptr) {
    T->Alpha = 255;
    Slot = nullptr;
    T->Free();
  }
}

bool BeginCaptionMove(TsSkinProvider* Provider) {
  TsSkinManager* M = ManagerOf(Provider);
  TCustomForm* F = Provider->Form();
  const HWND W = FormHandleOf(Provider);
  if (M == nullptr || F == nullptr || W == nullptr || F->FormStyle() == fsMDIChild ||
      !M->AnimEffects()->BlendOnMoving()->Active() || IsIconic(W) || M->AnimEffects()->BlendOnMoving()->BlendValue() == 255 ||
      !Provider->AllowBlendOnMoving())
    return false;
  if (!Provider->CaptionActive()) {
    TvkProviderEffects::CaptionActive(Provider) = true;
    Provider->SkinData()->CacheDirty = true;
  }
  if (F->CanFocus()) SetFocus(W);
  StartMoveFade(Provider, true);
  return true;
}
