#pragma once
#include <cstddef>
#include <vector>

#include "store/sent_history.h"

// Bytes of the history stream, little-endian: a 4-byte entry count, then per
// entry a 4-byte length (key bytes + 1), the key with its NUL, and the value
// as an 8-byte IEEE double; entries in key order.
std::vector<unsigned char> SerializeHistory(const HistoryEntries& entries);

struct ParsedHistory {
  HistoryEntries entries;
  // The data ended early or held an impossible entry; `entries` then holds
  // every whole entry read before that point.
  bool damaged = false;
};

// Never reads outside [data, data + size) and never keeps a partial entry.
ParsedHistory ParseHistory(const unsigned char* data, std::size_t size);
