// The exchange's deadline against a gateway that sends its status line and
// headers one byte at a time: WinINet reads them inside one call, whose
// receive time-out restarts with every byte. The server is a Winsock thread
// of this process, as the simulator's HTTP library always writes its status
// line in one piece.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "gateway/internet_session_win.h"
#include "gateway/wininet_exchange_win.h"
#include "support/wait.h"

namespace {

constexpr DWORD kTimeoutMs = 1500;
// Without a deadline of its own the exchange would last as long as the
// server trickles; the server gives up well after any sound deadline.
constexpr auto kServerGivesUpAfter = std::chrono::seconds(12);
constexpr auto kByteGap = std::chrono::milliseconds(100);

// Accepts one connection, reads the request and then sends `prefix` one
// byte per gap followed by an endless header line, until it gives up, the
// client goes or the server is destroyed. With no gap it sends `prefix`
// whole and closes.
class TricklingServer {
 public:
  explicit TricklingServer(std::string prefix, std::chrono::milliseconds gap = kByteGap)
      : prefix_(std::move(prefix)), gap_(gap) {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 1) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }

  ~TricklingServer() {
    stop_ = true;
    closesocket(listener_);
    if (thread_.joinable()) thread_.join();
    if (started_) WSACleanup();
  }

  unsigned short Port() const { return port_; }
  // Bytes sent before the client went or the server stopped.
  int BytesSent() const { return sent_.load(); }

 private:
  void Serve() {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, got);
    }
    if (gap_.count() == 0) {
      if (send(client, prefix_.data(), static_cast<int>(prefix_.size()), 0) > 0) sent_ = static_cast<int>(prefix_.size());
      shutdown(client, SD_SEND);
      closesocket(client);
      return;
    }
    const std::string stream = prefix_ + "X-Padding: ";
    const auto giveUp = std::chrono::steady_clock::now() + kServerGivesUpAfter;
    for (std::size_t i = 0; !stop_ && std::chrono::steady_clock::now() < giveUp; ++i) {
      const char byte = i < stream.size() ? stream[i] : 'a';
      if (send(client, &byte, 1, 0) != 1) break;
      ++sent_;
      std::this_thread::sleep_for(gap_);
    }
    closesocket(client);
  }

  std::string prefix_;
  std::chrono::milliseconds gap_;
  bool started_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> sent_{0};
  std::thread thread_;
};

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST(ExchangeDeadline, TricklingStatusLineAndHeadersEndAtTheTimeOut) {
  // The status line itself, then headers that never end.
  for (const char* prefix : {"", "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"}) {
    SCOPED_TRACE(*prefix ? "headers" : "status line");
    TricklingServer server(prefix);
    ASSERT_NE(server.Port(), 0);
    WinInetExchange exchange(kTimeoutMs);
    const auto start = std::chrono::steady_clock::now();
    const HttpReply reply = exchange.Get("127.0.0.1", server.Port(), "/sms?to=1");
    const long long took = MillisecondsSince(start);
    EXPECT_EQ(reply.outcome, HttpReply::Outcome::kTimedOut);
    EXPECT_GE(took, kTimeoutMs - 200);
    // Slack for a loaded machine, far below the server's patience.
    EXPECT_LT(took, kTimeoutMs + 3000);
    EXPECT_GT(server.BytesSent(), 3) << "the server did trickle";
  }
}

TEST(ExchangeDeadline, AnExchangeAfterATimedOutOneStillWorks) {
  {
    TricklingServer server("");
    WinInetExchange exchange(kTimeoutMs);
    EXPECT_EQ(exchange.Get("127.0.0.1", server.Port(), "/a").outcome, HttpReply::Outcome::kTimedOut);
  }
  // A server that answers at once, one whole reply.
  TricklingServer quick("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK",
                        std::chrono::milliseconds(0));
  WinInetExchange exchange(kTimeoutMs);
  const HttpReply reply = exchange.Get("127.0.0.1", quick.Port(), "/b");
  EXPECT_EQ(reply.outcome, HttpReply::Outcome::kAnswered);
  EXPECT_EQ(reply.status, 200u);
  EXPECT_EQ(reply.body, "OK");
}

