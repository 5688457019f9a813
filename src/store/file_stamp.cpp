#include "store/file_stamp.h"

bool StillCurrent(const FileStamp& then, std::uint64_t lookedAt, const FileStamp& now) {
  return now == then && lookedAt >= then.writeTime && lookedAt - then.writeTime >= kStampSettleTime;
}
