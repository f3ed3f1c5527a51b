#include "skin/graphics/GdipFlat.h"

#include <algorithm>

#include "framework/Graphics.h"
#include "framework/LateBinding.h"
#include "skin/graphics/vkBitmap32.h"

namespace {

using E = TGdipEntries;

TGdipEntries g_entries;
HMODULE g_library = nullptr;
ULONG_PTR g_token = 0;
bool g_started = false;
int g_startCount = 0;

constexpr int kPixelFormat32bppARGB = 0x26200A;
constexpr UINT kLockReadWrite = 3;
constexpr int kUnitPixel = 2;
constexpr int kUnitWorld = 0;
constexpr int kWrapTile = 0;
constexpr int kWrapClamp = 4;
constexpr int kCompositingSourceCopy = 1;
constexpr int kCompositingHighSpeed = 1;

template <class F> void Bind(F& Entry, const char* Name) {
  Entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(g_library, Name)));
}

// 0x00BBGGRR (fourth byte = alpha) to GDI+ 0xAARRGGBB.
uint32_t ToArgb(uint32_t C) { return (C & 0xFF00FF00u) | ((C & 0xFF) << 16) | ((C >> 16) & 0xFF); }

// A GDI+ graphics object on a DC, deleted (after the objects made on it) on every way out.
class TGraphicsScope {
 public:
  explicit TGraphicsScope(HDC DC) {
    if (g_entries.CreateFromHDC && g_entries.DeleteGraphics && DC &&
        g_entries.CreateFromHDC(DC, &graphics_) != 0)
      graphics_ = nullptr;
  }
  ~TGraphicsScope() {
    if (brush_ && g_entries.DeleteBrush) g_entries.DeleteBrush(brush_);
    if (pen_ && g_entries.DeletePen) g_entries.DeletePen(pen_);
    if (image_ && g_entries.DisposeImage) g_entries.DisposeImage(image_);
    if (graphics_) g_entries.DeleteGraphics(graphics_);
  }
  TGraphicsScope(const TGraphicsScope&) = delete;
  TGraphicsScope& operator=(const TGraphicsScope&) = delete;
  E::GpGraphics* Get() const { return graphics_; }
  E::GpBrush* brush_ = nullptr;
  E::GpPen* pen_ = nullptr;
  E::GpImage* image_ = nullptr;

 private:
  E::GpGraphics* graphics_ = nullptr;
};

bool FillLinearGradient(HDC DC, uint32_t Color1, uint32_t Color2, float X, float Y, float W, float H, bool Vertical) {
  if (!g_entries.CreateLineBrush || !g_entries.FillRectangle || !g_entries.DeleteBrush) return false;
  TGraphicsScope g(DC);
  if (!g.Get()) return false;
  const E::PointF from{X, Y};
  const E::PointF to{Vertical ? X : X + W, Vertical ? Y + H : Y};
  if (g_entries.CreateLineBrush(&from, &to, ToArgb(Color1), ToArgb(Color2), kWrapTile, &g.brush_) != 0) {
    g.brush_ = nullptr;
    return false;
  }
  g_entries.FillRectangle(g.Get(), g.brush_, X, Y, W, H);
  return true;
}

}  // namespace

TGdipEntries& GdipEntries() { return g_entries; }
bool GdipStarted() { return g_started; }

