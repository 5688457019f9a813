// A save merges what the file holds now with the memory (memory wins per
// key), so that a history that could not be read at opening, or a file that
// another process saved meanwhile, never loses an entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "history_files_win.h"
#include "store/history_stream.h"

namespace {

HistoryEntries Set(const std::string& prefix, int count, double base) {
  HistoryEntries entries;
  for (int i = 0; i < count; ++i) entries[prefix + std::to_string(i) + "_Hi"] = base + i;
  return entries;
}

void Record(SettingsManager& store, const HistoryEntries& entries) {
  for (const auto& [key, value] : entries) {
    ASSERT_EQ(key.substr(key.size() - 3), "_Hi");
    store.RecordSent(key.substr(0, key.size() - 3), "Hi", value);
  }
}

HistoryEntries Union(HistoryEntries a, const HistoryEntries& b) {
  a.insert(b.begin(), b.end());
  return a;
}

TEST(HistoryMerge, SaveKeepsTheFileEntriesTheMemoryNeverHad) {
  TempFolder temp;
  SettingsManager first(temp.path());
  Record(first, {{"A_Hi", 1.0}, {"B_Hi", 2.0}});
  ASSERT_EQ(first.SaveHistory(), 0);

  // A process that never loaded the file sends B again and C.
  SettingsManager second(temp.path());
  Record(second, {{"B_Hi", 20.0}, {"C_Hi", 3.0}});
  ASSERT_EQ(second.SaveHistory(), 0);
  const HistoryEntries expected{{"A_Hi", 1.0}, {"B_Hi", 20.0}, {"C_Hi", 3.0}};
  EXPECT_EQ(LoadedFrom(temp.path()), expected) << "memory wins for B, A is kept";
  EXPECT_EQ(second.History().Entries(), expected) << "the memory holds what the file holds";
  EXPECT_TRUE(second.WasSent("A", "Hi"));
  EXPECT_FALSE(FileExists(temp / L"HistoryData.tmp"));

  // The first process saves again with its older value of B: its memory
  // wins, and C, which it never saw, stays.
  ASSERT_EQ(first.SaveHistory(), 0);
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"A_Hi", 1.0}, {"B_Hi", 2.0}, {"C_Hi", 3.0}}));
}

// A save skips reading the file its own last save wrote, and only that one:
// a file another store saved since, here of the very same size, is merged.
TEST(HistoryMerge, SavingAgainWritesWhatWasAddedAndKeepsWhatAnotherStoreSavedSince) {
  TempFolder temp;
  SettingsManager first(temp.path());
  Record(first, {{"A_Hi", 1.0}});
  ASSERT_EQ(first.SaveHistory(), 0);
  Record(first, {{"B_Hi", 2.0}});
  ASSERT_EQ(first.SaveHistory(), 0);
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"A_Hi", 1.0}, {"B_Hi", 2.0}}));

  SettingsManager second(temp.path());
  ASSERT_EQ(second.LoadHistory(), 0);
  Record(second, {{"D_Hi", 4.0}});
  ASSERT_EQ(second.RemoveFromHistory([](const std::string& key) { return key == "A_Hi"; }), 0);
  ASSERT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"B_Hi", 2.0}, {"D_Hi", 4.0}}));

  ASSERT_EQ(first.SaveHistory(), 0);
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"A_Hi", 1.0}, {"B_Hi", 2.0}, {"D_Hi", 4.0}}))
      << "D, saved by the other store, is kept";
}

// A removal must also take the entry out of the file when only the file
// has it, and keep what another process added meanwhile.
TEST(HistoryMerge, RemovalTakesEntriesOutOfFileAndMemoryAndKeepsTheRest) {
  TempFolder temp;
  SettingsManager other(temp.path());
  Record(other, {{"A_Hi", 1.0}, {"B_Hi", 2.0}});
  other.MutableHistory().RecordUncertain("A", "Hi", 5.0);
  ASSERT_EQ(other.SaveHistory(), 0);

  SettingsManager store(temp.path());
  Record(store, {{"C_Hi", 3.0}});
  ASSERT_EQ(store.RemoveFromHistory([](const std::string& key) { return key == "A_Hi"; }), 0);
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"B_Hi", 2.0}, {"C_Hi", 3.0}}));
  EXPECT_EQ(store.History().Entries(), (HistoryEntries{{"B_Hi", 2.0}, {"C_Hi", 3.0}}));
  EXPECT_FALSE(store.History().TriedUncertainly("A", "Hi")) << "the uncertain entry goes too";

  // Locked by another process: nothing is removed anywhere.
  HANDLE lock = CreateFileW((temp / L"HistoryData.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_NE(store.RemoveFromHistory([](const std::string& key) { return key == "B_Hi"; }), 0);
  CloseHandle(lock);
  EXPECT_TRUE(store.WasSent("B", "Hi"));
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"B_Hi", 2.0}, {"C_Hi", 3.0}}));
}

