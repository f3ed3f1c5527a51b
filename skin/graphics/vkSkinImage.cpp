#include "skin/graphics/vkSkinImage.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/Resample.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelMath.h"

using namespace vkpx;

TBitmap* MaskSourceBitmap(const TsMaskData& Mask) {
  if (Mask.Bmp != nullptr) return Mask.Bmp;
  return Mask.Manager != nullptr ? Mask.Manager->MasterBitmap() : nullptr;
}

int MaskBandOffset(const TsMaskData& Mask) {
  if (Mask.MaskType <= 0) return 0;
  return (Mask.R.Bottom - Mask.R.Top) / (Mask.MaskType + 1);
}

int MaskFrameIndex(const TsMaskData& Mask, int State) {
  return std::max(0, std::min<int>(State, Mask.ImageCount - 1));
}

namespace {

inline bool IsKey(uint32_t P) { return (P & 0x00FFFFFFu) == KeyPixel32; }
inline uint32_t Red(uint32_t P) { return Chan(P, 2); }

// ---- per-pixel rules of the masked pieces ----
inline uint32_t ThroughMask(uint32_t d, uint32_t s, uint32_t m) {
  return Pack(Mix(Chan(d, 0), Chan(s, 0), Chan(m, 0)), Mix(Chan(d, 1), Chan(s, 1), Chan(m, 1)),
              Mix(Chan(d, 2), Chan(s, 2), Chan(m, 2)), 255);
}
// Mask m keeps the destination by weight w (of 255); the alpha rises to at least 255 - m.
inline uint32_t RaiseAlpha(uint32_t d, uint32_t s, uint32_t w, uint32_t m) {
  const uint32_t a = std::max(Alpha(d), 255 - m);
  return Pack((Chan(d, 0) * w + Chan(s, 0) * (255 - w)) >> 8, (Chan(d, 1) * w + Chan(s, 1) * (255 - w)) >> 8,
              (Chan(d, 2) * w + Chan(s, 2) * (255 - w)) >> 8, a);
}
inline uint32_t WithLevel(uint32_t d, uint32_t s, uint32_t m, int Level) {
  return RaiseAlpha(d, s, 255 - ((((255 - m) * static_cast<uint32_t>(Level))) >> 8), m);
}

enum class StretchRule { Plain, Alpha, Level };

inline uint32_t StretchPixel(StretchRule Rule, uint32_t d, uint32_t s, uint32_t mp, int Level) {
  if (Rule == StretchRule::Plain) return ThroughMask(d, s, mp);
  const uint32_t m = Red(mp);
  if (m == 0) return s | 0xFF000000u;
  if (m == 255) return d;
  if (Rule == StretchRule::Alpha) return RaiseAlpha(d, s, std::min(m, Alpha(d)), m);
  return WithLevel(d, s, m, Level);
}

// A W x H work image in memory.
struct WorkImage {
  std::vector<uint32_t> Px;
  TPixelPlane Plane;
  WorkImage(int W, int H) : Px(static_cast<size_t>(W) * H) {
    Plane.Base = reinterpret_cast<uint8_t*>(Px.data());
    Plane.Stride = W * 4;
    Plane.Width = W;
    Plane.Height = H;
  }
};

// The system's COLORONCOLOR stretch: destination column x takes source column x * SrcW div W.
void StretchNearest(const TPixelPlane& S, int SrcX, int SrcY, int SrcW, int SrcH, const TPixelPlane& D) {
  for (int y = 0; y < D.Height; ++y) {
    const uint32_t* s = S.Row32(SrcY + y * SrcH / D.Height) + SrcX;
    uint32_t* d = D.Row32(y);
    for (int x = 0; x < D.Width; ++x) d[x] = s[x * SrcW / D.Width];
  }
}

// The plain copy of an unmasked stretched piece, by the same nearest rule, clipped to the destination as the
// tiles are: a rectangle reaching left of or above the bitmap keeps what lies inside it.
void StretchPlainClipped(const TRect& DstRect, const TRect& SrcRect, const TPixelPlane& D, const TPixelPlane& S) {
  const int W = DstRect.Width(), H = DstRect.Height(), SrcW = SrcRect.Width(), SrcH = SrcRect.Height();
  if (D.Empty() || S.Empty() || W < 1 || H < 1 || SrcW < 1 || SrcH < 1) return;
  if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > S.Width || SrcRect.Bottom > S.Height) return;
  const int x0 = std::max<int>(DstRect.Left, 0), x1 = std::min<int>(DstRect.Right, D.Width);
  const int y0 = std::max<int>(DstRect.Top, 0), y1 = std::min<int>(DstRect.Bottom, D.Height);
  for (int y = y0; y < y1; ++y) {
    const uint32_t* s = S.Row32(SrcRect.Top + (y - DstRect.Top) * SrcH / H) + SrcRect.Left;
    uint32_t* d = D.Row32(y);
    for (int x = x0; x < x1; ++x) d[x] = s[(x - DstRect.Left) * SrcW / W];
  }
}

