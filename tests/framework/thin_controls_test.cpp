// Standard and common controls built from a stored description, shown, driven and read back.
#include <gtest/gtest.h>

#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/FormReader.h"
#include "framework/GraphicsGdi.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Dib32.h"

class TThinForm : public TForm {
  DECLARE_CLASS(TThinForm, TForm)
public:
  explicit TThinForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TCheckBox* CheckBox1 = nullptr;
  TRadioButton *Radio1 = nullptr, *Radio2 = nullptr, *Radio3 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TScrollBar* ScrollBar1 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TEdit *Edit1 = nullptr, *Edit2 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TTabControl* TabControl1 = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet *Sheet1 = nullptr, *Sheet2 = nullptr;
  TListView* ListView1 = nullptr;
  TTreeView* TreeView1 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TBitBtn* BitBtn1 = nullptr;
  TSpeedButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr;
  int clicks = 0;
  void Clicked(TObject*) { ++clicks; }
};

PUBLISHED(TThinForm) {
  p.Field("CheckBox1", &TThinForm::CheckBox1);
  p.Field("Radio1", &TThinForm::Radio1);
  p.Field("Radio2", &TThinForm::Radio2);
  p.Field("Radio3", &TThinForm::Radio3);
  p.Field("GroupBox1", &TThinForm::GroupBox1);
  p.Field("ScrollBar1", &TThinForm::ScrollBar1);
  p.Field("StaticText1", &TThinForm::StaticText1);
  p.Field("Edit1", &TThinForm::Edit1);
  p.Field("Edit2", &TThinForm::Edit2);
  p.Field("UpDown1", &TThinForm::UpDown1);
  p.Field("TabControl1", &TThinForm::TabControl1);
  p.Field("PageControl1", &TThinForm::PageControl1);
  p.Field("Sheet1", &TThinForm::Sheet1);
  p.Field("Sheet2", &TThinForm::Sheet2);
  p.Field("ListView1", &TThinForm::ListView1);
  p.Field("TreeView1", &TThinForm::TreeView1);
  p.Field("StatusBar1", &TThinForm::StatusBar1);
  p.Field("BitBtn1", &TThinForm::BitBtn1);
  p.Field("SpeedButton1", &TThinForm::SpeedButton1);
  p.Field("SpeedButton2", &TThinForm::SpeedButton2);
  p.Handler("Clicked", &TThinForm::Clicked);
}

