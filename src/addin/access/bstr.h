#pragma once
#include <windows.h>

#include <ole2.h>

#include <optional>
#include <string>

namespace outlook {

// Owns one BSTR. A null BSTR (no value) and an empty one ("") stay apart,
// because the mail client uses the null one for "not set".
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::u16string& text)
      : value_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                 static_cast<UINT>(text.size()))) {}
  explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(Bstr&& other) noexcept : value_(other.Release()) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  // Takes ownership of a BSTR handed out by a callee.
  static Bstr Take(BSTR value) {
    Bstr b;
    b.value_ = value;
    return b;
  }

  BSTR Get() const { return value_; }
  bool IsNull() const { return value_ == nullptr; }
  // For out-parameters: frees the current value first.
  BSTR* Out() {
    Reset(nullptr);
    return &value_;
  }
  BSTR Release() {
    BSTR v = value_;
    value_ = nullptr;
    return v;
  }
  void Reset(BSTR value) {
    if (value_ != value) SysFreeString(value_);
    value_ = value;
  }
  std::u16string Text() const {
    return value_ ? std::u16string(reinterpret_cast<const char16_t*>(value_), SysStringLen(value_))
                  : std::u16string();
  }
  std::optional<std::u16string> OptionalText() const {
    if (!value_) return std::nullopt;
    return Text();
  }

 private:
  BSTR value_ = nullptr;
};

}  // namespace outlook
