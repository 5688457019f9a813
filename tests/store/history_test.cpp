#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "store/history_key.h"
#include "store/history_stream.h"
#include "store/sent_history.h"
#include "support/latin1_code_page.h"

namespace {

TEST(HistoryKey, JoinsIdentifierNumberAndStart) {
  struct Case {
    std::optional<std::u16string> mobile;
    double start;
    const char* expected;
  };
  const Case cases[] = {
      {u"+64 21 555 1234", 40252.375, "00AB_+64 21 555 1234_40252.375000"},
      {std::nullopt, 40252.375, "00AB_(null)_40252.375000"},
      {u"", 40252.0, "00AB__40252.000000"},
      // printf's "%f" rounding: nearest, six places.
      {u"1", 40252.0 + 1.0 / 3, "00AB_1_40252.333333"},
      {u"1", 0.0000005000001, "00AB_1_0.000001"},
      {u"1", -1.25, "00AB_1_-1.250000"},
  };
  Latin1CodePage ansi;
  for (const Case& c : cases) {
    EXPECT_EQ(BuildHistoryKey(u"00AB", c.mobile, c.start, ansi), c.expected);
  }
  EXPECT_EQ(BuildHistoryKey(u"E", u"caf\u00e9 \u4e2d", 1.5, ansi), "E_caf\xe9 ?_1.500000");
}

TEST(SentHistory, RecordAndLookUpByKeyAndText) {
  SentHistory history;
  EXPECT_FALSE(history.WasSent("K", "Hi"));
  history.RecordSent("K", "Hi", 1.0);
  history.RecordSent("K", "Hi", 2.0);
  history.RecordSent("K", "0048006900", 3.0);  // same reminder, other alphabet
  EXPECT_TRUE(history.WasSent("K", "Hi"));
  EXPECT_TRUE(history.WasSent("K", "0048006900"));
  EXPECT_FALSE(history.WasSent("K", "hi"));
  EXPECT_FALSE(history.WasSent("K_Hi", ""));
  ASSERT_EQ(history.Entries().size(), 2u);
  EXPECT_EQ(history.Entries().at("K_Hi"), 2.0);
}

TEST(SentHistory, SaveMergeLetsTheMemoryWinAndKeepsEveryFileEntry) {
  const HistoryEntries inFile{{"a", 1.0}, {"b", 2.0}, {"d", 4.0}, {"f", 6.0}};
  const HistoryEntries memory{{"b", 20.0}, {"c", 3.0}, {"g", 7.0}, {"\xe9", 8.0}};
  EXPECT_EQ(MergeForSave(inFile, memory),
            (HistoryEntries{{"a", 1.0}, {"b", 20.0}, {"c", 3.0}, {"d", 4.0}, {"f", 6.0}, {"g", 7.0}, {"\xe9", 8.0}}));
  EXPECT_EQ(MergeForSave({}, memory), memory);
  EXPECT_EQ(MergeForSave(inFile, {}), inFile);
  // A large history in key order on both sides.
  HistoryEntries big, mine;
  for (int i = 0; i < 20000; ++i) (i % 3 ? big : mine)["k" + std::to_string(i)] = i;
  for (int i = 0; i < 20000; i += 7) mine["k" + std::to_string(i)] = -i;
  HistoryEntries merged = MergeForSave(big, mine);
  ASSERT_EQ(merged.size(), 20000u);
  for (const auto& [key, value] : merged) {
    const int i = std::stoi(key.substr(1));
    EXPECT_EQ(value, i % 7 == 0 ? -i : i) << key;
  }
}

TEST(SentHistory, LoadTakesTheFileValueAndKeepsEntriesOnlyInMemory) {
  SentHistory history;
  history.RecordSent("K", "old", 1.0);
  history.RecordSent("K", "both", 2.0);
  history.AddFromFile({{"K_both", 20.0}, {"K_file", 3.0}});
  EXPECT_EQ(history.Entries(), (HistoryEntries{{"K_both", 20.0}, {"K_file", 3.0}, {"K_old", 1.0}}));
  history.AddFromFile({});
  EXPECT_EQ(history.Entries().size(), 3u);
}

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
  return std::vector<unsigned char>(values.begin(), values.end());
}

void Append(std::vector<unsigned char>& out, const std::vector<unsigned char>& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// 1.0 as a little-endian IEEE double.
const std::vector<unsigned char> kOne = Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F});

