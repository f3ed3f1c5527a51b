#include "framework/Registry.h"

#include <vector>

#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TRegistry)

void TRegistry::SetRootKey(HKEY key) {
  CloseKey();
  rootKey_ = key;
}

void TRegistry::CloseKey() {
  if (currentKey_) {
    RegCloseKey(currentKey_);
    currentKey_ = nullptr;
  }
  currentPath_.clear();
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& relative) const {
  if (!key.empty() && key[0] == '\\') {
    relative = key.substr(1);
    return rootKey_;
  }
  relative = key;
  return currentKey_ ? currentKey_ : rootKey_;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  HKEY opened = nullptr;
  LONG r;
  if (canCreate) {
    DWORD disposition;
    r = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &opened,
                        &disposition);
  } else {
    r = RegOpenKeyExA(base, relative.c_str(), 0, access_, &opened);
  }
  if (r != ERROR_SUCCESS) return false;
  const std::string path = (key.empty() || key[0] == '\\' || currentPath_.empty()) ? relative : currentPath_ + "\\" + relative;
  CloseKey();
  currentKey_ = opened;
  currentPath_ = path;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(base, relative.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  const std::string path = (key.empty() || key[0] == '\\' || currentPath_.empty()) ? relative : currentPath_ + "\\" + relative;
  CloseKey();
  currentKey_ = opened;
  currentPath_ = path;
  return true;
}

bool TRegistry::KeyExists(const std::string& key) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  HKEY probe = nullptr;
  if (RegOpenKeyExA(base, relative.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS) return false;
  RegCloseKey(probe);
  return true;
}

bool TRegistry::ValueExists(const std::string& name) const {
  HKEY key = currentKey_ ? currentKey_ : rootKey_;
  return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

int TRegistry::ReadInteger(const std::string& name) const {
  HKEY key = currentKey_ ? currentKey_ : rootKey_;
  DWORD type = 0, value = 0, size = sizeof value;
  const LONG r = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (r == ERROR_FILE_NOT_FOUND) throw ERegistryException(Format("Failed to get data for '%s'", {name}));
  if ((r != ERROR_SUCCESS && r != ERROR_MORE_DATA) || type != REG_DWORD || size != sizeof value)
    throw ERegistryException(Format("Invalid data type for '%s'", {name}));
  return static_cast<int>(value);
}

std::string TRegistry::ReadString(const std::string& name) const {
  HKEY key = currentKey_ ? currentKey_ : rootKey_;
  DWORD type = 0, size = 0;
  LONG r = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (r == ERROR_FILE_NOT_FOUND) return {};
  if (r != ERROR_SUCCESS) throw ERegistryException(Format("Failed to get data for '%s'", {name}));
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(Format("Invalid data type for '%s'", {name}));
  std::vector<char> data(size + 1, '\0');
  r = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  if (r != ERROR_SUCCESS) throw ERegistryException(Format("Failed to get data for '%s'", {name}));
  std::string s(data.data(), size);
  // The stored terminator (if any) is not part of the text.
  const size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

void TRegistry::GetValueNames(TStrings& names) const {
  names.Clear();
  HKEY key = currentKey_ ? currentKey_ : rootKey_;
  DWORD count = 0, maxLen = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    return;
  std::vector<char> buffer(maxLen + 2);
  for (DWORD i = 0; i < count; ++i) {
    DWORD len = static_cast<DWORD>(buffer.size());
    if (RegEnumValueA(key, i, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
      names.Add(std::string(buffer.data(), len));
  }
}
