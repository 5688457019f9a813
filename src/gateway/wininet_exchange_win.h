#pragma once
#include <memory>
#include <string>

#include <windows.h>

#include "gateway/http_exchange.h"
#include "gateway/http_manager.h"

// How the calling thread spends an exchange's wait. By default it blocks;
// a dialog's send run keeps its window's messages moving meanwhile
// (ResponsiveSend).
class ExchangeWait {
 public:
  virtual ~ExchangeWait() = default;
  // Returns once `done` is signalled (true) or `ms` have passed (false).
  virtual bool Wait(HANDLE done, DWORD ms) = 0;
};

// One plain-HTTP GET per call over WinINet, on the process's internet
// handle (internet_session). Each exchange has a connection of its own,
// whose handles it closes itself once its reply is handed over.
//
// Each exchange is one work item of the system's thread pool, which
// signals an event when it is done; the caller waits on that event through
// its ExchangeWait. An exchange never takes much longer than the time-out:
// WinINet reads the status line and headers inside one call whose receive
// time-out restarts with every byte, and closing a handle does not end
// that call under every WinINet, so the exchange owns its deadline and,
// once it has passed, is abandoned and left to finish by itself.
class WinInetExchange : public HttpExchange {
 public:
  // A gateway that takes the connection but never answers must not hold
  // the mail client's window for ever.
  static constexpr DWORD kDefaultTimeoutMs = 30000;

  // `wait` (not owned) must outlive the exchange; none blocks the caller.
  explicit WinInetExchange(DWORD timeoutMs = kDefaultTimeoutMs, ExchangeWait* wait = nullptr);
  ~WinInetExchange() override;

  HttpReply Get(const std::string& host, unsigned short port, const std::string& target) override;

  // One exchange's handles and what it gave, shared with its thread.
  struct Attempt;

 private:
  DWORD timeoutMs_;
  ExchangeWait* wait_;
};

// The gateway client of the send flows, over WinINet.
std::unique_ptr<HTTPManager> MakeHTTPManager(Settings& settings, const CodePage& codePage,
                                             const Clock& clock,
                                             DWORD timeoutMs = WinInetExchange::kDefaultTimeoutMs);
