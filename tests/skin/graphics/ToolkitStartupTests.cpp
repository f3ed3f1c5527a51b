#include <gtest/gtest.h>

#include <tuple>

#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

namespace {
struct EntrySaver {
  TToolkitEntries saved = ToolkitEntries();
  ~EntrySaver() { ToolkitEntries() = saved; }
};
constexpr uint32_t kBack = 0xFF000000;
}  // namespace

TEST(ToolkitStartup, BindsLayoutAndLayeringAndMeasuresCheckBoxes) {
  EXPECT_TRUE(HasLayeredWindowApi());
  EXPECT_NE(ToolkitEntries().SetLayeredWindowAttributes, nullptr);
  EXPECT_GT(CheckBoxCellWidth, 0);
  BitmapPtr b = Bitmap32(4, 4, kBack);
  HDC dc = b->Canvas()->Handle();
  ApplyDCLayout(dc, LAYOUT_RTL);
  EXPECT_EQ(QueryDCLayout(dc), static_cast<DWORD>(LAYOUT_RTL));
  ApplyDCLayout(dc, 0);
  // A second start and end leave the entries bound.
  ToolkitStartup();
  ToolkitShutdown();
  EXPECT_TRUE(HasLayeredWindowApi());
}

TEST(ToolkitStartup, MissingLayoutFunctionsDoNothing) {
  EntrySaver saver;
  BitmapPtr b = Bitmap32(4, 4, kBack);
  HDC dc = b->Canvas()->Handle();
  ToolkitEntries().SetLayout = nullptr;
  ToolkitEntries().GetLayout = nullptr;
  ToolkitEntries().UpdateLayeredWindow = nullptr;
  ApplyDCLayout(dc, LAYOUT_RTL);
  EXPECT_EQ(GetLayout(dc), 0u);
  EXPECT_EQ(QueryDCLayout(dc), 0u);
  EXPECT_FALSE(HasLayeredWindowApi());
}

TEST(BevelBorder, RingsAreLightTopLeftAndDarkBottomRight) {
  BitmapPtr b = Bitmap32(8, 7, kBack);
  TRect r(1, 1, 7, 6);
  int width = 2;
  const int pens = GdiObjectCount(gkPen);
  DrawBevelBorder(b->Canvas()->Handle(), r, clWhite, width, 0x0000FF);
  GdiFlush();
  EXPECT_EQ(GdiObjectCount(gkPen), pens);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(r, TRect(3, 3, 5, 4));
  const uint32_t L = 0xFFFFFF, D = 0xFF0000, B = 0;
  const uint32_t expected[7][8] = {
      {B, B, B, B, B, B, B, B}, {B, L, L, L, L, L, D, B}, {B, L, L, L, L, D, D, B}, {B, L, L, B, B, D, D, B},
      {B, L, D, D, D, D, D, B}, {B, D, D, D, D, D, D, B}, {B, B, B, B, B, B, B, B}};
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(b.get(), x, y) & 0xFFFFFF, expected[y][x]) << x << "," << y;
}

TEST(BevelBorder, WidthZeroDrawsNothing) {
  BitmapPtr b = Bitmap32(8, 7, kBack);
  TRect r(1, 1, 7, 6);
  int width = 0;
  DrawBevelBorder(b->Canvas()->Handle(), r, clWhite, width, 0x0000FF);
  EXPECT_EQ(r, TRect(1, 1, 7, 6));
  EXPECT_EQ(CountChanged(b.get(), kBack), 0);
}

TEST(DottedFrame, AlternatesColoursAndSkipsNoColour) {
  BitmapPtr b = Bitmap32(9, 7, kBack);
  PaintDottedRectFrame(b->Canvas(), TRect(1, 1, 8, 6), clRed, clBlue);  // 7 x 5: w 3, h 2
  GdiFlush();
  // Top line: Color1 (red) at x = 2, 4, 6, Color2 (blue) at 3, 5, 7; the corner pixel is not drawn. Left and
  // right lines: y = 2 red, 3 blue, 4 red, 5 blue.
  const uint32_t R = 0xFF0000, B = 0x0000FF;
  for (const auto& [x, y, want] : {std::tuple{1, 1, 0u}, {2, 1, R}, {3, 1, B}, {6, 1, R}, {7, 1, B}, {3, 5, B}, {1, 2, R},
                                   {7, 3, B}, {7, 5, B}})
    EXPECT_EQ(PixelAt(b.get(), x, y) & 0xFFFFFF, want) << x << "," << y;
  EXPECT_EQ(ChangedOutside(b.get(), RECT{1, 1, 8, 6}, kBack), 0);

  BitmapPtr c = Bitmap32(9, 7, kBack);
  PaintDottedRectFrame(c->Canvas(), TRect(1, 1, 8, 6), 0x1FFFFFFF, clBlue);
  GdiFlush();
  EXPECT_EQ(PixelAt(c.get(), 2, 1) & 0xFFFFFF, 0u);  // Color1 left out: every second pixel only
  EXPECT_EQ(PixelAt(c.get(), 3, 1) & 0xFFFFFF, 0x0000FFu);
}

TEST(DottedFrame, EvenSizesStayInsideTheRectangle) {
  BitmapPtr b = Bitmap32(12, 12, kBack);
  PaintDottedRectFrame(b->Canvas(), TRect(1, 1, 9, 9), clRed, clBlue);  // 8 x 8: dots would reach x = 9
  EXPECT_EQ(ChangedOutside(b.get(), RECT{1, 1, 9, 9}, kBack), 0);
  EXPECT_EQ(PixelAt(b.get(), 8, 1) & 0xFFFFFF, 0xFF0000u);  // x = 1 + 2*4 - 1 = 8: Color1; 1 + 2*4 = 9 is left out
}
