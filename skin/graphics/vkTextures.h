// Texture fills of section backgrounds: a texture element laid into a rectangle by its draw mode, on 32-bit
// bitmaps through the element's mask or on a canvas with plain copies and stretches. Both hand back the part
// of the rectangle they left uncovered ((-1, -1, -1, -1) when none), which the section fill paints with the
// state's colour.
#pragma once
#include "framework/Graphics.h"
#include "skin/graphics/vkParentBg.h"

class TBitmap;
class TCanvas;
struct TsMaskData;

constexpr TRect kNothingUncovered(-1, -1, -1, -1);

// Draw modes of texture elements.
constexpr int tdTile = 0;
constexpr int tdStretch = 1;
constexpr int tdTileTop = 2;
constexpr int tdTileLeft = 3;
constexpr int tdStretchTop = 4;
constexpr int tdStretchLeft = 5;
constexpr int tdTileBottom = 6;
constexpr int tdTileRight = 7;
constexpr int tdTileFullOverBg = 10;
constexpr int tdStretchRows = 11;
constexpr int tdStretchColumns = 12;
constexpr int tdTileFromBottomRight = 13;

// Masked tiles (one frame of the element over its mask band) into Rect of Bmp. Mode 0 covers Rect with tiles
// cut at the right and bottom edges; mode 10 lays whole tiles only and covers the bands right of and below
// them with the parent background (BgRef's bitmap at BgRef.X/Y plus the band's position, or its fill colour).
// Both leave Rect as kNothingUncovered. Other modes, an element without manager or a tile of no size draw
// nothing and leave Rect as it was.
void TileTexture32(TBitmap* Bmp, TRect& Rect, const TvkBgCacheRef& BgRef, int Mode, const TsMaskData& Entry);

// The texture element's whole rectangle copied, stretched or tiled into Rect of Canvas by Mode (modes 0-7 and
// 10-13); Rect becomes the part left uncovered. Other modes draw nothing and keep Rect.
void DrawTextureOnCanvas(TCanvas* Canvas, TRect& Rect, int Mode, const TsMaskData& Entry);

// SrcRect of the element's image laid into DstRect of Dst through the mask band one frame lower (per channel
// d = ((d - s) * m + s * 256) shr 8, alpha kept). Key source pixels take Bg's fill colour when it has one,
// else Bg's bitmap pixel at (Bg.X + x, Bg.Y + y) of the destination when Ready, else stay.
void BlendThroughMaskBitmap32(const TRect& DstRect, const TRect& SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                              const TvkBgCacheRef& Bg);
