#include "store/settings.h"

#include <cstdio>
#include <string>

namespace {

constexpr char16_t kTemplateNamePrefix[] = u"SavedTemplateName";
constexpr char16_t kTemplateTextPrefix[] = u"SavedTemplateText";
constexpr char16_t kDefaultTemplateName[] = u"Dentist appointment";
constexpr char16_t kDefaultTemplateText[] =
    u"Dear [[first name]], don't forget your dentist appointment at [[appt time]] on "
    u"[[appt date]]. thanks the team at quendle dental Rudid Uririviv.";

// Digits and letters are ASCII, so widening each byte is exact.
std::u16string Widened(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// "%d" in UTF-16.
std::u16string Decimal(int value) { return Widened(std::to_string(value)); }

std::u16string NumberedKey(const char16_t* prefix, int n) { return prefix + Decimal(n); }

int TemplateCountIn(SettingsReader& settings) {
  // A hand-edited negative count means no templates, not a huge number.
  int count = static_cast<int>(settings.GetInt(settings_key::kSavedTemplatesCount, 0));
  return count < 0 ? 0 : count;
}

// Each read goes to the store itself.
class ValueByValue : public SettingsReader {
 public:
  explicit ValueByValue(Settings& settings) : settings_(settings) {}
  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override {
    return settings_.GetInt(key, defaultValue);
  }
  std::u16string GetString(const std::u16string& key) override { return settings_.GetString(key); }

 private:
  Settings& settings_;
};

}  // namespace

std::u16string WithMachineDefault(const std::u16string& key, std::u16string own,
                                  const std::function<std::u16string()>& machine) {
  if (key != settings_key::kGatewayHost || own.find_first_not_of(u" \t\r\n") != std::u16string::npos) return own;
  return machine();
}

std::unique_ptr<SettingsReader> Settings::ReadSection() { return std::make_unique<ValueByValue>(*this); }

std::u16string Settings::DescribeWriteFailure(HResult status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
  return u"The settings could not be written (error " + Widened(code) + u").";
}

bool Settings::IsSet(const std::u16string& key) { return !GetString(key).empty(); }

HResult Settings::SetStrings(const SettingsValues& values) {
  return Update([&](SettingsReader&) { return values; });
}

HResult Settings::SetString(const std::u16string& key, const std::u16string& value) {
  return SetStrings({{key, value}});
}

HResult Settings::SetInt(const std::u16string& key, int value) { return SetString(key, Decimal(value)); }

HResult Settings::SetFlag(const std::u16string& key, bool on) { return SetString(key, on ? u"1" : u"0"); }

int Settings::TemplateCount() { return TemplateCountIn(*this); }

std::u16string Settings::GetTemplateName(int n) {
  return GetString(NumberedKey(kTemplateNamePrefix, n));
}

std::u16string Settings::GetTemplateText(int n) {
  return GetString(NumberedKey(kTemplateTextPrefix, n));
}

// One write, so that no failure can leave the count raised over a missing
// name or text, and the count read at the write, so that a template
// another writer added meanwhile keeps its number.
HResult Settings::AddTemplate(const std::u16string& name, const std::u16string& text) {
  return Update([&](SettingsReader& current) {
    const int n = TemplateCountIn(current) + 1;
    return SettingsValues{{settings_key::kSavedTemplatesCount, Decimal(n)},
                          {NumberedKey(kTemplateNamePrefix, n), name},
                          {NumberedKey(kTemplateTextPrefix, n), text}};
  });
}

HResult Settings::SetTemplateText(int n, const std::u16string& text) {
  return SetString(NumberedKey(kTemplateTextPrefix, n), text);
}

HResult Settings::EnsureTemplateExists() {
  // Read first: the common case writes nothing.
  if (TemplateCount() > 0) return kStatusOk;
  return Update([](SettingsReader& current) {
    if (TemplateCountIn(current) > 0) return SettingsValues{};
    return SettingsValues{{settings_key::kSavedTemplatesCount, u"1"},
                          {NumberedKey(kTemplateNamePrefix, 1), kDefaultTemplateName},
                          {NumberedKey(kTemplateTextPrefix, 1), kDefaultTemplateText}};
  });
}
