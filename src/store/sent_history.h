#pragma once
#include <map>
#include <string>

// Accepted reminders: map key = history key + "_" + the text as sent, value =
// the send time (an OLE Automation date). std::string compares through
// char_traits<char>, which orders bytes as unsigned char, so a key that is a
// prefix of another comes first and bytes above 0x7F sort after ASCII.
using HistoryEntries = std::map<std::string, double>;

class SentHistory {
 public:
  void RecordSent(const std::string& historyKey, const std::string& text, double sendTime);
  bool WasSent(const std::string& historyKey, const std::string& text) const;

  const HistoryEntries& Entries() const { return entries_; }
  void Replace(HistoryEntries entries) { entries_ = std::move(entries); }

 private:
  static std::string EntryKey(const std::string& historyKey, const std::string& text);

  HistoryEntries entries_;
};
