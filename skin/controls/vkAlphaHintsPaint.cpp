#include "skin/controls/vkAlphaHintsPaint.h"

#include <algorithm>
#include <vector>

#include "skin/controls/sHtmlParse.h"
#include "skin/controls/vkAlphaHints.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkKeyRegions.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF;
// A whole-pixel marker no painter produces by accident: the key colour one step off, fully opaque.
constexpr uint32_t kMarker = 0xFFFF00FE;

// One span of an axis: destination [D0, D1) drawn from source [S0, S1), stretched or tiled.
struct TSpan {
  int D0, D1, S0, S1;
  bool Stretch;
  int Map(int D) const {
    const int sw = S1 - S0, dw = D1 - D0;
    return Stretch ? S0 + static_cast<int>(static_cast<int64_t>(D - D0) * sw / dw) : S0 + (D - D0) % sw;
  }
  bool Empty() const { return D1 <= D0 || S1 <= S0; }
};

void CopySpans(const TPixelPlane& Dst, const TPixelPlane& Src, const TSpan& X, const TSpan& Y) {
  if (X.Empty() || Y.Empty()) return;
  for (int y = std::max(Y.D0, 0); y < std::min(Y.D1, Dst.Height); ++y) {
    const uint32_t* s = Src.Row32(Y.Map(y));
    uint32_t* d = Dst.Row32(y);
    for (int x = std::max(X.D0, 0); x < std::min(X.D1, Dst.Width); ++x) d[x] = s[X.Map(x)];
  }
}

bool SectionUsable(TsSkinManager* Manager, int SectionIndex) {
  return Manager != nullptr && SectionIndex >= 0 && SectionIndex < static_cast<int>(Manager->gd().size());
}

// The section's border image, when it has a usable one.
const TsMaskData* SectionBorder(TsSkinManager* Manager, int SectionIndex) {
  if (!SectionUsable(Manager, SectionIndex)) return nullptr;
  const int b = Manager->gd()[SectionIndex].BorderIndex;
  return b >= 0 && b < static_cast<int>(Manager->ma().size()) ? &Manager->ma()[b] : nullptr;
}

// The section painted over all of Bmp on a background of Fill.
void PaintSectionOver(TBitmap* Bmp, TsSkinManager* Manager, int SectionIndex, int State, uint32_t Fill) {
  const TPixelPlane P = PlaneOf(Bmp);
  for (int y = 0; y < P.Height; ++y) std::fill_n(P.Row32(y), P.Width, Fill);
  TBitmap* Bg = NewBitmap32(P.Width, P.Height);
  try {
    CopyBitmapFull(Bg, Bmp);
    TvkBgCacheRef Ref;
    InitBgInfo(Bg, 0, 0, Ref);
    const TRect R(0, 0, P.Width, P.Height);
    const TsMaskData* Border = SectionBorder(Manager, SectionIndex);
    if (Manager->gd()[SectionIndex].Props[0].Transparency == 100 && Border != nullptr)
      DrawSkinRect32(Bmp, R, Ref, true, State, *Border);
    else
      PaintSectionItem(SectionIndex, Ref, -1, -1, Manager, Bmp, TPoint{0, 0}, R, State);
  } catch (...) {
    Bg->Free();
    throw;
  }
  Bg->Free();
}

void RequireBitmap32(TBitmap* Bmp) {
  if (Bmp == nullptr || Bmp->PixelFormat() != pf32bit) throw EInvalidOperation("A hint is drawn on a 32-bit bitmap");
}

}  // namespace

void PaintHintImageFrame(TBitmap* Bmp, TvkHintImage* Image) {
  RequireBitmap32(Bmp);
  Image->DecodeImageData();
  if (Image->Image()->Empty() || Bmp->Empty()) return;
  TBitmap* Src = NewBitmap32(1, 1);
  try {
    PngGraphicToBitmap32(Src, Image->Image());
    const TPixelPlane S = PlaneOf(Src), D = PlaneOf(Bmp);
    const TvkBordersSizes* B = Image->BordersWidths();
    const TvkBorderDrawModes* M = Image->BorderDrawModes();
    // Borders wider than the picture take what it has, the left (top) side first, so no span reads outside it.
    const int l = std::clamp(B->Left(), 0, S.Width), r = std::clamp(B->Right(), 0, S.Width - l);
    const int t = std::clamp(B->Top(), 0, S.Height), b = std::clamp(B->Bottom(), 0, S.Height - t);
    auto cols = [&](bool Stretch) {
      return std::vector<TSpan>{{0, l, 0, l, false},
                                {l, D.Width - r, l, S.Width - r, Stretch},
                                {D.Width - r, D.Width, S.Width - r, S.Width, false}};
    };
    auto rows = [&](bool Stretch) {
      return std::vector<TSpan>{{0, t, 0, t, false},
                                {t, D.Height - b, t, S.Height - b, Stretch},
                                {D.Height - b, D.Height, S.Height - b, S.Height, false}};
    };
    // The corners, the sides by their own modes, the centre by the centre's mode.
    const bool top = M->Top() == dmStretch, bottom = M->Bottom() == dmStretch;
    const bool left = M->Left() == dmStretch, right = M->Right() == dmStretch;
    const bool centre = M->Center() == dmStretch;
    CopySpans(D, S, cols(false)[0], rows(false)[0]);
    CopySpans(D, S, cols(false)[2], rows(false)[0]);
    CopySpans(D, S, cols(false)[0], rows(false)[2]);
    CopySpans(D, S, cols(false)[2], rows(false)[2]);
    CopySpans(D, S, cols(top)[1], rows(false)[0]);
    CopySpans(D, S, cols(bottom)[1], rows(false)[2]);
    CopySpans(D, S, cols(false)[0], rows(left)[1]);
    CopySpans(D, S, cols(false)[2], rows(right)[1]);
    CopySpans(D, S, cols(centre)[1], rows(centre)[1]);
  } catch (...) {
    Src->Free();
    throw;
  }
  Src->Free();
}

