// Popup forms kept by the controller: a click inside a popup keeps that one open, a click elsewhere closes them
// all and gives their forms back; a released popup gives the control it hooked its window method back.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkPopupController.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;

namespace {

class Popups : public AdapterTest {
protected:
  TForm* Popup(int X) { return NewForm(X, 40, 120, 80); }
  void TearDown() override {
    FreePopupController();
    for (TForm* F : Forms) F->Free();
    AdapterTest::TearDown();
  }
  std::vector<TForm*> Forms;
};

TEST_F(Popups, AClickInsideAPopupKeepsItOpen) {
  TForm* First = Popup(40);
  TForm* Second = Popup(200);
  Forms = {First, Second};
  const TWndMethod FirstOwn = First->WindowProc;
  auto* Inside = Place<TButton>(First, 5, 5, 80, 24);
  TvkPopupController* C = PopupController();
  C->Add(First);
  C->Add(Second);
  EXPECT_FALSE(First->WindowProc == FirstOwn);
  C->ClosePopups(Inside);
  EXPECT_TRUE(First->Visible());
  EXPECT_FALSE(Second->Visible());
  EXPECT_EQ(1, C->VisibleCount(nullptr));
  EXPECT_EQ(0, C->VisibleCount(First));
  EXPECT_EQ(2u, C->Handlers.size());  // one is still showing
  C->ClosePopups(nullptr);
  EXPECT_FALSE(First->Visible());
  EXPECT_TRUE(C->Handlers.empty());
  EXPECT_TRUE(First->WindowProc == FirstOwn);
}

TEST_F(Popups, AReleasedPopupGivesTheHookedControlItsMethodBackOnce) {
  TForm* Owner = Popup(40);
  Forms = {Owner};
  auto* Edit = Place<TEdit>(Owner, 5, 5, 80, 24);
  const TWndMethod EditOwn = Edit->WindowProc;
  int Seen = 0;
  Edit->WindowProc = [&](TMessage& M) {
    ++Seen;
    EditOwn(M);
  };
  TForm* P = Popup(200);
  TvkFormHandler* H = PopupController()->Add(P, Edit, EditOwn);
  H->ReleaseForm(P);
  EXPECT_TRUE(H->Released);
  EXPECT_TRUE(H->Hidden);
  EXPECT_TRUE(Edit->WindowProc == EditOwn);
  H->ReleaseForm(P);  // once only
  // The release notice frees the form; its handler lets go before the window goes.
  bool Gone = false;
  testing_support::PumpUntil([&] { return Gone = H->PopupForm == nullptr; }, 2000);
  EXPECT_TRUE(Gone);
  EXPECT_FALSE(H->Active);
}

TEST_F(Popups, AHookedControlThatGoesIsForgottenBeforeTheRelease) {
  TForm* Owner = Popup(40);
  Forms = {Owner};
  auto* Edit = Place<TEdit>(Owner, 5, 5, 80, 24);
  const TWndMethod EditOwn = Edit->WindowProc;
  TForm* P = Popup(200);
  TvkFormHandler* H = PopupController()->Add(P, Edit, EditOwn);
  Edit->Free();
  EXPECT_EQ(H->HookedControl, nullptr);
  EXPECT_TRUE(H->HookedSaved.IsNull());
  H->ReleaseForm(P);  // writes nothing into the freed control
  testing_support::PumpUntil([&] { return H->PopupForm == nullptr; }, 2000);
  EXPECT_FALSE(H->Active);
}

TEST_F(Popups, AnOpenPopupFormStaysDrawnActiveWhenDeactivated) {
  ManagerPtr M = SolidManager();
  PopupControllerInitialize();
  TForm* P = Popup(40);
  Forms = {P};
  // the thread hook skinned the form when it showed
  auto* Skinner = reinterpret_cast<TsSkinProvider*>(P->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0));
  ASSERT_NE(Skinner, nullptr);
  P->Perform(WM_NCACTIVATE, FALSE, 0);
  EXPECT_FALSE(Skinner->CaptionActive());
  TvkFormHandler* H = PopupController()->Add(P);
  P->Perform(WM_NCACTIVATE, FALSE, 0);
  EXPECT_TRUE(Skinner->CaptionActive());
  H->HideForm(P);
  P->Perform(WM_NCACTIVATE, FALSE, 0);
  EXPECT_FALSE(Skinner->CaptionActive());
  // the handler's method, left in the form's skin data as a window adapter put back after the hook leaves it,
  // goes with the handler
  Skinner->SkinData()->SavedWindowProc = P->WindowProc;
  PopupControllerFinalize();
  EXPECT_TRUE(Skinner->SkinData()->SavedWindowProc.IsNull());
}

}  // namespace
