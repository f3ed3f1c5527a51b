#include "skin/graphics/Rotation.h"

#include <cmath>
#include <vector>

#include "skin/graphics/vkBitmap32.h"

namespace {

TSinCos g_table[360];

void FreeSourceIfAsked(TBitmap*& Src, bool FreeSource) {
  if (!FreeSource) return;
  if (Src) Src->Free();
  Src = nullptr;
}

}  // namespace

double DegToRad(double Degrees) { return Degrees * 3.14159265358979323846 / 180.0; }

int NormalizeDegrees(int Degrees) {
  const int d = Degrees % 360;
  return d < 0 ? d + 360 : d;
}

void BuildSinCosTable() {
  for (int i = 0; i < 360; ++i) {
    const double r = DegToRad(i);
    g_table[i] = {static_cast<float>(std::sin(r)), static_cast<float>(std::cos(r))};
  }
}

const TSinCos& SinCosOf(int Degrees) { return g_table[NormalizeDegrees(Degrees)]; }

TPrlgram::TPrlgram(const TPoint* Points, int LastIndex) {
  const int n = LastIndex + 1 < 4 ? LastIndex + 1 : 4;
  for (int i = 0; i < n; ++i) corners_[i] = {static_cast<double>(Points[i].X), static_cast<double>(Points[i].Y)};
}

TPoint TPrlgram::GetCorner(int I) const {
  if (I < 0 || I > 3) return TPoint();
  return TPoint(static_cast<int>(std::nearbyint(corners_[I].X)), static_cast<int>(std::nearbyint(corners_[I].Y)));
}

void TPrlgram::Rotate(int Degrees) {
  // The table has one entry per degree; callers pass angles such as Round(a) - 90, so wrap first.
  const TSinCos& sc = SinCosOf(Degrees);
  const float cx = static_cast<float>((corners_[0].X + corners_[2].X) / 2);
  const float cy = static_cast<float>((corners_[0].Y + corners_[2].Y) / 2);
  for (TPrlgramCorner& p : corners_) {
    const double dx = p.X - cx, dy = p.Y - cy;
    p.X = cx + static_cast<float>(dx * sc.Cos + dy * sc.Sin);
    p.Y = cy + static_cast<float>(-dx * sc.Sin + dy * sc.Cos);
  }
}

void RotatedDestinationPoints(int W, int H, const TPoint& Centre, int Degrees, POINT Dest[3]) {
  TPoint corners[4];
  corners[0] = TPoint(Centre.X - W / 2, Centre.Y - H / 2);
  corners[1] = TPoint(corners[0].X + W, corners[0].Y);
  corners[2] = TPoint(corners[1].X, corners[1].Y + H);
  corners[3] = TPoint(corners[0].X, corners[0].Y + H);
  TPrlgram* p = new TPrlgram(corners, 3);
  p->Rotate(Degrees);
  Dest[0] = p->GetCorner(1);
  Dest[1] = p->GetCorner(2);
  Dest[2] = p->GetCorner(0);
  p->Free();
}

void DrawRotatedBitmap(HDC DC, TBitmap* Bmp, const TPoint& Centre, int Degrees) {
  if (!Bmp || Bmp->Empty()) return;
  BuildSinCosTable();
  POINT dest[3];
  RotatedDestinationPoints(Bmp->Width(), Bmp->Height(), Centre, Degrees, dest);
  PlgBlt(DC, dest, Bmp->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), nullptr, 0, 0);
}

TBitmap* RotatedBitmap90(TBitmap*& Src, bool Clockwise, bool FreeSource) {
  TBitmap* result = nullptr;
  if (Src && Src->PixelFormat() == pf32bit) {
    const int w = Src->Width(), h = Src->Height();
    result = NewBitmap32(h, w);
    const TPixelPlane s = PlaneOf(Src), d = PlaneOf(result);
    if (!s.Empty() && !d.Empty()) {
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          if (Clockwise)
            d.At(h - 1 - y, x) = s.At(x, y);
          else
            d.At(y, x) = s.At(w - 1 - x, y);
        }
    }
  }
  FreeSourceIfAsked(Src, FreeSource);
  return result;
}

TBitmap* RotateBitmapBits(TBitmap*& Src, int Angle, bool FreeSource) {
  TBitmap* result = nullptr;
  if (Src && Src->PixelFormat() == pf32bit && (Angle == 90 || Angle == 180 || Angle == 270) && !Src->Empty()) {
    const int w = Src->Width(), h = Src->Height();
    const LONG size = w * h * 4;
    // The raw bits are rows from the top, each w pixels of 4 bytes.
    HGLOBAL mem = GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(size) * 2);
    if (!mem) throw EOutOfResources("Out of system resources");
    uint32_t* in = static_cast<uint32_t*>(GlobalLock(mem));
    uint32_t* out = in + static_cast<size_t>(w) * h;
    GdiFlush();
    if (GetBitmapBits(Src->Handle(), size, in) == size) {
      const int nw = Angle == 180 ? w : h, nh = Angle == 180 ? h : w;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint32_t v = in[static_cast<size_t>(y) * w + x];
          int nx, ny;
          if (Angle == 90) {
            nx = h - 1 - y;
            ny = x;
          } else if (Angle == 180) {
            nx = w - 1 - x;
            ny = h - 1 - y;
          } else {
            nx = y;
            ny = w - 1 - x;
          }
          out[static_cast<size_t>(ny) * nw + nx] = v;
        }
      result = NewBitmap32(nw, nh);
      SetBitmapBits(result->Handle(), size, out);
    }
    GlobalUnlock(mem);
    GlobalFree(mem);
  }
  FreeSourceIfAsked(Src, FreeSource);
  return result;
}
