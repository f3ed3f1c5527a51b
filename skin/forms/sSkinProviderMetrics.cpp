// Frame metrics of skinned top-level windows, the desktop-composition wrappers, the window region of a skinned
// form, the form's own scroll adapter and the class lists of ThirdParty.
#include "skin/forms/sSkinProviderMetrics.h"

#include <algorithm>

#include "framework/LateBinding.h"
#include "framework/Platform.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/graphics/vkKeyRegions.h"

namespace {

int g_BigCaption = 0;
int g_SmallCaption = 0;

TLateBound<HRESULT WINAPI(HWND, DWORD, LPCVOID, DWORD)> DwmSetWindowAttributeEntry("dwmapi.dll",
                                                                                    "DwmSetWindowAttribute");

// The provider whose border window this is (the border window's unit answers; nil without it).
TsSkinManager* BorderManager(TvkBorderForm* BorderForm) {
  return BorderForm != nullptr ? TsSkinManager::DefaultManager() : nullptr;
}

bool Windows8OrLater() { return WindowsVersionLevel >= 8; }

}  // namespace

int vkWindowFrameWidth(HWND Wnd, TvkBorderForm* BorderForm, bool UseSkin) {
  if (UseSkin) {
    TsSkinManager* M = BorderManager(BorderForm);
    if (M != nullptr && M->SkinData().BorderWidth != 0) return M->SkinData().BorderWidth;
  }
  const LONG Style = WindowStyle(Wnd);
  if ((Style & WS_THICKFRAME) != 0) {
    if (BorderManager(BorderForm) != nullptr)
      return static_cast<int>(SendSkinCommand(Wnd, VKCMD_QUERY_FRAME_WIDTH, SysFrameWidth));
    if (Windows8OrLater() && BorderForm != nullptr) return SysFrameWidth + 4;
    return SysFrameWidth;
  }
  if ((Style & WS_BORDER) != 0) {
    TsSkinManager* M = BorderManager(BorderForm);
    if (M != nullptr && M->SkinData().BorderMode != 1)
      return static_cast<int>(SendSkinCommand(Wnd, VKCMD_QUERY_FRAME_WIDTH, SysDlgFrameWidth));
    return SysDlgFrameWidth;
  }
  return 0;
}

int GetFrameWidthWithoutBorderWindow(HWND Wnd, TvkBorderForm* BorderForm, bool UseSkin) {
  return BorderForm != nullptr ? 0 : GetWindowFrameWidth(Wnd, BorderForm, UseSkin);
}

int BigCaptionHeight() {
  if (g_BigCaption == 0) g_BigCaption = SysCaptionHeight;
  return g_BigCaption;
}

int SmallCaptionHeight() {
  if (g_SmallCaption == 0) g_SmallCaption = SysSmallCaptionHeight;
  return g_SmallCaption;
}

void ForgetCaptionHeights() {
  g_BigCaption = 0;
  g_SmallCaption = 0;
}

int vkStdCaptionHeight(TCustomForm* Form) {
  if (Form != nullptr && (Form->BorderStyle() == bsToolWindow || Form->BorderStyle() == bsSizeToolWin) &&
      !(Form->HandleAllocated() && IsIconic(Form->Handle())))
    return SmallCaptionHeight();
  return BigCaptionHeight();
}

int WindowRectWidth(HWND Wnd) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  return R.right - R.left;
}
int WindowRectHeight(HWND Wnd) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  return R.bottom - R.top;
}
int ClientRectWidth(HWND Wnd) {
  RECT R{};
  GetClientRect(Wnd, &R);
  return R.right;
}
int ClientRectHeight(HWND Wnd) {
  RECT R{};
  GetClientRect(Wnd, &R);
  return R.bottom;
}
bool WindowHasSizingBorder(HWND Wnd) { return (WindowStyle(Wnd) & WS_THICKFRAME) != 0; }

bool IsSingleImageMask(int MaskIndex, TsSkinManager* Manager) {
  return MaskIndex < 0 || Manager == nullptr || !Manager->MaskIndexInRange(MaskIndex) ||
         Manager->ma()[MaskIndex].ImageCount == 1;
}

HRESULT CallDwmSetWindowAttribute(HWND Wnd, DWORD Attribute, const void* Data, DWORD Size) {
  auto* Fn = DwmSetWindowAttributeEntry.Get();
  return Fn != nullptr ? Fn(Wnd, Attribute, Data, Size) : E_NOTIMPL;
}

