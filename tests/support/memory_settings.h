#pragma once
#include <map>
#include <optional>
#include <string>

#include "store/settings.h"

// Settings held in memory, read back by the rules of the platform's profile
// functions, so that portable tests see what the product would see.
class MemorySettings : public Settings {
 public:
  static constexpr std::size_t kMaxStringLength = 2047;

  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override {
    auto found = values_.find(key);
    if (found == values_.end() || found->second.empty()) return defaultValue;
    return LeadingNumber(found->second);
  }

  std::u16string GetString(const std::u16string& key) override {
    auto found = values_.find(key);
    if (found == values_.end()) return {};
    return found->second.substr(0, kMaxStringLength);
  }

  void SetString(const std::u16string& key, const std::u16string& value) override {
    values_[key] = value;
  }

  // The text as it was written, uncut; nullopt when the key was never set.
  std::optional<std::u16string> Raw(const std::u16string& key) const {
    auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }

  bool Has(const std::u16string& key) const { return values_.count(key) != 0; }

  void Remove(const std::u16string& key) { values_.erase(key); }

 private:
  // Leading blanks, an optional sign, then decimal digits; the value wraps
  // modulo 2^32 as the platform's parser does, and is 0 without digits.
  static unsigned LeadingNumber(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    unsigned value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      value = value * 10u + static_cast<unsigned>(text[i] - u'0');
    }
    return negative ? 0u - value : value;
  }

  std::map<std::u16string, std::u16string> values_;
};
