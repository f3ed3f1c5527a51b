// The whole non-client area of a skinned form painted into the frame cache (frame, caption band, icon, text,
// title buttons, menu line, grip), the copies of the cache onto a window DC, and the client offsets.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/GraphicsGdi.h"
#include "framework/Menus.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkMaskedText.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"
#include "skin/graphics/vkTextGlow.h"

namespace {

int ClampState(TsSkinManager* M, int Index, int State) {
  if (M == nullptr || !M->SectionIndexInRange(Index)) return 0;
  return std::max(0, std::min(State, std::clamp(M->gd()[Index].States, 1, 3) - 1));
}

// Caption text with a border window, whose letters keep their alpha in the layered picture; a disabled form's in
// the colour the text takes without one: the section's normal font colour mixed toward its normal colour.
void DrawCaptionText32(TBitmap* Cache, const std::string& Text, bool Enabled, TsSkinManager* M, int State, int Section,
                       UINT Flags, const TRect& R) {
  if (Enabled || !M->SectionIndexInRange(Section)) {
    DrawSkinText32(Cache, Text, true, M, State, Section, Flags, R);
    return;
  }
  const TsGenState& Normal = M->gd()[Section].Props[0];
  DrawTextThroughMask32(Cache, Text, true, false, WeightedColorMix(Normal.FontColor, Normal.Color, DisabledBlendWeight),
                        Flags, R);
}

}  // namespace

// ---- geometry of the cache ----

int TsSkinProvider::GetClientOffsetLeft() {
  TRect M;
  GetExtBorderMargins(M);
  if (FBorderForm != nullptr) return GetFrameWidth(true) + M.Left;
  const HWND W = FormHandle();
  if (W == nullptr) return 0;
  return (WindowRectWidth(W) - ClientRectWidth(W) - ShownScrollBar(true)) / 2;
}

int TsSkinProvider::GetClientOffsetTop() {
  TRect M;
  GetExtBorderMargins(M);
  if (FBorderForm != nullptr) {
    const int LineH = MenuLineHeight();
    return GetCaptionBarHeight(true) + GetMenuLineCount() * LineH + FForm->BorderWidth() + M.Top + (LineH != 0 ? 1 : 0);
  }
  const HWND W = FormHandle();
  if (W == nullptr) return 0;
  // a minimised window has no client to take the origin of
  if (IsIconic(W))
    return WindowRectHeight(W) - ((WindowStyle(W) & WS_BORDER) != 0 ? GetWindowFrameWidth(W, nullptr, false) : 0);
  // where the client starts: what lies below it (frame, border width, a horizontal bar of any height) counts not
  RECT Client{};
  GetClientRectInWindow(W, Client);
  return Client.top;
}

int TsSkinProvider::GetMenuLineCount() {
  if (FMenuLineCount != -1) return FMenuLineCount;
  TMainMenu* Menu = FormMainMenu(FForm);
  const HWND W = FormHandle();
  if (Menu == nullptr || W == nullptr || IsIconic(W)) return 0;
  RECT First{};
  if (!GetMenuItemRect(W, GetMenu(W), 0, &First)) return 0;
  RECT Win{}, Client{};
  GetWindowRect(W, &Win);
  GetClientRectInWindow(W, Client);
  // the bar ends where the border width above the client begins
  const int Y0 = Win.top + Client.top - FForm->BorderWidth();
  FMenuLineCount = First.bottom < Y0 ? 1 + (Y0 - First.bottom) / (GetSystemMetrics(SM_CYMENU) - 2) : 1;
  return FMenuLineCount;
}

