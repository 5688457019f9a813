#pragma once
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

// The network between a client and the simulator, modelled on loopback:
// every new connection waits one round-trip time before its first request
// is read (the connection set-up), every reply waits one more (the round
// trip of the exchange). Connections and requests are counted, and the
// totals are kept in a stats file when one is named.
class NetworkModel {
 public:
  NetworkModel(std::chrono::milliseconds roundTrip, std::string statsPath);
  NetworkModel(const NetworkModel&) = delete;
  NetworkModel& operator=(const NetworkModel&) = delete;

  // Makes `server` go through the model: its connections are counted and
  // delayed, served by `threads` workers, and kept open for any number of
  // requests so that a client may send a whole run over one.
  void Install(httplib::Server& server, size_t threads);
  // A handler calls it once per request, before it answers.
  void BeforeReply();

  long Connections() const { return connections_; }
  long Requests() const { return requests_; }
  // The connection (numbered from 1 in order of arrival) that the calling
  // handler serves; 0 outside a connection.
  static long CurrentConnection();
  bool ok() const { return statsOk_; }

 private:
  class CountingQueue;
  void WriteStats();

  const std::chrono::milliseconds roundTrip_;
  const std::string statsPath_;
  std::atomic<long> connections_{0};
  std::atomic<long> requests_{0};
  std::mutex statsMutex_;
  bool statsOk_ = true;
};
