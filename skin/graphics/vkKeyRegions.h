// Window regions that leave out key-coloured (0xFF00FF) pixels: from whole bitmaps, and the cut-outs of a
// border image's corners so a form's region can be made without painting the form first.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"

struct TsMaskData;

// One horizontal run of key pixels per rectangle: (x, y, x + length, y + 1).
using TKeyRuns = std::vector<TRect>;

// Appends the runs of pixels equal to Key (raw 32-bit values) of every row, top to bottom, left to right.
void CollectKeyRuns(TKeyRuns& Runs, TBitmap* Bmp, uint32_t Key);
// The bitmap's full rectangle minus its key runs; the caller owns the region.
void RegionFromBitmapKey(HRGN& Rgn, TBitmap* Bmp, uint32_t Key);
// Appends the key runs of the two top corners (Bottom false) or the two bottom corners of a border element's
// first frame, in window coordinates: left corners keep their x, right corners end at WindowWidth, rows are
// moved down by Y. Nothing when the image is too small for the rows asked.
void MeasureMaskCornerCutouts(TKeyRuns& Runs, int WindowWidth, const TsMaskData& Mask, bool Bottom, int Y);
