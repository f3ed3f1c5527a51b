#include "skin/forms/vkFormEffectUnits.h"

#include <utility>

#include "framework/Units.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormAnimations.h"
#include "skin/forms/vkGlue.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/forms/vkSBAnimation.h"
#include "skin/forms/vkTitleBar.h"

namespace {

// What the show, hide and skin-change animations of the engine read and change of the skinner.
void InstallAnimationServices() {
  TvkFormServices& S = FormServices;
  S.ProviderTransparentRects = [](TsSkinProvider* P) { return P->TransparentRects(); };
  S.SetProviderShowPending = [](TsSkinProvider* P, bool Pending) { TvkProviderEffects::PendingShow(P) = Pending; };
  S.ProviderCaptionShorter = [](TsSkinProvider* P) { return TvkProviderEffects::ShortCaption(P); };
  S.SetProviderCaptionShorter = [](TsSkinProvider* P, bool Shorter) { TvkProviderEffects::ShortCaption(P) = Shorter; };
  S.TakeProviderSnapshotForm = [](TsSkinProvider* P) -> TvkGlowForm* {
    TCustomForm*& Kept = TvkProviderEffects::SnapshotForm(P);
    auto* Snapshot = static_cast<TvkGlowForm*>(Kept);
    Kept = nullptr;
    return Snapshot;
  };
  S.TakeProviderChangePicture = [](TsSkinProvider* P) { return std::exchange(TvkProviderEffects::ChangePicture(P), nullptr); };
  S.FireAfterAnimation = [](TsSkinProvider* P, int Event) {
    if (P->OnAfterAnimation) P->OnAfterAnimation(static_cast<TvkAnimEvent>(Event));
  };
  S.FreeProviderBorderForm = TvkProviderEffects::FreeBorderForm;
}

void RemoveAnimationServices() {
  TvkFormServices& S = FormServices;
  S.ProviderTransparentRects = nullptr;
  S.SetProviderShowPending = nullptr;
  S.ProviderCaptionShorter = nullptr;
  S.SetProviderCaptionShorter = nullptr;
  S.TakeProviderSnapshotForm = nullptr;
  S.TakeProviderChangePicture = nullptr;
  S.FireAfterAnimation = nullptr;
  S.FreeProviderBorderForm = nullptr;
}

void EffectsStart() {
  ProviderParts.FreeTitleAnimation = FreeTitleButtonAnimation;
  ProviderParts.AnimateTitleElement = AnimateTitleElement;
  ProviderParts.RecordGluedForms = RecordGluedForms;
  ProviderParts.MoveGluedForms = MoveGluedForms;
  ProviderParts.SnapPosition = SnapPosition;
  ProviderParts.BeginCaptionMove = BeginCaptionMove;
  ProviderParts.TaskbarPreview = AnswerTaskbarPreview;
  ProviderParts.MakeAnimationBitmap = MakeAnimationBitmap;
  ProviderParts.AnimateMinimizing = [](TsSkinProvider* P) { AnimateMinimizing(P); };
  ProviderParts.AnimateRestoring = [](TsSkinProvider* P) { AnimateRestoring(P); };
  FormServices.MakeAnimationBitmap = MakeAnimationBitmap;
  FormServices.AnimateMinimizing = ProviderParts.AnimateMinimizing;
  FormServices.AnimateRestoring = ProviderParts.AnimateRestoring;
  FormServices.CreateSnapshotForm = MakeSnapshotForm;
  InstallAnimationServices();
  InstallBorderFormParts();
  InstallTitleBarParts();
}

void EffectsEnd() {
  ProviderParts.FreeTitleAnimation = nullptr;
  ProviderParts.AnimateTitleElement = nullptr;
  ProviderParts.RecordGluedForms = nullptr;
  ProviderParts.MoveGluedForms = nullptr;
  ProviderParts.SnapPosition = nullptr;
  ProviderParts.BeginCaptionMove = nullptr;
  ProviderParts.TaskbarPreview = nullptr;
  ProviderParts.MakeAnimationBitmap = nullptr;
  ProviderParts.AnimateMinimizing = nullptr;
  ProviderParts.AnimateRestoring = nullptr;
  FormServices.MakeAnimationBitmap = nullptr;
  FormServices.AnimateMinimizing = nullptr;
  FormServices.AnimateRestoring = nullptr;
  FormServices.CreateSnapshotForm = nullptr;
  RemoveAnimationServices();
  RemoveBorderFormParts();
  RemoveTitleBarParts();
  ClearGlueTable();
}

}  // namespace

void RegisterFormEffectUnits() {
  if (!UnitRegistered("vkFormEffects")) RegisterUnit("vkFormEffects", EffectsStart, EffectsEnd);
}
