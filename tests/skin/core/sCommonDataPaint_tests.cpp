// What skin state paints itself: colour shifts of a cache, the cache copied around covering children, and an
// owner's outline or shadow drawn into its parent's cache.
#include <gtest/gtest.h>

#include "SkinTestOwners.h"
#include "tests/support/Dib32.h"

using namespace skin_owners;
using namespace engine_test;
using testing_support::Dib32;

namespace {

struct CachePaint : OwnerFormTest {
  void SetUp() override {
    OwnerFormTest::SetUp();
    form->Show();
    panel = Owner("PANEL", 0, 0, 60, 40, form);
    BuildFlatCache(panel->SkinData, panel);
    panel->SkinData->CacheDirty = false;
  }
  ManagerPtr m = SolidManager();
  TTestSkinOwner* panel = nullptr;
};

constexpr uint32_t kYellow = 0xFFFF00;

}  // namespace

TEST_F(CachePaint, TheCacheGoesAroundCoveringChildren) {
  auto* Label = Place(panel, 2, 2, 8, 6, Create<TTestGraphicOwner>(form));
  auto* Opaque = Owner("NONE", 20, 2, 10, 10, panel);
  Opaque->SetControlStyle(Opaque->ControlStyle() + csOpaque);
  Owner("NONE", 40, 2, 10, 10, panel);
  Dib32 Dc(60, 40);
  BlitCacheExceptChildren(panel, panel->SkinData, POINT{0, 0}, 0, 0, false, Dc.DC(), RECT{0, 0, 60, 40});
  EXPECT_EQ(Dc.Rgb(3, 3), 0u) << "a graphic child keeps its place";
  EXPECT_EQ(Dc.Rgb(22, 4), 0u) << "an opaque child too";
  EXPECT_EQ(Dc.Rgb(42, 4), kYellow);
  EXPECT_EQ(Dc.Rgb(1, 30), kYellow);
  m->Options()->SetFlag(5, true);  // StdImgTransparency: graphic children show the cache through
  Dc.Fill(0);
  BlitCacheExceptChildren(panel, panel->SkinData, POINT{0, 0}, 0, 0, false, Dc.DC(), RECT{0, 0, 30, 40});
  EXPECT_EQ(Dc.Rgb(3, 3), kYellow);
  EXPECT_EQ(Dc.Rgb(35, 30), 0u) << "only R";
  Label->SetVisible(false);

  // by windows: every visible child window, but of a group box only its frame
  HWND Box = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 20, 30, 20, panel->Handle(),
                             nullptr, nullptr, nullptr);
  HWND Static = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 35, 20, 20, 15, panel->Handle(), nullptr,
                                nullptr, nullptr);
  Dc.Fill(0);
  BlitCacheExceptChildWindows(panel->Handle(), panel->SkinData, POINT{0, 0}, 0, 0, false, Dc.DC(),
                              RECT{0, 0, 60, 40});
  EXPECT_EQ(Dc.Rgb(42, 4), 0u);
  EXPECT_EQ(Dc.Rgb(40, 25), 0u);
  EXPECT_EQ(Dc.Rgb(10, 30), kYellow) << "inside the group box";
  EXPECT_EQ(Dc.Rgb(0, 30), 0u) << "its 1-pixel border of the skin's group-box section";
  EXPECT_EQ(Dc.Rgb(10, 39), 0u);
  DestroyWindow(Box);
  DestroyWindow(Static);
}

TEST_F(CachePaint, ColourShiftsSpareTheKeyColour) {
  TBitmap* Cache = panel->SkinData->CacheBmp;
  PutPixel32(Cache, 0, 0, 0xFFFF00FF);
  panel->SkinData->SetSaturation(-100);
  ApplyControlColorShift(Cache, panel->SkinData);
  const uint32_t Grey = Rgb(Cache, 5, 5);
  EXPECT_EQ(Grey & 0xFF, (Grey >> 8) & 0xFF);
  EXPECT_EQ(Grey & 0xFF, (Grey >> 16) & 0xFF);
  EXPECT_NE(Grey, kYellow);
  EXPECT_EQ(Rgb(Cache, 0, 0), 0xFF00FFu);
}

