// The thin tool bar: buttons in the window, custom drawing handed to the bar's and the buttons' events with
// their stages, states and flags, and the drop-down notice.
#include <windows.h>
#include <commctrl.h>

#include "framework/ComCtrlsToolBar.h"
#include "framework/TypInfo.h"
#include "tests/support/MessagePump.h"
#include "tests/framework/ui_test_util.h"

namespace {

class UiToolBar : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    Form = TForm::CreateNew(Application);
    Form->SetBounds(50, 50, 300, 100);
    Bar = new TToolBar(Form);
    Bar->SetParent(Form);
    Bar->SetShowCaptions(true);
    Bar->AddButton("Open");
    Bar->AddButton("Mark", tbsCheck);
    Bar->AddButton("", tbsSeparator);
    Bar->AddButton("More", tbsDropDown);
    Form->Show();
  }
  void TearDown() override {
    Form->Free();
    UiTest::TearDown();
  }
  LRESULT SendCustomDraw(DWORD Stage, DWORD_PTR Item, UINT ItemState) {
    NMTBCUSTOMDRAW CD{};
    CD.nmcd.hdr.hwndFrom = Bar->Handle();
    CD.nmcd.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
    CD.nmcd.dwDrawStage = Stage;
    CD.nmcd.dwItemSpec = Item;
    CD.nmcd.uItemState = ItemState;
    CD.nmcd.hdc = GetDC(Bar->Handle());
    CD.nmcd.rc = RECT{1, 2, 30, 20};
    const LRESULT R = SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&CD));
    ReleaseDC(Bar->Handle(), CD.nmcd.hdc);
    return R;
  }
  TForm* Form = nullptr;
  TToolBar* Bar = nullptr;
};

TEST_F(UiToolBar, ButtonsAndTheirStatesLiveInTheWindow) {
  EXPECT_EQ(4, SendMessageA(Bar->Handle(), TB_BUTTONCOUNT, 0, 0));
  TToolButton* Mark = Bar->Buttons(1);
  EXPECT_EQ(1, Mark->Index());
  Mark->SetDown(true);
  Mark->SetMarked(true);
  EXPECT_TRUE(Mark->Down());
  EXPECT_TRUE(Mark->Marked());
  EXPECT_FALSE(Mark->Indeterminate());
  Bar->Buttons(0)->SetEnabled(false);
  EXPECT_FALSE(Bar->Buttons(0)->Enabled());
  // A new window keeps the buttons.
  Bar->SetList(true);
  EXPECT_EQ(4, SendMessageA(Bar->Handle(), TB_BUTTONCOUNT, 0, 0));
  EXPECT_NE(0, GetWindowLongA(Bar->Handle(), GWL_STYLE) & TBSTYLE_LIST);
}

TEST_F(UiToolBar, CustomDrawStagesReachTheEvents) {
  // Nobody listening: the system draws.
  EXPECT_EQ(CDRF_DODEFAULT, SendCustomDraw(CDDS_PREPAINT, 0, 0));
  std::vector<TCustomDrawStage> BarStages;
  TRect BarRect;
  HDC LentDC = nullptr;
  Bar->OnAdvancedCustomDraw = [&](TToolBar* Sender, const TRect& R, TCustomDrawStage Stage, bool& DefaultDraw) {
    BarStages.push_back(Stage);
    BarRect = R;
    LentDC = Sender->Canvas()->Handle();
    if (Stage != cdPrePaint) DefaultDraw = false;
  };
  TToolButton* Seen = nullptr;
  TCustomDrawState SeenState;
  Bar->OnAdvancedCustomDrawButton = [&](TToolBar*, TToolButton* Button, TCustomDrawState State, TCustomDrawStage,
                                        TTBCustomDrawFlags& Flags, bool& DefaultDraw) {
    Seen = Button;
    SeenState = State;
    Flags += tbNoEdges;
    DefaultDraw = Button->Index() != 1;
  };
  EXPECT_EQ(static_cast<LRESULT>(CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT), SendCustomDraw(CDDS_PREPAINT, 0, 0));
  EXPECT_EQ(TRect(1, 2, 30, 20), BarRect);
  EXPECT_NE(nullptr, LentDC);
  EXPECT_EQ(static_cast<LRESULT>(CDRF_SKIPDEFAULT), SendCustomDraw(CDDS_POSTPAINT, 0, 0));
  EXPECT_EQ((std::vector<TCustomDrawStage>{cdPrePaint, cdPostPaint}), BarStages);
  // Items by command id: the second button, hot and checked, drawn by the event.
  EXPECT_EQ(static_cast<LRESULT>(CDRF_SKIPDEFAULT), SendCustomDraw(CDDS_ITEMPREPAINT, 2, CDIS_HOT | CDIS_CHECKED));
  EXPECT_EQ(Bar->Buttons(1), Seen);
  EXPECT_EQ((TCustomDrawState{cdsHot, cdsChecked}), SeenState);
  // The first one left to the system with the event's flags.
  EXPECT_EQ(static_cast<LRESULT>(TBCDRF_NOEDGES), SendCustomDraw(CDDS_ITEMPREPAINT, 1, CDIS_MARKED));
  EXPECT_EQ((TCustomDrawState{cdsMarked}), SeenState);
  // The events are method properties by name.
  EXPECT_NE(nullptr, GetPropInfo(Bar, "OnAdvancedCustomDrawButton"));
}

TEST_F(UiToolBar, ADropDownEndsWithTheClosedNotice) {
  MessageLog Closed(Bar, CN_DROPDOWNCLOSED, CN_DROPDOWNCLOSED);
  NMTOOLBARA N{};
  N.hdr.hwndFrom = Bar->Handle();
  N.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
  N.iItem = 4;
  EXPECT_EQ(TBDDRET_DEFAULT, SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&N)));
  EXPECT_TRUE(testing_support::PumpUntil([&] { return Closed.Count(CN_DROPDOWNCLOSED) > 0; }, 2000));
}

}  // namespace
