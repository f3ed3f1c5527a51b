// What the skin state paints with the section painters: colour shifts of a cache, the cache copied around the
// children that cover it, and an owner's outer effect in its parent's cache.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionRects.h"
#include "skin/graphics/vkSkinImage.h"

namespace {

constexpr int kAllCorners = fcTopLeft | fcBottomLeft | fcTopRight | fcBottomRight;

struct TShift {
  uint32_t Tone;
  int Hue;
  int Saturation;
};

// Every pixel but the key colour (whatever its alpha) in the order tone, hue, saturation.
void ShiftPixels(TBitmap* Bmp, const TShift& S) {
  const TPixelPlane P = PlaneOf(Bmp);
  for (int y = 0; y < P.Height; ++y)
    for (int x = 0; x < P.Width; ++x) {
      uint32_t& V = P.At(x, y);
      if ((V & 0xFFFFFF) == KeyPixel32) continue;
      if (S.Tone != clNone) V = ColorizePixel(V, S.Tone);
      if (S.Hue != 0) V = ShiftPixelHue(S.Hue, V);
      if (S.Saturation != 0) V = AdjustColorSaturation(V, S.Saturation);
    }
}

void ExcludeRect(HDC DC, const RECT& B, int DX, int DY, const RECT& R) {
  RECT Moved = B;
  OffsetRect(&Moved, DX, DY);
  RECT Common;
  if (IntersectRect(&Common, &Moved, &R)) ExcludeClipRect(DC, Moved.left, Moved.top, Moved.right, Moved.bottom);
}

// Copies the cache from SrcPoint into R of DC as clipped by the caller.
void CopyCache(TsCommonData* D, POINT SrcPoint, HDC DC, const RECT& R) {
  BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, D->CacheBmp->Canvas()->Handle(), SrcPoint.x,
         SrcPoint.y, SRCCOPY);
}

// A group box's frame: its caption strip and its side and bottom borders as wide as the skin's group-box border.
void ExcludeGroupBoxFrame(HDC DC, HWND Box, const RECT& B, int DX, int DY, const RECT& R) {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M == nullptr) return;
  int WL = 0, WR = 0, WB = 0;
  const int Section = M->ConstData().Sections[ssGroupBox];
  if (M->SectionIndexInRange(Section) && M->MaskIndexInRange(M->gd()[Section].BorderIndex)) {
    const TsMaskData& Mask = M->ma()[M->gd()[Section].BorderIndex];
    WL = Mask.WL;
    WR = Mask.WR;
    WB = Mask.WB;
  }
  const int Caption = static_cast<int>(SendSkinCommand(Box, VKCMD_QUERY_CAPTION_HEIGHT, 0));
  const RECT Parts[4] = {{B.left, B.top, B.right, B.top + Caption},
                         {B.left, B.top, B.left + WL, B.bottom},
                         {B.right - WR, B.top, B.right, B.bottom},
                         {B.left, B.bottom - WB, B.right, B.bottom}};
  for (const RECT& P : Parts)
    if (P.right > P.left && P.bottom > P.top) ExcludeRect(DC, P, DX, DY, R);
}

bool IsGroupBox(HWND Wnd) {
  if (lstrcmpiA(WindowClassNameOf(Wnd).c_str(), "Button") != 0) return false;
  return (GetWindowLongA(Wnd, GWL_STYLE) & BS_TYPEMASK) >= BS_GROUPBOX &&
         (GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0;
}

}  // namespace

void ApplyControlColorShift(TBitmap* Bmp, TsCommonData* D) {
  TShift S{D->ColorTone() == clNone ? clNone : ColorToRGB(D->ColorTone()), D->HUEOffset(),
           std::clamp(D->Saturation() * 255 / 100, -255, 255)};
  if (S.Tone != clNone || S.Hue != 0 || S.Saturation != 0) ShiftPixels(Bmp, S);
  FillTransparentCorners(D, D->CurrentState(), kAllCorners);
}

void BlitCacheExceptChildren(TWinControl* Parent, TsCommonData* D, POINT SrcPoint, int DY, int DX, bool FillCorners,
                             HDC DC, const RECT& R) {
  if (D->CacheBmp == nullptr || D->CacheBmp->Empty()) return;
  if (FillCorners) FillTransparentCorners(D, D->CurrentState(), kAllCorners);
  TsSkinManager* M = D->SkinManager();
  const bool KeepGraphic = M != nullptr && M->Options()->StdImgTransparency();
  const int Saved = SaveDC(DC);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* C = Parent->Controls(i);
    if (!C->Visible()) continue;
    const bool Graphic = As<TWinControl>(C) == nullptr;
    if ((Graphic && !KeepGraphic) || (!Graphic && C->ControlStyle().Contains(csOpaque)))
      ExcludeRect(DC, C->BoundsRect(), DX, DY, R);
  }
  CopyCache(D, SrcPoint, DC, R);
  RestoreDC(DC, Saved);
}

