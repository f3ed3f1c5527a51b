#pragma once
// 32-bit bitmaps of the skinning library: creation, row addressing, per-pixel walks, device-context fills
// and whole-bitmap grey.
//
// Every image the library composes is a TBitmap in pf32bit (a DIB section), pixels stored blue, green, red,
// alpha with straight alpha. Row y starts at Base + y * Stride, where Stride is the signed distance from
// scan line 0 to scan line 1 (negative for a bottom-up DIB, 0 for a one-row bitmap). A bitmap without rows
// makes every pixel routine return at once.
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"

#include "skin/graphics/PixelPlane.h"
#include "skin/graphics/vkColorMath.h"

class TBitmap;
class TGraphic;

// ---- creation (every result belongs to the caller) ----
TBitmap* NewBitmap32(int Width, int Height);
TBitmap* NewBitmap32ForRect(const TRect& R);          // negative extents count as 0
TBitmap* NewBitmap32ForSize(const TSize& Size);
TBitmap* NewBitmap32LikeGraphic(TGraphic* Graphic);
template <class TControlLike>
TBitmap* NewBitmap32ForControl(TControlLike* Control) {
  return NewBitmap32(Control->Width(), Control->Height());
}
TBitmap* NewBitmapLike(TBitmap* Bmp);                 // same size and pixel format; pixels not copied
void CopyBitmapFull(TBitmap* Dst, TBitmap* Src);      // Dst becomes a copy of Src (format, size, pixels)
void ForceBitmap32(TBitmap* Bmp);

// ---- pixel access ----
// Base = address of scan line 0, Stride = address of scan line 1 minus Base (0 for one row); false for a
// bitmap without rows (Base and Stride then 0).
bool ScanlineBaseAndStride(TBitmap* Bmp, uint8_t*& Base, int& Stride);
// The bitmap's rows as a plane; an empty plane for nil, a bitmap without rows or one that is not 32-bit.
TPixelPlane PlaneOf(TBitmap* Bmp);

// Called with the address of a pixel and the caller's parameter.
using TPixelProc = void (*)(uint32_t* Pixel, intptr_t Param);
// Proc for every pixel, rows from 0, left to right; with Key other than NoColor32 (a colour value), pixels
// equal to the key in pixel order are passed over. Nothing for nil.
void ApplyToEachPixel(TBitmap* Bmp, TPixelProc Proc, intptr_t Param, uint32_t Key);
void ApplyToEachPixel(const TPixelPlane& Plane, TPixelProc Proc, intptr_t Param, uint32_t Key);

// ---- device-context fills (the DC's state is saved before and restored after) ----
void PaintSolidRect(HDC DC, const TRect& R, uint32_t Color);
// Four bands in one brush: top, left, bottom, right.
void PaintFrameBands(HDC DC, const TRect& R, int LeftWidth, uint32_t Color, int BottomWidth, int RightWidth,
                     int TopWidth);

// ---- whole-bitmap grey: bytes 0..2 of each pixel become its grey; alpha kept ----
void GrayBitmap32(TBitmap* Bmp);
void GrayBitmap32(const TPixelPlane& Plane);
// Pixels equal to Key (a pixel value, compared as given) are left as they are.
void GrayBitmap32Keyed(TBitmap* Bmp, uint32_t Key);
void GrayBitmap32Keyed(const TPixelPlane& Plane, uint32_t Key);
