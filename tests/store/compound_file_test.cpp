#include <gtest/gtest.h>

#include "store/compound_file.h"

namespace {

// Beyond what the header's 109 table sectors map, no file is made, and
// nothing is serialised for it first.
TEST(CompoundFile, StreamsBeyondTheHeaderTablesGiveNoFile) {
  bool written = false;
  const auto stream = [&](std::size_t size) {
    return CompoundStream{u"SentSMSs_Profile", size, [&](unsigned char*) { written = true; }};
  };
  // 109 table sectors of 1,024 entries map themselves and 111,507 others:
  // here the stream's and one of the directory's.
  EXPECT_TRUE(BuildCompoundFile({stream(std::size_t{111507} * 4096)}).empty());
  EXPECT_FALSE(written);
  EXPECT_EQ(BuildCompoundFile({stream(4096)}).size(), 4u * 4096) << "header, table, directory, the stream";
  EXPECT_TRUE(written);
}

}  // namespace
