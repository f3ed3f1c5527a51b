#pragma once
// Persistent objects, components with owners, string lists, collections, threads.

#include <functional>
#include <string>
#include <vector>

#include "framework/Delegate.h"
#include "framework/System.h"

class TStream;
class TReader;
class TComponent;

using TNotifyEvent = TDelegate<void(TObject* Sender)>;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Keyboard shortcuts: a virtual-key code with modifier bits (Alt+F4 = scAlt | VK_F4 = 0x8073).
using TShortCut = uint16_t;
inline constexpr TShortCut scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;

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
  // Stored descriptions keep a position for components that are not controls ("Left"/"Top"): read into
  // DesignInfo (Left in the low word, Top in the high word), used for nothing else.
  void DefineProperties(TFiler& filer) override;
  int32_t DesignInfo() const { return designInfo_; }

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
  friend class TFormParser;
  void MarkDestroying();
  void RemoveFreeNotifications();
  void InsertIntoList(TComponent* component);
  void RemoveFromList(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  int32_t designInfo_ = 0;
  TComponentState state_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  bool unlinked_ = false;
};

// Tells whether a component was freed while the watch lived. Code that runs an event handler from inside a
// component's own method asks it before touching the component again: a click handler may free the control
// it belongs to, or the form that control sits on.
class TFreeWatch : public TComponent {
  DECLARE_CLASS(TFreeWatch, TComponent)
public:
  explicit TFreeWatch(TComponent* Watched);
  ~TFreeWatch() override;
  bool Freed() const { return FWatched == nullptr; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TComponent* FWatched;
};

// True for a valid identifier: letter or '_' first, then letters, digits, '_'.
bool IsValidIdent(const std::string& ident);

// Runs Edit between Target's BeginUpdate and EndUpdate; the update ends also when Edit throws.
template <class T, class F> void WithinUpdate(T& Target, F&& Edit) {
  Target.BeginUpdate();
  try {
    Edit();
  } catch (...) {
    Target.EndUpdate();
    throw;
  }
  Target.EndUpdate();
}

// ---- string lists ----
// An abstract list of strings with an object per string. Derived lists (a combo box's items, a memo's lines)
// implement Get/GetCount/Insert/Delete/Clear and, when they keep objects, GetObj/PutObj.
class TStrings : public TPersistent {
  DECLARE_CLASS(TStrings, TPersistent)
public:
  int Count() const { return GetCount(); }
  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& s) { Put(index, s); }
  std::string operator[](int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObj(index); }
  void SetObjects(int index, TObject* obj) { PutObj(index, obj); }

  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* obj);
  void AddStrings(TStrings* strings);
  virtual void Insert(int index, const std::string& s) = 0;
  void InsertObject(int index, const std::string& s, TObject* obj);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  // First index of `s` (case-insensitive unless the list says otherwise), -1 when none.
  virtual int IndexOf(const std::string& s) const;
  int IndexOfObject(TObject* obj) const;

  // Each line followed by CR LF. Setting splits at CR LF, CR or LF; a final break adds no empty line.
  std::string Text() const { return GetTextStr(); }
  void SetText(const std::string& text) { SetTextStr(text); }

  // "name=value" lines.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  int IndexOfName(const std::string& name) const;
  std::string Values(const std::string& name) const;
  // An empty value deletes the line.
  void SetValues(const std::string& name, const std::string& value);

  void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);  // from the stream's position to its end
  void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

protected:
  virtual std::string Get(int index) const = 0;
  virtual int GetCount() const = 0;
  virtual void Put(int index, const std::string& s);
  virtual TObject* GetObj(int index) const;
  virtual void PutObj(int index, TObject* obj);
  virtual void SetUpdateState(bool updating);
  virtual std::string GetTextStr() const;
  virtual void SetTextStr(const std::string& text);
  virtual int CompareStrings(const std::string& a, const std::string& b) const;
  [[noreturn]] void Error(const char* format, int index) const;

private:
  int updateCount_ = 0;
};

// Splits text into lines at CR LF, CR or LF; a final break adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

class TStringList : public TStrings {
  DECLARE_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* obj) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  int IndexOf(const std::string& s) const override;

  // Binary search of a sorted list: true when found; `index` is where it is or would be inserted.
  bool Find(const std::string& s, int& index) const;
  // Locale order (the user's locale), case-insensitive unless CaseSensitive.
  virtual void Sort();
  bool Sorted() const { return sorted_; }
  // A sorted list keeps its order on Add (a string already present is not added again) and refuses Insert.
  void SetSorted(bool value);
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  std::string Get(int index) const override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  void Put(int index, const std::string& s) override;
  TObject* GetObj(int index) const override;
  void PutObj(int index, TObject* obj) override;
  void SetUpdateState(bool updating) override;
  void SetTextStr(const std::string& text) override;
  int CompareStrings(const std::string& a, const std::string& b) const override;
  virtual void Changed();
  virtual void Changing();

private:
  struct Item {
    std::string s;
    TObject* obj;
  };
  void InsertItem(int index, const std::string& s, TObject* obj);
  void CheckIndex(int index) const;
  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
};

