#include "batch/calendar_arithmetic.h"

#include <algorithm>

#include "platform/ole_date.h"

namespace {

constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

bool IsLeapYear(long long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(long long year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

long long FloorDiv(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The calendar fields moved to another month, the day clamped to its length.
std::optional<double> WithMonth(DateTime t, long long year, int month) {
  if (year < kFirstYear || year > kLastYear) return std::nullopt;
  t.year = static_cast<int>(year);
  t.month = month;
  t.day = std::min(t.day, DaysInMonth(year, month));
  return DateTimeToOle(t);
}

std::optional<double> AddMonths(double serial, long long count) {
  auto t = OleToDateTime(serial);
  if (!t) return std::nullopt;
  // Far beyond the representable years; also keeps the sum below from overflowing.
  if (count > 200000 || count < -200000) return std::nullopt;
  const long long index = t->year * 12LL + (t->month - 1) + count;
  return WithMonth(*t, FloorDiv(index, 12), static_cast<int>(index - FloorDiv(index, 12) * 12) + 1);
}

std::optional<double> AddYears(double serial, long long count) {
  auto t = OleToDateTime(serial);
  if (!t) return std::nullopt;
  if (count > 20000 || count < -20000) return std::nullopt;
  return WithMonth(*t, t->year + count, t->month);
}

std::optional<double> AddSeconds(double serial, long long count) {
  auto seconds = ToWallSeconds(serial);
  if (!seconds) return std::nullopt;
  return FromWallSeconds(*seconds + count);
}

}  // namespace

std::optional<WallSeconds> ToWallSeconds(double serial) {
  auto t = OleToDateTime(serial);
  if (!t) return std::nullopt;
  DateTime midnight = *t;
  midnight.hour = midnight.minute = midnight.second = 0;
  auto day = DateTimeToOle(midnight);
  if (!day) return std::nullopt;
  return static_cast<WallSeconds>(*day) * kSecondsPerDay + t->hour * 3600 + t->minute * 60 +
         t->second;
}

std::optional<double> FromWallSeconds(WallSeconds seconds) {
  const long long day = FloorDiv(seconds, kSecondsPerDay);
  // Beyond any representable date; also keeps the conversion to double exact.
  if (day < -700000 || day > 3000000) return std::nullopt;
  auto t = OleToDateTime(static_cast<double>(day));
  if (!t) return std::nullopt;
  const long long rest = seconds - day * kSecondsPerDay;
  t->hour = static_cast<int>(rest / 3600);
  t->minute = static_cast<int>(rest / 60 % 60);
  t->second = static_cast<int>(rest % 60);
  return DateTimeToOle(*t);
}

std::optional<double> ShiftByUnits(double serial, Unit unit, long long count) {
  switch (unit) {
    case Unit::Minutes: return AddSeconds(serial, count * 60);
    case Unit::Hours: return AddSeconds(serial, count * 3600);
    case Unit::Days: return AddSeconds(serial, count * kSecondsPerDay);
    case Unit::Weeks: return AddSeconds(serial, count * 7 * kSecondsPerDay);
    case Unit::Months: return AddMonths(serial, count);
    case Unit::Years: return AddYears(serial, count);
    case Unit::Today:
    case Unit::Tomorrow: break;
  }
  return serial;
}

std::optional<double> EndOfDay(double serial) {
  auto t = OleToDateTime(serial);
  if (!t) return std::nullopt;
  t->hour = 23;
  t->minute = 59;
  t->second = 59;
  return DateTimeToOle(*t);
}