bool TsSkinProvider::MenuLineHasItems() {
  if (FForm == nullptr || FForm->BorderStyle() == bsDialog || FForm->FormStyle() == fsMDIChild) return false;
  TMainMenu* Menu = FormMainMenu(FForm);
  if (Menu == nullptr || MenuAutoMerge(Menu)) return false;
  // hidden items take no room on the line; an MDI parent shows the active child's merged items too
  auto AnyVisible = [](TMenu* M) {
    for (int i = 0; M != nullptr && i < M->Items()->Count(); ++i)
      if (M->Items()->Items(i)->Visible()) return true;
    return false;
  };
  if (AnyVisible(Menu)) return true;
  TCustomForm* Child = FForm->FormStyle() == fsMDIForm ? FForm->ActiveMDIChild() : nullptr;
  return Child != nullptr && AnyVisible(FormMainMenu(Child));
}

int TsSkinProvider::GetZoomedCaptionExcess(bool Maximized) {
  return std::max(0, GetSkinTitleHeightByState(Maximized) - (GetStdCaptionHeight(FForm) + 4));
}

int TsSkinProvider::FrameCacheHeight() {
  TRect M;
  GetExtBorderMargins(M);
  int H;
  if (FormIconic() && !IsMainForm(FForm))
    H = GetFrameWidthWithoutBorderWindow(FormHandle(), FBorderForm, false) + GetCaptionBarHeight(true) + 2;
  else
    H = FForm->Height();
  if (FBorderForm != nullptr) H += ExtraFrameWidth() + GetExtraCaptionHeight(FBorderForm) + M.Top + M.Bottom;
  return H;
}

// ---- the painter ----