void BlitCacheExceptChildWindows(HWND Wnd, TsCommonData* D, POINT SrcPoint, int DY, int DX, bool FillCorners, HDC DC,
                                 const RECT& R) {
  if (D->CacheBmp == nullptr || D->CacheBmp->Empty()) return;
  if (FillCorners) FillTransparentCorners(D, D->CurrentState(), kAllCorners);
  const int Saved = SaveDC(DC);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  for (HWND Child = GetWindow(Wnd, GW_CHILD); Child != nullptr; Child = GetWindow(Child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(Child)) continue;
    RECT B{};
    GetWindowRect(Child, &B);
    MapWindowPoints(nullptr, Wnd, reinterpret_cast<POINT*>(&B), 2);
    if (IsGroupBox(Child))
      ExcludeGroupBoxFrame(DC, Child, B, DX, DY, R);
    else
      ExcludeRect(DC, B, DX, DY, R);
  }
  CopyCache(D, SrcPoint, DC, R);
  RestoreDC(DC, Saved);
}

void TsCommonData::PaintOuterEffect(TvkParentBgQuery& Q, WORD Flag) {
  TsSkinManager* M = SkinManager();
  const TsGeneralData* G = IsSkinned() ? Section() : nullptr;
  if (G == nullptr || !M->Effects()->AllowOuterEffects() || G->OuterMode < 1 || Q.Bmp == nullptr) return;
  int MaskIndex = -1;
  int OL = 0, OT = 0, OR = 0, OB = 0;
  // each effect shows by the opacity of what gives it: the section its own mask, the skin's record its outline
  // or shadow
  int Opacity = 255;
  if (G->OuterMask >= 0) {
    MaskIndex = G->OuterMask;
    OL = G->OutOffsL, OT = G->OutOffsT, OR = G->OutOffsR, OB = G->OutOffsB;
    Opacity = G->OuterOpacity;
  } else if (G->OuterMode - 1 < static_cast<int>(M->OuterEffects().size())) {
    const TvkOuterEffectData& E = M->OuterEffects()[G->OuterMode - 1];
    MaskIndex = E.MaskIndex;
    OL = E.OffsetL, OT = E.OffsetT, OR = E.OffsetR, OB = E.OffsetB;
    Opacity = E.Opacity;
  }
  if (MaskIndex < 0 || !M->MaskIndexInRange(MaskIndex)) return;
  RECT B{};
  if (OwnerControl != nullptr)
    SendOwnerCommand(VKCMD_QUERY_BOUNDS, 0, reinterpret_cast<LPARAM>(&B));
  else if (TControl* Form = OwnerOrProviderForm())
    B = Form->BoundsRect();
  // an offset left unset (-1) grows nothing
  const TRect Area(B.left + Q.OffsetX - std::max(OL, 0), B.top + Q.OffsetY - std::max(OT, 0),
                   B.right + Q.OffsetX + std::max(OR, 0), B.bottom + Q.OffsetY + std::max(OB, 0));
  TRect Clip(std::max(Area.Left, 0), std::max(Area.Top, 0), std::min(Area.Right, Q.Bmp->Width()),
             std::min(Area.Bottom, Q.Bmp->Height()));
  if (Clip.Right <= Clip.Left || Clip.Bottom <= Clip.Top) return;
  HDC Target = Q.Bmp->Canvas()->Handle();
  // the cache keeps what lay under the effect, so that the next paint starts from the clean background
  if ((Flag & 0x100) != 0 && OuterBackground != nullptr && !OuterBackground->Empty())
    BitBlt(Target, Clip.Left, Clip.Top, OuterBackground->Width(), OuterBackground->Height(),
           OuterBackground->Canvas()->Handle(), 0, 0, SRCCOPY);
  if (OuterBackground == nullptr) OuterBackground = NewBitmap32(0, 0);
  OuterBackground->SetSize(Clip.Width(), Clip.Height());
  BitBlt(OuterBackground->Canvas()->Handle(), 0, 0, Clip.Width(), Clip.Height(), Target, Clip.Left, Clip.Top, SRCCOPY);
  TvkBgCacheRef None;
  DrawSkinRect32(Q.Bmp, Area, None, false, 0, M->ma()[MaskIndex]);
  // the ground just kept shows through the effect by what its opacity leaves
  Opacity = std::clamp(Opacity, 0, 255);
  if (Opacity < 255)
    BlendBitmapInto(Q.Bmp, OuterBackground, Opacity, TRect(0, 0, Clip.Width(), Clip.Height()),
                    TPoint(Clip.Left, Clip.Top));
}
