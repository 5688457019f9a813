#pragma once
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "addin/mail_items.h"

// A meeting's attendees (all of its recipients, whatever their type) in
// the order of its recipient collection; recipients that cannot be fetched
// are left out.
std::vector<std::shared_ptr<Recipient>> Attendees(AppointmentItem& meeting);

// Finds the contacts that attendees were picked from, for one run. The
// contacts folder is read once, on the first look-up, into an index by
// entry identifier; the first contact in folder order wins when two report
// the same identifier. Make a new resolver for every run so that the run
// sees the folder as it is then.
class AttendeeResolver {
 public:
  explicit AttendeeResolver(MailClient& client);

  // nullptr when the attendee was not picked from the contacts or its
  // contact is no longer in the folder.
  ContactRef Resolve(Recipient& attendee);

 private:
  using Index = std::unordered_map<std::u16string, ContactRef>;

  const Index& ContactsById();

  MailClient& client_;
  std::optional<Index> index_;
};
