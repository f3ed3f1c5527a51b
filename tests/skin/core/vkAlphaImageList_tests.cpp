// The alpha image list: items decoded and resampled for drawing, the system list built (scaled) from them,
// stored items read back, the library's glyph and shell lists.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <type_traits>

#include "engine_support.h"
#include "framework/FormReader.h"
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/core/vkStartupUnits.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/skin/graphics/PngFixtures.h"
#include "tests/support/Dib32.h"

namespace {

using testing_support::Owned;

// An RGBA PNG of W x H: red where Alpha(x, y) is true or a non-zero alpha, fully transparent elsewhere.
template <class F> std::vector<uint8_t> RedPng(int W, int H, F Alpha) {
  png_fixtures::PngFixture P;
  P.Width = W;
  P.Height = H;
  P.ColorType = 6;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      unsigned A = 0;
      if constexpr (std::is_same_v<decltype(Alpha(x, y)), bool>)
        A = Alpha(x, y) ? 255u : 0u;
      else
        A = static_cast<unsigned>(Alpha(x, y));
      P.Samples.insert(P.Samples.end(), {A != 0 ? 255u : 0u, 0u, 0u, A});
    }
  return png_fixtures::EncodePng(P);
}

void Load(TMemoryStream& S, const std::vector<uint8_t>& Bytes) {
  S.Clear();
  S.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
  S.SetPosition(0);
}

Owned<TsAlphaImageList> NewList(int W = 16, int H = 16) {
  Owned<TsAlphaImageList> L(Create<TsAlphaImageList>(nullptr));
  L->SetWidth(W);
  L->SetHeight(H);
  return L;
}

// Image Index drawn over opaque blue into a bitmap of W x H; the pixel colours (0x00RRGGBB).
std::vector<uint32_t> DrawnOverBlue(TCustomImageList* L, int Index, int W, int H) {
  TBitmap* Bmp = NewBitmap32(W, H);
  PaintSolidRect(Bmp->Canvas()->Handle(), TRect(0, 0, W, H), 0xFF0000);
  DrawImageListImage32(L, Bmp, 0, 0, Index, 0, NoColor32, 0, 1, false);
  std::vector<uint32_t> Px;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) Px.push_back(GetPixel32(Bmp, x, y) & 0xFFFFFF);
  Bmp->Free();
  return Px;
}

int IconWidth(TCustomImageList* L) {
  int W = 0, H = 0;
  ImageList_GetIconSize(L->Handle(), &W, &H);
  return W;
}

// Opaque red composed over blue: the compositor weighs a full alpha as 255 of 256.
constexpr uint32_t kRed = 0xFE0000, kBlue = 0x0000FF;

}  // namespace

TEST(AlphaImageList, ItemsAreResampledToTheListSizeAndBadBytesAddNothing) {
  auto L = NewList();
  TMemoryStream S;
  Load(S, engine_test::Bytes("not a png at all"));
  EXPECT_FALSE(L->AddFromStream(&S));
  EXPECT_EQ(L->Items()->Count(), 0);

  Load(S, RedPng(48, 48, [](int x, int) { return x < 24; }));
  ASSERT_TRUE(L->AddFromStream(&S));
  EXPECT_EQ(L->Items()->Items(0)->OrigWidth, 48);
  EXPECT_EQ(L->Count(), 1);
  EXPECT_EQ(IconWidth(L.get()), 16);
  const auto Px = DrawnOverBlue(L.get(), 0, 16, 16);
  EXPECT_EQ(Px[8 * 16 + 2], kRed);
  EXPECT_EQ(Px[8 * 16 + 13], kBlue);

  Load(S, engine_test::Bytes("\x89PNG broken"));
  EXPECT_FALSE(L->AddFromStream(&S));
  EXPECT_EQ(L->Items()->Count(), 1);
  EXPECT_EQ(L->Count(), 1);

  ASSERT_NE(L->Items()->Items(0)->CacheBmp, nullptr);
  L->SetUseCache(false);
  EXPECT_EQ(L->Items()->Items(0)->CacheBmp, nullptr);

  // a stored item that does not decode keeps its place, so the next one keeps its index
  L->Items()->Add()->ImgData()->WriteBuffer("junk", 4);
  TsImgListItem* Last = L->Items()->Add();
  const auto Png = RedPng(16, 16, [](int, int) { return true; });
  Last->ImgData()->WriteBuffer(Png.data(), static_cast<int32_t>(Png.size()));
  L->BuildHandleImages();
  EXPECT_EQ(L->Count(), 3);
  EXPECT_EQ(DrawnOverBlue(L.get(), 2, 16, 16)[8 * 16 + 8], kRed);
}

