// "Send batch SMS" run for real under Wine: opened from the toolbar of the
// stand-in mail client, played by a scripted user, sending to the gateway
// simulator.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "addin/access/com_apartment.h"
#include "addin/button_commands_win.h"
#include "addin/quorval_addin_win.h"
#include "batch/send_batch_sms_win.h"
#include "dialog_user.h"
#include "gateway/simulator_log.h"
#include "resource_ids.h"
#include "standin/stand_in.h"
#include "store/settings_manager.h"
#include "support/batch_run_user.h"
#include "support/wait.h"

using Microsoft::WRL::ComPtr;

namespace {

const std::wstring kTitle = L"Send batch SMS";
constexpr char16_t kTemplate[] = u"Hi [[first name]], see you [[appt date]] at [[appt time]]";

// A week of meetings: two contacts at a check-up (with a typed guest), a
// Cyrillic name at a cleaning, an appointment without attendees and a
// meeting outside the week.
constexpr char kStore[] = R"({
  "contacts": [
    {"key": "ann", "fullName": "Ann Lee", "firstName": "Ann", "mobile": "+64 21 555 0101"},
    {"key": "bob", "fullName": "Bob Roe", "firstName": "Bob", "mobile": "021 555 0102"},
    {"key": "dora", "fullName": "\u0414\u043e\u0440\u0430 Ivanova", "firstName": "\u0414\u043e\u0440\u0430",
     "mobile": "+64 21 555 0104"}],
  "calendar": [
    {"subject": "Check-up", "start": "today+1 09:30",
     "recipients": [{"contact": "ann"}, {"contact": "bob"}, {"address": "guest@example.com", "name": "Guest"}]},
    {"subject": "Plain", "start": "today+2 10:00", "meetingStatus": "none"},
    {"subject": "Cleaning", "start": "today+3 14:00", "recipients": [{"contact": "dora"}]},
    {"subject": "Later", "start": "today+10 08:00", "recipients": [{"contact": "ann"}]}]
})";

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// The check box a preview row shows: 1 unchecked, 2 checked, 3 cannot be
// checked.
unsigned CheckBox(HWND list, int item) {
  return static_cast<unsigned>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK)) >>
         12;
}

// "HH:MM" of today+days at hour:minute local, in UTC, as the schedule
// suffix spells it.
std::string UtcSuffix(int days, int hour, int minute) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  now.wHour = 12;
  double date = 0;
  SystemTimeToVariantTime(&now, &date);
  date = static_cast<double>(static_cast<long>(date)) + days + (hour * 60 + minute) / 1440.0;
  SYSTEMTIME local, utc;
  VariantTimeToSystemTime(date, &local);
  TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "&yy=%04d&mm=%02d&dd=%02d&hour=%02d&min=%02d", utc.wYear, utc.wMonth, utc.wDay,
                utc.wHour, utc.wMinute);
  return text;
}

class BatchDialog : public testing::Test {
 protected:
  BatchDialog() : client_(standin::StandIn::FromJson(kStore)), store_(SettingsManager::Instance()) {}

  void SetUp() override {
    const char* port = std::getenv("GATEWAY_SIM_PORT");
    ASSERT_TRUE(port) << "run through with_simulator.sh";
    store_.SetString(u"GatewayHost", u"127.0.0.1:" + std::u16string(port, port + std::strlen(port)));
    store_.SetString(u"UserName", u"alice");
    store_.SetString(u"Password", u"s3cret");
    store_.SetString(u"SelectedTemplate", kTemplate);
    store_.SetString(u"TimeFrameUnitType", u"3");
    store_.SetString(u"TimeFrameUnitsCount", u"1");
    store_.SetString(u"ReminderUnitType", u"2");
    store_.SetString(u"ReminderUnitsCount", u"1");
    store_.SetString(u"ShowDeliveryResults", u"1");
    store_.SetString(u"Alphabet", u"0");
    DeleteFileW(store_.HistoryPath().c_str());
    store_.MutableHistory().Replace({});
    requestsBefore_ = log_.Requests().size();
  }

  // Connects the product's add-in to the stand-in, as the mail client does.
  void ConnectAddin() {
    ASSERT_EQ(CQuorvalOAddin::Create(nullptr, IID__IDTExtensibility2, &addin_, ProductCommands()), S_OK);
    ASSERT_EQ(addin_->OnConnection(client_->Application().Get(), 1, nullptr, nullptr), S_OK);
  }

