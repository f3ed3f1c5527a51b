// The mouse on the parts the provider paints itself: hit test, presses and releases of title elements, caption
// drags and double clicks, the system menu on the caption or icon, and the mouse entering and leaving.
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/core/vkntUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkTitleBar.h"

namespace {

bool IsSizingEdge(int Code) { return Code >= HTLEFT && Code <= HTBOTTOMRIGHT; }
int SignedLo(LPARAM L) { return static_cast<short>(LOWORD(L)); }
int SignedHi(LPARAM L) { return static_cast<short>(HIWORD(L)); }

}  // namespace

HWND TsSkinProvider::BorderLayeredHandle() const {
  TvkGlowForm* L = FBorderForm != nullptr && FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(FBorderForm) : nullptr;
  return L != nullptr && L->HandleAllocated() ? L->Handle() : nullptr;
}

int TsSkinProvider::NonClientCode(TMessage& Message) {
  // the border window hands its presses on with -1: the code is its own hit test of the message's point
  if (FBorderForm != nullptr && static_cast<int>(Message.WParam) == -1 && ProviderParts.BorderHitTest)
    Message.WParam = static_cast<WPARAM>(ProviderParts.BorderHitTest(FBorderForm, Message));
  return static_cast<int>(Message.WParam);
}

void TsSkinProvider::WMNCHitTest(TMessage& Message) {
  if (FDeferredSetUp) {
    FDeferredSetUp = false;
    PrepareForm();
  }
  if (GetCaptionBarHeight(true) == 0 || !FDrawNonClientArea) {
    CallOwnProc(Message);
    return;
  }
  Message.Result = HitTestAt(Message);
  const int Code = static_cast<int>(Message.Result);
  if ((Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE) && FForm->FormStyle() == fsMDIChild)
    SetSystemMenuStyle(true);
  if (Code != HTNOWHERE && Code != HTCLIENT && Code != HTCAPTION && Code != HTMENU && !IsSizingEdge(Code)) return;
  TPoint P;
  ScreenToWindowPoint(SignedLo(Message.LParam), SignedHi(Message.LParam), P);
  if (OnGrip(P)) {
    Message.Result = HTBOTTOMRIGHT;
    return;
  }
  CallOwnProc(Message);
}

// The system menu below the caption icon.
static TPoint SystemMenuPoint(TsSkinProvider* P, bool MDIChild) {
  TPoint O;
  P->GetWindowOrigin(O);
  const int Below = MDIChild ? GetSystemMetrics(SM_CYCAPTION) + 4 : P->GetFrameWidth(true) + P->GetCaptionBarHeight(true);
  return TPoint(O.X + P->IconRect().Left, O.Y + Below);
}

