#pragma once
// Published properties, handlers and fields, per class and inherited, by name (case-insensitive).
//
// In the class's .cpp (the block is a function body; `p` publishes for the class named):
//
//   PUBLISHED(TMyPanel) {
//     p.Int("BevelWidth", &TMyPanel::BevelWidth, &TMyPanel::SetBevelWidth);
//     p.Bool("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize);
//     p.Enum("Align", &TControl::Align, &TControl::SetAlign, {"alNone", "alTop", "alBottom", ...});
//     p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, AnchorNames);  // TSet<E> or integer
//     p.Str("Caption", &TControl::Caption, &TControl::SetCaption);
//     p.Color("Color", &TControl::Color, &TControl::SetColor);     // names from the "TColor" idents
//     p.IntIdents("Cursor", &TControl::Cursor, &TControl::SetCursor, "TCursor");
//     p.Float("Ratio", &TMyPanel::Ratio, &TMyPanel::SetRatio);
//     p.Object("Font", &TControl::Font);                 // sub-object: "Font.Style = [fsBold]"
//     p.Object("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);  // reference by name
//     p.Str("SkinInfo", &TMyPanel::SkinInfo, nullptr);   // read-only: the reader skips it
//     p.Event("OnClick", &TControl::OnClick);            // a TDelegate member (framework/Delegate.h)
//     p.Str("Text", ...).NotPublished();                 // declared for descendants, not found by name
//     p.Publish("Color");                                // publishes an inherited declaration
//   }
//
// A form publishes the fields the reader fills and the handlers events bind to:
//
//   PUBLISHED(TMainForm) {
//     p.Field("ButtonWrite", &TMainForm::ButtonWrite);              // TButton* member
//     p.Handler("ButtonWriteClick", &TMainForm::ButtonWriteClick);  // void (TObject* Sender)
//
// An event bound from a description equals TNotifyEvent(form, &TMainForm::ButtonWriteClick).
//   }
//
// Getters and setters may be member functions of a base class or lambdas taking the object pointer.

#include "framework/Delegate.h"
#include "framework/System.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

enum class TPropKind { Ordinal, Enum, Set, Integer, Int64, Float, String, Colour, Object, Method };

struct TPropInfo {
  std::string name;
  TPropKind kind = TPropKind::Integer;
  const TClassInfo* declaredIn = nullptr;
  std::vector<std::string> elementNames;  // Enum and Set kinds (Bool: "False", "True")
  std::string identType;                  // Integer/Colour kinds with named values ("TColor", "TCursor")
  const TClassInfo* objectClass = nullptr;  // Object kind: the declared class

  std::function<int64_t(TObject*)> getOrd;  // Ordinal, Enum, Set (raw bits), Integer, Int64, Colour
  std::function<void(TObject*, int64_t)> setOrd;
  std::function<double(TObject*)> getFloat;
  std::function<void(TObject*, double)> setFloat;
  std::function<std::string(TObject*)> getStr;
  std::function<void(TObject*, const std::string&)> setStr;
  std::function<TObject*(TObject*)> getObj;
  std::function<void(TObject*, TObject*)> setObj;
  const std::type_info* eventType = nullptr;   // Method kind: typeid(TDelegate<...>) of the member
  std::function<TMethod*(TObject*)> eventSlot;  // that member in an object

  // False for a declaration that descendants publish (Publish); such a property is found by no query.
  bool published = true;
  bool hasDefault = false;
  int64_t defaultValue = 0;
  std::function<bool(TObject*)> stored;

  bool IsOrdinal() const;
  bool ReadOnly() const;
  TPropInfo& Default(int64_t v) {
    hasDefault = true;
    defaultValue = v;
    return *this;
  }
  TPropInfo& Stored(std::function<bool(TObject*)> f) {
    stored = std::move(f);
    return *this;
  }
  TPropInfo& NotPublished() {
    published = false;
    return *this;
  }
  // Enum element name of a value ("" when out of range); value of a name (-1 when none), exact compare
  // as written in the program, case-insensitive as in stored descriptions.
  std::string ElementName(int64_t value) const;
  int ElementValue(const std::string& name) const;
};

