// Published properties reached through dotted paths of object properties.
#include "framework/TypInfo.h"

TPropRef FindPropPath(TObject* obj, const std::string& path) {
  TObject* target = obj;
  size_t start = 0;
  for (;;) {
    if (!target) return {};
    const size_t dot = path.find('.', start);
    const std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    const TPropInfo* p = GetPropInfo(target, part);
    if (!p) return {};
    if (dot == std::string::npos) return TPropRef{target, p};
    if (p->kind != TPropKind::Object) return {};
    target = p->getObj(target);
    start = dot + 1;
  }
}

namespace {
TMethod* EventSlot(TObject* obj, const std::string& name) {
  TPropRef r = FindPropPath(obj, name);
  if (!r || r.info->kind != TPropKind::Method || !r.info->eventSlot) return nullptr;
  return r.info->eventSlot(r.instance);
}
}  // namespace

TMethod GetMethodProp(TObject* obj, const std::string& name) {
  TMethod* slot = EventSlot(obj, name);
  return slot ? *slot : TMethod();
}

bool SetMethodProp(TObject* obj, const std::string& name, const TMethod& value) {
  TMethod* slot = EventSlot(obj, name);
  if (!slot) return false;
  *slot = value;
  return true;
}

bool ClearMethodProp(TObject* obj, const std::string& name) {
  TMethod* slot = EventSlot(obj, name);
  if (!slot) return false;
  slot->Clear();
  return true;
}

bool SetTypedMethodProp(TObject* obj, const std::string& name, const std::type_info& type, const TMethod& handler) {
  TPropRef r = FindPropPath(obj, name);
  if (!r || r.info->kind != TPropKind::Method || !r.info->eventSlot) return false;
  // A handler of another signature would be called with the wrong arguments.
  if (!r.info->eventType || *r.info->eventType != type)
    throw EPropertyError("Incompatible handler for event " + r.info->name);
  *r.info->eventSlot(r.instance) = handler;
  return true;
}
