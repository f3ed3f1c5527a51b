// Skin image elements painted by the nine-part rule, masked pieces and glyphs, on 32-bit DIB sections.
#include <gtest/gtest.h>

#include "PainterSkin.h"
#include "tests/skin/graphics/BgRefs.h"
#include "skin/graphics/vkSkinImage.h"

using namespace painter_test;

namespace {

constexpr uint32_t kA = 0xFF0000A0, kB = 0xFF00B000, kC = 0xFFC00000, kBack = 0xFF123456, kKey = 0x00FF00FF;

// A 12 x 8 frame: columns 0-3 kA, 4-7 kB, 8-11 kC (offset by Frame * 12 and tinted by Frame in its blue byte).
BitmapPtr ThreeBands(int Frames = 1) {
  return MakeBy(12 * Frames, 8, [](int x, int) {
    const int c = x % 12;
    return (c < 4 ? kA : c < 8 ? kB : kC) + static_cast<uint32_t>(x / 12);
  });
}

}  // namespace

TEST(SkinImage, BordersShrinkToANarrowRectangleOddExcessFromTheRight) {
  auto M = NewManager();
  auto Src = ThreeBands();
  TsMaskData E = Element(M.get(), Src.get(), 1, 0, 4, 4, 2, 4, 2);
  auto Dst = Make32(5, 8, kBack);
  DrawSkinRect32(Dst.get(), TRect(0, 0, 5, 8), {}, false, 0, E);  // 8 - 5 = 3: left 4 -> 3, right 4 -> 2
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(Dst.get(), x, y), kA) << x << "," << y;
    for (int x = 3; x < 5; ++x) EXPECT_EQ(At(Dst.get(), x, y), kC) << x << "," << y;
  }
}

TEST(SkinImage, StateChoosesTheFrameAndDrawModeTwoSkipsStateZero) {
  auto M = NewManager();
  auto Src = ThreeBands(3);
  TsMaskData E = Element(M.get(), Src.get(), 3, 0, 4, 4, 2, 4, 2);
  auto Dst = Make32(20, 10, kBack);
  DrawSkinRect32(Dst.get(), TRect(0, 0, 20, 10), {}, false, 5, E);
  EXPECT_EQ(At(Dst.get(), 0, 0), kA + 2);
  EXPECT_EQ(At(Dst.get(), 10, 5), kB + 2);  // centre tiled
  EXPECT_EQ(At(Dst.get(), 19, 9), kC + 2);
  E.DrawMode = 2 | 4;
  auto Dst2 = Make32(20, 10, kBack);
  DrawSkinRect32(Dst2.get(), TRect(0, 0, 20, 10), {}, false, 0, E);
  EXPECT_EQ(CountChanged(Dst2.get(), kBack), 0);
  DrawSkinRect32(Dst2.get(), TRect(0, 0, 20, 10), {}, false, 1, E);
  EXPECT_EQ(At(Dst2.get(), 0, 0), kA + 1);
}

TEST(SkinImage, ZeroWideCentrePaintsCornersAndSidesOnlyAndNoCentreBitKeepsTheCentre) {
  auto M = NewManager();
  auto Src = MakeBy(8, 8, [](int x, int) { return x < 4 ? kA : kC; });
  TsMaskData E = Element(M.get(), Src.get(), 1, 0, 4, 4, 2, 4, 2);  // CW = 0 with the centre bit
  auto Dst = Make32(30, 12, kBack);
  DrawSkinRect32(Dst.get(), TRect(0, 0, 30, 12), {}, false, 0, E);
  EXPECT_EQ(At(Dst.get(), 0, 6), kA);
  EXPECT_EQ(At(Dst.get(), 29, 6), kC);
  EXPECT_EQ(At(Dst.get(), 15, 0), kBack);  // top run has a zero-wide tile
  EXPECT_EQ(At(Dst.get(), 15, 6), kBack);
  auto Wide = ThreeBands();
  TsMaskData E2 = Element(M.get(), Wide.get(), 1, 0, 1, 4, 2, 4, 2);  // stretch, no centre
  auto Dst2 = Make32(30, 12, kBack);
  DrawSkinRect32(Dst2.get(), TRect(0, 0, 30, 12), {}, false, 0, E2);
  EXPECT_EQ(At(Dst2.get(), 15, 0), kB);
  EXPECT_EQ(At(Dst2.get(), 15, 6), kBack);
  // Stretched runs and centre of a rectangle reaching left of and above the bitmap are painted inside it.
  E2.DrawMode = 1 | 4;
  auto Dst3 = Make32(14, 6, kBack);
  DrawSkinRect32(Dst3.get(), TRect(-3, -4, 17, 6), {}, false, 0, E2);
  for (int x = 0; x < 14; ++x) EXPECT_EQ(At(Dst3.get(), x, 0), x < 1 ? kA : x < 13 ? kB : kC) << x;
}

