#pragma once
#include <memory>
#include <optional>
#include <string>

// What the portable core reads from the mail client's items. The Windows
// access layer implements these over automation (late-bound IDispatch);
// tests use fakes. A std::nullopt text means the client gave no value (a
// null string) or the read failed; an empty string is a value of its own.

class ContactItem {
 public:
  virtual ~ContactItem() = default;
  virtual std::optional<std::u16string> FullName() = 0;
  virtual std::optional<std::u16string> FirstName() = 0;
  virtual std::optional<std::u16string> MobileTelephoneNumber() = 0;
  virtual std::optional<std::u16string> PrimaryTelephoneNumber() = 0;
  // Hexadecimal text, two upper-case digits per byte.
  virtual std::optional<std::u16string> EntryID() = 0;
  // The names of the contact's categories joined by the list separator
  // (", " or "; "); empty for none, which is also what a contact source
  // without categories gives.
  virtual std::optional<std::u16string> Categories() { return std::u16string(); }
};
using ContactRef = std::shared_ptr<ContactItem>;

class Recipient {
 public:
  virtual ~Recipient() = default;
  // Hexadecimal text; for an address-book entry it wraps the contact's ID.
  virtual std::optional<std::u16string> EntryID() = 0;
  // The display name the meeting shows for this attendee.
  virtual std::optional<std::u16string> Name() = 0;
};

class AppointmentItem {
 public:
  virtual ~AppointmentItem() = default;
  virtual std::optional<std::u16string> Subject() = 0;
  // Local wall-clock start as an OLE Automation date.
  virtual std::optional<double> Start() = 0;
  virtual std::optional<bool> IsRecurring() = 0;
  // 0 is a plain appointment; every other value a meeting.
  virtual std::optional<long> MeetingStatus() = 0;
  // Recipients numbered from 1; a count of 0 when they cannot be read and a
  // nullptr for an index that cannot be fetched.
  virtual long RecipientCount() = 0;
  virtual std::shared_ptr<Recipient> RecipientAt(long index) = 0;
  // The occurrence of this series that starts exactly at `start`, or
  // nullptr when there is none (or no recurrence pattern).
  virtual std::shared_ptr<AppointmentItem> GetOccurrence(double start) = 0;
};

// A folder's items in the folder's own order, numbered from 1.
template <class Item>
class ItemFolder {
 public:
  virtual ~ItemFolder() = default;
  virtual long Count() = 0;
  // nullptr when the item cannot be fetched or is not of this kind.
  virtual std::shared_ptr<Item> ItemAt(long index) = 0;
};
using ContactFolder = ItemFolder<ContactItem>;

// The calendar tells an item of another kind (skipped as no meeting) from
// one that cannot be fetched (a meeting, perhaps, that the user must hear of).
class CalendarFolder : public ItemFolder<AppointmentItem> {
 public:
  struct Fetched {
    std::shared_ptr<AppointmentItem> item;
    bool unreadable = false;  // the fetch failed; false for an item of another kind
  };
  virtual Fetched Fetch(long index) = 0;
  std::shared_ptr<AppointmentItem> ItemAt(long index) final { return Fetch(index).item; }
};

// The mail client's default folders (calendar 9, contacts 10).
class MailClient {
 public:
  virtual ~MailClient() = default;
  // nullptr when the folder cannot be reached.
  virtual std::shared_ptr<CalendarFolder> DefaultCalendar() = 0;
  virtual std::shared_ptr<ContactFolder> DefaultContacts() = 0;
  // The contact with this entry ID, wherever it is now; nullptr when there
  // is none any more, it cannot be read or it is not a contact.
  virtual ContactRef ContactByEntryID(const std::u16string& entryID) = 0;
};
