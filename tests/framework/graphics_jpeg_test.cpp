// The JPEG picture, decoding images the test encodes itself with libjpeg.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/Streams.h"
#include "graphics_test_util.h"
#include "tests/framework/core_test_util.h"
#include "tests/support/GdiLeaks.h"

#include <jpeglib.h>

using namespace graphics_test;

namespace {

// Encodes Width x Height pixels given as 0x00RRGGBB by Pixel(x, y); greyscale takes the green byte,
// CMYK writes (r, g, b, 0). Quality 100 without chroma subsampling keeps flat areas nearly exact.
Bytes Encode(int Width, int Height, const std::function<std::uint32_t(int, int)>& Pixel,
             J_COLOR_SPACE Space = JCS_RGB) {
  jpeg_compress_struct Info{};
  jpeg_error_mgr Error{};
  Info.err = jpeg_std_error(&Error);
  jpeg_create_compress(&Info);
  unsigned char* Output = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Output, &Size);
  Info.image_width = static_cast<JDIMENSION>(Width);
  Info.image_height = static_cast<JDIMENSION>(Height);
  Info.input_components = Space == JCS_GRAYSCALE ? 1 : Space == JCS_CMYK ? 4 : 3;
  Info.in_color_space = Space;
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, 100, TRUE);
  for (int c = 0; c < Info.num_components; ++c) Info.comp_info[c].h_samp_factor = Info.comp_info[c].v_samp_factor = 1;
  jpeg_start_compress(&Info, TRUE);
  std::vector<JSAMPLE> Row(static_cast<size_t>(Width) * Info.input_components);
  while (Info.next_scanline < Info.image_height) {
    const int Y = static_cast<int>(Info.next_scanline);
    for (int X = 0; X < Width; ++X) {
      const std::uint32_t P = Pixel(X, Y);
      JSAMPLE* Out = Row.data() + X * Info.input_components;
      if (Space == JCS_GRAYSCALE) {
        Out[0] = static_cast<JSAMPLE>(P >> 8);
      } else {
        Out[0] = static_cast<JSAMPLE>(P >> 16);
        Out[1] = static_cast<JSAMPLE>(P >> 8);
        Out[2] = static_cast<JSAMPLE>(P);
        if (Space == JCS_CMYK) Out[3] = 0;
      }
    }
    JSAMPROW Rows[1] = {Row.data()};
    jpeg_write_scanlines(&Info, Rows, 1);
  }
  jpeg_finish_compress(&Info);
  Bytes Result(Output, Output + Size);
  jpeg_destroy_compress(&Info);
  std::free(Output);
  return Result;
}

// Four flat quadrants: red, green / blue, white.
std::uint32_t Quadrants(int X, int Y) {
  if (Y < 8) return X < 8 ? 0xFF0000 : 0x00FF00;
  return X < 8 ? 0x0000FF : 0xFFFFFF;
}

Owned<TJPEGImage> Decoded(const Bytes& Data) {
  Owned<TJPEGImage> Image(new TJPEGImage());
  auto Stream = StreamOf(Data);
  Image->LoadFromStream(Stream.get());
  return Image;
}

void ExpectNear(std::uint32_t Actual, std::uint32_t Expected, const char* Where) {
  for (int Shift = 0; Shift < 24; Shift += 8) {
    const int A = (Actual >> Shift) & 0xFF, E = (Expected >> Shift) & 0xFF;
    EXPECT_LE(std::abs(A - E), 3) << Where << std::hex << ": 0x" << Actual << " vs 0x" << Expected;
  }
}

TEST(GraphicsJpeg, DecodesColoursIntoPlaceAndDraws) {
  const Bytes Data = Encode(16, 16, Quadrants);
  auto Image = Decoded(Data);
  EXPECT_FALSE(Image->Empty());
  EXPECT_EQ(Image->Width(), 16);
  EXPECT_EQ(Image->Height(), 16);
  auto Target = Bitmap32(20, 20);
  Target->Canvas()->Draw(2, 2, Image.get());
  ExpectNear(PixelAt(Target.get(), 5, 5), 0xFF0000, "top left");
  ExpectNear(PixelAt(Target.get(), 13, 5), 0x00FF00, "top right");
  ExpectNear(PixelAt(Target.get(), 5, 13), 0x0000FF, "bottom left");
  ExpectNear(PixelAt(Target.get(), 13, 13), 0xFFFFFF, "bottom right");
  EXPECT_EQ(PixelAt(Target.get(), 1, 1), 0x00FFFFFFu);
  EXPECT_EQ(ChangedArea(Target.get(), 0xFFFFFF).Left, 2);

  Owned<TBitmap> Bitmap(new TBitmap());
  Bitmap->SetPixelFormat(pf24bit);
  Bitmap->Assign(Image.get());
  EXPECT_EQ(Bitmap->Width(), 16);
  Bitmap->SetPixelFormat(pf32bit);
  ExpectNear(PixelAt(Bitmap.get(), 3, 12), 0x0000FF, "assigned to a bitmap");
}

