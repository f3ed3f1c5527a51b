#include <gtest/gtest.h>

#include <memory>

#include "framework/Streams.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/skin/graphics/PngFixtures.h"
#include "tests/support/Bitmaps.h"

using namespace png_fixtures;
using namespace testing_support;

namespace {

struct FreeObject {
  void operator()(TObject* o) const {
    if (o) o->Free();
  }
};
using PngPtr = std::unique_ptr<TPNGGraphic, FreeObject>;
using StreamPtr = std::unique_ptr<TMemoryStream, FreeObject>;

StreamPtr StreamOf(const std::vector<uint8_t>& Data) {
  StreamPtr s(new TMemoryStream());
  if (!Data.empty()) s->Write(Data.data(), static_cast<int32_t>(Data.size()));
  s->SetPosition(0);
  return s;
}

PngPtr LoadPng(const PngFixture& Fixture) {
  PngPtr png(new TPNGGraphic());
  StreamPtr s = StreamOf(EncodePng(Fixture));
  png->LoadFromStream(s.get());
  return png;
}

// 3 x 2 colour image whose bottom-left pixel is magenta.
PngFixture ColourWithMagentaCorner() {
  return {.Width = 3, .Height = 2, .ColorType = 2,
          .Samples = {10, 20, 30, 255, 0, 255, 40, 50, 60, 255, 0, 255, 70, 80, 90, 100, 110, 120}};
}

// The graphic converted into a new 32-bit bitmap, transparent or not beforehand.
BitmapPtr ToBitmap32(TPNGGraphic* Png, bool Transparent = false) {
  BitmapPtr b(new TBitmap());
  b->SetTransparent(Transparent);
  PngGraphicToBitmap32(b.get(), Png);
  return b;
}

}  // namespace

TEST(PngGraphic, ColourImageIntoATransparentBitmapKeysTheBottomLeftColour) {
  PngPtr png = LoadPng(ColourWithMagentaCorner());
  EXPECT_EQ(png->PixelFormat(), pf24bit);
  BitmapPtr b = ToBitmap32(png.get(), true);
  ASSERT_EQ(b->PixelFormat(), pf32bit);
  EXPECT_TRUE(b->Transparent());
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFF0A141Eu);
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0x00FF00FFu);  // magenta anywhere is transparent
  EXPECT_EQ(PixelAt(b.get(), 0, 1), 0x00FF00FFu);
  EXPECT_EQ(PixelAt(b.get(), 2, 1), 0xFF646E78u);

  EXPECT_EQ(PixelAt(ToBitmap32(png.get()).get(), 1, 0), 0xFFFF00FFu);
}

TEST(PngGraphic, AlphaImageKeepsItsAlphaAndConvertsOnceOnly) {
  PngPtr png = LoadPng({.Width = 2, .ColorType = 6, .Samples = {1, 2, 3, 4, 5, 6, 7, 200}});
  EXPECT_EQ(png->PixelFormat(), pf32bit);
  BitmapPtr b = ToBitmap32(png.get(), true);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0x04010203u);
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0xC8050607u);
  PngGraphicToBitmap32(b.get(), png.get());
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0x04010203u);
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0xC8050607u);
}

TEST(PngGraphic, PaletteTransparencyGivesPerPixelAlphaAndOpaqueBeyondTheTable) {
  for (int depth : {2, 8}) {
    // entry 2 has no alpha in the table
    PngPtr png = LoadPng({.Width = 4, .ColorType = 3, .BitDepth = depth, .Samples = {0, 1, 2, 1},
                          .Palette = {255, 0, 0, 0, 255, 0, 0, 0, 255}, .PaletteAlpha = {0, 0x80}});
    BitmapPtr b = ToBitmap32(png.get());
    EXPECT_EQ(PixelAt(b.get(), 0, 0), 0x00FF0000u) << depth;
    EXPECT_EQ(PixelAt(b.get(), 1, 0), 0x8000FF00u) << depth;
    EXPECT_EQ(PixelAt(b.get(), 2, 0), 0xFF0000FFu) << depth;
    EXPECT_EQ(PixelAt(b.get(), 3, 0), 0x8000FF00u) << depth;
  }
  // no transparency table: opaque
  PngPtr png = LoadPng({.Width = 2, .ColorType = 3, .BitDepth = 1, .Samples = {1, 0}, .Palette = {255, 0, 0, 0, 0, 255}});
  BitmapPtr b = ToBitmap32(png.get());
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0xFFFF0000u);
}

TEST(PngGraphic, GammaChunkMakesGreyImagesMasks) {
  PngPtr png = LoadPng({.Width = 2, .ColorType = 0, .Samples = {0, 255}, .Gamma = 1.0 / 2.2});
  BitmapPtr b = ToBitmap32(png.get());
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFF000000u);  // dark sample: opaque black
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0x00000000u);

  PngFixture colour = ColourWithMagentaCorner();
  colour.Gamma = 1.0 / 2.2;
  PngPtr c = LoadPng(colour);
  BitmapPtr cb = ToBitmap32(c.get(), true);  // the gamma chunk takes precedence over the key colour
  EXPECT_EQ(PixelAt(cb.get(), 1, 0) >> 24, 0xFFu);
  EXPECT_EQ(PixelAt(cb.get(), 0, 0) & 0xFFFFFF, 0x0A141Eu);

  // A gamma chunk the colour manager does not correct by: black with alpha from the red byte.
  TPngDecoded d;
  std::vector<uint8_t> data = EncodePng(ColourWithMagentaCorner());
  TPngMemorySource src2(data.data(), data.size());
  std::string error;
  ASSERT_TRUE(DecodePng(src2, d, error));
  d.Description.Flags |= kPngGammaChunk;
  d.GammaCorrected = false;
  PngPtr raw(new TPNGGraphic());
  raw->TakeDecoded(d);
  BitmapPtr rb = ToBitmap32(raw.get());
  EXPECT_EQ(PixelAt(rb.get(), 0, 0), static_cast<uint32_t>(255 - 10) << 24);  // red byte of (10, 20, 30)
  EXPECT_EQ(PixelAt(rb.get(), 1, 0), 0x00000000u);
}

