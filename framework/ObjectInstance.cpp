#include "framework/ObjectInstance.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "framework/Controls.h"
#include "framework/Forms.h"

namespace {

// Each stub moves the return address down and pushes its record, so the bridge is called as
// InstanceBridge(Record, Wnd, Msg, WParam, LParam) and returns straight to the window procedure's caller:
//   58                pop  eax            ; return address
//   68 <record>       push record
//   50                push eax
//   E9 <rel32>        jmp  InstanceBridge
constexpr int kStubSize = 16;
constexpr int kPageSize = 4096;
constexpr int kStubsPerPage = kPageSize / kStubSize;

struct TInstancePage;

struct TInstanceRecord {
  TWndMethod Method;
  HWND Wnd = nullptr;         // the window SubclassWindowWith put the stub on
  WNDPROC Replaced = nullptr;  // the procedure it replaced there
  bool InUse = false;
  bool Forwarding = false;  // freed while a later subclasser still calls it
  TInstancePage* Page = nullptr;
  int Index = 0;
};

struct TInstancePage {
  BYTE* Code = nullptr;
  TInstanceRecord Records[kStubsPerPage];
  int Used = 0;
  TObjectInstance Stub(int i) const { return reinterpret_cast<TObjectInstance>(Code + i * kStubSize); }
};

// Never destroyed: Wine destroys the thread's windows after static destructors ran at exit, and their
// last messages still pass through the stubs.
std::vector<TInstancePage*>& g_pages = *new std::vector<TInstancePage*>;
std::recursive_mutex& g_lock = *new std::recursive_mutex;
int g_live = 0;
int g_forwarders = 0;

LRESULT __stdcall InstanceBridge(TInstanceRecord* r, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

TInstancePage* NewPage() {
  auto* code = static_cast<BYTE*>(VirtualAlloc(nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!code) RaiseLastOSError();
  auto* page = new TInstancePage;
  page->Code = code;
  for (int i = 0; i < kStubsPerPage; ++i) {
    TInstanceRecord* r = &page->Records[i];
    r->Page = page;
    r->Index = i;
    BYTE* s = code + i * kStubSize;
    auto record = reinterpret_cast<uintptr_t>(r);
    auto rel = static_cast<int32_t>(reinterpret_cast<intptr_t>(&InstanceBridge) - reinterpret_cast<intptr_t>(s + 12));
    s[0] = 0x58;
    s[1] = 0x68;
    memcpy(s + 2, &record, 4);
    s[6] = 0x50;
    s[7] = 0xE9;
    memcpy(s + 8, &rel, 4);
    memset(s + 12, 0xCC, kStubSize - 12);
  }
  DWORD old = 0;
  if (!VirtualProtect(code, kPageSize, PAGE_EXECUTE_READ, &old)) {
    DWORD err = GetLastError();
    VirtualFree(code, 0, MEM_RELEASE);
    delete page;
    RaiseLastOSError(err);
  }
  FlushInstructionCache(GetCurrentProcess(), code, kPageSize);
  g_pages.push_back(page);
  return page;
}

void Release(TInstanceRecord* r) {
  if (r->Forwarding) --g_forwarders;
  r->Method = nullptr;
  r->Wnd = nullptr;
  r->Replaced = nullptr;
  r->InUse = false;
  r->Forwarding = false;
  --g_live;
  TInstancePage* page = r->Page;
  if (--page->Used > 0) return;
  g_pages.erase(std::find(g_pages.begin(), g_pages.end(), page));
  VirtualFree(page->Code, 0, MEM_RELEASE);
  delete page;
}

// Forwarders whose window no longer exists are reclaimed.
void SweepForwarders() {
  if (!g_forwarders) return;
  std::vector<TInstanceRecord*> gone;
  for (TInstancePage* page : g_pages)
    for (auto& r : page->Records)
      if (r.InUse && r.Forwarding && !IsWindow(r.Wnd)) gone.push_back(&r);
  for (TInstanceRecord* r : gone) Release(r);
}

TInstanceRecord* RecordOf(TObjectInstance Instance) {
  auto* p = reinterpret_cast<BYTE*>(Instance);
  for (TInstancePage* page : g_pages) {
    if (p < page->Code || p >= page->Code + kPageSize) continue;
    auto offset = p - page->Code;
    if (offset % kStubSize) break;
    TInstanceRecord* r = &page->Records[offset / kStubSize];
    return r->InUse && !r->Forwarding ? r : nullptr;
  }
  return nullptr;
}

LRESULT __stdcall InstanceBridge(TInstanceRecord* r, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (r->Forwarding) {
    WNDPROC next = r->Replaced;
    LRESULT result = CallWindowProcA(next, wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
      std::lock_guard<std::recursive_mutex> guard(g_lock);
      if (r->InUse && r->Forwarding && r->Wnd == wnd) Release(r);
    }
    return result;
  }
  if (FrameworkExiting() || !r->InUse)
    return r->Replaced ? CallWindowProcA(r->Replaced, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
  // A copy: the method may free its own stub while it runs.
  TWndMethod method = r->Method;
  TMessage m{msg, wParam, lParam, 0};
  try {
    method(m);
  } catch (...) {
    HandleCallbackException(nullptr);
  }
  return m.Result;
}

}  // namespace

TObjectInstance MakeObjectInstance(const TWndMethod& Method) {
  if (!Method) throw EInvalidOperation("A window procedure stub needs a method");
  std::lock_guard<std::recursive_mutex> guard(g_lock);
  SweepForwarders();
  TInstancePage* page = nullptr;
  for (TInstancePage* p : g_pages)
    if (p->Used < kStubsPerPage) {
      page = p;
      break;
    }
  if (!page) page = NewPage();
  for (int i = 0; i < kStubsPerPage; ++i) {
    TInstanceRecord& r = page->Records[i];
    if (r.InUse) continue;
    r.Method = Method;
    r.InUse = true;
    ++page->Used;
    ++g_live;
    return page->Stub(i);
  }
  throw EInvalidOperation("Window procedure stub pages are inconsistent");
}

WNDPROC SubclassWindowWith(HWND Wnd, TObjectInstance Instance) {
  std::lock_guard<std::recursive_mutex> guard(g_lock);
  TInstanceRecord* r = RecordOf(Instance);
  if (!r) throw EInvalidPointer("Not a live window procedure stub");
  if (r->Wnd) throw EInvalidOperation("The window procedure stub is already installed on a window");
  SetLastError(0);
  auto old = reinterpret_cast<WNDPROC>(SetWindowLongA(Wnd, GWL_WNDPROC, reinterpret_cast<LONG>(Instance)));
  if (!old && GetLastError()) RaiseLastOSError();
  r->Wnd = Wnd;
  r->Replaced = old;
  return old;
}

void FreeObjectInstance(TObjectInstance Instance) {
  if (!Instance) return;
  std::lock_guard<std::recursive_mutex> guard(g_lock);
  TInstanceRecord* r = RecordOf(Instance);
  if (!r) throw EInvalidPointer("Not a live window procedure stub");
  if (r->Wnd && IsWindow(r->Wnd)) {
    auto current = reinterpret_cast<TObjectInstance>(GetWindowLongA(r->Wnd, GWL_WNDPROC));
    if (current == Instance) {
      SetWindowLongA(r->Wnd, GWL_WNDPROC, reinterpret_cast<LONG>(r->Replaced));
    } else {
      // Someone subclassed the window after us and calls this stub as his old procedure.
      r->Method = nullptr;
      r->Forwarding = true;
      ++g_forwarders;
      return;
    }
  }
  Release(r);
}

int ObjectInstanceCount() {
  std::lock_guard<std::recursive_mutex> guard(g_lock);
  return g_live;
}

int ObjectInstancePageCount() {
  std::lock_guard<std::recursive_mutex> guard(g_lock);
  return static_cast<int>(g_pages.size());
}

int ObjectInstanceForwarderCount() {
  std::lock_guard<std::recursive_mutex> guard(g_lock);
  return g_forwarders;
}
