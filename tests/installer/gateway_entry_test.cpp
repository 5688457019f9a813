// What the setup's gateway page and /GATEWAY= accept.
#include "addin/gateway_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GatewayEntry, AcceptsAHostOrAnAddressWithAnOptionalPort) {
  for (const char16_t* entry :
       {u"sms.example.com", u"sms.example.com:8080", u"localhost", u"gw_1.intranet", u"x:1", u"sms-1.example:65535",
        u"192.0.2.10", u"192.0.2.10:8080", u"0.0.0.0", u"255.255.255.255", u"[2001:db8::10]", u"[::1]:8080",
        u"[2001:db8:0:0:1:0:0:1]", u"[::ffff:192.0.2.1]:80", u"[::]", u"3com.example"}) {
    EXPECT_TRUE(IsGatewayEntry(entry)) << std::string(entry, entry + std::char_traits<char16_t>::length(entry));
  }
}

TEST(GatewayEntry, RefusesWhatIsNotHostAndPort) {
  const std::u16string longLabel(64, u'a');
  for (const std::u16string& entry : std::initializer_list<std::u16string>{
           // Not the form at all: empty, a URL, a user part, blanks.
           u"", u"http://sms.example.com", u"sms.example.com/", u"sms.example.com:8080/", u"sms.example.com/sms",
           u"alice@sms.example.com", u"sms example.com", u" sms.example.com", u"sms.example.com ",
           // Ports.
           u"sms.example.com:", u"sms.example.com:0", u"sms.example.com:65536", u"sms.example.com:80a",
           u"sms.example.com:+80", u"sms.example.com:8080:1", u":8080",
           // Names.
           u"-sms.example.com", u"sms-.example.com", u"sms..example.com", u"sms.example.com.", u".example",
           longLabel + u".example", u"sms.ex\u00e4mple.com",
           // IPv4.
           u"256.1.1.1", u"192.0.2", u"192.0.2.1.5", u"192.0.2.010", u"192.0.2.1:99999",
           // IPv6: unbracketed, unclosed, a zone, too many or too long groups.
           u"::1", u"2001:db8::10", u"[::1", u"[::1]x", u"[::1]:", u"[]", u"[::1%eth0]", u"[1:2:3:4:5:6:7:8:9]",
           u"[1:2:3:4:5:6:7]", u"[1::2::3]", u"[12345::]", u"[::g]", u"[:1]", u"[1:::2]",
           u"[::ffff:192.0.2.256]", u"[192.0.2.1]"}) {
    EXPECT_FALSE(IsGatewayEntry(entry)) << std::string(entry.begin(), entry.end());
  }
}

}  // namespace
