#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <new>
#include <vector>

#include "store/compound_file.h"
#include "store/history_file.h"
#include "store/history_stream.h"
#include "platform/handles_win.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kStreamName[] = L"SentSMSs_Profile";
// Reminders that may have been sent, in the same format. A second stream
// rather than new entries in the first, so that older readers of the file,
// which know only the first, neither count them as sent nor fail on them.
constexpr wchar_t kUncertainStreamName[] = L"UncertainSMSs_Profile";
constexpr DWORD kLoadMode = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kSaveMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
// Far beyond any real history (100,000 reminders are about 30 MB); a larger
// stream is refused as damage rather than allowed to fill the memory.
constexpr ULONGLONG kMaxStreamBytes = 256ull << 20;
// Read piece by piece, and serialised piece by piece into the new file's
// image: a buffer of a large history's whole size on top of that costs
// more than the reading or writing itself.
constexpr std::size_t kPieceBytes = 1 << 20;
// The smallest sector of a compound file: what is salvaged after a failed read.
constexpr std::size_t kSalvageBytes = 512;

HRESULT OpenStorage(const std::wstring& path, DWORD mode, ComPtr<IStorage>& storage) {
  return StgOpenStorageEx(path.c_str(), mode, STGFMT_STORAGE, 0, nullptr, nullptr, IID_IStorage,
                          reinterpret_cast<void**>(storage.ReleaseAndGetAddressOf()));
}

// Feeds the stream to the parser piece by piece. On a failed read, or a
// stream over the cap, `parsed` holds the entries read before, marked
// damaged, and the platform's code is returned.
HRESULT ParseStream(IStream* stream, ParsedHistory& parsed) {
  STATSTG stat = {};
  HRESULT hr = stream->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(hr)) return hr;
  if (stat.cbSize.QuadPart > kMaxStreamBytes) return STG_E_DOCFILECORRUPT;
  HistoryParser parser;
  std::vector<unsigned char> piece(kPieceBytes);
  std::size_t pieceSize = kPieceBytes;
  ULONGLONG offset = 0;
  for (;;) {
    ULONG read = 0;
    hr = stream->Read(piece.data(), static_cast<ULONG>(pieceSize), &read);
    if (FAILED(hr)) {
      if (pieceSize == kSalvageBytes) break;
      // A large piece that fails may hold many good entries before the bad
      // sector: read again from its start one small sector at a time.
      pieceSize = kSalvageBytes;
      LARGE_INTEGER at;
      at.QuadPart = static_cast<LONGLONG>(offset);
      if (FAILED(stream->Seek(at, STREAM_SEEK_SET, nullptr))) break;
      continue;
    }
    if (read == 0) break;
    parser.Feed(piece.data(), read);
    offset += read;
  }
  parsed = parser.Finish();
  if (FAILED(hr)) parsed.damaged = true;
  return SUCCEEDED(hr) ? S_OK : hr;
}

// The entries of an open storage's stream `name`; STG_E_FILENOTFOUND when
// it has none.
HRESULT ReadEntries(IStorage* storage, ParsedHistory& parsed, const wchar_t* name = kStreamName) {
  ComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(hr)) return hr;
  return ParseStream(stream.Get(), parsed);
}

// The uncertain reminders are advice for the repeat question, not a record
// anyone relies on: whatever of them can be read is taken.
HistoryEntries ReadUncertainEntries(IStorage* storage) {
  ParsedHistory parsed;
  ReadEntries(storage, parsed, kUncertainStreamName);
  return std::move(parsed.entries);
}

// A file of no bytes holds no entries: nothing is lost by replacing it.
bool IsEmptyFile(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeHigh == 0 && data.nFileSizeLow == 0;
}

// A file's identity, last write time and size. Every save writes a new
// file that replaces the old one, so a file saved by anyone else since has
// another stamp, even when its size and time happen to match.
std::string StampOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return {};
  char stamp[96];
  std::snprintf(stamp, sizeof stamp, "%08lx:%08lx%08lx:%08lx%08lx:%08lx%08lx", info.dwVolumeSerialNumber,
                info.nFileIndexHigh, info.nFileIndexLow, info.ftLastWriteTime.dwHighDateTime,
                info.ftLastWriteTime.dwLowDateTime, info.nFileSizeHigh, info.nFileSizeLow);
  return stamp;
}

// Asked while the storage is open for saving, which keeps other writers out;
// reading attributes shares with everyone.
std::string StampOf(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() ? StampOf(file.get()) : std::string();
}

