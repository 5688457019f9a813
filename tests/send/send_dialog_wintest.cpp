// The send dialog, its suggestion list and the contact chooser, run for
// real under Wine over the stand-in's contacts and driven as a user would;
// sends go to the gateway simulator that with_simulator.sh starts.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "dialog_user.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "resource_ids.h"
#include "send/ac_list_wnd_win.h"
#include "send/send_sms_dlg_win.h"
#include "simulator_log.h"
#include "standin/stand_in.h"
#include "support/memory_settings.h"
#include "support/wait.h"

namespace {

const std::wstring kTitle = L"Send SMS to contact";
const std::wstring kChooser = L"Choose Contacts";

const char kStore[] = R"({"contacts": [
  {"fullName": "Bob", "mobile": "1"},
  {"fullName": "bea", "mobile": "2"},
  {"fullName": "Al", "mobile": "3"},
  {"fullName": "Ann Lee", "mobile": "+64 21 555 1234"},
  {"fullName": "Zed", "mobile": null, "primary": "09 123 4567"},
  {"kind": "distributionList", "subject": "Team"}
]})";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

BOOL CALLBACK FindList(HWND window, LPARAM found) {
  if (!CACListWnd::FromWindow(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The suggestion list of the dialog `dialog`.
CACListWnd* ListOf(HWND dialog) {
  HWND found = nullptr;
  EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), FindList, reinterpret_cast<LPARAM>(&found));
  return found ? CACListWnd::FromWindow(found) : nullptr;
}

std::vector<std::wstring> Shown(const CACListWnd& list) {
  std::vector<std::wstring> rows;
  for (int row = 0; row < list.MatchCount(); ++row) rows.emplace_back(list.Match(row).begin(), list.Match(row).end());
  return rows;
}

std::pair<DWORD, DWORD> Selection(HWND dialog, int id) {
  DWORD start = 0, end = 0;
  SendMessageW(GetDlgItem(dialog, id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

void SetCaret(HWND dialog, int id, DWORD at) { SendMessageW(GetDlgItem(dialog, id), EM_SETSEL, at, at); }

class SendDialog : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    settings_.SetString(u"GatewayHost", codePage_.FromAnsi("127.0.0.1:" + Env("GATEWAY_SIM_PORT")));
    settings_.SetString(u"UserName", u"alice");
    settings_.SetString(u"Password", u"s3cret");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // A list that opens under the pointer selects the row there.
    SetCursorPos(0, 0);
  }
  void TearDown() override {
    client_.reset();
    OleUninitialize();
  }

  INT_PTR Run(const std::string& store, const std::function<void(DialogUser&, HWND)>& script) {
    client_ = standin::StandIn::FromJson(store);
    return RunWithUser(
        [&] {
          return SendSMSDlg(outlook::Dispatch(client_->Application()), settings_, codePage_, clock_, 5000)
              .DoModal(nullptr);
        },
        [&](DialogUser& user) {
          HWND dialog = user.WaitForDialog(kTitle);
          ASSERT_NE(dialog, nullptr);
          script(user, dialog);
        });
  }

  MemorySettings settings_;
  ThreadCodePage codePage_;
  SystemClock clock_;
  std::unique_ptr<standin::StandIn> client_;
  SimulatorLog log_;
};

TEST_F(SendDialog, OpensWithFocusInRecipientsAndSendFollowsBothFields) {
  INT_PTR result = Run(kStore, [](DialogUser& user, HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    EXPECT_EQ(info.hwndFocus, GetDlgItem(dialog, IDC_RECIPIENTS));
    EXPECT_FALSE(user.IsEnabled(dialog, IDOK));
    EXPECT_EQ(user.Text(dialog, IDC_CHAR_COUNT), L"0");
    EXPECT_EQ(user.Text(dialog, IDC_MESSAGE_COUNT), L"0");
    user.Type(dialog, IDC_MESSAGE_TEXT, L"Hi");
    EXPECT_FALSE(user.IsEnabled(dialog, IDOK)) << "no recipients yet";
    user.Type(dialog, IDC_RECIPIENTS, L" ");
    EXPECT_TRUE(user.IsEnabled(dialog, IDOK)) << "a blank is text";
    user.Clear(dialog, IDC_MESSAGE_TEXT);
    EXPECT_FALSE(user.IsEnabled(dialog, IDOK));
    EXPECT_EQ(user.Text(dialog, IDC_MESSAGE_COUNT), L"0");
    user.PressKey(VK_ESCAPE);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(SendDialog, CountersFollowTheTextAndTheSettings) {
  Run(kStore, [&](DialogUser& user, HWND dialog) {
    auto counts = [&](const std::wstring& text) {
      user.Clear(dialog, IDC_MESSAGE_TEXT);
      user.Type(dialog, IDC_MESSAGE_TEXT, text);
      return user.Text(dialog, IDC_CHAR_COUNT) + L"/" + user.Text(dialog, IDC_MESSAGE_COUNT);
    };
    EXPECT_EQ(counts(std::wstring(160, L'a')), L"160/1");
    EXPECT_EQ(counts(std::wstring(161, L'a')), L"161/2");
    EXPECT_EQ(counts(L"a\rb"), L"4/1") << "Enter makes a line break of two characters";
    EXPECT_EQ(user.Text(dialog, IDC_GSM_NOTE), L"");
    EXPECT_EQ(counts(L"caf\u00EA"), L"4/1");
    EXPECT_NE(user.Text(dialog, IDC_GSM_NOTE).find(L"will not arrive as typed"), std::wstring::npos);
    settings_.SetString(u"Concatenation", u"1");
    EXPECT_EQ(counts(std::wstring(307, L'a')), L"307/3") << "read again at every change";
    settings_.SetString(u"Alphabet", u"1");
    EXPECT_EQ(counts(std::wstring(71, L'a')), L"71/2");
    EXPECT_EQ(counts(L"caf\u00EA"), L"4/1");
    EXPECT_EQ(user.Text(dialog, IDC_GSM_NOTE), L"") << "Unicode carries every character";
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

TEST_F(SendDialog, TypingAPrefixShowsTheMatchesBelowTheFieldAndKeysChooseThem) {
  Run(kStore, [&](DialogUser& user, HWND dialog) {
    CACListWnd* list = ListOf(dialog);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(IsWindowVisible(list->Window()));
    user.Type(dialog, IDC_RECIPIENTS, L"b");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    EXPECT_EQ(Shown(*list), (std::vector<std::wstring>{L"bea (2)", L"Bob (1)"}));
    EXPECT_EQ(list->Selected(), -1);
    RECT field{}, shown{};
    GetWindowRect(GetDlgItem(dialog, IDC_RECIPIENTS), &field);
    GetWindowRect(list->Window(), &shown);
    EXPECT_EQ(shown.left, field.left);
    EXPECT_EQ(shown.top, field.bottom);
    EXPECT_EQ(shown.right - shown.left, field.right - field.left);
    EXPECT_EQ(shown.bottom - shown.top, 2 * list->RowHeight() + 2 * GetSystemMetrics(SM_CYBORDER));
    EXPECT_FALSE(list->ScrollBarShown());
    user.Screenshot(L"send_dialog_suggestions");

    user.PressKey(VK_DOWN);
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"bea (2)");
    EXPECT_EQ(Selection(dialog, IDC_RECIPIENTS), std::make_pair(DWORD{0}, DWORD{7}));
    user.PressKey(VK_DOWN);
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"Bob (1)");
    user.PressKey(VK_DOWN);
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"bea (2)") << "Down on the last row wraps";
    user.PressKey(VK_UP);
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"Bob (1)");

    user.Type(dialog, IDC_MESSAGE_TEXT, L"Hi");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_RECIPIENTS)), TRUE);
    SetCaret(dialog, IDC_RECIPIENTS, 7);
    user.Type(dialog, IDC_RECIPIENTS, L"; a");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    EXPECT_EQ(Shown(*list), (std::vector<std::wstring>{L"Al (3)", L"Ann Lee (+64 21 555 1234)"}));
    user.PressKey(VK_RETURN);
    EXPECT_TRUE(IsWindow(dialog)) << "Enter with the list shown does not send";
    EXPECT_FALSE(IsWindowVisible(list->Window()));
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"Bob (1); a; ");

    user.Type(dialog, IDC_RECIPIENTS, L"z");
    EXPECT_FALSE(IsWindowVisible(list->Window())) << "Zed has no mobile number";
    user.Type(dialog, IDC_RECIPIENTS, L"\b");
    user.Type(dialog, IDC_RECIPIENTS, L"B");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    user.Type(dialog, IDC_RECIPIENTS, L"\b");
    EXPECT_FALSE(IsWindowVisible(list->Window())) << "deleting the token's last character hides it";
    user.Type(dialog, IDC_RECIPIENTS, L"A");
    user.PressKey(VK_ESCAPE);
    EXPECT_TRUE(IsWindow(dialog)) << "Escape with the list shown keeps the dialog";
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"Bob (1); a; A; ");
    user.PressKey(VK_ESCAPE);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

TEST_F(SendDialog, OnlyTheRecipientAroundTheCaretIsReplaced) {
  Run(kStore, [&](DialogUser& user, HWND dialog) {
    CACListWnd* list = ListOf(dialog);
    ASSERT_NE(list, nullptr);
    SetDlgItemTextW(dialog, IDC_RECIPIENTS, L"b; Al (3)");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_RECIPIENTS)), TRUE);
    SetCaret(dialog, IDC_RECIPIENTS, 1);
    SendMessageW(GetDlgItem(dialog, IDC_RECIPIENTS), WM_CHAR, L'o', 1);
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    EXPECT_EQ(Shown(*list), std::vector<std::wstring>{L"Bob (1)"});
    user.PressKey(VK_DOWN);
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"Bob (1); Al (3)");
    user.PressKey(VK_RIGHT);
    EXPECT_TRUE(IsWindowVisible(list->Window())) << "moving the caret leaves the list";
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

std::string ManyContacts(int count, const char* name) {
  std::string store = R"({"contacts": [)";
  for (int i = 0; i < count; ++i) {
    char contact[128];
    snprintf(contact, sizeof contact, R"(%s{"fullName": "%s %02d", "mobile": "6403%03d"})", i ? "," : "", name, i, i);
    store += contact;
  }
  return store + "]}";
}

TEST_F(SendDialog, TwelveMatchesScrollInEightRows) {
  Run(ManyContacts(12, "Kim"), [&](DialogUser& user, HWND dialog) {
    CACListWnd* list = ListOf(dialog);
    ASSERT_NE(list, nullptr);
    // The list scrolls to a far row in animated steps, taking sent messages
    // between them: the rows it ends on are waited for.
    user.Type(dialog, IDC_RECIPIENTS, L"k");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    EXPECT_EQ(list->VisibleRowCount(), 8);
    EXPECT_TRUE(list->ScrollBarShown());
    user.PressKey(VK_DOWN);
    EXPECT_EQ(list->Selected(), 0);
    user.PressKey(VK_NEXT);
    EXPECT_EQ(list->Selected(), 8);
    EXPECT_TRUE(WaitUntil([&] { return list->TopRow() == 1; })) << list->TopRow();
    EXPECT_TRUE(WaitUntil([&] { return user.Text(dialog, IDC_RECIPIENTS) == L"Kim 08 (6403008)"; }));
    user.PressKey(VK_END);
    EXPECT_EQ(list->Selected(), 11);
    EXPECT_TRUE(WaitUntil([&] { return list->TopRow() == 4; })) << list->TopRow();
    user.PressKey(VK_DOWN);
    EXPECT_EQ(list->Selected(), 0);
    EXPECT_TRUE(WaitUntil([&] { return list->TopRow() == 0; })) << list->TopRow();
    SendMessageW(list->Window(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(list->TopRow(), 4) << "never past the last full page";
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

TEST_F(SendDialog, ClickingARowAppliesItAndTheListHidesAfterAMoment) {
  Run(kStore, [&](DialogUser& user, HWND dialog) {
    CACListWnd* list = ListOf(dialog);
    ASSERT_NE(list, nullptr);
    user.Type(dialog, IDC_RECIPIENTS, L"x; B");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    int y = list->RowHeight() + list->RowHeight() / 2;
    PostMessageW(list->Window(), WM_MOUSEMOVE, 0, MAKELPARAM(10, y));
    EXPECT_TRUE(WaitUntil([&] { return list->Selected() == 1; })) << "hot tracking";
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"x; B") << "pointing changes no text";
    PostMessageW(list->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, y));
    EXPECT_TRUE(WaitUntil([&] { return user.Text(dialog, IDC_RECIPIENTS) == L"x; Bob (1)"; }));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(list->Window()); }));

    user.Type(dialog, IDC_RECIPIENTS, L"; A");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    PostMessageW(list->Window(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 3));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(list->Window()); })) << "the right button hides it";
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"x; Bob (1); A");

    user.Type(dialog, IDC_RECIPIENTS, L"l");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    RECT at{};
    GetWindowRect(dialog, &at);
    SetWindowPos(dialog, nullptr, at.left + 20, at.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(list->Window()); }, std::chrono::milliseconds(400))) << "moving the dialog hides it";

    user.Type(dialog, IDC_RECIPIENTS, L"\bl");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_MESSAGE_TEXT)), TRUE);
    EXPECT_FALSE(IsWindowVisible(list->Window())) << "losing the focus hides it";
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

