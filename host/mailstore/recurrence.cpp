#include "mailstore/recurrence.h"

#include <cmath>

#include "platform/ole_date.h"

namespace standin {

namespace {

constexpr long long kSecondsPerDay = 86400;

long long Seconds(double serial) { return std::llround(serial * kSecondsPerDay); }

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

long long DayOf(long long seconds) { return FloorDiv(seconds, kSecondsPerDay); }

// 30 December 1899, day 0, was a Saturday; Sunday is 0.
int Weekday(long long day) { return static_cast<int>(((day + 6) % 7 + 7) % 7); }

int BitsBelow(unsigned mask, int weekday) {
  int n = 0;
  for (int d = 0; d < weekday; ++d) n += (mask >> d) & 1;
  return n;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Position of `day` in the pattern counted from the series' first day, or
// nullopt when the pattern has no occurrence that day.
std::optional<long long> Ordinal(const Recurrence& r, long long startDay, long long day) {
  const long long interval = r.interval > 0 ? r.interval : 1;
  switch (r.pattern) {
    case Recurrence::Pattern::kDaily: {
      const long long diff = day - startDay;
      if (diff % interval) return std::nullopt;
      return diff / interval;
    }
    case Recurrence::Pattern::kWeekly: {
      const unsigned mask = r.weekdays ? r.weekdays : 1u << Weekday(startDay);
      if (!((mask >> Weekday(day)) & 1)) return std::nullopt;
      const long long weeks =
          ((day - Weekday(day)) - (startDay - Weekday(startDay))) / 7;
      if (weeks % interval) return std::nullopt;
      int perWeek = 0;
      for (int d = 0; d < 7; ++d) perWeek += (mask >> d) & 1;
      const long long n = weeks / interval * perWeek + BitsBelow(mask, Weekday(day)) -
                          BitsBelow(mask, Weekday(startDay));
      if (n < 0) return std::nullopt;
      return n;
    }
    case Recurrence::Pattern::kMonthly: {
      const auto s = OleToDateTime(static_cast<double>(startDay));
      const auto d = OleToDateTime(static_cast<double>(day));
      if (!s || !d) return std::nullopt;
      const long long months = (d->year - s->year) * 12LL + (d->month - s->month);
      if (months % interval) return std::nullopt;
      // A day the month lacks (the 31st) falls on its last day.
      const int expected = std::min(s->day, DaysInMonth(d->year, d->month));
      if (d->day != expected) return std::nullopt;
      return months / interval;
    }
  }
  return std::nullopt;
}

bool SameSecond(double a, double b) { return Seconds(a) == Seconds(b); }

bool InPattern(const Recurrence& r, double seriesStart, double when) {
  const long long start = Seconds(seriesStart), at = Seconds(when);
  if (at < start) return false;
  if (at - DayOf(at) * kSecondsPerDay != start - DayOf(start) * kSecondsPerDay) {
    return false;  // another time of day
  }
  const auto ordinal = Ordinal(r, DayOf(start), DayOf(at));
  if (!ordinal) return false;
  if (r.count && *ordinal >= *r.count) return false;
  if (r.until && DayOf(at) > DayOf(Seconds(*r.until))) return false;
  return true;
}

}  // namespace

std::optional<Occurrence> FindOccurrence(const Recurrence& r, double seriesStart, double when) {
  for (const auto& [from, to] : r.moved) {
    if (SameSecond(to, when)) return Occurrence{from, to};
  }
  for (const auto& [from, to] : r.moved) {
    if (SameSecond(from, when)) return std::nullopt;
  }
  for (double gone : r.deleted) {
    if (SameSecond(gone, when)) return std::nullopt;
  }
  if (!InPattern(r, seriesStart, when)) return std::nullopt;
  return Occurrence{when, when};
}

}  // namespace standin
