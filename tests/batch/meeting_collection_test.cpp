#include <gtest/gtest.h>

#include "batch/meeting_collection.h"
#include "batch/time_frame.h"
#include "fake_mail_client.h"

using fake::At;

namespace {

constexpr long kCancelled = 5;

class MeetingCollection : public ::testing::Test {
 protected:
  MeetingList Collect(std::optional<Unit> unit, int count) {
    auto end = TimeFrameEnd(clock, unit, count);
    EXPECT_TRUE(end);
    RecurringQuestion question(prompt, u"Send batch SMS");
    return CollectMeetings(client, *end, clock, question);
  }

  static std::vector<double> Starts(const MeetingList& meetings) {
    std::vector<double> starts;
    for (const auto& m : meetings) starts.push_back(m.start);
    return starts;
  }

  // A daily series at 09:00 that began a week before now.
  std::shared_ptr<fake::Appointment> DailySeries(const std::u16string& subject) {
    auto series = client.AddMeeting(subject, At(2011, 1, 27, 9));
    std::vector<double> days;
    for (int d = 27; d <= 31; ++d) days.push_back(At(2011, 1, d, 9));
    for (int d = 1; d <= 28; ++d) days.push_back(At(2011, 2, d, 9));
    series->SetOccurrences(days);
    return series;
  }

