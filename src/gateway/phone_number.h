#pragma once
#include <string>

#include "platform/code_page.h"

// A contact's telephone number as the gateway wants it: in the ANSI code
// page, without "(", ")", "+" and blanks, and without leading zeros. May be
// empty.
std::string NormalisePhoneNumber(const std::u16string& number, const CodePage& codePage);
