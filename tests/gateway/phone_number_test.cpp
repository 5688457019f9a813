#include <gtest/gtest.h>

#include <memory>

#include "gateway/phone_number.h"
#include "gateway/sms_message.h"
#include "gateway_fakes.h"

namespace {

struct NumberCase {
  const char16_t* raw;
  const char* sent;
};

class NormaliseNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(NormaliseNumber, StripsPunctuationAndLeadingZeros) {
  Latin1CodePage codePage;
  EXPECT_EQ(NormalisePhoneNumber(GetParam().raw, codePage), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NormaliseNumber,
    testing::Values(NumberCase{u"+64 (21) 555 1234", "64215551234"},
                    NumberCase{u"021-555 1234", "21-5551234"},
                    NumberCase{u"09 123 4567", "91234567"},
                    NumberCase{u"0000", ""},
                    NumberCase{u"( ) + ", ""},
                    NumberCase{u"", ""},
                    // Only leading zeros go; inner ones and other marks stay.
                    NumberCase{u"00 0 1.20-30", "1.20-30"},
                    NumberCase{u"(0)800 FLOWERS", "800FLOWERS"},
                    // A non-breaking space is not a blank; a digit the code
                    // page cannot hold shows as its default character.
                    NumberCase{u"021\u00A0555", "21\xA0" "555"},
                    NumberCase{u"\u0661\u0662", "??"}));

ContactRef Contact(std::optional<std::u16string> mobile, std::optional<std::u16string> primary) {
  auto contact = std::make_shared<FakeContact>();
  contact->mobile = std::move(mobile);
  contact->primary = std::move(primary);
  return contact;
}

TEST(GetPhoneNumber, PrefersMobileAndFallsBackToPrimary) {
  Latin1CodePage codePage;
  FixedClock clock(0);
  SMSMessage mobile(codePage, clock, Contact(u"+64 21 555", u"09 123 4567"), "Hi", 0);
  EXPECT_EQ(mobile.GetPhoneNumber(), "6421555");

  SMSMessage noMobile(codePage, clock, Contact(std::nullopt, u"09 123 4567"), "Hi", 0);
  EXPECT_EQ(noMobile.GetPhoneNumber(), "91234567");

  // The client may give an empty string rather than none for a blank field.
  SMSMessage blankMobile(codePage, clock, Contact(u"", u"09 123 4567"), "Hi", 0);
  EXPECT_EQ(blankMobile.GetPhoneNumber(), "91234567");

  SMSMessage none(codePage, clock, Contact(std::nullopt, std::nullopt), "Hi", 0);
  EXPECT_EQ(none.GetPhoneNumber(), "");

  SMSMessage noContact(codePage, clock, nullptr, "Hi", 0);
  EXPECT_EQ(noContact.GetPhoneNumber(), "");
}

TEST(GetPhoneNumber, AsksTheContactOnceFoundAndAgainWhileEmpty) {
  Latin1CodePage codePage;
  FixedClock clock(0);
  auto contact = std::make_shared<FakeContact>();
  SMSMessage message(codePage, clock, contact, "Hi", 0);
  EXPECT_EQ(message.GetPhoneNumber(), "");
  contact->mobile = u"021 5";
  EXPECT_EQ(message.GetPhoneNumber(), "215");
  const int readsSoFar = contact->numberReads;
  contact->mobile = u"099";
  EXPECT_EQ(message.GetPhoneNumber(), "215");
  EXPECT_EQ(contact->numberReads, readsSoFar);
}

}  // namespace