TEST_F(CachePaint, AnOutlineIsDrawnIntoTheParentsCacheAndItsGroundKept) {
  TTestSkinOwner* Child = Owner("OUTERED", 10, 10, 20, 10, panel);
  ASSERT_GE(m->gd()[Child->SkinData->SkinIndex].OuterMask, 0);
  TBitmap* Cache = panel->SkinData->CacheBmp;
  panel->SkinData->SendCacheToChildren(panel, POINT{0, 0});
  EXPECT_EQ(Child->Count(VKCMD_TAKE_PARENT_CACHE), 1);
  // the key-cornered ring around the child's bounds grown by 2
  EXPECT_EQ(Rgb(Cache, 8, 12), 0xFFFF00u | (255 * 200 >> 8));
  EXPECT_EQ(Rgb(Cache, 31, 12), 0xFFFF00u | (255 * 200 >> 8));
  EXPECT_EQ(Rgb(Cache, 8, 8), kYellow) << "key corner";
  EXPECT_EQ(Rgb(Cache, 20, 15), kYellow) << "no centre";
  EXPECT_EQ(Rgb(Cache, 7, 12), kYellow);
  TBitmap* Ground = Child->SkinData->OuterBackground;
  ASSERT_NE(Ground, nullptr);
  EXPECT_EQ(Ground->Width(), 24);
  EXPECT_EQ(Rgb(Ground, 0, 4), kYellow);

  // with flag 0x100 what lay under the outline comes back before it is kept anew
  TvkParentBgQuery Q{.Bmp = Cache, .Kind = bgkBitmap};
  PutPixel32(Cache, 8, 12, 0xFF000000);
  SendSkinMessage(Child->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_TAKE_PARENT_CACHE, 0x100),
                  reinterpret_cast<LPARAM>(&Q));
  EXPECT_EQ(Rgb(Child->SkinData->OuterBackground, 0, 4), kYellow);
  PutPixel32(Cache, 8, 12, 0xFF000000);
  SendSkinMessage(Child->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_TAKE_PARENT_CACHE), reinterpret_cast<LPARAM>(&Q));
  EXPECT_EQ(Rgb(Child->SkinData->OuterBackground, 0, 4), 0u);
}

TEST_F(CachePaint, KeyedBorderCornersBecomeSeeThrough) {
  const int Keyed = m->FindSectionIndex("KEYCORNER");
  ASSERT_GE(Keyed, 0);
  TBitmap* Bmp = NewBitmap32(20, 10);
  FillRect32(Bmp, TRect(0, 0, 20, 10), 0x123456, 255);
  ClearBorderMaskCorners(Keyed, Bmp, m.get());
  for (POINT P : {POINT{0, 0}, POINT{19, 0}, POINT{0, 9}, POINT{19, 9}}) EXPECT_EQ(GetPixel32(Bmp, P.x, P.y) >> 24, 0u);
  EXPECT_EQ(GetPixel32(Bmp, 1, 0) >> 24, 255u);
  EXPECT_EQ(GetPixel32(Bmp, 19, 8), 0xFF563412u) << "colour and the rest untouched";
  ClearBorderMaskCorners(m->FindSectionIndex("PANEL"), Bmp, m.get());  // no border mask: nothing
  EXPECT_EQ(GetPixel32(Bmp, 1, 0) >> 24, 255u);
  delete Bmp;
}

