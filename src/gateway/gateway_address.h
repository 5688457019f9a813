#pragma once
#include <optional>
#include <string>

// Where the SMS gateway listens: setting "GatewayHost" as "host" or
// "host:port", the host possibly "[IPv6 address]".
struct GatewayAddress {
  std::string host;
  unsigned short port = 80;
};

// nullopt when the text is not a host name, or a bracketed IPv6 address,
// with an optional decimal port from 1 to 65535. Blanks around the text are
// ignored. An IPv6 host keeps its brackets.
std::optional<GatewayAddress> ParseGatewayAddress(const std::string& setting);

std::string DescribeGatewayAddress(const GatewayAddress& address);
