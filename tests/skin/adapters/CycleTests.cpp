// Adapters made, used and freed a hundred times over the same windows (the standard controls and the periphery)
// leave procedures, class brushes, stubs and GDI objects as they were; so do framework controls and a form of them
// through twenty skin rounds. A disabled button over a skinned parent blends with the parent's picture exactly as
// over a flat colour.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/ComCtrlsToolBar.h"
#include "framework/FormsFrame.h"
#include "framework/ObjectInstance.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/sFrameAdapter.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkComboWnds.h"
#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/adapters/vkEdgeWnd.h"
#include "skin/adapters/vkEditWnd.h"
#include "skin/adapters/vkListWnds.h"
#include "skin/adapters/vkPanelWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkSBWnd.h"
#include "skin/adapters/vkScrollBoxWnds.h"
#include "skin/adapters/vkShellWnds.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/adapters/vkStatusBarWnd.h"
#include "skin/adapters/vkTabWnds.h"
#include "skin/adapters/vkToolBarVCLWnd.h"
#include "skin/adapters/vkTrackWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;

namespace {

// A window and the adapter class and section it gets each round (and its framework control, if any).
struct TTarget {
  HWND Wnd;
  const TClassInfo* Cls;
  const char* Section;
  TControl* Control = nullptr;
};

// A hundred rounds over the targets (after a first one for the fonts, bitmaps and system caches the first use
// makes): each made, Extra run, each printed (and its frame painted when NcPaint), the skin's parameters applied,
// each freed. Stubs, GDI objects and the windows' procedures are as they were.
void ExpectRoundsLeaveTheTargets(TsSkinManager* M, const std::vector<TTarget>& Targets, bool NcPaint,
                                 const std::function<void()>& Extra = [] {}) {
  std::vector<LONG> Procs;
  for (const TTarget& T : Targets) Procs.push_back(GetWindowLongA(T.Wnd, GWL_WNDPROC));
  testing_support::Dib32 D(200, 200);
  auto Round = [&] {
    std::vector<TvkMainWnd*> Made;
    for (const TTarget& T : Targets)
      Made.push_back(CreateAdapter(T.Cls, T.Wnd, nullptr, M, SkinParams(T.Section, T.Control), true));
    Extra();
    for (const TTarget& T : Targets) {
      PrintWindowTo(T.Wnd, D);
      if (NcPaint) SendMessageA(T.Wnd, WM_NCPAINT, 1, 0);
    }
    for (TvkMainWnd* A : Made) A->ApplySkinParams();
    for (TvkMainWnd* A : Made) A->Free();
  };
  Round();
  const int Stubs = ObjectInstanceCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(100, Round));
  EXPECT_EQ(Stubs, ObjectInstanceCount());
  for (size_t I = 0; I < Procs.size(); ++I) EXPECT_EQ(Procs[I], GetWindowLongA(Targets[I].Wnd, GWL_WNDPROC)) << I;
}

class Cycles : public WithManager<AdapterTest> {
protected:
  HWND Child(const char* Class, DWORD Ex, DWORD Style, int X, int Y, int W, int H) {
    return NewWindow(Class, Parent, WS_VISIBLE | Style, X, Y, W, H, "Text", Ex);
  }
  HWND Parent = Host(400, 300);
};

TEST_F(Cycles, AHundredRoundsLeaveEverythingAsItWas) {
  HWND Combo = Child("COMBOBOX", 0, CBS_DROPDOWNLIST, 10, 10, 120, 200);
  SendMessageA(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("COM1"));
  const std::vector<TTarget> Targets = {
      {Child("BUTTON", 0, BS_PUSHBUTTON, 10, 50, 80, 24), TvkBtnWnd::StaticClassInfo(), ""},
      {Child("BUTTON", 0, BS_AUTOCHECKBOX, 10, 80, 80, 20), TvkCheckBoxWnd::StaticClassInfo(), ""},
      {Child("BUTTON", 0, BS_GROUPBOX, 100, 50, 120, 60), TvkGroupBoxWnd::StaticClassInfo(), ""},
      {Child("EDIT", 0, WS_BORDER | ES_MULTILINE | WS_VSCROLL, 10, 120, 120, 60), TvkEditWnd::StaticClassInfo(),
       "EDIT"},
      {Combo, TvkComboBoxWnd::StaticClassInfo(), "COMBOBOX"},
      {Child(WC_LISTVIEWA, 0, LVS_REPORT, 150, 120, 150, 80), TvkListViewWnd::StaticClassInfo(), "EDIT"},
      {Child(WC_TABCONTROLA, 0, 0, 150, 210, 150, 80), TvkTabControlWnd::StaticClassInfo(), ""},
      {Child("STATIC", 0, SS_LEFT, 10, 200, 100, 20), TvkStaticWnd::StaticClassInfo(), ""},
      {Child(TOOLBARCLASSNAMEA, 0, CCS_NORESIZE | TBSTYLE_LIST, 10, 230, 120, 30), TvkToolBarWnd::StaticClassInfo(),
       "BAR"},
  };
  COMBOBOXINFO Info{};
  Info.cbSize = sizeof Info;
  GetComboBoxInfo(Combo, &Info);
  HWND Bar = Targets.back().Wnd;
  SendMessageA(Bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON Btn{I_IMAGENONE, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>("Go")};
  SendMessageA(Bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&Btn));
  const LONG ButtonBrush = GetClassLongA(Targets[0].Wnd, GCL_HBRBACKGROUND);
  ExpectRoundsLeaveTheTargets(M.get(), Targets, false, [&] {
    HDC DC = GetDC(Info.hwndList);
    SendMessageA(Combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(Info.hwndList));
    ReleaseDC(Info.hwndList, DC);
  });
  EXPECT_EQ(ButtonBrush, GetClassLongA(Targets[0].Wnd, GCL_HBRBACKGROUND));
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(Info.hwndList));
}

