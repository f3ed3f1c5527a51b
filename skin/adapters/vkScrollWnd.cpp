#include "skin/adapters/vkScrollWnd.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vkParentBg.h"

IMPLEMENT_CLASS(TvkScrollWnd)

namespace {
constexpr UINT CN_NOTIFY_ = CN_BASE + WM_NOTIFY;
constexpr UINT kWheelNotice = 0xB043;
}  // namespace

void TvkScrollWnd::MakeSkinData() {
  FrameLeft = -1;
  CalcSizeDone = false;
  if (SkinData == nullptr) SkinData = new TsScrollWndData(nullptr, true);
  SkinData->Loading = true;
}

void TvkScrollWnd::AttachToWindow(bool Repaint) { InitScrollAdapter(this, CtrlHandle, Repaint); }

void TvkScrollWnd::FreeBars() {
  if (HorzBar != nullptr) HorzBar->Owner = nullptr;
  if (VertBar != nullptr) VertBar->Owner = nullptr;
  FreeAndNil(HorzBar);
  FreeAndNil(VertBar);
}

TWinControl* TvkScrollWnd::SurvivingControl() const {
  if (SkinData == nullptr || (Application && Application->Terminated())) return nullptr;
  auto* W = As<TWinControl>(SkinData->OwnerControl);
  return W != nullptr && !W->ComponentState().Contains(csDestroying) ? W : nullptr;
}

namespace {
// A control that outlives its adapter recomputes its frame without it.
void RecomputeFrame(TWinControl* Survivor) {
  if (Survivor != nullptr && Survivor->HandleAllocated())
    SetWindowPos(Survivor->Handle(), nullptr, 0, 0, 0, 0, kFrameChangeFlags);
}
}  // namespace

void TvkScrollWnd::ReturnWindow() {
  TWinControl* Survivor = SurvivingControl();
  // the bars' hover and repeat timers go with the window's skin
  ScrollWndForget(CtrlHandle);
  TvkMainWnd::ReturnWindow();
  RecomputeFrame(Survivor);
}

void TvkScrollWnd::ReleaseOwnObjects() {
  // a window given back got all this already, and may have a new adapter whose timers these would be
  TWinControl* Survivor = GivenBack() ? nullptr : SurvivingControl();
  if (!GivenBack()) ScrollWndForget(CtrlHandle);
  FreeBars();
  TvkMainWnd::ReleaseOwnObjects();
  RecomputeFrame(Survivor);
}

void TvkScrollWnd::HandleScrollDestruction(TMessage& Message) {
  ScrollWndForget(CtrlHandle);
  if (OldWndProc != nullptr || !OldWndMethod.IsNull()) {
    TvkScrollWnd* Self = this;
    try {
      if (SkinData != nullptr && SkinData->OwnerControl != nullptr) {
        DetachScrollAdapter(CtrlHandle, false, false, Self);
        SendSkinMessage(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
      } else if (ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam) == 0) {
        DetachScrollAdapter(CtrlHandle, false, false, Self);
      }
    } catch (...) {
      Message.Result = 1;
      throw;
    }
    Message.Result = 1;
  } else {
    // No procedure below: sending it to the window again would come straight back here.
    Message.Result = DefWindowProcA(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
  }
  if (SkinData != nullptr && SkinData->CacheBmp != nullptr) SkinData->CacheBmp->Assign(nullptr);
}

void TvkScrollWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      if (!Detached) {
        HandleScrollDestruction(Message);
        return;
      }
      break;
    case WM_CONTEXTMENU:
      if (SkinData != nullptr && SkinData->OwnerControl != nullptr && SkinData->OwnerControl->PopupMenu() != nullptr &&
          SkinManager != nullptr && SkinManager->SkinableMenus() != nullptr && FormServices.InitPopupMenu)
        FormServices.InitPopupMenu(SkinManager->SkinableMenus(),
                                   reinterpret_cast<TMenu*>(SkinData->OwnerControl->PopupMenu()), SkinManager->Active());
      break;
    case WM_UPDATEUISTATE:
      return;
    case CM_RECREATEWND:
      if (!IsWindowVisible(CtrlHandle) && SkinData != nullptr) {
        auto* Combo = As<TCustomComboBox>(SkinData->OwnerControl);
        if (Combo != nullptr && Combo->Name().empty()) return;
      }
      break;
    default:
      break;
  }
  if (Detached) {
    if (Message.Msg == WM_NOTIFY || Message.Msg == CN_NOTIFY_) PassOn(Message);
    return;
  }
  if (SkinData == nullptr || !SkinData->IsSkinned(false)) {
    if (SkinData != nullptr && Message.Msg == SM_VKCMD) {
      const WORD Cmd = SkinCommandCode(Message.WParam);
      if (Cmd == VKCMD_SKIN_APPLIED && Message.LParam == reinterpret_cast<LPARAM>(SkinData->SkinManager()))
        SkinData->RefreshSectionIndex(true);
      if (Cmd == VKCMD_QUERY_SKIN_DATA) {
        Message.Result = reinterpret_cast<LRESULT>(SkinData);
        return;
      }
    }
    PassOn(Message);
    return;
  }
  SkinnedWndProc(Message);
}

