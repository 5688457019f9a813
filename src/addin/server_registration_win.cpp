#include "addin/server_registration_win.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include "addin/addin_interfaces.h"
#include "ui/module_instance.h"
#include "addin/module_path_win.h"
#include "addin/registrar_win.h"
#include "addin/registry_script.h"
#include "resource_ids.h"

using Microsoft::WRL::ComPtr;

namespace {

// The registration data as written in the resource: ASCII text.
bool LoadScriptText(std::u16string& text) {
  HMODULE module = ModuleInstance();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_REGISTRATION), L"REGISTRY");
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return false;
  DWORD size = SizeofResource(module, found);
  text.assign(bytes, bytes + size);
  return true;
}

HRESULT LoadRegistrationTrees(std::vector<RegistryTree>& trees) {
  std::u16string text;
  if (!LoadScriptText(text)) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
  std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  auto expanded = ExpandRegistryScript(
      text, {{u"MODULE", std::u16string(reinterpret_cast<const char16_t*>(path.c_str()), path.size())}});
  if (!expanded) return E_UNEXPECTED;
  RegistryScriptParse parsed = ParseRegistryScript(*expanded);
  if (!parsed.error.empty()) return E_UNEXPECTED;
  trees = std::move(parsed.trees);
  return S_OK;
}

// The type library embedded in the module, or else the .tlb beside it.
HRESULT LoadModuleTypeLib(ComPtr<ITypeLib>& library, std::wstring& path) {
  path = ModulePath();
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
  if (SUCCEEDED(hr)) return hr;
  std::wstring::size_type dot = path.find_last_of(L'.');
  std::wstring::size_type slash = path.find_last_of(L"\\/");
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.resize(dot);
  path += L".tlb";
  return LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
}

HRESULT WriteRegistration(RegistrationScope scope) {
  std::vector<RegistryTree> trees;
  HRESULT hr = LoadRegistrationTrees(trees);
  return SUCCEEDED(hr) ? WriteRegistryTrees(trees, scope) : hr;
}

HRESULT RemoveRegistration(RegistrationScope scope) {
  std::vector<RegistryTree> trees;
  HRESULT hr = LoadRegistrationTrees(trees);
  return SUCCEEDED(hr) ? RemoveRegistryTrees(trees, scope) : hr;
}

}  // namespace

HRESULT RegisterServer() {
  HRESULT hr = WriteRegistration(RegistrationScope::Machine);
  if (FAILED(hr)) return hr;
  ComPtr<ITypeLib> library;
  std::wstring path;
  hr = LoadModuleTypeLib(library, path);
  if (hr != S_OK) return hr;
  return RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterServer() {
  HRESULT hr = RemoveRegistration(RegistrationScope::Machine);
  if (FAILED(hr)) return hr;
  ComPtr<ITypeLib> library;
  std::wstring path;
  hr = LoadModuleTypeLib(library, path);
  if (hr != S_OK) return hr;
  return UnRegisterTypeLib(LIBID_QuorvalSmsOutlookAddinLib, 1, 0, LOCALE_NEUTRAL,
                           sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
}

HRESULT RegisterServerForUser() { return WriteRegistration(RegistrationScope::User); }

HRESULT UnregisterServerForUser() { return RemoveRegistration(RegistrationScope::User); }
