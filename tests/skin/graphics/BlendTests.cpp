// Level blends, keyed copies, tints, mask mixes and colour mixes.
#include <gtest/gtest.h>

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "tests/support/Bitmaps.h"
#include "tests/skin/graphics/BgRefs.h"

using namespace testing_support;

namespace {
BitmapPtr Gradient(int W, int H) { return Bitmap32By(W, H, [](int x, int y) { return Argb(0x80 + x, 10 * x, 10 * y, 7); }); }
}  // namespace

TEST(BlendBitmapInto, LevelZeroCopiesAllFourBytesInclusiveRectangle) {
  BitmapPtr Src = Gradient(4, 3);
  BitmapPtr Dst = Bitmap32(6, 6, 0x11111111);
  // (0, 0, 4, 3) over a 4 x 3 source covers exactly 4 x 3 pixels.
  BlendBitmapInto(Dst.get(), Src.get(), 0, TRect{0, 0, 4, 3}, TPoint{1, 2});
  EXPECT_EQ(12, CountChanged(Dst.get(), 0x11111111));
  EXPECT_EQ(PixelAt(Src.get(), 3, 2), PixelAt(Dst.get(), 4, 4));
  // Right and Bottom are inclusive inside a larger source: (0, 0, 1, 1) covers 2 x 2.
  BitmapPtr Dst2 = Bitmap32(6, 6, 0x11111111);
  BlendBitmapInto(Dst2.get(), Src.get(), 0, TRect{0, 0, 1, 1}, TPoint{0, 0});
  EXPECT_EQ(4, CountChanged(Dst2.get(), 0x11111111));
}

TEST(BlendBitmapInto, LevelMixesEveryByteAndEmptyRectanglesDrawNothing) {
  BitmapPtr Src = Bitmap32(2, 2, Argb(0, 0, 0, 0));
  BitmapPtr Dst = Bitmap32(2, 2, Argb(200, 200, 200, 200));
  // d = ((d - s) * 128 + s * 256) >> 8 = 100 in every byte.
  BlendBitmapInto(Dst.get(), Src.get(), 128, TRect{0, 0, 2, 2}, TPoint{0, 0});
  EXPECT_EQ(Argb(100, 100, 100, 100), PixelAt(Dst.get(), 1, 1));
  // Level is taken modulo 256: 256 acts as 0.
  BlendBitmapInto(Dst.get(), Src.get(), 256, TRect{0, 0, 2, 2}, TPoint{0, 0});
  EXPECT_EQ(0u, PixelAt(Dst.get(), 0, 0));
  BitmapPtr Dst2 = Bitmap32(10, 10, 0x55);
  BitmapPtr Big = Bitmap32(10, 10, 0);
  BlendBitmapInto(Dst2.get(), Big.get(), 0, TRect{2, 2, 2, 10}, TPoint{0, 0});
  BlendBitmapInto(Dst2.get(), Big.get(), 0, TRect{2, 5, 8, 5}, TPoint{0, 0});
  BlendBitmapInto(Dst2.get(), Big.get(), 0, TRect{0, 0, 3, 3}, TPoint{10, 0});
  EXPECT_EQ(0, CountChanged(Dst2.get(), 0x55));
}

TEST(BlendBitmapInto, NegativePointsShiftTheSource) {
  BitmapPtr Src = Gradient(4, 4);
  BitmapPtr Dst = Bitmap32(4, 4, 0);
  BlendBitmapInto(Dst.get(), Src.get(), 0, TRect{0, 0, 3, 3}, TPoint{-1, -2});
  // Destination (0, 0) shows source (1, 2); 3 x 2 pixels drawn.
  EXPECT_EQ(PixelAt(Src.get(), 1, 2), PixelAt(Dst.get(), 0, 0));
  EXPECT_EQ(6, CountChanged(Dst.get(), 0));
  // A negative source origin moves the destination point instead.
  BitmapPtr Dst2 = Bitmap32(4, 4, 0);
  BlendBitmapInto(Dst2.get(), Src.get(), 0, TRect{-1, 0, 1, 1}, TPoint{0, 0});
  EXPECT_EQ(PixelAt(Src.get(), 0, 0), PixelAt(Dst2.get(), 1, 0));
  EXPECT_EQ(PixelAt(Src.get(), 1, 1), PixelAt(Dst2.get(), 2, 1));
  EXPECT_EQ(4, CountChanged(Dst2.get(), 0));
}

