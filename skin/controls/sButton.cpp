#include "skin/controls/sButton.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Platform.h"
#include "framework/Themes.h"
#include "framework/TypInfo.h"
#include "skin/controls/vkGlyphPaint.h"
#include "skin/controls/vkHoverEvents.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/core/vkFormServices.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

namespace {

// Process-wide, as every button shares them: the hints held back while a button is pressed, a redraw that
// must show the pressed face whatever the mouse does, and a focus change redrawing with redraw switched off.
bool g_HintsSuspended = false;
bool g_SavedShowHint = true;
bool g_PressedRedraw = false;
bool g_FocusRedraw = false;

void SuspendHints() {
  if (g_HintsSuspended || Application == nullptr) return;
  g_SavedShowHint = Application->ShowHint();
  Application->SetShowHint(false);
  g_HintsSuspended = true;
}

void RestoreHints() {
  if (!g_HintsSuspended) return;
  g_HintsSuspended = false;
  if (Application != nullptr) Application->SetShowHint(g_SavedShowHint);
}


// The state's font colour of a section (as a colour value).
uint32_t SectionFontColor(TsSkinManager* M, int Section, int State) {
  if (M == nullptr || !M->SectionIndexInRange(Section)) return 0;
  return M->gd()[Section].Props[std::clamp(State, 0, 2)].FontColor;
}

}  // namespace

// ===================================================================================================
// image margins

void TImageMargins::SetMargin(int Index, int Value) {
  if (FMargins[Index] == Value) return;
  FMargins[Index] = Value;
  if (OnChange) OnChange(this);
}

void TImageMargins::Assign(TPersistent* Source) {
  auto* Src = As<TImageMargins>(Source);
  if (Src == nullptr) return inherited::Assign(Source);
  std::copy(std::begin(Src->FMargins), std::end(Src->FMargins), std::begin(FMargins));
  if (OnChange) OnChange(this);
}

PUBLISHED(TImageMargins) {
  p.Int("Left", [](TImageMargins* m) { return m->Margin(0); }, [](TImageMargins* m, int v) { m->SetMargin(0, v); });
  p.Int("Top", [](TImageMargins* m) { return m->Margin(1); }, [](TImageMargins* m, int v) { m->SetMargin(1, v); });
  p.Int("Right", [](TImageMargins* m) { return m->Margin(2); }, [](TImageMargins* m, int v) { m->SetMargin(2, v); });
  p.Int("Bottom", [](TImageMargins* m) { return m->Margin(3); }, [](TImageMargins* m, int v) { m->SetMargin(3, v); });
}

// ===================================================================================================
// construction

TsButton::TsButton(TComponent* AOwner)
    : TButton(AOwner),
      FSkinData(new TsCtrlSkinData(this, true)),
      FCommandLinkFont(new TFont()),
      FImageChangeLink(new TChangeLink()),
      FImageMargins(new TImageMargins()) {
  FSkinData->CtrlType = ctButton;
  FWordWrap = true;
  FControlStyle.Exclude(csOpaque);
  FControlStyle.Exclude(csDoubleClicks);
  FCommandLinkFont->OnChange = [this](TObject*) { FSkinData->RepaintOwner(true); };
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImagesChanged(Sender); };
  FImageMargins->OnChange = [this](TObject* Sender) { MarginsChanged(Sender); };
}

TsButton::~TsButton() {
  FImageChangeLink->Free();
  FImageMargins->Free();
  FCommandLinkFont->Free();
  FSkinData->Free();
}

void TsButton::AfterConstruction() {
  inherited::AfterConstruction();
  FSkinData->FinishLoading(true);
}

void TsButton::Loaded() {
  inherited::Loaded();
  if (FSkinData->CacheBmp != nullptr) FSkinData->CacheBmp->Canvas()->Font()->Assign(Font());
  FSkinData->FinishLoading(true);
}

void TsButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= BS_OWNERDRAW;
}

void TsButton::CreateWnd() {
  inherited::CreateWnd();
  FSkinData->AttachToHandle();
}

void TsButton::SetButtonStyle(bool ADefault) {
  // the window stays owner-drawn: only the look follows
  FActiveDefault = ADefault;
  RepaintFace();
}

void TsButton::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent == nullptr) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TsButton::SetDropDownMenu(TPopupMenu* Value) {
  if (FDropDownMenu == Value) return;
  FDropDownMenu = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TsButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  inherited::ActionChange(Sender, CheckDefaults);
  if (auto* A = As<TCustomAction>(Sender)) SetEnabled(A->Enabled());
  // an action without a handler gives the disabled look
  RepaintFace();
}

// ===================================================================================================
// properties

void TsButton::SetFlag(int Index, bool Value) {
  if (FFlags[Index] == Value) return;
  FFlags[Index] = Value;
  RepaintFace();
}

void TsButton::SetContentMargin(int Value) {
  if (FContentMargin == Value) return;
  FContentMargin = Value;
  RepaintFace();
}

void TsButton::SetStyle(TButtonStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RepaintFace();
}

void TsButton::SetCommandLinkHint(const std::string& Value) {
  if (FCommandLinkHint == Value) return;
  FCommandLinkHint = Value;
  RepaintFace();
}

