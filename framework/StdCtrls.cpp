#include "framework/StdCtrls.h"

#include <algorithm>

#include "framework/ActnList.h"
#include "framework/Forms.h"

namespace {
constexpr const char* kIndexError = "List index out of bounds (%d)";

// The caption's accelerator character (after a single '&'), upper-cased; 0 when none.
char AccelChar(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '&') {
      if (text[i + 1] == '&') {
        ++i;
        continue;
      }
      return static_cast<char>(reinterpret_cast<uintptr_t>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(text[i + 1]))))));
    }
  return 0;
}
}  // namespace

// ===================================================================================================
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle += csOpaque;
  FWidth = 65;
  FHeight = 17;
  FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  if (Value)
    FControlStyle -= csOpaque;
  else
    FControlStyle += csOpaque;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

std::string TCustomLabel::GetLabelText() { return Caption(); }

UINT TCustomLabel::DrawTextFlags() const {
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | align[FAlignment];
}

void TCustomLabel::DoDrawText(RECT& Rect, UINT Flags) {
  std::string text = GetLabelText();
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  HDC dc = FCanvas->Handle();
  HGDIOBJ oldFont = SelectObject(dc, FFont->Handle());
  int oldMode = SetBkMode(dc, TRANSPARENT);
  if (!FEnabled && !(Flags & DT_CALCRECT)) {
    OffsetRect(&Rect, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
    OffsetRect(&Rect, -1, -1);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    SetTextColor(dc, ColorToRGB(FFont->Color()));
  }
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

void TCustomLabel::Paint() {
  RECT r = ClientRect();
  if (!Transparent()) {
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(FColor);
    FCanvas->FillRect(r);
  }
  UINT flags = DrawTextFlags();
  if (FLayout != tlTop) {
    RECT calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    int textHeight = calc.bottom - calc.top;
    int shift = FLayout == tlBottom ? (r.bottom - r.top) - textHeight : ((r.bottom - r.top) - textHeight) / 2;
    OffsetRect(&r, 0, shift);
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  RECT r = ClientRect();
  HDC dc = GdiNewMemoryDC(nullptr);
  FCanvas->FreeHandle();
  FCanvas->SetHandle(dc);
  try {
    DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    GdiFreeMemoryDC(dc);
    throw;
  }
  FCanvas->SetHandle(nullptr);
  GdiFreeMemoryDC(dc);
  int x = FLeft;
  int w = r.right - r.left;
  if (FAlignment == taRightJustify)
    x = FLeft + FWidth - w;
  else if (FAlignment == taCenter)
    x = FLeft + (FWidth - w) / 2;
  SetBounds(x, FTop, w, r.bottom - r.top);
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_DIALOGCHAR: {
      std::string text = Caption();
      char key = static_cast<char>(reinterpret_cast<uintptr_t>(
          CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(Message.WParam))))));
      if (FFocusControl && FEnabled && FShowAccelChar && key && AccelChar(text) == key && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
      }
      return;
    }
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================
// TButtonControl / TButton

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 75;
  FHeight = 25;
  FTabStop = true;
}

void TButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  TCustomForm* form = GetParentForm(this);
  TWinControl* focused = form ? form->FocusedControl() : nullptr;
  if (HandleAllocated()) SetButtonStyle(As<TButton>(focused) ? focused == this : FDefault);
}

void TButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated()) return;
  // Only push buttons change: a derived button of another type (owner-drawn) keeps its own.
  DWORD style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
  DWORD type = style & BS_TYPEMASK;
  DWORD wanted = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) && type != wanted)
    SendMessageA(FHandle, BM_SETSTYLE, wanted, TRUE);
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  inherited::Click();
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (TWMCommand(Message).NotifyCode() == BN_CLICKED) Click();
      return;
    case CM_FOCUSCHANGED: {
      // The default look follows the focus among buttons, as the system's dialogs do.
      auto* sender = reinterpret_cast<TControl*>(Message.LParam);
      SetButtonStyle(As<TButton>(sender) ? sender == this : FDefault);
      return inherited::Dispatch(Message);
    }
    case CM_DIALOGKEY: {
      TCustomForm* form = GetParentForm(this);
      TWinControl* focused = form ? form->FocusedControl() : nullptr;
      // Enter clicks the focused button, else the default one while no other button has the focus.
      bool active = focused == this || (FDefault && !As<TButton>(focused));
      bool plain = KeyDataToShiftState(Message.LParam).Empty();
      if (plain && ((Message.WParam == VK_RETURN && active) || (Message.WParam == VK_ESCAPE && FCancel)) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      return inherited::Dispatch(Message);
    }
    case CM_DIALOGCHAR: {
      std::string text = Caption();
      char key = static_cast<char>(reinterpret_cast<uintptr_t>(
          CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(Message.WParam))))));
      if (key && AccelChar(text) == key && CanFocus()) {
        Click();
        Message.Result = 1;
      }
      return;
    }
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  FWidth = 121;
  FHeight = 21;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  try {
    inherited::CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  // 0 = no limit beyond the control's maximum (multi-line edits would stop at 30000 characters).
  SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FPasswordChar) SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
}

void TCustomEdit::SetMaxLength(int Value) {
  FMaxLength = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETREADONLY, Value, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
  InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomEdit::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (TWMCommand(Message).NotifyCode() == EN_CHANGE && !FCreating) Change();
    return;
  }
  inherited::Dispatch(Message);
}

// ===================================================================================================
// Owner-drawn items of lists and combo boxes

void PaintOwnerDrawItem(TControlCanvas* Canvas, TControl* Control, TMessage& Message,
                        const std::function<void(int Index, const TRect& Rect, TOwnerDrawState State)>& Draw) {
  DRAWITEMSTRUCT* dis = TWMDrawItem(Message).DrawItemStruct();
  TOwnerDrawState state = TOwnerDrawState::FromRaw(dis->itemState);
  TRect r(dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom);
  int index = static_cast<int>(dis->itemID);
  Canvas->PaintOn(dis->hDC, [&] {
    Canvas->Font()->Assign(Control->Font());
    Canvas->Brush()->SetColor(Control->Color());
    if (index >= 0 && state.Contains(odSelected)) {
      Canvas->Brush()->SetColor(clHighlight);
      Canvas->Font()->SetColor(clHighlightText);
    }
    if (index >= 0)
      Draw(index, r, state);
    else
      Canvas->FillRect(r);
    if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) Canvas->DrawFocusRect(r);
  });
  Message.Result = TRUE;
}

void MeasureOwnerDrawItem(TMessage& Message, int Height, bool Variable,
                          const std::function<void(int Index, int& Height)>& Measure) {
  // May arrive while the window is still inside CreateWindowEx (found by its control ID).
  MEASUREITEMSTRUCT* mis = TWMMeasureItem(Message).MeasureItemStruct();
  if (Variable) Measure(static_cast<int>(mis->itemID), Height);
  mis->itemHeight = static_cast<UINT>(std::max(Height, 0));
  Message.Result = TRUE;
}

// ===================================================================================================
// TMemoStrings / TCustomMemo

namespace {
std::string JoinLines(const std::vector<std::string>& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) s += "\r\n";
    s += lines[i];
  }
  return s;
}

// Every line break of the text is CR LF: for such a text the lines below are the edit control's (it breaks at lone
// CRs and LFs too, and keeps CR CR LF apart).
bool OnlyCrLfBreaks(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) return false;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  }
  return true;
}
bool EndsWithEmptyLine(const std::string& text) {
  return text.empty() || (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
}
// The lines of an unwrapped edit control's text: the empty line after a final break is no line of the list.
int UnwrappedLineCount(const std::string& text) {
  int breaks = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++breaks;
  return breaks + (EndsWithEmptyLine(text) ? 0 : 1);
}
}  // namespace

