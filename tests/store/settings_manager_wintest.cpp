#include <shlobj.h>

#include <gtest/gtest.h>

#include "store/settings_manager.h"
#include "store_files_win.h"

namespace {

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
  return std::vector<unsigned char>(values.begin(), values.end());
}

// The bytes of one "key=value" line of the UTF-16 settings file.
std::vector<unsigned char> Line(const std::u16string& key, const std::u16string& value) {
  return Utf16Bytes(key + u"=" + value + u"\r\n");
}

TEST(SettingsFile, FirstUseCreatesTheFolderAndABomOnlyFile) {
  TempFolder temp;
  std::wstring folder = temp / L"RudizavADUZaziv";
  SettingsManager settings(folder);
  EXPECT_EQ(settings.SettingsPath(), folder + L"\\Settings.ini");
  EXPECT_EQ(ReadFileBytes(settings.SettingsPath()), Bytes({0xFF, 0xFE}));
  EXPECT_EQ(settings.GetInt(settings_key::kShowDeliveryResults, 1), 1u);
  EXPECT_EQ(settings.GetInt(settings_key::kTimeFrameUnitType, 2), 2u);
  EXPECT_EQ(settings.GetInt(settings_key::kAlphabet, 0), 0u);
  for (const char16_t* key : {settings_key::kUserName, settings_key::kPassword,
                              settings_key::kSelectedTemplate, settings_key::kGatewayHost}) {
    EXPECT_EQ(settings.GetString(key), u"");
  }
  EXPECT_FALSE(FileExists(settings.HistoryPath()));
}

TEST(SettingsFile, AnExistingFileIsNeverTouched) {
  TempFolder temp;
  std::vector<unsigned char> content = {0xFF, 0xFE};
  for (auto b : Utf16Bytes(u"[Profile]\r\nUserName=bob\r\nGatewayHost=sms.example:8080\r\n")) content.push_back(b);
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", content));
  SettingsManager settings(temp.path());
  EXPECT_EQ(ReadFileBytes(temp / L"Settings.ini"), content);
  EXPECT_EQ(settings.GetString(settings_key::kUserName), u"bob");
  EXPECT_EQ(settings.GetString(settings_key::kGatewayHost), u"sms.example:8080");

  // A second manager on the same folder (another process) leaves it too.
  SettingsManager again(temp.path());
  EXPECT_EQ(ReadFileBytes(temp / L"Settings.ini"), content);
}

