#pragma once
#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <optional>
#include <string>

namespace outlook {

// Owns one VARIANT; cleared on destruction and before reuse as an out
// parameter.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static Variant Long(long value);
  static Variant Short(short value);
  static Variant Bool(bool value);
  static Variant Date(double value);
  static Variant Text(const std::u16string& value);
  static Variant Object(IDispatch* value);
  // The automation "argument omitted" value.
  static Variant Missing();

  const VARIANT& Get() const { return value_; }
  VARIANT* Out() {
    VariantClear(&value_);
    return &value_;
  }
  VARTYPE Type() const { return value_.vt; }

  // Each conversion gives nullopt (or null) when the value is empty or
  // cannot be converted. A null BSTR is no text; an empty BSTR is "".
  std::optional<std::u16string> AsText() const;
  std::optional<long> AsLong() const;
  std::optional<double> AsDate() const;
  std::optional<bool> AsBool() const;
  Microsoft::WRL::ComPtr<IDispatch> AsObject() const;

 private:
  VARIANT value_;
};

}  // namespace outlook
