#pragma once
// Visual-style state of the process: whether the theme library loads and whether themes are in use
// (the theme is active, the application is themed, and the common controls are version 6 or later).
// The state is read once and again on WM_THEMECHANGED; tests can force it either way.

class TThemeServices {
public:
  TThemeServices();
  ~TThemeServices();
  TThemeServices(const TThemeServices&) = delete;
  TThemeServices& operator=(const TThemeServices&) = delete;

  // The theme library (uxtheme.dll) is there.
  bool ThemesAvailable() const;
  // Themes are drawn: IsThemeActive, IsAppThemed and common controls >= 6.
  bool ThemesEnabled() const;
  // Reads the state again (WM_THEMECHANGED).
  void UpdateThemes();
  // Tests: -1 = the real state, 0 = off, 1 = on. ResetPlatform() returns to -1.
  void ForceThemesEnabled(int State) { FForced = State; }

private:
  void Load();
  void Unload();
  void* FLibrary = nullptr;
  bool FAvailable = false;
  bool FEnabled = false;
  int FForced = -1;
};

// The process's theme services (made on first use).
TThemeServices* ThemeServices();
// The major version of comctl32 the process loaded (5 without a manifest asking for 6).
int CommonControlsVersion();
