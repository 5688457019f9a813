// The batch dialogs at the sizes a busy practice meets: a preview of some
// 2,000 reminders, a history of thousands of entries and the batch dialog
// over a large calendar. Each must list everything, fit the smallest screen
// we support and keep its controls in place when the user enlarges it. The
// time from opening to the first idle moment is printed; screenshots go to
// DIALOG_SCREENSHOTS for a person to look at.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "addin/access/automation_mail_client.h"
#include "batch/reminder_preview_win.h"
#include "batch/reminder_run.h"
#include "batch/send_batch_sms_win.h"
#include "batch/sent_history_dlg_win.h"
#include "dialog_user.h"
#include "generator/store_generator.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "platform/status.h"
#include "resource_ids.h"
#include "standin/stand_in.h"
#include "store/settings_manager.h"
#include "support/fixed_clock.h"
#include "support/latin1_code_page.h"
#include "support/memory_settings.h"

namespace {

// The smallest screen a practice's desk still has.
constexpr int kSmallestScreenWidth = 1024, kSmallestScreenHeight = 768;

class AnswerYes : public Prompt {
 public:
  bool AskYesNo(const std::u16string&, const std::u16string&) override { return true; }
  void Show(const std::u16string&, const std::u16string&) override {}
};

using Stopwatch = std::chrono::steady_clock;

void PrintOpened(const char* what, Stopwatch::time_point started) {
  const double seconds = std::chrono::duration<double>(Stopwatch::now() - started).count();
  std::printf("  %s opened in %.3f s\n", what, seconds);
}

// The screen once the dialog's thread has painted what it was asked to.
void Shoot(const DialogUser& user, HWND dialog, const std::wstring& name) {
  user.WaitUntilHandled(dialog);
  Sleep(500);
  user.Screenshot(name);
}

// Fits the work area and the smallest screen, and keeps `cornerControl`
// (anchored to the bottom right) at its distance from that corner when the
// user makes the window larger.
void ExpectFitsAndKeepsItsLayout(const DialogUser& user, HWND dialog, int cornerControl, const std::wstring& shot) {
  RECT window{}, work{};
  GetWindowRect(dialog, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  work = monitor.rcWork;
  EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.right <= work.right &&
              window.bottom <= work.bottom)
      << "the window (" << window.left << "," << window.top << ")-(" << window.right << "," << window.bottom
      << ") is not inside the work area";
  EXPECT_LE(window.right - window.left, kSmallestScreenWidth);
  EXPECT_LE(window.bottom - window.top, kSmallestScreenHeight - 40) << "room for a taskbar";

  HWND corner = GetDlgItem(dialog, cornerControl);
  ASSERT_NE(corner, nullptr);
  auto fromCorner = [&] {
    RECT client{}, control{};
    GetClientRect(dialog, &client);
    GetWindowRect(corner, &control);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&control), 2);
    return std::make_pair(client.right - control.right, client.bottom - control.bottom);
  };
  const auto before = fromCorner();
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 150, window.bottom - window.top + 120,
               SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(fromCorner(), before) << "the control stays at the bottom right corner";
  Shoot(user, dialog, shot + L"-enlarged");
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER);
}

bool HasVerticalScrollBar(HWND list) { return (GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) != 0; }

