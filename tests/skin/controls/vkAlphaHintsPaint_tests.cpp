// Hint pictures on bitmaps: a template frame by its draw modes, the skin section's frame and outline, and
// text that the layered window can show.
#include <gtest/gtest.h>

#include "skin/controls/vkAlphaHints.h"
#include "skin/controls/vkAlphaHintsPaint.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/skin/controls/ControlsTestSupport.h"

using namespace controls_test;

namespace {

uint32_t At(TBitmap* B, int X, int Y) { return static_cast<uint32_t*>(B->ScanLine(Y))[X]; }

// A 6 x 4 picture with 1-pixel borders: corners 0xA0, sides 0xB0 and 0xB1 in turn, centre 0xC0 and 0xC1 in
// turn along x; every pixel half transparent.
Owned<TvkHintImage> SixByFour() {
  Owned<TPNGGraphic> P(new TPNGGraphic());
  P->SetPixelFormat(pf32bit);
  P->SetSize(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool EdgeX = x == 0 || x == 5, EdgeY = y == 0 || y == 3;
      const uint32_t v = EdgeX && EdgeY ? 0xA0 : EdgeX ? 0xB0 + (y - 1) : EdgeY ? 0xB0 + (x - 1) % 2 : 0xC0 + (x - 1) % 2;
      static_cast<uint32_t*>(P->ScanLine(y))[x] = 0x80000000u | v;
    }
  Owned<TvkHintImage> I(new TvkHintImage());
  I->SetImage(P.get());
  I->BordersWidths()->SetAll(1, 1, 1, 1);
  return I;
}

Owned<TBitmap> Blank(int W, int H) {
  Owned<TBitmap> B(NewBitmap32(W, H));
  for (int y = 0; y < H; ++y) std::fill_n(static_cast<uint32_t*>(B->ScanLine(y)), W, 0u);
  return B;
}

}  // namespace

TEST(HintPictures, TemplateFrameStretchesOrTilesEachPartByItsMode) {
  Owned<TvkHintImage> I = SixByFour();
  Owned<TBitmap> B = Blank(10, 6);
  PaintHintImageFrame(B.get(), I.get());
  // Stretched (the default): the 4 source columns 1..4 over the 8 destination columns 1..8 pair up.
  EXPECT_EQ(At(B.get(), 0, 0), 0x800000A0u);
  EXPECT_EQ(At(B.get(), 9, 5), 0x800000A0u);
  EXPECT_EQ(At(B.get(), 1, 0), 0x800000B0u);
  EXPECT_EQ(At(B.get(), 2, 0), 0x800000B0u);
  EXPECT_EQ(At(B.get(), 3, 0), 0x800000B1u);
  EXPECT_EQ(At(B.get(), 0, 4), 0x800000B1u);  // left side: 2 source rows over 4

  I->BorderDrawModes()->SetTop(dmRepeat);
  I->BorderDrawModes()->SetCenter(dmRepeat);
  PaintHintImageFrame(B.get(), I.get());
  for (int x = 1; x < 9; ++x) EXPECT_EQ(At(B.get(), x, 0) & 0xFF, 0xB0u + (x - 1) % 2) << x;
  for (int x = 1; x < 9; ++x) EXPECT_EQ(At(B.get(), x, 2) & 0xFF, 0xC0u + (x - 1) % 2) << x;
  EXPECT_EQ(At(B.get(), 2, 5), 0x800000B0u);  // the bottom keeps stretching
  EXPECT_EQ(At(B.get(), 0, 2), 0x800000B0u);  // the left side too
}

