// Times SaveHistory and LoadHistory of a large history on the real
// structured storage and prints the figures, next to a baseline measured in
// the same run: a plain write (flushed, as the save flushes) and a plain read
// of as many bytes as the history file holds. For the typical shape it also
// prints machine-readable lines "BENCH name=... value=... ..." that
// tools/bench_all.sh collects.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/settings_manager.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

template <class Action>
double Time(Action action) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  action();
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Shape {
  const char* name;
  std::string entryId;  // the recipient's entry identifier in hexadecimal
  std::string text;     // the reminder as sent
};

// A typical reminder: a wrapped contact entry identifier of 70 bytes and a
// filled default template. The short shape shows how the figures scale.
const Shape kShapes[] = {
    {"typical reminder",
     "00000000812B1FA4BEA310199D6E00DD010F54020000019000000000DC"
     "A740C8C042101AB4B908002B2FE18201000000000000002400000000C0",
     "Dear Anna, don't forget your dentist appointment at 09:05 on 02/03/2011. thanks the team at "
     "quendle dental Rudid Uririviv."},
    {"short entry", "00AB12CD", "See you at 09:05"},
};

void FillHistory(SettingsManager& store, const Shape& shape, unsigned entries) {
  for (unsigned i = 0; i < entries; ++i) {
    char start[32];
    std::snprintf(start, sizeof start, "%.6f", 40252.375 + i % 365);
    store.RecordSent(shape.entryId + std::to_string(i) + "_+64 21 555 " + std::to_string(1000 + i % 9000) +
                         "_" + start,
                     shape.text, 40252.0 + i / 1000.0);
  }
}

// The baseline: the file's bytes written to a plain file and flushed, then
// read back whole, with no structure around them.
std::vector<char> ReadWhole(const std::wstring& path) {
  std::vector<char> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
  bytes.resize(got);
  CloseHandle(file);
  return bytes;
}

bool WriteWhole(const std::wstring& path, const std::vector<char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  return ok;
}

std::uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA info = {};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info);
  return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

// Saves and loads `rounds` times; false when a round trip loses anything.
bool Measure(const std::wstring& folder, const Shape& shape, unsigned entries, bool emit) {
  const int rounds = 5;
  SettingsManager store(folder);
  FillHistory(store, shape, entries);
  std::vector<double> saves, loads;
  for (int round = 0; round < rounds; ++round) {
    long status = 0;
    saves.push_back(Time([&] { status = store.SaveHistory(); }));
    if (status != 0) {
      std::printf("save failed: 0x%08lx\n", static_cast<unsigned long>(status));
      return false;
    }
    SettingsManager reader(folder);
    loads.push_back(Time([&] { reader.LoadHistory(); }));
    if (reader.History().Entries() != store.History().Entries()) {
      std::printf("loaded history differs from the saved one\n");
      return false;
    }
  }
  // The baseline on the same bytes, as many rounds.
  const std::vector<char> bytes = ReadWhole(store.HistoryPath());
  const std::wstring plainPath = folder + L"\\plain.dat";
  std::vector<double> plainWrites, plainReads;
  for (int round = 0; round < rounds; ++round) {
    bool written = false;
    plainWrites.push_back(Time([&] { written = WriteWhole(plainPath, bytes); }));
    size_t read = 0;
    plainReads.push_back(Time([&] { read = ReadWhole(plainPath).size(); }));
    if (!written || read != bytes.size()) {
      std::printf("plain file baseline failed\n");
      return false;
    }
  }
  DeleteFileW(plainPath.c_str());
  std::printf("%s: %u entries, %.0f bytes per entry, file %.1f MB\n", shape.name, entries,
              static_cast<double>(FileSize(store.HistoryPath())) / entries, FileSize(store.HistoryPath()) / 1e6);
  std::printf("  save: median %.4f s, best %.4f s of %d (target < 0.1 s)\n", Median(saves),
              *std::min_element(saves.begin(), saves.end()), rounds);
  std::printf("  load: median %.4f s, best %.4f s of %d (target < 0.1 s)\n", Median(loads),
              *std::min_element(loads.begin(), loads.end()), rounds);
  std::printf("  baseline, the same bytes as a plain file: write+flush median %.4f s, read median %.4f s\n",
              Median(plainWrites), Median(plainReads));
  if (emit) {
    std::printf("BENCH name=history/save/%u value=%.4f unit=s baseline=%.4f baseline_is=plain-file-write+flush "
                "target=value<0.1 source=bench\n",
                entries, Median(saves), Median(plainWrites));
    std::printf("BENCH name=history/load/%u value=%.4f unit=s baseline=%.4f baseline_is=plain-file-read "
                "target=value<0.1 source=bench\n",
                entries, Median(loads), Median(plainReads));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned entries = argc > 1 ? std::stoul(argv[1]) : 100000;
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  std::wstring folder = std::wstring(base) + L"bench_history_" + std::to_wstring(GetCurrentProcessId());
  bool ok = true;
  for (const Shape& shape : kShapes) ok = ok && Measure(folder, shape, entries, &shape == kShapes);
  DeleteFileW((folder + L"\\HistoryData.dat").c_str());
  DeleteFileW((folder + L"\\Settings.ini").c_str());
  RemoveDirectoryW(folder.c_str());
  return ok ? 0 : 1;
}
