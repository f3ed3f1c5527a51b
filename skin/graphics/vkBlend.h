#pragma once
// Blending and the 32-bit compositor.
//
// All translucency of the skinned interface is integer arithmetic on the bytes of 32-bit bitmaps (straight
// alpha, key pixel 0x00FF00FF): channel mixes have the form ((x - y) * w + y * 256) shr 8, never a division by
// 255. The letter c below is each of the colour bytes, A the alpha byte, s the source and d the destination.
// Rectangles are half-open unless a routine says its Right and Bottom are inclusive.
#include <windows.h>

#include <cstdint>

#include "skin/graphics/PixelPlane.h"
#include "skin/graphics/vkParentBg.h"

class TBitmap;
struct TsMaskData;

// Lays SrcRect of Src over DstRect of Dst by per-pixel alpha, with an overall Transparency (per cent), an
// optional colourising Color (NoColor32 = none) and an optional faded mirror image below DstRect. With a
// Ready BgRef only drawable source pixels (not the key, alpha above 16) are drawn, and FillKeyed fills the
// others from the background. Gives Src pf32bit first.
void CompositeOverCache(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                        const TvkBgCacheRef& BgRef, bool FillKeyed, uint32_t Color, int Transparency,
                        bool Reflection);

// Straight-alpha blend of SrcRect over DstRect; with a Ready BgRef key pixels are skipped (or, FillKeyed,
// filled opaquely from the background).
void AlphaBlendRectOver(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                        const TvkBgCacheRef& BgRef, bool FillKeyed);

// Lays the picture in the upper half of a skin image over the destination through the per-channel mask in
// its lower half (mask white keeps the destination, black shows the picture); over a Ready BgRef the result is
// opaque. The mask row of picture row r is r + MaskOffset (the mask entry's rectangle height div 2); rows whose
// mask row lies outside the source are left. Key pixels (told by their colour bytes: skin images may be
// opaque) are left, or with FillKeyed take the background pixel behind their destination point (Ready) or the
// fill colour with their own alpha (not Ready, a colour given).
void BlendImageThroughMask(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                           const TvkBgCacheRef& BgRef, bool FillKeyed, int MaskOffset);
// The same for a skin image element: the mask lies the element's rectangle height div 2 rows lower.
void BlendImageThroughMask(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                           const TvkBgCacheRef& BgRef, bool FillKeyed, const TsMaskData& MaskEntry);

// d = ((d - s) * (Level and 255) + s * 256) shr 8 on all four bytes. SrcRect's Right and Bottom are inclusive
// and limited to the source, so (0, 0, W, H) over a W x H source covers it exactly.
void BlendBitmapInto(TBitmap* Dst, TBitmap* Src, int Level, const TRect& SrcRect, TPoint DstPoint);
// Straight-alpha blend, alpha included; clipped as BlendBitmapInto.
void AlphaBlendBitmapInto(TBitmap* Dst, TBitmap* Src, const TRect& SrcRect, TPoint DstPoint);

// Keyed copy mixed with the destination: d.c = (s.c * (255 - Level) + d.c * Level) shr 8 for source pixels other
// than those of Key's colour (a pixel value, any alpha); alpha kept. SrcRect inclusive of Right and Bottom.
void BlendCopyKeyedRect(TBitmap* Dst, int X, int Y, TBitmap* Src, TRect SrcRect, uint8_t Level, uint32_t Key);

// Copies every source pixel other than Key (a colour value) to (X, Y) + its position, made opaque.
void CopyOpaqueNonKeyPixels(TBitmap* Dst, TBitmap* Src, int X, int Y, uint32_t Key);

// Keyed copy (Key a pixel value told by its colour bytes; SrcRect inclusive); with FillKeyed the key pixels take
// the parent background as BlendImageThroughMask's do. Into a Ready BgRef's own bitmap with FillKeyed, the
// copied pixels are made opaque and the keys left.
void CopyKeyedWithBackground(TBitmap* Dst, TBitmap* Src, int X, int Y, TRect SrcRect, uint32_t Key,
                             const TvkBgCacheRef& BgRef, bool FillKeyed);

// Keyed copy, Key a colour value whose byte 3 is the key's alpha, matched with whole source pixels (NoColor32:
// no key); SrcRect inclusive. BgRef is carried for the callers' symmetry, not read.
void CopyKeyedRect(TBitmap* Dst, TBitmap* Src, int X, int Y, TRect SrcRect, uint32_t Key,
                   const TvkBgCacheRef& BgRef);

// Every non-key pixel toward Color: d.c = (d.c * w + Color.c * (255 - w)) shr 8, w = Weight and 255.
void TintBitmapToColor(TBitmap* Bmp, int Weight, uint32_t Color);
void TintBitmapToColor(const TPixelPlane& Plane, int Weight, uint32_t Color);

// d.c = ((d.c - Color.c) * m.c + Color.c * 256) shr 8 with the mask's same channel; only for equal sizes.
void BlendTowardColorByMask(TBitmap* Dst, TBitmap* Mask, uint32_t Color);

// Dst.c = ((a.c - b.c) * w + b.c * 256) shr 8, w = Weight (0..256) or, with a Mask, its same channel; Dst's
// alpha kept. Nothing unless A and B have the same size.
void MixBitmapsByWeight(TBitmap* Dst, TBitmap* A, TBitmap* B, TBitmap* Mask, int Weight);

// Alpha blend of Src over Dst inside Rect, held back where the grey mask's red byte is high (255 = nothing).
void AlphaOverByMask(TBitmap* Dst, TBitmap* Src, TBitmap* Mask, const TRect& Rect);

// Soft-edged tint of Rect of Dst toward Color: nested rounded rectangles from white at the edge to the level
// Percent * 255 div 100 inside form the mask of BlendTowardColorByMask.
void LightenRoundRectArea(TBitmap* Dst, const TRect& Rect, int Percent, int Radius, int Steps, uint32_t Color);

// A new 32-bit bitmap of Rect's upper half whose alpha is 255 minus the red byte of the lower half; nil when
// the width or the half height is 0. The caller owns it.
TBitmap* SplitImageWithMask(TBitmap* Src, const TRect& Rect);

// Byte Channel (0..3) of every pixel of Src into Dst; nothing unless the sizes match.
void CopyPixelChannel(TBitmap* Dst, TBitmap* Src, int Channel);

// Colour values: (C1.c * w + C2.c * (255 - w)) shr 8 per colour byte, w = W and 255; byte 3 from C1.
uint32_t WeightedColorMix(uint32_t C1, uint32_t C2, int W);
