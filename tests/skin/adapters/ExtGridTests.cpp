// Extended grids and virtual trees through stand-ins that publish only the names the adapters read and write:
// colours and options written by name and put back, header handlers set only where none were, and the
// header drawn from the skin.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "tests/skin/core/engine_support.h"
#include "framework/Forms.h"
#include "framework/TypInfo.h"
#include "skin/adapters/vkExtGridWnds.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "tests/support/GdiLeaks.h"
#include "skin/graphics/vkBlend.h"

using namespace adapter_test;

namespace {

// ---- stand-ins: plain storage behind the published names ----

#define COLOUR_PROP(Name, Init)                   \
  TColor Name() const { return F##Name; }         \
  void Set##Name(TColor V) { F##Name = V; }       \
  TColor F##Name = Init;

const std::vector<std::string> kFillStyles = {"fsDefault", "fsSolid", "fsGradient", "fsThemed"};

class TEhLines : public TPersistent {
  DECLARE_CLASS(TEhLines, TPersistent)
public:
  COLOUR_PROP(DarkColor, clBlack)
  COLOUR_PROP(BrightColor, clWhite)
  COLOUR_PROP(DataHorzColor, clSilver)
  COLOUR_PROP(DataVertColor, clGray)
};
PUBLISHED(TEhLines) {
  p.Color("DarkColor", &TEhLines::DarkColor, &TEhLines::SetDarkColor);
  p.Color("BrightColor", &TEhLines::BrightColor, &TEhLines::SetBrightColor);
  p.Color("DataHorzColor", &TEhLines::DataHorzColor, &TEhLines::SetDataHorzColor);
  p.Color("DataVertColor", &TEhLines::DataVertColor, &TEhLines::SetDataVertColor);
}

class TEhBand : public TPersistent {  // indicator and title parameters
  DECLARE_CLASS(TEhBand, TPersistent)
public:
  COLOUR_PROP(Color, clBtnFace)
  COLOUR_PROP(SecondColor, clYellow)
  COLOUR_PROP(VertLineColor, clNavy)
  bool HorzLines() const { return FHorz; }
  void SetHorzLines(bool V) { FHorz = V; }
  bool VertLines() const { return FVert; }
  void SetVertLines(bool V) { FVert = V; }
  int FillStyle() const { return FFill; }
  void SetFillStyle(int V) { FFill = V; }
  bool FHorz = true, FVert = true;
  int FFill = 0;
};
PUBLISHED(TEhBand) {
  p.Color("Color", &TEhBand::Color, &TEhBand::SetColor);
  p.Color("SecondColor", &TEhBand::SecondColor, &TEhBand::SetSecondColor);
  p.Color("VertLineColor", &TEhBand::VertLineColor, &TEhBand::SetVertLineColor);
  p.Bool("HorzLines", &TEhBand::HorzLines, &TEhBand::SetHorzLines);
  p.Bool("VertLines", &TEhBand::VertLines, &TEhBand::SetVertLines);
  p.Enum("FillStyle", &TEhBand::FillStyle, &TEhBand::SetFillStyle, kFillStyles);
}

class TEhPart : public TPersistent {  // grouping, categories and the detail panel
  DECLARE_CLASS(TEhPart, TPersistent)
public:
  COLOUR_PROP(Color, clInfoBk)
  bool ParentColor() const { return FParent; }
  void SetParentColor(bool V) { FParent = V; }
  TFont* Font() const { return FFont.get(); }
  bool FParent = true;
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};
PUBLISHED(TEhPart) {
  p.Color("Color", &TEhPart::Color, &TEhPart::SetColor);
  p.Bool("ParentColor", &TEhPart::ParentColor, &TEhPart::SetParentColor);
  p.Object("Font", &TEhPart::Font);
}

class TStandInGrid : public TWinControl {
  DECLARE_CLASS(TStandInGrid, TWinControl)
public:
  explicit TStandInGrid(TComponent* AOwner) : TWinControl(AOwner) {}
  COLOUR_PROP(EvenRowColor, clNone)
  COLOUR_PROP(OddRowColor, static_cast<TColor>(0xF0FBFF))
  int OptionsEh() const { return FOptions; }
  void SetOptionsEh(int V) { FOptions = V; }
  TEhLines* GridLineParams() { return &FLines; }
  TEhBand* IndicatorParams() { return &FIndicator; }
  TEhBand* TitleParams() { return &FTitle; }
  TEhPart* DataGrouping() { return &FGrouping; }
  TEhPart* RowCategories() { return &FCategories; }
  TEhPart* RowDetailPanel() { return &FDetail; }
  int FOptions = 1;  // dghFixed3D
  TEhLines FLines;
  TEhBand FIndicator, FTitle;
  TEhPart FGrouping, FCategories, FDetail;

protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL;
  }
};
PUBLISHED(TStandInGrid) {
  p.Color("EvenRowColor", &TStandInGrid::EvenRowColor, &TStandInGrid::SetEvenRowColor);
  p.Color("OddRowColor", &TStandInGrid::OddRowColor, &TStandInGrid::SetOddRowColor);
  p.Set("OptionsEh", &TStandInGrid::OptionsEh, &TStandInGrid::SetOptionsEh, {"dghFixed3D", "dghFooter3D"});
  p.Object("GridLineParams", &TStandInGrid::GridLineParams);
  p.Object("IndicatorParams", &TStandInGrid::IndicatorParams);
  p.Object("TitleParams", &TStandInGrid::TitleParams);
  p.Object("DataGrouping", &TStandInGrid::DataGrouping);
  p.Object("RowCategories", &TStandInGrid::RowCategories);
  p.Object("RowDetailPanel", &TStandInGrid::RowDetailPanel);
}

class TTreeColors : public TPersistent {
  DECLARE_CLASS(TTreeColors, TPersistent)
public:
  COLOUR_PROP(HotColor, clBlack)
  COLOUR_PROP(FocusedSelectionColor, clHighlight)
  COLOUR_PROP(UnfocusedSelectionColor, clBtnFace)
  COLOUR_PROP(FocusedSelectionBorderColor, clHighlight)
  COLOUR_PROP(UnfocusedSelectionBorderColor, clBtnFace)
  COLOUR_PROP(SelectionTextColor, clHighlightText)
  COLOUR_PROP(FileTextColor, clWindowText)
  COLOUR_PROP(FolderTextColor, clWindowText)
  COLOUR_PROP(CompressedTextColor, clBlue)
};
PUBLISHED(TTreeColors) {
  p.Color("HotColor", &TTreeColors::HotColor, &TTreeColors::SetHotColor);
  p.Color("FocusedSelectionColor", &TTreeColors::FocusedSelectionColor, &TTreeColors::SetFocusedSelectionColor);
  p.Color("UnfocusedSelectionColor", &TTreeColors::UnfocusedSelectionColor, &TTreeColors::SetUnfocusedSelectionColor);
  p.Color("FocusedSelectionBorderColor", &TTreeColors::FocusedSelectionBorderColor,
          &TTreeColors::SetFocusedSelectionBorderColor);
  p.Color("UnfocusedSelectionBorderColor", &TTreeColors::UnfocusedSelectionBorderColor,
          &TTreeColors::SetUnfocusedSelectionBorderColor);
  p.Color("SelectionTextColor", &TTreeColors::SelectionTextColor, &TTreeColors::SetSelectionTextColor);
  p.Color("FileTextColor", &TTreeColors::FileTextColor, &TTreeColors::SetFileTextColor);
  p.Color("FolderTextColor", &TTreeColors::FolderTextColor, &TTreeColors::SetFolderTextColor);
  p.Color("CompressedTextColor", &TTreeColors::CompressedTextColor, &TTreeColors::SetCompressedTextColor);
}

class TTreeHeader : public TPersistent {
  DECLARE_CLASS(TTreeHeader, TPersistent)
public:
  int Options() const { return FOptions; }
  void SetOptions(int V) { FOptions = V; }
  int Height() const { return 20; }
  TFont* Font() const { return FFont.get(); }
  int FOptions = 2;  // hoVisible
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};
PUBLISHED(TTreeHeader) {
  p.Set("Options", &TTreeHeader::Options, &TTreeHeader::SetOptions, {"hoOwnerDraw", "hoVisible"});
  p.Int("Height", &TTreeHeader::Height, nullptr);
  p.Object("Font", &TTreeHeader::Font);
}

class TTreeColumn : public TPersistent {
  DECLARE_CLASS(TTreeColumn, TPersistent)
public:
  const std::string& Text() const { return FText; }
  void SetText(const std::string& V) { FText = V; }
  int Options() const { return FOptions; }
  void SetOptions(int V) { FOptions = V; }
  int SortDirection() const { return FSort; }
  void SetSortDirection(int V) { FSort = V; }
  std::string FText;
  int FOptions = 0, FSort = 0;
};
PUBLISHED(TTreeColumn) {
  p.Str("Text", &TTreeColumn::Text, &TTreeColumn::SetText);
  p.Set("Options", &TTreeColumn::Options, &TTreeColumn::SetOptions, {"coWrapCaption", "coVisible"});
  p.Enum("SortDirection", &TTreeColumn::SortDirection, &TTreeColumn::SetSortDirection, {"sdAscending", "sdDescending"});
}

class TStandInTree : public TWinControl {
  DECLARE_CLASS(TStandInTree, TWinControl)
public:
  explicit TStandInTree(TComponent* AOwner) : TWinControl(AOwner) {}
  TTreeColors* Colors() { return &FColors; }
  TTreeColors* VETColors() { return &FColors; }
  TTreeHeader* Header() { return &FHeader; }
  TTreeColors FColors;
  TTreeHeader FHeader;
  TvkAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
  TvkHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;

protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL;
  }
};
PUBLISHED(TStandInTree) {
  p.Object("Colors", &TStandInTree::Colors);
  p.Object("VETColors", &TStandInTree::VETColors);
  p.Object("Header", &TStandInTree::Header);
  p.Event("OnAdvancedHeaderDraw", &TStandInTree::OnAdvancedHeaderDraw);
  p.Event("OnHeaderDrawQueryElements", &TStandInTree::OnHeaderDrawQueryElements);
}

