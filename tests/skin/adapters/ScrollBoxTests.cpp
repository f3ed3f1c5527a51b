// Scroll boxes and natively painted controls: the client shows the cache from inside the 2-pixel frame, around
// the children, and a native control paints its own client.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkPanelWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollBoxWnds.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"

using namespace adapter_test;

namespace {

class ScrollBoxes : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    ShowForm();
  }
  template <class T> T* Adapt(TWinControl* C, const char* Section) {
    return SkinnedAdapterTest::Adapt<T>(C->Handle(), Section, C);
  }
};

TEST_F(ScrollBoxes, ClientFromInsideTheFrameAroundChildren) {
  auto* Box = new TPanel(Form);
  Box->SetParent(Form);
  Box->SetBounds(5, 5, 120, 80);
  auto* Child = new TPanel(Form);
  Child->SetParent(Box);
  Child->SetBounds(30, 20, 20, 20);
  auto* A = Adapt<TvkScrollBoxWnd>(Box, "EDIT");
  EXPECT_EQ("EDIT", A->SkinData->SkinSection());
  testing_support::Dib32 D(120, 80, 0x00123456, true);
  A->SkinData->CacheDirty = true;
  A->PaintClient(D.DC());
  // The EDIT ring lies in the frame; the client starts at the cache's (2, 2), the white centre.
  EXPECT_EQ(0xFFFFFFu, Rgb(D.Px(0, 0)));
  EXPECT_EQ(0xFFFFFFu, Rgb(D.Px(115, 75)));
  EXPECT_EQ(0x123456u, Rgb(D.Px(117, 77)));  // beyond width - 4 nothing is copied
  EXPECT_EQ(0x123456u, Rgb(D.Px(40, 30)));   // the child's place is left to the child
  // A skin change repaints the box with all its children (erase and no-erase together would leave them out).
  HWND Kid = CreateWindowExA(0, RecordingClass(), "", WS_CHILD | WS_VISIBLE, 60, 40, 20, 20, Box->Handle(), nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(Kid);
  Recorded().clear();
  SendMessageA(Box->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_REPAINT_AFTER_CHANGE), reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(2, CountRecorded(Kid, WM_PAINT));  // one of them from the box's repaint
  // Without a section of its own the box takes the lowered panel.
  auto* Plain = new TPanel(Form);
  Plain->SetParent(Form);
  Plain->SetBounds(130, 5, 60, 60);
  EXPECT_EQ("PANEL_LOW", Adapt<TvkScrollBoxWnd>(Plain, "")->SkinData->SkinSection());
}

TEST_F(ScrollBoxes, NativePaintLeavesTheClientToTheControl) {
  HWND Host_ = Host(200, 100);
  HWND W = CreateWindowExA(0, RecordingClass(), "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 5, 5, 100, 60, Host_,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  auto* A = SkinnedAdapterTest::Adapt<TvkNativePaint>(W);
  EXPECT_EQ("TRANSPARENT", A->SkinData->SkinSection());
  Recorded().clear();
  SendMessageA(W, WM_ERASEBKGND, 0, 0);
  EXPECT_EQ(1, CountRecorded(W, WM_ERASEBKGND));
  SendMessageA(W, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(1, CountRecorded(W, WM_SETTEXT));
}

TEST_F(ScrollBoxes, StaticTextSectionByBevelAndBorder) {
  struct Case {
    TBevelKind Kind;
    TBevelCut Outer, Inner;
    TStaticBorderStyle Border;
    const char* Section;
  } Cases[] = {
      {bkTile, bvLowered, bvRaised, sbsNone, "GROUPBOX"}, {bkTile, bvLowered, bvNone, sbsNone, "PANEL_LOW"},
      {bkTile, bvRaised, bvLowered, sbsNone, "GROUPBOX"}, {bkTile, bvRaised, bvNone, sbsNone, "PANEL"},
      {bkNone, bvRaised, bvLowered, sbsSingle, "GROUPBOX"}, {bkNone, bvNone, bvNone, sbsNone, "TRANSPARENT"},
  };
  for (const Case& C : Cases) {
    auto* T = new TStaticText(Form);
    T->SetParent(Form);
    T->SetBevelKind(C.Kind);
    T->SetBevelOuter(C.Outer);
    T->SetBevelInner(C.Inner);
    T->SetBorderStyle(C.Border);
    EXPECT_EQ(C.Section, Adapt<TvkStaticTextWnd>(T, "")->SkinData->SkinSection()) << C.Section;
  }
}

// A static text shows a new caption and a new font size at once, its text inside its frame, and its print puts
// the client inside the frame (the screen is compared with the print).
TEST_F(ScrollBoxes, StaticTextRepaintsNewTextsInsideItsFrame) {
  auto* T = new TStaticText(Form);
  T->SetParent(Form);
  T->SetBorderStyle(sbsSunken);
  T->SetBounds(10, 10, 120, 40);
  T->SetCaption("Old");
  Adapt<TvkStaticTextWnd>(T, "PANEL");
  ExpectScreenFollows(T->Handle(), [&] { T->SetCaption("New words"); }, "caption");
  ExpectScreenFollows(T->Handle(), [&] { T->Font()->SetSize(14); }, "font size");
  // A word wider than the text stops at the frame: the frame keeps the section's flat colour.
  T->SetCaption(std::string(30, 'W'));
  auto D = PrintedWindow(T->Handle());
  RECT C{};
  GetClientRect(T->Handle(), &C);
  const int B = (120 - C.right) / 2;
  ASSERT_GT(B, 0);
  int Text = 0, OnFrame = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool Frame = x < B || y < B || x >= 120 - B || y >= 40 - B;
      (Frame ? OnFrame : Text) += Rgb(D->Px(x, y)) != 0xFFFF00u;
    }
  EXPECT_GT(Text, 10);
  EXPECT_EQ(0, OnFrame);
}

// Scroll boxes, panels and static texts answer alike: a new size or text marks the cache stale, the text reaches
// the window, and a dropped skin leaves the control no longer opaque; the panel and the static text also answer
// the skinning and application queries the same way.
TEST_F(ScrollBoxes, ContainersAnswerSizeTextAndSkinCommandsAlike) {
  auto Place = [this](TWinControl* C, int X, int Y) {
    C->SetParent(Form);
    C->SetBounds(X, Y, 80, 40);
    return C;
  };
  TWinControl* Box = Place(new TPanel(Form), 5, 5);
  TWinControl* Pan = Place(new TPanel(Form), 90, 5);
  TWinControl* Txt = Place(new TStaticText(Form), 5, 50);
  struct Case {
    const char* Name;
    TWinControl* Control;
    TvkMainWnd* Adapter;
    bool Queries;
  };
  const Case Cases[] = {
      {"scroll box", Box, Adapt<TvkScrollBoxWnd>(Box, "PANEL"), false},
      {"panel", Pan, Adapt<TvkPanelWnd>(Pan, "PANEL"), true},
      {"static text", Txt, Adapt<TvkStaticTextWnd>(Txt, "PANEL"), true},
  };
  for (const Case& C : Cases) {
    const HWND W = C.Control->Handle();
    TsCommonData* SD = C.Adapter->SkinData;
    ASSERT_TRUE(SD->IsSkinned(false)) << C.Name;
    for (UINT Msg : {static_cast<UINT>(WM_SIZE), CM_TEXTCHANGED, CM_FONTCHANGED}) {
      SD->CacheDirty = false;
      SendMessageA(W, Msg, SIZE_RESTORED, MAKELPARAM(80, 40));
      EXPECT_TRUE(SD->CacheDirty) << C.Name << " " << Msg;
    }
    SendMessageA(W, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new text"));
    char Text[16] = {};
    GetWindowTextA(W, Text, sizeof Text);
    EXPECT_STREQ("new text", Text) << C.Name;
    if (C.Queries) {
      EXPECT_EQ(1, SendMessageA(W, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SKINNED), 0)) << C.Name;
      EXPECT_EQ(reinterpret_cast<LRESULT>(Application),
                SendMessageA(W, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_APPLICATION), 0))
          << C.Name;
    }
    C.Control->SetControlStyle(C.Control->ControlStyle() + csOpaque);
    SendMessageA(W, SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_DROPPED), reinterpret_cast<LPARAM>(M.get()));
    EXPECT_EQ(-1, SD->SkinIndex) << C.Name;
    EXPECT_FALSE(C.Control->ControlStyle().Contains(csOpaque)) << C.Name;
  }
}

}  // namespace

