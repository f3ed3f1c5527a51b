#include "skin/adapters/vkAdapterUnits.h"

#include "framework/Units.h"
#include "skin/adapters/vkSBUtils.h"

void RegisterSkinAdapterUnits() {
  if (!UnitRegistered("vkSBUtils")) RegisterUnit("vkSBUtils", SBUtilsInitialize, SBUtilsFinalize);
}
