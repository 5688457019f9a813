#pragma once
#include <optional>
#include <string>

// The entry identifier of the contact that an attendee was picked from, as
// the contacts folder reports it (upper-case hexadecimal), taken from the
// attendee's own identifier: hexadecimal bytes whose bytes 32..35 hold the
// contact identifier's length (little-endian) and whose byte 36 starts it.
// nullopt for an attendee not taken from the contacts: text that is not
// hexadecimal, too short to hold the length, a length of 0 or of 512 or
// more, or a length running past the end.
std::optional<std::u16string> ContactEntryIdOfAttendee(const std::u16string& attendeeEntryId);
