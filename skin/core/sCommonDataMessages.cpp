// The common message handling of skinned windows: ProcessCommonSkinMessage and the skin commands
// (ProcessSkinCommand).
#include <algorithm>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/graphics/vkParentBg.h"

namespace {

bool Destroying(const TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }
bool Designing(const TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDesigning); }

void StopFade(TsCommonData* D) {
  if (D->AnimTimer != nullptr && AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(D);
}
void HideGlow(TsCommonData* D, bool Animated) {
  if (D->GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(D->GlowId, Animated);
}

// Normal and hot states both fully transparent: the owner shows only its parent.
bool FullyTransparent(const TsGeneralData& G) { return G.Props[0].Transparency == 100 && G.Props[1].Transparency == 100; }

TWinControl* WindowedOwner(TsCommonData* D) {
  auto* Win = As<TWinControl>(D->OwnerControl);
  return Win != nullptr && Win->HandleAllocated() ? Win : nullptr;
}

// The owner's Color and Font.Color take state S's colours (each unless custom or already so). True when one
// changed.
bool ApplyStateColors(TsCommonData* D, const TsGeneralData& G, int S) {
  TControl* C = D->OwnerControl;
  const TsGenState& St = G.Props[std::min(S, 2)];
  bool Changed = false;
  if (!D->CustomColor() && C->Color() != static_cast<TColor>(St.Color)) {
    C->SetColor(static_cast<TColor>(St.Color));
    Changed = true;
  }
  if (!D->CustomFont() && C->Font()->Color() != static_cast<TColor>(St.FontColor)) {
    D->StateFlags |= sfSkinSetsFont;
    C->Font()->SetColor(static_cast<TColor>(St.FontColor));
    D->StateFlags &= ~sfSkinSetsFont;
    Changed = true;
  }
  return Changed;
}

// A command with a low word to a child control: its window by the skin-aware send, else Perform.
LRESULT SendChildCommand(TControl* Child, WORD Cmd, WORD Low, LPARAM LParam) {
  if (Destroying(Child)) return 0;
  if (auto* W = As<TWinControl>(Child)) {
    if (!W->HandleAllocated()) return 0;
    return SendSkinMessage(W->Handle(), SM_VKCMD, SkinCommandWParam(Cmd, Low), LParam);
  }
  return Child->Perform(SM_VKCMD, SkinCommandWParam(Cmd, Low), LParam);
}

void BroadcastCommand(TWinControl* Win, WORD Cmd, WORD Low, LPARAM LParam) {
  TMessage M{SM_VKCMD, SkinCommandWParam(Cmd, Low), LParam, 0};
  BroadcastToChildControls(Win, M);
}

// Steps 6 of the common handling: focus moves the colours of edit-like owners.
void FocusChanged(TsCommonData* D, bool Gained) {
  auto* Win = WindowedOwner(D);
  const TsGeneralData* G = D->IsSkinned() ? D->Section() : nullptr;
  if (Win == nullptr || G == nullptr || !Win->CanFocus() || FullyTransparent(*G)) return;
  if (Gained && !Win->Showing()) return;
  D->CacheDirty = true;
  D->Focused = Gained;
  bool Changed = false;
  if (SkinColorTypes.Contains(D->CtrlType)) {
    if (Gained && G->States >= 2)
      Changed = ApplyStateColors(D, *G, 1);
    else if (!Gained && D->CurrentState() == 0)
      Changed = ApplyStateColors(D, *G, 0);
    else if (Gained)
      return;
  } else {
    return;
  }
  if (!Win->Visible()) return;
  D->CacheDirty = true;
  if (Changed) RedrawWindow(Win->Handle(), nullptr, nullptr, 0x585);
  SendSkinMessage(Win->Handle(), WM_NCPAINT, 0, 0);
}

// The library's hint manager shows the application's hint again where the pointer is.
void ActivateLibraryHint() {
  if (LibraryHintManagerActive == nullptr || !LibraryHintManagerActive() || Application == nullptr) return;
  POINT P{};
  Platform().GetCursorPos(&P);
  Application->ActivateHint(P);
}

void MouseEntered(TsCommonData* D) {
  TsSkinManager* M = D->SkinManager();
  const TsGeneralData* G = D->IsSkinned() ? D->Section() : nullptr;
  if (G == nullptr || D->Hot || Designing(M) || M->Options()->NoMouseHover()) return;
  auto* Win = WindowedOwner(D);
  if (Win == nullptr || FullyTransparent(*G) || Designing(Win)) {
    if (!NoHotStateTypes.Contains(D->CtrlType)) D->Hot = true;
    ActivateLibraryHint();
    return;
  }
  if (!NoHotStateTypes.Contains(D->CtrlType)) D->Hot = true;
  if (TsSkinManager* Def = TsSkinManager::DefaultManager()) Def->ChangeHotWindow(Win->Handle());
  if (!NoHoverTypes.Contains(D->CtrlType) && AnimationGlue.ShowControlGlow) {
    const bool Animated = M->Effects()->AllowAnimation();
    AnimationGlue.ShowControlGlow(D, true, Win->Handle(), -1, Animated, Animated ? 0 : 255);
  }
  if (SkinColorTypes.Contains(D->CtrlType) && G->States >= 2 && !EditHoverTypes.Contains(D->CtrlType)) {
    if (ApplyStateColors(D, *G, 1)) InvalidateRect(Win->Handle(), nullptr, TRUE);
    SendSkinMessage(Win->Handle(), WM_NCPAINT, 0, 0);
  }
  ActivateLibraryHint();
}

void MouseLeft(TsCommonData* D) {
  TsSkinManager* M = D->SkinManager();
  const TsGeneralData* G = D->IsSkinned() ? D->Section() : nullptr;
  if (G == nullptr || D->OwnerControl == nullptr || Designing(M) || M->Options()->NoMouseHover()) return;
  if (D->CursorStillInside()) return;
  if (!NoHotStateTypes.Contains(D->CtrlType)) D->Hot = false;
  if (!NoHoverTypes.Contains(D->CtrlType) && !OwnGlowTypes.Contains(D->CtrlType)) HideGlow(D, true);
  auto* Win = WindowedOwner(D);
  if (Win != nullptr && SkinColorTypes.Contains(D->CtrlType) && D->CurrentState() == 0) {
    if (ApplyStateColors(D, *G, 0)) InvalidateRect(Win->Handle(), nullptr, TRUE);
    SendSkinMessage(Win->Handle(), WM_NCPAINT, 0, 0);
  }
}

void VisibleChanged(TsCommonData* D, bool Visible) {
  if (!Visible) HideGlow(D, false);
  TsSkinManager* M = D->SkinManager();
  if (M == nullptr || M->Options()->OptimizingPriority() != opMemory || D->OwnerControl == nullptr ||
      Destroying(D->OwnerControl) || D->CacheBmp == nullptr)
    return;
  if (!Visible) {
    // an invisible control keeps no image in memory, and neither do its children
    D->CacheBmp->SetSize(0, 0);
    if (auto* Win = As<TWinControl>(D->OwnerControl))
      for (int i = 0; i < Win->ControlCount(); ++i) {
        TControl* Child = Win->Controls(i);
        if (auto* W = As<TWinControl>(Child)) {
          if (W->HandleAllocated()) SendSkinCommand(W->Handle(), VKCMD_DROP_CACHES, 0);
        } else {
          Child->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_DROP_CACHES), 0);
        }
      }
  } else {
    D->Updating = false;
  }
  D->CacheDirty = true;
}

