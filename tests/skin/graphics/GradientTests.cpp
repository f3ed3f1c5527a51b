#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "framework/System.h"
#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/Gradients.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

namespace {
constexpr uint32_t kBack = 0x11223344;

TsGradArray Parsed(const char* Text) {
  TsGradArray items;
  ParseGradientData(Text, items);
  return items;
}

// Pixels that painting the gradient over a W x H background changes.
int PaintedPixels(int W, int H, const RECT& r, const TsGradArray& items) {
  BitmapPtr b = Bitmap32(W, H, kBack);
  PaintGradient(b.get(), r, items);
  return CountChanged(b.get(), kBack);
}

struct EntrySaver {
  TGdipEntries saved = GdipEntries();
  TGradientFillProc fill = GradientFillEntry();
  ~EntrySaver() {
    GdipEntries() = saved;
    GradientFillEntry() = fill;
  }
};
}  // namespace

TEST(GradientParse, TwoStopsOfLayoutBEndAtFullLength) {
  const TsGradArray items = Parsed("$0000FF;0;0;$00FF00;50;0;B");
  ASSERT_EQ(items.size(), 2u);
  for (size_t i = 0; i < 2; ++i)  // no alpha written: opaque
    EXPECT_EQ(std::tuple(int(items[i].Index), uint32_t(items[i].Color), int(items[i].Percent)),
              std::tuple(int(i), i == 0 ? 0xFF0000FFu : 0xFF00FF00u, i == 0 ? 0 : 100)) << i;
  EXPECT_EQ(Parsed("$800000FF;0;0;$00FF00;50;0;B")[1].Color, 0x00FF00u);  // one alpha written: all as written
  EXPECT_EQ(items[0].Mode & kGradKindMask, kGradVertical);
  EXPECT_EQ(sizeof(TsGradItem), 11u);  // packed
}

TEST(GradientParse, LayoutASumsWeightsAndIgnoresAnIncompleteGroup) {
  TsGradArray items;
  // Three groups written, the third cut short; weights 150 (limited to 100) and 30.
  ParseGradientData("255;9;150;16;9;65280;9;30;0;9;16711680;9;50", items);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].Color, 0xFF0000FFu);  // fourth byte set for GDI+ fills
  EXPECT_EQ(items[1].Color, 0xFF00FF00u);
  EXPECT_EQ(items[0].Percent, 0);
  EXPECT_EQ(items[1].Percent, 100);
  EXPECT_EQ(items[0].Mode, 0u);  // the GDI+ step bit is cleared in this layout
  ParseGradientData("1;0;40;0;0;2;0;70;0;0;3;0;0;0;0;4;0;0;0;0", items);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1].Percent, 40);
  EXPECT_EQ(items[2].Percent, 100);  // 110 limited
  EXPECT_EQ(items[3].Percent, 100);
}

TEST(GradientParse, FourCornerListIsPaddedToFiveItems) {
  const TsGradArray items = Parsed("255;0;50;2;0;65280;0;50;0;0");
  ASSERT_EQ(items.size(), 5u);
  for (size_t i = 2; i < 5; ++i) {
    EXPECT_EQ(items[i].Color, 0xFF00FF00u);
    EXPECT_EQ(items[i].Index, i);
  }
  EXPECT_EQ(items[4].Percent, 100);
}

TEST(GradientParse, ShortOrEmptyTextsGiveEmptyListsAndBadNumbersRaise) {
  TsGradArray items{{0, 0, 0, 0}};
  ParseGradientData("1;0;", items);
  EXPECT_TRUE(items.empty());
  // Layout A with no complete group: nothing to close with percent 100.
  ParseGradientData("12;30", items);
  EXPECT_TRUE(items.empty());
  ParseGradientData("12;x;1;1", items);  // layout B with letter code below 'A': no stops
  EXPECT_TRUE(items.empty());
  EXPECT_THROW(ParseGradientData("$ZZ;0;0;B", items), EConvertError);
  EXPECT_THROW(ParseGradientData("255;0;0;C", items), EConvertError);  // a third stop is missing
}

TEST(GradientParse, GdipStepInLayoutBAsksForThePathGradient) {
  const TsGradArray items = Parsed("1;0;2;2;50;16;3;100;0;C");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].Mode, 2u | kGradGdipPath);
  EXPECT_EQ(items[1].Mode, kGradGdipStep);
}

