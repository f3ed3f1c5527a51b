#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "skin/graphics/Resample.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"
#include "tests/support/Dib32.h"

using testing_support::Dib32;

namespace {

// A DIB section's pixels as the resampler takes them.
TPixelPlane Plane(const Dib32& dib) {
  TPixelPlane p;
  p.Base = reinterpret_cast<uint8_t*>(dib.Row(0));
  p.Stride = dib.Height() > 1 ? static_cast<int>(reinterpret_cast<uint8_t*>(dib.Row(1)) - p.Base) : 0;
  p.Width = dib.Width();
  p.Height = dib.Height();
  return p;
}

int WeightSum(const TContributorList& l) {
  int s = 0;
  for (const TContributor& c : l.Items) s += c.Weight;
  return s;
}

}  // namespace

TEST(Resample, BoxEnlargingByTwoRepeatsEveryPixel) {
  Dib32 src(3, 2), dst(6, 4);
  const uint32_t colours[2][3] = {{0x11223344, 0x55667788, 0x99AABBCC}, {0xFF000000, 0x00FF0000, 0x0000FF00}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.Px(x, y) = colours[y][x];
  ResamplePixels(Plane(src), Plane(dst), rfBox);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.Px(x, y), colours[y / 2][x / 2]) << x << "," << y;
}

TEST(Resample, SourceOrTargetNarrowerThanTwoLeavesTargetUntouched) {
  Dib32 narrow(1, 5, 0xFF102030), dst(4, 4, 0x0BADF00D);
  ResamplePixels(Plane(narrow), Plane(dst), rfTriangle);
  EXPECT_EQ(dst.CountNot(0x0BADF00D), 0);
  Dib32 src(4, 4, 0xFF102030), low(4, 1, 0x0BADF00D);
  ResamplePixels(Plane(src), Plane(low), rfTriangle);
  EXPECT_EQ(low.CountNot(0x0BADF00D), 0);
}

TEST(Resample, TriangleWeightsSumToOneSoUniformStaysUniform) {
  // Enlarging samples the triangle at whole-pixel spacing, where its two weights add up to one.
  for (int srcSize : {7, 13, 40}) {
    for (int dstSize : {40, 41, 80, 97}) {
      TContributions list;
      BuildContributions(list, dstSize, srcSize, 4, rfTriangle);
      ASSERT_EQ(static_cast<int>(list.size()), dstSize);
      for (int i = 0; i < dstSize; ++i) EXPECT_NEAR(WeightSum(list[i]), 65536, 8) << srcSize << "->" << dstSize;
    }
  }
  Dib32 src(13, 9, 0x80C06020), dst(29, 20);
  ResamplePixels(Plane(src), Plane(dst), rfTriangle);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 29; ++x) {
      const uint32_t p = dst.Px(x, y);
      // Integer truncation of the 16.16 sums may take one off a channel, never more.
      for (int sh = 0; sh < 32; sh += 8)
        EXPECT_NEAR(static_cast<int>((p >> sh) & 0xFF), static_cast<int>((0x80C06020u >> sh) & 0xFF), 1);
    }
}

TEST(Resample, OvershootOfSharpFiltersIsClampedToByteRange) {
  // A hard black/white edge rings under Lanczos3 and Mitchell; the sums past 0..255 must clamp.
  for (int filter : {rfLanczos3, rfMitchell}) {
    TContributions list;
    BuildContributions(list, 17, 6, 4, filter);
    bool negative = false;
    for (auto& l : list)
      for (auto& c : l.Items) negative |= c.Weight < 0;
    EXPECT_TRUE(negative) << "filter " << filter << " should have negative lobes";
    Dib32 src(6, 2), dst(17, 2);
    for (int x = 0; x < 6; ++x) src.Px(x, 0) = src.Px(x, 1) = x < 3 ? 0x00000000 : 0xFFFFFFFF;
    ResamplePixels(Plane(src), Plane(dst), filter);
    bool sawBlack = false, sawWhite = false;
    for (int x = 0; x < 17; ++x) {
      sawBlack |= dst.Px(x, 0) == 0;
      sawWhite |= dst.Px(x, 0) == 0xFFFFFFFF;
    }
    EXPECT_TRUE(sawBlack);
    EXPECT_TRUE(sawWhite);
  }
  // Apply on a hand-made list: a sum above 255<<16 gives 255, a negative sum 0.
  TContributions list(2);
  list[0].Items = {{0, 2 * 65536}};
  list[1].Items = {{0, -65536}};
  const uint8_t src[4] = {200, 1, 0, 128};
  uint8_t dst[8] = {};
  ApplyContributions(4, 4, src, dst, list, 2);
  EXPECT_EQ(std::vector<uint8_t>(dst, dst + 8), (std::vector<uint8_t>{255, 2, 0, 255, 0, 0, 0, 0}));
}

