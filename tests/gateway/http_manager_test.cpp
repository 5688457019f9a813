#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gateway/http_manager.h"
#include "gateway/sms_message.h"
#include "gateway_fakes.h"
#include "support/memory_settings.h"

namespace {

constexpr double kNowUtc = 40252.5;

class GatewaySend : public testing::Test {
 protected:
  GatewaySend() : clock_(kNowUtc, 13) {
    settings_.SetString(u"GatewayHost", u"gw.example.net:8080");
    contact_->fullName = u"Jane Doe";
    contact_->mobile = u"+64 21 555";
  }

  HTTPManager Manager(HttpReply reply) {
    return HTTPManager(settings_, codePage_, clock_,
                       std::make_unique<ScriptedExchange>(std::move(reply), &requests_));
  }

  SMSMessage Message(std::string text, double sendTime = 0) {
    return SMSMessage(codePage_, clock_, contact_, std::move(text), sendTime);
  }

  MemorySettings settings_;
  Latin1CodePage codePage_;
  FixedClock clock_;
  std::shared_ptr<FakeContact> contact_ = std::make_shared<FakeContact>();
  std::vector<ScriptedExchange::Request> requests_;
};

TEST_F(GatewaySend, AcceptedReplyIsParsedIntoTheRecord) {
  HTTPManager manager = Manager(Answer(200, "accepted,6421555,1,1,0,now,Queued"));
  SMSMessage message = Message("Hi");
  EXPECT_EQ(message.Send(manager), 0);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].host, "gw.example.net");
  EXPECT_EQ(requests_[0].port, 8080);
  EXPECT_EQ(requests_[0].target,
            "/smsgateway.pl?user=&pass=&to=6421555&message=Hi&concatenate=false&unicode=false"
            "&output=verbose");
  EXPECT_TRUE(message.accepted());
  EXPECT_EQ(message.reportText(), "Message for Jane Doe was sent successfully. Details: Queued");
  EXPECT_EQ(message.sendTime(), kNowUtc);
}

TEST_F(GatewaySend, ScheduledMessageCarriesItsUtcTime) {
  HTTPManager manager = Manager(Answer(200, "accepted,OK"));
  // 15 March 2010 14:35:50 local, thirteen hours ahead of UTC.
  const double local = *DateTimeToOle(DateTime{2010, 3, 15, 14, 35, 50});
  SMSMessage message = Message("Hi", local);
  EXPECT_EQ(message.Send(manager), 0);
  ASSERT_EQ(requests_.size(), 1u);
  const std::string& target = requests_[0].target;
  EXPECT_EQ(target.substr(target.find("&output=verbose")),
            "&output=verbose&yy=2010&mm=03&dd=15&hour=01&min=35");
  EXPECT_EQ(message.sendTime(), local);
}

TEST_F(GatewaySend, ContactWithoutNumberIsReportedWithoutARequest) {
  contact_->mobile.reset();
  contact_->primary = u"0000";
  HTTPManager manager = Manager(Answer(200, "accepted,OK"));
  SMSMessage message = Message("Hi");
  EXPECT_EQ(message.Send(manager), 0);
  EXPECT_TRUE(requests_.empty());
  EXPECT_FALSE(message.accepted());
  EXPECT_EQ(message.reportText(),
            "Message for Jane Doe was not sent. Details: Contact does not have a phone number assigned!");
}

TEST_F(GatewaySend, InjectedParametersStayInsideTheMessageValue) {
  HTTPManager manager = Manager(Answer(200, "accepted,OK"));
  SMSMessage message = Message("x&to=0999#y");
  message.Send(manager);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_NE(requests_[0].target.find("&message=x%26to%3D0999%23y&"), std::string::npos);
  EXPECT_EQ(requests_[0].target.find("to=0999"), std::string::npos);
}

// Callers test a status the way they test an HRESULT (negative is a
// failure), and the native build must see the same number as Windows.
TEST(GatewayStatus, FailureIsTheNegativeHResultOfEFail) {
  EXPECT_LT(kStatusFail, 0);
  EXPECT_EQ(static_cast<std::uint32_t>(kStatusFail), 0x80004005u);
}

// Only a request that never left is certainly not sent: once it went out,
// whatever failed after, the gateway may have the message.
struct FailureCase {
  HttpReply::Outcome outcome;
  unsigned long status;
  bool requestSent;
  const char* line;
};

