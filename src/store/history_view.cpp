#include "store/history_view.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "_<digits>.<six digits>_" at `at`: the meeting's start between the
// number and the text; its length, or 0.
std::size_t StartFieldAt(const std::string& key, std::size_t at) {
  if (key[at] != '_') return 0;
  std::size_t i = at + 1;
  const std::size_t digitsFrom = i;
  while (i < key.size() && IsDigit(key[i])) ++i;
  if (i == digitsFrom || i + 8 > key.size() || key[i] != '.') return 0;
  for (std::size_t d = 1; d <= 6; ++d) {
    if (!IsDigit(key[i + d])) return 0;
  }
  if (key[i + 7] != '_') return 0;
  return i + 8 - at;
}

char16_t FoldChar(char16_t c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F)) {
    return static_cast<char16_t>(c + 0x20);
  }
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
  // Latin Extended-A and the Cyrillic supplement pair capitals with the
  // next code point.
  if (((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || (c >= 0x460 && c <= 0x4BF)) && c % 2 == 0) {
    return static_cast<char16_t>(c + 1);
  }
  switch (c) {
    case 0x386: return 0x3AC;
    case 0x388: return 0x3AD;
    case 0x389: return 0x3AE;
    case 0x38A: return 0x3AF;
    case 0x38C: return 0x3CC;
    case 0x38E: return 0x3CD;
    case 0x38F: return 0x3CE;
    case 0x3C2: return 0x3C3;  // final sigma finds sigma
    default: return c;
  }
}

template <class Key>
void SortRows(std::vector<std::uint32_t>& order, bool ascending, Key key) {
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return ascending ? key(a) < key(b) : key(b) < key(a);
  });
}

}  // namespace

std::optional<EntryKeyParts> SplitEntryKey(const std::string& entryKey) {
  const std::size_t idEnd = entryKey.find('_');
  if (idEnd == std::string::npos) return std::nullopt;
  // The number is stored as typed and may hold anything; the first start
  // field after it ends it.
  for (std::size_t at = idEnd + 1; at < entryKey.size(); ++at) {
    const std::size_t length = StartFieldAt(entryKey, at);
    if (length == 0) continue;
    EntryKeyParts parts;
    parts.entryId = entryKey.substr(0, idEnd);
    parts.number = entryKey.substr(idEnd + 1, at - idEnd - 1);
    parts.meetingStart = std::strtod(entryKey.substr(at + 1, length - 2).c_str(), nullptr);
    parts.text = entryKey.substr(at + length);
    return parts;
  }
  return std::nullopt;
}

std::u16string DecodeMessageText(const std::string& sent, const CodePage& codePage) {
  // Hex-encoded text is written in upper case; ANSI text made of nothing
  // but upper-case hexadecimal quadruples cannot be told apart from it.
  bool hex = !sent.empty() && sent.size() % 4 == 0;
  for (std::size_t i = 0; hex && i < sent.size(); ++i) hex = IsDigit(sent[i]) || (sent[i] >= 'A' && sent[i] <= 'F');
  if (!hex) return codePage.FromAnsi(sent);
  std::u16string text;
  text.reserve(sent.size() / 4);
  for (std::size_t i = 0; i < sent.size(); i += 4) {
    text += static_cast<char16_t>(HexValue(sent[i]) << 12 | HexValue(sent[i + 1]) << 8 |
                                  HexValue(sent[i + 2]) << 4 | HexValue(sent[i + 3]));
  }
  return text;
}

std::u16string FoldCase(std::u16string text) {
  for (char16_t& c : text) c = FoldChar(c);
  return text;
}

std::vector<HistoryRow> HistoryRows(const SentHistory& history, const CodePage& codePage, const NameLookup& nameOf) {
  std::vector<HistoryRow> rows;
  rows.reserve(history.Entries().size() + history.UncertainEntries().size());
  auto add = [&](const HistoryEntries& entries, bool uncertain) {
    for (const auto& [key, value] : entries) {
      HistoryRow row;
      row.entryKey = key;
      row.uncertain = uncertain;
      row.when = value;
      if (auto parts = SplitEntryKey(key)) {
        // A contact without a mobile number was texted at its primary
        // number, which the key does not hold: say so, not "(null)".
        row.number = parts->number == "(null)" ? std::u16string(u"primary number") : codePage.FromAnsi(parts->number);
        row.meetingStart = parts->meetingStart;
        row.text = DecodeMessageText(parts->text, codePage);
        if (nameOf) row.name = nameOf(parts->entryId);
      } else {
        row.text = codePage.FromAnsi(key);
      }
      rows.push_back(std::move(row));
    }
  };
  add(history.Entries(), false);
  add(history.UncertainEntries(), true);
  return rows;
}

HistoryTable::HistoryTable(std::vector<HistoryRow> rows) : rows_(std::move(rows)) {
  folded_.reserve(rows_.size());
  for (const HistoryRow& row : rows_) {
    folded_.push_back(FoldCase(row.number + u'\n' + row.name + u'\n' + row.text));
  }
  sorted_.resize(rows_.size());
  std::iota(sorted_.begin(), sorted_.end(), 0u);
  SortBy(HistoryColumn::When, false);
}

void HistoryTable::SortBy(HistoryColumn column, bool ascending) {
  switch (column) {
    case HistoryColumn::When:
      SortRows(sorted_, ascending, [&](std::uint32_t i) { return rows_[i].when; });
      break;
    case HistoryColumn::Name:
      SortRows(sorted_, ascending, [&](std::uint32_t i) { return FoldCase(rows_[i].name); });
      break;
    case HistoryColumn::Number:
      SortRows(sorted_, ascending, [&](std::uint32_t i) -> const std::u16string& { return rows_[i].number; });
      break;
    case HistoryColumn::MeetingStart:
      SortRows(sorted_, ascending, [&](std::uint32_t i) { return rows_[i].meetingStart; });
      break;
    case HistoryColumn::Text:
      SortRows(sorted_, ascending, [&](std::uint32_t i) { return FoldCase(rows_[i].text); });
      break;
    case HistoryColumn::Outcome:
      SortRows(sorted_, ascending, [&](std::uint32_t i) { return rows_[i].uncertain; });
      break;
  }
  ApplyFilter(false);
}

void HistoryTable::Filter(const std::u16string& search) {
  std::u16string folded = FoldCase(search);
  // Every row that holds the longer search holds the shorter one: typing
  // on narrows the rows already shown instead of searching them all.
  const bool narrowing = folded.find(search_) != std::u16string::npos;
  search_ = std::move(folded);
  ApplyFilter(narrowing);
}

void HistoryTable::ApplyFilter(bool narrowing) {
  const std::vector<std::uint32_t>& from = narrowing ? visible_ : sorted_;
  if (search_.empty()) {
    visible_ = sorted_;
    return;
  }
  std::vector<std::uint32_t> kept;
  kept.reserve(from.size());
  for (std::uint32_t i : from) {
    if (folded_[i].find(search_) != std::u16string::npos) kept.push_back(i);
  }
  visible_ = std::move(kept);
}