  INT_PTR FromToolbar(const std::function<void(DialogUser&)>& script) {
    return RunWithUser(
        [&] {
          EXPECT_EQ(client_->Click(u"NewBatchSMSMessage"), 1u);
          return INT_PTR{0};
        },
        script);
  }

  std::vector<LoggedRequest> NewRequests() const {
    auto all = log_.Requests();
    return std::vector<LoggedRequest>(all.begin() + static_cast<long>(requestsBefore_), all.end());
  }

  ComApartment apartment_;
  std::unique_ptr<standin::StandIn> client_;
  SettingsManager& store_;
  SimulatorLog log_;
  size_t requestsBefore_ = 0;
  ComPtr<_IDTExtensibility2> addin_;
};

TEST_F(BatchDialog, SendNowFromTheToolbarRemindsEveryContactOnceAndAsksBeforeRepeating) {
  ConnectAddin();
  BatchRunSeen first, second;
  FromToolbar([&](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(user.Text(dialog, IDC_TEMPLATE_TEXT), Wide("Hi [[first name]], see you [[appt date]] at [[appt time]]"));
    EXPECT_EQ(user.Text(dialog, IDC_TIME_FRAME_UNIT), L"Weeks");
    EXPECT_EQ(user.Text(dialog, IDC_TIME_FRAME_COUNT), L"1");
    EXPECT_EQ(user.Text(dialog, IDC_LEAD_TIME_UNIT), L"Days");
    EXPECT_FALSE(user.IsChecked(dialog, IDC_SAVE_AS_DEFAULTS));
    user.Screenshot(L"batch_dialog");
    first = PlayBatchRun(user, dialog, IDC_SEND_NOW);
    second = PlayBatchRun(user, dialog, IDC_SEND_NOW, {IDNO, IDYES, IDNO});
    user.PressKey(VK_ESCAPE);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });

  EXPECT_TRUE(first.questions.empty());
  EXPECT_EQ(first.report,
            L"SMS delivery results:\n\n"
            L"Message for Ann Lee was sent successfully. Details: Message queued for delivery\n"
            L"Message for Bob Roe was sent successfully. Details: Message queued for delivery\n"
            L"Message for \u0414\u043e\u0440\u0430 Ivanova was sent successfully. Details: Message queued for "
            L"delivery\n");
  ASSERT_EQ(second.questions.size(), 3u);
  EXPECT_NE(second.questions[0].find(L"was already sent to Ann on phone number +64 21 555 0101.\n"
                                     L"Do you want to send it again?"),
            std::wstring::npos)
      << std::string(second.questions[0].begin(), second.questions[0].end());
  EXPECT_EQ(second.report,
            L"SMS delivery results:\n\n"
            L"Message for Bob Roe was sent successfully. Details: Message queued for delivery\n");

  const auto requests = NewRequests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].Param("to"), "64215550101");
  EXPECT_EQ(requests[1].Param("to"), "215550102");
  EXPECT_EQ(requests[2].Param("to"), "64215550104");
  EXPECT_EQ(requests[3].Param("to"), "215550102");
  EXPECT_EQ(requests[1].Param("message").rfind("Hi Bob, see you ", 0), 0u) << requests[1].Param("message");
  for (const auto& request : requests) {
    EXPECT_EQ(request.Param("yy"), "") << "sent for delivery at once";
    EXPECT_EQ(request.Param("user"), "alice");
  }
}

