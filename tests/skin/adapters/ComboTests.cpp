// Combo boxes: the drop-down button's place by style, the list adapter made at the list's first colour request
// (one pixel wider, layered at 255, one brush for every request), the list's border back when the skin goes,
// and the printed button.
#include "AdapterTestSupport.h"
#include "tests/support/GdiLeaks.h"
#include "framework/StdCtrls.h"
#include "framework/ObjectInstance.h"
#include "skin/adapters/vkComboWnds.h"
#include "skin/controls/sComboBox.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkParentBg.h"

using namespace adapter_test;

namespace {

class Combos : public HostedAdapterTest<> {
protected:
  HWND Combo(DWORD Style, DWORD Ex = 0) {
    HWND C = NewWindow("COMBOBOX", Parent, WS_VISIBLE | Style, 10, 10, 150, 200, "", Ex);
    for (const char* S : {"COM1", "COM2", "COM3"}) SendMessageA(C, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S));
    return C;
  }
  // A framework combo box of the style on the shown form, holding the items, the last one selected.
  template <class T>
  T* FrameworkCombo(TComboBoxStyle Style, std::initializer_list<const char*> Items, int W = 150, int H = 24) {
    if (Form == nullptr) ShowForm();
    auto* C = Place<T>(Form, 10, 10, W, H);
    C->SetStyle(Style);
    for (const char* S : Items) C->Items()->Add(S);
    C->SetItemIndex(static_cast<int>(Items.size()) - 1);
    return C;
  }
  TvkComboBoxWnd* Adapt(HWND C, bool Dialog = false) {
    AdoptingDialogChildren = Dialog;
    auto* A = SkinnedAdapterTest::Adapt<TvkComboBoxWnd>(C, "COMBOBOX", nullptr, true);
    AdoptingDialogChildren = false;
    return A;
  }
};
class CombosRealScreen : public Combos {};

// The combo box's list window.
HWND ListOf(HWND Combo) {
  COMBOBOXINFO Info{};
  Info.cbSize = sizeof Info;
  EXPECT_TRUE(GetComboBoxInfo(Combo, &Info));
  return Info.hwndList;
}

// The combo box's list asks for its colour, as it does before it first shows; answers the list.
HWND AskListColour(HWND Combo) {
  HWND List = ListOf(Combo);
  HDC DC = GetDC(List);
  SendMessageA(Combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(List));
  ReleaseDC(List, DC);
  return List;
}

TEST_F(Combos, ButtonPlaceByStyle) {
  const int Full = SkinScrollBarWidthAtLeastSystem(M.get()) + 2;
  struct Case {
    const char* Name;
    DWORD Style, Ex;
    bool Dialog;
    int Width;
  };
  const Case Cases[] = {
      {"dialog drop-down list", CBS_DROPDOWNLIST, 0, true, Full},
      {"dialog drop-down", CBS_DROPDOWN, 0, true, Full - 2},
      {"dialog simple", CBS_SIMPLE, 0, true, 0},
      {"control drop-down", CBS_DROPDOWN, 0, false, Full},
      {"right-to-left reading", CBS_DROPDOWNLIST, WS_EX_RTLREADING, true, Full},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HWND W = Combo(C.Style, C.Ex);
    auto* A = Adapt(W, C.Dialog);
    const TRect B = A->GetButtonRect(), R = WindowRectOf(W);
    const int Margin = M->SkinData().ComboMargin;
    EXPECT_EQ(C.Width, B.Width());
    EXPECT_EQ(Margin, B.Top);
    EXPECT_EQ(R.Height() - Margin, B.Bottom);
    EXPECT_EQ(C.Ex ? Margin : R.Width() - C.Width - Margin, B.Left);
  }
}

