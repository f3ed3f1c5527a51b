// Blur kernels and lines, the grey-mask glow and the quick blur.
#include <gtest/gtest.h>

#include <vector>

#include "PainterSkin.h"
#include "skin/graphics/vkTextGlow.h"

using namespace painter_test;

namespace {

std::vector<uint8_t> Blurred(std::vector<uint8_t> Line, double Radius) {
  TBlurKernel K;
  MakeBlurKernel(K, 1.0, 255.0, Radius);
  std::vector<uint8_t> Work(Line.size());
  BlurLine(Line.data(), static_cast<int>(Line.size()) - 1, K, Work.data());
  return Line;
}

// An 8-bit mask of W x H filled with V.
void FillMask(TBitmap* Mask, uint8_t V) {
  for (int y = 0; y < Mask->Height(); ++y)
    std::fill_n(static_cast<uint8_t*>(Mask->ScanLine(y)), Mask->Width(), V);
}

}  // namespace

TEST(TextGlow, KernelsAreTrimmedBoxes) {
  struct Case { double Radius; int Size; float Weight; };
  // Radius 5: weights 1 out to |j| = 5, the outermost pair trimmed: 9 weights of 1/9. Below 0.85 (and 0):
  // only the centre.
  const Case cases[] = {{5.0, 4, 1.0f / 9}, {1.0, 1, 1.0f / 3}, {0.8, 1, 1.0f}, {0.0, 1, 1.0f}};
  for (const Case& c : cases) {
    TBlurKernel K;
    MakeBlurKernel(K, 1.0, 255.0, c.Radius);
    EXPECT_EQ(K.Size, c.Size) << c.Radius;
    EXPECT_FLOAT_EQ(K.At(0), c.Weight) << c.Radius;
    float Sum = 0;
    for (int j = -K.Size; j <= K.Size; ++j) Sum += K.At(j);
    EXPECT_NEAR(Sum, 1.0f, 1e-6) << c.Radius;
  }
}

TEST(TextGlow, BlurLineSpreadsAndSmallRadiiKeepTheLine) {
  EXPECT_EQ(Blurred({0, 0, 0, 90, 0, 0, 0}, 1.0), (std::vector<uint8_t>{0, 0, 30, 30, 30, 0, 0}));
  EXPECT_EQ(Blurred({255, 0, 0}, 1.0), (std::vector<uint8_t>{170, 85, 0}));  // edges repeat their end value
  EXPECT_EQ(Blurred({0, 0, 200, 0}, 0.5), (std::vector<uint8_t>{0, 0, 200, 0}));
  EXPECT_EQ(Blurred({0, 0, 200, 0}, 0.0), (std::vector<uint8_t>{0, 0, 200, 0}));
}

TEST(TextGlow, GaussianBlurTouchesOnlyEightBitBitmaps) {
  auto B = MakeBy(6, 6, [](int x, int y) { return x == 3 && y == 3 ? 0xFFFFFFFFu : 0u; });
  GaussianBlur8(B.get(), 2.0);
  EXPECT_EQ(CountChanged(B.get(), 0), 1);
  Owned<TBitmap> G(new TBitmap());
  G->SetPixelFormat(pf8bit);
  G->SetSize(5, 5);
  FillMask(G.get(), 0);
  static_cast<uint8_t*>(G->ScanLine(2))[2] = 90;
  GaussianBlur8(G.get(), 1.0);
  EXPECT_EQ(static_cast<uint8_t*>(G->ScanLine(1))[1], 10);  // 90 / 3 / 3
  EXPECT_EQ(static_cast<uint8_t*>(G->ScanLine(2))[0], 0);
}

