// The thread hook's adoption of forms that carry no skinner of their own: each class-library form that is
// activated gets a run-time skinner (the program's own forms and its message forms are skinned this way).
// Standard dialogs and popup menus are left to the adapters' hook that replaces this one.
#pragma once
#include <windows.h>

class TCustomForm;
class TsSkinProvider;

LRESULT CALLBACK FormCbtHookProc(int Code, WPARAM WParam, LPARAM LParam);
// Adopts the window when it is a class-library form the rules allow; True when handled (adopted, or left
// alone by a rule), False when not adopted.
bool AdoptTopLevelForm(HWND Wnd);
// The screen's form whose window this is, forms being destroyed or without a window skipped; with MDIChildren
// also the child of an MDI form by its window.
TCustomForm* FindFormByHandle(HWND Wnd, bool MDIChildren = false);
// A run-time skinner just made on the form set up: its own colours, no skinned menu, and the form repainted at
// once (its frame too where the desktop composes; not while a debugger may be watching).
void SetUpRuntimeProvider(TsSkinProvider* P, TCustomForm* Form);
// The skinners the hook made that are still alive, in order of making.
int AdoptedProviderCount();
TsSkinProvider* AdoptedProvider(int Index);
// Forgets the made skinners (they stay with their forms); the manager's hook removal calls it.
void ForgetAdoptedProviders();
