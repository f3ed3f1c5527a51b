#include "skin/graphics/vkBlend.h"

#include <algorithm>
#include <cmath>

#include "framework/Graphics.h"
#include "framework/GraphicsGdi.h"
#include "skin/core/sMaskData.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkPixelMath.h"

namespace {

using namespace vkpx;

inline bool Drawable(uint32_t s) { return s != KeyPixel32 && Alpha(s) > 16; }

// The colourising colour: brightened until its largest channel is 255. Returned in pixel order (B, G, R).
struct Tint {
  uint32_t R = 0, G = 0, B = 0;
  uint32_t Of(uint32_t s, uint32_t A) const {
    const uint8_t l = static_cast<uint8_t>((Chan(s, 2) >> 2) + (Chan(s, 1) >> 1) + (Chan(s, 0) >> 2));
    return Pack((l * B) >> 8, (l * G) >> 8, (l * R) >> 8, A);
  }
};

Tint MakeTint(uint32_t Color) {
  const uint32_t C = ColorToRGB(Color);
  Tint T{Chan(C, 0), Chan(C, 1), Chan(C, 2)};
  const uint32_t Add = 255 - std::max({T.R, T.G, T.B});
  T.R += Add;
  T.G += Add;
  T.B += Add;
  return T;
}

// Rule 3 of the compositor: a non-drawable pixel over a Ready background. Returns false once the background
// point has left the bitmap to the right or above, after which no more pixels of the row are filled.
inline bool FillFromBg(uint32_t& d, const BgView& Bg, int x, int y) {
  const int bx = Bg.X + x, by = Bg.Y + y;
  if (bx >= Bg.Plane.Width || by < 0) return false;
  if (Bg.Inside(bx, by)) d = (d & 0xFF000000u) | (Bg.Plane.At(bx, by) & 0x00FFFFFFu);
  return true;
}

// Key pixels of skin image pieces are told by their colour bytes: skin images are loaded opaque or not, so the
// key may come with any alpha.
inline bool IsKeyColor(uint32_t P) { return HasKeyColour(P, KeyPixel32); }

// A key pixel of a piece at destination point (x, y): with FillKeyed it takes the background's pixel there
// (Ready) or its fill colour with the pixel's own alpha (not Ready, a colour given); otherwise it is left.
inline void FillKeyPixel(uint32_t& d, const BgView& Bg, bool FillKeyed, int x, int y) {
  if (!FillKeyed) return;
  if (Bg.Ready) {
    if (Bg.Inside(Bg.X + x, Bg.Y + y)) d = Bg.Plane.At(Bg.X + x, Bg.Y + y);
  } else if (Bg.FillColor != KeyPixel32) {
    d = (SwapRedBlue(Bg.FillColor) & 0x00FFFFFFu) | (d & 0xFF000000u);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
void CompositeOverCache(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                        const TvkBgCacheRef& BgRef, bool FillKeyed, uint32_t Color, int Transparency,
                        bool Reflection) {
  if (Src == nullptr || Dst == nullptr) return;
  Src->SetPixelFormat(pf32bit);
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  const PairClip C = ClipPair(DstRect, SrcRect, D, S);
  if (C.Empty()) return;
  const BgView Bg = ViewOf(BgRef);
  const int T = std::clamp(Transparency, 0, 100);
  const bool Tinted = Color != NoColor32;
  const Tint K = Tinted ? MakeTint(Color) : Tint{};

  // One loop per case keeps the branches out of the pixel walk.
  auto Walk = [&](auto&& Blend) {
    for (int r = 0; r < C.rows; ++r) {
      uint32_t* s = S.Row32(C.sy + r) + C.sx;
      uint32_t* d = D.Row32(C.dy + r) + C.dx;
      bool Filling = Bg.Ready && FillKeyed;
      for (int c = 0; c < C.cols; ++c) {
        if (Bg.Ready && !Drawable(s[c])) {
          if (Filling) Filling = FillFromBg(d[c], Bg, C.dx + c, C.dy + r);
          continue;
        }
        d[c] = Blend(s[c], d[c]);
      }
    }
  };

  if (!Tinted) {
    if (T == 0)
      Walk([](uint32_t s, uint32_t d) { return MixColor(s, d, Alpha(s), std::max(Alpha(d), Alpha(s))); });
    else
      Walk([T](uint32_t s, uint32_t d) { return MixColor(s, d, Alpha(s) * (100 - T) / 100, Alpha(d)); });
  } else if (T == 0) {
    if (Bg.Ready)
      Walk([&K](uint32_t s, uint32_t d) { return MixColor(K.Of(s, 0), d, Alpha(s), Alpha(d)); });
    else
      Walk([&K](uint32_t s, uint32_t d) {
        return MixColor(K.Of(s, 0), d, Alpha(s), Mix(255, Alpha(d), Alpha(s)));
      });
  } else {
    Walk([&K, T](uint32_t s, uint32_t d) { return MixColor(K.Of(s, 0), d, Alpha(s) * (100 - T) / 100, Alpha(d)); });
  }

  if (!Reflection) return;
  // A faded mirror image of the source below DstRect.
  const int n = std::min(S.Height / 2 - 1, D.Height - static_cast<int>(DstRect.Bottom) - 1);
  if (n < 1) return;
  const uint8_t Step = static_cast<uint8_t>(255 / S.Height);
  uint8_t f = 255;
  for (int i = 1; i <= n; ++i, f = static_cast<uint8_t>(f - Step)) {
    const int sy = SrcRect.Bottom - i - 1;
    const int dy = DstRect.Bottom + i;
    // The mirrored rows must stay inside the source: a short source rectangle ends the band early.
    if (sy < 0) break;
    if (sy >= S.Height || dy < 0 || dy >= D.Height) continue;
    uint32_t* s = S.Row32(sy) + C.sx;
    uint32_t* d = D.Row32(dy) + C.dx;
    for (int c = 0; c < C.cols; ++c) {
      if (!Drawable(s[c])) continue;
      uint32_t a;
      if (!Tinted)
        a = ((Alpha(s[c]) * (n - i) / n) * f) >> 9;
      else
        a = (Alpha(s[c]) * (n - i) / n) >> 2;
      if (T > 0) a = a * (100 - T) / 100;
      d[c] = MixColor(Tinted ? K.Of(s[c], 0) : s[c], d[c], a, Alpha(d[c]));
    }
  }
}

void AlphaBlendRectOver(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                        const TvkBgCacheRef& BgRef, bool FillKeyed) {
  if (Src == nullptr || Dst == nullptr) return;
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  const PairClip C = ClipPair(DstRect, SrcRect, D, S);
  if (C.Empty()) return;
  const BgView Bg = ViewOf(BgRef);
  for (int r = 0; r < C.rows; ++r) {
    uint32_t* s = S.Row32(C.sy + r) + C.sx;
    uint32_t* d = D.Row32(C.dy + r) + C.dx;
    for (int c = 0; c < C.cols; ++c) {
      const uint32_t sp = s[c];
      if (Bg.Ready && sp == KeyPixel32) {
        const int bx = Bg.X + C.dx + c, by = Bg.Y + C.dy + r;
        if (FillKeyed && Bg.Inside(bx, by)) d[c] = Bg.Plane.At(bx, by) | 0xFF000000u;
        continue;
      }
      const uint32_t sa = Alpha(sp), da = Alpha(d[c]);
      d[c] = MixColor(sp, d[c], sa, sa > 0 ? da + (((255 - da) * sa) >> 8) : da);
    }
  }
}

void BlendImageThroughMask(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                           const TvkBgCacheRef& BgRef, bool FillKeyed, int MaskOffset) {
  if (Src == nullptr || Dst == nullptr) return;
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  PairClip C = ClipPair(DstRect, SrcRect, D, S);
  // Only rows whose mask row lies in the source: a row of another height is no mask.
  C.rows = std::min(C.rows, S.Height - MaskOffset - C.sy);
  const int Skip = std::max(0, -MaskOffset - C.sy);
  if (C.Empty() || Skip >= C.rows) return;
  const BgView Bg = ViewOf(BgRef);
  for (int r = Skip; r < C.rows; ++r) {
    const uint32_t* s = S.Row32(C.sy + r) + C.sx;
    const uint32_t* m = S.Row32(C.sy + r + MaskOffset) + C.sx;
    uint32_t* d = D.Row32(C.dy + r) + C.dx;
    for (int c = 0; c < C.cols; ++c) {
      if (IsKeyColor(s[c])) {
        FillKeyPixel(d[c], Bg, FillKeyed, C.dx + c, C.dy + r);
        continue;
      }
      const uint32_t A = Bg.Ready ? 255 : Alpha(d[c]);
      d[c] = Pack(Mix(Chan(d[c], 0), Chan(s[c], 0), Chan(m[c], 0)), Mix(Chan(d[c], 1), Chan(s[c], 1), Chan(m[c], 1)),
                  Mix(Chan(d[c], 2), Chan(s[c], 2), Chan(m[c], 2)), A);
    }
  }
}

void BlendImageThroughMask(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src,
                           const TvkBgCacheRef& BgRef, bool FillKeyed, const TsMaskData& MaskEntry) {
  BlendImageThroughMask(DstRect, SrcRect, Dst, Src, BgRef, FillKeyed, (MaskEntry.R.Bottom - MaskEntry.R.Top) / 2);
}

// ---------------------------------------------------------------------------------------------------------
namespace {

// Clipping of BlendBitmapInto and AlphaBlendBitmapInto: source Right and Bottom inclusive.
bool ClipPointBlend(const TPixelPlane& D, const TPixelPlane& S, TRect R, TPoint P, PairClip& C) {
  if (P.X < 0) { R.Left -= P.X; P.X = 0; }
  if (P.Y < 0) { R.Top -= P.Y; P.Y = 0; }
  if (R.Left < 0) { P.X -= R.Left; R.Left = 0; }
  if (R.Top < 0) { P.Y -= R.Top; R.Top = 0; }
  if (R.Right <= R.Left || R.Bottom <= R.Top) return false;
  if (P.X >= D.Width || P.Y >= D.Height || R.Left >= S.Width || R.Top >= S.Height) return false;
  R.Right = std::min<int>({R.Right, S.Width - 1, R.Left + (D.Width - P.X) - 1});
  R.Bottom = std::min<int>({R.Bottom, S.Height - 1, R.Top + (D.Height - P.Y) - 1});
  C.dx = P.X;
  C.dy = P.Y;
  C.sx = R.Left;
  C.sy = R.Top;
  C.cols = R.Right - R.Left + 1;
  C.rows = R.Bottom - R.Top + 1;
  return !C.Empty();
}

// Source rectangle limited to the source, inclusive of Right and Bottom.
TRect LimitInclusive(TRect R, const TPixelPlane& S) {
  R.Left = std::max<int>(R.Left, 0);
  R.Top = std::max<int>(R.Top, 0);
  R.Right = std::min<int>(R.Right, S.Width - 1);
  R.Bottom = std::min<int>(R.Bottom, S.Height - 1);
  return R;
}

}  // namespace

void BlendBitmapInto(TBitmap* Dst, TBitmap* Src, int Level, const TRect& SrcRect, TPoint DstPoint) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  PairClip C;
  if (!ClipPointBlend(D, S, SrcRect, DstPoint, C)) return;
  const uint32_t L = static_cast<uint32_t>(Level) & 255;
  for (int r = 0; r < C.rows; ++r) {
    uint32_t* s = S.Row32(C.sy + r) + C.sx;
    uint32_t* d = D.Row32(C.dy + r) + C.dx;
    for (int c = 0; c < C.cols; ++c)
      d[c] = Pack(Mix(Chan(d[c], 0), Chan(s[c], 0), L), Mix(Chan(d[c], 1), Chan(s[c], 1), L),
                  Mix(Chan(d[c], 2), Chan(s[c], 2), L), Mix(Alpha(d[c]), Alpha(s[c]), L));
  }
}

void AlphaBlendBitmapInto(TBitmap* Dst, TBitmap* Src, const TRect& SrcRect, TPoint DstPoint) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  PairClip C;
  if (!ClipPointBlend(D, S, SrcRect, DstPoint, C)) return;
  for (int r = 0; r < C.rows; ++r) {
    uint32_t* s = S.Row32(C.sy + r) + C.sx;
    uint32_t* d = D.Row32(C.dy + r) + C.dx;
    for (int c = 0; c < C.cols; ++c) {
      const uint32_t sa = Alpha(s[c]);
      d[c] = MixColor(s[c], d[c], sa, Mix(sa, Alpha(d[c]), sa));
    }
  }
}

void BlendCopyKeyedRect(TBitmap* Dst, int X, int Y, TBitmap* Src, TRect SrcRect, uint8_t Level, uint32_t Key) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  if (SrcRect.Left < 0) { X -= SrcRect.Left; SrcRect.Left = 0; }
  if (SrcRect.Top < 0) { Y -= SrcRect.Top; SrcRect.Top = 0; }
  SrcRect = LimitInclusive(SrcRect, S);
  const uint32_t L = Level;
  for (int sy = SrcRect.Top; sy <= SrcRect.Bottom; ++sy) {
    const int dy = Y + sy - SrcRect.Top;
    if (dy >= D.Height) break;
    if (dy < 0) continue;
    uint32_t* s = S.Row32(sy);
    uint32_t* d = D.Row32(dy);
    for (int sx = SrcRect.Left; sx <= SrcRect.Right; ++sx) {
      const int dx = X + sx - SrcRect.Left;
      if (dx >= D.Width) break;
      if (dx < 0 || HasKeyColour(s[sx], Key)) continue;
      const uint32_t sp = s[sx], dp = d[dx];
      auto Ch = [&](int n) { return (Chan(sp, n) * (255 - L) + Chan(dp, n) * L) >> 8; };
      d[dx] = Pack(Ch(0), Ch(1), Ch(2), Alpha(dp));
    }
  }
}

