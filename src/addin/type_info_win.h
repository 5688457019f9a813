#pragma once
#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

// Serves an automation interface's IDispatch calls from type information
// that is looked up on first use and kept. A failed lookup is retried at the
// next call and its code returned to the caller.
class DispatchTypeInfo {
 public:
  enum class Source {
    ModuleLibrary,      // the type library embedded in this module
    RegisteredLibrary,  // a registered type library, by LIBID 1.0
  };
  DispatchTypeInfo(Source source, REFGUID library, REFIID iid) : source_(source), library_(library), iid_(iid) {}

  HRESULT GetTypeInfoCount(UINT* count);
  HRESULT GetTypeInfo(UINT index, ITypeInfo** info);
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids);
  HRESULT Invoke(IDispatch* self, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* argumentError);

 private:
  HRESULT Load();

  Source source_;
  GUID library_;
  IID iid_;
  Microsoft::WRL::ComPtr<ITypeInfo> info_;
};
