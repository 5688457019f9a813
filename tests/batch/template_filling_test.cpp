#include <gtest/gtest.h>

#include "batch/template_filling.h"
#include "fake_mail_client.h"

using fake::At;

namespace {

const std::u16string kDefaultText =
    u"Dear [[first name]], don't forget your dentist appointment at [[appt time]] on "
    u"[[appt date]]. thanks the team at quendle dental Rudid Uririviv.";

TEST(TemplateFilling, FormatsDateMonthFirstAndTimeWithoutSeconds) {
  const std::u16string text = u"[[appt date]] [[appt time]]";
  EXPECT_EQ(FillTemplate(text, u"", At(2011, 2, 3, 9, 5)), u"02/03/2011 09:05");
  EXPECT_EQ(FillTemplate(text, u"", At(2011, 12, 24, 0, 0)), u"12/24/2011 00:00");
  EXPECT_EQ(FillTemplate(text, u"", At(2011, 7, 1, 13, 30, 45)), u"07/01/2011 13:30");
}

TEST(TemplateFilling, FillsTheDefaultText) {
  EXPECT_EQ(FillTemplate(kDefaultText, u"Anna", At(2011, 2, 3, 9, 5)),
            u"Dear Anna, don't forget your dentist appointment at 09:05 on 02/03/2011. thanks the "
            u"team at quendle dental Rudid Uririviv.");
  EXPECT_EQ(FillTemplate(kDefaultText, u"", At(2011, 2, 3, 9, 5)).substr(0, 24),
            u"Dear , don't forget your");
}

TEST(TemplateFilling, ReplacesOnlyExactPlaceholdersEveryTime) {
  const double start = At(2011, 2, 3, 9, 5);
  EXPECT_EQ(FillTemplate(u"[[First Name]] [[first  name]] [first name] [[name]]", u"Anna", start),
            u"[[First Name]] [[first  name]] [first name] [[name]]");
  EXPECT_EQ(FillTemplate(u"[[first name]]/[[first name]] at [[appt time]], [[appt time]]", u"Bo",
                         start),
            u"Bo/Bo at 09:05, 09:05");
  EXPECT_EQ(FillTemplate(u"No placeholders here.", u"Anna", start), u"No placeholders here.");
}

TEST(TemplateFilling, ScansOnBehindInsertedTextButLaterStepsSearchIt) {
  const double start = At(2011, 2, 3, 9, 5);
  // The same step does not search what it inserted, nor the text it joined.
  EXPECT_EQ(FillTemplate(u"[[first name]]!", u"[[first name]]", start), u"[[first name]]!");
  EXPECT_EQ(FillTemplate(u"[[first [[first name]]name]]", u"", start), u"[[first name]]");
  // A later step finds its placeholder inside an earlier insertion.
  EXPECT_EQ(FillTemplate(u"Hi [[first name]]", u"[[appt time]] [[appt date]]", start),
            u"Hi 09:05 02/03/2011");
}

}  // namespace
