#include "send/opt_out.h"

namespace {

// Case folding for the scripts contact categories are written in: Latin
// (with Latin-1), Greek and Cyrillic. Others compare exactly.
char16_t Folded(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  switch (c) {  // Greek capitals with tonos
    case 0x386: return 0x3AC;
    case 0x388: case 0x389: case 0x38A: return c + 0x25;
    case 0x38C: return 0x3CC;
    case 0x38E: case 0x38F: return c + 0x3F;
  }
  return c;
}

bool SameName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

std::u16string Trimmed(const std::u16string& text) {
  const std::size_t first = text.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

}  // namespace

OptOut OptOut::Read(Settings& settings) {
  if (!settings.IsSet(settings_key::kOptOutCategory)) return OptOut(kDefaultCategory);
  return OptOut(Trimmed(settings.GetString(settings_key::kOptOutCategory)));
}

bool OptOut::InCategories(const std::u16string& categories) const {
  if (!On()) return false;
  std::size_t begin = 0;
  while (begin <= categories.size()) {
    std::size_t end = categories.find_first_of(u",;", begin);
    if (end == std::u16string::npos) end = categories.size();
    if (SameName(Trimmed(categories.substr(begin, end - begin)), category_)) return true;
    begin = end + 1;
  }
  return false;
}

bool OptOut::Excludes(ContactItem& contact) const {
  if (!On()) return false;
  const std::optional<std::u16string> categories = contact.Categories();
  return categories && InCategories(*categories);
}

std::u16string OptOut::ReportLine(const std::u16string& name) const {
  return u"Message for " + name + u" was not sent because " + name + u" does not want SMS (category \"" +
         category_ + u"\").";
}

std::u16string OptOut::Question(const std::vector<std::u16string>& names) const {
  std::u16string list;
  for (const std::u16string& name : names) list += u"\n" + name;
  return u"These recipients do not want SMS (category \"" + category_ + u"\"):\n" + list +
         u"\n\nDo you want to send the message to them anyway?";
}
