#include "standin/ribbon_control.h"

#include <wchar.h>

namespace standin {

namespace {

constexpr DISPID kId = 1, kContext = 2, kTag = 3;

HRESULT ReturnBstr(const std::u16string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

RibbonControl::RibbonControl(std::u16string id, std::u16string tag, Microsoft::WRL::ComPtr<IDispatch> context)
    : id_(std::move(id)), tag_(std::move(tag)), context_(std::move(context)) {}

HRESULT RibbonControl::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kIidRibbonControl) return E_NOINTERFACE;
  *out = static_cast<RibbonControlInterface*>(this);
  AddRef();
  return S_OK;
}

ULONG RibbonControl::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT RibbonControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT RibbonControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT RibbonControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count != 1) return E_INVALIDARG;
  if (_wcsicmp(names[0], L"Id") == 0) ids[0] = kId;
  else if (_wcsicmp(names[0], L"Context") == 0) ids[0] = kContext;
  else if (_wcsicmp(names[0], L"Tag") == 0) ids[0] = kTag;
  else return DISP_E_UNKNOWNNAME;
  return S_OK;
}

HRESULT RibbonControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                              UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
  VariantInit(result);
  switch (id) {
    case kId: result->vt = VT_BSTR; return get_Id(&result->bstrVal);
    case kContext: result->vt = VT_DISPATCH; return get_Context(&result->pdispVal);
    case kTag: result->vt = VT_BSTR; return get_Tag(&result->bstrVal);
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT RibbonControl::get_Id(BSTR* id) { return ReturnBstr(id_, id); }
HRESULT RibbonControl::get_Tag(BSTR* tag) { return ReturnBstr(tag_, tag); }

HRESULT RibbonControl::get_Context(IDispatch** context) {
  if (!context) return E_POINTER;
  *context = context_.Get();
  if (*context) (*context)->AddRef();
  return S_OK;
}

HRESULT RibbonUi::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kIidRibbonUi) return E_NOINTERFACE;
  *out = static_cast<RibbonUiInterface*>(this);
  AddRef();
  return S_OK;
}

ULONG RibbonUi::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT RibbonUi::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT RibbonUi::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT RibbonUi::Invalidate() {
  if (invalidated) invalidated();
  return S_OK;
}

HRESULT CallRibbonCallback(IDispatch* addin, const std::u16string& name, IDispatch* control, VARIANT* result) {
  std::wstring wide(name.begin(), name.end());
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = addin->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_DISPATCH;
  argument.pdispVal = control;
  DISPPARAMS params = {&argument, nullptr, 1, 0};
  return addin->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

}  // namespace standin
