#pragma once
#include <optional>
#include <string>

#include "addin/access/dispatch.h"
#include "addin/access/outlook_ids.h"

// The mail client's object model as the add-in reads it. Each read gives
// an empty result (empty Dispatch, nullopt) when the call fails or the
// client gives nothing, so that callers skip what cannot be read.
namespace outlook {

// The application behind `object` when it is the mail client's one.
Dispatch AsOutlookApplication(IUnknown* object);

Dispatch Session(const Dispatch& application);
// The explorer window active now; empty when there is none.
Dispatch ActiveExplorer(const Dispatch& application);
Dispatch DefaultFolder(const Dispatch& session, long folder);
// The item with this entry ID; empty when there is none.
Dispatch ItemFromID(const Dispatch& session, const std::u16string& entryID);
Dispatch FolderItems(const Dispatch& folder);

// Collections (items, recipients): 0 when the count cannot be read.
long Count(const Dispatch& collection);
// The item numbered `index` (from 1); empty when it cannot be fetched.
Dispatch ItemAt(const Dispatch& collection, long index);

bool IsContact(const Dispatch& item);
bool IsAppointment(const Dispatch& item);

// Contact.
std::optional<std::u16string> FullName(const Dispatch& contact);
std::optional<std::u16string> FirstName(const Dispatch& contact);
std::optional<std::u16string> MobileTelephoneNumber(const Dispatch& contact);
std::optional<std::u16string> PrimaryTelephoneNumber(const Dispatch& contact);
std::optional<std::u16string> Categories(const Dispatch& contact);
// Contact or recipient: hexadecimal text.
std::optional<std::u16string> EntryID(const Dispatch& item);
// Recipient: the display name.
std::optional<std::u16string> Name(const Dispatch& recipient);

// Appointment.
std::optional<std::u16string> Subject(const Dispatch& appointment);
std::optional<double> Start(const Dispatch& appointment);
std::optional<bool> IsRecurring(const Dispatch& appointment);
std::optional<long> MeetingStatus(const Dispatch& appointment);
Dispatch Recipients(const Dispatch& appointment);
Dispatch RecurrencePattern(const Dispatch& appointment);
// The occurrence starting exactly at `start`; empty when there is none.
Dispatch Occurrence(const Dispatch& pattern, double start);

}  // namespace outlook
