#include "skin/graphics/vkColorMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

inline uint32_t ByteOf(uint32_t V, int N) { return (V >> (8 * N)) & 0xFFu; }

inline uint32_t Compose(uint32_t B0, uint32_t B1, uint32_t B2, uint32_t B3) {
  return (B3 << 24) | (B2 << 16) | (B1 << 8) | B0;
}

// Default rounding mode of the FPU/SSE unit: to nearest, ties to even.
inline int RoundEven(double V) { return static_cast<int>(std::nearbyint(V)); }

inline uint32_t ClampByte(double V) {
  if (V < 0) return 0;
  if (V > 255) return 255;
  return static_cast<uint32_t>(V);  // truncation
}

}  // namespace

uint32_t HtmlRgbToColor(uint32_t V) { return V < 0x1000000u ? SwapRedBlue(V) : V; }

uint32_t AdjustColorBrightness(uint32_t C, int Amount) {
  if (Amount == 0) return C;
  uint32_t Out[3];
  const int64_t A = std::llabs(static_cast<int64_t>(Amount));
  for (int i = 0; i < 3; ++i) {
    const int64_t c = ByteOf(C, i);
    const int64_t d = (c * A) >> 8;
    Out[i] = static_cast<uint32_t>(Amount > 0 ? std::min<int64_t>(255, c + d) : std::max<int64_t>(0, c - d));
  }
  return Compose(Out[0], Out[1], Out[2], ByteOf(C, 3));
}

uint32_t AdjustColorBrightnessVar(uint32_t& C, int Amount) { return C = AdjustColorBrightness(C, Amount); }

uint8_t PixelGray(uint32_t P) {
  return static_cast<uint8_t>(RoundEven(0.299 * ByteOf(P, 2) + 0.587 * ByteOf(P, 1) + 0.114 * ByteOf(P, 0)));
}

uint32_t AdjustColorSaturation(uint32_t P, int Amount) {
  if (Amount == 0) return P;
  const int64_t g = PixelGray(P);
  uint32_t Out[3];
  for (int i = 0; i < 3; ++i) {
    const int64_t v = static_cast<int64_t>(ByteOf(P, i)) * (255 + Amount) - static_cast<int64_t>(Amount) * g;
    Out[i] = static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 65535) >> 8);
  }
  return Compose(Out[0], Out[1], Out[2], ByteOf(P, 3));
}

uint32_t ColorizePixel(uint32_t P, uint32_t Color) {
  const uint32_t m = std::max({ByteOf(P, 0), ByteOf(P, 1), ByteOf(P, 2)});
  // Colour value: red in byte 0, blue in byte 2; pixel: blue in byte 0, red in byte 2.
  return Compose((m * ByteOf(Color, 2)) >> 8, (m * ByteOf(Color, 1)) >> 8, (m * ByteOf(Color, 0)) >> 8,
                 ByteOf(P, 3));
}

uint32_t ColorizePixelVar(uint32_t& P, uint32_t Color) { return P = ColorizePixel(P, Color); }

uint32_t ShiftPixelHue(int Degrees, uint32_t P) {
  const double R = ByteOf(P, 2), G = ByteOf(P, 1), B = ByteOf(P, 0);
  const double Max = std::max({R, G, B});
  const double Min = std::min({R, G, B});
  if (Max <= 0 || Max == Min) return P;  // grey: saturation 0 keeps the channels
  const double V = Max;
  const double S = (Max - Min) / Max;
  const double Delta = Max - Min;
  double Hue;
  if (Max == R)
    Hue = 60.0 * (G - B) / Delta;
  else if (Max == G)
    Hue = 60.0 * (2.0 + (B - R) / Delta);
  else
    Hue = 60.0 * (4.0 + (R - G) / Delta);
  if (Hue < 0) Hue += 360.0;
  // Trunc(hue + Degrees) mod 360 keeps the dividend's sign; a negative result would index no sector, so it
  // is brought into 0..359.
  int64_t H = static_cast<int64_t>(std::trunc(Hue + Degrees)) % 360;
  if (H < 0) H += 360;
  const int Sector = static_cast<int>(H / 60);
  const double F = static_cast<double>(H) / 60.0 - Sector;
  const double p = V * (1 - S), q = V * (1 - S * F), t = V * (1 - S * (1 - F));
  double r, g, b;
  switch (Sector) {
    case 0: r = V; g = t; b = p; break;
    case 1: r = q; g = V; b = p; break;
    case 2: r = p; g = V; b = t; break;
    case 3: r = p; g = q; b = V; break;
    case 4: r = t; g = p; b = V; break;
    default: r = V; g = p; b = q; break;
  }
  return Compose(ClampByte(b), ClampByte(g), ClampByte(r), ByteOf(P, 3));
}

uint32_t RotateColorHue(int Degrees, uint32_t C) {
  if (Degrees == 0) return C;
  return SwapRedBlue(ShiftPixelHue(Degrees, SwapRedBlue(C)));
}
