#include "skin/graphics/Resample.h"

#include <algorithm>
#include <cmath>

#include "framework/Graphics.h"
#include "skin/graphics/vkBitmap32.h"

namespace {

const double kPi = 3.14159265358979323846;
const float kRadius[] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

int RoundHalfEven(double V) { return static_cast<int>(std::nearbyint(V)); }

} // namespace

float ResampleFilterRadius(int Filter) {
  return Filter >= 0 && Filter <= rfMitchell ? kRadius[Filter] : 0.0f;
}

double ResampleFilterWeight(int Filter, double X) {
  const double t = std::fabs(X);
  switch (Filter) {
    case rfBox:
      // Half-open on the left so that a sample lying exactly between two pixels takes only one.
      return X > -0.5 && X <= 0.5 ? 1.0 : 0.0;
    case rfTriangle:
      return t < 1.0 ? 1.0 - t : 0.0;
    case rfHermite:
      return t < 1.0 ? t * t * (2.0 * t - 3.0) + 1.0 : 0.0;
    case rfBell:
      if (t < 0.5) return 0.75 - t * t;
      if (t < 1.5) return 0.5 * (t - 1.5) * (t - 1.5);
      return 0.0;
    case rfBSpline:
      if (t < 1.0) return t * t * (t / 2.0 - 1.0) + 2.0 / 3.0;
      if (t < 2.0) return (2.0 - t) * (2.0 - t) * (2.0 - t) / 6.0;
      return 0.0;
    case rfLanczos3:
      // The second factor is sin(t)/t rather than the textbook window; the look of scaled skins
      // was tuned with it, so it stays.
      if (t == 0.0) return 1.0;
      if (t < 3.0) return std::sin(kPi * t) * std::sin(t) / (kPi * t * t);
      return 0.0;
    case rfMitchell:
      if (t < 1.0) return t * t * (7.0 / 6.0 * t - 2.0) + 8.0 / 9.0;
      if (t < 2.0) return t * t * (-7.0 / 18.0 * t + 2.0) - 10.0 / 3.0 * t + 16.0 / 9.0;
      return 0.0;
    default:
      return 0.0;
  }
}

void BuildContributions(TContributions& List, int DstSize, int SrcSize, int Step, int Filter) {
  List.clear();
  if (DstSize < 1 || SrcSize < 1) return;
  List.resize(DstSize);
  const float radius = ResampleFilterRadius(Filter);
  const float scale = SrcSize > DstSize ? static_cast<float>(DstSize) / static_cast<float>(SrcSize) : 1.0f;
  const float width = radius / scale;
  const int room = static_cast<int>(2.0f * width + 1.0f);
  for (int i = DstSize - 1; i >= 0; --i) {
    TContributorList& entry = List[i];
    entry.Items.reserve(room);
    const float centre = static_cast<float>(i) * static_cast<float>(SrcSize) / static_cast<float>(DstSize);
    const int first = static_cast<int>(std::floor(centre + width));
    const int last = static_cast<int>(std::ceil(centre - width));
    for (int j = first; j >= last; --j) {
      const float x = (centre - static_cast<float>(j)) * scale;
      if (std::fabs(x) >= radius) continue;
      const double weight = ResampleFilterWeight(Filter, x);
      if (weight == 0.0) continue;
      int index = j;
      if (index < 0) {
        index = -index;
        if (index >= SrcSize) index = 2 * SrcSize + j - 1;
      } else if (index >= SrcSize) {
        index = 2 * SrcSize - j - 1;
      }
      // Mirroring a wide kernel over a very small source can still leave the range (a 2-pixel
      // source under Lanczos3 mirrors index 4 to -1): hold it to the edge pixels.
      index = std::clamp(index, 0, SrcSize - 1);
      entry.Items.push_back({index * Step, RoundHalfEven(weight * scale * 65536.0)});
    }
  }
}

void FreeContributions(TContributions& List) { TContributions().swap(List); }

void ApplyContributions(int /*SrcStep*/, int DstStep, const uint8_t* SrcLine, uint8_t* DstLine,
                        const TContributions& List, int DstCount) {
  auto clampSum = [](int sum) -> uint8_t {
    if (sum < 0) return 0;
    if (sum >= 0xFF0001) return 255;
    return static_cast<uint8_t>(sum >> 16);
  };
  for (int i = 0; i < DstCount; ++i) {
    int b = 0, g = 0, r = 0, a = 0;
    for (const TContributor& c : List[i].Items) {
      const uint8_t* s = SrcLine + c.Offset;
      b += s[0] * c.Weight;
      g += s[1] * c.Weight;
      r += s[2] * c.Weight;
      a += s[3] * c.Weight;
    }
    DstLine[0] = clampSum(b);
    DstLine[1] = clampSum(g);
    DstLine[2] = clampSum(r);
    DstLine[3] = clampSum(a);
    DstLine += DstStep;
  }
}

namespace {

// Horizontal pass: every row of Src resampled to NewWidth into a top-down work image.
std::vector<uint8_t> HorizontalPass(const TPixelPlane& Src, int NewWidth, int Filter) {
  const int workStride = NewWidth * 4;
  std::vector<uint8_t> work(static_cast<size_t>(workStride) * Src.Height);
  TContributions list;
  BuildContributions(list, NewWidth, Src.Width, 4, Filter);
  for (int y = 0; y < Src.Height; ++y)
    ApplyContributions(4, 4, Src.Row(y), work.data() + static_cast<size_t>(y) * workStride, list, NewWidth);
  return work;
}

// Vertical pass: every column of the work image (Dst's width, SrcHeight rows) into Dst.
void VerticalPass(const std::vector<uint8_t>& Work, int SrcHeight, const TPixelPlane& Dst, int Filter) {
  const int workStride = Dst.Width * 4;
  TContributions list;
  BuildContributions(list, Dst.Height, SrcHeight, workStride, Filter);
  for (int x = 0; x < Dst.Width; ++x)
    ApplyContributions(workStride, Dst.Stride, Work.data() + x * 4, Dst.Row(0) + x * 4, list, Dst.Height);
}

}  // namespace

void ResamplePixels(const TPixelPlane& Src, const TPixelPlane& Dst, int Filter) {
  if (Src.Empty() || Dst.Empty()) return;
  if (Src.Width < 2 || Src.Height < 2 || Dst.Width < 2 || Dst.Height < 2) return;
  VerticalPass(HorizontalPass(Src, Dst.Width, Filter), Src.Height, Dst, Filter);
}

void ResampleBitmap32(TBitmap* Src, TBitmap* Dst, int NewWidth, int Filter, int NewHeight) {
  if (!Src || !Dst || NewHeight == 0) return;
  const int srcWidth = Src->Width(), srcHeight = Src->Height();
  if (srcWidth < 2 || srcHeight < 2 || NewWidth < 2 || NewHeight < 2) return;
  if (srcWidth == NewWidth && srcHeight == NewHeight) {
    if (Src != Dst) Dst->Assign(Src);
    return;
  }
  Src->SetPixelFormat(pf32bit);
  // The work image is complete before Dst changes, so Src and Dst may be the same bitmap.
  const std::vector<uint8_t> work = HorizontalPass(PlaneOf(Src), NewWidth, Filter);
  Dst->SetWidth(NewWidth);
  Dst->SetHeight(NewHeight);
  Dst->SetPixelFormat(pf32bit);
  VerticalPass(work, srcHeight, PlaneOf(Dst), Filter);
}
