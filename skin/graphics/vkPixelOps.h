#pragma once
// Small operations on the pixels of 32-bit bitmaps: single pixels, fills, tints and alpha of rectangles,
// premultiplying for layered windows, byte-order helpers and the disabled look of a control image.
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"

#include "skin/graphics/PixelPlane.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"

class TBitmap;
class TControl;

// One pixel through the row's scan line. No range check: callers keep X and Y inside.
uint32_t GetPixel32(TBitmap* Bmp, int X, int Y);
// Stores the pixel and returns the address of its row.
uint32_t* SetPixel32(TBitmap* Bmp, int X, int Y, uint32_t Pixel);
void PutPixel32(TBitmap* Bmp, int X, int Y, uint32_t Pixel);

// Stores Value Count times from Address; nothing for Count < 1.
void FillDWords(void* Address, int Count, uint32_t Value);

// Reverse the four bytes of a value / of Count consecutive values in place (big-endian fields).
constexpr uint32_t ByteSwap32(uint32_t V) {
  return (V >> 24) | ((V >> 8) & 0xFF00u) | ((V << 8) & 0xFF0000u) | (V << 24);
}
void ByteSwapDWords(void* Address, int Count);

// Every pixel equal to 0x00FFFFFF (white, alpha 0) becomes 0.
void ClearWhiteKeyPixels(TBitmap* Bmp);

// Fills R, clipped to the bitmap (half-open), with the colour in pixel order and alpha Alpha (-1 = 255).
void FillRect32(TBitmap* Bmp, const TRect& R, uint32_t Color, int Alpha);
void FillRect32(const TPixelPlane& Plane, const TRect& R, uint32_t Color, int Alpha);
// Four FillRect32 bands with alpha 255: top, left, bottom, right.
void FillFrame32(TBitmap* Bmp, const TRect& R, int LeftW, uint32_t Color, int BottomW, int RightW, int TopW);

// Mixes R toward Color: c = (c * Level + col * (255 - Level)) shr 8; alpha kept. R's Right and Bottom are
// INCLUSIVE here (clipped to Width - 1 and Height - 1): (0, 0, 10, 10) touches 11 x 11 pixels.
void BlendRectToColor32(TBitmap* Bmp, const TRect& R, int Level, uint32_t Color);
void BlendRectToColor32(const TPixelPlane& Plane, const TRect& R, int Level, uint32_t Color);

// c := c - ((c - col) * Percent) div 100 (signed) over R clipped half-open; the alpha byte becomes Alpha.
void MixRectToColor32(TBitmap* Bmp, const TRect& R, uint32_t Color, int Alpha, int Percent);

// Sets the alpha byte over R (clipped to the bitmap); with Key other than NoColor32, pixels whose whole
// value equals Key are left alone.
void SetRectAlpha32(TBitmap* Bmp, const TRect& R, uint8_t Alpha, uint32_t Key);
void SetRectAlpha32(const TPixelPlane& Plane, const TRect& R, uint8_t Alpha, uint32_t Key);

// Premultiplied output for layered windows over R (clipped): 0x00FFFFFF becomes 0, each colour byte c * A shr 8;
// without desktop composition near-white pixels (all colour bytes above 244) are capped at 244, since layered
// windows would otherwise show them as holes. The forms without CompositionOn ask the system.
void PremultiplyBitmapRect(TBitmap* Bmp, const TRect& R);
void PremultiplyBitmap(TBitmap* Bmp);
void PremultiplyBitmapRect(const TPixelPlane& Plane, const TRect& R, bool CompositionOn);

// ---- the disabled look of a control image ----
enum TsDisabledKind { dkBlended, dkGrayed };
using TsDisabledKinds = TSet<TsDisabledKind>;  // bit value 1 dkBlended, 2 dkGrayed

// Saturation shift of greyed images (-100 = fully grey) and the weight (of 255) the control keeps when blended
// toward its background.
extern int DisabledSaturation;
extern uint8_t DisabledLevel;

// dkGrayed desaturates every non-key pixel (DisabledSaturation * 255 div 100, or full grey at -100); dkBlended then
// mixes the image toward what lies behind it: Bg's bitmap at (Bg.X + Offset.X, Bg.Y + Offset.Y) when Ready, else
// Bg's fill colour or, without one, the control's background colour.
void PaintDisabledLook(TBitmap* Bmp, TsDisabledKinds Kinds, TControl* Control, TPoint Offset, const TvkBgCacheRef& Bg);
// The same with the control's background colour already known (read only when Bg gives neither bitmap nor colour).
void PaintDisabledLook(TBitmap* Bmp, TsDisabledKinds Kinds, uint32_t ControlColor, TPoint Offset,
                       const TvkBgCacheRef& Bg);
