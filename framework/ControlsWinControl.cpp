// TWinControl: children and their order, tab order and focus, showing and hiding with the parent, and the
// dispatch of window messages (reflected to the child that sent them, or handled here).
#include "framework/Controls.h"

#include <algorithm>
#include <climits>

#include "framework/ControlsWindow.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

// ===================================================================================================
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Deleted without Free(): no message may reach this object any more.
  if (FHandle) {
    try {
      DestroyHandle();
    } catch (...) {
      HandleCurrentException();
    }
    if (FHandle) DetachHandle();
  }
  if (FParent) FParent->RemoveControl(this);
  for (TControl* c : FControls) c->FParent = nullptr;
  for (TWinControl* c : FWinControls) c->FParent = nullptr;
  for (TControl* c : FDockClients) c->FHostDockSite = nullptr;
  ReleaseBrush();
}

void TWinControl::ReleaseBrush() {
  if (FBrush) GdiFreeObject(FBrush);
  FBrush = nullptr;
}

void TWinControl::PreDestroy() {
  inherited::PreDestroy();
  DestroyHandle();
}

void TWinControl::FreeChildren() {
  // Children go before owned components; last inserted first.
  while (!FWinControls.empty() || !FControls.empty()) {
    TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
    RemoveControl(c);
    c->Free();
  }
  inherited::FreeChildren();
}

TControl* TWinControl::Controls(int Index) const {
  int n = static_cast<int>(FControls.size());
  if (Index >= 0 && Index < n) return FControls[Index];
  int w = Index - n;
  if (w >= 0 && w < static_cast<int>(FWinControls.size())) return FWinControls[w];
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  if (auto* w = As<TWinControl>(AControl)) {
    for (TWinControl* p = this; p; p = p->FParent)
      if (p == w) throw EInvalidOperation("Control '" + AControl->Name() + "' cannot be its own parent");
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->FParentShowHint) AControl->FShowHint = ShowHint();
  }
  AControl->UpdateAnchorRules();
  if (auto* w = As<TWinControl>(AControl))
    w->UpdateControlState();
  else
    AControl->Invalidate();
  AControl->RequestAlign();
  UpdateDocking(AControl);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (!AControl || AControl->FParent != this) return;
  if (TCustomForm* form = GetParentForm(this)) form->ControlRemoving(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* w = As<TWinControl>(AControl)) {
    if (w->HandleAllocated()) w->DestroyHandle();
    w->FShowing = false;
    FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), w), FWinControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  } else {
    AControl->InvalidateControl(AControl->FVisible, false);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
  }
  AControl->FParent = nullptr;
  UpdateDocking(AControl);
  Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control == this;
}

TControl* TWinControl::ControlAtPos(POINT Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->Visible() || (!AllowDisabled && !c->Enabled())) return false;
    RECT r = c->BoundsRect();
    return PtInRect(&r, Pos) != 0;
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!FParent || ComponentState().Contains(csLoading)) {
    FStoredTabOrder = Value;
    return;
  }
  auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  if (it == l.end()) return;
  l.erase(it);
  Value = std::clamp(Value, 0, static_cast<int>(l.size()));
  l.insert(l.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

bool TWinControl::CanFocus() {
  // Visible and enabled up to the form; the form itself may still be hidden (ActiveControl before Show).
  TCustomForm* form = GetParentForm(this);
  for (TControl* c = this; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(SCannotFocus);
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
    return;
  }
  ::SetFocus(Handle());
}

void TWinControl::SelectFirst() {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  for (TWinControl* c : list)
    if (c->TabStop() && c->CanFocus()) {
      c->SetFocus();
      return;
    }
}

void TWinControl::UpdateShowing() {
  if (ComponentState().Contains(csLoading)) return;
  bool show = FVisible && (FParent ? FParent->FShowing : true);
  if (show && !FParent && !FParentWindow && !FHandle) {
    // A child control without a parent (a frame read before it is placed) has nowhere to show yet.
    TCreateParams params;
    CreateParams(params);
    show = !(params.Style & WS_CHILD);
  }
  // The new showing state, told to the control (and taken back when that fails).
  auto setShowing = [this](bool Value) {
    FShowing = Value;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !Value;
      throw;
    }
  };
  if (show) {
    if (!FHandle) CreateHandle();
    FControlState += csCreating;
    try {
      // Children's windows first, so the window appears whole.
      for (size_t i = 0; i < FWinControls.size(); ++i) {
        TWinControl* c = FWinControls[i];
        bool s = c->FVisible && !c->ComponentState().Contains(csLoading);
        if (s) {
          bool saved = FShowing;
          FShowing = true;  // the children see the parent about to show
          try {
            c->UpdateShowing();
          } catch (...) {
            FShowing = saved;
            throw;
          }
          FShowing = saved;
        }
      }
    } catch (...) {
      FControlState -= csCreating;
      throw;
    }
    FControlState -= csCreating;
    if (!FShowing) setShowing(true);
  } else {
    if (FShowing) setShowing(false);
    for (TWinControl* c : FWinControls)
      if (c->FShowing) c->UpdateShowing();
  }
}

void TWinControl::UpdateControlState() { UpdateShowing(); }