void TsButton::SetCommandLinkFont(TFont* Value) {
  FCommandLinkFont->Assign(Value);
  FSkinData->RepaintOwner(true);
}

void TsButton::SetDisabledKind(TsDisabledKinds Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  if (!ComponentState().Contains(csLoading)) RepaintFace();
}

void TsButton::SetImageIndexOf(int Index, int Value) {
  if (FImageIndexes[Index] == Value) return;
  FImageIndexes[Index] = Value;
  if (FImages != nullptr) RepaintFace();
}

void TsButton::SetImageAlignment(TImageAlignment Value) {
  if (FImageAlignment == Value) return;
  FImageAlignment = Value;
  if (FImages != nullptr) RepaintFace();
}

void TsButton::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages != nullptr) FImages->UnRegisterChanges(FImageChangeLink);
  FImages = Value;
  if (FImages != nullptr) {
    FImages->RegisterChanges(FImageChangeLink);
    FImages->FreeNotification(this);
  }
  RepaintFace();
}

void TsButton::ImagesChanged(TObject*) {
  if (FImages != nullptr) RepaintFace();
}

void TsButton::MarginsChanged(TObject*) {
  if (FImages != nullptr) RepaintFace();
}

// ===================================================================================================
// what the paint reads

int TsButton::CurrentState() {
  TsSkinManager* M = FSkinData->SkinManager();
  const bool Pushed = HandleAllocated() && (SendMessageA(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  if (Pushed || g_PressedRedraw) {
    if (FSkinData->Hot || !ControlState().Contains(csLButtonDown) || (M != nullptr && M->Options()->NoMouseHover()))
      return 2;
  }
  if (Down() || FDropDownShowing) return 2;
  if (!Designing() && FSkinData->CurrentState() != 0) return 1;
  return Default() ? 3 : 0;
}

int TsButton::SectionState() {
  const int S = CurrentState();
  const TsGeneralData* G = FSkinData->IsSkinned() ? FSkinData->Section() : nullptr;
  const int N = G != nullptr ? G->States : 1;
  if (S == 3) return N >= 4 ? 3 : 1;
  return std::min(S, std::max(0, N - 1));
}

bool TsButton::HasGlyph() {
  return FImages != nullptr && ImageIndex() >= 0 && GetImageCount(FImages) > ImageIndex();
}

TSize TsButton::GlyphSize(bool WithMargins) {
  TSize S{32, 32};
  if (FImages != nullptr && ImageIndex() >= 0 && ImageIndex() < GetImageCount(FImages))
    S = TSize{GetImageListWidth(FImages), GetImageListHeight(FImages)};
  if (WithMargins) {
    S.cx += FImageMargins->Left() + FImageMargins->Right();
    S.cy += FImageMargins->Top() + FImageMargins->Bottom();
  }
  return S;
}

int TsButton::ArrowWidth() const { return FSkinData->ScalePercent * 16 / 100; }

int TsButton::TextSpacing() const {
  TsSkinManager* M = FSkinData->SkinManager();
  return M != nullptr ? M->ApplyScale(6, 0) : 6;
}

int TsButton::ImageIndexForState() {
  int Look;
  if (!Enabled())
    Look = 4;
  else if (CurrentState() == 2)
    Look = 2;
  else if (Focused())
    Look = 3;
  else
    Look = CurrentState();
  static const int kSlot[5] = {0, 1, 3, 4, 2};  // look -> index of FImageIndexes
  const int Index = FImageIndexes[kSlot[Look]];
  return Index >= 0 && Index < GetImageCount(FImages) ? Index : ImageIndex();
}

TSize TsButton::CaptionTextSize() {
  const std::string Text = Caption();
  if (Text.empty()) return TSize{0, 0};
  TCanvas* C = FSkinData->CacheBmp->Canvas();
  C->Font()->Assign(Font());
  if (FStyle == bsCommandLink) {
    C->Font()->SetStyle(C->Font()->Style() + TFontStyles{fsBold});
    C->Font()->SetSize(C->Font()->Size() + 2);
  }
  const int M = FContentMargin;
  const int Right = FStyle == bsPushButton ? Width() - M : Width() - 3 * M - GlyphSize(true).cx - TextSpacing();
  TRect R(M, 0, Right, 0);
  const UINT Flags = DT_CALCRECT | DT_EXPANDTABS | DT_CENTER | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  {
    TCanvasTextScope S(C);
    DrawStringOnDC(S.DC(), Text, R, Flags);
  }
  C->Font()->Assign(Font());
  return TSize{std::max(0, R.Width()), std::max(0, R.Height())};
}

namespace {
TvkContentKind KindOf(TButtonStyle Style, bool Glyph, TImageAlignment Alignment) {
  if (Style == bsCommandLink) return ckCommandLink;
  if (!Glyph) return ckNoGlyph;
  static const TvkContentKind kByAlignment[5] = {ckGlyphLeft, ckGlyphRight, ckGlyphTop, ckGlyphBottom,
                                                 ckGlyphCenter};
  return kByAlignment[Alignment];
}
}  // namespace

void TsButton::ContentRects(TRect& Glyph, TRect& Caption) {
  TvkButtonLayout L;
  L.Kind = KindOf(FStyle, HasGlyph(), FImageAlignment);
  L.Width = Width() - (FStyle == bsSplitButton ? ArrowWidth() : 0);
  L.Height = Height();
  L.Margin = FContentMargin;
  L.ImageMargins = TRect(FImageMargins->Left(), FImageMargins->Top(), FImageMargins->Right(), FImageMargins->Bottom());
  L.Image = TSize{GetImageListWidth(FImages), GetImageListHeight(FImages)};
  L.Caption = CaptionTextSize();
  L.TextSpacing = TextSpacing();
  L.GlyphWidthWithMargins = GlyphSize(true).cx;
  TsSkinManager* M = FSkinData->SkinManager();
  L.Shift = CurrentState() == 2 &&
            !(FSkinData->IsSkinned() && (M == nullptr || !M->ButtonsOptions()->ShiftContentOnClick()));
  ButtonContentRects(L, Glyph, Caption);
}

TRect TsButton::CaptionRect() {
  TRect Glyph, Caption;
  ContentRects(Glyph, Caption);
  return Caption;
}

TRect TsButton::GlyphRect() {
  TRect Glyph, Caption;
  ContentRects(Glyph, Caption);
  return Glyph;
}

bool TsButton::ActionWithoutExecute() const {
  TBasicAction* A = Action();
  return A != nullptr && !A->OnExecute;
}

void TsButton::StopFade() {
  if (AnimationGlue.StopControlAnimation != nullptr) AnimationGlue.StopControlAnimation(FSkinData);
}

void TsButton::HideGlow() {
  if (AnimationGlue.HideGlowEffect != nullptr) AnimationGlue.HideGlowEffect(FSkinData->GlowId, false);
}

// ===================================================================================================
// painting

bool TsButton::PaintSkin() {
  TvkParentBgQuery Q{};
  Q.OffsetX = Left();
  Q.OffsetY = Top();
  Q.Area = TRect(0, 0, Width(), Height());
  if (Parent() != nullptr) QueryParentBackground(Q, Parent(), false);
  if (Q.Kind == bgkNotReady) {
    FSkinData->Updating = true;
    return false;
  }
  TvkBgCacheRef Ref;
  BgCacheRefFromQuery(Q, Ref);
  PrepareCacheBitmap(FSkinData);
  TBitmap* Cache = FSkinData->CacheBmp;
  Cache->Canvas()->Font()->Assign(Font());
  const int W = Width(), H = Height();
  const int I = SectionState();
  // the query's offset already stands for the button's place on its parent
  PaintControlBackground(FSkinData, Ref, I, Cache, TPoint{0, 0}, TRect(0, 0, W, H));
  TsSkinManager* M = FSkinData->SkinManager();
  if (M != nullptr && M->MaskIndexInRange(FSkinData->BorderIndex)) {
    const TsMaskData& Mask = M->ma()[FSkinData->BorderIndex];
    if (!(I == 0 && (Mask.DrawMode & 2) != 0)) DrawSkinRect32(Cache, TRect(0, 0, W, H), Ref, true, I, Mask);
  }
  ApplyControlColorShift(Cache, FSkinData);
  if (HasGlyph()) DrawControlGlyph(this, Cache->Canvas());
  PaintCaption(nullptr);
  if (FStyle == bsSplitButton) {
    const uint32_t Color = SectionFontColor(M, FSkinData->SkinIndex, I == 0 ? 0 : 1);
    const int X = W - ArrowWidth() + 1;
    FillRect32(Cache, TRect(X, 4, X + 1, H - 4), Color, 255);
    PaintArrowPixels32(Cache, Color, TRect(W - ArrowWidth(), 0, W, H), adDown);
  }
  if (!Enabled() || ActionWithoutExecute()) PaintDisabledLook(Cache, FDisabledKind, this, TPoint{0, 0}, Ref);
  FSkinData->CacheDirty = false;
  return true;
}

void TsButton::DrawFocusFrame(TCanvas* C, const TRect& Caption, int State) {
  TsSkinManager* M = FSkinData->SkinManager();
  if (M == nullptr || !FSkinData->IsSkinned() || !Focused() || !ShowFocus() || Caption.Width() <= 0 ||
      this->Caption().empty() || !M->ButtonsOptions()->ShowFocusRect())
    return;
  const TsGeneralData* G = FSkinData->Section();
  const int FontState = std::min(State, std::min(2, G->States - 1));
  TRect R(Caption.Left - FFocusMargin - 1, Caption.Top - FFocusMargin, Caption.Right + FFocusMargin + 1,
          Caption.Bottom + FFocusMargin);
  R.Top = std::max(R.Top, 3);
  R.Bottom = std::min(R.Bottom, Height() - 3);
  PaintDottedRectFrame(C, R, SectionFontColor(M, FSkinData->SkinIndex, FontState), NoColor32);
}

void TsButton::PaintCaption(TCanvas* Canvas) {
  TCanvas* C = Canvas != nullptr ? Canvas : FSkinData->CacheBmp->Canvas();
  C->Font()->Assign(Font());
  C->Brush()->SetStyle(bsClear);
  const TRect R = CaptionRect();
  const bool Skinned = FSkinData->IsSkinned();
  const int State = Skinned ? SectionState() : CurrentState();
  UINT Flags;
  if (FStyle == bsCommandLink) {
    Flags = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK;
    C->Font()->SetStyle(C->Font()->Style() + TFontStyles{fsBold});
    C->Font()->SetSize(C->Font()->Size() + 2);
  } else {
    const DWORD Align = HandleAllocated() ? static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & 0x300 : 0;
    Flags = (Align == BS_LEFT ? DT_LEFT : Align == BS_RIGHT ? DT_RIGHT : DT_CENTER) | DT_EXPANDTABS | DT_VCENTER |
            (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  // a skinned disabled button writes its text normally and gets the disabled look over the whole face
  const bool AsEnabled = Enabled() || Skinned;
  DrawControlTextStr(C, Caption(), AsEnabled, R, Flags, FSkinData, State);
  if (FStyle == bsCommandLink) {
    C->Font()->Assign(Font());
    if (!FCommandLinkHint.empty()) {
      const TRect Hint(R.Left, R.Bottom + TextSpacing(), R.Right, Height() - FContentMargin);
      if (CustomCommandLinkFont()) {
        C->Font()->Assign(FCommandLinkFont);
        DrawSectionTextStr(C, FCommandLinkHint, AsEnabled, FSkinData->SkinManager(), State, -1, Flags, Hint);
        C->Font()->Assign(Font());
      } else {
        DrawControlTextStr(C, FCommandLinkHint, AsEnabled, Hint, Flags, FSkinData, State);
      }
    }
  }
  DrawFocusFrame(C, R, State);
}

void TsButton::PaintToDC(HDC DC, bool Printing) {
  if (InAnimationProcess && (DC == nullptr || DC != FSkinData->PrintDC)) return;
  PAINTSTRUCT PS{};
  // A print copies the face into someone else's DC: the window's own pending repaint stays pending.
  const bool Bracket = !InAnimationProcess && !Printing;
  if (Bracket) BeginPaint(Handle(), &PS);
  HDC Own = DC == nullptr ? GetDC(Handle()) : nullptr;
  HDC Use = DC != nullptr ? DC : Own;
  if (!FSkinData->RecheckUpdating(false) && !FSkinData->AnimationRunning()) {
    RECT Clip{};
    GetClipBox(Use, &Clip);
    if (!IsRectEmpty(&Clip)) {
      FSkinData->CacheDirty = FSkinData->CacheDirty || FSkinData->ClippedOut;
      FSkinData->ClippedOut = Clip.right - Clip.left < Width() || Clip.bottom - Clip.top < Height();
    }
    if (!FSkinData->CacheDirty || PaintSkin()) {
      const int Saved = SaveDC(Use);
      BitBlt(Use, 0, 0, Width(), Height(), FSkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
      RestoreDC(Use, Saved);
    }
  }
  if (Own != nullptr) ReleaseDC(Handle(), Own);
  if (Bracket) EndPaint(Handle(), &PS);
}

// ===================================================================================================
// the unskinned face

void TsButton::DrawUnskinned(const DRAWITEMSTRUCT& Item) {
  TCanvas* C = new TCanvas();
  C->SetHandle(Item.hDC);
  C->Font()->Assign(Font());
  TRect R(0, 0, Width(), Height());
  TsSkinManager* M = FSkinData->SkinManager();
  const bool FocusRectWanted = M == nullptr || M->ButtonsOptions()->ShowFocusRect();
  const bool Selected = (Item.itemState & ODS_SELECTED) != 0;
  const bool ItemFocused = (Item.itemState & ODS_FOCUS) != 0;
  const int SplitCut = FStyle == bsSplitButton ? ArrowWidth() - 2 : 0;
  try {
    if (ThemeServices()->ThemesEnabled()) {
      TThemedButton Kind = tbPushButtonNormal;
      if (!Enabled())
        Kind = tbPushButtonDisabled;
      else if (Selected)
        Kind = tbPushButtonPressed;
      else if (FSkinData->Hot)
        Kind = tbPushButtonHot;
      else if (FActiveDefault || ItemFocused)
        Kind = tbPushButtonDefaulted;
      const TThemedElementDetails Details = ThemeServices()->GetElementDetails(Kind);
      ThemeServices()->DrawParentBackground(Handle(), Item.hDC, &Details, true);
      ThemeServices()->DrawElement(Item.hDC, Details, R);
      TRect Content = ThemeServices()->ContentRect(Item.hDC, Details, R);
      if (FActiveDefault && ItemFocused && FocusRectWanted) {
        Content.Right -= SplitCut;
        C->Pen()->SetColor(clWindowFrame);
        C->Brush()->SetColor(clBtnFace);
        RECT F = Content;
        DrawFocusRect(Item.hDC, &F);
      }
    } else {
      UINT Flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
      if (Selected) Flags |= DFCS_PUSHED;
      if (Item.itemState & ODS_DISABLED) Flags |= DFCS_INACTIVE;
      if (FActiveDefault || ItemFocused) {
        C->Pen()->SetColor(clWindowFrame);
        C->Brush()->SetStyle(bsClear);
        C->Rectangle(R);
        R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
      }
      if (Selected) {
        C->Pen()->SetColor(clBtnShadow);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnFace);
        C->Rectangle(R);
        R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
      } else {
        RECT F = R;
        DrawFrameControl(Item.hDC, &F, DFC_BUTTON, Flags);
      }
      if (FActiveDefault) R = TRect(1, 1, Width() - 1, Height() - 1);
      if (FActiveDefault && ItemFocused && FocusRectWanted) {
        C->Pen()->SetColor(clWindowFrame);
        C->Brush()->SetColor(clBtnFace);
        RECT F{4, 4, Width() - 4 - SplitCut, Height() - 4};
        DrawFocusRect(Item.hDC, &F);
      }
    }
    PaintCaption(C);
    DrawControlGlyph(this, C);
    if (FStyle == bsSplitButton) {
      const int X = Width() - ArrowWidth() + 1;
      C->Pen()->SetColor(clBtnShadow);
      C->MoveTo(X, 4);
      C->LineTo(X, Height() - 4);
      PaintCanvasArrow(C, static_cast<uint32_t>(ColorToRGB(Font()->Color())),
                       TRect(Width() - ArrowWidth(), 0, Width(), Height()), true);
    }
  } catch (...) {
    C->SetHandle(nullptr);
    C->Free();
    throw;
  }
  C->SetHandle(nullptr);
  C->Free();
}

// ===================================================================================================
// mouse and keys

LRESULT TsButton::HitTest(TMessage& Message) {
  TsSkinManager* M = FSkinData->SkinManager();
  if (!FSkinData->IsSkinned() || M == nullptr || !M->MaskIndexInRange(FSkinData->BorderIndex)) return -2;
  const TsMaskData& Mask = M->ma()[FSkinData->BorderIndex];
  if (Mask.Bmp == nullptr || Mask.CornerType != 1) return -2;
  RECT WR{};
  GetWindowRect(Handle(), &WR);
  const int X = GET_X_LPARAM(Message.LParam) - WR.left, Y = GET_Y_LPARAM(Message.LParam) - WR.top;
  const int W = Width(), H = Height(), FW = Mask.Width, FH = Mask.Height;
  int PX = -1, PY = -1;
  if (X <= Mask.WL && Y <= Mask.WT)
    PX = X, PY = Y;
  else if (X <= Mask.WL && Y >= H - Mask.WB)
    PX = X, PY = FH - H + Y;
  else if (X >= W - Mask.WR && Y <= Mask.WT)
    PX = FW - W + X, PY = Y;
  else if (X >= W - Mask.WR && Y >= H - Mask.WB)
    PX = FW - W + X, PY = FH - H + Y;
  if (PX < 0 || PY < 0 || PX >= FW || PY >= FH) return -2;
  const uint32_t Pixel = GetPixel32(Mask.Bmp, Mask.R.Left + PX, Mask.R.Top + PY) & 0xFFFFFF;
  return Pixel == 0xFF00FF ? HTTRANSPARENT : -2;
}

void TsButton::UnskinnedHover(bool Entered) {
  if (!Enabled() || Designing() || Destroying()) return;
  FSkinData->Hot = Entered;
  if (Entered ? OnMouseEnter : OnMouseLeave) (Entered ? OnMouseEnter : OnMouseLeave)(this);
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW);
}

void TsButton::SkinnedHover(bool Entered) {
  TsSkinManager* M = FSkinData->SkinManager();
  if (!Enabled() || Designing()) return;
  if (Entered) {
    if (FSkinData->Hot || (M != nullptr && M->Options()->NoMouseHover())) return;
    if (OnMouseEnter) OnMouseEnter(this);
    FSkinData->CacheDirty = false;
    FSkinData->Hot = true;
    AnimateStateChange(FSkinData, 1, CrossFadeStep, true, false, AnimEventEnabled(beMouseEnter, FAnimatEvents, M));
  } else {
    if (OnMouseLeave) OnMouseLeave(this);
    FSkinData->CacheDirty = false;
    FSkinData->Hot = false;
    AnimateStateChange(FSkinData, 0, CrossFadeStep, false, false, AnimEventEnabled(beMouseLeave, FAnimatEvents, M));
  }
}

void TsButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FStyle == bsSplitButton && FDropDownMenu != nullptr && X >= Width() - ArrowWidth() && X < Width() && Y >= 0 &&
      Y < Height()) {
    // the face shows pressed while the menu is open; Popup returns when it closes
    FDropDownShowing = true;
    RepaintFace();
    // the menu is drawn by the skin like every popup menu of a skinned application
    TsSkinManager* Def = TsSkinManager::DefaultManager();
    if (Def != nullptr && Def->Active() && Def->SkinableMenus() != nullptr && FormServices.InitPopupMenu)
      FormServices.InitPopupMenu(Def->SkinableMenus(), FDropDownMenu, true);
    FDropDownMenu->SetPopupComponent(this);
    const POINT At = ClientToScreen(POINT{0, Height()});
    // the chosen item's handler runs before Popup returns, and it may free the button or its form
    TFreeWatch Watch(this);
    try {
      FDropDownMenu->Popup(At.x, At.y);
    } catch (...) {
      if (!Watch.Freed()) {
        FDropDownShowing = false;
        RepaintFace();
      }
      throw;
    }
    if (Watch.Freed()) return;
    FDropDownShowing = false;
    RepaintFace();
    return;
  }
  const bool Skinned = FSkinData->IsSkinned(true);
  if (Skinned && Enabled() && !Designing()) {
    FSkinData->Updating = false;
    if (Button == mbLeft) SuspendHints();
    FPressedIn = true;
    if (Button == mbLeft && !Down()) {
      FSkinData->Updating = FSkinData->IsUpdating();
      FSkinData->CacheDirty = false;
      TsSkinManager* M = FSkinData->SkinManager();
      AnimateStateChange(FSkinData, 2, CrossFadeStep, false, true, AnimEventEnabled(beMouseDown, FAnimatEvents, M));
    }
    RestoreHints();
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TsButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Destroying()) return;
  if (!(FSkinData->IsSkinned(true) && Enabled() && !Designing())) {
    inherited::MouseUp(Button, Shift, X, Y);
    return;
  }
  if (Button == mbLeft) RestoreHints();
  // a release whose press happened elsewhere is not this button's
  if (!FPressedIn) return;
  FPressedIn = false;
  if (Button == mbLeft) {
    if (FSkinData->AnimationRunning()) StopFade();
    FSkinData->CacheDirty = true;
    g_PressedRedraw = true;
    try {
      RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } catch (...) {
      g_PressedRedraw = false;
      throw;
    }
    g_PressedRedraw = false;
    Platform().Sleep(30);
  }
  FSkinData->Updating = false;
  FSkinData->CacheDirty = false;
  if (FSkinData->Hot) {
    TsSkinManager* M = FSkinData->SkinManager();
    AnimateStateChange(FSkinData, 1, CrossFadeStep, true, true, AnimEventEnabled(beMouseUp, FAnimatEvents, M));
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

// ===================================================================================================
// messages

void TsButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_MEASUREITEM: {
      auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      Item->itemWidth = static_cast<UINT>(Width());
      Item->itemHeight = static_cast<UINT>(Height());
      Message.Result = 1;
      return;
    }
    case CN_DRAWITEM:
      if (FSkinData->IsSkinned(true))
        DefaultHandler(Message);
      else
        DrawUnskinned(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case WM_KEYUP: {
      // the system button clicks on a released Space, and the click's handler may free the button or its form
      TFreeWatch Watch(this);
      inherited::Dispatch(Message);
      if (Watch.Freed()) return;
      if (FSkinData->IsSkinned() && Message.WParam == VK_SPACE) {
        FSkinData->CacheDirty = true;
        Repaint();
      }
      return;
    }
    case WM_NCHITTEST: {
      const LRESULT Hit = HitTest(Message);
      if (Hit != -2) {
        Message.Result = Hit;
        return;
      }
      break;
    }
    default:
      break;
  }
  inherited::Dispatch(Message);
}

namespace {
// The messages the skinned button finishes after the inherited handling.
bool FollowsInheritedHandling(UINT Msg) {
  return Msg == CM_VISIBLECHANGED || Msg == WM_SETFONT || Msg == CM_CANCELMODE || Msg == CM_ENABLEDCHANGED ||
         Msg == CM_ACTIONUPDATE;
}
}  // namespace

void TsButton::WndProc(TMessage& Message) {
  if (Message.Msg == WM_KILLFOCUS && Destroying()) return;
  TsSkinManager* M = FSkinData->SkinManager();
  if (Message.Msg == SM_VKCMD) {
    const bool OwnManager = Message.LParam != 0 && reinterpret_cast<TsSkinManager*>(Message.LParam) == M;
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
        if (!OwnManager) break;
        ProcessSkinCommand(Message, FSkinData);
        return;
      case VKCMD_SKIN_DROPPED:
        if (!OwnManager || Destroying()) break;
        ProcessSkinCommand(Message, FSkinData);
        Repaint();
        return;
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (!OwnManager) break;
        if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, TRUE);
        ProcessSkinCommand(Message, FSkinData);
        if (FSkinData->PrintDC == nullptr) Repaint();
        return;
      case VKCMD_QUERY_SKINNED:
        Message.Result = 1;
        return;
      case VKCMD_QUERY_OWNER_SECTION:
        if (M == nullptr) break;
        Message.Result = M->FindSectionIndex("BUTTON") + 1;
        return;
      case VKCMD_REFRESH_CACHE:
        PaintSkin();
        return;
      default:
        break;
    }
  }
  if (!IsControlReadyToPaint(this) || !FSkinData->IsSkinned(true)) {
    if (IsHoverMessage(Message.Msg)) {
      TvkHoverEventsHeld Held(this);  // fired below, only while enabled
      inherited::WndProc(Message);
    } else {
      inherited::WndProc(Message);
    }
    switch (Message.Msg) {
      case CM_ENABLEDCHANGED:
        if ((Visible() || Designing()) && !Destroying()) Repaint();
        break;
      case CM_MOUSEENTER:
      case CM_MOUSELEAVE:
        UnskinnedHover(Message.Msg == CM_MOUSEENTER);
        break;
      default:
        break;
    }
    return;
  }
  const bool Shown = Visible() || Designing();
  switch (Message.Msg) {
    case SM_VKCMD:
      if (SkinCommandCode(Message.WParam) == VKCMD_PARENT_UPDATE_DONE) {
        if (FSkinData->Updating) {
          if (!FSkinData->RecheckUpdating(true)) Repaint();
          return;
        }
        if (ProcessSkinCommand(Message, FSkinData)) return;
      }
      break;
    case WM_MOVE: {
      const TsGeneralData* G = FSkinData->Section();
      if (G->Props[0].Transparency > 0 ||
          (G->States > 1 && G->Props[1].Transparency > 0 && FSkinData->CurrentState() != 0)) {
        FSkinData->CacheDirty = true;
        Repaint();
      }
      break;
    }
    case WM_SIZE:
      HideGlow();
      break;
    case WM_SETFOCUS:
    case CM_ENTER:
      if (!Designing() && Visible()) {
        if (Enabled() && !Destroying() && !g_FocusRedraw) {
          SwitchWindowRedraw(Handle(), false);
          g_FocusRedraw = true;
          try {
            inherited::WndProc(Message);
          } catch (...) {
            g_FocusRedraw = false;
            SwitchWindowRedraw(Handle(), true);
            throw;
          }
          SwitchWindowRedraw(Handle(), true);
          g_FocusRedraw = false;
        } else {
          // the flag only keeps the redraw switch from nesting (the form's CM_ENTER comes from inside the
          // WM_SETFOCUS above); the control still hears of its focus, so OnEnter fires
          inherited::WndProc(Message);
        }
        if (FSkinData->AnimTimer != nullptr && AnimationGlue.TimerEnabled != nullptr &&
            AnimationGlue.TimerEnabled(FSkinData->AnimTimer)) {
          FSkinData->CacheDirty = true;
          FSkinData->AnimTimer->DoStep();
        } else {
          FSkinData->RepaintOwner(false);
        }
      } else {
        inherited::WndProc(Message);
      }
      return;
    case WM_KILLFOCUS:
    case CM_EXIT:
      if (!Designing() && Visible()) {
        if (Enabled() && !Destroying()) {
          StopFade();
          // the system button's own focus painting would flash over the skinned face
          WithoutRedraw(Handle(), [&] { inherited::WndProc(Message); });
          if (FSkinData->IsSkinned(false)) {
            FSkinData->Focused = false;
            FSkinData->RepaintOwner(false);
            HideGlow();
          }
        } else {
          // a disabled button still loses the focus: the system button hears of it and clears its focus state
          inherited::WndProc(Message);
        }
      } else {
        inherited::WndProc(Message);
      }
      return;
    case WM_ENABLE:
      // the system button would paint its own disabled face
      return;
    case WM_PAINT:
      if (!Shown) break;
      if (Parent() != nullptr) {
        if (FSkinData->RecheckUpdating(false)) {
          PAINTSTRUCT PS{};
          BeginPaint(Handle(), &PS);
          EndPaint(Handle(), &PS);
        } else {
          PaintToDC(reinterpret_cast<HDC>(Message.WParam), false);
        }
      }
      if (!Designing()) return;
      break;
    case WM_ERASEBKGND:
      if (!Shown) break;
      if (Message.WParam != 0 && FSkinData->CacheBmp != nullptr && !FSkinData->Updating) {
        if (FSkinData->CacheDirty) PaintSkin();
        if (!FSkinData->CacheDirty && !FSkinData->AnimationRunning())
          BlitCacheExceptChildren(this, FSkinData, POINT{0, 0}, 0, 0, false, reinterpret_cast<HDC>(Message.WParam),
                                  RECT{0, 0, Width(), Height()});
      }
      Message.Result = 0;
      return;
    case WM_WINDOWPOSCHANGED:
      FSkinData->CacheDirty = true;
      break;
    case WM_UPDATEUISTATE:
      if (!Shown) break;
      Message.Result = 1;
      return;
    case WM_PRINT:
      FSkinData->Updating = false;
      PaintToDC(reinterpret_cast<HDC>(Message.WParam), true);
      return;
    case CM_DIALOGCHAR:
      if (Enabled() && Focused() && Message.WParam == VK_SPACE) {
        StopFade();
        FSkinData->CacheDirty = true;
        HideGlow();
        Repaint();
      }
      break;
    case CM_FOCUSCHANGED:
      if (Visible() && !g_FocusRedraw) {
        WithoutRedraw(Handle(), [&] { inherited::WndProc(Message); });
        ProcessCommonSkinMessage(Message, FSkinData);
        return;
      }
      break;
    case CM_TEXTCHANGED:
      if (Destroying()) break;
      if (FSkinData->AnimTimer != nullptr && AnimationGlue.FinishAnimationTimer != nullptr)
        AnimationGlue.FinishAnimationTimer(FSkinData->AnimTimer);
      StopFade();
      FSkinData->RepaintOwner(false);
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      SkinnedHover(Message.Msg == CM_MOUSEENTER);
      break;
    case CM_UIACTIVATE:
      FSkinData->Updating = false;
      break;
    case CN_DRAWITEM:
      Message.WParam = 0;
      Message.LParam = 0;
      Message.Result = 1;
      return;
    default:
      break;
  }
  if (ProcessCommonSkinMessage(Message, FSkinData)) return;
  if (IsHoverMessage(Message.Msg)) {
    TvkHoverEventsHeld Held(this);  // SkinnedHover fired them under the button's own conditions
    inherited::WndProc(Message);
  } else {
    inherited::WndProc(Message);
  }
  // Only the message is looked at before the button: a click handler run by the inherited handling may have
  // freed it.
  if (!FollowsInheritedHandling(Message.Msg) || Destroying()) return;
  switch (Message.Msg) {
    case CM_VISIBLECHANGED:
      FSkinData->CacheDirty = true;
      FSkinData->Updating = false;
      if (Visible() || Designing()) Repaint();
      break;
    case WM_SETFONT:
      if (Visible() || Designing()) {
        FSkinData->Updating = false;
        StopFade();
        FSkinData->RepaintOwner(false);
      }
      break;
    case CM_CANCELMODE:
      HideGlow();
      break;
    case CM_ENABLEDCHANGED:
      if (Visible() || Designing()) {
        FSkinData->Updating = false;
        StopFade();
        FSkinData->CacheDirty = true;
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      }
      break;
    case CM_ACTIONUPDATE:
      if (auto* A = As<TCustomAction>(Action())) SetEnabled(A->Enabled());
      break;
    default:
      break;
  }
}

