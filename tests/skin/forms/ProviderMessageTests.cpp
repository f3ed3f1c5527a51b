// The skinned form's answers to single messages: an activation during a restore flight, a size while the skin
// data updates, Alt+Space, a minimise with the system's own animation, redraw locks, notices of the children, caption
// double clicks and a user title button's press and release.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "FormTestSupport.h"
#include "framework/Platform.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "tests/support/WindowProbe.h"

using namespace form_test;

namespace {

// The popup menu's window, read while the menu loop runs, then the loop ended.
RECT g_MenuAt{};
void CALLBACK NoteMenuAndEnd(HWND, UINT, UINT_PTR Id, DWORD) {
  // this thread's menu: another program's menu may be open on the shared screen meanwhile
  for (const testing_support::FoundWindow& Menu : testing_support::FindThreadWindows("#32768")) {
    if (!IsWindowVisible(Menu.handle)) continue;
    GetWindowRect(Menu.handle, &g_MenuAt);
    KillTimer(nullptr, Id);
    EndMenu();
    return;
  }
}

}  // namespace

TEST(ProviderMessages, AnActivationDuringARestoreFlightIsTakenAsDone) {
  TSpied S;
  S.F->Show();
  TsSkinProviderAccess::State(S.P) |= fsfRestoring;
  S.Spy.Seen.clear();
  TMessage Msg{WM_NCACTIVATE, 0, 0, 0};
  S.F->WindowProc(Msg);
  EXPECT_FALSE(S.Spy.Saw(WM_NCACTIVATE));
  EXPECT_EQ(Msg.Result, TRUE);  // a deactivation is never vetoed
  TsSkinProviderAccess::State(S.P) &= ~fsfRestoring;
}

TEST(ProviderMessages, ASizeWhileTheSkinDataUpdatesOnlyMarksTheFrame) {
  TSpied S;
  S.F->Show();
  S.P->PaintFormFrame();
  S.P->SkinData()->CacheDirty = false;
  S.P->SkinData()->Updating = true;
  const int Paints = S.P->FramePaints();
  S.F->Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(250, 150));
  EXPECT_TRUE(S.P->SkinData()->CacheDirty);
  EXPECT_TRUE(S.P->FrameDirty());
  EXPECT_EQ(S.P->FramePaints(), Paints);
  S.P->SkinData()->Updating = false;
}

TEST(ProviderMessages, AltSpaceShowsTheSkinnedSystemMenuBelowTheCaptionIcon) {
  TSpied S;
  S.F->Show();
  g_MenuAt = RECT{};
  SetTimer(nullptr, 0, 50, NoteMenuAndEnd);
  S.F->Perform(WM_SYSCOMMAND, SC_KEYMENU, ' ');
  TPoint O;
  S.P->GetWindowOrigin(O);
  EXPECT_EQ(g_MenuAt.left, O.X + S.P->IconRect().Left);
  EXPECT_EQ(g_MenuAt.top, O.Y + S.P->GetFrameWidth(true) + S.P->GetCaptionBarHeight(true));
}

TEST(ProviderMessages, AMinimisedSecondaryFormGivesTheSystemsAnimationSettingBack) {
  for (bool Was : {true, false}) {
    TSpied S;
    S.M->AnimEffects()->Minimizing()->SetActive(true);
    S.F->Show();
    // the system's setting as the skinner reads and changes it
    static bool g_Animate;
    g_Animate = Was;
    Platform().SystemParametersInfoA = [](UINT Action, UINT Param, void* Data, UINT Ini) -> BOOL {
      auto* Info = static_cast<ANIMATIONINFO*>(Data);
      if (Action == SPI_GETANIMATION) Info->iMinAnimate = g_Animate ? 1 : 0;
      else if (Action == SPI_SETANIMATION) g_Animate = Info->iMinAnimate != 0;
      else return ::SystemParametersInfoA(Action, Param, Data, Ini);
      return TRUE;
    };
    bool During = Was;
    S.Spy.OnOwn = [&](TMessage& Msg) {
      if (Msg.Msg == WM_SYSCOMMAND) During = g_Animate;
    };
    S.F->Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(During) << Was;  // the skinned flight, not the system's
    EXPECT_EQ(g_Animate, Was);
    ResetPlatform();
  }
}