TEST(PngGraphic, DamagedDataRaisesAndLeavesTheGraphicAsItWas) {
  PngPtr png = LoadPng(ColourWithMagentaCorner());
  const std::vector<uint8_t> data = EncodePng(ColourWithMagentaCorner());
  const struct {
    std::vector<uint8_t> Data;
    const char* Message;
  } Cases[] = {{std::vector<uint8_t>(data.begin(), data.begin() + data.size() / 2),
                "Cannot load image. Invalid or unexpected PNG image format."},
               {InsertChunk(data, FindChunk(data, "IDAT"), "CRIT", {1}),
                "Cannot load PNG image. Unexpected but critical chunk detected."}};
  for (const auto& C : Cases) {
    StreamPtr s = StreamOf(C.Data);
    try {
      png->LoadFromStream(s.get());
      ADD_FAILURE() << "no exception: " << C.Message;
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), C.Message);
    }
    EXPECT_EQ(TSize(png->Width(), png->Height()), TSize(3, 2));
  }
  StreamPtr empty = StreamOf({});
  EXPECT_THROW(png->LoadFromStream(empty.get()), EInvalidGraphic);
}

TEST(PngGraphic, RegisteredAsPngAndAssignCarriesTheDescription) {
  EXPECT_EQ(TPicture::FileFormatClass("png"), TPNGGraphic::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass("PNG"), TPNGGraphic::StaticClassInfo());
  PngPtr png = LoadPng(ColourWithMagentaCorner());
  png->SetReflection(1);
  PngPtr copy(new TPNGGraphic());
  copy->Assign(png.get());
  EXPECT_EQ(copy->ImageDescription().PixelKind, 4);
  EXPECT_EQ(copy->ImageDescription().Width, 3u);
  EXPECT_EQ(copy->Reflection(), 0);
  EXPECT_EQ(copy->Width(), 3);
}

TEST(PngGraphic, DrawBlendsOverTheCanvasWithReflectionOnlyAtNaturalSize) {
  PngFixture s{.Width = 2, .Height = 8, .ColorType = 6, .Samples = std::vector<unsigned>(2 * 8 * 4, 0)};
  for (size_t i = 0; i < s.Samples.size(); i += 4) {
    s.Samples[i] = 255;      // red
    s.Samples[i + 3] = 255;  // opaque
  }
  PngPtr png = LoadPng(s);
  png->SetReflection(1);
  const uint32_t back = 0xFF0000FF;  // blue canvas
  BitmapPtr canvas = Bitmap32(10, 16, back);
  png->Draw(canvas->Canvas(), TRect(1, 1, 3, 9));
  GdiFlush();
  // Opaque red over blue by the library's arithmetic: (255 * 255) shr 8 = 254.
  EXPECT_EQ(PixelAt(canvas.get(), 1, 1) & 0xFFFFFF, 0xFE0000u);
  EXPECT_EQ(PixelAt(canvas.get(), 2, 8) & 0xFFFFFF, 0xFE0000u);
  // The reflection band of H div 2 = 4 rows shows faded red over the blue.
  EXPECT_GT(Channel(PixelAt(canvas.get(), 1, 10), 2), 0);
  EXPECT_GT(Channel(PixelAt(canvas.get(), 1, 10), 0), 0);
  EXPECT_EQ(ChangedOutside(canvas.get(), RECT{1, 1, 3, 13}, back), 0);

  BitmapPtr stretched = Bitmap32(10, 24, back);
  png->Draw(stretched->Canvas(), TRect(1, 1, 5, 17));
  GdiFlush();
  EXPECT_EQ(PixelAt(stretched.get(), 4, 16) & 0xFFFFFF, 0xFE0000u);
  for (int y = 17; y < 24; ++y) EXPECT_EQ(PixelAt(stretched.get(), 2, y), back) << y;  // no reflection when stretched
  EXPECT_EQ(ChangedOutside(stretched.get(), RECT{1, 1, 5, 17}, back), 0);
}

TEST(PngGraphic, StreamLoaderKeepsTransparentAndLoadsFromTheCurrentPosition) {
  std::vector<uint8_t> data = {'x', 'y'};
  std::vector<uint8_t> png = EncodePng(ColourWithMagentaCorner());
  data.insert(data.end(), png.begin(), png.end());
  StreamPtr s = StreamOf(data);
  s->SetPosition(2);
  BitmapPtr b(new TBitmap());
  b->SetTransparent(true);
  LoadPngStreamToBitmap(b.get(), s.get());
  EXPECT_TRUE(b->Transparent());
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0x00FF00FFu);
  EXPECT_EQ(s->Position(), static_cast<int64_t>(data.size()));
}

TEST(PngGraphic, FileLoaderConvertsAndMissingFilesRaise) {
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "png", 0, path);
  const std::vector<uint8_t> data = EncodePng(ColourWithMagentaCorner());
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(f);
  BitmapPtr b(new TBitmap());
  LoadPngFileToBitmap(b.get(), path);
  DeleteFileA(path);
  EXPECT_EQ(b->PixelFormat(), pf32bit);
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0xFFFF00FFu);
  EXPECT_THROW(LoadPngFileToBitmap(b.get(), path), Exception);
}