void GdipStartupUnit() {
  if (g_startCount++ > 0) return;
  if (!g_library) {
    g_library = LoadSystemLibrary("gdiplus.dll");
    if (!g_library) return;
    Bind(g_entries.DrawArc, "GdipDrawArc");
    Bind(g_entries.DrawLine, "GdipDrawLine");
    Bind(g_entries.CreatePen1, "GdipCreatePen1");
    Bind(g_entries.Startup, "GdiplusStartup");
    Bind(g_entries.Shutdown, "GdiplusShutdown");
    Bind(g_entries.DrawEllipse, "GdipDrawEllipse");
    Bind(g_entries.FillEllipse, "GdipFillEllipse");
    Bind(g_entries.FillRectangle, "GdipFillRectangle");
    Bind(g_entries.CreateFromHDC, "GdipCreateFromHDC");
    Bind(g_entries.CreateSolidFill, "GdipCreateSolidFill");
    Bind(g_entries.SetSmoothingMode, "GdipSetSmoothingMode");
    Bind(g_entries.DrawImageRectRect, "GdipDrawImageRectRect");
    Bind(g_entries.CreateLineBrush, "GdipCreateLineBrush");
    Bind(g_entries.SetCompositingMode, "GdipSetCompositingMode");
    Bind(g_entries.SetCompositingQuality, "GdipSetCompositingQuality");
    Bind(g_entries.DeleteGraphics, "GdipDeleteGraphics");
    Bind(g_entries.DisposeImage, "GdipDisposeImage");
    Bind(g_entries.BitmapLockBits, "GdipBitmapLockBits");
    Bind(g_entries.CreateBitmapFromScan0, "GdipCreateBitmapFromScan0");
    Bind(g_entries.BitmapUnlockBits, "GdipBitmapUnlockBits");
    Bind(g_entries.CreatePathGradient, "GdipCreatePathGradient");
    Bind(g_entries.DeleteBrush, "GdipDeleteBrush");
    Bind(g_entries.DeletePen, "GdipDeletePen");
    Bind(g_entries.SetPenBrushFill, "GdipSetPenBrushFill");
    Bind(g_entries.SetPathGradientCenterColor, "GdipSetPathGradientCenterColor");
    Bind(g_entries.SetPathGradientSurroundColorsWithCount, "GdipSetPathGradientSurroundColorsWithCount");
  }
  if (g_entries.Startup) {
    const E::StartupInput input{1, nullptr, FALSE, FALSE};
    g_started = g_entries.Startup(&g_token, &input, nullptr) == 0;
  }
}

void GdipShutdownUnit() {
  if (g_startCount == 0 || --g_startCount > 0) return;
  if (g_started && g_entries.Shutdown) g_entries.Shutdown(g_token);
  g_started = false;
  g_token = 0;
  if (g_library) FreeLibrary(g_library);
  g_library = nullptr;
  g_entries = TGdipEntries();
}

void GdipDrawLineSmooth(HDC DC, uint32_t Color, float Width, float X1, float Y1, float X2, float Y2) {
  if (!g_entries.DrawLine || !g_entries.CreatePen1 || !g_entries.DeletePen) return;
  TGraphicsScope g(DC);
  if (!g.Get()) return;
  if (g_entries.SetSmoothingMode) g_entries.SetSmoothingMode(g.Get(), kGdipLineSmoothing);
  if (g_entries.CreatePen1(ToArgb(Color) | 0xFF000000u, Width, kUnitWorld, &g.pen_) != 0) {
    g.pen_ = nullptr;
    return;
  }
  g_entries.DrawLine(g.Get(), g.pen_, X1, Y1, X2, Y2);
}

bool GdipFillHorzGradient(HDC DC, uint32_t Color1, uint32_t Color2, float X, float Y, float W, float H) {
  return FillLinearGradient(DC, Color1, Color2, X, Y, W, H, false);
}

bool GdipFillVertGradient(HDC DC, uint32_t Color1, uint32_t Color2, float X, float Y, float W, float H) {
  return FillLinearGradient(DC, Color1, Color2, X, Y, W, H, true);
}

bool GdipFillPathGradient(HDC DC, const POINT Points[4], const uint32_t Colors[4], uint32_t CenterColor, float X,
                          float Y, float W, float H) {
  if (!g_entries.CreatePathGradient || !g_entries.FillRectangle || !g_entries.DeleteBrush ||
      !g_entries.SetPathGradientCenterColor || !g_entries.SetPathGradientSurroundColorsWithCount)
    return false;
  TGraphicsScope g(DC);
  if (!g.Get()) return false;
  E::PointF points[4];
  uint32_t surround[4];
  for (int i = 0; i < 4; ++i) {
    points[i] = {static_cast<float>(Points[i].x), static_cast<float>(Points[i].y)};
    surround[i] = ToArgb(Colors[i]);
  }
  if (g_entries.CreatePathGradient(points, 4, kWrapClamp, &g.brush_) != 0) {
    g.brush_ = nullptr;
    return false;
  }
  g_entries.SetPathGradientCenterColor(g.brush_, ToArgb(CenterColor));
  INT count = 4;
  g_entries.SetPathGradientSurroundColorsWithCount(g.brush_, surround, &count);
  g_entries.FillRectangle(g.Get(), g.brush_, X, Y, W, H);
  return true;
}

