#include "addin/gateway_entry.h"

#include <vector>

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }
bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool AllDigits(std::u16string_view text) {
  for (char16_t c : text) {
    if (!IsDigit(c)) return false;
  }
  return !text.empty();
}

std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::u16string_view::npos ? end : end - start));
    if (end == std::u16string_view::npos) return parts;
    start = end + 1;
  }
}

bool IsPort(std::u16string_view text) {
  if (!AllDigits(text) || text.size() > 5) return false;
  unsigned value = 0;
  for (char16_t c : text) value = value * 10 + (c - u'0');
  return value >= 1 && value <= 65535;
}

// Four decimal numbers up to 255, without leading zeros (which some readers
// take for octal).
bool IsIpv4(std::u16string_view text) {
  const auto parts = Split(text, u'.');
  if (parts.size() != 4) return false;
  for (std::u16string_view part : parts) {
    if (!AllDigits(part) || part.size() > 3 || (part.size() > 1 && part[0] == u'0')) return false;
    unsigned value = 0;
    for (char16_t c : part) value = value * 10 + (c - u'0');
    if (value > 255) return false;
  }
  return true;
}

// Labels of letters, digits, '-' and '_' (intranet names carry it), none
// empty, longer than 63 or starting or ending with '-'. A name whose last
// label is all digits can only be meant as an IPv4 address.
bool IsHostName(std::u16string_view text) {
  if (text.empty() || text.size() > 253) return false;
  const auto labels = Split(text, u'.');
  if (AllDigits(labels.back())) return IsIpv4(text);
  for (std::u16string_view label : labels) {
    if (label.empty() || label.size() > 63 || label.front() == u'-' || label.back() == u'-') return false;
    for (char16_t c : label) {
      if (!IsLetter(c) && !IsDigit(c) && c != u'-' && c != u'_') return false;
    }
  }
  return true;
}

// Eight groups of up to four hex digits, one "::" standing for one or more
// groups of zeros, the last two groups optionally written as IPv4. No zone.
bool IsIpv6(std::u16string_view text) {
  const std::size_t gap = text.find(u"::");
  if (gap != std::u16string_view::npos && text.find(u"::", gap + 1) != std::u16string_view::npos) return false;
  std::size_t groups = 0;
  auto countGroups = [&groups](std::u16string_view part, bool last) {
    if (part.empty()) return true;
    const auto pieces = Split(part, u':');
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      std::u16string_view piece = pieces[i];
      if (last && i + 1 == pieces.size() && piece.find(u'.') != std::u16string_view::npos) {
        if (!IsIpv4(piece)) return false;
        groups += 2;
        continue;
      }
      if (piece.empty() || piece.size() > 4) return false;
      for (char16_t c : piece) {
        if (!IsHexDigit(c)) return false;
      }
      ++groups;
    }
    return true;
  };
  if (gap == std::u16string_view::npos) return countGroups(text, true) && groups == 8;
  return countGroups(text.substr(0, gap), false) && countGroups(text.substr(gap + 2), true) && groups <= 7;
}

}  // namespace

bool IsGatewayEntry(std::u16string_view entry) {
  std::u16string_view host = entry;
  std::u16string_view rest;
  if (!entry.empty() && entry.front() == u'[') {
    const std::size_t close = entry.find(u']');
    if (close == std::u16string_view::npos || !IsIpv6(entry.substr(1, close - 1))) return false;
    rest = entry.substr(close + 1);
    if (rest.empty()) return true;
    return rest.front() == u':' && IsPort(rest.substr(1));
  }
  const std::size_t colon = entry.find(u':');
  if (colon != std::u16string_view::npos) {
    host = entry.substr(0, colon);
    if (!IsPort(entry.substr(colon + 1))) return false;
  }
  return IsHostName(host);
}
