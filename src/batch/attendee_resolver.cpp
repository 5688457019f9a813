#include "batch/attendee_resolver.h"

#include "batch/attendee_entry_id.h"

AttendeeResolver::AttendeeResolver(MailClient& client) : client_(client) {}

AttendeeResolver::Found AttendeeResolver::Find(Recipient& attendee) {
  auto attendeeId = attendee.EntryID();
  if (!attendeeId) return {nullptr, true};
  auto contactId = ContactEntryIdOfAttendee(*attendeeId);
  if (!contactId) return {};
  Index& index = Contacts();
  ContactRef contact;
  // Another contact at the indexed place means the folder changed during
  // the run: read it again, once for this attendee.
  if (FetchAt(index, *contactId, contact) == Fetch::kMoved) {
    Walk(index);
    FetchAt(index, *contactId, contact);
  }
  if (contact) return {std::move(contact)};
  // Indexed yet not fetched, or perhaps among the contacts whose identifier
  // could not be read; otherwise it is no longer in the folder.
  const bool indexed = index.positionById.count(*contactId) > 0;
  return {nullptr, !index.folder || indexed || index.unreadable > 0};
}

AttendeeResolver::Index& AttendeeResolver::Contacts() {
  if (!index_) {
    index_.emplace();
    index_->folder = client_.DefaultContacts();
    Walk(*index_);
  }
  return *index_;
}

void AttendeeResolver::Walk(Index& index) {
  index.positionById.clear();
  index.unreadable = 0;
  if (!index.folder) return;
  const long count = index.folder->Count();
  for (long i = 1; i <= count; ++i) {
    // Each contact is let go as soon as its identifier is read.
    auto contact = index.folder->ItemAt(i);
    if (!contact) continue;
    if (auto id = contact->EntryID()) {
      index.positionById.emplace(std::move(*id), i);
    } else {
      ++index.unreadable;
    }
  }
}

AttendeeResolver::Fetch AttendeeResolver::FetchAt(Index& index, const std::u16string& id,
                                                  ContactRef& contact) {
  contact = nullptr;
  auto found = index.positionById.find(id);
  if (found == index.positionById.end()) return Fetch::kUnavailable;
  auto item = index.folder->ItemAt(found->second);
  if (!item) {
    // Past the end the folder has shrunk; otherwise the item cannot be
    // fetched now (the server's open-item limit, say), which says nothing
    // about where the contacts are.
    return found->second > index.folder->Count() ? Fetch::kMoved : Fetch::kUnavailable;
  }
  auto itemId = item->EntryID();
  if (!itemId) return Fetch::kUnavailable;
  if (*itemId != id) return Fetch::kMoved;
  contact = std::move(item);
  return Fetch::kFound;
}
