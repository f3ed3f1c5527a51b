#include "framework/Forms.h"

#include <algorithm>

#include "framework/ActnList.h"
#include "framework/FormReader.h"
#include "framework/Menus.h"
#include "framework/Milestones.h"
#include "framework/Platform.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"
#include "framework/Units.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
const TClassInfo* HintWindowClass = THintWindow::StaticClassInfo();

void AdjustFrameworkWindowCount(int delta);

namespace {

constexpr UINT_PTR kHintTimerId = 1;

std::string ExeBaseName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  size_t slash = s.find_last_of("\\/");
  if (slash != std::string::npos) s = s.substr(slash + 1);
  size_t dot = s.find_last_of('.');
  if (dot != std::string::npos) s = s.substr(0, dot);
  return s;
}

struct DisabledWindows {
  HWND keep;
  std::vector<HWND>* list;
};

BOOL CALLBACK DisableWindowProc(HWND h, LPARAM l) {
  auto* d = reinterpret_cast<DisabledWindows*>(l);
  try {
    if (h != d->keep && IsWindowVisible(h) && IsWindowEnabled(h)) {
      d->list->push_back(h);
      EnableWindow(h, FALSE);
    }
  } catch (...) {
    HandleCurrentException();
  }
  return TRUE;
}

}  // namespace

TTaskWindowList DisableTaskWindows(HWND ActiveWindow) {
  TTaskWindowList list;
  DisabledWindows d{ActiveWindow, &list.windows};
  EnumThreadWindows(GetCurrentThreadId(), DisableWindowProc, reinterpret_cast<LPARAM>(&d));
  return list;
}

void EnableTaskWindows(const TTaskWindowList& List) {
  for (HWND h : List.windows)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

// ===================================================================================================
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FColor = clBtnFace;
  FParentColor = false;
  FParentFont = false;
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 320;
  FHeight = 240;
  FPixelsPerInch = ScreenPixelsPerInch();
  FCanvas = new TControlCanvas(this);
  FIcon = new TIcon();
  FIcon->OnChange = [this](TObject*) { UpdateIcon(); };
  FFormState += fsCreating;
  if (Screen) Screen->AddForm(this);
}

TCustomForm::TCustomForm(TComponent* AOwner, int) : TCustomForm(AOwner) { FCreateNew = true; }

TCustomForm::~TCustomForm() {
  FCanvas->Free();
  FIcon->Free();
}

void TCustomForm::AfterConstruction() {
  inherited::AfterConstruction();
  ReadStoredDescription();
  Milestone("form read", ClassName());
  DoCreate();
  Milestone("form created", ClassName());
  FFormState -= fsCreating;
  if (FFormState.Contains(fsVisible)) {
    FFormState -= fsVisible;
    SetVisible(true);
  }
}

bool TCustomForm::ReadStoredDescription() {
  if (FCreateNew) return false;
  const TClassInfo* cls = ClassInfo();
  if (cls == TForm::StaticClassInfo() || cls == TCustomForm::StaticClassInfo()) return false;
  // A derived form class without a stored description raises EResNotFound "Resource %s not found".
  if (!ReadComponentRes(ClassName(), this)) throw EResNotFound("Resource " + ClassName() + " not found");
  return true;
}

