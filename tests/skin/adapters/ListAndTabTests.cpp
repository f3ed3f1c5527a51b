// List views (header, scroll reloads, thumb tracking), tree colours, a grid's colour properties by name (a
// stand-in grid control publishing plain storage), panels by bevel, tab controls and their pages.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/TypInfo.h"
#include "skin/adapters/vkListWnds.h"
#include "skin/adapters/vkPanelWnd.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/adapters/vkTabWnds.h"
#include "skin/core/sCommonData.h"

using namespace adapter_test;

namespace {

// A grid as the grid adapter sees it: the published colours the adapter reads and writes.
class TTestGrid : public TScrollingControl {
  DECLARE_CLASS(TTestGrid, TScrollingControl)
public:
  using TScrollingControl::TScrollingControl;
  TColor FFixedColor = clRed, FFooterColor = clBlue, FTitleColor = clNone;
  int FDataSource = 0;
};
PUBLISHED(TTestGrid) {
  p.Color(OVER_FIELD(TTestGrid, FixedColor));
  p.Color(OVER_FIELD(TTestGrid, FooterColor));
  p.Color(OVER_FIELD(TTestGrid, TitleColor));
  p.Int("DataSource", [](TTestGrid*) { return 0; }, [](TTestGrid*, int) {});
}

class Lists : public HostedAdapterTest<320, 240> {
protected:
  template <class T> T* Adapt(HWND W, const char* Section, TControl* Control = nullptr) {
    return SkinnedAdapterTest::Adapt<T>(W, Section, Control, true);
  }
  HWND ReportList(int Items) {
    HWND L = NewWindow(WC_LISTVIEWA, Parent, WS_VISIBLE | LVS_REPORT, 10, 10, 200, 120, "", WS_EX_CLIENTEDGE);
    AddColumn(L, "Port", 80);
    for (int i = 0; i < Items; ++i) AddItem(L, false);
    return L;
  }
  static void AddColumn(HWND L, const char* Text, int Width, int Format = LVCFMT_LEFT) {
    LVCOLUMNA C{};
    C.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    C.fmt = Format;
    C.cx = Width;
    C.pszText = const_cast<char*>(Text);
    SendMessageA(L, LVM_INSERTCOLUMNA, 10, reinterpret_cast<LPARAM>(&C));
  }
  HWND Tabs(int W, int H, DWORD Style = WS_CLIPSIBLINGS) {
    return NewWindow(WC_TABCONTROLA, Parent, WS_VISIBLE | Style, 10, 10, W, H);
  }
  static void AddTabs(HWND T, const std::vector<const char*>& Names) {
    for (const char* Name : Names) {
      TCITEMA I{};
      I.mask = TCIF_TEXT;
      I.pszText = const_cast<char*>(Name);
      SendMessageA(T, TCM_INSERTITEMA, 100, reinterpret_cast<LPARAM>(&I));
    }
  }
  void AddItem(HWND L, bool Wide) {
    if (Wide) {
      LVITEMW I{};
      I.mask = LVIF_TEXT;
      I.iItem = 10000;
      I.pszText = const_cast<wchar_t*>(L"item");
      SendMessageW(L, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&I));
    } else {
      LVITEMA I{};
      I.mask = LVIF_TEXT;
      I.iItem = 10000;
      I.pszText = const_cast<char*>("item");
      SendMessageA(L, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&I));
    }
  }
};

TEST_F(Lists, ListViewHeaderPaintedFromTheSkin) {
  HWND L = ReportList(3);
  auto* A = Adapt<TvkListViewWnd>(L, "EDIT");
  ASSERT_NE(nullptr, A->HeaderWnd);
  EXPECT_EQ(ctListView, A->SkinData->CtrlType);
  EXPECT_EQ(3, A->ViewStyle());
  auto Printed = PrintedWindow(L);
  testing_support::Dib32& D = *Printed;
  const int F = A->FrameWidth();
  EXPECT_EQ(0xC10001u, Rgb(D.Px(F + 40, F + 3)));   // the column, normal
  EXPECT_EQ(0xC10001u, Rgb(D.Px(F + 150, F + 3)));  // the rest of the header as background
  A->PressedColumn = 0;
  PrintWindowTo(L, D);
  EXPECT_EQ(0xC18001u, Rgb(D.Px(F + 40, F + 3)));
  // Giving the list back gives the header its own procedure back.
  HWND Header = A->HeaderWnd;
  const LONG Hooked = GetWindowLongA(Header, GWL_WNDPROC);
  A->RestoreControlParams();
  EXPECT_NE(Hooked, GetWindowLongA(Header, GWL_WNDPROC));
  EXPECT_EQ(nullptr, A->HeaderWnd);
}

