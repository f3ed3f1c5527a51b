// The compositor and the straight-alpha and masked blends over background references.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "skin/core/sMaskData.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "tests/support/Bitmaps.h"
#include "tests/skin/graphics/BgRefs.h"

using namespace testing_support;

namespace {

const TRect R4{0, 0, 4, 4};

}  // namespace

TEST(Compositor, ReadyBackgroundSkipsLowAlphaAndFillsKeys) {
  // Source row 0: alpha 16, alpha 17, key, alpha 255.
  BitmapPtr Src = Bitmap32By(4, 1, [](int x, int) {
    const uint32_t P[4] = {Argb(16, 255, 255, 255), Argb(17, 255, 255, 255), KeyPixel32, Argb(255, 10, 20, 30)};
    return P[x];
  });
  BitmapPtr Dst = Bitmap32(4, 1, Argb(0x40, 0, 0, 0));
  BitmapPtr Bg = Bitmap32By(8, 8, [](int x, int y) { return Argb(0x77, x, y, 0x99); });
  CompositeOverCache(TRect{0, 0, 4, 1}, TRect{0, 0, 4, 1}, Dst.get(), Src.get(), ReadyOn(Bg.get(), 3, 2), true,
                     NoColor32, 0, false);
  // Alpha 16 is not drawable: filled from the background at (3 + 0, 2 + 0), colour bytes only.
  EXPECT_EQ(Argb(0x40, 3, 2, 0x99), PixelAt(Dst.get(), 0, 0));
  // Alpha 17 blends: 255 * 17 >> 8 = 16; alpha max(0x40, 17).
  EXPECT_EQ(Argb(0x40, 16, 16, 16), PixelAt(Dst.get(), 1, 0));
  EXPECT_EQ(Argb(0x40, 5, 2, 0x99), PixelAt(Dst.get(), 2, 0));
  // Opaque pixel: ((s - 0) * 255) >> 8 and alpha 255.
  EXPECT_EQ(Argb(255, 9, 19, 29), PixelAt(Dst.get(), 3, 0));

  // Without FillKeyed the non-drawable pixels are left alone.
  BitmapPtr Dst2 = Bitmap32(4, 1, Argb(0x40, 0, 0, 0));
  CompositeOverCache(TRect{0, 0, 4, 1}, TRect{0, 0, 4, 1}, Dst2.get(), Src.get(), ReadyOn(Bg.get(), 3, 2), false,
                     NoColor32, 0, false);
  EXPECT_EQ(Argb(0x40, 0, 0, 0), PixelAt(Dst2.get(), 0, 0));
  EXPECT_EQ(Argb(0x40, 0, 0, 0), PixelAt(Dst2.get(), 2, 0));

  // Once the background point passes the background's right edge the row's keys take nothing more, but its
  // drawable pixels are still laid: key, key, opaque at background columns 7, 8 and 9 of an 8-wide background.
  BitmapPtr Dst3 = Bitmap32(4, 1, Argb(0x40, 0, 0, 0));
  BitmapPtr Keys = Bitmap32By(3, 1, [](int x, int) { return x < 2 ? KeyPixel32 : Argb(255, 10, 20, 30); });
  CompositeOverCache(TRect{1, 0, 4, 1}, TRect{0, 0, 3, 1}, Dst3.get(), Keys.get(), ReadyOn(Bg.get(), 6, 2), true,
                     NoColor32, 0, false);
  EXPECT_EQ(Argb(0x40, 7, 2, 0x99), PixelAt(Dst3.get(), 1, 0));
  EXPECT_EQ(Argb(0x40, 0, 0, 0), PixelAt(Dst3.get(), 2, 0));
  EXPECT_EQ(Argb(255, 9, 19, 29), PixelAt(Dst3.get(), 3, 0));
}

TEST(Compositor, NotReadyProcessesEveryPixel) {
  BitmapPtr Src = Bitmap32(2, 1, Argb(16, 255, 255, 255));
  BitmapPtr Dst = Bitmap32(2, 1, Argb(0, 0, 0, 0));
  CompositeOverCache(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, Dst.get(), Src.get(), NotReady(), true, NoColor32, 0,
                     false);
  EXPECT_EQ(Argb(16, 15, 15, 15), PixelAt(Dst.get(), 0, 0));  // 255 * 16 >> 8 = 15
}