void PaintSkinHintFrame(TBitmap* Bmp, TsSkinManager* Manager, int SectionIndex, int State) {
  RequireBitmap32(Bmp);
  if (!SectionUsable(Manager, SectionIndex)) throw EInvalidOperation("The skin has no such hint section");
  if (Bmp->Empty()) return;
  PaintSectionOver(Bmp, Manager, SectionIndex, State, 0xFF000000u | kKey);
  const TPixelPlane P = PlaneOf(Bmp);
  for (int y = 0; y < P.Height; ++y)
    for (uint32_t* p = P.Row32(y); p != P.Row32(y) + P.Width; ++p)
      *p = (*p & 0xFFFFFF) == kKey ? 0 : (*p | 0xFF000000u);
}

HRGN SkinHintRegion(TsSkinManager* Manager, int SectionIndex, int State, int Width, int Height) {
  if (!SectionUsable(Manager, SectionIndex)) throw EInvalidOperation("The skin has no such hint section");
  TBitmap* Bmp = NewBitmap32(std::max(Width, 1), std::max(Height, 1));
  HRGN Rgn = nullptr;
  try {
    PaintSectionOver(Bmp, Manager, SectionIndex, State, kMarker);
    // What the section left alone is cut out; white marks it for the key-run routine.
    const TPixelPlane P = PlaneOf(Bmp);
    for (int y = 0; y < P.Height; ++y)
      for (uint32_t* p = P.Row32(y); p != P.Row32(y) + P.Width; ++p) *p = *p == kMarker ? 0xFFFFFF : 0;
    RegionFromBitmapKey(Rgn, Bmp, 0xFFFFFF);
  } catch (...) {
    Bmp->Free();
    throw;
  }
  Bmp->Free();
  return Rgn;
}

TRect HintTextRect(int Width, int Height, TvkHintImage* Image) {
  const TvkBordersSizes* M = Image->ClientMargins();
  return TRect(M->Left(), M->Top(), Width - M->Right(), Height - M->Bottom());
}

TRect SkinHintTextRect(int Width, int Height, TsSkinManager* Manager, int SectionIndex) {
  const int Gap = Manager != nullptr ? Manager->ApplyScale(4) : 4;
  const TsMaskData* B = SectionBorder(Manager, SectionIndex);
  const int l = B ? B->WL : 0, t = B ? B->WT : 0, r = B ? B->WR : 0, b = B ? B->WB : 0;
  return TRect(l + Gap, t + Gap, Width - r - Gap, Height - b - Gap);
}

void PaintOpaque(TBitmap* Bmp, const std::function<void()>& Paint) {
  RequireBitmap32(Bmp);
  const TPixelPlane P = PlaneOf(Bmp);
  std::vector<uint32_t> Before;
  Before.reserve(static_cast<size_t>(P.Width) * P.Height);
  for (int y = 0; y < P.Height; ++y) Before.insert(Before.end(), P.Row32(y), P.Row32(y) + P.Width);
  Paint();
  GdiFlush();
  const TPixelPlane After = PlaneOf(Bmp);
  size_t i = 0;
  for (int y = 0; y < After.Height; ++y)
    for (uint32_t* p = After.Row32(y); p != After.Row32(y) + After.Width; ++p, ++i)
      if ((*p & 0xFFFFFF) != (Before[i] & 0xFFFFFF)) *p |= 0xFF000000u;
}

void DrawHintText(TBitmap* Bmp, const TRect& R, const std::string& Text, TFont* Font, bool Html, UINT Flags) {
  RequireBitmap32(Bmp);
  if (Bmp->Empty() || Text.empty()) return;
  TCanvas* C = Bmp->Canvas();
  C->Font()->Assign(Font);
  C->Brush()->SetStyle(bsClear);
  PaintOpaque(Bmp, [&] {
    if (Html) {
      TsHtml* H = new TsHtml();
      try {
        H->AlphaText = true;
        H->Init(Bmp, Text, -1, -1, R);
        TvkLinks Links;
        H->Render(Links, false);
      } catch (...) {
        H->Free();
        throw;
      }
      H->Free();
      return;
    }
    RECT r = R;
    SetTextColor(C->Handle(), ColorToRGB(Font->Color()));
    SetBkMode(C->Handle(), TRANSPARENT);
    DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &r, Flags);
  });
}
