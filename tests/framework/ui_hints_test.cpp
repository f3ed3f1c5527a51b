// Hints: when they appear, how their text breaks, how ShowHint reaches children, the replaceable window class.
#include <gtest/gtest.h>

#include <string>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_form.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"

namespace {

using UiHints = UiTest;

TEST_F(UiHints, HintsAppearAfterThePauseOverAControlWithAHint) {
  TUiTestForm* f = ReadTestForm();
  PlaceForm(f, 900, 700);
  f->Show();
  testing_support::PumpPending();
  RecordBoxes();
  Application->SetHintPause(30);
  POINT origin = f->Label1->ClientOrigin();
  MovePointerTo(POINT{origin.x + 2, origin.y + 2});
  EXPECT_EQ(Application->HintControl(), f->Label1);
  POINT on = cursor;
  ASSERT_TRUE(testing_support::PumpUntil(
      [&] {
        // Another test process taking the activation cancels hints (WM_ACTIVATEAPP): hover again.
        if (!Application->HintControl()) {
          MovePointerTo(POINT{5, 5});
          MovePointerTo(on);
        }
        return Application->HintWindow() && Application->HintWindow()->HandleAllocated() &&
               IsWindowVisible(Application->HintWindow()->Handle());
      },
      5000)) << (boxes.empty() ? std::string("no error") : boxes[0].text) << "; hint control "
             << (Application->HintControl() ? Application->HintControl()->Name() : "none") << ", mouse control "
             << (MouseControl() ? MouseControl()->Name() : "none") << ", window there "
             << WindowClassOf(WindowFromPoint(cursor));
  EXPECT_EQ(WindowClassOf(Application->HintWindow()->Handle()), "THintWindow");
  EXPECT_EQ(Application->HintWindow()->Caption(), "Open the device manager");
  MovePointerTo(POINT{5, 5});
  EXPECT_FALSE(Application->HintWindow()->HandleAllocated());
  f->Free();
}

TEST_F(UiHints, HintTextBreaksAtALoneCarriageReturn) {
  auto* hint = new THintWindow(nullptr);
  RECT one = hint->CalcHintRect(400, "Write", nullptr);
  RECT four = hint->CalcHintRect(400, "\rWrite!\r\rDo not interrupt", nullptr);
  int line = one.bottom - 2;
  EXPECT_EQ(four.bottom - 2, 4 * line);
  RECT wrapped = hint->CalcHintRect(60, "one two three four five six", nullptr);
  EXPECT_LE(wrapped.right, 60 + 6);
  EXPECT_GT(wrapped.bottom, one.bottom);
  hint->Free();
}

TEST_F(UiHints, ShowHintFlowsDownToChildrenThatFollowTheirParent) {
  TForm* form = NewForm();
  auto* panel = NewChild<TPanel>(form);
  auto* follower = NewChild<TLabel>(panel, form);
  auto* own = new TLabel(form);
  own->SetShowHint(false);
  own->SetParent(panel);
  form->SetShowHint(true);
  EXPECT_TRUE(panel->ShowHint());
  EXPECT_TRUE(follower->ShowHint());
  EXPECT_FALSE(own->ShowHint());
  form->SetShowHint(false);
  EXPECT_FALSE(follower->ShowHint());
  form->Free();
}

TEST_F(UiHints, APressOrAKeyBeforeThePauseKeepsTheHintAway) {
  for (UINT Msg : {WM_LBUTTONDOWN, WM_KEYDOWN}) {
    SCOPED_TRACE(Msg == WM_LBUTTONDOWN ? "press" : "key");
    TForm* f = NewForm();
    auto* label = new TLabel(f);
    label->SetHint("hint");
    label->SetShowHint(true);
    label->SetParent(f);
    f->Show();
    Application->SetHintPause(30);
    Application->HintMouseControlChanged(label);
    ASSERT_EQ(Application->HintControl(), label);
    PostMessageA(f->Handle(), Msg, Msg == WM_KEYDOWN ? VK_SHIFT : 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(Application->HintControl(), nullptr);
    Sleep(60);
    Application->ProcessMessages();
    EXPECT_FALSE(Application->HintWindow() && Application->HintWindow()->HandleAllocated() &&
                 IsWindowVisible(Application->HintWindow()->Handle()));
    Application->CancelHint();
    f->Free();
  }
}

class TTaggedHintWindow : public THintWindow {
  DECLARE_CLASS(TTaggedHintWindow, THintWindow)
public:
  explicit TTaggedHintWindow(TComponent* o) : THintWindow(o) {}
};

TEST_F(UiHints, TheHintWindowClassCanBeReplaced) {
  TForm* f = NewForm();
  auto* label = new TLabel(f);
  label->SetHint("hint");
  label->SetShowHint(true);
  label->SetParent(f);
  const TClassInfo* saved = HintWindowClass;
  HintWindowClass = TTaggedHintWindow::StaticClassInfo();
  f->Show();
  PlaceCursor(label->ClientToScreen(POINT{1, 1}));
  Application->HintMouseControlChanged(label);
  Application->ActivateHint(cursor);
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TTaggedHintWindow");
  EXPECT_EQ(WindowClassOf(Application->HintWindow()->Handle()), "TTaggedHintWindow");
  Application->CancelHint();
  HintWindowClass = saved;
  f->Free();
}

}  // namespace

IMPLEMENT_CLASS(TTaggedHintWindow)
