// Pixel operations on rectangles: fills, tints, alpha, premultiplying, byte orders.
#include <gtest/gtest.h>

#include <vector>

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/Bitmaps.h"
#include "tests/skin/graphics/BgRefs.h"

using namespace testing_support;

TEST(PixelOps, SinglePixelsAndWordHelpers) {
  BitmapPtr B = Bitmap32(3, 2, 0);
  uint32_t* Row = SetPixel32(B.get(), 2, 1, 0xDEADBEEF);
  EXPECT_EQ(B->ScanLine(1), static_cast<void*>(Row));
  PutPixel32(B.get(), 0, 0, 0x01020304);
  EXPECT_EQ(0xDEADBEEFu, GetPixel32(B.get(), 2, 1));
  EXPECT_EQ(0x01020304u, GetPixel32(B.get(), 0, 0));

  uint32_t W[4] = {1, 2, 3, 4};
  FillDWords(W, 2, 9);
  FillDWords(W + 2, 0, 7);
  FillDWords(W + 2, -3, 7);
  EXPECT_EQ((std::vector<uint32_t>{9, 9, 3, 4}), std::vector<uint32_t>(W, W + 4));
  EXPECT_EQ(0x78563412u, ByteSwap32(0x12345678u));
  uint32_t Be[2] = {0x0D000000u, 0x49484452u};
  ByteSwapDWords(Be, 2);
  EXPECT_EQ(13u, Be[0]);
  EXPECT_EQ(0x52444849u, Be[1]);
}

TEST(PixelOps, ClearWhiteKeyPixelsOnlyTouchesTransparentWhite) {
  BitmapPtr B = Bitmap32By(3, 1, [](int x, int) {
    const uint32_t P[3] = {0x00FFFFFFu, 0xFFFFFFFFu, 0x00FFFFFEu};
    return P[x];
  });
  ClearWhiteKeyPixels(B.get());
  EXPECT_EQ(0u, PixelAt(B.get(), 0, 0));
  EXPECT_EQ(0xFFFFFFFFu, PixelAt(B.get(), 1, 0));
  EXPECT_EQ(0x00FFFFFEu, PixelAt(B.get(), 2, 0));
}

TEST(PixelOps, FillRect32ClipsAndTakesAlpha) {
  BitmapPtr B = Bitmap32(20, 20, 0);
  FillRect32(B.get(), TRect{15, -5, 30, 3}, 0x00332211, -1);
  EXPECT_EQ(5 * 3, CountChanged(B.get(), 0));
  EXPECT_EQ(0xFF112233u, PixelAt(B.get(), 19, 2));
  FillRect32(B.get(), TRect{0, 0, 10, 10}, 0x000000FF, 0x40);
  EXPECT_EQ(15 + 100, CountChanged(B.get(), 0));
  EXPECT_EQ(0x40FF0000u, PixelAt(B.get(), 9, 9));
  EXPECT_EQ(0u, PixelAt(B.get(), 10, 10));
}

TEST(PixelOps, BlendRectToColor32IsInclusiveButFillRect32IsNot) {
  BitmapPtr B = Bitmap32(20, 20, Argb(0x33, 200, 200, 200));
  BlendRectToColor32(B.get(), TRect{0, 0, 10, 10}, 100, 0x00000000);
  EXPECT_EQ(11 * 11, CountChanged(B.get(), Argb(0x33, 200, 200, 200)));
  EXPECT_EQ(Argb(0x33, 78, 78, 78), PixelAt(B.get(), 10, 10));  // 200 * 100 >> 8
  // Clipped at Width - 1 / Height - 1.
  BitmapPtr C = Bitmap32(5, 5, 0);
  BlendRectToColor32(C.get(), TRect{-3, 3, 50, 50}, 0, 0x00FFFFFF);
  EXPECT_EQ(5 * 2, CountChanged(C.get(), 0));
  EXPECT_EQ(Argb(0, 254, 254, 254), PixelAt(C.get(), 4, 4));
}

