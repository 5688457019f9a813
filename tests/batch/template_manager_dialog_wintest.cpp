// The template manager and its name dialog, run for real under Wine and
// driven as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "batch/message_template_manager_win.h"
#include "dialog_user.h"
#include "resource_ids.h"
#include "store/settings_manager.h"
#include "support/memory_settings.h"

namespace {

const std::wstring kManagerTitle = L"Message templates";
const std::wstring kNameTitle = L"New message template name";
const std::wstring kDefaultText =
    L"Dear [[first name]], don't forget your dentist appointment at [[appt time]] on [[appt date]]. "
    L"thanks the team at quendle dental Rudid Uririviv.";

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

void StoreTemplates(RecordingSettings& settings,
                    std::initializer_list<std::pair<std::u16string, std::u16string>> all) {
  for (const auto& [name, text] : all) settings.AddTemplate(name, text);
  settings.writes.clear();
}

std::vector<std::wstring> ListedNames(HWND dialog) {
  HWND combo = GetDlgItem(dialog, IDC_TEMPLATE_NAMES);
  std::vector<std::wstring> names;
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring name(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()));
    name.resize(wcslen(name.c_str()));
    names.push_back(name);
  }
  return names;
}

LRESULT SelectedPosition(HWND dialog) {
  return SendDlgItemMessageW(dialog, IDC_TEMPLATE_NAMES, CB_GETCURSEL, 0, 0);
}

// Picks an entry by position, as the mouse does; the harness picks by text,
// which cannot reach the second of two equal names.
void SelectPosition(HWND dialog, int position) {
  HWND combo = GetDlgItem(dialog, IDC_TEMPLATE_NAMES);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_TEMPLATE_NAMES, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

// Clicks "Save as New...", names the template and confirms.
void SaveAsNew(DialogUser& user, HWND manager, const std::wstring& name) {
  user.Click(manager, IDC_SAVE_AS_NEW);
  HWND nameDialog = user.WaitForDialog(kNameTitle);
  ASSERT_NE(nameDialog, nullptr);
  user.Type(nameDialog, IDC_NEW_TEMPLATE_NAME, name);
  user.Click(nameDialog, IDOK);
  EXPECT_TRUE(user.WaitUntilClosed(nameDialog));
  // The manager stores the new template after the name dialog has gone;
  // a message sent to it returns once that is done.
  SendMessageW(manager, WM_NULL, 0, 0);
}

TEST(TemplateManager, FirstOpeningStoresAndShowsTheDefaultTemplateOnce) {
  RecordingSettings settings;
  CMessageTemplateManager manager(settings);
  INT_PTR result =
      RunWithUser([&] { return manager.DoModal(nullptr); },
                  [](DialogUser& user) {
                    HWND dialog = user.WaitForDialog(kManagerTitle);
                    ASSERT_NE(dialog, nullptr);
                    EXPECT_EQ(ListedNames(dialog), std::vector<std::wstring>{L"Dentist appointment"});
                    EXPECT_EQ(SelectedPosition(dialog), 0);
                    EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_NAMES), L"Dentist appointment");
                    EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), kDefaultText);
                    user.Screenshot(L"message_templates");
                    user.Click(dialog, IDCANCEL);
                  });
  EXPECT_EQ(result, IDCANCEL);
  std::vector<std::u16string> expected{u"SavedTemplatesCount=1", u"SavedTemplateName1=Dentist appointment",
                                       u"SavedTemplateText1=" + U16(kDefaultText)};
  EXPECT_EQ(settings.writes, expected);

  settings.writes.clear();
  CMessageTemplateManager again(settings);
  RunWithUser([&] { return again.DoModal(nullptr); },
              [](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kManagerTitle);
                ASSERT_NE(dialog, nullptr);
                EXPECT_EQ(ListedNames(dialog).size(), 1u);
                user.Click(dialog, IDOK);
              });
  EXPECT_TRUE(settings.writes.empty()) << "a second opening adds nothing";
  EXPECT_EQ(again.CurrentText(), U16(kDefaultText));
}