// The case: the history is locked by another process when the
// dialog opens (its load gets nothing) and free when it saves after a run.
TEST(HistoryMerge, HistoryLockedAtOpeningAndFreeAtSavingKeepsAllItsEntries) {
  for (bool storageLock : {true, false}) {
    SCOPED_TRACE(storageLock ? "compound-file lock" : "plain handle without sharing");
    TempFolder temp;
    const HistoryEntries earlier = Set("earlier", 500, 1000.0);
    {
      SettingsManager before(temp.path());
      Record(before, earlier);
      ASSERT_EQ(before.SaveHistory(), 0);
    }

    SettingsManager store(temp.path());  // a mail client started afresh
    {
      HeldByAnotherProcess holder(store.HistoryPath(), storageLock);
      ASSERT_TRUE(holder.held());
      EXPECT_EQ(store.LoadHistory(), 0);  // the dialog opens
      EXPECT_TRUE(store.History().Entries().empty()) << "the locked file could not be read";
    }
    const HistoryEntries run = Set("run", 3, 2000.0);
    Record(store, run);  // the run sends three reminders
    ASSERT_EQ(store.SaveHistory(), 0);

    EXPECT_EQ(LoadedFrom(temp.path()), Union(earlier, run));
    EXPECT_EQ(store.History().Entries(), Union(earlier, run));
  }
}

// A save that failed keeps its entries in memory, and a later load that
// succeeds does not drop them: the next save writes them.
TEST(HistoryMerge, EntriesOfAFailedSaveSurviveTheNextLoad) {
  TempFolder temp;
  SettingsManager store(temp.path());
  Record(store, {{"saved_Hi", 1.0}});
  ASSERT_EQ(store.SaveHistory(), 0);
  Record(store, {{"unsaved_Hi", 2.0}});
  {
    HeldByAnotherProcess holder(store.HistoryPath(), true);
    ASSERT_TRUE(holder.held());
    EXPECT_NE(store.SaveHistory(), 0);
  }
  EXPECT_EQ(store.History().Entries(), (HistoryEntries{{"saved_Hi", 1.0}, {"unsaved_Hi", 2.0}}));
  {
    SettingsManager other(temp.path());
    Record(other, {{"other_Hi", 3.0}});
    ASSERT_EQ(other.SaveHistory(), 0);
  }
  EXPECT_EQ(store.LoadHistory(), 0);  // the dialog opens again
  EXPECT_TRUE(store.WasSent("unsaved", "Hi"));
  EXPECT_TRUE(store.WasSent("other", "Hi"));
  ASSERT_EQ(store.SaveHistory(), 0);
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"other_Hi", 3.0}, {"saved_Hi", 1.0}, {"unsaved_Hi", 2.0}}));
}

// The second case: two batch dialogs in two mail-client processes,
// both opened on the same file, saving one after the other.
TEST(HistoryMerge, TwoDialogsOfTwoProcessesSavingInTurnKeepBothSets) {
  TempFolder temp;
  const HistoryEntries common = Set("common", 20, 10.0);
  {
    SettingsManager before(temp.path());
    Record(before, common);
    ASSERT_EQ(before.SaveHistory(), 0);
  }
  for (bool firstSavesFirst : {true, false}) {
    NamedEvent readyA("readyA"), goA("goA"), readyB("readyB"), goB("goB");
    const std::wstring prefixA = firstSavesFirst ? L"a1_" : L"a2_", prefixB = firstSavesFirst ? L"b1_" : L"b2_";
    Child a(L"turn " + Quoted(temp.path()) + L" " + prefixA + L" 300 " + WideOf(readyA.name()) + L" " +
            WideOf(goA.name()));
    Child b(L"turn " + Quoted(temp.path()) + L" " + prefixB + L" 200 " + WideOf(readyB.name()) + L" " +
            WideOf(goB.name()));
    ASSERT_TRUE(a.started() && b.started());
    // Both have loaded the file and sent their reminders before either saves.
    ASSERT_TRUE(readyA.Wait());
    ASSERT_TRUE(readyB.Wait());
    Child& firstSaver = firstSavesFirst ? a : b;
    Child& secondSaver = firstSavesFirst ? b : a;
    (firstSavesFirst ? goA : goB).Set();
    EXPECT_EQ(firstSaver.ExitCode(), 0u);
    (firstSavesFirst ? goB : goA).Set();
    EXPECT_EQ(secondSaver.ExitCode(), 0u);
  }
  HistoryEntries expected = common;
  for (const char* prefix : {"a1_", "a2_"}) {
    for (int i = 0; i < 300; ++i) expected[prefix + std::to_string(i) + "_Hi"] = 100.0 + i;
  }
  for (const char* prefix : {"b1_", "b2_"}) {
    for (int i = 0; i < 200; ++i) expected[prefix + std::to_string(i) + "_Hi"] = 100.0 + i;
  }
  EXPECT_EQ(LoadedFrom(temp.path()), expected);
  EXPECT_FALSE(FileExists(temp / L"HistoryData.tmp"));
}

