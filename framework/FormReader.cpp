#include "framework/FormReader.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

// ---- TReader: values for DefineProperty procedures ----
TReader::TReader(TComponent* root, const TFormValue& value, std::string where)
    : root_(root), where_(std::move(where)), value_(&value) {}

void TReader::Error(const std::string& message) const {
  throw EReadError("Error reading " + where_ + ": " + message);
}

const TFormValue& TReader::Next(const char* what) {
  if (!lists_.empty()) {
    auto& top = lists_.back();
    if (top.second >= top.first->items.size()) Error(std::string("Missing ") + what + " in list");
    return top.first->items[top.second++];
  }
  if (consumed_) Error(std::string("No more values to read as ") + what);
  consumed_ = true;
  return *value_;
}

std::string TReader::ReadString() {
  const TFormValue& v = Next("string");
  if (v.kind != TFormValue::String) Error("String expected");
  return v.text;
}

int64_t TReader::ReadInt64() {
  const TFormValue& v = Next("integer");
  if (v.kind != TFormValue::Integer) Error("Integer expected");
  return v.integer;
}

int TReader::ReadInteger() {
  const int64_t v = ReadInt64();
  if (v < INT32_MIN || v > INT32_MAX) Error("Integer value out of range");
  return static_cast<int>(v);
}

double TReader::ReadFloat() {
  const TFormValue& v = Next("number");
  if (v.kind == TFormValue::Integer) return static_cast<double>(v.integer);
  if (v.kind != TFormValue::Float) Error("Number expected");
  return v.number;
}

std::string TReader::ReadIdent() {
  const TFormValue& v = Next("identifier");
  if (v.kind != TFormValue::Ident) Error("Identifier expected");
  return v.text;
}

bool TReader::ReadBoolean() {
  const std::string s = ReadIdent();
  if (SameText(s, "True")) return true;
  if (SameText(s, "False")) return false;
  Error("Boolean expected");
}

void TReader::ReadListBegin() {
  const TFormValue& v = Next("list");
  if (v.kind != TFormValue::List) Error("List expected");
  lists_.emplace_back(&v, 0);
}

bool TReader::EndOfList() const { return lists_.empty() || lists_.back().second >= lists_.back().first->items.size(); }

void TReader::ReadListEnd() {
  if (lists_.empty() || !EndOfList()) Error("End of list expected");
  lists_.pop_back();
}

// ---- the parser ----
namespace {
// Finds a property defined through DefineProperties.
class TDefinedPropertyFinder : public TFiler {
public:
  explicit TDefinedPropertyFinder(const std::string& name) : name_(name) {}
  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData, bool) override {
    if (!found_ && SameText(name, name_)) {
      read = readData;
      found_ = true;
    }
  }
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& readData,
                            bool) override {
    if (!found_ && SameText(name, name_)) {
      readBinary = readData;
      found_ = true;
    }
  }
  bool Found() const { return found_; }
  std::function<void(TReader&)> read;
  std::function<void(TStream&)> readBinary;

private:
  std::string name_;
  bool found_ = false;
};

signed char g_hex[256];
bool InitHex() {
  std::memset(g_hex, -1, sizeof g_hex);
  for (int i = 0; i < 10; ++i) g_hex['0' + i] = static_cast<signed char>(i);
  for (int i = 0; i < 6; ++i) {
    g_hex['A' + i] = static_cast<signed char>(10 + i);
    g_hex['a' + i] = static_cast<signed char>(10 + i);
  }
  return true;
}
const bool g_hexReady = InitHex();

inline bool IdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
inline bool IdentChar(char c) { return IdentStart(c) || (c >= '0' && c <= '9'); }
}  // namespace

class TFormParser {
public:
  TFormParser(const char* text, size_t size, TComponent* root) : p_(text), end_(text + size), root_(root) {
    (void)g_hexReady;
  }
  void Run();

private:
  struct Fixup {
    TObject* instance;
    const TPropInfo* prop;
    std::string value;
    std::string where;
    int line;
  };

