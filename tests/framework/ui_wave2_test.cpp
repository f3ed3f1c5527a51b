#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "framework/Themes.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"

namespace {

using UiWave2 = UiTest;

// A panel child painted in the copy mode: the parent's colour around it, the child's colour inside.
TEST_F(UiWave2, PaintToPaintsTheControlAndItsWindowedChildrenAtTheGivenPlace) {
  TForm* form = NewForm(100, 80);
  auto* outer = new TPanel(form);
  outer->SetBevelOuter(bvNone);
  outer->SetBounds(0, 0, 60, 50);
  outer->SetColor(clRed);
  outer->SetParent(form);
  auto* inner = new TPanel(form);
  inner->SetBevelOuter(bvNone);
  inner->SetBounds(10, 20, 20, 10);
  inner->SetColor(clBlue);
  inner->SetParent(outer);
  std::vector<bool> copyFlags;
  TWndMethod saved = inner->WindowProc;
  inner->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg == WM_PAINT) copyFlags.push_back(inner->ControlState().Contains(csPaintCopy));
    saved(m);
  });
  form->HandleNeeded();
  outer->HandleNeeded();
  inner->HandleNeeded();
  Dib dib(100, 80);
  outer->PaintTo(dib.dc, 5, 5);
  EXPECT_EQ(dib.At(6, 6), 0xFF0000u);
  EXPECT_EQ(dib.At(5 + 10 + 1, 5 + 20 + 1), 0x0000FFu);
  EXPECT_EQ(dib.At(5 + 29, 5 + 29), 0x0000FFu);
  EXPECT_EQ(dib.At(5 + 31, 5 + 25), 0xFF0000u);
  EXPECT_EQ(dib.At(70, 70), 0u);  // outside the control: untouched
  ASSERT_EQ(copyFlags.size(), 1u);
  EXPECT_TRUE(copyFlags[0]);
  EXPECT_FALSE(inner->ControlState().Contains(csPaintCopy));

  // WM_PRINTCLIENT erases and paints a framework-painted window into the DC.
  Dib dib2(100, 80);
  SendMessageA(inner->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib2.dc), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(dib2.At(3, 3), 0x0000FFu);
  inner->WindowProc = saved;
  form->Free();
}

TEST_F(UiWave2, AnchorsKeepDistancesWhenTheParentResizesAndConstraintsLimitTheSize) {
  TForm* form = NewForm(300, 200);
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
  form->Free();
}

TEST_F(UiWave2, ChangeScaleScalesBoundsAndOwnFontsOfTheWholeTree) {
  TForm* form = NewForm(300, 200);
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
  form->Free();
}

TEST_F(UiWave2, SetChildOrderMovesAChildInTheListAndTheWindowZOrder) {
  TForm* form = NewForm();
  auto* a = new TPanel(form);
  a->SetName("A");
  a->SetParent(form);
  auto* b = new TPanel(form);
  b->SetName("B");
  b->SetParent(form);
  auto* c = new TPanel(form);
  c->SetName("C");
  c->SetParent(form);
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
  form->Free();
}

TEST_F(UiWave2, BorderWidthShrinksTheClientAreaAndDoubleBufferedStillPaints) {
  TForm* form = NewForm();
  auto* panel = new TPanel(form);
  panel->SetBounds(0, 0, 100, 60);
  panel->SetParent(form);
  panel->SetBorderWidth(5);
  form->Show();
  RECT r;
  GetClientRect(panel->Handle(), &r);
  EXPECT_EQ(r.right, 90);
  EXPECT_EQ(r.bottom, 50);
  panel->SetDoubleBuffered(true);
  panel->Repaint();
  EXPECT_TRUE(panel->DoubleBuffered());
  form->Free();
}

TEST_F(UiWave2, ApplicationWindowHooksSeeMessagesFirstInOrderAndAreRemovedByIdentity) {
  struct Hooker {
    std::vector<UINT>* log;
    bool handle;
    bool Hook(TMessage& m) {
      if (m.Msg == WM_USER + 3) log->push_back(handle ? 2 : 1);
      if (handle && m.Msg == WM_USER + 3) {
        m.Result = 77;
        return true;
      }
      return false;
    }
  };
  std::vector<UINT> log;
  Hooker first{&log, false}, second{&log, true};
  Application->HookMainWindow(TWindowHook::Bind<&Hooker::Hook>(&first));
  Application->HookMainWindow(TWindowHook::Bind<&Hooker::Hook>(&second));
  EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 3, 0, 0), 77);
  EXPECT_EQ(log, (std::vector<UINT>{1, 2}));
  Application->UnhookMainWindow(TWindowHook::Bind<&Hooker::Hook>(&second));
  log.clear();
  EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 3, 0, 0), 0);
  EXPECT_EQ(log, (std::vector<UINT>{1}));
  Application->UnhookMainWindow(TWindowHook::Bind<&Hooker::Hook>(&first));
}

TEST_F(UiWave2, ActivateAppIsPostedAsComponentMessagesToTheApplicationWindow) {
  std::vector<UINT> seen;
  auto hook = TWindowHook::FromFunction([&](TMessage& m) {
    if (m.Msg == CM_ACTIVATE || m.Msg == CM_DEACTIVATE) seen.push_back(m.Msg);
    return false;
  });
  Application->HookMainWindow(hook);
  SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  testing_support::PumpPending();
  Application->UnhookMainWindow(hook);
  EXPECT_EQ(seen, (std::vector<UINT>{CM_DEACTIVATE, CM_ACTIVATE}));
}

