#include "batch/sent_history_dlg_win.h"

#include <commctrl.h>
#include <oleauto.h>

#include <set>

#include "batch/local_date_win.h"
#include "platform/prompt_win.h"
#include "resource_ids.h"
#include "store/history_csv.h"
#include "ui/list_columns_win.h"

namespace {

std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

const wchar_t* Heading(HistoryColumn column) {
  switch (column) {
    case HistoryColumn::When: return L"Sent or scheduled";
    case HistoryColumn::Name: return L"Name";
    case HistoryColumn::Number: return L"Number";
    case HistoryColumn::MeetingStart: return L"Meeting start";
    case HistoryColumn::Text: return L"Text";
    case HistoryColumn::Outcome: return L"Outcome";
  }
  return L"";
}

int Width(HistoryColumn column) {
  switch (column) {
    case HistoryColumn::Text: return 260;
    case HistoryColumn::Number: return 110;
    case HistoryColumn::Outcome: return 75;
    default: return 130;
  }
}

std::wstring Code(HResult status) {
  wchar_t code[16];
  swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(status));
  return code;
}

std::wstring Count(std::size_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

CSentHistory::CSentHistory(SettingsManager& store, const CodePage& codePage, const Clock& clock,
                           ChooseSavePath chooseSavePath)
    : ModalDialog(IDD_SENT_HISTORY),
      store_(store),
      codePage_(codePage),
      clock_(clock),
      chooseSavePath_(std::move(chooseSavePath)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
}

CSentHistory::~CSentHistory() = default;

HWND CSentHistory::List() const { return GetDlgItem(Window(), IDC_HISTORY_LIST); }

bool CSentHistory::OnInitDialog() {
  wchar_t caption[256] = {};
  GetWindowTextW(Window(), caption, 256);
  title_ = ToU16(caption);
  ListView_SetExtendedListViewStyle(List(), LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  Reload();
  AddColumns();
  ShowRows();
  FillTextColumn();
  const unsigned all = AnchoredLayout::kLeft | AnchoredLayout::kTop | AnchoredLayout::kRight | AnchoredLayout::kBottom;
  const unsigned bottomLeft = AnchoredLayout::kLeft | AnchoredLayout::kBottom;
  const unsigned bottomRight = AnchoredLayout::kRight | AnchoredLayout::kBottom;
  layout_.Capture(Window(), {{IDC_HISTORY_COUNT, AnchoredLayout::kLeft | AnchoredLayout::kRight},
                             {IDC_HISTORY_LIST, all},
                             {IDC_HISTORY_REMOVE, bottomLeft},
                             {IDC_HISTORY_REMOVE_BEFORE, bottomLeft},
                             {IDC_HISTORY_BEFORE_DATE, bottomLeft},
                             {IDC_HISTORY_EXPORT, bottomRight},
                             {IDCANCEL, bottomRight}});
  hook_.Attach(Window(), [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (layout_.OnMessage(message, lParam, result)) return true;
    switch (message) {
      case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
      case WM_SIZE:
        FillTextColumn();
        return false;
      default:
        return false;
    }
  });
  SetFocus(GetDlgItem(Window(), IDC_HISTORY_SEARCH));
  return false;
}

void CSentHistory::AddColumns() {
  // Names are shown only where an entry's recipient resolved to one.
  bool named = false;
  for (std::size_t i = 0; i < table_->TotalCount() && !named; ++i) named = !table_->At(i).name.empty();
  columns_ = {HistoryColumn::When, HistoryColumn::Number, HistoryColumn::MeetingStart, HistoryColumn::Text,
              HistoryColumn::Outcome};
  if (named) columns_.insert(columns_.begin() + 1, HistoryColumn::Name);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(Heading(columns_[i]));
    column.cx = Width(columns_[i]);
    column.iSubItem = static_cast<int>(i);
    ListView_InsertColumn(List(), static_cast<int>(i), &column);
  }
}

// The text is the longest cell: it gets the width the other columns leave.
void CSentHistory::FillTextColumn() {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i] == HistoryColumn::Text) FillColumn(List(), static_cast<int>(i), Width(HistoryColumn::Text));
  }
}

void CSentHistory::Reload() {
  // Rows come from the history in memory, which the batch dialog loaded
  // from the file when it opened.
  table_ = std::make_unique<HistoryTable>(HistoryRows(store_.History(), codePage_));
  table_->SortBy(sortColumn_, ascending_);
  table_->Filter(ItemText(IDC_HISTORY_SEARCH));
}

void CSentHistory::ShowRows() {
  HWND list = List();
  // The rows under the old selection are other rows now. Only when there is
  // one: clearing every item's state costs a pass over all of them.
  if (ListView_GetSelectedCount(list) > 0) ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  ListView_SetItemCountEx(list, static_cast<int>(table_->Count()), 0);
  InvalidateRect(list, nullptr, FALSE);
  const std::size_t shown = table_->Count(), total = table_->TotalCount();
  std::wstring count = Count(total, L"entry", L"entries");
  if (shown != total) count = std::to_wstring(shown) + L" of " + count + L" match";
  SetDlgItemTextW(Window(), IDC_HISTORY_COUNT, count.c_str());
}

bool CSentHistory::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_HISTORY_LIST) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      FillItem(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      result = 0;
      return true;
    case LVN_COLUMNCLICK:
      SortByColumn(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      result = 0;
      return true;
    default:
      return false;
  }
}