void CopyOpaqueNonKeyPixels(TBitmap* Dst, TBitmap* Src, int X, int Y, uint32_t Key) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  const uint32_t KeyPx = SwapRedBlue(Key);
  const int y0 = std::max(Y, 0), y1 = std::min(D.Height - 1, Y + S.Height - 1);
  const int x0 = std::max(X, 0), x1 = std::min(D.Width - 1, X + S.Width - 1);
  // Source pixel = destination pixel minus the offset, so a negative offset drops the source's clipped start.
  for (int y = y0; y <= y1; ++y) {
    uint32_t* s = S.Row32(y - Y);
    uint32_t* d = D.Row32(y);
    for (int x = x0; x <= x1; ++x)
      if (s[x - X] != KeyPx) d[x] = s[x - X] | 0xFF000000u;
  }
}

namespace {

template <class OnPixel>
void WalkKeyedCopy(const TPixelPlane& D, const TPixelPlane& S, int X, int Y, TRect SrcRect, OnPixel&& Pixel) {
  SrcRect = LimitInclusive(SrcRect, S);
  for (int sy = SrcRect.Top; sy <= SrcRect.Bottom; ++sy) {
    const int dy = Y + sy - SrcRect.Top;
    if (dy < 0 || dy >= D.Height) continue;
    uint32_t* s = S.Row32(sy);
    uint32_t* d = D.Row32(dy);
    for (int sx = SrcRect.Left; sx <= SrcRect.Right; ++sx) {
      const int dx = X + sx - SrcRect.Left;
      if (dx < 0 || dx >= D.Width) continue;
      Pixel(s[sx], d[dx], dx, dy);
    }
  }
}

}  // namespace

