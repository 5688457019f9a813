#include "gateway/internet_session_win.h"

#include <atomic>
#include <initializer_list>
#include <mutex>

#include "platform/handles_win.h"

namespace internet_session {

struct Root {
  explicit Root(HINTERNET opened) : handle(opened) {}
  unique_hinternet handle;
};

namespace {

std::mutex& Guard() {
  static std::mutex guard;
  return guard;
}

// Never destroyed: at process exit its destructor would run from DllMain,
// where WinINet may not be called.
std::shared_ptr<Root>& Current() {
  static auto* current = new std::shared_ptr<Root>();
  return *current;
}

// Shares handed out and not yet given back.
std::atomic<long> g_shares{0};

}  // namespace

HINTERNET Share::get() const { return root_ ? root_->handle.get() : nullptr; }

Share Acquire(DWORD timeoutMs) {
  std::lock_guard<std::mutex> lock(Guard());
  std::shared_ptr<Root>& current = Current();
  if (!current) {
    HINTERNET opened = InternetOpenW(L"SendSMS", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!opened) return Share();
    SetTimeouts(opened, timeoutMs);
    current = std::make_shared<Root>(opened);
  }
  // The count falls when the share's last copy goes, not with the root.
  ++g_shares;
  std::shared_ptr<Root> root = current;
  return Share(std::shared_ptr<Root>(root.get(), [root](Root*) mutable {
    root.reset();
    --g_shares;
  }));
}

void Close() {
  std::shared_ptr<Root> dropped;
  {
    std::lock_guard<std::mutex> lock(Guard());
    dropped = std::move(Current());
  }
}

bool InUse() { return g_shares.load() > 0; }

void SetTimeouts(HINTERNET handle, DWORD timeoutMs) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(handle, option, &timeoutMs, sizeof timeoutMs);
  }
}

}  // namespace internet_session
