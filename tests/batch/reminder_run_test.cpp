#include <algorithm>
// A batch run's rules against in-memory ports: which reminders go out, the
// repeat question, the history, the report and the contacts it holds.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "batch/reminder_run.h"
#include "fake_mail_client.h"
#include "gateway/gateway_fakes.h"
#include "support/answering_prompt.h"
#include "support/memory_settings.h"

namespace {

using fake::At;

std::u16string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::u16string text;
  for (unsigned char b : bytes) {
    text += static_cast<char16_t>(kDigits[b >> 4]);
    text += static_cast<char16_t>(kDigits[b & 15]);
  }
  return text;
}

// The identifier of an attendee picked from the contacts: 32 bytes, the
// contact identifier's length, the contact identifier.
std::u16string AttendeeOf(const std::string& contactId) {
  std::string bytes(32, '\x11');
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(contactId.size() >> (8 * i) & 0xFF);
  return Hex(bytes + contactId);
}

class ReminderRunTest : public testing::Test {
 protected:
  ReminderRunTest() : clock_(At(2026, 12, 10, 10, 0)) {
    settings_.SetString(u"GatewayHost", u"gw.example.net");
    client_.AddContact(u"AA01", u"Ann");
    client_.AddContact(u"BB02", u"Bob");
    auto first = client_.AddMeeting(u"Check-up", At(2026, 12, 10, 14, 30));
    first->AddAttendee(AttendeeOf("\xAA\x01"));
    first->AddAttendee(u"00FF");  // typed address: no contact
    auto second = client_.AddMeeting(u"Cleaning", At(2026, 12, 11, 9, 5));
    second->AddAttendee(AttendeeOf("\xBB\x02"));
  }

  ReminderRun::SaveHistory save_;
  bool RunNow(const std::u16string& text = u"Hi [[first name]], [[appt date]] [[appt time]]") {
    ReminderRequest request;
    request.frameUnit = Unit::Days;
    request.frameCount = 2;
    request.mode = SendMode::Now();
    request.templateText = text;
    return Run(request);
  }

  bool Run(const ReminderRequest& request) {
    ReminderRun reminders({client_, settings_, history_, prompt_, codePage_, clock_}, u"Send batch SMS");
    if (save_) reminders.SaveHistoryWith(save_);
    run_ = std::make_unique<SendRun>();
    return reminders.Run(request, *run_, [&] {
      return std::make_unique<HTTPManager>(settings_, codePage_, clock_,
                                           std::make_unique<RuleExchange>(rule_, &requests_));
    }, messages_);
  }

  ReminderRequest NowRequest() const {
    ReminderRequest request;
    request.frameUnit = Unit::Days;
    request.frameCount = 2;
    request.templateText = u"Hi [[first name]], [[appt date]] [[appt time]]";
    return request;
  }
  ReminderRun Reminders() {
    return ReminderRun({client_, settings_, history_, prompt_, codePage_, clock_}, u"Send batch SMS");
  }
  ReminderRun::MakeGateway Gateway() {
    return [&] {
      return std::make_unique<HTTPManager>(settings_, codePage_, clock_,
                                           std::make_unique<RuleExchange>(rule_, &requests_));
    };
  }
  // A third meeting with a patient without a number and one who opted out.
  void AddPatientsWhoCannotBeTexted() {
    client_.AddContact(u"CC03", u"Cy")->mobile = std::nullopt;
    client_.AddContact(u"DD04", u"Dee")->categories = u"No SMS";
    auto third = client_.AddMeeting(u"X-ray", At(2026, 12, 11, 11, 0));
    third->AddAttendee(AttendeeOf("\xCC\x03"));
    third->AddAttendee(AttendeeOf("\xDD\x04"));
  }

