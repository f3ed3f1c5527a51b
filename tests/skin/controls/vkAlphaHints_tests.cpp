// Hint templates: the default one built at start-up from "VKHINT", border sizes from an assigned image, the
// clamp and the stored form of an image.
#include <gtest/gtest.h>

#include "framework/TypInfo.h"
#include "skin/controls/vkAlphaHints.h"
#include "tests/support/Bitmaps.h"
#include "tests/support/Owned.h"

using namespace testing_support;

namespace {

Owned<TPNGGraphic> Picture(int W, int H) {
  Owned<TPNGGraphic> P(new TPNGGraphic());
  P->SetPixelFormat(pf32bit);
  P->SetSize(W, H);
  return P;
}

std::vector<int> Sides(TvkBordersSizes* S) { return {S->Left(), S->Top(), S->Right(), S->Bottom()}; }

// Records which binary properties a filer is offered and whether they have data.
struct RecordingFiler : TFiler {
  std::vector<std::pair<std::string, bool>> Offered;
  void DefineProperty(const std::string& Name, const std::function<void(TReader&)>&, bool HasData) override {
    Offered.emplace_back(Name, HasData);
  }
  void DefineBinaryProperty(const std::string& Name, const std::function<void(TStream&)>& Read, bool HasData) override {
    Offered.emplace_back(Name, HasData);
    Reader = Read;
  }
  std::function<void(TStream&)> Reader;
};

}  // namespace

TEST(HintTemplates, StartUpLoadsVkHintWithItsThreeSizeGroups) {
  ASSERT_EQ(DefaultHintTemplate, nullptr);
  AlphaHintsInitialize();
  ASSERT_NE(DefaultHintTemplate, nullptr);
  TvkHintImage* I = DefaultHintTemplate->ImageDefault();
  EXPECT_EQ(I->ImageWidth(), 40);
  EXPECT_EQ(I->ImageHeight(), 40);
  EXPECT_EQ(I->Image()->PixelFormat(), pf32bit);
  EXPECT_EQ(Sides(I->BordersWidths()), (std::vector<int>{11, 10, 14, 15}));
  EXPECT_EQ(Sides(I->ShadowSizes()), (std::vector<int>{6, 5, 7, 8}));
  EXPECT_EQ(Sides(I->ClientMargins()), (std::vector<int>{11, 8, 16, 15}));
  // Every placement falls back to the default image while the others are empty.
  for (int Placement = 0; Placement < 4; ++Placement)
    EXPECT_EQ(DefaultHintTemplate->ImageForPlacement(Placement), I) << Placement;
  AlphaHintsFinalize();
  EXPECT_EQ(DefaultHintTemplate, nullptr);
}

TEST(HintTemplates, AnImageSetsBordersAndMarginsToHalfItsSizeLessOne) {
  Owned<TvkHintTemplate> T(new TvkHintTemplate());
  TvkHintImage* I = T->Img_RightTop();
  I->SetImage(Picture(31, 21).get());
  EXPECT_EQ(Sides(I->BordersWidths()), (std::vector<int>{15, 10, 15, 10}));
  EXPECT_EQ(Sides(I->ClientMargins()), (std::vector<int>{15, 10, 15, 10}));
  // Placement 2 now takes its own image; 1 and 3 still the default one.
  EXPECT_EQ(T->ImageForPlacement(2), I);
  EXPECT_EQ(T->ImageForPlacement(1), T->ImageDefault());
  EXPECT_EQ(T->ImageForPlacement(3), T->ImageDefault());

  // A copied template carries its images, font and name.
  T->SetName("Blue");
  T->SetHintAlign(haVertCenter);
  Owned<TvkHintTemplate> Copy(new TvkHintTemplate());
  Copy->Assign(T.get());
  EXPECT_EQ(Copy->Name(), "Blue");
  EXPECT_EQ(Copy->HintAlign(), haVertCenter);
  EXPECT_EQ(Copy->Img_RightTop()->ImageWidth(), 31);
  EXPECT_EQ(Sides(Copy->Img_RightTop()->BordersWidths()), (std::vector<int>{15, 10, 15, 10}));
}

TEST(HintTemplates, SidesReadNegativeAsZeroAndClampToTheImage) {
  Owned<TvkHintImage> I(new TvkHintImage());
  TvkBordersSizes* B = I->BordersWidths();
  B->SetLeft(-4);
  EXPECT_EQ(B->Left(), 0);
  I->SetImage(Picture(20, 10).get());
  B->ClampToImage = true;
  B->SetTop(50);  // at most the height less 1, and the bottom only what is left less 1
  EXPECT_EQ(B->Top(), 9);
  EXPECT_EQ(B->Bottom(), 0);
  B->SetLeft(12);
  EXPECT_EQ(B->Left(), 12);
  EXPECT_EQ(B->Right(), 7);
}

TEST(HintTemplates, AnImageIsStoredAsItsFileBytesWhenItHasThem) {
  Owned<TvkHintImage> I(new TvkHintImage());
  const TPropInfo* Image = GetPropInfo(I.get(), "Image");
  ASSERT_NE(Image, nullptr);
  RecordingFiler Before;
  I->DefineProperties(Before);
  ASSERT_EQ(Before.Offered.size(), 1u);
  EXPECT_EQ(Before.Offered[0], (std::pair<std::string, bool>{"ImgData", false}));
  EXPECT_TRUE(Image->stored(I.get()));

  // Reading "ImgData" decodes it into a new picture; from then on only the bytes are stored.
  HRSRC Res = FindResourceA(GetModuleHandleA(nullptr), "VKHINT", MAKEINTRESOURCEA(10));
  ASSERT_NE(Res, nullptr);
  const auto* Bytes = static_cast<const uint8_t*>(LockResource(LoadResource(GetModuleHandleA(nullptr), Res)));
  Owned<TMemoryStream> S(new TMemoryStream());
  S->Write(Bytes, static_cast<int32_t>(SizeofResource(GetModuleHandleA(nullptr), Res)));
  S->SetPosition(0);
  Before.Reader(*S);
  EXPECT_EQ(I->ImageWidth(), 40);
  EXPECT_FALSE(Image->stored(I.get()));
  RecordingFiler After;
  I->DefineProperties(After);
  EXPECT_EQ(After.Offered[0], (std::pair<std::string, bool>{"ImgData", true}));
}
