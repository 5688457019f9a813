// Fault campaign on the history and settings files: damaged, empty,
// read-only, or unable to grow (a full disk). Never a crash, never an entry
// saved before lost, and a save that fails leaves the memory as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "history_files_win.h"

namespace {

HistoryEntries Many(const std::string& prefix, int count) {
  HistoryEntries entries;
  for (int i = 0; i < count; ++i) entries[prefix + std::to_string(i) + "_" + std::string(40, 'x')] = i;
  return entries;
}

// A save through a store whose memory holds `memory` plus one new entry;
// either it succeeds and the file holds the memory and the new entry, or it
// fails and neither the file nor the memory changed.
void ExpectSaveKeepsEverything(const std::wstring& folder, const HistoryEntries& memory, const char* what) {
  const std::vector<unsigned char> before = ReadFileBytes(folder + L"\\HistoryData.dat");
  SettingsManager store(folder);
  store.MutableHistory().Replace(memory);
  store.RecordSent("new", "entry", 1.0);
  const HistoryEntries inMemory = store.History().Entries();
  const long status = store.SaveHistory();
  if (status == 0) {
    EXPECT_TRUE(Includes(LoadedFrom(folder), inMemory)) << what;
    EXPECT_TRUE(Includes(store.History().Entries(), inMemory)) << what;
  } else {
    EXPECT_EQ(ReadFileBytes(folder + L"\\HistoryData.dat"), before) << what;
    EXPECT_EQ(store.History().Entries(), inMemory) << what;
  }
  EXPECT_FALSE(FileExists(folder + L"\\HistoryData.tmp")) << what;
}

TEST(HistoryFaults, TruncatedFilesAtEveryDepth) {
  TempFolder temp;
  const HistoryEntries saved = Many("key", 400);
  {
    SettingsManager store(temp.path());
    store.MutableHistory().Replace(saved);
    ASSERT_EQ(store.SaveHistory(), 0);
  }
  const std::vector<unsigned char> whole = ReadFileBytes(temp / L"HistoryData.dat");
  ASSERT_GT(whole.size(), 20000u);
  bool salvagedPart = false;
  for (std::size_t cut = 0; cut < whole.size(); cut += cut < 1024 ? 256 : 2048) {
    const std::string what = "cut at " + std::to_string(cut) + " of " + std::to_string(whole.size());
    ASSERT_TRUE(WriteFileBytes(temp / L"HistoryData.dat", {whole.begin(), whole.begin() + cut}));
    // A fresh load takes only real entries: what it salvaged, with its value.
    SettingsManager fresh(temp.path());
    EXPECT_EQ(fresh.LoadHistory(), 0);
    EXPECT_TRUE(Includes(saved, fresh.History().Entries())) << what;
    const std::size_t got = fresh.History().Entries().size();
    salvagedPart = salvagedPart || (got > 0 && got < saved.size());
    // A process that had loaded the whole history before the damage keeps it.
    ExpectSaveKeepsEverything(temp.path(), saved, what.c_str());
  }
  EXPECT_TRUE(salvagedPart) << "some cut should leave a readable first part of the stream";
}

// Windows refuses to replace a read-only file; Wine run as root may not.
// Either way nothing is lost.
TEST(HistoryFaults, ReadOnlyFileLoadsAndLosesNothing) {
  TempFolder temp;
  SettingsManager store(temp.path());
  store.RecordSent("K", "saved", 1.0);
  ASSERT_EQ(store.SaveHistory(), 0);
  ASSERT_TRUE(SetFileAttributesW(store.HistoryPath().c_str(), FILE_ATTRIBUTE_READONLY));

  SettingsManager next(temp.path());
  next.LoadHistory();
  EXPECT_TRUE(next.WasSent("K", "saved"));
  ExpectSaveKeepsEverything(temp.path(), next.History().Entries(), "read-only");

  ASSERT_TRUE(SetFileAttributesW(store.HistoryPath().c_str(), FILE_ATTRIBUTE_NORMAL));
  next.RecordSent("K", "later", 2.0);
  EXPECT_EQ(next.SaveHistory(), 0);
  EXPECT_TRUE(Includes(LoadedFrom(temp.path()), {{"K_saved", 1.0}, {"K_later", 2.0}}));
}

TEST(HistoryFaults, NoCrashOnAnyKindOfWrongFile) {
  TempFolder temp;
  const HistoryEntries memory{{"kept_x", 1.0}};
  const std::vector<std::vector<unsigned char>> files = {
      {},
      {'n', 'o', 't', ' ', 'o', 'l', 'e'},
      std::vector<unsigned char>(4096, 0),
      std::vector<unsigned char>(5000, 0xFF),
      {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1},  // the signature alone
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string what = "file " + std::to_string(i);
    ASSERT_TRUE(WriteFileBytes(temp / L"HistoryData.dat", files[i]));
    SettingsManager store(temp.path());
    store.MutableHistory().Replace(memory);
    EXPECT_EQ(store.LoadHistory(), 0);
    EXPECT_EQ(store.History().Entries(), memory) << what;
    ExpectSaveKeepsEverything(temp.path(), memory, what.c_str());
  }
}

std::vector<unsigned char> IniBytes(const std::u16string& text) {
  std::vector<unsigned char> bytes = {0xFF, 0xFE};
  for (auto b : Utf16Bytes(text)) bytes.push_back(b);
  return bytes;
}

const std::u16string kUserText =
    u"[Profile]\r\nUserName=anna\r\nPassword=s3cret\r\nSavedTemplatesCount=1\r\n"
    u"SavedTemplateName1=\u041d\u0430\u043f\r\nSavedTemplateText1=Hi [[first name]]\r\n";

TEST(SettingsFaults, EmptyFileKeepsNonLatinTextInUtf16) {
  TempFolder temp;
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", {}));
  SettingsManager settings(temp.path());
  EXPECT_EQ(settings.GetString(settings_key::kUserName), u"");
  EXPECT_EQ(settings.GetInt(settings_key::kShowDeliveryResults, 1), 1u);
  const std::u16string name = u"\u4f60\u597d \u041d\u0430\u043f";
  settings.AddTemplate(name, u"text");
  EXPECT_EQ(SettingsManager(temp.path()).GetTemplateName(1), name);
}

TEST(SettingsFaults, TruncatedFileKeepsWhatItStillHolds) {
  TempFolder temp;
  const std::vector<unsigned char> whole = IniBytes(kUserText);
  // Cut inside the last line, and one byte into a UTF-16 unit.
  for (std::size_t cut : {whole.size() - 10, whole.size() - 11}) {
    ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", {whole.begin(), whole.begin() + cut}));
    SettingsManager settings(temp.path());
    EXPECT_EQ(settings.GetString(settings_key::kUserName), u"anna") << cut;
    EXPECT_EQ(settings.GetString(settings_key::kPassword), u"s3cret") << cut;
    settings.SetFlag(settings_key::kConcatenation, true);
    SettingsManager again(temp.path());
    EXPECT_EQ(again.GetString(settings_key::kUserName), u"anna") << cut;
    EXPECT_EQ(again.GetTemplateName(1), u"\u041d\u0430\u043f") << cut;
    EXPECT_EQ(again.GetInt(settings_key::kConcatenation, 0), 1u) << cut;
  }
}

// A read-only file is refused whoever runs the add-in, and every value stays.
TEST(SettingsFaults, ReadOnlyFileIsRefusedAndLosesNothing) {
  TempFolder temp;
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", IniBytes(kUserText)));
  ASSERT_TRUE(SetFileAttributesW((temp / L"Settings.ini").c_str(), FILE_ATTRIBUTE_READONLY));
  SettingsManager settings(temp.path());
  EXPECT_EQ(settings.SetString(settings_key::kUserName, u"bob"), HRESULT_FROM_WIN32(ERROR_FILE_READ_ONLY));
  EXPECT_NE(settings.AddTemplate(u"new", u"text"), 0);
  EXPECT_NE(settings.DescribeWriteFailure(HRESULT_FROM_WIN32(ERROR_FILE_READ_ONLY)).find(u"Settings.ini"),
            std::u16string::npos);
  SetFileAttributesW((temp / L"Settings.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(temp / L"Settings.ini"), IniBytes(kUserText));
  EXPECT_EQ(FilesIn(temp.path()), std::vector<std::wstring>{L"Settings.ini"});
}

// Another program holding the file without sharing: refused, not dropped.
TEST(SettingsFaults, AFileHeldByAnotherProgramIsRefused) {
  TempFolder temp;
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", IniBytes(kUserText)));
  SettingsManager settings(temp.path());
  {
    UniqueHandle held(CreateFileW((temp / L"Settings.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_NE(settings.SetString(settings_key::kUserName, u"bob"), 0);
  }
  EXPECT_EQ(ReadFileBytes(temp / L"Settings.ini"), IniBytes(kUserText));
  EXPECT_EQ(settings.SetString(settings_key::kUserName, u"bob"), 0) << "free again";
  EXPECT_EQ(SettingsManager(temp.path()).GetString(settings_key::kUserName), u"bob");
}

TEST(SettingsFaults, AFileRemovedDuringTheSessionIsMadeAgainWithItsMark) {
  TempFolder temp;
  SettingsManager settings(temp.path());
  ASSERT_TRUE(DeleteFileW(settings.SettingsPath().c_str()));
  const std::u16string name = u"\u4f60\u597d \u041d\u0430\u043f";
  ASSERT_EQ(settings.AddTemplate(name, u"text"), 0);
  const std::vector<unsigned char> bytes = ReadFileBytes(settings.SettingsPath());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_EQ(SettingsManager(temp.path()).GetTemplateName(1), name);
}

// Two writers adding templates at once (two mail clients of one user):
// every template keeps its own number, name and text.
TEST(SettingsFaults, ConcurrentWritersLoseNothing) {
  TempFolder temp;
  SettingsManager(temp.path()).SetString(settings_key::kUserName, u"anna");
  constexpr int kEach = 12;
  std::atomic<int> failures{0};
  auto writer = [&](char16_t who) {
    SettingsManager settings(temp.path());
    for (int i = 0; i < kEach; ++i) {
      const std::u16string name = std::u16string(1, who) + static_cast<char16_t>(u'a' + i);
      const HResult status = settings.AddTemplate(name, name + u" text");
      if (status != 0) ++failures;
    }
  };
  std::thread first(writer, u'A'), second(writer, u'B');
  first.join();
  second.join();
  EXPECT_EQ(failures, 0);
  SettingsManager settings(temp.path());
  ASSERT_EQ(settings.TemplateCount(), 2 * kEach);
  std::set<std::u16string> names;
  for (int n = 1; n <= 2 * kEach; ++n) {
    names.insert(settings.GetTemplateName(n));
    EXPECT_EQ(settings.GetTemplateText(n), settings.GetTemplateName(n) + u" text") << n;
  }
  EXPECT_EQ(names.size(), static_cast<std::size_t>(2 * kEach));
  EXPECT_EQ(settings.GetString(settings_key::kUserName), u"anna");
}

// Every write goes through a copy that must read back whole: a value the
// profile functions trim or unquote must not read as a failed write.
TEST(SettingsFaults, WritesThroughACopyKeepEveryValueAndLeaveNoCopy) {
  TempFolder temp;
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", IniBytes(kUserText + u"[Other]\r\nKept=yes\r\n")));
  SettingsManager settings(temp.path());
  settings.SetString(settings_key::kUserName, u"  spaced  ");
  EXPECT_EQ(SettingsManager(temp.path()).GetString(settings_key::kUserName), u"spaced");
  settings.SetString(settings_key::kUserName, u"\"quoted\"");
  EXPECT_EQ(SettingsManager(temp.path()).GetString(settings_key::kUserName), u"quoted");
  settings.SetString(u"SavedTemplateText1", u"two\r\nlines ");
  settings.SetString(u"Brand new", u"value");
  SettingsManager again(temp.path());
  EXPECT_EQ(again.GetTemplateText(1), u"two\r\nlines ");
  EXPECT_EQ(again.GetString(u"Brand new"), u"value");
  EXPECT_EQ(again.GetString(settings_key::kPassword), u"s3cret");
  wchar_t other[16] = {};
  GetPrivateProfileStringW(L"Other", L"Kept", L"", other, 16, (temp / L"Settings.ini").c_str());
  EXPECT_STREQ(other, L"yes");
  EXPECT_EQ(FilesIn(temp.path()), std::vector<std::wstring>{L"Settings.ini"});
}

// Run by store_full_disk_wintest.sh, where no file may grow past
// STORE_FILE_SIZE_LIMIT bytes (RLIMIT_FSIZE, SIGXFSZ ignored): writes past
// it fail as on a full disk.
TEST(FullDisk, SaveThatCannotWriteKeepsTheFileAndTheMemory) {
  const char* limitText = std::getenv("STORE_FILE_SIZE_LIMIT");
  if (!limitText) GTEST_SKIP() << "runs under store_full_disk_wintest.sh, which limits the file size";
  const std::size_t limit = std::strtoul(limitText, nullptr, 10);
  TempFolder temp;
  SettingsManager store(temp.path());
  const HistoryEntries small = Many("small", 100);
  store.MutableHistory().Replace(small);
  ASSERT_EQ(store.SaveHistory(), 0) << "a small history fits";
  const std::vector<unsigned char> before = ReadFileBytes(store.HistoryPath());

  HistoryEntries big = Many("big", static_cast<int>(limit / 50));
  big.insert(small.begin(), small.end());
  store.MutableHistory().Replace(big);
  EXPECT_NE(store.SaveHistory(), 0) << "the new file cannot grow past " << limit << " bytes";
  EXPECT_EQ(store.History().Entries(), big);
  EXPECT_EQ(ReadFileBytes(store.HistoryPath()), before);
  EXPECT_FALSE(FileExists(temp / L"HistoryData.tmp"));
  EXPECT_EQ(LoadedFrom(temp.path()), small);

  // The settings file: a value too large to be written leaves the file as
  // it was, whether the value is new (written last) or the file's first,
  // after which every other value is rewritten.
  const std::vector<unsigned char> ini = IniBytes(kUserText);
  for (const char16_t* key : {u"SavedTemplateText2", settings_key::kUserName}) {
    SCOPED_TRACE(testing::Message() << std::string(key, key + std::char_traits<char16_t>::length(key)));
    ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", ini));
    SettingsManager settings(temp.path());
    EXPECT_NE(settings.SetString(key, std::u16string(limit, u'y')), 0);
    EXPECT_EQ(ReadFileBytes(temp / L"Settings.ini"), ini);
    // A template whose text cannot be written adds nothing, not a count
    // over a missing text.
    EXPECT_NE(settings.AddTemplate(u"big", std::u16string(limit, u'y')), 0);
    EXPECT_EQ(ReadFileBytes(temp / L"Settings.ini"), ini);
    SettingsManager again(temp.path());
    EXPECT_EQ(again.GetString(settings_key::kUserName), u"anna");
    EXPECT_EQ(again.GetString(settings_key::kPassword), u"s3cret");
    EXPECT_EQ(again.GetTemplateText(1), u"Hi [[first name]]");
    // A value that fits is still written.
    again.SetString(settings_key::kPassword, u"n3w");
    EXPECT_EQ(SettingsManager(temp.path()).GetString(settings_key::kPassword), u"n3w");
    EXPECT_EQ(SettingsManager(temp.path()).GetTemplateText(1), u"Hi [[first name]]");
  }
  EXPECT_EQ(FilesIn(temp.path()), (std::vector<std::wstring>{L"HistoryData.dat", L"Settings.ini"}))
      << "no copy is left behind";
}

}  // namespace
