// "Sent messages" run for real under Wine and played by a scripted user:
// the list, its search, removal, and the export that a Python check reads
// back (check_history_export.py).
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "addin/access/com_apartment.h"
#include "addin/button_commands_win.h"
#include "addin/quorval_addin_win.h"
#include "batch/sent_history_dlg_win.h"
#include "dialog_user.h"
#include "gateway/simulator_log.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "resource_ids.h"
#include "standin/stand_in.h"
#include "store/history_csv.h"
#include "store/history_file.h"
#include "support/batch_run_user.h"

using Microsoft::WRL::ComPtr;

namespace {

const std::wstring kTitle = L"Sent messages";

// The text as the Unicode alphabet sends it.
std::string Hex(const std::u16string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (char16_t unit : text) {
    for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(unit >> shift) & 0xF];
  }
  return hex;
}

std::wstring CellText(HWND list, int item, int column) {
  wchar_t text[512] = {};
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = text;
  request.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
  return text;
}

void SelectOnly(HWND list, int item) {
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Narrow(const std::wstring& text) { return Utf8(std::u16string(text.begin(), text.end())); }

class SentHistoryDialog : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = HISTORY_EXPORT_FOLDER;
    CreateDirectoryW(folder_.c_str(), nullptr);
    DeleteFileW((folder_ + L"\\HistoryData.dat").c_str());
  }
  std::wstring folder_;
};

