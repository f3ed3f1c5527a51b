// The list view with its columns and items.
#include <algorithm>

#include "framework/ComCtrls.h"
#include "framework/SysUtils.h"

namespace {
constexpr const char* kIndexError = "List index out of bounds (%d)";
}

// ===================================================================================================
// TListColumn / TListColumns

void TListColumn::SetCaption(const std::string& Value) {
  FCaption = Value;
  Changed(false);
}

void TListColumn::SetWidth(int Value) {
  FWidth = Value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Changed(false);
}

TListColumns::TListColumns(TCustomListView* Owner)
    : TOwnedCollection(Owner, TListColumn::StaticClassInfo()), FListView(Owner) {}

void TListColumns::Update(TCollectionItem*) {
  if (FListView && FListView->HandleAllocated()) FListView->SendColumns();
}

// ===================================================================================================
// TListItem / TListItems

TListItem::TListItem(TListItems* Owner) : FOwner(Owner), FSubItems(new TStringList()) {
  FSubItems->OnChange = [this](TObject*) { Changed(); };
}

TListItem::~TListItem() {
  FSubItems->OnChange = nullptr;
  FSubItems->Free();
  if (!FOwner) return;
  auto& items = FOwner->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  if (it == items.end()) return;
  const int index = static_cast<int>(it - items.begin());
  items.erase(it);
  if (TCustomListView* lv = FOwner->FOwner; lv && lv->HandleAllocated())
    SendMessageA(lv->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void TListItem::SetCaption(const std::string& Value) {
  FCaption = Value;
  Changed();
}

int TListItem::Index() const { return FOwner ? FOwner->IndexOf(this) : -1; }

void TListItem::Changed() {
  if (!FOwner || !FOwner->FOwner || !FOwner->FOwner->HandleAllocated()) return;
  const int index = Index();
  if (index >= 0) FOwner->FOwner->SendItem(index, false);
}

TListItems::~TListItems() { Clear(); }

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int Index) {
  if (Index < 0 || Index > Count()) throw EListError(Format(kIndexError, {Index}));
  auto* item = new TListItem(this);
  FItems.insert(FItems.begin() + Index, item);
  if (FOwner && FOwner->HandleAllocated()) FOwner->SendItem(Index, true);
  return item;
}

void TListItems::Delete(int Index) { Item(Index)->Free(); }

void TListItems::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

TListItem* TListItems::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(kIndexError, {Index}));
  return FItems[static_cast<size_t>(Index)];
}

int TListItems::IndexOf(const TListItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ===================================================================================================
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(new TListColumns(this)), FItems(new TListItems(this)) {
  FWidth = 250;
  FHeight = 150;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
}

TCustomListView::~TCustomListView() {
  FItems->Free();
  FColumns->Free();
}

void TCustomListView::CreateParams(TCreateParams& Params) {
  static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_LISTVIEWA);
  Params.Style |= views[FViewStyle] | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_SINGLESEL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::CreateWnd() {
  inherited::CreateWnd();
  FSentColumns = 0;
  SendColours();
  SendColumns();
  for (int i = 0; i < FItems->Count(); ++i) SendItem(i, true);
  SetItemIndex(FItemIndex);
}

void TCustomListView::DestroyWnd() {
  FItemIndex = ItemIndex();
  inherited::DestroyWnd();
}

void TCustomListView::SendColours() {
  SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  SendMessageA(FHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
}

void TCustomListView::SendColumns() {
  static const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  for (; FSentColumns > 0; --FSentColumns) SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0);
  for (int i = 0; i < FColumns->Count(); ++i) {
    TListColumn* c = FColumns->Items(i);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    // The first column is always left-aligned by the control.
    col.fmt = i == 0 ? LVCFMT_LEFT : formats[c->Alignment()];
    col.cx = c->Width();
    col.pszText = const_cast<char*>(c->Caption().c_str());
    if (SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col)) >= 0)
      ++FSentColumns;
  }
  // New columns come empty: the sub-item texts go in again.
  for (int i = 0; i < FItems->Count(); ++i) SendItem(i, false);
}

void TCustomListView::SendItem(int Index, bool Insert) {
  TListItem* item = FItems->Item(Index);
  LVITEMA lv{};
  lv.mask = LVIF_TEXT | (Insert ? LVIF_PARAM : 0);
  lv.iItem = Index;
  lv.pszText = const_cast<char*>(item->Caption().c_str());
  lv.lParam = reinterpret_cast<LPARAM>(item);
  SendMessageA(FHandle, Insert ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
  for (int s = 0; s < item->SubItems()->Count(); ++s) {
    const std::string text = item->SubItems()->Strings(s);
    LVITEMA sub{};
    sub.iSubItem = s + 1;
    sub.pszText = const_cast<char*>(text.c_str());
    SendMessageA(FHandle, LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&sub));
  }
}

int TCustomListView::ItemIndex() {
  if (!HandleAllocated()) return FItemIndex;
  return static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TCustomListView::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) throw EListError(Format(kIndexError, {Value}));
  FItemIndex = Value;
  if (!HandleAllocated()) return;
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (Value < 0) return;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(Value), reinterpret_cast<LPARAM>(&state));
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
  if (FViewStyle == Value) return;
  FViewStyle = Value;
  RecreateWnd();
}

void TCustomListView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomListView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      if (HandleAllocated()) SendColours();
      return;
    case CN_NOTIFY:
      if (TWMNotify(Message).NMHdr()->code == static_cast<UINT>(LVN_ITEMCHANGED)) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(Message.LParam);
        if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) && OnChange)
          OnChange(this);
        return;
      }
      return inherited::Dispatch(Message);
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================

static const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
static const std::vector<std::string> kViewStyleNames = {"vsIcon", "vsSmallIcon", "vsList", "vsReport"};
static const std::vector<std::string> kBorderNames = {"bsNone", "bsSingle"};

PUBLISHED(TListColumn) {
  p.Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
  p.Int("Width", &TListColumn::Width, &TListColumn::SetWidth);
  p.Enum("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment, kAlignmentNames);
}
IMPLEMENT_CLASS(TListColumns)
IMPLEMENT_CLASS(TListItem)
IMPLEMENT_CLASS(TListItems)

PUBLISHED(TCustomListView) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("BorderStyle", &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle, kBorderNames);
  p.Object("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns);
  p.Enum("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle, kViewStyleNames);
  p.Event("OnChange", &TCustomListView::OnChange);
}
IMPLEMENT_CLASS(TListView)
