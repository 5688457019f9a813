#pragma once
// In-memory stand-ins for the mail client's ports, counting the contact
// reads that would go into the client.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/access/mail_items.h"
#include "platform/clock.h"
#include "platform/ole_date.h"
#include "platform/prompt.h"
#include "support/fixed_clock.h"

namespace fake {

inline double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  DateTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
  return DateTimeToOle(t).value();
}

class Contact : public ContactItem {
 public:
  // A nullopt `id` stands for a contact whose identifier cannot be read.
  Contact(std::optional<std::u16string> id, std::u16string firstName, long* idReads)
      : id_(std::move(id)), firstName_(std::move(firstName)), idReads_(idReads) {}
  std::optional<std::u16string> FullName() override { return firstName_; }
  std::optional<std::u16string> FirstName() override { return firstName_; }
  std::optional<std::u16string> MobileTelephoneNumber() override { return mobile; }
  std::optional<std::u16string> PrimaryTelephoneNumber() override { return std::nullopt; }
  std::optional<std::u16string> EntryID() override {
    ++*idReads_;
    return id_;
  }
  std::optional<std::u16string> Categories() override { return categories; }

  std::u16string categories;
  std::optional<std::u16string> mobile = u"+100";

 private:
  std::optional<std::u16string> id_;
  std::u16string firstName_;
  long* idReads_;
};

class Attendee : public Recipient {
 public:
  explicit Attendee(std::optional<std::u16string> id, std::optional<std::u16string> name = std::nullopt)
      : id_(std::move(id)), name_(std::move(name)) {}
  std::optional<std::u16string> EntryID() override { return id_; }
  std::optional<std::u16string> Name() override { return name_; }

 private:
  std::optional<std::u16string> id_;
  std::optional<std::u16string> name_;
};

class Appointment : public AppointmentItem {
 public:
  Appointment(std::u16string subject, double start, long status)
      : subject_(std::move(subject)), start_(start), status_(status) {}

  // Turns this item into a series with occurrences at the given starts.
  void SetOccurrences(std::vector<double> starts) {
    recurring_ = true;
    occurrences_ = std::move(starts);
  }
  void AddAttendee(std::optional<std::u16string> id, std::optional<std::u16string> name = std::nullopt) {
    attendees_.push_back(std::make_shared<Attendee>(std::move(id), std::move(name)));
  }
  void AddUnreadableAttendee() { attendees_.push_back(nullptr); }

  // From the second read on, the item starts at `to`, as if the user moved
  // it while a run was under way.
  void MoveAfterFirstRead(double to) { movedTo_ = to; }

  std::optional<std::u16string> Subject() override { return subject_; }
  std::optional<double> Start() override { return movedTo_ && startReads_++ > 0 ? *movedTo_ : start_; }
  std::optional<bool> IsRecurring() override { return recurring_; }
  std::optional<long> MeetingStatus() override { return status_; }
  long RecipientCount() override { return static_cast<long>(attendees_.size()); }
  std::shared_ptr<Recipient> RecipientAt(long index) override {
    if (index < 1 || index > RecipientCount()) return nullptr;
    return attendees_[index - 1];
  }
  std::shared_ptr<AppointmentItem> GetOccurrence(double start) override {
    lookedUp.push_back(start);
    for (double at : occurrences_) {
      if (at == start) {
        auto occurrence = std::make_shared<Appointment>(subject_, at, status_);
        occurrence->attendees_ = attendees_;
        return occurrence;
      }
    }
    return nullptr;
  }

  std::vector<double> lookedUp;

 private:
  std::u16string subject_;
  double start_;
  std::optional<double> movedTo_;
  int startReads_ = 0;
  long status_;
  bool recurring_ = false;
  std::vector<double> occurrences_;
  std::vector<std::shared_ptr<Recipient>> attendees_;
};

template <class Item>
class Folder : public ItemFolder<Item> {
 public:
  long Count() override { return static_cast<long>(items.size()); }
  std::shared_ptr<Item> ItemAt(long index) override {
    ++fetches;
    if (index < 1 || index > Count()) return nullptr;
    return items[index - 1];
  }
  // Items that someone besides the folder still holds.
  long HeldElsewhere() const {
    long held = 0;
    for (const auto& item : items) held += item && item.use_count() > 1;
    return held;
  }
  std::vector<std::shared_ptr<Item>> items;  // a nullptr stands for an unreadable item
  long fetches = 0;
};

// A nullptr item stands for one that cannot be fetched.
class Calendar : public CalendarFolder {
 public:
  long Count() override { return static_cast<long>(items.size()); }
  Fetched Fetch(long index) override {
    ++fetches;
    if (index < 1 || index > Count() || !items[index - 1]) return {nullptr, true};
    return {items[index - 1]};
  }
  long HeldElsewhere() const {
    long held = 0;
    for (const auto& item : items) held += item && item.use_count() > 1;
    return held;
  }
  std::vector<std::shared_ptr<AppointmentItem>> items;
  long fetches = 0;
};

class Client : public MailClient {
 public:
  Client()
      : calendar(std::make_shared<Calendar>()),
        contacts(std::make_shared<Folder<ContactItem>>()) {}

  std::shared_ptr<Appointment> AddMeeting(const std::u16string& subject, double start,
                                          long status = 1) {
    auto item = std::make_shared<Appointment>(subject, start, status);
    calendar->items.push_back(item);
    return item;
  }
  std::shared_ptr<Contact> AddContact(const std::optional<std::u16string>& id, const std::u16string& name) {
    auto contact = std::make_shared<Contact>(id, name, &contactIdReads);
    contacts->items.push_back(contact);
    return contact;
  }

  std::shared_ptr<CalendarFolder> DefaultCalendar() override { return calendar; }
  std::shared_ptr<ContactFolder> DefaultContacts() override {
    ++contactFolderOpens;
    return contacts;
  }
  ContactRef ContactByEntryID(const std::u16string& entryID) override {
    for (const auto& contact : contacts->items) {
      if (contact && contact->EntryID() == entryID) return contact;
    }
    return nullptr;
  }

  long contactFolderOpens = 0;
  long contactIdReads = 0;
  std::shared_ptr<Calendar> calendar;
  std::shared_ptr<Folder<ContactItem>> contacts;
};

// Answers every question the same way and keeps what was asked.
class ScriptedPrompt : public Prompt {
 public:
  explicit ScriptedPrompt(bool answer) : answer(answer) {}
  bool AskYesNo(const std::u16string& text, const std::u16string& caption) override {
    questions.push_back(text);
    captions.push_back(caption);
    return answer;
  }
  void Show(const std::u16string&, const std::u16string&) override {}

  bool answer;
  std::vector<std::u16string> questions;
  std::vector<std::u16string> captions;
};

}  // namespace fake
