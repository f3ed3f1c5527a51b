// Program start: the units, the application object, the two forms from their stored descriptions,
// the message loop; then the units finalise in reverse order.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/LateBinding.h"
#include "framework/Units.h"

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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterLoaderUnits();
  InitializeUnits();
  try {
    Application->Initialize();
    Application->SetTitle("KRL Bootloader");
    Application->CreateForm(MainForm);
    Application->CreateForm(FormHelp);
    Application->Run();
  } catch (const std::exception& e) {
    // A form that cannot be built is reported as any other failure, then the program ends.
    Application->ShowException(e);
  }
  FinalizeUnits();
  return 0;
}