TEST(Resample, MirroredIndexesStayInsideATwoPixelSource) {
  // Lanczos3 reaches three pixels out: mirroring index 4 of a 2-pixel source would give -1.
  TContributions list;
  BuildContributions(list, 9, 2, 4, rfLanczos3);
  for (auto& l : list)
    for (auto& c : l.Items) {
      EXPECT_GE(c.Offset, 0);
      EXPECT_LE(c.Offset, 4);
    }
  Dib32 src(2, 2, 0xFF808080), dst(9, 9);
  ResamplePixels(Plane(src), Plane(dst), rfLanczos3);
  EXPECT_NE(dst.Px(8, 8), 0u);
}

TEST(Resample, FilterShapesAtKnownPoints) {
  EXPECT_DOUBLE_EQ(ResampleFilterWeight(rfHermite, 0.5), 0.5);
  EXPECT_DOUBLE_EQ(ResampleFilterWeight(rfBell, 1.0), 0.125);
  EXPECT_DOUBLE_EQ(ResampleFilterWeight(rfBSpline, 0.0), 2.0 / 3.0);
  EXPECT_NEAR(ResampleFilterWeight(rfMitchell, 0.0), 8.0 / 9.0, 1e-12);
  EXPECT_NEAR(ResampleFilterWeight(rfMitchell, 1.0), 1.0 / 18.0, 1e-12);  // both pieces meet
  EXPECT_NEAR(ResampleFilterWeight(rfLanczos3, 0.5), std::sin(0.5) / (3.14159265358979 * 0.25), 1e-12);
  EXPECT_EQ(ResampleFilterWeight(7, 0.0), 0.0);
  EXPECT_EQ(ResampleFilterWeight(rfBox, -0.5), 0.0);
  EXPECT_EQ(ResampleFilterWeight(rfBox, 0.5), 1.0);
}

TEST(Resample, ShrinkingByHalfWithTriangleAveragesNeighbours) {
  // Scale 0.5, triangle width 2: destination 0 takes source 0 (and its mirror 1) by 1/2 and 1/4.
  TContributions list;
  BuildContributions(list, 2, 4, 4, rfTriangle);
  ASSERT_EQ(list[0].Items.size(), 3u);  // j = 1, 0, -1 (mirrored to 1)
  const int Want[3][2] = {{4, 16384}, {0, 32768}, {4, 16384}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list[0].Items[i].Offset, Want[i][0]) << i;
    EXPECT_EQ(list[0].Items[i].Weight, Want[i][1]) << i;
  }
}

TEST(Resample, BitmapsAreResizedInPlaceOrCopiedWhenTheSizeStays) {
  using namespace testing_support;
  BitmapPtr b = Bitmap32By(2, 2, [](int x, int y) {
    const uint32_t Pixels[4] = {0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10};
    return Pixels[2 * y + x];
  });
  ResampleBitmap32(b.get(), b.get(), 4, rfBox, 4);  // source and destination the same bitmap
  ASSERT_EQ(TSize(b->Width(), b->Height()), TSize(4, 4));
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0x01020304u);
  EXPECT_EQ(PixelAt(b.get(), 3, 3), 0x0D0E0F10u);
  EXPECT_EQ(PixelAt(b.get(), 2, 1), 0x05060708u);

  BitmapPtr copy = Bitmap32(7, 7, 0);
  ResampleBitmap32(b.get(), copy.get(), 4, rfLanczos3, 4);
  EXPECT_EQ(copy->Width(), 4);
  EXPECT_EQ(PixelAt(copy.get(), 3, 3), 0x0D0E0F10u);

  BitmapPtr untouched = Bitmap32(3, 3, 0x42);
  ResampleBitmap32(b.get(), untouched.get(), 1, rfBox, 5);
  ResampleBitmap32(b.get(), untouched.get(), 5, rfBox, 0);
  EXPECT_EQ(untouched->Width(), 3);
  EXPECT_EQ(PixelAt(untouched.get(), 2, 2), 0x42u);
}
