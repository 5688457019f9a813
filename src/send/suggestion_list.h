#pragma once
#include <string>
#include <vector>

// Suggestions are ordered code unit by code unit with A-Z read as a-z, and
// an entry matches a token when it begins with it, A-Z and a-z being the
// same letter; no other character is folded.
bool SuggestionLess(const std::u16string& a, const std::u16string& b);
bool SuggestionMatches(const std::u16string& entry, const std::u16string& token);

// The entries of the recipients field, kept in suggestion order. The
// matches of a token are a contiguous range of that order, so they are
// found by binary search; entries equal under the order keep the order in
// which they were given.
class SuggestionList {
 public:
  // Entries()[first] to Entries()[last - 1]; nothing is copied, so that a
  // keystroke costs the search alone however many entries match.
  struct Range {
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t size() const { return last - first; }
    bool empty() const { return first == last; }
  };

  void SetEntries(std::vector<std::u16string> entries);
  const std::vector<std::u16string>& Entries() const { return entries_; }
  Range Matches(const std::u16string& token) const;
  std::vector<std::u16string> Copy(Range matches) const;

 private:
  std::vector<std::u16string> entries_;
};

// The same matches found the slow way: every entry tested, the matches
// then sorted. The reference for the fast search.
std::vector<std::u16string> ScanMatches(const std::vector<std::u16string>& sortedEntries,
                                        const std::u16string& token);
