// Section painters on hand-built sections: the background cases (opaque, translucent, fully transparent, with
// and without a ready background), texture and colour shares, state limits, whole items with corner images and
// borders, the control's colour filters, and the exact border strips.
#include <gtest/gtest.h>

#include <memory>

#include "PainterSkin.h"
#include "tests/skin/graphics/BgRefs.h"
#include "framework/ExtCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkSectionPaint.h"

using namespace painter_test;

namespace {

// The parent: pixel (x, y) = 0xFF00xxyy.
BitmapPtr Parent() { return MakeBy(40, 40, [](int x, int y) { return 0xFF000000u | x << 8 | y; }); }

struct Fixture {
  ManagerPtr M = NewManager();
  int S = AddSection(M.get(), "PANEL", 0x0000FF, 0);  // red, opaque
  TsGenState& St(int i = 0) { return StateOf(M.get(), S, i); }
};

}  // namespace

TEST(SectionPaint, BackgroundCases) {
  Fixture F;
  auto P = Parent();
  const TvkBgCacheRef Ready = ReadyOn(P.get(), 2, 3);
  const TvkBgCacheRef Grey = NotReady(0x808080);
  // A colour answer of a parent with a border: its image supplies only the strips 5 wide at the left and top
  // and those from 10 on at the right and bottom (widths 30 of a 40-pixel image).
  TvkBgCacheRef Bordered = Grey;
  Bordered.Bmp = P.get();
  Bordered.X = 2;
  Bordered.Y = 3;
  Bordered.FillRect = TRect(5, 5, 30, 30);
  struct Case {
    const char* Name;
    int T;
    const TvkBgCacheRef* Bg;
    std::function<uint32_t(int, int)> Want;  // at bitmap point (x, y); Rect = (4, 5, 14, 12), Offset (1, 1)
  };
  const Case cases[] = {
      {"opaque", 0, &Ready, [](int, int) { return 0xFFFF0000u; }},
      // The parent pixel behind Rect's top-left is (2 + 1, 3 + 1).
      {"transparent, ready", 100, &Ready, [](int x, int y) { return 0xFF000000u | (x - 4 + 3) << 8 | (y - 5 + 4); }},
      {"transparent, colour", 100, &Grey, [](int, int) { return 0xFF808080u; }},
      {"transparent, colour inside a border", 100, &Bordered, [](int x, int y) {
         const uint32_t px = static_cast<uint32_t>(x - 1), py = static_cast<uint32_t>(y - 1);
         return px < 5 || py < 5 || px >= 10 || py >= 10 ? 0xFF000000u | px << 8 | py : 0xFF808080u;
       }},
      // Level 50 * 255 div 100 = 127 keeps the parent: ((parent - colour) * 127 + colour * 256) shr 8.
      {"half, ready", 50, &Ready, [](int x, int y) {
         const uint32_t g = static_cast<uint32_t>(x - 1), b = static_cast<uint32_t>(y - 1);
         auto Mix = [](uint32_t p, uint32_t c) { return static_cast<uint32_t>((static_cast<int>(p) - static_cast<int>(c)) * 127 + static_cast<int>(c) * 256) >> 8; };
         return 0xFF000000u | Mix(0, 255) << 16 | Mix(g, 0) << 8 | Mix(b, 0);
       }},
      // Without a ready background the colour is mixed with the background colour: (128 * 127 + 255 * 128) shr 8
      // for red, (128 * 127) shr 8 for green and blue.
      {"half, colour", 50, &Grey, [](int, int) { return 0xFFBF3F3Fu; }},
      // Without any background information a translucent state is painted as it is.
      {"half, nothing", 50, nullptr, [](int, int) { return 0xFFFF0000u; }},
  };
  for (const Case& c : cases) {
    F.St().Transparency = c.T;
    auto Dst = Make32(20, 20, 0x11111111);
    const TRect R(4, 5, 14, 12);
    PaintSectionBackground(F.S, c.Bg ? *c.Bg : TvkBgCacheRef{}, 0, KeyPixel32, -1, -1, F.M.get(), Dst.get(), TPoint(1, 1), R);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool In = x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom;
        ASSERT_EQ(At(Dst.get(), x, y), In ? c.Want(x, y) : 0x11111111u) << c.Name << " " << x << "," << y;
      }
  }
}

