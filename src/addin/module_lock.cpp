#include "addin/module_lock.h"

#include <atomic>

namespace {
// COM may ask DllCanUnloadNow from any thread.
std::atomic<long> g_count{0};
}  // namespace

long ModuleLock() { return ++g_count; }
long ModuleUnlock() { return --g_count; }
long ModuleLockCount() { return g_count.load(); }
