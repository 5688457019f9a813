#include "platform/ole_date.h"

#include <cmath>

namespace {

constexpr long kSecondsPerDay = 86400;
// Serial 0 is 30 December 1899, which is day -25569 of the Unix epoch.
constexpr long kEpochOffset = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::optional<DateTime> OleToDateTime(double serial) {
  if (!std::isfinite(serial)) return std::nullopt;
  // Before the epoch the whole part counts back while the fraction still
  // counts forward from midnight: -1.25 is 29 December 1899, 06:00.
  double whole = std::trunc(serial);
  long seconds = std::lround(std::fabs(serial - whole) * kSecondsPerDay);
  if (whole < -700000 || whole > 3000000) return std::nullopt;
  long days = static_cast<long>(whole);
  // The fraction counts forward on both sides of the epoch, so a time that
  // rounds up to midnight is the next day: -0.9999999 is 31 December.
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    days += 1;
  }
  DateTime t;
  CivilFromDays(days - kEpochOffset, t.year, t.month, t.day);
  if (t.year < 100 || t.year > 9999) return std::nullopt;
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

std::optional<double> DateTimeToOle(const DateTime& t) {
  if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    return std::nullopt;
  }
  const long days = DaysFromCivil(t.year, t.month, t.day) + kEpochOffset;
  const double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / double(kSecondsPerDay);
  return days < 0 ? days - fraction : days + fraction;
}
