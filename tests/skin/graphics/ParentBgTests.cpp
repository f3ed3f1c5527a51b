// Background records: zeroed queries and the references built from their answers.
#include <gtest/gtest.h>

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

TEST(ParentBg, RecordsStartZeroed) {
  // Declared without an initialiser (as on an asker's stack) after the stack held garbage.
  alignas(TvkParentBgQuery) unsigned char Raw[sizeof(TvkParentBgQuery)];
  memset(Raw, 0xCD, sizeof(Raw));
  auto* Q = new (Raw) TvkParentBgQuery;
  EXPECT_EQ(nullptr, Q->Bmp);
  EXPECT_EQ(0u, Q->Color);
  EXPECT_EQ(0, Q->OffsetX);
  EXPECT_EQ(0, Q->OffsetY);
  EXPECT_EQ(TRect(0, 0, 0, 0), Q->Area);
  EXPECT_EQ(TRect(0, 0, 0, 0), Q->FillRect);
  EXPECT_EQ(0, Q->ClipX);
  EXPECT_EQ(0, Q->ClipY);
  EXPECT_EQ(bgkNone, Q->Kind);
  EXPECT_FALSE(Q->PleaseDraw);
  EXPECT_EQ(0, Q->ClientCoords);
  EXPECT_EQ(nullptr, Q->DrawDC);
  Q->~TvkParentBgQuery();
  TvkBgCacheRef Ref;
  EXPECT_FALSE(Ref.Ready);
  EXPECT_EQ(0x00FF00FFu, Ref.FillColor);
}

TEST(ParentBg, BitmapAnswerGivesAReadyReference) {
  BitmapPtr Cache = Bitmap32(4, 4, 0);
  TvkParentBgQuery Q;
  Q.Kind = bgkBitmap;
  Q.Bmp = Cache.get();
  Q.OffsetX = 7;
  Q.OffsetY = -2;
  Q.Color = 0x123456;
  Q.FillRect = TRect(1, 1, 2, 2);
  TvkBgCacheRef Ref;
  BgCacheRefFromQuery(Q, Ref);
  EXPECT_TRUE(Ref.Ready);
  EXPECT_EQ(Cache.get(), Ref.Bmp);
  EXPECT_EQ(7, Ref.X);
  EXPECT_EQ(-2, Ref.Y);
  EXPECT_EQ(0x00FF00FFu, Ref.FillColor);
  EXPECT_EQ(TRect(0, 0, 0, 0), Ref.FillRect);
}

TEST(ParentBg, OtherAnswersCarryTheColourAsRgb) {
  for (uint8_t Kind : {bgkNone, bgkColor, bgkNotReady}) {
    TvkParentBgQuery Q;
    Q.Kind = Kind;
    Q.Color = clBtnFace;
    Q.OffsetX = 3;
    Q.FillRect = TRect(0, 0, 5, 5);
    TvkBgCacheRef Ref;
    Ref.Ready = true;
    BgCacheRefFromQuery(Q, Ref);
    EXPECT_FALSE(Ref.Ready) << int(Kind);
    EXPECT_EQ(static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE)), Ref.FillColor);
    EXPECT_EQ(3, Ref.X);
    EXPECT_EQ(TRect(0, 0, 5, 5), Ref.FillRect);
  }
}
