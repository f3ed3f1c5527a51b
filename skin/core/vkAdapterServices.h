#pragma once
// What the window adapters subsystem offers the rest of the library.
//
// The adapters (skin/adapters) subclass standard and foreign windows and are built after the engine core and
// the controls. The core reaches them only through the table AdapterServices, which skin/adapters fills when its
// units start; while an entry is empty the wrappers give the neutral answer (no adapter, size 0).
#include <windows.h>

class TvkMainWnd;
class TvkScrollWnd;
class TvkComboListWnd;
class TsCommonData;
class TsSkinManager;

struct TvkAdapterServices {
  // The base adapter: its skin data, and a message passed to its own window procedure.
  TsCommonData* (*AdapterSkinData)(TvkMainWnd* Adapter) = nullptr;
  LRESULT (*PerformMessage)(TvkMainWnd* Adapter, UINT Msg, WPARAM WParam, LPARAM LParam) = nullptr;
  // Scroll adapters: the one kept under a window's "VKSBSC" property, whether each bar is shown, and the
  // thickness (True) or arrow-button length (False) of a skinned bar.
  TvkScrollWnd* (*GetWindowScrollAdapter)(HWND Wnd) = nullptr;
  TsCommonData* (*ScrollAdapterSkinData)(TvkScrollWnd* Adapter) = nullptr;
  bool (*ScrollBarShown)(TvkScrollWnd* Adapter, bool Horizontal) = nullptr;
  int (*GetScrollBarDimension)(TvkScrollWnd* Adapter, bool Horizontal, bool Thickness) = nullptr;
  // Restores the window's own procedure, frees the adapter when Free is set, and clears the variable.
  void (*DetachScrollWndAdapter)(HWND Wnd, bool Free, bool Repaint, TvkScrollWnd*& Adapter) = nullptr;
  // A list adapter for a combo box's list window (SkinData nil: the adapter makes its own); the combo box owns it
  // and gives it back through FreeComboListAdapter (detached and freed).
  TvkComboListWnd* (*CreateComboListAdapter)(HWND ListWnd, TsCommonData* SkinData, TsSkinManager* Manager,
                                             const char* Section, bool Repaint, bool SimpleList) = nullptr;
  void (*FreeComboListAdapter)(TvkComboListWnd* Adapter) = nullptr;
};

// The one table; skin/adapters fills it at start-up.
extern TvkAdapterServices AdapterServices;

// ---- wrappers with the neutral answer while the adapters are absent ----
inline TvkScrollWnd* GetWindowScrollAdapter(HWND Wnd) {
  return AdapterServices.GetWindowScrollAdapter ? AdapterServices.GetWindowScrollAdapter(Wnd) : nullptr;
}
inline int GetScrollBarDimension(TvkScrollWnd* Adapter, bool Horizontal, bool Thickness) {
  return Adapter != nullptr && AdapterServices.GetScrollBarDimension
             ? AdapterServices.GetScrollBarDimension(Adapter, Horizontal, Thickness)
             : 0;
}
inline void DetachScrollWndAdapter(HWND Wnd, bool Free, bool Repaint, TvkScrollWnd*& Adapter) {
  if (Adapter != nullptr && AdapterServices.DetachScrollWndAdapter)
    AdapterServices.DetachScrollWndAdapter(Wnd, Free, Repaint, Adapter);
  else
    Adapter = nullptr;
}
