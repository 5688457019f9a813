#include "addin/options_form.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/memory_settings.h"

namespace {

// Records the order of writes on top of the in-memory store.
TEST(OptionsForm, EmptyStoreOpensWithTheDefaults) {
  MemorySettings settings;
  OptionsForm form = ReadOptions(settings);
  EXPECT_EQ(form.userName, u"");
  EXPECT_EQ(form.password, u"");
  EXPECT_FALSE(form.concatenation);
  EXPECT_TRUE(form.showDeliveryResults);
  EXPECT_EQ(form.alphabet, AlphabetChoice::Gsm);
}

TEST(OptionsForm, BoxesAreCheckedOnlyByAStoredOne) {
  struct Case {
    const char16_t* stored;
    bool checked;
  } cases[] = {{u"1", true}, {u"0", false}, {u"2", false}, {u"yes", false}, {u"1abc", true}, {u" 1", true}};
  for (const Case& c : cases) {
    MemorySettings settings;
    settings.SetString(settings_key::kConcatenation, c.stored);
    settings.SetString(settings_key::kShowDeliveryResults, c.stored);
    OptionsForm form = ReadOptions(settings);
    EXPECT_EQ(form.concatenation, c.checked) << std::string(c.stored, c.stored + 1);
    EXPECT_EQ(form.showDeliveryResults, c.checked) << std::string(c.stored, c.stored + 1);
  }
}

TEST(OptionsForm, AlphabetOutsideZeroAndOneChecksNeitherAndSavesAsGsm) {
  RecordingSettings settings;
  settings.SetString(settings_key::kAlphabet, u"2");
  OptionsForm form = ReadOptions(settings);
  EXPECT_EQ(form.alphabet, AlphabetChoice::Neither);
  WriteOptions(settings, form);
  EXPECT_EQ(settings.Raw(settings_key::kAlphabet), u"0");

  settings.SetString(settings_key::kAlphabet, u"1");
  EXPECT_EQ(ReadOptions(settings).alphabet, AlphabetChoice::Unicode);
}

TEST(OptionsForm, OkWritesAllFiveValuesInOrderAsTyped) {
  RecordingSettings settings;
  OptionsForm form;
  form.userName = u"  ";
  form.password = u"p=w;\u00e9";
  form.concatenation = true;
  form.showDeliveryResults = false;
  form.alphabet = AlphabetChoice::Unicode;
  WriteOptions(settings, form);
  std::vector<std::u16string> expected{u"UserName=  ", u"Password=p=w;\u00e9", u"Concatenation=1",
                                       u"ShowDeliveryResults=0", u"Alphabet=1"};
  EXPECT_EQ(settings.writes, expected);
}

TEST(OptionsForm, OkNeedsTextInBothAccountFieldsBlanksIncluded) {
  EXPECT_FALSE(OptionsCanBeSaved(u"", u""));
  EXPECT_FALSE(OptionsCanBeSaved(u"user", u""));
  EXPECT_FALSE(OptionsCanBeSaved(u"", u"secret"));
  EXPECT_TRUE(OptionsCanBeSaved(u" ", u" "));
  EXPECT_TRUE(OptionsCanBeSaved(u"user", u"secret"));
}

}  // namespace
