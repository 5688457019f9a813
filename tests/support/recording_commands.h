#pragma once
#include <memory>
#include <string>
#include <vector>

#include "addin/button_commands_win.h"

// Commands that record what ran, in place of the dialogs, for the add-in's
// toolbar and ribbon.
struct CommandLog {
  std::vector<std::u16string> ran;
  std::vector<std::u16string> recipients;  // what each run was handed for the recipients field
  std::vector<std::u16string> failures;
  bool applicationGiven = true;
};

inline std::shared_ptr<CommandTable> RecordingCommands(CommandLog& log) {
  auto table = std::make_shared<CommandTable>();
  for (const char16_t* tag : {u"NewSMSMessage", u"NewBatchSMSMessage", u"SMSPluginOptions"}) {
    table->commands.push_back({tag, [&log, tag](const CommandContext& context) {
                                 log.ran.push_back(tag);
                                 log.recipients.push_back(context.recipients);
                                 log.applicationGiven = log.applicationGiven && context.application;
                               }});
  }
  table->reportFailure = [&log](HWND, const std::u16string& message) { log.failures.push_back(message); };
  return table;
}
