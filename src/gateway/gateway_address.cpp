#include "gateway/gateway_address.h"

namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool IsHostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_';
}

std::optional<unsigned short> ParsePort(const std::string& digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  unsigned long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<unsigned short>(value);
}

}  // namespace

std::optional<GatewayAddress> ParseGatewayAddress(const std::string& setting) {
  const std::string text = Trim(setting);
  GatewayAddress address;
  const auto colon = text.find(':');
  address.host = text.substr(0, colon);
  if (address.host.empty()) return std::nullopt;
  for (char c : address.host) {
    if (!IsHostChar(c)) return std::nullopt;
  }
  if (colon != std::string::npos) {
    const auto port = ParsePort(text.substr(colon + 1));
    if (!port) return std::nullopt;
    address.port = *port;
  }
  return address;
}

std::string DescribeGatewayAddress(const GatewayAddress& address) {
  return address.host + ":" + std::to_string(address.port);
}
