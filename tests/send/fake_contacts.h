#pragma once
// A contacts folder in memory that counts the items open at once, as a
// server with a per-session limit would see them.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/access/mail_items.h"

namespace fake {

struct ContactData {
  std::optional<std::u16string> fullName = std::nullopt;
  std::optional<std::u16string> mobile = std::nullopt;
  std::optional<std::u16string> primary = std::nullopt;
  bool fetchFails = false;
  std::optional<std::u16string> entryID = std::nullopt;
  std::u16string categories = u"";
};

class ContactsFolder : public ContactFolder {
 public:
  explicit ContactsFolder(std::vector<ContactData> contacts) : contacts_(std::move(contacts)) {}

  long Count() override { return static_cast<long>(contacts_.size()); }
  std::shared_ptr<ContactItem> ItemAt(long index) override {
    if (index < 1 || index > Count() || contacts_[index - 1].fetchFails) return nullptr;
    if (limit_ && *open_ >= *limit_) return nullptr;
    return std::make_shared<Contact>(&contacts_[index - 1], open_);
  }

  std::vector<ContactData>& contacts() { return contacts_; }
  // Looked up by identity, wherever the contact is now.
  std::shared_ptr<ContactItem> ItemWithID(const std::u16string& entryID) {
    for (long i = 1; i <= Count(); ++i) {
      if (contacts_[i - 1].entryID == entryID) return ItemAt(i);
    }
    return nullptr;
  }
  void SetOpenLimit(long limit) { limit_ = limit; }
  long OpenItems() const { return *open_; }

 private:
  class Contact : public ContactItem {
   public:
    Contact(const ContactData* data, std::shared_ptr<long> open) : data_(data), open_(std::move(open)) {
      ++*open_;
    }
    ~Contact() override { --*open_; }
    std::optional<std::u16string> FullName() override { return data_->fullName; }
    std::optional<std::u16string> FirstName() override { return data_->fullName; }
    std::optional<std::u16string> MobileTelephoneNumber() override { return data_->mobile; }
    std::optional<std::u16string> PrimaryTelephoneNumber() override { return data_->primary; }
    std::optional<std::u16string> EntryID() override { return data_->entryID; }
    std::optional<std::u16string> Categories() override { return data_->categories; }

   private:
    const ContactData* data_;
    std::shared_ptr<long> open_;
  };

  std::vector<ContactData> contacts_;
  std::shared_ptr<long> open_ = std::make_shared<long>(0);
  std::optional<long> limit_;
};

class Client : public MailClient {
 public:
  explicit Client(std::shared_ptr<ContactsFolder> contacts) : contacts_(std::move(contacts)) {}
  std::shared_ptr<CalendarFolder> DefaultCalendar() override { return nullptr; }
  std::shared_ptr<ContactFolder> DefaultContacts() override { return contacts_; }
  ContactRef ContactByEntryID(const std::u16string& entryID) override {
    return contacts_ ? contacts_->ItemWithID(entryID) : nullptr;
  }

 private:
  std::shared_ptr<ContactsFolder> contacts_;
};

}  // namespace fake
