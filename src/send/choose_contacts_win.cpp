#include "send/choose_contacts_win.h"

#include <commctrl.h>

#include "ui/module_instance.h"
#include "resource_ids.h"
#include "send/recipient_tokens.h"

namespace {

constexpr int kColumnWidth = 240;

std::wstring LoadText(UINT id) {
  const wchar_t* text = nullptr;
  int length = LoadStringW(ModuleInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

LPWSTR Wide(const std::u16string& text) {
  return const_cast<LPWSTR>(reinterpret_cast<const wchar_t*>(text.c_str()));
}

}  // namespace

ChooseContacts::ChooseContacts(std::u16string recipients, ContactDirectory::Entries entries)
    : ModalDialog(IDD_CHOOSE_CONTACTS), result_(std::move(recipients)), entries_(std::move(entries)) {}

INT_PTR ChooseContacts::Run(HWND owner) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  return DoModal(owner);
}

bool ChooseContacts::OnInitDialog() {
  SetItemText(IDC_CHOSEN_RECIPIENTS, result_);
  table_ = GetDlgItem(Window(), IDC_CONTACT_LIST);
  hook_.Attach(Window(), [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    auto* notice = reinterpret_cast<const NMHDR*>(lParam);
    if (notice->idFrom != IDC_CONTACT_LIST || notice->code != NM_DBLCLK) return false;
    AppendSelected();
    result = 0;
    return true;
  });
  ListView_SetExtendedListViewStyleEx(table_, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  int column = 0;
  for (UINT heading : {IDS_CONTACT_NAME, IDS_PHONE_NUMBER}) {
    std::wstring text = LoadText(heading);
    LVCOLUMNW info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = LVCFMT_LEFT;
    info.cx = kColumnWidth;
    info.pszText = text.data();
    info.iSubItem = column;
    ListView_InsertColumn(table_, column, &info);
    ++column;
  }
  FillTable();
  return true;
}

void ChooseContacts::FillTable() {
  int row = 0;
  rowKeys_.clear();
  for (const auto& [key, entry] : entries_) {
    rowKeys_.push_back(key);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = Wide(key);
    item.lParam = static_cast<LPARAM>(rowKeys_.size() - 1);
    ListView_InsertItem(table_, &item);
    // The key stands in for a name the client did not give.
    if (entry.fullName) ListView_SetItemText(table_, row, 0, Wide(*entry.fullName));
    ListView_SetItemText(table_, row, 1, Wide(entry.mobile));
    ++row;
  }
  if (row > 0) ListView_SetItemState(table_, 0, LVIS_SELECTED, LVIS_SELECTED);
}

void ChooseContacts::AppendSelected() {
  int row = ListView_GetNextItem(table_, -1, LVNI_SELECTED);
  if (row < 0) return;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(table_, &item) || static_cast<std::size_t>(item.lParam) >= rowKeys_.size()) return;
  // What the user typed into the field since is kept.
  result_ = ItemText(IDC_CHOSEN_RECIPIENTS);
  // A field that ends with the separator (as after a taken suggestion)
  // gets none more: an empty recipient between two would be reported.
  const std::u16string separator = kRecipientSeparator;
  const bool endsWithSeparator = result_.size() >= separator.size() &&
                                 result_.compare(result_.size() - separator.size(), separator.size(), separator) == 0;
  if (!result_.empty() && !endsWithSeparator) result_ += separator;
  // The row's key, not its cells: for a contact without a name the name
  // cell already holds the whole key.
  result_ += rowKeys_[static_cast<std::size_t>(item.lParam)];
  SetItemText(IDC_CHOSEN_RECIPIENTS, result_);
}

bool ChooseContacts::OnCommand(int id, int notification) {
  if (notification != BN_CLICKED) return false;
  switch (id) {
    case IDC_ADD_RECIPIENT:
      AppendSelected();
      return true;
    case IDOK:
      result_ = ItemText(IDC_CHOSEN_RECIPIENTS);
      Close(IDOK);
      return true;
    case IDCANCEL:
      Close(IDCANCEL);
      return true;
    default:
      return false;
  }
}