// Records how it was asked to wait and waits for the signal alone.
class RecordingWait : public ExchangeWait {
 public:
  bool Wait(HANDLE done, DWORD ms) override {
    ++waits;
    waitedMs = ms;
    threadOfWait = GetCurrentThreadId();
    return WaitForSingleObject(done, ms) == WAIT_OBJECT_0;
  }
  int waits = 0;
  DWORD waitedMs = 0;
  DWORD threadOfWait = 0;
};

TEST(ExchangeDeadline, EachExchangeIsWaitedForOnceOnTheCallersThreadUpToItsDeadline) {
  TricklingServer quick("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK",
                        std::chrono::milliseconds(0));
  RecordingWait wait;
  WinInetExchange exchange(kTimeoutMs, &wait);
  EXPECT_EQ(exchange.Get("127.0.0.1", quick.Port(), "/a").body, "OK");
  EXPECT_EQ(wait.waits, 1);
  EXPECT_EQ(wait.threadOfWait, GetCurrentThreadId());
  // The time-out and the grace for WinINet's own time-outs, less what
  // submitting took.
  EXPECT_LE(wait.waitedMs, kTimeoutMs + 500);
  EXPECT_GT(wait.waitedMs, kTimeoutMs);

  TricklingServer stalled("");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(exchange.Get("127.0.0.1", stalled.Port(), "/b").outcome, HttpReply::Outcome::kTimedOut);
  EXPECT_EQ(wait.waits, 2);
  EXPECT_LT(MillisecondsSince(start), kTimeoutMs + 3000) << "abandoned at its deadline at the latest";
}

// An answered exchange closes its own handles: an idle client holds none
// between messages, so the DLL may be unloaded then.
TEST(ExchangeDeadline, AnAnsweredExchangeLetsGoOfItsHandlesWhileTheClientLives) {
  TricklingServer quick("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK",
                        std::chrono::milliseconds(0));
  WinInetExchange exchange(kTimeoutMs);
  ASSERT_EQ(exchange.Get("127.0.0.1", quick.Port(), "/a").body, "OK");
  EXPECT_TRUE(WaitUntil([] { return !internet_session::InUse(); }));
}

bool IsOpenInternetHandle(HINTERNET handle) {
  DWORD type = 0;
  DWORD size = sizeof type;
  return InternetQueryOptionW(handle, INTERNET_OPTION_HANDLE_TYPE, &type, &size) &&
         type == INTERNET_HANDLE_TYPE_INTERNET;
}

// Disconnection closes the session while an exchange may still be left
// behind in WinINet: its connection and request must not outlive their
// parent, whose freed value a new session could get.
TEST(ExchangeDeadline, TheSessionClosedUnderAnExchangeLeftBehindLastsUntilThatExchangeEnds) {
  const HINTERNET root = internet_session::Acquire(kTimeoutMs).get();
  ASSERT_NE(root, nullptr);
  auto server = std::make_unique<TricklingServer>("");
  WinInetExchange exchange(kTimeoutMs);
  ASSERT_EQ(exchange.Get("127.0.0.1", server->Port(), "/a").outcome, HttpReply::Outcome::kTimedOut);
  EXPECT_TRUE(internet_session::InUse()) << "the exchange was left behind";

  internet_session::Close();
  EXPECT_TRUE(IsOpenInternetHandle(root)) << "closed under the exchange's children";
  server.reset();
  EXPECT_TRUE(WaitUntil([] { return !internet_session::InUse(); })) << "the exchange let go";
  EXPECT_FALSE(IsOpenInternetHandle(root)) << "closed with the last exchange that held it";
}

}  // namespace
