// The gateway fault campaign: for every way the gateway can fail, a run of
// a few messages through the real send machinery (ResponsiveSend on a real
// window, WinINet, the simulator playing the fault). The process survives,
// every message gets the report line that names the cause, the run costs
// at most about one time-out, and a run that stopped did not send the
// messages after the stop. What single exchanges make of each body is
// pinned in gateway_exchange_wintest.cpp; the window's responsiveness in
// responsive_send_wintest.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gateway/delivery_report.h"
#include "gateway/reply_body.h"
#include "ui/responsive_send_win.h"
#include "gateway_fakes.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "simulator_log.h"
#include "support/memory_settings.h"

namespace {

// Short, so that the stalled and trickling cases stay quick.
constexpr DWORD kTimeoutMs = 2000;
// A correctness bound, not a benchmark: a run that waits out one time-out
// and closes its connection stays well inside it, one that waits per
// message or per byte does not.
constexpr std::chrono::milliseconds kRunBound(3 * kTimeoutMs);
constexpr int kMessagesPerRun = 3;

// What a message's report line says after "Details: ", or that it has none.
enum class Line {
  kNotUnderstood,     // a reply that is not understood: the record keeps no line, the user is told
  kQueued,            // sent, "Message queued for delivery"
  kQueuedAndFiller,   // sent, the details running on into the filler
  kStatus500,         // "... answered with HTTP status 500."
  kInvalid,           // "... did not give a valid HTTP answer."
  kNoAnswer,          // "... closed the connection without answering."
  kUnreachable,       // "... could not be reached."
  kTimedOut,          // "... did not answer in time."
  kStoppedUnreachable,
  kStoppedTimedOut,
};

struct FaultCase {
  const char* name;
  // The recipient number the simulator plays the fault for
  // (sim_faults.txt); "refuse" sends to the simulator that refuses.
  const char16_t* number;
  // The report line of the run's first message and of the later ones.
  Line first;
  Line later;
  // Requests the simulator logs for the run.
  int requests;
};

const FaultCase kCases[] = {
    {"refuse", u"6401500", Line::kUnreachable, Line::kStoppedUnreachable, 0},
    {"stall", u"6401100", Line::kTimedOut, Line::kStoppedTimedOut, 1},
    {"stallbody", u"6401200", Line::kTimedOut, Line::kStoppedTimedOut, 1},
    {"reset", u"6401300", Line::kInvalid, Line::kInvalid, kMessagesPerRun},
    {"status500", u"6400500", Line::kStatus500, Line::kStatus500, kMessagesPerRun},
    {"html", u"6400600", Line::kNotUnderstood, Line::kNotUnderstood, kMessagesPerRun},
    {"garbage", u"6400700", Line::kNotUnderstood, Line::kNotUnderstood, kMessagesPerRun},
    {"huge", u"6400800", Line::kQueuedAndFiller, Line::kQueuedAndFiller, kMessagesPerRun},
    {"chunked", u"6400900", Line::kQueued, Line::kQueued, kMessagesPerRun},
    {"nul", u"6401000", Line::kQueued, Line::kQueued, kMessagesPerRun},
    {"trickle", u"6401400", Line::kTimedOut, Line::kStoppedTimedOut, 1},
    // Exactly one request per message: WinINet must not send it again on
    // its own after the close.
    {"close", u"6401600", Line::kNoAnswer, Line::kNoAnswer, kMessagesPerRun},
};

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void PrintTo(const FaultCase& fault, std::ostream* out) { *out << fault.name; }

class FaultCampaign : public testing::TestWithParam<FaultCase> {
 protected:
  // A visible top-level window for the runs' busy indication, one for
  // the suite: without a window manager Wine takes about 2 s to close one.
  static void SetUpTestSuite() {
    window_ = CreateWindowW(L"STATIC", L"Fault campaign", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(window_); }

  void SetUp() override {
    const bool refused = std::string(GetParam().name) == "refuse";
    port_ = Env(refused ? "GATEWAY_SIM_REFUSE_PORT" : "GATEWAY_SIM_PORT");
    ASSERT_FALSE(port_.empty()) << "run through with_simulator.sh";
    ASSERT_NE(window_, nullptr);
    settings_.SetString(u"GatewayHost", codePage_.FromAnsi("127.0.0.1:" + port_));
    settings_.SetString(u"UserName", u"alice");
    settings_.SetString(u"Password", u"s3cret");
  }

  // The run as the dialogs make it: one gateway client for its messages.
  void Run() {
    ResponsiveSend send(window_);
    auto gateway = send.MakeGateway(settings_, codePage_, clock_, kTimeoutMs);
    for (int i = 0; i < kMessagesPerRun; ++i) {
      auto contact = std::make_shared<FakeContact>();
      contact->fullName = u"Patient " + std::u16string(1, static_cast<char16_t>(u'A' + i));
      contact->mobile = GetParam().number;
      messages_.push_back(std::make_unique<SMSMessage>(codePage_, clock_, contact, "Hi", 0));
      send.Run().Send(*messages_.back(), *gateway);
      messages_.back()->ReleaseContact();
    }
  }

  std::string Details(Line line) const {
    const std::string gateway = "The SMS gateway at 127.0.0.1:" + port_;
    switch (line) {
      case Line::kQueued:
      case Line::kQueuedAndFiller:
        return "Message queued for delivery";
      case Line::kStatus500:
        return gateway + " answered with HTTP status 500.";
      case Line::kInvalid:
        return gateway + " did not give a valid HTTP answer.";
      case Line::kNoAnswer:
        return gateway + " closed the connection without answering.";
      case Line::kUnreachable:
        return gateway + " could not be reached.";
      case Line::kTimedOut:
        return gateway + " did not answer in time.";
      case Line::kStoppedUnreachable:
        return "The run was stopped because the SMS gateway could not be reached.";
      case Line::kStoppedTimedOut:
        return "The run was stopped because the SMS gateway did not answer in time.";
      case Line::kNotUnderstood:
        break;
    }
    return {};
  }

  void ExpectLine(const SMSMessage& message, const std::string& contact, Line line) const {
    const std::string& text = message.reportText();
    switch (line) {
      case Line::kNotUnderstood: {
        EXPECT_EQ(text, "") << contact;
        EXPECT_FALSE(message.accepted()) << contact;
        const std::string line = "Message for " + contact + " may not have been sent. Details: " + kReplyNotUnderstood;
        EXPECT_EQ(message.ReportLine(), std::u16string(line.begin(), line.end()));
        return;
      }
      case Line::kQueued:
        EXPECT_EQ(text, "Message for " + contact + " was sent successfully. Details: " + Details(line));
        return;
      case Line::kQueuedAndFiller: {
        const std::string start = "Message for " + contact + " was sent successfully. Details: " + Details(line) + "\n";
        EXPECT_EQ(text.substr(0, start.size()), start);
        EXPECT_LE(text.size(), start.size() + ReplyBody::kMaxBytes) << "no more of the body than the cap";
        return;
      }
      case Line::kUnreachable:
      case Line::kStoppedUnreachable:
      case Line::kStoppedTimedOut:
        // The request never left: certainly not sent.
        EXPECT_FALSE(message.uncertain()) << contact;
        EXPECT_EQ(text, "Message for " + contact + " was not sent. Details: " + Details(line));
        return;
      default:
        // The simulator's log shows the request arrived: the gateway may have it.
        EXPECT_TRUE(message.uncertain()) << contact;
        EXPECT_EQ(text, "Message for " + contact + " may not have been sent. Details: " + Details(line));
    }
  }

  int RequestsTo(const std::string& number) const {
    int count = 0;
    for (const auto& request : log_.Requests()) count += request.Param("to") == number;
    return count;
  }

  static HWND window_;
  MemorySettings settings_;
  ThreadCodePage codePage_;
  SystemClock clock_;
  SimulatorLog log_;
  std::string port_;
  std::vector<std::unique_ptr<SMSMessage>> messages_;
};

HWND FaultCampaign::window_ = nullptr;

TEST_P(FaultCampaign, EveryMessageGetsItsCauseWithinOneTimeOut) {
  const FaultCase& fault = GetParam();
  const std::string number = codePage_.ToAnsi(fault.number);
  const int before = RequestsTo(number);
  const auto start = std::chrono::steady_clock::now();
  Run();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);

  RecordProperty("run_ms", static_cast<int>(took.count()));
  EXPECT_LT(took, kRunBound) << "a " << kTimeoutMs << " ms time-out per run, this one took " << took.count() << " ms";
  ASSERT_EQ(messages_.size(), static_cast<std::size_t>(kMessagesPerRun));
  for (int i = 0; i < kMessagesPerRun; ++i) {
    const std::string contact = "Patient " + std::string(1, static_cast<char>('A' + i));
    ExpectLine(*messages_[i], contact, i == 0 ? fault.first : fault.later);
  }
  EXPECT_EQ(RequestsTo(number) - before, fault.requests)
      << "one request per message sent, none after the run stopped";

  std::vector<const SMSMessage*> listed;
  for (const auto& message : messages_) listed.push_back(message.get());
  const std::u16string report = BuildDeliveryReport(ReportLines(listed));
  EXPECT_EQ(std::count(report.begin(), report.end(), u'\n') - 2,
            kMessagesPerRun + (fault.first == Line::kQueuedAndFiller ? kMessagesPerRun : 0))
      << "one line per message (the filler's details carry a line break of their own)";
}

INSTANTIATE_TEST_SUITE_P(Gateway, FaultCampaign, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
