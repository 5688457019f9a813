#include "gateway/request_target.h"

#include <cstdio>

#include "store/sending_options.h"

namespace {

const char* Flag(bool on) { return on ? "true" : "false"; }

bool IsUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

GatewayAccount ReadGatewayAccount(Settings& settings, const CodePage& codePage) {
  const auto section = settings.ReadSection();
  const SendingOptions options = SendingOptions::From(*section);
  GatewayAccount account;
  account.unicode = options.MarksRequestUnicode();
  account.concatenate = options.Concatenates();
  account.password = codePage.ToAnsi(section->GetString(settings_key::kPassword));
  account.userName = codePage.ToAnsi(section->GetString(settings_key::kUserName));
  return account;
}

std::string PercentEncode(const std::string& value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(value.size());
  for (unsigned char c : value) {
    if (IsUnreserved(c)) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kDigits[c >> 4];
      encoded += kDigits[c & 0xF];
    }
  }
  return encoded;
}

std::string BuildGatewayQuery(const GatewayAccount& account, const std::string& phoneNumber,
                              const std::string& messageText) {
  return "?user=" + PercentEncode(account.userName) + "&pass=" + PercentEncode(account.password) +
         "&to=" + PercentEncode(phoneNumber) + "&message=" + PercentEncode(messageText) +
         "&concatenate=" + Flag(account.concatenate) + "&unicode=" + Flag(account.unicode) +
         "&output=verbose";
}

std::string ScheduleSuffix(const DateTime& utc) {
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, "&yy=%04d&mm=%02d&dd=%02d&hour=%02d&min=%02d", utc.year,
                utc.month, utc.day, utc.hour, utc.minute);
  return suffix;
}
