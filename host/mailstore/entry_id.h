#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Entry identifiers as the mail client writes them: bytes shown as
// hexadecimal text, two upper-case digits per byte.
namespace standin {

std::string HexText(const std::vector<uint8_t>& bytes);

// The identifier of the contact numbered `serial` in the store.
std::string ContactEntryId(uint32_t serial);

// A recipient taken from the contacts address book: its identifier carries
// the contact's identifier bytes from byte 36, their length at bytes 32-35
// (little-endian).
std::string AddressBookRecipientEntryId(const std::string& contactEntryId);

// A recipient typed as a bare address (a one-off entry): it carries the
// name and address, not a contact.
std::string OneOffRecipientEntryId(const std::u16string& name, const std::u16string& address);

}  // namespace standin
