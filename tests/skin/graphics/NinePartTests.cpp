#include <gtest/gtest.h>

#include <tuple>

#include "skin/graphics/NinePart.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

namespace {
constexpr uint32_t kBack = 0xFF101010;
constexpr uint32_t kMagenta = 0x00FF00FF;

// 9 x 9 source: each 3 x 3 block a colour 0xFF0000RC (R = block row, C = block column).
BitmapPtr NineBlocks() {
  return Bitmap32By(9, 9, [](int x, int y) { return 0xFF000000u | ((y / 3) << 4) | (x / 3); });
}
uint32_t Block(int r, int c) { return 0xFF000000u | (r << 4) | c; }
}  // namespace

TEST(NinePart, CornersStayUnscaledAndSidesAndCentreCoverTheirAreas) {
  BitmapPtr src = NineBlocks();
  for (bool stretch : {true, false}) {
    BitmapPtr dst = Bitmap32(24, 20, kBack);
    DrawNinePartImage(dst.get(), src.get(), TRect(0, 0, 9, 9), TRect(2, 1, 22, 18), 3, 3, 3, 3, stretch, stretch,
                      true);
    EXPECT_EQ(ChangedOutside(dst.get(), RECT{2, 1, 22, 18}, kBack), 0);
    for (int y = 1; y < 18; ++y)
      for (int x = 2; x < 22; ++x) {
        const int r = y < 4 ? 0 : y >= 15 ? 2 : 1;
        const int c = x < 5 ? 0 : x >= 19 ? 2 : 1;
        ASSERT_EQ(PixelAt(dst.get(), x, y), Block(r, c)) << x << "," << y << " stretch " << stretch;
      }
  }
}

TEST(NinePart, TilingRepeatsTheSideAndCutsTheLastCopy) {
  // A 1-pixel border around a 2-pixel centre of two colours: tiled, the colours alternate.
  BitmapPtr src = Bitmap32(4, 3, 0xFF000000);
  SetPixelAt(src.get(), 1, 0, 0xFF0000AA);
  SetPixelAt(src.get(), 2, 0, 0xFF0000BB);
  BitmapPtr dst = Bitmap32(9, 3, kBack);
  DrawNinePartImage(dst.get(), src.get(), TRect(0, 0, 4, 3), TRect(0, 0, 9, 3), 1, 1, 1, 1, false, false, false);
  const uint32_t expected[9] = {0xFF000000, 0xFF0000AA, 0xFF0000BB, 0xFF0000AA, 0xFF0000BB,
                                0xFF0000AA, 0xFF0000BB, 0xFF0000AA, 0xFF000000};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(PixelAt(dst.get(), x, 0), expected[x]) << x;
  EXPECT_EQ(PixelAt(dst.get(), 4, 1), kBack);  // the centre was not asked for
}

TEST(NinePart, EmptySourcePiecesAreSkippedInsteadOfTiledForever) {
  BitmapPtr src = NineBlocks();
  BitmapPtr dst = Bitmap32(20, 20, kBack);
  // Borders as wide as the source leave the sides and centre no source pixels.
  DrawNinePartImage(dst.get(), src.get(), TRect(0, 0, 9, 9), TRect(0, 0, 20, 20), 5, 5, 4, 4, false, false, true);
  EXPECT_EQ(PixelAt(dst.get(), 0, 0), Block(0, 0));
  EXPECT_EQ(PixelAt(dst.get(), 10, 10), kBack);
}

TEST(GlyphFrames, FrameIndexFollowsStateAndOrder) {
  // (2, false, ...): disabled; (2, true, true, 3, true): 3 frames, no pressed frame, the hot one
  for (const auto& [State, Enabled, Down, Frames, Order, Want] :
       {std::tuple{0, true, false, 4, true, 0}, {2, false, true, 4, true, 0}, {1, true, false, 4, true, 1},
        {1, true, false, 4, false, 0}, {2, true, false, 4, false, 2}, {2, true, true, 4, false, 3},
        {2, true, true, 3, true, 1}, {2, true, true, 3, false, 0}, {2, true, false, 2, true, 1},
        {3, true, false, 3, true, 2}, {3, true, false, 2, true, 0}})
    EXPECT_EQ(GlyphFrameIndex(State, Enabled, Down, Frames, Order), Want)
        << State << Enabled << Down << " " << Frames << Order;
}

namespace {
// A strip of three 2 x 3 frames coloured 0xFF0000A0, B0, C0 with a magenta bottom-left pixel each; frame 0's is
// opaque, and so is a second magenta pixel of it, which is transparent too.
BitmapPtr Strip() {
  BitmapPtr b = Bitmap32By(6, 3, [](int x, int y) { return x % 2 == 0 && y == 2 ? kMagenta : 0xFF0000A0u + 0x10u * (x / 2); });
  SetPixelAt(b.get(), 0, 2, kMagenta | 0xFF000000u);
  SetPixelAt(b.get(), 1, 0, kMagenta | 0xFF000000u);
  return b;
}
}  // namespace

TEST(GlyphFrames, StateSelectsTheFrameAndMagentaStaysTransparent) {
  BitmapPtr strip = Strip();
  const struct { int State; uint32_t Colour; } cases[] = {{0, 0xFF0000A0}, {1, 0xFF0000A0}, {2, 0xFF0000C0},
                                                          {3, 0xFF0000C0}};
  for (const auto& c : cases) {
    BitmapPtr dst = Bitmap32(8, 8, kBack);
    PaintStateGlyph(strip.get(), dst.get(), TRect(3, 2, 5, 5), false, false, 0, c.State, 0, true, 3);
    EXPECT_EQ(PixelAt(dst.get(), 3, 2), c.Colour) << c.State;
    EXPECT_EQ(PixelAt(dst.get(), 3, 4), kBack) << c.State;  // the key pixel
    EXPECT_EQ(ChangedOutside(dst.get(), RECT{3, 2, 5, 5}, kBack), 0);
  }
  BitmapPtr frame0 = Bitmap32(8, 8, kBack);
  PaintStateGlyph(strip.get(), frame0.get(), TRect(3, 2, 5, 5), false, false, 0, 0, 0, true, 3);
  EXPECT_EQ(PixelAt(frame0.get(), 4, 2), kBack);
}

