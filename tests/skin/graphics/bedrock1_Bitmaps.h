// 32-bit test bitmaps: made, filled and read through their scan lines.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "framework/Graphics.h"
#include "skin/graphics/vkBitmap32.h"

namespace bedrock1 {

struct BitmapFree {
  void operator()(TBitmap* B) const { B->Free(); }
};
using BitmapPtr = std::unique_ptr<TBitmap, BitmapFree>;

constexpr uint32_t Px(uint32_t A, uint32_t R, uint32_t G, uint32_t B) { return (A << 24) | (R << 16) | (G << 8) | B; }

inline uint32_t& At(TBitmap* B, int X, int Y) { return static_cast<uint32_t*>(B->ScanLine(Y))[X]; }

inline BitmapPtr Make32(int W, int H, uint32_t Fill) {
  BitmapPtr B(NewBitmap32(W, H));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) At(B.get(), x, y) = Fill;
  return B;
}

// A bitmap whose pixel (x, y) is F(x, y).
inline BitmapPtr MakeBy(int W, int H, const std::function<uint32_t(int, int)>& F) {
  BitmapPtr B(NewBitmap32(W, H));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) At(B.get(), x, y) = F(x, y);
  return B;
}

// Number of pixels that differ from Fill.
inline int CountChanged(TBitmap* B, uint32_t Fill) {
  int N = 0;
  for (int y = 0; y < B->Height(); ++y)
    for (int x = 0; x < B->Width(); ++x) N += At(B, x, y) != Fill;
  return N;
}

inline uint32_t Chan(uint32_t P, int N) { return (P >> (8 * N)) & 0xFF; }

}  // namespace bedrock1