int TMemoStrings::GetCount() const {
  if (!FMemo->HandleAllocated()) return static_cast<int>(FMemo->FStored.size());
  if (FMemo->FTextPending && !FMemo->FWordWrap && OnlyCrLfBreaks(FMemo->FPendingText))
    return UnwrappedLineCount(FMemo->FPendingText);
  if (FMemo->FWordWrap) return static_cast<int>(SplitLines(FMemo->Text()).size());
  HWND h = FMemo->FHandle;
  int n = static_cast<int>(SendMessageA(h, EM_GETLINECOUNT, 0, 0));
  // The edit reports an empty line after a final line break: it is no line of the list.
  if (n > 0) {
    LRESULT start = SendMessageA(h, EM_LINEINDEX, n - 1, 0);
    if (SendMessageA(h, EM_LINELENGTH, start, 0) == 0) --n;
  }
  return n;
}

std::string TMemoStrings::Get(int Index) const {
  if (!FMemo->HandleAllocated()) {
    if (Index < 0 || Index >= static_cast<int>(FMemo->FStored.size())) Error(kIndexError, Index);
    return FMemo->FStored[Index];
  }
  if (!FMemo->FWordWrap) {
    HWND h = FMemo->FHandle;
    if (Index < 0 || Index >= GetCount()) Error(kIndexError, Index);
    LRESULT start = SendMessageA(h, EM_LINEINDEX, Index, 0);
    int len = static_cast<int>(SendMessageA(h, EM_LINELENGTH, start, 0));
    std::string buf(static_cast<size_t>(std::max(len, 2)) + 1, '\0');
    *reinterpret_cast<WORD*>(buf.data()) = static_cast<WORD>(buf.size() - 1);
    int got = static_cast<int>(SendMessageA(h, EM_GETLINE, Index, reinterpret_cast<LPARAM>(buf.data())));
    buf.resize(static_cast<size_t>(std::clamp(got, 0, len)));
    return buf;
  }
  // A wrapping edit reports visual lines: the logical ones come from its text.
  std::vector<std::string> lines = SplitLines(FMemo->Text());
  if (Index < 0 || Index >= static_cast<int>(lines.size())) Error(kIndexError, Index);
  return lines[Index];
}

