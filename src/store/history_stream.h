#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "store/sent_history.h"

// Bytes of the history stream, little-endian: a 4-byte entry count, then per
// entry a 4-byte length (key bytes + 1), the key with its NUL, and the value
// as an 8-byte IEEE double; entries in key order.
std::vector<unsigned char> SerializeHistory(const HistoryEntries& entries);

std::size_t HistoryStreamSize(const HistoryEntries& entries);

// The same bytes handed to `write` in pieces of about `pieceSize` bytes (an
// entry is never split), so that a large history never needs one buffer of
// its whole size. False as soon as `write` refuses a piece.
using HistoryPieceWriter = std::function<bool(const unsigned char* data, std::size_t size)>;
bool WriteHistoryPieces(const HistoryEntries& entries, std::size_t pieceSize, const HistoryPieceWriter& write);

struct ParsedHistory {
  HistoryEntries entries;
  // The data ended early or held an impossible entry; `entries` then holds
  // every whole entry read before that point.
  bool damaged = false;
};

// Parses the stream piece by piece as it is read, so that a large history
// never needs one buffer of its whole size. Never reads outside the pieces
// it is given and never keeps a partial entry.
class HistoryParser {
 public:
  void Feed(const unsigned char* data, std::size_t size);
  // The entries, once the whole stream has been fed.
  ParsedHistory Finish();

 private:
  // Takes the whole items at the start of the range; the number of bytes used.
  std::size_t Consume(const unsigned char* data, std::size_t size);
  std::size_t StopAtDamage(std::size_t used);
  void Add(std::string key, double value);

  bool counted_ = false;
  std::uint32_t remaining_ = 0;
  bool done_ = false;
  std::vector<unsigned char> pending_;  // an entry cut between two pieces
  ParsedHistory parsed_;
};

ParsedHistory ParseHistory(const unsigned char* data, std::size_t size);
