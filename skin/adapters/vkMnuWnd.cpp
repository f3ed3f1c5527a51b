#include "skin/adapters/vkMnuWnd.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"

IMPLEMENT_CLASS(TvkMnuWnd)
IMPLEMENT_CLASS(TvkWWComboBoxWnd)

std::vector<TvkMnuWnd*> MenuWindowAdapters;

namespace {

UINT_PTR g_FreeTimer = 0;

bool IsNTPlatform() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  return Platform().GetVersionExA(&Info) && Info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool AnyMenuAdapterAttached(const TvkMnuWnd* Except) {
  return std::any_of(MenuWindowAdapters.begin(), MenuWindowAdapters.end(),
                     [Except](TvkMnuWnd* A) { return A != Except && !A->Detached; });
}

// The last popup has closed: its adapters are freed once the closing window procedure has returned, since the
// adapter whose window closes is among them.
void CALLBACK FreeWhenIdle(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  if (Id == g_FreeTimer) g_FreeTimer = 0;
  try {
    if (!AnyMenuAdapterAttached(nullptr)) FreeMenuAdapters();
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
  }
}

void FreeAfterReturn() {
  if (g_FreeTimer == 0) g_FreeTimer = SetTimer(nullptr, 0, 0, FreeWhenIdle);
}

}  // namespace

TvkMnuWnd* CreateMenuWindowAdapter(HWND Wnd, TsSkinManager* Manager) {
  TvkSkinParams Params;
  Params.SkinSection = "MAINMENU";
  auto* A = CreateAdapter<TvkMnuWnd>(Wnd, nullptr, Manager, Params, false);
  MenuWindowAdapters.push_back(A);
  return A;
}

void FreeMenuAdapters() {
  if (g_FreeTimer != 0) {
    KillTimer(nullptr, g_FreeTimer);
    g_FreeTimer = 0;
  }
  std::vector<TvkMnuWnd*> All;
  All.swap(MenuWindowAdapters);
  for (TvkMnuWnd* A : All) {
    if (A->Detached) {
      A->Free();
    } else {
      TvkMnuWnd* Self = A;
      DetachWindowAdapter(A->CtrlHandle, true, false, Self);
    }
  }
}

void TvkMnuWnd::FinishCreation() {
  NcPainted = false;
  MakingLayered = false;
  ErasePending = 0;
  TvkMainWnd::FinishCreation();
}

void TvkMnuWnd::RefreshCache() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (SkinData == nullptr || !SkinData->CacheDirty) return;
  PrepareCacheBitmap(SkinData);
  TBitmap* Cache = SkinData->CacheBmp;
  Cache->SetSize(WndSize.X, WndSize.Y);
  TvkBgCacheRef NoBg;
  RenderControlSkin(SkinData, NoBg, false, Cache, TPoint(WndRect.Left - ParentRect.Left, WndRect.Top - ParentRect.Top),
                    TRect(0, 0, WndSize.X, WndSize.Y), 0);
  RestoreCacheCorners(SkinData, 0, this);
  SkinData->CacheDirty = false;
}

