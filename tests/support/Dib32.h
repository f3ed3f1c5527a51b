#pragma once
// An in-memory 32-bit DIB section with a memory DC selected, for pixel-exact checks of GDI drawing.
#include <windows.h>

#include <cstdint>

namespace testing_support {

class Dib32 {
public:
  // Bottom-up like the framework's bitmaps unless topDown is asked.
  Dib32(int width, int height, uint32_t fill = 0, bool topDown = false)
      : width_(width), height_(height), topDown_(topDown) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = topDown ? -height : height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    bmp_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    Fill(fill);
  }
  ~Dib32() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
  }
  Dib32(const Dib32&) = delete;
  Dib32& operator=(const Dib32&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC DC() const { return dc_; }
  HBITMAP Handle() const { return bmp_; }
  // Row y counted from the top; pending GDI drawing is finished first.
  uint32_t* Row(int y) const {
    GdiFlush();
    return bits_ + static_cast<size_t>(topDown_ ? y : height_ - 1 - y) * width_;
  }
  uint32_t& Px(int x, int y) { return Row(y)[x]; }
  uint32_t Px(int x, int y) const { return Row(y)[x]; }
  // The colour part (0x00RRGGBB) of a pixel.
  uint32_t Rgb(int x, int y) const { return Px(x, y) & 0xFFFFFF; }
  void Fill(uint32_t pixel) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) Px(x, y) = pixel;
  }
  // Number of pixels that differ from `pixel`.
  int CountNot(uint32_t pixel) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += Px(x, y) != pixel;
    return n;
  }

private:
  int width_, height_;
  bool topDown_;
  uint32_t* bits_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace testing_support
