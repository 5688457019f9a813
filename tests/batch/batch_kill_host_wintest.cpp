// A mail client killed during a long batch run, or while its report is
// open, keeps on disk every reminder the gateway accepted more than 2 s
// before the kill: the registered add-in in the stand-in host sends 200
// reminders at a modelled 50 ms round trip, and the host is killed at five
// moments. The history file is then read as the next start would read it.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dialog_user.h"
#include "resource_ids.h"
#include "simulator_log.h"
#include "store/history_file.h"
#include "store/settings_manager.h"
#include "support/child_process.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::wstring kTitle = L"Send batch SMS";
constexpr int kReminders = 200;
// A reminder accepted this long before the kill must be on disk.
constexpr std::chrono::milliseconds kMayLose(2000);
// Between the simulator logging a request and its reply leaving: the
// modelled round trip, and slack for the poll.
constexpr std::chrono::milliseconds kLogToReply(100);

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Patient i: a mobile number that the gateway gets as it is stored, and a
// meeting of their own at a minute of its own, so that every reminder's
// text is different.
std::string StoreJson() {
  std::string contacts, calendar;
  for (int i = 0; i < kReminders; ++i) {
    char number[32], start[32];
    std::snprintf(number, sizeof number, "64215550%03d", i);
    const int minutes = 8 * 60 + (i % 100) * 5;
    std::snprintf(start, sizeof start, "today+%d %02d:%02d", 1 + i / 100, minutes / 60, minutes % 60);
    const std::string key = "p" + std::to_string(i);
    contacts += (i ? "," : "") + std::string(R"({"key": ")") + key + R"(", "fullName": "Patient )" +
                std::to_string(i) + R"(", "firstName": "P", "mobile": ")" + number + "\"}";
    calendar += (i ? "," : "") + std::string(R"({"subject": "Visit", "start": ")") + start +
                R"(", "recipients": [{"contact": ")" + key + "\"}]}";
  }
  return R"({"contacts": [)" + contacts + R"(], "calendar": [)" + calendar + "]}";
}

struct Seen {
  LoggedRequest request;
  Clock::time_point at;
};

class BatchKill : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(RunToEnd(L"regsvr32.exe /s \"" + std::wstring(ADDIN_DLL_PATH) + L"\""), 0u);
  }
  static void TearDownTestSuite() {
    RunToEnd(L"regsvr32.exe /s /u \"" + std::wstring(ADDIN_DLL_PATH) + L"\"");
  }

  void SetUp() override {
    const std::string port = Env("GATEWAY_SIM_SLOW_PORT");
    ASSERT_FALSE(port.empty()) << "run through with_simulator.sh";
    wchar_t appData[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
    const std::wstring folder = std::wstring(appData) + L"\\RudizavADUZaziv";
    DeleteFileW((folder + L"\\Settings.ini").c_str());
    SettingsManager settings(folder);
    settings.SetString(u"GatewayHost", u"127.0.0.1:" + std::u16string(port.begin(), port.end()));
    settings.SetString(u"UserName", u"alice");
    settings.SetString(u"Password", u"s3cret");
    settings.SetString(u"SelectedTemplate", u"Visit [[appt date]] [[appt time]]");
    settings.SetString(u"TimeFrameUnitType", u"3");
    settings.SetString(u"TimeFrameUnitsCount", u"1");
    // Unicode: the text goes as hexadecimal digits, as the history keeps it.
    settings.SetString(u"Alphabet", u"1");
    settings.SetString(u"ShowDeliveryResults", u"1");
    historyPath_ = settings.HistoryPath();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    storePath_ = std::wstring(temp) + L"batch_kill_store.json";
    std::ofstream(storePath_.c_str()) << StoreJson();
  }
  void TearDown() override { DeleteFileW(storePath_.c_str()); }

  // One run from a fresh history, killed once `killWhen` says so; gives
  // the requests the gateway logged, each with when the test first saw it,
  // and the moment of the kill.
  std::vector<Seen> RunAndKill(const std::function<bool(const std::vector<Seen>&, HWND dialog)>& killWhen,
                               Clock::time_point& killedAt) {
    DeleteFileW(historyPath_.c_str());
    const size_t before = SettledLogSize();
    std::wstring command = L"\"" + std::wstring(HOST_PATH) + L"\" --store \"" + storePath_ +
                           L"\" --addin QuorvalSmsOutlookAddin.QuorvalOAddin --click NewBatchSMSMessage";
    ChildProcess host(command);
    std::vector<Seen> seen;
    if (!host.Started()) {
      ADD_FAILURE() << "the host did not start: " << host.StartError();
      return seen;
    }
    DialogUser user;
    HWND dialog = user.WaitForDialog(kTitle, 60000);
    EXPECT_NE(dialog, nullptr);
    if (dialog) {
      EXPECT_TRUE(user.Click(dialog, IDC_SEND_NOW));
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(120);
    while (dialog && Clock::now() < deadline) {
      const auto requests = log_.Requests();
      for (size_t i = before + seen.size(); i < requests.size(); ++i) seen.push_back({requests[i], Clock::now()});
      if (killWhen(seen, dialog)) break;
      Sleep(10);
    }
    EXPECT_LT(Clock::now(), deadline) << "the moment to kill never came";
    killedAt = Clock::now();
    host.Kill();
    return seen;
  }

  // The simulator logs a request once its modelled round trip is over, so
  // one that a killed host sent may still come: the log has settled when
  // nothing came for half a second.
  size_t SettledLogSize() const {
    size_t size = log_.Requests().size();
    for (int quiet = 0; quiet < 5; ++quiet) {
      Sleep(100);
      const size_t now = log_.Requests().size();
      if (now != size) quiet = -1;
      size = now;
    }
    return size;
  }

  // The file holds, whole, every reminder accepted before the kill less
  // the time that may be lost, and nothing the gateway did not accept.
  void ExpectKeptOnDisk(const std::vector<Seen>& seen, Clock::time_point killedAt) {
    ParsedHistory parsed;
    // Killed before the first save, a run leaves no file.
    if (GetFileAttributesW(historyPath_.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ASSERT_EQ(ReadHistoryFile(historyPath_, parsed), 0) << "the history file is readable";
      EXPECT_FALSE(parsed.damaged) << "no torn entry";
    }
    size_t mustBeKept = 0, accepted = 0;
    std::set<std::string> numbers;
    for (const Seen& entry : seen) {
      EXPECT_TRUE(numbers.insert(entry.request.Param("to")).second)
          << entry.request.Param("to") << " was sent to twice";
      if (entry.request.reply.rfind("accepted", 0) != 0) continue;
      ++accepted;
      if (entry.at + kLogToReply + kMayLose > killedAt) continue;
      ++mustBeKept;
      const std::string number = entry.request.Param("to");
      const std::string text = "_" + entry.request.Param("message");
      bool kept = false;
      for (const auto& [key, sendTime] : parsed.entries) {
        kept = kept || (key.find("_" + number + "_") != std::string::npos && key.size() > text.size() &&
                        key.compare(key.size() - text.size(), text.size(), text) == 0 && sendTime > 0);
      }
      EXPECT_TRUE(kept) << "the reminder to " << number << " was accepted "
                        << std::chrono::duration_cast<std::chrono::milliseconds>(killedAt - entry.at).count()
                        << " ms before the kill and is not on disk";
    }
    EXPECT_LE(parsed.entries.size(), accepted) << "only what the gateway accepted";
    RecordProperty("accepted", static_cast<int>(accepted));
    RecordProperty("kept", static_cast<int>(parsed.entries.size()));
    std::printf("killed after %zu accepted (%zu of them over 2 s before): %zu on disk\n", accepted, mustBeKept,
                parsed.entries.size());
  }

  SimulatorLog log_{"GATEWAY_SIM_SLOW_LOG"};
  std::wstring historyPath_;
  std::wstring storePath_;
};

TEST_F(BatchKill, KilledDuringTheRunItLosesAtMostTheLastTwoSeconds) {
  for (size_t moment : {1u, 45u, 100u, 160u}) {
    SCOPED_TRACE("killed after " + std::to_string(moment) + " requests");
    Clock::time_point killedAt;
    const auto seen = RunAndKill([&](const std::vector<Seen>& requests, HWND) { return requests.size() >= moment; },
                                 killedAt);
    ExpectKeptOnDisk(seen, killedAt);
  }
}

TEST_F(BatchKill, KilledWhileTheReportIsOpenItKeepsEveryAcceptedReminder) {
  Clock::time_point killedAt;
  const auto seen = RunAndKill(
      [](const std::vector<Seen>&, HWND dialog) { return DialogUser().FindMessageBox(dialog, kTitle) != nullptr; },
      killedAt);
  ASSERT_EQ(seen.size(), static_cast<size_t>(kReminders));
  ParsedHistory parsed;
  ASSERT_EQ(ReadHistoryFile(historyPath_, parsed), 0);
  EXPECT_EQ(parsed.entries.size(), static_cast<size_t>(kReminders)) << "saved before the report was shown";
  ExpectKeptOnDisk(seen, killedAt);
}

}  // namespace
