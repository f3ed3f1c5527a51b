// Painting the skin's image elements (mask entries) into 32-bit bitmaps: the nine-part rule over a
// rectangle of any size, single pieces through the element's mask band, and one-frame glyphs.
//
// An element's frames lie side by side in its rectangle R; with a mask (MaskType above 0) the mask band of
// each frame lies one frame height (R's height div (MaskType + 1)) below it. Mask value 255 keeps the
// destination, 0 takes the image. Without a mask the key colour 0xFF00FF marks transparent pixels.
// Rectangles are half-open.
#pragma once
#include <cstdint>

#include "framework/Graphics.h"
#include "skin/graphics/vkParentBg.h"

class TBitmap;
struct TsMaskData;

// ---- element geometry ----
// The bitmap the element's pixels come from: its own, else its manager's master bitmap; nil without either.
TBitmap* MaskSourceBitmap(const TsMaskData& Mask);
// Rows from an image row to its mask row: R's height div (MaskType + 1), 0 without a mask (MaskType 0 or
// below: a negative type counts as none).
int MaskBandOffset(const TsMaskData& Mask);
// The frame painted for a state: State limited to 0..ImageCount - 1.
int MaskFrameIndex(const TsMaskData& Mask, int State);

// ---- nine-part painters ----
// The general painter. UseBg lets keyed or masked corners of an element with key corners (CornerType >= 1)
// take their transparent pixels from Bg.
void DrawSkinRect32(TBitmap* Dst, const TRect& R, const TvkBgCacheRef& Bg, bool UseBg, int State,
                    const TsMaskData& Mask);
// For rectangles whose alpha matters: masked pieces raise the destination alpha; corners always take their
// key pixels from Bg (or become fully transparent without a Ready Bg).
void DrawSkinRectTransparent32(TBitmap* Dst, const TRect& R, const TvkBgCacheRef& Bg, int State,
                               const TsMaskData& Mask);
// Masked pieces applied with opacity Level (0..255). Caps.Left/Top/Right/Bottom limit how thick the left,
// top, right and bottom side runs are painted (their outer part is kept); corners and centre keep the full
// border widths.
void DrawSkinRectAlpha32(TBitmap* Dst, const TRect& R, const TvkBgCacheRef& Bg, int Level, const TRect& Caps,
                         int State, const TsMaskData& Mask);

// One frame of the element with its top-left corner at P (parts at negative coordinates are cut). Mode 1
// paints the glyph as it is; other modes paint a lighter (masked) or half-transparent (keyed) glyph.
void DrawSkinGlyph32(TBitmap* Dst, TPoint P, int State, const TvkBgCacheRef& Bg, const TsMaskData& Mask, int Mode);

// ---- piece painters ----
// SrcRect of Src (an element's image) into DstRect of Dst through the mask band below it; both rectangles are
// clipped to each other and to both bitmaps, rows whose mask would lie below the source are left out. Colour:
// d = (d * m + s * (255 - m)) shr 8 with m the mask's red byte; alpha raised to 255 - m (0 becomes 255 - m,
// 255 stays). Key source pixels take Bg's pixel at (Bg.X + x, Bg.Y + y) of the destination when Bg is Ready
// with a bitmap, else get alpha 0.
void CopyMaskedPiece32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                       const TvkBgCacheRef& Bg, TBitmap* Src);
// The same with the image's weight scaled by Level: w = ((255 - m) * Level) shr 8, d = (d * (255 - w) + s * w)
// shr 8; the alpha rule still uses m.
void CopyMaskedPieceLevel32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                            const TvkBgCacheRef& Bg, TBitmap* Src, int Level);

// (SrcX, SrcY, SrcW, SrcH) of Src stretched over (X, Y, W, H) of Dst through the mask MaskOffset rows below
// (MaskOffset 0: a plain stretched copy). Smooth (the centre piece) resamples with filters; a 1 x 1 smooth
// source becomes a flat colour. Columns and rows past Dst are cut. Per channel d = ((d - s) * m + s * 256)
// shr 8 with the mask's same channel; alpha 255.
void StretchMaskedPiece32(int X, int Y, int W, int H, bool Smooth, int MaskOffset, TBitmap* Src, TBitmap* Dst,
                          int SrcX, int SrcY, int SrcW, int SrcH);
// Alpha-raising variant: m = mask red; 0 copies the source opaque, 255 keeps; else w = min(m, alpha),
// d = (d * w + s * (255 - w)) shr 8, alpha max(alpha, 255 - m).
void StretchMaskedPieceAlpha32(int X, int Y, int W, int H, bool Smooth, int MaskOffset, TBitmap* Src,
                               TBitmap* Dst, int SrcX, int SrcY, int SrcW, int SrcH);
// Level variant: for 0 < m < 255, w = ((255 - m) * Level) shr 8, d = (d * (255 - w) + s * w) shr 8.
void StretchMaskedPieceLevel32(int X, int Y, int W, int H, bool Smooth, int MaskOffset, TBitmap* Src,
                               TBitmap* Dst, int SrcX, int SrcY, int SrcW, int SrcH, int Level);

// One glyph frame SrcRect of Src to DstRect of Dst. Without a mask a keyed copy; with one, only into a 32-bit
// Dst, skipping key pixels and mask red above 254: d = ((d - s) * w + s * 256) shr 8 with w the mask channel
// (Mode 1) or min(mask + 100, 255); alpha a + ((255 - a) * (255 - mask red)) shr 8.
void CopyGlyphWithMask32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask, int Mode,
                         TBitmap* Src);
