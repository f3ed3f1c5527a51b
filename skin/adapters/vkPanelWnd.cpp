#include "skin/adapters/vkPanelWnd.h"

#include <algorithm>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkPanelWnd)

namespace {
constexpr int kSilentPanelTag = 999;  // the dialog adopter's mark of a panel painted without caption
}

std::string PanelSectionFor(TControl* Control) {
  auto* P = As<TCustomPanel>(Control);
  if (P == nullptr) return "TRANSPARENT";
  switch (P->BevelOuter()) {
    case bvLowered:
      return P->BevelInner() == bvRaised ? "GROUPBOX" : "PANEL_LOW";
    case bvRaised:
      return P->BevelInner() == bvLowered ? "GROUPBOX" : "PANEL";
    default:
      return P->BorderStyle() == bsNone ? "TRANSPARENT" : "PANEL_LOW";
  }
}

void TvkPanelWnd::FinishCreation() {
  if (auto* C = As<TWinControl>(SkinData->OwnerControl)) {
    const bool Was = SkinData->Updating;
    SkinData->Updating = true;
    Panel = C;
    if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(PanelSectionFor(C));
    SkinData->Updating = Was;
    TMessage M{SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_APPLIED), reinterpret_cast<LPARAM>(SkinData->SkinManager()), 0};
    BroadcastToChildControls(C, M);
  } else {
    Panel = nullptr;
  }
  TvkMainWnd::FinishCreation();
}

bool TvkPanelWnd::PaintCache() {
  PrepareCacheBitmap(SkinData);
  TBitmap* Cache = PrepareAdapterCache(this);
  TvkParentBgQuery Q{};
  Q.OffsetX = WndPos.X;
  Q.OffsetY = WndPos.Y;
  Q.Area = TRect(0, 0, WndSize.X, WndSize.Y);
  if (SkinData->OwnerControl != nullptr)
    SkinData->GetParentBackground(Q);
  else
    SkinData->GetParentWindowBackground(Q);
  if (Q.Kind == bgkNotReady) {
    SkinData->Updating = true;
    return false;
  }
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), TRect(0, 0, WndSize.X, WndSize.Y), 0);
  TRect R(0, 0, WndSize.X, WndSize.Y);
  if (Panel != nullptr) {
    // The cache is the window's; the client lies inside the frame, which already holds BorderWidth and the edge.
    R = TRect(Panel->ClientRect());
    const POINT O = ClientOriginInWindow(CtrlHandle);
    OffsetRect(R.AsRECT(), O.x, O.y);
    int Inset = 0;
    if (auto* P = As<TCustomPanel>(Panel)) {
      if (P->BevelInner() != bvNone) Inset += P->BevelWidth();
      if (P->BevelOuter() != bvNone) Inset += P->BevelWidth();
    }
    InflateRect(R.AsRECT(), -Inset, -Inset);
  }
  PaintCaption(Cache->Canvas(), R);
  SkinData->CacheDirty = false;
  return true;
}

void TvkPanelWnd::PaintCaption(TCanvas* Canvas, const TRect& Rect) {
  if (Panel != nullptr && Panel->Tag() == kSilentPanelTag) return;
  if (Panel != nullptr) Canvas->Font()->Assign(Panel->Font());
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
  UINT Flags = DT_CENTER | DT_VCENTER;
  std::string Text = WideToAnsi(Caption);
  if (Panel != nullptr) {
    auto* P = As<TCustomPanel>(Panel);
    // The alignment and the word breaks together: a caption too wide wraps at a word, aligned.
    Flags = (P != nullptr ? AlignDrawTextFlags(Panel, P->Alignment()) : 0) | DT_WORDBREAK | DT_VCENTER;
    Text = Panel->Caption();
  }
  // One line is as high as "Wg"; a wrapped caption is as high as its lines, at most the whole rectangle.
  SIZE S{};
  GetTextExtentPoint32A(Canvas->Handle(), "Wg", 2, &S);
  int Height = S.cy;
  if ((Flags & DT_WORDBREAK) != 0 && !Text.empty()) {
    RECT Block{0, 0, Rect.Width(), 0};
    DrawTextA(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &Block, Flags | DT_CALCRECT);
    Height = std::clamp(static_cast<int>(Block.bottom), static_cast<int>(S.cy), std::max<int>(S.cy, Rect.Height()));
  }
  TRect R = Rect;
  R.Top += (R.Height() - Height) / 2;
  R.Bottom = R.Top + Height;
  DrawControlTextStr(Canvas, Text, IsWindowEnabled(CtrlHandle) != FALSE, R, Flags, SkinData, 0);
}

