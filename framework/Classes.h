#pragma once
// Persistent objects, components with owners, string lists, collections, threads.

#include <functional>
#include <string>
#include <vector>

#include "framework/System.h"

class TStream;
class TReader;
class TComponent;

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;
enum TOperation { opInsert, opRemove };

// Receives the properties a class stores beyond its published ones (DefineProperties).
class TFiler {
public:
  virtual ~TFiler() = default;
  // A value read by the reader's Read* calls ("OriginName = 'x'").
  virtual void DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData,
                              bool hasData = true) = 0;
  // Binary data, handed over as a stream positioned at its first byte ("Data = { ... }").
  virtual void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& readData,
                                    bool hasData = true) = 0;
};

class TPersistent : public TObject {
  DECLARE_CLASS(TPersistent, TObject)
public:
  // Copies `source` into this object; the default asks the source (AssignTo) and raises
  // EConvertError "Cannot assign a %s to a %s" when neither side knows the other.
  virtual void Assign(TPersistent* source);
  // The object this one belongs to (a sub-object's component), for name paths; null by default.
  virtual TPersistent* GetOwner() { return nullptr; }
  virtual std::string GetNamePath();
  virtual void DefineProperties(TFiler& filer) { (void)filer; }

protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(TPersistent* source);
};

// Owned objects: the owner frees what it owns; free notifications; loading state for the reader.
//
// Free() runs, in this order: csDestroying set on the object and everything it owns (BeforeDestruction);
// PreDestroy() (forms fire OnDestroy, windowed controls destroy their window while the object is whole);
// FreeChildren() (controls free their child controls, then the base frees owned components, last inserted
// first); Unlink() (free-notification subscribers and the owner get Notification(this, opRemove), the
// component leaves its owner; controls also leave their parent); then the object is deleted.
class TComponent : public TPersistent {
  DECLARE_CLASS(TComponent, TPersistent)
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Raises EComponentError for an invalid identifier or a name already used within the owner.
  virtual void SetName(const std::string& value);
  int Tag() const { return tag_; }
  void SetTag(int value) { tag_ = value; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  TComponentState ComponentState() const { return state_; }
  // An owned component by name (case-insensitive); null when none.
  TComponent* FindComponent(const std::string& name) const;

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // `component` gets Notification(this, opRemove) when this component is freed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // The component that contains this one in a stored description (controls: their parent).
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual bool HasParent() const { return false; }
  // Called by the reader for nested objects (controls set their Parent here).
  virtual void SetParentComponent(TComponent* value) { (void)value; }

  TPersistent* GetOwner() override { return owner_; }
  std::string GetNamePath() override { return name_; }

  void BeforeDestruction() override;
  // Public so any component can tell another (the owner forwards what it hears to all it owns).
  virtual void Notification(TComponent* component, TOperation operation);

protected:
  // After the whole description was read (and references resolved); the base clears csLoading.
  virtual void Loaded();
  // The reader is reading this component's own properties (controls also mark csReadingState).
  virtual void SetReading(bool reading);
  virtual void PreDestroy() {}
  virtual void FreeChildren();
  virtual void Unlink();
  void DestroyObject() override;

  void SetComponentStateItem(TComponentStateItem item, bool on);

private:
  friend class TReader;
  void MarkDestroying();
  void RemoveFreeNotifications();
  void InsertIntoList(TComponent* component);
  void RemoveFromList(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  TComponentState state_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  bool unlinked_ = false;
};

// True for a valid Pascal-style identifier: letter or '_' first, then letters, digits, '_'.
bool IsValidIdent(const std::string& ident);
