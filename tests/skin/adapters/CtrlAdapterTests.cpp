// The form's child-control walker: a control named in the provider's class lists is adapted only while the
// provider allows third-party controls.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "framework/Buttons.h"
#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/forms/sSkinProvider.h"

using namespace adapter_test;

namespace {

class CtrlAdapters : public SkinnedAdapterTest {};

}  // namespace

TEST_F(CtrlAdapters, ThirdPartyControlsAreAdaptedOnlyWhileTheProviderAllowsThem) {
  for (bool Allowed : {false, true}) {
    Form = NewForm(30, 30, 320, 240, 0, false);
    Place<TSpeedButton>(Form, 4, 4, 80, 30);
    Form->Show();
    auto* P = Create<TsSkinProvider>(Form);
    ListOnly(P, {{17, "TSpeedButton"}});
    P->SetAllowSkin3rdParty(Allowed);
    if (P->CtrlAdapter() == nullptr) P->CreateAdapter();
    ASSERT_NE(P->CtrlAdapter(), nullptr) << Allowed;
    P->CtrlAdapter()->WalkControlsOf(nullptr);
    EXPECT_EQ(P->CtrlAdapter()->GraphItems.size(), Allowed ? 1u : 0u) << Allowed;
    Form->Free();
    Form = nullptr;
  }
}
