#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "store/history_file.h"
#include "store/profile_value.h"
#include "store/settings_manager.h"
#include "platform/handles_win.h"

namespace {

constexpr wchar_t kSection[] = L"Profile";
constexpr wchar_t kStoreFolder[] = L"RudizavADUZaziv";
constexpr std::size_t kMaxPathLength = MAX_PATH - 1;
// The profile functions' read buffer: longer values come back cut.
constexpr DWORD kReadBufferUnits = 2048;
// Encoded multi-line values are read whole before being cut; beyond this
// size a value is treated as damaged and read as it stands.
constexpr DWORD kMaxEncodedUnits = 1u << 20;

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::wstring FileIn(const std::wstring& folder, const wchar_t* name) {
  if (folder.empty()) return {};
  std::wstring path = folder + L"\\" + name;
  return path.size() <= kMaxPathLength ? path : std::wstring();
}

// Creates the file only when there is none (an existing file is never
// touched). The byte-order mark makes the profile functions keep the file in
// UTF-16, so names and texts in any script survive.
// A file of no bytes (cut to nothing) gets the mark too: it holds nothing
// to keep, and without the mark the profile functions would write ANSI and
// turn names in other scripts into question marks.
void CreateSettingsFile(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0 ||
        data.nFileSizeLow != 0 || (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
      return;
    }
    file = UniqueHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || GetFileSize(file.get(), nullptr) != 0) return;
  }
  const BYTE bom[] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(file.get(), bom, sizeof bom, &written, nullptr);
}

std::u16string ReadProfileText(const std::wstring& path, const std::u16string& key, DWORD units) {
  std::vector<wchar_t> buffer(units);
  DWORD length = GetPrivateProfileStringW(kSection, Wide(key), L"", buffer.data(), units, path.c_str());
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

// A list the profile functions give as strings each ended by a NUL (the
// section names of a file, or the keys of a section): read whole, however
// long. `read` takes a buffer and its size in units and returns the
// function's result, which is size - 2 when the buffer was too small.
template <typename Read>
std::vector<std::wstring> ReadNulList(Read read) {
  for (DWORD units = kReadBufferUnits;; units *= 2) {
    std::vector<wchar_t> buffer(units);
    const DWORD length = read(buffer.data(), units);
    if (length + 2 >= units && units < kMaxEncodedUnits) continue;
    std::vector<std::wstring> items;
    for (const wchar_t* item = buffer.data(); item < buffer.data() + length && *item; item += wcslen(item) + 1) {
      items.emplace_back(item);
    }
    return items;
  }
}

std::wstring ReadWholeValue(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
  for (DWORD units = kReadBufferUnits;; units *= 2) {
    std::vector<wchar_t> buffer(units);
    const DWORD length = GetPrivateProfileStringW(section, key, L"", buffer.data(), units, path.c_str());
    if (length + 1 < units || units >= kMaxEncodedUnits) return std::wstring(buffer.data(), length);
  }
}

// The next read of `path` comes from the disk, not from the profile
// functions' copy of the file in memory.
void ForgetCachedProfile(const std::wstring& path) {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

// A value as the profile functions read it back: blanks around it trimmed,
// and one pair of enclosing quotes taken off.
std::wstring AsReadBack(std::wstring value) {
  const std::size_t first = value.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  value = value.substr(first, value.find_last_not_of(L" \t") - first + 1);
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

// True when `copy` holds every value of `original` and `key` of section
// `section` reads back as `value`, which the profile functions may trim.
bool HoldsEverything(const std::wstring& copy, const std::wstring& original, const wchar_t* section,
                     const wchar_t* key, const std::wstring& value) {
  const auto sectionsOf = [](const std::wstring& path) {
    return ReadNulList([&](wchar_t* buffer, DWORD units) {
      return GetPrivateProfileSectionNamesW(buffer, units, path.c_str());
    });
  };
  for (const std::wstring& name : sectionsOf(original)) {
    const auto keys = ReadNulList([&](wchar_t* buffer, DWORD units) {
      return GetPrivateProfileStringW(name.c_str(), nullptr, L"", buffer, units, original.c_str());
    });
    for (const std::wstring& other : keys) {
      if (lstrcmpiW(name.c_str(), section) == 0 && lstrcmpiW(other.c_str(), key) == 0) continue;
      if (ReadWholeValue(copy, name.c_str(), other.c_str()) != ReadWholeValue(original, name.c_str(), other.c_str())) {
        return false;
      }
    }
  }
  const std::wstring written = ReadWholeValue(copy, section, key);
  return written == value || written == AsReadBack(value);
}

std::wstring RoamingAppDataFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE)) return {};
  return std::wstring(folder) + L"\\" + kStoreFolder;
}

}  // namespace

