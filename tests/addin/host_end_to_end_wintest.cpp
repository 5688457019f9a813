// The registered add-in in the stand-in host program, as the mail client
// runs it: regsvr32, start-up through the Addins key, the toolbar, the
// options dialog opened from its button and filled in by a user, and, in a
// client with the ribbon, every command from the ribbon and the toolbar and
// "Send SMS" on the contacts' context menu, pressed in the host's window.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "dialog_user.h"
#include "resource_ids.h"
#include "store/settings_manager.h"
#include "support/child_process.h"
#include "support/host_buttons.h"
#include "support/wait.h"

namespace {

const std::wstring kTitle = L"SMS plugin options";
const std::wstring kProgId = L"QuorvalSmsOutlookAddin.QuorvalOAddin";
// Time for a whole run with its dialogs; past it the host is killed.
constexpr std::chrono::seconds kHostRunLimit(120);

std::string FileText(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

// Runs the host with `arguments` while `user` acts on its windows; gives
// what the host printed. A host still running at the limit (a dialog left
// open) is killed and fails the test.
std::string RunHost(const std::wstring& arguments, const std::function<void(DialogUser&)>& user) {
  ChildProcess host(L"\"" + std::wstring(HOST_PATH) + L"\" " + arguments, ChildProcess::Streams::kCaptured);
  EXPECT_TRUE(host.Started()) << "the host did not start: " << host.StartError();
  std::thread person([&] {
    DialogUser someone;
    user(someone);
  });
  const bool ended = host.Wait(kHostRunLimit);
  person.join();
  EXPECT_TRUE(ended) << "the host was still running after " << kHostRunLimit.count() << " s and was killed";
  EXPECT_EQ(host.ExitCode(), 0u);
  return WithoutCarriageReturns(host.Printed());
}

// The sample store plays a client with the ribbon.
std::wstring RibbonClientArguments() { return L"--store \"" + std::wstring(SAMPLE_STORE_PATH) + L"\" --addin " + kProgId; }

HWND WaitForMainWindow() {
  HWND window = nullptr;
  WaitUntil(
      [&] {
        window = FindWindowW(L"QuorvalMailStandInMainWindow", nullptr);
        return window && IsWindowVisible(window);
      },
      std::chrono::seconds(60));
  return window && IsWindowVisible(window) ? window : nullptr;
}

HWND ButtonOf(HWND host, const std::wstring& caption, bool ribbon) {
  return HostButton(host, caption, ribbon ? HostButtonKind::kRibbon : HostButtonKind::kToolbar);
}

class HostEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(RunToEnd(L"regsvr32.exe /s \"" + std::wstring(ADDIN_DLL_PATH) + L"\""), 0u);
  }
  static void TearDownTestSuite() {
    RunToEnd(L"regsvr32.exe /s /u \"" + std::wstring(ADDIN_DLL_PATH) + L"\"");
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
  EXPECT_NE(printed.find(expected), std::string::npos) << printed;
  EXPECT_NE(printed.find("window shows \"Send SMS to contact\"\nwindow shows \"Send Batch SMS\"\n"
                         "window shows \"SMS Options\"\n"),
            std::string::npos)
      << printed;
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

struct Command {
  std::wstring ribbonLabel, toolbarCaption, dialogTitle;
  int closeButton;
};

TEST_F(HostEndToEnd, ARibbonClientShowsTheRibbonAndTheToolbarAndEachButtonOpensItsCommand) {
  const Command commands[] = {
      {L"Send SMS", L"Send SMS to contact", L"Send SMS to contact", IDCANCEL},
      {L"Batch Reminders", L"Send Batch SMS", L"Send batch SMS", IDC_BATCH_CLOSE},
      {L"SMS Options", L"SMS Options", L"SMS plugin options", IDCANCEL},
  };
  const std::string printed = RunHost(RibbonClientArguments(), [&](DialogUser& user) {
    HWND host = WaitForMainWindow();
    ASSERT_NE(host, nullptr) << "the main window did not open";
    for (const Command& command : commands) {
      for (const bool ribbon : {true, false}) {
        const std::wstring& caption = ribbon ? command.ribbonLabel : command.toolbarCaption;
        SCOPED_TRACE(std::string(ribbon ? "ribbon " : "toolbar ") + std::string(caption.begin(), caption.end()));
        HWND button = ButtonOf(host, caption, ribbon);
        ASSERT_NE(button, nullptr) << "the window has no such button";
        user.PostClick(button);
        HWND dialog = user.WaitForDialog(command.dialogTitle, 30000);
        ASSERT_NE(dialog, nullptr);
        user.Click(dialog, command.closeButton);
        ASSERT_TRUE(user.WaitUntilClosed(dialog));
      }
    }
    PostMessageW(host, WM_CLOSE, 0, 0);
  });
  EXPECT_NE(printed.find("ribbon of " + std::string(kProgId.begin(), kProgId.end()) +
                         " for Microsoft.Outlook.Explorer\n  tab TabMail group \"SMS\"\n"
                         "    button \"Send SMS\" id SendSmsMail large image 32x32x32"),
            std::string::npos)
      << printed;
  EXPECT_NE(printed.find("    button \"SMS Options\" id SmsOptionsMail normal image 16x16x32"), std::string::npos)
      << printed;
  EXPECT_NE(printed.find("toolbar \"SMS sender Toolbar\" visible temporary"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("custom UI error"), std::string::npos) << printed;
}

TEST_F(HostEndToEnd, SendSmsOnTheContextMenuOfTwoSelectedContactsPutsBothInTheRecipients) {
  std::wstring recipients;
  const std::string printed = RunHost(RibbonClientArguments(), [&](DialogUser& user) {
    HWND host = WaitForMainWindow();
    ASSERT_NE(host, nullptr) << "the main window did not open";
    HWND list = FindWindowExW(host, nullptr, L"ListBox", nullptr);
    ASSERT_NE(list, nullptr) << "the window shows no contacts";
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (const wchar_t* name : {L"Ann Lee", L"Carla Mendes"}) {
      const LRESULT row =
          SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
      ASSERT_GE(row, 0) << "no contact in the list is named so";
      // Ctrl and a click: the list selects, and tells the window.
      SendMessageW(list, LB_SETSEL, TRUE, row);
      SendMessageW(host, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    // Posted, as the menu and the dialog its item opens run in its handler.
    PostMessageW(host, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    ASSERT_NE(user.WaitForPopupMenu(), nullptr);
    user.ChooseMenuItem(host, 0);
    HWND dialog = user.WaitForDialog(L"Send SMS to contact", 30000);
    ASSERT_NE(dialog, nullptr);
    recipients = user.Text(dialog, IDC_RECIPIENTS);
    user.Click(dialog, IDCANCEL);
    ASSERT_TRUE(user.WaitUntilClosed(dialog));
    PostMessageW(host, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(recipients, L"Ann Lee (+44 7700 900101); Carla Mendes (07700 900103); ")
      << "both, in the field's own form";
  EXPECT_NE(printed.find("  context menu ContextMenuContactItem\n    button \"Send SMS\" id SendSmsToSelectedContacts "
                         "normal image 16x16x32"),
            std::string::npos)
      << printed;
}

TEST_F(HostEndToEnd, TheRibbonsCommandsAreGreyedFromTheSendUntilItsReportIsDealtWith) {
  {
    SettingsManager settings(folder_);
    settings.SetString(u"GatewayHost", u"127.0.0.1:9");
    settings.SetString(u"UserName", u"agent");
    settings.SetString(u"Password", u"pw");
    settings.SetString(u"ShowDeliveryResults", u"1");
  }
  RunHost(RibbonClientArguments(), [&](DialogUser& user) {
    HWND host = WaitForMainWindow();
    ASSERT_NE(host, nullptr) << "the main window did not open";
    HWND send = ButtonOf(host, L"Send SMS", true), options = ButtonOf(host, L"SMS Options", true);
    ASSERT_TRUE(send && options);
    EXPECT_TRUE(IsWindowEnabled(send) && IsWindowEnabled(options));
    user.PostClick(send);
    HWND dialog = user.WaitForDialog(L"Send SMS to contact", 30000);
    ASSERT_NE(dialog, nullptr);
    // A number that is no contact's is reported without an exchange; the
    // report is the run's last part.
    user.Type(dialog, IDC_RECIPIENTS, L"021 555 0002");
    user.Type(dialog, IDC_MESSAGE_TEXT, L"Hi");
    user.Click(dialog, IDOK);
    HWND report = user.WaitForMessageBox(dialog, L"Send SMS to contact", 30000);
    ASSERT_NE(report, nullptr);
    EXPECT_FALSE(IsWindowEnabled(send)) << "no command starts while the run is in progress";
    EXPECT_FALSE(IsWindowEnabled(options));
    EXPECT_TRUE(IsWindowEnabled(ButtonOf(host, L"SMS Options", false))) << "the toolbar's buttons stay as they were";
    user.Screenshot(L"host-ribbon-greyed-during-a-send");
    user.Click(report, IDOK);
    ASSERT_TRUE(user.WaitUntilClosed(dialog));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(send) && IsWindowEnabled(options); }));
    PostMessageW(host, WM_CLOSE, 0, 0);
  });
}

}  // namespace
