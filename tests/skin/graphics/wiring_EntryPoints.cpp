// Entry points of the bitmap helpers no painter test reaches by name.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "skin/graphics/SmallDrawing.h"
#include "tests/skin/graphics/bedrock1_Bitmaps.h"

using namespace bedrock1;

namespace {

BitmapPtr Plane8(int W, int H) {
  BitmapPtr P(new TBitmap());
  P->SetPixelFormat(pf8bit);
  P->SetSize(W, H);
  return P;
}
uint8_t& Byte(TBitmap* P, int X, int Y) { return static_cast<uint8_t*>(P->ScanLine(Y))[X]; }

}  // namespace

TEST(Bitmap32Entry, ForControlTakesTheControlsSize) {
  TControl* Control = Create<TControl>(nullptr);
  Control->SetBounds(3, 4, 17, 9);
  BitmapPtr B(NewBitmap32ForControl(Control));
  Control->Free();
  EXPECT_EQ(B->PixelFormat(), pf32bit);
  EXPECT_EQ(B->Width(), 17);
  EXPECT_EQ(B->Height(), 9);
}

TEST(Bitmap32Entry, ForceBitmap32KeepsSizeAndColours) {
  BitmapPtr B(new TBitmap());
  B->SetPixelFormat(pf24bit);
  B->SetSize(3, 2);
  uint8_t* Row = static_cast<uint8_t*>(B->ScanLine(1));
  Row[3] = 0x11;  // pixel (1, 1): blue, green, red
  Row[4] = 0x22;
  Row[5] = 0x33;
  ForceBitmap32(B.get());
  EXPECT_EQ(B->PixelFormat(), pf32bit);
  EXPECT_EQ(B->Width(), 3);
  EXPECT_EQ(B->Height(), 2);
  EXPECT_EQ(At(B.get(), 1, 1) & 0xFFFFFF, 0x332211u);
  ForceBitmap32(B.get());  // already 32-bit: nothing changes
  EXPECT_EQ(At(B.get(), 1, 1) & 0xFFFFFF, 0x332211u);
}

TEST(Bitmap32Entry, ChannelToBytesTakesOutAndPutsBackOneChannel) {
  BitmapPtr B = MakeBy(4, 3, [](int X, int Y) { return Px(uint32_t(X * 10 + Y), 0xAA, uint32_t(Y), 0xBB); });
  BitmapPtr P = Plane8(4, 3);
  ChannelToBytes(B.get(), P.get(), 3, true);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(Byte(P.get(), x, y), x * 10 + y) << x << "," << y;
  ChannelToBytes(B.get(), P.get(), 1, true);  // green
  EXPECT_EQ(Byte(P.get(), 3, 2), 2);
  // Back into the red channel only; the other channels stay.
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) Byte(P.get(), x, y) = static_cast<uint8_t>(100 + x);
  ChannelToBytes(B.get(), P.get(), 2, false);
  EXPECT_EQ(At(B.get(), 2, 1), Px(21, 102, 1, 0xBB));
  EXPECT_EQ(At(B.get(), 0, 2), Px(2, 100, 2, 0xBB));
}

TEST(Bitmap32Entry, ChannelToBytesStaysInsideTheSmallerImage) {
  BitmapPtr B = Make32(4, 4, Px(1, 2, 3, 4));
  BitmapPtr Small = Plane8(2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) Byte(Small.get(), x, y) = 9;
  ChannelToBytes(B.get(), Small.get(), 0, false);
  EXPECT_EQ(At(B.get(), 1, 1), Px(1, 2, 3, 9));
  EXPECT_EQ(At(B.get(), 2, 2), Px(1, 2, 3, 4));
  // A channel outside 0..3 or a plane that is not one byte a pixel is refused without writing anything.
  ChannelToBytes(B.get(), Small.get(), 4, false);
  BitmapPtr Wide = Make32(2, 2, 0);
  ChannelToBytes(B.get(), Wide.get(), 0, false);
  EXPECT_EQ(CountChanged(B.get(), Px(1, 2, 3, 4)), 4);
}
