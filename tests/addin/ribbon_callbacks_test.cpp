#include "addin/ribbon_callbacks.h"

#include <gtest/gtest.h>

#include "resource_ids.h"

namespace {

TEST(RibbonCallbacks, AreFoundByNameInAnyCaseAndByTheirIds) {
  for (const char16_t* name : {u"OnSmsCommand", u"onsmscommand", u"ONSENDSMSTOCONTACTS", u"GetLargeIcon",
                               u"getSmallIcon"}) {
    const auto callback = FindRibbonCallback(name);
    ASSERT_TRUE(callback) << std::string(name, name + std::char_traits<char16_t>::length(name));
    EXPECT_EQ(RibbonCallbackOfId(static_cast<long>(*callback)), callback);
  }
  for (const char16_t* name : {u"", u"OnSmsCommand ", u"OnSms", u"GetImage"}) {
    EXPECT_FALSE(FindRibbonCallback(name));
  }
  EXPECT_FALSE(RibbonCallbackOfId(0));
}

TEST(RibbonDocuments, OnlyTheMainWindowAndTheContactFormGetOne) {
  EXPECT_EQ(CustomUiResource(u"Microsoft.Outlook.Explorer"), IDR_RIBBON_EXPLORER);
  EXPECT_EQ(CustomUiResource(u"Microsoft.Outlook.Contact"), IDR_RIBBON_CONTACT);
  for (const char16_t* id : {u"Microsoft.Outlook.Mail.Read", u"microsoft.outlook.explorer", u""}) {
    EXPECT_EQ(CustomUiResource(id), 0);
  }
  EXPECT_EQ(IconResource(u"NewBatchSMSMessage", true), IDR_ICON_BATCH_REMINDERS_32);
  EXPECT_EQ(IconResource(u"NewSMSMessage", false), IDR_ICON_SEND_SMS_16);
  EXPECT_EQ(IconResource(u"newsmsmessage", false), 0);
}

TEST(RecipientsText, NamesEachContactAsTheFieldsSuggestionsDo) {
  EXPECT_EQ(RecipientsText({}), u"");
  EXPECT_EQ(RecipientsText({{u"Ann Lee", u"+44 1"}, {u"Bo", u""}}), u"Ann Lee (+44 1); Bo (); ");
  EXPECT_EQ(RecipientsText({{std::nullopt, u"07700"}}), u" (07700); ") << "a nameless contact's key";
  EXPECT_EQ(RecipientsText({{u"Eve Novak", std::nullopt}}), u"Eve Novak; ") << "as typed by hand";
  EXPECT_EQ(RecipientsText({{std::nullopt, std::nullopt}, {u"Ann", u"1"}}), u"Ann (1); ");
}

}  // namespace
