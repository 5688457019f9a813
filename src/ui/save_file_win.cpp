#include "ui/save_file_win.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/handles_win.h"

std::optional<std::wstring> AskSavePathForCsv(HWND owner, const std::wstring& suggestedName) {
  std::vector<wchar_t> path(32768, L'\0');
  suggestedName.copy(path.data(), path.size() - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrDefExt = L"csv";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_EXPLORER;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return std::wstring(path.data());
}

HResult WriteFileWhole(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + L".tmp";
  HRESULT hr = S_OK;
  {
    UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return HRESULT_FROM_WIN32(GetLastError());
    std::size_t done = 0;
    while (SUCCEEDED(hr) && done < bytes.size()) {
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
      DWORD written = 0;
      if (!WriteFile(file.get(), bytes.data() + done, piece, &written, nullptr)) {
        hr = HRESULT_FROM_WIN32(GetLastError());
      } else if (written != piece) {
        hr = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
      }
      done += written;
    }
    if (SUCCEEDED(hr) && !FlushFileBuffers(file.get())) hr = HRESULT_FROM_WIN32(GetLastError());
  }
  if (SUCCEEDED(hr) &&
      !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    hr = HRESULT_FROM_WIN32(GetLastError());
  }
  if (FAILED(hr)) DeleteFileW(temporary.c_str());
  return hr;
}
