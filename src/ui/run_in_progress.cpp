#include "ui/run_in_progress.h"

#include <atomic>
#include <map>
#include <utility>
#include <vector>

namespace {

// A count, not a flag, so that a scope taken inside another ends neither.
std::atomic<int> g_runs{0};

std::vector<std::function<void()>>& Pending() {
  static std::vector<std::function<void()>> pending;
  return pending;
}

std::map<int, std::function<void()>>& Watchers() {
  static std::map<int, std::function<void()>> watchers;
  return watchers;
}

// A copy, so that a watcher may unwatch while told.
void TellWatchers() {
  const auto watchers = Watchers();
  for (const auto& [watch, changed] : watchers) changed();
}

}  // namespace

RunInProgress::RunInProgress() {
  if (g_runs++ == 0) TellWatchers();
}

RunInProgress::~RunInProgress() {
  if (--g_runs > 0) return;
  TellWatchers();
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

int RunInProgress::Watch(std::function<void()> changed) {
  static int last = 0;
  Watchers()[++last] = std::move(changed);
  return last;
}

void RunInProgress::Unwatch(int watch) { Watchers().erase(watch); }