// Readers of the file (and our own loader's fast path) expect the entries
// in the order of their keys' unsigned bytes: a key is before the keys it
// is a prefix of, and bytes above 0x7F come after ASCII.
TEST(HistoryStream, WritesKeysInTheOrderOfTheirUnsignedBytes) {
  const HistoryEntries entries{{"ab\xe9", 1}, {"abz", 2}, {"ab", 3}, {"a", 4}, {"B", 5}, {"ab\x7f", 6}};
  const std::vector<unsigned char> bytes = SerializeHistory(entries);
  std::vector<std::string> written;
  for (std::size_t at = 4; at + 4 <= bytes.size();) {
    std::uint32_t length;
    std::memcpy(&length, &bytes[at], 4);
    written.emplace_back(reinterpret_cast<const char*>(&bytes[at + 4]), length - 1);
    at += 4 + length + 8;
  }
  EXPECT_EQ(written, (std::vector<std::string>{"B", "a", "ab", "abz", "ab\x7f", "ab\xe9"}));
}

TEST(HistoryStream, EmptyHistoryIsAZeroCount) {
  EXPECT_EQ(SerializeHistory({}), Bytes({0, 0, 0, 0}));
  ParsedHistory parsed = ParseHistory(Bytes({0, 0, 0, 0}).data(), 4);
  EXPECT_TRUE(parsed.entries.empty());
  EXPECT_FALSE(parsed.damaged);
}

TEST(HistoryStream, ByteLayoutAndRoundTrip) {
  HistoryEntries entries{{"ab", 1.0}, {"a", 40252.375}, {"\xff", -0.5}};
  std::vector<unsigned char> bytes = SerializeHistory(entries);
  std::vector<unsigned char> expected = Bytes({3, 0, 0, 0, 2, 0, 0, 0, 'a', 0});
  Append(expected, Bytes({0, 0, 0, 0, 0x8C, 0xA7, 0xE3, 0x40}));  // 40252.375
  Append(expected, Bytes({3, 0, 0, 0, 'a', 'b', 0}));
  Append(expected, kOne);
  Append(expected, Bytes({2, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0xBF}));
  EXPECT_EQ(bytes, expected);
  ParsedHistory parsed = ParseHistory(bytes.data(), bytes.size());
  EXPECT_FALSE(parsed.damaged);
  EXPECT_EQ(parsed.entries, entries);
}

TEST(HistoryStream, LaterDuplicateWinsAndKeyEndsAtFirstNul) {
  std::vector<unsigned char> bytes = Bytes({3, 0, 0, 0});
  Append(bytes, Bytes({2, 0, 0, 0, 'k', 0}));
  Append(bytes, Bytes({0, 0, 0, 0, 0, 0, 0, 0x40}));  // 2.0
  Append(bytes, Bytes({2, 0, 0, 0, 'k', 0}));
  Append(bytes, kOne);
  Append(bytes, Bytes({4, 0, 0, 0, 'x', 0, 'y', 0}));
  Append(bytes, kOne);
  ParsedHistory parsed = ParseHistory(bytes.data(), bytes.size());
  EXPECT_FALSE(parsed.damaged);
  EXPECT_EQ(parsed.entries, (HistoryEntries{{"k", 1.0}, {"x", 1.0}}));
}

