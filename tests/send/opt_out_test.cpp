// Who counts as opted out: the setting, the category list and its report.
#include "send/opt_out.h"

#include <gtest/gtest.h>

#include "support/memory_settings.h"

namespace {

TEST(OptOutTest, TheSettingNamesTheCategoryAMissingOneTheDefaultAnEmptyOneNone) {
  MemorySettings settings;
  EXPECT_EQ(OptOut::Read(settings).category(), u"No SMS");
  settings.SetString(u"OptOutCategory", u" Do not text ");
  EXPECT_EQ(OptOut::Read(settings).category(), u"Do not text");
  settings.SetString(u"OptOutCategory", u"");
  EXPECT_FALSE(OptOut::Read(settings).On());
  EXPECT_FALSE(OptOut::Read(settings).InCategories(u"No SMS"));
}

TEST(OptOutTest, TheCategoryIsOneOfTheListedNamesWhateverTheSeparatorAndCase) {
  struct Case {
    std::u16string categories;
    bool in;
  } cases[] = {
      {u"No SMS", true},
      {u"VIP, no sms", true},
      {u"VIP;NO SMS ; Family", true},
      {u"  No SMS  ,", true},
      {u"", false},
      {u"No SMS please", false},
      {u"No, SMS", false},
      {u"NoSMS", false},
  };
  const OptOut optOut(u"No SMS");
  for (const Case& c : cases) {
    EXPECT_EQ(optOut.InCategories(c.categories), c.in) << std::string(c.categories.begin(), c.categories.end());
  }
  // Greek and Cyrillic names fold as Latin ones do.
  EXPECT_TRUE(OptOut(u"Без СМС").InCategories(u"VIP; без смс"));
  EXPECT_TRUE(OptOut(u"Όχι SMS").InCategories(u"όχι sms"));
}

TEST(OptOutTest, TheReportLineAndTheQuestionNameThePeopleAndTheCategoryAsSet) {
  const OptOut optOut(u"No SMS");
  EXPECT_EQ(optOut.ReportLine(u"Ann Lee"),
            u"Message for Ann Lee was not sent because Ann Lee does not want SMS (category \"No SMS\").");
  EXPECT_EQ(optOut.Question({u"Ann Lee (+44 1)", u"Bob (2)"}),
            u"These recipients do not want SMS (category \"No SMS\"):\n\nAnn Lee (+44 1)\nBob (2)\n\n"
            u"Do you want to send the message to them anyway?");
}

}  // namespace
