#include "skin/controls/sGaugeDraw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"

namespace {

constexpr double kPi = std::numbers::pi;

// GDI objects of one figure, released in reverse.
struct TPenAndBrush {
  HDC DC;
  HGDIOBJ OldPen, OldBrush;
  HPEN Pen;
  HBRUSH Brush;
  TPenAndBrush(HDC ADC, TColor PenColor, TColor BrushColor)
      : DC(ADC), Pen(CreatePen(PS_SOLID, 1, ColorToRGB(PenColor))), Brush(CreateSolidBrush(ColorToRGB(BrushColor))) {
    OldPen = SelectObject(DC, Pen);
    OldBrush = SelectObject(DC, Brush);
  }
  ~TPenAndBrush() {
    SelectObject(DC, OldPen);
    SelectObject(DC, OldBrush);
    DeleteObject(Pen);
    DeleteObject(Brush);
  }
};

void FillArea(HDC DC, const RECT& R, TColor Color) {
  HBRUSH B = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, &R, B);
  DeleteObject(B);
}

using TKindPainter = void (*)(HDC DC, const RECT& R, const TPlainGaugeLook& Look);

void PaintText(HDC DC, const RECT& R, const TPlainGaugeLook& Look) {
  if (Look.Area) FillArea(DC, R, Look.BackColor);
}

void PaintHorizontal(HDC DC, const RECT& R, const TPlainGaugeLook& Look) {
  FillArea(DC, R, Look.BackColor);
  const int Filled = GaugeFilledLength(R.right - R.left, Look.Percent);
  if (Filled > 0) FillArea(DC, RECT{R.left, R.top, R.left + Filled, R.bottom}, Look.ForeColor);
}

void PaintVertical(HDC DC, const RECT& R, const TPlainGaugeLook& Look) {
  FillArea(DC, R, Look.BackColor);
  const int Filled = GaugeFilledLength(R.bottom - R.top, Look.Percent);
  if (Filled > 0) FillArea(DC, RECT{R.left, R.bottom - Filled, R.right, R.bottom}, Look.ForeColor);
}

// From 12 o'clock clockwise.
void PaintPie(HDC DC, const RECT& R, const TPlainGaugeLook& Look) {
  if (Look.Area) FillArea(DC, R, Look.Color);
  TPenAndBrush Tools(DC, Look.ForeColor, Look.BackColor);
  Ellipse(DC, R.left, R.top, R.right, R.bottom);
  if (Look.Percent <= 0) return;
  const double Cx = (R.left + R.right) / 2.0, Cy = (R.top + R.bottom) / 2.0;
  const double Rx = (R.right - R.left) / 2.0, Ry = (R.bottom - R.top) / 2.0;
  const double End = kPi / 2 - Look.Percent / 50.0 * kPi;
  HBRUSH Fore = CreateSolidBrush(ColorToRGB(Look.ForeColor));
  const HGDIOBJ Old = SelectObject(DC, Fore);
  // Pie runs counterclockwise, so the sector is drawn from its end back to 12 o'clock.
  Pie(DC, R.left, R.top, R.right, R.bottom, static_cast<int>(std::lround(Cx + Rx * std::cos(End))),
      static_cast<int>(std::lround(Cy - Ry * std::sin(End))), static_cast<int>(std::lround(Cx)), R.top);
  SelectObject(DC, Old);
  DeleteObject(Fore);
}

// An upper half-ellipse and a needle from the middle of the bottom edge, 0 % at the left, 100 % at the right.
void PaintNeedle(HDC DC, const RECT& R, const TPlainGaugeLook& Look) {
  if (Look.Area) FillArea(DC, R, Look.Color);
  TPenAndBrush Tools(DC, Look.ForeColor, Look.Color);
  const int H = R.bottom - R.top;
  Arc(DC, R.left, R.top, R.right, R.bottom + H, R.right, R.bottom, R.left, R.bottom);
  if (Look.Percent <= 0) return;
  const int Cx = (R.left + R.right) / 2;
  const double Rx = (R.right - R.left) / 2.0;
  const double Angle = kPi - Look.Percent / 100.0 * kPi;
  MoveToEx(DC, Cx, R.bottom, nullptr);
  LineTo(DC, static_cast<int>(std::lround(Cx + Rx * std::cos(Angle))),
         static_cast<int>(std::lround(R.bottom - H * std::sin(Angle))));
}

