#include "framework/Classes.h"

#include <algorithm>

#include "framework/FormReader.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

IMPLEMENT_CLASS(TPersistent)
PUBLISHED(TComponent) {
  p.Str("Name", &TComponent::Name, &TComponent::SetName);
  p.Int("Tag", &TComponent::Tag, &TComponent::SetTag);
}

// ---- TPersistent ----
void TPersistent::Assign(TPersistent* source) {
  if (source)
    source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  const std::string sourceName = source ? source->ClassName() : std::string("nil");
  throw EConvertError(Format("Cannot assign a %s to a %s", {sourceName, ClassName()}));
}

std::string TPersistent::GetNamePath() {
  std::string path;
  if (TPersistent* owner = GetOwner()) {
    path = owner->GetNamePath();
    if (!path.empty()) path += '.';
  }
  return path + ClassName();
}

// ---- TFreeWatch ----
IMPLEMENT_CLASS(TFreeWatch)

TFreeWatch::TFreeWatch(TComponent* Watched) : TComponent(nullptr), FWatched(Watched) {
  if (Watched) Watched->FreeNotification(this);
}

TFreeWatch::~TFreeWatch() {
  // Leaves quietly: the watched component hears nothing of a watch that ends first.
  if (FWatched) RemoveFreeNotification(FWatched);
}

void TFreeWatch::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FWatched) FWatched = nullptr;
  TComponent::Notification(AComponent, Operation);
}

// ---- TComponent ----
bool IsValidIdent(const std::string& ident) {
  if (ident.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(ident[0])) return false;
  for (char c : ident)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Normally Free() has done all of this; a component deleted directly (or on the stack) still
  // leaves no dangling pointers behind.
  if (!unlinked_) {
    MarkDestroying();
    TComponent::FreeChildren();
    TComponent::Unlink();
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(Format("List index out of bounds (%d)", {index}));
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto it = std::find(owner_->components_.begin(), owner_->components_.end(), this);
  return it == owner_->components_.end() ? -1 : static_cast<int>(it - owner_->components_.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& value) {
  if (value == name_) return;
  if (!value.empty() && !IsValidIdent(value))
    throw EComponentError(Format("'%s' is not a valid component name", {value}));
  if (owner_ && !value.empty()) {
    TComponent* other = owner_->FindComponent(value);
    if (other && other != this) throw EComponentError(Format("A component named %s already exists", {value}));
  }
  name_ = value;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->owner_) component->owner_->RemoveFromList(component);
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError(Format("A component named %s already exists", {component->name_}));
  InsertIntoList(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->owner_ != this) return;
  Notification(component, opRemove);
  RemoveFromList(component);
}

void TComponent::InsertIntoList(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::RemoveFromList(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  // Components of one owner already hear of each other through the owner.
  if (owner_ && component->owner_ == owner_) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
    component->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
  if (it == freeNotifies_.end()) return;
  freeNotifies_.erase(it);
  component->RemoveFreeNotification(this);
}

void TComponent::RemoveFreeNotifications() {
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto it = std::find(c->freeNotifies_.begin(), c->freeNotifies_.end(), this);
    if (it != c->freeNotifies_.end()) c->freeNotifies_.erase(it);
    c->Notification(this, opRemove);
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // What the owner hears, everything it owns hears (a label drops the edit it was focusing).
  for (size_t i = 0; i < components_.size(); ++i) components_[i]->Notification(component, operation);
}

void TComponent::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  filer.DefineProperty("Left", [this](TReader& reader) {
    designInfo_ = static_cast<int32_t>((static_cast<uint32_t>(designInfo_) & 0xFFFF0000u) |
                                       (static_cast<uint32_t>(reader.ReadInteger()) & 0xFFFFu));
  });
  filer.DefineProperty("Top", [this](TReader& reader) {
    designInfo_ = static_cast<int32_t>((static_cast<uint32_t>(designInfo_) & 0xFFFFu) |
                                       (static_cast<uint32_t>(reader.ReadInteger()) << 16));
  });
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::SetReading(bool reading) { SetComponentStateItem(csReading, reading); }

void TComponent::SetComponentStateItem(TComponentStateItem item, bool on) {
  if (on)
    state_.Include(item);
  else
    state_.Exclude(item);
}

void TComponent::MarkDestroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->MarkDestroying();
}

void TComponent::BeforeDestruction() { MarkDestroying(); }

void TComponent::FreeChildren() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    c->Free();
    // Free() takes it out of the list; a component that failed to must not be freed twice.
    if (!components_.empty() && components_.back() == c) {
      components_.pop_back();
      c->owner_ = nullptr;
    }
  }
}

void TComponent::Unlink() {
  unlinked_ = true;
  RemoveFreeNotifications();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyObject() {
  PreDestroy();
  FreeChildren();
  Unlink();
  delete this;
}
