#include "skin/graphics/Gradients.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "framework/Graphics.h"
#include "framework/LateBinding.h"
#include "framework/SysUtils.h"
#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/vkBitmap32.h"

namespace {

TGradientFillProc g_gradientFill = nullptr;
HMODULE g_msimg32 = nullptr;
int g_startCount = 0;

// Fields of the gradient text: runs of characters between ';' (empty fields do not count).
std::vector<std::string> SplitFields(const std::string& S) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < S.size()) {
    while (i < S.size() && S[i] == ';') ++i;
    const size_t start = i;
    while (i < S.size() && S[i] != ';') ++i;
    if (i > start) out.push_back(S.substr(start, i - start));
  }
  return out;
}

// Field N (1-based); a missing field reads as empty text, which is not a number.
int64_t FieldNumber(const std::vector<std::string>& Fields, size_t N) {
  return StrToInt64(N >= 1 && N <= Fields.size() ? Fields[N - 1] : std::string());
}

uint32_t ToPixel(uint32_t C) { return 0xFF000000u | ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF); }

// Per-channel interpolation from C0 to C1 (colour values) over Count + 1 positions, each channel
// growing by its step per position and rounded (ties to even); written in pixel order, alpha 255.
void Interpolate(uint32_t C0, uint32_t C1, int Count, uint32_t* Out) {
  if (C0 == C1 || Count <= 0) {
    std::fill(Out, Out + Count + 1, ToPixel(C0));
    return;
  }
  double v[3], step[3];
  for (int k = 0; k < 3; ++k) {
    v[k] = (C0 >> (8 * k)) & 0xFF;
    step[k] = (static_cast<double>((C1 >> (8 * k)) & 0xFF) - v[k]) / Count;
  }
  for (int i = 0; i <= Count; ++i) {
    uint32_t c = 0;
    for (int k = 0; k < 3; ++k) {
      const int ch = std::clamp(static_cast<int>(std::nearbyint(v[k])), 0, 255);
      c |= static_cast<uint32_t>(ch) << (8 * k);
      v[k] += step[k];
    }
    Out[i] = ToPixel(c);
  }
}

bool GdipStep(const TsGradArray& Items, size_t I) {
  return ((Items[I].Mode | Items[I - 1].Mode) & kGradGdipStep) != 0;
}

// Step positions along the gradient's axis. Span(i, from, to) receives each step i with its first
// and last (inclusive) position; steps that end where they begin are passed over, except the last
// step of a strip one row (column) thick: no step could be longer, and the row would stay unpainted.
// Vertical steps end at Start + Extent * percent div 100; the last step, and any step that would
// pass it, ends on the rectangle's last row.
void WalkVertical(const RECT& R, const TsGradArray& Items, const std::function<void(size_t, int, int)>& Span) {
  const int extent = R.bottom - R.top;
  const int limit = R.bottom - 1;
  int y = R.top;
  for (size_t i = 1; i < Items.size(); ++i) {
    const bool last = i + 1 == Items.size();
    int yEnd = y + extent * (Items[i].Percent - Items[i - 1].Percent) / 100;
    yEnd = last ? limit : std::clamp<int>(yEnd, R.top, limit);
    if (yEnd - y > 0 || (last && extent == 1)) Span(i, y, yEnd);
    y = yEnd;
  }
}

// Horizontal steps end at Round(x + percent * width / 100). GDI+ steps are filled up to the
// rectangle's right edge (exclusive), the others up to its last column (inclusive).
void WalkHorizontal(const RECT& R, const TsGradArray& Items, bool AllowGdip,
                    const std::function<void(size_t, int, int, bool)>& Span) {
  const int extent = R.right - R.left;
  int x = R.left;
  for (size_t i = 1; i < Items.size(); ++i) {
    const bool gdip = AllowGdip && GdipStep(Items, i);
    const bool last = i + 1 == Items.size();
    int xEnd = static_cast<int>(std::nearbyint(x + (Items[i].Percent - Items[i - 1].Percent) * extent / 100.0));
    const int limit = gdip ? R.right : R.right - 1;
    xEnd = last ? limit : std::clamp<int>(xEnd, R.left, limit);
    if (gdip) {
      if (xEnd - x + 1 > 0) Span(i, x, xEnd, true);
    } else if (xEnd - x > 0 || (last && extent == 1 && xEnd == x)) {
      Span(i, x, xEnd, false);
    }
    x = xEnd;
  }
}