  // The message values as the gateway reads them, percent-escapes undone.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& target : requests_) {
      const auto from = target.find("message=") + 8;
      const std::string value = target.substr(from, target.find("&concatenate") - from);
      std::string text;
      for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
          text += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
          i += 2;
        } else {
          text += value[i];
        }
      }
      texts.push_back(text);
    }
    return texts;
  }

  fake::Client client_;
  MemorySettings settings_;
  SentHistory history_;
  AnsweringPrompt prompt_{u"Send batch SMS"};
  Latin1CodePage codePage_;
  FixedClock clock_;
  std::function<HttpReply(const std::string&)> rule_ = [](const std::string&) {
    return Answer(200, "accepted,1,2,3,4,5,Queued");
  };
  std::vector<std::string> requests_;
  std::unique_ptr<SendRun> run_;
  std::vector<std::unique_ptr<SMSMessage>> messages_;
};

TEST_F(ReminderRunTest, EveryAttendeeWhoIsAContactGetsTheFilledTemplateAndIsRecorded) {
  EXPECT_TRUE(RunNow());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Hi Ann, 12/10/2026 14:30", "Hi Bob, 12/11/2026 09:05"}));
  EXPECT_TRUE(prompt_.questions.empty());
  EXPECT_EQ(history_.Entries().size(), 2u);
  EXPECT_TRUE(history_.WasSent(codePage_.ToAnsi(AttendeeOf("\xAA\x01")) + "_+100_46366.604167",
                               "Hi Ann, 12/10/2026 14:30"));
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\n"
            u"Message for Ann was sent successfully. Details: Queued\n"
            u"Message for Bob was sent successfully. Details: Queued\n");
  EXPECT_EQ(client_.contacts->HeldElsewhere(), 0) << "no contact stays open after its message";
}

TEST_F(ReminderRunTest, AContactInTheOptOutCategoryIsNeverSentToAndTheReportSaysWhy) {
  std::static_pointer_cast<fake::Contact>(client_.contacts->items[1])->categories = u"Family, NO SMS";
  prompt_.answers = {true};
  EXPECT_TRUE(RunNow());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Hi Ann, 12/10/2026 14:30"}));
  EXPECT_TRUE(prompt_.questions.empty());
  EXPECT_EQ(history_.Entries().size(), 1u);
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\n"
            u"Message for Ann was sent successfully. Details: Queued\n"
            u"Message for Bob was not sent because Bob does not want SMS (category \"No SMS\").\n");

  settings_.SetString(u"OptOutCategory", u"");
  EXPECT_TRUE(RunNow());
  EXPECT_EQ(Messages().size(), 3u) << "an empty setting turns the rule off";
}

TEST_F(ReminderRunTest, ASecondRunAsksBeforeRepeatingAndLeavesOutWhatTheUserDeclines) {
  RunNow();
  requests_.clear();
  prompt_.shown.clear();
  prompt_.answers = {false, true};
  RunNow();
  ASSERT_EQ(prompt_.questions.size(), 2u);
  EXPECT_EQ(prompt_.questions[0],
            u"Message \"Hi Ann, 12/10/2026 14:30\" was already sent to Ann on phone number +100.\n"
            u"Do you want to send it again?");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Hi Bob, 12/11/2026 09:05"});
  ASSERT_EQ(messages_.size(), 1u) << "a declined reminder is not listed";
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\nMessage for Bob was sent successfully. Details: Queued\n");
}

TEST_F(ReminderRunTest, ATemplateChangeOrAnotherAlphabetMakesTheReminderNew) {
  RunNow();
  RunNow(u"Reminder for [[first name]]");
  EXPECT_TRUE(prompt_.questions.empty());
  settings_.SetString(u"Alphabet", u"1");
  RunNow(u"Reminder for [[first name]]");
  EXPECT_TRUE(prompt_.questions.empty()) << "the encoded text is part of what is compared";
  EXPECT_EQ(Messages().back(), "00520065006D0069006E00640065007200200066006F007200200042006F0062");
}