TEST(SectionPaint, TheLightPainterPaintsAFullyTransparentStateOnlyOverWhatItKnowsBehind) {
  Fixture F;
  F.St().Transparency = 100;
  auto P = Parent();
  const TvkBgCacheRef Ready = ReadyOn(P.get(), 0, 0);
  const TvkBgCacheRef Grey = NotReady(0x808080);
  struct Case {
    const char* Name;
    TvkBgCacheRef Bg;
    uint32_t Want;  // at bitmap point (3, 3), Rect (2, 2, 6, 6)
  };
  const Case cases[] = {
      {"nothing known: left alone", TvkBgCacheRef{}, 0x11111111u},
      {"a background colour", Grey, 0xFF808080u},
      {"a ready background", Ready, 0xFF000303u},
  };
  for (const Case& c : cases) {
    auto Dst = Make32(8, 8, 0x11111111);
    PaintSectionWithBorderMask(F.S, -1, c.Bg, F.M.get(), Dst.get(), TPoint(2, 2), TRect(2, 2, 6, 6), 0);
    EXPECT_EQ(At(Dst.get(), 3, 3), c.Want) << c.Name;
    EXPECT_EQ(At(Dst.get(), 6, 6), 0x11111111u) << c.Name;
  }
}

TEST(SectionPaint, ImageShareMixesTheTextureTowardTheColour) {
  Fixture F;
  auto Tex = Make32(3, 3, 0xFF00C800);  // green 200, no mask: copied on the canvas
  const int T = AddElement(F.M.get(), Element(F.M.get(), Tex.get(), 1, 0, 0, 0, 0, 0, 0));
  F.St().ImagePercent = 30;
  F.St().TextureIndex = T;
  auto Dst = Make32(8, 8, 0);
  PaintSectionBackground(F.S, {}, 0, KeyPixel32, -1, -1, F.M.get(), Dst.get(), TPoint(), TRect(0, 0, 8, 8));
  // Level 76 keeps the texture: red (0 * 76 + 255 * 179) shr 8 = 178, green (200 * 76) shr 8 = 59.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(At(Dst.get(), x, y) & 0xFFFFFF, 0xB23B00u) << x << "," << y;
}

TEST(SectionPaint, TheStatesOwnMaskedOverlayTextureIsLaidOnce) {
  Fixture F;
  // A 2 x 2 tile of grey 200 over a mask of 128, laid by whole tiles (mode 10).
  auto Tex = MakeBy(2, 4, [](int, int y) { return y < 2 ? 0x00C8C8C8u : 0x00808080u; });
  const int T = AddElement(F.M.get(), Element(F.M.get(), Tex.get(), 1, 1, 10, 0, 0, 0, 0));
  F.St().ImagePercent = 100;
  F.St().TextureIndex = T;
  auto Dst = Make32(4, 4, 0xFF000000u);
  PaintSectionBackground(F.S, {}, 0, KeyPixel32, -1, -1, F.M.get(), Dst.get(), TPoint(), TRect(0, 0, 4, 4));
  // Once over black: ((0 - 200) * 128 + 200 * 256) shr 8 = 100; a second pass would give 150.
  EXPECT_EQ(At(Dst.get(), 1, 1), 0xFF646464u);
}

TEST(SectionPaint, StatesAreLimitedAndAParentColourWins) {
  Fixture F;
  F.M->EditModel().gd[F.S].States = 2;
  F.St(1).Color = 0x00FF00;
  F.St(2).Color = 0xFF0000;
  auto Dst = Make32(4, 4, 0);
  PaintSectionBackground(F.S, {}, 5, KeyPixel32, -1, -1, F.M.get(), Dst.get(), TPoint(), TRect(0, 0, 4, 4));
  EXPECT_EQ(At(Dst.get(), 0, 0), 0xFF00FF00u);  // state 1, the last of two
  PaintSectionBackground(F.S, {}, 1, 0x123456, -1, -1, F.M.get(), Dst.get(), TPoint(), TRect(0, 0, 4, 4));
  EXPECT_EQ(At(Dst.get(), 3, 3), 0xFF563412u);
}

