#include <gtest/gtest.h>

#include "addin/access/automation_mail_client.h"
#include "addin/access/outlook_access.h"
#include "com_apartment.h"
#include "platform/ole_date.h"
#include "standin/stand_in.h"

namespace outlook {
namespace {

constexpr char kStore[] = R"({
  "contacts": [
    {"key": "ann", "fullName": "Ann Lee", "firstName": "", "mobile": "+447700900001"},
    {"kind": "distributionList", "subject": "Team"},
    {"fullName": "Broken", "fetch": "fail"},
    {"fullName": "Vanished", "fetch": "empty"},
    {"key": "cy", "fullName": "Cy Ode", "firstName": "Cy", "primary": "0201",
     "failing": {"MobileTelephoneNumber": "0x80004005"}}],
  "calendar": [
    {"subject": "Lunch", "start": "2026-12-10 12:00"},
    {"subject": "Review", "start": "2026-12-10 14:30",
     "recipients": [{"contact": "ann"}, {"address": "bob@example.com", "name": "Bob"},
                    {"contact": "cy", "fetch": "fail"}]},
    {"kind": "note", "subject": "Not an appointment"},
    {"subject": "Standup", "start": "2026-12-07 09:00", "recipients": [{"contact": "cy"}],
     "recurrence": {"pattern": "daily", "count": 10, "deleted": ["2026-12-09 09:00"],
                    "moved": [{"from": "2026-12-10 09:00", "to": "2026-12-10 11:15"}]}},
    {"subject": "Off", "start": "2026-12-11 10:00", "meetingStatus": "cancelled",
     "recipients": [{"contact": "ann"}]}]
})";

double At(int y, int mo, int d, int h, int mi) { return *DateTimeToOle({y, mo, d, h, mi, 0}); }

class AccessMailTest : public ::testing::Test {
 protected:
  AccessMailTest()
      : client_(standin::StandIn::FromJson(kStore)), application_(client_->Application()) {}

  Dispatch Folder(long number) {
    Dispatch session = Session(application_);
    Dispatch folder = DefaultFolder(session, number);
    return FolderItems(folder);
  }
  standin::CallCounter& Calls() { return client_->Calls(); }

  ComApartment apartment_;
  std::unique_ptr<standin::StandIn> client_;
  Dispatch application_;
};

std::vector<uint8_t> Bytes(const std::u16string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoul(std::string(hex.begin() + i, hex.begin() + i + 2), nullptr, 16)));
  }
  return bytes;
}

// The contact ID an address-book recipient wraps (bytes 32-35 its length).
std::optional<std::u16string> WrappedContactId(const std::u16string& recipientId) {
  const auto bytes = Bytes(recipientId);
  if (bytes.size() < 36) return std::nullopt;
  const uint32_t length = bytes[32] | bytes[33] << 8 | bytes[34] << 16 | uint32_t(bytes[35]) << 24;
  if (length > bytes.size() - 36) return std::nullopt;
  return recipientId.substr(72, length * 2);
}

TEST_F(AccessMailTest, ApplicationIsRecognisedByItsInterface) {
  EXPECT_TRUE(AsOutlookApplication(application_.Get()));
  Dispatch contacts = Folder(kFolderContacts);
  Dispatch first = ItemAt(contacts, 1);
  EXPECT_FALSE(AsOutlookApplication(first.Get()));
  EXPECT_FALSE(AsOutlookApplication(nullptr));
}

TEST_F(AccessMailTest, ContactsWithAbsentEmptyAndFailingValues) {
  Dispatch contacts = Folder(kFolderContacts);
  ASSERT_EQ(Count(contacts), 5);
  Dispatch ann = ItemAt(contacts, 1);
  ASSERT_TRUE(IsContact(ann));
  EXPECT_FALSE(IsAppointment(ann));
  EXPECT_EQ(FullName(ann), u"Ann Lee");
  EXPECT_EQ(FirstName(ann), u"");               // empty, not absent
  EXPECT_EQ(MobileTelephoneNumber(ann), u"+447700900001");
  EXPECT_EQ(PrimaryTelephoneNumber(ann), std::nullopt);  // absent
  const auto id = EntryID(ann);
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(id->find_first_not_of(u"0123456789ABCDEF"), std::u16string::npos);

  Dispatch list = ItemAt(contacts, 2);
  ASSERT_TRUE(list);
  EXPECT_FALSE(IsContact(list));

  EXPECT_FALSE(ItemAt(contacts, 3));  // fetch fails
  EXPECT_FALSE(ItemAt(contacts, 4));  // fetch gives nothing

  Dispatch cy = ItemAt(contacts, 5);
  EXPECT_EQ(MobileTelephoneNumber(cy), std::nullopt);  // the read fails
  EXPECT_EQ(PrimaryTelephoneNumber(cy), u"0201");

  EXPECT_FALSE(ItemAt(contacts, 0));
  EXPECT_FALSE(ItemAt(contacts, 6));
}

