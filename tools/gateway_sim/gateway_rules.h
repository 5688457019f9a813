#pragma once
#include <string>

#include "query.h"

// The account the simulated gateway expects; empty fields accept anything.
struct GatewayAccountRule {
  std::string user;
  std::string password;
};

// The gateway's verbose reply to one request: "accepted,...", "rejected,..."
// (numbers in the reserved range 555... with a summary line, malformed
// numbers without), or "error,..." (wrong account, missing number or text,
// malformed Unicode text).
std::string GatewayReply(const QueryParameters& parameters, const GatewayAccountRule& account,
                         unsigned long messageId);
