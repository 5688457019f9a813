#include "batch/attendee_resolver.h"

#include "batch/attendee_entry_id.h"

std::vector<std::shared_ptr<Recipient>> Attendees(AppointmentItem& meeting) {
  std::vector<std::shared_ptr<Recipient>> attendees;
  const long count = meeting.RecipientCount();
  for (long i = 1; i <= count; ++i) {
    if (auto recipient = meeting.RecipientAt(i)) attendees.push_back(std::move(recipient));
  }
  return attendees;
}

AttendeeResolver::AttendeeResolver(MailClient& client) : client_(client) {}

ContactRef AttendeeResolver::Resolve(Recipient& attendee) {
  auto attendeeId = attendee.EntryID();
  if (!attendeeId) return nullptr;
  auto contactId = ContactEntryIdOfAttendee(*attendeeId);
  if (!contactId) return nullptr;
  const Index& contacts = ContactsById();
  auto found = contacts.find(*contactId);
  return found == contacts.end() ? nullptr : found->second;
}

const AttendeeResolver::Index& AttendeeResolver::ContactsById() {
  if (index_) return *index_;
  index_.emplace();
  auto folder = client_.DefaultContacts();
  if (!folder) return *index_;
  const long count = folder->Count();
  for (long i = 1; i <= count; ++i) {
    auto contact = folder->ItemAt(i);
    if (!contact) continue;
    auto id = contact->EntryID();
    if (id) index_->emplace(std::move(*id), std::move(contact));
  }
  return *index_;
}