void SetDwmTransitionsForceDisabled(HWND Wnd, bool Value, int Otherwise) {
  const BOOL V = IsDwmCompositionActive() ? (Value ? TRUE : FALSE) : Otherwise;
  CallDwmSetWindowAttribute(Wnd, 3 /* DWMWA_TRANSITIONS_FORCEDISABLED */, &V, sizeof(V));
}

void ExcludeWindowsAbove(HWND Wnd, HRGN Region, HWND FormWnd) {
  RECT Form{};
  GetWindowRect(FormWnd, &Form);
  for (HWND Above = Platform().WindowAbove(Wnd); Above != nullptr; Above = Platform().WindowAbove(Above)) {
    RECT R{};
    // top-level windows owned by another (a dialog over its form) count too: GetParent would name their owner
    if (!IsWindowVisible(Above) || (GetWindowLongA(Above, GWL_STYLE) & WS_CHILD) != 0 || !GetWindowRect(Above, &R) ||
        R.right == R.left)
      continue;
    HRGN Cut = CreateRectRgn(R.left - Form.left, R.top - Form.top, R.right - Form.left, R.bottom - Form.top);
    CombineRgn(Region, Region, Cut, RGN_DIFF);
    DeleteObject(Cut);
  }
}

// ---- provider members ----

bool TsSkinProvider::HasMenuLine() {
  if (FForm == nullptr || FForm->FormStyle() == fsMDIChild || FForm->BorderStyle() == bsDialog) return false;
  TMainMenu* Menu = FormMainMenu(FForm);
  return Menu != nullptr && !MenuAutoMerge(Menu) && MenuItemCount(reinterpret_cast<TMenu*>(Menu)) > 0;
}

bool TsSkinProvider::IsGripShown() {
  return FGripMode == gmRightBottom && !FormZoomed() && WindowHasSizingBorder(FormHandle());
}

void TsSkinProvider::CollectBorderMaskRects() {
  FTransparentRects.clear();
  TsSkinManager* M = Manager();
  if (M == nullptr || FForm == nullptr || !M->MaskIndexInRange(FSkinData->BorderIndex)) return;
  const TsMaskData& Mask = M->ma()[FSkinData->BorderIndex];
  const int W = FrameCacheWidth();
  MeasureMaskCornerCutouts(FTransparentRects, W, Mask, false, 0);
  MeasureMaskCornerCutouts(FTransparentRects, W, Mask, true, FForm->Height() - Mask.WB);
  if (M->SectionIndexInRange(FTitleIndex)) {
    const int Title = M->FindMaskInherited(FTitleIndex, "BORDERSMASK");
    if (M->MaskIndexInRange(Title)) MeasureMaskCornerCutouts(FTransparentRects, W, M->ma()[Title], false, 0);
  }
}

HRGN TsSkinProvider::CreateFormRegionAt(int X, int Y) {
  HRGN Rgn = CreateRectRgn(X, Y, X + FrameCacheWidth(), Y + (FForm != nullptr ? FForm->Height() : 0));
  for (const TRect& R : FTransparentRects) {
    HRGN Cut = CreateRectRgn(R.Left + X, R.Top + Y, R.Right + X, R.Bottom + Y);
    CombineRgn(Rgn, Rgn, Cut, RGN_DIFF);
    DeleteObject(Cut);
  }
  return Rgn;
}

