#pragma once
// Internals shared by the bitmap's files (image memory, pixel formats, palettes). Not for other units.

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"

namespace bitmap_detail {

int BitsPerPixel(TPixelFormat Format);
TPixelFormat FormatOfBits(int Bits);  // 1, 4, 8, 24, 32; anything else raises EInvalidGraphic
int RowBytes(int Width, int Bits);  // DWORD-aligned
// Raises EOutOfResources for an image of more than 2^31 - 1 bytes.
void CheckImageSize(int Width, int Height, int Bits);
std::vector<RGBQUAD> DefaultPalette(TPixelFormat Format);
// A BITMAPINFO of a bottom-up image (header and colour table) in a byte buffer.
std::vector<std::uint8_t> MakeInfo(int Width, int Height, int Bits, const std::vector<RGBQUAD>& Palette);
// A new DIB section filled white with alpha 0 (the palette entry nearest white for indexed formats).
HBITMAP NewWhiteDib(int Width, int Height, TPixelFormat Format, const std::vector<RGBQUAD>& Palette, void** Bits);

// Pixels as 0xAARRGGBB (alpha is only kept by 32-bit rows).
std::uint32_t ReadPixel(const std::uint8_t* Row, int X, int Bits, const std::vector<RGBQUAD>& Palette);

// Writes pixels into rows of one format, finding palette entries for indexed formats.
class PixelWriter {
public:
  PixelWriter(int Bits, const std::vector<RGBQUAD>& Palette) : FBits(Bits), FPalette(Palette) {}
  void Write(std::uint8_t* Row, int X, std::uint32_t Pixel);
  int NearestIndex(std::uint32_t Pixel);

private:
  int FBits;
  const std::vector<RGBQUAD>& FPalette;
  std::uint32_t FLastPixel = 0;
  int FLastIndex = -1;
};

}  // namespace bitmap_detail

// Raw access to a bitmap's image for the loaders.
struct BitmapImage {
  // Installs a new image (the bitmap takes ownership of Handle) and fires OnChange.
  static void Install(TBitmap* Bitmap, HBITMAP Handle, void* Bits, int Width, int Height, TPixelFormat Format,
                      std::vector<RGBQUAD> Palette);
  static void* Bits(TBitmap* Bitmap) { return Bitmap->FBits; }
};
