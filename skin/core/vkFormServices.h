#pragma once
// What the form and dialog skinning subsystem offers the rest of the library.
//
// The form skinner, border forms, dialog adapters and skinned menus live in skin/forms and are built after
// the engine core and the controls. Until then, and so that the core never links against them directly, the
// core reaches them through the table FormServices, which skin/forms fills when its units start. While an
// entry is empty the wrappers below give the neutral answer (no skinner, no adapter, height 0, no region);
// nothing pretends that form skinning ran.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"
#include "framework/LateBinding.h"

class TsSkinProvider;
class TvkBorderForm;
class TvkDialogWnd;
class TvkGlowForm;
class TsSkinableMenus;
class TsSkinManager;
class TCustomForm;
class TBitmap;
class TMenu;
class TObject;

// True when desktop composition is on (Windows 6 or later, DwmIsCompositionEnabled of "DWMAPI.DLL" bound on
// first use). The first answer is kept for the life of the process; False on older systems or without the
// entry.
bool IsDwmCompositionActive();
// The composition query's entry (tests answer it through Replace; a platform reset binds the real one again).
TLateBound<HRESULT WINAPI(BOOL*)>& DwmIsCompositionEnabledEntry();

class TsCommonData;
class TsScrollWndData;

// The thread hook's procedure until form skinning replaces it: counts its calls and passes them on.
LRESULT CALLBACK CountingCbtHookProc(int Code, WPARAM WParam, LPARAM LParam);
int CountingCbtHookCalls();

// Operations of the form skinner and its helpers. Members of skin/forms' classes appear here as functions taking
// the object first. Entries are added on request of the engine or the controls.
struct TvkFormServices {
  // Hook and adoption of top-level windows. The default manager installs CbtHookProc for the UI thread while a
  // skin is applied (no hook while the entry is empty; until form skinning fills it, a counting stub).
  LRESULT(CALLBACK* CbtHookProc)(int Code, WPARAM WParam, LPARAM LParam) = CountingCbtHookProc;
  void (*AdoptTopLevelWindow)(HWND Wnd) = nullptr;
  void (*FreeMenuWindowAdapters)() = nullptr;
  // The dialog adapters the hook attached: their count and each one's window.
  int (*DialogAdapterCount)() = nullptr;
  HWND (*DialogAdapterWindow)(int Index) = nullptr;
  void (*PrintChildWindows)(HWND Wnd, HDC DC) = nullptr;

  // Whether an object is a form skinner (the owner of a skin data may be one); empty: none exists.
  bool (*IsSkinProvider)(TObject* Object) = nullptr;
  // The skinner runs a show, hide or skin-change animation of its form.
  bool (*ProviderAnimating)(TsSkinProvider* Skinner) = nullptr;
  // Skin changes: the snapshot of the form kept by the skinner (it owns it; a new one replaces and frees the old)
  // and the mark that a skin change runs.
  TBitmap* (*ProviderSnapshot)(TsSkinProvider* Skinner) = nullptr;
  void (*SetProviderSnapshot)(TsSkinProvider* Skinner, TBitmap* Snapshot) = nullptr;
  void (*SetProviderChangingSkin)(TsSkinProvider* Skinner, bool Changing) = nullptr;
  // Fields of the form skinner that the engine and the controls read.
  TsScrollWndData* (*ProviderSkinData)(TsSkinProvider* Skinner) = nullptr;
  TCustomForm* (*ProviderForm)(TsSkinProvider* Skinner) = nullptr;
  TvkBorderForm* (*ProviderBorderForm)(TsSkinProvider* Skinner) = nullptr;
  uint32_t (*ProviderStateFlags)(TsSkinProvider* Skinner) = nullptr;
  // The skinner paints the form's non-client area itself (DrawNonClientArea).
  bool (*ProviderDrawsFrame)(TsSkinProvider* Skinner) = nullptr;
  // The skinner's copy of its menu line's background (the skinned menu bar items are drawn over it).
  TBitmap* (*ProviderMenuLineBg)(TsSkinProvider* Skinner) = nullptr;

