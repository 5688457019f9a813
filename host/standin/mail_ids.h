#pragma once
#include <windows.h>

namespace standin {

// Interface identifiers the client's objects answer to.
inline constexpr IID kIidApplication = {0x00063001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kIidContactItem = {0x00063021, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kIidAppointmentItem = {0x00063033, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kIidCommandBarButton = {0x000C030E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kDiidCommandBarButtonEvents = {0x000C0351, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

inline constexpr long kFolderCalendar = 9;
inline constexpr long kFolderContacts = 10;

// Office's "invalid procedure call or argument", as a command bar answers
// a name that is taken.
inline constexpr long kInvalidCall = static_cast<long>(0x800A0005);

}  // namespace standin
