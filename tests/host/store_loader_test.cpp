#include "mailstore/store_loader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "mailstore/entry_id.h"
#include "platform/ole_date.h"

namespace standin {
namespace {

const double kNow = *DateTimeToOle({2026, 12, 9, 10, 15, 0});

std::string ErrorOf(const std::string& json) {
  try {
    ParseStore(json, "store.json", kNow);
  } catch (const StoreError& e) {
    return e.what();
  }
  return "no error";
}

TEST(StoreLoader, ReadsContactsWithAbsentAndEmptyValuesApart) {
  const auto loaded = ParseStore(R"({"contacts": [
      {"key": "ann", "fullName": "Ann Lee", "firstName": "", "mobile": "+44 7700 900001"},
      {"kind": "distributionList", "subject": "Team"},
      {"fullName": "Żaneta Łuk", "primary": "0123"}]})",
                                 "store.json", kNow);
  ASSERT_EQ(loaded.store.contacts.size(), 3u);
  const auto& ann = std::get<Contact>(loaded.store.contacts[0].content);
  EXPECT_EQ(ann.fullName, u"Ann Lee");
  EXPECT_EQ(ann.firstName, u"");
  EXPECT_FALSE(ann.primary.has_value());
  EXPECT_EQ(std::get<OtherItem>(loaded.store.contacts[1].content).messageClass, "IPM.DistList");
  const auto& third = std::get<Contact>(loaded.store.contacts[2].content);
  EXPECT_EQ(third.fullName, u"\u017Baneta \u0141uk");
  EXPECT_NE(third.entryId, ann.entryId);
  EXPECT_EQ(third.entryId, ContactEntryId(3));
}

TEST(StoreLoader, RelativeAndAbsoluteDates) {
  const auto loaded = ParseStore(R"({"calendar": [
      {"subject": "a", "start": "today+2 09:30"},
      {"subject": "b", "start": "today-1 23:59:59"},
      {"subject": "c", "start": "2027-01-05T08:00"},
      {"subject": "d", "start": "today"},
      {"subject": "e", "start": "now+90m"},
      {"subject": "f", "start": "now-1d"},
      {"subject": "g", "start": "now"}]})",
                                 "store.json", kNow);
  auto start = [&](int i) {
    return *OleToDateTime(std::get<Appointment>(loaded.store.calendar[i].content).start);
  };
  EXPECT_EQ(start(0).day, 11);
  EXPECT_EQ(start(0).hour, 9);
  EXPECT_EQ(start(0).minute, 30);
  EXPECT_EQ(start(1).day, 8);
  EXPECT_EQ(start(1).second, 59);
  EXPECT_EQ(start(2).year, 2027);
  EXPECT_EQ(start(3).day, 9);
  EXPECT_EQ(start(3).hour, 0);
  EXPECT_EQ(start(4).hour, 11);
  EXPECT_EQ(start(4).minute, 45);
  EXPECT_EQ(start(5).day, 8);
  EXPECT_EQ(start(5).hour, 10);
  EXPECT_EQ(start(5).minute, 15);
  EXPECT_EQ(start(6).minute, 15);
}

TEST(StoreLoader, MeetingsRecipientsAndRecurrence) {
  const auto loaded = ParseStore(R"({
    "contacts": [{"key": "ann", "fullName": "Ann"}],
    "calendar": [
      {"subject": "Plain", "start": "today 12:00"},
      {"subject": "Review", "start": "today 14:00",
       "recipients": [{"contact": "ann"}, {"address": "bob@example.com", "name": "Bob"}]},
      {"subject": "Gone", "start": "today 15:00", "meetingStatus": "cancelled",
       "recipients": [{"contact": "ann"}]},
      {"subject": "Standup", "start": "today-7 09:00", "recipients": [{"contact": "ann"}],
       "recurrence": {"pattern": "weekly", "weekdays": ["Mon", "Wed"], "count": 10,
                      "deleted": ["today-5 09:00"],
                      "moved": [{"from": "today+1 09:00", "to": "today+1 11:00"}]}}]})",
                                 "store.json", kNow);
  const auto& cal = loaded.store.calendar;
  EXPECT_EQ(std::get<Appointment>(cal[0].content).meetingStatus, 0);
  const auto& review = std::get<Appointment>(cal[1].content);
  EXPECT_EQ(review.meetingStatus, 1);
  ASSERT_EQ(review.recipients.size(), 2u);
  const std::string annId = std::get<Contact>(loaded.store.contacts[0].content).entryId;
  EXPECT_EQ(review.recipients[0].entryId, AddressBookRecipientEntryId(annId));
  EXPECT_EQ(review.recipients[1].entryId.find(annId), std::string::npos);
  EXPECT_EQ(std::get<Appointment>(cal[2].content).meetingStatus, 5);
  const auto& series = std::get<Appointment>(cal[3].content);
  ASSERT_TRUE(series.recurrence.has_value());
  EXPECT_EQ(series.recurrence->weekdays, (1u << 1) | (1u << 3));
  EXPECT_EQ(series.recurrence->count, 10);
  EXPECT_EQ(series.recurrence->deleted.size(), 1u);
  EXPECT_EQ(series.recurrence->moved.size(), 1u);
}