uint8_t GdipRestoredAlpha(uint8_t A) {
  // 2a + 1 - 255 undoes the lift to (a shr 1) + 127; where GDI+ mixed in the transparent
  // surroundings it can return less than 127, which would give a negative alpha.
  const int v = 2 * A + 1 - 255;
  return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

uint32_t GdipRestorePixel(uint32_t P) {
  const uint32_t a = P >> 24;
  if (a == 0) return P;
  uint32_t out = static_cast<uint32_t>(GdipRestoredAlpha(static_cast<uint8_t>(a))) << 24;
  for (int sh = 0; sh < 24; sh += 8) {
    const uint32_t c = std::min<uint32_t>(255, ((P >> sh) & 0xFF) * 256 / a);
    out |= c << sh;
  }
  return out;
}

void GdipStretchBitmap(TBitmap* Dst, TBitmap* Src, int X, int Y, int W, int H) {
  if (!Dst || !Src || Src->Empty() || Dst->Empty() || Src->PixelFormat() != pf32bit) return;
  if (!g_entries.CreateBitmapFromScan0 || !g_entries.BitmapLockBits || !g_entries.BitmapUnlockBits ||
      !g_entries.DrawImageRectRect || !g_entries.DisposeImage)
    return;
  TGraphicsScope g(Dst->Canvas()->Handle());
  if (!g.Get()) return;
  const int sw = Src->Width(), sh = Src->Height();
  if (g_entries.CreateBitmapFromScan0(sw, sh, 0, kPixelFormat32bppARGB, nullptr, &g.image_) != 0) {
    g.image_ = nullptr;
    return;
  }
  // No pixel may enter fully transparent, or GDI+ would drop its colour while interpolating.
  const E::RectI all{0, 0, sw, sh};
  E::BitmapData data{};
  if (g_entries.BitmapLockBits(g.image_, &all, kLockReadWrite, kPixelFormat32bppARGB, &data) != 0) return;
  const TPixelPlane src = PlaneOf(Src);
  for (int y = 0; y < sh; ++y) {
    const uint32_t* s = src.Row32(y);
    uint32_t* d = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + static_cast<intptr_t>(y) * data.Stride);
    for (int x = 0; x < sw; ++x)
      d[x] = (s[x] & 0x00FFFFFFu) | (static_cast<uint32_t>(GdipEntryAlpha(static_cast<uint8_t>(s[x] >> 24))) << 24);
  }
  g_entries.BitmapUnlockBits(g.image_, &data);
  if (g_entries.SetCompositingMode) g_entries.SetCompositingMode(g.Get(), kCompositingSourceCopy);
  if (g_entries.SetCompositingQuality) g_entries.SetCompositingQuality(g.Get(), kCompositingHighSpeed);
  g_entries.DrawImageRectRect(g.Get(), g.image_, 0, 0, static_cast<float>(Dst->Width()),
                              static_cast<float>(Dst->Height()), static_cast<float>(X), static_cast<float>(Y),
                              static_cast<float>(W), static_cast<float>(H), kUnitPixel, nullptr, nullptr, nullptr);
  GdiFlush();
  const TPixelPlane dst = PlaneOf(Dst);
  for (int y = 0; y < dst.Height; ++y) {
    uint32_t* d = dst.Row32(y);
    for (int x = 0; x < dst.Width; ++x) d[x] = GdipRestorePixel(d[x]);
  }
}
