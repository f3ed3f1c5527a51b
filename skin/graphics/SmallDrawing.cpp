#include "skin/graphics/SmallDrawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/Rotation.h"

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"

namespace {

void StretchCopy(TBitmap* Dst, TBitmap* Src) {
  HDC dc = Dst->Canvas()->Handle();
  const int old = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 0, 0, Dst->Width(), Dst->Height(), Src->Canvas()->Handle(), 0, 0, Src->Width(), Src->Height(),
             SRCCOPY);
  SetStretchBltMode(dc, old);
  GdiFlush();
}

}  // namespace

void ChannelToBytes(TBitmap* Bmp32, TBitmap* Plane, int Channel, bool Extract) {
  const TPixelPlane p = PlaneOf(Bmp32);
  if (p.Empty() || !Plane || Plane->PixelFormat() != pf8bit || Channel < 0 || Channel > 3) return;
  const int w = std::min(p.Width, Plane->Width()), h = std::min(p.Height, Plane->Height());
  GdiFlush();
  for (int y = 0; y < h; ++y) {
    uint8_t* bytes = static_cast<uint8_t*>(Plane->ScanLine(y));
    uint8_t* row = p.Row(y) + Channel;
    for (int x = 0; x < w; ++x) {
      if (Extract)
        bytes[x] = row[4 * x];
      else
        row[4 * x] = bytes[x];
    }
  }
}

TBitmap* NewStretchedBitmap32(TBitmap* Bmp, int W, int H) {
  TBitmap* out = NewBitmap32(W, H);
  if (W < 1 || H < 1 || !Bmp || Bmp->Empty()) return out;
  StretchCopy(out, Bmp);
  // The alpha plane goes through an 8-bit grey bitmap stretched by the same rule.
  TBitmap* alpha = new TBitmap();
  TFreeHolder<TBitmap> freeAlpha(alpha);
  alpha->SetPixelFormat(pf8bit);
  alpha->SetSize(Bmp->Width(), Bmp->Height());
  ChannelToBytes(Bmp, alpha, 3, true);
  TBitmap* stretched = new TBitmap();
  TFreeHolder<TBitmap> freeStretched(stretched);
  stretched->SetPixelFormat(pf8bit);
  stretched->SetSize(W, H);
  StretchCopy(stretched, alpha);
  ChannelToBytes(out, stretched, 3, false);
  return out;
}

