// Two-pass separable resampling of 32-bit images with a choice of reconstruction filters,
// in 16.16 fixed point on all four bytes of each pixel.
#pragma once
#include <cstdint>
#include <vector>

#include "skin/graphics/PixelPlane.h"

class TBitmap;

enum TResampleFilter { rfBox, rfTriangle, rfHermite, rfBell, rfBSpline, rfLanczos3, rfMitchell };

// Weight of a filter at the signed scaled distance X; 0 for an unknown filter index.
double ResampleFilterWeight(int Filter, double X);
// Support radius of a filter (0 for an unknown index).
float ResampleFilterRadius(int Filter);

struct TContributor {
  int Offset;  // source byte offset (source index times the step)
  int Weight;  // 16.16 fixed point
};
struct TContributorList {
  std::vector<TContributor> Items;
};
using TContributions = std::vector<TContributorList>;

// Contributions of the source indexes to every destination index of one axis.
void BuildContributions(TContributions& List, int DstSize, int SrcSize, int Step, int Filter);
void FreeContributions(TContributions& List);
// One line of one pass: DstCount destination pixels, DstStep bytes apart.
void ApplyContributions(int SrcStep, int DstStep, const uint8_t* SrcLine, uint8_t* DstLine,
                        const TContributions& List, int DstCount);
// (SrcStep is part of the contribution offsets already; it is kept for the callers' symmetry.)

// Resamples Src into Dst, whose size gives the new size. Nothing happens when either size is below
// 2 in either direction.
void ResamplePixels(const TPixelPlane& Src, const TPixelPlane& Dst, int Filter);

// Dst becomes a NewWidth x NewHeight 32-bit bitmap holding Src resampled.
void ResampleBitmap32(TBitmap* Src, TBitmap* Dst, int NewWidth, int Filter, int NewHeight);
