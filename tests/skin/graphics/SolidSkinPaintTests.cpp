// The SOLID test skin through the section painters: every texture draw mode puts the texture colour exactly
// where it belongs and the section colour elsewhere; a half-transparent state mixes with the parent.
#include <gtest/gtest.h>

#include <string>

#include "PainterSkin.h"
#include "tests/skin/graphics/BgRefs.h"
#include "tests/support/SkinFolder.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionPaint.h"

using namespace painter_test;

namespace {

ManagerPtr SolidSkin() {
  ManagerPtr M = NewManager();
  M->SetSkinDirectory(testing_support::CarriedSkinFolder());
  M->SetSkinName("SOLID");
  return M;
}

constexpr uint32_t kTexture = 0xC04040, kSection = 0x40C040;  // pixel order, as #RRGGBB reads

}  // namespace

TEST(SolidSkinPaint, EveryTextureModeCoversItsArea) {
  auto M = SolidSkin();
  ASSERT_TRUE(M->SkinData().Active);
  auto P = MakeBy(40, 40, [](int x, int y) { return 0xFF000000u | x << 8 | y; });
  const TvkBgCacheRef Bg = ReadyOn(P.get(), 3, 2);
  // A 20 x 12 rectangle, the texture 6 x 4: which points show the texture.
  struct Case { const char* Section; bool (*Textured)(int x, int y); };
  const Case cases[] = {
      {"TEXTURE0", [](int, int) { return true; }},   {"TEXTURE1", [](int, int) { return true; }},
      {"TEXTURE2", [](int, int y) { return y < 4; }}, {"TEXTURE3", [](int x, int) { return x < 6; }},
      {"TEXTURE4", [](int, int y) { return y < 4; }}, {"TEXTURE5", [](int x, int) { return x < 6; }},
      {"TEXTURE6", [](int, int y) { return y >= 8; }}, {"TEXTURE7", [](int x, int) { return x >= 14; }},
      {"TEXTURE10", [](int, int) { return true; }},  {"TEXTURE11", [](int, int) { return true; }},
      {"TEXTURE12", [](int, int) { return true; }},  {"TEXTURE13", [](int, int) { return true; }},
      {"TEXTUREMASKED0", [](int, int) { return true; }},
  };
  for (const Case& c : cases) {
    const int S = M->FindSectionIndex(c.Section);
    ASSERT_GE(S, 0) << c.Section;
    auto B = Make32(20, 12, 0);
    PaintSectionItem(S, Bg, -1, -1, M.get(), B.get(), TPoint(), TRect(0, 0, 20, 12), 0);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(At(B.get(), x, y) & 0xFFFFFF, c.Textured(x, y) ? kTexture : kSection) << c.Section << " " << x << "," << y;
  }
  // Whole masked tiles only, the rest from the parent: columns from 18; the third row of tiles ends on the
  // bottom edge, so every row is textured.
  const int S = M->FindSectionIndex("TEXTUREMASKED10");
  auto B = Make32(20, 12, 0);
  PaintSectionItem(S, Bg, -1, -1, M.get(), B.get(), TPoint(), TRect(0, 0, 20, 12), 0);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      const uint32_t Want = x < 18 ? kTexture : static_cast<uint32_t>((x + 3) << 8 | (y + 2));
      ASSERT_EQ(At(B.get(), x, y) & 0xFFFFFF, Want) << x << "," << y;
    }
}

TEST(SolidSkinPaint, TranslucentStateMixesWithTheParent) {
  auto M = SolidSkin();
  const int S = M->FindSectionIndex("TRANSLUCENT");
  ASSERT_GE(S, 0);
  auto P = Make32(10, 10, 0xFF00FF00);
  const TvkBgCacheRef Bg = ReadyOn(P.get(), 0, 0);
  auto B = Make32(4, 4, 0);
  PaintSectionBackground(S, Bg, 0, 0x00FF00FF, -1, -1, M.get(), B.get(), TPoint(), TRect(0, 0, 4, 4));
  // #204060 at 50 %: ((parent - colour) * 127 + colour * 256) shr 8 per channel.
  auto Mix = [](int p, int c) { return static_cast<uint32_t>(((p - c) * 127 + c * 256) >> 8); };
  EXPECT_EQ(At(B.get(), 2, 2) & 0xFFFFFF, Mix(0, 0x20) << 16 | Mix(255, 0x40) << 8 | Mix(0, 0x60));
}
