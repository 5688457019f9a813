#include "batch/reminder_preview_win.h"

#include "batch/local_date_win.h"
#include "resource_ids.h"
#include "send/message_counter.h"
#include "ui/list_columns_win.h"

namespace {

// State images, one-based as the list counts them.
enum CheckImage : unsigned { kUnchecked = 1, kChecked = 2, kUnavailable = 3 };

struct Column {
  const wchar_t* heading;
  int width;
};
// Widths in dialog units, so that they grow with the dialog's font. Name
// leaves room for the check box; Text, last, takes what the others leave
// (FillColumn), so its width here is its least. Together they fit the
// list as the template lays it out.
constexpr Column kColumns[] = {{L"Name", 90},  {L"Number", 70},  {L"Meeting", 54}, {L"Start", 76},
                               {L"Delivery", 76}, {L"Status", 100}, {L"Text", 86}};
constexpr int kTextColumn = static_cast<int>(sizeof kColumns / sizeof kColumns[0]) - 1;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Count(std::size_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

CReminderPreview::CReminderPreview(ReminderPlan& plan, std::vector<std::pair<std::wstring, SendMode>> modes,
                                   std::size_t initial, const SendingOptions& options)
    : ModalDialog(IDD_REMINDER_PREVIEW),
      plan_(plan),
      modes_(std::move(modes)),
      initial_(initial),
      options_(options) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  checked_.reserve(plan_.messages.size());
  for (const PlannedMessage& message : plan_.messages) {
    checked_.push_back(message.status == PlannedMessage::Status::kNew);
  }
}

CReminderPreview::~CReminderPreview() {
  if (checkImages_) ImageList_Destroy(checkImages_);
}

HWND CReminderPreview::List() const { return GetDlgItem(Window(), IDC_PREVIEW_LIST); }

std::vector<std::size_t> CReminderPreview::Chosen() const {
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < checked_.size(); ++i) {
    if (checked_[i]) chosen.push_back(i);
  }
  return chosen;
}

bool CReminderPreview::OnInitDialog() {
  HWND modes = GetDlgItem(Window(), IDC_PREVIEW_MODE);
  for (const auto& mode : modes_) SendMessageW(modes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode.first.c_str()));
  SendMessageW(modes, CB_SETCURSEL, static_cast<WPARAM>(initial_), 0);
  if (initial_ < modes_.size()) plan_.mode = modes_[initial_].second;

  HWND list = List();
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  MakeCheckImages();
  ListView_SetCallbackMask(list, LVIS_STATEIMAGEMASK);
  AddColumns();
  ListView_SetItemCountEx(list, static_cast<int>(plan_.messages.size()), 0);
  FillColumn(list, kTextColumn, textColumnLeast_);
  ShowTotals();

  const unsigned all = AnchoredLayout::kLeft | AnchoredLayout::kTop | AnchoredLayout::kRight | AnchoredLayout::kBottom;
  const unsigned bottomRight = AnchoredLayout::kRight | AnchoredLayout::kBottom;
  layout_.Capture(Window(), {{IDC_PREVIEW_TOTALS, AnchoredLayout::kLeft | AnchoredLayout::kRight},
                             {IDC_PREVIEW_LIST, all},
                             {IDC_PREVIEW_SEND, bottomRight},
                             {IDCANCEL, bottomRight}});
  hook_.Attach(Window(), [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (layout_.OnMessage(message, lParam, result)) return true;
    switch (message) {
      case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
      case WM_SIZE:
        FillColumn(List(), kTextColumn, textColumnLeast_);
        return false;
      default:
        return false;
    }
  });
  SetFocus(list);
  if (!plan_.messages.empty()) ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
  return false;
}

void CReminderPreview::AddColumns() {
  for (int i = 0; i < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i].heading);
    RECT width{0, 0, kColumns[i].width, 0};
    MapDialogRect(Window(), &width);
    column.cx = width.right;
    column.iSubItem = i;
    ListView_InsertColumn(List(), i, &column);
  }
  textColumnLeast_ = ListView_GetColumnWidth(List(), kTextColumn);
}

// The list draws check boxes only for lists that keep the state
// themselves; this one keeps it, so it gets pictures of them. A row that
// cannot be checked shows none.
void CReminderPreview::MakeCheckImages() {
  const int size = GetSystemMetrics(SM_CXSMICON);
  checkImages_ = ImageList_Create(size, size, ILC_COLOR32, 3, 0);
  HDC screen = GetDC(nullptr);
  HDC drawing = CreateCompatibleDC(screen);
  for (int image : {kUnchecked, kChecked, kUnavailable}) {
    HBITMAP picture = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ previous = SelectObject(drawing, picture);
    RECT whole{0, 0, size, size};
    FillRect(drawing, &whole, GetSysColorBrush(COLOR_WINDOW));
    RECT box{2, 2, size - 2, size - 2};
    if (image != kUnavailable) {
      const UINT look = DFCS_BUTTONCHECK | DFCS_FLAT | (image == kChecked ? DFCS_CHECKED : 0);
      DrawFrameControl(drawing, &box, DFC_BUTTON, look);
    }
    SelectObject(drawing, previous);
    ImageList_Add(checkImages_, picture, nullptr);
    DeleteObject(picture);
  }
  DeleteDC(drawing);
  ReleaseDC(nullptr, screen);
  ListView_SetImageList(List(), checkImages_, LVSIL_STATE);
}

