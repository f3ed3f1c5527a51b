// The thread hook's adoption of standard dialogs, the dialog adapter and its system menu.

#include <algorithm>
#include <functional>

#include "AdapterTestSupport.h"
#include "DialogTemplate.h"
#include "skin/adapters/sFrameAdapter.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkEditWnd.h"
#include "skin/adapters/vkMnuWnd.h"
#include "skin/adapters/vkPanelWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkSystemMenu.h"
#include "framework/Buttons.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/SysUtils.h"
#include "framework/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkSBAnimation.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/HeldWindow.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"
#include "tests/support/WindowProbe.h"

using namespace adapter_test;

class DialogTest : public WithManager<DialogFixture> {};
class DialogTestRealScreen : public DialogTest {};
class TideDialogTest : public WithManager<DialogFixture, TideManager> {};
class TideDialogRealScreen : public TideDialogTest {};

TEST_F(DialogTestRealScreen, ParentlessMessageBoxGetsDialogAdapterChildAdaptersAndFrame) {
  HWND Box = nullptr;
  WithMessageBox(MB_OK | MB_ICONINFORMATION, [&](HWND W) {
    Box = W;
    TvkDialogWnd* D = DialogAdapterOf(W);
    ASSERT_NE(D, nullptr);
    EXPECT_EQ(D->FrameKind, 0);  // DS_MODALFRAME without a sizing border
    EXPECT_EQ(GetWindowLongA(W, GWL_STYLE) & WS_SYSMENU, 0) << "the skin draws the system menu";
    EXPECT_TRUE(D->HasSysMenu());
    EXPECT_EQ(D->CloseButton.MaskKind, 0) << "a lone close button";
    TvkProvider* P = FindProviderByWnd(W);
    int Buttons = 0, Statics = 0;
    for (TvkMainWnd* A : P->Adapters) {
      Buttons += A->Is<TvkBtnWnd>();
      Statics += A->Is<TvkStaticWnd>();
    }
    EXPECT_EQ(Buttons, 1);
    EXPECT_GE(Statics, 2) << "text and icon";
    EXPECT_TRUE(WindowHasSkin(W));
    // The frame is the DIALOG section's colour (#00FF00) outside the caption band.
    SendMessageA(W, WM_NCPAINT, 1, 0);
    const auto Dib = WindowDCOf(W);
    EXPECT_EQ(Dib->Rgb(Dib->Width() - 2, Dib->Height() - 2), 0x00FF00u);
  });
  ASSERT_NE(Box, nullptr);
  // The box is gone: its provider is dropped at the next purge.
  PurgeDetachedProviders();
  EXPECT_EQ(FindProviderByWnd(Box), nullptr);
}

static std::vector<int> g_Scrolls;  // the scroll codes the dialog's own procedure got
static INT_PTR CALLBACK RecordScrolls(HWND, UINT Msg, WPARAM WParam, LPARAM) {
  if (Msg == WM_VSCROLL) g_Scrolls.push_back(LOWORD(WParam));
  return FALSE;
}

// A dialog's own scroll bar shows beside its client (also beside a border window) and a press on its arrow scrolls.
TEST_F(DialogTestRealScreen, ADialogsOwnScrollBarIsPaintedAndAPressOnItScrolls) {
  for (bool Border : {false, true}) {
    M->SetExtendedBorders(Border);
    g_Scrolls.clear();
    TvkDialogWnd* D = ShowDialog(kDlgStyle | WS_VSCROLL, RecordScrolls);
    ASSERT_TRUE(D != nullptr && D->VertBar->Shown && (D->BorderForm != nullptr) == Border);
    TRect V;
    GetVertScrollBarRect(D, Dlg, V);
    const TRect WR = WindowRectOf(Dlg);
    EXPECT_EQ(0x770001u, WindowDCOf(Dlg)->Rgb(V.Left - WR.Left + 2, V.Top - WR.Top + 2)) << "the up arrow " << Border;
    const LPARAM OnDownArrow = MAKELPARAM(V.Left + 2, V.Bottom - 3);
    EXPECT_EQ(HTVSCROLL, SendMessageA(Dlg, WM_NCHITTEST, 0, OnDownArrow));
    SendMessageA(Dlg, WM_NCLBUTTONDOWN, HTVSCROLL, OnDownArrow);
    SendMessageA(Dlg, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(g_Scrolls, (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL})) << Border;
  }
}

namespace {

// The adapters the chooser and the walker ask for, by class and section; none is made.
struct TChoice {
  std::string Class, Section;
  HWND Wnd;
  bool Repaint;
};
std::vector<TChoice> g_Choices;
TvkMainWnd* RecordChoice(const std::string& ClassName, HWND Wnd, TsSkinManager*, const TvkSkinParams& P, bool Repaint) {
  g_Choices.push_back({ClassName, P.SkinSection, Wnd, Repaint});
  return nullptr;
}
struct RecordingFactory {
  RecordingFactory() {
    g_Choices.clear();
    AdapterFactory = RecordChoice;
  }
  ~RecordingFactory() { AdapterFactory = DefaultAdapterFactory; }
  const TChoice* For(HWND Wnd) const {
    for (const TChoice& C : g_Choices)
      if (C.Wnd == Wnd) return &C;
    return nullptr;
  }
  // The window was asked an adapter of the class and section, or none (Adapter nullptr).
  void Expect(HWND Wnd, const char* Adapter, const char* Section) const {
    const TChoice* Got = For(Wnd);
    if (Adapter == nullptr) {
      EXPECT_EQ(Got, nullptr);
      return;
    }
    ASSERT_NE(Got, nullptr);
    EXPECT_EQ(Got->Class, Adapter);
    EXPECT_EQ(Got->Section, Section);
  }
};

}  // namespace

TEST_F(DialogTest, ChooserPicksEachChildsAdapterByClassAndWholeTypeField) {
  InitCommonControls();
  RecordingFactory Rec;
  TDlgTemplate T(kDlgStyle, {
                                {L"BUTTON", BS_AUTO3STATE | WS_VISIBLE, 5, 5, 60, 12},                // 0
                                {L"BUTTON", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_VISIBLE, 5, 20, 60, 12},  // 1
                                {L"BUTTON", BS_OWNERDRAW | WS_VISIBLE, 5, 35, 60, 12},                // 2
                                {L"BUTTON", BS_GROUPBOX | WS_VISIBLE, 5, 50, 60, 12},                 // 3
                                {L"BUTTON", BS_DEFPUSHBUTTON | WS_VISIBLE, 5, 65, 60, 12},            // 4
                                {L"STATIC", SS_SIMPLE | WS_VISIBLE, 80, 5, 60, 12},                   // 0
                                {L"STATIC", SS_BLACKFRAME | WS_VISIBLE, 80, 20, 60, 12},              // 1
                                {L"STATIC", SS_ICON | WS_VISIBLE, 80, 35, 20, 20},                    // 2
                                {L"STATIC", SS_ETCHEDHORZ | WS_VISIBLE, 80, 56, 60, 2},               // 3
                                {L"STATIC", SS_BLACKRECT | WS_VISIBLE, 150, 45, 20, 8},               // 4
                                {L"STATIC", SS_LEFTNOWORDWRAP | WS_VISIBLE, 150, 55, 40, 8},          // 5
                                {L"EDIT", WS_BORDER, 80, 60, 60, 12},                                 // invisible
                                {L"msctls_updown32", WS_VISIBLE, 150, 5, 10, 14},
                                {L"msctls_trackbar32", WS_VISIBLE, 150, 25, 40, 14},
                                {L"ToolbarWindow32", TBSTYLE_WRAPABLE | WS_VISIBLE, 0, 90, 100, 14},
                            });
  HWND Dlg = Keep(T.Create());
  ASSERT_NE(Dlg, nullptr);
  ShowWindow(Dlg, SW_SHOW);
  UpdateWindow(Dlg);
  TvkDialogWnd* D = DialogAdapterOf(Dlg);
  ASSERT_NE(D, nullptr) << "a parentless #32770 is adopted";
  struct {
    const char* Class;
    int Index;
    const char* Adapter;  // nullptr: none
    const char* Section;
  } Rows[] = {
      {"button", 0, "TvkCheckBoxWnd", ""},  {"button", 1, "TvkCheckBoxWnd", ""}, {"button", 2, nullptr, ""},
      {"button", 3, "TvkGroupBoxWnd", "GROUPBOX"}, {"button", 4, "TvkBtnWnd", ""},
      {"static", 0, "TvkStaticWnd", ""},    {"static", 1, nullptr, ""},                 {"static", 2, "TvkIconWnd", ""},
      {"static", 3, nullptr, ""},           {"static", 4, nullptr, ""},
      {"static", 5, "TvkStaticWnd", ""},
      {"edit", 0, nullptr, ""},             {"msctls_updown32", 0, "TvkSpinWnd", "SPEEDBUTTON_SMALL"},
      {"msctls_trackbar32", 0, "TvkTrackWnd", "TRACKBAR"}, {"toolbarwindow32", 0, "TvkToolBarWnd", "BAR"},
  };
  for (const auto& R : Rows) {
    SCOPED_TRACE(std::string(R.Class) + " #" + std::to_string(R.Index));
    HWND C = ChildOfClass(Dlg, R.Class, R.Index);
    ASSERT_NE(C, nullptr);
    Rec.Expect(C, R.Adapter, R.Section);
  }
  EXPECT_FALSE(D->OwnClientPaint) << "an invisible edit still turns the dialog's own painting off";
}

