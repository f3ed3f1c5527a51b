// The skinned panel: the section its bevel chooses, its own colour inside the skin border, the caption and
// OnPaint in the cache, children painted over the panel's face, a docked client's strip.
#include <gtest/gtest.h>

#include <algorithm>

#include "ControlsTestSupport.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"

using namespace controls_test;

namespace {

TsPanel* NewPanel(TForm* Form, int W, int H) {
  TsPanel* P = PlaceOn<TsPanel>(Form, W, H, 7, 8);
  P->HandleNeeded();
  return P;
}

uint32_t PrintedAt(TWinControl* C, int X, int Y) {
  Dib32 Dib(C->Width(), C->Height(), 0x123456, true);
  C->Perform(WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
  return Dib.Rgb(X, Y);
}

// The skinned manager and the shown form the panels stand on: a panel paints only while showing.
class Panel : public testing::Test {
protected:
  Owned<TsSkinManager> M = SkinnedManager();
  Owned<TForm> Form = NewForm(clBtnFace);
  void SetUp() override { Form->ShowNoActivate(); }
};

}  // namespace

TEST_F(Panel, SectionFollowsTheOuterBevelAtTheNextInvalidation) {
  TsPanel* P = NewPanel(Form.get(), 289, 73);
  EXPECT_EQ(P->CaptionRect(), TRect(1, 1, 288, 72));
  EXPECT_EQ(PrintedAt(P, 100, 40), 0xFFFF00u);  // "PANEL"
  P->SetBevelOuter(bvLowered);
  EXPECT_EQ(P->SkinData()->SkinIndex, M->FindSectionIndex("PANEL_LOW"));
  EXPECT_EQ(PrintedAt(P, 100, 40), 0x808000u);
  P->SetBevelOuter(bvSpace);
  EXPECT_EQ(P->SkinData()->SkinIndex, M->FindSectionIndex("GROUPBOX"));
}

TEST_F(Panel, OwnColourFillsInsideTheSkinBorder) {
  // Whatever the section's transparency, and also when its border draws no inner part (draw-mode flag 4).
  struct Case {
    int Transparency;
    bool BorderWithoutInside;
  };
  const int Group = M->FindSectionIndex("GROUPBOX");  // a 1-pixel border
  int16_t& DrawMode = M->EditModel().ma[M->gd()[Group].BorderIndex].DrawMode;
  const int Plain = DrawMode;
  for (const Case& C : {Case{0, false}, Case{100, false}, Case{100, true}}) {
    M->EditModel().gd[Group].Props[0].Transparency = C.Transparency;
    DrawMode = static_cast<int16_t>(C.BorderWithoutInside ? Plain | 4 : Plain);
    TsPanel* P = NewPanel(Form.get(), 60, 40);
    P->SetBevelOuter(bvSpace);
    P->SkinData()->SetCustomColor(true);
    P->SetColor(clRed);
    EXPECT_EQ(PrintedAt(P, 30, 20), 0xFF0000u) << C.Transparency << C.BorderWithoutInside;
    EXPECT_EQ(PrintedAt(P, 1, 20), 0xFF0000u) << C.Transparency << C.BorderWithoutInside;
    EXPECT_EQ(PrintedAt(P, 0, 20), 0x603000u) << C.Transparency << C.BorderWithoutInside;  // the skin's border
    P->Free();
  }
}

TEST_F(Panel, CaptionAndOnPaintGoIntoTheCache) {
  TsPanel* P = NewPanel(Form.get(), 120, 40);
  TCanvas* Painted = nullptr;
  P->OnPaint = [&](TObject*, TCanvas* C) {
    Painted = C;
    C->SetPixels(0, 0, clBlue);
  };
  P->SetCaption("Title");
  P->SetAlignment(taRightJustify);
  EXPECT_EQ(PrintedAt(P, 0, 0), 0x0000FFu);
  EXPECT_EQ(Painted, P->SkinData()->CacheBmp->Canvas());
  // the dark (text) pixels of the cache's columns From to To
  auto DarkIn = [&](int From, int To) {
    int N = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = From; x < To; ++x) N += (GetPixel32(P->SkinData()->CacheBmp, x, y) & 0xFFFFFF) == 0;
    return N;
  };
  EXPECT_EQ(DarkIn(1, 60), 0);  // right-aligned text
  EXPECT_GT(DarkIn(60, 119), 0);
  P->SetCaption("");
  PrintedAt(P, 0, 0);
  EXPECT_EQ(DarkIn(1, 119), 0);
}

