// Title-bar items drawn into the frame cache: the menu-button picture by state, glyphs, disabled items blended
// into the caption, the draw event, and an item fade's image from the same painter.
#include <gtest/gtest.h>

#include <algorithm>

#include "FormTestSupport.h"
#include "skin/forms/vkTitleBar.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/LayeredRecorder.h"

using namespace form_test;

namespace {

struct TPaintedBar : TTitleBarForm {
  // The picture a hot fade of the item starts from, with the item painted without a section.
  TBitmap* FadeImage(TvkTitleBarItem* It) {
    Paint();
    if (It->SkinData == nullptr) return nullptr;
    It->SkinData->SkinIndex = -1;
    Paint();
    It->HotState = 1;
    It->Animate(4, true, F->Handle());
    return It->Animation != nullptr ? It->Animation->Image : nullptr;
  }
};

// A 16 x 16 red glyph keyed by its top-left pixel.
TBitmap* RedGlyph() {
  auto* G = new TBitmap();
  G->SetPixelFormat(pf24bit);
  G->SetSize(16, 16);
  G->Canvas()->Brush()->SetColor(static_cast<TColor>(0x0000FF));
  G->Canvas()->FillRect(TRect(0, 0, 16, 16));
  SetPixel(G->Canvas()->Handle(), 0, 0, RGB(0, 255, 0));
  return G;
}

}  // namespace

TEST(TitleBarPaint, MenuButtonPictureHoldsThreeOpaqueFramesWithKeyedCorners) {
  std::unique_ptr<TBitmap> B(LoadMenuButtonBitmap());
  ASSERT_NE(B, nullptr);
  ASSERT_EQ(B->Width() % 3, 0);
  const int FW = B->Width() / 3, Mid = B->Height() / 2;
  uint32_t Faces[3];
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(GetPixel32(B.get(), k * FW, 0) & 0xFFFFFF, 0xFF00FFu) << k;
    for (TPoint P : {TPoint(k * FW + FW / 2, 0), TPoint(k * FW + FW / 2, Mid), TPoint(k * FW + 2, 1)})
      EXPECT_EQ(GetPixel32(B.get(), P.X, P.Y) >> 24, 255u) << k << " " << P.X << "," << P.Y;
    Faces[k] = GetPixel32(B.get(), k * FW + FW / 2, Mid);
  }
  EXPECT_NE(Faces[0], Faces[1]);
  EXPECT_NE(Faces[1], Faces[2]);
}

TEST(TitleBarPaint, MenuItemWithoutSectionShowsTheFrameOfItsState) {
  for (int State : {0, 1, 2}) {
    TPaintedBar T;
    TvkTitleBarItem* It = T.Add(bsMenu, 40, 22);
    T.Paint();
    ASSERT_NE(It->SkinData, nullptr);
    It->SkinData->SkinIndex = -1;  // a skin without a title-bar menu section
    if (State == 2) It->SetDown(true);
    It->HotState = State == 1 ? 1 : It->HotState;
    TBitmap* Cache = T.Paint();
    TBitmap* Pic = T.Bar->MenuButton();
    ASSERT_NE(Pic, nullptr);
    const TRect& R = It->Rect;
    ASSERT_EQ(R.Width(), 40);
    const int FW = Pic->Width() / 3;
    for (int y : {3, Pic->Height() / 2, Pic->Height() - 2})
      EXPECT_EQ(GetPixel32(Cache, R.Left + 20, R.Top + y), GetPixel32(Pic, State * FW + FW / 2, y)) << State << " " << y;
    // key corners leave the caption showing
    EXPECT_NE(GetPixel32(Cache, R.Left, R.Top) & 0xFFFFFF, 0xFF00FFu) << State;
  }
}

TEST(TitleBarPaint, GlyphDrawnAndDisabledItemBlendedIntoTheCaption) {
  TPaintedBar T;
  TvkTitleBarItem* It = T.Add(bsButton, 30, 22);
  std::unique_ptr<TBitmap> G(RedGlyph());
  It->SetGlyph(G.get());
  TvkTitleItemDrawData Seen;
  It->OnDrawItem = [&](TvkTitleItemDrawData& D) { Seen = D; };
  TBitmap* Cache = T.Paint();
  const TRect R = It->Rect;
  const int X = R.Left + T.Bar->ItemsMargin() + 8, Y = (R.Top + R.Bottom) / 2;
  const uint32_t Enabled = GetPixel32(Cache, X, Y);
  EXPECT_EQ(Enabled & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Seen.Item, It);
  EXPECT_EQ(Seen.Bmp, Cache);
  EXPECT_EQ(Seen.R.Left, R.Left);
  EXPECT_EQ(Seen.R.Bottom, R.Bottom);

  It->SetVisible(false);
  const uint32_t Caption = GetPixel32(T.Paint(), X, Y);
  It->SetVisible(true);
  It->SetEnabled(false);
  const uint32_t Disabled = GetPixel32(T.Paint(), X, Y);
  for (int Shift : {0, 8, 16}) {
    const int A = (Caption >> Shift) & 0xFF, B = (Enabled >> Shift) & 0xFF;
    EXPECT_NEAR(static_cast<int>((Disabled >> Shift) & 0xFF), ((A - B) * 127 + B * 256) >> 8, 1) << Shift;
  }
}

