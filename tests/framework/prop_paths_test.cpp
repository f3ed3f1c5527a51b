// Published properties by path and by element name, and what each control class publishes.
#include <gtest/gtest.h>

#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"

// Sub-objects two levels deep, as grids publish them.
class TTestGridTitle : public TPersistent {
  DECLARE_CLASS(TTestGridTitle, TPersistent)
public:
  TColor StartColor() const { return FStart; }
  void SetStartColor(TColor v) { FStart = v; }
  TColor FStart = clBtnFace;
};
PUBLISHED(TTestGridTitle) { p.Color("StartColor", &TTestGridTitle::StartColor, &TTestGridTitle::SetStartColor); }

class TTestGridStyle : public TPersistent {
  DECLARE_CLASS(TTestGridStyle, TPersistent)
public:
  TTestGridStyle() : FTitle(new TTestGridTitle()) {}
  ~TTestGridStyle() override { FTitle->Free(); }
  TTestGridTitle* Title() const { return FTitle; }
  TTestGridTitle* FTitle;
};
PUBLISHED(TTestGridStyle) { p.Object("Title", &TTestGridStyle::Title); }

enum TTestFill { fsNone, fsSolid, fsGradient };
using THeaderDrawEvent = TDelegate<void(TObject* Sender, int Column)>;
using TQueryEvent = TDelegate<void(TObject* Sender, int& Elements)>;

class TTestGrid : public TWinControl {
  DECLARE_CLASS(TTestGrid, TWinControl)
public:
  explicit TTestGrid(TComponent* AOwner) : TWinControl(AOwner), FStyle(new TTestGridStyle()) {}
  ~TTestGrid() override { FStyle->Free(); }
  TTestGridStyle* GridStyle() const { return FStyle; }
  TTestGridStyle* Missing() const { return nullptr; }
  TTestFill FillStyle() const { return FFill; }
  void SetFillStyle(TTestFill v) { FFill = v; }
  TTestGridStyle* FStyle;
  TTestFill FFill = fsNone;
  THeaderDrawEvent OnAdvancedHeaderDraw;
  TQueryEvent OnHeaderDrawQueryElements;
};
PUBLISHED(TTestGrid) {
  p.Object("GridStyle", &TTestGrid::GridStyle);
  p.Object("Missing", &TTestGrid::Missing);
  p.Enum("FillStyle", &TTestGrid::FillStyle, &TTestGrid::SetFillStyle, {"fsNone", "fsSolid", "fsGradient"});
  p.Event("OnAdvancedHeaderDraw", &TTestGrid::OnAdvancedHeaderDraw);
  p.Event("OnHeaderDrawQueryElements", &TTestGrid::OnHeaderDrawQueryElements);
}

// Stands for a painter that hooks a control's event by name and gives it back later.
struct THeaderPainter {
  std::vector<int> columns;
  void HeaderDraw(TObject*, int Column) { columns.push_back(Column); }
  void Other(TObject*, int Column) { columns.push_back(-Column); }
};

// Publishes a name no ancestor declares: a fault in the program, reported when the table is built.
class TBadPublisher : public TComponent {
  DECLARE_CLASS(TBadPublisher, TComponent)
public:
  using TComponent::TComponent;
};
PUBLISHED(TBadPublisher) { p.Publish("Caption"); }

