#include "skin/core/vkSkinIni.h"

#include <limits>

namespace {
std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}
const TvkSkinIni::TKeyList kNoKeys;
}  // namespace

bool TryParseInt64(const std::string& text, int64_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    if (v > (std::numeric_limits<uint64_t>::max() - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base))
      return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  if (base == 10) {
    // decimal text must fit the signed range; hexadecimal text may use all 64 bits
    if (!negative && v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return false;
    if (negative && v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1) return false;
  }
  value = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  return true;
}

void TvkSkinIni::Clear() {
  names_.clear();
  keys_.clear();
}

void TvkSkinIni::SetText(const std::string& text) {
  Clear();
  TKeyList* current = nullptr;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      std::string name = line.substr(1, line.size() - 2);
      current = const_cast<TKeyList*>(Find(name));
      if (!current) {
        names_.push_back(name);
        keys_.emplace_back();
        current = &keys_.back();
      }
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos || !current) continue;
    current->emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
  }
}

const TvkSkinIni::TKeyList* TvkSkinIni::Find(const std::string& section) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == section) return &keys_[i];
  return nullptr;
}

const TvkSkinIni::TKeyList& TvkSkinIni::Keys(const std::string& section) const {
  const TKeyList* k = Find(section);
  return k ? *k : kNoKeys;
}

bool TvkSkinIni::ValueExists(const std::string& section, const std::string& key) const {
  const TKeyList* k = Find(section);
  if (!k) return false;
  for (const auto& kv : *k)
    if (kv.first == key) return true;
  return false;
}

std::string TvkSkinIni::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const TKeyList* k = Find(section);
  if (k)
    for (const auto& kv : *k)
      if (kv.first == key) return kv.second;
  return def;
}

int TvkSkinIni::ReadInteger(const std::string& section, const std::string& key, int def) const {
  int64_t v;
  const TKeyList* k = Find(section);
  if (!k) return def;
  for (const auto& kv : *k)
    if (kv.first == key) {
      if (!TryParseInt64(kv.second, v)) return def;
      // hexadecimal colours may use all 32 bits; decimal values must fit the signed range
      bool hex = kv.second.find_first_of("$xX") != std::string::npos;
      int64_t hi = hex ? static_cast<int64_t>(std::numeric_limits<uint32_t>::max()) : std::numeric_limits<int32_t>::max();
      if (v < std::numeric_limits<int32_t>::min() || v > hi) return def;
      return static_cast<int>(static_cast<uint32_t>(v));
    }
  return def;
}

int64_t TvkSkinIni::ReadInt64(const std::string& section, const std::string& key, int64_t def) const {
  int64_t v;
  std::string s = ReadString(section, key, "");
  return TryParseInt64(s, v) ? v : def;
}
