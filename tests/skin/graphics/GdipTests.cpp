#include <gtest/gtest.h>

#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

namespace {
struct EntrySaver {
  TGdipEntries saved = GdipEntries();
  ~EntrySaver() { GdipEntries() = saved; }
};
constexpr uint32_t kBack = 0x00102030;
}  // namespace

TEST(Gdip, AlphaIsLiftedOnEntryAndRestoredWithoutGoingNegative) {
  EXPECT_EQ(GdipEntryAlpha(255), 254);
  EXPECT_EQ(GdipEntryAlpha(0), 127);
  EXPECT_EQ(GdipRestoredAlpha(254), 254);
  EXPECT_EQ(GdipRestoredAlpha(127), 0);
  EXPECT_EQ(GdipRestoredAlpha(100), 0);  // 2*100+1-255 would be -54
  EXPECT_EQ(GdipRestoredAlpha(255), 255);
  // Premultiplied colour 100 at alpha 200 comes back as 100*256/200 = 128.
  EXPECT_EQ(GdipRestorePixel(0xC8646464), 0x92808080u);  // alpha 2*200+1-255
  EXPECT_EQ(GdipRestorePixel(0x00123456), 0x00123456u);  // alpha 0 is left alone
  EXPECT_EQ(GdipRestorePixel(0x01FFFFFF) & 0xFFFFFF, 0xFFFFFFu);  // capped at 255
}

TEST(Gdip, StretchBitmapKeepsOpaqueAndTransparentPixels) {
  ASSERT_TRUE(GdipStarted());
  BitmapPtr src = Bitmap32(4, 4, 0xFF3C78B4);
  SetPixelAt(src.get(), 0, 0, 0x00FFFFFF);
  BitmapPtr dst = Bitmap32(4, 4, kBack);
  GdipStretchBitmap(dst.get(), src.get(), 0, 0, 4, 4);
  // Opaque pixels enter with 254 and come back with 254; the colour survives the round trip.
  const uint32_t p = PixelAt(dst.get(), 2, 2);
  EXPECT_EQ(p >> 24, 254u);
  EXPECT_LE(PixelDistance(p & 0xFFFFFF, 0x3C78B4), 2);
  EXPECT_EQ(PixelAt(dst.get(), 0, 0) >> 24, 0u);

  // Doubling the size covers the whole destination.
  BitmapPtr big = Bitmap32(8, 8, kBack);
  GdipStretchBitmap(big.get(), src.get(), 0, 0, 4, 4);
  EXPECT_LE(PixelDistance(PixelAt(big.get(), 6, 6), 0xFE3C78B4), 3);
}

TEST(Gdip, SmoothLineDrawsOpaqueAndDisappearsWithoutTheEntry) {
  BitmapPtr b = Bitmap32(20, 20, 0);
  HDC dc = b->Canvas()->Handle();
  GdipDrawLineSmooth(dc, 0x000000FF, 2.0f, 2.0f, 10.0f, 18.0f, 10.0f);  // red, alpha byte 0 given
  GdiFlush();
  const uint32_t mid = PixelAt(b.get(), 10, 10);
  EXPECT_GE(Channel(mid, 2), 200);  // opaque pen although the colour's fourth byte was 0
  EXPECT_EQ(PixelAt(b.get(), 10, 2), 0u);
  EXPECT_EQ(PixelAt(b.get(), 10, 17), 0u);

  EntrySaver saver;
  GdipEntries().DrawLine = nullptr;
  BitmapPtr c = Bitmap32(20, 20, 0);
  GdipDrawLineSmooth(c->Canvas()->Handle(), 0x000000FF, 2.0f, 2.0f, 10.0f, 18.0f, 10.0f);
  EXPECT_EQ(ChangedOutside(c.get(), RECT{0, 0, 0, 0}, 0), 0);
}

TEST(Gdip, MissingGraphicsCreationDrawsNothing) {
  EntrySaver saver;
  GdipEntries().CreateFromHDC = nullptr;
  BitmapPtr b = Bitmap32(8, 8, kBack);
  EXPECT_FALSE(GdipFillHorzGradient(b->Canvas()->Handle(), 0xFF0000FF, 0xFF00FF00, 0, 0, 8, 8));
  const POINT pts[4] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
  const uint32_t cols[4] = {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF};
  EXPECT_FALSE(GdipFillPathGradient(b->Canvas()->Handle(), pts, cols, 0xFF00FF00, 0, 0, 8, 8));
  BitmapPtr src = Bitmap32(8, 8, 0xFFFFFFFF);
  GdipStretchBitmap(b.get(), src.get(), 0, 0, 8, 8);
  EXPECT_EQ(ChangedOutside(b.get(), RECT{0, 0, 0, 0}, kBack), 0);
}

TEST(Gdip, PathGradientPaintsCornerColoursInsideItsRectangle) {
  BitmapPtr b = Bitmap32(30, 30, kBack);
  const POINT pts[4] = {{5, 5}, {25, 5}, {25, 25}, {5, 25}};
  const uint32_t cols[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
  ASSERT_TRUE(GdipFillPathGradient(b->Canvas()->Handle(), pts, cols, 0xFF000000, 5, 5, 20, 20));
  GdiFlush();
  EXPECT_EQ(ChangedOutside(b.get(), RECT{5, 5, 25, 25}, kBack), 0);
  EXPECT_LE(PixelDistance(PixelAt(b.get(), 15, 15) & 0xFFFFFF, 0), 40);
  EXPECT_GT(Channel(PixelAt(b.get(), 6, 6), 2), 150);  // near the red corner
}
