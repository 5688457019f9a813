#pragma once
#include <string>

// The counters under the message text. `alphabet` and `concatenation` are
// the settings "Alphabet" (0 GSM, 1 Unicode) and "Concatenation" (1 on).

// Characters of one single SMS: 160 in GSM, 70 in Unicode; an alphabet
// other than 0 and 1 counts as GSM.
unsigned SingleMessageCapacity(unsigned alphabet);

// Characters of one part of a concatenated SMS: 153 in GSM, 67 in Unicode;
// any other alphabet counts 160 as for a single SMS.
unsigned ConcatenatedPartCapacity(unsigned alphabet);

// How many messages a text of `length` UTF-16 units costs: 0 for none,
// 1 while it fits one SMS, else the concatenated parts (with concatenation
// on) or the separate messages it is cut into.
unsigned MessageCount(std::size_t length, unsigned alphabet, unsigned concatenation);

// True when the GSM 7-bit default alphabet and its extension table cannot
// carry every character of `text`: sent in GSM, it would not arrive as typed.
bool HasCharactersOutsideGsm(const std::u16string& text);
