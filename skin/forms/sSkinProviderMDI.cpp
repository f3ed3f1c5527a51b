// The skinned form in an MDI family: a child's system commands and the main frame they change, the buttons of a
// maximised child on the main form's menu line, a child hidden under a maximised one, the main form's client under
// a maximised child, its printed client and the children it adopts.
#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"

TsSkinProvider* TsSkinProvider::ActiveChildSkinner() const {
  TCustomForm* Child = FForm != nullptr ? FForm->ActiveMDIChild() : nullptr;
  if (Child == nullptr || !Child->HandleAllocated()) return nullptr;
  if (g_ActiveMDIChild != nullptr && g_ActiveMDIChild->FForm == Child) return g_ActiveMDIChild;
  return reinterpret_cast<TsSkinProvider*>(SendSkinCommand(Child->Handle(), VKCMD_QUERY_FORM_SKINNER, 0));
}

bool TsSkinProvider::MDIButtonAllowed(int Code) const {
  TsSkinProvider* Child = ActiveChildSkinner();
  TsSystemMenu* S = Child != nullptr ? Child->FSystemMenu : nullptr;
  if (S == nullptr) return true;  // a child without a skinner: the system decides
  switch (Code) {
    case htMDIRestore: return S->EnabledRestore();
    case htMDIMinimize: return S->EnabledMin() && S->EnabledRestore();
    default: return true;
  }
}

