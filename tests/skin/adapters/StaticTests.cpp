// Static texts, icons and links, and the small dialog adapters (size grip, up-down, tool bar), printed into
// 32-bit DIBs.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/core/sCommonData.h"

using namespace adapter_test;

namespace {

constexpr uint32_t kParentBg = 0x808080;  // the SOLID skin's base colour behind unskinned parents
constexpr uint32_t kStaticText = 0x102030;

class Statics : public HostedAdapterTest<> {
protected:
  HWND Child(const char* Class, DWORD Style, const char* Text, int W, int H) {
    return NewWindow(Class, Parent, WS_VISIBLE | Style, 10, 10, W, H, Text);
  }
  std::unique_ptr<testing_support::Dib32> Print(HWND W, uint32_t Fill = 0x00123456) { return PrintedWindow(W, Fill); }
  // What holds colour C.
  static TInk InkOf(const testing_support::Dib32& D, uint32_t C) {
    return InkBounds(D, [C](uint32_t P) { return P == C; });
  }
  // A tool bar of the style along the top of the parent, with buttons of the texts and states.
  HWND ToolBar(DWORD Style, int H, std::initializer_list<std::pair<const char*, BYTE>> Buttons) {
    HWND T = NewWindow(TOOLBARCLASSNAMEA, Parent, WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER | Style, 0, 0, 200, H);
    SendMessageA(T, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    int Command = 0;
    for (const auto& [Text, State] : Buttons) {
      TBBUTTON B{I_IMAGENONE, ++Command, State, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(Text)};
      SendMessageA(T, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&B));
    }
    return T;
  }
};
class StaticsRealScreen : public Statics {};

TEST_F(Statics, TextOverTheParentWithTabStopsOfTenCharacters) {
  HWND W = Child("STATIC", SS_LEFT, "i\tW", 280, 20);
  auto* A = Adapt<TvkStaticWnd>(W);
  EXPECT_EQ("TRANSPARENT", A->SkinData->SkinSection());
  auto D = Print(W);
  EXPECT_EQ(kParentBg, Rgb(D->Px(279, 19)));
  // The "W" after the tab starts at the tenth average character width.
  const TEXTMETRICA TM = FontMetricsOf(W, GetStockObject(DEFAULT_GUI_FONT));
  const TInk Ink = InkOf(*D, kStaticText);
  const int Left = Ink.Left, Right = Ink.Right;
  ASSERT_GE(Right, 0) << "no text drawn";
  int TabbedStart = -1;
  for (int x = Left + 1; x <= Right && TabbedStart < 0; ++x)
    for (int y = 0; y < D->Height(); ++y)
      if (Rgb(D->Px(x, y)) == kStaticText && x > Left + TM.tmMaxCharWidth) {
        TabbedStart = x;
        break;
      }
  EXPECT_GE(TabbedStart, 10 * TM.tmAveCharWidth - 1);
  EXPECT_LT(TabbedStart, 11 * TM.tmAveCharWidth - 1);
}

TEST_F(Statics, TabStopAndStaticEdgeStaticsKeepTheBaseHandling) {
  for (DWORD Ex : {DWORD{0}, DWORD{WS_EX_STATICEDGE}}) {
    HWND W = NewWindow("STATIC", Parent, WS_VISIBLE | (Ex ? 0 : WS_TABSTOP), 10, 10, 100, 20, "Text", Ex);
    Adapt<TvkStaticWnd>(W);
    auto D = Print(W);
    EXPECT_EQ(-1, InkOf(*D, kStaticText).Right);  // the static painted itself
  }
}

TEST_F(Statics, IconsBitmapsAndLinks) {
  HWND I = Child("STATIC", SS_ICON, "", 32, 32);
  SendMessageA(I, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_ERROR))), 0);
  auto* Icon = Adapt<TvkIconWnd>(I);
  EXPECT_FALSE(Icon->IsBitmap);
  auto D = Print(I);
  EXPECT_GT(D->CountNot(D->Px(0, 0)), 20);  // the icon lies over the background
  // A bitmap static shows its bitmap.
  HWND B = Child("STATIC", SS_BITMAP, "", 8, 8);
  SendMessageA(B, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FlatBitmap(8, 8, 0xC00040)));
  auto* Bmp = Adapt<TvkIconWnd>(B);
  EXPECT_TRUE(Bmp->IsBitmap);
  D = Print(B);
  EXPECT_EQ(0xC00040u, Rgb(D->Px(0, 0)));
  // Links: one underlined text without the tags.
  struct Case {
    const char* In;
    const char* Out;
  };
  for (const Case& C : {Case{"Visit <A>our site</A> now", "Visit our site now"}, Case{"<a>any case</a>", "any case"},
                        Case{"Go <a href=\"https://x.org\">there</a>.", "Go there."}, Case{"</A><A>", ""},
                        Case{"a <abbr> b < c", "a <abbr> b < c"}, Case{"open <a href=", "open <a href="}})
    EXPECT_EQ(C.Out, LinkTextWithoutTags(C.In));
  HWND L = NewRecordingWindow(Parent, WS_VISIBLE, 10, 60, 200, 20, "Visit <A>site</A>");
  Adapt<TvkLinkWnd>(L);
  D = Print(L);
  EXPECT_GT(InkOf(*D, kStaticText).Right, 0);
}

