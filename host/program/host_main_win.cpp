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

#include "program/addin_ribbon_win.h"
#include "program/addin_registry_win.h"
#include "program/connected_addin_win.h"
#include "program/host_options.h"
#include "program/main_window_win.h"
#include "standin/stand_in.h"

namespace {

enum ExitCode { kOk = 0, kBadStore = 2, kNoSuchButton = 3, kBadCommandLine = 64 };

// The first version with the ribbon (2010); older ones never ask for it.
constexpr long kFirstRibbonVersion = 14;

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

long MajorVersion(const std::u16string& version) {
  long major = 0;
  for (char16_t c : version) {
    if (c < u'0' || c > u'9') break;
    major = major * 10 + (c - u'0');
  }
  return major;
}

void PrintGroups(const std::vector<host::CustomUiGroup>& groups, const host::AddinRibbon& ribbon,
                 const wchar_t* kind) {
  for (const auto& group : groups) {
    Print(stdout, std::wstring(L"  ") + kind + L" " + group.place +
                      (group.label.empty() ? L"" : L" group \"" + group.label + L"\""));
    for (const auto& b : group.buttons) {
      BITMAP image = {};
      if (HBITMAP bitmap = ribbon.Image(b.id)) GetObjectW(bitmap, sizeof image, &image);
      Print(stdout, L"    button \"" + b.label + L"\" id " + b.id + (b.large ? L" large" : L" normal") + L" image " +
                        std::to_wstring(image.bmWidth) + L"x" + std::to_wstring(image.bmHeight) + L"x" +
                        std::to_wstring(image.bmBitsPixel) + L" keytip " + b.keytip + L" screentip \"" +
                        b.screentip + L"\" onAction " + b.onAction);
    }
  }
}

// After OnConnection, as a client with the ribbon does: each add-in that
// answers IRibbonExtensibility gives its documents.
std::vector<std::unique_ptr<host::AddinRibbon>> LoadRibbons(const std::vector<host::ConnectedAddin>& addins) {
  std::vector<std::unique_ptr<host::AddinRibbon>> ribbons;
  for (const auto& addin : addins) {
    std::vector<std::wstring> errors;
    auto ribbon = host::AddinRibbon::Load(addin.Object(), addin.ProgId(), errors);
    for (const auto& error : errors) Print(stdout, error);
    if (!ribbon) continue;
    for (const auto& [document, name] : {std::pair{&ribbon->Explorer(), L"Microsoft.Outlook.Explorer"},
                                         std::pair{&ribbon->ContactForm(), L"Microsoft.Outlook.Contact"}}) {
      if (!*document) continue;
      Print(stdout, L"ribbon of " + addin.ProgId() + L" for " + name);
      PrintGroups((*document)->groups, *ribbon, L"tab");
      PrintGroups((*document)->contextMenus, *ribbon, L"context menu");
    }
    ribbons.push_back(std::move(ribbon));
  }
  return ribbons;
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
    std::vector<std::unique_ptr<host::AddinRibbon>> ribbons;
    if (MajorVersion(client->Version()) >= kFirstRibbonVersion) ribbons = LoadRibbons(addins);
    host::MainWindow window(*client);
    for (const auto& ribbon : ribbons) window.AddRibbon(*ribbon);
    if (!window.Create(L"Mail stand-in - " + (options.store.empty() ? L"empty store" : options.store))) {
      Print(stderr, L"cannot create the main window: error " + std::to_wstring(GetLastError()));
    }
    PrintToolbars(*client, window);
    for (const auto& tag : options.clicks) {
      const bool pressed = window.Press(tag);
      Print(stdout, (pressed ? L"clicked " : L"no button has the tag ") + Wide(tag));
      if (!pressed) result = kNoSuchButton;
    }
    for (const auto& id : options.ribbonPresses) {
      const bool pressed = window.PressRibbon(id);
      Print(stdout, (pressed ? L"pressed ribbon button " : L"no ribbon button has the id ") + id);
      if (!pressed) result = kNoSuchButton;
    }
    if (!options.selection.empty()) window.SelectContacts(options.selection);
    for (const auto& id : options.contextMenuChoices) {
      const bool chosen = window.ChooseFromContextMenu(id);
      Print(stdout, (chosen ? L"chose context menu item " : L"no context menu item has the id ") + id);
      if (!chosen) result = kNoSuchButton;
    }
    if (!options.exitAfter && window.Handle()) {
      ShowWindow(window.Handle(), SW_SHOWNORMAL);
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    // Disconnect in the reverse order of connection; the ribbons' pictures
    // go first.
    ribbons.clear();
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
          L"[--counts] [--open-item-limit n] [--select n]... [--ribbon id]... [--context-menu id]...");
    return kBadCommandLine;
  }
  OleApartment apartment;
  return Run(*options);
}
