#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

namespace {
constexpr uint32_t kBack = 0xFF000000;

// Per row (or column) counts of pixels different from the background, inside the bitmap.
std::vector<int> RowCounts(TBitmap* b, bool Columns) {
  GdiFlush();
  const int n = Columns ? b->Width() : b->Height();
  std::vector<int> out(n, 0);
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x)
      if (PixelAt(b, x, y) != kBack) ++out[Columns ? x : y];
  out.erase(std::remove(out.begin(), out.end(), 0), out.end());
  return out;
}
}  // namespace

TEST(Arrows, CanvasTriangleIsCentredWithLinesOfSevenFiveThreeOne) {
  BitmapPtr b = Bitmap32(11, 8, kBack);
  PaintCanvasArrow(b->Canvas(), clRed, TRect(0, 0, 11, 8), true);
  EXPECT_EQ(RowCounts(b.get(), false), (std::vector<int>{7, 5, 3, 1}));
  EXPECT_EQ(PixelAt(b.get(), 2, 2) & 0xFFFFFF, 0xFF0000u);  // origin (11-7) div 2, (8-4) div 2
  EXPECT_EQ(PixelAt(b.get(), 5, 5) & 0xFFFFFF, 0xFF0000u);  // the tip
  BitmapPtr h = Bitmap32(8, 11, kBack);
  PaintCanvasArrow(h->Canvas(), clRed, TRect(0, 0, 8, 11), false);
  EXPECT_EQ(RowCounts(h.get(), true), (std::vector<int>{7, 5, 3, 1}));  // pointing right
  // A rectangle smaller than the glyph: the origin is rounded toward zero (-1 here), the rest clipped.
  BitmapPtr s = Bitmap32(5, 4, kBack);
  PaintCanvasArrow(s->Canvas(), clRed, TRect(0, 0, 5, 4), true);
  EXPECT_EQ(PixelAt(s.get(), 0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(PixelAt(s.get(), 2, 3) & 0xFFFFFF, 0xFF0000u);
}

TEST(Arrows, PixelTrianglePointsByDirectionAndStaysInsideTheBitmap) {
  const struct { int Dir; bool Columns; std::vector<int> Counts; } cases[] = {
      {adDown, false, {7, 5, 3, 1}}, {adUp, false, {1, 3, 5, 7}}, {adRight, true, {7, 5, 3, 1}}, {adLeft, true, {1, 3, 5, 7}}};
  for (const auto& c : cases) {
    BitmapPtr b = Bitmap32(9, 9, kBack);
    PaintArrowPixels32(b.get(), 0x00123456, TRect(0, 0, 9, 9), c.Dir);
    EXPECT_EQ(RowCounts(b.get(), c.Columns), c.Counts) << c.Dir;
    EXPECT_EQ(PixelAt(b.get(), 4, 4), 0xFF563412u) << c.Dir;  // colour in pixel order, opaque
  }
  BitmapPtr edge = Bitmap32(3, 3, kBack);
  PaintArrowPixels32(edge.get(), 0x00123456, TRect(-2, -1, 5, 3), adDown);  // origin (-2, -1): clipped
  EXPECT_EQ(PixelAt(edge.get(), 2, 0), 0xFF563412u);
  EXPECT_EQ(PixelAt(edge.get(), 1, 2), 0xFF563412u);
  EXPECT_EQ(PixelAt(edge.get(), 0, 2), kBack);
}

TEST(Arrows, StyledSolidArrowPointsByDirection) {
  for (int dir : {adDown, adUp, adLeft, adRight}) {
    BitmapPtr b = Bitmap32(15, 15, kBack);
    PaintStyledArrow(b.get(), 0x0000FF, 0x1FFFFFFF, 0, 0, 0, 7, dir, TRect(0, 0, 15, 15));
    const bool vertical = dir == adDown || dir == adUp;
    std::vector<int> counts = RowCounts(b.get(), !vertical);
    ASSERT_GE(counts.size(), 3u) << dir;
    const bool widensAway = counts.front() > counts.back();
    // Down and right: wide at the start; up and left: wide at the end.
    EXPECT_EQ(widensAway, dir == adDown || dir == adRight) << dir;
    EXPECT_GE(Channel(PixelAt(b.get(), 7, 7), 2), 128) << dir;  // red at the centre
  }
}

TEST(Arrows, StyledArrowTurnedByAnAngleTurnsOnlyItsRectangle) {
  // Turned through the parallelogram copy, whose pixel output under Wine is only approximate; what lies around
  // the rectangle (a different value at every pixel) stays exactly as it was.
  auto Around = [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x << 8 | y); };
  BitmapPtr b = Bitmap32By(31, 31, Around);
  PaintStyledArrow(b.get(), 0x0000FF, 0x1FFFFFFF, 0, 0, 135.0, 1, adDown, TRect(8, 8, 23, 23));
  int red = 0, movedOutside = 0;
  for (int y = 0; y < 31; ++y)
    for (int x = 0; x < 31; ++x) {
      const bool inside = x >= 8 && x < 23 && y >= 8 && y < 23;
      red += inside && Channel(PixelAt(b.get(), x, y), 2) > 128;
      movedOutside += !inside && PixelAt(b.get(), x, y) != Around(x, y);
    }
  EXPECT_GT(red, 10);
  EXPECT_EQ(movedOutside, 0);
}

TEST(Arrows, LineStyleDrawsTheArrowColourAndFillsOnlyWithAFillColour) {
  BitmapPtr noFill = Bitmap32(21, 21, kBack);
  PaintStyledArrow(noFill.get(), 0x00FF00, 0x1FFFFFFF, 1, 6, 0, 1, adDown, TRect(0, 0, 21, 21));
  BitmapPtr filled = Bitmap32(21, 21, kBack);
  PaintStyledArrow(filled.get(), 0x00FF00, 0x0000FF, 1, 6, 0, 1, adDown, TRect(0, 0, 21, 21));
  int green = 0, redNoFill = 0, redFilled = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) {
      green += Channel(PixelAt(noFill.get(), x, y), 1) > 128;
      redNoFill += Channel(PixelAt(noFill.get(), x, y), 2) > 128;
      redFilled += Channel(PixelAt(filled.get(), x, y), 2) > 128;
    }
  EXPECT_GT(green, 6);
  EXPECT_EQ(redNoFill, 0);
  EXPECT_GT(redFilled, 3);
}

