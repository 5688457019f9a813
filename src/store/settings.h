#pragma once
#include <string>

// Keys of section "Profile" in Settings.ini.
namespace settings_key {
inline constexpr char16_t kUserName[] = u"UserName";
inline constexpr char16_t kPassword[] = u"Password";
inline constexpr char16_t kAlphabet[] = u"Alphabet";
inline constexpr char16_t kConcatenation[] = u"Concatenation";
inline constexpr char16_t kShowDeliveryResults[] = u"ShowDeliveryResults";
inline constexpr char16_t kTimeFrameUnitsCount[] = u"TimeFrameUnitsCount";
inline constexpr char16_t kTimeFrameUnitType[] = u"TimeFrameUnitType";
inline constexpr char16_t kReminderUnitsCount[] = u"ReminderUnitsCount";
inline constexpr char16_t kReminderUnitType[] = u"ReminderUnitType";
inline constexpr char16_t kSelectedTemplate[] = u"SelectedTemplate";
inline constexpr char16_t kSavedTemplatesCount[] = u"SavedTemplatesCount";
inline constexpr char16_t kGatewayHost[] = u"GatewayHost";
}  // namespace settings_key

// Typed reads and writes of the settings, by the reading rules of the
// platform's profile functions: a missing key gives the default, an integer
// is the decimal number at the start of the value text (0 when there is
// none), a string comes back cut to its first 2047 UTF-16 units. Nothing is
// cached: every read goes to the file and every write straight to it.
class Settings {
 public:
  virtual ~Settings() = default;
  virtual unsigned GetInt(const std::u16string& key, unsigned defaultValue) = 0;
  virtual std::u16string GetString(const std::u16string& key) = 0;
  virtual void SetString(const std::u16string& key, const std::u16string& value) = 0;
  void SetInt(const std::u16string& key, int value);
  void SetFlag(const std::u16string& key, bool on);

  // Saved message templates, numbered from 1 in creation order.
  int TemplateCount();
  std::u16string GetTemplateName(int n);
  std::u16string GetTemplateText(int n);
  void AddTemplate(const std::u16string& name, const std::u16string& text);
  void SetTemplateText(int n, const std::u16string& text);
  // Adds the built-in default template when none is saved yet.
  void EnsureTemplateExists();
};
