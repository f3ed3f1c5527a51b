// The skin text held in memory: sections and "key=value" lines in the order of the text, names compared
// exactly (case-sensitive), as the skin loader reads them.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TvkSkinIni {
public:
  using TKeyList = std::vector<std::pair<std::string, std::string>>;

  TvkSkinIni() = default;
  explicit TvkSkinIni(const std::string& text) { SetText(text); }

  // Lines are trimmed; empty lines and lines starting with ';' are skipped; "[NAME]" opens a section; a line
  // with '=' is a key (key and value trimmed); anything else is ignored. A repeated section adds its keys to
  // the first one of that name, and lookups find a key's first occurrence.
  void SetText(const std::string& text);
  void Clear();

  const std::vector<std::string>& SectionNames() const { return names_; }
  bool SectionExists(const std::string& section) const { return Find(section) != nullptr; }
  // Keys of a section in text order; empty for a missing section.
  const TKeyList& Keys(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal (or "$" hexadecimal) 32-bit integer; a missing or malformed value gives def.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // The same for 64-bit values.
  int64_t ReadInt64(const std::string& section, const std::string& key, int64_t def) const;

private:
  const TKeyList* Find(const std::string& section) const;

  std::vector<std::string> names_;
  std::vector<TKeyList> keys_;
};

// The run-time's integer conversion: optional sign, then decimal digits or "$" / "0x" and hex digits; false
// for anything else or a value outside the 64-bit range.
bool TryParseInt64(const std::string& text, int64_t& value);
