#include "skin/adapters/vkEditWnd.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"

IMPLEMENT_CLASS(TvkBaseWnd)
IMPLEMENT_CLASS(TvkEditWnd)

namespace {

constexpr UINT kRepaintFrame = RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME;
constexpr UINT kEraseFrame = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;
constexpr UINT kRepaintAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr UINT kSwallowed = 0x2100;

bool Destroying(TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }

}  // namespace

bool ClassNamed(const TObject* Obj, const char* Name) {
  for (const TClassInfo* C = Obj != nullptr ? Obj->ClassInfo() : nullptr; C != nullptr; C = C->parent)
    if (std::string(C->name) == Name) return true;
  return false;
}

int WindowsMajorVersion() {
  OSVERSIONINFOA V{};
  V.dwOSVersionInfoSize = sizeof V;
  if (!Platform().GetVersionExA(&V)) return 5;
  return static_cast<int>(V.dwMajorVersion);
}

// ---- the base ----

void TvkBaseWnd::WndProc(TMessage& Message) {
  if (Detached || SkinData == nullptr || !SkinData->IsSkinned(false)) {
    TvkScrollWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  switch (Message.Msg) {
    case kSwallowed:
      return;
    case SM_VKCMD:
      if (SkinCommandCode(Message.WParam) == VKCMD_REPAINT_AFTER_CHANGE &&
          Message.LParam == reinterpret_cast<LPARAM>(SkinData->SkinManager())) {
        TvkScrollWnd::WndProc(Message);
        if (IsWindowVisible(W)) SendMessageA(W, WM_NCPAINT, 0, 0);
        return;
      }
      if (SkinCommandCode(Message.WParam) == VKCMD_REFRESH_CACHE) PaintAdapterCache(SkinData, W, false);
      break;
    case WM_EXITSIZEMOVE:
    case WM_SIZE:
      SkinData->CacheDirty = true;
      break;
    case WM_SETCURSOR:
      Message.Result = ScrollWndSetCursor(this, W, Message.WParam, Message.LParam);
      return;
    default:
      break;
  }
  TvkScrollWnd::WndProc(Message);
  switch (Message.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!ScrollBusy) ReloadScrollBarInfo(this, true);
      break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
      if (IsWindowVisible(W)) SendMessageA(W, WM_NCPAINT, 0, 0);
      break;
    default:
      break;
  }
}

// ---- construction and colours ----

void TvkEditWnd::Create(HWND Wnd, TsCommonData* ASkinData, TsSkinManager* Manager, const TvkSkinParams& P,
                        bool Repaint) {
  if (TSetWindowThemeProc SetTheme = SetWindowThemeEntry();
      SetTheme != nullptr && !(!Repaint && ClassNamed(this, "TvkComboListWnd")) && !ClassNamed(this, "TvkGridWnd") &&
      !ClassNamed(this, "TvkVirtualTreeViewWnd") && P.SkinSection != "DIALOG") {
    bool Off;
    if (ASkinData == nullptr)
      Off = WindowsMajorVersion() < 6 || P.SkinSection == "COMBOBOX";
    else if (ASkinData->CtrlType == ctListView && WindowsMajorVersion() >= 6)
      Off = false;
    else
      Off = !(ASkinData->OwnerControl != nullptr && ObjectHasProperty(ASkinData->OwnerControl, "UseXPThemes"));
    if (Off) SetTheme(Wnd, L" ", L" ");
  }
  CtrlHandle = Wnd;
  Reserved = -1;
  ChangeFlags = 0;
  ObjectInstance = nullptr;
  SkinManager = Manager;
  Detached = false;
  InNcPaint = false;
  if (ASkinData == nullptr) {
    OwnSkinData = true;
    MakeSkinData();
    SkinData->Updating = true;
    if (!P.SkinSection.empty()) SkinData->SetSkinSection(P.SkinSection);
    SkinData->OwnerControl = P.Control;
    SkinData->OwnerObject = P.Control;
    if (P.Control != nullptr && ObjectHasProperty(P.Control, "PanelBorder")) SkinData->SetSkinSection("TRANSPARENT");
    SkinData->SetCustomColor(!P.UseSkinColor);
    SkinData->SetCustomFont(!P.UseSkinFontColor);
    if (auto* SD = As<TsScrollWndData>(SkinData)) {
      if (P.HButtonsSize >= 0) SD->HorzScrollData()->SetButtonsSize(P.HButtonsSize);
      if (P.VButtonsSize >= 0) SD->VertScrollData()->SetButtonsSize(P.VButtonsSize);
      if (P.HScrollWidth >= 0) SD->HorzScrollData()->SetScrollWidth(P.HScrollWidth);
      if (P.VScrollWidth >= 0) SD->VertScrollData()->SetScrollWidth(P.VScrollWidth);
    }
    SkinData->Updating = false;
    SkinData->CtrlType = ctEditAdapter;
  } else {
    SkinData = ASkinData;
  }
  SkinData->OwnerHandle = Wnd;
  if (SkinData->SkinSection().empty() && SkinData->CtrlType > 230)
    SkinData->SetSkinSection(P.SkinSection.empty() ? "EDIT" : P.SkinSection);
  StoreControlParams();
  ParamsApplied = false;
  DlgMode = AdoptingDialogChildren;
  Caption = GetWindowTextWide(Wnd);
  InitScrollAdapter(this, Wnd, Repaint);
  if (TControl* C = SkinData->OwnerControl) {
    OldControlStyle = C->ControlStyle();
    CacheWhenDisabled = As<TCustomEdit>(C) != nullptr && !(GetWindowLongA(Wnd, GWL_STYLE) & ES_MULTILINE);
    C->SetControlStyle(C->ControlStyle() + csOpaque);
  } else {
    CacheWhenDisabled = false;
  }
  AdaptPending = false;
  FinishCreation();
}