TEST(TemplateManager, OpensOnTemplateOneAndOkWithoutSavingHandsBackTheStoredText) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}, {u"Hygienist", u"second text"}});
  CMessageTemplateManager manager(settings);
  INT_PTR result =
      RunWithUser([&] { return manager.DoModal(nullptr); },
                  [](DialogUser& user) {
                    HWND dialog = user.WaitForDialog(kManagerTitle);
                    ASSERT_NE(dialog, nullptr);
                    EXPECT_EQ(ListedNames(dialog), (std::vector<std::wstring>{L"Dentist", L"Hygienist"}));
                    EXPECT_EQ(SelectedPosition(dialog), 0);
                    EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first text");
                    user.Select(dialog, IDC_TEMPLATE_NAMES, L"Hygienist");
                    user.Type(dialog, IDC_TEMPLATE_TEXT, L" edited");
                    EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"second text edited");
                    user.Click(dialog, IDOK);
                  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(manager.CurrentText(), u"second text");
  EXPECT_TRUE(settings.writes.empty());
}

TEST(TemplateManager, SaveChangesWritesAtOnceAndOkHandsBackTheSavedText) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}, {u"Hygienist", u"second text"}});
  CMessageTemplateManager manager(settings);
  INT_PTR result =
      RunWithUser([&] { return manager.DoModal(nullptr); },
                  [&settings](DialogUser& user) {
                    HWND dialog = user.WaitForDialog(kManagerTitle);
                    ASSERT_NE(dialog, nullptr);
                    user.Select(dialog, IDC_TEMPLATE_NAMES, L"Hygienist");
                    user.Type(dialog, IDC_TEMPLATE_TEXT, L", [[first name]]");
                    user.Click(dialog, IDC_SAVE_CHANGES);
                    EXPECT_EQ(settings.Raw(u"SavedTemplateText2"), u"second text, [[first name]]")
                        << "written before the dialog closes";
                    user.Type(dialog, IDC_TEMPLATE_TEXT, L" unsaved");
                    user.Click(dialog, IDOK);
                  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(manager.CurrentText(), u"second text, [[first name]]");
  std::vector<std::u16string> expected{u"SavedTemplateText2=second text, [[first name]]"};
  EXPECT_EQ(settings.writes, expected) << "the name and the other template are untouched";
}

TEST(TemplateManager, AnEmptyTextIsSavedAsEmpty) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}});
  CMessageTemplateManager manager(settings);
  RunWithUser([&] { return manager.DoModal(nullptr); },
              [](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kManagerTitle);
                ASSERT_NE(dialog, nullptr);
                user.Clear(dialog, IDC_TEMPLATE_TEXT);
                user.Click(dialog, IDC_SAVE_CHANGES);
                user.Click(dialog, IDOK);
              });
  EXPECT_EQ(settings.Raw(u"SavedTemplateText1"), u"");
  EXPECT_EQ(manager.CurrentText(), u"");
}

TEST(TemplateManager, SelectingAnotherTemplateDropsEditsWithoutAsking) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}, {u"Hygienist", u"second text"}});
  CMessageTemplateManager manager(settings);
  RunWithUser([&] { return manager.DoModal(nullptr); },
              [](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kManagerTitle);
                ASSERT_NE(dialog, nullptr);
                user.Type(dialog, IDC_TEMPLATE_TEXT, L" edited");
                user.Select(dialog, IDC_TEMPLATE_NAMES, L"Hygienist");
                EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"second text");
                user.Select(dialog, IDC_TEMPLATE_NAMES, L"Dentist");
                EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first text");
                user.Click(dialog, IDOK);
              });
  EXPECT_EQ(manager.CurrentText(), u"first text");
  EXPECT_TRUE(settings.writes.empty());
}

