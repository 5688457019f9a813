#include "addin/access/automation_mail_client.h"

#include <functional>

#include "addin/access/outlook_access.h"

namespace outlook {

namespace {

// A value read from the client on first use. The item does not change
// while the add-in works on it, so one call per property is enough.
template <class T>
class Once {
 public:
  T& Get(const std::function<T()>& read) {
    if (!value_) value_ = read();
    return *value_;
  }

 private:
  std::optional<T> value_;
};

using Text = std::optional<std::u16string>;

class AutomationContact : public ContactItem {
 public:
  explicit AutomationContact(Dispatch contact) : contact_(std::move(contact)) {}
  Text FullName() override { return fullName_.Get([&] { return outlook::FullName(contact_); }); }
  Text FirstName() override { return firstName_.Get([&] { return outlook::FirstName(contact_); }); }
  Text MobileTelephoneNumber() override {
    return mobile_.Get([&] { return outlook::MobileTelephoneNumber(contact_); });
  }
  Text PrimaryTelephoneNumber() override {
    return primary_.Get([&] { return outlook::PrimaryTelephoneNumber(contact_); });
  }
  Text EntryID() override { return entryId_.Get([&] { return outlook::EntryID(contact_); }); }
  Text Categories() override { return categories_.Get([&] { return outlook::Categories(contact_); }); }

 private:
  Dispatch contact_;
  Once<Text> fullName_, firstName_, mobile_, primary_, entryId_, categories_;
};

class AutomationRecipient : public Recipient {
 public:
  explicit AutomationRecipient(Dispatch recipient) : recipient_(std::move(recipient)) {}
  Text EntryID() override { return entryId_.Get([&] { return outlook::EntryID(recipient_); }); }
  Text Name() override { return name_.Get([&] { return outlook::Name(recipient_); }); }

 private:
  Dispatch recipient_;
  Once<Text> entryId_, name_;
};

class AutomationAppointment : public AppointmentItem {
 public:
  explicit AutomationAppointment(Dispatch appointment) : appointment_(std::move(appointment)) {}
  Text Subject() override { return subject_.Get([&] { return outlook::Subject(appointment_); }); }
  std::optional<double> Start() override {
    return start_.Get([&] { return outlook::Start(appointment_); });
  }
  std::optional<bool> IsRecurring() override {
    return recurring_.Get([&] { return outlook::IsRecurring(appointment_); });
  }
  std::optional<long> MeetingStatus() override {
    return status_.Get([&] { return outlook::MeetingStatus(appointment_); });
  }
  long RecipientCount() override { return Count(RecipientList()); }
  std::shared_ptr<Recipient> RecipientAt(long index) override {
    Dispatch recipient = ItemAt(RecipientList(), index);
    if (!recipient) return nullptr;
    return MakeRecipient(std::move(recipient));
  }
  std::shared_ptr<AppointmentItem> GetOccurrence(double start) override {
    const Dispatch& pattern = pattern_.Get([&] { return RecurrencePattern(appointment_); });
    Dispatch occurrence = Occurrence(pattern, start);
    if (!occurrence) return nullptr;
    return MakeAppointmentItem(std::move(occurrence));
  }

 private:
  const Dispatch& RecipientList() {
    return recipients_.Get([&] { return Recipients(appointment_); });
  }

  Dispatch appointment_;
  Once<Text> subject_;
  Once<std::optional<double>> start_;
  Once<std::optional<bool>> recurring_;
  Once<std::optional<long>> status_;
  Once<Dispatch> recipients_, pattern_;
};

// A default folder's items; the collection is fetched once per folder.
template <class Item>
class AutomationFolder : public ItemFolder<Item> {
 public:
  using Make = std::shared_ptr<Item> (*)(Dispatch);
  AutomationFolder(Dispatch items, bool (*isKind)(const Dispatch&), Make make)
      : items_(std::move(items)), isKind_(isKind), make_(make) {}
  long Count() override { return outlook::Count(items_); }
  std::shared_ptr<Item> ItemAt(long index) override {
    Dispatch item = outlook::ItemAt(items_, index);
    if (!item || !isKind_(item)) return nullptr;
    return make_(std::move(item));
  }

 private:
  Dispatch items_;
  bool (*isKind_)(const Dispatch&);
  Make make_;
};

class AutomationCalendar : public CalendarFolder {
 public:
  explicit AutomationCalendar(Dispatch items) : items_(std::move(items)) {}
  long Count() override { return outlook::Count(items_); }
  Fetched Fetch(long index) override {
    Dispatch item = outlook::ItemAt(items_, index);
    if (!item) return {nullptr, true};
    if (!IsAppointment(item)) return {};
    return {MakeAppointmentItem(std::move(item))};
  }

 private:
  Dispatch items_;
};

class AutomationMailClient : public MailClient {
 public:
  explicit AutomationMailClient(Dispatch application) : application_(std::move(application)) {}
  std::shared_ptr<CalendarFolder> DefaultCalendar() override {
    Dispatch items = DefaultItems(kFolderCalendar);
    if (!items) return nullptr;
    return std::make_shared<AutomationCalendar>(std::move(items));
  }
  std::shared_ptr<ContactFolder> DefaultContacts() override {
    Dispatch items = DefaultItems(kFolderContacts);
    if (!items) return nullptr;
    return std::make_shared<AutomationFolder<ContactItem>>(std::move(items), IsContact,
                                                           MakeContactItem);
  }
  ContactRef ContactByEntryID(const std::u16string& entryID) override {
    Dispatch item = ItemFromID(Session(application_), entryID);
    if (!item || !IsContact(item)) return nullptr;
    return MakeContactItem(std::move(item));
  }

 private:
  Dispatch DefaultItems(long folderNumber) {
    Dispatch session = Session(application_);
    Dispatch folder = DefaultFolder(session, folderNumber);
    return FolderItems(folder);
  }

  Dispatch application_;
};

}  // namespace

std::shared_ptr<MailClient> MakeMailClient(Dispatch application) {
  return std::make_shared<AutomationMailClient>(std::move(application));
}

std::shared_ptr<ContactItem> MakeContactItem(Dispatch contact) {
  return std::make_shared<AutomationContact>(std::move(contact));
}

std::shared_ptr<AppointmentItem> MakeAppointmentItem(Dispatch appointment) {
  return std::make_shared<AutomationAppointment>(std::move(appointment));
}

std::shared_ptr<Recipient> MakeRecipient(Dispatch recipient) {
  return std::make_shared<AutomationRecipient>(std::move(recipient));
}

}  // namespace outlook
