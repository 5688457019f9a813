// Send runs on a real window against the gateway simulator: the window
// stays responsive while an exchange waits, input during a run is dropped,
// Escape stops the run and a dead gateway costs one exchange per run.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "gateway/delivery_report.h"
#include "ui/responsive_send_win.h"
#include "ui/run_in_progress.h"
#include "gateway_fakes.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "simulator_log.h"
#include "support/memory_settings.h"
#include "support/wait.h"

namespace {

constexpr DWORD kTimeoutMs = 2000;
constexpr wchar_t kTitle[] = L"Run window";
// Numbers the simulator plays faults for (sim_faults.txt).
constexpr char16_t kStalledNumber[] = u"6401100";
constexpr char16_t kSlowNumber[] = u"6400900";  // replies in pieces, about 0.1 s each

std::atomic<int> g_paints{0};
std::atomic<int> g_commands{0};

LRESULT CALLBACK RunWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      ++g_paints;
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_COMMAND:
      ++g_commands;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// A visible top-level window with one button, standing in for a dialog.
class RunWindow {
 public:
  RunWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RunWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ResponsiveSendTestWindow";
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(windowClass.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                            200, nullptr, nullptr, windowClass.hInstance, nullptr);
    button_ = CreateWindowW(L"BUTTON", L"Send", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, window_,
                            reinterpret_cast<HMENU>(1), windowClass.hInstance, nullptr);
    UpdateWindow(window_);
    g_paints = 0;
    g_commands = 0;
  }
  ~RunWindow() { DestroyWindow(window_); }
  HWND window() const { return window_; }
  HWND button() const { return button_; }

 private:
  HWND window_;
  HWND button_;
};

std::wstring Caption(HWND window) {
  wchar_t text[300] = {};
  GetWindowTextW(window, text, 300);
  return text;
}

// Waits until the run has put its busy suffix on the caption.
bool WaitForRunOn(HWND window) {
  for (int i = 0; i < 500; ++i) {
    if (Caption(window).find(L"Please wait") != std::wstring::npos) return true;
    Sleep(10);
  }
  return false;
}

class ResponsiveSendTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("GATEWAY_SIM_PORT");
    ASSERT_TRUE(port) << "run through with_simulator.sh";
    UseGateway(port);
  }

  void UseGateway(const std::string& port) {
    settings_.SetString(u"GatewayHost", codePage_.FromAnsi("127.0.0.1:" + port));
    settings_.SetString(u"UserName", u"alice");
    settings_.SetString(u"Password", u"s3cret");
  }

  // Sends `count` messages to `number` in one run, as the dialogs do.
  void SendRunOf(int count, const char16_t* number) {
    ResponsiveSend send(window_.window());
    auto gateway = send.MakeGateway(settings_, codePage_, clock_, kTimeoutMs);
    for (int i = 0; i < count; ++i) {
      auto contact = std::make_shared<FakeContact>();
      contact->fullName = u"Patient " + std::u16string(1, static_cast<char16_t>(u'A' + i));
      contact->mobile = number;
      messages_.push_back(std::make_unique<SMSMessage>(codePage_, clock_, contact, "Hi", 0));
      send.Run().Send(*messages_.back(), *gateway);
    }
    cause_ = send.Run().Cause();
  }

  int CountWithDetails(const std::string& details) const {
    int count = 0;
    for (const auto& message : messages_) count += message->failureDetails() == details;
    return count;
  }

  int Accepted() const {
    int count = 0;
    for (const auto& message : messages_) count += message->accepted();
    return count;
  }

  RunWindow window_;
  MemorySettings settings_;
  ThreadCodePage codePage_;
  SystemClock clock_;
  std::vector<std::unique_ptr<SMSMessage>> messages_;
  SendRun::StopCause cause_ = SendRun::StopCause::kNone;
};

TEST_F(ResponsiveSendTest, AStalledGatewayNeitherFreezesTheWindowNorCostsMoreThanOneTimeOut) {
  const HWND window = window_.window();
  const HWND button = window_.button();
  DWORD_PTR ignored = 0;
  LRESULT answered = 0;
  std::chrono::milliseconds answerTime{};
  int paintsBefore = 0, paintsDuring = 0;
  bool sawRun = false, sawRequest = false;
  SimulatorLog log;
  const size_t requestsBefore = log.Requests().size();
  std::thread other([&] {
    sawRun = WaitForRunOn(window);
    // The stalled exchange has reached the gateway: the run is waiting.
    sawRequest = WaitUntil([&] { return log.Requests().size() > requestsBefore; });
    const auto start = std::chrono::steady_clock::now();
    answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    answerTime = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    paintsBefore = g_paints;
    InvalidateRect(window, nullptr, TRUE);
    WaitUntil([&] { return g_paints > paintsBefore; }, std::chrono::milliseconds(2000));
    paintsDuring = g_paints;
    // A user clicking the button and typing while the run sends.
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(button, WM_KEYUP, VK_SPACE, 0);
  });
  const auto start = std::chrono::steady_clock::now();
  SendRunOf(20, kStalledNumber);
  const auto took = std::chrono::steady_clock::now() - start;
  other.join();

  ASSERT_TRUE(sawRun);
  ASSERT_TRUE(sawRequest);
  EXPECT_NE(answered, 0) << "the window's thread answered another thread's message";
  EXPECT_LT(answerTime.count(), 1000);
  EXPECT_GT(paintsDuring, paintsBefore) << "the window repainted while the exchange waited";
  // Whatever is left in the queue after the run is dropped too.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  EXPECT_EQ(g_commands, 0) << "no click reached the button";
  EXPECT_EQ(Caption(window), kTitle);

  EXPECT_EQ(cause_, SendRun::StopCause::kGatewayTimedOut);
  EXPECT_LT(took, std::chrono::milliseconds(kTimeoutMs * 3)) << "one time-out for the run";
  ASSERT_EQ(messages_.size(), 20u);
  EXPECT_NE(messages_[0]->reportText().find("did not answer in time"), std::string::npos)
      << messages_[0]->reportText();
  EXPECT_EQ(CountWithDetails("The run was stopped because the SMS gateway did not answer in time."), 19);
  const std::u16string report = BuildDeliveryReport(ReportLines(
      [&] {
        std::vector<const SMSMessage*> listed;
        for (const auto& m : messages_) listed.push_back(m.get());
        return listed;
      }()));
  EXPECT_EQ(std::count(report.begin(), report.end(), u'\n'), 22) << "heading, blank line, 20 lines";
}

