// Whole sections painted into rectangles of 32-bit bitmaps that become layered windows (their alpha matters),
// the light background painter behind them, and the back-fill of the pixels a control's border mask marks
// transparent with its parent's background, so rounded corners show what lies behind them.
#pragma once
#include <cstdint>

#include "framework/Graphics.h"

class TBitmap;
class TsCommonData;
class TsSkinManager;
struct TvkParentBgQuery;

// Section SectionIndex for State into R of Bmp: background layers, then the border mask with its key corners
// showing what R held before. Nothing unless R lies inside Bmp. A rectangle covering all of Bmp is then
// premultiplied for layered output. A nil manager means the default one.
void PaintSectionRect32(int SectionIndex, int State, TsSkinManager* Manager, TBitmap* Bmp, const TRect& R);
// The state's layers into R (Color 0xFF00FF), or a plain fill of Color; nothing unless R lies inside Bmp. A fully
// transparent state clears R (colour and alpha 0) when R is the whole bitmap.
void PaintSectionBackgroundLayered(int SectionIndex, int State, const TRect& R, uint32_t Color, TsSkinManager* Manager,
                                   TBitmap* Bmp);

// Corner bits of FillTransparentCorners.
constexpr int fcTopLeft = 1;
constexpr int fcBottomLeft = 2;
constexpr int fcTopRight = 4;
constexpr int fcBottomRight = 8;

// The key pixels of the control's border corners in its cache take the parent's background.
void FillTransparentCorners(TsCommonData* SkinData, int State, int Corners);
// Workers: SrcRect of the border image Src, walked against the cache at (X, Y) / DstRect; where the image holds
// the key, the cache pixel takes the parent bitmap's pixel (kind 2: at Query.OffsetX/Y plus the cache position)
// or the answered colour. Neither writes anything for the colour 0xFF00FF or a parent that is not ready.
void FillKeyFromParentBg(TBitmap* Src, int X, int Y, TsCommonData* SkinData, const TvkParentBgQuery& Query,
                         const TRect& SrcRect);
void FillKeyFromParentBgRect(const TRect& DstRect, const TRect& SrcRect, TBitmap* Src, TsCommonData* SkinData,
                             const TvkParentBgQuery& Query);
