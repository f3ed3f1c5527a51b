#pragma once
// The registry's HKEY_LOCAL_MACHINE, redirected for this process to an empty scratch key of the current
// user, so that a missing, empty or filled port list can be set up without touching the machine's.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace testing_support {

class RedirectedMachineKey {
public:
  RedirectedMachineKey() {
    name_ = "Software\\KrlTests\\" + std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, name_.c_str());
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_), ERROR_SUCCESS);
  }
  ~RedirectedMachineKey() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, name_.c_str());
  }
  RedirectedMachineKey(const RedirectedMachineKey&) = delete;
  RedirectedMachineKey& operator=(const RedirectedMachineKey&) = delete;

  // The (empty) port list; the caller closes the key.
  HKEY CreateSerialComm() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root_, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    return key;
  }

private:
  std::string name_;
  HKEY root_ = nullptr;
};

}  // namespace testing_support
