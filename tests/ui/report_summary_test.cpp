// What the long delivery report shows above and before its lines.
#include <gtest/gtest.h>

#include "gateway/report_summary.h"

namespace {

const std::u16string kReport =
    u"SMS delivery results:\n\n"
    u"Message for Ann Lee was sent successfully. Details: Queued\n"
    u"Message for Bob Roe was not sent. Details: Bad number\n"
    u"Message for Cy was sent successfully. Details: said was not sent before\n"
    u"Message for Dora may not have been sent. Details: The connection was closed\n"
    u"Message for Eve was not sent because Eve does not want SMS (category \"No SMS\").\n"
    u"\n";

TEST(ReportSummary, CountsEachLineByTheWordingThatComesFirst) {
  const ReportSummary summary = SummarizeReport(kReport);
  EXPECT_EQ(summary.sent, 2);
  EXPECT_EQ(summary.notSent, 2);
  EXPECT_EQ(summary.uncertain, 1);
  EXPECT_EQ(SummaryLine(summary), u"2 sent, 2 not sent, 1 may not have been sent");
  EXPECT_EQ(SummaryLine({198, 0, 0}), u"198 sent");
}

TEST(ReportSummary, ListsTheLinesThatWereNotSentFirstThenTheWholeReport) {
  EXPECT_EQ(ProblemsFirst(kReport),
            u"Not sent or may not have been sent:\n\n"
            u"Message for Bob Roe was not sent. Details: Bad number\n"
            u"Message for Dora may not have been sent. Details: The connection was closed\n"
            u"Message for Eve was not sent because Eve does not want SMS (category \"No SMS\").\n"
            u"\nAll results:\n\n" +
                kReport);
  const std::u16string allSent = u"SMS delivery results:\n\nMessage for Ann was sent successfully. Details: \n";
  EXPECT_EQ(ProblemsFirst(allSent), allSent);
}

TEST(ReportSummary, AMessageBoxHoldsTheReportWhileTextAndFrameFitTheWorkArea) {
  EXPECT_TRUE(ReportFitsMessageBox(600, 120, 720));
  EXPECT_FALSE(ReportFitsMessageBox(601, 120, 720));
}

}  // namespace
