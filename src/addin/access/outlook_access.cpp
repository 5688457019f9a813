#include "addin/access/outlook_access.h"

namespace outlook {

namespace {

Dispatch ObjectProperty(const Dispatch& object, const wchar_t* name) {
  Variant value;
  if (!object || FAILED(object.GetProperty(name, value))) return {};
  auto result = value.AsObject();
  return result ? Dispatch(result) : Dispatch();
}

Dispatch ObjectCall(const Dispatch& object, const wchar_t* name, const Variant& arg) {
  Variant value;
  if (!object || FAILED(object.Call(name, {&arg}, value))) return {};
  auto result = value.AsObject();
  return result ? Dispatch(result) : Dispatch();
}

std::optional<std::u16string> TextProperty(const Dispatch& object, const wchar_t* name) {
  Variant value;
  if (!object || FAILED(object.GetProperty(name, value))) return std::nullopt;
  return value.AsText();
}

}  // namespace

Dispatch AsOutlookApplication(IUnknown* object) {
  Microsoft::WRL::ComPtr<IDispatch> application;
  if (!object || FAILED(object->QueryInterface(kIidOutlookApplication,
                                               reinterpret_cast<void**>(application.GetAddressOf())))) {
    return {};
  }
  return Dispatch(application);
}

Dispatch Session(const Dispatch& application) { return ObjectProperty(application, L"Session"); }

Dispatch ActiveExplorer(const Dispatch& application) {
  return ObjectProperty(application, L"ActiveExplorer");
}

Dispatch DefaultFolder(const Dispatch& session, long folder) {
  return ObjectCall(session, L"GetDefaultFolder", Variant::Long(folder));
}

Dispatch ItemFromID(const Dispatch& session, const std::u16string& entryID) {
  return ObjectCall(session, L"GetItemFromID", Variant::Text(entryID));
}

Dispatch FolderItems(const Dispatch& folder) { return ObjectProperty(folder, L"Items"); }

long Count(const Dispatch& collection) {
  Variant value;
  if (!collection || FAILED(collection.GetProperty(L"Count", value))) return 0;
  return value.AsLong().value_or(0);
}

Dispatch ItemAt(const Dispatch& collection, long index) {
  return ObjectCall(collection, L"Item", Variant::Long(index));
}

bool IsContact(const Dispatch& item) { return item.Supports(kIidContactItem); }

bool IsAppointment(const Dispatch& item) { return item.Supports(kIidAppointmentItem); }

std::optional<std::u16string> FullName(const Dispatch& contact) {
  return TextProperty(contact, L"FullName");
}

std::optional<std::u16string> FirstName(const Dispatch& contact) {
  return TextProperty(contact, L"FirstName");
}

std::optional<std::u16string> MobileTelephoneNumber(const Dispatch& contact) {
  return TextProperty(contact, L"MobileTelephoneNumber");
}

std::optional<std::u16string> PrimaryTelephoneNumber(const Dispatch& contact) {
  return TextProperty(contact, L"PrimaryTelephoneNumber");
}

std::optional<std::u16string> Categories(const Dispatch& contact) {
  return TextProperty(contact, L"Categories");
}

std::optional<std::u16string> EntryID(const Dispatch& item) { return TextProperty(item, L"EntryID"); }

std::optional<std::u16string> Name(const Dispatch& recipient) { return TextProperty(recipient, L"Name"); }

std::optional<std::u16string> Subject(const Dispatch& appointment) {
  return TextProperty(appointment, L"Subject");
}

std::optional<double> Start(const Dispatch& appointment) {
  Variant value;
  if (!appointment || FAILED(appointment.GetProperty(L"Start", value))) return std::nullopt;
  return value.AsDate();
}

std::optional<bool> IsRecurring(const Dispatch& appointment) {
  Variant value;
  if (!appointment || FAILED(appointment.GetProperty(L"IsRecurring", value))) return std::nullopt;
  return value.AsBool();
}

std::optional<long> MeetingStatus(const Dispatch& appointment) {
  Variant value;
  if (!appointment || FAILED(appointment.GetProperty(L"MeetingStatus", value))) return std::nullopt;
  return value.AsLong();
}

Dispatch Recipients(const Dispatch& appointment) { return ObjectProperty(appointment, L"Recipients"); }

Dispatch RecurrencePattern(const Dispatch& appointment) {
  Variant value;
  if (!appointment || FAILED(appointment.Call(L"GetRecurrencePattern", {}, value))) return {};
  auto result = value.AsObject();
  return result ? Dispatch(result) : Dispatch();
}

Dispatch Occurrence(const Dispatch& pattern, double start) {
  return ObjectCall(pattern, L"GetOccurrence", Variant::Date(start));
}

}  // namespace outlook
