#include "skin/core/vkSkinImages.h"

#include <cstring>
#include <memory>

#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "skin/graphics/PngDecode.h"
#include "skin/graphics/vkBitmap32.h"

namespace {

struct BitmapGuard {
  TBitmap* b;
  ~BitmapGuard() {
    if (b) b->Free();
  }
  TBitmap* Release() {
    TBitmap* r = b;
    b = nullptr;
    return r;
  }
};

TBitmap* DecodeBmp(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  if (size > 0) stream.WriteBuffer(data, static_cast<int32_t>(size));
  stream.SetPosition(0);
  BitmapGuard src{new TBitmap()};
  src.b->LoadFromStream(&stream);
  if (src.b->Empty()) throw EInvalidGraphic("Empty bitmap");
  bool had32 = src.b->PixelFormat() == pf32bit;
  if (!had32) src.b->SetPixelFormat(pf32bit);  // alpha 0
  return src.Release();
}

TBitmap* DecodeJpeg(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  if (size > 0) stream.WriteBuffer(data, static_cast<int32_t>(size));
  stream.SetPosition(0);
  std::unique_ptr<TJPEGImage, void (*)(TJPEGImage*)> jpeg(new TJPEGImage(), [](TJPEGImage* j) { j->Free(); });
  jpeg->LoadFromStream(&stream);
  if (jpeg->Empty()) throw EInvalidGraphic("Empty JPEG image");
  BitmapGuard out{NewBitmap32(jpeg->Width(), jpeg->Height())};
  out.b->Canvas()->Draw(0, 0, jpeg.get());
  return out.Release();
}

TBitmap* DecodePngImage(const uint8_t* data, size_t size) {
  TPngMemorySource source(data, size);
  TPngDecoded png;
  std::string error;
  if (!DecodePng(source, png, error)) throw EInvalidGraphic("PNG image: " + error);
  BitmapGuard out{NewBitmap32(png.Width, png.Height)};
  TPixelPlane plane = PlaneOf(out.b);
  if (plane.Empty()) throw EInvalidGraphic("PNG image has no pixels");
  for (int y = 0; y < png.Height; ++y)
    std::memcpy(plane.Row32(y), png.Pixels.data() + static_cast<size_t>(y) * png.Width,
                static_cast<size_t>(png.Width) * 4);
  return out.Release();
}

}  // namespace

bool IsSkinImageName(const std::string& Name) {
  std::string ext = UpperCase(ExtractFileExt(Name));
  return ext == ".BMP" || ext == ".PNG" || ext == ".JPG" || ext == ".JPEG";
}

TBitmap* DecodeSkinImage(const std::string& Name, const uint8_t* Data, size_t Size) {
  std::string ext = UpperCase(ExtractFileExt(Name));
  if (Size > 0x7FFFFFFF) throw EInvalidGraphic("Image \"" + Name + "\" is too large");
  if (ext == ".BMP") return DecodeBmp(Data, Size);
  if (ext == ".PNG") return DecodePngImage(Data, Size);
  if (ext == ".JPG" || ext == ".JPEG") return DecodeJpeg(Data, Size);
  throw EInvalidGraphic("\"" + Name + "\" is not a BMP, JPEG or PNG image");
}
