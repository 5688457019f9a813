// A reply body as WinINet hands it over, in reads of any size: the text
// keeps each read up to its first NUL, and reading stops at the cap.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "gateway/reply_body.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // Repeating reads lets a small input reach the cap.
  const int repeats = input.ConsumeIntegralInRange<int>(1, 64);
  const std::size_t chunkBytes = input.ConsumeIntegralInRange<std::size_t>(1, 8192);
  std::vector<std::string> reads;
  while (input.remaining_bytes() > 0 && reads.size() < 64) {
    reads.push_back(input.ConsumeRandomLengthString(4096));
  }
  ReplyBody body;
  std::string expected;
  std::size_t consumed = 0;
  for (int r = 0; r < repeats; ++r) {
    for (const std::string& read : reads) {
      const std::size_t wanted = body.NextReadSize(chunkBytes);
      FUZZ_CHECK(wanted <= chunkBytes && wanted == std::min(chunkBytes, ReplyBody::kMaxBytes - consumed));
      if (wanted == 0) break;
      // A read gives at most what was asked for.
      const std::string given = read.substr(0, wanted);
      body.Append(given.data(), given.size());
      consumed += given.size();
      expected += given.substr(0, given.find('\0'));
    }
  }
  FUZZ_CHECK(consumed <= ReplyBody::kMaxBytes);
  FUZZ_CHECK(body.Text() == expected);
  FUZZ_CHECK(body.Text().find('\0') == std::string::npos);
  return 0;
}
