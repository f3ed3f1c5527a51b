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

// ---- stand-ins: plain fields behind the published names ----

// Colour properties published over the class's fields.
template <class C>
void PublishColours(TPublisher<C>& p, std::initializer_list<std::pair<const char*, TColor C::*>> Fields) {
  for (const auto& [Name, Field] : Fields) p.Color(Name, Field, Writes(Field));
}

const std::vector<std::string> kFillStyles = {"fsDefault", "fsSolid", "fsGradient", "fsThemed"};

class TEhLines : public TPersistent {
  DECLARE_CLASS(TEhLines, TPersistent)
public:
  TColor FDarkColor = clBlack, FBrightColor = clWhite, FDataHorzColor = clSilver, FDataVertColor = clGray;
};
PUBLISHED(TEhLines) {
  PublishColours(p, {{"DarkColor", &TEhLines::FDarkColor}, {"BrightColor", &TEhLines::FBrightColor},
                     {"DataHorzColor", &TEhLines::FDataHorzColor}, {"DataVertColor", &TEhLines::FDataVertColor}});
}

class TEhBand : public TPersistent {  // indicator and title parameters
  DECLARE_CLASS(TEhBand, TPersistent)
public:
  TColor FColor = clBtnFace, FSecondColor = clYellow, FVertLineColor = clNavy;
  bool FHorzLines = true, FVertLines = true;
  int FFillStyle = 0;
};
PUBLISHED(TEhBand) {
  PublishColours(p, {{"Color", &TEhBand::FColor}, {"SecondColor", &TEhBand::FSecondColor},
                     {"VertLineColor", &TEhBand::FVertLineColor}});
  p.Bool(OVER_FIELD(TEhBand, HorzLines));
  p.Bool(OVER_FIELD(TEhBand, VertLines));
  p.Enum(OVER_FIELD(TEhBand, FillStyle), kFillStyles);
}

class TEhPart : public TPersistent {  // grouping, categories and the detail panel
  DECLARE_CLASS(TEhPart, TPersistent)
public:
  TFont* Font() const { return FFont.get(); }
  TColor FColor = clInfoBk;
  bool FParentColor = true;
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};
PUBLISHED(TEhPart) {
  p.Color(OVER_FIELD(TEhPart, Color));
  p.Bool(OVER_FIELD(TEhPart, ParentColor));
  p.Object("Font", &TEhPart::Font);
}

class TStandInGrid : public TScrollingControl {
  DECLARE_CLASS(TStandInGrid, TScrollingControl)
public:
  using TScrollingControl::TScrollingControl;
  TColor FEvenRowColor = clNone, FOddRowColor = static_cast<TColor>(0xF0FBFF);
  int FOptionsEh = 1;  // dghFixed3D
  TEhLines FLines;
  TEhBand FIndicator, FTitle;
  TEhPart FGrouping, FCategories, FDetail;
};
PUBLISHED(TStandInGrid) {
  p.Color(OVER_FIELD(TStandInGrid, EvenRowColor));
  p.Color(OVER_FIELD(TStandInGrid, OddRowColor));
  p.Set(OVER_FIELD(TStandInGrid, OptionsEh), {"dghFixed3D", "dghFooter3D"});
  p.Object("GridLineParams", [](TStandInGrid* G) { return &G->FLines; });
  p.Object("IndicatorParams", [](TStandInGrid* G) { return &G->FIndicator; });
  p.Object("TitleParams", [](TStandInGrid* G) { return &G->FTitle; });
  p.Object("DataGrouping", [](TStandInGrid* G) { return &G->FGrouping; });
  p.Object("RowCategories", [](TStandInGrid* G) { return &G->FCategories; });
  p.Object("RowDetailPanel", [](TStandInGrid* G) { return &G->FDetail; });
}

