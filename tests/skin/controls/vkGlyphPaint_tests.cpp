// The glyph painter: a button's glyph and caption rectangles, frames chosen by state and order, blended and
// disabled list images.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "framework/ComCtrlsToolBar.h"
#include "framework/ImgList.h"
#include "framework/Streams.h"
#include "skin/controls/vkGlyphPaint.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/skin/graphics/PngFixtures.h"

using namespace controls_test;

namespace {

TvkButtonLayout Button(TvkContentKind Kind) {
  TvkButtonLayout L;
  L.Kind = Kind;
  L.Width = 100;
  L.Height = 30;
  L.Margin = 6;
  L.Image = TSize{16, 16};
  L.Caption = TSize{40, 13};
  L.GlyphWidthWithMargins = 16;
  return L;
}

// D drawn into a 4 x 4 bitmap of its own, first filled with Under (as PaintSolidRect takes it) unless that is -1; the
// colour of the pixel at (X, Y) afterwards.
uint32_t DrawnPixel(TvkGlyphPaintData D, int X, int Y, int Under = -1) {
  TBitmap* Dst = NewBitmap32(4, 4);
  if (Under >= 0) PaintSolidRect(Dst->Canvas()->Handle(), TRect(0, 0, 4, 4), static_cast<uint32_t>(Under));
  D.DstBmp = Dst;
  D.R = TRect(0, 0, 4, 4);
  DrawGlyphAndCaption(D);
  const uint32_t P = GetPixel32(Dst, X, Y) & 0xFFFFFF;
  Dst->Free();
  return P;
}

}  // namespace

TEST(GlyphLayout, GlyphAndCaptionRectanglesOfAButton) {
  struct Case {
    const char* What;
    TvkButtonLayout Layout;
    TRect Glyph, Caption;
  };
  TvkButtonLayout BottomWithTop = Button(ckGlyphBottom);
  BottomWithTop.ImageMargins.Top = 5;
  BottomWithTop.Height = 60;
  TvkButtonLayout Pressed = Button(ckGlyphLeft);
  Pressed.Shift = true;
  const Case Cases[] = {
      {"left", Button(ckGlyphLeft), TRect(6, 7, 22, 23), TRect(22, 8, 94, 22)},
      {"right", Button(ckGlyphRight), TRect(78, 7, 94, 23), TRect(6, 8, 78, 22)},
      // the band from 28 to 24 is narrower than the text: the caption is centred on it all the same
      {"top", Button(ckGlyphTop), TRect(42, 6, 58, 22), TRect(6, 20, 94, 33)},
      {"centre", Button(ckGlyphCenter), TRect(42, 7, 58, 23), TRect(3, 8, 97, 22)},
      {"none", Button(ckNoGlyph), TRect(), TRect(3, 8, 97, 22)},
      {"command link", Button(ckCommandLink), TRect(6, 6, 22, 22), TRect(28, 6, 94, 19)},
      // the caption's upper limit is the image margin, not the content margin
      {"bottom, top margin 5", BottomWithTop, TRect(42, 38, 58, 54), TRect(6, 12, 94, 25)},
      {"pressed", Pressed, TRect(7, 8, 23, 24), TRect(23, 9, 95, 23)},
  };
  for (const Case& C : Cases) {
    TRect G, T;
    ButtonContentRects(C.Layout, G, T);
    EXPECT_EQ(G, C.Glyph) << C.What;
    EXPECT_EQ(T, C.Caption) << C.What;
  }
}

