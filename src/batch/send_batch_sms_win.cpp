#include "batch/send_batch_sms_win.h"

#include <commctrl.h>

#include <string>

#include "addin/access/automation_mail_client.h"
#include "batch/message_template_manager_win.h"
#include "batch/reminder_preview_win.h"
#include "batch/sent_history_dlg_win.h"
#include "batch/time_frame.h"
#include "resource_ids.h"
#include "ui/delivery_report_win.h"
#include "ui/responsive_send_win.h"
#include "ui/run_in_progress.h"

namespace {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A picker's value as a serial date; 0 when it has none.
double PickedDate(HWND picker) {
  SYSTEMTIME time{};
  if (DateTime_GetSystemtime(picker, &time) != GDT_VALID) return 0;
  double value = 0;
  SystemTimeToVariantTime(&time, &value);
  return value;
}

std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// Shows "<k> of <n>" after the busy caption while a run sends, so that a
// run of hundreds of reminders does not look frozen.
class ProgressCaption {
 public:
  explicit ProgressCaption(HWND window) : window_(window), busyCaption_(WindowText(window)) {}
  ~ProgressCaption() { SetWindowTextW(window_, busyCaption_.c_str()); }
  void Show(int done, int total) {
    const std::wstring caption =
        busyCaption_ + L" (" + std::to_wstring(done) + L" of " + std::to_wstring(total) + L")";
    SetWindowTextW(window_, caption.c_str());
  }

 private:
  HWND window_;
  std::wstring busyCaption_;
};

}  // namespace

CSendBatchSMS::CSendBatchSMS(outlook::Dispatch application, SettingsManager& store, DWORD exchangeTimeoutMs)
    : ModalDialog(IDD_SEND_BATCH_SMS),
      application_(std::move(application)),
      store_(store),
      exchangeTimeoutMs_(exchangeTimeoutMs) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
}

CSendBatchSMS::~CSendBatchSMS() = default;

bool CSendBatchSMS::OnInitDialog() {
  FillUnitLists();
  SetDlgItemInt(Window(), IDC_TIME_FRAME_COUNT,
                static_cast<UINT>(store_.GetInt(settings_key::kTimeFrameUnitsCount, 1)), TRUE);
  SetDlgItemInt(Window(), IDC_LEAD_TIME_COUNT, static_cast<UINT>(store_.GetInt(settings_key::kReminderUnitsCount, 1)),
                TRUE);
  ShowTemplate(store_.GetString(settings_key::kSelectedTemplate));
  store_.LoadHistory();
  title_ = ToU16(WindowText(Window()));
  return true;
}

void CSendBatchSMS::FillUnitLists() {
  HWND frame = GetDlgItem(Window(), IDC_TIME_FRAME_UNIT);
  for (Unit unit : TimeFrameUnits()) {
    SendMessageW(frame, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(UnitCaption(unit).c_str())));
  }
  const int frameCode =
      static_cast<int>(store_.GetInt(settings_key::kTimeFrameUnitType, static_cast<unsigned>(Unit::Days)));
  SendMessageW(frame, CB_SETCURSEL, static_cast<WPARAM>(TimeFramePositionOf(frameCode)), 0);

  HWND lead = GetDlgItem(Window(), IDC_LEAD_TIME_UNIT);
  for (Unit unit : LeadTimeUnits()) {
    SendMessageW(lead, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(UnitCaption(unit).c_str())));
  }
  const int leadCode =
      static_cast<int>(store_.GetInt(settings_key::kReminderUnitType, static_cast<unsigned>(Unit::Minutes)));
  SendMessageW(lead, CB_SETCURSEL, static_cast<WPARAM>(LeadTimePositionOf(leadCode)), 0);
}

void CSendBatchSMS::ShowTemplate(const std::u16string& text) {
  SetItemText(IDC_TEMPLATE_TEXT, text);
  for (int button : {IDC_SEND_BY_LEAD_TIME, IDC_SEND_NOW, IDC_SEND_ON_DATE, IDC_BATCH_PREVIEW}) EnableItem(button, !text.empty());
}

bool CSendBatchSMS::OnCommand(int id, int notification) {
  // Clicks that reach the dialog while a run sends (posted ones too) are
  // not for a second run.
  if (RunInProgress::Now()) return true;
  switch (id) {
    case IDC_TIME_FRAME_UNIT:
      if (notification != CBN_SELCHANGE) return false;
      {
        const std::optional<Unit> unit = TimeFrameUnitAt(SelectedPosition(IDC_TIME_FRAME_UNIT));
        EnableItem(IDC_TIME_FRAME_COUNT, unit != Unit::Today && unit != Unit::Tomorrow);
      }
      return true;
    case IDC_CHOOSE_TEMPLATE:
      ChooseTemplate();
      return true;
    case IDC_SEND_BY_LEAD_TIME:
      SendReminders(LeadTimeMode());
      return true;
    case IDC_SEND_NOW:
      SendReminders(SendMode::Now());
      return true;
    case IDC_SEND_ON_DATE:
      SendReminders(FixedDateMode());
      return true;
    case IDC_BATCH_PREVIEW:
      Preview();
      return true;
    case IDC_BATCH_CLOSE:
      CloseWithDefaults();
      return true;
    case IDC_BATCH_HISTORY:
      CSentHistory(store_, codePage_, clock_).DoModal(Window());
      return true;
    case IDOK:
    case IDCANCEL:
      Close(id);
      return true;
    default:
      return false;
  }
}