TEST(SectionPaint, ItemPaintsCornersAndBorderOnlyInsideTheBitmap) {
  Fixture F;
  // A 2 x 2 corner image with its key at (1, 1); a border of 1 pixel on each side, blue, no centre.
  auto Corner = MakeBy(2, 2, [](int x, int y) { return x == 1 && y == 1 ? 0x00FF00FFu : 0xFF00FF00u; });
  auto Border = Make32(3, 3, 0xFF0000FF);
  auto& G = F.M->EditModel().gd[F.S];
  G.ImgBtmRight = AddElement(F.M.get(), Element(F.M.get(), Corner.get(), 1, 0, 0, 0, 0, 0, 0));
  G.BorderIndex = AddElement(F.M.get(), Element(F.M.get(), Border.get(), 1, 0, 0, 1, 1, 1, 1));
  auto Dst = Make32(10, 10, 0x11111111);
  PaintSectionItem(F.S, {}, -1, -1, F.M.get(), Dst.get(), TPoint(), TRect(0, 0, 11, 10), 0);
  EXPECT_EQ(CountChanged(Dst.get(), 0x11111111), 0);
  PaintSectionItem(F.S, {}, -1, -1, F.M.get(), Dst.get(), TPoint(), TRect(1, 1, 9, 9), 0);
  EXPECT_EQ(At(Dst.get(), 0, 0), 0x11111111u);
  EXPECT_EQ(At(Dst.get(), 1, 1), 0xFF0000FFu);  // border
  EXPECT_EQ(At(Dst.get(), 4, 4), 0xFFFF0000u);  // fill
  // The bottom-right corner image was laid before the border: its key pixel kept the fill, the border covered
  // its outer row and column.
  EXPECT_EQ(At(Dst.get(), 7, 7), 0xFF00FF00u);
  EXPECT_EQ(At(Dst.get(), 8, 8), 0xFF0000FFu);
}

TEST(SectionPaint, ControlFiltersOnlyWhenTheControlHasShifts) {
  Fixture F;
  std::unique_ptr<TsCommonData> D(new TsCommonData(nullptr, false));
  D->SetSkinManager(F.M.get());
  D->SkinIndex = F.S;
  auto Plain = Make32(4, 4, 0);
  RenderControlSkin(D.get(), {}, false, Plain.get(), TPoint(), TRect(0, 0, 4, 4), 0);
  EXPECT_EQ(At(Plain.get(), 2, 2), 0xFFFF0000u);
  D->SetHUEOffset(120);
  auto Shifted = Make32(4, 4, 0);
  RenderControlSkin(D.get(), {}, false, Shifted.get(), TPoint(), TRect(0, 0, 4, 4), 0);
  EXPECT_EQ(At(Shifted.get(), 2, 2), 0xFF00FF00u);
  // Two halves painted into one bitmap: each is shifted once, and what lies beside the rectangle not at all.
  auto Halves = Make32(8, 4, 0xFF0000FFu);
  RenderControlSkin(D.get(), {}, false, Halves.get(), TPoint(), TRect(0, 0, 4, 4), 0);
  RenderControlSkin(D.get(), {}, false, Halves.get(), TPoint(4, 0), TRect(4, 0, 7, 4), 0);
  EXPECT_EQ(At(Halves.get(), 1, 1), 0xFF00FF00u);
  EXPECT_EQ(At(Halves.get(), 5, 1), 0xFF00FF00u);
  EXPECT_EQ(At(Halves.get(), 7, 1), 0xFF0000FFu);
  // A system colour as the tone tints by the colour it stands for (red 255 times each of its channels, shr 8).
  D->SetHUEOffset(0);
  D->SetColorTone(clHighlight);
  auto Toned = Make32(4, 4, 0);
  RenderControlSkin(D.get(), {}, false, Toned.get(), TPoint(), TRect(0, 0, 4, 4), 0);
  const uint32_t Sys = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(At(Toned.get(), 2, 2), Opaque(((Sys & 0xFF) * 255 >> 8) | ((Sys >> 8 & 0xFF) * 255 >> 8) << 8 |
                                          ((Sys >> 16 & 0xFF) * 255 >> 8) << 16));
  D->SetColorTone(clNone);
  // A custom-coloured control paints its owner's colour; without an owner the section's.
  D->SetCustomColor(true);
  testing_support::Fill32(Plain.get(), 0);
  PaintControlBackground(D.get(), {}, 0, Plain.get(), TPoint(), TRect(0, 0, 4, 4));
  EXPECT_EQ(At(Plain.get(), 0, 0), 0xFFFF0000u);
  Owned<TPanel> Owner{new TPanel(nullptr)};
  Owner->SetColor(static_cast<TColor>(0x00FF00));
  TsCommonData WithOwner(Owner.get(), false);
  WithOwner.SetSkinManager(F.M.get());
  WithOwner.SkinIndex = F.S;
  WithOwner.SetCustomColor(true);
  PaintControlBackground(&WithOwner, {}, 0, Plain.get(), TPoint(), TRect(0, 0, 4, 4));
  EXPECT_EQ(At(Plain.get(), 0, 0), 0xFF00FF00u);
}

