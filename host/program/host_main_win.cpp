// The mail-client host: loads the add-ins registered for start-up, hands
// them the stand-in's application over a store file and shows the toolbars
// they made in a window.
#include <windows.h>

#include <ole2.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>

#include "program/addin_registry_win.h"
#include "program/connected_addin_win.h"
#include "program/host_options.h"
#include "program/main_window_win.h"
#include "standin/stand_in.h"

namespace {

enum ExitCode { kOk = 0, kBadStore = 2, kNoSuchButton = 3, kBadCommandLine = 64 };

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

void Print(FILE* stream, const std::wstring& line) {
  std::fputs(Utf8(line + L"\n").c_str(), stream);
  std::fflush(stream);
}

std::wstring Hex(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

class OleApartment {
 public:
  OleApartment() { OleInitialize(nullptr); }
  ~OleApartment() { OleUninitialize(); }
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;
};

std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args(argv + (count > 0 ? 1 : 0), argv + count);
  LocalFree(argv);
  return args;
}

std::unique_ptr<standin::StandIn> OpenStore(const std::wstring& path) {
  try {
    if (path.empty()) return standin::StandIn::FromJson("{}", "empty store");
    return standin::StandIn::FromFile(std::filesystem::path(path));
  } catch (const standin::StoreError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return nullptr;
  }
}

bool Chosen(const host::HostOptions& options, const std::wstring& progId) {
  if (options.onlyAddins.empty()) return true;
  for (const auto& wanted : options.onlyAddins) {
    if (_wcsicmp(wanted.c_str(), progId.c_str()) == 0) return true;
  }
  return false;
}

std::vector<host::ConnectedAddin> ConnectAddins(const host::HostOptions& options,
                                                IDispatch* application) {
  std::vector<host::ConnectedAddin> addins;
  for (const auto& progId : host::StartupAddins()) {
    if (!Chosen(options, progId)) continue;
    host::ConnectedAddin addin(progId);
    std::wstring step;
    const HRESULT hr = addin.Connect(application, step);
    Print(stdout, L"add-in " + progId +
                      (SUCCEEDED(hr) ? L": connected" : L": " + step + L" failed with " + Hex(hr)));
    addins.push_back(std::move(addin));
  }
  return addins;
}

void PrintToolbars(const standin::StandIn& client, const host::MainWindow& window) {
  for (const auto& bar : client.Toolbars()) {
    Print(stdout, L"toolbar \"" + Wide(bar.name) + L"\"" + (bar.visible ? L" visible" : L" hidden") +
                      (bar.temporary ? L" temporary" : L""));
    for (const auto& b : bar.buttons) {
      Print(stdout, L"  button \"" + Wide(b.caption) + L"\" tag \"" + Wide(b.tag) +
                        L"\" tooltip \"" + Wide(b.tooltipText) + L"\" face " +
                        std::to_wstring(b.faceId) + L" style " + std::to_wstring(b.style) +
                        L" sinks " + std::to_wstring(b.sinkCount));
    }
  }
  for (const auto& caption : window.ShownCaptions()) Print(stdout, L"window shows \"" + caption + L"\"");
}

int Run(const host::HostOptions& options) {
  auto client = OpenStore(options.store);
  if (!client) return kBadStore;
  if (options.openItemLimit) client->SetOpenItemLimit(options.openItemLimit);
  int result = kOk;
  {
    auto addins = ConnectAddins(options, client->Application().Get());
    host::MainWindow window(*client);
    if (!window.Create(L"Mail stand-in - " + (options.store.empty() ? L"empty store" : options.store))) {
      Print(stderr, L"cannot create the main window: error " + std::to_wstring(GetLastError()));
    }
    PrintToolbars(*client, window);
    for (const auto& tag : options.clicks) {
      const bool pressed = window.Press(tag);
      Print(stdout, (pressed ? L"clicked " : L"no button has the tag ") + Wide(tag));
      if (!pressed) result = kNoSuchButton;
    }
    if (!options.exitAfter && window.Handle()) {
      ShowWindow(window.Handle(), SW_SHOWNORMAL);
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    // Disconnect in the reverse order of connection.
    while (!addins.empty()) addins.pop_back();
  }
  client->Close();
  if (options.counts) std::fputs(client->Calls().Report().c_str(), stdout);
  return result;
}

}  // namespace

int main() {
  // Plain line feeds, so that scripts on either side read the same lines.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::wstring error;
  const auto options = host::ParseHostOptions(Arguments(), error);
  if (!options) {
    Print(stderr, error);
    Print(stderr,
          L"usage: outlook_host [--store file] [--addin progid]... [--click tag]... [--exit-after] "
          L"[--counts] [--open-item-limit n]");
    return kBadCommandLine;
  }
  OleApartment apartment;
  return Run(*options);
}
