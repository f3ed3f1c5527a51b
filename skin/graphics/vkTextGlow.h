// Glow around captions and the cheap blur of soft backgrounds. The glow draws the text black on white into an
// 8-bit grey mask, blurs it with a separable box kernel and lays the glow colour into a 32-bit bitmap with the
// blurred mask as its strength.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Graphics.h"

// Weights indexed -16..16 (W[j + 16]); only -Size..Size are used and they sum to 1.
struct TBlurKernel {
  float W[33] = {};
  int Size = 1;
  float At(int j) const { return W[j + 16]; }
};

// Rounded Gaussian weights (so 1 up to |j| / Radius of about 1.1774, else 0: a box), normalised, trimmed from
// the outside while the trimmed weight stays below MaxData / (2 * Granularity), normalised again. A radius of
// 0 or less gives the identity kernel.
void MakeBlurKernel(TBlurKernel& Kernel, double MaxData, double Granularity, double Radius);
// Src[0..HighIndex] blurred in place (edges repeat their end values); Work holds HighIndex + 1 bytes.
void BlurLine(uint8_t* Src, int HighIndex, const TBlurKernel& Kernel, uint8_t* Work);
// Rows then columns of an 8-bit bitmap blurred in place; other bitmaps are left unchanged.
void GaussianBlur8(TBitmap* Bitmap, double Radius);

// The largest glow size painted: the blur reaches 16 pixels whatever the size, so a larger one (a skin may
// say up to 2^31 - 1) would only ask for a mask no bitmap can hold.
constexpr int kMaxGlowSize = 255;

// Glow of Text (drawn in Dst's canvas font with Flags at Rect) in Color (a colour value) into the 32-bit Dst,
// around Rect grown by GlowSize (limited to 0..kMaxGlowSize) + 4. MaskBmp is kept by the caller: one of the grown size is used as it is, so
// an unchanged caption is drawn and blurred once. Sides: extra text passes moved 1 left, 2 up, 4 right, 8 down.
void DrawTextGlow(TBitmap* Dst, const std::string& Text, const TRect& Rect, TBitmap*& MaskBmp, uint32_t Color,
                  int GlowSize, int Sides, UINT Flags);

// Soft blur: the image scaled down to a quarter and back up. Images under 4 pixels either way are left as
// they are.
void QuickBlurBitmap(TBitmap* Bitmap);