// The machine's gateway address as an install for every user writes it,
// removed again at the end of the test.
class MachineGateway {
 public:
  explicit MachineGateway(const std::wstring& address) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"GatewayHost", 0, REG_SZ, reinterpret_cast<const BYTE*>(address.c_str()),
                   static_cast<DWORD>((address.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  ~MachineGateway() { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_64KEY, 0); }

 private:
  static constexpr wchar_t kKey[] = L"Software\\RudizavADUZaziv";
};

TEST(SettingsFile, AGatewayTheFileLeavesBlankIsTheMachines) {
  TempFolder temp;
  SettingsManager settings(temp.path());
  MachineGateway machine(L"gw.corp.example:8080");
  EXPECT_EQ(settings.GetString(settings_key::kGatewayHost), u"gw.corp.example:8080");
  EXPECT_EQ(settings.ReadSection()->GetString(settings_key::kGatewayHost), u"gw.corp.example:8080");
  EXPECT_EQ(ReadFileBytes(settings.SettingsPath()), Bytes({0xFF, 0xFE})) << "read, never written to the file";

  settings.SetString(settings_key::kGatewayHost, u"own.example");
  EXPECT_EQ(settings.GetString(settings_key::kGatewayHost), u"own.example");
  EXPECT_EQ(settings.ReadSection()->GetString(settings_key::kGatewayHost), u"own.example");
}

TEST(SettingsFile, WritesGoStraightToTheFileInUtf16) {
  TempFolder temp;
  SettingsManager settings(temp.path());
  settings.SetFlag(settings_key::kConcatenation, true);
  settings.SetInt(settings_key::kReminderUnitsCount, -3);
  settings.SetString(settings_key::kUserName, u"anna");
  std::vector<unsigned char> bytes = ReadFileBytes(settings.SettingsPath());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_TRUE(Contains(bytes, Utf16Bytes(u"[Profile]\r\n")));
  EXPECT_TRUE(Contains(bytes, Line(u"Concatenation", u"1")));
  EXPECT_TRUE(Contains(bytes, Line(u"ReminderUnitsCount", u"-3")));
  EXPECT_TRUE(Contains(bytes, Line(u"UserName", u"anna")));

  // Another manager (as another process would) sees the values at once.
  SettingsManager reader(temp.path());
  EXPECT_EQ(reader.GetInt(settings_key::kConcatenation, 0), 1u);
  EXPECT_EQ(static_cast<int>(reader.GetInt(settings_key::kReminderUnitsCount, 1)), -3);
  settings.SetFlag(settings_key::kConcatenation, false);
  EXPECT_EQ(reader.GetInt(settings_key::kConcatenation, 1), 0u);
}

TEST(SettingsFile, HandEditedValuesReadByTheProfileRules) {
  TempFolder temp;
  std::vector<unsigned char> content = {0xFF, 0xFE};
  for (auto b : Utf16Bytes(u"[Profile]\r\nConcatenation=2\r\nAlphabet=1x\r\nTimeFrameUnitsCount=abc\r\n"))
    content.push_back(b);
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", content));
  SettingsManager settings(temp.path());
  EXPECT_EQ(settings.GetInt(settings_key::kConcatenation, 0), 2u);
  EXPECT_EQ(settings.GetInt(settings_key::kAlphabet, 0), 1u);
  EXPECT_EQ(settings.GetInt(settings_key::kTimeFrameUnitsCount, 1), 0u);
}

TEST(SettingsFile, LongValuesAreWrittenWholeAndReadBackCut) {
  TempFolder temp;
  SettingsManager settings(temp.path());
  std::u16string value(2990, u'x');
  value += u"0123456789";
  settings.SetString(u"SavedTemplateText1", value);
  EXPECT_EQ(settings.GetString(u"SavedTemplateText1"), value.substr(0, 2047));
  EXPECT_TRUE(Contains(ReadFileBytes(settings.SettingsPath()), Line(u"SavedTemplateText1", value)));

  std::u16string exact(2047, u'y');
  settings.SetString(u"SavedTemplateText2", exact);
  EXPECT_EQ(settings.GetString(u"SavedTemplateText2"), exact);
}

TEST(SettingsFile, NonLatinTextSurvivesAsUtf16) {
  TempFolder temp;
  SettingsManager settings(temp.path());
  const std::u16string name = u"\u041d\u0430\u043f\u043e\u043c\u0438\u043d\u0430\u043d\u0438\u0435";
  const std::u16string text = u"\u4f60\u597d [[first name]] \u05e9\u05dc\u05d5\u05dd \U0001F600 caf\u00e9";
  settings.AddTemplate(name, text);
  std::vector<unsigned char> bytes = ReadFileBytes(settings.SettingsPath());
  EXPECT_TRUE(Contains(bytes, Line(u"SavedTemplateName1", name)));
  EXPECT_TRUE(Contains(bytes, Line(u"SavedTemplateText1", text)));
  SettingsManager reader(temp.path());
  EXPECT_EQ(reader.GetTemplateName(1), name);
  EXPECT_EQ(reader.GetTemplateText(1), text);
}

TEST(SettingsFile, AddTemplateTwiceWritesNumberedKeys) {
  TempFolder temp;
  SettingsManager settings(temp.path());
  settings.AddTemplate(u"Same", u"First");
  settings.AddTemplate(u"Same", u"Second");
  std::vector<unsigned char> bytes = ReadFileBytes(settings.SettingsPath());
  for (const auto& line : {Line(u"SavedTemplatesCount", u"2"), Line(u"SavedTemplateName1", u"Same"),
                           Line(u"SavedTemplateText1", u"First"), Line(u"SavedTemplateName2", u"Same"),
                           Line(u"SavedTemplateText2", u"Second")}) {
    EXPECT_TRUE(Contains(bytes, line));
  }
  settings.EnsureTemplateExists();
  EXPECT_EQ(settings.TemplateCount(), 2);
}

TEST(SettingsFile, MultiLineValuesSurviveWithoutHarmingOtherKeys) {
  TempFolder temp;
  SettingsManager settings(temp.path());
  const std::u16string multiLine = u"Dear [[first name]],\r\n\r\nsee you at [[appt time]].\nC:\\new\\room  ";
  settings.SetString(u"Before", u"one");
  settings.SetString(u"SavedTemplateText1", multiLine);
  settings.SetString(u"After", u"two");
  EXPECT_EQ(settings.GetString(u"SavedTemplateText1"), multiLine);
  EXPECT_EQ(settings.GetString(u"Before"), u"one");
  EXPECT_EQ(settings.GetString(u"After"), u"two");

  std::vector<unsigned char> bytes = ReadFileBytes(settings.SettingsPath());
  const std::u16string marker(1, u'\uFDD0');
  EXPECT_TRUE(Contains(bytes, Line(u"SavedTemplateText1", marker +
                                       u"Dear [[first name]],\\r\\n\\r\\nsee you at [[appt time]].\\n"
                                       u"C:\\\\new\\\\room  " + marker)));
  // Plain values keep their old form, byte for byte.
  EXPECT_TRUE(Contains(bytes, Line(u"Before", u"one")));
  EXPECT_TRUE(Contains(bytes, Line(u"After", u"two")));
}

TEST(SettingsFile, EncodedValuesInAFileReadBackDecodedAndCut) {
  TempFolder temp;
  const std::u16string marker(1, u'\uFDD0');
  std::u16string longLines;
  for (int i = 0; i < 300; ++i) longLines += u"line\\\\x\\n";  // 8 decoded units each
  std::vector<unsigned char> content = {0xFF, 0xFE};
  for (auto b : Utf16Bytes(u"[Profile]\r\nA=" + marker + u"x\\ny" + marker + u"\r\nB=" + marker +
                           longLines + marker + u"\r\nC=\\n plain" + marker + u"\r\n"))
    content.push_back(b);
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", content));
  SettingsManager settings(temp.path());
  EXPECT_EQ(settings.GetString(u"A"), u"x\ny");
  std::u16string expected;
  for (int i = 0; i < 300; ++i) expected += u"line\\x\n";
  EXPECT_EQ(settings.GetString(u"B"), expected.substr(0, 2047));
  EXPECT_EQ(settings.GetString(u"C"), u"\\n plain" + marker);
}

// The section read in one go answers as a read of each key does.
TEST(SettingsFile, TheSectionReadGivesWhatEachKeyReadGives) {
  TempFolder temp;
  const std::u16string marker(1, u'\uFDD0');
  std::u16string longEncoded = marker;
  for (int i = 0; i < 700; ++i) longEncoded += u"ab\\n";
  longEncoded += marker;
  std::vector<unsigned char> content = {0xFF, 0xFE};
  for (auto b : Utf16Bytes(u"[Other]\r\nUserName=elsewhere\r\n[Profile]\r\nusername=first\r\nUserName=second\r\n"
                           u"Password=  \"quoted\"  \r\nBare\r\nEmpty=\r\nQuote='\r\nAlphabet=0x1F\r\n"
                           u"Concatenation=-2\r\nShowDeliveryResults=\"\"\r\nCount=" + std::u16string(40, u'9') +
                           u"\r\nLong=" + std::u16string(3000, u'x') + u"\r\nEncoded=" + longEncoded +
                           u"\r\nA=" + marker + u"x\\ny" + marker + u"\r\n"))
    content.push_back(b);
  ASSERT_TRUE(WriteFileBytes(temp / L"Settings.ini", content));
  SettingsManager settings(temp.path());
  const auto section = settings.ReadSection();
  for (const char16_t* key : {u"UserName", u"Password", u"Bare", u"Empty", u"Quote", u"Alphabet", u"Concatenation",
                              u"ShowDeliveryResults", u"Count", u"Long", u"Encoded", u"A", u"Missing"}) {
    const std::string label(key, key + std::char_traits<char16_t>::length(key));
    EXPECT_EQ(section->GetString(key), settings.GetString(key)) << label;
    EXPECT_EQ(section->GetInt(key, 7), settings.GetInt(key, 7)) << label;
  }
  EXPECT_EQ(section->GetString(u"UserName"), u"first") << "the first entry, whatever its case";
  EXPECT_EQ(section->GetString(u"Encoded").size(), 2047u);
}

// Another program's write of the file: `name` as the user name, the file
// stamped `secondsAgo` before now when that is not 0.
void WriteUserName(const std::wstring& path, const std::u16string& name, int secondsAgo = 0) {
  std::vector<unsigned char> content = {0xFF, 0xFE};
  for (auto b : Utf16Bytes(u"[Profile]\r\nUserName=" + name + u"\r\n")) content.push_back(b);
  ASSERT_TRUE(WriteFileBytes(path, content));
  if (secondsAgo == 0) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
  time.QuadPart -= secondsAgo * 10'000'000ull;
  const FILETIME stamp{time.LowPart, time.HighPart};
  UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file.valid() && SetFileTime(file.get(), nullptr, nullptr, &stamp));
}