void TsSkinProvider::ApplyWindowRegion(bool Repaint, bool Quiet) {
  const HWND W = FormHandle();
  if (!FDrawNonClientArea || W == nullptr || FRegionSkipped) return;
  if (!HasCaption() && !IsIconic(W) && !WindowHasSizingBorder(W)) return;
  if (!FForcedRegion && SendSkinMessage(W, 0xBC4D, 0x41A2, 0) == 0x41A2) return;
  if (FForm->Parent() != nullptr && FForm->DragKind() == dkDock) {
    SetWindowRgn(W, nullptr, TRUE);
    return;
  }
  FRegionBeingSet = true;
  HRGN Rgn;
  const int Width = FForm->Width(), Height = FForm->Height();
  if (FBorderForm != nullptr) {
    const int F = GetWindowFrameWidth(W, FBorderForm, false);
    int T = F + GetStdCaptionHeight(FForm);
    TsSkinManager* M = Manager();
    if (M != nullptr && M->RegistryScaleIndex() > 0 && M->Options()->ScaleMode() == smOldMode) --T;
    Rgn = CreateRectRgn(F, T, Width - F, Height - F);
  } else if (FormZoomed() && FForm->Constraints()->MaxWidth() == 0 && FForm->Constraints()->MaxHeight() == 0 &&
             FForm->FormStyle() != fsMDIChild) {
    const int F = GetWindowFrameWidth(W, nullptr, false);
    Rgn = CreateRectRgn(F, F, Width - F, Height - F);
  } else {
    Rgn = CreateFormRegionAt(0, 0);
  }
  FRegionPending = false;
  if (Quiet) {
    SetWindowRgn(W, Rgn, Repaint);
  } else {
    SetWindowRgn(W, Rgn, TRUE);
    if (Repaint) {
      RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
      PerformFormMessage(WM_NCPAINT, 0, 0);
    }
  }
  FRegionBeingSet = false;
}

void TsSkinProvider::RedrawFrameNow() {
  if (FFramePaintSuspended || FForm == nullptr || !FForm->Visible() || !FDrawNonClientArea ||
      FForm->ControlState().Contains(csDestroyingHandle) || FSkinData == nullptr || !FSkinData->IsSkinned(false))
    return;
  const HWND W = FormHandle();
  if (W == nullptr) return;
  if (FForm->FormStyle() == fsMDIChild && IsZoomed(W) && g_MDIMain != nullptr && g_MDIMain != this) {
    g_MDIMain->FSkinData->CacheDirty = true;
    if (const HWND MW = g_MDIMain->FormHandle()) {
      HDC DC = GetWindowDC(MW);
      g_MDIMain->DrawFrameCache(DC);
      ReleaseDC(MW, DC);
    }
    return;
  }
  if (FBorderForm != nullptr) {
    for (TBitmap*& Glow : FCaptionGlow) {
      delete Glow;
      Glow = nullptr;
    }
    FSkinData->CacheDirty = true;
    if (FormMainMenu(FForm) != nullptr) PerformFormMessage(WM_NCPAINT, 0, 0);
    UpdateBorder(true, 255);
    return;
  }
  FSkinData->CacheDirty = true;
  HDC DC = GetWindowDC(W);
  const int Saved = SaveDC(DC);
  if (FSkinData->CacheBmp == nullptr && Manager() != nullptr) CheckBorderWindow(Manager()->ExtendedBorders());
  DrawFrameCache(DC);
  RestoreDC(DC, Saved);
  ReleaseDC(W, DC);
}

void TsSkinProvider::UpdateFormScrollAdapter() {
  const HWND W = FormHandle();
  if (ComponentState().Contains(csDestroying) || W == nullptr || (FFormState & fsfScrollRebuild) != 0) return;
  SetFormStateFlags(FFormState | fsfScrollRebuild);
  if (FSkinData->IsSkinned(false)) {
    if (FScrollAdapter != nullptr && ProviderParts.ScrollAdapterDetached &&
        ProviderParts.ScrollAdapterDetached(FScrollAdapter)) {
      if (ProviderParts.FreeScrollAdapter) ProviderParts.FreeScrollAdapter(FScrollAdapter);
      FScrollAdapter = nullptr;
    }
    if (FScrollAdapter == nullptr && ProviderParts.NewScrollAdapter) FScrollAdapter = ProviderParts.NewScrollAdapter(this);
  } else {
    if (FScrollAdapter != nullptr && ProviderParts.FreeScrollAdapter) ProviderParts.FreeScrollAdapter(FScrollAdapter);
    FScrollAdapter = nullptr;
  }
  SetFormStateFlags(FFormState & ~fsfScrollRebuild);
}

void TsSkinProvider::LoadThirdPartyLists() {
  FHasOwnThirdLists = false;
  for (int i = 0; i < kThirdPartyKinds; ++i) {
    const std::string Text = FThirdParty->GetClassNames(i);
    FThirdLists[i]->SetText(Text);
    if (!Text.empty()) FHasOwnThirdLists = true;
  }
}

void TsSkinProvider::SaveThirdPartyLists() {
  for (int i = 0; i < kThirdPartyKinds; ++i)
    if (FThirdLists[i] != nullptr) FThirdParty->SetClassNames(i, FThirdLists[i]->Text());
}
