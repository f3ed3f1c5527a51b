// The thread hook's adoption of forms that carry no skinner of their own: each class-library form that is
// activated gets a run-time skinner (the program's own forms and its message forms are skinned this way).
// Standard dialogs and popup menus are left to the adapters' hook that replaces this one.
#pragma once
#include <windows.h>

class TsSkinProvider;

LRESULT CALLBACK FormCbtHookProc(int Code, WPARAM WParam, LPARAM LParam);
// Adopts the window when it is a class-library form the rules allow; True when handled (adopted, or left
// alone by a rule), False when not adopted.
bool AdoptTopLevelForm(HWND Wnd);
// The skinners the hook made that are still alive, in order of making.
int AdoptedProviderCount();
TsSkinProvider* AdoptedProvider(int Index);
// Forgets the made skinners (they stay with their forms); the manager's hook removal calls it.
void ForgetAdoptedProviders();
