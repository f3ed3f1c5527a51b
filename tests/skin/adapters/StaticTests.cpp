// Static texts, icons and links, and the small dialog adapters (size grip, up-down, tool bar), printed into
// 32-bit DIBs.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/core/sCommonData.h"

using namespace adapter_test;

namespace {

constexpr uint32_t kParentBg = 0x808080;  // the SOLID skin's base colour behind unskinned parents
constexpr uint32_t kStaticText = 0x102030;

class Statics : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    Parent = Host(300, 200);
  }
  HWND Child(const char* Class, DWORD Style, const char* Text, int W, int H) {
    return CreateWindowExA(0, Class, Text, WS_CHILD | WS_VISIBLE | Style, 10, 10, W, H, Parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  std::unique_ptr<testing_support::Dib32> Print(HWND W, uint32_t Fill = 0x00123456) {
    RECT R{};
    GetWindowRect(W, &R);
    auto Dib = std::make_unique<testing_support::Dib32>(R.right - R.left, R.bottom - R.top, Fill, true);
    PrintWindowTo(W, *Dib);
    return Dib;
  }
  // Leftmost and rightmost columns holding colour C.
  std::pair<int, int> Columns(const testing_support::Dib32& D, uint32_t C) {
    int L = D.Width(), R = -1;
    for (int y = 0; y < D.Height(); ++y)
      for (int x = 0; x < D.Width(); ++x)
        if (Rgb(D.Px(x, y)) == C) {
          L = std::min(L, x);
          R = std::max(R, x);
        }
    return {L, R};
  }
  HWND Parent = nullptr;
};

TEST_F(Statics, TextOverTheParentWithTabStopsOfTenCharacters) {
  HWND W = Child("STATIC", SS_LEFT, "i\tW", 280, 20);
  auto* A = Adapt<TvkStaticWnd>(W);
  EXPECT_EQ("TRANSPARENT", A->SkinData->SkinSection());
  auto D = Print(W);
  EXPECT_EQ(kParentBg, Rgb(D->Px(279, 19)));
  // The "W" after the tab starts at the tenth average character width.
  HDC DC = GetDC(W);
  HGDIOBJ Old = SelectObject(DC, reinterpret_cast<HFONT>(SendMessageA(W, WM_GETFONT, 0, 0)));
  if (SendMessageA(W, WM_GETFONT, 0, 0) == 0) SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(W, DC);
  const auto [Left, Right] = Columns(*D, kStaticText);
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
    HWND W = CreateWindowExA(Ex, "STATIC", "Text", WS_CHILD | WS_VISIBLE | (Ex ? 0 : WS_TABSTOP), 10, 10, 100, 20,
                             Parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    Adapt<TvkStaticWnd>(W);
    auto D = Print(W);
    EXPECT_EQ(-1, Columns(*D, kStaticText).second);  // the static painted itself
  }
}

TEST_F(Statics, IconsBitmapsAndLinks) {
  HWND I = Child("STATIC", SS_ICON, "", 32, 32);
  SendMessageA(I, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_ERROR))), 0);
  auto* Icon = Adapt<TvkIconWnd>(I);
  EXPECT_FALSE(Icon->IsBitmap);
  auto D = Print(I);
  EXPECT_GT(D->CountNot(D->Px(0, 0)), 20);  // the icon lies over the background
  // The image kind reads the whole type field: a simple static (0xB) shares an icon's low two bits, yet is none.
  HWND S = Child("STATIC", SS_SIMPLE, "", 32, 32);
  EXPECT_TRUE(Adapt<TvkIconWnd>(S)->IsBitmap);
  // A bitmap static shows its bitmap.
  HWND B = Child("STATIC", SS_BITMAP, "", 8, 8);
  testing_support::Dib32 Img(8, 8, 0x00C00040);
  HBITMAP H = CreateCompatibleBitmap(Img.DC(), 8, 8);
  HDC Mem = CreateCompatibleDC(Img.DC());
  HGDIOBJ Old = SelectObject(Mem, H);
  BitBlt(Mem, 0, 0, 8, 8, Img.DC(), 0, 0, SRCCOPY);
  SelectObject(Mem, Old);
  DeleteDC(Mem);
  SendMessageA(B, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(H));
  auto* Bmp = Adapt<TvkIconWnd>(B);
  EXPECT_TRUE(Bmp->IsBitmap);
  RECT BR{};
  GetWindowRect(B, &BR);
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
  EXPECT_GT(Columns(*D, kStaticText).second, 0);
}

