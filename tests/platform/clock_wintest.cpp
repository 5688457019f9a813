#include <gtest/gtest.h>

#include <cmath>

#include <windows.h>

#include "platform/clock_win.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

TEST(SystemClock, UtcAndLocalNowDifferByTheZoneBias) {
  SystemClock clock;
  const double utc = clock.NowUtc();
  const double local = clock.NowLocal();
  // Milliseconds are dropped: whole seconds only.
  EXPECT_NEAR(utc * 86400, std::round(utc * 86400), 1e-3);
  const auto converted = clock.LocalToUtc(local);
  ASSERT_TRUE(converted);
  const double back = *DateTimeToOle(*converted);
  EXPECT_NEAR(back, utc, 2 * kSecond);

  TIME_ZONE_INFORMATION zone;
  const DWORD mode = GetTimeZoneInformation(&zone);
  const long bias = zone.Bias + (mode == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
  EXPECT_NEAR(local - utc, -bias / 1440.0, 2 * kSecond);
}

TEST(SystemClock, DatesOutsideTheCalendarDoNotConvert) {
  SystemClock clock;
  EXPECT_FALSE(clock.LocalToUtc(1e9));
  EXPECT_FALSE(clock.LocalToUtc(-1e9));
}

}  // namespace
