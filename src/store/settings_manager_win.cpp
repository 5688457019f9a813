#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <vector>

#include "store/file_stamp.h"
#include "store/history_file.h"
#include "store/profile_value.h"
#include "store/settings_manager.h"
#include "platform/handles_win.h"

namespace {

constexpr wchar_t kSection[] = L"Profile";
constexpr wchar_t kStoreFolder[] = L"RudizavADUZaziv";
constexpr std::size_t kMaxPathLength = MAX_PATH - 1;
// The profile functions' read buffer: longer values come back cut.
constexpr DWORD kReadBufferUnits = kMaxStringUnits + 1;
constexpr DWORD kMaxReadUnits = static_cast<DWORD>(kMaxEncodedUnits);
// How long a write waits for another process's write of the same file.
constexpr DWORD kWriterWaitMs = 3000;
// A file held for a moment (a virus scanner, another writer) is tried again
// this many times, this far apart, before the write is refused.
constexpr int kWriteAttempts = 5;
constexpr DWORD kRetryPauseMs = 50;

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

HResult LastError(DWORD fallback = ERROR_WRITE_FAULT) {
  const DWORD error = GetLastError();
  return HRESULT_FROM_WIN32(error ? error : fallback);
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

unsigned ReadInt(const std::wstring& path, const std::u16string& key, unsigned defaultValue) {
  return GetPrivateProfileIntW(kSection, Wide(key), static_cast<INT>(defaultValue), path.c_str());
}

std::u16string ReadString(const std::wstring& path, const std::u16string& key) {
  DWORD units = kReadBufferUnits;
  std::u16string stored = ReadProfileText(path, key, units);
  // A full buffer may hide the rest of an encoded value; fetch it whole so
  // that it decodes, then apply the same cut as to any other value.
  while (stored.size() == units - 1 && StartsEncodedProfileValue(stored) && units < kMaxReadUnits) {
    units *= 2;
    stored = ReadProfileText(path, key, units);
  }
  return StringValueOf(stored);
}

// A list the profile functions give as strings each ended by a NUL (the
// section names of a file, the keys of a section, or a section's entries):
// read whole, however long; nullopt when it does not fit kMaxReadUnits.
// `read` takes a buffer and its size in units and returns the function's
// result, which is size - 2 when the buffer was too small.
template <typename Read>
std::optional<std::vector<std::wstring>> ReadNulList(Read read) {
  for (DWORD units = kReadBufferUnits; units <= kMaxReadUnits; units *= 2) {
    std::vector<wchar_t> buffer(units);
    const DWORD length = read(buffer.data(), units);
    if (length + 2 >= units) continue;
    std::vector<std::wstring> items;
    for (const wchar_t* item = buffer.data(); item < buffer.data() + length && *item; item += wcslen(item) + 1) {
      items.emplace_back(item);
    }
    return items;
  }
  return std::nullopt;
}

std::wstring ReadWholeValue(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
  for (DWORD units = kReadBufferUnits;; units *= 2) {
    std::vector<wchar_t> buffer(units);
    const DWORD length = GetPrivateProfileStringW(section, key, L"", buffer.data(), units, path.c_str());
    if (length + 1 < units || units >= kMaxReadUnits) return std::wstring(buffer.data(), length);
  }
}

// The values of one file, each read on its own.
class FileValues : public SettingsReader {
 public:
  explicit FileValues(std::wstring path) : path_(std::move(path)) {}
  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override {
    return ReadInt(path_, key, defaultValue);
  }
  std::u16string GetString(const std::u16string& key) override { return ReadString(path_, key); }

 private:
  std::wstring path_;
};

// The lines of section "Profile" of `path` in one read; nullopt when it is
// too large for one.
std::optional<std::vector<std::u16string>> ReadSectionLines(const std::wstring& path) {
  const auto entries = ReadNulList([&](wchar_t* buffer, DWORD units) {
    return GetPrivateProfileSectionW(kSection, buffer, units, path.c_str());
  });
  if (!entries) return std::nullopt;
  std::vector<std::u16string> lines;
  lines.reserve(entries->size());
  for (const std::wstring& entry : *entries) lines.emplace_back(entry.begin(), entry.end());
  return lines;
}

// Section "Profile" of `path` in one read, or value by value when it is too
// large for one.
std::unique_ptr<SettingsReader> ReadProfileSection(const std::wstring& path) {
  auto lines = ReadSectionLines(path);
  if (!lines) return std::make_unique<FileValues>(path);
  return std::make_unique<ProfileSection>(*lines);
}

std::uint64_t Join(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

std::optional<FileStamp> StampOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return FileStamp{Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
                   Join(data.nFileSizeHigh, data.nFileSizeLow)};
}

std::uint64_t ClockNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return Join(now.dwHighDateTime, now.dwLowDateTime);
}

// A reader of a section that later reads may share.
class SharedSection : public SettingsReader {
 public:
  explicit SharedSection(std::shared_ptr<ProfileSection> section) : section_(std::move(section)) {}
  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override {
    return section_->GetInt(key, defaultValue);
  }
  std::u16string GetString(const std::u16string& key) override { return section_->GetString(key); }

