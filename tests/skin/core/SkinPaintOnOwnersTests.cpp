// The section painters on real owners with the SOLID skin: a control over nested owners finds its parent's
// cache pixels behind it (transparent states and key corners), whatever owners lie between.
#include <gtest/gtest.h>

#include "SkinTestOwners.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSectionRects.h"

using namespace skin_owners;

namespace {

struct PaintOnOwners : OwnerFormTest {
  void SetUp() override {
    OwnerFormTest::SetUp();
    Panel = Owner("PANEL", 10, 10, 100, 60, form, ctPanel, true);
    Clear = Owner("CAPTION", 5, 6, 50, 30, Panel, 20, false);
  }
  // The panel's cache, made after every owner is in place (placing one dirties its parent's cache).
  void PanelPattern() {
    BuildFlatCache(Panel->SkinData, Panel);
    Panel->SkinData->CacheDirty = false;
    // A pattern the painters must carry over pixel for pixel.
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) PutPixel32(Panel->SkinData->CacheBmp, x, y, 0xFF000000u | x << 8 | y);
  }
  // The panel's pixel behind point (x, y) of a child at (7, 8) of the clear owner.
  static uint32_t Behind(int x, int y) { return static_cast<uint32_t>((12 + x) << 8 | (14 + y)); }
  ManagerPtr m = SolidManager();
  TTestSkinOwner* Panel = nullptr;
  TTestSkinOwner* Clear = nullptr;
};

}  // namespace

TEST_F(PaintOnOwners, ATransparentChildShowsTheGrandparentsCache) {
  TTestSkinOwner* Child = Owner("CAPTION", 7, 8, 20, 10, Clear, 20, true);
  PanelPattern();
  PrepareCacheBitmap(Child->SkinData);
  RenderControlSkinOnParent(Child->SkinData, false, Child->SkinData->CacheBmp, TPoint(0, 0), TRect(0, 0, 20, 10), 0);
  EXPECT_EQ(Rgb(Child->SkinData->CacheBmp, 0, 0), Behind(0, 0));
  EXPECT_EQ(Rgb(Child->SkinData->CacheBmp, 19, 9), Behind(19, 9));
}

TEST_F(PaintOnOwners, KeyCornersShowTheParentThroughTheBorderAndTheBackFill) {
  TTestSkinOwner* Child = Owner("KEYCORNER", 7, 8, 20, 10, Clear, ctButton, true);
  PanelPattern();
  ASSERT_GE(Child->SkinData->BorderIndex, 0);
  ASSERT_EQ(m->ma()[Child->SkinData->BorderIndex].CornerType, 1);
  TBitmap* Cache = Child->SkinData->CacheBmp;
  PrepareCacheBitmap(Child->SkinData);
  RenderControlSkinOnParent(Child->SkinData, true, Cache, TPoint(0, 0), TRect(0, 0, 20, 10), 0);
  const uint32_t Ring = 0xFFFFFF, Fill = SwapRedBlue(Html(0x2040C0));
  EXPECT_EQ(Rgb(Cache, 0, 0), Behind(0, 0));
  EXPECT_EQ(Rgb(Cache, 19, 9), Behind(19, 9));
  EXPECT_EQ(Rgb(Cache, 1, 0), Ring);
  EXPECT_EQ(Rgb(Cache, 5, 5), Fill);
  // Painted over, the corners come back from the parent through the back-fill.
  PutPixel32(Cache, 0, 0, 0xFF0000FF);
  PutPixel32(Cache, 19, 0, 0xFF0000FF);
  PutPixel32(Cache, 0, 9, 0xFF0000FF);
  PutPixel32(Cache, 19, 9, 0xFF0000FF);
  FillTransparentCorners(Child->SkinData, 0, fcTopLeft | fcBottomRight);
  EXPECT_EQ(Rgb(Cache, 0, 0), Behind(0, 0));
  EXPECT_EQ(Rgb(Cache, 19, 9), Behind(19, 9));
  EXPECT_EQ(Rgb(Cache, 19, 0), 0x0000FFu);  // not asked for
  EXPECT_EQ(Rgb(Cache, 1, 0), Ring);
}