TEST(AlphaBlendBitmapInto, BlendsColourAndAlpha) {
  BitmapPtr Src = Bitmap32(1, 1, Argb(128, 255, 0, 255));
  BitmapPtr Dst = Bitmap32(1, 1, Argb(64, 0, 255, 0));
  AlphaBlendBitmapInto(Dst.get(), Src.get(), TRect{0, 0, 1, 1}, TPoint{0, 0});
  // c: ((255 - 0) * 128) >> 8 = 127; ((0 - 255) * 128 + 255 * 256) >> 8 = 127 (32640 >> 8);
  // A: ((128 - 64) * 128 + 64 * 256) >> 8 = 96.
  EXPECT_EQ(Argb(96, 127, 127, 127), PixelAt(Dst.get(), 0, 0));
}

TEST(KeyedCopies, BlendCopyKeyedRectMixesByLevelAndSkipsKey) {
  // the key opaque: still the key
  BitmapPtr Src = Bitmap32By(3, 1, [](int x, int) { return x == 1 ? KeyPixel32 | 0xFF000000u : Argb(0x11, 255, 255, 255); });
  BitmapPtr Dst = Bitmap32(4, 2, Argb(0x22, 0, 0, 0));
  // Level 100: (255 * 155 + 0) >> 8 = 154; alpha kept.
  BlendCopyKeyedRect(Dst.get(), 1, 1, Src.get(), TRect{0, 0, 2, 0}, 100, KeyPixel32);
  EXPECT_EQ(Argb(0x22, 154, 154, 154), PixelAt(Dst.get(), 1, 1));
  EXPECT_EQ(Argb(0x22, 0, 0, 0), PixelAt(Dst.get(), 2, 1));
  EXPECT_EQ(Argb(0x22, 154, 154, 154), PixelAt(Dst.get(), 3, 1));
  EXPECT_EQ(2, CountChanged(Dst.get(), Argb(0x22, 0, 0, 0)));
  // A negative source left moves the destination point right by the same amount.
  BitmapPtr Dst2 = Bitmap32(4, 1, Argb(0x22, 0, 0, 0));
  BlendCopyKeyedRect(Dst2.get(), 0, 0, Src.get(), TRect{-2, 0, 0, 0}, 0, KeyPixel32);
  EXPECT_EQ(Argb(0x22, 254, 254, 254), PixelAt(Dst2.get(), 2, 0));  // level 0: 255 * 255 >> 8
  EXPECT_EQ(1, CountChanged(Dst2.get(), Argb(0x22, 0, 0, 0)));
  BlendCopyKeyedRect(Dst2.get(), 0, 0, Src.get(), TRect{0, 0, 0, 0}, 0, NoColor32);  // no key: white is mixed too
  EXPECT_EQ(Argb(0x22, 254, 254, 254), PixelAt(Dst2.get(), 0, 0));
}

TEST(KeyedCopies, CopyOpaqueNonKeyPixelsTakesAColourKey) {
  BitmapPtr Src = Bitmap32By(2, 2, [](int x, int y) { return x == y ? 0x00FF0000u : Argb(0, 1, 2, 3); });
  BitmapPtr Dst = Bitmap32(3, 3, 0);
  CopyOpaqueNonKeyPixels(Dst.get(), Src.get(), 1, 1, 0x0000FF);  // colour red = pixel 0x00FF0000
  EXPECT_EQ(0u, PixelAt(Dst.get(), 1, 1));
  EXPECT_EQ(Argb(255, 1, 2, 3), PixelAt(Dst.get(), 2, 1));
  EXPECT_EQ(2, CountChanged(Dst.get(), 0));
  // A negative offset drops the clipped start of the source.
  BitmapPtr Dst2 = Bitmap32(3, 3, 0);
  CopyOpaqueNonKeyPixels(Dst2.get(), Src.get(), -1, 0, 0x0000FF);
  EXPECT_EQ(Argb(255, 1, 2, 3), PixelAt(Dst2.get(), 0, 0));  // source (1, 0)
  EXPECT_EQ(0u, PixelAt(Dst2.get(), 0, 1));                // source (1, 1) is the key
  EXPECT_EQ(1, CountChanged(Dst2.get(), 0));
}

