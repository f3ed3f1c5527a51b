// Where the caption's parts lie (text centre line, icon, system and user title buttons, the title bar's area),
// the ordered list of title elements, and the handlers of menu popups, the maximised size, non-client mouse
// moves and the mouse wheel.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"

namespace {
bool g_InMouseWheel = false;

void Empty(TsCaptionButton& B) { B.Rect = TRect(B.Rect.Left, B.Rect.Top, B.Rect.Left, B.Rect.Bottom); }
}  // namespace

void TsSkinProvider::GetExtBorderMargins(TRect& Margins) {
  TsSkinManager* M = Manager();
  Margins = FBorderForm != nullptr && M != nullptr ? M->ExtBorderMargins() : TRect();
}

int TsSkinProvider::GetCaptionTopOffset() {
  TRect Mg;
  GetExtBorderMargins(Mg);
  TsSkinManager* M = Manager();
  if (FBorderForm != nullptr) return FormZoomed() ? Mg.Top + 4 : Mg.Top + (M != nullptr ? M->SkinData().BITop : 0);
  return FormZoomed() ? 6 : 0;
}

int TsSkinProvider::GetSkinTitleHeightByState(bool Maximized) {
  TsSkinManager* M = Manager();
  if (M == nullptr) return 0;
  const TsSkinData& D = M->SkinData();
  if (Maximized || (D.MaxHeight != 0 && FormZoomed())) return D.MaxHeight;
  return D.TitleHeight;
}

void TsSkinProvider::PlaceTitleButton(TsCaptionButton& Button, TsTitleButton* UserButton, int& X, int Top) {
  TsSkinManager* M = Manager();
  const int Width = UserButton != nullptr ? GetUserButtonWidth(UserButton) : GetTitleButtonWidth(Button);
  const int Height = GetTitleButtonHeight();
  Button.Rect.Right = X;
  Button.Rect.Left = X - Width;
  Button.Rect.Top = Button.LargeCaption && M != nullptr && M->SkinData().BIVAlign == 1 ? Top : FTitleCenter - Height / 2;
  Button.Rect.Bottom = Button.Rect.Top + Height;
  X = Button.Rect.Left - (Button.LargeCaption && M != nullptr ? M->SkinData().BISpace : 0);
}

void TsSkinProvider::UpdateCaptionLayout() {
  TsSkinManager* M = Manager();
  if (M == nullptr || FForm == nullptr) return;
  const TsSkinData& D = M->SkinData();
  const HWND Wnd = FormHandle();
  const int FW = GetWindowFrameWidth(Wnd, FBorderForm, true);
  TRect Mg;
  GetExtBorderMargins(Mg);
  const bool Zoomed = FormZoomed();
  int S;
  if (FBorderForm != nullptr) {
    S = GetCaptionTopOffset();
    FCaptionBottom = GetCaptionBarHeight(true) + Mg.Top;
    FTitleCenter = FCaptionBottom - GetSkinTitleHeightByState(false) / 2;
    if (!(Zoomed && D.TitleHeight != D.MaxHeight)) FTitleCenter += D.CenterOffset;
  } else {
    FTitleCenter = GetCaptionBarHeight(true) / 2;
    S = Zoomed ? SysFrameWidth - 1 : 0;
    FCaptionBottom = GetFrameWidthWithoutBorderWindow(Wnd, FBorderForm, true) + GetCaptionBarHeight(true) + Mg.Top;
    FTitleCenter += GetWindowFrameWidth(Wnd, FBorderForm, true) / 2;
  }
  if (Zoomed) FTitleCenter += 2;
  FIconRect.Left = FW + D.BILeft + Mg.Left;
  FIconRect.Right = FIconRect.Left;
  if (HasTitleIcon()) {
    const int IW = TitleIconWidth(), IH = TitleIconHeight();
    FIconRect.Right = FIconRect.Left + IW;
    FIconRect.Top = FTitleCenter - IH / 2;
    FIconRect.Bottom = FIconRect.Top + IH;
  }
  int X = FrameCacheWidth() - D.BIRight - Mg.Right - std::max(4, FW);
  const TFormBorderStyle BS = FForm->BorderStyle();
  if (BS == bsToolWindow || BS == bsSizeToolWin || BS == bsNone) {
    const int Extra = ExtraFrameWidth();
    if (Extra < 2) X -= 2 - Extra;
  }
  FTitleRightLimit = X;
  if (FSystemMenu != nullptr && HasBiSystemMenu()) {
    PlaceTitleButton(ButtonClose, nullptr, X, S);
    if (FSystemMenu->VisibleMax()) {
      ButtonMax.MaskKind = Zoomed && ButtonMax.LargeCaption ? tmNorm : (ButtonMax.LargeCaption ? tmMax : tmSmallMax);
      if (Zoomed && !ButtonMax.LargeCaption) ButtonMax.MaskKind = tmSmallNorm;
      PlaceTitleButton(ButtonMax, nullptr, X, S);
    } else {
      Empty(ButtonMax);
    }
    if (FSystemMenu->VisibleMin()) {
      const bool MinNotMain = FormIconic() && !IsMainForm(FForm);
      ButtonMin.MaskKind = MinNotMain ? (ButtonMin.LargeCaption ? tmNorm : tmSmallNorm)
                                      : (ButtonMin.LargeCaption ? tmMin : tmSmallMin);
      PlaceTitleButton(ButtonMin, nullptr, X, S);
    } else {
      Empty(ButtonMin);
    }
    if (FForm->BorderIcons().Contains(biHelp)) {
      X -= 6;
      PlaceTitleButton(ButtonHelp, nullptr, X, S);
    } else {
      Empty(ButtonHelp);
    }
  } else {
    Empty(ButtonClose);
    Empty(ButtonMax);
    Empty(ButtonMin);
    Empty(ButtonHelp);
  }
  if (FTitleButtons->AnyVisible()) X -= 6;
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* B = FTitleButtons->Items(i);
    if (!B->Visible()) continue;
    B->Data.MaskKind = B->UseSkinData() ? tmUserButton : tmNone;
    B->Data.LargeCaption = ButtonClose.LargeCaption;
    B->Left = X - GetUserButtonWidth(B);
    PlaceTitleButton(B->Data, B, X, S);
    B->Data.Code = htUserButton + i;
  }
  if (FTitleBar != nullptr && ProviderParts.LayoutTitleBar)
    ProviderParts.LayoutTitleBar(this, TRect(FIconRect.Right, GetCaptionTopOffset(), X - 6, FCaptionBottom), FTitleRightLimit,
                                 FTitleCenter);
  BuildTitleElements();
}