bool TsSkinProvider::PaintFormFrame() {
  if (FForm == nullptr || FSkinData == nullptr || FForm->ControlState().Contains(csCreating) ||
      (FFormState & (fsfMoveFade | fsfHiding)) != 0 || FSkinData->SkinIndex < 0)
    return false;
  TsSkinManager* M = Manager();
  if (M == nullptr) return false;
  const HWND Wnd = FormHandle();
  if (FMetricsChanged) {
    FMetricsChanged = false;
    ReadSystemMetrics();
    FMenuLineCount = -1;
    FFrameDirty = true;
    FSkinData->CacheDirty = true;
    ForgetCaptionHeights();
    if (Wnd != nullptr)
      SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                       SWP_NOSENDCHANGING);
  }
  const int W = FrameCacheWidth(), H = FrameCacheHeight();
  if (FSkinData->CacheBmp == nullptr) FSkinData->CacheBmp = NewBitmap32(W, H);
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache->PixelFormat() != pf32bit) Cache->SetPixelFormat(pf32bit);
  if (Cache->Width() != W || Cache->Height() != H) Cache->SetSize(W, H);
  // A maximised child still showing has not merged its menu and buttons into the line yet: the frame is
  // painted once it is up.
  bool ChildShowing = false;
  if (FForm->FormStyle() == fsMDIForm && FFrameDirty) {
    TCustomForm* Child = FForm->ActiveMDIChild();
    ChildShowing = Child != nullptr && Child->WindowState() == wsMaximized && Child->FormState().Contains(fsShowing);
  }
  if (FSkinData->CacheDirty && !ChildShowing) {
    ++FFramePaints;
    UpdateCaptionLayout();
    TvkBgCacheRef Bg{};
    if (FForm->Parent() != nullptr) {
      TvkParentBgQuery Q{};
      Q.OffsetX = FForm->Left();
      Q.OffsetY = FForm->Top();
      QueryParentBackground(Q, FForm->Parent(), false);
      if (Q.Kind == bgkNotReady) {
        FSkinData->Updating = true;
        return false;
      }
      BgCacheRefFromQuery(Q, Bg);
    }
    const bool BorderMode1 = FBorderForm != nullptr && M->SkinData().BorderMode == 1;
    const TRect All(0, 0, W, H);
    const int FormState = ClampState(M, FSkinData->SkinIndex, FFormActive ? 1 : 0);
    if (!HasCaption() && (FForm->Parent() == nullptr || BorderMode1)) {
      PaintSectionBackground(FSkinData->SkinIndex, Bg, FormState, 0xFF00FF, -1, -1, M, Cache, TPoint(), All);
      const TsGeneralData& G = M->gd()[FSkinData->SkinIndex];
      const TvkBgCacheRef None{};
      auto Corner = [&](int Mask, bool Right, bool Bottom) {
        if (!M->MaskIndexInRange(Mask)) return;
        const TsMaskData& C = M->ma()[Mask];
        DrawSkinGlyph32(Cache, TPoint(Right ? W - C.Width : 0, Bottom ? H - C.Height : 0), FormState, None, C, 1);
      };
      Corner(G.ImgTopLeft, false, false);
      Corner(G.ImgTopRight, true, false);
      Corner(G.ImgBtmLeft, false, true);
      Corner(G.ImgBtmRight, true, true);
    } else {
      RenderControlSkin(FSkinData, Bg, FForm->Parent() != nullptr, Cache, TPoint(), All, FormState);
    }
    if (!BorderMode1) PaintCaptionSection();
    PaintMenuLine();
    if (FBorderForm != nullptr && !BorderMode1) PaintCaptionText();
    PaintMDIArea();
    PaintExtendedBorder();
    // in border mode 1 the caption lies over the extended border
    if (BorderMode1) {
      PaintCaptionSection();
      PaintCaptionText();
    }
    if (FBorderForm == nullptr) PaintCaptionText();
    if (IsGripShown()) {
      const int Grip = M->ConstData().GripImage;
      if (M->MaskIndexInRange(Grip)) {
        TvkBgCacheRef Self;
        InitBgInfo(Cache, 0, 0, Self);
        DrawSkinGlyph32(Cache, GetGripPosition(Grip), 0, Self, M->ma()[Grip], 1);
      }
    }
    if (GetCaptionBarHeight(true) != 0 && FDrawNonClientArea) {
      SaveTitleStrip(W, true);
      PaintTitleButtons();
    }
    FFrameDirty = false;
    FSkinData->CacheDirty = false;
    if (FForm->OnPaint) {
      if (FormIconic()) {
        FSkinData->CacheDirty = true;
        return true;
      }
      HDC CacheDC = Cache->Canvas()->Handle();
      const int Saved = SaveDC(CacheDC);
      SetWindowOrgEx(CacheDC, -GetClientOffsetLeft(), -GetClientOffsetTop(), nullptr);
      Cache->Canvas()->Lock();
      // a failing handler leaves the cache as it found it
      try {
        FForm->Canvas()->PaintOn(CacheDC, [&] { FForm->OnPaint(FForm); });
      } catch (...) {
        Cache->Canvas()->Unlock();
        RestoreDC(CacheDC, Saved);
        throw;
      }
      Cache->Canvas()->Unlock();
      RestoreDC(CacheDC, Saved);
    }
    FSkinData->SendCacheToChildren(FForm, POINT{GetClientOffsetLeft(), GetClientOffsetTop()});
    FSkinData->CacheDirty = false;
  }
  if (FForm->Parent() == nullptr) FSkinData->Updating = false;
  return true;
}

