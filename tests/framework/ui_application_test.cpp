// The application: its window's hooks and messages, minimising, modal loops and task windows, the run
// loop, setting changes, monitors, the theme state, and timers.
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

using UiApplication = UiTest;

TEST_F(UiApplication, ApplicationWindowHooksSeeMessagesFirstInOrderAndAreRemovedByIdentity) {
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

TEST_F(UiApplication, ActivateAppIsPostedAsComponentMessagesToTheApplicationWindow) {
  std::vector<UINT> seen;
  auto hook = TWindowHook::FromFunction([&](TMessage& m) {
    if (m.Msg == CM_ACTIVATE || m.Msg == CM_DEACTIVATE) seen.push_back(m.Msg);
    return false;
  });
  testing_support::PumpPending();  // notices still queued from earlier activations are not this test's
  Application->HookMainWindow(hook);
  SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  testing_support::PumpPending();
  Application->UnhookMainWindow(hook);
  EXPECT_EQ(seen, (std::vector<UINT>{CM_DEACTIVATE, CM_ACTIVATE}));
}

TEST_F(UiApplication, AFreedApplicationTakesItsWindowAlong) {
  // The system still sends a hidden window activation messages: one left behind would reach freed memory.
  TApplication* Other = Create<TApplication>(nullptr);
  HWND Wnd = Other->Handle();
  Other->Free();
  EXPECT_FALSE(IsWindow(Wnd));
}

TEST_F(UiApplication, MinimisingTheMainFormMinimisesTheApplication) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  int minimized = 0;
  Application->OnMinimize = [&](TObject*) { ++minimized; };
  SendMessageA(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(minimized, 1);
  EXPECT_TRUE(IsIconic(Application->Handle()));
  // the forms the application window owns go with it, and come back on restore
  EXPECT_FALSE(IsWindowVisible(main->Handle()));
  Application->Restore();
  EXPECT_FALSE(IsIconic(Application->Handle()));
  EXPECT_TRUE(IsWindowVisible(main->Handle()));
  Application->OnMinimize = nullptr;
  main->Free();
}

TEST_F(UiApplication, ModalLoopsReportTheirStartAndEnd) {
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

TEST_F(UiApplication, TaskWindowsAreDisabledAndEnabledAgain) {
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

void CALLBACK TerminateSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Application->Terminate();
}

TEST_F(UiApplication, RunShowsTheMainFormAndReturnsWhenTerminated) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  bool shown = false;
  main->OnShow = [&](TObject*) { shown = true; };
  SetTimer(nullptr, 0, 30, TerminateSoon);
  Application->Run();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(IsWindowVisible(main->Handle()));
  main->Free();
}

TEST_F(UiApplication, SettingChangesReachTheFormAsComponentMessages) {
  TForm* form = NewForm();
  form->HandleNeeded();
  std::vector<UINT> seen;
  WindowProcHook hook(form, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == CM_WININICHANGE || m.Msg == CM_SYSFONTCHANGED) seen.push_back(m.Msg);
    next(m);
  });
  SendMessageA(form->Handle(), WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
  SendMessageA(form->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{CM_WININICHANGE, CM_WININICHANGE, CM_SYSFONTCHANGED}));
  form->Free();
}

TEST_F(UiApplication, MonitorsDescribeTheScreen) {
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

TEST_F(UiApplication, ThemeStateCanBeForcedAndAResetReturnsToTheRealOne) {
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

// Pumps until a fresh timer of `interval` ms has ticked three times: long enough for any running timer
// of that interval to have ticked too.
void PumpThreeTicks(unsigned interval) {
  auto* reference = new TCountingTimer(nullptr);
  reference->SetInterval(interval);
  ASSERT_TRUE(testing_support::PumpUntil([&] { return reference->ticks >= 3; }, 3000));
  reference->Free();
}

TEST_F(UiApplication, ADerivedTimerTicksWhileEnabledAndStopsWhenDisabled) {
  auto* timer = new TCountingTimer(nullptr);
  timer->SetInterval(0);  // no interval: no timer
  SendMessageA(timer->WindowHandle(), WM_TIMER, 1, 0);  // tests may tick by hand
  EXPECT_EQ(timer->ticks, 1);
  timer->SetInterval(15);
  ASSERT_TRUE(testing_support::PumpUntil([&] { return timer->ticks >= 3; }, 3000));
  timer->SetEnabled(false);
  testing_support::PumpPending();
  int stopped = timer->ticks;
  PumpThreeTicks(15);
  EXPECT_EQ(timer->ticks, stopped);
  timer->Free();
}

// A timer makes its window only when it runs with a handler. One running without a handler yet (a derived
// timer, a handler given afterwards) ticks first from a thread timer, then from its window; its handler may
// stop or restart it there as at any tick, and freeing it before that tick leaves nothing to come.
TEST_F(UiApplication, ATimerMakesItsWindowWhenItRunsWithAHandlerAndTicksAlikeWithoutOne) {
  const int windows = FrameworkWindowCount();
  auto* derived = new TCountingTimer(nullptr);
  derived->SetInterval(10);
  int lateTicks = 0, onceTicks = 0;
  auto* late = new TTimer(nullptr);
  late->SetInterval(10);
  late->OnTimer = [&](TObject*) {
    if (++lateTicks == 1) late->SetInterval(20);
  };
  auto* once = new TTimer(nullptr);
  once->SetInterval(10);
  once->OnTimer = [&](TObject*) { ++onceTicks, once->SetEnabled(false); };
  auto* freed = new TTimer(nullptr);
  freed->SetInterval(10);
  freed->OnTimer = [](TObject*) { ADD_FAILURE() << "a freed timer ticked"; };
  freed->Free();
  EXPECT_EQ(FrameworkWindowCount(), windows);
  ASSERT_TRUE(testing_support::PumpUntil([&] { return derived->ticks >= 3 && lateTicks >= 3; }, 3000));
  PumpThreeTicks(10);
  EXPECT_EQ(onceTicks, 1);
  EXPECT_EQ(FrameworkWindowCount(), windows + 3);
  for (TTimer* t : {static_cast<TTimer*>(derived), late, once}) t->Free();
}

}  // namespace
