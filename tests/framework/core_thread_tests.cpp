#include <gtest/gtest.h>

#include <atomic>

#include "framework/Classes.h"
#include "framework/LateBinding.h"
#include "framework/Milestones.h"
#include "framework/Units.h"
#include "tests/framework/core_test_util.h"

namespace {

class TFnThread : public TThread {
  DECLARE_CLASS(TFnThread, TThread)
public:
  explicit TFnThread(std::function<void(TFnThread&)> body, bool suspended = true)
      : TThread(suspended), body_(std::move(body)) {}
  using TThread::SetReturnValue;

protected:
  void Execute() override { body_(*this); }

private:
  std::function<void(TFnThread&)> body_;
};
IMPLEMENT_CLASS(TFnThread)

// Runs `body` on a thread of its own and waits for its end.
void RunThread(std::function<void(TFnThread&)> body) {
  auto* t = Create<TFnThread>(std::move(body), false);
  t->WaitFor();
  t->Free();
}

TEST(Thread, SynchronizeRunsOnTheUiThreadWhileItWaits) {
  DWORD ranOn = 0;
  auto* t = Create<TFnThread>([&](TFnThread& self) {
    TThread::Synchronize([&] { ranOn = GetCurrentThreadId(); });
    self.SetReturnValue(42);
  }, false);
  // WaitFor on the UI thread must serve the queued call, or both threads wait for ever.
  EXPECT_EQ(t->WaitFor(), 42);
  EXPECT_EQ(ranOn, GetCurrentThreadId());
  t->Free();
}

TEST(Thread, FreeTerminatesAndWaitsWhileServingSynchronize) {
  std::atomic<int> rounds{0};
  std::atomic<bool> executeDone{false};
  auto* t = Create<TFnThread>([&](TFnThread& self) {
    while (!self.Terminated()) {
      TThread::Synchronize([&] { ++rounds; });
      Sleep(1);
    }
    executeDone = true;
  }, false);
  while (rounds < 3) CheckSynchronize(50);
  t->Free();
  EXPECT_TRUE(executeDone) << "destruction waits for Execute";
}

LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) return static_cast<LRESULT>(w) * 2;
  return DefWindowProcA(h, m, w, l);
}

TEST(Thread, WaitForAnswersMessagesSentByTheThread) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "FwCoreSyncProbe";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, "FwCoreSyncProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  std::atomic<LRESULT> answer{0};
  std::atomic<BOOL> answered{FALSE};
  HANDLE uiWaits = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto* t = Create<TFnThread>([&](TFnThread&) {
    WaitForSingleObject(uiWaits, INFINITE);
    // Nothing between the event and WaitFor serves sent messages: only WaitFor can answer this one.
    // A long time-out instead of none, so a WaitFor that does not serve them fails instead of hanging.
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutA(wnd, WM_USER + 1, 21, 0, SMTO_NORMAL, 10000, &result) != 0;
    answer = static_cast<LRESULT>(result);
  }, false);
  SetEvent(uiWaits);
  t->WaitFor();
  t->Free();
  CloseHandle(uiWaits);
  DestroyWindow(wnd);
  EXPECT_TRUE(answered);
  EXPECT_EQ(answer, 42);
}

TEST(Thread, ExceptionInSynchronizedMethodReachesTheCaller) {
  std::string caught;
  RunThread([&](TFnThread&) {
    caught = MessageOf<EConvertError>([] { TThread::Synchronize([] { throw EConvertError("bad value"); }); });
  });
  EXPECT_EQ(caught, "bad value");
}

TEST(Thread, ExceptionLeavingExecuteIsKeptAsFatalException) {
  auto* t = Create<TFnThread>([](TFnThread&) { throw EInvalidOperation("port lost"); }, false);
  t->WaitFor();
  ASSERT_NE(t->FatalException(), nullptr);
  EXPECT_STREQ(t->FatalException()->what(), "port lost");
  EXPECT_NE(dynamic_cast<const EInvalidOperation*>(t->FatalException()), nullptr);
  t->Free();
}