TEST_F(UiWave2, MinimisingTheMainFormMinimisesTheApplication) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  int minimized = 0;
  Application->OnMinimize = [&](TObject*) { ++minimized; };
  SendMessageA(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(minimized, 1);
  EXPECT_TRUE(IsIconic(Application->Handle()));
  Application->Restore();
  EXPECT_FALSE(IsIconic(Application->Handle()));
  Application->OnMinimize = nullptr;
  main->Free();
}

TEST_F(UiWave2, ModalLoopsReportTheirStartAndEnd) {
  int begins = 0, ends = 0;
  Application->OnModalBegin = [&](TObject*) { ++begins; };
  Application->OnModalEnd = [&](TObject*) { ++ends; };
  RecordBoxes();
  TForm* dialog = NewForm();
  dialog->OnShow = [&](TObject*) {
    EXPECT_EQ(Application->ModalLevel(), 1);
    dialog->SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(Application->ModalLevel(), 0);
  Application->OnModalBegin = nullptr;
  Application->OnModalEnd = nullptr;
  dialog->Free();
}

TEST_F(UiWave2, TaskWindowsAreDisabledAndEnabledAgain) {
  TForm* a = NewForm();
  a->Show();
  TForm* b = NewForm();
  b->Show();
  TTaskWindowList list = DisableTaskWindows(b->Handle());
  EXPECT_FALSE(IsWindowEnabled(a->Handle()));
  EXPECT_TRUE(IsWindowEnabled(b->Handle()));
  EnableTaskWindows(list);
  EXPECT_TRUE(IsWindowEnabled(a->Handle()));
  b->Free();
  a->Free();
}

TEST_F(UiWave2, MonitorsDescribeTheScreen) {
  ASSERT_GE(Screen->MonitorCount(), 1);
  TMonitor* m = Screen->Monitors(0);
  EXPECT_TRUE(m->Primary());
  EXPECT_EQ(m->Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(Screen->MonitorFromPoint(POINT{10, 10}), m);
  TForm* f = NewForm();
  EXPECT_EQ(f->Monitor(), m);
  f->Free();
  EXPECT_THROW(Screen->Monitors(99), EListError);
}

TEST_F(UiWave2, ThemeStateCanBeForcedAndAResetReturnsToTheRealOne) {
  bool real = ThemeServices()->ThemesEnabled();
  ThemeServices()->ForceThemesEnabled(1);
  EXPECT_TRUE(ThemeServices()->ThemesEnabled());
  EXPECT_TRUE(ThemeServices()->ThemesAvailable());
  ThemeServices()->ForceThemesEnabled(0);
  EXPECT_FALSE(ThemeServices()->ThemesEnabled());
  ResetPlatform();
  EXPECT_EQ(ThemeServices()->ThemesEnabled(), real);
  // Without a manifest asking for common controls 6 the themed branches stay off.
  if (CommonControlsVersion() < 6) {
    EXPECT_FALSE(real);
  }
}

TEST_F(UiWave2, AlphaBlendMakesTheFormLayeredAndAHelperFormShowsWithoutActivation) {
  TForm* main = NewForm();
  main->Show();
  SetActiveWindow(main->Handle());
  TForm* helper = NewForm();
  helper->SetAlphaBlend(true);
  helper->SetAlphaBlendValue(128);
  helper->ShowNoActivate();
  EXPECT_TRUE(GetWindowLongA(helper->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(helper->Handle()));
  EXPECT_NE(GetActiveWindow(), helper->Handle());
  helper->SetAlphaBlend(false);
  EXPECT_FALSE(GetWindowLongA(helper->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  helper->Free();
  main->Free();
}

class TTaggedHintWindow : public THintWindow {
  DECLARE_CLASS(TTaggedHintWindow, THintWindow)
public:
  explicit TTaggedHintWindow(TComponent* o) : THintWindow(o) {}
};

TEST_F(UiWave2, TheHintWindowClassCanBeReplaced) {
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

TEST_F(UiWave2, FindDragTargetGivesTheGraphicChildUnderAScreenPoint) {
  TForm* f = NewForm();
  f->SetPosition(poDesigned);
  f->SetLeft(900);
  f->SetTop(300);
  auto* label = new TLabel(f);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 30, 20);
  label->SetParent(f);
  f->Show();
  testing_support::PumpPending();
  EXPECT_EQ(FindDragTarget(label->ClientToScreen(POINT{2, 2}), false), label);
  EXPECT_EQ(FindDragTarget(f->ClientToScreen(POINT{100, 100}), false), f);
  f->Free();
}

}  // namespace

IMPLEMENT_CLASS(TTaggedHintWindow)

namespace {

// Derived timers do their work in Timer(); Enabled and Interval restart the system timer.
class TCountingTimer : public TTimer {
public:
  explicit TCountingTimer(TComponent* o) : TTimer(o) {}
  int ticks = 0;
  void Timer() override {
    ++ticks;
    TTimer::Timer();
  }
};

TEST_F(UiWave2, ADerivedTimerTicksWhileEnabledAndStopsWhenDisabled) {
  auto* timer = new TCountingTimer(nullptr);
  timer->SetInterval(0);  // no interval: no timer
  SendMessageA(timer->WindowHandle(), WM_TIMER, 1, 0);  // tests may tick by hand
  EXPECT_EQ(timer->ticks, 1);
  timer->SetInterval(15);
  ASSERT_TRUE(testing_support::PumpUntil([&] { return timer->ticks >= 3; }, 3000));
  timer->SetEnabled(false);
  testing_support::PumpPending();
  int stopped = timer->ticks;
  Sleep(60);
  testing_support::PumpPending();
  EXPECT_EQ(timer->ticks, stopped);
  timer->Free();
}

}  // namespace