TEST(GlyphPaint, FramesFollowTheStateAndThePlatformOrder) {
  // an opaque 32-bit strip of three 4 x 4 frames: red, green, blue
  TBitmap* Strip = NewBitmap32(12, 4);
  const uint32_t Frames[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 12; ++x) PutPixel32(Strip, x, y, Frames[x / 4]);
  auto Drawn = [&](int State, bool Enabled, int NumGlyphs) {
    TvkGlyphPaintData D;
    D.Glyph = Strip;
    D.State = State;
    D.Enabled = Enabled;
    D.NumGlyphs = NumGlyphs;
    return DrawnPixel(D, 1, 1);
  };
  EXPECT_EQ(Drawn(1, true, 3), 0x00FF00u);
  EXPECT_EQ(Drawn(2, true, 3), 0x0000FFu);
  auto M = SkinnedManager();
  M->Options()->SetFlag(3, true);  // StdGlyphsOrder: up, disabled, clicked
  EXPECT_EQ(Drawn(1, true, 3), 0xFF0000u);
  EXPECT_EQ(Drawn(0, false, 3), 0x00FF00u);
  EXPECT_EQ(Drawn(2, true, 3), 0x0000FFu);
  EXPECT_EQ(Drawn(2, true, 1), 0xFF0000u);  // one frame serves every state
  Strip->Free();
}

TEST(GlyphPaint, BlendedAndDisabledListImagesAndAnIndexPastTheList) {
  Owned<TImageList> Images(new TImageList(nullptr));
  Images->SetSize(4, 4);
  TBitmap* Red = NewBitmap32(4, 4);
  PaintSolidRect(Red->Canvas()->Handle(), TRect(0, 0, 4, 4), 0x0000FF);
  Images->AddMasked(Red, clFuchsia);
  Red->Free();
  auto Drawn = [&](int Index, bool Enabled, int Blend, TsDisabledKinds Kind, TCustomImageList* List = nullptr) {
    TvkGlyphPaintData D;
    D.Images = List != nullptr ? List : Images.get();
    D.ImageIndex = Index;
    D.Enabled = Enabled;
    D.Blend = Blend;
    D.DisabledKind = Kind;
    return DrawnPixel(D, 2, 2, 0xFF0000);
  };
  EXPECT_EQ(Drawn(0, true, 0, {}), 0xFF0000u);
  // level 0x7F: d = (s * 128 + d * 127) shr 8, red over blue
  EXPECT_EQ(Drawn(0, false, 0, {dkBlended}), 0x7F007Eu);
  // blend 30 per cent: level 76
  EXPECT_EQ(Drawn(0, true, 30, {}), ((255 * 179 >> 8) << 16) | (255 * 76 >> 8));
  EXPECT_EQ(Drawn(1, true, 0, {}), 0x0000FFu);  // no image, no glyph: nothing drawn
  // An alpha list's image, disabled and blended, is drawn at half its opacity.
  Owned<TsAlphaImageList> Alpha(new TsAlphaImageList(nullptr));
  Alpha->SetSize(4, 4);
  png_fixtures::PngFixture Fx;
  Fx.Width = Fx.Height = 4;
  for (int i = 0; i < 16; ++i) Fx.Samples.insert(Fx.Samples.end(), {255, 0, 0});
  const std::vector<uint8_t> Png = png_fixtures::EncodePng(Fx);
  TMemoryStream S;
  S.Write(Png.data(), static_cast<int32_t>(Png.size()));
  S.SetPosition(0);
  ASSERT_TRUE(Alpha->AddFromStream(&S));
  const uint32_t Half = Drawn(0, true, 50, {}, Alpha.get());
  EXPECT_NE(Half, Drawn(0, true, 0, {}, Alpha.get()));
  EXPECT_EQ(Drawn(0, false, 0, {dkBlended}, Alpha.get()), Half);
  EXPECT_EQ(Drawn(0, false, 0, {dkGrayed}, Alpha.get()), Drawn(0, true, 0, {}, Alpha.get()));
  // The list's own drawing on a canvas composes the image as the glyph painter does.
  Owned<TBitmap> Over(NewBitmap32(4, 4));
  PaintSolidRect(Over->Canvas()->Handle(), TRect(0, 0, 4, 4), 0xFF0000);
  Alpha->Draw(Over->Canvas(), 0, 0, 0, true);
  EXPECT_EQ(GetPixel32(Over.get(), 2, 2) & 0xFFFFFF, Drawn(0, true, 0, {}, Alpha.get()));
}