TEST(TemplateManager, SaveAsNewWithATakenNameAddsASecondEntryAtTheEndAndSelectsIt) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}, {u"Hygienist", u"second text"}});
  CMessageTemplateManager manager(settings);
  INT_PTR result = RunWithUser(
      [&] { return manager.DoModal(nullptr); },
      [](DialogUser& user) {
        HWND dialog = user.WaitForDialog(kManagerTitle);
        ASSERT_NE(dialog, nullptr);
        user.Type(dialog, IDC_TEMPLATE_TEXT, L" again");
        SaveAsNew(user, dialog, L"Dentist");
        EXPECT_EQ(ListedNames(dialog), (std::vector<std::wstring>{L"Dentist", L"Hygienist", L"Dentist"}));
        EXPECT_EQ(SelectedPosition(dialog), 2);
        EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first text again");
        SelectPosition(dialog, 0);
        EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first text");
        SelectPosition(dialog, 2);
        EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first text again");
        user.Click(dialog, IDOK);
      });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(manager.CurrentText(), u"first text again");
  std::vector<std::u16string> expected{u"SavedTemplatesCount=3", u"SavedTemplateName3=Dentist",
                                       u"SavedTemplateText3=first text again"};
  EXPECT_EQ(settings.writes, expected);
}

TEST(TemplateManager, ANewTemplateThenSaveChangesGoesIntoTheNewOne) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}});
  CMessageTemplateManager manager(settings);
  RunWithUser([&] { return manager.DoModal(nullptr); },
              [](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kManagerTitle);
                ASSERT_NE(dialog, nullptr);
                SaveAsNew(user, dialog, L"Copy");
                user.Type(dialog, IDC_TEMPLATE_TEXT, L"!");
                user.Click(dialog, IDC_SAVE_CHANGES);
                user.Click(dialog, IDOK);
              });
  EXPECT_EQ(settings.Raw(u"SavedTemplateText1"), u"first text");
  EXPECT_EQ(settings.Raw(u"SavedTemplateText2"), u"first text!");
  EXPECT_EQ(manager.CurrentText(), u"first text!");
}

TEST(TemplateManager, CancelAfterSaveAsNewKeepsTheNewTemplate) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}});
  CMessageTemplateManager manager(settings);
  INT_PTR result = RunWithUser([&] { return manager.DoModal(nullptr); },
                               [](DialogUser& user) {
                                 HWND dialog = user.WaitForDialog(kManagerTitle);
                                 ASSERT_NE(dialog, nullptr);
                                 SaveAsNew(user, dialog, L" ");
                                 user.Click(dialog, IDCANCEL);
                               });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(settings.TemplateCount(), 2);
  EXPECT_EQ(settings.GetTemplateName(2), u" ") << "a name of one blank is kept as typed";
  EXPECT_EQ(settings.GetTemplateText(2), u"first text");
}

TEST(TemplateManager, EscapeTheCloseBoxAndACancelledNameDialogChangeNothing) {
  enum Way { EscapeKey, CloseBox };
  for (Way way : {EscapeKey, CloseBox}) {
    RecordingSettings settings;
    StoreTemplates(settings, {{u"Dentist", u"first text"}});
    CMessageTemplateManager manager(settings);
    INT_PTR result = RunWithUser([&] { return manager.DoModal(nullptr); },
                                 [way](DialogUser& user) {
                                   HWND dialog = user.WaitForDialog(kManagerTitle);
                                   ASSERT_NE(dialog, nullptr);
                                   user.Click(dialog, IDC_SAVE_AS_NEW);
                                   HWND nameDialog = user.WaitForDialog(kNameTitle);
                                   ASSERT_NE(nameDialog, nullptr);
                                   user.Type(nameDialog, IDC_NEW_TEMPLATE_NAME, L"Unwanted");
                                   user.Click(nameDialog, IDCANCEL);
                                   EXPECT_TRUE(user.WaitUntilClosed(nameDialog));
                                   EXPECT_EQ(ListedNames(dialog).size(), 1u);
                                   if (way == EscapeKey) user.PressKey(VK_ESCAPE);
                                   if (way == CloseBox) user.CloseFromCaption(dialog);
                                   EXPECT_TRUE(user.WaitUntilClosed(dialog)) << "way " << way;
                                 });
    EXPECT_EQ(result, IDCANCEL) << "way " << way;
    EXPECT_TRUE(settings.writes.empty()) << "way " << way;
  }
}

