#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "skin/graphics/PngDecode.h"
#include "tests/skin/graphics/PngFixtures.h"

using namespace png_fixtures;

namespace {

bool Decode(const std::vector<uint8_t>& Data, TPngDecoded& Out, std::string* Error = nullptr) {
  TPngMemorySource src(Data.data(), Data.size());
  std::string e;
  const bool ok = DecodePng(src, Out, e);
  if (Error) *Error = e;
  return ok;
}

PngFixture Rgb2x2(int depth) {
  const unsigned m = depth == 16 ? 257 : 1;
  return {.Width = 2, .Height = 2, .ColorType = 2, .BitDepth = depth,
          .Samples = {255 * m, 0, 0, 0, 255 * m, 0, 0, 0, 255 * m, 0x12 * m, 0x34 * m, 0x56 * m}};
}

}  // namespace

TEST(PngDecode, ColourImagesOfEightAndSixteenBitsGiveOpaquePixels) {
  for (int depth : {8, 16}) {
    for (bool interlaced : {false, true}) {
      PngFixture s = Rgb2x2(depth);
      s.Interlaced = interlaced;
      TPngDecoded d;
      ASSERT_TRUE(Decode(EncodePng(s), d)) << depth;
      const TPngImageDescription& D = d.Description;
      // width, height, flags, pixel kind, samples per pixel, bit depth, compression
      EXPECT_EQ((std::vector<int>{d.Width, d.Height, D.Flags, D.PixelKind, D.SamplesPerPixel, D.BitDepth, D.Compression}),
                (std::vector<int>{2, 2, kPngHeaderRead, 4, 3, depth, 2}));
      EXPECT_FALSE(d.HasAlphaChannel);
      EXPECT_EQ(d.Pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF123456}));
      EXPECT_TRUE(d.Samples.empty());
    }
  }
}

TEST(PngDecode, AlphaImagesKeepTheirAlpha) {
  TPngDecoded d;
  ASSERT_TRUE(Decode(EncodePng({.Width = 2, .ColorType = 6, .Samples = {10, 20, 30, 0, 200, 150, 100, 128}}), d));
  EXPECT_TRUE(d.HasAlphaChannel);
  EXPECT_EQ(d.Description.PixelKind, 5);
  EXPECT_EQ(d.Description.SamplesPerPixel, 4);
  EXPECT_EQ(d.Pixels, (std::vector<uint32_t>{0x000A141E, 0x80C89664}));

  ASSERT_TRUE(Decode(EncodePng({.Width = 2, .ColorType = 4, .BitDepth = 16, .Samples = {0xFFFF, 0x8000, 0x1200, 0}}), d));
  EXPECT_EQ(d.Description.PixelKind, 3);
  EXPECT_EQ(d.Pixels, (std::vector<uint32_t>{0x80FFFFFF, 0x00121212}));
}

TEST(PngDecode, GreyOfEveryDepthIsScaledAndKeepsItsSamples) {
  for (int depth : {1, 2, 4, 8, 16}) {
    const unsigned top = (1u << depth) - 1;
    TPngDecoded d;
    ASSERT_TRUE(Decode(EncodePng({.Width = 3, .ColorType = 0, .BitDepth = depth, .Samples = {0, top, depth == 1 ? 1u : top / 3}}), d))
        << depth;
    EXPECT_EQ(d.Description.PixelKind, 2);
    ASSERT_EQ(d.Samples.size(), 3u);
    EXPECT_EQ(d.Samples[0], 0);
    EXPECT_EQ(d.Samples[1], 255);
    EXPECT_EQ(d.Pixels[0], 0xFF000000u);
    EXPECT_EQ(d.Pixels[1], 0xFFFFFFFFu);
    if (depth == 2) {
      EXPECT_EQ(d.Samples[2], 85);  // 1 of 3 -> 85 of 255
    }
  }
}

TEST(PngDecode, PalettesOfSubByteDepthsGiveOneIndexPerPixel) {
  for (int depth : {1, 2, 4, 8}) {
    // only entry 0 has an alpha
    const PngFixture s{.Width = 5, .ColorType = 3, .BitDepth = depth, .Samples = {1, 0, 1, 1, 0},
                       .Palette = {255, 0, 0, 0, 0, 255}, .PaletteAlpha = {0x40}};
    TPngDecoded d;
    ASSERT_TRUE(Decode(EncodePng(s), d)) << depth;
    EXPECT_EQ(d.Description.PixelKind, 1);
    EXPECT_EQ(d.Samples, (std::vector<uint8_t>{1, 0, 1, 1, 0}));
    EXPECT_EQ(d.Pixels[0], 0xFF0000FFu);
    EXPECT_EQ(d.Pixels[1], 0xFFFF0000u);
    EXPECT_EQ(d.PaletteAlpha, (std::vector<uint8_t>{0x40}));
  }
}