TEST_F(Lists, InsertingItemsReloadsTheBarsUnlessUpdating) {
  HWND L = ReportList(2);
  auto* A = Adapt<TvkListViewWnd>(L, "EDIT");
  for (bool Wide : {false, true}) {
    SCOPED_TRACE(Wide ? "wide" : "ansi");
    const int Before = A->VertBar->ScrollInfo.nMax;
    for (int i = 0; i < 40; ++i) AddItem(L, Wide);
    EXPECT_GT(A->VertBar->ScrollInfo.nMax, Before);
  }
  A->SkinData->Updating = true;
  const int Kept = A->VertBar->ScrollInfo.nMax;
  for (int i = 0; i < 40; ++i) AddItem(L, false);
  EXPECT_EQ(Kept, A->VertBar->ScrollInfo.nMax);
  A->SkinData->Updating = false;
  // Dragging the thumb in report view scrolls by whole rows.
  SendMessageA(L, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 7);
  EXPECT_EQ(7, SendMessageA(L, LVM_GETTOPINDEX, 0, 0));
}

// A foreign list view's colours go back exactly as they were read, the control's default among them, when the skin
// goes: none is read as a system colour index, and the background does not keep the skin's colour.
TEST_F(Lists, AForeignListViewGetsItsOwnColoursBackAsTheyWere) {
  HWND L = ReportList(1);
  SendMessageA(L, LVM_SETTEXTCOLOR, 0, CLR_DEFAULT);
  SendMessageA(L, LVM_SETBKCOLOR, 0, RGB(0x12, 0x34, 0x56));
  auto* A = Adapt<TvkListViewWnd>(L, "EDIT");
  A->ApplySkinParams();
  ASSERT_NE(static_cast<LRESULT>(RGB(0x12, 0x34, 0x56)), SendMessageA(L, LVM_GETBKCOLOR, 0, 0)) << "skinned";
  A->RestoreControlParams();
  EXPECT_EQ(static_cast<LRESULT>(CLR_DEFAULT), SendMessageA(L, LVM_GETTEXTCOLOR, 0, 0));
  EXPECT_EQ(static_cast<LRESULT>(RGB(0x12, 0x34, 0x56)), SendMessageA(L, LVM_GETBKCOLOR, 0, 0));
}

TEST_F(Lists, TreeColoursFromTheSectionAndBack) {
  HWND T = NewWindow(WC_TREEVIEWA, Parent, WS_VISIBLE, 10, 10, 150, 100, "", WS_EX_CLIENTEDGE);
  auto* A = Adapt<TvkTreeViewWnd>(T, "COMBOBOX");
  A->ApplySkinParams();
  EXPECT_EQ(static_cast<LRESULT>(0xFFE0E0), SendMessageA(T, TVM_GETBKCOLOR, 0, 0));
  A->RestoreControlParams();
  EXPECT_EQ(static_cast<LRESULT>(-1), SendMessageA(T, TVM_GETBKCOLOR, 0, 0));  // the system's own again
}

TEST_F(Lists, GridColourPropertiesByName) {
  ShowForm();
  auto* G = Place<TTestGrid>(Form, 5, 5, 150, 100);
  auto* A = Adapt<TvkGridWnd>(G->Handle(), "EDIT", G);
  A->ApplySkinParams();
  EXPECT_EQ(static_cast<TColor>(M->PaletteColor(pcMainColor)), G->FFixedColor);
  EXPECT_EQ(static_cast<TColor>(0xFFFFFF), G->FFooterColor);  // the EDIT section's colour
  A->RestoreControlParams();
  EXPECT_EQ(clRed, G->FFixedColor);
  EXPECT_EQ(clBlue, G->FFooterColor);
  EXPECT_EQ(clBtnFace, G->FTitleColor);  // a title colour of none comes back as the face colour
}

