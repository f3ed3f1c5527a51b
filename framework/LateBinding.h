#pragma once
// Functions of system DLLs bound on first use (LoadSystemLibrary + GetProcAddress, once per entry), so the
// program runs where an entry is missing. Each entry can be replaced by tests (a fake, or nullptr to run
// the caller's "missing" branch); ResetPlatform() restores every entry to its real binding.
//
//   static TLateBound<BOOL WINAPI(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG)> GradientFillEntry("msimg32.dll", "GradientFill");
//   if (auto* fill = GradientFillEntry.Get()) fill(dc, ...); else ...;

#include <windows.h>

#include <string>

class TLateBoundEntry {
public:
  TLateBoundEntry(const char* dll, const char* name);
  ~TLateBoundEntry();
  TLateBoundEntry(const TLateBoundEntry&) = delete;
  TLateBoundEntry& operator=(const TLateBoundEntry&) = delete;

  // The bound address, or null when the DLL or the entry is missing (or a test cleared it).
  FARPROC Address();
  void ReplaceAddress(FARPROC fn);
  // Back to the real binding, resolved again on next use.
  void Reset();
  const char* Dll() const { return dll_; }
  const char* Name() const { return name_; }

private:
  enum State { Unresolved, Resolved, Replaced };
  const char* dll_;
  const char* name_;
  FARPROC address_ = nullptr;
  State state_ = Unresolved;
};

template <class F> class TLateBound : public TLateBoundEntry {
public:
  using TLateBoundEntry::TLateBoundEntry;
  F* Get() { return reinterpret_cast<F*>(reinterpret_cast<void*>(Address())); }
  bool Available() { return Get() != nullptr; }
  void Replace(F* fn) { ReplaceAddress(reinterpret_cast<FARPROC>(reinterpret_cast<void*>(fn))); }
};

// A DLL of the system, taken only from the system folder, and the DLLs it needs from there too: a file of that
// name beside the program (or in the current folder or on the path) never runs. Null when the system lacks it.
HMODULE LoadSystemLibrary(const char* Name);

// The DLL of late-bound entries, loaded once per process from the system folder (null when missing).
HMODULE LateBoundLibrary(const std::string& dll);
// Frees the DLLs loaded for late binding; every entry binds again on next use (unit end).
void FreeLateBoundLibraries();