// Filtered resampling from a copy at least 2 x 2 (a one-pixel line is doubled first).
void ResampleInto(const TPixelPlane& S, int SrcX, int SrcY, int SrcW, int SrcH, const TPixelPlane& D, int Filter) {
  WorkImage Copy(std::max(SrcW, 2), std::max(SrcH, 2));
  for (int y = 0; y < Copy.Plane.Height; ++y)
    for (int x = 0; x < Copy.Plane.Width; ++x)
      Copy.Plane.At(x, y) = S.At(SrcX + std::min(x, SrcW - 1), SrcY + std::min(y, SrcH - 1));
  ResamplePixels(Copy.Plane, D, Filter);
}

void StretchMasked(StretchRule Rule, int X, int Y, int W, int H, bool Smooth, int MaskOffset, TBitmap* Src,
                   TBitmap* Dst, int SrcX, int SrcY, int SrcW, int SrcH, int Level) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty() || X < 0 || Y < 0 || W < 1 || H < 1 || D.Width < 2 || D.Height < 2) return;
  if (SrcX < 0 || SrcY < 0 || SrcW < 1 || SrcH < 1) return;
  // The source must hold the piece and, with a mask, its mask rows too.
  if (SrcX + SrcW > S.Width || SrcY + SrcH + MaskOffset > S.Height) return;
  // Writing stops at the destination's right and bottom edges.
  const int cols = std::min(W, D.Width - X), rows = std::min(H, D.Height - Y);
  if (cols < 1 || rows < 1) return;
  WorkImage Img(W, H);
  if (MaskOffset == 0) {
    StretchNearest(S, SrcX, SrcY, SrcW, SrcH, Img.Plane);
    for (int y = 0; y < rows; ++y) std::copy_n(Img.Plane.Row32(y), cols, D.Row32(Y + y) + X);
    return;
  }
  if (Smooth && SrcW == 1 && SrcH == 1) {
    const uint32_t c = S.At(SrcX, SrcY), mp = S.At(SrcX, SrcY + MaskOffset);
    // A mask that keeps everything leaves the centre as it is, whatever the rule would round it to.
    if (Red(mp) == 255) return;
    for (int y = 0; y < rows; ++y) {
      uint32_t* d = D.Row32(Y + y) + X;
      for (int x = 0; x < cols; ++x) d[x] = StretchPixel(Rule, d[x], c, mp, Level);
    }
    return;
  }
  WorkImage Msk(W, H);
  const bool Filtered = ((SrcW > W && SrcH == H) || (SrcW == W && SrcH > H) || Smooth) && W >= 2 && H >= 2;
  if (Filtered) {
    ResampleInto(S, SrcX, SrcY, SrcW, SrcH, Img.Plane, rfMitchell);
    ResampleInto(S, SrcX, SrcY + MaskOffset, SrcW, SrcH, Msk.Plane,
                 Rule == StretchRule::Plain ? rfMitchell : rfHermite);
  } else {
    StretchNearest(S, SrcX, SrcY, SrcW, SrcH, Img.Plane);
    StretchNearest(S, SrcX, SrcY + MaskOffset, SrcW, SrcH, Msk.Plane);
  }
  for (int y = 0; y < rows; ++y) {
    uint32_t* d = D.Row32(Y + y) + X;
    const uint32_t *s = Img.Plane.Row32(y), *m = Msk.Plane.Row32(y);
    for (int x = 0; x < cols; ++x) d[x] = StretchPixel(Rule, d[x], s[x], m[x], Level);
  }
}