  // lexer
  void SkipBlanks();
  bool AtEnd() {
    SkipBlanks();
    return p_ >= end_;
  }
  char Peek() {
    SkipBlanks();
    return p_ < end_ ? *p_ : '\0';
  }
  void Expect(char c);
  std::string ReadName(bool dotted);
  TFormValue ParseValue();
  void ParseString(std::string& out);
  void ParseNumber(TFormValue& v);
  void ParseBinary(std::string& out);

  // reading
  void ReadObjectHeader(std::string& name, std::string& className);
  void ReadBody(TPersistent* instance, TComponent* component);
  void ReadBodyItems(TPersistent* instance, TComponent* component, bool& reading);
  // `inherited` names a component the parent already has (a frame's own, read from its description).
  void ReadChild(TComponent* parent, bool inheritedChild);
  void ReadPropertyLine(TPersistent* instance, const std::string& path, int line);
  void ReadCollection(TCollection* collection, bool skip);
  void SkipCollection() { ReadCollection(nullptr, true); }
  void AssignValue(TObject* instance, const TPropInfo& prop, const TFormValue& v, int line);
  void ResolveFixups();
  std::string Where() const;
  std::string Where(const std::string& prop, int line) const;
  [[noreturn]] void Fail(const std::string& message) const;
  [[noreturn]] void FailAt(const std::string& message, int line) const;

  const char* p_;
  const char* end_;
  int line_ = 1;
  static constexpr int kMaxListDepth = 32;
  int listDepth_ = 0;
  TComponent* root_;
  std::string formName_;
  std::string objectName_;
  std::string propName_;
  int propLine_ = 0;
  std::vector<Fixup> fixups_;
  std::vector<TComponent*> loaded_;
};

void TFormParser::SkipBlanks() {
  while (p_ < end_) {
    const char c = *p_;
    if (c == '\n') {
      ++line_;
    } else if (c == '\r') {
      if (p_ + 1 >= end_ || p_[1] != '\n') ++line_;
    } else if (c != ' ' && c != '\t' && c != '\f' && c != '\v') {
      // A UTF-8 byte-order mark at the very start is tolerated.
      break;
    }
    ++p_;
  }
}

std::string TFormParser::Where() const {
  std::string w = formName_.empty() ? root_->ClassName() : formName_;
  if (!objectName_.empty()) w += "." + objectName_;
  if (!propName_.empty()) w += "." + propName_;
  return w;
}

std::string TFormParser::Where(const std::string& prop, int line) const {
  std::string w = formName_.empty() ? root_->ClassName() : formName_;
  if (!objectName_.empty()) w += "." + objectName_;
  if (!prop.empty()) w += "." + prop;
  return w + ", line " + std::to_string(line);
}

void TFormParser::Fail(const std::string& message) const { FailAt(message, line_); }

void TFormParser::FailAt(const std::string& message, int line) const {
  throw EReadError("Error reading " + Where(propName_, line) + ": " + message);
}

void TFormParser::Expect(char c) {
  if (Peek() != c) {
    if (p_ >= end_) Fail(std::string("'") + c + "' expected but end of text found");
    Fail(std::string("'") + c + "' expected but '" + *p_ + "' found");
  }
  ++p_;
}

std::string TFormParser::ReadName(bool dotted) {
  SkipBlanks();
  if (p_ >= end_ || !IdentStart(*p_)) {
    if (p_ >= end_) Fail("Identifier expected but end of text found");
    Fail(std::string("Identifier expected but '") + *p_ + "' found");
  }
  const char* start = p_;
  for (;;) {
    while (p_ < end_ && IdentChar(*p_)) ++p_;
    if (dotted && p_ + 1 < end_ && *p_ == '.' && IdentStart(p_[1])) {
      ++p_;
      continue;
    }
    break;
  }
  return std::string(start, p_);
}