// The order in which title elements are numbered: close, maximise, minimise, help, user buttons, title-bar items.
void TsSkinProvider::BuildTitleElements() {
  FTitleElements.clear();
  if (FSystemMenu != nullptr && HasBiSystemMenu()) {
    FTitleElements.push_back({tekClose, 0});
    if (FSystemMenu->VisibleMax()) FTitleElements.push_back({tekMax, 0});
    if (FSystemMenu->VisibleMin() || FormIconic()) FTitleElements.push_back({tekMin, 0});
    if (FForm->BorderIcons().Contains(biHelp)) FTitleElements.push_back({tekHelp, 0});
  }
  for (int i = 0; i < FTitleButtons->Count(); ++i) FTitleElements.push_back({tekUserButton, i});
  const int Items = FTitleBar != nullptr && ProviderParts.TitleBarItemCount ? ProviderParts.TitleBarItemCount(FTitleBar) : 0;
  for (int i = 0; i < Items; ++i) FTitleElements.push_back({tekTitleBarItem, i});
}

void TsSkinProvider::FreeTitleAnimations() {
  // the items' fades outlive a provider on its way out: their items free them
  if (!ComponentState().Contains(csDestroying)) FreeTitleBarAnimations();
  if (!ProviderParts.FreeTitleAnimation) return;
  for (TsCaptionButton* B : {&ButtonMin, &ButtonMax, &ButtonHelp, &ButtonClose})
    if (B->Animation != nullptr) ProviderParts.FreeTitleAnimation(B->Animation);
  if (FTitleButtons != nullptr)
    for (int i = 0; i < FTitleButtons->Count(); ++i)
      if (FTitleButtons->Items(i)->Data.Animation != nullptr)
        ProviderParts.FreeTitleAnimation(FTitleButtons->Items(i)->Data.Animation);
}

bool TsSkinProvider::IsControllerPopup() {
  // an open popup of the popup controller stays drawn active
  return FForm != nullptr && ProviderParts.IsControllerPopup && ProviderParts.IsControllerPopup(FForm);
}

// ---- handlers ----

void TsSkinProvider::WMGetMinMaxInfo(TMessage& Message) {
  const HWND W = FormHandle();
  if (FDrawNonClientArea && FForm->BorderStyle() != bsNone && FForm->FormStyle() != fsMDIChild &&
      FForm->Parent() == nullptr && Message.LParam != 0) {
    RECT Work{};
    GetFormWorkArea(FForm, Work);
    const int F = GetWindowFrameWidth(W, nullptr, false);
    int T = 0;
    TsSkinManager* M = Manager();
    if (FBorderForm != nullptr) {
      if (FormZoomed() && !UseExtendedBorders())
        T = 0;
      else if ((FFormState & fsfMaximizing) != 0 && M != nullptr && M->Options()->NativeBordersMaximized())
        T = 0;
      else if (StyleHas(W, WS_CAPTION)) {
        FHeaderMode = (FFormState & fsfMaximizing) != 0 && GetSkinTitleHeightByState(true) > GetStdCaptionHeight(FForm) + 4;
        T = GetZoomedCaptionExcess(true);
      }
    }
    auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
    // the maximised position stays relative to the work area's own origin
    Info->ptMaxPosition = POINT{-F, T - F};
    Info->ptMaxSize = POINT{Work.right - Work.left + 2 * F, Work.bottom - Work.top + 2 * F - T};
    Message.Result = 0;
  }
  CallOwnProc(Message);
}

void TsSkinProvider::WMNCMouseMove(TMessage& Message) {
  if (!FForm->Enabled()) return;
  if (TsSkinManager* M = Manager()) M->ChangeHotWindow(FormHandle());
  POINT P{};
  SafeGetCursorPos(P);
  TMessage Hit{WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y), 0};
  const int Code = HitTestAt(Hit);
  Message.WParam = static_cast<WPARAM>(Code);
  const bool Element = (Code >= htMDIClose && Code <= htMDIMinimize) || Code == HTMINBUTTON || Code == HTMAXBUTTON ||
                       Code == HTCLOSE || Code == HTHELP || (Code >= htUserButton && Code <= htUserButton + 100) ||
                       (Code >= htTitleBarItem && Code <= htTitleBarItem + 100);
  if (Element) {
    SetHotElement(Code, true);
    return;
  }
  SetHotElement(0, true);
  CallOwnProc(Message);
}

void TsSkinProvider::CMMouseWheel(TMessage& Message) {
  if (g_InMouseWheel) return;
  g_InMouseWheel = true;
  try {
    CallOwnProc(Message);
  } catch (...) {
    g_InMouseWheel = false;
    throw;
  }
  g_InMouseWheel = false;
}
