// Popup-menu window adapters on real popup menus and on plain windows, and the wwEdit combo adapter.
#include <functional>
#include <string>

#include "AdapterTestSupport.h"
#include "tests/support/MessagePump.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkMnuWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/core/vkFormServices.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"

using namespace adapter_test;

namespace {

struct TLayeredCall {
  HWND Wnd;
  BYTE Alpha;
};
std::vector<TLayeredCall> g_Layered;
std::function<void()> g_OnShown;
HHOOK g_IdleHook = nullptr;

// The menu's loop tells its owner it is idle once the popup is up and painted: the moment to look and close.
LRESULT CALLBACK MenuIdle(int Code, WPARAM WP, LPARAM LP) {
  const auto* M = reinterpret_cast<const CWPSTRUCT*>(LP);
  if (Code == HC_ACTION && M->message == WM_ENTERIDLE && M->wParam == MSGF_MENU) {
    if (g_OnShown) g_OnShown();
    g_OnShown = nullptr;
    EndMenu();
  }
  return CallNextHookEx(g_IdleHook, Code, WP, LP);
}

class MenuWindowTest : public AdapterTest {
protected:
  void SetUp() override {
    AdapterTest::SetUp();
    // the menu skinner's unit runs for the whole program (AdapterUnits): finalising it here would take the
    // menu painter from every later test of the process
    // the program's thread hook gives each popup-menu window its adapter while the skin is on
    Manager = SolidManager();
    // recorded and passed on, so the window behaves as it would
    Platform().SetLayeredWindowAttributes = [](HWND Wnd, COLORREF Key, BYTE Alpha, DWORD Flags) {
      g_Layered.push_back({Wnd, Alpha});
      return ::SetLayeredWindowAttributes(Wnd, Key, Alpha, Flags);
    };
    g_Layered.clear();
  }
  void TearDown() override {
    FreeMenuAdapters();
    ClearMenuBgCache();
    Manager.reset();
    AdapterTest::TearDown();
  }
  // Until the deferred free of the menu adapters has run (or a second passed).
  static void Pump() {
    testing_support::PumpUntil([] { return MenuWindowAdapters.empty(); }, 1000);
  }
  // The popup shown and closed as soon as it is up; OnShown runs while it is open.
  void ShowPopup(TPopupMenu* P, std::function<void()> OnShown) {
    g_OnShown = std::move(OnShown);
    g_IdleHook = SetWindowsHookExA(WH_CALLWNDPROC, MenuIdle, nullptr, GetCurrentThreadId());
    P->Popup(100, 100);
    UnhookWindowsHookEx(g_IdleHook);
    g_OnShown = nullptr;
    Pump();
  }
  TPopupMenu* NewMenu() {
    auto* P = new TPopupMenu(nullptr);
    for (const char* C : {"Open", "-", "Close"}) {
      auto* I = new TMenuItem(P);
      I->SetCaption(C);
      P->Items()->Add(I);
    }
    Manager->SkinableMenus()->InitPopupMenu(P, true);
    return P;
  }
  ManagerPtr Manager;
};
class MenuWindowRealScreen : public MenuWindowTest {};

}  // namespace

TEST_F(MenuWindowTest, RealPopupIsPaintedByThePainterAndShownOnlyWhenSkinned) {
  ASSERT_NE(Manager->SkinableMenus(), nullptr);
  testing_support::Owned<TPopupMenu> P(NewMenu());
  ASSERT_TRUE(P->OwnerDraw());
  HWND Popup = nullptr;
  bool Showing = false;
  size_t Records = 0;
  HWND RecordWnd = nullptr;
  LONG ExStyle = -1;
  ShowPopup(P.get(), [&] {
    ASSERT_EQ(MenuWindowAdapters.size(), 1u);
    Popup = MenuWindowAdapters[0]->CtrlHandle;
    ExStyle = GetWindowLongA(Popup, GWL_EXSTYLE);
    Showing = SkinnedMenuShowing;
    Records = MenuBgCache().size();
    if (Records > 0) RecordWnd = MenuBgCache()[0].Wnd;
  });
  EXPECT_TRUE(Showing);  // the items were measured by the painter
  ASSERT_GE(Records, 1u);  // and drawn over a background built for the popup's window
  EXPECT_EQ(RecordWnd, Popup);
  ASSERT_FALSE(g_Layered.empty());
  EXPECT_EQ(g_Layered[0].Wnd, Popup);
  EXPECT_EQ(g_Layered[0].Alpha, 0);  // transparent until its frame is painted
  EXPECT_EQ(g_Layered.size(), 1u);   // AlphaBlend 255: opaque, no longer layered
  EXPECT_EQ(ExStyle & WS_EX_LAYERED, 0);
  EXPECT_TRUE(MenuWindowAdapters.empty());
  EXPECT_TRUE(MenuBgCache().empty());
  EXPECT_FALSE(SkinnedMenuShowing);

  Manager->MenuSupport()->SetAlphaBlend(200);
  g_Layered.clear();
  ShowPopup(P.get(), nullptr);
  ASSERT_GE(g_Layered.size(), 2u);
  EXPECT_EQ(g_Layered.back().Alpha, 200);
}

