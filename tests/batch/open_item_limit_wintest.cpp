// A run over a frame of more meetings than the server lets a session hold
// open at once (250): every attendee who is a contact is reminded, as
// without the limit, and the run holds only a few items open at a time.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "addin/access/automation_mail_client.h"
#include "addin/access/com_apartment.h"
#include "batch/reminder_run.h"
#include "fake_mail_client.h"
#include "gateway/gateway_fakes.h"
#include "standin/stand_in.h"
#include "support/answering_prompt.h"
#include "support/memory_settings.h"

using fake::At;

namespace {

constexpr int kContacts = 400;
constexpr int kMeetings = 300;
constexpr int kPerMeeting = 3;
constexpr long kOpenItemLimit = 250;

// Meeting m (from 0) has a typed address and three contacts taken from
// across the folder, so that look-ups jump about; a daily series adds an
// occurrence per day of the frame.
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
    for (int a = 0; a < kPerMeeting; ++a) {
      recipients.push_back({{"contact", "c" + std::to_string((m * 7 + a * 131) % kContacts + 1)}});
    }
    store["calendar"].push_back({{"subject", "Meeting " + std::to_string(m)},
                                 {"start", "2026-12-11 " + std::to_string(10 + m % 8) + ":" +
                                               std::to_string(10 + m % 50)},
                                 {"recipients", recipients}});
  }
  store["calendar"].push_back({{"subject", "Standup"},
                               {"start", "2026-12-01 09:00"},
                               {"recipients", {{{"contact", "c1"}}}},
                               {"recurrence", {{"pattern", "daily"}}}});
  return store.dump();
}

struct Outcome {
  std::vector<std::string> requests;
  std::u16string report;
  long mostOpen = 0;
};

Outcome RunOnLargeStore(std::optional<long> limit) {
  ComApartment apartment;
  auto standIn = standin::StandIn::FromJson(LargeStore(), "large store");
  standIn->SetOpenItemLimit(limit);
  auto client = outlook::MakeMailClient(outlook::Dispatch(standIn->Application()));
  MemorySettings settings;
  settings.SetString(u"GatewayHost", u"gw.example.net");
  SentHistory history;
  AnsweringPrompt prompt(u"Send batch SMS");
  prompt.answers = {true};
  Latin1CodePage codePage;
  FixedClock clock(At(2026, 12, 10, 10));
  ReminderRequest request;
  request.frameUnit = Unit::Days;
  request.frameCount = 3;
  request.templateText = u"Hi [[first name]], [[appt date]] [[appt time]]";
  Outcome outcome;
  SendRun run;
  std::vector<std::unique_ptr<SMSMessage>> messages;
  standIn->ResetMostOpenItems();
  ReminderRun({*client, settings, history, prompt, codePage, clock}, u"Send batch SMS")
      .Run(request, run, [&] {
        return std::make_unique<HTTPManager>(
            settings, codePage, clock,
            std::make_unique<RuleExchange>([](const std::string&) { return Answer(200, "accepted,1,2,3,4,5,Queued"); },
                                           &outcome.requests));
      }, messages);
  outcome.mostOpen = standIn->MostOpenItems();
  EXPECT_EQ(standIn->OpenItems(), 0) << "the run lets every item go";
  if (!prompt.shown.empty()) outcome.report = prompt.shown.back();
  return outcome;
}

TEST(OpenItemLimit, AFrameLargerThanTheLimitIsRemindedInFullHoldingFewItemsOpen) {
  const Outcome limited = RunOnLargeStore(kOpenItemLimit);
  const Outcome free = RunOnLargeStore(std::nullopt);
  // The meetings' contacts, then the stand-up's three occurrences in the frame.
  ASSERT_EQ(limited.requests.size(), static_cast<size_t>(kMeetings * kPerMeeting + 3));
  EXPECT_EQ(limited.requests, free.requests) << "the same reminders in the same order";
  EXPECT_EQ(limited.report, free.report);
  EXPECT_EQ(limited.report.find(u"not sent"), std::u16string::npos);
  // The meeting being sent for (with its series, for an occurrence) and the
  // contact being prepared.
  EXPECT_LE(limited.mostOpen, 3);
}

}  // namespace
