#include "skin/graphics/SmallDrawing.h"

#include <algorithm>

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"

namespace {

struct TFreeLater {
  TBitmap* Bmp;
  ~TFreeLater() {
    if (Bmp) Bmp->Free();
  }
};

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
  TFreeLater freeAlpha{alpha};
  alpha->SetPixelFormat(pf8bit);
  alpha->SetSize(Bmp->Width(), Bmp->Height());
  ChannelToBytes(Bmp, alpha, 3, true);
  TBitmap* stretched = new TBitmap();
  TFreeLater freeStretched{stretched};
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
  TFreeLater freeWork{work};
  BitBlt(work->Canvas()->Handle(), 0, 0, w, work->Height(), Canvas->Handle(), Rect.Left, Rect.Top, SRCCOPY);
  GdiFlush();
  const TvkBgCacheRef notReady;
  const TRect all(0, 0, w, h);
  if (w == Bmp->Width() && h == Bmp->Height()) {
    CompositeOverCache(all, all, work, Bmp, notReady, false, 0x1FFFFFFF, 0, Reflection);
  } else {
    TBitmap* stretched = NewStretchedBitmap32(Bmp, w, h);
    TFreeLater freeStretched{stretched};
    CompositeOverCache(all, all, work, stretched, notReady, false, 0x1FFFFFFF, 0, Reflection);
  }
  BitBlt(Canvas->Handle(), Rect.Left, Rect.Top, w, work->Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}