// Clipped rows and columns of a masked piece; rows whose mask row would leave the source are dropped.
PairClip ClipMaskedPiece(const TRect& DstRect, const TRect& SrcRect, const TPixelPlane& D, const TPixelPlane& S,
                         int MaskOffset) {
  PairClip C = ClipPair(DstRect, SrcRect, D, S);
  C.rows = std::min(C.rows, S.Height - MaskOffset - C.sy);
  return C;
}

// Every pixel pair of two rectangles (clipped to each other and both bitmaps; with a mask offset, rows whose
// mask row would leave the source are dropped). Fn(d, s, m, x, y) gets the destination pixel, the source and
// mask pixels and the destination point; m is the source pixel itself without a mask.
template <class F>
void WalkPiece(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src, int MaskOffset, F Fn) {
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  const PairClip C = ClipMaskedPiece(DstRect, SrcRect, D, S, MaskOffset);
  for (int r = 0; r < C.rows; ++r) {
    const int y = C.dy + r;
    const uint32_t *s = S.Row32(C.sy + r) + C.sx, *m = S.Row32(C.sy + r + MaskOffset) + C.sx;
    uint32_t* d = D.Row32(y) + C.dx;
    for (int c = 0; c < C.cols; ++c) Fn(d[c], s[c], m[c], C.dx + c, y);
  }
}

// The background pixel behind destination point (x, y), when the reference has one there.
inline bool BgPixel(const BgView& Bg, int x, int y, uint32_t& P) {
  const int bx = Bg.X + x, by = Bg.Y + y;
  if (!Bg.Ready || !Bg.Inside(bx, by)) return false;
  P = Bg.Plane.At(bx, by);
  return true;
}

// A keyed copy of a piece (rectangles of the same size, half-open): key pixels are skipped, or with FillKeyed
// filled from the background.
void KeyedCopy(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, TBitmap* Src, const TvkBgCacheRef& BgRef,
               bool FillKeyed) {
  if (SrcRect.Width() <= 0 || SrcRect.Height() <= 0) return;
  CopyKeyedWithBackground(Dst, Src, DstRect.Left, DstRect.Top,
                          TRect(SrcRect.Left, SrcRect.Top, SrcRect.Right - 1, SrcRect.Bottom - 1), KeyPixel32, BgRef,
                          FillKeyed);
}

template <class PixelRule>
void CopyMaskedPieceWith(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                         const TvkBgCacheRef& BgRef, TBitmap* Src, PixelRule Rule) {
  const BgView Bg = ViewOf(BgRef);
  const bool FromBg = Bg.Ready && !Bg.Plane.Empty();
  WalkPiece(DstRect, SrcRect, Dst, Src, MaskBandOffset(Mask), [&](uint32_t& d, uint32_t s, uint32_t m, int x, int y) {
    uint32_t P;
    if (!IsKey(s)) d = Rule(d, s, Red(m));
    else if (!FromBg) d &= 0x00FFFFFFu;
    else if (BgPixel(Bg, x, y, P)) d = P;
  });
}

// ---- the nine-part rule ----

// How one painter lays the three kinds of piece. Rectangles are destination and source, same size for
// corners and tiles (a tile may be cut by its destination).
struct PieceSet {
  std::function<void(const TRect&, const TRect&)> Corner;
  std::function<void(const TRect&, const TRect&)> Tile;
  std::function<void(const TRect&, const TRect&, bool)> Stretch;
};

