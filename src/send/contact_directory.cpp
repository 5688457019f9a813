#include "send/contact_directory.h"

namespace {

std::optional<std::u16string> KeyOf(ContactItem& contact) {
  std::optional<std::u16string> mobile = contact.MobileTelephoneNumber();
  if (!mobile) return std::nullopt;
  return DirectoryKey(contact.FullName().value_or(u""), *mobile);
}

}  // namespace

std::u16string DirectoryKey(const std::u16string& fullName, const std::u16string& mobile) {
  return fullName + u" (" + mobile + u")";
}

void ContactDirectory::Load(std::shared_ptr<MailClient> client) {
  entries_.clear();
  client_ = std::move(client);
  folder_ = client_ ? client_->DefaultContacts() : nullptr;
  if (!folder_) return;
  long count = folder_->Count();
  for (long i = 1; i <= count; ++i) {
    ContactRef contact = folder_->ItemAt(i);
    if (!contact) continue;
    std::optional<std::u16string> name = contact->FullName();
    std::optional<std::u16string> mobile = contact->MobileTelephoneNumber();
    if (!mobile) continue;
    entries_[DirectoryKey(name.value_or(u""), *mobile)] = DirectoryEntry{name, *mobile, contact->EntryID(), i};
  }
}

std::vector<std::u16string> ContactDirectory::Keys() const {
  std::vector<std::u16string> keys;
  keys.reserve(entries_.size());
  for (const auto& entry : entries_) keys.push_back(entry.first);
  return keys;
}

ContactRef ContactDirectory::Fetch(const std::u16string& key) const {
  auto found = entries_.find(key);
  if (found == entries_.end() || !folder_) return nullptr;
  const DirectoryEntry& entry = found->second;
  ContactRef contact = entry.entryID ? client_->ContactByEntryID(*entry.entryID) : folder_->ItemAt(entry.position);
  if (!contact || KeyOf(*contact) != key) return nullptr;
  return contact;
}