TEST(ProviderMessages, RedrawLocksCountDownToNoneOnly) {
  TSpied S;
  for (const auto& [WParam, Locks] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 1}, std::pair{1, 0},
                                      std::pair{1, 0}}) {
    S.F->Perform(WM_SETREDRAW, WParam, 0);
    EXPECT_EQ(S.P->RedrawLockCount(), Locks);
  }
  EXPECT_TRUE(S.Spy.Saw(WM_SETREDRAW));
}

TEST(ProviderMessages, OnlyACustomDrawNoticeWalksTheChildren) {
  // the child-control walker stood in for: a made adapter and a count of its walks
  static int g_Walks;
  g_Walks = 0;
  static TObject g_Adapter;
  const TvkProviderParts Saved = ProviderParts;
  ProviderParts.NewCtrlAdapter = [](TsSkinProvider*) { return reinterpret_cast<TvkCtrlAdapter*>(&g_Adapter); };
  ProviderParts.FreeCtrlAdapter = [](TvkCtrlAdapter*) {};
  ProviderParts.WalkControlsOf = [](TvkCtrlAdapter*, TWinControl*) { ++g_Walks; };
  {
    TSpied S;
    S.P->CreateAdapter();
    ASSERT_NE(S.P->CtrlAdapter(), nullptr);
    for (const auto& [Code, Walks] : {std::pair{NM_CLICK, 0}, std::pair{NM_CUSTOMDRAW, 1}}) {
      g_Walks = 0;
      NMHDR H{nullptr, 0, static_cast<UINT>(Code)};
      S.Spy.Seen.clear();
      S.F->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&H));
      EXPECT_EQ(g_Walks, Walks) << Code;
      EXPECT_TRUE(S.Spy.Saw(WM_NOTIFY)) << Code;
    }
  }
  ProviderParts = Saved;
}

TEST(ProviderMessages, ACaptionDoubleClickMaximisesAndRestoresOnlyWithASystemMenu) {
  struct Row {
    TBorderIcons Icons;
    bool Zooms;
  };
  for (const Row& R : {Row{TBorderIcons{biSystemMenu, biMaximize}, true}, Row{TBorderIcons{}, false}}) {
    TSpied S;
    S.F->SetBorderIcons(R.Icons);
    S.F->Show();
    S.P->SystemMenu()->RefreshItemStates(true);
    S.F->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(IsZoomed(S.F->Handle()) != 0, R.Zooms);
    S.F->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_FALSE(IsZoomed(S.F->Handle()));
  }
}

TEST(ProviderMessages, AUserTitleButtonHearsItsPressAndItsReleaseWithItselfAsSender) {
  TSpied S;
  S.P->TitleButtons()->Add();
  TsTitleButton* Second = S.P->TitleButtons()->Items(S.P->TitleButtons()->Add()->Index());
  std::vector<std::string> Heard;
  Second->OnMouseDown = [&](TObject* Sender, TMouseButton, TShiftState, int, int) {
    Heard.push_back(Sender == Second ? "down" : "down elsewhere");
  };
  Second->OnMouseUp = [&](TObject* Sender, TMouseButton, TShiftState, int, int) {
    Heard.push_back(Sender == Second ? "up" : "up elsewhere");
  };
  S.F->Show();
  RepaintFrame(S.P);
  S.F->Perform(WM_NCLBUTTONDOWN, htUserButton + 1, 0);
  S.F->Perform(WM_NCLBUTTONUP, htUserButton + 1, 0);
  EXPECT_EQ(Heard, (std::vector<std::string>{"down", "up"}));
  // pressed and let go elsewhere: no release of its own
  Heard.clear();
  S.F->Perform(WM_NCLBUTTONDOWN, htUserButton + 1, 0);
  S.F->Perform(WM_NCLBUTTONUP, HTCAPTION, 0);
  EXPECT_EQ(Heard, (std::vector<std::string>{"down"}));
}
