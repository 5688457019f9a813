// Plays a person on the setup's pages: keeps "only me" on the first page,
// types each address given into the gateway field and presses Next. Prints
// one line per address: "refused: <message>" when a message box came and
// the page stayed, "accepted" when the page went on; the last address must
// be accepted, and the setup is then seen to its end.
//   setup_page_driver.exe setup.exe address...
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
  DWORD process = 0;
  HWND except = nullptr;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (process == search->process && window != search->except && IsWindowVisible(window) &&
      std::wstring(name) == L"#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindEdit(HWND window, LPARAM param) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (std::wstring(name) == L"Edit" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

// The process's first visible dialog window other than `except`.
HWND WaitForDialog(DWORD process, HWND except, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    Search search{process, except, nullptr};
    EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(50);
  }
  return nullptr;
}

HWND WaitForEdit(HWND setup, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    HWND edit = nullptr;
    EnumChildWindows(setup, FindEdit, reinterpret_cast<LPARAM>(&edit));
    if (edit) return edit;
    Sleep(50);
  }
  return nullptr;
}

BOOL CALLBACK AppendStaticText(HWND window, LPARAM param) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (std::wstring(name) == L"Static") {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    *reinterpret_cast<std::wstring*>(param) += text;
  }
  return TRUE;
}

void PressNext(HWND setup) { PostMessageW(GetDlgItem(setup, IDOK), BM_CLICK, 0, 0); }

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow += c == L'\r' || c == L'\n' ? ' ' : (c < 128 ? static_cast<char>(c) : '?');
  return narrow;
}

int Fail(const char* what, PROCESS_INFORMATION& process) {
  std::printf("FAILED: %s\n", what);
  TerminateProcess(process.hProcess, 1);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("FAILED: the setup did not start (%lu)\n", GetLastError());
    return 1;
  }
  HWND setup = WaitForDialog(process.dwProcessId, nullptr, 30000);
  if (!setup) return Fail("no setup window", process);
  PressNext(setup);  // the first page: "only me" stays chosen
  for (int i = 2; i < argc; ++i) {
    HWND field = WaitForEdit(setup, 10000);
    if (!field) return Fail("no gateway field", process);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[i]));
    PressNext(setup);
    HWND box = WaitForDialog(process.dwProcessId, setup, 3000);
    if (!box) {
      for (int waited = 0; IsWindow(field) && IsWindowVisible(field) && waited < 100; ++waited) Sleep(50);
      if (IsWindow(field) && IsWindowVisible(field)) return Fail("no message, and the page stayed", process);
      std::printf("accepted\n");
      break;
    }
    std::wstring message;
    EnumChildWindows(box, AppendStaticText, reinterpret_cast<LPARAM>(&message));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    for (int waited = 0; IsWindow(box) && waited < 100; ++waited) Sleep(50);
    Sleep(200);
    std::printf("refused%s: %s\n", IsWindow(field) && IsWindowVisible(field) ? "" : " but the page went on",
                Narrow(message).c_str());
    std::fflush(stdout);
  }
  // The install runs; its last page's Next button reads "Close" once it is done.
  for (int waited = 0; WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT; ++waited) {
    if (waited > 600) return Fail("the setup did not end", process);
    HWND next = GetDlgItem(setup, IDOK);
    if (next && IsWindowEnabled(next)) PostMessageW(next, BM_CLICK, 0, 0);
  }
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit code %lu\n", code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