void TsSkinProvider::ReleaseMDIButton(int Code, bool Pressed) {
  TCustomForm* Child = FForm->ActiveMDIChild();
  const HWND C = Child != nullptr && Child->HandleAllocated() ? Child->Handle() : nullptr;
  FPressed = false;
  if (Pressed && C != nullptr) {
    switch (Code) {
      case htMDIClose: SendMessageA(C, WM_SYSCOMMAND, SC_CLOSE, 0); break;
      case htMDIRestore: SendMessageA(C, WM_SYSCOMMAND, SC_RESTORE, 0); break;
      case htMDIMinimize:
        // the main frame is not painted between the child's two states
        FSkinData->LockUpdates();
        try {
          SendMessageA(C, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        } catch (...) {
          FSkinData->UnlockUpdates(false);
          throw;
        }
        FSkinData->UnlockUpdates(false);
        RefreshMDIMainFrame(true);
        break;
      default: break;
    }
  }
  if (!FormDestroying()) ResetHotElement();
}

void TsSkinProvider::MDIChildSysCommand(TMessage& Message) {
  const HWND W = FormHandle();
  const WPARAM Cmd = Message.WParam & 0xFFF0;
  TsSkinProvider* Main = g_MDIMain != this ? g_MDIMain : nullptr;
  bool WasMax = W != nullptr && IsZoomed(W) && Cmd != SC_MAXIMIZE;
  // the main frame is not painted while the maximised child changes; it is repainted once afterwards
  const bool Locked = Main != nullptr && WasMax;
  if (Locked) Main->FSkinData->LockUpdates();
  bool Unlocked = false;
  auto Unlock = [&] {
    if (!Locked || Unlocked) return;
    Unlocked = true;
    Main->FSkinData->UnlockUpdates(false);
  };
  try {
    switch (Cmd) {
      case SC_CLOSE:
        if (Main == nullptr) {
          CallOwnProc(Message);
          break;
        }
        if (WasMax && Main->FMDIForm != nullptr) RefreshMDIMainFrame(false);
        Main->FMenuLoop = true;
        try {
          CallOwnProc(Message);
        } catch (...) {
          Main->FMenuLoop = false;
          throw;
        }
        if (!FormDestroying() && !ComponentState().Contains(csDestroying)) ResetHotElement();
        Main->FMenuLoop = false;
        if (WasMax && Main->FMDIForm != nullptr) {
          Unlock();
          RefreshMDIMainFrame(false);
        }
        break;
      case SC_MINIMIZE:
        CallOwnProc(Message);
        if (WasMax) RefreshMDIMainFrame(false);
        if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
        FSkinData->CacheDirty = true;
        Unlock();
        RefreshMDIMainFrame(false);
        break;
      case SC_MAXIMIZE: {
        g_ActiveMDIChild = this;
        // hidden while the system maximises it, so that its steps are not seen
        const LONG Style = W != nullptr ? GetWindowLongA(W, GWL_STYLE) : 0;
        if (W != nullptr) SetWindowLongA(W, GWL_STYLE, Style & ~WS_VISIBLE);
        try {
          CallOwnProc(Message);
        } catch (...) {
          if (W != nullptr) SetWindowLongA(W, GWL_STYLE, GetWindowLongA(W, GWL_STYLE) | (Style & WS_VISIBLE));
          throw;
        }
        if (W != nullptr) {
          SetWindowLongA(W, GWL_STYLE, GetWindowLongA(W, GWL_STYLE) | (Style & WS_VISIBLE));
          RedrawWindow(W, nullptr, nullptr, RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        }
        if (Main != nullptr && Main->FMDIForm != nullptr) RefreshMDIMainFrame(false);
        if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
        break;
      }
      case SC_RESTORE:
        if (W != nullptr && IsIconic(W)) WasMax = true;
        // a new child made while another was maximised restores nothing yet
        if (g_NewMDIChildMaximized) break;
        CallOwnProc(Message);
        FSkinData->CacheDirty = true;
        if (FDrawNonClientArea && W != nullptr) SetWindowLongA(W, GWL_STYLE, GetWindowLongA(W, GWL_STYLE) & ~WS_SYSMENU);
        if (W != nullptr) RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        if (Main != nullptr && Main->FForm != nullptr) {
          for (int i = 0; i < Main->FForm->MDIChildCount(); ++i) {
            TCustomForm* Other = Main->FForm->MDIChildren(i);
            if (Other == nullptr || Other == FForm || !Other->HandleAllocated()) continue;
            if (Other->WindowState() == wsMaximized) Other->SetWindowState(wsNormal);
            RedrawWindow(Other->Handle(), nullptr, nullptr, RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
          }
        }
        Unlock();
        if (WasMax) RefreshMDIMainFrame(false);
        if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
        break;
      case SC_KEYMENU:
        Unlock();
        CallOwnProc(Message);
        break;
      default: CallOwnProc(Message); break;
    }
  } catch (...) {
    Unlock();
    throw;
  }
  // a lock the command did not take back goes now, and the main frame shows the result
  if (Locked && !Unlocked) {
    Unlock();
    RefreshMDIMainFrame(false);
  }
}

bool TsSkinProvider::HiddenUnderAnotherMaximisedChild() const {
  TCustomForm* Main = g_MDIMain != nullptr && g_MDIMain != this ? g_MDIMain->FForm : nullptr;
  TCustomForm* Active = Main != nullptr ? Main->ActiveMDIChild() : nullptr;
  return FForm->FormStyle() == fsMDIChild && Active != nullptr && Active != FForm && Active->WindowState() == wsMaximized;
}

bool TsSkinProvider::UnderMaximisedChild() const {
  TCustomForm* Active = FForm->FormStyle() == fsMDIForm ? FForm->ActiveMDIChild() : nullptr;
  return Active != nullptr && Active->WindowState() == wsMaximized;
}

void TsSkinProvider::AdoptUnskinnedMDIChildren() {
  for (int i = 0; i < FForm->MDIChildCount(); ++i) {
    TCustomForm* Child = FForm->MDIChildren(i);
    if (Child != nullptr && Child->HandleAllocated() && !WindowHasSkin(Child->Handle()))
      AdoptTopLevelWindow(Child->Handle());
  }
}

void TsSkinProvider::PrintMDIClient(HDC DC, LPARAM Flags) {
  const HWND W = FormHandle();
  const HWND Client = FForm->ClientHandle();
  if (DC == nullptr || W == nullptr || Client == nullptr) return;
  RECT F{}, C{};
  GetWindowRect(W, &F);
  GetWindowRect(Client, &C);
  // the client prints itself from its own corner: the picture's origin is moved to where the client stands
  const int Saved = SaveDC(DC);
  OffsetWindowOrgEx(DC, F.left - C.left, F.top - C.top, nullptr);
  IntersectClipRect(DC, 0, 0, C.right - C.left, C.bottom - C.top);
  SendSkinMessage(Client, WM_PRINT, reinterpret_cast<WPARAM>(DC), Flags);
  RestoreDC(DC, Saved);
}

void TsSkinProvider::RedrawMDIClient(UINT Flags) {
  const HWND Client = FForm->FormStyle() == fsMDIForm ? FForm->ClientHandle() : nullptr;
  if (Client != nullptr) RedrawWindow(Client, nullptr, nullptr, Flags);
}
