// A form with a border window under the real pointer: its title buttons' hot and pressed looks over the border
// window's caption, its size grip, and a maximised form's caption dragged on after the restore.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "FormTestSupport.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkSBAnimation.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"

using namespace form_test;
namespace pointer = testing_support;

namespace {

// A skinned form with extended borders (SOLID), shown in a part of the display other tests leave alone (not
// topmost: the border window and the fades then keep an order of their own among the other windows); moves do
// not fade.
struct TBorderedPointerForm {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F{NewForm(300, 200)};
  TsSkinProvider* P = nullptr;
  TBorderedPointerForm() {
    M->SetExtendedBorders(true);
    M->AnimEffects()->BlendOnMoving()->SetActive(false);
    F->SetBounds(760, 560, 300, 200);
    P = Create<TsSkinProvider>(F.get());
    F->Show();
    testing_support::PumpPending();
  }
  HWND L() { return FormServices.BorderLayeredWindow(P->BorderForm())->Handle(); }
  // A screen point of the border window's picture (frame-cache coordinates).
  POINT On(int X, int Y) {
    const RECT R = WindowRectOf(L());
    return POINT{R.left + X, R.top + Y};
  }
  POINT OnButton(const TsCaptionButton& B) { return On(B.Rect.Left + 3, B.Rect.Top + 3); }
  POINT Client() { return F->ClientToScreen(POINT{40, 60}); }
};

// SOLID's title-button blocks: the red channel tells the state (0x40 normal, 0x80 hot, 0xC0 pressed), shown by
// the fade window premultiplied, a step darker.
int RedOnScreen(POINT P) { return static_cast<int>(pointer::ScreenPixel(P) >> 16); }

HWND FadeWindow(const TsCaptionButton& B) {
  return B.Animation != nullptr && B.Animation->GlowWindow != nullptr ? B.Animation->GlowWindow->Handle() : nullptr;
}

// Window Upper lies above Lower in the z-order.
bool Above(HWND Upper, HWND Lower) {
  for (HWND W = GetWindow(Lower, GW_HWNDPREV); W != nullptr && Upper != nullptr; W = GetWindow(W, GW_HWNDPREV))
    if (W == Upper) return true;
  return false;
}

}  // namespace

TEST(BorderWindowRealPointer, TitleButtonsShowTheirHotAndPressedLooksOverTheBorderWindow) {
  pointer::PointerParking Parking;
  TBorderedPointerForm T;
  ASSERT_NE(T.P->BorderForm(), nullptr);
  const POINT Close = T.OnButton(T.P->ButtonClose);
  ASSERT_TRUE(pointer::MovePointer(T.Client()));
  pointer::RestPointer(100);
  // past the hover time each fade may still be running on a loaded machine: its end is waited for
  ASSERT_TRUE(pointer::MovePointer(Close));
  pointer::RestPointer(3 * pointer::HoverTime());
  EXPECT_TRUE(PumpUntil([&] { return T.P->ButtonClose.State == 1 && std::abs(RedOnScreen(Close) - 0x80) <= 2; }, 5000))
      << T.P->ButtonClose.State << " " << pointer::PointerScene(Close);
  // the fade lies above the border window's caption in the z-order (Wine's X stacking shows it either way)
  EXPECT_TRUE(Above(FadeWindow(T.P->ButtonClose), T.L()));
  pointer::PressPointer(true);
  pointer::RestPointer(3 * pointer::HoverTime());
  EXPECT_TRUE(PumpUntil([&] { return T.P->ButtonClose.State == 2 && std::abs(RedOnScreen(Close) - 0xC0) <= 2; }, 5000))
      << T.P->ButtonClose.State << " " << pointer::PointerScene(Close);
  // let go off the button: the form stays
  ASSERT_TRUE(pointer::MovePointer(T.Client()));
  pointer::PressPointer(false);
  pointer::RestPointer(3 * pointer::HoverTime());
  EXPECT_TRUE(PumpUntil([&] { return RedOnScreen(Close) <= 0x40; }, 5000)) << pointer::PointerScene(Close);
  EXPECT_TRUE(IsWindowVisible(T.F->Handle()));
}