void CSentHistory::FillItem(NMLVDISPINFOW& info) {
  if (!(info.item.mask & LVIF_TEXT) || info.item.iItem < 0 ||
      static_cast<std::size_t>(info.item.iItem) >= table_->Count() || info.item.iSubItem < 0 ||
      static_cast<std::size_t>(info.item.iSubItem) >= columns_.size()) {
    return;
  }
  const HistoryRow& row = table_->At(static_cast<std::size_t>(info.item.iItem));
  switch (columns_[static_cast<std::size_t>(info.item.iSubItem)]) {
    case HistoryColumn::When: cell_ = LocalDate(row.when); break;
    case HistoryColumn::Name: cell_.assign(row.name.begin(), row.name.end()); break;
    case HistoryColumn::Number: cell_.assign(row.number.begin(), row.number.end()); break;
    case HistoryColumn::MeetingStart: cell_ = LocalDate(row.meetingStart); break;
    case HistoryColumn::Text:
      cell_.assign(row.text.begin(), row.text.end());
      // One line per row: a line break would show as a box.
      for (wchar_t& c : cell_) {
        if (c == L'\r' || c == L'\n') c = L' ';
      }
      break;
    case HistoryColumn::Outcome: cell_ = row.uncertain ? L"uncertain" : L"accepted"; break;
  }
  info.item.pszText = cell_.data();
}

void CSentHistory::SortByColumn(int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= columns_.size()) return;
  const HistoryColumn chosen = columns_[static_cast<std::size_t>(column)];
  // A second click on the same column turns the order round; dates start
  // with the newest, text with A.
  ascending_ = chosen == sortColumn_ ? !ascending_
                                     : !(chosen == HistoryColumn::When || chosen == HistoryColumn::MeetingStart);
  sortColumn_ = chosen;
  table_->SortBy(sortColumn_, ascending_);
  ShowRows();
}

bool CSentHistory::OnCommand(int id, int notification) {
  switch (id) {
    case IDC_HISTORY_SEARCH:
      if (notification != EN_CHANGE) return false;
      table_->Filter(ItemText(IDC_HISTORY_SEARCH));
      ShowRows();
      return true;
    case IDC_HISTORY_REMOVE:
      RemoveSelected();
      return true;
    case IDC_HISTORY_REMOVE_BEFORE:
      RemoveBeforeDate();
      return true;
    case IDC_HISTORY_EXPORT:
      Export();
      return true;
    case IDOK:
      // Enter in the search box is not a wish to close the list.
      return true;
    case IDCANCEL:
      Close(id);
      return true;
    default:
      return false;
  }
}

void CSentHistory::RemoveSelected() {
  std::set<std::string> keys;
  for (int item = ListView_GetNextItem(List(), -1, LVNI_SELECTED); item >= 0;
       item = ListView_GetNextItem(List(), item, LVNI_SELECTED)) {
    keys.insert(table_->At(static_cast<std::size_t>(item)).entryKey);
  }
  MessageBoxPrompt prompt(Window());
  if (keys.empty()) {
    prompt.Show(u"Select the entries to remove first.", title_);
    return;
  }
  const std::wstring question = L"Remove " + Count(keys.size(), L"selected entry", L"selected entries") +
                                L" from the history?\nTheir reminders can then be sent again without a question.";
  if (!prompt.AskYesNo(ToU16(question), title_)) return;
  Remove([&keys](const std::string& key) { return keys.count(key) != 0; });
}

void CSentHistory::RemoveBeforeDate() {
  SYSTEMTIME picked{};
  if (DateTime_GetSystemtime(GetDlgItem(Window(), IDC_HISTORY_BEFORE_DATE), &picked) != GDT_VALID) return;
  picked.wHour = picked.wMinute = picked.wSecond = picked.wMilliseconds = 0;
  double before = 0;
  SystemTimeToVariantTime(&picked, &before);
  const EntryFilter older = [before](const std::string& key) {
    const auto parts = SplitEntryKey(key);
    return parts && parts->meetingStart < before;
  };
  std::size_t count = 0;
  for (const auto* entries : {&store_.History().Entries(), &store_.History().UncertainEntries()}) {
    for (const auto& entry : *entries) count += older(entry.first) ? 1 : 0;
  }
  MessageBoxPrompt prompt(Window());
  const std::wstring date = LocalDate(before, true);
  if (count == 0) {
    prompt.Show(ToU16(L"No entry is for a meeting before " + date + L"."), title_);
    return;
  }
  const std::wstring question = L"Remove " + Count(count, L"entry", L"entries") + L" for meetings before " + date +
                                L" from the history?";
  if (!prompt.AskYesNo(ToU16(question), title_)) return;
  Remove(older);
}

void CSentHistory::Remove(const EntryFilter& removed) {
  const HResult status = store_.RemoveFromHistory(removed);
  if (status != kStatusOk) {
    MessageBoxPrompt(Window()).Show(ToU16(L"The history could not be saved to \"" + store_.HistoryPath() +
                                          L"\" (error " + Code(status) + L"). Nothing was removed."),
                                    title_);
  }
  Reload();
  ShowRows();
}

void CSentHistory::Export() {
  const std::optional<std::wstring> path = chooseSavePath_(Window(), L"Sent messages.csv");
  if (!path) return;
  std::vector<const HistoryRow*> rows;
  rows.reserve(table_->Count());
  for (std::size_t i = 0; i < table_->Count(); ++i) rows.push_back(&table_->At(i));
  const HResult status = WriteFileWhole(*path, HistoryCsv(rows, clock_));
  if (status == kStatusOk) return;
  wchar_t reason[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(status), 0,
                 reason, 512, nullptr);
  MessageBoxPrompt(Window()).Show(ToU16(L"The history could not be exported to \"" + *path + L"\" (error " +
                                        Code(status) + L"): " + reason + L"Nothing was saved under that name."),
                                  title_);
}
