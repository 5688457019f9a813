#pragma once
#include <cstddef>
#include <string>

#include "platform/code_page.h"
#include "platform/ole_date.h"
#include "store/settings.h"

// The account and options that every gateway request carries.
struct GatewayAccount {
  std::string userName;
  std::string password;
  bool concatenate = false;
  bool unicode = false;
};

// Reads them now, as every request does, in one read of the settings.
GatewayAccount ReadGatewayAccount(Settings& settings, const CodePage& codePage);

// The gateway's script path.
inline constexpr char kGatewayScript[] = "/smsgateway.pl";
// Longest query (from "?user=" to "output=verbose") the gateway takes.
inline constexpr std::size_t kMaxQueryLength = 4095;

// Keeps the RFC 3986 unreserved characters and writes every other byte as
// %XX, so that no value can add parameters or break the request line.
std::string PercentEncode(const std::string& value);

// "?user=...&pass=...&to=...&message=...&concatenate=...&unicode=...&output=verbose"
std::string BuildGatewayQuery(const GatewayAccount& account, const std::string& phoneNumber,
                              const std::string& messageText);

// "&yy=YYYY&mm=MM&dd=DD&hour=HH&min=MM" of a UTC delivery time; seconds are
// not sent.
std::string ScheduleSuffix(const DateTime& utc);
