#include "framework/TypInfo.h"

#include <mutex>

#include "framework/SysUtils.h"

namespace {
std::string Lower(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

// Never destroyed: code running during process exit may still look properties up.
std::recursive_mutex& TableLock() {
  static std::recursive_mutex* m = new std::recursive_mutex;
  return *m;
}

struct IdentEntry {
  TIdentToInt toInt;
  TIntToIdent toIdent;
};
std::map<std::string, IdentEntry>& IdentTypes() {
  static auto* m = new std::map<std::string, IdentEntry>;
  return *m;
}
}  // namespace

bool TPropInfo::IsOrdinal() const {
  switch (kind) {
    case TPropKind::Ordinal:
    case TPropKind::Enum:
    case TPropKind::Set:
    case TPropKind::Integer:
    case TPropKind::Int64:
    case TPropKind::Colour:
      return true;
    default:
      return false;
  }
}

bool TPropInfo::ReadOnly() const {
  switch (kind) {
    case TPropKind::Float:
      return !setFloat;
    case TPropKind::String:
      return !setStr;
    case TPropKind::Object:
      return false;  // sub-objects are written through their own properties
    case TPropKind::Method:
      return !eventSlot;
    default:
      return !setOrd;
  }
}

std::string TPropInfo::ElementName(int64_t value) const {
  if (value < 0 || value >= static_cast<int64_t>(elementNames.size())) return {};
  return elementNames[static_cast<size_t>(value)];
}

int TPropInfo::ElementValue(const std::string& n) const {
  for (size_t i = 0; i < elementNames.size(); ++i)
    if (SameText(elementNames[i], n)) return static_cast<int>(i);
  return -1;
}

int GetEnumValue(const TPropInfo& prop, const std::string& name) { return prop.ElementValue(name); }

const TPropInfo* TPropertyTable::Find(const std::string& name) const {
  auto it = props.find(Lower(name));
  return it == props.end() ? nullptr : it->second;
}
const TPropInfo* TPropertyTable::FindDeclared(const std::string& name) const {
  auto it = declared.find(Lower(name));
  return it == declared.end() ? nullptr : it->second;
}
const THandlerInfo* TPropertyTable::FindHandler(const std::string& name) const {
  auto it = handlers.find(Lower(name));
  return it == handlers.end() ? nullptr : it->second;
}
const TFieldInfo* TPropertyTable::FindField(const std::string& name) const {
  auto it = fields.find(Lower(name));
  return it == fields.end() ? nullptr : it->second;
}

const TPropertyTable& PropertyTable(const TClassInfo* cls) {
  if (cls->table) return *cls->table;
  std::lock_guard<std::recursive_mutex> g(TableLock());
  if (cls->table) return *cls->table;
  // Lives as long as the class info (the process); a publishing block that raises leaves no table.
  auto owned = std::make_unique<TPropertyTable>();
  TPropertyTable* t = owned.get();
  t->cls = cls;
  if (cls->parent) {
    const TPropertyTable& base = PropertyTable(cls->parent);
    t->props = base.props;
    t->declared = base.declared;
    t->handlers = base.handlers;
    t->fields = base.fields;
    t->ordered = base.ordered;
  }
  if (cls->publish) cls->publish(*t);
  for (auto& p : t->own) {
    std::string key = Lower(p->name);
    t->declared[key] = p.get();
    auto it = t->props.find(key);
    if (!p->published) {
      if (it != t->props.end())
        throw EPropertyError(p->name + " is published by an ancestor of " + cls->name + " and cannot be hidden");
      continue;
    }
    if (it != t->props.end()) {
      // A redeclared property replaces the inherited one in place.
      for (auto& o : t->ordered)
        if (o == it->second) o = p.get();
    } else {
      t->ordered.push_back(p.get());
    }
    t->props[key] = p.get();
  }
  for (auto& h : t->ownHandlers) t->handlers[Lower(h->name)] = h.get();
  for (auto& f : t->ownFields) t->fields[Lower(f->name)] = f.get();
  cls->table = owned.release();
  return *t;
}

const TPropInfo* GetPropInfo(const TClassInfo* cls, const std::string& name) { return PropertyTable(cls).Find(name); }

const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name) {
  return obj ? GetPropInfo(obj->ClassInfo(), name) : nullptr;
}

