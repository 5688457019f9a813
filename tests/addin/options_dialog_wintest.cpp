// The options dialog, run for real under Wine and driven as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "addin/sms_plugin_options_win.h"
#include "dialog_user.h"
#include "resource_ids.h"
#include "send/opt_out.h"
#include "store/settings_manager.h"
#include "support/memory_settings.h"

namespace {

const std::wstring kTitle = L"SMS plugin options";

INT_PTR RunOptions(Settings& settings, const std::function<void(DialogUser&)>& script) {
  return RunWithUser([&] { return CSMSPluginOptions(settings).DoModal(nullptr); }, script);
}

TEST(OptionsDialog, ShowsTheStoredValues) {
  MemorySettings settings;
  settings.SetString(u"UserName", u"alice");
  settings.SetString(u"Password", u"s3cret");
  settings.SetString(u"Concatenation", u"1");
  settings.SetString(u"ShowDeliveryResults", u"0");
  settings.SetString(u"Alphabet", u"1");
  INT_PTR result = RunOptions(settings, [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(user.Text(dialog, IDC_USER_NAME), L"alice");
    EXPECT_EQ(user.Text(dialog, IDC_PASSWORD), L"s3cret");
    EXPECT_TRUE(user.IsChecked(dialog, IDC_CONCATENATION));
    EXPECT_FALSE(user.IsChecked(dialog, IDC_SHOW_DELIVERY_RESULTS));
    EXPECT_FALSE(user.IsChecked(dialog, IDC_ALPHABET_GSM));
    EXPECT_TRUE(user.IsChecked(dialog, IDC_ALPHABET_UNICODE));
    EXPECT_TRUE(user.IsEnabled(dialog, IDOK));
    user.Screenshot(L"options_dialog");
    user.Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST(OptionsDialog, OkIsEnabledOnlyWhileBothAccountFieldsHoldText) {
  RecordingSettings settings;
  INT_PTR result = RunOptions(settings, [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(user.IsEnabled(dialog, IDOK));
    EXPECT_TRUE(user.IsChecked(dialog, IDC_SHOW_DELIVERY_RESULTS)) << "delivery results default to shown";
    EXPECT_TRUE(user.IsChecked(dialog, IDC_ALPHABET_GSM));
    user.Type(dialog, IDC_USER_NAME, L"  ");
    EXPECT_FALSE(user.IsEnabled(dialog, IDOK));
    user.Type(dialog, IDC_PASSWORD, L"x");
    EXPECT_TRUE(user.IsEnabled(dialog, IDOK)) << "blanks count as a user name";
    user.Clear(dialog, IDC_PASSWORD);
    EXPECT_FALSE(user.IsEnabled(dialog, IDOK));
    user.Type(dialog, IDC_PASSWORD, L"pw");
    user.Click(dialog, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  EXPECT_EQ(result, IDOK);
  std::vector<std::u16string> expected{u"UserName=  ", u"Password=pw", u"Concatenation=0",
                                       u"ShowDeliveryResults=1", u"Alphabet=0"};
  EXPECT_EQ(settings.writes, expected);
}

TEST(OptionsDialog, AnAlphabetOfTwoOpensWithNoRadioCheckedAndSavesGsm) {
  RecordingSettings settings;
  settings.SetString(u"UserName", u"u");
  settings.SetString(u"Password", u"p");
  settings.SetString(u"Alphabet", u"2");
  settings.SetString(u"ShowDeliveryResults", u"yes");
  settings.writes.clear();
  RunOptions(settings, [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(user.IsChecked(dialog, IDC_ALPHABET_GSM));
    EXPECT_FALSE(user.IsChecked(dialog, IDC_ALPHABET_UNICODE));
    EXPECT_FALSE(user.IsChecked(dialog, IDC_SHOW_DELIVERY_RESULTS)) << "non-numeric text reads as 0";
    user.Click(dialog, IDOK);
  });
  EXPECT_EQ(settings.Raw(u"Alphabet"), u"0");
  EXPECT_EQ(settings.Raw(u"ShowDeliveryResults"), u"0");
}

TEST(OptionsDialog, ClickedBoxesAndRadiosAreWhatOkSaves) {
  RecordingSettings settings;
  RunOptions(settings, [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    user.Type(dialog, IDC_USER_NAME, L"bob");
    user.Type(dialog, IDC_PASSWORD, L"pa ss");
    user.Click(dialog, IDC_ALPHABET_UNICODE);
    EXPECT_FALSE(user.IsChecked(dialog, IDC_ALPHABET_GSM)) << "the radios are one group";
    user.Click(dialog, IDC_CONCATENATION);
    user.Click(dialog, IDC_SHOW_DELIVERY_RESULTS);
    user.Click(dialog, IDOK);
  });
  std::vector<std::u16string> expected{u"UserName=bob", u"Password=pa ss", u"Concatenation=1",
                                       u"ShowDeliveryResults=0", u"Alphabet=1"};
  EXPECT_EQ(settings.writes, expected);
}

TEST(OptionsDialog, CancelEscapeAndTheCloseBoxWriteNothing) {
  enum Way { CancelButton, EscapeKey, CloseBox };
  for (Way way : {CancelButton, EscapeKey, CloseBox}) {
    RecordingSettings settings;
    INT_PTR result = RunOptions(settings, [way](DialogUser& user) {
      HWND dialog = user.WaitForDialog(kTitle);
      ASSERT_NE(dialog, nullptr);
      user.Type(dialog, IDC_USER_NAME, L"eve");
      user.Type(dialog, IDC_PASSWORD, L"pw");
      user.Click(dialog, IDC_CONCATENATION);
      if (way == CancelButton) user.Click(dialog, IDCANCEL);
      if (way == EscapeKey) user.PressKey(VK_ESCAPE);
      if (way == CloseBox) user.CloseFromCaption(dialog);
      EXPECT_TRUE(user.WaitUntilClosed(dialog)) << "way " << way;
    });
    EXPECT_EQ(result, IDCANCEL) << "way " << way;
    EXPECT_TRUE(settings.writes.empty()) << "way " << way;
  }
}

TEST(OptionsDialog, TemplateHasTheControlsInTabOrderWithTheirRectangles) {
  MemorySettings settings;
  // A checked radio button becomes a tab stop; with neither checked the
  // template's own styles show.
  settings.SetString(u"Alphabet", u"2");
  RunOptions(settings, [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    struct Item {
      int id;
      const wchar_t* text;
      RECT units;  // x, y, width, height
      bool tabStop;
    } items[] = {
        {IDOK, L"OK", {92, 167, 50, 14}, true},
        {IDCANCEL, L"Cancel", {159, 167, 50, 14}, true},
        {-1, L"User Name:", {18, 23, 38, 8}, false},
        {-1, L"Password:", {18, 41, 34, 8}, false},
        {IDC_USER_NAME, L"", {58, 21, 113, 14}, true},
        {IDC_PASSWORD, L"", {58, 38, 114, 14}, true},
        {-1, L"Authentication", {7, 7, 189, 57}, false},
        {-1, L"SMS sending options", {7, 71, 191, 90}, false},
        {IDC_ALPHABET_GSM, L"GSM", {22, 99, 30, 10}, false},
        {-1, L"Alphabet", {15, 84, 130, 33}, false},
        {IDC_ALPHABET_UNICODE, L"Unicode", {74, 99, 41, 10}, false},
        {IDC_CONCATENATION, L"Message Concatenation", {15, 126, 93, 10}, true},
        {IDC_SHOW_DELIVERY_RESULTS, L"Show delivery results", {15, 143, 84, 10}, true},
        {-1, L"Opt-out", {205, 7, 126, 57}, false},
        {-1, L"Do not text contacts in category:", {213, 21, 110, 8}, false},
        {IDC_OPT_OUT_CATEGORY, L"No SMS", {213, 32, 110, 14}, true},
        {-1, L"Leave empty to text everyone.", {213, 50, 110, 8}, false},
    };
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const Item& item : items) {
      ASSERT_NE(child, nullptr) << "missing control after the previous one";
      EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(child))), item.id);
      wchar_t text[64] = {};
      GetWindowTextW(child, text, 64);
      EXPECT_STREQ(text, item.text);
      // The dialog manager converts position and size each on its own.
      RECT expected = item.units;
      MapDialogRect(dialog, &expected);
      expected.right += expected.left;
      expected.bottom += expected.top;
      RECT actual{};
      GetWindowRect(child, &actual);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_EQ(actual.left, expected.left) << "control " << item.id;
      EXPECT_EQ(actual.top, expected.top);
      EXPECT_EQ(actual.right, expected.right);
      EXPECT_EQ(actual.bottom, expected.bottom);
      LONG style = GetWindowLongW(child, GWL_STYLE);
      EXPECT_EQ((style & WS_TABSTOP) != 0, item.tabStop) << "control " << item.id;
      child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "no controls beyond the listed ones";
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_USER_NAME), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, IDC_USER_NAME), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, IDOK), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    RECT client{};
    GetClientRect(dialog, &client);
    RECT size{0, 0, 338, 188};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    user.Click(dialog, IDCANCEL);
  });
}

TEST(OptionsDialog, OpensCentredOverItsOwner) {
  MemorySettings settings;
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60, 700, 500,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  RunWithUser([&] { return CSMSPluginOptions(settings).DoModal(owner); },
              [owner](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kTitle);
                ASSERT_NE(dialog, nullptr);
                RECT o{}, d{};
                GetWindowRect(owner, &o);
                GetWindowRect(dialog, &d);
                EXPECT_LE(std::abs((o.left + o.right) / 2 - (d.left + d.right) / 2), 1);
                EXPECT_LE(std::abs((o.top + o.bottom) / 2 - (d.top + d.bottom) / 2), 1);
                EXPECT_FALSE(IsWindowEnabled(owner)) << "modal: the owner waits";
                user.Click(dialog, IDCANCEL);
              });
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

TEST(OptionsDialog, ARefusedSaveIsToldAndTheDialogStaysOpenWithItsValues) {
  RecordingSettings settings;
  settings.RefuseWrites();
  INT_PTR result = RunOptions(settings, [&settings](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    user.Type(dialog, IDC_USER_NAME, L"bob");
    user.Type(dialog, IDC_PASSWORD, L"pw");
    user.Click(dialog, IDC_CONCATENATION);
    user.Click(dialog, IDOK);
    HWND box = user.WaitForMessageBox(dialog, kTitle);
    ASSERT_NE(box, nullptr) << "the failure is told";
    EXPECT_EQ(user.MessageText(box).rfind(L"Your options could not be saved.", 0), 0u) << "the message box says so";
    user.Screenshot(L"options_refused_save");
    user.Click(box, IDOK);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    EXPECT_EQ(user.Text(dialog, IDC_USER_NAME), L"bob");
    EXPECT_TRUE(user.IsChecked(dialog, IDC_CONCATENATION));
    settings.AcceptWrites();
    user.Click(dialog, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(settings.Raw(u"UserName"), u"bob");
  EXPECT_EQ(settings.Raw(u"Concatenation"), u"1");
}

// A store whose writes fail with an exception once broken.
class BrokenSettings : public MemorySettings {
 public:
  HResult Update(const SettingsChange& change) override {
    if (broken) throw std::runtime_error("disk gone");
    return MemorySettings::Update(change);
  }
  bool broken = false;
};

TEST(OptionsDialog, AFailingHandlerClosesTheDialogAndReachesTheCaller) {
  BrokenSettings settings;
  settings.SetString(u"UserName", u"u");
  settings.SetString(u"Password", u"p");
  settings.broken = true;
  EXPECT_THROW(RunOptions(settings,
                          [](DialogUser& user) {
                            HWND dialog = user.WaitForDialog(kTitle);
                            ASSERT_NE(dialog, nullptr);
                            user.Click(dialog, IDOK);
                            EXPECT_TRUE(user.WaitUntilClosed(dialog));
                          }),
               std::runtime_error);
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

class OptionsDialogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"options_dialog_test";
    DeleteFileW((folder_ + L"\\Settings.ini").c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  void TearDown() override {
    DeleteFileW((folder_ + L"\\Settings.ini").c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring folder_;
};

TEST_F(OptionsDialogFile, OkPutsTheFiveValuesInSettingsIni) {
  SettingsManager settings(folder_);
  RunOptions(settings, [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    user.Type(dialog, IDC_USER_NAME, L"j\u00f6rg");
    user.Type(dialog, IDC_PASSWORD, L"pw");
    user.Click(dialog, IDC_ALPHABET_UNICODE);
    user.Click(dialog, IDOK);
  });
  wchar_t value[64] = {};
  std::wstring ini = folder_ + L"\\Settings.ini";
  auto read = [&](const wchar_t* key) {
    GetPrivateProfileStringW(L"Profile", key, L"<missing>", value, 64, ini.c_str());
    return std::wstring(value);
  };
  EXPECT_EQ(read(L"UserName"), L"j\u00f6rg");
  EXPECT_EQ(read(L"Password"), L"pw");
  EXPECT_EQ(read(L"Concatenation"), L"0");
  EXPECT_EQ(read(L"ShowDeliveryResults"), L"1");
  EXPECT_EQ(read(L"Alphabet"), L"1");
}

TEST_F(OptionsDialogFile, CancelLeavesTheFileByteForByte) {
  SettingsManager settings(folder_);
  settings.SetString(u"UserName", u"kept");
  settings.SetString(u"Password", u"kept too");
  std::string before = FileBytes(settings.SettingsPath());
  ASSERT_FALSE(before.empty());
  RunOptions(settings, [](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    user.Clear(dialog, IDC_USER_NAME);
    user.Type(dialog, IDC_USER_NAME, L"changed");
    user.Click(dialog, IDC_CONCATENATION);
    user.Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(FileBytes(settings.SettingsPath()), before);
}

// The category shows the default until set; only a changed field is
// written, and an emptied one is read back from the file as the rule off.
TEST_F(OptionsDialogFile, TheOptOutCategoryIsWrittenOnlyWhenChangedAndEmptyTurnsTheRuleOff) {
  SettingsManager settings(folder_);
  settings.SetString(u"UserName", u"u");
  settings.SetString(u"Password", u"p");
  const auto run = [&](const wchar_t* typed) {
    RunOptions(settings, [typed](DialogUser& user) {
      HWND dialog = user.WaitForDialog(kTitle);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(user.Text(dialog, IDC_OPT_OUT_CATEGORY), L"No SMS");
      if (typed) {
        user.Clear(dialog, IDC_OPT_OUT_CATEGORY);
        user.Type(dialog, IDC_OPT_OUT_CATEGORY, typed);
      }
      user.Click(dialog, IDOK);
    });
  };
  run(nullptr);
  EXPECT_FALSE(settings.IsSet(u"OptOutCategory"));
  EXPECT_EQ(OptOut::Read(settings).category(), u"No SMS");
  run(L"");
  EXPECT_TRUE(settings.IsSet(u"OptOutCategory"));
  EXPECT_FALSE(OptOut::Read(settings).On());
}

}  // namespace
