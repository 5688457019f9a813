#include <gtest/gtest.h>

#include "support/memory_settings.h"

namespace {

TEST(SettingsValues, IntegersAndFlagsAreWrittenAsDecimalText) {
  MemorySettings settings;
  struct Case {
    int value;
    const char16_t* text;
  };
  for (const Case& c : {Case{0, u"0"}, Case{42, u"42"}, Case{-7, u"-7"},
                        Case{2147483647, u"2147483647"}, Case{-2147483647 - 1, u"-2147483648"}}) {
    settings.SetInt(u"ReminderUnitsCount", c.value);
    EXPECT_EQ(settings.Raw(u"ReminderUnitsCount"), std::u16string(c.text));
  }
  settings.SetFlag(settings_key::kConcatenation, true);
  EXPECT_EQ(settings.Raw(settings_key::kConcatenation), u"1");
  settings.SetFlag(settings_key::kConcatenation, false);
  EXPECT_EQ(settings.Raw(settings_key::kConcatenation), u"0");
}

TEST(SettingsValues, ReadingRulesOfTheMemoryStore) {
  MemorySettings settings;
  EXPECT_EQ(settings.GetInt(settings_key::kShowDeliveryResults, 1), 1u);
  EXPECT_EQ(settings.GetString(settings_key::kUserName), u"");
  struct Case {
    const char16_t* text;
    unsigned expected;
  };
  for (const Case& c : {Case{u"2", 2u}, Case{u"12abc", 12u}, Case{u"abc", 0u}, Case{u" 5", 5u},
                        Case{u"+3", 3u}, Case{u"-1", 0xFFFFFFFFu}, Case{u"- 4", 0u},
                        Case{u"4294967297", 1u}, Case{u"", 9u}}) {
    settings.SetString(u"Number", c.text);
    EXPECT_EQ(settings.GetInt(u"Number", 9), c.expected);
  }
  settings.SetString(u"Long", std::u16string(3000, u'x'));
  EXPECT_EQ(settings.GetString(u"Long"), std::u16string(2047, u'x'));
  EXPECT_EQ(settings.Raw(u"Long")->size(), 3000u);
}

TEST(Templates, AddTemplateTwiceFillsNumberedKeys) {
  MemorySettings settings;
  EXPECT_EQ(settings.TemplateCount(), 0);
  settings.AddTemplate(u"Checkup", u"See you [[appt date]]");
  settings.AddTemplate(u"Checkup", u"Second text");
  EXPECT_EQ(settings.Raw(u"SavedTemplatesCount"), u"2");
  EXPECT_EQ(settings.Raw(u"SavedTemplateName1"), u"Checkup");
  EXPECT_EQ(settings.Raw(u"SavedTemplateText1"), u"See you [[appt date]]");
  EXPECT_EQ(settings.Raw(u"SavedTemplateName2"), u"Checkup");
  EXPECT_EQ(settings.Raw(u"SavedTemplateText2"), u"Second text");
  EXPECT_EQ(settings.TemplateCount(), 2);
  EXPECT_EQ(settings.GetTemplateName(2), u"Checkup");
  EXPECT_EQ(settings.GetTemplateText(1), u"See you [[appt date]]");
  EXPECT_EQ(settings.GetTemplateText(3), u"");
}

TEST(Templates, SetTemplateTextLeavesTheNameAlone) {
  MemorySettings settings;
  settings.AddTemplate(u"Name", u"Old");
  settings.SetTemplateText(1, u"New");
  EXPECT_EQ(settings.GetTemplateText(1), u"New");
  EXPECT_EQ(settings.GetTemplateName(1), u"Name");
  EXPECT_EQ(settings.TemplateCount(), 1);
}

TEST(Templates, DefaultTemplateIsAddedOnlyToAnEmptyList) {
  MemorySettings settings;
  settings.EnsureTemplateExists();
  settings.EnsureTemplateExists();
  EXPECT_EQ(settings.TemplateCount(), 1);
  EXPECT_EQ(settings.GetTemplateName(1), u"Dentist appointment");
  EXPECT_EQ(settings.GetTemplateText(1),
            u"Dear [[first name]], don't forget your dentist appointment at [[appt time]] on "
            u"[[appt date]]. thanks the team at quendle dental Rudid Uririviv.");

  MemorySettings existing;
  existing.AddTemplate(u"Mine", u"Hello");
  existing.EnsureTemplateExists();
  EXPECT_EQ(existing.TemplateCount(), 1);
  EXPECT_EQ(existing.GetTemplateName(1), u"Mine");
}

TEST(Templates, NegativeCountCountsAsNoTemplates) {
  MemorySettings settings;
  settings.SetString(u"SavedTemplatesCount", u"-3");
  EXPECT_EQ(settings.TemplateCount(), 0);
  settings.EnsureTemplateExists();
  EXPECT_EQ(settings.Raw(u"SavedTemplatesCount"), u"1");
  EXPECT_EQ(settings.GetTemplateName(1), u"Dentist appointment");
}

}  // namespace