namespace {

const char* const kThinForm = R"(object ThinForm: TThinForm
  ClientWidth = 640
  ClientHeight = 480
  object CheckBox1: TCheckBox
    Left = 8
    Top = 8
    Caption = 'Check'
    Alignment = taLeftJustify
    AllowGrayed = True
    State = cbGrayed
    OnClick = Clicked
  end
  object Radio1: TRadioButton
    Left = 8
    Top = 30
    Caption = 'One'
    Checked = True
  end
  object Radio2: TRadioButton
    Left = 120
    Top = 30
    Caption = 'Two'
  end
  object GroupBox1: TGroupBox
    Left = 8
    Top = 56
    Width = 150
    Height = 80
    Caption = 'Group'
    object Radio3: TRadioButton
      Left = 8
      Top = 24
      Caption = 'Inner'
      Checked = True
    end
  end
  object ScrollBar1: TScrollBar
    Left = 8
    Top = 140
    Width = 150
    Min = 10
    Max = 200
    Position = 50
    PageSize = 20
    SmallChange = 2
    LargeChange = 10
  end
  object StaticText1: TStaticText
    Left = 8
    Top = 160
    Width = 100
    Height = 24
    Caption = 'Static'
    Alignment = taCenter
    BorderStyle = sbsSunken
    BevelKind = bkTile
    BevelOuter = bvRaised
    BevelInner = bvLowered
  end
  object Edit1: TEdit
    Left = 8
    Top = 190
    Text = 'secret'
    PasswordChar = '*'
  end
  object Edit2: TEdit
    Left = 8
    Top = 216
    Width = 60
  end
  object UpDown1: TUpDown
    Left = 70
    Top = 216
    Associate = Edit2
    Max = 10
    Position = 3
  end
  object TabControl1: TTabControl
    Left = 170
    Top = 8
    Width = 200
    Height = 100
    TabPosition = tpBottom
    Tabs.Strings = (
      'A'
      'B'
      'C')
    TabIndex = 1
  end
  object PageControl1: TPageControl
    Left = 170
    Top = 110
    Width = 200
    Height = 120
    ActivePage = Sheet2
    object Sheet1: TTabSheet
      Caption = 'First'
    end
    object Sheet2: TTabSheet
      Caption = 'Second'
    end
  end
  object ListView1: TListView
    Left = 380
    Top = 8
    Color = clInfoBk
    ViewStyle = vsReport
    Columns = <
      item
        Caption = 'Name'
        Width = 80
      end
      item
        Alignment = taRightJustify
        Caption = 'Size'
        Width = 60
      end>
  end
  object TreeView1: TTreeView
    Left = 380
    Top = 170
    ShowRoot = False
  end
  object StatusBar1: TStatusBar
    SimpleText = 'Simple'
    Panels = <
      item
        Text = 'Ready'
        Width = 100
      end
      item
        Style = psOwnerDraw
        Width = 50
      end
      item
        Alignment = taRightJustify
        Text = 'Right'
      end>
  end
  object BitBtn1: TBitBtn
    Left = 8
    Top = 250
    Width = 80
    Height = 40
    Kind = bkOK
    Layout = blGlyphTop
    NumGlyphs = 2
  end
  object SpeedButton1: TSpeedButton
    Left = 100
    Top = 250
    GroupIndex = 1
    Down = True
    Caption = 'A'
  end
  object SpeedButton2: TSpeedButton
    Left = 130
    Top = 250
    GroupIndex = 1
    Caption = 'B'
  end
end
)";

class ThinControls : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    f = new TThinForm(Application);
    ReadComponentFromText(kThinForm, f);
    f->Show();
  }
  void TearDown() override {
    f->Free();
    UiTest::TearDown();
  }
  TThinForm* f = nullptr;
};

LRESULT Send(TWinControl* c, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(c->Handle(), msg, w, l); }
LONG StyleOf(TWinControl* c) { return GetWindowLongA(c->Handle(), GWL_STYLE); }

// A notification as the control's parent hands it back to the control.
LRESULT Notify(TWinControl* c, UINT code) {
  NMHDR h{c->Handle(), c->ControlID(), code};
  return c->Perform(CN_NOTIFY, c->ControlID(), reinterpret_cast<LPARAM>(&h));
}

TEST_F(ThinControls, CheckBoxKeepsItsStateAcrossRecreationAndCyclesThroughGrayed) {
  TCheckBox* c = f->CheckBox1;
  EXPECT_EQ(WindowClassOf(c->Handle()), "TCheckBox");
  EXPECT_EQ(Send(c, BM_GETCHECK), BST_INDETERMINATE);
  EXPECT_TRUE(StyleOf(c) & BS_LEFTTEXT);
  c->SetAlignment(taRightJustify);  // a new window
  EXPECT_FALSE(StyleOf(c) & BS_LEFTTEXT);
  EXPECT_EQ(Send(c, BM_GETCHECK), BST_INDETERMINATE);
  const TCheckBoxState cycle[] = {cbUnchecked, cbChecked, cbGrayed, cbUnchecked};
  for (TCheckBoxState expected : cycle) {
    c->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
    EXPECT_EQ(c->State(), expected);
    EXPECT_EQ(Send(c, BM_GETCHECK), static_cast<LRESULT>(expected));
  }
  EXPECT_EQ(f->clicks, 4);
  c->SetAllowGrayed(false);
  c->SetChecked(true);
  c->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
  EXPECT_EQ(c->State(), cbUnchecked);
}

