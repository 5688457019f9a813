// Times "Sent messages" on a large history and prints the figures next to
// loading the history alone: building the rows (decoding every text), the
// real dialog from DoModal to its first paint, and each keystroke of a
// search typed into it (the filter and the list's repaint). Also prints
// "BENCH name=... value=..." lines for tools/bench_all.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/sent_history_dlg_win.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "resource_ids.h"
#include "ui/module_instance.h"

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

namespace {

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string Hex(const std::string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : text) hex += std::string("00") + kDigits[c >> 4] + kDigits[c & 0xF];
  return hex;
}

// Reminders in the Unicode alphabet (the costlier text to decode), to 500
// patients over a year of meetings.
void FillHistory(SettingsManager& store, unsigned entries) {
  for (unsigned i = 0; i < entries; ++i) {
    char start[32];
    std::snprintf(start, sizeof start, "%.6f", 40252.375 + i % 365);
    const std::string text = "Dear Patient" + std::to_string(i % 500) +
                             ", don't forget your dentist appointment at 09:05 on 02/03/2011. thanks the team";
    store.RecordSent("00000000812B1FA4BEA310199D6E00DD010F5402000001900000" + std::to_string(i) + "_+64 21 555 " +
                         std::to_string(1000 + i % 9000) + "_" + start,
                     Hex(text), 40252.0 + i / 1000.0);
  }
}

struct Figures {
  double start = 0;
  double open = 0;
  std::vector<double> keystrokes;
  std::size_t lastCount = 0;
};
Figures* figures = nullptr;

// Runs in the dialog's modal loop once it has painted: a timer comes after
// every paint in the queue.
void CALLBACK AfterOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  figures->open = Now() - figures->start;
  HWND dialog = FindWindowW(L"#32770", L"Sent messages");
  HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
  const std::wstring search = L"patient42, don't";
  for (std::size_t typed = 1; typed <= search.size(); ++typed) {
    const double from = Now();
    SetDlgItemTextW(dialog, IDC_HISTORY_SEARCH, search.substr(0, typed).c_str());
    UpdateWindow(list);
    figures->keystrokes.push_back(Now() - from);
  }
  figures->lastCount = static_cast<std::size_t>(ListView_GetItemCount(list));
  // Deleting back to nothing widens the search: the slow direction.
  for (std::size_t typed = search.size(); typed-- > 0;) {
    const double from = Now();
    SetDlgItemTextW(dialog, IDC_HISTORY_SEARCH, search.substr(0, typed).c_str());
    UpdateWindow(list);
    figures->keystrokes.push_back(Now() - from);
  }
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned entries = argc > 1 ? std::stoul(argv[1]) : 100000;
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  const std::wstring folder = std::wstring(base) + L"bench_history_view_" + std::to_wstring(GetCurrentProcessId());
  {
    SettingsManager writer(folder);
    FillHistory(writer, entries);
    if (writer.SaveHistory() != 0) {
      std::printf("save failed\n");
      return 1;
    }
  }
  SettingsManager store(folder);
  double from = Now();
  store.LoadHistory();
  const double load = Now() - from;

  ThreadCodePage codePage;
  SystemClock clock;
  from = Now();
  HistoryTable table(HistoryRows(store.History(), codePage));
  const double rows = Now() - from;
  std::vector<double> filters;
  const std::u16string typed = u"patient42, don't";
  for (std::size_t n = 1; n <= typed.size(); ++n) {
    from = Now();
    table.Filter(typed.substr(0, n));
    filters.push_back(Now() - from);
  }
  for (std::size_t n = typed.size(); n-- > 0;) {
    from = Now();
    table.Filter(typed.substr(0, n));
    filters.push_back(Now() - from);
  }

  Figures seen;
  figures = &seen;
  SetTimer(nullptr, 0, 1, AfterOpen);
  seen.start = Now();
  CSentHistory(store, codePage, clock).DoModal(nullptr);

  DeleteFileW(store.HistoryPath().c_str());
  DeleteFileW(store.SettingsPath().c_str());
  RemoveDirectoryW(folder.c_str());
  if (seen.keystrokes.empty() || table.TotalCount() != entries) {
    std::printf("the dialog did not open with every entry\n");
    return 1;
  }
  const double slowest = *std::max_element(seen.keystrokes.begin(), seen.keystrokes.end());
  std::printf("Sent messages with %u entries (Unicode texts)\n", entries);
  std::printf("  baseline, loading the history alone: %.4f s\n", load);
  std::printf("  rows and table (decode, fold, sort): %.4f s\n", rows);
  std::printf("  filter alone, %zu typed and deleted: median %.4f s, slowest %.4f s\n", filters.size(), Median(filters),
              *std::max_element(filters.begin(), filters.end()));
  std::printf("  dialog open to first paint (rows, table, list): %.4f s (target < 1 s)\n", seen.open);
  std::printf("  keystroke (filter + repaint), %zu typed and deleted: median %.4f s, slowest %.4f s (target <= 0.05 s);"
              " \"patient42, don't\" matches %zu\n",
              seen.keystrokes.size(), Median(seen.keystrokes), slowest, seen.lastCount);
  std::printf("  each keystroke (ms):");
  for (double k : seen.keystrokes) std::printf(" %.0f", k * 1000);
  std::printf("\n");
  std::printf("BENCH name=history_view/open/%u value=%.4f unit=s baseline=%.4f baseline_is=history-load "
              "target=value<1 source=bench\n",
              entries, seen.open, load);
  std::printf("BENCH name=history_view/keystroke/%u value=%.4f unit=s baseline=%.4f baseline_is=history-load "
              "target=value<=0.05 source=bench\n",
              entries, slowest, load);
  return 0;
}