// A form's method events can bind to (by name, from stored descriptions).
struct THandlerInfo {
  std::string name;
  const std::type_info* eventType = nullptr;
  // Assigns to *slot (a TDelegate of eventType) the handler bound to `root`.
  std::function<void(TObject* root, TMethod* slot)> bind;
};

// A form's member pointer the reader sets to the component of that name.
struct TFieldInfo {
  std::string name;
  const TClassInfo* fieldClass = nullptr;
  std::function<void(TObject* root, TObject* value)> set;
};

struct TPropertyTable {
  const TClassInfo* cls = nullptr;
  std::vector<std::unique_ptr<TPropInfo>> own;  // in publishing order
  std::vector<std::unique_ptr<THandlerInfo>> ownHandlers;
  std::vector<std::unique_ptr<TFieldInfo>> ownFields;
  // Lookup by lower-cased name, inherited entries included (own ones win); published ones only.
  std::map<std::string, const TPropInfo*> props;
  std::map<std::string, const TPropInfo*> declared;  // published or not
  std::map<std::string, const THandlerInfo*> handlers;
  std::map<std::string, const TFieldInfo*> fields;
  std::vector<const TPropInfo*> ordered;  // all properties, base classes first

  const TPropInfo* Find(const std::string& name) const;
  const TPropInfo* FindDeclared(const std::string& name) const;
  const THandlerInfo* FindHandler(const std::string& name) const;
  const TFieldInfo* FindField(const std::string& name) const;
};

// The table of a class (built on first use).
const TPropertyTable& PropertyTable(const TClassInfo* cls);
const TPropInfo* GetPropInfo(const TClassInfo* cls, const std::string& name);
const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name);

// ---- named integer values (colour and cursor identifiers), registered by the layers that own them ----
using TIdentToInt = bool (*)(const std::string& ident, int64_t& value);
using TIntToIdent = bool (*)(int64_t value, std::string& ident);
void RegisterIntegerIdents(const std::string& typeName, TIdentToInt toInt, TIntToIdent toIdent);
bool IdentToInt(const std::string& typeName, const std::string& ident, int64_t& value);
bool IntToIdent(const std::string& typeName, int64_t value, std::string& ident);

// ---- run-time queries by name (nothing happens for a property the class does not publish) ----
// Names may be paths through object properties ("Font.Color", "GridStyle.Title.StartColor"); a step that is
// missing, not an object property or holds null makes the whole path absent.
struct TPropRef {
  TObject* instance = nullptr;  // the object holding the last name
  const TPropInfo* info = nullptr;
  explicit operator bool() const { return info != nullptr; }
};
TPropRef FindPropPath(TObject* obj, const std::string& path);
bool HasProperty(const TObject* obj, const std::string& name);
// The object-typed property's value; null when absent or not an object property.
TObject* GetObjectProp(TObject* obj, const std::string& name);
// The ordinal value (enum, set bits, integer, colour); -1 when absent or not ordinal.
int64_t GetOrdProp(TObject* obj, const std::string& name);
// Sets an ordinal property; false when absent, not ordinal or read-only.
bool SetOrdProp(TObject* obj, const std::string& name, int64_t value);
std::string GetStrProp(TObject* obj, const std::string& name);
bool SetStrProp(TObject* obj, const std::string& name, const std::string& value);
// A set property as its element names joined by ',' without brackets ("akLeft,akTop").
std::string GetSetProp(TObject* obj, const std::string& name);
// Writes a set property from such comma text (blanks around names ignored, whole names compared
// exactly); an unknown element raises EPropertyError. False when the property is absent.
bool SetSetProp(TObject* obj, const std::string& name, const std::string& commaText);
// Enum value of a property by element name (-1 when absent).
int GetEnumValue(const TPropInfo& prop, const std::string& name);
// An enumeration property's value as its element name ("" when absent or not an enumeration).
std::string GetEnumProp(TObject* obj, const std::string& name);
// Sets an enumeration property by element name (case-insensitive); an unknown element raises
// EPropertyError. False when the property is absent, not an enumeration or read-only.
bool SetEnumProp(TObject* obj, const std::string& name, const std::string& element);

