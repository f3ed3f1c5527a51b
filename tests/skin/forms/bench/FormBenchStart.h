// The form benchmarks' common start.
#pragma once

#include "framework/Forms.h"
#include "framework/Units.h"
#include "skin/controls/vkControlUnits.h"
#include "skin/core/vkLibraryUnits.h"
#include "skin/forms/vkFormUnits.h"
#include "tools/bench/BenchSkin.h"

// The units of forms, the skin library, its controls and the form skinner running, then a manager with the
// carried TIDE skin; nil where the skin did not load.
inline TsSkinManager* StartFormBench() {
  RegisterUnit("Forms", InitializeForms, nullptr);
  RegisterSkinLibraryUnits();
  RegisterSkinControlUnits();
  RegisterSkinFormUnits();
  InitializeUnits();
  return CarriedSkinManager("TIDE");
}
