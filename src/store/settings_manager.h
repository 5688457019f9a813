#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/status.h"

#include "store/sent_history.h"
#include "store/settings.h"

// The process's settings file ("Settings.ini", section "Profile") and its
// sent-message history ("HistoryData.dat"), both in one folder. Settings are
// read from and written to the file at every call; the history lives in
// memory between LoadHistory and SaveHistory. A section read looks at the
// file's stamp first and reads the file again whenever the stamp shows a
// write since the last read (see StillCurrent): opening and parsing the
// file costs a fifth of a millisecond under Wine, a look at its stamp a
// few microseconds, and every message reads the section.
//
// When the folder is unknown (the application-data lookup failed) or a file's
// full path would not fit in 259 characters, that file is not used: reads
// give the defaults, writes fail with ERROR_PATH_NOT_FOUND, LoadHistory
// leaves the history as it is and SaveHistory fails with ERROR_PATH_NOT_FOUND.
//
// A gateway address that Settings.ini leaves blank reads as the machine's,
// which an install for every user writes as "GatewayHost" under
// HKLM\Software\RudizavADUZaziv (64-bit view); writes never go there.
class SettingsManager : public Settings {
 public:
  // The store in the user's roaming application-data folder, made on first use.
  static SettingsManager& Instance();

  // A store in `folder`: the folder is created when missing (one level) and
  // an absent Settings.ini is created holding only the bytes FF FE; an
  // existing file is left untouched. An empty folder means no store.
  explicit SettingsManager(const std::wstring& folder);

  unsigned GetInt(const std::u16string& key, unsigned defaultValue) override;
  std::u16string GetString(const std::u16string& key) override;
  std::unique_ptr<SettingsReader> ReadSection() override;
  bool IsSet(const std::u16string& key) override;
  // Refused, and nothing changed, when the file is read-only, no copy of it
  // can be made, or another program holds it past a few short retries
  // (ERROR_SHARING_VIOLATION). A Settings.ini removed meanwhile is made
  // again, with its byte-order mark. Writers of the same file take turns
  // across processes, and a change that a program which does not take
  // turns made meanwhile is kept: the write is applied again on top of it.
  HResult Update(const SettingsChange& change) override;
  // Names the file and the system's reason.
  std::u16string DescribeWriteFailure(HResult status) override;

  void RecordSent(const std::string& historyKey, const std::string& text, double sendTime);
  bool WasSent(const std::string& historyKey, const std::string& text) const;
  // Takes the file's entries into the history: the file's value wins for a
  // key in both, and an entry only in memory stays (it may be one whose
  // save failed). A file that cannot be opened adds nothing; one that
  // cannot be read to its end adds the entries read before. Always kStatusOk.
  HResult LoadHistory();
  // Writes the history merged with what the file holds now (memory wins per
  // key), replacing the old file only once the new one is complete; the
  // history then holds what the file holds. 0, or the platform's failure
  // code, the history and the file being then unchanged (SaveHistoryFile).
  HResult SaveHistory();
  // Takes the entries `removed` names out of the history and its file in
  // one merge-safe save; on failure neither changes.
  HResult RemoveFromHistory(const EntryFilter& removed);
  const SentHistory& History() const { return sentHistory_; }
  SentHistory& MutableHistory() { return sentHistory_; }

  const std::wstring& SettingsPath() const { return settingsPath_; }
  const std::wstring& HistoryPath() const { return historyPath_; }

 private:
  struct RememberedSection;
  // The latest section read, or null; guarded by rememberedGuard_.
  std::shared_ptr<const RememberedSection> remembered_;
  std::mutex rememberedGuard_;
  void Forget();

  std::wstring folder_;
  std::wstring settingsPath_;
  std::wstring historyPath_;
  SentHistory sentHistory_;
};