TEST_F(SendDialog, TheSizeGripResizesTheListAndTheSizeIsRemembered) {
  Run(ManyContacts(12, "Kim"), [&](DialogUser& user, HWND dialog) {
    CACListWnd* list = ListOf(dialog);
    ASSERT_NE(list, nullptr);
    user.Type(dialog, IDC_RECIPIENTS, L"k");
    ASSERT_TRUE(IsWindowVisible(list->Window()));
    RECT before{};
    GetWindowRect(list->Window(), &before);
    int grip = GetSystemMetrics(SM_CXVSCROLL) / 2;
    LPARAM corner = MAKELPARAM(before.right - before.left - grip, before.bottom - before.top - grip);
    SendMessageW(list->Window(), WM_LBUTTONDOWN, MK_LBUTTON, corner);
    LPARAM dragged = MAKELPARAM(before.right - before.left - grip + 40, before.bottom - before.top - grip + 60);
    SendMessageW(list->Window(), WM_MOUSEMOVE, MK_LBUTTON, dragged);
    SendMessageW(list->Window(), WM_LBUTTONUP, 0, dragged);
    RECT after{};
    GetWindowRect(list->Window(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left + 40);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 60);
    EXPECT_GT(list->VisibleRowCount(), 8);
    user.Type(dialog, IDC_RECIPIENTS, L"\b");
    EXPECT_FALSE(IsWindowVisible(list->Window()));
    user.Type(dialog, IDC_RECIPIENTS, L"K");
    RECT again{};
    GetWindowRect(list->Window(), &again);
    EXPECT_EQ(again.right - again.left, after.right - after.left) << "the user's size lasts";
    EXPECT_EQ(again.bottom - again.top, after.bottom - after.top);
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

void SelectRows(HWND table, std::initializer_list<int> rows) {
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED;
  SendMessageW(table, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  for (int row : rows) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(table, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
}

std::wstring Cell(HWND table, int row, int column) {
  wchar_t text[256] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 256;
  SendMessageW(table, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

TEST_F(SendDialog, TheChooserListsTheDirectoryAndKeepsWhatTheUserTyped) {
  Run(kStore, [&](DialogUser& user, HWND dialog) {
    user.Type(dialog, IDC_RECIPIENTS, L"typed");
    user.Click(dialog, IDC_TO_BUTTON);
    HWND chooser = user.WaitForDialog(kChooser);
    ASSERT_NE(chooser, nullptr);
    HWND table = GetDlgItem(chooser, IDC_CONTACT_LIST);
    ASSERT_EQ(ListView_GetItemCount(table), 4);
    EXPECT_EQ(Cell(table, 0, 0), L"Al");
    EXPECT_EQ(Cell(table, 1, 0), L"Ann Lee");
    EXPECT_EQ(Cell(table, 1, 1), L"+64 21 555 1234");
    EXPECT_EQ(Cell(table, 3, 0), L"bea") << "code-unit order: lower case after capitals";
    EXPECT_EQ(ListView_GetNextItem(table, -1, LVNI_SELECTED), 0);
    wchar_t heading[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = 64;
    SendMessageW(table, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(std::wstring(heading), L"Phone Number");
    EXPECT_EQ(column.cx, 240);
    EXPECT_EQ(user.Text(chooser, IDC_CHOSEN_RECIPIENTS), L"typed");
    user.Screenshot(L"choose_contacts");

    user.Click(chooser, IDC_ADD_RECIPIENT);
    EXPECT_EQ(user.Text(chooser, IDC_CHOSEN_RECIPIENTS), L"typed; Al (3)");
    user.Type(chooser, IDC_CHOSEN_RECIPIENTS, L"; by hand");
    SelectRows(table, {1, 3});
    user.Click(chooser, IDC_ADD_RECIPIENT);
    EXPECT_EQ(user.Text(chooser, IDC_CHOSEN_RECIPIENTS), L"typed; Al (3); by hand; Ann Lee (+64 21 555 1234)")
        << "typed text stays; only the first selected row is added";
    SelectRows(table, {2});
    RECT row{};
    row.left = LVIR_LABEL;
    SendMessageW(table, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    LPARAM at = MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2);
    PostMessageW(table, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(table, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(WaitUntil([&] { return user.Text(chooser, IDC_CHOSEN_RECIPIENTS).find(L"; Bob (1)") != std::wstring::npos; }))
        << "a double-click adds the row";
    user.Click(chooser, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(chooser));
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"typed; Al (3); by hand; Ann Lee (+64 21 555 1234); Bob (1)");
    CACListWnd* list = ListOf(dialog);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(IsWindowVisible(list->Window())) << "the chooser's text proposes nothing";

    user.Click(dialog, IDC_TO_BUTTON);
    chooser = user.WaitForDialog(kChooser);
    ASSERT_NE(chooser, nullptr);
    user.Clear(chooser, IDC_CHOSEN_RECIPIENTS);
    user.Click(chooser, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(chooser));
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"typed; Al (3); by hand; Ann Lee (+64 21 555 1234); Bob (1)")
        << "Cancel changes nothing";

    user.Click(dialog, IDC_TO_BUTTON);
    chooser = user.WaitForDialog(kChooser);
    ASSERT_NE(chooser, nullptr);
    user.Clear(chooser, IDC_CHOSEN_RECIPIENTS);
    user.Click(chooser, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(chooser));
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"") << "OK takes even an emptied text";
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

// Found by the main job's tour: a suggestion taken leaves "; " at the end
// of the field, and the chooser added a second one, an empty recipient the
// report then named.
TEST_F(SendDialog, TheChooserAddsAfterATakenSuggestionWithoutAnEmptyRecipient) {
  Run(kStore, [&](DialogUser& user, HWND dialog) {
    user.Type(dialog, IDC_RECIPIENTS, L"Al (3); ");
    user.Click(dialog, IDC_TO_BUTTON);
    HWND chooser = user.WaitForDialog(kChooser);
    ASSERT_NE(chooser, nullptr);
    SelectRows(GetDlgItem(chooser, IDC_CONTACT_LIST), {1});
    user.Click(chooser, IDC_ADD_RECIPIENT);
    EXPECT_EQ(user.Text(chooser, IDC_CHOSEN_RECIPIENTS), L"Al (3); Ann Lee (+64 21 555 1234)");
    user.Click(chooser, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(chooser));
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"Al (3); Ann Lee (+64 21 555 1234)");
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

TEST_F(SendDialog, WithoutContactsThereIsNothingToProposeOrChoose) {
  Run(R"({"contacts": []})", [&](DialogUser& user, HWND dialog) {
    user.Type(dialog, IDC_RECIPIENTS, L"a");
    CACListWnd* list = ListOf(dialog);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(IsWindowVisible(list->Window()));
    user.Click(dialog, IDC_TO_BUTTON);
    HWND chooser = user.WaitForDialog(kChooser);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(chooser, IDC_CONTACT_LIST)), 0);
    user.Click(chooser, IDC_ADD_RECIPIENT);
    EXPECT_EQ(user.Text(chooser, IDC_CHOSEN_RECIPIENTS), L"a");
    user.Click(chooser, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(chooser));
    EXPECT_EQ(user.Text(dialog, IDC_RECIPIENTS), L"a");
    user.Click(dialog, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
}

TEST_F(SendDialog, SendMakesOneRequestPerKnownRecipientAndReportsEveryToken) {
  size_t before = log_.Requests().size();
  std::wstring report;
  INT_PTR result = Run(kStore, [&](DialogUser& user, HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RECIPIENTS,
                    L"Ann Lee (+64 21 555 1234); Nobody (5); Ann Lee (+64 21 555 1234); Al (3);Bob (1); ");
    user.Type(dialog, IDC_MESSAGE_TEXT, L"Hello");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_RECIPIENTS)), TRUE);
    user.PressKey(VK_RETURN);  // the list is hidden: Enter presses Send
    HWND box = nullptr;
    ASSERT_NE(box = user.WaitForMessageBox(dialog, kTitle, 20000), nullptr) << "no report";
    report = user.MessageText(box);
    user.Click(box, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(dialog)) << "the dialog closes after the run";
  });
  EXPECT_EQ(result, IDOK);
  auto requests = log_.Requests();
  ASSERT_EQ(requests.size() - before, 2u);
  EXPECT_EQ(requests[before].Param("to"), "64215551234");
  EXPECT_EQ(requests[before].Param("message"), "Hello");
  EXPECT_EQ(requests[before + 1].Param("to"), "64215551234");
  EXPECT_EQ(report.substr(0, 23), L"SMS delivery results:\n\n");
  EXPECT_NE(report.find(L"Message for Ann Lee was sent successfully."), std::wstring::npos) << std::string(report.begin(), report.end());
  EXPECT_NE(report.find(L"Nothing was sent to \"Nobody (5)\" because it is not a contact with a mobile number."),
            std::wstring::npos);
  EXPECT_NE(report.find(L"Nothing was sent to \"Al (3);Bob (1)\""), std::wstring::npos) << "no blank, no cut";
}

TEST_F(SendDialog, AnOptedOutRecipientIsAskedAboutOnceAndNoSendsNothingToThem) {
  const size_t before = log_.Requests().size();
  std::wstring question, report;
  Run(R"({"contacts": [{"fullName": "Bob", "mobile": "1", "categories": "Family; No SMS"},
                       {"fullName": "Al", "mobile": "3"}]})",
      [&](DialogUser& user, HWND dialog) {
        SetDlgItemTextW(dialog, IDC_RECIPIENTS, L"Bob (1); Al (3); Bob (1)");
        user.Type(dialog, IDC_MESSAGE_TEXT, L"Hello");
        user.Click(dialog, IDOK);
        HWND box = user.WaitForMessageBox(dialog, kTitle, 20000);
        ASSERT_NE(box, nullptr) << "no question";
        question = user.MessageText(box);
        user.PressKey(VK_RETURN);  // No is the default
        ASSERT_NE(box = user.WaitForMessageBox(dialog, kTitle, 20000), nullptr) << "no report";
        report = user.MessageText(box);
        user.Click(box, IDOK);
        EXPECT_TRUE(user.WaitUntilClosed(dialog));
      });
  EXPECT_NE(question.find(L"\nBob (1)\n"), std::wstring::npos) << std::string(question.begin(), question.end());
  const auto requests = log_.Requests();
  ASSERT_EQ(requests.size() - before, 1u);
  EXPECT_EQ(requests[before].Param("to"), "3");
  const std::wstring line = L"Message for Bob was not sent because Bob does not want SMS (category \"No SMS\").";
  const size_t first = report.find(line);
  ASSERT_NE(first, std::wstring::npos) << std::string(report.begin(), report.end());
  EXPECT_NE(report.find(line, first + line.size()), std::wstring::npos) << "a line for each token";
  EXPECT_NE(report.find(L"Message for Al was sent successfully."), std::wstring::npos);
}

TEST_F(SendDialog, TheChooserHoldsTheDialogAndAContactWithoutANameIsChosenAndSentTo) {
  size_t before = log_.Requests().size();
  std::wstring report;
  Run(R"({"contacts": [{"fullName": "Bob", "mobile": "1"}, {"mobile": "6404001"}]})",
      [&](DialogUser& user, HWND dialog) {
        user.Click(dialog, IDC_TO_BUTTON);
        HWND chooser = user.WaitForDialog(kChooser);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(GetWindow(chooser, GW_OWNER), dialog);
        EXPECT_FALSE(IsWindowEnabled(dialog)) << "the dialog cannot be used or closed under its chooser";
        HWND table = GetDlgItem(chooser, IDC_CONTACT_LIST);
        ASSERT_EQ(Cell(table, 0, 0), L" (6404001)") << "the key stands in for the missing name";
        SelectRows(table, {0});
        user.Click(chooser, IDC_ADD_RECIPIENT);
        EXPECT_EQ(user.Text(chooser, IDC_CHOSEN_RECIPIENTS), L" (6404001)");
        user.Click(chooser, IDOK);
        EXPECT_TRUE(user.WaitUntilClosed(chooser));
        EXPECT_TRUE(IsWindowEnabled(dialog));
        user.Type(dialog, IDC_MESSAGE_TEXT, L"Hi");
        user.Click(dialog, IDOK);
        HWND box = user.WaitForMessageBox(dialog, kTitle, 20000);
        ASSERT_NE(box, nullptr);
        report = user.MessageText(box);
        user.Click(box, IDOK);
        EXPECT_TRUE(user.WaitUntilClosed(dialog));
      });
  auto requests = log_.Requests();
  ASSERT_EQ(requests.size() - before, 1u);
  EXPECT_EQ(requests[before].Param("to"), "6404001");
  EXPECT_NE(report.find(L"Message for 6404001 was sent successfully."), std::wstring::npos)
      << std::string(report.begin(), report.end());
}

TEST_F(SendDialog, UnicodeTextIsEncodedOnceAndNoReportWhenNotWanted) {
  settings_.SetString(u"Alphabet", u"1");
  settings_.SetString(u"ShowDeliveryResults", u"0");
  size_t before = log_.Requests().size();
  INT_PTR result = Run(kStore, [&](DialogUser& user, HWND dialog) {
    user.Type(dialog, IDC_RECIPIENTS, L"Al (3); Bob (1)");
    user.Type(dialog, IDC_MESSAGE_TEXT, L"Hi");
    user.Click(dialog, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(dialog, 20000)) << "closes right after the last request";
  });
  EXPECT_EQ(result, IDOK);
  auto requests = log_.Requests();
  ASSERT_EQ(requests.size() - before, 2u);
  EXPECT_EQ(requests[before].Param("message"), "00480069");
  EXPECT_EQ(requests[before].Param("unicode"), "true");
  EXPECT_EQ(requests[before + 1].Param("to"), "1");
}

TEST_F(SendDialog, AThousandContactsUnderAnOpenItemLimitOfTwoHundredFifty) {
  std::string store = ManyContacts(1000, "Member");
  store.insert(store.size() - 1, R"(, "faults": {"openItemLimit": 250})");
  size_t before = log_.Requests().size();
  settings_.SetString(u"ShowDeliveryResults", u"0");
  Run(store, [&](DialogUser& user, HWND dialog) {
    user.Click(dialog, IDC_TO_BUTTON);
    HWND chooser = user.WaitForDialog(kChooser);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(chooser, IDC_CONTACT_LIST)), 1000);
    user.Click(chooser, IDCANCEL);
    EXPECT_TRUE(user.WaitUntilClosed(chooser));
    user.Type(dialog, IDC_RECIPIENTS, L"Member 999 (6403999); Member 00 (6403000)");
    user.Type(dialog, IDC_MESSAGE_TEXT, L"x");
    user.Click(dialog, IDOK);
    EXPECT_TRUE(user.WaitUntilClosed(dialog, 20000));
  });
  auto requests = log_.Requests();
  ASSERT_EQ(requests.size() - before, 2u);
  EXPECT_EQ(requests[before].Param("to"), "6403999");
  EXPECT_EQ(requests[before + 1].Param("to"), "6403000");
}

}  // namespace
