#pragma once
#include <optional>

// Calendar fields of an OLE Automation date: a double counting days from
// 30 December 1899 00:00, the fraction being the time of day. Wall-clock
// values, one-second resolution.
struct DateTime {
  int year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
};

// Splits a serial date into fields, rounded to the nearest second the way
// the platform's VariantTimeToSystemTime does. nullopt outside the years
// 100..9999.
std::optional<DateTime> OleToDateTime(double serial);

// Joins fields into a serial date; nullopt when a field is out of range.
std::optional<double> DateTimeToOle(const DateTime& fields);