// One tile: the source's top-left part that fits into Dst.
inline TRect CutTile(const TRect& Dst, const TRect& Src) {
  return TRect(Src.Left, Src.Top, Src.Left + std::min(Dst.Width(), Src.Width()),
               Src.Top + std::min(Dst.Height(), Src.Height()));
}

// A run along y (Vertical) or x: whole tiles from the start, the last one cut; nothing for a zero tile.
void TileRun(const PieceSet& P, const TRect& Dst, const TRect& Src, bool Vertical) {
  const int tile = Vertical ? Src.Height() : Src.Width();
  if (tile <= 0 || Src.Width() <= 0 || Src.Height() <= 0) return;
  int at = Vertical ? Dst.Top : Dst.Left;
  const int end = Vertical ? Dst.Bottom : Dst.Right;
  while (at < end) {
    const TRect Piece = Vertical ? TRect(Dst.Left, at, Dst.Right, std::min(end, at + tile))
                                 : TRect(at, Dst.Top, std::min(end, at + tile), Dst.Bottom);
    P.Tile(Piece, CutTile(Piece, Src));
    at += tile;
  }
}

void PaintRun(const PieceSet& P, bool Stretch, const TRect& Dst, const TRect& Src, bool Vertical) {
  if (Dst.Width() <= 0 || Dst.Height() <= 0 || Src.Width() <= 0 || Src.Height() <= 0) return;
  if (Stretch) P.Stretch(Dst, Src, false);
  else TileRun(P, Dst, Src, Vertical);
}

void PaintCentre(const PieceSet& P, bool Stretch, const TRect& Dst, const TRect& Src) {
  if (Dst.Width() <= 0 || Dst.Height() <= 0 || Src.Width() <= 0 || Src.Height() <= 0) return;
  if (Stretch) {
    P.Stretch(Dst, Src, true);
    return;
  }
  for (int y = Dst.Top; y < Dst.Bottom; y += Src.Height())
    TileRun(P, TRect(Dst.Left, y, Dst.Right, std::min(Dst.Bottom, y + Src.Height())), Src, false);
}

// Border widths shrunk to a rectangle too small for them; an odd excess comes off the right (bottom) one.
void FitBorders(int Extent, int& Near, int& Far) {
  const int d = Near + Far - Extent;
  if (d <= 0) return;
  Near = std::max(0, Near - d / 2);
  Far = std::max(0, Far - d / 2 - d % 2);
}

void PaintNineParts(TBitmap* Dst, const TRect& R, int State, const TsMaskData& Mask, const TRect* Caps,
                    const PieceSet& P) {
  if (State == 0 && (Mask.DrawMode & 2) != 0) return;
  if (R.Width() < 2 || R.Height() < 2 || Mask.Manager == nullptr || Dst == nullptr) return;
  int L = Mask.WL, T = Mask.WT, Rw = Mask.WR, B = Mask.WB;
  FitBorders(R.Width(), L, Rw);
  FitBorders(R.Height(), T, B);
  if (MaskSourceBitmap(Mask) == nullptr) return;
  const int SX = Mask.R.Left + MaskFrameIndex(Mask, State) * Mask.Width, SY = Mask.R.Top;
  const bool Stretch = (Mask.DrawMode & 1) != 0;
  const int CW = Mask.Width - L - Rw, CH = Mask.Height - T - B;
  if (CW < 0 || CH < 0) return;
  const int H = Mask.Height;
  // Side runs may be painted thinner, keeping their outer part.
  const int cl = Caps ? std::min(L, std::max(0, Caps->Left)) : L;
  const int ct = Caps ? std::min(T, std::max(0, Caps->Top)) : T;
  const int cr = Caps ? std::min(Rw, std::max(0, Caps->Right)) : Rw;
  const int cb = Caps ? std::min(B, std::max(0, Caps->Bottom)) : B;
  auto Corner = [&](int dx, int dy, int sx, int sy, int w, int h) {
    if (w > 0 && h > 0) P.Corner(Bounds(dx, dy, w, h), Bounds(sx, sy, w, h));
  };
  Corner(R.Left, R.Top, SX, SY, L, T);
  PaintRun(P, Stretch, TRect(R.Left, R.Top + T, R.Left + cl, R.Bottom - B), Bounds(SX, SY + T, cl, CH), true);
  PaintRun(P, Stretch, TRect(R.Left + L, R.Top, R.Right - Rw, R.Top + ct), Bounds(SX + L, SY, CW, ct), false);
  Corner(R.Left, R.Bottom - B, SX, SY + H - B, L, B);
  PaintRun(P, Stretch, TRect(R.Left + L, R.Bottom - cb, R.Right - Rw, R.Bottom), Bounds(SX + L, SY + H - cb, CW, cb),
           false);
  Corner(R.Right - Rw, R.Bottom - B, SX + L + CW, SY + H - B, Rw, B);
  Corner(R.Right - Rw, R.Top, SX + L + CW, SY, Rw, T);
  PaintRun(P, Stretch, TRect(R.Right - cr, R.Top + T, R.Right, R.Bottom - B),
           Bounds(SX + L + CW + Rw - cr, SY + T, cr, CH), true);
  if ((Mask.DrawMode & 4) != 0)
    PaintCentre(P, Stretch, TRect(R.Left + L, R.Top + T, R.Right - Rw, R.Bottom - B), Bounds(SX + L, SY + T, CW, CH));
}