TEST(GlyphPaint, AToolButtonsGlyphByItsStateAndTheBarsLayout) {
  Owned<TForm> Form = NewForm(clBtnFace);
  auto* Bar = PlaceOn<TToolBar>(Form.get(), 300, 40);
  TToolButton* Plain = Bar->AddButton("A", tbsButton, 0);
  TToolButton* Drop = Bar->AddButton("B", tbsDropDown, 0);
  // One 16 x 16 image per list, each of its own colour.
  auto List = [&](TColor Colour) {
    auto* Images = new TImageList(Form.get());
    TBitmap Cell;
    Cell.SetPixelFormat(pf24bit);
    Cell.SetSize(16, 16);
    Cell.Canvas()->Brush()->SetColor(Colour);
    Cell.Canvas()->FillRect(TRect(0, 0, 16, 16));
    Images->Add(&Cell, nullptr);
    return Images;
  };
  Bar->SetImages(List(clLime));
  Bar->SetHotImages(List(clRed));
  Bar->SetDisabledImages(List(clBlue));
  const int W = 40, H = 44, TextA = TextHeightOfA(Bar->Font());
  struct Case {
    const char* Name;
    TToolButton* Button;
    UINT State;
    bool List, Captions;
    int X, Y;
    uint32_t Colour;
  };
  const int CX = (W - 16) / 2 + 1, CY = (H - 16) / 2;
  const Case Cases[] = {
      {"normal", Plain, 0, false, false, CX, CY, 0x00FF00},
      {"hot", Plain, ODS_HOTLIGHT, false, false, CX, CY, 0xFF0000},
      {"disabled", Plain, ODS_DISABLED | ODS_HOTLIGHT, false, false, CX, CY, 0x0000FF},
      {"pressed", Plain, ODS_SELECTED | ODS_HOTLIGHT, false, false, CX + 1, CY + 1, 0x00FF00},
      {"checked", Plain, ODS_CHECKED, false, false, CX + 1, CY + 1, 0x00FF00},
      {"drop-down", Drop, 0, false, false, CX - 8, CY, 0x00FF00},
      {"captions", Plain, 0, false, true, CX, (H - 16 - (TextA + 3)) / 2, 0x00FF00},
      {"list", Plain, 0, true, true, 5, CY, 0x00FF00},
  };
  for (const Case& C : Cases) {
    Bar->SetList(C.List);
    Bar->SetShowCaptions(C.Captions);
    Owned<TBitmap> Bmp(NewBitmap32(W, H));
    PaintSolidRect(Bmp->Canvas()->Handle(), TRect(0, 0, W, H), 0xFFFFFF);
    DrawOwnerDrawButtonContent(Bar, C.Button, C.State, Bmp.get());
    int Left = W, Top = H, Count = 0;
    uint32_t Seen = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (const uint32_t P = GetPixel32(Bmp.get(), x, y) & 0xFFFFFF; P != 0xFFFFFF) {
          Left = std::min(Left, x), Top = std::min(Top, y), Seen = P, ++Count;
        }
    EXPECT_EQ(Count, 16 * 16) << C.Name;
    EXPECT_EQ(Left, C.X) << C.Name;
    EXPECT_EQ(Top, C.Y) << C.Name;
    EXPECT_EQ(Seen, C.Colour) << C.Name;
  }
}

TEST(GlyphPaint, AGlyphWithNoAlphaAtAllIsOpaqueWhenTheManagerChecksForIt) {
  auto M = SkinnedManager();
  for (const bool Check : {true, false}) {
    M->Options()->SetFlag(0, Check);  // CheckEmptyAlpha
    Owned<TBitmap> Glyph(NewBitmap32(4, 4));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) PutPixel32(Glyph.get(), x, y, 0x00FF0000u);  // red, every alpha 0
    PutPixel32(Glyph.get(), 0, 3, 0x00FF00FFu);  // as a keyed glyph, the bottom-left pixel is its key
    TvkGlyphPaintData D;
    D.Glyph = Glyph.get();
    // red as an opaque glyph, or nothing over the blue beneath
    EXPECT_EQ(DrawnPixel(D, 1, 1, 0xFF0000), Check ? 0xFF0000u : 0x0000FFu) << Check;
  }
}
