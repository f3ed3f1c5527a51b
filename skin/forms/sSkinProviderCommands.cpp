// The form's side of the library's command message (skin applied, removed, repaint after change, background
// and state questions of its children) and of the link with an external skin editor.
#include <algorithm>
#include <cstring>

#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkMainWndHook.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/graphics/vkParentBg.h"

namespace {

bool g_TakingEditorSkin = false;

int StateCount(TsSkinManager* M, int Index) {
  return M != nullptr && M->SectionIndexInRange(Index) ? std::clamp(M->gd()[Index].States, 1, 3) : 1;
}

}  // namespace

bool TsSkinProvider::FilterSkinCommand(TMessage& Message) {
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED:
      FreeTitleAnimations();
      if (!FormDestroying() && FSkinData != nullptr &&
          FSkinData->SkinManager() == reinterpret_cast<TsSkinManager*>(Message.LParam) && FSystemMenu == nullptr)
        SetUpFormSkinning();
      return false;
    case VKCMD_SKIN_DROPPED: {
      auto* M = reinterpret_cast<TsSkinManager*>(Message.LParam);
      if (FSkinData == nullptr) return true;
      // the controls hear of it from here unless the sender tells them itself, after the form
      const bool PassOn = FForm != nullptr && SkinCommandLow(Message.WParam) != VKCMD_SENDER_TELLS_CONTROLS;
      if (FSkinData->SkinManager() != M) {
        ProcessSkinCommand(Message, FSkinData);
        if (PassOn) BroadcastToChildControls(FForm, Message);
        return true;
      }
      if (FScrollAdapter != nullptr && ProviderParts.FreeScrollAdapter) ProviderParts.FreeScrollAdapter(FScrollAdapter);
      FScrollAdapter = nullptr;
      if (const HWND W = FormHandle()) SetDwmTransitionsForceDisabled(W, false, 0);
      ProcessSkinCommand(Message, FSkinData);
      FHotButtonIndex = FTitleIndex = FCaptionIndex = -1;
      if (PassOn) BroadcastToChildControls(FForm, Message);
      RemoveAdapter();
      FreeTitleAnimations();
      if (FSkinData->SkinManager() != nullptr) ClearMenuBgCache();
      if (FForm == nullptr || Destroying(FForm)) return true;
      const HWND W = FormHandle();
      if (FSkinData->SkinManager() != nullptr) {
        SkinFormMenus(false);
        SetSystemMenuStyle(false);
        if (FForm->FormStyle() == fsMDIForm && FMDIForm != nullptr) SetMDIWrapper(false);
        if (HasCaption() && !FMenuLoop && W != nullptr) SetWindowRgn(W, nullptr, TRUE);
        FRegionPending = true;
        RefreshMenuBar();
        if (FUseGlobalColor && !FSkinData->CustomColor()) FForm->SetColor(clBtnFace);
        CheckBorderWindow(false);
        if (FForm->AlphaBlend() && W != nullptr) SetLayeredAlpha(W, true, static_cast<BYTE>(FForm->AlphaBlendValue()));
        // the client window, its adapter gone, paints itself unskinned at once
        RedrawMDIClient(kRedrawFull);
      }
      for (int i = 0; i < FForm->ComponentCount(); ++i)
        if (auto* L = As<TCustomLabel>(FForm->Components(i))) SkinLabelFont(L, false);
      if (FSkinData->CacheBmp != nullptr) FSkinData->CacheBmp->SetSize(0, 0);
      if (W != nullptr) {
        SetClassLongPtrA(W, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
        SendSkinCommand(W, VKCMD_4D, 0);
      }
      return true;
    }
    case VKCMD_QUERY_SKINNED:
      Message.Result = 1;
      return true;
    case VKCMD_UPDATES_UNLOCKED:
      if (FSkinData != nullptr && (FSkinData->StateFlags & 0x400) != 0) {
        FSkinData->StateFlags &= ~0x400;
        if (const HWND W = FormHandle()) SendSkinMessage(W, CM_MENUCHANGED, 0, 0);
      }
      return false;
    case VKCMD_QUERY_PARENT_BG: {
      if (FSkinData == nullptr || !FSkinData->IsSkinned(false) || Message.LParam == 0) return false;
      auto& Q = *reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
      int OX = 0, OY = 0;
      TsSkinManager* M = Manager();
      if (FSkinData->CacheDirty && (!FSkinData->Updating || FShowAnimating)) {
        // extended borders are due but their window is not made yet: the child asks again later
        if (FBorderForm == nullptr && M->GetExtendedBorders() && ProviderParts.NewBorderForm && !FormZoomed() &&
            FForm->BorderStyle() != bsNone)
          return false;
        PaintFormFrame();
      }
      if (Q.ClientCoords != 0) {
        OX += GetClientOffsetLeft();
        OY += GetClientOffsetTop();
      }
      if (FForm->OnPaint && FSkinData->CacheBmp != nullptr) {
        Q.Bmp = FSkinData->CacheBmp;
        Q.OffsetX += GetClientOffsetLeft();
        Q.OffsetY += GetClientOffsetTop();
        Q.Kind = bgkBitmap;
        Message.Result = 1;
        return true;
      }
      const int State = FSkinData->SkinIndex < 0 ? 0 : std::min(FFormActive ? 1 : 0, StateCount(M, FSkinData->SkinIndex) - 1);
      AnswerBackgroundRequest(FSkinData, Q, State);
      if (Q.Kind == bgkBitmap && Q.ClientCoords == 0 && Q.Bmp == nullptr) {
        PaintFormFrame();
        Q.Bmp = FSkinData->CacheBmp;
      }
      OX += GetClientOffsetLeft();
      OY += GetClientOffsetTop();
      if (Q.Kind == bgkBitmap) {
        Q.OffsetX += OX;
        Q.OffsetY += OY;
      }
      if (OX != 0) Q.ClipX = std::max(0, Q.ClipX - OX);
      if (OY != 0) Q.ClipY = std::max(0, Q.ClipY - OY);
      Message.Result = 1;
      return true;
    }
    case VKCMD_QUERY_APPLICATION:
      Message.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    case VKCMD_QUERY_CLIENT_OFFSET:
      Message.Result = MAKELONG(GetClientOffsetLeft(), GetClientOffsetTop());
      return true;
    case VKCMD_SET_SCALE: {
      const int P = static_cast<int>(Message.LParam);
      const int O = FSkinData != nullptr && FSkinData->ScalePercent > 0 ? FSkinData->ScalePercent : 100;
      ResetHotElement();
      FAddedTitle->Font()->SetHeight(MulDiv(FAddedTitle->Font()->Height(), P, O));
      FFormHeader->SetAdditionalHeight(MulDiv(FFormHeader->AdditionalHeight(), P, O));
      if (FSkinData != nullptr) ProcessSkinCommand(Message, FSkinData);
      if (FTitleBar != nullptr) RescaleTitleBar(P);
      if (FForm != nullptr) BroadcastToChildControls(FForm, Message);
      return true;
    }
    case VKCMD_QUERY_SCALE:
      Message.Result = FSkinData != nullptr ? FSkinData->ScalePercent : 100;
      return true;
    case VKCMD_PAINTED_TO_BITMAP:
    case VKCMD_4D:
    case VKCMD_4E:
    case VKCMD_4F:
    case VKCMD_50:
    case VKCMD_51:
      CallOwnProc(Message);
      return true;
    default:
      return false;
  }
}

