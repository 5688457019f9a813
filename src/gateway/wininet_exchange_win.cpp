#include "gateway/wininet_exchange_win.h"

#include "platform/handles_win.h"
#include "gateway/internet_session_win.h"
#include "gateway/reply_body.h"

#include <algorithm>
#include <atomic>
#include <optional>

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

HttpReply Failed(HttpReply::Outcome outcome, bool requestSent = false) {
  HttpReply reply;
  reply.outcome = outcome;
  reply.requestSent = requestSent;
  return reply;
}

}  // namespace

// One exchange: its handles, its deadline and what it gave. The pool's
// work item fills `reply` and then signals `done`; whoever waits reads the
// reply only after the signal.
struct WinInetExchange::Attempt {
  DWORD timeoutMs;
  ULONGLONG start;
  std::string host;
  unsigned short port;
  std::string target;
  HttpReply reply;
  // Keeps the internet handle open while this exchange's children live.
  internet_session::Share session;
  unique_hinternet connection;
  unique_hinternet request;
  HttpReply::Outcome lastReadOutcome = HttpReply::Outcome::kInvalidAnswer;
  UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  // Set by WinINet's status callback as it starts writing the request:
  // from then on the gateway may have the message, whatever follows.
  std::atomic<bool> requestSent{false};

  ~Attempt() { CloseHandles(); }

  void CloseHandles() {
    // Children before their parents.
    request.reset();
    connection.reset();
    session = internet_session::Share();
  }

  void Run() {
    reply = Open() ? Exchange() : Failed(HttpReply::Outcome::kUnreachable);
    reply.requestSent = requestSent.load();
  }
  // Runs the exchange here, catching what it throws, signals it done and
  // then closes its handles.
  void RunGuarded();
  // Waits through `wait` until the exchange is done or its deadline (the
  // time-out and a short grace for WinINet's own time-outs) has passed;
  // false when it was abandoned.
  bool AwaitDone(ExchangeWait& wait) const;

 private:
  bool Open();
  HttpReply Exchange();
  // The body up to ReplyBody's cap; nullopt when a read failed or the
  // deadline (a tick count) passed first, lastReadOutcome saying which.
  std::optional<std::string> ReadBody(ULONGLONG deadline);
};

namespace {

// Past the deadline the exchange's own time-outs get this long to end it
// before it is abandoned.
constexpr DWORD kAbandonAfterMs = 500;

class BlockingWait : public ExchangeWait {
 public:
  bool Wait(HANDLE done, DWORD ms) override { return WaitForSingleObject(done, ms) == WAIT_OBJECT_0; }
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void*, DWORD) {
  if (status == INTERNET_STATUS_SENDING_REQUEST && context) {
    reinterpret_cast<WinInetExchange::Attempt*>(context)->requestSent = true;
  }
}

struct AttemptJob {
  std::shared_ptr<WinInetExchange::Attempt> attempt;
  // Keeps this module loaded while an abandoned exchange still runs in it.
  HMODULE module;
};

// On a thread of the system's pool: a thread per message costs about a
// millisecond under Wine, as much as the rest of an exchange on a LAN.
void CALLBACK RunAttempt(PTP_CALLBACK_INSTANCE instance, void* argument) {
  auto* job = static_cast<AttemptJob*>(argument);
  if (job->module) FreeLibraryWhenCallbackReturns(instance, job->module);
  const std::shared_ptr<WinInetExchange::Attempt> attempt = std::move(job->attempt);
  delete job;
  attempt->RunGuarded();
}

HMODULE ReferenceThisModule() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&RunAttempt),
                          &module)) {
    return nullptr;
  }
  return module;
}

}  // namespace

void WinInetExchange::Attempt::RunGuarded() {
  try {
    Run();
  } catch (...) {
    // Counts as unreachable, the request having gone out or not.
    reply = Failed(HttpReply::Outcome::kUnreachable, requestSent.load());
  }
  SetEvent(done.get());
  // Every message has a connection of its own, so there is nothing to hand
  // back for the next one. Closing here, after the signal, takes the
  // socket's close (about a tenth of a millisecond under Wine) off the
  // sender's path; the caller reads only `reply`, which is complete.
  CloseHandles();
}

bool WinInetExchange::Attempt::AwaitDone(ExchangeWait& wait) const {
  const ULONGLONG deadline = start + timeoutMs + kAbandonAfterMs;
  const ULONGLONG now = GetTickCount64();
  return wait.Wait(done.get(), static_cast<DWORD>(now < deadline ? deadline - now : 0));
}

WinInetExchange::WinInetExchange(DWORD timeoutMs, ExchangeWait* wait) : timeoutMs_(timeoutMs), wait_(wait) {}