TEST(Arrows, ArrowGlyphSizesFollowStyleAndRectangleParity) {
  // Solid style, size 4, odd width: W = 2 * 4 + 1, H = 4 + 1.
  BitmapPtr solid(PaintArrowGlyph(0xFF, 0xFFFF0000, true, 0, 4, 1, true));
  EXPECT_EQ(TSize(solid->Width(), solid->Height()), TSize(9, 5));
  // Line style 3, size 5, thickness 2: H = 5 - 2 + 2 + 1 = 6, W = 10 + 2 = 12.
  BitmapPtr line(PaintArrowGlyph(0xFF, 0, false, 3, 5, 2, false));
  EXPECT_EQ(TSize(line->Width(), line->Height()), TSize(12, 6));
  // Without a fill the glyph outside the lines stays transparent white.
  EXPECT_EQ(PixelAt(line.get(), 0, 5), 0x00FFFFFFu);
}

TEST(CheckBoxCells, MeasuredFromTheSystemBitmap) {
  MeasureCheckBoxCells();
  EXPECT_GT(CheckBoxCellWidth, 4);
  EXPECT_GT(CheckBoxCellHeight, 4);
}

namespace {
struct IconBits {
  std::vector<uint32_t> Colour;
  std::vector<uint8_t> Mask;  // one byte per pixel: 1 = transparent
};
IconBits ReadIcon(HICON Icon, int W, int H) {
  ICONINFO info{};
  GetIconInfo(Icon, &info);
  IconBits out;
  HDC dc = GetDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = W;
  bi.bmiHeader.biHeight = -H;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  out.Colour.resize(W * H);
  GetDIBits(dc, info.hbmColor, 0, H, out.Colour.data(), &bi, DIB_RGB_COLORS);
  std::vector<uint32_t> mask(W * H);
  GetDIBits(dc, info.hbmMask, 0, H, mask.data(), &bi, DIB_RGB_COLORS);
  for (uint32_t m : mask) out.Mask.push_back((m & 0xFFFFFF) != 0);
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return out;
}
}  // namespace

TEST(Icons, KeyPixelsBecomeTransparentAndBlackInTheColourImage) {
  BitmapPtr rgb(new TBitmap());
  rgb->SetPixelFormat(pf24bit);
  rgb->SetSize(4, 4);
  rgb->Canvas()->Brush()->SetColor(0x00336699);
  rgb->Canvas()->FillRect(TRect(0, 0, 4, 4));
  rgb->Canvas()->SetPixels(1, 2, clFuchsia);
  const int before = GdiObjectCount(gkIcon);
  HICON icon = MakeIconFromBitmap(rgb.get(), clWhite);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(GdiObjectCount(gkIcon), before + 1);
  IconBits bits = ReadIcon(icon, 4, 4);
  EXPECT_EQ(bits.Mask[2 * 4 + 1], 1);
  EXPECT_EQ(bits.Colour[2 * 4 + 1] & 0xFFFFFF, 0u);  // no magenta left to XOR onto the screen
  EXPECT_EQ(bits.Mask[0], 0);
  EXPECT_EQ(bits.Colour[0] & 0xFFFFFF, 0x996633u);
  GdiFreeIcon(icon);
  EXPECT_EQ(GdiObjectCount(gkIcon), before);
}

