#include "platform/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

DateTime Fields(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  DateTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
  return t;
}

void ExpectFields(double serial, const DateTime& want) {
  auto got = OleToDateTime(serial);
  ASSERT_TRUE(got) << serial;
  EXPECT_EQ(got->year, want.year) << serial;
  EXPECT_EQ(got->month, want.month) << serial;
  EXPECT_EQ(got->day, want.day) << serial;
  EXPECT_EQ(got->hour, want.hour) << serial;
  EXPECT_EQ(got->minute, want.minute) << serial;
  EXPECT_EQ(got->second, want.second) << serial;
}

TEST(OleDate, KnownSerialsSplitIntoFields) {
  ExpectFields(0.0, Fields(1899, 12, 30));
  ExpectFields(2.0, Fields(1900, 1, 1));
  ExpectFields(40252.375, Fields(2010, 3, 15, 9, 0, 0));
  ExpectFields(60.0, Fields(1900, 2, 28));  // no phantom 29 February 1900
  ExpectFields(61.0, Fields(1900, 3, 1));
  ExpectFields(45351.0, Fields(2024, 2, 29));
  // Before the epoch the fraction still counts forward from midnight.
  ExpectFields(-1.25, Fields(1899, 12, 29, 6, 0, 0));
}

TEST(OleDate, RoundsToTheNearestSecondAcrossMidnight) {
  ExpectFields(40252.0 + 59.4 / 86400, Fields(2010, 3, 15, 0, 0, 59));
  ExpectFields(40252.0 + 59.6 / 86400, Fields(2010, 3, 15, 0, 1, 0));
  ExpectFields(40252.0 + 86399.7 / 86400, Fields(2010, 3, 16, 0, 0, 0));
  // Before the epoch the fraction counts forward too, so rounding up to
  // midnight reaches the following day.
  ExpectFields(-0.9999999, Fields(1899, 12, 31, 0, 0, 0));
  ExpectFields(-1.9999999, Fields(1899, 12, 30, 0, 0, 0));
  ExpectFields(-2.0 - 86399.7 / 86400, Fields(1899, 12, 29, 0, 0, 0));
  ExpectFields(-1.0 - 59.6 / 86400, Fields(1899, 12, 29, 0, 1, 0));
}

TEST(OleDate, RoundTripsEverySecondOfADayAndManyDays) {
  for (int day = -1000; day < 80000; day += 37) {
    for (int sec = 0; sec < 86400; sec += 4999) {
      auto t = OleToDateTime(day + (day < 0 ? -1 : 1) * sec / 86400.0);
      ASSERT_TRUE(t);
      auto back = DateTimeToOle(*t);
      ASSERT_TRUE(back);
      auto again = OleToDateTime(*back);
      ASSERT_TRUE(again);
      EXPECT_EQ(again->second + again->minute * 60 + again->hour * 3600, sec);
      EXPECT_EQ(again->day, t->day);
    }
  }
}

TEST(OleDate, RejectsImpossibleFieldsAndValues) {
  EXPECT_FALSE(DateTimeToOle(Fields(2023, 2, 29)));
  EXPECT_TRUE(DateTimeToOle(Fields(2024, 2, 29)));
  EXPECT_FALSE(DateTimeToOle(Fields(2024, 13, 1)));
  EXPECT_FALSE(DateTimeToOle(Fields(2024, 4, 31)));
  EXPECT_FALSE(DateTimeToOle(Fields(2024, 4, 1, 24)));
  EXPECT_FALSE(DateTimeToOle(Fields(10000, 1, 1)));
  EXPECT_FALSE(OleToDateTime(1e12));
  EXPECT_FALSE(OleToDateTime(std::nan("")));
}

}  // namespace
