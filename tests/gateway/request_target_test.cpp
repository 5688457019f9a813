#include <gtest/gtest.h>

#include "gateway/gateway_address.h"
#include "gateway/request_target.h"
#include "gateway_fakes.h"
#include "support/memory_settings.h"

namespace {

TEST(PercentEncode, KeepsUnreservedAndEscapesEveryOtherByte) {
  EXPECT_EQ(PercentEncode("AZaz09-._~"), "AZaz09-._~");
  EXPECT_EQ(PercentEncode("x&to=0999"), "x%26to%3D0999");
  EXPECT_EQ(PercentEncode("a b+c#d%e/f?g\r\n"), "a%20b%2Bc%23d%25e%2Ff%3Fg%0D%0A");
  EXPECT_EQ(PercentEncode(std::string("\x00\xE9\xFF", 3)), "%00%E9%FF");
  EXPECT_EQ(PercentEncode(""), "");
}

TEST(BuildGatewayQuery, EmptySettingsGiveTheKnownQuery) {
  MemorySettings settings;
  Latin1CodePage codePage;
  EXPECT_EQ(BuildGatewayQuery(ReadGatewayAccount(settings, codePage), "6421", "Hi"),
            "?user=&pass=&to=6421&message=Hi&concatenate=false&unicode=false&output=verbose");
}

TEST(BuildGatewayQuery, CarriesTheAccountAndFlagsEscaped) {
  MemorySettings settings;
  Latin1CodePage codePage;
  settings.SetString(u"UserName", u"ann\u00E9e");
  settings.SetString(u"Password", u"p&ss=1");
  settings.SetString(u"Alphabet", u"1");
  settings.SetString(u"Concatenation", u"1");
  EXPECT_EQ(BuildGatewayQuery(ReadGatewayAccount(settings, codePage), "64", "00480069"),
            "?user=ann%E9e&pass=p%26ss%3D1&to=64&message=00480069&concatenate=true&unicode=true"
            "&output=verbose");
}

TEST(ReadGatewayAccount, FlagsAreOnOnlyForExactlyOne) {
  Latin1CodePage codePage;
  for (const char16_t* value : {u"0", u"2", u"-1", u"yes"}) {
    MemorySettings settings;
    settings.SetString(u"Alphabet", value);
    settings.SetString(u"Concatenation", value);
    const GatewayAccount account = ReadGatewayAccount(settings, codePage);
    EXPECT_FALSE(account.unicode);
    EXPECT_FALSE(account.concatenate);
  }
}

TEST(ScheduleSuffix, ZeroPadsAndDropsSeconds) {
  EXPECT_EQ(ScheduleSuffix(DateTime{2010, 3, 15, 1, 35, 50}), "&yy=2010&mm=03&dd=15&hour=01&min=35");
  EXPECT_EQ(ScheduleSuffix(DateTime{987, 12, 1, 23, 5, 0}), "&yy=0987&mm=12&dd=01&hour=23&min=05");
}

TEST(ParseGatewayAddress, AcceptsHostWithOptionalPort) {
  auto plain = ParseGatewayAddress("sms.example.net");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->host, "sms.example.net");
  EXPECT_EQ(plain->port, 80);

  auto withPort = ParseGatewayAddress("  127.0.0.1:8080 ");
  ASSERT_TRUE(withPort);
  EXPECT_EQ(withPort->host, "127.0.0.1");
  EXPECT_EQ(withPort->port, 8080);
  EXPECT_EQ(DescribeGatewayAddress(*withPort), "127.0.0.1:8080");

  auto v6 = ParseGatewayAddress("[2001:db8::10]:8080");
  ASSERT_TRUE(v6);
  EXPECT_EQ(v6->host, "[2001:db8::10]");
  EXPECT_EQ(v6->port, 8080);
  EXPECT_EQ(DescribeGatewayAddress(*v6), "[2001:db8::10]:8080");
  auto v6Plain = ParseGatewayAddress("[::1]");
  ASSERT_TRUE(v6Plain);
  EXPECT_EQ(v6Plain->port, 80);

  for (const char* bad : {"", "   ", ":80", "host:", "host:0", "host:65536", "host:8o", "host:80:1",
                          "http://host", "ho st", "host/path", "[::1", "[]", "[1.2.3.4]", "[::1]x",
                          "[::g]:80", "[::1]:", "[::1]:0", "::1"}) {
    EXPECT_FALSE(ParseGatewayAddress(bad)) << bad;
  }
}

}  // namespace