TEST(SettingsFile, TheSectionReadSeesEveryChangeOfTheFile) {
  TempFolder temp;
  const std::wstring path = temp / L"Settings.ini";
  SettingsManager settings(temp.path());
  const auto userName = [&] { return settings.ReadSection()->GetString(settings_key::kUserName); };
  WriteUserName(path, u"anna", 3600);
  EXPECT_EQ(userName(), u"anna");
  EXPECT_EQ(userName(), u"anna");

  // Changes of the same size, stamped now and stamped back in time.
  WriteUserName(path, u"bert");
  EXPECT_EQ(userName(), u"bert");
  WriteUserName(path, u"carl", 7200);
  EXPECT_EQ(userName(), u"carl");

  // A file written a moment before it was read may be written again with
  // the same stamp, where write times are coarse: it is read again.
  WriteUserName(path, u"dora", 1);
  EXPECT_EQ(userName(), u"dora");
  FILETIME dora;
  {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(GetFileTime(file.get(), nullptr, nullptr, &dora));
  }
  WriteUserName(path, u"emil");
  {
    UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &dora));
  }
  EXPECT_EQ(userName(), u"emil");

  // This store's own writes, and the file gone.
  WriteUserName(path, u"finn", 3600);
  EXPECT_EQ(userName(), u"finn");
  ASSERT_EQ(settings.SetString(settings_key::kUserName, u"gina"), kStatusOk);
  EXPECT_EQ(userName(), u"gina");
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(userName(), u"");
}

