#pragma once
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "addin/access/mail_items.h"

// Finds the contacts that attendees were picked from, for one run. The
// contacts folder is read once, on the first look-up, into an index from
// entry identifier to folder position; the first contact in folder order
// wins when two report the same identifier. The index holds no contact: a
// server may limit how many items a session has open at once, so each
// look-up fetches its contact afresh and the caller holds it only while it
// needs it. Make a new resolver for every run so that the run sees the
// folder as it is then.
class AttendeeResolver {
 public:
  explicit AttendeeResolver(MailClient& client);

  // nullptr when the attendee was not picked from the contacts, its contact
  // is no longer in the folder or cannot be fetched now.
  ContactRef Resolve(Recipient& attendee) { return Find(attendee).contact; }

  struct Found {
    ContactRef contact;
    // No contact because something could not be read: the attendee's
    // identifier, its contact, or a contact of the folder that it may be.
    bool unreadable = false;
  };
  Found Find(Recipient& attendee);

 private:
  struct Index {
    std::shared_ptr<ContactFolder> folder;
    std::unordered_map<std::u16string, long> positionById;
    long unreadable = 0;  // contacts whose identifier could not be read in the last walk
  };

  Index& Contacts();
  void Walk(Index& index);
  enum class Fetch { kFound, kMoved, kUnavailable };
  Fetch FetchAt(Index& index, const std::u16string& id, ContactRef& contact);

  MailClient& client_;
  std::optional<Index> index_;
};
