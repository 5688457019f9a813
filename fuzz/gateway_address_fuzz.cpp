// The "GatewayHost" setting as a user may have typed it.
#include <string>

#include "fuzz_check.h"
#include "gateway/gateway_address.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string setting(reinterpret_cast<const char*>(data), size);
  const auto address = ParseGatewayAddress(setting);
  if (!address) return 0;
  FUZZ_CHECK(!address->host.empty() && address->port != 0);
  FUZZ_CHECK(setting.find(address->host) != std::string::npos);
  // What the report says of an address reads back as that address.
  const auto again = ParseGatewayAddress(DescribeGatewayAddress(*address));
  FUZZ_CHECK(again && again->host == address->host && again->port == address->port);
  return 0;
}
