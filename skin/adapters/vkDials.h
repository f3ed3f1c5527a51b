// The thread hook: every top-level window created or activated on the UI thread while a skin is applied is
// looked at once. A framework form without a skinner of its own gets a run-time one; a parentless standard
// dialog ("#32770") gets a dialog adapter and an adapter for each child window that fits one; a popup-menu
// window gets a menu window adapter.
//
// A framework form without a parent is adopted already while its window is made, through the form being made
// (other forms when they are activated); windows made before the main form's window exists wait for their
// activation.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "framework/Classes.h"
#include "framework/Forms.h"

class TsSkinProvider;
class TvkDialogWnd;
class TvkMainWnd;

class TvkProvider : public TComponent {
  DECLARE_CLASS(TvkProvider, TComponent)
public:
  explicit TvkProvider(TComponent* AOwner);
  ~TvkProvider() override;
  // Created: the form's window being made (the hook's creation notice); it is neither asked for nor repainted.
  void AttachFormProvider(TCustomForm* Form, HWND Created = nullptr);
  bool InitDialog(HWND AWnd);
  bool AdoptChildren(HWND Parent);
  bool ChooseChildAdapter(HWND AWnd);
  static bool PrintChildWindows(HWND Parent, HDC DC);
  // One of its adapters' messages is running.
  bool Busy() const;
  // Every adapter gives its window back (GiveWindowBack) and stays, detached, until it is freed.
  void Unhook();

  HWND Wnd = nullptr;
  TsSkinProvider* SkinProvider = nullptr;
  TvkDialogWnd* DialogWnd = nullptr;
  std::vector<TvkMainWnd*> Adapters;
};

LRESULT CALLBACK CBTHookProc(int Code, WPARAM WParam, LPARAM LParam);
bool AdoptTopLevelWindow(HWND Wnd, const CREATESTRUCTA* CreateStruct);
TvkProvider* FindProviderByWnd(HWND Wnd);
int CountVisibleDialogs();
void PurgeDetachedProviders();
bool HasChildOfClass(HWND Parent, const char* LowerClassName);
void MakeDialogAdapter(HWND Wnd, TvkDialogWnd*& DialogWnd);
// The hook's providers (entries may be nil) and popup-menu window adapters.
const std::vector<TvkProvider*>& ProviderList();
void FreeHookMenuAdapters();
// Every provider freed; the manager's hook removal and the unit's end call it. A provider one of whose adapters'
// messages is running is unhooked at once and freed once they have all returned.
void FreeAllProviders();
// The providers a free-all unhooked while their messages ran, not yet freed.
int RetiredProviderCount();

constexpr int MaxVisibleDialogs = 2;

// Starts after the form skinner's unit and takes over its hook and walker entries.
void DialsInitialize();
void DialsFinalize();
