#include "skin/graphics/vkKeyRegions.h"

#include <algorithm>

#include "skin/core/sMaskData.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSkinImage.h"

namespace {

// Runs of pixels matching IsKey in Count pixels of one row, appended at row Y with X0 added to their x.
template <class Pred>
void RowRuns(TKeyRuns& Runs, const uint32_t* Row, int Count, int X0, int Y, Pred IsKey) {
  int Start = -1;
  for (int x = 0; x < Count; ++x) {
    if (IsKey(Row[x])) {
      if (Start < 0) Start = x;
    } else if (Start >= 0) {
      Runs.emplace_back(X0 + Start, Y, X0 + x, Y + 1);
      Start = -1;
    }
  }
  if (Start >= 0) Runs.emplace_back(X0 + Start, Y, X0 + Count, Y + 1);
}

}  // namespace

void CollectKeyRuns(TKeyRuns& Runs, TBitmap* Bmp, uint32_t Key) {
  const TPixelPlane P = PlaneOf(Bmp);
  if (P.Empty()) return;
  for (int y = 0; y < P.Height; ++y) RowRuns(Runs, P.Row32(y), P.Width, 0, y, [Key](uint32_t p) { return p == Key; });
}

void RegionFromBitmapKey(HRGN& Rgn, TBitmap* Bmp, uint32_t Key) {
  TKeyRuns Runs;
  CollectKeyRuns(Runs, Bmp, Key);
  Rgn = CreateRectRgn(0, 0, Bmp != nullptr ? Bmp->Width() : 0, Bmp != nullptr ? Bmp->Height() : 0);
  for (const TRect& R : Runs) {
    HRGN Cut = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
    CombineRgn(Rgn, Rgn, Cut, RGN_DIFF);
    DeleteObject(Cut);
  }
}

void MeasureMaskCornerCutouts(TKeyRuns& Runs, int WindowWidth, const TsMaskData& Mask, bool Bottom, int Y) {
  if (Mask.Manager == nullptr) return;
  const TPixelPlane P = PlaneOf(MaskSourceBitmap(Mask));
  if (P.Empty()) return;
  // A negative mask type counts as none: the frame is the whole height.
  const int FrameH = (Mask.R.Bottom - Mask.R.Top) / (std::max<int>(Mask.MaskType, 0) + 1);
  const int Rows = Bottom ? Mask.WB : Mask.WT;
  const int Top = Mask.R.Top + (Bottom ? FrameH - Mask.WB : 0);
  if (Rows <= 0 || Top < 0 || Top + Rows > P.Height) return;
  const int LeftX = Mask.R.Left, RightX = Mask.R.Left + Mask.Width - Mask.WR;
  if (LeftX < 0 || RightX < 0 || LeftX + Mask.WL > P.Width || RightX + Mask.WR > P.Width) return;
  auto IsKey = [](uint32_t p) { return (p & 0x00FFFFFFu) == 0x00FF00FFu; };
  for (int r = 0; r < Rows; ++r) {
    const uint32_t* Row = P.Row32(Top + r);
    RowRuns(Runs, Row + LeftX, Mask.WL, 0, r + Y, IsKey);
    RowRuns(Runs, Row + RightX, Mask.WR, WindowWidth - Mask.WR, r + Y, IsKey);
  }
}
