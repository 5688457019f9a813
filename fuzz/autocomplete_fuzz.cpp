// The recipients field as a user may type it, and the suggestions offered
// for the token at the caret.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "send/recipient_tokens.h"
#include "send/suggestion_list.h"

namespace {

// Text from few characters, so that separators, case pairs and shared
// prefixes are common.
std::u16string TextOf(FuzzedDataProvider& input, std::size_t maxLength) {
  static const char16_t kAlphabet[] = u"; ;aAbBzZ@\u00E9\u00C9\u4E2D\uFFFF";
  const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, maxLength);
  std::u16string text;
  for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
    text += kAlphabet[input.ConsumeIntegralInRange<std::size_t>(0, sizeof kAlphabet / 2 - 2)];
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::u16string separator = kRecipientSeparator;
  const std::u16string text = TextOf(input, 64);
  const std::size_t caret = input.ConsumeIntegralInRange<std::size_t>(0, text.size() + 2);
  const std::u16string entry = TextOf(input, 12);

  // The tokens joined again are the text.
  const std::vector<std::u16string> tokens = SplitRecipients(text);
  std::u16string joined;
  for (std::size_t i = 0; i < tokens.size(); ++i) joined += (i ? separator : u"") + tokens[i];
  FUZZ_CHECK(joined == text);

  const TokenBounds token = TokenAround(text, caret, separator);
  FUZZ_CHECK(token.start <= token.end && token.end <= text.size());
  FUZZ_CHECK(token.start <= std::max(caret, token.end));
  const AppliedEntry applied = ApplyEntry(text, caret, separator, entry);
  FUZZ_CHECK(applied.text == text.substr(0, token.start) + entry + text.substr(token.end));
  FUZZ_CHECK(applied.selectionStart == token.start && applied.selectionEnd == token.start + entry.size());

  // The matches of a token are one contiguous run of the suggestion order,
  // which is what lets the list find them by binary search.
  std::vector<std::u16string> entries;
  while (input.remaining_bytes() > 0 && entries.size() < 32) entries.push_back(TextOf(input, 8));
  SuggestionList list;
  list.SetEntries(entries);
  const std::vector<std::u16string>& sorted = list.Entries();
  FUZZ_CHECK(std::is_sorted(sorted.begin(), sorted.end(), SuggestionLess));
  FUZZ_CHECK(std::is_permutation(sorted.begin(), sorted.end(), entries.begin(), entries.end()));
  const std::u16string typed = text.substr(token.start, token.end - token.start);
  auto first = std::find_if(sorted.begin(), sorted.end(), [&](const auto& e) { return SuggestionMatches(e, typed); });
  auto last = std::find_if(first, sorted.end(), [&](const auto& e) { return !SuggestionMatches(e, typed); });
  FUZZ_CHECK(std::none_of(last, sorted.end(), [&](const auto& e) { return SuggestionMatches(e, typed); }));
  FUZZ_CHECK(ScanMatches(sorted, typed) == std::vector<std::u16string>(first, last));
  return 0;
}
