#pragma once
// 32-bit framework bitmaps for tests: made, filled and read pixel by pixel from the top row down.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include "framework/Graphics.h"
#include "tests/support/Owned.h"

namespace testing_support {

using BitmapPtr = Owned<TBitmap>;

// 0xAARRGGBB, the layout of a 32-bit pixel.
constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// Byte k (0 blue .. 3 alpha) of a pixel.
inline int Channel(uint32_t pixel, int k) { return static_cast<int>((pixel >> (8 * k)) & 0xFF); }

// Largest difference of the four bytes of two pixels.
inline int PixelDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int k = 0; k < 4; ++k) d = std::max(d, std::abs(Channel(a, k) - Channel(b, k)));
  return d;
}

// Pixel (x, y) of a 32-bit bitmap, row 0 at the top; pending GDI drawing is finished first.
inline uint32_t& PixelAt(TBitmap* bitmap, int x, int y) { return static_cast<uint32_t*>(bitmap->ScanLine(y))[x]; }
inline void SetPixelAt(TBitmap* bitmap, int x, int y, uint32_t pixel) { PixelAt(bitmap, x, y) = pixel; }

inline void Fill32(TBitmap* bitmap, uint32_t pixel) {
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x) PixelAt(bitmap, x, y) = pixel;
}

// A 32-bit DIB bitmap as the toolkit makes them (new pixels are zero).
inline BitmapPtr Bitmap32(int width, int height) {
  BitmapPtr bitmap(new TBitmap());
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  return bitmap;
}
inline BitmapPtr Bitmap32(int width, int height, uint32_t fill) {
  BitmapPtr bitmap = Bitmap32(width, height);
  Fill32(bitmap.get(), fill);
  return bitmap;
}
// A 32-bit bitmap whose pixel (x, y) is pixel(x, y).
inline BitmapPtr Bitmap32By(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
  BitmapPtr bitmap = Bitmap32(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) PixelAt(bitmap.get(), x, y) = pixel(x, y);
  return bitmap;
}

// Number of pixels that differ from `pixel`.
inline int CountChanged(TBitmap* bitmap, uint32_t pixel) {
  int n = 0;
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x) n += PixelAt(bitmap, x, y) != pixel;
  return n;
}
// Number of pixels outside `area` that differ from `pixel`.
inline int ChangedOutside(TBitmap* bitmap, const RECT& area, uint32_t pixel) {
  int n = 0;
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x)
      if (!(x >= area.left && x < area.right && y >= area.top && y < area.bottom)) n += PixelAt(bitmap, x, y) != pixel;
  return n;
}

}  // namespace testing_support
