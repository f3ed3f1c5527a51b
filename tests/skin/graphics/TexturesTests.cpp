// Texture fills: masked tiles on 32-bit bitmaps (whole coverage, background bands, tiles of no size), the
// canvas painter's draw modes and the mask blend of texture tiles.
#include <gtest/gtest.h>

#include "PainterSkin.h"
#include "tests/skin/graphics/BgRefs.h"
#include "skin/graphics/vkTextures.h"

using namespace painter_test;

namespace {

constexpr uint32_t kBack = 0xFF101010;

// A 4 x 3 texture tile over a black mask band: pixel (x, y) is 0x00xxyy40 + 1, shown as it is.
BitmapPtr MaskedTile() {
  return MakeBy(4, 6, [](int x, int y) { return y < 3 ? 0xFF000041u | x << 16 | y << 8 : 0u; });
}
uint32_t TilePx(int x, int y) { return 0xFF000041u | (x % 4) << 16 | (y % 3) << 8; }

}  // namespace

TEST(Textures, ModeZeroCoversTheWholeRectangleWithCutTiles) {
  auto M = NewManager();
  auto Tile = MaskedTile();
  TsMaskData E = Element(M.get(), Tile.get(), 1, 1, 0, 0, 0, 0, 0);
  auto Dst = Make32(12, 9, kBack);
  TRect R(1, 1, 11, 8);  // 10 x 7: 2.5 columns, 2.33 rows
  TileTexture32(Dst.get(), R, {}, 0, E);
  EXPECT_EQ(R, kNothingUncovered);
  for (int y = 1; y < 8; ++y)
    for (int x = 1; x < 11; ++x) ASSERT_EQ(At(Dst.get(), x, y), TilePx(x - 1, y - 1)) << x << "," << y;
  EXPECT_EQ(At(Dst.get(), 11, 8), kBack);
  EXPECT_EQ(At(Dst.get(), 0, 0), kBack);
}

TEST(Textures, ModeTenLaysWholeTilesAndCoversTheRestWithTheBackground) {
  auto M = NewManager();
  auto Tile = MaskedTile();
  TsMaskData E = Element(M.get(), Tile.get(), 1, 1, 10, 0, 0, 0, 0);
  auto Bg = MakeBy(30, 30, [](int x, int y) { return 0xFF000000u | x << 8 | y; });
  const TvkBgCacheRef Ready = ReadyOn(Bg.get(), 5, 6);
  auto Dst = Make32(12, 9, kBack);
  TRect R(0, 0, 10, 7);  // whole tiles: columns 0 and 4, rows 0 and 3
  TileTexture32(Dst.get(), R, Ready, 10, E);
  EXPECT_EQ(R, kNothingUncovered);
  EXPECT_EQ(At(Dst.get(), 7, 5), TilePx(7, 5));
  EXPECT_EQ(At(Dst.get(), 8, 0), 0xFF000000u | 13 << 8 | 6);  // right band from Bg at (5 + 8, 6 + 0)
  EXPECT_EQ(At(Dst.get(), 3, 6), 0xFF000000u | 8 << 8 | 12);  // bottom band
  EXPECT_EQ(At(Dst.get(), 10, 0), kBack);
  const TvkBgCacheRef Colour = NotReady(0x0000FF);
  R = TRect(0, 0, 10, 7);
  TileTexture32(Dst.get(), R, Colour, 10, E);
  EXPECT_EQ(At(Dst.get(), 9, 6), 0xFFFF0000u);
  // Neither a ready background nor a colour: the bands keep what they hold, never the key colour.
  auto Kept = Make32(12, 9, kBack);
  R = TRect(0, 0, 10, 7);
  TileTexture32(Kept.get(), R, TvkBgCacheRef{}, 10, E);
  EXPECT_EQ(At(Kept.get(), 8, 0), kBack);
  EXPECT_EQ(At(Kept.get(), 3, 6), kBack);
  EXPECT_EQ(At(Kept.get(), 7, 5), TilePx(7, 5));
}

