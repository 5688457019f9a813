#include "store/settings.h"

#include <string>

namespace {

constexpr char16_t kTemplateNamePrefix[] = u"SavedTemplateName";
constexpr char16_t kTemplateTextPrefix[] = u"SavedTemplateText";
constexpr char16_t kDefaultTemplateName[] = u"Dentist appointment";
constexpr char16_t kDefaultTemplateText[] =
    u"Dear [[first name]], don't forget your dentist appointment at [[appt time]] on "
    u"[[appt date]]. thanks the team at quendle dental Rudid Uririviv.";

// "%d" in UTF-16; digits are ASCII, so widening each byte is exact.
std::u16string Decimal(int value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string NumberedKey(const char16_t* prefix, int n) { return prefix + Decimal(n); }

}  // namespace

void Settings::SetInt(const std::u16string& key, int value) { SetString(key, Decimal(value)); }

void Settings::SetFlag(const std::u16string& key, bool on) { SetString(key, on ? u"1" : u"0"); }

int Settings::TemplateCount() {
  // A hand-edited negative count means no templates, not a huge number.
  int count = static_cast<int>(GetInt(settings_key::kSavedTemplatesCount, 0));
  return count < 0 ? 0 : count;
}

std::u16string Settings::GetTemplateName(int n) {
  return GetString(NumberedKey(kTemplateNamePrefix, n));
}

std::u16string Settings::GetTemplateText(int n) {
  return GetString(NumberedKey(kTemplateTextPrefix, n));
}

void Settings::AddTemplate(const std::u16string& name, const std::u16string& text) {
  int n = TemplateCount() + 1;
  SetInt(settings_key::kSavedTemplatesCount, n);
  SetString(NumberedKey(kTemplateNamePrefix, n), name);
  SetString(NumberedKey(kTemplateTextPrefix, n), text);
}

void Settings::SetTemplateText(int n, const std::u16string& text) {
  SetString(NumberedKey(kTemplateTextPrefix, n), text);
}

void Settings::EnsureTemplateExists() {
  if (TemplateCount() == 0) AddTemplate(kDefaultTemplateName, kDefaultTemplateText);
}
