#include "gateway/phone_number.h"

#include <algorithm>

std::string NormalisePhoneNumber(const std::u16string& number, const CodePage& codePage) {
  // The round trip through ANSI makes characters the gateway cannot carry
  // look the way they will be sent before the punctuation is stripped.
  std::u16string editable = codePage.FromAnsi(codePage.ToAnsi(number));
  editable.erase(std::remove_if(editable.begin(), editable.end(),
                                [](char16_t c) { return c == u'(' || c == u')' || c == u'+' || c == u' '; }),
                 editable.end());
  editable.erase(0, editable.find_first_not_of(u'0'));
  return codePage.ToAnsi(editable);
}
