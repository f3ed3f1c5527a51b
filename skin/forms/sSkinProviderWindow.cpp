// The skinned form's handlers of activation, position, size and system commands.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkntTypes.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormHook.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/graphics/ToolkitStartup.h"

namespace {

// The system's own minimise animation, switched off for the time a skinned animation runs and always given
// back (changed for this session only: nothing is written to the user's profile).
class TSystemAnimationOff {
public:
  TSystemAnimationOff() : FWas(MinimizeAnimationEnabled()) {
    if (FWas) SetMinimizeAnimation(false);
  }
  ~TSystemAnimationOff() {
    if (FWas) SetMinimizeAnimation(true);
  }
  TSystemAnimationOff(const TSystemAnimationOff&) = delete;
  TSystemAnimationOff& operator=(const TSystemAnimationOff&) = delete;

private:
  bool FWas;
};

// The thread hook's providers of windows gone since (closed dialogs) freed.
void PurgeHookProviders() {
  if (FormServices.PurgeDetachedProviders) FormServices.PurgeDetachedProviders();
}

}  // namespace

// ---- activation ----

void TsSkinProvider::WMNCActivate(TMessage& Message) {
  if ((FFormState & fsfRestoring) != 0) {
    // a restore animation holds the frame: the activation is taken as done, deactivation is never vetoed
    Message.Result = TRUE;
    return;
  }
  // a glow left on a control of this or another form goes with the activation change
  ClearAllGlowEffects(false);
  const HWND W = FormHandle();
  if (ComponentState().Contains(csDestroying) || !FDrawNonClientArea || W == nullptr) {
    CallOwnProc(Message);
    PurgeHookProviders();
    return;
  }
  if (FForm->Showing() && HeaderShown()) {
    TMessage Upd{SM_VKCMD, SkinCommandWParam(VKCMD_SET_UPDATE_STATE, 1), 0, 0};
    TMessage Mark{SM_VKCMD, SkinCommandWParam(VKCMD_MARK_FOR_UPDATE), 0, 0};
    BroadcastToChildControls(FForm, Upd);
    BroadcastToChildControls(FForm, Mark);
  }
  if (FSystemMenu == nullptr) SetUpFormSkinning();
  SetFormStateFlags(FFormState | fsfInNCActivate);
  const bool Active = Message.WParam != 0;
  const bool Changed = Active != FFormActive;
  if ((FFormState & fsfMoveFade) == 0) FFormActive = Active || IsControllerPopup();
  TsSkinManager* M = Manager();
  if (FOwnerHideState == 3 && !Active) {
    FOwnerHideState = 0;
  } else if (FOwnerHideState == 3) {
    FSkinData->Updating = FBorderForm == nullptr;
  } else {
    if (Changed && M != nullptr) {
      const TsGeneralData* G = FSkinData->Section();
      const bool MoreStates = G != nullptr && G->States > 1;
      const bool MoreFrames = M->MaskIndexInRange(FSkinData->BorderIndex) && M->ma()[FSkinData->BorderIndex].ImageCount > 1;
      if (FSkinData->SkinIndex < 0 || (FSkinData->BorderIndex < 0 && MoreStates) ||
          ((MoreFrames || MoreStates) && (FFormState & fsfCaptionFixed) == 0))
        FSkinData->CacheDirty = true;
    }
    FSkinData->Updating = false;
  }
  if (!FForm->Showing() || !IsWindowVisible(W)) {
    CallOwnProc(Message);
  } else {
    if ((LOWORD(Message.WParam) != 0) != FFormActive) FSkinData->CacheDirty = true;
    const bool Composition = IsDwmCompositionActive();
    const bool Cover = !FForm->FormState().Contains(fsShowing) && !(FBorderForm != nullptr && !HasMenuLine()) && !FForm->OnPaint;
    if (!Composition) {
      if (!FFormAnimating) {
        if (Cover) ShowCaptionCover();
      } else if (FDeferredSetUp) {
        PerformFormMessage(WM_SETREDRAW, 0, 0);
      }
    } else if (FBorderForm == nullptr) {
      PerformFormMessage(WM_SETREDRAW, 0, 0);
    } else {
      // the composed border window shows the frame as it stands before the menu line is repainted under it
      if (FSkinData->CacheBmp != nullptr && !FSkinData->CacheBmp->Empty() && GetMenuLineCount() > 0) ShowFrameOnBorderWindow();
      if (!FFormAnimating && Cover) ShowCaptionCover();
    }
    if (!FFormAnimating && (FFormState & fsfMoveFade) == 0 && !Composition) {
      if (FBorderForm == nullptr) {
        if (!IsMainForm(FForm)) FFrameDirty = true;
      } else {
        ApplyWindowRegion(false, false);
      }
    }
    CallOwnProc(Message);
    if (!Composition) {
      if (!FFormAnimating && (FBorderForm == nullptr || HasMenuLine())) {
        RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_FRAME);
        HideCaptionCover();
      } else if (FDeferredSetUp) {
        PerformFormMessage(WM_SETREDRAW, 1, 0);
      }
      if (FDeferredSetUp) RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN);
    } else {
      if (FBorderForm == nullptr) {
        PerformFormMessage(WM_SETREDRAW, 1, 0);
        RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
      if (!FFormAnimating) {
        FrameRedraw();
        HideCaptionCover();
      }
    }
  }
  // A child showing for the first time changes the main form's menu line (its buttons, its merged menu).
  if (FForm->FormStyle() == fsMDIChild && FForm->Visible() && (WindowExStyle(W) & WS_EX_MDICHILD) != 0 &&
      FForm->FormState().Contains(fsShowing) && g_MDIMain != nullptr && g_MDIMain != this &&
      g_MDIMain->FMDIForm != nullptr) {
    TsSkinProvider* P = g_MDIMain;
    P->FSkinData->CacheDirty = true;
    P->FHotButtonIndex = -1;
    P->FMDIForm->RepaintMainFrame();
    if (const HWND Main = P->FormHandle()) {
      SendSkinMessage(Main, WM_NCPAINT, 0, 0);
      if (const HWND Client = P->FForm->ClientHandle()) SendSkinMessage(Client, WM_NCPAINT, 0, 0);
    }
  }
  if ((WindowExStyle(W) & WS_EX_LAYERED) != 0 && !AnimationRunning()) FrameRedraw();
  if (FForm->ControlState().Contains(csCreating)) {
    SetFormStateFlags(FFormState & ~fsfInNCActivate);
    return;
  }
  if (HasCaption() && (FFormState & fsfMoveFade) == 0) {
    if (!ShowsMDIChildButtons()) {
      if (Active != FFormActive) {
        FFormActive = Active || IsControllerPopup();
        FHotButtonIndex = -1;
      }
    } else if (TCustomForm* Child = FForm->ActiveMDIChild(); Active || (Child != nullptr && Child->Active())) {
      // the main form showing a maximised child's buttons is drawn active while that child is
      FFormActive = true;
      FHotButtonIndex = -1;
    }
  }
  SetFormStateFlags(FFormState & ~fsfInNCActivate);
  if (!AnimationRunning()) {
    RECT R{};
    GetWindowRect(W, &R);
    if (R.right - R.left == FForm->Width() || R.bottom - R.top == FForm->Height()) {
      FrameRedraw();
      if (FBorderForm != nullptr) {
        if (FForm->WindowState() == wsMaximized && M != nullptr && M->Options()->NativeBordersMaximized()) {
          FreeBorderForm();
          ApplyWindowRegion(true, false);
        } else {
          UpdateBorder(true, 255);
        }
      }
    }
    InitMenuLine();
    if (FSkinData->IsSkinned(false) && FAdapter == nullptr) CreateAdapter();
  }
  // a skinned WM_NCACTIVATE never vetoes a deactivation
  if (Message.Result == 0 && !Active) Message.Result = TRUE;
  PurgeHookProviders();
}