TEST(PngDecode, TransparentAndGammaChunksAreReported) {
  PngFixture s = Rgb2x2(8);
  s.TransparentRgb[0] = 0x12, s.TransparentRgb[1] = 0x34, s.TransparentRgb[2] = 0x56;
  s.Gamma = 1.0 / 2.2;
  TPngDecoded d;
  ASSERT_TRUE(Decode(EncodePng(s), d));
  EXPECT_EQ(d.TransparentColor, 0x563412u);
  EXPECT_EQ(d.Description.Flags, kPngHeaderRead | kPngGammaChunk);
  EXPECT_TRUE(d.GammaCorrected);
  // Gamma 1/2.2 against a 2.2 display is the identity.
  for (int i = 0; i < 256; ++i) EXPECT_NEAR(d.GammaTable[i], i, 1);

  // linear samples get brightened for the display
  ASSERT_TRUE(Decode(EncodePng({.ColorType = 0, .Samples = {64}, .Gamma = 1.0}), d));
  EXPECT_EQ(d.Samples[0], 64);
  EXPECT_GT(d.GammaTable[64], 120);
  EXPECT_EQ(d.Pixels[0] & 0xFF, d.GammaTable[64]);
  EXPECT_EQ(d.GammaTable[0], 0);
  EXPECT_EQ(d.GammaTable[255], 255);

  // libpng drops a gamma of 0 as invalid: the image reads as one without a gamma chunk.
  ASSERT_TRUE(Decode(EncodePng({.ColorType = 0, .Samples = {64}, .WriteZeroGamma = true}), d));
  EXPECT_EQ(d.Description.Flags & kPngGammaChunk, 0);
  EXPECT_FALSE(d.GammaCorrected);
  EXPECT_EQ(d.GammaTable[64], 64);
}

// libpng derives a gamma from an sRGB chunk and reports it valid; only a real gAMA chunk counts as one.
TEST(PngDecode, AnSrgbChunkIsNoGammaChunk) {
  PngFixture grey{.ColorType = 0, .Samples = {64}};
  const std::vector<uint8_t> plain = EncodePng(grey);
  const std::vector<uint8_t> srgb = InsertChunk(plain, FindChunk(plain, "IDAT"), "sRGB", {0});
  grey.Gamma = 1.0 / 2.2;
  const std::vector<uint8_t> gamma = EncodePng(grey);
  const std::vector<uint8_t> both = InsertChunk(gamma, FindChunk(gamma, "IDAT"), "sRGB", {0});
  const struct {
    const char* Name;
    const std::vector<uint8_t>& Data;
    bool GammaChunk;
  } Cases[] = {{"sRGB alone", srgb, false}, {"sRGB and gAMA", both, true}, {"neither", plain, false}};
  for (const auto& C : Cases) {
    TPngDecoded d;
    ASSERT_TRUE(Decode(C.Data, d)) << C.Name;
    EXPECT_EQ((d.Description.Flags & kPngGammaChunk) != 0, C.GammaChunk) << C.Name;
  }
}

TEST(PngDecode, DamagedDataFailsWithAMessage) {
  const std::vector<uint8_t> good = EncodePng(Rgb2x2(8));
  TPngDecoded d;
  std::string error;
  // Every truncation, including inside the signature and the header.
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + n);
    EXPECT_FALSE(Decode(cut, d, &error)) << n;
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(d.Pixels.empty());
  }
  // A flipped byte in the image data breaks its CRC.
  std::vector<uint8_t> bad = good;
  bad[FindChunk(bad, "IDAT") + 9] ^= 0x55;
  EXPECT_FALSE(Decode(bad, d, &error));
  // An unknown critical chunk is refused.
  std::vector<uint8_t> critical = InsertChunk(good, FindChunk(good, "IDAT"), "CRIT", {1, 2, 3});
  EXPECT_FALSE(Decode(critical, d, &error));
  EXPECT_NE(error.find("critical"), std::string::npos) << error;
  // An unknown ancillary chunk is skipped.
  std::vector<uint8_t> ancillary = InsertChunk(good, FindChunk(good, "IDAT"), "teSt", {1, 2, 3});
  EXPECT_TRUE(Decode(ancillary, d, &error)) << error;
}

TEST(PngDecode, ForgedHugeHeaderIsRefusedBeforeAllocating) {
  std::vector<uint8_t> png = EncodePng(Rgb2x2(8));
  const size_t ihdr = FindChunk(png, "IHDR");
  for (uint32_t side : {100000u, 16000u}) {
    std::vector<uint8_t> forged = png;
    for (int k = 0; k < 2; ++k) {  // width and height
      uint8_t* p = &forged[ihdr + 8 + 4 * k];
      p[0] = uint8_t(side >> 24); p[1] = uint8_t(side >> 16); p[2] = uint8_t(side >> 8); p[3] = uint8_t(side);
    }
    FixChunkCrc(forged, ihdr);
    TPngDecoded d;
    std::string error;
    EXPECT_FALSE(Decode(forged, d, &error)) << side;
    EXPECT_TRUE(d.Pixels.empty());
  }
}

TEST(PngDecode, SourceExceptionReachesTheCaller) {
  struct Failing : TPngSource {
    size_t served = 0;
    size_t Read(void* b, size_t n) override {
      static const std::vector<uint8_t> png = EncodePng(Rgb2x2(8));
      if (served >= 20) throw std::runtime_error("disk gone");
      const size_t k = std::min(n, png.size() - served);
      std::memcpy(b, png.data() + served, k);
      served += k;
      return k;
    }
  } src;
  TPngDecoded d;
  std::string error;
  EXPECT_THROW(DecodePng(src, d, error), std::runtime_error);
}

TEST(PngDecode, StopsRightAfterTheImageEnd) {
  std::vector<uint8_t> png = EncodePng(Rgb2x2(8));
  const size_t size = png.size();
  png.insert(png.end(), {'t', 'a', 'i', 'l'});
  TPngMemorySource src(png.data(), png.size());
  TPngDecoded d;
  std::string error;
  ASSERT_TRUE(DecodePng(src, d, error));
  EXPECT_EQ(src.Position(), size);
}