TEST(HintPictures, BordersWiderThanThePictureTakeOnlyWhatItHas) {
  Owned<TvkHintImage> I = SixByFour();
  I->BordersWidths()->SetAll(9, 7, 9, 7);  // unclamped: each side alone exceeds the 6 x 4 picture
  for (const TvkBorderDrawMode Mode : {dmStretch, dmRepeat}) {
    I->BorderDrawModes()->SetCenter(Mode);
    I->BorderDrawModes()->SetTop(Mode);
    Owned<TBitmap> B = Blank(30, 20);
    PaintHintImageFrame(B.get(), I.get());
    int Foreign = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) {
        const uint32_t p = At(B.get(), x, y);
        Foreign += p != 0 && (p >> 24 != 0x80 || (p & 0xF0) < 0xA0);  // only the picture's own pixels, or none
      }
    EXPECT_EQ(Foreign, 0) << Mode;
    EXPECT_EQ(At(B.get(), 0, 0), 0x800000A0u) << Mode;
    EXPECT_EQ(At(B.get(), 5, 3), 0x800000A0u) << Mode;  // the picture's far corner ends the clamped corner
  }
}

TEST(HintPictures, SkinSectionFrameIsOpaqueWhereItPaintsAndClearWhereItLeavesTheKey) {
  Owned<TsSkinManager> M = SkinnedManager();
  Owned<TBitmap> B = Blank(20, 12);
  PaintSkinHintFrame(B.get(), M.get(), M->Model().FindSectionIndex("HINT"), 0);
  EXPECT_EQ(At(B.get(), 0, 0), 0xFFFFFFC0u);
  EXPECT_EQ(At(B.get(), 10, 6), 0xFFFFFFC0u);

  const int Keyed = M->Model().FindSectionIndex("KEYCORNER");
  PaintSkinHintFrame(B.get(), M.get(), Keyed, 0);
  EXPECT_EQ(At(B.get(), 0, 0), 0u);
  EXPECT_EQ(At(B.get(), 19, 11), 0u);
  EXPECT_EQ(At(B.get(), 1, 0) >> 24, 0xFFu);
  EXPECT_EQ(At(B.get(), 10, 6) >> 24, 0xFFu);

  HRGN Full = SkinHintRegion(M.get(), M->Model().FindSectionIndex("HINT"), 0, 20, 12);
  HRGN Cut = SkinHintRegion(M.get(), Keyed, 0, 20, 12);
  EXPECT_TRUE(PtInRegion(Full, 0, 0));
  EXPECT_FALSE(PtInRegion(Cut, 0, 0));
  EXPECT_FALSE(PtInRegion(Cut, 19, 11));
  EXPECT_TRUE(PtInRegion(Cut, 1, 0));
  EXPECT_TRUE(PtInRegion(Cut, 10, 6));
  DeleteObject(Full);
  DeleteObject(Cut);
  EXPECT_THROW(PaintSkinHintFrame(B.get(), M.get(), -1, 0), EInvalidOperation);
}

TEST(HintPictures, TextGoesInsideTheMarginsAndIsOpaque) {
  Owned<TvkHintImage> I = SixByFour();
  I->ClientMargins()->SetAll(3, 2, 4, 5);
  const TRect R = HintTextRect(100, 40, I.get());
  EXPECT_EQ(R, TRect(3, 2, 96, 35));

  Owned<TFont> F(new TFont());
  F->SetColor(clBlack);
  for (bool Html : {false, true}) {
    Owned<TBitmap> B = Blank(100, 40);
    for (int y = 0; y < 40; ++y) std::fill_n(static_cast<uint32_t*>(B->ScanLine(y)), 100, 0x00FFFFFFu);
    DrawHintText(B.get(), R, Html ? "<b>Hint</b>" : "Hint", F.get(), Html, DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    int Opaque = 0, Outside = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 100; ++x) {
        const uint32_t p = At(B.get(), x, y);
        if (p >> 24 == 0xFF) ++Opaque;
        if ((p & 0xFFFFFF) != 0xFFFFFF && !(x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom)) ++Outside;
      }
    EXPECT_GT(Opaque, 8) << Html;
    EXPECT_EQ(Outside, 0) << Html;
  }
}