TEST_F(ThinControls, CheckingARadioButtonUnchecksOnlyItsSiblings) {
  EXPECT_EQ(Send(f->Radio1, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(Send(f->Radio3, BM_GETCHECK), BST_CHECKED);
  f->Radio2->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
  EXPECT_TRUE(f->Radio2->Checked());
  EXPECT_FALSE(f->Radio1->Checked());
  EXPECT_EQ(Send(f->Radio1, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_TRUE(f->Radio3->Checked()) << "another parent";
  f->Radio2->SetAlignment(taLeftJustify);
  EXPECT_EQ(Send(f->Radio2, BM_GETCHECK), BST_CHECKED);
}

TEST_F(ThinControls, GroupBoxIsAFrameworkPaintedContainerWithItsCaptionOnTheFrame) {
  TGroupBox* g = f->GroupBox1;
  EXPECT_EQ(WindowClassOf(g->Handle()), "TGroupBox");
  EXPECT_EQ(f->Radio3->Parent(), g);
  EXPECT_EQ(GetParent(f->Radio3->Handle()), g->Handle());
  testing_support::Dib32 dib(g->Width(), g->Height());
  g->PaintTo(dib.DC(), 0, 0);
  const int line = TCanvas::FontTextExtent(g->Font(), "0").cy / 2;
  EXPECT_EQ(dib.Rgb(0, line + 10), ColorToRGB(clBtnShadow)) << "etched frame on the left";
  EXPECT_EQ(dib.Rgb(g->Width() / 2, g->Height() - 1), ColorToRGB(clBtnHighlight)) << "etched frame at the bottom";
}

TEST_F(ThinControls, ScrollBarRangeMovesAndChecks) {
  TScrollBar* s = f->ScrollBar1;
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(s->Handle(), SB_CTL, &si);
  EXPECT_EQ(si.nMin, 10);
  EXPECT_EQ(si.nMax, 200);
  EXPECT_EQ(si.nPage, 20u);
  EXPECT_EQ(si.nPos, 50);
  int changes = 0;
  s->OnChange = [&](TObject*) { ++changes; };
  struct Step {
    int code, position;
  } steps[] = {{SB_LINEDOWN, 52}, {SB_PAGEDOWN, 62}, {SB_LINEUP, 60}, {SB_BOTTOM, 181}, {SB_TOP, 10}, {SB_PAGEUP, 10}};
  for (const Step& step : steps) {
    s->Perform(CN_HSCROLL, step.code, reinterpret_cast<LPARAM>(s->Handle()));
    EXPECT_EQ(s->Position(), step.position) << step.code;
  }
  EXPECT_EQ(changes, 5) << "no change at the top";
  EXPECT_THROW(s->SetMax(5), EInvalidOperation);
  EXPECT_THROW(s->SetPosition(201), EInvalidOperation);
  EXPECT_THROW(s->SetPageSize(192), EInvalidOperation);
  s->SetKind(sbVertical);  // a new window
  GetScrollInfo(s->Handle(), SB_CTL, &si);
  EXPECT_TRUE(StyleOf(s) & SBS_VERT);
  EXPECT_EQ(si.nMax, 200);
  EXPECT_EQ(si.nPos, 10);
}

TEST_F(ThinControls, ScrollBarSettersCalledWhileTheRangeIsSentDoNotRecurse) {
  TScrollBar* s = f->ScrollBar1;
  // A subclasser that writes the range back into the control whenever the window gets it.
  int sent = 0;
  {
    WindowProcHook hook(s, [&](TMessage& m, const TWndMethod& next) {
      if (m.Msg == SBM_SETSCROLLINFO) {
        ++sent;
        const auto* info = reinterpret_cast<const SCROLLINFO*>(m.LParam);
        s->SetMin(std::min(info->nMin, 5));
        s->SetPageSize(info->nPage);
      }
      next(m);
    });
    s->SetMax(300);
  }
  EXPECT_EQ(sent, 2) << "sent again once for the value changed meanwhile, then settled";
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(s->Handle(), SB_CTL, &si);
  EXPECT_EQ(s->Min(), 5);
  EXPECT_EQ(si.nMin, 5);
  EXPECT_EQ(si.nMax, 300);
}

TEST_F(ThinControls, ScrollBarColoursAreTheSystemsAndOtherControlsAnswerWithTheirColour) {
  testing_support::Dib32 dib(4, 4);
  const LRESULT brush = f->ScrollBar1->Perform(CN_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dib.DC()),
                                               reinterpret_cast<LPARAM>(f->ScrollBar1->Handle()));
  EXPECT_NE(brush, 0);
  f->Edit2->SetColor(clInfoBk);
  const LRESULT own = f->Edit2->Perform(CN_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dib.DC()), 0);
  EXPECT_NE(own, 0);
  EXPECT_EQ(GetBkColor(dib.DC()), ColorToRGB(clInfoBk));
}

TEST_F(ThinControls, StaticTextBevelsTakeTheirWidthFromTheNonClientArea) {
  TStaticText* t = f->StaticText1;
  EXPECT_EQ(WindowClassOf(t->Handle()), "TStaticText");
  EXPECT_EQ(StyleOf(t) & SS_TYPEMASK, SS_CENTER);
  EXPECT_TRUE(StyleOf(t) & SS_SUNKEN);
  auto inset = [&] {
    RECT w, c;
    GetWindowRect(t->Handle(), &w);
    GetClientRect(t->Handle(), &c);
    return (w.right - w.left) - c.right;
  };
  const int withBevel = inset();
  t->SetBevelKind(bkNone);
  EXPECT_EQ(inset(), withBevel - 4) << "two cuts on each side";
  t->SetBevelKind(bkFlat);
  EXPECT_EQ(inset(), withBevel - 2);
}

TEST_F(ThinControls, EditShowsThePasswordCharacterAndKeepsItsText) {
  TEdit* e = f->Edit1;
  EXPECT_TRUE(StyleOf(e) & ES_PASSWORD);
  EXPECT_EQ(Send(e, EM_GETPASSWORDCHAR), '*');
  EXPECT_EQ(e->Text(), "secret");
  e->SetBorderStyle(bsNone);  // a new window
  EXPECT_EQ(Send(e, EM_GETPASSWORDCHAR), '*');
  e->SetPasswordChar(0);
  EXPECT_EQ(Send(e, EM_GETPASSWORDCHAR), 0);
  EXPECT_EQ(GetStrProp(e, "PasswordChar"), "");
}

TEST_F(ThinControls, UpDownDrivesItsBuddyAndForgetsItWhenItGoes) {
  TUpDown* u = f->UpDown1;
  EXPECT_EQ(Send(u, UDM_GETPOS32), 3);
  EXPECT_EQ(reinterpret_cast<HWND>(Send(u, UDM_GETBUDDY)), f->Edit2->Handle());
  EXPECT_EQ(f->Edit2->Text(), "3");
  std::vector<TUDBtnType> pressed;
  u->OnClick = [&](TObject*, TUDBtnType b) { pressed.push_back(b); };
  NMUPDOWN delta{{u->Handle(), u->ControlID(), static_cast<UINT>(UDN_DELTAPOS)}, 3, -1};
  u->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&delta));
  u->Perform(CN_VSCROLL, SB_THUMBPOSITION, reinterpret_cast<LPARAM>(u->Handle()));
  EXPECT_EQ(pressed, std::vector<TUDBtnType>{btPrev});
  u->SetOrientation(udHorizontal);  // a new window
  EXPECT_TRUE(StyleOf(u) & UDS_HORZ);
  EXPECT_EQ(u->Position(), 3);
  f->Edit2->Free();
  EXPECT_EQ(u->Associate(), nullptr);
  EXPECT_EQ(Send(u, UDM_GETBUDDY), 0);
}

