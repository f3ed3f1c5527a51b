#include "skin/graphics/vkSectionPaint.h"

#include <algorithm>
#include <memory>

#include "framework/Controls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/Gradients.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelMath.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkTextures.h"

using namespace vkpx;

namespace {

TsSkinManager* Resolve(TsSkinManager* M) { return M != nullptr ? M : TsSkinManager::DefaultManager(); }

// The state painted: limited to the section's states, and to the three state records.
int LimitState(const TsGeneralData& G, int State) { return std::clamp(State, 0, std::clamp(G.States - 1, 0, 2)); }

bool GradientFlag(const TsGenState& St) { return !St.GradientArray.empty() && (St.GradientArray[0].Mode & 0x20) != 0; }

// A reference whose X/Y address the parent pixel behind point (x, y) of the painted bitmap, for painters that
// read the background at bitmap coordinates.
TvkBgCacheRef AtBitmap(const TvkBgCacheRef& Bg, TPoint Offset, const TRect& Rect) {
  TvkBgCacheRef R = Bg;
  R.X += Offset.X - Rect.Left;
  R.Y += Offset.Y - Rect.Top;
  return R;
}

// One colour over R: FillRect32 (alpha 255) on 32-bit bitmaps, a GDI fill on others.
void FillSolid(TBitmap* Bmp, const TRect& R, uint32_t Color) {
  if (Bmp->PixelFormat() == pf32bit) FillRect32(Bmp, R, Color, 255);
  else PaintSolidRect(Bmp->Canvas()->Handle(), R, Color);
}

// Rect of Bmp from the background bitmap, Rect's top-left taken from (X, Y) of it.
void CopyFromBackground(TBitmap* Bmp, const TRect& Rect, TBitmap* Bg, int X, int Y) {
  const TPixelPlane D = PlaneOf(Bmp), S = PlaneOf(Bg);
  if (D.Empty() || S.Empty()) return;
  const PairClip C = ClipPair(Rect, TRect(X, Y, X + Rect.Width(), Y + Rect.Height()), D, S);
  for (int r = 0; r < C.rows; ++r) std::copy_n(S.Row32(C.sy + r) + C.sx, C.cols, D.Row32(C.dy + r) + C.dx);
}

// The parts of Rect behind the parent's border strips, from the parent's image: a colour answer holds the
// parent's border widths (left, top, right, bottom) in FillRect, and only those strips of its image are
// meant, the rest of it may be empty or stale. (X, Y) is the image point behind Rect's top-left.
void CopyParentBorder(TBitmap* Bmp, const TRect& Rect, const TvkBgCacheRef& Bg, int X, int Y) {
  const int W = Bg.Bmp->Width(), H = Bg.Bmp->Height();
  const TRect& B = Bg.FillRect;
  constexpr int kFar = 1 << 24;
  const TRect Strips[4] = {TRect(-kFar, -kFar, kFar, B.Top), TRect(-kFar, -kFar, B.Left, kFar),
                           TRect(W - B.Right, -kFar, kFar, kFar), TRect(-kFar, H - B.Bottom, kFar, kFar)};
  for (const TRect& S : Strips) {
    // The strip cut to what lies behind Rect, in the image's coordinates.
    const TRect Part(std::max(S.Left, X), std::max(S.Top, Y), std::min(S.Right, X + Rect.Width()),
                     std::min(S.Bottom, Y + Rect.Height()));
    if (Part.Width() <= 0 || Part.Height() <= 0) continue;
    const TRect To(Rect.Left + Part.Left - X, Rect.Top + Part.Top - Y, Rect.Left + Part.Right - X,
                   Rect.Top + Part.Bottom - Y);
    CopyFromBackground(Bmp, To, Bg.Bmp, Part.Left, Part.Top);
  }
}

// The gradient, or the plain colour without gradient items, over R.
void GradientOrColor(TBitmap* Bmp, const TRect& R, const TsGradArray& Grad, uint32_t Color) {
  if (Grad.empty()) FillSolid(Bmp, R, Color);
  else PaintGradient(Bmp, R, Grad);
}

// The layer values of one paint.
struct Layers {
  uint32_t C = 0;  // colour
  int T = 0;       // transparency per cent
  int I = 0;       // image share
  int G = 0;       // gradient share
  int Tex = -1;    // texture mask index
  const TsGradArray* Grad = nullptr;
};

// The fill: texture share, gradient share and colour into R of Bmp. Bg addresses the parent at Bmp's
// coordinates. Light: the light painter's rules.
void PaintFill(TBitmap* Bmp, const TRect& R, const Layers& L, TsSkinManager* M, const TvkBgCacheRef& Bg, bool Light) {
  const TsMaskData* Tex = M->MaskIndexInRange(L.Tex) ? &M->ma()[L.Tex] : nullptr;
  const TsGradArray& Grad = *L.Grad;
  if (L.I + L.G == 100 && L.G >= 1 && L.G <= 99 && Tex != nullptr && Tex->DrawMode == 0 && !Grad.empty() &&
      Grad[0].Mode < 2) {
    PaintGradientTextured(Bmp, R, Grad, 255, L.I * 255 / 100, Tex->R, MaskSourceBitmap(*Tex));
    return;
  }
  bool Textured = false;
  if (L.I > 0 && Tex != nullptr) {
    TRect Left = R;
    if (Tex->MaskType > 0) TileTexture32(Bmp, Left, Bg, Tex->DrawMode, *Tex);
    else DrawTextureOnCanvas(Bmp->Canvas(), Left, Tex->DrawMode, *Tex);
    if (Left.Right != -1) FillSolid(Bmp, Left, L.C);
    Textured = true;
  }
  if (L.G > 0) {
    if (Textured) {
      TFreeHolder<TBitmap> Tmp(NewBitmap32(R.Width(), R.Height()));
      GradientOrColor(Tmp.get(), TRect(0, 0, R.Width(), R.Height()), Grad, L.C);
      BlendBitmapInto(Bmp, Tmp.get(), std::min(255, L.I * 255 / 100), TRect(0, 0, R.Width(), R.Height()),
                      TPoint(R.Left, R.Top));
    } else {
      GradientOrColor(Bmp, R, Grad, L.C);
    }
  }
  const int s = L.I + L.G;
  if (s >= 1 && s <= 99) {
    // That blend takes its rectangle's right and bottom as inclusive.
    BlendRectToColor32(Bmp, TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1), s * 255 / 100, L.C);
  } else if (s == 0) {
    // A fully transparent state reaches the fill only when nothing is known of the background, not even its
    // colour: the light painter then leaves R as it is (the fill colour is the key, and would show opaque).
    if (Light && !Bg.Ready && L.T == 100) return;
    uint32_t C = L.C;
    // Mixing with "no colour" would tint the state magenta: without one the state is painted as it is.
    if (!Bg.Ready && L.T > 0 && L.T < 100 && Bg.FillColor != KeyPixel32)
      C = WeightedColorMix(Bg.FillColor, C, L.T * 255 / 100);
    FillSolid(Bmp, R, C);
  }
}

