#include "send/suggestion_list.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Entries = std::vector<std::u16string>;

TEST(SuggestionList, MatchesInOrderIgnoringTheCaseOfAToZ) {
  SuggestionList list;
  list.SetEntries({u"Bob (1)", u"bea (2)", u"Al (3)"});
  EXPECT_EQ(list.Copy(list.Matches(u"b")), (Entries{u"bea (2)", u"Bob (1)"}));
  EXPECT_EQ(list.Copy(list.Matches(u"B")), (Entries{u"bea (2)", u"Bob (1)"}));
  EXPECT_EQ(list.Copy(list.Matches(u"BO")), Entries{u"Bob (1)"});
  EXPECT_EQ(list.Copy(list.Matches(u"Bob (1);")), Entries{}) << "longer than every entry";
  EXPECT_EQ(list.Copy(list.Matches(u"c")), Entries{});
  EXPECT_EQ(list.Entries(), (Entries{u"Al (3)", u"bea (2)", u"Bob (1)"}));
}

TEST(SuggestionList, FoldsNothingButAToZ) {
  SuggestionList list;
  list.SetEntries({u"\u00C9mile (1)", u"\u00E9va (2)", u"_x (3)", u"[y (4)"});
  EXPECT_EQ(list.Copy(list.Matches(u"\u00E9")), Entries{u"\u00E9va (2)"}) << "accented letters match exactly";
  // '[' and '_' lie between 'Z' and 'a': read as lower case, letters sort after them.
  list.SetEntries({u"b", u"_", u"A", u"["});
  EXPECT_EQ(list.Entries(), (Entries{u"[", u"_", u"A", u"b"}));
}

TEST(SuggestionList, EntriesEqualButForCaseKeepTheirGivenOrder) {
  SuggestionList list;
  list.SetEntries({u"ann (1)", u"ANN (1)", u"Ann (1)"});
  EXPECT_EQ(list.Copy(list.Matches(u"aN")), (Entries{u"ann (1)", u"ANN (1)", u"Ann (1)"}));
}

// The binary search against the literal scan-and-sort on generated entries
// over a small alphabet, so that prefixes, case twins and the characters
// between the upper- and lower-case letters all meet.
TEST(SuggestionList, BinarySearchFindsWhatTheScanFinds) {
  const std::u16string alphabet = u"aAbB_[ (1)\u00E9";
  std::mt19937 random(20240611);
  auto word = [&](std::size_t maxLength) {
    std::u16string w;
    std::size_t length = random() % (maxLength + 1);
    for (std::size_t i = 0; i < length; ++i) w += alphabet[random() % alphabet.size()];
    return w;
  };
  for (int round = 0; round < 20; ++round) {
    Entries entries;
    for (int i = 0; i < 300; ++i) entries.push_back(word(6));
    SuggestionList list;
    list.SetEntries(entries);
    for (int t = 0; t < 200; ++t) {
      std::u16string token = word(4);
      ASSERT_EQ(list.Copy(list.Matches(token)), ScanMatches(list.Entries(), token)) << "round " << round;
    }
  }
}

}  // namespace