// ===================================================================================================

namespace {
const std::vector<std::string> kStyleNames{"bsPushButton", "bsCommandLink", "bsSplitButton"};
const std::vector<std::string> kAlignmentNames{"iaLeft", "iaRight", "iaTop", "iaBottom", "iaCenter"};
const std::vector<std::string> kDisabledKindNames{"dkBlended", "dkGrayed"};
const std::vector<std::string> kAnimatEventNames{"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp",
                                                 "aeGlobalDef"};
template <int I> int IndexGet(TsButton* B) { return B->ImageIndexOf(I); }
template <int I> void IndexSet(TsButton* B, int V) { B->SetImageIndexOf(I, V); }
template <int I> bool FlagGet(TsButton* B) { return B->Flag(I); }
template <int I> void FlagSet(TsButton* B, bool V) { B->SetFlag(I, V); }
}  // namespace

PUBLISHED(TsButton) {
  p.Set("AnimatEvents", &TsButton::AnimatEvents, &TsButton::SetAnimatEvents, kAnimatEventNames);
  p.Object("SkinData", &TsButton::SkinData);
  p.Set("DisabledKind", &TsButton::DisabledKind, &TsButton::SetDisabledKind, kDisabledKindNames);
  p.Int("FocusMargin", &TsButton::FocusMargin, &TsButton::SetFocusMargin);
  p.Object("CommandLinkFont", &TsButton::CommandLinkFont, &TsButton::SetCommandLinkFont);
  p.Bool("Down", &FlagGet<0>, &FlagSet<0>);
  p.Bool("ShowFocus", &FlagGet<1>, &FlagSet<1>);
  p.Bool("Reflected", &FlagGet<2>, &FlagSet<2>);
  p.Bool("CustomCommandLinkFont", &FlagGet<3>, &FlagSet<3>);
  p.Event("OnMouseEnter", &TControl::OnMouseEnter);
  p.Event("OnMouseLeave", &TControl::OnMouseLeave);
  p.Str("CommandLinkHint", &TsButton::CommandLinkHint, &TsButton::SetCommandLinkHint);
  p.Object("DropDownMenu", &TsButton::DropDownMenu, &TsButton::SetDropDownMenu);
  p.Object("Images", &TsButton::Images, &TsButton::SetImages);
  p.Enum("ImageAlignment", &TsButton::ImageAlignment, &TsButton::SetImageAlignment, kAlignmentNames);
  p.Object("ImageMargins", &TsButton::ImageMargins, &TsButton::SetImageMargins);
  p.Int("ImageIndex", &IndexGet<0>, &IndexSet<0>);
  p.Int("HotImageIndex", &IndexGet<1>, &IndexSet<1>);
  p.Int("DisabledImageIndex", &IndexGet<2>, &IndexSet<2>);
  p.Int("PressedImageIndex", &IndexGet<3>, &IndexSet<3>);
  p.Int("SelectedImageIndex", &IndexGet<4>, &IndexSet<4>);
  p.Enum("Style", &TsButton::Style, &TsButton::SetStyle, kStyleNames);
  p.Int("ContentMargin", &TsButton::ContentMargin, &TsButton::SetContentMargin);
  p.Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}

void RegisterTsButtonClass() {
  RegisterClasses({TsCtrlSkinData::StaticClassInfo(), TImageMargins::StaticClassInfo(), TsButton::StaticClassInfo()});
}
