// The exported history file: bytes as a spreadsheet reads them.
#include <gtest/gtest.h>

#include "store/history_csv.h"
#include "support/fixed_clock.h"

namespace {

TEST(HistoryCsv, QuotesWhatRfc4180NeedsAndKeepsFormulasFromRunning) {
  struct Case {
    std::u16string value;
    std::string field;
  } cases[] = {
      {u"plain", "plain"},
      {u"", ""},
      {u"a,b", "\"a,b\""},
      {u"say \"hi\"", "\"say \"\"hi\"\"\""},
      {u"two\r\nlines", "\"two\r\nlines\""},
      {u"=1+1", "'=1+1"},
      {u"+64 21 555 0101", "'+64 21 555 0101"},
      {u"-2", "'-2"},
      {u"@SUM(A1)", "'@SUM(A1)"},
      {u"\tx", "'\tx"},
      {u"\rx", "\"'\rx\""},
      {u"=HYPERLINK(\"x\",\"y\")", "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
      {u"a=b", "a=b"},
  };
  for (const Case& c : cases) EXPECT_EQ(CsvField(c.value), c.field) << c.field;
}

TEST(HistoryCsv, WritesUtf8IncludingSurrogatePairs) {
  EXPECT_EQ(Utf8(u"\u0414\u043E\u0440\u0430"), "\xD0\x94\xD0\xBE\xD1\x80\xD0\xB0");  // Cyrillic
  EXPECT_EQ(Utf8(u"\u0395\u03BB\u03AD\u03BD\u03B7"), "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7");  // Greek
  EXPECT_EQ(Utf8(u"\U0001F600\u20AC"), "\xF0\x9F\x98\x80\xE2\x82\xAC");
  EXPECT_EQ(Utf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
}

TEST(HistoryCsv, TimesAreLocalWithTheZonesOffset) {
  const FixedClock auckland(0, 13), westOfUtc(0, -5);
  EXPECT_EQ(Iso8601Local(40252.375, auckland), "2010-03-15T09:00:00+13:00");
  EXPECT_EQ(Iso8601Local(40252.375, westOfUtc), "2010-03-15T09:00:00-05:00");
  FixedClock unknown(0);
  unknown.refuseConversion = true;
  EXPECT_EQ(Iso8601Local(40252.375, unknown), "2010-03-15T09:00:00");
  EXPECT_EQ(Iso8601Local(0, auckland), "") << "no date";
}

TEST(HistoryCsv, TheFileHasABomAHeaderAndOneCrLfRowPerEntry) {
  HistoryRow ann;
  ann.when = 40252.25;
  ann.name = u"\u0414\u043E\u0440\u0430 Ivanova";
  ann.number = u"+64 21 555 0104";
  ann.meetingStart = 40252.375;
  ann.text = u"\u0393\u03B5\u03B9\u03B1, see you";
  HistoryRow unknown;
  unknown.uncertain = true;
  unknown.when = 40252.5;
  unknown.number = u"021";
  const FixedClock clock(0, 13);
  EXPECT_EQ(HistoryCsv({&ann, &unknown}, clock),
            "\xEF\xBB\xBF"
            "Sent or scheduled,Name,Number,Meeting start,Text,Outcome\r\n"
            "2010-03-15T06:00:00+13:00,\xD0\x94\xD0\xBE\xD1\x80\xD0\xB0 Ivanova,'+64 21 555 0104,"
            "2010-03-15T09:00:00+13:00,\"\xCE\x93\xCE\xB5\xCE\xB9\xCE\xB1, see you\",accepted\r\n"
            "2010-03-15T12:00:00+13:00,,021,,,uncertain\r\n");
}

}  // namespace
