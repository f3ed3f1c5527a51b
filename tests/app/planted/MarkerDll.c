/* A DLL that only leaves a mark when it runs: an empty file named after itself with ".ran" added, beside it. The
   program's tests place it beside a copy of the program under the name of every DLL the program loads. It needs
   nothing but kernel32, so it runs under any name. */
#include <windows.h>

BOOL WINAPI MarkerMain(HINSTANCE Instance, DWORD Reason, LPVOID Reserved) {
  (void)Reserved;
  if (Reason == DLL_PROCESS_ATTACH) {
    char Path[MAX_PATH + 8];
    const DWORD Length = GetModuleFileNameA(Instance, Path, MAX_PATH);
    if (Length > 0 && Length < MAX_PATH) {
      lstrcatA(Path, ".ran");
      const HANDLE File = CreateFileA(Path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
      if (File != INVALID_HANDLE_VALUE) CloseHandle(File);
    }
  }
  return TRUE;
}