namespace {
// A framework panel of the silent kind that some dialogs hold.
class TSilentPaintPanel : public TPanel {
  DECLARE_CLASS(TSilentPaintPanel, TPanel)
public:
  using TPanel::TPanel;
};
IMPLEMENT_CLASS(TSilentPaintPanel)
}  // namespace

// Framework panels on a dialog: a plain panel takes the transparent look, its label the skin's font colour over the
// dialog and its windowed children their own adapters; a silent panel takes the group box look, the tag that
// keeps its caption off and no caption text.
TEST_F(DialogTest, FrameworkPanelsOnADialogTakeTheirRows) {
  TDlgTemplate T(kDlgStyle, {});
  HWND Dlg = Keep(T.Create());
  ASSERT_NE(Dlg, nullptr);
  auto* P = new TPanel(nullptr);
  P->SetParentWindow(Dlg);
  P->SetBounds(5, 5, 160, 60);
  auto* L = new TLabel(P);
  L->SetParent(P);
  L->SetCaption("Label");
  L->Font()->SetColor(clRed);
  auto* B = Place<TButton>(P, 80, 10, 60, 24);
  auto* S = new TSilentPaintPanel(nullptr);
  S->SetParentWindow(Dlg);
  S->SetBounds(5, 70, 160, 40);
  S->SetCaption("Silent");
  P->HandleNeeded();
  S->HandleNeeded();
  ShowWindow(Dlg, SW_SHOWNOACTIVATE);
  SettlePaints(Dlg);
  TvkProvider* Pr = FindProviderByWnd(Dlg);
  ASSERT_NE(Pr, nullptr);
  auto AdapterOf = [&](HWND W) -> TvkMainWnd* {
    for (TvkMainWnd* A : Pr->Adapters)
      if (A->CtrlHandle == W) return A;
    return nullptr;
  };
  TvkMainWnd* PA = AdapterOf(P->Handle());
  ASSERT_NE(PA, nullptr) << "the panel got no adapter";
  EXPECT_TRUE(PA->Is<TvkPanelWnd>());
  EXPECT_EQ("TRANSPARENT", PA->SkinData->SkinSection());
  EXPECT_EQ(M->SkinBaseFontColor(), L->Font()->Color());
  EXPECT_TRUE(L->Transparent());
  EXPECT_EQ(M->SkinBaseColor(), P->Color());
  EXPECT_NE(AdapterOf(B->Handle()), nullptr) << "the panel's button got no adapter";
  TvkMainWnd* SA = AdapterOf(S->Handle());
  ASSERT_NE(SA, nullptr) << "the silent panel got no adapter";
  EXPECT_EQ("GROUPBOX", SA->SkinData->SkinSection());
  EXPECT_EQ(999, S->Tag());
  EXPECT_EQ("", S->Caption());
  M->SetActive(false);
  S->Free();
  P->Free();
}

namespace {
// A window that prints itself black over its whole size, as a skinned child prints its cache.
LRESULT CALLBACK PrintsBlack(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg != WM_PRINT) return DefWindowProcA(W, Msg, WParam, LParam);
  RECT R{};
  GetWindowRect(W, &R);
  PatBlt(reinterpret_cast<HDC>(WParam), 0, 0, R.right - R.left, R.bottom - R.top, BLACKNESS);
  return 0;
}
}  // namespace

// Printing a window's children puts each one, and each of its own children, at its place in the window.
TEST_F(AdapterTest, PrintedChildrenLieAtTheirPlacesInTheWindow) {
  HWND Top = Host(200, 150);
  const char* Black = WindowClass("KrlPrintsBlack", PrintsBlack);
  auto Rect = [&](HWND Parent, int X, int Y, int W, int H) { return NewWindow(Black, Parent, WS_VISIBLE, X, Y, W, H); };
  Rect(Top, 5, 5, 10, 10);
  HWND Box = NewRecordingWindow(Top, WS_VISIBLE, 50, 40, 100, 80);
  Rect(Box, 10, 10, 20, 20);
  HWND Hidden = Rect(Top, 160, 100, 20, 20);
  ShowWindow(Hidden, SW_HIDE);
  testing_support::Dib32 D(200, 150, 0x123456, true);
  testing_support::Owned<TvkProvider> P(new TvkProvider(nullptr));
  EXPECT_FALSE(P->PrintChildWindows(Top, D.DC()));
  const struct {
    POINT At;
    bool Black;
  } Cases[] = {{{7, 7}, true}, {{14, 14}, true}, {{16, 16}, false}, {{65, 55}, true}, {{79, 69}, true},
               {{45, 35}, false}, {{170, 110}, false}};
  for (const auto& C : Cases) EXPECT_EQ(C.Black, D.Rgb(C.At.x, C.At.y) == 0) << C.At.x << "," << C.At.y;
}

TEST_F(DialogTest, ThirdVisibleDialogIsLeftAloneUnlessItHoldsAToolbar) {
  InitCommonControls();
  TDlgTemplate Plain(kDlgStyle | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}});
  TDlgTemplate Hidden(kDlgStyle, {{L"ToolbarWindow32", WS_VISIBLE, 0, 0, 100, 14}});
  HWND A = Keep(Plain.Create()), B = Keep(Plain.Create());
  ASSERT_NE(DialogAdapterOf(A), nullptr);
  ASSERT_NE(DialogAdapterOf(B), nullptr);
  EXPECT_EQ(CountVisibleDialogs(), 2);
  EXPECT_EQ(DialogAdapterOf(Keep(Plain.Create())), nullptr) << "a third dialog without a toolbar";
  HWND WithBar = Keep(Hidden.Create());
  ShowWindow(WithBar, SW_SHOW);
  SetActiveWindow(WithBar);
  EXPECT_NE(DialogAdapterOf(WithBar), nullptr) << "a toolbar below it lets it through on activation";
}

