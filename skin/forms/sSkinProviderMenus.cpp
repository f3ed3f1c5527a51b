// The form's menus as the skinner sees them.
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/forms/sSkinProviderUnit.h"

TMainMenu* FormMainMenu(TCustomForm* Form) { return Form != nullptr ? Form->Menu() : nullptr; }
int MenuItemCount(TMenu* Menu) { return Menu != nullptr ? Menu->Items()->Count() : 0; }
bool MenuOwnerDraw(TMainMenu*) { return false; }
bool MenuAutoMerge(TMainMenu* Menu) { return Menu != nullptr && Menu->AutoMerge(); }
void RebuildMenuBar(TMainMenu*) {}
void SkinMenusOf(TCustomForm*, TsSkinManager*, bool, bool) {}
void JoinSkinnedForms(TCustomForm* Form, bool Join) {
  if (Join)
    AddToSkinnedFormList(Form);
  else
    RemoveFromSkinnedFormList(Form);
}