TEST(GlyphFrames, OneFrameDrawsTheSameForEveryStateAndZeroFramesCountAsOne) {
  BitmapPtr strip = Strip();
  for (int frames : {1, 0}) {
    for (int state = 0; state < 4; ++state) {
      BitmapPtr dst = Bitmap32(8, 8, kBack);
      PaintStateGlyph(strip.get(), dst.get(), TRect(0, 0, 6, 3), false, false, 0, state, 0, true, frames);
      EXPECT_EQ(PixelAt(dst.get(), 0, 0), 0xFF0000A0u);
      EXPECT_EQ(PixelAt(dst.get(), 5, 0), 0xFF0000C0u);
    }
  }
}

TEST(GlyphFrames, DisabledGlyphIsMixedWithTheBackground) {
  BitmapPtr strip = Strip();
  BitmapPtr dst = Bitmap32(8, 8, 0xFF000000);
  PaintStateGlyph(strip.get(), dst.get(), TRect(0, 0, 2, 3), false, false, 128, 0, 0, false, 3);
  // (s * (255 - 128) + d * 128) shr 8 with s = 0xA0 and d = 0.
  EXPECT_EQ(PixelAt(dst.get(), 0, 0), 0xFF00004Fu);
}

TEST(GlyphFrames, ReflectionStartsAtHalfStrengthAndFadesOut) {
  // A 4 x 6 single frame of white with a black key corner; destination black.
  BitmapPtr glyph = Bitmap32(4, 6, 0xFFFFFFFF);
  SetPixelAt(glyph.get(), 0, 5, 0x00000000);
  BitmapPtr dst = Bitmap32(4, 24, 0xFF000000);
  PaintStateGlyph(glyph.get(), dst.get(), TRect(0, 8, 4, 16), true, false, 0, 0, 0, true, 1);
  // Rect moves up by 8 div 8 = 1: the glyph covers rows 7..12; the mirror starts 8 rows lower, at 15.
  EXPECT_EQ(PixelAt(dst.get(), 1, 6), 0xFF000000u);
  EXPECT_EQ(PixelAt(dst.get(), 1, 7), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(dst.get(), 1, 12), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(dst.get(), 1, 14), 0xFF000000u);
  // (6 div 3) * 2 = 4 mirrored rows; level of row i = (((3 - i) * 255 div 3) * f) shr 9, f = 255, 192, 129, 66.
  EXPECT_EQ(Channel(PixelAt(dst.get(), 1, 15), 0), (255 * 127) >> 8);
  EXPECT_EQ(Channel(PixelAt(dst.get(), 1, 16), 0), (255 * ((170 * 192) >> 9)) >> 8);
  EXPECT_EQ(Channel(PixelAt(dst.get(), 1, 17), 0), (255 * ((85 * 129) >> 9)) >> 8);
  EXPECT_EQ(PixelAt(dst.get(), 1, 18), 0xFF000000u);
  EXPECT_EQ(PixelAt(dst.get(), 1, 19), 0xFF000000u);
  EXPECT_EQ(PixelAt(dst.get(), 0, 12), 0xFF000000u);  // the key pixel, in the glyph
  EXPECT_EQ(PixelAt(dst.get(), 0, 15), 0xFF000000u);  // and in its mirror
}

TEST(GlyphFrames, AGlyphKeyedByTransparentBlackKeepsItsOpaqueBlack) {
  BitmapPtr glyph = Bitmap32(2, 6, 0xFF000000);
  SetPixelAt(glyph.get(), 0, 5, 0x00000000);
  BitmapPtr dst = Bitmap32(2, 20, kBack);
  PaintStateGlyph(glyph.get(), dst.get(), TRect(0, 8, 2, 16), true, false, 0, 0, 0, true, 1);
  EXPECT_EQ(PixelAt(dst.get(), 1, 12), 0xFF000000u);
  EXPECT_EQ(PixelAt(dst.get(), 1, 15), 0xFF080808u);  // its mirror: ((0 - 16) * 127 + 16 * 256) shr 8
}

TEST(GlyphFrames, KeyedReflectionOfOneRowDoesNotDivideByZero) {
  BitmapPtr src = Bitmap32(2, 6, 0xFFFFFFFF);
  BitmapPtr dst = Bitmap32(2, 4, 0xFF000000);
  DrawKeyedReflection(dst.get(), src.get(), TPoint(0, 3), 0, 0x1FFFFFFF, TRect(0, 0, 1, 5));
  EXPECT_EQ(PixelAt(dst.get(), 0, 3), 0xFF000000u);  // the only row is the faded-out end
  // Key pixels and transparency.
  SetPixelAt(src.get(), 0, 5, 0xFF563412);  // the key, opaque
  DrawKeyedReflection(dst.get(), src.get(), TPoint(0, 0), 50, 0xFF123456, TRect(0, 0, 1, 5));
  EXPECT_EQ(PixelAt(dst.get(), 0, 0), 0xFF000000u);                             // key skipped
  EXPECT_EQ(Channel(PixelAt(dst.get(), 1, 0), 1), (255 * (127 * 50 / 100)) >> 8);  // half of half strength
}
