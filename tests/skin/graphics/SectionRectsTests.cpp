// Sections painted for layered output (colour layer by the pixel already there, border corners over what was
// there, premultiplying), and the key back-fill workers of control corners.
#include <gtest/gtest.h>

#include <memory>

#include "PainterSkin.h"
#include "skin/core/sCommonData.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionRects.h"

using namespace painter_test;

TEST(SectionRects, ColourLayerFollowsThePixelAlreadyThere) {
  auto M = NewManager();
  const int S = AddSection(M.get(), "HINT", 0x0000FF, 0);
  struct Case {
    const char* Name;
    int T, G;
    uint32_t Color, Before, Want;
  };
  const Case cases[] = {
      {"empty, opaque", 0, 0, KeyPixel32, 0, 0xFFFF0000},
      {"empty, 40 %", 40, 0, KeyPixel32, 0, 0x99FF0000},  // alpha 60 * 255 div 100 = 153
      {"painted, opaque", 0, 0, KeyPixel32, 0x40102030, 0xFFFF0000},
      // 60 % toward red: c - (c - col) * 60 div 100; alpha max(64, 153).
      {"painted, 40 %", 40, 0, KeyPixel32, 0x40102030, 0x999F0D14},
      {"forced colour", 40, 0, 0x00FF00, 0x40102030, 0xFF00FF00},
      {"gradient share without items", 0, 30, KeyPixel32, 0x40102030, 0xFFFF0000},
  };
  for (const Case& c : cases) {
    StateOf(M.get(), S, 0).Transparency = c.T;
    StateOf(M.get(), S, 0).GradientPercent = c.G;
    auto B = Make32(6, 6, c.Before);
    PaintSectionBackgroundLayered(S, 0, TRect(1, 1, 5, 5), c.Color, M.get(), B.get());
    EXPECT_EQ(At(B.get(), 2, 3), c.Want) << c.Name;
    EXPECT_EQ(At(B.get(), 0, 0), c.Before) << c.Name;
  }
  // A fully transparent state clears a rectangle that is the whole bitmap, and leaves a part alone.
  StateOf(M.get(), S, 0).Transparency = 100;
  auto Whole = Make32(4, 4, 0xFF123456);
  PaintSectionBackgroundLayered(S, 0, TRect(0, 0, 4, 4), KeyPixel32, M.get(), Whole.get());
  EXPECT_EQ(CountChanged(Whole.get(), 0), 0);
  auto Part = Make32(4, 4, 0xFF123456);
  PaintSectionBackgroundLayered(S, 0, TRect(0, 0, 3, 4), KeyPixel32, M.get(), Part.get());
  EXPECT_EQ(CountChanged(Part.get(), 0xFF123456), 0);
  // A rectangle reaching beyond the bitmap paints nothing: its top-left pixel, which decides the colour layer,
  // may not exist.
  StateOf(M.get(), S, 0).Transparency = 40;
  for (const TRect& Outside : {TRect(-2, -2, 3, 3), TRect(2, 2, 5, 5), TRect(4, 0, 6, 2)}) {
    auto B = Make32(4, 4, 0x40102030);
    PaintSectionBackgroundLayered(S, 0, Outside, KeyPixel32, M.get(), B.get());
    EXPECT_EQ(CountChanged(B.get(), 0x40102030), 0) << Outside.Left << "," << Outside.Top;
  }
}

TEST(SectionRects, WholeSectionKeepsWhatLayBehindItsKeyCornersAndIsPremultiplied) {
  auto M = NewManager();
  const int S = AddSection(M.get(), "HINT", 0x0000FF, 0);
  // A 3 x 3 border, 1 pixel each side, whose top-left pixel is the key.
  auto Border = MakeBy(3, 3, [](int x, int y) { return x == 0 && y == 0 ? 0x00FF00FFu : 0xFF0000FFu; });
  M->EditModel().gd[S].BorderIndex = AddElement(M.get(), Element(M.get(), Border.get(), 1, 0, 0, 1, 1, 1, 1));
  auto B = Make32(6, 5, 0x80402010);
  PaintSectionRect32(S, 0, M.get(), B.get(), TRect(0, 0, 6, 6));  // one row too many: nothing
  EXPECT_EQ(CountChanged(B.get(), 0x80402010), 0);
  PaintSectionRect32(S, 0, M.get(), B.get(), TRect(0, 0, 6, 5));
  EXPECT_EQ(At(B.get(), 0, 0), 0x80201008u);  // what was there, premultiplied by its alpha
  EXPECT_EQ(At(B.get(), 1, 0), 0xFF0000FEu);  // border blue 255 * 255 shr 8
  EXPECT_EQ(At(B.get(), 2, 2), 0xFFFE0000u);  // fill
}

TEST(SectionRects, KeyBackFillWorkers) {
  std::unique_ptr<TsCommonData> D(new TsCommonData(nullptr, true));
  D->CacheBmp->SetSize(6, 6);
  auto Border = MakeBy(4, 4, [](int x, int y) { return x + y < 2 ? 0x00FF00FFu : 0xFF808080u; });
  auto P = MakeBy(30, 30, [](int x, int y) { return 0xFF000000u | x << 8 | y; });
  const TvkParentBgQuery Bitmap{.Bmp = P.get(), .OffsetX = 10, .OffsetY = 20, .Kind = bgkBitmap};
  const TvkParentBgQuery Colour{.Color = 0x0000FF, .Kind = bgkColor};
  const TvkParentBgQuery None{.Color = KeyPixel32, .Kind = bgkColor};
  const TvkParentBgQuery NotReady{.Kind = bgkNotReady};
  struct Case {
    const char* Name;
    const TvkParentBgQuery* Q;
    bool Rect;
    uint32_t At23;  // the cache at (2, 3) behind the image's key pixel (0, 0) placed there
  };
  const Case cases[] = {
      {"bitmap", &Bitmap, false, 0xFF000000u | 12 << 8 | 23},
      {"colour", &Colour, true, 0x00FF0000u},
      {"no colour", &None, false, 0x11111111u},
      // A parent with nothing to give leaves the key pixels for a later paint.
      {"no colour, rectangle worker", &None, true, 0x11111111u},
      {"not ready, rectangle worker", &NotReady, true, 0x11111111u},
  };
  for (const Case& c : cases) {
    testing_support::Fill32(D->CacheBmp, 0x11111111);
    if (c.Rect) FillKeyFromParentBgRect(TRect(2, 3, 6, 7), TRect(0, 0, 4, 4), Border.get(), D.get(), *c.Q);
    else FillKeyFromParentBg(Border.get(), 2, 3, D.get(), *c.Q, TRect(0, 0, 4, 4));
    EXPECT_EQ(At(D->CacheBmp, 2, 3), c.At23) << c.Name;
    EXPECT_EQ(At(D->CacheBmp, 4, 4), 0x11111111u) << c.Name;  // not a key pixel of the image
    EXPECT_EQ(At(D->CacheBmp, 0, 0), 0x11111111u) << c.Name;
  }
}
