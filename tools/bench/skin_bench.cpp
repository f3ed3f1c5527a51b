// Megapixels per second of the toolkit's compositing, resampling and PNG decoding on form-sized
// bitmaps, printed next to plain BitBlt and AlphaBlend of the same size so the ratio is visible.
#include <windows.h>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "skin/graphics/PngDecode.h"
#include "skin/graphics/Resample.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "tools/bench/BenchTiming.h"

namespace {

constexpr int kW = 300;
constexpr int kH = 340;

// Runs Op repeatedly for about half a second and prints the rate for Pixels pixels per call.
void Measure(const char* Name, double Pixels, const std::function<void()>& Op) {
  const double perRun = PerCall(Op);
  std::printf("%-40s %9.1f MP/s  %8.3f ms\n", Name, Pixels / perRun / 1e6, perRun * 1e3);
}

TBitmap* Pattern(int W, int H, bool Alpha) {
  TBitmap* b = NewBitmap32(W, H);
  const TPixelPlane p = PlaneOf(b);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const uint32_t a = Alpha ? static_cast<uint32_t>((x * 255) / (W - 1)) : 255;
      p.At(x, y) = (a << 24) | ((x & 0xFF) << 16) | ((y & 0xFF) << 8) | ((x ^ y) & 0xFF);
    }
  return b;
}

struct TPngBuffer {
  std::vector<uint8_t> Bytes;
  std::vector<png_bytep> Rows;
};

void PNGCBAPI WriteToBuffer(png_structp Png, png_bytep Data, size_t Length) {
  auto* out = static_cast<TPngBuffer*>(png_get_io_ptr(Png));
  out->Bytes.insert(out->Bytes.end(), Data, Data + Length);
}
void PNGCBAPI NoFlush(png_structp) {}

// libpng returns here by longjmp on an error; nothing with a destructor lives in this frame.
bool WriteRgba(png_structp Png, png_infop Info, TPngBuffer* Buffer) {
  if (setjmp(png_jmpbuf(Png))) return false;
  png_set_write_fn(Png, Buffer, WriteToBuffer, NoFlush);
  png_set_IHDR(Png, Info, kW, kH, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_write_info(Png, Info);
  png_write_image(Png, Buffer->Rows.data());
  png_write_end(Png, nullptr);
  return true;
}

std::vector<uint8_t> EncodeRgba() {
  std::vector<uint8_t> pixels(static_cast<size_t>(kW) * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      uint8_t* p = &pixels[(static_cast<size_t>(y) * kW + x) * 4];
      p[0] = static_cast<uint8_t>(x);
      p[1] = static_cast<uint8_t>(y);
      p[2] = static_cast<uint8_t>((x * y) >> 4);
      p[3] = static_cast<uint8_t>(x * 255 / (kW - 1));
    }
  TPngBuffer buffer;
  for (int y = 0; y < kH; ++y) buffer.Rows.push_back(&pixels[static_cast<size_t>(y) * kW * 4]);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool ok = WriteRgba(png, info, &buffer);
  png_destroy_write_struct(&png, &info);
  if (!ok) buffer.Bytes.clear();
  return buffer.Bytes;
}

}  // namespace

int main() {
  const double pixels = static_cast<double>(kW) * kH;
  TBitmap* src = Pattern(kW, kH, true);
  TBitmap* dst = Pattern(kW, kH, false);
  TBitmap* bg = Pattern(kW, kH, false);
  const TRect all(0, 0, kW, kH);
  TvkBgCacheRef notReady;
  TvkBgCacheRef ready;
  InitBgInfo(bg, 0, 0, ready);

  std::printf("Form-sized bitmaps: %d x %d (%.3f MP)\n\n", kW, kH, pixels / 1e6);
  HDC dstDC = dst->Canvas()->Handle();
  HDC srcDC = src->Canvas()->Handle();
  Measure("BitBlt SRCCOPY", pixels, [&] {
    BitBlt(dstDC, 0, 0, kW, kH, srcDC, 0, 0, SRCCOPY);
    GdiFlush();
  });
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  Measure("AlphaBlend per-pixel alpha", pixels, [&] {
    AlphaBlend(dstDC, 0, 0, kW, kH, srcDC, 0, 0, kW, kH, blend);
    GdiFlush();
  });
  std::printf("\n");
  Measure("CompositeOverCache", pixels,
          [&] { CompositeOverCache(all, all, dst, src, notReady, false, 0x1FFFFFFF, 0, false); });
  Measure("CompositeOverCache, ready background", pixels,
          [&] { CompositeOverCache(all, all, dst, src, ready, true, 0x1FFFFFFF, 0, false); });
  Measure("CompositeOverCache, colourised 50%", pixels,
          [&] { CompositeOverCache(all, all, dst, src, notReady, false, 0x000080, 50, false); });
  Measure("AlphaBlendRectOver", pixels, [&] { AlphaBlendRectOver(all, all, dst, src, notReady, false); });
  Measure("BlendBitmapInto level 128", pixels, [&] { BlendBitmapInto(dst, src, 128, all, TPoint(0, 0)); });
  Measure("AlphaBlendBitmapInto", pixels, [&] { AlphaBlendBitmapInto(dst, src, all, TPoint(0, 0)); });
  std::printf("\n");
  TBitmap* half = NewBitmap32(kW / 2, kH / 2);
  TBitmap* big = NewBitmap32(kW, kH);
  for (int filter : {rfBox, rfTriangle, rfLanczos3, rfMitchell}) {
    static const char* names[] = {"box", "triangle", "hermite", "bell", "bspline", "lanczos3", "mitchell"};
    const std::string shrink = std::string("Resample to half, ") + names[filter];
    const std::string grow = std::string("Resample from half, ") + names[filter];
    Measure(shrink.c_str(), pixels, [&] { ResamplePixels(PlaneOf(src), PlaneOf(half), filter); });
    Measure(grow.c_str(), pixels, [&] { ResamplePixels(PlaneOf(half), PlaneOf(big), filter); });
  }
  std::printf("\n");
  const std::vector<uint8_t> png = EncodeRgba();
  if (png.empty()) {
    std::printf("PNG encoding failed\n");
    return 1;
  }
  std::printf("PNG of %zu bytes\n", png.size());
  Measure("PNG decode, colour with alpha", pixels, [&] {
    TPngMemorySource source(png.data(), png.size());
    TPngDecoded decoded;
    std::string error;
    if (!DecodePng(source, decoded, error)) std::printf("decode failed: %s\n", error.c_str());
  });
  for (TBitmap* b : {src, dst, bg, half, big}) b->Free();
  return 0;
}
