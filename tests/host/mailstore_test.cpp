#include <gtest/gtest.h>

#include "mailstore/call_counter.h"
#include "mailstore/entry_id.h"
#include "mailstore/fault_book.h"

namespace standin {
namespace {

uint32_t LittleEndianAt(const std::string& hex, size_t byte) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | std::stoul(hex.substr((byte + i) * 2, 2), nullptr, 16);
  return v;
}

TEST(EntryId, AddressBookRecipientWrapsTheContactIdFromByte36) {
  const std::string contact = ContactEntryId(7);
  EXPECT_EQ(contact.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_NE(contact, ContactEntryId(8));
  const std::string recipient = AddressBookRecipientEntryId(contact);
  EXPECT_EQ(LittleEndianAt(recipient, 32), contact.size() / 2);
  EXPECT_EQ(recipient.substr(72), contact);
}

TEST(EntryId, OneOffRecipientCarriesNoContactId) {
  const std::string contact = ContactEntryId(1);
  const std::string oneOff = OneOffRecipientEntryId(u"Bob", u"bob@example.com");
  EXPECT_EQ(oneOff.find(contact), std::string::npos);
  EXPECT_EQ(oneOff.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(oneOff.size() % 2, 0u);
  EXPECT_EQ(HexText({0x00, 0xAB, 0x0F}), "00AB0F");
}

TEST(FaultBook, SkipCountAndTag) {
  FaultBook book;
  book.Add({"CommandBarControls.Add", 0x0BAD, 1, 1, std::nullopt});
  book.Add({"CommandBarButton.Advise", 0x0DEAD, 0, -1, u"B"});
  EXPECT_FALSE(book.Check("CommandBarControls.Add"));
  EXPECT_EQ(book.Check("CommandBarControls.Add"), 0x0BAD);
  EXPECT_FALSE(book.Check("CommandBarControls.Add"));
  EXPECT_FALSE(book.Check("CommandBarButton.Advise", u"A"));
  EXPECT_EQ(book.Check("CommandBarButton.Advise", u"B"), 0x0DEAD);
  EXPECT_EQ(book.Check("CommandBarButton.Advise", u"B"), 0x0DEAD);
  EXPECT_FALSE(book.Check("CommandBars.Add"));
  book.Clear();
  EXPECT_FALSE(book.Check("CommandBarButton.Advise", u"B"));
}

TEST(CallCounter, CountsPerMemberAndReports) {
  CallCounter counter;
  counter.Count("ContactItem.EntryID");
  counter.Count("ContactItem.EntryID");
  counter.Count("Items.Item");
  EXPECT_EQ(counter.Of("ContactItem.EntryID"), 2);
  EXPECT_EQ(counter.Of("Recipient.EntryID"), 0);
  EXPECT_EQ(counter.Total(), 3);
  EXPECT_EQ(counter.Report(), "ContactItem.EntryID 2\nItems.Item 1\ntotal 3\n");
}

}  // namespace
}  // namespace standin
