#pragma once
#include <string>

// Conversion between the UTF-16 of the user interface and the 8-bit text of
// the gateway and the history keys. On Windows this is the ANSI code page of
// the current thread's locale (CP_THREAD_ACP) with the platform's default,
// best-fit conversion.
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual std::string ToAnsi(const std::u16string& text) const = 0;
  virtual std::u16string FromAnsi(const std::string& text) const = 0;
};
