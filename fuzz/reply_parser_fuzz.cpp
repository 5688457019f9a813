// The gateway's reply, whatever it holds, parsed into a message record.
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "gateway/gateway_fakes.h"
#include "gateway/sms_message.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const Latin1CodePage codePage;
  static const FixedClock clock(45000.5);
  auto contact = std::make_shared<FakeContact>();
  contact->fullName = u"Jane \u00C5 \u738B";
  SMSMessage message(codePage, clock, contact, "Hi", 0);
  const std::string reply(reinterpret_cast<const char*>(data), size);
  message.ParseReply(reply);

  FUZZ_CHECK(message.reply() == reply);
  FUZZ_CHECK(message.sendTime() == clock.NowUtc());
  const bool known = reply.rfind("accepted", 0) == 0 || reply.rfind("error", 0) == 0 ||
                     reply.rfind("rejected", 0) == 0;
  FUZZ_CHECK(known == !message.reportText().empty());
  FUZZ_CHECK(message.accepted() == (reply.rfind("accepted", 0) == 0));
  // Details are always the reply's own text, never bytes from elsewhere.
  if (message.accepted()) {
    FUZZ_CHECK(EndsWith(reply, message.successDetails()));
    FUZZ_CHECK(EndsWith(message.reportText(), message.successDetails()));
  } else {
    FUZZ_CHECK(reply.find(message.failureDetails()) != std::string::npos);
  }
  if (known) FUZZ_CHECK(message.ReportLine().rfind(u"Message for Jane \u00C5 \u738B", 0) == 0);
  return 0;
}
