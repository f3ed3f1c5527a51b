#include "framework/Controls.h"

#include <algorithm>
#include <climits>
#include <map>
#include <unordered_map>

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Platform.h"
#include "framework/SysUtils.h"

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
TControl* g_captureControl = nullptr;

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

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK;
}

POINT CursorPos() {
  POINT p{0, 0};
  Platform().GetCursorPos(&p);
  return p;
}

// ---- hover tracking: the deepest visible control under the cursor ----
TControl* g_mouseControl = nullptr;
HWND g_trackedWindow = nullptr;

TControl* DeepestControlAt(TWinControl* ctl, POINT screen) {
  TControl* result = ctl;
  while (auto* win = As<TWinControl>(result)) {
    TControl* child = win->ControlAtPos(win->ScreenToClient(screen), true, true);
    if (!child) break;
    result = child;
  }
  return result;
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

TControl* FindDragTarget(POINT Pos, bool AllowDisabled) {
  TWinControl* win = FindVCLWindow(WindowFromPoint(Pos));
  if (!win) return nullptr;
  TControl* c = win->ControlAtPos(win->ScreenToClient(Pos), AllowDisabled);
  return c ? c : win;
}

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->Parent()) Control = Control->Parent();
  return As<TCustomForm>(Control);
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
  HWND under = WindowFromPoint(p);
  TControl* now = nullptr;
  if (TWinControl* win = FindVCLWindow(under)) {
    now = win->Showing() ? DeepestControlAt(win, p) : nullptr;
    // WM_MOUSELEAVE tells us when the cursor goes to a foreign window or the desktop.
    HWND track = win->Handle();
    if (track != g_trackedWindow) {
      TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, track, 0};
      if (TrackMouseEvent(&tme)) g_trackedWindow = track;
    }
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

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (Platform().GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (Platform().GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (keyData & 0x20000000) s += ssAlt;  // context code: Alt held
  return s;
}

// ---- cursor identifiers ----
namespace {
struct CursorName {
  int value;
  const char* name;
};
const CursorName kCursorNames[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},   {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},     {crSize, "crSize"},
};
}  // namespace

bool CursorToIdent(int64_t cursor, std::string& ident) {
  for (const auto& c : kCursorNames)
    if (c.value == cursor) {
      ident = c.name;
      return true;
    }
  return false;
}

bool IdentToCursor(const std::string& ident, int64_t& cursor) {
  for (const auto& c : kCursorNames)
    if (lstrcmpiA(c.name, ident.c_str()) == 0) {
      cursor = c.value;
      return true;
    }
  return false;
}

// ===================================================================================================
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  if (!Application) InitializeForms();
  FFont = new TFont();
  FFont->OnChange = [this](TObject* s) { FontChanged(s); };
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FConstraints = new TSizeConstraints(this);
  WindowProc = TWndMethod::Bind<&TControl::WndProc>(this);
}

TControl::~TControl() {
  // Deleted without Free(): leave the parent and the trackers anyway (windowed controls did in their own
  // destructor, where the object still knows it is windowed).
  ForgetMouseControl(this);
  if (FParent) FParent->RemoveControl(this);
  if (FActionLink) FActionLink->Free();
  FConstraints->Free();
  FFont->Free();
}

// ---- size constraints ----
void TSizeConstraints::SetMinWidth(int v) { FMinWidth = v; Changed(); }
void TSizeConstraints::SetMinHeight(int v) { FMinHeight = v; Changed(); }
void TSizeConstraints::SetMaxWidth(int v) { FMaxWidth = v; Changed(); }
void TSizeConstraints::SetMaxHeight(int v) { FMaxHeight = v; Changed(); }

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* o = As<TSizeConstraints>(Source)) {
    FMinWidth = o->FMinWidth;
    FMinHeight = o->FMinHeight;
    FMaxWidth = o->FMaxWidth;
    FMaxHeight = o->FMaxHeight;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
  if (FMaxWidth > 0 && Width > FMaxWidth) Width = FMaxWidth;
  if (FMaxHeight > 0 && Height > FMaxHeight) Height = FMaxHeight;
  if (FMinWidth > 0 && Width < FMinWidth) Width = FMinWidth;
  if (FMinHeight > 0 && Height < FMinHeight) Height = FMinHeight;
}

