// BMP files: round trips of every depth, the header variants, and malformed data.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "graphics_test_util.h"

using namespace graphics_test;

namespace {

std::uint32_t Get32(const Bytes& B, size_t At) {
  return B[At] | B[At + 1] << 8 | B[At + 2] << 16 | static_cast<std::uint32_t>(B[At + 3]) << 24;
}

// A BMP file put together field by field, so every header variant and fault can be made.
struct BmpFile {
  std::uint32_t HeaderSize = 40;
  std::int32_t Width = 1;
  std::int32_t Height = 1;
  int Bits = 24;
  std::uint32_t Compression = BI_RGB;
  std::uint32_t ColorsUsed = 0;
  std::vector<std::uint32_t> Masks{};  // after a 40-byte header, or inside a longer one
  Bytes Palette{};                   // entries as stored (3 or 4 bytes each)
  Bytes Gap{};                       // between the tables and the pixels
  Bytes Pixels{};                    // rows as stored
  std::int64_t PixelOffset = -1;     // -1: where the pixels really start

  Bytes Build() const {
    Bytes Info;
    Put32(Info, HeaderSize);
    if (HeaderSize == 12) {
      Put16(Info, Width);
      Put16(Info, Height);
      Put16(Info, 1);
      Put16(Info, Bits);
    } else {
      Put32(Info, Width);
      Put32(Info, Height);
      Put16(Info, 1);
      Put16(Info, Bits);
      Put32(Info, Compression);
      Put32(Info, static_cast<std::uint32_t>(Pixels.size()));
      Put32(Info, 2835);
      Put32(Info, 2835);
      Put32(Info, ColorsUsed);
      Put32(Info, 0);
      for (size_t i = 0; Info.size() < HeaderSize; ++i) Put32(Info, HeaderSize > 40 && i < Masks.size() ? Masks[i] : 0);
      if (HeaderSize == 40)
        for (std::uint32_t M : Masks) Put32(Info, M);
    }
    const std::uint32_t Offset = static_cast<std::uint32_t>(14 + Info.size() + Palette.size() + Gap.size());
    Bytes File = {'B', 'M'};
    Put32(File, static_cast<std::uint32_t>(Offset + Pixels.size()));
    Put32(File, 0);
    Put32(File, PixelOffset >= 0 ? static_cast<std::uint32_t>(PixelOffset) : Offset);
    File.insert(File.end(), Info.begin(), Info.end());
    File.insert(File.end(), Palette.begin(), Palette.end());
    File.insert(File.end(), Gap.begin(), Gap.end());
    File.insert(File.end(), Pixels.begin(), Pixels.end());
    return File;
  }
};

Bytes Saved(TBitmap* Bitmap) {
  TMemoryStream Stream;
  Bitmap->SaveToStream(&Stream);
  return Contents(Stream);
}

Owned<TBitmap> Loaded(const Bytes& Data) {
  Owned<TBitmap> Bitmap(new TBitmap());
  auto Stream = StreamOf(Data);
  Bitmap->LoadFromStream(Stream.get());
  return Bitmap;
}

// RGB of a pixel through the canvas, for any format.
TColor ColorAt(TBitmap* Bitmap, int X, int Y) { return Bitmap->Canvas()->Pixels(X, Y); }

TEST(GraphicsBmp, EveryDepthSurvivesARoundTripWithItsPaletteAndPadding) {
  for (TPixelFormat Format : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(Format);
    auto Bitmap = NewBitmap(Format, 13, 7);  // odd width: every row padded
    TCanvas* Canvas = Bitmap->Canvas();
    Canvas->Brush()->SetColor(clBlack);
    Canvas->FillRect(Rect(0, 0, 6, 3));
    Canvas->SetPixels(12, 6, clBlack);
    Canvas->SetPixels(0, 6, Format == pf1bit ? clWhite : clRed);
    if (Format == pf32bit) SetPixelAt(Bitmap.get(), 7, 4, 0x80123456);
    const Bytes File = Saved(Bitmap.get());
    EXPECT_EQ(File[0], 'B');
    EXPECT_EQ(File[1], 'M');
    EXPECT_EQ(Get32(File, 2), File.size());
    EXPECT_EQ(Get32(File, 10), 54 + Bitmap->Palette().size() * 4);
    EXPECT_EQ(static_cast<std::int32_t>(Get32(File, 22)), 7) << "written bottom-up";

    auto Back = Loaded(File);
    EXPECT_EQ(Back->PixelFormat(), Format);
    ASSERT_EQ(Back->Width(), 13);
    ASSERT_EQ(Back->Height(), 7);
    ASSERT_EQ(Back->Palette().size(), Bitmap->Palette().size());
    EXPECT_EQ(std::memcmp(Back->Palette().data(), Bitmap->Palette().data(), Bitmap->Palette().size() * 4), 0);
    if (Format >= pf8bit) {
      const size_t RowBytes = 13 * (Format == pf8bit ? 1 : Format == pf24bit ? 3 : 4);
      for (int Y = 0; Y < 7; ++Y) {
        EXPECT_EQ(std::memcmp(Back->ScanLine(Y), Bitmap->ScanLine(Y), RowBytes), 0) << Y;
      }
    }
    for (int Y = 0; Y < 7; ++Y)
      for (int X = 0; X < 13; ++X) ASSERT_EQ(ColorAt(Back.get(), X, Y), ColorAt(Bitmap.get(), X, Y)) << X << "," << Y;
    if (Format == pf32bit) {
      EXPECT_EQ(PixelAt(Back.get(), 7, 4), 0x80123456u) << "the fourth byte is kept";
    }
  }
}

TEST(GraphicsBmp, DeviceBitmapsAreWrittenAs32Bits) {
  auto Bitmap = NewBitmap(pfDevice, 3, 2);
  Bitmap->Canvas()->SetPixels(2, 1, clLime);
  const Bytes File = Saved(Bitmap.get());
  EXPECT_EQ(File[28], 32);
  auto Back = Loaded(File);
  EXPECT_EQ(Back->PixelFormat(), pf32bit);
  EXPECT_EQ(PixelAt(Back.get(), 2, 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(PixelAt(Back.get(), 0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(GraphicsBmp, TopDownAndBottomUpRowsLandInTheRightPlace) {
  // A red row, then a blue row (BGR, padded).
  BmpFile File{.Width = 1, .Height = 2, .Pixels = {0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0}};
  auto BottomUp = Loaded(File.Build());
  EXPECT_EQ(ColorAt(BottomUp.get(), 0, 1), clRed);  // the first stored row is the bottom one
  EXPECT_EQ(ColorAt(BottomUp.get(), 0, 0), clBlue);
  File.Height = -2;
  auto TopDown = Loaded(File.Build());
  EXPECT_EQ(TopDown->Height(), 2);
  EXPECT_EQ(ColorAt(TopDown.get(), 0, 0), clRed);
  EXPECT_EQ(ColorAt(TopDown.get(), 0, 1), clBlue);
}

TEST(GraphicsBmp, SixteenBitImagesBecome24BitThroughTheirMasks) {
  BmpFile File{.Width = 4, .Bits = 16};
  for (std::uint32_t P : {0x7C00u, 0x03E0u, 0x001Fu, 0x4210u}) Put16(File.Pixels, P);  // 5-5-5 by default
  auto Rgb555 = Loaded(File.Build());
  EXPECT_EQ(Rgb555->PixelFormat(), pf24bit);
  // 16 of 31 scaled to 132.
  for (const auto& [X, Color] : {std::pair{0, clRed}, {1, clLime}, {2, clBlue}, {3, TColor{0x848484}}})
    EXPECT_EQ(ColorAt(Rgb555.get(), X, 0), Color) << X;

  File.Compression = BI_BITFIELDS;
  File.Masks = {0xF800, 0x07E0, 0x001F};
  File.Pixels.clear();
  for (std::uint32_t P : {0xF800u, 0x07E0u, 0x001Fu, 0xFFFFu}) Put16(File.Pixels, P);
  auto Rgb565 = Loaded(File.Build());
  for (const auto& [X, Color] : {std::pair{0, clRed}, {1, clLime}, {3, clWhite}}) EXPECT_EQ(ColorAt(Rgb565.get(), X, 0), Color) << X;
}

TEST(GraphicsBmp, ThirtyTwoBitMasksAndAlphaAreHonoured) {
  // Masks inside the header, alpha mask too: stored R, G, B, A.
  BmpFile File{.HeaderSize = 108, .Width = 2, .Bits = 32, .Compression = BI_BITFIELDS,
               .Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}};
  Put32(File.Pixels, 0x40302010);
  Put32(File.Pixels, 0xFF0000FF);
  auto Bitmap = Loaded(File.Build());
  EXPECT_EQ(Bitmap->PixelFormat(), pf32bit);
  EXPECT_EQ(PixelAt(Bitmap.get(), 0, 0), 0x40102030u);
  EXPECT_EQ(PixelAt(Bitmap.get(), 1, 0), 0xFFFF0000u);

  BmpFile Plain{.Bits = 32};
  Put32(Plain.Pixels, 0x7F00FF00);
  EXPECT_EQ(PixelAt(Loaded(Plain.Build()).get(), 0, 0), 0x7F00FF00u);
}

TEST(GraphicsBmp, IndexedImagesWithShortOrOldStylePalettes) {
  BmpFile Core{.HeaderSize = 12, .Width = 2, .Bits = 8};  // 12-byte header, three-byte palette entries
  for (int i = 0; i < 256; ++i) Core.Palette.insert(Core.Palette.end(), {static_cast<std::uint8_t>(i), 0, 0});
  Core.Pixels = {0x00, 0xFF, 0, 0};
  auto FromCore = Loaded(Core.Build());
  EXPECT_EQ(FromCore->PixelFormat(), pf8bit);
  EXPECT_EQ(ColorAt(FromCore.get(), 1, 0), clBlue);

  // Two colours used (red, blue), odd width.
  const BmpFile OneBit{
      .Width = 9, .Bits = 1, .ColorsUsed = 2, .Palette = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0}, .Pixels = {0xA0, 0x80, 0, 0}};
  auto FromOneBit = Loaded(OneBit.Build());
  EXPECT_EQ(FromOneBit->PixelFormat(), pf1bit);
  for (const auto& [X, Color] : {std::pair{0, clBlue}, {1, clRed}, {2, clBlue}, {8, clBlue}})
    EXPECT_EQ(ColorAt(FromOneBit.get(), X, 0), Color) << X;

  // A four-bit image with three palette entries: index 5 has none and reads black.
  const BmpFile Short{.Width = 2, .Bits = 4, .ColorsUsed = 3,
                      .Palette = {0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0}, .Pixels = {0x25, 0, 0, 0}};
  auto FromShort = Loaded(Short.Build());
  EXPECT_EQ(FromShort->PixelFormat(), pf4bit);
  EXPECT_EQ(ColorAt(FromShort.get(), 0, 0), clBlue);
  EXPECT_EQ(ColorAt(FromShort.get(), 1, 0), clBlack);
}

TEST(GraphicsBmp, PixelOffsetIsFollowedAndTheStreamEndsAfterTheImage) {
  Bytes Data = BmpFile{.Gap = {1, 2, 3, 4, 5}, .Pixels = {0x11, 0x22, 0x33, 0}}.Build();
  Data.insert(Data.end(), {0xDE, 0xAD});  // whatever follows the image in the stream
  auto Stream = StreamOf(Data);
  Owned<TBitmap> Bitmap(new TBitmap());
  Bitmap->LoadFromStream(Stream.get());
  EXPECT_EQ(ColorAt(Bitmap.get(), 0, 0), 0x112233u);
  EXPECT_EQ(Stream->Position(), static_cast<std::int64_t>(Data.size() - 2));

  auto AtEnd = StreamOf({});
  Bitmap->LoadFromStream(AtEnd.get());
  EXPECT_TRUE(Bitmap->Empty());
}

TEST(GraphicsBmp, MalformedImagesRaiseInvalidGraphicAndKeepTheOldImage) {
  auto Bitmap = Bitmap32(2, 2);
  SetPixelAt(Bitmap.get(), 1, 1, 0x01020304);
  auto Expect = [&](const Bytes& Data, const char* What) {
    auto Stream = StreamOf(Data);
    EXPECT_THROW(Bitmap->LoadFromStream(Stream.get()), EInvalidGraphic) << What;
    ASSERT_EQ(Bitmap->Width(), 2) << What;
    EXPECT_EQ(PixelAt(Bitmap.get(), 1, 1), 0x01020304u) << What;
  };
  auto Variant = [](auto Change) {
    BmpFile File{.Width = 2, .Height = 2, .Pixels = Bytes(16, 0x55)};
    Change(File);
    return File.Build();
  };
  Bytes Good = Variant([](BmpFile&) {});
  Bytes BadSignature = Good;
  BadSignature[0] = 'X';
  Expect(BadSignature, "signature");
  Expect(Variant([](BmpFile& F) { F.HeaderSize = 20; }), "header size");
  Expect(Variant([](BmpFile& F) { F.Width = 0; }), "zero width");
  Expect(Variant([](BmpFile& F) { F.Width = -5; }), "negative width");
  Expect(Variant([](BmpFile& F) { F.Height = 0; }), "zero height");
  Expect(Variant([](BmpFile& F) { F.Height = INT_MIN; }), "smallest height");
  Expect(Variant([](BmpFile& F) { F.Width = 8193; }), "too wide");
  Expect(Variant([](BmpFile& F) { F.Height = -8193; }), "too tall top-down");
  Expect(Variant([](BmpFile& F) { F.Height = 8193; }), "too tall");
  Expect(Variant([](BmpFile& F) { F.Width = 8000; F.Height = 8000; }), "huge size, little data");
  Expect(Variant([](BmpFile& F) { F.Bits = 2; }), "two bits");
  Expect(Variant([](BmpFile& F) { F.Bits = 0; }), "zero bits");
  Expect(Variant([](BmpFile& F) { F.Bits = 8; F.Compression = BI_RLE8; }), "run-length");
  Expect(Variant([](BmpFile& F) { F.Compression = BI_BITFIELDS; F.Masks = {1, 2, 4}; }), "masks on 24 bits");
  Expect(Variant([](BmpFile& F) { F.Bits = 32; F.Compression = BI_BITFIELDS; F.Masks = {0, 0, 0}; }), "empty masks");
  Expect(Variant([](BmpFile& F) { F.Bits = 8; F.ColorsUsed = 300; }), "palette too large");
  Expect(Variant([](BmpFile& F) { F.PixelOffset = 20; }), "pixels inside the header");
  Expect(Variant([](BmpFile& F) { F.PixelOffset = 100000; }), "pixels past the end");

  // Cut anywhere, the image is refused, never half-read and never read past its end.
  const Bytes Whole = BmpFile{.Width = 3, .Height = 3, .Bits = 8, .Palette = Bytes(256 * 4, 0x40), .Pixels = Bytes(12, 7)}.Build();
  Loaded(Whole);  // the uncut file is fine
  for (size_t Length = 1; Length < Whole.size(); ++Length)
    Expect(Bytes(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(Length)), "truncated");
  // The largest side allowed loads.
  EXPECT_EQ(Loaded(BmpFile{.Width = 8192, .Height = 1, .Pixels = Bytes(8192 * 3, 0)}.Build())->Width(), 8192);
}

TEST(GraphicsBmp, PictureDataCarriesTheSizeFirst) {
  auto Bitmap = NewBitmap(pf24bit, 3, 2);
  Bitmap->Canvas()->SetPixels(1, 1, clRed);
  TMemoryStream Stream;
  Bitmap->WriteData(&Stream);
  const Bytes File = Saved(Bitmap.get());
  ASSERT_EQ(Stream.Size(), static_cast<std::int64_t>(4 + File.size()));
  EXPECT_EQ(Get32(Contents(Stream), 0), File.size());
  Stream.SetPosition(0);
  Owned<TBitmap> Back(new TBitmap());
  Back->ReadData(&Stream);
  EXPECT_EQ(ColorAt(Back.get(), 1, 1), clRed);
  EXPECT_EQ(Stream.Position(), Stream.Size());

  Owned<TBitmap> Empty(new TBitmap());
  TMemoryStream EmptyData;
  Empty->WriteData(&EmptyData);
  EXPECT_EQ(EmptyData.Size(), 4);
  EmptyData.SetPosition(0);
  Back->ReadData(&EmptyData);
  EXPECT_TRUE(Back->Empty());

  Bytes Overlong = {0xFF, 0xFF, 0, 0, 'B', 'M'};
  auto Bad = StreamOf(Overlong);
  EXPECT_THROW(Back->ReadData(Bad.get()), EInvalidGraphic);
}

TEST(GraphicsBmp, BitmapResourcesLoadByNameAndMissingOnesRaise) {
  Owned<TBitmap> Bitmap(new TBitmap());
  EXPECT_THROW(Bitmap->LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP"), EResNotFound);
  // The system's own bitmaps are resources without a file header (OBM_CLOSE).
  Bitmap->LoadFromResourceName(GetModuleHandleA("user32.dll"), "#32754");
  EXPECT_GT(Bitmap->Width(), 0);
  EXPECT_GT(Bitmap->Height(), 0);
  EXPECT_EQ(Bitmap->HandleType(), bmDIB);
}

}  // namespace
