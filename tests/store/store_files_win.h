#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/handles_win.h"

// Files for the store's Windows tests: a private folder per test, raw bytes.

inline std::vector<unsigned char> ReadFileBytes(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return bytes;
  unsigned char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return bytes;
}

inline bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file.valid() &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

inline bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names of the files in a folder, sorted.
inline std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

// UTF-16LE bytes of a text, as the settings file holds it.
inline std::vector<unsigned char> Utf16Bytes(const std::u16string& text) {
  std::vector<unsigned char> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c & 0xFF));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  return bytes;
}

inline bool Contains(const std::vector<unsigned char>& haystack, const std::vector<unsigned char>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

// A fresh folder under the temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned serial = 0;
    path_ = std::wstring(base) + L"store_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++serial);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring child = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(child);
        } else {
          DeleteFileW(child.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring path_;
};
