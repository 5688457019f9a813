#pragma once
#include "platform/code_page.h"

// The ANSI code page of the calling thread's locale, with the platform's
// default conversion (best fit, else the code page's default character).
class ThreadCodePage : public CodePage {
 public:
  std::string ToAnsi(const std::u16string& text) const override;
  std::u16string FromAnsi(const std::string& text) const override;
};
