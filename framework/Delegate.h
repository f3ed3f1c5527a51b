#pragma once
// Method pointers with an identity: every event and WindowProc is a delegate {code, data}.
//
// A delegate bound to a member of an object equals every other binding of the same member to the
// same object, so a subclasser or painter can ask "is my handler still there" and remove only its
// own; SameCode compares the member alone, whatever the object. The stored-description reader binds
// a form's published handlers this way, so `Button->OnClick == TNotifyEvent(form, &TForm1::Click)`.
// Any other callable (a lambda) is kept alive by the delegate and equals only itself and its copies.
//
//   TNotifyEvent e(this, &TMyForm::ButtonClick);          // member of an object
//   TWndMethod w = TWndMethod::Bind<&TControl::WndProc>(c);  // the same, member as a template argument
//   e = [&](TObject*) { ... };                             // a callable
//   if (e.SameCode(TNotifyEvent(nullptr, &TMyForm::ButtonClick))) e = nullptr;
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <type_traits>

// The code half: the invoker of the delegate's signature and the bytes of the member pointer it
// calls (or the address of the callable it owns). Member pointers of virtual functions name the
// slot, so the code is the member, not the override.
struct TMethodCode {
  void (*Invoker)() = nullptr;
  alignas(void*) unsigned char Member[16] = {};
  bool operator==(const TMethodCode& o) const {
    return Invoker == o.Invoker && std::memcmp(Member, o.Member, sizeof Member) == 0;
  }
};

// Any delegate seen without its signature: what method properties read, set and clear by name.
class TMethod {
public:
  const TMethodCode& Code() const { return code_; }
  void* Data() const { return data_; }
  bool Assigned() const { return code_.Invoker != nullptr; }
  explicit operator bool() const { return Assigned(); }
  bool IsNull() const { return !Assigned(); }
  bool SameCode(const TMethod& o) const { return code_ == o.code_; }
  bool operator==(const TMethod& o) const { return code_ == o.code_ && data_ == o.data_; }
  bool operator==(std::nullptr_t) const { return !Assigned(); }
  // Clears code and data.
  void Clear() {
    code_ = TMethodCode();
    data_ = nullptr;
    keep_.reset();
  }

protected:
  TMethodCode code_;
  void* data_ = nullptr;
  std::shared_ptr<void> keep_;  // the callable a lambda-made delegate owns
};

template <class Sig> class TDelegate;

template <class R, class... A> class TDelegate<R(A...)> : public TMethod {
  using Invoker = R (*)(const TMethod&, A...);
  template <class M> struct MemberOf;
  template <class B> struct MemberOf<R (B::*)(A...)> { using Class = B; };
  template <class B> struct MemberOf<R (B::*)(A...) const> { using Class = B; };

  template <class F> struct IsStdFunction : std::false_type {};
  template <class S> struct IsStdFunction<std::function<S>> : std::true_type {};
  template <class F>
  static constexpr bool IsCallable = !std::is_base_of_v<TMethod, std::decay_t<F>> &&
                                     !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
                                     std::is_invocable_r_v<R, std::decay_t<F>&, A...>;

public:
  using Signature = R(A...);

  TDelegate() = default;
  TDelegate(std::nullptr_t) {}

  // A member of an object (of the member's class or one derived from it; null to name only the code).
  template <class B> TDelegate(std::type_identity_t<B>* obj, R (B::*member)(A...)) { SetMember(obj, member); }
  template <class B> TDelegate(std::type_identity_t<B>* obj, R (B::*member)(A...) const) { SetMember(obj, member); }

  // Any other callable; an empty std::function gives a null delegate.
  template <class F>
    requires IsCallable<F>
  TDelegate(F&& fn) {
    using D = std::decay_t<F>;
    if constexpr (IsStdFunction<D>::value || std::is_pointer_v<D>) {
      if (!fn) return;
    }
    auto holder = std::make_shared<D>(std::forward<F>(fn));
    D* raw = holder.get();
    data_ = raw;
    std::memcpy(code_.Member, &raw, sizeof raw);
    code_.Invoker = reinterpret_cast<void (*)()>(static_cast<Invoker>(&CallStored<D>));
    keep_ = std::move(holder);
  }

  // The member as a template argument: TWndMethod::Bind<&TControl::WndProc>(control).
  template <auto Member> static TDelegate Bind(typename MemberOf<decltype(Member)>::Class* obj) {
    return TDelegate(obj, Member);
  }
  static TDelegate FromFunction(std::function<R(A...)> fn) { return TDelegate(std::move(fn)); }

  // Calling a null delegate is a fault of the caller: it raises rather than jumping to nothing.
  R operator()(A... args) const {
    if (!code_.Invoker) throw std::bad_function_call();
    return reinterpret_cast<Invoker>(code_.Invoker)(*this, std::forward<A>(args)...);
  }

private:
  template <class B, class M> void SetMember(B* obj, M member) {
    static_assert(sizeof(M) <= sizeof(code_.Member));
    data_ = obj;
    new (code_.Member) M(member);
    code_.Invoker = reinterpret_cast<void (*)()>(static_cast<Invoker>(&CallMember<B, M>));
  }
  // gcc sees the virtual branch of a member-pointer call read a class without a vtable as
  // "maybe uninitialised"; the branch is never taken for such a class.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
  template <class B, class M> static R CallMember(const TMethod& d, A... args) {
    const M member = *std::launder(reinterpret_cast<const M*>(d.Code().Member));
    return (static_cast<B*>(d.Data())->*member)(std::forward<A>(args)...);
  }
#pragma GCC diagnostic pop
  template <class D> static R CallStored(const TMethod& d, A... args) {
    return (*static_cast<D*>(d.Data()))(std::forward<A>(args)...);
  }
};