TEST(TextGlow, MaskIsDrawnOnceAndWeighsTheGlowColour) {
  auto Dst = Make32(40, 30, 0x00000000u);
  const TRect R(10, 10, 20, 16);  // grown by 2 + 4: 22 x 18 from (4, 4)
  TBitmap* Mask = nullptr;
  DrawTextGlow(Dst.get(), "X", R, Mask, 0x0000FF, 2, 15, DT_SINGLELINE);
  ASSERT_NE(Mask, nullptr);
  EXPECT_EQ(Mask->PixelFormat(), pf8bit);
  EXPECT_EQ(TSize(Mask->Width(), Mask->Height()), TSize(22, 18));
  EXPECT_EQ(At(Dst.get(), 4, 4), 0u);  // far from the text the mask is white
  // The same size again: the mask is used as it is, so a mask of 0 everywhere glows everywhere.
  FillMask(Mask, 0);
  DrawTextGlow(Dst.get(), "X", R, Mask, 0x0000FF, 2, 15, DT_SINGLELINE);
  EXPECT_EQ(At(Dst.get(), 4, 4), 0xFFFF0000u);  // mask 0: the glow colour, opaque
  EXPECT_EQ(At(Dst.get(), 25, 21), 0xFFFF0000u);
  EXPECT_EQ(At(Dst.get(), 3, 4), 0u);   // outside the grown rectangle
  EXPECT_EQ(At(Dst.get(), 26, 4), 0u);
  // Mask 255 keeps the destination; 128 mixes half-way.
  auto Dst2 = Make32(40, 30, 0x80204060u);
  FillMask(Mask, 255);
  static_cast<uint8_t*>(Mask->ScanLine(0))[0] = 128;
  DrawTextGlow(Dst2.get(), "X", R, Mask, 0x0000FF, 2, 15, DT_SINGLELINE);
  EXPECT_EQ(At(Dst2.get(), 5, 4), 0x80204060u);
  // alpha 128 + (127 * 127) shr 8 = 191; red (255 * 127 + 32 * 128) shr 8 = 142; green 64 * 128 shr 8 = 32.
  EXPECT_EQ(At(Dst2.get(), 4, 4), 0xBF8E2030u);
  Mask->Free();
}

TEST(TextGlow, QuickBlurSoftensEdgesAndLeavesImagesTooSmallToQuarter) {
  // 16 x 16, black left of x = 8 and white from it: the edge spreads, the far columns keep their colour.
  auto Edge = MakeBy(16, 16, [](int x, int) { return x < 8 ? 0xFF000000u : 0xFFFFFFFFu; });
  QuickBlurBitmap(Edge.get());
  int Between = 0;
  for (int x = 6; x < 10; ++x) {
    const uint32_t G = At(Edge.get(), x, 8) >> 8 & 0xFF;
    Between += G > 10 && G < 245;
  }
  EXPECT_GE(Between, 2) << "the edge is softened";
  EXPECT_LT(At(Edge.get(), 0, 8) & 0xFF, 10u);
  EXPECT_GT(At(Edge.get(), 15, 8) & 0xFF, 245u);
  // A quarter of 3 columns is none: the image is left as it was.
  auto Small = MakeBy(3, 12, [](int x, int y) { return 0xFF000000u | (x * 80) << 8 | y * 20; });
  QuickBlurBitmap(Small.get());
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 3; ++x) ASSERT_EQ(At(Small.get(), x, y), 0xFF000000u | (x * 80) << 8 | y * 20);
}

TEST(TextGlow, AGlowSizeNoBitmapCouldHoldPaintsAsTheLargestGlow) {
  // A skin may give a state any glow size up to 2^31 - 1; beyond 255 the blur reaches no farther.
  const TRect R(300, 280, 330, 296);
  auto Largest = Make32(640, 600, 0x00000000u);
  TBitmap* LargestMask = nullptr;
  DrawTextGlow(Largest.get(), "X", R, LargestMask, 0x0000FF, 255, 15, DT_SINGLELINE);
  for (int Size : {65536, 100000000, 2147483647}) {
    auto Dst = Make32(640, 600, 0x00000000u);
    TBitmap* Mask = nullptr;
    ASSERT_NO_THROW(DrawTextGlow(Dst.get(), "X", R, Mask, 0x0000FF, Size, 15, DT_SINGLELINE)) << Size;
    ASSERT_NE(Mask, nullptr) << Size;
    EXPECT_EQ(Mask->Width(), 30 + 2 * (255 + 4)) << Size;
    int Different = 0;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 640; ++x) Different += At(Dst.get(), x, y) != At(Largest.get(), x, y);
    EXPECT_EQ(Different, 0) << Size;
    EXPECT_GT(CountChanged(Dst.get(), 0), 0) << Size;
    Mask->Free();
  }
  LargestMask->Free();
}