class ExtGrids : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    ShowForm();
  }
  template <class T> T* Adapt(TWinControl* C) {
    C->SetParent(Form);
    C->SetBounds(5, 5, 150, 100);
    return SkinnedAdapterTest::Adapt<T>(C->Handle(), "EDIT", C);
  }
};

TEST_F(ExtGrids, GridColoursAndOptionsWrittenByNameAndPutBack) {
  for (bool EqualRows : {false, true}) {
    auto* G = new TStandInGrid(Form);
    if (EqualRows) G->SetOddRowColor(clWindow);  // none counts as the window colour
    auto* A = Adapt<TvkGridEhWnd>(G);
    A->ApplySkinParams();
    const uint32_t Main = M->PaletteColor(pcMainColor);
    if (EqualRows) {
      EXPECT_EQ(clNone, G->EvenRowColor());
      EXPECT_EQ(clWindow, G->OddRowColor());
    } else {
      EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcEditBGEven)), G->EvenRowColor());
      EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcEditBGOdd)), G->OddRowColor());
    }
    EXPECT_EQ(AreThemesEnabled() ? 0 : 1, G->OptionsEh() & 1);
    EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcGridLine)), G->FLines.DataHorzColor());
    EXPECT_EQ(static_cast<TColor>(WeightedColorMix(0, static_cast<uint32_t>(M->SkinBaseColor()), 77)),
              G->FLines.DarkColor());
    EXPECT_EQ(static_cast<TColor>(Main), G->FIndicator.Color());
    EXPECT_FALSE(G->FIndicator.HorzLines());
    EXPECT_EQ(2, G->FIndicator.FillStyle());
    EXPECT_EQ(3, G->FTitle.FillStyle());
    EXPECT_EQ(static_cast<TColor>(WeightedColorMix(0xFFFFFF, Main, 26)), G->FCategories.Color());
    EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcLabelText)), G->FCategories.FFont->Color());
    EXPECT_EQ(static_cast<TColor>(Main), G->FDetail.Color());
    A->RestoreControlParams();
    EXPECT_EQ(1, G->OptionsEh() & 1);
    EXPECT_EQ(clNone, G->EvenRowColor());  // a colour of none comes back as none
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(EqualRows ? clWindow : static_cast<TColor>(0xF0FBFF))), G->OddRowColor());
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clSilver)), G->FLines.DataHorzColor());
    EXPECT_TRUE(G->FIndicator.HorzLines());
    EXPECT_EQ(0, G->FTitle.FillStyle());
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clInfoBk)), G->FDetail.Color());
  }
}