// ---- threads ----
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
using TThreadMethod = std::function<void()>;

// A thread running the virtual Execute. Create it with Create<TMyThread>(createSuspended) (or call Start()),
// free it with Free(): that terminates it and waits until Execute has returned.
class TThread : public TObject {
  DECLARE_CLASS(TThread, TObject)
public:
  explicit TThread(bool createSuspended = true);
  ~TThread() override;
  void AfterConstruction() override;   // starts the thread unless it was created suspended
  void BeforeDestruction() override;   // Terminate, then wait for Execute (never from the thread itself)

  void Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Started() const { return handle_ != nullptr; }
  bool Finished() const { return finished_; }
  // Waits for Execute to end; on the user-interface thread queued Synchronize calls keep running meanwhile.
  // Returns ReturnValue.
  int WaitFor();
  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool v) { freeOnTerminate_ = v; }
  TThreadPriority Priority() const { return priority_; }
  void SetPriority(TThreadPriority p);
  HANDLE Handle() const { return handle_; }
  DWORD ThreadID() const { return threadId_; }
  // The exception that left Execute, kept until the thread object is freed; null when none.
  const std::exception* FatalException() const { return fatal_; }
  std::exception_ptr FatalExceptionPtr() const { return fatalPtr_; }
  int ReturnValue() const { return returnValue_; }

  // Runs on the user-interface thread after Execute (synchronised).
  TNotifyEvent OnTerminate;

  // Runs `method` on the user-interface thread: directly when called there, otherwise queued for
  // CheckSynchronize while the caller blocks. An exception in `method` is raised again in the caller.
  static void Synchronize(const TThreadMethod& method);

protected:
  virtual void Execute() = 0;
  virtual void DoTerminate();
  void SetReturnValue(int v) { returnValue_ = v; }

private:
  static DWORD WINAPI ThreadProc(void* self);
  HANDLE handle_ = nullptr;
  DWORD threadId_ = 0;
  bool createSuspended_;
  volatile bool terminated_ = false;
  volatile bool finished_ = false;
  bool freeOnTerminate_ = false;
  TThreadPriority priority_ = tpNormal;
  int returnValue_ = 0;
  std::exception_ptr fatalPtr_;
  const std::exception* fatal_ = nullptr;
};

// Runs the queued Synchronize calls (on the user-interface thread; the application's loop calls it).
// With a timeout, first waits that long for something to be queued. True when anything ran.
bool CheckSynchronize(DWORD timeoutMs = 0);
// Called (from the queuing thread) after a Synchronize call was queued; the application sets it to wake its
// message loop (a posted message to its window).
extern std::function<void()> WakeMainThreadHook;
// Signalled while Synchronize calls are queued (message loops may wait on it).
HANDLE SyncEventHandle();

class TCriticalSection : public TObject {
  DECLARE_CLASS(TCriticalSection, TObject)
public:
  TCriticalSection() { InitializeCriticalSection(&cs_); }
  ~TCriticalSection() override { DeleteCriticalSection(&cs_); }
  void Enter() { EnterCriticalSection(&cs_); }
  void Leave() { LeaveCriticalSection(&cs_); }
  bool TryEnter() { return TryEnterCriticalSection(&cs_) != 0; }
  void Acquire() { Enter(); }
  void Release() { Leave(); }

private:
  CRITICAL_SECTION cs_;
};

// ---- collections ----
class TCollection;

// An item of a collection. Item classes need a default constructor (the collection creates them by class
// info) and publish their properties like components do.
class TCollectionItem : public TPersistent {
  DECLARE_CLASS(TCollectionItem, TPersistent)
public:
  TCollectionItem() = default;
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (null: out of any).
  void SetCollection(TCollection* value);
  int Index() const;
  void SetIndex(int value);
  int ID() const { return id_; }
  virtual std::string GetDisplayName() const { return ClassName(); }
  std::string DisplayName() const { return GetDisplayName(); }
  TPersistent* GetOwner() override;
  std::string GetNamePath() override;

protected:
  // Tells the collection: this item changed (or, with allItems, all of them).
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  DECLARE_CLASS(TCollection, TPersistent)
public:
  explicit TCollection(const TClassInfo* itemClass);
  ~TCollection() override;
  const TClassInfo* ItemClass() const { return itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const;
  // Creates an item of ItemClass at the end.
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // Same item class (or a descendant): the items are recreated and assigned one by one.
  void Assign(TPersistent* source) override;
  std::string GetNamePath() override;

protected:
  // A change of `item`, or of the whole collection when null; runs outside BeginUpdate/EndUpdate.
  virtual void Update(TCollectionItem* item) { (void)item; }
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  const TClassInfo* itemClass_;
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
  int nextId_ = 0;
};

// A collection that names its owner (the component that publishes it), for name paths and the reader.
class TOwnedCollection : public TCollection {
  DECLARE_CLASS(TOwnedCollection, TCollection)
public:
  TOwnedCollection(TPersistent* owner, const TClassInfo* itemClass) : TCollection(itemClass), owner_(owner) {}
  TPersistent* GetOwner() override { return owner_; }

private:
  TPersistent* owner_;
};