TEST_F(Lists, PanelSectionByBevels) {
  Form = TForm::CreateNew(Application);
  struct Case {
    TBevelCut Outer, Inner;
    TBorderStyle Border;
    const char* Section;
  };
  const Case Cases[] = {
      {bvLowered, bvRaised, bsNone, "GROUPBOX"}, {bvLowered, bvNone, bsNone, "PANEL_LOW"},
      {bvRaised, bvLowered, bsNone, "GROUPBOX"}, {bvRaised, bvNone, bsNone, "PANEL"},
      {bvNone, bvNone, bsNone, "TRANSPARENT"},   {bvNone, bvNone, bsSingle, "PANEL_LOW"},
  };
  for (const Case& C : Cases) {
    auto* P = new TPanel(Form);
    P->SetBevelOuter(C.Outer);
    P->SetBevelInner(C.Inner);
    P->SetBorderStyle(C.Border);
    EXPECT_EQ(C.Section, PanelSectionFor(P));
  }
  EXPECT_EQ("TRANSPARENT", PanelSectionFor(nullptr));
}

// A panel's caption too wide for it breaks at its words: all its lines show, as one block centred in the panel, each
// line in the panel's alignment. A frame (a single border, a border width) lies around the caption, which stays.
TEST_F(Lists, AWidePanelCaptionShowsAllItsLinesCentred) {
  ShowForm();
  auto Shown = [&](const char* Text, TAlignment Align, TBorderStyle Border = bsNone, int Width = 0) {
    auto* P = Place<TPanel>(Form, 10, 10, 70, 60);
    P->SetBevelOuter(bvNone);
    P->SetAlignment(Align);
    P->SetBorderStyle(Border);
    P->SetBorderWidth(Width);
    P->SetCaption(Text);
    SkinnedAdapterTest::Adapt<TvkPanelWnd>(P->Handle(), "PANEL", P, true);
    const auto D = PrintedWindow(P->Handle());
    const uint32_t Bg = Rgb(D->Px(0, 0));
    return InkBounds(*D, [Bg](uint32_t C) { return C != Bg; });
  };
  const TInk One = Shown("Alpha", taCenter), Two = Shown("Alpha Gamma", taCenter);
  const TInk Three = Shown("Alphabet Gammaray Deltoids", taCenter);
  ASSERT_GE(One.Bottom, One.Top) << "no caption";
  const int Line = One.Bottom - One.Top + 1;
  EXPECT_GT(Two.Bottom - Two.Top + 1, Line + Line / 2) << "only one line of two shows";
  EXPECT_GT(Three.Bottom - Three.Top, Two.Bottom - Two.Top) << "only two lines of three show";
  for (const TInk* I : {&One, &Two, &Three}) EXPECT_NEAR((I->Top + I->Bottom) / 2, 30, 3) << "the block is not centred";
  // each line in the alignment: left-aligned lines start at the same column as a single word does
  EXPECT_EQ(Shown("Alpha", taLeftJustify).Left, Shown("Alpha Gamma", taLeftJustify).Left);
  EXPECT_EQ(Shown("Alpha", taRightJustify).Right, Shown("Gamma Alpha", taRightJustify).Right);
  for (const auto& [Border, Width] : {std::pair{bsSingle, 0}, std::pair{bsNone, 6}, std::pair{bsSingle, 6}}) {
    const TInk Framed = Shown("Alpha", taCenter, Border, Width);
    EXPECT_NEAR(One.Left, Framed.Left, 1) << Width;
    EXPECT_NEAR(One.Top, Framed.Top, 1) << Width;
  }
}

