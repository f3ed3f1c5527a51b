#include "skin/core/vkSkinIni.h"

TvkSkinIni::TvkSkinIni(const std::string& text) {
  ini_.SetCaseSensitive(true);
  ini_.SetText(text);
  TStringList sections;
  ini_.ReadSections(sections);
  for (int i = 0; i < sections.Count(); ++i) {
    names_.push_back(sections[i]);
    TStringList lines;
    ini_.ReadSectionValues(sections[i], lines);
    TKeyList keys;
    for (int k = 0; k < lines.Count(); ++k) {
      std::string line = lines[k];
      size_t eq = line.find('=');
      if (eq != std::string::npos) keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    keys_.push_back(std::move(keys));
  }
}

const TvkSkinIni::TKeyList& TvkSkinIni::Keys(const std::string& section) const {
  static const TKeyList kNone;
  for (size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == section) return keys_[i];
  return kNone;
}