  // The form skinner.
  void (*PaintFormFrame)(TsSkinProvider* Skinner) = nullptr;
  void (*CollectBorderMaskRects)(TsSkinProvider* Skinner) = nullptr;
  HRGN (*CreateFormRegionAt)(TsSkinProvider* Skinner, int X, int Y) = nullptr;
  void (*ApplyWindowRegion)(TsSkinProvider* Skinner, bool Repaint, bool Quiet) = nullptr;
  int (*GetCaptionBarHeight)(TsSkinProvider* Skinner, bool UseSkin) = nullptr;
  int (*GetSkinTitleHeightByState)(TsSkinProvider* Skinner, bool Maximized) = nullptr;
  void (*GetExtBorderMargins)(TsSkinProvider* Skinner, RECT& Margins) = nullptr;
  int (*GetClientOffsetLeft)(TsSkinProvider* Skinner) = nullptr;
  int (*GetClientOffsetTop)(TsSkinProvider* Skinner) = nullptr;
  LRESULT (*PerformFormMessage)(TsSkinProvider* Skinner, UINT Msg, WPARAM WParam, LPARAM LParam) = nullptr;
  TBitmap* (*MakeAnimationBitmap)(TsSkinProvider* Skinner, bool FreeCache) = nullptr;
  void (*SetFormStateFlags)(TsSkinProvider* Skinner, uint32_t Flags) = nullptr;
  void (*AnimateMinimizing)(TsSkinProvider* Skinner) = nullptr;
  void (*AnimateRestoring)(TsSkinProvider* Skinner) = nullptr;

  // Frame metrics.
  int (*GetWindowFrameWidth)(HWND Wnd, TvkBorderForm* BorderForm, bool UseSkin) = nullptr;
  int (*GetStdCaptionHeight)(TCustomForm* Form) = nullptr;
  int (*GetSkinCaptionHeight)(TvkBorderForm* BorderForm) = nullptr;
  int (*GetSkinFrameWidth)(TvkBorderForm* BorderForm) = nullptr;
  int (*GetExtraCaptionHeight)(TvkBorderForm* BorderForm) = nullptr;

  // Border forms and snapshots.
  void (*CreateBorderWindow)(TvkBorderForm* BorderForm) = nullptr;
  void (*UpdateBorderWindow)(TvkBorderForm* BorderForm, bool Repaint, uint8_t Alpha) = nullptr;
  int (*GetTopIndent)(TvkBorderForm* BorderForm) = nullptr;
  void (*PaintOwnerFrame)(TvkBorderForm* BorderForm) = nullptr;
  // A new region for the border window; the caller owns it and hands it to SetWindowRgn.
  HRGN (*BuildBorderRegion)(TvkBorderForm* BorderForm) = nullptr;
  TvkGlowForm* (*CreateSnapshotForm)(HWND Wnd) = nullptr;
  // Fields of a border form: its layered window (nil while a hide animation owns it, so writable), the owner
  // window it saved, and the mark set while the form is redrawn after an animation.
  TvkGlowForm* (*BorderLayeredWindow)(TvkBorderForm* BorderForm) = nullptr;
  void (*SetBorderLayeredWindow)(TvkBorderForm* BorderForm, TvkGlowForm* Window) = nullptr;
  HWND (*BorderSavedOwner)(TvkBorderForm* BorderForm) = nullptr;
  bool (*BorderUpdating)(TvkBorderForm* BorderForm) = nullptr;
  void (*SetBorderUpdating)(TvkBorderForm* BorderForm, bool Updating) = nullptr;

