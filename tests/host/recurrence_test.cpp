#include "mailstore/recurrence.h"

#include <gtest/gtest.h>

#include "platform/ole_date.h"

namespace standin {
namespace {

double At(int y, int mo, int d, int h = 9, int mi = 0) { return *DateTimeToOle({y, mo, d, h, mi, 0}); }

bool Occurs(const Recurrence& r, double seriesStart, double when) {
  return FindOccurrence(r, seriesStart, when).has_value();
}

TEST(Recurrence, DailyEveryOtherDayAtTheSeriesTimeOnly) {
  Recurrence r;
  r.interval = 2;
  const double start = At(2026, 12, 1);  // Tuesday
  EXPECT_TRUE(Occurs(r, start, start));
  EXPECT_TRUE(Occurs(r, start, At(2026, 12, 3)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 2)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 11, 29)));  // before the series
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 3, 9, 1)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 3, 10)));
  // Crosses a year end without drift.
  EXPECT_TRUE(Occurs(r, start, At(2027, 1, 2)));
}

TEST(Recurrence, WeeklyOnChosenWeekdaysCountsOccurrencesForItsEnd) {
  Recurrence r;
  r.pattern = Recurrence::Pattern::kWeekly;
  r.weekdays = (1u << 1) | (1u << 4);  // Monday, Thursday
  r.count = 3;
  const double start = At(2026, 12, 3);  // Thursday: 3 Dec, Mon 7, Thu 10
  EXPECT_TRUE(Occurs(r, start, At(2026, 12, 3)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 11, 30)));  // Monday of the first week, before the start
  EXPECT_TRUE(Occurs(r, start, At(2026, 12, 7)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 8)));
  EXPECT_TRUE(Occurs(r, start, At(2026, 12, 10)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 14)));  // the fourth one is past the count
}

TEST(Recurrence, WeeklyDefaultsToTheStartWeekdayAndHonoursTheInterval) {
  Recurrence r;
  r.pattern = Recurrence::Pattern::kWeekly;
  r.interval = 2;
  const double start = At(2026, 12, 2);  // Wednesday
  EXPECT_TRUE(Occurs(r, start, At(2026, 12, 16)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 9)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 17)));
}

TEST(Recurrence, MonthlyFallsOnTheLastDayOfShortMonthsAndEndsOnItsDate) {
  Recurrence r;
  r.pattern = Recurrence::Pattern::kMonthly;
  r.until = At(2027, 4, 30, 0);
  const double start = At(2027, 1, 31);
  EXPECT_TRUE(Occurs(r, start, At(2027, 2, 28)));
  EXPECT_FALSE(Occurs(r, start, At(2027, 2, 27)));
  EXPECT_TRUE(Occurs(r, start, At(2027, 3, 31)));
  EXPECT_TRUE(Occurs(r, start, At(2027, 4, 30)));  // the end date counts, whatever its time
  EXPECT_FALSE(Occurs(r, start, At(2027, 5, 31)));
}

TEST(Recurrence, DeletedAndMovedOccurrences) {
  Recurrence r;
  r.deleted = {At(2026, 12, 2)};
  r.moved = {{At(2026, 12, 3), At(2026, 12, 3, 14, 30)}};
  const double start = At(2026, 12, 1);
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 2)));
  EXPECT_FALSE(Occurs(r, start, At(2026, 12, 3)));  // moved away from its original time
  const auto moved = FindOccurrence(r, start, At(2026, 12, 3, 14, 30));
  ASSERT_TRUE(moved.has_value());
  EXPECT_DOUBLE_EQ(moved->originalStart, At(2026, 12, 3));
  EXPECT_DOUBLE_EQ(moved->start, At(2026, 12, 3, 14, 30));
  EXPECT_TRUE(Occurs(r, start, At(2026, 12, 4)));
}

TEST(Recurrence, MatchesToTheSecondDespiteRounding) {
  Recurrence r;
  const double start = At(2026, 12, 1, 9, 30);
  // A date computed by adding days carries a tiny binary error.
  double t = start;
  for (int i = 0; i < 40; ++i) t += 1.0;
  EXPECT_TRUE(Occurs(r, start, t));
  EXPECT_FALSE(Occurs(r, start, t + 1.0 / 86400));
}

}  // namespace
}  // namespace standin
