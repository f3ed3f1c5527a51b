#include "framework/IniFiles.h"

#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TMemIniFile)

void TMemIniFile::SetStrings(const TStrings& lines) {
  sections_.clear();
  Section* current = nullptr;
  const int n = lines.Count();
  for (int i = 0; i < n; ++i) {
    const std::string line = Trim(lines.Strings(i));
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections_.push_back(Section{Trim(line.substr(1, line.size() - 2)), {}});
      current = &sections_.back();
      continue;
    }
    if (!current) continue;  // text before the first section
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    current->entries.push_back(Entry{TrimRight(line.substr(0, eq)), TrimLeft(line.substr(eq + 1))});
  }
}

void TMemIniFile::SetText(const std::string& text) {
  TStringList lines;
  lines.SetText(text);
  SetStrings(lines);
}

bool TMemIniFile::Same(const std::string& a, const std::string& b) const {
  return caseSensitive_ ? a == b : AnsiSameText(a, b);
}

const TMemIniFile::Section* TMemIniFile::FindSection(const std::string& name) const {
  for (const Section& s : sections_)
    if (Same(s.name, name)) return &s;
  return nullptr;
}

const TMemIniFile::Entry* TMemIniFile::FindEntry(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  for (const Entry& e : s->entries)
    if (Same(e.key, key)) return &e;
  return nullptr;
}

void TMemIniFile::ReadSections(TStrings& out) const {
  WithinUpdate(out, [&] {
    out.Clear();
    for (size_t i = 0; i < sections_.size(); ++i)
      if (FindSection(sections_[i].name) == &sections_[i]) out.Add(sections_[i].name);
  });
}

void TMemIniFile::ReadSection(const std::string& section, TStrings& out) const {
  WithinUpdate(out, [&] {
    out.Clear();
    if (const Section* s = FindSection(section))
      for (const Entry& e : s->entries) out.Add(e.key);
  });
}

void TMemIniFile::ReadSectionValues(const std::string& section, TStrings& out) const {
  WithinUpdate(out, [&] {
    out.Clear();
    if (const Section* s = FindSection(section))
      for (const Entry& e : s->entries) out.Add(e.key + "=" + e.value);
  });
}

bool TMemIniFile::SectionExists(const std::string& section) const { return FindSection(section) != nullptr; }

bool TMemIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return FindEntry(section, key) != nullptr;
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const Entry* e = FindEntry(section, key);
  return e ? e->value : def;
}

std::string TMemIniFile::IntegerText(const std::string& section, const std::string& key) const {
  std::string s = ReadString(section, key, std::string());
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
  return s;
}

int TMemIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  return StrToIntDef(IntegerText(section, key), def);
}

int64_t TMemIniFile::ReadInt64(const std::string& section, const std::string& key, int64_t def) const {
  return StrToInt64Def(IntegerText(section, key), def);
}