TEST(TemplateManager, EnterInTheTextMakesANewLine) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first"}});
  CMessageTemplateManager manager(settings);
  INT_PTR result = RunWithUser([&] { return manager.DoModal(nullptr); },
                               [](DialogUser& user) {
                                 HWND dialog = user.WaitForDialog(kManagerTitle);
                                 ASSERT_NE(dialog, nullptr);
                                 user.Type(dialog, IDC_TEMPLATE_TEXT, L"");
                                 user.PressKey(VK_RETURN);
                                 EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter does not end the dialog";
                                 EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first\r\n");
                                 user.Click(dialog, IDCANCEL);
                               });
  EXPECT_EQ(result, IDCANCEL);
}

TEST(NewTemplateName, OkIsEnabledExactlyWhileTheNameIsNotEmpty) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}});
  CMessageTemplateManager manager(settings);
  RunWithUser([&] { return manager.DoModal(nullptr); },
              [](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kManagerTitle);
                ASSERT_NE(dialog, nullptr);
                user.Click(dialog, IDC_SAVE_AS_NEW);
                HWND nameDialog = user.WaitForDialog(kNameTitle);
                ASSERT_NE(nameDialog, nullptr);
                EXPECT_EQ(user.Text(nameDialog, IDC_NEW_TEMPLATE_NAME), L"");
                EXPECT_FALSE(user.IsEnabled(nameDialog, IDOK));
                user.PressKey(VK_RETURN);
                EXPECT_TRUE(IsWindowVisible(nameDialog)) << "Enter with no name does not end it";
                user.Type(nameDialog, IDC_NEW_TEMPLATE_NAME, L" ");
                EXPECT_TRUE(user.IsEnabled(nameDialog, IDOK)) << "a blank counts";
                user.Clear(nameDialog, IDC_NEW_TEMPLATE_NAME);
                EXPECT_FALSE(user.IsEnabled(nameDialog, IDOK));
                user.Type(nameDialog, IDC_NEW_TEMPLATE_NAME, L"Recall");
                EXPECT_TRUE(user.IsEnabled(nameDialog, IDOK));
                user.Screenshot(L"new_message_template_name");
                user.PressKey(VK_RETURN);
                EXPECT_TRUE(user.WaitUntilClosed(nameDialog)) << "Enter is OK once there is a name";
                EXPECT_EQ(ListedNames(dialog), (std::vector<std::wstring>{L"Dentist", L"Recall"}));
                user.Click(dialog, IDOK);
              });
  EXPECT_EQ(settings.GetTemplateName(2), u"Recall");
}

TEST(TemplateManager, RefusedSavesAreToldAndTheDialogsKeepWhatWasTyped) {
  RecordingSettings settings;
  StoreTemplates(settings, {{u"Dentist", u"first text"}});
  settings.RefuseWrites();
  CMessageTemplateManager manager(settings);
  RunWithUser([&] { return manager.DoModal(nullptr); },
              [](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kManagerTitle);
                ASSERT_NE(dialog, nullptr);
                user.Type(dialog, IDC_TEMPLATE_TEXT, L" edited");
                user.Click(dialog, IDC_SAVE_CHANGES);
                HWND box = user.WaitForMessageBox(dialog, kManagerTitle);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(user.MessageText(box).rfind(L"The template text could not be saved.", 0), 0u);
                user.Click(box, IDOK);
                EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first text edited");

                user.Click(dialog, IDC_SAVE_AS_NEW);
                HWND nameDialog = user.WaitForDialog(kNameTitle);
                ASSERT_NE(nameDialog, nullptr);
                user.Type(nameDialog, IDC_NEW_TEMPLATE_NAME, L"Recall");
                user.Click(nameDialog, IDOK);
                box = user.WaitForMessageBox(nameDialog, kNameTitle);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(user.MessageText(box).rfind(L"The new template could not be saved.", 0), 0u);
                user.Click(box, IDOK);
                EXPECT_TRUE(IsWindowVisible(nameDialog)) << "the name dialog stays open";
                EXPECT_EQ(user.Text(nameDialog, IDC_NEW_TEMPLATE_NAME), L"Recall");
                user.Click(nameDialog, IDCANCEL);
                EXPECT_TRUE(user.WaitUntilClosed(nameDialog));
                EXPECT_EQ(ListedNames(dialog), std::vector<std::wstring>{L"Dentist"});
                EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), L"first text edited");
                user.Click(dialog, IDOK);
              });
  EXPECT_EQ(manager.CurrentText(), u"first text") << "what is stored, not what was refused";
  EXPECT_TRUE(settings.writes.empty());
}

