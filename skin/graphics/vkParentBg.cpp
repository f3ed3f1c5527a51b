#include "skin/graphics/vkParentBg.h"

#include "framework/Graphics.h"

void InitBgInfo(TBitmap* Bmp, int X, int Y, TvkBgCacheRef& Ref) {
  Ref.Bmp = Bmp;
  Ref.X = X;
  Ref.Y = Y;
  Ref.FillColor = 0x00FF00FF;
  Ref.FillRect = TRect{0, 0, 0, 0};
  Ref.Ready = true;
}

void BgCacheRefFromQuery(const TvkParentBgQuery& Query, TvkBgCacheRef& Ref) {
  if (Query.Kind == bgkBitmap) {
    InitBgInfo(Query.Bmp, Query.OffsetX, Query.OffsetY, Ref);
    return;
  }
  Ref.Bmp = Query.Bmp;
  Ref.X = Query.OffsetX;
  Ref.Y = Query.OffsetY;
  Ref.FillColor = ColorToRGB(Query.Color);
  Ref.FillRect = Query.FillRect;
  Ref.Ready = false;
}