void TsSkinProvider::PaintCaptionSection() {
  TsSkinManager* M = Manager();
  TBitmap* Cache = FSkinData->CacheBmp;
  const int CapH = GetCaptionBarHeight(true);
  if (CapH == 0 || !FDrawNonClientArea || M == nullptr) return;
  TRect Mg;
  GetExtBorderMargins(Mg);
  const int W = Cache->Width();
  const bool MinNotMain = FormIconic() && !IsMainForm(FForm);
  const int Bottom = MinNotMain ? Cache->Height() : FCaptionBottom;
  const TRect Band(Mg.Left, Mg.Top, W - Mg.Right, Bottom);
  TvkBgCacheRef Self;
  InitBgInfo(Cache, 0, 0, Self);
  const bool BorderMode1 = FBorderForm != nullptr && M->SkinData().BorderMode == 1;
  if (M->SectionIndexInRange(FTitleIndex) && !BorderMode1)
    PaintSectionItem(FTitleIndex, Self, -1, -1, M, Cache, TPoint(Band.Left, Band.Top), Band,
                     ClampState(M, FTitleIndex, FFormActive ? 1 : 0));
  // by the rule the children's repaints follow: a header section of one state shows no band
  if (HeaderShown()) {
    const TRect Header(Band.Left, Band.Top, Band.Right, FCaptionBottom + FFormHeader->AdditionalHeight());
    PaintSectionItem(FHeaderIndex, Self, -1, -1, M, Cache, TPoint(Header.Left, Header.Top), Header,
                     ClampState(M, FHeaderIndex, FFormActive ? 1 : 0));
  }
  PaintTitleIcon();
  if (CountSystemButtons() > 0) {
    const int Bar = M->FindMaskInherited(FSkinData->SkinIndex, "TITLEBAR");
    if (M->MaskIndexInRange(Bar)) {
      const int Wt = 2 * M->ma()[Bar].Width + GetTitleButtonsWidth();
      const int F0 = GetFrameWidthWithoutBorderWindow(FormHandle(), FBorderForm, false);
      DrawSkinRect32(Cache, TRect(W - Wt, 0, W, F0 + CapH), Self, true, ClampState(M, FTitleIndex, FFormActive ? 1 : 0),
                     M->ma()[Bar]);
    }
  }
}