TEST_F(DialogTest, AdoptionRulesForOwnedBoxesPopupsAndTheMainForm) {
  HWND Owner = Host();
  // An owned box stays system-drawn.
  HWND Owned =
      Keep(CreateWindowExA(0, "#32770", "", WS_POPUP | WS_CAPTION, 0, 0, 100, 80, Owner, nullptr, nullptr, nullptr));
  EXPECT_TRUE(AdoptTopLevelWindow(Owned, nullptr)) << "handled: left alone";
  EXPECT_EQ(FindProviderByWnd(Owned), nullptr);
  // A popup without a border is never adopted.
  EXPECT_FALSE(AdoptTopLevelWindow(Keep(NewWindow("#32770", nullptr, 0, 0, 0, 100, 80)), nullptr));
  // Without srStdDialogs nothing is skinned; OnSysDlgInit may refuse too.
  HWND Free_ = Keep(NewWindow("#32770", nullptr, WS_CAPTION, 0, 0, 100, 80));
  PurgeDetachedProviders();
  if (TvkProvider* P = FindProviderByWnd(Free_)) P->Free();
  M->SetSkinningRules(TvkSkinningRules{srStdForms, srThirdParty});
  EXPECT_FALSE(AdoptTopLevelWindow(Free_, nullptr));
  M->SetSkinningRules(TvkSkinningRules{srStdForms, srStdDialogs, srThirdParty});
  bool Asked = false;
  M->OnSysDlgInit = [&](const TvkSysDlgData& D, bool& Allow) {
    Asked = D.Wnd == Free_;
    Allow = false;
  };
  EXPECT_FALSE(AdoptTopLevelWindow(Free_, nullptr));
  EXPECT_TRUE(Asked);
  M->OnSysDlgInit = TvkSysDlgInit();
  EXPECT_TRUE(AdoptTopLevelWindow(Free_, nullptr));
  EXPECT_NE(DialogAdapterOf(Free_), nullptr);
  EXPECT_FALSE(AdoptTopLevelWindow(Free_, nullptr)) << "adopted once";
  // another program's box named on an activation is left alone, without waiting for it
  testing_support::HeldWindow Foreign(RECT{0, 0, 100, 80}, "#32770");
  EXPECT_EQ(Foreign.MessagesDuring([&] { CBTHookProc(HCBT_ACTIVATE, WPARAM(Foreign.Handle()), 0); }), 0);
  EXPECT_EQ(FindProviderByWnd(Foreign.Handle()), nullptr);
}

// The hook is called by the system: a failure while adopting is reported, and the box still comes up, plain.
TEST_F(DialogTest, AFailureWhileAdoptingABoxIsReportedAndTheBoxComesUpPlain) {
  std::vector<std::string> Reported;  // the failure is shown in a box
  CollectBoxTexts(Reported);
  M->OnSysDlgInit = [](const TvkSysDlgData&, bool&) { throw Exception("Adoption refused loudly"); };
  WithMessageBox(MB_OK, [&](HWND W) { EXPECT_EQ(nullptr, DialogAdapterOf(W)); });
  M->OnSysDlgInit = TvkSysDlgInit();
  ASSERT_FALSE(Reported.empty());
  for (const std::string& Text : Reported) EXPECT_NE(std::string::npos, Text.find("Adoption refused loudly"));
}

TEST_F(DialogTest, MessageBoxIsPlacedWhereAsked) {
  MessageBoxPosX = 37;
  MessageBoxPosY = 41;
  WithMessageBox(MB_OK, [&](HWND W) {
    EXPECT_EQ(WindowRectOf(W).Left, 37);
    EXPECT_EQ(WindowRectOf(W).Top, 41);
  });
  MessageBoxPosX = MessageBoxPosY = -1;
}

TEST_F(DialogTest, CloseOnlyBoxAnswersHitTestsMenuAndOneBrushPerColour) {
  TvkDialogWnd* D = ShowDialog();  // painted: the title buttons are placed
  ASSERT_NE(D, nullptr);
  const TRect WR = WindowRectOf(Dlg);
  const TRect& Close = D->CloseButton.Rect;
  ASSERT_GT(Close.Width(), 0);
  EXPECT_EQ(HitAt(Dlg, (Close.Left + Close.Right) / 2, (Close.Top + Close.Bottom) / 2), HTCLOSE);
  EXPECT_EQ(D->HotButton, HTCLOSE);
  const int CaptionY = D->FrameWidth() + D->CaptionHeight(true) / 2;
  EXPECT_EQ(HitAt(Dlg, Close.Left - 10, CaptionY), HTCAPTION);
  EXPECT_EQ(D->HotButton, 0);
  EXPECT_EQ(D->TitleButtonAt(TPoint(Close.Left - 30, CaptionY)), 0) << "no maximize or minimize areas";
  // The caption's double click changes nothing without a maximize box.
  SendMessageA(Dlg, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(WR.Left + 20, WR.Top + CaptionY));
  EXPECT_FALSE(IsZoomed(Dlg));
  // The system menu: Move and Close only (of restore, move, size, minimize, maximize and close).
  TvkSystemMenu* S = D->SysMenu;
  S->RefreshItems();
  const std::vector<bool> Shown = {S->miRestore->Visible(),  S->miMove->Visible(),     S->miSize->Visible(),
                                   S->miMinimize->Visible(), S->miMaximize->Visible(), S->miClose->Visible()};
  EXPECT_EQ(Shown, (std::vector<bool>{false, true, false, false, false, true}));
  EXPECT_EQ(S->miClose->ShortCut(), static_cast<TShortCut>(0x8073));
  // WM_CTLCOLORDLG: one brush kept, not one per message.
  HBRUSH First = reinterpret_cast<HBRUSH>(SendMessageA(Dlg, WM_CTLCOLORDLG, 0, 0));
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(1000, [&] {
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(Dlg, WM_CTLCOLORDLG, 0, 0)), First);
  }));
  // Client painting is only validated without an edit, list or combo child (on this host's system version).
  EXPECT_TRUE(D->OwnClientPaint);
}

namespace {
int g_CloseCommands = 0;
INT_PTR CALLBACK CountCloseCommands(HWND, UINT Msg, WPARAM WP, LPARAM) {
  if (Msg == WM_SYSCOMMAND && (WP & 0xFFF0) == SC_CLOSE) ++g_CloseCommands;
  return FALSE;
}
}  // namespace

TEST_F(DialogTest, MenuItemsFollowMaximizeAndCloseSendsTheCommand) {
  TDlgTemplate T(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_VISIBLE,
                 {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}});
  g_CloseCommands = 0;
  HWND Dlg = Keep(T.Create(CountCloseCommands));
  TvkDialogWnd* D = DialogAdapterOf(Dlg);
  ASSERT_NE(D, nullptr);
  EXPECT_EQ(D->FrameKind, 3);
  EXPECT_EQ(D->CloseButton.MaskKind, 1) << "close beside maximize and minimize";
  TvkSystemMenu* S = D->SysMenu;
  S->RefreshItems();
  EXPECT_TRUE(S->miMaximize->Enabled());
  EXPECT_FALSE(S->miRestore->Enabled());
  S->miMaximize->Click();
  EXPECT_TRUE(IsZoomed(Dlg));
  EXPECT_TRUE(S->miRestore->Enabled());
  EXPECT_FALSE(S->miMaximize->Enabled());
  EXPECT_FALSE(S->miMove->Enabled());
  S->miRestore->Click();
  EXPECT_FALSE(IsZoomed(Dlg));
  // the frame width it answers: its own frame, or the asker's own value while it is iconic
  RECT C{};
  GetClientRect(Dlg, &C);
  EXPECT_EQ(SendSkinCommand(Dlg, VKCMD_QUERY_FRAME_WIDTH, 77), (WindowRectOf(Dlg).Width() - C.right) / 2);
  ShowWindow(Dlg, SW_MINIMIZE);
  EXPECT_EQ(SendSkinCommand(Dlg, VKCMD_QUERY_FRAME_WIDTH, 77), 77);
  ShowWindow(Dlg, SW_RESTORE);
  EXPECT_EQ(g_CloseCommands, 0);
  S->miClose->Click();
  EXPECT_EQ(g_CloseCommands, 1);  // reached the dialog's own procedure
}