TEST(PixelOps, MixRectToColor32DividesSigned) {
  BitmapPtr B = Bitmap32(4, 4, Argb(0x10, 100, 100, 100));
  // 100 - ((100 - 255) * 50) div 100 = 100 + 77 = 177 (the quotient drops toward zero); alpha := 0xEE.
  MixRectToColor32(B.get(), TRect{1, 1, 9, 2}, 0x00FFFFFF, 0xEE, 50);
  EXPECT_EQ(Argb(0xEE, 177, 177, 177), PixelAt(B.get(), 3, 1));
  EXPECT_EQ(3, CountChanged(B.get(), Argb(0x10, 100, 100, 100)));
}

TEST(PixelOps, SetRectAlpha32HonoursTheKey) {
  BitmapPtr B = Bitmap32By(2, 1, [](int x, int) { return x == 0 ? KeyPixel32 : 0x00123456u; });
  SetRectAlpha32(B.get(), TRect{0, 0, 2, 1}, 0x80, 0xFF00FF);
  EXPECT_EQ(KeyPixel32, PixelAt(B.get(), 0, 0));
  EXPECT_EQ(0x80123456u, PixelAt(B.get(), 1, 0));
  SetRectAlpha32(B.get(), TRect{0, 0, 2, 1}, 0x80, NoColor32);
  EXPECT_EQ(0x80FF00FFu, PixelAt(B.get(), 0, 0));
}

TEST(PixelOps, SetRectAlpha32ClipsToTheImage) {
  // A 4 x 4 plane inside a guarded 8 x 8 block: a rectangle reaching far out must touch only the plane.
  std::vector<uint32_t> Block(8 * 8, 0x11223344u);
  TPixelPlane P;
  P.Base = reinterpret_cast<uint8_t*>(&Block[2 * 8 + 2]);
  P.Stride = 8 * 4;
  P.Width = 4;
  P.Height = 4;
  SetRectAlpha32(P, TRect{-10, -10, 100, 100}, 0xAB, NoColor32);
  int Touched = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool Inside = x >= 2 && x < 6 && y >= 2 && y < 6;
      EXPECT_EQ(Inside ? 0xAB223344u : 0x11223344u, Block[y * 8 + x]) << x << "," << y;
      Touched += Inside;
    }
  EXPECT_EQ(16, Touched);
  BitmapPtr B = Bitmap32(3, 3, 0);
  SetRectAlpha32(B.get(), TRect{2, 2, 9, 9}, 0x01, NoColor32);
  EXPECT_EQ(1, CountChanged(B.get(), 0));
}

TEST(PixelOps, FillFrame32PaintsFourOpaqueBands) {
  BitmapPtr B = Bitmap32(10, 10, 0);
  FillFrame32(B.get(), TRect{0, 0, 10, 10}, 1, 0x00FFFFFF, 2, 3, 4);
  EXPECT_EQ(100 - 6 * 4, CountChanged(B.get(), 0));
  EXPECT_EQ(0xFFFFFFFFu, PixelAt(B.get(), 9, 9));
  EXPECT_EQ(0u, PixelAt(B.get(), 6, 4));
}

TEST(PixelOps, PremultiplyCapsNearWhiteOnlyWithoutComposition) {
  auto Run = [](bool Composition) {
    BitmapPtr B = Bitmap32By(4, 1, [](int x, int) {
      const uint32_t P[4] = {Argb(255, 250, 250, 250), Argb(255, 250, 250, 200), 0x00FFFFFFu, Argb(128, 255, 0, 100)};
      return P[x];
    });
    PremultiplyBitmapRect(PlaneOf(B.get()), TRect{0, 0, 4, 1}, Composition);
    std::vector<uint32_t> Out;
    for (int x = 0; x < 4; ++x) Out.push_back(PixelAt(B.get(), x, 0));
    return Out;
  };
  const auto Off = Run(false), On = Run(true);
  EXPECT_EQ(Argb(255, 244, 244, 244), Off[0]);
  EXPECT_EQ(Argb(255, 249, 249, 249), On[0]);
  EXPECT_EQ(Argb(255, 249, 249, 199), Off[1]);
  EXPECT_EQ(Argb(255, 249, 249, 199), On[1]);
  EXPECT_EQ(0u, Off[2]);
  EXPECT_EQ(0u, On[2]);
  EXPECT_EQ(Argb(128, 127, 0, 50), On[3]);
  // The bitmap forms follow the system's composition state and cover the whole bitmap.
  BitmapPtr B = Bitmap32(2, 2, Argb(128, 255, 0, 100));
  PremultiplyBitmap(B.get());
  EXPECT_EQ(0, CountChanged(B.get(), Argb(128, 127, 0, 50)));
}

