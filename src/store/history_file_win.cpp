#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <new>
#include <vector>

#include "store/history_file.h"
#include "store/history_stream.h"
#include "store/unique_handle_win.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kStreamName[] = L"SentSMSs_Profile";
constexpr DWORD kLoadMode = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kSaveMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
// Far beyond any real history (100,000 reminders are about 30 MB); a larger
// stream is refused as damage rather than allowed to fill the memory.
constexpr ULONGLONG kMaxStreamBytes = 256ull << 20;
// Read and written piece by piece: one buffer of a large history's whole
// size costs more than the reading or writing itself.
constexpr std::size_t kPieceBytes = 1 << 20;

HRESULT OpenStorage(const std::wstring& path, DWORD mode, ComPtr<IStorage>& storage) {
  return StgOpenStorageEx(path.c_str(), mode, STGFMT_STORAGE, 0, nullptr, nullptr, IID_IStorage,
                          reinterpret_cast<void**>(storage.ReleaseAndGetAddressOf()));
}

HRESULT ParseStream(IStream* stream, ParsedHistory& parsed) {
  STATSTG stat = {};
  HRESULT hr = stream->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(hr)) return hr;
  if (stat.cbSize.QuadPart > kMaxStreamBytes) return STG_E_DOCFILECORRUPT;
  HistoryParser parser;
  std::vector<unsigned char> piece(kPieceBytes);
  ULONG read = 0;
  do {
    hr = stream->Read(piece.data(), static_cast<ULONG>(piece.size()), &read);
    if (FAILED(hr)) return hr;
    parser.Feed(piece.data(), read);
  } while (read > 0);
  parsed = parser.Finish();
  return S_OK;
}

HRESULT WriteStream(IStream* stream, const HistoryEntries& entries) {
  ULARGE_INTEGER size;
  size.QuadPart = HistoryStreamSize(entries);
  // Sizing first lets the storage allocate the sector chain in one go.
  HRESULT hr = stream->SetSize(size);
  if (FAILED(hr)) return hr;
  WriteHistoryPieces(entries, kPieceBytes, [&](const unsigned char* data, std::size_t length) {
    ULONG written = 0;
    hr = stream->Write(data, static_cast<ULONG>(length), &written);
    if (SUCCEEDED(hr) && written != length) hr = STG_E_WRITEFAULT;
    return SUCCEEDED(hr);
  });
  if (FAILED(hr)) return hr;
  return stream->Commit(STGC_DEFAULT);
}

HRESULT WriteCompoundFile(const std::wstring& path, const HistoryEntries& entries) {
  // 4096-byte sectors (compound file version 4): a history of 100,000
  // reminders is tens of megabytes, and the storage's cost is per sector.
  STGOPTIONS options = {};
  options.usVersion = 1;
  options.ulSectorSize = 4096;
  ComPtr<IStorage> storage;
  HRESULT hr = StgCreateStorageEx(path.c_str(), kSaveMode | STGM_CREATE, STGFMT_DOCFILE, 0, &options,
                                  nullptr, IID_IStorage, reinterpret_cast<void**>(storage.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IStream> stream;
  hr = storage->CreateStream(kStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
  if (FAILED(hr)) return hr;
  hr = WriteStream(stream.Get(), entries);
  if (FAILED(hr)) return hr;
  stream.Reset();
  return storage->Commit(STGC_DEFAULT);
}

// The new file's bytes must be on disk before it replaces the old one.
HRESULT FlushToDisk(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid() || !FlushFileBuffers(file.get())) return HRESULT_FROM_WIN32(GetLastError());
  return S_OK;
}

// Same folder and same name length as the history file, so that the move is
// a rename within one volume and never exceeds the path limit.
std::wstring TemporaryPathBeside(const std::wstring& path) {
  return path.substr(0, path.size() - 3) + L"tmp";
}

}  // namespace

long ReadHistoryFile(const std::wstring& path, SentHistory& history) try {
  ComPtr<IStorage> storage;
  HRESULT hr = OpenStorage(path, kLoadMode, storage);
  if (FAILED(hr)) return hr;
  ComPtr<IStream> stream;
  hr = storage->OpenStream(kStreamName, nullptr, kLoadMode, 0, &stream);
  if (FAILED(hr)) return hr;
  ParsedHistory parsed;
  hr = ParseStream(stream.Get(), parsed);
  if (FAILED(hr)) return hr;
  history.Replace(std::move(parsed.entries));
  return S_OK;
} catch (const std::bad_alloc&) {
  // Out of memory must not escape into the mail client.
  return E_OUTOFMEMORY;
}

long WriteHistoryFile(const std::wstring& path, const HistoryEntries& entries) try {
  // Open the current file for saving first, as the store always has: a file
  // locked by another process or not a compound file fails here, before
  // anything is written.
  ComPtr<IStorage> current;
  HRESULT hr = OpenStorage(path, kSaveMode, current);
  if (FAILED(hr) && hr != STG_E_FILENOTFOUND) return hr;

  std::wstring temporary = TemporaryPathBeside(path);
  hr = WriteCompoundFile(temporary, entries);
  if (SUCCEEDED(hr)) hr = FlushToDisk(temporary);
  current.Reset();
  if (SUCCEEDED(hr) &&
      !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    hr = HRESULT_FROM_WIN32(GetLastError());
  }
  if (FAILED(hr)) DeleteFileW(temporary.c_str());
  return hr;
} catch (const std::bad_alloc&) {
  return E_OUTOFMEMORY;
}
