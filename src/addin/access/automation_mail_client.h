#pragma once
#include <memory>

#include "addin/access/dispatch.h"
#include "addin/access/mail_items.h"

namespace outlook {

// The mail client's contacts and calendar behind the portable ports, read
// through the access functions. Item properties are read on first use and
// kept, so that each item costs one call per property it is asked for.
std::shared_ptr<MailClient> MakeMailClient(Dispatch application);

// A contact, appointment or recipient port over an object the caller
// already holds.
std::shared_ptr<ContactItem> MakeContactItem(Dispatch contact);
std::shared_ptr<AppointmentItem> MakeAppointmentItem(Dispatch appointment);
std::shared_ptr<Recipient> MakeRecipient(Dispatch recipient);

}  // namespace outlook
