#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/access/dispatch.h"

// What a click on a toolbar or ribbon button runs, chosen by the button's tag.
struct CommandContext {
  outlook::Dispatch application;  // the mail client, for the sending dialogs
  HWND owner;                    // the window active at the click
  std::u16string recipients = {};  // for "Send SMS": the contacts the user chose beforehand
};

struct ButtonCommand {
  std::u16string tag;
  // May throw: the click handler reports the failure and carries on.
  std::function<void(const CommandContext&)> run;
};

struct CommandTable {
  std::vector<ButtonCommand> commands;
  // Tells the user that a command failed.
  std::function<void(HWND owner, const std::u16string& message)> reportFailure;

  // The command whose tag is exactly `tag` (case and blanks count); null
  // when there is none.
  const ButtonCommand* Find(const std::u16string& tag) const;
};

// Runs `command` for a click, with the window active at the click as the
// owner, unless a command's dialog is open or a send run is in progress:
// a command runs its dialog's modal loop inside the click, so a click that
// arrives meanwhile (posted, or while a run sends), from the toolbar or the
// ribbon, starts nothing. What `command` throws is reported to the user.
void RunUserCommand(const CommandTable& commands, const std::function<void(HWND owner)>& command);

// The commands the product's buttons run.
std::shared_ptr<const CommandTable> ProductCommands();