void TCustomForm::DoCreate() {
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::DoDestroy() {
  try {
    if (OnDestroy) OnDestroy(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::PreDestroy() {
  DoDestroy();
  inherited::PreDestroy();
}

void TCustomForm::Unlink() {
  if (Screen) Screen->RemoveForm(this);
  inherited::Unlink();
}

void TCustomForm::Loaded() {
  // A stored Visible = True shows the form only after OnCreate.
  if (FVisible) {
    FVisible = false;
    FFormState += fsVisible;
  }
  inherited::Loaded();
  if (FClientWidth >= 0 || FClientHeight >= 0) {
    RECT r = ClientRect();
    int w = FClientWidth >= 0 ? FClientWidth : r.right;
    int h = FClientHeight >= 0 ? FClientHeight : r.bottom;
    FClientWidth = FClientHeight = -1;
    AdjustStyleSize(w, h);
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  const bool mdi = FFormStyle == fsMDIChild || FFormStyle == fsMDIForm || Value == fsMDIChild || Value == fsMDIForm;
  FFormStyle = Value;
  // An MDI child is shown once made, like a stored Visible.
  if (Value == fsMDIChild && ComponentState().Contains(csLoading)) FVisible = true;
  if (mdi && FHandle) return RecreateWnd();
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState Value) {
  FWindowState = Value;
  if (!FHandle || !FShowing) return;
  if (IsMDIChildWindow() && Value != wsMinimized) {
    // The client keeps the frame's menu bar in step with a maximised child.
    SendMessageA(GetParent(FHandle), Value == wsMaximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE,
                 reinterpret_cast<WPARAM>(FHandle), 0);
    return;
  }
  ShowWindow(FHandle, Value == wsMinimized ? SW_MINIMIZE : Value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  Params.Style |= WS_CLIPCHILDREN;
  Params.WndParent = (Application && Application->Handle()) ? Application->Handle() : nullptr;
  Params.WindowClass.style = CS_DBLCLKS;
  Params.WindowClass.hIcon = nullptr;
  switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER; Params.ExStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; Params.ExStyle |= WS_EX_TOOLWINDOW; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (FBorderStyle != bsNone) {
    if (FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
    bool minMax = false;
    if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
      if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX, minMax = true;
      if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX, minMax = true;
    }
    if (FBorderIcons.Contains(biHelp) && !minMax) Params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) Params.X = Params.Y = CW_USEDEFAULT;
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  ApplyMenus();
  CreateClientWindow();
  UpdateIcon();
  ApplyAlphaBlend();
}

void TCustomForm::UpdateIcon() {
  if (!FHandle) return;
  HICON icon = FIcon->Handle();
  if (!icon && Application && Application->Icon()) icon = Application->Icon()->Handle();
  SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

RECT TCustomForm::ClientRect() {
  if (FHandle) return TWinControl::ClientRect();
  TCreateParams p;
  CreateParams(p);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, p.Style, HasMenuBar(), p.ExStyle);
  RECT r{0, 0, FWidth - (frame.right - frame.left), FHeight - (frame.bottom - frame.top)};
  if (FClientWidth >= 0) r.right = FClientWidth;
  if (FClientHeight >= 0) r.bottom = FClientHeight;
  return r;
}

void TCustomForm::SetClientSize(int W, int H) {
  if (ComponentState().Contains(csLoading)) {
    // The border style may still change while loading: the size is applied in Loaded.
    FClientWidth = W;
    FClientHeight = H;
    return;
  }
  AdjustStyleSize(W, H);
}

void TCustomForm::AdjustStyleSize(int ClientW, int ClientH) {
  DWORD style, exStyle;
  if (FHandle) {
    style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    exStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE));
  } else {
    TCreateParams p;
    CreateParams(p);
    style = p.Style;
    exStyle = p.ExStyle;
  }
  RECT r{0, 0, ClientW, ClientH};
  AdjustWindowRectEx(&r, style, HasMenuBar(), exStyle);
  SetBounds(FLeft, FTop, r.right - r.left, r.bottom - r.top);
}

void TCustomForm::ApplyPosition() {
  if (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
      (FPosition == poMainFormCenter && (!Application->MainForm() || Application->MainForm() == this))) {
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - FWidth) / 2, (GetSystemMetrics(SM_CYSCREEN) - FHeight) / 2, FWidth,
              FHeight);
  } else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
    TCustomForm* center = Application->MainForm();
    if (FPosition == poOwnerFormCenter && As<TCustomForm>(Owner())) center = static_cast<TCustomForm*>(Owner());
    if (center && center != this)
      SetBounds(center->Left() + (center->Width() - FWidth) / 2, center->Top() + (center->Height() - FHeight) / 2,
                FWidth, FHeight);
  }
}

void TCustomForm::SetAlphaBlend(bool Value) {
  if (FAlphaBlend == Value) return;
  FAlphaBlend = Value;
  ApplyAlphaBlend();
}

void TCustomForm::SetAlphaBlendValue(int Value) {
  Value = std::clamp(Value, 0, 255);
  if (FAlphaBlendValue == Value) return;
  FAlphaBlendValue = Value;
  ApplyAlphaBlend();
}

void TCustomForm::ApplyAlphaBlend() {
  if (!FHandle) return;
  LONG ex = GetWindowLongA(FHandle, GWL_EXSTYLE);
  if (FAlphaBlend) {
    SetWindowLongA(FHandle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    Platform().SetLayeredWindowAttributes(FHandle, 0, static_cast<BYTE>(FAlphaBlendValue), LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongA(FHandle, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

TMonitor* TCustomForm::Monitor() { return Screen ? Screen->MonitorFromWindow(Handle()) : nullptr; }

void TCustomForm::ShowNoActivate() {
  FNoActivate = true;
  try {
    SetVisible(true);
  } catch (...) {
    FNoActivate = false;
    throw;
  }
  FNoActivate = false;
}

void TCustomForm::Show() {
  SetVisible(true);
  BringWindowToTop(Handle());
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (FShowing) {
    FFormState += fsShowing;
    try {
      DoShow();
      ApplyPosition();
      int cmd = FWindowState == wsMinimized   ? SW_SHOWMINIMIZED
                : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                : FNoActivate                 ? SW_SHOWNOACTIVATE
                                              : SW_SHOWNORMAL;
      ShowWindow(FHandle, cmd);
      if (IsMDIChildWindow() && !FNoActivate)
        SendMessageA(GetParent(FHandle), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
    } catch (...) {
      FFormState -= fsShowing;
      throw;
    }
    FFormState -= fsShowing;
  } else {
    if (FHandle) ShowWindow(FHandle, SW_HIDE);
    MergeMenu(false);
    if (Screen && Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
    DoHide();
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  // An MDI child cannot hide from its frame: it is minimised (or stays) unless OnClose frees it.
  TCloseAction action = FFormStyle != fsMDIChild ? caHide : FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else if (action == caHide)
    Hide();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::Release() { PostMessageA(Handle(), CM_RELEASE, 0, 0); }

int TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND cap = GetCapture()) SendMessageA(cap, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  Application->ModalStarted();
  FFormState += fsModal;
  HWND activeWindow = GetActiveWindow();
  TTaskWindowList disabled;
  auto finish = [&] {
    EnableTaskWindows(disabled);
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    FFormState -= fsModal;
    Application->ModalFinished();
  };
  try {
    HandleNeeded();
    disabled = DisableTaskWindows(FHandle);
    FModalResult = mrNone;
    try {
      Show();
      SendMessageA(FHandle, CM_ACTIVATE, 0, 0);
      for (;;) {
        if (Application->Terminated()) {
          FModalResult = mrCancel;
          break;
        }
        Application->HandleMessage();
        if (Application->Terminated()) {
          FModalResult = mrCancel;
          break;
        }
        if (FModalResult != mrNone) {
          TCloseAction action = caNone;
          if (CloseQuery()) {
            action = caHide;
            DoClose(action);
          }
          if (action == caNone)
            FModalResult = mrNone;
          else if (action == caFree)
            Release();
          if (FModalResult != mrNone) break;
        }
      }
      if (FHandle) SendMessageA(FHandle, CM_DEACTIVATE, 0, 0);
    } catch (...) {
      Hide();
      throw;
    }
    Hide();
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return FModalResult;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  bool loading = ComponentState().Contains(csLoading);
  if (Control && (Control == this || GetParentForm(Control) != this || (!loading && !Control->CanFocus())))
    throw EInvalidOperation(SCannotFocus);
  FActiveControl = Control;
  if (!loading && FActive && Control) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  SetActiveControl(Control);
  if (Control) ::SetFocus(Control->Handle());
}

void TCustomForm::SetWindowFocus() {
  if (!FHandle) return;
  if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->Showing()) {
    ::SetFocus(FActiveControl->Handle());
    return;
  }
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  for (TWinControl* c : list)
    if (c->TabStop() && c->CanFocus() && c->Showing()) {
      FActiveControl = c;
      ::SetFocus(c->Handle());
      return;
    }
  ::SetFocus(FHandle);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control == FFocusedControl) return true;
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  FActiveControl = Control;
  if (old) old->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Control));
  if (old) old->Perform(CM_EXIT, 0, 0);
  if (Control && FFocusedControl == Control) Control->Perform(CM_ENTER, 0, 0);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  return true;
}

void TCustomForm::ControlRemoving(TControl* Control, bool Removed) {
  auto inside = [&](TWinControl* c) {
    for (TControl* p = c; p; p = p->Parent())
      if (p == Control) return true;
    return false;
  };
  if (FActiveControl && inside(FActiveControl)) FActiveControl = nullptr;
  if (FFocusedControl && inside(FFocusedControl)) {
    FFocusedControl = nullptr;
    // The focus would stay in a hidden or disabled window: the form takes it.
    if (!Removed && FHandle && FActive) ::SetFocus(FHandle);
  }
}

void TCustomForm::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  std::vector<TWinControl*> list;
  TWinControl* scope = this;
  if (!CheckTabStop && CurControl && CurControl->Parent()) scope = CurControl->Parent();
  scope->GetTabOrderList(list);
  if (!CheckTabStop) {
    // Arrow keys move among the siblings.
    list.erase(std::remove_if(list.begin(), list.end(), [&](TWinControl* c) { return c->Parent() != scope; }),
               list.end());
  }
  if (list.empty()) return;
  int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    int i = GoForward ? (start + step) % n : (start - step + n) % n;
    TWinControl* c = list[i];
    if ((!CheckTabStop || c->TabStop()) && c->CanFocus() && c->Showing()) {
      c->SetFocus();
      return;
    }
  }
}

void TCustomForm::CMDialogKey(TMessage& Message) {
  TShiftState shift = KeyDataToShiftState(Message.LParam);
  if (!shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) {
    switch (Message.WParam) {
      case VK_TAB:
        SelectNext(FActiveControl, !shift.Contains(ssShift), true);
        Message.Result = 1;
        return;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (FActiveControl) {
          SelectNext(FActiveControl, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
          Message.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
  }
  Broadcast(Message);
}

void TCustomForm::WMActivate(TMessage& Message) {
  bool active = LOWORD(Message.WParam) != WA_INACTIVE;
  DefaultHandler(Message);
  if (active == FActive) return;
  FActive = active;
  if (active) {
    if (Screen) Screen->SetActiveForm(this);
    MergeMenu(true);
    Activate();
    if (!HIWORD(Message.WParam)) SetWindowFocus();
    if (FActiveControl) FActiveControl->Perform(CM_UIACTIVATE, 0, 0);
  } else {
    Deactivate();
  }
}

void TCustomForm::PaintWindow(HDC DC) {
  if (!OnPaint) return;
  FCanvas->PaintOn(DC, [this] { OnPaint(this); });
}

void TCustomForm::Dispatch(TMessage& Message) {
  if (MenuMessage(Message)) return;
  switch (Message.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      return WMActivate(Message);
    case WM_MDIACTIVATE:
      return WMMDIActivate(Message);
    case WM_SIZE:
      return WMSize(Message);
    case CM_ACTIVATE:
    case CM_DEACTIVATE:
      return;
    case CM_SHOWINGCHANGED:
      return CMShowingChanged(Message);
    case CM_DIALOGKEY:
      return CMDialogKey(Message);
    case CM_RELEASE:
      Free();
      return;
    case WM_SYSCOMMAND:
      // The main form minimises the whole application (its window owns the forms).
      if (TWMSysCommand(Message).CmdType() == SC_MINIMIZE && Application && Application->MainForm() == this) {
        Application->Minimize();
        Message.Result = 0;
        return;
      }
      return inherited::Dispatch(Message);
    case WM_THEMECHANGED:
      ThemeServices()->UpdateThemes();
      return inherited::Dispatch(Message);
    case WM_SETTINGCHANGE:
      DefaultHandler(Message);
      Perform(CM_WININICHANGE, Message.WParam, Message.LParam);
      if (Message.WParam == SPI_SETNONCLIENTMETRICS) {
        if (Screen) Screen->RefreshMenuFont();
        Perform(CM_SYSFONTCHANGED, 0, 0);
      }
      return;
    case WM_SETFOCUS:
      // The form itself took the focus: pass it on to its active control.
      DefaultHandler(Message);
      if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->Showing() && FActive) SetWindowFocus();
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================
// TForm

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

TForm* TForm::CreateNew(TComponent* AOwner) { return Create<TForm>(AOwner, 0); }

// ===================================================================================================
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FColor = clInfoBk;
  FParentColor = false;
  FParentFont = false;
  FFont->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = Application ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
  if (Platform().GetVersionExA(&vi) && (vi.dwMajorVersion > 5 || (vi.dwMajorVersion == 5 && vi.dwMinorVersion >= 1)))
    Params.WindowClass.style |= CS_DROPSHADOW;
}

namespace {
// A lone CR is a line break in hints (DrawText would not always break there).
std::string HintLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}
}  // namespace

RECT THintWindow::CalcHintRect(int MaxWidth, const std::string& Hint, void*) {
  std::string AHint = HintLines(Hint);
  RECT r{0, 0, MaxWidth, 0};
  HDC dc = GdiNewMemoryDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  DrawTextA(dc, AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  GdiFreeMemoryDC(dc);
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(RECT Rect, const std::string& AHint) {
  SetCaption(AHint);
  int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (Rect.left + w > sw) Rect.left = sw - w;
  if (Rect.top + h > sh) Rect.top = sh - h;
  if (Rect.left < 0) Rect.left = 0;
  if (Rect.top < 0) Rect.top = 0;
  HandleNeeded();
  SetWindowPos(FHandle, HWND_TOPMOST, Rect.left, Rect.top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  InvalidateRect(FHandle, nullptr, TRUE);
}

void THintWindow::Paint() {
  RECT r = ClientRect();
  r.left += 2;
  r.top += 2;
  FCanvas->SetFont(FFont);
  FCanvas->Brush()->SetStyle(bsClear);
  HDC dc = FCanvas->Handle();
  FCanvas->TextExtent("");  // selects the canvas font
  SetTextColor(dc, ColorToRGB(FFont->Color()));
  SetBkMode(dc, TRANSPARENT);
  std::string text = HintLines(Caption());
  DrawTextA(dc, text.c_str(), -1, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  inherited::Dispatch(Message);
}

// ===================================================================================================
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() {
  for (TMonitor* m : FMonitors) m->Free();
  if (FMenuFont) FMenuFont->Free();
}

RECT TMonitor::BoundsRect() const {
  MONITORINFO mi{sizeof mi, {}, {}, 0};
  GetMonitorInfoA(FHandle, &mi);
  return mi.rcMonitor;
}

RECT TMonitor::WorkareaRect() const {
  MONITORINFO mi{sizeof mi, {}, {}, 0};
  GetMonitorInfoA(FHandle, &mi);
  // The primary monitor's work area is the system parameter: Wine's monitor record keeps the screen's own
  // even after SPI_SETWORKAREA.
  RECT work{};
  if ((mi.dwFlags & MONITORINFOF_PRIMARY) && Platform().SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) &&
      work.right > work.left && work.bottom > work.top)
    return work;
  return mi.rcWork;
}

bool TMonitor::Primary() const {
  MONITORINFO mi{sizeof mi, {}, {}, 0};
  return GetMonitorInfoA(FHandle, &mi) && (mi.dwFlags & MONITORINFOF_PRIMARY);
}

namespace {
BOOL CALLBACK CollectMonitor(HMONITOR m, HDC, LPRECT, LPARAM l) {
  try {
    reinterpret_cast<std::vector<HMONITOR>*>(l)->push_back(m);
  } catch (...) {
    HandleCurrentException();
  }
  return TRUE;
}
}  // namespace

void TScreen::RefreshMonitors() {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&handles));
  bool same = handles.size() == FMonitors.size();
  for (size_t i = 0; same && i < handles.size(); ++i) same = FMonitors[i]->Handle() == handles[i];
  if (same) return;
  for (TMonitor* m : FMonitors) m->Free();
  FMonitors.clear();
  for (size_t i = 0; i < handles.size(); ++i) FMonitors.push_back(new TMonitor(handles[i], static_cast<int>(i)));
}

int TScreen::MonitorCount() {
  RefreshMonitors();
  return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
  RefreshMonitors();
  if (Index < 0 || Index >= static_cast<int>(FMonitors.size()))
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FMonitors[Index];
}

TMonitor* TScreen::MonitorOf(HMONITOR Handle) {
  if (!Handle) return nullptr;
  RefreshMonitors();
  for (TMonitor* m : FMonitors)
    if (m->Handle() == Handle) return m;
  return nullptr;
}

static DWORD MonitorFlags(TMonitorDefaultTo d) {
  return d == mdNull ? MONITOR_DEFAULTTONULL : d == mdPrimary ? MONITOR_DEFAULTTOPRIMARY : MONITOR_DEFAULTTONEAREST;
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromWindow(Handle, MonitorFlags(Default)));
}

TMonitor* TScreen::MonitorFromPoint(POINT Point, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromPoint(Point, MonitorFlags(Default)));
}

TCustomForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FForms[Index];
}

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) FActiveForm = nullptr;
}

int TScreen::PixelsPerInch() const { return ScreenPixelsPerInch(); }

void TScreen::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  if (Value != crDefault) {
    ::SetCursor(Cursors(Value));
  } else {
    POINT p{0, 0};
    Platform().GetCursorPos(&p);
    HWND h = WindowFromPoint(p);
    if (h) SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), WM_MOUSEMOVE));
  }
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
  for (auto& c : FCustomCursors)
    if (c.first == Index) {
      c.second = Handle;
      return;
    }
  FCustomCursors.emplace_back(Index, Handle);
}

