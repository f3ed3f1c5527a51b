// Regions from key pixels and the key cut-outs of border corners.
#include <gtest/gtest.h>

#include "PainterSkin.h"
#include "skin/graphics/vkKeyRegions.h"

using namespace painter_test;

TEST(KeyRegions, RunsAndRegions) {
  constexpr uint32_t K = 0x00FF00FF;
  auto Plain = Make32(5, 3, 0xFF000000);
  HRGN R = nullptr;
  RegionFromBitmapKey(R, Plain.get(), K);
  HRGN Full = CreateRectRgn(0, 0, 5, 3);
  EXPECT_TRUE(EqualRgn(R, Full));
  DeleteObject(R);
  // Row 0 ends with two key pixels, row 2 has one in the middle.
  auto Keyed = MakeBy(5, 3, [](int x, int y) { return (y == 0 && x >= 3) || (y == 2 && x == 1) ? K : 0u; });
  TKeyRuns Runs;
  CollectKeyRuns(Runs, Keyed.get(), K);
  EXPECT_EQ(Runs, (TKeyRuns{{3, 0, 5, 1}, {1, 2, 2, 3}}));
  RegionFromBitmapKey(R, Keyed.get(), K);
  EXPECT_FALSE(PtInRegion(R, 4, 0));
  EXPECT_TRUE(PtInRegion(R, 2, 0));
  EXPECT_FALSE(PtInRegion(R, 1, 2));
  DeleteObject(R);
  DeleteObject(Full);
}

TEST(KeyRegions, BorderCornerCutouts) {
  auto M = NewManager();
  // One 8 x 6 frame over its mask band; corners 2 wide, 2 high. Keys: top-left (0, 0), bottom-right (7, 5)
  // and (6, 5).
  auto Img = MakeBy(8, 12, [](int x, int y) {
    return (x == 0 && y == 0) || (y == 5 && x >= 6) ? 0xFFFF00FFu : 0xFF808080u;
  });
  TsMaskData E = Element(M.get(), Img.get(), 1, 1, 0, 2, 2, 2, 2);
  TKeyRuns Runs;
  MeasureMaskCornerCutouts(Runs, 100, E, false, 0);
  EXPECT_EQ(Runs, (TKeyRuns{{0, 0, 1, 1}}));
  Runs.clear();
  MeasureMaskCornerCutouts(Runs, 100, E, true, 40);  // rows 4 and 5 of the frame at window rows 40, 41
  EXPECT_EQ(Runs, (TKeyRuns{{98, 41, 100, 42}}));
  // Without key pixels in the corners nothing is added; a negative mask type is no mask.
  auto Clean = Make32(8, 12, 0xFF808080);
  TsMaskData C = Element(M.get(), Clean.get(), 1, 1, 0, 2, 2, 2, 2);
  C.MaskType = -1;
  Runs.clear();
  MeasureMaskCornerCutouts(Runs, 100, C, true, 0);
  EXPECT_TRUE(Runs.empty());
}