void TFormParser::ParseString(std::string& out) {
  // Segments 'text' (with '' for a quote) and #nnn / #$hh codes, adjacent or joined by '+'.
  for (;;) {
    bool any = false;
    while (p_ < end_ && (*p_ == '\'' || *p_ == '#')) {
      any = true;
      if (*p_ == '\'') {
        ++p_;
        for (;;) {
          const char* q = static_cast<const char*>(std::memchr(p_, '\'', static_cast<size_t>(end_ - p_)));
          const char* nl = p_;
          while (nl < (q ? q : end_) && *nl != '\n' && *nl != '\r') ++nl;
          if (!q || nl < q) Fail("Unterminated string");
          out.append(p_, q);
          p_ = q + 1;
          if (p_ < end_ && *p_ == '\'') {
            out += '\'';
            ++p_;
            continue;
          }
          break;
        }
      } else {
        ++p_;
        int64_t code = 0;
        bool digits = false;
        if (p_ < end_ && *p_ == '$') {
          ++p_;
          while (p_ < end_ && g_hex[static_cast<unsigned char>(*p_)] >= 0) {
            code = code * 16 + g_hex[static_cast<unsigned char>(*p_++)];
            digits = true;
            if (code > 0xFFFF) Fail("Character code out of range");
          }
        } else {
          while (p_ < end_ && *p_ >= '0' && *p_ <= '9') {
            code = code * 10 + (*p_++ - '0');
            digits = true;
            if (code > 0xFFFF) Fail("Character code out of range");
          }
        }
        if (!digits) Fail("Character code expected after '#'");
        if (code <= 255) {
          out += static_cast<char>(code);
        } else {
          // A code above 255 is a UTF-16 unit: stored as the ANSI character it maps to.
          wchar_t w = static_cast<wchar_t>(code);
          char buf[4];
          BOOL lossy = FALSE;
          int n = WideCharToMultiByte(1251, 0, &w, 1, buf, sizeof buf, nullptr, &lossy);
          if (n <= 0 || lossy) Fail("Character #" + std::to_string(code) + " has no ANSI form");
          out.append(buf, static_cast<size_t>(n));
        }
      }
    }
    if (!any) Fail("String expected");
    // A '+' continues the string (possibly on the next line).
    const char* save = p_;
    const int saveLine = line_;
    if (Peek() == '+') {
      ++p_;
      SkipBlanks();
      if (p_ < end_ && (*p_ == '\'' || *p_ == '#')) continue;
      Fail("String expected after '+'");
    }
    p_ = save;
    line_ = saveLine;
    return;
  }
}

void TFormParser::ParseNumber(TFormValue& v) {
  const char* start = p_;
  bool neg = false;
  if (*p_ == '-' || *p_ == '+') neg = *p_++ == '-';
  if (p_ < end_ && *p_ == '$') {
    ++p_;
    uint64_t u = 0;
    int digits = 0;
    while (p_ < end_ && g_hex[static_cast<unsigned char>(*p_)] >= 0) {
      u = (u << 4) | static_cast<uint64_t>(g_hex[static_cast<unsigned char>(*p_++)]);
      if (++digits > 16) Fail("Hexadecimal number too long");
    }
    if (!digits) Fail("Hexadecimal digits expected");
    // Up to 8 digits is a 32-bit value (may wrap to negative), longer an int64.
    int64_t value = digits <= 8 ? static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(u)))
                                : static_cast<int64_t>(u);
    v.kind = TFormValue::Integer;
    v.integer = neg ? -value : value;
    return;
  }
  while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
  bool isFloat = false;
  if (p_ < end_ && *p_ == '.' && p_ + 1 < end_ && p_[1] >= '0' && p_[1] <= '9') {
    isFloat = true;
    ++p_;
    while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
  }
  if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
    isFloat = true;
    ++p_;
    if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
    while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
  }
  const std::string text(start, p_);
  if (p_ < end_ && IdentChar(*p_)) Fail("Invalid number '" + text + *p_ + "'");
  if (isFloat) {
    v.kind = TFormValue::Float;
    if (!TryStrToFloat(text, v.number)) Fail("Invalid number '" + text + "'");
  } else {
    v.kind = TFormValue::Integer;
    if (!TryStrToInt64(text, v.integer)) Fail("Invalid integer '" + text + "'");
  }
}