// A panel tagged 999 (a dialog's silent panel) paints no caption, whatever its text.
TEST_F(Lists, APanelTagged999PaintsNoCaption) {
  ShowForm();
  for (const int Tag : {0, 999}) {
    auto* P = Place<TPanel>(Form, 10, 10, 100, 40);
    P->SetBevelOuter(bvNone);
    P->SetCaption("Words");
    P->SetTag(Tag);
    SkinnedAdapterTest::Adapt<TvkPanelWnd>(P->Handle(), "PANEL", P, true);
    auto D = PrintedWindow(P->Handle());
    EXPECT_EQ(Tag == 999, D->CountNot(D->Px(0, 0)) == 0) << Tag;
  }
}

TEST_F(Lists, TabsAndPageFrame) {
  HWND T = Tabs(240, 150);
  auto* A = Adapt<TvkTabControlWnd>(T, "");
  EXPECT_EQ("PAGECONTROL", A->SkinData->SkinSection());
  testing_support::Dib32 D(240, 150, 0, true);
  // Without tabs: the transparent section over the parent.
  PrintWindowTo(T, D);
  EXPECT_EQ(0x808080u, Rgb(D.Px(120, 75)));
  AddTabs(T, {"One", "Two"});
  SendMessageA(T, TCM_SETCURSEL, 0, 0);
  PrintWindowTo(T, D);
  EXPECT_EQ(0xA0A0FFu, Rgb(D.Px(120, 100)));  // the page frame's section
  const TRect Active = A->GetTabRect(0, true), Other = A->GetTabRect(1, false);
  EXPECT_EQ(0xD2E0F0u, Rgb(D.Px(Active.Left + 4, Active.Top + 4)));  // the current tab pressed
  EXPECT_EQ(0xD0E0F0u, Rgb(D.Px(Other.Left + 4, Other.Top + 4)));    // the other one normal
  EXPECT_EQ(0x808080u, Rgb(D.Px(235, 2)));  // the strip beside the tabs shows the parent
  // Bottom tabs take the section with the position appended.
  SetWindowLongA(T, GWL_STYLE, GetWindowLongA(T, GWL_STYLE) | TCS_BOTTOM);
  PrintWindowTo(T, D);
  EXPECT_EQ(0xA0A0FEu, Rgb(D.Px(120, 40)));
}

// The current tab leaves the page's edge for top and left tabs; a skin without the position's own page section
// draws left and right tabs with the plain one.
TEST_F(Lists, TheCurrentTabLeavesThePageEdgeAndMissingPositionSectionsFallBack) {
  HWND T = Tabs(240, 150);
  AddTabs(T, {"One", "Two"});
  SendMessageA(T, TCM_SETCURSEL, 0, 0);
  auto* A = Adapt<TvkTabControlWnd>(T, "");
  testing_support::Dib32 D(240, 150, 0, true);
  struct Case {
    const char* Name;
    DWORD Style;
  } Cases[] = {{"top", 0}, {"left", TCS_VERTICAL}, {"right", TCS_VERTICAL | TCS_RIGHT}};
  for (const Case& C : Cases) {
    SetWindowLongA(T, GWL_STYLE, (GetWindowLongA(T, GWL_STYLE) & ~(TCS_VERTICAL | TCS_RIGHT)) | C.Style);
    PrintWindowTo(T, D);
    EXPECT_GE(A->SkinData->SkinIndex, 0) << C.Name << ": left unskinned";
    const TRect P = A->GetPageRect(), Tab = A->GetTabRect(0, true);
    EXPECT_EQ(0xA0A0FFu, Rgb(D.Px((P.Left + P.Right) / 2, (P.Top + P.Bottom) / 2))) << C.Name;
    if (C.Style == 0) {  // where the tab reaches into the page, the page shows
      EXPECT_EQ(0xA0A0FFu, Rgb(D.Px((Tab.Left + Tab.Right) / 2, P.Top))) << C.Name;
    }
    if (C.Style == TCS_VERTICAL) {
      EXPECT_EQ(0xA0A0FFu, Rgb(D.Px(P.Left, (Tab.Top + Tab.Bottom) / 2))) << C.Name;
    }
  }
}

