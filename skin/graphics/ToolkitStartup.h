// Start-up of the graphics toolkit: binds the system functions that older Windows versions lack
// (device-context layout, layered windows) and measures the check-box cells; plus two frame painters.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"

// Entry points bound at start-up (null when the system lacks them); tests clear entries through
// ToolkitEntries() to take the "function missing" branches.
struct TToolkitEntries {
  DWORD(WINAPI* SetLayout)(HDC, DWORD) = nullptr;
  DWORD(WINAPI* GetLayout)(HDC) = nullptr;
  BOOL(WINAPI* UpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD) = nullptr;
  BOOL(WINAPI* SetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD) = nullptr;
};
TToolkitEntries& ToolkitEntries();

// Counted: only the first start and the last end act.
void ToolkitStartup();
void ToolkitShutdown();

bool HasLayeredWindowApi();
void ApplyDCLayout(HDC DC, DWORD Layout);
DWORD QueryDCLayout(HDC DC);

// A bevelled frame, one ring per unit of Width: light on the top and left, dark on the right and
// bottom. Rect comes back shrunk by the rings drawn, Width as 0.
void DrawBevelBorder(HDC DC, TRect& Rect, uint32_t LightColor, int& Width, uint32_t DarkColor);
// A dotted outline of alternating colours; a colour 0x1FFFFFFF is not drawn. Nothing lands outside
// Rect.
void PaintDottedRectFrame(TCanvas* Canvas, const TRect& Rect, uint32_t Color1, uint32_t Color2);