void TMemoStrings::Insert(int Index, const std::string& S) {
  if (!FMemo->HandleAllocated()) {
    auto& v = FMemo->FStored;
    if (Index < 0 || Index > static_cast<int>(v.size())) Error(kIndexError, Index);
    v.insert(v.begin() + Index, S);
    return;
  }
  if (FMemo->FWordWrap) {
    std::vector<std::string> lines = SplitLines(FMemo->Text());
    if (Index < 0 || Index > static_cast<int>(lines.size())) Error(kIndexError, Index);
    lines.insert(lines.begin() + Index, S);
    FMemo->SetText(JoinLines(lines));
    return;
  }
  HWND h = FMemo->FHandle;
  int count = GetCount();
  if (Index < 0 || Index > count) Error(kIndexError, Index);
  if (FMemo->FTextPending && Index == count && OnlyCrLfBreaks(FMemo->FPendingText)) {
    // a line added to a window still waiting for its text: the text the edit control would make of it (below)
    std::string& text = FMemo->FPendingText;
    text += EndsWithEmptyLine(text) ? S + "\r\n" : "\r\n" + S;
    FMemo->Change();
    return;
  }
  LRESULT pos = SendMessageA(h, EM_LINEINDEX, Index, 0);
  std::string line;
  if (pos >= 0) {
    line = S + "\r\n";
  } else {
    pos = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
    line = "\r\n" + S;
  }
  SendMessageA(h, EM_SETSEL, pos, pos);
  SendMessageA(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TMemoStrings::Delete(int Index) {
  if (!FMemo->HandleAllocated()) {
    auto& v = FMemo->FStored;
    if (Index < 0 || Index >= static_cast<int>(v.size())) Error(kIndexError, Index);
    v.erase(v.begin() + Index);
    return;
  }
  if (Index < 0 || Index >= GetCount()) Error(kIndexError, Index);
  if (FMemo->FWordWrap) {
    std::vector<std::string> lines = SplitLines(FMemo->Text());
    lines.erase(lines.begin() + Index);
    FMemo->SetText(JoinLines(lines));
    return;
  }
  HWND h = FMemo->FHandle;
  LRESULT start = SendMessageA(h, EM_LINEINDEX, Index, 0);
  LRESULT end = SendMessageA(h, EM_LINEINDEX, Index + 1, 0);
  if (end < 0) end = start + SendMessageA(h, EM_LINELENGTH, start, 0);
  SendMessageA(h, EM_SETSEL, start, end);
  SendMessageA(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Clear() {
  if (!FMemo->HandleAllocated())
    FMemo->FStored.clear();
  else
    FMemo->SetText("");
}

std::string TMemoStrings::GetTextStr() const {
  if (!FMemo->HandleAllocated()) {
    std::string s;
    for (const auto& l : FMemo->FStored) s += l + "\r\n";
    return s;
  }
  std::string s = FMemo->Text();
  if (!s.empty() && s.back() != '\n' && s.back() != '\r') s += "\r\n";
  return s;
}

void TMemoStrings::SetTextStr(const std::string& Text) {
  if (!FMemo->HandleAllocated()) {
    FMemo->FStored = SplitLines(Text);
    FMemo->Perform(CM_TEXTCHANGED, 0, 0);
    return;
  }
  // Line breaks of any kind become CR LF, as the edit control expects.
  FMemo->SetText(JoinLines(SplitLines(Text)) + (Text.empty() || (Text.back() != '\n' && Text.back() != '\r') ? "" : "\r\n"));
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  FWidth = 185;
  FHeight = 89;
  FControlStyle -= csFixedHeight;
  FLines = new TMemoStrings(this);
}

TCustomMemo::~TCustomMemo() { FLines->Free(); }

void TCustomMemo::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Caption.clear();  // set after the text limit (CreateWnd): a long caption would be cut
  Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  Params.Style |= ES_MULTILINE | (FWantReturns ? ES_WANTRETURN : 0);
  if (!FWordWrap) Params.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

void TCustomMemo::CreateWnd() {
  std::string text = JoinLines(FStored);
  inherited::CreateWnd();
  FStored.clear();
  // The edit control lays out every line again for each new font: the font goes in before the text, and the
  // creation's own WM_SETFONT of the same font is then not passed on (DefaultHandler).
  SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  FCreationFont = FFont->Handle();
  if (OutOfView()) {
    FPendingText = std::move(text);
    FTextPending = true;
    return;
  }
  FCreating = true;
  SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  FCreating = false;
}

void TCustomMemo::DestroyWnd() {
  std::string text = GetText();
  FTextPending = false;
  FPendingText.clear();
  inherited::DestroyWnd();
  FStored = SplitLines(text);
}

bool TCustomMemo::OutOfView() const {
  const HWND parent = GetParent(FHandle);
  if (parent == nullptr || (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) == 0) return false;
  RECT client, own, common;
  GetClientRect(parent, &client);
  GetWindowRect(FHandle, &own);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&own), 2);
  return !IntersectRect(&common, &client, &own);
}

void TCustomMemo::PutPendingText() {
  const std::string text = std::move(FPendingText);
  FPendingText.clear();
  FTextPending = false;
  FCreating = true;
  try {
    SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
}

namespace {
// What a memo's window out of view answers without its text: its place, size, font, style and frame.
bool NeedsNoText(UINT Msg) {
  switch (Msg) {
    case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: case WM_MOVE: case WM_SIZE: case WM_NCCALCSIZE:
    case WM_SHOWWINDOW: case WM_SETFONT: case WM_GETFONT: case WM_STYLECHANGING: case WM_STYLECHANGED:
    case WM_ENABLE: case WM_NCPAINT: case WM_ERASEBKGND: case WM_NCHITTEST: case WM_SETCURSOR: case WM_CHILDACTIVATE:
    case WM_GETOBJECT: case WM_SETREDRAW: case WM_CANCELMODE: case WM_DESTROY: case WM_NCDESTROY:
    case WM_SYSCOLORCHANGE: case WM_SETTINGCHANGE: case WM_THEMECHANGED: case WM_INPUTLANGCHANGE:
    case WM_CHANGEUISTATE: case WM_UPDATEUISTATE: case WM_QUERYUISTATE:
      return true;
    default:
      return Msg >= WM_USER;  // the framework's and the skins' own messages: the edit control ignores them
  }
}
}  // namespace

void TCustomMemo::DefaultHandler(TMessage& Message) {
  if (Message.Msg == WM_SETFONT && FCreationFont != nullptr) {
    const bool Given = reinterpret_cast<HFONT>(Message.WParam) == FCreationFont;
    FCreationFont = nullptr;
    if (Given && FControlState.Contains(csCreating)) {
      Message.Result = 0;
      return;
    }
  }
  if (!HandleAllocated()) {
    switch (Message.Msg) {
      case WM_GETTEXTLENGTH:
      case WM_GETTEXT:
        FText = JoinLines(FStored);
        TControl::DefaultHandler(Message);
        FText.clear();
        return;
      case WM_SETTEXT:
        FStored = SplitLines(Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "");
        Message.Result = TRUE;
        return;
      default:
        break;
    }
  } else if (FTextPending) {
    switch (Message.Msg) {
      case WM_GETTEXTLENGTH:
      case WM_GETTEXT:
        FText = FPendingText;
        TControl::DefaultHandler(Message);
        FText.clear();
        return;
      case WM_SETTEXT:
        // as the window would keep it (a multi-line edit reports no change for this)
        FPendingText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        Message.Result = TRUE;
        return;
      default:
        if (!NeedsNoText(Message.Msg)) PutPendingText();
        break;
    }
  }
  inherited::DefaultHandler(Message);
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  RecreateWnd();
}

// ===================================================================================================
// Published properties

static const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
static const std::vector<std::string> kLayoutNames = {"tlTop", "tlCenter", "tlBottom"};
static const std::vector<std::string> kControlBorderNames = {"bsNone", "bsSingle"};
static const std::vector<std::string> kScrollNames = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
static const std::vector<std::string> kComboStyleNames = {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"};

PUBLISHED(TCustomLabel) {
  for (const char* name : {"Caption", "Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, kAlignmentNames);
  p.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, kLayoutNames);
  p.Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
  p.Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  p.Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar);
  p.Object("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
}
IMPLEMENT_CLASS(TLabel)
IMPLEMENT_CLASS(TButtonControl)

PUBLISHED(TButton) {
  for (const char* name : {"Caption", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Bool("Default", &TButton::Default, &TButton::SetDefault);
  p.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel);
  p.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
  p.Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
  p.Object("Action", &TControl::Action, &TControl::SetAction);
}

PUBLISHED(TCustomEdit) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
  p.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
  p.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, kControlBorderNames);
  p.Str("PasswordChar", [](TCustomEdit* e) { return e->PasswordChar() ? std::string(1, e->PasswordChar()) : std::string(); },
        [](TCustomEdit* e, const std::string& v) { e->SetPasswordChar(v.empty() ? '\0' : v[0]); });
  p.Event("OnChange", &TCustomEdit::OnChange);
}
PUBLISHED(TEdit) { p.Publish("Text"); }
IMPLEMENT_CLASS(TMemoStrings)

PUBLISHED(TCustomMemo) {
  p.Object("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  p.Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
  p.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, kScrollNames);
  p.Bool("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns);
}
IMPLEMENT_CLASS(TMemo)
IMPLEMENT_CLASS(TComboBoxStrings)

PUBLISHED(TCustomComboBox) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu", "Text"}) p.Publish(name);
  p.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, kComboStyleNames);
  p.Object("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  p.Int("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex);
  p.Bool("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
  p.Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
  p.Event("OnChange", &TCustomComboBox::OnChange);
  p.Event("OnSelect", &TCustomComboBox::OnSelect);
  p.Event("OnDropDown", &TCustomComboBox::OnDropDown);
  p.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
  p.Int("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
  p.Int("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength);
  p.Enum("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase, {"ecNormal", "ecUpperCase", "ecLowerCase"});
  p.Bool("AutoComplete", &TCustomComboBox::AutoComplete, &TCustomComboBox::SetAutoComplete);
  p.Bool("AutoDropDown", &TCustomComboBox::AutoDropDown, &TCustomComboBox::SetAutoDropDown);
  p.Enum("DragKind", &TControl::DragKind, &TControl::SetDragKind, {"dkDrag", "dkDock"});
  p.Event("OnDrawItem", &TCustomComboBox::OnDrawItem);
  p.Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
}
IMPLEMENT_CLASS(TComboBox)
