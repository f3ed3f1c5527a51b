// Combo boxes: the items kept by the window (or by the object while there is none), the edit child
// subclassed through a stub, owner-drawn items, and the state a re-created window keeps.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/ObjectInstance.h"
#include "framework/StdCtrls.h"

namespace {
constexpr const char* kIndexError = "List index out of bounds (%d)";
}  // namespace

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
  FCanvas = new TControlCanvas(this);
}

TCustomComboBox::~TCustomComboBox() {
  FCanvas->Free();
  FItems->Free();
}

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
  FItemIndex = -1;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(FHandle, &info)) {
    FListHandle = info.hwndList;
    if (info.hwndItem && info.hwndItem != FHandle) FEditHandle = info.hwndItem;
  }
  if (FEditHandle) {
    FEditInstance = MakeObjectInstance(TWndMethod::Bind<&TCustomComboBox::EditWndProc>(this));
    FDefEditProc = SubclassWindowWith(FEditHandle, FEditInstance);
  }
  SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  ApplyEditStyle();
  if ((FStyle == csDropDown || FStyle == csSimple) && !text.empty()) SetWindowTextA(FHandle, text.c_str());
}

void TCustomComboBox::DestroyWnd() {
  // Items, selection and text outlive the window (RecreateWnd keeps them).
  std::vector<TComboBoxStrings::Item> items;
  int count = static_cast<int>(SendMessageA(FHandle, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) items.push_back({FItems->Get(i), FItems->GetObj(i)});
  int index = static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
  // The stub goes first: restored on the edit, or left forwarding under a later subclasser.
  WNDPROC stub = FEditInstance;
  FEditInstance = nullptr;
  FreeObjectInstance(stub);
  FEditHandle = FListHandle = nullptr;
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
  if (Message.Msg == CN_DRAWITEM) return CNDrawItem(Message);
  if (Message.Msg == CN_MEASUREITEM) return CNMeasureItem(Message);
  if (Message.Msg == CN_COMMAND) {
    switch (TWMCommand(Message).NotifyCode()) {
      case CBN_SELCHANGE: {
        int i = ItemIndex();
        if (i >= 0 && (FStyle == csDropDown || FStyle == csSimple)) SetWindowTextA(FHandle, FItems->Strings(i).c_str());
        // OnClick may free the box, as may OnDropDown below
        TFreeWatch Watch(this);
        Click();
        if (!Watch.Freed()) Select();
        break;
      }
      case CBN_EDITCHANGE:
        Change();
        break;
      case CBN_DROPDOWN: {
        TFreeWatch Watch(this);
        DropDown();
        if (!Watch.Freed() && FStyle != csSimple)
          SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight + ListHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
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

// ---- owner draw ----
void TCustomComboBox::CNDrawItem(TMessage& Message) {
  PaintOwnerDrawItem(FCanvas, this, Message,
                     [this](int Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
}

void TCustomComboBox::CNMeasureItem(TMessage& Message) {
  MeasureOwnerDrawItem(Message, FItemHeight, FStyle == csOwnerDrawVariable,
                       [this](int Index, int& Height) { MeasureItem(Index, Height); });
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) return OnDrawItem(this, Index, Rect, State);
  FCanvas->FillRect(Rect);
  if (Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

int TCustomComboBox::ItemHeight() {
  if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable || !HandleAllocated()) return FItemHeight;
  return static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value <= 0) return;
  FItemHeight = Value;
  if (!HandleAllocated()) return;
  if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
    RecreateWnd();  // owner-drawn items are measured while the window is made
  else
    SendMessageA(FHandle, CB_SETITEMHEIGHT, 0, Value);
}

// ---- the edit child ----
void TCustomComboBox::SetMaxLength(int Value) {
  FMaxLength = std::max(Value, 0);
  if (HandleAllocated()) SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (!FEditHandle) return;
  ApplyEditStyle();
  std::string text = Text();
  SetWindowTextA(FEditHandle, text.c_str());  // the edit converts the text it is given
}

void TCustomComboBox::ApplyEditStyle() {
  if (!FEditHandle) return;
  LONG style = GetWindowLongA(FEditHandle, GWL_STYLE) & ~(ES_UPPERCASE | ES_LOWERCASE);
  if (FCharCase == ecUpperCase) style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) style |= ES_LOWERCASE;
  SetWindowLongA(FEditHandle, GWL_STYLE, style);
}

void TCustomComboBox::EditWndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      // The focus went straight to the edit (a click in it): the form's focused control is the combo.
      if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      UpdateMouseControl();
      break;
    default:
      break;
  }
  HWND edit = FEditHandle;
  WNDPROC proc = FDefEditProc;
  if (edit && proc) Message.Result = CallWindowProcA(proc, edit, Message.Msg, Message.WParam, Message.LParam);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (HandleAllocated()) SendMessageA(FHandle, CB_SHOWDROPDOWN, Value, 0);
}

void TCustomComboBox::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  auto printable = [](char k) { return static_cast<unsigned char>(k) >= 32 && k != 127; };
  if (!HandleAllocated() || !printable(Key)) return;
  if (FAutoDropDown && FStyle != csSimple && !DroppedDown()) SetDroppedDown(true);
  if (!FAutoComplete || !FEditHandle) return;
  // The text the key makes (replacing the selection), completed to the first item it begins.
  DWORD start = 0, end = 0;
  SendMessageA(FHandle, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::string text = Text();
  start = std::min<DWORD>(start, text.size());
  end = std::min<DWORD>(std::max(end, start), text.size());
  std::string typed = text.substr(0, start) + Key + text.substr(end);
  LRESULT found = SendMessageA(FHandle, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
  if (found == CB_ERR) return;
  std::string item = FItems->Strings(static_cast<int>(found));
  SendMessageA(FHandle, CB_SETCURSEL, found, 0);
  SetWindowTextA(FHandle, item.c_str());
  SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(typed.size(), -1));
  Key = 0;
  Change();
}