class PeriphCycles : public Cycles {};

TEST_F(PeriphCycles, AHundredRoundsLeaveEverythingAsItWas) {
  const std::vector<TTarget> Targets = {
      {Child(TRACKBAR_CLASSA, 0, TBS_BOTH, 10, 10, 150, 40), TvkTrackWnd::StaticClassInfo(), "TRACKBAR"},
      {Child(TRACKBAR_CLASSA, 0, TBS_VERT, 170, 10, 40, 120), TvkTrackWnd::StaticClassInfo(), "TRACKBAR"},
      {Child("STATIC", WS_EX_STATICEDGE, SS_ICON, 220, 10, 40, 40), TvkEdgeWnd::StaticClassInfo(), "EDIT"},
      {Child("SCROLLBAR", 0, SBS_HORZ, 10, 60, 150, 17), TvkSBWnd::StaticClassInfo(), ""},
      {Child("SCROLLBAR", 0, SBS_SIZEBOX, 270, 10, 17, 17), TvkSBWnd::StaticClassInfo(), ""},
      {Child(RecordingClass(), WS_EX_CLIENTEDGE, 0, 10, 90, 100, 30), TvkContainerWnd::StaticClassInfo(), ""},
      {Child(RecordingClass(), 0, 0, 120, 140, 100, 24), TvkSearchWnd::StaticClassInfo(), "EDIT"},
      {Child("BUTTON", 0, 12, 10, 130, 100, 26), TvkSplitBtnWnd::StaticClassInfo(), ""},
      {Child(RecordingClass(), WS_EX_CLIENTEDGE, WS_VSCROLL, 230, 140, 100, 80), TvkScrollBoxWnd::StaticClassInfo(),
       ""},
      {Child(RecordingClass(), 0, WS_VSCROLL, 10, 170, 100, 80), TvkNativePaint::StaticClassInfo(), ""},
  };
  const LONG RecordingBrush = GetClassLongA(Targets[5].Wnd, GCL_HBRBACKGROUND);
  ExpectRoundsLeaveTheTargets(M.get(), Targets, true);
  EXPECT_EQ(RecordingBrush, GetClassLongA(Targets[5].Wnd, GCL_HBRBACKGROUND));
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(Targets[8].Wnd));
}

TEST_F(PeriphCycles, FrameworkControlsGetTheirMethodsAndHandlersBack) {
  TForm* Form = NewForm(40, 40, 400, 300);
  auto* Bar = Place<TToolBar>(Form, 10, 0, 300, 30);
  Bar->SetShowCaptions(true);
  Bar->AddButton("Go");
  auto* Status = Place<TStatusBar>(Form, 10, 40, 300, 22);
  Status->Panels()->Add()->SetText("Ready");
  auto* Scroll = Place<TScrollBar>(Form, 10, 70, 300, 17);
  auto* Text = Place<TStaticText>(Form, 10, 100, 300, 20);
  const std::vector<TTarget> Targets = {{Bar->Handle(), TvkToolBarVCLWnd::StaticClassInfo(), "", Bar},
                                        {Status->Handle(), TvkStatusBarWnd::StaticClassInfo(), "", Status},
                                        {Scroll->Handle(), TvkSBWnd::StaticClassInfo(), "", Scroll},
                                        {Text->Handle(), TvkStaticTextWnd::StaticClassInfo(), "", Text}};
  bool OwnDraw = false;
  Bar->OnAdvancedCustomDraw = [&](TToolBar*, const TRect&, TCustomDrawStage, bool&) { OwnDraw = true; };
  std::vector<TWndMethod> Methods;
  for (const TTarget& T : Targets) Methods.push_back(T.Control->WindowProc);
  ExpectRoundsLeaveTheTargets(M.get(), Targets, false);
  for (size_t I = 0; I < Methods.size(); ++I) EXPECT_TRUE(Methods[I] == Targets[I].Control->WindowProc) << I;
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(OwnDraw);
  Form->Free();
}

