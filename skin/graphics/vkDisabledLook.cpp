// The disabled look: apart from the other pixel operations, since the control's colour comes from the engine.
#include "framework/Controls.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelOps.h"

// The control's background colour, from the window and control utilities (sVclUtils), built with the
// per-control skin state.
TColor GetControlColor(TControl* Control);


namespace {
void Desaturate(uint32_t* Pixel, intptr_t Amount) { *Pixel = AdjustColorSaturation(*Pixel, static_cast<int>(Amount)); }
}  // namespace

void PaintDisabledLook(TBitmap* Bmp, TsDisabledKinds Kinds, TControl* Control, TPoint Offset, const TvkBgCacheRef& Bg) {
  const TPixelPlane P = PlaneOf(Bmp);
  if (P.Empty()) return;
  if (Kinds.Contains(dkGrayed)) {
    if (DisabledSaturation != -100)
      ApplyToEachPixel(P, Desaturate, DisabledSaturation * 255 / 100, KeyPixel32);
    else
      GrayBitmap32(P);
  }
  if (Kinds.Contains(dkBlended)) {
    TRect R(0, 0, P.Width, P.Height);
    if (Bg.Ready) {
      const int DX = Bg.X + Offset.X, DY = Bg.Y + Offset.Y;
      R = TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
      BlendCopyKeyedRect(Bmp, 0, 0, Bg.Bmp, R, DisabledLevel, KeyPixel32);
    } else {
      const uint32_t Color = Bg.FillColor != KeyPixel32 ? Bg.FillColor : GetControlColor(Control);
      BlendRectToColor32(P, R, DisabledLevel, Color);
    }
  }
}
