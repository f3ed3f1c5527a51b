// Skin changes reach the controls of forms that have no skinner: windowless controls on the form and on plain
// containers, also before the form's window exists; skinned containers pass commands on themselves.
#include <gtest/gtest.h>

#include "SkinTestOwners.h"
#include "framework/ExtCtrls.h"
#include "skin/core/vkSkinCommands.h"

using namespace skin_owners;

TEST(SkinRelay, WindowlessControlsOfPlainFormsHearEveryBroadcastOnce) {
  for (bool WithWindow : {false, true}) {
    TForm* Form = NewTestForm();
    auto* OnForm = Place(Form, 0, 0, 20, 20, Create<TTestGraphicOwner>(Form));
    auto* Plain = Place(Form, 30, 0, 60, 60, Create<TPanel>(Form));
    auto* OnPlain = Place(Plain, 0, 0, 20, 20, Create<TTestGraphicOwner>(Form));
    auto* Skinned = Place(Form, 100, 0, 60, 60, Create<TTestSkinOwner>(Form));
    Skinned->SkinData->FinishLoading(false);
    if (WithWindow) Form->HandleNeeded();
    TsSkinManager::BroadcastCommand(VKCMD_REPAINT, 0);
    EXPECT_EQ(OnForm->Count(VKCMD_REPAINT), 1) << WithWindow;
    EXPECT_EQ(OnPlain->Count(VKCMD_REPAINT), 1) << WithWindow;
    EXPECT_EQ(Skinned->Count(VKCMD_REPAINT), 1) << WithWindow;
    Form->Free();
  }
}
