// The provider's answers to changes of the form's state: a work-area change or a showing during a minimise
// flight, the border window following the form's Enabled, a style change that leaves the system menu's Close
// item behind, and a form shown again after the application's minimise.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "framework/Menus.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkProviderEffects.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/MessagePump.h"

using namespace form_test;

namespace {

struct TSkinned : TSkinnedForm {
  TvkThreadedTimer*& Timer() { return TvkProviderEffects::AnimTimer(P); }
  // A minimise flight of the form's own, running or not.
  TvkMinTimer* Flight(bool Running) {
    auto* T = new TvkMinTimer(P, P);
    Timer() = T;
    T->SetEnabled(Running);
    return T;
  }
  // A flight in the middle of its run, as its starter leaves the form: layered at alpha 0, its bit set.
  void MidFlight(bool Running, uint32_t Bit) {
    Flight(Running);
    P->SetFormStateFlags(P->FormStateFlags() | Bit);
    SetLayeredAlpha(F->Handle(), true, 0);
  }
  // The form as a flight's end leaves it: not layered, no flight bit.
  bool Settled() {
    return (GetWindowLongA(F->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) == 0 &&
           (P->FormStateFlags() & (fsfMinimizing | fsfRestoring)) == 0;
  }
};

}  // namespace

TEST(ProviderState, AWorkAreaChangeRestartsAFlightTowardItsNewTarget) {
  TSkinned S;
  TvkMinTimer* T = S.Flight(false);
  T->CurLeft = T->StartRect.Left + 40;
  T->TargetRect = TRect(1, 2, 3, 4);
  S.F->Perform(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(T->CurLeft, T->StartRect.Left);
  EXPECT_EQ(T->TargetRect, T->FindTarget());
  T->Free();
}

TEST(ProviderState, ShowingEndsARunningFlightAsItsLastStepWould) {
  for (uint32_t Bit : {fsfMinimizing, fsfRestoring}) {
    TSkinned S;
    S.MidFlight(true, Bit);
    S.F->Show();
    EXPECT_EQ(S.Timer(), nullptr) << Bit;
    // not left invisible and click-through
    EXPECT_TRUE(S.Settled()) << Bit;
  }
  TSkinned S;
  TvkMinTimer* T = S.Flight(false);
  S.F->Show();
  EXPECT_EQ(S.Timer(), T);
}

TEST(ProviderState, TheBorderWindowFollowsTheFormsEnabled) {
  TSkinned S;
  S.M->SetExtendedBorders(true);
  S.F->Show();
  ASSERT_NE(S.P->BorderForm(), nullptr);
  TvkGlowForm* L = FormServices.BorderLayeredWindow(S.P->BorderForm());
  ASSERT_NE(L, nullptr);
  S.F->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(L->Handle()));
  S.F->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(L->Handle()));
}

TEST(ProviderState, AStyleChangeBringsTheCloseItemInLineWithTheBorderIcons) {
  TSkinned S;
  ASSERT_NE(S.P->SystemMenu(), nullptr);
  S.P->SystemMenu()->RefreshItemStates(true);
  ASSERT_NE(S.P->SystemMenu()->ItemClose(), nullptr);
  ASSERT_TRUE(S.P->SystemMenu()->ItemClose()->Visible());
  S.F->SetBorderIcons(TBorderIcons{});
  S.F->Perform(WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), 0);
  EXPECT_FALSE(S.P->SystemMenu()->ItemClose()->Visible());
}

TEST(ProviderState, ActivationAndMovesTakeEveryGlowAwayAndARestoreEndsARunningFlight) {
  TSkinned S;
  S.F->Show();
  for (UINT Msg : {WM_NCACTIVATE, WM_MOVE}) {
    GlowEffects.push_back(new TvkGlowEffect);
    S.F->Perform(Msg, 1, 0);
    EXPECT_TRUE(GlowEffects.empty()) << Msg;
  }
  // a restore ends a flight still running as its last step would, and leaves one that stands
  for (bool Running : {true, false}) {
    S.MidFlight(Running, fsfRestoring);
    S.F->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(S.Timer() == nullptr, Running) << Running;
    EXPECT_EQ(S.Settled(), Running) << Running;
  }
}

