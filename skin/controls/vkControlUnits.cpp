#include "skin/controls/vkControlUnits.h"

#include "framework/Units.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/vkAlphaHints.h"

namespace {
void RegisterOnce(const char* Name, TUnitProc Start, TUnitProc End) {
  if (!UnitRegistered(Name)) RegisterUnit(Name, std::move(Start), std::move(End));
}
}  // namespace

void RegisterSkinControlUnits() {
  RegisterOnce("sLabel", LabelsInitialize, nullptr);
  RegisterOnce("vkAlphaHints", AlphaHintsInitialize, AlphaHintsFinalize);
}
