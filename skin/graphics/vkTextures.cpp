#include "skin/graphics/vkTextures.h"

#include <algorithm>

#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkPixelMath.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinImage.h"

using namespace vkpx;

void BlendThroughMaskBitmap32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                              const TvkBgCacheRef& BgRef) {
  if (Mask.Manager == nullptr) return;
  // The element's own image when it has one, else the master bitmap.
  const TPixelPlane D = PlaneOf(Dst), S = PlaneOf(MaskSourceBitmap(Mask));
  if (D.Empty() || S.Empty()) return;
  const int Off = MaskBandOffset(Mask);
  PairClip C = ClipPair(DstRect, SrcRect, D, S);
  C.rows = std::min(C.rows, S.Height - Off - C.sy);
  if (C.Empty()) return;
  const BgView Bg = ViewOf(BgRef);
  const bool Fill = Bg.FillColor != KeyPixel32;
  const uint32_t FillPx = SwapRedBlue(Bg.FillColor);
  for (int r = 0; r < C.rows; ++r) {
    const int y = C.dy + r;
    const uint32_t *s = S.Row32(C.sy + r) + C.sx, *m = S.Row32(C.sy + r + Off) + C.sx;
    uint32_t* d = D.Row32(y) + C.dx;
    for (int c = 0; c < C.cols; ++c) {
      if ((s[c] & 0x00FFFFFFu) != KeyPixel32) {
        d[c] = Pack(Mix(Chan(d[c], 0), Chan(s[c], 0), Chan(m[c], 0)), Mix(Chan(d[c], 1), Chan(s[c], 1), Chan(m[c], 1)),
                    Mix(Chan(d[c], 2), Chan(s[c], 2), Chan(m[c], 2)), Alpha(d[c]));
      } else if (Fill) {
        d[c] = FillPx;
      } else if (Bg.Ready) {
        const int bx = Bg.X + C.dx + c, by = Bg.Y + y;
        if (bx >= Bg.Plane.Width) break;
        if (Bg.Inside(bx, by)) d[c] = Bg.Plane.At(bx, by);
      }
    }
  }
}

namespace {

// Rect's part from (x, y) on covered by the background: BgRef's bitmap at the same position plus (X, Y), or
// its fill colour. Without either the band keeps what it holds, as key pixels do: 0xFF00FF means no colour.
void CoverWithBackground(TBitmap* Bmp, const TRect& Band, const TvkBgCacheRef& BgRef) {
  if (Band.Width() <= 0 || Band.Height() <= 0) return;
  if (!BgRef.Ready) {
    if (BgRef.FillColor != KeyPixel32) FillRect32(Bmp, Band, BgRef.FillColor, 255);
    return;
  }
  const TPixelPlane D = PlaneOf(Bmp), B = PlaneOf(BgRef.Bmp);
  const TRect Src(BgRef.X + Band.Left, BgRef.Y + Band.Top, BgRef.X + Band.Right, BgRef.Y + Band.Bottom);
  const PairClip C = ClipPair(Band, Src, D, B);
  for (int r = 0; r < C.rows; ++r) std::copy_n(B.Row32(C.sy + r) + C.sx, C.cols, D.Row32(C.dy + r) + C.dx);
}

}  // namespace

void TileTexture32(TBitmap* Bmp, TRect& Rect, const TvkBgCacheRef& BgRef, int Mode, const TsMaskData& Entry) {
  if (Entry.Manager == nullptr || Bmp == nullptr || (Mode != tdTile && Mode != tdTileFullOverBg)) return;
  const int tw = Entry.Width, th = Entry.Height;
  // A tile of no size would never advance.
  if (tw <= 0 || th <= 0) return;
  const TRect Tile(Entry.R.Left, Entry.R.Top, Entry.R.Left + tw, Entry.R.Top + th);
  auto Lay = [&](int x, int y, int w, int h) {
    BlendThroughMaskBitmap32(TRect(x, y, x + w, y + h), TRect(Tile.Left, Tile.Top, Tile.Left + w, Tile.Top + h), Bmp,
                             Entry, BgRef);
  };
  if (Mode == tdTile) {
    // Every row and column, the last ones cut, so that all of Rect is really covered.
    for (int y = Rect.Top; y < Rect.Bottom; y += th)
      for (int x = Rect.Left; x < Rect.Right; x += tw) Lay(x, y, std::min(tw, Rect.Right - x), std::min(th, Rect.Bottom - y));
  } else {
    // Every whole tile, one that ends exactly on the edge included; the parent shows only where a tile would be cut.
    int xEnd = Rect.Left, yEnd = Rect.Top;
    while (yEnd + th <= Rect.Bottom) yEnd += th;
    while (xEnd + tw <= Rect.Right) xEnd += tw;
    for (int y = Rect.Top; y < yEnd; y += th)
      for (int x = Rect.Left; x < xEnd; x += tw) Lay(x, y, tw, th);
    CoverWithBackground(Bmp, TRect(xEnd, Rect.Top, Rect.Right, Rect.Bottom), BgRef);
    CoverWithBackground(Bmp, TRect(Rect.Left, yEnd, xEnd, Rect.Bottom), BgRef);
  }
  Rect = kNothingUncovered;
}