// The cells of the first rows fit their columns, all but the message text,
// which may end in an ellipsis, and the list shows every column without a
// horizontal scroll bar. `checkBoxes` when the first column has them.
void ExpectColumnsReadable(HWND list, int textColumn, bool checkBoxes) {
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  ASSERT_GT(columns, 0);
  const int rows = std::min(ListView_GetItemCount(list), 50);
  int total = 0;
  for (int column = 0; column < columns; ++column) {
    const int width = ListView_GetColumnWidth(list, column);
    total += width;
    if (column == textColumn) continue;
    // The list's margins around a cell's text, and the check box before
    // the first column's.
    const int margins = 12 + (column == 0 && checkBoxes ? GetSystemMetrics(SM_CXSMICON) + 4 : 0);
    for (int row = 0; row < rows; ++row) {
      wchar_t cell[256] = {};
      ListView_GetItemText(list, row, column, cell, 256);
      EXPECT_LE(ListView_GetStringWidth(list, cell) + margins, width)
          << "row " << row << ", column " << column << " (" << width << " px) is cut off: " << std::string(cell, cell + wcslen(cell));
    }
  }
  RECT client{};
  GetClientRect(list, &client);
  EXPECT_LE(total, client.right) << "the columns are wider than the list";
}

std::string Generated(int contacts, int meetings) {
  standin::GeneratedStoreShape shape;
  shape.contacts = contacts;
  shape.meetings = meetings;
  shape.attendees = 5;
  return standin::GenerateStore(shape);
}

TEST(LargeDialogs, APreviewOfTwoThousandRemindersListsThemAllOnAScreen) {
  auto client = standin::StandIn::FromJson(Generated(3000, 285), "generated store");
  auto mail = outlook::MakeMailClient(outlook::Dispatch(client->Application()));
  MemorySettings settings;
  settings.SetString(u"GatewayHost", u"gw.example.net");
  SentHistory history;
  AnswerYes yes;
  Latin1CodePage codePage;
  FixedClock clock(SystemClock().NowLocal());
  ReminderRequest request;
  request.frameUnit = Unit::Days;
  request.frameCount = 30;
  request.mode = SendMode::ByLeadTime(Unit::Hours, 2);
  request.templateText = u"Hi [[first name]], your appointment is on [[appt date]] at [[appt time]].";
  std::optional<ReminderPlan> plan =
      ReminderRun({*mail, settings, history, yes, codePage, clock}, u"Send batch SMS").Plan(request);
  ASSERT_TRUE(plan.has_value());
  const int rows = static_cast<int>(plan->messages.size());
  ASSERT_GE(rows, 2000);

  CReminderPreview preview(*plan, {{L"by the lead time", plan->mode}}, 0, SendingOptions::Read(settings));
  const auto started = Stopwatch::now();
  RunWithUser([&] { return preview.DoModal(nullptr); },
              [&](DialogUser& user) {
                HWND dialog = user.WaitForDialog(L"Preview of the reminders");
                ASSERT_NE(dialog, nullptr);
                user.WaitUntilHandled(dialog);
                PrintOpened("the preview of 2,000 reminders", started);
                HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
                EXPECT_EQ(ListView_GetItemCount(list), rows);
                EXPECT_TRUE(HasVerticalScrollBar(list));
                ExpectColumnsReadable(list, 6, true);
                EXPECT_NE(user.Text(dialog, IDC_PREVIEW_TOTALS).find(std::to_wstring(rows)), std::wstring::npos)
                    << "the totals count every row";
                Shoot(user, dialog, L"large-preview");
                ExpectFitsAndKeepsItsLayout(user, dialog, IDC_PREVIEW_SEND, L"large-preview");
                user.Click(dialog, IDCANCEL);
              });
}

