#include "store/sent_history.h"

#include <iterator>

HistoryEntries MergeForSave(HistoryEntries inFile, const HistoryEntries& memory) {
  if (inFile.empty()) return memory;
  // Both maps are in key order: the hint makes each insertion constant time
  // when the memory's keys fall after one another in the file.
  auto hint = inFile.begin();
  for (const auto& [key, value] : memory) hint = std::next(inFile.insert_or_assign(hint, key, value));
  return inFile;
}

std::size_t RemoveEntries(HistoryEntries& entries, const EntryFilter& removed) {
  std::size_t count = 0;
  for (auto it = entries.begin(); it != entries.end();) {
    if (removed(it->first)) {
      it = entries.erase(it);
      ++count;
    } else {
      ++it;
    }
  }
  return count;
}

std::string SentHistory::EntryKey(const std::string& historyKey, const std::string& text) {
  return historyKey + "_" + text;
}

void SentHistory::RecordSent(const std::string& historyKey, const std::string& text,
                             double sendTime) {
  entries_[EntryKey(historyKey, text)] = sendTime;
}

bool SentHistory::WasSent(const std::string& historyKey, const std::string& text) const {
  return entries_.count(EntryKey(historyKey, text)) != 0;
}

std::optional<double> SentHistory::SentOn(const std::string& historyKey, const std::string& text) const {
  const auto found = entries_.find(EntryKey(historyKey, text));
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

void SentHistory::RecordUncertain(const std::string& historyKey, const std::string& text, double triedAt) {
  uncertain_[EntryKey(historyKey, text)] = triedAt;
}

std::optional<double> SentHistory::TriedUncertainly(const std::string& historyKey, const std::string& text) const {
  const auto found = uncertain_.find(EntryKey(historyKey, text));
  if (found == uncertain_.end()) return std::nullopt;
  return found->second;
}

void SentHistory::AddFromFile(HistoryEntries fromFile, HistoryEntries uncertainFromFile) {
  // insert keeps the value already present, which here is the file's.
  fromFile.insert(entries_.begin(), entries_.end());
  entries_ = std::move(fromFile);
  uncertainFromFile.insert(uncertain_.begin(), uncertain_.end());
  uncertain_ = std::move(uncertainFromFile);
}
