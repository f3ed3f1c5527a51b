// What the source files of the form skinner share beyond the class: the process-wide state of the unit and
// small window helpers. Not for other units.
#pragma once
#include <windows.h>

#include "skin/forms/sSkinProvider.h"

class TMainMenu;
class TMenu;

// The provider of the MDI parent form (with its wrapper) and of the active MDI child.
extern TsSkinProvider* g_MDIMain;
extern TsSkinProvider* g_ActiveMDIChild;
// "/vkpreview" was the first argument and no form is linked yet; the form window linked to the skin editor.
extern bool g_EditorPreview;
extern HWND g_LinkedEditor;
// A hide animation of this provider's form runs (its snapshot form stays).
extern TsSkinProvider* g_HidingProvider;
// A new MDI child was made while the active one was maximised (cleared by the first paint or erase).
extern bool g_NewMDIChildMaximized;

// The form's main menu (nil without one or while the menus are not linked in).
TMainMenu* FormMainMenu(TCustomForm* Form);
// Number of items of a menu's top level; 0 for nil.
int MenuItemCount(TMenu* Menu);
bool MenuOwnerDraw(TMainMenu* Menu);
bool MenuAutoMerge(TMainMenu* Menu);
// The menu bar rebuilt (its first item's change with rebuild, the bidi behaviour adjusted).
void RebuildMenuBar(TMainMenu* Menu);
// The form's menus set up for the skinned-menu painter (menu bars with Bar, popups with Popups) or given back.
void SkinMenusOf(TCustomForm* Form, TsSkinManager* Manager, bool Bar, bool Popups);
// The form enters (Join) or leaves the engine's list of skinned forms.
void JoinSkinnedForms(TCustomForm* Form, bool Join);
// Frees the menu-loop cover when Owner's loop made it.
void FreeMenuLoopCover(TsSkinProvider* Owner);
// The program file's icon (the large one for a tall icon when there is one), else the system's application icon;
// not to be destroyed.
HICON ProgramIconForSize(int Size);

// The application's main form (its minimise button minimises the whole program).
inline bool IsMainForm(TCustomForm* F) { return Application != nullptr && Application->MainForm() == F; }
// A component that is gone or on its way.
inline bool Destroying(const TComponent* C) { return C == nullptr || C->ComponentState().Contains(csDestroying); }

inline LONG WindowStyle(HWND Wnd) { return Wnd != nullptr ? GetWindowLongA(Wnd, GWL_STYLE) : 0; }
inline LONG WindowExStyle(HWND Wnd) { return Wnd != nullptr ? GetWindowLongA(Wnd, GWL_EXSTYLE) : 0; }
inline bool StyleHas(HWND Wnd, LONG Bits) { return (WindowStyle(Wnd) & Bits) == Bits; }

// RedrawWindow flag sets the skinner uses.
constexpr UINT kRedrawFull = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;  // 0x585
constexpr UINT kRedrawFullLater = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;           // 0x485