void TvkPanelWnd::PaintFrame(HDC DC) {
  if (SkinData->RecheckUpdating(false)) return;
  RECT W{}, C{};
  GetWindowRect(CtrlHandle, &W);
  GetClientRect(CtrlHandle, &C);
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(CtrlHandle);
  if (PaintCache()) {
    const int Frame = ((W.right - W.left) - C.right) / 2;
    if (Frame > 0)
      CopyBorderStrips(DC, 0, 0, Frame, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
  } else {
    SkinData->Updating = true;
  }
  if (Own) ReleaseDC(CtrlHandle, DC);
}

void TvkPanelWnd::PaintClient(HDC DC) {
  TControl* Owner = SkinData->OwnerControl;
  if ((Owner != nullptr && Owner->ComponentState().Contains(csDestroying)) || SkinData->RecheckUpdating(false)) return;
  if (Panel != nullptr && Panel->Parent() != nullptr && (Panel->Parent()->ControlState().Raw() & 0x40)) return;
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(Panel != nullptr ? Panel->Handle() : CtrlHandle);
  const int Saved = SaveDC(DC);
  const bool WasClipped = SkinData->ClippedOut;
  RECT Box{};
  GetClipBox(DC, &Box);
  SkinData->ClippedOut = SkinData->IsSkinned(false) && Panel != nullptr &&
                         (Box.right - Box.left < WndSize.X || Box.bottom - Box.top < WndSize.Y);
  bool Ready = true;
  if (WasClipped || SkinData->CacheDirty) Ready = PaintCache();
  if (Ready && SkinData->CacheBmp != nullptr) {
    if (Panel != nullptr) {
      RECT C{};
      GetClientRect(CtrlHandle, &C);
      const int Inset = (WndSize.X - C.right) / 2;
      BlitCacheExceptChildren(Panel, SkinData, POINT{Inset, Inset}, 0, 0, false, DC, RECT{0, 0, C.right, C.bottom});
      PaintGraphicChildren(DC, Panel, true, POINT{0, 0});
      RepaintChildrenAfterUpdate(Panel);
    } else {
      BitBlt(DC, 0, 0, WndSize.X, WndSize.Y, SkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
  }
  RestoreDC(DC, Saved);
  if (Own) ReleaseDC(Panel != nullptr ? Panel->Handle() : CtrlHandle, DC);
}

void TvkPanelWnd::Skinned(TMessage& Message) {
  const HWND W = CtrlHandle;
  const auto Inherited = [&] { TvkMainWnd::WndProc(Message); };
  switch (Message.Msg) {
    case WM_UPDATEUISTATE:
      Message.Result = 1;
      return;
    case WM_ERASEBKGND:
      if (IsWindowVisible(W)) PaintClient(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    case WM_PAINT:
      PaintByInvalidation(W, true);
      return;
    case WM_SETTEXT:
      if (SetContainerText(this, Inherited)) return;
      break;
    case WM_NCPAINT:
      if (IsWindowVisible(W)) PaintFrame(nullptr);
      Message.Result = 0;
      return;
    case CM_VISIBLECHANGED:
      SkinData->CacheDirty = true;
      SkinData->Updating = false;
      if (Message.WParam == 1) {
        PaintCache();
        TvkMainWnd::WndProc(Message);
        if (Panel != nullptr) RepaintChildrenAfterUpdate(Panel);
      } else {
        TvkMainWnd::WndProc(Message);
      }
      return;
    case WM_PARENTNOTIFY:
      if (NotifyContainerChild(this, Message, Inherited)) return;
      break;
    case WM_PRINT: {
      SkinData->CacheDirty = true;
      SkinData->Updating = false;
      auto DC = reinterpret_cast<HDC>(Message.WParam);
      PaintFrame(DC);
      RECT C{};
      GetClientRect(W, &C);
      const int Inset = (WndSize.X - C.right) / 2;
      POINT Old{};
      OffsetViewportOrgEx(DC, Inset, Inset, &Old);
      PaintClient(DC);
      SetViewportOrgEx(DC, Old.x, Old.y, nullptr);
      return;
    }
    case CM_SHOWINGCHANGED:
      if (Panel != nullptr && Panel->Showing()) {
        TsSkinManager* M = SkinData->SkinManager();
        if (M != nullptr && M->Options()->OptimizingPriority() == opMemory) SkinData->Updating = false;
        TellShowingChanged(this);
      }
      break;
    default:
      MarkContainerCacheStale(SkinData, Message.Msg);
      break;
  }
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_WINDOWPOSCHANGING) SendMessageA(W, WM_NCPAINT, 0, 0);
}

void TvkPanelWnd::WndProc(TMessage& Message) {
  TControl* Owner = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (Owner == nullptr || !Owner->ControlStyle().Contains(csAcceptsControls)) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  if (Message.Msg == SM_VKCMD) {
    if (ContainerSkinCommand(this, Message, [&] { TvkMainWnd::WndProc(Message); }, [this] { PaintCache(); })) return;
    if (SkinCommandCode(Message.WParam) == VKCMD_PARENT_UPDATE_DONE) {
      if (SkinData->Updating) {
        SkinData->Updating = false;
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
      if (Panel != nullptr) RepaintChildrenAfterUpdate(Panel);
      return;
    }
    TvkMainWnd::WndProc(Message);
    return;
  }
  if (SkinData->IsSkinned(false)) {
    Skinned(Message);
    return;
  }
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_WINDOWPOSCHANGING) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
}
