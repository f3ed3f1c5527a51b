// Drawing of images that are not skin mask entries: a nine-part stretch of any bitmap, one frame of
// a multi-frame glyph strip for a control state, and the fading mirror image below a glyph.
#pragma once
#include <cstdint>

#include "framework/Graphics.h"

// Corners are copied unscaled; sides and centre are stretched or tiled (whole copies from the
// top-left, the last one cut) over their areas. Rectangles are half-open.
void DrawNinePartImage(TBitmap* Dst, TBitmap* Src, const TRect& SrcRect, const TRect& DstRect, int LeftWidth,
                       int TopWidth, int RightWidth, int BottomWidth, bool StretchSides, bool StretchCentre,
                       bool DrawCentre);

// Frame index of a glyph strip for a control state (0 normal, 1 hot, 2 pressed, 3 default).
// SkinOrder: the glyph is not a 4-bit bitmap, a default skin manager exists and its StdGlyphsOrder
// option is off.
int GlyphFrameIndex(int State, bool Enabled, bool Pressed, int FrameCount, bool SkinOrder);

// One frame of the glyph strip Glyph onto the 32-bit Dst at Rect's top-left; with Reflected the glyph
// moves up by an eighth of Rect's height and its mirror is drawn below. DisabledKind is accepted
// and not used.
void PaintStateGlyph(TBitmap* Glyph, TBitmap* Dst, const TRect& Rect, bool Reflected, bool Pressed, int BlendLevel,
                     int State, int DisabledKind, bool Enabled, int FrameCount);

// Fading mirror of SrcRect (Right and Bottom inclusive) below Point: the first row is SrcRect's
// bottom row at about half strength, fading out after two thirds of the source height. Key is a
// colour value whose byte 3 is the key's alpha, compared with whole source pixels (NoColor32: no key);
// Transparency in per cent.
void DrawKeyedReflection(TBitmap* Dst, TBitmap* Src, const TPoint& Point, int Transparency, uint32_t Key,
                         const TRect& SrcRect);
