#include "program/host_options.h"

#include <cerrno>
#include <cwchar>

namespace host {

std::optional<HostOptions> ParseHostOptions(const std::vector<std::wstring>& args,
                                            std::wstring& error) {
  HostOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const bool takesValue = arg == L"--store" || arg == L"--click" || arg == L"--addin" ||
                            arg == L"--open-item-limit" || arg == L"--select" || arg == L"--ribbon" ||
                            arg == L"--context-menu";
    if (takesValue && i + 1 >= args.size()) {
      error = arg + L" needs a value";
      return std::nullopt;
    }
    if (arg == L"--store") {
      options.store = args[++i];
    } else if (arg == L"--click") {
      const std::wstring& tag = args[++i];
      options.clicks.emplace_back(tag.begin(), tag.end());
    } else if (arg == L"--addin") {
      options.onlyAddins.push_back(args[++i]);
    } else if (arg == L"--open-item-limit") {
      const std::wstring& value = args[++i];
      wchar_t* end = nullptr;
      errno = 0;
      const long limit = std::wcstol(value.c_str(), &end, 10);
      if (value.empty() || *end != L'\0' || errno == ERANGE || limit < 0) {
        error = L"--open-item-limit needs a number of items, 0 or more, not \"" + value + L"\"";
        return std::nullopt;
      }
      options.openItemLimit = limit;
    } else if (arg == L"--select") {
      const std::wstring& value = args[++i];
      wchar_t* end = nullptr;
      const long position = std::wcstol(value.c_str(), &end, 10);
      if (value.empty() || *end != L'\0' || position < 0) {
        error = L"--select needs a contact's position, 0 or more, not \"" + value + L"\"";
        return std::nullopt;
      }
      options.selection.push_back(static_cast<size_t>(position));
    } else if (arg == L"--ribbon") {
      options.ribbonPresses.push_back(args[++i]);
    } else if (arg == L"--context-menu") {
      options.contextMenuChoices.push_back(args[++i]);
    } else if (arg == L"--exit-after") {
      options.exitAfter = true;
    } else if (arg == L"--counts") {
      options.counts = true;
    } else {
      error = L"unknown option " + arg;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace host
