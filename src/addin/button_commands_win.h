#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/access/dispatch.h"

// What a click on a toolbar button runs, chosen by the button's tag.
struct CommandContext {
  outlook::Dispatch application;  // the mail client, for the sending dialogs
  HWND owner;                    // the window active at the click
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

// The commands the product's buttons run.
std::shared_ptr<const CommandTable> ProductCommands();
