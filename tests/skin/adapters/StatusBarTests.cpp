// Status bars painted whole from the skin: dividers between panels but not after the last, one panel in simple
// mode with its own text, new texts on screen at once, owner-drawn panels through the control's event, texts cut with an ellipsis and the size grip.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "framework/ComCtrls.h"
#include "skin/adapters/vkStatusBarWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkSkinText.h"

using namespace adapter_test;

namespace {

constexpr uint32_t kDivider = 0x5000A0, kBar = 0xE8D8D8, kBarText = 0x000008, kPanelRing = 0x0050A0;

class StatusBars : public OwnAdapterTest<TvkStatusBarWnd> {
protected:
  void SetUp() override {
    OwnAdapterTest::SetUp();
    Form = NewForm(40, 40, 400, 120, 0, false);
    Bar = new TStatusBar(Form);
    Bar->SetParent(Form);
    Bar->SetSizeGrip(false);
    for (const char* T : {"One", "Two", "Three"}) {
      TStatusPanel* P = Bar->Panels()->Add();
      P->SetText(T);
      P->SetWidth(100);
    }
    Form->Show();
  }
  void Adapt(const char* Section = "") {
    A = CreateAdapter<TvkStatusBarWnd>(Bar->Handle(), nullptr, M.get(), SkinParams(Section, Bar), false);
  }
  std::unique_ptr<testing_support::Dib32> Print() { return PrintedWindow(Bar->Handle(), 0x00123456); }
  int ColumnsOf(testing_support::Dib32& D, uint32_t C, int Row) {
    return CountRgb(D, C, TRect(0, Row, D.Width(), Row + 1));
  }
  TStatusBar* Bar = nullptr;
};
class StatusBarsRealScreen : public StatusBars {};

TEST_F(StatusBars, DividersBetweenPanelsButNotAfterTheLast) {
  Adapt();
  EXPECT_EQ("STATUSBAR", A->SkinData->SkinSection());
  auto D = Print();
  const int Mid = D->Height() / 2;
  EXPECT_EQ(kBar, Rgb(D->Px(50, 1)));
  // Two dividers of two columns each, at the right edges of the first two parts.
  EXPECT_EQ(4, ColumnsOf(*D, kDivider, Mid));
  const TRect Last = A->PartRect(2);
  for (int x = Last.Right; x < std::min(D->Width(), Last.Right + 2); ++x) EXPECT_NE(kDivider, Rgb(D->Px(x, Mid))) << x;
  EXPECT_GT(CountRgb(*D, kBarText, TRect(0, 0, 100, D->Height())), 5);
}

TEST_F(StatusBars, SimpleModeIsOnePanelWithTheWindowText) {
  Adapt("STATUSPANELS");
  Bar->SetSimplePanel(true);
  Bar->SetSimpleText("Simple words");
  EXPECT_TRUE(A->SimpleMode());
  // The simple part's own text, not the window text, which is the first panel's.
  EXPECT_EQ("Simple words", A->PanelText(-1));
  auto D = Print();
  // The panel mask over the whole bar: its ring at the bar's edges.
  EXPECT_EQ(kPanelRing, Rgb(D->Px(0, D->Height() / 2)));
  EXPECT_EQ(kPanelRing, Rgb(D->Px(D->Width() - 1, D->Height() / 2)));
  EXPECT_EQ(0, ColumnsOf(*D, kDivider, D->Height() / 2));
}

// The control repaints a new text without erasing; the bar still shows it at once.
TEST_F(StatusBarsRealScreen, NewTextsReachTheScreen) {
  Adapt();
  ExpectScreenFollows(Bar->Handle(), [&] { Bar->Panels()->Items(0)->SetText("Changed"); }, "panel text");
  Bar->SetSimplePanel(true);
  ExpectScreenFollows(Bar->Handle(), [&] { Bar->SetSimpleText("Simple words"); }, "simple text");
}

TEST_F(StatusBars, OwnerDrawnPanelsTextsAndGrip) {
  TStatusPanel* Own = Bar->Panels()->Items(1);
  Own->SetStyle(psOwnerDraw);
  TRect Asked;
  HDC Given = nullptr;
  Bar->OnDrawPanel = [&](TStatusBar* S, TStatusPanel* P, const TRect& R) {
    EXPECT_EQ(Own, P);
    Asked = R;
    Given = S->Canvas()->Handle();
    PatBlt(Given, R.Left, R.Top, R.Width(), R.Height(), BLACKNESS);
  };
  Bar->Panels()->Items(0)->SetText("A text far too long for its panel of one hundred pixels");
  Bar->SetSizeGrip(true);  // before the adapter: a new grip setting makes a new window
  Adapt();
  auto D = Print();
  EXPECT_EQ(A->SkinData->CacheBmp->Canvas()->Handle(), Given);
  EXPECT_EQ(A->PartRect(1), Asked);
  EXPECT_EQ(0u, Rgb(D->Px(Asked.Left + 3, Asked.Top + 3)));
  // The long text is cut short: its ink runs up to the end of its room, and not beyond it.
  const TRect First = A->PartRect(0);
  const int Rightmost = InkBounds(*D, [](uint32_t P) { return P == kBarText; }, First).Right;
  EXPECT_LT(Rightmost, First.Right - 4) << "the text runs past its room";
  EXPECT_GT(Rightmost, First.Right - 20) << "the text does not fill its room";
  // With the grip on, the skin's grip image sits in the bottom right corner.
  const int B = Bar->BorderWidth();
  const uint32_t Grip = Rgb(D->Px(D->Width() - 1 - B, D->Height() - 1 - B));
  EXPECT_EQ(0x406006u, Grip);  // frame 0 of the grip block
}

// A bar with a border width paints its client inside the frame: on screen (its erase) as in its print, with the
// dividers where the control's parts end.
TEST_F(StatusBarsRealScreen, ABorderWidthPutsTheClientInsideTheFrame) {
  Bar->SetBorderWidth(4);
  Adapt();
  RECT Part{};
  SendMessageA(Bar->Handle(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&Part));
  POINT Client{0, 0};
  ClientToScreen(Bar->Handle(), &Client);
  const TRect W = WindowRectOf(Bar->Handle());
  ASSERT_EQ(4, Client.x - W.Left);
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  auto Shown = ScreenOf(Bar->Handle());
  auto Printed = Print();
  const int Mid = Shown->Height() / 2;
  const int Divider = Client.x - W.Left + Part.right - 1;  // the first divider's first column in the window
  EXPECT_EQ(kDivider, Rgb(Printed->Px(Divider, Mid))) << "printed";
  EXPECT_EQ(kDivider, Rgb(Shown->Px(Divider, Mid))) << "on screen";
  EXPECT_EQ(0, CountDiffering(*Shown, *Printed)) << "the screen is not the print";
}

}  // namespace