void TFormParser::ParseBinary(std::string& out) {
  // After '{': hex digit pairs, blanks and line breaks anywhere between pairs, until '}'.
  out.reserve(static_cast<size_t>(end_ - p_) / 2 < (1u << 24) ? static_cast<size_t>(end_ - p_) / 2 : 0);
  for (;;) {
    SkipBlanks();
    if (p_ >= end_) Fail("'}' expected but end of text found");
    if (*p_ == '}') {
      ++p_;
      return;
    }
    const int hi = g_hex[static_cast<unsigned char>(*p_)];
    const int lo = p_ + 1 < end_ ? g_hex[static_cast<unsigned char>(p_[1])] : -1;
    if (hi < 0 || lo < 0) Fail("Invalid binary data");
    out += static_cast<char>((hi << 4) | lo);
    p_ += 2;
  }
}

TFormValue TFormParser::ParseValue() {
  TFormValue v;
  const char c = Peek();
  v.line = line_;
  if (c == '\'' || c == '#') {
    v.kind = TFormValue::String;
    ParseString(v.text);
  } else if (c == '-' || c == '+' || c == '$' || (c >= '0' && c <= '9')) {
    ParseNumber(v);
  } else if (IdentStart(c)) {
    v.kind = TFormValue::Ident;
    v.text = ReadName(true);
  } else if (c == '[') {
    ++p_;
    v.kind = TFormValue::Set;
    if (Peek() != ']') {
      for (;;) {
        v.names.push_back(ReadName(false));
        if (Peek() == ',') {
          ++p_;
          continue;
        }
        break;
      }
    }
    Expect(']');
  } else if (c == '(') {
    ++p_;
    // Lists nest only a level or two in real descriptions; a runaway nesting must not exhaust the stack.
    if (++listDepth_ > kMaxListDepth) Fail("Lists nested too deeply");
    v.kind = TFormValue::List;
    while (Peek() != ')') {
      if (p_ >= end_) Fail("')' expected but end of text found");
      v.items.push_back(ParseValue());
    }
    ++p_;
    --listDepth_;
  } else if (c == '{') {
    ++p_;
    v.kind = TFormValue::Binary;
    ParseBinary(v.text);
  } else if (c == '\0') {
    Fail("Value expected but end of text found");
  } else {
    Fail(std::string("Invalid property value '") + c + "'");
  }
  return v;
}

void TFormParser::ReadObjectHeader(std::string& name, std::string& className) {
  // After 'object': "Name: TClass" or "TClass".
  std::string first = ReadName(false);
  if (Peek() == ':') {
    ++p_;
    name = first;
    className = ReadName(false);
  } else {
    name.clear();
    className = first;
  }
  if (Peek() == '[') {  // an index after the class is allowed and carries nothing for us
    ++p_;
    ParseValue();
    Expect(']');
  }
}

void TFormParser::Run() {
  SkipBlanks();
  if (end_ - p_ >= 3 && static_cast<unsigned char>(p_[0]) == 0xEF && static_cast<unsigned char>(p_[1]) == 0xBB &&
      static_cast<unsigned char>(p_[2]) == 0xBF)
    p_ += 3;
  formName_ = root_->ClassName();
  SkipBlanks();
  const int headerLine = line_;
  const std::string keyword = ReadName(false);
  if (!SameText(keyword, "object") && !SameText(keyword, "inherited"))
    Fail("'object' expected but '" + keyword + "' found");
  std::string name, className;
  ReadObjectHeader(name, className);
  if (className != root_->ClassName())
    FailAt("The description is of class " + className + ", not " + root_->ClassName(), headerLine);

  root_->SetComponentStateItem(csLoading, true);
  loaded_.push_back(root_);
  if (!name.empty()) {
    // The root takes the stored name, made unique among its owner's components.
    std::string unique = name;
    if (TComponent* owner = root_->Owner())
      for (int i = 1; owner->FindComponent(unique) && owner->FindComponent(unique) != root_; ++i)
        unique = name + "_" + std::to_string(i);
    try {
      root_->SetName(unique);
    } catch (const std::exception& e) {
      FailAt(e.what(), headerLine);
    }
  }
  formName_ = root_->Name().empty() ? root_->ClassName() : root_->Name();
  ReadBody(root_, root_);
  if (!AtEnd()) Fail("End of text expected after the root object's 'end'");

  ResolveFixups();
  objectName_.clear();
  propName_.clear();
  for (TComponent* c : loaded_) c->Loaded();
}