TEST_F(CachePaint, BorderWidthsBeyondTheFrameReadNothingOutsideIt) {
  // An image of its own, 8 wide: the frame is its left 4 columns (opaque grey), the 4 right of it are key. A
  // right width of 6 reaches 2 columns before the frame, which belong to no corner of it.
  TBitmap* Img = NewBitmap32(8, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) PutPixel32(Img, x, y, x < 4 ? 0xFF808080u : 0xFFFF00FFu);
  TsMaskData E;
  E.Manager = m.get();
  E.Bmp = Img;
  E.R = TRect(0, 0, 4, 4);
  E.ImageCount = 1;
  E.Width = 4;
  E.Height = 4;
  E.WL = E.WT = E.WB = 1;
  E.WR = 6;
  m->EditModel().ma.push_back(E);
  const int Keyed = m->FindSectionIndex("KEYCORNER");
  m->EditModel().gd[Keyed].BorderIndex = static_cast<int>(m->ma().size()) - 1;
  TBitmap* Bmp = NewBitmap32(20, 10);
  FillRect32(Bmp, TRect(0, 0, 20, 10), 0x123456, 255);
  ClearBorderMaskCorners(Keyed, Bmp, m.get());
  int Cleared = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) Cleared += (GetPixel32(Bmp, x, y) >> 24) == 0;
  EXPECT_EQ(Cleared, 0);
  delete Bmp;
  delete Img;
}

// A copy of SOLID that leaves its shadow's source at the default: the shadow made from the program's soft edge.
TEST(CachePaintShadow, TheDefaultShadowDarkensTheParentsCacheSoftlyAroundTheChild) {
  BoxRecorder Boxes;
  TempFolder Dir;
  const std::string From = SkinBuildFolder() + "SOLID\\", To = Dir.Sub("SHADOWED");
  for (const char* File : {"MASTER.BMP", "HITBTN.BMP", "PHOTO.JPG"}) WriteFileBytes(To + File, ReadFileBytes(From + File));
  std::string Text;
  for (uint8_t B : ReadFileBytes(From + "Options.dat")) Text += static_cast<char>(B);
  const size_t At = Text.find("SH_SOURCE=0");
  ASSERT_NE(At, std::string::npos);
  Text.erase(At, 11);
  WriteFileText(To + "Options.dat", Text);
  ResetPlatform();
  TForm* Form = NewTestForm();
  {
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    m->SetSkinDirectory(Dir.Path());
    m->SetSkinName("SHADOWED");
    ASSERT_TRUE(m->SkinData().Active);
    Form->Show();
    auto* Panel = Place(Form, 0, 0, 60, 40, Create<TTestSkinOwner>(Form));
    Panel->SkinData->SetSkinSection("PANEL");
    Panel->SkinData->FinishLoading(false);
    BuildFlatCache(Panel->SkinData, Panel);
    auto* Child = Place(Panel, 10, 10, 20, 10, Create<TTestSkinOwner>(Form));
    Child->SkinData->SetSkinSection("BUTTON");  // no OUTERMODE of its own: the shadow
    Child->SkinData->FinishLoading(false);
    TBitmap* Cache = Panel->SkinData->CacheBmp;
    const uint32_t Ground = Rgb(Cache, 45, 15);
    Panel->SkinData->SendCacheToChildren(Panel, POINT{0, 0});
    // right of the child (its right edge is 30, the shadow reaches 3 further): darker inwards, untouched beyond
    auto Sum = [&](int X, int Y) {
      const uint32_t P = Rgb(Cache, X, Y);
      return (P & 0xFF) + ((P >> 8) & 0xFF) + ((P >> 16) & 0xFF);
    };
    EXPECT_EQ(Rgb(Cache, 33, 15), Ground);
    EXPECT_LT(Sum(30, 15), Sum(32, 15));
    EXPECT_LT(Sum(32, 15), Sum(33, 15) + 1);
    EXPECT_GT(Sum(30, 15), 0u) << "soft, not a black edge";
    EXPECT_LT(Sum(20, 23), Sum(20, 26)) << "below it too";
    // by the record's opacity, 60 unless the skin says otherwise
    const uint32_t Shade = Sum(33, 15) - Sum(30, 15);
    m->EditModel().OuterEffects[1].Opacity = 255;
    BuildFlatCache(Panel->SkinData, Panel);
    Panel->SkinData->SendCacheToChildren(Panel, POINT{0, 0});
    EXPECT_NEAR(Shade, (Sum(33, 15) - Sum(30, 15)) * 60.0 / 256, 6);
  }
  Form->Free();
  ResetPlatform();
}