// The case list shared by both background painters. Returns false when it ended early (a translucent state
// blended over the parent), which skips the layers painted after the fill.
bool PaintBackgroundLayers(TBitmap* Bmp, const TRect& Rect, const Layers& L, TsSkinManager* M,
                           const TvkBgCacheRef& BgRef, TPoint Offset, bool Light) {
  const TvkBgCacheRef Bg = AtBitmap(BgRef, Offset, Rect);
  const int X = BgRef.X + Offset.X, Y = BgRef.Y + Offset.Y;
  if ((!BgRef.Ready && BgRef.FillColor == KeyPixel32) || L.T == 0) {
    PaintFill(Bmp, Rect, L, M, Bg, Light);
  } else if (L.T == 100) {
    if (BgRef.Ready) {
      if (BgRef.Bmp != Bmp) CopyFromBackground(Bmp, Rect, BgRef.Bmp, X, Y);
    } else {
      FillSolid(Bmp, Rect, BgRef.FillColor);
      if (BgRef.Bmp != nullptr && BgRef.Bmp != Bmp) CopyParentBorder(Bmp, Rect, BgRef, X, Y);
    }
  } else if (BgRef.Ready || L.I + L.G > 0) {
    const int W = Rect.Width(), H = Rect.Height();
    TFreeHolder<TBitmap> Tmp(NewBitmap32(W, H));
    TvkBgCacheRef TmpBg = Bg;
    TmpBg.X += Rect.Left;
    TmpBg.Y += Rect.Top;
    PaintFill(Tmp.get(), TRect(0, 0, W, H), L, M, TmpBg, Light);
    if (BgRef.Ready) {
      if (BgRef.Bmp != Bmp) CopyFromBackground(Bmp, Rect, BgRef.Bmp, X, Y);
    } else {
      FillSolid(Bmp, Rect, BgRef.FillColor);
    }
    BlendBitmapInto(Bmp, Tmp.get(), L.T * 255 / 100, TRect(0, 0, W, H), TPoint(Rect.Left, Rect.Top));
    return false;
  } else {
    FillSolid(Bmp, Rect, WeightedColorMix(BgRef.FillColor, L.C, L.T * 255 / 100));
  }
  return true;
}