class TTreeColors : public TPersistent {
  DECLARE_CLASS(TTreeColors, TPersistent)
public:
  TColor FHotColor = clBlack, FFocusedSelectionColor = clHighlight, FUnfocusedSelectionColor = clBtnFace;
  TColor FFocusedSelectionBorderColor = clHighlight, FUnfocusedSelectionBorderColor = clBtnFace;
  TColor FSelectionTextColor = clHighlightText, FFileTextColor = clWindowText, FFolderTextColor = clWindowText;
  TColor FCompressedTextColor = clBlue;
};
PUBLISHED(TTreeColors) {
  using C = TTreeColors;
  PublishColours(p, {{"HotColor", &C::FHotColor}, {"FocusedSelectionColor", &C::FFocusedSelectionColor},
                     {"UnfocusedSelectionColor", &C::FUnfocusedSelectionColor},
                     {"FocusedSelectionBorderColor", &C::FFocusedSelectionBorderColor},
                     {"UnfocusedSelectionBorderColor", &C::FUnfocusedSelectionBorderColor},
                     {"SelectionTextColor", &C::FSelectionTextColor}, {"FileTextColor", &C::FFileTextColor},
                     {"FolderTextColor", &C::FFolderTextColor}, {"CompressedTextColor", &C::FCompressedTextColor}});
}

class TTreeHeader : public TPersistent {
  DECLARE_CLASS(TTreeHeader, TPersistent)
public:
  TFont* Font() const { return FFont.get(); }
  int FOptions = 2;  // hoVisible
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};
PUBLISHED(TTreeHeader) {
  p.Set(OVER_FIELD(TTreeHeader, Options), {"hoOwnerDraw", "hoVisible"});
  p.Int("Height", [](TTreeHeader*) { return 20; }, nullptr);
  p.Object("Font", &TTreeHeader::Font);
}

class TTreeColumn : public TPersistent {
  DECLARE_CLASS(TTreeColumn, TPersistent)
public:
  std::string FText;
  int FOptions = 0, FSortDirection = 0;
};
PUBLISHED(TTreeColumn) {
  p.Str(OVER_FIELD(TTreeColumn, Text));
  p.Set(OVER_FIELD(TTreeColumn, Options), {"coWrapCaption", "coVisible"});
  p.Enum(OVER_FIELD(TTreeColumn, SortDirection), {"sdAscending", "sdDescending"});
}

