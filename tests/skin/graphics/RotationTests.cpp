#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "skin/graphics/Rotation.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

namespace {
TPrlgram Square() {
  const TPoint pts[4] = {{0, 0}, {10, 0}, {10, 6}, {0, 6}};
  return TPrlgram(pts, 3);
}
}  // namespace

TEST(Rotation, TableHoldsWholeDegreesAndWrapsAnyAngle) {
  BuildSinCosTable();
  EXPECT_FLOAT_EQ(SinCosOf(90).Sin, 1.0f);
  EXPECT_NEAR(SinCosOf(90).Cos, 0.0f, 1e-7);
  EXPECT_FLOAT_EQ(SinCosOf(30).Sin, 0.5f);
  EXPECT_EQ(&SinCosOf(450), &SinCosOf(90));
  EXPECT_EQ(&SinCosOf(-45), &SinCosOf(315));
  EXPECT_EQ(&SinCosOf(-720), &SinCosOf(0));
  EXPECT_DOUBLE_EQ(DegToRad(180), 3.14159265358979323846);
}

TEST(Rotation, ParallelogramCornersTurnAboutTheCentre) {
  BuildSinCosTable();
  TPrlgram p = Square();
  p.Rotate(0);
  EXPECT_EQ(p.GetCorner(0).X, 0);
  EXPECT_EQ(p.GetCorner(2), TPoint(10, 6));
  EXPECT_NEAR(p.Corner(1).X, 10.0, 1e-5);

  TPrlgram q = Square();
  q.Rotate(180);
  EXPECT_NEAR(q.Corner(0).X, 10.0, 1e-5);
  EXPECT_NEAR(q.Corner(0).Y, 6.0, 1e-5);
  EXPECT_NEAR(q.Corner(2).X, 0.0, 1e-5);
  EXPECT_NEAR(q.Corner(2).Y, 0.0, 1e-5);

  // 90 degrees: (dx, dy) -> (dy, -dx) about (5, 3).
  TPrlgram r = Square();
  r.Rotate(90);
  EXPECT_EQ(r.GetCorner(0).X, 2);  // (-5, -3) -> (-3, 5)
  EXPECT_EQ(r.GetCorner(0).Y, 8);
  // Out-of-range angles give the same corners as their wrapped value.
  TPrlgram s = Square(), t = Square();
  s.Rotate(450);
  t.Rotate(-270);
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(s.Corner(i).X, r.Corner(i).X);
    EXPECT_DOUBLE_EQ(t.Corner(i).Y, r.Corner(i).Y);
  }
}

TEST(Rotation, ParallelogramTakesAtMostFourPointsAndZeroFillsTheRest) {
  const TPoint six[6] = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}, {11, 12}};
  TPrlgram p(six, 5);
  EXPECT_EQ(p.GetCorner(3), TPoint(7, 8));
  EXPECT_EQ(p.GetCorner(4).X, 0);  // past the corners
  TPrlgram two(six, 1);
  EXPECT_EQ(two.GetCorner(1).X, 3);
  EXPECT_EQ(two.GetCorner(2).X, 0);
  EXPECT_EQ(two.GetCorner(3).Y, 0);
}

TEST(Rotation, QuarterTurnsMovePixelsBothWays) {
  TBitmap* src = Bitmap32By(3, 2, [](int x, int y) { return y == 0 ? (x == 0 ? 0xAu : x == 2 ? 0xBu : 0u) : x == 0 ? 0xCu : 0u; })
                     .release();
  BitmapPtr cw(RotatedBitmap90(src, true, false));
  ASSERT_TRUE(cw);
  EXPECT_EQ(TSize(cw->Width(), cw->Height()), TSize(2, 3));
  EXPECT_EQ(PixelAt(cw.get(), 1, 0), 0xAu);  // top-left goes to top-right
  EXPECT_EQ(PixelAt(cw.get(), 1, 2), 0xBu);
  EXPECT_EQ(PixelAt(cw.get(), 0, 0), 0xCu);
  BitmapPtr ccw(RotatedBitmap90(src, false, true));
  EXPECT_EQ(src, nullptr);
  EXPECT_EQ(PixelAt(ccw.get(), 0, 2), 0xAu);  // top-left goes to bottom-left
  EXPECT_EQ(PixelAt(ccw.get(), 0, 0), 0xBu);
  EXPECT_EQ(PixelAt(ccw.get(), 1, 2), 0xCu);

  TBitmap* rgb = new TBitmap();
  rgb->SetPixelFormat(pf24bit);
  rgb->SetSize(2, 2);
  EXPECT_EQ(RotatedBitmap90(rgb, true, false), nullptr);
  EXPECT_NE(rgb, nullptr);
  EXPECT_EQ(RotatedBitmap90(rgb, true, true), nullptr);
  EXPECT_EQ(rgb, nullptr);  // freed although nothing was made
}

