#include "ui/run_in_progress.h"

#include <atomic>

namespace {

// A count, not a flag, so that a scope taken inside another ends neither.
std::atomic<int> g_runs{0};

}  // namespace

RunInProgress::RunInProgress() { ++g_runs; }

RunInProgress::~RunInProgress() { --g_runs; }

bool RunInProgress::Now() { return g_runs.load() > 0; }
