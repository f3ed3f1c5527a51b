#include "skin/core/vkSkinImages.h"

#include <cstring>
#include <memory>

#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/PngDecode.h"
#include "skin/graphics/vkBitmap32.h"

namespace {


// The bytes in a memory stream, read from its start.
void FillStream(TMemoryStream& stream, const uint8_t* data, size_t size) {
  if (size > 0) stream.WriteBuffer(data, static_cast<int32_t>(size));
  stream.SetPosition(0);
}

TBitmap* DecodeBmp(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  FillStream(stream, data, size);
  TFreeHolder<TBitmap> src(new TBitmap());
  src->LoadFromStream(&stream);
  if (src->Empty()) throw EInvalidGraphic("Empty bitmap");
  bool had32 = src->PixelFormat() == pf32bit;
  if (!had32) src->SetPixelFormat(pf32bit);  // alpha 0
  return src.release();
}

TBitmap* DecodeJpeg(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  FillStream(stream, data, size);
  TFreeHolder<TJPEGImage> jpeg(new TJPEGImage());
  jpeg->LoadFromStream(&stream);
  if (jpeg->Empty()) throw EInvalidGraphic("Empty JPEG image");
  TFreeHolder<TBitmap> out(NewBitmap32(jpeg->Width(), jpeg->Height()));
  out->Canvas()->Draw(0, 0, jpeg.get());
  return out.release();
}

TBitmap* DecodePngImage(const uint8_t* data, size_t size) {
  TPngMemorySource source(data, size);
  TPngDecoded png;
  std::string error;
  if (!DecodePng(source, png, error)) throw EInvalidGraphic("PNG image: " + error);
  TFreeHolder<TBitmap> out(NewBitmap32(png.Width, png.Height));
  TPixelPlane plane = PlaneOf(out.get());
  if (plane.Empty()) throw EInvalidGraphic("PNG image has no pixels");
  for (int y = 0; y < png.Height; ++y)
    std::memcpy(plane.Row32(y), png.Pixels.data() + static_cast<size_t>(y) * png.Width,
                static_cast<size_t>(png.Width) * 4);
  return out.release();
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
