// The disabled look: apart from the other pixel operations, since the control's colour comes from the engine.
#include "framework/Controls.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/vkPixelOps.h"

void PaintDisabledLook(TBitmap* Bmp, TsDisabledKinds Kinds, TControl* Control, TPoint Offset, const TvkBgCacheRef& Bg) {
  const bool NeedsControlColor = Kinds.Contains(dkBlended) && !Bg.Ready && Bg.FillColor == KeyPixel32;
  PaintDisabledLook(Bmp, Kinds, NeedsControlColor ? GetControlColor(Control) : KeyPixel32, Offset, Bg);
}
