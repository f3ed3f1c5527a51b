// Push buttons painted from the skin.
#include <algorithm>

#include "framework/Platform.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkWindowImages.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkBtnWnd)

namespace {

bool Destroying(TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }

bool NoMouseHover(TsSkinManager* M) { return M != nullptr && M->Options()->NoMouseHover(); }

}  // namespace

void TvkBtnWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("BUTTON");
  Reserved = 0;
  TvkMainWnd::FinishCreation();
}

std::string TvkBtnWnd::CaptionText() const {
  if (SkinData != nullptr && SkinData->OwnerControl == nullptr && !ButtonImageOf(CtrlHandle).Empty()) return {};
  return WideToAnsi(Caption);
}

bool TvkBtnWnd::IsPushed() const { return (SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

bool TvkBtnWnd::ShiftsContent() const {
  if (!SkinData->IsSkinned(false)) return true;
  TsSkinManager* M = SkinData->SkinManager();
  return M != nullptr && M->ButtonsOptions()->ShiftContentOnClick();
}

int TvkBtnWnd::GetState() {
  if (IsPushed()) {
    if (SkinData->GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(SkinData->GlowId, false);
    return 2;
  }
  if (!IsWindowEnabled(CtrlHandle)) return 0;
  TControl* Owner = SkinData->OwnerControl;
  TsSkinManager* M = SkinData->SkinManager();
  if (Owner != nullptr && !Owner->ComponentState().Contains(csDesigning)) {
    if (SkinData->CurrentState() != 0) return 1;
  } else if (Owner == nullptr) {
    if (GetFocus() == CtrlHandle || (M != nullptr && M->HotWindow() == CtrlHandle) || SkinData->Focused) return 1;
  }
  const bool Default = (GetWindowLongA(CtrlHandle, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  if (Owner == nullptr) return Default ? 3 : 0;
  return Default ? 1 : 0;
}

TSize TvkBtnWnd::GetTextSize() {
  const std::string Text = CaptionText();
  if (Text.empty() || SkinData->CacheBmp == nullptr) return TSize(0, 0);
  SelectAdapterFont(this);
  TRect R(0, 0, GetCaptionWidth() + 2, 0);
  const UINT Flags = (GetWindowLongA(CtrlHandle, GWL_STYLE) & BS_MULTILINE) ? 0xC51 : 0xC41;
  DrawStringOnDC(SkinData->CacheBmp->Canvas()->Handle(), Text, R, Flags);
  return TSize(R.Width(), R.Height());
}

int TvkBtnWnd::GetCaptionWidth() {
  if (Caption.empty()) return 0;
  const TSize G = GetGlyphSize();
  if (G.cx != 0) return std::max(0, static_cast<int>(WndSize.X - G.cx));
  return WndSize.X + 1;
}

TRect TvkBtnWnd::GetCaptionRect() {
  const TSize T = GetTextSize();
  const int W = WndSize.X, H = WndSize.Y;
  const int L = (W - T.cx) / 2, Top = (H - T.cy) / 2;
  TRect R(L - 1, Top, W - L + 2, H - Top);
  if (IsPushed() && ShiftsContent()) OffsetRect(R.AsRECT(), 1, 1);
  return R;
}

TSize TvkBtnWnd::GetGlyphSize() {
  if (SkinData->OwnerControl != nullptr) return TSize(0, 0);
  return ButtonImageSize(ButtonImageOf(CtrlHandle));
}

void TvkBtnWnd::DrawGlyph() {
  if (SkinData->OwnerControl != nullptr) return;
  const TButtonImage Image = ButtonImageOf(CtrlHandle);
  if (Image.Empty()) return;
  const TSize S = ButtonImageSize(Image);
  TPoint P((WndSize.X - S.cx) / 2, (WndSize.Y - S.cy) / 2);
  if (IsPushed() && ShiftsContent()) ++P.X, ++P.Y;
  DrawButtonImage(SkinData->CacheBmp, Image, P);
}

void TvkBtnWnd::DrawCaption(int State) {
  const std::string Text = CaptionText();
  TCanvas* Canvas = SkinData->CacheBmp->Canvas();
  SelectAdapterFont(this);
  TRect R = GetCaptionRect();
  UINT Flags = DT_CENTER | DT_EXPANDTABS;
  if (GetWindowLongA(CtrlHandle, GWL_STYLE) & BS_MULTILINE) Flags |= DT_WORDBREAK;
  if (GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) Flags |= DT_RTLREADING;
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  const bool Enabled = IsWindowEnabled(CtrlHandle) != FALSE;
  DrawControlTextStr(Canvas, Text, Enabled, R, Flags, SkinData, State != 0 ? 1 : 0);
  TsSkinManager* M = SkinData->SkinManager();
  if (Enabled && M != nullptr && M->ButtonsOptions()->ShowFocusRect() &&
      (SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) && !Text.empty()) {
    InflateRect(R.AsRECT(), 2, 1);
    R.Top = std::max<int>(R.Top, 3);
    R.Bottom = std::min<int>(R.Bottom, WndSize.Y - 3);
    // Deliberately the state-1 font colour of any section with more than one state.
    const uint32_t C = SectionFontColor(SkinData, std::min(1, SectionStateCount(SkinData)));
    PaintDottedRectFrame(Canvas, R, C, C);
  }
}

void TvkBtnWnd::PaintCache() {
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  PrepareCacheBitmap(SkinData);
  TBitmap* Cache = PrepareAdapterCache(this);
  const int Count = SectionStateCount(SkinData);
  const int State = GetState();
  const int Frame = State == 3 ? (Count < 4 ? 1 : std::min(3, Count - 1)) : std::min(State, Count - 1);
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), TRect(0, 0, WndSize.X, WndSize.Y), Frame);
  DrawCaption(State);
  DrawGlyph();
  if (!IsWindowEnabled(CtrlHandle)) PaintAdapterDisabled(Cache, Bg);
  SkinData->CacheDirty = false;
}

void TvkBtnWnd::PaintToDC(TMessage& Message) {
  PAINTSTRUCT PS{};
  const bool Painting = Message.Msg == WM_PAINT;
  if (Painting) BeginPaint(CtrlHandle, &PS);
  // A fade shows its own frames: painting the new state over one would cut it short.
  if (SkinData->IsSkinned(false) && !PaintFadeFrame(SkinData, CtrlHandle, reinterpret_cast<HDC>(Message.WParam))) {
    GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
    if (!InAnimationProcess || SkinData->PrintDC != nullptr) {
      SkinData->Updating = SkinData->IsUpdating() && !InAnimationProcess;
      if (!SkinData->Updating) {
        SkinData->CacheDirty = true;
        PaintCache();
        BlitCacheTo(this, reinterpret_cast<HDC>(Message.WParam));
      }
    }
  }
  if (Painting) EndPaint(CtrlHandle, &PS);
}

void TvkBtnWnd::MouseEntered(TMessage& Message) {
  TsSkinManager* M = SkinData->SkinManager();
  if (!SkinData->Hot && M != nullptr && M->HotWindow() == CtrlHandle && !NoMouseHover(M)) {
    if (!CursorInWindow(CtrlHandle)) return;
    SkinData->CacheDirty = false;
    SkinData->Updating = false;
    SkinData->Hot = true;
    AdapterStateChange(SkinData, CtrlHandle, 1);
    return;
  }
  TvkMainWnd::WndProc(Message);
}

void TvkBtnWnd::MouseLeft(TMessage& Message) {
  if (!SkinData->Hot) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  if (SkinData->OwnerControl != nullptr && CursorOverControl(SkinData->OwnerControl)) return;
  SkinData->Updating = false;
  SkinData->CacheDirty = false;
  SkinData->Hot = false;
  AdapterStateChange(SkinData, CtrlHandle, 0);
}

void TvkBtnWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  const bool Visible = IsWindowVisible(W) != FALSE;
  auto Inherited = [&] { TvkMainWnd::WndProc(Message); };
  switch (Message.Msg) {
    case WM_MOVE:
      if (const TsGeneralData* G = SkinData->Section();
          G != nullptr && (G->Props[0].Transparency > 0 || (G->Props[1].Transparency >= 1 && GetState() != 0))) {
        SkinData->CacheDirty = true;
        RedrawAdapterWindow(W);
      }
      Inherited();
      return;
    case WM_SETFOCUS:
      if (!IsWindowEnabled(W)) break;
      WithoutRedraw(W, Inherited);
      SkinData->Focused = true;
      SkinData->CacheDirty = true;
      if (AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(SkinData);
      RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      return;
    case WM_KILLFOCUS:
      if (!IsWindowEnabled(W)) break;
      if (Destroying(SkinData->OwnerControl)) {
        Inherited();
        return;
      }
      WithoutRedraw(W, Inherited);
      SkinData->Focused = false;
      SkinData->CacheDirty = true;
      RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      return;
    case WM_ENABLE:
      if (!Visible) break;
      WithoutRedraw(W, Inherited);
      SkinData->CacheDirty = true;
      RedrawAdapterWindow(W);
      return;
    case WM_SETTEXT:
      if (!Visible) break;
      if (SkinData->AnimTimer != nullptr && AnimationGlue.FinishAnimationTimer)
        AnimationGlue.FinishAnimationTimer(SkinData->AnimTimer);
      if (AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(SkinData);
      WithoutRedraw(W, Inherited);
      SkinData->CacheDirty = true;
      RedrawAdapterWindow(W);
      return;
    case WM_PAINT:
      if (!Visible && !(SkinData->StateFlags & sfPrinting)) break;
      if (!ParamsApplied) TvkMainWnd::ApplySkinParams();
      PaintToDC(Message);
      return;
    case WM_PRINT:
      PaintToDC(Message);
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
      Message.Result = 0;
      return;
    case BM_SETSTATE:
      if (!Visible) break;
      WithoutRedraw(W, [&] { Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam); });
      SkinData->CacheDirty = true;
      if (AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(SkinData);
      RedrawAdapterWindow(W);
      return;
    case WM_LBUTTONUP:
      if (!SkinData->Hot) {
        Inherited();
        if (AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(SkinData);
        SkinData->CacheDirty = false;
        AdapterStateChange(SkinData, W, 0);
      } else {
        if (AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(SkinData);
        SkinData->Hot = false;
        Inherited();
        if (IsWindowVisible(W)) SendSkinCommand(W, VKCMD_MOUSE_ENTERED, 0);
      }
      return;
    case WM_MOUSEHOVER:
      SendSkinCommand(W, VKCMD_MOUSE_ENTERED, 0);
      break;
    case WM_MOUSELEAVE:
      if (TsSkinManager* M = SkinData->SkinManager(); M != nullptr && M->HotWindow() == W) M->ChangeHotWindow(nullptr);
      break;
    case WM_MOUSEMOVE: {
      Inherited();
      TsSkinManager* M = TsSkinManager::DefaultManager();
      if (M != nullptr && !M->ComponentState().Contains(csDesigning) && IsWindowEnabled(W) && !NoMouseHover(M)) {
        if (CursorInWindow(W)) {
          if (M->HotWindow() != W) M->ChangeHotWindow(W);
        } else if (M->HotWindow() == W) {
          M->ChangeHotWindow(nullptr);
        }
      }
      return;
    }
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_PARENT_UPDATE_DONE:
          if (!SkinData->Updating) break;
          if (!SkinData->RecheckUpdating(true))
            RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
          return;
        case VKCMD_REFRESH_CACHE:
          PaintCache();
          return;
        case VKCMD_MOUSE_ENTERED:
          MouseEntered(Message);
          return;
        case VKCMD_MOUSE_LEFT:
          MouseLeft(Message);
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  Inherited();
}
