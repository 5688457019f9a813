#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/settings.h"

// Settings held in memory, read back by the rules of the platform's profile
// functions, so that portable tests see what the product would see.
class MemorySettings : public Settings {
 public:
  static constexpr std::size_t kMaxStringLength = 2047;

  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override {
    auto found = values_.find(key);
    if (found == values_.end() || IsBlank(found->second)) return defaultValue;
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
  // The profile functions trim a value's blanks; nothing left reads as missing.
  static bool IsBlank(const std::u16string& text) {
    return text.find_first_not_of(u" \t") == std::u16string::npos;
  }

  // The platform's number parser with a base taken from the text: leading
  // control characters and blanks, an optional sign, "0x", "0o" or "0b" for
  // bases 16, 8 and 2, then digits of that base. The value wraps modulo 2^32
  // and is 0 without digits.
  static unsigned LeadingNumber(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] <= u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == u'0') {
      const char16_t prefix = text[i + 1];
      base = prefix == u'x' ? 16 : prefix == u'o' ? 8 : prefix == u'b' ? 2 : 10;
      if (base != 10) i += 2;
    }
    unsigned value = 0;
    for (; i < text.size(); ++i) {
      const unsigned digit = DigitValue(text[i]);
      if (digit >= base) break;
      value = value * base + digit;
    }
    return negative ? 0u - value : value;
  }

  static unsigned DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10u;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10u;
    return 36;
  }

  std::map<std::u16string, std::u16string> values_;
};

// Memory settings that also keep every write, "key=value", in order.
class RecordingSettings : public MemorySettings {
 public:
  void SetString(const std::u16string& key, const std::u16string& value) override {
    writes.push_back(key + u"=" + value);
    MemorySettings::SetString(key, value);
  }
  std::vector<std::u16string> writes;
};