TEST(DisabledLook, GreyedDesaturatesNonKeyPixels) {
  BitmapPtr B = Bitmap32By(2, 1, [](int x, int) { return x == 0 ? Argb(0x44, 200, 100, 50) : KeyPixel32; });
  PaintDisabledLook(B.get(), TsDisabledKinds{dkGrayed}, 0u, TPoint(0, 0), NotReady(KeyPixel32));
  // Amount -90 * 255 div 100 = -229; grey 124: (c * 26 + 229 * 124) >> 8.
  EXPECT_EQ(Argb(0x44, 131, 121, 116), PixelAt(B.get(), 0, 0));
  EXPECT_EQ(KeyPixel32, PixelAt(B.get(), 1, 0));
  const int Saved = DisabledSaturation;
  DisabledSaturation = -100;  // fully grey, the key still left alone
  PaintDisabledLook(B.get(), TsDisabledKinds{dkGrayed}, 0u, TPoint(0, 0), NotReady(KeyPixel32));
  DisabledSaturation = Saved;
  EXPECT_EQ(Argb(0x44, 123, 123, 123), PixelAt(B.get(), 0, 0));  // 0.299*131 + 0.587*121 + 0.114*116 = 123.4
  EXPECT_EQ(KeyPixel32, PixelAt(B.get(), 1, 0));
}

TEST(DisabledLook, BlendedTowardFillColourOrControlColour) {
  BitmapPtr B = Bitmap32(2, 2, Argb(0x11, 200, 200, 200));
  // (c * 100 + col * 155) >> 8 over the whole bitmap; alpha kept.
  PaintDisabledLook(B.get(), TsDisabledKinds{dkBlended}, 0x00FFFFFFu, TPoint(0, 0), NotReady(0x00000000));
  EXPECT_EQ(0, CountChanged(B.get(), Argb(0x11, 78, 78, 78)));
  BitmapPtr C = Bitmap32(2, 2, Argb(0x11, 200, 200, 200));
  PaintDisabledLook(C.get(), TsDisabledKinds{dkBlended}, 0x000000FFu, TPoint(0, 0), NotReady(KeyPixel32));
  EXPECT_EQ(0, CountChanged(C.get(), Argb(0x11, (200 * 100 + 255 * 155) >> 8, 78, 78)));
}

TEST(DisabledLook, BlendedOverTheReadyBackgroundAfterGreying) {
  BitmapPtr Bg = Bitmap32By(6, 6, [](int x, int y) { return x == 3 && y == 2 ? KeyPixel32 : Argb(0x99, 10 * x, 10 * y, 0); });
  const TvkBgCacheRef Ref = ReadyOn(Bg.get(), 1, 1);
  BitmapPtr B = Bitmap32(2, 2, Argb(0x22, 200, 200, 200));
  PaintDisabledLook(B.get(), TsDisabledKinds{dkBlended, dkGrayed}, 0u, TPoint(1, 0), Ref);
  // Greying first: (200 * 26 + 229 * 200) >> 8 = 199 (base 255, not 256); then the background at (2 + x, 1 + y)
  // weighs 155, the image 100.
  EXPECT_EQ(Argb(0x22, (20 * 155 + 199 * 100) >> 8, (10 * 155 + 199 * 100) >> 8, (199 * 100) >> 8), PixelAt(B.get(), 0, 0));
  EXPECT_EQ(Argb(0x22, 199, 199, 199), PixelAt(B.get(), 1, 1));  // background key pixel (3, 2) skipped
}
