#include "gateway/wininet_exchange_win.h"

#include "gateway/internet_session_win.h"
#include "gateway/reply_body.h"

#include <algorithm>

// Callers test the gateway client's status as the HRESULT it is.
static_assert(kStatusOk == S_OK && kStatusFail == E_FAIL);

namespace {

constexpr DWORD kChunkBytes = 2048;
// The tick count moves in steps of about 16 ms.
constexpr ULONGLONG kTimerSlackMs = 100;

// Some WinINet implementations report an expired receive time-out as an
// aborted connection, so a failure that took the whole time-out counts as
// one too.
HttpReply::Outcome OutcomeOfSendError(DWORD error, bool tookTheWholeTimeout) {
  if (error == ERROR_INTERNET_TIMEOUT || tookTheWholeTimeout) return HttpReply::Outcome::kTimedOut;
  switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return HttpReply::Outcome::kUnreachable;
    default:
      return HttpReply::Outcome::kInvalidAnswer;
  }
}

HttpReply Failed(HttpReply::Outcome outcome) {
  HttpReply reply;
  reply.outcome = outcome;
  return reply;
}

}  // namespace

WinInetExchange::WinInetExchange(DWORD timeoutMs) : timeoutMs_(timeoutMs) {}

WinInetExchange::~WinInetExchange() { Release(); }

void WinInetExchange::Release() {
  // Children before their parents.
  request_.reset();
  connection_.reset();
}

bool WinInetExchange::Open(const std::string& host, unsigned short port, const std::string& target) {
  HINTERNET internet = internet_session::Acquire(timeoutMs_);
  if (!internet) return false;
  connection_.reset(InternetConnectA(internet, host.c_str(), port, nullptr, nullptr,
                                     INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection_) return false;
  internet_session::SetTimeouts(connection_.get(), timeoutMs_);
  // Every request is a new message: a cached answer would claim a send
  // that never reached the gateway. The gateway keeps no session, and
  // skipping the cookie store saves milliseconds per message.
  request_.reset(HttpOpenRequestA(connection_.get(), "GET", target.c_str(), "HTTP/1.1", nullptr, nullptr,
                                  INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES,
                                  0));
  if (!request_) return false;
  internet_session::SetTimeouts(request_.get(), timeoutMs_);
  return true;
}

HttpReply WinInetExchange::Get(const std::string& host, unsigned short port, const std::string& target) {
  Release();
  const ULONGLONG start = GetTickCount64();
  if (!Open(host, port, target)) return Failed(HttpReply::Outcome::kUnreachable);
  if (!HttpSendRequestA(request_.get(), nullptr, 0, nullptr, 0)) {
    const DWORD error = GetLastError();
    return Failed(OutcomeOfSendError(error, GetTickCount64() - start + kTimerSlackMs >= timeoutMs_));
  }
  HttpReply reply;
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoW(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr)) {
    return Failed(HttpReply::Outcome::kInvalidAnswer);
  }
  reply.outcome = HttpReply::Outcome::kAnswered;
  reply.status = status;
  const auto body = ReadBody(start + timeoutMs_);
  if (!body) return Failed(lastReadOutcome_);
  reply.body = *body;
  return reply;
}

// WinINet's receive time-out restarts with every byte that arrives, so a
// reply that trickles in never meets it: the exchange as a whole has the
// time-out as its deadline, checked between reads. Each read takes only
// what has arrived, as a read of more blocks (under Wine) until all of it
// is there.
std::optional<std::string> WinInetExchange::ReadBody(ULONGLONG deadline) {
  ReplyBody body;
  char chunk[kChunkBytes];
  while (const DWORD wanted = static_cast<DWORD>(body.NextReadSize(kChunkBytes))) {
    if (GetTickCount64() >= deadline) {
      lastReadOutcome_ = HttpReply::Outcome::kTimedOut;
      return std::nullopt;
    }
    const ULONGLONG start = GetTickCount64();
    DWORD available = 0;
    DWORD read = 0;
    if (!InternetQueryDataAvailable(request_.get(), &available, 0, 0) ||
        (available > 0 && !InternetReadFile(request_.get(), chunk, std::min(wanted, available), &read))) {
      // A body cut short is no answer: its first half may well read as an
      // acceptance.
      const DWORD error = GetLastError();
      lastReadOutcome_ = error == ERROR_INTERNET_TIMEOUT || GetTickCount64() - start + kTimerSlackMs >= timeoutMs_
                             ? HttpReply::Outcome::kTimedOut
                             : HttpReply::Outcome::kInvalidAnswer;
      return std::nullopt;
    }
    if (read == 0) break;
    body.Append(chunk, read);
  }
  return body.TakeText();
}

std::unique_ptr<HTTPManager> MakeHTTPManager(Settings& settings, const CodePage& codePage,
                                             const Clock& clock, DWORD timeoutMs) {
  return std::make_unique<HTTPManager>(settings, codePage, clock,
                                       std::make_unique<WinInetExchange>(timeoutMs));
}
