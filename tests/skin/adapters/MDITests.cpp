// A skinned MDI parent form: its wrapper adapts the MDI client window, which paints from the form's frame cache,
// and the form's menu line carries a maximised child's buttons.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AdapterTestSupport.h"
#include "tests/support/Owned.h"
#include "framework/ExtCtrls.h"
#include "framework/Menus.h"
#include "framework/Units.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkMDIWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormUnits.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;
using testing_support::Dib32;

namespace {

constexpr uint32_t kMarker = 0x00FF00FF;

// The scroll codes that reach the MDI client's own procedure.
WNDPROC g_ClientOwnProc = nullptr;
std::vector<int> g_ScrollCodes;
LRESULT CALLBACK NoteScrollCodes(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  if (Msg == WM_VSCROLL) g_ScrollCodes.push_back(LOWORD(WP));
  return CallWindowProcA(g_ClientOwnProc, W, Msg, WP, LP);
}

class MDIForm : public AdapterTest {
protected:
  void SetUp() override {
    AdapterTest::SetUp();
    // the form skinner runs as in the program; its MDI parts come from the adapters
    if (!UnitRegistered("sSkinProvider")) RegisterSkinFormUnits();
    InitializeUnits();
    ReadSystemMetrics();  // the caption and frame sizes the skinner lays its frame out by
    MDIPartsInitialize();
    Frame = TForm::CreateNew(Application);
    Frame->SetBorderStyle(bsSizeable);
    Frame->SetBounds(20, 20, 520, 380);
    Frame->SetFormStyle(fsMDIForm);
    auto* Menu = new TMainMenu(Frame);
    for (const char* Caption : {"&File", "&Window"}) {  // the window menu last
      Window = new TMenuItem(Frame);
      Window->SetCaption(Caption);
      Menu->Items()->Add(Window);
    }
    Window->SetGroupIndex(9);
    Frame->SetMenu(Menu);
    Frame->SetWindowMenu(Window);
    Application->FormCreated(Frame);
    ClientProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(Frame->ClientHandle(), GCLP_WNDPROC));
    P = FrameSkinned ? Create<TsSkinProvider>(Frame) : nullptr;
    // an unskinned frame is shown past the hook, which would adopt it at once
    Frame->SetTag(FrameSkinned ? 0 : NoSkinTag);
    Frame->Show();
    Frame->SetTag(0);
  }
  void TearDown() override {
    for (TForm* C : Children) C->Free();
    if (Frame != nullptr) Frame->Free();
    Manager.reset();
    MDIPartsFinalize();
    AdapterTest::TearDown();
  }
  TForm* Child(const std::string& Caption, bool WithMenu = false, bool Skinned = true) {
    TForm* C = TForm::CreateNew(Application);
    if (!Skinned) C->SetTag(NoSkinTag);
    Children.push_back(C);
    C->SetFormStyle(fsMDIChild);
    C->SetCaption(Caption);
    if (WithMenu) {
      auto* Menu = new TMainMenu(C);
      auto* Item = new TMenuItem(C);
      Item->SetCaption("&Edit");
      Menu->Items()->Add(Item);
      C->SetMenu(Menu);
    }
    if (Skinned) Create<TsSkinProvider>(C);
    C->Show();
    return C;
  }
  void Forget(TForm* C) {
    std::erase(Children, C);
    C->Free();
  }
  TvkMDIWnd* Adapter() { return P->MDIWrapper() != nullptr ? P->MDIWrapper()->ClientAdapter : nullptr; }
  HWND Client() { return Frame->ClientHandle(); }
  // The provider's hit code of a point of the frame window.
  int At(int X, int Y) {
    const TRect R = WindowRectOf(Frame->Handle());
    return static_cast<int>(Frame->Perform(WM_NCHITTEST, 0, MAKELPARAM(R.Left + X, R.Top + Y)));
  }
  ManagerPtr Manager = SolidManager();
  bool FrameSkinned = true;
  TForm* Frame = nullptr;
  TMenuItem* Window = nullptr;
  TsSkinProvider* P = nullptr;
  WNDPROC ClientProc = nullptr;
  std::vector<TForm*> Children;
};

// The frame comes without a skinner of its own.
class MDIFormUnskinned : public MDIForm {
protected:
  void SetUp() override {
    FrameSkinned = false;
    MDIForm::SetUp();
  }
};

TPoint WindowSize(HWND Wnd) {
  const TRect R = WindowRectOf(Wnd);
  return TPoint(R.Width(), R.Height());
}

