#include "send/contact_directory.h"

#include <gtest/gtest.h>

#include "send/fake_contacts.h"

namespace {

using Keys = std::vector<std::u16string>;
using fake::ContactData;

ContactDirectory Load(std::shared_ptr<fake::ContactsFolder> folder) {
  ContactDirectory directory;
  directory.Load(std::make_shared<fake::Client>(std::move(folder)));
  return directory;
}

TEST(ContactDirectory, KeysInCodeUnitOrderWithSkipsAndDuplicates) {
  auto folder = std::make_shared<fake::ContactsFolder>(std::vector<ContactData>{
      {u"bea", u"2", std::nullopt},
      {u"Ann", u"1", u"9"},
      {u"Ann", u"1", u"8"},                     // same key: the later one stays
      {u"Ann", u"3", std::nullopt},             // same name, other number
      {u"NoMobile", std::nullopt, u"5"},        // never enters
      {std::nullopt, u"4", std::nullopt},       // no name
      {u"Empty", u"", std::nullopt},            // an empty number is a number
      {u"Broken", u"6", std::nullopt, true},    // cannot be fetched
  });
  ContactDirectory directory = Load(folder);
  EXPECT_EQ(directory.Keys(), (Keys{u" (4)", u"Ann (1)", u"Ann (3)", u"Empty ()", u"bea (2)"}))
      << "lower-case names sort after capitals";
  EXPECT_EQ(directory.entries().at(u"Ann (1)").position, 3);
  EXPECT_FALSE(directory.entries().at(u" (4)").fullName.has_value());
  EXPECT_EQ(directory.Fetch(u"Ann (1)")->PrimaryTelephoneNumber(), u"8");
  EXPECT_EQ(folder->OpenItems(), 0) << "no item is kept open";
}

TEST(ContactDirectory, FetchGivesNothingWhenTheFolderChangedUnderneath) {
  auto folder = std::make_shared<fake::ContactsFolder>(std::vector<ContactData>{{u"Ann", u"1"}, {u"Bob", u"2"}});
  ContactDirectory directory = Load(folder);
  folder->contacts()[0].mobile = u"7";
  EXPECT_EQ(directory.Fetch(u"Ann (1)"), nullptr);
  folder->contacts()[1].fetchFails = true;
  EXPECT_EQ(directory.Fetch(u"Bob (2)"), nullptr);
  EXPECT_EQ(directory.Fetch(u"Nobody (3)"), nullptr);
}

// The send dialog has no owner: the user can delete or add contacts in the
// client while it is open.
TEST(ContactDirectory, ContactsAreFetchedAgainByIdentityAfterOthersWereDeletedOrAdded) {
  auto folder = std::make_shared<fake::ContactsFolder>(std::vector<ContactData>{
      {u"Ann", u"1", std::nullopt, false, u"A1"},
      {u"Bob", u"2", std::nullopt, false, u"B2"},
      {u"Cy", u"3", std::nullopt, false, u"C3"},
      {u"Dee", u"4"},  // no identity: found by its place
  });
  ContactDirectory directory = Load(folder);
  auto& contacts = folder->contacts();
  contacts.erase(contacts.begin());
  contacts.push_back(ContactData{u"New", u"9", std::nullopt, false, u"N9"});
  EXPECT_EQ(directory.Fetch(u"Ann (1)"), nullptr) << "deleted";
  ASSERT_NE(directory.Fetch(u"Bob (2)"), nullptr);
  ASSERT_NE(directory.Fetch(u"Cy (3)"), nullptr);
  EXPECT_EQ(directory.Fetch(u"Cy (3)")->FullName(), u"Cy");
  EXPECT_EQ(directory.Fetch(u"Dee (4)"), nullptr) << "its place now holds another contact";
}

TEST(ContactDirectory, WithoutAFolderItStaysEmpty) {
  ContactDirectory directory = Load(nullptr);
  EXPECT_TRUE(directory.Keys().empty());
  EXPECT_EQ(directory.Fetch(u" ()"), nullptr);
}

TEST(ContactDirectory, AThousandContactsUnderAnOpenItemLimitOfTwoHundredFifty) {
  std::vector<ContactData> contacts;
  for (int i = 0; i < 1000; ++i) {
    contacts.push_back({u"Contact " + std::u16string(1, u'A' + i % 26) + std::u16string(1, u'0' + i / 100) +
                            std::u16string(1, u'0' + i / 10 % 10) + std::u16string(1, u'0' + i % 10),
                        u"+1 555 " + std::u16string(1, u'0' + i % 10)});
  }
  auto folder = std::make_shared<fake::ContactsFolder>(contacts);
  folder->SetOpenLimit(250);
  ContactDirectory directory = Load(folder);
  EXPECT_EQ(directory.Keys().size(), 1000u);
  std::vector<ContactRef> sending;
  for (const std::u16string& key : directory.Keys()) {
    ContactRef contact = directory.Fetch(key);
    ASSERT_NE(contact, nullptr) << "one at a time, every contact can be fetched";
  }
  EXPECT_EQ(folder->OpenItems(), 0);
}

}  // namespace
