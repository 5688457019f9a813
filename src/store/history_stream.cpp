#include "store/history_stream.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

namespace {

// Writes little-endian items into a buffer sized beforehand.
class ByteWriter {
 public:
  explicit ByteWriter(std::size_t size) : bytes_(size), next_(bytes_.data()) {}

  void PutUint32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) *next_++ = static_cast<unsigned char>(value >> shift);
  }

  void PutDouble(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 0; shift < 64; shift += 8) *next_++ = static_cast<unsigned char>(bits >> shift);
  }

  void PutKey(const std::string& key) {
    std::memcpy(next_, key.data(), key.size());
    next_ += key.size();
    *next_++ = 0;
  }

  std::vector<unsigned char> Take() { return std::move(bytes_); }

 private:
  std::vector<unsigned char> bytes_;
  unsigned char* next_;
};

// Reads little-endian items from a byte range without ever passing its end.
class ByteReader {
 public:
  ByteReader(const unsigned char* data, std::size_t size) : data_(data), left_(size) {}

  bool ReadUint32(std::uint32_t& value) {
    if (left_ < 4) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | data_[i];
    Skip(4);
    return true;
  }

  bool ReadDouble(double& value) {
    if (left_ < 8) return false;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | data_[i];
    std::memcpy(&value, &bits, sizeof value);
    Skip(8);
    return true;
  }

  // A key field of `length` bytes: the key is the text before its first NUL,
  // and a field without any NUL is damage.
  bool ReadKey(std::uint32_t length, std::string& key) {
    if (length == 0 || length > left_) return false;
    const void* nul = std::memchr(data_, 0, length);
    if (!nul) return false;
    key.assign(reinterpret_cast<const char*>(data_), static_cast<const unsigned char*>(nul) - data_);
    Skip(length);
    return true;
  }

 private:
  void Skip(std::size_t n) { data_ += n, left_ -= n; }

  const unsigned char* data_;
  std::size_t left_;
};

}  // namespace

std::vector<unsigned char> SerializeHistory(const HistoryEntries& entries) {
  std::size_t size = 4;
  for (const auto& entry : entries) size += 4 + entry.first.size() + 1 + 8;
  ByteWriter writer(size);
  writer.PutUint32(static_cast<std::uint32_t>(entries.size()));
  for (const auto& [key, value] : entries) {
    writer.PutUint32(static_cast<std::uint32_t>(key.size() + 1));
    writer.PutKey(key);
    writer.PutDouble(value);
  }
  return writer.Take();
}

ParsedHistory ParseHistory(const unsigned char* data, std::size_t size) {
  ParsedHistory parsed;
  ByteReader reader(data, size);
  std::uint32_t count;
  if (!reader.ReadUint32(count)) {
    parsed.damaged = true;
    return parsed;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string key;
    std::uint32_t length;
    double value;
    if (!reader.ReadUint32(length) || !reader.ReadKey(length, key) || !reader.ReadDouble(value)) {
      parsed.damaged = true;
      break;
    }
    // Saved files are in key order, so appending at the end is the usual case.
    auto last = parsed.entries.empty() ? parsed.entries.end() : std::prev(parsed.entries.end());
    if (last != parsed.entries.end() && last->first < key) {
      parsed.entries.emplace_hint(parsed.entries.end(), std::move(key), value);
    } else {
      parsed.entries[key] = value;
    }
  }
  return parsed;
}