TEST(StoreLoader, ItemFaultsAndGlobalRules) {
  const auto loaded = ParseStore(R"({
    "contacts": [{"fullName": "A", "fetch": "fail"}, {"fullName": "B", "fetch": "empty"},
                 {"fullName": "C", "failing": {"MobileTelephoneNumber": "0x80004005"}}],
    "faults": {"noActiveExplorer": true, "openItemLimit": 250,
               "rules": [{"member": "CommandBarControls.Add", "result": "0x800A01A8", "skip": 1},
                         {"member": "CommandBarButton.Advise", "result": "fail",
                          "tag": "NewBatchSMSMessage"}]}})",
                                 "store.json", kNow);
  const auto& c = loaded.store.contacts;
  EXPECT_EQ(c[0].faults.fetch, ItemFaults::Fetch::kFail);
  EXPECT_EQ(c[0].faults.fetchResult, static_cast<long>(0x8004010F));
  EXPECT_EQ(c[1].faults.fetch, ItemFaults::Fetch::kEmpty);
  EXPECT_EQ(c[2].faults.failingMembers.at("MobileTelephoneNumber"), static_cast<long>(0x80004005));
  EXPECT_TRUE(loaded.noActiveExplorer);
  EXPECT_EQ(loaded.openItemLimit, 250);
  EXPECT_EQ(ParseStore("{}", "store.json", kNow).openItemLimit, std::nullopt);
  ASSERT_EQ(loaded.faults.size(), 2u);
  EXPECT_EQ(loaded.faults[0].result, static_cast<long>(0x800A01A8));
  EXPECT_EQ(loaded.faults[0].skip, 1);
  EXPECT_EQ(loaded.faults[1].tag, u"NewBatchSMSMessage");
}

TEST(StoreLoader, MalformedStoresNameTheFileAndThePlace) {
  EXPECT_EQ(ErrorOf("{\n  \"contacts\": [\n    {\"fullName\": \"A\",}\n  ]\n}").rfind(
                "store.json: at line 3, column 22: invalid JSON", 0),
            0u)
      << ErrorOf("{\n  \"contacts\": [\n    {\"fullName\": \"A\",}\n  ]\n}");
  EXPECT_EQ(ErrorOf(R"({"contacts": [{"fullName": 5}]})"),
            "store.json: at /contacts/0/fullName: expected a string");
  EXPECT_EQ(ErrorOf(R"({"calendar": [{"subject": "x", "start": "2026-02-30 10:00"}]})"),
            "store.json: at /calendar/0/start: no such date or time \"2026-02-30 10:00\"");
  EXPECT_EQ(ErrorOf(R"({"calendar": [{"subject": "x", "start": "tomorrow"}]})").rfind(
                "store.json: at /calendar/0/start: expected a date", 0),
            0u);
  EXPECT_EQ(ErrorOf(R"({"calendar": [{"start": "today", "recipients": [{"contact": "zed"}]}]})"),
            "store.json: at /calendar/0/recipients/0/contact: no contact has the key \"zed\"");
  EXPECT_EQ(ErrorOf(R"({"contacts": [{"fullname": "A"}]})"),
            "store.json: at /contacts/0/fullname: unknown key \"fullname\"");
  EXPECT_EQ(ErrorOf(R"({"calendar": [{"start": "today", "recurrence": {"pattern": "yearly"}}]})"),
            "store.json: at /calendar/0/recurrence/pattern: expected daily, weekly or monthly");
  EXPECT_EQ(ErrorOf(R"([1, 2])"), "store.json: at /: the store must be a JSON object");
  EXPECT_EQ(ErrorOf(R"({"faults": {"openItemLimit": -1}})"),
            "store.json: at /faults/openItemLimit: expected a number of items, 0 or more");
  EXPECT_EQ(ErrorOf(R"({"faults": {"openItemLimit": "250"}})"),
            "store.json: at /faults/openItemLimit: expected an integer");
  EXPECT_EQ(ErrorOf(R"({"calendar": [{"start": "today", "recurrence": {"pattern": "daily",
            "count": 99999999999}}]})"),
            "store.json: at /calendar/0/recurrence/count: the number is out of range");
  EXPECT_EQ(ErrorOf(std::string(100000, '[')).rfind("store.json: at line 1, column 100001: invalid JSON", 0),
            0u);
  // Found by fuzzing: the JSON parser reports this one as out of range.
  EXPECT_EQ(ErrorOf(R"({"faults": {"openItemLimit": 1e400}})"),
            "store.json: invalid JSON: number overflow parsing '1e400'");
  EXPECT_EQ(ErrorOf(R"({"calendar": [{"subject": "a", "start": "today-120000000000000000000000000000"}]})"),
            "store.json: at /calendar/0/start: date out of range");
  EXPECT_EQ(ErrorOf(R"({"calendar": [{"subject": "a", "start": "now+99999999999h"}]})"),
            "store.json: at /calendar/0/start: date out of range");
  EXPECT_EQ(ErrorOf("[-22e2222]"), "store.json: invalid JSON: number overflow parsing '-22e2222'");
  EXPECT_EQ(ErrorOf(""), "store.json: at line 1, column 1: invalid JSON: syntax error while "
                         "parsing value - unexpected end of input; expected '[', '{', or a literal");
}

TEST(StoreLoader, MissingFileIsAClearError) {
  try {
    LoadStoreFile("/nonexistent/store.json", kNow);
    FAIL() << "no error";
  } catch (const StoreError& e) {
    EXPECT_STREQ(e.what(), "/nonexistent/store.json: cannot open the store file");
  }
}

}  // namespace
}  // namespace standin
