#include "send/send_sms_dlg_win.h"

#include <commctrl.h>

#include "addin/access/automation_mail_client.h"
#include "resource_ids.h"
#include "send/choose_contacts_win.h"
#include "send/message_counter.h"
#include "send/recipient_tokens.h"
#include "send/send_flow.h"
#include "store/sending_options.h"
#include "ui/delivery_report_win.h"
#include "ui/responsive_send_win.h"
#include "ui/run_in_progress.h"

namespace {

constexpr char16_t kGsmNote[] = u"Some characters are not in the GSM alphabet and will not arrive as typed.";

std::u16string Number(unsigned long long value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value);
  return digits;
}

}  // namespace

SendSMSDlg::SendSMSDlg(outlook::Dispatch application, Settings& settings, const CodePage& codePage,
                       const Clock& clock, DWORD exchangeTimeoutMs)
    : ModalDialog(IDD_SEND_SMS),
      application_(std::move(application)),
      settings_(settings),
      codePage_(codePage),
      clock_(clock),
      exchangeTimeoutMs_(exchangeTimeoutMs) {}

SendSMSDlg::~SendSMSDlg() = default;

bool SendSMSDlg::OnInitDialog() {
  UpdateSendButton();
  hook_.Attach(Window(), [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != kAutoCompleteNotify) return false;
    if (wParam == kNotifyTextChanged && lParam == IDC_RECIPIENTS && !RunInProgress::Now()) UpdateSendButton();
    result = 0;
    return true;
  });
  recipients_.Init(GetDlgItem(Window(), IDC_RECIPIENTS));
  recipients_.SetSeparatorMode(kRecipientSeparator);
  if (application_) directory_.Load(outlook::MakeMailClient(application_));
  recipients_.SetEntries(directory_.Keys());
  if (!initialRecipients_.empty()) {
    SetItemText(IDC_RECIPIENTS, initialRecipients_);
    UpdateSendButton();
  }
  SetFocus(GetDlgItem(Window(), initialRecipients_.empty() ? IDC_RECIPIENTS : IDC_MESSAGE_TEXT));
  return false;
}

bool SendSMSDlg::OnCommand(int id, int notification) {
  // Clicks posted while an exchange waits arrive here; the run owns the
  // dialog until it closes.
  if (RunInProgress::Now()) return true;
  switch (id) {
    case IDC_RECIPIENTS:
      if (notification != EN_CHANGE) return false;
      recipients_.OnTextChanged();
      return true;
    case IDC_MESSAGE_TEXT:
      if (notification != EN_CHANGE) return false;
      UpdateCounters();
      return true;
    case IDC_TO_BUTTON:
      if (notification != BN_CLICKED) return false;
      ChooseRecipients();
      return true;
    case IDOK:
      // Enter reaches here even while "Send" is disabled.
      if (IsWindowEnabled(GetDlgItem(Window(), IDOK)) && !RunInProgress::Now()) Send();
      return true;
    case IDCANCEL:
      Close(IDCANCEL);
      return true;
    default:
      return false;
  }
}

void SendSMSDlg::UpdateSendButton() {
  EnableItem(IDOK, !ItemText(IDC_MESSAGE_TEXT).empty() && !ItemText(IDC_RECIPIENTS).empty());
}

void SendSMSDlg::UpdateCounters() {
  std::u16string text = ItemText(IDC_MESSAGE_TEXT);
  const SendingOptions options = SendingOptions::Read(settings_);
  SetItemText(IDC_CHAR_COUNT, Number(text.size()));
  SetItemText(IDC_MESSAGE_COUNT, Number(MessageCount(text.size(), options)));
  SetItemText(IDC_GSM_NOTE, !options.HexEncodesText() && HasCharactersOutsideGsm(text) ? kGsmNote : u"");
  UpdateSendButton();
}

void SendSMSDlg::ChooseRecipients() {
  ChooseContacts chooser(ItemText(IDC_RECIPIENTS), directory_.entries());
  if (chooser.Run(Window()) != IDOK) return;
  SetItemText(IDC_RECIPIENTS, chooser.Result());
  UpdateSendButton();
}

void SendSMSDlg::Send() {
  const RunInProgress inProgress;
  const std::u16string title = [&] {
    wchar_t text[260] = {};
    GetWindowTextW(Window(), text, 260);
    return std::u16string(reinterpret_cast<const char16_t*>(text));
  }();
  ReportingPrompt prompt(Window());
  const SendFlow flow({settings_, prompt, codePage_, clock_}, title);
  std::vector<std::u16string> lines;
  {
    ResponsiveSend send(Window());
    lines = flow.Send(ItemText(IDC_RECIPIENTS), ItemText(IDC_MESSAGE_TEXT), directory_, send.Run(),
                      [&] { return send.MakeGateway(settings_, codePage_, clock_, exchangeTimeoutMs_); });
  }
  // The busy indication ends first: its mouse capture and dropped input
  // would keep the user from the report's OK button.
  SetWindowTextW(Window(), reinterpret_cast<const wchar_t*>(title.c_str()));
  flow.ShowReport(lines);
  Close(IDOK);
}