TEST_F(DialogTest, DestroyedDialogGivesItsWindowBackAndHookRemovalFreesEverything) {
  TDlgTemplate T(kDlgStyle | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}, {L"STATIC", WS_VISIBLE, 5, 20, 60, 12}});
  HWND Dlg = T.Create();
  const WNDPROC Own = reinterpret_cast<WNDPROC>(GetClassLongA(Dlg, GCL_WNDPROC));
  TvkDialogWnd* D = DialogAdapterOf(Dlg);
  ASSERT_NE(D, nullptr);
  EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongA(Dlg, GWL_WNDPROC)), Own);
  DestroyWindow(Dlg);
  EXPECT_TRUE(D->Detached);
  PurgeDetachedProviders();
  EXPECT_EQ(FindProviderByWnd(Dlg), nullptr);
  // An open dialog loses its adapters with the skin, and gets them again with the next one.
  HWND Open = Keep(T.Create());
  HWND Btn = ChildOfClass(Open, "button");
  const LONG BtnProc = GetWindowLongA(Btn, GWL_WNDPROC);
  ASSERT_NE(DialogAdapterOf(Open), nullptr);
  M->SetActive(false);
  EXPECT_EQ(ProviderList().size(), 0u);
  EXPECT_FALSE(WindowHasSkin(Open));
  EXPECT_FALSE(WindowHasSkin(Btn));
  EXPECT_NE(GetWindowLongA(Btn, GWL_WNDPROC), BtnProc) << "the button's own procedure is back";
  EXPECT_NE(GetWindowLongA(Open, GWL_STYLE) & WS_SYSMENU, 0) << "the system menu style is back";
}

// A form's activation change frees the hook's providers of windows that are gone, and only those: a live form's
// provider has no dialog adapter, yet its skinner skins the form's buttons.
TEST_F(DialogTest, AnActivationFreesTheProvidersOfGoneWindowsOnly) {
  auto Adopted = [] {
    TForm* F = NewForm(40, 40, 200, 150);
    AdoptTopLevelWindow(F->Handle(), nullptr);  // in case the hook has not met it yet
    return testing_support::Owned<TForm>(F);
  };
  auto Live = Adopted(), Recreated = Adopted();
  const HWND OldWnd = Recreated->Handle();
  ASSERT_NE(FindProviderByWnd(OldWnd), nullptr);
  Recreated->RecreateWnd();
  ASSERT_FALSE(IsWindow(OldWnd));
  TDlgTemplate T(kDlgStyle | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}});
  HWND Dlg = T.Create();
  DestroyWindow(Dlg);
  SendMessageA(Live->Handle(), WM_NCACTIVATE, TRUE, 0);
  const struct {
    HWND Wnd;
    bool Kept;
    const char* What;
  } Cases[] = {{Live->Handle(), true, "a live form"},
               {OldWnd, false, "a form's window made anew"},
               {Dlg, false, "a closed dialog"}};
  for (const auto& C : Cases) EXPECT_EQ(FindProviderByWnd(C.Wnd) != nullptr, C.Kept) << C.What;
}

// ---- the form's child-control walker ----

class TWalkedButton : public TButton {
  DECLARE_CLASS(TWalkedButton, TButton)
public:
  using TButton::TButton;
};
IMPLEMENT_CLASS(TWalkedButton)

class TWalkedCombo : public TComboBox {
  DECLARE_CLASS(TWalkedCombo, TComboBox)
public:
  using TComboBox::TComboBox;
};
IMPLEMENT_CLASS(TWalkedCombo)

class Walker : public WithManager<AdapterTest> {
protected:
  // The skin goes while the form is still there.
  void TearDown() override {
    M.reset();
    if (Form != nullptr) Form->Free();
    AdapterTest::TearDown();
  }
  template <class T> T* Add(int Tag = 0) {
    auto* C = new T(Form);
    C->SetTag(Tag);
    C->SetParent(Form);
    C->SetBounds(10, 10 + 30 * Form->ControlCount(), 80, 24);
    return C;
  }
  // A shown form the hook leaves alone, with its own skinner.
  TsSkinProvider* NewSkinnedForm() {
    Form = NewForm(30, 30, 300, 260, NoSkinTag);
    return Create<TsSkinProvider>(Form);
  }
  static int AdaptersOf(TvkCtrlAdapter* A, TWinControl* C) {
    int N = 0;
    for (TvkAdapterItem* I : A->Items) N += I->Control == C && I->Adapter != nullptr;
    return N;
  }
  TForm* Form = nullptr;
};
class WalkerRealScreen : public Walker {};

TEST_F(Walker, ButtonListGivesExactNamesOneAdapterAndRespectsTagsEventsAndRemoval) {
  TsSkinProvider* P = NewSkinnedForm();
  P->OnSkinItem = [](TComponent* Item, bool& CanBeAdded, std::string&) { CanBeAdded = Item->Tag() != 7; };
  auto* Refused = Add<TButton>(7);
  auto* Plain = Add<TButton>();
  auto* Derived = Add<TWalkedButton>();
  auto* Marked = Add<TButton>(NoSkinTag);
  auto* Label = Add<TLabel>();
  Label->Font()->SetColor(clRed);
  auto* SeeThrough = Add<TLabel>();
  SeeThrough->SetParentFont(true);
  SeeThrough->SetTransparent(true);
  SeeThrough->SetControlStyle(SeeThrough->ControlStyle() + csOpaque);
  TvkCtrlAdapter* A = P->CtrlAdapter();
  ASSERT_NE(A, nullptr);
  for (TWinControl* C : {static_cast<TWinControl*>(Plain), static_cast<TWinControl*>(Derived),
                         static_cast<TWinControl*>(Marked), static_cast<TWinControl*>(Refused)})
    C->HandleNeeded();
  A->WalkControlsOf(nullptr);
  A->WalkControlsOf(nullptr);  // a second walk adds nothing
  EXPECT_EQ(AdaptersOf(A, Plain), 1);
  ASSERT_EQ(A->Items.size(), 1u);
  EXPECT_TRUE(A->Items.front()->Adapter->Is<TvkBtnWnd>());
  EXPECT_EQ(AdaptersOf(A, Derived), 0) << "names are compared exactly";
  EXPECT_EQ(AdaptersOf(A, Marked), 0);
  EXPECT_EQ(AdaptersOf(A, Refused), 0);
  EXPECT_EQ(Label->Font()->Color(), M->SkinBaseFontColor());
  EXPECT_FALSE(SeeThrough->ControlStyle().Contains(csOpaque));
  EXPECT_TRUE(WindowHasSkin(Plain->Handle()));
  // The skin goes: the button gets its own procedure back and the label its colour.
  M->SetActive(false);
  EXPECT_EQ(P->CtrlAdapter(), nullptr);
  EXPECT_FALSE(WindowHasSkin(Plain->Handle()));
  EXPECT_EQ(Label->Font()->Color(), clRed);
  EXPECT_TRUE(SeeThrough->ParentFont());
  EXPECT_EQ(SeeThrough->Font()->Color(), Form->Font()->Color());
  EXPECT_TRUE(SeeThrough->ControlStyle().Contains(csOpaque));
  SendMessageA(Plain->Handle(), WM_PAINT, 0, 0);  // nothing calls a freed adapter
}

TEST_F(Walker, AChildWindowMadeOnTheFormIsTakenOnlyUnderTheThirdPartyRule) {
  TsSkinProvider* P = NewSkinnedForm();
  P->CreateAdapter();
  ASSERT_NE(P->CtrlAdapter(), nullptr);
  static int Taken;
  const auto Saved = ProviderParts.AddWindow;
  ProviderParts.AddWindow = [](TvkCtrlAdapter*, HWND) { ++Taken; };
  for (bool Rule : {true, false}) {
    M->SetSkinningRules(Rule ? TvkSkinningRules{srStdForms, srStdDialogs, srThirdParty} : TvkSkinningRules{srStdForms, srStdDialogs});
    Taken = 0;
    HWND C = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, Form->Handle(), reinterpret_cast<HMENU>(0x7777),
                             nullptr, nullptr);
    EXPECT_EQ(Taken, Rule ? 1 : 0) << Rule;
    DestroyWindow(C);
  }
  ProviderParts.AddWindow = Saved;
}

