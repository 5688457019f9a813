#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "gateway/message_text.h"
#include "gateway/sms_message.h"
#include "gateway/wininet_exchange_win.h"
#include "gateway_fakes.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "simulator_log.h"
#include "support/memory_settings.h"

namespace {

constexpr long kFail = static_cast<long>(0x80004005L);
// Short enough to keep the stalled-gateway case quick.
constexpr DWORD kTimeoutMs = 2000;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

class GatewayExchange : public testing::Test {
 protected:
  void SetUp() override {
    port_ = Env("GATEWAY_SIM_PORT");
    ASSERT_FALSE(port_.empty()) << "run through with_simulator.sh";
    UseGateway(port_);
    settings_.SetString(u"UserName", u"alice");
    settings_.SetString(u"Password", u"s3cret");
  }

  void UseGateway(const std::string& port) {
    settings_.SetString(u"GatewayHost", codePage_.FromAnsi("127.0.0.1:" + port));
  }

  std::unique_ptr<HTTPManager> Manager() {
    return MakeHTTPManager(settings_, codePage_, clock_, kTimeoutMs);
  }

  std::shared_ptr<FakeContact> Contact(const char16_t* name, const char16_t* mobile) {
    auto contact = std::make_shared<FakeContact>();
    contact->fullName = name;
    if (mobile) contact->mobile = mobile;
    return contact;
  }

  // Sends `text` (encoded with the current alphabet) with a fresh manager.
  std::unique_ptr<SMSMessage> Send(const char16_t* mobile, const std::u16string& text = u"Hi",
                                   double sendTime = 0, long expected = 0) {
    const std::string encoded =
        EncodeMessageText(text, SendingOptions::Read(settings_), codePage_);
    auto message = std::make_unique<SMSMessage>(codePage_, clock_, Contact(u"Jane Doe", mobile), encoded, sendTime);
    auto manager = Manager();
    EXPECT_EQ(message->Send(*manager), expected);
    return message;
  }

  std::string Gateway() const { return "The SMS gateway at 127.0.0.1:" + port_; }

  MemorySettings settings_;
  ThreadCodePage codePage_;
  SystemClock clock_;
  SimulatorLog log_;
  std::string port_;
};

TEST_F(GatewayExchange, AcceptedMessageTravelsByteForByte) {
  auto message = Send(u"+64 (21) 555 1234");
  EXPECT_TRUE(message->accepted());
  EXPECT_EQ(message->reportText(), "Message for Jane Doe was sent successfully. Details: Message queued for delivery");
  const auto request = log_.LastTo("64215551234");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->target,
            "/smsgateway.pl?user=alice&pass=s3cret&to=64215551234&message=Hi&concatenate=false"
            "&unicode=false&output=verbose");
  EXPECT_EQ(message->reply(), request->reply);
  // Sent at once: the time of the reply, in UTC, is recorded.
  EXPECT_NEAR(message->sendTime(), clock_.NowUtc(), 60.0 / 86400);
}

TEST_F(GatewayExchange, EmptySettingsGiveTheKnownTargetAndAnErrorReply) {
  settings_.Remove(u"UserName");
  settings_.Remove(u"Password");
  auto message = Send(u"6421");
  const auto request = log_.LastTo("6421");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->target,
            "/smsgateway.pl?user=&pass=&to=6421&message=Hi&concatenate=false&unicode=false&output=verbose");
  EXPECT_FALSE(message->accepted());
  EXPECT_EQ(message->reportText(), "Message for Jane Doe was not sent. Details: Invalid user name or password");
}

TEST_F(GatewayExchange, RejectionsWithAndWithoutSummary) {
  auto reserved = Send(u"555 0101");
  EXPECT_FALSE(reserved->accepted());
  EXPECT_EQ(reserved->failureDetails(), "Number is in a reserved range\n");

  auto malformed = Send(u"021-555 1234");
  ASSERT_TRUE(log_.LastTo("21-5551234"));
  EXPECT_EQ(malformed->reportText(), "Message for Jane Doe was not sent. Details: Invalid number format");
}

