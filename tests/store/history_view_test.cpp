// The history as the "Sent messages" list shows it: entries split back
// into their parts, texts decoded, the search and the order.
#include <gtest/gtest.h>

#include "store/history_view.h"
#include "support/latin1_code_page.h"

namespace {

const Latin1CodePage kCodePage;

TEST(HistoryView, SplitsAKeyAtTheMeetingStartEvenWhenNumberAndTextHoldUnderscores) {
  auto parts = SplitEntryKey("00AB12_+64_21 555_40252.375000_Hi_there_1.000000_x");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->entryId, "00AB12");
  EXPECT_EQ(parts->number, "+64_21 555");
  EXPECT_DOUBLE_EQ(parts->meetingStart, 40252.375);
  EXPECT_EQ(parts->text, "Hi_there_1.000000_x");
  EXPECT_EQ(SplitEntryKey("E_(null)_40252.375000_")->number, "(null)");
  EXPECT_FALSE(SplitEntryKey("no underscore"));
  EXPECT_FALSE(SplitEntryKey("E_+64 21_40252.37_Hi")) << "six decimals or no start";
}

TEST(HistoryView, DecodesUnicodeHexAndLeavesAnsiTextAsItIs) {
  EXPECT_EQ(DecodeMessageText("0048006904140435", kCodePage), u"Hi\u0414\u0435");
  EXPECT_EQ(DecodeMessageText("See you at 09:05", kCodePage), u"See you at 09:05");
  EXPECT_EQ(DecodeMessageText("Caf\xE9", kCodePage), u"Caf\u00E9");
  EXPECT_EQ(DecodeMessageText("00480069a", kCodePage), u"00480069a") << "not whole quadruples";
  EXPECT_EQ(DecodeMessageText("0048006a", kCodePage), u"0048006a") << "the encoder writes upper case";
}

TEST(HistoryView, RowsCoverAcceptedAndUncertainEntriesWithNamesWhereTheLookupHasOne) {
  SentHistory history;
  history.RecordSent("E1_+64 21 555 0101_40252.375000", "Hi Ann", 40250.5);
  history.RecordUncertain("E2_021 555 0102_40253.375000", "004200D6", 40251.25);
  history.RecordSent("E3_(null)_40254.375000", "Hi Eve", 40252.5);
  const auto rows = HistoryRows(history, kCodePage, [](const std::string& id) {
    return id == "E1" ? std::u16string(u"Ann Lee") : std::u16string();
  });
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].name, u"Ann Lee");
  EXPECT_EQ(rows[1].number, u"primary number") << "reached without a mobile number";
  EXPECT_EQ(rows[0].number, u"+64 21 555 0101");
  EXPECT_FALSE(rows[0].uncertain);
  EXPECT_DOUBLE_EQ(rows[0].when, 40250.5);
  EXPECT_TRUE(rows[2].uncertain);
  EXPECT_EQ(rows[2].name, u"");
  EXPECT_EQ(rows[2].text, u"B\u00D6");
  EXPECT_DOUBLE_EQ(rows[2].meetingStart, 40253.375);
  EXPECT_EQ(rows[2].entryKey, "E2_021 555 0102_40253.375000_004200D6");
}

HistoryRow Row(double when, std::u16string name, std::u16string number, std::u16string text) {
  HistoryRow row;
  row.when = when;
  row.name = std::move(name);
  row.number = std::move(number);
  row.text = std::move(text);
  row.meetingStart = 50000 - when;
  return row;
}

std::vector<std::u16string> Names(const HistoryTable& table) {
  std::vector<std::u16string> names;
  for (std::size_t i = 0; i < table.Count(); ++i) names.push_back(table.At(i).name);
  return names;
}

TEST(HistoryView, NewestFirstThenSortedByAnyColumnAndFilteredAcrossNumberNameAndTextIgnoringCase) {
  HistoryTable table({Row(3, u"\u0414\u043E\u0440\u0430", u"+64 21 555 0104", u"See you Monday"),
                      Row(5, u"ann Lee", u"+64 21 555 0101", u"\u0393\u0395\u0399\u0391 \u03A3\u0391\u03A3"),
                      Row(4, u"Bob Roe", u"021 555 0102", u"Hi Bob")});
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"ann Lee", u"Bob Roe", u"\u0414\u043E\u0440\u0430"}));
  table.SortBy(HistoryColumn::MeetingStart, true);
  EXPECT_EQ(table.At(0).name, u"ann Lee");
  table.SortBy(HistoryColumn::Name, false);
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"\u0414\u043E\u0440\u0430", u"Bob Roe", u"ann Lee"}));

  table.Filter(u"\u0434\u041E\u0420");  // Cyrillic in mixed case
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"\u0414\u043E\u0440\u0430"}));
  table.Filter(u"\u03c3\u03b1\u03c2");  // Greek, final sigma typed
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"ann Lee"}));
  table.Filter(u"555 01");
  EXPECT_EQ(table.Count(), 3u) << "a shorter search widens again";
  table.Filter(u"555 0102");
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"Bob Roe"}));
  table.Filter(u"HI B");
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"Bob Roe"}));
  table.SortBy(HistoryColumn::When, true);
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"Bob Roe"})) << "sorting keeps the search";
  table.Filter(u"");
  EXPECT_EQ(table.Count(), table.TotalCount());
  EXPECT_EQ(table.At(0).when, 3);
}

TEST(HistoryView, RemovalTakesOutTheNamedEntriesOfBothKinds) {
  HistoryEntries entries{{"a", 1}, {"b", 2}, {"c", 3}};
  EXPECT_EQ(RemoveEntries(entries, [](const std::string& key) { return key != "b"; }), 2u);
  EXPECT_EQ(entries, (HistoryEntries{{"b", 2}}));
}

}  // namespace
