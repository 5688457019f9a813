#pragma once
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "faults.h"

// Lets stalled handlers go as soon as the simulator stops.
class StopSignal {
 public:
  void Raise();
  // Waits for `limit` or until Raise; true when raised.
  bool WaitFor(std::chrono::milliseconds limit);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
};

struct FaultTiming {
  // How long "stall" and "stallbody" keep the client waiting.
  std::chrono::milliseconds stall{std::chrono::seconds(120)};
  // The gap between the bytes of "trickle".
  std::chrono::milliseconds trickle{std::chrono::seconds(1)};
};

// The size of the "huge" body: the reply, a line break and filler.
inline constexpr std::size_t kHugeBodyBytes = 10u << 20;

// Answers `request` with `reply` as `fault` plays it (any fault but
// "refuse", which has no server, and "stall", which the handler plays by
// not answering). Gives what the log shows as the reply: the body as sent,
// except that the filler of "huge" is left out.
std::string PlayFault(Fault fault, const std::string& reply, const httplib::Request& request,
                      httplib::Response& response, StopSignal& stop, const FaultTiming& timing);