void CopyKeyedWithBackground(TBitmap* Dst, TBitmap* Src, int X, int Y, TRect SrcRect, uint32_t Key,
                             const TvkBgCacheRef& BgRef, bool FillKeyed) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  const BgView Bg = ViewOf(BgRef);
  // Drawing into the background's own bitmap: its key pixels already show the background.
  const bool IntoBackground = FillKeyed && Bg.Ready && Dst == BgRef.Bmp;
  WalkKeyedCopy(D, S, X, Y, SrcRect, [&](uint32_t s, uint32_t& d, int dx, int dy) {
    if (!HasKeyColour(s, Key)) d = IntoBackground ? s | 0xFF000000u : s;
    else if (!IntoBackground) FillKeyPixel(d, Bg, FillKeyed, dx, dy);
  });
}

void CopyKeyedRect(TBitmap* Dst, TBitmap* Src, int X, int Y, TRect SrcRect, uint32_t Key,
                   const TvkBgCacheRef& /*BgRef*/) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  const uint32_t KeyPx = SwapRedBlue(Key);
  WalkKeyedCopy(D, S, X, Y, SrcRect, [KeyPx](uint32_t s, uint32_t& d, int, int) {
    if (!IsKeyPixel(s, KeyPx)) d = s;
  });
}

// ---------------------------------------------------------------------------------------------------------
void TintBitmapToColor(const TPixelPlane& P, int Weight, uint32_t Color) {
  if (P.Empty()) return;
  const uint32_t w = static_cast<uint32_t>(Weight) & 255;
  const uint32_t C = SwapRedBlue(ColorToRGB(Color));
  for (int y = 0; y < P.Height; ++y) {
    uint32_t* d = P.Row32(y);
    for (int x = 0; x < P.Width; ++x) {
      if (d[x] == KeyPixel32) continue;
      auto Ch = [&](int n) { return (Chan(d[x], n) * w + Chan(C, n) * (255 - w)) >> 8; };
      d[x] = Pack(Ch(0), Ch(1), Ch(2), Alpha(d[x]));
    }
  }
}