TEST_F(ResponsiveSendTest, ARefusedConnectionStopsTheRunAfterTheFirstMessage) {
  const char* refusing = std::getenv("GATEWAY_SIM_REFUSE_PORT");
  ASSERT_TRUE(refusing);
  UseGateway(refusing);
  SendRunOf(20, u"6421555");
  EXPECT_EQ(cause_, SendRun::StopCause::kGatewayUnreachable);
  ASSERT_EQ(messages_.size(), 20u);
  EXPECT_NE(messages_[0]->reportText().find("could not be reached"), std::string::npos);
  EXPECT_EQ(CountWithDetails("The run was stopped because the SMS gateway could not be reached."), 19);
}

TEST_F(ResponsiveSendTest, EscapeStopsTheRunAfterTheExchangeInProgress) {
  SimulatorLog log;
  const size_t requestsBefore = log.Requests().size();
  const HWND window = window_.window();
  std::thread user([&] {
    // Escape once the first slow reply has ended (the simulator logs a
    // request after its reply), while the next exchange is in progress.
    if (!WaitForRunOn(window) || !WaitUntil([&] { return log.Requests().size() > requestsBefore; })) return;
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0);
  });
  SendRunOf(20, kSlowNumber);
  user.join();

  EXPECT_EQ(cause_, SendRun::StopCause::kStoppedByUser);
  const int sent = Accepted();
  const int stopped = CountWithDetails("The run was stopped before this message was sent.");
  EXPECT_GE(sent, 1);
  EXPECT_GE(stopped, 1);
  EXPECT_EQ(sent + stopped, 20) << "every message either went out or was stopped";
  EXPECT_EQ(log.Requests().size() - requestsBefore, static_cast<size_t>(sent))
      << "no request after the stop";
  EXPECT_EQ(messages_.back()->reportText(),
            "Message for Patient T was not sent. Details: The run was stopped before this message was sent.");
}

// Takes WM_QUIT out of this thread's queue; its exit code, or -1 when there is none.
long TakeQuit() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<long>(message.wParam);
  }
  return -1;
}

// The mail client closing while a run sends.
TEST_F(ResponsiveSendTest, AQuitStopsTheRunAsEscapeDoesAndReachesTheClientOnceTheRunIsOver) {
  SimulatorLog log;
  const size_t requestsBefore = log.Requests().size();
  const HWND window = window_.window();
  const DWORD thread = GetCurrentThreadId();
  std::thread client([&] {
    if (!WaitForRunOn(window) || !WaitUntil([&] { return log.Requests().size() > requestsBefore; })) return;
    PostThreadMessageW(thread, WM_QUIT, 7, 0);
  });
  long quitBeforeTheReport = -1;
  {
    const RunInProgress run;
    SendRunOf(20, kSlowNumber);
    client.join();
    quitBeforeTheReport = TakeQuit();
  }
  EXPECT_EQ(cause_, SendRun::StopCause::kStoppedByUser);
  const int sent = Accepted();
  const int stopped = CountWithDetails("The run was stopped before this message was sent.");
  EXPECT_GE(stopped, 1);
  EXPECT_EQ(sent + stopped, 20);
  EXPECT_EQ(log.Requests().size() - requestsBefore, static_cast<size_t>(sent));
  EXPECT_EQ(quitBeforeTheReport, -1) << "held while the run's report is shown";
  EXPECT_EQ(TakeQuit(), 7) << "posted again once the run is over";
}

TEST_F(ResponsiveSendTest, TheBusyCaptionLastsAsLongAsTheScope) {
  {
    ResponsiveSend send(window_.window());
    EXPECT_NE(Caption(window_.window()).find(L" - Please wait to send SMS list..."), std::wstring::npos);
  }
  EXPECT_EQ(Caption(window_.window()), kTitle);
}

}  // namespace
