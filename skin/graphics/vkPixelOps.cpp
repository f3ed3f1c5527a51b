#include "skin/graphics/vkPixelOps.h"

#include <algorithm>

#include "framework/Graphics.h"
#include "skin/core/vkFormServices.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"

namespace {

inline uint32_t Chan(uint32_t P, int N) { return (P >> (8 * N)) & 0xFFu; }

// R limited to the plane, half-open; false when nothing is left.
bool ClipHalfOpen(const TPixelPlane& P, TRect R, TRect& Out) {
  Out.Left = std::max<int>(R.Left, 0);
  Out.Top = std::max<int>(R.Top, 0);
  Out.Right = std::min<int>(R.Right, P.Width);
  Out.Bottom = std::min<int>(R.Bottom, P.Height);
  return Out.Left < Out.Right && Out.Top < Out.Bottom;
}

}  // namespace

int DisabledSaturation = -90;
uint8_t DisabledLevel = 100;

uint32_t GetPixel32(TBitmap* Bmp, int X, int Y) { return static_cast<uint32_t*>(Bmp->ScanLine(Y))[X]; }

uint32_t* SetPixel32(TBitmap* Bmp, int X, int Y, uint32_t Pixel) {
  uint32_t* Row = static_cast<uint32_t*>(Bmp->ScanLine(Y));
  Row[X] = Pixel;
  return Row;
}

void PutPixel32(TBitmap* Bmp, int X, int Y, uint32_t Pixel) { static_cast<uint32_t*>(Bmp->ScanLine(Y))[X] = Pixel; }

void FillDWords(void* Address, int Count, uint32_t Value) {
  if (Count < 1) return;
  std::fill_n(static_cast<uint32_t*>(Address), Count, Value);
}

void ByteSwapDWords(void* Address, int Count) {
  uint32_t* P = static_cast<uint32_t*>(Address);
  for (int i = 0; i < Count; ++i) P[i] = ByteSwap32(P[i]);
}

void ClearWhiteKeyPixels(TBitmap* Bmp) {
  const TPixelPlane P = PlaneOf(Bmp);
  if (P.Empty()) return;
  for (int y = 0; y < P.Height; ++y) {
    uint32_t* Row = P.Row32(y);
    for (int x = 0; x < P.Width; ++x)
      if (Row[x] == 0x00FFFFFFu) Row[x] = 0;
  }
}

void FillRect32(const TPixelPlane& P, const TRect& R, uint32_t Color, int Alpha) {
  TRect C;
  if (P.Empty() || !ClipHalfOpen(P, R, C)) return;
  const uint32_t A = Alpha == -1 ? 255u : static_cast<uint32_t>(Alpha) & 0xFFu;
  const uint32_t V = (SwapRedBlue(ColorToRGB(Color)) & 0x00FFFFFFu) | (A << 24);
  for (int y = C.Top; y < C.Bottom; ++y) FillDWords(P.Row32(y) + C.Left, C.Right - C.Left, V);
}

void FillRect32(TBitmap* Bmp, const TRect& R, uint32_t Color, int Alpha) { FillRect32(PlaneOf(Bmp), R, Color, Alpha); }

void FillFrame32(TBitmap* Bmp, const TRect& R, int LeftW, uint32_t Color, int BottomW, int RightW, int TopW) {
  const TPixelPlane P = PlaneOf(Bmp);
  FillRect32(P, TRect{R.Left, R.Top, R.Right, R.Top + TopW}, Color, 255);
  FillRect32(P, TRect{R.Left, R.Top + TopW, R.Left + LeftW, R.Bottom}, Color, 255);
  FillRect32(P, TRect{R.Left + LeftW, R.Bottom - BottomW, R.Right, R.Bottom}, Color, 255);
  FillRect32(P, TRect{R.Right - RightW, R.Top + TopW, R.Right, R.Bottom - BottomW}, Color, 255);
}

void BlendRectToColor32(const TPixelPlane& P, const TRect& R, int Level, uint32_t Color) {
  if (P.Empty()) return;
  const uint32_t C = SwapRedBlue(ColorToRGB(Color));
  const int L = std::clamp(Level, 0, 255);
  const int x0 = std::max<int>(R.Left, 0), y0 = std::max<int>(R.Top, 0);
  const int x1 = std::min<int>(R.Right, P.Width - 1), y1 = std::min<int>(R.Bottom, P.Height - 1);
  for (int y = y0; y <= y1; ++y) {
    uint32_t* Row = P.Row32(y);
    for (int x = x0; x <= x1; ++x) {
      const uint32_t d = Row[x];
      auto Ch = [&](int n) { return (Chan(d, n) * L + Chan(C, n) * (255 - L)) >> 8; };
      Row[x] = (d & 0xFF000000u) | (Ch(2) << 16) | (Ch(1) << 8) | Ch(0);
    }
  }
}

