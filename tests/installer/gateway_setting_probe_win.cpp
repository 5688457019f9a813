// Prints the gateway address the add-in's settings give the current user.
#include <cstdio>
#include <string>

#include "store/settings_manager.h"

int main() {
  const std::u16string host = SettingsManager::Instance().GetString(settings_key::kGatewayHost);
  std::printf("%s\n", std::string(host.begin(), host.end()).c_str());
  return 0;
}
