// The title bar: its owner check, a bar read from a stored form, item sizes, the four alignment groups, tab
// groups, the drop-down with its one-popup guard and the item fade.
#include <gtest/gtest.h>

#include <vector>

#include "FormTestSupport.h"
#include "framework/FormReader.h"
#include "framework/Menus.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkTitleBar.h"
#include "tests/support/LayeredRecorder.h"

using namespace form_test;

namespace {

TBitmap* Square(int Size) {
  auto* B = new TBitmap();
  B->SetPixelFormat(pf24bit);
  B->SetSize(Size, Size);
  return B;
}

struct TBar {
  Owned<TForm> F{NewForm(500, 200)};
  TsTitleBar* Bar = Create<TsTitleBar>(F.get());
  TvkTitleBarItem* Add(TvkBtnStyle Style, TvkItemAlign Align = tbaLeft) {
    TvkTitleBarItem* It = Bar->Items()->Add();
    It->SetStyle(Style);
    It->SetAlign(Align);
    return It;
  }
};

TvkTitleBarItem* g_Other = nullptr;
int g_Popups = 0;
void CALLBACK SecondPressThenClose(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  g_Other->MouseDown(mbLeft, TShiftState{}, 0, 0);  // refused while the first drop-down is open
  EndMenu();
}

}  // namespace

TEST(TitleBar, OnlyFormsMayOwnIt) {
  Owned<TComponent> Plain(Create<TComponent>(nullptr));
  for (TComponent* Owner : {Plain.get(), static_cast<TComponent*>(nullptr)}) {
    try {
      Create<TsTitleBar>(Owner);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
      EXPECT_EQ(E.Message(), "TsTitleBar component may be used with forms only!");
    }
  }
}

TEST(TitleBar, ItemSizesAndTheFourAlignmentGroups) {
  TBar T;
  TvkTitleBarItem* Image = T.Add(bsButton);
  std::unique_ptr<TBitmap> G(Square(16));
  Image->SetGlyph(G.get());
  Image->Measure(false);
  EXPECT_EQ(TSize(Image->Width(), Image->Height()), TSize(22, 22));

  TvkTitleBarItem* Gap = T.Add(bsSpacing);
  Gap->SetWidth(40);
  Gap->SetHeight(9);
  Gap->Measure(false);
  EXPECT_EQ(TSize(Gap->Width(), Gap->Height()), TSize(40, 9));

  TvkTitleBarItem* Right = T.Add(bsButton, tbaRight);
  TvkTitleBarItem* Centre = T.Add(bsButton, tbaCenter);
  TvkTitleBarItem* Space = T.Add(bsButton, tbaCenterInSpace);
  TvkTitleBarItem* Tab = T.Add(bsTab, tbaRight);
  TvkTitleBarItem* Menu = T.Add(bsMenu, tbaRight);
  for (TvkTitleBarItem* It : {Right, Centre, Space, Tab, Menu}) {
    It->SetAutoSize(false);  // an auto-sized item measures its own width
    It->SetWidth(30);
  }
  T.Bar->SetRightSpacing(5);
  T.Bar->Area = TRect(10, 2, 410, 26);
  T.Bar->RightLimit = 480;
  T.Bar->CentreLine = 14;
  T.Bar->ArrangeItems();
  // left: in order from the area's left, no space between
  EXPECT_EQ(Image->Rect.Left, 10);
  EXPECT_EQ(Gap->Rect.Left, 32);
  // right: the group ends RightSpacing before the area's right edge
  EXPECT_EQ(Right->Rect.Left, 410 - 5 - 90);
  EXPECT_EQ(Menu->Rect.Right, 405);
  EXPECT_EQ(Centre->Rect.Left, 10 + (480 - 10 - 30) / 2);
  EXPECT_EQ(Space->Rect.Left, 10 + 62 + (400 - 95 - 62 - 30) / 2);
  // vertical place by style
  EXPECT_EQ(Image->Rect.Top, 14 - 11);
  EXPECT_EQ(Menu->Rect.Top, 2);
  EXPECT_EQ(Tab->Rect.Bottom, 26);
}

TEST(TitleBar, TabsOfAGroupReleaseEachOther) {
  TBar T;
  TvkTitleBarItem* A = T.Add(bsTab);
  TvkTitleBarItem* B = T.Add(bsTab);
  TvkTitleBarItem* Loose = T.Add(bsTab);
  Loose->SetGroupIndex(-1);
  int Clicks = 0;
  for (TvkTitleBarItem* It : {A, B, Loose}) It->OnClick = [&](TObject*) { ++Clicks; };
  auto Click = [](TvkTitleBarItem* It) {
    It->MouseDown(mbLeft, TShiftState{}, 0, 0);
    It->MouseUp(mbLeft, TShiftState{}, 0, 0);
  };
  Click(A);
  EXPECT_TRUE(A->Down());
  Click(B);
  EXPECT_TRUE(B->Down());
  EXPECT_FALSE(A->Down());
  EXPECT_EQ(Clicks, 2);
  // a tab without a group is only clicked: it releases nobody and is not held down
  Click(Loose);
  EXPECT_TRUE(B->Down());
  EXPECT_FALSE(Loose->Down());
  EXPECT_EQ(Clicks, 3);
}

