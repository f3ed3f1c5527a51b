#include "skin/graphics/vkControlBorder.h"

#include <algorithm>

#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"

void PaintControlBorder(HDC DC, const TRect& R, int ExtraWidth, TRect& Client, int State, TsCommonData* SkinData) {
  TsSkinManager* M = SkinData->SkinManager();
  const uint32_t Frame = static_cast<uint32_t>(ColorToRGB(SkinBackgroundColor(SkinData, State)));
  TControl* Owner = SkinData->OwnerControl;
  TvkParentBgQuery Q{};
  if (Owner != nullptr && Owner->Parent() != nullptr) {
    Q.OffsetX = Owner->Left();
    Q.OffsetY = Owner->Top();
    Q.Area = TRect(0, 0, Owner->Width(), Owner->Height());
    QueryParentBackground(Q, Owner->Parent(), false);
  }
  // Without a parent, or with one that has no background to give yet, the key corners keep what the cache
  // holds: the key colour is the reference's "no colour".
  if (Q.Kind != bgkBitmap && Q.Kind != bgkColor) Q.Color = KeyPixel32;
  if (M != nullptr && M->MaskIndexInRange(SkinData->BorderIndex)) {
    const TsMaskData& Mask = M->ma()[SkinData->BorderIndex];
    if (const TsGeneralData* G = SkinData->Section()) State = std::min(State, std::max(0, G->States - 1));
    PrepareCacheBitmap(SkinData);
    TBitmap* Cache = SkinData->CacheBmp;
    // the answer's offset already names the parent pixel behind the cache's origin
    if (Mask.MaskType == 1 && Q.Kind == bgkBitmap && Q.Bmp != nullptr) {
      const int Widest = std::max({Mask.WL, Mask.WT, Mask.WR, Mask.WB});
      CopyBorderStrips(Cache->Canvas()->Handle(), R.Left, R.Top, Widest, Q.OffsetY + R.Top, Q.OffsetX + R.Left,
                       Q.Bmp->Canvas()->Handle(), R.Height(), R.Width());
    }
    TvkBgCacheRef Ref;
    BgCacheRefFromQuery(Q, Ref);
    DrawSkinRect32(Cache, R, Ref, true, State, Mask);
    Client = TRect(R.Left + Mask.WL, R.Top + Mask.WT, R.Right - Mask.WR, R.Bottom - Mask.WB);
    if (ExtraWidth == 0) return;
    const int W = R.Width(), H = R.Height();
    const int Left = std::max(std::min(ExtraWidth, W - Mask.WR) - Mask.WL, 0);
    const int Top = std::max(std::min(ExtraWidth, H - Mask.WB) - Mask.WT, 0);
    const int Right = std::max(std::min(ExtraWidth, W - Mask.WL) - Mask.WR, 0);
    const int Bottom = std::max(std::min(ExtraWidth, H - Mask.WT) - Mask.WB, 0);
    FillFrame32(Cache, Client, Left, Frame, Bottom, Right, Top);
    Client = TRect(R.Left + ExtraWidth, R.Top + ExtraWidth, R.Right - ExtraWidth, R.Bottom - ExtraWidth);
    Client.Right = std::max(Client.Right, Client.Left);
    Client.Bottom = std::max(Client.Bottom, Client.Top);
    if (DC != Cache->Canvas()->Handle())
      CopyBorderStrips(DC, R.Left, R.Top, ExtraWidth, R.Top, R.Left, Cache->Canvas()->Handle(), H, W);
    return;
  }
  if (ExtraWidth != 0) PaintFrameBands(DC, R, ExtraWidth, Frame, ExtraWidth, ExtraWidth, ExtraWidth);
}
