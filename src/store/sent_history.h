#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>

// Accepted reminders: map key = history key + "_" + the text as sent, value =
// the send time (an OLE Automation date). std::string compares through
// char_traits<char>, which orders bytes as unsigned char, so a key that is a
// prefix of another comes first and bytes above 0x7F sort after ASCII.
using HistoryEntries = std::map<std::string, double>;

// What a save writes: every entry of the file as it is now, with the
// memory's entries on top. The memory wins for a key that both hold; a key
// only in the file (another process's reminder, or one this process never
// loaded) is kept. Only the user removes entries (RemoveFromHistory), so
// the union loses nothing else.
HistoryEntries MergeForSave(HistoryEntries inFile, const HistoryEntries& memory);

// Which map keys a removal takes out.
using EntryFilter = std::function<bool(const std::string& entryKey)>;

// Takes out the entries `removed` names; the number taken out.
std::size_t RemoveEntries(HistoryEntries& entries, const EntryFilter& removed);

class SentHistory {
 public:
  void RecordSent(const std::string& historyKey, const std::string& text, double sendTime);
  bool WasSent(const std::string& historyKey, const std::string& text) const;
  // When it was sent; nullopt when it never was.
  std::optional<double> SentOn(const std::string& historyKey, const std::string& text) const;

  // Reminders whose request went out without an acceptance coming back
  // (the gateway may have them), with the local time they were tried. They
  // are kept apart from the accepted ones and never count as sent.
  void RecordUncertain(const std::string& historyKey, const std::string& text, double triedAt);
  std::optional<double> TriedUncertainly(const std::string& historyKey, const std::string& text) const;

  const HistoryEntries& Entries() const { return entries_; }
  const HistoryEntries& UncertainEntries() const { return uncertain_; }
  void Replace(HistoryEntries entries) {
    entries_ = std::move(entries);
    savedFile_.clear();
  }
  void ReplaceUncertain(HistoryEntries entries) {
    uncertain_ = std::move(entries);
    savedFile_.clear();
  }
  // The file as the last save left it, in the file layer's words (empty
  // when unknown). While the file is still that one, this history holds
  // everything the file holds, as entries are only added in between, and a
  // save has no need to read it. Replacing the entries forgets it.
  const std::string& SavedFile() const { return savedFile_; }
  void SetSavedFile(std::string stamp) { savedFile_ = std::move(stamp); }
  // Takes the entries read from the file: the file's value wins for a key
  // that both hold (another process may have sent the reminder again), and
  // an entry only in memory stays, as it may be one whose save failed.
  void AddFromFile(HistoryEntries fromFile, HistoryEntries uncertainFromFile = {});

 private:
  static std::string EntryKey(const std::string& historyKey, const std::string& text);

  HistoryEntries entries_;
  HistoryEntries uncertain_;
  std::string savedFile_;
};
