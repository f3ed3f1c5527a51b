// What runs before the program's own code: the DLL search kept in the system folder, and the binder of the
// functions of DLLs the program does not import at start. Linked into the program and into the benchmarks that
// time it, so that they load what it loads when it loads it.
#include "framework/LateBinding.h"

#include <windows.h>

#include <string>

namespace {

// Before anything else runs: no DLL is ever looked for beside the program, in the current folder or on the path.
__attribute__((constructor(101))) void KeepDllSearchInTheSystemFolder() {
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  auto Set = reinterpret_cast<TSetDefaultDllDirectories>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (Set != nullptr) Set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryA("");
}

}  // namespace

// The first call of a function of a DLL the program does not import at start (the link line makes every DLL beyond
// the system's core such) binds it: the DLL from the system folder, the function's address into its slot.
extern "C" FARPROC krl_bind_late_import(FARPROC* Slot, const char* Dll, const char* Name) {
  const HMODULE Lib = LoadSystemLibrary(Dll);
  const FARPROC Address = Lib != nullptr ? GetProcAddress(Lib, Name) : nullptr;
  if (Address == nullptr) {
    const std::string Text = std::string("The system has no ") + Name + " in " + Dll + ".";
    FatalAppExitA(0, Text.c_str());
  }
  *Slot = Address;
  return Address;
}