TEST_F(PeriphCycles, TwentySkinRoundsOverAFormOfFrameworkControls) {
  TForm* Form = NewForm(30, 30, 420, 330, NoSkinTag, false);  // the thread hook leaves the form to its own skinner
  int Y = 0;
  auto Next = [&](int H) {
    Y += H + 4;
    return Y - H - 4;
  };
  auto* Bar = Place<TToolBar>(Form, 10, Next(30), 300, 30);
  Bar->AddButton("Go");
  auto* Status = Place<TStatusBar>(Form, 10, Next(22), 300, 22);
  Status->Panels()->Add()->SetText("Ready");
  auto* Scroll = Place<TScrollBar>(Form, 10, Next(17), 300, 17);
  auto* Text = Place<TStaticText>(Form, 10, Next(20), 300, 20);
  auto* Box = Place<TScrollBox>(Form, 10, Next(50), 300, 50);
  auto* Frame = Place<TFrame>(Form, 10, Next(50), 300, 50);
  auto* Speed = Place<TSpeedButton>(Form, 10, Next(26), 300, 26);
  Form->Show();
  auto* P = Create<TsSkinProvider>(Form);
  ListOnly(P, {{15, "TToolBar"}, {16, "TStatusBar"}, {17, "TSpeedButton"}, {18, "TScrollBox"}, {20, "TScrollBar"},
               {21, "TStaticText"}});
  testing_support::PumpUntil([&] { return P->CtrlAdapter() != nullptr; }, 2000);
  ASSERT_NE(P->CtrlAdapter(), nullptr);
  M->SetActive(false);
  TControl* const Controls[] = {Bar, Status, Scroll, Text, Box, Frame, Speed};
  std::vector<TWndMethod> Methods;
  std::vector<TColor> Colours;
  for (TControl* C : Controls) {
    Methods.push_back(C->WindowProc);
    Colours.push_back(C->Color());
  }
  int OwnBar = 0;
  Bar->OnAdvancedCustomDraw = [&](TToolBar*, const TRect&, TCustomDrawStage, bool&) { ++OwnBar; };
  const LONG FrameBrush = GetClassLongA(Frame->Handle(), GCL_HBRBACKGROUND);
  auto Round = [&] {
    M->SetActive(true);
    ASSERT_NE(P->CtrlAdapter(), nullptr);
    P->CtrlAdapter()->WalkControlsOf(nullptr);
    for (TWinControl* W : std::initializer_list<TWinControl*>{Bar, Status, Scroll, Text, Box})
      EXPECT_TRUE(WindowHasSkin(W->Handle())) << W->ClassName();
    EXPECT_EQ(1, Speed->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SKINNED), 0));
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testing_support::PumpPending();
    M->SetActive(false);
    // The form's own painting without the skin is done too: what its controls keep for it is there each time.
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testing_support::PumpPending();
  };
  Round();
  const int Windows = ThreadWindowCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(20, [&] {
    if (!HasFailure()) Round();
  }));
  EXPECT_EQ(ThreadWindowCount(), Windows);
  for (size_t I = 0; I < std::size(Controls); ++I) {
    EXPECT_TRUE(Methods[I] == Controls[I]->WindowProc) << Controls[I]->ClassName();
    EXPECT_EQ(Colours[I], Controls[I]->Color()) << Controls[I]->ClassName();
  }
  EXPECT_EQ(FrameBrush, GetClassLongA(Frame->Handle(), GCL_HBRBACKGROUND));
  int FrameAdapters = 0;
  for (int i = 0; i < Frame->ComponentCount(); ++i) FrameAdapters += Frame->Components(i)->Is<TsFrameAdapter>();
  EXPECT_LE(FrameAdapters, 1);
  OwnBar = 0;
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(OwnBar, 0) << "the bar's own handler draws again";
  Form->Free();
}

TEST_F(Cycles, ADisabledButtonBlendsWithAParentPictureAsWithAColour) {
  HWND Panel = NewRecordingWindow(Host(300, 200), WS_VISIBLE, 0, 0, 300, 200);
  TvkMainWnd* Back = CreateAdapter<TvkPanelWnd>(Panel, nullptr, M.get(), SkinParams("PANEL"), false);
  Back->SkinData->CacheDirty = true;
  PaintAdapterCache(Back->SkinData, Panel, false);
  HWND B = NewWindow("BUTTON", Panel, WS_VISIBLE | WS_DISABLED, 10, 10, 80, 26);
  TvkMainWnd* A = CreateAdapter<TvkBtnWnd>(B, nullptr, M.get(), TvkSkinParams{}, false);
  TvkParentBgQuery Q{};
  Q.OffsetX = 10;
  Q.OffsetY = 10;
  Q.Area = TRect(0, 0, 80, 26);
  SendMessageA(Panel, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_PARENT_BG), reinterpret_cast<LPARAM>(&Q));
  testing_support::Dib32 D(80, 26, 0, true);
  PrintWindowTo(B, D);
  // The face #FF00FE keeps 100 of 255 against the panel's #FFFF00, whichever way the panel answered.
  EXPECT_EQ(DisabledBlend(0xFF00FE, 0xFFFF00), Rgb(D.Px(40, 13))) << "answer kind " << int(Q.Kind);
  A->Free();
  Back->Free();
}

}  // namespace
