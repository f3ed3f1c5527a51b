#include <algorithm>

#include "framework/Classes.h"
#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TCollectionItem)
IMPLEMENT_CLASS(TCollection)
IMPLEMENT_CLASS(TOwnedCollection)

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* value) {
  if (collection_ == value) return;
  if (collection_) collection_->RemoveItem(this);
  if (value) value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int value) {
  const int current = Index();
  if (current < 0 || value == current) return;
  auto& items = collection_->items_;
  if (value < 0) value = 0;
  if (value >= static_cast<int>(items.size())) value = static_cast<int>(items.size()) - 1;
  items.erase(items.begin() + current);
  items.insert(items.begin() + value, this);
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() { return collection_; }

std::string TCollectionItem::GetNamePath() {
  if (!collection_) return ClassName();
  return Format("%s[%d]", {collection_->GetNamePath(), Index()});
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(const TClassInfo* itemClass) : itemClass_(itemClass) {}

TCollection::~TCollection() {
  updateCount_ = 1;  // no Update calls from a half-destroyed collection
  while (!items_.empty()) {
    TCollectionItem* item = items_.back();
    item->Free();  // leaves the list in its destructor
  }
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
  if (!itemClass_ || !itemClass_->InheritsFrom(TCollectionItem::StaticClassInfo()) || !itemClass_->factory)
    throw EInvalidOperation(Format("%s cannot create its items", {ClassName()}));
  TObject* obj = itemClass_->factory(nullptr);
  if (!obj) throw EInvalidOperation(Format("%s cannot create items of class %s", {ClassName(), itemClass_->name}));
  auto* item = static_cast<TCollectionItem*>(obj);
  InsertItem(item);
  try {
    item->AfterConstruction();
  } catch (...) {
    item->Free();
    throw;
  }
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { Items(index)->Free(); }

void TCollection::Clear() {
  if (items_.empty()) return;
  WithinUpdate(*this, [&] {
    while (!items_.empty()) items_.back()->Free();
  });
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* i : items_)
    if (i->id_ == id) return i;
  return nullptr;
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it != items_.end()) items_.erase(it);
  item->collection_ = nullptr;
  Changed();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(TPersistent* source) {
  auto* other = As<TCollection>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  WithinUpdate(*this, [&] {
    Clear();
    for (TCollectionItem* i : other->items_) Add()->Assign(i);
  });
}

std::string TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  std::string path = owner->GetNamePath();
  return path.empty() ? ClassName() : path;
}
