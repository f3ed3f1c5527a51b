// The skinner gives back what it takes (GDI and USER objects over many adoptions and skin changes), adopts forms
// through the thread hook, links itself to a running skin editor and takes the skins it hands over.
#include <gtest/gtest.h>

#include <memory>

#include "FormTestSupport.h"
#include "framework/ObjectInstance.h"
#include "framework/SysUtils.h"
#include "skin/core/vkMainWndHook.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/vkFormHook.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/HeldWindow.h"

using namespace form_test;

namespace {

DWORD UserObjects() { return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS); }

// A stand-in of the skin editor's window: counts what it is told and answers 1 from the AnswerFrom-th message on
// (never for 0).
int g_EditorTold = 0;
int g_AnswerFrom = 0;
LRESULT CALLBACK EditorProc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  if (Msg == 0xA400 && WP == 3) return ++g_EditorTold >= g_AnswerFrom && g_AnswerFrom != 0 ? 1 : 0;
  return DefWindowProcA(W, Msg, WP, LP);
}

}  // namespace

TEST(ProviderResources, AdoptionsAndSkinChangesGiveBackTheirObjects) {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F(NewForm());
  Owned<TForm> D(NewForm(200, 120, bsDialog));
  F->Show();
  D->Show();
  Platform().Sleep = [](DWORD) {};  // the caption cover's pause
  int Round = 0;
  // adopted, painted, its caption covered while it changes, veiled while disabled, and given back
  auto Cycle = [&] {
    TForm* Form = ++Round % 2 != 0 ? F.get() : D.get();
    auto* P = Create<TsSkinProvider>(Form);
    P->SkinData()->CacheDirty = true;
    Form->Perform(WM_NCPAINT, 0, 0);
    Form->SetCaption(Round % 4 < 2 ? "a" : "b");
    P->SetDisabledBlendValue(128);
    Form->SetEnabled(false);
    Form->SetEnabled(true);
    P->Free();
  };
  Cycle();  // first-use objects (fonts, brushes of the skin, window classes) come once
  Cycle();
  const DWORD User = UserObjects();
  const int Windows = FrameworkWindowCount(), Stubs = ObjectInstanceCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(40, Cycle));
  EXPECT_EQ(UserObjects(), User);
  EXPECT_EQ(FrameworkWindowCount(), Windows);
  EXPECT_EQ(ObjectInstanceCount(), Stubs);
  auto* P = Create<TsSkinProvider>(F.get());
  auto Change = [&] {
    M->SetActive(false);
    M->SetActive(true);
    F->Perform(WM_NCPAINT, 0, 0);
  };
  Change();
  const DWORD UserSkinned = UserObjects();
  const int StubsSkinned = ObjectInstanceCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(10, Change));
  EXPECT_EQ(UserObjects(), UserSkinned);
  EXPECT_EQ(ObjectInstanceCount(), StubsSkinned);
  EXPECT_TRUE(P->SkinData()->IsSkinned());
  ResetPlatform();
}

TEST(ProviderHook, AnActivatedFormGetsARuntimeProviderOnce) {
  ManagerPtr M = CarriedManager();
  ASSERT_TRUE(M->HooksInstalled());
  Owned<TForm> F(NewForm());
  F->Show();
  SetActiveWindow(F->Handle());
  ASSERT_TRUE(PumpUntil([&] { return AdoptedProviderCount() > 0; }, 2000));
  TsSkinProvider* P = AdoptedProvider(0);
  EXPECT_EQ(P->Form(), F.get());
  EXPECT_FALSE(P->UseGlobalColor());
  EXPECT_FALSE(P->MakeSkinMenu());
  EXPECT_EQ(F->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0), reinterpret_cast<LRESULT>(P));
  EXPECT_FALSE(AdoptTopLevelForm(F->Handle()));  // already skinned
  // a form tagged as never skinned is left alone
  Owned<TForm> Plain(NewForm());
  Plain->SetTag(NoSkinTag);
  EXPECT_TRUE(AdoptTopLevelForm(Plain->Handle()));
  EXPECT_EQ(Plain->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0), 0);
  // another program's window named on an activation is not asked anything: it may not be answering
  testing_support::HeldWindow Foreign(RECT{0, 0, 100, 80});
  EXPECT_EQ(Foreign.MessagesDuring([&] { FormCbtHookProc(HCBT_ACTIVATE, WPARAM(Foreign.Handle()), 0); }), 0);
}

TEST(ProviderEditorLink, AFormShownWithThePreviewSwitchLinksToTheEditor) {
  Platform().GetCommandLineA = [] { return "\"KRLBootloader.exe\" /vkpreview"; };
  WNDCLASSA C{};
  C.lpszClassName = "FormsaEditorStandIn";
  C.lpfnWndProc = EditorProc;
  RegisterClassA(&C);
  HWND Editor = CreateWindowA("FormsaEditorStandIn", "VelkorSkins Editor", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
  ManagerPtr M = CarriedManager();
  struct Row {
    int AnswerFrom, Told;
  };
  // told until it answers 1, at most 101 times
  for (const Row& R : {Row{5, 5}, Row{0, 101}}) {
    g_EditorTold = 0;
    g_AnswerFrom = R.AnswerFrom;
    Owned<TForm> F(NewForm());
    Create<TsSkinProvider>(F.get());
    F->Show();
    EXPECT_EQ(g_EditorTold, R.Told);
    EXPECT_EQ(LinkedEditorWindow(), F->Handle());
    // linked once: a second form does not ask again
    Owned<TForm> G(NewForm());
    Create<TsSkinProvider>(G.get());
    G->Show();
    EXPECT_EQ(g_EditorTold, R.Told);
    EXPECT_EQ(F->Perform(0xA400, 4, 0), 1);
    // a skin the editor hands over reaches the application window once, and only through the linked form
    auto Block = std::make_unique<TvkEditorPreviewBlock>();
    Block->Marker = kEditorPreviewMarker;
    COPYDATASTRUCT Data{kEditorPreviewCopyKind, sizeof(TvkEditorPreviewBlock), Block.get()};
    for (TForm* To : {F.get(), G.get()}) {
      MSG Stale;
      while (PeekMessageA(&Stale, Application->Handle(), SM_VKCMD, SM_VKCMD, PM_REMOVE)) {
      }
      To->Perform(WM_COPYDATA, kEditorPreviewCopyKind, reinterpret_cast<LPARAM>(&Data));
      int Posted = 0;
      MSG Msg;
      while (PeekMessageA(&Msg, Application->Handle(), SM_VKCMD, SM_VKCMD, PM_REMOVE))
        Posted += SkinCommandCode(Msg.wParam) == VKCMD_LOAD_EDITOR_SKIN ? 1 : 0;
      EXPECT_EQ(Posted, To == F.get() ? 1 : 0) << R.AnswerFrom;
    }
  }
  // the linked form went with its provider: no stale window stays linked
  EXPECT_EQ(LinkedEditorWindow(), nullptr);
  DestroyWindow(Editor);
  ResetPlatform();
}
