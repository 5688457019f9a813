#include <gtest/gtest.h>

#include "store/file_stamp.h"

namespace {

constexpr std::uint64_t kSecond = 10'000'000;

TEST(FileStamp, AReadHoldsOnlyWhileTheFileShowsTheSameSettledStamp) {
  const FileStamp read{1000 * kSecond, 420};
  const std::uint64_t lookedAt = 1010 * kSecond;
  EXPECT_TRUE(StillCurrent(read, lookedAt, read));
  EXPECT_TRUE(StillCurrent(read, 1003 * kSecond, read)) << "settled exactly";

  // Any change the stamp shows.
  EXPECT_FALSE(StillCurrent(read, lookedAt, FileStamp{1000 * kSecond + 1, 420}));
  EXPECT_FALSE(StillCurrent(read, lookedAt, FileStamp{1000 * kSecond, 422}));
  EXPECT_FALSE(StillCurrent(read, lookedAt, FileStamp{999 * kSecond, 420})) << "an older copy put back";

  // A file written just before the look may be written again within its
  // stamp's resolution, and one stamped ahead of the clock never settles.
  EXPECT_FALSE(StillCurrent(read, 1003 * kSecond - 1, read));
  EXPECT_FALSE(StillCurrent(read, 1000 * kSecond, read));
  EXPECT_FALSE(StillCurrent(read, 990 * kSecond, read));
}

}  // namespace