void TintBitmapToColor(TBitmap* Bmp, int Weight, uint32_t Color) { TintBitmapToColor(PlaneOf(Bmp), Weight, Color); }

void BlendTowardColorByMask(TBitmap* Dst, TBitmap* Mask, uint32_t Color) {
  const TPixelPlane D = PlaneOf(Dst), M = PlaneOf(Mask);
  if (D.Empty() || M.Empty() || D.Width != M.Width || D.Height != M.Height) return;
  const uint32_t C = SwapRedBlue(ColorToRGB(Color));
  for (int y = 0; y < D.Height; ++y) {
    uint32_t* d = D.Row32(y);
    uint32_t* m = M.Row32(y);
    for (int x = 0; x < D.Width; ++x)
      d[x] = Pack(Mix(Chan(d[x], 0), Chan(C, 0), Chan(m[x], 0)), Mix(Chan(d[x], 1), Chan(C, 1), Chan(m[x], 1)),
                  Mix(Chan(d[x], 2), Chan(C, 2), Chan(m[x], 2)), Alpha(d[x]));
  }
}

void MixBitmapsByWeight(TBitmap* Dst, TBitmap* A, TBitmap* B, TBitmap* Mask, int Weight) {
  const TPixelPlane D = PlaneOf(Dst), PA = PlaneOf(A), PB = PlaneOf(B), M = PlaneOf(Mask);
  if (D.Empty() || PA.Empty() || PB.Empty() || PA.Width != PB.Width || PA.Height != PB.Height) return;
  if (Mask != nullptr && M.Empty()) return;
  // Never beyond the destination or the mask.
  int W = std::min(PA.Width, D.Width), H = std::min(PA.Height, D.Height);
  if (Mask != nullptr) {
    W = std::min(W, M.Width);
    H = std::min(H, M.Height);
  }
  const uint32_t w = static_cast<uint32_t>(std::clamp(Weight, 0, 256));
  for (int y = 0; y < H; ++y) {
    uint32_t* d = D.Row32(y);
    uint32_t* a = PA.Row32(y);
    uint32_t* b = PB.Row32(y);
    uint32_t* m = Mask != nullptr ? M.Row32(y) : nullptr;
    for (int x = 0; x < W; ++x) {
      auto Ch = [&](int n) { return Mix(Chan(a[x], n), Chan(b[x], n), m ? Chan(m[x], n) : w); };
      d[x] = Pack(Ch(0), Ch(1), Ch(2), Alpha(d[x]));
    }
  }
}

