#include "program/addin_registry_win.h"

#include <windows.h>

#include <algorithm>

namespace host {

namespace {

constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";
constexpr DWORD kLoadAtStartup = 3;

class RegKey {
 public:
  RegKey(HKEY parent, const wchar_t* path) {
    if (RegOpenKeyExW(parent, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

DWORD LoadBehavior(HKEY addins, const std::wstring& progId) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueW(addins, progId.c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS) {
    return 0;
  }
  return value;
}

void Collect(HKEY root, std::vector<std::wstring>& progIds) {
  RegKey addins(root, kAddinsKey);
  if (!addins.Get()) return;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumKeyExW(addins.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    const std::wstring progId(name, length);
    if (LoadBehavior(addins.Get(), progId) != kLoadAtStartup) continue;
    if (std::find(progIds.begin(), progIds.end(), progId) == progIds.end()) progIds.push_back(progId);
  }
}

}  // namespace

std::vector<std::wstring> StartupAddins() {
  std::vector<std::wstring> progIds;
  Collect(HKEY_CURRENT_USER, progIds);
  Collect(HKEY_LOCAL_MACHINE, progIds);
  return progIds;
}

}  // namespace host