TEST_F(ThinControls, TabControlMirrorsItsTabsAndAsksBeforeChanging) {
  TTabControl* t = f->TabControl1;
  EXPECT_EQ(Send(t, TCM_GETITEMCOUNT), 3);
  EXPECT_EQ(Send(t, TCM_GETCURSEL), 1);
  EXPECT_TRUE(StyleOf(t) & TCS_BOTTOM);
  t->SetStyle(tsButtons);  // a new window
  EXPECT_EQ(Send(t, TCM_GETITEMCOUNT), 3);
  EXPECT_EQ(t->TabIndex(), 1);
  t->Tabs()->Add("D");
  EXPECT_EQ(Send(t, TCM_GETITEMCOUNT), 4);
  bool allow = false;
  t->OnChanging = [&](TObject*, bool& a) { a = allow; };
  EXPECT_EQ(Notify(t, TCN_SELCHANGING), 1);
  allow = true;
  EXPECT_EQ(Notify(t, TCN_SELCHANGING), 0);
  EXPECT_THROW(t->SetTabIndex(4), EInvalidOperation);
  // Owner-drawn tabs are drawn by the event on the control's canvas.
  t->SetOwnerDraw(true);
  std::vector<std::pair<int, bool>> drawn;
  t->OnDrawTab = [&](TCustomTabControl* c, int index, const TRect& r, bool active) {
    drawn.emplace_back(index, active);
    c->Canvas()->Brush()->SetColor(clRed);
    c->Canvas()->FillRect(r);
  };
  testing_support::Dib32 dib(20, 20);
  DRAWITEMSTRUCT dis{ODT_TAB, t->ControlID(), 2, ODA_DRAWENTIRE, ODS_SELECTED, t->Handle(), dib.DC(), {0, 0, 10, 10}, 0};
  t->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{{2, true}}));
  EXPECT_EQ(dib.Rgb(5, 5), 0xFF0000u);
}

