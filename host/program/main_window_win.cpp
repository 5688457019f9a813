#include "program/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace host {

namespace {

constexpr wchar_t kClassName[] = L"QuorvalMailStandInMainWindow";
constexpr int kRowHeight = 36, kLabelWidth = 170, kButtonWidth = 170, kMargin = 8;
constexpr WORD kFirstButtonId = 1000;
constexpr WORD kFirstRibbonId = 2000, kContactListId = 3000, kFirstMenuItemId = 4000;
constexpr int kRibbonHeight = 132, kLargeWidth = 76, kLargeHeight = 84, kNormalWidth = 120, kNormalHeight = 24;
constexpr int kContactListWidth = 220;
constexpr COLORREF kRibbonText = RGB(0x26, 0x26, 0x26);
constexpr int kMenuImageSize = 16, kMenuImagePadding = 3;

// The 32-bit premultiplied image over what is drawn at (x, y), faint for
// a disabled control.
void BlendImage(HDC target, int x, int y, int size, HBITMAP image, bool faint = false) {
  BITMAP bitmap = {};
  GetObjectW(image, sizeof bitmap, &bitmap);
  HDC source = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(source, image);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(faint ? 96 : 255), AC_SRC_ALPHA};
  GdiAlphaBlend(target, x, y, size, size, source, 0, 0, bitmap.bmWidth, bitmap.bmHeight, blend);
  SelectObject(source, old);
  DeleteDC(source);
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

bool MainWindow::Create(const std::wstring& title) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // a second window reuses the class
  window_ = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, ribbons_.empty() ? 720 : 960, ribbons_.empty() ? 240 : 420,
                            nullptr, nullptr, wc.hInstance, this);
  if (!window_) return false;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_ = CreateFontIndirectW(&metrics.lfMessageFont);
  tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                              nullptr, wc.hInstance, nullptr);
  tooltipTexts_.reserve(64);
  const int top = AddRibbonGroups();
  RefreshEnabled();
  // The ribbons may outlive the window, or go first.
  for (const AddinRibbon* ribbon : ribbons_) {
    ribbon->OnInvalidate([this, alive = std::weak_ptr<bool>(alive_)] {
      if (alive.lock()) RefreshEnabled();
    });
  }
  AddRows(top);
  if (!ribbons_.empty()) AddContactList(top);
  return true;
}

