#include "skin/adapters/vkAdapterUnits.h"

#include "framework/Units.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkMDIWnd.h"
#include "skin/adapters/vkPopupController.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/forms/vkFormUnits.h"

void RegisterSkinAdapterUnits() {
  if (!UnitRegistered("vkSBUtils")) RegisterUnit("vkSBUtils", SBUtilsInitialize, SBUtilsFinalize);
  if (!UnitRegistered("vkMDIWnd")) RegisterUnit("vkMDIWnd", MDIPartsInitialize, MDIPartsFinalize);
  if (!UnitRegistered("vkPopupController"))
    RegisterUnit("vkPopupController", PopupControllerInitialize, PopupControllerFinalize);
}

void RegisterSkinDialogUnits() {
  // The hook and the walker take over the form skinner's interim entries, so they start after it.
  RegisterSkinFormUnits();
  if (!UnitRegistered("vkDials")) RegisterUnit("vkDials", DialsInitialize, DialsFinalize);
}
