#include "skin/graphics/NinePart.h"

#include <algorithm>

#include "skin/core/sSkinManager.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"

namespace {

// One piece: the source rectangle stretched over the destination one, or tiled with whole copies
// from the top-left and a cut last copy. An empty source piece draws nothing (tiling it would never
// advance).
void DrawPiece(HDC Dst, const RECT& D, HDC Src, const RECT& S, bool Stretch) {
  const int dw = D.right - D.left, dh = D.bottom - D.top;
  const int sw = S.right - S.left, sh = S.bottom - S.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (Stretch) {
    StretchBlt(Dst, D.left, D.top, dw, dh, Src, S.left, S.top, sw, sh, SRCCOPY);
    return;
  }
  for (int y = D.top; y < D.bottom; y += sh)
    for (int x = D.left; x < D.right; x += sw)
      BitBlt(Dst, x, y, std::min<int>(sw, D.right - x), std::min<int>(sh, D.bottom - y), Src, S.left, S.top, SRCCOPY);
}

bool SkinGlyphOrder(TBitmap* Glyph) {
  if (Glyph->PixelFormat() == pf4bit) return false;
  TsSkinManager* manager = TsSkinManager::DefaultManager();
  return manager && !manager->Options()->StdGlyphsOrder();
}

}  // namespace

void DrawNinePartImage(TBitmap* Dst, TBitmap* Src, const TRect& SrcRect, const TRect& DstRect, int LeftWidth,
                       int TopWidth, int RightWidth, int BottomWidth, bool StretchSides, bool StretchCentre,
                       bool DrawCentre) {
  if (!Dst || !Src || Dst->Empty() || Src->Empty()) return;
  HDC d = Dst->Canvas()->Handle();
  HDC s = Src->Canvas()->Handle();
  const int oldMode = SetStretchBltMode(d, COLORONCOLOR);
  const int l = LeftWidth, t = TopWidth, r = RightWidth, b = BottomWidth;
  const TRect& S = SrcRect;
  const TRect& D = DstRect;
  // Corners, unscaled.
  BitBlt(d, D.Left, D.Top, l, t, s, S.Left, S.Top, SRCCOPY);
  BitBlt(d, D.Right - r, D.Top, r, t, s, S.Right - r, S.Top, SRCCOPY);
  BitBlt(d, D.Left, D.Bottom - b, l, b, s, S.Left, S.Bottom - b, SRCCOPY);
  BitBlt(d, D.Right - r, D.Bottom - b, r, b, s, S.Right - r, S.Bottom - b, SRCCOPY);
  // Sides.
  DrawPiece(d, RECT{D.Left + l, D.Top, D.Right - r, D.Top + t}, s, RECT{S.Left + l, S.Top, S.Right - r, S.Top + t},
            StretchSides);
  DrawPiece(d, RECT{D.Left + l, D.Bottom - b, D.Right - r, D.Bottom}, s,
            RECT{S.Left + l, S.Bottom - b, S.Right - r, S.Bottom}, StretchSides);
  DrawPiece(d, RECT{D.Left, D.Top + t, D.Left + l, D.Bottom - b}, s,
            RECT{S.Left, S.Top + t, S.Left + l, S.Bottom - b}, StretchSides);
  DrawPiece(d, RECT{D.Right - r, D.Top + t, D.Right, D.Bottom - b}, s,
            RECT{S.Right - r, S.Top + t, S.Right, S.Bottom - b}, StretchSides);
  if (DrawCentre)
    DrawPiece(d, RECT{D.Left + l, D.Top + t, D.Right - r, D.Bottom - b}, s,
              RECT{S.Left + l, S.Top + t, S.Right - r, S.Bottom - b}, StretchCentre);
  SetStretchBltMode(d, oldMode);
  GdiFlush();
}

int GlyphFrameIndex(int State, bool Enabled, bool Pressed, int FrameCount, bool SkinOrder) {
  if (!Enabled || State == 0) return 0;
  switch (State) {
    case 1:
      return SkinOrder ? 1 : 0;
    case 2: {
      const int pressed = (Pressed ? 1 : 0) + 2;
      if (FrameCount > pressed) return pressed;
      return SkinOrder ? std::min(1, FrameCount - 1) : 0;
    }
    case 3:
      return FrameCount > 2 ? 2 : 0;
    default:
      return 0;
  }
}

