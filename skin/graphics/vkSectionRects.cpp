#include "skin/graphics/vkSectionRects.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "framework/Controls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/Gradients.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelMath.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkTextures.h"

using namespace vkpx;

namespace {

TsSkinManager* Resolve(TsSkinManager* M) { return M != nullptr ? M : TsSkinManager::DefaultManager(); }

}  // namespace

void PaintSectionBackgroundLayered(int SectionIndex, int State, const TRect& R, uint32_t Color, TsSkinManager* Manager,
                                   TBitmap* Bmp) {
  TsSkinManager* M = Resolve(Manager);
  if (M == nullptr || Bmp == nullptr || !M->SectionIndexInRange(SectionIndex) || R.Width() <= 0 || R.Height() <= 0)
    return;
  // The colour layer reads the pixel at R's top-left corner: R must lie inside the bitmap.
  if (R.Left < 0 || R.Top < 0 || R.Right > Bmp->Width() || R.Bottom > Bmp->Height()) return;
  const TsGenState& St = M->gd()[SectionIndex].Props[std::clamp(State, 0, 2)];
  if (St.Transparency == 100) {
    if (Bmp->Width() == R.Width() && Bmp->Height() == R.Height()) FillRect32(Bmp, R, 0, 0);
    return;
  }
  const bool Forced = Color != KeyPixel32;
  const uint32_t C = Forced ? Color : St.Color;
  const int I = Forced ? 0 : St.ImagePercent, G = Forced ? 0 : St.GradientPercent;
  const int T = Forced ? 0 : St.Transparency;
  const TsGradArray& Grad = St.GradientArray;
  const int TexIndex = I > 0 ? St.TextureIndex : -1;
  const TsMaskData* Tex = M->MaskIndexInRange(TexIndex) ? &M->ma()[TexIndex] : nullptr;
  if (I + G == 100 && G >= 1 && G <= 99 && Tex != nullptr && Tex->DrawMode == 0 && !Grad.empty() && Grad[0].Mode < 2) {
    // The texture's alpha is all or nothing: opaque below 50 % transparency.
    const uint8_t A = static_cast<uint8_t>(255 * std::nearbyint(1 - T / 100.0));
    PaintGradientTextured(Bmp, R, Grad, A, I * 255 / 100, Tex->R, MaskSourceBitmap(*Tex));
    return;
  }
  bool Imaged = false;
  if (I > 0 && Tex != nullptr) {
    TRect Left = R;
    if (Tex->MaskType != 0) TileTexture32(Bmp, Left, TvkBgCacheRef{}, Tex->DrawMode, *Tex);
    else DrawTextureOnCanvas(Bmp->Canvas(), Left, Tex->DrawMode, *Tex);
    if (Left.Right >= 0) FillRect32(Bmp, Left, C, 255);
    Imaged = true;
  }
  if (G > 0) {
    if (Imaged) {
      TFreeHolder<TBitmap> Tmp(NewBitmap32(R.Width(), R.Height()));
      const TRect Whole(0, 0, R.Width(), R.Height());
      if (Grad.empty()) FillRect32(Tmp.get(), Whole, C, 255);
      else PaintGradient(Tmp.get(), Whole, Grad);
      BlendBitmapInto(Bmp, Tmp.get(), std::clamp(I * 255 / 100, 0, 255), Whole, TPoint(R.Left, R.Top));
    } else if (Grad.empty()) {
      FillRect32(Bmp, R, C, 255);
      return;
    } else {
      PaintGradient(Bmp, R, Grad);
    }
  }
  if (I == 0 && G == 0) {
    const uint32_t p = GetPixel32(Bmp, R.Left, R.Top);
    const int Level = (100 - T) * 255 / 100;
    if (p == 0) FillRect32(Bmp, R, C, Level);
    else if (T == 0) FillRect32(Bmp, R, C, 255);
    else if (T == 100) FillRect32(Bmp, R, C, static_cast<int>(p >> 24));
    else MixRectToColor32(Bmp, R, C, std::max(static_cast<int>(p >> 24), Level), 100 - T);
  } else if (I + G >= 1 && I + G <= 99) {
    // That blend takes its rectangle's right and bottom as inclusive.
    BlendRectToColor32(Bmp, TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1), (I + G) * 255 / 100, C);
  }
}

