#pragma once
// Forms, the application object with its message loop, the screen, and the hint window.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Controls.h"

class TMainMenu;
class TMenuItem;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                       mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

using TCloseEvent = TDelegate<void(TObject* Sender, TCloseAction& Action)>;

// A hook of the application window: {object, member} returning true when it handled the message.
// Equal by code and object, so the owner can remove exactly its own hook.
using TWindowHook = TDelegate<bool(TMessage&)>;

// A display of the desktop.
class TMonitor : public TObject {
  DECLARE_CLASS(TMonitor, TObject)
public:
  explicit TMonitor(HMONITOR Handle = nullptr, int Num = 0) : FHandle(Handle), FNum(Num) {}
  HMONITOR Handle() const { return FHandle; }
  int MonitorNum() const { return FNum; }
  RECT BoundsRect() const;
  RECT WorkareaRect() const;
  bool Primary() const;
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const { RECT r = BoundsRect(); return r.right - r.left; }
  int Height() const { RECT r = BoundsRect(); return r.bottom - r.top; }

private:
  HMONITOR FHandle;
  int FNum;
};
enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

// The windows ShowModal disables (the thread's visible, enabled top-level windows but one).
struct TTaskWindowList {
  std::vector<HWND> windows;
};
TTaskWindowList DisableTaskWindows(HWND ActiveWindow);
void EnableTaskWindows(const TTaskWindowList& List);
using TCloseQueryEvent = TDelegate<void(TObject* Sender, bool& CanClose)>;

// ---------------------------------------------------------------------------------------------------
class TCustomForm : public TWinControl {
  DECLARE_CLASS(TCustomForm, TWinControl)
public:
  explicit TCustomForm(TComponent* AOwner);
  // A form built in code: no stored description is read (derived classes without a resource).
  TCustomForm(TComponent* AOwner, int CreateNew);
  ~TCustomForm() override;