TEST_F(ExtGrids, TreeHeaderHandlersOnlyWhereNoneWereAndRemovedWithTheSkin) {
  auto* Own = new TStandInTree(Form);
  bool OwnDrawn = false;
  Own->OnAdvancedHeaderDraw = [&](TObject*, TvkHeaderPaintInfo&, int) { OwnDrawn = true; };
  auto* A = Adapt<TvkVirtualTreeViewWnd>(Own);
  A->ApplySkinParams();
  TvkHeaderPaintInfo Info;
  Own->OnAdvancedHeaderDraw(Own, Info, 0);
  EXPECT_TRUE(OwnDrawn);
  EXPECT_TRUE(Own->OnHeaderDrawQueryElements.IsNull());
  EXPECT_EQ(0, Own->FHeader.Options() & 1);  // no owner drawing added
  A->RestoreControlParams();
  EXPECT_FALSE(Own->OnAdvancedHeaderDraw.IsNull());

  auto* T = new TStandInTree(Form);
  auto* B = Adapt<TvkVirtualTreeViewWnd>(T);
  B->ApplySkinParams();
  ASSERT_FALSE(T->OnAdvancedHeaderDraw.IsNull());
  int Elements = 0;
  T->OnHeaderDrawQueryElements(T, Info, Elements);
  EXPECT_EQ(27, Elements);
  EXPECT_EQ(1, T->FHeader.Options() & 1);
  EXPECT_EQ(M->SelectionBackColor(true), T->FColors.FocusedSelectionColor());
  EXPECT_EQ(static_cast<TColor>(clBtnFace), T->FColors.UnfocusedSelectionColor());  // not the system highlight
  EXPECT_EQ(M->SelectionTextColor(true), T->FColors.SelectionTextColor());
  B->RestoreControlParams();
  EXPECT_TRUE(T->OnAdvancedHeaderDraw.IsNull());
  EXPECT_TRUE(T->OnHeaderDrawQueryElements.IsNull());
  EXPECT_EQ(0, T->FHeader.Options() & 1);
  EXPECT_EQ(clHighlight, T->FColors.FocusedSelectionColor());
  EXPECT_EQ(clHighlightText, T->FColors.SelectionTextColor());
}

