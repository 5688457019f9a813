#include "addin/button_commands_win.h"

#include <exception>

#include "addin/sms_plugin_options_win.h"
#include "addin/toolbar_buttons.h"
#include "batch/send_batch_sms_win.h"
#include "platform/clock_win.h"
#include "platform/code_page_win.h"
#include "platform/prompt_win.h"
#include "send/send_sms_dlg_win.h"
#include "store/settings_manager.h"
#include "ui/run_in_progress.h"

namespace {

constexpr char16_t kAddinTitle[] = u"Quorval SMS Plugin for Outlook";

void RunOptionsDialog(const CommandContext& context) {
  CSMSPluginOptions dialog(SettingsManager::Instance());
  dialog.DoModal(context.owner);
}

// Opens with no owner, as the mail client's own "new item" windows do.
void RunSendSmsDialog(const CommandContext& context) {
  static const ThreadCodePage codePage;
  static const SystemClock clock;
  SendSMSDlg dialog(context.application, SettingsManager::Instance(), codePage, clock);
  dialog.StartWithRecipients(context.recipients);
  dialog.DoModal(nullptr);
}

void RunBatchDialog(const CommandContext& context) {
  CSendBatchSMS dialog(context.application, SettingsManager::Instance());
  dialog.DoModal(context.owner);
}

void ShowFailure(HWND owner, const std::u16string& message) {
  MessageBoxPrompt(owner).Show(message, kAddinTitle);
}

// An exception's text is 8-bit text of the ANSI code page (the platform's
// and our own messages both are), so it is converted, not widened byte by byte.
std::u16string FailureMessage(const char* what) {
  const std::string detail = what ? what : "unknown error";
  return u"The command could not be completed: " + ThreadCodePage().FromAnsi(detail);
}

// Nothing may leave a click callback, not even a failing report.
void ReportFailure(const CommandTable& commands, HWND owner, const char* what) noexcept {
  try {
    if (commands.reportFailure) commands.reportFailure(owner, FailureMessage(what));
  } catch (...) {
  }
}

}  // namespace

void RunUserCommand(const CommandTable& commands, const std::function<void(HWND owner)>& command) {
  static bool commandOpen = false;
  if (commandOpen || RunInProgress::Now()) return;
  struct Open {
    Open() { commandOpen = true; }
    ~Open() { commandOpen = false; }
  } open;
  HWND owner = GetActiveWindow();
  try {
    command(owner);
  } catch (const std::exception& failure) {
    ReportFailure(commands, owner, failure.what());
  } catch (...) {
    ReportFailure(commands, owner, nullptr);
  }
}

const ButtonCommand* CommandTable::Find(const std::u16string& tag) const {
  for (const ButtonCommand& command : commands) {
    if (command.tag == tag) return &command;
  }
  return nullptr;
}

std::shared_ptr<const CommandTable> ProductCommands() {
  auto table = std::make_shared<CommandTable>();
  table->commands.push_back({kTagNewSmsMessage, RunSendSmsDialog});
  table->commands.push_back({kTagNewBatchSmsMessage, RunBatchDialog});
  table->commands.push_back({kTagSmsPluginOptions, RunOptionsDialog});
  table->reportFailure = ShowFailure;
  return table;
}