TEST_F(BatchDialog, AContactInTheOptOutCategoryIsNeverTextedAndTheReportSaysWhy) {
  std::string store = kStore;
  const std::string bob = R"("firstName": "Bob",)";
  store.replace(store.find(bob), bob.size(), bob + R"( "categories": "Family, no sms",)");
  client_ = standin::StandIn::FromJson(store);
  ConnectAddin();
  BatchRunSeen seen;
  FromToolbar([&](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    seen = PlayBatchRun(user, dialog, IDC_SEND_NOW, {IDYES});
    user.PressKey(VK_ESCAPE);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  EXPECT_TRUE(seen.questions.empty());
  EXPECT_NE(seen.report.find(L"Message for Bob Roe was not sent because Bob Roe does not want SMS (category "
                             L"\"No SMS\").\n"),
            std::wstring::npos)
      << std::string(seen.report.begin(), seen.report.end());
  const auto requests = NewRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Param("to"), "64215550101");
  EXPECT_EQ(requests[1].Param("to"), "64215550104");
}

TEST_F(BatchDialog, APreviewSendsOnlyTheRowsLeftCheckedAndAnOptedOutPatientCannotBeChecked) {
  std::string store = kStore;
  const std::string bob = R"("firstName": "Bob",)";
  store.replace(store.find(bob), bob.size(), bob + R"( "categories": "No SMS",)");
  client_ = standin::StandIn::FromJson(store);
  BatchRunSeen seen;
  RunWithUser([&] { return CSendBatchSMS(outlook::Dispatch(client_->Application()), store_).DoModal(nullptr); },
              [&](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kTitle);
                ASSERT_NE(dialog, nullptr);
                user.Click(dialog, IDC_BATCH_PREVIEW);
                HWND preview = user.WaitForDialog(L"Preview of the reminders");
                ASSERT_NE(preview, nullptr);
                HWND list = GetDlgItem(preview, IDC_PREVIEW_LIST);
                ASSERT_EQ(ListView_GetItemCount(list), 3);
                EXPECT_EQ(user.CellText(preview, IDC_PREVIEW_LIST, 1, 0), L"Bob Roe");
                EXPECT_EQ(user.CellText(preview, IDC_PREVIEW_LIST, 1, 1), L"021 555 0102");
                EXPECT_EQ(user.CellText(preview, IDC_PREVIEW_LIST, 1, 2), L"Check-up");
                EXPECT_EQ(user.CellText(preview, IDC_PREVIEW_LIST, 1, 5), L"opted out");
                EXPECT_EQ(user.CellText(preview, IDC_PREVIEW_LIST, 0, 5), L"new");
                EXPECT_EQ(user.CellText(preview, IDC_PREVIEW_LIST, 0, 6).rfind(L"Hi Ann, see you ", 0), 0u);
                EXPECT_EQ(user.Text(preview, IDC_PREVIEW_MODE), L"by the lead time, as \"Send\"");
                EXPECT_EQ(user.Text(preview, IDC_PREVIEW_TOTALS), L"3 messages (3 SMS parts), 2 checked (2 SMS parts)");
                EXPECT_EQ(CheckBox(list, 1), 3u);
                user.Select(preview, IDC_PREVIEW_LIST, L"Bob Roe");
                user.PressKey(VK_SPACE);
                EXPECT_EQ(CheckBox(list, 1), 3u) << "an opted-out patient cannot be checked";
                user.Select(preview, IDC_PREVIEW_LIST, L"Ann Lee");
                user.PressKey(VK_SPACE);
                EXPECT_EQ(CheckBox(list, 0), 1u);
                EXPECT_EQ(CheckBox(list, 2), 2u);
                for (unsigned expected : {1u, 2u}) {
                  RECT row{};
                  ListView_GetItemRect(list, 2, &row, LVIR_BOUNDS);
                  const LPARAM box = MAKELPARAM(row.left + 8, (row.top + row.bottom) / 2);
                  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, box);
                  PostMessageW(list, WM_LBUTTONUP, 0, box);
                  user.WaitUntilHandled(list);
                  EXPECT_EQ(CheckBox(list, 2), expected) << "a click on the box";
                }
                EXPECT_EQ(user.Text(preview, IDC_PREVIEW_TOTALS), L"3 messages (3 SMS parts), 1 checked (1 SMS part)");
                user.Select(preview, IDC_PREVIEW_MODE, L"now, as \"Send now\"");
                EXPECT_EQ(user.CellText(preview, IDC_PREVIEW_LIST, 0, 4), L"now");
                user.Screenshot(L"reminder_preview");
                EXPECT_TRUE(NewRequests().empty()) << "a preview sends nothing";
                user.Click(preview, IDC_PREVIEW_SEND);
                EXPECT_TRUE(user.WaitUntilClosed(preview));
                seen = PlayStartedBatchRun(user, dialog);
                user.PressKey(VK_ESCAPE);
              });
  EXPECT_TRUE(seen.questions.empty());
  EXPECT_EQ(seen.report,
            L"SMS delivery results:\n\n"
            L"Message for \u0414\u043e\u0440\u0430 Ivanova was sent successfully. Details: Message queued for "
            L"delivery\n"
            L"Message for Bob Roe was not sent because Bob Roe does not want SMS (category \"No SMS\").\n");
  const auto requests = NewRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Param("to"), "64215550104");
  EXPECT_EQ(requests[0].Param("yy"), "") << "sent now, as chosen in the preview";
  EXPECT_EQ(store_.MutableHistory().Entries().size(), 1u);
}