void TvkScrollWnd::SkinnedWndProc(TMessage& Message) {
  const HWND W = CtrlHandle;
  switch (Message.Msg) {
    case WM_NCCALCSIZE:
      Message.Result = ScrollWndCalcSize(this, W, Message.WParam, Message.LParam);
      CalcSizeDone = true;
      return;
    case WM_NCPAINT:
      if (!CalcSizeDone) SetWindowPos(W, nullptr, 0, 0, 0, 0, kFrameChangeFlags);
      // The window's own non-client painting comes first: it would draw system bars over the skinned ones.
      PassOn(Message);
      if (IsWindowVisible(W) && !SkinData->RecheckUpdating(false) && !ScrollBusy && CalcSizeDone)
        PaintScrollBars(this, W, -1, nullptr);
      return;
    case WM_NCHITTEST:
      Message.Result = ScrollWndHitTest(this, W, Message.WParam, Message.LParam);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
        Message.Result = ScrollWndNCButtonDown(this, W, Message.WParam, Message.LParam);
      else if (Message.Msg == WM_NCLBUTTONDOWN && Message.WParam == HTBOTTOMRIGHT &&
               ScrollWndGripPress(this, W, Message.LParam))
        Message.Result = 0;
      else
        PassOn(Message);
      return;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
        Message.Result = 0;
      else
        PassOn(Message);
      return;
    case WM_NCMOUSEMOVE:
      Message.Result = ScrollWndNCMouseMove(this, W, Message.WParam, Message.LParam);
      return;
    case WM_MOUSEMOVE:
      Message.Result = ScrollWndMouseMove(this, W, Message.WParam, Message.LParam);
      return;
    case WM_LBUTTONUP:
      Message.Result = ScrollWndButtonUp(this, W, Message.WParam, Message.LParam);
      return;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      // Whoever took the capture ends a press on the bars: no repeat or drag outlives it.
      ScrollWndCaptureLost(this, W);
      PassOn(Message);
      return;
    case WM_TIMER:
      Message.Result = ScrollWndTimer(this, W, Message.WParam, Message.LParam);
      if (!ScrollBusy && !ThumbTracking) ReloadScrollBarInfo(this, true);
      return;
    case WM_STYLECHANGED:
      Message.Result = CalcSizeBusy ? 0 : ScrollWndStyleChanged(this, W, Message.WParam, Message.LParam);
      return;
    case WM_NOTIFY:
      PassOn(Message);
      return;
    case WM_SYSCOMMAND:
      // The system's own scroll loops never start: they would draw their bars over the skinned ones.
      if (Message.WParam == (SC_VSCROLL | HTVSCROLL) || Message.WParam == (SC_HSCROLL | HTHSCROLL)) return;
      PassOn(Message);
      return;
    case SM_VKCMD:
      ScrollCommand(Message);
      return;
    default:
      PassOn(Message);
      if (((Message.Msg == WM_MOUSEWHEEL || Message.Msg == kWheelNotice) && !ScrollBusy) ||
          Message.Msg == CM_FOCUSCHANGED)
        ReloadScrollBarInfo(this, true);
      return;
  }
}

