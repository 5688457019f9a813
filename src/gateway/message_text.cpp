#include "gateway/message_text.h"

std::string EncodeMessageText(const std::u16string& text, const SendingOptions& options,
                              const CodePage& codePage) {
  if (!options.HexEncodesText()) return codePage.ToAnsi(text);
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(text.size() * 4);
  for (char16_t unit : text) {
    for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(unit >> shift) & 0xF];
  }
  return hex;
}