TEST(TemplateManager, ModalOverItsOwnerAndTheNameDialogOverTheManager) {
  MemorySettings settings;
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60, 700, 500,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  CMessageTemplateManager manager(settings);
  RunWithUser([&] { return manager.DoModal(owner); },
              [owner](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kManagerTitle);
                ASSERT_NE(dialog, nullptr);
                EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
                EXPECT_FALSE(IsWindowEnabled(owner));
                user.Click(dialog, IDC_SAVE_AS_NEW);
                HWND nameDialog = user.WaitForDialog(kNameTitle);
                ASSERT_NE(nameDialog, nullptr);
                EXPECT_EQ(GetWindow(nameDialog, GW_OWNER), dialog);
                EXPECT_FALSE(IsWindowEnabled(dialog)) << "the manager waits for the name";
                user.Click(nameDialog, IDCANCEL);
                EXPECT_TRUE(user.WaitUntilClosed(nameDialog));
                EXPECT_TRUE(IsWindowEnabled(dialog));
                user.Click(dialog, IDCANCEL);
              });
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

struct Control {
  int id;
  const wchar_t* className;
  const wchar_t* text;  // nullptr: not compared
  RECT units;           // x, y, width, height
  LONG styles;          // that must all be set
};

// The dialog's client size and its controls in tab order, with their
// rectangles as the dialog manager converts them.
void ExpectLayout(HWND dialog, SIZE units, const std::vector<Control>& controls) {
  RECT client{};
  GetClientRect(dialog, &client);
  RECT size{0, 0, units.cx, units.cy};
  MapDialogRect(dialog, &size);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
  HWND child = GetWindow(dialog, GW_CHILD);
  for (const Control& control : controls) {
    ASSERT_NE(child, nullptr) << "missing control after the previous one";
    EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(child))), control.id);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    EXPECT_EQ(_wcsicmp(className, control.className), 0) << "control " << control.id;
    if (control.text) {
      wchar_t text[64] = {};
      GetWindowTextW(child, text, 64);
      EXPECT_STREQ(text, control.text) << "control " << control.id;
    }
    RECT expected = control.units;
    MapDialogRect(dialog, &expected);
    expected.right += expected.left;
    expected.bottom += expected.top;
    RECT actual{};
    GetWindowRect(child, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left) << "control " << control.id;
    EXPECT_EQ(actual.top, expected.top) << "control " << control.id;
    EXPECT_EQ(actual.right, expected.right) << "control " << control.id;
    // A combo box's window is only its closed part, and Wine's dropped
    // rectangle is not the template's height either: only x, y and width.
    if (_wcsicmp(className, L"ComboBox") != 0) {
      EXPECT_EQ(actual.bottom, expected.bottom) << "control " << control.id;
    }
    LONG style = GetWindowLongW(child, GWL_STYLE);
    EXPECT_EQ(style & control.styles, control.styles) << "control " << control.id;
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr) << "no controls beyond the listed ones";
}