TEST(TitleBarPaint, ItemFadeImageComesFromTheItemPainter) {
  TPaintedBar T;
  testing_support::LayeredRecorder Rec;
  TvkTitleBarItem* It = T.Add(bsMenu, 40, 22);
  TBitmap* Image = T.FadeImage(It);
  ASSERT_NE(Image, nullptr);
  TBitmap* Pic = T.Bar->MenuButton();
  const uint32_t Want = GetPixel32(Pic, Pic->Width() / 3 + Pic->Width() / 6, 10);
  const uint32_t Got = GetPixel32(Image, 20, 10);
  for (int Shift : {0, 8, 16})
    EXPECT_NEAR(static_cast<int>((Got >> Shift) & 0xFF), static_cast<int>((Want >> Shift) & 0xFF), 1) << Shift;
  It->FreeAnimation();
}

TEST(TitleBarPaint, ItemFadeImageKeepsUndrawnAndKeyedPixelsClear) {
  TPaintedBar T;
  testing_support::LayeredRecorder Rec;
  TvkTitleBarItem* It = T.Add(bsButton, 30, 22);
  std::unique_ptr<TBitmap> G(RedGlyph());
  It->SetGlyph(G.get());
  TBitmap* Image = T.FadeImage(It);  // no section: the painter draws the glyph only
  ASSERT_NE(Image, nullptr);
  const int GX = T.Bar->ItemsMargin(), GY = Image->Height() / 2 - 8;
  EXPECT_EQ(GetPixel32(Image, 0, 0), 0u);            // never drawn
  EXPECT_EQ(GetPixel32(Image, GX, GY), 0u);          // the glyph's key colour
  EXPECT_EQ(GetPixel32(Image, GX + 5, GY + 5) >> 24, 255u);
  It->FreeAnimation();
}

TEST(TitleBarPaint, NinePartCornersPastTheBitmapAreLeftOut) {
  // a 4-pixel corner of a frame reaching 4 pixels past the right edge would wrap into the next rows
  std::unique_ptr<TBitmap> Dest(NewBitmap32(10, 10)), Src(NewBitmap32(12, 12));
  FillRect32(Dest.get(), TRect(0, 0, 10, 10), 0x112233, 255);
  FillRect32(Src.get(), TRect(0, 0, 12, 12), 0xAA0000, 255);
  const uint32_t Before = GetPixel32(Dest.get(), 0, 0), Frame = GetPixel32(Src.get(), 0, 0);
  DrawNinePartBitmap(Dest.get(), Src.get(), TRect(0, 0, 12, 12), TRect(4, 4, 4, 4), TRect(2, -2, 14, 8));
  for (int y = 0; y < 10; ++y) EXPECT_EQ(GetPixel32(Dest.get(), 0, y), Before) << y;
  EXPECT_EQ(GetPixel32(Dest.get(), 3, 0), Frame);
  EXPECT_EQ(GetPixel32(Dest.get(), 9, 0), Frame);
}

TEST(TitleBarPaint, CaptionTextStaysBetweenTheLeftAndRightItemsUnlessTheBarHidesIt) {
  TPaintedBar T;
  T.Add(bsSpacing, 80, 18);
  T.Add(bsSpacing, 90, 18)->SetAlign(tbaRight);
  // the pixels that a long caption changes on the caption band
  auto Changed = [&](bool ShowCaption, int& MinX, int& MaxX) {
    T.Bar->SetShowCaption(ShowCaption);
    T.F->SetCaption("");
    std::unique_ptr<TBitmap> Plain(NewBitmap32(1, 1));
    CopyBitmapFull(Plain.get(), T.Paint());
    T.F->SetCaption(std::string(60, 'W'));
    TBitmap* Cache = T.Paint();
    MinX = Cache->Width(), MaxX = -1;
    int N = 0;
    for (int y = 0; y < T.P->CaptionBottom(); ++y)
      for (int x = 0; x < Cache->Width(); ++x)
        if (GetPixel32(Cache, x, y) != GetPixel32(Plain.get(), x, y)) {
          ++N;
          MinX = std::min(MinX, x);
          MaxX = std::max(MaxX, x);
        }
    return N;
  };
  int MinX = 0, MaxX = 0;
  ASSERT_GT(Changed(true, MinX, MaxX), 0);
  const TRect& A = T.Bar->Area;
  EXPECT_GE(MinX, A.Left + 80 + 8);
  EXPECT_LT(MaxX, A.Right - 90 - 8);
  EXPECT_EQ(Changed(false, MinX, MaxX), 0);
}

TEST(TitleBarPaint, ADisabledItemWhoseDrawEventRaisesLeavesNoCopyBehind) {
  TPaintedBar T;
  TvkTitleBarItem* It = T.Add(bsButton, 24, 18);
  It->SetEnabled(false);
  It->OnDrawItem = [](TvkTitleItemDrawData&) { throw Exception("draw"); };
  int Raised = 0;
  auto Paint = [&] {
    try {
      T.Paint();
    } catch (const Exception&) {
      ++Raised;
    }
  };
  Paint();  // fonts and caches made once
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(5, Paint));
  EXPECT_EQ(Raised, 6);
}