WinInetExchange::~WinInetExchange() = default;

bool WinInetExchange::Attempt::Open() {
  session = internet_session::Acquire(timeoutMs);
  if (!session) return false;
  connection.reset(InternetConnectA(session.get(), host.c_str(), port, nullptr, nullptr,
                                    INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return false;
  internet_session::SetTimeouts(connection.get(), timeoutMs);
  // Every request is a new message: a cached answer would claim a send
  // that never reached the gateway. The gateway keeps no session, and
  // skipping the cookie store saves milliseconds per message.
  request.reset(HttpOpenRequestA(connection.get(), "GET", target.c_str(), "HTTP/1.1", nullptr, nullptr,
                                 INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES,
                                 reinterpret_cast<DWORD_PTR>(this)));
  if (!request) return false;
  // WinINet reports the request's progress to the handle's callback, also
  // on a synchronous handle; only the callback knows whether a failed
  // exchange got as far as writing the request.
  InternetSetStatusCallbackA(request.get(), OnStatus);
  internet_session::SetTimeouts(request.get(), timeoutMs);
  return true;
}

HttpReply WinInetExchange::Get(const std::string& host, unsigned short port, const std::string& target) {
  auto attempt = std::make_shared<Attempt>();
  attempt->timeoutMs = timeoutMs_;
  attempt->start = GetTickCount64();
  attempt->host = host;
  attempt->port = port;
  attempt->target = target;
  auto* job = new AttemptJob{attempt, ReferenceThisModule()};
  if (!attempt->done.valid() || !TrySubmitThreadpoolCallback(RunAttempt, job, nullptr)) {
    // Without the pool the exchange runs here, bounded only by the receive
    // time-out.
    if (job->module) FreeLibrary(job->module);
    delete job;
    attempt->RunGuarded();
    return attempt->reply;
  }
  BlockingWait blocking;
  if (!attempt->AwaitDone(wait_ ? *wait_ : blocking)) {
    // The work item ends by itself once WinINet lets go, and frees the
    // attempt; what the gateway sends by then is no longer awaited. Its
    // request may still go out after this, so the gateway may have it.
    return Failed(HttpReply::Outcome::kTimedOut, true);
  }
  return attempt->reply;
}

HttpReply WinInetExchange::Attempt::Exchange() {
  // A fresh connection for every message. WinINet sends a request again,
  // by itself, when a kept-alive connection closes without an answer; the
  // gateway may have taken the first one, and the patient would get the
  // message twice. On a connection of its own a close stays a close.
  static const char kCloseAfterReply[] = "Connection: close\r\n";
  if (!HttpSendRequestA(request.get(), kCloseAfterReply, sizeof kCloseAfterReply - 1, nullptr, 0)) {
    const DWORD error = GetLastError();
    return Failed(OutcomeOfSendError(error, GetTickCount64() - start + kTimerSlackMs >= timeoutMs));
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr)) {
    return Failed(HttpReply::Outcome::kInvalidAnswer);
  }
  // A connection closed before any status line still gives a "status" of 0.
  if (status == 0) return Failed(HttpReply::Outcome::kNoAnswer);
  HttpReply answered;
  answered.outcome = HttpReply::Outcome::kAnswered;
  answered.status = status;
  const auto body = ReadBody(start + timeoutMs);
  if (!body) return Failed(lastReadOutcome);
  answered.body = *body;
  return answered;
}

// WinINet's receive time-out restarts with every byte that arrives, so a
// reply that trickles in never meets it: the exchange as a whole has the
// time-out as its deadline, checked between reads. Each read takes only
// what has arrived, as a read of more blocks (under Wine) until all of it
// is there.
std::optional<std::string> WinInetExchange::Attempt::ReadBody(ULONGLONG deadline) {
  ReplyBody body;
  char chunk[kChunkBytes];
  while (const DWORD wanted = static_cast<DWORD>(body.NextReadSize(kChunkBytes))) {
    if (GetTickCount64() >= deadline) {
      lastReadOutcome = HttpReply::Outcome::kTimedOut;
      return std::nullopt;
    }
    const ULONGLONG readStart = GetTickCount64();
    DWORD available = 0;
    DWORD read = 0;
    if (!InternetQueryDataAvailable(request.get(), &available, 0, 0) ||
        (available > 0 && !InternetReadFile(request.get(), chunk, std::min(wanted, available), &read))) {
      // A body cut short is no answer: its first half may well read as an
      // acceptance.
      const DWORD error = GetLastError();
      lastReadOutcome = error == ERROR_INTERNET_TIMEOUT || GetTickCount64() - readStart + kTimerSlackMs >= timeoutMs
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