TEST_F(Panel, ChildrenAreComposedOverThePanelsFace) {
  TsPanel* P = NewPanel(Form.get(), 120, 60);
  TsButton* B = Create<TsButton>(Form.get());
  B->SetParent(P);
  B->SetBounds(10, 10, 50, 30);
  B->SkinData()->SetSkinSection("TRANSLUCENT");
  B->HandleNeeded();
  Dib32 Dib(50, 30, 0, true);
  B->Perform(WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
  // "TRANSLUCENT" (#204060) at 50 % over the panel's yellow: per channel ((p - s) * 127 + s * 256) shr 8
  auto Mix = [](int P, int S) { return static_cast<uint32_t>(((P - S) * 127 + S * 256) >> 8); };
  EXPECT_EQ(Dib.Rgb(25, 5), Mix(0xFF, 0x20) << 16 | Mix(0xFF, 0x40) << 8 | Mix(0x00, 0x60));
}

TEST_F(Panel, AnswersAChildsBackgroundQueryWithItsFaceWhereTheChildStands) {
  // A border makes the client area smaller: the child's offset is counted from the client's origin.
  for (const auto& [Border, Inset] : {std::pair{0, 0}, {3, 4}}) {
    TsPanel* P = NewPanel(Form.get(), 120, 60);
    P->SetBorderWidth(Border);
    PrintedAt(P, 0, 0);  // the face is built
    TvkParentBgQuery Q{};
    Q.OffsetX = 5;
    Q.OffsetY = 6;
    P->Perform(SM_VKCMD, MAKEWPARAM(0, VKCMD_QUERY_PARENT_BG), reinterpret_cast<LPARAM>(&Q));
    EXPECT_EQ(Q.Kind, bgkBitmap) << Border;
    EXPECT_EQ(Q.Bmp, P->SkinData()->CacheBmp) << Border;
    EXPECT_EQ(Q.OffsetX, 5 + Inset) << Border;
    EXPECT_EQ(Q.OffsetY, 6 + Inset) << Border;
    P->Free();
  }
}

TEST_F(Panel, ADockedClientGetsAStripAboveItWithItsCaptionAndTheSkinsCloseGlyph) {
  TsPanel* P = NewPanel(Form.get(), 120, 80);
  P->SetDockSite(true);
  const std::vector<uint32_t> Plain = Printed(P);
  TsLabel* Client = Create<TsLabel>(Form.get());  // windowless: asks nothing while it docks
  Client->SetAutoSize(false);
  Client->SetBounds(10, 30, 100, 40);
  Client->SetCaption("Dock");
  Client->SetDragKind(dkDock);
  Client->SetParent(P);
  ASSERT_EQ(P->DockClientCount(), 1);
  const std::vector<uint32_t> Docked = Printed(P);
  // The strip is a line of the panel's font with 5 pixels above and below, ending at the client's top: the caption
  // 5 pixels in, the 12-pixel glyph 1 pixel from its right end.
  const int Top = 30 - (TextHeightOfA(P->Font()) + 10);
  int Text = 0, Glyph = 0, Elsewhere = 0, TextTop = 80, TextBottom = -1;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) {
      if (Plain[y * 120 + x] == Docked[y * 120 + x] || (y >= 30 && y < 70 && x >= 10 && x < 110)) continue;
      const bool InStrip = y >= Top && y < 30;
      const bool InText = InStrip && x >= 15 && x < 92;
      ++(InText ? Text : InStrip && x >= 97 && x < 109 ? Glyph : Elsewhere);
      if (InText) {
        TextTop = std::min(TextTop, y);
        TextBottom = std::max(TextBottom, y);
      }
    }
  EXPECT_GT(Text, 5);
  EXPECT_GT(Glyph, 5);
  // the caption is whole: at least as many rows as its letters take printed alone
  Dib32 Alone(100, 40, 0xFFFFFF, true);
  SelectObject(Alone.DC(), P->Font()->Handle());
  TextOutA(Alone.DC(), 0, 0, "Dock", 4);
  const std::vector<uint32_t> Ink = Pixels(Alone);
  auto Inked = [](uint32_t C) { return C != 0xFFFFFFu; };
  int InkRows = 0;
  for (int y = 0; y < 40; ++y) InkRows += std::any_of(Ink.begin() + y * 100, Ink.begin() + (y + 1) * 100, Inked);
  EXPECT_GE(TextBottom - TextTop + 1, InkRows);
  EXPECT_EQ(Elsewhere, 0);
}
