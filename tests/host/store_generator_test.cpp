#include "generator/store_generator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mailstore/store_loader.h"
#include "platform/ole_date.h"

namespace standin {
namespace {

const double kNow = *DateTimeToOle({2026, 12, 9, 10, 0, 0});

TEST(StoreGenerator, GivesALoadableStoreOfTheAskedShape) {
  GeneratedStoreShape shape;
  shape.contacts = 120;
  shape.meetings = 60;
  shape.attendees = 4;
  const auto loaded = ParseStore(GenerateStore(shape), "generated", kNow);
  ASSERT_EQ(loaded.store.contacts.size(), 120u);
  ASSERT_EQ(loaded.store.calendar.size(), 60u);
  int lists = 0, withoutMobile = 0, series = 0, cancelled = 0, bare = 0, fromBook = 0;
  for (const auto& item : loaded.store.contacts) {
    if (std::holds_alternative<OtherItem>(item.content)) ++lists;
    else if (!std::get<Contact>(item.content).mobile) ++withoutMobile;
  }
  for (const auto& item : loaded.store.calendar) {
    const auto& m = std::get<Appointment>(item.content);
    EXPECT_EQ(m.recipients.size(), 4u);
    series += m.recurrence.has_value();
    cancelled += m.meetingStatus == 5;
    for (const auto& r : m.recipients) (r.address ? bare : fromBook)++;
    if (!m.recurrence) {
      EXPECT_GE(m.start, std::floor(kNow));
      EXPECT_LE(m.start, std::floor(kNow) + shape.days + 1);
    }
  }
  EXPECT_EQ(lists, 2);
  EXPECT_EQ(withoutMobile, 10);  // every tenth, two of which are lists
  EXPECT_EQ(series, 2);
  EXPECT_EQ(cancelled, 3);
  EXPECT_GT(bare, 0);
  EXPECT_GT(fromBook, bare);
}

TEST(StoreGenerator, TheSeedDecides) {
  GeneratedStoreShape shape;
  shape.contacts = 30;
  shape.meetings = 10;
  const std::string first = GenerateStore(shape);
  EXPECT_EQ(GenerateStore(shape), first);
  shape.seed = 2;
  EXPECT_NE(GenerateStore(shape), first);
}

}  // namespace
}  // namespace standin
