#pragma once
#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "store/settings_manager.h"
#include "store_files_win.h"
#include "support/child_process.h"

// History files for the store's Windows tests, written and read without
// the store, and the second process of history_save_child.cpp.

inline const wchar_t kHistoryStream[] = L"SentSMSs_Profile";

inline std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
  return std::vector<unsigned char>(values.begin(), values.end());
}

// Writes a compound file with one stream (none if `streamName` is null).
inline void WriteStreamFile(const std::wstring& path, const wchar_t* streamName,
                            const std::vector<unsigned char>& bytes) {
  Microsoft::WRL::ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateStorageEx(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                               STGFMT_STORAGE, 0, nullptr, nullptr, IID_IStorage,
                               reinterpret_cast<void**>(storage.GetAddressOf())),
            S_OK);
  if (!streamName) return;
  Microsoft::WRL::ComPtr<IStream> stream;
  ASSERT_EQ(storage->CreateStream(streamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream), S_OK);
  ULONG written = 0;
  ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
}

// The stream's bytes as the platform's own storage reads them.
inline std::vector<unsigned char> ReadStream(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  Microsoft::WRL::ComPtr<IStorage> storage;
  if (FAILED(StgOpenStorageEx(path.c_str(), STGM_READ | STGM_SHARE_EXCLUSIVE, STGFMT_STORAGE, 0, nullptr,
                              nullptr, IID_IStorage, reinterpret_cast<void**>(storage.GetAddressOf())))) {
    return bytes;
  }
  Microsoft::WRL::ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(kHistoryStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
    return bytes;
  }
  unsigned char chunk[4096];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &read)) && read > 0) bytes.insert(bytes.end(), chunk, chunk + read);
  return bytes;
}

// The entries of the file as a fresh process loads them.
inline HistoryEntries LoadedFrom(const std::wstring& folder) {
  SettingsManager reader(folder);
  reader.LoadHistory();
  return reader.History().Entries();
}

// True when every entry of `part` is in `whole` with the same value.
inline bool Includes(const HistoryEntries& whole, const HistoryEntries& part) {
  for (const auto& [key, value] : part) {
    auto found = whole.find(key);
    if (found == whole.end() || found->second != value) return false;
  }
  return true;
}

// A named auto-reset event that the child opens by name.
class NamedEvent {
 public:
  explicit NamedEvent(const std::string& purpose) {
    static unsigned serial = 0;
    name_ = "store_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial) + "_" + purpose;
    handle_ = CreateEventA(nullptr, FALSE, FALSE, name_.c_str());
  }
  ~NamedEvent() { CloseHandle(handle_); }
  NamedEvent(const NamedEvent&) = delete;
  NamedEvent& operator=(const NamedEvent&) = delete;
  const std::string& name() const { return name_; }
  void Set() { SetEvent(handle_); }
  bool Wait(DWORD ms = 20000) { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }

 private:
  std::string name_;
  HANDLE handle_;
};

// history_save_child.exe running with the given arguments.
class Child : public ChildProcess {
 public:
  explicit Child(const std::wstring& arguments)
      : ChildProcess(L"\"" + std::wstring(HISTORY_SAVE_CHILD) + L"\" " + arguments) {}

  bool started() const { return Started(); }
  bool Running() const { return ChildProcess::ExitCode() == STILL_ACTIVE; }
  // The exit code once ended; a child still running after `timeout` is
  // killed, so the test never waits on it again.
  DWORD ExitCode(std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    Wait(timeout);
    return ChildProcess::ExitCode();
  }
};

inline std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }
inline std::wstring WideOf(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Another process holding `file` (exclusive compound-file open, or a plain
// handle without sharing) for the holder's lifetime.
class HeldByAnotherProcess {
 public:
  HeldByAnotherProcess(const std::wstring& file, bool storage)
      : ready_("held"), release_("release"),
        child_(L"hold " + Quoted(file) + (storage ? L" storage " : L" plain ") + WideOf(ready_.name()) + L" " +
               WideOf(release_.name())) {
    held_ = child_.started() && ready_.Wait();
  }
  ~HeldByAnotherProcess() {
    release_.Set();
    child_.ExitCode();
  }
  bool held() const { return held_; }
  void Release() {
    release_.Set();
    child_.ExitCode();
  }

 private:
  NamedEvent ready_, release_;
  Child child_;
  bool held_ = false;
};
