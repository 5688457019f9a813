#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The recipients field holds several recipients joined by "; ".
inline constexpr char16_t kRecipientSeparator[] = u"; ";

// The recipients text cut at every exact "; ", left to right; pieces are
// kept as typed. An empty text gives one empty token, a trailing "; " a
// last empty one.
std::vector<std::u16string> SplitRecipients(const std::u16string& text);

// True when a run of as many characters as `separator` has begins at `at`,
// each of them one of the separator's characters in any order ("; ",
// " ;", ";;" and two blanks all count for "; ").
bool IsSeparatorAt(const std::u16string& text, std::size_t at, const std::u16string& separator);

// The recipient around the caret: [start, end) of `text`.
struct TokenBounds {
  std::size_t start = 0;
  std::size_t end = 0;
};
TokenBounds TokenAround(const std::u16string& text, std::size_t caret, const std::u16string& separator);

// The text with the token around the caret replaced by `entry`; whatever
// follows the token stays. `selectionStart` is where the entry begins.
struct AppliedEntry {
  std::u16string text;
  std::size_t selectionStart = 0;
  std::size_t selectionEnd = 0;
};
AppliedEntry ApplyEntry(const std::u16string& text, std::size_t caret, const std::u16string& separator,
                        const std::u16string& entry);
