#pragma once
#include <windows.h>

namespace outlook {

// Interface identifiers of the mail client's and the command bars' objects.
extern const IID kIidOutlookApplication;   // _Application
extern const IID kIidContactItem;          // _ContactItem
extern const IID kIidAppointmentItem;      // _AppointmentItem
extern const IID kIidCommandBarButton;     // _CommandBarButton
extern const IID kDiidCommandBarButtonEvents;  // _CommandBarButtonEvents

// Default folder numbers of GetDefaultFolder.
inline constexpr long kFolderCalendar = 9;
inline constexpr long kFolderContacts = 10;

}  // namespace outlook