void TsSkinProvider::SkinCommand(TMessage& Message) {
  TsSkinManager* M = Manager();
  const HWND W = FormHandle();
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED: {
      if (FSkinData->SkinManager() != reinterpret_cast<TsSkinManager*>(Message.LParam)) break;
      ClearMenuBgCache();
      FSkinData->RefreshSectionIndex(true);
      UpdateTitleSectionIndexes();
      if (FSkinData->CacheBmp != nullptr) FSkinData->CacheBmp->SetSize(0, 0);
      if (M != nullptr) {
        InitTitleButtonIndexes();
        SetSystemMenuStyle(FDrawNonClientArea);
        if (M->SkinableMenus() != nullptr && FormServices.SyncMenusActive) FormServices.SyncMenusActive(M->SkinableMenus());
        FSkinData->CacheDirty = true;
        FHotButtonIndex = -1;
        InitTitleBarItems();
        PerformFormMessage(WM_NCPAINT, 0, 0);
        if (FForm->FormStyle() == fsMDIForm) SetMDIWrapper(true);
      }
      // the items' fades hold pictures of the old skin
      FreeTitleBarAnimations();
      break;
    }
    case VKCMD_REPAINT_AFTER_CHANGE: {
      if (FSkinData->SkinManager() != reinterpret_cast<TsSkinManager*>(Message.LParam)) break;
      if (FAdapter != nullptr && ProviderParts.WalkControlsOf)
        ProviderParts.WalkControlsOf(FAdapter, FForm);
      else if (FAdapter == nullptr)
        CreateAdapter();
      if (FDrawNonClientArea && FDrawClientArea) UpdateFormScrollAdapter();
      FHotButtonIndex = -1;
      if (M != nullptr && !TsSkinManager::SkinIsLoading()) {
        RefreshMenuBar();
        SkinFormMenus(FSkinData->IsSkinned(false));
      }
      if (HasCaption()) FFrameDirty = true;
      InitTitleBarItems();
      if (FForm->Visible()) {
        FSkinData->CacheDirty = true;
        CheckBorderWindow(M != nullptr && M->ExtendedBorders());
        if (!InAnimationProcess && W != nullptr) {
          if (UnderMaximisedChild()) {
            // the maximised child covers the client: the frame and the child are what shows
            PerformFormMessage(WM_NCPAINT, 0, 0);
            TCustomForm* Child = FForm->ActiveMDIChild();
            if (Child->HandleAllocated()) InvalidateRect(Child->Handle(), nullptr, TRUE);
          } else {
            const UINT Flags = RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME;
            RedrawWindow(W, nullptr, nullptr, Flags);
            RedrawMDIClient(Flags);
          }
        }
        if (FUseGlobalColor && !FSkinData->CustomColor() && M != nullptr) FForm->SetColor(M->SkinBaseColor());
        FSkinData->Updating = false;
        SendToAdapters(Message);
        UpdateBorder(true, 255);
        if (W != nullptr) SendSkinCommand(W, VKCMD_4D, 0);
      }
      if (W != nullptr && M != nullptr && M->PaletteBrush(0) != nullptr)
        SetClassLongPtrA(W, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(M->PaletteBrush(0)));
      break;
    }
    case VKCMD_QUERY_FORM_SKINNER:
      Message.Result = reinterpret_cast<LRESULT>(this);
      break;
    case VKCMD_PARENT_UPDATE_DONE:
      if (FSkinData->Updating) {
        if (!FSkinData->RecheckUpdating(true)) {
          ApplyWindowRegion(true, false);
          if (W != nullptr)
            RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
      }
      RepaintChildrenAfterUpdate(FForm);
      break;
    case VKCMD_SET_UPDATE_STATE:
      FSkinData->Updating = SkinCommandLow(Message.WParam) == 1;
      if (FSkinData->IsUpdating()) FSkinData->CacheDirty = true;
      break;
    case VKCMD_QUERY_UPDATE_STATE:
      Message.Result = !InAnimationProcess && FSkinData->Updating ? 1 : 0;
      break;
    case VKCMD_MARK_FOR_UPDATE:
      FSkinData->CacheDirty = true;
      break;
    case VKCMD_QUERY_BG_READY: {
      int V = 0;
      if (const TsGeneralData* G = FSkinData->Section(); G != nullptr) {
        if (G->Props[0].ImagePercent + G->Props[0].GradientPercent >= 1)
          V = 1;
        else if (M->MaskIndexInRange(FSkinData->BorderIndex) && (M->ma()[FSkinData->BorderIndex].DrawMode & 4) != 0)
          V = 1;
      }
      Message.LParam = V;
      Message.Result = V;
      break;
    }
    case VKCMD_QUERY_BG_COLOR:
      Message.Result = static_cast<LRESULT>(SkinBackgroundColor(FSkinData, 0, nullptr));
      break;
    case VKCMD_REFRESH_CACHE:
      if ((M != nullptr && M->Updating()) || !FSkinData->CacheDirty || FSkinData->Updating) break;
      PaintFormFrame();
      if (FSkinData->CacheDirty && (FForm->ControlState().Contains(csCreating) ||
                                    (FFormState & (fsfHiding | fsfMoveFade)) != 0 || FSkinData->SkinIndex < 0))
        FSkinData->CacheDirty = false;
      break;
    case VKCMD_ADAPT_CONTROL:
      if (FForm != nullptr && !FForm->ComponentState().Contains(csLoading) && FAdapter != nullptr &&
          ProviderParts.WalkControlsOf) {
        auto* C = reinterpret_cast<TWinControl*>(Message.LParam);
        ProviderParts.WalkControlsOf(FAdapter, C != nullptr ? C : FForm);
      }
      break;
    case VKCMD_MOUSE_LEFT:
      ResetHotElement();
      FPressed = false;
      break;
    case VKCMD_SUSPEND_REDRAW:
      if (FSkinData->UsesParentBackground()) FForm->Perform(WM_SETREDRAW, 0, 0);
      break;
    case VKCMD_RESUME_REDRAW:
      if (FSkinData->UsesParentBackground()) {
        FForm->Perform(WM_SETREDRAW, 1, 0);
        if (W != nullptr) RedrawWindow(W, nullptr, nullptr, kRedrawFull);
        if (g_MDIMain == this) RedrawMDIClient(kRedrawFull & ~RDW_ERASE);
      }
      break;
    case VKCMD_FORM_REFRESH:
      if (Message.LParam == 1) {
        FSkinData->CacheDirty = true;
        InitTitleBarItems();
      }
      RedrawFrameNow();
      break;
    case VKCMD_SET_SIZING_STYLE:
      SetFormStateFlags(Message.LParam == 1 ? FFormState | fsfGluedMove : FFormState & ~fsfGluedMove);
      break;
    case VKCMD_40:
      Message.Result = (FFormState & fsfGluedMove) != 0 ? 1 : 0;
      break;
    case VKCMD_SET_FRAME_OPACITY: {
      if (W == nullptr || !IsWindowVisible(W)) break;
      const BYTE Alpha = static_cast<BYTE>(Message.LParam & 0xFF);
      // a border window without a picture yet (the frame not painted) shows nothing
      if (FBorderForm != nullptr && FormServices.BorderLayeredWindow && FSkinData->CacheBmp != nullptr && !FSkinData->CacheBmp->Empty()) {
        if (TvkGlowForm* L = FormServices.BorderLayeredWindow(FBorderForm))
          if (auto* LW = reinterpret_cast<TWinControl*>(L); LW->HandleAllocated())
            UpdateLayeredPremultiplied(LW->Handle(), FSkinData->CacheBmp, Alpha, POINT{LW->Left(), LW->Top()});
      }
      const LONG Ex = WindowExStyle(W);
      if (Message.LParam != 255) {
        if ((Ex & WS_EX_LAYERED) == 0) SetWindowLongA(W, GWL_EXSTYLE, Ex | WS_EX_LAYERED);
        Platform().SetLayeredWindowAttributes(W, 0, Alpha, LWA_ALPHA);
      } else if ((Ex & WS_EX_LAYERED) != 0) {
        SetWindowLongA(W, GWL_EXSTYLE, Ex & ~WS_EX_LAYERED);
      }
      break;
    }
    case VKCMD_QUERY_STATE_SECTION: {
      if (Message.LParam == 0) break;
      auto& Req = *reinterpret_cast<TvkStateSectionRequest*>(Message.LParam);
      if (FFormHeader->AdditionalHeight() >= 1 && FHeaderIndex >= 0 && FFormHeader->AdditionalHeight() > Req.R.top) {
        Req.SectionIndex = FHeaderIndex;
        Message.Result = 1;
      } else if (M != nullptr && M->SkinData().Version < 10.25) {
        Message.Result = -1;
      } else {
        Req.SectionIndex = Req.State < StateCount(M, FSkinData->SkinIndex) ? FSkinData->SkinIndex : -1;
        Message.Result = 1;
      }
      break;
    }
    case VKCMD_QUERY_FRAME_WIDTH: {
      Message.Result = 1;
      const int Kept = FScrollAdapter != nullptr && ProviderParts.ScrollFrameWidth ? ProviderParts.ScrollFrameWidth(FScrollAdapter) : 0;
      if (Kept != 0) {
        Message.Result = Kept - FForm->BorderWidth();
      } else if (FormIconic()) {
        // an iconic window has no client area: half its width is no frame (the frame picture went negative)
        Message.Result = Message.LParam;
      } else {
        const int R = (FForm->Width() - FForm->ClientWidth()) / 2 - FForm->BorderWidth();
        Message.Result = R != 0 ? R : Message.LParam;
      }
      break;
    }
    default:
      break;
  }
}

