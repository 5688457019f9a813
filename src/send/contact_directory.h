#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/access/mail_items.h"

// What the send dialog keeps of one contact. The item itself is not kept
// open: a server that limits the items open per session would otherwise
// refuse the contacts past its limit.
struct DirectoryEntry {
  std::optional<std::u16string> fullName;  // as the client gave it
  std::u16string mobile;                   // as the client gave it
  // How the contact is found again: by its identity, which survives other
  // contacts being added or deleted; by its place only when it has none.
  std::optional<std::u16string> entryID;
  long position = 0;  // item number in the contacts folder
};

// The contact's name, " (", its mobile number and ")".
std::u16string DirectoryKey(const std::u16string& fullName, const std::u16string& mobile);

// The contacts with a mobile number in the default contacts folder, by key
// in code-unit order. Two contacts with the same key are one entry: the
// later in the folder.
class ContactDirectory {
 public:
  using Entries = std::map<std::u16string, DirectoryEntry>;

  // Reads the folder item by item, releasing each before the next; items
  // that cannot be fetched, are not contacts or have no mobile number are
  // skipped. The directory keeps `client` to fetch contacts again.
  void Load(std::shared_ptr<MailClient> client);

  const Entries& entries() const { return entries_; }
  std::vector<std::u16string> Keys() const;
  bool Contains(const std::u16string& key) const { return entries_.count(key) != 0; }

  // The contact under `key`, fetched afresh for sending; nullptr when it
  // cannot be fetched (deleted meanwhile, say) or no longer has that key.
  ContactRef Fetch(const std::u16string& key) const;

 private:
  std::shared_ptr<MailClient> client_;
  std::shared_ptr<ContactFolder> folder_;
  Entries entries_;
};
