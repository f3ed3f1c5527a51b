#include "skin/adapters/vkMDIWnd.h"

#include "framework/Forms.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollBars.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/graphics/vkSectionPaint.h"

IMPLEMENT_CLASS(TvkMDIWnd)

namespace {
constexpr int kClientEdge = 2;
constexpr int kThumbStep = 8;         // the client scrolls by this many pixels per scroll unit
constexpr UINT kMDIScrollStyles = 0x3F;  // the client's scroll bars were shown or hidden
}  // namespace

void TvkMDIWnd::ReturnWindow() {
  ProviderSkinData = nullptr;
  Provider = nullptr;
  TvkBaseWnd::ReturnWindow();
}

void TvkMDIWnd::ReleaseOwnObjects() {
  ProviderSkinData = nullptr;
  Provider = nullptr;
  TvkBaseWnd::ReleaseOwnObjects();
}

bool TvkMDIWnd::ChildMaximized() const {
  TCustomForm* Child = MDIForm != nullptr ? MDIForm->ActiveMDIChild() : nullptr;
  return Child != nullptr && Child->WindowState() == wsMaximized;
}

TRect TvkMDIWnd::ClientRect() const {
  RECT R{};
  GetWindowRect(MDIForm->ClientHandle(), &R);
  return TRect(0, 0, R.right - R.left, R.bottom - R.top);
}

TPoint TvkMDIWnd::ClientOffset() const {
  RECT C{}, F{};
  GetWindowRect(MDIForm->ClientHandle(), &C);
  GetWindowRect(MDIForm->Handle(), &F);
  TPoint P(C.left - F.left, C.top - F.top);
  if (Provider != nullptr && Provider->BorderForm() != nullptr) {
    // The cache of a form with a border window is wider by the margins and the extra frame, taller by the
    // margin and the extra caption: the client sits that much further in.
    TRect M;
    Provider->GetExtBorderMargins(M);
    const HWND W = MDIForm->Handle();
    TvkBorderForm* B = Provider->BorderForm();
    const int XF = GetWindowFrameWidth(W, B, true) - GetWindowFrameWidth(W, B, false);
    P = TPoint(P.X + M.Left + XF, P.Y + M.Top + GetExtraCaptionHeight(B));
  }
  return P;
}

