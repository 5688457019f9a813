#pragma once
#include <string>

// What one plain-HTTP GET to the gateway produced. The Windows adapter
// performs it with WinINet; tests use fakes.
struct HttpReply {
  enum class Outcome {
    kAnswered,      // a status line arrived; `status` and `body` are valid
    kUnreachable,   // no connection could be made (refused, unknown host)
    kTimedOut,      // connected, but no answer within the time-out
    kInvalidAnswer  // something arrived that is not an HTTP answer
  };
  Outcome outcome = Outcome::kUnreachable;
  unsigned long status = 0;
  std::string body;
};

class HttpExchange {
 public:
  virtual ~HttpExchange() = default;
  virtual HttpReply Get(const std::string& host, unsigned short port, const std::string& target) = 0;
};
