// The mouse: messages over graphic children, hover and leave, double clicks of every button, the
// control under a screen point and its cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealPointer.h"

namespace {

using UiMouse = UiFormTest;

// A label of a fixed size placed in `parent` (and owned by it unless an owner is given).
TLabel* FixedLabel(TWinControl* parent, int left, int top, int width, int height, TComponent* owner = nullptr) {
  auto* label = new TLabel(owner ? owner : parent);
  label->SetAutoSize(false);
  label->SetBounds(left, top, width, height);
  label->SetParent(parent);
  return label;
}

TEST_F(UiMouse, MouseMessagesOverAGraphicChildGoToItInItsCoordinates) {
  auto* label = FixedLabel(form, 50, 40, 60, 20);
  int clicks = 0;
  POINT down{-1, -1};
  label->OnClick = [&](TObject*) { ++clicks; };
  label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = POINT{x, y}; };
  int formClicks = 0;
  form->OnClick = [&](TObject*) { ++formClicks; };
  form->Show();
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 47));
  SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(56, 48));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(down.x, 5);
  EXPECT_EQ(down.y, 7);
  EXPECT_EQ(formClicks, 0);
  // Released outside the label: no click.
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 47));
  SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
  EXPECT_EQ(clicks, 1);
  // A disabled graphic child lets the parent have the click.
  label->SetEnabled(false);
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 47));
  SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(55, 47));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(formClicks, 1);
}

TEST_F(UiMouse, HoverSendsLeaveThenEnterAlsoFromAPanelOntoItsChild) {
  PlaceForm(form, 900, 50);
  auto* panel = new TPanel(form);
  panel->SetBounds(10, 10, 200, 100);
  panel->SetParent(form);
  auto* label = FixedLabel(panel, 20, 20, 50, 20, form);
  label->SetEnabled(false);  // disabled controls hear it too
  form->Show();
  testing_support::PumpPending();

  std::vector<std::string> events;
  panel->OnMouseEnter = [&](TObject*) { events.push_back("panel enter"); };
  panel->OnMouseLeave = [&](TObject*) { events.push_back("panel leave"); };
  label->OnMouseEnter = [&](TObject*) { events.push_back("label enter"); };
  label->OnMouseLeave = [&](TObject*) { events.push_back("label leave"); };

  POINT panelOrigin = panel->ClientOrigin();
  MovePointerTo(POINT{panelOrigin.x + 5, panelOrigin.y + 5});
  EXPECT_EQ(MouseControl(), panel);
  MovePointerTo(POINT{panelOrigin.x + 25, panelOrigin.y + 25});
  EXPECT_EQ(MouseControl(), label);
  MovePointerTo(POINT{panelOrigin.x + 150, panelOrigin.y + 50});
  MovePointerTo(POINT{5, 5});  // the desktop
  EXPECT_EQ(MouseControl(), nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"panel enter", "panel leave", "label enter", "label leave",
                                              "panel enter", "panel leave"}));
  // A destroyed control is forgotten.
  MovePointerTo(POINT{panelOrigin.x + 25, panelOrigin.y + 25});
  label->Free();
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(UiMouse, LeavingForTheDesktopIsNoticedFromMouseLeave) {
  PlaceForm(form, 900, 600);
  form->Show();
  testing_support::PumpPending();
  std::vector<std::string> events;
  form->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
  form->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
  PlaceCursor(form->ClientToScreen(POINT{20, 20}));
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  PlaceCursor(POINT{2, 1020});  // the desktop, no window there
  SendMessageA(form->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(UiMouse, ADoubleClickIsADoubleClickOnlyWithCsDoubleClicks) {
  auto* label = FixedLabel(form, 10, 10, 40, 20);
  int clicks = 0, doubles = 0;
  label->OnClick = [&](TObject*) { ++clicks; };
  label->OnDblClick = [&](TObject*) { ++doubles; };
  form->Show();
  auto clickTwice = [&] {
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
    SendMessageA(form->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(15, 15));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
  };
  clickTwice();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubles, 1);
  label->SetControlStyle(label->ControlStyle() - csDoubleClicks);
  clickTwice();
  EXPECT_EQ(clicks, 3);  // the second press is a plain button down
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(Application->HintPause(), 500);
  EXPECT_EQ(Application->HintShortPause(), 50);
  EXPECT_EQ(Application->HintHidePause(), 2500);
}

TEST_F(UiMouse, RightAndMiddleDoubleClicksAreButtonDownsWithDouble) {
  std::vector<std::pair<TMouseButton, bool>> downs;
  form->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int, int) {
    downs.push_back({b, s.Contains(ssDouble)});
  };
  form->Show();
  SendMessageA(form->Handle(), WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageA(form->Handle(), WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(downs, (std::vector<std::pair<TMouseButton, bool>>{{mbRight, true}, {mbMiddle, true}}));
}

// The control under a screen point: the graphic child found for dragging, and its cursor shown unless the screen has one.
TEST_F(UiMouse, TheGraphicChildUnderAScreenPointIsTheDragTargetAndGivesTheCursor) {
  PlaceForm(form, 900, 300);
  auto* label = FixedLabel(form, 10, 10, 40, 20);
  label->SetCursor(crHandPoint);
  form->Show();
  testing_support::PumpPending();
  EXPECT_EQ(FindDragTarget(label->ClientToScreen(POINT{2, 2}), false), label);
  EXPECT_EQ(FindDragTarget(form->ClientToScreen(POINT{100, 100}), false), form);
  PlaceCursor(label->ClientToScreen(POINT{3, 3}));
  SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  Screen->SetCursor(crHourGlass);
  SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
}

}  // namespace

// The real pointer: the system's own leave tracking, as a person moving the mouse meets it.
using UiMouseRealPointer = UiTest;

TEST_F(UiMouseRealPointer, AFormIsLeftOnlyWhenThePointerLeavesItsWindowNotForItsCaption) {
  testing_support::PointerParking parking;
  TForm* form = NewForm();
  PlaceForm(form, 860, 640);
  form->Show();
  testing_support::PumpPending();
  MessageLog log(form, WM_MOUSELEAVE, CM_MOUSELEAVE);
  RECT frame{};
  GetWindowRect(form->Handle(), &frame);
  const POINT client = form->ClientToScreen(POINT{40, 40});
  const POINT caption{(frame.left + frame.right) / 2, (frame.top + form->ClientOrigin().y) / 2};
  const unsigned rest = 3 * testing_support::HoverTime();
  auto leaves = [&] { return log.Count(WM_MOUSELEAVE) + log.Count(CM_MOUSELEAVE); };

  // client area, caption, client area again, caption: the pointer never left the window
  for (POINT p : {client, caption, client, caption}) {
    ASSERT_TRUE(testing_support::MovePointer(p));
    testing_support::RestPointer(rest);
    EXPECT_EQ(leaves(), 0) << "pointer at " << p.x << "," << p.y;
  }
  // off the window from its caption: the form is told once, both ways
  ASSERT_TRUE(testing_support::MovePointer(POINT{frame.left - 60, frame.top + 10}));
  testing_support::RestPointer(rest);
  EXPECT_EQ(log.Count(WM_MOUSELEAVE), 1);
  EXPECT_EQ(log.Count(CM_MOUSELEAVE), 1);
  form->Free();
}
