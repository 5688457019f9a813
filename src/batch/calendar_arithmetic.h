#pragma once
#include <optional>

#include "batch/units.h"

// Wall-clock arithmetic on OLE Automation dates. A day is exactly 24 hours:
// there is no daylight-saving adjustment. Results outside the years
// 100..9999 cannot be written as a serial date and come back as nullopt.

// A serial date as seconds on a linear wall-clock scale. Unlike the serial
// itself (whose fraction counts forward from midnight even before 1900) this
// orders correctly and adds exactly.
using WallSeconds = long long;
constexpr WallSeconds kSecondsPerDay = 86400;

std::optional<WallSeconds> ToWallSeconds(double serial);
std::optional<double> FromWallSeconds(WallSeconds seconds);

// Moves a date by `count` units (negative counts move it back). Months and
// years keep the day of the month unless the target month is shorter, when
// it becomes that month's last day; the time of day stays. Today and
// Tomorrow are not amounts and leave the date as it is.
std::optional<double> ShiftByUnits(double serial, Unit unit, long long count);

// The same date at 23:59:59.
std::optional<double> EndOfDay(double serial);
