#include "skin/core/vkSkinImages.h"

#include <memory>

#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/PngGraphic.h"
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

// Through the PNG graphic, so palette transparency and grey gamma masks turn into alpha as for every PNG.
TBitmap* DecodePngImage(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  FillStream(stream, data, size);
  TFreeHolder<TBitmap> out(new TBitmap());
  LoadPngStreamToBitmap(out.get(), &stream);
  if (out->Empty()) throw EInvalidGraphic("PNG image has no pixels");
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