TEST_F(SentHistoryDialog, ShowsSearchesExportsAndRemovesOlderEntries) {
  SettingsManager store(folder_);
  store.RecordSent("E1_+64 21 555 0101_40252.375000", "Hi Ann, see you \"Monday\"", 40250.5);
  store.RecordSent("E2_=1+1_40253.375000", Hex(u"\u0393\u03B5\u03B9\u03B1 \u0394\u03CE\u03C1\u03B1,\n"
                                               u"\u0434\u043E \u0432\u0441\u0442\u0440\u0435\u0447\u0438"),
                   40251.25);
  store.MutableHistory().RecordUncertain("E3_021 555 0102_40300.500000", "-5 days", 40299.75);
  ASSERT_EQ(store.SaveHistory(), kStatusOk);

  const std::wstring exported = folder_ + L"\\Sent messages.csv";
  const std::wstring unwritable = folder_ + L"\\no such folder\\out.csv";
  DeleteFileW(exported.c_str());
  std::wstring chosen = exported;
  ThreadCodePage codePage;
  SystemClock clock;
  RunWithUser(
      [&] {
        return CSentHistory(store, codePage, clock, [&](HWND, const std::wstring&) {
                 return std::optional<std::wstring>(chosen);
               }).DoModal(nullptr);
      },
      [&](DialogUser& user) {
        HWND dialog = user.WaitForDialog(kTitle);
        ASSERT_NE(dialog, nullptr);
        HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
        EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & LVS_OWNERDATA);
        EXPECT_EQ(user.Text(dialog, IDC_HISTORY_COUNT), L"3 entries");
        // Newest first: the uncertain one was tried last.
        EXPECT_EQ(CellText(list, 0, 1), L"021 555 0102");
        EXPECT_EQ(CellText(list, 0, 4), L"uncertain");
        EXPECT_EQ(CellText(list, 1, 1), L"=1+1");
        EXPECT_EQ(CellText(list, 1, 3),
                  L"\u0393\u03B5\u03B9\u03B1 \u0394\u03CE\u03C1\u03B1, \u0434\u043E "
                  L"\u0432\u0441\u0442\u0440\u0435\u0447\u0438");
        EXPECT_EQ(CellText(list, 2, 3), L"Hi Ann, see you \"Monday\"");
        EXPECT_EQ(CellText(list, 2, 4), L"accepted");
        user.Screenshot(L"sent_history");

        user.Type(dialog, IDC_HISTORY_SEARCH, L"\u03B4\u03CE\u03C1");
        EXPECT_EQ(user.Text(dialog, IDC_HISTORY_COUNT), L"1 of 3 entries match");
        EXPECT_EQ(CellText(list, 0, 1), L"=1+1");
        user.Clear(dialog, IDC_HISTORY_SEARCH);
        EXPECT_EQ(user.Text(dialog, IDC_HISTORY_COUNT), L"3 entries");

        // A click on "Number" sorts by it, a second one turns the order round.
        NMLISTVIEW click{};
        click.hdr = {list, IDC_HISTORY_LIST, LVN_COLUMNCLICK};
        click.iSubItem = 1;
        SendMessageW(dialog, WM_NOTIFY, IDC_HISTORY_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(CellText(list, 0, 1), L"+64 21 555 0101");
        SendMessageW(dialog, WM_NOTIFY, IDC_HISTORY_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(CellText(list, 0, 1), L"=1+1");

        user.Click(dialog, IDC_HISTORY_EXPORT);
        EXPECT_TRUE(Exists(exported));

        chosen = unwritable;
        user.Click(dialog, IDC_HISTORY_EXPORT);
        HWND failed = user.WaitForMessageBox(dialog, kTitle);
        ASSERT_NE(failed, nullptr);
        EXPECT_NE(user.MessageText(failed).find(L"could not be exported to \"" + unwritable), std::wstring::npos);
        user.Click(failed, IDOK);
        user.WaitUntilClosed(failed);
        EXPECT_FALSE(Exists(unwritable));
        EXPECT_FALSE(Exists(unwritable + L".tmp"));

        // 17 March 2010: the two meetings of 15 and 16 March go.
        SYSTEMTIME before{2010, 3, 3, 17, 0, 0, 0, 0};
        SendMessageW(GetDlgItem(dialog, IDC_HISTORY_BEFORE_DATE), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&before));
        user.Click(dialog, IDC_HISTORY_REMOVE_BEFORE);
        HWND confirm = user.WaitForMessageBox(dialog, kTitle);
        ASSERT_NE(confirm, nullptr);
        EXPECT_EQ(user.MessageText(confirm).rfind(L"Remove 2 entries for meetings before ", 0), 0u);
        user.Click(confirm, IDYES);
        user.WaitUntilClosed(confirm);
        EXPECT_EQ(user.Text(dialog, IDC_HISTORY_COUNT), L"1 entry");
        user.Click(dialog, IDCANCEL);
      });

  EXPECT_TRUE(store.History().Entries().empty());
  ParsedHistory inFile;
  HistoryEntries uncertain;
  ASSERT_EQ(ReadHistoryFile(store.HistoryPath(), inFile, &uncertain), kStatusOk);
  EXPECT_TRUE(inFile.entries.empty());
  EXPECT_EQ(uncertain.size(), 1u);

  // What Python's csv module must read back, field for field.
  auto row = [&](double when, const std::string& number, double start, const std::string& text,
                 const char* outcome) {
    return nlohmann::json::array({Iso8601Local(when, clock), "", number, Iso8601Local(start, clock), text, outcome});
  };
  nlohmann::json expected = nlohmann::json::array(
      {nlohmann::json::array({"Sent or scheduled", "Name", "Number", "Meeting start", "Text", "Outcome"}),
       row(40251.25, "'=1+1", 40253.375,
           "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xB1 \xCE\x94\xCF\x8E\xCF\x81\xCE\xB1,\n"
           "\xD0\xB4\xD0\xBE \xD0\xB2\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB8",
           "accepted"),
       row(40299.75, "021 555 0102", 40300.5, "'-5 days", "uncertain"),
       row(40250.5, "'+64 21 555 0101", 40252.375, "Hi Ann, see you \"Monday\"", "accepted")});
  std::ofstream(Narrow(folder_ + L"\\expected.json"), std::ios::binary) << expected.dump();
}