HCURSOR TScreen::Cursors(TCursor Index) const {
  for (const auto& c : FCustomCursors)
    if (c.first == Index) return c.second;
  const char* id = IDC_ARROW;
  switch (Index) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNo: case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorA(nullptr, id);
}

// ===================================================================================================
// TApplication

LRESULT CALLBACK AppWindowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (FrameworkExiting()) return DefWindowProcA(h, msg, w, l);
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(l);
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    AdjustFrameworkWindowCount(+1);
    return DefWindowProcA(h, msg, w, l);
  }
  if (!app) return DefWindowProcA(h, msg, w, l);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    AdjustFrameworkWindowCount(-1);
    app->FHandle = nullptr;
    return DefWindowProcA(h, msg, w, l);
  }
  TMessage m{msg, w, l, 0};
  try {
    app->WndProc(m);
  } catch (...) {
    app->HandleException(app);
  }
  return m.Result;
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  FTitle = ExeBaseName();
  FIcon = new TIcon();
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (FindResourceA(inst, "MAINICON", reinterpret_cast<LPCSTR>(RT_GROUP_ICON))) {
    try {
      FIcon->LoadFromResourceName(inst, "MAINICON");
    } catch (...) {
      HandleCurrentException();
    }
  }
  CreateAppWindow();
}

