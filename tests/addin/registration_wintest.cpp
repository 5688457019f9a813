// regsvr32 against the real registry of the test prefix.
#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

const std::wstring kClsid = L"{B8F298BE-C41F-4BAF-A5A7-55D952714F2E}";
const std::wstring kClassKey = L"Software\\Classes\\CLSID\\" + kClsid;
const std::wstring kAddinsKey = L"Software\\Microsoft\\Office\\Outlook\\Addins";
const std::wstring kAddinKey = kAddinsKey + L"\\QuorvalSmsOutlookAddin.QuorvalOAddin";
const GUID kLibid = {0xCEB11373, 0xBE5B, 0x49D1, {0xB7, 0x15, 0xFE, 0xB9, 0x95, 0xE2, 0x28, 0x26}};
const IID kIidAddin = {0x1F480563, 0x68EC, 0x4F79, {0x9D, 0x79, 0x62, 0x14, 0xB5, 0x9E, 0xC8, 0x1B}};

DWORD RunRegsvr32(const std::wstring& arguments) {
  std::wstring command = L"regsvr32.exe /s " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

DWORD Register(const std::wstring& dll = ADDIN_DLL_PATH) { return RunRegsvr32(L"\"" + dll + L"\""); }
DWORD Unregister(const std::wstring& dll = ADDIN_DLL_PATH) { return RunRegsvr32(L"/u \"" + dll + L"\""); }

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void CreateKey(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// Every key and value below `path`, one line each: "sub\key|name|type|data".
void Dump(HKEY root, const std::wstring& path, const std::wstring& relative, std::set<std::wstring>& lines) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  lines.insert(relative);
  wchar_t name[512];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 512, dataSize = sizeof data, type = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    std::wstring text = type == REG_DWORD ? L"dword:" + std::to_wstring(*reinterpret_cast<DWORD*>(data))
                                          : std::wstring(reinterpret_cast<wchar_t*>(data));
    lines.insert(relative + L"|" + name + L"|" + text);
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 512;
    if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Dump(root, path + L"\\" + name, relative + L"\\" + name, lines);
  }
  RegCloseKey(key);
}

std::set<std::wstring> Tree(HKEY root, const std::wstring& path) {
  std::set<std::wstring> lines;
  Dump(root, path, L"", lines);
  return lines;
}

std::wstring DefaultValue(HKEY root, const std::wstring& path) {
  wchar_t text[1024] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return text;
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Register(), 0u); }
};

// The DOS form of a path, as the module names itself.
std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return full;
}

// The class key's entries for the module under test.
std::set<std::wstring> ClassEntries() {
  std::wstring module = FullPath(ADDIN_DLL_PATH);
  return {
      L"",
      L"|" + std::wstring() + L"|QuorvalOAddin Class",
      L"\\InprocServer32",
      L"\\InprocServer32||" + module,
      L"\\InprocServer32|ThreadingModel|Apartment",
      L"\\ProgID",
      L"\\ProgID||QuorvalSmsOutlookAddin.QuorvalOAddin.1",
      L"\\Programmable",
      L"\\TypeLib",
      L"\\TypeLib||{CEB11373-BE5B-49D1-B715-FEB995E22826}",
      L"\\VersionIndependentProgID",
      L"\\VersionIndependentProgID||QuorvalSmsOutlookAddin.QuorvalOAddin",
  };
}

