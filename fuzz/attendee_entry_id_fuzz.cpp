// An attendee's entry identifier, as any mail store may report it.
#include <cstdint>
#include <string>

#include "batch/attendee_entry_id.h"
#include "fuzz_check.h"

namespace {

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'f' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  // An odd first byte takes the rest as it stands; an even one makes each
  // byte a hexadecimal digit, so that most inputs get past the first check.
  if (size == 0) return 0;
  const bool raw = data[0] & 1;
  std::u16string id;
  for (std::size_t i = 1; i < size; ++i) {
    id += raw ? static_cast<char16_t>(data[i]) : u"0123456789ABCDEFabcdef"[data[i] % 22];
  }
  const auto contact = ContactEntryIdOfAttendee(id);
  if (!contact) return 0;
  // The contact's identifier is the attendee's own text from byte 36 on,
  // upper-cased, for as many bytes as bytes 32..35 say.
  FUZZ_CHECK(!contact->empty() && contact->size() % 2 == 0 && contact->size() <= 2 * 511);
  FUZZ_CHECK(id.size() >= 72 + contact->size());
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) {
    const std::u16string digits = id.substr(64 + 2 * i, 2);
    length = length << 8 | static_cast<std::uint32_t>(std::stoul(std::string(digits.begin(), digits.end()), nullptr, 16));
  }
  FUZZ_CHECK(contact->size() == 2 * length);
  for (std::size_t i = 0; i < contact->size(); ++i) FUZZ_CHECK((*contact)[i] == Upper(id[72 + i]));
  return 0;
}