void AlphaOverByMask(TBitmap* Dst, TBitmap* Src, TBitmap* Mask, const TRect& Rect) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src), M = PlaneOf(Mask);
  if (D.Empty() || S.Empty() || M.Empty()) return;
  if (D.Width < Rect.Right || D.Height < Rect.Bottom) return;
  // The same coordinates are read in all three bitmaps: all must hold the rectangle.
  if (Rect.Left < 0 || Rect.Top < 0 || S.Width < Rect.Right || S.Height < Rect.Bottom || M.Width < Rect.Right ||
      M.Height < Rect.Bottom)
    return;
  for (int y = Rect.Top; y < Rect.Bottom; ++y) {
    uint32_t* d = D.Row32(y);
    uint32_t* s = S.Row32(y);
    uint32_t* m = M.Row32(y);
    for (int x = Rect.Left; x < Rect.Right; ++x) {
      const uint32_t mv = Chan(m[x], 2);
      if (mv == 255) continue;
      const uint32_t a = mv == 0 ? Alpha(s[x]) : ((255 - mv) * Alpha(s[x])) >> 8;
      d[x] = MixColor(s[x], d[x], a, Alpha(d[x]));
    }
  }
}

void LightenRoundRectArea(TBitmap* Dst, const TRect& Rect, int Percent, int Radius, int Steps, uint32_t Color) {
  const int W = Rect.Right - Rect.Left, H = Rect.Bottom - Rect.Top;
  if (Dst == nullptr || W < 1 || H < 1) return;
  TBitmap* Work = NewBitmap32(W, H);
  TBitmap* Mask = NewBitmap32(W, H);
  try {
    BitBlt(Work->Canvas()->Handle(), 0, 0, W, H, Dst->Canvas()->Handle(), Rect.Left, Rect.Top, SRCCOPY);
    const int n = std::min({W / 2, H / 2, Steps});
    const int r = std::min({W / 2, H / 2, Radius});
    const int Level = Percent * 255 / 100;
    HDC DC = Mask->Canvas()->Handle();
    const int Saved = SaveDC(DC);
    SelectObject(DC, GetStockObject(NULL_PEN));
    int Grey = 255;
    auto Round = [&](int L, int T, int R, int B, int Corner, int G) {
      HBRUSH Brush = GdiNewSolidBrush(RGB(G, G, G));
      HGDIOBJ Old = SelectObject(DC, Brush);
      RoundRect(DC, L, T, R, B, Corner, Corner);
      SelectObject(DC, Old);
      GdiFreeObject(Brush);
    };
    for (int i = 0; i <= n; ++i) {
      if (i > 0) Grey = static_cast<int>(std::nearbyint(static_cast<double>(n - i) * (255 - Level) / (n + 1))) + Level;
      Round(i, i, W - i, H - i, r, Grey);
    }
    Round(n, n, W - n, H - n, n, Grey);
    RestoreDC(DC, Saved);
    GdiFlush();
    BlendTowardColorByMask(Work, Mask, Color);
    BitBlt(Dst->Canvas()->Handle(), Rect.Left, Rect.Top, W, H, Work->Canvas()->Handle(), 0, 0, SRCCOPY);
  } catch (...) {
    Work->Free();
    Mask->Free();
    throw;
  }
  Work->Free();
  Mask->Free();
}

