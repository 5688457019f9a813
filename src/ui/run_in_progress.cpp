#include "ui/run_in_progress.h"

#include <atomic>
#include <utility>
#include <vector>

namespace {

// A count, not a flag, so that a scope taken inside another ends neither.
std::atomic<int> g_runs{0};

std::vector<std::function<void()>>& Pending() {
  static std::vector<std::function<void()>> pending;
  return pending;
}

}  // namespace

RunInProgress::RunInProgress() { ++g_runs; }

RunInProgress::~RunInProgress() {
  if (--g_runs > 0) return;
  std::vector<std::function<void()>> due = std::move(Pending());
  Pending().clear();
  for (auto& action : due) action();
}

bool RunInProgress::Now() { return g_runs.load() > 0; }

void RunInProgress::WhenOver(std::function<void()> action) {
  if (Now()) {
    Pending().push_back(std::move(action));
  } else {
    action();
  }
}
