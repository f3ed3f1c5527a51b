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

void TButton::CreateWnd() {
  inherited::CreateWnd();
  FActive = FDefault;
}

void TButton::SetButtonStyle(bool ADefault) {
  FActive = ADefault;
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
}  // namespace

int TMemoStrings::GetCount() const {
  if (!FMemo->HandleAllocated()) return static_cast<int>(FMemo->FStored.size());
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
  FCreating = true;
  SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  FCreating = false;
}

void TCustomMemo::DestroyWnd() {
  std::string text = GetText();
  inherited::DestroyWnd();
  FStored = SplitLines(text);
}

void TCustomMemo::DefaultHandler(TMessage& Message) {
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
// TComboBoxStrings / TCustomComboBox

int TComboBoxStrings::SortedPosition(const std::string& S) const {
  int i = 0;
  for (; i < static_cast<int>(FStored.size()); ++i)
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, S.c_str(), -1, FStored[i].text.c_str(), -1) ==
        CSTR_LESS_THAN)
      break;
  return i;
}

int TComboBoxStrings::GetCount() const {
  if (!FCombo->HandleAllocated()) return static_cast<int>(FStored.size());
  return static_cast<int>(SendMessageA(FCombo->FHandle, CB_GETCOUNT, 0, 0));
}

std::string TComboBoxStrings::Get(int Index) const {
  if (!FCombo->HandleAllocated()) {
    if (Index < 0 || Index >= static_cast<int>(FStored.size())) Error(kIndexError, Index);
    return FStored[Index].text;
  }
  LRESULT len = SendMessageA(FCombo->FHandle, CB_GETLBTEXTLEN, Index, 0);
  if (len == CB_ERR) Error(kIndexError, Index);
  std::string s(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = SendMessageA(FCombo->FHandle, CB_GETLBTEXT, Index, reinterpret_cast<LPARAM>(s.data()));
  s.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
  return s;
}

TObject* TComboBoxStrings::GetObj(int Index) const {
  if (!FCombo->HandleAllocated()) {
    if (Index < 0 || Index >= static_cast<int>(FStored.size())) Error(kIndexError, Index);
    return FStored[Index].obj;
  }
  LRESULT data = SendMessageA(FCombo->FHandle, CB_GETITEMDATA, Index, 0);
  if (data == CB_ERR) Error(kIndexError, Index);
  return reinterpret_cast<TObject*>(data);
}

void TComboBoxStrings::PutObj(int Index, TObject* Obj) {
  if (!FCombo->HandleAllocated()) {
    if (Index < 0 || Index >= static_cast<int>(FStored.size())) Error(kIndexError, Index);
    FStored[Index].obj = Obj;
    return;
  }
  if (SendMessageA(FCombo->FHandle, CB_SETITEMDATA, Index, reinterpret_cast<LPARAM>(Obj)) == CB_ERR)
    Error(kIndexError, Index);
}

int TComboBoxStrings::Add(const std::string& S) { return AddObject(S, nullptr); }

int TComboBoxStrings::AddObject(const std::string& S, TObject* Obj) {
  if (!FCombo->HandleAllocated()) {
    int i = FCombo->FSorted ? SortedPosition(S) : static_cast<int>(FStored.size());
    FStored.insert(FStored.begin() + i, Item{S, Obj});
    return i;
  }
  LRESULT i = SendMessageA(FCombo->FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
  if (i < 0) throw EOutOfResources("Not enough storage is available to complete this operation");
  if (Obj) SendMessageA(FCombo->FHandle, CB_SETITEMDATA, i, reinterpret_cast<LPARAM>(Obj));
  return static_cast<int>(i);
}

void TComboBoxStrings::Insert(int Index, const std::string& S) {
  if (Index < 0 || Index > GetCount()) Error(kIndexError, Index);
  if (FCombo->FSorted) throw EStringListError("Operation not allowed on sorted list");
  if (!FCombo->HandleAllocated()) {
    FStored.insert(FStored.begin() + Index, Item{S, nullptr});
    return;
  }
  if (SendMessageA(FCombo->FHandle, CB_INSERTSTRING, Index, reinterpret_cast<LPARAM>(S.c_str())) < 0)
    throw EOutOfResources("Not enough storage is available to complete this operation");
}

void TComboBoxStrings::Delete(int Index) {
  if (!FCombo->HandleAllocated()) {
    if (Index < 0 || Index >= static_cast<int>(FStored.size())) Error(kIndexError, Index);
    FStored.erase(FStored.begin() + Index);
    if (FCombo->FItemIndex == Index)
      FCombo->FItemIndex = -1;
    else if (FCombo->FItemIndex > Index)
      --FCombo->FItemIndex;
    return;
  }
  if (SendMessageA(FCombo->FHandle, CB_DELETESTRING, Index, 0) == CB_ERR) Error(kIndexError, Index);
}

void TComboBoxStrings::Clear() {
  if (!FCombo->HandleAllocated()) {
    FStored.clear();
    // A stored ItemIndex may precede the items in the description.
    if (!FCombo->ComponentState().Contains(csLoading)) FCombo->FItemIndex = -1;
    return;
  }
  // The edit text of an editable combo stays.
  std::string text = FCombo->FStyle == csDropDown || FCombo->FStyle == csSimple ? FCombo->Text() : std::string();
  SendMessageA(FCombo->FHandle, CB_RESETCONTENT, 0, 0);
  if (!text.empty()) SetWindowTextA(FCombo->FHandle, text.c_str());
}

int TComboBoxStrings::IndexOf(const std::string& S) const {
  if (!FCombo->HandleAllocated()) return TStrings::IndexOf(S);
  LRESULT i = SendMessageA(FCombo->FHandle, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
  return i == CB_ERR ? -1 : static_cast<int>(i);
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  // No csCaptureMouse: the drop-down list takes the capture itself.
  FControlStyle = {csSetCaption, csDoubleClicks, csFixedHeight};
  FWidth = 145;
  FHeight = 21;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FItems = new TComboBoxStrings(this);
}

TCustomComboBox::~TCustomComboBox() { FItems->Free(); }

int TCustomComboBox::ListHeight() {
  int item = FHandle ? static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0)) : 0;
  if (item <= 0) item = 16;
  return FDropDownCount * item + 2;
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
  switch (FStyle) {
    case csDropDown: Params.Style |= CBS_DROPDOWN; break;
    case csSimple: Params.Style |= CBS_SIMPLE; break;
    case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
  }
  if (FSorted) Params.Style |= CBS_SORT;
  // The window height of a drop-down combo includes its list.
  if (FStyle != csSimple) Params.Height = FHeight + ListHeight();
}

void TCustomComboBox::CreateWnd() {
  std::string text = FText;
  inherited::CreateWnd();
  std::vector<TComboBoxStrings::Item> items;
  items.swap(FItems->FStored);
  for (const auto& it : items) {
    LRESULT i = SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(it.text.c_str()));
    if (i >= 0 && it.obj) SendMessageA(FHandle, CB_SETITEMDATA, i, reinterpret_cast<LPARAM>(it.obj));
  }
  if (FItemIndex >= 0) SendMessageA(FHandle, CB_SETCURSEL, FItemIndex, 0);
  if ((FStyle == csDropDown || FStyle == csSimple) && !text.empty()) SetWindowTextA(FHandle, text.c_str());
  FItemIndex = -1;
}