  fake::Client client;
  FixedClock clock{At(2011, 2, 3, 10)};
  fake::ScriptedPrompt prompt{true};
};

TEST_F(MeetingCollection, TodayKeepsWhatStartsFromNowUntilMidnight) {
  client.AddMeeting(u"before", At(2011, 2, 3, 9));
  client.AddMeeting(u"now", At(2011, 2, 3, 10));
  client.AddMeeting(u"last second", At(2011, 2, 3, 23, 59, 59));
  client.AddMeeting(u"tomorrow", At(2011, 2, 4, 0));
  EXPECT_EQ(Starts(Collect(Unit::Today, 1)),
            (std::vector<double>{At(2011, 2, 3, 10), At(2011, 2, 3, 23, 59, 59)}));
  EXPECT_EQ(Starts(Collect(Unit::Tomorrow, 1)),
            (std::vector<double>{At(2011, 2, 3, 10), At(2011, 2, 3, 23, 59, 59), At(2011, 2, 4, 0)}));
  // An empty frame still holds a meeting starting exactly now.
  EXPECT_EQ(Starts(Collect(Unit::Days, 0)), (std::vector<double>{At(2011, 2, 3, 10)}));
}

TEST_F(MeetingCollection, SkipsPlainAppointmentsKeepsCancelledMeetingsAndListsUnreadableItems) {
  client.AddMeeting(u"plain", At(2011, 2, 3, 12), 0);
  client.calendar->items.push_back(nullptr);
  client.AddMeeting(u"cancelled", At(2011, 2, 3, 13), kCancelled)->AddAttendee(u"00");
  client.AddMeeting(u"meeting", At(2011, 2, 3, 14));
  auto got = Collect(Unit::Days, 1);
  ASSERT_EQ(got.size(), 3u);
  // The item that could not be fetched keeps its place: it may be a meeting.
  EXPECT_TRUE(got[0].unreadable);
  EXPECT_EQ(got[0].index, 2);
  EXPECT_EQ(got[1].subject, u"cancelled");
  EXPECT_EQ(got[1].index, 3);
  EXPECT_EQ(got[1].attendees, 1);
  EXPECT_FALSE(got[1].unreadable);
  EXPECT_EQ(got[2].subject, u"meeting");
  // What collecting found is what the run opens again, and nothing is held.
  EXPECT_EQ(client.calendar->HeldElsewhere(), 0);
  EXPECT_EQ(OpenMeeting(*client.calendar, got[2]), client.calendar->items[3]);
}

TEST_F(MeetingCollection, SeriesAnsweredYesGivesEveryOccurrenceInTheFrame) {
  auto series = DailySeries(u"Standup");
  auto got = Collect(Unit::Days, 3);
  // Today's 09:00 is already past; the next three days fall in the frame.
  EXPECT_EQ(Starts(got),
            (std::vector<double>{At(2011, 2, 4, 9), At(2011, 2, 5, 9), At(2011, 2, 6, 9)}));
  for (const auto& m : got) EXPECT_TRUE(m.occurrence && m.index == 1);
  // An occurrence opens again through its series, at the start it was found at.
  series->lookedUp.clear();
  ASSERT_NE(OpenMeeting(*client.calendar, got[1]), nullptr);
  EXPECT_EQ(series->lookedUp, std::vector<double>{At(2011, 2, 5, 9)});
  ASSERT_EQ(prompt.questions.size(), 1u);
  EXPECT_EQ(prompt.questions[0],
            u"The meting Standup scheduled on 2011-01-27 at 09:00 is a recurring one. Do you want "
            u"to send SMS for all instances in specified time frame?");
  EXPECT_EQ(prompt.captions[0], u"Send batch SMS");
}

TEST_F(MeetingCollection, SeriesAnsweredNoGivesOnlyTheNextOccurrence) {
  prompt.answer = false;
  client.AddMeeting(u"first", At(2011, 2, 3, 11));
  DailySeries(u"Standup");
  client.AddMeeting(u"last", At(2011, 2, 3, 12));
  // The occurrences take the series' place in folder order.
  EXPECT_EQ(Starts(Collect(Unit::Weeks, 1)),
            (std::vector<double>{At(2011, 2, 3, 11), At(2011, 2, 4, 9), At(2011, 2, 3, 12)}));
}

TEST_F(MeetingCollection, SeriesWithoutOccurrenceInTheFrameStillAsks) {
  auto series = client.AddMeeting(u"Board", At(2010, 6, 1, 8));
  series->SetOccurrences({At(2010, 6, 1, 8), At(2011, 6, 1, 8)});
  client.AddMeeting(u"future", At(2011, 2, 20, 8))->SetOccurrences({At(2011, 2, 20, 8)});
  EXPECT_TRUE(Collect(Unit::Days, 5).empty());
  // The series starting after the end of the frame is not asked about.
  EXPECT_EQ(prompt.questions.size(), 1u);
  // Days already past are not looked up.
  ASSERT_FALSE(series->lookedUp.empty());
  EXPECT_GE(series->lookedUp.front(), At(2011, 2, 3, 10));
}

TEST_F(MeetingCollection, MovedOccurrenceIsNotFound) {
  auto series = client.AddMeeting(u"Review", At(2011, 2, 1, 9));
  series->SetOccurrences({At(2011, 2, 4, 11), At(2011, 2, 5, 9)});
  EXPECT_EQ(Starts(Collect(Unit::Days, 3)), (std::vector<double>{At(2011, 2, 5, 9)}));
  EXPECT_EQ(series->lookedUp,
            (std::vector<double>{At(2011, 2, 4, 9), At(2011, 2, 5, 9), At(2011, 2, 6, 9)}));
}

TEST_F(MeetingCollection, EachSeriesReadsTheClockAfresh) {
  // The clock moves on half a day per read: the second series' expansion
  // sees a later now than the first one and misses its 4 February occurrence.
  clock.step = 0.5;
  const double end = At(2011, 2, 10);
  auto first = client.AddMeeting(u"first", At(2011, 2, 1, 9));
  first->SetOccurrences({At(2011, 2, 4, 9)});
  auto second = client.AddMeeting(u"second", At(2011, 2, 1, 9));
  second->SetOccurrences({At(2011, 2, 4, 9), At(2011, 2, 5, 9)});
  RecurringQuestion question(prompt, u"t");
  auto got = CollectMeetings(client, end, clock, question);
  EXPECT_EQ(Starts(got), (std::vector<double>{At(2011, 2, 4, 9), At(2011, 2, 5, 9)}));
  EXPECT_EQ(clock.reads, 3);
}

}  // namespace
