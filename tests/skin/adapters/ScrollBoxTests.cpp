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
class ScrollBoxesRealScreen : public ScrollBoxes {};

TEST_F(ScrollBoxes, ClientFromInsideTheFrameAroundChildren) {
  auto* Box = Place<TPanel>(Form, 5, 5, 120, 80);
  Place<TPanel>(Box, 30, 20, 20, 20);
  auto* A = Adapt<TvkScrollBoxWnd>(Box, "EDIT");
  EXPECT_EQ("EDIT", A->SkinData->SkinSection());
  testing_support::Dib32 D(120, 80, 0x00123456, true);
  A->SkinData->CacheDirty = true;
  A->PaintClient(D.DC());
  // The EDIT ring lies in the frame; the client starts at the cache's (2, 2), the white centre.
  // Beyond width - 4 nothing is copied, and the child's place is left to the child.
  ExpectPixels(D, {{0, 0, 0xFFFFFF}, {115, 75, 0xFFFFFF}, {117, 77, 0x123456}, {40, 30, 0x123456}});
  // A skin change repaints the box with all its children (erase and no-erase together would leave them out).
  HWND Kid = NewRecordingWindow(Box->Handle(), WS_VISIBLE, 60, 40, 20, 20);
  UpdateWindow(Kid);
  Recorded().clear();
  SendMessageA(Box->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_REPAINT_AFTER_CHANGE), reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(2, CountRecorded(Kid, WM_PAINT));  // one of them from the box's repaint
  // Without a section of its own the box takes the lowered panel.
  auto* Plain = Place<TPanel>(Form, 130, 5, 60, 60);
  EXPECT_EQ("PANEL_LOW", Adapt<TvkScrollBoxWnd>(Plain, "")->SkinData->SkinSection());
}

TEST_F(ScrollBoxes, NativePaintLeavesTheClientToTheControl) {
  HWND W = NewRecordingWindow(Host(200, 100), WS_VISIBLE | WS_VSCROLL, 5, 5, 100, 60);
  auto* A = SkinnedAdapterTest::Adapt<TvkNativePaint>(W);
  EXPECT_EQ("TRANSPARENT", A->SkinData->SkinSection());
  Recorded().clear();
  SendMessageA(W, WM_ERASEBKGND, 0, 0);
  EXPECT_EQ(1, CountRecorded(W, WM_ERASEBKGND));
  // Everything else takes the scroll box's way: a new text is set, then the control repaints at once.
  Recorded().clear();
  SendMessageA(W, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(1, CountRecorded(W, WM_SETTEXT));
  EXPECT_EQ(1, CountRecorded(W, WM_PAINT));
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
    auto* T = Place<TStaticText>(Form, 0, 0, 60, 20);
    T->SetBevelKind(C.Kind);
    T->SetBevelOuter(C.Outer);
    T->SetBevelInner(C.Inner);
    T->SetBorderStyle(C.Border);
    EXPECT_EQ(C.Section, Adapt<TvkStaticTextWnd>(T, "")->SkinData->SkinSection()) << C.Section;
  }
}

// A static text shows a new caption and a new font size at once, its text inside its frame, and its print puts
// the client inside the frame (the screen is compared with the print).
TEST_F(ScrollBoxesRealScreen, StaticTextRepaintsNewTextsInsideItsFrame) {
  auto* T = Place<TStaticText>(Form, 10, 10, 120, 40);
  T->SetBorderStyle(sbsSunken);
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
  auto NotFace = [](uint32_t P) { return P != 0xFFFF00u; };
  const int Text = CountWhere(*D, NotFace, TRect(B, B, 120 - B, 40 - B));
  EXPECT_GT(Text, 10);
  EXPECT_EQ(Text, CountWhere(*D, NotFace)) << "text on the frame";
}

// Scroll boxes, panels and static texts answer alike: a new size or text marks the cache stale, the text reaches
// the window, and a dropped skin leaves the control no longer opaque; the panel and the static text also answer
// the skinning and application queries the same way.
TEST_F(ScrollBoxes, ContainersAnswerSizeTextAndSkinCommandsAlike) {
  TWinControl* Box = Place<TPanel>(Form, 5, 5, 80, 40);
  TWinControl* Pan = Place<TPanel>(Form, 90, 5, 80, 40);
  TWinControl* Txt = Place<TStaticText>(Form, 5, 50, 80, 40);
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
  auto* Box = Place<TScrollBox>(Form, 5, 5, 140, 100);
  Box->VertScrollBar()->SetRange(400);
  ASSERT_TRUE(Box->VertScrollBar()->IsScrollBarVisible());
  auto* A = SkinnedAdapterTest::Adapt<TvkScrollBoxWnd>(Box->Handle(), "EDIT", Box, true);
  ASSERT_TRUE(A->VertBar->Shown) << "the box shows its bar";
  const TRect WR = WindowRectOf(Box->Handle());
  TRect Bar;
  GetVertScrollBarRect(A, Box->Handle(), Bar);
  OffsetRect(Bar.AsRECT(), -WR.Left, -WR.Top);
  auto D = PrintedWindow(Box->Handle(), 0x00123456);
  // The bar's track (its two SOLID colours) right up to the bar's outer edge, half-way down.
  const uint32_t Edge = Rgb(D->Px(Bar.Right - 1, (Bar.Top + Bar.Bottom) / 2));
  EXPECT_TRUE(Edge == 0x330001 || Edge == 0x440001 || Edge == 0xAA0001) << std::hex << Edge << ": the bar is covered";
  // The client is the EDIT section's white from just inside the frame to the bar and to the bottom frame.
  for (const POINT P : {POINT{2, 50}, POINT{Bar.Left - 1, 50}, POINT{40, WR.Height() - 3}})
    EXPECT_EQ(0xFFFFFFu, Rgb(D->Px(P.x, P.y))) << P.x << "," << P.y;
}

}  // namespace
