// The pictures of an alpha hint: its frame from a template image or from the skin's hint section, the
// window's outline from that section, and the text inside the frame. They work on 32-bit bitmaps of the
// hint's size and touch no window, so a hint window only has to hand the result to the layered-window call.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Graphics.h"

class TsSkinManager;
class TvkHintImage;

// The template image over the whole of Bmp (pf32bit): corners unscaled, sides and centre stretched or tiled by
// the image's BorderDrawModes, with BordersWidths as the corner and side sizes. The image's alpha is kept;
// a piece whose source is empty leaves Bmp as it was. The image is decoded from its file bytes first.
void PaintHintImageFrame(TBitmap* Bmp, TvkHintImage* Image);

// The skin's hint section as the frame over the whole of Bmp (pf32bit): a section of transparency 100 with a
// border image is that image by the nine-part rule, any other one is painted for State. What is left in the
// key colour becomes fully transparent, everything else opaque.
void PaintSkinHintFrame(TBitmap* Bmp, TsSkinManager* Manager, int SectionIndex, int State);

// The outline the section paints: the rectangle Width x Height less every pixel the section leaves on the
// marker background. The caller owns the region.
HRGN SkinHintRegion(TsSkinManager* Manager, int SectionIndex, int State, int Width, int Height);

// Where the text of a template hint goes: the bitmap less the image's ClientMargins.
TRect HintTextRect(int Width, int Height, TvkHintImage* Image);
// Where the text of a skinned hint goes: less the section's border widths plus 4 scaled pixels each side.
TRect SkinHintTextRect(int Width, int Height, TsSkinManager* Manager, int SectionIndex);

// The text into R of Bmp (pf32bit) in Font and its colour: through the HTML renderer keeping the bitmap's alpha,
// or plain with DrawText's Flags. Pixels the text changes become opaque, since the layered window shows only
// what has alpha.
void DrawHintText(TBitmap* Bmp, const TRect& R, const std::string& Text, TFont* Font, bool Html, UINT Flags);
// Runs Paint, which draws on Bmp (pf32bit) with GDI, and makes every pixel whose colour it changed opaque.
void PaintOpaque(TBitmap* Bmp, const std::function<void()>& Paint);