void RegisterIntegerIdents(const std::string& typeName, TIdentToInt toInt, TIntToIdent toIdent) {
  std::lock_guard<std::recursive_mutex> g(TableLock());
  IdentTypes()[typeName] = IdentEntry{toInt, toIdent};
}

bool IdentToInt(const std::string& typeName, const std::string& ident, int64_t& value) {
  std::lock_guard<std::recursive_mutex> g(TableLock());
  auto it = IdentTypes().find(typeName);
  return it != IdentTypes().end() && it->second.toInt && it->second.toInt(ident, value);
}

bool IntToIdent(const std::string& typeName, int64_t value, std::string& ident) {
  std::lock_guard<std::recursive_mutex> g(TableLock());
  auto it = IdentTypes().find(typeName);
  return it != IdentTypes().end() && it->second.toIdent && it->second.toIdent(value, ident);
}

bool HasProperty(const TObject* obj, const std::string& name) {
  return static_cast<bool>(FindPropPath(const_cast<TObject*>(obj), name));
}

TObject* GetObjectProp(TObject* obj, const std::string& name) {
  TPropRef r = FindPropPath(obj, name);
  return r && r.info->kind == TPropKind::Object ? r.info->getObj(r.instance) : nullptr;
}

int64_t GetOrdProp(TObject* obj, const std::string& name) {
  TPropRef r = FindPropPath(obj, name);
  return r && r.info->IsOrdinal() ? r.info->getOrd(r.instance) : -1;
}

bool SetOrdProp(TObject* obj, const std::string& name, int64_t value) {
  TPropRef r = FindPropPath(obj, name);
  if (!r || !r.info->IsOrdinal() || !r.info->setOrd) return false;
  r.info->setOrd(r.instance, value);
  return true;
}

std::string GetStrProp(TObject* obj, const std::string& name) {
  TPropRef r = FindPropPath(obj, name);
  return r && r.info->kind == TPropKind::String ? r.info->getStr(r.instance) : std::string();
}

bool SetStrProp(TObject* obj, const std::string& name, const std::string& value) {
  TPropRef r = FindPropPath(obj, name);
  if (!r || r.info->kind != TPropKind::String || !r.info->setStr) return false;
  r.info->setStr(r.instance, value);
  return true;
}

std::string GetEnumProp(TObject* obj, const std::string& name) {
  TPropRef r = FindPropPath(obj, name);
  return r && r.info->kind == TPropKind::Enum ? r.info->ElementName(r.info->getOrd(r.instance)) : std::string();
}

bool SetEnumProp(TObject* obj, const std::string& name, const std::string& element) {
  TPropRef r = FindPropPath(obj, name);
  if (!r || r.info->kind != TPropKind::Enum || !r.info->setOrd) return false;
  const int value = r.info->ElementValue(element);
  if (value < 0) throw EPropertyError(Format("Invalid property element: %s", {element}));
  r.info->setOrd(r.instance, value);
  return true;
}

std::string GetSetProp(TObject* obj, const std::string& name) {
  TPropRef r = FindPropPath(obj, name);
  const TPropInfo* p = r.info;
  if (!p || p->kind != TPropKind::Set) return {};
  const uint64_t bits = static_cast<uint64_t>(p->getOrd(r.instance));
  std::string text;
  for (size_t i = 0; i < 32 && i < p->elementNames.size(); ++i)
    if (bits & (uint64_t{1} << i)) {
      if (!text.empty()) text += ',';
      text += p->elementNames[i];
    }
  return text;
}

bool SetSetProp(TObject* obj, const std::string& name, const std::string& commaText) {
  TPropRef r = FindPropPath(obj, name);
  const TPropInfo* p = r.info;
  if (!p || p->kind != TPropKind::Set || !p->setOrd) return false;
  uint32_t bits = 0;
  size_t start = 0;
  while (start <= commaText.size()) {
    size_t comma = commaText.find(',', start);
    if (comma == std::string::npos) comma = commaText.size();
    std::string element = Trim(commaText.substr(start, comma - start));
    if (!element.empty()) {
      size_t i = 0;
      while (i < p->elementNames.size() && p->elementNames[i] != element) ++i;
      if (i == p->elementNames.size() || i >= 32)
        throw EPropertyError(Format("Invalid property element: %s", {element}));
      bits |= uint32_t{1} << i;
    }
    start = comma + 1;
  }
  p->setOrd(r.instance, bits);
  return true;
}