TEST_F(ExtGrids, HeaderDrawnFromTheColumnHeaderSectionWithBothSortArrows) {
  auto* T = new TStandInTree(Form);
  auto* A = Adapt<TvkVirtualTreeViewWnd>(T);
  A->ApplySkinParams();
  TTreeColumn Column;
  Column.SetText("Port");
  TBitmap Target;
  Target.SetPixelFormat(pf32bit);
  Target.SetSize(80, 20);
  TvkHeaderPaintInfo Info;
  Info.TargetCanvas = Target.Canvas();
  Info.PaintRectangle = TRect(0, 0, 80, 20);
  Info.Column = &Column;
  auto Px = [&](int X, int Y) { return static_cast<uint32_t*>(Target.ScanLine(Y))[X] & 0xFFFFFF; };
  // The background in the three states of the column.
  for (int State = 0; State < 3; ++State) {
    Info.IsDownIndex = State == 2;
    Info.IsHoverIndex = State == 1;
    T->OnAdvancedHeaderDraw(T, Info, hpeBackground);
    EXPECT_EQ((0xC10001u | (State << 14)), Px(40, 10)) << State;
  }
  // Over that background, the sort arrow of each direction at the right end.
  Info.IsDownIndex = Info.IsHoverIndex = false;
  Info.ShowSortGlyph = true;
  std::vector<uint32_t> Arrows;
  for (int Dir : {0, 1}) {
    Column.SetSortDirection(Dir);
    T->OnAdvancedHeaderDraw(T, Info, hpeBackground);
    T->OnAdvancedHeaderDraw(T, Info, hpeSortGlyph);
    uint32_t Sum = 0;
    int Marked = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 60; x < 80; ++x)
        if (Px(x, y) != 0xC10001u) {
          ++Marked;
          Sum += y * 31 + x;
        }
    EXPECT_GT(Marked, 2) << Dir;
    Arrows.push_back(Sum);
  }
  EXPECT_NE(Arrows[0], Arrows[1]);  // the two directions differ
  // Without a canvas nothing is drawn and nothing fails.
  Info.TargetCanvas = nullptr;
  T->OnAdvancedHeaderDraw(T, Info, hpeBackground);
}