void TvkEditWnd::StoreControlParams() {
  TvkBaseWnd::StoreControlParams();
  if (TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr) {
    SavedColor = C->Color();
    SavedFontColor = C->Font()->Color();
    if (ObjectHasProperty(C, "FocusColor")) SavedFocusColor = static_cast<TColor>(OrdPropOrMinusOne(C, "FocusColor"));
  }
}

void TvkEditWnd::ApplySkinParams() {
  if (CalcSizeBusy) return;
  SkinData->Updating = true;
  CalcSizeBusy = true;
  TvkBaseWnd::ApplySkinParams();
  if (SkinData->IsSkinned(false)) {
    TsSkinManager* M = SkinData->SkinManager();
    const TsGeneralData* G = SkinData->Section();
    if (TControl* C = SkinData->OwnerControl) {
      int State = 0;
      if (SkinData->CurrentState() != 0 && G != nullptr && G->States > 1) {
        State = 1;
        ChangeFlags |= 2;
      }
      if (!SkinData->CustomColor()) {
        const TColor Color = SkinBackgroundColor(SkinData, State, CtrlHandle);
        if (ObjectHasProperty(C, "FocusColor")) {
          if (C->Color() != Color) {
            SetOrdPropIfPresent(C, "Color", Color);
            ChangeFlags |= 1;
          }
          SetOrdPropIfPresent(C, "FocusColor", Color);
        } else if (C->Color() != Color) {
          C->SetColor(Color);
          ChangeFlags |= 1;
        }
        AppliedColor = Color;
      }
      if (!SkinData->CustomFont() && G != nullptr) {
        const auto Font = static_cast<TColor>(G->Props[std::min(State, 2)].FontColor);
        if (C->Font()->Color() != Font) {
          SkinData->StateFlags |= sfSkinSetsFont;
          C->Font()->SetColor(Font);
          SkinData->StateFlags &= static_cast<uint16_t>(~sfSkinSetsFont);
          ChangeFlags |= 1;
        }
        if (Detached) {
          CalcSizeBusy = false;
          return;
        }
      }
    } else {
      if (!SkinData->CustomColor())
        AppliedColor = DlgMode ? ColorToRGB(clWindow) : static_cast<TColor>(G != nullptr ? G->Props[0].Color : 0);
      BorderColor = M != nullptr ? static_cast<TColor>(M->PaletteColor(pcBorder)) : 0;
    }
    SkinData->CacheDirty = true;
    SkinData->Updating = false;
  } else {
    BorderColor = 0;
  }
  CalcSizeBusy = false;
}