TEST(GradientPaint, VerticalBlendRoundsEachRowHalfToEven) {
  const TsGradArray items = Parsed("$0000FF;0;0;$00FF00;50;0;B");
  BitmapPtr b = Bitmap32(3, 11, kBack);
  PaintGradient(b.get(), RECT{0, 0, 3, 11}, items);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(b.get(), 2, 10), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0xFFE61A00u);  // 229.5 -> 230, 25.5 -> 26
  EXPECT_EQ(PixelAt(b.get(), 1, 3), 0xFFB24C00u);  // 178.5 -> 178, 76.5 -> 76
  EXPECT_EQ(PixelAt(b.get(), 1, 5), 0xFF808000u);  // 127.5 -> 128 both ways
}

TEST(GradientPaint, EmptyStepPaintsNothingAndTheNextStartsOnTheSameRow) {
  const TsGradArray items = Parsed("$0000FF;0;0;$00FF00;0;0;$FF0000;100;0;C");
  BitmapPtr b = Bitmap32(2, 5, kBack);
  PaintGradient(b.get(), RECT{0, 0, 2, 5}, items);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFF00FF00u);  // green, not red: the red step had no rows
  EXPECT_EQ(PixelAt(b.get(), 0, 4), 0xFF0000FFu);
  // One pixel, as one row, one row through GDI+ and one column: only the last step has room, in its start colour.
  for (const char* Text : {"$0000FF;0;0;$00FF00;0;0;$FF0000;0;0;C", "$0000FF;0;0;$00FF00;0;16;$FF0000;0;0;C",
                           "$0000FF;0;1;$00FF00;0;1;$FF0000;0;1;C"}) {
    SetPixelAt(b.get(), 1, 1, kBack);
    PaintGradient(b.get(), RECT{1, 1, 2, 2}, Parsed(Text));
    EXPECT_EQ(PixelAt(b.get(), 1, 1), 0xFF00FF00u) << Text;
  }
}

TEST(GradientPaint, HorizontalStepEndsAreRoundedHalfToEven) {
  const TsGradArray items = Parsed("$0000FF;0;1;$00FF00;25;0;$FF0000;100;0;C");
  BitmapPtr b = Bitmap32(10, 3, kBack);
  PaintGradient(b.get(), RECT{0, 0, 10, 3}, items);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(PixelAt(b.get(), 0, y), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(b.get(), 1, y), 0xFF808000u);
    EXPECT_EQ(PixelAt(b.get(), 2, y), 0xFF00FF00u);  // 2.5 -> step end 2
    EXPECT_EQ(PixelAt(b.get(), 9, y), 0xFF0000FFu);
  }
}

TEST(GradientPaint, NothingIsPaintedOutsideTheRectangle) {
  // A middle stop at 100% would make its step end one row (column) past the rectangle.
  const TsGradArray v = Parsed("$0000FF;0;0;$00FF00;100;0;$FF0000;100;0;C");
  const TsGradArray h = Parsed("$0000FF;0;1;$00FF00;100;1;$FF0000;100;1;C");
  for (const TsGradArray* items : {&v, &h}) {
    BitmapPtr b = Bitmap32(12, 12, kBack);
    const RECT r{2, 3, 8, 9};
    PaintGradient(b.get(), r, *items);
    EXPECT_EQ(ChangedOutside(b.get(), r, kBack), 0);
    EXPECT_EQ(PixelAt(b.get(), 2, 3), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(b.get(), 7, 8) >> 24, 0xFFu);
  }
}

TEST(GradientPaint, RectangleBeyondTheBitmapIsPaintedInsideOnly) {
  const TsGradArray items = Parsed("$0000FF;0;0;$00FF00;50;0;B");
  BitmapPtr b = Bitmap32(6, 6, kBack);
  PaintGradient(b.get(), RECT{-4, -4, 40, 40}, items);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(PixelAt(b.get(), x, y) >> 24, 0xFFu);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(b.get(), 0, 5), 0xFF00FF00u);
}

TEST(GradientPaint, FourCornerNeedsFiveItemsAndGradientFill) {
  const TsGradArray four = Parsed("$0000FF;0;2;$00FF00;30;2;$FF0000;60;2;$FFFFFF;100;2;D");
  ASSERT_EQ(four.size(), 4u);
  EXPECT_EQ(PaintedPixels(20, 20, RECT{0, 0, 20, 20}, four), 0);

  // Corners: top-left red, top-right green, bottom-right blue, bottom-left white; centre black.
  const TsGradArray five = Parsed("$0000FF;0;2;$000000;20;0;$00FF00;40;0;$FF0000;60;0;$FFFFFF;100;0;E");
  const RECT r{2, 2, 42, 42};
  BitmapPtr c = Bitmap32(44, 44, kBack);
  PaintGradient(c.get(), r, five);
  EXPECT_EQ(ChangedOutside(c.get(), r, kBack), 0);
  for (const auto& [x, y, want] : {std::tuple{2, 2, 0xFFFF0000u}, {41, 2, 0xFF00FF00u}, {41, 41, 0xFF0000FFu},
                                   {2, 41, 0xFFFFFFFFu}, {22, 22, 0xFF000000u}})
    EXPECT_LE(PixelDistance(PixelAt(c.get(), x, y), want), 16) << x << "," << y;

  EntrySaver saver;
  GradientFillEntry() = nullptr;
  EXPECT_EQ(PaintedPixels(44, 44, r, five), 0);
}

