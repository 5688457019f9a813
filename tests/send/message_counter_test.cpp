#include "send/message_counter.h"

#include <gtest/gtest.h>

namespace {

struct CountCase {
  std::size_t length;
  unsigned alphabet, concatenation, expected;
};

TEST(MessageCount, FollowsTheTextLengthAndTheSettings) {
  const CountCase cases[] = {
      {0, 0, 0, 0},   {1, 0, 0, 1},   {159, 0, 0, 1}, {160, 0, 0, 1}, {161, 0, 0, 2}, {320, 0, 0, 2},
      {321, 0, 0, 3}, {160, 0, 1, 1}, {161, 0, 1, 2}, {306, 0, 1, 2}, {307, 0, 1, 3}, {69, 1, 0, 1},
      {70, 1, 0, 1},  {71, 1, 0, 2},  {140, 1, 0, 2}, {70, 1, 1, 1},  {71, 1, 1, 2},  {134, 1, 1, 2},
      {135, 1, 1, 3}, {0, 1, 1, 0},   {160, 2, 0, 1}, {161, 2, 1, 2}, {320, 2, 1, 2}, {321, 7, 1, 3},
      {161, 0, 2, 2}, {320, 0, 2, 2},
  };
  for (const CountCase& c : cases) {
    EXPECT_EQ(MessageCount(c.length, SendingOptions(c.alphabet, c.concatenation, 1)), c.expected)
        << c.length << " characters, Alphabet " << c.alphabet << ", Concatenation " << c.concatenation;
  }
}

TEST(GsmCharacters, BasicAndExtensionTablesCarry) {
  EXPECT_FALSE(HasCharactersOutsideGsm(u""));
  EXPECT_FALSE(HasCharactersOutsideGsm(u"Hello, World! 10:30 @home \u00A3\u00A5\u00E8\u00E9 \u00C5\u00E5\u00DF"));
  EXPECT_FALSE(HasCharactersOutsideGsm(u"\u0394\u03A6\u0393\u039B\u03A9\u03A0\u03A8\u03A3\u0398\u039E"));
  EXPECT_FALSE(HasCharactersOutsideGsm(u"{[~]} ^ \\ | \u20AC\r\n"));
  EXPECT_FALSE(HasCharactersOutsideGsm(u"\u00BF\u00A1\u00A7\u00A4\u00E4\u00F6\u00F1\u00FC\u00E0_"));
}

TEST(GsmCharacters, OthersDoNot) {
  EXPECT_TRUE(HasCharactersOutsideGsm(u"`"));
  EXPECT_TRUE(HasCharactersOutsideGsm(u"caf\u00EA"));       // e with circumflex
  EXPECT_TRUE(HasCharactersOutsideGsm(u"\u00E7a"));         // lower-case c cedilla
  EXPECT_TRUE(HasCharactersOutsideGsm(u"\u041F\u0440\u0438"));  // Cyrillic
  EXPECT_TRUE(HasCharactersOutsideGsm(u"\t"));
  EXPECT_TRUE(HasCharactersOutsideGsm(std::u16string(1, u'\0')));
  EXPECT_TRUE(HasCharactersOutsideGsm(u"\U0001F600"));
}

}  // namespace