TEST(Compositor, TransparencyScalesTheAlphaAndColourisingBrightensTheColourFirst) {
  // Colour 0x000080 (dark red) becomes k = (255, 127, 127); a white source gives l = 63 + 127 + 63 = 253 and
  // t = (252, 125, 125).
  struct Case {
    uint32_t src, dst, color;
    int t;
    bool ready;
    uint32_t expected;
  } cases[] = {
      // T = 100 leaves the colours; T = 50: a = 127, red (255 over 0) 126, green (0 over 255) 128, alpha unchanged.
      {Argb(255, 255, 0, 255), Argb(0x33, 0, 255, 255), NoColor32, 100, false, Argb(0x33, 0, 255, 255)},
      {Argb(255, 255, 0, 255), Argb(0x33, 0, 255, 255), NoColor32, 50, false, Argb(0x33, 126, 128, 255)},
      // t laid with alpha 255 over black: 251, 124, 124; alpha (255 * 255) >> 8 = 254, kept over a Ready background.
      {Argb(255, 255, 255, 255), Argb(0, 0, 0, 0), 0x000080, 0, false, Argb(254, 251, 124, 124)},
      {Argb(255, 255, 255, 255), Argb(9, 0, 0, 0), 0x000080, 0, true, Argb(9, 251, 124, 124)},
      // T = 50: t laid with a = 127, alpha unchanged.
      {Argb(255, 255, 255, 255), Argb(9, 0, 0, 0), 0x000080, 50, false, Argb(9, 125, 62, 62)},
  };
  BitmapPtr Bg = Bitmap32(1, 1, 0);
  for (const Case& c : cases) {
    BitmapPtr Src = Bitmap32(1, 1, c.src), Dst = Bitmap32(1, 1, c.dst);
    CompositeOverCache(TRect{0, 0, 1, 1}, TRect{0, 0, 1, 1}, Dst.get(), Src.get(),
                       c.ready ? ReadyOn(Bg.get(), 0, 0) : NotReady(), false, c.color, c.t, false);
    EXPECT_EQ(c.expected, PixelAt(Dst.get(), 0, 0)) << std::hex << c.color << std::dec << " T " << c.t;
  }
}

TEST(Compositor, ClipsNegativeOriginsOnBothRectangles) {
  BitmapPtr Src = Bitmap32By(4, 4, [](int x, int y) { return Argb(255, x, y, 0); });
  BitmapPtr Dst = Bitmap32(4, 4, 0);
  // Destination moved 2 left and 1 up: source (2, 1) lands on (0, 0); the copy is 2 x 3.
  CompositeOverCache(TRect{-2, -1, 2, 3}, R4, Dst.get(), Src.get(), NotReady(), false, NoColor32, 0, false);
  EXPECT_EQ(Argb(255, 1, 0, 0), PixelAt(Dst.get(), 0, 0) & 0xFFFFFF00u) << std::hex << PixelAt(Dst.get(), 0, 0);
  EXPECT_EQ(6, CountChanged(Dst.get(), 0));
  EXPECT_EQ(0u, PixelAt(Dst.get(), 2, 0));
  EXPECT_EQ(0u, PixelAt(Dst.get(), 0, 3));
}

TEST(Compositor, ReflectionFadesBelowTheRectangle) {
  // 8 rows of one colour, alpha 255, over 20 transparent black rows: n = min(8 div 2 - 1, 20 - 8 - 1) = 3,
  // step 255 div 8 = 31.
  BitmapPtr Src = Bitmap32(4, 8, Argb(255, 200, 100, 50));
  BitmapPtr Dst = Bitmap32(4, 20, 0);
  CompositeOverCache(TRect{0, 0, 4, 8}, TRect{0, 0, 4, 8}, Dst.get(), Src.get(), NotReady(), false, NoColor32, 0,
                     true);
  EXPECT_EQ(Argb(255, 199, 99, 49), PixelAt(Dst.get(), 0, 7));
  EXPECT_EQ(0u, PixelAt(Dst.get(), 0, 8));
  // i = 1: a = (255 * 2 div 3) * 255 shr 9 = 84; alpha of reflected pixels unchanged.
  EXPECT_EQ(Argb(0, 65, 32, 16), PixelAt(Dst.get(), 0, 9));
  // i = 2: f = 224, a = 85 * 224 shr 9 = 37.
  EXPECT_EQ(Argb(0, 28, 14, 7), PixelAt(Dst.get(), 3, 10));
  // i = 3: a = 0.
  EXPECT_EQ(0u, PixelAt(Dst.get(), 0, 11));
  EXPECT_EQ(8 * 4 + 2 * 4, CountChanged(Dst.get(), 0));
  // Colourised by 0x000080 (l = 112, t = 111, 55, 55) at T = 50: the mirror's i = 1 takes (255 * 2 div 3) shr 2 =
  // 42, halved to 21, without the fade f.
  BitmapPtr Tinted = Bitmap32(4, 20, 0);
  CompositeOverCache(TRect{0, 0, 4, 8}, TRect{0, 0, 4, 8}, Tinted.get(), Src.get(), NotReady(), false, 0x000080, 50,
                     true);
  EXPECT_EQ(Argb(0, 9, 4, 4), PixelAt(Tinted.get(), 0, 9));
}

