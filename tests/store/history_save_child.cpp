// Saves a large history over and over until it is killed; the history
// tests kill it part-way through a save.
#include <windows.h>

#include <string>

#include "store/settings_manager.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  wchar_t folder[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, argv[1], -1, folder, MAX_PATH)) return 2;
  SettingsManager store(folder);
  unsigned count = std::stoul(argv[2]);
  const std::string text(120, 'x');
  for (unsigned i = 0; i < count; ++i) {
    store.RecordSent("0000000081A7B1C39F2A10CE_+64 21 555 " + std::to_string(i) + "_40252.375000", text, i);
  }
  for (;;) store.SaveHistory();
}
