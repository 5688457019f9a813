// A second process for the history tests.
//   loop <folder> <count>: saves a large history over and over until it is
//     killed part-way through a save.
//   turn <folder> <prefix> <count> <ready-event> <go-event>: loads the
//     history as the batch dialog does when it opens, records <count>
//     reminders, signals <ready-event>, waits for <go-event> and saves as
//     the dialog does when it closes; exit code 0 when the save succeeded.
//   hold <file> <storage|plain> <ready-event> <release-event>: holds the
//     file as another process's load (an exclusive compound-file open) or
//     another program (a handle with no sharing) would, until released.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "store/settings_manager.h"

namespace {

std::wstring Wide(const char* text) {
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH)) return {};
  return wide;
}

HANDLE Event(const char* name) { return OpenEventW(EVENT_ALL_ACCESS, FALSE, Wide(name).c_str()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  if (mode == "loop" && argc == 4) {
    SettingsManager store(Wide(argv[2]));
    unsigned count = std::stoul(argv[3]);
    const std::string text(120, 'x');
    for (unsigned i = 0; i < count; ++i) {
      store.RecordSent("0000000081A7B1C39F2A10CE_+64 21 555 " + std::to_string(i) + "_40252.375000", text, i);
    }
    for (;;) store.SaveHistory();
  }
  if (mode == "turn" && argc == 7) {
    SettingsManager store(Wide(argv[2]));
    store.LoadHistory();
    unsigned count = std::stoul(argv[4]);
    for (unsigned i = 0; i < count; ++i) store.RecordSent(std::string(argv[3]) + std::to_string(i), "Hi", 100.0 + i);
    HANDLE ready = Event(argv[5]), go = Event(argv[6]);
    if (!ready || !go) return 3;
    SetEvent(ready);
    WaitForSingleObject(go, INFINITE);
    return store.SaveHistory() == 0 ? 0 : 1;
  }
  if (mode == "hold" && argc == 6) {
    const std::wstring file = Wide(argv[2]);
    HANDLE ready = Event(argv[4]), release = Event(argv[5]);
    if (!ready || !release) return 3;
    IStorage* storage = nullptr;
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (std::string(argv[3]) == "storage") {
      CoInitialize(nullptr);
      if (FAILED(StgOpenStorageEx(file.c_str(), STGM_READ | STGM_SHARE_EXCLUSIVE, STGFMT_STORAGE, 0, nullptr,
                                  nullptr, IID_IStorage, reinterpret_cast<void**>(&storage)))) {
        return 4;
      }
    } else {
      handle = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE) return 4;
    }
    SetEvent(ready);
    WaitForSingleObject(release, INFINITE);
    if (storage) storage->Release();
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    return 0;
  }
  return 2;
}
