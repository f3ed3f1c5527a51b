#pragma once
// Controls: the windowless base (TControl), windowed controls (TWinControl) with their window classes
// and message routing, graphic controls painted by their parent, and custom-painted windows.
//
// A message travels: window procedure of the registered class -> object of the window ->
// MainWndProc (catches every exception for Application->HandleException) -> WindowProc (public,
// replaceable; bound to WndProc by default) -> WndProc (mouse, keys, graphic children) -> Dispatch
// (the most-derived class's handler first; `inherited::Dispatch` is the base handler) ->
// DefaultHandler -> the class's system procedure (DefWndProc).

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"
#include "framework/TypInfo.h"

class TWinControl;
class TCustomForm;
class TBasicAction;
class TBasicActionLink;
class TPopupMenu;

enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
  csCreating,  // 0x40: from CreateWnd until the children's windows exist
  csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;

enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible
};
using TControlStyle = TSet<TControlStyleItem>;

// Owner-draw item state: element n is bit n of the ODS_* word of DRAWITEMSTRUCT, so Raw() is that word.
enum TOwnerDrawStateItem {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
  odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
static_assert(TOwnerDrawState{odComboBoxEdit}.Raw() == ODS_COMBOBOXEDIT && TOwnerDrawState{odHotLight}.Raw() == ODS_HOTLIGHT);

// A docking client is dragged to a dock site (dkDock) or only dragged (dkDrag).
enum TDragKind { dkDrag, dkDock };

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;  // controls use bsNone and bsSingle
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

class TControl;
// Minimum and maximum sizes of a control (0 = no limit); a change re-applies them to the control.
class TSizeConstraints : public TPersistent {
  DECLARE_CLASS(TSizeConstraints, TPersistent)
public:
  explicit TSizeConstraints(TControl* Control = nullptr) : FControl(Control) {}
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  int MaxWidth() const { return FMaxWidth; }
  int MaxHeight() const { return FMaxHeight; }
  void SetMinWidth(int v);
  void SetMinHeight(int v);
  void SetMaxWidth(int v);
  void SetMaxHeight(int v);
  void Assign(TPersistent* Source) override;
  // Clamps a size to the limits.
  void Apply(int& Width, int& Height) const;

private:
  void Changed();
  TControl* FControl;
  int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;
// Cursor identifiers for stored descriptions ("crHandPoint"), registered as "TCursor".
bool CursorToIdent(int64_t cursor, std::string& ident);
bool IdentToCursor(const std::string& ident, int64_t& cursor);

using TKeyEvent = TDelegate<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TDelegate<void(TObject* Sender, char& Key)>;
using TMouseEvent = TDelegate<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TDelegate<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// MousePos in client coordinates, (-1, -1) when the keyboard asked; Handled stops the popup menu.
using TContextPopupEvent = TDelegate<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Shift state of key data / mouse key flags (and the async key state for the modifiers).
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState KeysToShiftState(WORD keys);

// ---------------------------------------------------------------------------------------------------
class TControl : public TComponent {
  DECLARE_CLASS(TControl, TComponent)
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* Value);
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* Value) override;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual RECT ClientRect();
  int ClientWidth() { return ClientRect().right; }
  int ClientHeight() { return ClientRect().bottom; }
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
  virtual POINT ClientOrigin();
  POINT ClientToScreen(POINT p);
  POINT ScreenToClient(POINT p);

  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent up to a shown window.
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  std::string Caption() { return GetText(); }
  void SetCaption(const std::string& v) { SetText(v); }
  std::string Text() { return GetText(); }
  void SetText(const std::string& Value);

  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& v) { FHint = v; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  // Shown on WM_CONTEXTMENU after OnContextPopup (a freed menu is forgotten).
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  // Edges kept at their distance from the parent's when the parent resizes (default [akLeft, akTop]).
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return FConstraints; }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
  // Scales position, size and (own) font by M/D (MulDiv), children included.
  virtual void ChangeScale(int M, int D);
  // Right-to-left reading and alignment need a system with right-to-left languages (SysLocale.MiddleEast).
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool UseRightToLeftReading() const;
  bool UseRightToLeftAlignment() const;
  UINT DrawTextBiDiModeFlags(UINT Flags) const { return Flags; }
  UINT DrawTextBiDiModeFlagsReadingOnly() const { return 0; }

  // The action whose Enabled the control follows and whose OnExecute a click runs (a freed action is forgotten).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TBasicActionLink* ActionLink() const { return FActionLink; }
  // dkDock: inside a DockSite parent the control is one of its DockClients.
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value);
  // The dock site this control is docked into (null when not docked).
  TWinControl* HostDockSite() const { return FHostDockSite; }

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle v) { FControlStyle = v; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState v) { FControlState = v; }

  // Replaceable message entry; save it, install your own, chain to the saved one, restore it.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  // Runs the handler of Message.Msg, most-derived class first; unhandled ones reach DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);
  // Sends a message straight to WindowProc (no window needed) and returns its Result.
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  virtual void Invalidate();
  void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // Graphic controls paint here through their parent; windowed ones return their window's DC.
  virtual void Click();
  virtual void DblClick();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;