TEST(TemplateDialogs, TemplatesHaveTheirControlsInTabOrderWithTheirRectanglesAndStyles) {
  MemorySettings settings;
  CMessageTemplateManager manager(settings);
  RunWithUser(
      [&] { return manager.DoModal(nullptr); },
      [](DialogUser& user) {
        HWND dialog = user.WaitForDialog(kManagerTitle);
        ASSERT_NE(dialog, nullptr);
        ExpectLayout(dialog, {236, 134},
                     {
                         {-1, L"Button", L"Available message templates", {7, 7, 213, 96}, BS_GROUPBOX},
                         {IDC_TEMPLATE_NAMES,
                          L"ComboBox",
                          L"Dentist appointment",
                          {12, 22, 200, 43},
                          CBS_DROPDOWN | WS_TABSTOP},
                         {IDC_TEMPLATE_TEXT,
                          L"Edit",
                          nullptr,
                          {12, 37, 200, 33},
                          ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP},
                         {IDC_SAVE_AS_NEW, L"Button", L"Save as New...", {15, 78, 63, 14}, WS_TABSTOP},
                         {IDC_SAVE_CHANGES, L"Button", L"Save changes", {84, 78, 63, 14}, WS_TABSTOP},
                         {IDOK, L"Button", L"OK", {125, 113, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP},
                         {IDCANCEL, L"Button", L"Cancel", {179, 113, 50, 14}, WS_TABSTOP},
                     });
        EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, IDC_TEMPLATE_NAMES), GWL_STYLE) & CBS_SORT, 0)
            << "names stay in number order";
        user.Click(dialog, IDC_SAVE_AS_NEW);
        HWND nameDialog = user.WaitForDialog(kNameTitle);
        ASSERT_NE(nameDialog, nullptr);
        ExpectLayout(
            nameDialog, {228, 64},
            {
                {-1, L"Static", L"Message template name:", {10, 16, 81, 8}, SS_LEFTNOWORDWRAP},
                {IDC_NEW_TEMPLATE_NAME, L"Edit", L"", {95, 14, 112, 14}, ES_AUTOHSCROLL | WS_TABSTOP},
                {IDOK, L"Button", L"OK", {104, 43, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP},
                {IDCANCEL, L"Button", L"Cancel", {171, 43, 50, 14}, WS_TABSTOP},
            });
        EXPECT_EQ(GetWindowLongW(GetDlgItem(nameDialog, IDC_NEW_TEMPLATE_NAME), GWL_STYLE) & ES_MULTILINE, 0);
        user.Click(nameDialog, IDCANCEL);
        EXPECT_TRUE(user.WaitUntilClosed(nameDialog));
        user.Click(dialog, IDCANCEL);
      });
}

class TemplateManagerFile : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"template_manager_test";
    RemoveFolder();
  }
  void TearDown() override { RemoveFolder(); }
  void RemoveFolder() {
    DeleteFileW((folder_ + L"\\Settings.ini").c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring Read(const wchar_t* key) const {
    wchar_t value[256] = {};
    GetPrivateProfileStringW(L"Profile", key, L"<missing>", value, 256,
                             (folder_ + L"\\Settings.ini").c_str());
    return value;
  }
  std::wstring folder_;
};

TEST_F(TemplateManagerFile, EverySaveIsInSettingsIniBeforeTheDialogCloses) {
  SettingsManager settings(folder_);
  CMessageTemplateManager manager(settings);
  INT_PTR result =
      RunWithUser([&] { return manager.DoModal(nullptr); },
                  [this](DialogUser& user) {
                    HWND dialog = user.WaitForDialog(kManagerTitle);
                    ASSERT_NE(dialog, nullptr);
                    EXPECT_EQ(Read(L"SavedTemplatesCount"), L"1");
                    EXPECT_EQ(Read(L"SavedTemplateName1"), L"Dentist appointment");
                    EXPECT_EQ(Read(L"SavedTemplateText1"), kDefaultText);
                    user.Clear(dialog, IDC_TEMPLATE_TEXT);
                    user.Type(dialog, IDC_TEMPLATE_TEXT, L"Hallo [[first name]], \u00fcbermorgen");
                    SaveAsNew(user, dialog, L"Erinnerung \u00e4");
                    EXPECT_EQ(Read(L"SavedTemplatesCount"), L"2");
                    EXPECT_EQ(Read(L"SavedTemplateName2"), L"Erinnerung \u00e4");
                    EXPECT_EQ(Read(L"SavedTemplateText2"), L"Hallo [[first name]], \u00fcbermorgen");
                    user.Select(dialog, IDC_TEMPLATE_NAMES, L"Dentist appointment");
                    user.Type(dialog, IDC_TEMPLATE_TEXT, L" Bye.");
                    user.Click(dialog, IDC_SAVE_CHANGES);
                    EXPECT_EQ(Read(L"SavedTemplateText1"), kDefaultText + L" Bye.");
                    user.Click(dialog, IDCANCEL);
                  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(Read(L"SavedTemplatesCount"), L"2") << "Cancel undoes nothing";
  EXPECT_EQ(Read(L"SavedTemplateName1"), L"Dentist appointment");
  EXPECT_EQ(Read(L"SelectedTemplate"), L"<missing>") << "only the batch dialog's defaults write it";
}

}  // namespace
