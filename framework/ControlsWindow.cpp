// Windows of controls: the registry of which object owns which window, window classes, creating and
// destroying windows, and the window procedure every framework window shares.
#include "framework/ControlsWindow.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "framework/ControlsMouse.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

using namespace controls_detail;

// ---------------------------------------------------------------------------------------------------
// Window registry: which object owns which window, the object whose window is being created, the
// system procedure of each registered class, and the child window IDs.
namespace {

// Never destroyed: Wine destroys the thread's windows after static destructors ran at exit, and their
// last messages still pass through the window procedure.
std::unordered_map<HWND, TWinControl*>& g_windows = *new std::unordered_map<HWND, TWinControl*>;
std::unordered_map<UINT, TWinControl*>& g_controlIds = *new std::unordered_map<UINT, TWinControl*>;
std::map<std::string, WNDPROC>& g_classProcs = *new std::map<std::string, WNDPROC>;
// Set at process exit: windows then only get their class's own procedure.
volatile bool g_exiting = false;
TWinControl* g_creationControl = nullptr;  // receives its window at the window's first message
int g_windowCount = 0;
UINT g_nextControlId = 0;

UINT NewControlId() {
  for (;;) {
    g_nextControlId = g_nextControlId >= 0xFFFF ? 1 : g_nextControlId + 1;
    if (!g_controlIds.count(g_nextControlId)) return g_nextControlId;
  }
}

WNDPROC ClassDefProc(HWND h) {
  char name[256] = {};
  GetClassNameA(h, name, sizeof name);
  auto it = g_classProcs.find(name);
  return it != g_classProcs.end() ? it->second : DefWindowProcA;
}
}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND h, UINT msg, WPARAM w, LPARAM l);

TWinControl* FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  auto it = g_windows.find(Handle);
  return it != g_windows.end() ? it->second : nullptr;
}

TWinControl* FindVCLWindow(HWND Handle) {
  while (Handle) {
    if (TWinControl* c = FindControl(Handle)) return c;
    Handle = GetAncestor(Handle, GA_PARENT);
  }
  return nullptr;
}

int FrameworkWindowCount() { return g_windowCount; }
void AdjustFrameworkWindowCount(int delta) { g_windowCount += delta; }

TWinControl* controls_detail::ControlOfId(UINT Id) {
  auto it = g_controlIds.find(Id);
  return it != g_controlIds.end() ? it->second : nullptr;
}

// ===================================================================================================
// Creating and destroying a control's window

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  if (FHandle) DestroyHandle();
  FParentWindow = Value;
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcA;
  // the system's arrow is one shared handle: loading it again would ask the system once more for every window
  static const HCURSOR Arrow = LoadCursorA(nullptr, IDC_ARROW);
  Params.WindowClass.hCursor = Arrow;
  Params.WindowClass.hbrBackground = nullptr;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, ControlClassName, &wc) && !GetClassInfoA(GetModuleHandleA(nullptr), ControlClassName, &wc))
    throw EOutOfResources("Window class " + std::string(ControlClassName) + " is not available");
  // A class DC would be shared with the system class; our class gets ordinary DCs.
  wc.style &= ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS);
  Params.WindowClass = wc;
}

namespace {
WNDPROC RegisterFrameworkClass(const TCreateParams& p) {
  auto it = g_classProcs.find(p.WinClassName);
  if (it != g_classProcs.end()) return it->second;
  WNDCLASSA wc = p.WindowClass;
  WNDPROC def = wc.lpfnWndProc ? wc.lpfnWndProc : DefWindowProcA;
  wc.lpfnWndProc = FrameworkWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = p.WinClassName.c_str();
  wc.lpszMenuName = nullptr;
  if (!RegisterClassA(&wc)) RaiseLastOSError();
  g_classProcs[p.WinClassName] = def;
  return def;
}
}  // namespace

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) {
    if (!FControlID) FControlID = NewControlId();
    g_controlIds[FControlID] = this;
    id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FControlID));
  }
  TWinControl* outer = g_creationControl;
  g_creationControl = this;
  HWND h = nullptr;
  try {
    h = MakeWindow(Params, id);
  } catch (...) {
    if (g_creationControl == this) g_creationControl = outer;
    if (FControlID) g_controlIds.erase(FControlID);
    throw;
  }
  DWORD err = GetLastError();
  if (g_creationControl == this) g_creationControl = outer;
  if (!h) {
    if (FHandle) DetachHandle();
    if (FControlID) g_controlIds.erase(FControlID);
    RaiseLastOSError(err ? err : ERROR_INVALID_WINDOW_HANDLE);
  }
  if (!FHandle) AttachHandle(h);
}

