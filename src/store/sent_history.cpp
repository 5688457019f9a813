#include "store/sent_history.h"

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