void TFormParser::ReadBody(TPersistent* instance, TComponent* component) {
  // Own properties first (csReading), then nested objects; 'end' closes.
  if (component) component->SetReading(true);
  bool reading = component != nullptr;
  try {
    ReadBodyItems(instance, component, reading);
  } catch (...) {
    if (reading) component->SetReading(false);
    throw;
  }
  if (reading) component->SetReading(false);
}

void TFormParser::ReadBodyItems(TPersistent* instance, TComponent* component, bool& reading) {
  for (;;) {
    if (AtEnd()) Fail("'end' expected but end of text found");
    const int line = line_;
    const std::string name = ReadName(true);
    if (SameText(name, "end")) break;
    if ((SameText(name, "object") || SameText(name, "inherited") || SameText(name, "inline")) && Peek() != '=') {
      if (!component) FailAt("Objects cannot be nested in a collection item", line);
      if (reading) {
        component->SetReading(false);
        reading = false;
      }
      ReadChild(component, SameText(name, "inherited"));
      continue;
    }
    if (!reading && component) FailAt("Property " + name + " after a nested object", line);
    ReadPropertyLine(instance, name, line);
  }
}

void TFormParser::ReadChild(TComponent* parent, bool inheritedChild) {
  const int line = line_;
  std::string name, className;
  ReadObjectHeader(name, className);
  const std::string savedObject = objectName_;
  objectName_ = name.empty() ? className : name;
  propName_.clear();
  if (TComponent* existing = inheritedChild && !name.empty() ? parent->FindComponent(name) : nullptr) {
    if (existing->ClassName() != className)
      FailAt("Component " + name + " is of class " + existing->ClassName() + ", not " + className, line);
    existing->SetComponentStateItem(csLoading, true);
    loaded_.push_back(existing);
    ReadBody(existing, existing);
    objectName_ = savedObject;
    return;
  }
  const TClassInfo* cls = GetClass(className);
  if (!cls) throw EClassNotFound("Error reading " + Where(std::string(), line) + ": Class " + className + " not found");
  if (!cls->InheritsFrom(TComponent::StaticClassInfo()))
    FailAt("Class " + className + " is not a component", line);
  TComponent* child;
  try {
    child = static_cast<TComponent*>(cls->CreateInstance(root_));
  } catch (const EReadError&) {
    throw;
  } catch (const std::exception& e) {
    FailAt(std::string("Cannot create ") + className + ": " + e.what(), line);
  }
  child->SetComponentStateItem(csLoading, true);
  loaded_.push_back(child);
  try {
    if (!name.empty()) {
      child->SetName(name);
      if (const TFieldInfo* f = PropertyTable(root_->ClassInfo()).FindField(name)) {
        if (!child->InheritsFrom(f->fieldClass))
          FailAt("Field " + name + " is of class " + f->fieldClass->name + ", not " + className, line);
        f->set(root_, child);
      }
    }
    child->SetParentComponent(parent);
  } catch (const EReadError&) {
    throw;
  } catch (const std::exception& e) {
    FailAt(e.what(), line);
  }
  ReadBody(child, child);
  objectName_ = savedObject;
}

