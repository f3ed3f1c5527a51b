// The form's menus as the skinner sees them.
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/forms/sSkinProviderUnit.h"

TMainMenu* FormMainMenu(TCustomForm*) { return nullptr; }
int MenuItemCount(TMenu*) { return 0; }
bool MenuOwnerDraw(TMainMenu*) { return false; }
bool MenuAutoMerge(TMainMenu*) { return false; }
void RebuildMenuBar(TMainMenu*) {}
void SkinMenusOf(TCustomForm*, TsSkinManager*, bool, bool) {}
void JoinSkinnedForms(TCustomForm* Form, bool Join) {
  if (Join)
    AddToSkinnedFormList(Form);
  else
    RemoveFromSkinnedFormList(Form);
}
