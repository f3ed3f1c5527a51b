#pragma once
// Shared helpers of the framework's tests: the lines of a string list, the message of a raised exception.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Classes.h"

// The lines of a string list, to compare as a whole.
inline std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s[i]);
  return r;
}

// A path in the temporary folder, made unique to this test program's process.
inline std::string TempFile(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "fw-" + std::to_string(GetCurrentProcessId()) + "-" + name;
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