void PaintStateGlyph(TBitmap* Glyph, TBitmap* Dst, const TRect& Rect, bool Reflected, bool Pressed, int BlendLevel,
                     int State, int /*DisabledKind*/, bool Enabled, int FrameCount) {
  if (!Glyph || !Dst || Glyph->Empty()) return;
  // A strip without frames is one frame (a count of 0 would divide by zero).
  if (FrameCount < 1) FrameCount = 1;
  TBitmap* work = new TBitmap();
  TFreeHolder<TBitmap> freeWork(work);
  work->Assign(Glyph);
  work->SetPixelFormat(pf32bit);
  const TPixelPlane strip = PlaneOf(work);
  if (strip.Empty()) return;

  TRect r = Rect;
  if (Reflected) {
    const int up = r.Height() / 8;
    r.Top -= up;
    r.Bottom -= up;
  }
  if (FrameCount == 1) State = 0;
  else if (State > 0) BlendLevel = 0;
  const int frame = std::min(GlyphFrameIndex(State, Enabled, Pressed, FrameCount, SkinGlyphOrder(Glyph)), FrameCount - 1);
  const int w = strip.Width / FrameCount;
  if (w < 1) return;
  const TRect frameRect(frame * w, 0, (frame + 1) * w - 1, strip.Height - 1);
  // The key is this pixel alpha included: an opaque magenta key stays out, and a glyph keyed by transparent
  // black keeps its opaque black.
  const uint32_t transparent = strip.At(frameRect.Left, strip.Height - 1);

  if (Enabled || BlendLevel == 0) {
    TvkBgCacheRef self;
    InitBgInfo(Dst, 0, 0, self);
    CopyKeyedRect(Dst, work, r.Left, r.Top, frameRect, SwapRedBlue(transparent), self);
  } else {
    BlendCopyKeyedRect(Dst, r.Left, r.Top, work, frameRect, static_cast<uint8_t>(BlendLevel), 0x00FF00FF);
  }
  if (Reflected) {
    const int down = r.Height();
    r.Top += down;
    r.Bottom += down;
    DrawKeyedReflection(Dst, work, TPoint(r.Left, r.Top), BlendLevel, SwapRedBlue(transparent), frameRect);
  }
}

void DrawKeyedReflection(TBitmap* Dst, TBitmap* Src, const TPoint& Point, int Transparency, uint32_t Key,
                         const TRect& SrcRect) {
  const TPixelPlane d = PlaneOf(Dst), s = PlaneOf(Src);
  if (d.Empty() || s.Empty()) return;
  const uint32_t key = SwapRedBlue(Key);  // NoColor32 is its own swap
  const int t = std::clamp(Transparency, 0, 100);
  const int rows = std::min((s.Height / 3) * 2, d.Height - Point.Y);  // n + 1
  if (rows < 1) return;
  const int n = rows - 1;
  const int fadeStep = 255 / rows;
  int f = 255;
  for (int i = 0; i <= n; ++i, f -= fadeStep) {
    // With a single row the fade has nowhere to go: that row is the faded-out end (level 0).
    const int level = n > 0 ? ((((n - i) * 255 / n) * f) >> 9) * (100 - t) / 100 : 0;
    const int dy = Point.Y + i, sy = SrcRect.Bottom - i;
    if (dy < 0 || dy >= d.Height || sy < 0 || sy >= s.Height || level == 0) continue;
    const uint32_t* srow = s.Row32(sy);
    uint32_t* drow = d.Row32(dy);
    for (int sx = std::max(SrcRect.Left, 0); sx <= SrcRect.Right && sx < s.Width; ++sx) {
      const int dx = Point.X + (sx - SrcRect.Left);
      if (dx < 0) continue;
      if (dx >= d.Width) break;
      const uint32_t sp = srow[sx];
      if (IsKeyPixel(sp, key)) continue;
      uint32_t dp = drow[dx];
      uint32_t out = dp & 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8) {
        const int sc = (sp >> sh) & 0xFF, dc = (dp >> sh) & 0xFF;
        out |= static_cast<uint32_t>((((sc - dc) * level + dc * 256) >> 8) & 0xFF) << sh;
      }
      drow[dx] = out;
    }
  }
}
