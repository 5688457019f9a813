#include <objbase.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "store/history_file.h"
#include "store/history_key.h"
#include "store/history_stream.h"
#include "store/settings_manager.h"
#include "history_files_win.h"
#include "support/wait.h"

using Microsoft::WRL::ComPtr;

namespace {

// A two-entry stream laid out by hand: "E1_+64 21 555 1234_40252.375000_Hi"
// = 40252.4 and "E2_(null)_40252.375000_Hi" = 0.5.
std::vector<unsigned char> TwoEntryStream() {
  std::vector<unsigned char> bytes = Bytes({2, 0, 0, 0, 35, 0, 0, 0});
  std::string first = "E1_+64 21 555 1234_40252.375000_Hi";
  bytes.insert(bytes.end(), first.begin(), first.end());
  for (int b : {0, 0x9A, 0x99, 0x99, 0x99, 0xA6, 0xA7, 0xE3, 0x40}) bytes.push_back(static_cast<unsigned char>(b));
  std::string second = "E2_(null)_40252.375000_Hi";
  for (int b : {26, 0, 0, 0}) bytes.push_back(static_cast<unsigned char>(b));
  bytes.insert(bytes.end(), second.begin(), second.end());
  for (int b : {0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F}) bytes.push_back(static_cast<unsigned char>(b));
  return bytes;
}

TEST(HistoryFile, EmptyHistoryIsAZeroCount) {
  TempFolder temp;
  SettingsManager store(temp.path());
  EXPECT_EQ(store.SaveHistory(), 0);
  EXPECT_EQ(ReadStream(store.HistoryPath()), Bytes({0, 0, 0, 0}));
}

// A reminder that may have been sent lives in a stream of its own, so the
// accepted ones' stream keeps exactly its old bytes for older readers.
TEST(HistoryFile, UncertainRemindersAreKeptBesideTheAcceptedOnesAndNeverCountAsSent) {
  TempFolder temp;
  SettingsManager writer(temp.path());
  writer.MutableHistory().RecordUncertain("E_x", "Hi", 46000.5);
  ASSERT_EQ(writer.SaveHistory(), 0);
  EXPECT_EQ(ReadStream(writer.HistoryPath()), Bytes({0, 0, 0, 0}));

  SettingsManager other(temp.path());
  other.MutableHistory().RecordUncertain("E_y", "Ho", 46001.5);
  ASSERT_EQ(other.SaveHistory(), 0) << "merged with the first store's entry";
  SettingsManager reader(temp.path());
  EXPECT_EQ(reader.LoadHistory(), 0);
  EXPECT_FALSE(reader.WasSent("E_x", "Hi"));
  EXPECT_EQ(reader.History().TriedUncertainly("E_x", "Hi"), 46000.5);
  EXPECT_EQ(reader.History().TriedUncertainly("E_y", "Ho"), 46001.5);
}

TEST(HistoryFile, SavedEntriesLoadInAnotherStore) {
  TempFolder temp;
  SettingsManager writer(temp.path());
  writer.RecordSent("E_+64 21 555 1234_40252.375000", "Hi", 40252.25);
  writer.RecordSent("E_(null)_40252.375000", "00480069", 40252.5);
  writer.RecordSent("E_+64 21 555 1234_40252.375000", "Hi", 40252.3);
  ASSERT_EQ(writer.SaveHistory(), 0);
  EXPECT_FALSE(FileExists(temp / L"HistoryData.tmp"));

  SettingsManager reader(temp.path());
  reader.RecordSent("only", "in memory", 1.0);
  reader.RecordSent("E_(null)_40252.375000", "00480069", 7.0);
  EXPECT_EQ(reader.LoadHistory(), 0);
  EXPECT_TRUE(reader.WasSent("E_(null)_40252.375000", "00480069"));
  EXPECT_EQ(reader.History().Entries().at("E_+64 21 555 1234_40252.375000_Hi"), 40252.3);
  // The file's value wins at loading; an entry only in memory (one whose
  // save may have failed) is kept.
  EXPECT_EQ(reader.History().Entries().at("E_(null)_40252.375000_00480069"), 40252.5);
  EXPECT_TRUE(reader.WasSent("only", "in memory"));
  EXPECT_EQ(reader.History().Entries().size(), 3u);
}

TEST(HistoryFile, LoadThenSaveOfATwoEntryFileIsByteIdentical) {
  TempFolder temp;
  WriteStreamFile(temp / L"HistoryData.dat", kHistoryStream, TwoEntryStream());
  SettingsManager store(temp.path());
  store.LoadHistory();
  ASSERT_EQ(store.History().Entries().size(), 2u);
  EXPECT_TRUE(store.WasSent("E2_(null)_40252.375000", "Hi"));
  ASSERT_EQ(store.SaveHistory(), 0);
  EXPECT_EQ(ReadStream(store.HistoryPath()), TwoEntryStream());
}

TEST(HistoryFile, UnreadableFilesLeaveTheHistoryInMemory) {
  TempFolder temp;
  SettingsManager store(temp.path());
  store.RecordSent("K", "T", 2.0);
  const HistoryEntries kept = store.History().Entries();

  EXPECT_EQ(store.LoadHistory(), 0);  // no file yet
  EXPECT_EQ(store.History().Entries(), kept);

  WriteStreamFile(store.HistoryPath(), L"OtherStream", Bytes({0, 0, 0, 0}));
  EXPECT_EQ(store.LoadHistory(), 0);
  EXPECT_EQ(store.History().Entries(), kept);

  const std::vector<unsigned char> notCompound = {'n', 'o', 't', ' ', 'o', 'l', 'e'};
  ASSERT_TRUE(WriteFileBytes(store.HistoryPath(), notCompound));
  EXPECT_EQ(store.LoadHistory(), 0);
  EXPECT_EQ(store.History().Entries(), kept);
  // Saving over a file that is not ours writes nothing.
  EXPECT_NE(store.SaveHistory(), 0);
  EXPECT_EQ(ReadFileBytes(store.HistoryPath()), notCompound);
}

TEST(HistoryFile, DamagedStreamKeepsTheWholeEntriesBeforeTheDamage) {
  TempFolder temp;
  std::vector<unsigned char> bytes = TwoEntryStream();
  bytes[0] = 3;                             // a third entry that is not there
  bytes.resize(bytes.size() - 4);           // and the second value cut short
  WriteStreamFile(temp / L"HistoryData.dat", kHistoryStream, bytes);
  SettingsManager store(temp.path());
  store.LoadHistory();
  ASSERT_EQ(store.History().Entries().size(), 1u);
  EXPECT_TRUE(store.WasSent("E1_+64 21 555 1234_40252.375000", "Hi"));

  // Saving keeps those entries: they are all that anyone can read of it.
  SettingsManager other(temp.path());
  other.RecordSent("K", "T", 2.0);
  ASSERT_EQ(other.SaveHistory(), 0);
  HistoryEntries expected = store.History().Entries();
  expected["K_T"] = 2.0;
  EXPECT_EQ(LoadedFrom(temp.path()), expected);
  EXPECT_EQ(other.History().Entries(), LoadedFrom(temp.path()));
}

TEST(HistoryFile, LockedFileFailsTheSaveAndKeepsFileAndMemory) {
  TempFolder temp;
  SettingsManager store(temp.path());
  store.RecordSent("K", "old", 1.0);
  ASSERT_EQ(store.SaveHistory(), 0);
  const std::vector<unsigned char> before = ReadFileBytes(store.HistoryPath());
  store.RecordSent("K", "new", 2.0);
  const HistoryEntries inMemory = store.History().Entries();
  {
    // Another process's load or save holds the file exclusively.
    ComPtr<IStorage> holder;
    ASSERT_EQ(StgOpenStorageEx(store.HistoryPath().c_str(), STGM_READ | STGM_SHARE_EXCLUSIVE, STGFMT_STORAGE, 0,
                               nullptr, nullptr, IID_IStorage, reinterpret_cast<void**>(holder.GetAddressOf())),
              S_OK);
    long status = store.SaveHistory();
    EXPECT_TRUE(status == STG_E_SHAREVIOLATION || status == STG_E_LOCKVIOLATION) << std::hex << status;
    EXPECT_EQ(store.LoadHistory(), 0);
  }
  EXPECT_EQ(store.History().Entries(), inMemory);
  EXPECT_EQ(ReadFileBytes(store.HistoryPath()), before);
  EXPECT_FALSE(FileExists(temp / L"HistoryData.tmp"));

  {
    UniqueHandle plainLock(CreateFileW(store.HistoryPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(plainLock.valid());
    EXPECT_NE(store.SaveHistory(), 0);
  }
  EXPECT_EQ(ReadFileBytes(store.HistoryPath()), before);

  EXPECT_EQ(store.SaveHistory(), 0);
  SettingsManager reader(temp.path());
  reader.LoadHistory();
  EXPECT_EQ(reader.History().Entries(), inMemory);
}

TEST(HistoryFile, HalfWrittenFileBesideTheHistoryIsIgnoredAndReplaced) {
  TempFolder temp;
  SettingsManager store(temp.path());
  store.RecordSent("K", "T", 1.0);
  ASSERT_EQ(store.SaveHistory(), 0);
  // What a save killed half-way leaves behind: the start of a compound file.
  std::vector<unsigned char> header = ReadFileBytes(store.HistoryPath());
  header.resize(700);
  ASSERT_TRUE(WriteFileBytes(temp / L"HistoryData.tmp", header));

  SettingsManager next(temp.path());
  next.LoadHistory();
  EXPECT_EQ(next.History().Entries(), store.History().Entries());
  next.RecordSent("K", "U", 2.0);
  ASSERT_EQ(next.SaveHistory(), 0);
  EXPECT_FALSE(FileExists(temp / L"HistoryData.tmp"));
  SettingsManager last(temp.path());
  last.LoadHistory();
  EXPECT_EQ(last.History().Entries().size(), 2u);
}

TEST(HistoryFile, SaveKilledMidWayLeavesALoadableHistory) {
  TempFolder temp;
  SettingsManager store(temp.path());
  store.RecordSent("before", "kill", 1.0);
  ASSERT_EQ(store.SaveHistory(), 0);
  const HistoryEntries before = store.History().Entries();

  const unsigned kChildEntries = 60000;
  const std::wstring file = temp / L"HistoryData.dat", copy = temp / L"HistoryData.tmp";
  const auto sizeOf = [](const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0ul;
  };
  const auto writtenAt = [](const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
  };
  unsigned long long fileBefore = 0;
  const auto replaced = [&] { return writtenAt(file) != fileBefore; };
  // Points in the child's saves, seen from its files rather than guessed
  // from the clock: its first copy being written, that copy grown past
  // 64 KB, its first save in place, and a later save's copy.
  const std::pair<const char*, std::function<bool()>> killPoints[] = {
      {"first copy begun", [&] { return FileExists(copy); }},
      {"first copy past 64 KB", [&] { return sizeOf(copy) > 65536; }},
      {"first save in place", replaced},
      {"a later save's copy", [&] { return replaced() && FileExists(copy); }},
  };
  for (const auto& [point, reached] : killPoints) {
    fileBefore = writtenAt(file);
    Child child(L"loop " + Quoted(temp.path()) + L" " + std::to_wstring(kChildEntries));
    ASSERT_TRUE(child.started()) << GetLastError();
    EXPECT_TRUE(WaitUntil(reached, std::chrono::seconds(60))) << point;
    EXPECT_TRUE(child.Running()) << "the child should still be saving";
    child.Kill();

    // Every entry saved before is there, whether the save killed had
    // replaced the file or not; the child's save merges them in.
    const HistoryEntries loaded = LoadedFrom(temp.path());
    EXPECT_TRUE(Includes(loaded, before)) << point;
    EXPECT_TRUE(loaded.size() == before.size() || loaded.size() == kChildEntries + before.size())
        << point << ": " << loaded.size() << " entries";
    // The next child starts from the file as the one before left it.
    DeleteFileW(copy.c_str());
  }
}

TEST(HistoryFile, FileForAnIndependentReader) {
  // check_history_file.py reads this file with olefile after this test.
  std::wstring folder = HISTORY_OLEFILE_FOLDER;
  CreateDirectoryW(folder.c_str(), nullptr);
  DeleteFileW((folder + L"\\HistoryData.dat").c_str());
  SettingsManager store(folder);
  store.RecordSent("E_+64 21 555 1234_40252.375000", "Hi", 40252.375);
  store.RecordSent("E_(null)_40252.375000", "Hi", 0.5);
  store.RecordSent("E_(null)_40252.375000", "H\xe9", -1.0);
  EXPECT_EQ(store.SaveHistory(), 0);
}

// Streams of several sectors and one in the mini stream side by side, read
// back by the platform's storage here and by olefile after this test
// (check_history_file.py large).
TEST(HistoryFile, LargeAndSmallStreamsReadBackWhole) {
  std::wstring folder = std::wstring(HISTORY_OLEFILE_FOLDER) + L"\\large";
  CreateDirectoryW(HISTORY_OLEFILE_FOLDER, nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  DeleteFileW((folder + L"\\HistoryData.dat").c_str());
  SettingsManager store(folder);
  char key[16];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(key, sizeof key, "K%04d", i);
    store.RecordSent(key, "Hi", i);
  }
  store.MutableHistory().RecordUncertain("U", "Hi", 7.5);
  ASSERT_GT(HistoryStreamSize(store.History().Entries()), 4 * 4096u);
  ASSERT_EQ(store.SaveHistory(), 0);

  ParsedHistory parsed;
  HistoryEntries uncertain;
  ASSERT_EQ(ReadHistoryFile(folder + L"\\HistoryData.dat", parsed, &uncertain), 0);
  EXPECT_FALSE(parsed.damaged);
  EXPECT_EQ(parsed.entries, store.History().Entries());
  EXPECT_EQ(uncertain, (HistoryEntries{{"U_Hi", 7.5}}));
}

TEST(HistoryKey, PointAsDecimalSeparatorUnderACommaLocale) {
  ASSERT_NE(std::setlocale(LC_ALL, "German_Germany.1252"), nullptr);
  char printed[32];
  std::snprintf(printed, sizeof printed, "%f", 40252.375);
  EXPECT_STREQ(printed, "40252,375000") << "this locale should print a comma";
  std::u16string key = FormatHistoryKey(u"E", u"+64 21 555 1234", 40252.375);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(key, u"E_+64 21 555 1234_40252.375000");
}

}  // namespace
