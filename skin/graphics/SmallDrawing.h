// Small drawing helpers that skinned controls share: arrow glyphs, the system's check-box cell size,
// icons made from 32-bit images, and drawing a 32-bit image with alpha (stretched) onto a canvas.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"

// Byte Channel of every pixel of the 32-bit Bmp32 to the 8-bit Plane (Extract) or back.
void ChannelToBytes(TBitmap* Bmp32, TBitmap* Plane, int Channel, bool Extract);
// A new W x H 32-bit bitmap holding the 32-bit Bmp stretched with the nearest-pixel rule, colour and
// alpha alike.
TBitmap* NewStretchedBitmap32(TBitmap* Bmp, int W, int H);
// Draws Bmp into Rect of Canvas, with per-pixel alpha for 32-bit bitmaps; Reflection adds a faded
// mirror below Rect (Rect's height again).
void StretchDrawBitmap32(TCanvas* Canvas, TBitmap* Bmp, const TRect& Rect, bool Reflection);

// The simple arrow glyph: a solid isosceles triangle of base 7 and depth 4.
constexpr int ArrowGlyphBase = 7;
constexpr int ArrowGlyphDepth = 4;
// Arrow directions of the 32-bit painters.
enum TArrowDirection { adLeft = 0, adUp = 1, adRight = 2, adDown = 3 };

// The triangle pixel by pixel through the canvas, centred in Rect: pointing right (4 wide, 7 high)
// or, Vertical, pointing down (7 wide, 4 high).
void PaintCanvasArrow(TCanvas* Canvas, uint32_t Color, const TRect& Rect, bool Vertical);
// The same triangle written into a 32-bit bitmap (opaque), pointing by Direction.
void PaintArrowPixels32(TBitmap* Bmp, uint32_t Color, const TRect& Rect, int Direction);

// The glyph of PaintStyledArrow before it is turned: pointing down, W x H, 32-bit with alpha.
// Styles 1 and 3 are drawn with lines, 0 and 2 are solid.
TBitmap* PaintArrowGlyph(uint32_t Color, uint32_t FillPixel, bool HasFill, int Style, int Size, int Thickness,
                         bool OddWidth);
// An arrow in the manager's arrow style blended into Bmp, centred in Rect, pointing by Direction
// and turned further by Angle (degrees). Thickness is replaced by the style's own.
void PaintStyledArrow(TBitmap* Bmp, uint32_t Color, uint32_t DisabledColor, int Style, int Size, double Angle,
                      int Thickness, int Direction, const TRect& Rect);

// Size of the system's check-box cells (from its check-box bitmap: a 4 x 3 grid of cells).
extern int CheckBoxCellWidth;
extern int CheckBoxCellHeight;
void MeasureCheckBoxCells();

// A new icon handle (the caller destroys it with GdiFreeIcon) from Bmp drawn over BackColor;
// transparent where a 24-bit pixel is the key 0xFF00FF or a 32-bit pixel has alpha 0.
HICON MakeIconFromBitmap(TBitmap* Bmp, uint32_t BackColor);