void TsSkinProvider::PaintCaptionText() {
  TsSkinManager* M = Manager();
  TBitmap* Cache = FSkinData->CacheBmp;
  if (GetCaptionBarHeight(true) == 0 || !FDrawNonClientArea || M == nullptr) return;
  TRect Mg;
  GetExtBorderMargins(Mg);
  const int W = Cache->Width();
  const int FW = GetWindowFrameWidth(FormHandle(), FBorderForm, true);
  const bool HasTextSection = M->SectionIndexInRange(FCaptionIndex);
  TRect R;
  bool BarShowsCaption = true;
  if (TitleBarTextArea(R, BarShowsCaption)) {
    R.Left += 8;
    R.Right -= 8;
  } else if (FCaptionAlignment == taCenter) {
    R = TRect(FW + Mg.Left, 0, W - Mg.Right, 0);
  } else {
    R.Left = FW + (HasTitleIcon() ? FIconRect.Right - FIconRect.Left : 0) + 4 + M->SkinData().BILeft + Mg.Left +
             (HasTextSection ? 2 : 0);
    R.Right = W - GetTitleButtonsWidth() - 12 - Mg.Right;
  }
  R.Top = FormZoomed() ? GetCaptionTopOffset() : Mg.Top + 2;
  if (R.Right <= R.Left) return;
  const std::string Caption = FAddedTitle->ShowMainCaption() && BarShowsCaption ? FForm->Caption() : std::string();
  const std::string& Added = FAddedTitle->Text();
  // caption font: the system's, at the skin's scale, in the form font's character set
  LOGFONTA LF{};
  HFONT Sys = CreateCaptionFont();
  if (Sys != nullptr) {
    GetObjectA(Sys, sizeof(LF), &LF);
    GdiFreeObject(Sys);  // made by the counted allocator: freed through it
  }
  TCanvas* C = Cache->Canvas();
  C->Font()->SetName(LF.lfFaceName[0] != 0 ? LF.lfFaceName : "Tahoma");
  C->Font()->SetHeight(M->ApplyScale(CaptionFontHeight()));
  C->Font()->SetCharset(FForm->Font()->Charset());
  C->Font()->SetStyle(LF.lfWeight >= FW_BOLD ? TFontStyles{fsBold} : TFontStyles{});
  const UINT Flags =
      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (FForm->UseRightToLeftReading() ? DT_RTLREADING : 0);
  TSize CapSize, AddSize;
  if (!Caption.empty()) CanvasTextExtent(C, Caption, CapSize);
  if (!Added.empty()) {
    TFont Saved;
    Saved.Assign(C->Font());
    C->Font()->Assign(FAddedTitle->Font());
    CanvasTextExtent(C, Added, AddSize);
    C->Font()->Assign(&Saved);
  }
  // a scaled skin's text takes one pixel more
  const int TextH = std::max(CapSize.cy, AddSize.cy) + (M->ScalePercent() > 100 ? 1 : 0);
  R.Top = FTitleCenter - TextH / 2;
  R.Bottom = R.Top + TextH;
  TAlignment Align = FCaptionAlignment;
  if (FForm->UseRightToLeftReading() && Align != taCenter) Align = Align == taLeftJustify ? taRightJustify : taLeftJustify;
  const int Need = CapSize.cx + (Added.empty() ? 0 : AddSize.cx + 4);
  const int RightRun = CapSize.cx + AddSize.cx + 4;
  if (Align == taRightJustify && R.Right - RightRun > R.Left) R.Left = R.Right - RightRun;
  if (Align == taCenter && Need < R.Right - R.Left) {
    R.Left += (R.Right - R.Left - Need) / 2;
    R.Right = R.Left + Need;
  }
  const int TextSection = HasTextSection ? FCaptionIndex : FTitleIndex;
  const int State = ClampState(M, TextSection, FFormActive ? 1 : 0);
  if (HasTextSection) {
    TvkBgCacheRef Self;
    InitBgInfo(Cache, 0, 0, Self);
    const TRect Behind(R.Left - 4, R.Top - 2, R.Right + 4, R.Bottom + 2);
    PaintSectionItem(FCaptionIndex, Self, -1, -1, M, Cache, TPoint(Behind.Left, Behind.Top), Behind, State);
  }
  if (!Caption.empty()) {
    TRect T(R.Left, R.Top, std::min(R.Right, R.Left + CapSize.cx + 1) + (Added.empty() ? R.Right - R.Left : 0), R.Bottom);
    T.Right = std::min(T.Right, R.Right);
    if (M->SectionIndexInRange(TextSection)) {
      const TsGenState& S = M->gd()[TextSection].Props[State];
      if (S.GlowSize > 0)
        DrawTextGlow(Cache, Caption, T, FCaptionGlow[FFormActive ? 1 : 0], S.GlowColor, S.GlowSize, 0, Flags);
    }
    if (FBorderForm != nullptr)
      DrawCaptionText32(Cache, Caption, FForm->Enabled(), M, State, TextSection, Flags, T);
    else
      DrawSectionTextStr(C, Caption, FForm->Enabled(), M, State, TextSection, Flags, T);
  }
  if (!Added.empty() && R.Right - (R.Left + CapSize.cx + 4) > 8) {
    const TRect T(R.Left + CapSize.cx + 4, R.Top, std::min(R.Right, R.Left + CapSize.cx + 4 + AddSize.cx + 4), R.Bottom);
    C->Font()->Assign(FAddedTitle->Font());
    TColor Color = C->Font()->Color();
    if (Color == static_cast<TColor>(0x1FFFFFFF) || Color == clWindowText || Color == clNone)
      Color = M->SectionIndexInRange(TextSection) ? static_cast<TColor>(M->gd()[TextSection].Props[State].FontColor) : clBlack;
    // a disabled form's added text is dimmed as its caption is: toward the section's normal colour
    if (!FForm->Enabled() && M->SectionIndexInRange(TextSection))
      Color = static_cast<TColor>(WeightedColorMix(Color, M->gd()[TextSection].Props[0].Color, DisabledBlendWeight));
    else if (!FFormActive && M->SectionIndexInRange(TextSection))
      Color = static_cast<TColor>(WeightedColorMix(Color, M->gd()[TextSection].Props[State].Color, 160));
    C->Font()->SetColor(ColorToRGB(Color));
    // drawn like the caption: with a border window the letters keep their alpha in the layered picture
    if (FBorderForm != nullptr)
      DrawSkinText32(Cache, Added, true, M, State, -1, Flags, T);
    else
      DrawSectionTextStr(C, Added, FForm->Enabled(), nullptr, State, -1, Flags, T);
  }
}

