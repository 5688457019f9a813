#pragma once
#include <string>
#include <vector>

#include "platform/clock.h"
#include "store/history_view.h"

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8(const std::u16string& text);

// One CSV field (RFC 4180): quoted when it holds a comma, a quote or a line
// break, quotes doubled. A value a spreadsheet would run as a formula
// (beginning with =, +, -, @, tab or carriage return) gets a leading
// apostrophe, so that it is shown as the text it is.
std::string CsvField(const std::u16string& value);

// A local wall-clock date as ISO 8601 with the zone's offset at that
// moment ("2027-01-15T14:20:00+13:00"); without the offset when the clock
// cannot tell it, empty for no date.
std::string Iso8601Local(double local, const Clock& clock);

// The exported file: a UTF-8 byte-order mark (spreadsheets then read the
// names as written), a header row and one row per entry, lines ended by
// CR LF.
std::string HistoryCsv(const std::vector<const HistoryRow*>& rows, const Clock& clock);