void TvkEditWnd::RestoreControlParams() {
  TvkBaseWnd::RestoreControlParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (C == nullptr || Destroying(C)) return;
  // The control's own colours come back, not the system defaults.
  if (!SkinData->CustomColor()) C->SetColor(SavedColor);
  if (!SkinData->CustomFont()) {
    SkinData->StateFlags |= sfSkinSetsFont;
    const TNotifyEvent Handler = C->Font()->OnChange;
    C->Font()->OnChange = nullptr;
    C->Font()->SetColor(SavedFontColor);
    C->Font()->OnChange = Handler;
    SkinData->StateFlags &= static_cast<uint16_t>(~sfSkinSetsFont);
  }
  if (ObjectHasProperty(C, "FocusColor")) SetOrdPropIfPresent(C, "FocusColor", SavedFocusColor);
  if (IsWindowVisible(CtrlHandle)) SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0, kFrameChangeFlags);
}

// ---- painting helpers ----

void TvkEditWnd::PaintFrameCache() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  PrepareAdapterCache(this);
  SkinData->CacheDirty = true;
  PaintAdapterCache(SkinData, CtrlHandle, DlgMode);
  RestoreCacheCorners(SkinData, 0, this);
}

bool TvkEditWnd::ClientSizeMismatch() {
  if (As<TCustomEdit>(SkinData->OwnerControl) == nullptr) return false;
  if ((HorzBar != nullptr && HorzBar->Shown) || (VertBar != nullptr && VertBar->Shown)) return false;
  RECT C{};
  GetClientRect(CtrlHandle, &C);
  const int F = FrameWidth();
  return C.right != WndSize.X - 2 * F || C.bottom != WndSize.Y - 2 * F;
}

int TvkEditWnd::FrameWidth() const {
  // An edit adopted without a frame refresh has none laid out yet: a borderless one must get no strips over its text.
  return FrameLeft >= 0 ? FrameLeft : ClientOriginInWindow(CtrlHandle).y;
}

void TvkEditWnd::SkipPaint() {
  PAINTSTRUCT PS{};
  BeginPaint(CtrlHandle, &PS);
  EndPaint(CtrlHandle, &PS);
}

bool TvkEditWnd::IsForeignEmptyDC(HDC DC) const {
  if (DC == nullptr || DC == SkinData->PrintDC) return false;
  RECT R{};
  return GetClipBox(DC, &R) == NULLREGION;
}

// ---- commands ----

bool TvkEditWnd::HandleSkinCommand(TMessage& Message) {
  const HWND W = CtrlHandle;
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_REPAINT_AFTER_CHANGE:
      if (Message.LParam != reinterpret_cast<LPARAM>(SkinData->SkinManager())) return false;
      TvkBaseWnd::WndProc(Message);
      ApplySkinParams();
      return false;
    case VKCMD_PARENT_UPDATE_DONE:
      if (SkinData->Updating && !SkinData->RecheckUpdating(true)) RedrawWindow(W, nullptr, nullptr, kRepaintAll);
      return false;
    case VKCMD_QUERY_SKINNED:
      Message.Result = 1;
      return true;
    case VKCMD_REFRESH_CACHE:
      PaintFrameCache();
      return true;
    case VKCMD_QUERY_SECTION_INDEX:
      if (Message.LParam != 0) reinterpret_cast<int32_t*>(Message.LParam)[1] = SkinData->SkinIndex;
      return true;
    case VKCMD_QUERY_PARENT_BG: {
      auto* Q = reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
      if (Q == nullptr) return true;
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      if (Q->Kind == bgkNone) {
        if (SkinData->CustomColor()) {
          TControl* C = SkinData->OwnerControl;
          Q->Kind = bgkColor;
          Q->Color = static_cast<uint32_t>(ColorToRGB(C != nullptr ? C->Color() : AppliedColor));
        } else {
          AnswerBackgroundRequest(SkinData, *Q, 0, W);
        }
      }
      // the asker lies in the client, which the frame (and a left bar) moves in the window's picture
      const POINT Client = ClientOriginInWindow(W);
      Q->OffsetX += Client.x;
      Q->OffsetY += Client.y;
      return true;
    }
    case VKCMD_SUSPEND_REDRAW:
    case VKCMD_RESUME_REDRAW:
      if (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) {
        const bool Resume = SkinCommandCode(Message.WParam) == VKCMD_RESUME_REDRAW;
        SendMessageA(W, WM_SETREDRAW, Resume ? 1 : 0, 0);
        if (Resume) InvalidateRect(W, nullptr, TRUE);
      } else {
        TvkBaseWnd::WndProc(Message);
      }
      return true;
    case VKCMD_QUERY_APPLICATION:
      Message.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    case VKCMD_SET_SCALE:
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      return ProcessSkinCommand(Message, SkinData);
    default:
      return ProcessSkinCommand(Message, SkinData);
  }
}

