#include "standin/mail_objects.h"

#include "mailstore/recurrence.h"
#include "standin/explorer.h"
#include "standin/mail_ids.h"

namespace standin {

namespace {

constexpr long kNotFound = static_cast<long>(0x8004010F);
// MAPI_E_SESSION_LIMIT: what a server answers when a session would hold
// more objects open than it allows.
constexpr long kSessionLimit = static_cast<long>(0x80040112);

bool IsGet(WORD flags) { return flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD); }

std::optional<long> FailingMember(const ItemFaults& faults, const std::wstring& member) {
  auto found = faults.failingMembers.find(Narrow(member));
  if (found == faults.failingMembers.end()) return std::nullopt;
  return found->second;
}

HRESULT Describe(EXCEPINFO* exception, long code, const wchar_t* text) {
  if (exception) {
    *exception = {};
    exception->bstrSource = SysAllocString(L"Mail store");
    exception->bstrDescription = SysAllocString(text);
    exception->scode = code;
  }
  return DISP_E_EXCEPTION;
}

// Counts an item as open for as long as its automation object lives.
class OpenItem {
 public:
  explicit OpenItem(World& world) : world_(world) { world_.openItems.Open(); }
  ~OpenItem() { --world_.openItems.count; }
  OpenItem(const OpenItem&) = delete;
  OpenItem& operator=(const OpenItem&) = delete;

