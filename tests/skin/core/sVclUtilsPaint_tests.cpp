// Painting controls off-screen: graphic children over their backgrounds through one memory image, and whole
// controls with their child windows and overlapping siblings into bitmaps.
#include <gtest/gtest.h>

#include "SkinTestOwners.h"
#include "skin/core/vkFormServices.h"
#include "tests/support/Dib32.h"

using namespace skin_owners;
using testing_support::Dib32;

namespace skin_owners {
// The snapshot window of skin changes stands over forms; it never belongs in their pictures.
class TOutputWindow : public TTestSkinOwner {
  DECLARE_CLASS(TOutputWindow, TTestSkinOwner)
public:
  using TTestSkinOwner::TTestSkinOwner;
};
IMPLEMENT_CLASS(TOutputWindow)
}  // namespace skin_owners

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

struct OffScreen : OwnerFormTest {
  // An unskinned host of the given colour.
  TTestSkinOwner* Host(TColor Color, int W = 60, int H = 40) {
    auto* H0 = Place(form, 0, 0, W, H, Create<TTestSkinOwner>(form));
    H0->SetColor(Color);
    H0->SkinData->FinishLoading(false);
    H0->HandleNeeded();
    return H0;
  }
  TTestGraphicOwner* Label(TWinControl* Parent, int L, int T, int W, int H, TColor Fill) {
    auto* G = Place(Parent, L, T, W, H, Create<TTestGraphicOwner>(form));
    G->Fill = Fill;
    return G;
  }
};

}  // namespace

TEST_F(OffScreen, GraphicChildrenLandOverTheirBackgroundAndKeyedOnesAreLeftOut) {
  TTestSkinOwner* H = Host(clBlue);
  Label(H, 2, 2, 8, 6, clRed);
  TTestGraphicOwner* Keyed = Label(H, 20, 2, 8, 6, clLime);
  Keyed->KeyCorner = true;
  TTestGraphicOwner* Clear = Label(H, 40, 2, 8, 6, clNone);  // paints nothing: its background shows
  Dib32 Dc(60, 40);
  PaintGraphicChildren(Dc.DC(), H, true, POINT{0, 0});
  EXPECT_EQ(Dc.Rgb(2, 2), kRed);
  EXPECT_EQ(Dc.Rgb(9, 7), kRed);
  EXPECT_EQ(Dc.Rgb(10, 2), 0u) << "nothing outside the children";
  EXPECT_EQ(Dc.Rgb(23, 4), 0u) << "a child that left the key colour at its corner is not copied at all";
  EXPECT_EQ(Dc.Rgb(41, 3), kBlue) << "the host's background behind a child that paints nothing";
  EXPECT_EQ(Clear->Paints, 1);

  Dib32 Shifted(70, 50);
  PaintGraphicChildren(Shifted.DC(), H, true, POINT{5, 3});
  EXPECT_EQ(Shifted.Rgb(7, 5), kRed);
  EXPECT_EQ(Shifted.Rgb(6, 4), 0u);
}

TEST_F(OffScreen, NothingIsDrawnForInvisibleChildrenAnEmptyClipOrAReentrantCall) {
  TTestSkinOwner* H = Host(clBlue);
  TTestGraphicOwner* Hidden = Label(H, 2, 2, 8, 6, clRed);
  Hidden->SetVisible(false);
  Dib32 Dc(60, 40, 0x123456);
  PaintGraphicChildren(Dc.DC(), H, true, POINT{0, 0});
  EXPECT_EQ(Dc.CountNot(0x123456), 0);
  EXPECT_EQ(Hidden->Paints, 0);

  Hidden->SetVisible(true);
  H->Clear();
  const int Saved = SaveDC(Dc.DC());
  IntersectClipRect(Dc.DC(), 0, 0, 0, 0);
  PaintGraphicChildren(Dc.DC(), H, true, POINT{0, 0});
  RestoreDC(Dc.DC(), Saved);
  EXPECT_EQ(H->Count(VKCMD_SET_CLIPPED_OUT), 1);
  EXPECT_EQ(Dc.CountNot(0x123456), 0);

  // a child painting graphic children of its own through the same routine gets nothing from that call
  TTestSkinOwner* Other = Place(form, 0, 50, 20, 20, Create<TTestSkinOwner>(form));
  Other->HandleNeeded();
  TTestGraphicOwner* Inner = Label(Other, 0, 0, 20, 20, clLime);
  Hidden->OnPaint = [&](HDC DC) { PaintGraphicChildren(DC, Other, true, POINT{0, 0}); };
  PaintGraphicChildren(Dc.DC(), H, true, POINT{0, 0});
  EXPECT_EQ(Inner->Paints, 0);
  EXPECT_EQ(Dc.Rgb(3, 3), kRed);
}