void TvkScrollWnd::ScrollCommand(TMessage& Message) {
  TsSkinManager* M = SkinData->SkinManager();
  const bool Ours = Message.LParam == reinterpret_cast<LPARAM>(M);
  TControl* Owner = SkinData->OwnerControl;
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED:
      if (Ours) {
        SkinData->RefreshSectionIndex(true);
        PassOn(Message);
        PassCommandToChildren(Owner, CtrlHandle, Message);
        return;
      }
      break;
    case VKCMD_SKIN_DROPPED:
      if (Ours && !Detached) RestoreControlParams();
      break;
    case VKCMD_REPAINT_AFTER_CHANGE:
      if (Ours) {
        SkinData->RefreshSectionIndex(true);
        SkinData->CacheDirty = true;
      }
      break;
    case VKCMD_PARENT_UPDATE_DONE:
      if (SkinData->Updating && !SkinData->RecheckUpdating(true)) {
        RedrawWindow(CtrlHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (auto* W = As<TWinControl>(Owner)) RepaintChildrenAfterUpdate(W);
      }
      return;
    case VKCMD_QUERY_SKINNED:
      Message.Result = 1;
      return;
    case VKCMD_SET_UPDATE_STATE:
      SkinData->Updating = SkinCommandLow(Message.WParam) == 1;
      break;
    case VKCMD_QUERY_WINDOW_ADAPTER:
      Message.Result = reinterpret_cast<LRESULT>(this);
      return;
    case VKCMD_SET_SECTION:
      if (Message.LParam != 0) {
        SkinData->SetSkinSection(reinterpret_cast<const char*>(Message.LParam));
        Message.Result = 1;
      } else {
        Message.Result = 0;
      }
      return;
    case VKCMD_QUERY_BG_READY:
      Message.Result = 1;
      return;
    case VKCMD_QUERY_BG_COLOR:
      PassOn(Message);
      if (Message.Result == 0) Message.Result = static_cast<LRESULT>(SkinBackgroundColor(SkinData, 0, nullptr));
      return;
    case VKCMD_REFRESH_CACHE:
      PassOn(Message);
      if (SkinData->CacheDirty && !SkinData->IsUpdating()) {
        GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
        PaintAdapterCache(SkinData, CtrlHandle, DlgMode);
        RestoreCacheCorners(SkinData, 0, this);
      }
      return;
    case VKCMD_MOUSE_ENTERED:
    case VKCMD_MOUSE_LEFT: {
      TMessage M2{SkinCommandCode(Message.WParam) == VKCMD_MOUSE_ENTERED ? static_cast<UINT>(CM_MOUSEENTER)
                                                                          : static_cast<UINT>(CM_MOUSELEAVE),
                  0, 0, 0};
      ProcessCommonSkinMessage(M2, SkinData);
      return;
    }
    case VKCMD_QUERY_PARENT_BG: {
      auto* Q = reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
      PassOn(Message);
      if (Q != nullptr && Q->Kind == bgkNone) AnswerBackgroundRequest(SkinData, *Q, 0, nullptr);
      return;
    }
    case VKCMD_QUERY_SKIN_DATA:
      Message.Result = reinterpret_cast<LRESULT>(SkinData);
      return;
    case VKCMD_QUERY_APPLICATION:
      Message.Result = reinterpret_cast<LRESULT>(Application);
      return;
    case VKCMD_QUERY_SCALE:
      Message.Result = SkinData->GetScalePercent();
      return;
    default:
      break;
  }
  PassOn(Message);
}

// ---- the form skinner's scroll adapter ----

namespace {

TvkScrollWnd* FormScrollAdapter(TObject* Adapter) { return static_cast<TvkScrollWnd*>(Adapter); }

TObject* NewFormScrollAdapter(TsSkinProvider* Provider) {
  TCustomForm* Form = Provider->Form();
  TsScrollWndData* Data = Provider->SkinData();
  if (Form == nullptr || !Form->HandleAllocated() || Data == nullptr) return nullptr;
  // the system's flat bars stay off while the skinned ones are drawn, as for every scrolling control
  if (auto* Uninit = UninitializeFlatSBEntry().Get()) Uninit(Form->Handle());
  TvkSkinParams Params;
  Params.Control = Form;
  Params.UseSkinColor = false;
  Params.UseSkinFontColor = false;
  return CreateAdapter(TvkScrollWnd::StaticClassInfo(), Form->Handle(), Data, Data->SkinManager(), Params, false);
}

void FreeFormScrollAdapter(TObject* Adapter) {
  TvkScrollWnd* A = FormScrollAdapter(Adapter);
  const HWND Wnd = A->CtrlHandle;
  const TWinControl* Form = Wnd != nullptr ? FindControl(Wnd) : nullptr;
  const bool FormStays = Form != nullptr && !Form->ComponentState().Contains(csDestroying);
  DetachScrollAdapter(Wnd, true, false, A);
  if (FormStays && Wnd != nullptr && IsWindow(Wnd))
    if (auto* Init = InitializeFlatSBEntry().Get()) Init(Wnd);
}

}  // namespace

void InstallFormScrollParts() {
  TvkProviderParts& P = ProviderParts;
  P.NewScrollAdapter = NewFormScrollAdapter;
  P.FreeScrollAdapter = FreeFormScrollAdapter;
  P.ScrollAdapterDetached = [](TObject* A) { return FormScrollAdapter(A)->Detached; };
  P.ScrollBarShown = [](TObject* A, bool Vertical) {
    TvkScrollBar* Bar = Vertical ? FormScrollAdapter(A)->VertBar : FormScrollAdapter(A)->HorzBar;
    return Bar != nullptr && Bar->Shown ? ScrollBarDimension(Bar, true) : 0;
  };
  P.ScrollFrameWidth = [](TObject* A) { return std::max(0, FormScrollAdapter(A)->FrameLeft); };
  P.ReloadScrollBars = [](TObject* A) { ReloadScrollBarInfo(FormScrollAdapter(A), true); };
}

void RemoveFormScrollParts() {
  TvkProviderParts& P = ProviderParts;
  P.NewScrollAdapter = nullptr;
  P.FreeScrollAdapter = nullptr;
  P.ScrollAdapterDetached = nullptr;
  P.ScrollBarShown = nullptr;
  P.ScrollFrameWidth = nullptr;
  P.ReloadScrollBars = nullptr;
}
