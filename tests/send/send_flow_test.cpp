#include "send/send_flow.h"

#include <gtest/gtest.h>

#include "gateway/delivery_report.h"
#include "gateway_fakes.h"
#include "gateway/send_run.h"
#include "send/fake_contacts.h"
#include "support/memory_settings.h"

namespace {

using Lines = std::vector<std::u16string>;
using fake::ContactData;

class SendFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::make_shared<fake::ContactsFolder>(
        std::vector<ContactData>{{u"Ann Lee", u"+44 1"}, {u"Bob", u"2"}, {u"Cy", u""}});
    fake::Client client(folder_);
    directory_.Load(client);
  }

  Lines Send(const std::u16string& recipients) {
    return SendToRecipients(recipients, directory_, [&](const ContactRef& contact) {
      sentTo_.push_back(*contact->FullName());
      openDuringSend_ = std::max(openDuringSend_, folder_->OpenItems());
      return u"sent to " + *contact->FullName();
    });
  }

  std::shared_ptr<fake::ContactsFolder> folder_;
  ContactDirectory directory_;
  Lines sentTo_;
  long openDuringSend_ = 0;
};

TEST_F(SendFlow, EveryTokenGetsALineInOrder) {
  Lines lines = Send(u"Bob (2); bob (2); Ann Lee (+44 1); ");
  EXPECT_EQ(sentTo_, (Lines{u"Bob", u"Ann Lee"}));
  EXPECT_EQ(lines, (Lines{u"sent to Bob",
                          u"Nothing was sent to \"bob (2)\" because it is not a contact with a mobile number.",
                          u"sent to Ann Lee"}))
      << "keys are exact; the empty last token gets no line";
  EXPECT_EQ(openDuringSend_, 1) << "only the contact being sent to is open";
  EXPECT_EQ(folder_->OpenItems(), 0);
}

TEST_F(SendFlow, TheSameKeyTwiceIsSentTwice) {
  EXPECT_EQ(Send(u"Bob (2); Bob (2)"), (Lines{u"sent to Bob", u"sent to Bob"}));
}

TEST_F(SendFlow, KeysJoinedWithoutTheBlankAreOneUnknownToken) {
  Lines lines = Send(u"Bob (2);Cy ()");
  EXPECT_TRUE(sentTo_.empty());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(u"\"Bob (2);Cy ()\""), std::u16string::npos);
}

TEST_F(SendFlow, EmptyRecipientsAndABareSeparator) {
  EXPECT_EQ(Send(u""), Lines{});
  EXPECT_EQ(Send(u"; "), Lines{NotAContactLine(u"")}) << "only the empty last token goes without a line";
}

TEST_F(SendFlow, AContactThatCannotBeFetchedAnyMoreIsReported) {
  folder_->contacts()[1].fetchFails = true;
  EXPECT_EQ(Send(u"Bob (2); Cy ()"), (Lines{UnreadableContactLine(u"Bob (2)"), u"sent to Cy"}));
}

// Through the real record, gateway client and run: one request per known
// recipient with its number, and each record's line in its place among the
// unknown token's.
TEST_F(SendFlow, RecordsThroughTheGatewayClientReportAsTheirOwnReportWould) {
  MemorySettings settings;
  settings.SetString(u"GatewayHost", u"gw.example.net");
  Latin1CodePage codePage;
  FixedClock clock(40252.5);
  std::vector<ScriptedExchange::Request> requests;
  HTTPManager gateway(settings, codePage, clock,
                      std::make_unique<ScriptedExchange>(Answer(200, "accepted,1,2,3,4,5,Queued"), &requests));
  SendRun run;
  std::vector<std::unique_ptr<SMSMessage>> kept;
  Lines lines = SendToRecipients(u"Ann Lee (+44 1); Nobody; Cy ()", directory_, [&](const ContactRef& contact) {
    kept.push_back(std::make_unique<SMSMessage>(codePage, clock, contact, "Hi", 0));
    run.Send(*kept.back(), gateway);
    return kept.back()->ReportLine();
  });
  ASSERT_EQ(requests.size(), 1u) << "Cy has no number: no request";
  EXPECT_NE(requests[0].target.find("to=441&message=Hi&"), std::string::npos) << requests[0].target;
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], NotAContactLine(u"Nobody"));
  EXPECT_EQ((Lines{lines[0], lines[2]}), ReportLines({kept[0].get(), kept[1].get()}));
  EXPECT_EQ(lines[0], u"Message for Ann Lee was sent successfully. Details: Queued");
}

}  // namespace
