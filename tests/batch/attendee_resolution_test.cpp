#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "batch/attendee_entry_id.h"
#include "batch/attendee_resolver.h"
#include "fake_mail_client.h"

namespace {

std::u16string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::u16string text;
  for (unsigned char b : bytes) {
    text += static_cast<char16_t>(kDigits[b >> 4]);
    text += static_cast<char16_t>(kDigits[b & 15]);
  }
  return text;
}

// An attendee's identifier wrapping a contact's: 32 bytes of header, the
// stated length little-endian, the contact's bytes and what follows them.
std::u16string Wrapped(const std::string& contactId, uint32_t statedLength,
                       const std::string& trailer = "") {
  std::string bytes(32, '\x5A');
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(statedLength >> (8 * i) & 0xFF);
  return Hex(bytes + contactId + trailer);
}

std::u16string Wrapped(const std::string& contactId) {
  return Wrapped(contactId, static_cast<uint32_t>(contactId.size()));
}

TEST(AttendeeEntryId, UnwrapsTheContactIdentifierAsUpperCaseHex) {
  const std::string id("\x00\x01\xAB\xCD\xEF\x10", 6);
  EXPECT_EQ(ContactEntryIdOfAttendee(Wrapped(id)), u"0001ABCDEF10");
  // Lower-case input and bytes behind the stated length do not matter.
  std::u16string lower = Wrapped(id, 6, "\x99\x98");
  for (auto& c : lower) c = (c >= u'A' && c <= u'F') ? c - u'A' + u'a' : c;
  EXPECT_EQ(ContactEntryIdOfAttendee(lower), u"0001ABCDEF10");
  const std::string longest(511, '\xC3');
  EXPECT_EQ(ContactEntryIdOfAttendee(Wrapped(longest)), Hex(longest));
}

TEST(AttendeeEntryId, IdentifiersNotFromTheContactsGiveNothing) {
  const std::string id(20, '\x42');
  const struct {
    const char* why;
    std::u16string text;
  } cases[] = {
      {"empty", u""},
      {"shorter than the length field", Hex(std::string(35, '\x01'))},
      {"length field cut short", Wrapped("").substr(0, 70)},
      {"stated length past the end", Wrapped(id, 21)},
      {"stated length far past the end", Wrapped(id, 0xFFFFFFFFu)},
      {"length 512", Wrapped(std::string(512, '\x42'))},
      {"length 0", Wrapped("", 0, "\x42\x42")},
      {"odd number of digits", Wrapped(id) + u"A"},
      {"not hexadecimal", Wrapped(id).replace(80, 1, u"G")},
      {"bare address", u"SMTP:anna@example.org"},
  };
  for (const auto& c : cases) EXPECT_FALSE(ContactEntryIdOfAttendee(c.text)) << c.why;
}

class AttendeeResolution : public ::testing::Test {
 protected:
  fake::Client client;
};

TEST_F(AttendeeResolution, FindsTheFirstContactInFolderOrderExactly) {
  client.AddContact(u"00000001", u"Anna");
  client.contacts->items.push_back(nullptr);
  client.AddContact(u"0000000a", u"Lower");  // identifiers compare case-sensitively
  auto bea = client.AddContact(u"0000000A", u"Bea");
  client.AddContact(u"0000000A", u"Duplicate");
  AttendeeResolver resolver(client);
  fake::Attendee picked(Wrapped(std::string("\x00\x00\x00\x0A", 4)));
  EXPECT_EQ(resolver.Resolve(picked), bea);
  fake::Attendee gone(Wrapped(std::string("\x00\x00\x00\x0B", 4)));
  EXPECT_EQ(resolver.Resolve(gone), nullptr);
  EXPECT_FALSE(resolver.Find(gone).unreadable) << "no longer a contact: nothing to tell";
  fake::Attendee unreadable(std::nullopt);
  EXPECT_EQ(resolver.Resolve(unreadable), nullptr);
}

