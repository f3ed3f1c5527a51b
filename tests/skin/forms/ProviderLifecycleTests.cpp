// The provider's life on a form: who gets the window method, what a second provider does, what is given back,
// and which messages the window method keeps from the form.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "FormTestSupport.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkThdTimer.h"
#include "skin/forms/vkFormHook.h"

using namespace form_test;

TEST(ProviderLifecycle, AnOwnerThatIsNoFormGetsAnInertProviderAndAWarning) {
  std::vector<std::string> Boxes;
  Platform().MessageBoxSink = [&](const TMessageBoxRequest& R) {
    Boxes.push_back(R.text);
    return IDOK;
  };
  Owned<TComponent> Owner(new TComponent(nullptr));
  auto* P = new TsSkinProvider(Owner.get());
  P->AfterConstruction();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "TsSkinProvider component may be used with forms only!");
  EXPECT_EQ(P->Form(), nullptr);
  EXPECT_EQ(P->Owner(), Owner.get());
  EXPECT_EQ(P->SkinData(), nullptr);
  Owner.reset();  // frees the inert provider with its owner
  ResetPlatform();
}

TEST(ProviderLifecycle, TakesTheWindowMethodAndGivesItBack) {
  Owned<TForm> F(NewForm());
  TSpy Spy(F.get());
  const TWndMethod Before = F->WindowProc;
  auto* P = Create<TsSkinProvider>(F.get());
  EXPECT_FALSE(F->WindowProc == Before);
  EXPECT_EQ(SkinCommand(F.get(), VKCMD_QUERY_FORM_SKINNER), reinterpret_cast<LRESULT>(P));
  // the unskinned form's window carries the provider's skin data, so a skin-aware send reaches it too
  EXPECT_EQ(SendMessageA(F->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SKINNED), 0), 1);
  P->Free();
  EXPECT_TRUE(F->WindowProc == Before);
  EXPECT_EQ(SkinCommand(F.get(), VKCMD_QUERY_FORM_SKINNER), 0);
}

TEST(ProviderLifecycle, AWindowMethodInstalledLaterKeepsWorkingAfterTheProviderGoes) {
  Owned<TForm> F(NewForm());
  TSpy Spy(F.get());
  auto* P = Create<TsSkinProvider>(F.get());
  const TWndMethod Provider = F->WindowProc;
  int Later = 0;
  F->WindowProc = [&](TMessage& M) {
    ++Later;
    Provider(M);
  };
  P->Free();
  Spy.Seen.clear();
  F->Perform(WM_USER + 7, 0, 0);
  EXPECT_EQ(Later, 1);
  EXPECT_TRUE(Spy.Saw(WM_USER + 7));  // the chain reaches the form's own method
}

TEST(ProviderLifecycle, ADeferredRuntimeProviderGivesWayAndTheHookForgetsIt) {
  Owned<TForm> F(NewForm());
  TsSkinProvider* Runtime = TsSkinProvider::CreateRuntime(F.get());
  EXPECT_TRUE(Runtime->DeferredSetUp());
  auto* Designed = Create<TsSkinProvider>(F.get());
  EXPECT_FALSE(Designed->Secondary());
  EXPECT_FALSE(ProviderAlive(Runtime));
  EXPECT_EQ(SkinCommand(F.get(), VKCMD_QUERY_FORM_SKINNER), reinterpret_cast<LRESULT>(Designed));
  // a second provider next to one that is set up stays secondary and leaves the window method alone
  const TWndMethod Current = F->WindowProc;
  auto* Second = Create<TsSkinProvider>(F.get());
  EXPECT_TRUE(Second->Secondary());
  EXPECT_TRUE(F->WindowProc == Current);
  Second->Free();
  EXPECT_EQ(SkinCommand(F.get(), VKCMD_QUERY_FORM_SKINNER), reinterpret_cast<LRESULT>(Designed));
  // the form still hears skin changes through the one that serves it
  EXPECT_NE(std::find(SkinnedFormList.begin(), SkinnedFormList.end(), F.get()), SkinnedFormList.end());
}

