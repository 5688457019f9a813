#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "addin/access/dispatch.h"
#include "ui/modal_dialog_win.h"
#include "gateway/wininet_exchange_win.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "send/ac_edit_win.h"
#include "send/contact_directory.h"
#include "ui/dialog_hook_win.h"
#include "store/settings.h"

// "Send SMS to contact": recipients typed with suggestions or picked in
// "Choose Contacts", one text with its counters, sent to every recipient
// by "Send", which reports and closes.
class SendSMSDlg : public ModalDialog {
 public:
  SendSMSDlg(outlook::Dispatch application, Settings& settings, const CodePage& codePage, const Clock& clock,
             DWORD exchangeTimeoutMs = WinInetExchange::kDefaultTimeoutMs);
  ~SendSMSDlg() override;
  // Opens with this text in the recipients field (contacts the user chose
  // before opening it) and the message text to write.
  void StartWithRecipients(std::u16string recipients) { initialRecipients_ = std::move(recipients); }

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void UpdateSendButton();
  void UpdateCounters();
  void ChooseRecipients();
  void Send();

  outlook::Dispatch application_;
  Settings& settings_;
  const CodePage& codePage_;
  const Clock& clock_;
  DWORD exchangeTimeoutMs_;
  ContactDirectory directory_;
  CACEdit recipients_;
  DialogHook hook_;
  std::u16string initialRecipients_;
};
