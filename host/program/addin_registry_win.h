#pragma once
#include <string>
#include <vector>

namespace host {

// The add-ins registered for the mail client that load at start-up
// ("LoadBehavior" 3), current user first, then local machine; a ProgID
// registered in both is listed once.
std::vector<std::wstring> StartupAddins();

}  // namespace host
