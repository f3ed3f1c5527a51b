// Colour arithmetic on single values: byte orders, brightness, saturation, colourising and hue.
#include <gtest/gtest.h>

#include "skin/graphics/vkColorMath.h"

namespace {

constexpr uint32_t Pixel(uint32_t A, uint32_t R, uint32_t G, uint32_t B) { return (A << 24) | (R << 16) | (G << 8) | B; }

TEST(ColorMath, HtmlOrderAndSwap) {
  EXPECT_EQ(0x563412u, HtmlRgbToColor(0x123456));
  EXPECT_EQ(0x1FFFFFFFu, HtmlRgbToColor(0x1FFFFFFF));  // not an RGB value: as given
  EXPECT_EQ(0xAA332211u, SwapRedBlue(0xAA112233u));
  EXPECT_EQ(KeyPixel32, SwapRedBlue(KeyPixel32));
}

TEST(ColorMath, BrightnessSaturatesAndKeepsByte3) {
  EXPECT_EQ(0x00FFFFFFu, AdjustColorBrightness(0x00808080, 256));
  EXPECT_EQ(0x00000000u, AdjustColorBrightness(0x00808080, -256));
  EXPECT_EQ(0xAB000000u, AdjustColorBrightness(0xAB808080, -256));
  EXPECT_EQ(0xAB808080u, AdjustColorBrightness(0xAB808080, 0));
  // 100 + 100*64/256 = 125; 200 + 50 = 250; 10 + 2 = 12.
  EXPECT_EQ(0x000CFA7Du, AdjustColorBrightness(0x000AC864, 64));
  // 100 - 25 = 75 (0x4B); 200 - 50 = 150 (0x96); 10 - 2 = 8.
  EXPECT_EQ(0x0008964Bu, AdjustColorBrightness(0x000AC864, -64));
  uint32_t C = 0x00808080;
  EXPECT_EQ(0x00FFFFFFu, AdjustColorBrightnessVar(C, 512));
  EXPECT_EQ(0x00FFFFFFu, C);
}

TEST(ColorMath, SaturationUsesBase255AndGrey) {
  const uint32_t P = Pixel(0x7F, 200, 100, 50);  // grey round(59.8 + 58.7 + 5.7) = 124
  EXPECT_EQ(P, AdjustColorSaturation(P, 0));     // the formula would darken; amount 0 must not
  // (c * 355 - 100 * 124) shr 8: 228, 90, 20.
  EXPECT_EQ(Pixel(0x7F, 228, 90, 20), AdjustColorSaturation(P, 100));
  // Full desaturation: 255 * 124 shr 8 = 123 in every channel.
  EXPECT_EQ(Pixel(0x7F, 123, 123, 123), AdjustColorSaturation(P, -255));
  // Clamped to 0..65535 before the shift.
  EXPECT_EQ(Pixel(0, 255, 0, 0), AdjustColorSaturation(Pixel(0, 255, 0, 0), 1000));
  EXPECT_EQ(124, PixelGray(P));
}

TEST(ColorMath, ColorizeTakesBrightestChannel) {
  // m = 200; colour value red 0xFF, green 0x80, blue 0: red 199, green 100, blue 0.
  const uint32_t P = Pixel(0x40, 100, 200, 50);
  EXPECT_EQ(Pixel(0x40, 199, 100, 0), ColorizePixel(P, 0x000080FF));
  uint32_t Q = P;
  ColorizePixelVar(Q, 0x000080FF);
  EXPECT_EQ(Pixel(0x40, 199, 100, 0), Q);
}

TEST(ColorMath, HueShiftsBySectors) {
  EXPECT_EQ(Pixel(0x11, 0, 255, 0), ShiftPixelHue(120, Pixel(0x11, 255, 0, 0)));
  EXPECT_EQ(Pixel(0, 0, 0, 255), ShiftPixelHue(240, Pixel(0, 255, 0, 0)));
  // Hue 20, S 0.75, V 200: +40 lands on 60.
  EXPECT_EQ(Pixel(0, 200, 200, 50), ShiftPixelHue(40, Pixel(0, 200, 100, 50)));
}

TEST(ColorMath, NegativeHueIsNormalised) {
  // 20 - 140 = -120 must mean 240 (blue sector), not an out-of-range sector.
  EXPECT_EQ(Pixel(0, 50, 50, 200), ShiftPixelHue(-140, Pixel(0, 200, 100, 50)));
  EXPECT_EQ(Pixel(0, 0, 0, 255), ShiftPixelHue(-120, Pixel(0, 255, 0, 0)));
  EXPECT_EQ(ShiftPixelHue(240, Pixel(0, 200, 100, 50)), ShiftPixelHue(-120 - 720, Pixel(0, 200, 100, 50)));
}

TEST(ColorMath, RotateColorHueOnColourValues) {
  for (int Deg : {0, 17, 90, 180, 359, 360, -45, 1000}) {
    EXPECT_EQ(0x00808080u, RotateColorHue(Deg, 0x00808080)) << Deg;
    EXPECT_EQ(0x55000000u, RotateColorHue(Deg, 0x55000000)) << Deg;
  }
  // Colour value red (0x0000FF) turned by 120 degrees is green, by 240 blue.
  EXPECT_EQ(0x0000FF00u, RotateColorHue(120, 0x000000FF));
  EXPECT_EQ(0x00FF0000u, RotateColorHue(240, 0x000000FF));
  // A full turn returns the colour up to truncation of the channels.
  const uint32_t C = 0x00336699;
  const uint32_t Back = RotateColorHue(360, C);
  for (int i = 0; i < 3; ++i) {
    const int a = (C >> (8 * i)) & 0xFF, b = (Back >> (8 * i)) & 0xFF;
    EXPECT_LE(std::abs(a - b), 1) << i;
  }
}

}  // namespace
