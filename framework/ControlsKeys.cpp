// Keys: the shift state of key data, dialog keys handed to the form, and key events (the form first when it
// previews keys).
#include "framework/Controls.h"

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Platform.h"

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (Platform().GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (Platform().GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (keyData & 0x20000000) s += ssAlt;  // context code: Alt held
  return s;
}

// ===================================================================================================
// TWinControl

bool TWinControl::WantsKey(WPARAM Key) {
  if (!FHandle) return false;
  UINT mask = 0;
  switch (Key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: return true;
  }
  return (Perform(WM_GETDLGCODE, 0, 0) & mask) != 0;
}

void TWinControl::CNKeyDown(TMessage& Message) {
  WPARAM key = Message.WParam;
  Message.Result = 1;
  if (IsMenuKey(this, Message)) return;
  switch (key) {
    case VK_TAB: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL:
      if (!WantsKey(key)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) return;
      }
      break;
    default:
      break;
  }
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
  Message.Result = 1;
  if (!(Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS)) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

bool TWinControl::KeyFromChildWindow(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return DoKeyDown(Message);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return DoKeyUp(Message);
    case WM_CHAR:
      return DoKeyPress(Message);
    default:
      return false;
  }
}

bool TWinControl::DoKeyEvent(TMessage& Message, bool (TWinControl::*Step)(TMessage&),
                             void (TWinControl::*Event)(WORD&, TShiftState)) {
  TShiftState shift = KeyDataToShiftState(Message.LParam);
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && (static_cast<TWinControl*>(form)->*Step)(Message)) return true;
  WORD key = static_cast<WORD>(Message.WParam);
  (this->*Event)(key, shift);
  Message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& Message) {
  return DoKeyEvent(Message, &TWinControl::DoKeyDown, &TWinControl::KeyDown);
}

bool TWinControl::DoKeyUp(TMessage& Message) { return DoKeyEvent(Message, &TWinControl::DoKeyUp, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyPress(Message)) return true;
  char key = static_cast<char>(Message.WParam);
  KeyPress(key);
  Message.WParam = static_cast<unsigned char>(key);
  return key == 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
