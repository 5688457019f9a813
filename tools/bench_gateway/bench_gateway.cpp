// Sends N messages one after another through the gateway client (WinINet)
// to a gateway on loopback and prints the time per message: through one
// HTTPManager, as the single-message dialog sends, or with a manager per
// message, as a batch run does. In the mode "responsive" the run is the
// dialogs' own (a window of this thread, ResponsiveSend waiting for each
// exchange) while a second thread pings the window every 10 ms with
// SendMessageTimeout: the window's answer times are printed too. In the
// mode "wininet" the same WinINet calls go out bare, one exchange after
// another on this thread, with no client around them: the floor under the
// client's figure.
// usage: bench_gateway PORT COUNT SETTINGS_FOLDER [shared|per-message|responsive|wininet]
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gateway/request_target.h"
#include "gateway/sms_message.h"
#include "gateway/wininet_exchange_win.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "store/settings_manager.h"
#include "ui/responsive_send_win.h"

namespace {

class BenchContact : public ContactItem {
 public:
  std::optional<std::u16string> FullName() override { return u"Bench Contact"; }
  std::optional<std::u16string> FirstName() override { return u"Bench"; }
  std::optional<std::u16string> MobileTelephoneNumber() override { return u"+64 21 000 0001"; }
  std::optional<std::u16string> PrimaryTelephoneNumber() override { return std::nullopt; }
  std::optional<std::u16string> EntryID() override { return std::nullopt; }
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(values.size())));
  return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

// The run as a dialog sends it, with the window pinged meanwhile.
int ResponsiveRun(Settings& settings, const CodePage& codePage, const Clock& clock, int count) {
  HWND window = CreateWindowExW(0, L"STATIC", L"Send SMS", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
  if (!window) return 1;
  auto contact = std::make_shared<BenchContact>();
  std::atomic<bool> running{true}, pingerDone{false};
  std::vector<double> answers;
  std::thread pinger([&] {
    for (; running; Sleep(10)) {
      LARGE_INTEGER sent, answered;
      QueryPerformanceCounter(&sent);
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
      QueryPerformanceCounter(&answered);
      if (running) answers.push_back(Seconds(sent, answered) * 1000);
    }
    pingerDone = true;
  });
  int accepted = 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  {
    ResponsiveSend send(window);
    auto manager = send.MakeGateway(settings, codePage, clock);
    for (int i = 0; i < count; ++i) {
      SMSMessage message(codePage, clock, contact, "Reminder " + std::to_string(i), 0);
      if (send.Run().Send(message, *manager) == 0 && message.accepted()) ++accepted;
    }
  }
  QueryPerformanceCounter(&end);
  running = false;
  // The last ping is answered here, and not counted.
  while (!pingerDone) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(1);
  }
  pinger.join();
  DestroyWindow(window);
  const double total = Seconds(start, end);
  std::printf("gateway client (responsive): %d sends, %d accepted, %.3f s, %.3f ms per message\n", count, accepted,
              total, total * 1000 / count);
  std::printf("window latency: %zu pings, median %.2f ms, 99th percentile %.2f ms, longest %.2f ms\n",
              answers.size(), Percentile(answers, 0.5), Percentile(answers, 0.99), Percentile(answers, 1.0));
  return accepted == count ? 0 : 1;
}

void CALLBACK IgnoreStatus(HINTERNET, DWORD_PTR, DWORD, void*, DWORD) {}

