#pragma once
#include <cstddef>
#include <string>

#include "store/sending_options.h"

// The counters under the message text.

// Characters of one single SMS: 70 in Unicode, else 160.
unsigned SingleMessageCapacity(const SendingOptions& options);

// Characters of one part of a concatenated SMS: 153 in GSM, 67 in Unicode;
// a text hex-encoded without being marked Unicode (an alphabet the options
// dialog never writes) counts 160 as for a single SMS.
unsigned ConcatenatedPartCapacity(const SendingOptions& options);

// How many messages a text of `length` UTF-16 units costs: 0 for none,
// 1 while it fits one SMS, else the concatenated parts (with concatenation
// on) or the separate messages it is cut into.
unsigned MessageCount(std::size_t length, const SendingOptions& options);

// True when the GSM 7-bit default alphabet and its extension table cannot
// carry every character of `text`: sent in GSM, it would not arrive as typed.
bool HasCharactersOutsideGsm(const std::u16string& text);