TEST_F(MenuWindowTest, HundredPopupsLeaveNoAdapterBehind) {
  testing_support::Owned<TPopupMenu> P(NewMenu());
  for (int i = 0; i < 100; ++i) ShowPopup(P.get(), nullptr);
  EXPECT_TRUE(MenuWindowAdapters.empty());
  EXPECT_TRUE(MenuBgCache().empty());
}

TEST_F(MenuWindowTest, RemovingTheSkinFreesTheAdaptersOfAnOpenPopup) {
  testing_support::Owned<TPopupMenu> P(NewMenu());
  size_t Open = 0, Left = 1;
  bool SkinnedAfter = true;
  ShowPopup(P.get(), [&] {
    Open = MenuWindowAdapters.size();
    const HWND Popup = Open > 0 ? MenuWindowAdapters[0]->CtrlHandle : nullptr;
    Manager->SetActive(false);
    Left = MenuWindowAdapters.size();
    SkinnedAfter = WindowHasSkin(Popup);
  });
  EXPECT_EQ(Open, 1u);
  EXPECT_EQ(Left, 0u);
  EXPECT_FALSE(SkinnedAfter);
  // a popup of the unskinned program gets no adapter
  ShowPopup(P.get(), [&] { Open = MenuWindowAdapters.size(); });
  EXPECT_EQ(Open, 0u);
}

TEST_F(MenuWindowTest, CommandsEraseAndDeferredFree) {
  HWND W = Keep(NewRecordingWindow(nullptr, WS_VISIBLE, 10, 10, 80, 60));
  TvkMnuWnd* A = CreateMenuWindowAdapter(W, Manager.get());
  auto Cmd = [W](WORD C) { return SendMessageA(W, SM_VKCMD, SkinCommandWParam(C), 0); };
  EXPECT_EQ(Cmd(VKCMD_QUERY_SKINNED), 1);
  EXPECT_EQ(Cmd(VKCMD_QUERY_APPLICATION), reinterpret_cast<LRESULT>(Application));
  EXPECT_EQ(Cmd(VKCMD_SET_UPDATE_STATE), 0);
  Cmd(VKCMD_0E);
  EXPECT_EQ(Cmd(VKCMD_SET_UPDATE_STATE), 1);  // the shaper leaves a popup alone until it is erased
  EXPECT_EQ(A->PerformMessage(SM_VKCMD, SkinCommandWParam(VKCMD_SET_UPDATE_STATE), 0), 1);
  SkinnedMenuShowing = true;
  Recorded().clear();
  HDC DC = GetDC(W);
  EXPECT_EQ(SendMessageA(W, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0), 1);
  ReleaseDC(W, DC);
  EXPECT_EQ(A->ErasePending, 0);
  EXPECT_EQ(CountRecorded(W, WM_ERASEBKGND), 0);  // answered by the adapter

  // the last popup's end frees its adapter only after its own procedure has returned
  DestroyWindow(W);
  ASSERT_EQ(MenuWindowAdapters.size(), 1u);
  EXPECT_TRUE(MenuWindowAdapters[0]->Detached);
  EXPECT_FALSE(SkinnedMenuShowing);
  EXPECT_GT(CountRecorded(W, WM_NCDESTROY), 0);
  Pump();
  EXPECT_TRUE(MenuWindowAdapters.empty());
}

