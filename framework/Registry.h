#pragma once
// Reading the system registry through one open key at a time.

#include <string>

#include "framework/Classes.h"

class TRegistry : public TObject {
  DECLARE_CLASS(TRegistry, TObject)
public:
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
  ~TRegistry() override { CloseKey(); }

  HKEY RootKey() const { return rootKey_; }
  // Closes the open key first.
  void SetRootKey(HKEY key);
  HKEY CurrentKey() const { return currentKey_; }
  const std::string& CurrentPath() const { return currentPath_; }

  // A path starting with '\' is taken from the root, any other from the open key (or the root).
  // False when the key cannot be opened (or created, with canCreate).
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool KeyExists(const std::string& key);
  bool ValueExists(const std::string& name) const;

  // REG_DWORD only; any other type or a missing value raises ERegistryException.
  int ReadInteger(const std::string& name) const;
  // REG_SZ or REG_EXPAND_SZ; "" for a missing value; another type raises ERegistryException.
  std::string ReadString(const std::string& name) const;
  void GetValueNames(TStrings& names) const;

private:
  HKEY BaseFor(const std::string& key, std::string& relative) const;
  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_ = nullptr;
  std::string currentPath_;
  REGSAM access_;
};