TEST(Rotation, RawBitsTurnClockwiseByTheAngle) {
  BitmapPtr src = Bitmap32By(3, 2, [](int x, int y) { return x == 0 && y == 0 ? 0xFF00000Au : x == 2 && y == 1 ? 0xFF00000Bu : 0u; });
  TBitmap* s = src.get();
  BitmapPtr r90(RotateBitmapBits(s, 90, false));
  ASSERT_TRUE(r90);
  EXPECT_EQ(r90->Width(), 2);
  EXPECT_EQ(PixelAt(r90.get(), 1, 0), 0xFF00000Au);
  EXPECT_EQ(PixelAt(r90.get(), 0, 2), 0xFF00000Bu);
  BitmapPtr r180(RotateBitmapBits(s, 180, false));
  EXPECT_EQ(PixelAt(r180.get(), 2, 1), 0xFF00000Au);
  EXPECT_EQ(PixelAt(r180.get(), 0, 0), 0xFF00000Bu);
  BitmapPtr r270(RotateBitmapBits(s, 270, false));
  EXPECT_EQ(PixelAt(r270.get(), 0, 2), 0xFF00000Au);
  EXPECT_EQ(PixelAt(r270.get(), 1, 0), 0xFF00000Bu);
  EXPECT_EQ(RotateBitmapBits(s, 45, false), nullptr);
}

TEST(Rotation, DestinationPointsAddAQuarterTurnClockwise) {
  BuildSinCosTable();
  POINT d[3];
  // Unturned 4 x 2 picture about (10, 10): corners (8, 9), (12, 9), (12, 11), (8, 11).
  RotatedDestinationPoints(4, 2, TPoint(10, 10), 0, d);
  // the picture's upper-left goes to the top-right corner, its upper-right to the bottom-right: a clockwise
  // quarter turn
  EXPECT_EQ((std::vector<TPoint>{d[0], d[1], d[2]}), (std::vector<TPoint>{{12, 9}, {12, 11}, {8, 9}}));
  // 90 degrees counter-clockwise about (10, 10): (12, 9) -> (9, 8), (12, 11) -> (11, 8), (8, 9) -> (9, 12).
  RotatedDestinationPoints(4, 2, TPoint(10, 10), 90, d);
  EXPECT_EQ((std::vector<TPoint>{d[0], d[1], d[2]}), (std::vector<TPoint>{{9, 8}, {11, 8}, {9, 12}}));
  POINT e[3];
  RotatedDestinationPoints(4, 2, TPoint(10, 10), -270, e);  // wraps to 90
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(e[i].x == d[i].x && e[i].y == d[i].y) << i;
}

TEST(Rotation, DrawRotatedCoversTheTurnedAreaOnly) {
  // Wine's parallelogram copy does not turn pixels exactly as Windows does; the covered area does.
  BitmapPtr src = Bitmap32(4, 4, 0xFFFF0000);
  // (Wine draws nothing for angles other than quarter turns.)
  for (int degrees : {0, 90, -90, 180, 450}) {
    BitmapPtr dst = Bitmap32(20, 20, 0);
    DrawRotatedBitmap(dst->Canvas()->Handle(), src.get(), TPoint(10, 10), degrees);
    EXPECT_GT(ChangedOutside(dst.get(), RECT{0, 0, 0, 0}, 0), 8) << degrees;
    EXPECT_EQ(ChangedOutside(dst.get(), RECT{6, 6, 15, 15}, 0), 0) << degrees;
  }
}
