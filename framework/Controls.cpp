// TControl: the windowless base of every control (parent, properties, text, colours and fonts, message
// dispatch, z-order, events), its size constraints and the published properties of the control classes.
#include "framework/Controls.h"

#include <algorithm>

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->Parent()) Control = Control->Parent();
  return As<TCustomForm>(Control);
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

bool TControl::UseRightToLeftReading() const { return SysLocale.MiddleEast && FBiDiMode != bdLeftToRight; }

bool TControl::UseRightToLeftAlignment() const { return SysLocale.MiddleEast && FBiDiMode == bdRightToLeft; }

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  Perform(CM_BIDIMODECHANGED, 0, 0);
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
