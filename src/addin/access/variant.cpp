#include "addin/access/variant.h"

#include "addin/access/bstr.h"

namespace outlook {

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

Variant Variant::Long(long value) {
  Variant v;
  v.value_.vt = VT_I4;
  v.value_.lVal = value;
  return v;
}

Variant Variant::Short(short value) {
  Variant v;
  v.value_.vt = VT_I2;
  v.value_.iVal = value;
  return v;
}

Variant Variant::Bool(bool value) {
  Variant v;
  v.value_.vt = VT_BOOL;
  v.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant Variant::Date(double value) {
  Variant v;
  v.value_.vt = VT_DATE;
  v.value_.date = value;
  return v;
}

Variant Variant::Text(const std::u16string& value) {
  Variant v;
  v.value_.vt = VT_BSTR;
  v.value_.bstrVal = Bstr(value).Release();
  return v;
}

Variant Variant::Object(IDispatch* value) {
  Variant v;
  v.value_.vt = VT_DISPATCH;
  v.value_.pdispVal = value;
  if (value) value->AddRef();
  return v;
}

Variant Variant::Missing() {
  Variant v;
  v.value_.vt = VT_ERROR;
  v.value_.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

namespace {

// Converts into `out` unless the value is empty or null.
bool ConvertTo(const VARIANT& in, VARTYPE type, VARIANT& out) {
  if (in.vt == VT_EMPTY || in.vt == VT_NULL) return false;
  return SUCCEEDED(VariantChangeType(&out, const_cast<VARIANT*>(&in), 0, type));
}

}  // namespace

std::optional<std::u16string> Variant::AsText() const {
  if (value_.vt == VT_BSTR) {
    if (!value_.bstrVal) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(value_.bstrVal),
                          SysStringLen(value_.bstrVal));
  }
  Variant converted;
  if (!ConvertTo(value_, VT_BSTR, converted.value_)) return std::nullopt;
  return converted.AsText();
}

std::optional<long> Variant::AsLong() const {
  if (value_.vt == VT_I4) return value_.lVal;
  Variant converted;
  if (!ConvertTo(value_, VT_I4, converted.value_)) return std::nullopt;
  return converted.value_.lVal;
}

std::optional<double> Variant::AsDate() const {
  if (value_.vt == VT_DATE) return value_.date;
  Variant converted;
  if (!ConvertTo(value_, VT_DATE, converted.value_)) return std::nullopt;
  return converted.value_.date;
}

std::optional<bool> Variant::AsBool() const {
  if (value_.vt == VT_BOOL) return value_.boolVal != VARIANT_FALSE;
  Variant converted;
  if (!ConvertTo(value_, VT_BOOL, converted.value_)) return std::nullopt;
  return converted.value_.boolVal != VARIANT_FALSE;
}

Microsoft::WRL::ComPtr<IDispatch> Variant::AsObject() const {
  Microsoft::WRL::ComPtr<IDispatch> object;
  if (value_.vt == VT_DISPATCH) {
    object = value_.pdispVal;
  } else if (value_.vt == VT_UNKNOWN && value_.punkVal) {
    value_.punkVal->QueryInterface(IID_PPV_ARGS(&object));
  }
  return object;
}

}  // namespace outlook
