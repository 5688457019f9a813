// The registered add-in in the stand-in host: the toolbar's "Send SMS to
// contact" opens the dialog, a user types with suggestions and sends, and
// the gateway simulator receives the messages.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "dialog_user.h"
#include "resource_ids.h"
#include "simulator_log.h"
#include "store/settings_manager.h"
#include "support/child_process.h"
#include "support/wait.h"

namespace {

const std::wstring kTitle = L"Send SMS to contact";

HWND SuggestionList() { return FindWindowW(L"QuorvalSuggestionList", nullptr); }

TEST(SendHostEndToEnd, ToolbarClickSuggestionsAndSendReachTheGateway) {
  ASSERT_EQ(RunToEnd(L"regsvr32.exe /s \"" + std::wstring(ADDIN_DLL_PATH) + L"\""), 0u);
  wchar_t appData[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
  std::wstring folder = std::wstring(appData) + L"\\RudizavADUZaziv";
  DeleteFileW((folder + L"\\Settings.ini").c_str());
  {
    SettingsManager settings(folder);
    std::string port = std::getenv("GATEWAY_SIM_PORT") ? std::getenv("GATEWAY_SIM_PORT") : "";
    settings.SetString(u"GatewayHost", u"127.0.0.1:" + std::u16string(port.begin(), port.end()));
    settings.SetString(u"UserName", u"alice");
    settings.SetString(u"Password", u"s3cret");
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring store = std::wstring(temp) + L"send_end_to_end_store.json";
  std::ofstream(store.c_str()) << R"({"contacts": [
    {"fullName": "Bob Stone", "mobile": "+64 21 555 0001"},
    {"fullName": "bea Lane", "mobile": "021 555 0002"},
    {"fullName": "Al Ray", "mobile": "3"}]})";
  SimulatorLog log;
  const size_t before = log.Requests().size();
  std::wstring report;

  std::thread person([&] {
    DialogUser user;
    HWND dialog = user.WaitForDialog(kTitle, 60000);
    ASSERT_NE(dialog, nullptr);
    user.Type(dialog, IDC_RECIPIENTS, L"B");
    ASSERT_TRUE(WaitUntil([] { return SuggestionList() && IsWindowVisible(SuggestionList()); }));
    RECT field{}, list{};
    GetWindowRect(GetDlgItem(dialog, IDC_RECIPIENTS), &field);
    GetWindowRect(SuggestionList(), &list);
    EXPECT_EQ(list.left, field.left);
    EXPECT_EQ(list.top, field.bottom) << "directly below the field";
    user.PressKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return user.Text(dialog, IDC_RECIPIENTS) == L"bea Lane (021 555 0002)"; }))
        << "case-blind order: bea before Bob";
    user.PressKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return user.Text(dialog, IDC_RECIPIENTS) == L"Bob Stone (+64 21 555 0001)"; }));
    user.PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return user.Text(dialog, IDC_RECIPIENTS) == L"Bob Stone (+64 21 555 0001); "; }));
    EXPECT_TRUE(IsWindow(dialog)) << "Enter with the list shown does not send";
    user.Type(dialog, IDC_RECIPIENTS, L"nobody; a");
    ASSERT_TRUE(WaitUntil([] { return IsWindowVisible(SuggestionList()); }));
    user.PressKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] {
      return user.Text(dialog, IDC_RECIPIENTS) == L"Bob Stone (+64 21 555 0001); nobody; Al Ray (3)";
    }));
    user.Type(dialog, IDC_MESSAGE_TEXT, L"Hi");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_RECIPIENTS)), TRUE);
    EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(SuggestionList()); }));
    user.PressKey(VK_RETURN);
    const HWND box = user.WaitForMessageBox(dialog, kTitle, 30000);
    if (!box) return;
    report = user.MessageText(box);
    user.Click(box, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  DWORD code = RunToEnd(L"\"" + std::wstring(HOST_PATH) + L"\" --store \"" + store +
                          L"\" --addin QuorvalSmsOutlookAddin.QuorvalOAddin --click NewSMSMessage --exit-after");
  person.join();
  EXPECT_EQ(code, 0u);
  RunToEnd(L"regsvr32.exe /s /u \"" + std::wstring(ADDIN_DLL_PATH) + L"\"");
  DeleteFileW(store.c_str());

  auto requests = log.Requests();
  ASSERT_EQ(requests.size() - before, 2u);
  EXPECT_EQ(requests[before].Param("to"), "64215550001");
  EXPECT_EQ(requests[before].Param("message"), "Hi");
  EXPECT_EQ(requests[before + 1].Param("to"), "3");
  EXPECT_NE(report.find(L"Message for Bob Stone was sent successfully."), std::wstring::npos)
      << std::string(report.begin(), report.end());
  EXPECT_NE(report.find(L"Nothing was sent to \"nobody\""), std::wstring::npos);
  EXPECT_NE(report.find(L"Message for Al Ray was"), std::wstring::npos);
}

}  // namespace