TEST_F(ReminderRunTest, ARejectedReminderGoesAgainWithoutAskingAnUncertainOneIsAskedAbout) {
  rule_ = [](const std::string& target) {
    return target.find("Ann") != std::string::npos ? Answer(200, "rejected,1,2,3,4,5,Bad number")
                                                    : Answer(500, "busy");
  };
  RunNow();
  EXPECT_TRUE(history_.Entries().empty()) << "nothing was accepted";
  EXPECT_EQ(history_.UncertainEntries().size(), 1u);
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\n"
            u"Message for Ann was not sent. Details: Bad number\n"
            u"Message for Bob may not have been sent. Details: The SMS gateway at gw.example.net:80 answered "
            u"with HTTP status 500.\n");
  prompt_.answers = {false};
  RunNow();
  ASSERT_EQ(prompt_.questions.size(), 1u);
  EXPECT_NE(prompt_.questions[0].find(u"may already have been sent to Bob"), std::u16string::npos);
  EXPECT_NE(prompt_.questions[0].find(u"it was tried on "), std::u16string::npos);
  EXPECT_EQ(requests_.size(), 3u) << "Ann again without a question, Bob not after No";
}

// The saves the run makes, each noting how many accepted reminders the
// history held; the first `failing` of them fail.
TEST_F(ReminderRunTest, TheHistoryIsSavedBeforeTheReportAndAFailedSaveIsToldOnce) {
  std::vector<std::size_t> saved;
  int failing = 1;
  save_ = [&]() -> std::u16string {
    saved.push_back(history_.Entries().size());
    return failing-- > 0 ? u"could not save" : u"";
  };
  RunNow();
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(saved.back(), 2u) << "the last save, before the report, holds every accepted reminder";
  ASSERT_EQ(prompt_.shown.size(), 2u);
  EXPECT_EQ(prompt_.shown[0], u"could not save") << "told before the report";
  EXPECT_EQ(prompt_.shown[1].rfind(u"SMS delivery results:", 0), 0u);

  failing = 100;
  saved.clear();
  prompt_.shown.clear();
  prompt_.answers = {true};
  RunNow();
  EXPECT_EQ(std::count(prompt_.shown.begin(), prompt_.shown.end(), u"could not save"), 1) << "once per run";
  EXPECT_EQ(history_.Entries().size(), 2u) << "kept in memory";
}

TEST_F(ReminderRunTest, ADeadGatewayStopsTheRunWithoutQuestionsOrHistory) {
  RunNow();  // both are in the history now
  requests_.clear();
  prompt_.shown.clear();
  prompt_.answers = {true};
  rule_ = [](const std::string&) {
    HttpReply none;
    none.outcome = HttpReply::Outcome::kUnreachable;
    return none;
  };
  RunNow();
  EXPECT_EQ(requests_.size(), 1u);
  EXPECT_EQ(prompt_.questions.size(), 1u) << "only the attempted reminder was asked about";
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\n"
            u"Message for Ann was not sent. Details: The SMS gateway at gw.example.net:80 could not be reached.\n"
            u"Message for Bob was not sent. Details: The run was stopped because the SMS gateway could not be "
            u"reached.\n");
}