TEST_F(OffScreen, AControlIsPaintedWithItsChildWindowsUnlessItPaintedThemItself) {
  ManagerPtr m = SolidManager();
  TTestSkinOwner* Panel = Owner("PANEL", 0, 0, 60, 40, form);
  Owner("BUTTON", 10, 10, 20, 10, Panel);
  TBitmap* Bmp = NewBitmap32(60, 40);
  PaintControlToBitmap(Bmp, Panel, 0, 0, nullptr, false);
  EXPECT_EQ(Rgb(Bmp, 2, 2), 0xFFFF00u);
  EXPECT_EQ(Rgb(Bmp, 15, 15), 0xFF00FEu) << "the child window at its place";
  EXPECT_EQ(Panel->SkinData->StateFlags & sfPrinting, 0) << "the print DC is switched off again";

  FillRect32(Bmp, TRect(0, 0, 60, 40), 0, 255);
  Panel->PrintAnswer = -2;
  PaintControlToBitmap(Bmp, Panel, 0, 0, nullptr, false);
  EXPECT_EQ(Rgb(Bmp, 15, 15), 0xFFFF00u) << "-2: the panel drew its children itself";
  delete Bmp;
}

TEST_F(OffScreen, InvisibleControlsGiveTheirBackgroundAndSiblingsAboveAreAdded) {
  ManagerPtr m = SolidManager();
  TTestSkinOwner* H = Host(clBlue, 100, 60);
  TTestSkinOwner* Hidden = Place(H, 5, 5, 10, 10, Create<TTestSkinOwner>(form));
  Hidden->SetVisible(false);
  TBitmap* Bmp = NewBitmap32(20, 20);
  FillRect32(Bmp, TRect(0, 0, 20, 20), 0, 255);
  PaintControlToBitmap(Bmp, Hidden, 3, 4, nullptr, false);
  EXPECT_EQ(Rgb(Bmp, 3, 4), kBlue);
  EXPECT_EQ(Rgb(Bmp, 2, 4), 0u);
  EXPECT_EQ(Rgb(Bmp, 12, 13), Rgb(Bmp, 3, 4));
  delete Bmp;

  TTestSkinOwner* Base = Owner("PANEL", 0, 0, 40, 30, H);
  Owner("BUTTON", 30, 20, 20, 20, H);  // overlaps the base's bottom-right
  Place(H, 35, 0, 20, 10, Create<TOutputWindow>(form))->SkinData->SetSkinSection("EDIT");
  Owner("EDIT", 60, 40, 10, 10, H);  // elsewhere
  Bmp = NewBitmap32(40, 30);
  PaintControlToBitmap(Bmp, Base, 0, 0, nullptr, true);
  EXPECT_EQ(Rgb(Bmp, 35, 25), 0xFF00FEu) << "the overlapping sibling over the base";
  EXPECT_EQ(Rgb(Bmp, 37, 5), 0xFFFF00u) << "never the snapshot window";
  delete Bmp;
}

namespace {
class TLoggingForm : public TForm {
public:
  explicit TLoggingForm(TComponent* AOwner) : TForm(AOwner) {}
  std::vector<std::pair<WORD, LPARAM>> Heard;
  void WndProc(TMessage& M) override {
    if (M.Msg == SM_VKCMD) Heard.push_back({SkinCommandCode(M.WParam), M.LParam});
    TForm::WndProc(M);
  }
};
struct BorderedSkinner {
  TvkFormServices saved = FormServices;
  BorderedSkinner() {
    FormServices.ProviderBorderForm = [](TsSkinProvider* P) { return reinterpret_cast<TvkBorderForm*>(P); };
    FormServices.GetClientOffsetLeft = [](TsSkinProvider*) { return 2; };
    FormServices.GetClientOffsetTop = [](TsSkinProvider*) { return 3; };
  }
  ~BorderedSkinner() { FormServices = saved; }
};
}  // namespace

TEST_F(OffScreen, AFormWithABorderWindowGetsItsClientOpaqueInItsSnapshot) {
  BorderedSkinner Skinner;
  Owned<TLoggingForm> F(new TLoggingForm(Application));
  F->SetBorderStyle(bsNone);
  F->SetBounds(0, 0, 30, 20);
  F->HandleNeeded();
  TBitmap* Bmp = NewBitmap32(40, 30);
  FillRect32(Bmp, TRect(0, 0, 40, 30), 0, 0);
  auto* Provider = reinterpret_cast<TsSkinProvider*>(F.get());
  PaintControlToBitmap(Bmp, F.get(), 0, 0, Provider, false);
  EXPECT_EQ(GetPixel32(Bmp, 2, 3) >> 24, 255u);
  EXPECT_EQ(GetPixel32(Bmp, 31, 22) >> 24, 255u);
  EXPECT_EQ(GetPixel32(Bmp, 1, 3) >> 24, 0u);
  EXPECT_EQ(GetPixel32(Bmp, 32, 23) >> 24, 0u);
  ASSERT_FALSE(F->Heard.empty());
  EXPECT_EQ(F->Heard.back().first, VKCMD_PAINTED_TO_BITMAP);
  EXPECT_EQ(F->Heard.back().second, reinterpret_cast<LPARAM>(Bmp));
  delete Bmp;
}