TEST_F(Statics, SizeGripAnswersTheCornerAndPaintsTheGrip) {
  HWND G = Child("SCROLLBAR", SBS_SIZEGRIP, "", 20, 20);
  Adapt<TvkSizerWnd>(G);
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessageA(G, WM_NCHITTEST, 0, 0));
  UpdateWindow(G);
  RedrawWindow(G, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  testing_support::Dib32 D(20, 20, 0, true);
  CopyWindowDC(G, D);
  EXPECT_EQ(0x406006u, Rgb(D.Px(19, 19)));  // the SOLID grip block, 8 x 8 at the corner
  EXPECT_EQ(0x406006u, Rgb(D.Px(12, 12)));
  EXPECT_EQ(kParentBg, Rgb(D.Px(11, 11)));
}

// A skin without a grip image shows the parent's background there, not a blank square.
TEST_F(AdapterTest, ASizeGripWithoutAGripImageShowsItsParent) {
  ManagerPtr Tide = TideManager();
  ASSERT_EQ(-1, Tide->ConstData().GripImage);
  HWND G = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 10, 10, 20, 20, Host(), nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  auto* A = CreateAdapter<TvkSizerWnd>(G, nullptr, Tide.get(), TvkSkinParams(), false);
  RedrawWindow(G, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  testing_support::Dib32 D(20, 20, 0, true);
  CopyWindowDC(G, D);
  EXPECT_EQ(0, D.CountNot(D.Px(0, 0)));
  EXPECT_EQ(0xF3F5F7u, Rgb(D.Px(19, 19)));  // the TIDE skin's base colour behind an unskinned parent
  A->Free();
}

TEST_F(Statics, SpinHalvesAndTheBuddyColumns) {
  HWND S = Child(UPDOWN_CLASSA, 0, "", 16, 30);
  auto* A = Adapt<TvkSpinWnd>(S);
  A->LeftIndent = 2;
  RECT R{};
  GetWindowRect(S, &R);
  Platform().GetCursorPos = [R](POINT* P) {
    *P = POINT{R.left + 8, R.top + 5};
    return TRUE;
  };
  A->Pressed = true;
  auto D = Print(S, 0x00ABCDEF);
  EXPECT_EQ(0xABCDEFu, Rgb(D->Px(0, 5)));  // the buddy's columns stay
  EXPECT_EQ(0xABCDEFu, Rgb(D->Px(1, 25)));
  EXPECT_EQ(0xD08001u, Rgb(D->Px(3, 1)));   // upper half pressed
  EXPECT_EQ(0xD00001u, Rgb(D->Px(3, 28)));  // lower half normal
  A->Pressed = false;
  D = Print(S);
  EXPECT_EQ(0xD04001u, Rgb(D->Px(3, 1)));  // hot under the cursor
  // Horizontal: left and right halves of their own section.
  HWND H = Child(UPDOWN_CLASSA, UDS_HORZ, "", 30, 16);
  Adapt<TvkSpinWnd>(H);
  Platform().GetCursorPos = [](POINT* P) {
    *P = POINT{-100, -100};
    return TRUE;
  };
  D = Print(H);
  RECT HR{};
  GetWindowRect(H, &HR);
  Platform().GetCursorPos = [HR](POINT* P) {
    *P = POINT{HR.left + 3, HR.top + 3};
    return TRUE;
  };
  auto L = Print(H);
  EXPECT_EQ(0xE04001u, Rgb(L->Px(1, 1)));
  EXPECT_EQ(0xE00001u, Rgb(L->Px(28, 14)));
  EXPECT_EQ(0xE00001u, Rgb(D->Px(1, 1)));
  EXPECT_EQ(0xE00001u, Rgb(D->Px(28, 14)));
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
  HWND T = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER, 0, 0, 200,
                           60, Parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(T, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(T, TB_SETBUTTONWIDTH, 0, MAKELPARAM(70, 70));
  TBBUTTON B{};
  B.iBitmap = I_IMAGENONE;
  B.idCommand = 1;
  B.fsState = TBSTATE_ENABLED;
  B.iString = reinterpret_cast<INT_PTR>("Connect the port now, please");
  SendMessageA(T, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&B));
  SendMessageA(T, TB_SETBUTTONSIZE, 0, MAKELPARAM(70, 50));
  Platform().GetCursorPos = [](POINT* P) {
    *P = POINT{-100, -100};
    return TRUE;
  };
  auto* A = Adapt<TvkToolBarWnd>(T, "BAR");
  auto D = Print(T);
  const TRect R = A->ItemRect(0);
  ASSERT_GT(R.Width(), 0);
  int Top = 1000, Bottom = -1, Right = -1;
  for (int y = 0; y < D->Height(); ++y)
    for (int x = 0; x < D->Width(); ++x)
      if (Rgb(D->Px(x, y)) == 0x000000) {  // the bar's font colour
        Top = std::min(Top, y);
        Bottom = std::max(Bottom, y);
        Right = std::max(Right, x);
      }
  ASSERT_GE(Bottom, Top) << "no text";
  TEXTMETRICA TM{};
  HDC DC = GetDC(T);
  HGDIOBJ Old = SelectObject(DC, reinterpret_cast<HFONT>(SendMessageA(T, WM_GETFONT, 0, 0)));
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(T, DC);
  EXPECT_GT(Bottom - Top + 1, TM.tmHeight + TM.tmHeight / 2) << "one line only";
  EXPECT_LT(Right, R.Right) << "the text runs out of its button";
}

TEST_F(Statics, ToolBarButtonsInTheirStates) {
  HWND T = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_LIST, 0,
                           0, 200, 30, Parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(T, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON B[2]{};
  B[0].iBitmap = I_IMAGENONE;
  B[0].idCommand = 1;
  B[0].fsState = TBSTATE_ENABLED;
  B[0].iString = reinterpret_cast<INT_PTR>("One");
  B[1].iBitmap = I_IMAGENONE;
  B[1].idCommand = 2;
  B[1].fsState = TBSTATE_ENABLED | TBSTATE_PRESSED;
  B[1].iString = reinterpret_cast<INT_PTR>("Two");
  SendMessageA(T, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(B));
  Platform().GetCursorPos = [](POINT* P) {
    *P = POINT{-100, -100};
    return TRUE;
  };
  auto* A = Adapt<TvkToolBarWnd>(T, "BAR");
  auto D = Print(T);
  const TRect R0 = A->ItemRect(0), R1 = A->ItemRect(1);
  EXPECT_EQ(0xF00001u, Rgb(D->Px(R0.Left + 1, R0.Top + 1)));
  EXPECT_EQ(0xF08001u, Rgb(D->Px(R1.Left + 1, R1.Top + 1)));
  EXPECT_EQ(0x00FFFFu, Rgb(D->Px(199, 29)));  // the bar's own section around the buttons
  // A text far longer than any fixed buffer is read whole, and painted.
  const std::string Long(700, 'x');
  B[0].iString = reinterpret_cast<INT_PTR>(Long.c_str());
  B[0].idCommand = 3;
  SendMessageA(T, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(B));
  EXPECT_EQ(Long, A->ButtonText(3));
  EXPECT_EQ("One", A->ButtonText(1));
  EXPECT_EQ("", A->ButtonText(99));
  Print(T);
}

}  // namespace

namespace {

TEST_F(Statics, ATransparentPaneShowsItsParentAroundItsChildren) {
  HWND Pane = NewRecordingWindow(Parent, WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, 100, 60);
  CreateWindowExA(0, RecordingClass(), "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, Pane, nullptr,
                  GetModuleHandleA(nullptr), nullptr);
  Adapt<TvkTransPanelWnd>(Pane);
  auto D = Print(Pane, 0x00ABCDEF);
  EXPECT_EQ(kParentBg, Rgb(D->Px(2, 2)));
  EXPECT_EQ(kParentBg, Rgb(D->Px(99, 59)));
  EXPECT_EQ(0xABCDEFu, Rgb(D->Px(15, 15)));  // the child's place is left to the child
}

}  // namespace