TEST_F(GatewayExchange, NumbersAreNormalisedBeforeTheyTravel) {
  auto contact = Contact(u"No Mobile", nullptr);
  contact->primary = u"09 123 4567";
  SMSMessage primary(codePage_, clock_, contact, "Hi", 0);
  EXPECT_EQ(primary.Send(*Manager()), 0);
  EXPECT_TRUE(log_.LastTo("91234567"));

  const std::size_t before = log_.Requests().size();
  auto zeros = Send(u"0000");
  EXPECT_EQ(log_.Requests().size(), before);
  EXPECT_EQ(zeros->reportText(), "Message for Jane Doe was not sent. Details: Contact does not have a phone number assigned!");
}

TEST_F(GatewayExchange, BothAlphabetsReachTheGateway) {
  settings_.SetString(u"Alphabet", u"1");
  auto unicode = Send(u"6402000", u"Hi \u20AC\u738B");
  auto request = log_.LastTo("6402000");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Param("message"), "00480069002020AC738B");
  EXPECT_EQ(request->Param("unicode"), "true");
  EXPECT_TRUE(unicode->accepted());
  EXPECT_NE(unicode->reply().find(",5,unicode,now,"), std::string::npos);

  settings_.SetString(u"Alphabet", u"0");
  auto gsm = Send(u"6402001", u"caf\u00E9 \u20AC");
  request = log_.LastTo("6402001");
  ASSERT_TRUE(request);
  EXPECT_NE(request->target.find("&message=caf%E9%20%80&concatenate=false&unicode=false&"), std::string::npos);
  EXPECT_TRUE(gsm->accepted());
}

TEST_F(GatewayExchange, TextThatLooksLikeParametersArrivesIntact) {
  const std::u16string text = u"x&to=0999 #1 100% = sure\r\nline 2+3";
  auto message = Send(u"6402100", text);
  const auto request = log_.LastTo("6402100");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Param("message"), "x&to=0999 #1 100% = sure\r\nline 2+3");
  std::vector<std::string> names;
  for (const auto& param : request->params) names.push_back(param.first);
  EXPECT_EQ(names, (std::vector<std::string>{"user", "pass", "to", "message", "concatenate", "unicode", "output"}));
  EXPECT_TRUE(message->accepted());
}

TEST_F(GatewayExchange, ScheduledMessageCarriesUtcWithTheZoneOfThatDate) {
  TIME_ZONE_INFORMATION zone;
  GetTimeZoneInformation(&zone);
  ASSERT_EQ(zone.Bias, -720) << "the test runs with TZ=Pacific/Auckland";

  // Daylight saving time in March: thirteen hours ahead.
  const double march = *DateTimeToOle(DateTime{2010, 3, 15, 14, 35, 50});
  auto summer = Send(u"6402200", u"Hi", march);
  auto request = log_.LastTo("6402200");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->target.substr(request->target.find("&output=verbose")),
            "&output=verbose&yy=2010&mm=03&dd=15&hour=01&min=35");
  EXPECT_EQ(summer->sendTime(), march);

  // Standard time in July: twelve hours, and the day before in UTC.
  const double july = *DateTimeToOle(DateTime{2010, 7, 15, 9, 5, 0});
  Send(u"6402201", u"Hi", july);
  request = log_.LastTo("6402201");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->target.substr(request->target.find("&yy=")), "&yy=2010&mm=07&dd=14&hour=21&min=05");
}

