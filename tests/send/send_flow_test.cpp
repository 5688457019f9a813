// One press of "Send" against in-memory ports: the requests made, the line
// each recipient token gets, the report and the contacts held meanwhile.
#include "send/send_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gateway_fakes.h"
#include "send/fake_contacts.h"
#include "support/answering_prompt.h"
#include "support/memory_settings.h"

namespace {

using Lines = std::vector<std::u16string>;
using fake::ContactData;

constexpr char16_t kTitle[] = u"Send SMS to contact";

std::string Param(const std::string& target, const std::string& name) {
  const std::size_t from = target.find("&" + name + "=") + name.size() + 2;
  return target.substr(from, target.find('&', from) - from);
}

class SendFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.SetString(u"GatewayHost", u"gw.example.net");
    folder_ = std::make_shared<fake::ContactsFolder>(
        std::vector<ContactData>{{u"Ann Lee", u"+44 1"}, {u"Bob", u"2"}, {u"Cy", u""}});
    directory_.Load(std::make_shared<fake::Client>(folder_));
  }

  // Sends as the dialog does, the report after the run.
  Lines Send(const std::u16string& recipients, const std::u16string& text = u"Hi") {
    const SendFlow flow({settings_, prompt_, codePage_, clock_}, kTitle);
    SendRun run;
    const Lines lines = flow.Send(recipients, text, directory_, run, [&] {
      ++gatewaysMade_;
      return std::make_unique<HTTPManager>(settings_, codePage_, clock_,
                                           std::make_unique<RuleExchange>(
                                               [&](const std::string& target) {
                                                 openDuringSend_ = std::max(openDuringSend_, folder_->OpenItems());
                                                 return rule_(target);
                                               },
                                               &requests_));
    });
    flow.ShowReport(lines);
    return lines;
  }

  std::vector<std::string> Sent(const std::string& name) const {
    std::vector<std::string> values;
    for (const std::string& target : requests_) values.push_back(Param(target, name));
    return values;
  }

  MemorySettings settings_;
  AnsweringPrompt prompt_{kTitle};
  Latin1CodePage codePage_;
  FixedClock clock_{40252.5};
  std::shared_ptr<fake::ContactsFolder> folder_;
  ContactDirectory directory_;
  RuleExchange::Rule rule_ = [](const std::string&) { return Answer(200, "accepted,1,2,3,4,5,Queued"); };
  std::vector<std::string> requests_;
  int gatewaysMade_ = 0;
  long openDuringSend_ = 0;
};

TEST_F(SendFlowTest, OneMessagePerDirectoryKeyThroughOneGatewayAndALineForEveryToken) {
  const Lines lines = Send(u"Bob (2); bob (2); Ann Lee (+44 1); ");
  EXPECT_EQ(Sent("to"), (std::vector<std::string>{"2", "441"}));
  EXPECT_EQ(Sent("message"), (std::vector<std::string>{"Hi", "Hi"}));
  EXPECT_EQ(gatewaysMade_, 1) << "one gateway client for the whole run";
  EXPECT_EQ(lines, (Lines{u"Message for Bob was sent successfully. Details: Queued",
                          NotAContactLine(u"bob (2)"),
                          u"Message for Ann Lee was sent successfully. Details: Queued"}))
      << "keys are exact; the empty last token gets no line";
  EXPECT_EQ(openDuringSend_, 1) << "only the contact being sent to is open";
  EXPECT_EQ(folder_->OpenItems(), 0);
}

TEST_F(SendFlowTest, TheSameKeyTwiceIsSentTwice) {
  EXPECT_EQ(Send(u"Bob (2); Bob (2)").size(), 2u);
  EXPECT_EQ(Sent("to"), (std::vector<std::string>{"2", "2"}));
}

TEST_F(SendFlowTest, KeysJoinedWithoutTheBlankAreOneUnknownToken) {
  const Lines lines = Send(u"Bob (2);Cy ()");
  EXPECT_TRUE(requests_.empty());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(u"\"Bob (2);Cy ()\""), std::u16string::npos);
}

TEST_F(SendFlowTest, EmptyAndBlankRecipientsNameNobody) {
  EXPECT_EQ(Send(u""), Lines{});
  EXPECT_EQ(Send(u"; "), Lines{});
  EXPECT_TRUE(requests_.empty());
  EXPECT_EQ(Send(u"Bob (2); ;  ; Nobody"), (Lines{u"Message for Bob was sent successfully. Details: Queued",
                                                   NotAContactLine(u"Nobody")}));
}

