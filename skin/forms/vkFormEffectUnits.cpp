#include "skin/forms/vkFormEffectUnits.h"

#include "framework/Units.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkSBAnimation.h"

namespace {

void EffectsStart() {
  ProviderParts.FreeTitleAnimation = FreeTitleButtonAnimation;
  ProviderParts.AnimateTitleElement = AnimateTitleElement;
}

void EffectsEnd() {
  ProviderParts.FreeTitleAnimation = nullptr;
  ProviderParts.AnimateTitleElement = nullptr;
}

}  // namespace

void RegisterFormEffectUnits() {
  if (!UnitRegistered("vkFormEffects")) RegisterUnit("vkFormEffects", EffectsStart, EffectsEnd);
}