TEST_F(ReminderRunTest, AnEmptyFrameSaysSoAndKeepsTheLastRunsMessages) {
  RunNow();
  prompt_.shown.clear();
  ReminderRequest request;
  request.frameUnit = Unit::Days;
  request.frameCount = 0;
  request.templateText = u"x";
  EXPECT_FALSE(Run(request));
  EXPECT_EQ(prompt_.shown, std::vector<std::u16string>{u"There are no meetings in specified timeframe."});
  EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(ReminderRunTest, LeadTimeAndFixedDateScheduleEveryReminderAndReportsCanBeOff) {
  settings_.SetString(u"ShowDeliveryResults", u"0");
  ReminderRequest request;
  request.frameUnit = Unit::Weeks;
  request.frameCount = 1;
  request.mode = SendMode::ByLeadTime(Unit::Days, 1);
  request.templateText = u"x";
  Run(request);
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_NE(requests_[0].find("&yy=2026&mm=12&dd=09&hour=14&min=30"), std::string::npos) << requests_[0];
  EXPECT_NE(requests_[1].find("&yy=2026&mm=12&dd=10&hour=09&min=05"), std::string::npos) << requests_[1];
  request.mode = SendMode::OnDate(At(2026, 12, 10, 18, 0));
  prompt_.answers = {true};
  Run(request);
  EXPECT_NE(requests_[3].find("&dd=10&hour=18&min=00"), std::string::npos) << requests_[3];
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(ReminderRunTest, WhatCannotBeReadGetsALineOfItsOwnAndNoLineHasAnEmptyName) {
  client_.AddContact(u"CC03", u"");
  client_.AddContact(u"CC04", u"");
  client_.AddContact(std::nullopt, u"Unreadable");
  auto fitting = client_.AddMeeting(u"Fitting", At(2026, 12, 10, 16, 0));
  fitting->AddUnreadableAttendee();
  fitting->AddAttendee(AttendeeOf("\xCC\x03"), u"Cyd");
  fitting->AddAttendee(AttendeeOf("\xCC\x04"));
  // Not indexed, and the folder holds a contact whose identifier could not
  // be read: that may be Eve's.
  fitting->AddAttendee(AttendeeOf("\xEE\x05"), u"Eve");
  client_.calendar->items.push_back(nullptr);
  auto moved = client_.AddMeeting(u"Moved", At(2026, 12, 10, 17, 0));
  moved->AddAttendee(AttendeeOf("\xAA\x01"));
  moved->MoveAfterFirstRead(At(2026, 12, 10, 18, 0));
  RunNow(u"x");
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\n"
            u"Message for Ann was sent successfully. Details: Queued\n"
            u"Message for Bob was sent successfully. Details: Queued\n"
            u"Message for attendee 1 of the meeting \"Fitting\" on 12/10/2026 at 16:00 was not sent. Details: The "
            u"attendee could not be read from the meeting.\n"
            u"Message for Cyd was sent successfully. Details: Queued\n"
            u"Message for +100 was sent successfully. Details: Queued\n"
            u"Message for Eve, attendee of the meeting \"Fitting\" on 12/10/2026 at 16:00, was not sent. Details: "
            u"The attendee's contact could not be read from the contacts folder.\n"
            u"Messages for item 4 of the calendar were not sent. Details: The meeting could not be read from the "
            u"calendar.\n"
            u"Messages for the meeting \"Moved\" on 12/10/2026 at 17:00 were not sent. Details: The meeting was "
            u"changed or moved in the calendar during the run.\n");
  EXPECT_EQ(requests_.size(), 4u);
}

TEST_F(ReminderRunTest, AFrameOfUnreadableItemsIsReportedNotCalledEmpty) {
  client_.calendar->items = {nullptr};
  EXPECT_TRUE(RunNow());
  EXPECT_EQ(prompt_.shown, std::vector<std::u16string>{u"SMS delivery results:\n\nMessages for item 1 of the "
                                                       u"calendar were not sent. Details: The meeting could not be "
                                                       u"read from the calendar.\n"});
}

TEST_F(ReminderRunTest, AFrameWhoseAttendeesAreNoContactsReportsTheHeadingAlone) {
  client_.calendar->items.clear();
  client_.AddMeeting(u"Walk-in", At(2026, 12, 10, 11, 0))->AddAttendee(u"00FF");
  RunNow();
  EXPECT_EQ(prompt_.shown, std::vector<std::u16string>{u"SMS delivery results:\n\n"});
}

}  // namespace

