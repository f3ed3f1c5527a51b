#include <atomic>
#include <deque>
#include <mutex>

#include "framework/Classes.h"
#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TThread)
IMPLEMENT_CLASS(TCriticalSection)

std::function<void()> WakeMainThreadHook;

namespace {
struct SyncItem {
  const TThreadMethod* method;
  std::exception_ptr error;
  HANDLE done;
};

struct SyncQueue {
  std::mutex lock;
  std::deque<SyncItem*> items;
  // Manual reset: set while items are queued.
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // Follows the event (both change under the lock), so that a pump with nothing queued, which is nearly
  // every pump, asks the system for nothing.
  std::atomic<bool> queued{false};
};
// Never destroyed: a thread may still queue while the process exits.
SyncQueue& Queue() {
  static SyncQueue* q = new SyncQueue;
  return *q;
}

int ToWindowsPriority(TThreadPriority p) {
  static const int map[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL,
                            THREAD_PRIORITY_NORMAL,       THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                            THREAD_PRIORITY_TIME_CRITICAL};
  return map[p];
}
}  // namespace

HANDLE SyncEventHandle() { return Queue().event; }

bool CheckSynchronize(DWORD timeoutMs) {
  if (GetCurrentThreadId() != MainThreadID)
    throw EThread("CheckSynchronize called from a thread that is not the user-interface thread");
  SyncQueue& q = Queue();
  if (timeoutMs) WaitForSingleObject(q.event, timeoutMs);
  // A call queued after this look leaves the flag and the event set: the next pump serves it.
  if (!q.queued.load(std::memory_order_acquire)) return false;
  bool ran = false;
  for (;;) {
    SyncItem* item;
    {
      std::lock_guard<std::mutex> g(q.lock);
      if (q.items.empty()) {
        q.queued.store(false, std::memory_order_relaxed);
        ResetEvent(q.event);
        return ran;
      }
      item = q.items.front();
      q.items.pop_front();
    }
    ran = true;
    try {
      (*item->method)();
    } catch (...) {
      item->error = std::current_exception();
    }
    SetEvent(item->done);
  }
}

void TThread::Synchronize(const TThreadMethod& method) {
  if (GetCurrentThreadId() == MainThreadID) {
    method();
    return;
  }
  SyncItem item{&method, nullptr, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  if (!item.done) RaiseLastOSError();
  SyncQueue& q = Queue();
  {
    std::lock_guard<std::mutex> g(q.lock);
    q.items.push_back(&item);
    q.queued.store(true, std::memory_order_release);
    SetEvent(q.event);
  }
  if (WakeMainThreadHook) {
    // The item is queued and refers to this frame: whatever the hook does, wait for it to be run.
    try {
      WakeMainThreadHook();
    } catch (...) {
      HandleCurrentException();
    }
  }
  WaitForSingleObject(item.done, INFINITE);
  CloseHandle(item.done);
  if (item.error) std::rethrow_exception(item.error);
}

TThread::TThread(bool createSuspended) : createSuspended_(createSuspended) {}

TThread::~TThread() {
  if (handle_) CloseHandle(handle_);
}

void TThread::AfterConstruction() {
  if (!createSuspended_) Start();
}

void TThread::BeforeDestruction() {
  if (!handle_ || GetCurrentThreadId() == threadId_) return;  // never started, or freeing itself
  Terminate();
  // Also when Execute is over: the thread may still be in its synchronised OnTerminate.
  WaitFor();
}

void TThread::Start() {
  if (handle_) throw EThread("Thread already started");
  handle_ = CreateThread(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &threadId_);
  if (!handle_) RaiseLastOSError();
  if (priority_ != tpNormal) SetThreadPriority(handle_, ToWindowsPriority(priority_));
  ResumeThread(handle_);
}

void TThread::SetPriority(TThreadPriority p) {
  priority_ = p;
  if (handle_) SetThreadPriority(handle_, ToWindowsPriority(p));
}

DWORD WINAPI TThread::ThreadProc(void* param) {
  // Nothing may unwind out of here: it is called by the system.
  auto* self = static_cast<TThread*>(param);
  try {
    if (!self->terminated_) self->Execute();
  } catch (...) {
    self->fatalPtr_ = std::current_exception();
    try {
      std::rethrow_exception(self->fatalPtr_);
    } catch (const std::exception& e) {
      self->fatal_ = &e;  // the exception object lives as long as fatalPtr_
    } catch (...) {
    }
  }
  const bool freeThread = self->freeOnTerminate_;
  const int result = self->returnValue_;
  self->finished_ = true;
  try {
    self->DoTerminate();
  } catch (...) {
    HandleCurrentException();
  }
  if (freeThread) {
    try {
      self->Free();
    } catch (...) {
      HandleCurrentException();
    }
  }
  return static_cast<DWORD>(result);
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor() {
  if (!handle_) throw EThread("Cannot wait for a thread that was never started");
  if (GetCurrentThreadId() == threadId_) throw EThread("A thread cannot wait for itself");
  if (GetCurrentThreadId() == MainThreadID) {
    // Keep serving Synchronize calls and sent messages, or a thread blocked in either never ends.
    HANDLE handles[2] = {handle_, SyncEventHandle()};
    for (;;) {
      // MWMO_INPUTAVAILABLE: a message sent before the wait began also wakes it.
      const DWORD r = MsgWaitForMultipleObjectsEx(2, handles, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
      if (r == WAIT_OBJECT_0) break;
      if (r == WAIT_OBJECT_0 + 1) {
        CheckSynchronize();
      } else if (r == WAIT_OBJECT_0 + 2) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
      } else {
        RaiseLastOSError();
      }
    }
  } else {
    WaitForSingleObject(handle_, INFINITE);
  }
  DWORD code = 0;
  GetExitCodeThread(handle_, &code);
  return static_cast<int>(code);
}
