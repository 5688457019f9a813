// One "Send now" reminder run over the planning benchmark's four-week
// frame (the stand-in's generated store: 10,000 contacts, 2,000 meetings
// of 5 attendees, the series answered Yes) on a server that lets a session
// hold 250 items open at once, next to the same run without the limit: the
// most items open at once, whether every planned reminder went out (the
// gateway requests of both runs compared, in order), calls into the mail
// client and wall time. The gateway is an in-memory one that accepts
// everything, so the times are the run's own. The figures also go out as
// "BENCH name=... value=... ..." lines for tools/bench_all.sh.
#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/access/automation_mail_client.h"
#include "batch/meeting_collection.h"
#include "batch/reminder_run.h"
#include "batch/time_frame.h"
#include "gateway/gateway_fakes.h"
#include "generator/store_generator.h"
#include "platform/clock_win.h"
#include "standin/stand_in.h"
#include "store/sent_history.h"
#include "support/memory_settings.h"

namespace {

constexpr long kOpenItemLimit = 250;

// Every series is wanted whole; the report is kept.
class AnswerYes : public Prompt {
 public:
  bool AskYesNo(const std::u16string&, const std::u16string&) override { return true; }
  void Show(const std::u16string& text, const std::u16string&) override { report = text; }
  std::u16string report;
};

struct Figures {
  std::vector<std::string> requests;
  // Report lines that say neither "sent successfully" nor that the contact
  // has no number (which the generator makes every tenth contact).
  long otherLines = 0;
  long calls = 0;
  std::string callsByMember;
  long mostOpen = 0;
  double seconds = 0;
};

long OtherLines(const std::u16string& report) {
  long count = 0;
  size_t from = report.find(u"\n\n");
  if (from == std::u16string::npos) return 0;
  for (from += 2; from < report.size();) {
    const size_t end = report.find(u'\n', from);
    const std::u16string line = report.substr(from, end - from);
    count += line.find(u" was sent successfully.") == std::u16string::npos &&
             line.find(u"Contact does not have a phone number assigned!") == std::u16string::npos;
    if (end == std::u16string::npos) break;
    from = end + 1;
  }
  return count;
}

Figures Run(const std::string& store, std::optional<long> limit, double now) {
  auto standIn = standin::StandIn::FromJson(store, "generated store");
  standIn->SetOpenItemLimit(limit);
  auto client = outlook::MakeMailClient(outlook::Dispatch(standIn->Application()));
  MemorySettings settings;
  settings.SetString(u"GatewayHost", u"gw.example.net");
  SentHistory history;
  AnswerYes prompt;
  Latin1CodePage codePage;
  // Both runs see the same now, so that they plan the same frame.
  FixedClock clock(now);
  ReminderRequest request;
  request.frameUnit = Unit::Days;
  request.frameCount = 30;
  request.templateText = u"Hi [[first name]], your appointment is on [[appt date]] at [[appt time]].";
  Figures f;
  SendRun run;
  std::vector<std::unique_ptr<SMSMessage>> messages;
  standIn->Calls().Reset();
  standIn->ResetMostOpenItems();
  const auto started = std::chrono::steady_clock::now();
  ReminderRun({*client, settings, history, prompt, codePage, clock}, u"Send batch SMS")
      .Run(request, run, [&] {
        return std::make_unique<HTTPManager>(
            settings, codePage, clock,
            std::make_unique<RuleExchange>([](const std::string&) { return Answer(200, "accepted,1,2,3,4,5,Queued"); },
                                           &f.requests));
      }, messages);
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  f.calls = standIn->Calls().Total();
  f.callsByMember = standIn->Calls().Report();
  f.mostOpen = standIn->MostOpenItems();
  f.otherLines = OtherLines(prompt.report);
  return f;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Print(const char* what, const Figures& f) {
  std::printf("  %-22s %8zu requests %6ld other lines %10ld calls %8.3f s   most items open at once %ld\n", what,
              f.requests.size(), f.otherLines, f.calls, f.seconds, f.mostOpen);
}

}  // namespace

int main() {
  if (FAILED(OleInitialize(nullptr))) return 1;
  int status = 1;
  try {
    standin::GeneratedStoreShape shape;  // the planning benchmark's large store
    shape.contacts = 10000;
    shape.meetings = 2000;
    shape.attendees = 5;
    const std::string store = standin::GenerateStore(shape);
    const double now = SystemClock().NowLocal();
    // Five rounds of each, taken in turn and each round in the other order,
    // so that neither a busy moment of a shared machine nor going second
    // decides the times: the medians are reported.
    std::vector<double> freeSeconds, limitedSeconds;
    Figures free, limited;
    for (int round = 0; round < 5; ++round) {
      if (round % 2 == 0) free = Run(store, std::nullopt, now);
      limited = Run(store, kOpenItemLimit, now);
      if (round % 2 == 1) free = Run(store, std::nullopt, now);
      freeSeconds.push_back(free.seconds);
      limitedSeconds.push_back(limited.seconds);
    }
    free.seconds = Median(freeSeconds);
    limited.seconds = Median(limitedSeconds);

    // The meetings of the frame, counted the way the run collects them.
    long meetings = 0;
    {
      auto standIn = standin::StandIn::FromJson(store, "generated store");
      auto client = outlook::MakeMailClient(outlook::Dispatch(standIn->Application()));
      FixedClock clock(now);
      AnswerYes yes;
      RecurringQuestion question(yes, u"Send batch SMS");
      meetings = static_cast<long>(
          CollectMeetings(*client, TimeFrameEnd(clock, Unit::Days, 30).value(), clock, question).size());
    }
    const bool same = limited.requests == free.requests;
    std::printf("One \"Send now\" run over a four-week frame: %ld meetings, %d contacts\n", meetings,
                shape.contacts);
    Print("without a limit", free);
    Print("open-item limit 250", limited);
    std::printf("calls by member, with the limit:\n%s\n", limited.callsByMember.c_str());
    std::printf("  the same requests in the same order: %s (%zu and %zu)\n", same ? "yes" : "NO",
                limited.requests.size(), free.requests.size());
    std::printf("  calls, limit / none: %.3f   time (medians of 5), limit / none: %.2f\n",
                static_cast<double>(limited.calls) / static_cast<double>(free.calls),
                limited.seconds / free.seconds);
    const int ok = same && limited.otherLines == 0 && !limited.requests.empty() ? 1 : 0;
    std::printf("BENCH name=open-items/most-open value=%ld unit=items baseline=%ld baseline_is=limit "
                "target=value<=25 source=required ok=%d\n",
                limited.mostOpen, kOpenItemLimit, ok);
    std::printf("BENCH name=open-items/calls value=%ld unit=calls baseline=%ld baseline_is=run-without-limit "
                "target=ratio<=1 source=proposed ok=%d\n",
                limited.calls, free.calls, ok);
    std::printf("BENCH name=open-items/time value=%.3f unit=s baseline=%.3f baseline_is=run-without-limit "
                "target=ratio<=1.1 source=proposed ok=%d\n",
                limited.seconds, free.seconds, ok);
    status = ok ? 0 : 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_open_items: %s\n", failure.what());
  }
  OleUninitialize();
  return status;
}
