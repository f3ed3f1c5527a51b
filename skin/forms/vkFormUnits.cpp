#include "skin/forms/vkFormUnits.h"

#include "framework/Units.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/vkFormEffectUnits.h"
#include "skin/forms/vkFormHook.h"
#include "skin/forms/vkTitleBar.h"

namespace {

void FillFormServices() {
  TvkFormServices& S = FormServices;
  S.CbtHookProc = FormCbtHookProc;
  S.AdoptTopLevelWindow = [](HWND Wnd) { AdoptTopLevelForm(Wnd); };
  S.IsSkinProvider = [](TObject* Object) { return Object != nullptr && Object->Is<TsSkinProvider>(); };
  S.ProviderAnimating = [](TsSkinProvider* P) {
    return P->FormAnimating() || P->ShowAnimating() || (P->FormStateFlags() & (fsfHiding | fsfSkinChangeSnapshot)) != 0;
  };
  S.ProviderSnapshot = [](TsSkinProvider* P) { return P->SkinChangeSnapshot(); };
  S.SetProviderSnapshot = [](TsSkinProvider* P, TBitmap* Snapshot) { P->SetSkinChangeSnapshot(Snapshot); };
  S.SetProviderChangingSkin = [](TsSkinProvider* P, bool Changing) { P->SetSkinChanging(Changing); };
  S.ProviderSkinData = [](TsSkinProvider* P) { return P->SkinData(); };
  S.ProviderForm = [](TsSkinProvider* P) { return P->Form(); };
  S.ProviderBorderForm = [](TsSkinProvider* P) { return P->BorderForm(); };
  S.ProviderStateFlags = [](TsSkinProvider* P) { return P->FormStateFlags(); };
  S.ProviderDrawsFrame = [](TsSkinProvider* P) { return P->DrawNonClientArea(); };
  S.ProviderMenuLineBg = [](TsSkinProvider* P) { return P->MenuLineBg(); };
  S.PaintFormFrame = [](TsSkinProvider* P) { P->PaintFormFrame(); };
  S.CollectBorderMaskRects = [](TsSkinProvider* P) { P->CollectBorderMaskRects(); };
  S.CreateFormRegionAt = [](TsSkinProvider* P, int X, int Y) { return P->CreateFormRegionAt(X, Y); };
  S.ApplyWindowRegion = [](TsSkinProvider* P, bool Repaint, bool Quiet) { P->ApplyWindowRegion(Repaint, Quiet); };
  S.GetCaptionBarHeight = [](TsSkinProvider* P, bool UseSkin) { return P->GetCaptionBarHeight(UseSkin); };
  S.GetSkinTitleHeightByState = [](TsSkinProvider* P, bool Max) { return P->GetSkinTitleHeightByState(Max); };
  S.GetExtBorderMargins = [](TsSkinProvider* P, RECT& Margins) {
    TRect M;
    P->GetExtBorderMargins(M);
    Margins = M;
  };
  S.GetClientOffsetLeft = [](TsSkinProvider* P) { return P->GetClientOffsetLeft(); };
  S.GetClientOffsetTop = [](TsSkinProvider* P) { return P->GetClientOffsetTop(); };
  S.PerformFormMessage = [](TsSkinProvider* P, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
    TMessage M{Msg, WParam, LParam, 0};
    P->FormWindowProc(M);
    return M.Result;
  };
  S.SetFormStateFlags = [](TsSkinProvider* P, uint32_t Flags) { P->SetFormStateFlags(Flags); };
  S.GetWindowFrameWidth = vkWindowFrameWidth;
  S.GetStdCaptionHeight = vkStdCaptionHeight;
  S.FreeDialogAdapters = ForgetAdoptedProviders;
}

void FormUnitsStart() {
  FillFormServices();
  // A stored form names the provider and the title bar by their class.
  RegisterClasses({TsSkinProvider::StaticClassInfo(), TsTitleBar::StaticClassInfo()});
}

void FormUnitsEnd() {
  ForgetAdoptedProviders();
  FreeDetachedProcLinks();
  FormServices = TvkFormServices();
}

}  // namespace

void RegisterSkinFormUnits() {
  if (!UnitRegistered("sSkinProvider")) RegisterUnit("sSkinProvider", FormUnitsStart, FormUnitsEnd);
  if (!UnitRegistered("sSkinMenus")) RegisterUnit("sSkinMenus", SkinMenusInitialize, SkinMenusFinalize);
  RegisterFormEffectUnits();
}
