// Anti-aliased lines, smooth gradients and scaled copies with alpha through the GDI+ flat API,
// bound late so that the program runs where gdiplus.dll is missing (everything then draws nothing).
#pragma once
#include <windows.h>

#include <cstdint>

class TBitmap;

// Entry points of gdiplus.dll, bound by name at unit start; a missing one stays null. Tests clear
// entries through GdipEntries() to take the "function missing" branches.
struct TGdipEntries {
  using Status = int;
  using GpGraphics = void;
  using GpPen = void;
  using GpBrush = void;
  using GpImage = void;
  using GpPath = void;
  struct PointF { float X, Y; };
  struct RectI { int X, Y, Width, Height; };
  struct BitmapData { UINT Width, Height; INT Stride; INT PixelFormat; void* Scan0; UINT_PTR Reserved; };
  struct StartupInput { UINT32 Version; void* DebugCallback; BOOL SuppressBackgroundThread; BOOL SuppressExternalCodecs; };

  Status(WINAPI* DrawArc)(GpGraphics*, GpPen*, float, float, float, float, float, float) = nullptr;
  Status(WINAPI* DrawLine)(GpGraphics*, GpPen*, float, float, float, float) = nullptr;
  Status(WINAPI* CreatePen1)(uint32_t, float, int, GpPen**) = nullptr;
  Status(WINAPI* Startup)(ULONG_PTR*, const StartupInput*, void*) = nullptr;
  void(WINAPI* Shutdown)(ULONG_PTR) = nullptr;
  Status(WINAPI* DrawEllipse)(GpGraphics*, GpPen*, float, float, float, float) = nullptr;
  Status(WINAPI* FillEllipse)(GpGraphics*, GpBrush*, float, float, float, float) = nullptr;
  Status(WINAPI* FillRectangle)(GpGraphics*, GpBrush*, float, float, float, float) = nullptr;
  Status(WINAPI* CreateFromHDC)(HDC, GpGraphics**) = nullptr;
  Status(WINAPI* CreateSolidFill)(uint32_t, GpBrush**) = nullptr;
  Status(WINAPI* SetSmoothingMode)(GpGraphics*, int) = nullptr;
  Status(WINAPI* DrawImageRectRect)(GpGraphics*, GpImage*, float, float, float, float, float, float, float, float,
                                    int, void*, void*, void*) = nullptr;
  Status(WINAPI* CreateLineBrush)(const PointF*, const PointF*, uint32_t, uint32_t, int, GpBrush**) = nullptr;
  Status(WINAPI* SetCompositingMode)(GpGraphics*, int) = nullptr;
  Status(WINAPI* SetCompositingQuality)(GpGraphics*, int) = nullptr;
  Status(WINAPI* DeleteGraphics)(GpGraphics*) = nullptr;
  Status(WINAPI* DisposeImage)(GpImage*) = nullptr;
  Status(WINAPI* BitmapLockBits)(GpImage*, const RectI*, UINT, INT, BitmapData*) = nullptr;
  Status(WINAPI* CreateBitmapFromScan0)(INT, INT, INT, INT, BYTE*, GpImage**) = nullptr;
  Status(WINAPI* BitmapUnlockBits)(GpImage*, BitmapData*) = nullptr;
  Status(WINAPI* CreatePathGradient)(const PointF*, INT, int, GpBrush**) = nullptr;
  Status(WINAPI* DeleteBrush)(GpBrush*) = nullptr;
  Status(WINAPI* DeletePen)(GpPen*) = nullptr;
  Status(WINAPI* SetPenBrushFill)(GpPen*, GpBrush*) = nullptr;
  Status(WINAPI* SetPathGradientCenterColor)(GpBrush*, uint32_t) = nullptr;
  Status(WINAPI* SetPathGradientSurroundColorsWithCount)(GpBrush*, const uint32_t*, INT*) = nullptr;
};

TGdipEntries& GdipEntries();
// Loads gdiplus.dll, binds the entries and starts GDI+ (first call only); the last matching
// GdipShutdownUnit shuts GDI+ down and frees the library. Both are counted.
void GdipStartupUnit();
void GdipShutdownUnit();
bool GdipStarted();

// Smoothing mode of lines (high quality).
constexpr int kGdipLineSmoothing = 2;

// Colours are 0x00BBGGRR; their fourth byte becomes the GDI+ alpha (the line's pen is always opaque).
// The fills answer whether GDI+ was there to draw.
void GdipDrawLineSmooth(HDC DC, uint32_t Color, float Width, float X1, float Y1, float X2, float Y2);
bool GdipFillHorzGradient(HDC DC, uint32_t Color1, uint32_t Color2, float X, float Y, float W, float H);
bool GdipFillVertGradient(HDC DC, uint32_t Color1, uint32_t Color2, float X, float Y, float W, float H);
bool GdipFillPathGradient(HDC DC, const POINT Points[4], const uint32_t Colors[4], uint32_t CenterColor, float X,
                          float Y, float W, float H);
// Draws the rectangle (X, Y, W, H) of the 32-bit Src scaled onto the whole of Dst, keeping alpha.
void GdipStretchBitmap(TBitmap* Dst, TBitmap* Src, int X, int Y, int W, int H);

// The alpha a pixel enters GDI+ with, and the one restored from what GDI+ returns (never below 0).
inline uint8_t GdipEntryAlpha(uint8_t A) { return static_cast<uint8_t>((A >> 1) + 127); }
uint8_t GdipRestoredAlpha(uint8_t A);
// Undoes GDI+'s premultiplication and the alpha lift of one pixel (0xAARRGGBB); alpha 0 stays as it is.
uint32_t GdipRestorePixel(uint32_t P);
