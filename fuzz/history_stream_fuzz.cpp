// The history stream as a damaged or hostile file may hold it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "store/history_stream.h"

namespace {

// Values compare by their bits: a NaN read from a file must survive too.
bool SameEntries(const HistoryEntries& a, const HistoryEntries& b) {
  if (a.size() != b.size()) return false;
  for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y) {
    if (x->first != y->first || std::memcmp(&x->second, &y->second, sizeof(double)) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  // The first byte chooses how the file is read in pieces, the rest is the
  // stream. Each piece gets its own exact buffer so that ASan sees any read
  // past it.
  if (size == 0) return 0;
  const std::size_t pieceSize = 1 + data[0] % 97;
  ++data, --size;
  const ParsedHistory whole = ParseHistory(data, size);

  HistoryParser pieces;
  for (std::size_t at = 0; at < size; at += pieceSize) {
    const std::size_t n = std::min(pieceSize, size - at);
    std::vector<unsigned char> piece(data + at, data + at + n);
    pieces.Feed(piece.data(), piece.size());
  }
  const ParsedHistory fed = pieces.Finish();
  FUZZ_CHECK(fed.damaged == whole.damaged);
  FUZZ_CHECK(SameEntries(fed.entries, whole.entries));

  // What was loaded saves to a stream that loads to the same entries.
  const std::vector<unsigned char> saved = SerializeHistory(whole.entries);
  FUZZ_CHECK(saved.size() == HistoryStreamSize(whole.entries));
  const ParsedHistory reloaded = ParseHistory(saved.data(), saved.size());
  FUZZ_CHECK(!reloaded.damaged);
  FUZZ_CHECK(SameEntries(reloaded.entries, whole.entries));

  std::vector<unsigned char> joined;
  const bool written = WriteHistoryPieces(whole.entries, pieceSize, [&](const unsigned char* d, std::size_t n) {
    joined.insert(joined.end(), d, d + n);
    return true;
  });
  FUZZ_CHECK(written && joined == saved);
  return 0;
}
