#include "framework/GraphicsGdi.h"

#include <atomic>

namespace {

std::atomic<int> LiveObjects[gkKindCount];

// GDI hands out stock objects for some requests (a BS_NULL brush, a PS_NULL pen); those are nobody's to delete.
bool IsStockObject(HGDIOBJ Object) {
  for (int Stock = WHITE_BRUSH; Stock <= DC_PEN; ++Stock)
    if (GetStockObject(Stock) == Object) return true;
  return false;
}

template <typename H>
H Counted(H Handle, TGdiObjectKind Kind) {
  if (Handle && !IsStockObject(Handle)) LiveObjects[Kind].fetch_add(1, std::memory_order_relaxed);
  return Handle;
}

const char* const KindNames[gkKindCount] = {"fonts", "brushes", "pens", "bitmaps", "DCs", "regions", "icons"};

}  // namespace

bool TGdiObjectCounts::operator==(const TGdiObjectCounts& Other) const {
  for (int i = 0; i < gkKindCount; ++i)
    if (Counts[i] != Other.Counts[i]) return false;
  return true;
}

std::string TGdiObjectCounts::ToString() const {
  std::string Text;
  for (int i = 0; i < gkKindCount; ++i) {
    if (i) Text += ", ";
    Text += KindNames[i];
    Text += ' ';
    Text += std::to_string(Counts[i]);
  }
  return Text;
}

TGdiObjectCounts GdiObjectCounts() {
  TGdiObjectCounts Result;
  for (int i = 0; i < gkKindCount; ++i) Result.Counts[i] = LiveObjects[i].load(std::memory_order_relaxed);
  return Result;
}

int GdiObjectCount(TGdiObjectKind Kind) { return LiveObjects[Kind].load(std::memory_order_relaxed); }

void GdiCountCreated(TGdiObjectKind Kind) { LiveObjects[Kind].fetch_add(1, std::memory_order_relaxed); }
void GdiCountDestroyed(TGdiObjectKind Kind) { LiveObjects[Kind].fetch_sub(1, std::memory_order_relaxed); }

HFONT GdiNewFont(const LOGFONTA& Font) { return Counted(CreateFontIndirectA(&Font), gkFont); }
HBRUSH GdiNewSolidBrush(COLORREF Color) { return Counted(CreateSolidBrush(Color), gkBrush); }
HBRUSH GdiNewBrush(const LOGBRUSH& Brush) { return Counted(CreateBrushIndirect(&Brush), gkBrush); }
HBRUSH GdiNewPatternBrush(HBITMAP Pattern) { return Counted(CreatePatternBrush(Pattern), gkBrush); }
HPEN GdiNewPen(int Style, int Width, COLORREF Color) { return Counted(CreatePen(Style, Width, Color), gkPen); }

HBITMAP GdiNewDIBSection(HDC DC, const BITMAPINFO* Info, UINT Usage, void** Bits) {
  return Counted(CreateDIBSection(DC, Info, Usage, Bits, nullptr, 0), gkBitmap);
}
HBITMAP GdiNewCompatibleBitmap(HDC DC, int Width, int Height) {
  return Counted(CreateCompatibleBitmap(DC, Width, Height), gkBitmap);
}
HBITMAP GdiNewBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits) {
  return Counted(CreateBitmap(Width, Height, Planes, BitsPerPixel, Bits), gkBitmap);
}

HRGN GdiNewRectRgn(int Left, int Top, int Right, int Bottom) {
  return Counted(CreateRectRgn(Left, Top, Right, Bottom), gkRegion);
}
HRGN GdiNewRoundRectRgn(int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight) {
  return Counted(CreateRoundRectRgn(Left, Top, Right, Bottom, EllipseWidth, EllipseHeight), gkRegion);
}
HRGN GdiNewEllipticRgn(int Left, int Top, int Right, int Bottom) {
  return Counted(CreateEllipticRgn(Left, Top, Right, Bottom), gkRegion);
}
HRGN GdiNewPolygonRgn(const POINT* Points, int Count, int FillMode) {
  return Counted(CreatePolygonRgn(Points, Count, FillMode), gkRegion);
}

bool GdiFreeObject(HGDIOBJ Object) {
  if (!Object) return true;
  // Stock objects were never counted; deleting one is a no-op for GDI as well.
  if (IsStockObject(Object)) return true;
  TGdiObjectKind Kind;
  switch (GetObjectType(Object)) {
    case OBJ_FONT: Kind = gkFont; break;
    case OBJ_BRUSH: Kind = gkBrush; break;
    case OBJ_PEN:
    case OBJ_EXTPEN: Kind = gkPen; break;
    case OBJ_BITMAP: Kind = gkBitmap; break;
    case OBJ_REGION: Kind = gkRegion; break;
    default: return DeleteObject(Object) != FALSE;  // not a kind we count (or already gone)
  }
  if (!DeleteObject(Object)) return false;
  GdiCountDestroyed(Kind);
  return true;
}

HDC GdiNewMemoryDC(HDC Reference) { return Counted(CreateCompatibleDC(Reference), gkDC); }
bool GdiFreeMemoryDC(HDC DC) {
  if (!DC) return true;
  if (!DeleteDC(DC)) return false;
  GdiCountDestroyed(gkDC);
  return true;
}
HDC GdiGetDC(HWND Window) { return Counted(GetDC(Window), gkDC); }
HDC GdiGetWindowDC(HWND Window) { return Counted(GetWindowDC(Window), gkDC); }
HDC GdiGetDCEx(HWND Window, HRGN Clip, DWORD Flags) { return Counted(GetDCEx(Window, Clip, Flags), gkDC); }
bool GdiReleaseDC(HWND Window, HDC DC) {
  if (!DC) return true;
  if (!ReleaseDC(Window, DC)) return false;
  GdiCountDestroyed(gkDC);
  return true;
}

HICON GdiNewIconIndirect(ICONINFO* Info) { return Counted(CreateIconIndirect(Info), gkIcon); }
HICON GdiNewIconFromResource(BYTE* Bits, DWORD Size, BOOL Icon, int Width, int Height) {
  return Counted(CreateIconFromResourceEx(Bits, Size, Icon, 0x00030000, Width, Height, LR_DEFAULTCOLOR), gkIcon);
}
HICON GdiCopyIcon(HICON Icon) { return Counted(CopyIcon(Icon), gkIcon); }
HICON GdiLoadIcon(HINSTANCE Instance, const char* Name, int Width, int Height) {
  const UINT Flags = LR_DEFAULTCOLOR | (Width == 0 && Height == 0 ? LR_DEFAULTSIZE : 0);
  return Counted(static_cast<HICON>(LoadImageA(Instance, Name, IMAGE_ICON, Width, Height, Flags)), gkIcon);
}
bool GdiFreeIcon(HICON Icon) {
  if (!Icon) return true;
  if (!DestroyIcon(Icon)) return false;
  GdiCountDestroyed(gkIcon);
  return true;
}