  // Dialog adapters.
  void (*PaintDialogFrame)(TvkDialogWnd* Adapter) = nullptr;
  int (*DialogClientOffsetX)(TvkDialogWnd* Adapter) = nullptr;
  int (*DialogClientOffsetY)(TvkDialogWnd* Adapter) = nullptr;
  // The client with the dialog's own scroll bars beside it, in its border window's coordinates.
  TRect (*DialogClientHole)(TvkDialogWnd* Adapter) = nullptr;
  int (*DialogCaptionHeight)(TvkDialogWnd* Adapter, bool UseSkin) = nullptr;
  void (*DialogShadowMargins)(TvkDialogWnd* Adapter, RECT& Margins) = nullptr;
  void (*DialogSetShapeRegion)(TvkDialogWnd* Adapter) = nullptr;
  // Fields of a dialog adapter: the dialog's window, its skin data (frame cache), its prepared snapshot form and
  // its border form.
  HWND (*DialogWindow)(TvkDialogWnd* Adapter) = nullptr;
  TsCommonData* (*DialogSkinData)(TvkDialogWnd* Adapter) = nullptr;
  TvkGlowForm* (*DialogSnapshotForm)(TvkDialogWnd* Adapter) = nullptr;
  TvkBorderForm* (*DialogBorderForm)(TvkDialogWnd* Adapter) = nullptr;
  // What a dialog's border form asks of it: the title button's hit code at a point of the frame cache (0: none),
  // the icon's place there, a button made hot (0: none), the move flags (0x80: a blended drag runs; 0x1: placed
  // without a z-order change) and the blended drag started by a caption press.
  int (*DialogTitleCodeAt)(TvkDialogWnd* Adapter, POINT P) = nullptr;
  TRect (*DialogIconRect)(TvkDialogWnd* Adapter) = nullptr;
  void (*DialogSetHotButton)(TvkDialogWnd* Adapter, int Code) = nullptr;
  uint32_t (*DialogMoveFlags)(TvkDialogWnd* Adapter) = nullptr;
  bool (*DialogStartBlendedMove)(TvkDialogWnd* Adapter) = nullptr;

  // Skinned menus. The manager creates its painter and frees it (both entries come together), and resets the
  // painter's cached section index whenever a skin is applied.
  TsSkinableMenus* (*CreateSkinableMenus)(TsSkinManager* Manager) = nullptr;
  void (*FreeSkinableMenus)(TsSkinableMenus* Painter) = nullptr;
  void (*ResetMenuSectionIndex)(TsSkinableMenus* Painter) = nullptr;
  void (*InitPopupMenu)(TsSkinableMenus* Painter, TMenu* Menu, bool Active) = nullptr;
  void (*SyncMenusActive)(TsSkinableMenus* Painter) = nullptr;
  void (*ApplyToAllMenus)(TsSkinableMenus* Painter, bool Flag) = nullptr;
  // A popup-menu window the application window was asked to skin: its background and shape.
  void (*SkinPopupMenuWindow)(TsSkinableMenus* Painter, HWND Wnd) = nullptr;
  // The same for the popup that shows a menu item (a TMenuItem), found from the item's place on screen.
  void (*SkinPopupMenuItem)(TsSkinableMenus* Painter, void* Item) = nullptr;
  // The painted background of an open popup-menu window (nil when none was built), and its end.
  TBitmap* (*PopupWindowBackground)(TsSkinableMenus* Painter, HWND Wnd) = nullptr;
  void (*ForgetPopupWindow)(HWND Wnd) = nullptr;
  // The dialog adapters the thread hook made, freed when the hook goes.
  void (*FreeDialogAdapters)() = nullptr;
  // The hook's providers whose window is gone freed; a form's activation change calls it.
  void (*PurgeDetachedProviders)() = nullptr;