void TsSkinProvider::WMNCLButtonDown(TMessage& Message) {
  const int Code = NonClientCode(Message);
  const HWND W = FormHandle();
  const bool MDIChild = FForm->FormStyle() == fsMDIChild;
  if (!FDrawNonClientArea || (Application != nullptr && Application->Terminated())) {
    if (Code == HTSYSMENU) {
      ResetHotElement();
      FPressed = false;
      if (!MDIChild || g_MDIMain != nullptr) {
        const TPoint P = SystemMenuPoint(this, MDIChild);
        PopupSystemMenu(P.X, P.Y);
      }
    } else {
      CallOwnProc(Message);
    }
    return;
  }
  if (ProviderParts.ClosePopups) ProviderParts.ClosePopups(this);
  if (FBorderForm != nullptr && Code == HTOBJECT) {
    CallOwnProc(Message);
    return;
  }
  const int X = SignedLo(Message.LParam), Y = SignedHi(Message.LParam);
  if (Code == HTSYSMENU) {
    Message.Result = 0;
    CallOwnProc(Message);
    if (Message.Result != 0) return;
    ResetHotElement();
    FPressed = false;
    TsSkinManager* M = Manager();
    if (M == nullptr || !M->SkinnedPopups()) {
      WaitProcessingMessages(200);
      if (FSkinData->Updating) return;
    }
    const TPoint P = SystemMenuPoint(this, MDIChild);
    PopupSystemMenu(P.X, P.Y);
    return;
  }
  if (Code == HTMENU) {
    CallOwnProc(Message);
    return;
  }
  if (Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP || Code == htMDIClose ||
      Code == htMDIRestore || Code == htMDIMinimize) {
    // the child's minimise button takes no press while the child can neither be minimised nor restored
    if (Code == htMDIMinimize && !MDIButtonAllowed(Code)) return;
    PressElement(Code);
    return;
  }
  if (Code >= htUserButton && Code < htUserButton + FTitleButtons->Count()) {
    // the press hides the button's hint; its handler may free the button, whose press then ends with it
    PressElement(Code);
    TsTitleButton* B = FTitleButtons->Items(Code - htUserButton);
    const TvkLifeWatch Watch(B->LifeMark());
    B->DoMouseDown(mbLeft, TShiftState{}, X, Y);
    if (Watch.Freed()) {
      FPressed = false;
      FHotElement = 0;
    }
    return;
  }
  if (Code >= htTitleBarItem && FTitleBar != nullptr && ProviderParts.TitleBarItemMouse) {
    PressTitleBarItemAt(Code, X, Y);
    return;
  }
  if (W != nullptr && IsIconic(W)) {
    FForm->Perform(WM_SYSCOMMAND, 0xF012, 0);
    return;
  }
  ResetHotElement();
  TPoint P;
  ScreenToWindowPoint(X, Y, P);
  if (FormZoomed() && P.Y < GetFrameWidth(true) + GetCaptionBarHeight(true)) {
    CallOwnProc(Message);
    if (!FForm->Active() && FForm->Enabled() && FForm->CanFocus()) FForm->SetFocus();
    return;
  }
  if (ProviderParts.RecordGluedForms) ProviderParts.RecordGluedForms(this, true);
  BOOL DragFull = FALSE;
  Platform().SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &DragFull, 0);
  if (!DragFull) {
    CallOwnProc(Message);
    return;
  }
  if (Code == HTCAPTION && ProviderParts.BeginCaptionMove && ProviderParts.BeginCaptionMove(this)) return;
  CallOwnProc(Message);
}

