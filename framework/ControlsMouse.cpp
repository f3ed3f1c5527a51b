// Mouse: the capture control, hover tracking (the deepest control under the cursor), mouse messages of
// controls and their routing to graphic children, and the cursor shown over a window.
#include "framework/ControlsMouse.h"

#include "framework/Forms.h"
#include "framework/Platform.h"

namespace {

TControl* g_captureControl = nullptr;  // the control given the capture, until its window loses it
// Hover tracking: the deepest visible control under the cursor, and the window asked for WM_MOUSELEAVE.
TControl* g_mouseControl = nullptr;
HWND g_trackedWindow = nullptr;
bool g_trackedFrame = false;  // ... asked about its frame (WM_NCMOUSELEAVE): the cursor was outside its client area

TControl* DeepestControlAt(TWinControl* ctl, POINT screen) {
  TControl* result = ctl;
  while (auto* win = As<TWinControl>(result)) {
    TControl* child = win->ControlAtPos(win->ScreenToClient(screen), true, true);
    if (!child) break;
    result = child;
  }
  return result;
}

// Whether the cursor at p lies on the frame or caption of window h: over h, outside its client area.
bool OnFrameOf(HWND h, POINT p) {
  if (Platform().WindowFromPoint(p) != h) return false;
  RECT r{};
  GetClientRect(h, &r);
  MapWindowPoints(h, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  return !PtInRect(&r, p);
}

// Whether a leave message for h came from the system's tracking: the system stops tracking a window when it
// posts its leave, so one arriving while h is still tracked was sent by code (a fade that saw the cursor go).
bool FromTracking(HWND h) {
  TRACKMOUSEEVENT q{sizeof q, TME_QUERY, nullptr, 0};
  return !TrackMouseEvent(&q) || q.hwndTrack != h || !(q.dwFlags & TME_LEAVE);
}

// Asks the system about the cursor leaving h: its client area, or from its frame the whole window. A change of
// kind for the same window cancels the old request first, which would otherwise end with a leave message.
void TrackLeave(HWND h, bool Frame) {
  if (h == g_trackedWindow && Frame == g_trackedFrame) return;
  if (h == g_trackedWindow) {
    TRACKMOUSEEVENT cancel{sizeof cancel, TME_CANCEL | TME_LEAVE | (g_trackedFrame ? TME_NONCLIENT : 0u), h, 0};
    TrackMouseEvent(&cancel);
  }
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | (Frame ? TME_NONCLIENT : 0u), h, 0};
  if (TrackMouseEvent(&tme)) {
    g_trackedWindow = h;
    g_trackedFrame = Frame;
  }
}

}  // namespace

namespace controls_detail {

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK;
}

POINT CursorPos() {
  POINT p{0, 0};
  Platform().GetCursorPos(&p);
  return p;
}

bool NoteMouseMessage(HWND h, UINT msg) {
  bool pass = true;
  if ((msg == WM_MOUSELEAVE || msg == WM_NCMOUSELEAVE) && FromTracking(h)) {
    if (g_trackedWindow == h) g_trackedWindow = nullptr;
    const POINT p = CursorPos();
    if (msg == WM_MOUSELEAVE)
      pass = !OnFrameOf(h, p);  // only on to the frame or caption: the window has not been left
    else if (Platform().WindowFromPoint(p) != h)
      PostMessageA(h, WM_MOUSELEAVE, 0, 0);  // left from the frame: told as when leaving from the client area
  }
  UpdateMouseControl();
  return pass;
}

void ForgetWindowMouse(TWinControl* Control, HWND Handle) {
  if (GetCaptureControl() == Control || (g_captureControl && g_captureControl->Parent() == Control))
    g_captureControl = nullptr;
  if (g_trackedWindow == Handle) g_trackedWindow = nullptr;
}

}  // namespace controls_detail

using namespace controls_detail;

// ===================================================================================================
// Capture and hover tracking

TControl* FindDragTarget(POINT Pos, bool AllowDisabled) {
  TWinControl* win = FindVCLWindow(Platform().WindowFromPoint(Pos));
  if (!win) return nullptr;
  TControl* c = win->ControlAtPos(win->ScreenToClient(Pos), AllowDisabled);
  return c ? c : win;
}

TControl* GetCaptureControl() {
  if (g_captureControl) {
    HWND cap = GetCapture();
    TWinControl* owner = As<TWinControl>(g_captureControl) ? static_cast<TWinControl*>(g_captureControl)
                                                           : g_captureControl->Parent();
    if (!owner || !owner->HandleAllocated() || cap != owner->Handle()) g_captureControl = nullptr;
  }
  return g_captureControl;
}

void SetCaptureControl(TControl* Control) {
  g_captureControl = nullptr;
  if (!Control) {
    ReleaseCapture();
    return;
  }
  TWinControl* win = As<TWinControl>(Control);
  if (!win) win = Control->Parent();
  if (!win) return;
  SetCapture(win->Handle());
  g_captureControl = Control;
}