void MainWindow::AddTooltip(HWND control, std::wstring text) {
  tooltipTexts_.push_back(std::move(text));
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = tooltipTexts_.back().data();
  SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The groups of each add-in's first tab, side by side, each framed with its
// label below, as the ribbon's home tab shows them. Gives the height used.
int MainWindow::AddRibbonGroups() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  int x = kMargin;
  bool any = false;
  SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, 320);
  for (const AddinRibbon* ribbon : ribbons_) {
    if (!ribbon->Explorer() || ribbon->Explorer()->groups.empty()) continue;
    const std::wstring firstTab = ribbon->Explorer()->groups.front().place;
    for (const CustomUiGroup& group : ribbon->Explorer()->groups) {
      if (group.place != firstTab) continue;
      any = true;
      const int left = x;
      int y = kMargin + 18;
      int column = 0;
      for (const CustomUiButton& button : group.buttons) {
        const WORD id = static_cast<WORD>(kFirstRibbonId + ribbonButtons_.size());
        const int width = button.large ? kLargeWidth : kNormalWidth;
        const int height = button.large ? kLargeHeight : kNormalHeight;
        if (button.large || column == 0) {
          if (column) x += column;
          y = kMargin + 18;
          column = 0;
        }
        HWND window = CreateWindowExW(0, L"BUTTON", button.label.c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, x + 4, y, width, height,
                                      window_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        AddTooltip(window, button.screentip + L"\n" + button.supertip + L"\n(key tip " + button.keytip + L")");
        ribbonButtons_.push_back({window, ribbon, &button});
        if (button.large) {
          x += width + 4;
        } else {
          column = std::max(column, width + 4);
          y += height + 2;
        }
      }
      x += column + 8;
      HWND frame = CreateWindowExW(0, L"BUTTON", nullptr, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, left, kMargin + 8,
                                   x - left, kRibbonHeight - 16, window_, nullptr, instance, nullptr);
      HWND label = CreateWindowExW(0, L"STATIC", group.label.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, left + 2,
                                   kRibbonHeight - 24, x - left - 4, 16, window_, nullptr, instance, nullptr);
      SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
      SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      x += kMargin;
      HWND tab = CreateWindowExW(0, L"STATIC", (L"Home (" + firstTab + L")").c_str(), WS_CHILD | WS_VISIBLE,
                                 kMargin, 0, 200, 16, window_, nullptr, instance, nullptr);
      SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
  }
  return any ? kRibbonHeight + kMargin : 0;
}

void MainWindow::RefreshEnabled() const {
  for (const auto& shown : ribbonButtons_) EnableWindow(shown.window, shown.ribbon->Enabled(*shown.button));
}

void MainWindow::AddContactList(int top) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RECT client;
  GetClientRect(window_, &client);
  contacts_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                              client.right - kContactListWidth - kMargin, top, kContactListWidth,
                              client.bottom - top - kMargin, window_,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kContactListId)), instance, nullptr);
  SendMessageW(contacts_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  for (const auto& name : client_.ContactsFolderNames()) {
    SendMessageW(contacts_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
}

void MainWindow::AddRows(int top) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto toolbars = client_.Toolbars();
  int y = top + kMargin;
  for (size_t t = 0; t < toolbars.size(); ++t) {
    if (!toolbars[t].visible) continue;
    HWND label = CreateWindowExW(0, L"STATIC", Wide(toolbars[t].name).c_str(),
                                 WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, kMargin, y, kLabelWidth,
                                 kRowHeight - 8, window_, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    int x = kMargin + kLabelWidth;
    for (size_t b = 0; b < toolbars[t].buttons.size(); ++b) {
      const auto& state = toolbars[t].buttons[b];
      if (!state.visible) continue;
      const WORD id = static_cast<WORD>(kFirstButtonId + buttons_.size());
      HWND button = CreateWindowExW(
          0, L"BUTTON", Wide(state.caption).c_str(),
          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | (state.enabled ? 0 : WS_DISABLED),
          x, y, kButtonWidth, kRowHeight - 8, window_,
          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
      AddTooltip(button, Wide(state.tooltipText));
      buttons_.push_back({button, t, b, state.tag});
      x += kButtonWidth + kMargin;
    }
    y += kRowHeight;
  }
}

bool MainWindow::Press(const std::u16string& tag) {
  for (const auto& shown : buttons_) {
    if (shown.tag == tag) {
      SendMessageW(shown.window, BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

std::vector<std::wstring> MainWindow::ShownCaptions() const {
  std::vector<std::wstring> captions;
  for (const auto& shown : buttons_) {
    wchar_t text[256] = {};
    GetWindowTextW(shown.window, text, static_cast<int>(std::size(text)));
    captions.emplace_back(text);
  }
  return captions;
}

bool MainWindow::PressRibbon(const std::wstring& id) {
  for (const auto& shown : ribbonButtons_) {
    if (shown.button->id == id) {
      SendMessageW(shown.window, BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

void MainWindow::SelectContacts(const std::vector<size_t>& positions) {
  if (contacts_) {
    SendMessageW(contacts_, LB_SETSEL, FALSE, -1);
    for (size_t position : positions) SendMessageW(contacts_, LB_SETSEL, TRUE, static_cast<LPARAM>(position));
  }
  client_.SelectContacts(positions);
}

void MainWindow::Report(const AddinRibbon& ribbon, const CustomUiButton& button, HRESULT hr) const {
  if (SUCCEEDED(hr)) return;
  // Office's "custom UI error" report, for a callback that failed.
  std::fprintf(stdout, "custom UI error in %ls: the callback \"%ls\" of \"%ls\" failed with 0x%08lX\n",
               ribbon.ProgId().c_str(), button.onAction.c_str(), button.id.c_str(), static_cast<unsigned long>(hr));
  std::fflush(stdout);
}

bool MainWindow::ChooseFromContextMenu(const std::wstring& id) {
  for (const AddinRibbon* ribbon : ribbons_) {
    if (!ribbon->Explorer()) continue;
    for (const CustomUiGroup& menu : ribbon->Explorer()->contextMenus) {
      if (menu.place != L"ContextMenuContactItem") continue;
      for (const CustomUiButton& button : menu.buttons) {
        if (button.id != id) continue;
        Report(*ribbon, button, ribbon->Press(button, client_.Selection().Get()));
        return true;
      }
    }
  }
  return false;
}

// The add-ins' items, each with its image; the stand-in has none of its own.
// The menu draws an item's bitmap without its transparency, so the window
// draws the images itself over the item's background, plain or highlighted.
void MainWindow::OpenContextMenu() {
  HMENU menu = CreatePopupMenu();
  auto& items = menuItems_;
  items.clear();
  for (const AddinRibbon* ribbon : ribbons_) {
    if (!ribbon->Explorer()) continue;
    for (const CustomUiGroup& group : ribbon->Explorer()->contextMenus) {
      if (group.place != L"ContextMenuContactItem") continue;
      for (const CustomUiButton& button : group.buttons) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | MIIM_STATE;
        item.fState = ribbon->Enabled(button) ? MFS_ENABLED : MFS_GRAYED;
        item.wID = static_cast<UINT>(kFirstMenuItemId + items.size());
        item.dwTypeData = const_cast<wchar_t*>(button.label.c_str());
        item.hbmpItem = ribbon->Image(button.id) ? HBMMENU_CALLBACK : nullptr;
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
        items.emplace_back(ribbon, &button);
      }
    }
  }
  RECT list;
  GetWindowRect(contacts_ ? contacts_ : window_, &list);
  const int choice = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, list.left + 40, list.top + 40, 0,
                                    window_, nullptr);
  DestroyMenu(menu);
  const auto chosen = std::move(items);
  items.clear();
  if (choice >= kFirstMenuItemId && static_cast<size_t>(choice - kFirstMenuItemId) < chosen.size()) {
    const auto& [ribbon, button] = chosen[choice - kFirstMenuItemId];
    Report(*ribbon, *button, ribbon->Press(*button, client_.Selection().Get()));
  }
}

void MainWindow::DrawMenuImage(const DRAWITEMSTRUCT& item) const {
  const size_t index = item.itemID - kFirstMenuItemId;
  if (item.itemID < kFirstMenuItemId || index >= menuItems_.size()) return;
  const auto& [ribbon, button] = menuItems_[index];
  HBITMAP image = ribbon->Image(button->id);
  if (!image) return;
  const RECT& r = item.rcItem;
  BlendImage(item.hDC, r.left + kMenuImagePadding, (r.top + r.bottom - kMenuImageSize) / 2, kMenuImageSize, image,
             item.itemState & ODS_GRAYED);
}

// Large buttons: the 32-pixel image above the label; others: the 16-pixel
// image left of it. Images keep their transparency over the ribbon.
void MainWindow::DrawRibbonButton(const DRAWITEMSTRUCT& item) const {
  const ShownRibbonButton* shown = nullptr;
  for (const auto& candidate : ribbonButtons_) {
    if (candidate.window == item.hwndItem) shown = &candidate;
  }
  if (!shown) return;
  const RECT& r = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  // Unpressed, a button is the window's own background, as ribbon buttons
  // show no box of their own.
  HBRUSH background = pressed ? CreateSolidBrush(RGB(0xD0, 0xD8, 0xE4)) : GetSysColorBrush(COLOR_BTNFACE);
  FillRect(item.hDC, &r, background);
  if (pressed) DeleteObject(background);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
  const bool large = shown->button->large;
  const int size = large ? 32 : 16;
  const int imageX = large ? (r.left + r.right - size) / 2 : r.left + 4;
  const int imageY = large ? r.top + 6 : (r.top + r.bottom - size) / 2;
  const bool disabled = item.itemState & ODS_DISABLED;
  if (HBITMAP image = shown->ribbon->Image(shown->button->id)) {
    BlendImage(item.hDC, imageX, imageY, size, image, disabled);
  }
  RECT text = r;
  if (large) {
    text.top = imageY + size + 2;
  } else {
    text.left = imageX + size + 6;
  }
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT) : kRibbonText);
  HGDIOBJ oldFont = SelectObject(item.hDC, font_);
  DrawTextW(item.hDC, shown->button->label.c_str(), -1, &text,
            (large ? DT_CENTER | DT_WORDBREAK : DT_LEFT | DT_VCENTER | DT_SINGLELINE) | DT_NOPREFIX);
  SelectObject(item.hDC, oldFont);
}

void MainWindow::OnCommand(WORD id, WORD notification) {
  if (id == kContactListId) {
    if (notification != LBN_SELCHANGE) return;
    std::vector<size_t> positions;
    const int count = static_cast<int>(SendMessageW(contacts_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      if (SendMessageW(contacts_, LB_GETSEL, i, 0) > 0) positions.push_back(static_cast<size_t>(i));
    }
    client_.SelectContacts(positions);
    return;
  }
  if (notification != BN_CLICKED) return;
  if (id >= kFirstRibbonId && id < kFirstRibbonId + ribbonButtons_.size()) {
    const ShownRibbonButton& shown = ribbonButtons_[id - kFirstRibbonId];
    Report(*shown.ribbon, *shown.button, shown.ribbon->Press(*shown.button, client_.ActiveExplorer().Get()));
    return;
  }
  if (id < kFirstButtonId || id >= kFirstButtonId + buttons_.size()) return;
  const ShownButton& shown = buttons_[id - kFirstButtonId];
  client_.Click(shown.toolbar, shown.button);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (self) self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (!self) return TRUE;
      if (item.CtlType == ODT_MENU) {
        self->DrawMenuImage(item);
      } else {
        self->DrawRibbonButton(item);
      }
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_MENU) break;
      // The padding on the left, and twice it before the label.
      item.itemWidth = kMenuImageSize + 3 * kMenuImagePadding;
      item.itemHeight = kMenuImageSize + 2 * kMenuImagePadding;
      return TRUE;
    }
    case WM_CONTEXTMENU:
      if (self && self->contacts_ && reinterpret_cast<HWND>(wParam) == self->contacts_) self->OpenContextMenu();
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (self) self->window_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace host
