#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <vector>

#include "framework/ComCtrls.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/core_test_util.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"

namespace {

using UiControls = UiFormTest;

TEST_F(UiControls, WindowClassesAreNamedAfterTheClassAndSuperclassTheSystemControl) {
  auto* button = NewChild<TButton>(form);
  auto* edit = NewChild<TEdit>(form);
  auto* memo = NewChild<TMemo>(form);
  auto* combo = NewChild<TComboBox>(form);
  auto* bar = NewChild<TProgressBar>(form);
  auto* panel = NewChild<TPanel>(form);
  for (const auto& [control, name] : {std::pair<TWinControl*, const char*>{form, "TForm"}, {button, "TButton"},
                                      {edit, "TEdit"}, {memo, "TMemo"}, {combo, "TComboBox"}, {bar, "TProgressBar"},
                                      {panel, "TPanel"}})
    EXPECT_EQ(WindowClassOf(control->Handle()), name);

  // The system procedure stays reachable as DefWndProc; the own classes use DefWindowProcA.
  WNDCLASSA system{};
  ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &system));
  EXPECT_EQ(reinterpret_cast<void*>(button->DefWndProc()), reinterpret_cast<void*>(system.lpfnWndProc));
  ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &system));
  EXPECT_EQ(reinterpret_cast<void*>(memo->DefWndProc()), reinterpret_cast<void*>(system.lpfnWndProc));
  EXPECT_EQ(reinterpret_cast<void*>(panel->DefWndProc()), reinterpret_cast<void*>(&DefWindowProcA));
  // The class keeps the button's window extra bytes, or BUTTON would scribble past them.
  WNDCLASSA ours{};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "TButton", &ours));
  ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &system));
  EXPECT_EQ(ours.cbWndExtra, system.cbWndExtra);
  // Children carry unique non-zero IDs.
  EXPECT_NE(GetDlgCtrlID(button->Handle()), 0);
  EXPECT_NE(GetDlgCtrlID(button->Handle()), GetDlgCtrlID(edit->Handle()));
  EXPECT_EQ(FindControl(button->Handle()), button);
}

