#pragma once
#include <optional>
#include <string>

#include "platform/code_page.h"

// The key under which a batch reminder is remembered: the meeting
// recipient's entry identifier, the contact's mobile number exactly as
// stored (the six characters "(null)" when the contact has none) and the
// meeting's start as a serial date with six decimals, joined by "_". The
// decimal separator is a point whatever the user's locale, or keys written
// under one locale would not be found under another.
std::u16string FormatHistoryKey(const std::u16string& entryId,
                                const std::optional<std::u16string>& mobileNumber,
                                double meetingStart);

// The same key in the thread's ANSI code page, as the history stores it.
std::string BuildHistoryKey(const std::u16string& entryId,
                            const std::optional<std::u16string>& mobileNumber,
                            double meetingStart, const CodePage& codePage);