TEST(ProviderLifecycle, WhatTheProviderKeepsOfOtherComponentsGoesWithThem) {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F(NewForm()), Other(NewForm());
  auto* P = Create<TsSkinProvider>(F.get());
  auto* Menu = Create<TPopupMenu>(Other.get());
  P->SysSubMenu()->SetPopupMenu(Menu);
  Menu->Free();
  EXPECT_EQ(P->SysSubMenu()->PopupMenu(), nullptr);
  // a label owned elsewhere but shown on the form
  auto* Label = Create<TLabel>(Other.get());
  Label->SetParent(F.get());
  P->SkinLabelFont(Label, true);
  ASSERT_EQ(P->SkinnedLabels().size(), 1u);
  Label->Free();
  EXPECT_TRUE(P->SkinnedLabels().empty());
}

TEST(ProviderLifecycle, TheMiddleOfThreeSkinnedLabelsGoesBackAloneAndTheOthersKeepTheirOwn) {
  TSkinnedForm Skinned;
  auto& [M, F, P] = Skinned;
  F->Font()->SetColor(clNavy);
  struct Row {
    TColor Color;
    bool ParentFont;
  };
  const Row Rows[] = {{clRed, false}, {clBlue, false}, {clNavy, true}};
  TLabel* L[3];
  for (int i = 0; i < 3; ++i) {
    L[i] = Create<TLabel>(F.get());
    L[i]->SetParent(F.get());
    L[i]->Font()->SetColor(Rows[i].Color);
    L[i]->SetParentFont(Rows[i].ParentFont);
    P->SkinLabelFont(L[i], true);
  }
  ASSERT_EQ(P->SkinnedLabels().size(), 3u);
  P->SkinLabelFont(L[1], false);
  EXPECT_EQ(L[1]->Font()->Color(), clBlue);
  ASSERT_EQ(P->SkinnedLabels().size(), 2u);
  for (int i : {0, 2}) {
    P->SkinLabelFont(L[i], false);
    EXPECT_EQ(L[i]->Font()->Color(), Rows[i].Color) << i;
    EXPECT_EQ(L[i]->ParentFont(), Rows[i].ParentFont) << i;
  }
  EXPECT_TRUE(P->SkinnedLabels().empty());
}

TEST(ProviderLifecycle, AMenuBarRebuildThatFailsLetsTheNextOneRun) {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F(NewForm());
  GiveMainMenu(F.get(), {"File"});
  bool Fail = false;
  const TWndMethod Own = F->WindowProc;
  F->WindowProc = [&Fail, Own](TMessage& Msg) {
    if (Msg.Msg == CM_MENUCHANGED && Fail) throw Exception("menu");
    Own(Msg);
  };
  auto* P = Create<TsSkinProvider>(F.get());
  Fail = true;
  EXPECT_THROW(P->RefreshMenuBar(), Exception);
  Fail = false;
  EXPECT_TRUE(P->RefreshMenuBar());
}

TEST(ProviderLifecycle, ClassListsAreWrittenBackInTheirOrder) {
  Owned<TForm> F(NewForm());
  auto* P = Create<TsSkinProvider>(F.get());
  P->ThirdParty()->SetClassNames(3, "TFoo");
  P->LoadThirdPartyLists();
  EXPECT_TRUE(P->HasOwnThirdLists());
  EXPECT_TRUE(P->ThirdLists(3)->CaseSensitive());
  P->ThirdLists(3)->Add("TBar");
  P->ThirdLists(22)->Add("TLast");
  P->SaveThirdPartyLists();
  EXPECT_EQ(P->ThirdParty()->GetClassNames(3), "TFoo\r\nTBar\r\n");
  EXPECT_EQ(P->ThirdParty()->GetClassNames(22), "TLast\r\n");
  EXPECT_EQ(P->ThirdParty()->GetClassNames(4), "");
}

TEST(ProviderLifecycle, CaptionBarHeightOfCaptionlessAndIconicForms) {
  Owned<TForm> None(NewForm(200, 100, bsNone));
  auto* P = Create<TsSkinProvider>(None.get());
  EXPECT_EQ(P->GetCaptionBarHeight(true), 0);
  Owned<TForm> Tool(NewForm(200, 100, bsToolWindow));
  auto* T = Create<TsSkinProvider>(Tool.get());
  EXPECT_EQ(T->GetCaptionBarHeight(false), GetSystemMetrics(SM_CYSMCAPTION));
  Tool->Show();
  ShowWindow(Tool->Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(Tool->Handle()));
  EXPECT_EQ(T->GetCaptionBarHeight(false), GetSystemMetrics(SM_CYCAPTION));
}