// R clipped to the bitmap; false when nothing is left.
bool ClipToPlane(RECT& R, const TPixelPlane& P) {
  R.left = std::max<LONG>(R.left, 0);
  R.top = std::max<LONG>(R.top, 0);
  R.right = std::min<LONG>(R.right, P.Width);
  R.bottom = std::min<LONG>(R.bottom, P.Height);
  return R.right > R.left && R.bottom > R.top;
}

void OpaqueRect(const TPixelPlane& P, const RECT& R) {
  for (int y = R.top; y < R.bottom; ++y) {
    uint32_t* row = P.Row32(y);
    for (int x = R.left; x < R.right; ++x) row[x] |= 0xFF000000u;
  }
}

void PaintFourCorner(TBitmap* Bmp, const RECT& R, const TsGradArray& Items, const TPixelPlane& P) {
  if (Items.size() < 5) return;
  const int w = R.right - R.left, h = R.bottom - R.top;
  const POINT tl{R.left, R.top}, centre{R.left + w / 2, R.top + h / 2}, tr{R.right, R.top},
      br{R.right, R.bottom}, bl{R.left, R.bottom};
  HDC dc = Bmp->Canvas()->Handle();
  if (Items[0].Mode & kGradGdipPath) {
    const POINT corners[4] = {tl, tr, br, bl};
    const uint32_t colors[4] = {Items[0].Color, Items[2].Color, Items[3].Color, Items[4].Color};
    if (!GdipFillPathGradient(dc, corners, colors, Items[1].Color, static_cast<float>(R.left),
                              static_cast<float>(R.top), static_cast<float>(w), static_cast<float>(h)))
      return;
  } else {
    if (!g_gradientFill) return;
    TRIVERTEX v[5];
    const POINT points[5] = {tl, centre, tr, br, bl};
    for (int i = 0; i < 5; ++i) SetTriVertex(v[i], Items[i].Color, points[i]);
    GRADIENT_TRIANGLE t[4];
    SetGradientTriangle(t[0], 0, 1, 2);
    SetGradientTriangle(t[1], 1, 2, 3);
    SetGradientTriangle(t[2], 0, 1, 4);
    SetGradientTriangle(t[3], 4, 1, 3);
    g_gradientFill(dc, v, 5, t, 4, GRADIENT_FILL_TRIANGLE);
  }
  GdiFlush();
  OpaqueRect(P, R);
}

}  // namespace

TGradientFillProc& GradientFillEntry() { return g_gradientFill; }

void GradientUnitStart() {
  if (g_startCount++ > 0) return;
  g_msimg32 = LoadSystemLibrary("msimg32.dll");
  if (g_msimg32)
    g_gradientFill = reinterpret_cast<TGradientFillProc>(reinterpret_cast<void*>(GetProcAddress(g_msimg32, "GradientFill")));
}

void GradientUnitEnd() {
  if (g_startCount == 0 || --g_startCount > 0) return;
  g_gradientFill = nullptr;
  if (g_msimg32) FreeLibrary(g_msimg32);
  g_msimg32 = nullptr;
}

void SetTriVertex(TRIVERTEX& V, uint32_t Color, const TPoint& P) {
  V.x = P.X;
  V.y = P.Y;
  V.Red = static_cast<COLOR16>((Color & 0xFF) << 8);
  V.Green = static_cast<COLOR16>(Color & 0xFF00);
  V.Blue = static_cast<COLOR16>(((Color >> 16) & 0xFF) << 8);
  V.Alpha = 0xFF00;
}