TEST(KeyedCopies, CopyKeyedWithBackgroundFillsKeysByCase) {
  BitmapPtr Src = Bitmap32By(2, 1, [](int x, int) { return x == 0 ? KeyPixel32 : Argb(0x10, 1, 2, 3); });
  BitmapPtr Bg = Bitmap32By(5, 5, [](int x, int y) { return Argb(0x44, x, y, 0x99); });
  const TvkBgCacheRef Ref = ReadyOn(Bg.get(), 1, 2);
  // Ready with fill: key pixel takes the background at (1 + 2, 2 + 1); the other copied whole.
  BitmapPtr Dst = Bitmap32(4, 2, 0);
  CopyKeyedWithBackground(Dst.get(), Src.get(), 2, 1, TRect{0, 0, 1, 0}, KeyPixel32, Ref, true);
  EXPECT_EQ(Argb(0x44, 3, 3, 0x99), PixelAt(Dst.get(), 2, 1));
  EXPECT_EQ(Argb(0x10, 1, 2, 3), PixelAt(Dst.get(), 3, 1));
  // Ready without fill: keys untouched.
  BitmapPtr Dst2 = Bitmap32(4, 2, 0);
  CopyKeyedWithBackground(Dst2.get(), Src.get(), 2, 1, TRect{0, 0, 1, 0}, KeyPixel32, Ref, false);
  EXPECT_EQ(0u, PixelAt(Dst2.get(), 2, 1));
  // Drawing into the background bitmap itself: non-key pixels made opaque.
  CopyKeyedWithBackground(Bg.get(), Src.get(), 0, 0, TRect{0, 0, 1, 0}, KeyPixel32, Ref, true);
  EXPECT_EQ(Argb(0x44, 0, 0, 0x99), PixelAt(Bg.get(), 0, 0));
  EXPECT_EQ(Argb(255, 1, 2, 3), PixelAt(Bg.get(), 1, 0));
  // Not Ready: with fill, keys take the fill colour in pixel order and keep their own alpha; without, they stay.
  BitmapPtr Dst3 = Bitmap32By(4, 2, [](int x, int) { return Argb(0x5A + x, 0, 0, 0); });
  CopyKeyedWithBackground(Dst3.get(), Src.get(), 1, 0, TRect{0, 0, 5, 5}, KeyPixel32, NotReady(0x00332211), true);
  EXPECT_EQ(Argb(0x5B, 0x11, 0x22, 0x33), PixelAt(Dst3.get(), 1, 0));
  EXPECT_EQ(Argb(0x10, 1, 2, 3), PixelAt(Dst3.get(), 2, 0));
  BitmapPtr Dst4 = Bitmap32(4, 2, 0);
  CopyKeyedWithBackground(Dst4.get(), Src.get(), 0, 0, TRect{0, 0, 5, 5}, KeyPixel32, NotReady(0x00332211), false);
  EXPECT_EQ(0u, PixelAt(Dst4.get(), 0, 0));
  EXPECT_EQ(1, CountChanged(Dst4.get(), 0));
  // Skin images may be opaque: the key colour with any alpha is the key.
  BitmapPtr Opaque = Bitmap32(1, 1, 0xFFFF00FFu);
  BitmapPtr Dst5 = Bitmap32(2, 2, 0);
  CopyKeyedWithBackground(Dst5.get(), Opaque.get(), 0, 0, TRect{0, 0, 0, 0}, KeyPixel32, Ref, true);
  EXPECT_EQ(Argb(0x44, 1, 2, 0x99), PixelAt(Dst5.get(), 0, 0));
}

TEST(KeyedCopies, CopyKeyedRectSkipsKeyAndClipsToDestination) {
  BitmapPtr Src = Bitmap32By(3, 3, [](int x, int) { return x == 0 ? KeyPixel32 : Argb(0x7, x, 0, 0); });
  BitmapPtr Dst = Bitmap32(2, 2, 0xABCDEF01);
  CopyKeyedRect(Dst.get(), Src.get(), 0, -1, TRect{0, 0, 9, 9}, 0xFF00FF, NotReady());
  EXPECT_EQ(0xABCDEF01u, PixelAt(Dst.get(), 0, 0));
  EXPECT_EQ(Argb(0x7, 1, 0, 0), PixelAt(Dst.get(), 1, 1));
  EXPECT_EQ(2, CountChanged(Dst.get(), 0xABCDEF01));
}

