#include "store/sending_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/memory_settings.h"

namespace {

std::string Shown(const std::optional<std::u16string>& stored) {
  return stored ? "\"" + std::string(stored->begin(), stored->end()) + "\"" : "absent";
}

SendingOptions ReadWith(const std::u16string& key, const std::optional<std::u16string>& stored) {
  MemorySettings settings;
  if (stored) settings.SetString(key, *stored);
  return SendingOptions::Read(settings);
}

TEST(SendingOptions, TheAlphabetIsHexForAnythingButZeroAndUnicodeOnlyForOne) {
  struct Case {
    std::optional<std::u16string> stored;
    bool hex, unicodeFlag, unicodeParts;
  } cases[] = {
      {std::nullopt, false, false, false}, {u"0", false, false, false}, {u"1", true, true, true},
      {u"2", true, false, false},          {u"", false, false, false},  {u"-1", true, false, false},
      {u"1x", true, true, true},           {u"GSM", false, false, false},
  };
  for (const Case& c : cases) {
    const SendingOptions options = ReadWith(u"Alphabet", c.stored);
    EXPECT_EQ(options.HexEncodesText(), c.hex) << Shown(c.stored);
    EXPECT_EQ(options.MarksRequestUnicode(), c.unicodeFlag) << Shown(c.stored);
    EXPECT_EQ(options.CountsUnicodeParts(), c.unicodeParts) << Shown(c.stored);
  }
}

TEST(SendingOptions, ConcatenationAndTheReportAreOnOnlyForOneAndTheirDefaultsDiffer) {
  struct Case {
    std::optional<std::u16string> stored;
    bool concatenates, showsResults;
  } cases[] = {
      {std::nullopt, false, true}, {u"", false, true},  {u"1", true, true},
      {u"0", false, false},        {u"2", false, false}, {u"yes", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadWith(u"Concatenation", c.stored).Concatenates(), c.concatenates) << Shown(c.stored);
    EXPECT_EQ(ReadWith(u"ShowDeliveryResults", c.stored).ShowsDeliveryResults(), c.showsResults)
        << Shown(c.stored);
  }
}

}  // namespace
