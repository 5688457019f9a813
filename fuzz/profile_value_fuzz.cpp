// Values of the settings file: any value a user or a template holds, and
// any text a hand-edited file holds.
#include <string>

#include "fuzz_check.h"
#include "store/profile_value.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::u16string text = Utf16Of(data, size);

  // As a value: stored on one line, and read back unchanged.
  const std::u16string stored = EncodeProfileValue(text);
  FUZZ_CHECK(stored.find_first_of(u"\r\n") == std::u16string::npos);
  FUZZ_CHECK(DecodeProfileValue(stored) == text);
  const bool plain = text.find_first_of(u"\r\n") == std::u16string::npos &&
                     (text.empty() || text.front() != kEncodedValueMarker);
  FUZZ_CHECK(plain == (stored == text));
  FUZZ_CHECK(StartsEncodedProfileValue(stored) == !plain);

  // As a stored text: whatever it holds decodes, and a decoded value
  // encodes to a text that decodes to it again.
  const std::u16string value = DecodeProfileValue(text);
  FUZZ_CHECK(value.size() <= text.size());
  FUZZ_CHECK(DecodeProfileValue(EncodeProfileValue(value)) == value);
  if (!StartsEncodedProfileValue(text)) FUZZ_CHECK(value == text);
  return 0;
}