void TFormParser::ReadPropertyLine(TPersistent* instance, const std::string& path, int line) {
  propName_ = path;
  propLine_ = line;
  Expect('=');
  // Walk the sub-object path ("Font.Style", "AnimEffects.FormShow.Time").
  TObject* target = instance;
  size_t start = 0;
  for (;;) {
    const size_t dot = path.find('.', start);
    if (dot == std::string::npos) break;
    const std::string part = path.substr(start, dot - start);
    const TPropInfo* p = GetPropInfo(target, part);
    if (!p) FailAt("Property " + part + " does not exist", line);
    if (p->kind != TPropKind::Object) FailAt("Property " + part + " is not an object", line);
    target = p->getObj(target);
    if (!target) FailAt("Property " + part + " is nil", line);
    start = dot + 1;
  }
  const std::string last = path.substr(start);

  if (const TPropInfo* prop = GetPropInfo(target, last)) {
    if (Peek() == '<') {
      ++p_;
      TCollection* collection = prop->kind == TPropKind::Object ? As<TCollection>(prop->getObj(target)) : nullptr;
      if (!collection) FailAt("Property " + last + " is not a collection", line);
      ReadCollection(collection, false);
      propName_.clear();
      return;
    }
    TFormValue v = ParseValue();
    if (!prop->ReadOnly()) AssignValue(target, *prop, v, line);
    propName_.clear();
    return;
  }

  // Not published: a property the object defines itself.
  auto* persistent = dynamic_cast<TPersistent*>(target);
  TDefinedPropertyFinder finder(last);
  if (persistent) persistent->DefineProperties(finder);
  if (!finder.Found()) FailAt("Property " + last + " does not exist", line);
  TFormValue v = ParseValue();
  try {
    if (finder.readBinary) {
      if (v.kind != TFormValue::Binary) FailAt("Binary data expected", line);
      TMemoryStream data;
      if (!v.text.empty()) data.WriteBuffer(v.text.data(), static_cast<int32_t>(v.text.size()));
      data.SetPosition(0);
      finder.readBinary(data);
    } else if (finder.read) {
      TReader reader(root_, v, Where(path, line));
      finder.read(reader);
    }
  } catch (const EReadError&) {
    throw;
  } catch (const std::exception& e) {
    FailAt(e.what(), line);
  }
  propName_.clear();
}

void TFormParser::ReadCollection(TCollection* collection, bool skip) {
  // After '<': ("item" property lines "end")* '>'.
  if (collection) collection->BeginUpdate();
  const std::string savedObject = objectName_;
  const std::string collectionProp = propName_;
  try {
    if (collection) collection->Clear();
    int index = 0;
    while (Peek() != '>') {
      if (p_ >= end_) Fail("'>' expected but end of text found");
      const std::string word = ReadName(false);
      if (!SameText(word, "item")) Fail("'item' expected but '" + word + "' found");
      if (Peek() == '[') {
        ++p_;
        ParseValue();
        Expect(']');
      }
      TCollectionItem* item = nullptr;
      if (!skip) {
        try {
          item = collection->Add();
        } catch (const std::exception& e) {
          Fail(e.what());
        }
      }
      objectName_ = (savedObject.empty() ? std::string() : savedObject + ".") + collectionProp + "[" +
                    std::to_string(index++) + "]";
      propName_.clear();
      for (;;) {
        if (AtEnd()) Fail("'end' expected but end of text found");
        const int line = line_;
        const std::string name = ReadName(true);
        if (SameText(name, "end")) break;
        if (item) {
          ReadPropertyLine(item, name, line);
        } else {
          propName_ = name;
          Expect('=');
          if (Peek() == '<') {
            ++p_;
            SkipCollection();
          } else {
            ParseValue();
          }
        }
      }
      objectName_ = savedObject;
    }
    ++p_;
  } catch (...) {
    objectName_ = savedObject;
    if (collection) collection->EndUpdate();
    throw;
  }
  objectName_ = savedObject;
  propName_ = collectionProp;
  if (collection) collection->EndUpdate();
}

