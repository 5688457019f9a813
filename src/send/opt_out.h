#pragma once
#include <string>
#include <vector>

#include "addin/access/mail_items.h"
#include "store/settings.h"

// Contacts who asked not to be texted are kept in one category of the mail
// client, named by a setting. A run reads the setting once and asks each
// contact it would text.
class OptOut {
 public:
  static constexpr char16_t kDefaultCategory[] = u"No SMS";

  // The category as set, the default while the setting is missing; an
  // empty setting turns the rule off.
  static OptOut Read(Settings& settings);
  explicit OptOut(std::u16string category) : category_(std::move(category)) {}

  bool On() const { return !category_.empty(); }
  const std::u16string& category() const { return category_; }

  // Whether the contact's categories hold this one, compared without case
  // as the mail client compares them. A contact whose categories cannot be
  // read counts as in none.
  bool Excludes(ContactItem& contact) const;
  bool InCategories(const std::u16string& categories) const;

  // The report line for a contact that was not sent to.
  std::u16string ReportLine(const std::u16string& name) const;
  // The send dialog's question about the opted-out recipients, by name.
  std::u16string Question(const std::vector<std::u16string>& names) const;

 private:
  std::u16string category_;
};
