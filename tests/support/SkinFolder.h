#pragma once
// The running test program's folder, and <build>/tools/skin, where the build draws, checks and packs the carried
// skins, as the test programs of <build>/tests/<part>/<folder> find it from their own folder.
#include <windows.h>

#include <string>

namespace testing_support {

inline std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  return folder.erase(folder.find_last_of("\\/:") + 1);
}

inline std::string CarriedSkinFolder() { return ProgramFolder() + "..\\..\\..\\tools\\skin\\"; }

}  // namespace testing_support