TEST(GradientPaint, GdipStepsBlendAndVanishWithoutGdip) {
  const TsGradArray items = Parsed("$0000FF;0;16;$00FF00;100;0;B");
  const RECT r{0, 2, 8, 30};
  BitmapPtr b = Bitmap32(8, 32, kBack);
  PaintGradient(b.get(), r, items);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), kBack);
  EXPECT_EQ(PixelAt(b.get(), 7, 31), kBack);
  EXPECT_LE(PixelDistance(PixelAt(b.get(), 3, 3), 0xFFFF0000), 24);
  EXPECT_LE(PixelDistance(PixelAt(b.get(), 3, 28), 0xFF00FF00), 24);
  EXPECT_LE(PixelDistance(PixelAt(b.get(), 7, 29), 0xFF00FF00), 24);  // the rectangle's last row
  EXPECT_EQ(PixelAt(b.get(), 3, 30), kBack);
  // Red falls as the rows go down.
  EXPECT_GT(Channel(PixelAt(b.get(), 3, 6), 2), Channel(PixelAt(b.get(), 3, 20), 2));

  EntrySaver saver;
  GdipEntries().CreateLineBrush = nullptr;
  EXPECT_EQ(PaintedPixels(8, 32, r, items), 0);
}

TEST(GradientPaint, TexturedMixesByLevelAndTilesTheTexture) {
  const TsGradArray items = Parsed("$000000;0;0;$000000;50;0;B");
  BitmapPtr tex = Bitmap32By(2, 2, [](int x, int y) {
    const uint32_t Texels[4] = {0x00C80000, 0x00006400, 0x00000032, 0x00FFFFFF};
    return Texels[2 * y + x];
  });
  BitmapPtr b = Bitmap32(5, 5, kBack);
  PaintGradientTextured(b.get(), RECT{1, 1, 5, 5}, items, 0x80, 128, RECT{0, 0, 0, 0}, tex.get());
  EXPECT_EQ(PixelAt(b.get(), 0, 0), kBack);
  // Pixel (2, 2) takes texel (0, 0): half of 200 over black.
  EXPECT_EQ(PixelAt(b.get(), 2, 2), 0x80640000u);
  EXPECT_EQ(PixelAt(b.get(), 3, 2), 0x80003200u);
  EXPECT_EQ(PixelAt(b.get(), 4, 4), 0x80640000u);
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0x807F7F7Fu);
  // A texture rectangle outside the texture paints nothing.
  BitmapPtr c = Bitmap32(5, 5, kBack);
  PaintGradientTextured(c.get(), RECT{0, 0, 5, 5}, items, 0xFF, 128, RECT{5, 5, 9, 9}, tex.get());
  EXPECT_EQ(ChangedOutside(c.get(), RECT{0, 0, 0, 0}, kBack), 0);
}

TEST(GradientPaint, TriangleRecordsCarryColourBytesShiftedUp) {
  TRIVERTEX v{};
  SetTriVertex(v, 0x00123456, POINT{7, 9});
  EXPECT_EQ((std::vector<long>{v.x, v.y, v.Red, v.Green, v.Blue, v.Alpha}),
            (std::vector<long>{7, 9, 0x5600, 0x3400, 0x1200, 0xFF00}));
}

TEST(GradientPaint, FourCornerWithTheGdipBitUsesAPathGradient) {
  // Bit 16 in a stop sets bit 32 on the first item: the corners go through GDI+.
  const TsGradArray items = Parsed("$FF0000FF;0;2;$FF000000;20;16;$FF00FF00;40;0;$FFFF0000;60;0;$FFFFFFFF;100;0;E");
  ASSERT_TRUE(items[0].Mode & kGradGdipPath);
  const RECT r{2, 2, 42, 42};
  BitmapPtr b = Bitmap32(44, 44, kBack);
  PaintGradient(b.get(), r, items);
  EXPECT_EQ(ChangedOutside(b.get(), r, kBack), 0);
  EXPECT_GT(Channel(PixelAt(b.get(), 3, 3), 2), 150);   // near the red corner
  EXPECT_GT(Channel(PixelAt(b.get(), 40, 40), 0), 150);  // near the blue corner
  EntrySaver saver;
  GdipEntries().CreatePathGradient = nullptr;
  EXPECT_EQ(PaintedPixels(44, 44, r, items), 0);
}
