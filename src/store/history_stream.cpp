#include "store/history_stream.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

namespace {

void PutUint32(std::vector<unsigned char>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutDouble(std::vector<unsigned char>& out, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<unsigned char>(bits >> shift));
}

std::size_t EntrySize(const std::string& key) { return 4 + key.size() + 1 + 8; }

std::uint32_t Uint32At(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

double DoubleAt(const unsigned char* at) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | at[i];
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

std::size_t HistoryStreamSize(const HistoryEntries& entries) {
  std::size_t size = 4;
  for (const auto& entry : entries) size += EntrySize(entry.first);
  return size;
}

bool WriteHistoryPieces(const HistoryEntries& entries, std::size_t pieceSize, const HistoryPieceWriter& write) {
  std::vector<unsigned char> piece;
  piece.reserve(pieceSize);
  PutUint32(piece, static_cast<std::uint32_t>(entries.size()));
  for (const auto& [key, value] : entries) {
    if (!piece.empty() && piece.size() + EntrySize(key) > pieceSize) {
      if (!write(piece.data(), piece.size())) return false;
      piece.clear();
    }
    PutUint32(piece, static_cast<std::uint32_t>(key.size() + 1));
    piece.insert(piece.end(), key.begin(), key.end());
    piece.push_back(0);
    PutDouble(piece, value);
  }
  return write(piece.data(), piece.size());
}

std::vector<unsigned char> SerializeHistory(const HistoryEntries& entries) {
  std::vector<unsigned char> bytes;
  bytes.reserve(HistoryStreamSize(entries));
  WriteHistoryPieces(entries, 1 << 16, [&bytes](const unsigned char* data, std::size_t size) {
    bytes.insert(bytes.end(), data, data + size);
    return true;
  });
  return bytes;
}

void HistoryParser::Feed(const unsigned char* data, std::size_t size) {
  if (done_) return;
  if (pending_.empty()) {
    std::size_t used = Consume(data, size);
    if (!done_) pending_.assign(data + used, data + size);
    return;
  }
  pending_.insert(pending_.end(), data, data + size);
  std::size_t used = Consume(pending_.data(), pending_.size());
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
}

ParsedHistory HistoryParser::Finish() {
  // Data that ended before the count or before the last counted entry.
  if (!done_) parsed_.damaged = true;
  done_ = true;
  pending_.clear();
  return std::move(parsed_);
}

std::size_t HistoryParser::Consume(const unsigned char* data, std::size_t size) {
  std::size_t used = 0;
  if (!counted_) {
    if (size < 4) return 0;
    remaining_ = Uint32At(data);
    counted_ = true;
    used = 4;
  }
  while (remaining_ > 0 && size - used >= 4) {
    const std::uint64_t length = Uint32At(data + used);
    if (length == 0) return StopAtDamage(used);
    if (size - used - 4 < length + 8) break;  // the rest comes with the next piece
    const unsigned char* key = data + used + 4;
    const void* nul = std::memchr(key, 0, static_cast<std::size_t>(length));
    if (!nul) return StopAtDamage(used);
    Add(std::string(reinterpret_cast<const char*>(key), static_cast<const unsigned char*>(nul) - key),
        DoubleAt(key + length));
    used += 4 + static_cast<std::size_t>(length) + 8;
    --remaining_;
  }
  if (remaining_ == 0) done_ = true;
  return used;
}

std::size_t HistoryParser::StopAtDamage(std::size_t used) {
  parsed_.damaged = true;
  done_ = true;
  return used;
}

void HistoryParser::Add(std::string key, double value) {
  // Saved files are in key order, so appending at the end is the usual case.
  HistoryEntries& entries = parsed_.entries;
  if (entries.empty() || std::prev(entries.end())->first < key) {
    entries.emplace_hint(entries.end(), std::move(key), value);
  } else {
    entries[key] = value;
  }
}

ParsedHistory ParseHistory(const unsigned char* data, std::size_t size) {
  HistoryParser parser;
  parser.Feed(data, size);
  return parser.Finish();
}