bool CReminderPreview::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_PREVIEW_LIST) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      FillItem(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      result = 0;
      return true;
    case NM_CLICK: {
      LVHITTESTINFO hit{};
      hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
      const int item = ListView_SubItemHitTest(List(), &hit);
      if (item >= 0 && hit.iSubItem == 0 && (hit.flags & LVHT_ONITEMSTATEICON)) Toggle(item);
      result = 0;
      return true;
    }
    case LVN_ODFINDITEMW:
      result = FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header).lvfi,
                       reinterpret_cast<const NMLVFINDITEMW&>(header).iStart);
      return true;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_SPACE) ToggleSelected();
      result = 0;
      return true;
    default:
      return false;
  }
}

void CReminderPreview::FillItem(NMLVDISPINFOW& info) {
  if (info.item.iItem < 0 || static_cast<std::size_t>(info.item.iItem) >= plan_.messages.size()) return;
  const std::size_t row = static_cast<std::size_t>(info.item.iItem);
  const PlannedMessage& message = plan_.messages[row];
  if ((info.item.mask & LVIF_STATE) && info.item.iSubItem == 0) {
    const unsigned image = !message.Sendable() ? kUnavailable : checked_[row] ? kChecked : kUnchecked;
    info.item.state = (info.item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(image);
    info.item.stateMask |= LVIS_STATEIMAGEMASK;
  }
  if (!(info.item.mask & LVIF_TEXT)) return;
  switch (info.item.iSubItem) {
    case 0: cell_ = Wide(message.name); break;
    case 1: cell_ = Wide(message.mobile.empty() ? message.primary : message.mobile); break;
    case 2: cell_ = Wide(message.subject); break;
    case 3: cell_ = LocalDate(message.start); break;
    case 4: {
      const std::optional<double> delivery = DeliveryTime(plan_.mode, message.start);
      cell_ = !delivery ? L"outside the calendar" : *delivery == 0 ? L"now" : LocalDate(*delivery);
      break;
    }
    case 5: cell_ = Wide(StatusText(message)); break;
    case 6:
      cell_ = Wide(message.text);
      // One line per row: a line break would show as a box.
      for (wchar_t& c : cell_) {
        if (c == L'\r' || c == L'\n') c = L' ';
      }
      break;
    default: return;
  }
  info.item.pszText = cell_.data();
}

// Typing in the list, and a search for a name, go by the Name column.
int CReminderPreview::FindRow(const LVFINDINFOW& find, int start) const {
  if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz) return -1;
  const std::size_t count = plan_.messages.size(), length = wcslen(find.psz);
  const std::size_t first = start < 0 || static_cast<std::size_t>(start) >= count ? 0 : static_cast<std::size_t>(start);
  for (std::size_t step = 0; step < count; ++step) {
    const std::size_t row = first + step;
    if (row >= count && !(find.flags & LVFI_WRAP)) break;
    const std::wstring name = Wide(plan_.messages[row % count].name);
    const bool found = (find.flags & LVFI_PARTIAL) ? _wcsnicmp(name.c_str(), find.psz, length) == 0
                                                   : _wcsicmp(name.c_str(), find.psz) == 0;
    if (found) return static_cast<int>(row % count);
  }
  return -1;
}

void CReminderPreview::Toggle(int item) {
  const std::size_t row = static_cast<std::size_t>(item);
  if (row >= checked_.size() || !plan_.messages[row].Sendable()) return;
  checked_[row] = !checked_[row];
  ListView_RedrawItems(List(), item, item);
  ShowTotals();
}

// Space sets every selected row as the first of them becomes.
void CReminderPreview::ToggleSelected() {
  HWND list = List();
  const int first = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  if (first < 0) return;
  const bool check = !checked_[static_cast<std::size_t>(first)];
  for (int item = first; item >= 0; item = ListView_GetNextItem(list, item, LVNI_SELECTED)) {
    const std::size_t row = static_cast<std::size_t>(item);
    if (plan_.messages[row].Sendable()) checked_[row] = check;
  }
  InvalidateRect(list, nullptr, FALSE);
  ShowTotals();
}

void CReminderPreview::ShowTotals() {
  std::size_t parts = 0, checked = 0, checkedParts = 0;
  for (std::size_t i = 0; i < plan_.messages.size(); ++i) {
    const unsigned count = MessageCount(plan_.messages[i].text.size(), options_);
    parts += count;
    if (checked_[i]) {
      ++checked;
      checkedParts += count;
    }
  }
  const std::wstring totals = Count(plan_.messages.size(), L"message", L"messages") + L" (" +
                              Count(parts, L"SMS part", L"SMS parts") + L"), " + std::to_wstring(checked) +
                              L" checked (" + Count(checkedParts, L"SMS part", L"SMS parts") + L")";
  SetDlgItemTextW(Window(), IDC_PREVIEW_TOTALS, totals.c_str());
  EnableItem(IDC_PREVIEW_SEND, checked > 0);
}

bool CReminderPreview::OnCommand(int id, int notification) {
  switch (id) {
    case IDC_PREVIEW_MODE: {
      if (notification != CBN_SELCHANGE) return false;
      const auto chosen = static_cast<std::size_t>(SendDlgItemMessageW(Window(), id, CB_GETCURSEL, 0, 0));
      if (chosen < modes_.size()) plan_.mode = modes_[chosen].second;
      InvalidateRect(List(), nullptr, FALSE);
      return true;
    }
    case IDC_PREVIEW_SEND:
      Close(id);
      return true;
    case IDOK:
      return true;
    case IDCANCEL:
      Close(id);
      return true;
    default:
      return false;
  }
}
