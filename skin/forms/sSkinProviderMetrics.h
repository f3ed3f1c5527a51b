// Frame metrics of skinned top-level windows and the desktop-composition wrappers. The engine reaches the first
// ones through its form-services table (GetWindowFrameWidth, GetStdCaptionHeight, ...), which these fill.
#pragma once
#include <windows.h>

class TCustomForm;
class TsSkinManager;
class TvkBorderForm;

// Frame width of a window: the skin's BORDERWIDTH with a border window (UseSkin), else by the window's style.
int vkWindowFrameWidth(HWND Wnd, TvkBorderForm* BorderForm, bool UseSkin);
// 0 with a border window (it draws the frame), else GetWindowFrameWidth.
int GetFrameWidthWithoutBorderWindow(HWND Wnd, TvkBorderForm* BorderForm, bool UseSkin);
// The small caption for tool windows that are not iconic, else the big one (cached; ForgetCaptionHeights
// drops them after the system metrics were read again).
int vkStdCaptionHeight(TCustomForm* Form);
void ForgetCaptionHeights();
int WindowRectWidth(HWND Wnd);
int WindowRectHeight(HWND Wnd);
int ClientRectWidth(HWND Wnd);
int ClientRectHeight(HWND Wnd);
bool WindowHasSizingBorder(HWND Wnd);
bool IsSingleImageMask(int MaskIndex, TsSkinManager* Manager);
// DwmSetWindowAttribute when the system has it, else E_NOTIMPL.
HRESULT CallDwmSetWindowAttribute(HWND Wnd, DWORD Attribute, const void* Data, DWORD Size);
// Transitions force-disabled := Value with desktop composition, else Otherwise.
void SetDwmTransitionsForceDisabled(HWND Wnd, bool Value, int Otherwise);
// Removes from Region (FormWnd's window coordinates) the rectangles of the visible top-level windows above Wnd.
void ExcludeWindowsAbove(HWND Wnd, HRGN Region, HWND FormWnd);