namespace {

using PropPaths = UiTest;

TEST_F(PropPaths, PathsWalkObjectPropertiesAndAMissingStepMakesThePathAbsent) {
  TForm* form = NewForm();
  auto* grid = NewChild<TTestGrid>(form);
  EXPECT_TRUE(SetOrdProp(grid, "GridStyle.Title.StartColor", clRed));
  EXPECT_EQ(grid->GridStyle()->Title()->StartColor(), clRed);
  EXPECT_EQ(GetOrdProp(grid, "gridstyle.title.startcolor"), clRed) << "names are case-insensitive";
  EXPECT_EQ(GetObjectProp(grid, "GridStyle.Title"), grid->GridStyle()->Title());
  auto* edit = new TEdit(form);
  EXPECT_TRUE(SetOrdProp(edit, "Font.Color", clBlue));
  EXPECT_EQ(edit->Font()->Color(), clBlue);
  EXPECT_TRUE(SetSetProp(edit, "Font.Style", "fsBold, fsItalic"));
  EXPECT_EQ(GetSetProp(edit, "Font.Style"), "fsBold,fsItalic");
  EXPECT_EQ(GetOrdProp(edit, "Constraints.MinWidth"), 0);
  for (const char* absent : {"Nope.Color", "Width.Color", "Missing.Title", "GridStyle.", ".Color", "GridStyle.Nope"}) {
    EXPECT_FALSE(HasProperty(grid, absent)) << absent;
    EXPECT_EQ(GetOrdProp(grid, absent), -1) << absent;
    EXPECT_FALSE(SetOrdProp(grid, absent, 1)) << absent;
  }
  EXPECT_FALSE(HasProperty(nullptr, "Font.Color"));
  form->Free();
}

TEST_F(PropPaths, EnumerationsAreReadAndWrittenByElementName) {
  TTestGrid grid(nullptr);
  EXPECT_EQ(GetEnumProp(&grid, "FillStyle"), "fsNone");
  EXPECT_TRUE(SetEnumProp(&grid, "FillStyle", "FSGRADIENT"));
  EXPECT_EQ(grid.FillStyle(), fsGradient);
  EXPECT_THROW(SetEnumProp(&grid, "FillStyle", "fsWavy"), EPropertyError);
  EXPECT_EQ(grid.FillStyle(), fsGradient);
  EXPECT_FALSE(SetEnumProp(&grid, "GridStyle", "fsSolid")) << "not an enumeration";
  EXPECT_EQ(GetEnumProp(&grid, "Width"), "");
}

TEST_F(PropPaths, EventsAreReadSetAndClearedByNameWithTheirIdentity) {
  TTestGrid grid(nullptr);
  THeaderPainter painter, other;
  EXPECT_FALSE(GetMethodProp(&grid, "OnAdvancedHeaderDraw").Assigned());
  EXPECT_TRUE(SetMethodProp(&grid, "OnAdvancedHeaderDraw", THeaderDrawEvent(&painter, &THeaderPainter::HeaderDraw)));
  grid.OnAdvancedHeaderDraw(&grid, 3);
  EXPECT_EQ(painter.columns, std::vector<int>{3});
  const TMethod mine = GetMethodProp(&grid, "OnAdvancedHeaderDraw");
  EXPECT_TRUE(mine == THeaderDrawEvent(&painter, &THeaderPainter::HeaderDraw));
  EXPECT_FALSE(mine == THeaderDrawEvent(&other, &THeaderPainter::HeaderDraw)) << "another object";
  EXPECT_TRUE(mine.SameCode(THeaderDrawEvent(&other, &THeaderPainter::HeaderDraw)));
  EXPECT_FALSE(mine.SameCode(THeaderDrawEvent(&painter, &THeaderPainter::Other)));
  // Another handler, then the saved one put back untyped.
  grid.OnAdvancedHeaderDraw = THeaderDrawEvent(&other, &THeaderPainter::Other);
  EXPECT_TRUE(SetMethodProp(&grid, "OnAdvancedHeaderDraw", mine));
  grid.OnAdvancedHeaderDraw(&grid, 4);
  EXPECT_EQ(painter.columns, (std::vector<int>{3, 4}));
  EXPECT_TRUE(other.columns.empty());
  EXPECT_THROW(SetMethodProp(&grid, "OnHeaderDrawQueryElements", THeaderDrawEvent(&painter, &THeaderPainter::HeaderDraw)),
               EPropertyError);
  EXPECT_FALSE(grid.OnHeaderDrawQueryElements.Assigned());
  EXPECT_TRUE(ClearMethodProp(&grid, "OnAdvancedHeaderDraw"));
  EXPECT_TRUE(grid.OnAdvancedHeaderDraw.IsNull());
  EXPECT_EQ(grid.OnAdvancedHeaderDraw.Data(), nullptr);
  for (const char* absent : {"OnNothing", "FillStyle", "GridStyle.OnAdvancedHeaderDraw"}) {
    EXPECT_FALSE(GetMethodProp(&grid, absent).Assigned()) << absent;
    EXPECT_FALSE(ClearMethodProp(&grid, absent)) << absent;
    EXPECT_FALSE(SetMethodProp(&grid, absent, mine)) << absent;
  }
}

TEST_F(PropPaths, EachControlClassPublishesItsOwnShareOfCaptionTextColourFontAndMenu) {
  struct Row {
    const TClassInfo* cls;
    const char* published;
    const char* absent;
  } rows[] = {
      {TEdit::StaticClassInfo(), "Text Color Font PopupMenu PasswordChar BorderStyle", "Caption"},
      {TMemo::StaticClassInfo(), "Lines Color Font", "Caption Text"},
      {TComboBox::StaticClassInfo(), "Text Color Font", "Caption"},
      {TPanel::StaticClassInfo(), "Caption Color Font PopupMenu", "Text"},
      {TLabel::StaticClassInfo(), "Caption Color Font", "Text"},
      {TButton::StaticClassInfo(), "Caption Font PopupMenu", "Text Color"},
      {TBitBtn::StaticClassInfo(), "Caption Glyph NumGlyphs Layout Margin Spacing Kind", "Text Color"},
      {TForm::StaticClassInfo(), "Caption Color Font", "Text"},
      {TImage::StaticClassInfo(), "PopupMenu Picture", "Caption Text Color Font"},
      {TProgressBar::StaticClassInfo(), "PopupMenu", "Caption Text Color Font"},
      {TCheckBox::StaticClassInfo(), "Caption Color Font Checked State", "Text"},
      {TRadioButton::StaticClassInfo(), "Caption Color Font Checked", "Text"},
      {TGroupBox::StaticClassInfo(), "Caption Color Font", "Text"},
      {TStaticText::StaticClassInfo(), "Caption Color Font BevelKind BevelInner BevelOuter BorderStyle Alignment", "Text"},
      {TScrollBar::StaticClassInfo(), "Kind Min Max Position PageSize", "Caption Text Color Font"},
      {TSpeedButton::StaticClassInfo(), "Caption Font Glyph Down GroupIndex", "Text Color"},
      {TUpDown::StaticClassInfo(), "Associate Position", "Caption Text Color Font"},
      {TTabControl::StaticClassInfo(), "Tabs TabIndex Font OwnerDraw OnDrawTab", "Caption Text Color"},
      {TPageControl::StaticClassInfo(), "ActivePage Font", "Caption Text Color Tabs TabIndex"},
      {TTabSheet::StaticClassInfo(), "Caption Font", "Text Color"},
      {TListView::StaticClassInfo(), "Color Font Columns ViewStyle", "Caption Text"},
      {TTreeView::StaticClassInfo(), "Color Font", "Caption Text"},
      {TStatusBar::StaticClassInfo(), "Color Font Panels SimpleText", "Caption Text"},
  };
  auto words = [](const char* list) {
    std::vector<std::string> out;
    std::string w;
    for (const char* c = list;; ++c) {
      if (*c == ' ' || !*c) {
        if (!w.empty()) out.push_back(w);
        w.clear();
        if (!*c) return out;
      } else {
        w += *c;
      }
    }
  };
  for (const Row& r : rows) {
    for (const std::string& name : words(r.published)) EXPECT_NE(GetPropInfo(r.cls, name), nullptr) << r.cls->name << "." << name;
    for (const std::string& name : words(r.absent)) EXPECT_EQ(GetPropInfo(r.cls, name), nullptr) << r.cls->name << "." << name;
  }
  EXPECT_THROW(GetPropInfo(TBadPublisher::StaticClassInfo(), "Name"), EPropertyError);
}

}  // namespace
