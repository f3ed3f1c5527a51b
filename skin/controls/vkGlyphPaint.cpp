#include "skin/controls/vkGlyphPaint.h"

#include <algorithm>

#include "framework/ComCtrlsToolBar.h"
#include "skin/controls/sButton.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/NinePart.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF;

// x div 2 rounded toward zero.
int Half(int X) { return X / 2; }

// A per-cent value as a level of 255.
uint8_t PercentLevel(int Percent) { return static_cast<uint8_t>(std::clamp(Percent, 0, 100) * 255 / 100); }

// A 32-bit glyph whose alpha is zero everywhere is a 24-bit glyph that was stored in 32 bits.
void DropEmptyAlpha(TBitmap* Glyph) {
  if (Glyph->PixelFormat() != pf32bit) return;
  const TPixelPlane P = PlaneOf(Glyph);
  for (int y = 0; y < P.Height; ++y)
    for (int x = 0; x < P.Width; ++x)
      if ((P.At(x, y) >> 24) != 0) return;
  TNotifyEvent Saved = Glyph->OnChange;
  Glyph->OnChange = nullptr;
  Glyph->SetPixelFormat(pf24bit);
  Glyph->OnChange = Saved;
}

// Every alpha of Bmp multiplied by Percent / 100.
void ScaleAlpha(TBitmap* Bmp, int Percent) {
  const TPixelPlane P = PlaneOf(Bmp);
  for (int y = 0; y < P.Height; ++y)
    for (int x = 0; x < P.Width; ++x) {
      uint32_t& Px = P.At(x, y);
      Px = (Px & 0xFFFFFF) | ((Px >> 24) * static_cast<uint32_t>(Percent) / 100) << 24;
    }
}

void DrawListImage(TvkGlyphPaintData& D, uint32_t Tint) {
  const bool Blended = D.DisabledKind.Contains(dkBlended);
  if (As<TsAlphaImageList>(D.Images) != nullptr) {
    const int Blend = std::max(!D.Enabled && Blended ? 50 : 0, D.State == 0 ? D.Blend : 0);
    const int Frame = (D.Pressed ? 1 : 0) + D.State;
    if (D.DstBmp != nullptr)
      DrawImageListImage32(D.Images, D.DstBmp, D.R.Left, D.R.Top, D.ImageIndex, Blend, Tint, Frame, D.NumGlyphs,
                           D.Reflected);
    else if (D.Canvas != nullptr)
      DrawImageListImageDC(D.Images, D.Canvas->Handle(), D.R.Left, D.R.Top, D.ImageIndex, Blend, Tint, Frame,
                           D.NumGlyphs, D.Reflected, false);
    return;
  }
  if (D.DstBmp == nullptr) {
    if (D.Canvas != nullptr) D.Images->Draw(D.Canvas, D.R.Left, D.R.Top, D.ImageIndex, true);
    return;
  }
  TBitmap* Work = new TBitmap();
  TFreeHolder<TBitmap> FreeWork(Work);
  PrepareGlyphBitmap(D.Images, D.ImageIndex, Work);
  const TRect All(0, 0, Work->Width() - 1, Work->Height() - 1);
  auto GreyIfDiscolored = [&] {
    if (D.Discolored) GrayBitmap32Keyed(Work, PlaneOf(Work).At(0, 0));
  };
  if (!D.Enabled) {
    GreyIfDiscolored();
    if (Blended)
      BlendCopyKeyedRect(D.DstBmp, D.R.Left, D.R.Top, Work, All, 0x7F, kKey);
    else
      CopyOpaqueNonKeyPixels(D.DstBmp, Work, D.R.Left, D.R.Top, kKey);
    return;
  }
  if (D.State == 0) GreyIfDiscolored();
  if (D.State == 0 && D.Blend > 0)
    BlendCopyKeyedRect(D.DstBmp, D.R.Left, D.R.Top, Work, All, PercentLevel(D.Blend), kKey);
  else
    CopyOpaqueNonKeyPixels(D.DstBmp, Work, D.R.Left, D.R.Top, kKey);
}