TEST_F(ThinControls, PageControlShowsTheActivePageAndFollowsTheTabs) {
  TPageControl* pc = f->PageControl1;
  EXPECT_EQ(pc->ActivePage(), f->Sheet2);
  EXPECT_EQ(Send(pc, TCM_GETITEMCOUNT), 2);
  EXPECT_EQ(Send(pc, TCM_GETCURSEL), 1);
  EXPECT_TRUE(IsWindowVisible(f->Sheet2->Handle()));
  EXPECT_FALSE(f->Sheet1->Visible());
  RECT d = pc->DisplayRect(), b = f->Sheet2->BoundsRect();
  EXPECT_TRUE(EqualRect(&d, &b)) << "the page fills the display area";
  // The user picks the first tab.
  Send(pc, TCM_SETCURSEL, 0);
  Notify(pc, TCN_SELCHANGE);
  EXPECT_EQ(pc->ActivePage(), f->Sheet1);
  EXPECT_FALSE(f->Sheet2->Visible());
  f->Sheet1->SetTabVisible(false);
  EXPECT_EQ(Send(pc, TCM_GETITEMCOUNT), 1);
  EXPECT_EQ(f->Sheet2->TabIndex(), 0);
  f->Sheet1->SetTabVisible(true);
  f->Sheet2->SetCaption("Renamed");
  char text[32] = {};
  TCITEMA item{TCIF_TEXT, 0, 0, text, sizeof text, 0, 0};
  Send(pc, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "Renamed");
  f->Sheet1->Free();
  EXPECT_EQ(pc->ActivePage(), f->Sheet2);
  EXPECT_EQ(pc->PageCount(), 1);
}

std::string ListText(TListView* lv, int item, int sub) {
  char buf[64] = {};
  LVITEMA it{};
  it.iSubItem = sub;
  it.pszText = buf;
  it.cchTextMax = sizeof buf;
  SendMessageA(lv->Handle(), LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&it));
  return buf;
}

