// The harness itself on a dialog made in memory: selections in the three
// kinds of lists reach the dialog as notifications, as a mouse's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <vector>

#include "dialog_user.h"

namespace {

constexpr int kCombo = 301, kList = 302, kListView = 303;

// The selection changes the dialog heard, as (control, notification).
struct Heard {
  std::vector<std::pair<int, int>> notifications;
  std::wstring listViewSelection;
};

INT_PTR CALLBACK ListsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* heard = reinterpret_cast<Heard*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      HWND listView = GetDlgItem(dialog, kListView);
      LVCOLUMNW column{};
      column.mask = LVCF_WIDTH;
      column.cx = 100;
      SendMessageW(listView, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
      int row = 0;
      for (const wchar_t* text : {L"Minutes", L"Hours", L"Days"}) {
        SendDlgItemMessageW(dialog, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendDlgItemMessageW(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row++;
        item.pszText = const_cast<wchar_t*>(text);
        SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      } else if (heard && HIWORD(wParam) == CBN_SELCHANGE) {  // LBN_SELCHANGE is the same code
        heard->notifications.push_back({LOWORD(wParam), HIWORD(wParam)});
      }
      return TRUE;
    case WM_NOTIFY: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
      if (heard && change->hdr.idFrom == kListView && change->hdr.code == LVN_ITEMCHANGED &&
          (change->uNewState & LVIS_SELECTED)) {
        wchar_t text[32] = {};
        ListView_GetItemText(change->hdr.hwndFrom, change->iItem, 0, text, 32);
        heard->listViewSelection = text;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// A dialog template built in memory: title, then three list controls.
class ListsTemplate {
 public:
  ListsTemplate() {
    DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 3, 0, 0, 200, 120};
    Append(&header, sizeof header);
    Words({0, 0});  // no menu, default class
    Text(L"Lists");
    Item(kCombo, 0x0085, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, {10, 10, 80, 60});
    Item(kList, 0x0083, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LBS_NOTIFY, {100, 10, 80, 40});
    Item(kListView, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER,
         {10, 60, 170, 50}, WC_LISTVIEWW);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Append(const void* data, size_t bytes) {
    const WORD* w = static_cast<const WORD*>(data);
    words_.insert(words_.end(), w, w + bytes / sizeof(WORD));
  }
  void Words(std::initializer_list<WORD> words) { words_.insert(words_.end(), words); }
  void Text(const wchar_t* text) { Append(text, (wcslen(text) + 1) * sizeof(wchar_t)); }
  void Item(int id, WORD atom, DWORD style, RECT units, const wchar_t* className = nullptr) {
    if (words_.size() % 2) words_.push_back(0);  // DWORD alignment
    DLGITEMTEMPLATE item{style, 0, static_cast<short>(units.left), static_cast<short>(units.top),
                         static_cast<short>(units.right), static_cast<short>(units.bottom),
                         static_cast<WORD>(id)};
    Append(&item, sizeof item);
    if (className) {
      Text(className);
    } else {
      Words({0xFFFF, atom});
    }
    Words({0, 0});  // no text, no creation data
  }

  std::vector<WORD> words_;
};

TEST(DialogUser, SelectionsReachTheDialogFromEveryKindOfList) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  ListsTemplate dialogTemplate;
  Heard heard;
  RunWithUser(
      [&] {
        return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr, ListsProcedure,
                                       reinterpret_cast<LPARAM>(&heard));
      },
      [](DialogUser& user) {
        HWND dialog = user.WaitForDialog(L"Lists");
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(user.Select(dialog, kCombo, L"Hours"));
        EXPECT_EQ(user.Text(dialog, kCombo), L"Hours");
        EXPECT_TRUE(user.Select(dialog, kList, L"Days"));
        EXPECT_TRUE(user.Select(dialog, kListView, L"Minutes"));
        EXPECT_TRUE(user.Select(dialog, kListView, L"Days"));
        EXPECT_EQ(SendDlgItemMessageW(dialog, kListView, LVM_GETSELECTEDCOUNT, 0, 0), 1);
        user.PressKey(VK_ESCAPE);
        EXPECT_TRUE(user.WaitUntilClosed(dialog));
      });
  std::vector<std::pair<int, int>> expected{{kCombo, CBN_SELCHANGE}, {kList, LBN_SELCHANGE}};
  EXPECT_EQ(heard.notifications, expected);
  EXPECT_EQ(heard.listViewSelection, L"Days");
}

TEST(DialogUser, ADialogTheScriptLeavesOpenIsCancelledAndReported) {
  ListsTemplate dialogTemplate;
  Heard heard;
  INT_PTR result = 0;
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      result = RunWithUser(
          [&] {
            return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr,
                                           ListsProcedure, reinterpret_cast<LPARAM>(&heard));
          },
          [](DialogUser& user) { user.WaitForDialog(L"Lists"); }),
      "left a dialog open");
  EXPECT_EQ(result, IDCANCEL);
}

}  // namespace
