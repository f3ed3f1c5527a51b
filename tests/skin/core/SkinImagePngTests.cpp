// PNG images of a skin take their alpha as every PNG does: a copy of TIDE whose shadow image is a palette PNG
// with transparency, or a grey PNG with a gamma chunk, shows that alpha in the extended border it loads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "engine_support.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/skin/graphics/PngFixtures.h"
#include "tools/paintstress/SkinDamage.h"

using namespace engine_test;

namespace {

// TIDE's shadow: two frames of 36 x 36 side by side; the active border is the second frame.
constexpr int kShadowW = 72, kShadowH = 36, kFrame = 36;

struct ShadowCase {
  const char* Name;
  png_fixtures::PngFixture Png;
  // The pixel the active border shows at (x, y) of its frame, from the image's column and row.
  std::function<uint32_t(int X, int Y)> Expected;
  int Tolerance;  // per byte: gamma correction rounds
};

png_fixtures::PngFixture PaletteWithTransparency() {
  png_fixtures::PngFixture P;
  P.Width = kShadowW;
  P.Height = kShadowH;
  P.ColorType = 3;
  P.Palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  P.PaletteAlpha = {0, 64, 200};  // the fourth entry has none: opaque
  for (int y = 0; y < kShadowH; ++y)
    for (int x = 0; x < kShadowW; ++x) P.Samples.push_back(static_cast<unsigned>((x + y) % 4));
  return P;
}

png_fixtures::PngFixture GreyWithGamma() {
  png_fixtures::PngFixture P;
  P.Width = kShadowW;
  P.Height = kShadowH;
  P.ColorType = 0;
  P.Gamma = 1 / 2.2;  // corrects by (almost) nothing
  for (int y = 0; y < kShadowH; ++y)
    for (int x = 0; x < kShadowW; ++x) P.Samples.push_back(static_cast<unsigned>((x * 3 + y * 2) & 0xFF));
  return P;
}

uint32_t PalettePixel(int X, int Y) {
  static const uint32_t Rgb[4] = {0x0A141E, 0x28323C, 0x46505A, 0x646E78};
  static const uint32_t Alpha[4] = {0, 64, 200, 255};
  const int i = (X + Y) % 4;
  return Alpha[i] << 24 | Rgb[i];
}

// A grey image with a gamma chunk is a shadow mask: black, as opaque as the sample is dark.
uint32_t GreyMaskPixel(int X, int Y) { return static_cast<uint32_t>(255 - ((X * 3 + Y * 2) & 0xFF)) << 24; }

bool Near(uint32_t A, uint32_t B, int Tolerance) {
  for (int s = 0; s < 32; s += 8)
    if (std::abs(static_cast<int>((A >> s) & 0xFF) - static_cast<int>((B >> s) & 0xFF)) > Tolerance) return false;
  return true;
}

}  // namespace

TEST(SkinImagePng, ShadowImagesOfAForeignSkinKeepTheirPngAlpha) {
  BoxRecorder boxes;
  ToolkitStartup();  // extended borders need the layered-window functions
  const TSkinFiles Tide = ReadSkinFolder(SkinBuildFolder() + "TIDE\\");
  ASSERT_FALSE(Tide.Text.empty());
  const ShadowCase Cases[] = {
      {"palette with transparency", PaletteWithTransparency(), PalettePixel, 0},
      {"grey with gamma", GreyWithGamma(), GreyMaskPixel, 1},
  };
  for (const ShadowCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSkinFiles Copy = Tide;
    bool Replaced = false;
    for (auto& [Name, Bytes] : Copy.Images)
      if (UpperCase(Name) == "SHADOW.PNG") {
        Bytes = png_fixtures::EncodePng(C.Png);
        Replaced = !Bytes.empty();
      }
    ASSERT_TRUE(Replaced);
    TempFolder Temp;
    WriteSkinFolder(Copy, Temp.Sub("FOREIGN"));
    ManagerPtr M(Create<TsSkinManager>(nullptr));
    M->SetExtendedBorders(true);
    M->SetSkinDirectory(Temp.Path());
    M->SetSkinName("FOREIGN");
    ASSERT_TRUE(M->SkinData().Active);
    TBitmap* Border = M->ExtBorderBitmap(true);
    ASSERT_NE(Border, nullptr);
    ASSERT_EQ(Border->Width(), kFrame);
    ASSERT_EQ(Border->PixelFormat(), pf32bit);
    const TPixelPlane P = PlaneOf(Border);
    int Wrong = 0;
    for (int y = 0; y < P.Height; ++y)
      for (int x = 0; x < P.Width; ++x)
        if (!Near(P.At(x, y), C.Expected(kFrame + x, y), C.Tolerance) && Wrong++ < 3)
          ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << P.At(x, y) << " instead of "
                        << C.Expected(kFrame + x, y);
    EXPECT_EQ(Wrong, 0);
  }
  EXPECT_TRUE(boxes.texts.empty());
  ToolkitShutdown();
}