protected:
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Resize();
  virtual void AdjustSize() {}
  virtual void SetClientSize(int W, int H);
  virtual std::string GetText();
  virtual void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  // Parent changed its font/colour: adopt it when ParentFont/ParentColor.
  void ParentFontChanged();
  void ParentColorChanged();
  virtual void VisibleChanging() {}
  // The action changed (or was attached): the control takes its Enabled.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // OnContextPopup, then the PopupMenu at the cursor (at the client origin for the keyboard); Result 1
  // when one of them took the message.
  virtual void WMContextMenu(TMessage& Message);
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  void SetZOrder(bool TopMost);
  void Loaded() override;
  void SetReading(bool reading) override;
  void Unlink() override;
  void PreDestroy() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void RequestAlign();

  std::string FText;  // caption of windowless controls and of windows without a handle
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TFont* FFont;
  TColor FColor = clWindow;
  bool FParentFont = true;
  bool FParentColor = true;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  bool FAutoSize = false;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TSizeConstraints* FConstraints;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TPopupMenu* FPopupMenu = nullptr;
  TBasicActionLink* FActionLink = nullptr;
  TDragKind FDragKind = dkDrag;
  TWinControl* FHostDockSite = nullptr;
  int FAnchorRight = -1;   // distance of the right edge from the parent's client width, for akRight
  int FAnchorBottom = -1;  // likewise for akBottom
  TControlStyle FControlStyle;
  TControlState FControlState;
  bool FInFontChange = false;

  void UpdateAnchorRules();
  void ParentShowHintChanged();

private:
  friend class TWinControl;
  friend class TSizeConstraints;
  friend class TControlActionLink;
  friend void UpdateDocking(TControl* Control);
  void FontChanged(TObject* Sender);
  void WMMouseButton(TMessage& Message, TMouseButton Button, bool Down);
  void WMMouseMove(TMessage& Message);
};

// Parameters of the window about to be created.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  std::string WinClassName;
};

// ---------------------------------------------------------------------------------------------------
class TWinControl : public TControl {
  DECLARE_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // The window; created (with the parents' windows) on first use.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Window procedure of the class this window superclasses (DefWindowProcA for own classes).
  WNDPROC DefWndProc() const { return FDefWndProc; }
  // A top-level parent window for a control without a Parent.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);
  // Child window ID given to this control's window (unique and non-zero per process).
  UINT ControlID() const { return FControlID; }