void TvkMnuWnd::HandleMenuDestruction(TMessage& Message) {
  if (OldWndProc == nullptr && OldWndMethod.IsNull()) {
    Message.Result = SendMessageA(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  const HWND Wnd = CtrlHandle;
  Message.Result = ForwardToOldWndProc(Wnd, Message.Msg, Message.WParam, Message.LParam);
  TvkMnuWnd* Self = this;
  DetachWindowAdapter(Wnd, false, false, Self);
  Detached = true;
  ErasePending = 0;
  // Only this popup's background goes: a parent menu still open keeps its own.
  if (FormServices.ForgetPopupWindow) FormServices.ForgetPopupWindow(Wnd);
  if (AnyMenuAdapterAttached(this)) {
    for (TvkMnuWnd* A : MenuWindowAdapters)
      if (A != this && !A->Detached) RedrawWindow(A->CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  } else {
    if (FormServices.ForgetPopupWindow) FormServices.ForgetPopupWindow(nullptr);
    FreeAfterReturn();
  }
  SkinnedMenuShowing = false;
}

void TvkMnuWnd::PaintFrame() {
  RECT WR{};
  GetWindowRect(CtrlHandle, &WR);
  const int W = WR.right - WR.left, H = WR.bottom - WR.top;
  TsSkinableMenus* Painter = SkinManager != nullptr ? SkinManager->SkinableMenus() : nullptr;
  TBitmap* Bg = Painter != nullptr && FormServices.PopupWindowBackground
                    ? FormServices.PopupWindowBackground(Painter, CtrlHandle)
                    : nullptr;
  HDC DC = GetWindowDC(CtrlHandle);
  if (DC == nullptr) return;
  // The painter builds the popup's background at the window's own size: its 3-pixel edge is the frame.
  if (Bg != nullptr && Bg->Width() == W && Bg->Height() == H) {
    CopyBorderStrips(DC, 0, 0, 3, 0, 0, Bg->Canvas()->Handle(), H, W);
  } else {
    RefreshCache();
    if (SkinData != nullptr && SkinData->CacheBmp != nullptr && !SkinData->CacheBmp->Empty())
      CopyBorderStrips(DC, 0, 0, 3, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), H, W);
  }
  ReleaseDC(CtrlHandle, DC);
}

void TvkMnuWnd::ApplyOpacity() {
  const int Alpha = SkinManager != nullptr ? SkinManager->MenuSupport()->AlphaBlend() : 255;
  const LONG Ex = GetWindowLongA(CtrlHandle, GWL_EXSTYLE);
  if (Alpha < 255) {
    if ((Ex & WS_EX_LAYERED) == 0) SetWindowLongA(CtrlHandle, GWL_EXSTYLE, Ex | WS_EX_LAYERED);
    Platform().SetLayeredWindowAttributes(CtrlHandle, 0, static_cast<BYTE>(Alpha), LWA_ALPHA);
  } else if ((Ex & WS_EX_LAYERED) != 0) {
    SetWindowLongA(CtrlHandle, GWL_EXSTYLE, Ex & ~WS_EX_LAYERED);
  }
}

void TvkMnuWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      HandleMenuDestruction(Message);
      return;
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_QUERY_SKINNED:
          Message.Result = 1;
          break;
        case VKCMD_SET_UPDATE_STATE:
          // Answered as the result (a sent message) and in LParam (PerformMessage).
          Message.LParam = ErasePending;
          Message.Result = ErasePending;
          break;
        case VKCMD_0E:
          if (IsWindowVisible(CtrlHandle)) ErasePending = 1;
          break;
        case VKCMD_QUERY_APPLICATION:
          Message.Result = reinterpret_cast<LRESULT>(Application);
          break;
        default:
          break;
      }
      return;
    default:
      break;
  }
  if (!SkinnedMenuShowing) {
    TvkScrollWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      RefreshCache();
      const bool OwnDC = Message.WParam == 0;
      HDC DC = OwnDC ? GetDC(CtrlHandle) : reinterpret_cast<HDC>(Message.WParam);
      if (DC != nullptr && SkinData != nullptr && SkinData->CacheBmp != nullptr) {
        TBitmap* C = SkinData->CacheBmp;
        BitBlt(DC, 0, 0, C->Width(), C->Height(), C->Canvas()->Handle(), 3, 3, SRCCOPY);
      }
      if (OwnDC && DC != nullptr) ReleaseDC(CtrlHandle, DC);
      ErasePending = 0;
      Message.Result = 1;
      return;
    }
    case WM_WINDOWPOSCHANGING: {
      TvkScrollWnd::WndProc(Message);
      const auto* Pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
      // Shown fully transparent: the first frame paint gives the real opacity, so no unskinned frame is seen.
      if (!MakingLayered && Pos != nullptr && (Pos->flags & SWP_SHOWWINDOW) != 0 && (Pos->flags & SWP_NOREDRAW) == 0 &&
          !IsWindowVisible(CtrlHandle)) {
        MakingLayered = true;
        SetWindowLongA(CtrlHandle, GWL_EXSTYLE, GetWindowLongA(CtrlHandle, GWL_EXSTYLE) | WS_EX_LAYERED);
        Platform().SetLayeredWindowAttributes(CtrlHandle, 0, 0, LWA_ALPHA);
        MakingLayered = false;
      }
      return;
    }
    case WM_NCPAINT:
      if (!IsNTPlatform()) break;
      PaintFrame();
      if (IsDwmCompositionActive() && !NcPainted)
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      ApplyOpacity();
      NcPainted = true;
      Message.Result = 0;
      return;
    default:
      break;
  }
  TvkScrollWnd::WndProc(Message);
}

// ---- wwEdit combo ----

bool TvkWWComboBoxWnd::HasDropButton() const {
  TControl* Owner = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  auto* Combo = As<TComboBox>(Owner);
  return Combo == nullptr || Combo->Style() == csDropDown || Combo->Style() == csDropDownList;
}

void TvkWWComboBoxWnd::FinishCreation() {
  if (SkinData != nullptr && SkinData->OwnerControl != nullptr) HasButton = HasDropButton();
  TvkComboBoxWnd::FinishCreation();
}

void TvkWWComboBoxWnd::WndProc(TMessage& Message) {
  if (Message.Msg == WM_CTLCOLORLISTBOX) {
    Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TvkComboBoxWnd::WndProc(Message);
}

TRect TvkWWComboBoxWnd::GetButtonRect() {
  RECT WR{};
  GetWindowRect(CtrlHandle, &WR);
  const int W = HasButton ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const int Left = (GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0 ? 2 : WR.right - WR.left - W - 2;
  return TRect(Left, 2, Left + W, WR.bottom - WR.top - 2);
}