TEST(TitleBar, DropDownOpensOnceAndClosesByTheBreaker) {
  TBar T;
  Owned<TPopupMenu> Menu(Create<TPopupMenu>(T.F.get()));
  TMenuItem* Item = Create<TMenuItem>(Menu.get());
  Item->SetCaption("Port");
  Menu->Items()->Add(Item);
  Menu->OnPopup = [](TObject*) { ++g_Popups; };
  TvkTitleBarItem* First = T.Add(bsMenu);
  TvkTitleBarItem* Second = T.Add(bsButton);
  First->SetDropdownMenu(Menu.get());
  Second->SetDropdownMenu(Menu.get());
  int Clicks = 0;
  First->OnClick = [&](TObject*) { ++Clicks; };
  g_Other = Second;
  g_Popups = 0;
  T.F->Show();
  SetTimer(nullptr, 0, 50, SecondPressThenClose);
  First->MouseDown(mbLeft, TShiftState{}, 0, 0);
  EXPECT_EQ(g_Popups, 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(First->MenuOpen);
  EXPECT_FALSE(First->Busy);
  EXPECT_FALSE(Second->Busy);
  EXPECT_EQ(First->GetState(), 0);
}

TEST(TitleBar, ItemFadeEndsIdleWithItsWindowFreed) {
  TBar T;
  testing_support::LayeredRecorder Rec;
  TvkTitleBarItem* It = T.Add(bsButton);
  It->Rect = TRect(40, 4, 62, 26);
  T.F->Show();  // a fade runs over a form on the screen only
  const RECT W = WindowRectOf(T.F->Handle());
  POINT Cursor{W.left + 50, W.top + 10};
  FollowCursor(Cursor);
  It->HotState = 1;
  It->Animate(0, true, T.F->Handle());  // a count below 1 counts as one
  ASSERT_NE(It->Animation, nullptr);
  EXPECT_EQ(It->Animation->AlphaStep(), 255);
  It->Animation->StepCount = 4;
  for (int i = 0; i < 10 && It->Animation->Enabled(); ++i) It->Animation->DoStep(nullptr);
  EXPECT_EQ(It->Animation->StepCount, -1);
  It->HotState = 0;
  It->Animate(4, false, T.F->Handle());
  for (int i = 0; i < 10 && It->Animation->Enabled(); ++i) It->Animation->DoStep(nullptr);
  EXPECT_EQ(It->Animation->State, -1);
  EXPECT_FALSE(It->Animation->Enabled());
  EXPECT_EQ(It->Animation->GlowWindow, nullptr);
  EXPECT_EQ(It->Animation->Image, nullptr);
  It->FreeAnimation();
}

TEST(TitleBar, AStoredBarItsItemsAndTheirFontsReadBackWhatTheFormSet) {
  // the bar's lines, then its first item's (its events only named: no handler to bind); a second item as it comes
  const std::vector<std::string> Lines = {
      "Images = I", "ItemsMargin = 5", "ItemsSpacing = 2", "RightSpacing = 8", "ShowCaption = False", "Items = <",
      "item", "Align = tbaCenterInSpace", "Alignment = taCenter", "AutoSize = False", "Caption = 'Port'",
      "Cursor = -21", "Down = True", "DropdownMenu = M", "Enabled = False", "FontData.Font.Height = -20",
      "FontData.GlowColor = 255", "FontData.GlowSize = 3", "FontData.UseSysColor = False",
      "FontData.UseSysFontName = False", "FontData.UseSysGlowing = False", "FontData.UseSysSize = False",
      "FontData.UseSysStyle = False", "Height = 30", "Hint = 'Open'", "ImageIndex = 1", "HotImageIndex = 2",
      "PressedImageIndex = 3", "DisabledImageIndex = 4", "Name = 'PortItem'", "NumGlyphs = 5", "ShowHint = True",
      "SkinSection = 'BUTTON'", "Spacing = 6", "Style = bsMenu", "Tag = 7", "Visible = False", "Width = 40",
      "OnClick = nil", "OnDrawItem = nil", "OnMouseDown = nil", "OnMouseUp = nil", "OnMouseEnter = nil",
      "OnMouseLeave = nil", "end", "item", "end>"};
  std::string Text = "object F: TForm\nobject I: TImageList\nend\nobject M: TPopupMenu\nend\nobject Bar: TsTitleBar\n";
  for (const std::string& L : Lines) Text += L + "\n";
  Owned<TForm> F(NewForm());
  ReadComponentFromText(Text + "end\nend\n", F.get());
  auto* B = As<TsTitleBar>(F->FindComponent("Bar"));
  ASSERT_TRUE(B != nullptr && B->Items()->Count() == 2);
  // each value as its published getter gives it, written as the description writes it
  for (TObject* O = B; const std::string& L : Lines) {
    const std::string P = L.substr(0, L.find(" = ")), Enum = GetEnumProp(O, P), Str = GetStrProp(O, P);
    if (L == "item") O = B->Items()->Items(0);
    if (L == P || L == "Items = <" || L.find(" = nil") != std::string::npos) continue;
    std::string V = !Enum.empty() ? Enum : std::to_string(GetOrdProp(O, P));
    if (FindPropPath(O, P).info->kind == TPropKind::String) V = "'" + Str + "'";
    if (TObject* C = GetObjectProp(O, P)) V = static_cast<TComponent*>(C)->Name();
    EXPECT_EQ(P + " = " + V, L);
  }
}
