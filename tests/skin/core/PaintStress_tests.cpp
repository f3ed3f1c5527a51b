// Damaged copies of the carried skins painted whole through the real painters: none raises, and each copy
// gives back the GDI objects it took. (tools/paintstress runs the same for as many copies as asked.)
#include <gtest/gtest.h>

#include "engine_support.h"
#include "tools/paintstress/PaintStress.h"

namespace {
// A hundred copies from one seed: three such cases, which run side by side, keep each within its time limit on a
// loaded machine, where one of three hundred was not.
void PaintHundredDamagedCopies(uint32_t Seed) {
  engine_test::TempFolder Work;
  const TPaintStressResult R = RunPaintStress(engine_test::SkinBuildFolder(), Work.Path(), Seed, 100);
  EXPECT_EQ(R.Variants, 100);
  // Most damage leaves a skin to paint, and some makes the loader refuse it.
  EXPECT_GT(R.Loaded, R.Variants / 2);
  EXPECT_LT(R.Loaded, R.Variants);
  for (const std::string& F : R.Faults) ADD_FAILURE() << F;
}
}  // namespace

TEST(PaintStress, DamagedCarriedSkinsPaintWithoutFaults) { PaintHundredDamagedCopies(20171123); }
TEST(PaintStress, DamagedCarriedSkinsOfASecondSeedPaintWithoutFaults) { PaintHundredDamagedCopies(20171124); }
TEST(PaintStress, DamagedCarriedSkinsOfAThirdSeedPaintWithoutFaults) { PaintHundredDamagedCopies(20171125); }
