#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/status.h"

// Where the user wants a file saved: the standard save dialog in the
// product, a fixed answer in tests. nullopt when the user cancelled.
using ChooseSavePath =
    std::function<std::optional<std::wstring>(HWND owner, const std::wstring& suggestedName)>;

// The system's save dialog for CSV files, asking before it overwrites.
std::optional<std::wstring> AskSavePathForCsv(HWND owner, const std::wstring& suggestedName);

// Writes `bytes` to a new file beside `path` and moves it over `path` once
// complete, so that a failed write never leaves a partial file under the
// chosen name. 0 or the platform's code.
HResult WriteFileWhole(const std::wstring& path, const std::string& bytes);