TEST(ProviderWindowMethod, UnskinnedPrintFillsWithTheFormColourThenPaints) {
  Owned<TForm> F(NewForm(60, 40));
  F->SetColor(0x00336699);
  TSpy Spy(F.get());
  Create<TsSkinProvider>(F.get());
  F->Perform(WM_PRINT, 0, PRF_CLIENT);
  ASSERT_TRUE(Spy.Saw(WM_PAINT));
  EXPECT_EQ(Spy.Seen.back().WParam, 0u);
  testing_support::Dib32 D(60, 40, 0xFF000000);
  Spy.Seen.clear();
  F->Perform(WM_PRINT, reinterpret_cast<WPARAM>(D.DC()), PRF_CLIENT);
  EXPECT_TRUE(Spy.Saw(WM_PAINT));
  EXPECT_EQ(D.Rgb(59, 39), 0x996633u);  // COLORREF 0x336699 is red 0x99, blue 0x33
  EXPECT_FALSE(Spy.Saw(WM_PRINT));
}

TEST(ProviderWindowMethod, TheFilterKeepsItsCommandsFromTheForm) {
  Owned<TForm> F(NewForm());
  TSpy Spy(F.get());
  Create<TsSkinProvider>(F.get());
  Spy.Seen.clear();  // the new provider asked the form whether another one serves it
  EXPECT_EQ(SkinCommand(F.get(), VKCMD_QUERY_SKINNED), 1);
  EXPECT_EQ(SkinCommand(F.get(), VKCMD_QUERY_APPLICATION), reinterpret_cast<LRESULT>(Application));
  EXPECT_EQ(SkinCommand(F.get(), VKCMD_QUERY_SCALE), 100);
  EXPECT_FALSE(Spy.Saw(SM_VKCMD));
  SkinCommand(F.get(), VKCMD_4E, 200);  // a notice for the form's own code
  EXPECT_TRUE(Spy.Saw(SM_VKCMD));
}

TEST(ProviderWindowMethod, SkinnedIdleAndReservedMessages) {
  TSpied S;
  ASSERT_TRUE(S.P->SkinData()->IsSkinned());
  struct Row {
    UINT Msg;
    WPARAM WParam;
    bool Reaches;
  };
  for (const Row& R : {Row{WM_ENTERIDLE, MSGF_MENU, false}, Row{WM_ENTERIDLE, MSGF_DIALOGBOX, true},
                       Row{0xB04C, 0, false}, Row{0xBC4D, 0x41A2, true}, Row{CM_COLORCHANGED, 0, false},
                       Row{WM_PRINTCLIENT, 0, false}}) {
    S.Spy.Seen.clear();
    TMessage Msg{R.Msg, R.WParam, 0, 5};
    S.F->WindowProc(Msg);
    EXPECT_EQ(S.Spy.Saw(R.Msg), R.Reaches) << std::hex << R.Msg;
    // answered 0 where the form is kept out (the region question by the system, the form keeping nothing of its
    // own); left as it was for notices that are merely finished
    const bool Answered = R.Msg == 0xB04C || R.Msg == 0xBC4D || (R.Msg == WM_ENTERIDLE && !R.Reaches);
    const LRESULT Expected = Answered ? 0 : 5;
    if (Answered || R.Msg == CM_COLORCHANGED || R.Msg == WM_PRINTCLIENT) {
      EXPECT_EQ(Msg.Result, Expected) << std::hex << R.Msg;
    }
  }
}

TEST(ProviderWindowMethod, AnEndingSessionStopsStateFadesAndReachesTheForm) {
  TSpied S;
  ASSERT_FALSE(SkinnedSessionEnding);
  S.F->Perform(WM_QUERYENDSESSION, 0, 0);
  EXPECT_TRUE(SkinnedSessionEnding);
  EXPECT_TRUE(S.Spy.Saw(WM_QUERYENDSESSION));
  // another program refuses the end: the form itself hears it, whether or not the application window is hooked
  S.F->Perform(WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(SkinnedSessionEnding);
  EXPECT_TRUE(S.Spy.Saw(WM_ENDSESSION));
  SkinnedSessionEnding = false;
}
