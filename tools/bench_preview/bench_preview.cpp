// "Pre&view..." on a large run: planning about 2,000 reminders in the
// stand-in (generated store, series answered Yes) and the preview dialog
// from DoModal to its first paint, next to a "Send now" run of the same
// frame with an in-memory gateway that accepts everything (the plan should
// cost no more than the run) and the dialog on a plan of one row. Prints
// "BENCH name=... value=..." lines for tools/bench_all.sh.
#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/access/automation_mail_client.h"
#include "batch/reminder_preview_win.h"
#include "batch/reminder_run.h"
#include "gateway/gateway_fakes.h"
#include "generator/store_generator.h"
#include "platform/clock_win.h"
#include "resource_ids.h"
#include "standin/stand_in.h"
#include "store/sent_history.h"
#include "support/memory_settings.h"
#include "ui/module_instance.h"

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

namespace {

class AnswerYes : public Prompt {
 public:
  bool AskYesNo(const std::u16string&, const std::u16string&) override { return true; }
  void Show(const std::u16string&, const std::u16string&) override {}
};

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Bench {
  std::unique_ptr<standin::StandIn> standIn;
  std::shared_ptr<MailClient> client;
  MemorySettings settings;
  SentHistory history;
  AnswerYes prompt;
  Latin1CodePage codePage;
  FixedClock clock{0};

  Bench(const std::string& store, double now)
      : standIn(standin::StandIn::FromJson(store, "generated store")), clock(now) {
    client = outlook::MakeMailClient(outlook::Dispatch(standIn->Application()));
    settings.SetString(u"GatewayHost", u"gw.example.net");
  }
  ReminderRun Reminders() {
    return ReminderRun({*client, settings, history, prompt, codePage, clock}, u"Send batch SMS");
  }
};

ReminderRequest Request() {
  ReminderRequest request;
  request.frameUnit = Unit::Days;
  request.frameCount = 30;
  request.mode = SendMode::ByLeadTime(Unit::Hours, 2);
  request.templateText = u"Hi [[first name]], your appointment is on [[appt date]] at [[appt time]].";
  return request;
}

double openStarted = 0, opened = 0;

// Runs in the dialog's modal loop once it has painted: a timer comes after
// every paint in the queue.
void CALLBACK AfterOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  opened = Now() - openStarted;
  PostMessageW(FindWindowW(L"#32770", L"Preview of the reminders"), WM_COMMAND, IDCANCEL, 0);
}

double OpenSeconds(ReminderPlan& plan) {
  MemorySettings defaults;
  CReminderPreview preview(plan, {{L"by the lead time", plan.mode}}, 0, SendingOptions::Read(defaults));
  opened = 0;
  SetTimer(nullptr, 0, 1, AfterOpen);
  openStarted = Now();
  preview.DoModal(nullptr);
  return opened;
}

}  // namespace

int main() {
  if (FAILED(OleInitialize(nullptr))) return 1;
  int status = 1;
  try {
    standin::GeneratedStoreShape shape;
    shape.contacts = 3000;
    shape.meetings = 285;
    shape.attendees = 5;
    const std::string store = standin::GenerateStore(shape);
    const double now = SystemClock().NowLocal();
    std::vector<double> planSeconds, runSeconds, openSeconds, oneRowSeconds;
    std::size_t rows = 0;
    for (int round = 0; round < 5; ++round) {
      Bench planning(store, now);
      double from = Now();
      std::optional<ReminderPlan> plan = planning.Reminders().Plan(Request());
      planSeconds.push_back(Now() - from);
      if (!plan) throw std::runtime_error("no meetings planned");
      rows = plan->messages.size();
      openSeconds.push_back(OpenSeconds(*plan));
      ReminderPlan one = *plan;
      one.messages.resize(1);
      oneRowSeconds.push_back(OpenSeconds(one));

      Bench running(store, now);
      std::vector<std::string> requests;
      SendRun run;
      std::vector<std::unique_ptr<SMSMessage>> messages;
      from = Now();
      running.Reminders().Run(Request(), run, [&] {
        return std::make_unique<HTTPManager>(
            running.settings, running.codePage, running.clock,
            std::make_unique<RuleExchange>([](const std::string&) { return Answer(200, "accepted,1,2,3,4,5,Queued"); },
                                           &requests));
      }, messages);
      runSeconds.push_back(Now() - from);
    }
    const double plan = Median(planSeconds), run = Median(runSeconds), open = Median(openSeconds),
                 oneRow = Median(oneRowSeconds);
    std::printf("Preview of a run over a four-week frame: %zu rows (medians of 5)\n", rows);
    std::printf("  plan: %.3f s   the same run sending (in-memory gateway): %.3f s\n", plan, run);
    std::printf("  dialog open to first paint: %.4f s   with one row: %.4f s\n", open, oneRow);
    std::printf("  plan and open: %.3f s (target: the dialog opens in < 1 s)\n", plan + open);
    const int ok = rows >= 2000 && opened > 0 ? 1 : 0;
    std::printf("BENCH name=preview/open/%zu value=%.4f unit=s baseline=%.4f baseline_is=one-row-preview "
                "target=value<1 source=required ok=%d\n",
                rows, open, oneRow, ok);
    std::printf("BENCH name=preview/plan/%zu value=%.3f unit=s baseline=%.3f baseline_is=send-now-run "
                "target=ratio<=1 source=proposed ok=%d\n",
                rows, plan, run, ok);
    status = ok ? 0 : 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_preview: %s\n", failure.what());
  }
  OleUninitialize();
  return status;
}
