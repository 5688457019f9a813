#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/access/dispatch.h"
#include "ui/modal_dialog_win.h"
#include "batch/reminder_run.h"
#include "gateway/sms_message.h"
#include "gateway/wininet_exchange_win.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "store/settings_manager.h"

// "Send batch SMS": sends appointment reminders for the meetings of a time
// frame, at once, by lead time or on a date. The history is loaded when
// the dialog opens and saved after every run (a closed or crashed mail
// client must not forget reminders the gateway accepted) and on "&Close",
// which also saves the choices as defaults when asked to. "Pre&view..."
// shows what a run would send and sends the rows the user leaves checked.
class CSendBatchSMS : public ModalDialog {
 public:
  CSendBatchSMS(outlook::Dispatch application, SettingsManager& store,
                DWORD exchangeTimeoutMs = WinInetExchange::kDefaultTimeoutMs);
  ~CSendBatchSMS() override;

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;

  void FillUnitLists();
  void ShowTemplate(const std::u16string& text);
  void ChooseTemplate();
  ReminderRequest Request(SendMode mode) const;
  void SendReminders(SendMode mode);
  // One send through the responsive run, with progress in the caption and
  // the history saved; `sending` is false when nothing was to be sent.
  using Sending = std::function<bool(ReminderRun&, SendRun&, const ReminderRun::MakeGateway&,
                                     const ReminderRun::Progress&)>;
  void Send(const Sending& sending);
  void Preview();
  // Empty when the history was saved, otherwise what the user is told.
  std::u16string SaveHistoryOrSayWhy();
  SendMode LeadTimeMode() const;
  SendMode FixedDateMode() const;
  int SignedNumber(int id) const;
  int SelectedPosition(int id) const;
  void CloseWithDefaults();

  outlook::Dispatch application_;
  SettingsManager& store_;
  DWORD exchangeTimeoutMs_;
  ThreadCodePage codePage_;
  SystemClock clock_;
  std::u16string title_;
  std::vector<std::unique_ptr<SMSMessage>> messages_;
};