TEST_F(ThinControls, ListViewKeepsColumnsItemsAndSelectionAcrossRecreation) {
  TListView* lv = f->ListView1;
  for (const char* name : {"alpha", "beta"}) {
    TListItem* item = lv->Items()->Add();
    item->SetCaption(name);
    item->SubItems()->Add(std::string(name).substr(0, 1));
  }
  lv->SetItemIndex(1);
  EXPECT_EQ(Send(lv, LVM_GETITEMCOUNT), 2);
  EXPECT_EQ(ListText(lv, 1, 1), "b");
  EXPECT_EQ(Send(lv, LVM_GETBKCOLOR), static_cast<LRESULT>(ColorToRGB(clInfoBk)));
  LVCOLUMNA col{};
  col.mask = LVCF_WIDTH | LVCF_FMT;
  Send(lv, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&col));
  EXPECT_EQ(col.cx, 60);
  EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
  lv->SetViewStyle(vsList);  // a new window
  lv->SetViewStyle(vsReport);
  EXPECT_EQ(ListText(lv, 0, 0), "alpha");
  EXPECT_EQ(ListText(lv, 0, 1), "a");
  EXPECT_EQ(lv->ItemIndex(), 1);
  lv->Items()->Item(0)->SubItems()->SetStrings(0, "A");
  EXPECT_EQ(ListText(lv, 0, 1), "A");
  lv->Items()->Delete(0);
  EXPECT_EQ(Send(lv, LVM_GETITEMCOUNT), 1);
  EXPECT_EQ(ListText(lv, 0, 0), "beta");
  lv->SetColor(clWindow);
  EXPECT_EQ(Send(lv, LVM_GETBKCOLOR), static_cast<LRESULT>(ColorToRGB(clWindow)));
}

TEST_F(ThinControls, TreeViewKeepsNodesExpansionAndSelectionAcrossRecreation) {
  TTreeView* tv = f->TreeView1;
  TTreeNode* root = tv->Items()->Add(nullptr, "root");
  TTreeNode* child = tv->Items()->AddChild(root, "child");
  tv->Items()->AddChild(child, "grandchild");
  tv->Items()->Add(root, "second");
  root->SetExpanded(true);
  tv->SetSelected(child);
  EXPECT_EQ(Send(tv, TVM_GETCOUNT), 4);
  EXPECT_EQ(tv->Items()->Count(), 4);
  EXPECT_EQ(tv->Items()->Item(2)->Text(), "grandchild");
  TTreeNode* changed = nullptr;
  tv->OnChange = [&](TObject*, TTreeNode* n) { changed = n; };
  tv->SetShowLines(false);  // a new window
  EXPECT_EQ(Send(tv, TVM_GETCOUNT), 4);
  EXPECT_TRUE(root->Expanded());
  EXPECT_FALSE(child->Expanded());
  EXPECT_EQ(tv->Selected(), child);
  tv->SetSelected(root);
  EXPECT_EQ(changed, root);
  child->Delete();
  EXPECT_EQ(Send(tv, TVM_GETCOUNT), 2) << "the subtree goes with it";
  EXPECT_EQ(root->Count(), 0);
}

std::string StatusText(TStatusBar* s, int part) {
  char buf[64] = {};
  SendMessageA(s->Handle(), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buf));
  return buf;
}

TEST_F(ThinControls, StatusBarShowsItsPanelsOrItsSimpleText) {
  TStatusBar* s = f->StatusBar1;
  int edges[4] = {};
  EXPECT_EQ(Send(s, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 100);
  EXPECT_EQ(edges[1], 150);
  EXPECT_EQ(StatusText(s, 0), "Ready");
  EXPECT_EQ(StatusText(s, 2), "\t\tRight");
  EXPECT_EQ(s->Top() + s->Height(), f->ClientHeight()) << "aligned to the bottom";
  TStatusPanel* drawnPanel = nullptr;
  s->OnDrawPanel = [&](TStatusBar*, TStatusPanel* p, const TRect&) { drawnPanel = p; };
  testing_support::Dib32 dib(10, 10);
  DRAWITEMSTRUCT dis{0, 0, 1, ODA_DRAWENTIRE, 0, s->Handle(), dib.DC(), {0, 0, 10, 10}, 1};
  s->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(drawnPanel, s->Panels()->Items(1));
  s->SetSizeGrip(false);  // a new window
  EXPECT_EQ(StatusText(s, 0), "Ready");
  s->Panels()->Items(0)->SetText("Busy");
  EXPECT_EQ(StatusText(s, 0), "Busy");
  s->SetSimplePanel(true);
  EXPECT_TRUE(Send(s, SB_ISSIMPLE));
  EXPECT_EQ(StatusText(s, 0), "Simple") << "a simple bar answers for any part";
}

// A glyph of two 8x8 cells, red and blue, whose bottom-left pixel (green) is transparent.
void MakeGlyph(TBitmap* b) {
  b->SetPixelFormat(pf24bit);
  b->SetSize(16, 8);
  for (const auto& [color, area] : {std::pair{clRed, Rect(0, 0, 8, 8)}, {clBlue, Rect(8, 0, 16, 8)},
                                    {clLime, Rect(0, 7, 1, 8)}, {clLime, Rect(8, 7, 9, 8)}}) {
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(area);
  }
}

int CountPixels(const testing_support::Dib32& d, int w, int h, DWORD rgb) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += d.Rgb(x, y) == rgb;
  return n;
}