TEST_F(UiControls, WindowProcCanBeReplacedChainedAndRestored) {
  auto* button = NewChild<TButton>(form);
  button->HandleNeeded();
  TWndMethod original = button->WindowProc;
  EXPECT_EQ(original, TWndMethod::Bind<&TControl::WndProc>(button));

  std::vector<UINT> order;
  TWndMethod first = button->WindowProc;
  button->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg == WM_USER + 1) order.push_back(1);
    first(m);
  });
  TWndMethod second = button->WindowProc;
  button->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      order.push_back(2);
      m.Result = 42;
      second(m);
      return;
    }
    second(m);
  });
  // Both through Perform and through the window procedure; the last installed runs first.
  EXPECT_EQ(button->Perform(WM_USER + 1, 0, 0), 0);  // the system procedure's answer replaced 42
  SendMessageA(button->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(order, (std::vector<UINT>{2, 1, 2, 1}));

  // Restoring: a provider puts back what it saved only while its own procedure is installed.
  EXPECT_FALSE(button->WindowProc.SameCode(original));
  button->WindowProc = original;
  order.clear();
  SendMessageA(button->Handle(), WM_USER + 1, 0, 0);
  EXPECT_TRUE(order.empty());
  // Text still reaches the system control through the whole chain.
  button->SetCaption("Write");
  char text[32] = {};
  GetWindowTextA(button->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Write");
}

TEST_F(UiControls, PerformWorksWithoutAWindowAndGraphicControlsKeepTheirCaption) {
  auto* label = new TLabel(nullptr);
  MessageLog log(label);
  label->SetCaption("Порт:");
  EXPECT_EQ(label->Caption(), "Порт:");
  EXPECT_EQ(label->Perform(WM_GETTEXTLENGTH, 0, 0), 5);
  EXPECT_EQ(log.Count(CM_TEXTCHANGED), 1);
  label->SetCaption("Порт:");  // unchanged text: no notice
  EXPECT_EQ(log.Count(CM_TEXTCHANGED), 1);
  label->Free();
}

TEST_F(UiControls, AnExceptionInAHandlerGoesToHandleExceptionAndTheProcedureReturns) {
  RecordBoxes();
  Application->SetTitle("KRL Bootloader");
  auto* panel = NewChild<TPanel>(form);
  WindowProcHook hook(panel, [](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_USER + 7) throw EConvertError("'x' is not a valid integer value");
    if (m.Msg == WM_USER + 8) throw Exception("Порти оновлено!");
    if (m.Msg == WM_USER + 9) throw Exception("Помилка звернення");
    next(m);
  });
  // In a test program the exception fails the running test at once, naming itself, and shows no box.
  static HWND target;
  target = panel->Handle();
  EXPECT_FATAL_FAILURE(SendMessageA(target, WM_USER + 7, 0, 0), "'x' is not a valid integer value");
  EXPECT_TRUE(boxes.empty());
  Platform().ExceptionSink = nullptr;  // from here on: the program's own box
  LRESULT r = SendMessageA(panel->Handle(), WM_USER + 7, 0, 0);
  EXPECT_EQ(r, 0);
  SendMessageA(panel->Handle(), WM_USER + 8, 0, 0);
  SendMessageA(panel->Handle(), WM_USER + 9, 0, 0);
  // A full stop is added unless the text ends in a character below it ('!'); Cyrillic letters sort above it.
  ASSERT_EQ(BoxTexts(), (std::vector<std::string>{"'x' is not a valid integer value.", "Порти оновлено!", "Помилка звернення."}));
  EXPECT_EQ(boxes[0].source, TMessageBoxRequest::ExceptionBox);
  EXPECT_EQ(boxes[0].caption, "KRL Bootloader");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

TEST_F(UiControls, ShowExceptionLeavesEmptyAndDottedMessagesAlone) {
  RecordBoxes();
  Platform().ExceptionSink = nullptr;  // the box itself is checked
  Application->ShowException(Exception(""));
  Application->ShowException(Exception("Stream read error."));
  Application->ShowException(Exception("Ends with a space "));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"", "Stream read error.", "Ends with a space "}));
}

TEST_F(UiControls, ABoxOrOpenDialogIsNeverOwnedByAWindowThatNeverTakesActivation) {
  // The system hands activation to such a window (a glow, an animation's snapshot) when it has no other; it goes at
  // any moment, and a box it owned would go with it before anyone saw it.
  RecordBoxes();
  Platform().ExceptionSink = nullptr;  // the box itself is checked
  HWND dialogOwner = nullptr;
  Platform().GetOpenFileNameA = [&](OPENFILENAMEA* ofn) {
    dialogOwner = ofn->hwndOwner;
    return FALSE;
  };
  form->Show();
  auto* dialog = new TOpenDialog(form);
  const HWND helper = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 8,
                                      8, nullptr, nullptr, nullptr, nullptr);
  for (const HWND active : {form->Handle(), helper}) {
    SetActiveWindow(active);
    ASSERT_EQ(GetActiveWindow(), active);
    boxes.clear();
    dialogOwner = nullptr;
    Application->ShowException(Exception("Помилка звернення"));
    Application->MessageBox("Порти оновлено!", "KRL Bootloader", MB_OK);
    EXPECT_FALSE(dialog->Execute());
    const HWND owner = active == helper ? Application->Handle() : active;
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[1].owner, owner);
    EXPECT_NE(dialogOwner, helper);
    EXPECT_NE(dialogOwner, nullptr);
  }
  DestroyWindow(helper);
  dialog->Free();
}

