#pragma once
#include <windows.h>

#include <string>

// The stand-in host's buttons by what they say: the ribbon's are drawn by
// the host itself (owner-drawn), the toolbar's are plain push buttons, and
// a command's label may be on both, so the kind picks one.
enum class HostButtonKind { kRibbon, kToolbar };

namespace host_buttons_detail {
struct Search {
  const std::wstring* caption;
  bool ribbon;
  HWND found;
};

inline BOOL CALLBACK Match(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  wchar_t kind[16] = {}, caption[128] = {};
  GetClassNameW(window, kind, 16);
  GetWindowTextW(window, caption, 128);
  const bool ownerDrawn = (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
  if (_wcsicmp(kind, L"Button") != 0 || *search->caption != caption || ownerDrawn != search->ribbon) return TRUE;
  search->found = window;
  return FALSE;
}
}  // namespace host_buttons_detail

// nullptr when the host's window has no such button.
inline HWND HostButton(HWND host, const std::wstring& caption, HostButtonKind kind) {
  host_buttons_detail::Search search{&caption, kind == HostButtonKind::kRibbon, nullptr};
  EnumChildWindows(host, host_buttons_detail::Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
