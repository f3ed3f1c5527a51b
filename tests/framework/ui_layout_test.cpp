// Layout: anchors and constraints, scaling the tree, and the order of children.
#include <gtest/gtest.h>

#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"

namespace {

using UiLayout = UiFormTest;

TEST_F(UiLayout, AnchorsKeepDistancesWhenTheParentResizesAndConstraintsLimitTheSize) {
  auto* panel = new TPanel(form);
  panel->SetBounds(10, 10, 100, 50);
  panel->SetParent(form);
  panel->SetAnchors({akLeft, akTop, akRight, akBottom});
  auto* button = new TButton(form);
  button->SetBounds(200, 150, 75, 25);
  button->SetParent(form);
  button->SetAnchors({akRight, akBottom});
  form->Show();
  form->SetClientWidth(400);
  form->SetClientHeight(260);
  EXPECT_EQ(panel->Width(), 200);
  EXPECT_EQ(panel->Height(), 110);
  EXPECT_EQ(button->Left(), 300);
  EXPECT_EQ(button->Top(), 210);
  EXPECT_EQ(button->Width(), 75);

  panel->Constraints()->SetMaxWidth(150);
  EXPECT_EQ(panel->Width(), 150);
  panel->SetWidth(10);
  panel->Constraints()->SetMinWidth(40);
  EXPECT_EQ(panel->Width(), 40);
}

TEST_F(UiLayout, ChangeScaleScalesBoundsAndOwnFontsOfTheWholeTree) {
  auto* panel = new TPanel(form);
  panel->SetBounds(10, 20, 100, 50);
  panel->SetParent(form);
  auto* label = new TLabel(form);
  label->SetAutoSize(false);
  label->SetBounds(4, 6, 40, 14);
  label->Font()->SetHeight(-13);  // not the default height: the label has its own font
  label->SetParent(panel);
  panel->ChangeScale(3, 2);
  EXPECT_EQ(panel->Left(), 15);
  EXPECT_EQ(panel->Width(), 150);
  EXPECT_EQ(label->Left(), 6);
  EXPECT_EQ(label->Top(), 9);
  EXPECT_EQ(label->Width(), 60);
  EXPECT_EQ(label->Font()->Height(), MulDiv(-13, 3, 2));
}

TEST_F(UiLayout, SetChildOrderMovesAChildInTheListAndTheWindowZOrder) {
  auto* a = NewChild<TPanel>(form);
  auto* b = NewChild<TPanel>(form);
  auto* c = NewChild<TPanel>(form);
  form->Show();
  form->SetChildOrder(c, 0);
  EXPECT_EQ(form->Controls(0), c);
  EXPECT_EQ(form->Controls(1), a);
  EXPECT_EQ(form->Controls(2), b);
  // Windows lists the top first: b, a, c.
  HWND top = GetWindow(form->Handle(), GW_CHILD);
  EXPECT_EQ(top, b->Handle());
  EXPECT_EQ(GetWindow(top, GW_HWNDNEXT), a->Handle());
  EXPECT_EQ(GetWindow(a->Handle(), GW_HWNDNEXT), c->Handle());
}

}  // namespace
