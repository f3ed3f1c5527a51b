#include "skin/graphics/vkBitmap32.h"

#include <algorithm>
#include <memory>

#include "framework/Graphics.h"
#include "framework/GraphicsGdi.h"

TBitmap* NewBitmap32(int Width, int Height) {
  // freed when a size is refused
  std::unique_ptr<TBitmap> Bmp(new TBitmap());
  Bmp->SetPixelFormat(pf32bit);
  Bmp->SetHandleType(bmDIB);
  Bmp->SetWidth(Width);
  Bmp->SetHeight(Height);
  return Bmp.release();
}

TBitmap* NewBitmap32ForRect(const TRect& R) {
  return NewBitmap32(std::max<int>(0, R.Right - R.Left), std::max<int>(0, R.Bottom - R.Top));
}

TBitmap* NewBitmap32ForSize(const TSize& Size) { return NewBitmap32(Size.cx, Size.cy); }

TBitmap* NewBitmap32LikeGraphic(TGraphic* Graphic) { return NewBitmap32(Graphic->Width(), Graphic->Height()); }

TBitmap* NewBitmapLike(TBitmap* Bmp) {
  TBitmap* Result = new TBitmap();
  Result->SetWidth(Bmp->Width());
  Result->SetHeight(Bmp->Height());
  Result->SetPixelFormat(Bmp->PixelFormat());
  return Result;
}

void CopyBitmapFull(TBitmap* Dst, TBitmap* Src) {
  Dst->SetPixelFormat(Src->PixelFormat());
  Dst->SetHandleType(bmDIB);
  Dst->SetWidth(Src->Width());
  Dst->SetHeight(Src->Height());
  if (Src->Empty()) return;
  BitBlt(Dst->Canvas()->Handle(), 0, 0, Src->Width(), Src->Height(), Src->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void ForceBitmap32(TBitmap* Bmp) { Bmp->SetPixelFormat(pf32bit); }

bool ScanlineBaseAndStride(TBitmap* Bmp, uint8_t*& Base, int& Stride) {
  Base = nullptr;
  Stride = 0;
  if (Bmp == nullptr || Bmp->Height() < 1 || Bmp->Width() < 1) return false;
  Base = static_cast<uint8_t*>(Bmp->ScanLine(0));
  if (Bmp->Height() > 1) Stride = static_cast<int>(static_cast<uint8_t*>(Bmp->ScanLine(1)) - Base);
  return true;
}

TPixelPlane PlaneOf(TBitmap* Bmp) {
  TPixelPlane Plane;
  if (Bmp == nullptr || Bmp->PixelFormat() != pf32bit) return Plane;
  if (!ScanlineBaseAndStride(Bmp, Plane.Base, Plane.Stride)) return Plane;
  Plane.Width = Bmp->Width();
  Plane.Height = Bmp->Height();
  return Plane;
}

void ApplyToEachPixel(const TPixelPlane& Plane, TPixelProc Proc, intptr_t Param, uint32_t Key) {
  if (Plane.Empty()) return;
  const bool Keyed = Key != NoColor32;
  const uint32_t KeyPixel = SwapRedBlue(Key);
  for (int y = 0; y < Plane.Height; ++y) {
    uint32_t* Row = Plane.Row32(y);
    for (int x = 0; x < Plane.Width; ++x)
      if (!Keyed || Row[x] != KeyPixel) Proc(&Row[x], Param);
  }
}

void ApplyToEachPixel(TBitmap* Bmp, TPixelProc Proc, intptr_t Param, uint32_t Key) {
  if (Bmp == nullptr) return;
  ApplyToEachPixel(PlaneOf(Bmp), Proc, Param, Key);
}

void PaintSolidRect(HDC DC, const TRect& R, uint32_t Color) {
  const int Saved = SaveDC(DC);
  HBRUSH Brush = GdiNewSolidBrush(ColorToRGB(static_cast<TColor>(Color)));
  FillRect(DC, R.AsRECT(), Brush);
  GdiFreeObject(Brush);
  RestoreDC(DC, Saved);
}

void PaintFrameBands(HDC DC, const TRect& R, int LeftWidth, uint32_t Color, int BottomWidth, int RightWidth,
                     int TopWidth) {
  const int Saved = SaveDC(DC);
  HBRUSH Brush = GdiNewSolidBrush(ColorToRGB(static_cast<TColor>(Color)));
  const TRect Bands[4] = {
      {R.Left, R.Top, R.Right, R.Top + TopWidth},
      {R.Left, R.Top + TopWidth, R.Left + LeftWidth, R.Bottom},
      {R.Left + LeftWidth, R.Bottom - BottomWidth, R.Right, R.Bottom},
      {R.Right - RightWidth, R.Top + TopWidth, R.Right, R.Bottom - BottomWidth},
  };
  for (const TRect& Band : Bands) FillRect(DC, Band.AsRECT(), Brush);
  GdiFreeObject(Brush);
  RestoreDC(DC, Saved);
}

void GrayBitmap32Keyed(const TPixelPlane& Plane, uint32_t Key) {
  if (Plane.Empty()) return;
  const bool Keyed = Key != NoColor32;
  for (int y = 0; y < Plane.Height; ++y) {
    uint32_t* Row = Plane.Row32(y);
    for (int x = 0; x < Plane.Width; ++x) {
      const uint32_t P = Row[x];
      if (Keyed && P == Key) continue;
      const uint32_t G = PixelGray(P);
      Row[x] = (P & 0xFF000000u) | (G << 16) | (G << 8) | G;
    }
  }
}

void GrayBitmap32(const TPixelPlane& Plane) { GrayBitmap32Keyed(Plane, NoColor32); }
void GrayBitmap32(TBitmap* Bmp) { GrayBitmap32(PlaneOf(Bmp)); }
void GrayBitmap32Keyed(TBitmap* Bmp, uint32_t Key) { GrayBitmap32Keyed(PlaneOf(Bmp), Key); }