TEST(LargeDialogs, AHistoryOfThousandsOfEntriesListsThemAll) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"large_history";
  CreateDirectoryW(folder.c_str(), nullptr);
  SettingsManager store(folder);
  DeleteFileW(store.HistoryPath().c_str());
  store.MutableHistory().Replace({});
  constexpr int kEntries = 5000;
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    store.RecordSent("E" + n + "_+64 21 555 " + std::to_string(1000 + i % 9000) + "_46000.375000",
                     "Hi Patient " + n + ", your appointment is on Monday at 9:30.", 45990.0 + i / 500.0);
  }
  ASSERT_EQ(store.SaveHistory(), kStatusOk);

  ThreadCodePage codePage;
  SystemClock clock;
  CSentHistory dialogObject(store, codePage, clock);
  const auto started = Stopwatch::now();
  RunWithUser([&] { return dialogObject.DoModal(nullptr); },
              [&](DialogUser& user) {
                HWND dialog = user.WaitForDialog(L"Sent messages");
                ASSERT_NE(dialog, nullptr);
                user.WaitUntilHandled(dialog);
                PrintOpened("\"Sent messages\" with 5,000 entries", started);
                HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
                EXPECT_EQ(ListView_GetItemCount(list), kEntries);
                EXPECT_TRUE(HasVerticalScrollBar(list));
                ExpectColumnsReadable(list, 3, false);
                EXPECT_NE(user.Text(dialog, IDC_HISTORY_COUNT).find(L"5000"), std::wstring::npos)
                    << "the count line says how many";
                Shoot(user, dialog, L"large-history");
                ExpectFitsAndKeepsItsLayout(user, dialog, IDCANCEL, L"large-history");
                user.Click(dialog, IDCANCEL);
              });
  DeleteFileW(store.HistoryPath().c_str());
}

TEST(LargeDialogs, TheBatchDialogOverALargeCalendarFitsAScreen) {
  auto client = standin::StandIn::FromJson(Generated(10000, 3000), "generated store");
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"large_batch";
  CreateDirectoryW(folder.c_str(), nullptr);
  SettingsManager store(folder);
  store.SetString(u"TimeFrameUnitType", u"3");
  store.SetString(u"TimeFrameUnitsCount", u"4");
  store.SetString(u"SelectedTemplate", u"Hi [[first name]], your appointment is on [[appt date]] at [[appt time]].");
  CSendBatchSMS batch(outlook::Dispatch(client->Application()), store);
  const auto started = Stopwatch::now();
  RunWithUser([&] { return batch.DoModal(nullptr); },
              [&](DialogUser& user) {
                HWND dialog = user.WaitForDialog(L"Send batch SMS");
                ASSERT_NE(dialog, nullptr);
                user.WaitUntilHandled(dialog);
                PrintOpened("the batch dialog over 3,000 meetings", started);
                EXPECT_EQ(user.Text(dialog, IDC_TIME_FRAME_COUNT), L"4");
                RECT window{};
                GetWindowRect(dialog, &window);
                EXPECT_LE(window.right - window.left, kSmallestScreenWidth);
                EXPECT_LE(window.bottom - window.top, kSmallestScreenHeight - 40);
                Shoot(user, dialog, L"large-batch");

                // "Preview..." plans the whole frame; each series is asked
                // about once.
                const auto pressed = Stopwatch::now();
                user.Click(dialog, IDC_BATCH_PREVIEW);
                int questions = 0;
                HWND preview = nullptr;
                while (!preview && Stopwatch::now() - pressed < std::chrono::seconds(120)) {
                  if (HWND box = user.FindMessageBox(dialog, L"Send batch SMS")) {
                    if (questions++ == 0) Shoot(user, box, L"large-batch-series-question");
                    user.Click(box, IDNO);
                    user.WaitUntilClosed(box);
                  }
                  HWND found = FindWindowW(L"#32770", L"Preview of the reminders");
                  if (found && IsWindowVisible(found)) preview = found;
                  Sleep(20);
                }
                ASSERT_NE(preview, nullptr);
                user.WaitUntilHandled(preview);
                PrintOpened("the preview of the 3,000-meeting frame", pressed);
                const int rows = ListView_GetItemCount(GetDlgItem(preview, IDC_PREVIEW_LIST));
                std::printf("  %d series questions, %d rows\n", questions, rows);
                EXPECT_GT(rows, 3000);
                Shoot(user, preview, L"large-batch-preview");
                user.Click(preview, IDCANCEL);
                ASSERT_TRUE(user.WaitUntilClosed(preview));
                user.Click(dialog, IDC_BATCH_CLOSE);
              });
}

}  // namespace
