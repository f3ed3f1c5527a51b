#pragma once
// Visual-style state of the process: whether the theme library loads and whether themes are in use
// (the theme is active, the application is themed, and the common controls are version 6 or later),
// and drawing of themed elements. The state is read once and again on WM_THEMECHANGED; tests can force it
// either way.
//
// The program's manifest (and that of the test programs that meet themed branches) asks for common
// controls 6: without it the system's controls never draw themed and the themed branches stay dead.

#include <windows.h>
#include <uxtheme.h>

#include "framework/LateBinding.h"

// A push button's element by state.
enum TThemedButton {
  tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled, tbPushButtonDefaulted
};

// One element of a theme class: the part and state the theme library draws.
struct TThemedElementDetails {
  int Part = 0;
  int State = 0;
};

// The theme library's drawing entries, bound late; tests replace them (ResetPlatform restores them).
struct TThemeEntries {
  TLateBound<HTHEME WINAPI(HWND, LPCWSTR)> OpenThemeData{"uxtheme.dll", "OpenThemeData"};
  TLateBound<HRESULT WINAPI(HTHEME)> CloseThemeData{"uxtheme.dll", "CloseThemeData"};
  TLateBound<HRESULT WINAPI(HTHEME, HDC, int, int, const RECT*, const RECT*)> DrawThemeBackground{
      "uxtheme.dll", "DrawThemeBackground"};
  TLateBound<HRESULT WINAPI(HTHEME, HDC, int, int, const RECT*, RECT*)> GetThemeBackgroundContentRect{
      "uxtheme.dll", "GetThemeBackgroundContentRect"};
  TLateBound<HRESULT WINAPI(HWND, HDC, RECT*)> DrawThemeParentBackground{"uxtheme.dll", "DrawThemeParentBackground"};
  TLateBound<BOOL WINAPI(HTHEME, int, int)> IsThemeBackgroundPartiallyTransparent{
      "uxtheme.dll", "IsThemeBackgroundPartiallyTransparent"};
};
TThemeEntries& ThemeEntries();

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

  TThemedElementDetails GetElementDetails(TThemedButton Detail) const;
  // Draws the element into R (clipped to ClipRect when given). Without themes nothing is drawn.
  void DrawElement(HDC DC, const TThemedElementDetails& Details, const RECT& R, const RECT* ClipRect = nullptr);
  // Paints Window's parent into DC under Bounds (Window's client area when null), as it shows through a
  // partly transparent element; with OnlyIfTransparent only when Details' element is partly transparent.
  void DrawParentBackground(HWND Window, HDC DC, const TThemedElementDetails* Details, bool OnlyIfTransparent,
                            const RECT* Bounds = nullptr);
  // Where an element's content goes inside BoundingRect (BoundingRect itself without themes).
  RECT ContentRect(HDC DC, const TThemedElementDetails& Details, const RECT& BoundingRect);

private:
  void Load();
  void Unload();
  // The "BUTTON" theme class, opened on first use; null without themes.
  HTHEME ButtonTheme();
  HTHEME FButtonTheme = nullptr;
  void* FLibrary = nullptr;
  bool FAvailable = false;
  bool FEnabled = false;
  int FForced = -1;
};

// The process's theme services (made on first use).
TThemeServices* ThemeServices();
// The major version of comctl32 the process loaded (5 without a manifest asking for 6).
int CommonControlsVersion();
// The system's themed common controls are in use: Windows 5.1 or later (the version seam) with themes.
bool ThemedCommonControlsInUse();
