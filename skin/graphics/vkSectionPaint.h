// Section painters: a control's look for a state built in layers from its skin section, into a 32-bit bitmap
// (usually its cache) over a background reference: the parent background behind translucent states, the fill
// (texture share, gradient share, flat colour), the corner images, the border mask by the nine-part rule and the
// control's own colour shifts.
//
// Offset is where Rect's top-left corner lies in the background reference's bitmap, on top of BgRef.X/Y: the
// parent pixel behind Rect's top-left is (BgRef.X + Offset.X, BgRef.Y + Offset.Y). A nil manager means the
// default one. States are limited to the section's state count minus one (and to 2 for the state records).
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"
#include "skin/graphics/vkParentBg.h"

class TBitmap;
class TsCommonData;
class TsSkinManager;
class TWinControl;

// ParentColor 0xFF00FF: the state's own layers; any other colour paints that colour opaquely. TextureIndex
// (state 0) and HotTextureIndex (other states) may name an overlay texture (-1: the state's / none).
void PaintSectionBackground(int SectionIndex, const TvkBgCacheRef& BgRef, int State, uint32_t ParentColor,
                            int TextureIndex, int HotTextureIndex, TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset,
                            const TRect& Rect);
// The same layers from the state alone, without parent colour, texture arguments or overlay.
void PaintSectionBackgroundOnRef(int SectionIndex, const TvkBgCacheRef& BgRef, TBitmap* Bmp, TsSkinManager* Manager,
                                 int State, TPoint Offset, const TRect& Rect);
// Background, corner images and border mask; nothing unless Rect lies inside Bmp.
void PaintSectionItem(int SectionIndex, const TvkBgCacheRef& BgRef, int TextureIndex, int HotTextureIndex,
                      TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset, const TRect& Rect, int State);
// Light background, then the given border mask; no corner images.
void PaintSectionWithBorderMask(int SectionIndex, int BorderMaskIndex, const TvkBgCacheRef& BgRef,
                                TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset, const TRect& Rect, int State);
// PaintSectionItem into a temporary bitmap of Rect's size, copied to DC at Rect.
void PaintSectionItemToDC(int SectionIndex, const TvkBgCacheRef& BgRef, TsSkinManager* Manager, HDC DC, TPoint Offset,
                          const TRect& Rect, int State);
// Bmp gets SourceDC's area at SourcePoint (or, without a DC, a background of FillColor) and the section (or
// FallbackIndex when SectionIndex < 0) painted over all of it. Returns the index used (-1: nothing painted).
int PaintSectionOverDCCopy(TBitmap* Bmp, int SectionIndex, int FallbackIndex, HDC SourceDC, uint32_t FillColor,
                           TPoint SourcePoint, TsSkinManager* Manager, int State);

// ---- a control's look from its skin state ----
// PaintSectionBackground of the control's section; a CustomColor control paints its own colour.
void PaintControlBackground(TsCommonData* SkinData, const TvkBgCacheRef& BgRef, int State, TBitmap* Bmp,
                            TPoint Offset, const TRect& Rect);
// Background, corner images, border (FillKeyed: its key corners from the background) and the colour shifts.
void RenderControlSkin(TsCommonData* SkinData, const TvkBgCacheRef& BgRef, bool FillKeyed, TBitmap* Bmp,
                       TPoint Offset, const TRect& Rect, int State);
// RenderControlSkin over the background the control's parent gives.
void RenderControlSkinOnParent(TsCommonData* SkinData, bool FillKeyed, TBitmap* Bmp, TPoint Offset, const TRect& Rect,
                               int State);

// The frame of Width x Height at (X, Y) with borders BorderWidth copied from SrcDC at (SrcX, SrcY): four strips
// that cover the frame exactly once.
void CopyBorderStrips(HDC DstDC, int X, int Y, int BorderWidth, int SrcY, int SrcX, HDC SrcDC, int Height, int Width);
// Removes Parent's visible child controls, moved by (X, Y), from DC's clip region; graphic children only when
// the default manager keeps images opaque (StdImgTransparency off).
void ClipOutChildControls(HDC DC, TWinControl* Parent, int X, int Y);
