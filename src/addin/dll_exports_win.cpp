// The library's entry points for COM and for regsvr32, and the check the
// setup program's gateway page asks of it.
#include <windows.h>

#include <olectl.h>

#include "addin/addin_interfaces.h"
#include "addin/class_factory_win.h"
#include "addin/gateway_entry.h"
#include "addin/module_lock.h"
#include "addin/server_registration_win.h"
#include "gateway/internet_session_win.h"

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (rclsid == CLSID_QuorvalOAddin && SUCCEEDED(GetAddinClassFactory(riid, out))) return S_OK;
  *out = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

// The gateway connection must be closed before the library goes: WinINet
// may not be called from DllMain. An exchange left behind by its run still
// runs code of the library, so it keeps the library too.
extern "C" HRESULT WINAPI DllCanUnloadNow() {
  if (ModuleLockCount() > 0 || internet_session::InUse()) return S_FALSE;
  internet_session::Close();
  return S_OK;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
  try {
    return RegisterServer();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  try {
    return UnregisterServer();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

// regsvr32 /n /i:user: a registration for the current user alone, which
// needs no administrator. Nothing else is offered through this entry.
extern "C" HRESULT WINAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  if (!commandLine || lstrcmpiW(commandLine, L"user") != 0) return E_INVALIDARG;
  try {
    return install ? RegisterServerForUser() : UnregisterServerForUser();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

// The setup program loads the add-in it installs to check the gateway's
// address a person typed, rather than keep a second copy of the rule.
extern "C" BOOL WINAPI IsGatewayEntryW(LPCWSTR entry) {
  if (!entry) return FALSE;
  return IsGatewayEntry(std::u16string_view(reinterpret_cast<const char16_t*>(entry))) ? TRUE : FALSE;
}
