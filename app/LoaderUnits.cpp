#include "app/LoaderUnits.h"

#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Units.h"
#include "skin/adapters/vkAdapterUnits.h"
#include "skin/controls/vkControlUnits.h"
#include "skin/core/vkLibraryUnits.h"
#include "skin/forms/vkFormUnits.h"

void RegisterLoaderUnits() {
  if (UnitRegistered("Main")) return;
  RegisterUnit("Forms", InitializeForms, nullptr);
  RegisterSkinLibraryUnits();
  RegisterSkinControlUnits();
  RegisterSkinAdapterUnits();
  RegisterSkinFormUnits();
  RegisterSkinDialogUnits();
  RegisterUnit("Unit1", RegisterFormHelpClasses, nullptr);
  RegisterUnit("Main", RegisterMainFormClasses, [] {
    // The main unit's strings go with it, before the forms are destroyed.
    if (MainForm) MainForm->Session().ReleaseStrings();
  });
}
