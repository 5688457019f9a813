#include "send/message_counter.h"

namespace {

// The GSM 03.38 default alphabet and the characters its extension table
// adds behind an escape, as UTF-16.
constexpr char16_t kGsmCharacters[] =
    u"@\u00A3$\u00A5\u00E8\u00E9\u00F9\u00EC\u00F2\u00C7\n\u00D8\u00F8\r\u00C5\u00E5"
    u"\u0394_\u03A6\u0393\u039B\u03A9\u03A0\u03A8\u03A3\u0398\u039E\u00C6\u00E6\u00DF\u00C9"
    u" !\"#\u00A4%&'()*+,-./0123456789:;<=>?"
    u"\u00A1ABCDEFGHIJKLMNOPQRSTUVWXYZ\u00C4\u00D6\u00D1\u00DC\u00A7"
    u"\u00BFabcdefghijklmnopqrstuvwxyz\u00E4\u00F6\u00F1\u00FC\u00E0"
    u"\f^{}\\[~]|\u20AC";

bool IsGsm(char16_t c) {
  for (char16_t g : kGsmCharacters) {
    if (g == c && g != u'\0') return true;
  }
  return false;
}

}  // namespace

unsigned SingleMessageCapacity(const SendingOptions& options) {
  return options.CountsUnicodeParts() ? 70 : 160;
}

unsigned ConcatenatedPartCapacity(const SendingOptions& options) {
  if (options.CountsUnicodeParts()) return 67;
  return options.HexEncodesText() ? 160 : 153;
}

unsigned MessageCount(std::size_t length, const SendingOptions& options) {
  if (length == 0) return 0;
  unsigned single = SingleMessageCapacity(options);
  if (length <= single) return 1;
  unsigned part = options.Concatenates() ? ConcatenatedPartCapacity(options) : single;
  return static_cast<unsigned>((length + part - 1) / part);
}

bool HasCharactersOutsideGsm(const std::u16string& text) {
  for (char16_t c : text) {
    if (!IsGsm(c)) return true;
  }
  return false;
}
