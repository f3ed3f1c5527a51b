// The caption's skin sections, the form header, the veil over a disabled form and the provider's state word.
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderUnit.h"

void TsSkinProvider::UpdateTitleSectionIndexes() {
  TsSkinManager* M = Manager();
  if (M == nullptr) {
    FCaptionIndex = FHeaderIndex = FTitleIndex = -1;
    return;
  }
  const TConstantSkinData& C = M->ConstData();
  FCaptionIndex = C.Sections[ssCaption];
  FHeaderIndex = C.Sections[ssFormHeader];
  // a title section the skin lacks stays -1: no fall-back to the standard title
  FTitleIndex = FTitleSkin.empty() ? C.Sections[ssFormTitle] : M->FindSectionIndex(FTitleSkin);
}

bool TsSkinProvider::HeaderShown() {
  TsSkinManager* M = Manager();
  return FFormHeader->AdditionalHeight() >= 1 && M != nullptr && M->SectionIndexInRange(FHeaderIndex) &&
         M->gd()[FHeaderIndex].States > 1;
}

void TsSkinProvider::SetDisabledBlendColor(TColor Value) {
  if (Value == FDisabledBlendColor) return;
  FDisabledBlendColor = Value;
  if (!Designing()) UpdateDisabledVeil();
}

void TsSkinProvider::SetDisabledBlendValue(uint8_t Value) {
  if (Value == FDisabledBlendValue) return;
  FDisabledBlendValue = Value;
  if (!Designing()) UpdateDisabledVeil();
}

void TsSkinProvider::SetFormStateFlags(uint32_t NewFlags) {
  // minimising and restoring hold the form's alignment while their bit is set
  for (uint32_t Bit : {fsfMinimizing, fsfRestoring}) {
    const bool Was = (FFormState & Bit) != 0, Now = (NewFlags & Bit) != 0;
    if (FForm == nullptr || Was == Now) continue;
    if (Now)
      FForm->DisableAlign();
    else
      FForm->EnableAlign();
  }
  FFormState = NewFlags;
}
