// The PNG button: which image shows where in each state, the faded disabled image, the frames.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "framework/Streams.h"
#include "skin/controls/pngextra.h"
#include "tests/skin/graphics/PngFixtures.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;
using controls_test::CountRgb;
using controls_test::Px;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

// A 32 x 32 image: opaque red, except its bottom-right pixel, red at alpha 200.
void FillTestImage(TPNGObject* Png) {
  Png->SetPixelFormat(pf32bit);
  Png->SetSize(32, 32);
  Fill32(Png, Argb(255, 255, 0, 0));
  SetPixelAt(Png, 31, 31, Argb(200, 255, 0, 0));
}

struct ButtonFixture {
  Owned<TPNGButton> Button{new TPNGButton(nullptr)};
  ButtonFixture() {
    Button->SetBounds(0, 0, 40, 40);
    Button->SetButtonStyle(pbsNoFrame);
    Owned<TPNGObject> Png(new TPNGObject());
    FillTestImage(Png.get());
    Button->SetImageNormal(Png.get());
  }
  // The button painted over white; returns the top-left corner of the red image (-1, -1 when none).
  POINT ImageAt() {
    Dib32 Dib(40, 40, kWhite, true);
    Button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dib.DC()), 0);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (Dib.Rgb(x, y) == 0xFF0000) return {x, y};
    return {-1, -1};
  }
  void Mouse(UINT Msg, int X = 10, int Y = 10) {
    Button->Perform(Msg, Msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(X, Y));
  }
};

bool operator==(POINT A, POINT B) { return A.x == B.x && A.y == B.y; }

}  // namespace

TEST(PNGButton, OnlyTheNormalImageShowsCentredAndShiftedByTwoWhilePressed) {
  ButtonFixture F;
  EXPECT_TRUE(F.ImageAt() == (POINT{4, 4}));
  F.Button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(F.ImageAt() == (POINT{4, 4}));  // hover without ImageOver: the normal image, not moved
  F.Mouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(F.ImageAt() == (POINT{6, 6}));
  // Leaving with the button held shows the normal image in place until the mouse returns.
  F.Button->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(F.ImageAt() == (POINT{4, 4}));
  F.Button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(F.ImageAt() == (POINT{6, 6}));
  int Clicks = 0;
  POINT DuringClick{};
  F.Button->OnClick = [&](TObject*) {
    ++Clicks;
    DuringClick = F.ImageAt();
  };
  F.Mouse(WM_LBUTTONUP);
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(DuringClick == (POINT{4, 4}));  // released before OnClick runs
}

TEST(PNGButton, DownAndOverImagesReplaceTheNormalOne) {
  ButtonFixture F;
  Owned<TPNGObject> Small(new TPNGObject());
  Small->SetPixelFormat(pf32bit);
  Small->SetSize(10, 10);
  Fill32(Small.get(), Argb(255, 255, 0, 0));
  F.Button->SetImageOver(Small.get());
  F.Button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(F.ImageAt() == (POINT{15, 15}));
  F.Button->SetImageDown(Small.get());
  F.Mouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(F.ImageAt() == (POINT{17, 17}));
}

TEST(PNGButton, DisabledShowsTheNormalImageAtAThirdOfItsOpacityAndGreyText) {
  ButtonFixture F;
  F.Button->SetEnabled(false);
  TPNGObject* Faded = F.Button->DisabledImage();
  ASSERT_EQ(Faded->PixelFormat(), pf32bit);
  EXPECT_EQ(Channel(PixelAt(Faded, 0, 0), 3), 85);
  EXPECT_EQ(Channel(PixelAt(Faded, 31, 31), 3), 66);
  Dib32 Dib(40, 40, kWhite, true);
  F.Button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dib.DC()), 0);
  const uint32_t P = Dib.Rgb(10, 10);  // a third of red over white
  EXPECT_EQ(P >> 16, 0xFFu);
  EXPECT_NEAR(static_cast<int>(P & 0xFF), 170, 2);
  // Hover and press change nothing while disabled.
  F.Button->Perform(CM_MOUSEENTER, 0, 0);
  F.Mouse(WM_LBUTTONDOWN);
  Dib32 Again(40, 40, kWhite, true);
  F.Button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Again.DC()), 0);
  EXPECT_EQ(Again.Rgb(4, 4), P);
  EXPECT_EQ(Again.Rgb(3, 3), 0xFFFFFFu);

  // A caption of a disabled button is drawn in the grey text colour.
  F.Button->SetCaption("W");
  F.Button->SetBounds(0, 0, 40, 60);
  Dib32 Text(40, 60, kWhite, true);
  F.Button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Text.DC()), 0);
  EXPECT_GT(CountRgb(Text, Px(clGrayText)), 0);
}

TEST(PNGButton, PaletteImagesFadeToo) {
  png_fixtures::PngFixture Fx;
  Fx.Width = 2;
  Fx.Height = 1;
  Fx.ColorType = 3;
  Fx.Palette = {255, 0, 0, 0, 0, 255};
  Fx.PaletteAlpha = {255, 120};
  Fx.Samples = {0, 1};
  // As a stored form gives it: the file read into the button's own image.
  Owned<TPNGButton> Button(new TPNGButton(nullptr));
  auto Load = [&] {
    const std::vector<uint8_t> Bytes = png_fixtures::EncodePng(Fx);
    ASSERT_FALSE(Bytes.empty());
    Owned<TMemoryStream> S(new TMemoryStream());
    S->Write(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    S->SetPosition(0);
    Button->ImageNormal()->LoadFromStream(S.get());
  };
  Load();
  Button->SetEnabled(false);
  TPNGObject* Faded = Button->DisabledImage();
  ASSERT_EQ(Faded->PixelFormat(), pf32bit);
  EXPECT_EQ(Channel(PixelAt(Faded, 0, 0), 3), 85);
  EXPECT_EQ(Channel(PixelAt(Faded, 1, 0), 3), 40);

  // A palette image without a transparency table counts as opaque.
  Fx.PaletteAlpha.clear();
  Load();
  Button->SetEnabled(true);
  Button->SetEnabled(false);
  EXPECT_EQ(Channel(PixelAt(Button->DisabledImage(), 1, 0), 3), 85);
}

TEST(PNGButton, FlatFrameRaisedOnHoverSunkenWhenPressed) {
  ButtonFixture F;
  F.Button->SetButtonStyle(pbsFlat);
  // the top-left and bottom-right pixels
  auto Corners = [&] {
    Dib32 Dib(40, 40, kWhite, true);
    F.Button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dib.DC()), 0);
    return std::pair{Dib.Rgb(0, 0), Dib.Rgb(39, 39)};
  };
  EXPECT_EQ(Corners(), std::pair(0xFFFFFFu, 0xFFFFFFu));  // no frame at rest
  F.Button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Corners(), std::pair(Px(clBtnHighlight), Px(clBtnShadow)));
  F.Mouse(WM_LBUTTONDOWN);
  EXPECT_EQ(Corners(), std::pair(Px(clBtnShadow), Px(clBtnHighlight)));
}
