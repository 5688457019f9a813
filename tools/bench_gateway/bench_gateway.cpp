// Sends N messages one after another through the gateway client (WinINet)
// to a gateway on loopback and prints the time per message.
// usage: bench_gateway PORT COUNT SETTINGS_FOLDER
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "gateway/sms_message.h"
#include "gateway/wininet_exchange_win.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "store/settings_manager.h"

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_gateway PORT COUNT SETTINGS_FOLDER\n");
    return 2;
  }
  const std::u16string port = reinterpret_cast<const char16_t*>(argv[1]);
  const int count = _wtoi(argv[2]);
  SettingsManager settings(argv[3]);
  settings.SetString(u"GatewayHost", u"127.0.0.1:" + port);
  settings.SetString(u"UserName", u"bench");
  settings.SetString(u"Password", u"bench");
  ThreadCodePage codePage;
  SystemClock clock;
  auto contact = std::make_shared<BenchContact>();
  auto manager = MakeHTTPManager(settings, codePage, clock);

  int accepted = 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) {
    SMSMessage message(codePage, clock, contact, "Reminder " + std::to_string(i), 0);
    if (message.Send(*manager) == 0 && message.accepted()) ++accepted;
  }
  QueryPerformanceCounter(&end);
  const double total = Seconds(start, end);
  std::printf("gateway client: %d sends, %d accepted, %.3f s, %.3f ms per message\n", count, accepted,
              total, total * 1000 / count);
  return accepted == count ? 0 : 1;
}
