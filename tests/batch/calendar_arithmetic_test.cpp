#include <gtest/gtest.h>

#include "batch/calendar_arithmetic.h"
#include "batch/delivery_time.h"
#include "batch/time_frame.h"
#include "batch/units.h"
#include "fake_mail_client.h"

using fake::At;

namespace {

struct ShiftCase {
  double from;
  Unit unit;
  long long count;
  double want;
};

TEST(CalendarArithmetic, ShiftsByEveryUnit) {
  const ShiftCase cases[] = {
      {At(2011, 3, 1, 10), Unit::Minutes, 30, At(2011, 3, 1, 10, 30)},
      {At(2011, 3, 1, 0, 30), Unit::Minutes, -90, At(2011, 2, 28, 23, 0)},
      {At(2011, 3, 1, 10), Unit::Hours, 15, At(2011, 3, 2, 1)},
      {At(2011, 3, 1, 10), Unit::Days, -2, At(2011, 2, 27, 10)},
      {At(2011, 12, 30, 8, 15, 42), Unit::Days, 3, At(2012, 1, 2, 8, 15, 42)},
      {At(2011, 3, 1, 10), Unit::Weeks, 2, At(2011, 3, 15, 10)},
      {At(2011, 3, 1, 10), Unit::Weeks, -1, At(2011, 2, 22, 10)},
      // A wall-clock day is 24 hours even across a daylight-saving change.
      {At(2011, 3, 26, 12), Unit::Days, 1, At(2011, 3, 27, 12)},
  };
  for (const auto& c : cases) {
    auto got = ShiftByUnits(c.from, c.unit, c.count);
    ASSERT_TRUE(got) << c.from;
    EXPECT_EQ(*got, c.want) << static_cast<int>(c.unit) << " from " << c.from << " by " << c.count;
  }
}

TEST(CalendarArithmetic, MonthsClampToTheRealLengthOfTheTargetMonth) {
  const ShiftCase cases[] = {
      {At(2011, 1, 31, 9, 30), Unit::Months, 1, At(2011, 2, 28, 9, 30)},
      {At(2024, 1, 31, 9, 30), Unit::Months, 1, At(2024, 2, 29, 9, 30)},
      {At(2023, 11, 30), Unit::Months, 3, At(2024, 2, 29)},
      {At(2010, 11, 30), Unit::Months, 3, At(2011, 2, 28)},
      {At(2011, 3, 31), Unit::Months, 1, At(2011, 4, 30)},
      {At(2011, 3, 31), Unit::Months, -1, At(2011, 2, 28)},
      {At(2024, 3, 29), Unit::Months, -1, At(2024, 2, 29)},
      {At(2024, 3, 31), Unit::Months, -1, At(2024, 2, 29)},
      {At(2100, 3, 31), Unit::Months, -1, At(2100, 2, 28)},  // not a leap year
      {At(2000, 3, 31), Unit::Months, -1, At(2000, 2, 29)},  // a leap year
  };
  for (const auto& c : cases) {
    auto got = ShiftByUnits(c.from, c.unit, c.count);
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, c.want) << "from " << c.from << " by " << c.count;
  }
}

TEST(CalendarArithmetic, MonthsCarryAndBorrowWholeYears) {
  const ShiftCase cases[] = {
      {At(2010, 12, 15, 7), Unit::Months, 12, At(2011, 12, 15, 7)},
      {At(2010, 12, 15), Unit::Months, 13, At(2012, 1, 15)},
      {At(2010, 12, 15), Unit::Months, 1, At(2011, 1, 15)},
      {At(2011, 1, 15), Unit::Months, -1, At(2010, 12, 15)},
      {At(2011, 1, 15), Unit::Months, -12, At(2010, 1, 15)},
      {At(2011, 1, 15), Unit::Months, -25, At(2008, 12, 15)},
      {At(2011, 6, 15), Unit::Months, 0, At(2011, 6, 15)},
  };
  for (const auto& c : cases) {
    auto got = ShiftByUnits(c.from, c.unit, c.count);
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, c.want) << "from " << c.from << " by " << c.count;
  }
}

TEST(CalendarArithmetic, YearsClampTheLeapDay) {
  EXPECT_EQ(ShiftByUnits(At(2024, 2, 29, 18), Unit::Years, 1), At(2025, 2, 28, 18));
  EXPECT_EQ(ShiftByUnits(At(2024, 2, 29), Unit::Years, 4), At(2028, 2, 29));
  EXPECT_EQ(ShiftByUnits(At(2024, 2, 29), Unit::Years, -1), At(2023, 2, 28));
  EXPECT_EQ(ShiftByUnits(At(2011, 7, 4), Unit::Years, -3), At(2008, 7, 4));
}

TEST(CalendarArithmetic, ResultsOutsideTheCalendarAreRefused) {
  EXPECT_FALSE(ShiftByUnits(At(2011, 1, 1), Unit::Years, 8000));
  EXPECT_FALSE(ShiftByUnits(At(2011, 1, 1), Unit::Years, -2147483647LL));
  EXPECT_FALSE(ShiftByUnits(At(9999, 12, 1), Unit::Months, 1));
  EXPECT_FALSE(ShiftByUnits(At(9999, 12, 31, 23), Unit::Hours, 1));
  EXPECT_FALSE(ShiftByUnits(At(2011, 1, 1), Unit::Weeks, 2147483647LL));
  EXPECT_EQ(ShiftByUnits(At(9999, 11, 30), Unit::Months, 1), At(9999, 12, 30));
}

