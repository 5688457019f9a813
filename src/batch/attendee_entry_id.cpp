#include "batch/attendee_entry_id.h"

#include <cstdint>
#include <vector>

namespace {

constexpr size_t kLengthOffset = 32;
constexpr size_t kIdOffset = 36;
// The identifier's text must fit 1023 characters.
constexpr uint32_t kMaxIdLength = 511;

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

std::optional<std::vector<uint8_t>> DecodeHex(const std::u16string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::u16string EncodeHex(const uint8_t* bytes, size_t count) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace

std::optional<std::u16string> ContactEntryIdOfAttendee(const std::u16string& attendeeEntryId) {
  auto bytes = DecodeHex(attendeeEntryId);
  if (!bytes || bytes->size() < kIdOffset) return std::nullopt;
  const uint8_t* stated = bytes->data() + kLengthOffset;
  const uint32_t length = stated[0] | stated[1] << 8 | stated[2] << 16 |
                          static_cast<uint32_t>(stated[3]) << 24;
  if (length == 0 || length > kMaxIdLength || length > bytes->size() - kIdOffset) {
    return std::nullopt;
  }
  return EncodeHex(bytes->data() + kIdOffset, length);
}