TEST(Compositor, ReflectionStopsAtTheSourceTop) {
  // A source rectangle two rows high would mirror rows -1 and -2; they lie outside the source and are not read.
  BitmapPtr Src = Bitmap32By(4, 8, [](int, int y) { return Argb(255, 10 * y + 50, 0, 0); });
  BitmapPtr Dst = Bitmap32(4, 20, 0);
  CompositeOverCache(TRect{0, 0, 4, 2}, TRect{0, 0, 4, 2}, Dst.get(), Src.get(), NotReady(), false, NoColor32, 0,
                     true);
  // Row 3 mirrors source row 0 (n = 3, i = 1: a = 84): red 50 * 84 >> 8 = 16.
  EXPECT_EQ(Argb(0, 16, 0, 0), PixelAt(Dst.get(), 0, 3));
  EXPECT_EQ(0u, PixelAt(Dst.get(), 0, 4));
  EXPECT_EQ(0u, PixelAt(Dst.get(), 0, 5));
  EXPECT_EQ(2 * 4 + 4, CountChanged(Dst.get(), 0));
}

TEST(Compositor, NilSourceAndEmptyBitmapsDoNothing) {
  BitmapPtr Dst = Bitmap32(2, 2, 0x12345678);
  CompositeOverCache(R4, R4, Dst.get(), nullptr, NotReady(), false, NoColor32, 0, true);
  BitmapPtr Empty(NewBitmap32(0, 0));
  CompositeOverCache(R4, R4, Dst.get(), Empty.get(), NotReady(), false, NoColor32, 0, true);
  AlphaBlendRectOver(R4, R4, Dst.get(), nullptr, NotReady(), false);
  EXPECT_EQ(0, CountChanged(Dst.get(), 0x12345678));
}

TEST(AlphaBlendRectOver, KeysWithAndWithoutBackground) {
  BitmapPtr Src = Bitmap32By(2, 1, [](int x, int) { return x == 0 ? KeyPixel32 : Argb(128, 255, 255, 255); });
  // Not Ready: the key pixel blends by alpha 0 and changes nothing; alpha grows by (255 - d.A) * s.A >> 8.
  BitmapPtr Dst = Bitmap32(2, 1, Argb(100, 0, 0, 0));
  AlphaBlendRectOver(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, Dst.get(), Src.get(), NotReady(), true);
  EXPECT_EQ(Argb(100, 0, 0, 0), PixelAt(Dst.get(), 0, 0));
  EXPECT_EQ(Argb(100 + (155 * 128 >> 8), 127, 127, 127), PixelAt(Dst.get(), 1, 0));
  // Ready with FillKeyed: the key takes the background pixel at (X + column, Y + row) with alpha 255.
  BitmapPtr Bg = Bitmap32By(4, 4, [](int x, int y) { return Argb(7, x, y, 0x55); });
  BitmapPtr Dst2 = Bitmap32(3, 2, Argb(100, 0, 0, 0));
  AlphaBlendRectOver(TRect{1, 1, 3, 2}, TRect{0, 0, 2, 1}, Dst2.get(), Src.get(), ReadyOn(Bg.get(), 2, 1), true);
  EXPECT_EQ(Argb(255, 3, 2, 0x55), PixelAt(Dst2.get(), 1, 1));
  // A background point outside the bitmap leaves the key pixel alone.
  BitmapPtr Dst3 = Bitmap32(3, 2, Argb(100, 0, 0, 0));
  AlphaBlendRectOver(TRect{1, 1, 3, 2}, TRect{0, 0, 2, 1}, Dst3.get(), Src.get(), ReadyOn(Bg.get(), 3, 3), true);
  EXPECT_EQ(Argb(100, 0, 0, 0), PixelAt(Dst3.get(), 1, 1));
}