// Opaque red with (3, 3) transparent and (1, 1) half so, in a list with a green background, drawn from the system
// list over blue: the icon keeps the picture and masks what is transparent, from XP (5.1) on and before (whose
// icons have no alpha); the half-transparent part lies over the list's background from XP on, before over black.
TEST(AlphaImageList, SystemIconsKeepThePictureAndMaskWhatIsTransparentBeforeXPAndAfter) {
  for (const DWORD Minor : {DWORD{1}, DWORD{0}}) {
    Platform().GetVersionExA = [Minor](OSVERSIONINFOA* Info) {
      Info->dwMajorVersion = 5;
      Info->dwMinorVersion = Minor;
      return TRUE;
    };
    auto L = NewList(4, 4);
    L->SetBkColor(static_cast<TColor>(0x00FF00));
    TMemoryStream S;
    Load(S, RedPng(4, 4, [](int x, int y) { return x == 1 && y == 1 ? 128 : x + y < 6 ? 255 : 0; }));
    const bool Added = L->AddFromStream(&S);
    ResetPlatform();
    ASSERT_TRUE(Added);
    testing_support::Dib32 D(4, 4, 0xFF0000FFu, true);
    ImageList_Draw(L->Handle(), 0, D.DC(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(D.Rgb(0, 0), kRed) << Minor;
    EXPECT_EQ(D.Rgb(3, 3), kBlue) << Minor;
    EXPECT_EQ((D.Rgb(1, 1) & 0x00FF00) != 0, Minor == 1) << Minor;
  }
}

TEST(AlphaImageList, SystemListFollowsTheManagersScaleWhileTheDesignedSizeStays) {
  engine_test::ManagerPtr M(Create<TsSkinManager>(nullptr));
  ASSERT_EQ(TsSkinManager::DefaultManager(), M.get());
  M->Options()->SetScaleMode(sm150);
  auto L = NewList();
  TMemoryStream S;
  Load(S, RedPng(16, 16, [](int, int) { return true; }));
  ASSERT_TRUE(L->AddFromStream(&S));
  EXPECT_EQ(L->Width(), 16);
  EXPECT_EQ(L->Height(), 16);
  EXPECT_EQ(IconWidth(L.get()), 24);
  EXPECT_EQ(L->ScaledHeight(), 24);
  EXPECT_EQ(DrawnOverBlue(L.get(), 0, 24, 24)[12 * 24 + 12], kRed);
  // the manager walks the lists when its scale changes
  M->Options()->SetScaleMode(sm100);
  EXPECT_EQ(IconWidth(L.get()), 16);
}

TEST(AlphaImageList, BmpWithoutAlphaIsOpaqueExceptItsKeyAndForeignImagesDrawFromTheSystemList) {
  // a 32-bit BMP of 4 x 4 whose alpha bytes are all 0: green (the bottom-left colour) is the key
  std::vector<uint8_t> Bmp(54 + 64, 0);
  auto Put32 = [&](size_t At, uint32_t V) {
    for (int i = 0; i < 4; ++i) Bmp[At + i] = static_cast<uint8_t>(V >> (8 * i));
  };
  Bmp[0] = 'B', Bmp[1] = 'M';
  Put32(2, static_cast<uint32_t>(Bmp.size()));
  Put32(10, 54), Put32(14, 40), Put32(18, 4), Put32(22, 4);
  Bmp[26] = 1, Bmp[28] = 32;
  for (int i = 0; i < 16; ++i) Put32(54 + 4 * i, i == 0 || i == 5 ? 0x00FF00 : 0xFF0000);  // rows bottom-up
  auto L = NewList(4, 4);
  TsImgListItem* Item = L->Items()->Add();
  Item->SetImageFormat(ifBMP32);
  Item->ImgData()->WriteBuffer(Bmp.data(), static_cast<int32_t>(Bmp.size()));
  L->BuildHandleImages();
  auto Px = DrawnOverBlue(L.get(), 0, 4, 4);
  EXPECT_EQ(Px[3 * 4 + 0], kBlue);  // the key itself
  EXPECT_EQ(Px[2 * 4 + 1], kBlue);  // another pixel of the key colour
  EXPECT_EQ(Px[0], kRed);

  // an image put into the system list by other means: its missing alpha becomes opaque, drawn as the icon
  TBitmap* Red = NewBitmap32(4, 4);
  PaintSolidRect(Red->Canvas()->Handle(), TRect(0, 0, 4, 4), 0x0000FF);
  L->Add(Red, nullptr);
  Red->Free();
  ASSERT_EQ(L->Count(), 2);
  Px = DrawnOverBlue(L.get(), 1, 4, 4);
  EXPECT_EQ(Px[5], 0xFD0000u);  // composed twice: into the system list's icon, then over the target
}

TEST(AlphaImageList, StoredItemsAreReadWithTheirDesignedSize) {
  InitializeForms();
  RegisterAlphaImageListClasses();
  const auto Png = RedPng(8, 8, [](int x, int y) { return x == y; });
  std::string Hex;
  for (uint8_t B : Png) {
    char Two[3];
    snprintf(Two, sizeof Two, "%02X", B);
    Hex += Two;
  }
  TForm* Form = TForm::CreateNew(Application);
  ReadComponentFromText("object F: TForm\n  object Glyphs: TsAlphaImageList\n    Height = 8\n    Width = 8\n"
                        "    Items = <\n      item\n        ImageFormat = ifPNG\n        ImageName = 'diag'\n"
                        "        ImgData = {" + Hex + "}\n      end>\n  end\nend\n",
                        Form);
  auto* L = As<TsAlphaImageList>(Form->FindComponent("Glyphs"));
  ASSERT_NE(L, nullptr);
  EXPECT_TRUE(L->Ready);
  EXPECT_TRUE(L->Built);
  EXPECT_EQ(L->Width(), 8);
  EXPECT_EQ(L->Count(), 1);
  EXPECT_EQ(L->Items()->Items(0)->ImageName(), "diag");
  const auto Px = DrawnOverBlue(L, 0, 8, 8);
  EXPECT_EQ(Px[3 * 8 + 3], kRed);
  EXPECT_EQ(Px[3 * 8 + 4], kBlue);
  Form->Free();
}

TEST(AlphaImageList, LibraryGlyphsAndTheSharedShellList) {
  ResourceGlyphListInitialize();
  ASSERT_NE(ResourceGlyphList, nullptr);
  EXPECT_EQ(ResourceGlyphList->Width(), 32);
  EXPECT_EQ(ResourceGlyphList->Height(), 16);
  ASSERT_EQ(ResourceGlyphList->Items()->Count(), 5);
  EXPECT_EQ(ResourceGlyphList->Items()->Items(4)->ImageName(), "SC");
  EXPECT_EQ(ResourceGlyphList->Count(), 5);
  ResourceGlyphListFinalize();
  EXPECT_EQ(ResourceGlyphList, nullptr);

  vkShellCtrlsInitialize();
  ASSERT_NE(ShellSmallImages, nullptr);
  HIMAGELIST Shell = ShellSmallImages->Handle();
  EXPECT_TRUE(ShellSmallImages->ShareImages());
  vkShellCtrlsFinalize();
  EXPECT_EQ(ShellSmallImages, nullptr);
  int W = 0, H = 0;
  EXPECT_TRUE(ImageList_GetIconSize(Shell, &W, &H));  // the shell's list is still alive
}