TEST_F(GatewayExchange, UnrecognisedRepliesKeepTheRecordEmptyButTheUserIsTold) {
  auto html = Send(u"6400600");
  EXPECT_FALSE(html->accepted());
  EXPECT_EQ(html->reportText(), "");
  EXPECT_EQ(html->ReportLine(),
            u"Message for Jane Doe may not have been sent. Details: The SMS gateway's answer was not understood.");
  EXPECT_EQ(html->reply(), "<html><body><h1>Gateway under maintenance</h1></body></html>");

  // Binary junk: the NUL in it ends what is read.
  auto garbage = Send(u"6400700");
  EXPECT_EQ(garbage->reply(), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(garbage->reportText(), "");
  EXPECT_NE(garbage->ReportLine().find(u"may not have been sent"), std::u16string::npos);
}

TEST_F(GatewayExchange, FailedExchangesNameTheirCause) {
  auto status500 = Send(u"6400500", u"Hi", 0, kFail);
  EXPECT_EQ(status500->failureDetails(), Gateway() + " answered with HTTP status 500.");
  EXPECT_EQ(status500->reportText(), "Message for Jane Doe may not have been sent. Details: " + Gateway() + " answered with HTTP status 500.");
  EXPECT_EQ(status500->reply(), "");
  EXPECT_EQ(status500->sendTime(), 0);

  const std::string refusePort = Env("GATEWAY_SIM_REFUSE_PORT");
  UseGateway(refusePort);
  auto refused = Send(u"6400400", u"Hi", 0, kFail);
  EXPECT_EQ(refused->failureDetails(), "The SMS gateway at 127.0.0.1:" + refusePort + " could not be reached.");

  settings_.Remove(u"GatewayHost");
  auto unconfigured = Send(u"6400401", u"Hi", 0, kFail);
  EXPECT_EQ(unconfigured->failureDetails(), "No SMS gateway is configured.");
  EXPECT_FALSE(log_.LastTo("6400401"));
}

TEST_F(GatewayExchange, StalledGatewayTimesOut) {
  const auto start = std::chrono::steady_clock::now();
  auto stalled = Send(u"6401100", u"Hi", 0, kFail);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(stalled->failureDetails(), Gateway() + " did not answer in time.");
  EXPECT_LT(waited, std::chrono::seconds(15));
  EXPECT_TRUE(log_.LastTo("6401100"));
}

TEST_F(GatewayExchange, BodiesAreJoinedCutAtNulAndCapped) {
  auto chunked = Send(u"6400900");
  const auto request = log_.LastTo("6400900");
  ASSERT_TRUE(request);
  EXPECT_EQ(chunked->reply(), request->reply);
  EXPECT_TRUE(chunked->accepted());
  EXPECT_EQ(chunked->successDetails(), "Message queued for delivery");

  auto nul = Send(u"6401000");
  const std::string sent = log_.LastTo("6401000")->reply;
  ASSERT_NE(sent.find('\0'), std::string::npos);
  EXPECT_EQ(nul->reply(), sent.substr(0, sent.find('\0')));
  EXPECT_EQ(nul->successDetails(), "Message queued for delivery");

  auto huge = Send(u"6400800");
  EXPECT_EQ(huge->reply().size(), 64u * 1024);
  EXPECT_TRUE(huge->accepted());
}

TEST_F(GatewayExchange, TooLongMessageIsNotSent) {
  const std::size_t before = log_.Requests().size();
  settings_.SetString(u"Alphabet", u"1");
  auto message = Send(u"6402300", std::u16string(1100, u'x'), 0, kFail);
  EXPECT_EQ(message->failureDetails(), "The message is too long to send in one request.");
  EXPECT_EQ(log_.Requests().size(), before);
}

TEST_F(GatewayExchange, OneManagerSendsSeveralMessagesInTurn) {
  auto manager = Manager();
  for (const char16_t* number : {u"6402401", u"6402402", u"6402403"}) {
    SMSMessage message(codePage_, clock_, Contact(u"Jane Doe", number), "Hi", 0);
    EXPECT_EQ(message.Send(*manager), 0);
    EXPECT_TRUE(message.accepted());
  }
  EXPECT_TRUE(log_.LastTo("6402403"));
}

}  // namespace
