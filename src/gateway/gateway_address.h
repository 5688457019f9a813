#pragma once
#include <optional>
#include <string>

// Where the SMS gateway listens: setting "GatewayHost" as "host" or
// "host:port".
struct GatewayAddress {
  std::string host;
  unsigned short port = 80;
};

// nullopt when the text is not a host name with an optional decimal port
// from 1 to 65535. Blanks around the text are ignored.
std::optional<GatewayAddress> ParseGatewayAddress(const std::string& setting);

std::string DescribeGatewayAddress(const GatewayAddress& address);