namespace {

struct CanvasBlit {
  HDC Dst, Src;
  int SX, SY, w, h;  // the texture in Src
  // One tile placed at (x, y), cut to Clip.
  void Tile(int x, int y, const TRect& Clip) const {
    const int l = std::max(x, Clip.Left), t = std::max(y, Clip.Top);
    const int r = std::min(x + w, Clip.Right), b = std::min(y + h, Clip.Bottom);
    if (r > l && b > t) BitBlt(Dst, l, t, r - l, b - t, Src, SX + l - x, SY + t - y, SRCCOPY);
  }
  // Tiles from Area's top-left, cut at its right and bottom.
  void TileArea(const TRect& Area) const {
    for (int y = Area.Top; y < Area.Bottom; y += h)
      for (int x = Area.Left; x < Area.Right; x += w) Tile(x, y, Area);
  }
  // The texture's (sx, sy, sw, sh) stretched over Area.
  void Stretch(const TRect& Area, int sx, int sy, int sw, int sh) const {
    if (Area.Width() > 0 && Area.Height() > 0)
      StretchBlt(Dst, Area.Left, Area.Top, Area.Width(), Area.Height(), Src, SX + sx, SY + sy, sw, sh, SRCCOPY);
  }
};

}  // namespace

void DrawTextureOnCanvas(TCanvas* Canvas, TRect& Rect, int Mode, const TsMaskData& Entry) {
  TBitmap* Image = MaskSourceBitmap(Entry);
  if (Canvas == nullptr || Image == nullptr) return;
  const int w = Entry.R.Width(), h = Entry.R.Height();
  if (w <= 0 || h <= 0) return;
  const TRect R = Rect;
  CanvasBlit B{Canvas->Handle(), Image->Canvas()->Handle(), Entry.R.Left, Entry.R.Top, w, h};
  const int OldMode = SetStretchBltMode(B.Dst, COLORONCOLOR);
  TRect Left = kNothingUncovered;
  switch (Mode) {
    case tdTile:
    case tdTileFullOverBg: B.TileArea(R); break;
    case tdStretch: B.Stretch(R, 0, 0, w, h); break;
    case tdTileTop:
      B.TileArea(TRect(R.Left, R.Top, R.Right, std::min(R.Bottom, R.Top + h)));
      Left = TRect(R.Left, R.Top + h, R.Right, R.Bottom);
      break;
    case tdTileLeft:
      B.TileArea(TRect(R.Left, R.Top, std::min(R.Right, R.Left + w), R.Bottom));
      Left = TRect(R.Left + w, R.Top, R.Right, R.Bottom);
      break;
    case tdStretchTop:
      B.Stretch(TRect(R.Left, R.Top, R.Right, std::min(R.Bottom, R.Top + h)), 0, 0, w, std::min(h, R.Height()));
      Left = TRect(R.Left, R.Top + h, R.Right, R.Bottom);
      break;
    case tdStretchLeft:
      B.Stretch(TRect(R.Left, R.Top, std::min(R.Right, R.Left + w), R.Bottom), 0, 0, std::min(w, R.Width()), h);
      Left = TRect(R.Left + w, R.Top, R.Right, R.Bottom);
      break;
    case tdTileBottom: {
      const TRect Band(R.Left, std::max(R.Top, R.Bottom - h), R.Right, R.Bottom);
      for (int x = R.Left; x < R.Right; x += w) B.Tile(x, R.Bottom - h, Band);
      Left = TRect(R.Left, R.Top, R.Right, R.Bottom - h);
      break;
    }
    case tdTileRight: {
      const TRect Band(std::max(R.Left, R.Right - w), R.Top, R.Right, R.Bottom);
      for (int y = R.Top; y < R.Bottom; y += h) B.Tile(R.Right - w, y, Band);
      Left = TRect(R.Left, R.Top, R.Right - w, R.Bottom);
      break;
    }
    case tdStretchRows:
      for (int y = R.Top; y < R.Bottom; y += h) {
        const int rh = std::min(h, R.Bottom - y);
        B.Stretch(TRect(R.Left, y, R.Right, y + rh), 0, 0, w, rh);
      }
      break;
    case tdStretchColumns:
      for (int x = R.Left; x < R.Right; x += w) {
        const int cw = std::min(w, R.Right - x);
        B.Stretch(TRect(x, R.Top, x + cw, R.Bottom), 0, 0, cw, h);
      }
      break;
    case tdTileFromBottomRight:
      for (int y = R.Bottom - h; y > R.Top - h; y -= h)
        for (int x = R.Right - w; x > R.Left - w; x -= w) B.Tile(x, y, R);
      break;
    default:
      Left = R;  // modes without a placement leave everything to the caller
      break;
  }
  SetStretchBltMode(B.Dst, OldMode);
  GdiFlush();
  // A band wider than the rectangle leaves nothing over.
  if (Left.Right != -1 && (Left.Width() <= 0 || Left.Height() <= 0)) Left = kNothingUncovered;
  Rect = Left;
}