void TSizeConstraints::Changed() {
  if (FControl && !FControl->ComponentState().Contains(csLoading))
    FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
}

void TControl::PreDestroy() {
  ForgetMouseControl(this);
  inherited::PreDestroy();
}

void TControl::Unlink() {
  ForgetMouseControl(this);
  if (FParent) FParent->RemoveControl(this);
  inherited::Unlink();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = As<TWinControl>(Value)) SetParent(w);
}

void TControl::SetParent(TWinControl* Value) {
  if (FParent == Value) return;
  if (Value == this) throw EInvalidOperation("Control '" + Name() + "' cannot be its own parent");
  if (FParent) FParent->RemoveControl(this);
  if (Value) Value->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FConstraints->Apply(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool resized = AWidth != FWidth || AHeight != FHeight;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  UpdateAnchorRules();
  if (resized) Resize();
  RequestAlign();
}

void TControl::UpdateAnchorRules() {
  // Bounds placed by the parent's alignment keep the rules they had.
  if (!FParent || FParent->FAlignLevel > 0) return;
  RECT pc = FParent->ClientRect();
  FAnchorRight = pc.right - (FLeft + FWidth);
  FAnchorBottom = pc.bottom - (FTop + FHeight);
}

void TControl::SetAnchors(TAnchors Value) {
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  SetBounds(MulDiv(FLeft, M, D), MulDiv(FTop, M, D), MulDiv(FWidth, M, D), MulDiv(FHeight, M, D));
  if (!FParentFont) {
    FFont->SetHeight(MulDiv(FFont->Height(), M, D));
    FParentFont = false;
  }
}

RECT TControl::ClientRect() { return RECT{0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int W, int H) {
  RECT r = ClientRect();
  SetBounds(FLeft, FTop, FWidth - (r.right - r.left) + W, FHeight - (r.bottom - r.top) + H);
}

POINT TControl::ClientOrigin() {
  if (!FParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  POINT p = FParent->ClientOrigin();
  return POINT{p.x + FLeft, p.y + FTop};
}

POINT TControl::ClientToScreen(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

std::string TControl::GetText() {
  LRESULT len = Perform(WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return {};
  std::string s(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = Perform(WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
  return s;
}

void TControl::SetText(const std::string& Value) {
  if (GetText() == Value) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
  if (FAutoSize) AdjustSize();
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (Value && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FFont->Assign(FParent->Font());
  FParentFont = true;
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (Value && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent) return;
  SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::SetShowHint(bool Value) {
  FShowHint = Value;
  FParentShowHint = false;
  ParentShowHintChanged();
}

void TControl::SetParentShowHint(bool Value) {
  FParentShowHint = Value;
  if (Value && FParent) {
    FShowHint = FParent->ShowHint();
    ParentShowHintChanged();
  }
}

void TControl::ParentShowHintChanged() {
  // Children following their parent's ShowHint take the new value, down the whole tree.
  auto* win = As<TWinControl>(this);
  if (!win) return;
  for (int i = 0; i < win->ControlCount(); ++i) {
    TControl* c = win->Controls(i);
    if (c->FParentShowHint) {
      c->FShowHint = FShowHint;
      c->ParentShowHintChanged();
    }
  }
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
}

void TControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) { return false; }

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (FParent && FAlign != alNone) FParent->Realign();
}

void TControl::Loaded() {
  inherited::Loaded();
  if (FParentFont && FParent) ParentFontChanged();
  if (FParentColor && FParent) ParentColorChanged();
  if (FAutoSize) AdjustSize();
}

void TControl::SetReading(bool reading) {
  inherited::SetReading(reading);
  if (reading)
    FControlState += csReadingState;
  else
    FControlState -= csReadingState;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

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
  DefaultHandler(Message);
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

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: return WMMouseButton(Message, mbLeft, true);
    case WM_RBUTTONDOWN: return WMMouseButton(Message, mbRight, true);
    case WM_MBUTTONDOWN: return WMMouseButton(Message, mbMiddle, true);
    case WM_LBUTTONUP: return WMMouseButton(Message, mbLeft, false);
    case WM_RBUTTONUP: return WMMouseButton(Message, mbRight, false);
    case WM_MBUTTONUP: return WMMouseButton(Message, mbMiddle, false);
    case WM_MOUSEMOVE: return WMMouseMove(Message);
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      TWMMouse mouse(Message);
      DefaultHandler(Message);
      MouseDown(Message.Msg == WM_RBUTTONDBLCLK ? mbRight : mbMiddle,
                KeysToShiftState(static_cast<WORD>(mouse.Keys())) + ssDouble, mouse.XPos(), mouse.YPos());
      return;
    }
    case WM_LBUTTONDBLCLK: {
      TWMMouse mouse(Message);
      DefaultHandler(Message);
      if (FControlStyle.Contains(csCaptureMouse)) SetCaptureControl(this);
      DblClick();
      MouseDown(mbLeft, KeysToShiftState(static_cast<WORD>(mouse.Keys())) + ssDouble, mouse.XPos(), mouse.YPos());
      return;
    }
    case WM_CONTEXTMENU:
      return WMContextMenu(Message);
    case CM_MOUSEENTER:
      if (OnMouseEnter) OnMouseEnter(this);
      return;
    case CM_MOUSELEAVE:
      if (OnMouseLeave) OnMouseLeave(this);
      return;
    case CM_PARENTFONTCHANGED: return ParentFontChanged();
    case CM_PARENTCOLORCHANGED: return ParentColorChanged();
    case CM_VISIBLECHANGED:
      InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
      Invalidate();
      return;
    default:
      DefaultHandler(Message);
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(FText.size());
      return;
    case WM_GETTEXT: {
      if (Message.WParam == 0 || !Message.LParam) return;
      size_t n = std::min<size_t>(FText.size(), Message.WParam - 1);
      char* dst = reinterpret_cast<char*>(Message.LParam);
      memcpy(dst, FText.data(), n);
      dst[n] = '\0';
      Message.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_SETTEXT:
      FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = TRUE;
      return;
    default:
      return;
  }
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  RECT r = BoundsRect();
  InvalidateRect(FParent->Handle(), &r, !IsOpaque);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  Invalidate();
  FParent->Update();
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto move = [&](auto& list, auto* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost)
      list.push_back(item);
    else
      list.insert(list.begin(), item);
  };
  if (auto* w = As<TWinControl>(this)) {
    move(FParent->FWinControls, w);
    if (w->HandleAllocated())
      SetWindowPos(w->Handle(), TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    move(FParent->FControls, this);
    InvalidateControl(FVisible, true);
  }
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FActionLink)
    FActionLink->Execute(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

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
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
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
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
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
  if (GetCaptureControl() == this || (g_captureControl && g_captureControl->FParent == this)) g_captureControl = nullptr;
  if (g_trackedWindow == FHandle) g_trackedWindow = nullptr;
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

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  HWND parent = GetAncestor(FHandle, GA_PARENT);
  if ((GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) && parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  bool resized = w != FWidth || h != FHeight;
  FLeft = r.left;
  FTop = r.top;
  FWidth = w;
  FHeight = h;
  UpdateAnchorRules();
  if (resized && !FControlState.Contains(csCreating)) {
    Realign();
    Resize();
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
  if (show) {
    bool created = false;
    if (!FHandle) {
      CreateHandle();
      created = true;
    }
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
    (void)created;
    if (!FShowing) {
      FShowing = true;
      try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
      } catch (...) {
        FShowing = false;
        throw;
      }
    }
  } else {
    if (FShowing) {
      FShowing = false;
      try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
      } catch (...) {
        FShowing = true;
        throw;
      }
    }
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

RECT TWinControl::ClientRect() {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return r;
  }
  return TControl::ClientRect();
}

POINT TWinControl::ClientOrigin() {
  POINT p{0, 0};
  if (FHandle) {
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  if (FParent) {
    POINT o = FParent->ClientOrigin();
    return POINT{o.x + FLeft, o.y + FTop};
  }
  return POINT{FLeft, FTop};
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FConstraints->Apply(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle) {
    // WM_WINDOWPOSCHANGED brings the new bounds back (UpdateBounds).
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  bool resized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  if (resized && !ComponentState().Contains(csLoading)) {
    Realign();
    Resize();
  }
  RequestAlign();
}

void TWinControl::SetClientSize(int W, int H) {
  RECT r = ClientRect();
  SetBounds(FLeft, FTop, FWidth - r.right + W, FHeight - r.bottom + H);
}

std::string TWinControl::GetText() { return TControl::GetText(); }

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

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

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  bool any = false;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone || c->Anchors().Contains(akRight) || c->Anchors().Contains(akBottom)) any = true;
  }
  if (!any) return;
  RECT r = ClientRect();
  ++FAlignLevel;
  try {
    AlignControls(nullptr, r);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  --FAlignLevel;
}

void TWinControl::AlignControls(TControl*, RECT& Rect) {
  auto place = [&](TAlign a) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c->Align() != a || !c->Visible()) continue;
      int w = c->Width(), h = c->Height();
      switch (a) {
        case alTop:
          c->SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, h);
          Rect.top += h;
          break;
        case alBottom:
          c->SetBounds(Rect.left, Rect.bottom - h, Rect.right - Rect.left, h);
          Rect.bottom -= h;
          break;
        case alLeft:
          c->SetBounds(Rect.left, Rect.top, w, Rect.bottom - Rect.top);
          Rect.left += w;
          break;
        case alRight:
          c->SetBounds(Rect.right - w, Rect.top, w, Rect.bottom - Rect.top);
          Rect.right -= w;
          break;
        case alClient:
          c->SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
          break;
        default:
          break;
      }
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
  // Anchored controls keep their distance from the right and bottom edges.
  RECT pc = ClientRect();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone) continue;
    int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    if (c->Anchors().Contains(akRight) && c->FAnchorRight >= 0) {
      if (c->Anchors().Contains(akLeft))
        w = pc.right - c->FAnchorRight - l;
      else
        l = pc.right - c->FAnchorRight - w;
    }
    if (c->Anchors().Contains(akBottom) && c->FAnchorBottom >= 0) {
      if (c->Anchors().Contains(akTop))
        h = pc.bottom - c->FAnchorBottom - t;
      else
        t = pc.bottom - c->FAnchorBottom - h;
    }
    c->SetBounds(l, t, w, h);
  }
}

void TWinControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  try {
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
    TControl::ChangeScale(M, D);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  EnableAlign();
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

// ---- painting ----
void TWinControl::PaintWindow(HDC DC) {
  if (FrameworkPainted()) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintHandler(HDC DC) {
  int saved = 0;
  int clip = SIMPLEREGION;
  for (TControl* c : FControls)
    if (c->Visible() && c->ControlStyle().Contains(csOpaque)) {
      if (!saved) saved = SaveDC(DC);
      clip = ExcludeClipRect(DC, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
      if (clip == NULLREGION) break;
    }
  if (clip != NULLREGION) {
    FControlState += csCustomPaint;
    try {
      PaintWindow(DC);
    } catch (...) {
      FControlState -= csCustomPaint;
      if (saved) RestoreDC(DC, saved);
      throw;
    }
    FControlState -= csCustomPaint;
  }
  if (saved) RestoreDC(DC, saved);
  PaintControls(DC, nullptr);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto it = FControls.begin();
  if (First) it = std::find(FControls.begin(), FControls.end(), First);
  std::vector<TControl*> list(it, FControls.end());  // a paint may change the list
  for (TControl* c : list) {
    if (!c->Visible()) continue;
    RECT r = c->BoundsRect();
    if (!RectVisible(DC, &r)) continue;
    bool copy = FControlState.Contains(csPaintCopy);
    if (copy) c->FControlState += csPaintCopy;
    int s = SaveDC(DC);
    POINT org;
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - c->Left(), org.y - c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } catch (...) {
      RestoreDC(DC, s);
      c->FControlState -= csPaintCopy;
      throw;
    }
    RestoreDC(DC, s);
    if (copy) c->FControlState -= csPaintCopy;
  }
}

void TWinControl::WMPaint(TMessage& Message) {
  if (!FrameworkPainted() && FControls.empty()) {
    DefaultHandler(Message);
    return;
  }
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (dc) {
    PaintHandler(dc);
  } else {
    PAINTSTRUCT ps;
    dc = BeginPaint(FHandle, &ps);
    HDC memDC = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ oldBmp = nullptr;
    try {
      if (FDoubleBuffered) {
        RECT r;
        GetClientRect(FHandle, &r);
        memDC = GdiNewMemoryDC(dc);
        bmp = GdiNewCompatibleBitmap(dc, std::max<int>(r.right, 1), std::max<int>(r.bottom, 1));
        oldBmp = SelectObject(memDC, bmp);
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
        PaintHandler(memDC);
        BitBlt(dc, 0, 0, r.right, r.bottom, memDC, 0, 0, SRCCOPY);
      } else {
        PaintHandler(dc);
      }
    } catch (...) {
      if (memDC) {
        SelectObject(memDC, oldBmp);
        GdiFreeObject(bmp);
        GdiFreeMemoryDC(memDC);
      }
      EndPaint(FHandle, &ps);
      throw;
    }
    if (memDC) {
      SelectObject(memDC, oldBmp);
      GdiFreeObject(bmp);
      GdiFreeMemoryDC(memDC);
    }
    EndPaint(FHandle, &ps);
  }
  Message.Result = 0;
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  FControlState += csPaintCopy;
  int saved = SaveDC(DC);
  try {
    POINT org;
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - X, org.y - Y, nullptr);
    IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle) {
      LONG style = GetWindowLongA(FHandle, GWL_STYLE), ex = GetWindowLongA(FHandle, GWL_EXSTYLE);
      UINT edge = (ex & WS_EX_CLIENTEDGE) ? EDGE_SUNKEN : 0;
      UINT flags = BF_RECT | BF_ADJUST | ((style & WS_BORDER) ? BF_MONO : 0);
      if (edge || (style & WS_BORDER)) DrawEdge(DC, &r, edge ? edge : BDR_OUTER, flags);
    }
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - r.left, org.y - r.top, nullptr);
    IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TWinControl* c : FWinControls)
      if (c->Visible()) c->PaintTo(DC, c->Left(), c->Top());
  } catch (...) {
    RestoreDC(DC, saved);
    FControlState -= csPaintCopy;
    throw;
  }
  RestoreDC(DC, saved);
  FControlState -= csPaintCopy;
}

void TWinControl::WMPrint(TMessage& Message) {
  if (!FrameworkPainted()) {
    DefaultHandler(Message);
    return;
  }
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  LPARAM flags = Message.LParam;
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) return;
  int saved = SaveDC(dc);
  try {
    if (Message.Msg == WM_PRINT) {
      if (flags & PRF_NONCLIENT)
        CallWindowProcA(FDefWndProc, FHandle, WM_PRINT, Message.WParam, PRF_NONCLIENT);
      // The client area starts where the frame ends.
      RECT wr;
      GetWindowRect(FHandle, &wr);
      POINT client{0, 0};
      ::ClientToScreen(FHandle, &client);
      POINT org;
      GetWindowOrgEx(dc, &org);
      SetWindowOrgEx(dc, org.x - (client.x - wr.left), org.y - (client.y - wr.top), nullptr);
      RECT cr;
      GetClientRect(FHandle, &cr);
      IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
    }
    if (flags & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
    if (flags & PRF_CLIENT) Perform(WM_PAINT, Message.WParam, 0);
    if (Message.Msg == WM_PRINT && (flags & PRF_CHILDREN))
      for (TWinControl* c : FWinControls)
        if (c->HandleAllocated() && IsWindowVisible(c->FHandle)) {
          int s = SaveDC(dc);
          POINT org;
          GetWindowOrgEx(dc, &org);
          SetWindowOrgEx(dc, org.x - c->Left(), org.y - c->Top(), nullptr);
          SendMessageA(c->FHandle, WM_PRINT, Message.WParam, flags & ~PRF_CHECKVISIBLE);
          RestoreDC(dc, s);
        }
  } catch (...) {
    RestoreDC(dc, saved);
    throw;
  }
  RestoreDC(dc, saved);
  Message.Result = 0;
}

void TWinControl::SetBorderWidth(int Value) {
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Realign();
}

void TWinControl::WMNCCalcSize(TMessage& Message) {
  DefaultHandler(Message);
  if (FBorderWidth > 0) {
    RECT* r = reinterpret_cast<RECT*>(Message.LParam);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
  }
}

void TWinControl::WMNCPaint(TMessage& Message) {
  DefaultHandler(Message);
  if (FBorderWidth <= 0) return;
  // The ring between the frame and the client area.
  HDC dc = GdiGetWindowDC(FHandle);
  RECT wr, cr;
  GetWindowRect(FHandle, &wr);
  GetClientRect(FHandle, &cr);
  POINT client{0, 0};
  ::ClientToScreen(FHandle, &client);
  OffsetRect(&cr, client.x - wr.left, client.y - wr.top);
  RECT ring = cr;
  InflateRect(&ring, FBorderWidth, FBorderWidth);
  ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  HBRUSH b = GdiNewSolidBrush(ColorToRGB(FColor));
  FillRect(dc, &ring, b);
  GdiFreeObject(b);
  GdiReleaseDC(FHandle, dc);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!FrameworkPainted() || !dc) {
    DefaultHandler(Message);
    return;
  }
  RECT r = ClientRect();  // also without a window (PaintTo of a control whose window is not made yet)
  HBRUSH b = GdiNewSolidBrush(ColorToRGB(FColor));
  ::FillRect(dc, &r, b);
  GdiFreeObject(b);
  Message.Result = 1;
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

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  DefaultHandler(Message);
  UpdateBounds();
}

