#pragma once
#include <memory>
#include <optional>
#include <string>

#include "gateway/http_exchange.h"
#include "gateway/http_manager.h"
#include "gateway/internet_handle_win.h"

// One plain-HTTP GET per call over WinINet, on the process's internet
// handle (internet_session). The connection and request handles of an
// exchange stay open until the next exchange or destruction; closing them
// hands the connection back to WinINet for the next message.
class WinInetExchange : public HttpExchange {
 public:
  // A gateway that takes the connection but never answers must not hold
  // the mail client's window for ever.
  static constexpr DWORD kDefaultTimeoutMs = 30000;

  explicit WinInetExchange(DWORD timeoutMs = kDefaultTimeoutMs);
  ~WinInetExchange() override;

  HttpReply Get(const std::string& host, unsigned short port, const std::string& target) override;

 private:
  void Release();
  bool Open(const std::string& host, unsigned short port, const std::string& target);
  // The body up to ReplyBody's cap; nullopt when a read failed or the
  // deadline (a tick count) passed first, lastReadOutcome_ saying which.
  std::optional<std::string> ReadBody(ULONGLONG deadline);

  DWORD timeoutMs_;
  unique_hinternet connection_;
  unique_hinternet request_;
  HttpReply::Outcome lastReadOutcome_ = HttpReply::Outcome::kInvalidAnswer;
};

// The gateway client of the send flows, over WinINet.
std::unique_ptr<HTTPManager> MakeHTTPManager(Settings& settings, const CodePage& codePage,
                                             const Clock& clock,
                                             DWORD timeoutMs = WinInetExchange::kDefaultTimeoutMs);
