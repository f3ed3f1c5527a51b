// A window property this library sets on windows of its own process ("VKSDATA", "VKSBSC"), mirrored in a
// table here: the lookups run on nearly every message, and under Wine each GetPropA is a round trip to the
// window server. The property itself is still set and removed, for other code that reads it.
#pragma once
#include <windows.h>

#include <mutex>
#include <unordered_map>

class TWinControl;

class TvkWindowProps {
public:
  explicit TvkWindowProps(const char* Name) : FName(Name) {}
  // SetPropA and the table.
  void Set(HWND Wnd, void* Value);
  // What GetPropA (Wnd, Name) answers for a window of this process that only this table sets; nil for a window
  // that is gone, of another process, or that took over the handle of one that is gone.
  void* Get(HWND Wnd);
  // RemovePropA (while the window lives) and the table, when the window holds Value (any value: nil).
  void Remove(HWND Wnd, void* Value = nullptr);
  // Value is being freed: no window keeps it.
  void Forget(void* Value);

private:
  struct TEntry {
    void* Value;
    TWinControl* Control;  // the framework's control of the window when it was set (nil: not a framework window)
  };
  void* Confirmed(HWND Wnd, const TEntry& Entry);

  const char* FName;
  std::mutex FLock;
  std::unordered_map<HWND, TEntry> FEntries;
};

// "VKSDATA": a window's skin data.
TvkWindowProps& SkinDataProps();
// "VKSBSC": a window's scroll adapter.
TvkWindowProps& ScrollAdapterProps();
