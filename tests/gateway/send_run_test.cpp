// A run's rules: a dead gateway stops it after one exchange, the user may
// stop it, and every message still gets its report line.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gateway/delivery_report.h"
#include "gateway/send_run.h"
#include "gateway_fakes.h"
#include "support/memory_settings.h"

namespace {

// Plays one reply per GET in turn, the last one for ever after. During GET
// number `stopDuring` (from 1) it stops `run`, as Escape pressed during an
// exchange does.
class SequenceExchange : public HttpExchange {
 public:
  SequenceExchange(std::vector<HttpReply> replies, int* gets, SendRun* run, int stopDuring)
      : replies_(std::move(replies)), gets_(gets), run_(run), stopDuring_(stopDuring) {}
  HttpReply Get(const std::string&, unsigned short, const std::string&) override {
    const size_t at = std::min(static_cast<size_t>((*gets_)++), replies_.size() - 1);
    if (*gets_ == stopDuring_) run_->RequestStop();
    return replies_[at];
  }

 private:
  std::vector<HttpReply> replies_;
  int* gets_;
  SendRun* run_;
  int stopDuring_;
};

HttpReply Failed(HttpReply::Outcome outcome) {
  HttpReply reply;
  reply.outcome = outcome;
  return reply;
}

class SendRunTest : public testing::Test {
 protected:
  SendRunTest() : clock_(40252.5) { settings_.SetString(u"GatewayHost", u"gw.example.net"); }

  void SendTo(int count, std::vector<HttpReply> replies) {
    HTTPManager gateway(settings_, codePage_, clock_,
                        std::make_unique<SequenceExchange>(std::move(replies), &gets_, &run_, stopDuring_));
    for (int i = 0; i < count; ++i) {
      auto contact = std::make_shared<FakeContact>();
      contact->fullName = u"Patient " + std::u16string(1, static_cast<char16_t>(u'A' + i));
      contact->mobile = u"02155512" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
      messages_.push_back(std::make_unique<SMSMessage>(codePage_, clock_, contact, "Hi", 0));
      statuses_.push_back(run_.Send(*messages_.back(), gateway));
    }
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const auto& m : messages_) lines.push_back(m->reportText());
    return lines;
  }

  MemorySettings settings_;
  Latin1CodePage codePage_;
  FixedClock clock_;
  SendRun run_;
  int stopDuring_ = 0;
  int gets_ = 0;
  std::vector<std::unique_ptr<SMSMessage>> messages_;
  std::vector<HResult> statuses_;
};

TEST_F(SendRunTest, AnUnreachableGatewayCostsOneExchangeAndEveryMessageIsReported) {
  SendTo(20, {Failed(HttpReply::Outcome::kUnreachable)});
  EXPECT_EQ(gets_, 1);
  EXPECT_EQ(run_.Cause(), SendRun::StopCause::kGatewayUnreachable);
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[0],
            "Message for Patient A was not sent. Details: The SMS gateway at gw.example.net:80 could "
            "not be reached.");
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], "Message for Patient " + std::string(1, static_cast<char>('A' + i)) +
                            " was not sent. Details: The run was stopped because the SMS gateway "
                            "could not be reached.");
    EXPECT_EQ(statuses_[i], kStatusFail);
    EXPECT_FALSE(messages_[i]->accepted());
  }
}

TEST_F(SendRunTest, AGatewayThatDoesNotAnswerStopsTheRunWithItsOwnCause) {
  SendTo(3, {Answer(200, "accepted,OK"), Failed(HttpReply::Outcome::kTimedOut)});
  EXPECT_EQ(gets_, 2);
  EXPECT_TRUE(messages_[0]->accepted());
  EXPECT_EQ(messages_[2]->failureDetails(),
            "The run was stopped because the SMS gateway did not answer in time.");
}

TEST_F(SendRunTest, AnswersThatAreNotAcceptancesDoNotStopTheRun) {
  // Status 500 and garbage say the gateway is alive; each message still
  // deserves its own try.
  SendTo(4, {Answer(500, "oops"), Failed(HttpReply::Outcome::kInvalidAnswer),
             Answer(200, "rejected,1,2,3,4,5,Bad number"), Answer(200, "accepted,OK")});
  EXPECT_EQ(gets_, 4);
  EXPECT_TRUE(run_.Active());
  EXPECT_TRUE(messages_[3]->accepted());
}

TEST_F(SendRunTest, AStopAskedDuringAnExchangeLetsThatExchangeFinish) {
  stopDuring_ = 2;
  SendTo(5, {Answer(200, "accepted,OK")});
  EXPECT_EQ(gets_, 2);
  EXPECT_TRUE(messages_[1]->accepted()) << "the exchange in progress completes";
  for (size_t i = 2; i < 5; ++i) {
    EXPECT_EQ(messages_[i]->failureDetails(), "The run was stopped before this message was sent.");
  }
  EXPECT_EQ(run_.Cause(), SendRun::StopCause::kStoppedByUser);
}

TEST_F(SendRunTest, AUserStopIsNotOverwrittenByTheFailureOfTheLastExchange) {
  stopDuring_ = 1;
  SendTo(2, {Failed(HttpReply::Outcome::kUnreachable)});
  EXPECT_EQ(run_.Cause(), SendRun::StopCause::kStoppedByUser);
  EXPECT_EQ(messages_[1]->failureDetails(), "The run was stopped before this message was sent.");
}

TEST_F(SendRunTest, AContactWithoutANumberNeedsNoExchangeAndDoesNotStopTheRun) {
  auto contact = std::make_shared<FakeContact>();
  contact->fullName = u"No Number";
  HTTPManager gateway(settings_, codePage_, clock_,
                      std::make_unique<SequenceExchange>(
                          std::vector<HttpReply>{Failed(HttpReply::Outcome::kUnreachable)}, &gets_, &run_, 0));
  SMSMessage message(codePage_, clock_, contact, "Hi", 0);
  EXPECT_EQ(run_.Send(message, gateway), kStatusOk);
  EXPECT_EQ(gets_, 0);
  EXPECT_TRUE(run_.Active());
}

TEST(ReportLine, NamesTheContactAsWrittenWhateverTheCodePage) {
  Latin1CodePage codePage;
  FixedClock clock(40252.5);
  auto contact = std::make_shared<FakeContact>();
  contact->fullName = u"\u0410\u043D\u043D\u0430 \u0141\u0101";  // Cyrillic and Latin Extended
  SMSMessage accepted(codePage, clock, contact, "Hi", 0);
  accepted.ParseReply("accepted,1,2,3,4,5,Qu\xE9ued");
  SMSMessage failed(codePage, clock, contact, "Hi", 0);
  failed.SetNotAttempted(SendRun::NotAttemptedDetails(SendRun::StopCause::kStoppedByUser));

  // The 8-bit record keeps what the code page makes of the name...
  EXPECT_EQ(accepted.reportText(), "Message for ???? ?? was sent successfully. Details: Qu\xE9ued");
  // ...while the report shows the name itself, and the details from ANSI.
  EXPECT_EQ(BuildDeliveryReport(ReportLines({&accepted, &failed})),
            u"SMS delivery results:\n\n"
            u"Message for \u0410\u043D\u043D\u0430 \u0141\u0101 was sent successfully. Details: Qu\u00E9ued\n"
            u"Message for \u0410\u043D\u043D\u0430 \u0141\u0101 was not sent. Details: The run was "
            u"stopped before this message was sent.\n");
}

}  // namespace