TEST_F(SendFlowTest, AContactWithoutANameIsSentToAndNamedByItsNumber) {
  folder_->contacts().push_back({std::nullopt, u"+1 555 4"});
  folder_->contacts().push_back({u"", u"", u"07 5"});
  directory_.Load(std::make_shared<fake::Client>(folder_));
  EXPECT_EQ(Send(u" (+1 555 4);  ()"), (Lines{u"Message for +1 555 4 was sent successfully. Details: Queued",
                                             u"Message for 07 5 was sent successfully. Details: Queued"}));
  EXPECT_EQ(Sent("to"), (std::vector<std::string>{"15554", "75"}));
}

TEST_F(SendFlowTest, UnreadableContactsAndContactsWithoutANumberGetTheirLinesInOrder) {
  folder_->contacts()[1].fetchFails = true;
  EXPECT_EQ(Send(u"Bob (2); Nobody; Cy (); Ann Lee (+44 1)"),
            (Lines{UnreadableContactLine(u"Bob (2)"), NotAContactLine(u"Nobody"),
                   u"Message for Cy was not sent. Details: Contact does not have a phone number assigned!",
                   u"Message for Ann Lee was sent successfully. Details: Queued"}));
  EXPECT_EQ(Sent("to"), std::vector<std::string>{"441"}) << "Cy has no number: no request";
}

// The alphabet is read once, before the first message: a change made
// while the run sends does not re-encode the text for later recipients.
TEST_F(SendFlowTest, TheTextIsEncodedOnceWithTheAlphabetOfThatMoment) {
  settings_.SetString(u"Alphabet", u"1");
  rule_ = [&](const std::string&) {
    settings_.SetString(u"Alphabet", u"0");
    return Answer(200, "accepted,1,2,3,4,5,Queued");
  };
  Send(u"Ann Lee (+44 1); Bob (2)");
  EXPECT_EQ(Sent("message"), (std::vector<std::string>{"00480069", "00480069"}));
}

TEST_F(SendFlowTest, TheReportIsShownOnlyForShowDeliveryResultsOneWithTheDialogsTitle) {
  Send(u"Ann Lee (+44 1); Nobody");
  ASSERT_EQ(prompt_.shown.size(), 1u) << "shown by default";
  EXPECT_EQ(prompt_.shown[0],
            u"SMS delivery results:\n\n"
            u"Message for Ann Lee was sent successfully. Details: Queued\n" +
                NotAContactLine(u"Nobody") + u"\n");
  for (const char16_t* value : {u"0", u"2"}) {
    settings_.SetString(u"ShowDeliveryResults", value);
    Send(u"Ann Lee (+44 1)");
  }
  settings_.SetString(u"ShowDeliveryResults", u"1");
  Send(u"Nobody");
  ASSERT_EQ(prompt_.shown.size(), 2u) << "not for 0 or 2";
  EXPECT_EQ(prompt_.shown[1], u"SMS delivery results:\n\n" + NotAContactLine(u"Nobody") + u"\n");
}

TEST_F(SendFlowTest, ADeadGatewayStopsTheRunAndTheRestAreNotAttempted) {
  rule_ = [](const std::string&) {
    HttpReply none;
    none.outcome = HttpReply::Outcome::kUnreachable;
    return none;
  };
  EXPECT_EQ(Send(u"Ann Lee (+44 1); Nobody; Bob (2)"),
            (Lines{u"Message for Ann Lee was not sent. Details: The SMS gateway at gw.example.net:80 could not be "
                   u"reached.",
                   NotAContactLine(u"Nobody"),
                   u"Message for Bob was not sent. Details: The run was stopped because the SMS gateway could not "
                   u"be reached."}));
  EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(SendFlowTest, OptedOutRecipientsAreNamedInOneQuestionAndSentToOnlyOnYes) {
  folder_->contacts()[0].categories = u"VIP; no sms";
  const std::u16string recipients = u"Ann Lee (+44 1); Bob (2); Ann Lee (+44 1)";
  const std::u16string line =
      u"Message for Ann Lee was not sent because Ann Lee does not want SMS (category \"No SMS\").";

  const Lines declined = Send(recipients);
  ASSERT_EQ(prompt_.questions.size(), 1u);
  EXPECT_EQ(prompt_.questions[0], OptOut(u"No SMS").Question({u"Ann Lee (+44 1)"}));
  EXPECT_EQ(Sent("to"), (std::vector<std::string>{"2"}));
  EXPECT_EQ(declined, (Lines{line, u"Message for Bob was sent successfully. Details: Queued", line}));

  prompt_.answers = {true};
  Send(recipients);
  EXPECT_EQ(prompt_.questions.size(), 2u);
  EXPECT_EQ(Sent("to"), (std::vector<std::string>{"2", "441", "2", "441"}));

  settings_.SetString(u"OptOutCategory", u"");
  Send(recipients);
  EXPECT_EQ(prompt_.questions.size(), 2u) << "an empty setting asks nothing";
  EXPECT_EQ(requests_.size(), 7u);
}

}  // namespace