TEST_F(ThinControls, BitBtnDrawsTheGlyphCellOfItsStateAndTakesItsKind) {
  TBitBtn* b = f->BitBtn1;
  EXPECT_EQ(b->Caption(), "OK");
  EXPECT_EQ(b->ModalResult(), mrOk);
  EXPECT_TRUE(b->Default());
  EXPECT_EQ(StyleOf(b) & BS_TYPEMASK, BS_OWNERDRAW);
  MakeGlyph(b->Glyph());
  testing_support::Dib32 dib(b->Width(), b->Height());
  auto draw = [&] {
    DRAWITEMSTRUCT dis{ODT_BUTTON, b->ControlID(), 0, ODA_DRAWENTIRE, 0, b->Handle(), dib.DC(), {0, 0, b->Width(), b->Height()}, 0};
    b->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  };
  draw();
  EXPECT_EQ(CountPixels(dib, b->Width(), b->Height(), 0xFF0000), 63) << "up cell without its key pixel";
  EXPECT_EQ(CountPixels(dib, b->Width(), b->Height(), 0x0000FF), 0);
  EXPECT_EQ(CountPixels(dib, b->Width(), b->Height(), 0x00FF00), 0);
  b->SetEnabled(false);
  draw();
  EXPECT_EQ(CountPixels(dib, b->Width(), b->Height(), 0x0000FF), 63) << "disabled cell";
}

TEST_F(ThinControls, SpeedButtonsOfAGroupAreExclusive) {
  TSpeedButton *a = f->SpeedButton1, *b = f->SpeedButton2;
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(a->State(), bsExclusive);
  auto click = [&](TSpeedButton* s) {
    f->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(s->Left() + 2, s->Top() + 2));
    f->Perform(WM_LBUTTONUP, 0, MAKELPARAM(s->Left() + 2, s->Top() + 2));
  };
  int clicked = 0;
  b->OnClick = [&](TObject*) { ++clicked; };
  click(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->State(), bsUp);
  click(b);
  EXPECT_TRUE(b->Down()) << "a group without AllowAllUp keeps one button down";
  b->SetAllowAllUp(true);
  EXPECT_TRUE(a->AllowAllUp()) << "shared by the group";
  click(b);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicked, 3);
  // Released outside: no click, the button comes back up.
  f->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a->Left() + 2, a->Top() + 2));
  EXPECT_EQ(a->State(), bsDown);
  f->Perform(WM_LBUTTONUP, 0, MAKELPARAM(a->Left() + 200, a->Top() + 2));
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->State(), bsUp);
}

TEST_F(ThinControls, FormsOfThinControlsLeaveNoObjectsBehind) {
  ExpectCyclesLeaveNothing(20, [] {
    auto* form = new TThinForm(Application);
    ReadComponentFromText(kThinForm, form);
    form->ListView1->Items()->Add()->SetCaption("x");
    form->TreeView1->Items()->AddChild(form->TreeView1->Items()->Add(nullptr, "a"), "b");
    MakeGlyph(form->BitBtn1->Glyph());
    form->Show();
    form->Free();
  });
}

}  // namespace