TEST_F(StaticsRealScreen, SizeGripAnswersTheCornerAndPaintsTheGrip) {
  HWND G = Child("SCROLLBAR", SBS_SIZEGRIP, "", 20, 20);
  Adapt<TvkSizerWnd>(G);
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessageA(G, WM_NCHITTEST, 0, 0));
  UpdateWindow(G);
  RedrawWindow(G, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const auto D = WindowDCOf(G);
  ExpectPixels(*D, {{19, 19, 0x406006}, {12, 12, 0x406006}, {11, 11, kParentBg}});  // the 8 x 8 grip at the corner
}

// A skin without a grip image shows the parent's background there, not a blank square.
class SizeGripRealScreen : public AdapterTest {};
TEST_F(SizeGripRealScreen, ASizeGripWithoutAGripImageShowsItsParent) {
  ManagerPtr Tide = TideManager();
  ASSERT_EQ(-1, Tide->ConstData().GripImage);
  HWND G = NewWindow("SCROLLBAR", Host(), WS_VISIBLE | SBS_SIZEGRIP, 10, 10, 20, 20);
  auto* A = CreateAdapter<TvkSizerWnd>(G, nullptr, Tide.get(), TvkSkinParams(), false);
  RedrawWindow(G, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const auto D = WindowDCOf(G);
  EXPECT_EQ(0, D->CountNot(D->Px(0, 0)));
  EXPECT_EQ(0xF3F5F7u, D->Rgb(19, 19));  // the TIDE skin's base colour behind an unskinned parent
  A->Free();
}

TEST_F(Statics, SpinHalvesAndTheBuddyColumns) {
  HWND S = Child(UPDOWN_CLASSA, 0, "", 16, 30);
  auto* A = Adapt<TvkSpinWnd>(S);
  A->LeftIndent = 2;
  const TRect R = WindowRectOf(S);
  FakeCursorAt(POINT{R.Left + 8, R.Top + 5});
  A->Pressed = true;
  auto D = Print(S, 0x00ABCDEF);
  // The buddy's columns stay; the upper half pressed, the lower one normal.
  ExpectPixels(*D, {{0, 5, 0xABCDEF}, {1, 25, 0xABCDEF}, {3, 1, 0xD08001}, {3, 28, 0xD00001}});
  A->Pressed = false;
  D = Print(S);
  EXPECT_EQ(0xD04001u, Rgb(D->Px(3, 1)));  // hot under the cursor
  // Arrows drawn without glyphs take the font colour of their half's state: hot above, normal below.
  M->EditModel().gd[A->SkinData->SkinIndex].Props[1].FontColor = 0x00AA00;
  D = Print(S);
  EXPECT_GT(CountRgb(*D, 0x00AA00, TRect(0, 0, 16, 15)), 0);
  EXPECT_EQ(0, CountRgb(*D, 0x00AA00, TRect(0, 15, 16, 30)));
  // Horizontal: left and right halves of their own section.
  HWND H = Child(UPDOWN_CLASSA, UDS_HORZ, "", 30, 16);
  Adapt<TvkSpinWnd>(H);
  FakeCursorAt(POINT{-100, -100});
  D = Print(H);
  FakeCursorAt(POINT{WindowRectOf(H).Left + 3, WindowRectOf(H).Top + 3});
  auto L = Print(H);
  ExpectPixels(*L, {{1, 1, 0xE04001}, {28, 14, 0xE00001}});
  ExpectPixels(*D, {{1, 1, 0xE00001}, {28, 14, 0xE00001}});
}

TEST_F(Statics, ToolButtonTextBreaksAtABlank) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
  SIZE One{};
  GetTextExtentPoint32A(DC, "Connect", 7, &One);
  std::string First, Second;
  SplitToolButtonText(DC, "Connect", One.cx, First, Second);
  EXPECT_EQ("Connect", First);
  EXPECT_EQ("", Second);
  SplitToolButtonText(DC, "Connect the port now", One.cx + 2, First, Second);
  EXPECT_EQ("Connect", First);
  EXPECT_EQ("the port now", Second);
  SplitToolButtonText(DC, "Disconnecting", One.cx, First, Second);  // no blank to break at
  EXPECT_EQ("Disconnecting", First);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
}