TEST_F(Walker, ProviderListsWinAndTheLowerKindTakesANameInTwoLists) {
  TsSkinProvider* P = NewSkinnedForm();
  auto* B = Add<TWalkedButton>();
  B->HandleNeeded();
  ListOnly(P, {{8, "TWalkedButton"}, {3, "TWalkedButton"}});
  RecordingFactory Rec;
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  const TChoice* Got = Rec.For(B->Handle());
  ASSERT_NE(Got, nullptr);
  EXPECT_EQ(Got->Class, "TvkCheckBoxWnd");
  EXPECT_TRUE(Got->Repaint);
  // Without srThirdParty nothing is walked, nor while the provider refuses third-party controls.
  g_Choices.clear();
  M->SetSkinningRules(TvkSkinningRules{srStdForms, srStdDialogs});
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  EXPECT_TRUE(g_Choices.empty());
  Add<TSpeedButton>();
  ListOnly(P, {{8, "TWalkedButton"}, {17, "TSpeedButton"}});
  M->SetSkinningRules(TvkSkinningRules{srStdForms, srStdDialogs, srThirdParty});
  P->SetAllowSkin3rdParty(false);
  if (P->CtrlAdapter() == nullptr) P->CreateAdapter();
  ASSERT_NE(P->CtrlAdapter(), nullptr);
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  EXPECT_TRUE(g_Choices.empty());
  EXPECT_TRUE(P->CtrlAdapter()->GraphItems.empty());
}

TEST_F(WalkerRealScreen, MessageFormButtonsAreSkinnedThroughTheHookedFormsWalker) {
  testing_support::ModalCloser Closer("TMessageForm", IDOK);
  bool Seen = false;
  Closer.OnFound = [&](const testing_support::FoundWindow& W) {
    if (Seen) return;
    Seen = true;
    TvkProvider* P = FindProviderByWnd(W.handle);
    ASSERT_NE(P, nullptr) << "the message form is adopted on activation";
    ASSERT_NE(P->SkinProvider, nullptr);
    TvkCtrlAdapter* A = P->SkinProvider->CtrlAdapter();
    ASSERT_NE(A, nullptr);
    int Buttons = 0;
    for (TvkAdapterItem* I : A->Items) Buttons += I->Adapter != nullptr && I->Adapter->Is<TvkBtnWnd>();
    EXPECT_EQ(Buttons, 1);
  };
  ShowMessage("Skinned");
  EXPECT_TRUE(Seen);
}

namespace {

// The pixels of a rectangle of the window's own surface (the part inside the window: a title button may stand
// out of it).
std::vector<uint32_t> WindowPixels(HWND W, const TRect& R) {
  const auto Dib = WindowDCOf(W);
  std::vector<uint32_t> Px;
  for (int y = std::max(0, R.Top); y < std::min(Dib->Height(), R.Bottom); ++y)
    for (int x = std::max(0, R.Left); x < std::min(Dib->Width(), R.Right); ++x) Px.push_back(Dib->Rgb(x, y));
  return Px;
}

// The close button's pixels on the window after a full repaint of the frame for the box's present activity.
std::vector<uint32_t> FreshButtonPixels(HWND W, TvkDialogWnd* D) {
  D->SkinData->CacheDirty = true;
  RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  return WindowPixels(W, D->CloseButton.Rect);
}

// The button's fade is over: none ran, or its window is gone.
bool FadeOver(const TvkDlgTitleButton& B) { return B.Animation == nullptr || B.Animation->GlowWindow == nullptr; }

// The checks of where the pointer is that the system's tracking (TrackMouseEvent) made for the window: its timer's
// messages, one each hover time.
HWND g_Tracked = nullptr;
int g_TrackingChecks = 0;
LRESULT CALLBACK CountTrackingChecks(int Code, WPARAM Removed, LPARAM L) {
  const MSG& M = *reinterpret_cast<const MSG*>(L);  // 0x118: the system's own timer message
  g_TrackingChecks += Code == HC_ACTION && Removed == PM_REMOVE && M.hwnd == g_Tracked && M.message == 0x118;
  return CallNextHookEx(nullptr, Code, Removed, L);
}

}  // namespace

// The glyphs carry alpha: the close button of a parentless box turns hot and back to exactly its normal look,
// drawn at once or, with the glowing effects, through a fade over the button that ends with its window gone.
TEST_F(TideDialogRealScreen, AMessageBoxTitleButtonGoesBackToItsNormalLook) {
  for (bool Glowing : {false, true}) {
    SCOPED_TRACE(Glowing ? "fading" : "at once");
    M->Effects()->SetAllowGlowing(Glowing);
    WithMessageBox(MB_OK, [&](HWND W) {
      TvkDialogWnd* D = DialogAdapterOf(W);
      ASSERT_NE(D, nullptr);
      const std::vector<uint32_t> Normal = FreshButtonPixels(W, D);
      const TRect B = D->CloseButton.Rect;
      ASSERT_GT(B.Width(), 0);
      HitAt(W, (B.Left + B.Right) / 2, (B.Top + B.Bottom) / 2);
      ASSERT_EQ(D->CloseButton.State, 1);
      if (Glowing) {
        ASSERT_NE(D->CloseButton.Animation, nullptr);
        EXPECT_EQ(WindowPixels(W, B), FreshButtonPixels(W, D)) << "the fade window carries the hot look";
      } else {
        EXPECT_NE(WindowPixels(W, B), Normal);
      }
      HitAt(W, B.Left - 20, (B.Top + B.Bottom) / 2);
      EXPECT_EQ(D->CloseButton.State, 0);
      EXPECT_TRUE(testing_support::PumpUntil([&] { return FadeOver(D->CloseButton); }, 2000));
      const std::vector<uint32_t> Left = WindowPixels(W, B);
      EXPECT_EQ(Left, FreshButtonPixels(W, D));
    });
  }
}

class DialogRealKeys : public WithManager<AdapterTest> {};

// Alt+F4 pressed while the dialog's skinned menu is open closes the dialog: the menu ends on the Alt key and the
// dialog's own key handling sends the close command (the menu's item only shows the keys).
TEST_F(DialogRealKeys, AltF4OnTheOpenMenuSendsTheCloseCommand) {
  TDlgTemplate T(kDlgStyle | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE | WS_TABSTOP, 5, 5, 60, 12}});
  g_CloseCommands = 0;
  HWND Dlg = Keep(T.Create(CountCloseCommands));
  TvkDialogWnd* D = DialogAdapterOf(Dlg);
  ASSERT_NE(D, nullptr);
  SetForegroundWindow(Dlg);
  ASSERT_TRUE(testing_support::PumpUntil([&] { return GetForegroundWindow() == Dlg; }, 2000));
  D->SysMenu->Menu->OnPopup = [](TObject*) { testing_support::PressKeys({VK_MENU, VK_F4}); };
  // should the keys go astray, the menu still ends
  const UINT_PTR Safety = SetTimer(nullptr, 0, 3000, EndMenuTimer);
  RECT R{};
  GetWindowRect(Dlg, &R);
  D->ShowSysMenu(R.left + 20, R.top + 20);
  KillTimer(nullptr, Safety);
  EXPECT_TRUE(testing_support::PumpUntil([] { return g_CloseCommands > 0; }, 2000)) << "no close command";
}

class DialogRealPointer : public WithManager<AdapterTest, TideManager> {};

