#pragma once
// Root of the framework: objects with class info, the class registry, exceptions, sets.
//
// How a class takes part (header):
//
//   class TMyControl : public TCustomControl {
//     DECLARE_CLASS(TMyControl, TCustomControl)      // ClassName() "TMyControl", `inherited` alias
//   public:
//     explicit TMyControl(TComponent* AOwner);        // components: the factory calls this
//     int Speed() const;  void SetSpeed(int v);
//     TNotifyEvent OnTick;
//   };
//
// and its .cpp, either without published properties:
//
//   IMPLEMENT_CLASS(TMyControl)
//
// or with them (the block is the body of a function that receives `p`; see TypInfo.h):
//
//   PUBLISHED(TMyControl) {
//     p.Int("Speed", &TMyControl::Speed, &TMyControl::SetSpeed);
//     p.Event("OnTick", &TMyControl::OnTick);
//   }
//
// Classes the form reader must find by name are registered once at start-up (RegisterClass).
// Create objects that need AfterConstruction (forms, threads) with Create<T>(args...);
// destroy every TObject with Free(), never `delete`.

#include <windows.h>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <type_traits>

// windows.h maps RegisterClass to RegisterClassA; the framework's RegisterClass is ours.
#undef RegisterClass

class TObject;
class TComponent;

// One record per class: exact name, parent, and the factory used for virtual construction.
struct TPropertyTable;
struct TClassInfo {
  const char* name;
  const TClassInfo* parent;
  // Creates an instance (constructor only; see Create<T> for AfterConstruction); null for abstract classes.
  TObject* (*factory)(TComponent* owner);
  // Fills the published-property table; null when the class publishes nothing of its own.
  void (*publish)(TPropertyTable& table);
  mutable TPropertyTable* table;  // built on first use (TypInfo.cpp)

  bool InheritsFrom(const TClassInfo* other) const;
  // Virtual construction by class info: factory, then AfterConstruction (freed again if that throws).
  TObject* CreateInstance(TComponent* owner) const;
};

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClassInfo* StaticClassInfo();
  virtual const TClassInfo* ClassInfo() const { return StaticClassInfo(); }
  std::string ClassName() const { return ClassInfo()->name; }
  bool InheritsFrom(const TClassInfo* cls) const { return ClassInfo()->InheritsFrom(cls); }
  template <class T> bool Is() const { return InheritsFrom(T::StaticClassInfo()); }

  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}
  // BeforeDestruction, then DestroyObject (components run their ordered teardown there).
  void Free();

protected:
  // Last step of Free(); the default deletes the object.
  virtual void DestroyObject() { delete this; }
};

// Frees an object through a null-safe pointer and nulls the pointer first.
template <class T> void FreeAndNil(T*& obj) {
  T* p = obj;
  obj = nullptr;
  if (p) p->Free();
}
inline void FreeObject(TObject* obj) {
  if (obj) obj->Free();
}

// Runs Init on a new object and gives it back; when Init throws the object is freed and the exception propagates.
template <class T, class F> T* FreeOnThrow(T* obj, F&& Init) {
  try {
    Init(obj);
  } catch (...) {
    obj->Free();
    throw;
  }
  return obj;
}
// Constructs T and runs AfterConstruction; on an exception there the object is freed and it propagates.
template <class T, class... Args> T* Create(Args&&... args) {
  return FreeOnThrow(new T(std::forward<Args>(args)...), [](T* obj) { obj->AfterConstruction(); });
}

// dynamic_cast through class info for the framework's own objects.
template <class T> T* As(TObject* obj) { return obj && obj->Is<T>() ? static_cast<T*>(obj) : nullptr; }

namespace framework_detail {
template <class C> TObject* Factory(TComponent* owner) {
  if constexpr (std::is_abstract_v<C>) {
    (void)owner;
    return nullptr;
  } else if constexpr (std::is_constructible_v<C, TComponent*>) {
    return new C(owner);
  } else if constexpr (std::is_default_constructible_v<C>) {
    (void)owner;
    return new C();
  } else {
    (void)owner;
    return nullptr;
  }
}
template <class C> struct PublishOf;  // specialised by PUBLISHED
}  // namespace framework_detail

#define DECLARE_CLASS(Cls, Parent)                                              \
public:                                                                         \
  using inherited = Parent;                                                     \
  static const TClassInfo* StaticClassInfo();                                   \
  const TClassInfo* ClassInfo() const override { return Cls::StaticClassInfo(); } \
                                                                                \
private:

#define FRAMEWORK_CLASS_INFO_(Cls, PublishFn)                                                      \
  const TClassInfo* Cls::StaticClassInfo() {                                                       \
    static const TClassInfo info{#Cls, Cls::inherited::StaticClassInfo(),                          \
                                 &framework_detail::Factory<Cls>, PublishFn, nullptr};             \
    return &info;                                                                                  \
  }

#define IMPLEMENT_CLASS(Cls) FRAMEWORK_CLASS_INFO_(Cls, nullptr)

