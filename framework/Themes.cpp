#include "framework/Themes.h"

#include <windows.h>
#include <shlwapi.h>
#include <vsstyle.h>

#include "framework/LateBinding.h"
#include "framework/Platform.h"

namespace {
using IsThemeActiveFn = BOOL(WINAPI*)();
using IsAppThemedFn = BOOL(WINAPI*)();
}  // namespace

int CommonControlsVersion() {
  // Kept loaded with the late-bound functions: the image lists and controls bind it soon after, and freeing it
  // would take its window classes away only for them to be registered again.
  HMODULE lib = GetModuleHandleA("comctl32.dll");
  if (!lib) lib = LateBoundLibrary("comctl32.dll");
  if (!lib) return 0;
  int major = 4;
  auto get = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(lib, "DllGetVersion")));
  if (get) {
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (SUCCEEDED(get(&info))) major = static_cast<int>(info.dwMajorVersion);
  }
  // Wine's common controls 6 call themselves 5.81: whether the process's manifest redirects comctl32 to the
  // common-controls assembly (only version 6 exists as one) tells.
  ACTCTX_SECTION_KEYED_DATA redirect{};
  redirect.cbSize = sizeof redirect;
  if (major < 6 &&
      FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll", &redirect))
    major = 6;
  return major;
}

TThemeEntries& ThemeEntries() {
  static TThemeEntries* entries = new TThemeEntries();  // lives for the process, like the services
  return *entries;
}

TThemeServices::TThemeServices() {
  Load();
  // A theme opened through a replaced entry is not the library's: forget it.
  AddResetHook([this] {
    FForced = -1;
    FButtonTheme = nullptr;
  });
}

TThemeServices::~TThemeServices() { Unload(); }

void TThemeServices::Load() {
  HMODULE lib = LoadSystemLibrary("uxtheme.dll");
  FLibrary = lib;
  FAvailable = lib != nullptr;
  FEnabled = false;
  if (!lib) return;
  auto active = reinterpret_cast<IsThemeActiveFn>(reinterpret_cast<void*>(GetProcAddress(lib, "IsThemeActive")));
  auto themed = reinterpret_cast<IsAppThemedFn>(reinterpret_cast<void*>(GetProcAddress(lib, "IsAppThemed")));
  FEnabled = active && themed && active() && themed() && CommonControlsVersion() >= 6;
}

void TThemeServices::Unload() {
  if (FButtonTheme)
    if (auto* close = ThemeEntries().CloseThemeData.Get()) close(FButtonTheme);
  FButtonTheme = nullptr;
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

HTHEME TThemeServices::ButtonTheme() {
  if (!ThemesEnabled()) return nullptr;
  if (!FButtonTheme)
    if (auto* open = ThemeEntries().OpenThemeData.Get()) FButtonTheme = open(nullptr, L"BUTTON");
  return FButtonTheme;
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedButton Detail) const {
  static const int kStates[] = {PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED, PBS_DEFAULTED};
  return TThemedElementDetails{BP_PUSHBUTTON, kStates[Detail]};
}

void TThemeServices::DrawElement(HDC DC, const TThemedElementDetails& Details, const RECT& R, const RECT* ClipRect) {
  HTHEME theme = ButtonTheme();
  auto* draw = ThemeEntries().DrawThemeBackground.Get();
  if (theme && draw) draw(theme, DC, Details.Part, Details.State, &R, ClipRect);
}

void TThemeServices::DrawParentBackground(HWND Window, HDC DC, const TThemedElementDetails* Details,
                                          bool OnlyIfTransparent, const RECT* Bounds) {
  HTHEME theme = ButtonTheme();
  auto* draw = ThemeEntries().DrawThemeParentBackground.Get();
  if (!theme || !draw) return;
  if (OnlyIfTransparent && Details) {
    auto* transparent = ThemeEntries().IsThemeBackgroundPartiallyTransparent.Get();
    if (!transparent || !transparent(theme, Details->Part, Details->State)) return;
  }
  RECT r{};
  if (Bounds) r = *Bounds;
  draw(Window, DC, Bounds ? &r : nullptr);
}

RECT TThemeServices::ContentRect(HDC DC, const TThemedElementDetails& Details, const RECT& BoundingRect) {
  HTHEME theme = ButtonTheme();
  auto* content = ThemeEntries().GetThemeBackgroundContentRect.Get();
  RECT r = BoundingRect;
  if (theme && content && FAILED(content(theme, DC, Details.Part, Details.State, &BoundingRect, &r))) r = BoundingRect;
  return r;
}

bool ThemedCommonControlsInUse() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!Platform().GetVersionExA(&info)) return false;
  bool xpOrLater = info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion >= 1);
  return xpOrLater && ThemeServices()->ThemesEnabled();
}
