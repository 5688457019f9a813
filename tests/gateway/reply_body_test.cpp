#include "gateway/reply_body.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Append(ReplyBody& body, const std::string& read) { body.Append(read.data(), read.size()); }

TEST(ReplyBody, ANulEndsWhatItsReadSaysAndTheNextReadGoesOn) {
  ReplyBody body;
  Append(body, std::string("accepted\0junk", 13));
  Append(body, ",later");
  Append(body, std::string("\0", 1));
  EXPECT_EQ(body.Text(), "accepted,later");
}

TEST(ReplyBody, StopsAskingOnceTheCapIsRead) {
  ReplyBody body;
  std::size_t asked = 0;
  while (std::size_t wanted = body.NextReadSize(5000)) {
    EXPECT_LE(wanted, 5000u);
    asked += wanted;
    Append(body, std::string(wanted, 'x'));
  }
  EXPECT_EQ(asked, ReplyBody::kMaxBytes);
  EXPECT_EQ(body.Text().size(), ReplyBody::kMaxBytes);
  // A read larger than asked for is cut at the cap too.
  ReplyBody greedy;
  Append(greedy, std::string(ReplyBody::kMaxBytes + 10, 'y'));
  EXPECT_EQ(greedy.Text().size(), ReplyBody::kMaxBytes);
  EXPECT_EQ(greedy.NextReadSize(2048), 0u);
}

TEST(ReplyBody, BytesCutByANulStillCountTowardsTheCap) {
  ReplyBody body;
  Append(body, std::string(ReplyBody::kMaxBytes - 1, '\0'));
  EXPECT_EQ(body.NextReadSize(2048), 1u);
  EXPECT_EQ(body.Text(), "");
  EXPECT_EQ(body.TakeText(), "");
}

}  // namespace
