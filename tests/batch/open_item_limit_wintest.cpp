// A run on a store as large as a practice's, against a server that lets a
// session hold only 250 items open at once: every attendee who is a
// contact is still found.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

#include "addin/access/automation_mail_client.h"
#include "addin/access/com_apartment.h"
#include "batch/attendee_resolver.h"
#include "batch/meeting_collection.h"
#include "batch/time_frame.h"
#include "fake_mail_client.h"
#include "standin/stand_in.h"

using fake::At;

namespace {

constexpr int kContacts = 1000;
constexpr int kMeetings = 20;
constexpr int kPerMeeting = kContacts / kMeetings;
constexpr long kOpenItemLimit = 250;

std::u16string Name(int n) {
  const std::string text = "Contact " + std::to_string(n);
  return std::u16string(text.begin(), text.end());
}

// Contacts 1..1000 in folder order; meeting m (from 0) has the contacts
// m*50+1 .. m*50+50 in reverse order, so that look-ups jump about the
// folder, and one attendee typed as a bare address.
std::string LargeStore() {
  nlohmann::json store;
  for (int n = 1; n <= kContacts; ++n) {
    store["contacts"].push_back({{"key", "c" + std::to_string(n)},
                                 {"fullName", "Contact " + std::to_string(n)},
                                 {"firstName", "Contact " + std::to_string(n)},
                                 {"mobile", "+4477009" + std::to_string(10000 + n)}});
  }
  for (int m = 0; m < kMeetings; ++m) {
    nlohmann::json recipients = {{{"address", "guest@example.com"}}};
    for (int a = kPerMeeting; a >= 1; --a) {
      recipients.push_back({{"contact", "c" + std::to_string(m * kPerMeeting + a)}});
    }
    store["calendar"].push_back({{"subject", "Meeting " + std::to_string(m)},
                                 {"start", "2026-12-11 " + std::to_string(10 + m % 8) + ":00"},
                                 {"recipients", recipients}});
  }
  store["faults"] = {{"openItemLimit", kOpenItemLimit}};
  return store.dump();
}

TEST(OpenItemLimit, EveryAttendeeWhoIsAContactIsFoundInARunOnALargeStore) {
  ComApartment apartment;
  auto standIn = standin::StandIn::FromJson(LargeStore(), "large store");
  auto client = outlook::MakeMailClient(outlook::Dispatch(standIn->Application()));
  FixedClock clock(At(2026, 12, 10, 10));
  fake::ScriptedPrompt prompt(true);
  RecurringQuestion question(prompt, u"Send batch SMS");
  const MeetingList meetings =
      CollectMeetings(*client, TimeFrameEnd(clock, Unit::Days, 3).value(), clock, question);
  ASSERT_EQ(meetings.size(), static_cast<size_t>(kMeetings));

  AttendeeResolver resolver(*client);
  long resolved = 0, typed = 0, wrong = 0, mostOpen = 0;
  for (int m = 0; m < kMeetings; ++m) {
    const auto attendees = Attendees(*meetings[m].item);
    ASSERT_EQ(attendees.size(), static_cast<size_t>(kPerMeeting + 1));
    for (size_t a = 0; a < attendees.size(); ++a) {
      // Prepared as a dialog prepares a message, and let go after it.
      ContactRef contact = resolver.Resolve(*attendees[a]);
      mostOpen = std::max(mostOpen, standIn->OpenItems());
      if (!contact) {
        typed += a == 0;
        continue;
      }
      ++resolved;
      const int expected = m * kPerMeeting + kPerMeeting + 1 - static_cast<int>(a);
      wrong += contact->FirstName() != Name(expected) || !contact->MobileTelephoneNumber();
    }
  }
  EXPECT_EQ(resolved, kContacts);
  EXPECT_EQ(typed, kMeetings);
  EXPECT_EQ(wrong, 0);
  // The meetings of the run (their recipients hold them) and the one
  // contact being prepared: the index holds none.
  EXPECT_EQ(mostOpen, kMeetings + 1);
}

}  // namespace