TEST_F(AccessMailTest, FoldersThatDoNotExistGiveNothing) {
  Dispatch session = Session(application_);
  EXPECT_FALSE(DefaultFolder(session, 6));
  Dispatch none;
  EXPECT_EQ(Count(none), 0);
  EXPECT_FALSE(ItemAt(none, 1));
  EXPECT_EQ(FullName(none), std::nullopt);
}

TEST_F(AccessMailTest, AppointmentsAndTheirRecipients) {
  Dispatch calendar = Folder(kFolderCalendar);
  ASSERT_EQ(Count(calendar), 5);
  Dispatch lunch = ItemAt(calendar, 1);
  ASSERT_TRUE(IsAppointment(lunch));
  EXPECT_FALSE(IsContact(lunch));
  EXPECT_EQ(MeetingStatus(lunch), 0);
  EXPECT_EQ(IsRecurring(lunch), false);

  Dispatch review = ItemAt(calendar, 2);
  EXPECT_EQ(Subject(review), u"Review");
  EXPECT_EQ(Start(review), At(2026, 12, 10, 14, 30));
  EXPECT_EQ(MeetingStatus(review), 1);
  Dispatch recipients = Recipients(review);
  ASSERT_EQ(Count(recipients), 3);

  Dispatch contacts = Folder(kFolderContacts);
  Dispatch ann = ItemAt(contacts, 1);
  Dispatch first = ItemAt(recipients, 1);
  EXPECT_EQ(WrappedContactId(*EntryID(first)), EntryID(ann));
  Dispatch bare = ItemAt(recipients, 2);
  const auto bareId = EntryID(bare);
  ASSERT_TRUE(bareId.has_value());
  EXPECT_NE(WrappedContactId(*bareId), EntryID(ann));
  EXPECT_FALSE(ItemAt(recipients, 3));

  EXPECT_FALSE(IsAppointment(ItemAt(calendar, 3)));
  EXPECT_EQ(MeetingStatus(ItemAt(calendar, 5)), 5);
}

TEST_F(AccessMailTest, RecurringSeriesFindsOccurrencesByExactStart) {
  Dispatch calendar = Folder(kFolderCalendar);
  Dispatch series = ItemAt(calendar, 4);
  EXPECT_EQ(IsRecurring(series), true);
  Dispatch pattern = RecurrencePattern(series);
  ASSERT_TRUE(pattern);

  Dispatch second = Occurrence(pattern, At(2026, 12, 8, 9, 0));
  ASSERT_TRUE(second);
  EXPECT_EQ(Start(second), At(2026, 12, 8, 9, 0));
  EXPECT_EQ(Subject(second), u"Standup");
  EXPECT_EQ(Count(Recipients(second)), 1);

  EXPECT_FALSE(Occurrence(pattern, At(2026, 12, 8, 9, 1)));   // not exactly at its start
  EXPECT_FALSE(Occurrence(pattern, At(2026, 12, 9, 9, 0)));   // deleted
  EXPECT_FALSE(Occurrence(pattern, At(2026, 12, 10, 9, 0)));  // moved away
  Dispatch moved = Occurrence(pattern, At(2026, 12, 10, 11, 15));
  ASSERT_TRUE(moved);
  EXPECT_EQ(Start(moved), At(2026, 12, 10, 11, 15));
  EXPECT_TRUE(Occurrence(pattern, At(2026, 12, 16, 9, 0)));   // the tenth
  EXPECT_FALSE(Occurrence(pattern, At(2026, 12, 17, 9, 0)));  // past the count

  Dispatch lunch = ItemAt(calendar, 1);
  Dispatch none = RecurrencePattern(lunch);
  EXPECT_FALSE(Occurrence(none, At(2026, 12, 10, 12, 0)));
}

TEST_F(AccessMailTest, NamesAreResolvedOncePerObjectAndEveryInvokeIsCounted) {
  Dispatch contacts = Folder(kFolderContacts);
  Dispatch ann = ItemAt(contacts, 1);
  Calls().Reset();
  FullName(ann);
  FullName(ann);
  Dispatch copy = ann;
  FullName(copy);
  EntryID(ann);
  EXPECT_EQ(Calls().Of("ContactItem.GetIDsOfNames"), 2);  // FullName, EntryID
  EXPECT_EQ(Calls().Of("ContactItem.FullName"), 3);
  EXPECT_EQ(Calls().Of("ContactItem.EntryID"), 1);

  // Another object of the same kind resolves its names itself.
  Dispatch cy = ItemAt(contacts, 5);
  FullName(cy);
  EXPECT_EQ(Calls().Of("ContactItem.GetIDsOfNames"), 3);
  EXPECT_EQ(Calls().Of("Items.Item"), 1);
}