// An owner-drawn framework tab control draws its tabs through its own handler, on its canvas lent to the cache,
// with the section's font colour; a font the handler changes does not stay.
TEST_F(Lists, OwnerDrawnTabsAreDrawnByTheControlsHandler) {
  ShowForm();
  auto* Tabs = Place<TTabControl>(Form, 10, 10, 240, 150);
  Tabs->Tabs()->Add("One");
  Tabs->Tabs()->Add("Two");
  Tabs->SetOwnerDraw(true);
  Tabs->SetTabIndex(0);
  struct Call {
    int Index;
    TRect R;
    bool Active;
    TColor FontColor;
  };
  std::vector<Call> Calls;
  Tabs->OnDrawTab = [&](TCustomTabControl* C, int Index, const TRect& R, bool Active) {
    Calls.push_back({Index, R, Active, C->Canvas()->Font()->Color()});
    C->Canvas()->Font()->SetSize(30);
    PatBlt(C->Canvas()->Handle(), R.Left + 4, R.Top + 4, 3, 3, BLACKNESS);
  };
  const int Size = Tabs->Canvas()->Font()->Size();
  auto* A = SkinnedAdapterTest::Adapt<TvkTabControlWnd>(Tabs->Handle(), "", Tabs, true);
  auto D = PrintedWindow(Tabs->Handle());
  ASSERT_EQ(2u, Calls.size());
  for (const Call& C : Calls) {
    SCOPED_TRACE(C.Index);
    EXPECT_EQ(A->GetTabRect(C.Index, C.Active), C.R);
    EXPECT_EQ(C.Index == 0, C.Active);
    EXPECT_EQ(0x050000u, C.FontColor);  // TABTOP's font colour, as a TColor
    EXPECT_EQ(0u, Rgb(D->Px(C.R.Left + 5, C.R.Top + 5)));
  }
  EXPECT_EQ(Size, Tabs->Canvas()->Font()->Size());
}

TEST_F(Lists, PageAdaptersLeaveWithTheirPages) {
  HWND T = Tabs(240, 150, 0);
  HWND Page1 = NewRecordingWindow(T, WS_VISIBLE, 4, 30, 200, 100);
  HWND Page2 = NewRecordingWindow(T, WS_VISIBLE, 4, 30, 200, 100);
  const size_t Before = PageAdapters().size();
  auto* A = Adapt<TvkPageControlWnd>(T, "");
  ASSERT_EQ(Before + 2, PageAdapters().size());
  EXPECT_EQ(1, SendMessageA(Page1, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SKINNED), 0));
  A->AdaptPages();  // a page already skinned is left alone
  EXPECT_EQ(Before + 2, PageAdapters().size());
  DestroyWindow(Page1);
  EXPECT_EQ(Before + 1, PageAdapters().size());
  DestroyWindow(Page2);
  EXPECT_EQ(Before, PageAdapters().size());
}

TEST_F(Lists, TheSpinAdapterStaysWhileTheArrowsAreTheSame) {
  HWND T = Tabs(120, 100, 0);
  AddTabs(T, std::vector<const char*>(12, "A long tab"));
  auto* A = Adapt<TvkTabControlWnd>(T, "");
  A->UpdateUpDown();
  TvkSpinWnd* First = A->UpDownAdapter;
  ASSERT_NE(nullptr, First) << "no scroll arrows on a crowded tab control";
  A->UpdateUpDown();
  EXPECT_EQ(First, A->UpDownAdapter);
}

