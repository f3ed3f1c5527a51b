#include "skin/forms/vkFormEffectUnits.h"

#include "framework/Units.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkGlue.h"
#include "skin/forms/vkSBAnimation.h"

namespace {

void EffectsStart() {
  ProviderParts.FreeTitleAnimation = FreeTitleButtonAnimation;
  ProviderParts.AnimateTitleElement = AnimateTitleElement;
  ProviderParts.RecordGluedForms = RecordGluedForms;
  ProviderParts.MoveGluedForms = MoveGluedForms;
  ProviderParts.SnapPosition = SnapPosition;
}

void EffectsEnd() {
  ProviderParts.FreeTitleAnimation = nullptr;
  ProviderParts.AnimateTitleElement = nullptr;
  ProviderParts.RecordGluedForms = nullptr;
  ProviderParts.MoveGluedForms = nullptr;
  ProviderParts.SnapPosition = nullptr;
  ClearGlueTable();
}

}  // namespace

void RegisterFormEffectUnits() {
  if (!UnitRegistered("vkFormEffects")) RegisterUnit("vkFormEffects", EffectsStart, EffectsEnd);
}