void PaintSectionRect32(int SectionIndex, int State, TsSkinManager* Manager, TBitmap* Bmp, const TRect& R) {
  TsSkinManager* M = Resolve(Manager);
  if (Bmp == nullptr || R.Width() <= 0 || R.Height() <= 0 || M == nullptr || !M->SectionIndexInRange(SectionIndex))
    return;
  if (R.Left < 0 || R.Top < 0 || R.Right > Bmp->Width() || R.Bottom > Bmp->Height()) return;
  const TsGeneralData& G = M->gd()[SectionIndex];
  State = std::clamp(State, 0, std::max(G.States - 1, 0));
  // What R held before painting, for the key corners of the border.
  TFreeHolder<TBitmap> Before(NewBitmap32(R.Width() + 1, R.Height() + 1));
  {
    const TPixelPlane D = PlaneOf(Before.get()), S = PlaneOf(Bmp);
    const PairClip C = ClipPair(TRect(0, 0, D.Width, D.Height), TRect(R.Left, R.Top, R.Left + D.Width, R.Top + D.Height),
                                D, S);
    for (int r = 0; r < C.rows; ++r) std::copy_n(S.Row32(C.sy + r) + C.sx, C.cols, D.Row32(C.dy + r) + C.dx);
  }
  PaintSectionBackgroundLayered(SectionIndex, std::min(State, 2), R, KeyPixel32, M, Bmp);
  if (M->MaskIndexInRange(G.BorderIndex)) {
    TvkBgCacheRef Ref;
    InitBgInfo(Before.get(), -R.Left, -R.Top, Ref);
    DrawSkinRectTransparent32(Bmp, R, Ref, State, M->ma()[G.BorderIndex]);
  }
  if (R.Width() == Bmp->Width() && R.Height() == Bmp->Height()) PremultiplyBitmapRect(Bmp, R);
}

// ---------------------------------------------------------------------------------------------------------
namespace {

// The cache pixel behind (x, y) of the cache: from the parent's bitmap or its colour. False: leave it, also for
// the key colour, which a parent without a background to give answers.
bool ParentPixel(const TvkParentBgQuery& Q, const TPixelPlane& Parent, int x, int y, uint32_t& Out) {
  if (Q.Kind == bgkBitmap) {
    const int px = Q.OffsetX + x, py = Q.OffsetY + y;
    if (Parent.Empty() || px < 0 || py < 0 || px >= Parent.Width || py >= Parent.Height) return false;
    Out = Parent.At(px, py);
    return true;
  }
  if (Q.Kind == bgkNotReady || Q.Color == KeyPixel32) return false;
  Out = SwapRedBlue(ColorToRGB(Q.Color));
  return true;
}

void FillKeys(const TRect& DstRect, const TRect& SrcRect, TBitmap* Src, TsCommonData* D, const TvkParentBgQuery& Q) {
  if (D == nullptr || D->CacheBmp == nullptr) return;
  const TPixelPlane Cache = PlaneOf(D->CacheBmp), S = PlaneOf(Src);
  if (Cache.Empty() || S.Empty()) return;
  const TPixelPlane Parent = Q.Kind == bgkBitmap ? PlaneOf(Q.Bmp) : TPixelPlane{};
  const PairClip C = ClipPair(DstRect, SrcRect, Cache, S);
  for (int r = 0; r < C.rows; ++r) {
    const uint32_t* s = S.Row32(C.sy + r) + C.sx;
    uint32_t* d = Cache.Row32(C.dy + r) + C.dx;
    for (int c = 0; c < C.cols; ++c) {
      uint32_t P;
      if ((s[c] & 0x00FFFFFFu) == KeyPixel32 && ParentPixel(Q, Parent, C.dx + c, C.dy + r, P)) d[c] = P;
    }
  }
}

}  // namespace