TEST_F(AttendeeResolution, WalksTheContactsOncePerRun) {
  for (int i = 0; i < 50; ++i) {
    client.AddContact(Hex(std::string(1, static_cast<char>(i))), u"C" + std::u16string(1, u'a' + i % 26));
  }
  std::vector<std::shared_ptr<fake::Appointment>> meetings;
  for (int m = 0; m < 4; ++m) {
    auto meeting = client.AddMeeting(u"M", fake::At(2011, 2, 4, 9 + m));
    for (int a = 0; a < 5; ++a) meeting->AddAttendee(Wrapped(std::string(1, static_cast<char>(m * 5 + a))));
    meetings.push_back(meeting);
  }
  auto resolveAll = [&] {
    AttendeeResolver resolver(client);
    int found = 0;
    for (auto& meeting : meetings) {
      for (long i = 1; i <= meeting->RecipientCount(); ++i) found += resolver.Resolve(*meeting->RecipientAt(i)) != nullptr;
    }
    return found;
  };
  EXPECT_EQ(resolveAll(), 20);
  EXPECT_EQ(client.contactFolderOpens, 1);
  // One walk of the 50, then each attendee's contact fetched and checked.
  EXPECT_EQ(client.contacts->fetches, 50 + 20);
  EXPECT_EQ(client.contactIdReads, 50 + 20);
  // The next run reads the folder again and sees a contact removed since.
  client.contacts->items.erase(client.contacts->items.begin());
  EXPECT_EQ(resolveAll(), 19);
  EXPECT_EQ(client.contactFolderOpens, 2);
}

TEST_F(AttendeeResolution, HoldsNoContactBeyondTheOneItHandsOut) {
  for (int i = 0; i < 10; ++i) client.AddContact(Hex(std::string(1, static_cast<char>(i))), u"C");
  AttendeeResolver resolver(client);
  fake::Attendee third(Wrapped(std::string(1, '\x02')));
  auto contact = resolver.Resolve(third);
  ASSERT_EQ(contact, client.contacts->items[2]);
  EXPECT_EQ(client.contacts->HeldElsewhere(), 1);
  contact.reset();
  EXPECT_EQ(client.contacts->HeldElsewhere(), 0);
  // Resolved again, it is fetched again.
  const long fetches = client.contacts->fetches;
  EXPECT_EQ(resolver.Resolve(third), client.contacts->items[2]);
  EXPECT_EQ(client.contacts->fetches, fetches + 1);
}

TEST_F(AttendeeResolution, AFolderChangedDuringTheRunIsReadAgain) {
  auto id = [](int n) { return Hex(std::string(1, static_cast<char>(n))); };
  auto attendee = [](int n) { return fake::Attendee(Wrapped(std::string(1, static_cast<char>(n)))); };
  for (int i = 1; i <= 5; ++i) client.AddContact(id(i), u"C");
  AttendeeResolver resolver(client);
  auto first = attendee(1), second = attendee(2), fifth = attendee(5), gone = attendee(3);
  ASSERT_TRUE(resolver.Resolve(first));
  long fetches = client.contacts->fetches;

  // A contact added in front moves everyone: found where it is now.
  auto added = std::make_shared<fake::Contact>(id(9), u"New", &client.contactIdReads);
  client.contacts->items.insert(client.contacts->items.begin(), added);
  EXPECT_EQ(resolver.Resolve(second), client.contacts->items[2]);
  EXPECT_EQ(client.contacts->fetches, fetches + 1 + 6 + 1);  // stale place, walk, new place

  // Removed from the middle: the last contact's place is past the end now.
  client.contacts->items.erase(client.contacts->items.begin() + 3);
  EXPECT_EQ(resolver.Resolve(fifth), client.contacts->items[4]);
  EXPECT_EQ(resolver.Resolve(gone), nullptr);
  EXPECT_FALSE(resolver.Find(gone).unreadable) << "no longer a contact: nothing to tell";

  // An item that cannot be fetched says nothing of the others' places.
  fetches = client.contacts->fetches;
  client.contacts->items[1] = nullptr;
  EXPECT_TRUE(resolver.Find(first).unreadable);
  EXPECT_EQ(client.contacts->fetches, fetches + 1);
  EXPECT_EQ(client.contactFolderOpens, 1);
}

TEST_F(AttendeeResolution, RunWithoutPickedAttendeesNeverOpensTheContacts) {
  client.AddContact(u"01", u"Anna");
  AttendeeResolver resolver(client);
  fake::Attendee typed(u"SMTP:anna@example.org");
  EXPECT_EQ(resolver.Resolve(typed), nullptr);
  EXPECT_EQ(client.contactFolderOpens, 0);
}

}  // namespace