void DrawGlyph32(TvkGlyphPaintData& D, uint32_t Tint) {
  const int FW = D.R.Width();
  const int Frame = std::min(D.State, std::max(1, D.NumGlyphs) - 1);
  const TRect Src(Frame * FW, 0, Frame * FW + FW, D.Glyph->Height());
  if (D.DstBmp != nullptr) {
    CompositeOverCache(D.R, Src, D.DstBmp, D.Glyph, TvkBgCacheRef{}, false, Tint, 0, false);
    return;
  }
  if (D.Canvas == nullptr) return;
  const int H = D.Glyph->Height();
  TBitmap* Part = NewBitmap32(FW, H);
  TFreeHolder<TBitmap> FreePart(Part);
  BitBlt(Part->Canvas()->Handle(), 0, 0, FW, H, D.Glyph->Canvas()->Handle(), Src.Left, 0, SRCCOPY);
  const int O = !D.Enabled && D.DisabledKind.Contains(dkBlended) ? std::max(50, D.Blend) : D.Blend;
  if (D.State == 0 && O != 0) ScaleAlpha(Part, O);
  if ((!D.Enabled && D.DisabledKind.Contains(dkGrayed)) || (D.State == 0 && D.Discolored)) GrayBitmap32(Part);
  TBitmap* Area = NewBitmap32(FW, H);
  TFreeHolder<TBitmap> FreeArea(Area);
  BitBlt(Area->Canvas()->Handle(), 0, 0, FW, H, D.Canvas->Handle(), D.R.Left, D.R.Top, SRCCOPY);
  CompositeOverCache(TRect(0, 0, FW, H), TRect(0, 0, FW, H), Area, Part, TvkBgCacheRef{}, false, NoColor32, 0, false);
  BitBlt(D.Canvas->Handle(), D.R.Left, D.R.Top, FW, H, Area->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawKeyedGlyph(TvkGlyphPaintData& D) {
  const int DisabledKind = static_cast<int>(D.DisabledKind.Raw());
  if (D.DstBmp != nullptr) {
    PaintStateGlyph(D.Glyph, D.DstBmp, D.R, D.Reflected, D.Pressed, D.Blend, D.State, DisabledKind, D.Enabled,
                    D.NumGlyphs);
    return;
  }
  if (D.Canvas == nullptr) return;
  const int W = D.R.Width(), H = D.R.Height();
  TBitmap* Area = NewBitmap32(W, H);
  TFreeHolder<TBitmap> FreeArea(Area);
  BitBlt(Area->Canvas()->Handle(), 0, 0, W, H, D.Canvas->Handle(), D.R.Left, D.R.Top, SRCCOPY);
  PaintStateGlyph(D.Glyph, Area, TRect(0, 0, W, H), D.Reflected, D.Pressed, D.Blend, D.State, DisabledKind, D.Enabled,
                  D.NumGlyphs);
  BitBlt(D.Canvas->Handle(), D.R.Left, D.R.Top, W, H, Area->Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace

int GetImageCount(TCustomImageList* Images) { return Images != nullptr ? Images->Count() : 0; }

int GetImageListWidth(TCustomImageList* Images) {
  if (Images == nullptr) return 0;
  auto* A = As<TsAlphaImageList>(Images);
  return A != nullptr ? A->ScaledWidth() : Images->Width();
}

int GetImageListHeight(TCustomImageList* Images) {
  if (Images == nullptr) return 0;
  auto* A = As<TsAlphaImageList>(Images);
  return A != nullptr ? A->ScaledHeight() : Images->Height();
}

void PrepareGlyphBitmap(TCustomImageList* Images, int Index, TBitmap* Bmp) {
  const int W = GetImageListWidth(Images), H = GetImageListHeight(Images);
  Bmp->SetPixelFormat(pf32bit);
  Bmp->SetSize(W, H);
  auto* A = As<TsAlphaImageList>(Images);
  const TColor Bk = A != nullptr ? A->BkColor() : Images->BkColor();
  PaintSolidRect(Bmp->Canvas()->Handle(), TRect(0, 0, W, H),
                 Bk == clNone ? kKey : static_cast<uint32_t>(ColorToRGB(Bk)));
  Images->Draw(Bmp->Canvas(), 0, 0, Index, true);
}

void DrawGlyphAndCaption(TvkGlyphPaintData& D) {
  const uint32_t Tint = D.Discolored ? static_cast<uint32_t>(D.ToneColor) : NoColor32;
  TsSkinManager* Def = TsSkinManager::DefaultManager();
  if (Def != nullptr && Def->Options()->StdGlyphsOrder()) {
    // the platform's frame order: up, disabled, clicked, down
    if (D.State == 0) {
      if (!D.Enabled) D.State = 1;
    } else if (D.State == 1) {
      D.State = 0;
    } else if (D.NumGlyphs < 3) {
      D.State = 0;
    }
  }
  if (D.Images != nullptr && D.ImageIndex >= 0 && D.ImageIndex < GetImageCount(D.Images)) {
    DrawListImage(D, Tint);
    return;
  }
  if (D.Glyph == nullptr || D.Glyph->Empty()) return;
  if (D.Glyph->PixelFormat() == pfDevice || !D.Enabled ||
      (D.Glyph->PixelFormat() == pf32bit && (Def == nullptr || Def->Options()->CheckEmptyAlpha())))
    DropEmptyAlpha(D.Glyph);
  if (D.Glyph->PixelFormat() == pf32bit)
    DrawGlyph32(D, Tint);
  else
    DrawKeyedGlyph(D);
}

namespace {

// A normal-state glyph over a fully transparent section takes the section its parent shows through.
int GlyphSectionIndex(TsCommonData* SkinData, const TsGeneralData* G, int State) {
  TControl* Owner = SkinData->OwnerControl;
  if (State == 0 && Owner != nullptr && Owner->Parent() != nullptr && G != nullptr && G->Props[0].Transparency == 100)
    return SectionIndexForState(Owner, SkinData->SkinIndex, SkinData->SkinManager(), 0);
  return SkinData->SkinIndex;
}

}  // namespace

void FillGlyphSkinFields(TsCommonData* SkinData, TvkGlyphPaintData& D) {
  TsSkinManager* M = SkinData->SkinManager();
  D.SkinManager = M;
  TBitmap* Cache = SkinData->CacheBmp;
  if (D.DstBmp == nullptr && Cache != nullptr && !Cache->Empty() &&
      (D.Canvas == nullptr || D.Canvas == Cache->Canvas()))
    D.DstBmp = Cache;
  const TsGeneralData* G = SkinData->IsSkinned() ? SkinData->Section() : nullptr;
  TControl* Owner = SkinData->OwnerControl;
  D.SectionIndex = GlyphSectionIndex(SkinData, G, D.State);
  if (SkinData->CustomColor() && Owner != nullptr)
    D.ToneColor = Owner->Color();
  else if (G != nullptr)
    D.ToneColor = static_cast<TColor>(G->Props[0].Color);
  else
    D.ToneColor = 0xFFFFFF;
  if (SkinData->HUEOffset() != 0)
    D.ToneColor = static_cast<TColor>(RotateColorHue(SkinData->HUEOffset(), static_cast<uint32_t>(D.ToneColor)));
}

void DrawControlGlyph(TControl* Control, TCanvas* Canvas) {
  auto* B = As<TsButton>(Control);
  if (B == nullptr) return;
  TvkGlyphPaintData D;
  D.Images = B->Images();
  D.ImageIndex = B->ImageIndexForState();
  D.R = B->GlyphRect();
  D.NumGlyphs = 1;
  D.Enabled = B->Enabled();
  D.State = B->CurrentState();
  D.Pressed = D.State == 2;
  TsSkinManager* M = B->SkinData()->SkinManager();
  D.Discolored = D.State == 0 && B->SkinData()->IsSkinned() && M != nullptr && M->Effects()->DiscoloredGlyphs();
  D.Reflected = B->Reflected();
  D.Canvas = Canvas;
  FillGlyphSkinFields(B->SkinData(), D);
  DrawGlyphAndCaption(D);
}

namespace {

// The owner-draw item state as a glyph state: selected 2, else hot 1, else checked 2, else 0.
int ToolButtonState(UINT ItemState) {
  if (ItemState & ODS_SELECTED) return 2;
  if (ItemState & ODS_HOTLIGHT) return 1;
  if (ItemState & ODS_CHECKED) return 2;
  return 0;
}

// The text height of "A" in Font.
int TextHeightOfA(TFont* Font) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font->Handle());
  SIZE Size{};
  GetTextExtentPoint32A(DC, "A", 1, &Size);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Size.cy;
}

}  // namespace

void DrawOwnerDrawButtonContent(TToolBar* ToolBar, TToolButton* Button, UINT ItemState, TBitmap* Bmp) {
  if (ToolBar == nullptr || Button == nullptr || Bmp == nullptr) return;
  TvkGlyphPaintData D;
  D.State = ToolButtonState(ItemState);
  TsCommonData* SkinData =
      ToolBar->HandleAllocated()
          ? reinterpret_cast<TsCommonData*>(SendSkinCommand(ToolBar->Handle(), VKCMD_QUERY_SKIN_DATA, 0))
          : nullptr;
  if (SkinData != nullptr && SkinData->IsSkinned()) {
    TsSkinManager* M = SkinData->SkinManager();
    D.SkinManager = M;
    D.Discolored = D.State == 0 && M != nullptr && M->Effects()->DiscoloredGlyphs();
    D.SectionIndex = GlyphSectionIndex(SkinData, SkinData->Section(), D.State);
  }
  if ((ItemState & ODS_DISABLED) && ToolBar->DisabledImages() != nullptr)
    D.Images = ToolBar->DisabledImages();
  else if (D.State == 1 && ToolBar->HotImages() != nullptr)
    D.Images = ToolBar->HotImages();
  else
    D.Images = ToolBar->Images();
  D.ImageIndex = Button->ImageIndex();
  const int W = Bmp->Width(), H = Bmp->Height();
  const int iw = GetImageListWidth(D.Images), ih = GetImageListHeight(D.Images);
  TPoint At;
  if (ToolBar->List()) {
    At = TPoint(5, Half(H - ih));
  } else {
    At.X = Half(W - iw) + 1 - (Button->Style() == tbsDropDown ? 8 : 0);
    At.Y = Half(H - ih - (ToolBar->ShowCaptions() ? TextHeightOfA(ToolBar->Font()) + 3 : 0));
  }
  D.R = Bounds(At.X, At.Y, iw, ih);
  D.NumGlyphs = 1;
  D.Blend = 0;
  D.Pressed = D.State == 2;
  D.Enabled = ToolBar->Enabled();
  if (D.Discolored) {
    D.DisabledKind = TsDisabledKinds{dkGrayed};
    if (D.SkinManager != nullptr && D.SkinManager->SectionIndexInRange(D.SectionIndex))
      D.ToneColor = static_cast<TColor>(D.SkinManager->gd()[D.SectionIndex].Props[0].Color);
  }
  D.DstBmp = Bmp;
  D.Canvas = Bmp->Canvas();
  if (D.Pressed && (D.SkinManager == nullptr || D.SkinManager->ButtonsOptions()->ShiftContentOnClick()))
    D.R = TRect(D.R.Left + 1, D.R.Top + 1, D.R.Right + 1, D.R.Bottom + 1);
  DrawGlyphAndCaption(D);
}

void ButtonContentRects(const TvkButtonLayout& L, TRect& Glyph, TRect& Caption) {
  const int W = L.Width, H = L.Height, M = L.Margin;
  const int Lm = L.ImageMargins.Left, Tm = L.ImageMargins.Top, Rm = L.ImageMargins.Right, Bm = L.ImageMargins.Bottom;
  const int iw = L.Image.cx, ih = L.Image.cy, ch = L.Caption.cy;
  switch (L.Kind) {
    case ckCommandLink:
      Glyph = Bounds(Lm + M, M, iw, ih);
      Caption = TRect(L.GlyphWidthWithMargins + M + L.TextSpacing, M, W - M, M + ch);
      break;
    case ckGlyphLeft:
      Glyph = Bounds(Lm + M, Half(H - ih), iw, ih);
      Caption = TRect(Lm + M + iw + Rm, Half(H - ch), W - M, H - Half(H - ch));
      break;
    case ckGlyphRight:
      Glyph = Bounds(W - Rm - M - iw, Half(H - ih), iw, ih);
      Caption = TRect(M, Half(H - ch), W - (Rm + M + iw + Lm), H - Half(H - ch));
      break;
    case ckGlyphTop: {
      Glyph = Bounds(Half(W - iw), Tm + M, iw, ih);
      const int Band = Tm + 2 * M + ih;
      const int Top = Band + Half(H - M - Band - ch);
      Caption = TRect(M, Top, W - M, Top + ch);
      break;
    }
    case ckGlyphBottom: {
      Glyph = Bounds(Half(W - iw), H - Bm - M - ih, iw, ih);
      const int Limit = H - (Bm + M + ih + Tm);
      const int Top = Tm + Half(Limit - Tm - ch);
      Caption = TRect(M, Top, W - M, Top + ch);
      break;
    }
    case ckGlyphCenter:
    case ckNoGlyph:
      Glyph = L.Kind == ckGlyphCenter ? Bounds(Half(W - iw), Half(H - ih), iw, ih) : TRect();
      Caption = TRect(3, Half(H - ch), W - 3, H - Half(H - ch));
      break;
  }
  if (L.Shift) {
    Glyph = TRect(Glyph.Left + 1, Glyph.Top + 1, Glyph.Right + 1, Glyph.Bottom + 1);
    Caption = TRect(Caption.Left + 1, Caption.Top + 1, Caption.Right + 1, Caption.Bottom + 1);
  }
}
