#pragma once
#include <string>

// What one plain-HTTP GET to the gateway produced. The Windows adapter
// performs it with WinINet; tests use fakes.
struct HttpReply {
  enum class Outcome {
    kAnswered,      // a status line arrived; `status` and `body` are valid
    kUnreachable,   // no connection could be made (refused, unknown host)
    kTimedOut,      // connected, but no answer within the time-out
    kInvalidAnswer,  // something arrived that is not an HTTP answer
    kNoAnswer        // the request went out and the connection closed without an answer
  };
  Outcome outcome = Outcome::kUnreachable;
  // The request was handed to the network, so the gateway may have it
  // whatever came back (or did not). False only when it certainly never
  // left: the name was not resolved, the connection was refused.
  bool requestSent = false;
  unsigned long status = 0;
  std::string body;
};

class HttpExchange {
 public:
  virtual ~HttpExchange() = default;
  virtual HttpReply Get(const std::string& host, unsigned short port, const std::string& target) = 0;
};
