// Window and control services of the skinning library: how the library's command message SM_VKCMD reaches a
// window or control so that the window's skin data hears it before any subclass does, broadcasts to children,
// cursor and visibility tests, parent and owner walks, colours and rectangles, layered-window output, a plain
// hint popup, and the painting of controls into bitmaps.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/LateBinding.h"
#include "framework/Messages.h"

class TBitmap;
class TCustomForm;
class THintWindow;
class TsCommonData;
class TsSkinProvider;

// True while a show, hide or skin-change animation is prepared or played; painters skip repaints meanwhile.
extern bool InAnimationProcess;

// The window method a skin data kept when it was linked to its window (the window's own procedure, not a
// library subclass). Bound to the skin state's own field; tests may swap it for a stand-in.
extern TWndMethod (*SkinDataSavedWindowMethod)(TsCommonData* Data);

// The skin data a window carries under its "VKSDATA" property, or nil (also for windows of other processes,
// whose property values mean nothing here).
TsCommonData* WindowSkinData(HWND Wnd);

// ---- senders of SM_VKCMD ----

// The one skin-aware send to a window: straight to the saved window method of the window's skin data when it
// has one, in the calling thread; otherwise SendMessageA.
LRESULT SendSkinMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// SM_VKCMD with the command in the high word of WParam.
LRESULT SendSkinCommand(HWND Wnd, WORD Cmd, LPARAM LParam);
// True exactly when the answer is 1.
bool AskSkinCommand(HWND Wnd, WORD Cmd);
// SM_VKCMD to a control: a graphic control through Perform; a windowed one only through its window, and not
// at all (answer 0, no window made) while it is being destroyed or has no window yet.
LRESULT SendControlCommand(TControl* Control, WORD Cmd, LPARAM LParam);
LRESULT NotifyControl(TControl* Control, WORD Cmd);
// WM_SETREDRAW through the skin-aware send.
void SwitchWindowRedraw(HWND Wnd, bool Redraw);
// Redraw off around Call, on again however Call ends.
template <class F> void WithoutRedraw(HWND Wnd, F&& Call) {
  SwitchWindowRedraw(Wnd, false);
  try {
    Call();
  } catch (...) {
    SwitchWindowRedraw(Wnd, true);
    throw;
  }
  SwitchWindowRedraw(Wnd, true);
}
// Asks the control's form to attach an adapter to it (VKCMD_ADAPT_CONTROL). Non-zero (1) when nothing was
// asked because the control is nil, loading or designing; 0 without a form.
LRESULT AskFormToAdaptControl(TControl* Control);

// ---- broadcasts ----

