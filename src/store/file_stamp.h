#pragma once
#include <cstdint>

// What a look at a file shows without reading it: its last write time (in
// 100 ns units, as the file system keeps it) and its size.
struct FileStamp {
  std::uint64_t writeTime = 0;
  std::uint64_t size = 0;
  bool operator==(const FileStamp& other) const { return writeTime == other.writeTime && other.size == size; }
};

// How long after its last write a file's stamp is trusted to change with
// any further write. Some file systems keep write times to 2 seconds, so a
// second write soon after the first may leave the stamp as it was.
inline constexpr std::uint64_t kStampSettleTime = 3ull * 10'000'000;

// Whether what was read of a file stamped `then` still holds now that the
// file shows `now`. `lookedAt` is the clock's time (same units and epoch as
// the write times) taken before the look that gave `then`. The file must
// show the same stamp, and must have been written long enough before that
// look for every later write to have changed its stamp; a write time ahead
// of the clock (another machine's clock, a share) never counts as settled.
bool StillCurrent(const FileStamp& then, std::uint64_t lookedAt, const FileStamp& now);