TEST_F(Combos, TheListGetsItsAdapterAtItsFirstColourRequest) {
  std::vector<BYTE> Alphas;
  Platform().SetLayeredWindowAttributes = [&](HWND, COLORREF, BYTE Alpha, DWORD) {
    Alphas.push_back(Alpha);
    return TRUE;
  };
  FakeWindowsVersion(6);
  HWND W = Combo(CBS_DROPDOWNLIST);
  auto* A = Adapt(W);
  HWND List = ListOf(W);
  const int Before = WindowRectOf(List).Width();
  HDC DC = GetDC(List);
  auto Ask = [&] {
    return SendMessageA(W, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(List));
  };
  const LRESULT Brush = Ask();
  ASSERT_NE(nullptr, A->ListAdapter);
  EXPECT_EQ(List, A->ListWnd);
  EXPECT_EQ(A->ListAdapter, GetWindowScrollAdapter(List));
  EXPECT_EQ(Before + 1, WindowRectOf(List).Width());
  ASSERT_EQ(1u, Alphas.size());
  EXPECT_EQ(255, Alphas[0]);
  // One brush, however often the list asks.
  ASSERT_NE(0, Brush);
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(1000, [&] { ASSERT_EQ(Brush, Ask()); }));
  ReleaseDC(List, DC);
  // The skin goes: the list keeps a plain border and loses its adapter.
  SetWindowLongA(List, GWL_STYLE, GetWindowLongA(List, GWL_STYLE) | WS_THICKFRAME);
  A->PerformMessage(SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_DROPPED), reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(nullptr, A->ListWnd);
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(List));
  EXPECT_TRUE(GetWindowLongA(List, GWL_STYLE) & WS_BORDER);
  EXPECT_FALSE(GetWindowLongA(List, GWL_STYLE) & WS_THICKFRAME);
}

// A parent whose background has a colour of its own in every row (green byte = row), answering the background
// query from a bitmap of its client area.
TBitmap* RowsBackground() {
  static TBitmap* B = [] {
    auto* Bmp = new TBitmap;
    Bmp->SetPixelFormat(pf32bit);
    Bmp->SetSize(300, 256);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 300; ++x) static_cast<uint32_t*>(Bmp->ScanLine(y))[x] = 0xFF000000u | (y << 8);
    return Bmp;
  }();
  return B;
}
LRESULT CALLBACK RowsParentProc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  if (Msg == SM_VKCMD && SkinCommandCode(WP) == VKCMD_QUERY_PARENT_BG) {
    auto* Q = reinterpret_cast<TvkParentBgQuery*>(LP);
    Q->Kind = bgkBitmap;
    Q->Bmp = RowsBackground();
    return 1;
  }
  return DefWindowProcA(W, Msg, WP, LP);
}

// The skinned combo reaches a simple list's adapter through the services: the list keeps its width, and below it
// the strip shows the parent's background from the combo's own place.
TEST_F(CombosRealScreen, ASimpleListsAdapterFromTheServicesShowsTheParentInTheStripBelow) {
  ASSERT_NE(nullptr, AdapterServices.CreateComboListAdapter);
  HWND P = Keep(NewWindow(WindowClass("KrlRowsParent", RowsParentProc), nullptr, WS_VISIBLE, 50, 50, 300, 256));
  HWND W = NewWindow("COMBOBOX", P, WS_VISIBLE | CBS_SIMPLE, 10, 30, 150, 150);
  HWND List = ListOf(W);
  TRect L = WindowRectOf(List);
  MapWindowPoints(nullptr, W, reinterpret_cast<POINT*>(L.AsRECT()), 2);
  SetWindowPos(List, nullptr, 0, 0, L.Width(), 60, SWP_NOMOVE | SWP_NOZORDER);
  TvkComboListWnd* A = AdapterServices.CreateComboListAdapter(List, nullptr, M.get(), "EDIT", true, true);
  ASSERT_NE(nullptr, A);
  EXPECT_TRUE(A->SimpleList);
  EXPECT_EQ("EDIT", A->SkinData->SkinSection());
  EXPECT_EQ(L.Width(), WindowRectOf(List).Width());  // a simple list keeps its width
  SendMessageA(List, WM_NCPAINT, 1, 0);
  const auto D = WindowDCOf(W);
  for (int y : {L.Top + 62, 120, 149}) EXPECT_EQ(static_cast<uint32_t>((30 + y) << 8), D->Rgb(75, y)) << y;
  AdapterServices.FreeComboListAdapter(A);
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(List));
}