TEST(HistoryStream, DamageKeepsWholeEntriesReadBeforeIt) {
  std::vector<unsigned char> good = Bytes({2, 0, 0, 0, 'a', 0});
  Append(good, kOne);
  struct Case {
    const char* what;
    std::vector<unsigned char> tail;  // follows a count of 2 and one good entry
  };
  const Case cases[] = {
      {"count runs past the data", {}},
      {"length runs past the data", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'b', 0})},
      {"length just one past the data", Bytes({3, 0, 0, 0, 'b', 0})},
      {"length of 0", Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
      {"key without its NUL", Bytes({2, 0, 0, 0, 'b', 'c', 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
      {"truncated value", Bytes({2, 0, 0, 0, 'b', 0, 0, 0, 0, 0, 0, 0xF0})},
      {"truncated length", Bytes({2, 0})},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> bytes = Bytes({2, 0, 0, 0});
    Append(bytes, good);
    Append(bytes, c.tail);
    // An exactly sized heap copy lets the sanitizer build catch any overread.
    std::unique_ptr<unsigned char[]> exact(new unsigned char[bytes.size()]);
    std::memcpy(exact.get(), bytes.data(), bytes.size());
    ParsedHistory parsed = ParseHistory(exact.get(), bytes.size());
    EXPECT_TRUE(parsed.damaged) << c.what;
    EXPECT_EQ(parsed.entries, (HistoryEntries{{"a", 1.0}})) << c.what;
  }
}

TEST(HistoryStream, TooShortForACount) {
  for (std::size_t size = 0; size < 4; ++size) {
    std::vector<unsigned char> bytes = Bytes({1, 0, 0, 0});
    ParsedHistory parsed = ParseHistory(bytes.data(), size);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_TRUE(parsed.entries.empty());
  }
}

// Feeds `bytes` in pieces of `pieceSize`, each piece an exactly sized copy.
ParsedHistory ParseInPieces(const std::vector<unsigned char>& bytes, std::size_t pieceSize) {
  HistoryParser parser;
  for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
    std::size_t size = std::min(pieceSize, bytes.size() - at);
    std::unique_ptr<unsigned char[]> piece(new unsigned char[size]);
    std::memcpy(piece.get(), bytes.data() + at, size);
    parser.Feed(piece.get(), size);
  }
  return parser.Finish();
}

TEST(HistoryStream, PiecesOfAnySizeParseLikeTheWhole) {
  HistoryEntries entries{{"first key", 1.0}, {"second", 2.5}, {std::string(300, 'k'), -3.0}};
  std::vector<unsigned char> whole = SerializeHistory(entries);
  std::vector<unsigned char> damaged = whole;
  damaged[0] = 4;                      // a fourth entry follows...
  Append(damaged, Bytes({9, 0, 0, 0, 'x'}));  // ...and is cut short
  std::vector<unsigned char> noNul = SerializeHistory({{"a", 1.0}});
  noNul[0] = 2;
  Append(noNul, Bytes({2, 0, 0, 0, 'b', 'c'}));
  Append(noNul, kOne);
  Append(noNul, kOne);
  for (const auto& bytes : {whole, damaged, noNul}) {
    ParsedHistory expected = ParseHistory(bytes.data(), bytes.size());
    for (std::size_t pieceSize : {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{64}, bytes.size()}) {
      ParsedHistory parsed = ParseInPieces(bytes, pieceSize);
      EXPECT_EQ(parsed.entries, expected.entries) << pieceSize;
      EXPECT_EQ(parsed.damaged, expected.damaged) << pieceSize;
    }
  }
  EXPECT_EQ(ParseHistory(whole.data(), whole.size()).entries, entries);
  EXPECT_EQ(ParseHistory(damaged.data(), damaged.size()).entries, entries);
  EXPECT_EQ(ParseHistory(noNul.data(), noNul.size()).entries, (HistoryEntries{{"a", 1.0}}));
}

TEST(HistoryStream, WrittenInPiecesThatNeverSplitAnEntry) {
  HistoryEntries entries;
  for (int i = 0; i < 50; ++i) entries["key " + std::to_string(i)] = i;
  std::vector<unsigned char> joined;
  std::vector<std::size_t> sizes;
  EXPECT_TRUE(WriteHistoryPieces(entries, 40, [&](const unsigned char* data, std::size_t size) {
    joined.insert(joined.end(), data, data + size);
    sizes.push_back(size);
    return true;
  }));
  EXPECT_EQ(joined, SerializeHistory(entries));
  EXPECT_EQ(joined.size(), HistoryStreamSize(entries));
  ASSERT_GT(sizes.size(), 10u);
  std::set<std::size_t> entryEnds;
  std::size_t end = 4;
  for (const auto& entry : entries) entryEnds.insert(end += 4 + entry.first.size() + 1 + 8);
  std::size_t pieceEnd = 0;
  for (std::size_t size : sizes) {
    EXPECT_LE(size, 40u);
    EXPECT_EQ(entryEnds.count(pieceEnd += size), 1u) << pieceEnd;
  }

  int calls = 0;
  EXPECT_FALSE(WriteHistoryPieces(entries, 40, [&](const unsigned char*, std::size_t) { return ++calls < 3; }));
  EXPECT_EQ(calls, 3);
}

TEST(HistoryStream, HugeCountOnShortDataStopsAtTheEnd) {
  std::vector<unsigned char> bytes = Bytes({0xFF, 0xFF, 0xFF, 0xFF});
  ParsedHistory parsed = ParseHistory(bytes.data(), bytes.size());
  EXPECT_TRUE(parsed.damaged);
  EXPECT_TRUE(parsed.entries.empty());
}

}  // namespace
