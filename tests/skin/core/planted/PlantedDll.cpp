// A DLL that only shows that it ran. The engine's tests place it beside their program under the name of a
// system DLL whose words the library reads, to see that the library never loads it from there.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD Reason, LPVOID) {
  if (Reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableA("KRL_PLANTED_DLL_RAN", "1");
  return TRUE;
}
