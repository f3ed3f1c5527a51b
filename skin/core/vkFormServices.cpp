#include "skin/core/vkFormServices.h"

#include "framework/Platform.h"

TvkFormServices FormServices;
bool SkinnedMenuShowing = false;

namespace {
int g_CbtCalls = 0;
}

LRESULT CALLBACK CountingCbtHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  ++g_CbtCalls;
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

int CountingCbtHookCalls() { return g_CbtCalls; }

TLateBound<HRESULT WINAPI(BOOL*)>& DwmIsCompositionEnabledEntry() {
  static TLateBound<HRESULT WINAPI(BOOL*)> E("DWMAPI.DLL", "DwmIsCompositionEnabled");
  return E;
}

namespace {

enum class TComposition { Unknown, Off, On };
TComposition g_Composition = TComposition::Unknown;

bool AskComposition() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  if (!Platform().GetVersionExA(&Info) || Info.dwMajorVersion < 6) return false;
  auto* Entry = DwmIsCompositionEnabledEntry().Get();
  BOOL Enabled = FALSE;
  return Entry != nullptr && SUCCEEDED(Entry(&Enabled)) && Enabled;
}

}  // namespace

bool IsDwmCompositionActive() {
  static const bool HookAdded = [] {
    // A platform reset (tests) forgets the kept answer.
    AddResetHook([] { g_Composition = TComposition::Unknown; });
    return true;
  }();
  (void)HookAdded;
  if (g_Composition == TComposition::Unknown) g_Composition = AskComposition() ? TComposition::On : TComposition::Off;
  return g_Composition == TComposition::On;
}

// The adapters' table lives beside the form skinner's: both are filled by the later subsystems.
#include "skin/core/vkAdapterServices.h"
TvkAdapterServices AdapterServices;
