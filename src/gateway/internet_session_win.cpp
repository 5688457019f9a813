#include "gateway/internet_session_win.h"

#include <initializer_list>
#include <mutex>

#include "platform/handles_win.h"

namespace internet_session {

namespace {

std::mutex& Guard() {
  static std::mutex guard;
  return guard;
}

unique_hinternet& Handle() {
  static unique_hinternet handle;
  return handle;
}

}  // namespace

HINTERNET Acquire(DWORD timeoutMs) {
  std::lock_guard<std::mutex> lock(Guard());
  unique_hinternet& handle = Handle();
  if (!handle) {
    handle.reset(InternetOpenW(L"SendSMS", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (handle) SetTimeouts(handle.get(), timeoutMs);
  }
  return handle.get();
}

void Close() {
  std::lock_guard<std::mutex> lock(Guard());
  Handle().reset();
}

void SetTimeouts(HINTERNET handle, DWORD timeoutMs) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(handle, option, &timeoutMs, sizeof timeoutMs);
  }
}

}  // namespace internet_session