// ---- keys ----
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

bool TWinControl::DoKeyDown(TMessage& Message) {
  TShiftState shift = KeyDataToShiftState(Message.LParam);
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyDown(Message)) return true;
  WORD key = static_cast<WORD>(Message.WParam);
  KeyDown(key, shift);
  Message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TShiftState shift = KeyDataToShiftState(Message.LParam);
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyUp(Message)) return true;
  WORD key = static_cast<WORD>(Message.WParam);
  KeyUp(key, shift);
  Message.WParam = key;
  return key == 0;
}

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

// ---- reflection ----
void TWinControl::ReflectToChild(TMessage& Message, HWND Child) {
  TWinControl* c = FindControl(Child);
  if (c && c != this) {
    Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

// ---- message routing ----
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
        auto it = g_controlIds.find(mis->CtlID);
        TWinControl* c = it != g_controlIds.end() ? it->second : nullptr;
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
    if (IsMouseMessage(msg) || msg == WM_MOUSELEAVE) {
      if (msg == WM_MOUSELEAVE && g_trackedWindow == h) g_trackedWindow = nullptr;
      UpdateMouseControl();
      if (FindControl(h) != c) return 0;  // a hover handler destroyed the window
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

// ===================================================================================================
// TGraphicControl / TCustomControl

// ---- TControlCanvas ----
namespace {
std::vector<TControlCanvas*>& g_canvasesWithDC = *new std::vector<TControlCanvas*>;
}

TControlCanvas::TControlCanvas(TControl* Control) : FControl(Control) {}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  SetHandle(nullptr);
  if (FOwnDC) {
    GdiReleaseDC(FOwnWindow, FOwnDC);
    FOwnDC = nullptr;
    FOwnWindow = nullptr;
    g_canvasesWithDC.erase(std::remove(g_canvasesWithDC.begin(), g_canvasesWithDC.end(), this), g_canvasesWithDC.end());
  }
}

void TControlCanvas::PaintOn(HDC DC, const std::function<void()>& Paint) {
  Lock();
  FreeHandle();
  SetHandle(DC);
  try {
    Paint();
  } catch (...) {
    SetHandle(nullptr);
    Unlock();
    throw;
  }
  SetHandle(nullptr);
  Unlock();
}

void TControlCanvas::FreeDeviceContexts(HWND Window) {
  std::vector<TControlCanvas*> list = g_canvasesWithDC;
  for (TControlCanvas* c : list)
    if (!Window || c->FOwnWindow == Window) c->FreeHandle();
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  TWinControl* win = As<TWinControl>(FControl);
  TWinControl* host = win ? win : FControl->Parent();
  if (!host) return;
  HWND h = host->Handle();
  HDC dc = GdiGetDCEx(h, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) return;
  if (!win) {
    SetWindowOrgEx(dc, -FControl->Left(), -FControl->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  FOwnDC = dc;
  FOwnWindow = h;
  g_canvasesWithDC.push_back(this);
  SetHandle(dc);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) { FCanvas = new TControlCanvas(this); }

TGraphicControl::~TGraphicControl() { FCanvas->Free(); }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT && Message.WParam) {
    FCanvas->PaintOn(reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
    return;
  }
  inherited::Dispatch(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) { FCanvas = new TControlCanvas(this); }

TCustomControl::~TCustomControl() { FCanvas->Free(); }

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->PaintOn(DC, [this] { Paint(); });
}

// ===================================================================================================
// Published properties

static const std::vector<std::string> kAlignNames = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};

PUBLISHED(TControl) {
  p.Int("Left", &TControl::Left, &TControl::SetLeft);
  p.Int("Top", &TControl::Top, &TControl::SetTop);
  p.Int("Width", &TControl::Width, &TControl::SetWidth);
  p.Int("Height", &TControl::Height, &TControl::SetHeight);
  p.Enum("Align", &TControl::Align, &TControl::SetAlign, kAlignNames);
  p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, {"akLeft", "akTop", "akRight", "akBottom"});
  p.Object("Constraints", &TControl::Constraints, &TControl::SetConstraints);
  p.Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode,
         {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"});
  p.Str("Caption", &TControl::Caption, &TControl::SetCaption).NotPublished();
  p.Str("Text", &TControl::Text, &TControl::SetText).NotPublished();
  p.Color("Color", &TControl::Color, &TControl::SetColor).NotPublished();
  p.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).NotPublished();
  p.Object("Font", &TControl::Font).NotPublished();
  p.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).NotPublished();
  p.Bool("Visible", &TControl::Visible, &TControl::SetVisible);
  p.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Str("Hint", &TControl::Hint, &TControl::SetHint);
  p.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  p.IntIdents("Cursor", &TControl::Cursor, &TControl::SetCursor, "TCursor");
  p.Object("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu).NotPublished();
  p.Event("OnContextPopup", &TControl::OnContextPopup);
  p.Bool("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize);
  p.Event("OnClick", &TControl::OnClick);
  p.Event("OnDblClick", &TControl::OnDblClick);
  p.Event("OnMouseDown", &TControl::OnMouseDown);
  p.Event("OnMouseMove", &TControl::OnMouseMove);
  p.Event("OnMouseUp", &TControl::OnMouseUp);
  p.Event("OnMouseEnter", &TControl::OnMouseEnter);
  p.Event("OnMouseLeave", &TControl::OnMouseLeave);
  p.Event("OnResize", &TControl::OnResize);
}

PUBLISHED(TWinControl) {
  p.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Int("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth);
  p.Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered);
  p.Event("OnKeyDown", &TWinControl::OnKeyDown);
  p.Event("OnKeyUp", &TWinControl::OnKeyUp);
  p.Event("OnKeyPress", &TWinControl::OnKeyPress);
  p.Event("OnEnter", &TWinControl::OnEnter);
  p.Event("OnExit", &TWinControl::OnExit);
}

PUBLISHED(TSizeConstraints) {
  p.Int("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth);
  p.Int("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight);
  p.Int("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth);
  p.Int("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight);
}
IMPLEMENT_CLASS(TControlCanvas)
IMPLEMENT_CLASS(TGraphicControl)
IMPLEMENT_CLASS(TCustomControl)

void RegisterControlClasses() { RegisterIntegerIdents("TCursor", &IdentToCursor, &CursorToIdent); }
