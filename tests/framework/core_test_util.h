#pragma once
// Shared helpers of the framework's tests: the lines of a string list, the message of a raised exception.
#include <string>
#include <vector>

#include "framework/Classes.h"

// The lines of a string list, to compare as a whole.
inline std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s[i]);
  return r;
}

// The message of the E that `work` raises; "nothing raised" when it returns normally (any other exception
// goes on to the test).
template <class E, class F> std::string MessageOf(F&& work) {
  try {
    work();
  } catch (const E& e) {
    return e.Message();
  }
  return "nothing raised";
}
