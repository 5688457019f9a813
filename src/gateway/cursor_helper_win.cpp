#include "gateway/cursor_helper_win.h"

#include <string>

namespace {

const std::wstring& BusySuffix() {
  static const std::wstring suffix = [] {
    const char ansi[] = " - Please wait to send SMS list...";
    wchar_t wide[260] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 260);
    return std::wstring(wide);
  }();
  return suffix;
}

std::wstring Caption(HWND window) {
  std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(
      GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
  return caption;
}

}  // namespace

CCursorHelper::CCursorHelper(HWND window)
    : previousCursor_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))), window_(window) {
  const std::wstring& suffix = BusySuffix();
  if (!window_) return;
  SetCapture(window_);
  std::wstring caption = Caption(window_);
  if (caption.find(suffix) == std::wstring::npos) {
    caption += suffix;
    SetWindowTextW(window_, caption.c_str());
  }
}

CCursorHelper::~CCursorHelper() {
  if (window_) ReleaseCapture();
  SetCursor(previousCursor_);
  if (!window_) return;
  const std::wstring& suffix = BusySuffix();
  std::wstring caption = Caption(window_);
  for (auto at = caption.find(suffix); at != std::wstring::npos; at = caption.find(suffix, at)) {
    caption.erase(at, suffix.size());
  }
  SetWindowTextW(window_, caption.c_str());
}