void TsSkinProvider::PaintSystemButton(TsCaptionButton& Button, bool Enabled) {
  TsSkinManager* M = Manager();
  if (M == nullptr || Button.MaskKind >= tmNone) return;
  const int Index = M->ConstData().TitleMasks[Button.MaskKind];
  if (!M->MaskIndexInRange(Index) || Button.Rect.Right <= Button.Rect.Left) return;
  const bool Animated = Button.Animation != nullptr;
  const int State = Animated ? 0 : std::max(0, Button.State);
  const bool Faded = (!FFormActive || !Enabled || !FForm->Enabled()) && (State == 0 || Animated);
  TvkBgCacheRef Self;
  InitBgInfo(FSkinData->CacheBmp, 0, 0, Self);
  DrawSkinGlyph32(FSkinData->CacheBmp, TPoint(Button.Rect.Left, Button.Rect.Top), State, Self, M->ma()[Index],
                  Faded ? 2 : 1);
}

// A user button's glyph centred on it: 32-bit glyphs by their alpha, others keyed by their bottom-left pixel.
static void PaintUserGlyph(TBitmap* Cache, TBitmap* Glyph, const TRect& R, int Width, int Height, bool Pressed) {
  if (Glyph->Empty()) return;
  const int X = R.Left + (Width - Glyph->Width()) / 2 + (Pressed ? 1 : 0);
  const int Y = R.Top + (Height - Glyph->Height()) / 2 + (Pressed ? 1 : 0);
  const TvkBgCacheRef None{};
  if (Glyph->PixelFormat() == pf32bit) {
    AlphaBlendRectOver(TRect(X, Y, X + Glyph->Width(), Y + Glyph->Height()), TRect(0, 0, Glyph->Width(), Glyph->Height()),
                       Cache, Glyph, None, false);
    return;
  }
  const COLORREF Key = GetPixel(Glyph->Canvas()->Handle(), 0, Glyph->Height() - 1);
  TransparentBlt(Cache->Canvas()->Handle(), X, Y, Glyph->Width(), Glyph->Height(), Glyph->Canvas()->Handle(), 0, 0,
                 Glyph->Width(), Glyph->Height(), Key);
  SetRectAlpha32(Cache, TRect(X, Y, X + Glyph->Width(), Y + Glyph->Height()), 255, NoColor32);
}

void TsSkinProvider::PaintTitleButtons() {
  if (!HasCaption()) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  RestoreTitleStrip(Cache->Width());
  if (FSystemMenu != nullptr && HasBiSystemMenu()) {
    if (FSystemMenu->VisibleClose()) PaintSystemButton(ButtonClose, FSystemMenu->EnabledClose());
    if (FSystemMenu->VisibleMax())
      PaintSystemButton(ButtonMax, FSystemMenu->EnabledMax() || (FormZoomed() && FSystemMenu->EnabledRestore()));
    if (FSystemMenu->VisibleMin()) PaintSystemButton(ButtonMin, FSystemMenu->EnabledMin() || FormIconic());
    if (FForm->BorderIcons().Contains(biHelp)) PaintSystemButton(ButtonHelp, true);
  }
  PaintMDIChildButtons();
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* B = FTitleButtons->Items(i);
    if (!B->Visible()) continue;
    B->Data.Code = htUserButton + i;
    if (B->UseSkinData()) PaintSystemButton(B->Data, B->Enabled());
    PaintUserGlyph(Cache, B->Glyph(), B->Data.Rect, GetUserButtonWidth(B), GetTitleButtonHeight(), false);
  }
  if (FTitleBar != nullptr) PaintTitleBarItems(Cache);
}

