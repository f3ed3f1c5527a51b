#pragma once
// Helpers of the graphics tests: file bytes, bitmaps of any format, colours found, crisp fonts.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <set>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "tests/support/Bitmaps.h"

namespace graphics_test {

using testing_support::Bitmap32;
using testing_support::Fill32;
using testing_support::Owned;
using testing_support::PixelAt;
using testing_support::SetPixelAt;

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

inline Owned<TBitmap> NewBitmap(TPixelFormat Format, int Width, int Height) {
  Owned<TBitmap> Bitmap(new TBitmap());
  Bitmap->SetPixelFormat(Format);
  Bitmap->SetSize(Width, Height);
  return Bitmap;
}

// A memory stream holding Data, positioned at its start.
inline Owned<TMemoryStream> StreamOf(const Bytes& Data) {
  Owned<TMemoryStream> Stream(new TMemoryStream());
  if (!Data.empty()) Stream->WriteBuffer(Data.data(), static_cast<std::int32_t>(Data.size()));
  Stream->SetPosition(0);
  return Stream;
}

// What a memory stream holds.
inline Bytes Contents(TMemoryStream& Stream) {
  const auto* P = static_cast<const std::uint8_t*>(Stream.Memory());
  return Bytes(P, P + Stream.Size());
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