// Keyed corners and plain sides of an element without a mask.
PieceSet UnmaskedPieces(TBitmap* Dst, TBitmap* Src, const TvkBgCacheRef& Bg, bool CornerBg) {
  PieceSet P;
  P.Corner = [=, &Bg](const TRect& D, const TRect& S) { KeyedCopy(D, S, Dst, Src, Bg, CornerBg); };
  P.Tile = [=](const TRect& D, const TRect& S) {
    const TPixelPlane DP = PlaneOf(Dst), SP = PlaneOf(Src);
    const PairClip C = ClipPair(D, S, DP, SP);
    for (int r = 0; r < C.rows; ++r) std::copy_n(SP.Row32(C.sy + r) + C.sx, C.cols, DP.Row32(C.dy + r) + C.dx);
  };
  P.Stretch = [=](const TRect& D, const TRect& S, bool) { StretchPlainClipped(D, S, PlaneOf(Dst), PlaneOf(Src)); };
  return P;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
void StretchMaskedPiece32(int X, int Y, int W, int H, bool Smooth, int MaskOffset, TBitmap* Src, TBitmap* Dst,
                          int SrcX, int SrcY, int SrcW, int SrcH) {
  StretchMasked(StretchRule::Plain, X, Y, W, H, Smooth, MaskOffset, Src, Dst, SrcX, SrcY, SrcW, SrcH, 255);
}

void StretchMaskedPieceAlpha32(int X, int Y, int W, int H, bool Smooth, int MaskOffset, TBitmap* Src,
                               TBitmap* Dst, int SrcX, int SrcY, int SrcW, int SrcH) {
  StretchMasked(StretchRule::Alpha, X, Y, W, H, Smooth, MaskOffset, Src, Dst, SrcX, SrcY, SrcW, SrcH, 255);
}

void StretchMaskedPieceLevel32(int X, int Y, int W, int H, bool Smooth, int MaskOffset, TBitmap* Src,
                               TBitmap* Dst, int SrcX, int SrcY, int SrcW, int SrcH, int Level) {
  StretchMasked(StretchRule::Level, X, Y, W, H, Smooth, MaskOffset, Src, Dst, SrcX, SrcY, SrcW, SrcH,
                std::clamp(Level, 0, 255));
}

void CopyMaskedPiece32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                       const TvkBgCacheRef& Bg, TBitmap* Src) {
  CopyMaskedPieceWith(DstRect, SrcRect, Dst, Mask, Bg, Src,
                      [](uint32_t d, uint32_t s, uint32_t m) { return RaiseAlpha(d, s, m, m); });
}

