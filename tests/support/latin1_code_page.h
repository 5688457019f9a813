#pragma once
#include <string>

#include "platform/code_page.h"

// ISO 8859-1 as the ANSI code page: units above 0xFF become "?", the way
// a code page's default character stands in for what it cannot hold.
class Latin1CodePage : public CodePage {
 public:
  std::string ToAnsi(const std::u16string& text) const override {
    std::string ansi;
    for (char16_t unit : text) ansi += unit <= 0xFF ? static_cast<char>(unit) : '?';
    return ansi;
  }
  std::u16string FromAnsi(const std::string& text) const override {
    std::u16string wide;
    for (unsigned char byte : text) wide += static_cast<char16_t>(byte);
    return wide;
  }
};
