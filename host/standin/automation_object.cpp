#include "standin/automation_object.h"

#include <wchar.h>

namespace standin {

std::string Narrow(const std::wstring& text) {
  // Member names are ASCII.
  return std::string(text.begin(), text.end());
}

size_t Args::Count() const { return params_ ? params_->cArgs - params_->cNamedArgs : 0; }

const VARIANT* Args::At(size_t i) const {
  if (i >= Count()) return nullptr;
  const VARIANT* v = &params_->rgvarg[params_->cArgs - 1 - i];
  if (v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND) return nullptr;
  return v;
}

bool Args::Has(size_t i) const { return At(i) != nullptr; }

namespace {

// Converts an argument (by value or by reference) to `type`.
bool Convert(const VARIANT* in, VARTYPE type, VARIANT& out) {
  VariantInit(&out);
  if (!in) return false;
  VARIANT plain;
  VariantInit(&plain);
  if (FAILED(VariantCopyInd(&plain, const_cast<VARIANT*>(in)))) return false;
  const bool ok = plain.vt != VT_EMPTY && plain.vt != VT_NULL &&
                  SUCCEEDED(VariantChangeType(&out, &plain, 0, type));
  VariantClear(&plain);
  return ok;
}

}  // namespace

std::optional<long> Args::Long(size_t i) const {
  VARIANT v;
  if (!Convert(At(i), VT_I4, v)) return std::nullopt;
  return v.lVal;
}

std::optional<double> Args::Date(size_t i) const {
  VARIANT v;
  if (!Convert(At(i), VT_DATE, v)) return std::nullopt;
  return v.date;
}

std::optional<bool> Args::Bool(size_t i) const {
  VARIANT v;
  if (!Convert(At(i), VT_BOOL, v)) return std::nullopt;
  return v.boolVal != VARIANT_FALSE;
}

std::optional<std::u16string> Args::Text(size_t i) const {
  VARIANT v;
  if (!Convert(At(i), VT_BSTR, v)) return std::nullopt;
  std::u16string text(reinterpret_cast<const char16_t*>(v.bstrVal), SysStringLen(v.bstrVal));
  VariantClear(&v);
  return text;
}

const VARIANT* Args::PutValue() const {
  if (!params_ || params_->cNamedArgs != 1 || params_->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
    return nullptr;
  }
  return &params_->rgvarg[0];
}

HRESULT PutValueAs(const Args& args, VARTYPE type, VARIANT& value) {
  const VARIANT* in = args.PutValue();
  if (!in) return DISP_E_PARAMNOTOPTIONAL;
  return Convert(in, type, value) ? S_OK : DISP_E_TYPEMISMATCH;
}

HRESULT ReturnText(VARIANT* result, const std::optional<std::u16string>& text) {
  if (!result) return S_OK;
  result->vt = VT_BSTR;
  result->bstrVal = text ? SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text->data()),
                                             static_cast<UINT>(text->size()))
                         : nullptr;
  return text && !result->bstrVal ? E_OUTOFMEMORY : S_OK;
}

HRESULT ReturnLong(VARIANT* result, long value) {
  if (result) {
    result->vt = VT_I4;
    result->lVal = value;
  }
  return S_OK;
}

HRESULT ReturnBool(VARIANT* result, bool value) {
  if (result) {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  }
  return S_OK;
}

HRESULT ReturnDate(VARIANT* result, double value) {
  if (result) {
    result->vt = VT_DATE;
    result->date = value;
  }
  return S_OK;
}

HRESULT ReturnObject(VARIANT* result, IDispatch* object) {
  if (result) {
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    if (object) object->AddRef();
  }
  return S_OK;
}

AutomationObject::AutomationObject(std::shared_ptr<World> world, const char* className,
                                   const Member* members, size_t memberCount)
    : world_(std::move(world)), className_(className), members_(members), memberCount_(memberCount) {}

HRESULT AutomationObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || AnswersAsDispatch(iid)) {
    *out = static_cast<IDispatch*>(this);
  } else {
    *out = OtherInterface(iid);
  }
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG AutomationObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  world_->calls.Count(std::string(className_) + ".GetIDsOfNames");
  HRESULT hr = S_OK;
  for (UINT n = 0; n < count; ++n) {
    ids[n] = DISPID_UNKNOWN;
    // Member names are matched without regard to case, as automation does.
    for (size_t m = 0; n == 0 && m < memberCount_; ++m) {
      if (_wcsicmp(names[0], members_[m].name) == 0) ids[0] = members_[m].id;
    }
    if (ids[n] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

const Member* AutomationObject::FindMember(DISPID id) const {
  for (size_t m = 0; m < memberCount_; ++m) {
    if (members_[m].id == id) return &members_[m];
  }
  return nullptr;
}

std::optional<long> AutomationObject::InjectedFault(const std::string& member) {
  return world_->faults.Check(std::string(className_) + "." + member, FaultTag());
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT*) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const Member* member = FindMember(id);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  try {
    const std::string name = Narrow(member->name);
    world_->calls.Count(std::string(className_) + "." + name);
    if (auto stored = StoredFault(member->name)) return *stored;
    if (auto injected = InjectedFault(name)) return *injected;
    if (result) VariantInit(result);
    return InvokeMember(id, flags, Args(params), result, exception);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace standin