void CopyMaskedPieceLevel32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                            const TvkBgCacheRef& Bg, TBitmap* Src, int Level) {
  const int L = std::clamp(Level, 0, 255);
  CopyMaskedPieceWith(DstRect, SrcRect, Dst, Mask, Bg, Src,
                      [L](uint32_t d, uint32_t s, uint32_t m) { return WithLevel(d, s, m, L); });
}

void DrawSkinRect32(TBitmap* Dst, const TRect& R, const TvkBgCacheRef& Bg, bool UseBg, int State,
                    const TsMaskData& Mask) {
  TBitmap* Src = MaskSourceBitmap(Mask);
  const bool CornerBg = UseBg && Mask.CornerType >= 1;
  if (Mask.MaskType <= 0) {
    PaintNineParts(Dst, R, State, Mask, nullptr, UnmaskedPieces(Dst, Src, Bg, CornerBg));
    return;
  }
  const int Off = MaskBandOffset(Mask);
  const TvkBgCacheRef None;
  PieceSet P;
  // Corners take the background only where it is asked for; sides and the centre never.
  P.Corner = [&](const TRect& D, const TRect& S) {
    BlendImageThroughMask(D, S, Dst, Src, CornerBg ? Bg : None, CornerBg, Off);
  };
  P.Tile = [&](const TRect& D, const TRect& S) { BlendImageThroughMask(D, S, Dst, Src, None, false, Off); };
  P.Stretch = [&](const TRect& D, const TRect& S, bool Smooth) {
    StretchMaskedPiece32(D.Left, D.Top, D.Width(), D.Height(), Smooth, Off, Src, Dst, S.Left, S.Top, S.Width(),
                         S.Height());
  };
  PaintNineParts(Dst, R, State, Mask, nullptr, P);
}

void DrawSkinRectTransparent32(TBitmap* Dst, const TRect& R, const TvkBgCacheRef& Bg, int State,
                               const TsMaskData& Mask) {
  TBitmap* Src = MaskSourceBitmap(Mask);
  if (Mask.MaskType <= 0) {
    PaintNineParts(Dst, R, State, Mask, nullptr, UnmaskedPieces(Dst, Src, Bg, true));
    return;
  }
  const int Off = MaskBandOffset(Mask);
  const TvkBgCacheRef None;
  PieceSet P;
  P.Corner = [&](const TRect& D, const TRect& S) { CopyMaskedPiece32(D, S, Dst, Mask, Bg, Src); };
  P.Tile = [&](const TRect& D, const TRect& S) { CopyMaskedPiece32(D, S, Dst, Mask, None, Src); };
  P.Stretch = [&](const TRect& D, const TRect& S, bool Smooth) {
    StretchMaskedPieceAlpha32(D.Left, D.Top, D.Width(), D.Height(), Smooth, Off, Src, Dst, S.Left, S.Top, S.Width(),
                              S.Height());
  };
  PaintNineParts(Dst, R, State, Mask, nullptr, P);
}

void DrawSkinRectAlpha32(TBitmap* Dst, const TRect& R, const TvkBgCacheRef& Bg, int Level, const TRect& Caps,
                         int State, const TsMaskData& Mask) {
  TBitmap* Src = MaskSourceBitmap(Mask);
  if (Mask.MaskType <= 0) {
    PaintNineParts(Dst, R, State, Mask, &Caps, UnmaskedPieces(Dst, Src, Bg, true));
    return;
  }
  const int Off = MaskBandOffset(Mask);
  const TvkBgCacheRef None;
  PieceSet P;
  P.Corner = [&](const TRect& D, const TRect& S) { CopyMaskedPieceLevel32(D, S, Dst, Mask, Bg, Src, Level); };
  P.Tile = [&](const TRect& D, const TRect& S) { CopyMaskedPieceLevel32(D, S, Dst, Mask, None, Src, Level); };
  P.Stretch = [&](const TRect& D, const TRect& S, bool Smooth) {
    StretchMaskedPieceLevel32(D.Left, D.Top, D.Width(), D.Height(), Smooth, Off, Src, Dst, S.Left, S.Top, S.Width(),
                              S.Height(), Level);
  };
  PaintNineParts(Dst, R, State, Mask, &Caps, P);
}

