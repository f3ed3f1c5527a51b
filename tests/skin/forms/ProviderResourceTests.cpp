// The skinner gives back what it takes (GDI and USER objects over many adoptions and skin changes), adopts forms
// through the thread hook, and links itself to a running skin editor.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "framework/SysUtils.h"
#include "skin/forms/vkFormHook.h"
#include "tests/support/GdiLeaks.h"

using namespace form_test;

namespace {

DWORD UserObjects() { return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS); }

// A stand-in of the skin editor's window: counts what it is told and answers 1 from the fifth message on.
int g_EditorTold = 0;
LRESULT CALLBACK EditorProc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  if (Msg == 0xA400 && WP == 3) return ++g_EditorTold >= 5 ? 1 : 0;
  return DefWindowProcA(W, Msg, WP, LP);
}

}  // namespace

TEST(ProviderResources, AdoptionsAndSkinChangesGiveBackTheirObjects) {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F(NewForm());
  F->Show();
  auto Cycle = [&] {
    auto* P = Create<TsSkinProvider>(F.get());
    P->SkinData()->CacheDirty = true;
    F->Perform(WM_NCPAINT, 0, 0);
    P->Free();
  };
  Cycle();  // first-use objects (fonts, brushes of the skin) come once
  const DWORD User = UserObjects();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(1000, Cycle));
  EXPECT_EQ(UserObjects(), User);
  auto* P = Create<TsSkinProvider>(F.get());
  auto Change = [&] {
    M->SetActive(false);
    M->SetActive(true);
    F->Perform(WM_NCPAINT, 0, 0);
  };
  Change();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(100, Change));
  EXPECT_TRUE(P->SkinData()->IsSkinned());
}

TEST(ProviderHook, AnActivatedFormGetsARuntimeProviderOnce) {
  ManagerPtr M = CarriedManager();
  ASSERT_TRUE(M->HooksInstalled());
  Owned<TForm> F(NewForm());
  F->Show();
  SetActiveWindow(F->Handle());
  ASSERT_TRUE(PumpUntil([&] { return AdoptedProviderCount() > 0; }));
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
  Owned<TForm> F(NewForm());
  auto* P = Create<TsSkinProvider>(F.get());
  F->Show();
  EXPECT_EQ(g_EditorTold, 5);
  EXPECT_EQ(LinkedEditorWindow(), F->Handle());
  // linked once: a second form does not ask again
  Owned<TForm> G(NewForm());
  Create<TsSkinProvider>(G.get());
  G->Show();
  EXPECT_EQ(g_EditorTold, 5);
  EXPECT_EQ(F->Perform(0xA400, 4, 0), 1);
  (void)P;
  DestroyWindow(Editor);
  ResetPlatform();
}
