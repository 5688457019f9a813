#include "send/recipient_tokens.h"

#include <gtest/gtest.h>

namespace {

using Tokens = std::vector<std::u16string>;
const std::u16string kSep = kRecipientSeparator;

TEST(SplitRecipients, CutsAtEveryExactSemicolonBlank) {
  EXPECT_EQ(SplitRecipients(u""), Tokens{u""});
  EXPECT_EQ(SplitRecipients(u"A (1); B (2)"), (Tokens{u"A (1)", u"B (2)"}));
  EXPECT_EQ(SplitRecipients(u"A (1); "), (Tokens{u"A (1)", u""}));
  EXPECT_EQ(SplitRecipients(u"A (1);B (2)"), Tokens{u"A (1);B (2)"}) << "no blank, no cut";
  EXPECT_EQ(SplitRecipients(u" A ;  B"), (Tokens{u" A ", u" B"})) << "no trimming";
  EXPECT_EQ(SplitRecipients(u"A; ; B"), (Tokens{u"A", u"", u"B"}));
  EXPECT_EQ(SplitRecipients(u"a;; b"), (Tokens{u"a;", u"b"}));
}

TEST(SeparatorOccurrence, AnyTwoSeparatorCharactersInsideTheText) {
  EXPECT_TRUE(IsSeparatorAt(u"a; b", 1, kSep));
  EXPECT_TRUE(IsSeparatorAt(u"a ;b", 1, kSep));
  EXPECT_TRUE(IsSeparatorAt(u"a;;b", 1, kSep));
  EXPECT_TRUE(IsSeparatorAt(u"a  b", 1, kSep));
  EXPECT_FALSE(IsSeparatorAt(u"a;b", 1, kSep));
  EXPECT_FALSE(IsSeparatorAt(u"a;", 1, kSep)) << "only characters inside the text count";
}

TEST(TokenAround, IsTheRecipientAroundTheCaret) {
  std::u16string text = u"A; Bob; C";
  TokenBounds bob = TokenAround(text, 5, kSep);  // between o and b
  EXPECT_EQ(text.substr(bob.start, bob.end - bob.start), u"Bob");
  EXPECT_EQ(TokenAround(text, 0, kSep).end, 1u);
  TokenBounds last = TokenAround(text, text.size(), kSep);
  EXPECT_EQ(text.substr(last.start), u"C");
  TokenBounds afterSeparator = TokenAround(u"Al (3); ", 8, kSep);
  EXPECT_EQ(afterSeparator.start, 8u);
  EXPECT_EQ(afterSeparator.end, 8u) << "an empty token after a trailing separator";
}

TEST(TokenAround, ASingleSemicolonDoesNotEndTheToken) {
  std::u16string text = u"Bob (1);";
  TokenBounds token = TokenAround(text, text.size(), kSep);
  EXPECT_EQ(text.substr(token.start, token.end - token.start), u"Bob (1);");
}

TEST(ApplyEntry, ReplacesOnlyTheTokenAroundTheCaret) {
  AppliedEntry last = ApplyEntry(u"Al (3); b", 9, kSep, u"Bob (1)");
  EXPECT_EQ(last.text, u"Al (3); Bob (1)");
  EXPECT_EQ(last.selectionStart, 8u);
  EXPECT_EQ(last.selectionEnd, 15u);

  AppliedEntry first = ApplyEntry(u"b; Al (3)", 1, kSep, u"Bob (1)");
  EXPECT_EQ(first.text, u"Bob (1); Al (3)") << "the separator and the next recipient stay";
  EXPECT_EQ(first.selectionStart, 0u);
  EXPECT_EQ(first.selectionEnd, 7u);

  EXPECT_EQ(ApplyEntry(u"", 0, kSep, u"Al (3)").text, u"Al (3)") << "no separator is added";
}

}  // namespace