// The client's WinINet calls for one message, and nothing else.
bool BareExchange(HINTERNET internet, unsigned short port, const std::string& target) {
  DWORD timeoutMs = WinInetExchange::kDefaultTimeoutMs;
  HINTERNET connection =
      InternetConnectA(internet, "127.0.0.1", port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = connection ? HttpOpenRequestA(connection, "GET", target.c_str(), "HTTP/1.1", nullptr, nullptr,
                                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                        INTERNET_FLAG_NO_COOKIES,
                                                    1)
                                 : nullptr;
  bool answered = false;
  if (request) {
    InternetSetStatusCallbackA(request, IgnoreStatus);
    for (HINTERNET handle : {connection, request}) {
      for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                           INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(handle, option, &timeoutMs, sizeof timeoutMs);
      }
    }
    static const char kClose[] = "Connection: close\r\n";
    DWORD status = 0, size = sizeof status;
    answered = HttpSendRequestA(request, kClose, sizeof kClose - 1, nullptr, 0) &&
               HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
               status == 200;
    char chunk[2048];
    DWORD available = 0, read = 0;
    while (answered && InternetQueryDataAvailable(request, &available, 0, 0) && available > 0 &&
           InternetReadFile(request, chunk, std::min<DWORD>(available, sizeof chunk), &read) && read > 0) {
    }
    InternetCloseHandle(request);
  }
  if (connection) InternetCloseHandle(connection);
  return answered;
}

int BareRun(unsigned short port, int count) {
  HINTERNET internet = InternetOpenW(L"SendSMS", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!internet) return 1;
  GatewayAccount account;
  account.userName = account.password = "bench";
  int answered = 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) {
    const std::string target =
        "/smsgateway.pl" + BuildGatewayQuery(account, "+64210000001", "Reminder " + std::to_string(i));
    answered += BareExchange(internet, port, target);
  }
  QueryPerformanceCounter(&end);
  InternetCloseHandle(internet);
  const double total = Seconds(start, end);
  std::printf("WinINet alone: %d sends, %d answered, %.3f s, %.3f ms per message\n", count, answered, total,
              total * 1000 / count);
  return answered == count ? 0 : 1;
}

void StampAnHourBack(const std::wstring& path) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
  time.QuadPart -= 3600 * 10'000'000ull;
  const FILETIME stamp{time.LowPart, time.HighPart};
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFileTime(file, nullptr, nullptr, &stamp);
  CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 5 ? argv[4] : L"shared";
  if ((argc != 4 && argc != 5) ||
      (mode != L"shared" && mode != L"per-message" && mode != L"responsive" && mode != L"wininet")) {
    std::fprintf(stderr, "usage: bench_gateway PORT COUNT SETTINGS_FOLDER [shared|per-message|responsive|wininet]\n");
    return 2;
  }
  const bool managerPerMessage = mode == L"per-message";
  const std::u16string port = reinterpret_cast<const char16_t*>(argv[1]);
  const int count = _wtoi(argv[2]);
  if (mode == L"wininet") return BareRun(static_cast<unsigned short>(_wtoi(argv[1])), count);
  SettingsManager settings(argv[3]);
  settings.SetString(u"GatewayHost", u"127.0.0.1:" + port);
  settings.SetString(u"UserName", u"bench");
  settings.SetString(u"Password", u"bench");
  // Options are saved long before a send; a file written seconds ago is
  // read afresh at every request (StillCurrent), so the run would measure
  // a case that lasts three seconds after each save.
  StampAnHourBack(settings.SettingsPath());
  ThreadCodePage codePage;
  SystemClock clock;
  if (mode == L"responsive") return ResponsiveRun(settings, codePage, clock, count);
  auto contact = std::make_shared<BenchContact>();
  auto manager = MakeHTTPManager(settings, codePage, clock);

  int accepted = 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) {
    if (managerPerMessage && i > 0) manager = MakeHTTPManager(settings, codePage, clock);
    SMSMessage message(codePage, clock, contact, "Reminder " + std::to_string(i), 0);
    if (message.Send(*manager) == 0 && message.accepted()) ++accepted;
  }
  QueryPerformanceCounter(&end);
  const double total = Seconds(start, end);
  std::printf("gateway client (%s): %d sends, %d accepted, %.3f s, %.3f ms per message\n",
              managerPerMessage ? "a manager per message" : "one manager", count, accepted, total,
              total * 1000 / count);

  // The settings read that every request makes (a look at the file's stamp,
  // a read of the section when it shows a write), timed on its own: how
  // much of the time per message is not the exchange.
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) ReadGatewayAccount(settings, codePage);
  QueryPerformanceCounter(&end);
  std::printf("  the settings reads each request makes, timed alone: %.3f ms per message\n",
              Seconds(start, end) * 1000 / count);
  return accepted == count ? 0 : 1;
}
