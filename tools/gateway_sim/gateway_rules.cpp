#include "gateway_rules.h"

#include <algorithm>

namespace {

bool AllOf(const std::string& text, bool (*ok)(char)) { return std::all_of(text.begin(), text.end(), ok); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

std::string Error(const std::string& reason) { return "error,,,,,," + reason; }

std::string Schedule(const QueryParameters& p) {
  const std::string year = ParameterValue(p, "yy");
  if (year.empty()) return "now";
  return year + "-" + ParameterValue(p, "mm") + "-" + ParameterValue(p, "dd") + " " +
         ParameterValue(p, "hour") + ":" + ParameterValue(p, "min") + " UTC";
}

}  // namespace

std::string GatewayReply(const QueryParameters& p, const GatewayAccountRule& account,
                         unsigned long messageId) {
  const std::string to = ParameterValue(p, "to");
  const std::string message = ParameterValue(p, "message");
  const bool unicode = ParameterValue(p, "unicode") == "true";
  if ((!account.user.empty() && ParameterValue(p, "user") != account.user) ||
      (!account.password.empty() && ParameterValue(p, "pass") != account.password)) {
    return Error("Invalid user name or password");
  }
  if (to.empty()) return Error("No recipient number given");
  if (message.empty()) return Error("Empty message");
  if (unicode && (message.size() % 4 != 0 || !AllOf(message, IsHexDigit))) {
    return Error("Unicode text must have four hexadecimal digits per character");
  }
  if (!AllOf(to, IsDigit)) return "rejected," + to + ",,,,,Invalid number format";
  if (to.rfind("555", 0) == 0) {
    return "rejected," + to + ",,,,,Number is in a reserved range\nsummary,0 accepted,1 rejected\n";
  }
  const std::size_t characters = unicode ? message.size() / 4 : message.size();
  return "accepted," + to + "," + std::to_string(messageId) + "," + std::to_string(characters) + "," +
         (unicode ? "unicode" : "gsm") + "," + Schedule(p) + ",Message queued for delivery";
}
