#pragma once
// Shared helper of the string-list tests.
#include <string>
#include <vector>

#include "framework/Classes.h"

// The lines of a string list, to compare as a whole.
inline std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s[i]);
  return r;
}