void TWinControl::Loaded() {
  inherited::Loaded();
  // Stored tab orders refer to the final list: sort once all children are there.
  bool stored = false;
  for (TWinControl* c : FTabList) stored |= c->FStoredTabOrder >= 0;
  if (stored) {
    std::vector<TWinControl*> list = FTabList;
    std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) {
      int ka = a->FStoredTabOrder >= 0 ? a->FStoredTabOrder : INT_MAX;
      int kb = b->FStoredTabOrder >= 0 ? b->FStoredTabOrder : INT_MAX;
      return ka < kb;
    });
    FTabList = list;
    for (TWinControl* c : FTabList) c->FStoredTabOrder = -1;
  }
  UpdateControlState();
}

std::string TWinControl::GetText() { return TControl::GetText(); }
void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->WindowProc)
      c->WindowProc(Message);
    else
      c->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  auto reorder = [&](auto& list, auto* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    Order = std::clamp(Order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + Order, item);
    return true;
  };
  if (auto* w = As<TWinControl>(Child)) {
    if (!reorder(FWinControls, w)) return;
    if (w->HandleAllocated())
      SetWindowPos(w->Handle(), PrecedingWindow(w), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (auto* c = As<TControl>(Child)) {
    if (reorder(FControls, c)) c->Invalidate();
  }
}

// ---- message routing ----
void TWinControl::ReflectToChild(TMessage& Message, HWND Child) {
  TWinControl* c = FindControl(Child);
  if (c && c != this) {
    Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: return WMPaint(Message);
    case WM_ERASEBKGND: return WMEraseBkgnd(Message);
    case WM_SETCURSOR: return WMSetCursor(Message);
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(Message);
    case WM_PRINT:
    case WM_PRINTCLIENT: return WMPrint(Message);
    case WM_NCCALCSIZE: return WMNCCalcSize(Message);
    case WM_NCPAINT: return WMNCPaint(Message);
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      if (Message.LParam) return ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
      return DefaultHandler(Message);
    case WM_NOTIFY:
      return ReflectToChild(Message, TWMNotify(Message).NMHdr()->hwndFrom);
    case WM_DRAWITEM: {
      auto* dis = TWMDrawItem(Message).DrawItemStruct();
      if (dis->CtlType == ODT_MENU) return DefaultHandler(Message);
      return ReflectToChild(Message, dis->hwndItem);
    }
    case WM_DELETEITEM:
      return ReflectToChild(Message, reinterpret_cast<DELETEITEMSTRUCT*>(Message.LParam)->hwndItem);
    case WM_COMPAREITEM:
      return ReflectToChild(Message, reinterpret_cast<COMPAREITEMSTRUCT*>(Message.LParam)->hwndItem);
    case WM_MEASUREITEM: {
      auto* mis = TWMMeasureItem(Message).MeasureItemStruct();
      if (mis->CtlType != ODT_MENU) {
        // The child may still be inside CreateWindowEx: it is found by its control ID.
        TWinControl* c = controls_detail::ControlOfId(mis->CtlID);
        if (c && c != this) {
          Message.Result = c->Perform(CN_MEASUREITEM, Message.WParam, Message.LParam);
          return;
        }
      }
      return DefaultHandler(Message);
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!DoKeyDown(Message)) TControl::Dispatch(Message);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!DoKeyUp(Message)) TControl::Dispatch(Message);
      return;
    case WM_CHAR:
      if (!DoKeyPress(Message)) TControl::Dispatch(Message);
      return;
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && form != this) form->SetFocusedControl(this);
      return DefaultHandler(Message);
    }
    case WM_NCDESTROY:
      DefaultHandler(Message);
      DetachHandle();
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      return CNKeyDown(Message);
    case CN_CHAR:
      return CNChar(Message);
    case CN_SYSCHAR: {
      Message.Result = 0;
      TCustomForm* form = GetParentForm(this);
      if (Message.WParam != VK_SPACE && form)
        Message.Result = form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
      return;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      SetTextColor(dc, ColorToRGB(FFont->Color()));
      SetBkColor(dc, ColorToRGB(FColor));
      if (!FBrush) FBrush = GdiNewSolidBrush(ColorToRGB(FColor));
      Message.Result = reinterpret_cast<LRESULT>(FBrush);
      return;
    }
    case CM_VISIBLECHANGED:
      if (!FVisible) {
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->ControlRemoving(this, false);
      }
      UpdateControlState();
      return;
    case CM_ENABLEDCHANGED:
      if (FHandle) EnableWindow(FHandle, FEnabled);
      if (!FEnabled)
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->ControlRemoving(this, false);
      return TControl::Dispatch(Message);
    case CM_SHOWINGCHANGED:
      if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      return;
    case CM_FONTCHANGED: {
      if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
      Invalidate();
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(CM_PARENTFONTCHANGED, 0, 0);
      return;
    }
    case CM_COLORCHANGED:
      ReleaseBrush();
      Invalidate();
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(CM_PARENTCOLORCHANGED, 0, 0);
      return;
    case CM_CONTROLLISTCHANGE:
      // The form hears of every change below it.
      if (FParent) FParent->WindowProc(Message);
      return;
    case CM_RECREATEWND: {
      bool wasFocused = Focused();
      FSavedText = GetText();
      DestroyHandle();
      FText = FSavedText;
      UpdateControlState();
      if (wasFocused && FHandle) ::SetFocus(FHandle);
      return;
    }
    case CM_INVALIDATE:
      if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
      return;
    case CM_FOCUSCHANGED:
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      return Broadcast(Message);
    case CM_ENTER:
      return DoEnter();
    case CM_EXIT:
      return DoExit();
    default:
      return TControl::Dispatch(Message);
  }
}