constexpr TKindPainter kKindPainters[] = {PaintText, PaintHorizontal, PaintVertical, PaintPie, PaintNeedle};

}  // namespace

int NearestEven(double X) { return static_cast<int>(std::nearbyint(X)); }

int GaugePercent(int64_t Min, int64_t Max, int64_t Progress) {
  if (Max == Min) return 0;
  return NearestEven(100.0 / static_cast<double>(Max - Min) * static_cast<double>(Progress - Min));
}

int GaugeFilledLength(int Size, int Percent) { return std::min(Size, NearestEven(Size * (Percent * 0.01))); }

int GaugeFilledByPosition(int64_t Min, int64_t Max, int64_t Progress, int Length) {
  // An empty range fills nothing rather than dividing by zero.
  if (Max == Min) return 0;
  const double Share = static_cast<double>(Progress - Min) / static_cast<double>(Max - Min);
  return std::min(Length, NearestEven(Share * Length));
}

void PaintPlainGauge(TBitmap* Bmp, const TPlainGaugeLook& Look) {
  const HDC DC = Bmp->Canvas()->Handle();
  const RECT All{0, 0, Bmp->Width(), Bmp->Height()};
  FillArea(DC, All, clBlack);
  RECT Figure = All;
  if (Look.Bordered) InflateRect(&Figure, -1, -1);
  if (Figure.right <= Figure.left || Figure.bottom <= Figure.top) return;
  PaintGaugeFigure(DC, Figure, Look);
  GdiFlush();
}

void PaintGaugeFigure(HDC DC, const RECT& R, const TPlainGaugeLook& Look) { kKindPainters[Look.Kind](DC, R, Look); }

void XorGaugeText(TBitmap* Bmp, TFont* Font, const std::string& Text) {
  TBitmap* T = NewBitmap32(Bmp->Width(), Bmp->Height());
  try {
    const HDC DC = T->Canvas()->Handle();
    FillArea(DC, RECT{0, 0, T->Width(), T->Height()}, clBlack);
    const HGDIOBJ Old = SelectObject(DC, Font->Handle());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, RGB(255, 255, 255));
    RECT R{0, 0, T->Width(), T->Height()};
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(DC, Old);
    BitBlt(Bmp->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), DC, 0, 0, SRCINVERT);
    GdiFlush();
  } catch (...) {
    T->Free();
    throw;
  }
  T->Free();
}

void DrawGaugeHighlight(TBitmap* Bar, TBitmap* Glow, int X, TBitmap* Shape) {
  const TPixelPlane B = PlaneOf(Bar), G = PlaneOf(Glow), S = Shape != nullptr ? PlaneOf(Shape) : TPixelPlane{};
  if (B.Empty() || G.Empty()) return;
  for (int y = 0; y < std::min(B.Height, G.Height); ++y)
    for (int gx = std::max(0, -X); gx < G.Width && X + gx < B.Width; ++gx) {
      const int x = X + gx;
      if (!S.Empty() && (x >= S.Width || y >= S.Height || (S.At(x, y) & 0xFFFFFF) == 0xFF00FF)) continue;
      const uint32_t g = G.At(gx, y);
      const int a = static_cast<int>(g >> 24);
      if (a == 0) continue;
      uint32_t& d = B.At(x, y);
      uint32_t Out = d & 0xFF000000u;
      for (int k = 0; k < 3; ++k) {
        const int dc = static_cast<int>((d >> (8 * k)) & 0xFF), sc = static_cast<int>((g >> (8 * k)) & 0xFF);
        Out |= static_cast<uint32_t>((((sc - dc) * a + dc * 256) >> 8) & 0xFF) << (8 * k);
      }
      d = Out;
    }
}
