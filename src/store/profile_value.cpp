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

std::u16string StringValueOf(const std::u16string& stored) {
  std::u16string value = DecodeProfileValue(stored);
  if (value.size() > kMaxStringUnits) value.resize(kMaxStringUnits);
  return value;
}

namespace {

unsigned DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10u;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10u;
  return 36;
}

char16_t FoldedAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameKey(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldedAscii(a[i]) != FoldedAscii(b[i])) return false;
  }
  return true;
}

// A read of one key takes off one pair of enclosing quotes.
std::u16string Unquoted(const std::u16string& value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The platform reads an integer value through a buffer of 30 units.
constexpr std::size_t kNumberTextUnits = 29;

}  // namespace

unsigned ProfileNumber(const std::u16string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == u'0') {
    const char16_t prefix = text[i + 1];
    base = prefix == u'x' ? 16 : prefix == u'o' ? 8 : prefix == u'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  unsigned value = 0;
  for (; i < text.size(); ++i) {
    const unsigned digit = DigitValue(text[i]);
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

ProfileSection::ProfileSection(const std::vector<std::u16string>& entries) {
  entries_.reserve(entries.size());
  for (const std::u16string& entry : entries) {
    const std::size_t equals = entry.find(u'=');
    if (equals == std::u16string::npos) {
      entries_.emplace_back(entry, std::nullopt);
    } else {
      entries_.emplace_back(entry.substr(0, equals), entry.substr(equals + 1));
    }
  }
}

std::optional<std::u16string> ProfileSection::Find(const std::u16string& key) const {
  for (const auto& [name, value] : entries_) {
    if (SameKey(name, key)) return value ? std::optional<std::u16string>(Unquoted(*value)) : std::nullopt;
  }
  return std::nullopt;
}

unsigned ProfileSection::GetInt(const std::u16string& key, unsigned defaultValue) {
  const std::optional<std::u16string> text = Find(key);
  if (!text || text->empty()) return defaultValue;
  return ProfileNumber(text->substr(0, kNumberTextUnits));
}

std::u16string ProfileSection::GetString(const std::u16string& key) {
  const std::u16string text = Find(key).value_or(u"");
  // As a read of one key: an encoded value is fetched whole (up to the
  // limit), any other is cut by the read buffer.
  const std::size_t read = StartsEncodedProfileValue(text) ? kMaxEncodedUnits - 1 : kMaxStringUnits;
  return StringValueOf(text.substr(0, read));
}