// A maximised MDI child's minimise, restore and close buttons at the right end of the first menu line.
void TsSkinProvider::PaintMDIChildButtons() {
  for (TsCaptionButton* B : {&ButtonMDIMin, &ButtonMDIRestore, &ButtonMDIClose}) B->Rect = TRect();
  TsSkinManager* M = Manager();
  if (M == nullptr || !ShowsMDIChildButtons() || MenuLineHeight() <= 0) return;
  const auto& Masks = M->ConstData().TitleMasks;
  if (!M->MaskIndexInRange(Masks[tmSmallClose]) || !M->MaskIndexInRange(Masks[tmSmallMin]) ||
      !M->MaskIndexInRange(Masks[tmSmallNorm]))
    return;
  TRect Mg;
  GetExtBorderMargins(Mg);
  const int W = FSkinData->CacheBmp->Width(), F = GetWindowFrameWidth(FormHandle(), FBorderForm, true);
  const int BW = SmallCloseButtonWidth(), BH = SmallCloseButtonHeight();
  const int Top = FCaptionBottom + std::max(0, (MenuLineHeight() - BH) / 2);
  const std::pair<TsCaptionButton*, int> Places[] = {{&ButtonMDIMin, 3}, {&ButtonMDIRestore, 2}, {&ButtonMDIClose, 1}};
  for (const auto& [B, K] : Places) {
    const int Left = W - F - Mg.Right - K * (BW + 1);
    B->Rect = TRect(Left, Top, Left + BW, Top + BH);
  }
  TsSkinProvider* Child = ActiveMDIChildProvider();
  TsSystemMenu* ChildMenu = Child != nullptr ? Child->SystemMenu() : nullptr;
  PaintSystemButton(ButtonMDIMin, ChildMenu == nullptr || ChildMenu->EnabledMin());
  PaintSystemButton(ButtonMDIRestore, ChildMenu == nullptr || ChildMenu->EnabledRestore());
  PaintSystemButton(ButtonMDIClose, true);
}

