#include "fault_replies.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <thread>

void StopSignal::Raise() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopped_ = true;
  changed_.notify_all();
}

bool StopSignal::WaitFor(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return stopped_; });
}

namespace {

// Time for a piece written to reach the client as a read of its own before
// the next thing happens on the connection.
constexpr std::chrono::milliseconds kDeliveryPause(100);

void PlayChunked(httplib::Response& response, const std::string& reply) {
  response.set_chunked_content_provider("text/plain", [reply](std::size_t, httplib::DataSink& sink) {
    // Pieces a few bytes long and apart in time, so that they reach the
    // client as separate reads.
    for (std::size_t at = 0; at < reply.size(); at += 7) {
      const std::string piece = reply.substr(at, 7);
      if (!sink.write(piece.data(), piece.size())) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    sink.done();
    return true;
  });
}

void PlayHuge(httplib::Response& response, const std::string& reply) {
  const std::string head = reply + "\n";
  response.set_content_provider(
      kHugeBodyBytes, "text/plain", [head](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        std::string piece;
        if (offset < head.size()) piece = head.substr(offset);
        piece.resize(std::min<std::size_t>(length, 64 * 1024), 'x');
        return sink.write(piece.data(), piece.size());
      });
}

// httplib keeps the socket of a connection to itself; the request names
// both of its ports, so it is found among the process's descriptors.
int SocketOf(const httplib::Request& request) {
  std::unique_ptr<DIR, int (*)(DIR*)> fds(opendir("/proc/self/fd"), closedir);
  if (!fds) return -1;
  while (const dirent* entry = readdir(fds.get())) {
    const int fd = std::atoi(entry->d_name);
    sockaddr_in local{}, peer{};
    socklen_t localSize = sizeof local, peerSize = sizeof peer;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
        getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0 || local.sin_family != AF_INET) {
      continue;
    }
    if (ntohs(local.sin_port) == request.local_port && ntohs(peer.sin_port) == request.remote_port) return fd;
  }
  return -1;
}

// Connecting a TCP socket to AF_UNSPEC drops its connection with a reset
// and leaves the descriptor open for httplib to close as usual.
void Reset(int fd) {
  if (fd < 0) return;
  sockaddr none{};
  none.sa_family = AF_UNSPEC;
  connect(fd, &none, sizeof none);
}

// The first half of the reply, then what `cut` does to the connection;
// the announced length is the whole reply's.
void PlayCut(httplib::Response& response, const std::string& reply, std::function<void()> cut) {
  const std::string half = reply.substr(0, reply.size() / 2);
  response.set_content_provider(reply.size(), "text/plain",
                                [half, cut](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                  if (offset == 0) return sink.write(half.data(), half.size());
                                  std::this_thread::sleep_for(kDeliveryPause);
                                  cut();
                                  return false;
                                });
}

void PlayTrickle(httplib::Response& response, const std::string& reply, StopSignal& stop,
                 std::chrono::milliseconds gap) {
  response.set_content_provider(
      reply.size(), "text/plain", [reply, &stop, gap](std::size_t offset, std::size_t, httplib::DataSink& sink) {
        if (offset > 0 && stop.WaitFor(gap)) return false;
        return sink.write(reply.data() + offset, 1);
      });
}

}  // namespace

std::string PlayFault(Fault fault, const std::string& reply, const httplib::Request& request,
                      httplib::Response& response, StopSignal& stop, const FaultTiming& timing) {
  response.status = 200;
  switch (fault) {
    case Fault::kStatus500:
      response.status = 500;
      response.set_content("Internal Server Error: gateway database unavailable", "text/plain");
      return response.body;
    case Fault::kHtml:
      response.set_content("<html><body><h1>Gateway under maintenance</h1></body></html>", "text/html");
      return response.body;
    case Fault::kGarbage:
      response.set_content(std::string("\x89PNG\r\n\x1a\n\x00\x01\xfe\xff garbage", 18),
                           "application/octet-stream");
      return response.body;
    case Fault::kHuge:
      PlayHuge(response, reply);
      return reply + "\n";
    case Fault::kChunked:
      PlayChunked(response, reply);
      return reply;
    case Fault::kNul:
      response.set_content(reply + std::string(1, '\0') + ",after the NUL", "text/plain");
      return response.body;
    case Fault::kStallBody: {
      const auto limit = timing.stall;
      PlayCut(response, reply, [&stop, limit] { stop.WaitFor(limit); });
      return reply.substr(0, reply.size() / 2);
    }
    case Fault::kReset: {
      const int fd = SocketOf(request);
      PlayCut(response, reply, [fd] { Reset(fd); });
      return reply.substr(0, reply.size() / 2);
    }
    case Fault::kTrickle:
      PlayTrickle(response, reply, stop, timing.trickle);
      return reply;
    case Fault::kClose: {
      // The answer httplib writes after this goes nowhere.
      const int fd = SocketOf(request);
      if (fd >= 0) shutdown(fd, SHUT_RDWR);
      return {};
    }
    default:
      response.set_content(reply, "text/plain");
      return reply;
  }
}
