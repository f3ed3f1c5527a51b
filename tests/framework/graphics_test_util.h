#pragma once
// Helpers of the graphics tests: owned framework objects, 32-bit pixel access, crisp fonts.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Streams.h"

namespace graphics_test {

// File bytes as the tests put them together, little-endian like the formats they build.
using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& B, std::uint32_t V) {
  B.push_back(static_cast<std::uint8_t>(V));
  B.push_back(static_cast<std::uint8_t>(V >> 8));
}
inline void Put32(Bytes& B, std::uint32_t V) {
  Put16(B, V);
  Put16(B, V >> 16);
}

struct Freer {
  void operator()(TObject* Object) const {
    if (Object) Object->Free();
  }
};
template <class T> using Owned = std::unique_ptr<T, Freer>;

inline Owned<TBitmap> NewBitmap(TPixelFormat Format, int Width, int Height) {
  Owned<TBitmap> Bitmap(new TBitmap());
  Bitmap->SetPixelFormat(Format);
  Bitmap->SetSize(Width, Height);
  return Bitmap;
}

inline Owned<TBitmap> NewBitmap32(int Width, int Height) { return NewBitmap(pf32bit, Width, Height); }

// A memory stream holding Data, positioned at its start.
inline Owned<TMemoryStream> StreamOf(const Bytes& Data) {
  Owned<TMemoryStream> Stream(new TMemoryStream());
  if (!Data.empty()) Stream->WriteBuffer(Data.data(), static_cast<std::int32_t>(Data.size()));
  Stream->SetPosition(0);
  return Stream;
}

// 0xAARRGGBB of a 32-bit bitmap.
inline std::uint32_t PixelAt(TBitmap* Bitmap, int X, int Y) {
  return static_cast<std::uint32_t*>(Bitmap->ScanLine(Y))[X];
}
inline void SetPixelAt(TBitmap* Bitmap, int X, int Y, std::uint32_t Pixel) {
  static_cast<std::uint32_t*>(Bitmap->ScanLine(Y))[X] = Pixel;
}

// Colour value 0x00BBGGRR as the RGB part of a pixel (0x00RRGGBB).
constexpr std::uint32_t Rgb(TColor Color) {
  return (Color >> 16 & 0xFF) | (Color & 0xFF00) | (Color & 0xFF) << 16;
}

inline void Fill32(TBitmap* Bitmap, std::uint32_t Pixel) {
  for (int Y = 0; Y < Bitmap->Height(); ++Y)
    for (int X = 0; X < Bitmap->Width(); ++X) SetPixelAt(Bitmap, X, Y, Pixel);
}

// The RGB values (alpha masked off) found in a rectangle of a 32-bit bitmap.
inline std::set<std::uint32_t> ColorsIn(TBitmap* Bitmap, const TRect& Area) {
  std::set<std::uint32_t> Result;
  for (int Y = Area.Top; Y < Area.Bottom; ++Y)
    for (int X = Area.Left; X < Area.Right; ++X) Result.insert(PixelAt(Bitmap, X, Y) & 0x00FFFFFF);
  return Result;
}

// Smallest rectangle holding every pixel whose RGB differs from Background (empty TRect when none).
inline TRect ChangedArea(TBitmap* Bitmap, std::uint32_t Background) {
  TRect Area(Bitmap->Width(), Bitmap->Height(), 0, 0);
  bool Any = false;
  for (int Y = 0; Y < Bitmap->Height(); ++Y)
    for (int X = 0; X < Bitmap->Width(); ++X)
      if ((PixelAt(Bitmap, X, Y) & 0x00FFFFFF) != (Background & 0x00FFFFFF)) {
        Any = true;
        Area.Left = std::min(Area.Left, X);
        Area.Top = std::min(Area.Top, Y);
        Area.Right = std::max(Area.Right, X + 1);
        Area.Bottom = std::max(Area.Bottom, Y + 1);
      }
  return Any ? Area : TRect();
}

// A Tahoma font without smoothing, so text pixels take exactly the text colour. Free with GdiFreeObject.
inline HFONT NewCrispFont(int Height) {
  LOGFONTA Font{};
  Font.lfHeight = Height;
  Font.lfWeight = FW_NORMAL;
  Font.lfCharSet = DEFAULT_CHARSET;
  Font.lfQuality = NONANTIALIASED_QUALITY;
  lstrcpyA(Font.lfFaceName, "Tahoma");
  return GdiNewFont(Font);
}

}  // namespace graphics_test