TEST(Tints, TintBitmapToColorLeavesKeyAndAlpha) {
  BitmapPtr B = Bitmap32By(2, 1, [](int x, int) { return x == 0 ? KeyPixel32 : Argb(0x3C, 200, 100, 0); });
  // w = 100: (d * 100 + col * 155) >> 8 with colour value red 0xFF (byte 2 of the pixel).
  TintBitmapToColor(B.get(), 100 + 256, 0x0000FF);
  EXPECT_EQ(KeyPixel32, PixelAt(B.get(), 0, 0));
  EXPECT_EQ(Argb(0x3C, (200 * 100 + 255 * 155) >> 8, (100 * 100) >> 8, 0), PixelAt(B.get(), 1, 0));
}

TEST(Tints, BlendTowardColorByMaskPerChannel) {
  BitmapPtr Dst = Bitmap32(1, 1, Argb(0x21, 200, 200, 200));
  BitmapPtr Mask = Bitmap32(1, 1, Argb(0, 255, 0, 128));  // red kept, green takes the colour, blue half
  BlendTowardColorByMask(Dst.get(), Mask.get(), 0x00000000);
  EXPECT_EQ(Argb(0x21, 199, 0, 100), PixelAt(Dst.get(), 0, 0));
  BitmapPtr Other = Bitmap32(2, 1, 0);
  BlendTowardColorByMask(Dst.get(), Other.get(), 0x00FFFFFF);  // sizes differ: nothing
  EXPECT_EQ(Argb(0x21, 199, 0, 100), PixelAt(Dst.get(), 0, 0));
}

TEST(Tints, MixBitmapsByWeightAndMask) {
  BitmapPtr A = Bitmap32(2, 1, Argb(0, 200, 200, 200));
  BitmapPtr B = Bitmap32(2, 1, Argb(0, 0, 0, 0));
  BitmapPtr Dst = Bitmap32(2, 1, Argb(0x99, 1, 1, 1));
  MixBitmapsByWeight(Dst.get(), A.get(), B.get(), nullptr, 64);  // 200 * 64 >> 8 = 50
  EXPECT_EQ(Argb(0x99, 50, 50, 50), PixelAt(Dst.get(), 1, 0));
  BitmapPtr Mask = Bitmap32(2, 1, Argb(0, 256 - 1, 128, 0));
  MixBitmapsByWeight(Dst.get(), A.get(), B.get(), Mask.get(), 0);
  EXPECT_EQ(Argb(0x99, 199, 100, 0), PixelAt(Dst.get(), 0, 0));
  BitmapPtr C = Bitmap32(3, 1, 0);
  BitmapPtr Dst2 = Bitmap32(2, 1, 0x77);
  MixBitmapsByWeight(Dst2.get(), A.get(), C.get(), nullptr, 256);
  EXPECT_EQ(0, CountChanged(Dst2.get(), 0x77));
}

TEST(Tints, AlphaOverByMaskHoldsBackByTheMaskRedByte) {
  BitmapPtr Src = Bitmap32(3, 1, Argb(200, 255, 255, 255));
  BitmapPtr Mask = Bitmap32By(3, 1, [](int x, int) {
    const uint32_t m[3] = {0, 255, 128};
    return Argb(0, m[x], 0, 0);
  });
  BitmapPtr Dst = Bitmap32(3, 1, Argb(0x12, 0, 0, 0));
  AlphaOverByMask(Dst.get(), Src.get(), Mask.get(), TRect{0, 0, 3, 1});
  EXPECT_EQ(Argb(0x12, 199, 199, 199), PixelAt(Dst.get(), 0, 0));  // 255 * 200 >> 8
  EXPECT_EQ(Argb(0x12, 0, 0, 0), PixelAt(Dst.get(), 1, 0));
  EXPECT_EQ(Argb(0x12, 98, 98, 98), PixelAt(Dst.get(), 2, 0));  // a = 127 * 200 >> 8 = 99; 255 * 99 >> 8 = 98
}

TEST(Tints, AlphaOverByMaskNeedsTheRectangleInside) {
  BitmapPtr Src = Bitmap32(3, 1, Argb(255, 255, 255, 255));
  BitmapPtr Mask = Bitmap32(3, 1, 0);
  BitmapPtr Dst = Bitmap32(3, 1, 0);
  AlphaOverByMask(Dst.get(), Src.get(), Mask.get(), TRect{0, 0, 4, 1});
  AlphaOverByMask(Dst.get(), Src.get(), Mask.get(), TRect{-1, 0, 2, 1});
  EXPECT_EQ(0, CountChanged(Dst.get(), 0));
}

