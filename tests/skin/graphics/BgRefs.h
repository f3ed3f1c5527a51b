// Background references for the blend and painter tests: one not ready (a fill colour only) or one ready on a
// bitmap at a point.
#pragma once
#include <cstdint>

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"

inline TvkBgCacheRef NotReady(uint32_t Fill = KeyPixel32) {
  TvkBgCacheRef R;
  R.FillColor = Fill;
  return R;
}

inline TvkBgCacheRef ReadyOn(TBitmap* Bmp, int X, int Y) {
  TvkBgCacheRef R;
  InitBgInfo(Bmp, X, Y, R);
  return R;
}