// Implements class info and opens the body of the function that publishes Cls's properties.
#define PUBLISHED(Cls)                                                         \
  static void Cls##_PublishBody(TPublisher<Cls>& p);                           \
  static void Cls##_Publish(TPropertyTable& table) {                           \
    TPublisher<Cls> publisher(table);                                          \
    Cls##_PublishBody(publisher);                                              \
  }                                                                            \
  FRAMEWORK_CLASS_INFO_(Cls, &Cls##_Publish)                                   \
  static void Cls##_PublishBody([[maybe_unused]] TPublisher<Cls>& p)

// ---- class registry (the reader finds classes by name) ----
void RegisterClass(const TClassInfo* cls);
void RegisterClasses(std::initializer_list<const TClassInfo*> classes);
void UnRegisterClass(const TClassInfo* cls);
// Null when no class of that name is registered.
const TClassInfo* GetClass(const std::string& name);
// Raises EClassNotFound "Class %s not found".
const TClassInfo* FindClass(const std::string& name);

// ---- sets of small enumerations, as raw bits (bit n = element n) ----
template <class E> class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  static constexpr TSet FromRaw(uint32_t raw) {
    TSet s;
    s.bits_ = raw;
    return s;
  }
  constexpr uint32_t Raw() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) { bits_ |= Bit(e); return *this; }
  constexpr TSet& Exclude(E e) { bits_ &= ~Bit(e); return *this; }
  constexpr TSet operator+(TSet o) const { return FromRaw(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromRaw(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromRaw(bits_ & o.bits_); }
  constexpr TSet operator+(E e) const { return FromRaw(bits_ | Bit(e)); }
  constexpr TSet operator-(E e) const { return FromRaw(bits_ & ~Bit(e)); }
  constexpr TSet& operator+=(TSet o) { bits_ |= o.bits_; return *this; }
  constexpr TSet& operator-=(TSet o) { bits_ &= ~o.bits_; return *this; }
  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  constexpr bool operator==(const TSet& o) const = default;

private:
  static constexpr uint32_t Bit(E e) { return uint32_t{1} << static_cast<unsigned>(e); }
  uint32_t bits_ = 0;
};

// ---- exceptions ----
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(const std::string& m) { message_ = m; }
  const char* what() const noexcept override { return message_.c_str(); }
  // Exact class name, for reports ("EConvertError").
  virtual const char* ClassName() const { return "Exception"; }

private:
  std::string message_;
};

#define FRAMEWORK_EXCEPTION_(Name, Base)                          \
  class Name : public Base {                                      \
  public:                                                         \
    using Base::Base;                                             \
    const char* ClassName() const override { return #Name; }      \
  };

FRAMEWORK_EXCEPTION_(EConvertError, Exception)
FRAMEWORK_EXCEPTION_(EInvalidOperation, Exception)
FRAMEWORK_EXCEPTION_(EInvalidPointer, Exception)
FRAMEWORK_EXCEPTION_(EListError, Exception)
FRAMEWORK_EXCEPTION_(EStringListError, Exception)
FRAMEWORK_EXCEPTION_(EComponentError, Exception)
FRAMEWORK_EXCEPTION_(EStreamError, Exception)
FRAMEWORK_EXCEPTION_(EReadError, EStreamError)
FRAMEWORK_EXCEPTION_(EWriteError, EStreamError)
FRAMEWORK_EXCEPTION_(EFilerError, EStreamError)
FRAMEWORK_EXCEPTION_(EClassNotFound, EFilerError)
FRAMEWORK_EXCEPTION_(EFOpenError, EStreamError)
FRAMEWORK_EXCEPTION_(EFCreateError, EStreamError)
FRAMEWORK_EXCEPTION_(EResNotFound, Exception)
FRAMEWORK_EXCEPTION_(EInvalidGraphic, Exception)
FRAMEWORK_EXCEPTION_(EInvalidGraphicOperation, Exception)
FRAMEWORK_EXCEPTION_(EOutOfResources, Exception)
FRAMEWORK_EXCEPTION_(EOSError, Exception)
FRAMEWORK_EXCEPTION_(EThread, Exception)
FRAMEWORK_EXCEPTION_(ERegistryException, Exception)
FRAMEWORK_EXCEPTION_(EDecompressionError, Exception)
FRAMEWORK_EXCEPTION_(EPropertyError, Exception)

// Raises EOSError with the system's text for GetLastError() (or the given code).
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD code);
std::string SysErrorMessage(DWORD code);

// ---- where exceptions go when no caller can take them ----
// The application sets this (it shows the exception box); code called by Windows or C (thread entries,
// callbacks without a control) catches and calls HandleFrameworkException.
using TExceptionHook = void (*)(const std::exception& e);
extern TExceptionHook HandleExceptionHook;
// Hands the current exception (call inside a catch block) or `e` to the hook; without a hook the message
// goes to the debugger output and stderr, never silently lost.
void HandleFrameworkException(const std::exception& e);
void HandleCurrentException() noexcept;

// Id of the user-interface thread (the one that started the program).
extern DWORD MainThreadID;