void TvkMDIWnd::PaintBackground(HDC DC, bool Printing) {
  if (Provider == nullptr || Provider->IsFramePaintSuspended()) return;
  if (ProviderSkinData != nullptr && (ProviderSkinData->CacheBmp == nullptr || ProviderSkinData->CacheDirty))
    Provider->PaintFormFrame();
  TBitmap* Cache = ProviderSkinData != nullptr ? ProviderSkinData->CacheBmp : nullptr;
  if (Cache == nullptr || Cache->Empty()) return;
  const TRect R = ClientRect();
  TPoint O = ClientOffset();
  if (!Printing && (GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0)
    O = TPoint(O.X + kClientEdge, O.Y + kClientEdge);
  BitBlt(DC, 0, 0, R.Width(), R.Height(), Cache->Canvas()->Handle(), O.X, O.Y, SRCCOPY);
}

void TvkMDIWnd::PaintEdge(HDC DC) {
  TBitmap* Cache = ProviderSkinData != nullptr ? ProviderSkinData->CacheBmp : nullptr;
  if (Cache == nullptr || Cache->Empty()) return;
  const TRect R = ClientRect();
  const TPoint O = ClientOffset();
  CopyBorderStrips(DC, 0, 0, kClientEdge, O.Y, O.X, Cache->Canvas()->Handle(), R.Height(), R.Width());
}

void TvkMDIWnd::CommonPath(TMessage& Message) {
  TvkBaseWnd::WndProc(Message);
  switch (Message.Msg) {
    case kMDIScrollStyles:
    case WM_PARENTNOTIFY:
      if (CtrlHandle == nullptr) break;
      {
        const LONG Style = GetWindowLongA(CtrlHandle, GWL_STYLE);
        if (VertBar != nullptr) VertBar->Shown = (Style & WS_VSCROLL) != 0;
        if (HorzBar != nullptr) HorzBar->Shown = (Style & WS_HSCROLL) != 0;
      }
      ReloadScrollBarInfo(this, true);
      break;
    case WM_MDIREFRESHMENU:
      if (TsSkinProvider* P = MDIMainProvider()) {
        if (!FDestroyingChild)
          P->RedrawFrameNow();
        else
          FRefreshWanted = true;
      }
      break;
    default:
      break;
  }
}

void TvkMDIWnd::WndProc(TMessage& Message) {
  if (Message.Msg == SM_VKCMD) {
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_05:
        if (MDIForm != nullptr) SendControlCommand(MDIForm, VKCMD_05, 0);
        return;
      case VKCMD_QUERY_PARENT_BG:
        if (MDIForm != nullptr && MDIForm->HandleAllocated())
          Message.Result = SendMessageA(MDIForm->Handle(), Message.Msg, Message.WParam, Message.LParam);
        return;
      case VKCMD_SUSPEND_REDRAW:
        if (LOWORD(Message.LParam) == 4 || LOWORD(Message.LParam) == 5) Message.Result = 1;
        return;
      case VKCMD_RESUME_REDRAW:
        ReloadScrollBarInfo(this, true);
        return;
      default:
        CommonPath(Message);
        return;
    }
  }
  if (ProviderSkinData == nullptr || MDIForm == nullptr || Detached) {
    CommonPath(Message);
    return;
  }
  const bool Skinned = SkinData != nullptr && SkinData->IsSkinned(false);
  switch (Message.Msg) {
    case WM_NCPAINT: {
      if (!Skinned) break;
      if (ChildMaximized() || InAnimationProcess) {
        Message.Result = 1;
        return;
      }
      HDC DC = GetWindowDC(MDIForm->ClientHandle());
      PaintEdge(DC);
      Message.Result = PaintScrollBars(this, CtrlHandle, 0, DC);
      ReleaseDC(MDIForm->ClientHandle(), DC);
      return;
    }
    case WM_WINDOWPOSCHANGING:
      if (TsSkinProvider* P = MDIMainProvider(); P != nullptr && P->SkinData() != nullptr) P->SkinData()->CacheDirty = true;
      break;
    case WM_PAINT:
      if (InAnimationProcess) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (Message.WParam == 0 || !Skinned) break;
      if (InAnimationProcess) {
        Message.Result = 0;
        return;
      }
      if (!ChildMaximized()) {
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        const int Saved = SaveDC(DC);
        PaintBackground(DC, false);
        RestoreDC(DC, Saved);
      }
      Message.Result = 1;
      return;
    case WM_PRINT:
      if (Message.WParam == 0 || !Skinned) break;
      Message.Result = 0;
      if ((Provider != nullptr && Provider->BorderForm() != nullptr) || ChildMaximized()) return;
      {
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        const int Saved = SaveDC(DC);
        PaintBackground(DC, true);
        PaintScrollBars(this, CtrlHandle, 0, DC);
        RestoreDC(DC, Saved);
      }
      return;
    case WM_WINDOWPOSCHANGED:
      if (Provider != nullptr && Provider->Form() != nullptr && Provider->Form()->HandleAllocated())
        RedrawWindow(Provider->Form()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      break;
    case WM_STYLECHANGED:
      PassOn(Message);
      return;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const int Code = LOWORD(Message.WParam);
      if (Code == SB_THUMBTRACK) return;
      if (Code != SB_THUMBPOSITION) break;
      const bool Vert = Message.Msg == WM_VSCROLL;
      SCROLLINFO SI{sizeof SI, SIF_ALL, 0, 0, 0, 0, 0};
      GetScrollInfo(CtrlHandle, Vert ? SB_VERT : SB_HORZ, &SI);
      const int Delta = ((SI.nPos - SI.nMin) - (ScrollTracking.TrackPos - 1)) * kThumbStep;
      ScrollWindow(CtrlHandle, Vert ? 0 : Delta, Vert ? Delta : 0, nullptr, nullptr);
      return;
    }
    case WM_MDICREATE:
      PassOn(Message);
      if (Message.Result != 0) AdoptTopLevelWindow(reinterpret_cast<HWND>(Message.Result));
      return;
    case WM_MDIDESTROY: {
      const bool Nested = FDestroyingChild;
      TsSkinProvider* P = MDIMainProvider();
      const int Paints = P != nullptr ? P->FramePaints() : 0;
      FDestroyingChild = true;
      if (!Nested) FRefreshWanted = false;
      try {
        CommonPath(Message);
      } catch (...) {
        FDestroyingChild = Nested;
        throw;
      }
      FDestroyingChild = Nested;
      // a child whose skinner did not repaint the main frame at its window's end left the refresh to us
      if (!Nested && FRefreshWanted && P != nullptr && P == MDIMainProvider() && P->FramePaints() == Paints)
        P->RedrawFrameNow();
      return;
    }
    case WM_MDITILE:
    case WM_MDICASCADE: {
      PassOn(Message);
      TsSkinProvider* P = MDIMainProvider();
      if (P == nullptr) return;
      if (P->SkinData() != nullptr) P->SkinData()->CacheDirty = true;
      P->ForgetMenuLine(false);
      TCustomForm* F = P->Form();
      if (F != nullptr && F->FormStyle() == fsMDIForm)
        if (TCustomForm* Child = F->ActiveMDIChild(); Child != nullptr && Child->HandleAllocated())
          SetWindowLongA(Child->Handle(), GWL_STYLE, GetWindowLongA(Child->Handle(), GWL_STYLE) & ~WS_SYSMENU);
      if (TsMDIForm* W = P->MDIWrapper()) W->RepaintMainFrame();
      InvalidateRect(CtrlHandle, nullptr, TRUE);
      if (F != nullptr && F->ClientHandle() != nullptr)
        RedrawWindow(F->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      if (P->SystemMenu() != nullptr) P->SystemMenu()->RefreshItemStates(false);
      return;
    }
    case WM_MDISETMENU:
      PassOn(Message);
      if (TsSkinProvider* P = MDIMainProvider()) {
        if (P->SkinData() != nullptr) P->SkinData()->CacheDirty = true;
        P->ForgetMenuLine(true);
      }
      return;
    default:
      break;
  }
  CommonPath(Message);
}

// ---- the provider's parts ----

void MDIPartsInitialize() {
  ProviderParts.NewMDIForm = [](TsSkinProvider* P) {
    auto* W = Create<TsMDIForm>(P);
    W->ConnectToClient();
    return W;
  };
  ProviderParts.FreeMDIForm = [](TsMDIForm* W) { W->Free(); };
  ProviderParts.NewMDIClientAdapter = [](TsMDIForm* W) -> TvkMDIWnd* {
    TvkSkinParams Params;
    // the client's skin data only carries its scroll bars: its face comes from the form's frame cache
    Params.SkinSection = "CHECKBOX";
    auto* A = CreateAdapter<TvkMDIWnd>(W->Form->ClientHandle(), nullptr, W->Provider->SkinData()->SkinManager(),
                                       Params, true);
    A->MDIForm = W->Form;
    A->ProviderSkinData = W->Provider->SkinData();
    A->Provider = W->Provider;
    return A;
  };
  ProviderParts.FreeMDIClientAdapter = [](TvkMDIWnd* A) { A->Free(); };
}

void MDIPartsFinalize() {
  ProviderParts.NewMDIForm = nullptr;
  ProviderParts.FreeMDIForm = nullptr;
  ProviderParts.NewMDIClientAdapter = nullptr;
  ProviderParts.FreeMDIClientAdapter = nullptr;
}
