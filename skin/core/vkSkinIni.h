// The skin text as the loader reads it: the framework's in-memory INI object, case-sensitive, with the
// section list and each section's keys kept in text order for the loader's walks over them.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/IniFiles.h"

class TvkSkinIni {
public:
  using TKeyList = std::vector<std::pair<std::string, std::string>>;

  explicit TvkSkinIni(const std::string& text = {});

  const std::vector<std::string>& SectionNames() const { return names_; }
  bool SectionExists(const std::string& section) const { return ini_.SectionExists(section); }
  // Keys of a section in text order; empty for a missing section.
  const TKeyList& Keys(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const { return ini_.ValueExists(section, key); }
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    return ini_.ReadString(section, key, def);
  }
  int ReadInteger(const std::string& section, const std::string& key, int def) const {
    return ini_.ReadInteger(section, key, def);
  }
  int64_t ReadInt64(const std::string& section, const std::string& key, int64_t def) const {
    return ini_.ReadInt64(section, key, def);
  }

private:
  TMemIniFile ini_;
  std::vector<std::string> names_;
  std::vector<TKeyList> keys_;
};
