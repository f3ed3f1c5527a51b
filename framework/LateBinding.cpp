#include "framework/LateBinding.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "framework/Platform.h"
#include "framework/SysUtils.h"

namespace {
struct Registry {
  std::recursive_mutex lock;
  std::vector<TLateBoundEntry*> entries;
  std::map<std::string, HMODULE> libraries;  // by upper-cased name; null = tried and missing
  int resetHook = 0;
};
// Never destroyed: late-bound entries in other objects may outlive static destruction order.
Registry& Reg() {
  static Registry* r = new Registry;
  return *r;
}
}  // namespace

TLateBoundEntry::TLateBoundEntry(const char* dll, const char* name) : dll_(dll), name_(name) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> g(r.lock);
  r.entries.push_back(this);
  if (!r.resetHook)
    r.resetHook = AddResetHook([] {
      Registry& reg = Reg();
      std::lock_guard<std::recursive_mutex> gg(reg.lock);
      for (TLateBoundEntry* e : reg.entries) e->Reset();
    });
}

TLateBoundEntry::~TLateBoundEntry() {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> g(r.lock);
  r.entries.erase(std::remove(r.entries.begin(), r.entries.end(), this), r.entries.end());
}

FARPROC TLateBoundEntry::Address() {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> g(r.lock);
  if (state_ == Unresolved) {
    HMODULE lib = LateBoundLibrary(dll_);
    address_ = lib ? GetProcAddress(lib, name_) : nullptr;
    state_ = Resolved;
  }
  return address_;
}

void TLateBoundEntry::ReplaceAddress(FARPROC fn) {
  std::lock_guard<std::recursive_mutex> g(Reg().lock);
  address_ = fn;
  state_ = Replaced;
}

void TLateBoundEntry::Reset() {
  std::lock_guard<std::recursive_mutex> g(Reg().lock);
  address_ = nullptr;
  state_ = Unresolved;
}

HMODULE LoadSystemLibrary(const char* Name) {
  // Systems that know the search flags take the DLL and its imports from the system folder alone.
  HMODULE Lib = LoadLibraryExA(Name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (Lib != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return Lib;
  // Older ones: the full path, its imports looked for in its own folder first.
  char Folder[MAX_PATH];
  const UINT Length = GetSystemDirectoryA(Folder, MAX_PATH);
  if (Length == 0 || Length >= MAX_PATH) return nullptr;
  return LoadLibraryExA((std::string(Folder) + "\\" + Name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LateBoundLibrary(const std::string& dll) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> g(r.lock);
  const std::string key = UpperCase(dll);
  auto it = r.libraries.find(key);
  if (it != r.libraries.end()) return it->second;
  HMODULE lib = LoadSystemLibrary(dll.c_str());
  r.libraries[key] = lib;
  return lib;
}

void FreeLateBoundLibraries() {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> g(r.lock);
  for (TLateBoundEntry* e : r.entries) e->Reset();
  for (auto& lib : r.libraries)
    if (lib.second) FreeLibrary(lib.second);
  r.libraries.clear();
}
