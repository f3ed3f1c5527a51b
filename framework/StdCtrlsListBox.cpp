// List boxes: items kept by the object and mirrored into the window, and owner-drawn items.
#include <algorithm>

#include "framework/StdCtrls.h"

namespace {
constexpr const char* kIndexError = "List index out of bounds (%d)";
}  // namespace

IMPLEMENT_CLASS(TListBoxStrings)

void TListBoxStrings::Check(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FItems.size())) Error(kIndexError, Index);
}

std::string TListBoxStrings::Get(int Index) const {
  Check(Index);
  return FItems[static_cast<size_t>(Index)].text;
}

TObject* TListBoxStrings::GetObj(int Index) const {
  Check(Index);
  return FItems[static_cast<size_t>(Index)].obj;
}

void TListBoxStrings::PutObj(int Index, TObject* Obj) {
  Check(Index);
  FItems[static_cast<size_t>(Index)].obj = Obj;
}

void TListBoxStrings::InsertItem(int Index, const std::string& S, TObject* Obj) {
  FItems.insert(FItems.begin() + Index, Item{S, Obj});
  if (!FListBox->HandleAllocated()) return;
  // Owner-drawn lists without LBS_HASSTRINGS would keep only the pointer: the style always has strings.
  if (SendMessageA(FListBox->FHandle, LB_INSERTSTRING, Index, reinterpret_cast<LPARAM>(S.c_str())) < 0) {
    FItems.erase(FItems.begin() + Index);
    throw EOutOfResources("Not enough storage is available to complete this operation");
  }
}

int TListBoxStrings::AddObject(const std::string& S, TObject* Obj) {
  int i = static_cast<int>(FItems.size());
  if (FListBox->FSorted)
    for (i = 0; i < static_cast<int>(FItems.size()); ++i)
      if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, S.c_str(), -1, FItems[i].text.c_str(), -1) ==
          CSTR_LESS_THAN)
        break;
  InsertItem(i, S, Obj);
  return i;
}

void TListBoxStrings::Insert(int Index, const std::string& S) {
  if (Index < 0 || Index > GetCount()) Error(kIndexError, Index);
  if (FListBox->FSorted) throw EStringListError("Operation not allowed on sorted list");
  InsertItem(Index, S, nullptr);
}

void TListBoxStrings::Delete(int Index) {
  Check(Index);
  FItems.erase(FItems.begin() + Index);
  if (FListBox->HandleAllocated()) {
    SendMessageA(FListBox->FHandle, LB_DELETESTRING, Index, 0);
  } else if (FListBox->FItemIndex == Index) {
    FListBox->FItemIndex = -1;
  } else if (FListBox->FItemIndex > Index) {
    --FListBox->FItemIndex;
  }
}

void TListBoxStrings::Clear() {
  FItems.clear();
  if (FListBox->HandleAllocated())
    SendMessageA(FListBox->FHandle, LB_RESETCONTENT, 0, 0);
  else if (!FListBox->ComponentState().Contains(csLoading))  // a stored ItemIndex may precede the items
    FListBox->FItemIndex = -1;
}

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FItems = new TListBoxStrings(this);
  FCanvas = new TControlCanvas(this);
}

TCustomListBox::~TCustomListBox() {
  FCanvas->Free();
  FItems->Free();
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_BORDER;
  if (FStyle == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
  // The object keeps the order: the window inserts where it is told.
  Params.Style &= ~LBS_SORT;
}

void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  for (const auto& it : FItems->FItems) SendMessageA(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(it.text.c_str()));
  if (FItemIndex >= 0) SendMessageA(FHandle, LB_SETCURSEL, FItemIndex, 0);
  FItemIndex = -1;
}

void TCustomListBox::DestroyWnd() {
  // The selection outlives the window (RecreateWnd keeps it); the items are kept anyway.
  int index = static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
  inherited::DestroyWnd();
  FItemIndex = index;
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (!Value) return;
  // The selection follows its item into the sorted order.
  int index = ItemIndex();
  std::string selectedText = index >= 0 ? FItems->Strings(index) : std::string();
  std::vector<TListBoxStrings::Item> items = FItems->FItems;
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.text.c_str(), -1, b.text.c_str(), -1) ==
           CSTR_LESS_THAN;
  });
  FItems->Clear();
  for (const auto& it : items) FItems->InsertItem(FItems->GetCount(), it.text, it.obj);
  if (index >= 0) SetItemIndex(FItems->IndexOf(selectedText));
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return FItemIndex;
  return static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value) {
  if (!ComponentState().Contains(csLoading) && (Value < -1 || Value >= FItems->Count()))
    throw EListError("List index out of bounds (" + std::to_string(Value) + ")");
  if (!HandleAllocated()) {
    FItemIndex = Value;
    return;
  }
  SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

int TCustomListBox::ItemHeight() {
  if (FStyle != lbStandard || !HandleAllocated()) return FItemHeight;
  return static_cast<int>(SendMessageA(FHandle, LB_GETITEMHEIGHT, 0, 0));
}

void TCustomListBox::SetItemHeight(int Value) {
  if (Value <= 0 || FItemHeight == Value) return;
  FItemHeight = Value;
  if (FStyle != lbStandard) RecreateWnd();
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) return OnDrawItem(this, Index, Rect, State);
  FCanvas->FillRect(Rect);
  if (Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == LBN_SELCHANGE) Click();
      if (HIWORD(Message.WParam) == LBN_DBLCLK) DblClick();
      return;
    case CN_DRAWITEM:
      PaintOwnerDrawItem(FCanvas, this, Message,
                         [this](int Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
      return;
    case CN_MEASUREITEM:
      MeasureOwnerDrawItem(Message, FItemHeight, FStyle == lbOwnerDrawVariable,
                           [this](int Index, int& Height) { MeasureItem(Index, Height); });
      return;
    default:
      inherited::Dispatch(Message);
  }
}

static const std::vector<std::string> kListBoxStyleNames = {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"};

PUBLISHED(TCustomListBox) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle, kListBoxStyleNames);
  p.Object("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
  p.Int("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex);
  p.Int("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  p.Bool("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
  p.Event("OnDrawItem", &TCustomListBox::OnDrawItem);
  p.Event("OnMeasureItem", &TCustomListBox::OnMeasureItem);
}
IMPLEMENT_CLASS(TListBox)
