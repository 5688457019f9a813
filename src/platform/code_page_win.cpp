#include "platform/code_page_win.h"

#include <windows.h>

std::string ThreadCodePage::ToAnsi(const std::u16string& text) const {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, ansi.data(), size, nullptr, nullptr);
  return ansi;
}

std::u16string ThreadCodePage::FromAnsi(const std::string& text) const {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(size), u'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(wide.data()), size);
  return wide;
}
