#include "skin/graphics/vkTextGlow.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSkinText.h"

void MakeBlurKernel(TBlurKernel& Kernel, double MaxData, double Granularity, double Radius) {
  Kernel = TBlurKernel{};
  if (!(Radius > 0)) {
    // A zero radius would divide by zero; it means no blur.
    Kernel.W[16] = 1;
    return;
  }
  double Sum = 0;
  for (int j = -16; j <= 16; ++j) {
    const double q = j / Radius;
    Kernel.W[j + 16] = static_cast<float>(std::nearbyint(std::exp(-q * q / 2)));
    Sum += Kernel.W[j + 16];
  }
  for (float& w : Kernel.W) w = static_cast<float>(w / Sum);
  int n = 16;
  double Acc = 0;
  const double Threshold = MaxData / (2 * Granularity);
  while (Acc < Threshold && n > 1) {
    Acc += 2 * Kernel.W[n + 16];
    --n;
  }
  Sum = 0;
  for (int j = -n; j <= n; ++j) Sum += Kernel.W[j + 16];
  for (int j = -n; j <= n; ++j) Kernel.W[j + 16] = static_cast<float>(Kernel.W[j + 16] / Sum);
  Kernel.Size = n;
}

void BlurLine(uint8_t* Src, int HighIndex, const TBlurKernel& Kernel, uint8_t* Work) {
  const int n = Kernel.Size;
  for (int i = 0; i <= HighIndex; ++i) {
    double s = 0;
    for (int j = -n; j <= n; ++j) s += Src[std::clamp(i + j, 0, HighIndex)] * static_cast<double>(Kernel.At(j));
    Work[i] = s >= 255 ? 255 : s < 0 ? 0 : static_cast<uint8_t>(std::nearbyint(s));
  }
  std::copy_n(Work, HighIndex + 1, Src);
}

void GaussianBlur8(TBitmap* Bitmap, double Radius) {
  if (Bitmap == nullptr || Bitmap->PixelFormat() != pf8bit || Bitmap->Empty()) return;
  TBlurKernel K;
  MakeBlurKernel(K, 1.0, 255.0, Radius);
  const int W = Bitmap->Width(), H = Bitmap->Height();
  std::vector<uint8_t> Work(std::max(W, H)), Line(H);
  for (int y = 0; y < H; ++y) BlurLine(static_cast<uint8_t*>(Bitmap->ScanLine(y)), W - 1, K, Work.data());
  std::vector<uint8_t*> Rows(H);
  for (int y = 0; y < H; ++y) Rows[y] = static_cast<uint8_t*>(Bitmap->ScanLine(y));
  for (int x = 0; x < W; ++x) {
    for (int y = 0; y < H; ++y) Line[y] = Rows[y][x];
    BlurLine(Line.data(), H - 1, K, Work.data());
    for (int y = 0; y < H; ++y) Rows[y][x] = Line[y];
  }
}

namespace {

// The caption black on white into the mask at its place inside the grown rectangle.
void DrawGlowMask(TBitmap* Mask, TCanvas* Source, const std::string& Text, const TRect& Rect, int Margin, int Sides,
                  UINT Flags) {
  TCanvas* C = Mask->Canvas();
  C->Font()->Assign(Source->Font());
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clWhite);
  C->FillRect(TRect(0, 0, Mask->Width(), Mask->Height()));
  C->Brush()->SetStyle(bsClear);
  TCanvasTextScope S(C);
  SetBkMode(S.DC(), TRANSPARENT);
  SetTextColor(S.DC(), 0);
  const TRect At(Margin, Margin, Margin + Rect.Width(), Margin + Rect.Height());
  const int Dx[4] = {-1, 0, 1, 0}, Dy[4] = {0, -1, 0, 1};
  for (int i = 0; i < 4; ++i)
    if (Sides & (1 << i)) {
      TRect R(At.Left + Dx[i], At.Top + Dy[i], At.Right + Dx[i], At.Bottom + Dy[i]);
      DrawStringOnDC(S.DC(), Text, R, Flags);
    }
  TRect R = At;
  DrawStringOnDC(S.DC(), Text, R, Flags);
  GdiFlush();
}

}  // namespace

void DrawTextGlow(TBitmap* Dst, const std::string& Text, const TRect& Rect, TBitmap*& MaskBmp, uint32_t Color,
                  int GlowSize, int Sides, UINT Flags) {
  if (Dst == nullptr) return;
  GlowSize = std::clamp(GlowSize, 0, kMaxGlowSize);
  const int Margin = GlowSize + 4;
  const int W = Rect.Width() + 2 * Margin, H = Rect.Height() + 2 * Margin;
  if (W < 1 || H < 1) return;
  if (MaskBmp == nullptr || MaskBmp->Width() != W || MaskBmp->Height() != H) {
    if (MaskBmp == nullptr) MaskBmp = new TBitmap();
    MaskBmp->SetPixelFormat(pf8bit);
    MaskBmp->SetSize(W, H);
    DrawGlowMask(MaskBmp, Dst->Canvas(), Text, Rect, Margin, Sides, Flags);
    GaussianBlur8(MaskBmp, GlowSize);
  }
  const TPixelPlane D = PlaneOf(Dst);
  if (D.Empty() || MaskBmp->PixelFormat() != pf8bit) return;
  const uint32_t CR = Color & 0xFF, CG = (Color >> 8) & 0xFF, CB = (Color >> 16) & 0xFF;
  for (int y = 0; y < H; ++y) {
    const int dy = Rect.Top + y - Margin;
    if (dy < 0 || dy >= D.Height) continue;
    const uint8_t* m = static_cast<const uint8_t*>(MaskBmp->ScanLine(y));
    uint32_t* d = D.Row32(dy);
    for (int x = 0; x < W; ++x) {
      const int dx = Rect.Left + x - Margin;
      if (m[x] == 255 || dx < 0 || dx >= D.Width) continue;
      // Weights out of 256, so that a mask of 0 gives the glow colour and alpha 255 exactly.
      const uint32_t k = (255 - m[x]) + ((255 - m[x]) >> 7), mv = 256 - k, p = d[dx];
      const uint32_t A = p >> 24;
      d[dx] = ((A + (((255 - A) * k) >> 8)) << 24) | (((CR * k + ((p >> 16) & 0xFF) * mv) >> 8) << 16) |
              (((CG * k + ((p >> 8) & 0xFF) * mv) >> 8) << 8) | ((CB * k + (p & 0xFF) * mv) >> 8);
    }
  }
}

void QuickBlurBitmap(TBitmap* Bitmap) {
  if (Bitmap == nullptr) return;
  const int W = Bitmap->Width() / 4, H = Bitmap->Height() / 4;
  // A quarter of nothing cannot be scaled back: small images stay as they are.
  if (W < 1 || H < 1) return;
  TFreeHolder<TBitmap> Small(NewBitmap32(W, H));
  GdipStretchBitmap(Small.get(), Bitmap, 0, 0, Bitmap->Width(), Bitmap->Height());
  GdipStretchBitmap(Bitmap, Small.get(), 0, 0, W, H);
}
