// OnMouseEnter and OnMouseLeave of the skinned controls and the PNG button under the real pointer: once per
// entry and exit, though the framework fires them too; a disabled PNG button fires none.
#include <gtest/gtest.h>

#include <functional>

#include "ControlsTestSupport.h"
#include "skin/controls/pngextra.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sPanel.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"

using namespace controls_test;

namespace {

// The real pointer moved to a point of Form, then the application's messages run until the framework takes
// Under for the control under the pointer.
void PointerTo(TForm* Form, POINT Client, TControl* Under) {
  ASSERT_TRUE(testing_support::MovePointer(Form->ClientToScreen(Client)));
  EXPECT_TRUE(testing_support::PumpUntil(
      [&] {
        Application->ProcessMessages();
        return MouseControl() == Under;
      },
      2000))
      << testing_support::PointerScene(Form->ClientToScreen(Client));
}

}  // namespace

TEST(HoverEventsRealPointer, FiredOnceByEachControlAndNotByADisabledPngButton) {
  testing_support::PointerParking Parking;
  struct Case {
    const char* Name;
    bool Skinned;
    std::function<TControl*(TForm*)> Make;
    int Expected;  // enters, and as many leaves
  };
  const Case Cases[] = {
      {"skinned button", true, [](TForm* F) { return static_cast<TControl*>(Create<TsButton>(F)); }, 1},
      {"plain button", false, [](TForm* F) { return static_cast<TControl*>(Create<TsButton>(F)); }, 1},
      {"skinned panel", true, [](TForm* F) { return static_cast<TControl*>(Create<TsPanel>(F)); }, 1},
      {"PNG button", false, [](TForm* F) { return static_cast<TControl*>(Create<TPNGButton>(F)); }, 1},
      {"disabled PNG button", false,
       [](TForm* F) {
         TPNGButton* B = Create<TPNGButton>(F);
         B->SetEnabled(false);
         return static_cast<TControl*>(B);
       },
       0},
  };
  int Place = 0;
  for (const Case& C : Cases) {
    Owned<TsSkinManager> M = C.Skinned ? SkinnedManager() : Owned<TsSkinManager>();
    Owned<TForm> Form = NewForm(clBtnFace, 200, 120);
    // each case somewhere new for the pointer, away from where other test programs show their windows
    Form->SetBounds(880 + 20 * Place, 620 + 15 * Place, 200, 120);
    ++Place;
    TControl* Ctl = C.Make(Form.get());
    Ctl->SetParent(Form.get());
    Ctl->SetBounds(50, 30, 80, 40);
    int Enters = 0, Leaves = 0;
    Ctl->OnMouseEnter = [&](TObject*) { ++Enters; };
    Ctl->OnMouseLeave = [&](TObject*) { ++Leaves; };
    if (auto* Png = As<TPNGButton>(Ctl)) Png->OnMouseExit = [&](TObject*) { ++Leaves; };
    Form->Show();
    // the pointer rests on the form's own background first, so the framework tracks the form
    PointerTo(Form.get(), POINT{10, 10}, Form.get());
    ASSERT_EQ(MouseControl(), Form.get()) << C.Name;
    PointerTo(Form.get(), POINT{90, 50}, Ctl);
    EXPECT_EQ(Enters, C.Expected) << C.Name;
    PointerTo(Form.get(), POINT{10, 10}, Form.get());
    EXPECT_EQ(Enters, C.Expected) << C.Name;
    // the PNG button's own exit event and the framework's leave event each once
    EXPECT_EQ(Leaves, As<TPNGButton>(Ctl) != nullptr ? 2 * C.Expected : C.Expected) << C.Name;
    Form->Hide();
  }
}
