// Hooking adapters into windows and taking them out again, the "VKSBSC" mark of windows with skinned scroll
// bars, scroll information and geometry of adapted windows, and the painting helpers every adapter shares:
// system fonts, the hot-state test, colour properties by name, the background cache and its key corners.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/LateBinding.h"
#include "framework/Messages.h"
// GetWindowScrollAdapter, DetachScrollWndAdapter and GetScrollBarDimension as the whole library calls them.
#include "skin/core/vkAdapterServices.h"

class TCanvas;
class TsCommonData;
class TvkMainWnd;
class TvkScrollWnd;
class TvkScrollBar;
class TvkEditWnd;

// Window property: a window's scroll adapter.
constexpr char kScrollAdapterProp[] = "VKSBSC";
// A mask pixel of this colour shows the parent's background.
constexpr uint32_t kTransparentKey = 0xFF00FF;
// SetWindowPos flags that make a window recompute its frame (no move, size, z-order or copy).
constexpr UINT kFrameChangeFlags = 0x727;

// ---- attaching ----
// Replaces the window's procedure (plain window) or the control's / form's WindowProc with the adapter's.
void SubclassWindow(TvkMainWnd* Adapter, HWND Wnd);
// Makes the two bars, sets "VKSBSC", hooks in; Repaint recomputes the frame at once.
void InitScrollAdapter(TvkScrollWnd* Adapter, HWND Wnd, bool Repaint);
// The owner's (or the provider's form's) WindowProc back, saved in the skin data; False when the adapter holds none.
bool PutBackWindowMethod(TvkMainWnd* Adapter);
// Gives the window back (only while the adapter's stub is still on top) and, with Free, frees the adapter.
void DetachWindowAdapter(HWND Wnd, bool Free, bool Repaint, TvkMainWnd*& Adapter);
template <class T> void DetachWindowAdapter(HWND Wnd, bool Free, bool Repaint, T*& Adapter) {
  TvkMainWnd* A = Adapter;
  DetachWindowAdapter(Wnd, Free, Repaint, A);
  Adapter = static_cast<T*>(A);
}
// The scroll adapter's detach (the core calls it as DetachScrollWndAdapter through the adapter services).
void DetachScrollAdapter(HWND Wnd, bool Free, bool Repaint, TvkScrollWnd*& Adapter);
// Repaint: SetWindowPos with kFrameChangeFlags; else WM_NCPAINT (WParam 1) through the skin-aware send.
void RefreshWindowFrame(HWND Wnd, bool Repaint);

// ---- scroll adapters of windows ----
TvkScrollWnd* ScrollAdapterOfWindow(HWND Wnd);
// SB_HORZ or SB_VERT; nil without adapter or for another value.
TvkScrollBar* GetScrollBarOfWindow(HWND Wnd, int Bar);
// SB_HORZ, SB_VERT or SB_BOTH; 1, or 0 without adapter.
int SetScrollMinThumb(HWND Wnd, int Bar, WORD Value);
// A TvkScrollWnd for a framework control kept in step with the control's skinned state.
void SyncScrollWndAdapter(TsCommonData* SkinData, TvkScrollWnd*& Adapter);
// Both bars' scroll information read again; Repaint paints the bars.
void ReloadScrollBarInfo(TvkScrollWnd* Adapter, bool Repaint);

// ---- geometry and commands ----
void GetWindowGeometry(HWND Wnd, HWND& ParentWnd, TRect& WndRect, TRect& ParentRect, TPoint& WndSize, TPoint& WndPos);
// A press (at the screen point in LParam form) on a grip of Wnd, a child window, sizes its parent from the
// parent's bottom-right corner (bottom-left with LeftCorner), as the system's size grip does: the default handling
// would size the child itself. False for a top-level window, which its own default handling sizes.
bool SizeParentFromGrip(HWND Wnd, LPARAM Point, bool LeftCorner);
// VKCMD_ADAPT_CONTROL (LParam 0) to the top window above Wnd.
void NotifyTopWindowAdapt(HWND Wnd);
// The message to the children: by their controls when Control is given, else by their windows.
void PassCommandToChildren(TControl* Control, HWND Wnd, TMessage& Message);

// ---- fonts ----
// 1 caption, 2 small caption, 3 menu, 4 status, else the message font; 0 when the metrics cannot be read.
HFONT CreateSystemFont(int Kind);
void SelectSystemFont(TCanvas* Canvas, int Kind);
// The font of the adapter's cache canvas: the control's, the window's, else the message font.
void SelectAdapterFont(TvkMainWnd* Adapter);

// ---- states and properties ----
// The skin has more than one state to show (Hover: under the mouse).
bool CanShowHotState(TsCommonData* SkinData, bool Hover);
void SetObjPropValue(TObject* Obj, const std::string& PropName, int64_t Value);
// 0 for nil or a missing property.
TColor GetObjColorPropRGB(TObject* Obj, const std::string& PropName);
int GetObjOrdPropValue(TObject* Obj, const std::string& PropName);

// ---- background cache ----
// Rebuilds a dirty cache of the adapted window over its parent's background.
void PaintAdapterCache(TsCommonData* SkinData, HWND Wnd, bool DialogStyle);
// The key pixels of the border mask's corners show the parent.
void RestoreCacheCorners(TsCommonData* SkinData, int State, TvkMainWnd* Adapter);
// The cache copied to the window's DC (or, printing, to the print DC).
void CopyCacheToWindow(TsCommonData* SkinData, HWND Wnd, HDC DC);

// ---- optional system entries (tests clear them with Replace(nullptr)) ----
TLateBound<BOOL WINAPI(HWND, LONG, PSCROLLBARINFO)>& GetScrollBarInfoEntry();
TLateBound<BOOL WINAPI(HWND)>& InitializeFlatSBEntry();
TLateBound<HRESULT WINAPI(HWND)>& UninitializeFlatSBEntry();

// ---- unit ----
void SBUtilsInitialize();
void SBUtilsFinalize();
