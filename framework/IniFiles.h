#pragma once
// INI text held in memory (built from a string list, never read from disk).
//
// Rules: lines are trimmed; blank lines and lines starting with ';' are skipped; a line "[name]" starts a
// section (name trimmed); lines before the first section are ignored; in a section, a line's key is the
// trimmed text before its first '=' and its value the trimmed rest (lines without '=' carry no key).
// Sections and keys keep text order; a repeated section is listed once and lookups find the first one,
// as they find the first of repeated keys. Names compare case-insensitively unless CaseSensitive.

#include <string>
#include <vector>

#include "framework/Classes.h"

class TMemIniFile : public TObject {
  DECLARE_CLASS(TMemIniFile, TObject)
public:
  // The name is only remembered (FileName); nothing is read from it.
  explicit TMemIniFile(const std::string& fileName = {}) : fileName_(fileName) {}
  const std::string& FileName() const { return fileName_; }

  // Replaces the content with the parsed lines.
  void SetStrings(const TStrings& lines);
  void SetText(const std::string& text);
  void Clear() { sections_.clear(); }

  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value) { caseSensitive_ = value; }

  // Section names in text order, each once.
  void ReadSections(TStrings& out) const;
  // The keys of a section in text order (empty when the section is missing).
  void ReadSection(const std::string& section, TStrings& out) const;
  // "key=value" lines of a section.
  void ReadSectionValues(const std::string& section, TStrings& out) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // A value "0x..." is read as "$..."; the default on any error.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  int64_t ReadInt64(const std::string& section, const std::string& key, int64_t def) const;

private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  bool Same(const std::string& a, const std::string& b) const;
  const Section* FindSection(const std::string& name) const;
  const Entry* FindEntry(const std::string& section, const std::string& key) const;
  std::string IntegerText(const std::string& section, const std::string& key) const;

  std::string fileName_;
  bool caseSensitive_ = false;
  std::vector<Section> sections_;
};