  // Reads the form's stored description (a derived class's resource named after its class), then fires
  // OnCreate; an exception leaving OnCreate goes to Application->HandleException and the form stays.
  void AfterConstruction() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TIcon* Icon() const { return FIcon; }
  void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  // Raises EInvalidOperation when the control cannot take the focus.
  void SetActiveControl(TWinControl* Control);
  bool Active() const { return FActive; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  TFormState FormState() const { return FFormState; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // WS_EX_LAYERED with the alpha value while AlphaBlend is on.
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  int AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(int Value);
  TMonitor* Monitor();
  // The form's canvas (attached to the paint DC while OnPaint runs).
  TControlCanvas* Canvas() const { return FCanvas; }
  // Design-time values a stored description carries; forms are not rescaled when they differ.
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
  int TextHeight() const { return FTextHeight; }
  void SetTextHeight(int Value) { FTextHeight = Value; }

  // Outer sizes; ClientWidth/ClientHeight go through AdjustWindowRectEx of the form's styles and menu bar.
  RECT ClientRect() override;

  // The menu bar: its commands, popups and owner-drawn items reach its items (a freed menu is forgotten).
  // An AutoMerge menu of a form other than the main form, and an MDI child's menu, are merged into the
  // main form's menu instead of showing a bar of their own.
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  // The item whose popup lists the MDI children of an MDI frame.
  TMenuItem* WindowMenu() const { return FWindowMenu; }
  void SetWindowMenu(TMenuItem* Value);
  // MergeState: this form's menu goes into the main form's menu (when it merges at all); else leaves it.
  void MergeMenu(bool MergeState);
  // A key message matching a shortcut of the form's menu (an MDI child's also of the main form's).
  virtual bool IsShortCut(TMessage& Message);

  // fsMDIForm: the system's MDI client window, made with the form's window; its children are the
  // fsMDIChild forms (made through the client, in creation order, for as long as their windows live).
  HWND ClientHandle() const { return FClientHandle; }
  TCustomForm* ActiveMDIChild() const;
  int MDIChildCount() const;
  // Raises EListError for an index outside the children.
  TCustomForm* MDIChildren(int Index) const;
  void Cascade();
  // Side by side, each child the client's full width.
  void Tile();
  // The client activates the next (previous) child.
  void Next();
  void Previous();
  void DefaultHandler(TMessage& Message) override;

  void Show();
  // Shows a helper form without taking the activation from the active window.
  void ShowNoActivate();
  void Hide() { SetVisible(false); }
  // Modal forms: ModalResult := mrCancel. Otherwise OnCloseQuery, OnClose, then hide (the main form
  // ends the application).
  void Close();
  // Disables the thread's other top-level windows and runs its own loop until ModalResult or Terminated.
  virtual int ShowModal();
  // Posts CM_RELEASE: the form frees itself once the messages of its handlers are done.
  void Release();
  bool CloseQuery();
  void FocusControl(TWinControl* Control);
  // Called by the framework when the focus arrives in Control.
  bool SetFocusedControl(TWinControl* Control);
  TWinControl* FocusedControl() const { return FFocusedControl; }
  // A control leaving (removed, hidden or disabled) stops being the active or focused one.
  void ControlRemoving(TControl* Control, bool Removed = true);
  // Moves the focus to the next (or previous) tab stop after CurControl.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // An MDI child's window is made by the frame's client (EInvalidOperation when there is no MDI frame).
  HWND MakeWindow(const TCreateParams& Params, HMENU Id) override;
  // An MDI child's window is destroyed by its client.
  void DestroyWindowHandle() override;
  // The MDI client takes what the aligned controls leave.
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void SetClientSize(int W, int H) override;
  void Loaded() override;
  void PreDestroy() override;
  void Unlink() override;
  void PaintWindow(HDC DC) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The form shows its own menu bar.
  bool HasMenuBar() const;
  // Puts the menu on the window and fits the system menu to the border style.
  void ApplyMenus();
  // Menu commands, popups and owner-drawn menu items; true when the form's menu took the message.
  bool MenuMessage(TMessage& Message);
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  // Reads the stored description when the class has one; false when none was found.
  virtual bool ReadStoredDescription();
  void CMShowingChanged(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMMDIActivate(TMessage& Message);
  // The window state as the window has it (the user maximises and restores, an MDI client too).
  void WMSize(TMessage& Message);
  bool IsMDIChildWindow() const;
  HMENU WindowMenuHandle() const;
  void CreateClientWindow();
  // The frame's menu bar and window menu to the client.
  void UpdateClientMenus();
  std::vector<TCustomForm*> MDIChildList() const;
  void SetWindowFocus();
  void AdjustStyleSize(int ClientW, int ClientH);
  void ApplyPosition();
  void UpdateIcon();

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TFormStyle FFormStyle = fsNormal;
  TIcon* FIcon;
  bool FKeyPreview = false;
  bool FActive = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TWindowState FWindowState = wsNormal;
  TFormState FFormState;
  TModalResult FModalResult = mrNone;
  int FClientWidth = -1;  // stored client size, applied after loading
  int FClientHeight = -1;
  bool FCreateNew = false;
  bool FAlphaBlend = false;
  int FAlphaBlendValue = 255;
  bool FNoActivate = false;
  TControlCanvas* FCanvas;
  TMainMenu* FMenu = nullptr;
  TMenuItem* FWindowMenu = nullptr;
  HWND FClientHandle = nullptr;
  bool FMDIChildWindow = false;  // the window was made by an MDI client
  int FPixelsPerInch = 96;
  int FTextHeight = 13;
  void ApplyAlphaBlend();
};

class TForm : public TCustomForm {
  DECLARE_CLASS(TForm, TCustomForm)
public:
  explicit TForm(TComponent* AOwner);
  TForm(TComponent* AOwner, int CreateNew) : TCustomForm(AOwner, CreateNew) {}
  // A form without a stored description (ShowMessage's form, tests): the description is not read.
  static TForm* CreateNew(TComponent* AOwner);
};

// ---------------------------------------------------------------------------------------------------
class TScrollingWinControl;

// One of the window's own scroll bars (WS_HSCROLL / WS_VSCROLL) over a content Range in pixels; shown
// while Visible and the range exceeds the client extent. Position is kept within what can be scrolled.
class TControlScrollBar : public TPersistent {
  DECLARE_CLASS(TControlScrollBar, TPersistent)
public:
  TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind) : FControl(Control), FKind(Kind) {}
  TScrollBarKind Kind() const { return FKind; }
  int Range() const { return FRange; }
  void SetRange(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Thumb dragging scrolls at once, not only when the thumb is let go.
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  // Pixels per line step.
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  bool IsScrollBarVisible() const;
  // The largest position: the range less the client extent along the bar.
  int MaxPosition() const;
  // WM_HSCROLL / WM_VSCROLL of the window's own bar.
  void ScrollMessage(TMessage& Message);

private:
  friend class TScrollingWinControl;
  int ClientExtent() const;
  void Apply();
  TScrollingWinControl* FControl;
  TScrollBarKind FKind;
  int FRange = 0;
  int FPosition = 0;
  bool FVisible = true;
  bool FTracking = false;
  int FIncrement = 8;
};

// A container whose children scroll under its own scroll bars.
class TScrollingWinControl : public TWinControl {
  DECLARE_CLASS(TScrollingWinControl, TWinControl)
public:
  explicit TScrollingWinControl(TComponent* AOwner);
  ~TScrollingWinControl() override;
  TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar; }
  TControlScrollBar* VertScrollBar() const { return FVertScrollBar; }
  // Moves the children by DeltaX, DeltaY (the content scrolls the other way to the bars).
  void ScrollBy(int DeltaX, int DeltaY);
  void Dispatch(TMessage& Message) override;

protected:
  void CreateWnd() override;
  void Loaded() override;
  void UpdateScrollBars();
  TControlScrollBar* FHorzScrollBar;
  TControlScrollBar* FVertScrollBar;
  int FUpdatingBars = 0;
  friend class TControlScrollBar;
};

class TScrollBox : public TScrollingWinControl {
  DECLARE_CLASS(TScrollBox, TScrollingWinControl)
public:
  explicit TScrollBox(TComponent* AOwner);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  TBorderStyle FBorderStyle = bsSingle;
};

// A container read from its own stored description (a derived class's resource named after the class),
// placed in forms like any control; the components it reads are its own.
class TCustomFrame : public TScrollingWinControl {
  DECLARE_CLASS(TCustomFrame, TScrollingWinControl)
public:
  explicit TCustomFrame(TComponent* AOwner);
  void AfterConstruction() override;

protected:
  // Reads the class's stored description; false when the class is a bare frame.
  virtual bool ReadStoredDescription();
};

class TFrame : public TCustomFrame {
  DECLARE_CLASS(TFrame, TCustomFrame)
public:
  explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
class THintWindow : public TCustomControl {
  DECLARE_CLASS(THintWindow, TCustomControl)
public:
  explicit THintWindow(TComponent* AOwner);
  // The size the text needs (DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX) plus the border and margins.
  virtual RECT CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
  // Shows the window at Rect (screen coordinates, kept on the screen) with the text, without activating.
  virtual void ActivateHint(RECT Rect, const std::string& AHint);
  void ReleaseHandle() { DestroyHandle(); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

// ---------------------------------------------------------------------------------------------------
class TScreen : public TComponent {
  DECLARE_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner);

  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int Index) const;
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor handle of an identifier (the arrow for unknown ones).
  HCURSOR Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, HCURSOR Handle);
  int PixelsPerInch() const;
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }

  int MonitorCount();
  TMonitor* Monitors(int Index);
  TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default = mdNearest);
  TMonitor* MonitorFromPoint(POINT Point, TMonitorDefaultTo Default = mdNearest);
  // The system's menu font (non-client metrics), read again when those change.
  TFont* MenuFont();
  void RefreshMenuFont();
  ~TScreen() override;

  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetActiveForm(TCustomForm* Form) { FActiveForm = Form; }

private:
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TCursor FCursor = crDefault;
  std::vector<std::pair<TCursor, HCURSOR>> FCustomCursors;
  std::vector<TMonitor*> FMonitors;
  TFont* FMenuFont = nullptr;
  void RefreshMonitors();
  TMonitor* MonitorOf(HMONITOR Handle);
};

