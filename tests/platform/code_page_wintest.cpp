#include <gtest/gtest.h>

#include <windows.h>

#include "platform/code_page_win.h"

namespace {

// The test prefix runs with the Western European code page; the cases
// below are the bytes of that page.
class ThreadCodePageTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetACP(), 1252u); }
  ThreadCodePage codePage_;
};

TEST_F(ThreadCodePageTest, ConvertsBothWaysWithBestFitAndDefaultCharacter) {
  EXPECT_EQ(codePage_.ToAnsi(u"Hi & caf\u00E9 \u20AC"), "Hi & caf\xE9 \x80");
  // A-macron has a best-fit equivalent; a Han character only the default.
  EXPECT_EQ(codePage_.ToAnsi(u"\u0100\u738B"), "A?");
  EXPECT_EQ(codePage_.FromAnsi("caf\xE9 \x80"), u"caf\u00E9 \u20AC");
  EXPECT_EQ(codePage_.ToAnsi(u""), "");
  EXPECT_EQ(codePage_.FromAnsi(""), u"");
}

TEST_F(ThreadCodePageTest, KeepsEmbeddedNulsAndLongTexts) {
  const std::u16string withNul(u"a\0b", 3);
  EXPECT_EQ(codePage_.ToAnsi(withNul), std::string("a\0b", 3));
  const std::u16string longText(100000, u'\u00E9');
  EXPECT_EQ(codePage_.FromAnsi(codePage_.ToAnsi(longText)), longText);
}

}  // namespace
