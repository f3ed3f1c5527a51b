// Damaged copies of the carried skins painted whole through the real painters: none raises, and each copy
// gives back the GDI objects it took. (tools/paintstress runs the same for as many copies as asked.)
#include <gtest/gtest.h>

#include "engine_support.h"
#include "tools/paintstress/PaintStress.h"

TEST(PaintStress, DamagedCarriedSkinsPaintWithoutFaults) {
  engine_test::TempFolder Work;
  const TPaintStressResult R = RunPaintStress(engine_test::SkinBuildFolder(), Work.Path(), 20171123, 300);
  EXPECT_EQ(R.Variants, 300);
  // Most damage leaves a skin to paint, and some makes the loader refuse it.
  EXPECT_GT(R.Loaded, R.Variants / 2);
  EXPECT_LT(R.Loaded, R.Variants);
  for (const std::string& F : R.Faults) ADD_FAILURE() << F;
}