TEST(SectionPaint, BorderStripsCoverTheFrameExactly) {
  auto Src = MakeBy(30, 30, [](int x, int y) { return 0xFF000000u | x << 8 | y; });
  auto Dst = Make32(30, 30, 0);
  // A 10 x 8 frame at (5, 6) with 2-pixel borders, copied from (12, 15) of the source.
  CopyBorderStrips(Dst->Canvas()->Handle(), 5, 6, 2, 15, 12, Src->Canvas()->Handle(), 8, 10);
  GdiFlush();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool InFrame = x >= 5 && x < 15 && y >= 6 && y < 14;
      const bool InHole = x >= 7 && x < 13 && y >= 8 && y < 12;
      const uint32_t Want = InFrame && !InHole ? 0xFF000000u | (x + 7) << 8 | (y + 9) : 0u;
      ASSERT_EQ(At(Dst.get(), x, y) & 0xFFFFFF, Want & 0xFFFFFF) << x << "," << y;
    }
}

TEST(SectionPaint, DeviceContextPaintersGoThroughABitmapOfTheirOwn) {
  Fixture F;
  auto Screen = MakeBy(12, 12, [](int x, int y) { return 0xFF000000u | x << 8 | y; });
  HDC DC = Screen->Canvas()->Handle();
  // An item painted to a device context covers exactly its rectangle.
  PaintSectionItemToDC(F.S, {}, F.M.get(), DC, TPoint(), TRect(2, 3, 6, 5), 0);
  GdiFlush();
  EXPECT_EQ(CountChanged(Screen.get(), 0xFFFF0000u), 12 * 12 - 4 * 2);
  for (const auto& [x, y] : {std::pair{2, 3}, {5, 4}}) EXPECT_EQ(At(Screen.get(), x, y), 0xFFFF0000u) << x;  // corners
  // Over a copy of a device context: a fully transparent section shows the copied area; without a context it
  // shows the fill colour; without any section nothing is painted.
  F.St().Transparency = 100;
  auto Back = MakeBy(12, 12, [](int x, int y) { return 0xFF000000u | x << 8 | y; });
  auto Over = Make32(3, 3, 0);
  EXPECT_EQ(PaintSectionOverDCCopy(Over.get(), -1, F.S, Back->Canvas()->Handle(), 0, TPoint(4, 5), F.M.get(), 0), F.S);
  EXPECT_EQ(At(Over.get(), 2, 1) & 0xFFFFFF, 0x000606u);
  EXPECT_EQ(PaintSectionOverDCCopy(Over.get(), F.S, -1, nullptr, 0x123456, TPoint(), F.M.get(), 0), F.S);
  EXPECT_EQ(At(Over.get(), 2, 1), 0xFF563412u);
  EXPECT_EQ(PaintSectionOverDCCopy(Over.get(), -1, -1, nullptr, 0, TPoint(), F.M.get(), 0), -1);
  EXPECT_EQ(At(Over.get(), 2, 1), 0xFF563412u);
}

TEST(SectionPaint, ChildControlsAreClippedOutWhenVisibleAndWindowed) {
  Owned<TPanel> Parent{new TPanel(nullptr)};
  TPanel* Shown = new TPanel(Parent.get());
  Shown->SetParent(Parent.get());
  Shown->SetBounds(1, 1, 3, 3);
  TPanel* Hidden = new TPanel(Parent.get());
  Hidden->SetParent(Parent.get());
  Hidden->SetBounds(6, 1, 3, 3);
  Hidden->SetVisible(false);
  auto Dst = Make32(12, 6, 0);
  HDC DC = Dst->Canvas()->Handle();
  const int Saved = SaveDC(DC);
  ClipOutChildControls(DC, Parent.get(), 2, 1);
  PaintSolidRect(DC, TRect(0, 0, 12, 6), 0xFFFFFF);
  RestoreDC(DC, Saved);
  GdiFlush();
  EXPECT_EQ(At(Dst.get(), 4, 3), 0u);                      // under the shown child, moved by (2, 1)
  EXPECT_EQ(At(Dst.get(), 9, 3) & 0xFFFFFF, 0xFFFFFFu);    // under the hidden one
  EXPECT_EQ(CountChanged(Dst.get(), 0), 12 * 6 - 9);
}
