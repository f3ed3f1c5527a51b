#include "framework/Themes.h"

#include <windows.h>
#include <shlwapi.h>

#include "framework/Platform.h"

namespace {
using IsThemeActiveFn = BOOL(WINAPI*)();
using IsAppThemedFn = BOOL(WINAPI*)();
}  // namespace

int CommonControlsVersion() {
  HMODULE lib = GetModuleHandleA("comctl32.dll");
  bool loaded = false;
  if (!lib) {
    lib = LoadLibraryA("comctl32.dll");
    loaded = lib != nullptr;
  }
  if (!lib) return 0;
  int major = 4;
  auto get = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(lib, "DllGetVersion")));
  if (get) {
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (SUCCEEDED(get(&info))) major = static_cast<int>(info.dwMajorVersion);
  }
  if (loaded) FreeLibrary(lib);
  return major;
}

TThemeServices::TThemeServices() {
  Load();
  AddResetHook([this] { FForced = -1; });
}

TThemeServices::~TThemeServices() { Unload(); }

void TThemeServices::Load() {
  HMODULE lib = LoadLibraryA("uxtheme.dll");
  FLibrary = lib;
  FAvailable = lib != nullptr;
  FEnabled = false;
  if (!lib) return;
  auto active = reinterpret_cast<IsThemeActiveFn>(reinterpret_cast<void*>(GetProcAddress(lib, "IsThemeActive")));
  auto themed = reinterpret_cast<IsAppThemedFn>(reinterpret_cast<void*>(GetProcAddress(lib, "IsAppThemed")));
  FEnabled = active && themed && active() && themed() && CommonControlsVersion() >= 6;
}

void TThemeServices::Unload() {
  if (FLibrary) FreeLibrary(static_cast<HMODULE>(FLibrary));
  FLibrary = nullptr;
}

bool TThemeServices::ThemesAvailable() const { return FForced == 1 || FAvailable; }

bool TThemeServices::ThemesEnabled() const {
  if (FForced >= 0) return FForced == 1;
  return FEnabled;
}

void TThemeServices::UpdateThemes() {
  Unload();
  Load();
}

TThemeServices* ThemeServices() {
  static TThemeServices* services = new TThemeServices();  // lives for the process: hooks may ask late
  return services;
}
