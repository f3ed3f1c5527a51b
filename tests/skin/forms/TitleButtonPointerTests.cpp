// Title buttons under the real pointer: the hot look held while the pointer rests on a button, and every click
// taken whatever the button's fade is doing at that moment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "FormTestSupport.h"
#include "tests/support/RealPointer.h"

using namespace form_test;
namespace pointer = testing_support;

namespace {

// A skinned secondary form with close, maximise and minimise buttons, on top in a corner of the display that
// other tests leave alone.
struct TPointerForm {
  ManagerPtr M;
  Owned<TForm> F{NewForm(300, 200)};
  TsSkinProvider* P;
  explicit TPointerForm(const char* Skin) : M(CarriedManager(Skin)) {
    F->SetFormStyle(fsStayOnTop);
    F->SetBounds(880, 700, 300, 200);
    P = Create<TsSkinProvider>(F.get());
    F->Show();
    PumpPending();  // what showing queued
  }
  // A point of the button on the screen, inside by a few pixels from its top-left corner (clear of the glyph).
  POINT On(const TsCaptionButton& B) {
    const RECT W = WindowRectOf(F->Handle());
    return POINT{W.left + B.Rect.Left + 3, W.top + B.Rect.Top + 3};
  }
  POINT Client() { return F->ClientToScreen(POINT{40, 60}); }
};

// SOLID paints a title button as a block whose red channel tells its state (0x40 normal, 0x20 normal on an
// inactive caption, 0x80 hot); the fade window shows it premultiplied, a step darker.
int RedOnScreen(POINT P) { return static_cast<int>(pointer::ScreenPixel(P) >> 16); }

}  // namespace

TEST(TitleButtonsRealPointer, TheCloseButtonStaysHotWhileThePointerRestsOnItAndIsNormalOnceItLeaves) {
  pointer::PointerParking Parking;
  TPointerForm T("SOLID");
  const POINT Close = T.On(T.P->ButtonClose);
  ASSERT_TRUE(pointer::MovePointer(T.Client()));
  pointer::RestPointer(100);
  // past the hover time the fade may still be running on a loaded machine: its end is waited for
  ASSERT_TRUE(pointer::MovePointer(Close));
  pointer::RestPointer(3 * pointer::HoverTime());
  EXPECT_TRUE(PumpUntil([&] { return T.P->ButtonClose.State == 1 && std::abs(RedOnScreen(Close) - 0x80) <= 2; }, 5000))
      << T.P->ButtonClose.State << " " << pointer::PointerScene(Close);

  ASSERT_TRUE(pointer::MovePointer(T.Client()));
  pointer::RestPointer(3 * pointer::HoverTime());
  EXPECT_TRUE(PumpUntil([&] { return T.P->ButtonClose.State == 0 && RedOnScreen(Close) <= 0x40; }, 5000))
      << T.P->ButtonClose.State << " " << pointer::PointerScene(Close);
}

TEST(TitleButtonsRealPointer, EveryClickClosesOrMinimisesWhateverTheFadeIsDoing) {
  pointer::PointerParking Parking;
  // the pointer rests on the button, then the button is held down (a quick click, and a slow one held past the
  // hover time)
  struct Case {
    int Code;
    unsigned RestMs, HoldMs;
  };
  for (const Case C : {Case{HTCLOSE, 50, 80}, Case{HTCLOSE, 200, 80}, Case{HTCLOSE, 500, 80}, Case{HTCLOSE, 1500, 80},
                       Case{HTCLOSE, 200, 1000}, Case{HTMINBUTTON, 50, 80}, Case{HTMINBUTTON, 200, 80},
                       Case{HTMINBUTTON, 500, 80}, Case{HTMINBUTTON, 1500, 80}, Case{HTMINBUTTON, 200, 1000}}) {
    const std::string Name = std::string(C.Code == HTCLOSE ? "close" : "minimise") + " after " +
                             std::to_string(C.RestMs) + " ms, held " + std::to_string(C.HoldMs) + " ms";
    TPointerForm T("TIDE");
    const HWND W = T.F->Handle();
    const POINT At = T.On(C.Code == HTCLOSE ? T.P->ButtonClose : T.P->ButtonMin);
    ASSERT_TRUE(PumpUntil([&] { return WindowFromPoint(At) == W; }, 2000)) << Name << ": " << pointer::PointerScene(At);
    ASSERT_TRUE(pointer::MovePointer(T.Client())) << Name;
    pointer::RestPointer(100);
    ASSERT_TRUE(pointer::MovePointer(At)) << Name;
    pointer::RestPointer(C.RestMs);
    const std::string Scene = pointer::PointerScene(At);
    pointer::PressPointer(true);
    // Whether the form took the press and still held it at the release: a click lost after the form took it is
    // the program's; one the form never saw went to another window.
    bool Took = false;
    PumpUntil(
        [&] {
          Took = Took || TsSkinProviderAccess::Pressed(T.P);
          return false;
        },
        C.HoldMs);
    const bool Held = TsSkinProviderAccess::Pressed(T.P);
    pointer::PressPointer(false);
    auto Done = [&] { return C.Code == HTCLOSE ? !IsWindowVisible(W) : IsIconic(W) != 0; };
    EXPECT_TRUE(PumpUntil(Done, 2000))
        << Name << ": the form "
        << (!Took ? "never took the press" : Held ? "took the press" : "let the press go before the release") << ", is "
        << (IsWindowVisible(W) ? "shown" : "hidden") << (IsIconic(W) ? ", minimised" : "")
        << (GetForegroundWindow() == W ? ", in the foreground" : ", not in the foreground")
        << "\nbefore the press: " << Scene << "\nnow: " << pointer::PointerScene(At);
  }
}
