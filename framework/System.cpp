#include "framework/System.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "framework/SysUtils.h"

const TClassInfo* TObject::StaticClassInfo() {
  static const TClassInfo info{"TObject", nullptr, &framework_detail::Factory<TObject>, nullptr, nullptr};
  return &info;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c; c = c->parent)
    if (c == other) return true;
  return false;
}

TObject* TClassInfo::CreateInstance(TComponent* owner) const {
  if (!factory) throw EInvalidOperation(std::string("Cannot create an instance of the abstract class ") + name);
  TObject* obj = factory(owner);
  if (!obj) throw EInvalidOperation(std::string("Cannot create an instance of the abstract class ") + name);
  return FreeOnThrow(obj, [](TObject* o) { o->AfterConstruction(); });
}

void TObject::Free() {
  BeforeDestruction();
  DestroyObject();
}

// ---- class registry ----
namespace {
struct ClassRegistry {
  std::mutex lock;
  std::map<std::string, const TClassInfo*> byName;  // exact names; the reader compares exactly
};
// Singletons of the framework are never destroyed: code running during process exit may still use them.
ClassRegistry& Registry() {
  static ClassRegistry* r = new ClassRegistry;
  return *r;
}
}  // namespace

void RegisterClass(const TClassInfo* cls) {
  ClassRegistry& r = Registry();
  std::lock_guard<std::mutex> g(r.lock);
  auto it = r.byName.find(cls->name);
  if (it != r.byName.end() && it->second != cls)
    throw EFilerError(Format("A class named %s already exists", {cls->name}));
  r.byName[cls->name] = cls;
}

void RegisterClasses(std::initializer_list<const TClassInfo*> classes) {
  for (const TClassInfo* c : classes) RegisterClass(c);
}

void UnRegisterClass(const TClassInfo* cls) {
  ClassRegistry& r = Registry();
  std::lock_guard<std::mutex> g(r.lock);
  auto it = r.byName.find(cls->name);
  if (it != r.byName.end() && it->second == cls) r.byName.erase(it);
}

const TClassInfo* GetClass(const std::string& name) {
  ClassRegistry& r = Registry();
  std::lock_guard<std::mutex> g(r.lock);
  auto it = r.byName.find(name);
  return it == r.byName.end() ? nullptr : it->second;
}

const TClassInfo* FindClass(const std::string& name) {
  const TClassInfo* c = GetClass(name);
  if (!c) throw EClassNotFound(Format("Class %s not found", {name}));
  return c;
}

// ---- OS errors ----
std::string SysErrorMessage(DWORD code) {
  char* buffer = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                               FORMAT_MESSAGE_ARGUMENT_ARRAY,
                           nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text;
  if (n && buffer) text.assign(buffer, n);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(DWORD code) {
  if (code == 0) throw EOSError("A call to an OS function failed");
  throw EOSError(Format("System Error.  Code: %d.\r\n%s", {static_cast<int64_t>(code), SysErrorMessage(code)}));
}

// ---- exception hook ----
TExceptionHook HandleExceptionHook = nullptr;

void HandleFrameworkException(const std::exception& e) {
  if (HandleExceptionHook) {
    HandleExceptionHook(e);
    return;
  }
  std::string text = std::string("Unhandled exception: ") + e.what() + "\n";
  OutputDebugStringA(text.c_str());
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

void HandleCurrentException() noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      HandleFrameworkException(e);
    } catch (...) {
      HandleFrameworkException(Exception("Unknown exception"));
    }
  } catch (...) {
    // The hook itself failed: nothing further up may see it (we are below a C frame).
    OutputDebugStringA("Exception in the exception hook\n");
  }
}

DWORD MainThreadID = GetCurrentThreadId();
