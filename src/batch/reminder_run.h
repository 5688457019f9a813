#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/access/mail_items.h"
#include "batch/delivery_time.h"
#include "batch/meeting_collection.h"
#include "batch/units.h"
#include "gateway/http_manager.h"
#include "gateway/send_run.h"
#include "gateway/sms_message.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/prompt.h"
#include "store/sent_history.h"
#include "store/settings.h"

// What the batch dialog shows when a send button is pressed.
struct ReminderRequest {
  std::optional<Unit> frameUnit;  // unit none when the list has no selection
  int frameCount = 0;
  SendMode mode = SendMode::Now();
  std::u16string templateText;
};

// One press of a batch send button: the meetings of the time frame, one
// reminder per attendee who is a contact, the repeat question for
// reminders the history holds, one gateway client per message, the report.
// The messages stay in `messages` (the dialog's list) until the next run
// that has meetings. A server may limit the items a session holds open, so
// the run opens one meeting at a time, and one attendee's contact while its
// message is prepared. Every meeting, attendee or contact that cannot be
// read gets a report line of its own: nothing is left out unsaid. A
// contact in the opt-out category is never sent to; its line says why.
class ReminderRun {
 public:
  struct Ports {
    MailClient& client;
    Settings& settings;
    SentHistory& history;
    Prompt& prompt;
    const CodePage& codePage;
    const Clock& clock;
  };
  using MakeGateway = std::function<std::unique_ptr<HTTPManager>()>;
  // Attendees handled so far and attendees of the run's meetings.
  using Progress = std::function<void(int done, int total)>;
  // Writes the history to its file: empty on success, otherwise what the
  // user is told (what failed and where).
  using SaveHistory = std::function<std::u16string()>;

  ReminderRun(Ports ports, std::u16string caption) : ports_(ports), caption_(std::move(caption)) {}

  // What the gateway took reaches the disk during the run, at most
  // kSaveInterval after it was recorded, and before the report is shown,
  // so a mail client killed at any moment forgets little. A failed save is
  // told once per run; the entries stay in memory for the next save.
  void SaveHistoryWith(SaveHistory save) { save_ = std::move(save); }
  static constexpr std::chrono::milliseconds kSaveInterval{1000};

  // False when the frame held no meeting (the user was told so).
  bool Run(const ReminderRequest& request, SendRun& run, const MakeGateway& makeGateway,
           std::vector<std::unique_ptr<SMSMessage>>& messages, const Progress& progress = {});

  // The report lines for what could not be read.
  static std::u16string UnreadableMeetingLine(const Meeting& meeting, bool changed);
  static std::u16string UnreadableAttendeeLine(const Meeting& meeting, long position);
  // `attendee` is the name the meeting shows, empty when it shows none.
  static std::u16string UnreadableContactLine(const Meeting& meeting, const std::u16string& attendee,
                                              long position);

  static std::u16string RepeatQuestion(const std::u16string& filledText, const std::u16string& firstName,
                                       const std::u16string& mobileNumber);
  // The question for a reminder whose earlier try may have reached the
  // gateway; `triedAt` is the local time of that try.
  static std::u16string UncertainRepeatQuestion(const std::u16string& filledText, const std::u16string& firstName,
                                                const std::u16string& mobileNumber, double triedAt);

 private:
  void SaveRecorded(bool force);

  Ports ports_;
  std::u16string caption_;
  SaveHistory save_;
  bool unsaved_ = false;
  bool toldSaveFailure_ = false;
  std::chrono::steady_clock::time_point lastSave_;
};

inline constexpr char16_t kNoMeetingsMessage[] = u"There are no meetings in specified timeframe.";