SettingsManager& SettingsManager::Instance() {
  static SettingsManager instance(RoamingAppDataFolder());
  return instance;
}

SettingsManager::SettingsManager(const std::wstring& folder)
    : folder_(folder),
      settingsPath_(FileIn(folder, L"Settings.ini")), historyPath_(FileIn(folder, L"HistoryData.dat")) {
  if (folder.empty()) return;
  CreateDirectoryW(folder.c_str(), nullptr);
  if (!settingsPath_.empty()) CreateSettingsFile(settingsPath_);
}

unsigned SettingsManager::GetInt(const std::u16string& key, unsigned defaultValue) {
  if (settingsPath_.empty()) return defaultValue;
  return GetPrivateProfileIntW(kSection, Wide(key), static_cast<INT>(defaultValue), settingsPath_.c_str());
}

std::u16string SettingsManager::GetString(const std::u16string& key) {
  if (settingsPath_.empty()) return {};
  DWORD units = kReadBufferUnits;
  std::u16string stored = ReadProfileText(settingsPath_, key, units);
  // A full buffer may hide the rest of an encoded value; fetch it whole so
  // that it decodes, then apply the same cut as to any other value.
  while (stored.size() == units - 1 && StartsEncodedProfileValue(stored) && units < kMaxEncodedUnits) {
    units *= 2;
    stored = ReadProfileText(settingsPath_, key, units);
  }
  std::u16string value = DecodeProfileValue(stored);
  if (value.size() > kReadBufferUnits - 1) value.resize(kReadBufferUnits - 1);
  return value;
}

// The profile functions rewrite the whole file for every value, so a write
// cut short (a full disk) would lose every value after the one written. The
// write goes to a copy of the file instead, which replaces the file only once
// it reads back with every value the file held. A write that fails leaves
// the file as it was.
void SettingsManager::SetString(const std::u16string& key, const std::u16string& value) {
  if (settingsPath_.empty()) return;
  const std::u16string stored = EncodeProfileValue(value);
  const DWORD attributes = GetFileAttributesW(settingsPath_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // No file, nothing to lose.
    WritePrivateProfileStringW(kSection, Wide(key), Wide(stored), settingsPath_.c_str());
    return;
  }
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return;
  wchar_t copy[MAX_PATH] = {};
  if (!GetTempFileNameW(folder_.c_str(), L"Set", 0, copy)) return;
  const bool replaced =
      CopyFileW(settingsPath_.c_str(), copy, FALSE) &&
      WritePrivateProfileStringW(kSection, Wide(key), Wide(stored), copy) &&
      (ForgetCachedProfile(copy), HoldsEverything(copy, settingsPath_, kSection, Wide(key), Wide(stored))) &&
      MoveFileExW(copy, settingsPath_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  ForgetCachedProfile(copy);
  ForgetCachedProfile(settingsPath_);
  if (!replaced) DeleteFileW(copy);
}

void SettingsManager::RecordSent(const std::string& historyKey, const std::string& text, double sendTime) {
  sentHistory_.RecordSent(historyKey, text, sendTime);
}

bool SettingsManager::WasSent(const std::string& historyKey, const std::string& text) const {
  return sentHistory_.WasSent(historyKey, text);
}

HResult SettingsManager::LoadHistory() {
  if (historyPath_.empty()) return 0;
  // A file that cannot be opened gives no entries; one that cannot be read
  // to its end gives those read before the failure.
  ParsedHistory parsed;
  HistoryEntries uncertain;
  ReadHistoryFile(historyPath_, parsed, &uncertain);
  sentHistory_.AddFromFile(std::move(parsed.entries), std::move(uncertain));
  return 0;
}

HResult SettingsManager::SaveHistory() {
  if (historyPath_.empty()) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  // The folder may have been removed since this store was made.
  CreateDirectoryW(folder_.c_str(), nullptr);
  return SaveHistoryFile(historyPath_, sentHistory_);
}