void ResetHover(TsCommonData* D) {
  D->Hot = false;
  D->Focused = false;
  D->CacheDirty = true;
  if (D->OwnerControl != nullptr && !D->OwnerControl->Enabled()) HideGlow(D, false);
}

}  // namespace

bool ProcessCommonSkinMessage(TMessage& Message, TsCommonData* D) {
  if (D == nullptr) return false;
  switch (Message.Msg) {
    case WM_UPDATEUISTATE:
      if (D->IsSkinned()) return true;
      if (AreThemesEnabled())
        if (auto* Win = WindowedOwner(D))
          if (TSetWindowThemeProc SetTheme = SetWindowThemeEntry()) SetTheme(Win->Handle(), nullptr, nullptr);
      return false;
    case WM_CREATE:
    case WM_NCCREATE:
      D->AttachToHandle();
      return false;
    case WM_MOVE:
      if (D->IsSkinned()) {
        if (D->OuterEffectsAllowed()) D->InvalidateParentCache();
        if (D->UsesParentBackground()) {
          D->CacheDirty = true;
          if (D->OwnerControl != nullptr) D->SendOwnerCommand(VKCMD_BG_CHANGED, 1, 0);
        }
        HideGlow(D, false);
      }
      return false;
    case WM_SIZE:
      if (D->IsSkinned()) {
        D->CacheDirty = true;
        if (D->OuterEffectsAllowed()) D->InvalidateParentCache();
        auto* Win = As<TWinControl>(D->OwnerControl);
        if (D->Section()->Props[0].GradientPercent > 0 && Win != nullptr && !Destroying(Win))
          for (int i = 0; i < Win->ControlCount(); ++i) SendChildCommand(Win->Controls(i), VKCMD_BG_CHANGED, 1, 0);
        if (!D->AnimationRunning()) HideGlow(D, false);
      }
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusChanged(D, Message.Msg == WM_SETFOCUS);
      return false;
    case WM_SHOWWINDOW:
      StopFade(D);
      return false;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
      ResetHover(D);
      return false;
    case WM_CONTEXTMENU:
      // the popup menu follows whether the manager skins at all
      if (D->OwnerControl != nullptr && D->OwnerControl->PopupMenu() != nullptr)
        if (TsSkinManager* M = D->SkinManager(); M != nullptr && M->SkinableMenus() != nullptr && FormServices.InitPopupMenu)
          FormServices.InitPopupMenu(M->SkinableMenus(), D->OwnerControl->PopupMenu(), M->Active());
      return false;
    case WM_PARENTNOTIFY:
      if (LOWORD(Message.WParam) == WM_CREATE && WindowedOwner(D) != nullptr) AskFormToAdaptControl(D->OwnerControl);
      return false;
    case WM_PRINT: {
      auto* Win = WindowedOwner(D);
      if (Message.WParam == 0 || D->IsSkinned() || Win == nullptr || D->FPrintingUnskinned) return false;
      // the control paints itself through its own procedure (this handler then stands aside), and its
      // graphic children follow; the library asks with no flags meaning "your face"
      D->FPrintingUnskinned = true;
      try {
        TMessage Own = Message;
        if (Own.LParam == 0) Own.LParam = PRF_ERASEBKGND | PRF_CLIENT;
        if (!D->SavedWindowProc.IsNull()) D->SavedWindowProc(Own);
        Message.Result = Own.Result;
      } catch (...) {
        D->FPrintingUnskinned = false;
        throw;
      }
      D->FPrintingUnskinned = false;
      const bool Edge = (GetWindowLongA(Win->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
      PaintGraphicChildren(reinterpret_cast<HDC>(Message.WParam), Win, true, Edge ? POINT{2, 2} : POINT{0, 0});
      return true;
    }
    case SM_VKCMD:
      return ProcessSkinCommand(Message, D);
    case CM_MOUSEENTER:
      MouseEntered(D);
      return false;
    case CM_MOUSELEAVE:
      MouseLeft(D);
      return false;
    case CM_SHOWINGCHANGED:
      if (D->OwnerControl != nullptr && D->OwnerControl->Visible()) D->FinishLoading(true);
      return false;
    case CM_VISIBLECHANGED:
      VisibleChanged(D, Message.WParam != 0);
      return false;
    default:
      return false;
  }
}

namespace {

// VKCMD_QUERY_UPDATE_STATE: 1 while the owner cannot paint (yet).
LRESULT AnswerUpdateState(TsCommonData* D) {
  if (D->RecheckUpdating(false)) return 1;
  auto* Win = WindowedOwner(D);
  if (Win == nullptr || D->CustomColor()) return 0;
  TBitmap* Cache = D->CacheBmp;
  if (Cache != nullptr && !Cache->Empty() && !D->CacheDirty)
    return Cache->Width() != Win->Width() || Cache->Height() != Win->Height() ? 1 : 0;
  SendSkinCommand(Win->Handle(), VKCMD_REFRESH_CACHE, 0);
  return D->CacheBmp == nullptr || D->CacheBmp->Empty() ? 1 : 0;
}

// VKCMD_QUERY_BG_COLOR of an owner control.
TColor AnswerBackgroundColor(TsCommonData* D) {
  TControl* C = D->OwnerControl;
  const TsGeneralData* G = D->IsSkinned() ? D->Section() : nullptr;
  if (G == nullptr) return ColorToRGB(C->Color());
  const int t = G->Props[0].Transparency;
  const TColor S = G->Props[0].Color;
  if (t == 0) return S;
  TColor Parent;
  if (TWinControl* P = C->Parent())
    Parent = ControlHasSkin(P, false) ? static_cast<TColor>(SendControlCommand(P, VKCMD_QUERY_BG_COLOR, 0))
                                      : ColorToRGB(P->Color());
  else
    Parent = ColorToRGB(C->Color());
  if (t == 100) return Parent;
  return static_cast<TColor>(MixBackgroundColor(Parent, S, t));
}

// VKCMD_QUERY_STATE_SECTION.
bool AnswerStateSection(TsCommonData* D, TMessage& Message) {
  auto* Req = reinterpret_cast<TvkStateSectionRequest*>(Message.LParam);
  const TsGeneralData* G = D->IsSkinned() ? D->Section() : nullptr;
  if (Req == nullptr || G == nullptr) return false;
  if (D->StateIsTranslucent(Req->State)) {
    if (D->OwnerControl != nullptr && D->OwnerControl->Parent() != nullptr)
      Message.Result = QuerySectionFromControl(D->OwnerControl->Parent(), *Req);
    else if (const HWND Own = D->OwnerWindow())
      Message.Result = SendSkinCommand(GetParent(Own), VKCMD_QUERY_STATE_SECTION, Message.LParam);
    return true;
  }
  if (G->States > Req->State) {
    Req->SectionIndex = D->SkinIndex;
    Message.Result = 1;
  } else {
    Req->SectionIndex = -1;
    Message.Result = -1;
  }
  return true;
}

// VKCMD_SKIN_DROPPED on data of the manager that dropped its skin.
void SkinDropped(TsCommonData* D, TsSkinManager* M) {
  StopFade(D);
  if (Destroying(M) && D->OwnSkinManager() == M) D->SetSkinManager(nullptr);
  D->BorderIndex = -1;
  D->SkinIndex = -1;
  D->Updating = true;
  if (D->CacheBmp != nullptr) D->CacheBmp->SetSize(0, 0);
  TControl* C = D->OwnerControl;
  auto* Win = WindowedOwner(D);
  if (C != nullptr && SkinColorTypes.Contains(D->CtrlType)) {
    if (!D->CustomColor()) C->SetColor(clWindow);
    if (!D->CustomFont()) C->Font()->SetColor(clWindowText);
    if (Win != nullptr) RedrawWindow(Win->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_FRAME);
  }
  if (Win != nullptr) {
    for (int i = 0; i < Win->ControlCount(); ++i)
      if (TControl* Child = Win->Controls(i); Child->ClassInfo() == TLabel::StaticClassInfo())
        Child->Font()->SetColor(clWindowText);
    SetClassLongPtrA(Win->Handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
  }
}

}  // namespace

bool ProcessSkinCommand(TMessage& Message, TsCommonData* D) {
  if (D == nullptr || Message.Msg != SM_VKCMD) return false;
  const WORD Cmd = SkinCommandCode(Message.WParam);
  const WORD Low = SkinCommandLow(Message.WParam);
  TsSkinManager* M = D->SkinManager();
  const bool OwnManager = Message.LParam != 0 && reinterpret_cast<TsSkinManager*>(Message.LParam) == M;
  auto* Win = WindowedOwner(D);
  switch (Cmd) {
    case VKCMD_SKIN_APPLIED:
      if (!OwnManager) return false;
      StopFade(D);
      D->SetDefaultSection();
      if (!D->SkinSection().empty()) {
        const char* Name = D->SkinSection().c_str();
        D->FindFirstSection(&Name, 0);
      } else {
        // the owner names its section itself: ask it again for the new skin
        D->RefreshSectionIndex(true);
      }
      if (D->CacheBmp != nullptr) D->CacheBmp->SetSize(0, 0);
      return true;
    case VKCMD_SKIN_DROPPED:
      if (OwnManager && D->SkinIndex >= 0) SkinDropped(D, M);
      return false;
    case VKCMD_REPAINT_AFTER_CHANGE:
      if (!OwnManager) return false;
      StopFade(D);
      D->CacheDirty = true;
      D->Updating = false;
      D->ApplySkinColors(true);
      if (Win != nullptr && FrameChangeTypes.Contains(D->CtrlType))
        SetWindowPos(Win->Handle(), nullptr, 0, 0, 0, 0, 0x727);
      return true;
    case VKCMD_PARENT_UPDATE_DONE:
      if (Win == nullptr) return false;
      if (D->Updating && !D->RecheckUpdating(true)) RedrawWindow(Win->Handle(), nullptr, nullptr, 0x585);
      RepaintChildrenAfterUpdate(Win);
      return true;
    case VKCMD_QUERY_SKINNED:
      Message.Result = 1;
      return true;
    case VKCMD_SET_UPDATE_STATE:
      D->Updating = Low == 1;
      Message.Result = 0;
      return true;
    case VKCMD_QUERY_UPDATE_STATE:
      Message.Result = AnswerUpdateState(D);
      return true;
    case VKCMD_QUERY_CLIPPED_OUT:
      Message.Result = D->ClippedOut ? 1 : 0;
      return true;
    case VKCMD_SECTION_REPAINT:
      if (Message.LParam == 0 || UpperCase(reinterpret_cast<const char*>(Message.LParam)) != D->SkinSection())
        return false;
      D->RepaintOwner(false);
      return true;
    case VKCMD_SET_SECTION:
      if (Message.LParam == 0) return false;
      D->SetSkinSection(reinterpret_cast<const char*>(Message.LParam));
      Message.Result = 1;
      return true;
    case VKCMD_REREAD_SECTION_INDEX:
      StopFade(D);
      return true;
    case VKCMD_MARK_FOR_UPDATE:
      D->CacheDirty = true;
      if (Low == 1 && Win != nullptr) BroadcastCommand(Win, VKCMD_MARK_FOR_UPDATE, 1, Message.LParam);
      return true;
    case VKCMD_REPAINT:
      D->RepaintOwner(false);
      return true;
    case VKCMD_QUERY_BG_READY:
      Message.Result = 1;
      return true;
    case VKCMD_BG_CHANGED: {
      const bool UsesParent = D->UsesParentBackground();
      D->CacheDirty = D->CacheDirty || UsesParent;
      if (Win != nullptr) {
        if (Low == 1)
          RedrawWindow(Win->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
        if (UsesParent)
          for (int i = 0; i < Win->ControlCount(); ++i) SendChildCommand(Win->Controls(i), VKCMD_BG_CHANGED, 1, 0);
      }
      return true;
    }
    case VKCMD_QUERY_BG_COLOR:
      if (D->OwnerControl == nullptr) return false;
      Message.Result = static_cast<LRESULT>(AnswerBackgroundColor(D));
      return true;
    case VKCMD_SET_CLIPPED_OUT:
      D->ClippedOut = true;
      return true;
    case VKCMD_REFRESH_CACHE:
      D->CacheDirty = false;
      return true;
    case VKCMD_QUERY_SECTION_INDEX:
      if (Message.LParam == 0) return false;
      reinterpret_cast<int32_t*>(Message.LParam)[1] = D->SkinIndex;
      return true;
    case VKCMD_DROP_CACHES:
      if (D->CacheBmp == nullptr) return false;
      if (auto* W = As<TWinControl>(D->OwnerControl))
        for (int i = 0; i < W->ControlCount(); ++i)
          if (auto* Child = As<TWinControl>(W->Controls(i)); Child != nullptr && Child->HandleAllocated())
            SendSkinCommand(Child->Handle(), VKCMD_DROP_CACHES, 0);
      D->CacheBmp->SetSize(0, 0);
      D->CacheDirty = true;
      return true;
    case VKCMD_QUERY_PARENT_BG: {
      if (Message.LParam == 0) return false;
      const bool Hover = D->Hot && !NoHoverTypes.Contains(D->CtrlType);
      AnswerBackgroundRequest(D, *reinterpret_cast<TvkParentBgQuery*>(Message.LParam), D->Focused || Hover ? 1 : 0,
                              D->OwnerControl == nullptr ? D->OwnerWindow() : nullptr);
      return true;
    }
    case VKCMD_QUERY_SKIN_DATA:
      Message.Result = reinterpret_cast<LRESULT>(D);
      return true;
    case VKCMD_SET_PRINT_DC:
      if (Message.LParam != 0)
        D->StateFlags |= sfPrinting;
      else
        D->StateFlags &= ~sfPrinting;
      D->PrintDC = reinterpret_cast<HDC>(Message.LParam);
      Message.Result = 1;
      return true;
    case VKCMD_TAKE_PARENT_CACHE:
      if (Message.LParam == 0) return false;
      D->PaintOuterEffect(*reinterpret_cast<TvkParentBgQuery*>(Message.LParam), Low);
      return true;
    case VKCMD_SCROLL_SIZE_CHANGED:
      if (Win == nullptr) return false;
      SetWindowPos(Win->Handle(), nullptr, 0, 0, 0, 0, 0x727);
      BroadcastCommand(Win, VKCMD_SCROLL_SIZE_CHANGED, 0, Message.LParam);
      return true;
    case VKCMD_QUERY_APPLICATION:
      Message.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    case VKCMD_QUERY_STATE_SECTION:
      return AnswerStateSection(D, Message);
    case VKCMD_SET_SCALE:
      D->ScalePercent = static_cast<int>(Message.LParam);
      if (Win != nullptr) BroadcastCommand(Win, VKCMD_SET_SCALE, 0, Message.LParam);
      return false;
    case VKCMD_QUERY_SCALE:
      Message.Result = D->ScalePercent;
      return true;
    case VKCMD_QUERY_BOUNDS:
      if (Message.LParam == 0) return false;
      *reinterpret_cast<RECT*>(Message.LParam) = D->OwnerControl != nullptr ? D->OwnerControl->BoundsRect() : RECT{};
      return true;
    default:
      // no meaning for the common handler (answered by the form skinner, the adapters, the owners) or none at all
      return false;
  }
}
