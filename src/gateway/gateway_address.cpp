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

bool IsAddressLiteralChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
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
  std::string::size_type colon;
  if (!text.empty() && text[0] == '[') {
    // An IPv6 address, which the setup takes in brackets. The brackets stay
    // in the host: WinINet then connects to the address and names it
    // correctly in the Host header.
    const auto close = text.find(']');
    if (close == std::string::npos) return std::nullopt;
    const std::string literal = text.substr(1, close - 1);
    if (literal.find(':') == std::string::npos) return std::nullopt;
    for (char c : literal) {
      if (!IsAddressLiteralChar(c)) return std::nullopt;
    }
    address.host = text.substr(0, close + 1);
    colon = close + 1;
    if (colon == text.size()) {
      colon = std::string::npos;
    } else if (text[colon] != ':') {
      return std::nullopt;
    }
  } else {
    colon = text.find(':');
    address.host = text.substr(0, colon);
    if (address.host.empty()) return std::nullopt;
    for (char c : address.host) {
      if (!IsHostChar(c)) return std::nullopt;
    }
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
