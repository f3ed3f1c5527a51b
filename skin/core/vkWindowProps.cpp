#include "skin/core/vkWindowProps.h"

#include "framework/Controls.h"

void TvkWindowProps::Set(HWND Wnd, void* Value) {
  std::lock_guard<std::mutex> Lock(FLock);
  // a window that holds the value already (an owner links its window at creation and again when loaded)
  if (auto It = FEntries.find(Wnd); It != FEntries.end() && It->second.Value == Value && Confirmed(Wnd, It->second) == Value)
    return;
  if (Wnd != nullptr && SetPropA(Wnd, FName, Value))
    FEntries[Wnd] = TEntry{Value, FindControl(Wnd)};
  else
    FEntries.erase(Wnd);
}

void* TvkWindowProps::Confirmed(HWND Wnd, const TEntry& Entry) {
  // gone, or the handle is now another process's window
  DWORD Process = 0;
  if (GetWindowThreadProcessId(Wnd, &Process) == 0 || Process != GetCurrentProcessId()) return nullptr;
  // The framework lets go of its window at the window's last message; from then on the handle may name another
  // window of ours, which only the system can tell apart.
  if (FindControl(Wnd) != Entry.Control) return GetPropA(Wnd, FName);
  return Entry.Value;
}

void* TvkWindowProps::Get(HWND Wnd) {
  if (Wnd == nullptr) return nullptr;
  std::lock_guard<std::mutex> Lock(FLock);
  auto It = FEntries.find(Wnd);
  if (It == FEntries.end()) return nullptr;
  void* Value = Confirmed(Wnd, It->second);
  if (Value == nullptr)
    FEntries.erase(It);
  else
    It->second.Value = Value;
  return Value;
}

void TvkWindowProps::Remove(HWND Wnd, void* Value) {
  if (Wnd == nullptr) return;
  std::lock_guard<std::mutex> Lock(FLock);
  auto It = FEntries.find(Wnd);
  const void* Now = It == FEntries.end() ? nullptr : Confirmed(Wnd, It->second);
  if (Value != nullptr && Now != Value) return;
  if (IsWindow(Wnd)) RemovePropA(Wnd, FName);
  if (It != FEntries.end()) FEntries.erase(It);
}

void TvkWindowProps::Forget(void* Value) {
  std::lock_guard<std::mutex> Lock(FLock);
  for (auto It = FEntries.begin(); It != FEntries.end();) {
    if (It->second.Value != Value) {
      ++It;
      continue;
    }
    if (Confirmed(It->first, It->second) == Value) RemovePropA(It->first, FName);
    It = FEntries.erase(It);
  }
}

// Never destroyed: windows still get messages after static destructors ran at exit.
TvkWindowProps& SkinDataProps() {
  static TvkWindowProps& Props = *new TvkWindowProps("VKSDATA");
  return Props;
}

TvkWindowProps& ScrollAdapterProps() {
  static TvkWindowProps& Props = *new TvkWindowProps("VKSBSC");
  return Props;
}
