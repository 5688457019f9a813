// The registered add-in in the stand-in host program, as the mail client
// runs it: regsvr32, start-up through the Addins key, the toolbar, and the
// options dialog opened from its button and filled in by a user.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "dialog_user.h"
#include "resource_ids.h"
#include "store/settings_manager.h"

namespace {

const std::wstring kTitle = L"SMS plugin options";

DWORD RunAndWait(std::wstring command, HANDLE output = nullptr) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                      &startup, &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::string FileText(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

std::wstring TempFile(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name;
}

// Runs the host with `arguments` while `user` acts on its windows; gives
// what the host printed.
std::string RunHost(const std::wstring& arguments, const std::function<void(DialogUser&)>& user) {
  std::wstring log = TempFile(L"outlook_host_output.txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(output, INVALID_HANDLE_VALUE);
  std::thread person([&] {
    DialogUser someone;
    user(someone);
  });
  DWORD code = RunAndWait(L"\"" + std::wstring(HOST_PATH) + L"\" " + arguments, output);
  person.join();
  CloseHandle(output);
  EXPECT_EQ(code, 0u);
  std::string printed = FileText(log);
  DeleteFileW(log.c_str());
  return printed;
}

class HostEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(RunAndWait(L"regsvr32.exe /s \"" + std::wstring(ADDIN_DLL_PATH) + L"\""), 0u);
  }
  static void TearDownTestSuite() {
    RunAndWait(L"regsvr32.exe /s /u \"" + std::wstring(ADDIN_DLL_PATH) + L"\"");
  }

  void SetUp() override {
    wchar_t appData[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
    folder_ = std::wstring(appData) + L"\\RudizavADUZaziv";
    settingsFile_ = folder_ + L"\\Settings.ini";
    DeleteFileW(settingsFile_.c_str());
  }
  void TearDown() override { DeleteFileW(settingsFile_.c_str()); }

  std::wstring folder_;
  std::wstring settingsFile_;
};

TEST_F(HostEndToEnd, HostLoadsTheRegisteredAddinAndShowsItsToolbar) {
  std::string printed = RunHost(L"--exit-after", [](DialogUser&) {});
  EXPECT_NE(printed.find("add-in QuorvalSmsOutlookAddin.QuorvalOAddin: connected"), std::string::npos) << printed;
  std::string expected =
      "toolbar \"SMS sender Toolbar\" visible temporary\n"
      "  button \"Send SMS to contact\" tag \"NewSMSMessage\" tooltip \"Allows you to send an SMS message to a "
      "list of contacts.\" face 3738 style 3 sinks 1\n"
      "  button \"Send Batch SMS\" tag \"NewBatchSMSMessage\" tooltip \"Allows you to send a batch SMS "
      "messages to a list of contacts for all meetings in a specified timeframe.\" face 3852 style 3 sinks 1\n"
      "  button \"SMS Options\" tag \"SMSPluginOptions\" tooltip \"Allows you to configure functionality of "
      "SMS plugin.\" face 3359 style 3 sinks 1\n";
  std::string normalised;
  for (char c : printed) {
    if (c != '\r') normalised += c;
  }
  EXPECT_NE(normalised.find(expected), std::string::npos) << printed;
  EXPECT_EQ(printed.find("ribbon"), std::string::npos) << "a client before the ribbon never asks for it";
}

TEST_F(HostEndToEnd, SmsOptionsOpensTheDialogAndOkWritesSettingsIni) {
  RunHost(L"--click SMSPluginOptions --exit-after", [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle, 60000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(user.IsEnabled(dialog, IDOK));
    user.Type(dialog, IDC_USER_NAME, L"agent");
    user.Type(dialog, IDC_PASSWORD, L"s e c r e t");
    user.Click(dialog, IDC_ALPHABET_UNICODE);
    user.Click(dialog, IDC_CONCATENATION);
    user.Click(dialog, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  wchar_t value[64];
  auto read = [&](const wchar_t* key) {
    GetPrivateProfileStringW(L"Profile", key, L"<missing>", value, 64, settingsFile_.c_str());
    return std::wstring(value);
  };
  EXPECT_EQ(read(L"UserName"), L"agent");
  EXPECT_EQ(read(L"Password"), L"s e c r e t");
  EXPECT_EQ(read(L"Concatenation"), L"1");
  EXPECT_EQ(read(L"ShowDeliveryResults"), L"1");
  EXPECT_EQ(read(L"Alphabet"), L"1");
}

TEST_F(HostEndToEnd, CancelLeavesSettingsIniUnchanged) {
  {
    SettingsManager settings(folder_);
    settings.SetString(u"UserName", u"before");
    settings.SetString(u"Password", u"pw");
    settings.SetString(u"Alphabet", u"1");
  }
  std::string before = FileText(settingsFile_);
  ASSERT_FALSE(before.empty());
  RunHost(L"--click SMSPluginOptions --exit-after", [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle, 60000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(user.Text(dialog, IDC_USER_NAME), L"before");
    EXPECT_TRUE(user.IsChecked(dialog, IDC_ALPHABET_UNICODE));
    user.Type(dialog, IDC_USER_NAME, L" after");
    user.Click(dialog, IDC_ALPHABET_GSM);
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  EXPECT_EQ(FileText(settingsFile_), before);
}

}  // namespace