void SetGradientTriangle(GRADIENT_TRIANGLE& T, ULONG A, ULONG B, ULONG C) {
  T.Vertex1 = A;
  T.Vertex2 = B;
  T.Vertex3 = C;
}

void ParseGradientData(const std::string& S, TsGradArray& Items) {
  Items.clear();
  if (S.size() <= 4) return;
  const std::vector<std::string> fields = SplitFields(S);
  if (S.back() == '0') {
    const size_t n = fields.size() / 5;
    int sum = 0;
    for (size_t k = 0; k < n; ++k) {
      TsGradItem item{};
      item.Index = static_cast<uint16_t>(k);
      item.Color = static_cast<uint32_t>(FieldNumber(fields, 5 * k + 1)) | 0xFF000000u;
      item.Percent = static_cast<uint8_t>(std::min(100, sum));
      item.Mode = static_cast<uint32_t>(FieldNumber(fields, 5 * k + 4)) & ~kGradGdipStep;
      sum += static_cast<int>(std::clamp<int64_t>(FieldNumber(fields, 5 * k + 3), 0, 100));
      Items.push_back(item);
    }
    if (!Items.empty() && (Items[0].Mode & kGradKindMask) == kGradFourCorner) {
      while (Items.size() < 5) {
        TsGradItem copy = Items.back();
        copy.Index = static_cast<uint16_t>(Items.size());
        Items.push_back(copy);
      }
    }
  } else {
    const int n = static_cast<unsigned char>(S.back()) - 64;
    for (int k = 0; k < n; ++k) {
      TsGradItem item{};
      item.Index = static_cast<uint16_t>(k);
      item.Color = static_cast<uint32_t>(FieldNumber(fields, 3 * k + 1));
      item.Percent = static_cast<uint8_t>(std::clamp<int64_t>(FieldNumber(fields, 3 * k + 2), 0, 100));
      item.Mode = static_cast<uint32_t>(FieldNumber(fields, 3 * k + 3));
      Items.push_back(item);
      if (item.Mode & kGradGdipStep) Items[0].Mode |= kGradGdipPath;
    }
    // Colours written without an alpha byte anywhere are plain colours, not invisible ones: a GDI+ fill would
    // otherwise leave what lay there before.
    if (std::all_of(Items.begin(), Items.end(), [](const TsGradItem& I) { return (I.Color >> 24) == 0; }))
      for (TsGradItem& I : Items) I.Color |= 0xFF000000u;
  }
  // The last stop always closes the rectangle (an empty list has no last stop).
  if (!Items.empty()) Items.back().Percent = 100;
}

void PaintGradient(TBitmap* Bmp, const TRect& Rect, const TsGradArray& Items) {
  RECT R = Rect;
  if (Items.empty() || R.right <= R.left || R.bottom <= R.top) return;
  const TPixelPlane P = PlaneOf(Bmp);
  if (P.Empty() || !ClipToPlane(R, P)) return;
  const uint32_t kind = Items[0].Mode & kGradKindMask;
  const int width = R.right - R.left;
  std::vector<uint32_t> line;
  if (kind == kGradVertical) {
    WalkVertical(R, Items, [&](size_t i, int y, int yEnd) {
      // A one-row step takes its start colour plainly: GDI+ would blend it from the row above.
      if (GdipStep(Items, i) && yEnd > y) {
        // A step leaves its end row to the next one; the step ending on R's last row has no next one to fill it.
        const int stop = yEnd == R.bottom - 1 ? R.bottom : yEnd;
        HDC dc = Bmp->Canvas()->Handle();
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, R.left, y - 1, R.right, y);
        const bool drawn =
            GdipFillVertGradient(dc, Items[i - 1].Color, Items[i].Color, static_cast<float>(R.left),
                                 static_cast<float>(y - 1), static_cast<float>(width), static_cast<float>(stop - y + 1));
        RestoreDC(dc, saved);
        GdiFlush();
        if (drawn) OpaqueRect(P, RECT{R.left, y, R.right, stop});
        return;
      }
      line.resize(yEnd - y + 1);
      Interpolate(Items[i - 1].Color, Items[i].Color, yEnd - y, line.data());
      for (int row = y; row <= yEnd; ++row) std::fill_n(P.Row32(row) + R.left, width, line[row - y]);
    });
  } else if (kind == kGradHorizontal) {
    line.resize(width);
    WalkHorizontal(R, Items, true, [&](size_t i, int x, int xEnd, bool gdip) {
      if (gdip) {
        HDC dc = Bmp->Canvas()->Handle();
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, x - 1, R.top, x, R.bottom);
        const bool drawn = GdipFillHorzGradient(dc, Items[i - 1].Color, Items[i].Color, static_cast<float>(x - 1),
                                                static_cast<float>(R.top), static_cast<float>(xEnd - x + 1),
                                                static_cast<float>(R.bottom - R.top));
        RestoreDC(dc, saved);
        GdiFlush();
        if (drawn) OpaqueRect(P, RECT{x, R.top, xEnd, R.bottom});
        return;
      }
      // The first row is computed, the others are copies of it.
      uint32_t* first = line.data() + (x - R.left);
      Interpolate(Items[i - 1].Color, Items[i].Color, xEnd - x, first);
      for (int row = R.top; row < R.bottom; ++row) std::copy_n(first, xEnd - x + 1, P.Row32(row) + x);
    });
  } else if (kind == kGradFourCorner) {
    PaintFourCorner(Bmp, R, Items, P);
  }
}