HWND TWinControl::MakeWindow(const TCreateParams& Params, HMENU Id) {
  return CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                         Params.Y, Params.Width, Params.Height, Params.WndParent, Id, GetModuleHandleA(nullptr),
                         Params.Param);
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD))
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  FDefWndProc = RegisterFrameworkClass(params);
  CreateWindowHandle(params);
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) const {
  auto it = std::find(FWinControls.begin(), FWinControls.end(), Control);
  if (it == FWinControls.end()) return HWND_TOP;
  for (++it; it != FWinControls.end(); ++it)
    if ((*it)->HandleAllocated()) return (*it)->FHandle;
  return HWND_TOP;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState += csCreating;
  try {
    CreateWnd();
    // The window's z-order follows the list: just below the next sibling up that has a window.
    if (FParent)
      SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateBounds();
    // A window given its font while it was made (a font change meanwhile) is not given it again: a system
    // control lays itself out anew for every WM_SETFONT.
    const WPARAM Font = reinterpret_cast<WPARAM>(FFont->Handle());
    if (static_cast<WPARAM>(Perform(WM_GETFONT, 0, 0)) != Font) Perform(WM_SETFONT, Font, 0);
  } catch (...) {
    FControlState -= csCreating;
    throw;
  }
  FControlState -= csCreating;
}

void TWinControl::AttachHandle(HWND h) {
  FHandle = h;
  g_windows[h] = this;
  ++g_windowCount;
}

void TWinControl::DetachHandle() {
  if (!FHandle) return;
  g_windows.erase(FHandle);
  --g_windowCount;
  if (FControlID) g_controlIds.erase(FControlID);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  FControlState += csDestroyingHandle;
  try {
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it) (*it)->DestroyHandle();
    DestroyWnd();
  } catch (...) {
    FControlState -= csDestroyingHandle;
    throw;
  }
  FControlState -= csDestroyingHandle;
}

void TWinControl::DestroyWnd() {
  FText = GetText();  // the caption outlives the window
  ForgetWindowMouse(this, FHandle);
  TControlCanvas::FreeDeviceContexts(FHandle);
  DestroyWindowHandle();
  ReleaseBrush();
}

void TWinControl::DestroyWindowHandle() {
  HWND h = FHandle;
  if (!h) return;
  if (!DestroyWindow(h) && FHandle == h) DetachHandle();  // the window is gone anyway (other thread)
  if (FHandle == h) DetachHandle();
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

// ===================================================================================================
// The window procedure

void TWinControl::DefaultHandler(TMessage& Message) {
  if (FHandle) {
    Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TControl::DefaultHandler(Message);
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    if (WindowProc)
      WindowProc(Message);
    else
      WndProc(Message);
  } catch (...) {
    HandleCallbackException(this);
  }
}

LRESULT CALLBACK FrameworkWindowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TWinControl* c = nullptr;
  try {
    if (g_exiting) return CallWindowProcA(ClassDefProc(h), h, msg, w, l);
    c = FindControl(h);
    if (!c && g_creationControl) {
      c = g_creationControl;
      g_creationControl = nullptr;
      c->AttachHandle(h);
    }
    if (!c) return CallWindowProcA(ClassDefProc(h), h, msg, w, l);
    if (IsMouseMessage(msg) || msg == WM_NCMOUSEMOVE || msg == WM_MOUSELEAVE || msg == WM_NCMOUSELEAVE) {
      const bool pass = NoteMouseMessage(h, msg);
      // a hover handler destroyed the window, or the leave is held back
      if (FindControl(h) != c || !pass) return 0;
    }
  } catch (...) {
    HandleCallbackException(c);
    if (!c || FindControl(h) != c) return DefWindowProcA(h, msg, w, l);
  }
  TMessage m{msg, w, l, 0};
  c->MainWndProc(m);
  // A replaced WindowProc that swallowed WM_NCDESTROY must not leave the dead window mapped.
  if (msg == WM_NCDESTROY && FindControl(h) == c) c->DetachHandle();
  return m.Result;
}

TWinControl* CreationControl() { return g_creationControl; }

void MarkFrameworkExiting() { g_exiting = true; }
bool FrameworkExiting() { return g_exiting; }