constexpr char16_t kTemplate[] = u"Hi [[first name]], see you [[appt date]]";
constexpr char kStore[] = R"({
  "contacts": [
    {"key": "ann", "fullName": "Ann Lee", "firstName": "Ann", "mobile": "+64 21 555 0101"},
    {"key": "bob", "fullName": "Bob Roe", "firstName": "Bob", "mobile": "021 555 0102"}],
  "calendar": [
    {"subject": "Check-up", "start": "today+1 09:30", "recipients": [{"contact": "ann"}, {"contact": "bob"}]}]
})";

TEST_F(SentHistoryDialog, ARemovedEntryIsSentAgainWithoutAQuestion) {
  ComApartment apartment;
  auto client = standin::StandIn::FromJson(kStore);
  SettingsManager& store = SettingsManager::Instance();
  const char* port = std::getenv("GATEWAY_SIM_PORT");
  ASSERT_TRUE(port) << "run through with_simulator.sh";
  store.SetString(u"GatewayHost", u"127.0.0.1:" + std::u16string(port, port + std::strlen(port)));
  store.SetString(u"UserName", u"alice");
  store.SetString(u"Password", u"s3cret");
  store.SetString(u"SelectedTemplate", kTemplate);
  store.SetString(u"TimeFrameUnitType", u"3");
  store.SetString(u"TimeFrameUnitsCount", u"1");
  store.SetString(u"ShowDeliveryResults", u"1");
  store.SetString(u"Alphabet", u"0");
  DeleteFileW(store.HistoryPath().c_str());
  store.MutableHistory().Replace({});
  SimulatorLog log;
  const std::size_t requestsBefore = log.Requests().size();
  ComPtr<_IDTExtensibility2> addin;
  ASSERT_EQ(CQuorvalOAddin::Create(nullptr, IID__IDTExtensibility2, &addin, ProductCommands()), S_OK);
  ASSERT_EQ(addin->OnConnection(client->Application().Get(), 1, nullptr, nullptr), S_OK);

  BatchRunSeen first, again;
  RunWithUser(
      [&] {
        EXPECT_EQ(client->Click(u"NewBatchSMSMessage"), 1u);
        return INT_PTR{0};
      },
      [&](DialogUser& user) {
        HWND batch = user.WaitForDialog(L"Send batch SMS");
        ASSERT_NE(batch, nullptr);
        first = PlayBatchRun(user, batch, IDC_SEND_NOW);
        user.Click(batch, IDC_BATCH_HISTORY);
        HWND dialog = user.WaitForDialog(kTitle);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(user.Text(dialog, IDC_HISTORY_COUNT), L"2 entries");
        user.Type(dialog, IDC_HISTORY_SEARCH, L"0101");
        SelectOnly(GetDlgItem(dialog, IDC_HISTORY_LIST), 0);
        user.Click(dialog, IDC_HISTORY_REMOVE);
        HWND confirm = user.WaitForMessageBox(dialog, kTitle);
        ASSERT_NE(confirm, nullptr);
        EXPECT_EQ(user.MessageText(confirm).rfind(L"Remove 1 selected entry from the history?", 0), 0u);
        user.Click(confirm, IDYES);
        user.WaitUntilClosed(confirm);
        EXPECT_EQ(user.Text(dialog, IDC_HISTORY_COUNT), L"0 of 1 entry match");
        user.Click(dialog, IDCANCEL);
        EXPECT_TRUE(user.WaitUntilClosed(dialog));
        again = PlayBatchRun(user, batch, IDC_SEND_NOW);
        user.PressKey(VK_ESCAPE);
        EXPECT_TRUE(user.WaitUntilClosed(batch));
      });

  EXPECT_TRUE(first.questions.empty());
  ASSERT_EQ(again.questions.size(), 1u) << "only Bob's reminder is still in the history";
  EXPECT_NE(again.questions[0].find(L"to Bob on phone number"), std::wstring::npos);
  EXPECT_EQ(again.report,
            L"SMS delivery results:\n\nMessage for Ann Lee was sent successfully. Details: Message queued for "
            L"delivery\n");
  const auto requests = log.Requests();
  ASSERT_EQ(requests.size() - requestsBefore, 3u);
  EXPECT_EQ(requests.back().Param("to"), "64215550101");
}

}  // namespace
