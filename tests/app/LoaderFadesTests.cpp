// The loader's About window and its message after Ctrl+R fade in and out over the manager's 70 ms, as the
// layered-window recorder sees them: the hook skins each before it is first shown.
#include "tests/app/LoaderApp.h"

#include "framework/StdCtrls.h"
#include "skin/core/vkFormAnimation.h"
#include "tests/support/LayeredRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using testing_support::LayeredCall;
using testing_support::LayeredRecorder;

bool Contains(const std::vector<int>& All, const std::vector<int>& Run) {
  return std::search(All.begin(), All.end(), Run.begin(), Run.end()) != All.end();
}

// The windows whose layered pictures ran through Run.
int WindowsWith(const LayeredRecorder& Rec, const std::vector<int>& Run) {
  std::vector<HWND> Seen;
  for (const LayeredCall& C : Rec.calls)
    if (std::find(Seen.begin(), Seen.end(), C.wnd) == Seen.end()) Seen.push_back(C.wnd);
  return static_cast<int>(std::count_if(Seen.begin(), Seen.end(), [&](HWND W) { return Contains(Rec.Alphas(W), Run); }));
}

// The running hide fade played out by hand, tick by tick, rather than on its 12 ms timer.
bool RunHideOut() {
  for (int i = 0; i < 100 && HideTimer() != nullptr && HideTimer()->Window != nullptr; ++i) HideTimer()->Tick();
  return HideTimer() == nullptr || HideTimer()->Window == nullptr;
}

}  // namespace

TEST(LoaderFades, AboutTheMessageAndTheMainFormFadeInAndOut) {
  LayeredRecorder Rec;
  {
    LoaderApp app;
    {
      testing_support::ModalCloser about("TFormHelp", IDCANCEL);
      about.OnFound = [&](const testing_support::FoundWindow&) { FormHelp->Button1->Click(); };
      app.PressKey(VK_F1, false);
      ASSERT_EQ(about.Closed().size(), 1u);
    }
    ASSERT_TRUE(RunHideOut());
    app.PressKey('R', true);
    ASSERT_TRUE(app.SawMessageContaining("Порти оновлено!"));
    ASSERT_TRUE(RunHideOut());
    // 70 ms: the first picture at 0, five steps of 51 (the last held), the whole picture; then down again
    EXPECT_EQ(WindowsWith(Rec, {0, 51, 102, 153, 204, 255, 255, 255}), 2) << "About and the message came in";
    EXPECT_EQ(WindowsWith(Rec, {255, 204, 153, 102, 51, 0, 0}), 2) << "About and the message went out";
    // closing the main form ends the loop; the program's end takes the form off the screen while the units run
    MainForm->Close();
    Application->ProcessMessages();
    ASSERT_TRUE(Application->Terminated());
  }
  // the frames at once, the application ending: the last one, which lets the window go, is not run
  EXPECT_EQ(WindowsWith(Rec, {255, 204, 153, 102, 51, 0}), 3) << "the main form went out too";
}
