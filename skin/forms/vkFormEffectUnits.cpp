#include "skin/forms/vkFormEffectUnits.h"

#include "framework/Units.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormAnimations.h"
#include "skin/forms/vkGlue.h"
#include "skin/forms/vkSBAnimation.h"
#include "skin/forms/vkTitleBar.h"

namespace {

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
  RemoveBorderFormParts();
  RemoveTitleBarParts();
  ClearGlueTable();
}

}  // namespace

void RegisterFormEffectUnits() {
  if (!UnitRegistered("vkFormEffects")) RegisterUnit("vkFormEffects", EffectsStart, EffectsEnd);
}
