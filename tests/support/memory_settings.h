#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/profile_value.h"
#include "store/settings.h"

// Settings held in memory, read back by the rules of the platform's profile
// functions, so that portable tests see what the product would see.
class MemorySettings : public Settings {
 public:
  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override {
    auto found = values_.find(key);
    if (found == values_.end() || IsBlank(found->second)) return defaultValue;
    return ProfileNumber(found->second);
  }

  std::u16string GetString(const std::u16string& key) override {
    auto found = values_.find(key);
    if (found == values_.end()) return {};
    return found->second.substr(0, kMaxStringUnits);
  }

  bool IsSet(const std::u16string& key) override { return values_.count(key) != 0; }

  // Every value, or none while writes are refused.
  HResult Update(const SettingsChange& change) override {
    if (refusal_) return *refusal_;
    for (const auto& [key, value] : change(*this)) values_[key] = value;
    return kStatusOk;
  }

  // Every write fails with `status` and changes nothing, until AcceptWrites.
  void RefuseWrites(HResult status = kStatusFail) { refusal_ = status; }
  void AcceptWrites() { refusal_.reset(); }

  // The text as it was written, uncut; nullopt when the key was never set.
  std::optional<std::u16string> Raw(const std::u16string& key) const {
    auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }

  bool Has(const std::u16string& key) const { return values_.count(key) != 0; }

  void Remove(const std::u16string& key) { values_.erase(key); }

 private:
  // The profile functions trim a value's blanks; nothing left reads as missing.
  static bool IsBlank(const std::u16string& text) {
    return text.find_first_not_of(u" \t") == std::u16string::npos;
  }

  std::map<std::u16string, std::u16string> values_;
  std::optional<HResult> refusal_;
};

// Memory settings that also keep every value written, "key=value", in order.
class RecordingSettings : public MemorySettings {
 public:
  HResult Update(const SettingsChange& change) override {
    return MemorySettings::Update([&](SettingsReader& current) {
      SettingsValues values = change(current);
      for (const auto& [key, value] : values) writes.push_back(key + u"=" + value);
      return values;
    });
  }
  std::vector<std::u16string> writes;
};
