#include "dialog_user.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/wait.h"

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kClickWaitMs = 500;
// The text control of a message box.
constexpr int kMessageBoxText = 0xFFFF;

struct TitleSearch {
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  if (IsWindowVisible(window) && *search->title == text) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

bool IsOpenDialog(HWND window) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  return std::wstring(className) == L"#32770" && IsWindowVisible(window);
}

BOOL CALLBACK FindOpenDialog(HWND window, LPARAM param) {
  if (!IsOpenDialog(window)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

struct BoxSearch {
  HWND dialog;
  std::wstring caption;
  HWND found;
};

// A named CALLBACK, not a lambda: on x86 a lambda converts only to a cdecl
// pointer, and the enumerations call back with stdcall.
BOOL CALLBACK MatchBoxOf(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  if (window == search->dialog || !IsWindowVisible(window) || search->caption != text) return TRUE;
  search->found = window;
  return FALSE;
}

HWND OpenDialogOf(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(thread, FindOpenDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// What the script closed goes within moments; what it left open is
// cancelled, so that the test never hangs.
void CancelLeftOverDialogs(DWORD thread) {
  constexpr DWORD kClosingMs = 3000;
  for (DWORD waited = 0; waited < kClosingMs && OpenDialogOf(thread); waited += kPollMs) Sleep(kPollMs);
  while (HWND left = OpenDialogOf(thread)) {
    ADD_FAILURE() << "the script left a dialog open; cancelling it";
    // A Yes/No message box ignores Cancel.
    for (WPARAM button : {IDCANCEL, IDNO, IDOK}) {
      if (IsWindowVisible(left)) SendMessageW(left, WM_COMMAND, button, 0);
    }
    ShowWindow(left, SW_HIDE);
  }
}

}  // namespace

HWND DialogUser::WaitForDialog(const std::wstring& title, DWORD timeoutMs) const {
  for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
    TitleSearch search{&title, nullptr};
    if (dialogThread_) {
      EnumThreadWindows(dialogThread_, MatchTitle, reinterpret_cast<LPARAM>(&search));
    } else {
      HWND window = FindWindowW(L"#32770", title.c_str());
      if (window && IsWindowVisible(window)) search.found = window;
    }
    if (search.found) {
      if (!dialogThread_) dialogThread_ = GetWindowThreadProcessId(search.found, nullptr);
      return search.found;
    }
    Sleep(kPollMs);
  }
  ADD_FAILURE() << "no dialog titled \"" << std::string(title.begin(), title.end()) << "\" appeared";
  return nullptr;
}

HWND DialogUser::FindMessageBox(HWND dialog, const std::wstring& caption) const {
  BoxSearch search{dialog, caption, nullptr};
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(dialog, &process);
  if (process == GetCurrentProcessId()) {
    EnumThreadWindows(thread, MatchBoxOf, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(MatchBoxOf, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

HWND DialogUser::WaitForMessageBox(HWND dialog, const std::wstring& caption, DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindMessageBox(dialog, caption)) != nullptr; },
            std::chrono::milliseconds(timeoutMs));
  if (!found) ADD_FAILURE() << "no message box of the dialog appeared";
  return found;
}

HWND DialogUser::WaitForPopupMenu(DWORD timeoutMs) const {
  HWND menu = nullptr;
  WaitUntil(
      [&] {
        // The system's class of shortcut menus.
        menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
      },
      std::chrono::milliseconds(timeoutMs));
  if (!menu || !IsWindowVisible(menu)) {
    ADD_FAILURE() << "no shortcut menu appeared";
    return nullptr;
  }
  return menu;
}

// The menu's modal loop takes the keys of its thread whatever window they
// are posted to.
void DialogUser::ChooseMenuItem(HWND owner, int position) const {
  for (int down = 0; down <= position; ++down) PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(owner, WM_KEYDOWN, VK_RETURN, 0);
}

bool DialogUser::WaitUntilClosed(HWND dialog, DWORD timeoutMs) const {
  for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
    if (!IsWindow(dialog)) return true;
    Sleep(kPollMs);
  }
  return false;
}

void DialogUser::Type(HWND dialog, int id, const std::wstring& text) const {
  HWND edit = GetDlgItem(dialog, id);
  ASSERT_NE(edit, nullptr) << "no control " << id;
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  // The caret goes to the end, where a click after the text puts it.
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
}

void DialogUser::Clear(HWND dialog, int id) const {
  HWND edit = GetDlgItem(dialog, id);
  ASSERT_NE(edit, nullptr) << "no control " << id;
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, VK_BACK, 1);
}

bool DialogUser::Click(HWND dialog, int id) const {
  HWND control = GetDlgItem(dialog, id);
  if (!control || !IsWindowVisible(control) || !IsWindowEnabled(control)) {
    ADD_FAILURE() << "control " << id << " cannot be clicked (missing, hidden or disabled)";
    return false;
  }
  // BM_CLICK presses and releases the mouse on the button itself. A click
  // that opens a modal message box does not return until the box closes,
  // so the wait is bounded: by then the box is up for the script to answer.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, kClickWaitMs, &ignored);
  return true;
}

void DialogUser::PostClick(HWND button) const { PostMessageW(button, BM_CLICK, 0, 0); }

HWND DialogUser::FocusedWindow() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(dialogThread_, &info)) return nullptr;
  return info.hwndFocus;
}

