// 32-bit bitmaps: creation, row addressing, per-pixel walks, DC fills and grey.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/GraphicsGdi.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

TEST(Bitmap32, CreationGivesDibsOfTheAskedSize) {
  BitmapPtr A(NewBitmap32(7, 3));
  EXPECT_EQ(pf32bit, A->PixelFormat());
  EXPECT_EQ(bmDIB, A->HandleType());
  EXPECT_EQ(TSize(7, 3), TSize(A->Width(), A->Height()));
  BitmapPtr B(NewBitmap32ForRect(TRect{10, 20, 5, 26}));  // negative width counts as 0
  EXPECT_EQ(TSize(0, 6), TSize(B->Width(), B->Height()));
  BitmapPtr C(NewBitmap32ForSize(TSize{4, 2}));
  EXPECT_EQ(4, C->Width());
  BitmapPtr D(NewBitmapLike(A.get()));
  EXPECT_EQ(pf32bit, D->PixelFormat());
  EXPECT_EQ(3, D->Height());
  BitmapPtr G(NewBitmap32LikeGraphic(A.get()));
  EXPECT_EQ(7, G->Width());
}

TEST(Bitmap32, ForControlTakesTheControlsSize) {
  TControl* Control = Create<TControl>(nullptr);
  Control->SetBounds(3, 4, 17, 9);
  BitmapPtr B(NewBitmap32ForControl(Control));
  Control->Free();
  EXPECT_EQ(B->PixelFormat(), pf32bit);
  EXPECT_EQ(TSize(B->Width(), B->Height()), TSize(17, 9));
}

TEST(Bitmap32, ForceBitmap32KeepsSizeAndColours) {
  BitmapPtr B(new TBitmap());
  B->SetPixelFormat(pf24bit);
  B->SetSize(3, 2);
  uint8_t* Row = static_cast<uint8_t*>(B->ScanLine(1));
  Row[3] = 0x11;  // pixel (1, 1): blue, green, red
  Row[4] = 0x22;
  Row[5] = 0x33;
  ForceBitmap32(B.get());
  EXPECT_EQ(B->PixelFormat(), pf32bit);
  EXPECT_EQ(TSize(B->Width(), B->Height()), TSize(3, 2));
  EXPECT_EQ(PixelAt(B.get(), 1, 1) & 0xFFFFFF, 0x332211u);
  ForceBitmap32(B.get());  // already 32-bit: nothing changes
  EXPECT_EQ(PixelAt(B.get(), 1, 1) & 0xFFFFFF, 0x332211u);
}

TEST(Bitmap32, CopyBitmapFullCopiesAllFourBytes) {
  BitmapPtr Src = Bitmap32By(5, 4, [](int x, int y) { return Argb(0x10 * x, y, 0x22, 0x33); });
  BitmapPtr Dst(NewBitmap32(1, 1));
  CopyBitmapFull(Dst.get(), Src.get());
  ASSERT_EQ(TSize(5, 4), TSize(Dst->Width(), Dst->Height()));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(Src.get(), x, y), PixelAt(Dst.get(), x, y));
  BitmapPtr Empty(NewBitmap32(0, 0));
  CopyBitmapFull(Dst.get(), Empty.get());
  EXPECT_TRUE(Dst->Empty());
}

TEST(Bitmap32, ScanlineBaseAndStrideForZeroOneAndManyRows) {
  uint8_t* Base = reinterpret_cast<uint8_t*>(1);
  int Stride = 7;
  BitmapPtr Zero(NewBitmap32(5, 0));
  EXPECT_FALSE(ScanlineBaseAndStride(Zero.get(), Base, Stride));
  EXPECT_TRUE(PlaneOf(Zero.get()).Empty());

  BitmapPtr One(NewBitmap32(5, 1));
  ASSERT_TRUE(ScanlineBaseAndStride(One.get(), Base, Stride));
  EXPECT_EQ(0, Stride);
  EXPECT_EQ(One->ScanLine(0), Base);

  BitmapPtr Many(NewBitmap32(5, 3));
  ASSERT_TRUE(ScanlineBaseAndStride(Many.get(), Base, Stride));
  EXPECT_EQ(-20, Stride);  // bottom-up DIB: rows at decreasing addresses
  EXPECT_EQ(Many->ScanLine(2), Base + 2 * Stride);
}

namespace {
void AddOneToBlue(uint32_t* P, intptr_t Param) { *P += static_cast<uint32_t>(Param); }
}  // namespace

TEST(Bitmap32, ApplyToEachPixelSkipsTheKeyInPixelOrder) {
  // Key given as a colour value 0x0000FF (red) matches the pixel 0x00FF0000.
  BitmapPtr B = Bitmap32By(3, 2, [](int x, int) { return x == 1 ? 0x00FF0000u : 0x00000010u; });
  ApplyToEachPixel(B.get(), AddOneToBlue, 1, 0x0000FF);
  EXPECT_EQ(0x11u, PixelAt(B.get(), 0, 0));
  EXPECT_EQ(0x00FF0000u, PixelAt(B.get(), 1, 1));
  EXPECT_EQ(0x11u, PixelAt(B.get(), 2, 1));
  ApplyToEachPixel(B.get(), AddOneToBlue, 1, NoColor32);
  EXPECT_EQ(0x00FF0001u, PixelAt(B.get(), 1, 0));
  ApplyToEachPixel(static_cast<TBitmap*>(nullptr), AddOneToBlue, 1, NoColor32);  // nothing for nil
}

TEST(Bitmap32, GreyKeepsAlphaAndKeyedPixels) {
  BitmapPtr B = Bitmap32By(2, 1, [](int x, int) { return x == 0 ? Argb(0x80, 200, 100, 50) : KeyPixel32; });
  GrayBitmap32Keyed(B.get(), KeyPixel32);
  EXPECT_EQ(Argb(0x80, 124, 124, 124), PixelAt(B.get(), 0, 0));
  EXPECT_EQ(KeyPixel32, PixelAt(B.get(), 1, 0));
  GrayBitmap32(B.get());
  EXPECT_EQ(Argb(0, 105, 105, 105), PixelAt(B.get(), 1, 0));  // magenta: 0.299*255 + 0.114*255 = 105.3
}

TEST(Bitmap32, DcFillsPaintTheirRectanglesAndFreeTheBrush) {
  BitmapPtr B = Bitmap32(10, 10, 0);
  HDC DC = B->Canvas()->Handle();
  const TGdiObjectCounts Before = GdiObjectCounts();
  PaintSolidRect(DC, TRect{2, 3, 5, 4}, 0x00332211);
  GdiFlush();
  EXPECT_EQ(Before, GdiObjectCounts()) << GdiObjectCounts().ToString();
  EXPECT_EQ(3, CountChanged(B.get(), 0));
  EXPECT_EQ(0x112233u, PixelAt(B.get(), 2, 3) & 0xFFFFFF);

  BitmapPtr F = Bitmap32(10, 10, 0);
  PaintFrameBands(F->Canvas()->Handle(), TRect{0, 0, 10, 10}, 1, 0x00FFFFFF, 2, 3, 4);
  GdiFlush();
  // Top 4 rows, left 1 column, bottom 2 rows, right 3 columns: the inside 6 x 4 stays.
  EXPECT_EQ(100 - 6 * 4, CountChanged(F.get(), 0));
  EXPECT_EQ(0u, PixelAt(F.get(), 1, 4));
  EXPECT_EQ(0u, PixelAt(F.get(), 6, 7));
  EXPECT_NE(0u, PixelAt(F.get(), 7, 7));
}
