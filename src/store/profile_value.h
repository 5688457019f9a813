#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/settings.h"

// How a value is written into the settings file. The profile format keeps one
// value per line, so a value with a line break is stored as one line: the
// marker U+FDD0 (a noncharacter, never typed by a user), the value with "\"
// written "\\", CR "\r" and LF "\n", and the marker again (the closing marker
// keeps trailing blanks, which the profile functions trim). A value that
// already begins with the marker is stored the same way so that it reads back
// unchanged; every other value is stored exactly as given.
inline constexpr char16_t kEncodedValueMarker = u'\uFDD0';

std::u16string EncodeProfileValue(const std::u16string& value);

// True when a stored text is (or, cut short, starts like) an encoded value.
bool StartsEncodedProfileValue(const std::u16string& stored);

// The value a stored text stands for; a text that is not a whole encoded
// value (no closing marker) is returned as it stands.
std::u16string DecodeProfileValue(const std::u16string& stored);

// Encoded values are read whole before being cut; one of this many UTF-16
// units or more is treated as damaged and read as it stands.
inline constexpr std::size_t kMaxEncodedUnits = std::size_t{1} << 20;
// Longest string value a read gives; longer ones come back cut.
inline constexpr std::size_t kMaxStringUnits = 2047;

// A string value from the text the profile functions read for it (whole,
// or as far as kMaxEncodedUnits for an encoded one): decoded, then cut.
std::u16string StringValueOf(const std::u16string& stored);

// The platform's reading of an integer value's text: leading control
// characters and blanks, an optional sign, "0x", "0o" or "0b" for bases 16,
// 8 and 2, then digits of that base. The value wraps modulo 2^32 and is 0
// without digits.
unsigned ProfileNumber(const std::u16string& text);

// The values of one section as the profile functions list it, "key=value"
// (or a bare "key") per entry with the blanks around key and value already
// trimmed, answering exactly as a read of one key of the file would: keys
// match without regard to case and the first entry wins, a bare key or an
// empty value gives the default, one pair of enclosing quotes is taken off.
class ProfileSection : public SettingsReader {
 public:
  explicit ProfileSection(const std::vector<std::u16string>& entries);

  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override;
  std::u16string GetString(const std::u16string& key) override;

 private:
  // The value's text as a read gives it; nullopt for a missing or bare key.
  std::optional<std::u16string> Find(const std::u16string& key) const;

  std::vector<std::pair<std::u16string, std::optional<std::u16string>>> entries_;
};
