#include "addin/access/dispatch.h"

#include <vector>

namespace outlook {

Dispatch::Dispatch(Microsoft::WRL::ComPtr<IDispatch> object)
    : object_(std::move(object)), ids_(std::make_shared<std::map<std::wstring, DISPID>>()) {}

HRESULT Dispatch::Resolve(const wchar_t* name, DISPID& id) const {
  if (!object_) return E_POINTER;
  auto found = ids_->find(name);
  if (found != ids_->end()) {
    id = found->second;
    return S_OK;
  }
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(hr)) ids_->emplace(name, id);
  return hr;
}

HRESULT Dispatch::Invoke(const wchar_t* name, WORD flags, DISPPARAMS& params,
                         Variant* result) const {
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = Resolve(name, id);
  if (FAILED(hr)) return hr;
  return object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                         result ? result->Out() : nullptr, nullptr, nullptr);
}

HRESULT Dispatch::Call(const wchar_t* name, std::initializer_list<const Variant*> args,
                       Variant& result) const {
  // DISPPARAMS lists arguments last to first; the copies are shallow and
  // stay owned by the callers' Variants.
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size());
  for (auto it = args.end(); it != args.begin();) reversed.push_back((*--it)->Get());
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, params, &result);
}

HRESULT Dispatch::GetProperty(const wchar_t* name, Variant& result) const {
  DISPPARAMS params = {nullptr, nullptr, 0, 0};
  return Invoke(name, DISPATCH_PROPERTYGET, params, &result);
}

HRESULT Dispatch::PutProperty(const wchar_t* name, const Variant& value) const {
  VARIANT arg = value.Get();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&arg, &named, 1, 1};
  return Invoke(name, DISPATCH_PROPERTYPUT, params, nullptr);
}

bool Dispatch::Supports(REFIID iid) const {
  if (!object_) return false;
  Microsoft::WRL::ComPtr<IUnknown> other;
  return SUCCEEDED(object_->QueryInterface(iid, reinterpret_cast<void**>(other.GetAddressOf())));
}

}  // namespace outlook