// ---------------------------------------------------------------------------------------------------
class TApplication : public TComponent {
  DECLARE_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();
  // The application window's caption; the exception box's caption.
  std::string Title() const { return FTitle; }
  void SetTitle(const std::string& Value);
  TIcon* Icon() const { return FIcon; }
  void SetIcon(TIcon* Value);
  // The hidden "TApplication" window that owns the top-level forms.
  HWND Handle() const { return FHandle; }
  TCustomForm* MainForm() const { return FMainForm; }
  bool Terminated() const { return FTerminated; }
  bool Active() const { return FActive; }

  // Creates a form of class `cls` owned by the application: `Reference` is set before the form's
  // AfterConstruction (so OnCreate sees it); the first form becomes MainForm afterwards and gets its window.
  template <class T> void CreateForm(T*& Reference) {
    TObject* obj = T::StaticClassInfo()->factory(this);
    if (!obj) throw EInvalidOperation(std::string("Cannot create a form of class ") + T::StaticClassInfo()->name);
    Reference = static_cast<T*>(obj);
    try {
      obj->AfterConstruction();
    } catch (...) {
      Reference = nullptr;
      obj->Free();
      throw;
    }
    FormCreated(Reference);
  }
  TCustomForm* CreateForm(const TClassInfo* FormClass);