class FailedExchange : public GatewaySend, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailedExchange, IsReportedWithItsCauseAndLeavesTheRecordUnaccepted) {
  HttpReply reply = Answer(GetParam().status, "accepted,but not really");
  reply.outcome = GetParam().outcome;
  reply.requestSent = GetParam().requestSent;
  HTTPManager manager = Manager(reply);
  SMSMessage message = Message("Hi");
  EXPECT_EQ(message.Send(manager), kStatusFail);
  EXPECT_EQ(requests_.size(), 1u);
  EXPECT_FALSE(message.accepted());
  EXPECT_EQ(message.uncertain(), GetParam().outcome == HttpReply::Outcome::kAnswered || GetParam().requestSent);
  EXPECT_EQ(message.reply(), "");
  EXPECT_EQ(message.reportText(), std::string("Message for Jane Doe ") + GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, FailedExchange,
    testing::Values(
        FailureCase{HttpReply::Outcome::kAnswered, 500, false,
                    "may not have been sent. Details: The SMS gateway at gw.example.net:8080 answered with HTTP "
                    "status 500."},
        FailureCase{HttpReply::Outcome::kUnreachable, 0, false,
                    "was not sent. Details: The SMS gateway at gw.example.net:8080 could not be reached."},
        FailureCase{HttpReply::Outcome::kTimedOut, 0, false,
                    "was not sent. Details: The SMS gateway at gw.example.net:8080 did not answer in time."},
        FailureCase{HttpReply::Outcome::kTimedOut, 0, true,
                    "may not have been sent. Details: The SMS gateway at gw.example.net:8080 did not answer in "
                    "time."},
        FailureCase{HttpReply::Outcome::kInvalidAnswer, 0, true,
                    "may not have been sent. Details: The SMS gateway at gw.example.net:8080 did not give a valid "
                    "HTTP answer."},
        FailureCase{HttpReply::Outcome::kNoAnswer, 0, true,
                    "may not have been sent. Details: The SMS gateway at gw.example.net:8080 closed the "
                    "connection without answering."}));

TEST_F(GatewaySend, NothingIsSentWithoutAUsableGatewaySetting) {
  struct Setting {
    std::optional<std::u16string> value;
    const char* details;
  };
  for (const Setting& setting :
       {Setting{std::nullopt, "No SMS gateway is configured."},
        Setting{u"  ", "No SMS gateway is configured."},
        Setting{u"gw:http", "The SMS gateway setting \"gw:http\" is not a host name or host:port."}}) {
    if (setting.value) {
      settings_.SetString(u"GatewayHost", *setting.value);
    } else {
      settings_.Remove(u"GatewayHost");
    }
    HTTPManager manager = Manager(Answer(200, "accepted,OK"));
    SMSMessage message = Message("Hi");
    EXPECT_EQ(message.Send(manager), kStatusFail);
    EXPECT_EQ(message.failureDetails(), setting.details);
  }
  EXPECT_TRUE(requests_.empty());
}

TEST_F(GatewaySend, QueryLongerThan4095CharactersIsNotSent) {
  const std::string fixedParts =
      "?user=&pass=&to=6421555&message=&concatenate=false&unicode=false&output=verbose";
  const std::size_t roomForText = 4095 - fixedParts.size();

  HTTPManager manager = Manager(Answer(200, "accepted,OK"));
  SMSMessage longest = Message(std::string(roomForText, 'a'));
  EXPECT_EQ(longest.Send(manager), 0);
  EXPECT_EQ(requests_.size(), 1u);

  // One more character, or one that grows to three when escaped, is too much.
  for (const std::string& text : {std::string(roomForText + 1, 'a'),
                                  std::string(roomForText - 2, 'a') + "&"}) {
    SMSMessage tooLong = Message(text);
    EXPECT_EQ(tooLong.Send(manager), kStatusFail);
    EXPECT_EQ(tooLong.failureDetails(), "The message is too long to send in one request.");
  }
  EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(GatewaySend, UnconvertibleDeliveryTimeIsNotSentAtOnce) {
  clock_.refuseConversion = true;
  HTTPManager manager = Manager(Answer(200, "accepted,OK"));
  SMSMessage message = Message("Hi", 40252.6);
  EXPECT_EQ(message.Send(manager), kStatusFail);
  EXPECT_TRUE(requests_.empty());
  EXPECT_EQ(message.failureDetails(), "The delivery time could not be converted to UTC.");
}

TEST_F(GatewaySend, OneManagerServesSeveralMessagesInTurn) {
  HTTPManager manager = Manager(Answer(200, "accepted,OK"));
  SMSMessage first = Message("one");
  SMSMessage second = Message("two");
  EXPECT_EQ(first.Send(manager), 0);
  EXPECT_EQ(second.Send(manager), 0);
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_NE(requests_[1].target.find("message=two&"), std::string::npos);
  EXPECT_EQ(manager.ObjectPath(), requests_[1].target);
}

}  // namespace
