// Reminder planning against the stand-in mail client, through the add-in's
// late-bound access layer.
#include <gtest/gtest.h>

#include "addin/access/automation_mail_client.h"
#include "addin/access/com_apartment.h"
#include "batch/attendee_resolver.h"
#include "batch/meeting_collection.h"
#include "batch/time_frame.h"
#include "fake_mail_client.h"
#include "standin/stand_in.h"

using fake::At;

namespace {

// Now is Thursday 10 December 2026, 10:00.
constexpr char kStore[] = R"({
  "contacts": [
    {"key": "ann", "fullName": "Ann Lee", "firstName": "Ann", "mobile": "+447700900001"},
    {"key": "bob", "fullName": "Bob Roe", "firstName": "Bob", "mobile": "+447700900002"},
    {"key": "cy", "fullName": "Cy Ode", "firstName": "Cy", "mobile": "+447700900003"}],
  "calendar": [
    {"subject": "Early", "start": "2026-12-10 09:00", "recipients": [{"contact": "ann"}]},
    {"subject": "Plain", "start": "2026-12-10 12:00", "meetingStatus": "none"},
    {"subject": "Cancelled", "start": "2026-12-10 13:00", "meetingStatus": "cancelled",
     "recipients": [{"contact": "bob"}]},
    {"subject": "Typed", "start": "2026-12-10 14:00",
     "recipients": [{"address": "carl@example.com", "name": "Carl"}, {"contact": "ann"},
                    {"contact": "cy"}]},
    {"subject": "Last", "start": "2026-12-10 23:59:59", "recipients": [{"contact": "cy"}]},
    {"subject": "Midnight", "start": "2026-12-11 00:00", "recipients": [{"contact": "ann"}]},
    {"subject": "Standup", "start": "2026-12-01 09:00", "recipients": [{"contact": "bob"}],
     "recurrence": {"pattern": "daily",
                    "moved": [{"from": "2026-12-11 09:00", "to": "2026-12-11 11:00"}]}},
    {"subject": "Board", "start": "2026-06-15 08:00", "recipients": [{"contact": "ann"}],
     "recurrence": {"pattern": "monthly"}}]
})";

class PlanningAgainstStandIn : public ::testing::Test {
 protected:
  PlanningAgainstStandIn()
      : standIn_(standin::StandIn::FromJson(kStore)),
        client_(outlook::MakeMailClient(outlook::Dispatch(standIn_->Application()))) {}

  MeetingList Collect(Unit unit, int count) {
    auto end = TimeFrameEnd(clock_, unit, count);
    EXPECT_TRUE(end);
    RecurringQuestion question(prompt_, u"Send batch SMS");
    return CollectMeetings(*client_, *end, clock_, question);
  }

  static std::vector<std::u16string> Subjects(const MeetingList& meetings) {
    std::vector<std::u16string> subjects;
    for (const auto& m : meetings) subjects.push_back(m.subject);
    return subjects;
  }

  ComApartment apartment_;
  std::unique_ptr<standin::StandIn> standIn_;
  std::shared_ptr<MailClient> client_;
  FixedClock clock_{At(2026, 12, 10, 10)};
  fake::ScriptedPrompt prompt_{true};
};

using Texts = std::vector<std::u16string>;

TEST_F(PlanningAgainstStandIn, TodayAndTomorrowKeepMeetingsFromNowOnAndSkipPlainAppointments) {
  EXPECT_EQ(Subjects(Collect(Unit::Today, 1)), (Texts{u"Cancelled", u"Typed", u"Last"}));
  // Tomorrow's 09:00 stand-up was moved to 11:00 and is not found.
  EXPECT_EQ(Subjects(Collect(Unit::Tomorrow, 1)),
            (Texts{u"Cancelled", u"Typed", u"Last", u"Midnight"}));
  // Both series were asked about in both runs, the one without an
  // occurrence in the frame too.
  ASSERT_EQ(prompt_.questions.size(), 4u);
  EXPECT_EQ(prompt_.questions[0],
            u"The meting Standup scheduled on 2026-12-01 at 09:00 is a recurring one. Do you want "
            u"to send SMS for all instances in specified time frame?");
  EXPECT_EQ(prompt_.questions[1].substr(0, 46), u"The meting Board scheduled on 2026-06-15 at 08");
}

TEST_F(PlanningAgainstStandIn, SeriesAnsweredYesOrNo) {
  auto all = Collect(Unit::Days, 3);
  // Four single meetings, then the stand-up's occurrences (the 11th moved).
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[4].start, At(2026, 12, 12, 9));
  EXPECT_EQ(all[5].start, At(2026, 12, 13, 9));
  auto calendar = client_->DefaultCalendar();
  ASSERT_TRUE(calendar);
  auto occurrence = OpenMeeting(*calendar, all[5]);
  ASSERT_TRUE(occurrence);
  EXPECT_EQ(occurrence->Start(), At(2026, 12, 13, 9));
  EXPECT_EQ(standIn_->OpenItems(), 1) << "the occurrence alone: its series was let go";

  prompt_.answer = false;
  auto next = Collect(Unit::Days, 3);
  ASSERT_EQ(next.size(), 5u);
  EXPECT_EQ(next[4].start, At(2026, 12, 12, 9));
}

TEST_F(PlanningAgainstStandIn, AttendeesResolveToContactsUnlessTypedAsAddresses) {
  auto meetings = Collect(Unit::Today, 1);
  ASSERT_EQ(Subjects(meetings)[1], u"Typed");
  EXPECT_EQ(standIn_->OpenItems(), 0) << "collecting holds no item";
  auto calendar = client_->DefaultCalendar();
  ASSERT_TRUE(calendar);
  AttendeeResolver resolver(*client_);
  standIn_->Calls().Reset();
  std::vector<std::u16string> names;
  for (const auto& meeting : meetings) {
    auto item = OpenMeeting(*calendar, meeting);
    ASSERT_TRUE(item);
    const long count = item->RecipientCount();
    for (long i = 1; i <= count; ++i) {
      auto contact = resolver.Resolve(*item->RecipientAt(i));
      names.push_back(contact ? contact->FirstName().value_or(u"?") : u"-");
    }
  }
  EXPECT_EQ(names, (Texts{u"Bob", u"-", u"Ann", u"Cy", u"Cy"}));
  // The three meetings opened again, one walk of the three contacts for the
  // whole run, then each attendee's contact fetched afresh and checked; none
  // is held by the resolver.
  EXPECT_EQ(standIn_->Calls().Of("Items.Item"), 3 + 3 + 4);
  EXPECT_EQ(standIn_->Calls().Of("ContactItem.EntryID"), 3 + 4);
}

}  // namespace