void TCustomComboBox::DestroyWnd() {
  // Items, selection and text outlive the window (RecreateWnd keeps them).
  std::vector<TComboBoxStrings::Item> items;
  int count = static_cast<int>(SendMessageA(FHandle, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) items.push_back({FItems->Get(i), FItems->GetObj(i)});
  int index = static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
  inherited::DestroyWnd();
  FItems->FStored.swap(items);
  FItemIndex = index;
}

int TCustomComboBox::ItemIndex() {
  if (!HandleAllocated()) return FItemIndex;
  return static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int Value) {
  if (!HandleAllocated()) {
    // While loading, the items may follow in the description: the index is checked in Loaded.
    if (ComponentState().Contains(csLoading)) {
      FItemIndex = Value;
      return;
    }
    FItemIndex = Value >= 0 && Value < FItems->Count() ? Value : -1;
    if (FStyle == csDropDown || FStyle == csSimple) FText = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : FText;
    return;
  }
  if (ItemIndex() != Value) SendMessageA(FHandle, CB_SETCURSEL, Value, 0);
}

void TCustomComboBox::Loaded() {
  if (!HandleAllocated() && (FItemIndex < -1 || FItemIndex >= FItems->Count())) FItemIndex = -1;
  inherited::Loaded();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TCustomComboBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (HandleAllocated()) RecreateWnd();  // CBS_SORT; a hidden combo keeps its items without a window
  if (!HandleAllocated() && Value) {
    auto& v = FItems->FStored;
    std::stable_sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
      return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.text.c_str(), -1, b.text.c_str(), -1) ==
             CSTR_LESS_THAN;
    });
    FItemIndex = -1;
  }
}