// Graphic children and children without a window by Perform, windowed ones by the skin-aware send; descends
// below children that are not skinned. Stops at the first child being destroyed.
void BroadcastToChildControls(TWinControl* Control, TMessage& Message);
// The direct child windows of Wnd, each by the skin-aware send.
void BroadcastToChildWindows(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// VKCMD_PARENT_UPDATE_DONE to the showing children (nothing while designing or animating).
void RepaintChildrenAfterUpdate(TWinControl* Control);
void RepaintChildWindowsAfterUpdate(HWND Wnd);
// Proc(Child, Data) for every child, depth first, each windowed child's own children after it.
void ForEachChildControl(TWinControl* Control, void* Data, void (*Proc)(TControl* Child, void* Data));

// ---- cursor, visibility, hierarchy ----

// GetCursorPos, (0, 0) when it fails.
void SafeGetCursorPos(POINT& P);
bool CursorOverControl(TControl* Control);
// The cursor lies in the window's visible part, which must be one rectangle.
bool CursorInVisiblePart(HWND Wnd);
// The default manager's hot control, else the deepest child under the cursor of the framework window there.
TControl* GetControlUnderCursor();
HWND GetTopParentWindow(HWND Wnd);
bool IsWindowWithin(HWND Wnd, HWND Ancestor);
// The window stays on top of the plain windows (WS_EX_TOPMOST).
bool IsTopmostWindow(HWND Wnd);
// Where a window goes (for SetWindowPos) to lie just above the top-level window Wnd: among the plain windows, or
// among the topmost ones when Wnd is topmost.
HWND WindowJustAbove(HWND Wnd);
// W placed again just above Wnd while it does not lie there, from a new reading each time (three at most): the window
// read above Wnd may be another program's, which can move between the reading and the placing.
void KeepJustAbove(HWND W, HWND Wnd);
// The first form along the Owner chain, the component itself first.
TCustomForm* FindOwnerForm(TComponent* Component);
bool IsControlReadyToPaint(TControl* Control);
// Control goes just above Reference among their parent's children.
void PlaceControlAbove(TControl* Control, TControl* Reference);
// Heights (alTop, alBottom) or widths (alLeft, alRight) of the visible children aligned so; 0 for other
// alignments.
int SumAlignedChildExtent(TWinControl* Container, TAlign Align, bool IncludeGraphic);

// ---- colours, rectangles, names ----

// The colour behind a control: 0xFF00FF for nil; a skinned control's answer to VKCMD_QUERY_BG_COLOR (0xFF00FF
// when it gives none); else its Color. As RGB.
TColor GetControlColor(TControl* Control);
TColor GetWindowColor(HWND Wnd);
// Where the client area's corner lies in the window, counted from the window's left also for a mirrored one.
POINT ClientOriginInWindow(HWND Wnd);
// The client area in window coordinates.
void GetClientRectInWindow(HWND Wnd, RECT& R);
std::string WindowClassNameOf(HWND Wnd);
// The work area of the monitor whose work area holds P; (0, 0, 0, 0) outside every one.
void GetWorkAreaAtPoint(POINT P, RECT& R);
void GetFormWorkArea(TCustomForm* Form, RECT& R);
UINT AlignDrawTextFlags(TControl* Control, TAlignment Alignment);
// Themes are available and in use.
bool AreThemesEnabled();
// The theme library's SetWindowTheme; nil when the library or the entry is missing.
using TSetWindowThemeProc = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
TSetWindowThemeProc SetWindowThemeEntry();
// The late binding behind it; tests put a recorder in its place (ResetPlatform puts the real one back).
TLateBound<HRESULT WINAPI(HWND, LPCWSTR, LPCWSTR)>& SetWindowThemeBinding();
// Layered: WS_EX_LAYERED (True when it had to add it) and the constant Alpha. Otherwise WS_EX_LAYERED is
// removed; with Hiding (the end of a hide animation) WS_VISIBLE is cleared first, so the window does not
// flash unlayered, while any other caller keeps a shown window shown.
bool SetLayeredAlpha(HWND Wnd, bool Layered, BYTE Alpha, bool Hiding = false);
// Shows a 32-bit bitmap on a layered window at Pos with the constant Alpha and per-pixel alpha; Bmp nil takes
// the screen under the window.
void UpdateLayeredFromBitmap(HWND Wnd, TBitmap* Bmp, BYTE Alpha, POINT Pos);
// The same for a straight-alpha picture (a cache): a premultiplied copy goes to the window, Bmp stays as it was.
void UpdateLayeredPremultiplied(HWND Wnd, TBitmap* Bmp, BYTE Alpha, POINT Pos);

// ---- hint popup ----

// A plain hint window with Text near P, inside the work area at P; the caller owns it. Nil for empty Text.
THintWindow* ShowHintWindow(const std::string& Text, POINT P);

// ---- painting off-screen ----

// Paints Control, with what is inside it, into the 32-bit Bmp at the canvas's current window origin; an
// invisible control only gets its parent's background at (X, Y). Provider: the form skinner when a form is
// painted for an animation. WithSiblings: later siblings overlapping the control are painted over it.
void PaintControlToBitmap(TBitmap* Bmp, TControl* Control, int X, int Y, TsSkinProvider* Provider,
                          bool WithSiblings);
// The visible windowed children of Control, each at its place.
void PaintChildWindowsToBitmap(TWinControl* Control, TBitmap* Bmp);
// The siblings after Control in its parent's child order that overlap it.
void PaintSiblingsAbove(TControl* Control, TBitmap* Bmp);
// The visible graphic children of Control into DC shifted by Offset, through one memory image that first gets
// each child's background. A call made while another runs draws nothing.
// True while PaintGraphicChildren paints children into its memory image (a key-coloured top-left pixel there
// means "leave what the DC shows").
bool PaintingGraphicChildren();
void PaintGraphicChildren(HDC DC, TWinControl* Control, bool CheckVisible, POINT Offset);
bool IsGraphicChildVisible(TControl* Child, HDC DC);
// Each rectangle of Bmp becomes colour 0 with alpha 0.
void ClearRects32(const std::vector<TRect>& Rects, TBitmap* Bmp);

// ---- unit start-up ----
void VclUtilsInitialize();
void VclUtilsFinalize();