TControl* MouseControl() { return g_mouseControl; }

void UpdateMouseControl() {
  POINT p = CursorPos();
  HWND under = Platform().WindowFromPoint(p);
  TControl* now = nullptr;
  if (TWinControl* win = FindVCLWindow(under)) {
    now = win->Showing() ? DeepestControlAt(win, p) : nullptr;
    // WM_MOUSELEAVE (or WM_NCMOUSELEAVE from the frame) tells us when the cursor goes to a foreign window or
    // the desktop.
    HWND track = win->Handle();
    TrackLeave(track, under == track && OnFrameOf(track, p));
  } else {
    g_trackedWindow = nullptr;
  }
  if (now == g_mouseControl) return;
  TControl* old = g_mouseControl;
  g_mouseControl = now;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (now && now == g_mouseControl) now->Perform(CM_MOUSEENTER, 0, 0);
  if (Application && now == g_mouseControl) Application->HintMouseControlChanged(now);
}

void ForgetMouseControl(TControl* Control) {
  if (g_mouseControl == Control) g_mouseControl = nullptr;
  if (g_captureControl == Control) g_captureControl = nullptr;
  if (Application) Application->ControlDestroying(Control);
}

TShiftState KeysToShiftState(WORD keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  if (Platform().GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

// ===================================================================================================
// Mouse messages

void TControl::WndProc(TMessage& Message) {
  if (IsMouseMessage(Message.Msg)) {
    // Without csDoubleClicks a double click arrives as a second button down.
    if (!FControlStyle.Contains(csDoubleClicks) &&
        (Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK))
      Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
  }
  Dispatch(Message);
}

void TControl::WMMouseButton(TMessage& Message, TMouseButton Button, bool Down) {
  TWMMouse mouse(Message);
  TShiftState shift = KeysToShiftState(static_cast<WORD>(mouse.Keys()));
  // The system's click notification (run from the default handling) and Click fire handlers that may free
  // this control or its form; nothing of it is touched after that.
  TFreeWatch watch(this);
  DefaultHandler(Message);
  if (watch.Freed()) return;
  if (Down) {
    if (Button == mbLeft) {
      if (FControlStyle.Contains(csCaptureMouse)) SetCaptureControl(this);
      if (FControlStyle.Contains(csClickEvents)) FControlState += csClicked;
    }
    MouseDown(Button, shift, mouse.XPos(), mouse.YPos());
  } else {
    if (Button == mbLeft) {
      if (FControlStyle.Contains(csCaptureMouse) && GetCaptureControl() == this) SetCaptureControl(nullptr);
      if (FControlState.Contains(csClicked)) {
        FControlState -= csClicked;
        RECT r = ClientRect();
        POINT p = mouse.Pos();
        if (PtInRect(&r, p)) Click();
        if (watch.Freed()) return;
      }
    }
    MouseUp(Button, shift, mouse.XPos(), mouse.YPos());
  }
}

void TControl::WMMouseMove(TMessage& Message) {
  TWMMouse mouse(Message);
  DefaultHandler(Message);
  MouseMove(KeysToShiftState(static_cast<WORD>(mouse.Keys())), mouse.XPos(), mouse.YPos());
}

void TWinControl::WndProc(TMessage& Message) {
  UINT msg = Message.Msg;
  if (IsMouseMessage(msg)) {
    // Over a graphic child (or while it holds the capture) the child gets the message.
    TControl* target = nullptr;
    TControl* cap = GetCaptureControl();
    if (cap && cap->FParent == this && !As<TWinControl>(cap))
      target = cap;
    else if (!cap)
      target = ControlAtPos(TWMMouse(Message).Pos(), false);
    if (target && !As<TWinControl>(target)) {
      POINT p = TWMMouse(Message).Pos();
      LPARAM l = MAKELPARAM(static_cast<WORD>(p.x - target->Left()), static_cast<WORD>(p.y - target->Top()));
      Message.Result = target->Perform(msg, Message.WParam, l);
      return;
    }
  } else if (msg == WM_MOUSEWHEEL) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0) {
      Message.Result = 1;
      return;
    }
  }
  TControl::WndProc(Message);
}

void TWinControl::WMSetCursor(TMessage& Message) {
  TWMSetCursor sc(Message);
  TCursor cursor = Screen ? Screen->Cursor() : crDefault;
  if (cursor == crDefault && sc.CursorWnd() == FHandle && sc.HitTest() == HTCLIENT) {
    POINT p = ScreenToClient(CursorPos());
    TControl* c = ControlAtPos(p, false);
    cursor = c && c->Cursor() != crDefault ? c->Cursor() : Cursor();
  }
  if (cursor != crDefault && Screen) {
    ::SetCursor(Screen->Cursors(cursor));
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}
