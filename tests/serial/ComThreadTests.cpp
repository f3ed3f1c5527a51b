// The port's event thread: its three ways of delivering events, clean start and stop (also while it
// sits in a synchronised call), a port without modem lines, one that watches no event, and the sync window's dispatch.
#include "serial/BCPort.h"

#include "tests/serial/PortFixtures.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

using testing_support::PumpUntil;

using port_fixtures::ComErrorCode;
using port_fixtures::kPatienceMs;
using port_fixtures::PortHolder;
using port_fixtures::PortOnDevice;
using port_fixtures::PortWithoutModemLines;
using port_fixtures::ReadReply;
using port_fixtures::WaitUntil;

namespace {

// Pumps messages and synchronised calls until `done` (false when it never comes).
bool ServeUntil(const std::function<bool()>& done) {
  return PumpUntil(
      [&] {
        CheckSynchronize();
        return done();
      },
      kPatienceMs);
}

struct RxLog {
  std::atomic<int> calls{0};
  std::atomic<int> lastCount{0};
  std::atomic<DWORD> threadId{0};
  void Attach(TBComPort* port) {
    port->OnRxChar = [this](TObject*, int count) {
      lastCount = count;
      threadId = GetCurrentThreadId();
      ++calls;
    };
  }
};

// Opens the port with the given delivery and asks the device for its identify reply.
void OpenAndProvoke(TBComPort* port, TSyncMethod method) {
  port->SetSyncMethod(method);
  port->Open();
  port->WriteStr("z0202;");
}

// A port on a device whose received characters are logged, opened as OpenAndProvoke does.
struct ProvokedPort : PortOnDevice {
  RxLog log;
  explicit ProvokedPort(TSyncMethod method) {
    log.Attach(port.port);
    OpenAndProvoke(port.port, method);
  }
};

TEST(ComThread, ThreadSyncDeliversOnTheUserInterfaceThread) {
  ProvokedPort on(smThreadSync);
  ASSERT_TRUE(ServeUntil([&] { return on.log.calls > 0; }));
  EXPECT_EQ(on.log.threadId, GetCurrentThreadId());
  EXPECT_GE(on.log.lastCount, 1);
  // With modem lines, a delivered event comes from a wait that started and ended normally.
  EXPECT_EQ(on.port->EventThread()->FailedWaits(), 0);
  EXPECT_EQ(on.port->EventThread()->LastWaitError(), 0u);
  EXPECT_TRUE(on.port->Close());
}

TEST(ComThread, WindowSyncDeliversThroughTheSyncWindow) {
  ProvokedPort on(smWindowSync);
  HWND window = on.port->SyncWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  ASSERT_TRUE(PumpUntil([&] { return on.log.calls > 0; }, kPatienceMs));
  EXPECT_EQ(on.log.threadId, GetCurrentThreadId());
  EXPECT_TRUE(on.port->Close());
  EXPECT_EQ(on.port->SyncWindow(), nullptr);
  EXPECT_FALSE(IsWindow(window));
}

TEST(ComThread, NoSyncDeliversOnTheEventThread) {
  ProvokedPort on(smNone);
  ASSERT_TRUE(WaitUntil([&] { return on.log.calls > 0; }));  // no pumping needed
  EXPECT_EQ(on.log.threadId, on.port->EventThread()->ThreadID());
  EXPECT_NE(on.log.threadId, GetCurrentThreadId());
  EXPECT_TRUE(on.port->Close());
}

TEST(ComThread, CloseDoesNotDeadlockWhileTheThreadWaitsInSynchronize) {
  ProvokedPort on(smThreadSync);
  // Nothing serves synchronised calls now, so the thread blocks in one as soon as the reply arrives.
  ASSERT_TRUE(WaitUntil([] { return WaitForSingleObject(SyncEventHandle(), 0) == WAIT_OBJECT_0; }));
  EXPECT_EQ(on.log.calls, 0);
  EXPECT_TRUE(on.port->Close());  // the watchdog fails the test if this never returns
  EXPECT_FALSE(on.port->Connected());
  EXPECT_LE(on.log.calls, 1);
}

TEST(ComThread, StartsAndStopsWithEveryOpenAndClose) {
  PortOnDevice on;
  PortHolder& port = on.port;
  for (TSyncMethod method : {smThreadSync, smWindowSync, smNone}) {
    port->SetSyncMethod(method);
    for (int i = 0; i < 5; ++i) {
      ASSERT_TRUE(port->Open());
      TComThread* thread = port->EventThread();
      ASSERT_NE(thread, nullptr);
      EXPECT_TRUE(thread->Started());
      EXPECT_EQ(thread->Priority(), tpNormal);
      HANDLE handle = nullptr;
      ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread->Handle(), GetCurrentProcess(), &handle, 0, FALSE,
                                  DUPLICATE_SAME_ACCESS));
      EXPECT_TRUE(port->Close());
      EXPECT_EQ(port->EventThread(), nullptr);
      EXPECT_EQ(WaitForSingleObject(handle, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "thread still running";
      CloseHandle(handle);
    }
  }
}

TEST(ComThread, WithoutModemLinesTheThreadNeitherSpinsNorDies) {
  PortWithoutModemLines on;
  auto& [device, port] = on;
  const DWORD opened = GetTickCount();
  port->Open();
  TComThread* thread = port->EventThread();
  ASSERT_TRUE(WaitUntil([&] { return thread->FailedWaits() >= 2; }));  // it tried again
  // Once at the start, then once every 250 ms at most: however slow the machine, no more tries than the time
  // since the port opened allows (a spinning loop makes thousands in that time). The rate itself is measured by
  // the serial_com_thread_bench program.
  const int tries = thread->FailedWaits();
  EXPECT_LE(tries, 2 + static_cast<int>((GetTickCount() - opened) / 250));
  EXPECT_EQ(thread->LastWaitError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_FALSE(thread->Finished());
  // The port still reads and writes.
  port->WriteStr("z0202;");
  device.Sync();  // the reply is on the line
  EXPECT_EQ(ReadReply(port.port, 40).size(), 20u);
  EXPECT_THROW(port->Close(), EComPort);  // the lines cannot be lowered: message 12, port released
  EXPECT_FALSE(port->Connected());
}

TEST(ComThread, WatchingNoEventTheThreadOnlyWaitsToBeStopped) {
  // Without modem lines every wait on the port fails at once and is counted: watching nothing, none is made.
  PortWithoutModemLines on;
  PortHolder& port = on.port;
  port->SetWatchedEvents({});
  RxLog log;
  log.Attach(port.port);
  port->Open();
  TComThread* thread = port->EventThread();
  ASSERT_NE(thread, nullptr);
  DWORD mask = 1;
  ASSERT_TRUE(GetCommMask(port->Handle(), &mask));
  EXPECT_EQ(mask, 0u);
  EXPECT_EQ(ComErrorCode([&] { port->SetWatchedEvents({evRxChar}); }), 13);
  EXPECT_EQ(ComErrorCode([&] { port->SetWatchedEvents({}); }), -1);  // the same set is no change
  port->WriteStr("z0202;");
  ASSERT_EQ(ReadReply(port.port, 40).size(), 20u);
  CheckSynchronize();
  EXPECT_EQ(log.calls, 0);
  EXPECT_EQ(thread->FailedWaits(), 0);
  EXPECT_FALSE(thread->Finished());
  EXPECT_THROW(port->Close(), EComPort);  // the lines cannot be lowered: message 12, port released
  EXPECT_EQ(port->EventThread(), nullptr);
  port->SetWatchedEvents({evRxChar});  // closed: taken
  EXPECT_EQ(port->WatchedEvents(), TComEvents{evRxChar});
}

TEST(ComThread, SyncWindowCallsOnlyTheHandlerOfTheEventInWParam) {
  PortOnDevice on;
  PortHolder& port = on.port;
  port->SetSyncMethod(smWindowSync);
  std::vector<std::string> calls;
  port->OnRLSDChange = [&](TObject* sender, bool state) {
    EXPECT_EQ(sender, port.port);
    calls.push_back(std::string("RLSD ") + (state ? "on" : "off"));
  };
  port->OnCTSChange = [&](TObject*, bool state) { calls.push_back(std::string("CTS ") + (state ? "on" : "off")); };
  port->OnRing = [&](TObject*) { calls.push_back("Ring"); };
  port->Open();
  HWND window = port->SyncWindow();
  SendMessageA(window, CM_COMPORTEVENT, EV_RLSD, 0);
  EXPECT_EQ(calls, std::vector<std::string>{"RLSD on"});  // the shim's DCD is asserted
  calls.clear();
  SendMessageA(window, CM_COMPORTEVENT, EV_CTS, 0);
  SendMessageA(window, CM_COMPORTEVENT, EV_RING, 0);
  SendMessageA(window, CM_COMPORTEVENT, EV_TXEMPTY, 0);  // no handler assigned: nothing
  EXPECT_EQ(calls, (std::vector<std::string>{"CTS on", "Ring"}));
  port->Close();
}

TEST(ComThread, RxCharWithAnEmptyQueueCallsNoHandler) {
  PortOnDevice on;
  PortHolder& port = on.port;
  std::vector<int> counts;
  port->SetSyncMethod(smWindowSync);  // delivery only when we pump; the direct calls below are ours
  port->OnRxChar = [&](TObject*, int count) { counts.push_back(count); };
  port->Open();
  port->HandleEvent(evRxChar);
  EXPECT_TRUE(counts.empty());
  port->WriteStr("z0202;");
  ASSERT_TRUE(WaitUntil([&] { return port->InputCount() >= 20; }));
  port->HandleEvent(evRxChar);
  EXPECT_EQ(counts, std::vector<int>{20});
  std::vector<std::string> errors;
  port->OnError = [&](TObject*, TComErrors) { errors.push_back("error"); };
  port->HandleEvent(evError);  // no line errors: no call
  EXPECT_TRUE(errors.empty());
  port->OnRxChar = nullptr;
  port->Close();
}

std::vector<std::string>* g_handled = nullptr;
void RecordException(const std::exception& e) {
  if (g_handled) g_handled->push_back(e.what());
}

TEST(ComThread, HandlerFailureIsReportedAndTheThreadGoesOn) {
  PortOnDevice on;
  PortHolder& port = on.port;
  std::vector<std::string> handled;
  g_handled = &handled;
  const TExceptionHook saved = HandleExceptionHook;
  HandleExceptionHook = &RecordException;
  int calls = 0;
  port->OnRxChar = [&](TObject* sender, int) {
    ++calls;
    std::string drained;
    static_cast<TBComPort*>(sender)->ReadStr(drained, 100);
    throw EComPort(10);
  };
  OpenAndProvoke(port.port, smThreadSync);
  const bool first = ServeUntil([&] { return !handled.empty(); });
  port->WriteStr("z0202;");
  const bool second = ServeUntil([&] { return handled.size() >= 2; });
  port->Close();
  HandleExceptionHook = saved;
  g_handled = nullptr;
  ASSERT_TRUE(first);
  EXPECT_TRUE(second) << "the event thread stopped delivering after a handler failed";
  EXPECT_EQ(handled[0], ComErrorMessage(10));
  EXPECT_GE(calls, 2);
}

}  // namespace
