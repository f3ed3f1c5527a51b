// Byte arithmetic, background views and rectangle-pair clipping shared by the pixel loops of the toolkit's
// painters (compositor, skin images, textures, masked text). Internal to skin/graphics.
#pragma once
#include <algorithm>
#include <cstdint>

#include "framework/Graphics.h"
#include "skin/graphics/PixelPlane.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"

namespace vkpx {

inline uint32_t Chan(uint32_t P, int N) { return (P >> (8 * N)) & 0xFFu; }
inline uint32_t Alpha(uint32_t P) { return P >> 24; }
inline uint32_t Pack(uint32_t B, uint32_t G, uint32_t R, uint32_t A) { return (A << 24) | (R << 16) | (G << 8) | B; }

// ((x - y) * w + y * 256) shr 8, always in 0..255 for bytes x, y and 0 <= w <= 256.
inline uint32_t Mix(uint32_t x, uint32_t y, uint32_t w) {
  return static_cast<uint32_t>((static_cast<int>(x) - static_cast<int>(y)) * static_cast<int>(w) +
                               static_cast<int>(y) * 256) >> 8;
}

// Colour bytes of s laid over d with weight w; d's alpha byte given separately.
inline uint32_t MixColor(uint32_t s, uint32_t d, uint32_t w, uint32_t A) {
  return Pack(Mix(Chan(s, 0), Chan(d, 0), w), Mix(Chan(s, 1), Chan(d, 1), w), Mix(Chan(s, 2), Chan(d, 2), w), A);
}

// The background a painter reads behind its destination.
struct BgView {
  TPixelPlane Plane;
  int X = 0, Y = 0;
  uint32_t FillColor = KeyPixel32;
  bool Ready = false;
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Plane.Width && y < Plane.Height; }
};

inline BgView ViewOf(const TvkBgCacheRef& Ref) {
  BgView V;
  V.Plane = PlaneOf(Ref.Bmp);
  V.X = Ref.X;
  V.Y = Ref.Y;
  V.FillColor = Ref.FillColor;
  V.Ready = Ref.Ready;
  return V;
}

// Rows and columns shared by a destination and a source rectangle, clipped to both bitmaps.
struct PairClip {
  int dx = 0, dy = 0, sx = 0, sy = 0, cols = 0, rows = 0;
  bool Empty() const { return cols < 1 || rows < 1; }
};

inline PairClip ClipPair(const TRect& DstRect, const TRect& SrcRect, const TPixelPlane& D, const TPixelPlane& S) {
  PairClip C;
  C.dx = DstRect.Left;
  C.dy = DstRect.Top;
  C.sx = SrcRect.Left;
  C.sy = SrcRect.Top;
  C.cols = std::min({static_cast<int>(DstRect.Right - DstRect.Left), static_cast<int>(SrcRect.Right - SrcRect.Left),
                     D.Width - C.dx, S.Width - C.sx});
  C.rows = std::min({static_cast<int>(DstRect.Bottom - DstRect.Top), static_cast<int>(SrcRect.Bottom - SrcRect.Top),
                     D.Height - C.dy, S.Height - C.sy});
  // A negative origin moves both rectangles in by the same amount.
  if (C.dx < 0) { C.sx -= C.dx; C.cols += C.dx; C.dx = 0; }
  if (C.sx < 0) { C.dx -= C.sx; C.cols += C.sx; C.sx = 0; }
  if (C.dy < 0) { C.sy -= C.dy; C.rows += C.dy; C.dy = 0; }
  if (C.sy < 0) { C.dy -= C.sy; C.rows += C.sy; C.sy = 0; }
  C.cols = std::min({C.cols, D.Width - C.dx, S.Width - C.sx});
  C.rows = std::min({C.rows, D.Height - C.dy, S.Height - C.sy});
  return C;
}

// R limited to a plane (half-open); may come out empty.
inline TRect ClipToPlane(TRect R, const TPixelPlane& P) {
  R.Left = std::max(R.Left, 0);
  R.Top = std::max(R.Top, 0);
  R.Right = std::min(R.Right, P.Width);
  R.Bottom = std::min(R.Bottom, P.Height);
  return R;
}

}  // namespace vkpx
