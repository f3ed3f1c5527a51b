// A view of the rows of a 32-bit image: base address of row 0 and the signed distance between rows.
// The toolkit's pixel routines work on such views so that they serve DIB sections, framework bitmaps
// and plain memory alike; the bitmap-level routines only fetch the view and call them.
#pragma once
#include <cstdint>

struct TPixelPlane {
  uint8_t* Base = nullptr;  // row 0
  int Stride = 0;           // bytes from row y to row y + 1 (negative for bottom-up DIBs, 0 for one row)
  int Width = 0;
  int Height = 0;

  bool Empty() const { return Base == nullptr || Width < 1 || Height < 1; }
  uint8_t* Row(int y) const { return Base + static_cast<intptr_t>(y) * Stride; }
  uint32_t* Row32(int y) const { return reinterpret_cast<uint32_t*>(Row(y)); }
  uint32_t& At(int x, int y) const { return Row32(y)[x]; }
};
