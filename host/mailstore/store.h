#pragma once
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "mailstore/recurrence.h"

// The contents of a stand-in mail store: the default contacts and calendar
// folders with their items in folder order.
namespace standin {

// nullopt is a value the client does not have (a null string); "" is an
// empty value of its own.
using Text = std::optional<std::u16string>;

// Faults an item shows when the add-in reads it.
struct ItemFaults {
  enum class Fetch { kOk, kFail, kEmpty };
  Fetch fetch = Fetch::kOk;
  long fetchResult = 0;
  // Member name -> HRESULT its Invoke returns.
  std::map<std::string, long> failingMembers;
};

struct Contact {
  std::string key;  // how recipients in the store refer to this contact
  Text fullName, firstName, mobile, primary;
  std::string entryId;  // upper-case hexadecimal text
  // The client's list of category names, joined by its list separator; an
  // empty text for a contact in no category, as the client gives it.
  Text categories = std::u16string();
};

struct RecipientRecord {
  Text name, address;
  std::string entryId;
  ItemFaults faults;
};

struct Appointment {
  Text subject;
  double start = 0;  // local wall-clock OLE date
  long meetingStatus = 0;
  std::vector<RecipientRecord> recipients;
  std::optional<Recurrence> recurrence;
};

// Anything else a folder may hold (a distribution list, a note).
struct OtherItem {
  Text subject;
  std::string messageClass;
};

struct StoreItem {
  std::variant<Contact, Appointment, OtherItem> content;
  ItemFaults faults;
};

struct Store {
  // Application.Version: the client the store plays. Stores that name none
  // play the toolbar-only client they were written for.
  std::u16string version = u"11.0.0.8312";
  std::vector<StoreItem> contacts;
  std::vector<StoreItem> calendar;
};

}  // namespace standin