 private:
  std::shared_ptr<ProfileSection> section_;
};

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

// The values of a write as they go into the file.
using StoredValues = std::vector<std::pair<std::wstring, std::wstring>>;

const std::wstring* StoredValueOf(const StoredValues& values, const std::wstring& key) {
  const std::wstring* found = nullptr;
  for (const auto& [name, value] : values) {
    if (lstrcmpiW(name.c_str(), key.c_str()) == 0) found = &value;
  }
  return found;
}

// True when `copy` holds every value of `original` but those of section
// "Profile" being written, and each of `values` reads back as written (or
// as the profile functions trim it).
bool HoldsEverything(const std::wstring& copy, const std::wstring& original, const StoredValues& values) {
  const auto sections = ReadNulList([&](wchar_t* buffer, DWORD units) {
    return GetPrivateProfileSectionNamesW(buffer, units, original.c_str());
  });
  if (!sections) return false;
  for (const std::wstring& name : *sections) {
    const auto keys = ReadNulList([&](wchar_t* buffer, DWORD units) {
      return GetPrivateProfileStringW(name.c_str(), nullptr, L"", buffer, units, original.c_str());
    });
    if (!keys) return false;
    const bool written = lstrcmpiW(name.c_str(), kSection) == 0;
    for (const std::wstring& key : *keys) {
      if (written && StoredValueOf(values, key)) continue;
      if (ReadWholeValue(copy, name.c_str(), key.c_str()) != ReadWholeValue(original, name.c_str(), key.c_str())) {
        return false;
      }
    }
  }
  for (const auto& [key, unused] : values) {
    const std::wstring& value = *StoredValueOf(values, key);
    const std::wstring read = ReadWholeValue(copy, kSection, key.c_str());
    if (read != value && read != AsReadBack(value)) return false;
  }
  return true;
}

// The file's bytes; false (and the reason in GetLastError) when it cannot
// be read.
bool ReadBytes(const std::wstring& path, std::vector<char>& bytes) {
  bytes.clear();
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  char chunk[16384];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) {
    if (read == 0) return true;
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return false;
}

bool WriteBytes(const std::wstring& path, const std::vector<char>& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file.valid() &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// A new, empty file in the folder, removed with its owner unless it was
// moved away.
class TempFile {
 public:
  explicit TempFile(const std::wstring& folder) {
    wchar_t name[MAX_PATH] = {};
    if (GetTempFileNameW(folder.c_str(), L"Set", 0, name)) path_ = name;
  }
  ~TempFile() {
    if (path_.empty()) return;
    ForgetCachedProfile(path_);
    DeleteFileW(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool made() const { return !path_.empty(); }
  const std::wstring& path() const { return path_; }
  bool MoveOnto(const std::wstring& target) {
    ForgetCachedProfile(path_);
    if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return false;
    path_.clear();
    return true;
  }

 private:
  std::wstring path_;
};

// Writers of one settings file, in this process or another, take turns,
// so that none replaces the file between another's copy and its replace.
// The system releases the lock of a process that dies.
class WriterTurn {
 public:
  explicit WriterTurn(const std::wstring& path) {
    // A kernel object's name takes no backslash after its namespace.
    std::wstring file = path;
    for (wchar_t& c : file) c = c == L'\\' ? L'/' : c;
    CharLowerBuffW(file.data(), static_cast<DWORD>(file.size()));
    mutex_ = UniqueHandle(CreateMutexW(nullptr, FALSE, (L"Local\\QuorvalSmsSettingsWriter:" + file).c_str()));
    if (!mutex_.valid()) {
      status_ = LastError();
      return;
    }
    const DWORD wait = WaitForSingleObject(mutex_.get(), kWriterWaitMs);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    if (!held_) status_ = HRESULT_FROM_WIN32(wait == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError());
  }
  ~WriterTurn() {
    if (held_) ReleaseMutex(mutex_.get());
  }
  WriterTurn(const WriterTurn&) = delete;
  WriterTurn& operator=(const WriterTurn&) = delete;

  bool held() const { return held_; }
  HResult status() const { return status_; }

 private:
  UniqueHandle mutex_;
  bool held_ = false;
  HResult status_ = kStatusOk;
};

enum class Attempt { kDone, kFailed, kTryAgain };

// One attempt at a write: the file's bytes into a copy, the change applied
// to the copy by the profile functions, and the copy put in the file's
// place once it reads back whole and while the file still holds those
// bytes. A file that changed meanwhile (a writer that does not take turns)
// is tried again, the change then applied to the new content.
Attempt WriteThroughCopy(const std::wstring& folder, const std::wstring& path, const SettingsChange& change,
                         HResult& status) {
  status = kStatusOk;
  // The folder or the file may have been removed since the store was made.
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateSettingsFile(path);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return status = LastError(), Attempt::kFailed;
  if (attributes & FILE_ATTRIBUTE_READONLY) return status = HRESULT_FROM_WIN32(ERROR_FILE_READ_ONLY), Attempt::kFailed;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return status = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), Attempt::kFailed;

  std::vector<char> before;
  if (!ReadBytes(path, before)) return status = LastError(), Attempt::kTryAgain;
  TempFile copy(folder);
  if (!copy.made()) return status = LastError(), Attempt::kFailed;
  if (!WriteBytes(copy.path(), before)) return status = LastError(), Attempt::kFailed;
  ForgetCachedProfile(copy.path());

  const SettingsValues values = change(*ReadProfileSection(copy.path()));
  if (values.empty()) return Attempt::kDone;
  StoredValues stored;
  for (const auto& [key, value] : values) {
    const std::u16string encoded = EncodeProfileValue(value);
    stored.emplace_back(Wide(key), Wide(encoded));
    SetLastError(0);
    if (!WritePrivateProfileStringW(kSection, Wide(key), Wide(encoded), copy.path().c_str())) {
      return status = LastError(), Attempt::kFailed;
    }
  }
  ForgetCachedProfile(copy.path());
  ForgetCachedProfile(path);
  const bool whole = HoldsEverything(copy.path(), path, stored);
  std::vector<char> now;
  if (!ReadBytes(path, now) || now != before) {
    return status = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), Attempt::kTryAgain;
  }
  if (!whole) return status = HRESULT_FROM_WIN32(ERROR_WRITE_FAULT), Attempt::kFailed;
  if (!copy.MoveOnto(path)) return status = LastError(), Attempt::kTryAgain;
  return Attempt::kDone;
}

std::u16string SystemMessage(HResult status) {
  wchar_t text[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(status), 0, text, 512, nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ')) --length;
  if (length == 0) {
    length = static_cast<DWORD>(swprintf(text, 512, L"error 0x%08X.", static_cast<unsigned>(status)));
  }
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// The gateway address of an install for every user, in the 64-bit view so
// that the add-in of either bitness finds what one setup wrote.
std::u16string MachineGatewayHost() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\RudizavADUZaziv", 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return {};
  }
  std::vector<wchar_t> value(kReadBufferUnits + 1);
  DWORD type = 0, bytes = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
  const LONG read = RegQueryValueExW(key, L"GatewayHost", nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                                     &bytes);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return {};
  std::u16string text(reinterpret_cast<const char16_t*>(value.data()), bytes / sizeof(wchar_t));
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text.substr(0, kMaxStringUnits);
}

// A section read with the machine's gateway address where the file has none.
class WithMachineGateway : public SettingsReader {
 public:
  explicit WithMachineGateway(std::unique_ptr<SettingsReader> own) : own_(std::move(own)) {}
  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override {
    return own_->GetInt(key, defaultValue);
  }
  std::u16string GetString(const std::u16string& key) override {
    return WithMachineDefault(key, own_->GetString(key), MachineGatewayHost);
  }

 private:
  std::unique_ptr<SettingsReader> own_;
};

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
  return ReadInt(settingsPath_, key, defaultValue);
}

std::u16string SettingsManager::GetString(const std::u16string& key) {
  return WithMachineDefault(key, settingsPath_.empty() ? std::u16string() : ReadString(settingsPath_, key),
                            MachineGatewayHost);
}

bool SettingsManager::IsSet(const std::u16string& key) {
  if (settingsPath_.empty()) return false;
  // No value holds a line break, so the default comes back only for a
  // missing key.
  wchar_t value[2] = {};
  GetPrivateProfileStringW(kSection, Wide(key), L"\n", value, 2, settingsPath_.c_str());
  return value[0] != L'\n';
}

struct SettingsManager::RememberedSection {
  FileStamp stamp;
  std::uint64_t lookedAt;
  std::shared_ptr<ProfileSection> section;
};

std::unique_ptr<SettingsReader> SettingsManager::ReadSection() {
  if (settingsPath_.empty()) {
    return std::make_unique<WithMachineGateway>(std::make_unique<ProfileSection>(std::vector<std::u16string>{}));
  }
  // The clock before the look, the look before the read: a write between
  // them shows as a new stamp at the next look.
  const std::uint64_t lookedAt = ClockNow();
  const std::optional<FileStamp> stamp = StampOf(settingsPath_);
  if (stamp) {
    std::lock_guard<std::mutex> lock(rememberedGuard_);
    if (remembered_ && StillCurrent(remembered_->stamp, remembered_->lookedAt, *stamp)) {
      return std::make_unique<WithMachineGateway>(std::make_unique<SharedSection>(remembered_->section));
    }
  }
  auto lines = ReadSectionLines(settingsPath_);
  if (!lines) return std::make_unique<WithMachineGateway>(std::make_unique<FileValues>(settingsPath_));
  auto section = std::make_shared<ProfileSection>(*lines);
  std::lock_guard<std::mutex> lock(rememberedGuard_);
  remembered_ = stamp ? std::make_shared<RememberedSection>(RememberedSection{*stamp, lookedAt, section}) : nullptr;
  return std::make_unique<WithMachineGateway>(std::make_unique<SharedSection>(std::move(section)));
}

void SettingsManager::Forget() {
  std::lock_guard<std::mutex> lock(rememberedGuard_);
  remembered_.reset();
}

// The profile functions rewrite the whole file for every value, so a write
// cut short (a full disk) would lose every value after the one written. The
// write goes to a copy of the file instead, which replaces the file only once
// it reads back with every value the file held. A write that fails leaves
// the file as it was.
HResult SettingsManager::Update(const SettingsChange& change) {
  if (settingsPath_.empty()) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  const WriterTurn turn(settingsPath_);
  if (!turn.held()) return turn.status();
  HResult status = kStatusOk;
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    if (attempt > 0) Sleep(kRetryPauseMs);
    const Attempt outcome = WriteThroughCopy(folder_, settingsPath_, change, status);
    ForgetCachedProfile(settingsPath_);
    // The file's new stamp tells the next read too; this tells it at once.
    Forget();
    if (outcome != Attempt::kTryAgain) return status;
  }
  return status;
}

std::u16string SettingsManager::DescribeWriteFailure(HResult status) {
  if (settingsPath_.empty()) {
    return u"The settings file has no usable folder: the user's application data folder could not be found, "
           u"or its path is too long.";
  }
  return u"The settings file " + std::u16string(settingsPath_.begin(), settingsPath_.end()) +
         u" could not be written: " + SystemMessage(status);
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

HResult SettingsManager::RemoveFromHistory(const EntryFilter& removed) {
  if (historyPath_.empty()) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  CreateDirectoryW(folder_.c_str(), nullptr);
  return SaveHistoryFile(historyPath_, sentHistory_, removed);
}