TEST(Thread, SuspendedThreadStartsOnlyOnStartAndOnTerminateIsSynchronised) {
  std::atomic<bool> ran{false};
  DWORD terminateOn = 0;
  auto* t = Create<TFnThread>([&](TFnThread&) { ran = true; }, true);
  t->OnTerminate = [&](TObject* sender) {
    EXPECT_EQ(sender, t);
    terminateOn = GetCurrentThreadId();
  };
  EXPECT_FALSE(t->Started());  // no system thread exists before Start, so nothing can have run
  EXPECT_FALSE(ran);
  EXPECT_THROW(t->WaitFor(), EThread);
  t->Start();
  EXPECT_THROW(t->Start(), EThread);
  t->WaitFor();
  EXPECT_TRUE(ran);
  EXPECT_EQ(terminateOn, GetCurrentThreadId());
  t->Free();

  auto* never = Create<TFnThread>([&](TFnThread&) { FAIL(); }, true);
  never->Free();  // never started: nothing to wait for
}

TEST(Thread, FreeOnTerminateFreesItselfAfterExecute) {
  static std::atomic<int> destroyed;
  destroyed = 0;
  struct TSelfFreeing : TFnThread {
    using TFnThread::TFnThread;
    ~TSelfFreeing() override { ++destroyed; }
  };
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto* t = new TSelfFreeing([go](TFnThread&) { WaitForSingleObject(go, INFINITE); }, true);
  t->SetFreeOnTerminate(true);
  t->Start();
  // Our own handle on the thread (taken while it waits): no thread may outlive the test program.
  HANDLE thread = nullptr;
  DuplicateHandle(GetCurrentProcess(), t->Handle(), GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0);
  SetEvent(go);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  CloseHandle(thread);
  CloseHandle(go);
  EXPECT_EQ(destroyed, 1);
}

TEST(Thread, CheckSynchronizeOnlyOnTheUiThread) {
  std::atomic<bool> threw{false};
  RunThread([&](TFnThread&) {
    try {
      CheckSynchronize();
    } catch (const EThread&) {
      threw = true;
    }
  });
  EXPECT_TRUE(threw);
  EXPECT_FALSE(CheckSynchronize());
}