// ---------------------------------------------------------------------------------------------------------
void CopyGlyphWithMask32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask, int Mode,
                         TBitmap* Src) {
  if (Dst == nullptr || Src == nullptr) return;
  if (Mask.MaskType <= 0) {
    KeyedCopy(DstRect, SrcRect, Dst, Src, {}, false);
    return;
  }
  if (Dst->PixelFormat() != pf32bit) return;
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(Src);
  if (D.Empty() || S.Empty()) return;
  const int Off = MaskBandOffset(Mask);
  const PairClip C = ClipMaskedPiece(DstRect, SrcRect, D, S, Off);
  for (int r = 0; r < C.rows; ++r) {
    const uint32_t *s = S.Row32(C.sy + r) + C.sx, *m = S.Row32(C.sy + r + Off) + C.sx;
    uint32_t* d = D.Row32(C.dy + r) + C.dx;
    for (int c = 0; c < C.cols; ++c) {
      const uint32_t mr = Red(m[c]);
      if (IsKey(s[c]) || mr > 254) continue;
      auto W = [&](int n) { return Mode == 1 ? Chan(m[c], n) : std::min<uint32_t>(Chan(m[c], n) + 100, 255); };
      const uint32_t a = Alpha(d[c]);
      d[c] = Pack(Mix(Chan(d[c], 0), Chan(s[c], 0), W(0)), Mix(Chan(d[c], 1), Chan(s[c], 1), W(1)),
                  Mix(Chan(d[c], 2), Chan(s[c], 2), W(2)), a + (((255 - a) * (255 - mr)) >> 8));
    }
  }
}

void DrawSkinGlyph32(TBitmap* Dst, TPoint P, int State, const TvkBgCacheRef& Bg, const TsMaskData& Mask, int Mode) {
  if (Dst == nullptr || Mask.Width <= 0 || Mask.Height <= 0) return;
  const int fx = MaskFrameIndex(Mask, State) * Mask.Width;
  const int dx = P.X < 0 ? -P.X : 0, dy = P.Y < 0 ? -P.Y : 0;
  const TRect Src(Mask.R.Left + fx + dx, Mask.R.Top + dy, Mask.R.Left + fx + Mask.Width, Mask.R.Top + Mask.Height);
  const TRect DstR(P.X + dx, P.Y + dy, P.X + Mask.Width, P.Y + Mask.Height);
  if (Src.Width() <= 0 || Src.Height() <= 0) return;
  if (Mask.Bmp != nullptr) {
    if (Mask.Bmp->Width() >= Mask.R.Right && Mask.Bmp->Height() >= Mask.R.Bottom)
      CopyGlyphWithMask32(DstR, Src, Dst, Mask, Mode, Mask.Bmp);
    return;
  }
  if (Mask.Manager == nullptr || Mask.ImageCount < 1) return;
  TBitmap* Master = Mask.Manager->MasterBitmap();
  if (Master == nullptr) return;
  if (Mask.MaskType >= 1) {
    CopyGlyphWithMask32(DstR, Src, Dst, Mask, Mode, Master);
  } else if (Mode == 1) {
    KeyedCopy(DstR, Src, Dst, Master, Bg, true);
  } else {
    // A half-transparent glyph: each colour byte (s * 128 + d * 127) shr 8, alpha kept.
    WalkPiece(DstR, Src, Dst, Master, 0, [](uint32_t& d, uint32_t s, uint32_t, int, int) {
      if (IsKey(s)) return;
      auto Ch = [&](int n) { return (Chan(s, n) * 128 + Chan(d, n) * 127) >> 8; };
      d = Pack(Ch(0), Ch(1), Ch(2), Alpha(d));
    });
  }
}