TEST_F(UiControls, NotificationsFromChildWindowsAreReflectedToTheirObjects) {
  auto* button = NewChild<TButton>(form);
  int clicks = 0;
  button->OnClick = [&](TObject* s) {
    EXPECT_EQ(s, button);
    ++clicks;
  };
  MessageLog reflected(button, CN_COMMAND, CN_COMMAND);
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button->Handle()), BN_CLICKED),
               reinterpret_cast<LPARAM>(button->Handle()));
  EXPECT_EQ(reflected.Count(CN_COMMAND), 1);
  EXPECT_EQ(clicks, 1);
  // The system button's own click notification takes the same road.
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(UiControls, SettersSendTheirComponentMessagesThroughWindowProc) {
  auto* panel = NewChild<TPanel>(form);
  auto* label = NewChild<TLabel>(panel, form);
  MessageLog panelLog(panel);
  MessageLog labelLog(label);

  panel->SetVisible(false);
  ASSERT_EQ(panelLog.Count(CM_VISIBLECHANGED), 1);
  EXPECT_EQ(panelLog.seen[panelLog.IndexOf(CM_VISIBLECHANGED)].WParam, 0u);
  panel->SetVisible(true);
  EXPECT_EQ(panelLog.Count(CM_VISIBLECHANGED), 2);
  panel->SetEnabled(false);
  EXPECT_EQ(panelLog.Count(CM_ENABLEDCHANGED), 1);
  EXPECT_FALSE(IsWindowEnabled(panel->Handle()));
  panel->SetEnabled(true);

  // Colour and font go down to children that follow their parent.
  panel->SetColor(clRed);
  EXPECT_EQ(panelLog.Count(CM_COLORCHANGED), 1);
  EXPECT_EQ(labelLog.Count(CM_PARENTCOLORCHANGED), 1);
  EXPECT_EQ(label->Color(), clRed);
  EXPECT_TRUE(label->ParentColor());
  panel->Font()->SetColor(clBlue);
  EXPECT_EQ(panelLog.Count(CM_FONTCHANGED), 1);
  EXPECT_EQ(labelLog.Count(CM_PARENTFONTCHANGED), 1);
  EXPECT_EQ(label->Font()->Color(), clBlue);
  EXPECT_TRUE(label->ParentFont());
  // A child with its own colour keeps it.
  label->SetColor(clGreen);
  EXPECT_FALSE(label->ParentColor());
  panel->SetColor(clYellow);
  EXPECT_EQ(label->Color(), clGreen);

  label->SetCaption("x");
  EXPECT_EQ(labelLog.Count(CM_TEXTCHANGED), 1);
  int invalidates = panelLog.Count(CM_INVALIDATE);
  panel->Invalidate();
  EXPECT_EQ(panelLog.Count(CM_INVALIDATE), invalidates + 1);
}

TEST_F(UiControls, ControlListChangesReachTheFormFromEveryLevel) {
  auto* panel = NewChild<TPanel>(form);
  MessageLog formLog(form);
  auto* label = NewChild<TLabel>(panel, form);
  ASSERT_EQ(formLog.Count(CM_CONTROLLISTCHANGE), 1);
  const TMessage& ins = formLog.seen[formLog.IndexOf(CM_CONTROLLISTCHANGE)];
  EXPECT_EQ(ins.WParam, reinterpret_cast<WPARAM>(label));
  EXPECT_EQ(ins.LParam, 1);
  label->SetParent(nullptr);
  ASSERT_EQ(formLog.Count(CM_CONTROLLISTCHANGE), 2);
  EXPECT_EQ(formLog.seen.back().LParam, 0);
  label->Free();
}