// A parentless box, on top in a corner the other tests leave alone, under the real pointer: its close button
// stays hot while the pointer rests on it longer than the hover time, and once the pointer has left the box it
// shows exactly its normal look again.
TEST_F(DialogRealPointer, AMessageBoxCloseButtonStaysHotUnderThePointerAndIsNormalOnceItLeaves) {
  testing_support::PointerParking Parking;
  MessageBoxPosX = 880;
  MessageBoxPosY = 700;
  for (bool Glowing : {true, false}) {
    SCOPED_TRACE(Glowing ? "fading" : "at once");
    M->Effects()->SetAllowGlowing(Glowing);
    WithMessageBox(MB_OK | MB_TOPMOST, [&](HWND W) {
      TvkDialogWnd* D = DialogAdapterOf(W);
      ASSERT_NE(D, nullptr);
      const std::vector<uint32_t> Normal = FreshButtonPixels(W, D);
      const TRect B = D->CloseButton.Rect;
      const TRect WR = WindowRectOf(W);
      const int Y = WR.Top + (B.Top + B.Bottom) / 2;
      EXPECT_TRUE(testing_support::MovePointer(POINT{WR.Left + B.Left - 30, Y}));
      EXPECT_TRUE(testing_support::MovePointer(POINT{WR.Left + (B.Left + B.Right) / 2, Y}));
      g_Tracked = W, g_TrackingChecks = 0;
      HHOOK Hook = SetWindowsHookExA(WH_GETMESSAGE, CountTrackingChecks, nullptr, GetCurrentThreadId());
      EXPECT_TRUE(testing_support::PumpUntil([] { return g_TrackingChecks >= 2; }, 5000)) << "no tracking checks";
      UnhookWindowsHookEx(Hook);
      EXPECT_EQ(D->CloseButton.State, 1) << "still hot after the hover time";
      if (Glowing) {
        ASSERT_NE(D->CloseButton.Animation, nullptr);
        EXPECT_NE(D->CloseButton.Animation->GlowWindow, nullptr) << "the hot look stays up";
      } else {
        EXPECT_NE(WindowPixels(W, B), Normal);
      }
      EXPECT_TRUE(testing_support::MovePointer(POINT{WR.Right + 40, WR.Bottom + 40}));
      EXPECT_TRUE(testing_support::PumpUntil([&] { return D->CloseButton.State == 0 && FadeOver(D->CloseButton); }, 2000));
      const std::vector<uint32_t> Left = WindowPixels(W, B);
      EXPECT_EQ(Left, FreshButtonPixels(W, D));
    });
  }
  MessageBoxPosX = MessageBoxPosY = -1;
}