  // Shows MainForm and handles messages until Terminated.
  void Run();
  // Ends the message loop (WM_QUIT is posted; Terminated is set when the loop takes it).
  void Terminate();
  // Dispatches every queued message, then runs queued Synchronize calls. Re-entrant.
  void ProcessMessages();
  // One message, or idle processing (hover, hints, Synchronize) and a wait when none is queued.
  void HandleMessage();
  // Inside a catch block: shows the current exception's message (or hands it to OnException).
  void HandleException(TObject* Sender);
  // Box: caption Title, MB_OK | MB_ICONSTOP, the message with a "." added when its last character sorts
  // above "." (or Platform().ExceptionSink, when set, takes the exception instead).
  void ShowException(const std::exception& E);
  int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = MB_OK);
  void BringToFront();
  // Minimises the application window (the forms it owns go with it) / restores it.
  void Minimize();
  void Restore();
  // The hooks see each message of the application window first, in the order added; one answering
  // true ends it there.
  void HookMainWindow(const TWindowHook& Hook);
  void UnhookMainWindow(const TWindowHook& Hook);
  // Modal loops report their start and end (nesting counted).
  void ModalStarted();
  void ModalFinished();
  int ModalLevel() const { return FModalLevel; }
  // There is no help system: false.
  bool HelpContext(int Context) { (void)Context; return false; }
  TBiDiMode BiDiMode() const { return bdLeftToRight; }

  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  int HintPause() const { return FHintPause; }
  void SetHintPause(int v) { FHintPause = v; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int v) { FHintShortPause = v; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int v) { FHintHidePause = v; }
  void ActivateHint(POINT CursorPos);
  void CancelHint();
  void HideHint();
  THintWindow* HintWindow() const { return FHintWindow; }
  // The control whose hint is shown or pending.
  TControl* HintControl() const { return FHintControl; }

  TDelegate<void(TObject* Sender, const std::exception& E)> OnException;
  TDelegate<void(TObject* Sender, bool& Done)> OnIdle;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnModalBegin;
  TNotifyEvent OnModalEnd;

  // Internal: called by the hover tracker when the mouse control changes.
  void HintMouseControlChanged(TControl* Control);
  void FormCreated(TCustomForm* Form);
  void ControlDestroying(TControl* Control);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PreDestroy() override;

private:
  friend LRESULT CALLBACK AppWindowProc(HWND, UINT, WPARAM, LPARAM);
  bool ProcessMessage(MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  // The MDI keys of the active child (Ctrl+F4, Ctrl+F6) through the frame's client.
  bool IsMDIMsg(MSG& Msg);
  void Idle();
  void WndProc(TMessage& Message);
  void HintTimerExpired();
  void StartHintTimer(int Delay);
  void StopHintTimer();
  void CreateAppWindow();

  HWND FHandle = nullptr;
  std::string FTitle;
  TIcon* FIcon;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FActive = false;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;
  bool FHintActive = false;
  UINT_PTR FHintTimer = 0;
  bool FHintHiding = false;
  int FModalLevel = 0;
  std::vector<TWindowHook> FWindowHooks;
};

// The class of the application's hint window (THintWindow unless replaced).
extern const TClassInfo* HintWindowClass;

extern TApplication* Application;
extern TScreen* Screen;

// Inside a catch block of a window procedure or callback: hands the exception to Application for Sender, or
// reports it plainly when there is no Application (before start-up or after shut-down).
void HandleCallbackException(TObject* Sender);

// The active window as the owner of a box or dialog of the application, or nil when there is none fit to own one:
// a window that never takes activation (a glow, an animation's snapshot) is active only when the system found no
// other to hand activation to, and goes at any moment, taking what it owns with it.
HWND ActiveOwnerWindow();

// Creates Application and Screen (once; also done by the framework's unit start-up) and sets the
// framework's exception hook to Application->HandleException.
void InitializeForms();
// Destroys Application (and the forms it owns) and Screen.
void FinalizeForms();

// Registers the form, standard and extended control classes with the class registry and the reader.
void RegisterFormClasses();
