#pragma once
#include <memory>
#include <type_traits>

#include <windows.h>
#include <wininet.h>

// Owns a WinINet handle from the moment it is returned.
struct InternetHandleCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using unique_hinternet = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetHandleCloser>;