// The pointer moved through Path and let go, one step per tick of a timer: the system's own size or move loop
// that a press or a move starts takes its input itself and dispatches the timer meanwhile.
struct TDragScript {
  static inline std::vector<POINT> Path;
  static inline size_t Next = 0;
  static inline bool Done = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR Id, DWORD) {
    if (Done) return;
    if (Next < Path.size()) {
      pointer::QueuePointerMove(Path[Next++]);
      return;
    }
    pointer::QueuePointerButton(false);
    Done = true;
    KillTimer(nullptr, Id);
  }
  // Pressed at From, then the steps to To; returns once the button is let go and the system saw it.
  static void Drag(POINT From, POINT To, int Steps) {
    Path.clear();
    for (int i = 1; i <= Steps; ++i)
      Path.push_back(POINT{From.x + (To.x - From.x) * i / Steps, From.y + (To.y - From.y) * i / Steps});
    Next = 0;
    Done = false;
    SetTimer(nullptr, 0, 60, Tick);
    // queued, not waited for: the press may start the system's loop, which then runs until the release
    pointer::QueuePointerButton(true);
    PumpUntil([] { return Done && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; }, 5000);
    pointer::RestPointer(100);
  }
};

TEST(BorderWindowRealPointer, TheSizeGripResizesTheForm) {
  pointer::PointerParking Parking;
  TBorderedPointerForm T;
  T.P->SetGripMode(gmRightBottom);
  T.P->SkinData()->CacheDirty = true;
  RedrawWindow(T.F->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  testing_support::PumpPending();
  const int Grip = T.M->ConstData().GripImage;
  ASSERT_TRUE(T.M->MaskIndexInRange(Grip));
  const TPoint G = T.P->GetGripPosition(Grip);
  const TsMaskData& Mask = T.M->ma()[Grip];
  const POINT At = T.On(G.X + Mask.Width / 2 + 1, G.Y + Mask.Height / 2 + 1);
  ASSERT_TRUE(pointer::MovePointer(At)) << pointer::PointerScene(At);
  pointer::RestPointer(100);
  TDragScript::Drag(At, POINT{At.x + 40, At.y + 32}, 4);
  EXPECT_NEAR(T.F->Width(), 340, 2) << pointer::PointerScene(At);
  EXPECT_NEAR(T.F->Height(), 232, 2) << pointer::PointerScene(At);
}

TEST(BorderWindowRealPointer, AMaximisedCaptionDraggedGoesOnFollowingThePointerAfterTheRestore) {
  pointer::PointerParking Parking;
  TBorderedPointerForm T;
  T.F->SetWindowState(wsMaximized);
  testing_support::PumpPending();
  ASSERT_TRUE(IsZoomed(T.F->Handle()));
  const RECT LR = WindowRectOf(T.L());
  const POINT Press{LR.left + 400, LR.top + T.M->ExtBorderMargins().Top + 6};
  ASSERT_EQ(T.P->BorderForm()->HitTest(Press), HTCAPTION);
  ASSERT_TRUE(pointer::MovePointer(Press)) << pointer::PointerScene(Press);
  pointer::RestPointer(100);
  // past the six pixels that restore it, then on: the form goes with the pointer all the way; a quick drag, whose
  // first move the system sees lies below the caption already
  const POINT To{Press.x + 120, Press.y + 96};
  const POINT FirstStep{Press.x + 30, Press.y + 24};
  ASSERT_NE(T.P->BorderForm()->HitTest(FirstStep), HTCAPTION);
  TDragScript::Drag(Press, To, 4);
  EXPECT_FALSE(IsZoomed(T.F->Handle()));
  // the pointer still lies on the restored caption where it took it
  EXPECT_EQ(T.P->BorderForm()->HitTest(To), HTCAPTION) << pointer::PointerScene(To);
}
