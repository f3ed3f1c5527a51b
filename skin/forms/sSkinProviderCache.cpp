// The frame cache's geometry, the title icon, the size grip, the non-client repaint that copies the cache to
// the window, the client background, and the small strips of the cache kept for buttons and menu items.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/graphics/NinePart.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"

// The shell's icons of the program file are taken at start-up.
HICON ProgramIconForSize(int Size) {
  TIcon* Shell = ApplicationTitleIcon(Size);
  if ((Shell == nullptr || Shell->Handle() == nullptr) && Size > 16) Shell = ApplicationTitleIcon(16);
  if (Shell != nullptr && Shell->Handle() != nullptr) return Shell->Handle();
  return LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

// ---- geometry ----

int TsSkinProvider::FrameCacheWidth() {
  TRect M;
  GetExtBorderMargins(M);
  if (FForm == nullptr) return 0;
  if (FormIconic() && !IsMainForm(FForm)) return M.Left + M.Right + 160;
  return FForm->Width() + 2 * ExtraFrameWidth() + M.Left + M.Right;
}

bool TsSkinProvider::FrameCacheSizeChanged() {
  TBitmap* C = FSkinData->CacheBmp;
  // compared with the height the painter gives the cache, so an iconic or bordered form is not rebuilt each time
  return C == nullptr || C->Width() != FrameCacheWidth() || C->Height() != FrameCacheHeight();
}

int TsSkinProvider::GetTopNonClientHeight() {
  if (FBorderForm != nullptr) return GetCaptionBarHeight(true);
  const HWND W = FormHandle();
  if (W == nullptr) return 0;
  int H = WindowRectHeight(W) - ClientRectHeight(W);
  if (HasCaption() || (WindowStyle(W) & WS_BORDER) != 0) H -= GetBottomFrameHeight(true);
  H = std::max(0, H);
  if (IsIconic(W)) H += GetFrameWidth(true);
  H -= ShownScrollBar(false);
  return H;
}

int TsSkinProvider::MenuLineHeight() { return HasMenuLine() ? GetSystemMetrics(SM_CYMENU) - 1 : 0; }

bool TsSkinProvider::HasBiSystemMenu() { return FForm != nullptr && FForm->BorderIcons().Contains(biSystemMenu); }

bool TsSkinProvider::ShowsMDIChildButtons() {
  // the buttons belong to the MDI parent's menu line while its active child is maximised
  if (FMDIForm == nullptr || FForm == nullptr || FForm->FormStyle() != fsMDIForm || FForm->Menu() == nullptr) return false;
  TCustomForm* Child = FForm->ActiveMDIChild();
  return Child != nullptr && Child->WindowState() == wsMaximized && Child->BorderIcons().Contains(biSystemMenu);
}

int TsSkinProvider::SmallCloseButtonWidth() {
  TsSkinManager* M = Manager();
  const int I = M != nullptr ? M->ConstData().TitleMasks[tmSmallClose] : -1;
  return M != nullptr && M->MaskIndexInRange(I) ? M->ma()[I].Width : 16;
}

int TsSkinProvider::SmallCloseButtonHeight() {
  TsSkinManager* M = Manager();
  const int I = M != nullptr ? M->ConstData().TitleMasks[tmSmallClose] : -1;
  return M != nullptr && M->MaskIndexInRange(I) ? M->ma()[I].Height : 16;
}

int TsSkinProvider::GetUserButtonWidth(TsTitleButton* Button) {
  TsSkinManager* M = Manager();
  const int GlyphW = Button != nullptr && !Button->Glyph()->Empty() ? Button->Glyph()->Width() + 2 : 0;
  int MaskW = 21;
  if (M != nullptr && M->MaskIndexInRange(FTitleButtonMask)) {
    const TsMaskData& Mask = M->ma()[FTitleButtonMask];
    MaskW = (Mask.R.Right - Mask.R.Left) / std::max<int>(1, Mask.ImageCount);
  }
  return std::max(GlyphW, MaskW);
}

int TsSkinProvider::CountSystemButtons() {
  if (FSystemMenu == nullptr || !HasBiSystemMenu()) return 0;
  return 1 + (FSystemMenu->VisibleMax() ? 1 : 0) + (FSystemMenu->VisibleMin() ? 1 : 0) +
         (FForm->BorderIcons().Contains(biHelp) ? 1 : 0);
}

int TsSkinProvider::GetTitleButtonsWidth() {
  TsSkinManager* M = Manager();
  const int Space = M != nullptr ? M->SkinData().BISpace : 0;
  int W = M != nullptr ? M->SkinData().BIRight : 0;
  if (FSystemMenu != nullptr && HasBiSystemMenu()) {
    const int Gap = ButtonClose.LargeCaption ? Space : 0;
    W += GetTitleButtonWidth(ButtonClose);
    if (FSystemMenu->VisibleMax()) W += GetTitleButtonWidth(ButtonMax) + Gap;
    if (FSystemMenu->VisibleMin()) W += GetTitleButtonWidth(ButtonMin) + Gap;
    if (FForm->BorderIcons().Contains(biHelp)) W += GetTitleButtonWidth(ButtonHelp) + Gap;
  }
  if (FTitleButtons->AnyVisible()) W += 6;
  for (int i = 0; i < FTitleButtons->Count(); ++i)
    if (FTitleButtons->Items(i)->Visible())
      W += GetUserButtonWidth(FTitleButtons->Items(i)) + (ButtonClose.LargeCaption ? Space : 0);
  return W;
}

TPoint TsSkinProvider::GetGripPosition(int MaskIndex) {
  TBitmap* C = FSkinData->CacheBmp;
  TsSkinManager* M = Manager();
  if (C == nullptr || C->Empty() || M == nullptr || !M->MaskIndexInRange(MaskIndex)) return TPoint();
  TRect Margins;
  GetExtBorderMargins(Margins);
  const TsMaskData& G = M->ma()[MaskIndex];
  const int F = GetWindowFrameWidth(FormHandle(), FBorderForm, true);
  return TPoint(C->Width() - G.Width - F - Margins.Right - 1, C->Height() - G.Height - F - Margins.Bottom - 1);
}

// ---- title icon ----

bool TsSkinProvider::HasTitleIcon() {
  if (FForm == nullptr || !FTitleIcon->Visible() || !FShowAppIcon) return false;
  if (FForm->BorderStyle() != bsSingle && FForm->BorderStyle() != bsSizeable) return false;
  const HWND W = FormHandle();
  return W != nullptr && GetSystemMenu(W, FALSE) != nullptr;
}

int IconSizeForHeight(int H) {
  if (H >= -100 && H <= 8) return 1;
  if (H >= 9 && H <= 16) return 8;
  if (H >= 17 && H <= 47) return 16;
  if (H >= 48 && H <= 64) return 24;
  return 32;
}

int TsSkinProvider::TitleIconWidth() {
  if (!HasTitleIcon()) return 0;
  TsSkinManager* M = Manager();
  int W = FTitleIcon->Width();
  if (W == 0) W = FTitleIcon->Glyph()->Width();
  if (W == 0) W = IconSizeForHeight(GetCaptionBarHeight(true) - (M != nullptr ? M->SkinData().BITop : 0));
  return M != nullptr ? M->ApplyScale(W) : W;
}

int TsSkinProvider::TitleIconHeight() {
  if (!HasTitleIcon()) return 0;
  TsSkinManager* M = Manager();
  int H = FTitleIcon->Height();
  if (H == 0) H = FTitleIcon->Glyph()->Height();
  if (H == 0) H = IconSizeForHeight(GetCaptionBarHeight(true) - (M != nullptr ? M->SkinData().BITop : 0));
  return M != nullptr ? M->ApplyScale(H) : H;
}

void TsSkinProvider::PaintTitleIcon() {
  if (!HasTitleIcon()) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  const TRect R = FIconRect;
  if (Cache == nullptr || R.Right <= R.Left || R.Bottom <= R.Top) return;
  TBitmap* Glyph = FTitleIcon->Glyph();
  if (Glyph->Empty()) {
    TBitmap* B = NewBitmap32ForRect(R);
    BitBlt(B->Canvas()->Handle(), 0, 0, B->Width(), B->Height(), Cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
    HICON Icon = nullptr;
    if (FForm->Icon() != nullptr && FForm->Icon()->Handle() != nullptr) {
      Icon = FForm->Icon()->Handle();
    } else if (Application != nullptr && Application->Icon() != nullptr && Application->Icon()->Handle() != nullptr) {
      Icon = reinterpret_cast<HICON>(
          SendMessageA(Application->Handle(), WM_GETICON, B->Height() > 16 ? ICON_BIG : ICON_SMALL2, 0));
      if (Icon == nullptr) Icon = Application->Icon()->Handle();
    } else {
      Icon = ProgramIconForSize(FTitleIcon->Height() != 0 ? FTitleIcon->Height()
                                                          : std::max(16, GetCaptionBarHeight(true) - R.Top));
    }
    DrawIconEx(Cache->Canvas()->Handle(), R.Left, R.Top, Icon, B->Width(), B->Height(), 0, nullptr, DI_NORMAL);
    GdiFlush();
    // the system draws without alpha: every pixel the icon changed becomes opaque; an icon taller than the
    // caption or scaled past it reaches beyond the cache, where the drawing was clipped and nothing is compared
    const int X0 = std::max(0, R.Left), Y0 = std::max(0, R.Top);
    const int X1 = std::min(Cache->Width(), R.Right), Y1 = std::min(Cache->Height(), R.Bottom);
    for (int y = Y0; y < Y1; ++y)
      for (int x = X0; x < X1; ++x) {
        const uint32_t Now = GetPixel32(Cache, x, y);
        if ((Now & 0xFFFFFF) != (GetPixel32(B, x - R.Left, y - R.Top) & 0xFFFFFF)) PutPixel32(Cache, x, y, Now | 0xFF000000);
      }
    delete B;
    return;
  }
  TBitmap* G = NewBitmap32(Glyph->Width(), Glyph->Height());
  if (Glyph->PixelFormat() == pf32bit) {
    CopyBitmapFull(G, Glyph);
  } else {
    BitBlt(G->Canvas()->Handle(), 0, 0, G->Width(), G->Height(), Glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
    for (int y = 0; y < G->Height(); ++y)
      for (int x = 0; x < G->Width(); ++x) {
        const uint32_t P = GetPixel32(G, x, y);
        PutPixel32(G, x, y, (P & 0xFFFFFF) == 0xFF00FF ? P & 0xFFFFFF : P | 0xFF000000);
      }
  }
  TsSkinManager* M = Manager();
  int W = FTitleIcon->Width() != 0 ? FTitleIcon->Width() : G->Width();
  int H = FTitleIcon->Height() != 0 ? FTitleIcon->Height() : G->Height();
  if (M != nullptr) {
    W = M->ApplyScale(W);
    H = M->ApplyScale(H);
  }
  const TvkBgCacheRef None{};
  // a glyph of another size on either side is stretched: drawn at its own size it would run past the icon's
  // rectangle into the caption text
  if (W != G->Width() || H != G->Height()) {
    // colour and alpha scaled alike, pixel by pixel
    StretchDrawBitmap32(Cache->Canvas(), G, TRect(R.Left, R.Top, R.Left + W, R.Top + H), false);
  } else {
    AlphaBlendRectOver(TRect(R.Left, R.Top, R.Left + G->Width(), R.Top + G->Height()),
                       TRect(0, 0, G->Width(), G->Height()), Cache, G, None, false);
  }
  delete G;
}

// ---- grip and client background ----

void TsSkinProvider::PaintGrip(HDC DC) {
  TsSkinManager* M = Manager();
  const int Grip = M != nullptr ? M->ConstData().GripImage : -1;
  TBitmap* Cache = FSkinData->CacheBmp;
  if (M == nullptr || !M->MaskIndexInRange(Grip) || Cache == nullptr || Cache->Empty()) return;
  // the frame painter drew the grip into the cache over the client corner: a second glyph over that copy would
  // lay its half-transparent pixels twice
  const TPoint P = GetGripPosition(Grip);
  BitBlt(DC, P.X, P.Y, M->ma()[Grip].Width, M->ma()[Grip].Height, Cache->Canvas()->Handle(), P.X, P.Y, SRCCOPY);
}

void TsSkinProvider::PaintFormBackground(HDC DC) {
  if (FClipOnly) {
    RECT Clip{};
    if (GetClipBox(DC, &Clip) == NULLREGION || Clip.right == Clip.left || Clip.bottom == Clip.top) return;
  }
  HDC Own = nullptr;
  if (FSkinData->PrintDC != nullptr && FSkinData->PrintDC != DC) {
    Own = GetDC(FormHandle());
    DC = Own;
  }
  FSkinData->Updating = false;
  const bool Hidden = FSkinData->PrintDC == nullptr && HiddenUnderAnotherMaximisedChild();
  if ((FFormState & (fsfMinimizing | fsfRestoring)) == 0 && !FormDestroying() && !Hidden) {
    const int Saved = SaveDC(DC);
    ClipOutChildControls(DC, FForm, 0, 0);
    PaintFormTo(DC, TRect(0, 0, FForm->Width(), FForm->Height()), true);
    if (IsGripShown()) {
      SetWindowOrgEx(DC, GetClientOffsetLeft(), GetClientOffsetTop(), nullptr);
      PaintGrip(DC);
    }
    RestoreDC(DC, Saved);
    PaintGraphicChildren(DC, FForm, true, POINT{0, 0});
    if (Manager() != nullptr && !Manager()->Effects()->AllowOuterEffects()) RepaintChildrenAfterUpdate(FForm);
  }
  if (Own != nullptr) ReleaseDC(FormHandle(), Own);
}

void TsSkinProvider::PaintClient(TMessage& Message) {
  const HWND W = FormHandle();
  PAINTSTRUCT PS{};
  const bool Animating = (FFormState & (fsfMinimizing | fsfRestoring)) != 0;
  if (!Animating && !FormDestroying() && (!InAnimationProcess || Message.WParam != 0)) {
    HDC DC = InAnimationProcess ? reinterpret_cast<HDC>(Message.WParam) : BeginPaint(W, &PS);
    FSkinData->Updating = FForm->Parent() != nullptr && FSkinData->IsUpdating();
    if (!FSkinData->Updating && !HiddenUnderAnotherMaximisedChild())
      FForm->Canvas()->PaintOn(DC, [&] { PaintFormTo(DC, TRect(0, 0, FForm->ClientWidth(), FForm->ClientHeight()), true); });
    if (!InAnimationProcess) EndPaint(W, &PS);
    Message.Result = 0;
    return;
  }
  BeginPaint(W, &PS);
  EndPaint(W, &PS);
}

// ---- the non-client repaint ----

void TsSkinProvider::RepaintNonClient() {
  if (FSkinData->PrintDC != nullptr || !FDrawNonClientArea || FRedrawLockCount > 0) return;
  if (FResizeMode == rmBorder && IsDwmCompositionActive()) FResizeMode = rmStandard;
  // a child under another one that is maximised shows nothing
  if (HiddenUnderAnotherMaximisedChild()) return;
  InitMenuLine();
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr || Cache->Width() == 0) FSkinData->CacheDirty = true;
  if (FSkinData->CacheDirty && !PaintFormFrame()) return;
  const HWND W = FormHandle();
  if (!FRegionBeingSet && FRegionPending) {
    if (!HasCaption() && !WindowHasSizingBorder(W) && !IsIconic(W)) {
      // set once: each further reset would be a frame change of its own
      SetWindowRgn(W, nullptr, FALSE);
      FRegionPending = false;
    } else {
      if (IsIconic(W) && (WindowExStyle(W) & WS_EX_APPWINDOW) != 0) return;
      if (FBorderForm == nullptr) CollectBorderMaskRects();
      FRegionPending = false;
      if (FForm->FormState().Contains(fsShowing) && FForm->Position() != poDefault && !IsZoomed(W)) {
        ApplyWindowRegion(true, true);
      } else {
        ApplyWindowRegion(!InAnimationProcess, false);
        if (!FSkinData->CacheDirty) return;
      }
    }
  }
  FSkinData->Updating = false;
  HDC DC = GetWindowDC(W);
  const int Saved = SaveDC(DC);
  Cache = FSkinData->CacheBmp;
  HDC Src = Cache->Canvas()->Handle();
  if (FBorderForm == nullptr) {
    if (!HasCaption() && WindowHasSizingBorder(W) && !IsIconic(W)) {
      const int T = GetFrameWidth(true) + 3;
      const int CW = Cache->Width(), CH = Cache->Height();
      BitBlt(DC, 0, 0, CW, T, Src, 0, 0, SRCCOPY);
      BitBlt(DC, 0, CH - T, CW, T, Src, 0, CH - T, SRCCOPY);
      BitBlt(DC, 0, T, T, CH - 2 * T, Src, 0, T, SRCCOPY);
      BitBlt(DC, CW - T, T, T, CH - 2 * T, Src, CW - T, T, SRCCOPY);
    } else {
      DrawFrameCache(DC);
    }
  } else {
    const int X = GetWindowFrameWidth(W, FBorderForm, false);
    int Y = GetCaptionBarHeight(false) + X - (FHeaderMode ? 4 : 0);
    int H = MenuLineHeight() * GetMenuLineCount() + (MenuLineHasItems() ? 1 : 0) + FForm->BorderWidth();
    TsSkinManager* M = Manager();
    if (M != nullptr && M->RegistryScaleIndex() > 0 && M->Options()->ScaleMode() == smOldMode) {
      --Y;
      H += 2;
    }
    BitBlt(DC, X, Y, FForm->Width() - 2 * X, H, Src, GetClientOffsetLeft() - FForm->BorderWidth(),
           GetClientOffsetTop() - H, SRCCOPY);
    if (const int BW = FForm->BorderWidth(); BW != 0) {
      const int CL = GetClientOffsetLeft(), CT = GetClientOffsetTop();
      const int CW = FForm->ClientWidth(), CH = FForm->ClientHeight();
      BitBlt(DC, X, Y + H, BW, CH + BW, Src, CL - BW, CT, SRCCOPY);
      BitBlt(DC, X + BW + CW, Y + H, BW, CH + BW, Src, CL + CW, CT, SRCCOPY);
      BitBlt(DC, X, Y + H + CH, CW + 2 * BW, BW, Src, CL - BW, CT + CH, SRCCOPY);
    }
  }
  RestoreDC(DC, Saved);
  ReleaseDC(W, DC);
}

// ---- strips of the cache ----

void TsSkinProvider::SaveTitleStrip(int RightEdge, bool Full) {
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr || FTitleStrip == nullptr) return;
  TRect Margins;
  GetExtBorderMargins(Margins);
  const HWND W = FormHandle();
  const int FNoBorder = GetFrameWidthWithoutBorderWindow(W, FBorderForm, false);
  const int SW = GetWindowFrameWidth(W, FBorderForm, true) + GetTitleButtonsWidth() + 10 + Margins.Right;
  const int SH = GetCaptionBarHeight(true) + FNoBorder + SysFrameWidth + MenuLineHeight() + Margins.Top;
  if (FTitleStrip->PixelFormat() != pf32bit) FTitleStrip->SetPixelFormat(pf32bit);
  FTitleStrip->SetSize(SW, SH);
  const int Rows = Full ? SH : FNoBorder + GetCaptionBarHeight(true);
  BitBlt(FTitleStrip->Canvas()->Handle(), 0, 0, SW, Rows, Cache->Canvas()->Handle(), RightEdge - SW - 1, 0, SRCCOPY);
}

void TsSkinProvider::RestoreTitleStrip(int RightEdge) {
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr || FTitleStrip == nullptr || FTitleStrip->Empty()) return;
  BitBlt(Cache->Canvas()->Handle(), RightEdge - FTitleStrip->Width() - 1, 0, FTitleStrip->Width(), FTitleStrip->Height(),
         FTitleStrip->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::PaintMenuButtonsForm(TObject* Sender) {
  auto* F = As<TCustomForm>(Sender);
  if (F != nullptr && F->Canvas() != nullptr) PaintMenuLoopCover(F->Canvas()->Handle());
}

void TsSkinProvider::PaintMenuLoopCover(HDC DC) {
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr) return;
  // the cover shows the part of the frame it lies over
  const TPoint At = MenuLoopCoverPoint(), O = WindowOriginInCache();
  BitBlt(DC, 0, 0, 60, GetSystemMetrics(SM_CYMENU) + 3, Cache->Canvas()->Handle(), At.X + O.X, At.Y + O.Y, SRCCOPY);
}