TApplication::~TApplication() {
  // The window goes with its object: the system still sends a hidden window activation messages.
  if (FHandle) DestroyWindow(FHandle);
  FIcon->Free();
}

void TApplication::CreateAppWindow() {
  static bool registered = false;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = AppWindowProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "TApplication";
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
    registered = true;
  }
  int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  FHandle = CreateWindowExA(0, "TApplication", FTitle.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                            nullptr, nullptr, inst, this);
  if (!FHandle) RaiseLastOSError();
  // the program's icon stands for the application window (its taskbar button, its minimised look)
  if (!FIcon->Empty()) SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

void TApplication::PreDestroy() {
  CancelHint();
  inherited::PreDestroy();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMainForm) FMainForm = nullptr;
  if (AComponent == FHintWindow) {
    FHintWindow = nullptr;
    FHintActive = false;
  }
}

void TApplication::Initialize() {}

void TApplication::SetTitle(const std::string& Value) {
  FTitle = Value;
  if (FHandle) SetWindowTextA(FHandle, Value.c_str());
}

void TApplication::SetIcon(TIcon* Value) {
  FIcon->Assign(Value);
  if (FHandle) SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

TCustomForm* TApplication::CreateForm(const TClassInfo* FormClass) {
  if (!FormClass || !FormClass->InheritsFrom(TCustomForm::StaticClassInfo()))
    throw EInvalidOperation("Cannot create a form of that class");
  TObject* obj = FormClass->CreateInstance(this);
  auto* form = static_cast<TCustomForm*>(obj);
  FormCreated(form);
  return form;
}

void TApplication::FormCreated(TCustomForm* Form) {
  if (!FMainForm && Form) {
    FMainForm = Form;
    Form->HandleNeeded();
  }
}

void TApplication::Run() {
  if (!FMainForm) return;
  FMainForm->SetVisible(true);
  while (!FTerminated) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  TWinControl* c = FindVCLWindow(Msg.hwnd);
  if (!c) return false;
  if (c->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0) return true;
  // The focus is in a window of the control the framework did not make (a combo's edit child): its
  // procedure never runs the framework's key events, so they run here before the message goes on.
  if (c->HandleAllocated() && Msg.hwnd != c->Handle()) {
    TMessage m{Msg.message, Msg.wParam, Msg.lParam, 0};
    if (c->KeyFromChildWindow(m)) return true;
    Msg.wParam = m.WParam;
  }
  return false;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  switch (Msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN:
      // also a hint still waiting for its pause: it would come up over what the press or key opened
      if (FHintActive || FHintControl != nullptr) CancelHint();
      break;
    default:
      break;
  }
  if (!IsKeyMsg(Msg) && !IsMDIMsg(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
  return true;
}

void TApplication::Idle() {
  bool done = true;
  try {
    UpdateMouseControl();
    UpdateActionClients();
    if (OnIdle) OnIdle(this, done);
  } catch (...) {
    HandleException(this);
  }
  TControlCanvas::FreeDeviceContexts();
  if (GetCurrentThreadId() == MainThreadID && CheckSynchronize()) done = false;
  if (done) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
  if (GetCurrentThreadId() == MainThreadID) CheckSynchronize();
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      if (OnException)
        OnException(Sender, e);
      else
        ShowException(e);
    } catch (...) {
      Exception e("Unknown exception");
      if (OnException)
        OnException(Sender, e);
      else
        ShowException(e);
    }
  } catch (...) {
    // Showing failed (or OnException raised): the exception must still not travel further.
    HandleCurrentException();
  }
}

void HandleCallbackException(TObject* Sender) {
  if (Application)
    Application->HandleException(Sender);
  else
    HandleCurrentException();
}

HWND ActiveOwnerWindow() {
  const HWND active = GetActiveWindow();
  if (active == nullptr || (GetWindowLongA(active, GWL_EXSTYLE) & WS_EX_NOACTIVATE) != 0) return nullptr;
  return active;
}

// A box of the application: owned by the active window, else by the application's own window.
static int ApplicationBox(TMessageBoxRequest::Source Source, HWND AppWindow, const std::string& Text,
                          const std::string& Caption, UINT Flags) {
  TMessageBoxRequest r;
  r.source = Source;
  r.owner = ActiveOwnerWindow();
  if (!r.owner) r.owner = AppWindow;
  r.text = Text;
  r.caption = Caption;
  r.flags = Flags;
  return PlatformMessageBox(r);
}

void TApplication::ShowException(const std::exception& E) {
  if (Platform().ExceptionSink) {
    Platform().ExceptionSink(E);
    return;
  }
  auto* fe = dynamic_cast<const Exception*>(&E);
  std::string msg = fe ? fe->Message() : std::string(E.what());
  if (!msg.empty() && static_cast<unsigned char>(msg.back()) > static_cast<unsigned char>('.')) msg += '.';
  ApplicationBox(TMessageBoxRequest::ExceptionBox, FHandle, msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  return ApplicationBox(TMessageBoxRequest::ApplicationMessageBox, FHandle, Text, Caption, Flags);
}

void TApplication::BringToFront() {
  HWND h = GetLastActivePopup(FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : FHandle);
  if (h && IsWindowVisible(h) && IsWindowEnabled(h)) SetForegroundWindow(h);
}

void TApplication::HookMainWindow(const TWindowHook& Hook) {
  if (Hook) FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
  for (auto it = FWindowHooks.begin(); it != FWindowHooks.end(); ++it)
    if (*it == Hook) {
      FWindowHooks.erase(it);
      return;
    }
}

void TApplication::Minimize() {
  if (!FHandle || IsIconic(FHandle)) return;
  // The forms go with the application window: not every system hides owned windows on a minimise of the owner
  // by ShowWindow (Wine leaves them on screen), so they are hidden here as a minimise does it.
  ShowOwnedPopups(FHandle, FALSE);
  ShowWindow(FHandle, SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!FHandle || !IsIconic(FHandle)) return;
  ShowWindow(FHandle, SW_RESTORE);
  // the forms hidden with the minimise come back (a no-op where the restore already showed them)
  ShowOwnedPopups(FHandle, TRUE);
  if (FMainForm && FMainForm->HandleAllocated() && FMainForm->Visible()) SetActiveWindow(FMainForm->Handle());
  if (OnRestore) OnRestore(this);
}

void TApplication::ModalStarted() {
  if (++FModalLevel == 1 && OnModalBegin) OnModalBegin(this);
}

void TApplication::ModalFinished() {
  if (FModalLevel > 0 && --FModalLevel == 0 && OnModalEnd) OnModalEnd(this);
}

void TApplication::WndProc(TMessage& Message) {
  // A copy: a hook may remove itself.
  std::vector<TWindowHook> hooks = FWindowHooks;
  for (const TWindowHook& hook : hooks)
    if (hook(Message)) return;
  switch (Message.Msg) {
    case WM_THEMECHANGED:
      ThemeServices()->UpdateThemes();
      break;
    case WM_SYSCOMMAND:
      if ((Message.WParam & 0xFFF0) == SC_RESTORE && IsIconic(FHandle)) {
        Restore();
        return;
      }
      break;
    case WM_ACTIVATEAPP:
      FActive = Message.WParam != 0;
      PostMessageA(FHandle, FActive ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
      if (!FActive) CancelHint();
      Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
      return;
    case WM_NULL:
      if (GetCurrentThreadId() == MainThreadID) CheckSynchronize();
      return;
    case WM_TIMER:
      if (Message.WParam == kHintTimerId) {
        HintTimerExpired();
        return;
      }
      break;
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      return;
    default:
      break;
  }
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- hints ----
void TApplication::SetShowHint(bool Value) {
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::StartHintTimer(int Delay) {
  StopHintTimer();
  if (FHandle) FHintTimer = SetTimer(FHandle, kHintTimerId, static_cast<UINT>(std::max(Delay, 1)), nullptr);
}

void TApplication::StopHintTimer() {
  if (FHintTimer && FHandle) KillTimer(FHandle, kHintTimerId);
  FHintTimer = 0;
}

namespace {
bool EffectiveShowHint(TControl* c) { return c->ShowHint(); }
}  // namespace

void TApplication::HintMouseControlChanged(TControl* Control) {
  if (!FShowHint) return;
  TControl* target = Control && EffectiveShowHint(Control) && !Control->Hint().empty() ? Control : nullptr;
  if (target == FHintControl) return;
  bool wasActive = FHintActive;
  HideHint();
  FHintControl = target;
  if (target)
    StartHintTimer(wasActive ? FHintShortPause : FHintPause);
  else
    StopHintTimer();
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (FHintActive) {
    HideHint();
    return;
  }
  POINT p{0, 0};
  Platform().GetCursorPos(&p);
  ActivateHint(p);
}

void TApplication::ActivateHint(POINT CursorPos) {
  if (!FHintControl || !FShowHint) return;
  std::string text = FHintControl->Hint();
  if (text.empty()) return;
  if (FHintWindow && FHintWindow->ClassInfo() != HintWindowClass) {
    FHintWindow->Free();
    FHintWindow = nullptr;
  }
  if (!FHintWindow) {
    TObject* obj = HintWindowClass->CreateInstance(this);
    FHintWindow = As<THintWindow>(obj);
    if (!FHintWindow) {
      obj->Free();
      throw EInvalidOperation("HintWindowClass is no hint window class");
    }
  }
  RECT r = FHintWindow->CalcHintRect(Screen ? Screen->Width() : 640, text, nullptr);
  OffsetRect(&r, CursorPos.x, CursorPos.y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4);
  FHintWindow->ActivateHint(r, text);
  FHintActive = true;
  StartHintTimer(FHintHidePause);
}

void TApplication::HideHint() {
  if (FHintWindow && FHintWindow->HandleAllocated()) FHintWindow->ReleaseHandle();
  FHintActive = false;
}

void TApplication::CancelHint() {
  HideHint();
  StopHintTimer();
  FHintControl = nullptr;
}

void TApplication::ControlDestroying(TControl* Control) {
  if (Control == FHintControl) CancelHint();
}

// ===================================================================================================

void InitializeForms() {
  if (Application) return;
  static bool exitHandler = false;
  if (!exitHandler) {
    // Runs before the static destructors of everything made after it.
    atexit([] { MarkFrameworkExiting(); });
    exitHandler = true;
  }
  RegisterColorIdents();
  RegisterControlClasses();
  RegisterFormClasses();
  Screen = new TScreen(nullptr);
  Application = new TApplication(nullptr);
  HandleExceptionHook = [](const std::exception& e) {
    if (Application)
      Application->ShowException(e);
    else
      OutputDebugStringA(e.what());
  };
  WakeMainThreadHook = [] {
    if (Application && Application->Handle()) PostMessageA(Application->Handle(), WM_NULL, 0, 0);
  };
  SetFrameworkFinalizer(FinalizeForms);
  // A closed application takes its windows off the screen while every unit still runs, so that what the units do
  // when a window goes (a skinned form fading out) still happens; the forms themselves go at the end.
  SetFrameworkExitStep([] {
    if (Application && Application->Terminated() && Application->Handle()) ShowOwnedPopups(Application->Handle(), FALSE);
  });
}

void FinalizeForms() {
  TApplication* app = Application;
  if (app) {
    app->Free();
    Application = nullptr;
  }
  if (Screen) {
    Screen->Free();
    Screen = nullptr;
  }
  HandleExceptionHook = nullptr;
  WakeMainThreadHook = nullptr;
}

// ---- published properties ----
static const std::vector<std::string> kBorderStyleNames = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
static const std::vector<std::string> kBorderIconNames = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
static const std::vector<std::string> kPositionNames = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
static const std::vector<std::string> kWindowStateNames = {"wsNormal", "wsMinimized", "wsMaximized"};
static const std::vector<std::string> kFormStyleNames = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};

PUBLISHED(TCustomForm) {
  for (const char* name : {"Caption", "Color", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, kBorderStyleNames);
  p.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, kBorderIconNames);
  p.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition, kPositionNames);
  p.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, kWindowStateNames);
  p.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, kFormStyleNames);
  p.Int("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth);
  p.Int("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight);
  p.Object("Icon", &TCustomForm::Icon);
  p.Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
  p.Object("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  p.Object("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  p.Object("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
  p.Bool("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend);
  p.Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
  p.Int("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight);
  p.Int("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue);
  p.Event("OnCreate", &TCustomForm::OnCreate);
  p.Event("OnDestroy", &TCustomForm::OnDestroy);
  p.Event("OnShow", &TCustomForm::OnShow);
  p.Event("OnHide", &TCustomForm::OnHide);
  p.Event("OnActivate", &TCustomForm::OnActivate);
  p.Event("OnDeactivate", &TCustomForm::OnDeactivate);
  p.Event("OnPaint", &TCustomForm::OnPaint);
  p.Event("OnClose", &TCustomForm::OnClose);
  p.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
}

IMPLEMENT_CLASS(TForm)
IMPLEMENT_CLASS(THintWindow)
IMPLEMENT_CLASS(TScreen)
IMPLEMENT_CLASS(TMonitor)
IMPLEMENT_CLASS(TApplication)