TEST_F(Combos, PrintedButtonInTheSkin) {
  HWND W = Combo(CBS_DROPDOWNLIST);
  auto* A = Adapt(W);
  auto Printed = PrintedWindow(W);
  testing_support::Dib32& D = *Printed;
  const TRect B = A->GetButtonRect();
  EXPECT_EQ(0xB00001u, Rgb(D.Px(B.Left + 1, B.Top + 1)));
  EXPECT_GT(CountRgb(D, 0x000003, B), 4);
}

}  // namespace

namespace {

TEST_F(Combos, AFrameworkComboPrintsItsSelectedItemAsTheEditPart) {
  auto* C = FrameworkCombo<TComboBox>(csDropDownList, {"COM1", "COM2"});
  auto* A = SkinnedAdapterTest::Adapt<TvkComboBoxWnd>(C->Handle(), "COMBOBOX", C, true);
  auto Printed = PrintedWindow(C->Handle());
  testing_support::Dib32& D = *Printed;
  const TRect B = A->GetButtonRect();
  EXPECT_GT(CountRgb(D, 0x000000, TRect(3, 3, B.Left - 3, D.Height() - 3)), 10);  // the item's text in the font colour
  EXPECT_EQ(0xE0E0FFu, Rgb(D.Px(B.Left - 5, 5)));  // over the section's face
}

TEST_F(Combos, TheDropDownListsVisualStyleByVersionAndItems) {
  struct Case {
    DWORD Major;
    bool Items;
    bool Off;
  };
  for (const Case& C : {Case{6, true, false}, Case{5, true, true}, Case{5, false, false}}) {
    SCOPED_TRACE(testing::Message() << "version " << C.Major << (C.Items ? " with items" : " empty"));
    FakeWindowsVersion(C.Major);
    HWND W = Combo(CBS_DROPDOWNLIST);
    if (!C.Items) SendMessageA(W, CB_RESETCONTENT, 0, 0);
    auto* A = Adapt(W);
    ThemeRecorder Themes;
    AskListColour(W);
    ASSERT_NE(nullptr, A->ListAdapter);
    EXPECT_EQ(C.Off ? 1 : 0, Themes.CountFor(ListOf(W)));
  }
}

// The skinned combo box keeps its list's adapter from the list's first colour request until the box's window or
// the skin goes; a new skin reaches the adapter through the box, since the list window is no child of it.
TEST_F(Combos, ASkinnedComboBoxOwnsItsListAdapterUntilItsWindowOrTheSkinGoes) {
  auto* C = FrameworkCombo<TsComboBox>(csDropDownList, {"COM1"}, 130, 21);
  const int Stubs = ObjectInstanceCount();
  auto AskColour = [&] { return AskListColour(C->Handle()); };
  HWND List = AskColour();
  EXPECT_EQ(List, C->ListWindow());
  TvkScrollWnd* A = GetWindowScrollAdapter(List);
  ASSERT_NE(nullptr, A);
  EXPECT_EQ("EDIT", A->SkinData->SkinSection());
  const int Edit = A->SkinData->SkinIndex;
  AskColour();
  EXPECT_EQ(A, GetWindowScrollAdapter(List));  // one adapter however often the list asks
  EXPECT_EQ(Stubs + 1, ObjectInstanceCount());

  A->SkinData->SkinIndex = -1;
  C->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_APPLIED), reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(Edit, A->SkinData->SkinIndex);