TEST_F(ReminderRunTest, APlanGivesEachReminderItsStatusAndSendsAsksAndRecordsNothing) {
  rule_ = [](const std::string& target) {
    return target.find("Ann") != std::string::npos ? Answer(200, "accepted,1,2,3,4,5,Queued")
                                                    : Answer(500, "busy");
  };
  RunNow();
  AddPatientsWhoCannotBeTexted();
  const HistoryEntries sent = history_.Entries();
  const HistoryEntries uncertain = history_.UncertainEntries();
  const std::size_t requests = requests_.size();
  const std::size_t shown = prompt_.shown.size();

  const std::optional<ReminderPlan> plan = Reminders().Plan(NowRequest());
  ASSERT_TRUE(plan);
  std::vector<std::u16string> seen;
  for (const PlannedMessage& planned : plan->messages) {
    seen.push_back(planned.name + u" " + planned.number + u" " + planned.subject + u": " + StatusText(planned));
  }
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"Ann 100 Check-up: sent before on 12/10/2026",
                                               u"Bob 100 Cleaning: may have been sent on 12/10/2026",
                                               u"Cy  X-ray: no mobile number", u"Dee 100 X-ray: opted out"}));
  EXPECT_EQ(plan->messages[0].text, u"Hi Ann, 12/10/2026 14:30");
  EXPECT_EQ(plan->messages[0].start, At(2026, 12, 10, 14, 30));
  EXPECT_TRUE(plan->messages[1].Sendable());
  EXPECT_FALSE(plan->messages[2].Sendable());
  EXPECT_FALSE(plan->messages[3].Sendable());
  EXPECT_EQ(requests_.size(), requests);
  EXPECT_EQ(history_.Entries(), sent);
  EXPECT_EQ(history_.UncertainEntries(), uncertain);
  EXPECT_TRUE(prompt_.questions.empty());
  EXPECT_EQ(prompt_.shown.size(), shown) << "no report";
  EXPECT_EQ(client_.contacts->HeldElsewhere(), 0);
}

TEST_F(ReminderRunTest, APlanHoldsWhatARunSends) {
  AddPatientsWhoCannotBeTexted();
  RunNow();
  const std::optional<ReminderPlan> plan = Reminders().Plan(NowRequest());
  ASSERT_TRUE(plan);
  std::vector<std::string> planned;
  for (const PlannedMessage& message : plan->messages) {
    if (!message.Sendable()) continue;
    planned.push_back(message.encodedText);
    EXPECT_TRUE(history_.WasSent(message.historyKey, message.encodedText));
  }
  EXPECT_EQ(Messages(), planned);
}

TEST_F(ReminderRunTest, SendingAPlanSendsTheChosenInTheirOrderWithoutRepeatQuestions) {
  AddPatientsWhoCannotBeTexted();
  RunNow(u"Hi [[first name]]");
  requests_.clear();
  prompt_.shown.clear();
  ReminderRequest request = NowRequest();
  request.templateText = u"Hi [[first name]]";
  request.mode = SendMode::ByLeadTime(Unit::Hours, 1);
  ReminderRun reminders = Reminders();
  const std::optional<ReminderPlan> plan = reminders.Plan(request);
  ASSERT_TRUE(plan);
  ASSERT_EQ(plan->messages.size(), 4u);
  SendRun run;
  reminders.SendPlanned(*plan, {1, 0}, run, Gateway(), messages_);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Hi Bob", "Hi Ann"}));
  EXPECT_TRUE(prompt_.questions.empty()) << "Bob and Ann were chosen knowingly";
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0]->sendTime(), At(2026, 12, 11, 8, 5)) << "the plan's lead time";
  EXPECT_EQ(history_.SentOn(plan->messages[0].historyKey, "Hi Ann"), At(2026, 12, 10, 13, 30));
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\n"
            u"Message for Bob was sent successfully. Details: Queued\n"
            u"Message for Ann was sent successfully. Details: Queued\n"
            u"Message for Dee was not sent because Dee does not want SMS (category \"No SMS\").\n");
}

TEST_F(ReminderRunTest, TheHistoryHoldsLocalTimesForRemindersSentAtOnceAsForScheduledOnes) {
  clock_.hoursAhead = 2;
  RunNow();
  const std::optional<ReminderPlan> plan = Reminders().Plan(NowRequest());
  ASSERT_TRUE(plan);
  ASSERT_FALSE(plan->messages.empty());
  EXPECT_EQ(history_.SentOn(plan->messages[0].historyKey, plan->messages[0].encodedText), At(2026, 12, 10, 12, 0))
      << "the local time, not 10:00 UTC";
}