namespace {

// A printed scroll box with a shown bar: the frame is the box's own 2 pixels, so neither the client beside the bar
// nor the bar itself is covered by frame strips.
TEST_F(ScrollBoxes, APrintedBoxWithABarKeepsItsClientAndBarClearOfTheFrame) {
  auto* Box = new TScrollBox(Form);
  Box->SetParent(Form);
  Box->SetBounds(5, 5, 140, 100);
  Box->VertScrollBar()->SetRange(400);
  ASSERT_TRUE(Box->VertScrollBar()->IsScrollBarVisible());
  auto* A = SkinnedAdapterTest::Adapt<TvkScrollBoxWnd>(Box->Handle(), "EDIT", Box, true);
  ASSERT_TRUE(A->VertBar->Shown) << "the box shows its bar";
  RECT WR{};
  GetWindowRect(Box->Handle(), &WR);
  TRect Bar;
  GetVertScrollBarRect(A, Box->Handle(), Bar);
  Bar = TRect(Bar.Left - WR.left, Bar.Top - WR.top, Bar.Right - WR.left, Bar.Bottom - WR.top);
  auto D = PrintedWindow(Box->Handle(), 0x00123456);
  // The bar's track (its two SOLID colours) right up to the bar's outer edge, half-way down.
  const uint32_t Edge = Rgb(D->Px(Bar.Right - 1, (Bar.Top + Bar.Bottom) / 2));
  EXPECT_TRUE(Edge == 0x330001 || Edge == 0x440001 || Edge == 0xAA0001) << std::hex << Edge << ": the bar is covered";
  // The client is the EDIT section's white from just inside the frame to the bar and to the bottom frame.
  for (const POINT P : {POINT{2, 50}, POINT{Bar.Left - 1, 50}, POINT{40, WR.bottom - WR.top - 3}})
    EXPECT_EQ(0xFFFFFFu, Rgb(D->Px(P.x, P.y))) << P.x << "," << P.y;
}

}  // namespace
