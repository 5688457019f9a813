#include "addin/type_info_win.h"

#include <oleauto.h>

#include "addin/module_path_win.h"

using Microsoft::WRL::ComPtr;

HRESULT DispatchTypeInfo::Load() {
  if (info_) return S_OK;
  ComPtr<ITypeLib> library;
  HRESULT hr = source_ == Source::ModuleLibrary
                   ? LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library)
                   : LoadRegTypeLib(library_, 1, 0, 0, &library);
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(iid_, &info_);
}

HRESULT DispatchTypeInfo::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT DispatchTypeInfo::GetTypeInfo(UINT index, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  return info_.CopyTo(info);
}

HRESULT DispatchTypeInfo::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  return DispGetIDsOfNames(info_.Get(), names, count, ids);
}

HRESULT DispatchTypeInfo::Invoke(IDispatch* self, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  return DispInvoke(self, info_.Get(), id, flags, params, result, exception, argumentError);
}