TBitmap* SplitImageWithMask(TBitmap* Src, const TRect& Rect) {
  const int w = Rect.Right - Rect.Left, h = (Rect.Bottom - Rect.Top) / 2;
  if (Src == nullptr || w <= 0 || h <= 0) return nullptr;
  TBitmap* Result = NewBitmap32(w, h);
  try {
    BitBlt(Result->Canvas()->Handle(), 0, 0, w, h, Src->Canvas()->Handle(), Rect.Left, Rect.Top, SRCCOPY);
    GdiFlush();
    const TPixelPlane D = PlaneOf(Result), S = PlaneOf(Src);
    HDC SrcDC = S.Empty() ? Src->Canvas()->Handle() : nullptr;
    for (int y = 0; y < h; ++y) {
      uint32_t* d = D.Row32(y);
      const int sy = Rect.Top + y + h;
      for (int x = 0; x < w; ++x) {
        const int sx = Rect.Left + x;
        uint32_t Red = 0;
        if (SrcDC != nullptr)
          Red = GetPixel(SrcDC, sx, sy) & 0xFF;  // COLORREF: red in byte 0
        else if (sx >= 0 && sy >= 0 && sx < S.Width && sy < S.Height)
          Red = Chan(S.At(sx, sy), 2);
        d[x] = (d[x] & 0x00FFFFFFu) | ((255 - Red) << 24);
      }
    }
  } catch (...) {
    Result->Free();
    throw;
  }
  return Result;
}

void CopyPixelChannel(TBitmap* Dst, TBitmap* Src, int Channel) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty() || D.Width != S.Width || D.Height != S.Height || Channel < 0 || Channel > 3) return;
  const uint32_t Mask = 0xFFu << (8 * Channel);
  for (int y = 0; y < D.Height; ++y) {
    uint32_t* d = D.Row32(y);
    uint32_t* s = S.Row32(y);
    for (int x = 0; x < D.Width; ++x) d[x] = (d[x] & ~Mask) | (s[x] & Mask);
  }
}

uint32_t WeightedColorMix(uint32_t C1, uint32_t C2, int W) {
  const uint32_t w = static_cast<uint32_t>(W) & 255;
  auto Ch = [&](int n) { return (Chan(C1, n) * w + Chan(C2, n) * (255 - w)) >> 8; };
  return Pack(Ch(0), Ch(1), Ch(2), Alpha(C1));
}