// A tool button's text too wide for it is painted on two lines broken at a blank, and stays inside the button.
TEST_F(Statics, AToolButtonsWideTextShowsOnTwoLinesInsideTheButton) {
  HWND T = ToolBar(0, 60, {});
  SendMessageA(T, TB_SETBUTTONWIDTH, 0, MAKELPARAM(70, 70));
  const char* Text = "Connect the port now, please";
  TBBUTTON B{I_IMAGENONE, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(Text)};
  SendMessageA(T, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&B));
  SendMessageA(T, TB_SETBUTTONSIZE, 0, MAKELPARAM(70, 50));
  FakeCursorAt(POINT{-100, -100});
  auto* A = Adapt<TvkToolBarWnd>(T, "BAR");
  auto D = Print(T);
  const TRect R = A->ItemRect(0);
  ASSERT_GT(R.Width(), 0);
  const TInk Ink = InkOf(*D, 0x000000);  // the bar's font colour
  ASSERT_GE(Ink.Bottom, Ink.Top) << "no text";
  const TEXTMETRICA TM = FontMetricsOf(T);
  EXPECT_GT(Ink.Bottom - Ink.Top + 1, TM.tmHeight + TM.tmHeight / 2) << "one line only";
  EXPECT_LT(Ink.Right, R.Right) << "the text runs out of its button";
}

