// Painting pieces of the skinned scroll bars shared by the painter and the mouse tracking.
#pragma once
#include <windows.h>

#include "framework/Graphics.h"

#include "skin/graphics/vkParentBg.h"

class TBitmap;
class TsSkinManager;
struct TsMaskData;
class TvkScrollWnd;
class TvkScrollBar;

// States of a bar's elements (0 normal, 1 hot, 2 pressed) and where its thumb goes.
struct TvkBarLook {
  int Arrow1State = 0;
  int Arrow2State = 0;
  int Track1State = 0;
  int Track2State = 0;
  int ThumbState = 0;
  int ThumbStart = -1;  // along the bar from its start; -1 computed from the scroll position
  bool DrawThumb = true;
  bool Disabled = false;
};

// The bar over its parent's background into DC at R (window coordinates).
void RenderScrollBar(TvkScrollWnd* A, TvkScrollBar* Bar, HWND Wnd, HDC DC, const TRect& R, const TvkBarLook& Look);
// One bar repainted into the window DC with Part shown pressed (-1 none).
void PaintOneScrollBar(TvkScrollWnd* A, TvkScrollBar* Bar, HWND Wnd, int Part);
// The square between the bars (screen rectangle) lies in the corner of a top-level parent's client area.
bool IsGripCorner(TvkScrollWnd* A, HWND Wnd, const TRect& Corner);
// One element of the skin's constant data (its section and centred glyph) over R of Bmp in State.
// An arrow element's rectangle grown toward the track by what its glyph exceeds 17 pixels along the bar, so that a
// large glyph never spills onto the track; other elements keep R.
TRect ArrowRectForGlyph(const TRect& R, int Element, const TsMaskData& Glyph);
constexpr int kStdArrowGlyph = 17;  // the arrow glyph size the bar's geometry is made for
void PaintScrollBarElement(TsSkinManager* M, int Element, const TvkBgCacheRef& Bg, TBitmap* Bmp, const TRect& R,
                           int State);