bool TsSkinProvider::SkinCommandUnskinned(TMessage& Message) {
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED: {
      if (FormDestroying() || FSkinData == nullptr) return false;
      TsSkinManager* M = FSkinData->SkinManager();
      if (M != reinterpret_cast<TsSkinManager*>(Message.LParam)) return true;
      FreeTitleAnimations();
      ClearMenuBgCache();
      FSkinData->RefreshSectionIndex(true);
      UpdateTitleSectionIndexes();
      if (M != nullptr) {
        FCaptionZoom = FBorderForm != nullptr && FormZoomed() &&
                       GetSkinTitleHeightByState(false) > GetStdCaptionHeight(FForm) + 4;
        SetSystemMenuStyle(true);
        InitTitleButtonIndexes();
        // an MDI main form is drawn active while its active child is the screen's active form
        TCustomForm* Child = FForm->FormStyle() == fsMDIForm ? FForm->ActiveMDIChild() : nullptr;
        FFormActive = FForm->Active() || (Child != nullptr && Screen != nullptr && Screen->ActiveForm() == Child);
        if (!TsSkinManager::SkinIsLoading()) {
          FMenuLineReady = FormMainMenu(FForm) != nullptr && FSavedMenuOwnerDraw;
          SkinFormMenus(true);
          if (!FMenuLineReady) FMenuLineReady = RefreshMenuBar();
          if (FAdapter != nullptr && ProviderParts.IsControlToSkin)
            for (int i = 0; i < FForm->ComponentCount(); ++i)
              if (auto* L = As<TCustomLabel>(FForm->Components(i)); L != nullptr && ProviderParts.IsControlToSkin(FAdapter, L))
                SkinLabelFont(L, true);
        }
        FSkinData->CacheDirty = true;
        FHotButtonIndex = -1;
        if (FForm->FormStyle() == fsMDIForm) SetMDIWrapper(true);
        InitTitleBarItems();
        if (const HWND W = FormHandle()) SetDwmTransitionsForceDisabled(W, FDrawNonClientArea, 0);
      }
      if (FAdapter != nullptr && ProviderParts.WalkControlsOf)
        ProviderParts.WalkControlsOf(FAdapter, FForm);
      else if (FAdapter == nullptr)
        CreateAdapter();
      return true;
    }
    case VKCMD_QUERY_FORM_SKINNER:
      Message.Result = reinterpret_cast<LRESULT>(this);
      return true;
    case VKCMD_REFRESH_CACHE:
      if (FSkinData != nullptr) FSkinData->CacheDirty = false;
      return true;
    default:
      return false;
  }
}

void TsSkinProvider::WMCopyData(TMessage& Message) {
  CallOwnProc(Message);
  if (Message.Result != 0 || FormHandle() != g_LinkedEditor || g_LinkedEditor == nullptr || g_TakingEditorSkin) return;
  g_TakingEditorSkin = true;
  TvkEditorPreviewBlock Block;
  if (AcceptEditorPreview(Message.WParam, reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam), Block) &&
      StoreEditorPreview(Block) && Application != nullptr)
    PostMessageA(Application->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_LOAD_EDITOR_SKIN), 0);
  g_TakingEditorSkin = false;
}

void TsSkinProvider::EditorCommand(TMessage& Message) {
  switch (Message.WParam) {
    case 1: FForm->Close(); break;
    case 3: CallOwnProc(Message); break;
    case 4: Message.Result = 1; break;
    default: break;
  }
}