class TStandInTree : public TScrollingControl {
  DECLARE_CLASS(TStandInTree, TScrollingControl)
public:
  using TScrollingControl::TScrollingControl;
  TTreeColors FColors;
  TTreeHeader FHeader;
  TvkAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
  TvkHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
};
PUBLISHED(TStandInTree) {
  p.Object("Colors", [](TStandInTree* T) { return &T->FColors; });
  p.Object("VETColors", [](TStandInTree* T) { return &T->FColors; });
  p.Object("Header", [](TStandInTree* T) { return &T->FHeader; });
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

// An 80 x 20 32-bit canvas a header section is drawn on.
struct THeaderCanvas {
  THeaderCanvas() {
    Target.SetPixelFormat(pf32bit);
    Target.SetSize(80, 20);
    Info.TargetCanvas = Target.Canvas();
    Info.PaintRectangle = TRect(0, 0, 80, 20);
  }
  uint32_t Px(int X, int Y) { return static_cast<uint32_t*>(Target.ScanLine(Y))[X] & 0xFFFFFF; }
  TBitmap Target;
  TvkHeaderPaintInfo Info;
};

TEST_F(ExtGrids, GridColoursAndOptionsWrittenByNameAndPutBack) {
  for (bool EqualRows : {false, true}) {
    auto* G = new TStandInGrid(Form);
    if (EqualRows) G->FOddRowColor = clWindow;  // none counts as the window colour
    auto* A = Adapt<TvkGridEhWnd>(G);
    A->ApplySkinParams();
    const uint32_t Main = M->PaletteColor(pcMainColor);
    if (EqualRows) {
      EXPECT_EQ(clNone, G->FEvenRowColor);
      EXPECT_EQ(clWindow, G->FOddRowColor);
    } else {
      EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcEditBGEven)), G->FEvenRowColor);
      EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcEditBGOdd)), G->FOddRowColor);
    }
    EXPECT_EQ(AreThemesEnabled() ? 0 : 1, G->FOptionsEh & 1);
    EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcGridLine)), G->FLines.FDataHorzColor);
    EXPECT_EQ(static_cast<TColor>(WeightedColorMix(0, static_cast<uint32_t>(M->SkinBaseColor()), 77)),
              G->FLines.FDarkColor);
    EXPECT_EQ(static_cast<TColor>(Main), G->FIndicator.FColor);
    EXPECT_FALSE(G->FIndicator.FHorzLines);
    EXPECT_EQ(2, G->FIndicator.FFillStyle);
    EXPECT_EQ(3, G->FTitle.FFillStyle);
    EXPECT_EQ(static_cast<TColor>(WeightedColorMix(0xFFFFFF, Main, 26)), G->FCategories.FColor);
    EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcLabelText)), G->FCategories.FFont->Color());
    EXPECT_EQ(static_cast<TColor>(Main), G->FDetail.FColor);
    A->RestoreControlParams();
    EXPECT_EQ(1, G->FOptionsEh & 1);
    EXPECT_EQ(clNone, G->FEvenRowColor);  // a colour of none comes back as none
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(EqualRows ? clWindow : static_cast<TColor>(0xF0FBFF))), G->FOddRowColor);
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clSilver)), G->FLines.FDataHorzColor);
    EXPECT_TRUE(G->FIndicator.FHorzLines);
    EXPECT_EQ(0, G->FTitle.FFillStyle);
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clInfoBk)), G->FDetail.FColor);
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
  EXPECT_EQ(0, Own->FHeader.FOptions & 1);  // no owner drawing added
  A->RestoreControlParams();
  EXPECT_FALSE(Own->OnAdvancedHeaderDraw.IsNull());

  auto* T = new TStandInTree(Form);
  auto* B = Adapt<TvkVirtualTreeViewWnd>(T);
  B->ApplySkinParams();
  ASSERT_FALSE(T->OnAdvancedHeaderDraw.IsNull());
  int Elements = 0;
  T->OnHeaderDrawQueryElements(T, Info, Elements);
  EXPECT_EQ(27, Elements);
  EXPECT_EQ(1, T->FHeader.FOptions & 1);
  EXPECT_EQ(M->SelectionBackColor(true), T->FColors.FFocusedSelectionColor);
  EXPECT_EQ(static_cast<TColor>(clBtnFace), T->FColors.FUnfocusedSelectionColor);  // not the system highlight
  EXPECT_EQ(M->SelectionTextColor(true), T->FColors.FSelectionTextColor);
  B->RestoreControlParams();
  EXPECT_TRUE(T->OnAdvancedHeaderDraw.IsNull());
  EXPECT_TRUE(T->OnHeaderDrawQueryElements.IsNull());
  EXPECT_EQ(0, T->FHeader.FOptions & 1);
  EXPECT_EQ(clHighlight, T->FColors.FFocusedSelectionColor);
  EXPECT_EQ(clHighlightText, T->FColors.FSelectionTextColor);
}