  // What the show, hide and skin-change animations read and change of the skinner, its border form and the
  // dialog adapters.
  // The transparent rectangles of the form's border mask (window coordinates) CollectBorderMaskRects found.
  std::vector<TRect> (*ProviderTransparentRects)(TsSkinProvider* Skinner) = nullptr;
  // The mark that the form waits for its show animation to reveal it.
  void (*SetProviderShowPending)(TsSkinProvider* Skinner, bool Pending) = nullptr;
  // The mark that the maximised form's caption is shorter than the system one.
  bool (*ProviderCaptionShorter)(TsSkinProvider* Skinner) = nullptr;
  void (*SetProviderCaptionShorter)(TsSkinProvider* Skinner, bool Shorter) = nullptr;
  // The snapshot form the skinner prepared for a hide, taken over (the skinner forgets it); nil when none.
  TvkGlowForm* (*TakeProviderSnapshotForm)(TsSkinProvider* Skinner) = nullptr;
  // The skinner's picture of the form from before a skin change, taken over; nil when none.
  TBitmap* (*TakeProviderChangePicture)(TsSkinProvider* Skinner) = nullptr;
  // The skinner's OnAfterAnimation with a TvkAnimEvent, when assigned.
  void (*FireAfterAnimation)(TsSkinProvider* Skinner, int Event) = nullptr;
  // The border form lets its layered window go (its owner window and window method restored); the caller owns it.
  TvkGlowForm* (*ReleaseBorderLayeredWindow)(TvkBorderForm* BorderForm) = nullptr;
  void (*FreeProviderBorderForm)(TsSkinProvider* Skinner) = nullptr;
  TvkGlowForm* (*TakeDialogSnapshotForm)(TvkDialogWnd* Adapter) = nullptr;
  void (*FreeDialogBorderForm)(TvkDialogWnd* Adapter) = nullptr;
  // The adapter's own window procedure.
  LRESULT (*DialogWindowProc)(TvkDialogWnd* Adapter, UINT Msg, WPARAM WParam, LPARAM LParam) = nullptr;
};

// The one table; skin/forms fills it at start-up.
extern TvkFormServices FormServices;

// Set when a skinned popup item is measured, cleared when a popup-menu window goes; the popup-menu window
// adapters pass every message on while it is off.
extern bool SkinnedMenuShowing;

// ---- wrappers with the neutral answer while form skinning is absent ----
inline int GetSkinCaptionHeight(TvkBorderForm* BorderForm) {
  return BorderForm != nullptr && FormServices.GetSkinCaptionHeight ? FormServices.GetSkinCaptionHeight(BorderForm)
                                                                     : 0;
}
inline int GetSkinFrameWidth(TvkBorderForm* BorderForm) {
  return BorderForm != nullptr && FormServices.GetSkinFrameWidth ? FormServices.GetSkinFrameWidth(BorderForm) : 0;
}
inline int GetExtraCaptionHeight(TvkBorderForm* BorderForm) {
  return BorderForm != nullptr && FormServices.GetExtraCaptionHeight ? FormServices.GetExtraCaptionHeight(BorderForm)
                                                                      : 0;
}
inline int GetWindowFrameWidth(HWND Wnd, TvkBorderForm* BorderForm, bool UseSkin) {
  return FormServices.GetWindowFrameWidth ? FormServices.GetWindowFrameWidth(Wnd, BorderForm, UseSkin)
                                          : GetSystemMetrics(SM_CXFRAME);
}
inline int GetStdCaptionHeight(TCustomForm* Form) {
  return FormServices.GetStdCaptionHeight ? FormServices.GetStdCaptionHeight(Form) : GetSystemMetrics(SM_CYCAPTION);
}
inline TvkGlowForm* CreateSnapshotForm(HWND Wnd) {
  return FormServices.CreateSnapshotForm ? FormServices.CreateSnapshotForm(Wnd) : nullptr;
}
inline void FreeMenuWindowAdapters() {
  if (FormServices.FreeMenuWindowAdapters) FormServices.FreeMenuWindowAdapters();
}
inline void AdoptTopLevelWindow(HWND Wnd) {
  if (FormServices.AdoptTopLevelWindow) FormServices.AdoptTopLevelWindow(Wnd);
}