TEST(SkinImage, OnePixelMaskedCentreIsFlatColourOrLeftAlone) {
  auto M = NewManager();
  // 3 x 3 frame over a 3 x 3 mask band; the centre pixel (1, 1) has mask value MaskValue.
  for (uint32_t MaskValue : {0u, 255u}) {
    auto Src = MakeBy(3, 6, [&](int x, int y) {
      if (y < 3) return x == 1 && y == 1 ? 0x00204080u : kA;
      return x == 1 && y == 4 ? MaskValue * 0x010101u : 0xFFFFFFu;
    });
    TsMaskData E = Element(M.get(), Src.get(), 1, 1, 1 | 4, 1, 1, 1, 1);
    // A light, translucent destination under a darker source: any blend at all would change it.
    constexpr uint32_t kLight = 0x40F0E0D0u;
    auto Dst = Make32(10, 10, kLight);
    DrawSkinRect32(Dst.get(), TRect(0, 0, 10, 10), {}, false, 0, E);
    for (int y = 1; y < 9; ++y)
      for (int x = 1; x < 9; ++x)
        ASSERT_EQ(At(Dst.get(), x, y), MaskValue == 0 ? 0xFF204080u : kLight) << MaskValue << " " << x << "," << y;
  }
}

TEST(SkinImage, MaskedCornerKeyPixelsShowTheBackgroundOrBecomeTransparent) {
  auto M = NewManager();
  // 4 x 4 frame, all corners 2 x 2; the top-left pixel is the key, the mask is black (image shows).
  auto Src = MakeBy(4, 8, [](int x, int y) { return y >= 4 ? 0u : (x == 0 && y == 0 ? kKey : kA); });
  TsMaskData E = Element(M.get(), Src.get(), 1, 1, 4, 2, 2, 2, 2);
  auto Bg = MakeBy(20, 20, [](int x, int y) { return 0xFF000000u | (x << 8) | y; });
  const TvkBgCacheRef Ready = ReadyOn(Bg.get(), 3, 4);
  auto Dst = Make32(8, 8, 0x80808080u);
  DrawSkinRectTransparent32(Dst.get(), TRect(2, 1, 8, 8), Ready, 0, E);
  EXPECT_EQ(At(Dst.get(), 2, 1), 0xFF000000u | (5 << 8) | 5);  // Bg at (3 + 2, 4 + 1)
  EXPECT_EQ(At(Dst.get(), 3, 1), 0xFF00009Fu);  // mask 0: s * 255 shr 8
  auto Dst2 = Make32(8, 8, 0x80808080u);
  DrawSkinRectTransparent32(Dst2.get(), TRect(2, 1, 8, 8), {}, 0, E);
  EXPECT_EQ(At(Dst2.get(), 2, 1), 0x00808080u);
}

TEST(SkinImage, CopyMaskedPieceWeighsByTheMaskAndRaisesAlpha) {
  auto M = NewManager();
  // Image pixel 200 in every channel, mask 100: c = (d * 100 + 200 * 155) shr 8.
  auto Src = MakeBy(2, 2, [](int, int y) { return y == 0 ? 0x00C8C8C8u : 0x00646464u; });
  TsMaskData E = Element(M.get(), Src.get(), 1, 1, 0, 0, 0, 0, 0);
  struct Case { uint32_t d, want; };
  const Case cases[] = {
      {0x00000000u, 0x9B797979u},  // alpha 0 becomes 255 - 100; 200 * 155 shr 8 = 121
      {0xFF505050u, 0xFF989898u},  // (80 * 100 + 31000) shr 8 = 152
      {0xC0505050u, 0xC0989898u},  // 192 > 155 stays
  };
  for (const Case& c : cases) {
    auto Dst = Make32(2, 1, c.d);
    CopyMaskedPiece32(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), Dst.get(), E, {}, Src.get());
    EXPECT_EQ(At(Dst.get(), 1, 0), c.want) << std::hex << c.d;
  }
  // Level 128 halves the image's weight: w = (155 * 128) shr 8 = 77; (80 * 178 + 200 * 77) shr 8 = 115.
  auto Dst = Make32(2, 1, 0xFF505050u);
  CopyMaskedPieceLevel32(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), Dst.get(), E, {}, Src.get(), 128);
  EXPECT_EQ(At(Dst.get(), 0, 0), 0xFF737373u);
}

