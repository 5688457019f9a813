#pragma once
#include <string_view>

// Whether the text a person types as the SMS gateway's address (in the
// setup program) is "host" or "host:port": a host name, an IPv4 address or
// a bracketed IPv6 address, and a decimal port from 1 to 65535. Nothing
// else: no scheme, user part, path or blanks.
bool IsGatewayEntry(std::u16string_view entry);