TEST(Textures, ZeroSizedTilesAndOtherModesDrawNothing) {
  auto M = NewManager();
  auto Tile = MaskedTile();
  TsMaskData E = Element(M.get(), Tile.get(), 1, 1, 0, 0, 0, 0, 0);
  auto Dst = Make32(8, 8, kBack);
  for (int Mode : {1, 2, 13}) {
    TRect R(0, 0, 8, 8);
    TileTexture32(Dst.get(), R, {}, Mode, E);
    EXPECT_EQ(R, TRect(0, 0, 8, 8)) << Mode;
  }
  E.Width = 0;
  TRect R(0, 0, 8, 8);
  TileTexture32(Dst.get(), R, {}, 0, E);
  EXPECT_EQ(R, TRect(0, 0, 8, 8));
  EXPECT_EQ(CountChanged(Dst.get(), kBack), 0);
}

TEST(Textures, MaskBlendUsesTheElementsOwnImageAndKeysTakeTheBackground) {
  auto M = NewManager();
  // Own image: (0, 0) key, (1, 0) grey 200 under mask 64.
  auto Img = MakeBy(2, 2, [](int x, int y) { return y == 0 ? (x == 0 ? 0x00FF00FFu : 0x00C8C8C8u) : 0x00404040u; });
  TsMaskData E = Element(M.get(), Img.get(), 1, 1, 0, 0, 0, 0, 0);
  auto Bg = Make32(4, 4, 0xFF0A0B0C);
  const TvkBgCacheRef Ready = ReadyOn(Bg.get(), 0, 0);
  struct Case { TvkBgCacheRef Bg; uint32_t Key; };
  const TvkBgCacheRef Fill = NotReady(0x332211);
  const Case cases[] = {{Ready, 0xFF0A0B0Cu}, {Fill, 0x00112233u}, {TvkBgCacheRef{}, 0x80505050u}};
  for (const Case& c : cases) {
    auto Dst = Make32(2, 1, 0x80505050u);
    BlendThroughMaskBitmap32(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), Dst.get(), E, c.Bg);
    EXPECT_EQ(At(Dst.get(), 0, 0), c.Key);
    // ((80 - 200) * 64 + 200 * 256) shr 8 = 170, alpha kept.
    EXPECT_EQ(At(Dst.get(), 1, 0), 0x80AAAAAAu);
  }
}

TEST(Textures, CanvasModesPlaceTheTextureAndReportWhatIsLeft) {
  auto M = NewManager();
  auto Tex = MakeBy(4, 3, [](int x, int y) { return 0x00000041u | x << 16 | y << 8; });
  TsMaskData E = Element(M.get(), Tex.get(), 1, 0, 0, 0, 0, 0, 0);
  auto Px = [](int x, int y) { return 0x00000041u | x << 16 | y << 8; };
  struct Case { int Mode; TRect Left; TPoint At; uint32_t Want; };
  const TRect R(2, 1, 12, 9);  // 10 x 8
  const Case cases[] = {
      {0, kNothingUncovered, {11, 8}, Px(1, 1)},
      {1, kNothingUncovered, {2, 1}, Px(0, 0)},
      {2, {2, 4, 12, 9}, {7, 3}, Px(1, 2)},
      {3, {6, 1, 12, 9}, {5, 8}, Px(3, 1)},
      {6, {2, 1, 12, 6}, {2, 6}, Px(0, 0)},
      {7, {2, 1, 8, 9}, {11, 1}, Px(3, 0)},
      {13, kNothingUncovered, {11, 8}, Px(3, 2)},
      {13, kNothingUncovered, {2, 1}, Px(2, 1)},
      {10, kNothingUncovered, {10, 7}, Px(0, 0)},
      {8, R, {2, 1}, 0u},
  };
  for (const Case& c : cases) {
    auto Dst = Make32(14, 10, 0);
    TRect Rect = R;
    DrawTextureOnCanvas(Dst->Canvas(), Rect, c.Mode, E);
    EXPECT_EQ(Rect, c.Left) << c.Mode;
    EXPECT_EQ(At(Dst.get(), c.At.X, c.At.Y) & 0xFFFFFF, c.Want) << c.Mode;
    EXPECT_EQ(At(Dst.get(), 1, 0), 0u) << c.Mode;
  }
}