TEST_F(AccessMailTest, PortsSkipWhatCannotBeReadAndReadEachPropertyOnce) {
  auto mail = MakeMailClient(application_);
  auto contacts = mail->DefaultContacts();
  ASSERT_TRUE(contacts);
  ASSERT_EQ(contacts->Count(), 5);
  EXPECT_EQ(contacts->ItemAt(2), nullptr);  // a distribution list
  EXPECT_EQ(contacts->ItemAt(3), nullptr);
  EXPECT_EQ(contacts->ItemAt(4), nullptr);
  auto ann = contacts->ItemAt(1);
  ASSERT_NE(ann, nullptr);
  Calls().Reset();
  EXPECT_EQ(ann->FullName(), u"Ann Lee");
  EXPECT_EQ(ann->FullName(), u"Ann Lee");
  EXPECT_EQ(ann->FirstName(), u"");
  EXPECT_EQ(ann->PrimaryTelephoneNumber(), std::nullopt);
  EXPECT_EQ(ann->PrimaryTelephoneNumber(), std::nullopt);
  EXPECT_EQ(Calls().Of("ContactItem.FullName"), 1);
  EXPECT_EQ(Calls().Of("ContactItem.PrimaryTelephoneNumber"), 1);

  auto calendar = mail->DefaultCalendar();
  ASSERT_TRUE(calendar);
  EXPECT_EQ(calendar->ItemAt(3), nullptr);  // a note
  EXPECT_FALSE(calendar->Fetch(3).unreadable) << "of another kind, not unreadable";
  auto review = calendar->ItemAt(2);
  ASSERT_NE(review, nullptr);
  EXPECT_EQ(review->RecipientCount(), 3);
  EXPECT_NE(review->RecipientAt(1), nullptr);
  EXPECT_EQ(review->RecipientAt(3), nullptr);
  EXPECT_EQ(review->RecipientAt(2)->Name(), u"Bob");
  const auto annId = review->RecipientAt(1)->EntryID();
  ASSERT_TRUE(annId.has_value());
  EXPECT_EQ(WrappedContactId(*annId), ann->EntryID());

  auto series = calendar->ItemAt(4);
  Calls().Reset();
  auto occurrence = series->GetOccurrence(At(2026, 12, 8, 9, 0));
  ASSERT_NE(occurrence, nullptr);
  EXPECT_EQ(occurrence->Start(), At(2026, 12, 8, 9, 0));
  EXPECT_EQ(series->GetOccurrence(At(2026, 12, 9, 9, 0)), nullptr);
  EXPECT_NE(series->GetOccurrence(At(2026, 12, 11, 9, 0)), nullptr);
  // The pattern is asked for once, each occurrence once.
  EXPECT_EQ(Calls().Of("AppointmentItem.GetRecurrencePattern"), 1);
  EXPECT_EQ(Calls().Of("RecurrencePattern.GetOccurrence"), 3);
}

TEST_F(AccessMailTest, AContactIsFoundByItsEntryIDWhereverItIsUntilDeleted) {
  auto mail = MakeMailClient(application_);
  const auto cyId = mail->DefaultContacts()->ItemAt(5)->EntryID();
  const auto annId = mail->DefaultContacts()->ItemAt(1)->EntryID();
  ASSERT_TRUE(cyId && annId);
  ASSERT_TRUE(client_->DeleteContact(u"Ann Lee"));
  auto cy = mail->ContactByEntryID(*cyId);
  ASSERT_NE(cy, nullptr) << "its place changed, its identity did not";
  EXPECT_EQ(cy->FullName(), u"Cy Ode");
  EXPECT_EQ(mail->ContactByEntryID(*annId), nullptr) << "deleted";
  EXPECT_EQ(mail->ContactByEntryID(u"00"), nullptr);
  EXPECT_EQ(client_->OpenItems(), 1) << "only what the caller holds";
  cy.reset();
  client_->Faults().Add({"NameSpace.GetItemFromID", static_cast<long>(0x80040115), 0, -1, {}});
  EXPECT_EQ(mail->ContactByEntryID(*cyId), nullptr) << "a refused call gives nothing";
}

TEST_F(AccessMailTest, UnreachableFoldersGiveNoPort) {
  client_->Faults().Add({"NameSpace.GetDefaultFolder", static_cast<long>(0x8004010F), 0, -1, {}});
  auto mail = MakeMailClient(application_);
  EXPECT_EQ(mail->DefaultContacts(), nullptr);
  EXPECT_EQ(mail->DefaultCalendar(), nullptr);
}

}  // namespace
}  // namespace outlook