bool InsideBitmap(const TRect& R, TBitmap* Bmp) {
  return R.Left >= 0 && R.Top >= 0 && R.Right <= Bmp->Width() && R.Bottom <= Bmp->Height();
}

// The four corner images of a section, with key pixels keeping what Bmp holds.
void PaintCornerImages(const TsGeneralData& G, TsSkinManager* M, TBitmap* Bmp, const TRect& Rect, int State) {
  TvkBgCacheRef Self;
  InitBgInfo(Bmp, 0, 0, Self);
  const int Idx[4] = {G.ImgTopLeft, G.ImgTopRight, G.ImgBtmLeft, G.ImgBtmRight};
  for (int i = 0; i < 4; ++i) {
    if (!M->MaskIndexInRange(Idx[i])) continue;
    const TsMaskData& E = M->ma()[Idx[i]];
    const int x = (i % 2 == 0) ? Rect.Left : Rect.Right - E.Width;
    const int y = (i < 2) ? Rect.Top : Rect.Bottom - E.Height;
    DrawSkinGlyph32(Bmp, TPoint(x, y), State, Self, E, 1);
  }
}

void ColorizeProc(uint32_t* P, intptr_t Param) { *P = ColorizePixel(*P, static_cast<uint32_t>(Param)); }
void HueProc(uint32_t* P, intptr_t Param) { *P = ShiftPixelHue(static_cast<int>(Param), *P); }
void SaturationProc(uint32_t* P, intptr_t Param) { *P = AdjustColorSaturation(*P, static_cast<int>(Param)); }

// Tone, hue and saturation of the control over every non-key pixel of Rect (inside Bmp): only what was painted
// now, since a bitmap may hold other parts painted before, whose filters were applied then.
void ApplyColorFilters(TBitmap* Bmp, const TRect& Rect, TsCommonData* D) {
  TPixelPlane P = PlaneOf(Bmp);
  if (P.Empty()) return;
  P.Base = P.Row(Rect.Top) + Rect.Left * 4;
  P.Width = Rect.Width();
  P.Height = Rect.Height();
  if (D->ColorTone() != clNone)
    ApplyToEachPixel(P, ColorizeProc, static_cast<intptr_t>(ColorToRGB(D->ColorTone())), KeyPixel32);
  if (D->HUEOffset() != 0) ApplyToEachPixel(P, HueProc, D->HUEOffset(), KeyPixel32);
  if (D->Saturation() != 0) ApplyToEachPixel(P, SaturationProc, D->Saturation(), KeyPixel32);
}

}  // namespace

void PaintSectionBackground(int SectionIndex, const TvkBgCacheRef& BgRef, int State, uint32_t ParentColor,
                            int TextureIndex, int HotTextureIndex, TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset,
                            const TRect& Rect) {
  TsSkinManager* M = Resolve(Manager);
  if (M == nullptr || Bmp == nullptr || !M->SectionIndexInRange(SectionIndex)) return;
  if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
  const TsGeneralData& G = M->gd()[SectionIndex];
  State = LimitState(G, State);
  const TsGenState& St = G.Props[State];
  const bool Flag = GradientFlag(St);
  Layers L;
  L.Grad = &St.GradientArray;
  L.Tex = TextureIndex;
  if (ParentColor == KeyPixel32) {
    L.C = St.Color;
    L.T = St.Transparency;
    if (L.T < 100) {
      L.I = St.ImagePercent;
      if (!Flag) L.G = St.GradientPercent;
    }
    if (L.Tex < 0 && L.I > 0) L.Tex = St.TextureIndex;
  } else {
    L.C = ParentColor;
  }
  if (!PaintBackgroundLayers(Bmp, Rect, L, M, BgRef, Offset, false)) return;
  if (Flag) PaintGradient(Bmp, Rect, St.GradientArray);
  const int Overlay = State == 0 ? (TextureIndex >= 0 ? TextureIndex : St.TextureIndex) : HotTextureIndex;
  // A texture the fill already laid is not laid again: a second pass through its mask would thicken it.
  const bool Laid = L.I > 0 && Overlay == L.Tex;
  if (!Laid && M->MaskIndexInRange(Overlay)) {
    const TsMaskData& E = M->ma()[Overlay];
    if (E.MaskType > 0 && E.DrawMode == tdTileFullOverBg) {
      TRect R = Rect;
      TileTexture32(Bmp, R, AtBitmap(BgRef, Offset, Rect), E.DrawMode, E);
    }
  }
}