void BlendRectToColor32(TBitmap* Bmp, const TRect& R, int Level, uint32_t Color) {
  BlendRectToColor32(PlaneOf(Bmp), R, Level, Color);
}

void MixRectToColor32(TBitmap* Bmp, const TRect& R, uint32_t Color, int Alpha, int Percent) {
  const TPixelPlane P = PlaneOf(Bmp);
  TRect C;
  if (P.Empty() || !ClipHalfOpen(P, R, C)) return;
  const uint32_t Col = SwapRedBlue(ColorToRGB(Color));
  const uint32_t A = static_cast<uint32_t>(Alpha) & 0xFFu;
  for (int y = C.Top; y < C.Bottom; ++y) {
    uint32_t* Row = P.Row32(y);
    for (int x = C.Left; x < C.Right; ++x) {
      const uint32_t d = Row[x];
      auto Ch = [&](int n) {
        const int c = static_cast<int>(Chan(d, n));
        return static_cast<uint32_t>(std::clamp(c - ((c - static_cast<int>(Chan(Col, n))) * Percent) / 100, 0, 255));
      };
      Row[x] = (A << 24) | (Ch(2) << 16) | (Ch(1) << 8) | Ch(0);
    }
  }
}

void SetRectAlpha32(const TPixelPlane& P, const TRect& R, uint8_t Alpha, uint32_t Key) {
  // Callers were trusted to stay inside; a rectangle reaching out would write outside the image, so clip.
  TRect C;
  if (P.Empty() || !ClipHalfOpen(P, R, C)) return;
  const bool Keyed = Key != NoColor32;
  const uint32_t A = static_cast<uint32_t>(Alpha) << 24;
  for (int y = C.Top; y < C.Bottom; ++y) {
    uint32_t* Row = P.Row32(y);
    for (int x = C.Left; x < C.Right; ++x)
      if (!Keyed || Row[x] != Key) Row[x] = (Row[x] & 0x00FFFFFFu) | A;
  }
}

void SetRectAlpha32(TBitmap* Bmp, const TRect& R, uint8_t Alpha, uint32_t Key) {
  SetRectAlpha32(PlaneOf(Bmp), R, Alpha, Key);
}

void PremultiplyBitmapRect(const TPixelPlane& P, const TRect& R, bool CompositionOn) {
  TRect C;
  if (P.Empty() || !ClipHalfOpen(P, R, C)) return;
  for (int y = C.Top; y < C.Bottom; ++y) {
    uint32_t* Row = P.Row32(y);
    for (int x = C.Left; x < C.Right; ++x) {
      const uint32_t d = Row[x];
      if (d == 0x00FFFFFFu) {
        Row[x] = 0;
        continue;
      }
      const uint32_t A = d >> 24;
      const bool NearWhite = !CompositionOn && Chan(d, 0) > 244 && Chan(d, 1) > 244 && Chan(d, 2) > 244;
      auto Ch = [&](int n) {
        const uint32_t v = (Chan(d, n) * A) >> 8;
        return NearWhite ? std::min<uint32_t>(v, 244) : v;
      };
      Row[x] = (A << 24) | (Ch(2) << 16) | (Ch(1) << 8) | Ch(0);
    }
  }
}

void PremultiplyBitmapRect(TBitmap* Bmp, const TRect& R) {
  PremultiplyBitmapRect(PlaneOf(Bmp), R, IsDwmCompositionActive());
}

void PremultiplyBitmap(TBitmap* Bmp) {
  const TPixelPlane P = PlaneOf(Bmp);
  PremultiplyBitmapRect(P, TRect{0, 0, P.Width, P.Height}, IsDwmCompositionActive());
}

namespace {
void Desaturate(uint32_t* Pixel, intptr_t Amount) { *Pixel = AdjustColorSaturation(*Pixel, static_cast<int>(Amount)); }
}  // namespace

void PaintDisabledLook(TBitmap* Bmp, TsDisabledKinds Kinds, uint32_t ControlColor, TPoint Offset,
                       const TvkBgCacheRef& Bg) {
  const TPixelPlane P = PlaneOf(Bmp);
  if (P.Empty()) return;
  if (Kinds.Contains(dkGrayed)) {
    if (DisabledSaturation != -100)
      ApplyToEachPixel(P, Desaturate, DisabledSaturation * 255 / 100, KeyPixel32);
    else
      GrayBitmap32Keyed(P, KeyPixel32);
  }
  if (Kinds.Contains(dkBlended)) {
    TRect R(0, 0, P.Width, P.Height);
    if (Bg.Ready) {
      const int DX = Bg.X + Offset.X, DY = Bg.Y + Offset.Y;
      R = TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
      BlendCopyKeyedRect(Bmp, 0, 0, Bg.Bmp, R, DisabledLevel, KeyPixel32);
    } else {
      BlendRectToColor32(P, R, DisabledLevel, Bg.FillColor != KeyPixel32 ? Bg.FillColor : ControlColor);
    }
  }
}
