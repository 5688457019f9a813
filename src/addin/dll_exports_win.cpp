// The library's four entry points for COM and for regsvr32.
#include <windows.h>

#include <olectl.h>

#include "addin/addin_interfaces.h"
#include "addin/class_factory_win.h"
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
