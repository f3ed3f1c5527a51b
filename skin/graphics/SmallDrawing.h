// Small drawing helpers that skinned controls share: arrow glyphs, the system's check-box cell size,
// icons made from 32-bit images, and drawing a 32-bit image with alpha (stretched) onto a canvas.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"

// Byte Channel of every pixel of the 32-bit Bmp32 to the 8-bit Plane (Extract) or back.
void ChannelToBytes(TBitmap* Bmp32, TBitmap* Plane, int Channel, bool Extract);
// A new W x H 32-bit bitmap holding the 32-bit Bmp stretched with the nearest-pixel rule, colour and
// alpha alike.
TBitmap* NewStretchedBitmap32(TBitmap* Bmp, int W, int H);
// Draws Bmp into Rect of Canvas, with per-pixel alpha for 32-bit bitmaps; Reflection adds a faded
// mirror below Rect (Rect's height again).
void StretchDrawBitmap32(TCanvas* Canvas, TBitmap* Bmp, const TRect& Rect, bool Reflection);
