// Plays a person on the setup's pages: keeps "only me" on the first page,
// types each address given into the gateway field and presses Next. Prints
// "refused: <message>" when a message box came and the page stayed, else
// "accepted", and then "exit code N" once the install is seen to its end.
// DRIVER_PAUSE_MS holds each page and message that long, for screenshots.
//   setup_page_driver.exe setup.exe address...
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
  DWORD process;
  HWND except;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (process != search->process || window == search->except || !IsWindowVisible(window) ||
      std::wstring(name) != search->className) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// The process's first visible window of the class, a top-level one or a
// child of `parent`, waited for up to `ms`.
HWND WaitFor(DWORD process, const wchar_t* className, HWND parent, HWND except, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += 50, Sleep(50)) {
    Search search{process, except, className, nullptr};
    parent ? EnumChildWindows(parent, Match, reinterpret_cast<LPARAM>(&search))
           : EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
  }
  return nullptr;
}

bool Shown(HWND window) { return IsWindow(window) && IsWindowVisible(window); }

void Press(HWND dialog, int id) {
  wchar_t pause[16] = {};
  if (GetEnvironmentVariableW(L"DRIVER_PAUSE_MS", pause, 16)) Sleep(wcstoul(pause, nullptr, 10));
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION setupProcess{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &setupProcess)) {
    return 1;
  }
  const DWORD process = setupProcess.dwProcessId;
  HWND setup = WaitFor(process, L"#32770", nullptr, nullptr, 30000);
  if (setup) Press(setup, IDOK);
  for (int i = 2; setup && i < argc; ++i) {
    HWND field = WaitFor(process, L"Edit", setup, nullptr, 10000);
    if (!field) break;
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[i]));
    Press(setup, IDOK);
    HWND box = WaitFor(process, L"#32770", nullptr, setup, 3000);
    if (!box) {
      std::printf(Shown(field) ? "no message, and the page stayed\n" : "accepted\n");
      break;
    }
    wchar_t text[2048] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 2048);  // a message box's text

    for (wchar_t& c : text) c = c == L'\r' || c == L'\n' ? L' ' : c;
    Press(box, IDOK);
    for (int waited = 0; IsWindow(box) && waited < 100; ++waited) Sleep(50);
    std::printf("refused%s: %ls\n", Shown(field) ? "" : " but the page went on", text);
    std::fflush(stdout);
  }
  // The last page's button reads "Close" once the install is done.
  for (int waited = 0; WaitForSingleObject(setupProcess.hProcess, 100) == WAIT_TIMEOUT && waited < 600; ++waited) {
    if (setup && IsWindowEnabled(GetDlgItem(setup, IDOK))) Press(setup, IDOK);
  }
  TerminateProcess(setupProcess.hProcess, 1);
  DWORD code = 1;
  GetExitCodeProcess(setupProcess.hProcess, &code);
  std::printf("exit code %lu\n", code);
  return 0;
}