// Method properties (published events), by name or path. The handler's {code, data}; null when the property
// has no handler, is absent or is not an event.
TMethod GetMethodProp(TObject* obj, const std::string& name);
// Assigns a handler; one of another event type than the property's raises EPropertyError. False when absent.
template <class Sig> bool SetMethodProp(TObject* obj, const std::string& name, const TDelegate<Sig>& handler);
// Puts back {code, data} read from the same property with GetMethodProp (a null one clears it). False when
// absent.
bool SetMethodProp(TObject* obj, const std::string& name, const TMethod& value);
// Removes the handler (code and data). False when absent.
bool ClearMethodProp(TObject* obj, const std::string& name);
bool SetTypedMethodProp(TObject* obj, const std::string& name, const std::type_info& type, const TMethod& handler);
template <class Sig> bool SetMethodProp(TObject* obj, const std::string& name, const TDelegate<Sig>& handler) {
  return SetTypedMethodProp(obj, name, typeid(TDelegate<Sig>), handler);
}

// ---- publishing ----
namespace framework_detail {
template <class T> struct IsTSet : std::false_type {};
template <class E> struct IsTSet<TSet<E>> : std::true_type {};

template <class V> int64_t ToOrd(const V& v) {
  using D = std::decay_t<V>;
  if constexpr (IsTSet<D>::value)
    return static_cast<int64_t>(v.Raw());
  else
    return static_cast<int64_t>(v);
}
template <class D> D FromOrd(int64_t v) {
  if constexpr (IsTSet<D>::value)
    return D::FromRaw(static_cast<uint32_t>(v));
  else if constexpr (std::is_same_v<D, bool>)
    return v != 0;
  else
    return static_cast<D>(v);
}
template <class F> struct MemberFnSig;
template <class R, class B, class... A> struct MemberFnSig<R (B::*)(A...)> {
  using Delegate = TDelegate<R(A...)>;
  using Base = B;
};
template <class R, class B, class... A> struct MemberFnSig<R (B::*)(A...) const> {
  using Delegate = TDelegate<R(A...)>;
  using Base = B;
};
}  // namespace framework_detail

