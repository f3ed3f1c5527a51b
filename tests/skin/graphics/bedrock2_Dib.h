// In-memory 32-bit DIB sections for pixel-exact tests, with a memory DC selected.
#pragma once
#include <windows.h>

#include <cstdint>

#include "skin/graphics/PixelPlane.h"

namespace bedrock2_test {

class TestDib {
 public:
  // Bottom-up like the framework's bitmaps unless TopDown is asked.
  TestDib(int Width, int Height, uint32_t Fill = 0, bool TopDown = false) : width_(Width), height_(Height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = Width;
    bi.bmiHeader.biHeight = TopDown ? -Height : Height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    bmp_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    topDown_ = TopDown;
    Fill_(Fill);
  }
  ~TestDib() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
  }
  TestDib(const TestDib&) = delete;
  TestDib& operator=(const TestDib&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC DC() const { return dc_; }
  HBITMAP Handle() const { return bmp_; }
  TPixelPlane Plane() const {
    GdiFlush();
    TPixelPlane p;
    uint8_t* b = static_cast<uint8_t*>(bits_);
    if (topDown_) {
      p.Base = b;
      p.Stride = width_ * 4;
    } else {
      p.Base = b + static_cast<size_t>(height_ - 1) * width_ * 4;
      p.Stride = -width_ * 4;
    }
    if (height_ == 1) p.Stride = 0;
    p.Width = width_;
    p.Height = height_;
    return p;
  }
  uint32_t& Px(int x, int y) { return Plane().At(x, y); }
  uint32_t Px(int x, int y) const { return Plane().At(x, y); }
  void Fill_(uint32_t v) {
    TPixelPlane p = Plane();
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) p.At(x, y) = v;
  }
  // Number of pixels (inside R when given) that differ from V.
  int CountNot(uint32_t v) const {
    int n = 0;
    TPixelPlane p = Plane();
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += p.At(x, y) != v;
    return n;
  }

 private:
  int width_, height_;
  bool topDown_ = false;
  void* bits_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace bedrock2_test