 private:
  World& world_;
};

// The server refuses to open one more item, whichever it is.
std::optional<HRESULT> RefuseAtItemLimit(const World& world, EXCEPINFO* exception) {
  if (!world.openItems.Full()) return std::nullopt;
  return Describe(exception, kSessionLimit,
                  L"Your server administrator has limited the number of items you can open "
                  L"simultaneously.");
}

// Recipients and recurrence patterns keep the item they belong to open,
// as the client's do.
class Recipient : public AutomationObject {
 public:
  Recipient(std::shared_ptr<World> world, const RecipientRecord* record, ComPtr<IDispatch> item)
      : AutomationObject(std::move(world), "Recipient", kMembers, std::size(kMembers)),
        record_(record),
        item_(std::move(item)) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) override {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    switch (id) {
      case 1: return ReturnText(result, std::u16string(record_->entryId.begin(), record_->entryId.end()));
      case 2: return ReturnText(result, record_->name ? record_->name : record_->address);
      case 3: return ReturnText(result, record_->address);
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  std::optional<long> StoredFault(const std::wstring& member) const override {
    return FailingMember(record_->faults, member);
  }

 private:
  static constexpr Member kMembers[] = {{L"EntryID", 1}, {L"Name", 2}, {L"Address", 3}};
  const RecipientRecord* record_;
  ComPtr<IDispatch> item_;
};

// Collections numbered from 1, in store order.
HRESULT FetchItem(const Args& args, size_t count, long& index) {
  if (!args.Has(0)) return DISP_E_PARAMNOTOPTIONAL;
  const auto n = args.Long(0);
  if (!n) return DISP_E_TYPEMISMATCH;
  if (*n < 1 || static_cast<size_t>(*n) > count) return DISP_E_BADINDEX;
  index = *n - 1;
  return S_OK;
}

HRESULT ReturnFetched(VARIANT* result, const ItemFaults& faults, IDispatch* item) {
  switch (faults.fetch) {
    case ItemFaults::Fetch::kFail: return faults.fetchResult;
    case ItemFaults::Fetch::kEmpty: return S_OK;
    case ItemFaults::Fetch::kOk: break;
  }
  return ReturnObject(result, item);
}

class Recipients : public AutomationObject {
 public:
  Recipients(std::shared_ptr<World> world, const Appointment* appointment, ComPtr<IDispatch> item)
      : AutomationObject(std::move(world), "Recipients", kMembers, std::size(kMembers)),
        appointment_(appointment),
        item_(std::move(item)) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO*) override {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    const auto& list = appointment_->recipients;
    if (id == 1) return ReturnLong(result, static_cast<long>(list.size()));
    long index = 0;
    HRESULT hr = FetchItem(args, list.size(), index);
    if (FAILED(hr)) return hr;
    auto recipient = Make<Recipient>(world_, &list[index], item_);
    return ReturnFetched(result, list[index].faults, recipient.Get());
  }

 private:
  static constexpr Member kMembers[] = {{L"Count", 1}, {L"Item", 0}};
  const Appointment* appointment_;
  ComPtr<IDispatch> item_;
};

class AppointmentItem;

class RecurrencePattern : public AutomationObject {
 public:
  RecurrencePattern(std::shared_ptr<World> world, const StoreItem* item, ComPtr<IDispatch> series)
      : AutomationObject(std::move(world), "RecurrencePattern", kMembers, std::size(kMembers)),
        item_(item),
        series_(std::move(series)) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  static constexpr Member kMembers[] = {
      {L"GetOccurrence", 1}, {L"RecurrenceType", 2}, {L"Interval", 3}};
  const StoreItem* item_;
  ComPtr<IDispatch> series_;
};

class AppointmentItem : public AutomationObject {
 public:
  AppointmentItem(std::shared_ptr<World> world, const StoreItem* item,
                  std::optional<Occurrence> occurrence = std::nullopt)
      : AutomationObject(std::move(world), "AppointmentItem", kMembers, std::size(kMembers)),
        item_(item),
        appointment_(std::get<Appointment>(item->content)),
        occurrence_(occurrence),
        open_(*world_) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) override {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    switch (id) {
      case 1: return ReturnText(result, appointment_.subject);
      case 2: return ReturnDate(result, occurrence_ ? occurrence_->start : appointment_.start);
      case 3: return ReturnBool(result, appointment_.recurrence.has_value());
      case 4: return ReturnLong(result, appointment_.meetingStatus);
      case 5: return ReturnObject(result, Make<Recipients>(world_, &appointment_, this).Get());
      case 6: return ReturnObject(result, Make<RecurrencePattern>(world_, item_, this).Get());
      case 7: return ReturnLong(result, !appointment_.recurrence ? 0 : occurrence_ ? 2 : 1);
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  bool AnswersAsDispatch(REFIID iid) const override { return iid == kIidAppointmentItem; }
  std::optional<long> StoredFault(const std::wstring& member) const override {
    return FailingMember(item_->faults, member);
  }

 private:
  static constexpr Member kMembers[] = {
      {L"Subject", 1},    {L"Start", 2},      {L"IsRecurring", 3},     {L"MeetingStatus", 4},
      {L"Recipients", 5}, {L"GetRecurrencePattern", 6}, {L"RecurrenceState", 7}};
  const StoreItem* item_;
  const Appointment& appointment_;
  std::optional<Occurrence> occurrence_;
  OpenItem open_;
};

HRESULT RecurrencePattern::InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                                        EXCEPINFO* exception) {
  if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
  const auto& recurrence = std::get<Appointment>(item_->content).recurrence;
  switch (id) {
    case 1: {
      const auto when = args.Date(0);
      if (!when) return DISP_E_TYPEMISMATCH;
      const double seriesStart = std::get<Appointment>(item_->content).start;
      const auto found = recurrence ? FindOccurrence(*recurrence, seriesStart, *when) : std::nullopt;
      if (!found) {
        return Describe(exception, kNotFound, L"No occurrence of this series starts at that time.");
      }
      if (auto refused = RefuseAtItemLimit(*world_, exception)) return *refused;
      return ReturnObject(result, Make<AppointmentItem>(world_, item_, found).Get());
    }
    case 2: return ReturnLong(result, recurrence ? static_cast<long>(recurrence->pattern) : 0);
    case 3: return ReturnLong(result, recurrence ? recurrence->interval : 1);
  }
  return DISP_E_MEMBERNOTFOUND;
}

class ContactItem : public AutomationObject {
 public:
  ContactItem(std::shared_ptr<World> world, const StoreItem* item)
      : AutomationObject(std::move(world), "ContactItem", kMembers, std::size(kMembers)),
        item_(item),
        contact_(std::get<Contact>(item->content)),
        open_(*world_) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) override {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    switch (id) {
      case 1: return ReturnText(result, contact_.fullName);
      case 2: return ReturnText(result, contact_.firstName);
      case 3: return ReturnText(result, contact_.mobile);
      case 4: return ReturnText(result, contact_.primary);
      case 5: return ReturnText(result, std::u16string(contact_.entryId.begin(), contact_.entryId.end()));
      case 6: return ReturnText(result, u"IPM.Contact");
      case 7: return ReturnText(result, contact_.categories);
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  bool AnswersAsDispatch(REFIID iid) const override { return iid == kIidContactItem; }
  std::optional<long> StoredFault(const std::wstring& member) const override {
    return FailingMember(item_->faults, member);
  }

 private:
  static constexpr Member kMembers[] = {
      {L"FullName", 1}, {L"FirstName", 2}, {L"MobileTelephoneNumber", 3},
      {L"PrimaryTelephoneNumber", 4}, {L"EntryID", 5}, {L"MessageClass", 6},
      {L"Categories", 7}};
  const StoreItem* item_;
  const Contact& contact_;
  OpenItem open_;
};

// Items of other kinds, which answer neither the contact nor the
// appointment interface.
class OtherItemObject : public AutomationObject {
 public:
  OtherItemObject(std::shared_ptr<World> world, const StoreItem* item)
      : AutomationObject(std::move(world), "OtherItem", kMembers, std::size(kMembers)),
        item_(item),
        other_(std::get<OtherItem>(item->content)),
        open_(*world_) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) override {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    if (id == 1) return ReturnText(result, other_.subject);
    return ReturnText(result, std::u16string(other_.messageClass.begin(), other_.messageClass.end()));
  }
  std::optional<long> StoredFault(const std::wstring& member) const override {
    return FailingMember(item_->faults, member);
  }

 private:
  static constexpr Member kMembers[] = {{L"Subject", 1}, {L"MessageClass", 2}};
  const StoreItem* item_;
  const OtherItem& other_;
  OpenItem open_;
};

class Items : public AutomationObject {
 public:
  Items(std::shared_ptr<World> world, const std::vector<StoreItem>* items)
      : AutomationObject(std::move(world), "Items", kMembers, std::size(kMembers)), items_(items) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    if (id == 1) return ReturnLong(result, static_cast<long>(items_->size()));
    long index = 0;
    HRESULT hr = FetchItem(args, items_->size(), index);
    if (FAILED(hr)) return hr;
    if (auto refused = RefuseAtItemLimit(*world_, exception)) return *refused;
    const StoreItem& item = (*items_)[index];
    return ReturnFetched(result, item.faults, ItemObject(world_, item).Get());
  }