template <class C> class TPublisher {
public:
  explicit TPublisher(TPropertyTable& table) : table_(table) {}

  template <class G, class S> TPropInfo& Int(const char* name, G get, S set) {
    return Ordinal(name, TPropKind::Integer, get, set);
  }
  template <class G, class S> TPropInfo& Int64(const char* name, G get, S set) {
    return Ordinal(name, TPropKind::Int64, get, set);
  }
  template <class G, class S> TPropInfo& Color(const char* name, G get, S set) {
    TPropInfo& p = Ordinal(name, TPropKind::Colour, get, set);
    p.identType = "TColor";
    return p;
  }
  template <class G, class S> TPropInfo& IntIdents(const char* name, G get, S set, const char* identType) {
    TPropInfo& p = Ordinal(name, TPropKind::Integer, get, set);
    p.identType = identType;
    return p;
  }
  template <class G, class S> TPropInfo& Bool(const char* name, G get, S set) {
    TPropInfo& p = Ordinal(name, TPropKind::Enum, get, set);
    p.elementNames = {"False", "True"};
    return p;
  }
  template <class G, class S> TPropInfo& Enum(const char* name, G get, S set, std::vector<std::string> names) {
    TPropInfo& p = Ordinal(name, TPropKind::Enum, get, set);
    p.elementNames = std::move(names);
    return p;
  }
  template <class G, class S> TPropInfo& Set(const char* name, G get, S set, std::vector<std::string> names) {
    TPropInfo& p = Ordinal(name, TPropKind::Set, get, set);
    p.elementNames = std::move(names);
    return p;
  }
  template <class G, class S> TPropInfo& Float(const char* name, G get, S set) {
    TPropInfo& p = Add(name, TPropKind::Float);
    p.getFloat = [get](TObject* o) { return static_cast<double>(std::invoke(get, static_cast<C*>(o))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      using V = std::decay_t<decltype(std::invoke(get, std::declval<C*>()))>;
      p.setFloat = [set](TObject* o, double v) { std::invoke(set, static_cast<C*>(o), static_cast<V>(v)); };
    }
    return p;
  }
  template <class G, class S> TPropInfo& Str(const char* name, G get, S set) {
    TPropInfo& p = Add(name, TPropKind::String);
    p.getStr = [get](TObject* o) { return std::string(std::invoke(get, static_cast<C*>(o))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.setStr = [set](TObject* o, const std::string& v) { std::invoke(set, static_cast<C*>(o), v); };
    return p;
  }
  // An object property: a sub-object whose own properties are set through it, or, with a value that is
  // a name, a reference to a component resolved after the whole description is read.
  template <class G> TPropInfo& Object(const char* name, G get) { return Object(name, get, nullptr); }
  template <class G, class S> TPropInfo& Object(const char* name, G get, S set) {
    using P = decltype(std::invoke(get, std::declval<C*>()));
    using T = std::remove_pointer_t<std::decay_t<P>>;
    TPropInfo& p = Add(name, TPropKind::Object);
    p.objectClass = T::StaticClassInfo();
    p.getObj = [get](TObject* o) -> TObject* { return std::invoke(get, static_cast<C*>(o)); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.setObj = [set](TObject* o, TObject* v) { std::invoke(set, static_cast<C*>(o), static_cast<T*>(v)); };
    return p;
  }
  template <class B, class Sig> TPropInfo& Event(const char* name, TDelegate<Sig> B::*member) {
    static_assert(std::is_base_of_v<B, C>);
    TPropInfo& p = Add(name, TPropKind::Method);
    p.eventType = &typeid(TDelegate<Sig>);
    p.eventSlot = [member](TObject* o) -> TMethod* { return &(static_cast<C*>(o)->*member); };
    return p;
  }
  // Publishes a property an ancestor declared without publishing it.
  TPropInfo& Publish(const char* name) {
    const TClassInfo* parent = C::StaticClassInfo()->parent;
    const TPropInfo* base = parent ? PropertyTable(parent).FindDeclared(name) : nullptr;
    if (!base) throw EPropertyError(std::string("Cannot publish ") + name + ": no ancestor of " + C::StaticClassInfo()->name + " declares it");
    table_.own.push_back(std::make_unique<TPropInfo>(*base));
    table_.own.back()->published = true;
    return *table_.own.back();
  }
  template <class M> void Handler(const char* name, M method) {
    using Sig = framework_detail::MemberFnSig<M>;
    static_assert(std::is_base_of_v<typename Sig::Base, C>);
    auto h = std::make_unique<THandlerInfo>();
    h->name = name;
    using Event = typename Sig::Delegate;
    h->eventType = &typeid(Event);
    h->bind = [method](TObject* root, TMethod* slot) {
      *static_cast<Event*>(slot) = Event(static_cast<C*>(root), method);
    };
    table_.ownHandlers.push_back(std::move(h));
  }
  template <class B, class T> void Field(const char* name, T* B::*member) {
    static_assert(std::is_base_of_v<B, C>);
    auto f = std::make_unique<TFieldInfo>();
    f->name = name;
    f->fieldClass = T::StaticClassInfo();
    f->set = [member](TObject* root, TObject* v) { static_cast<C*>(root)->*member = static_cast<T*>(v); };
    table_.ownFields.push_back(std::move(f));
  }

private:
  template <class G, class S> TPropInfo& Ordinal(const char* name, TPropKind kind, G get, S set) {
    using V = std::decay_t<decltype(std::invoke(get, std::declval<C*>()))>;
    TPropInfo& p = Add(name, kind);
    p.getOrd = [get](TObject* o) { return framework_detail::ToOrd(std::invoke(get, static_cast<C*>(o))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.setOrd = [set](TObject* o, int64_t v) {
        std::invoke(set, static_cast<C*>(o), framework_detail::FromOrd<V>(v));
      };
    return p;
  }
  TPropInfo& Add(const char* name, TPropKind kind) {
    auto p = std::make_unique<TPropInfo>();
    p->name = name;
    p->kind = kind;
    p->declaredIn = C::StaticClassInfo();
    table_.own.push_back(std::move(p));
    return *table_.own.back();
  }
  TPropertyTable& table_;
};
