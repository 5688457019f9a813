#pragma once
#include <memory>
#include <string>

#include <windows.h>

#include "gateway/http_exchange.h"
#include "gateway/http_manager.h"

// One plain-HTTP GET per call over WinINet, on the process's internet
// handle (internet_session). The connection and request handles of an
// exchange stay open until the next exchange or destruction; closing them
// hands the connection back to WinINet for the next message.
//
// An exchange never takes much longer than the time-out: WinINet reads the
// status line and headers inside one call whose receive time-out restarts
// with every byte, and closing a handle does not end that call under every
// WinINet, so the call runs on a thread of the system's pool that is left
// to finish by itself when the deadline passes.
class WinInetExchange : public HttpExchange {
 public:
  // A gateway that takes the connection but never answers must not hold
  // the mail client's window for ever.
  static constexpr DWORD kDefaultTimeoutMs = 30000;

  explicit WinInetExchange(DWORD timeoutMs = kDefaultTimeoutMs);
  ~WinInetExchange() override;

  HttpReply Get(const std::string& host, unsigned short port, const std::string& target) override;

  // One exchange's handles and what it gave, shared with its thread.
  struct Attempt;

 private:
  DWORD timeoutMs_;
  std::shared_ptr<Attempt> last_;
};

// The gateway client of the send flows, over WinINet.
std::unique_ptr<HTTPManager> MakeHTTPManager(Settings& settings, const CodePage& codePage,
                                             const Clock& clock,
                                             DWORD timeoutMs = WinInetExchange::kDefaultTimeoutMs);