// The window erased into a DIB filled with the marker first; the answer of the erase.
LRESULT EraseInto(HWND Wnd, Dib32& Dib) {
  Dib.Fill(kMarker);
  return SendMessageA(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dib.DC()), 0);
}

}  // namespace

TEST_F(MDIForm, WrapperAdaptsTheClientWhileSkinnedAndGivesItBack) {
  ASSERT_NE(P->MDIWrapper(), nullptr);
  EXPECT_EQ(MDIMainProvider(), P);
  TvkMDIWnd* A = Adapter();
  ASSERT_NE(A, nullptr);
  EXPECT_EQ(A->CtrlHandle, Client());
  EXPECT_EQ(A->MDIForm, Frame);
  EXPECT_EQ(A->Provider, P);
  EXPECT_EQ(A->ProviderSkinData, P->SkinData());
  ASSERT_NE(A->SkinData, nullptr);
  EXPECT_EQ(A->SkinData->SkinSection(), "CHECKBOX");
  EXPECT_NE(GetWindowLongPtrA(Client(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(ClientProc));

  // Skin removal takes the wrapper away and gives the client its own procedure and no skin data.
  Manager->SetActive(false);
  EXPECT_EQ(P->MDIWrapper(), nullptr);
  EXPECT_EQ(GetWindowLongPtrA(Client(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(ClientProc));
  EXPECT_EQ(GetPropA(Client(), "VKSDATA"), nullptr);

  // A wrapper of an unskinned provider leaves no adapter behind, however often it is asked.
  auto* W = Create<TsMDIForm>(P);
  W->ConnectToClient();
  W->UpdateClientAdapter();
  EXPECT_EQ(W->ClientAdapter, nullptr);
  EXPECT_EQ(W->Form, Frame);
  W->Free();
  EXPECT_EQ(GetWindowLongPtrA(Client(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(ClientProc));
}

TEST_F(MDIForm, AClientThatLostItsAdapterIsAdaptedAgain) {
  // by preparing the form again, and by a wrapper asked for anew
  for (bool ByPrepare : {true, false}) {
    ASSERT_NE(P->MDIWrapper(), nullptr);
    P->MDIWrapper()->DisconnectClient();
    ASSERT_FALSE(WindowHasSkin(Client()));
    if (ByPrepare)
      P->PrepareForm();
    else
      P->SetMDIWrapper(true);
    ASSERT_NE(Adapter(), nullptr) << ByPrepare;
    EXPECT_TRUE(WindowHasSkin(Client())) << ByPrepare;
  }
}

TEST_F(MDIForm, ClientPaintsFromTheFrameCacheAndNothingUnderAMaximisedChild) {
  TvkMDIWnd* A = Adapter();
  ASSERT_NE(A, nullptr);
  P->SkinData()->CacheDirty = true;
  const TPoint Size = WindowSize(Client());
  Dib32 Dib(Size.X, Size.Y, 0, true);
  EXPECT_EQ(EraseInto(Client(), Dib), 1);
  TBitmap* Cache = P->SkinData()->CacheBmp;
  ASSERT_NE(Cache, nullptr);
  EXPECT_FALSE(P->SkinData()->CacheDirty);
  TPoint O = A->ClientOffset();
  const TRect C = WindowRectOf(Client()), F = WindowRectOf(Frame->Handle());
  EXPECT_EQ(O.X, C.Left - F.Left);
  EXPECT_EQ(O.Y, C.Top - F.Top);
  const int Edge = (GetWindowLongA(Client(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0 ? 2 : 0;
  for (const TPoint Q : {TPoint(0, 0), TPoint(7, 3), TPoint(Dib.Width() - 1, Dib.Height() - 1)})
    EXPECT_EQ(Dib.Rgb(Q.X, Q.Y), Rgb(GetPixel32(Cache, O.X + Edge + Q.X, O.Y + Edge + Q.Y)))
        << Q.X << "," << Q.Y;

  // Printed, the client is taken from the cache without the edge shift.
  Dib32 Printed(Size.X, Size.Y, 0, true);
  Printed.Fill(kMarker);
  EXPECT_EQ(SendMessageA(Client(), WM_PRINT, reinterpret_cast<WPARAM>(Printed.DC()), PRF_CLIENT), 0);
  EXPECT_EQ(Printed.Rgb(7, 3), Rgb(GetPixel32(Cache, O.X + 7, O.Y + 3)));
  // The form's own picture holds the printed client where it stands.
  const TPoint FrameSize = WindowSize(Frame->Handle());
  Dib32 Whole(FrameSize.X, FrameSize.Y, 0, true);
  Whole.Fill(kMarker);
  SendMessageA(Frame->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Whole.DC()), PRF_CLIENT | PRF_NONCLIENT);
  for (const TPoint Q : {TPoint(7, 3), TPoint(7, Size.Y - O.Y / 2)})
    EXPECT_EQ(Whole.Rgb(O.X + Q.X, O.Y + Q.Y), Rgb(GetPixel32(Cache, O.X + Q.X, O.Y + Q.Y))) << Q.X << "," << Q.Y;

  // A maximised child covers the client: the erase, the frame and the print answer without painting; so does a
  // child lying under it.
  TForm* Under = Child("Under");
  TForm* Doc = Child("Doc");
  Doc->SetWindowState(wsMaximized);
  ASSERT_TRUE(IsZoomed(Doc->Handle()));
  EXPECT_EQ(EraseInto(Client(), Dib), 1);
  EXPECT_EQ(Dib.Rgb(7, 3), kMarker);
  EXPECT_EQ(SendMessageA(Client(), WM_NCPAINT, 1, 0), 1);
  Printed.Fill(kMarker);
  EXPECT_EQ(SendMessageA(Client(), WM_PRINT, reinterpret_cast<WPARAM>(Printed.DC()), PRF_CLIENT), 0);
  EXPECT_EQ(Printed.Rgb(7, 3), kMarker);
  Printed.Fill(kMarker);
  SendMessageA(Under->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Printed.DC()), PRF_CLIENT | PRF_NONCLIENT);
  EXPECT_EQ(Printed.Rgb(7, 3), kMarker);
  EXPECT_EQ(Printed.Rgb(Size.X / 2, Size.Y / 2), kMarker);
}

TEST_F(MDIForm, ClientCommands) {
  ASSERT_NE(Adapter(), nullptr);
  // Redraw suspension is granted only for the two kinds the client can wait out.
  for (int Kind = 0; Kind <= 7; ++Kind)
    EXPECT_EQ(SendMessageA(Client(), SM_VKCMD, MAKEWPARAM(0, VKCMD_SUSPEND_REDRAW), MAKELPARAM(Kind, 1)),
              Kind == 4 || Kind == 5 ? 1 : 0)
        << "kind " << Kind;
  // A thumb drag never reaches the client's own procedure; other codes do. The skin goes and comes back to put
  // a counter under the adapter.
  Manager->SetActive(false);
  g_ClientOwnProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Client(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteScrollCodes)));
  Manager->SetActive(true);
  ASSERT_NE(Adapter(), nullptr);
  g_ScrollCodes.clear();
  EXPECT_EQ(SendMessageA(Client(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0), 0);
  SendMessageA(Client(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(g_ScrollCodes, std::vector<int>{SB_LINEDOWN});
}

TEST_F(MDIForm, NewChildrenAreAdoptedThroughTheClientAndUnskinnedOnesWhenTheFormIsShown) {
  static std::vector<HWND> Adopted;
  Adopted.clear();
  auto Saved = FormServices.AdoptTopLevelWindow;
  FormServices.AdoptTopLevelWindow = [](HWND Wnd) { Adopted.push_back(Wnd); };
  TForm* Doc = Child("Doc");
  TForm* Plain = Child("Plain", false, false);
  const std::vector<HWND> Made = Adopted;
  Adopted.clear();
  SendMessageA(Frame->Handle(), WM_SHOWWINDOW, 0, 0);
  const std::vector<HWND> Hidden = Adopted;
  SendMessageA(Frame->Handle(), WM_SHOWWINDOW, 1, 0);
  FormServices.AdoptTopLevelWindow = Saved;
  EXPECT_EQ(Made, (std::vector<HWND>{Doc->Handle(), Plain->Handle()}));
  EXPECT_TRUE(Hidden.empty());
  EXPECT_EQ(Adopted, std::vector<HWND>{Plain->Handle()});
}

// A frame still without a skinner is adopted for its first skinned child as the hook adopts forms: into the
// provider list, with its children that have no skin and do not refuse one.
TEST_F(MDIFormUnskinned, TheFrameOfTheFirstSkinnedChildIsAdoptedWithItsOtherChildren) {
  TForm* Quiet = Child("Quiet", false, false);
  TForm* Plain = Child("Plain", false, false);
  Plain->SetTag(0);
  TForm* Doc = Child("Doc");
  EXPECT_NE(FindProviderByWnd(Frame->Handle()), nullptr);
  EXPECT_NE(FindProviderByWnd(Plain->Handle()), nullptr) << "the frame's child without a skin";
  EXPECT_EQ(FindProviderByWnd(Quiet->Handle()), nullptr) << "a child that refuses one";
  EXPECT_EQ(FindProviderByWnd(Doc->Handle()), nullptr) << "the child keeps its own skinner alone";
}

namespace {
// A graphic control of the main form that counts its paints.
class TCountingGraphic : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  void Paint() override { ++Paints; }
  int Paints = 0;
};
}  // namespace

TEST_F(MDIForm, TheFormsEraseUnderAMaximisedChildPaintsItsBackground) {
  auto* G = new TCountingGraphic(Frame);
  G->SetBounds(0, 0, 40, 10);
  G->SetParent(Frame);
  TForm* Doc = Child("Doc");
  const TPoint Size = WindowSize(Frame->Handle());
  Dib32 Dib(Size.X, Size.Y, 0, true);
  for (bool Maximised : {false, true}) {
    SCOPED_TRACE(Maximised);
    Doc->SetWindowState(Maximised ? wsMaximized : wsNormal);
    P->SkinData()->CacheDirty = true;
    G->Paints = 0;
    EXPECT_EQ(EraseInto(Frame->Handle(), Dib), 1);
    // a dirty cache is not copied; under a maximised child the background is painted anew with its controls
    EXPECT_EQ(G->Paints, Maximised ? 1 : 0);
    EXPECT_EQ(P->SkinData()->CacheDirty, !Maximised);
  }
}

TEST_F(MDIForm, MaximisedChildButtonsOnTheMenuLine) {
  TForm* A = Child("Alpha");
  TForm* B = Child("Beta");
  EXPECT_EQ(Frame->ActiveMDIChild(), B);
  EXPECT_FALSE(P->ShowsMDIChildButtons());
  B->SetWindowState(wsMaximized);
  ASSERT_TRUE(P->ShowsMDIChildButtons());
  P->SkinData()->CacheDirty = true;
  P->PaintFormFrame();
  struct Row {
    const TsCaptionButton* Button;
    int Code;
  };
  const Row Rows[] = {{&P->ButtonMDIClose, htMDIClose}, {&P->ButtonMDIRestore, htMDIRestore},
                      {&P->ButtonMDIMin, htMDIMinimize}};
  int Right = Frame->Width();
  for (const Row& R : Rows) {
    const TRect& Rc = R.Button->Rect;
    ASSERT_GT(Rc.Right, Rc.Left) << R.Code;
    // right to left, one pixel apart, inside the frame
    EXPECT_LT(Rc.Right, Right) << R.Code;
    Right = Rc.Left;
    EXPECT_EQ(At((Rc.Left + Rc.Right) / 2, (Rc.Top + Rc.Bottom) / 2), R.Code);
  }
  // Left of the buttons the line is the menu.
  const TRect& Min = P->ButtonMDIMin.Rect;
  EXPECT_EQ(At(Min.Left - 40, (Min.Top + Min.Bottom) / 2), HTMENU);

  // The child restored (or another one active and not maximised): no buttons, the place is menu again.
  const TPoint Mid((P->ButtonMDIClose.Rect.Left + P->ButtonMDIClose.Rect.Right) / 2,
                   (P->ButtonMDIClose.Rect.Top + P->ButtonMDIClose.Rect.Bottom) / 2);
  SendMessageA(B->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  P->SkinData()->CacheDirty = true;
  P->PaintFormFrame();
  EXPECT_FALSE(P->ShowsMDIChildButtons());
  EXPECT_EQ(P->ButtonMDIClose.Rect.Right, P->ButtonMDIClose.Rect.Left);
  EXPECT_EQ(At(Mid.X, Mid.Y), HTMENU);
  (void)A;
}

TEST_F(MDIForm, ActivationFollowsTheChildren) {
  TForm* A = Child("Alpha");
  TForm* B = Child("Beta");
  EXPECT_EQ(ActiveMDIChildProvider(), SkinnerOf(B));
  P->SkinData()->CacheDirty = false;
  SendMessageA(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(A->Handle()), 0);
  EXPECT_EQ(Frame->ActiveMDIChild(), A);
  EXPECT_EQ(ActiveMDIChildProvider(), SkinnerOf(A));
}

namespace {
// The paints the MDI client is sent, seen before any procedure of it: redrawn at once, it gets WM_PAINT. (Its frame
// alone is also painted when a part of it needs it, which other programs' windows and activations can cause.)
HWND g_RedrawWatched = nullptr;
int g_ClientPaints = 0;
LRESULT CALLBACK NoteClientPaints(int Code, WPARAM WP, LPARAM LP) {
  const auto* M = reinterpret_cast<const CWPSTRUCT*>(LP);
  if (Code == HC_ACTION && M->hwnd == g_RedrawWatched && M->message == WM_PAINT) ++g_ClientPaints;
  return CallNextHookEx(nullptr, Code, WP, LP);
}
// The WM_PAINTs Client is sent while Change runs, once what was queued before has gone.
int PaintsDuring(HWND Client, const std::function<void()>& Change) {
  testing_support::PumpPending();
  g_RedrawWatched = Client;
  g_ClientPaints = 0;
  HHOOK Hook = SetWindowsHookExA(WH_CALLWNDPROC, NoteClientPaints, nullptr, GetCurrentThreadId());
  Change();
  UnhookWindowsHookEx(Hook);
  return g_ClientPaints;
}
}  // namespace

TEST_F(MDIForm, TheMainFrameIsRepaintedOnceWhenAChildGoes) {
  // Each rebuild of the main frame cache calls the form's paint event once.
  int Paints = 0;
  Frame->OnPaint = [&](TObject*) { ++Paints; };
  struct Row {
    const char* What;
    bool WithMenu, WholeForm, Skinned;
    int Want;
  } Rows[] = {{"skinner of a child without a menu", false, false, true, 0},
              {"skinner of a child with a menu", true, false, true, 1},
              {"child without a menu", false, true, true, 1},
              {"child with a menu", true, true, true, 1},
              {"child without a skinner", true, true, false, 1}};
  for (const Row& R : Rows) {
    TForm* Gone = Child("Gone", R.WithMenu, R.Skinned);
    Child("Active");  // the child that goes is not the active one: no activation repaints the frame
    P->SkinData()->CacheDirty = true;
    P->PaintFormFrame();
    Paints = 0;
    if (R.WholeForm)
      Forget(Gone);
    else
      SkinnerOf(Gone)->Free();
    EXPECT_EQ(Paints, R.Want) << R.What;
    EXPECT_FALSE(P->SkinData()->CacheDirty) << R.What;
  }
  // The last child gone, the bared client is repainted at once rather than left waiting.
  while (!Children.empty()) Forget(Children.back());
  TForm* Last = Child("Last");
  EXPECT_GT(PaintsDuring(Client(), [&] { Forget(Last); }), 0);
}

TEST_F(MDIForm, MDIAreaFillsTheClientBetweenAlignedPanels) {
  Place<TPanel>(Frame, 0, 0, 100, 30)->SetAlign(alTop);
  Place<TPanel>(Frame, 0, 0, 40, 100)->SetAlign(alLeft);
  P->SkinData()->CacheDirty = true;
  P->PaintFormFrame();
  TBitmap* Cache = P->SkinData()->CacheBmp;
  ASSERT_NE(Cache, nullptr);
  const TPoint O = Adapter()->ClientOffset();
  const TPoint Size = WindowSize(Client());
  constexpr uint32_t kArea = 0x3050A0;
  EXPECT_EQ(Rgb(GetPixel32(Cache, O.X + 5, O.Y + 5)), kArea);
  EXPECT_EQ(Rgb(GetPixel32(Cache, O.X + Size.X - 3, O.Y + Size.Y - 3)), kArea);
  EXPECT_NE(Rgb(GetPixel32(Cache, O.X + 5, O.Y - 5)), kArea) << "under the top panel";
  EXPECT_NE(Rgb(GetPixel32(Cache, O.X - 5, O.Y + 5)), kArea) << "under the left panel";
  // the client shows it
  Dib32 Dib(Size.X, Size.Y, 0, true);
  EraseInto(Client(), Dib);
  EXPECT_EQ(Dib.Rgb(Size.X / 2, Size.Y / 2), kArea);
}

TEST_F(MDIForm, AMaximisedChildStillShowingHoldsTheFrameRebuild) {
  int Paints = 0, PaintsWhileShowing = -1;
  bool DirtyWhileShowing = false;
  Frame->OnPaint = [&](TObject*) { ++Paints; };
  TForm* Doc = TForm::CreateNew(Application);
  Children.push_back(Doc);
  Doc->SetFormStyle(fsMDIChild);
  Doc->SetWindowState(wsMaximized);
  Doc->OnShow = [&](TObject*) {
    Frame->Perform(0xB035, 0, 0);  // metrics changed: the next rebuild is a full one
    P->SkinData()->CacheDirty = true;
    Paints = 0;
    P->PaintFormFrame();
    PaintsWhileShowing = Paints;
    DirtyWhileShowing = P->SkinData()->CacheDirty;
  };
  Doc->Show();
  ASSERT_EQ(Frame->ActiveMDIChild(), Doc);
  EXPECT_EQ(PaintsWhileShowing, 0);
  EXPECT_TRUE(DirtyWhileShowing);
  P->PaintFormFrame();
  EXPECT_FALSE(P->SkinData()->CacheDirty) << "shown, the child lets the frame be painted";
}

TEST_F(MDIForm, ChildActivationRepaintsTheMainFrameForAMaximisedChild) {
  TForm* Doc = Child("Doc");
  const HWND W = Doc->Handle();
  SetWindowLongA(W, GWL_STYLE, GetWindowLongA(W, GWL_STYLE) | WS_SYSMENU);
  SendMessageA(W, WM_CHILDACTIVATE, 0, 0);
  EXPECT_EQ(GetWindowLongA(W, GWL_STYLE) & WS_SYSMENU, 0) << "a normal child's system menu is the skinner's";
  Doc->SetWindowState(wsMaximized);
  int Paints = 0;
  Frame->OnPaint = [&](TObject*) { ++Paints; };
  P->SkinData()->CacheDirty = false;
  SendMessageA(W, WM_CHILDACTIVATE, 0, 0);
  EXPECT_EQ(Paints, 1);
}

TEST_F(MDIForm, ClientOffsetWithABorderWindowFollowsTheShownCache) {
  Manager->SetExtendedBorders(true);
  testing_support::PumpUntil([&] { return P->BorderForm() != nullptr; }, 2000);
  TvkBorderForm* B = P->BorderForm();
  ASSERT_NE(B, nullptr);
  TRect Mg;
  P->GetExtBorderMargins(Mg);
  ASSERT_GT(Mg.Left, 0);
  ASSERT_GT(Mg.Top, 0);
  // The border window shows the cache with its top-left that far up and left of the form window.
  const TRect C = WindowRectOf(Client()), F = WindowRectOf(Frame->Handle());
  const TPoint O = Adapter()->ClientOffset();
  EXPECT_EQ(O.X, C.Left - (F.Left - B->GetLeftIndent()));
  EXPECT_EQ(O.Y, C.Top - (F.Top - B->GetTopIndent()));
  P->SkinData()->CacheDirty = true;
  const TPoint Size = WindowSize(Client());
  Dib32 Dib(Size.X, Size.Y, 0, true);
  EraseInto(Client(), Dib);
  EXPECT_EQ(Dib.Rgb(Size.X / 2, Size.Y / 2), 0x3050A0u) << "the client shows the MDI area, not the margins";
}

// ---- menus of the MDI parent ----

TEST_F(MDIForm, BarItemsAreDrawnIntoTheMenuLineOverItsBackground) {
  TsSkinableMenus* Painter = Manager->SkinableMenus();
  ASSERT_NE(Painter, nullptr);
  ASSERT_TRUE(Frame->Menu()->OwnerDraw());
  std::vector<std::string> Drawn;
  Painter->OnDrawItem = [&](TObject* Sender, TCanvas*, TRect&, TOwnerDrawState, TsMenuItemType Type) {
    if (Type == smTopLine) Drawn.push_back(static_cast<TMenuItem*>(Sender)->Caption());
  };
  P->SkinData()->CacheDirty = true;
  P->PaintFormFrame();
  Painter->OnDrawItem = nullptr;
  EXPECT_EQ(Drawn, (std::vector<std::string>{"&File", "&Window"}));
  EXPECT_EQ(Painter->PaintingProvider, nullptr);
  // the line's background is kept for items the system redraws later
  TBitmap* Line = FormServices.ProviderMenuLineBg(P);
  ASSERT_NE(Line, nullptr);
  EXPECT_EQ(Line->Height(), P->MenuLineHeight() + 1);
  EXPECT_GT(Line->Width(), Frame->ClientWidth() - 10);
  // the File item's face lies in the cache where the system has the item
  RECT IR{};
  ASSERT_TRUE(GetMenuItemRect(Frame->Handle(), GetMenu(Frame->Handle()), 0, &IR));
  const TRect WR = WindowRectOf(Frame->Handle());
  EXPECT_EQ(IR.bottom - IR.top, GetSystemMetrics(SM_CYMENU) - 1);
  TBitmap* Cache = P->SkinData()->CacheBmp;
  const int Y = (IR.top + IR.bottom) / 2 - WR.Top;
  bool Text = false;
  const uint32_t Bg = GetPixel32(Line, 1, 1) & 0xFFFFFF;
  for (int X = IR.left - WR.Left; X < IR.right - WR.Left; ++X) Text |= (GetPixel32(Cache, X, Y) & 0xFFFFFF) != Bg;
  EXPECT_TRUE(Text) << "no item drawn over the menu line";

  // an item whose menu has no skinned window of its own (a child's, merged) is drawn over the MDI parent's line
  testing_support::Owned<TMainMenu> Loose(new TMainMenu(nullptr));
  auto* Item = new TMenuItem(Loose.get());
  Item->SetCaption("Loose");
  Loose->Items()->Add(Item);
  Drawn.clear();
  Painter->OnDrawItem = [&](TObject* Sender, TCanvas*, TRect&, TOwnerDrawState, TsMenuItemType) {
    Drawn.push_back(static_cast<TMenuItem*>(Sender)->Caption());
  };
  TBitmap* Bmp = NewBitmap32(60, 20);
  Painter->DrawBarItem(Item, Bmp->Canvas(), TRect(0, 0, 60, 20), TOwnerDrawState{});
  Painter->OnDrawItem = nullptr;
  Bmp->Free();
  EXPECT_EQ(Drawn, std::vector<std::string>{"Loose"});
}

TEST_F(MDIForm, MaximisedChildIconOnTheMenuLineNeedsItsSystemMenu) {
  TForm* A = Child("Alpha");
  EXPECT_FALSE(MDIChildShowsSysIcon());
  A->SetWindowState(wsMaximized);
  EXPECT_TRUE(MDIChildShowsSysIcon());  // with an icon of its own or the program's
  A->SetBorderIcons(A->BorderIcons() - biSystemMenu);
  EXPECT_FALSE(MDIChildShowsSysIcon());
}

TEST_F(MDIForm, WindowListIsRebuiltWhenTheWindowMenuOpens) {
  auto* Tile = new TMenuItem(Frame);
  Tile->SetCaption("&Tile");
  Window->Add(Tile);
  const HMENU Popup = Window->Handle();
  // the system lists the children in the window menu it is given
  SendMessageA(Client(), WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(Popup));
  TForm* A = Child("Alpha");
  TForm* B = Child("Beta");
  ASSERT_EQ(Frame->ActiveMDIChild(), B);
  ASSERT_GT(GetMenuItemCount(Popup), 2);
  auto Open = [&](HMENU H) { Frame->Perform(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(H), 1); };
  auto Listed = [&] {
    std::vector<std::string> R;
    for (int i = 0; i < Window->Count(); ++i)
      if ((Window->Items(i)->Tag() & 0x200) != 0) R.push_back(Window->Items(i)->Caption());
    return R;
  };
  for (int Round = 0; Round < 2; ++Round) {  // a second opening replaces the list, it does not add to it
    Open(Popup);
    ASSERT_EQ(Listed(), (std::vector<std::string>{"Alpha", "Beta"})) << Round;
    ASSERT_EQ(Window->Count(), 4);
    EXPECT_EQ(Window->Items(1)->Caption(), "-");
    EXPECT_EQ(Window->Items(2)->Tag(), 0x200);
    EXPECT_EQ(Window->Items(3)->Tag(), 0x201);
    EXPECT_FALSE(Window->Items(2)->Checked());
    EXPECT_TRUE(Window->Items(3)->Checked());
    // the system's own list is gone: every entry left is one of ours
    ASSERT_EQ(GetMenuItemCount(Popup), Window->Count());
    for (int i = 0; i < GetMenuItemCount(Popup); ++i) {
      MENUITEMINFOA Info{};
      Info.cbSize = sizeof(Info);
      Info.fMask = MIIM_DATA;
      GetMenuItemInfoA(Popup, static_cast<UINT>(i), TRUE, &Info);
      EXPECT_EQ(Info.dwItemData, reinterpret_cast<ULONG_PTR>(Window->Items(i))) << i;
    }
  }
  Window->Items(2)->Click();
  EXPECT_EQ(Frame->ActiveMDIChild(), A);
  // any other popup takes the list away
  Open(Frame->Menu()->Items()->Items(0)->Handle());
  EXPECT_TRUE(Listed().empty());
  // without skinned popups nothing is touched
  Open(Popup);
  Manager->SetSkinnedPopups(false);
  Open(Frame->Menu()->Items()->Items(0)->Handle());
  EXPECT_EQ(Listed().size(), 2u);
}

namespace {
// An MDI child whose system commands the test sees under its skinner, kept from the system.
TForm* WatchedChild(std::vector<TForm*>& Children, TBorderIcons Icons, std::function<void()> OnCommand) {
  TForm* C = TForm::CreateNew(Application);
  Children.push_back(C);
  C->SetFormStyle(fsMDIChild);
  C->SetBorderIcons(Icons);
  C->WindowProc = [OnCommand, Own = C->WindowProc](TMessage& Msg) {
    if (Msg.Msg == WM_SYSCOMMAND) OnCommand();
    else Own(Msg);
  };
  Create<TsSkinProvider>(C);
  C->Show();
  return C;
}
}  // namespace

TEST_F(MDIForm, AMaximisedChildsButtonsSendItsCommandOnReleaseWhenTheChildAllowsIt) {
  struct Row {
    int Code;
    TBorderIcons Icons;
    bool Press;
    bool Sent;
  };
  const TBorderIcons All{biSystemMenu, biMinimize, biMaximize};
  for (const Row& R : {Row{htMDIClose, All, true, true}, Row{htMDIRestore, All, true, true},
                       Row{htMDIMinimize, All, true, true}, Row{htMDIMinimize, All, false, false},
                       Row{htMDIRestore, TBorderIcons{biSystemMenu, biMinimize}, true, false},
                       Row{htMDIMinimize, TBorderIcons{biSystemMenu, biMaximize}, true, false}}) {
    SCOPED_TRACE(testing::Message() << R.Code << " press " << R.Press);
    int Sent = 0;
    TForm* C = WatchedChild(Children, R.Icons, [&] { ++Sent; });
    SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(C->Handle()), 0);
    ASSERT_TRUE(IsZoomed(C->Handle()));
    Sent = 0;
    if (R.Press) SendMessageA(Frame->Handle(), WM_NCLBUTTONDOWN, R.Code, 0);
    SendMessageA(Frame->Handle(), WM_NCLBUTTONUP, R.Code, 0);
    EXPECT_EQ(Sent, R.Sent ? 1 : 0);
    EXPECT_EQ(P->SkinData()->UpdateCount, 0);  // the minimise's hold on the main frame is let go
    Forget(C);
  }
}

TEST_F(MDIForm, AChildsCommandsHoldTheMainFrameWhileAMaximisedChildChangesAndHideItWhileItMaximises) {
  struct Row {
    WPARAM Command;
    bool FromMaximised, Locked, Visible;
  };
  for (const Row& R : {Row{SC_MAXIMIZE, false, false, false}, Row{SC_RESTORE, true, true, true},
                       Row{SC_MINIMIZE, true, true, true}, Row{SC_CLOSE, true, true, true}}) {
    SCOPED_TRACE(testing::Message() << std::hex << R.Command);
    bool Seen = false, Locked = false, Visible = false;
    TForm* C = nullptr;
    C = WatchedChild(Children, TBorderIcons{biSystemMenu, biMinimize, biMaximize}, [&] {
      // what the command's own handling sees
      Seen = true;
      Locked = P->SkinData()->UpdateCount > 0;
      Visible = IsWindowVisible(C->Handle());
    });
    if (R.FromMaximised) SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(C->Handle()), 0);
    SendMessageA(C->Handle(), WM_SYSCOMMAND, R.Command, 0);
    ASSERT_TRUE(Seen);
    EXPECT_EQ(Locked, R.Locked);
    EXPECT_EQ(Visible, R.Visible);
    EXPECT_TRUE(IsWindowVisible(C->Handle()));
    EXPECT_EQ(P->SkinData()->UpdateCount, 0);  // never left held
    Forget(C);
  }
}


TEST_F(MDIForm, SkinCommandsRedrawTheClientWindowUnlessAMaximisedChildCoversIt) {
  enum TAction { aRepaint, aRepaintUnderMaximised, aSkinDropped };
  struct Row {
    TAction Action;
    bool Redrawn;
  };
  for (const Row& R : {Row{aRepaint, true}, Row{aRepaintUnderMaximised, false}, Row{aSkinDropped, true}}) {
    SCOPED_TRACE(R.Action);
    TForm* Doc = nullptr;
    if (R.Action == aRepaintUnderMaximised) {
      Doc = Child("Doc");
      Doc->SetWindowState(wsMaximized);
      ValidateRect(Doc->Handle(), nullptr);
    }
    const int Paints = PaintsDuring(Client(), [&] {
      if (R.Action == aSkinDropped)
        Manager->SetActive(false);
      else
        SendMessageA(Frame->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_REPAINT_AFTER_CHANGE),
                     reinterpret_cast<LPARAM>(Manager.get()));
    });
    EXPECT_EQ(Paints > 0, R.Redrawn);
    if (Doc != nullptr) {
      EXPECT_TRUE(GetUpdateRect(Doc->Handle(), nullptr, FALSE));  // the child shows instead
      Forget(Doc);
    }
  }
}