TEST(BlendImageThroughMask, KeysAndAlphaByBackgroundCase) {
  // Picture row 0: grey 200, the key, the key with alpha 255 (skin images may be opaque), grey 200; mask row 1:
  // white (keeps the destination), then black (shows the picture).
  BitmapPtr Src = Bitmap32By(4, 2, [](int x, int y) {
    if (y == 1) return x == 0 ? Argb(0, 255, 255, 255) : Argb(0, 0, 0, 0);
    const uint32_t Row[4] = {Argb(0x10, 200, 200, 200), KeyPixel32, 0xFFFF00FFu, Argb(0x10, 200, 200, 200)};
    return Row[x];
  });
  // The background point of destination (x, y) is (1 + x, 1 + y): columns 2 and 3 of the piece (x 4 and 5) lie
  // beyond the background's right edge, where keys take nothing but pictures are still laid.
  BitmapPtr Bg = Bitmap32By(5, 5, [](int x, int y) { return Argb(0x66, x, y, 9); });
  const uint32_t Old = Argb(0x30, 100, 100, 100);
  struct Case {
    const char* Name;
    TvkBgCacheRef Bg;
    bool FillKeyed;
    uint32_t Want[4];  // destination row 1, columns 2 to 5
  };
  const Case Cases[] = {
      {"not ready", NotReady(), false, {Old, Old, Old, Argb(0x30, 200, 200, 200)}},
      {"not ready, fill colour kept to the pixel's alpha", NotReady(0x00332211), true,
       {Old, Argb(0x30, 0x11, 0x22, 0x33), Argb(0x30, 0x11, 0x22, 0x33), Argb(0x30, 200, 200, 200)}},
      {"not ready, no fill colour", NotReady(), true, {Old, Old, Old, Argb(0x30, 200, 200, 200)}},
      {"ready", ReadyOn(Bg.get(), 1, 1), false,
       {Argb(255, 100, 100, 100), Old, Old, Argb(255, 200, 200, 200)}},
      {"ready, filled", ReadyOn(Bg.get(), 1, 1), true,
       {Argb(255, 100, 100, 100), Argb(0x66, 4, 2, 9), Old, Argb(255, 200, 200, 200)}},
  };
  for (const Case& C : Cases) {
    BitmapPtr Dst = Bitmap32(8, 3, Old);
    BlendImageThroughMask(TRect{2, 1, 6, 2}, TRect{0, 0, 4, 1}, Dst.get(), Src.get(), C.Bg, C.FillKeyed, 1);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(C.Want[x], PixelAt(Dst.get(), 2 + x, 1)) << C.Name << ", column " << x;
    EXPECT_EQ(4 - static_cast<int>(std::count(std::begin(C.Want), std::end(C.Want), Old)), CountChanged(Dst.get(), Old))
        << C.Name;
  }
}

TEST(BlendImageThroughMask, RowsWhoseMaskLiesOutsideTheSourceAreLeft) {
  // Picture 50 over a black mask one row lower.
  BitmapPtr Src = Bitmap32By(1, 2, [](int, int y) { return y == 0 ? Argb(0, 50, 50, 50) : Argb(0, 0, 0, 0); });
  for (const int Offset : {1, 5, -1}) {
    BitmapPtr Dst = Bitmap32(1, 1, Argb(0, 10, 10, 10));
    BlendImageThroughMask(TRect{0, 0, 1, 1}, TRect{0, 0, 1, 1}, Dst.get(), Src.get(), NotReady(), false, Offset);
    EXPECT_EQ(Offset == 1 ? Argb(0, 50, 50, 50) : Argb(0, 10, 10, 10), PixelAt(Dst.get(), 0, 0)) << Offset;
  }
}

TEST(BlendImageThroughMask, MaskEntryGivesTheDistance) {
  // Element rectangle 4 rows high: picture rows 0-1, mask rows 2-3.
  BitmapPtr Src = Bitmap32By(1, 4, [](int, int y) { return y < 2 ? Argb(0, 200, 200, 200) : Argb(0, y == 2 ? 0 : 255, 0, 0); });
  TsMaskData Entry;
  Entry.R = TRect(0, 0, 1, 4);
  BitmapPtr Dst = Bitmap32(1, 2, Argb(0, 10, 10, 10));
  BlendImageThroughMask(TRect{0, 0, 1, 2}, TRect{0, 0, 1, 2}, Dst.get(), Src.get(), NotReady(), false, Entry);
  // Row 0 through mask row 2: red mask 0 takes the picture's red, green/blue masks 0 too.
  EXPECT_EQ(Argb(0, 200, 200, 200), PixelAt(Dst.get(), 0, 0));
  // Row 1 through mask row 3: red kept ((10 - 200) * 255 + 200 * 256) >> 8 = 10, green and blue take 200.
  EXPECT_EQ(Argb(0, 10, 200, 200), PixelAt(Dst.get(), 0, 1));
}
