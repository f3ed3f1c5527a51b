#include "skin/graphics/ToolkitStartup.h"

#include "framework/LateBinding.h"
#include "skin/graphics/SmallDrawing.h"

namespace {

TToolkitEntries g_entries;
HMODULE g_gdi32 = nullptr;
HMODULE g_user32 = nullptr;
int g_startCount = 0;

template <class F> void Bind(F& Entry, HMODULE Module, const char* Name) {
  Entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Module, Name)));
}

}  // namespace

TToolkitEntries& ToolkitEntries() { return g_entries; }

void ToolkitStartup() {
  if (g_startCount++ > 0) return;
  g_gdi32 = LoadSystemLibrary("gdi32.dll");
  if (g_gdi32) {
    Bind(g_entries.SetLayout, g_gdi32, "SetLayout");
    Bind(g_entries.GetLayout, g_gdi32, "GetLayout");
  }
  if (!g_entries.UpdateLayeredWindow) {
    g_user32 = LoadSystemLibrary("user32.dll");
    if (g_user32) {
      Bind(g_entries.UpdateLayeredWindow, g_user32, "UpdateLayeredWindow");
      Bind(g_entries.SetLayeredWindowAttributes, g_user32, "SetLayeredWindowAttributes");
    }
  }
  MeasureCheckBoxCells();
}

void ToolkitShutdown() {
  if (g_startCount == 0 || --g_startCount > 0) return;
  g_entries = TToolkitEntries();
  if (g_gdi32) FreeLibrary(g_gdi32);
  if (g_user32) FreeLibrary(g_user32);
  g_gdi32 = g_user32 = nullptr;
}

bool HasLayeredWindowApi() { return g_entries.UpdateLayeredWindow != nullptr; }

void ApplyDCLayout(HDC DC, DWORD Layout) {
  if (g_entries.SetLayout) g_entries.SetLayout(DC, Layout);
}

DWORD QueryDCLayout(HDC DC) { return g_entries.GetLayout ? g_entries.GetLayout(DC) : 0; }

void DrawBevelBorder(HDC DC, TRect& Rect, uint32_t LightColor, int& Width, uint32_t DarkColor) {
  HPEN light = GdiNewPen(PS_SOLID, 1, ColorToRGB(LightColor));
  HPEN dark = GdiNewPen(PS_SOLID, 1, DarkColor);
  HGDIOBJ oldPen = SelectObject(DC, light);
  HGDIOBJ oldBrush = SelectObject(DC, GetStockObject(NULL_BRUSH));
  --Rect.Right;
  --Rect.Bottom;
  while (Width > 0) {
    --Width;
    const POINT lightLine[3] = {{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}};
    SelectObject(DC, light);
    Polyline(DC, lightLine, 3);
    const POINT darkLine[3] = {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}};
    SelectObject(DC, dark);
    Polyline(DC, darkLine, 3);
    ++Rect.Left;
    ++Rect.Top;
    --Rect.Right;
    --Rect.Bottom;
  }
  ++Rect.Right;
  ++Rect.Bottom;
  SelectObject(DC, oldPen);
  SelectObject(DC, oldBrush);
  GdiFreeObject(light);
  GdiFreeObject(dark);
  Width = 0;
}

void PaintDottedRectFrame(TCanvas* Canvas, const TRect& Rect, uint32_t Color1, uint32_t Color2) {
  const int w = Rect.Width() / 2, h = Rect.Height() / 2;
  const int right = Rect.Right - 1, bottom = Rect.Bottom - 1;
  // The dots start one pixel in and would reach one pixel past an even-sized rectangle.
  auto put = [&](int x, int y, uint32_t color) {
    if (color == 0x1FFFFFFF || x < Rect.Left || x > right || y < Rect.Top || y > bottom) return;
    Canvas->SetPixels(x, y, color);
  };
  for (int i = w; i >= 1; --i) {
    put(Rect.Left + 2 * i, Rect.Top, Color2);
    put(Rect.Left + 2 * i, bottom, Color2);
    put(Rect.Left + 2 * i - 1, Rect.Top, Color1);
    put(Rect.Left + 2 * i - 1, bottom, Color1);
  }
  for (int i = h; i >= 1; --i) {
    put(Rect.Left, Rect.Top + 2 * i, Color2);
    put(right, Rect.Top + 2 * i, Color2);
    put(Rect.Left, Rect.Top + 2 * i - 1, Color1);
    put(right, Rect.Top + 2 * i - 1, Color1);
  }
}
