// Text on 32-bit bitmaps whose alpha matters (layered windows, alpha-blended images): the system draws the text
// black on white into a work bitmap, which then serves as the coverage mask of the text colour. Also two helpers
// of the form skinner: key pixels of a form corner filled from a background, and icons from 32-bit bitmaps.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Graphics.h"

class TsSkinManager;

// Text (IsPChar: up to its first zero, else at most 5460 characters) in Color (a colour value) into R of the
// 32-bit Bmp, with Bmp's canvas font. AlphaMode false: per-channel coverage, alpha 255. AlphaMode true: grey
// coverage g, alpha raised to 255 - g, colour premultiplied by the new alpha.
void DrawTextThroughMask32(TBitmap* Bmp, const std::string& Text, bool AlphaMode, bool IsPChar, uint32_t Color,
                           UINT Flags, const TRect& R);
// Text in the colours of section SectionIndex, State (limited to 0..2): with AlphaOutput the contours (left, top,
// right, bottom; -1 = none) first, one pixel moved their way, all in alpha mode; then the font colour. Without a
// manager (nil: the default) or a valid section, once in the canvas font's colour. Returns 0.
int DrawSkinText32(TBitmap* Bmp, const std::string& Text, bool AlphaOutput, TsSkinManager* Manager, int State,
                   int SectionIndex, UINT Flags, const TRect& R);

// Key pixels of a form corner taken from BgBmp (P in BgBmp matches DstRect's top-left). Corner: HTTOPRIGHT,
// HTBOTTOMLEFT, HTBOTTOMRIGHT or anything else for the top-left. With a mask (MaskIndex of Manager, nil: the
// default manager) its key pixels at that corner decide; with MaskIndex -1 the pixels of Dst made transparent
// that are then the key. Everything is clipped to all three bitmaps.
void FillKeyPixelsFromBackground(TBitmap* Dst, TBitmap* BgBmp, const TRect& DstRect, int Corner, TsSkinManager* Manager,
                                 int MaskIndex, TPoint P);

// A new icon (the caller owns it; free with GdiFreeIcon) from a copy of Bmp: pixels equal to its top-left pixel
// are transparent. Bmp itself is left as it is. 0 when the system refuses.
HICON CreateIconFromBitmap(TBitmap* Bmp);
