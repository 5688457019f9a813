#include "send/suggestion_list.h"

#include <algorithm>

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Compares `entry`, cut to the token's length, with `token` under the
// suggestion order: 0 when the entry matches.
int ComparePrefix(const std::u16string& entry, const std::u16string& token) {
  std::size_t n = std::min(entry.size(), token.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t a = Lower(entry[i]), b = Lower(token[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return entry.size() < token.size() ? -1 : 0;
}

}  // namespace

bool SuggestionLess(const std::u16string& a, const std::u16string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return Lower(x) < Lower(y); });
}

bool SuggestionMatches(const std::u16string& entry, const std::u16string& token) {
  return ComparePrefix(entry, token) == 0;
}

void SuggestionList::SetEntries(std::vector<std::u16string> entries) {
  entries_ = std::move(entries);
  std::stable_sort(entries_.begin(), entries_.end(), SuggestionLess);
}

SuggestionList::Range SuggestionList::Matches(const std::u16string& token) const {
  auto first = std::partition_point(entries_.begin(), entries_.end(),
                                    [&](const std::u16string& e) { return ComparePrefix(e, token) < 0; });
  auto last = std::partition_point(first, entries_.end(),
                                   [&](const std::u16string& e) { return ComparePrefix(e, token) == 0; });
  return {static_cast<std::size_t>(first - entries_.begin()), static_cast<std::size_t>(last - entries_.begin())};
}

std::vector<std::u16string> SuggestionList::Copy(Range matches) const {
  return {entries_.begin() + static_cast<std::ptrdiff_t>(matches.first),
          entries_.begin() + static_cast<std::ptrdiff_t>(matches.last)};
}

std::vector<std::u16string> ScanMatches(const std::vector<std::u16string>& sortedEntries,
                                        const std::u16string& token) {
  std::vector<std::u16string> matches;
  for (const std::u16string& entry : sortedEntries) {
    if (SuggestionMatches(entry, token)) matches.push_back(entry);
  }
  std::stable_sort(matches.begin(), matches.end(), SuggestionLess);
  return matches;
}