TEST(GraphicsJpeg, GreyImagesBecomeGreyColour) {
  auto Image = Decoded(Encode(8, 8, [](int X, int) { return X < 4 ? 0x404040u : 0xC0C0C0u; }, JCS_GRAYSCALE));
  auto Target = Bitmap32(8, 8);
  Target->Canvas()->Draw(0, 0, Image.get());
  ExpectNear(PixelAt(Target.get(), 1, 4), 0x404040, "dark half");
  ExpectNear(PixelAt(Target.get(), 6, 4), 0xC0C0C0, "light half");
}

TEST(GraphicsJpeg, KeepsTheCompressedDataForSavingAndCopies) {
  const Bytes Data = Encode(16, 16, Quadrants);
  auto Image = Decoded(Data);
  TMemoryStream Saved;
  Image->SaveToStream(&Saved);
  EXPECT_EQ(Contents(Saved), Data);

  Owned<TJPEGImage> Copy(new TJPEGImage());
  Copy->Assign(Image.get());
  EXPECT_EQ(Copy->Width(), 16);
  Image->Assign(nullptr);
  EXPECT_TRUE(Image->Empty());
  EXPECT_EQ(Copy->Height(), 16);
  EXPECT_THROW(Copy->SetWidth(3), EInvalidGraphicOperation);
  Copy->SetHeight(16);
}

TEST(GraphicsJpeg, BadDataRaisesInvalidGraphicAndKeepsTheImage) {
  const Bytes Good = Encode(16, 16, Quadrants);
  auto Image = Decoded(Encode(4, 3, [](int, int) { return 0x808080u; }));
  auto Expect = [&](const Bytes& Data, const std::string& What) {
    auto Stream = StreamOf(Data);
    EXPECT_THROW(Image->LoadFromStream(Stream.get()), EInvalidGraphic) << What;
    EXPECT_EQ(Image->Width(), 4) << What;
  };
  Expect({}, "no data");
  Expect({'G', 'I', 'F', '8', '9', 'a', 0, 0}, "not a JPEG");
  Bytes Damaged = Good;
  for (size_t i = 2; i < 40 && i < Damaged.size(); ++i) Damaged[i] = 0xFF;
  Expect(Damaged, "damaged headers");
  // Every cut of the file is refused: lost pixel data is never passed off as an image.
  for (size_t Length = 1; Length < Good.size(); ++Length)
    Expect(Bytes(Good.begin(), Good.begin() + static_cast<std::ptrdiff_t>(Length)), "cut at " + std::to_string(Length));
}

TEST(GraphicsJpeg, ImagesBeyondTheSizeCapAndCmykAreRefused) {
  auto Wide = Decoded(Encode(8192, 1, [](int, int) { return 0u; }));
  EXPECT_EQ(Wide->Width(), 8192);
  const Bytes TooWide = Encode(8193, 1, [](int, int) { return 0u; });
  auto Stream = StreamOf(TooWide);
  Owned<TJPEGImage> Image(new TJPEGImage());
  const std::string TooWideMessage = MessageOf<EInvalidGraphic>([&] { Image->LoadFromStream(Stream.get()); });
  EXPECT_NE(TooWideMessage.find("8193"), std::string::npos) << TooWideMessage;
  const Bytes TooTall = Encode(1, 9000, [](int, int) { return 0u; });
  auto TallStream = StreamOf(TooTall);
  EXPECT_THROW(Image->LoadFromStream(TallStream.get()), EInvalidGraphic);
  auto Cmyk = StreamOf(Encode(8, 8, [](int, int) { return 0x102030u; }, JCS_CMYK));
  EXPECT_THROW(Image->LoadFromStream(Cmyk.get()), EInvalidGraphic);
  EXPECT_TRUE(Image->Empty());
}

TEST(GraphicsJpeg, PicturesReadJpegFromStoredDataAndFiles) {
  const Bytes Jpeg = Encode(16, 16, Quadrants);
  Bytes Data = {10, 'T', 'J', 'P', 'E', 'G', 'I', 'm', 'a', 'g', 'e'};
  Data.insert(Data.end(), Jpeg.begin(), Jpeg.end());
  Owned<TPicture> Picture(new TPicture());
  auto Stream = StreamOf(Data);
  Picture->ReadData(Stream.get());
  ASSERT_NE(As<TJPEGImage>(Picture->Graphic()), nullptr);
  EXPECT_EQ(Picture->Width(), 16);

  for (const char* Extension : {".jpg", ".JPEG"}) {
    const std::string Path = TempFile(std::string("picture") + Extension);
    {
      TFileStream File(Path, fmCreate);
      File.WriteBuffer(Jpeg.data(), static_cast<std::int32_t>(Jpeg.size()));
    }
    Owned<TPicture> FromFile(new TPicture());
    FromFile->LoadFromFile(Path);
    EXPECT_NE(As<TJPEGImage>(FromFile->Graphic()), nullptr) << Extension;
    DeleteFileA(Path.c_str());
  }
}

TEST(GraphicsJpeg, DecodingGivesBackEveryGdiObject) {
  const Bytes Data = Encode(16, 16, Quadrants);
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(100, [&] {
    auto Image = Decoded(Data);
    auto Target = Bitmap32(16, 16);
    Target->Canvas()->StretchDraw(Rect(0, 0, 8, 8), Image.get());
    auto Bad = StreamOf(Bytes(Data.begin(), Data.begin() + 100));
    EXPECT_THROW(Image->LoadFromStream(Bad.get()), EInvalidGraphic);
  }));
}

}  // namespace
