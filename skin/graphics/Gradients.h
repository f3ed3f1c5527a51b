// Multi-stop gradients of skin section states: parsing of the gradient text and painting into
// rectangles of 32-bit bitmaps (per row or column, four-corner through GradientFill, smooth steps
// through GDI+, and mixed with a tiled texture).
#pragma once
#include <windows.h>

#include "framework/Graphics.h"

#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct TsGradItem {
  uint16_t Index;   // position in the array
  uint32_t Mode;    // first item: bits 0-1 kind; any item: 16 = GDI+ step; first item: 32 = GDI+ path gradient
  uint32_t Color;   // 0x00BBGGRR, fourth byte = alpha of GDI+ fills (255 when no colour of the list has one)
  uint8_t Percent;  // stop position 0..100
};
#pragma pack(pop)
using TsGradArray = std::vector<TsGradItem>;

constexpr uint32_t kGradKindMask = 3;
constexpr uint32_t kGradVertical = 0;
constexpr uint32_t kGradHorizontal = 1;
constexpr uint32_t kGradFourCorner = 2;
constexpr uint32_t kGradGdipStep = 16;
constexpr uint32_t kGradGdipPath = 32;

// Items are emptied first. A malformed number raises EConvertError.
void ParseGradientData(const std::string& S, TsGradArray& Items);
void PaintGradient(TBitmap* Bmp, const TRect& Rect, const TsGradArray& Items);
void PaintGradientTextured(TBitmap* Bmp, const TRect& Rect, const TsGradArray& Items, uint8_t Alpha, int Level,
                           const TRect& TexRect, TBitmap* TexBmp);

void SetTriVertex(TRIVERTEX& V, uint32_t Color, const TPoint& P);
void SetGradientTriangle(GRADIENT_TRIANGLE& T, ULONG A, ULONG B, ULONG C);

// msimg32's GradientFill, bound at unit start (null when missing); tests clear it to take the
// "function missing" branch.
using TGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
TGradientFillProc& GradientFillEntry();
void GradientUnitStart();
void GradientUnitEnd();
