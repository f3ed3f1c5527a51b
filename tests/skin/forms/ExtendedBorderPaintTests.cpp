// The extended border image in the margins of a border window's cache: copied with its own alpha, except its key
// pixels, which an element cut from the skin's opaque master image would otherwise show as opaque magenta.
#include <gtest/gtest.h>

#include "skin/forms/vkBorderForm.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

TEST(ExtendedBorderPaint, KeyPixelsOfTheImageLeaveTheMarginTransparent) {
  // A 6 x 6 image with margins of 2: shadow pixels of alpha 0x40, an opaque key pixel at each corner's tip and a
  // key pixel of alpha 0 beside it.
  BitmapPtr Border = Bitmap32By(6, 6, [](int x, int y) {
    const bool Tip = (x == 0 || x == 5) && (y == 0 || y == 5);
    if (Tip) return 0xFFFF00FFu;
    if (x == 1 && y == 0) return 0x00FF00FFu;
    return 0x40000000u | static_cast<uint32_t>(x << 8 | y);
  });
  BitmapPtr Cache = Bitmap32(10, 10, 0x12345678u);
  PaintExtendedBorderInto(Cache.get(), Border.get(), TRect(2, 2, 2, 2));
  for (const auto& [X, Y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}, {1, 0}})
    EXPECT_EQ(PixelAt(Cache.get(), X, Y), 0u) << X << "," << Y;
  EXPECT_EQ(PixelAt(Cache.get(), 0, 1), 0x40000001u);   // the image's own alpha
  EXPECT_EQ(PixelAt(Cache.get(), 9, 8), 0x40000504u);   // right and bottom margins from the image's far edges
  EXPECT_EQ(PixelAt(Cache.get(), 5, 5), 0xFF345678u);   // the owner's part, made opaque
}