 private:
  static constexpr Member kMembers[] = {{L"Count", 1}, {L"Item", 0}};
  const std::vector<StoreItem>* items_;
};

class Folder : public AutomationObject {
 public:
  Folder(std::shared_ptr<World> world, const std::vector<StoreItem>* items, const char16_t* name)
      : AutomationObject(std::move(world), "Folder", kMembers, std::size(kMembers)),
        items_(items),
        name_(name) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) override {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    if (id == 1) return ReturnObject(result, Make<Items>(world_, items_).Get());
    return ReturnText(result, std::u16string(name_));
  }

 private:
  static constexpr Member kMembers[] = {{L"Items", 1}, {L"Name", 2}};
  const std::vector<StoreItem>* items_;
  const char16_t* name_;
};

class NameSpace : public AutomationObject {
 public:
  explicit NameSpace(std::shared_ptr<World> world)
      : AutomationObject(std::move(world), "NameSpace", kMembers, std::size(kMembers)) {}

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override {
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (id == 2) return ItemFromID(args, result, exception);
    const auto folder = args.Long(0);
    if (!folder) return DISP_E_TYPEMISMATCH;
    if (*folder == kFolderCalendar) {
      return ReturnObject(result, Make<Folder>(world_, &world_->store.calendar, u"Calendar").Get());
    }
    if (*folder == kFolderContacts) {
      return ReturnObject(result, Make<Folder>(world_, &world_->store.contacts, u"Contacts").Get());
    }
    return Describe(exception, static_cast<long>(E_INVALIDARG), L"This store has no such folder.");
  }

 private:
  // Contacts are the items of this store that carry an entry ID.
  HRESULT ItemFromID(const Args& args, VARIANT* result, EXCEPINFO* exception) {
    const auto wanted = args.Text(0);
    if (!wanted) return DISP_E_TYPEMISMATCH;
    for (const StoreItem& item : world_->store.contacts) {
      const auto* contact = std::get_if<Contact>(&item.content);
      if (!contact || std::u16string(contact->entryId.begin(), contact->entryId.end()) != *wanted) continue;
      if (auto refused = RefuseAtItemLimit(*world_, exception)) return *refused;
      return ReturnFetched(result, item.faults, ItemObject(world_, item).Get());
    }
    // What the client says of an ID whose item was deleted (MAPI_E_NOT_FOUND).
    return Describe(exception, static_cast<long>(0x8004010F), L"The item could not be found.");
  }

  static constexpr Member kMembers[] = {{L"GetDefaultFolder", 1}, {L"GetItemFromID", 2}};
};

constexpr Member kApplicationMembers[] = {{L"Session", 1}, {L"ActiveExplorer", 2}, {L"Version", 3}};

}  // namespace

ComPtr<IDispatch> ItemObject(const std::shared_ptr<World>& world, const StoreItem& item) {
  if (std::holds_alternative<Contact>(item.content)) return Make<ContactItem>(world, &item);
  if (std::holds_alternative<Appointment>(item.content)) return Make<AppointmentItem>(world, &item);
  return Make<OtherItemObject>(world, &item);
}

Application::Application(std::shared_ptr<World> world)
    : AutomationObject(world, "Application", kApplicationMembers, std::size(kApplicationMembers)),
      session_(Make<NameSpace>(world)),
      explorer_(Make<Explorer>(world)) {}

HRESULT Application::InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) {
  if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
  if (id == 1) return ReturnObject(result, session_.Get());
  if (id == 3) return ReturnText(result, world_->store.version);
  // Without a window the client answers with no explorer, not an error.
  return ReturnObject(result, world_->hasActiveExplorer ? explorer_.Get() : nullptr);
}

bool Application::AnswersAsDispatch(REFIID iid) const { return iid == kIidApplication; }

}  // namespace standin