TEST(Split, SplitImageWithMaskTakesAlphaFromTheLowerHalf) {
  BitmapPtr Src = Bitmap32By(2, 4, [](int x, int y) { return y < 2 ? Argb(0, 9, 8, 7) : Argb(0, 40 * x + 10 * y, 0, 0); });
  BitmapPtr Out(SplitImageWithMask(Src.get(), TRect{0, 0, 2, 4}));
  ASSERT_NE(nullptr, Out.get());
  EXPECT_EQ(TSize(2, 2), TSize(Out->Width(), Out->Height()));
  EXPECT_EQ(Argb(255 - 20, 9, 8, 7), PixelAt(Out.get(), 0, 0));
  EXPECT_EQ(Argb(255 - 70, 9, 8, 7), PixelAt(Out.get(), 1, 1));
  EXPECT_EQ(nullptr, SplitImageWithMask(Src.get(), TRect{0, 0, 2, 1}));
  EXPECT_EQ(nullptr, SplitImageWithMask(Src.get(), TRect{1, 0, 1, 4}));
}

TEST(Channels, CopyPixelChannelAndWeightedColorMix) {
  BitmapPtr Src = Bitmap32(2, 2, 0xAABBCCDD);
  BitmapPtr Dst = Bitmap32(2, 2, 0x11223344);
  CopyPixelChannel(Dst.get(), Src.get(), 3);
  EXPECT_EQ(0xAA223344u, PixelAt(Dst.get(), 1, 1));
  CopyPixelChannel(Dst.get(), Src.get(), 0);
  EXPECT_EQ(0xAA2233DDu, PixelAt(Dst.get(), 0, 0));
  // (C1 * w + C2 * (255 - w)) >> 8, w = W and 255; byte 3 from C1.
  // byte 0: 255 * 100 >> 8 = 0x63; byte 1: 255 * 255 >> 8 = 0xFE; byte 2: 255 * 155 >> 8 = 0x9A.
  EXPECT_EQ(0x7F9AFE63u, WeightedColorMix(0x7F00FFFF, 0x00FFFF00, 100));
  EXPECT_EQ(WeightedColorMix(0x00102030, 0x00405060, 7), WeightedColorMix(0x00102030, 0x00405060, 7 + 512));
}

TEST(Lighten, LightenRoundRectAreaTintsTheInsideMostAndTheEdgeLeast) {
  BitmapPtr Dst = Bitmap32(40, 30, Argb(255, 255, 255, 255));
  LightenRoundRectArea(Dst.get(), TRect{5, 5, 35, 25}, 50, 6, 4, 0x00000000);
  // Outside the rectangle: untouched.
  EXPECT_EQ(Argb(255, 255, 255, 255), PixelAt(Dst.get(), 4, 15));
  EXPECT_EQ(Argb(255, 255, 255, 255), PixelAt(Dst.get(), 35, 15));
  // Centre: the last grey, level 127: ((255 - 0) * 127) >> 8 = 126 toward black.
  EXPECT_EQ(126u, Channel(PixelAt(Dst.get(), 20, 15), 0));
  EXPECT_EQ(255u, Channel(PixelAt(Dst.get(), 20, 15), 3));
  // The edge stays nearly white (mask white keeps the destination up to 255/256).
  EXPECT_GE(Channel(PixelAt(Dst.get(), 20, 5), 0), 254u);
  EXPECT_LT(Channel(PixelAt(Dst.get(), 20, 15), 0), Channel(PixelAt(Dst.get(), 20, 7), 0));
}

TEST(Lighten, RingGreysRoundHalvesToEven) {
  // Percent 1 gives level 2; with 3 steps ring 1 is round(2 * 253 / 4) + 2 = round(126.5) + 2 = 128 (ties to even;
  // rounding half up would give 129). Toward black a mask grey m leaves 255 * m >> 8: 127.
  BitmapPtr Dst = Bitmap32(20, 20, Argb(255, 255, 255, 255));
  LightenRoundRectArea(Dst.get(), TRect{0, 0, 20, 20}, 1, 0, 3, 0x00000000);
  EXPECT_EQ(127u, Channel(PixelAt(Dst.get(), 10, 1), 0));
  // Ring 2: round(1 * 253 / 4) + 2 = 63 + 2 = 65 -> 64; the inside takes the level 2 -> 1.
  EXPECT_EQ(64u, Channel(PixelAt(Dst.get(), 10, 2), 0));
  EXPECT_EQ(1u, Channel(PixelAt(Dst.get(), 10, 10), 0));
  EXPECT_EQ(254u, Channel(PixelAt(Dst.get(), 10, 0), 0));  // the white outer ring
}
