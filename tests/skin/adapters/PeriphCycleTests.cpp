// The periphery adapters made, painted and freed a hundred times over the same windows give back procedures,
// stubs, class brushes and GDI objects.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "framework/ObjectInstance.h"
#include "framework/ComCtrls.h"
#include "framework/ComCtrlsToolBar.h"
#include "framework/Buttons.h"
#include "framework/FormsFrame.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/sFrameAdapter.h"
#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/adapters/vkEdgeWnd.h"
#include "skin/adapters/vkStatusBarWnd.h"
#include "skin/adapters/vkToolBarVCLWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkSBWnd.h"
#include "skin/adapters/vkScrollBoxWnds.h"
#include "skin/adapters/vkShellWnds.h"
#include "skin/adapters/vkTrackWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;

namespace {

class PeriphCycles : public AdapterTest {};

TEST_F(PeriphCycles, AHundredRoundsLeaveEverythingAsItWas) {
  auto M = SolidManager();
  HWND H = Host(400, 300);
  auto Child = [&](const char* Class, DWORD Ex, DWORD Style, int X, int Y, int W, int Ht) {
    return CreateWindowExA(Ex, Class, "Text", WS_CHILD | WS_VISIBLE | Style, X, Y, W, Ht, H, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  };
  struct Target {
    HWND Wnd;
    const TClassInfo* Cls;
    const char* Section;
  };
  const Target Targets[] = {
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
  std::vector<LONG> Procs;
  for (const Target& T : Targets) Procs.push_back(GetWindowLongA(T.Wnd, GWL_WNDPROC));
  const LONG RecordingBrush = GetClassLongA(Targets[5].Wnd, GCL_HBRBACKGROUND);
  testing_support::Dib32 D(200, 200);
  auto Round = [&] {
    std::vector<TvkMainWnd*> Made;
    for (const Target& T : Targets) {
      TvkSkinParams P;
      P.SkinSection = T.Section;
      Made.push_back(CreateAdapter(T.Cls, T.Wnd, nullptr, M.get(), P, true));
    }
    for (const Target& T : Targets) {
      PrintWindowTo(T.Wnd, D);
      SendMessageA(T.Wnd, WM_NCPAINT, 1, 0);
    }
    for (TvkMainWnd* A : Made) A->ApplySkinParams();
    for (TvkMainWnd* A : Made) A->Free();
  };
  Round();
  const int Stubs = ObjectInstanceCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(100, Round));
  EXPECT_EQ(Stubs, ObjectInstanceCount());
  for (size_t I = 0; I < Procs.size(); ++I) EXPECT_EQ(Procs[I], GetWindowLongA(Targets[I].Wnd, GWL_WNDPROC)) << I;
  EXPECT_EQ(RecordingBrush, GetClassLongA(Targets[5].Wnd, GCL_HBRBACKGROUND));
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(Targets[8].Wnd));
}

TEST_F(PeriphCycles, FrameworkControlsGetTheirMethodsAndHandlersBack) {
  auto M = SolidManager();
  TForm* Form = TForm::CreateNew(Application);
  Form->SetBounds(40, 40, 400, 300);
  Form->Show();
  auto Place = [&](TWinControl* C, int Y, int H) {
    C->SetParent(Form);
    C->SetBounds(10, Y, 300, H);
    return C;
  };
  auto* Bar = static_cast<TToolBar*>(Place(new TToolBar(Form), 0, 30));
  Bar->SetShowCaptions(true);
  Bar->AddButton("Go");
  auto* Status = static_cast<TStatusBar*>(Place(new TStatusBar(Form), 40, 22));
  Status->Panels()->Add()->SetText("Ready");
  auto* Scroll = static_cast<TScrollBar*>(Place(new TScrollBar(Form), 70, 17));
  auto* Text = static_cast<TStaticText*>(Place(new TStaticText(Form), 100, 20));
  struct Target {
    TWinControl* Control;
    const TClassInfo* Cls;
  } const Targets[] = {{Bar, TvkToolBarVCLWnd::StaticClassInfo()},
                       {Status, TvkStatusBarWnd::StaticClassInfo()},
                       {Scroll, TvkSBWnd::StaticClassInfo()},
                       {Text, TvkStaticTextWnd::StaticClassInfo()}};
  bool OwnDraw = false;
  Bar->OnAdvancedCustomDraw = [&](TToolBar*, const TRect&, TCustomDrawStage, bool&) { OwnDraw = true; };
  std::vector<TWndMethod> Methods;
  for (const Target& T : Targets) Methods.push_back(T.Control->WindowProc);
  testing_support::Dib32 D(300, 40);
  auto Round = [&] {
    std::vector<TvkMainWnd*> Made;
    for (const Target& T : Targets) {
      TvkSkinParams P;
      P.Control = T.Control;
      Made.push_back(CreateAdapter(T.Cls, T.Control->Handle(), nullptr, M.get(), P, true));
    }
    for (const Target& T : Targets) PrintWindowTo(T.Control->Handle(), D);
    for (TvkMainWnd* A : Made) A->Free();
  };
  Round();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(100, Round));
  for (size_t I = 0; I < Methods.size(); ++I) EXPECT_TRUE(Methods[I] == Targets[I].Control->WindowProc) << I;
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(OwnDraw);
  Form->Free();
}

TEST_F(PeriphCycles, TwentySkinRoundsOverAFormOfFrameworkControls) {
  auto M = SolidManager();
  TForm* Form = TForm::CreateNew(Application);
  Form->SetTag(NoSkinTag);  // the thread hook leaves the form to its own skinner
  Form->SetBounds(30, 30, 420, 330);
  int Y = 0;
  auto Place = [&](auto* C, int H) {
    C->SetParent(Form);
    C->SetBounds(10, Y, 300, H);
    Y += H + 4;
    return C;
  };
  auto* Bar = Place(new TToolBar(Form), 30);
  Bar->AddButton("Go");
  auto* Status = Place(new TStatusBar(Form), 22);
  Status->Panels()->Add()->SetText("Ready");
  auto* Scroll = Place(new TScrollBar(Form), 17);
  auto* Text = Place(new TStaticText(Form), 20);
  auto* Box = Place(new TScrollBox(Form), 50);
  auto* Frame = Place(new TFrame(Form), 50);
  auto* Speed = Place(new TSpeedButton(Form), 26);
  Form->Show();
  auto* P = Create<TsSkinProvider>(Form);
  for (int i = 0; i < kThirdPartyKinds; ++i) P->ThirdParty()->SetList(i, " ");
  const std::pair<int, const char*> Lists[] = {{15, "TToolBar"},   {16, "TStatusBar"}, {17, "TSpeedButton"},
                                               {18, "TScrollBox"}, {20, "TScrollBar"}, {21, "TStaticText"}};
  for (const auto& [Kind, Name] : Lists) P->ThirdParty()->SetList(Kind, Name);
  P->LoadThirdPartyLists();
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

}  // namespace
