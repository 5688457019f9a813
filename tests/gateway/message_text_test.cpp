#include <gtest/gtest.h>

#include "gateway/message_text.h"
#include "gateway_fakes.h"

namespace {

SendingOptions WithAlphabet(unsigned alphabet) { return SendingOptions(alphabet, 0, 1); }

TEST(EncodeMessageText, UnicodeAlphabetWritesFourUpperCaseDigitsPerUnitHighByteFirst) {
  Latin1CodePage codePage;
  EXPECT_EQ(EncodeMessageText(u"Hi", WithAlphabet(1), codePage), "00480069");
  EXPECT_EQ(EncodeMessageText(u"\u20AC\u00E9\u4E2D", WithAlphabet(1), codePage), "20AC00E94E2D");
  // A character outside the basic plane is two units, each written alone.
  EXPECT_EQ(EncodeMessageText(u"\U0001F600", WithAlphabet(1), codePage), "D83DDE00");
  EXPECT_EQ(EncodeMessageText(u"", WithAlphabet(1), codePage), "");
  // Every nonzero alphabet value encodes; only the flag needs exactly 1.
  EXPECT_EQ(EncodeMessageText(u"A", WithAlphabet(2), codePage), "0041");
}

TEST(EncodeMessageText, GsmAlphabetConvertsThroughTheCodePage) {
  Latin1CodePage codePage;
  EXPECT_EQ(EncodeMessageText(u"Hi & bye", WithAlphabet(0), codePage), "Hi & bye");
  EXPECT_EQ(EncodeMessageText(u"caf\u00E9 \u20AC", WithAlphabet(0), codePage), "caf\xE9 ?");
  EXPECT_EQ(EncodeMessageText(u"", WithAlphabet(0), codePage), "");
}

}  // namespace