void FillKeyFromParentBg(TBitmap* Src, int X, int Y, TsCommonData* SkinData, const TvkParentBgQuery& Query,
                         const TRect& SrcRect) {
  FillKeys(TRect(X, Y, X + SrcRect.Width(), Y + SrcRect.Height()), SrcRect, Src, SkinData, Query);
}

void FillKeyFromParentBgRect(const TRect& DstRect, const TRect& SrcRect, TBitmap* Src, TsCommonData* SkinData,
                             const TvkParentBgQuery& Query) {
  FillKeys(DstRect, SrcRect, Src, SkinData, Query);
}

void FillTransparentCorners(TsCommonData* SkinData, int State, int Corners) {
  if (SkinData == nullptr || SkinData->CacheBmp == nullptr || SkinData->OwnerControl == nullptr) return;
  TsSkinManager* M = SkinData->SkinManager();
  if (M == nullptr || !M->MaskIndexInRange(SkinData->BorderIndex)) return;
  TsMaskData Mask = M->ma()[SkinData->BorderIndex];
  if (Mask.CornerType == 0) return;
  TControl* Ctrl = SkinData->OwnerControl;
  // The asker's origin goes in; a bitmap answer then addresses the parent's pixels behind it directly.
  TvkParentBgQuery Q{};
  Q.OffsetX = Ctrl->Left();
  Q.OffsetY = Ctrl->Top();
  Q.Area = TRect(0, 0, Ctrl->Width(), Ctrl->Height());
  if (Ctrl->Parent() != nullptr) SkinData->GetParentBackground(Q);
  else if (dynamic_cast<TWinControl*>(Ctrl) != nullptr && SkinData->OwnerWindow() != nullptr &&
           GetParent(SkinData->OwnerWindow()) != nullptr)
    SkinData->GetParentWindowBackground(Q);
  else return;
  if (Mask.ImageCount == 0 && Mask.Bmp != nullptr) {
    Mask.R = TRect(0, 0, Mask.Bmp->Width(), Mask.Bmp->Height());
    Mask.MaskType = 1;
    Mask.ImageCount = 3;
    Mask.Width = Mask.R.Width() / 3;
    Mask.Height = Mask.R.Height() / 2;
  }
  TBitmap* Src = MaskSourceBitmap(Mask);
  if (Src == nullptr) return;
  const int SX = Mask.R.Left + MaskFrameIndex(Mask, State) * Mask.Width, SY = Mask.R.Top;
  const int CW = Mask.Width - Mask.WL - Mask.WR, H = Mask.Height;
  const int Cw = Ctrl->Width(), Ch = Ctrl->Height();
  struct Corner {
    int Bit;
    TRect Src;
    TPoint Dst;
  };
  const Corner List[4] = {
      {fcTopLeft, Bounds(SX, SY, Mask.WL, Mask.WT), {0, 0}},
      {fcBottomLeft, Bounds(SX, SY + H - Mask.WB, Mask.WL, Mask.WB), {0, Ch - Mask.WB}},
      {fcBottomRight, Bounds(SX + Mask.WL + CW, SY + H - Mask.WB, Mask.WR, Mask.WB), {Cw - Mask.WR, Ch - Mask.WB}},
      {fcTopRight, Bounds(SX + Mask.WL + CW, SY, Mask.WR, Mask.WT), {Cw - Mask.WR, 0}},
  };
  for (const Corner& C : List) {
    if ((Corners & C.Bit) == 0) continue;
    if (Mask.MaskType != 0)
      FillKeyFromParentBgRect(Bounds(C.Dst.X, C.Dst.Y, C.Src.Width(), C.Src.Height()), C.Src, Src, SkinData, Q);
    else
      FillKeyFromParentBg(Src, C.Dst.X, C.Dst.Y, SkinData, Q, C.Src);
  }
}
