// Framework bitmaps for tests: owned 32-bit bitmaps and pixel access by (x, y) from the top.
#pragma once
#include <cstdint>
#include <memory>

#include "framework/Graphics.h"
#include "skin/graphics/vkBitmap32.h"

namespace bedrock2_test {

struct FreeBitmap {
  void operator()(TBitmap* b) const {
    if (b) b->Free();
  }
};
using BitmapPtr = std::unique_ptr<TBitmap, FreeBitmap>;

inline BitmapPtr Bitmap32(int W, int H, uint32_t Fill) {
  BitmapPtr b(NewBitmap32(W, H));
  const TPixelPlane p = PlaneOf(b.get());
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p.At(x, y) = Fill;
  return b;
}

inline uint32_t Px(TBitmap* b, int x, int y) {
  GdiFlush();
  return PlaneOf(b).At(x, y);
}
inline void SetPx(TBitmap* b, int x, int y, uint32_t v) { PlaneOf(b).At(x, y) = v; }

inline int Channel(uint32_t p, int k) { return static_cast<int>((p >> (8 * k)) & 0xFF); }
// Largest channel difference (all four bytes).
inline int PixelDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int k = 0; k < 4; ++k) {
    const int e = Channel(a, k) - Channel(b, k);
    d = std::max(d, e < 0 ? -e : e);
  }
  return d;
}
// Pixels outside R that differ from V.
inline int ChangedOutside(TBitmap* b, const RECT& R, uint32_t V) {
  GdiFlush();
  const TPixelPlane p = PlaneOf(b);
  int n = 0;
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x)
      if (!(x >= R.left && x < R.right && y >= R.top && y < R.bottom)) n += p.At(x, y) != V;
  return n;
}

}  // namespace bedrock2_test