void TsSkinProvider::ShowFrameOnBorderWindow() {
  if (FBorderForm == nullptr || FormServices.CreateBorderWindow == nullptr) return;
  if (BorderLayeredHandle() == nullptr) FormServices.CreateBorderWindow(FBorderForm);
  const HWND L = BorderLayeredHandle();
  if (L == nullptr) return;
  SetWindowRgn(L, FBorderForm->BuildRegion(), FALSE);
  RECT R{};
  GetWindowRect(L, &R);
  const BYTE Alpha = FForm->AlphaBlend() ? static_cast<BYTE>(FForm->AlphaBlendValue()) : 255;
  UpdateLayeredPremultiplied(L, FSkinData->CacheBmp, Alpha, POINT{R.left, R.top});
  SetWindowPos(L, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TsSkinProvider::WMActivate(TMessage& Message) {
  CallOwnProc(Message);
  if (FForm == nullptr || !FForm->Showing()) return;
  if (FScrollAdapter == nullptr) UpdateFormScrollAdapter();
  if (FForm->ControlState().Contains(csCreating)) return;
  FHotButtonIndex = -1;
  if (LOWORD(Message.WParam) == WA_ACTIVE) {
    TsSkinManager* M = Manager();
    if (M != nullptr && !M->ComponentState().Contains(csDesigning)) SkinFormMenus(FSkinData->IsSkinned(false));
    if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
    if (!FDrawNonClientArea) FSkinData->Updating = false;
    if (FForm->BorderStyle() == bsNone) RepaintChildrenAfterUpdate(FForm);
  }
  if (HeaderShown()) RepaintChildrenAfterUpdate(FForm);
  if (ProviderParts.RecordGluedForms) ProviderParts.RecordGluedForms(this, true);
}

void TsSkinProvider::WMActivateApp(TMessage& Message) {
  CallOwnProc(Message);
  TsSkinManager* M = Manager();
  if (Message.WParam != 1 || M == nullptr || !M->AnimEffects()->Minimizing()->Active() || (FFormState & fsfMinimizing) != 0)
    return;
  const HWND W = FormHandle();
  if (FBorderForm == nullptr) {
    if (IsMainForm(FForm) && FForm->WindowState() == wsMinimized && W != nullptr && !IsIconic(W) && !AnimationRunning()) {
      FForm->SetWindowState(wsNormal);
      InvalidateRect(W, nullptr, TRUE);
      RedrawWindow(W, nullptr, nullptr, kRedrawFull);
    }
  } else if ((FFormState & fsfVeiled) == 0) {
    UpdateBorder(true, 255);
  }
}

void TsSkinProvider::WMChildActivate(TMessage& Message) {
  CallOwnProc(Message);
  RefreshMenuBar();
  TsSkinProvider* P = g_MDIMain;
  TCustomForm* Child = P != nullptr && P->FForm != nullptr ? P->FForm->ActiveMDIChild() : nullptr;
  if (Child == nullptr) return;
  // a maximised child's buttons live on the main form's menu line
  if (Child->WindowState() == wsMaximized) {
    if (P->FMDIForm != nullptr) P->FMDIForm->RepaintMainFrame();
  } else {
    SetSystemMenuStyle(true);
  }
}

void TsSkinProvider::WMMDIActivate(TMessage& Message) {
  CallOwnProc(Message);
  if (FForm->FormStyle() == fsMDIChild && g_MDIMain != nullptr && g_MDIMain != this &&
      !g_MDIMain->ComponentState().Contains(csDestroying)) {
    TsSkinProvider* P = g_MDIMain;
    if (P->FormZoomed()) {
      P->FSkinData->CacheDirty = true;
      P->FrameRedraw();
      RefreshMDIMainFrame(false);
    } else {
      P->FMenuLineReady = false;
      P->FWholeFrameRepaint = true;
      P->FSkinData->CacheDirty = true;
      P->FHotButtonIndex = -1;
      P->FrameRedraw();
    }
  }
  g_ActiveMDIChild = this;
}

// ---- position and size ----

void TsSkinProvider::WMWindowPosChanging(TMessage& Message) {
  auto* WP = reinterpret_cast<WINDOWPOS*>(Message.LParam);
  const HWND W = FormHandle();
  if (FInPosChanging || ProviderLoading() || FForm->ComponentState().Contains(csLoading) ||
      FForm->FormStyle() == fsMDIChild || WP == nullptr) {
    SetFormStateFlags(FFormState & ~fsfHiding);
    CallOwnProc(Message);
    return;
  }
  // a shrink handled for the border window is all: no snapping, restore rewrite or hide snapshot follows
  if (ShrinkBorderWindow(*WP)) {
    CallOwnProc(Message);
    return;
  }
  if (W != nullptr && !IsZoomed(W) && (WP->flags & SWP_NOMOVE) == 0 && (WP->x != 0 || WP->y != 0)) {
    TsSkinManager* M = Manager();
    if (M != nullptr && M->Options()->NativeBordersMaximized() && FForm->WindowState() == wsNormal &&
        FBorderForm == nullptr && UseExtendedBorders() && IsWindowVisible(W))
      CheckBorderWindow(true);
    if (FScreenSnap && FForm->Showing() && ProviderParts.SnapPosition) {
      int X = WP->x, Y = WP->y;
      ProviderParts.SnapPosition(this, X, Y);
      WP->x = X;
      WP->y = Y;
    }
    if ((FFormState & (fsfRestoreHeight | fsfRestoreWidth)) != 0) {
      if ((FFormState & fsfRestoreHeight) != 0) {
        if (FForm->Top() == WP->y) {
          WP->y = FSavedBounds.Top;
          WP->cy += FForm->Top() - FSavedBounds.Top;
        } else {
          // the saved height comes back, not the sum of the saved top and height
          WP->cy = FSavedBounds.Bottom - FSavedBounds.Top;
        }
        SetFormStateFlags(FFormState & ~fsfRestoreHeight);
      }
      if ((FFormState & fsfRestoreWidth) != 0) SetFormStateFlags(FFormState & ~fsfRestoreWidth);
      Message.Result = 0;
      return;
    }
  }
  TsSkinManager* M = Manager();
  if (M != nullptr && FDrawNonClientArea && !FMinimizingGuard && W != nullptr) {
    const bool Hiding = (WP->flags & SWP_HIDEWINDOW) != 0 || WP->x == -32000;
    if (Hiding && FSkinData->CacheBmp != nullptr && !IsIconic(W) && HideAnimationAllowed(true)) SnapshotForHiding();
    // taken back from the parking place by a move, not by a restore command: the hide did not come
    RECT Now{};
    if (!Hiding && (WP->flags & SWP_NOMOVE) == 0 && IsWindowVisible(W) && !IsIconic(W) && GetWindowRect(W, &Now) &&
        Now.left == -32000)
      EndHideHold();
    if ((WP->flags & SWP_SHOWWINDOW) != 0) {
      EndHideHold();
      // a border form whose window went with a hide or minimise shows its frame again with the form
      if (FBorderForm != nullptr && FBorderForm->BorderWindow == nullptr && !IsIconic(W)) {
        FBorderForm->CreateBorderWindow();
        FBorderForm->Moving = false;
        UpdateBorder(true, 255);
      }
      if (IsWindowVisible(W))
        SetWindowPos(W, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                         SWP_NOSENDCHANGING);
    }
  }
  CallOwnProc(Message);
}

bool TsSkinProvider::ShrinkBorderWindow(const WINDOWPOS& WP) {
  const HWND W = FormHandle();
  TvkGlowForm* L = FBorderForm != nullptr ? FBorderForm->BorderWindow : nullptr;
  if (W == nullptr || L == nullptr || !L->HandleAllocated() || WP.cx <= 0 || WP.cy <= 0 ||
      (WP.flags & SWP_NOACTIVATE) == 0 || (WP.flags & (SWP_NOSIZE | SWP_NOMOVE)) != 0 ||
      (FFormState & fsfMinimizing) != 0 || (WP.cx >= FLastClientRect.Right && WP.cy >= FLastClientRect.Bottom))
    return false;
  if (ShownScrollBar(true) != 0 || ShownScrollBar(false) != 0) return true;
  if (IsIconic(W)) {
    FSkinData->CacheDirty = true;
    UpdateBorder(true, 255);
    return true;
  }
  // the frame is cut to the new size at once and the form goes under it, so the old frame does not show
  // through while the form shrinks
  SetFormStateFlags(FFormState | fsfPlacing);
  SetWindowRgn(L->Handle(), FBorderForm->BuildRegion(WP.cx, WP.cy), FALSE);
  SetWindowPos(W, L->Handle(), 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  SetFormStateFlags(FFormState & ~fsfPlacing);
  return true;
}

namespace {
// The height of the window's region, -1 when it has none.
int RegionHeight(HWND W) {
  HRGN R = CreateRectRgn(0, 0, 0, 0);
  RECT Box{};
  const int Kind = GetWindowRgn(W, R);
  if (Kind != ERROR && Kind != NULLREGION) GetRgnBox(R, &Box);
  DeleteObject(R);
  return Kind == ERROR || Kind == NULLREGION ? -1 : Box.bottom;
}
}  // namespace

void TsSkinProvider::WMWindowPosChanged(TMessage& Message) {
  TsSkinManager* M = Manager();
  const HWND W = FormHandle();
  if (M == nullptr || !FDrawNonClientArea || W == nullptr) {
    CallOwnProc(Message);
    return;
  }
  FCaptionZoom = FBorderForm != nullptr && IsZoomed(W) && GetSkinTitleHeightByState(false) > GetStdCaptionHeight(FForm) + 4;
  const auto* WP = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
  // A hidden form takes its title-button fades with it (the application's minimise hides the main form with no
  // move or size): a fade's next tick would place its window where the form was and show it again.
  if (WP != nullptr && (WP->flags & SWP_HIDEWINDOW) != 0) FreeTitleAnimations();
  // The snapshot made while the window was being hidden is the picture this hide fades out, so it does not stand
  // in its way; a hide the application window's hook already plays for this form is not started twice.
  const bool HidePlaying = HideTimer() != nullptr && HideTimer()->Window != nullptr && HideTimer()->DestWnd == W;
  if (WP != nullptr && (WP->flags & SWP_HIDEWINDOW) != 0 && !FMinimizingGuard && FSkinData->CacheBmp != nullptr &&
      !IsIconic(W)) {
    if (M->MinimizingApp && IsMainForm(FForm)) {
      // the minimise flight stands for the main form's hide
      if (M->AnimEffects()->Minimizing()->Active()) {
        CallOwnProc(Message);
        FFormAnimating = false;
        return;
      }
    } else if (HideAnimationAllowed(true, true) && !HidePlaying && FForm->FormStyle() != fsMDIChild) {
      if (IsDwmCompositionActive()) SetLayeredAlpha(W, true, 1);
      CallOwnProc(Message);
      FMinimizingGuard = true;
      g_HidingProvider = this;
      AnimateFormHide(this);
      g_HidingProvider = nullptr;
      if (Application != nullptr && Application->Terminated()) return;
      if (IsDwmCompositionActive()) SetLayeredAlpha(W, false, 1);
      FMinimizingGuard = false;
      return;
    } else if (!HidePlaying) {
      FreeBorderLayeredWindow();  // no fade shows it: the frame and shadow go with the form
    }
  }
  CallOwnProc(Message);
  // WM_SIZE came inside the system's handling, before the form took its new bounds: the region made there has
  // the old size, so it is made again now that the form knows its size
  if (FBorderForm == nullptr && WP != nullptr && (WP->flags & SWP_NOSIZE) == 0 && !IsIconic(W) &&
      !InAnimationProcess && (FFormState & (fsfMinimizing | fsfRestoring)) == 0 && RegionHeight(W) != FForm->Height()) {
    FSkinData->CacheDirty = true;  // the cache too was made at the old size
    CollectBorderMaskRects();
    ApplyWindowRegion(true, true);  // the area the old region hid is painted too
  }
  // the same for the border window: it could not follow a new size before the form had its new place (a
  // maximise or restore changes the frame too); it follows now, painted anew when its size changed
  const bool Resized = WP != nullptr && (WP->flags & SWP_NOSIZE) == 0 && !InAnimationProcess &&
                       (FFormState & (fsfMinimizing | fsfRestoring)) == 0;
  if (FShowAnimating || FBorderForm == nullptr || WP == nullptr) return;
  if (IsWindowVisible(W) && !IsIconic(W)) {
    if ((WP->flags & SWP_NOREDRAW) != 0 || ((WP->flags & SWP_FRAMECHANGED) != 0 && !Resized) ||
        (FFormState & (fsfMoveFade | fsfVeiled)) != 0)
      return;
    TvkGlowForm* L = FBorderForm->BorderWindow;
    if ((WP->flags & (SWP_NOSIZE | SWP_NOMOVE)) == (SWP_NOSIZE | SWP_NOMOVE) && L != nullptr && L->HandleAllocated()) {
      // only the z-order changed: the frame goes right behind the form (the active main form under composition
      // where the form says)
      HWND After = W;
      if (IsDwmCompositionActive() && IsMainForm(FForm) && GetActiveWindow() == W)
        After = reinterpret_cast<HWND>(SendSkinCommand(W, VKCMD_4F, 0));
      SetWindowPos(L->Handle(), After == nullptr ? HWND_TOP : After, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING |
                       SWP_SHOWWINDOW);
      return;
    }
    UpdateBorder(false, 255);
  } else if ((FFormState & (fsfMinimizing | fsfRestoring)) == 0 && IsIconic(W) && !FormDestroying() &&
             !(Application != nullptr && Application->Terminated()) && IsMainForm(FForm)) {
    FreeBorderLayeredWindow();  // an iconic main form shows no frame
  }
}

void TsSkinProvider::FreeBorderLayeredWindow() {
  if (FBorderForm == nullptr || FBorderForm->BorderWindow == nullptr) return;
  TvkGlowForm* L = FBorderForm->BorderWindow;
  FBorderForm->Moving = true;
  FBorderForm->BorderWindow = nullptr;
  L->Free();
  FBorderForm->Moving = false;
  // a hide picture the window held (the main form's, kept for a hide that an iconic form never plays) went with it
  EndHideHold();
}

void TsSkinProvider::WMWindowPosChangedUnskinned(TMessage& Message) {
  TsSkinManager* M = Manager();
  const HWND W = FormHandle();
  const auto* WP = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
  if (M == nullptr || !HasLayeredWindowApi() || W == nullptr || WP == nullptr || (WP->flags & SWP_HIDEWINDOW) == 0 ||
      !FAllowAnimation || IsIconic(W) || FMinimizingGuard || !M->Active() || !M->Effects()->AllowAnimation() ||
      !M->AnimEffects()->FormHide()->Active() || !FDrawNonClientArea)
    return;
  FMinimizingGuard = true;
  g_HidingProvider = this;
  AnimateFormHide(this);
  g_HidingProvider = nullptr;
  SetLayeredAlpha(W, false, 1);
  FMinimizingGuard = false;
}

void TsSkinProvider::WMMove(TMessage& Message) {
  FreeTitleAnimations();
  ClearAllGlowEffects(false);  // a glow stays where the control was
  if (FBorderForm == nullptr && UseExtendedBorders() && !ProviderLoading() &&
      (FFormState & (fsfMinimizing | fsfRestoring)) == 0)
    CheckBorderWindow(true);
  CallOwnProc(Message);
  if (FBorderForm == nullptr && ProviderParts.MoveGluedForms) ProviderParts.MoveGluedForms(this);
}

void TsSkinProvider::WMSize(TMessage& Message) {
  FreeTitleAnimations();
  const HWND W = FormHandle();
  if (FSkinData->Updating || W == nullptr || !IsWindowVisible(W) || (FFormState & fsfRestoring) != 0) {
    FFrameDirty = true;
    FSkinData->CacheDirty = true;
    CallOwnProc(Message);
    return;
  }
  TsSkinManager* M = Manager();
  const int CW = FForm->ClientWidth(), CH = FForm->ClientHeight();
  const bool Shrank = CW < FLastClientRect.Right || CH < FLastClientRect.Bottom;
  if (IsGripShown() && M != nullptr && M->MaskIndexInRange(M->ConstData().GripImage) && Shrank) {
    const TsMaskData& G = M->ma()[M->ConstData().GripImage];
    const RECT R{CW - G.Width, CH - G.Height, CW, CH};
    InvalidateRect(W, &R, FALSE);
  }
  if ((Shrank || FLastClientRect.Right == 0) && M != nullptr && FSkinData->SkinIndex >= 0) {
    for (const char* Name : {"IMGTOPRIGHT", "IMGBTMRIGHT"}) {
      const int I = M->FindMaskInherited(FSkinData->SkinIndex, Name);
      if (!M->MaskIndexInRange(I)) continue;
      const TsMaskData& Mk = M->ma()[I];
      const RECT R{FLastClientRect.Right - Mk.Width, FLastClientRect.Bottom - Mk.Height, FLastClientRect.Right,
                   FLastClientRect.Bottom};
      InvalidateRect(W, &R, FALSE);
    }
  }
  for (TBitmap*& Glow : FCaptionGlow) {
    delete Glow;
    Glow = nullptr;
  }
  FHotButtonIndex = -1;
  const bool Hold = FForm->Parent() == nullptr && FDrawClientArea;
  if (Hold) FSkinData->Updating = true;
  CallOwnProc(Message);
  if (Hold) FSkinData->Updating = false;
  if (!InAnimationProcess) {
    if (!FForm->Showing() || IsIconic(W)) {
      FSkinData->CacheDirty = true;
    } else if (FSkinData->CacheDirty || FrameCacheSizeChanged()) {
      if (!(IsIconic(W) && FDeferredSetUp)) {
        FSkinData->CacheDirty = true;
        TBitmap* C = FSkinData->CacheBmp;
        const bool Big = C != nullptr && (C->Width() > FForm->Width() || C->Height() > FForm->Height());
        if (!FDrawNonClientArea) {
          if (Big) InvalidateRect(W, nullptr, FALSE);
        } else {
          // a maximised form with native borders has none of its own
          if (FBorderForm != nullptr && M != nullptr && M->Options()->NativeBordersMaximized() && FormZoomed()) FreeBorderForm();
          if (FBorderForm == nullptr) {
            FFrameDirty = true;
            CollectBorderMaskRects();
            ApplyWindowRegion(false, false);
          } else {
            PlaceBorderAfterSize();
          }
        }
        if (!FSkinData->Updating) {
          const uint8_t Flags = FSkinData->DrawFlags;
          const bool HeightMatters = (Flags & 0x2) != 0 || (Flags & 0x54) == 0x54;
          const bool WidthMatters = (Flags & 0x1) != 0 || (Flags & 0xA4) == 0xA4;
          if ((CH != FLastClientRect.Bottom && HeightMatters) || (CW != FLastClientRect.Right && WidthMatters)) {
            TMessage Bg{SM_VKCMD, SkinCommandWParam(VKCMD_BG_CHANGED, 1), 0, 0};
            BroadcastToChildControls(FForm, Bg);
          }
          if (FBorderForm == nullptr)
            RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_NOFRAME);
          else
            RedrawWindow(W, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | (FForm->BorderWidth() > 0 || FormMainMenu(FForm) != nullptr ? RDW_FRAME : 0));
          RepaintChildrenAfterUpdate(FForm);
        }
      }
    } else if (FForm->FormStyle() == fsMDIForm || FForm->FormStyle() == fsMDIChild || FForm->Parent() != nullptr) {
      CollectBorderMaskRects();
      ApplyWindowRegion(false, false);
      // a child maximised takes the main form's menu line (its buttons): the main frame and client anew
      if (FForm->FormStyle() == fsMDIChild && Message.WParam == SIZE_MAXIMIZED && g_MDIMain != nullptr && g_MDIMain != this) {
        g_MDIMain->FSkinData->CacheDirty = true;
        g_MDIMain->FWholeFrameRepaint = true;
        g_MDIMain->RedrawMDIClient(RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      }
    }
  } else {
    FSkinData->CacheDirty = true;
  }
  FLastClientRect = TRect(0, 0, CW, CH);
}

void TsSkinProvider::PlaceBorderAfterSize() {
  const HWND W = FormHandle();
  // the border window keeps its place in the z-order while it takes the new size (not with scroll bars, which
  // the form shows itself)
  const bool Hold = ShownScrollBar(true) == 0 && ShownScrollBar(false) == 0 && FResizeMode != rmBorder;
  if (Hold) SetFormStateFlags(FFormState | fsfPlacing);
  UpdateBorder(true, 255);
  FSkinData->Updating = true;
  if (Hold) SetFormStateFlags(FFormState & ~fsfPlacing);
  // the form's own code may name the window the border window goes after; none: it stays over its form
  if (const HWND L = BorderLayeredHandle(); L != nullptr && FBorderForm != nullptr && W != nullptr)
    if (const auto After = reinterpret_cast<HWND>(SendSkinCommand(W, VKCMD_4F, 0))) {
      FBorderForm->Moving = true;
      SetWindowPos(L, After, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
      FBorderForm->Moving = false;
    }
  FFrameDirty = true;
  if (W != nullptr) SendSkinCommand(W, VKCMD_50, 1);
  ApplyWindowRegion(true, true);
  FSkinData->Updating = false;
}

void TsSkinProvider::WMSizing(TMessage& Message) {
  CallOwnProc(Message);
  if (FBorderForm != nullptr) UpdateBorder(true, 255);
}

void TsSkinProvider::WMExitSizeMove(TMessage& Message) {
  CallOwnProc(Message);
  if (FBorderForm == nullptr) return;
  for (int i = 0; i < AdoptedProviderCount(); ++i)
    if (TsSkinProvider* P = AdoptedProvider(i); P != nullptr && P->FormHandle() != nullptr)
      SendSkinCommand(P->FormHandle(), VKCMD_REPAINT, 0);
}

// ---- system commands ----

bool TsSkinProvider::AnimationRunning() const { return FAnimTimer != nullptr && FAnimTimer->Enabled(); }

void TsSkinProvider::EndRunningFlight() {
  if (!AnimationRunning()) return;
  TvkThreadedTimer* T = FAnimTimer;
  FAnimTimer = nullptr;
  if (auto* Flight = dynamic_cast<TvkMinTimer*>(T)) Flight->EndEarly();
  T->Free();
}

void TsSkinProvider::WMSysCommand(TMessage& Message) {
  TsSkinManager* M = Manager();
  const HWND W = FormHandle();
  const WPARAM Cmd = Message.WParam & 0xFFF0;
  const bool Minimizing = M != nullptr && M->AnimEffects()->Minimizing()->Active();
  if (FForm->FormStyle() != fsMDIChild) {
    if (Message.WParam == 0xF012) FForm->Repaint();
    if (Message.WParam == SC_MINIMIZE && !IsMainForm(FForm) && Minimizing && ProviderParts.AnimateMinimizing) {
      TSystemAnimationOff Off;
      ProviderParts.AnimateMinimizing(this);
      CallOwnProc(Message);
      return;
    }
    // only a form coming back from the taskbar flies back: a flight's timer stays after it ends, for the next one
    if (Message.WParam == SC_MAXIMIZE && FForm->Parent() == nullptr && W != nullptr && IsIconic(W) &&
        dynamic_cast<TvkMinTimer*>(FAnimTimer) != nullptr && ProviderParts.AnimateRestoring) {
      SetFormStateFlags(FFormState | fsfMaximizing);
      {
        TSystemAnimationOff Off;
        ProviderParts.AnimateRestoring(this);
        CallOwnProc(Message);
      }
      SetFormStateFlags(FFormState & ~fsfMaximizing);
      return;
    }
    if (Cmd == SC_RESTORE) {
      if ((FFormState & fsfHiding) != 0) {
        SetFormStateFlags((FFormState | fsfCaptionFixed) & ~fsfHiding);
        // the hide snapshot marked the border window moving; a pointer over the frame must not drag the form
        if (FBorderForm != nullptr) FBorderForm->Moving = false;
        {
          TSystemAnimationOff Off;
          CallOwnProc(Message);
        }
        SetFormStateFlags(FFormState & ~fsfCaptionFixed);
        return;
      }
      if (!IsMainForm(FForm) && W != nullptr && IsIconic(W) && ProviderParts.AnimateRestoring) {
        SetFormStateFlags(FFormState | fsfCaptionFixed);
        {
          TSystemAnimationOff Off;
          FFrameDirty = true;
          ProviderParts.AnimateRestoring(this);
          FSkinData->CacheDirty = true;
          CallOwnProc(Message);
          if (FBorderForm != nullptr) {
            FShowAnimating = false;
            UpdateBorder(true, 255);
          }
        }
        SetFormStateFlags(FFormState & ~fsfCaptionFixed);
        return;
      }
    }
  }
  if (FForm->FormStyle() == fsMDIChild) {
    MDIChildSysCommand(Message);
    return;
  }
  if (FForm->FormStyle() == fsMDIForm) {
    CallOwnProc(Message);
    if (Cmd == SC_MINIMIZE || Cmd == SC_MAXIMIZE || Cmd == SC_RESTORE) {
      FSkinData->CacheDirty = true;
      FHotButtonIndex = -1;
      if (W != nullptr) SendSkinMessage(W, WM_NCPAINT, 0, 0);
      if (Cmd == SC_MAXIMIZE && FBorderForm != nullptr) UpdateBorder(true, 255);
    }
  } else {
    if (Message.WParam == SC_MAXIMIZE) {
      if (M != nullptr && M->Options()->NativeBordersMaximized()) FreeBorderForm();
      SetFormStateFlags(FFormState | fsfMaximizing);
    }
    CallOwnProc(Message);
    if (Cmd == SC_KEYMENU && LOWORD(Message.LParam) == ' ' && HasBiSystemMenu() && HasCaption() && W != nullptr) {
      TPoint P;
      GetWindowOrigin(P);
      const int Y = P.Y + GetFrameWidth(true) + GetCaptionBarHeight(true) - (IsIconic(W) ? 16 : 0);
      PopupSystemMenu(P.X + FIconRect.Left, Y);
    }
    if (Cmd == SC_MAXIMIZE || Cmd == SC_RESTORE) {
      if (Cmd == SC_MAXIMIZE) {
        SetFormStateFlags(FFormState & ~fsfMaximizing);
      } else {
        EndRunningFlight();  // the restored form stands where a flight would have put it
      }
      if (FSystemMenu != nullptr && FSystemMenu->VisibleMax()) FHotElement = HTMAXBUTTON;
      ResetHotElement();
      if (Cmd == SC_RESTORE) {
        FSkinData->CacheDirty = true;
        if (!HasCaption() && W != nullptr) {
          SetWindowRgn(W, nullptr, TRUE);
        } else if (M != nullptr && M->ExtendedBorders() && FAllowExtBorders && FDrawNonClientArea &&
                   FForm->Parent() == nullptr) {
          FShowAnimating = false;
          if (FBorderForm == nullptr) {
            CheckBorderWindow(true);
            ApplyWindowRegion(false, false);
          } else {
            UpdateBorder(true, 255);
          }
        }
        if (W != nullptr) RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      }
    }
  }
  if (Cmd == SC_MINIMIZE) {
    if (Minimizing) FFormAnimating = false;
    // an iconic form shows no frame; a running flight keeps the window it borrowed
    if ((FFormState & fsfMinimizing) == 0) FreeBorderLayeredWindow();
  }
}