void TsSkinProvider::WMLButtonUp(TMessage& Message) {
  if (!FDrawNonClientArea || !FForm->Enabled()) {
    CallOwnProc(Message);
    return;
  }
  const HWND W = FormHandle();
  // a client release carries key flags and a client point: the pressed element and the screen point stand for them
  const int Code = Message.Msg == WM_NCLBUTTONUP ? NonClientCode(Message) : FHotElement;
  POINT Pt{SignedLo(Message.LParam), SignedHi(Message.LParam)};
  if (Message.Msg == WM_LBUTTONUP && W != nullptr) ClientToScreen(W, &Pt);
  const int X = Pt.x, Y = Pt.y;
  const bool Pressed = FPressed;
  // a title-bar item pressed and let go elsewhere is not clicked, and not left busy
  if (FPressedItem >= 0 && Code != htTitleBarItem + FPressedItem) {
    if (TvkTitleBarItem* It = TitleBarItem(FPressedItem)) {
      It->CancelPress();
      RepaintTitleButton(htTitleBarItem + FPressedItem);
    }
    FPressedItem = -1;
  }
  auto InButton = [&](const TsCaptionButton& B) {
    POINT Cursor{};
    SafeGetCursorPos(Cursor);
    TPoint P;
    ScreenToWindowPoint(Cursor.x, Cursor.y, P);
    // with a border window the buttons lie in its picture
    RECT L{};
    if (const HWND BW = BorderLayeredHandle(); BW != nullptr && GetWindowRect(BW, &L)) P = TPoint(Cursor.x - L.left, Cursor.y - L.top);
    return P.X >= B.Rect.Left && P.X < B.Rect.Right && P.Y >= B.Rect.Top && P.Y < B.Rect.Bottom;
  };
  switch (Code) {
    case HTHELP:
      if (Pressed) {
        SendSkinMessage(W, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        ResetHotElement();
        if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
        FPressed = false;
        FForm->Perform(WM_NCPAINT, 0, 0);
      } else {
        ResetHotElement();
      }
      break;
    case HTMINBUTTON:
      if (Pressed && InButton(ButtonMin)) {
        ResetHotElement();
        if (IsMainForm(FForm)) {
          FMinimizingGuard = true;
          SendSkinMessage(W, WM_SYSCOMMAND, SC_MINIMIZE, 0);
          FMinimizingGuard = false;
        } else {
          SendSkinMessage(W, WM_SYSCOMMAND, IsIconic(W) ? SC_RESTORE : SC_MINIMIZE, 0);
        }
        FSkinData->CacheDirty = true;
      } else {
        if (!Pressed) ResetHotElement();
        CallOwnProc(Message);
      }
      break;
    case HTMAXBUTTON:
      if (Pressed && FSystemMenu != nullptr && (FSystemMenu->EnabledMax() || (FormZoomed() && FSystemMenu->EnabledRestore()))) {
        ResetHotElement();
        FFrameDirty = true;
        if (FForm->FormStyle() == fsMDIChild) g_ActiveMDIChild = nullptr;
        SendSkinMessage(W, WM_SYSCOMMAND, FormZoomed() ? SC_RESTORE : SC_MAXIMIZE, 0);
        if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
        FPressed = false;
      } else {
        ResetHotElement();
        CallOwnProc(Message);
      }
      break;
    case HTCLOSE:
      if (Pressed && FSystemMenu != nullptr && FSystemMenu->EnabledClose()) {
        ButtonClose.State = 0;
        SendSkinMessage(W, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (!FormDestroying()) {
          FreeTitleAnimations();
          if (FForm->Visible() && FSkinData != nullptr) ResetHotElement();
        }
      }
      break;
    case htMDIClose:
    case htMDIRestore:
    case htMDIMinimize:
      ReleaseMDIButton(Code, Pressed);
      break;
    default:
      if (Code >= htUserButton && Code < htUserButton + FTitleButtons->Count()) {
        if (Pressed) FTitleButtons->Items(Code - htUserButton)->DoMouseUp(mbLeft, TShiftState{}, X, Y);
        FPressed = false;
        ResetHotElement();
      } else if (Code >= htTitleBarItem && FTitleBar != nullptr && ProviderParts.TitleBarItemMouse) {
        FPressedItem = -1;
        ProviderParts.TitleBarItemMouse(this, Code - htTitleBarItem, false, X, Y);
        // after its release the item shows its hot (or Down) look again
        RepaintTitleButton(Code);
      } else if (W != nullptr && IsIconic(W) && g_MDIMain != nullptr) {
        POINT Cursor{};
        SafeGetCursorPos(Cursor);
        PopupSystemMenu(Cursor.x, Cursor.y);
      } else {
        CallOwnProc(Message);
      }
      break;
  }
  FPressed = false;
}

void TsSkinProvider::PressTitleBarItemAt(int Code, int X, int Y) {
  const int Index = Code - htTitleBarItem;
  TvkTitleBarItem* It = TitleBarItem(Index);
  // a pressed item shows no hint
  StopItemHint();
  if (It == nullptr) return;
  It->HideHint();
  // a drop-down menu shows its own look while open; a tab only drops its fade (PressElement)
  if (It->Style() != bsMenu) PressElement(Code);
  TsSkinManager* M = Manager();
  if ((It->Style() == bsButton || It->Style() == bsMenu) && It->DropdownMenu() != nullptr && M != nullptr &&
      M->SkinnedPopups() && M->SkinableMenus() != nullptr)
    M->SkinableMenus()->InitPopupMenu(It->DropdownMenu(), true);
  ProviderParts.TitleBarItemMouse(this, Index, true, X, Y);
  // the press may have ended already (a drop-down menu shown and closed); the click itself may change the bar
  It = TitleBarItem(Index);
  FPressed = It != nullptr && It->Style() != bsTab && It->GetState() == 2;
  FPressedItem = It != nullptr && It->Busy ? Index : -1;
}

void TsSkinProvider::WMNCLButtonDblClk(TMessage& Message) {
  const HWND W = FormHandle();
  switch (static_cast<int>(Message.WParam)) {
    case HTCAPTION: {
      const bool Iconic = W != nullptr && IsIconic(W);
      const bool Sys = FSystemMenu != nullptr && HasBiSystemMenu() && (FSystemMenu->EnabledMax() || FSystemMenu->EnabledRestore());
      if (Sys || (!HasCaption() && !Iconic)) {
        SendSkinMessage(W, WM_SYSCOMMAND, FormZoomed() || Iconic ? SC_RESTORE : SC_MAXIMIZE, 0);
        if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
      } else if (Iconic) {
        SendSkinMessage(W, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
      }
      Message.WParam = 0;
      break;
    }
    case HTSYSMENU: {
      TsSkinManager* M = Manager();
      if (M == nullptr || !M->SkinnedPopups()) FSkinData->Updating = true;
      FForm->Close();
      break;
    }
    default:
      CallOwnProc(Message);
      break;
  }
}

void TsSkinProvider::WMNCRButtonDown(TMessage& Message) {
  const int Code = static_cast<int>(Message.WParam);
  if (Code == HTCAPTION || Code == HTSYSMENU) {
    FRightPressed = true;
    return;
  }
  if (TvkTitleBarItem* It = TitleBarRightButtonItem(Code)) {
    FRightPressed = true;
    if (It->OnMouseDown) It->OnMouseDown(It, mbRight, TShiftState{}, SignedLo(Message.LParam), SignedHi(Message.LParam));
    return;
  }
  CallOwnProc(Message);
}

void TsSkinProvider::WMNCRButtonUp(TMessage& Message) {
  if (!HasCaption()) {
    CallOwnProc(Message);
    return;
  }
  if (FBorderForm == nullptr || static_cast<int>(Message.WParam) != -1) Message.WParam = static_cast<WPARAM>(HitTestAt(Message));
  const int Code = NonClientCode(Message);
  if ((Code == HTCAPTION || Code == HTSYSMENU) && FRightPressed) {
    ResetHotElement();
    FPressed = false;
    FRightPressed = false;
    PopupSystemMenu(SignedLo(Message.LParam), SignedHi(Message.LParam));
    return;
  }
  FRightPressed = false;
  if (TvkTitleBarItem* It = TitleBarRightButtonItem(Code))
    It->MouseUp(mbRight, TShiftState{}, SignedLo(Message.LParam), SignedHi(Message.LParam));
}

// The title-bar item a right press or release with this code is meant for (codes 2000 to 2255); nil for none.
TvkTitleBarItem* TsSkinProvider::TitleBarRightButtonItem(int Code) {
  if (Code < htTitleBarItem || Code > htTitleBarItem + 255) return nullptr;
  return TitleBarItem(Code - htTitleBarItem);
}

void TsSkinProvider::CMMouseEnter(TMessage& Message) {
  if (FBorderForm != nullptr) ResetHotElement();
  FPressed = false;
  CallOwnProc(Message);
  if (TsSkinManager* M = Manager()) M->ChangeHotWindow(FormHandle());
  // a hole cut for a click on the shadow closes once the mouse is back on the form
  if (FBorderForm != nullptr && FBorderForm->RegionChanged && (FFormState & fsfPlacing) == 0) FBorderForm->ApplyRegion();
}

void TsSkinProvider::CMMouseLeave(TMessage& Message) {
  // The pointer gone from the form's window onto the border window's title element that it made hot (or
  // pressed) keeps it so: the form's leave may come after the border window took the pointer.
  if (FBorderForm != nullptr && FHotElement > 0) {
    POINT C{};
    SafeGetCursorPos(C);
    if (FBorderForm->HitTest(C) == FHotElement) {
      CallOwnProc(Message);
      return;
    }
  }
  if (FHotElement < htTitleBarItem || FBorderForm == nullptr) ResetHotElement();
  FPressed = false;
  CallOwnProc(Message);
}

void TsSkinProvider::WMMouseMove(TMessage& Message) {
  CallOwnProc(Message);
  ResetHotElement();
  TsSkinManager* D = TsSkinManager::DefaultManager();
  if (D != nullptr && !D->ComponentState().Contains(csDesigning)) D->ChangeHotWindow(FormHandle());
}
