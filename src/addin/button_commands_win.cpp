#include "addin/button_commands_win.h"

#include "addin/sms_plugin_options_win.h"
#include "addin/toolbar_buttons.h"
#include "platform/prompt_win.h"
#include "store/settings_manager.h"

namespace {

constexpr char16_t kAddinTitle[] = u"Quorval SMS Plugin for Outlook";

void RunOptionsDialog(const CommandContext& context) {
  CSMSPluginOptions dialog(SettingsManager::Instance());
  dialog.DoModal(context.owner);
}

void ShowFailure(HWND owner, const std::u16string& message) {
  MessageBoxPrompt(owner).Show(message, kAddinTitle);
}

}  // namespace

const ButtonCommand* CommandTable::Find(const std::u16string& tag) const {
  for (const ButtonCommand& command : commands) {
    if (command.tag == tag) return &command;
  }
  return nullptr;
}

std::shared_ptr<const CommandTable> ProductCommands() {
  auto table = std::make_shared<CommandTable>();
  table->commands.push_back({kTagSmsPluginOptions, RunOptionsDialog});
  table->reportFailure = ShowFailure;
  return table;
}
