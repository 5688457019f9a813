#pragma once
#include <optional>
#include <string>
#include <vector>

namespace host {

// The host program's command line:
//   --store <file>   the mail store (an empty store when absent)
//   --click <tag>    press the button with this tag once connected (repeatable)
//   --exit-after     close after the clicks instead of waiting for the user
//   --counts         print the calls made into the client per member at exit
//   --addin <progid> load only this one of the registered add-ins (repeatable),
//                    so that a run is not swayed by others registered
//   --open-item-limit <n>  items that may be open at once, as an Exchange
//                    server allows a session; overrides the store's
//   --select <n>     selects the contact at position n (from 0) of the
//                    contacts folder in the main window (repeatable)
//   --ribbon <id>    presses the add-ins' ribbon button with this id once
//                    the toolbar clicks are done (repeatable)
//   --context-menu <id>  chooses this item of the contact context menu on
//                    the selection, after the ribbon presses (repeatable)
struct HostOptions {
  std::wstring store;
  std::vector<std::wstring> onlyAddins;
  std::vector<std::u16string> clicks;
  bool exitAfter = false;
  bool counts = false;
  std::optional<long> openItemLimit;
  std::vector<size_t> selection;
  std::vector<std::wstring> ribbonPresses;
  std::vector<std::wstring> contextMenuChoices;
};

// nullopt and a reason in `error` for a command line it cannot take.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::wstring>& args,
                                            std::wstring& error);

}  // namespace host
