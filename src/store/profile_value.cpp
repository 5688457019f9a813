#include "store/profile_value.h"

namespace {

bool NeedsEncoding(const std::u16string& value) {
  return value.find_first_of(u"\r\n") != std::u16string::npos ||
         (!value.empty() && value.front() == kEncodedValueMarker);
}

}  // namespace

std::u16string EncodeProfileValue(const std::u16string& value) {
  if (!NeedsEncoding(value)) return value;
  std::u16string stored(1, kEncodedValueMarker);
  stored.reserve(value.size() + 16);
  for (char16_t c : value) {
    switch (c) {
      case u'\\': stored += u"\\\\"; break;
      case u'\r': stored += u"\\r"; break;
      case u'\n': stored += u"\\n"; break;
      default: stored += c;
    }
  }
  stored += kEncodedValueMarker;
  return stored;
}

bool StartsEncodedProfileValue(const std::u16string& stored) {
  return !stored.empty() && stored.front() == kEncodedValueMarker;
}

std::u16string DecodeProfileValue(const std::u16string& stored) {
  if (stored.size() < 2 || !StartsEncodedProfileValue(stored) ||
      stored.back() != kEncodedValueMarker) {
    return stored;
  }
  std::u16string value;
  const std::size_t end = stored.size() - 1;
  for (std::size_t i = 1; i < end; ++i) {
    char16_t c = stored[i];
    if (c == u'\\' && i + 1 < end) {
      char16_t next = stored[i + 1];
      if (next == u'\\' || next == u'r' || next == u'n') {
        value += next == u'r' ? u'\r' : next == u'n' ? u'\n' : u'\\';
        ++i;
        continue;
      }
    }
    // A hand-edited stray backslash stays as typed.
    value += c;
  }
  return value;
}
