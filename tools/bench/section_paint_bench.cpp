// Time per call of painting one skin section (background, corner images, border) into a control's cache of
// 289 x 73 (the main form's gauge area) and 100 x 30 (a button), with the SOLID test skin and the carried TIDE
// skin, over a ready parent background. Run by hand under Wine from the build folder:
//   wine tools/bench/section_paint_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionPaint.h"
#include "tools/bench/BenchTiming.h"

namespace {

// The skins drawn at build time: <build>/tools/skin, seen from <build>/tools/bench.
std::string SkinFolder() {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return ExtractFilePath(buf) + "..\\skin\\";
}

// Paints Section into a W x H cache for about half a second and prints the time per call.
void Measure(TsSkinManager* M, const char* Skin, const char* Section, int W, int H, TBitmap* Parent) {
  const int S = M->FindSectionIndex(Section);
  if (S < 0) return;
  TBitmap* Cache = NewBitmap32(W, H);
  TvkBgCacheRef Bg;
  InitBgInfo(Parent, 7, 5, Bg);
  auto Op = [&] { PaintSectionItem(S, Bg, -1, -1, M, Cache, TPoint(0, 0), TRect(0, 0, W, H), 1); };
  std::printf("%-6s %-12s %3d x %-3d %8.3f ms\n", Skin, Section, W, H, PerCall(Op) * 1e3);
  Cache->Free();
}

}  // namespace

int main() {
  TBitmap* Parent = NewBitmap32(400, 200);
  const TPixelPlane P = PlaneOf(Parent);
  for (int y = 0; y < P.Height; ++y)
    for (int x = 0; x < P.Width; ++x) P.At(x, y) = 0xFF000000u | (x & 0xFF) << 8 | (y & 0xFF);
  for (const char* Skin : {"SOLID", "TIDE"}) {
    TsSkinManager* M = Create<TsSkinManager>(nullptr);
    M->SetSkinDirectory(SkinFolder());
    M->SetSkinName(Skin);
    if (!M->SkinData().Active) {
      std::printf("%s not found in %s\n", Skin, SkinFolder().c_str());
      M->Free();
      continue;
    }
    for (const char* Section : {"GAUGE", "PANEL", "BUTTON", "EDIT", "TRANSLUCENT", "TEXTURE0", "TEXTUREMASKED10"})
      for (auto [W, H] : {std::pair{289, 73}, std::pair{100, 30}}) Measure(M, Skin, Section, W, H, Parent);
    M->Free();
  }
  Parent->Free();
  return 0;
}
