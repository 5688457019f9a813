#include "mailstore/entry_id.h"

namespace standin {

namespace {

// Provider identifiers of this store (16 bytes each, made up for it).
const uint8_t kStoreProvider[16] = {0x51, 0x7A, 0x0C, 0x93, 0x2E, 0x44, 0x4B, 0x1D,
                                    0x9A, 0x60, 0x3F, 0xC2, 0x18, 0xB5, 0x77, 0xE4};
const uint8_t kAddressBookProvider[16] = {0xA1, 0x3C, 0x55, 0x08, 0xD2, 0x6E, 0x41, 0x9F,
                                          0x8B, 0x27, 0xC0, 0x14, 0x6D, 0xE3, 0x5A, 0x90};
const uint8_t kOneOffProvider[16] = {0x3E, 0x81, 0x0F, 0xB6, 0x27, 0x5C, 0x4D, 0xA8,
                                     0x93, 0x11, 0xFA, 0x62, 0xC7, 0x0D, 0x48, 0x2B};

void Append(std::vector<uint8_t>& out, const uint8_t* bytes, size_t n) {
  out.insert(out.end(), bytes, bytes + n);
}

void AppendLittleEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendUtf16(std::vector<uint8_t>& out, const std::u16string& text) {
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
}

std::vector<uint8_t> BytesOfHex(const std::string& hex) {
  auto digit = [](char c) {
    return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10;
  };
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(digit(hex[i]) * 16 + digit(hex[i + 1])));
  }
  return bytes;
}

}  // namespace

std::string HexText(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::string ContactEntryId(uint32_t serial) {
  std::vector<uint8_t> bytes(4, 0);
  Append(bytes, kStoreProvider, sizeof kStoreProvider);
  const uint8_t kContactType[] = {0x07, 0x00, 0x00, 0x00};
  Append(bytes, kContactType, sizeof kContactType);
  // Folder then item number, big-endian like a message key.
  for (uint32_t part : {0x00000A01u, serial}) {
    for (int i = 3; i >= 0; --i) bytes.push_back(static_cast<uint8_t>(part >> (8 * i)));
  }
  return HexText(bytes);
}

std::string AddressBookRecipientEntryId(const std::string& contactEntryId) {
  const std::vector<uint8_t> contact = BytesOfHex(contactEntryId);
  std::vector<uint8_t> bytes(4, 0);
  Append(bytes, kAddressBookProvider, sizeof kAddressBookProvider);
  AppendLittleEndian(bytes, 3);  // version
  AppendLittleEndian(bytes, 4);  // entry type: a contact
  AppendLittleEndian(bytes, 0);  // which of the contact's addresses
  AppendLittleEndian(bytes, static_cast<uint32_t>(contact.size()));
  bytes.insert(bytes.end(), contact.begin(), contact.end());
  return HexText(bytes);
}

std::string OneOffRecipientEntryId(const std::u16string& name, const std::u16string& address) {
  std::vector<uint8_t> bytes(4, 0);
  Append(bytes, kOneOffProvider, sizeof kOneOffProvider);
  const uint8_t kUnicodeFlags[] = {0x00, 0x00, 0x01, 0x90};
  Append(bytes, kUnicodeFlags, sizeof kUnicodeFlags);
  AppendUtf16(bytes, name);
  AppendUtf16(bytes, u"SMTP");
  AppendUtf16(bytes, address);
  return HexText(bytes);
}

}  // namespace standin
