#include <gtest/gtest.h>

#include <algorithm>

#include "skin/graphics/Rotation.h"
#include "tests/skin/graphics/bedrock2_Bitmaps.h"

using namespace bedrock2_test;

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
  EXPECT_EQ(p.GetCorner(2).X, 10);
  EXPECT_EQ(p.GetCorner(2).Y, 6);
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
  EXPECT_EQ(p.GetCorner(3).X, 7);
  EXPECT_EQ(p.GetCorner(3).Y, 8);
  EXPECT_EQ(p.GetCorner(4).X, 0);  // past the corners
  TPrlgram two(six, 1);
  EXPECT_EQ(two.GetCorner(1).X, 3);
  EXPECT_EQ(two.GetCorner(2).X, 0);
  EXPECT_EQ(two.GetCorner(3).Y, 0);
}

TEST(Rotation, QuarterTurnsMovePixelsBothWays) {
  TBitmap* src = Bitmap32(3, 2, 0).release();
  SetPx(src, 0, 0, 0xA);
  SetPx(src, 2, 0, 0xB);
  SetPx(src, 0, 1, 0xC);
  BitmapPtr cw(RotatedBitmap90(src, true, false));
  ASSERT_TRUE(cw);
  EXPECT_EQ(cw->Width(), 2);
  EXPECT_EQ(cw->Height(), 3);
  EXPECT_EQ(Px(cw.get(), 1, 0), 0xAu);  // top-left goes to top-right
  EXPECT_EQ(Px(cw.get(), 1, 2), 0xBu);
  EXPECT_EQ(Px(cw.get(), 0, 0), 0xCu);
  BitmapPtr ccw(RotatedBitmap90(src, false, true));
  EXPECT_EQ(src, nullptr);
  EXPECT_EQ(Px(ccw.get(), 0, 2), 0xAu);  // top-left goes to bottom-left
  EXPECT_EQ(Px(ccw.get(), 0, 0), 0xBu);
  EXPECT_EQ(Px(ccw.get(), 1, 2), 0xCu);

  TBitmap* rgb = new TBitmap();
  rgb->SetPixelFormat(pf24bit);
  rgb->SetSize(2, 2);
  EXPECT_EQ(RotatedBitmap90(rgb, true, false), nullptr);
  EXPECT_NE(rgb, nullptr);
  EXPECT_EQ(RotatedBitmap90(rgb, true, true), nullptr);
  EXPECT_EQ(rgb, nullptr);  // freed although nothing was made
}

TEST(Rotation, RawBitsTurnClockwiseByTheAngle) {
  BitmapPtr src = Bitmap32(3, 2, 0);
  SetPx(src.get(), 0, 0, 0xFF00000A);
  SetPx(src.get(), 2, 1, 0xFF00000B);
  TBitmap* s = src.get();
  BitmapPtr r90(RotateBitmapBits(s, 90, false));
  ASSERT_TRUE(r90);
  EXPECT_EQ(r90->Width(), 2);
  EXPECT_EQ(Px(r90.get(), 1, 0), 0xFF00000Au);
  EXPECT_EQ(Px(r90.get(), 0, 2), 0xFF00000Bu);
  BitmapPtr r180(RotateBitmapBits(s, 180, false));
  EXPECT_EQ(Px(r180.get(), 2, 1), 0xFF00000Au);
  EXPECT_EQ(Px(r180.get(), 0, 0), 0xFF00000Bu);
  BitmapPtr r270(RotateBitmapBits(s, 270, false));
  EXPECT_EQ(Px(r270.get(), 0, 2), 0xFF00000Au);
  EXPECT_EQ(Px(r270.get(), 1, 0), 0xFF00000Bu);
  EXPECT_EQ(RotateBitmapBits(s, 45, false), nullptr);
}

namespace {
// Where the red quadrant of a drawn 4x4 picture ended up: 0 top-left, 1 top-right, 2 bottom-right,
// 3 bottom-left of the painted area (PlgBlt's pixel placement may shift the area by one).
int RedQuadrant(TBitmap* b) {
  GdiFlush();
  int minX = 99, minY = 99, maxX = -1, maxY = -1;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x)
      if (Px(b, x, y) != 0) {
        minX = std::min(minX, x); maxX = std::max(maxX, x);
        minY = std::min(minY, y); maxY = std::max(maxY, y);
      }
  if (maxX - minX != 3 || maxY - minY != 3) return -1;  // not a 4x4 area
  const bool left = (Px(b, minX, minY) & 0xFFFFFF) == 0xFF0000 || (Px(b, minX, maxY) & 0xFFFFFF) == 0xFF0000;
  const bool top = (Px(b, minX, minY) & 0xFFFFFF) == 0xFF0000 || (Px(b, maxX, minY) & 0xFFFFFF) == 0xFF0000;
  return top ? (left ? 0 : 1) : (left ? 3 : 2);
}
}  // namespace

TEST(Rotation, DrawRotatedAddsAQuarterTurnClockwise) {
  BitmapPtr src = Bitmap32(4, 4, 0xFFFFFFFF);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) SetPx(src.get(), x, y, 0xFFFF0000);  // red top-left quadrant
  // Positive degrees turn counter-clockwise on the screen; the extra quarter turn is clockwise.
  const struct { int Degrees, Quadrant; } cases[] = {{0, 1}, {90, 0}, {-90, 2}, {270, 2}, {180, 3}, {450, 0}};
  for (const auto& c : cases) {
    BitmapPtr dst = Bitmap32(20, 20, 0);
    DrawRotatedBitmap(dst->Canvas()->Handle(), src.get(), TPoint(10, 10), c.Degrees);
    EXPECT_EQ(RedQuadrant(dst.get()), c.Quadrant) << c.Degrees;
    EXPECT_EQ(ChangedOutside(dst.get(), RECT{7, 7, 14, 14}, 0), 0) << c.Degrees;
  }
}
