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

// One reminder a run would send, as the preview lists it: to whom, for
// which meeting, the text as the person reads it and what the history
// knows of it.
struct PlannedMessage {
  enum class Status { kNew, kSentBefore, kMayHaveBeenSent, kNoMobileNumber, kOptedOut };

  std::u16string name;       // as the report names the contact
  std::u16string firstName;
  std::u16string mobile;     // the contact's numbers as it gives them
  std::u16string primary;
  std::u16string number;     // where the message goes, normalised; empty for none
  std::u16string subject;
  double start = 0;
  std::u16string text;
  std::string encodedText;   // as the gateway takes it
  std::string historyKey;
  Status status = Status::kNew;
  double earlier = 0;        // when a sent before or uncertain one went

  // Only a contact with a number who has not opted out can be sent to.
  bool Sendable() const { return status != Status::kNoMobileNumber && status != Status::kOptedOut; }
};

// "new", "sent before on <date>", ...
std::u16string StatusText(const PlannedMessage& message);

// What a press of a send button would do, worked out without sending.
struct ReminderPlan {
  SendMode mode = SendMode::Now();
  std::vector<PlannedMessage> messages;
  std::vector<std::u16string> unreadable;  // report lines of what could not be read
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

  // The run as Run would do it, up to the gateway: the recurring-meeting
  // questions are asked, nothing is sent and nothing recorded. nullopt when
  // the frame held no meeting (the user was told so).
  std::optional<ReminderPlan> Plan(const ReminderRequest& request);

  // Sends the plan's messages at `chosen` (positions in plan.messages, in
  // that order) as Run sends, without the repeat question: the user chose
  // them knowingly. The opted-out contacts and what could not be read get
  // their report lines as in a run.
  void SendPlanned(const ReminderPlan& plan, const std::vector<std::size_t>& chosen, SendRun& run,
                   const MakeGateway& makeGateway, std::vector<std::unique_ptr<SMSMessage>>& messages,
                   const Progress& progress = {});

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
  // Each contact's reminder as the run meets it, with the message that
  // would carry it (still holding the contact) and its delivery time.
  using EachReminder = std::function<void(PlannedMessage&, std::unique_ptr<SMSMessage>&, std::optional<double>)>;
  std::optional<MeetingList> FrameMeetings(const ReminderRequest& request);
  void Walk(const MeetingList& meetings, const ReminderRequest& request, const EachReminder& each,
            std::vector<std::u16string>& lines, const Progress& progress);
  void Start(std::vector<std::unique_ptr<SMSMessage>>& messages);
  // Sends one reminder unless the run stopped or (`ask`) the user declines
  // a repeat; its report line and the message are kept.
  void Deliver(const PlannedMessage& planned, std::unique_ptr<SMSMessage> message, std::optional<double> delivery,
               bool ask, SendRun& run, const MakeGateway& makeGateway, std::vector<std::u16string>& lines,
               std::vector<std::unique_ptr<SMSMessage>>& messages);
  void Finish(const std::vector<std::u16string>& lines);
  void SaveRecorded(bool force);

  Ports ports_;
  std::u16string caption_;
  SaveHistory save_;
  bool unsaved_ = false;
  bool toldSaveFailure_ = false;
  std::chrono::steady_clock::time_point lastSave_;
};

inline constexpr char16_t kNoMeetingsMessage[] = u"There are no meetings in specified timeframe.";
