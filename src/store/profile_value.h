#pragma once
#include <string>

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