void TsSkinProvider::PaintMenuLine() {
  // the menu line is drawn by the skinned menu items of the form's main menu
  if (!HasMenuLine() || !MenuLineHasItems() || MenuLineHeight() <= 0 || !FDrawNonClientArea) return;
  TsSkinManager* M = Manager();
  if (M == nullptr || !M->SkinnedPopups()) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  TRect Mg;
  GetExtBorderMargins(Mg);
  const int F = GetFrameWidth(true);
  const int Band = GetMenuLineCount() * MenuLineHeight() + 1;
  const int Top = GetFrameWidthWithoutBorderWindow(FormHandle(), FBorderForm, false) + GetCaptionBarHeight(true) + Mg.Top;
  const TRect R(F + Mg.Left, Top, Cache->Width() - F - Mg.Right, Top + Band);
  const int Section = !FMenuLineSkin.empty() ? M->FindSectionIndex(FMenuLineSkin) : M->ConstData().Sections[ssMenuLine];
  TvkBgCacheRef Self;
  InitBgInfo(Cache, 0, 0, Self);
  if (M->SectionIndexInRange(Section)) PaintSectionItem(Section, Self, -1, -1, M, Cache, TPoint(R.Left, R.Top), R, 0);
  // the items' painter reads the band from its own top-left
  if (FMenuLineBg != nullptr) {
    FMenuLineBg->SetSize(R.Right - R.Left, Band);
    BitBlt(FMenuLineBg->Canvas()->Handle(), 0, 0, R.Right - R.Left, Band, Cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
  }
  PaintMenuLineItems(R);
}

// The MDI client copies its background from the cache, so the area it covers (beside the aligned controls) is
// painted with the skin's MDI area section.
void TsSkinProvider::PaintMDIArea() {
  TsSkinManager* M = Manager();
  if (FForm->FormStyle() != fsMDIForm || FMDIForm == nullptr || M == nullptr) return;
  const int Section = M->FindSectionIndex("MDIAREA");
  if (!M->SectionIndexInRange(Section)) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  TRect Mg;
  GetExtBorderMargins(Mg);
  const int F = GetFrameWidth(true);
  const int LineH = MenuLineHeight();
  const int Band = MenuLineHasItems() ? GetMenuLineCount() * LineH + 1 : 0;
  const TRect R(F + Mg.Left + SumAlignedChildExtent(FForm, alLeft, true),
                FCaptionBottom + Band + FForm->BorderWidth() + (LineH != 0 ? 1 : 0) + SumAlignedChildExtent(FForm, alTop, true),
                Cache->Width() - F - Mg.Right - SumAlignedChildExtent(FForm, alRight, true),
                Cache->Height() - F - Mg.Bottom - SumAlignedChildExtent(FForm, alBottom, true));
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  TvkBgCacheRef Self;
  InitBgInfo(Cache, 0, 0, Self);
  PaintSectionItemToDC(Section, Self, M, Cache->Canvas()->Handle(), TPoint(R.Left, R.Top), R, 0);
}

void TsSkinProvider::PaintExtendedBorder() {
  // drawn by the border window's own painter into the margins of the cache; nothing without one
  if (ProviderParts.PaintExtendedBorder) ProviderParts.PaintExtendedBorder(this, FSkinData->CacheBmp);
}

// ---- copies to a DC ----

void TsSkinProvider::DrawFrameCache(HDC DC) {
  const HWND Wnd = FormHandle();
  const int A = GetFrameWidthWithoutBorderWindow(Wnd, FBorderForm, true) + GetCaptionBarHeight(true) + (FormIconic() ? 1 : 0);
  // a rebuild that did not happen (or was put off) leaves the cache due for the next one
  if (FSkinData->CacheDirty && PaintFormFrame() && !FSkinData->CacheDirty) FSkinData->Updating = false;
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr || Cache->Empty()) return;
  const int B = GetBottomFrameHeight(true);
  const int L = GetFrameWidth(true);
  const int T = (WindowStyle(Wnd) & WS_CAPTION) == WS_CAPTION ? GetTopNonClientHeight() : B;
  const int W = Cache->Width(), H = Cache->Height();
  const int Band = MenuLineHasItems() ? GetMenuLineCount() * MenuLineHeight() + 1 : 0;
  const int SideY = A + Band + FForm->BorderWidth();
  HDC Src = Cache->Canvas()->Handle();
  BitBlt(DC, 0, 0, W, T != 0 ? T : Band, Src, 0, 0, SRCCOPY);
  BitBlt(DC, 0, T, L, H - T, Src, 0, SideY, SRCCOPY);
  BitBlt(DC, L, FForm->Height() - B, W - L, B, Src, L, FForm->Height() - B, SRCCOPY);
  // the right strip is as wide as the left one
  BitBlt(DC, W - L, T, L, H - B, Src, W - L, SideY, SRCCOPY);
}

void TsSkinProvider::PaintFormTo(HDC DC, const TRect& R, bool Notify) {
  const int Saved = SaveDC(DC);
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  PaintFormFrame();
  TBitmap* Cache = FSkinData->CacheBmp;
  if (FForm->FormStyle() != fsMDIForm && Cache != nullptr && !Cache->Empty()) {
    const RECT Client{0, 0, FForm->ClientWidth(), FForm->ClientHeight()};
    BlitCacheExceptChildren(FForm, FSkinData, POINT{GetClientOffsetLeft(), GetClientOffsetTop()}, 0, 0, false, DC, Client);
    // a form being hidden is no longer Visible, yet its hide picture shows its graphic controls
    PaintGraphicChildren(DC, FForm, (FFormState & fsfHiding) == 0, POINT{0, 0});
  }
  RestoreDC(DC, Saved);
  if (Notify) {
    RepaintChildrenAfterUpdate(FForm);
    TMessage Done{SM_VKCMD, SkinCommandWParam(VKCMD_PARENT_UPDATE_DONE), 0, 0};
    SendToAdapters(Done);
  }
}
