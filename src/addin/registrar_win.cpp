#include "addin/registrar_win.h"

#include <string>

namespace {

// Owns an open registry key.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY Get() const { return key_; }
  HKEY* Out() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

HRESULT FromWin32(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

// The key a tree's keys are written under; classes-root keys are written
// to the scope's own class registry rather than to the merged view
// HKEY_CLASSES_ROOT gives.
HRESULT OpenRoot(RegistryRoot root, RegistrationScope scope, RegKey& key) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return FromWin32(RegCreateKeyExW(scope == RegistrationScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                       L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Out(),
                                       nullptr));
    case RegistryRoot::CurrentUser:
      return FromWin32(RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, key.Out()));
    case RegistryRoot::LocalMachine:
      return FromWin32(RegOpenKeyExW(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_ALL_ACCESS, key.Out()));
  }
  return E_INVALIDARG;
}

HRESULT WriteValue(HKEY key, const RegistryValue& value) {
  const wchar_t* name = value.name.empty() ? nullptr : Wide(value.name);
  if (value.isNumber) {
    DWORD number = value.number;
    return FromWin32(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                    sizeof number));
  }
  DWORD bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(char16_t));
  return FromWin32(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                                  bytes));
}

HRESULT WriteKey(HKEY parent, const RegistryKey& key) {
  if (key.removal == KeyRemoval::Force) {
    LONG deleted = RegDeleteTreeW(parent, Wide(key.name));
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return FromWin32(deleted);
  }
  RegKey opened;
  HRESULT hr = FromWin32(RegCreateKeyExW(parent, Wide(key.name), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                         opened.Out(), nullptr));
  for (const RegistryValue& value : key.values) {
    if (FAILED(hr)) break;
    hr = WriteValue(opened.Get(), value);
  }
  for (const RegistryKey& subkey : key.subkeys) {
    if (FAILED(hr)) break;
    hr = WriteKey(opened.Get(), subkey);
  }
  return hr;
}

bool HasSubkeys(HKEY key) {
  DWORD subkeys = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return true;
  }
  return subkeys > 0;
}

HRESULT RemoveKey(HKEY parent, const RegistryKey& key) {
  if (key.removal == KeyRemoval::Force) {
    LONG deleted = RegDeleteTreeW(parent, Wide(key.name));
    return deleted == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(deleted);
  }
  bool hasSubkeys = false;
  {
    RegKey opened;
    LONG error = RegOpenKeyExW(parent, Wide(key.name), 0, KEY_ALL_ACCESS, opened.Out());
    if (error == ERROR_FILE_NOT_FOUND) return S_OK;
    if (error != ERROR_SUCCESS) return FromWin32(error);
    for (auto subkey = key.subkeys.rbegin(); subkey != key.subkeys.rend(); ++subkey) {
      HRESULT hr = RemoveKey(opened.Get(), *subkey);
      if (FAILED(hr)) return hr;
    }
    if (key.removal == KeyRemoval::Never) return S_OK;
    hasSubkeys = HasSubkeys(opened.Get());
  }
  // A key that still holds someone else's subkeys is shared and stays.
  if (hasSubkeys) return S_OK;
  return FromWin32(RegDeleteKeyW(parent, Wide(key.name)));
}

bool InScope(const RegistryTree& tree, RegistrationScope scope) {
  return scope == RegistrationScope::Machine || tree.root != RegistryRoot::LocalMachine;
}

}  // namespace

HRESULT WriteRegistryTrees(const std::vector<RegistryTree>& trees, RegistrationScope scope) {
  for (const RegistryTree& tree : trees) {
    if (!InScope(tree, scope)) continue;
    RegKey root;
    HRESULT hr = OpenRoot(tree.root, scope, root);
    for (const RegistryKey& key : tree.keys) {
      if (FAILED(hr)) break;
      hr = WriteKey(root.Get(), key);
    }
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RemoveRegistryTrees(const std::vector<RegistryTree>& trees, RegistrationScope scope) {
  for (const RegistryTree& tree : trees) {
    if (!InScope(tree, scope)) continue;
    RegKey root;
    HRESULT hr = OpenRoot(tree.root, scope, root);
    for (auto key = tree.keys.rbegin(); key != tree.keys.rend() && SUCCEEDED(hr); ++key) {
      hr = RemoveKey(root.Get(), *key);
    }
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}