TEST_F(BatchDialog, TheHistoryOutlivesADialogClosedWithEscapeButTheDefaultsDoNot) {
  ConnectAddin();
  FromToolbar([&](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    user.Click(dialog, IDC_SAVE_AS_DEFAULTS);
    user.Select(dialog, IDC_LEAD_TIME_UNIT, L"Weeks");
    PlayBatchRun(user, dialog, IDC_SEND_NOW);
    user.PressKey(VK_ESCAPE);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  EXPECT_EQ(store_.GetString(u"ReminderUnitType"), u"2") << "Esc writes no defaults";
  store_.MutableHistory().Replace({});  // as a mail client started afresh

  BatchRunSeen again;
  FromToolbar([&](DialogUser& user) {
    HWND dialog = user.WaitForDialog(kTitle);
    ASSERT_NE(dialog, nullptr);
    again = PlayBatchRun(user, dialog, IDC_SEND_NOW);
    // "&Close" with the box ticked keeps the choices for next time.
    user.Click(dialog, IDC_SAVE_AS_DEFAULTS);
    user.Select(dialog, IDC_TIME_FRAME_UNIT, L"Tomorrow");
    EXPECT_FALSE(user.IsEnabled(dialog, IDC_TIME_FRAME_COUNT));
    user.Click(dialog, IDC_BATCH_CLOSE);
    EXPECT_TRUE(user.WaitUntilClosed(dialog));
  });
  EXPECT_EQ(again.questions.size(), 3u) << "the file held the first opening's reminders";
  EXPECT_EQ(store_.GetString(u"TimeFrameUnitType"), u"7");
  EXPECT_EQ(store_.GetString(u"SelectedTemplate"), kTemplate);
  EXPECT_EQ(NewRequests().size(), 3u);
}

TEST_F(BatchDialog, LeadTimeAndFixedDateRunsScheduleTheRemindersInUtc) {
  RunWithUser([&] { return CSendBatchSMS(outlook::Dispatch(client_->Application()), store_).DoModal(nullptr); },
              [&](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kTitle);
                ASSERT_NE(dialog, nullptr);
                user.Clear(dialog, IDC_LEAD_TIME_COUNT);
                user.Type(dialog, IDC_LEAD_TIME_COUNT, L"1");
                PlayBatchRun(user, dialog, IDC_SEND_BY_LEAD_TIME);
                SYSTEMTIME date{2027, 1, 5, 15, 0, 0, 0, 0}, time{2027, 1, 5, 15, 14, 20, 0, 0};
                SendMessageW(GetDlgItem(dialog, IDC_DELIVERY_DATE), DTM_SETSYSTEMTIME, GDT_VALID,
                             reinterpret_cast<LPARAM>(&date));
                SendMessageW(GetDlgItem(dialog, IDC_DELIVERY_TIME), DTM_SETSYSTEMTIME, GDT_VALID,
                             reinterpret_cast<LPARAM>(&time));
                const BatchRunSeen onDate = PlayBatchRun(user, dialog, IDC_SEND_ON_DATE, {IDYES, IDYES, IDYES});
                EXPECT_EQ(onDate.questions.size(), 3u) << "the delivery time is not part of a reminder's identity";
                user.PressKey(VK_ESCAPE);
              });
  const auto requests = NewRequests();
  ASSERT_EQ(requests.size(), 6u);
  const std::string leadAnn = UtcSuffix(0, 9, 30), leadDora = UtcSuffix(2, 14, 0);
  EXPECT_NE(requests[0].target.find(leadAnn), std::string::npos) << requests[0].target << " " << leadAnn;
  EXPECT_NE(requests[2].target.find(leadDora), std::string::npos) << requests[2].target << " " << leadDora;
  // 15 January 2027 14:20 in Auckland (summer, 13 hours ahead) is 01:20 UTC.
  for (size_t i = 3; i < 6; ++i) {
    EXPECT_NE(requests[i].target.find("&yy=2027&mm=01&dd=15&hour=01&min=20"), std::string::npos)
        << requests[i].target;
  }
}

TEST_F(BatchDialog, SendButtonsFollowTheTemplateAndAnEmptyFrameSaysSo) {
  store_.SetString(u"SelectedTemplate", u"");
  store_.SetString(u"SavedTemplatesCount", u"0");
  RunWithUser([&] { return CSendBatchSMS(outlook::Dispatch(client_->Application()), store_).DoModal(nullptr); },
              [&](DialogUser& user) {
                HWND dialog = user.WaitForDialog(kTitle);
                ASSERT_NE(dialog, nullptr);
                for (int id : {IDC_SEND_NOW, IDC_SEND_BY_LEAD_TIME, IDC_SEND_ON_DATE}) {
                  EXPECT_FALSE(user.IsEnabled(dialog, id));
                }
                user.Select(dialog, IDC_TIME_FRAME_UNIT, L"Today");
                EXPECT_FALSE(user.IsEnabled(dialog, IDC_TIME_FRAME_COUNT));
                user.Select(dialog, IDC_TIME_FRAME_UNIT, L"Days");
                EXPECT_TRUE(user.IsEnabled(dialog, IDC_TIME_FRAME_COUNT));
                // The template manager's OK hands its text over.
                user.Click(dialog, IDC_CHOOSE_TEMPLATE);
                HWND manager = user.WaitForDialog(L"Message templates");
                ASSERT_NE(manager, nullptr);
                user.Click(manager, IDOK);
                EXPECT_TRUE(user.WaitUntilClosed(manager));
                EXPECT_NE(user.Text(dialog, IDC_TEMPLATE_TEXT), L"");
                EXPECT_TRUE(user.IsEnabled(dialog, IDC_SEND_NOW));
                // Nothing starts in the next 0 days but meetings starting this instant.
                user.Clear(dialog, IDC_TIME_FRAME_COUNT);
                user.Type(dialog, IDC_TIME_FRAME_COUNT, L"0");
                const BatchRunSeen empty = PlayBatchRun(user, dialog, IDC_SEND_NOW);
                EXPECT_EQ(empty.report, L"There are no meetings in specified timeframe.");
                user.PressKey(VK_ESCAPE);
              });
  EXPECT_TRUE(NewRequests().empty());
}

TEST_F(BatchDialog, ADialogThatSendsStaysResponsiveShowsProgressAndIgnoresClicks) {
  // The gateway simulator stalls for this number (sim_faults.txt).
  client_ = standin::StandIn::FromJson(R"({
    "contacts": [{"key": "s", "fullName": "Stan Still", "firstName": "Stan", "mobile": "6401100"}],
    "calendar": [{"subject": "A", "start": "today+1 09:00", "recipients": [{"contact": "s"}]},
                 {"subject": "B", "start": "today+1 10:00", "recipients": [{"contact": "s"}]}]})");
  BatchRunSeen seen;
  RunWithUser(
      [&] { return CSendBatchSMS(outlook::Dispatch(client_->Application()), store_, 3000).DoModal(nullptr); },
      [&](DialogUser& user) {
        HWND dialog = user.WaitForDialog(kTitle);
        ASSERT_NE(dialog, nullptr);
        user.Click(dialog, IDC_SEND_NOW);
        EXPECT_TRUE(WaitUntil([&] { return !NewRequests().empty(); })) << "the stalled exchange reached the gateway";
        wchar_t caption[300] = {};
        DWORD_PTR ignored = 0;
        EXPECT_NE(SendMessageTimeoutW(dialog, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(caption), SMTO_ABORTIFHUNG,
                                      1000, &ignored),
                  0);
        EXPECT_EQ(std::wstring(caption), L"Send batch SMS - Please wait to send SMS list... (1 of 2)");
        user.Screenshot(L"batch_dialog_sending");
        user.Click(dialog, IDC_SEND_NOW);  // a second press while the first run sends
        user.Click(dialog, IDC_BATCH_CLOSE);
        HWND box = user.WaitForMessageBox(dialog, kTitle);
        ASSERT_NE(box, nullptr);
        seen.report = user.MessageText(box);
        user.Click(box, IDOK);
        user.WaitUntilClosed(box);
        EXPECT_TRUE(IsWindow(dialog)) << "the close pressed during the run was not acted on";
        user.PressKey(VK_ESCAPE);
      });
  EXPECT_NE(seen.report.find(L"did not answer in time"), std::wstring::npos);
  EXPECT_NE(seen.report.find(L"The run was stopped because the SMS gateway did not answer in time."),
            std::wstring::npos);
  EXPECT_EQ(NewRequests().size(), 1u) << "one run, one exchange";
}

}  // namespace