void TFormParser::AssignValue(TObject* instance, const TPropInfo& prop, const TFormValue& v, int line) {
  auto invalid = [&]() { FailAt("Invalid property value", line); };
  try {
    switch (prop.kind) {
      case TPropKind::Integer:
      case TPropKind::Int64:
      case TPropKind::Ordinal:
      case TPropKind::Colour: {
        int64_t value;
        if (v.kind == TFormValue::Integer) {
          value = v.integer;
          if (prop.kind != TPropKind::Int64 && (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX)))
            FailAt("Integer value out of range", line);
        } else if (v.kind == TFormValue::Ident && !prop.identType.empty() &&
                   IdentToInt(prop.identType, v.text, value)) {
        } else {
          invalid();
        }
        prop.setOrd(instance, value);
        break;
      }
      case TPropKind::Enum: {
        if (v.kind != TFormValue::Ident) invalid();
        const int e = prop.ElementValue(v.text);
        if (e < 0) invalid();
        prop.setOrd(instance, e);
        break;
      }
      case TPropKind::Set: {
        if (v.kind != TFormValue::Set) invalid();
        uint32_t bits = 0;
        for (const std::string& n : v.names) {
          const int e = prop.ElementValue(n);
          if (e < 0 || e >= 32) FailAt("Invalid set element " + n, line);
          bits |= uint32_t{1} << e;
        }
        prop.setOrd(instance, bits);
        break;
      }
      case TPropKind::Float:
        if (v.kind == TFormValue::Float)
          prop.setFloat(instance, v.number);
        else if (v.kind == TFormValue::Integer)
          prop.setFloat(instance, static_cast<double>(v.integer));
        else
          invalid();
        break;
      case TPropKind::String:
        if (v.kind != TFormValue::String) invalid();
        prop.setStr(instance, v.text);
        break;
      case TPropKind::Object:
        if (v.kind != TFormValue::Ident) invalid();
        if (!prop.setObj) FailAt("Property " + prop.name + " cannot be assigned a reference", line);
        if (SameText(v.text, "nil"))
          prop.setObj(instance, nullptr);
        else
          fixups_.push_back(Fixup{instance, &prop, v.text, Where(prop.name, line), line});
        break;
      case TPropKind::Method:
        if (v.kind != TFormValue::Ident) invalid();
        if (SameText(v.text, "nil")) break;
        fixups_.push_back(Fixup{instance, &prop, v.text, Where(prop.name, line), line});
        break;
    }
  } catch (const EReadError&) {
    throw;
  } catch (const std::exception& e) {
    // A setter's own complaint, with the place it came from.
    FailAt(e.what(), line);
  }
}

void TFormParser::ResolveFixups() {
  const TPropertyTable& rootTable = PropertyTable(root_->ClassInfo());
  for (const Fixup& f : fixups_) {
    auto fail = [&](const std::string& m) { throw EReadError("Error reading " + f.where + ": " + m); };
    try {
      if (f.prop->kind == TPropKind::Method) {
        const THandlerInfo* h = rootTable.FindHandler(f.value);
        if (!h) fail("Method " + f.value + " not found in " + root_->ClassName());
        if (*h->eventType != *f.prop->eventType)
          fail("Method " + f.value + " does not match the parameters of " + f.prop->name);
        h->bind(root_, f.prop->eventSlot(f.instance));
      } else {
        TComponent* target = nullptr;
        if (SameText(f.value, root_->Name()))
          target = root_;
        else
          target = root_->FindComponent(f.value);
        if (!target) fail("Component " + f.value + " not found");
        if (f.prop->objectClass && !target->InheritsFrom(f.prop->objectClass))
          fail("Component " + f.value + " is not a " + f.prop->objectClass->name);
        f.prop->setObj(f.instance, target);
      }
    } catch (const EReadError&) {
      throw;
    } catch (const std::exception& e) {
      fail(e.what());
    }
  }
}

void ReadComponentFromText(const std::string& text, TComponent* root) {
  TFormParser parser(text.data(), text.size(), root);
  parser.Run();
}

bool ReadComponentRes(const std::string& resourceName, TComponent* root) {
  if (!ComponentResExists(resourceName)) return false;
  TResourceStream res(GetModuleHandleA(nullptr), resourceName);
  TFormParser parser(static_cast<const char*>(res.Memory()), static_cast<size_t>(res.Size()), root);
  parser.Run();
  return true;
}

bool ComponentResExists(const std::string& resourceName) {
  return ResourceExists(GetModuleHandleA(nullptr), resourceName);
}
