// Painting helpers the adapter classes share: repaints, state changes, the parent's background behind a window,
// the cache bitmap, the disabled look and the caption text.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Graphics.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/vkParentBg.h"

class TBitmap;
class TsCommonData;
class TvkMainWnd;

// The level (of 255) a disabled control keeps when blended with what lies behind it.
constexpr int kDisabledLevel = 100;

// The window repainted at once (RDW_INVALIDATE, RDW_UPDATENOW).
void RedrawAdapterWindow(HWND Wnd);
// WM_PAINT answered by an invalidation: the window is validated at once; with Erase its erase message paints it.
void PaintByInvalidation(HWND Wnd, bool Erase);
// The skin data's look moves to state Mode (0 normal, 1 hot): a fade from the cached look to the new one when
// the manager animates button events, else the cache is rebuilt and the window repainted at once.
void AdapterStateChange(TsCommonData* SkinData, HWND Wnd, int Mode);
// The cursor lies inside the window's rectangle.
bool CursorInWindow(HWND Wnd);
// While the skin data's fade runs, its current frame is shown on DC (a DC of the window when 0; a mirrored DC takes
// it unflipped) and the answer is True; False when none runs.
bool PaintFadeFrame(TsCommonData* SkinData, HWND Wnd, HDC DC);
// A point on the screen as a place in Parent's background picture: its client coordinates, the columns of a
// mirrored parent (which counts them from its right edge) counted from the left as the picture runs.
POINT PlaceInParentBackground(HWND Parent, POINT Screen);
// Q answers with Bmp's part at (X, Y) of R's size; False, leaving Q alone, when that part is not wholly in Bmp.
bool BitmapBackgroundAt(TBitmap* Bmp, int X, int Y, const TRect& R, TvkParentBgQuery& Q);
// Geometry refreshed, then the parent's background behind the adapter's window as a reference whose (0, 0) is
// the window's top-left corner as the screen shows it (for a mirrored parent too).
void AdapterParentBackground(TvkMainWnd* A, TvkBgCacheRef& Bg);
// The skin data's cache made a 32-bit bitmap of the window's size (geometry refreshed first).
TBitmap* PrepareAdapterCache(TvkMainWnd* A);
// Disabled look: the background bitmap blended over the cache, or the cache tinted toward the background colour.
void PaintAdapterDisabled(TBitmap* Cache, const TvkBgCacheRef& Bg);
// The background (its bitmap part or colour) into R of DC / of the bitmap.
void FillFromBackground(HDC DC, const TRect& R, const TvkBgCacheRef& Bg);
// Font takes the look of LF (the handle made for it is its own).
void AssignLogFont(TFont* Font, const LOGFONTA& LF);
// ANSI text of a window caption.
std::string WideToAnsi(const std::wstring& Text);
// The state count of the skin data's section (1 without one).
int SectionStateCount(TsCommonData* SkinData);
// The section's font colour in State (a colour value).
uint32_t SectionFontColor(TsCommonData* SkinData, int State);
// The cache copied to DC (or a DC of the window when DC is 0), unflipped on a mirrored DC.
void BlitCacheTo(TvkMainWnd* A, HDC DC);