// The hot column is the item under the cursor also when the columns were reordered; a header made later replaces
// the hooked one and is hooked in its turn, every time.
TEST_F(Lists, TheHotColumnFollowsReorderedColumnsAndEveryNewHeaderIsHooked) {
  HWND L = ReportList(1);
  for (const char* Name : {"B", "C"}) AddColumn(L, Name, 60);
  int Order[3] = {2, 0, 1};
  SendMessageA(L, LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(Order));
  auto* A = Adapt<TvkListViewWnd>(L, "EDIT");
  for (int Item : {2, 0, 1}) {
    RECT R{};
    SendMessageA(A->HeaderWnd, HDM_GETITEMRECT, static_cast<WPARAM>(Item), reinterpret_cast<LPARAM>(&R));
    POINT P{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    ClientToScreen(A->HeaderWnd, &P);
    SendMessageA(A->HeaderWnd, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
    EXPECT_EQ(Item, A->HotColumn);
  }
  for (int I = 0; I < 2; ++I) {
    HWND Header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD, 0, 0, 100, 20, L, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
    EXPECT_EQ(Header, A->HeaderWnd) << I;
  }
}

// A caption wider than its column keeps its start whatever its alignment: all three draw alike.
TEST_F(Lists, AWideCaptionKeepsItsStartInEveryAlignment) {
  HWND L = NewWindow(WC_LISTVIEWA, Parent, WS_VISIBLE | LVS_REPORT, 10, 10, 260, 120);
  for (int Fmt : {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER}) AddColumn(L, "Wwwww wider than its column", 70, Fmt);
  auto* A = Adapt<TvkListViewWnd>(L, "EDIT");
  auto D = PrintedWindow(L);
  RECT First{};
  SendMessageA(A->HeaderWnd, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&First));
  for (int Item : {1, 2}) {
    RECT R{};
    SendMessageA(A->HeaderWnd, HDM_GETITEMRECT, static_cast<WPARAM>(Item), reinterpret_cast<LPARAM>(&R));
    int Differ = 0;
    for (int y = R.top; y < R.bottom; ++y)
      for (int x = 0; x < R.right - R.left; ++x) Differ += D->Px(First.left + x, y) != D->Px(R.left + x, y);
    EXPECT_EQ(0, Differ) << Item;
  }
}

TEST_F(Lists, SortMarksAndThePressedShift) {
  HWND L = ReportList(1);
  auto* A = Adapt<TvkListViewWnd>(L, "EDIT");
  HDITEMA Item{};
  Item.mask = HDI_FORMAT;
  Item.fmt = HDF_STRING | HDF_LEFT | HDF_SORTUP;
  SendMessageA(A->HeaderWnd, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
  const int F = A->FrameWidth();
  RECT H{};
  GetClientRect(A->HeaderWnd, &H);
  HDC DC = GetDC(L);
  HGDIOBJ Old = SelectObject(DC, reinterpret_cast<HFONT>(SendMessageA(L, WM_GETFONT, 0, 0)));
  SIZE S{};
  GetTextExtentPoint32A(DC, "Port", 4, &S);
  SelectObject(DC, Old);
  ReleaseDC(L, DC);
  const int TextEnd = F + 4 + S.cx + 5;  // the text's room; the mark follows 6 pixels after it
  // The header's pixels in its font colour: their count, the rightmost of all, and the text's first column and
  // lowest row.
  struct TMark {
    int Count = 0, Right = -1, TextLeft = 1000, TextBottom = -1;
  };
  auto Marks = [&] {
    auto D = PrintedWindow(L);
    TMark K;
    for (int y = F; y < F + H.bottom; ++y)
      for (int x = F; x < F + 80; ++x)
        if (Rgb(D->Px(x, y)) == 0x000004) {
          ++K.Count;
          K.Right = std::max(K.Right, x);
          if (x < TextEnd) K.TextLeft = std::min(K.TextLeft, x), K.TextBottom = std::max(K.TextBottom, y);
        }
    return K;
  };
  const TMark Normal = Marks();
  EXPECT_GT(Normal.Count, 9);
  // The arrow's 6 x 3 place starts 6 pixels after the text; the toolkit's triangle reaches one column further.
  EXPECT_NEAR(TextEnd + 6 + 5, Normal.Right, 1);
  // A pressed column draws its text one pixel right and down when the manager shifts pressed contents; the mark
  // stays.
  for (const bool Shift : {true, false}) {
    M->ButtonsOptions()->SetShiftContentOnClick(Shift);
    A->PressedColumn = 0;
    const TMark Pressed = Marks();
    A->PressedColumn = -1;
    EXPECT_EQ(Normal.TextLeft + (Shift ? 1 : 0), Pressed.TextLeft) << Shift;
    EXPECT_EQ(Normal.TextBottom + (Shift ? 1 : 0), Pressed.TextBottom) << Shift;
    EXPECT_EQ(Normal.Right, Pressed.Right) << Shift;
  }
}

}  // namespace
