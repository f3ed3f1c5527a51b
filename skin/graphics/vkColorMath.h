#pragma once
// Colour arithmetic on single values.
//
// Two byte orders travel through the library: a colour value is 0x00BBGGRR (red in byte 0), a pixel of a
// 32-bit bitmap is 0xAARRGGBB read as one little-endian word (blue in byte 0). Every routine here carries
// byte 3 of its input through unchanged; system colours (high byte 0xFF) must be turned into RGB by the
// caller first. Channel arithmetic drops fractions with shr 8 (a division by 256), as everywhere in the
// library.
#include <cstdint>

// Pixel value of the transparent key (magenta, alpha 0); also the colour value of magenta.
constexpr uint32_t KeyPixel32 = 0x00FF00FF;
// "No colour": no key test, no tint, no fill.
constexpr uint32_t NoColor32 = 0x1FFFFFFF;
// A pixel of the key's colour whatever its alpha (an image may hold its key opaque); both in pixel order.
// NoColor32 is no key.
inline bool HasKeyColour(uint32_t Pixel, uint32_t Key) { return Key != NoColor32 && ((Pixel ^ Key) & 0x00FFFFFFu) == 0; }
// The key pixel itself, alpha included: a glyph frame keyed by its own corner pixel keeps the opaque pixels
// of a colour its transparent key shares. NoColor32 is no key.
inline bool IsKeyPixel(uint32_t Pixel, uint32_t Key) { return Key != NoColor32 && Pixel == Key; }

// HTML #RRGGBB order to a colour value: bytes 0 and 2 exchanged for values below 0x1000000; others as given.
uint32_t HtmlRgbToColor(uint32_t V);

// Each of bytes 0..2 moves away from 0 by c * Amount shr 8 (Amount > 0: brighter, capped at 255; Amount < 0:
// darker, floored at 0). Works on either byte order.
uint32_t AdjustColorBrightness(uint32_t C, int Amount);
// In-place form: updates C and returns the new value.
uint32_t AdjustColorBrightnessVar(uint32_t& C, int Amount);

// Pixel order. Moves each channel away from (Amount > 0) or toward (Amount < 0) the pixel's grey; Amount 0
// returns the input (the formula itself would darken by 255/256).
uint32_t AdjustColorSaturation(uint32_t P, int Amount);

// Pixel P (pixel order) coloured by the colour value Color: the brightest channel of P scales each channel of
// Color.
uint32_t ColorizePixel(uint32_t P, uint32_t Color);
uint32_t ColorizePixelVar(uint32_t& P, uint32_t Color);

// Pixel order: the hue turned by Degrees in the HSV model (saturation and value kept; greys unchanged). Any
// number of degrees, negative ones included, is accepted.
uint32_t ShiftPixelHue(int Degrees, uint32_t P);
// The same for a colour value; 0 degrees returns it unchanged.
uint32_t RotateColorHue(int Degrees, uint32_t C);

// Exchanges bytes 0 and 2 (colour value <-> pixel order), keeping bytes 1 and 3.
constexpr uint32_t SwapRedBlue(uint32_t V) {
  return (V & 0xFF00FF00u) | ((V & 0xFFu) << 16) | ((V >> 16) & 0xFFu);
}

// round(0.299 R + 0.587 G + 0.114 B) of a pixel (ties to even).
uint8_t PixelGray(uint32_t P);