// Written whole and flushed: the new file's bytes must be on disk before it
// replaces the old one. Its stamp is taken here, before anyone else can
// replace it: a rename keeps it.
HRESULT WriteToDisk(const std::wstring& path, const std::vector<unsigned char>& bytes, std::string& stamp) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file.valid()) return HRESULT_FROM_WIN32(GetLastError());
  for (std::size_t at = 0; at < bytes.size();) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 26));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + at, piece, &written, nullptr)) return HRESULT_FROM_WIN32(GetLastError());
    if (written != piece) return STG_E_WRITEFAULT;
    at += written;
  }
  if (!FlushFileBuffers(file.get())) return HRESULT_FROM_WIN32(GetLastError());
  stamp = StampOf(file.get());
  return S_OK;
}

// Its streams: the history, and the uncertain reminders when there are
// any; without them the file is exactly what it always was.
HRESULT WriteCompoundFile(const std::wstring& path, const HistoryEntries& entries, const HistoryEntries& uncertain,
                          std::string& stamp) {
  const auto stream = [](const wchar_t* name, const HistoryEntries& held) {
    CompoundStream made;
    made.name.assign(name, name + wcslen(name));
    made.size = HistoryStreamSize(held);
    made.write = [&held](unsigned char* out) {
      WriteHistoryPieces(held, kPieceBytes, [&out](const unsigned char* data, std::size_t length) {
        out = std::copy(data, data + length, out);
        return true;
      });
    };
    return made;
  };
  std::vector<CompoundStream> streams{stream(kStreamName, entries)};
  if (!uncertain.empty()) streams.push_back(stream(kUncertainStreamName, uncertain));
  const std::vector<unsigned char> file = BuildCompoundFile(streams);
  if (file.empty()) return STG_E_DOCFILETOOLARGE;
  return WriteToDisk(path, file, stamp);
}

// Same folder and same name length as the history file, so that the move is
// a rename within one volume and never exceeds the path limit.
std::wstring TemporaryPathBeside(const std::wstring& path) {
  return path.substr(0, path.size() - 3) + L"tmp";
}

}  // namespace

HResult ReadHistoryFile(const std::wstring& path, ParsedHistory& parsed, HistoryEntries* uncertain) try {
  parsed = ParsedHistory();
  if (uncertain) uncertain->clear();
  ComPtr<IStorage> storage;
  HRESULT hr = OpenStorage(path, kLoadMode, storage);
  if (FAILED(hr)) return hr;
  if (uncertain) *uncertain = ReadUncertainEntries(storage.Get());
  return ReadEntries(storage.Get(), parsed);
} catch (const std::bad_alloc&) {
  // Out of memory must not escape into the mail client.
  parsed = ParsedHistory();
  return E_OUTOFMEMORY;
}

HResult SaveHistoryFile(const std::wstring& path, SentHistory& history, const EntryFilter& removed) try {
  // Open the current file for saving first, as the store always has: a file
  // locked by another process, read-only or not a compound file fails here,
  // before anything is written. The handle keeps other processes out until
  // the new file is complete.
  ComPtr<IStorage> current;
  HRESULT hr = OpenStorage(path, kSaveMode, current);
  HistoryEntries merged;
  const HistoryEntries* toWrite = &history.Entries();
  HistoryEntries uncertain = history.UncertainEntries();
  if (FAILED(hr) && hr != STG_E_FILENOTFOUND && !IsEmptyFile(path)) return hr;
  // The file this history saved last holds nothing it does not: reading
  // and merging a large one would cost more than writing it.
  const bool savedByUs = SUCCEEDED(hr) && !history.SavedFile().empty() && StampOf(path) == history.SavedFile();
  if (SUCCEEDED(hr) && !savedByUs) {
    ParsedHistory inFile;
    hr = ReadEntries(current.Get(), inFile);
    if (FAILED(hr) && hr != STG_E_FILENOTFOUND) return hr;  // what it holds cannot be known
    if (!inFile.entries.empty()) {
      merged = MergeForSave(std::move(inFile.entries), history.Entries());
      toWrite = &merged;
    }
    uncertain = MergeForSave(ReadUncertainEntries(current.Get()), history.UncertainEntries());
  }
  if (removed) {
    if (toWrite != &merged) {
      merged = *toWrite;
      toWrite = &merged;
    }
    RemoveEntries(merged, removed);
    RemoveEntries(uncertain, removed);
  }

  std::wstring temporary = TemporaryPathBeside(path);
  std::string stamp;
  hr = WriteCompoundFile(temporary, *toWrite, uncertain, stamp);
  current.Reset();
  if (SUCCEEDED(hr) &&
      !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    hr = HRESULT_FROM_WIN32(GetLastError());
  }
  if (FAILED(hr)) {
    DeleteFileW(temporary.c_str());
    return hr;
  }
  if (toWrite == &merged) history.Replace(std::move(merged));
  history.ReplaceUncertain(std::move(uncertain));
  history.SetSavedFile(std::move(stamp));
  return S_OK;
} catch (const std::bad_alloc&) {
  return E_OUTOFMEMORY;
}