  // A new scale drops the adapter; the list's next request makes one again.
  C->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_SET_SCALE), 100);
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(List));
  EXPECT_NE(nullptr, GetWindowScrollAdapter(AskColour()));

  C->RecreateWnd();
  C->HandleNeeded();
  EXPECT_EQ(Stubs, ObjectInstanceCount());
  ASSERT_NE(nullptr, GetWindowScrollAdapter(AskColour()));

  M->SetActive(false);
  EXPECT_EQ(Stubs, ObjectInstanceCount());
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(AskColour()));  // an unskinned box makes none
  EXPECT_EQ(Stubs, ObjectInstanceCount());
  M->SetActive(true);
  EXPECT_NE(nullptr, GetWindowScrollAdapter(AskColour()));
}

}  // namespace

namespace {

// One item of a framework combo box drawn whole over the DIB, as the control's owner-draw notice asks.
void DrawComboItem(TWinControl* C, testing_support::Dib32& Dib, UINT Index, UINT State) {
  DRAWITEMSTRUCT Item{};
  Item.CtlType = ODT_COMBOBOX;
  Item.hwndItem = C->Handle();
  Item.hDC = Dib.DC();
  Item.itemAction = ODA_DRAWENTIRE;
  Item.rcItem = RECT{0, 0, Dib.Width(), Dib.Height()};
  Item.itemID = Index;
  Item.itemState = State;
  C->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&Item));
}

}  // namespace

// Items of a skinned box's list lie on the list's own background (its adapter's "EDIT"), not on the box's colour.
TEST_F(Combos, ASkinnedComboBoxDrawsItsListItemsOnTheListsBackground) {
  auto* C = FrameworkCombo<TsComboBox>(csDropDownList, {"COM1", "COM2"}, 130, 21);
  ASSERT_NE(nullptr, GetWindowScrollAdapter(AskListColour(C->Handle())));
  const uint32_t Box = PixelOf(C->Color());
  const uint32_t List = PixelOf(static_cast<TColor>(M->gd()[M->FindSectionIndex("EDIT")].Props[0].Color));
  ASSERT_NE(Box, List);
  testing_support::Dib32 Dib(130, 16, 0x123456, true);
  for (const UINT Index : {0u, 1u}) {
    DrawComboItem(C, Dib, Index, Index == 1 ? ODS_SELECTED : 0);
    if (Index == 0)
      EXPECT_EQ(Dib.Rgb(120, 1), List);
    else
      EXPECT_NE(Dib.Rgb(120, 1), List);  // the selection keeps its own look
  }
}

namespace {

// An owner-drawn framework combo box draws its unselected list items on the list's own background and in its
// font colour, never in the box's hot colour.
TEST_F(Combos, AnOwnerDrawnFrameworkComboDrawsItsListItemsOnTheListsBackground) {
  auto* C = FrameworkCombo<TComboBox>(csOwnerDrawFixed, {"COM1", "COM2"});
  auto* A = SkinnedAdapterTest::Adapt<TvkComboBoxWnd>(C->Handle(), "COMBOBOX", C, true);
  AskListColour(C->Handle());
  ASSERT_NE(nullptr, A->ListAdapter) << "the list's colour request makes its adapter";
  const uint32_t ListFace = 0xFFFFFF, BoxHot = 0xD0D0FF;  // EDIT's and COMBOBOX's colours in the SOLID skin
  testing_support::Dib32 Dib(150, 16, 0x123456, true);
  DrawComboItem(C, Dib, 0, 0);
  EXPECT_EQ(ListFace, Dib.Rgb(140, 1)) << "not the list's background";
  EXPECT_NE(BoxHot, Dib.Rgb(140, 1));
  EXPECT_GT(CountRgb(Dib, 0x000000, TRect(0, 0, 60, 16)), 10) << "the item's text in the list's font colour";
  // A handler that throws leaves the control's canvas on a live DC, not on the item's freed bitmap.
  C->OnDrawItem = [](TWinControl*, int, const TRect&, TOwnerDrawState) { throw Exception("draw failed"); };
  EXPECT_THROW(DrawComboItem(C, Dib, 0, 0), Exception);
  EXPECT_EQ(static_cast<DWORD>(OBJ_DC), GetObjectType(C->Canvas()->Handle()));
}

}  // namespace