void TCustomComboBox::SetDropDownCount(int Value) {
  FDropDownCount = Value;
  if (HandleAllocated() && FStyle != csSimple)
    SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight + ListHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!HandleAllocated() || FStyle == csSimple) return inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight + ListHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::DefaultHandler(TMessage& Message) {
  bool list = FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable;
  if (list && Message.Msg == WM_SETTEXT) {
    std::string text = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
    SetItemIndex(text.empty() ? -1 : FItems->IndexOf(text));
    Message.Result = TRUE;
    return;
  }
  if (list && !HandleAllocated() && (Message.Msg == WM_GETTEXT || Message.Msg == WM_GETTEXTLENGTH)) {
    FText = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string();
    TControl::DefaultHandler(Message);
    return;
  }
  inherited::DefaultHandler(Message);
}

void TCustomComboBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    switch (TWMCommand(Message).NotifyCode()) {
      case CBN_SELCHANGE: {
        int i = ItemIndex();
        if (i >= 0 && (FStyle == csDropDown || FStyle == csSimple)) SetWindowTextA(FHandle, FItems->Strings(i).c_str());
        Click();
        Select();
        break;
      }
      case CBN_EDITCHANGE:
        Change();
        break;
      case CBN_DROPDOWN:
        DropDown();
        if (FStyle != csSimple)
          SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight + ListHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      case CBN_CLOSEUP:
        CloseUp();
        break;
      default:
        break;
    }
    return;
  }
  inherited::Dispatch(Message);
}

// ===================================================================================================
// Published properties

static const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
static const std::vector<std::string> kLayoutNames = {"tlTop", "tlCenter", "tlBottom"};
static const std::vector<std::string> kControlBorderNames = {"bsNone", "bsSingle"};
static const std::vector<std::string> kScrollNames = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
static const std::vector<std::string> kComboStyleNames = {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"};

PUBLISHED(TCustomLabel) {
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
  p.Bool("Default", &TButton::Default, &TButton::SetDefault);
  p.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel);
  p.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
  p.Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
  p.Object("Action", &TControl::Action, &TControl::SetAction);
}

PUBLISHED(TCustomEdit) {
  p.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
  p.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
  p.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, kControlBorderNames);
  p.Event("OnChange", &TCustomEdit::OnChange);
}
IMPLEMENT_CLASS(TEdit)
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
  p.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, kComboStyleNames);
  p.Object("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  p.Int("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex);
  p.Bool("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
  p.Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
  p.Event("OnChange", &TCustomComboBox::OnChange);
  p.Event("OnSelect", &TCustomComboBox::OnSelect);
  p.Event("OnDropDown", &TCustomComboBox::OnDropDown);
  p.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
}
IMPLEMENT_CLASS(TComboBox)