void CSendBatchSMS::ChooseTemplate() {
  CMessageTemplateManager manager(store_);
  if (manager.DoModal(GetActiveWindow()) == IDOK) ShowTemplate(manager.CurrentText());
}

int CSendBatchSMS::SignedNumber(int id) const {
  BOOL ok = FALSE;
  const int value = static_cast<int>(GetDlgItemInt(Window(), id, &ok, TRUE));
  return ok ? value : 0;
}

int CSendBatchSMS::SelectedPosition(int id) const {
  return static_cast<int>(SendDlgItemMessageW(Window(), id, CB_GETCURSEL, 0, 0));
}

SendMode CSendBatchSMS::LeadTimeMode() const {
  return SendMode::ByLeadTime(LeadTimeUnitAt(SelectedPosition(IDC_LEAD_TIME_UNIT)),
                              SignedNumber(IDC_LEAD_TIME_COUNT));
}

SendMode CSendBatchSMS::FixedDateMode() const {
  const double date = PickedDate(GetDlgItem(Window(), IDC_DELIVERY_DATE));
  const double time = PickedDate(GetDlgItem(Window(), IDC_DELIVERY_TIME));
  return SendMode::OnDate(CombineDateAndTime(date, time).value_or(date));
}

ReminderRequest CSendBatchSMS::Request(SendMode mode) const {
  ReminderRequest request;
  request.frameUnit = TimeFrameUnitAt(SelectedPosition(IDC_TIME_FRAME_UNIT));
  request.frameCount = SignedNumber(IDC_TIME_FRAME_COUNT);
  request.mode = mode;
  request.templateText = ItemText(IDC_TEMPLATE_TEXT);
  return request;
}

void CSendBatchSMS::SendReminders(SendMode mode) {
  const ReminderRequest request = Request(mode);
  Send([&](ReminderRun& reminders, SendRun& run, const ReminderRun::MakeGateway& makeGateway,
           const ReminderRun::Progress& progress) {
    return reminders.Run(request, run, makeGateway, messages_, progress);
  });
}

void CSendBatchSMS::Send(const Sending& sending) {
  const RunInProgress inProgress;
  ReportingPrompt prompt(Window());
  auto client = outlook::MakeMailClient(application_);
  bool ran = false;
  {
    ResponsiveSend send(Window());
    ProgressCaption progress(Window());
    ReminderRun reminders({*client, store_, store_.MutableHistory(), prompt, codePage_, clock_}, title_);
    reminders.SaveHistoryWith([this] { return SaveHistoryOrSayWhy(); });
    ran = sending(
        reminders, send.Run(), [&] { return send.MakeGateway(store_, codePage_, clock_, exchangeTimeoutMs_); },
        [&](int k, int n) { progress.Show(k, n); });
  }
  // The run saved what it recorded before its report; this catches a save
  // that failed then.
  if (ran) store_.SaveHistory();
}

// Plans as a send button would, by the mode the user picks in the preview
// (lead time first, as "&Send" is the first way the dialog offers), and
// sends the rows left checked.
void CSendBatchSMS::Preview() {
  ReportingPrompt prompt(Window());
  std::optional<ReminderPlan> plan;
  {
    auto client = outlook::MakeMailClient(application_);
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    ReminderRun planner({*client, store_, store_.MutableHistory(), prompt, codePage_, clock_}, title_);
    plan = planner.Plan(Request(LeadTimeMode()));
    SetCursor(previous);
  }
  if (!plan) return;
  CReminderPreview preview(*plan,
                           {{L"now, as \"Send now\"", SendMode::Now()},
                            {L"by the lead time, as \"Send\"", LeadTimeMode()},
                            {L"on the date, as \"Send on date\"", FixedDateMode()}},
                           1, SendingOptions::Read(store_));
  if (preview.DoModal(Window()) != IDC_PREVIEW_SEND) return;
  const std::vector<std::size_t> chosen = preview.Chosen();
  Send([&](ReminderRun& reminders, SendRun& run, const ReminderRun::MakeGateway& makeGateway,
           const ReminderRun::Progress& progress) {
    reminders.SendPlanned(*plan, chosen, run, makeGateway, messages_, progress);
    return true;
  });
}

std::u16string CSendBatchSMS::SaveHistoryOrSayWhy() {
  const HResult status = store_.SaveHistory();
  if (status == kStatusOk) return {};
  wchar_t code[16];
  swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(status));
  const std::wstring text = L"The history of sent messages could not be saved to \"" + store_.HistoryPath() +
                            L"\" (error " + code +
                            L"). The reminders of this run are kept and will be saved at the next chance.";
  return std::u16string(text.begin(), text.end());
}

void CSendBatchSMS::CloseWithDefaults() {
  if (IsChecked(IDC_SAVE_AS_DEFAULTS)) {
    store_.SetInt(settings_key::kTimeFrameUnitType, TimeFrameCodeAt(SelectedPosition(IDC_TIME_FRAME_UNIT)));
    store_.SetInt(settings_key::kReminderUnitType, LeadTimeCodeAt(SelectedPosition(IDC_LEAD_TIME_UNIT)));
    store_.SetInt(settings_key::kTimeFrameUnitsCount, SignedNumber(IDC_TIME_FRAME_COUNT));
    store_.SetInt(settings_key::kReminderUnitsCount, SignedNumber(IDC_LEAD_TIME_COUNT));
    store_.SetString(settings_key::kSelectedTemplate, ItemText(IDC_TEMPLATE_TEXT));
  }
  store_.SaveHistory();
  Close(IDOK);
}