// A header section that lets what lies below show through is painted over the canvas's own pixels, for a column as
// for the empty area beside the columns.
TEST_F(AdapterTest, ASeeThroughHeaderShowsTheCanvasBelowIt) {
  engine_test::TempFolder Dir;
  ManagerPtr M = TextSkinManager(Dir.Sub("CLEARHEADER"), "[EDIT]\nSTATES=1\nCOLOR=$FFFFFF\n"
                                                         "[COLHEADER]\nSTATES=1\nTRANSPARENCY=100\nCOLOR=$000000\n");
  ASSERT_GE(M->FindSectionIndex("COLHEADER"), 0);
  TForm* Form = TForm::CreateNew(Application);
  Form->SetBounds(40, 40, 300, 200);
  Form->Show();
  auto* T = new TStandInTree(Form);
  T->SetParent(Form);
  T->SetBounds(5, 5, 150, 100);
  TvkSkinParams P;
  P.SkinSection = "EDIT";
  P.Control = T;
  auto* A = CreateAdapter<TvkVirtualTreeViewWnd>(T->Handle(), nullptr, M.get(), P, true);
  A->ApplySkinParams();
  ASSERT_TRUE(A->SkinData->IsSkinned());
  TTreeColumn Column;
  TBitmap Target;
  Target.SetPixelFormat(pf32bit);
  Target.SetSize(80, 20);
  TvkHeaderPaintInfo Info;
  Info.TargetCanvas = Target.Canvas();
  Info.PaintRectangle = TRect(0, 0, 80, 20);
  for (TObject* C : {static_cast<TObject*>(&Column), static_cast<TObject*>(nullptr)}) {
    Target.Canvas()->Brush()->SetColor(static_cast<TColor>(0x563412));
    Target.Canvas()->FillRect(TRect(0, 0, 80, 20));
    Info.Column = C;
    T->OnAdvancedHeaderDraw(T, Info, hpeBackground);
    EXPECT_EQ(0x123456u, static_cast<uint32_t*>(Target.ScanLine(10))[40] & 0xFFFFFF) << (C != nullptr ? "column" : "area");
  }
  A->Free();
  Form->Free();
}

TEST_F(ExtGrids, TwentySkinRoundsLeaveColoursHandlersAndCountersAsTheyWere) {
  auto* G = new TStandInGrid(Form);
  auto* T = new TStandInTree(Form);
  auto* Own = new TStandInTree(Form);
  int OwnDrawn = 0;
  Own->OnAdvancedHeaderDraw = [&](TObject*, TvkHeaderPaintInfo&, int) { ++OwnDrawn; };
  int Y = 0;
  for (TWinControl* C : std::initializer_list<TWinControl*>{G, T, Own}) {
    C->SetParent(Form);
    C->SetBounds(5, Y, 150, 50);
    Y += 55;
  }
  const TWndMethod Methods[] = {G->WindowProc, T->WindowProc, Own->WindowProc};
  testing_support::Dib32 D(150, 50);
  auto Params = [](TControl* C) {
    TvkSkinParams P;
    P.SkinSection = "EDIT";
    P.Control = C;
    return P;
  };
  auto Round = [&] {
    TvkMainWnd* Made[] = {CreateAdapter<TvkGridEhWnd>(G->Handle(), nullptr, M.get(), Params(G), true),
                          CreateAdapter<TvkVirtualTreeViewWnd>(T->Handle(), nullptr, M.get(), Params(T), true),
                          CreateAdapter<TvkVirtualTreeViewWnd>(Own->Handle(), nullptr, M.get(), Params(Own), true)};
    for (TvkMainWnd* A : Made) {
      A->ApplySkinParams();
      PrintWindowTo(A->CtrlHandle, D);
      A->PerformMessage(SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_DROPPED), reinterpret_cast<LPARAM>(M.get()));
      A->Free();
    }
  };
  // The first round turns the grid's unset colour into the window colour it stands for.
  Round();
  const TColor Even = G->EvenRowColor(), Odd = G->OddRowColor(), Line = G->FLines.DataHorzColor();
  const TColor Indicator = G->FIndicator.Color(), Detail = G->FDetail.Color();
  const int Options = G->OptionsEh(), Header = T->FHeader.Options();
  const TColor Focused = T->FColors.FocusedSelectionColor();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(20, Round));
  EXPECT_EQ(Even, G->EvenRowColor());
  EXPECT_EQ(Odd, G->OddRowColor());
  EXPECT_EQ(Line, G->FLines.DataHorzColor());
  EXPECT_EQ(Indicator, G->FIndicator.Color());
  EXPECT_EQ(Detail, G->FDetail.Color());
  EXPECT_EQ(Options, G->OptionsEh());
  EXPECT_EQ(Header, T->FHeader.Options());
  EXPECT_EQ(Focused, T->FColors.FocusedSelectionColor());
  EXPECT_TRUE(T->OnAdvancedHeaderDraw.IsNull());
  EXPECT_TRUE(T->OnHeaderDrawQueryElements.IsNull());
  const TWinControl* Controls[] = {G, T, Own};
  for (size_t I = 0; I < 3; ++I) EXPECT_TRUE(Methods[I] == Controls[I]->WindowProc) << I;
  TvkHeaderPaintInfo Info;
  Own->OnAdvancedHeaderDraw(Own, Info, 0);
  EXPECT_EQ(1, OwnDrawn) << "the tree's own handler is its own again";
}

}  // namespace