// The class, its ProgIDs and the add-in key, as written under `root`.
void ExpectClassAndProgIds(HKEY root) {
  EXPECT_EQ(Tree(root, kClassKey), ClassEntries());
  std::set<std::wstring> progId{L"", L"||QuorvalOAddin Class", L"\\CLSID", L"\\CLSID||" + kClsid};
  EXPECT_EQ(Tree(root, L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin.1"), progId);
  progId.insert({L"\\CurVer", L"\\CurVer||QuorvalSmsOutlookAddin.QuorvalOAddin.1"});
  EXPECT_EQ(Tree(root, L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin"), progId);
}

const std::set<std::wstring> kAddinEntries{L"", L"|FriendlyName|Quorval SMS Plugin for Outlook",
                                           L"|Description|ATLCOM Quorval SMS Plugin for Outlook",
                                           L"|LoadBehavior|dword:3", L"|CommandLineSafe|dword:0"};

TEST_F(Registration, WritesExactlyTheClassAndProgIdEntriesMachineWide) { ExpectClassAndProgIds(HKEY_LOCAL_MACHINE); }

TEST_F(Registration, RegistersTheAddinForTheUserAndTheMachine) {
  EXPECT_EQ(Tree(HKEY_CURRENT_USER, kAddinKey), kAddinEntries);
  EXPECT_EQ(Tree(HKEY_LOCAL_MACHINE, kAddinKey), kAddinEntries);
}

// regsvr32 /n /i:user, as the setup's default install runs it: the user's
// own class registry and add-in key, nothing of the machine's.
TEST(UserRegistration, WritesAndRemovesTheUsersKeysAlone) {
  Unregister();  // what an earlier test left machine-wide, if anything
  const std::wstring dll = L"\"" + std::wstring(ADDIN_DLL_PATH) + L"\"";
  ASSERT_EQ(RunRegsvr32(L"/n /i:user " + dll), 0u);
  ExpectClassAndProgIds(HKEY_CURRENT_USER);
  EXPECT_EQ(Tree(HKEY_CURRENT_USER, kAddinKey), kAddinEntries);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddinKey));

  ASSERT_EQ(RunRegsvr32(L"/u /n /i:user " + dll), 0u);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin.1"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kAddinKey));
  EXPECT_NE(RunRegsvr32(L"/n /i:everyone " + dll), 0u) << "only \"user\" is offered";
}

TEST_F(Registration, TypeLibraryLoadsByItsLibid) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(kLibid, 1, 0, 0, &library), S_OK);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(library->GetTypeInfoOfGuid(kIidAddin, &info), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(attributes->cFuncs, 7) << "IDispatch's own seven members only";
  info->ReleaseTypeAttr(attributes);
  BSTR name = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"QuorvalSmsOutlookAddinLib");
  SysFreeString(name);
}

TEST_F(Registration, RegisteringAgainRewritesTheClassKeyFromScratch) {
  CreateKey(HKEY_LOCAL_MACHINE, kClassKey + L"\\Stale");
  CreateKey(HKEY_LOCAL_MACHINE, kClassKey + L"\\Programmable\\Stale");
  ASSERT_EQ(Register(), 0u);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey + L"\\Stale"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey + L"\\Programmable\\Stale"));
  EXPECT_EQ(Tree(HKEY_LOCAL_MACHINE, kClassKey).size(), 12u);
}

TEST_F(Registration, UnregisteringKeepsTheClsidKeyAndSharedParents) {
  CreateKey(HKEY_CURRENT_USER, kAddinsKey + L"\\Other.Addin");
  ASSERT_EQ(Unregister(), 0u);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin.1"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kAddinKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kAddinsKey + L"\\Other.Addin"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddinKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft"));
  ComPtr<ITypeLib> library;
  EXPECT_NE(LoadRegTypeLib(kLibid, 1, 0, 0, &library), S_OK);
  RegDeleteKeyW(HKEY_CURRENT_USER, (kAddinsKey + L"\\Other.Addin").c_str());
}

TEST_F(Registration, AProgIdKeyHoldingForeignSubkeysOutlivesUnregistration) {
  std::wstring progId = L"Software\\Classes\\QuorvalSmsOutlookAddin.QuorvalOAddin";
  CreateKey(HKEY_LOCAL_MACHINE, progId + L"\\Foreign");
  ASSERT_EQ(Unregister(), 0u);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, progId + L"\\Foreign"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, progId + L"\\CLSID"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, progId + L"\\CurVer"));
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, progId.c_str());
}

TEST(RegistrationPath, AModulePathWithASingleQuoteIsWrittenAsItIs) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"Bob's add-ins";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring copy = folder + L"\\QuorvalSmsOutlookAddin.dll";
  ASSERT_TRUE(CopyFileW(ADDIN_DLL_PATH, copy.c_str(), FALSE));
  ASSERT_EQ(Register(copy), 0u);
  EXPECT_EQ(DefaultValue(HKEY_LOCAL_MACHINE, kClassKey + L"\\InprocServer32"), FullPath(copy));
  EXPECT_EQ(Unregister(copy), 0u);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