TEST(SkinImage, MaskedPiecesStayInsideSourceAndDestination) {
  auto M = NewManager();
  auto Src = MakeBy(4, 8, [](int, int y) { return y < 4 ? kA : 0u; });
  TsMaskData E = Element(M.get(), Src.get(), 1, 1, 0, 0, 0, 0, 0);
  // Rows 3..5 of the image: only row 3 has its mask row (7) inside the source.
  auto Dst = Make32(4, 4, kBack);
  CopyMaskedPiece32(TRect(0, 0, 4, 3), TRect(0, 3, 4, 6), Dst.get(), E, {}, Src.get());
  EXPECT_EQ(At(Dst.get(), 0, 0), 0xFF00009Fu);
  EXPECT_EQ(At(Dst.get(), 0, 1), kBack);
  // A stretched piece reaching past the right edge is cut there, leaving the next row alone.
  auto Narrow = Make32(6, 3, kBack);
  StretchMaskedPiece32(3, 1, 10, 1, false, 4, Src.get(), Narrow.get(), 0, 0, 4, 1);
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(At(Narrow.get(), x, 0), kBack) << x;
    EXPECT_EQ(At(Narrow.get(), x, 2), kBack) << x;
    EXPECT_EQ(At(Narrow.get(), x, 1), x < 3 ? kBack : kA) << x;
  }
}

TEST(SkinImage, GlyphFramesMasksAndNegativeOrigins) {
  auto M = NewManager();
  // Two 2 x 2 frames; the mask is 0 for frame 0 and 40 for frame 1; pixel (0, 1) of each frame is the key.
  auto Src = MakeBy(4, 4, [](int x, int y) {
    if (y >= 2) return x < 2 ? 0u : 0x00282828u;
    return (x % 2 == 0 && y == 1) ? kKey : (x < 2 ? 0x00102030u : 0x00C8C8C8u);
  });
  TsMaskData E = Element(M.get(), Src.get(), 2, 1, 0, 0, 0, 0, 0);
  auto Dst = Make32(4, 4, 0x00505050u);
  DrawSkinGlyph32(Dst.get(), TPoint(1, 1), 0, {}, E, 1);
  EXPECT_EQ(At(Dst.get(), 1, 1), 0xFE102030u);  // alpha 0 + (255 * 255) shr 8
  EXPECT_EQ(At(Dst.get(), 1, 2), 0x00505050u);  // key
  // Mode 0 lightens: w = 40 + 100 = 140, (80 - 200) * 140 + 200 * 256 shr 8 = 134; alpha (255 * 215) shr 8 = 214.
  DrawSkinGlyph32(Dst.get(), TPoint(-1, -1), 7, {}, E, 0);
  EXPECT_EQ(At(Dst.get(), 0, 0), 0xD6868686u);
  EXPECT_EQ(At(Dst.get(), 1, 0), 0x00505050u);  // outside the cut glyph
  // A negative mask type counts as "no mask".
  E.MaskType = -1;
  EXPECT_EQ(MaskBandOffset(E), 0);
  auto Dst2 = Make32(4, 4, kBack);
  DrawSkinGlyph32(Dst2.get(), TPoint(0, 0), 0, {}, E, 1);
  EXPECT_EQ(At(Dst2.get(), 0, 0), 0x00102030u);
}

TEST(SkinImage, LevelPainterWeighsByLevelAndCapsTheSideRuns) {
  auto M = NewManager();
  // A 3 x 3 frame of grey 200 over a black mask band (the picture shows fully), borders 1, centre painted.
  auto Src = MakeBy(3, 6, [](int, int y) { return y < 3 ? 0x00C8C8C8u : 0u; });
  TsMaskData E = Element(M.get(), Src.get(), 1, 1, 4, 1, 1, 1, 1);
  struct Case { int Level; uint32_t Painted; };
  // Image weight ((255 - 0) * Level) shr 8: 254 gives (80 + 200 * 254) shr 8 = 198; 127 gives 139.
  for (const Case& c : {Case{255, 0xFFC6C6C6u}, Case{128, 0xFF8B8B8Bu}}) {
    auto Dst = Make32(8, 8, 0xFF505050);
    DrawSkinRectAlpha32(Dst.get(), TRect(0, 0, 8, 8), {}, c.Level, TRect(0, 1, 0, 1), 0, E);
    EXPECT_EQ(At(Dst.get(), 0, 0), c.Painted) << c.Level;  // corner
    EXPECT_EQ(At(Dst.get(), 4, 0), c.Painted) << c.Level;  // top run
    EXPECT_EQ(At(Dst.get(), 4, 7), c.Painted) << c.Level;  // bottom run
    EXPECT_EQ(At(Dst.get(), 4, 4), c.Painted) << c.Level;  // centre
    EXPECT_EQ(At(Dst.get(), 0, 4), 0xFF505050u) << c.Level;  // left run capped to nothing
    EXPECT_EQ(At(Dst.get(), 7, 4), 0xFF505050u) << c.Level;
  }
}