TEST(Icons, ZeroAlphaPixelsOfA32BitImageAreTransparent) {
  BitmapPtr b = Bitmap32(3, 3, 0xFF0000FF);
  SetPixelAt(b.get(), 2, 0, 0x00FF0000);
  HICON icon = MakeIconFromBitmap(b.get(), clBlack);
  ASSERT_NE(icon, nullptr);
  IconBits bits = ReadIcon(icon, 3, 3);
  EXPECT_EQ(bits.Mask[2], 1);
  EXPECT_EQ(bits.Colour[2] & 0xFFFFFF, 0u);
  EXPECT_EQ(bits.Mask[4], 0);
  EXPECT_EQ(bits.Colour[4] & 0xFF, 0xFEu);  // opaque blue over black by the library's arithmetic
  GdiFreeIcon(icon);
}

TEST(StretchDraw, ThirtyTwoBitImagesKeepAlphaWhenStretched) {
  BitmapPtr src = Bitmap32(2, 2, 0xFFFF0000);
  SetPixelAt(src.get(), 1, 1, 0x000000FF);  // transparent corner
  BitmapPtr canvas = Bitmap32(8, 8, 0xFF00FF00);
  StretchDrawBitmap32(canvas->Canvas(), src.get(), TRect(2, 2, 6, 6), false);
  GdiFlush();
  EXPECT_EQ(PixelAt(canvas.get(), 2, 2) & 0xFFFFFF, 0xFE0000u);
  EXPECT_EQ(PixelAt(canvas.get(), 5, 5) & 0xFFFFFF, 0x00FF00u);  // the stretched transparent quarter
  EXPECT_EQ(PixelAt(canvas.get(), 4, 4) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(ChangedOutside(canvas.get(), RECT{2, 2, 6, 6}, 0xFF00FF00), 0);
}

TEST(StretchDraw, ReflectionAddsAFadedMirrorBelowTheImage) {
  BitmapPtr src = Bitmap32(2, 8, 0xFFFF0000);
  BitmapPtr canvas = Bitmap32(6, 24, 0xFF000000);
  StretchDrawBitmap32(canvas->Canvas(), src.get(), TRect(1, 1, 3, 9), true);
  GdiFlush();
  EXPECT_EQ(PixelAt(canvas.get(), 1, 8) & 0xFFFFFF, 0xFE0000u);
  EXPECT_GT(Channel(PixelAt(canvas.get(), 1, 10), 2), 0);  // first mirrored row
  EXPECT_EQ(ChangedOutside(canvas.get(), RECT{1, 1, 3, 17}, 0xFF000000), 0);
}

namespace {

BitmapPtr Plane8(int W, int H) {
  BitmapPtr P(new TBitmap());
  P->SetPixelFormat(pf8bit);
  P->SetSize(W, H);
  return P;
}

uint8_t& Byte(TBitmap* P, int X, int Y) { return static_cast<uint8_t*>(P->ScanLine(Y))[X]; }

}  // namespace

TEST(ChannelBytes, ChannelToBytesTakesOutAndPutsBackOneChannel) {
  BitmapPtr B = Bitmap32By(4, 3, [](int X, int Y) { return Argb(uint32_t(X * 10 + Y), 0xAA, uint32_t(Y), 0xBB); });
  BitmapPtr P = Plane8(4, 3);
  ChannelToBytes(B.get(), P.get(), 3, true);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(Byte(P.get(), x, y), x * 10 + y) << x << "," << y;
  ChannelToBytes(B.get(), P.get(), 1, true);  // green
  EXPECT_EQ(Byte(P.get(), 3, 2), 2);
  // Back into the red channel only; the other channels stay.
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) Byte(P.get(), x, y) = static_cast<uint8_t>(100 + x);
  ChannelToBytes(B.get(), P.get(), 2, false);
  EXPECT_EQ(PixelAt(B.get(), 2, 1), Argb(21, 102, 1, 0xBB));
  EXPECT_EQ(PixelAt(B.get(), 0, 2), Argb(2, 100, 2, 0xBB));
}

TEST(ChannelBytes, ChannelToBytesStaysInsideTheSmallerImage) {
  BitmapPtr B = Bitmap32(4, 4, Argb(1, 2, 3, 4));
  BitmapPtr Small = Plane8(2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) Byte(Small.get(), x, y) = 9;
  ChannelToBytes(B.get(), Small.get(), 0, false);
  EXPECT_EQ(PixelAt(B.get(), 1, 1), Argb(1, 2, 3, 9));
  EXPECT_EQ(PixelAt(B.get(), 2, 2), Argb(1, 2, 3, 4));
  // A channel outside 0..3 or a plane that is not one byte a pixel is refused without writing anything.
  ChannelToBytes(B.get(), Small.get(), 4, false);
  BitmapPtr Wide = Bitmap32(2, 2, 0);
  ChannelToBytes(B.get(), Wide.get(), 0, false);
  EXPECT_EQ(CountChanged(B.get(), Argb(1, 2, 3, 4)), 4);
}