void PaintSectionBackgroundOnRef(int SectionIndex, const TvkBgCacheRef& BgRef, TBitmap* Bmp, TsSkinManager* Manager,
                                 int State, TPoint Offset, const TRect& Rect) {
  TsSkinManager* M = Resolve(Manager);
  if (M == nullptr || Bmp == nullptr || !M->SectionIndexInRange(SectionIndex)) return;
  if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
  const TsGeneralData& G = M->gd()[SectionIndex];
  const TsGenState& St = G.Props[LimitState(G, State)];
  const bool Flag = GradientFlag(St);
  Layers L;
  L.Grad = &St.GradientArray;
  L.C = St.Color;
  L.T = St.Transparency;
  if (L.T < 100) {
    L.I = St.ImagePercent;
    if (!Flag) L.G = St.GradientPercent;
  }
  if (L.I > 0) L.Tex = St.TextureIndex;
  if (PaintBackgroundLayers(Bmp, Rect, L, M, BgRef, Offset, true) && Flag) PaintGradient(Bmp, Rect, St.GradientArray);
}

void PaintSectionItem(int SectionIndex, const TvkBgCacheRef& BgRef, int TextureIndex, int HotTextureIndex,
                      TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset, const TRect& Rect, int State) {
  if (Bmp == nullptr || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  TsSkinManager* M = Resolve(Manager);
  if (M == nullptr || !M->SectionIndexInRange(SectionIndex) || !InsideBitmap(Rect, Bmp)) return;
  const TsGeneralData& G = M->gd()[SectionIndex];
  State = std::clamp(State, 0, std::max(G.States - 1, 0));
  PaintSectionBackground(SectionIndex, BgRef, State, KeyPixel32, TextureIndex, HotTextureIndex, M, Bmp, Offset, Rect);
  PaintCornerImages(G, M, Bmp, Rect, State);
  if (M->MaskIndexInRange(G.BorderIndex))
    DrawSkinRect32(Bmp, Rect, AtBitmap(BgRef, Offset, Rect), true, State, M->ma()[G.BorderIndex]);
}

void PaintSectionWithBorderMask(int SectionIndex, int BorderMaskIndex, const TvkBgCacheRef& BgRef,
                                TsSkinManager* Manager, TBitmap* Bmp, TPoint Offset, const TRect& Rect, int State) {
  TsSkinManager* M = Resolve(Manager);
  if (M == nullptr || Bmp == nullptr) return;
  PaintSectionBackgroundOnRef(SectionIndex, BgRef, Bmp, M, State, Offset, Rect);
  if (M->MaskIndexInRange(BorderMaskIndex))
    DrawSkinRect32(Bmp, Rect, AtBitmap(BgRef, Offset, Rect), true, State, M->ma()[BorderMaskIndex]);
}

void PaintSectionItemToDC(int SectionIndex, const TvkBgCacheRef& BgRef, TsSkinManager* Manager, HDC DC, TPoint Offset,
                          const TRect& Rect, int State) {
  if (DC == nullptr || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  TFreeHolder<TBitmap> Tmp(NewBitmap32(Rect.Width(), Rect.Height()));
  PaintSectionItem(SectionIndex, BgRef, -1, -1, Manager, Tmp.get(), Offset, TRect(0, 0, Rect.Width(), Rect.Height()),
                   State);
  BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Tmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

int PaintSectionOverDCCopy(TBitmap* Bmp, int SectionIndex, int FallbackIndex, HDC SourceDC, uint32_t FillColor,
                           TPoint SourcePoint, TsSkinManager* Manager, int State) {
  const int Index = SectionIndex >= 0 ? SectionIndex : FallbackIndex;
  if (Index < 0 || Bmp == nullptr) return -1;
  TvkBgCacheRef Ref;
  if (SourceDC != nullptr) {
    BitBlt(Bmp->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), SourceDC, SourcePoint.X, SourcePoint.Y, SRCCOPY);
    GdiFlush();
    InitBgInfo(Bmp, 0, 0, Ref);
  } else {
    Ref.FillColor = FillColor;
  }
  PaintSectionItem(Index, Ref, -1, -1, Manager, Bmp, TPoint(0, 0), TRect(0, 0, Bmp->Width(), Bmp->Height()), State);
  return Index;
}

void PaintControlBackground(TsCommonData* SkinData, const TvkBgCacheRef& BgRef, int State, TBitmap* Bmp,
                            TPoint Offset, const TRect& Rect) {
  if (SkinData == nullptr) return;
  TsSkinManager* M = SkinData->SkinManager();
  if (M == nullptr || !M->SectionIndexInRange(SkinData->SkinIndex)) return;
  uint32_t ParentColor = KeyPixel32;
  if (SkinData->CustomColor())
    if (TControl* Owner = SkinData->OwnerOrProviderForm()) ParentColor = ColorToRGB(Owner->Color());
  const TsGeneralData& G = M->gd()[SkinData->SkinIndex];
  State = std::clamp(State, 0, std::max(G.States - 1, 0));
  PaintSectionBackground(SkinData->SkinIndex, BgRef, State, ParentColor, -1, -1, M, Bmp, Offset, Rect);
}

void RenderControlSkin(TsCommonData* SkinData, const TvkBgCacheRef& BgRef, bool FillKeyed, TBitmap* Bmp,
                       TPoint Offset, const TRect& Rect, int State) {
  if (SkinData == nullptr || Bmp == nullptr || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  TsSkinManager* M = SkinData->SkinManager();
  if (M == nullptr || !M->SectionIndexInRange(SkinData->SkinIndex) || !InsideBitmap(Rect, Bmp)) return;
  const TsGeneralData& G = M->gd()[SkinData->SkinIndex];
  State = std::clamp(State, 0, std::max(G.States - 1, 0));
  PaintControlBackground(SkinData, BgRef, State, Bmp, Offset, Rect);
  PaintCornerImages(G, M, Bmp, Rect, State);
  bool Filter = G.Props[std::min(State, 2)].Transparency == 0;
  if (M->MaskIndexInRange(SkinData->BorderIndex)) {
    const TsMaskData& Border = M->ma()[SkinData->BorderIndex];
    if (!(State == 0 && (Border.DrawMode & 2) != 0)) {
      DrawSkinRect32(Bmp, Rect, AtBitmap(BgRef, Offset, Rect), FillKeyed, State, Border);
      Filter = true;
    }
  }
  if (Filter) ApplyColorFilters(Bmp, Rect, SkinData);
}

void RenderControlSkinOnParent(TsCommonData* SkinData, bool FillKeyed, TBitmap* Bmp, TPoint Offset, const TRect& Rect,
                               int State) {
  if (SkinData == nullptr) return;
  TvkParentBgQuery Q{};
  if (TControl* C = SkinData->OwnerControl) {
    Q.OffsetX = C->Left();
    Q.OffsetY = C->Top();
    Q.Area = TRect(0, 0, C->Width(), C->Height());
  }
  SkinData->GetParentBackground(Q);
  TvkBgCacheRef Ref;
  BgCacheRefFromQuery(Q, Ref);
  RenderControlSkin(SkinData, Ref, FillKeyed, Bmp, Offset, Rect, State);
}

void CopyBorderStrips(HDC DstDC, int X, int Y, int BorderWidth, int SrcY, int SrcX, HDC SrcDC, int Height, int Width) {
  const int dx = SrcX - X, dy = SrcY - Y, B = BorderWidth;
  auto Strip = [&](int x, int y, int w, int h) {
    if (w > 0 && h > 0) BitBlt(DstDC, x, y, w, h, SrcDC, x + dx, y + dy, SRCCOPY);
  };
  Strip(X, Y, B, Height);                                 // left, full height
  Strip(X + B, Y, Width - B, B);                          // top, to the right edge
  Strip(X + Width - B, Y + B, B, Height - B);             // right, below the top
  Strip(X + B, Y + Height - B, Width - 2 * B, B);         // bottom, between left and right
}

void ClipOutChildControls(HDC DC, TWinControl* Parent, int X, int Y) {
  if (DC == nullptr || Parent == nullptr) return;
  TsSkinManager* Default = TsSkinManager::DefaultManager();
  const bool Graphics = Default != nullptr && !Default->Options()->StdImgTransparency();
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* C = Parent->Controls(i);
    if (!C->Visible()) continue;
    if (dynamic_cast<TWinControl*>(C) == nullptr && !Graphics) continue;
    ExcludeClipRect(DC, C->Left() + X, C->Top() + Y, C->Left() + C->Width() + X, C->Top() + C->Height() + Y);
  }
}
