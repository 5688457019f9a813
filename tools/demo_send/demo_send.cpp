// Sends SMS to a few sample contacts through the add-in's gateway client,
// with the settings of the user's Settings.ini, and prints the delivery
// report. scripts/demo.sh runs it against the gateway simulator.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gateway/delivery_report.h"
#include "gateway/message_text.h"
#include "gateway/sms_message.h"
#include "gateway/wininet_exchange_win.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "store/settings_manager.h"

namespace {

class SampleContact : public ContactItem {
 public:
  SampleContact(std::u16string name, std::optional<std::u16string> mobile)
      : name_(std::move(name)), mobile_(std::move(mobile)) {}
  std::optional<std::u16string> FullName() override { return name_; }
  std::optional<std::u16string> FirstName() override { return name_.substr(0, name_.find(u' ')); }
  std::optional<std::u16string> MobileTelephoneNumber() override { return mobile_; }
  std::optional<std::u16string> PrimaryTelephoneNumber() override { return std::nullopt; }
  std::optional<std::u16string> EntryID() override { return std::nullopt; }

 private:
  std::u16string name_;
  std::optional<std::u16string> mobile_;
};

void PrintUtf8(const std::u16string& text) {
  const auto* wide = reinterpret_cast<const wchar_t*>(text.c_str());
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
  std::fputs(utf8.c_str(), stdout);
}

struct Sample {
  const char16_t* name;
  std::optional<std::u16string> mobile;
  const char16_t* text;
  unsigned alphabet;
};

}  // namespace

int main() {
  SettingsManager& settings = SettingsManager::Instance();
  ThreadCodePage codePage;
  SystemClock clock;
  std::printf("Settings file: ");
  PrintUtf8(std::u16string(reinterpret_cast<const char16_t*>(settings.SettingsPath().c_str())) + u"\n");

  const Sample samples[] = {
      {u"Ann Example", u"+64 (21) 555 1234", u"Your appointment is tomorrow at 10:30 & please bring the form.", 0},
      {u"Rex Reserved", u"555 0100", u"Hello Rex", 0},
      {u"Nora Nonumber", std::nullopt, u"Hello Nora", 0},
      {u"Ula \u0423\u043B\u0430", u"021 777 888", u"Kia ora! \u041F\u0440\u0438\u0432\u0435\u0442 \u20AC", 1},
  };
  auto gateway = MakeHTTPManager(settings, codePage, clock);
  std::vector<std::unique_ptr<SMSMessage>> records;
  for (const Sample& sample : samples) {
    settings.SetInt(u"Alphabet", static_cast<int>(sample.alphabet));
    auto contact = std::make_shared<SampleContact>(sample.name, sample.mobile);
    records.push_back(std::make_unique<SMSMessage>(
        codePage, clock, contact, EncodeMessageText(sample.text, sample.alphabet, codePage), 0));
    const HResult status = records.back()->Send(*gateway);
    PrintUtf8(std::u16string(u"sent to ") + sample.name + (sample.alphabet ? u" (Unicode)" : u" (GSM)"));
    std::printf(": status 0x%08X\n", static_cast<unsigned>(status));
  }
  settings.SetInt(u"Alphabet", 0);

  std::vector<const SMSMessage*> listed;
  for (const auto& record : records) listed.push_back(record.get());
  std::printf("\n");
  PrintUtf8(BuildDeliveryReport(listed, codePage));
  return 0;
}
