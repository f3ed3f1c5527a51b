// Popup menus: the hidden popup-list window they are tracked on, context menus of controls, and the
// shortcuts of popup menus and forms.
#include <windowsx.h>

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/UtilWindow.h"

namespace {

// The popup menus alive. Their window, which a menu needs only while it is tracked, is made at the first
// popup (most programs make menus at start and pop few up) and goes with the last menu.
class TPopupList {
public:
  void Add(TPopupMenu* Menu) {
    menus_.push_back(Menu);
    Menu->SetWindowHandle(window_);
  }
  void Remove(TPopupMenu* Menu) {
    menus_.erase(std::remove(menus_.begin(), menus_.end(), Menu), menus_.end());
    if (menus_.empty()) {
      DeallocateHWnd(window_);
      window_ = nullptr;
    }
  }
  HWND Window() const { return window_; }
  HWND WindowNeeded() {
    if (!window_) {
      window_ = AllocateHWnd(TWndMethod::Bind<&TPopupList::WndProc>(this));
      for (TPopupMenu* m : menus_)
        if (!m->WindowHandle()) m->SetWindowHandle(window_);
    }
    return window_;
  }

private:
  // The first menu that knows the entry handles the message.
  template <class F> bool AnyMenu(F&& handles) {
    std::vector<TPopupMenu*> menus = menus_;  // a handler may free a menu
    for (TPopupMenu* m : menus)
      if (std::find(menus_.begin(), menus_.end(), m) != menus_.end() && handles(m)) return true;
    return false;
  }
  void WndProc(TMessage& Message) {
    switch (Message.Msg) {
      case WM_COMMAND:
        if (AnyMenu([&](TPopupMenu* m) { return m->DispatchCommand(LOWORD(Message.WParam)); })) return;
        break;
      case WM_INITMENUPOPUP:
        if (AnyMenu([&](TPopupMenu* m) { return m->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam)); }))
          return;
        break;
      case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (AnyMenu([&](TPopupMenu* m) { return m->MeasureMenuItem(*item); })) {
          Message.Result = 1;
          return;
        }
        break;
      }
      case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (AnyMenu([&](TPopupMenu* m) { return m->DrawMenuItem(*item); })) {
          Message.Result = 1;
          return;
        }
        break;
      }
      default:
        break;
    }
    Message.Result = DefWindowProcA(window_, Message.Msg, Message.WParam, Message.LParam);
  }

  std::vector<TPopupMenu*> menus_;
  HWND window_ = nullptr;
};

TPopupList g_popupList;

}  // namespace

HWND PopupListWindow() { return g_popupList.Window(); }

// ===================================================================================================
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {
  g_popupList.Add(this);
}

TPopupMenu::~TPopupMenu() { g_popupList.Remove(this); }

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

UINT TPopupMenu::TrackFlags() const {
  static const UINT kAlign[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
  static const UINT kAnimation[] = {TPM_HORPOSANIMATION, TPM_HORNEGANIMATION, TPM_VERPOSANIMATION,
                                    TPM_VERNEGANIMATION, TPM_NOANIMATION};
  UINT flags = kAlign[FAlignment] | TPM_RIGHTBUTTON;
  for (int a = maLeftToRight; a <= maNone; ++a)
    if (FMenuAnimation.Contains(static_cast<TMenuAnimations>(a))) flags |= kAnimation[a];
  return flags;
}

void TPopupMenu::Popup(int X, int Y) {
  DoPopup(this);
  HMENU menu = Handle();
  HWND list = g_popupList.WindowNeeded();
  TrackPopupMenu(menu, TrackFlags(), X, Y, 0, list, nullptr);
  // The system posts the chosen command: it runs now, so the click has happened when Popup returns.
  MSG msg;
  if (PeekMessageA(&msg, list, WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageA(&msg);
}

// ===================================================================================================
// Context menus and shortcuts of controls

bool IsMenuKey(TControl* Control, TMessage& Message) {
  for (TControl* c = Control; c; c = c->Parent())
    if (TPopupMenu* menu = c->PopupMenu(); menu && menu->IsShortCut(Message)) return true;
  TCustomForm* form = GetParentForm(Control);
  return form && form->IsShortCut(Message);
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  POINT screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  bool fromKeyboard = screen.x == -1 && screen.y == -1;  // Shift+F10 or the menu key
  TPoint local = fromKeyboard ? TPoint(-1, -1) : TPoint(ScreenToClient(screen));
  bool handled = false;
  if (OnContextPopup) OnContextPopup(this, local, handled);
  if (handled) {
    Message.Result = 1;
    return;
  }
  TPopupMenu* menu = FPopupMenu;
  if (!menu || !menu->AutoPopup()) return;
  if (fromKeyboard) screen = ClientToScreen(POINT{0, 0});
  menu->SetPopupComponent(this);
  menu->Popup(screen.x, screen.y);
  Message.Result = 1;
}

void TWinControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  POINT screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (screen.x != -1 || screen.y != -1) {
    if (TControl* child = ControlAtPos(ScreenToClient(screen), false)) {
      Message.Result = child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
      if (Message.Result != 0) return;
    }
  }
  TControl::WMContextMenu(Message);
  if (Message.Result == 0) DefaultHandler(Message);
}