// A resizable dialog's size grip pressed and dragged with the real pointer sizes the dialog, not the grip.
TEST_F(DialogRealPointer, DraggingADialogsSizeGripSizesTheDialog) {
  testing_support::PointerParking Parking;
  TDlgTemplate T(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                 {{L"SCROLLBAR", SBS_SIZEGRIP | WS_VISIBLE, 190, 110, 10, 10}});  // in the client's corner
  HWND Dlg = Keep(T.Create());
  ASSERT_NE(DialogAdapterOf(Dlg), nullptr);
  SetWindowPos(Dlg, HWND_TOPMOST, 700, 520, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  const TRect Before = WindowRectOf(Dlg), G = WindowRectOf(ChildOfClass(Dlg, "ScrollBar"));
  const POINT From{(G.Left + G.Right) / 2, (G.Top + G.Bottom) / 2};
  ASSERT_TRUE(testing_support::MovePointer(From));
  // The system's sizing loop takes the input itself: all of it is queued at once.
  testing_support::QueuePointerButton(true);
  testing_support::QueuePointerMove(POINT{From.x + 40, From.y + 30});
  testing_support::QueuePointerButton(false);
  EXPECT_TRUE(testing_support::PumpUntil([&] {
    return WindowRectOf(Dlg).Width() == Before.Width() + 40 && WindowRectOf(Dlg).Height() == Before.Height() + 30;
  }, 5000)) << testing_support::PointerScene(From);
}

// A click on a dialog's minimise button with the real pointer, then a press on the same button of the iconic dialog,
// which restores it: once the dialog is iconic, and once it is restored, no button keeps a pressed look, in its state,
// in a fade window of it (where the button was or over the icon) or, without fades, in the frame drawn.
TEST_F(DialogRealPointer, MinimisingAndRestoringADialogByItsButtonLeavesNoPressBehind) {
  testing_support::PointerParking Parking;
  for (const bool Fades : {true, false}) {
    M->Effects()->SetAllowGlowing(Fades);
    TDlgTemplate T(kDlgStyle | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, {});
    HWND Dlg = Keep(T.Create());
    TvkDialogWnd* D = DialogAdapterOf(Dlg);
    ASSERT_NE(D, nullptr);
    SetWindowPos(Dlg, HWND_TOPMOST, 880, 700, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    auto ButtonCentre = [&] {
      SendMessageA(Dlg, WM_NCPAINT, 1, 0);
      const TRect B = D->MinButton.Rect, WR = WindowRectOf(Dlg);
      return POINT{WR.Left + (B.Left + B.Right) / 2, WR.Top + (B.Top + B.Bottom) / 2};
    };
    // the minimise button as the frame cache holds it
    auto CachedButton = [&] {
      std::vector<COLORREF> Px;
      const TRect& B = D->MinButton.Rect;
      for (int y = B.Top; y < B.Bottom; ++y)
        for (int x = B.Left; x < B.Right; ++x) Px.push_back(GetPixel(D->SkinData->CacheBmp->Canvas()->Handle(), x, y));
      return Px;
    };
    auto ExpectNoPressLeft = [&](const char* Step) {
      for (const TvkDlgTitleButton* Btn : {&D->MinButton, &D->MaxButton, &D->HelpButton, &D->CloseButton}) {
        const TvkSBAnimation* A = Btn->Animation;
        const bool FadeShown = A != nullptr && A->GlowWindow != nullptr && IsWindowVisible(A->GlowWindow->Handle());
        EXPECT_TRUE(Btn->State == 0 && !FadeShown) << Step << ' ' << Btn->Code << " fades " << Fades;
      }
      const auto Drawn = CachedButton();
      D->SkinData->CacheDirty = true;
      SendMessageA(Dlg, WM_NCPAINT, 1, 0);
      EXPECT_EQ(Drawn, CachedButton()) << Step << ": drawn as a fresh frame draws it, fades " << Fades;
    };
    const POINT At = ButtonCentre();
    ASSERT_TRUE(testing_support::PumpUntil([&] { return WindowFromPoint(At) == Dlg; }, 2000));
    ASSERT_TRUE(testing_support::MovePointer(At));
    testing_support::ClickPointer();
    ASSERT_TRUE(testing_support::PumpUntil([&] { return IsIconic(Dlg) != FALSE; }, 2000))
        << testing_support::PointerScene(At);
    ExpectNoPressLeft("minimised");
    // the iconic dialog's restore button is its minimise button (the press and release its frame hears)
    const POINT Restore = ButtonCentre();
    SendMessageA(Dlg, WM_NCLBUTTONDOWN, HTMINBUTTON, MAKELPARAM(Restore.x, Restore.y));
    ASSERT_EQ(D->MinButton.State, 2) << "pressed";
    SendMessageA(Dlg, WM_NCLBUTTONUP, HTMINBUTTON, MAKELPARAM(Restore.x, Restore.y));
    ASSERT_FALSE(IsIconic(Dlg));
    ExpectNoPressLeft("restored");
    DestroyWindow(Dlg);
    Tops.pop_back();
  }
}

TEST_F(TideDialogRealScreen, TideMessageBoxShowsDialogCaptionButtonFacesAndCutCorners) {
  ASSERT_EQ(TsSkinManager::DefaultManager(), M.get());
  WithMessageBox(MB_OK, [&](HWND W) {
    TvkDialogWnd* D = DialogAdapterOf(W);
    ASSERT_NE(D, nullptr);
    RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The window's own surface, children included: a screen copy would also catch the windows of test
    // programs running beside this one on the shared display.
    const auto Copy = WindowDCOf(W);
    const testing_support::Dib32& Dib = *Copy;
    const TRect WR = WindowRectOf(W);
    const uint32_t Face = 0xF3F5F7, HotFace = 0xE8F3FA, BtnFace = PixelOf(clBtnFace);
    // The client background is the DIALOG section's colour for the box's activity.
    const int CX = D->ClientOffsetX(), CY = D->ClientOffsetY();
    EXPECT_EQ(Dib.Rgb(CX + 2, CY + 2), D->Active ? HotFace : Face);
    // The caption band carries the title section, the close button its glyph (counted over the whole button:
    // the middle row of a cross may hold only its two crossing pixels).
    const int Band = D->FrameWidth() + D->CaptionHeight(true) / 2;
    const uint32_t Title = Dib.Rgb(D->CloseButton.Rect.Left - 8, Band);
    EXPECT_NE(Title, BtnFace);
    EXPECT_NE(Title, Face);
    // The button may stand out of the band (a mask taller than the caption): count what lies inside the window.
    const TRect& CB = D->CloseButton.Rect;
    ASSERT_LT(CB.Left, CB.Right);
    EXPECT_GT(CountWhere(Dib, [&](uint32_t P) { return P != Title; }, CB), 10) << "the close button is drawn";
    // The OK button's face comes from BUTTON, never the system's face.
    HWND Ok = ChildOfClass(W, "button");
    ASSERT_NE(Ok, nullptr);
    const TRect BR = WindowRectOf(Ok);
    const uint32_t Btn = Dib.Rgb(BR.Left - WR.Left + 6, (BR.Top + BR.Bottom) / 2 - WR.Top);
    EXPECT_TRUE(Btn == 0xFFFFFF || Btn == 0xE8F3FA || Btn == 0xCFE6F3) << std::hex << Btn;
    // The corners are cut out of the window's region by the border mask's key pixels.
    ASSERT_FALSE(D->RegionRects.empty());
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(W, Rgn), ERROR);
    EXPECT_FALSE(PtInRegion(Rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(Rgn, WR.Width() / 2, WR.Height() / 2));
    DeleteObject(Rgn);
  });
}

TEST_F(Walker, NestedFormGetsItsOwnFormSkinnerAndTheExEventCanRefuseIt) {
  TsSkinProvider* P = NewSkinnedForm();
  bool Refuse = true;
  P->OnSkinItemEx = [&](TComponent* Item, bool&, TvkSkinParams* Params) {
    if (Item->Is<TCustomForm>() && Refuse) Params->UseSkinFontColor = false;
  };
  TForm* Inner = TForm::CreateNew(Form);
  Inner->SetBorderStyle(bsNone);
  Inner->SetParent(Form);
  Inner->SetBounds(0, 0, 100, 80);
  Inner->Show();
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  EXPECT_EQ(SkinnerOf(Inner), nullptr) << "refused through the record's font flag";
  Refuse = false;
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  TsSkinProvider* S = SkinnerOf(Inner);
  ASSERT_NE(S, nullptr);
  EXPECT_EQ(S->SkinData()->SkinSection(), "FORM");
}

namespace {
int g_Snapshots = 0;
TvkGlowForm* CountSnapshot(HWND) {
  ++g_Snapshots;
  return nullptr;
}
}  // namespace

TEST_F(DialogTest, HideEffectStartsOnlyForCancelOrYesAndARealHide) {
  M->AnimEffects()->DialogHide()->SetActive(true);
  M->AnimEffects()->DialogHide()->SetTime(100);
  auto* Saved = FormServices.CreateSnapshotForm;
  FormServices.CreateSnapshotForm = CountSnapshot;
  g_Snapshots = 0;
  ASSERT_NE(ShowDialog(), nullptr);
  SendMessageA(Dlg, WM_COMMAND, IDOK, 0);
  SendMessageA(Dlg, WM_COMMAND, IDNO, 0);
  EXPECT_EQ(g_Snapshots, 0) << "other buttons close at once";
  SendMessageA(Dlg, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(g_Snapshots, 1);
  // A move with flags above 127 is no hide.
  SetWindowPos(Dlg, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOCOPYBITS | SWP_NOACTIVATE);
  EXPECT_EQ(g_Snapshots, 1);
  SendMessageA(Dlg, WM_NCPAINT, 1, 0);
  ShowWindow(Dlg, SW_HIDE);
  EXPECT_EQ(g_Snapshots, 2) << "the fade-out asks for its window";
  FormServices.CreateSnapshotForm = Saved;
}

TEST_F(DialogTest, PopupMenuWindowsAskForAMenuAdapterOnlyWithSkinnedPopups) {
  RecordingFactory Rec;
  HWND Owner = Host();
  HMENU Menu = CreatePopupMenu();
  AppendMenuA(Menu, MF_STRING, 1, "One");
  auto Track = [&] {
    // The menu closes itself from a timer of its own modal loop.
    const UINT_PTR T = SetTimer(nullptr, 0, 50, EndMenuTimer);
    TrackPopupMenu(Menu, TPM_RETURNCMD, 10, 10, 0, Owner, nullptr);
    KillTimer(nullptr, T);
  };
  M->SetSkinnedPopups(false);
  Track();
  EXPECT_TRUE(g_Choices.empty());
  M->SetSkinnedPopups(true);
  Track();
  ASSERT_EQ(g_Choices.size(), 1u);
  EXPECT_EQ(g_Choices[0].Class, "TvkMnuWnd");
  EXPECT_EQ(g_Choices[0].Section, "MAINMENU");
  EXPECT_FALSE(g_Choices[0].Repaint);
  DestroyMenu(Menu);
}

// ---- glyph buttons ----

TEST_F(Walker, GlyphButtonsPlaceTheirGlyphAndForeignBitmapsCountByTheirSize) {
  Form = NewForm(30, 30, 300, 200, NoSkinTag);
  auto* B = Place<TBitBtn>(Form, 10, 10, 120, 40);
  B->SetCaption("Go");
  TBitmap* G = new TBitmap();
  G->SetWidth(32);
  G->SetHeight(16);
  G->Canvas()->Brush()->SetColor(clRed);
  G->Canvas()->FillRect(TRect(0, 0, 32, 16));
  B->SetGlyph(G);
  B->SetNumGlyphs(2);
  delete G;
  B->SetLayout(blGlyphLeft);
  B->SetSpacing(4);
  auto* A = CreateAdapter<TvkBitBtnWnd>(B->Handle(), nullptr, M.get(), SkinParams("", B), true);
  GetWindowGeometry(B->Handle(), A->ParentWnd, A->WndRect, A->ParentRect, A->WndSize, A->WndPos);
  EXPECT_EQ(A->GetGlyphSize(), TSize(16, 16)) << "one frame of two";
  const TSize T = A->GetTextSize();
  const TRect R = A->GetGlyphRect();
  EXPECT_EQ(R.Left, (120 - 16 - T.cx - 4) / 2);
  EXPECT_EQ(R.Top, (40 - 16) / 2);
  B->SetDefault(true);
  SetFocus(nullptr);
  EXPECT_EQ(A->GetState(), 3) << "the default ring while nothing has the focus";
  A->Free();
  // A foreign button's bitmap counts by its real size.
  HWND W = NewWindow("BUTTON", Host(), WS_VISIBLE | BS_BITMAP, 0, 0, 80, 30);
  HBITMAP Bmp = FlatBitmap(12, 10, 0xFFFFFF);
  SendMessageA(W, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Bmp));
  auto* F = CreateAdapter<TvkBitBtnWnd>(W, nullptr, M.get(), TvkSkinParams(), true);
  EXPECT_EQ(F->GetGlyphSize(), TSize(12, 10));
  // and is drawn where that size places it
  auto D = PrintedWindow(W);
  const TRect GR = F->GetGlyphRect();
  EXPECT_EQ(12 * 10, CountRgb(*D, 0xFFFFFF));
  EXPECT_EQ(0xFFFFFFu, Rgb(D->Px(GR.Left, GR.Top)));
  F->Free();
  DestroyWindow(W);
  DeleteObject(Bmp);
}

TEST_F(Walker, FrameGetsOneFrameAdapter) {
  TsSkinProvider* P = NewSkinnedForm();
  auto* Fr = Place<TFrame>(Form, 10, 10, 120, 80);
  Fr->HandleNeeded();
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  int Adapters = 0;
  for (int i = 0; i < Fr->ComponentCount(); ++i) Adapters += Fr->Components(i)->Is<TsFrameAdapter>();
  EXPECT_EQ(Adapters, 1);
}

TEST_F(Walker, WWEditListGivesARealComboBoxTheWWEditComboAdapter) {
  TsSkinProvider* P = NewSkinnedForm();
  auto* C = Add<TWalkedCombo>();
  C->SetStyle(csDropDown);
  C->HandleNeeded();
  ASSERT_EQ(SendMessageA(C->Handle(), CB_GETCOUNT, 0, 0), 0);  // the system's combo box under the class's name
  ListOnly(P, {{10, "TWalkedCombo"}});  // the wwEdit kind
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  TvkWWComboBoxWnd* A = nullptr;
  for (TvkAdapterItem* I : P->CtrlAdapter()->Items)
    if (I->Control == C && I->Adapter != nullptr) A = As<TvkWWComboBoxWnd>(I->Adapter);
  ASSERT_NE(A, nullptr);
  EXPECT_TRUE(A->HasButton);
  EXPECT_TRUE(WindowHasSkin(C->Handle()));
  M->SetActive(false);
  EXPECT_FALSE(WindowHasSkin(C->Handle()));
}

// ---- shell bands and search boxes in standard dialogs ----

namespace {

// Children sized in pixels (a template sizes in dialog units), made before the dialog is first activated.
struct TShellChild {
  const char* Class;
  DWORD Style, ExStyle;
  int H;
  const char* Adapter;  // nullptr: none
  const char* Section;
};
const TShellChild kShellChildren[] = {
    {"UniversalSearchBand", WS_VISIBLE, 0, 20, "TvkContainerWnd", ""},
    {"Address Band Root", WS_VISIBLE, WS_EX_CLIENTEDGE, 20, "TvkContainerWnd", ""},
    {"WorkerW", WS_VISIBLE, 0, 20, "TvkContainerWnd", ""},
    {"Search Box", WS_VISIBLE, 0, 20, "TvkContainerWnd", ""},
    {"TravelBand", 0, 0, 20, nullptr, ""},  // hidden bands are left alone
    {"Breadcrumb Parent", WS_VISIBLE, 0, 20, "TvkContainerWnd", ""},
    {"DirectUIHWND", WS_VISIBLE, 0, 24, "TvkSearchWnd", ""},
    {"DirectUIHWND", WS_VISIBLE, 0, 25, nullptr, ""},
    {"ReBarWindow32", WS_VISIBLE | CCS_NORESIZE, 0, 20, "TvkContainerWnd", ""},
    {"msctls_progress32", WS_VISIBLE, 0, 20, nullptr, ""},  // the bar paints itself
    {"msctls_trackbar32", WS_VISIBLE, 0, 30, "TvkTrackWnd", "TRACKBAR"},
    {"ScrollBar", WS_VISIBLE | SBS_SIZEGRIP, 0, 17, "TvkSizerWnd", ""},
    {"Static", WS_VISIBLE | SS_ICON, WS_EX_STATICEDGE, 32, "TvkEdgeWnd", "EDIT"},
    // split buttons by their type number, however the system draws them
    {"Button", WS_VISIBLE | 12, 0, 26, "TvkSplitBtnWnd", ""},
    {"Button", WS_VISIBLE | 13, 0, 26, "TvkSplitBtnWnd", ""},
    // and the plain children of any dialog
    {"Button", WS_VISIBLE, 0, 20, "TvkBtnWnd", ""},
    {"Static", WS_VISIBLE, 0, 20, "TvkStaticWnd", ""},
    {"Edit", WS_VISIBLE | WS_BORDER, 0, 20, "TvkEditWnd", "EDIT"},
};

void RegisterShellClasses() {
  INITCOMMONCONTROLSEX Icc{sizeof Icc, ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&Icc);
  for (const char* Name : {"UniversalSearchBand", "Address Band Root", "WorkerW", "Search Box", "TravelBand",
                           "Breadcrumb Parent", "DirectUIHWND"})
    WindowClass(Name, DefWindowProcA, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

INT_PTR CALLBACK ShellDlgProc(HWND Dlg, UINT Msg, WPARAM, LPARAM) {
  if (Msg != WM_INITDIALOG) return FALSE;
  int Y = 0;
  for (const TShellChild& C : kShellChildren) {
    NewWindow(C.Class, Dlg, C.Style, 0, Y, 120, C.H, "", C.ExStyle);
    Y += C.H + 1;
  }
  return TRUE;
}

std::vector<HWND> ShellChildren(HWND Dlg) {
  std::vector<HWND> Out;
  for (const TShellChild& C : kShellChildren) {
    const int Before = static_cast<int>(std::count_if(&kShellChildren[0], &C, [&](const TShellChild& O) {
      return lstrcmpiA(O.Class, C.Class) == 0;
    }));
    Out.push_back(ChildOfClass(Dlg, C.Class, Before));
  }
  return Out;
}

}  // namespace

TEST_F(DialogTest, ShellBandsAndTheSearchBoxGetTheirAdaptersByVisibilityAndHeight) {
  RegisterShellClasses();
  RecordingFactory Rec;
  TDlgTemplate T(kDlgStyle, {});
  HWND Dlg = Keep(T.Create(ShellDlgProc));
  ASSERT_NE(Dlg, nullptr);
  ShowWindow(Dlg, SW_SHOW);
  ASSERT_NE(DialogAdapterOf(Dlg), nullptr);
  const std::vector<HWND> Children = ShellChildren(Dlg);
  for (size_t I = 0; I < Children.size(); ++I) {
    const TShellChild& C = kShellChildren[I];
    SCOPED_TRACE(std::string(C.Class) + " " + std::to_string(C.H));
    ASSERT_NE(Children[I], nullptr);
    Rec.Expect(Children[I], C.Adapter, C.Section);
  }
}

TEST_F(DialogTest, TwentySkinRoundsOverAnOpenDialogLeaveProceduresBrushesAndCounters) {
  M->SetActive(false);
  RegisterShellClasses();
  TDlgTemplate T(kDlgStyle | WS_VISIBLE, {});
  HWND Dlg = Keep(T.Create(ShellDlgProc));
  ASSERT_NE(Dlg, nullptr);
  const LONG DlgProc = GetWindowLongA(Dlg, GWL_WNDPROC), Style = GetWindowLongA(Dlg, GWL_STYLE);
  const std::vector<HWND> Children = ShellChildren(Dlg);
  std::vector<LONG> Procs, Brushes;
  for (HWND C : Children) {
    Procs.push_back(GetWindowLongA(C, GWL_WNDPROC));
    Brushes.push_back(static_cast<LONG>(GetClassLongA(C, GCL_HBRBACKGROUND)));
  }
  testing_support::Dib32 D(130, 40, 0, true);
  auto Round = [&] {
    M->SetActive(true);
    AdoptTopLevelWindow(Dlg, nullptr);  // what its next activation does
    ASSERT_NE(DialogAdapterOf(Dlg), nullptr);
    SendMessageA(Dlg, WM_NCPAINT, 1, 0);
    SendMessageA(Dlg, WM_CTLCOLORDLG, 0, 0);
    for (size_t I = 0; I < Children.size(); ++I) {
      if (kShellChildren[I].Adapter != nullptr) {
        ASSERT_TRUE(WindowHasSkin(Children[I])) << kShellChildren[I].Class;
      }
      SendMessageA(Children[I], WM_NCPAINT, 1, 0);
      SendMessageA(Children[I], WM_PRINT, reinterpret_cast<WPARAM>(D.DC()), PRF_NONCLIENT | PRF_CLIENT);
    }
    M->SetActive(false);
  };
  Round();
  const int Windows = ThreadWindowCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(20, [&] {
    if (!HasFatalFailure()) Round();
  }));
  EXPECT_EQ(ThreadWindowCount(), Windows);
  EXPECT_EQ(GetWindowLongA(Dlg, GWL_WNDPROC), DlgProc);
  EXPECT_EQ(GetWindowLongA(Dlg, GWL_STYLE), Style);
  for (size_t I = 0; I < Children.size(); ++I) {
    SCOPED_TRACE(kShellChildren[I].Class);
    EXPECT_FALSE(WindowHasSkin(Children[I]));
    EXPECT_EQ(GetWindowLongA(Children[I], GWL_WNDPROC), Procs[I]);
    EXPECT_EQ(static_cast<LONG>(GetClassLongA(Children[I], GCL_HBRBACKGROUND)), Brushes[I]);
  }
}

