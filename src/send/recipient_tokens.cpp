#include "send/recipient_tokens.h"

std::vector<std::u16string> SplitRecipients(const std::u16string& text) {
  const std::u16string separator = kRecipientSeparator;
  std::vector<std::u16string> tokens;
  std::size_t from = 0;
  for (std::size_t at = text.find(separator); at != std::u16string::npos; at = text.find(separator, from)) {
    tokens.push_back(text.substr(from, at - from));
    from = at + separator.size();
  }
  tokens.push_back(text.substr(from));
  return tokens;
}

bool IsSeparatorAt(const std::u16string& text, std::size_t at, const std::u16string& separator) {
  if (separator.empty() || at + separator.size() > text.size()) return false;
  for (std::size_t i = 0; i < separator.size(); ++i) {
    if (separator.find(text[at + i]) == std::u16string::npos) return false;
  }
  return true;
}

TokenBounds TokenAround(const std::u16string& text, std::size_t caret, const std::u16string& separator) {
  if (caret > text.size()) caret = text.size();
  TokenBounds bounds{0, text.size()};
  for (std::size_t p = caret; p > 0; --p) {
    if (IsSeparatorAt(text, p - 1, separator)) {
      bounds.start = p - 1 + separator.size();
      break;
    }
  }
  for (std::size_t p = caret; p < text.size(); ++p) {
    if (IsSeparatorAt(text, p, separator)) {
      bounds.end = p;
      break;
    }
  }
  // A separator that straddles the caret ends the token before it starts.
  if (bounds.end < bounds.start) bounds.end = bounds.start;
  return bounds;
}

AppliedEntry ApplyEntry(const std::u16string& text, std::size_t caret, const std::u16string& separator,
                        const std::u16string& entry) {
  TokenBounds token = TokenAround(text, caret, separator);
  AppliedEntry applied;
  applied.text = text.substr(0, token.start) + entry + text.substr(token.end);
  applied.selectionStart = token.start;
  applied.selectionEnd = token.start + entry.size();
  return applied;
}
