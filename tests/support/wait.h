#pragma once
#include <chrono>
#include <functional>
#include <thread>

// Polls `condition` until it holds or `timeout` has passed; true when it
// held. Tests wait for what they need with this instead of sleeping a fixed
// time: a loaded machine gets longer, a quiet one waits for nothing.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