void PaintGradientTextured(TBitmap* Bmp, const TRect& Rect, const TsGradArray& Items, uint8_t Alpha, int Level,
                           const TRect& TextureRect, TBitmap* TexBmp) {
  RECT R = Rect, TexRect = TextureRect;
  if (Items.empty() || R.right <= R.left || R.bottom <= R.top) return;
  const TPixelPlane P = PlaneOf(Bmp);
  const TPixelPlane T = PlaneOf(TexBmp);
  if (P.Empty() || T.Empty() || !ClipToPlane(R, P)) return;
  if (TexRect.right <= TexRect.left || TexRect.bottom <= TexRect.top) TexRect = RECT{0, 0, T.Width, T.Height};
  if (!ClipToPlane(TexRect, T)) return;
  const uint32_t kind = Items[0].Mode & kGradKindMask;
  if (kind != kGradVertical && kind != kGradHorizontal) return;
  const int texW = TexRect.right - TexRect.left, texH = TexRect.bottom - TexRect.top;

  // The gradient's colour at every position of its axis, then mixed with the texture pixel by pixel.
  const bool vertical = kind == kGradVertical;
  const int origin = vertical ? R.top : R.left;
  std::vector<uint32_t> axis((vertical ? R.bottom - R.top : R.right - R.left) + 1, 0);
  std::vector<bool> covered(axis.size(), false);
  auto span = [&](size_t i, int from, int to) {
    Interpolate(Items[i - 1].Color, Items[i].Color, to - from, axis.data() + (from - origin));
    for (int k = from; k <= to; ++k) covered[k - origin] = true;
  };
  if (vertical)
    WalkVertical(R, Items, span);
  else
    WalkHorizontal(R, Items, false, [&](size_t i, int from, int to, bool) { span(i, from, to); });

  for (int y = R.top; y < R.bottom; ++y) {
    uint32_t* row = P.Row32(y);
    const uint32_t* tex = T.Row32(TexRect.top + y % texH);
    for (int x = R.left; x < R.right; ++x) {
      const int pos = (vertical ? y : x) - origin;
      if (!covered[pos]) continue;
      const uint32_t g = axis[pos];
      const uint32_t t = tex[TexRect.left + x % texW];
      uint32_t out = static_cast<uint32_t>(Alpha) << 24;
      for (int sh = 0; sh < 24; sh += 8) {
        const int gc = (g >> sh) & 0xFF, tc = (t >> sh) & 0xFF;
        out |= static_cast<uint32_t>((((tc - gc) * Level + gc * 256) >> 8) & 0xFF) << sh;
      }
      row[x] = out;
    }
  }
}
