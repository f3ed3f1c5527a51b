#pragma once
// Counted GDI object wrappers.
//
// Every font, brush, pen, bitmap, device context, region and icon the framework (and the library built on it)
// creates goes through these functions, so a leak test can compare the counts before and after a piece of work.
// GetGuiResources is unreliable under Wine, which is why the layer keeps its own counts.

#include <windows.h>

#include <string>

enum TGdiObjectKind { gkFont, gkBrush, gkPen, gkBitmap, gkDC, gkRegion, gkIcon, gkKindCount };

struct TGdiObjectCounts {
  int Counts[gkKindCount] = {};

  int operator[](TGdiObjectKind Kind) const { return Counts[Kind]; }
  bool operator==(const TGdiObjectCounts& Other) const;
  bool operator!=(const TGdiObjectCounts& Other) const { return !(*this == Other); }
  // "fonts 3, brushes 0, ..." for test failure messages.
  std::string ToString() const;
};

// Objects currently alive per kind (created minus destroyed through the wrappers below).
TGdiObjectCounts GdiObjectCounts();
int GdiObjectCount(TGdiObjectKind Kind);

// Bookkeeping for handles made or freed by other means (a handle taken over from Windows, one handed out
// to Windows which will free it).
void GdiCountCreated(TGdiObjectKind Kind);
void GdiCountDestroyed(TGdiObjectKind Kind);

// Creation. A null result is not counted; callers raise on it.
HFONT GdiNewFont(const LOGFONTA& Font);
HBRUSH GdiNewSolidBrush(COLORREF Color);
HBRUSH GdiNewBrush(const LOGBRUSH& Brush);
HBRUSH GdiNewPatternBrush(HBITMAP Pattern);
HPEN GdiNewPen(int Style, int Width, COLORREF Color);
HBITMAP GdiNewDIBSection(HDC DC, const BITMAPINFO* Info, UINT Usage, void** Bits);
HBITMAP GdiNewCompatibleBitmap(HDC DC, int Width, int Height);
HBITMAP GdiNewBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);
HRGN GdiNewRectRgn(int Left, int Top, int Right, int Bottom);
HRGN GdiNewRoundRectRgn(int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight);
HRGN GdiNewEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN GdiNewPolygonRgn(const POINT* Points, int Count, int FillMode);

// Deletes a font, brush, pen, bitmap or region, counted by the kind GDI reports for it. Returns the
// DeleteObject result; a null handle is ignored (true).
bool GdiFreeObject(HGDIOBJ Object);

// Device contexts: memory DCs are deleted, window DCs released.
HDC GdiNewMemoryDC(HDC Reference);
bool GdiFreeMemoryDC(HDC DC);
HDC GdiGetDC(HWND Window);
HDC GdiGetWindowDC(HWND Window);
HDC GdiGetDCEx(HWND Window, HRGN Clip, DWORD Flags);
bool GdiReleaseDC(HWND Window, HDC DC);

// Icons (and cursors made from icon data).
HICON GdiNewIconIndirect(ICONINFO* Info);
HICON GdiNewIconFromResource(BYTE* Bits, DWORD Size, BOOL Icon, int Width, int Height);
HICON GdiCopyIcon(HICON Icon);
// LoadImageA without LR_SHARED: the result is ours to destroy. Size 0 x 0 is the system icon size.
HICON GdiLoadIcon(HINSTANCE Instance, const char* Name, int Width, int Height);
bool GdiFreeIcon(HICON Icon);