void StretchDrawBitmap32(TCanvas* Canvas, TBitmap* Bmp, const TRect& Rect, bool Reflection) {
  if (!Canvas || !Bmp || Bmp->Empty()) return;
  const int w = Rect.Width(), h = Rect.Height();
  if (w < 1 || h < 1) return;
  if (Bmp->PixelFormat() != pf32bit) {
    if (w == Bmp->Width() && h == Bmp->Height())
      Canvas->Draw(Rect.Left, Rect.Top, Bmp);
    else
      Canvas->StretchDraw(Rect, Bmp);
    return;
  }
  TBitmap* work = NewBitmap32(w, Reflection ? 2 * h : h);
  TFreeHolder<TBitmap> freeWork(work);
  BitBlt(work->Canvas()->Handle(), 0, 0, w, work->Height(), Canvas->Handle(), Rect.Left, Rect.Top, SRCCOPY);
  GdiFlush();
  const TvkBgCacheRef notReady;
  const TRect all(0, 0, w, h);
  if (w == Bmp->Width() && h == Bmp->Height()) {
    CompositeOverCache(all, all, work, Bmp, notReady, false, 0x1FFFFFFF, 0, Reflection);
  } else {
    TBitmap* stretched = NewStretchedBitmap32(Bmp, w, h);
    TFreeHolder<TBitmap> freeStretched(stretched);
    CompositeOverCache(all, all, work, stretched, notReady, false, 0x1FFFFFFF, 0, Reflection);
  }
  BitBlt(Canvas->Handle(), Rect.Left, Rect.Top, w, work->Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- arrows ----

namespace {

uint32_t PixelOfColor(uint32_t Color) {
  const uint32_t c = ColorToRGB(Color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Calls Put(x, y) for every pixel of the triangle whose origin (top-left of its box) is (X, Y).
template <class F> void ForEachArrowPixel(int X, int Y, int Direction, F Put) {
  for (int step = 0; step < ArrowGlyphDepth; ++step) {
    // Line `step` counted from the base: 7, 5, 3, 1 pixels.
    const int len = ArrowGlyphBase - 2 * step;
    for (int k = 0; k < len; ++k) {
      switch (Direction) {
        case adDown: Put(X + step + k, Y + step); break;
        case adUp: Put(X + step + k, Y + ArrowGlyphDepth - 1 - step); break;
        case adRight: Put(X + step, Y + step + k); break;
        default: Put(X + ArrowGlyphDepth - 1 - step, Y + step + k); break;  // adLeft
      }
    }
  }
}

void GlyphOrigin(const TRect& R, int Direction, int& X, int& Y) {
  const bool upright = Direction == adDown || Direction == adUp;
  const int w = upright ? ArrowGlyphBase : ArrowGlyphDepth, h = upright ? ArrowGlyphDepth : ArrowGlyphBase;
  X = R.Left + (R.Width() - w) / 2;
  Y = R.Top + (R.Height() - h) / 2;
}

}  // namespace

void PaintCanvasArrow(TCanvas* Canvas, uint32_t Color, const TRect& Rect, bool Vertical) {
  const int dir = Vertical ? adDown : adRight;
  int x, y;
  GlyphOrigin(Rect, dir, x, y);
  ForEachArrowPixel(x, y, dir, [&](int px, int py) { Canvas->SetPixels(px, py, Color); });
}

void PaintArrowPixels32(TBitmap* Bmp, uint32_t Color, const TRect& Rect, int Direction) {
  const TPixelPlane p = PlaneOf(Bmp);
  if (p.Empty()) return;
  const uint32_t pixel = PixelOfColor(Color);
  int x, y;
  GlyphOrigin(Rect, Direction, x, y);
  ForEachArrowPixel(x, y, Direction, [&](int px, int py) {
    if (px >= 0 && py >= 0 && px < p.Width && py < p.Height) p.At(px, py) = pixel;
  });
}

TBitmap* PaintArrowGlyph(uint32_t Color, uint32_t FillPixel, bool HasFill, int Style, int Size, int Thickness,
                         bool OddWidth) {
  const bool lines = Style == 1 || Style == 3;
  const int S = Size, T = Thickness, m = std::max(1, T / 2), O = OddWidth ? 1 : 0;
  int H = (Style == 2 || Style == 3) ? S - S / 2 : S;
  int W = 2 * S + O;
  if (lines) {
    H += T + m;
    W += T;
  } else {
    H += O;
  }
  const int P = W % 2;
  POINT pts[4];
  if (lines) {
    pts[0] = {m, m};
    pts[1] = {S + m, H - T};
    pts[2] = {pts[1].x - T / 2 + P, pts[1].y};
    pts[3] = {pts[2].x + S, m};
  } else {
    pts[0] = {0, 0};
    pts[1] = {W / 2 - 1 + P, H - 1};
    pts[2] = {W / 2, H - 1};
    pts[3] = {W - 1, 0};
  }
  TBitmap* glyph = NewBitmap32(W, H);
  const TPixelPlane g = PlaneOf(glyph);
  if (g.Empty()) return glyph;
  for (int y = 0; y < H; ++y) std::fill_n(g.Row32(y), W, 0x00FFFFFFu);
  if (HasFill) {
    TCanvas* c = glyph->Canvas();
    c->Brush()->SetColor(clBlack);
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetColor(clBlack);
    const TPoint corners[4] = {pts[0], pts[1], pts[2], pts[3]};
    c->Polygon(corners, 4);
    GdiFlush();
    // Black polygon coverage becomes the fill colour's alpha.
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const uint32_t v = g.At(x, y);
        const int sum = static_cast<int>((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF));
        if (sum != 765)
          g.At(x, y) = (FillPixel & 0x00FFFFFFu) | (static_cast<uint32_t>(255 - sum / 3) << 24);
        else
          g.At(x, y) = 0x00FFFFFFu;
      }
  }
  if (T >= 1) {
    HDC dc = glyph->Canvas()->Handle();
    GdipDrawLineSmooth(dc, Color, static_cast<float>(T), static_cast<float>(pts[0].x), static_cast<float>(pts[0].y),
                       static_cast<float>(pts[1].x), static_cast<float>(pts[1].y));
    GdipDrawLineSmooth(dc, Color, static_cast<float>(T), static_cast<float>(pts[2].x), static_cast<float>(pts[2].y),
                       static_cast<float>(pts[3].x), static_cast<float>(pts[3].y));
    GdiFlush();
  }
  return glyph;
}

void PaintStyledArrow(TBitmap* Bmp, uint32_t Color, uint32_t DisabledColor, int Style, int Size, double Angle,
                      int /*Thickness*/, int Direction, const TRect& Rect) {
  if (!Bmp || Bmp->Empty()) return;
  const bool lines = Style == 1 || Style == 3;
  int size = Size == 0 ? 5 : Size;
  const int thickness = lines ? 2 : 1;
  bool hasFill = true;
  uint32_t fill = 0;
  if (lines) {
    hasFill = DisabledColor != 0x1FFFFFFF;
    if (hasFill) fill = PixelOfColor(DisabledColor);
  } else {
    fill = PixelOfColor(Color);
  }
  if (Style == 0 || Style == 2) --size;
  if (Style == 2 && Rect.Width() % 2 == 0) ++size;
  const uint32_t lineColor = ColorToRGB(Color);

  TBitmap* glyph = PaintArrowGlyph(lineColor, fill, hasFill, Style, size, thickness, Rect.Width() % 2 != 0);
  switch (Direction) {
    case adLeft: glyph = RotateBitmapBits(glyph, 90, true); break;
    case adRight: glyph = RotateBitmapBits(glyph, 270, true); break;
    case adUp: {
      const TPixelPlane g = PlaneOf(glyph);
      for (int y = 0; y < g.Height / 2; ++y) std::swap_ranges(g.Row32(y), g.Row32(y) + g.Width, g.Row32(g.Height - 1 - y));
      break;
    }
    default: break;
  }
  if (!glyph) return;
  TFreeHolder<TBitmap> freeGlyph(glyph);
  const TPoint at(Rect.Left + (Rect.Width() - glyph->Width()) / 2, Rect.Top + (Rect.Height() - glyph->Height()) / 2);
  AlphaBlendBitmapInto(Bmp, glyph, TRect(0, 0, glyph->Width(), glyph->Height()), at);

  if (Angle != 0 && Rect.Width() > 0 && Rect.Height() > 0) {
    // Only the arrow's rectangle turns: the rest of the bitmap belongs to others.
    TBitmap* copy = NewBitmap32(Rect.Width(), Rect.Height());
    TFreeHolder<TBitmap> freeCopy(copy);
    HDC dc = Bmp->Canvas()->Handle();
    BitBlt(copy->Canvas()->Handle(), 0, 0, Rect.Width(), Rect.Height(), dc, Rect.Left, Rect.Top, SRCCOPY);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    const TPoint centre(Rect.Left + Rect.Width() / 2, Rect.Top + Rect.Height() / 2);
    DrawRotatedBitmap(dc, copy, centre, static_cast<int>(std::nearbyint(Angle)) - 90);
    RestoreDC(dc, saved);
    GdiFlush();
  }
}

// ---- check-box cells ----

int CheckBoxCellWidth = 0;
int CheckBoxCellHeight = 0;

void MeasureCheckBoxCells() {
  constexpr int kCheckBoxesBitmap = 32759;
  HBITMAP bmp = LoadBitmapA(nullptr, MAKEINTRESOURCEA(kCheckBoxesBitmap));
  if (!bmp) return;
  BITMAP info{};
  if (GetObjectA(bmp, sizeof info, &info)) {
    CheckBoxCellWidth = info.bmWidth / 4;
    CheckBoxCellHeight = info.bmHeight / 3;
  }
  DeleteObject(bmp);
}

// ---- icons ----

HICON MakeIconFromBitmap(TBitmap* Bmp, uint32_t BackColor) {
  if (!Bmp || Bmp->Empty()) return nullptr;
  const int w = Bmp->Width(), h = Bmp->Height();
  TBitmap* colour = NewBitmap32(w, h);
  TFreeHolder<TBitmap> freeColour(colour);
  const TPixelPlane c = PlaneOf(colour);
  const uint32_t back = PixelOfColor(BackColor) & 0x00FFFFFFu;
  for (int y = 0; y < h; ++y) std::fill_n(c.Row32(y), w, back);
  StretchDrawBitmap32(colour->Canvas(), Bmp, TRect(0, 0, w, h), false);
  GdiFlush();

  // Transparent pixels of the source, read in 32 bits whatever its format.
  const bool source32 = Bmp->PixelFormat() == pf32bit;
  TBitmap* probe = nullptr;
  if (!source32) {
    probe = new TBitmap();
    probe->Assign(Bmp);
    probe->SetPixelFormat(pf32bit);
  }
  TFreeHolder<TBitmap> freeProbe(probe);
  const TPixelPlane s = PlaneOf(source32 ? Bmp : probe);

  const int maskStride = ((w + 15) / 16) * 2;
  std::vector<uint8_t> mask(static_cast<size_t>(maskStride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t v = s.At(x, y);
      const bool transparent = source32 ? (v >> 24) == 0 : (v & 0x00FFFFFFu) == 0x00FF00FFu;
      if (transparent) {
        mask[static_cast<size_t>(y) * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        // Where the mask shows the screen the colour image must be black, or it would be XORed on.
        c.At(x, y) = 0;
      }
    }
  HBITMAP maskBmp = GdiNewBitmap(w, h, 1, 1, mask.data());
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = maskBmp;
  info.hbmColor = colour->Handle();
  HICON icon = GdiNewIconIndirect(&info);
  GdiFreeObject(maskBmp);
  return icon;
}