TEST(ProviderState, AFlightThatEndedNoLongerHoldsBackTheActivationRepaint) {
  // the border window takes the new active or inactive picture after a flight, not while one runs
  for (bool Running : {false, true}) {
    TSkinned S;
    S.M->SetExtendedBorders(true);
    S.ShowPainted();
    ASSERT_NE(S.P->BorderForm(), nullptr);
    const HWND L = FormServices.BorderLayeredWindow(S.P->BorderForm())->Handle();
    S.Flight(Running);
    testing_support::LayeredRecorder Rec;
    S.P->SkinData()->CacheDirty = true;
    S.F->Perform(WM_NCACTIVATE, 0, 0);
    EXPECT_EQ(Rec.For(L).empty(), Running) << Running;
  }
}

TEST(ProviderState, UnderCompositionTheBorderWindowShowsTheFrameBeforeAnActivationWithAMenuLine) {
  // how often the border window was shown when the form's own procedure takes the activation (made before the
  // form, which reports to them until it goes)
  testing_support::LayeredRecorder Rec;
  HWND L = nullptr;
  size_t Before = 0;
  ManagerPtr M = CarriedManager();
  M->SetExtendedBorders(true);
  Owned<TForm> F(NewForm(300, 200));
  GiveMainMenu(F.get());
  F->WindowProc = [&, Own = F->WindowProc](TMessage& Msg) {
    if (Msg.Msg == WM_NCACTIVATE && L != nullptr) Before = Rec.For(L).size();
    Own(Msg);
  };
  auto* P = Create<TsSkinProvider>(F.get());
  F->Show();
  PumpPending();
  ASSERT_NE(P->BorderForm(), nullptr);
  ASSERT_GT(P->GetMenuLineCount(), 0);
  L = FormServices.BorderLayeredWindow(P->BorderForm())->Handle();
  Rec.calls.clear();
  F->Perform(WM_NCACTIVATE, 0, 0);
  EXPECT_EQ(Before > 0, IsDwmCompositionActive());
}

TEST(ProviderState, AfterAMinimiseFlightAndItsReturnNeitherAMaximiseNorAPlainRestoreLeavesTheFormTransparent) {
  if (!IsDwmCompositionActive()) GTEST_SKIP() << "a minimise flies only where the desktop composes";
  TSkinned S;
  S.M->AnimEffects()->Minimizing()->SetActive(true);
  S.ShowPainted();
  const HWND W = S.F->Handle();
  auto Command = [&](WPARAM Cmd) {
    S.F->Perform(WM_SYSCOMMAND, Cmd, 0);
    EXPECT_TRUE(PumpUntil([&] { return S.Timer() == nullptr || !S.Timer()->Enabled(); }, 5000)) << Cmd;
  };
  Command(SC_MINIMIZE);
  ASSERT_NE(dynamic_cast<TvkMinTimer*>(S.Timer()), nullptr);
  Command(SC_RESTORE);
  ASSERT_TRUE(S.Settled());
  // the ended flight's timer stays: a maximise of the shown form is a plain one
  Command(SC_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(W));
  EXPECT_TRUE(S.Settled());
  // minimised without a flight, it has no picture to bring back: restored plainly too
  Command(SC_RESTORE);
  S.F->SetWindowState(wsMinimized);
  Command(SC_RESTORE);
  EXPECT_FALSE(IsIconic(W));
  EXPECT_TRUE(S.Settled());
  // flown down, then maximised from the taskbar: it stays maximised when the flight back ends
  Command(SC_MINIMIZE);
  Command(SC_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(W));
  EXPECT_TRUE(S.Settled());
}

TEST(ProviderState, AFormHiddenWithTheMainFormsMinimisePaintsItsFrameAgainAfterTheRestore) {
  TSkinnedForm S;
  S.ShowPainted();
  Owned<TForm> Main(NewForm());
  Application->FormCreated(Main.get());
  Main->Show();
  // the main form's own minimise takes the application down; the taskbar's restore brings it back
  SendMessageA(Main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_FALSE(IsWindowVisible(S.F->Handle()));
  Application->Restore();
  // its frame follows a new text
  S.F->SetCaption("WWWWWWWW");
  EXPECT_FALSE(S.P->SkinData()->CacheDirty);
}
