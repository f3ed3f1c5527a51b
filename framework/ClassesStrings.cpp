#include <algorithm>

#include "framework/Classes.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TStrings)
IMPLEMENT_CLASS(TStringList)

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* start = p;
    while (p < end && *p != '\r' && *p != '\n') ++p;
    lines.emplace_back(start, p);
    if (p < end && *p++ == '\r' && p < end && *p == '\n') ++p;
  }
  return lines;
}

// ---- TStrings ----
void TStrings::Error(const char* format, int index) const { throw EStringListError(Format(format, {index})); }

int TStrings::Add(const std::string& s) {
  const int index = GetCount();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* obj) {
  const int index = Add(s);
  PutObj(index, obj);
  return index;
}

void TStrings::AddStrings(TStrings* strings) {
  WithinUpdate(*this, [&] {
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->GetObj(i));
  });
}

void TStrings::InsertObject(int index, const std::string& s, TObject* obj) {
  Insert(index, s);
  PutObj(index, obj);
}

void TStrings::Exchange(int index1, int index2) {
  WithinUpdate(*this, [&] {
    std::string s = Get(index1);
    TObject* o = GetObj(index1);
    Put(index1, Get(index2));
    PutObj(index1, GetObj(index2));
    Put(index2, s);
    PutObj(index2, o);
  });
}

int TStrings::IndexOf(const std::string& s) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(TObject* obj) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (GetObj(i) == obj) return i;
  return -1;
}

std::string TStrings::Names(int index) const {
  const std::string s = Get(index);
  const size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::ValueFromIndex(int index) const {
  const std::string s = Get(index);
  const size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

int TStrings::IndexOfName(const std::string& name) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    const std::string s = Get(i);
    const size_t p = s.find('=');
    if (p != std::string::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

std::string TStrings::Values(const std::string& name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (!value.empty()) {
    if (i < 0) i = Add("");
    Put(i, name + "=" + value);
  } else if (i >= 0) {
    Delete(i);
  }
}

void TStrings::Put(int index, const std::string& s) {
  TObject* obj = GetObj(index);
  Delete(index);
  InsertObject(index, s, obj);
}

TObject* TStrings::GetObj(int) const { return nullptr; }
void TStrings::PutObj(int, TObject*) {}
void TStrings::SetUpdateState(bool) {}

std::string TStrings::GetTextStr() const {
  std::string text;
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetTextStr(const std::string& text) {
  WithinUpdate(*this, [&] {
    Clear();
    for (const std::string& line : SplitLines(text)) Add(line);
  });
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const { return AnsiCompareText(a, b); }

void TStrings::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TStrings::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (!text.empty()) stream.ReadBuffer(text.data(), static_cast<int32_t>(text.size()));
  SetTextStr(text);
}

void TStrings::SaveToFile(const std::string& fileName) const {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

void TStrings::SaveToStream(TStream& stream) const {
  const std::string text = GetTextStr();
  stream.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
}

void TStrings::Assign(TPersistent* source) {
  if (auto* other = As<TStrings>(source)) {
    WithinUpdate(*this, [&] {
      Clear();
      AddStrings(other);
    });
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

// ---- TStringList ----
void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) Error("List index out of bounds (%d)", index);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].s;
}

TObject* TStringList::GetObj(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].obj;
}

void TStringList::PutObj(int index, TObject* obj) {
  CheckIndex(index);
  Changing();
  items_[static_cast<size_t>(index)].obj = obj;
  Changed();
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  items_[static_cast<size_t>(index)].s = s;
  Changed();
}

void TStringList::InsertItem(int index, const std::string& s, TObject* obj) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, obj});
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* obj) {
  int index;
  if (!sorted_) {
    index = static_cast<int>(items_.size());
  } else if (Find(s, index)) {
    return index;
  }
  InsertItem(index, s, obj);
  return index;
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > static_cast<int>(items_.size())) Error("List index out of bounds (%d)", index);
  InsertItem(index, s, nullptr);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
  Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(const std::string& s, int& index) const {
  int lo = 0, hi = static_cast<int>(items_.size()) - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = CompareStrings(items_[static_cast<size_t>(mid)].s, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;  // keep going left: the first of equal strings
    }
  }
  index = lo;
  return found;
}

int TStringList::IndexOf(const std::string& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

void TStringList::Sort() {
  Changing();
  // Stable, so equal strings keep the order they were added in.
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.s, b.s) < 0; });
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

void TStringList::SetTextStr(const std::string& text) {
  WithinUpdate(*this, [&] {
    Clear();
    std::vector<std::string> lines = SplitLines(text);
    if (!sorted_) {
      // Fast path for big texts (the firmware's HEX lines): one allocation, no per-line events.
      items_.reserve(lines.size());
      for (std::string& l : lines) items_.push_back(Item{std::move(l), nullptr});
    } else {
      for (const std::string& l : lines) Add(l);
    }
  });
}

#include "framework/FormReader.h"

void TStrings::DefineProperties(TFiler& filer) {
  // "Items.Strings = ('a' 'b')" in stored descriptions.
  filer.DefineProperty("Strings", [this](TReader& reader) {
    WithinUpdate(*this, [&] {
      Clear();
      reader.ReadListBegin();
      while (!reader.EndOfList()) Add(reader.ReadString());
      reader.ReadListEnd();
    });
  });
}