// ---- the window procedure ----

void TvkEditWnd::WndProc(TMessage& Message) {
  const HWND W = CtrlHandle;
  if (Message.Msg == SM_VKCMD && SkinCommandCode(Message.WParam) == VKCMD_QUERY_SKINNED) {
    Message.Result = 1;
    return;
  }
  if (Message.Msg == SM_VKCMD && SkinCommandCode(Message.WParam) == VKCMD_MOUSE_LEFT) {
    TvkBaseWnd::WndProc(Message);
    if (SkinData != nullptr && !CursorInVisiblePart(W)) SkinData->Hot = false;
  }
  if (SkinData == nullptr || Detached || !SkinData->IsSkinned(false)) {
    TvkBaseWnd::WndProc(Message);
    return;
  }
  const bool Visible = IsWindowVisible(W) != FALSE;
  switch (Message.Msg) {
    case WM_NCPAINT: {
      if (!Visible || CalcSizeBusy) break;
      if (InAnimationProcess || InNcPaint) {
        ChangeFlags &= static_cast<uint8_t>(~2);
        return;
      }
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      if (SkinData->RecheckUpdating(false)) return;
      HDC DC = GetWindowDC(W);
      if (IsForeignEmptyDC(DC)) {
        ReleaseDC(W, DC);
        return;
      }
      if (SkinData->CacheDirty) {
        if (!ParamsApplied) ApplySkinParams();
        PaintFrameCache();
      }
      const int Saved = SaveDC(DC);
      if (ClientSizeMismatch()) {
        InNcPaint = true;
        const bool Framed = FrameWidth() > 0;
        if (Framed) SetWindowRgn(W, CreateRectRgn(2, 2, WndSize.X - 2, WndSize.Y - 2), FALSE);
        ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
        if (Framed) SetWindowRgn(W, nullptr, FALSE);
        InNcPaint = false;
      }
      PaintScrollBars(this, W, -1, DC);
      if (SkinData->CacheBmp != nullptr)
        CopyBorderStrips(DC, 0, 0, FrameWidth(), 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
      RestoreDC(DC, Saved);
      ReleaseDC(W, DC);
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      auto* C = As<TWinControl>(SkinData->OwnerControl);
      if (CanShowHotState(SkinData, false) && C != nullptr && C->CanFocus() && C->TabStop()) {
        SkinData->CacheDirty = true;
        SkinData->Focused = Message.Msg == WM_SETFOCUS;
        TvkBaseWnd::WndProc(Message);
        ApplySkinParams();
        if (ChangeFlags & 1)
          RedrawWindow(W, nullptr, nullptr, kRepaintFrame);
        else if (ChangeFlags & 2)
          SendSkinMessage(W, WM_NCPAINT, 0, 0);
      } else {
        Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      }
      return;
    }
    case WM_SETREDRAW:
      if (Message.WParam == 1 && AdaptPending) {
        AskFormToAdaptControl(SkinData->OwnerControl);
        AdaptPending = false;
      }
      break;
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
      SkinData->CacheDirty = true;
      if (!(SkinData->StateFlags & sfSkinSetsFont) && !SkinData->Updating) RedrawWindow(W, nullptr, nullptr, kEraseFrame);
      break;
    case WM_PAINT: {
      if (!Visible || CalcSizeBusy) break;
      if (IsForeignEmptyDC(reinterpret_cast<HDC>(Message.WParam))) {
        SkipPaint();
        return;
      }
      if (CacheWhenDisabled && !IsWindowEnabled(W)) {
        PAINTSTRUCT PS{};
        BeginPaint(W, &PS);
        HDC DC = GetWindowDC(W);
        const int Saved = SaveDC(DC);
        if (SkinData->CacheBmp != nullptr)
          BitBlt(DC, 0, 0, WndSize.X, WndSize.Y, SkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        RestoreDC(DC, Saved);
        ReleaseDC(W, DC);
        EndPaint(W, &PS);
        return;
      }
      if (SkinData->RecheckUpdating(false) || (InAnimationProcess && SkinData->PrintDC == nullptr)) {
        SkipPaint();
        return;
      }
      PaintScrollBars(this, W, -1, reinterpret_cast<HDC>(Message.WParam));
      ChangeFlags &= static_cast<uint8_t>(~1);
      if (!ParamsApplied) ApplySkinParams();
      break;
    }
    case WM_ERASEBKGND: {
      if (!Visible || CalcSizeBusy) break;
      const auto DC = reinterpret_cast<HDC>(Message.WParam);
      if (IsForeignEmptyDC(DC)) {
        Message.Result = 1;
        return;
      }
      if (SkinData->RecheckUpdating(false)) return;
      ChangeFlags &= static_cast<uint8_t>(~1);
      if (!ParamsApplied) ApplySkinParams();
      if ((CacheWhenDisabled && !IsWindowEnabled(W)) ||
          (WindowsMajorVersion() > 5 && InAnimationProcess && DC != SkinData->PrintDC)) {
        Message.Result = 1;
        return;
      }
      break;
    }
    case WM_PRINT: {
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      if (Message.Result == 2) return;
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      SkinData->Updating = false;
      SkinData->CacheDirty = true;
      if (!ParamsApplied) ApplySkinParams();
      PaintFrameCache();
      const auto DC = reinterpret_cast<HDC>(Message.WParam);
      const int F = FrameWidth();
      HDC CacheDC = SkinData->CacheBmp->Canvas()->Handle();
      const int Outer = SaveDC(DC);
      if (!(Message.LParam & PRF_CLIENT)) {
        CopyBorderStrips(DC, 0, 0, F, 0, 0, CacheDC, WndSize.Y, WndSize.X);
        PaintScrollBars(this, W, -1, DC);
      } else {
        POINT Old{};
        OffsetViewportOrgEx(DC, F, F, &Old);
        IntersectClipRect(DC, 0, 0, WndSize.X - 2 * F, WndSize.Y - 2 * F);
      }
      const int Inner = SaveDC(DC);
      if (!(Message.LParam & PRF_CLIENT)) OffsetViewportOrgEx(DC, F, F, nullptr);
      int ClipW = WndSize.X - 2 * F, ClipH = WndSize.Y - 2 * F;
      if (VertBar != nullptr && VertBar->Shown) ClipW -= ScrollBarDimension(VertBar, true);
      if (HorzBar != nullptr && HorzBar->Shown) ClipH -= ScrollBarDimension(HorzBar, true);
      IntersectClipRect(DC, 0, 0, ClipW, ClipH);
      BitBlt(DC, 0, 0, WndSize.X - 2 * F, WndSize.Y - 2 * F, CacheDC, F, F, SRCCOPY);
      SendMessageA(W, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
      SendMessageA(W, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_OWNED);
      RestoreDC(DC, Inner);
      RestoreDC(DC, Outer);
      return;
    }
    case SM_VKCMD:
      if (HandleSkinCommand(Message)) return;
      break;
    default:
      break;
  }
  CommonPath(Message);
}

void TvkEditWnd::CommonPath(TMessage& Message) {
  const HWND W = CtrlHandle;
  TvkBaseWnd::WndProc(Message);
  if (Detached || SkinData == nullptr) return;
  switch (Message.Msg) {
    case WM_SIZE:
      if (IsWindowVisible(W)) PerformMessage(WM_NCPAINT, 0, 0);
      break;
    case WM_SETFONT:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWN:
    case CN_KEYUP:
      if (!ScrollBusy) ReloadScrollBarInfo(this, true);
      break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
      ReloadScrollBarInfo(this, true);
      break;
    case WM_MOUSEMOVE: {
      TsSkinManager* M = TsSkinManager::DefaultManager();
      if (M != nullptr && !M->ComponentState().Contains(csDesigning) && IsWindowEnabled(W) && M->HotWindow() != W)
        M->ChangeHotWindow(W);
      if (!SkinData->IsUpdating() && GetCapture() != nullptr) ReloadScrollBarInfo(this, true);
      break;
    }
    case WM_PARENTNOTIFY:
      if (LOWORD(Message.WParam) == WM_CREATE) {
        TsSkinManager* M = SkinData->SkinManager();
        if (M != nullptr && M->SkinningRules().Contains(srThirdParty)) AdaptPending = true;
      }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TMessage Copy = Message;
      ProcessCommonSkinMessage(Copy, SkinData);
      break;
    }
    case CM_CONTROLLISTCHANGE:
      AdaptPending = true;
      break;
    default:
      break;
  }
}

// ---- keeping an edit adapter in step ----

void SyncEditWndAdapter(TsCommonData* SkinData, TvkEditWnd*& Adapter) {
  if (TWinControl* C = ControlToFollow(SkinData))
    FollowSkinning(C, SkinData, SkinData->SkinManager(), SkinData->IsSkinned(false), Adapter);
}
