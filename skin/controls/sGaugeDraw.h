// The gauge's numbers and its pictures on bitmaps: the shown percentage, filled lengths, the unskinned look of
// each kind, the text laid over it inverted, and the moving highlight limited to a shape.
#pragma once
#include <cstdint>
#include <string>

#include "framework/Graphics.h"

class TBitmap;

enum TsGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

// Nearest integer, halves to even.
int NearestEven(double X);
// 0 for an empty range, else Nearest(100 / (Max - Min) * (Progress - Min)).
int GaugePercent(int64_t Min, int64_t Max, int64_t Progress);
// Nearest(Size * Percent / 100), at most Size.
int GaugeFilledLength(int Size, int Percent);
// Min(Length, Nearest((Progress - Min) / (Max - Min) * Length)); 0 for an empty range.
int GaugeFilledByPosition(int64_t Min, int64_t Max, int64_t Progress, int Length);

// What the unskinned look needs.
struct TPlainGaugeLook {
  TsGaugeKind Kind = gkHorizontalBar;
  bool Bordered = true;  // a one-pixel black frame stays around the figure
  TColor BackColor = clWhite;
  TColor ForeColor = clBlack;
  TColor Color = clBtnFace;  // the control's own colour (pie and needle)
  int Percent = 0;
  bool Area = true;  // the figure's area is filled first (the skinned pie and needle lie over the skin)
};
// The figure of Look's kind on a Bmp that starts black.
void PaintPlainGauge(TBitmap* Bmp, const TPlainGaugeLook& Look);
// Only the figure, into R of DC.
void PaintGaugeFigure(HDC DC, const RECT& R, const TPlainGaugeLook& Look);
// Text centred in white on black in a bitmap of Bmp's size, combined with Bmp by XOR so that it shows inverted
// over the filled and the empty part alike.
void XorGaugeText(TBitmap* Bmp, TFont* Font, const std::string& Text);

// The highlight Glow laid over Bar at X (straight alpha); where Shape is given, only over its pixels that are
// not the key colour 0xFF00FF.
void DrawGaugeHighlight(TBitmap* Bar, TBitmap* Glow, int X, TBitmap* Shape);