TEST_F(MenuWindowRealScreen, TheFrameComesFromThePaintersBackgroundOfTheWindowsSize) {
  HWND W = Keep(NewRecordingWindow(nullptr, WS_VISIBLE | WS_POPUP, 10, 10, 80, 60));
  CreateMenuWindowAdapter(W, Manager.get());
  static testing_support::Owned<TBitmap> Bg;
  Bg.reset(NewBitmap32(80, 60));
  FillRect32(Bg.get(), TRect(0, 0, 80, 60), 0x336633, 255);
  auto Painter = FormServices.PopupWindowBackground;
  FormServices.PopupWindowBackground = [](TsSkinableMenus*, HWND) { return Bg.get(); };
  SkinnedMenuShowing = true;
  SendMessageA(W, WM_NCPAINT, 1, 0);
  testing_support::Dib32 D(80, 60);
  CopyWindowDC(W, D);
  for (const POINT P : {POINT{0, 0}, POINT{2, 30}, POINT{79, 59}}) EXPECT_EQ(D.Rgb(P.x, P.y), 0x336633u);
  SkinnedMenuShowing = false;
  FormServices.PopupWindowBackground = Painter;
  Bg.reset();
}

TEST_F(MenuWindowTest, ClosingOneOfTwoPopupsRedrawsTheOther) {
  HWND Parent = Keep(NewRecordingWindow(nullptr, WS_VISIBLE, 10, 10, 80, 60));
  HWND Sub = NewRecordingWindow(nullptr, WS_VISIBLE, 90, 10, 80, 60);
  CreateMenuWindowAdapter(Parent, Manager.get());
  CreateMenuWindowAdapter(Sub, Manager.get());
  UpdateWindow(Parent);
  Recorded().clear();
  DestroyWindow(Sub);
  EXPECT_GT(CountRecorded(Parent, WM_NCPAINT), 0);
  testing_support::PumpPending();
  EXPECT_EQ(MenuWindowAdapters.size(), 2u);  // one is still open: nothing is freed
  EXPECT_FALSE(MenuWindowAdapters[0]->Detached);
}

TEST_F(MenuWindowTest, WWEditComboButtonFollowsTheStyle) {
  TForm* Form = NewForm(40, 40, 300, 200);
  const struct {
    TComboBoxStyle Style;
    bool Button;
  } Cases[] = {{csSimple, false}, {csDropDown, true}, {csDropDownList, true}};
  for (const auto& C : Cases) {
    auto* Combo = Place<TComboBox>(Form, 5, 5, 120, C.Style == csSimple ? 80 : 24);
    Combo->SetStyle(C.Style);
    auto* A = CreateAdapter<TvkWWComboBoxWnd>(Combo->Handle(), nullptr, Manager.get(), SkinParams("", Combo), false);
    EXPECT_EQ(A->HasButton, C.Button);
    const TRect R = A->GetButtonRect(), WR = WindowRectOf(Combo->Handle());
    const int W = C.Button ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    EXPECT_EQ(R.Width(), W);
    EXPECT_EQ(R.Left, WR.Width() - W - 2);
    EXPECT_EQ(R.Top, 2);
    EXPECT_EQ(R.Bottom, WR.Height() - 2);
    A->Free();
    Combo->Free();
  }
  Form->Free();
}

TEST_F(MenuWindowTest, AnItemOnACanvasClippedToNothingIsNotTurnedInsideOut) {
  // a popup not showing yet hands its items a canvas clipped to nothing; under SOLID the item would be stretched
  // to that clip's edges
  ASSERT_TRUE(Manager->SkinableMenus()->NoPopupBorderMask());
  testing_support::Owned<TPopupMenu> P(NewMenu());
  testing_support::Owned<TBitmap> B(NewBitmap32(100, 40));
  HRGN Nothing = CreateRectRgn(0, 0, 0, 0);
  SelectClipRgn(B->Canvas()->Handle(), Nothing);
  DeleteObject(Nothing);
  for (int i = 0; i < 3; ++i)  // a normal item, a divider, a normal item
    EXPECT_NO_THROW(Manager->SkinableMenus()->DrawPopupItem(P->Items()->Items(i), B->Canvas(), TRect(3, 3, 97, 20),
                                                            TOwnerDrawState{}))
        << i;
}
