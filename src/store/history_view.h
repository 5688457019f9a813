#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "store/sent_history.h"

// The parts of a history entry's map key: the recipient's entry
// identifier, the mobile number as stored, the meeting's start and the
// text as sent. nullopt for a key of another shape.
struct EntryKeyParts {
  std::string entryId;
  std::string number;
  double meetingStart = 0;
  std::string text;
};
std::optional<EntryKeyParts> SplitEntryKey(const std::string& entryKey);

// The text as the person reads it: four hexadecimal digits per UTF-16 unit
// when it was sent with the Unicode alphabet, the ANSI text otherwise.
std::u16string DecodeMessageText(const std::string& sent, const CodePage& codePage);

// One history entry as the user sees it.
struct HistoryRow {
  std::string entryKey;  // the map key, to remove the entry by
  bool uncertain = false;
  double when = 0;  // sent, scheduled or (uncertain) tried, as recorded
  std::u16string name;
  std::u16string number;
  double meetingStart = 0;  // 0 when the key holds none
  std::u16string text;
};

// A name for a recipient's entry identifier, empty when there is none.
using NameLookup = std::function<std::u16string(const std::string& entryId)>;

std::vector<HistoryRow> HistoryRows(const SentHistory& history, const CodePage& codePage,
                                    const NameLookup& nameOf = {});

enum class HistoryColumn { When, Name, Number, MeetingStart, Text, Outcome };

// The rows in the order and selection the list shows: newest first until
// sorted otherwise, narrowed by a search across number, name and text that
// ignores case.
class HistoryTable {
 public:
  explicit HistoryTable(std::vector<HistoryRow> rows);

  void SortBy(HistoryColumn column, bool ascending);
  void Filter(const std::u16string& search);

  std::size_t Count() const { return visible_.size(); }
  const HistoryRow& At(std::size_t position) const { return rows_[visible_[position]]; }
  std::size_t TotalCount() const { return rows_.size(); }

 private:
  void ApplyFilter(bool narrowing);

  std::vector<HistoryRow> rows_;
  std::vector<std::u16string> folded_;  // per row: number, name and text, case folded
  std::vector<std::uint32_t> sorted_;
  std::vector<std::uint32_t> visible_;
  std::u16string search_;
};

// Lower case for the scripts names and texts are written in here (Latin,
// Greek, Cyrillic); other characters are kept.
std::u16string FoldCase(std::u16string text);
