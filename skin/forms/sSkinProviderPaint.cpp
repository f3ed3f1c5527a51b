// The skinned form's handlers of painting, text, icon and style changes, of being created, shown, hidden,
// closed and destroyed, and of the notices about its child controls and menus.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkThdTimer.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormHook.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/graphics/vkSectionPaint.h"

TsSkinProvider* g_HidingProvider = nullptr;
bool g_NewMDIChildMaximized = false;

namespace {

// The form's window rectangle has reached the form's size (a new size is painted once it is the window's).
bool WindowHasFormSize(HWND W, TCustomForm* F) {
  RECT R{};
  GetWindowRect(W, &R);
  return R.right - R.left == F->Width() && R.bottom - R.top == F->Height();
}

// The window is layered and wholly see-through: a show fade that did not run left it as it made it.
bool StillTransparent(HWND W) {
  BYTE Alpha = 255;
  DWORD Flags = 0;
  return W != nullptr && (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
         GetLayeredWindowAttributes(W, nullptr, &Alpha, &Flags) && (Flags & LWA_ALPHA) != 0 && Alpha == 0;
}

}  // namespace

// ---- painting ----

void TsSkinProvider::WMNCPaint(TMessage& Message) {
  if (FSystemMenu == nullptr) SetUpFormSkinning();
  if (FDrawNonClientArea && (FSkinData->StateFlags & 0xC00) != 0) {
    const bool EmptyMenuLine = HasMenuLine() && !MenuLineHasItems();
    if (EmptyMenuLine || (FFormState & (fsfHiding | fsfShowing)) != 0) return;
  }
  if (FDeferredSetUp) {
    FDeferredSetUp = false;
    PrepareForm();
  }
  if (FSkinData->RecheckUpdating(false)) {
    CallOwnProc(Message);
    return;
  }
  if (!FDrawNonClientArea || (InAnimationProcess && FForm->FormStyle() == fsMDIChild)) {
    CallOwnProc(Message);
    return;
  }
  const HWND W = FormHandle();
  if (!FFormAnimating && FForm->Showing() && !ProviderLoading() && !FForm->ControlState().Contains(csDestroyingHandle) &&
      FSystemMenu != nullptr && W != nullptr) {
    if (IsIconic(W))
      FSkinData->CacheDirty = true;
    else if (!WindowHasFormSize(W, FForm))
      return;
    if (FAdapter == nullptr) CreateAdapter();
    if (FSkinData->CacheBmp == nullptr && Manager() != nullptr) CheckBorderWindow(Manager()->ExtendedBorders());
    RepaintNonClient();
    Message.Result = 0;
  }
}

void TsSkinProvider::WMPaint(TMessage& Message) {
  if (!FDrawClientArea || (FFormState & fsfRestoring) != 0) {
    CallOwnProc(Message);
    return;
  }
  if (FForm->ControlState().Contains(csPaintCopy)) return;
  const HWND W = FormHandle();
  if (FBorderForm != nullptr && !IsFramePaintSuspended()) {
    TvkGlowForm* L = FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(FBorderForm) : nullptr;
    if (L == nullptr || !IsWindowVisible(W)) UpdateBorder(true, 255);
  }
  if (!FForm->Showing()) {
    CallOwnProc(Message);
  } else {
    PaintClient(Message);
    g_NewMDIChildMaximized = false;
    if (FForm->FormStyle() == fsMDIForm) {
      HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(W);
      PaintGraphicChildren(DC, FForm, true, POINT{0, 0});
      if (Message.WParam == 0) ReleaseDC(W, DC);
    }
    Message.Result = 0;
  }
  if (!FDrawNonClientArea && FormMainMenu(FForm) != nullptr) FrameRedraw();
}

void TsSkinProvider::WMEraseBkgnd(TMessage& Message) {
  const HWND W = FormHandle();
  if (W == nullptr || !IsWindowVisible(W) || !FDrawClientArea) {
    CallOwnProc(Message);
    return;
  }
  if ((FSkinData->StateFlags & 0x800) != 0 || FSkinData->Updating) return;
  const auto DC = reinterpret_cast<HDC>(Message.WParam);
  TBitmap* Cache = FSkinData->CacheBmp;
  if (!FForm->ControlState().Contains(csPaintCopy) && Message.WParam != static_cast<WPARAM>(Message.LParam)) {
    if (UnderMaximisedChild()) {
      PaintFormBackground(DC);
    } else if (Cache != nullptr && !FSkinData->CacheDirty) {
      const int Saved = SaveDC(DC);
      ClipOutChildControls(DC, FForm, 0, 0);
      BitBlt(DC, 0, 0, FForm->ClientWidth(), FForm->ClientHeight(), Cache->Canvas()->Handle(), GetClientOffsetLeft(),
             GetClientOffsetTop(), SRCCOPY);
      RestoreDC(DC, Saved);
      RepaintChildrenAfterUpdate(FForm);
    }
  } else if (Message.WParam != 0 && !FSkinData->CacheDirty && Cache != nullptr) {
    BitBlt(DC, 0, 0, FForm->Width(), FForm->Height(), Cache->Canvas()->Handle(), GetClientOffsetLeft(), GetClientOffsetTop(),
           SRCCOPY);
  }
  g_NewMDIChildMaximized = false;
  Message.Result = 1;
}

void TsSkinProvider::WMPrint(TMessage& Message) {
  if (ProviderLoading() || FForm->FormState().Contains(fsCreating) || FormDestroying()) return;
  const HWND W = FormHandle();
  if (W != nullptr) SetDwmTransitionsForceDisabled(W, true, 0);
  if (HiddenUnderAnotherMaximisedChild()) return;
  if (!FMenuLineReady) FMenuLineReady = RefreshMenuBar();
  // the background first, then the parts asked for over it; the library's own pictures ask with no flags for both
  if ((Message.LParam & PRF_ERASEBKGND) != 0) PerformFormMessage(WM_ERASEBKGND, Message.WParam, Message.LParam);
  const LPARAM Parts = Message.LParam == 0 ? PRF_NONCLIENT | PRF_CLIENT : Message.LParam;
  const bool Frame = (Parts & PRF_NONCLIENT) != 0, Client = (Parts & PRF_CLIENT) != 0;
  if (!Frame && !Client) return;
  const auto DC = reinterpret_cast<HDC>(Message.WParam);
  FSkinData->PrintDC = DC;
  FSkinData->Updating = false;
  if (FSkinData->CacheBmp == nullptr || FSkinData->CacheBmp->Empty()) FSkinData->CacheDirty = true;
  if (FBorderForm != nullptr) {
    if (FSkinData->CacheDirty) PaintFormFrame();
    if (TBitmap* Cache = FSkinData->CacheBmp) {
      const int Saved = SaveDC(DC);
      ClipToPrintedParts(DC, Frame, Client);
      BitBlt(DC, 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
      RestoreDC(DC, Saved);
    }
    if (Client) {
      const int Saved = SaveDC(DC);
      SetWindowOrgEx(DC, -GetClientOffsetLeft(), -GetClientOffsetTop(), nullptr);
      IntersectClipRect(DC, 0, 0, FForm->ClientWidth(), FForm->ClientHeight());
      if (FForm->FormStyle() != fsMDIForm) PaintGraphicChildren(DC, FForm, (FFormState & fsfHiding) == 0, POINT{0, 0});
      RestoreDC(DC, Saved);
    }
  } else if (FDrawNonClientArea) {
    if (Frame) PrintFrameWithoutBorderWindow(DC);
    if (Client) {
      const int Saved = SaveDC(DC);
      SetWindowOrgEx(DC, -GetClientOffsetLeft(), -GetClientOffsetTop(), nullptr);
      IntersectClipRect(DC, 0, 0, FForm->ClientWidth(), FForm->ClientHeight());
      PaintFormTo(DC, TRect(0, 0, FForm->Width(), FForm->Height()), true);
      RestoreDC(DC, Saved);
    }
  }
  FSkinData->PrintDC = nullptr;
  if (!Client) return;
  if (FForm->FormStyle() == fsMDIForm) PrintMDIClient(DC, Message.LParam);
  if (FForm->OnPaint) FForm->Canvas()->PaintOn(DC, [&] { FForm->OnPaint(FForm); });
}

void TsSkinProvider::ClipToPrintedParts(HDC DC, bool Frame, bool Client) {
  const int L = GetClientOffsetLeft(), T = GetClientOffsetTop();
  const int R = L + FForm->ClientWidth(), B = T + FForm->ClientHeight();
  if (!Frame) IntersectClipRect(DC, L, T, R, B);
  else if (!Client) ExcludeClipRect(DC, L, T, R, B);
}

void TsSkinProvider::PrintFrameWithoutBorderWindow(HDC DC) {
  const HWND W = FormHandle();
  if (HasCaption() || !WindowHasSizingBorder(W)) {
    DrawFrameCache(DC);
    return;
  }
  if (FSkinData->CacheDirty) PaintFormFrame();
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr) return;
  const int T = FForm->BorderWidth() + 3;
  HDC Src = Cache->Canvas()->Handle();
  const int CW = Cache->Width(), CH = Cache->Height();
  BitBlt(DC, 0, 0, CW, T, Src, 0, 0, SRCCOPY);
  BitBlt(DC, 0, T, T, CH - 2 * T, Src, 0, T, SRCCOPY);
  BitBlt(DC, 0, CH - T, CW, T, Src, 0, CH - T, SRCCOPY);
  BitBlt(DC, CW - T, T, T, CH - 2 * T, Src, CW - T, T, SRCCOPY);
}

void TsSkinProvider::WMSetText(TMessage& Message) {
  const HWND W = FormHandle();
  // the glows were blurred from the old text: kept, one of the same size would be shown for the new text
  for (TBitmap*& Glow : FCaptionGlow) {
    delete Glow;
    Glow = nullptr;
  }
  if (W == nullptr || !IsWindowVisible(W) || FForm->ControlState().Contains(csCreating) || !FDrawNonClientArea) {
    CallOwnProc(Message);
    return;
  }
  if (FForm->FormStyle() == fsMDIChild && IsZoomed(W) && g_MDIMain != nullptr) {
    g_MDIMain->FSkinData->CacheDirty = true;
    ShowCaptionCover();
    CallOwnProc(Message);
    HideCaptionCover();
  } else if (!IsDwmCompositionActive()) {
    FSkinData->CacheDirty = true;
    ShowCaptionCover();
    CallOwnProc(Message);
    HideCaptionCover();
    FrameRedraw();
  } else {
    if (FBorderForm == nullptr) ShowCaptionCover();
    CallOwnProc(Message);
    RedrawFrameNow();
    HideCaptionCover();
  }
  if (FBorderForm != nullptr) UpdateBorder(true, 255);
}

void TsSkinProvider::WMSetIcon(TMessage& Message) {
  if (!ProviderLoading() && Message.LParam != 0 && !FFormAnimating && FForm->Showing()) {
    if (!IsDwmCompositionActive()) {
      FForm->Perform(WM_SETREDRAW, 0, 0);
      CallOwnProc(Message);
      FForm->Perform(WM_SETREDRAW, 1, 0);
    } else {
      CallOwnProc(Message);
    }
    RedrawFrameNow();
    return;
  }
  CallOwnProc(Message);
}

void TsSkinProvider::WMSetRedraw(TMessage& Message) {
  FRedrawLockCount = Message.WParam == 1 ? std::max(0, FRedrawLockCount - 1) : FRedrawLockCount + 1;
  CallOwnProc(Message);
}

void TsSkinProvider::CMMenuChanged(TMessage& Message) {
  if (!FForm->ControlState().Contains(csCreating) && FForm->Visible() && !FFramePaintSuspended &&
      (FSkinData->StateFlags & 0x800) == 0) {
    FHotButtonIndex = -1;
    FWholeFrameRepaint = true;
    FSkinData->CacheDirty = true;
  }
  CallOwnProc(Message);
}

void TsSkinProvider::WMSysColorChange(TMessage& Message) {
  CallOwnProc(Message);
  RefreshMenuBar();
}

void TsSkinProvider::WMSettingChange(TMessage& Message) {
  FSkinData->CacheDirty = true;
  // a minimise flight aims at the work area's new edges, from its start again
  if (Message.WParam == SPI_SETWORKAREA)
    if (auto* T = dynamic_cast<TvkMinTimer*>(FAnimTimer)) {
      T->ComputeSteps();
      T->CurLeft = T->StartRect.Left;
      T->CurTop = T->StartRect.Top;
      T->CurRight = T->StartRect.Right;
      T->CurBottom = T->StartRect.Bottom;
    }
  CallOwnProc(Message);
}

void TsSkinProvider::WMStyleChanged(TMessage& Message) {
  CallOwnProc(Message);
  const HWND W = FormHandle();
  // the Close item still shows what the style was before
  if (FSystemMenu != nullptr && FSystemMenu->ItemClose() != nullptr && FSystemMenu->ItemClose()->Visible() != HasBiSystemMenu()) {
    FSystemMenu->RefreshItemStates(false);
    RedrawFrameNow();
    return;
  }
  if (static_cast<int>(Message.WParam) != GWL_EXSTYLE || (FFormState & (fsfMoveFade | fsfMinimizing | fsfRestoring)) != 0 ||
      !FDrawNonClientArea || W == nullptr)
    return;
  bool Step = false;
  if ((WindowStyle(W) & WS_SYSMENU) != 0) {
    FSkinData->CacheDirty = true;
    InitTitleButtonIndexes();
    TsSkinManager* M = Manager();
    if (FBorderForm == nullptr && (M == nullptr || !M->ExtendedBorders())) {
      SetWindowLongA(W, GWL_STYLE, WindowStyle(W) & ~WS_SYSMENU);
      return;
    }
    Step = true;
  } else if (Message.LParam != 0) {
    const auto* S = reinterpret_cast<const STYLESTRUCT*>(Message.LParam);
    Step = ((S->styleOld ^ S->styleNew) & WS_EX_LAYERED) != 0 && FBorderForm != nullptr && (FFormState & fsfVeiled) == 0;
  }
  if (!Step) return;
  if (FBorderForm == nullptr) {
    TsSkinManager* M = Manager();
    CheckBorderWindow(M != nullptr && M->ExtendedBorders());
  } else {
    UpdateBorder(true, 255);
  }
}

void TsSkinProvider::CMEnabledChanged(TMessage& Message) {
  CallOwnProc(Message);
  if (!FDrawNonClientArea) return;
  // the border window takes no clicks for a disabled form
  if (TvkGlowForm* L = FBorderForm != nullptr && FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(FBorderForm)
                                                                                   : nullptr;
      L != nullptr && L->HandleAllocated())
    EnableWindow(L->Handle(), FForm->Enabled() ? TRUE : FALSE);
  // a veil made invisible (255) while the form was disabled still goes when it is enabled
  if (FDisabledBlendValue != 255 || FVeil != nullptr) {
    SetFormStateFlags(FForm->Enabled() ? FFormState & ~fsfVeiled : FFormState | fsfVeiled);
    UpdateDisabledVeil();
  }
  FSkinData->CacheDirty = true;
  FrameRedraw();
  if (FBorderForm != nullptr) UpdateBorder(true, 255);
}

// ---- creation, showing, hiding, closing ----

void TsSkinProvider::WMCreate(TMessage& Message) {
  if (FForm->FormStyle() == fsMDIChild) {
    // the MDI parent (the frame of the child's client window) is skinned before its first child
    if (g_MDIMain == nullptr && FForm->HandleAllocated())
      if (const HWND Client = GetParent(FForm->Handle()))
        if (const HWND Frame = GetParent(Client)) AdoptTopLevelWindow(Frame);
    // a child made over a maximised one restores nothing until it is painted (its own SC_RESTORE)
    TCustomForm* Main = g_MDIMain != nullptr ? g_MDIMain->FForm : nullptr;
    TCustomForm* Active = Main != nullptr ? Main->ActiveMDIChild() : nullptr;
    g_NewMDIChildMaximized = Active != nullptr && Active != FForm && Active->HandleAllocated() && IsZoomed(Active->Handle());
  }
  CallOwnProc(Message);
  LinkSkinDataToWindow();
  if (FForm->FormStyle() != fsMDIChild) SetUpFormSkinning();
}

void TsSkinProvider::WMNCCreate(TMessage& Message) {
  CallOwnProc(Message);
  if (FForm->FormStyle() != fsMDIChild) SetUpFormSkinning();
}

bool TsSkinProvider::HideAnimationAllowed(bool CheckParent, bool WithSnapshot) {
  TsSkinManager* M = Manager();
  return M != nullptr && !M->MinimizingApp && FAllowAnimation && M->AnimEffects()->FormHide()->Active() &&
         M->Effects()->AllowAnimation() && (WithSnapshot || (FFormState & fsfHiding) == 0) &&
         (!CheckParent || FForm->Parent() == nullptr);
}

void TsSkinProvider::SnapshotForHiding() {
  SetFormStateFlags(FFormState | fsfHiding);
  if (ProviderParts.MakeAnimationBitmap) {
    TBitmap* Snapshot = ProviderParts.MakeAnimationBitmap(this, true);
    if (Snapshot != nullptr) {
      delete FSkinData->CacheBmp;
      FSkinData->CacheBmp = Snapshot;
    }
  }
  // the border window holds the picture until the hide fades it: nothing else moves or re-places it meanwhile
  if (BorderLayeredHandle() != nullptr) FBorderForm->Moving = true;
  ShowSnapshotOnBorderWindow();
  // Without a border window a still copy covers the form until the hide animation takes it over.
  const HWND W = FormHandle();
  if (FBorderForm == nullptr && FForm->Parent() == nullptr && W != nullptr) {
    if (FSnapshotForm != nullptr) FreeAndNil(FSnapshotForm);
    FSnapshotForm = CreateSnapshotForm(W);
  }
}

void TsSkinProvider::EndHideHold() {
  if ((FFormState & fsfHiding) == 0) return;
  SetFormStateFlags(FFormState & ~fsfHiding);
  FSkinData->CacheDirty = true;  // the cache holds the picture taken for the hide
  // the border window no longer holds that picture: it follows and repaints again
  if (FBorderForm != nullptr) {
    FBorderForm->Moving = false;
    FBorderForm->Updating = false;
  }
}

void TsSkinProvider::ShowSnapshotOnBorderWindow() {
  const HWND L = BorderLayeredHandle();
  TBitmap* Snapshot = FSkinData->CacheBmp;
  if (L == nullptr || Snapshot == nullptr || Snapshot->Empty()) return;
  RECT R{};
  GetWindowRect(L, &R);
  const BYTE Alpha = FForm->AlphaBlend() ? static_cast<BYTE>(FForm->AlphaBlendValue()) : 255;
  UpdateLayeredPremultiplied(L, Snapshot, Alpha, POINT{R.left, R.top});
  SetWindowPos(L, nullptr, R.left, R.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TsSkinProvider::CMShowingChanged(TMessage& Message) {
  TsSkinManager* M = Manager();
  const HWND W = FormHandle();
  if (!FDrawNonClientArea || !FDrawClientArea) {
    if (FDrawClientArea && FAdapter != nullptr && ProviderParts.WalkControlsOf) ProviderParts.WalkControlsOf(FAdapter, FForm);
    CallOwnProc(Message);
    FSkinData->Updating = false;
    if (IsDwmCompositionActive() && W != nullptr) RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return;
  }
  if (!FForm->Showing()) {
    // a hide effect shorter than one tick does not run; without one the frame and shadow go with the form
    const bool HideCanRun = M != nullptr && FAllowAnimation && M->AnimEffects()->FormHide()->Active() &&
                            M->AnimEffects()->FormHide()->Time() >= 12 && M->Effects()->AllowAnimation();
    if (FBorderForm != nullptr && !HideCanRun) FreeBorderLayeredWindow();
    else if (FBorderForm != nullptr && HideAnimationAllowed(false)) SnapshotForHiding();
    CallOwnProc(Message);
    return;
  }
  if (M != nullptr) M->RescaleControl(FForm, 100);
  if (FForm->FormStyle() == fsMDIChild) {
    if (FAdapter != nullptr && ProviderParts.WalkControlsOf) ProviderParts.WalkControlsOf(FAdapter, FForm);
    UpdateFormScrollAdapter();
    CallOwnProc(Message);
    return;
  }
  if (FForm->FormStyle() == fsMDIForm) SetMDIWrapper(true);
  if (W != nullptr) SetDwmTransitionsForceDisabled(W, true, 0);
  SetFormStateFlags(FFormState & ~fsfHiding);
  // a drag of the border window that a hide cut short is over
  if (FBorderForm != nullptr) FBorderForm->Moving = false;
  // a minimise flight still running is over once the form shows
  if (dynamic_cast<TvkMinTimer*>(FAnimTimer) != nullptr) EndRunningFlight();
  if (g_EditorPreview && W != nullptr && (Application == nullptr || Application->MainForm() == nullptr || IsMainForm(FForm)))
    LinkToSkinEditor(W);
  InitMenuLine();
  if (FAdapter != nullptr && ProviderParts.WalkControlsOf) ProviderParts.WalkControlsOf(FAdapter, FForm);
  FFormAnimating = FAllowAnimation && (FForm->FormStyle() == fsMDIChild || FForm->Parent() == nullptr) && M != nullptr &&
                   M->Effects()->AllowAnimation() && M->AnimEffects()->FormShow()->Active() && W != g_LinkedEditor;
  const uint8_t Alpha = FForm->AlphaBlend() ? static_cast<uint8_t>(FForm->AlphaBlendValue()) : 255;
  bool AddedLayer = false;
  if (!FFormAnimating) {
    if (FForm->Parent() == nullptr) FSkinData->Updating = false;
  } else {
    FSkinData->Updating = true;
    FShowAnimating = true;
    AddedLayer = SetLayeredAlpha(W, true, 0);
    if (AddedLayer) {
      if (FBorderForm == nullptr) CollectBorderMaskRects();
      if (!FormZoomed()) ApplyWindowRegion(false, true);
      FInPosChanging = false;
    }
    for (int i = 0; i < FForm->ControlCount(); ++i)
      if (auto* C = As<TWinControl>(FForm->Controls(i)); C != nullptr && C->Visible() && C->HandleAllocated())
        SendMessageA(C->Handle(), WM_SETREDRAW, 0, 0);
  }
  CheckBorderWindow(M != nullptr && M->ExtendedBorders());
  if (FFormAnimating) SetFormStateFlags(FFormState | fsfShowing);
  CallOwnProc(Message);
  if (FFormAnimating) SetFormStateFlags(FFormState & ~fsfShowing);
  auto RedrawChildren = [&] {
    for (int i = 0; i < FForm->ControlCount(); ++i)
      if (auto* C = As<TWinControl>(FForm->Controls(i)); C != nullptr && C->Visible() && C->HandleAllocated())
        SendMessageA(C->Handle(), WM_SETREDRAW, 1, 0);
  };
  if (!FSkinData->IsSkinned(false) && FFormAnimating) {
    RedrawChildren();
    SetWindowLongA(W, GWL_EXSTYLE, WindowExStyle(W) & ~WS_EX_LAYERED);
    RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    FInPosChanging = false;
  } else {
    UpdateFormScrollAdapter();
    if (!FFormAnimating) {
      RepaintChildrenAfterUpdate(FForm);
      if (W != nullptr) RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    } else {
      RedrawChildren();
      // The form stays transparent under the fade, which reveals it at its end: made opaque now, its window,
      // shown but not yet painted, would be seen through the fading picture (a plain caption, black controls).
      FFormAnimating = false;
      AnimateFormShow(this, M->AnimEffects()->FormShow()->Time(), Alpha, M->AnimEffects()->FormShow()->Mode());
      if (StillTransparent(W)) SetLayeredAlpha(W, !AddedLayer || Alpha < 255, Alpha);
      FShowAnimating = false;
      FInPosChanging = false;
    }
  }
  FLastClientRect = TRect(0, 0, FForm->ClientWidth(), FForm->ClientHeight());
  if (FForm->FormStyle() == fsMDIChild && FormZoomed()) RefreshMDIMainFrame(true);
}

void TsSkinProvider::WMShowWindow(TMessage& Message) {
  const HWND W = FormHandle();
  if (FForm->FormStyle() != fsMDIChild) {
    if (Message.WParam == 1) {
      // shown again by its owner (the application's restore) or the system: no showing change ends the hold
      EndHideHold();
      SetFormStateFlags(FFormState & ~fsfRestoring);
      if (IsDwmCompositionActive() && !InAnimationProcess && (WindowExStyle(W) & WS_EX_LAYERED) == 0)
        RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    if (Message.LParam == SW_PARENTCLOSING && FOwnerHideState != 0)
      FOwnerHideState = IsZoomed(W) ? 3 : IsIconic(W) ? 2 : 1;
    if (Message.LParam == SW_PARENTOPENING && Manager() != nullptr && Manager()->AnimEffects()->Minimizing()->Active() &&
        IsMainForm(FForm)) {
      CallOwnProc(Message);
      return;
    }
  }
  CallOwnProc(Message);
  if (Message.WParam != 1) return;
  if (FForm->FormStyle() == fsMDIChild && IsZoomed(W)) InvalidateFrame();
  if (FForm->FormStyle() == fsMDIForm) AdoptUnskinnedMDIChildren();
  if (FForm->Parent() != nullptr && FForm->FormStyle() != fsMDIChild) FSkinData->CacheDirty = true;
  if (IsWindowVisible(W))
    SetWindowPos(W, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                     SWP_NOSENDCHANGING);
}

void TsSkinProvider::CMVisibleChanged(TMessage& Message) {
  if (Message.WParam == 1 && FDeferredSetUp) {
    FDeferredSetUp = false;
    PrepareForm();
    if (Manager() != nullptr) CheckBorderWindow(Manager()->ExtendedBorders());
  }
  CallOwnProc(Message);
  if (Message.WParam == 0) {
    if (FSkinData->CacheBmp != nullptr && !FormDestroying()) FSkinData->CacheBmp->SetSize(0, 0);
    FreeTitleAnimations();
  } else if (FForm->Parent() != nullptr) {
    RepaintChildrenAfterUpdate(FForm);
  }
}

bool TsSkinProvider::CMVisibleChangedUnskinned(TMessage& Message) {
  TsSkinManager* M = Manager();
  if (Message.WParam == 1 && M != nullptr) M->RescaleControl(FForm, 100);
  const HWND W = FormHandle();
  if (Message.WParam != 0 || !FDrawNonClientArea || Application == nullptr || Application->Terminated() || W == nullptr ||
      M == nullptr || !M->Active())
    return false;
  if (!IsIconic(W) && HideAnimationAllowed(true)) SnapshotForHiding();
  // minimised by the system itself (parked at -32000) while the form still stands: the form follows, with its flight
  RECT R{};
  if (!IsIconic(W) || FForm->WindowState() == wsMinimized || !GetWindowRect(W, &R) || R.left != -32000) return false;
  CallOwnProc(Message);
  FForm->SetWindowState(wsMinimized);
  if (ProviderParts.AnimateMinimizing) ProviderParts.AnimateMinimizing(this);
  return true;
}

void TsSkinProvider::WMClose(TMessage& Message) {
  TsSkinManager* M = Manager();
  const bool Animate = FAllowAnimation && M != nullptr && M->AnimEffects()->FormHide()->Active() &&
                       M->Effects()->AllowAnimation() && FDrawNonClientArea && (FFormState & fsfHiding) == 0 &&
                       FForm->Parent() == nullptr && ProviderParts.MakeAnimationBitmap != nullptr;
  CallOwnProc(Message);
  if (!Animate || FormDestroying()) return;
  SetFormStateFlags(FFormState | fsfHiding);
  if (TBitmap* Snapshot = ProviderParts.MakeAnimationBitmap(this, true)) {
    delete FSkinData->CacheBmp;
    FSkinData->CacheBmp = Snapshot;
  }
  SetFormStateFlags(FFormState & ~fsfHiding);
  FSkinData->CacheDirty = false;
  ShowSnapshotOnBorderWindow();
}

void TsSkinProvider::WMQueryEndSession(TMessage& Message) {
  // No fade starts while the session ends.
  SkinnedSessionEnding = true;
  CallOwnProc(Message);
}

void TsSkinProvider::WMNCDestroyUnskinned(TMessage&) {
  if (FForm->FormStyle() == fsMDIChild && g_MDIMain != nullptr && g_MDIMain != this && g_MDIMain->FMDIForm != nullptr &&
      !Destroying(g_MDIMain) && !Destroying(g_MDIMain->FForm) && g_MDIMain->FSkinData->IsSkinned(false)) {
    g_MDIMain->InvalidateFrame();
    TCustomForm* Main = g_MDIMain->FForm;
    if (Main->ActiveMDIChild() == nullptr && Main->ClientHandle() != nullptr)
      RedrawWindow(Main->ClientHandle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
  }
  if (g_HidingProvider != this && FSnapshotForm != nullptr) FreeAndNil(FSnapshotForm);
}

void TsSkinProvider::CMRecreateWnd(TMessage& Message) { CallOwnProc(Message); }

void TsSkinProvider::RecreateScrollAdapter(TMessage& Message) {
  CallOwnProc(Message);
  if (FScrollAdapter != nullptr && ProviderParts.FreeScrollAdapter) ProviderParts.FreeScrollAdapter(FScrollAdapter);
  FScrollAdapter = nullptr;
  if (const HWND W = FormHandle()) SendSkinCommand(W, VKCMD_REPAINT_AFTER_CHANGE, reinterpret_cast<LPARAM>(Manager()));
}

// ---- child controls and menus ----

void TsSkinProvider::WMParentNotify(TMessage& Message) {
  const WORD Event = LOWORD(Message.WParam);
  TsSkinManager* M = Manager();
  CallOwnProc(Message);
  // children are adapted only while the manager's rules take third-party controls
  if (FForm->ComponentState().Contains(csLoading) || ProviderLoading() || (Event != WM_CREATE && Event != WM_DESTROY) ||
      M == nullptr || !M->SkinningRules().Contains(srThirdParty))
    return;
  if (Event == WM_CREATE && FAdapter != nullptr) {
    const auto Child = reinterpret_cast<HWND>(Message.LParam);
    if (Message.LParam == 0) {
      if (ProviderParts.WalkControlsOf) ProviderParts.WalkControlsOf(FAdapter, FForm);
    } else if (IsWindow(Child)) {
      if (TWinControl* C = FindControlByDlgID(GetDlgCtrlID(Child), FForm)) {
        if (ProviderParts.WalkControlsOf) ProviderParts.WalkControlsOf(FAdapter, C);
      } else if (ProviderParts.AddWindow) {
        ProviderParts.AddWindow(FAdapter, Child);
      }
    }
  }
  // a child coming or going may change the form's scroll ranges
  if (FDrawNonClientArea && FScrollAdapter != nullptr && ProviderParts.ReloadScrollBars) ProviderParts.ReloadScrollBars(FScrollAdapter);
}

void TsSkinProvider::WMNotify(TMessage& Message) {
  CallOwnProc(Message);
  const auto* H = reinterpret_cast<const NMHDR*>(Message.LParam);
  if (H != nullptr && H->code == static_cast<UINT>(NM_CUSTOMDRAW) && FAdapter != nullptr && ProviderParts.WalkControlsOf)
    ProviderParts.WalkControlsOf(FAdapter, FForm);
}

void TsSkinProvider::CMControlListChange(TMessage& Message) {
  CallOwnProc(Message);
  if (Message.LParam == 0 || FAdapter == nullptr || !ProviderParts.AddItem) return;
  if (auto* W = As<TWinControl>(reinterpret_cast<TControl*>(Message.WParam))) ProviderParts.AddItem(FAdapter, W);
}

void TsSkinProvider::WMContextMenu(TMessage& Message) {
  TsSkinManager* M = Manager();
  if (FForm->PopupMenu() != nullptr && M != nullptr && M->SkinableMenus() != nullptr && FormServices.InitPopupMenu)
    FormServices.InitPopupMenu(M->SkinableMenus(), reinterpret_cast<TMenu*>(FForm->PopupMenu()), M->SkinnedPopups());
  CallOwnProc(Message);
}

