#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/status.h"

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
inline constexpr char16_t kOptOutCategory[] = u"OptOutCategory";
}  // namespace settings_key

// Reads of the settings, by the reading rules of the platform's profile
// functions: a missing key gives the default, an integer is the decimal
// number at the start of the value text (0 when there is none), a string
// comes back cut to its first 2047 UTF-16 units.
class SettingsReader {
 public:
  virtual ~SettingsReader() = default;
  virtual unsigned GetInt(const std::u16string& key, unsigned defaultValue) = 0;
  virtual std::u16string GetString(const std::u16string& key) = 0;
};

// What a read of `key` gives when the user's own value is `own`: that,
// unless it is blank and the key is one that an install for every user sets
// for the whole machine (only the gateway's address), then the machine's.
// `machine` is asked only then, so that other reads cost nothing more.
std::u16string WithMachineDefault(const std::u16string& key, std::u16string own,
                                  const std::function<std::u16string()>& machine);

// Keys and the values to write into them.
using SettingsValues = std::vector<std::pair<std::u16string, std::u16string>>;
// Gives the values to write from the settings as they stand at the write.
using SettingsChange = std::function<SettingsValues(SettingsReader& current)>;

// Typed reads and writes of the settings. Every read looks at the file, so
// that it sees any write made before it, by this process or another; every
// write goes straight to the file. A write either reaches
// the file whole or changes nothing and says why.
class Settings : public SettingsReader {
 public:
  // Writes what `change` gives, all of it or none: kStatusOk, or the
  // failure with the settings unchanged. `change` may be called more than
  // once (again when another writer changed the settings meanwhile, so
  // that its change is kept); it gives no values when nothing is to be
  // written.
  virtual HResult Update(const SettingsChange& change) = 0;

  // The section read at once, for a caller that needs several values of
  // one moment: the same answers as this store's own reads, for far less
  // work than a read per value. By default it reads value by value.
  virtual std::unique_ptr<SettingsReader> ReadSection();

  // What could not be written and why, in words for the user.
  virtual std::u16string DescribeWriteFailure(HResult status);

  // Whether the file holds `key`, even with an empty value: for a setting
  // whose empty value is a choice of its own, unlike a missing key that
  // takes the default. A store that cannot tell says whether the value is
  // not empty.
  virtual bool IsSet(const std::u16string& key);

  // Writes the values together, all or none.
  HResult SetStrings(const SettingsValues& values);
  HResult SetString(const std::u16string& key, const std::u16string& value);
  HResult SetInt(const std::u16string& key, int value);
  HResult SetFlag(const std::u16string& key, bool on);

  // Saved message templates, numbered from 1 in creation order.
  int TemplateCount();
  std::u16string GetTemplateName(int n);
  std::u16string GetTemplateText(int n);
  // The count, name and text are written together, numbered after the
  // templates the file holds at the write.
  HResult AddTemplate(const std::u16string& name, const std::u16string& text);
  HResult SetTemplateText(int n, const std::u16string& text);
  // Adds the built-in default template when none is saved yet.
  HResult EnsureTemplateExists();
};