TEST_F(ExtGrids, HeaderDrawnFromTheColumnHeaderSectionWithBothSortArrows) {
  auto* T = new TStandInTree(Form);
  auto* A = Adapt<TvkVirtualTreeViewWnd>(T);
  A->ApplySkinParams();
  TTreeColumn Column;
  Column.FText = "Port";
  THeaderCanvas H;
  TvkHeaderPaintInfo& Info = H.Info;
  Info.Column = &Column;
  // The background in the three states of the column.
  for (int State = 0; State < 3; ++State) {
    Info.IsDownIndex = State == 2;
    Info.IsHoverIndex = State == 1;
    T->OnAdvancedHeaderDraw(T, Info, hpeBackground);
    EXPECT_EQ((0xC10001u | (State << 14)), H.Px(40, 10)) << State;
  }
  // Over that background, the sort arrow of each direction at the right end.
  Info.IsDownIndex = Info.IsHoverIndex = false;
  Info.ShowSortGlyph = true;
  std::vector<uint32_t> Arrows;
  for (int Dir : {0, 1}) {
    Column.FSortDirection = Dir;
    T->OnAdvancedHeaderDraw(T, Info, hpeBackground);
    T->OnAdvancedHeaderDraw(T, Info, hpeSortGlyph);
    uint32_t Sum = 0;
    int Marked = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 60; x < 80; ++x)
        if (H.Px(x, y) != 0xC10001u) {
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
  TForm* Form = NewForm(40, 40, 300, 200);
  auto* T = Place<TStandInTree>(Form, 5, 5, 150, 100);
  auto* A = CreateAdapter<TvkVirtualTreeViewWnd>(T->Handle(), nullptr, M.get(), SkinParams("EDIT", T), true);
  A->ApplySkinParams();
  ASSERT_TRUE(A->SkinData->IsSkinned());
  TTreeColumn Column;
  THeaderCanvas H;
  for (TObject* C : {static_cast<TObject*>(&Column), static_cast<TObject*>(nullptr)}) {
    H.Target.Canvas()->Brush()->SetColor(static_cast<TColor>(0x563412));
    H.Target.Canvas()->FillRect(TRect(0, 0, 80, 20));
    H.Info.Column = C;
    T->OnAdvancedHeaderDraw(T, H.Info, hpeBackground);
    EXPECT_EQ(0x123456u, H.Px(40, 10)) << (C != nullptr ? "column" : "area");
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
  auto Round = [&] {
    TvkMainWnd* Made[] = {
        CreateAdapter<TvkGridEhWnd>(G->Handle(), nullptr, M.get(), SkinParams("EDIT", G), true),
        CreateAdapter<TvkVirtualTreeViewWnd>(T->Handle(), nullptr, M.get(), SkinParams("EDIT", T), true),
        CreateAdapter<TvkVirtualTreeViewWnd>(Own->Handle(), nullptr, M.get(), SkinParams("EDIT", Own), true)};
    for (TvkMainWnd* A : Made) {
      A->ApplySkinParams();
      PrintWindowTo(A->CtrlHandle, D);
      A->PerformMessage(SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_DROPPED), reinterpret_cast<LPARAM>(M.get()));
      A->Free();
    }
  };
  // The first round turns the grid's unset colour into the window colour it stands for.
  Round();
  // the even and odd rows, lines, indicator and detail colours and the options; the header options and selection
  auto Kept = [&] {
    return std::vector<int64_t>{G->FEvenRowColor, G->FOddRowColor,  G->FLines.FDataHorzColor,
                                G->FIndicator.FColor, G->FDetail.FColor, G->FOptionsEh,
                                T->FHeader.FOptions,  T->FColors.FFocusedSelectionColor};
  };
  const std::vector<int64_t> Before = Kept();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(20, Round));
  EXPECT_EQ(Before, Kept());
  EXPECT_TRUE(T->OnAdvancedHeaderDraw.IsNull());
  EXPECT_TRUE(T->OnHeaderDrawQueryElements.IsNull());
  const TWinControl* Controls[] = {G, T, Own};
  for (size_t I = 0; I < 3; ++I) EXPECT_TRUE(Methods[I] == Controls[I]->WindowProc) << I;
  TvkHeaderPaintInfo Info;
  Own->OnAdvancedHeaderDraw(Own, Info, 0);
  EXPECT_EQ(1, OwnDrawn) << "the tree's own handler is its own again";
}

}  // namespace