void DialogUser::PressKey(UINT virtualKey) const {
  HWND focus = FocusedWindow();
  ASSERT_NE(focus, nullptr) << "nothing has the keyboard focus";
  UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageW(focus, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
  WaitUntilHandled(focus);
}

namespace {

UINT MarkerMessage() {
  static const UINT marker = RegisterWindowMessageW(L"DialogUserMarker");
  return marker;
}

std::atomic<UINT> g_lastMarkerTaken{0};

// Sees every message the dialog's thread takes from its queue.
LRESULT CALLBACK WatchForMarker(int code, WPARAM removed, LPARAM message) {
  if (code == HC_ACTION && removed == PM_REMOVE) {
    const MSG& taken = *reinterpret_cast<const MSG*>(message);
    if (taken.message == MarkerMessage()) g_lastMarkerTaken = static_cast<UINT>(taken.wParam);
  }
  return CallNextHookEx(nullptr, code, removed, message);
}

}  // namespace

// A thread takes its posted messages in order, each once the one before has
// been dispatched (or its handler has started a modal loop of its own): once
// a marker posted after them has been taken, they have been handled. The
// marker is seen through a hook on the dialog's thread, which needs it to
// be of this process; for another process's dialog, round trips of WM_NULL
// stand in (a thread answers what was sent to it before taking each posted
// message). A thread that stopped taking messages costs the bounded wait.
void DialogUser::WaitUntilHandled(HWND window) const {
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  HHOOK hook = process == GetCurrentProcessId()
                   ? SetWindowsHookExW(WH_GETMESSAGE, WatchForMarker, nullptr, thread)
                   : nullptr;
  if (hook) {
    static std::atomic<UINT> markers{0};
    const UINT marker = ++markers;
    if (PostMessageW(window, MarkerMessage(), marker, 0)) {
      // A key that ends the dialog takes the marker's window with it.
      WaitUntil([&] { return g_lastMarkerTaken.load() >= marker || !IsWindow(window); }, std::chrono::seconds(5));
    }
    UnhookWindowsHookEx(hook);
    return;
  }
  constexpr int kRoundTrips = 6;
  constexpr UINT kRoundTripMs = 1000;
  DWORD_PTR ignored = 0;
  for (int trip = 0; trip < kRoundTrips; ++trip) {
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kRoundTripMs, &ignored)) return;
  }
}

void DialogUser::CloseFromCaption(HWND dialog) const { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool DialogUser::Select(HWND dialog, int id, const std::wstring& text) const {
  HWND list = GetDlgItem(dialog, id);
  wchar_t className[32] = {};
  GetClassNameW(list, className, 32);
  if (_wcsicmp(className, WC_LISTVIEWW) == 0) return SelectListViewItem(list, id, text);
  bool combo = _wcsicmp(className, L"ComboBox") == 0;
  LRESULT index = SendMessageW(list, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) {
    ADD_FAILURE() << "control " << id << " has no entry \"" << std::string(text.begin(), text.end()) << "\"";
    return false;
  }
  SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // Selecting by program sends no notification; the mouse would.
  WORD notification = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(list));
  return true;
}

// List views tell their parent of every state change themselves. The item
// text is passed by pointer, so this works for dialogs of this process.
bool DialogUser::SelectListViewItem(HWND list, int id, const std::wstring& text) const {
  LVFINDINFOW find{};
  find.flags = LVFI_STRING;
  find.psz = text.c_str();
  LRESULT index = SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find));
  if (index < 0) {
    ADD_FAILURE() << "list view " << id << " has no item \"" << std::string(text.begin(), text.end()) << "\"";
    return false;
  }
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  LVITEMW select{};
  select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  select.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&select));
  return true;
}

std::wstring DialogUser::Text(HWND dialog, int id) const {
  HWND control = GetDlgItem(dialog, id);
  int length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}

bool DialogUser::IsChecked(HWND dialog, int id) const {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DialogUser::IsEnabled(HWND dialog, int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::wstring DialogUser::CellText(HWND dialog, int id, int item, int column) const {
  wchar_t text[512] = {};
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = text;
  cell.cchTextMax = 512;
  SendMessageW(GetDlgItem(dialog, id), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
  return text;
}

std::wstring DialogUser::MessageText(HWND messageBox) const { return Text(messageBox, kMessageBoxText); }

void DialogUser::Screenshot(const std::wstring& name) const {
  wchar_t folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"DIALOG_SCREENSHOTS", folder, MAX_PATH)) return;
  // Wine starts a Unix program given by its Unix path.
  const std::wstring file = std::wstring(folder) + L"/" + name + L".png";
  // Wine does not wait for a Unix program: the picture is taken once the
  // file is there.
  const std::wstring seen = (folder[0] == L'/' ? L"Z:" : L"") + file;
  DeleteFileW(seen.c_str());
  std::wstring command = L"/usr/bin/import -window root " + file;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    ADD_FAILURE() << "cannot start import: " << GetLastError();
    return;
  }
  WaitForSingleObject(process.hProcess, 30000);
  WIN32_FILE_ATTRIBUTE_DATA data{}, last{};
  for (int waited = 0; waited < 15000; waited += 100) {
    if (GetFileAttributesExW(seen.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0 &&
        data.nFileSizeLow == last.nFileSizeLow) {
      break;
    }
    last = data;
    Sleep(100);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

INT_PTR RunWithUser(const std::function<INT_PTR()>& open, const std::function<void(DialogUser&)>& script) {
  DWORD dialogThread = GetCurrentThreadId();
  std::thread user([&] {
    DialogUser person(dialogThread);
    script(person);
    CancelLeftOverDialogs(dialogThread);
  });
  struct Joiner {
    std::thread& thread;
    ~Joiner() { thread.join(); }
  } joinEvenIfOpenThrows{user};
  return open();
}
