#include <gtest/gtest.h>

#include <memory>

#include "gateway/delivery_report.h"
#include "gateway/sms_message.h"
#include "gateway_fakes.h"

namespace {

constexpr double kReplyTimeUtc = 40252.5;  // 15 March 2010 12:00 UTC

struct ReplyCase {
  const char* reply;
  bool accepted;
  const char* details;  // successDetails when accepted, else failureDetails
  const char* report;
};

class ParseReplyCase : public testing::TestWithParam<ReplyCase> {};

TEST_P(ParseReplyCase, FillsResultFields) {
  Latin1CodePage codePage;
  FixedClock clock(kReplyTimeUtc);
  auto contact = std::make_shared<FakeContact>();
  contact->fullName = u"Jane Doe";
  SMSMessage message(codePage, clock, contact, "Hi", 0);
  message.ParseReply(GetParam().reply);

  EXPECT_EQ(message.reply(), GetParam().reply);
  EXPECT_EQ(message.accepted(), GetParam().accepted);
  EXPECT_EQ(GetParam().accepted ? message.successDetails() : message.failureDetails(),
            GetParam().details);
  EXPECT_EQ(message.reportText(), GetParam().report);
  // What the user reads: the record's line, or for a reply that is not
  // understood a line saying the message may not have gone.
  const std::string shown = *GetParam().report
                                ? std::string(GetParam().report)
                                : "Message for Jane Doe may not have been sent. Details: The SMS gateway's answer "
                                  "was not understood.";
  EXPECT_EQ(message.ReportLine(), codePage.FromAnsi(shown));
  // The time of handling is recorded for every reply, recognised or not.
  EXPECT_EQ(message.sendTime(), kReplyTimeUtc);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ParseReplyCase,
    testing::Values(
        ReplyCase{"error,,,,,,Contact does not have a phone number assigned!", false,
                  "Contact does not have a phone number assigned!",
                  "Message for Jane Doe was not sent. Details: Contact does not have a phone number "
                  "assigned!"},
        ReplyCase{"accepted,a,b,c,d,e,Queued", true, "Queued",
                  "Message for Jane Doe was sent successfully. Details: Queued"},
        ReplyCase{"accepted,1,2,3,4,5,Queued\nsummary,1,0,Credits left 99\n", true,
                  "Credits left 99\n",
                  "Message for Jane Doe was sent successfully. Details: Credits left 99\n"},
        ReplyCase{"accepted", true, "", "Message for Jane Doe was sent successfully. Details: "},
        ReplyCase{"rejected,1,2,3,4,5,Bad number\nsummary,0,1", false, "Bad number\n",
                  "Message for Jane Doe was not sent. Details: Bad number\n"},
        ReplyCase{"rejected,1,2,3,4,5,Bad number", false, "Bad number",
                  "Message for Jane Doe was not sent. Details: Bad number"},
        // Commas inside the reason belong to it.
        ReplyCase{"rejected,1,2,3,4,5,No route, try later", false, "No route, try later",
                  "Message for Jane Doe was not sent. Details: No route, try later"},
        ReplyCase{"rejected,x,Blocked", false, "Blocked",
                  "Message for Jane Doe was not sent. Details: Blocked"},
        ReplyCase{"rejected", false, "", "Message for Jane Doe was not sent. Details: "},
        ReplyCase{"error,,,,,,Invalid number, check format", false, " check format",
                  "Message for Jane Doe was not sent. Details:  check format"},
        ReplyCase{"error", false, "", "Message for Jane Doe was not sent. Details: "},
        ReplyCase{"Accepted,1,2,3,4,5,Queued", false, "", ""},
        ReplyCase{" accepted,1,2,3,4,5,Queued", false, "", ""},
        ReplyCase{"\naccepted,1,2,3,4,5,Queued", false, "", ""},
        ReplyCase{"<html><body>502 Bad Gateway</body></html>", false, "", ""},
        ReplyCase{"", false, "", ""}));

TEST(ParseReply, NamesTheContactAsTheCodePageRendersIt) {
  Latin1CodePage codePage;
  FixedClock clock(kReplyTimeUtc);
  auto contact = std::make_shared<FakeContact>();
  contact->fullName = u"Zo\u00EB \u738B";
  SMSMessage named(codePage, clock, contact, "Hi", 0);
  named.ParseReply("accepted,OK");
  EXPECT_EQ(named.reportText(), "Message for Zo\xEB ? was sent successfully. Details: OK");

  SMSMessage nameless(codePage, clock, std::make_shared<FakeContact>(), "Hi", 0);
  nameless.ParseReply("error,Down");
  EXPECT_EQ(nameless.reportText(), "Message for  was not sent. Details: Down");
}

TEST(ParseReply, KeepsAScheduledTime) {
  Latin1CodePage codePage;
  FixedClock clock(kReplyTimeUtc);
  SMSMessage scheduled(codePage, clock, std::make_shared<FakeContact>(), "Hi", 40300.25);
  scheduled.ParseReply("accepted,OK");
  EXPECT_EQ(scheduled.sendTime(), 40300.25);
}

TEST(BuildDeliveryReport, ListsEveryRecordWithEmptyLinesForMissingReports) {
  Latin1CodePage codePage;
  FixedClock clock(kReplyTimeUtc);
  auto contact = std::make_shared<FakeContact>();
  contact->fullName = u"Ren\u00E9";
  SMSMessage accepted(codePage, clock, contact, "Hi", 0);
  accepted.ParseReply("accepted,1,2,3,4,5,Queued");
  SMSMessage rejected(codePage, clock, contact, "Hi", 0);
  rejected.ParseReply("rejected,1,2,3,4,5,Bad number");
  SMSMessage unanswered(codePage, clock, contact, "Hi", 0);

  EXPECT_EQ(BuildDeliveryReport(ReportLines({&accepted, &rejected, &unanswered})),
            u"SMS delivery results:\n\n"
            u"Message for Ren\u00E9 was sent successfully. Details: Queued\n"
            u"Message for Ren\u00E9 was not sent. Details: Bad number\n"
            u"\n");
  EXPECT_EQ(BuildDeliveryReport(ReportLines({})), u"SMS delivery results:\n\n");
  EXPECT_EQ(BuildDeliveryReport({u"one", u""}), u"SMS delivery results:\n\none\n\n") << "lines of no record";
}

}  // namespace