// The event is set exactly while a call waits, and no call queued while pumps find nothing is lost: the
// calls race the pumps, and each time the event says a call waits the next pump must serve it.
TEST(Thread, PumpsServeEveryQueuedCallAndTheEventFollowsTheQueue) {
  const HANDLE event = SyncEventHandle();
  int served = 0;
  const HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto* t = Create<TFnThread>([&](TFnThread&) {
    TThread::Synchronize([&] { ++served; });
    WaitForSingleObject(go, INFINITE);
    for (int i = 1; i < 300; ++i) TThread::Synchronize([&] { ++served; });
  }, false);
  ASSERT_EQ(WaitForSingleObject(event, 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "reset once the queue is empty";
  SetEvent(go);
  while (served < 300) {
    if (CheckSynchronize()) continue;
    ASSERT_EQ(WaitForSingleObject(event, 10000), WAIT_OBJECT_0) << "a queued call did not set the event";
    ASSERT_TRUE(CheckSynchronize()) << "a call the event announced was not served";
  }
  t->WaitFor();
  t->Free();
  CloseHandle(go);
}

TEST(Thread, WakeHookIsCalledWhenACallIsQueued) {
  std::atomic<int> wakes{0};
  const auto saved = WakeMainThreadHook;  // an application of an earlier test of the process still needs it
  WakeMainThreadHook = [&] { ++wakes; };
  RunThread([](TFnThread&) { TThread::Synchronize([] {}); });
  WakeMainThreadHook = saved;
  EXPECT_EQ(wakes, 1);
}

TEST(CriticalSection, ExcludesOtherThreads) {
  TCriticalSection cs;
  int counter = 0;
  auto body = [&](TFnThread&) {
    for (int i = 0; i < 10000; ++i) {
      cs.Enter();
      ++counter;
      cs.Leave();
    }
  };
  auto* a = Create<TFnThread>(body, false);
  auto* b = Create<TFnThread>(body, false);
  a->WaitFor();
  b->WaitFor();
  a->Free();
  b->Free();
  EXPECT_EQ(counter, 20000);
}

TEST(Units, InitInOrderFinalizeInReverseBetweenTheFrameworksExitAndLastSteps) {
  std::vector<std::string> log;
  RegisterUnit("Graphics", [&] { log.push_back("init Graphics"); }, [&] { log.push_back("final Graphics"); });
  RegisterUnit("Skin", [&] { log.push_back("init Skin"); }, [&] {
    log.push_back("final Skin");
    throw Exception("finaliser failed");  // the others still run
  });
  RegisterUnit("Late", [&] { log.push_back("init Late"); }, [&] { log.push_back("final Late"); });
  EXPECT_THROW(RegisterUnit("Skin", nullptr, nullptr), EInvalidOperation);
  SetFrameworkFinalizer([&] { log.push_back("free Application"); });
  SetFrameworkExitStep([&] { log.push_back("hide the windows"); });
  InitializeUnits();
  InitializeUnits();  // nothing runs twice
  std::string hooked;
  TExceptionHook saved = HandleExceptionHook;
  static std::string* sink;
  sink = &hooked;
  HandleExceptionHook = [](const std::exception& e) { *sink = e.what(); };
  FinalizeUnits();
  HandleExceptionHook = saved;
  EXPECT_EQ(hooked, "finaliser failed");
  EXPECT_EQ(log, (std::vector<std::string>{"init Graphics", "init Skin", "init Late", "hide the windows", "final Late",
                                           "final Skin", "final Graphics", "free Application"}));
  EXPECT_FALSE(UnitRegistered("Skin"));
}

TEST(Units, EachInitialisedUnitIsAMilestoneInItsOrder) {
  std::vector<std::string> passed;
  TMilestoneListener before = SetMilestoneListener([&](const char* Step, const std::string& Subject) {
    passed.push_back(std::string(Step) + " " + Subject);
  });
  RegisterUnit("Graphics", nullptr, nullptr);
  RegisterUnit("Skin", [] { RegisterUnit("Late", nullptr, nullptr); }, nullptr);
  InitializeUnits();
  InitializeUnits();  // none is passed twice
  SetMilestoneListener(before);
  FinalizeUnits();
  EXPECT_EQ(passed, (std::vector<std::string>{"unit Graphics", "unit Skin", "unit Late"}));
}

TEST(Units, LateBoundLibrariesAreFreedAfterTheFrameworkFinaliser) {
  // A DLL nothing else in the test program loads.
  static TLateBound<DWORD WINAPI()> entry("msacm32.dll", "acmGetVersion");
  ASSERT_TRUE(entry.Available());
  ASSERT_NE(GetModuleHandleA("msacm32.dll"), nullptr);
  static bool loadedDuringFinaliser;
  loadedDuringFinaliser = false;
  SetFrameworkFinalizer([] { loadedDuringFinaliser = GetModuleHandleA("msacm32.dll") != nullptr; });
  FinalizeUnits();
  EXPECT_TRUE(loadedDuringFinaliser) << "forms freed by the framework finaliser may still use late-bound entries";
  EXPECT_EQ(GetModuleHandleA("msacm32.dll"), nullptr);
  EXPECT_TRUE(entry.Available()) << "binds again when used after the end";
  FreeLateBoundLibraries();
}

TEST(Units, OnlyInitialisedUnitsAreFinalised) {
  std::vector<std::string> log;
  RegisterUnit("A", [&] { log.push_back("init A"); }, [&] { log.push_back("final A"); });
  RegisterUnit("B", [&] { throw Exception("no"); }, [&] { log.push_back("final B"); });
  RegisterUnit("C", [&] { log.push_back("init C"); }, [&] { log.push_back("final C"); });
  EXPECT_THROW(InitializeUnits(), Exception);
  FinalizeUnits();
  EXPECT_EQ(log, (std::vector<std::string>{"init A", "final A"}));
}

}  // namespace
