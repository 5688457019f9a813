#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "faults.h"
#include "gateway_rules.h"
#include "query.h"

// The simulator's decoding decides whether the Windows tests can see an
// injected parameter at all, so it is pinned here.
namespace {

TEST(SimulatorQuery, DecodesInOrderAndKeepsRepeatedNames) {
  const QueryParameters parameters =
      ParseQuery("/smsgateway.pl?user=a%26b&to=1&message=x&to=0999&empty=&flag&plus=a+b%2B&bad=%4&z=%zz");
  const QueryParameters expected = {{"user", "a&b"}, {"to", "1"},      {"message", "x"},
                                    {"to", "0999"},  {"empty", ""},    {"flag", ""},
                                    {"plus", "a b+"}, {"bad", "%4"},   {"z", "%zz"}};
  EXPECT_EQ(parameters, expected);
  EXPECT_EQ(ParameterValue(parameters, "to"), "1");
  EXPECT_EQ(ParameterValue(parameters, "missing"), "");
  EXPECT_TRUE(ParseQuery("/smsgateway.pl").empty());
  EXPECT_EQ(ParseQuery("/p?m=%0D%0A%00").at(0).second, std::string("\r\n\0", 3));
}

QueryParameters Request(const std::string& to, const std::string& message = "Hi",
                        const std::string& unicode = "false") {
  return {{"user", "alice"}, {"pass", "s3cret"}, {"to", to}, {"message", message}, {"unicode", unicode}};
}

TEST(SimulatorRules, AnswerInTheGatewayReplyFormat) {
  const GatewayAccountRule account{"alice", "s3cret"};
  EXPECT_EQ(GatewayReply(Request("6421"), account, 7), "accepted,6421,7,2,gsm,now,Message queued for delivery");
  EXPECT_EQ(GatewayReply(Request("6421", "00480069", "true"), account, 8),
            "accepted,6421,8,2,unicode,now,Message queued for delivery");
  EXPECT_EQ(GatewayReply(Request("6421", "0048006", "true"), account, 9),
            "error,,,,,,Unicode text must have four hexadecimal digits per character");
  EXPECT_EQ(GatewayReply(Request("5550101"), account, 1),
            "rejected,5550101,,,,,Number is in a reserved range\nsummary,0 accepted,1 rejected\n");
  EXPECT_EQ(GatewayReply(Request("21-555"), account, 1), "rejected,21-555,,,,,Invalid number format");
  EXPECT_EQ(GatewayReply(Request(""), account, 1), "error,,,,,,No recipient number given");
  EXPECT_EQ(GatewayReply(Request("6421", ""), account, 1), "error,,,,,,Empty message");
  EXPECT_EQ(GatewayReply(Request("6421"), GatewayAccountRule{"alice", "other"}, 1),
            "error,,,,,,Invalid user name or password");
  // Without a configured account anyone may send.
  EXPECT_EQ(GatewayReply({{"to", "6421"}, {"message", "Hi"}, {"yy", "2010"}, {"mm", "03"}, {"dd", "15"},
                          {"hour", "01"}, {"min", "35"}},
                         GatewayAccountRule{}, 3),
            "accepted,6421,3,2,gsm,2010-03-15 01:35 UTC,Message queued for delivery");
}

TEST(SimulatorFaults, ScriptNamesAFaultPerNumber) {
  const std::string path = testing::TempDir() + "faults.txt";
  std::ofstream(path) << "# comment\n\n6400500 status500\n6401100   stall\n";
  std::string error;
  const auto script = ReadFaultScript(path, error);
  ASSERT_TRUE(script) << error;
  EXPECT_EQ(script->size(), 2u);
  EXPECT_EQ(script->at("6401100"), Fault::kStall);

  for (const char* bad : {"6400500\n", "6400500 slow\n", "6400500 stall now\n", "6400500 refuse\n"}) {
    std::ofstream(path) << bad;
    EXPECT_FALSE(ReadFaultScript(path, error)) << bad;
    EXPECT_NE(error.find(":1:"), std::string::npos);
  }
  EXPECT_FALSE(ReadFaultScript(path + ".missing", error));
  std::remove(path.c_str());
}

}  // namespace