  int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
  // Graphic children first, then windowed ones, each in z-order (bottom first).
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The visible child (graphic or windowed) at a client point; null when none.
  TControl* ControlAtPos(POINT Pos, bool AllowDisabled, bool AllowWinControls = false);

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v) { FTabStop = v; }
  int TabOrder() const;
  void SetTabOrder(int Value);
  void GetTabOrderList(std::vector<TWinControl*>& List);
  virtual bool CanFocus();
  bool Focused() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot take the focus.
  virtual void SetFocus();

  bool Showing() const override { return FShowing; }
  RECT ClientRect() override;
  POINT ClientOrigin() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Invalidate() override;
  void Update() override;
  void RecreateWnd();
  // Sends Message to every child's WindowProc, stopping at the first non-zero Result.
  void Broadcast(TMessage& Message);

  // Paints this window and its graphic children into DC.
  void PaintHandler(HDC DC);
  void PaintControls(HDC DC, TControl* First);
  virtual void PaintWindow(HDC DC);
  // Paints the control and its children into DC with the control's top-left at X, Y (copy mode).
  void PaintTo(HDC DC, int X, int Y);
  // Moves Child to position Order among its siblings (z-order, bottom first).
  void SetChildOrder(TComponent* Child, int Order);
  // An extra border inside the window frame, painted in Color.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  // Paints through an off-screen bitmap.
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  void ChangeScale(int M, int D) override;
  // The window a child's window goes just below (the next sibling up with a window, else HWND_TOP).
  HWND PrecedingWindow(TWinControl* Control) const;
  // Docked children with dkDock are DockClients; one leaving gets the site CM_UNDOCKCLIENT (WParam the new
  // site or null, LParam the client).
  bool DockSite() const { return FDockSite; }
  void SetDockSite(bool Value);
  int DockClientCount() const { return static_cast<int>(FDockClients.size()); }
  TControl* DockClients(int Index) const;
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  void Realign();

  void DefaultHandler(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  // Entry from the window procedure: WindowProc under a catch-all.
  void MainWndProc(TMessage& Message);
  // A key message for a window inside this control that the framework did not make (a combo's edit
  // child): the key events (KeyPreview first) run here; true when a handler consumed the key.
  bool KeyFromChildWindow(TMessage& Message);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  virtual void CreateParams(TCreateParams& Params);
  // Superclasses a system window class ("BUTTON", "EDIT", ...): the class starts from the system
  // class's WNDCLASS and keeps its procedure as DefWndProc.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  virtual void CreateWindowHandle(const TCreateParams& Params);
  // Makes the window inside the creation slot (CreateWindowEx unless a class makes it otherwise).
  virtual HWND MakeWindow(const TCreateParams& Params, HMENU Id);
  virtual void CreateWnd();
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyHandle();
  virtual void DestroyWindowHandle();
  void UpdateShowing();
  void UpdateControlState();
  virtual void AlignControls(TControl* AControl, RECT& Rect);
  void SetClientSize(int W, int H) override;
  std::string GetText() override;
  // Key processing: the form's OnKeyDown runs first when it has KeyPreview; a zeroed Key stops it.
  virtual bool DoKeyDown(TMessage& Message);
  virtual bool DoKeyUp(TMessage& Message);
  virtual bool DoKeyPress(TMessage& Message);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();
  // The system control handles this dialog key itself (DLGC_* from WM_GETDLGCODE).
  bool WantsKey(WPARAM Key);
  virtual void SelectFirst();
  void PreDestroy() override;
  void FreeChildren() override;
  void Loaded() override;
  // True for windows the framework paints itself (own classes, not superclassed system controls).
  bool FrameworkPainted() const { return FDefWndProc == DefWindowProcA; }

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = DefWindowProcA;
  HWND FParentWindow = nullptr;
  UINT FControlID = 0;
  std::vector<TControl*> FControls;     // graphic children in z-order
  std::vector<TWinControl*> FWinControls;  // windowed children in z-order
  std::vector<TWinControl*> FTabList;
  bool FShowing = false;
  bool FTabStop = false;
  int FAlignLevel = 0;
  int FBorderWidth = 0;
  bool FDoubleBuffered = false;
  int FStoredTabOrder = -1;  // read before the control had its parent: applied in the parent's Loaded
  HBRUSH FBrush = nullptr;  // background brush handed out for WM_CTLCOLOR*
  bool FDockSite = false;
  std::vector<TControl*> FDockClients;

private:
  friend void UpdateDocking(TControl* Control);
  friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
  friend class TControl;
  friend class TCustomForm;
  void AttachHandle(HWND h);
  void DetachHandle();
  void ReflectToChild(TMessage& Message, HWND Child);
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMPrint(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  // A graphic child under the point gets the message first; unanswered, it goes to the system (which
  // hands a child window's one to its parent).
  void WMContextMenu(TMessage& Message) override;
  void CNChar(TMessage& Message);
  // DoKeyDown and DoKeyUp: Step is the form's same processing, Event the key event it ends in.
  bool DoKeyEvent(TMessage& Message, bool (TWinControl::*Step)(TMessage&), void (TWinControl::*Event)(WORD&, TShiftState));
  void UpdateBounds();
  void ReleaseBrush();
  std::string FSavedText;  // kept while the window is re-created
};

// ---------------------------------------------------------------------------------------------------
// The canvas of a control. While painting it is attached to the paint DC; used outside painting it takes a
// DC of the control's window (a graphic control: its parent's, with the origin at the control and clipped
// to it), which is released when the window goes, at idle time, or by FreeHandle.
class TControlCanvas : public TCanvas {
  DECLARE_CLASS(TControlCanvas, TCanvas)
public:
  explicit TControlCanvas(TControl* Control = nullptr);
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // Drops the canvas's DC (its own one is released).
  void FreeHandle();
  // Runs `Paint` with the canvas drawing on `DC`, locked for the time; the canvas lets go of `DC`
  // afterwards, also when `Paint` throws.
  void PaintOn(HDC DC, const std::function<void()>& Paint);
  // Releases the DCs every control canvas took for the window (all windows when null).
  static void FreeDeviceContexts(HWND Window = nullptr);

protected:
  void CreateHandle() override;

private:
  TControl* FControl = nullptr;
  HDC FOwnDC = nullptr;
  HWND FOwnWindow = nullptr;
};

// ---------------------------------------------------------------------------------------------------
// Windowless control painted by its parent. Its canvas is the parent's DC with the origin at the control.
class TGraphicControl : public TControl {
  DECLARE_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TControlCanvas* Canvas() const { return FCanvas; }
  void Dispatch(TMessage& Message) override;

protected:
  virtual void Paint() {}
  TControlCanvas* FCanvas;
};

// A window with its own canvas; Paint draws it (the canvas is attached to the paint DC meanwhile).
class TCustomControl : public TWinControl {
  DECLARE_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TControlCanvas* Canvas() const { return FCanvas; }
  void PaintWindow(HDC DC) override;

protected:
  virtual void Paint() {}
  TControlCanvas* FCanvas;
};

// ---------------------------------------------------------------------------------------------------
// The framework control of a window (null for windows the framework did not create).
TWinControl* FindControl(HWND Handle);
// The framework control owning a window or one of its ancestors (a combo's edit child gives the combo).
TWinControl* FindVCLWindow(HWND Handle);
// The control under a screen point: the window's framework control or its graphic child there.
TControl* FindDragTarget(POINT Pos, bool AllowDisabled);
// The form a control lives on (walking up parents); null when none.
TCustomForm* GetParentForm(TControl* Control);

// Docks Control into its parent when the parent is a dock site and Control has dkDock, else undocks it.
void UpdateDocking(TControl* Control);

// The control whose window is inside CreateWindowEx, until that window's first message reaches it (a CBT
// hook at HCBT_CREATEWND finds the object here); null otherwise.
TWinControl* CreationControl();

// The windows the framework created and has not yet destroyed (USER object count for leak tests).
int FrameworkWindowCount();

// The graphic or windowed control that holds the mouse capture (set on button down with csCaptureMouse).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// Hover tracking: the deepest visible control under the cursor (graphic children included). Re-evaluated
// on mouse messages to framework windows (their frames' moves too), leave messages and idle; a change sends
// CM_MOUSELEAVE to the old control, then CM_MOUSEENTER to the new one. A window hears WM_MOUSELEAVE when the
// cursor leaves it, not when it only moves on to the window's own frame or caption.
TControl* MouseControl();
void UpdateMouseControl();
void ForgetMouseControl(TControl* Control);

// Process exit: from then on framework windows only get their class's own procedure (Wine destroys the
// thread's windows after static destructors ran). Set by the framework's exit handler.
void MarkFrameworkExiting();
bool FrameworkExiting();

// Registers the published properties and reader identifiers of the control classes (unit start-up).
void RegisterControlClasses();