TEST_F(Statics, ToolBarButtonsInTheirStates) {
  HWND T = ToolBar(TBSTYLE_LIST, 30, {{"One", TBSTATE_ENABLED}, {"Two", TBSTATE_ENABLED | TBSTATE_PRESSED},
                                      {"Three", TBSTATE_ENABLED | TBSTATE_CHECKED}});
  FakeCursorAt(POINT{-100, -100});
  auto* A = Adapt<TvkToolBarWnd>(T, "BAR");
  auto D = Print(T);
  const TRect R0 = A->ItemRect(0), R1 = A->ItemRect(1), R2 = A->ItemRect(2);
  // the buttons (a checked one pressed), and the bar's own section around them
  ExpectPixels(*D, {{R0.Left + 1, R0.Top + 1, 0xF00001},
                    {R1.Left + 1, R1.Top + 1, 0xF08001},
                    {R2.Left + 1, R2.Top + 1, 0xF08001},
                    {199, 29, 0x00FFFF}});
  // A text far longer than any fixed buffer is read whole, and painted.
  const std::string Long(700, 'x');
  TBBUTTON B{I_IMAGENONE, 4, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(Long.c_str())};
  SendMessageA(T, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&B));
  EXPECT_EQ(Long, A->ButtonText(4));
  EXPECT_EQ("One", A->ButtonText(1));
  EXPECT_EQ("", A->ButtonText(99));
  Print(T);
  // An image shows, and the bar's image list keeps its own background colour.
  HWND Bar = ToolBar(0, 30, {});
  HIMAGELIST Images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
  HBITMAP Image = FlatBitmap(16, 16, 0x20C040);
  ImageList_AddMasked(Images, Image, RGB(0xFF, 0, 0xFF));
  ImageList_SetBkColor(Images, RGB(0xC0, 0x20, 0x40));
  SendMessageA(Bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images));
  TBBUTTON I{0, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1};
  SendMessageA(Bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&I));
  const TRect Item = Adapt<TvkToolBarWnd>(Bar, "BAR")->ItemRect(0);
  D = Print(Bar);
  EXPECT_EQ(16 * 16, CountRgb(*D, 0x20C040, Item));
  EXPECT_EQ(RGB(0xC0, 0x20, 0x40), ImageList_GetBkColor(Images));
  SendMessageA(Bar, TB_SETIMAGELIST, 0, 0);
  ImageList_Destroy(Images);
  DeleteObject(Image);
}

// A text static with a border (none, WS_BORDER, a client edge) keeps the system's border, its text inside it.
TEST_F(Statics, ABorderedTextStaticKeepsItsBorder) {
  TInk Plain{};
  for (const auto& [Style, Ex] : {std::pair{0L, 0L}, std::pair{WS_BORDER, 0L}, std::pair{0L, WS_EX_CLIENTEDGE}}) {
    HWND W = NewWindow("STATIC", Parent, WS_VISIBLE | SS_LEFT | Style, 10, 10, 100, 24, "Port", Ex);
    Adapt<TvkStaticWnd>(W);
    const int Frame = ClientOriginInWindow(W).x;
    const auto D = Print(W);
    const TInk Ink = InkOf(*D, kStaticText);
    if (Frame == 0) Plain = Ink;
    EXPECT_TRUE(Frame == 0 || D->Rgb(Frame - 1, 12) != kParentBg) << "no border " << Frame;
    EXPECT_EQ(Plain.Left + Frame, Ink.Left) << Frame;
    EXPECT_EQ(Plain.Top + Frame, Ink.Top) << Frame;
  }
}

}  // namespace

namespace {

TEST_F(Statics, ATransparentPaneShowsItsParentAroundItsChildren) {
  HWND Pane = NewRecordingWindow(Parent, WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, 100, 60);
  NewRecordingWindow(Pane, WS_VISIBLE, 10, 10, 20, 20);
  Adapt<TvkTransPanelWnd>(Pane);
  auto D = Print(Pane, 0x00ABCDEF);
  ExpectPixels(*D, {{2, 2, kParentBg}, {99, 59, kParentBg}, {15, 15, 0xABCDEF}});  // the child's place is the child's
}

}  // namespace

// A mirrored window's client lies in its frame where its unmirrored twin's does: the adapters' pictures count from
// the window's left.
TEST(ClientOrigin, AMirroredWindowsClientLiesWhereItsTwinsDoes) {
  HWND Twins[2];
  for (int i = 0; i < 2; ++i)
    Twins[i] = CreateWindowExA(i ? WS_EX_LAYOUTRTL : 0, "STATIC", "", WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME, 40,
                               40, 200, 120, nullptr, nullptr, nullptr, nullptr);
  const POINT Plain = ClientOriginInWindow(Twins[0]), Mirrored = ClientOriginInWindow(Twins[1]);
  EXPECT_GT(Plain.x, 0);
  EXPECT_EQ(Plain.x, Mirrored.x);
  EXPECT_EQ(Plain.y, Mirrored.y);
  for (HWND W : Twins) DestroyWindow(W);
}
