#include "network_model.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

namespace {

thread_local long currentConnection = 0;

}  // namespace

// httplib hands every accepted connection to the task queue once, and a
// worker serves all of its requests: the place to count and delay it.
class NetworkModel::CountingQueue : public httplib::TaskQueue {
 public:
  CountingQueue(NetworkModel& model, size_t threads) : model_(model), workers_(threads) {}

  void enqueue(std::function<void()> serve) override {
    const long number = ++model_.connections_;
    model_.WriteStats();
    workers_.enqueue([this, number, serve = std::move(serve)] {
      currentConnection = number;
      std::this_thread::sleep_for(model_.roundTrip_);
      serve();
      currentConnection = 0;
    });
  }
  void shutdown() override { workers_.shutdown(); }

 private:
  NetworkModel& model_;
  httplib::ThreadPool workers_;
};

NetworkModel::NetworkModel(std::chrono::milliseconds roundTrip, std::string statsPath)
    : roundTrip_(roundTrip), statsPath_(std::move(statsPath)) {
  WriteStats();
}

void NetworkModel::Install(httplib::Server& server, size_t threads) {
  server.new_task_queue = [this, threads] { return new CountingQueue(*this, threads); };
  // httplib closes a connection after five requests by default.
  server.set_keep_alive_max_count(1000000);
}

void NetworkModel::BeforeReply() {
  ++requests_;
  WriteStats();
  std::this_thread::sleep_for(roundTrip_);
}

long NetworkModel::CurrentConnection() { return currentConnection; }

void NetworkModel::WriteStats() {
  if (statsPath_.empty()) return;
  std::lock_guard<std::mutex> lock(statsMutex_);
  // Written whole under a temporary name, so that a reader never sees half.
  const std::string temporary = statsPath_ + ".tmp";
  {
    std::ofstream file(temporary, std::ios::trunc);
    file << "connections " << connections_ << "\nrequests " << requests_ << "\n";
    statsOk_ = statsOk_ && file.good();
  }
  statsOk_ = statsOk_ && std::rename(temporary.c_str(), statsPath_.c_str()) == 0;
}