TEST_F(UiControls, ShowingChangesAndRecreationKeepTheControlsState) {
  auto* edit = NewChild<TEdit>(form);
  MessageLog log(edit);
  form->Show();
  EXPECT_TRUE(edit->Showing());
  EXPECT_EQ(log.Count(CM_SHOWINGCHANGED), 1);
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  edit->SetText("abc");
  HWND before = edit->Handle();
  edit->RecreateWnd();
  EXPECT_EQ(log.Count(CM_RECREATEWND), 1);
  EXPECT_NE(edit->Handle(), before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(edit->Text(), "abc");
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  form->Hide();
  EXPECT_FALSE(edit->Showing());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(UiControls, AControlDeletedWithoutFreeLeavesItsParentAndItsWindow) {
  auto* button = NewChild<TButton>(form, nullptr);
  auto* label = NewChild<TLabel>(form, nullptr);
  form->Show();
  HWND h = button->Handle();
  int windows = FrameworkWindowCount();
  delete button;  // not the framework's way, but it must not leave a dangling window
  delete label;
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(FindControl(h), nullptr);
  EXPECT_EQ(FrameworkWindowCount(), windows - 1);
}

TEST_F(UiControls, FocusMovesSendExitThenEnterAndFocusChangedToTheForm) {
  auto* a = NewChild<TEdit>(form);
  auto* b = NewChild<TEdit>(form);
  b->SetTop(40);
  form->Show();
  SetActiveWindow(form->Handle());
  a->SetFocus();
  testing_support::PumpPending();
  std::vector<std::string> events;
  a->OnExit = [&](TObject*) { events.push_back("a exit"); };
  b->OnEnter = [&](TObject*) { events.push_back("b enter"); };
  MessageLog formLog(form);
  b->SetFocus();
  testing_support::PumpPending();
  EXPECT_EQ(events, (std::vector<std::string>{"a exit", "b enter"}));
  EXPECT_GE(formLog.Count(CM_FOCUSCHANGED), 1);
  EXPECT_EQ(form->ActiveControl(), b);

  b->SetEnabled(false);
  EXPECT_EQ(MessageOf<EInvalidOperation>([&] { b->SetFocus(); }), "Cannot focus a disabled or invisible window");
}

TEST_F(UiControls, CreatingAndDestroyingAFormWithChildrenLeaksNoObjects) {
  // The first cycle registers the classes and makes the stock objects.
  ExpectCyclesLeaveNothing(20, [] {
    TForm* form = NewForm(302, 131);
    form->SetColor(cl3DLight);
    auto* panel = new TPanel(form);
    panel->SetCaption("p");
    panel->SetParent(form);
    auto* label = new TLabel(form);
    label->SetCaption("Порт:");
    label->SetParent(panel);
    auto* combo = new TComboBox(form);
    combo->SetStyle(csDropDownList);
    combo->Items()->Add("COM1");
    combo->SetParent(panel);
    combo->SetItemIndex(0);
    NewChild<TButton>(form);
    auto* memo = new TMemo(form);
    memo->Lines()->Add("line");
    memo->SetParent(form);
    NewChild<TProgressBar>(form);
    NewChild<TImage>(form);
    auto* timer = new TTimer(form);  // enabled: its system timer goes with its utility window
    timer->SetInterval(5000);
    form->Show();
    testing_support::PumpPending();
    form->Free();
  });
}

TEST_F(UiControls, ForeignMessagesPassThroughAndTheWheelGoesToTheFormFirst) {
  auto* edit = NewChild<TEdit>(form);
  form->Show();
  std::vector<UINT> formSaw;
  WindowProcHook formHook(form, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_TIMER || m.Msg == 0xA100 || m.Msg == 0xBC4D || m.Msg == CM_MOUSEWHEEL) formSaw.push_back(m.Msg);
    if (m.Msg == 0xA100) {
      m.Result = 12345;
      return;
    }
    if (m.Msg == CM_MOUSEWHEEL) {
      m.Result = 1;  // the form took the wheel
      return;
    }
    next(m);
  });
  // Another library's timer id and command messages reach WindowProc and nothing else happens.
  SendMessageA(form->Handle(), WM_TIMER, 65522, 0);
  EXPECT_EQ(SendMessageA(form->Handle(), 0xA100, 0x1D, 0), 12345);
  SendMessageA(form->Handle(), 0xBC4D, 0, 0);
  MessageLog editWheel(edit, WM_MOUSEWHEEL, WM_MOUSEWHEEL);
  SendMessageA(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(formSaw, (std::vector<UINT>{WM_TIMER, 0xA100, 0xBC4D, CM_MOUSEWHEEL}));
  EXPECT_EQ(editWheel.Count(WM_MOUSEWHEEL), 1);  // its WindowProc saw it; the form's answer ended it there
}

}  // namespace

