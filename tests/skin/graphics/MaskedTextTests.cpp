// Text through a coverage mask, key pixels of form corners from a background, icons from 32-bit bitmaps.
#include <gtest/gtest.h>

#include "PainterSkin.h"
#include "framework/GraphicsGdi.h"
#include "skin/graphics/vkMaskedText.h"

using namespace painter_test;

namespace {

// Bitmaps whose canvases draw with a 14-pixel non-antialiased font (text pixels are black or white).
struct FontFor {
  HFONT Font = CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
  ~FontFor() { DeleteObject(Font); }
  BitmapPtr Make(int W, int H, uint32_t Fill) {
    BitmapPtr B = Make32(W, H, Fill);
    B->Canvas()->Font()->SetHandle(Font);
    return B;
  }
};

int Count(TBitmap* B, uint32_t V) {
  int n = 0;
  for (int y = 0; y < B->Height(); ++y)
    for (int x = 0; x < B->Width(); ++x) n += At(B, x, y) == V;
  return n;
}

}  // namespace

TEST(MaskedText, CoverageGivesTheColourOpaqueOrPremultiplied) {
  FontFor F;
  // Red 200 over a transparent black bitmap. Fully covered pixels: opaque, the colour; in alpha mode black
  // coverage counts as 1, alpha 254, red (200 * 255) * 254 shr 16 = 197. Edge pixels lie in between; the rest
  // stays untouched.
  struct Case { bool AlphaMode; uint32_t Full; };
  for (const Case& c : {Case{false, 0xFFC80000u}, Case{true, 0xFEC50000u}}) {
    BitmapPtr B = F.Make(40, 20, 0);
    DrawTextThroughMask32(B.get(), "HH", c.AlphaMode, false, 0x0000C8, DT_SINGLELINE, TRect(2, 2, 38, 18));
    EXPECT_GT(Count(B.get(), c.Full), 20) << c.AlphaMode;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) {
        const uint32_t p = At(B.get(), x, y), A = p >> 24, R = p >> 16 & 0xFF;
        if (p == 0) continue;
        ASSERT_EQ(p & 0xFFFF, 0u) << x << "," << y;
        if (c.AlphaMode) ASSERT_TRUE(A >= 1 && R <= A) << std::hex << p;
        else ASSERT_TRUE(A == 255 && R <= 200) << std::hex << p;
      }
  }
}

TEST(MaskedText, TextLeftOfTheBitmapIsCutAtColumnZero) {
  FontFor F;
  BitmapPtr Cut = F.Make(30, 20, 0xFF000000), Whole = F.Make(33, 20, 0xFF000000);
  DrawTextThroughMask32(Cut.get(), "WW", false, true, 0x00FF00, DT_SINGLELINE, TRect(-3, 1, 27, 19));
  DrawTextThroughMask32(Whole.get(), "WW", false, true, 0x00FF00, DT_SINGLELINE, TRect(0, 1, 30, 19));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(At(Cut.get(), x, y), At(Whole.get(), x + 3, y)) << x << "," << y;
  EXPECT_GT(CountChanged(Cut.get(), 0xFF000000), 0);
}

TEST(MaskedText, SkinTextContoursOnlyWithAlphaOutput) {
  FontFor F;
  auto M = NewManager();
  const int S = AddSection(M.get(), "HINT", 0xFFFFFF, 0);
  for (int St = 0; St < 3; ++St) {
    StateOf(M.get(), S, St).FontColor = 0x0000FF;
    StateOf(M.get(), S, St).TCLeft = 0x00FF00;
  }
  struct Case { bool Alpha; int State; bool Green; };
  for (const Case& c : {Case{false, 0, false}, Case{true, 0, true}, Case{true, 9, true}}) {
    BitmapPtr B = F.Make(40, 20, 0);
    EXPECT_EQ(DrawSkinText32(B.get(), "HH", c.Alpha, M.get(), c.State, S, DT_SINGLELINE, TRect(4, 2, 38, 18)), 0);
    int Green = 0, Red = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) {
        const uint32_t p = At(B.get(), x, y) & 0xFFFFFF;
        Green += (p >> 8 & 0xFF) > 0 && (p >> 16 & 0xFF) == 0;
        Red += (p >> 16 & 0xFF) > 0;
      }
    EXPECT_EQ(Green > 0, c.Green) << c.Alpha << " " << c.State;
    EXPECT_GT(Red, 0);
  }
}

TEST(MaskedText, CornerKeyPixelsFromTheBackgroundClipped) {
  auto M = NewManager();
  constexpr uint32_t K = 0xFFFF00FF;
  // A 6 x 4 border frame over its mask band, right borders 2 wide: its top-right corner has the key at (5, 0).
  auto Img = MakeBy(6, 8, [](int x, int y) { return x == 5 && y == 0 ? K : 0xFF808080u; });
  TsMaskData E = Element(M.get(), Img.get(), 1, 1, 0, 2, 2, 2, 2);
  const int Mask = AddElement(M.get(), E);
  auto Bg = MakeBy(10, 10, [](int x, int y) { return 0xFF000000u | x << 8 | y; });
  auto Dst = Make32(8, 8, 0xFF111111);
  // The area reaches past the right edge of Dst; the mask's key lands on (7, 1).
  FillKeyPixelsFromBackground(Dst.get(), Bg.get(), TRect(6, 1, 12, 5), HTTOPRIGHT, M.get(), Mask, TPoint(3, 4));
  EXPECT_EQ(At(Dst.get(), 7, 1), 0xFF000000u | 4 << 8 | 4);  // Bg at (3 + 1, 4 + 0)
  EXPECT_EQ(CountChanged(Dst.get(), 0xFF111111), 1);
  // Without a mask every pixel turns transparent and transparent key pixels take the background.
  auto Plain = MakeBy(4, 4, [](int x, int) { return x == 0 ? 0xFFFF00FFu : 0xFF222222u; });
  FillKeyPixelsFromBackground(Plain.get(), Bg.get(), TRect(0, 0, 4, 4), 0, M.get(), -1, TPoint(8, 8));
  EXPECT_EQ(At(Plain.get(), 0, 1), 0xFF000000u | 8 << 8 | 9);
  EXPECT_EQ(At(Plain.get(), 1, 1), 0x00222222u);
  EXPECT_EQ(At(Plain.get(), 0, 2), 0xFFFF00FFu);  // below the background: untouched
}

TEST(MaskedText, IconsAreTransparentWhereTheBitmapHasItsKeyAndLeaveTheBitmapAlone) {
  auto B = MakeBy(16, 16, [](int x, int) { return x < 8 ? 0x00FF00FFu : 0x00204080u; });
  HICON I = CreateIconFromBitmap(B.get());
  ASSERT_NE(I, nullptr);
  EXPECT_EQ(At(B.get(), 0, 0), 0x00FF00FFu);
  EXPECT_EQ(B->PixelFormat(), pf32bit);
  auto Dst = Make32(16, 16, 0x00123456);
  DrawIconEx(Dst->Canvas()->Handle(), 0, 0, I, 16, 16, 0, nullptr, DI_NORMAL);
  GdiFlush();
  EXPECT_EQ(At(Dst.get(), 2, 5) & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(At(Dst.get(), 12, 5) & 0xFFFFFF, 0x204080u);
  GdiFreeIcon(I);
}