TEST(CalendarArithmetic, DatesBeforeTheEpochOrderAndShiftCorrectly) {
  // -1.25 is 29 December 1899 06:00; its fraction counts forward.
  EXPECT_EQ(ShiftByUnits(-1.25, Unit::Hours, 1), At(1899, 12, 29, 7));
  EXPECT_EQ(ShiftByUnits(At(1900, 1, 1, 6), Unit::Days, -3), At(1899, 12, 29, 6));
  EXPECT_LT(ToWallSeconds(At(1899, 12, 29, 6)).value(), ToWallSeconds(At(1899, 12, 29, 12)).value());
  EXPECT_EQ(FromWallSeconds(ToWallSeconds(-1.25).value()), -1.25);
}

TEST(TimeFrame, EndsForEveryUnit) {
  FixedClock clock(At(2011, 2, 3, 10, 0, 15));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Days, 3), At(2011, 2, 6, 10, 0, 15));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Days, 0), clock.now);
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Days, -1), At(2011, 2, 2, 10, 0, 15));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Weeks, 4), At(2011, 3, 3, 10, 0, 15));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Months, 1), At(2011, 3, 3, 10, 0, 15));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Years, 1), At(2012, 2, 3, 10, 0, 15));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Today, 99), At(2011, 2, 3, 23, 59, 59));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Tomorrow, -5), At(2011, 2, 4, 23, 59, 59));
  EXPECT_EQ(TimeFrameEnd(clock, std::nullopt, 7), clock.now);
  EXPECT_FALSE(TimeFrameEnd(clock, Unit::Years, 9000));
}

TEST(TimeFrame, TomorrowCrossesMonthAndYearEnds) {
  FixedClock clock(At(2011, 12, 31, 22));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Today, 1), At(2011, 12, 31, 23, 59, 59));
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Tomorrow, 1), At(2012, 1, 1, 23, 59, 59));
  clock.now = At(2024, 2, 28, 0, 0, 0);
  EXPECT_EQ(TimeFrameEnd(clock, Unit::Tomorrow, 1), At(2024, 2, 29, 23, 59, 59));
}

TEST(DeliveryTime, FollowsTheSendMode) {
  const double start = At(2011, 3, 1, 10);
  EXPECT_EQ(DeliveryTime(SendMode::Now(), start), 0.0);
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Days, 2), start), At(2011, 2, 27, 10));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Minutes, 45), start), At(2011, 3, 1, 9, 15));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Hours, 11), start), At(2011, 2, 28, 23));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Weeks, 1), start), At(2011, 2, 22, 10));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Months, 1), At(2011, 3, 31)), At(2011, 2, 28));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Months, 1), At(2024, 3, 29, 8)),
            At(2024, 2, 29, 8));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Months, 1), At(2011, 1, 15)), At(2010, 12, 15));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Years, 1), At(2024, 2, 29)), At(2023, 2, 28));
  // A negative lead time schedules after the start.
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(Unit::Days, -1), start), At(2011, 3, 2, 10));
  EXPECT_EQ(DeliveryTime(SendMode::ByLeadTime(std::nullopt, 3), start), start);
  EXPECT_FALSE(DeliveryTime(SendMode::ByLeadTime(Unit::Years, 5000), start));
}

TEST(DeliveryTime, FixedDateIsTheSameForEveryMeeting) {
  auto fixed = CombineDateAndTime(At(2011, 4, 5, 9, 1, 2), At(2026, 12, 9, 14, 20, 0));
  ASSERT_EQ(fixed, At(2011, 4, 5, 14, 20, 0));
  const auto mode = SendMode::OnDate(*fixed);
  EXPECT_EQ(DeliveryTime(mode, At(2011, 3, 1, 10)), *fixed);
  EXPECT_EQ(DeliveryTime(mode, At(2012, 6, 1, 17, 45)), *fixed);
}

TEST(Units, ListsMapPositionsToStoredCodes) {
  for (int position = 0; position < 6; ++position) {
    ASSERT_TRUE(TimeFrameUnitAt(position));
    EXPECT_EQ(static_cast<int>(*TimeFrameUnitAt(position)), position + 2);
    EXPECT_EQ(TimeFramePositionOf(position + 2), position);
    EXPECT_EQ(static_cast<int>(*LeadTimeUnitAt(position)), position);
    EXPECT_EQ(LeadTimePositionOf(position), position);
  }
  EXPECT_FALSE(TimeFrameUnitAt(-1));
  EXPECT_FALSE(TimeFrameUnitAt(6));
  EXPECT_FALSE(LeadTimeUnitAt(-1));
  EXPECT_EQ(TimeFramePositionOf(1), -1);  // what a list without selection stores
  EXPECT_EQ(LeadTimePositionOf(6), -1);
  std::u16string frame, lead;
  for (Unit u : TimeFrameUnits()) frame += UnitCaption(u) + u"|";
  for (Unit u : LeadTimeUnits()) lead += UnitCaption(u) + u"|";
  EXPECT_EQ(frame, u"Days|Weeks|Months|Years|Today|Tomorrow|");
  EXPECT_EQ(lead, u"Minutes|Hours|Days|Weeks|Months|Years|");
}

// Settings.ini keeps what earlier versions stored: the time frame's list
// position + 2, the lead time's position, -1 + 2 and -1 without a selection.
TEST(Units, EveryListPositionStoresTheCodeSettingsFilesHoldAndReadsBackToIt) {
  for (int position = -1; position < 6; ++position) {
    EXPECT_EQ(TimeFrameCodeAt(position), position + 2) << position;
    EXPECT_EQ(TimeFramePositionOf(TimeFrameCodeAt(position)), position) << position;
    EXPECT_EQ(LeadTimeCodeAt(position), position) << position;
    EXPECT_EQ(LeadTimePositionOf(LeadTimeCodeAt(position)), position) << position;
  }
}

}  // namespace