TEST(SettingsFile, NoUsableFolderGivesDefaultsAndWritesNothing) {
  TempFolder temp;
  // A folder whose Settings.ini path would pass 259 characters.
  std::wstring deep = temp.path() + L"\\" + std::wstring(250 - temp.path().size(), L'd');
  for (const std::wstring& folder : {std::wstring(), deep}) {
    SettingsManager settings(folder);
    EXPECT_TRUE(settings.SettingsPath().empty());
    EXPECT_EQ(settings.SetString(settings_key::kUserName, u"lost"), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(settings.GetString(settings_key::kUserName), u"");
    EXPECT_EQ(settings.GetInt(settings_key::kShowDeliveryResults, 1), 1u);
    EXPECT_NE(settings.SaveHistory(), 0);
  }
  EXPECT_FALSE(FileExists(deep + L"\\Settings.ini"));
}

TEST(SettingsFile, InstanceLivesInTheRoamingApplicationDataFolder) {
  wchar_t appData[MAX_PATH];
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
  SettingsManager& settings = SettingsManager::Instance();
  EXPECT_EQ(&settings, &SettingsManager::Instance());
  EXPECT_EQ(settings.SettingsPath(), std::wstring(appData) + L"\\RudizavADUZaziv\\Settings.ini");
  EXPECT_EQ(settings.HistoryPath(), std::wstring(appData) + L"\\RudizavADUZaziv\\HistoryData.dat");
  EXPECT_TRUE(FileExists(settings.SettingsPath()));
}

}  // namespace