TEST(HistoryMerge, FilesWithoutEntriesAreReplacedBySaving) {
  TempFolder temp;
  SettingsManager store(temp.path());
  Record(store, {{"K_Hi", 1.0}});
  // A compound file without the stream, and a file of no bytes.
  WriteStreamFile(store.HistoryPath(), nullptr, {});
  ASSERT_EQ(store.SaveHistory(), 0);
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"K_Hi", 1.0}}));
  ASSERT_TRUE(WriteFileBytes(store.HistoryPath(), {}));
  EXPECT_EQ(store.LoadHistory(), 0);
  EXPECT_EQ(store.History().Entries(), (HistoryEntries{{"K_Hi", 1.0}}));
  ASSERT_EQ(store.SaveHistory(), 0);
  EXPECT_EQ(LoadedFrom(temp.path()), (HistoryEntries{{"K_Hi", 1.0}}));
}

// The stream's size field claims more than the cap: the file is never read
// whole, so a save must not replace it (its entries would be lost).
TEST(HistoryMerge, StreamOverTheSizeCapIsNeitherLoadedNorOverwritten) {
  TempFolder temp;
  std::vector<unsigned char> stream = SerializeHistory({{"in the file", 5.0}});
  WriteStreamFile(temp / L"HistoryData.dat", kHistoryStream, stream);
  std::vector<unsigned char> file = ReadFileBytes(temp / L"HistoryData.dat");
  // The directory entry starts with the stream's UTF-16 name; its 8-byte
  // size is at offset 120 of the 128-byte entry.
  const std::vector<unsigned char> name = Utf16Bytes(u"SentSMSs_Profile");
  auto at = std::search(file.begin(), file.end(), name.begin(), name.end());
  ASSERT_NE(at, file.end());
  const std::size_t size = static_cast<std::size_t>(at - file.begin()) + 120;
  ASSERT_EQ(file[size], stream.size());
  const std::uint32_t huge = 300u << 20;
  for (int i = 0; i < 4; ++i) file[size + i] = static_cast<unsigned char>(huge >> (8 * i));
  ASSERT_TRUE(WriteFileBytes(temp / L"HistoryData.dat", file));

  SettingsManager store(temp.path());
  store.RecordSent("K", "T", 1.0);
  EXPECT_EQ(store.LoadHistory(), 0);
  EXPECT_EQ(store.History().Entries(), (HistoryEntries{{"K_T", 1.0}}));
  EXPECT_NE(store.SaveHistory(), 0);
  EXPECT_EQ(ReadFileBytes(temp / L"HistoryData.dat"), file) << "the file is left as it was";
  EXPECT_EQ(store.History().Entries(), (HistoryEntries{{"K_T", 1.0}}));
  EXPECT_FALSE(FileExists(temp / L"HistoryData.tmp"));
}

TEST(HistoryMerge, FileForAnIndependentReader) {
  // check_history_file.py merged: read with olefile after this test. The
  // file held three entries when it was locked at opening; the run added two.
  std::wstring folder = std::wstring(HISTORY_OLEFILE_FOLDER) + L"\\merged";
  CreateDirectoryW(HISTORY_OLEFILE_FOLDER, nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  DeleteFileW((folder + L"\\HistoryData.dat").c_str());
  {
    SettingsManager before(folder);
    before.RecordSent("E_(null)_40252.375000", "Hi", 0.5);
    before.RecordSent("E_(null)_40252.375000", "H\xe9", -1.0);
    before.RecordSent("E_+64 21 555 1234_40252.375000", "Hi", 1.0);
    ASSERT_EQ(before.SaveHistory(), 0);
  }
  SettingsManager store(folder);
  {
    HeldByAnotherProcess holder(store.HistoryPath(), true);
    ASSERT_TRUE(holder.held());
    store.LoadHistory();
  }
  store.RecordSent("E_+64 21 555 1234_40252.375000", "Hi", 40252.375);
  store.RecordSent("F_(null)_40253.000000", "\xff", 2.0);
  EXPECT_EQ(store.SaveHistory(), 0);
}

}  // namespace
